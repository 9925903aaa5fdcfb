// UTF-8 with an ECI designator (ISO/IEC 18004 7.4.2) held against outside truths: the header bits
// of the clause, Nayuki's qrcodegen (an ECI segment, then the bytes) and segno (eci=True) building
// the same symbol with version and mask forced to ours, the step-by-step encoder agreeing module
// for module, the capacity one byte under plain UTF-8, and zbar giving the exact text in its text
// mode, where the same bytes without the designator come back as another character set.
#include "encoder/QRCodeSymbol.h"
#include "encoder/SegmentRules.h"
#include "encoder/reference/Encoder.h"
#include "encoder/reference/QRCode.h"
#include "support/OutsideReaders.h"
#include "support/ZbarDecode.h"
#include "text/Utf16.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>
#include <qrcodegen.hpp>
#include <string>
#include <vector>

namespace {

using qrcodegen::QrCode;
using qrcodegen::QrSegment;

std::string Utf8(const std::u16string& Text) {
  std::vector<std::uint8_t> Bytes;
  AppendUtf8(Bytes, Text);
  return std::string(Bytes.begin(), Bytes.end());
}

QrCode::Ecc PeerLevel(TQRCodeECLevel Level) {
  constexpr std::array<QrCode::Ecc, 4> Peer = {QrCode::Ecc::LOW, QrCode::Ecc::MEDIUM,
                                               QrCode::Ecc::QUARTILE, QrCode::Ecc::HIGH};
  return Peer[Level];
}

const std::vector<std::u16string>& Texts() {
  static const std::vector<std::u16string> All = {
      u"Gr\u00FC\u00DFe \u20AC",
      u"\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440",
      u"https://example.org/caf\u00E9?q=\u00E4\u00F6\u00FC",
      u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8 \U0001F600",
      u"plain ASCII text",
      std::u16string(300, u'\u00E9'), // two count-field widths apart from the short ones
  };
  return All;
}

} // namespace

