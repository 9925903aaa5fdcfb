#include "render/Raster.h"

#include "render/Design.h"

#include <QBuffer>
#include <QList>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <optional>
#include <png.h>
#include <vector>
#include <zlib.h> // Z_BEST_COMPRESSION, Z_RLE for libpng's compression settings

namespace {

void PutPixel(QImage& Picture, int X, int Y, QRgb Rgb) {
  if (X >= 0 && Y >= 0 && X < Picture.width() && Y < Picture.height()) Picture.setPixel(X, Y, Rgb);
}

void HorizontalRun(QImage& Picture, int Y, int FromX, int ToX, QRgb Rgb) {
  for (int X = FromX; X <= ToX; ++X)
    PutPixel(Picture, X, Y, Rgb);
}

void VerticalRun(QImage& Picture, int X, int FromY, int ToY, QRgb Rgb) {
  for (int Y = FromY; Y <= ToY; ++Y)
    PutPixel(Picture, X, Y, Rgb);
}

} // namespace

void DrawFrameMarks(QImage& Picture, int MarkLength, QColor Color) {
  if (Picture.isNull()) return;
  const QRgb Rgb = Color.rgb();
  const int S = Picture.width();
  const int Arm = MarkLength + 2;     // last index of an arm starting at 0
  const int Far = S - MarkLength - 3; // first index of an arm ending at S - 1
  // top left
  HorizontalRun(Picture, 0, 0, Arm, Rgb);
  VerticalRun(Picture, 0, 0, Arm, Rgb);
  // top right
  HorizontalRun(Picture, 0, Far, S - 1, Rgb);
  VerticalRun(Picture, S - 1, 0, Arm, Rgb);
  // bottom left
  VerticalRun(Picture, 0, Far, S - 1, Rgb);
  HorizontalRun(Picture, S - 1, 0, Arm, Rgb);
  // bottom right
  HorizontalRun(Picture, S - 1, Far, S - 1, Rgb);
  VerticalRun(Picture, S - 1, Far, S - 1, Rgb);
}

QImage StretchNearest(const QImage& Picture, int Width, int Height) {
  if (Picture.isNull() || Width <= 0 || Height <= 0) return QImage();
  const QImage Source = Picture.convertToFormat(QImage::Format_RGB32);
  if (Source.width() == Width && Source.height() == Height) return Source; // nothing to stretch
  QImage Result(Width, Height, QImage::Format_RGB32);
  if (Result.isNull()) return QImage(); // too large to hold
  const qint64 SourceWidth = Source.width();
  const qint64 SourceHeight = Source.height();
  std::vector<int> SourceX(static_cast<std::size_t>(Width));
  for (int X = 0; X < Width; ++X)
    SourceX[static_cast<std::size_t>(X)] = static_cast<int>(X * SourceWidth / Width);
  int LastSourceY = -1;
  for (int Y = 0; Y < Height; ++Y) {
    const int SourceY = static_cast<int>(Y * SourceHeight / Height);
    auto* To = reinterpret_cast<QRgb*>(Result.scanLine(Y));
    if (SourceY == LastSourceY) { // the same source line as the line above
      std::memcpy(To, Result.constScanLine(Y - 1), static_cast<std::size_t>(Width) * sizeof(QRgb));
      continue;
    }
    LastSourceY = SourceY;
    const auto* From = reinterpret_cast<const QRgb*>(Source.constScanLine(SourceY));
    for (int X = 0; X < Width; ++X)
      To[X] = From[SourceX[static_cast<std::size_t>(X)]];
  }
  return Result;
}

