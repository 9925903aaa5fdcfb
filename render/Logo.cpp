#include "render/Logo.h"

#include "render/PictureFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSvgRenderer>

namespace {

TLogoLoad Refused(std::string Why) {
  TLogoLoad Load;
  Load.Error = std::move(Why);
  return Load;
}

} // namespace

QByteArray TLogo::FileBytes() const {
  if (IsSvg()) return Svg;
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  if (!Buffer.open(QIODevice::WriteOnly) || !Bitmap.save(&Buffer, "PNG")) return QByteArray();
  return Bytes;
}

TLogoLoad LogoFromBytes(const QByteArray& Bytes, const QString& Path) {
  auto Logo = std::make_shared<TLogo>();
  Logo->Path = Path;
  // A compressed SVG would have to travel compressed in the SVG output's data address, which
  // not every reader of SVG files unpacks.
  if (Bytes.startsWith("\x1f\x8b"))
    return Refused("a compressed SVG (.svgz): save it as plain SVG");
  if (LooksLikeSvg(Bytes)) {
    const QSvgRenderer Renderer(Bytes);
    if (!Renderer.isValid()) return Refused("a damaged SVG picture");
    QSizeF Size = Renderer.viewBoxF().size();
    if (!(Size.width() > 0 && Size.height() > 0)) Size = Renderer.defaultSize();
    if (!(Size.width() > 0 && Size.height() > 0)) return Refused("an SVG picture without a size");
    Logo->Svg = Bytes;
    Logo->Size = Size;
    return TLogoLoad{std::move(Logo), {}};
  }
  QBuffer Buffer;
  Buffer.setData(Bytes);
  if (!Buffer.open(QIODevice::ReadOnly)) return Refused("cannot be read");
  QImageReader Reader(&Buffer);
  Reader.setDecideFormatFromContent(true);
  const QByteArray Format = Reader.format().toLower();
  if (Format != "png" && Format != "jpeg" && Format != "jpg")
    return Refused("not a PNG, JPEG or SVG picture");
  // The size the header claims, checked before a pixel is decoded.
  const QSize Claimed = Reader.size();
  if (!Claimed.isValid() || Claimed.isEmpty()) return Refused("a damaged picture");
  if (Claimed.width() > kMaxLogoSide || Claimed.height() > kMaxLogoSide ||
      static_cast<qint64>(Claimed.width()) * Claimed.height() > kMaxLogoPixels) {
    // Appended rather than "literal" + std::string, which GCC 12 at -O3 misreads (-Wrestrict).
    std::string Why = "too large: ";
    Why += std::to_string(Claimed.width());
    Why += " x ";
    Why += std::to_string(Claimed.height());
    Why += " pixels (at most 4096 x 4096)";
    return Refused(Why);
  }
  QImage Picture = Reader.read();
  if (Picture.isNull())
    return Refused(std::string("a damaged picture (").append(Reader.errorString().toStdString()) +
                   ")");
  if (Picture.width() > kMaxLogoStoredSide || Picture.height() > kMaxLogoStoredSide)
    Picture = Picture.scaled(kMaxLogoStoredSide, kMaxLogoStoredSide, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
  Logo->Bitmap = Picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Logo->Size = QSizeF(Logo->Bitmap.size());
  return TLogoLoad{std::move(Logo), {}};
}

TLogoLoad LoadLogo(const QString& Path) {
  const QFileInfo Info(Path);
  if (!Info.exists()) return Refused("no such file");
  if (!Info.isFile()) return Refused("not a file");
  if (Info.size() > kMaxLogoFileBytes) return Refused("larger than 16 MB");
  QFile File(Path);
  if (!File.open(QIODevice::ReadOnly))
    return Refused(std::string("cannot be read (").append(File.errorString().toStdString()) + ")");
  const QByteArray Bytes = File.read(kMaxLogoFileBytes + 1);
  if (Bytes.size() > kMaxLogoFileBytes) return Refused("larger than 16 MB");
  return LogoFromBytes(Bytes, Path);
}
