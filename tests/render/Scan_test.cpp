// Finding codes in pictures other encoders made (the qrencode command and segno): the exact bytes
// whatever their encoding, the version as the encoder chose it, several codes in one picture, a
// code photographed (turned, scaled down, on a textured background) and pictures without one.
#include "render/PictureFile.h"
#include "render/Scan.h"
#include "support/OutsideReaders.h"

#include <QBuffer>
#include <QPainter>
#include <QTransform>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace {

const TOutsideEncoder kEncoders[] = {TOutsideEncoder::Qrencode, TOutsideEncoder::Segno};

const char* NameOf(TOutsideEncoder E) {
  return E == TOutsideEncoder::Qrencode ? "qrencode" : "segno";
}

// Exact bytes and the version, for every encoder: byte strings that are ASCII, UTF-8 with and
// without a mark, ISO-8859-1 and no text at all, at versions from 1 to 40.
TEST(Scan, ReadsExactBytesAndVersionOfOutsideCodes) {
  const struct {
    std::string Bytes;
    int Version;
  } Cases[] = {
      {"WIFI:T:WPA;S:office;P:s3cr\\;t;;", 0},
      {"Gr\xC3\xBC\xC3\x9F"
       "e aus M\xC3\xBCnchen",
       4},
      {"\xEF\xBB\xBFmit Marke", 2},
      {"Gr\xFC\xDF"
       "e latin-1",
       7},
      {std::string("\x00\x01\xFF\x80 binary", 11), 10},
      {std::string(300, 'x'), 25},
      {"https://example.org/", 40},
  };
  for (const TOutsideEncoder Encoder : kEncoders) {
    for (const auto& Case : Cases) {
      SCOPED_TRACE(std::string(NameOf(Encoder)) + " version " + std::to_string(Case.Version));
      const QImage Picture = OutsideCodePicture(Encoder, Case.Bytes, Case.Version, 3);
      ASSERT_FALSE(Picture.isNull());
      const std::vector<TFoundCode> Codes = ScanPicture(Picture);
      ASSERT_EQ(Codes.size(), 1u);
      EXPECT_EQ(Codes[0].Bytes, Case.Bytes);
      if (Case.Version > 0)
        EXPECT_EQ(Codes[0].Version, Case.Version);
      else
        EXPECT_EQ(Codes[0].Version, 2); // 31 bytes at level L
    }
  }
}

// Light modules on a dark ground (qrencode's and segno's codes turned negative, whose quiet
// zone then is dark too): found, marked inverted, with their version; a plain code is not marked.
TEST(Scan, InvertedCodesAreReadAndMarked) {
  for (const TOutsideEncoder Encoder : kEncoders) {
    SCOPED_TRACE(NameOf(Encoder));
    QImage Picture = OutsideCodePicture(Encoder, "https://example.org/inverted", 5, 4);
    ASSERT_FALSE(Picture.isNull());
    const std::vector<TFoundCode> Plain = ScanPicture(Picture);
    ASSERT_EQ(Plain.size(), 1u);
    EXPECT_FALSE(Plain[0].Inverted);
    Picture.invertPixels();
    const std::vector<TFoundCode> Codes = ScanPicture(Picture);
    ASSERT_EQ(Codes.size(), 1u);
    EXPECT_EQ(Codes[0].Bytes, "https://example.org/inverted");
    EXPECT_EQ(Codes[0].Version, 5);
    EXPECT_TRUE(Codes[0].Inverted);
  }
}

// A textured background: stripes and noise in greys that are neither the dark nor the light.
QImage Texture(int Width, int Height) {
  QImage Back(Width, Height, QImage::Format_RGB32);
  std::mt19937 Random(7);
  std::uniform_int_distribution<int> Noise(-25, 25);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const int Base = ((X / 9 + Y / 13) % 2) ? 150 : 190;
      const int G = Base + Noise(Random);
      Back.setPixel(X, Y, qRgb(G, G - 10, G - 25));
    }
  return Back;
}

// Two codes side by side, and a code turned, scaled down and painted on a texture: read as a
// phone would find them, with their versions.
TEST(Scan, FindsSeveralCodesAndPhotographedCodes) {
  const QImage Left = OutsideCodePicture(TOutsideEncoder::Qrencode, "left code", 1, 4);
  const QImage Right = OutsideCodePicture(TOutsideEncoder::Segno, "right code", 3, 4);
  ASSERT_FALSE(Left.isNull());
  ASSERT_FALSE(Right.isNull());
  QImage Both(Left.width() + Right.width() + 40, std::max(Left.height(), Right.height()),
              QImage::Format_RGB32);
  Both.fill(Qt::white);
  {
    QPainter P(&Both);
    P.drawImage(0, 0, Left);
    P.drawImage(Left.width() + 40, 0, Right);
  }
  std::vector<std::string> Found;
  for (const TFoundCode& Code : ScanPicture(Both)) {
    Found.push_back(Code.Bytes);
    EXPECT_EQ(Code.Version, Code.Bytes == "left code" ? 1 : 3);
  }
  std::sort(Found.begin(), Found.end());
  EXPECT_EQ(Found, (std::vector<std::string>{"left code", "right code"}));

  const std::string Bytes = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xC3\xBCrgen\r\nEND:VCARD\r\n";
  const QImage Code = OutsideCodePicture(TOutsideEncoder::Segno, Bytes, 4, 8);
  ASSERT_FALSE(Code.isNull());
  for (const double Angle : {17.0, -40.0, 90.0, 180.0}) {
    SCOPED_TRACE(Angle);
    QImage Photo = Texture(900, 700);
    {
      QPainter P(&Photo);
      P.setRenderHint(QPainter::SmoothPixmapTransform);
      P.translate(450, 350);
      P.rotate(Angle);
      P.scale(0.55, 0.55);
      P.drawImage(QPointF(-Code.width() / 2.0, -Code.height() / 2.0), Code);
    }
    const std::vector<TFoundCode> Codes = ScanPicture(Photo);
    ASSERT_EQ(Codes.size(), 1u);
    EXPECT_EQ(Codes[0].Bytes, Bytes);
    EXPECT_EQ(Codes[0].Version, 4);
  }
}

