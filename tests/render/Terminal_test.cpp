// The terminal picture: the half-block glyphs, and the text read back into modules that zbar
// decodes.
#include "RenderTable.h"
#include "render/Terminal.h"
#include "support/OutsideReaders.h"

#include <gtest/gtest.h>

namespace {

const std::string Full = "\xE2\x96\x88", Upper = "\xE2\x96\x80", Lower = "\xE2\x96\x84";

TEST(RenderHalfBlocks, GlyphsForEveryPairAndTheOddLastRow) {
  // Rows: 1 0 1 / 1 1 0 / 0 1 0 (1 dark). Pairs per column in line 0: (1,1) (0,1) (1,0);
  // line 1 holds row 2 over nothing.
  TModuleGrid Grid;
  Grid.Side = 3;
  Grid.Cells = {1, 0, 1, 1, 1, 0, 0, 1, 0};
  EXPECT_EQ(RenderHalfBlocks(Grid, THalfBlockInk::DarkModules),
            Full + Lower + Upper + "\n" + " " + Upper + " " + "\n");
  EXPECT_EQ(RenderHalfBlocks(Grid, THalfBlockInk::LightModules),
            " " + Upper + Lower + "\n" + Upper + " " + Upper + "\n");
  EXPECT_EQ(RenderHalfBlocks(Grid), RenderHalfBlocks(Grid, THalfBlockInk::LightModules));
  EXPECT_EQ(RenderHalfBlocks(TModuleGrid{}), "");
}

// Reads the text back into modules: the inked halves are the light modules.
QImage PictureOfText(const std::string& Text, int Side, int Scale) {
  QImage Picture(Side * Scale, Side * Scale, QImage::Format_RGB32);
  Picture.fill(Qt::black);
  std::size_t At = 0;
  int Line = 0, Column = 0;
  const auto Ink = [&](int Row) {
    if (Row < Side)
      for (int Y = 0; Y < Scale; ++Y)
        for (int X = 0; X < Scale; ++X)
          Picture.setPixel(Column * Scale + X, Row * Scale + Y, qRgb(255, 255, 255));
  };
  while (At < Text.size()) {
    if (Text[At] == '\n') {
      ++Line;
      Column = 0;
      ++At;
      continue;
    }
    const std::string Glyph = Text[At] == ' ' ? " " : Text.substr(At, 3);
    At += Glyph.size();
    if (Glyph == Full || Glyph == Upper) Ink(2 * Line);
    if (Glyph == Full || Glyph == Lower) Ink(2 * Line + 1);
    ++Column;
  }
  return Picture;
}

TEST(RenderHalfBlocks, ZbarReadsTheTextBackAtEveryVersion) {
  for (const int Version : VersionTable()) {
    const TCode Code = TableCode(Version, TCodeStyle{});
    const int Side = Code.Grid.Side;
    const std::string Text = RenderHalfBlocks(Code.Grid);
    // (Side + 1) / 2 lines of Side glyphs.
    EXPECT_EQ(std::count(Text.begin(), Text.end(), '\n'), (Side + 1) / 2);
    EXPECT_EQ(Text.substr(0, Text.find('\n')).size(), static_cast<std::size_t>(Side) * 3)
        << "the light border's first line is all full blocks";
    EXPECT_EQ(DecodePicture(PictureOfText(Text, Side, 3)).value_or("<nothing>"),
              PayloadOfVersion(Version))
        << Version;
  }
}

} // namespace