TEST(Eci, HeaderBitsOfTheClause) {
  struct TCase {
    int Assignment;
    int Bits;
    std::uint32_t Header;
  };
  const TCase Cases[] = {
      {26, 12, 0b0111'00011010},                      // one byte, 0bbbbbbb
      {0, 12, 0b0111'00000000},                       //
      {127, 12, 0b0111'01111111},                     //
      {128, 20, 0b0111'10'00000010000000},            // two bytes, 10 and 14 bits
      {16383, 20, 0b0111'10'11111111111111},          //
      {16384, 28, 0b0111'110'000000100000000000000},  // three bytes, 110 and 21 bits
      {999999, 28, 0b0111'110'011110100001000111111}, //
      {-1, 0, 0},                                     // none
      {1000000, 0, 0},                                // out of range
  };
  for (const TCase& Case : Cases) {
    int Bits = -1;
    EXPECT_EQ(TSegmentRules::EciHeader(Case.Assignment, Bits), Case.Header) << Case.Assignment;
    EXPECT_EQ(Bits, Case.Bits) << Case.Assignment;
  }
  EXPECT_EQ(TSegmentRules::EciAssignment(qrUTF8ECI), 26);
  for (const int Option : {qrAuto, qrNumeric, qrAlphanumeric, qrISO88591, qrUTF8NoBOM, qrUTF8BOM})
    EXPECT_EQ(TSegmentRules::EciAssignment(Option), -1) << Option;
}

TEST(Eci, SameSymbolAsQrcodegenAndTheReference) {
  for (const std::u16string& Text : Texts())
    for (const TQRCodeECLevel Level : {ecL, ecM, ecQ, ecH}) {
      const std::string Bytes = Utf8(Text);
      SCOPED_TRACE(testing::Message() << Bytes << " level " << ECLevelLetter(Level));
      TQRCodeSymbol Symbol;
      Symbol.SetQuietZone(0);
      Symbol.SetECLevel(Level);
      Symbol.SetEncoding(qrUTF8ECI);
      Symbol.SetData(Text);
      ASSERT_GT(Symbol.Version(), 0);
      EXPECT_EQ(SymbolContentBytes(Text, qrUTF8ECI), Bytes); // what a reader gives back

      // The peer chooses its own smallest version: it must be ours.
      const std::vector<QrSegment> Segs = {
          QrSegment::makeEci(26),
          QrSegment::makeBytes(std::vector<std::uint8_t>(Bytes.begin(), Bytes.end()))};
      const QrCode Peer =
          QrCode::encodeSegments(Segs, PeerLevel(Level), 1, 40, Symbol.MaskPattern(), false);
      ASSERT_EQ(Peer.getVersion(), Symbol.Version());
      ASSERT_EQ(Peer.getSize(), Symbol.Rows());
      TEncoder Reference;
      TQRCode Code;
      Reference.EncodeSymbol(Text, qrUTF8ECI, TErrorCorrectionLevel::ForOrdinal(Level), Code);
      ASSERT_NE(Code.Matrix(), nullptr);
      EXPECT_EQ(Code.MaskPattern(), Symbol.MaskPattern());
      int PeerDiffer = 0;
      int RefDiffer = 0;
      for (int Y = 0; Y < Symbol.Rows(); ++Y)
        for (int X = 0; X < Symbol.Rows(); ++X) {
          PeerDiffer += Symbol.IsDark(Y, X) != Peer.getModule(X, Y);
          RefDiffer += Symbol.IsDark(Y, X) != (Code.Matrix()->Get(X, Y) == 1);
        }
      EXPECT_EQ(PeerDiffer, 0);
      EXPECT_EQ(RefDiffer, 0);
    }
}

TEST(Eci, SameSymbolAsSegno) {
  for (const std::u16string& Text : Texts())
    for (const TQRCodeECLevel Level : {ecL, ecH}) {
      SCOPED_TRACE(testing::Message() << Utf8(Text) << " level " << ECLevelLetter(Level));
      TQRCodeSymbol Symbol;
      Symbol.SetQuietZone(0);
      Symbol.SetECLevel(Level);
      Symbol.SetEncoding(qrUTF8ECI);
      Symbol.SetData(Text);
      const TSegnoCode Peer =
          SegnoEciCode(Utf8(Text), ECLevelLetter(Level), Symbol.Version(), Symbol.MaskPattern());
      ASSERT_EQ(static_cast<int>(Peer.Rows.size()), Symbol.Rows()) << "segno failed";
      int Differ = 0;
      for (int Y = 0; Y < Symbol.Rows(); ++Y)
        for (int X = 0; X < Symbol.Rows(); ++X)
          Differ += Symbol.IsDark(Y, X) !=
                    (Peer.Rows[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)] == '1');
      EXPECT_EQ(Differ, 0);
    }
}

// The designator takes 12 bits: one byte less fits version 40 than in plain UTF-8, and the report
// says so; qrcodegen agrees on the limit.
TEST(Eci, CapacityCountsTheDesignator) {
  TEncodeReport Plain;
  TEncodeReport Marked;
  const std::u16string Fits(2952, u'a');
  EncodeToGrid(Fits, qrUTF8NoBOM, &Plain);
  EncodeToGrid(Fits, qrUTF8ECI, &Marked);
  EXPECT_EQ(Plain.MaxUnits, 2953);
  EXPECT_EQ(Marked.MaxUnits, 2952);
  EXPECT_EQ(Marked.Version, 40);
  EncodeToGrid(Fits + u"a", qrUTF8ECI, &Marked);
  EXPECT_TRUE(Marked.DataTooLong);
  EXPECT_EQ(Marked.NeededUnits, 2953);
  const std::vector<std::uint8_t> TooMany(2953, 'a');
  EXPECT_THROW(QrCode::encodeSegments({QrSegment::makeEci(26), QrSegment::makeBytes(TooMany)},
                                      QrCode::Ecc::LOW),
               qrcodegen::data_too_long);
}

// zbar in text mode (as a phone app reads) gives the exact text of a code with the designator.
// Without it, zbar guesses the character set of the same bytes, and guesses wrong for this one.
TEST(Eci, ZbarTextModeReadsTheExactText) {
  for (const std::u16string& Text : Texts()) {
    const std::string Bytes = Utf8(Text);
    SCOPED_TRACE(Bytes);
    EXPECT_EQ(DecodeWithZbar(EncodeToGrid(Text, qrUTF8ECI), 4, 3, TZbarMode::Text), Bytes);
    EXPECT_EQ(DecodeWithZbar(EncodeToGrid(Text, qrUTF8ECI), 4, 3, TZbarMode::Binary), Bytes);
  }
  const std::u16string Greeting = Texts().front();
  EXPECT_NE(DecodeWithZbar(EncodeToGrid(Greeting, qrUTF8NoBOM), 4, 3, TZbarMode::Text),
            Utf8(Greeting));
}
