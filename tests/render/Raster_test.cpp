// The module grid of an encode and the raster picture: the pixels every raster output shares,
// and the PNG file read back by an outside reader (zbarimg).
#include "RenderTable.h"
#include "encoder/QRCodeSymbol.h"
#include "render/Raster.h"
#include "support/OutsideReaders.h"
#include "support/TempFolder.h"

#include <csetjmp>
#include <cstring>
#include <gtest/gtest.h>
#include <png.h>
#include <vector>

namespace {

// Whether DrawFrameMarks colours pixel X, Y of an S x S picture with arms of MarkLength + 3:
// the outermost ring, within MarkLength + 3 pixels of a corner along the ring.
bool OnMark(int X, int Y, int S, int MarkLength) {
  const int Arm = MarkLength + 3;
  const bool NearLeft = X < Arm, NearRight = X >= S - Arm;
  const bool NearTop = Y < Arm, NearBottom = Y >= S - Arm;
  if (Y == 0 || Y == S - 1) return NearLeft || NearRight;
  if (X == 0 || X == S - 1) return NearTop || NearBottom;
  return false;
}

TEST(MakeCode, ReadsTheFacadeInTheWindowsOrder) {
  const TCodeStyle Style = StyleTable()[6].Style; // frame: quiet zone spacing + 1
  const std::u16string Text = u"MAKE CODE 12345 émile";
  const TCode Code = MakeCode(Text, qrUTF8BOM, Style);
  TQRCodeSymbol Symbol;
  Symbol.SetData(Text);
  Symbol.SetEncoding(qrUTF8BOM);
  Symbol.SetQuietZone(Style.QuietZoneWithFrame());
  ASSERT_EQ(Code.Grid.Side, Symbol.Rows());
  ASSERT_EQ(Code.Grid.Cells.size(), static_cast<std::size_t>(Symbol.Rows() * Symbol.Rows()));
  for (int Row = -1; Row <= Code.Grid.Side; ++Row)
    for (int Column = -1; Column <= Code.Grid.Side; ++Column)
      ASSERT_EQ(Code.Grid.IsDark(Row, Column), Symbol.IsDark(Row, Column)) << Row << "," << Column;
  EXPECT_EQ(Code.Version, Symbol.Version());
  EXPECT_FALSE(Code.DataTooLong);
}

TEST(MakeCode, TooLongGivesAnAllLightSquareAndTheCounts) {
  TCodeStyle Style;
  Style.QuietZone = 3;
  const TCode Code = MakeCode(std::u16string(3000, u'x'), qrAuto, Style);
  EXPECT_TRUE(Code.DataTooLong);
  EXPECT_EQ(Code.Version, 0);
  EXPECT_EQ(Code.Grid.Side, 6);
  EXPECT_EQ(Code.NeededUnits, 3000);
  EXPECT_EQ(Code.MaxUnits, 2953);
  EXPECT_EQ(Code.Units, cuBytes);
  EXPECT_EQ(std::count(Code.Grid.Cells.begin(), Code.Grid.Cells.end(), 1), 0);
  // The picture is the light square with its marks, like any other grid.
  Style.Frame = true;
  const TCode Framed = MakeCode(std::u16string(3000, u'x'), qrAuto, Style);
  const QImage Picture = RenderModules(Framed.Grid, Style);
  ASSERT_EQ(Picture.width(), 8);
  EXPECT_EQ(Picture.pixel(0, 0), Style.FrameColor | 0xff000000u);
  EXPECT_EQ(Picture.pixel(3, 3), Style.Light | 0xff000000u);
}

// The reason names the unit of the text's mode; the counts are those of version 40 at level L.
TEST(TooLongMessage, NamesTheUnitInTheNoteAndInTheError) {
  struct TCase {
    std::u16string Text;
    const char* Note;
    const char* Error;
  };
  const TCase Cases[] = {
      {std::u16string(8000, u'7'), "Too long for a QR code: 8,000 digits; at most 7,089 fit.",
       "too long for a QR code: 8000 digits; at most 7089 fit"},
      {std::u16string(5000, u'A'), "Too long for a QR code: 5,000 characters; at most 4,296 fit.",
       "too long for a QR code: 5000 characters; at most 4296 fit"},
      {std::u16string(3000, u'x'), "Too long for a QR code: 3,000 bytes; at most 2,953 fit.",
       "too long for a QR code: 3000 bytes; at most 2953 fit"},
  };
  for (const TCase& Case : Cases) {
    const TCode Code = MakeCode(Case.Text, qrAuto, TCodeStyle());
    ASSERT_TRUE(Code.DataTooLong);
    EXPECT_EQ(TooLongMessage(Code, TMessageForm::Note).Utf8(), Case.Note);
    EXPECT_EQ(TooLongMessage(Code, TMessageForm::Error).Utf8(), Case.Error);
  }
}

TEST(MakeCode, EmptyPayloadWithTheFacadesStartingValuesGivesNoGrid) {
  TCodeStyle Style;
  Style.QuietZone = 4; // the facade starts with a quiet zone of 4 and Auto: nothing changes
  const TCode Code = MakeCode(u"", qrAuto, Style);
  EXPECT_EQ(Code.Grid.Side, 0);
  EXPECT_TRUE(RenderModules(Code.Grid, Style).isNull());
  EXPECT_TRUE(RenderRaster(Code.Grid, Style, 100).isNull());
  EXPECT_TRUE(EncodePng(QImage()).isEmpty());
  // Any other quiet zone encodes the empty text.
  Style.QuietZone = 2;
  EXPECT_EQ(MakeCode(u"", qrAuto, Style).Grid.Side, 21 + 4);
}

// Every pixel of the one-pixel-per-module picture: the module's colour, or the mark colour on
// the ring where the marks lie.
TEST(RasterTable, ModulesTakeTheirColoursAndTheMarksTheRing) {
  for (const TTableCase& Case : AllCases()) {
    SCOPED_TRACE(CaseLabel(Case));
    const TCodeStyle& Style = StyleTable()[Case.StyleIndex].Style;
    const TCode Code = TableCode(Case.Version, Style);
    const QImage Picture = RenderModules(Code.Grid, Style);
    const int S = Code.Grid.Side;
    ASSERT_EQ(Picture.size(), QSize(S, S));
    ASSERT_EQ(Picture.format(), QImage::Format_RGB32);
    for (int Y = 0; Y < S; ++Y)
      for (int X = 0; X < S; ++X) {
        QRgb Expected = Code.Grid.IsDark(Y, X) ? Style.Dark : Style.Light;
        if (Style.Frame && OnMark(X, Y, S, Style.MarkLength)) Expected = Style.FrameColor;
        ASSERT_EQ(Picture.pixel(X, Y), Expected | 0xff000000u) << X << "," << Y;
      }
    // The ring under the marks is quiet zone: the marks cover no module of the symbol.
    for (int I = 0; I < S; ++I)
      ASSERT_FALSE(Code.Grid.IsDark(0, I) || Code.Grid.IsDark(S - 1, I) || Code.Grid.IsDark(I, 0) ||
                   Code.Grid.IsDark(I, S - 1));
  }
}

class PngTable : public testing::TestWithParam<TTableCase> {};

// The PNG file at two pixels per module: zbarimg reads the payload's exact bytes from the file,
// and the file holds the picture's exact pixels.
TEST_P(PngTable, ZbarimgReadsThePayloadFromTheFile) {
  const TCodeStyle& Style = StyleTable()[GetParam().StyleIndex].Style;
  const TCode Code = TableCode(GetParam().Version, Style);
  const QImage Picture = RenderRaster(Code.Grid, Style, Code.Grid.Side * 2);
  const QByteArray Png = EncodePng(Picture);
  ASSERT_FALSE(Png.isEmpty());
  EXPECT_EQ(PictureDifference(QImage::fromData(Png, "PNG"), Picture), "");

  TTempFolder Folder;
  const std::filesystem::path File = Folder.Path() / "code.png";
  ASSERT_TRUE(WriteFileBytes(File, Png));
  const TToolRun Run = RunTool(QStringLiteral("zbarimg"),
                               {QStringLiteral("--quiet"), QStringLiteral("--raw"),
                                QStringLiteral("-Sbinary"), QString::fromStdString(File.string())});
  ASSERT_TRUE(Run.Started) << "zbarimg (zbar-tools) is needed";
  ASSERT_EQ(Run.ExitCode, 0) << Run.Err.toStdString();
  EXPECT_EQ(Run.Out.toStdString(), PayloadOfVersion(GetParam().Version));
}

INSTANTIATE_TEST_SUITE_P(Styles, PngTable, testing::ValuesIn(RotatingCases(1)), CaseName);

TEST(RenderRaster, StretchesNearestWithoutSmoothing) {
  // A 3 x 3 grid, one dark module in the middle: at 7 pixels, target x takes source x * 3 / 7
  // (0 0 0 1 1 2 2), so the middle module covers pixels 3 and 4.
  TModuleGrid Grid;
  Grid.Side = 3;
  Grid.Cells = {0, 0, 0, 0, 1, 0, 0, 0, 0};
  TCodeStyle Style;
  const QImage Picture = RenderRaster(Grid, Style, 7);
  ASSERT_EQ(Picture.size(), QSize(7, 7));
  for (int Y = 0; Y < 7; ++Y)
    for (int X = 0; X < 7; ++X) {
      const bool Dark = X >= 3 && X <= 4 && Y >= 3 && Y <= 4;
      ASSERT_EQ(Picture.pixel(X, Y), Dark ? 0xff000000u : 0xffffffffu) << X << "," << Y;
    }
  EXPECT_TRUE(RenderRaster(Grid, Style, 0).isNull());
  // At a multiple of the side every module is a whole block.
  EXPECT_EQ(PictureDifference(RenderRaster(Grid, Style, 3),
                              StretchNearest(RenderRaster(Grid, Style, 6), 3, 3)),
            "");
}

TEST(DrawFrameMarks, MarksMeetAndOverlapOnSmallPicturesAndStayInside) {
  // Side 8 with arms of 5 (MarkLength 2): the two marks along an edge overlap at pixels 3 and 4;
  // with MarkLength 10 every ring pixel is marked, and nothing is drawn outside or inside.
  for (const int MarkLength : {2, 10}) {
    QImage Picture(8, 8, QImage::Format_RGB32);
    Picture.fill(Qt::white);
    DrawFrameMarks(Picture, MarkLength, QColor(0x12, 0x34, 0x56));
    for (int Y = 0; Y < 8; ++Y)
      for (int X = 0; X < 8; ++X) {
        const bool Ring = X == 0 || Y == 0 || X == 7 || Y == 7;
        ASSERT_EQ(Picture.pixel(X, Y), Ring ? qRgb(0x12, 0x34, 0x56) : qRgb(255, 255, 255))
            << MarkLength << ": " << X << "," << Y;
      }
  }
  QImage Null;
  DrawFrameMarks(Null, 3, Qt::black); // nothing to draw into: no crash
  EXPECT_TRUE(Null.isNull());
}

// A picture of Colours colours in stripes of odd widths, so that lines are neither whole bytes
// nor all alike.
QImage Stripes(int Colours, int Width, int Height) {
  QImage Picture(Width, Height, QImage::Format_RGB32);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const int Index = ((X / 3) + (Y / 2) * 7) % Colours;
      Picture.setPixel(X, Y, qRgb(Index % 256, Index / 256 * 50, 255 - Index % 200));
    }
  return Picture;
}

