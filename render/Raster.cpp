#include "render/Raster.h"

#include <QBuffer>
#include <QList>
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>
#include <zlib.h>

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
  const std::uint8_t* Cell = Grid.Cells.data();
  for (int Row = 0; Row < Grid.Side; ++Row) {
    auto* Line = reinterpret_cast<QRgb*>(Picture.scanLine(Row));
    for (int Column = 0; Column < Grid.Side; ++Column)
      Line[Column] = *Cell++ ? Dark : Light;
  }
  if (Style.Frame) DrawFrameMarks(Picture, Style.MarkLength, QColor::fromRgb(Style.FrameColor));
  return Picture;
}

QImage RenderRaster(const TModuleGrid& Grid, const TCodeStyle& Style, int Side) {
  return StretchNearest(RenderModules(Grid, Style), Side, Side);
}

namespace {

void AppendBigEndian(QByteArray& Out, std::uint32_t Value) {
  Out.append(static_cast<char>(Value >> 24));
  Out.append(static_cast<char>(Value >> 16));
  Out.append(static_cast<char>(Value >> 8));
  Out.append(static_cast<char>(Value));
}

// One PNG chunk: length, type, data, CRC-32 of type and data (ISO/IEC 15948 clause 5.3).
void AppendChunk(QByteArray& Out, const char* Type, const QByteArray& Data) {
  AppendBigEndian(Out, static_cast<std::uint32_t>(Data.size()));
  const qsizetype TypeAt = Out.size();
  Out.append(Type, 4);
  Out.append(Data);
  uLong Crc = crc32(0L, Z_NULL, 0);
  Crc = crc32(Crc, reinterpret_cast<const Bytef*>(Out.constData() + TypeAt),
              static_cast<uInt>(4 + Data.size()));
  AppendBigEndian(Out, static_cast<std::uint32_t>(Crc));
}

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

// An indexed PNG of an opaque RGB32 picture with the given palette, at the smallest bit depth
// the palette allows (1, 2, 4 or 8). A line equal to the line above is written with the "Up"
// filter (all zeros), every other line unfiltered: the stretched lines of a code then cost
// almost nothing to compress. Empty when zlib fails.
QByteArray IndexedPng(const QImage& Rgb, const QList<QRgb>& Palette) {
  const int Width = Rgb.width(), Height = Rgb.height();
  const int Depth = Palette.size() <= 2    ? 1
                    : Palette.size() <= 4  ? 2
                    : Palette.size() <= 16 ? 4
                                           : 8;
  const std::size_t LineBytes = (static_cast<std::size_t>(Width) * Depth + 7) / 8;
  std::vector<Bytef> Raw((LineBytes + 1) * static_cast<std::size_t>(Height), 0);
  for (int Y = 0; Y < Height; ++Y) {
    Bytef* Out = Raw.data() + (LineBytes + 1) * static_cast<std::size_t>(Y);
    const auto* Line = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
    if (Y > 0 && std::memcmp(Line, Rgb.constScanLine(Y - 1),
                             static_cast<std::size_t>(Width) * sizeof(QRgb)) == 0) {
      Out[0] = 2; // Up: every byte equals the one above
      continue;
    }
    Out[0] = 0; // None
    // Pixels are packed into Acc, most significant first, and stored a byte at a time.
    const int PerByte = 8 / Depth;
    unsigned Acc = 0;
    int InAcc = 0;
    Bytef* To = Out + 1;
    if (Depth == 1) { // the usual case: two colours, index 1 is the second
      const QRgb One = Palette.size() > 1 ? Palette[1] : ~Palette[0];
      int X = 0;
      for (; X + 8 <= Width; X += 8) {
        unsigned Byte = 0;
        for (int I = 0; I < 8; ++I)
          Byte |= (Line[X + I] == One ? 0x80u : 0u) >> I;
        *To++ = static_cast<Bytef>(Byte);
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
          *To++ = static_cast<Bytef>(Acc);
          Acc = 0;
          InAcc = 0;
        }
      }
    }
    if (InAcc > 0) *To = static_cast<Bytef>(Acc << (8 - InAcc * Depth));
  }
  // Run-length matching only (Z_RLE): the lines are long runs of equal bytes, and a copied line
  // is a run of zeros, so this is nearly as small as full deflate at a fraction of its time.
  // Runs need no large window or hash table: a 4 KB window and memory level 6 keep zlib's state
  // near 50 KB, which the allocator hands out again without fresh pages on every call (the
  // default 256 KB cost more in page faults than a whole small PNG takes to compress).
  z_stream Stream{};
  if (deflateInit2(&Stream, Z_BEST_COMPRESSION, Z_DEFLATED, 12, 6, Z_RLE) != Z_OK)
    return QByteArray();
  QByteArray Compressed(
      static_cast<qsizetype>(deflateBound(&Stream, static_cast<uLong>(Raw.size()))),
      Qt::Uninitialized);
  Stream.next_in = Raw.data();
  Stream.avail_in = static_cast<uInt>(Raw.size());
  Stream.next_out = reinterpret_cast<Bytef*>(Compressed.data());
  Stream.avail_out = static_cast<uInt>(Compressed.size());
  const int Result = deflate(&Stream, Z_FINISH);
  const uLong Written = Stream.total_out;
  deflateEnd(&Stream);
  if (Result != Z_STREAM_END) return QByteArray();
  Compressed.truncate(static_cast<qsizetype>(Written));

  QByteArray Png("\x89PNG\r\n\x1a\n", 8);
  QByteArray Header;
  AppendBigEndian(Header, static_cast<std::uint32_t>(Width));
  AppendBigEndian(Header, static_cast<std::uint32_t>(Height));
  Header.append(static_cast<char>(Depth));
  Header.append(static_cast<char>(3)); // colour type: palette
  Header.append(3, '\0');              // deflate, adaptive filters, no interlace
  AppendChunk(Png, "IHDR", Header);
  QByteArray Colours;
  for (const QRgb Colour : Palette) {
    Colours.append(static_cast<char>(qRed(Colour)));
    Colours.append(static_cast<char>(qGreen(Colour)));
    Colours.append(static_cast<char>(qBlue(Colour)));
  }
  AppendChunk(Png, "PLTE", Colours);
  AppendChunk(Png, "IDAT", Compressed);
  AppendChunk(Png, "IEND", QByteArray());
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
