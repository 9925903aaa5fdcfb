// One encode of a payload for drawing: the module grid with its quiet zone, and what the encoder
// reported about it. Every output of a code (the window's picture, files, the terminal) starts
// from a TCode made here, so that they all draw the same modules.
#pragma once

#include "encoder/Mode.h"
#include "render/CodeStyle.h"
#include "text/Message.h"

#include <cstdint>
#include <string>
#include <vector>

// A module grid, quiet zone included, row-major, one byte per module (1 dark).
struct TModuleGrid {
  int Side = 0;
  std::vector<std::uint8_t> Cells; // Side * Side entries

  // Whether the module at Row, Column is dark; false outside the grid.
  bool IsDark(int Row, int Column) const {
    if (Row < 0 || Column < 0 || Row >= Side || Column >= Side) return false;
    return Cells[static_cast<std::size_t>(Row) * static_cast<std::size_t>(Side) +
                 static_cast<std::size_t>(Column)] != 0;
  }
};

// Calls Visit(Row, Start, Length) for every run of dark modules along each row, top to bottom
// and left to right: the shapes the vector outputs draw.
template <typename TVisit> void ForEachDarkRun(const TModuleGrid& Grid, TVisit&& Visit) {
  const int Side = Grid.Side;
  for (int Row = 0; Row < Side; ++Row) {
    const std::uint8_t* Line =
        Grid.Cells.data() + static_cast<std::size_t>(Row) * static_cast<std::size_t>(Side);
    int Column = 0;
    while (Column < Side) {
      if (!Line[Column]) {
        ++Column;
        continue;
      }
      const int Start = Column;
      while (Column < Side && Line[Column])
        ++Column;
      Visit(Row, Start, Column - Start);
    }
  }
}

// What one encode of a payload gives.
struct TCode {
  // Side is the facade's Rows(): 0 when nothing was encoded (an empty payload with the facade's
  // starting values), 2 * quiet zone (all light) when the text is too long.
  TModuleGrid Grid;
  int Version = 0; // 0 when no symbol
  bool DataTooLong = false;
  int NeededUnits = 0;
  int MaxUnits = 0;
  TCapacityUnit Units = cuBytes;
  // The level asked for, and the one the symbol was made at (higher with boost).
  TQRCodeECLevel AskedLevel = ecL;
  TQRCodeECLevel Level = ecL;
  // The bytes the symbol carries, as a reader gives them back (empty when there is no symbol).
  std::string Bytes;
};

class TQRCodeSymbol;

// The facade's whole grid, quiet zone included, read through IsDark.
TModuleGrid GridOf(const TQRCodeSymbol& Symbol);

// A fresh facade: ECLevel := Level and Boost := Boost when not the defaults, Data := Payload,
// Encoding := Encoding, QuietZone := Style.QuietZoneWithFrame(), in that order (the window's
// order), then the grid is read module by module.
TCode MakeCode(const std::u16string& Payload, TQRCodeEncoding Encoding, const TCodeStyle& Style,
               TQRCodeECLevel Level = ecL, bool Boost = false);

// The encoding a structured record (a web address, a mailto: link, a vCard, a network record:
// every kind but plain text) goes out in: Chosen, except that
// - UTF-8 with a byte-order mark gives UTF-8 without one: readers know a record by its first
//   bytes ("WIFI:", "https:", "BEGIN:VCARD"), and a mark before them makes it plain text;
// - for a vCard (VCard true), Auto gives UTF-8 without a mark when the record is beyond ASCII. A
//   vCard 4.0 is UTF-8 only (RFC 6350, section 3.1); Auto would give it in ISO-8859-1, which
//   readers that guess the character set show garbled.
TQRCodeEncoding RecordEncoding(TQRCodeEncoding Chosen, const std::u16string& Record, bool VCard);

// Where a message about a code is shown: the window's note is a sentence with thousands grouped
// ("Too long for a QR code: 3,000 bytes; at most 2,953 fit."); marbeck-cli's error follows the
// program's name ("too long for a QR code: 3000 bytes; at most 2953 fit").
enum class TMessageForm { Note, Error };

// Why Code has no symbol when its text is too long: how many digits, characters or bytes (the
// unit of its mode) the text needs, and the most that fit; at a level above L, the level too,
// and that a lower level holds more ("too long for a QR code at level H: 2000 bytes; at most
// 1273 fit (a lower level holds more)").
TMessage TooLongMessage(const TCode& Code, TMessageForm Form);
