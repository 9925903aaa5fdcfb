// Finding the QR codes in any picture (a photo, a screen grab, a file someone else made) with
// zbar, in binary mode: the bytes come back exactly as the symbols carry them. Each code found
// also gets its version, which zbar does not report: it is read from the picture by sampling the
// two timing patterns between the corners zbar gives. QtGui only; safe to call from several
// threads at once; needs no display.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPolygonF>
#include <filesystem>
#include <string>
#include <vector>

struct TFoundCode {
  std::string Bytes;
  int Version = 0; // 1 to 40; 0 when the picture does not show it clearly enough
  QPolygonF Where; // the code's corners in picture pixels, as zbar reports them
};

// Every QR code zbar finds in the grey picture (Width x Height bytes, one per pixel), scanning
// every Density-th row and column. Version is left 0.
std::vector<TFoundCode> ScanGrey(const std::vector<unsigned char>& Grey, int Width, int Height,
                                 int Density);

// Every QR code in Picture, in the order zbar reports them, each with its version when it can be
// told. A null or empty picture has none. The picture is scanned every second line first and,
// when that finds nothing, every line (as the read-back does).
std::vector<TFoundCode> ScanPicture(const QImage& Picture);

// The version of the code whose corners are Where, read from Grey by the timing patterns; 0 when
// no version from 1 to 40 shows both timing patterns alternating.
int VersionAt(const std::vector<unsigned char>& Grey, int Width, int Height,
              const QPolygonF& Where);

// ---- pictures to scan ----
struct TPictureRead {
  QImage Picture;    // null when the picture could not be read
  std::string Error; // why, when Picture is null
};
// Whether Bytes look like an SVG document (plain text starting with markup that names <svg>) or
// a gzip-compressed one (.svgz), which Qt's SVG renderer reads: the other picture formats are
// left to Qt's image readers. Logo files are told apart the same way (render/Logo.h).
bool LooksLikeSvg(const QByteArray& Bytes);

// A picture from its bytes: PNG, JPEG, BMP, GIF (the first frame) and the other formats Qt's
// image readers know, or SVG (plain or gzip-compressed) drawn by Qt's SVG renderer with its
// longer side 1200 pixels. A picture with transparent parts is laid on white, as it would be
// shown, so that a code drawn on nothing still reads.
TPictureRead ReadPictureBytes(const QByteArray& Bytes);
// The same from a file, at most 64 MiB, a regular file only.
TPictureRead ReadPictureFile(const std::filesystem::path& Path);
