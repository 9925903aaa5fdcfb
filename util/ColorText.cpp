#include "util/ColorText.h"

#include "platform/Unicode.h"

#include <array>
#include <string_view>

namespace {

constexpr TColor Rgb(unsigned R, unsigned G, unsigned B) {
  return R | (G << 8) | (B << 16);
}
constexpr TColor System(unsigned Index) {
  return 0xFF000000u | Index;
}

constexpr std::array<TNamedColor, 52> kNamedColors{{
    {u"clBlack", Rgb(0, 0, 0)},
    {u"clMaroon", Rgb(128, 0, 0)},
    {u"clGreen", Rgb(0, 128, 0)},
    {u"clOlive", Rgb(128, 128, 0)},
    {u"clNavy", Rgb(0, 0, 128)},
    {u"clPurple", Rgb(128, 0, 128)},
    {u"clTeal", Rgb(0, 128, 128)},
    {u"clGray", Rgb(128, 128, 128)},
    {u"clSilver", Rgb(192, 192, 192)},
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
    {u"clMedGray", Rgb(160, 160, 164)},
    {u"clScrollBar", System(0)},
    {u"clBackground", System(1)},
    {u"clActiveCaption", System(2)},
    {u"clInactiveCaption", System(3)},
    {u"clMenu", System(4)},
    {u"clWindow", System(5)},
    {u"clWindowFrame", System(6)},
    {u"clMenuText", System(7)},
    {u"clWindowText", System(8)},
    {u"clCaptionText", System(9)},
    {u"clActiveBorder", System(10)},
    {u"clInactiveBorder", System(11)},
    {u"clAppWorkSpace", System(12)},
    {u"clHighlight", System(13)},
    {u"clHighlightText", System(14)},
    {u"clBtnFace", System(15)},
    {u"clBtnShadow", System(16)},
    {u"clGrayText", System(17)},
    {u"clBtnText", System(18)},
    {u"clInactiveCaptionText", System(19)},
    {u"clBtnHighlight", System(20)},
    {u"cl3DDkShadow", System(21)},
    {u"cl3DLight", System(22)},
    {u"clInfoText", System(23)},
    {u"clInfoBk", System(24)},
    {u"clHotLight", System(26)},
    {u"clGradientActiveCaption", System(27)},
    {u"clGradientInactiveCaption", System(28)},
    {u"clMenuHighlight", System(29)},
    {u"clMenuBar", System(30)},
    {u"clNone", 0x1FFFFFFFu},
    {u"clDefault", 0x20000000u},
}};

} // namespace

std::span<const TNamedColor> NamedColors() {
  return kNamedColors;
}

std::u16string ColorToText(TColor Color) {
  for (const TNamedColor& Named : kNamedColors)
    if (Named.Value == Color) return std::u16string(Named.Name);
  std::u16string Text(9, u'$');
  for (int I = 0; I < 8; ++I)
    Text[8 - I] = static_cast<char16_t>(UpperHexDigit(Color >> (4 * I)));
  return Text;
}

std::optional<TColor> TextToColor(const std::u16string& Text) {
  for (const TNamedColor& Named : kNamedColors)
    if (EqualIgnoringAsciiCase(Text, Named.Name)) return Named.Value;
  if (Text.empty()) return std::nullopt;

  if (Text[0] == u'$') { // hexadecimal: the 32 bits of the value
    if (Text.size() == 1) return std::nullopt;
    unsigned long long Value = 0;
    for (std::size_t I = 1; I < Text.size(); ++I) {
      const int D = HexDigitValue(Text[I]);
      if (D < 0) return std::nullopt;
      Value = Value * 16 + static_cast<unsigned>(D);
      if (Value > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<TColor>(Value);
  }

  // Decimal, optionally signed: a 32-bit signed colour value, as a negative system colour is often
  // written (-16777201 is clBtnFace), or its unsigned reading.
  std::size_t I = 0;
  const bool Negative = Text[0] == u'-';
  if (Text[0] == u'-' || Text[0] == u'+') ++I;
  if (I == Text.size()) return std::nullopt;
  unsigned long long Value = 0;
  for (; I < Text.size(); ++I) {
    if (Text[I] < u'0' || Text[I] > u'9') return std::nullopt;
    Value = Value * 10 + static_cast<unsigned>(Text[I] - u'0');
    if (Value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (Negative) {
    if (Value > 0x80000000ull) return std::nullopt;
    return static_cast<TColor>(0x100000000ull - Value);
  }
  return static_cast<TColor>(Value);
}
