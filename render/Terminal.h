// The code as text for a terminal: Unicode half blocks, two module rows per line, the way
// `qrencode -t UTF8` prints a symbol. No Qt.
#pragma once

#include "render/Code.h"

#include <string>

// Which modules the glyphs' ink (the terminal's text colour) stands for; the cell background
// (the terminal's background colour) stands for the others.
enum class THalfBlockInk {
  LightModules, // for light text on a dark background, the usual terminal
  DarkModules,  // for dark text on a light background
};

// Grid as UTF-8 text, the quiet zone included: line k shows module rows 2k (upper half of the
// cell) and 2k + 1 (lower half), one character per module column, each line ending in '\n'.
// A character is U+2588 FULL BLOCK when both modules are inked, U+2580 UPPER HALF BLOCK when only
// the upper one is, U+2584 LOWER HALF BLOCK when only the lower one is, and a space when neither
// is. With an odd number of rows the last line's lower half lies below the grid and is never
// inked. An empty grid gives an empty string.
std::string RenderHalfBlocks(const TModuleGrid& Grid,
                             THalfBlockInk Ink = THalfBlockInk::LightModules);
