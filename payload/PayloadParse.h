// Reading a code back into its page: the bytes a reader found in a symbol are turned into text,
// the text is told apart by kind, and the kind's fields are taken out of it by the same readers
// the payload files use (the network record of the .nwk reader, the .vcf reader's field table).
// Widget-free; nothing here fails: text that fits no other kind is a Text page.
#pragma once

#include "payload/Event.h"
#include "payload/Payload.h"
#include "payload/Payment.h"
#include "payload/Phone.h"
#include "payload/Place.h"

#include <string>
#include <string_view>
#include <vector>

// The ten kinds of code, in the order of the pages.
enum class TKind { Text, Url, Email, VCard, Wifi, Phone, Sms, Geo, Event, Pay };
inline constexpr int kKindCount = 10;

// ---- the bytes' encoding ----
struct TPayloadText {
  std::u16string Text;
  bool Utf8 = false;          // the bytes were valid UTF-8 holding a byte above 0x7F
  bool ByteOrderMark = false; // they began with EF BB BF, which is not part of Text
  int Eci = -1;               // the ECI designator the bytes were read by, -1 when none
};
// A leading UTF-8 byte-order mark is dropped and remembered; the rest is UTF-8 when it is valid
// UTF-8 (RFC 3629), else ISO-8859-1, one character per byte. Line breaks are left as they are.
// With an ECI designator (Eci >= 0, as the symbol declared it) the bytes are read in its
// character set (platform/Unicode.h, EciCharset) instead, mark and all; a designator this system
// cannot read, or bytes ill-formed in it, fall back to the reading above with Eci left -1.
TPayloadText DecodePayloadBytes(std::string_view Bytes, int Eci = -1);

// ---- kinds ----
// "WIFI:" (as written, capitals) is Wifi; "BEGIN:VCARD" is VCard and "mailto:" Email (both in any
// letter case); "tel:" is Phone, "SMSTO:" or "sms:" Sms, "geo:" Geo, "BEGIN:VEVENT" or
// "BEGIN:VCALENDAR" Event (all in any letter case); "BCD" and a line break is Pay; a web address
// is Url: "http://", "https://" or "www." first, then no blank, no control character and no line
// break; anything else is Text.
TKind DetectKind(std::u16string_view Text);

// ---- fields ----
struct TMailto {
  TEMailPage Page;                     // the body's line breaks made CR LF
  std::vector<std::u16string> NotKept; // header fields the page has no place for ("cc", ...)
};
// A mailto: link (RFC 6068): the address is the part before "?", then "&"-separated hname=hvalue
// pairs, names in any letter case. Address, subject and body are percent-decoded as UTF-8 (bytes
// that are not valid UTF-8 are taken as ISO-8859-1); "+" stays "+". The values of "to" join the
// address with ","; for subject and body the last one wins. A piece without "=" continues the
// value before it with "&" (a link written without escaping its "&"). Text not beginning with
// "mailto:" gives an empty page.
TMailto ParseMailto(std::u16string_view Text);

// Percent-decoding (RFC 3986): the escaped bytes with the other characters' UTF-8 must be valid
// UTF-8; if they are not, every escape is taken as one ISO-8859-1 character.
std::u16string PercentDecode(std::u16string_view Text);

// "tel:NUMBER": the number percent-decoded; parameters (";ext=12") stay with it.
TPhonePage ReadTel(std::u16string_view Text);
// "SMSTO:NUMBER:MESSAGE" (the message is everything after the second colon), or an RFC 5724
// "sms:NUMBER?body=MESSAGE". Line breaks of the message made CR LF.
TSmsPage ReadSms(std::u16string_view Text);
// "geo:LAT,LON[,ALT][;params][?q=...]": the coordinates as written; the label is the part in
// parentheses at the end of q, percent-decoded.
TGeoPage ReadGeo(std::u16string_view Text);

// The text of a code as the pages take it.
struct TParsedPayload {
  TKind Kind = TKind::Text;
  std::u16string Text; // the whole text: the Text page's memo, the URL page's field
  TEMailPage EMail;
  TVCardPage VCard; // every field the record has no line for empty
  TWifiPage Wifi;
  TPhonePage Phone;
  TSmsPage Sms;
  TGeoPage Geo;
  TEventPage Event;
  TPaymentPage Payment;
  // What the page cannot keep: the vCard properties it does not read ("NOTE", "TEL;TYPE=fax"),
  // the mailto: header fields it has no place for ("cc"), the event's properties and the
  // payment's lines the pages do not read.
  std::vector<std::u16string> NotKept;
};
// Detects the kind and fills that kind's page. A vCard is read by the .vcf reader after its
// folded lines (RFC 6350 section 3.2) are joined; a network record by the .nwk reader's record
// reader, line breaks at its end dropped.
TParsedPayload ParsePayload(const std::u16string& Text);

// "Text", "URL", "e-mail", "vCard", "Wi-Fi", "phone", "text message", "place", "event",
// "SEPA payment": the kind as a note names it.
TMessage KindCaption(TKind Kind);
