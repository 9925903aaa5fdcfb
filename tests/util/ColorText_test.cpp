#include "util/ColorText.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <string_view>

namespace {

std::u16string Upper(std::u16string_view Text) {
  std::u16string Out(Text);
  for (char16_t& C : Out)
    if (C >= u'a' && C <= u'z') C = static_cast<char16_t>(C - u'a' + u'A');
  return Out;
}

std::u16string Lower(std::u16string_view Text) {
  std::u16string Out(Text);
  for (char16_t& C : Out)
    if (C >= u'A' && C <= u'Z') C = static_cast<char16_t>(C - u'A' + u'a');
  return Out;
}

} // namespace

// Values as the published colour constants give them ($00BBGGRR; system colours $FF000000 plus the
// COLOR_ index), typed in from that list and not from the program's table.
TEST(ColorText, PublishedConstantsReadAndWriteByName) {
  const struct {
    const char16_t* Name;
    TColor Value;
  } Published[] = {
      {u"clBlack", 0x00000000u},      {u"clRed", 0x000000FFu},       {u"clOlive", 0x00008080u},
      {u"clNavy", 0x00800000u},       {u"clTeal", 0x00808000u},      {u"clWhite", 0x00FFFFFFu},
      {u"clMoneyGreen", 0x00C0DCC0u}, {u"clSkyBlue", 0x00F0CAA6u},   {u"clCream", 0x00F0FBFFu},
      {u"clMedGray", 0x00A4A0A0u},    {u"clScrollBar", 0xFF000000u}, {u"clWindowText", 0xFF000008u},
      {u"clBtnFace", 0xFF00000Fu},    {u"clInfoBk", 0xFF000018u},    {u"clHotLight", 0xFF00001Au},
      {u"clMenuBar", 0xFF00001Eu},    {u"clNone", 0x1FFFFFFFu},      {u"clDefault", 0x20000000u},
  };
  for (const auto& C : Published) {
    SCOPED_TRACE(testing::Message() << std::hex << C.Value);
    EXPECT_EQ(ColorToText(C.Value), C.Name);
    EXPECT_EQ(TextToColor(C.Name), C.Value);
  }
}

// Over the program's own table: every name reads back in any letter case and is written as listed,
// no two entries share a name or a value, and every value has the shape of a colour constant.
TEST(ColorText, EveryNamedColourRoundTripsAndIsUnique) {
  std::set<TColor> Values;
  std::set<std::u16string> Names;
  for (const TNamedColor& C : NamedColors()) {
    SCOPED_TRACE(std::string(C.Name.begin(), C.Name.end()));
    EXPECT_TRUE(Values.insert(C.Value).second) << "two names share a value";
    EXPECT_TRUE(Names.insert(Lower(C.Name)).second) << "two names differ only in letter case";
    EXPECT_EQ(ColorToText(C.Value), C.Name);
    EXPECT_EQ(TextToColor(std::u16string(C.Name)), C.Value);
    EXPECT_EQ(TextToColor(Upper(C.Name)), C.Value);
    EXPECT_EQ(TextToColor(Lower(C.Name)), C.Value);
    // Written as the constants are spelt: "cl", then a capital or a digit ("cl3DLight").
    ASSERT_GE(C.Name.size(), 3u);
    EXPECT_TRUE(C.Name.starts_with(u"cl"));
    EXPECT_TRUE((C.Name[2] >= u'A' && C.Name[2] <= u'Z') ||
                (C.Name[2] >= u'0' && C.Name[2] <= u'9'));
    // A plain colour leaves the top byte clear; a system colour's index is one of COLOR_SCROLLBAR
    // (0) to COLOR_MENUBAR (30); clNone and clDefault are the two marks outside both.
    const bool Plain = C.Value <= 0x00FFFFFFu;
    const bool System = (C.Value & 0xFFFFFF00u) == 0xFF000000u && (C.Value & 0xFFu) <= 30;
    EXPECT_TRUE(Plain || System || C.Value == 0x1FFFFFFFu || C.Value == 0x20000000u);
  }
  EXPECT_GE(Values.size(), 18u); // the published constants above at least
}

TEST(ColorText, UnnamedValuesAreWrittenAsEightHexDigits) {
  EXPECT_EQ(ColorToText(0x00563412u), u"$00563412");
  EXPECT_EQ(ColorToText(0x00EFCDABu), u"$00EFCDAB");
  EXPECT_EQ(ColorToText(0x000000FEu), u"$000000FE");
  EXPECT_EQ(ColorToText(0xFF000019u), u"$FF000019"); // a system index without a name
  EXPECT_EQ(ColorToText(0xFFFFFFFFu), u"$FFFFFFFF");
  for (const TColor V : {0x00030201u, 0x12345678u, 0xFF000019u, 0xFFFFFFFFu})
    EXPECT_EQ(TextToColor(ColorToText(V)), V);
}

TEST(ColorText, ReadingTable) {
  const struct {
    std::u16string Text;
    std::optional<TColor> Color;
  } Cases[] = {
      {u"CLWHITE", 0x00FFFFFFu},
      {u"clwhite", 0x00FFFFFFu},
      {u"ClBtnFace", 0xFF00000Fu},
      {u"$000000FF", 0x000000FFu},
      {u"$ff", 0xFFu},
      {u"$FFFFFFFF", 0xFFFFFFFFu},
      {u"$0000000000FF", 0xFFu},
      {u"255", 255u},
      {u"+255", 255u},
      {u"0", 0u},
      {u"4294967295", 0xFFFFFFFFu},
      {u"-16777201", 0xFF00000Fu}, // the signed reading of a system colour
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
