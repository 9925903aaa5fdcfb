// The QR encoder's one entry: text, encoding option and quiet-zone width in; a square
// grid of dark and light modules out (ISO/IEC 18004 model 2, versions 1-40, error-correction
// levels L, M, Q and H).
#pragma once

#include "encoder/Mode.h"
#include "encoder/SymbolBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

// Modules of a symbol without the quiet zone, indexed [column][row]; true is dark.
using T2DBooleanArray = std::vector<std::vector<bool>>;

// What an encode run reports besides the grid.
struct TEncodeReport {
  int Version = 0;      // 0 when no symbol was made
  int MaskPattern = -1; // -1 when no symbol was made
  bool DataTooLong = false;
  int NeededUnits = 0; // digits, characters or bytes the segment carries
  int MaxUnits = 0;    // the most that fit version 40 at the requested level in the chosen mode
  TCapacityUnit Units = cuBytes;
  TQRCodeECLevel Level = ecL; // the level the symbol was made at (the requested one when none)
};

// Encodes Text with the option EncodingOrdinal (a TQRCodeEncoding ordinal) at Level, raised
// with Boost as far as the same version allows. Answers an empty grid when the text does not
// fit version 40 at Level.
T2DBooleanArray EncodeToGrid(const std::u16string& Text, int EncodingOrdinal,
                             TEncodeReport* Report = nullptr, TQRCodeECLevel Level = ecL,
                             bool Boost = false);

// The bytes the symbol of Text under the option carries, as a reader gives them back: in byte
// mode the encoded bytes (Latin-1, or UTF-8 with the byte-order mark when the option writes
// one); in numeric and alphanumeric mode the characters the mode keeps, which are all ASCII.
// Made from the same segment as the symbol; also answered for a text too long for version 40.
std::string SymbolContentBytes(const std::u16string& Text, int EncodingOrdinal);

class TQRCodeSymbol {
public:
  static constexpr int MaxQuietZone = 100;

  TQRCodeSymbol() = default;

  // Each write that changes a value brings the grid up to date at once. Only a change of the
  // segment the text makes (its mode and bits), of the level or of the boost runs the encoder
  // again; a new quiet zone, or a new encoding that leaves the segment as it was, keeps the
  // symbol.
  const std::u16string& Data() const { return FData; }
  void SetData(const std::u16string& Value);
  TQRCodeEncoding Encoding() const { return FEncoding; }
  void SetEncoding(TQRCodeEncoding Value);
  // The error-correction level asked for (default L): the smallest version that holds the
  // data at this level is used.
  TQRCodeECLevel ECLevel() const { return FECLevel; }
  void SetECLevel(TQRCodeECLevel Value);
  // Boost (off by default): once the version is chosen, the level is raised as far as the data
  // still fits that version, so a stronger code costs no size.
  bool Boost() const { return FBoost; }
  void SetBoost(bool Value);
  // The level the current symbol was made at: ECLevel(), or higher with Boost. ECLevel() when
  // there is no symbol.
  TQRCodeECLevel UsedECLevel() const { return FReport.Level; }
  int QuietZone() const { return FQuietZone; }
  // Accepts 0..100; other values are ignored.
  void SetQuietZone(int Value);

  // The grid's size, quiet zone included on both sides; 0 before the first encode.
  int Rows() const { return FRows; }
  int Columns() const { return FColumns; }
  // Whether the module at Row, Column is dark; false outside the symbol. Defined for every
  // pair of integers: the unsigned differences wrap anything left of or above the symbol
  // past its side.
  bool IsDark(int Row, int Column) const {
    const unsigned R = static_cast<unsigned>(Row) - static_cast<unsigned>(FQuietZone);
    const unsigned C = static_cast<unsigned>(Column) - static_cast<unsigned>(FQuietZone);
    return R < FSide && C < FSide &&
           ((FElements[R * qr::LineWords + (C >> 6)] >> (C & 63)) & 1u) != 0;
  }

  // The modules of Row as 0 (light) or 1 (dark), quiet zone included: Columns() bytes into
  // Out. A row outside the grid gives all light. The fast way to read the whole grid.
  void ReadRow(int Row, std::uint8_t* Out) const;

  // Why the grid is empty: the text needs more than version 40 holds at ECLevel(). NeededUnits
  // and MaxUnits tell how much it needs and how much would fit at that level, in Units.
  bool DataTooLong() const { return FReport.DataTooLong; }
  int NeededUnits() const { return FReport.NeededUnits; }
  int MaxUnits() const { return FReport.MaxUnits; }
  TCapacityUnit Units() const { return FReport.Units; }
  // The symbol's version (0 when none) and data mask (-1 when none).
  int Version() const { return FReport.Version; }
  int MaskPattern() const { return FReport.MaskPattern; }
  // Number of symbols the encoder has made so far (a text found too long counts as one): the
  // writes that changed the segment, the level or the boost, and the first write that changed
  // anything at all.
  int EncodeCount() const { return FEncodeCount; }

private:
  // Brings the grid and the sizes up to date; SegmentMayChange is false when only the quiet
  // zone changed, and true for the data, the encoding, the level and the boost.
  void Regenerate(bool SegmentMayChange);

  std::u16string FData;
  int FRows = 0;
  int FColumns = 0;
  TQRCodeEncoding FEncoding = qrAuto;
  TQRCodeECLevel FECLevel = ecL;
  bool FBoost = false;
  int FQuietZone = 4;
  // The modules without the quiet zone, bit-packed by rows (as qr::TSymbol::PackedRows): the
  // module at Row, Column is bit Column % 64 of FElements[Row * 3 + Column / 64], 1 dark.
  std::vector<std::uint64_t> FElements;
  unsigned FSide = 0;
  TEncodeReport FReport;
  // What the current symbol was made from: the segment, the requested level and the boost.
  qr::TSegment FSegment;
  TQRCodeECLevel FSymbolECLevel = ecL;
  bool FSymbolBoost = false;
  int FEncodeCount = 0;
};
