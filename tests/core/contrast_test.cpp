#include "core/contrast.h"

#include <gtest/gtest.h>

namespace daymarker {
namespace {

constexpr PackedColour kBlack = 0x000000;
constexpr PackedColour kWhite = 0xFFFFFF;
constexpr PackedColour kBlue = 0xFF0000;  // blue is the highest byte
constexpr PackedColour kGrey = 0x808080;
constexpr PackedColour kButtonFace = 0xF0F0F0;

// Ratios as WCAG's own figures and the usual contrast checkers give them; the
// fixed colour stays only where it reaches the minimum with high contrast off.
TEST(Contrast, RatioDecidesWhetherTheFixedColourStays) {
  struct Row {
    PackedColour fixed, background;
    double ratio;
    bool highContrast;
    double minimum;
    bool kept;
  };
  for (const Row& row : {
           Row{kBlack, kWhite, 21.0, false, 4.5, true},
           Row{kWhite, kBlack, 21.0, false, 4.5, true},  // either way round
           Row{kBlack, kBlack, 1.0, false, 4.5, false},  // black text on a black face
           Row{kBlue, kBlack, 2.44, false, 4.5, false},  // the link on a black face
           Row{kBlue, kButtonFace, 7.54, false, 4.5, true},
           Row{kBlue, kButtonFace, 7.54, true, 4.5, false},  // a high-contrast theme
           Row{kGrey, kWhite, 3.95, false, 4.5, false},
           Row{kGrey, kWhite, 3.95, false, 3.0, true},      // a line needs less than text
           Row{kGrey, kGrey, 1.0, false, 1.0, true},        // just the minimum is enough
           Row{0x00FF00, kBlack, 15.3, false, 4.5, true},   // green counts most
           Row{0x0A0A0A, kBlack, 1.06, false, 4.5, false},  // a channel near black is linear
       }) {
    EXPECT_NEAR(ContrastRatio(row.fixed, row.background), row.ratio, 0.01)
        << std::hex << row.fixed << " on " << row.background;
    EXPECT_EQ(KeepFixedColour(row.fixed, row.background, row.highContrast, row.minimum), row.kept)
        << std::hex << row.fixed << " on " << row.background << ", " << row.highContrast;
  }
}

}  // namespace
}  // namespace daymarker
