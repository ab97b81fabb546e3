// Whether a colour can be seen on another, by the contrast ratio of the Web
// Content Accessibility Guidelines (WCAG 2.2).
#pragma once

#include <cstdint>

namespace daymarker {

// A colour packed as Windows packs it: red in the lowest byte, then green, then blue.
using PackedColour = std::uint32_t;

// What stands out: text at 4.5:1, a line or other graphic at 3:1.
inline constexpr double kTextContrast = 4.5;
inline constexpr double kGraphicContrast = 3.0;

// From 1 (the same lightness) to 21 (black and white), either way round.
double ContrastRatio(PackedColour a, PackedColour b);

// Whether a look keeps one of its fixed colours: only while no high-contrast
// theme is on and the colour stands out on its background by `minimum`.
// Otherwise the theme's own colour takes its place.
bool KeepFixedColour(PackedColour fixed, PackedColour background, bool highContrast,
                     double minimum);

}  // namespace daymarker
