// Finding the QR codes in any picture (a photo, a screen grab, a file someone else made; files
// are read by render/PictureFile.h) with zbar, in binary mode: the bytes come back exactly as the
// symbols carry them. Each code found also gets its version, which zbar does not report: it is read
// from the picture by sampling the two timing patterns between the corners zbar gives. QtGui only;
// safe to call from several threads at once; needs no display.
#pragma once

#include <QImage>
#include <QPolygonF>
#include <string>
#include <vector>

struct TFoundCode {
  std::string Bytes;
  int Version = 0; // 1 to 40; 0 when the picture does not show it clearly enough
  QPolygonF Where; // the code's corners in picture pixels, as zbar reports them
  // Light modules on a dark ground: found only in the picture's negative, as zbar finds nothing
  // in such a picture (and many phone readers do not either).
  bool Inverted = false;
  // The ECI designator in force before its bytes (ISO/IEC 18004 clause 7.4.2), which zbar does
  // not report: read from the picture by render/SymbolRead.h. -1 when the symbol has none, and
  // when its reading cannot be trusted (it must give exactly what zbar read). When it is trusted
  // and has a designator, Bytes are the bytes as the symbol carries them (zbar converts a segment
  // under a designator to UTF-8), to be read in the character set Eci names; otherwise what zbar
  // read in binary mode.
  int Eci = -1;
};

// Every QR code zbar finds in the grey picture (Width x Height bytes, one per pixel), scanning
// every Density-th row and column. Version is left 0.
std::vector<TFoundCode> ScanGrey(const std::vector<unsigned char>& Grey, int Width, int Height,
                                 int Density);

// Every QR code zbar finds in the grey picture: every second row and column first and, when that
// finds nothing, every one. Version is left 0.
std::vector<TFoundCode> FindCodes(const std::vector<unsigned char>& Grey, int Width, int Height);

// Every QR code in Picture, in the order zbar reports them, each with its version when it can be
// told. A null or empty picture has none. The picture is laid on white, turned grey
// (render/Grey.h) and searched by FindCodes; when that finds nothing, its negative is searched,
// and the codes found there are marked Inverted. Each code's ECI designator is read from the
// picture when its version is known. One in which neither finds anything is searched
// again at half its size while the half's longer side is 500 pixels or more (zbar misses symbols
// of very large modules). Where is in the pixels of Picture.
std::vector<TFoundCode> ScanPicture(const QImage& Picture);

// The version of the code whose corners are Where, read from Grey by the timing patterns; 0 when
// no version from 1 to 40 shows both timing patterns alternating.
int VersionAt(const std::vector<unsigned char>& Grey, int Width, int Height,
              const QPolygonF& Where);