TEST(EncodePng, KeepsEveryColourOfAnyPicture) {
  // One, two, three (the frame marks), 10, 200 and 1,000 colours (written without a palette);
  // widths that end inside a byte; a picture with alpha keeps it.
  TModuleGrid Grid;
  Grid.Side = 9;
  Grid.Cells.assign(81, 0);
  Grid.Cells[40] = 1;
  const TCodeStyle Framed = StyleTable()[6].Style;
  QImage Alpha(5, 4, QImage::Format_ARGB32);
  Alpha.fill(qRgba(10, 20, 30, 40));
  TModuleGrid Light = Grid;
  Light.Cells.assign(81, 0);
  struct TCase {
    QImage Picture;
    int Depth; // the bit depth of the PNG's IHDR, 0 when written without a palette
  };
  const std::vector<TCase> Cases = {
      {RenderModules(Light, TCodeStyle{}), 1},
      {RenderModules(Grid, TCodeStyle{}), 1},
      {RenderModules(Grid, Framed), 2},
      {RenderRaster(Grid, Framed, 31), 2},
      {Stripes(10, 33, 7), 4},
      {Stripes(200, 700, 9), 8},
      {Stripes(1000, 3100, 3), 0},
      {Alpha, 0},
  };
  for (const TCase& Case : Cases) {
    const QByteArray Png = EncodePng(Case.Picture);
    ASSERT_TRUE(Png.startsWith("\x89PNG\r\n\x1a\n"));
    const QImage Back = QImage::fromData(Png, "PNG");
    EXPECT_EQ(PictureDifference(Back, Case.Picture), "") << Case.Depth;
    if (Case.Depth > 0) {
      EXPECT_EQ(Png[24], Case.Depth); // IHDR: bit depth, then colour type 3 (palette)
      EXPECT_EQ(Png[25], 3);
    } else {
      EXPECT_NE(Png[25], 3);
    }
    if (Case.Picture.hasAlphaChannel()) {
      EXPECT_EQ(qAlpha(Back.pixel(2, 2)), 40);
    }
  }
}

