// The read-back and the verdict against zbar: every style a user can choose that a phone can read
// must read back exactly at versions 1, 10 and 40, and the colour choices that phones fail on
// must be refused however cleanly zbar reads them.
#include "encoder/QRCodeSymbol.h"
#include "render/Code.h"
#include "render/Grey.h"
#include "render/Raster.h"
#include "render/ReadBack.h"

#include <QPainter>
#include <QString>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

// Names for the failure messages.
void PrintTo(TReadBackResult Result, std::ostream* Os) {
  *Os << (Result == TReadBackResult::Exact        ? "Exact"
          : Result == TReadBackResult::OtherBytes ? "OtherBytes"
                                                  : "NothingFound");
}

namespace {

// The picture as the preview draws it, at Side x Side pixels.
QImage PaintCode(const TQRCodeSymbol& Symbol, const TCodeStyle& Style, int Side) {
  return RenderRaster(GridOf(Symbol), Style, Side);
}

// A text of exactly Bytes UTF-8 bytes (ASCII with a two-byte letter now and then).
std::u16string TextOfBytes(std::size_t Bytes) {
  const std::u16string Unit = u"marbeck \u00E9t\u00E9 0123456789 ";
  std::u16string Text;
  std::size_t Count = 0;
  for (std::size_t I = 0; Count < Bytes; I = (I + 1) % Unit.size()) {
    const std::size_t Width = Unit[I] < 0x80 ? 1 : 2;
    if (Count + Width > Bytes) {
      Text += u'x';
      Count += 1;
    } else {
      Text += Unit[I];
      Count += Width;
    }
  }
  return Text;
}

std::string Utf8(const std::u16string& Text) {
  return QString::fromStdU16String(Text).toUtf8().toStdString();
}

// A text that needs the given version at level L in byte mode (ISO/IEC 18004 Table 7: versions
// 1, 10 and 40 hold 17, 271 and 2953 bytes; versions 9 and 39 hold 230 and 2812).
std::u16string TextForVersion(int Version) {
  switch (Version) {
  case 1:
    return TextOfBytes(15);
  case 10:
    return TextOfBytes(260);
  default:
    return TextOfBytes(2900);
  }
}

struct TCodeUnderTest {
  TQRCodeSymbol Symbol;
  std::string Expected;
};

// A symbol of the text for Version in plain UTF-8 (option 4: the bytes are the text's UTF-8).
void MakeCode(TCodeUnderTest& Code, int Version, const TCodeStyle& Style) {
  const std::u16string Text = TextForVersion(Version);
  Code.Symbol.SetData(Text);
  Code.Symbol.SetEncoding(qrUTF8NoBOM);
  Code.Symbol.SetQuietZone(Style.QuietZoneWithFrame());
  Code.Expected = Utf8(Text);
  ASSERT_EQ(Code.Symbol.Version(), Version);
}

TCodeStyle Colours(QRgb Dark, QRgb Light) {
  TCodeStyle Style;
  Style.Dark = Dark;
  Style.Light = Light;
  return Style;
}

TCodeStyle WithQuietZone(int QuietZone) {
  TCodeStyle Style;
  Style.QuietZone = QuietZone;
  return Style;
}

TCodeStyle WithMarks(int MarkLength) {
  TCodeStyle Style;
  Style.QuietZone = 2; // the window's default
  Style.Frame = true;
  Style.MarkLength = MarkLength;
  Style.FrameColor = qRgb(160, 0, 0); // dark enough to pass for modules
  return Style;
}

struct TStyleCase {
  std::string Name;
  TCodeStyle Style;
};

void PrintTo(const TStyleCase& Case, std::ostream* Os) {
  *Os << Case.Name;
}

std::vector<TStyleCase> ReadableStyles() {
  std::vector<TStyleCase> Cases;
  TCodeStyle Default;
  Default.QuietZone = 2;
  Cases.push_back({"Default", Default});
  TCodeStyle BlueOnCream = Colours(qRgb(0x1A, 0x2B, 0x6D), qRgb(0xFF, 0xF8, 0xE7));
  BlueOnCream.QuietZone = 2;
  Cases.push_back({"DarkBlueOnCream", BlueOnCream});
  for (int QuietZone = 1; QuietZone <= 10; ++QuietZone)
    Cases.push_back({"QuietZone" + std::to_string(QuietZone), WithQuietZone(QuietZone)});
  for (int Mark = 0; Mark <= 10; ++Mark)
    Cases.push_back({"FrameMarks" + std::to_string(Mark), WithMarks(Mark)});
  return Cases;
}

// The sizes a picture is read at: two pixels a module (the least at which every version reads),
// and the preview's largest zoom.
enum TSize { TwoPerModule, Largest };

class ReadableStyle : public testing::TestWithParam<std::tuple<TStyleCase, int, TSize>> {};

TEST_P(ReadableStyle, ReadsBackExactlyAndIsVerified) {
  const auto& [Case, Version, Size] = GetParam();
  TCodeUnderTest Code;
  MakeCode(Code, Version, Case.Style);
  const int Side = Size == Largest ? 800 : 2 * Code.Symbol.Rows();
  const QImage Picture = PaintCode(Code.Symbol, Case.Style, Side);

  const TReadBack Read = ReadBack(Picture, Code.Expected);
  EXPECT_EQ(Read.Result, TReadBackResult::Exact);
  EXPECT_EQ(Read.Bytes, Code.Expected);
  const TVerdict Verdict = Verify(Picture, Code.Expected, Case.Style);
  EXPECT_TRUE(Verdict.Verified());
  EXPECT_EQ(Verdict.Reason.Utf8(), "");
}

std::string ReadableName(const testing::TestParamInfo<ReadableStyle::ParamType>& Info) {
  const auto& [Case, Version, Size] = Info.param;
  return Case.Name + "_V" + std::to_string(Version) + (Size == Largest ? "_800" : "_2PerModule");
}

INSTANTIATE_TEST_SUITE_P(Styles, ReadableStyle,
                         testing::Combine(testing::ValuesIn(ReadableStyles()),
                                          testing::Values(1, 10, 40),
                                          testing::Values(TwoPerModule, Largest)),
                         ReadableName);

struct TRefusedCase {
  std::string Name;
  TCodeStyle Style;
  std::string Reason;
  TVerdictKind Kind;
};

void PrintTo(const TRefusedCase& Case, std::ostream* Os) {
  *Os << Case.Name;
}

class RefusedStyle : public testing::TestWithParam<std::tuple<TRefusedCase, int>> {};

TEST_P(RefusedStyle, IsNotVerifiedForItsColours) {
  const auto& [Case, Version] = GetParam();
  TCodeUnderTest Code;
  MakeCode(Code, Version, Case.Style);
  const QImage Picture = PaintCode(Code.Symbol, Case.Style, 800);

  const TVerdict Verdict = Verify(Picture, Code.Expected, Case.Style);
  EXPECT_FALSE(Verdict.Verified());
  EXPECT_EQ(Verdict.Reason.Utf8(), Case.Reason);
  EXPECT_EQ(Verdict.Kind, Case.Kind);
}

// Yellow on white: WCAG 2 luminance 0.9278 against 1, ratio 1.05 / 0.9778 = 1.0738. CSS
// lightgrey (#D3D3D3): luminance 0.6514, ratio 1.05 / 0.7014 = 1.4969.
INSTANTIATE_TEST_SUITE_P(
    Styles, RefusedStyle,
    testing::Combine(
        testing::Values(
            TRefusedCase{"YellowOnWhite", Colours(qRgb(255, 255, 0), qRgb(255, 255, 255)),
                         "contrast 1.07 : 1", TVerdictKind::WeakContrast},
            TRefusedCase{"LightGreyOnWhite", Colours(qRgb(0xD3, 0xD3, 0xD3), qRgb(255, 255, 255)),
                         "contrast 1.49 : 1", TVerdictKind::WeakContrast},
            TRefusedCase{"WhiteOnBlack", Colours(qRgb(255, 255, 255), qRgb(0, 0, 0)),
                         "inverted colours", TVerdictKind::Inverted}),
        testing::Values(1, 10, 40)),
    [](const testing::TestParamInfo<RefusedStyle::ParamType>& Info) {
      return std::get<0>(Info.param).Name + "_V" + std::to_string(std::get<1>(Info.param));
    });

// A code of Text with option Encoding, in Style, at Scale pixels a module.
QImage PictureOf(const std::u16string& Text, TQRCodeEncoding Encoding, const TCodeStyle& Style = {},
                 int Scale = 3) {
  TQRCodeSymbol Symbol;
  Symbol.SetData(Text);
  Symbol.SetEncoding(Encoding);
  Symbol.SetQuietZone(Style.QuietZoneWithFrame());
  return PaintCode(Symbol, Style, Scale * Symbol.Rows());
}

TEST(ReadBack, TellsAnotherPayloadFromNothing) {
  const QImage Picture = PictureOf(u"marbeck one", qrUTF8NoBOM);
  const TReadBack Other = ReadBack(Picture, "marbeck two");
  EXPECT_EQ(Other.Result, TReadBackResult::OtherBytes);
  EXPECT_EQ(Other.Bytes, "marbeck one");
  // A prefix or an extension of the bytes is not the bytes.
  EXPECT_EQ(ReadBack(Picture, "marbeck on").Result, TReadBackResult::OtherBytes);
  EXPECT_EQ(ReadBack(Picture, "marbeck one ").Result, TReadBackResult::OtherBytes);

  for (const QImage& Blank : {QImage(), QImage(300, 300, QImage::Format_RGB32)}) {
    QImage Filled = Blank;
    if (!Filled.isNull()) Filled.fill(Qt::white);
    const TReadBack Nothing = ReadBack(Filled, "marbeck one");
    EXPECT_EQ(Nothing.Result, TReadBackResult::NothingFound);
    EXPECT_EQ(Nothing.Bytes, "");
  }
  // Two symbols are not the one symbol asked for, even when both carry the bytes.
  QImage Twice(2 * Picture.width(), Picture.height(), QImage::Format_RGB32);
  {
    QPainter Painter(&Twice);
    Painter.drawImage(0, 0, Picture);
    Painter.drawImage(Picture.width(), 0, Picture);
  }
  const TReadBack Two = ReadBack(Twice, "marbeck one");
  EXPECT_EQ(Two.Result, TReadBackResult::OtherBytes);
  EXPECT_EQ(Two.Bytes, "marbeck one");
  // Half a symbol is no symbol.
  EXPECT_EQ(
      ReadBack(Picture.copy(0, 0, Picture.width() / 2, Picture.height()), "marbeck one").Result,
      TReadBackResult::NothingFound);
}

// Binary mode: the bytes come back as the symbol carries them. A reader that guesses a character
// set would hand back ISO-8859-1 bytes as UTF-8, and drop or keep a byte order mark at will.
TEST(ReadBack, GivesTheSymbolsBytesWithoutGuessingACharacterSet) {
  const std::u16string Text = u"caf\u00E9 \u00FCber \u00A9";
  EXPECT_EQ(ReadBack(PictureOf(Text, qrISO88591), "caf\xE9 \xFC"
                                                  "ber \xA9")
                .Result,
            TReadBackResult::Exact);
  EXPECT_EQ(ReadBack(PictureOf(Text, qrUTF8NoBOM), Utf8(Text)).Result, TReadBackResult::Exact);
  EXPECT_EQ(ReadBack(PictureOf(Text, qrUTF8BOM), "\xEF\xBB\xBF" + Utf8(Text)).Result,
            TReadBackResult::Exact);
  // Bytes zbar would stop at in a C string.
  const std::string WithNul("a\0b", 3);
  EXPECT_EQ(ReadBack(PictureOf(std::u16string(u"a\0b", 3), qrISO88591), WithNul).Result,
            TReadBackResult::Exact);
}

TEST(ReadBack, ReadsEveryPixelFormatAlike) {
  TCodeStyle BlueOnCream;
  BlueOnCream.Dark = qRgb(0x1A, 0x2B, 0x6D);
  BlueOnCream.Light = qRgb(0xFF, 0xF8, 0xE7);
  const QImage Picture = PictureOf(u"https://example.org/marbeck", qrAuto, BlueOnCream);
  for (const QImage::Format Format :
       {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
        QImage::Format_RGB888, QImage::Format_BGR888, QImage::Format_RGB16,
        QImage::Format_Grayscale8, QImage::Format_Indexed8}) {
    SCOPED_TRACE(Format);
    EXPECT_EQ(ReadBack(Picture.convertToFormat(Format), "https://example.org/marbeck").Result,
              TReadBackResult::Exact);
  }
}

// The window reads back on a worker thread while the command line's batch reads on several.
TEST(ReadBack, ReadsOnSeveralThreadsAtOnce) {
  TCodeUnderTest Code;
  MakeCode(Code, 10, TCodeStyle{});
  const QImage Picture = PaintCode(Code.Symbol, TCodeStyle{}, 3 * Code.Symbol.Rows());
  std::vector<int> Exact(4, 0);
  std::vector<std::thread> Readers;
  for (std::size_t T = 0; T < Exact.size(); ++T)
    Readers.emplace_back([&, T] {
      for (int I = 0; I < 3; ++I)
        Exact[T] += ReadBack(Picture, Code.Expected).Result == TReadBackResult::Exact;
    });
  for (std::thread& Reader : Readers)
    Reader.join();
  EXPECT_EQ(Exact, std::vector<int>(4, 3));
}

// The grey of a colour is the sRGB grey of equal relative luminance.
TEST(GreyOf, KeepsGreysAndOrdersColoursByLuminance) {
  for (int Level = 0; Level < 256; ++Level)
    ASSERT_EQ(GreyOf(qRgb(Level, Level, Level)), Level);
  // Luminance 0.2126, 0.7152 and 0.0722: the sRGB levels 127.1, 219.9 and 76.0. A mix-up of the
  // channels or of the weights shows here.
  EXPECT_EQ(GreyOf(qRgb(255, 0, 0)), 127);
  EXPECT_EQ(GreyOf(qRgb(0, 255, 0)), 220);
  EXPECT_EQ(GreyOf(qRgb(0, 0, 255)), 76);
  EXPECT_EQ(GreyOf(qRgb(255, 255, 0)), 247);   // yellow: luminance 0.9278
  EXPECT_EQ(GreyOf(qRgba(255, 0, 0, 0)), 127); // alpha plays no part

  std::vector<QRgb> Colours;
  for (int R = 0; R < 256; R += 51)
    for (int G = 0; G < 256; G += 51)
      for (int B = 0; B < 256; B += 51)
        Colours.push_back(qRgb(R, G, B));
  for (const QRgb A : Colours)
    for (const QRgb B : Colours)
      if (RelativeLuminance(A) < RelativeLuminance(B)) {
        ASSERT_LE(GreyOf(A), GreyOf(B));
      }
}

// The order of the reasons, and the border of the contrast check (#949494 on white is 3.03 : 1,
// #959595 is 2.9953 : 1, which must not show as 3.00).
TEST(Verify, GivesTheFirstReasonThatApplies) {
  const std::u16string Text = u"https://example.org/marbeck";
  const std::string Bytes = "https://example.org/marbeck";
  TCodeStyle Style;

  EXPECT_EQ(Verify(PictureOf(Text, qrAuto, Style), Bytes, Style).Reason.Utf8(), "");
  EXPECT_TRUE(Verify(PictureOf(Text, qrAuto, Style), Bytes, Style).Verified());
  const TVerdict Other = Verify(PictureOf(Text, qrAuto, Style), "https://example.org/other", Style);
  EXPECT_EQ(Other.Reason.Utf8(), "read back other bytes");
  EXPECT_EQ(Other.Kind, TVerdictKind::OtherBytes);
  QImage Blank(300, 300, QImage::Format_RGB32);
  Blank.fill(Qt::white);
  EXPECT_EQ(Verify(Blank, Bytes, Style).Reason.Utf8(), "nothing found");
  EXPECT_EQ(Verify(Blank, Bytes, Style).Kind, TVerdictKind::NothingFound);

  Style.Dark = qRgb(0x94, 0x94, 0x94);
  EXPECT_TRUE(Verify(PictureOf(Text, qrAuto, Style), Bytes, Style).Verified());
  Style.Dark = qRgb(0x95, 0x95, 0x95);
  const TVerdict JustBelow = Verify(PictureOf(Text, qrAuto, Style), Bytes, Style);
  EXPECT_FALSE(JustBelow.Verified());
  EXPECT_EQ(JustBelow.Reason.Utf8(), "contrast 2.99 : 1");

  // Inverted and too faint (white on #EEEEEE, 1.16 : 1): the contrast is named first.
  Style.Dark = qRgb(255, 255, 255);
  Style.Light = qRgb(0xEE, 0xEE, 0xEE);
  EXPECT_EQ(Verify(PictureOf(Text, qrAuto, Style), Bytes, Style).Reason.Utf8(),
            "contrast 1.16 : 1");
  // Where zbar reads the clean pixels of a faint code, the verdict still refuses it; zbar tries
  // no inverted reading.
  TCodeUnderTest Code;
  Style.Dark = qRgb(255, 255, 0);
  Style.Light = qRgb(255, 255, 255);
  MakeCode(Code, 10, Style);
  const QImage Yellow = PaintCode(Code.Symbol, Style, 800);
  EXPECT_EQ(ReadBack(Yellow, Code.Expected).Result, TReadBackResult::Exact);
  EXPECT_EQ(Verify(Yellow, Code.Expected, Style).Reason.Utf8(), "contrast 1.07 : 1");
  Style.Dark = qRgb(255, 255, 255);
  Style.Light = qRgb(0, 0, 0);
  EXPECT_EQ(ReadBack(PaintCode(Code.Symbol, Style, 800), Code.Expected).Result,
            TReadBackResult::NothingFound);
  // The colours are judged before the picture: a blank picture in refused colours names them.
  Style.Light = qRgb(0, 0, 0);
  EXPECT_EQ(Verify(Blank, Bytes, Style).Reason.Utf8(), "inverted colours");
  EXPECT_EQ(Verify(Blank, Bytes, Style).Kind, TVerdictKind::Inverted);
}

} // namespace

