// The colour check against the published WCAG 2 figures.
#include "render/Contrast.h"
#include "render/ReadBack.h"

#include <gtest/gtest.h>

namespace {

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);

TEST(RelativeLuminance, WeighsEachChannelAsWcagDoes) {
  EXPECT_DOUBLE_EQ(RelativeLuminance(Black), 0.0);
  EXPECT_DOUBLE_EQ(RelativeLuminance(White), 1.0);
  EXPECT_DOUBLE_EQ(RelativeLuminance(qRgb(255, 0, 0)), 0.2126);
  EXPECT_DOUBLE_EQ(RelativeLuminance(qRgb(0, 255, 0)), 0.7152);
  EXPECT_DOUBLE_EQ(RelativeLuminance(qRgb(0, 0, 255)), 0.0722);
  // Below the knee a level is linear: 10 / 255 / 12.92.
  EXPECT_NEAR(RelativeLuminance(qRgb(10, 10, 10)), 10 / 255.0 / 12.92, 1e-12);
  // #808080: ((128 / 255 + 0.055) / 1.055) ^ 2.4.
  EXPECT_NEAR(RelativeLuminance(qRgb(128, 128, 128)), 0.2158605, 1e-6);
}

struct TPublished {
  const char* Name;
  QRgb Foreground, Background;
  double Ratio; // as the WCAG contrast checkers give it
};

class PublishedContrast : public testing::TestWithParam<TPublished> {};

TEST_P(PublishedContrast, MatchesTheCheckers) {
  const TPublished& P = GetParam();
  const TContrast C = ContrastOf(P.Foreground, P.Background);
  EXPECT_NEAR(C.Ratio, P.Ratio, 0.005);
  EXPECT_FALSE(C.Inverted);
  // The ratio does not depend on which colour is which; the inversion does.
  const TContrast Swapped = ContrastOf(P.Background, P.Foreground);
  EXPECT_DOUBLE_EQ(Swapped.Ratio, C.Ratio);
  EXPECT_TRUE(Swapped.Inverted);
}

INSTANTIATE_TEST_SUITE_P(
    Wcag, PublishedContrast,
    testing::Values(TPublished{"BlackOnWhite", Black, White, 21.0},
                    TPublished{"Grey777777OnWhite", qRgb(0x77, 0x77, 0x77), White, 4.48},
                    TPublished{"Grey767676OnWhite", qRgb(0x76, 0x76, 0x76), White, 4.54},
                    TPublished{"YellowOnWhite", qRgb(255, 255, 0), White, 1.07},
                    TPublished{"BlueOnWhite", qRgb(0, 0, 255), White, 8.59},
                    TPublished{"RedOnWhite", qRgb(255, 0, 0), White, 4.00},
                    TPublished{"BlackOnRed", Black, qRgb(255, 0, 0), 5.25}),
    [](const testing::TestParamInfo<TPublished>& Info) { return Info.param.Name; });

TEST(ContrastOf, EqualColoursAreOneToOneAndNotInverted) {
  for (const QRgb Colour : {Black, White, qRgb(0x12, 0x80, 0xF0)}) {
    const TContrast C = ContrastOf(Colour, Colour);
    EXPECT_DOUBLE_EQ(C.Ratio, 1.0);
    EXPECT_FALSE(C.Inverted);
  }
  EXPECT_DOUBLE_EQ(ContrastOf(White, Black).Ratio, 21.0);
  EXPECT_TRUE(ContrastOf(White, Black).Inverted);
}

TEST(ContrastReason, CutsToTwoDecimals) {
  EXPECT_EQ(ContrastReason(ContrastOf(qRgb(255, 255, 0), White).Ratio).Utf8(), "contrast 1.07 : 1");
  EXPECT_EQ(ContrastReason(1.0).Utf8(), "contrast 1.00 : 1");
  EXPECT_EQ(ContrastReason(1.5).Utf8(), "contrast 1.50 : 1");
  EXPECT_EQ(ContrastReason(2.07).Utf8(), "contrast 2.07 : 1");
  EXPECT_EQ(ContrastReason(2.9999).Utf8(), "contrast 2.99 : 1");
  EXPECT_EQ(ContrastReason(21.0).Utf8(), "contrast 21.00 : 1");
}

} // namespace
