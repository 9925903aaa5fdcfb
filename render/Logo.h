// The picture a designed code carries in its middle: read once from a PNG, JPEG or SVG file,
// then drawn by every output (render/Design.h). A file that cannot be read gives a reason, never
// a crash; memory stays bounded whatever the file claims to hold.
#pragma once

#include "text/Message.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <memory>
#include <string>

struct TLogo {
  QString Path;   // as given
  QImage Bitmap;  // a PNG or JPEG, ARGB32 premultiplied, at most kMaxLogoStoredSide a side
  QByteArray Svg; // the SVG text (empty for a bitmap); drawn as vector shapes
  QSizeF Size;    // the natural size, for the aspect ratio (both sides > 0)
  // A PNG, whose flat colours a PDF keeps without loss; a JPEG may be stored as JPEG again.
  bool Lossless = true;

  bool IsSvg() const { return !Svg.isEmpty(); }
  // The picture as a PNG or SVG file's bytes, for the SVG output's data address.
  QByteArray FileBytes() const;
};

// What a logo file may be: its size on disk, and the pixels a bitmap may claim (checked from its
// header before anything is decoded).
inline constexpr qint64 kMaxLogoFileBytes = 16 * 1024 * 1024;
inline constexpr int kMaxLogoSide = 8192;
inline constexpr qint64 kMaxLogoPixels = 4096LL * 4096LL;
// A larger bitmap is kept scaled down to this side: a logo covers at most 30 % of a code.
inline constexpr int kMaxLogoStoredSide = 1024;

struct TLogoLoad {
  std::shared_ptr<const TLogo> Logo; // nothing on failure
  TMessage Error;                    // why ("no such file", "not a PNG, JPEG or SVG picture" ...)
};

// Reads the logo at Path: PNG, JPEG or plain SVG, told apart by content (LooksLikeSvg in
// render/PictureFile.h); a compressed SVG (.svgz) is refused. Refused with a reason: a missing or
// unreadable file, one larger than kMaxLogoFileBytes, a bitmap wider or higher than kMaxLogoSide or
// of more than kMaxLogoPixels, a damaged picture (a JPEG cut short included, which Qt would draw
// with a grey band), an SVG without a size or with a document type. An SVG is kept as SafeSvg
// (render/SafeSvg.h) rewrites it: it draws and carries into SVG output nothing from outside
// itself. Needs no display.
TLogoLoad LoadLogo(const QString& Path);

// The same for a picture already in memory (the fuzz target's entry); Path is only kept.
TLogoLoad LogoFromBytes(const QByteArray& Bytes, const QString& Path);
