// The counting progress window's figures.
#include <gtest/gtest.h>

#include "ui/core/progress_figures.h"

namespace {

using tw::ui::DurationText;
using tw::ui::Permille;
using tw::ui::SecondsLeft;
using tw::ui::SizeText;

TEST(ProgressFigures, PermilleIsFullOnlyWhenEveryByteIsDone) {
  EXPECT_EQ(Permille(0, 0), 0u);
  EXPECT_EQ(Permille(5, 0), 0u);
  EXPECT_EQ(Permille(0, 10), 0u);
  EXPECT_EQ(Permille(5, 10), 500u);
  EXPECT_EQ(Permille(9999, 10000), 999u);
  EXPECT_EQ(Permille(10000, 10000), 1000u);
  EXPECT_EQ(Permille(20000, 10000), 1000u);
  const uint64_t huge = 1ull << 62;
  EXPECT_EQ(Permille(huge / 4, huge), 250u);
  EXPECT_EQ(Permille(huge - 1, huge), 999u);
}

TEST(ProgressFigures, TimeLeftAtTheRateSoFar) {
  EXPECT_FALSE(SecondsLeft(0, 100, 5000));
  EXPECT_FALSE(SecondsLeft(50, 100, 999)) << "less than a second read: no estimate yet";
  EXPECT_FALSE(SecondsLeft(9, 1000, 5000)) << "less than a hundredth read: no estimate yet";
  EXPECT_FALSE(SecondsLeft(101, 100, 5000));
  EXPECT_EQ(SecondsLeft(50, 100, 10000), 10u);
  EXPECT_EQ(SecondsLeft(100, 100, 10000), 0u);
  // A 23 GB disc at 10 MB/s, 1 GB read.
  EXPECT_EQ(SecondsLeft(1ull << 30, 23ull << 30, 102400), 2253u);
}

TEST(ProgressFigures, SizesInWords) {
  EXPECT_EQ(SizeText(0), L"0 bytes");
  EXPECT_EQ(SizeText(1023), L"1023 bytes");
  EXPECT_EQ(SizeText(1024), L"1 KB");
  EXPECT_EQ(SizeText(1536), L"2 KB");
  EXPECT_EQ(SizeText(900 * 1024), L"900 KB");
  EXPECT_EQ(SizeText(4508876ull), L"4.3 MB");
  EXPECT_EQ(SizeText(10ull << 20), L"10 MB");
  EXPECT_EQ(SizeText(1342177280ull), L"1.25 GB");
  EXPECT_EQ(SizeText(24851251200ull), L"23.1 GB");
}

TEST(ProgressFigures, DurationsInWords) {
  EXPECT_EQ(DurationText(0), L"0:00");
  EXPECT_EQ(DurationText(42), L"0:42");
  EXPECT_EQ(DurationText(725), L"12:05");
  EXPECT_EQ(DurationText(3723), L"1:02:03");
}

}  // namespace
