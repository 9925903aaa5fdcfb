#include "batch/KindEncoding.h"

#include "render/Code.h"

TQRCodeEncoding KindEncoding(TKind Kind, TQRCodeEncoding Chosen, const std::u16string& Payload) {
  switch (Kind) {
  case TKind::Text:
    return Chosen;
  case TKind::Pay:
    return qrUTF8NoBOM;
  default:
    return RecordEncoding(Chosen, Payload,
                          Kind == TKind::VCard || Kind == TKind::Sms || Kind == TKind::Event);
  }
}
