// SVG from outside made safe: any bytes are either refused with a reason or rewritten into a
// document that holds no document type and no address reaching outside, and that comes through
// a second rewriting unchanged.
#include "FuzzInput.h"
#include "render/SafeSvg.h"

#include <QXmlStreamReader>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  const TSafeSvg Safe = SafeSvg(Bytes, 1 << 20);
  FUZZ_CHECK(Safe.Error.Empty() != Safe.Svg.isEmpty());
  if (Safe.Svg.isEmpty()) return 0;
  QXmlStreamReader Reader(Safe.Svg);
  while (!Reader.atEnd()) {
    const QXmlStreamReader::TokenType Token = Reader.readNext();
    FUZZ_CHECK(Token != QXmlStreamReader::DTD && Token != QXmlStreamReader::EntityReference &&
               Token != QXmlStreamReader::ProcessingInstruction);
    if (Token != QXmlStreamReader::StartElement) continue;
    FUZZ_CHECK(Reader.name() != u"script" && Reader.name() != u"foreignObject");
    for (const QXmlStreamAttribute& A : Reader.attributes())
      if (A.name() == u"href")
        FUZZ_CHECK(A.value().trimmed().startsWith(u'#') ||
                   (Reader.name() == u"image" && A.value().trimmed().startsWith(u"data:image/")));
  }
  FUZZ_CHECK(!Reader.hasError());
  const TSafeSvg Again = SafeSvg(Safe.Svg, 1 << 20);
  FUZZ_CHECK(Again.Error.Empty() && !Again.Changed && Again.Svg == Safe.Svg);
  return 0;
}
