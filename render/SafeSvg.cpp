#include "render/SafeSvg.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <zlib.h>

namespace {

TSafeSvg Refused(TMessage Why) {
  TSafeSvg Out;
  Out.Error = std::move(Why);
  return Out;
}

// A gzip stream unpacked, or empty (with Error) when it is damaged or larger than MaxBytes.
QByteArray Gunzip(const QByteArray& Packed, qsizetype MaxBytes, TMessage& Error) {
  z_stream Z{};
  if (inflateInit2(&Z, 16 + MAX_WBITS) != Z_OK) {
    Error = Say(QT_TRANSLATE_NOOP("Messages", "a compressed SVG that cannot be unpacked"));
    return {};
  }
  QByteArray Out;
  Z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Packed.constData()));
  Z.avail_in = static_cast<uInt>(Packed.size());
  char Chunk[64 * 1024];
  int Status = Z_OK;
  while (Status == Z_OK) {
    Z.next_out = reinterpret_cast<Bytef*>(Chunk);
    Z.avail_out = sizeof Chunk;
    Status = inflate(&Z, Z_NO_FLUSH);
    if (Status != Z_OK && Status != Z_STREAM_END) break;
    Out.append(Chunk, static_cast<qsizetype>(sizeof Chunk - Z.avail_out));
    if (Out.size() > MaxBytes) {
      inflateEnd(&Z);
      Error = Say(QT_TRANSLATE_NOOP("Messages", "a compressed SVG larger than %1 MiB unpacked"),
                  {PlainUtf8(std::to_string(MaxBytes >> 20))});
      return {};
    }
    if (Status == Z_OK && Z.avail_in == 0 && Z.avail_out != 0) break; // cut short
  }
  inflateEnd(&Z);
  if (Status != Z_STREAM_END) {
    Error = Say(QT_TRANSLATE_NOOP("Messages", "a damaged compressed SVG"));
    return {};
  }
  return Out;
}

// A picture carried in the document: PNG, JPEG or GIF (an SVG here would be drawn unchecked).
bool IsCarriedPicture(QStringView Address) {
  static const QRegularExpression Carried(
      QStringLiteral(R"(^\s*data:image/(png|jpeg|jpg|gif)\s*[;,])"),
      QRegularExpression::CaseInsensitiveOption);
  return Carried.match(Address).hasMatch();
}

bool IsInside(QStringView Address) {
  return Address.trimmed().startsWith(u'#');
}

// Text that reaches out: url(...) to anything but "#id", or @import.
bool ReachesOut(QStringView Text) {
  static const QRegularExpression Outward(QStringLiteral(R"(url\s*\(\s*['"]?\s*[^#'"\s)]|@import)"),
                                          QRegularExpression::CaseInsensitiveOption);
  return Outward.match(Text).hasMatch();
}

QString Escaped(QStringView Text) {
  QString Out;
  Out.reserve(Text.size());
  for (const QChar C : Text) {
    switch (C.unicode()) {
    case u'&':
      Out += QLatin1String("&amp;");
      break;
    case u'<':
      Out += QLatin1String("&lt;");
      break;
    case u'>':
      Out += QLatin1String("&gt;");
      break;
    case u'"':
      Out += QLatin1String("&quot;");
      break;
    default:
      Out += C;
    }
  }
  return Out;
}

} // namespace

TSafeSvg SafeSvg(const QByteArray& Bytes, qsizetype MaxBytes) {
  QByteArray Plain = Bytes;
  if (Bytes.startsWith("\x1f\x8b")) {
    TMessage Error;
    Plain = Gunzip(Bytes, MaxBytes, Error);
    if (Plain.isEmpty()) return Refused(Error);
  }
  TSafeSvg Out;
  QString Written = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  QXmlStreamReader Reader(Plain);
  int Skipping = 0; // the depth inside an element left out
  bool InStyle = false;
  bool Drawn = false; // an element was written: the document keeps its root
  while (!Reader.atEnd()) {
    const QXmlStreamReader::TokenType Token = Reader.readNext();
    switch (Token) {
    case QXmlStreamReader::DTD:
      return Refused(Say(QT_TRANSLATE_NOOP(
          "Messages", "an SVG with a document type (DTD), which may name outside files")));
    case QXmlStreamReader::EntityReference:
      return Refused(Say(QT_TRANSLATE_NOOP("Messages", "an SVG with an entity reference")));
    case QXmlStreamReader::StartElement: {
      if (Skipping) {
        ++Skipping;
        break;
      }
      const QStringView Name = Reader.name();
      const QXmlStreamAttributes Attributes = Reader.attributes();
      bool Leave = Name == u"script" || Name == u"foreignObject";
      if (Name == u"image") {
        bool Carried = false;
        for (const QXmlStreamAttribute& A : Attributes)
          if (A.name() == u"href") Carried = IsCarriedPicture(A.value());
        Leave = Leave || !Carried;
      }
      if (Leave) {
        Out.Changed = true;
        Skipping = 1;
        break;
      }
      Drawn = true;
      Written += u'<' + Reader.qualifiedName().toString();
      for (const QXmlStreamNamespaceDeclaration& D : Reader.namespaceDeclarations())
        Written += (D.prefix().isEmpty() ? QStringLiteral(" xmlns")
                                         : QStringLiteral(" xmlns:") + D.prefix().toString()) +
                   QStringLiteral("=\"") + Escaped(D.namespaceUri()) + u'"';
      for (const QXmlStreamAttribute& A : Attributes) {
        const bool Address = A.name() == u"href";
        if ((Address && !IsInside(A.value()) &&
             !(Name == u"image" && IsCarriedPicture(A.value()))) ||
            ReachesOut(A.value())) {
          Out.Changed = true;
          continue;
        }
        Written +=
            u' ' + A.qualifiedName().toString() + QStringLiteral("=\"") + Escaped(A.value()) + u'"';
      }
      Written += u'>';
      InStyle = Name == u"style";
      break;
    }
    case QXmlStreamReader::EndElement:
      if (Skipping) {
        --Skipping;
        break;
      }
      InStyle = false;
      Written += QStringLiteral("</") + Reader.qualifiedName().toString() + u'>';
      break;
    case QXmlStreamReader::Characters:
      if (Skipping) break;
      if (InStyle && ReachesOut(Reader.text())) {
        Out.Changed = true;
        break;
      }
      Written += Escaped(Reader.text());
      break;
    case QXmlStreamReader::Comment:
    case QXmlStreamReader::ProcessingInstruction:
      if (!Skipping && Token == QXmlStreamReader::ProcessingInstruction) Out.Changed = true;
      break;
    default:
      break;
    }
  }
  if (Reader.hasError())
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "a damaged SVG picture")));
  // A root that is itself left out (<image href="/etc/..."/> alone) leaves no document at all.
  if (!Drawn)
    return Refused(Say(QT_TRANSLATE_NOOP(
        "Messages", "an SVG with nothing to draw once its outside parts are left out")));
  Out.Svg = Written.toUtf8();
  return Out;
}
