// SVG from outside made safe: Qt's own SVG renderer, which draws a local file an <image> names,
// draws nothing of it from the rewritten document, and draws a clean document exactly as before.
#include "render/SafeSvg.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QImage Drawn(const QByteArray& Svg) {
  QImage Out(100, 100, QImage::Format_ARGB32);
  Out.fill(Qt::white);
  QSvgRenderer Renderer(Svg);
  QPainter Painter(&Out);
  Renderer.render(&Painter);
  return Out;
}

int RedPixels(const QImage& Picture) {
  int Red = 0;
  for (int Y = 0; Y < Picture.height(); ++Y)
    for (int X = 0; X < Picture.width(); ++X) {
      const QRgb P = Picture.pixel(X, Y);
      Red += qRed(P) > 200 && qGreen(P) < 60 && qBlue(P) < 60;
    }
  return Red;
}

QByteArray Gzipped(const QByteArray& Plain) {
  z_stream Z{};
  EXPECT_EQ(deflateInit2(&Z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  QByteArray Out(static_cast<qsizetype>(deflateBound(&Z, static_cast<uLong>(Plain.size()))) + 32,
                 '\0');
  Z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Plain.constData()));
  Z.avail_in = static_cast<uInt>(Plain.size());
  Z.next_out = reinterpret_cast<Bytef*>(Out.data());
  Z.avail_out = static_cast<uInt>(Out.size());
  EXPECT_EQ(deflate(&Z, Z_FINISH), Z_STREAM_END);
  Out.resize(static_cast<qsizetype>(Z.total_out));
  deflateEnd(&Z);
  return Out;
}

const char kHead[] = "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                     "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"100\" height=\"100\">";

} // namespace

// A local picture named by an <image>, plainly or as a file: address, is drawn by Qt from the
// original and not from the safe document; a picture carried in the document stays.
TEST(SafeSvg, NoLocalFileIsDrawn) {
  TTempFolder Folder;
  QImage Red(20, 20, QImage::Format_RGB32);
  Red.fill(Qt::red);
  const std::string Local = (Folder.Path() / "local.png").string();
  ASSERT_TRUE(Red.save(QString::fromStdString(Local)));
  for (const std::string& Address : {Local, "file://" + Local}) {
    const QByteArray Svg = QByteArray(kHead) +
                           "<rect width=\"100\" height=\"100\" fill=\"#036\"/>" +
                           "<image x=\"0\" y=\"0\" width=\"100\" height=\"100\" xlink:href=\"" +
                           QByteArray::fromStdString(Address) + "\"/></svg>";
    if (Address == Local) { // Qt draws the file itself (it takes no file: address)
      EXPECT_GT(RedPixels(Drawn(Svg)), 5000);
    }
    const TSafeSvg Safe = SafeSvg(Svg);
    ASSERT_EQ(Safe.Error.Utf8(), "");
    EXPECT_TRUE(Safe.Changed);
    EXPECT_EQ(RedPixels(Drawn(Safe.Svg)), 0) << Safe.Svg.toStdString();
    EXPECT_EQ(Safe.Svg.indexOf(QByteArray::fromStdString(Local)), -1);
  }
  QByteArray Png;
  {
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    Red.save(&Buffer, "PNG");
  }
  const QByteArray Carried =
      QByteArray(kHead) +
      "<image width=\"100\" height=\"100\" xlink:href=\"data:image/png;base64," + Png.toBase64() +
      "\"/></svg>";
  const TSafeSvg Kept = SafeSvg(Carried);
  EXPECT_FALSE(Kept.Changed);
  EXPECT_GT(RedPixels(Drawn(Kept.Svg)), 5000);
}