QImage RenderModules(const TModuleGrid& Grid, const TCodeStyle& Style) {
  if (Grid.Side <= 0) return QImage();
  QImage Picture(Grid.Side, Grid.Side, QImage::Format_RGB32);
  // Format_RGB32 keeps the alpha byte at 0xff.
  const QRgb Dark = Style.Dark | 0xff000000u;
  const QRgb Light = Style.Light | 0xff000000u;
  // Branch-free, so that the compiler can paint several pixels at once: a dark cell (1) keeps
  // every bit of Dark ^ Light, a light one (0) none.
  const QRgb Difference = Dark ^ Light;
  const std::uint8_t* Cell = Grid.Cells.data();
  for (int Row = 0; Row < Grid.Side; ++Row) {
    auto* Line = reinterpret_cast<QRgb*>(Picture.scanLine(Row));
    for (int Column = 0; Column < Grid.Side; ++Column)
      Line[Column] = Light ^ (Difference & (0u - static_cast<QRgb>(Cell[Column] & 1u)));
    Cell += Grid.Side;
  }
  if (Style.FinderColor && *Style.FinderColor != Style.Dark) {
    const TDesignLayout Layout = DesignLayoutOf(Grid, Style);
    const QRgb Finder = *Style.FinderColor | 0xff000000u;
    for (const QRect& Box : Layout.Finders)
      for (int Row = Box.top(); Row <= Box.bottom(); ++Row)
        for (int Column = Box.left(); Column <= Box.right(); ++Column)
          if (Grid.IsDark(Row, Column)) Picture.setPixel(Column, Row, Finder);
  }
  if (Style.Frame) DrawFrameMarks(Picture, Style.MarkLength, QColor::fromRgb(Style.FrameColor));
  return Picture;
}

QImage RenderRaster(const TModuleGrid& Grid, const TCodeStyle& Style, int Side) {
  if (!Style.PaintedAtFinalSize()) return StretchNearest(RenderModules(Grid, Style), Side, Side);
  if (Side <= 0 || Grid.Side <= 0) return QImage();
  QImage Picture(Side, Side, QImage::Format_RGB32);
  if (Picture.isNull()) return QImage(); // too large to hold
  QPainter Painter(&Picture);
  PaintDesign(Painter, QRectF(0, 0, Side, Side), Grid, Style, true);
  return Picture;
}

