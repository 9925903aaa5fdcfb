#include "util/ColorText.h"

#include <gtest/gtest.h>
#include <set>

namespace {
constexpr TColor Rgb(unsigned R, unsigned G, unsigned B) {
  return R | (G << 8) | (B << 16);
}
constexpr TColor Sys(unsigned Index) {
  return 0xFF000000u | Index;
}

struct TNamed {
  const char16_t* Name;
  TColor Value;
};

// The named colours as the settings know them.
const TNamed kNamed[] = {
    {u"clBlack", Rgb(0, 0, 0)},
    {u"clMaroon", Rgb(128, 0, 0)},
    {u"clGreen", Rgb(0, 128, 0)},
    {u"clOlive", Rgb(128, 128, 0)},
    {u"clNavy", Rgb(0, 0, 128)},
    {u"clPurple", Rgb(128, 0, 128)},
    {u"clTeal", Rgb(0, 128, 128)},
    {u"clGray", Rgb(128, 128, 128)},
    {u"clSilver", Rgb(192, 192, 192)},
    {u"clMedGray", Rgb(160, 160, 164)},
    {u"clRed", Rgb(255, 0, 0)},
    {u"clLime", Rgb(0, 255, 0)},
    {u"clYellow", Rgb(255, 255, 0)},
    {u"clBlue", Rgb(0, 0, 255)},
    {u"clFuchsia", Rgb(255, 0, 255)},
    {u"clAqua", Rgb(0, 255, 255)},
    {u"clWhite", Rgb(255, 255, 255)},
    {u"clMoneyGreen", Rgb(192, 220, 192)},
    {u"clSkyBlue", Rgb(166, 202, 240)},
    {u"clCream", Rgb(255, 251, 240)},
    {u"clScrollBar", Sys(0)},
    {u"clBackground", Sys(1)},
    {u"clActiveCaption", Sys(2)},
    {u"clInactiveCaption", Sys(3)},
    {u"clMenu", Sys(4)},
    {u"clWindow", Sys(5)},
    {u"clWindowFrame", Sys(6)},
    {u"clMenuText", Sys(7)},
    {u"clWindowText", Sys(8)},
    {u"clCaptionText", Sys(9)},
    {u"clActiveBorder", Sys(10)},
    {u"clInactiveBorder", Sys(11)},
    {u"clAppWorkSpace", Sys(12)},
    {u"clHighlight", Sys(13)},
    {u"clHighlightText", Sys(14)},
    {u"clBtnFace", Sys(15)},
    {u"clBtnShadow", Sys(16)},
    {u"clGrayText", Sys(17)},
    {u"clBtnText", Sys(18)},
    {u"clInactiveCaptionText", Sys(19)},
    {u"clBtnHighlight", Sys(20)},
    {u"cl3DDkShadow", Sys(21)},
    {u"cl3DLight", Sys(22)},
    {u"clInfoText", Sys(23)},
    {u"clInfoBk", Sys(24)},
    {u"clHotLight", Sys(26)},
    {u"clGradientActiveCaption", Sys(27)},
    {u"clGradientInactiveCaption", Sys(28)},
    {u"clMenuHighlight", Sys(29)},
    {u"clMenuBar", Sys(30)},
    {u"clNone", 0x1FFFFFFFu},
    {u"clDefault", 0x20000000u},
};
} // namespace

TEST(ColorText, NamedColoursBothWays) {
  std::set<TColor> Seen;
  for (const TNamed& C : kNamed) {
    SCOPED_TRACE(testing::Message() << std::hex << C.Value);
    EXPECT_TRUE(Seen.insert(C.Value).second) << "two names share a value";
    EXPECT_EQ(ColorToText(C.Value), C.Name);
    EXPECT_EQ(TextToColor(C.Name), C.Value);
  }
}

TEST(ColorText, UnnamedValuesAreWrittenAsEightHexDigits) {
  EXPECT_EQ(ColorToText(Rgb(0x12, 0x34, 0x56)), u"$00563412");
  EXPECT_EQ(ColorToText(Rgb(0xAB, 0xCD, 0xEF)), u"$00EFCDAB");
  EXPECT_EQ(ColorToText(Rgb(254, 0, 0)), u"$000000FE");
  EXPECT_EQ(ColorToText(Sys(25)), u"$FF000019"); // a system index without a name
  EXPECT_EQ(ColorToText(0xFFFFFFFFu), u"$FFFFFFFF");
  for (const TColor V : {Rgb(1, 2, 3), 0x12345678u, Sys(25), 0xFFFFFFFFu})
    EXPECT_EQ(TextToColor(ColorToText(V)), V);
}

TEST(ColorText, ReadingTable) {
  const struct {
    std::u16string Text;
    std::optional<TColor> Color;
  } Cases[] = {
      {u"CLWHITE", Rgb(255, 255, 255)},
      {u"clwhite", Rgb(255, 255, 255)},
      {u"ClBtnFace", Sys(15)},
      {u"$000000FF", Rgb(255, 0, 0)},
      {u"$ff", 0xFFu},
      {u"$FFFFFFFF", 0xFFFFFFFFu},
      {u"$0000000000FF", 0xFFu},
      {u"255", 255u},
      {u"+255", 255u},
      {u"0", 0u},
      {u"4294967295", 0xFFFFFFFFu},
      {u"-16777201", Sys(15)}, // the signed reading of a system colour
      {u"-2147483648", 0x80000000u},
      {u"", std::nullopt},
      {u"clPink", std::nullopt},
      {u"clWhite ", std::nullopt},
      {u" 255", std::nullopt},
      {u"$", std::nullopt},
      {u"$1G", std::nullopt},
      {u"$100000000", std::nullopt},
      {u"4294967296", std::nullopt},
      {u"-2147483649", std::nullopt},
      {u"-", std::nullopt},
      {u"12a", std::nullopt},
      {u"0x10", std::nullopt},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Text.begin(), C.Text.end()));
    EXPECT_EQ(TextToColor(C.Text), C.Color);
  }
}