// A code's own bytes are what a reader gets from its picture, whatever the encoding option; a
// text too long for any symbol carries none.
TEST(ReadBack, MakeCodeNamesTheBytesItsPictureCarries) {
  const struct {
    const char16_t* Text;
    TQRCodeEncoding Encoding;
  } Cases[] = {
      {u"https://example.org/?q=1", qrAuto},
      {u"0123456789", qrNumeric},
      {u"AC-42 ab", qrAlphanumeric},
      {u"Grüße, Jörg", qrISO88591},
      {u"Привет 😀", qrUTF8NoBOM},
      {u"Grüße", qrUTF8BOM},
  };
  for (const auto& Case : Cases) {
    TCodeStyle Style;
    Style.QuietZone = 4;
    const TCode Code = ::MakeCode(Case.Text, Case.Encoding, Style);
    ASSERT_FALSE(Code.Bytes.empty());
    const TReadBack Read = ReadBack(RenderRaster(Code.Grid, Style, 4 * Code.Grid.Side), Code.Bytes);
    EXPECT_EQ(Read.Result, TReadBackResult::Exact) << static_cast<int>(Case.Encoding);
  }
  EXPECT_TRUE(::MakeCode(std::u16string(3000, u'x'), qrAuto, TCodeStyle{}).Bytes.empty());
}