// Every picture format a user may hand over: SVG (plain and gzip-compressed) through Qt's SVG
// renderer, a PNG whose light modules are transparent (laid on white), JPEG and BMP; bytes that are
// no picture, and an empty file, are refused with a reason.
TEST(Scan, PictureFilesOfEveryFormatAreRead) {
  char Template[] = "/tmp/marbeck-scan-XXXXXX";
  ASSERT_NE(::mkdtemp(Template), nullptr);
  const std::filesystem::path Folder = Template;
  const std::string Bytes = "https://example.org/formats";
  for (const char* Name : {"code.svg", "code.svgz", "code-transparent.png"})
    ASSERT_TRUE(MakeOutsideCode(TOutsideEncoder::Segno, Bytes, Folder / Name)) << Name;
  const QImage Png = OutsideCodePicture(TOutsideEncoder::Qrencode, Bytes);
  ASSERT_TRUE(Png.save(QString::fromStdString((Folder / "code.jpg").string()), "JPEG", 70));
  ASSERT_TRUE(Png.save(QString::fromStdString((Folder / "code.bmp").string()), "BMP"));
  for (const char* Name :
       {"code.svg", "code.svgz", "code-transparent.png", "code.jpg", "code.bmp"}) {
    SCOPED_TRACE(Name);
    const TPictureRead Read = ReadPictureFile(Folder / Name);
    ASSERT_FALSE(Read.Picture.isNull()) << Read.Error.Utf8();
    const std::vector<TFoundCode> Codes = ScanPicture(Read.Picture);
    ASSERT_EQ(Codes.size(), 1u);
    EXPECT_EQ(Codes[0].Bytes, Bytes);
  }
  EXPECT_EQ(ReadPictureBytes(QByteArray()).Error.Utf8(), "the file is empty");
  const std::string NoPicture =
      ReadPictureBytes(QByteArray("\x89PNG\r\n\x1a\n cut short")).Error.Utf8();
  EXPECT_TRUE(NoPicture.starts_with("not a picture that can be read")) << NoPicture;
  const std::string BadSvg = ReadPictureBytes(QByteArray("<svg><rect")).Error.Utf8();
  EXPECT_TRUE(BadSvg.starts_with("not a picture that can be read")) << BadSvg;
  EXPECT_FALSE(ReadPictureFile(Folder / "missing.png").Error.Empty());
  std::error_code Ec;
  std::filesystem::remove_all(Folder, Ec);
}

// Pictures beyond Qt's default allocation limit of 128 MiB (about 33.5 megapixels at 32 bits):
// a 5,800 x 5,800 PNG scan of a code is read, scaled down, and its code found (its modules of
// 150 pixels, too large for zbar, halved until they are not); one of more than
// 200 megapixels is refused by its header, before anything is decoded.
TEST(Scan, LargePicturesAreReadScaledDownAndTooLargeOnesRefused) {
  const std::string Bytes = "https://example.org/a-large-scan";
  const QImage Code = OutsideCodePicture(TOutsideEncoder::Qrencode, Bytes, 0, 1);
  ASSERT_FALSE(Code.isNull());
  QImage Scan(5800, 5800, QImage::Format_RGB32);
  Scan.fill(qRgb(250, 250, 245));
  {
    QPainter P(&Scan);
    P.drawImage(QRect(400, 400, 5000, 5000), Code); // a code filling the scan, 150 px a module
  }
  QByteArray Png;
  {
    QBuffer Out(&Png);
    Out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Scan.save(&Out, "PNG"));
  }
  Scan = QImage();
  const TPictureRead Read = ReadPictureBytes(Png);
  ASSERT_FALSE(Read.Picture.isNull()) << Read.Error.Utf8();
  EXPECT_LE(static_cast<double>(Read.Picture.width()) * Read.Picture.height(),
            kScanPictureMegapixels * 1e6);
  EXPECT_NEAR(Read.Picture.width(), Read.Picture.height(), 1);
  const std::vector<TFoundCode> Codes = ScanPicture(Read.Picture);
  ASSERT_EQ(Codes.size(), 1u);
  EXPECT_EQ(Codes[0].Bytes, Bytes);

  EXPECT_EQ(ReadPictureBytes(BmpHeader(20000, 10001)).Error.Utf8(),
            "the picture is larger than 200 megapixels (20000 x 10001)");
}

TEST(Scan, PicturesWithoutACodeFindNothing) {
  EXPECT_TRUE(ScanPicture(QImage()).empty());
  EXPECT_TRUE(ScanPicture(Texture(400, 300)).empty());
  QImage White(200, 200, QImage::Format_Grayscale8);
  White.fill(255);
  EXPECT_TRUE(ScanPicture(White).empty());
}

} // namespace
