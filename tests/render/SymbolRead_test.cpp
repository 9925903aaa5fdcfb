// The ECI designators zbar does not report, read from the symbol itself: the segment parser on
// hand-made bit streams (ISO/IEC 18004 clause 7.4), and whole symbols (ours with and without
// the designator, turned and mirrored) through ScanPicture.
#include "platform/Unicode.h"
#include "render/Code.h"
#include "render/Raster.h"
#include "render/Scan.h"
#include "render/SymbolRead.h"

#include <QTransform>
#include <cstring>
#include <gtest/gtest.h>
#include <zint.h>

namespace {

// Bits appended most significant first, packed into codewords (the last one padded with 0s).
class TBits {
public:
  TBits& Add(std::uint32_t Value, int Count) {
    for (int I = Count - 1; I >= 0; --I)
      FBits.push_back(((Value >> I) & 1u) != 0);
    return *this;
  }
  std::vector<std::uint8_t> Codewords() const {
    std::vector<std::uint8_t> Out((FBits.size() + 7) / 8);
    for (std::size_t I = 0; I < FBits.size(); ++I)
      if (FBits[I]) Out[I / 8] |= static_cast<std::uint8_t>(0x80 >> (I % 8));
    return Out;
  }

private:
  std::vector<bool> FBits;
};

} // namespace

TEST(ReadSegments, ModesAndDesignators) {
  struct TCase {
    const char* What;
    TBits Bits;
    int Version;
    std::optional<std::string> Bytes; // empty: malformed
    std::vector<int> Ecis;
    int Eci;
  };
  const TCase Cases[] = {
      {"ECI 26, then a byte segment",
       TBits().Add(7, 4).Add(26, 8).Add(4, 4).Add(2, 8).Add(0xC3, 8).Add(0xA9, 8).Add(0, 4),
       1,
       std::string("\xC3\xA9"),
       {26},
       26},
      {"two-byte designator 899",
       TBits().Add(7, 4).Add(0x8000 | 899, 16).Add(4, 4).Add(1, 8).Add('x', 8),
       1,
       std::string("x"),
       {899},
       899},
      {"three-byte designator 100000",
       TBits().Add(7, 4).Add(0xC00000 | 100000, 24).Add(4, 4).Add(1, 8).Add('x', 8),
       1,
       std::string("x"),
       {100000},
       100000},
      {"numeric, alphanumeric and byte, version 10 widths",
       TBits()
           .Add(1, 4)
           .Add(4, 12)
           .Add(123, 10)
           .Add(4, 4)
           .Add(2, 4)
           .Add(3, 11)
           .Add(10 * 45 + 36, 11)
           .Add(1, 6)
           .Add(4, 4)
           .Add(1, 16)
           .Add('!', 8),
       10,
       std::string("1234A 1!"),
       {},
       -1},
      {"kanji as Shift JIS",
       TBits().Add(8, 4).Add(1, 8).Add(0x0D9F, 13),
       1,
       std::string("\x93\x5F"),
       {},
       -1},
      {"a designator after the bytes is not theirs",
       TBits().Add(4, 4).Add(1, 8).Add('a', 8).Add(7, 4).Add(4, 8),
       1,
       std::string("a"),
       {4},
       -1},
      {"a count past the end", TBits().Add(4, 4).Add(9, 8).Add('a', 8), 1, std::nullopt, {}, -1},
      {"an unknown mode", TBits().Add(0xF, 4).Add(0, 12), 1, std::nullopt, {}, -1},
      {"a numeric group of 1000",
       TBits().Add(1, 4).Add(3, 10).Add(1000, 10),
       1,
       std::nullopt,
       {},
       -1},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    const std::optional<TSegmentsRead> Read = ReadSegments(Case.Bits.Codewords(), Case.Version);
    ASSERT_EQ(Read.has_value(), Case.Bytes.has_value());
    if (!Read) continue;
    EXPECT_EQ(Read->Bytes, *Case.Bytes);
    EXPECT_EQ(Read->Ecis, Case.Ecis);
    EXPECT_EQ(Read->Eci, Case.Eci);
  }
  // The bytes under a designator also as zbar gives them: converted to UTF-8.
  const auto Latin2 =
      ReadSegments(TBits().Add(7, 4).Add(4, 8).Add(4, 4).Add(1, 8).Add(0xA3, 8).Codewords(), 1);
  ASSERT_TRUE(Latin2.has_value());
  EXPECT_EQ(Latin2->Bytes, "\xA3");
  EXPECT_EQ(Latin2->Utf8, "\xC5\x81"); // L with stroke
  const auto Kanji = ReadSegments(TBits().Add(8, 4).Add(1, 8).Add(0x0D9F, 13).Codewords(), 1);
  ASSERT_TRUE(Kanji.has_value());
  EXPECT_EQ(Kanji->Utf8, "\xE7\x82\xB9"); // U+70B9, whatever the designator
}

