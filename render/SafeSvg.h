// SVG from outside (a logo, a picture to read a code from) made safe to draw and to embed: Qt's
// SVG renderer follows an <image> to any local file, and a document type may name outside
// entities. What comes out is the same drawing rewritten from its parsed elements, holding nothing
// that reaches beyond the document itself:
//   - a document type (DTD), and with it every entity declaration, refuses the file;
//   - <script>, <foreignObject> and an <image> whose address is not a PNG, JPEG or GIF picture
//     carried in the document (a data: address) are left out with all they hold;
//   - an address (href, xlink:href) that is not a reference inside the document ("#id") or such
//     a data: picture is left out, and so is a style or attribute reaching out through url(...)
//     to anything but "#id" or @import;
//   - comments and processing instructions (xml-stylesheet) are left out.
// A gzip-compressed SVG (.svgz) is unpacked first, to at most MaxBytes. QtCore and zlib only;
// needs no display.
#pragma once

#include "text/Message.h"

#include <QByteArray>
#include <string>

struct TSafeSvg {
  QByteArray Svg;       // the rewritten document, UTF-8; empty when refused
  TMessage Error;       // why it was refused ("an SVG with a document type (DTD)" ...)
  bool Changed = false; // something that reached outside was left out
};

inline constexpr qsizetype kMaxSafeSvgBytes = 64 * 1024 * 1024;

TSafeSvg SafeSvg(const QByteArray& Bytes, qsizetype MaxBytes = kMaxSafeSvgBytes);
