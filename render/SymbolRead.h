// What zbar does not tell of a QR symbol it read: the ECI designators before its segments
// (ISO/IEC 18004 clause 7.4.2). zbar in binary mode hands over the bytes alone, so the symbol is
// read once more from the picture here: its modules sampled between the corners zbar found, the
// version, level and mask taken from the function patterns and format information that match
// best, the data codewords unmasked, collected and taken out of their blocks (clause 7.6), and the
// segments parsed by their mode indicators. Nothing is corrected: the reading is trusted only
// when its segments give exactly the bytes zbar gave (which Reed-Solomon checked), so a misread
// module leaves the designators unknown rather than wrong. zbar gives the bytes of a segment
// under a designator it knows converted to UTF-8 even in binary mode, so either form counts as
// exactly. Safe from any thread; no display.
#pragma once

#include <QPolygonF>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The segments of a symbol's data codewords.
struct TSegmentsRead {
  std::string Bytes;     // what the segments carry, byte for byte
  std::vector<int> Ecis; // every ECI designator, in order
  // The bytes of each segment under a designator converted to UTF-8 from the designator's
  // character set (platform/Unicode.h), kanji from Shift JIS, the rest as in Bytes: what zbar
  // gives in binary mode.
  // Empty when a designated segment cannot be converted.
  std::string Utf8;
  // The designator in force before the first byte of a byte-mode segment, or -1 when none is.
  int Eci = -1;
};

// Parses the data codewords of a symbol of Version (1 to 40): numeric, alphanumeric, byte and
// kanji segments (kanji as its Shift JIS bytes), ECI designators, FNC1 and structured-append
// headers, up to the terminator or the end. Empty when the stream is malformed (a count that
// runs past the end, an unknown mode, a designator of more than six digits).
std::optional<TSegmentsRead> ReadSegments(const std::vector<std::uint8_t>& DataCodewords,
                                          int Version);

// The grey level at the centre of module (Row, Column) of an N x N grid stretched over the
// corners C (top-left, top-right, bottom-right, bottom-left; bilinear: exact for a picture turned
// and scaled, close for a slight perspective). -1 outside the picture.
int GreyAtModule(const std::vector<unsigned char>& Grey, int Width, int Height, const QPointF* C,
                 int N, int Row, int Column);

// The data codewords of the symbol whose corners zbar reported as Where in the grey picture
// (Width x Height, one byte a pixel), of Version; empty when no orientation and format match the
// function patterns well enough.
std::optional<std::vector<std::uint8_t>> SampleDataCodewords(const std::vector<unsigned char>& Grey,
                                                             int Width, int Height,
                                                             const QPolygonF& Where, int Version);

// The segments of the symbol at Where, when its reading gives exactly Bytes (what zbar read),
// as the symbol carries them or converted (Utf8).
std::optional<TSegmentsRead> ReadSymbolSegments(const std::vector<unsigned char>& Grey, int Width,
                                                int Height, const QPolygonF& Where, int Version,
                                                const std::string& Bytes);
