#include "render/PictureFile.h"

#include "render/Grey.h"
#include "render/LibraryNotes.h"
#include "render/PngCheck.h"
#include "render/SafeSvg.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

void AllowLargePictures() {
  // 8 bytes a pixel: a 16-bit PNG is decoded at 64 bits a pixel.
  static const bool Raised = [] {
    QImageReader::setAllocationLimit(kMaxPictureMegapixels * 8);
    return true;
  }();
  (void)Raised;
}

bool LooksLikeSvg(const QByteArray& Bytes) {
  if (Bytes.startsWith("\x1f\x8b")) return true; // gzip: an .svgz (no other format read is gzip)
  const QByteArray Head = Bytes.left(4096).trimmed();
  return Head.startsWith("<") && (Head.contains("<svg") || Head.contains("<!DOCTYPE svg"));
}

TPictureRead ReadPictureBytes(const QByteArray& Bytes) {
  TPictureRead Result;
  if (Bytes.isEmpty()) {
    Result.Error = Say(QT_TRANSLATE_NOOP("Messages", "the file is empty"));
    return Result;
  }
  if (LooksLikeSvg(Bytes)) {
    // Drawn from the document alone: a picture it names on the disk is not read.
    const TSafeSvg Safe = SafeSvg(Bytes);
    if (Safe.Error) {
      Result.Error =
          Say(QT_TRANSLATE_NOOP("Messages", "not a picture that can be read (%1)"), {Safe.Error});
      return Result;
    }
    TakeLibraryNote();
    QSvgRenderer Renderer(Safe.Svg);
    const QSizeF Size = Renderer.viewBoxF().size();
    if (!Renderer.isValid() || Size.isEmpty()) {
      Result.Error = WithLibraryNote(Say(
          QT_TRANSLATE_NOOP("Messages", "not a picture that can be read (the SVG is malformed)")));
      return Result;
    }
    const double Scale = kSvgPictureSide / std::max(Size.width(), Size.height());
    const QSize Pixels(std::max(1, static_cast<int>(std::lround(Size.width() * Scale))),
                       std::max(1, static_cast<int>(std::lround(Size.height() * Scale))));
    QImage Picture(Pixels, QImage::Format_RGB32);
    Picture.fill(Qt::white);
    QPainter Painter(&Picture);
    Renderer.render(&Painter);
    Painter.end();
    Result.Picture = Picture;
    return Result;
  }
  // libpng would print its reason on its own line; asked first, it gives it to the message.
  if (IsPng(Bytes))
    if (const std::string Damage = PngDamage(Bytes); !Damage.empty()) {
      Result.Error =
          Say(QT_TRANSLATE_NOOP("Messages", "not a picture that can be read (a damaged PNG: %1)"),
              {PlainUtf8(Damage)});
      return Result;
    }
  QBuffer Buffer;
  Buffer.setData(Bytes);
  Buffer.open(QIODevice::ReadOnly);
  QImageReader Reader(&Buffer);
  Reader.setAutoTransform(true); // a photo's orientation as its camera noted it
  AllowLargePictures();
  if (const QSize Size = Reader.size(); Size.isValid()) { // from the header, nothing decoded
    const double Megapixels = static_cast<double>(Size.width()) * Size.height() / 1e6;
    if (Megapixels > kMaxPictureMegapixels) {
      Result.Error =
          Say(QT_TRANSLATE_NOOP("Messages", "the picture is larger than %1 megapixels (%2 x %3)"),
              {PlainUtf8(std::to_string(kMaxPictureMegapixels)),
               PlainUtf8(std::to_string(Size.width())), PlainUtf8(std::to_string(Size.height()))});
      return Result;
    }
    if (Megapixels > kScanPictureMegapixels) {
      // JPEG decodes straight to the smaller size; the other formats are scaled after decoding.
      const double Scale = std::sqrt(kScanPictureMegapixels / Megapixels);
      Reader.setScaledSize(QSize(std::max(1, static_cast<int>(Size.width() * Scale)),
                                 std::max(1, static_cast<int>(Size.height() * Scale))));
    }
  }
  TakeLibraryNote();
  const QImage Picture = Reader.read();
  if (Picture.isNull()) {
    Result.Error =
        WithLibraryNote(Say(QT_TRANSLATE_NOOP("Messages", "not a picture that can be read (%1)"),
                            {Plain(Reader.errorString().toStdU16String())}));
    return Result;
  }
  Result.Picture = OnWhite(Picture);
  return Result;
}

TPictureRead ReadPictureFile(const std::filesystem::path& Path) {
  const TReadResult Read = ReadFileBytes(Path);
  if (!Read.Ok()) return TPictureRead{QImage(), Read.Error};
  return ReadPictureBytes(
      QByteArray(Read.Bytes->data(), static_cast<qsizetype>(Read.Bytes->size())));
}