// Our own codes read from their pictures, upright, turned and mirrored: the designator
// of UTF-8 with ECI, none for plain UTF-8, and the bytes as zbar gave them.
TEST(ReadSegments, OurSymbolsTellTheirDesignatorFromThePicture) {
  const std::u16string Text = u"Gr\u00FC\u00DFe \u20AC, version by version";
  for (const TQRCodeEncoding Encoding : {qrUTF8ECI, qrUTF8NoBOM}) {
    const TCode Code = MakeCode(Text + std::u16string(80, u'x'), Encoding, TCodeStyle());
    ASSERT_GT(Code.Version, 1);
    const QImage Upright = RenderRaster(Code.Grid, TCodeStyle(), Code.Grid.Side * 4);
    for (const QImage& Picture :
         {Upright, Upright.transformed(QTransform().rotate(90)), Upright.mirrored(true, false)}) {
      const std::vector<TFoundCode> Found = ScanPicture(Picture);
      ASSERT_EQ(Found.size(), 1u);
      EXPECT_EQ(Found[0].Bytes, Code.Bytes);
      EXPECT_EQ(Found[0].Eci, Encoding == qrUTF8ECI ? 26 : -1);
    }
  }
}

// Codes Zint makes with a designator (its --eci): each found with that designator, its bytes read
// in the character set it names giving the text back.
TEST(ReadSegments, ZintCodesWithDesignatorsReadAsTheirText) {
  struct TCase {
    int Eci;
    const char* Text; // UTF-8, as Zint takes it
  };
  const TCase Cases[] = {{26, "Gr\xC3\xBC\xC3\x9F"
                              "e \xE2\x82\xAC"},
                         {3, "Caf\xC3\xA9"},
                         {4, "\xC5\x81\xC3\xB3"
                             "d\xC5\xBA"},
                         {7, "\xD0\x9C\xD0\xB8\xD1\x80"},
                         {20, "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"}}; // kanji mode in Zint
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Eci);
    zint_symbol* Symbol = ZBarcode_Create();
    Symbol->symbology = BARCODE_QRCODE;
    Symbol->eci = Case.Eci;
    Symbol->input_mode = UNICODE_MODE;
    Symbol->scale = 2; // four pixels a module
    Symbol->output_options |= BARCODE_QUIET_ZONES;
    const std::string Text = Case.Text;
    ASSERT_EQ(ZBarcode_Encode_and_Buffer(Symbol,
                                         reinterpret_cast<const unsigned char*>(Text.data()),
                                         static_cast<int>(Text.size()), 0),
              0)
        << Symbol->errtxt;
    QImage Picture(Symbol->bitmap_width, Symbol->bitmap_height, QImage::Format_RGB888);
    for (int Y = 0; Y < Symbol->bitmap_height; ++Y)
      std::memcpy(Picture.scanLine(Y), Symbol->bitmap + 3 * Y * Symbol->bitmap_width,
                  static_cast<std::size_t>(3 * Symbol->bitmap_width));
    ZBarcode_Delete(Symbol);
    const std::vector<TFoundCode> Found = ScanPicture(Picture);
    ASSERT_EQ(Found.size(), 1u);
    EXPECT_EQ(Found[0].Eci, Case.Eci);
    const std::optional<std::u16string> Read = DecodeEciBytes(Found[0].Bytes, Found[0].Eci);
    ASSERT_TRUE(Read.has_value());
    EXPECT_EQ(Utf16ToUtf8(*Read), Text);
  }
}
