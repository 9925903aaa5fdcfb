// The strongest check of the encoder: an independent decoder reads back exactly the bytes
// the segment carries, for every option, every mode and versions from 1 to 40.
#include "encoder/QRCodeSymbol.h"
#include "encoder/reference/Encoder.h"
#include "support/ZbarDecode.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Repeat(const std::string& Unit, std::size_t Length) {
  std::string S;
  while (S.size() < Length) {
    S += Unit;
  }
  S.resize(Length);
  return S;
}

std::u16string Widen(const std::string& Ascii) {
  return std::u16string(Ascii.begin(), Ascii.end());
}

std::u16string RepeatU(const std::u16string& Unit, std::size_t Count) {
  std::u16string S;
  for (std::size_t I = 0; I < Count; ++I) {
    S += Unit;
  }
  return S;
}

// The bytes a decoder must return: the characters each mode keeps, as the mode writes them.
std::string ExpectedBytes(const std::u16string& Text, int Option) {
  int Effective = Option;
  const TMode Mode = TEncoder::SelectMode(Text, Effective);
  const std::u16string Kept = TEncoder::StripUnencodable(Text, Mode, Effective);
  if (Mode != qmByte) {
    return std::string(Kept.begin(), Kept.end()); // digits and the alphanumeric set are ASCII
  }
  const TByteArray B = TEncoder::ByteSegmentBytes(Kept, Effective);
  return std::string(B.begin(), B.end());
}

struct Case {
  const char* Name;
  std::u16string Text;
  TQRCodeEncoding Option;
  int Version; // the version the text needs at level L
};

void PrintTo(const Case& C, std::ostream* Os) {
  *Os << C.Name;
}

class ZbarReadsWhatWeMake : public testing::TestWithParam<Case> {};

TEST_P(ZbarReadsWhatWeMake, DecodedBytesEqualTheSegmentsBytes) {
  const Case& C = GetParam();
  TEncodeReport Report;
  const T2DBooleanArray Grid = EncodeToGrid(C.Text, C.Option, &Report);
  ASSERT_FALSE(Grid.empty());
  EXPECT_EQ(Report.Version, C.Version);
  EXPECT_EQ(static_cast<int>(Grid.size()), 17 + 4 * C.Version);
  const auto Decoded = DecodeWithZbar(Grid, 4, C.Version > 20 ? 3 : 4);
  ASSERT_TRUE(Decoded.has_value()) << "zbar found no symbol";
  EXPECT_EQ(*Decoded, ExpectedBytes(C.Text, C.Option));
}

const Case Cases[] = {
    {"HelloWorldAlnum", u"HELLO WORLD", qrAuto, 1},
    {"Digits", u"01234567", qrAuto, 1},
    {"Latin1Auto", u"Gr\u00FC\u00DFe aus K\u00F6ln", qrAuto, 1},
    {"EuroAutoUtf8", u"Preis: 5 \u20AC", qrAuto, 1},
    {"EmptyAuto", u"", qrAuto, 1},
    {"ForcedNumericDropsLetters", u"12a3 tel. 0815", qrNumeric, 1},
    {"ForcedAlnumDropsLowerCase", u"Ab-1 http://x", qrAlphanumeric, 1},
    {"ForcedLatin1DropsEuro", u"\u20AC5 caf\u00E9", qrISO88591, 1},
    {"Utf8NoMark", u"WIFI:T:WPA;S:caf\u00E9;P:k\u00E9y;;", qrUTF8NoBOM, 2},
    {"Utf8WithMark", u"caf\u00E9", qrUTF8BOM, 1},
    {"AstralAndCjk", u"\U0001F600 \u65E5\u672C\u8A9E \U0001D11E", qrAuto, 2},
    {"Cyrillic", u"\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440", qrUTF8BOM, 2},
    {"UrlLowerCase", u"https://example.org/path?q=1", qrAuto, 2},
    {"Version5Numeric", Widen(Repeat("31415926535", 255)), qrAuto, 5},
    {"Version9Boundary", Widen(Repeat("0123456789abcdefghij", 230)), qrAuto,
     9},                                                                   // 230 bytes, 8-bit count
    {"Version10", Widen(Repeat("0123456789abcdefghij", 231)), qrAuto, 10}, // 16-bit count from here
    {"Version15Alnum", Widen(Repeat("THE QUICK BROWN FOX ", 700)), qrAlphanumeric, 15},
    {"Version13Numeric", Widen(Repeat("1618033988", 1000)), qrAuto, 13},            // 12-bit count
    {"Version30Alnum", Widen(Repeat("HTTP://EXAMPLE.ORG/A-B ", 2500)), qrAuto, 30}, // 13-bit

    {"Version28Utf8", RepeatU(u"\u00E9t\u00E9 ", 250), qrUTF8NoBOM, 28}, // 1,500 bytes
    {"Version27Numeric", Widen(Repeat("9876543210", 3400)), qrAuto, 27},
    {"Version33Latin1", Widen(Repeat("lorem ipsum dolor ", 2000)), qrAuto, 33},
    {"Version40Bytes", Widen(Repeat("the end of the table. ", 2953)), qrAuto, 40},
    {"Version40Digits", Widen(Repeat("2718281828", 7089)), qrNumeric, 40},
};

