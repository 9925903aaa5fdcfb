// Reading picture files to look for codes in: which formats are read, how an SVG document is told
// apart from the bitmap formats, and how large a file may be. The picture comes back as it would
// be shown (transparent parts laid on white); finding the codes in it is render/Scan.h's part.
// QtGui and QtSvg; needs no display; safe from any thread.
#pragma once

#include "platform/TextFile.h"
#include "text/Message.h"

#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <string>

struct TPictureRead {
  QImage Picture; // null when the picture could not be read
  TMessage Error; // why, when Picture is null
};

// The largest picture file read: the limit of every whole-file read (platform/TextFile.h).
inline constexpr long long kMaxPictureFileBytes = kMaxReadBytes;
// The longer side, in pixels, that an SVG picture is drawn at to be scanned.
inline constexpr int kSvgPictureSide = 1200;
// The largest picture read, in megapixels (a 200 MP phone photo; an A4 page scanned at 600 dpi
// has 35): a larger one is refused with "the picture is larger than 200 megapixels". Qt's image
// allocation limit is raised to hold one this large at 64 bits a pixel (1,600 MiB).
inline constexpr int kMaxPictureMegapixels = 200;
// A picture of more megapixels than this is decoded scaled down to it: zbar finds the codes of
// a photo or a scan as well at this size, and the scan stays quick and small.
inline constexpr int kScanPictureMegapixels = 24;

// Raises Qt's image allocation limit (128 MiB by default, a picture of about 33 megapixels) to
// kMaxPictureMegapixels at 64 bits a pixel, once. Every reader here calls it; a program calls it
// at start when Qt decodes pictures for it (a pasted or dropped image).
void AllowLargePictures();

// Whether Bytes look like an SVG document (plain text starting with markup that names <svg>) or
// a gzip-compressed one (.svgz), which Qt's SVG renderer reads: the other picture formats are
// left to Qt's image readers. Logo files are told apart the same way (render/Logo.h).
bool LooksLikeSvg(const QByteArray& Bytes);

// A picture from its bytes: PNG, JPEG, BMP, GIF (the first frame) and the other formats Qt's
// image readers know, or SVG (plain or gzip-compressed) drawn by Qt's SVG renderer with its
// longer side kSvgPictureSide pixels, from the document alone (render/SafeSvg.h: no picture it
// names on the disk, no document type). A picture with transparent parts is laid on white, as it
// would be shown, so that a code drawn on nothing still reads. A picture of more than
// kScanPictureMegapixels comes back scaled down to that many; one of more than
// kMaxPictureMegapixels (by its header) is refused without being decoded. A damaged PNG is
// refused with libpng's reason, and what Qt's readers said goes into the message
// (render/LibraryNotes.h).
TPictureRead ReadPictureBytes(const QByteArray& Bytes);
// The same from a file, at most kMaxPictureFileBytes, a regular file only.
TPictureRead ReadPictureFile(const std::filesystem::path& Path);
