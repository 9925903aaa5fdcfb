#include "render/Logo.h"

#include "render/LibraryNotes.h"
#include "render/PictureFile.h"
#include "render/PngCheck.h"
#include "render/SafeSvg.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSvgRenderer>

namespace {

TLogoLoad Refused(TMessage Why) {
  TLogoLoad Load;
  Load.Error = std::move(Why);
  return Load;
}

// Whether a JPEG runs from its start marker through its segments and entropy-coded data to an
// end marker (ITU-T T.81 B.2): one cut short ends before it. Segments are skipped by their
// lengths, so an end marker inside a thumbnail (an APP1 segment) does not count.
bool JpegIsComplete(const QByteArray& Bytes) {
  const auto At = [&Bytes](qsizetype I) { return static_cast<unsigned char>(Bytes[I]); };
  const qsizetype N = Bytes.size();
  if (N < 4 || At(0) != 0xFF || At(1) != 0xD8) return false;
  qsizetype I = 2;
  while (I + 1 < N) {
    if (At(I) != 0xFF) { // entropy-coded data: on to the next marker
      ++I;
      continue;
    }
    const unsigned char Marker = At(I + 1);
    if (Marker == 0xD9) return true; // end of image
    if (Marker == 0x00 || Marker == 0xFF ||
        (Marker >= 0xD0 && Marker <= 0xD7)) { // stuffed, fill, restart
      I += Marker == 0xFF ? 1 : 2;
      continue;
    }
    if (I + 3 >= N) return false;
    I += 2 + ((static_cast<qsizetype>(At(I + 2)) << 8) | At(I + 3)); // a segment and its length
  }
  return false;
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
    return Refused(
        Say(QT_TRANSLATE_NOOP("Messages", "a compressed SVG (.svgz): save it as plain SVG")));
  if (LooksLikeSvg(Bytes)) {
    const TSafeSvg Safe = SafeSvg(Bytes);
    if (Safe.Error) return Refused(Safe.Error);
    TakeLibraryNote();
    const QSvgRenderer Renderer(Safe.Svg);
    if (!Renderer.isValid())
      return Refused(WithLibraryNote(Say(QT_TRANSLATE_NOOP("Messages", "a damaged SVG picture"))));
    QSizeF Size = Renderer.viewBoxF().size();
    if (!(Size.width() > 0 && Size.height() > 0)) Size = Renderer.defaultSize();
    if (!(Size.width() > 0 && Size.height() > 0))
      return Refused(Say(QT_TRANSLATE_NOOP("Messages", "an SVG picture without a size")));
    Logo->Svg = Safe.Svg;
    Logo->Size = Size;
    return TLogoLoad{std::move(Logo), {}};
  }
  QBuffer Buffer;
  Buffer.setData(Bytes);
  if (!Buffer.open(QIODevice::ReadOnly))
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "cannot be read")));
  QImageReader Reader(&Buffer);
  Reader.setDecideFormatFromContent(true);
  const QByteArray Format = Reader.format().toLower();
  if (Format != "png" && Format != "jpeg" && Format != "jpg")
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "not a PNG, JPEG or SVG picture")));
  // The size the header claims, checked before a pixel is decoded.
  const QSize Claimed = Reader.size();
  if (!Claimed.isValid() || Claimed.isEmpty())
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "a damaged picture")));
  if (Claimed.width() > kMaxLogoSide || Claimed.height() > kMaxLogoSide ||
      static_cast<qint64>(Claimed.width()) * Claimed.height() > kMaxLogoPixels) {
    return Refused(Say(
        QT_TRANSLATE_NOOP("Messages", "too large: %1 x %2 pixels (at most 4096 x 4096)"),
        {PlainUtf8(std::to_string(Claimed.width())), PlainUtf8(std::to_string(Claimed.height()))}));
  }
  if (Format != "png" && !JpegIsComplete(Bytes))
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "a damaged picture (cut short)")));
  if (Format == "png")
    if (const std::string Damage = PngDamage(Bytes); !Damage.empty())
      return Refused(
          Say(QT_TRANSLATE_NOOP("Messages", "a damaged picture (%1)"), {PlainUtf8(Damage)}));
  TakeLibraryNote();
  QImage Picture = Reader.read();
  if (Picture.isNull())
    return Refused(WithLibraryNote(Say(QT_TRANSLATE_NOOP("Messages", "a damaged picture (%1)"),
                                       {Plain(Reader.errorString().toStdU16String())})));
  if (Picture.width() > kMaxLogoStoredSide || Picture.height() > kMaxLogoStoredSide)
    Picture = Picture.scaled(kMaxLogoStoredSide, kMaxLogoStoredSide, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
  Logo->Bitmap = Picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Logo->Lossless = Format == "png";
  Logo->Size = QSizeF(Logo->Bitmap.size());
  return TLogoLoad{std::move(Logo), {}};
}

TLogoLoad LoadLogo(const QString& Path) {
  const QFileInfo Info(Path);
  if (!Info.exists()) return Refused(Say(QT_TRANSLATE_NOOP("Messages", "no such file")));
  if (!Info.isFile()) return Refused(Say(QT_TRANSLATE_NOOP("Messages", "not a file")));
  if (Info.size() > kMaxLogoFileBytes)
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "larger than 16 MB")));
  QFile File(Path);
  if (!File.open(QIODevice::ReadOnly))
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "cannot be read (%1)"),
                       {Plain(File.errorString().toStdU16String())}));
  const QByteArray Bytes = File.read(kMaxLogoFileBytes + 1);
  if (Bytes.size() > kMaxLogoFileBytes)
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "larger than 16 MB")));
  return LogoFromBytes(Bytes, Path);
}