namespace {

// The colours of an opaque RGB32 picture in the order they appear, or nothing when there are
// more than 256. A run of one colour costs one comparison a pixel.
std::optional<QList<QRgb>> PaletteOf(const QImage& Rgb) {
  const int Width = Rgb.width(), Height = Rgb.height();
  {
    // The usual picture of a code has two colours: the first pixel's, and the first other one.
    // Checking every pixel against the pair is one comparison a pixel, in vector registers.
    const auto* First = reinterpret_cast<const QRgb*>(Rgb.constScanLine(0));
    const QRgb A = First[0];
    QRgb B = A;
    for (int Y = 0; Y < Height && B == A; ++Y) {
      const auto* Line = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
      for (int X = 0; X < Width; ++X)
        if (Line[X] != A) {
          B = Line[X];
          break;
        }
    }
    unsigned Other = 0;
    for (int Y = 0; Y < Height; ++Y) {
      const auto* Line = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
      for (int X = 0; X < Width; ++X)
        Other |= (Line[X] != A) & (Line[X] != B);
    }
    if (!Other) return A == B ? QList<QRgb>{A} : QList<QRgb>{A, B};
  }
  QRgb Colours[256];
  int Count = 0;
  // The last two colours seen: a code alternates between two, so the list is rarely searched.
  QRgb Last = 0, Before = 0;
  for (int Y = 0; Y < Height; ++Y) {
    const auto* Line = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
    for (int X = 0; X < Width; ++X) {
      const QRgb Pixel = Line[X];
      if (Pixel == Last && Count > 0) continue;
      if (Pixel != Before || Count < 2) {
        if (std::find(Colours, Colours + Count, Pixel) == Colours + Count) {
          if (Count == 256) return std::nullopt;
          Colours[Count++] = Pixel;
        }
      }
      Before = Last;
      Last = Pixel;
    }
  }
  return QList<QRgb>(Colours, Colours + Count);
}

// Pixels packed at Depth bits each, most significant first, one PNG line a row: Index[Y] is
// where line Y starts in Bytes. A line equal to the line above is not packed again but shares
// its bytes, and SameAsAbove[Y] is set.
struct TPackedLines {
  int Width = 0;
  int Height = 0;
  int Depth = 1;
  std::size_t LineBytes = 0;
  std::vector<png_byte> Bytes;
  std::vector<std::size_t> Index;
  std::vector<unsigned char> SameAsAbove;
};

TPackedLines PackLines(const QImage& Rgb, const QList<QRgb>& Palette) {
  TPackedLines Lines;
  Lines.Width = Rgb.width();
  Lines.Height = Rgb.height();
  Lines.Depth = Palette.size() <= 2 ? 1 : Palette.size() <= 4 ? 2 : Palette.size() <= 16 ? 4 : 8;
  const int Width = Lines.Width, Depth = Lines.Depth;
  Lines.LineBytes = (static_cast<std::size_t>(Width) * Depth + 7) / 8;
  Lines.Index.resize(static_cast<std::size_t>(Lines.Height));
  Lines.SameAsAbove.resize(static_cast<std::size_t>(Lines.Height), 0);
  Lines.Bytes.reserve(Lines.LineBytes * static_cast<std::size_t>(Lines.Height));
  for (int Y = 0; Y < Lines.Height; ++Y) {
    const auto* Line = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
    if (Y > 0 && std::memcmp(Line, Rgb.constScanLine(Y - 1),
                             static_cast<std::size_t>(Width) * sizeof(QRgb)) == 0) {
      Lines.Index[static_cast<std::size_t>(Y)] = Lines.Index[static_cast<std::size_t>(Y) - 1];
      Lines.SameAsAbove[static_cast<std::size_t>(Y)] = 1;
      continue;
    }
    const std::size_t At = Lines.Bytes.size();
    Lines.Index[static_cast<std::size_t>(Y)] = At;
    Lines.Bytes.resize(At + Lines.LineBytes, 0);
    png_byte* To = Lines.Bytes.data() + At;
    // Pixels are packed into Acc, most significant first, and stored a byte at a time.
    const int PerByte = 8 / Depth;
    unsigned Acc = 0;
    int InAcc = 0;
    if (Depth == 1) { // the usual case: two colours, index 1 is the second
      const QRgb One = Palette.size() > 1 ? Palette[1] : ~Palette[0];
      int X = 0;
      for (; X + 8 <= Width; X += 8) {
        unsigned Byte = 0;
        for (int I = 0; I < 8; ++I)
          Byte |= (Line[X + I] == One ? 0x80u : 0u) >> I;
        *To++ = static_cast<png_byte>(Byte);
      }
      for (; X < Width; ++X) {
        Acc = (Acc << 1) | (Line[X] == One ? 1u : 0u);
        ++InAcc;
      }
    } else {
      QRgb Last = Palette.front();
      unsigned Index = 0;
      for (int X = 0; X < Width; ++X) {
        if (Line[X] != Last) {
          Last = Line[X];
          Index = static_cast<unsigned>(std::find(Palette.begin(), Palette.end(), Last) -
                                        Palette.begin());
        }
        Acc = (Acc << Depth) | Index;
        if (++InAcc == PerByte) {
          *To++ = static_cast<png_byte>(Acc);
          Acc = 0;
          InAcc = 0;
        }
      }
    }
    if (InAcc > 0) *To = static_cast<png_byte>(Acc << (8 - InAcc * Depth));
  }
  return Lines;
}

// libpng hands its output here, a piece at a time. A failed append ends the write through
// png_error, outside the catch block so that nothing is left to unwind when it jumps.
void AppendToByteArray(png_structp Png, png_bytep Data, png_size_t Length) {
  auto* Out = static_cast<QByteArray*>(png_get_io_ptr(Png));
  bool Failed = false;
  try {
    Out->append(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Length));
  } catch (...) {
    Failed = true;
  }
  if (Failed) png_error(Png, "out of memory");
}

void FlushNothing(png_structp) {}

