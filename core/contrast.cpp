#include "core/contrast.h"

#include <algorithm>
#include <cmath>

namespace daymarker {
namespace {

// An sRGB channel as linear light, 0 to 1.
double Linear(PackedColour channel) {
  const double value = static_cast<double>(channel & 0xFFU) / 255.0;
  return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(PackedColour colour) {
  return 0.2126 * Linear(colour) + 0.7152 * Linear(colour >> 8) + 0.0722 * Linear(colour >> 16);
}

}  // namespace

double ContrastRatio(PackedColour a, PackedColour b) {
  const double first = RelativeLuminance(a);
  const double second = RelativeLuminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

bool KeepFixedColour(PackedColour fixed, PackedColour background, bool highContrast,
                     double minimum) {
  return !highContrast && ContrastRatio(fixed, background) >= minimum;
}

}  // namespace daymarker