INSTANTIATE_TEST_SUITE_P(Encoder, ZbarReadsWhatWeMake, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<Case>& Info) {
                           return std::string(Info.param.Name);
                         });

TEST(ZbarFacade, TheFacadesGridWithItsQuietZoneDecodes) {
  TQRCodeSymbol Symbol;
  Symbol.SetData(u"mailto:someone@example.org?subject=Hallo");
  Symbol.SetQuietZone(1);
  ASSERT_EQ(Symbol.Rows(), 29 + 2);
  EXPECT_EQ(DecodeSymbolWithZbar(Symbol),
            std::optional<std::string>("mailto:someone@example.org?subject=Hallo"));
}

} // namespace

namespace {

// Written out by hand, so that a fault shared by the encoder and ExpectedBytes still shows.
TEST(ZbarLiteral, ByteOrderMarkOnlyWithTheBomOption) {
  struct Row {
    TQRCodeEncoding Option;
    std::string Bytes;
  };
  const Row Rows[] = {
      {qrAuto, "caf\xC3\xA9 \xE2\x82\xAC"},
      {qrUTF8NoBOM, "caf\xC3\xA9 \xE2\x82\xAC"},
      {qrUTF8BOM, "\xEF\xBB\xBF"
                  "caf\xC3\xA9 \xE2\x82\xAC"},
      {qrISO88591, "caf\xE9 "},
  };
  for (const Row& R : Rows) {
    EXPECT_EQ(DecodeWithZbar(EncodeToGrid(u"caf\u00E9 \u20AC", R.Option)),
              std::optional<std::string>(R.Bytes))
        << static_cast<int>(R.Option);
  }
}

} // namespace

namespace {

// What the symbol carries, as the encoder states it, is what zbar reads back: every option over
// texts that each mode keeps whole, in part, or not at all.
TEST(SymbolContentBytes, EqualsWhatZbarReadsForEveryOption) {
  const std::u16string Texts[] = {
      u"",
      u"01234567",
      u"AC-42 $%*+./:",
      u"12a3 tel. 0815",
      u"Ab-1 http://x",
      u"caf\u00E9 \u20AC5",
      u"\U0001F600 \u65E5\u672C " + std::u16string(1, char16_t(0xD83D)) + u"!",
      u"WIFI:T:WPA;S:Gr\u00FC\u00DFe;P:k\u00E9y;;",
  };
  for (const std::u16string& Text : Texts)
    for (int Option = qrAuto; Option <= qrUTF8BOM; ++Option) {
      SCOPED_TRACE("text #" + std::to_string(&Text - Texts) + ", option " + std::to_string(Option));
      const T2DBooleanArray Grid = EncodeToGrid(Text, Option);
      ASSERT_FALSE(Grid.empty());
      EXPECT_EQ(DecodeWithZbar(Grid), std::optional<std::string>(SymbolContentBytes(Text, Option)));
    }
}

// Written out by hand: the kept characters as ASCII, or the exact bytes of byte mode.
TEST(SymbolContentBytes, KeptCharactersOrEncodedBytes) {
  struct Row {
    std::u16string Text;
    TQRCodeEncoding Option;
    std::string Bytes;
  };
  const Row Rows[] = {
      {u"0815", qrAuto, "0815"},
      {u"12a3 tel. 0815", qrNumeric, "1230815"},
      {u"Ab-1 http://x", qrAlphanumeric, "A-1 ://"},
      {u"\u20AC5 caf\u00E9", qrISO88591, "5 caf\xE9"},
      {u"caf\u00E9", qrAuto, "caf\xE9"},
      {u"5 \u20AC", qrAuto, "5 \xE2\x82\xAC"},
      {u"\u00E9", qrUTF8BOM, "\xEF\xBB\xBF\xC3\xA9"},
      {u"", qrUTF8BOM, "\xEF\xBB\xBF"},
      {std::u16string(1, char16_t(0xDE00)), qrUTF8NoBOM, "\xEF\xBF\xBD"}, // a lone surrogate
  };
  for (const Row& R : Rows)
    EXPECT_EQ(SymbolContentBytes(R.Text, R.Option), R.Bytes) << static_cast<int>(R.Option);
  // A text too long for version 40 still tells what its segment holds.
  const std::u16string Long(8000, u'7');
  EXPECT_EQ(SymbolContentBytes(Long, qrAuto), std::string(8000, '7'));
}

} // namespace
