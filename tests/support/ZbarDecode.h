// Test helper: reads a symbol back with the zbar decoder, raw bytes (binary mode, so no
// character-set guessing can hide a fault).
#pragma once

#include "encoder/QRCodeSymbol.h"

#include <optional>
#include <string>
#include <vector>

// How zbar gives the data back: Binary the bytes as the symbol carries them; Text as zbar's
// text mode does for a reader, converted to UTF-8 from the character set an ECI designator names
// or, without one, from the one zbar guesses.
enum class TZbarMode { Binary, Text };

// Decodes an 8-bit grey picture (row by row, Width x Height). Answers the bytes of the one
// QR symbol found, or nothing.
std::optional<std::string> DecodeGreyImage(const std::vector<unsigned char>& Pixels, int Width,
                                           int Height, TZbarMode Mode = TZbarMode::Binary);

// Renders Grid ([column][row], true dark) with a light border of QuietZone modules at
// Scale pixels per module into an 8-bit grey image and decodes it. Answers the bytes of
// the one QR symbol found, or nothing when zbar finds none (or more than one).
std::optional<std::string> DecodeWithZbar(const T2DBooleanArray& Grid, int QuietZone = 4,
                                          int Scale = 4, TZbarMode Mode = TZbarMode::Binary);

// The same for a facade's whole grid (its quiet zone included, at least 1 module is
// needed; add a border so that the quiet zone is at least 4 modules).
std::optional<std::string> DecodeSymbolWithZbar(const TQRCodeSymbol& Symbol, int Scale = 4);
