#include "render/Terminal.h"

std::string RenderHalfBlocks(const TModuleGrid& Grid, THalfBlockInk Ink) {
  static const char* const Glyphs[4] = {
      " ",            // neither half inked
      "\xE2\x96\x80", // U+2580 upper half
      "\xE2\x96\x84", // U+2584 lower half
      "\xE2\x96\x88", // U+2588 full block
  };
  const int Side = Grid.Side;
  std::string Out;
  if (Side <= 0) return Out;
  const bool InkDark = Ink == THalfBlockInk::DarkModules;
  Out.reserve(static_cast<std::size_t>((Side + 1) / 2) * (static_cast<std::size_t>(Side) * 3 + 1));
  for (int Row = 0; Row < Side; Row += 2) {
    for (int Column = 0; Column < Side; ++Column) {
      const bool Upper = Grid.IsDark(Row, Column) == InkDark;
      const bool Lower = Row + 1 < Side && Grid.IsDark(Row + 1, Column) == InkDark;
      Out += Glyphs[(Upper ? 1 : 0) | (Lower ? 2 : 0)];
    }
    Out += '\n';
  }
  return Out;
}
