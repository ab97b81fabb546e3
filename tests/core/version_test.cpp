#include "core/version.h"

#include <gtest/gtest.h>

namespace daymarker {
namespace {

TEST(VersionCaption, PadsMinorToTwoAndRevisionToFourDigits) {
  EXPECT_EQ(VersionCaption(), L"Daymarker v1.03");
  EXPECT_EQ(VersionCaption(L"Daymarker", {1, 3, 7}), L"Daymarker v1.03.0007");
  EXPECT_EQ(VersionCaption(L"X", {2, 12, 0}), L"X v2.12");
  EXPECT_EQ(VersionCaption(L"X", {10, 100, 12345}), L"X v10.100.12345");
  EXPECT_EQ(VersionCaption(L"", {0, 0, 1}), L" v0.00.0001");
}

}  // namespace
}  // namespace daymarker