TEST(SafeSvg, WhatReachesOutIsLeftOutOrRefused) {
  struct TCase {
    const char* Name;
    std::string Body;    // inside <svg>
    const char* Refusal; // "" when the document is kept
    const char* Gone;    // text that must not be in the safe document
    const char* Kept;    // text that must be
  };
  const TCase Cases[] = {
      {"outside use", R"x(<use xlink:href="other.svg#x"/><use xlink:href="#a"/>)x", "", "other.svg",
       "xlink:href=\"#a\""},
      {"nested SVG picture", R"x(<image href="data:image/svg+xml;base64,PHN2Zy8+"/>)x", "",
       "svg+xml", "<svg"},
      {"style import", R"x(<style>@import url(/etc/x.css); rect{fill:red}</style>)x", "", "@import",
       "<style>"},
      {"url to a file", R"x(<rect fill="url(/tmp/g.svg#g)"/><rect fill="url(#grad)"/>)x", "",
       "/tmp/g.svg", "url(#grad)"},
      {"script and foreign objects",
       R"x(<script>alert(1)</script><foreignObject><p>x</p></foreignObject><circle r="3"/>)x", "",
       "alert", "<circle r=\"3\">"},
      {"stylesheet instruction", R"x(<?xml-stylesheet href="/etc/x.css"?><rect/>)x", "",
       "/etc/x.css", "<rect>"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TSafeSvg Safe = SafeSvg(QByteArray(kHead) + QByteArray::fromStdString(C.Body) + "</svg>");
    EXPECT_EQ(Safe.Error.Utf8(), C.Refusal);
    EXPECT_TRUE(Safe.Changed);
    EXPECT_EQ(Safe.Svg.indexOf(C.Gone), -1) << Safe.Svg.toStdString();
    EXPECT_NE(Safe.Svg.indexOf(C.Kept), -1) << Safe.Svg.toStdString();
    EXPECT_TRUE(QSvgRenderer(Safe.Svg).isValid()) << Safe.Svg.toStdString();
  }
  // A document type may name outside files and entities: refused, with its entities.
  const std::pair<QByteArray, const char*> Refused[] = {
      {"<?xml version=\"1.0\"?><!DOCTYPE svg SYSTEM \"file:///etc/passwd\">" + QByteArray(kHead) +
           "</svg>",
       "an SVG with a document type (DTD), which may name outside files"},
      {"<!DOCTYPE svg [<!ENTITY a \"b\"><!ENTITY c SYSTEM \"/etc/passwd\">]>" + QByteArray(kHead) +
           "<text>&c;</text></svg>",
       "an SVG with a document type (DTD), which may name outside files"},
      {QByteArray(kHead) + "<rect", "a damaged SVG picture"},
      {QByteArray("\x1f\x8b\x08\x00garbage", 11), "a damaged compressed SVG"},
      // The root itself left out: an empty document is no drawing (and no XML).
      {"<image href=\"/etc/passwd\"/>",
       "an SVG with nothing to draw once its outside parts are left out"},
      {"<image/>", "an SVG with nothing to draw once its outside parts are left out"},
  };
  for (const auto& [Bytes, Why] : Refused) {
    const TSafeSvg Safe = SafeSvg(Bytes);
    EXPECT_EQ(Safe.Error.Utf8(), Why);
    EXPECT_TRUE(Safe.Svg.isEmpty());
  }
}

// A clean document draws exactly as before, compressed or not: gradients, references inside it,
// escaped text and namespaces all survive the rewriting.
TEST(SafeSvg, ACleanDrawingIsUnchanged) {
  const QByteArray Svg =
      QByteArray(kHead) +
      R"x(<!-- a comment --><defs><linearGradient id="g"><stop offset="0" stop-color="#f80"/>)x"
      R"x(<stop offset="1" stop-color="#036"/></linearGradient><circle id="dot" r="10"/></defs>)x"
      R"x(<rect width="100" height="60" fill="url(#g)"/><use xlink:href="#dot" x="50" y="80"/>)x"
      R"x(<title>A &amp; B &lt;c&gt;</title></svg>)x";
  const TSafeSvg Safe = SafeSvg(Svg);
  ASSERT_EQ(Safe.Error.Utf8(), "");
  EXPECT_FALSE(Safe.Changed);
  EXPECT_NE(Safe.Svg.indexOf("A &amp; B &lt;c&gt;"), -1);
  EXPECT_EQ(Drawn(Safe.Svg), Drawn(Svg));
  const TSafeSvg Unpacked = SafeSvg(Gzipped(Svg));
  ASSERT_EQ(Unpacked.Error.Utf8(), "");
  EXPECT_EQ(Unpacked.Svg, Safe.Svg);
  EXPECT_EQ(SafeSvg(Gzipped(Svg), 100).Error.Utf8().rfind("a compressed SVG larger than", 0), 0u);
}