// The RGB pixels of PNG bytes as libpng reads them, line after line, with libpng's own
// million-pixel limit on a line lifted (Qt's reader keeps it). Empty when libpng refuses them.
struct TPngSource {
  const QByteArray* Bytes;
  qsizetype At;
};

void ReadFromSource(png_structp Png, png_bytep Data, png_size_t Length) {
  auto* Source = static_cast<TPngSource*>(png_get_io_ptr(Png));
  if (Source->At + static_cast<qsizetype>(Length) > Source->Bytes->size())
    png_error(Png, "truncated");
  std::memcpy(Data, Source->Bytes->constData() + Source->At, Length);
  Source->At += static_cast<qsizetype>(Length);
}

// No object with a destructor lives here: libpng's errors longjmp back to the setjmp.
bool ReadRgbLines(png_structp Png, png_infop Info, TPngSource* Source, std::vector<png_byte>* Rgb,
                  png_uint_32* Width, png_uint_32* Height) {
  if (setjmp(png_jmpbuf(Png))) return false;
  png_set_user_limits(Png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_read_fn(Png, Source, ReadFromSource);
  png_read_info(Png, Info);
  *Width = png_get_image_width(Png, Info);
  *Height = png_get_image_height(Png, Info);
  png_set_palette_to_rgb(Png);
  png_read_update_info(Png, Info);
  if (png_get_rowbytes(Png, Info) != std::size_t{3} * *Width) return false;
  Rgb->resize(std::size_t{3} * *Width * *Height);
  for (png_uint_32 Y = 0; Y < *Height; ++Y)
    png_read_row(Png, Rgb->data() + std::size_t{3} * *Width * Y, nullptr);
  png_read_end(Png, nullptr);
  return true;
}

TEST(EncodePng, LinesLongerThanAMillionPixelsAreWritten) {
  // PNG allows lines of 2^31 - 1 pixels; libpng stops at a million unless told otherwise.
  QImage Picture(1000003, 2, QImage::Format_RGB32);
  Picture.fill(qRgb(255, 255, 255));
  Picture.setPixel(5, 0, qRgb(0, 0, 0));
  Picture.setPixel(1000002, 1, qRgb(0, 0, 0));
  const QByteArray Bytes = EncodePng(Picture);
  ASSERT_FALSE(Bytes.isEmpty());
  png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  ASSERT_NE(Png, nullptr);
  png_infop Info = png_create_info_struct(Png);
  TPngSource Source{&Bytes, 0};
  std::vector<png_byte> Rgb;
  png_uint_32 Width = 0, Height = 0;
  const bool Read = Info && ReadRgbLines(Png, Info, &Source, &Rgb, &Width, &Height);
  png_destroy_read_struct(&Png, &Info, nullptr);
  ASSERT_TRUE(Read);
  ASSERT_EQ(Width, 1000003u);
  ASSERT_EQ(Height, 2u);
  int Wrong = 0;
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 1000003; ++X) {
      const png_byte* Pixel = Rgb.data() + 3 * (static_cast<std::size_t>(Y) * 1000003 + X);
      const QRgb Want = Picture.pixel(X, Y);
      Wrong += Pixel[0] != qRed(Want) || Pixel[1] != qGreen(Want) || Pixel[2] != qBlue(Want);
    }
  EXPECT_EQ(Wrong, 0);
}

} // namespace
