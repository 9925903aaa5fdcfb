#include "render/Raster.h"

#include <QBuffer>

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
  QImage Result(Width, Height, QImage::Format_RGB32);
  const qint64 SourceWidth = Source.width();
  const qint64 SourceHeight = Source.height();
  for (int Y = 0; Y < Height; ++Y) {
    const int SourceY = static_cast<int>(Y * SourceHeight / Height);
    const auto* From = reinterpret_cast<const QRgb*>(Source.constScanLine(SourceY));
    auto* To = reinterpret_cast<QRgb*>(Result.scanLine(Y));
    for (int X = 0; X < Width; ++X)
      To[X] = From[X * SourceWidth / Width];
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

QByteArray EncodePng(const QImage& Picture) {
  if (Picture.isNull()) return QByteArray();
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  if (!Buffer.open(QIODevice::WriteOnly) || !Picture.save(&Buffer, "PNG")) return QByteArray();
  return Bytes;
}