// Errors come back to WriteIndexed's setjmp, without a message on stderr; warnings are dropped.
[[noreturn]] void JumpOnError(png_structp Png, png_const_charp) {
  png_longjmp(Png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Frees libpng's write state however the write ends.
class TPngWriteState {
public:
  TPngWriteState()
      : FPng(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning)),
        FInfo(FPng ? png_create_info_struct(FPng) : nullptr) {}
  ~TPngWriteState() { png_destroy_write_struct(&FPng, &FInfo); }
  TPngWriteState(const TPngWriteState&) = delete;
  TPngWriteState& operator=(const TPngWriteState&) = delete;
  png_structp Png() const { return FPng; }
  png_infop Info() const { return FInfo; }

private:
  png_structp FPng;
  png_infop FInfo;
};

// The whole libpng write of an indexed picture. It holds no object with a destructor, as a
// longjmp from libpng back to the setjmp below would skip it; the caller owns every buffer.
// Colours holds PaletteSize RGB triples. False when libpng reports an error.
bool WriteIndexed(png_structp Png, png_infop Info, QByteArray* Out, const TPackedLines* Lines,
                  const png_color* Colours, int PaletteSize) {
  if (setjmp(png_jmpbuf(Png))) return false;
  png_set_write_fn(Png, Out, AppendToByteArray, FlushNothing);
  // libpng refuses lines longer than a million pixels unless told otherwise; PNG allows 2^31 - 1.
  png_set_user_limits(Png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_IHDR(Png, Info, static_cast<png_uint_32>(Lines->Width),
               static_cast<png_uint_32>(Lines->Height), Lines->Depth, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(Png, Info, Colours, PaletteSize);
  // Run-length matching only (Z_RLE): the lines are long runs of equal bytes, and a copied line
  // is a run of zeros, so this is nearly as small as full deflate at a fraction of its time.
  // Runs need no large window or hash table: a 4 KB window and memory level 6 keep zlib's state
  // near 50 KB, which the allocator hands out again without fresh pages on every call (the
  // default 256 KB cost more in page faults than a whole small PNG takes to compress).
  png_set_compression_level(Png, Z_BEST_COMPRESSION);
  png_set_compression_strategy(Png, Z_RLE);
  png_set_compression_window_bits(Png, 12);
  png_set_compression_mem_level(Png, 6);
  // Both filters are announced before the first line so that libpng keeps the line above; each
  // later line then gets its filter chosen here rather than by libpng's trial of both.
  png_set_filter(Png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE | PNG_FILTER_UP);
  png_write_info(Png, Info);
  for (int Y = 0; Y < Lines->Height; ++Y) {
    const std::size_t Row = static_cast<std::size_t>(Y);
    // A line equal to the line above is written with the "Up" filter (all zeros), every other
    // line unfiltered. The first line stays with libpng's trial, which picks None there: Up
    // against the zero line before the picture gives the same bytes, and ties go to None.
    if (Y > 0)
      png_set_filter(Png, PNG_FILTER_TYPE_BASE,
                     Lines->SameAsAbove[Row] ? PNG_FILTER_UP : PNG_FILTER_NONE);
    png_write_row(Png, Lines->Bytes.data() + Lines->Index[Row]);
  }
  png_write_end(Png, Info);
  return true;
}

// An indexed PNG of an opaque RGB32 picture with the given palette, at the smallest bit depth
// the palette allows (1, 2, 4 or 8). Empty when libpng fails.
QByteArray IndexedPng(const QImage& Rgb, const QList<QRgb>& Palette) {
  const TPackedLines Lines = PackLines(Rgb, Palette);
  png_color Colours[256];
  int Count = 0;
  for (const QRgb Colour : Palette)
    Colours[Count++] =
        png_color{static_cast<png_byte>(qRed(Colour)), static_cast<png_byte>(qGreen(Colour)),
                  static_cast<png_byte>(qBlue(Colour))};
  QByteArray Png;
  const TPngWriteState State;
  if (!State.Png() || !State.Info()) return QByteArray();
  if (!WriteIndexed(State.Png(), State.Info(), &Png, &Lines, Colours, Count)) return QByteArray();
  return Png;
}

} // namespace

QByteArray EncodePng(const QImage& Picture) {
  if (Picture.isNull()) return QByteArray();
  if (!Picture.hasAlphaChannel()) {
    const QImage Rgb = Picture.convertToFormat(QImage::Format_RGB32);
    if (const std::optional<QList<QRgb>> Palette = PaletteOf(Rgb)) return IndexedPng(Rgb, *Palette);
  }
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  if (!Buffer.open(QIODevice::WriteOnly) || !Picture.save(&Buffer, "PNG")) return QByteArray();
  return Bytes;
}
