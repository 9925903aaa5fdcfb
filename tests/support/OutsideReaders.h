// Test helpers for pictures that leave the program: run an outside program, rasterise an SVG or
// a PDF with the readers other people wrote (rsvg-convert, pdftoppm), compare two pictures pixel
// by pixel, and read a picture back with zbar.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The outcome of one run of an outside program.
struct TToolRun {
  bool Started = false;
  int ExitCode = -1;
  QByteArray Out;
  QByteArray Err;
};

// Runs Program with Arguments (no shell), waits up to 60 s, and gathers what it printed.
TToolRun RunTool(const QString& Program, const QStringList& Arguments);

// Writes Bytes to Path; false when it cannot.
bool WriteFileBytes(const std::filesystem::path& Path, const QByteArray& Bytes);

// Rasterises the SVG file at Path with rsvg-convert to Width x Height pixels. Null on failure.
QImage RasteriseSvgWithRsvg(const std::filesystem::path& Path, int Width, int Height);

// Rasterises the first page of the PDF file at Path with poppler to Width x Height pixels. Null
// on failure. pdftoppm (poppler's own Splash rasteriser) lets a path of several pieces spill up to
// an eighth of a pixel over its edges, so that exact pixel checks at one pixel per module use
// pdftocairo (poppler with cairo, antialiased, the same package), and the pdftoppm picture is
// read at module centres or by zbar.
enum class TPdfRasteriser { Pdftoppm, Pdftocairo };
QImage RasterisePdfWithPoppler(const std::filesystem::path& Path, int Width, int Height,
                               TPdfRasteriser Rasteriser = TPdfRasteriser::Pdftoppm);

// Empty when A and B have the same size and the same red, green and blue in every pixel;
// otherwise a short description of the first difference and the number of differing pixels.
std::string PictureDifference(const QImage& A, const QImage& B);

// Reads the one QR symbol in Picture with zbar (binary mode) after converting it to grey
// (qGray). Answers its bytes, or nothing.
std::optional<std::string> DecodePicture(const QImage& Picture);

// The 54-byte header of a BMP file of Width x Height at 24 bits a pixel, without the pixels:
// a picture whose size a reader learns without decoding anything.
QByteArray BmpHeader(int Width, int Height);

// ---- codes made by the outside encoders (the qrencode command, Python's segno) ----
enum class TOutsideEncoder { Qrencode, Segno };
// Writes to Png a QR code holding exactly Bytes in byte mode, level L, at Version (0: the
// encoder's smallest), Scale pixels a module, a quiet zone of 4 modules. False on failure. segno
// also writes .svg and .svgz files, and a PNG named *-transparent.png with no light colour.
bool MakeOutsideCode(TOutsideEncoder Encoder, const std::string& Bytes,
                     const std::filesystem::path& Png, int Version = 0, int Scale = 4);
// A code segno makes of Utf8Text in the character set Encoding (Python's name) with the ECI
// designator for it in front (eci=True; segno writes none for ISO-8859-1, its default), at Level
// ('L', 'M', 'Q' or 'H', not raised), Version and Mask (0 and -1: segno's choice), one pixel a
// module and a quiet zone of 4: its picture and its modules row by row ('1' dark, quiet zone
// left out). Empty on failure.
struct TSegnoCode {
  QImage Picture;
  std::vector<std::string> Rows;
};
TSegnoCode SegnoEciCode(const std::string& Utf8Text, char Level, int Version = 0, int Mask = -1,
                        const char* Encoding = "utf-8");

// The same code as a picture (made in a folder of its own); null on failure.
QImage OutsideCodePicture(TOutsideEncoder Encoder, const std::string& Bytes, int Version = 0,
                          int Scale = 4);
