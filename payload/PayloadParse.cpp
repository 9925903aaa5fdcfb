#include "payload/PayloadParse.h"

#include "payload/PayloadFiles.h"
#include "platform/TextFile.h"
#include "platform/Unicode.h"

namespace {

constexpr std::u16string_view kMailto = u"mailto:";

bool IsBlankOrControl(char16_t C) {
  return C <= u' ' || C == 0x7F || (C >= 0x80 && C <= 0x9F) || C == 0xA0 || C == 0x2028 ||
         C == 0x2029;
}

} // namespace

std::u16string PercentDecode(std::u16string_view Text) {
  std::string Utf8;
  std::u16string Latin1;
  std::size_t Plain = 0; // start of the run of characters not yet copied
  auto Flush = [&](std::size_t End) {
    const std::u16string_view Run = Text.substr(Plain, End - Plain);
    Utf8 += Utf16ToUtf8(Run);
    Latin1 += Run;
  };
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] != u'%' || I + 2 >= Text.size() || HexDigitValue(Text[I + 1]) < 0 ||
        HexDigitValue(Text[I + 2]) < 0)
      continue;
    Flush(I);
    const int Byte = HexDigitValue(Text[I + 1]) * 16 + HexDigitValue(Text[I + 2]);
    Utf8 += static_cast<char>(Byte);
    Latin1 += static_cast<char16_t>(Byte);
    I += 2;
    Plain = I + 1;
  }
  Flush(Text.size());
  return IsValidUtf8(Utf8) ? Utf8ToUtf16(Utf8) : Latin1;
}

namespace {

// RFC 6350 section 3.2: a line break followed by one blank or tab continues the line before it.
std::u16string Unfold(const std::u16string& Text) {
  std::u16string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size();) {
    const std::size_t Break = LineBreakLength(Text, I);
    if (Break > 0 && I + Break < Text.size() &&
        (Text[I + Break] == u' ' || Text[I + Break] == u'\t')) {
      I += Break + 1;
      continue;
    }
    Out += Text[I++];
  }
  return Out;
}

} // namespace

TPayloadText DecodePayloadBytes(std::string_view Bytes, int Eci) {
  TPayloadText Result;
  if (Eci >= 0 && Eci != 26) {
    if (std::optional<std::u16string> Text = DecodeEciBytes(Bytes, Eci)) {
      Result.Text = std::move(*Text);
      Result.Eci = Eci;
      return Result;
    }
  }
  if (Eci == 26 && IsValidUtf8(Bytes)) Result.Eci = Eci; // UTF-8 as below, the mark included
  if (Bytes.starts_with("\xEF\xBB\xBF")) {
    Result.ByteOrderMark = true;
    Bytes.remove_prefix(3);
  }
  if (IsValidUtf8(Bytes)) {
    Result.Text = Utf8ToUtf16(Bytes);
    for (const char B : Bytes)
      Result.Utf8 = Result.Utf8 || static_cast<unsigned char>(B) >= 0x80;
    return Result;
  }
  Result.Text.reserve(Bytes.size());
  for (const char B : Bytes)
    Result.Text += static_cast<char16_t>(static_cast<unsigned char>(B));
  return Result;
}

TKind DetectKind(std::u16string_view Text) {
  if (Text.starts_with(u"WIFI:")) return TKind::Wifi;
  if (StartsWithIgnoringAsciiCase(Text, u"BEGIN:VCARD")) return TKind::VCard;
  if (StartsWithIgnoringAsciiCase(Text, kMailto)) return TKind::Email;
  if (StartsWithIgnoringAsciiCase(Text, u"tel:")) return TKind::Phone;
  if (StartsWithIgnoringAsciiCase(Text, u"SMSTO:") || StartsWithIgnoringAsciiCase(Text, u"sms:"))
    return TKind::Sms;
  if (StartsWithIgnoringAsciiCase(Text, u"geo:")) return TKind::Geo;
  if (StartsWithIgnoringAsciiCase(Text, u"BEGIN:VEVENT") ||
      StartsWithIgnoringAsciiCase(Text, u"BEGIN:VCALENDAR"))
    return TKind::Event;
  if (Text.starts_with(u"BCD\n") || Text.starts_with(u"BCD\r\n")) return TKind::Pay;
  for (const std::u16string_view Start : {u"http://", u"https://", u"www."}) {
    if (!StartsWithIgnoringAsciiCase(Text, Start) || Text.size() == Start.size()) continue;
    bool Plain = true;
    for (const char16_t C : Text)
      Plain = Plain && !IsBlankOrControl(C);
    if (Plain) return TKind::Url;
  }
  return TKind::Text;
}

TMailto ParseMailto(std::u16string_view Text) {
  TMailto Result;
  if (!StartsWithIgnoringAsciiCase(Text, kMailto)) return Result;
  Text.remove_prefix(kMailto.size());
  const std::size_t Question = Text.find(u'?');
  std::u16string Address = PercentDecode(Text.substr(0, Question));
  if (Question == std::u16string_view::npos) {
    Result.Page.EditAddress = std::move(Address);
    return Result;
  }
  // The query: the raw pieces, a piece without "=" joined to the one before it.
  std::vector<std::u16string> Pieces;
  const std::u16string_view Query = Text.substr(Question + 1);
  for (std::size_t Start = 0;;) {
    const std::size_t Amp = Query.find(u'&', Start);
    const std::u16string_view Piece = Query.substr(Start, Amp - Start);
    if (Piece.find(u'=') == std::u16string_view::npos && !Pieces.empty())
      (Pieces.back() += u'&') += Piece;
    else
      Pieces.emplace_back(Piece);
    if (Amp == std::u16string_view::npos) break;
    Start = Amp + 1;
  }
  for (const std::u16string& Piece : Pieces) {
    const std::size_t Equals = Piece.find(u'=');
    const std::u16string Name = PercentDecode(std::u16string_view(Piece).substr(0, Equals));
    const std::u16string Value = Equals == std::u16string::npos
                                     ? std::u16string()
                                     : PercentDecode(std::u16string_view(Piece).substr(Equals + 1));
    if (EqualIgnoringAsciiCase(Name, u"subject")) {
      Result.Page.EditSubject = Value;
    } else if (EqualIgnoringAsciiCase(Name, u"body")) {
      Result.Page.MemoMessage = ReplaceLineBreaks(Value, u"\r\n");
    } else if (EqualIgnoringAsciiCase(Name, u"to")) {
      if (!Value.empty()) Address += (Address.empty() ? u"" : u",") + Value;
    } else if (!Name.empty()) {
      bool Listed = false;
      for (const std::u16string& Kept : Result.NotKept)
        Listed = Listed || EqualIgnoringAsciiCase(Kept, Name);
      if (!Listed) Result.NotKept.push_back(Name);
    }
  }
  Result.Page.EditAddress = std::move(Address);
  return Result;
}

TPhonePage ReadTel(std::u16string_view Text) {
  if (StartsWithIgnoringAsciiCase(Text, u"tel:")) Text.remove_prefix(4);
  return TPhonePage{PercentDecode(Text)};
}

TSmsPage ReadSms(std::u16string_view Text) {
  TSmsPage Page;
  if (StartsWithIgnoringAsciiCase(Text, u"SMSTO:")) {
    Text.remove_prefix(6);
    const std::size_t Colon = Text.find(u':');
    Page.Number = Text.substr(0, Colon);
    if (Colon != std::u16string_view::npos)
      Page.Message = ReplaceLineBreaks(Text.substr(Colon + 1), u"\r\n");
    return Page;
  }
  if (StartsWithIgnoringAsciiCase(Text, u"sms:")) Text.remove_prefix(4);
  const std::size_t Question = Text.find(u'?');
  Page.Number = PercentDecode(Text.substr(0, Question));
  if (Question == std::u16string_view::npos) return Page;
  std::u16string_view Query = Text.substr(Question + 1);
  while (!Query.empty()) {
    const std::size_t Amp = Query.find(u'&');
    const std::u16string_view Piece = Query.substr(0, Amp);
    if (StartsWithIgnoringAsciiCase(Piece, u"body="))
      Page.Message = ReplaceLineBreaks(PercentDecode(Piece.substr(5)), u"\r\n");
    if (Amp == std::u16string_view::npos) break;
    Query.remove_prefix(Amp + 1);
  }
  return Page;
}

TGeoPage ReadGeo(std::u16string_view Text) {
  TGeoPage Page;
  if (StartsWithIgnoringAsciiCase(Text, u"geo:")) Text.remove_prefix(4);
  const std::size_t Question = Text.find(u'?');
  const std::u16string_view Query =
      Question == std::u16string_view::npos ? std::u16string_view() : Text.substr(Question + 1);
  std::u16string_view Point = Text.substr(0, std::min(Question, Text.find(u';')));
  const std::size_t Comma = Point.find(u',');
  Page.Latitude = Point.substr(0, Comma);
  if (Comma != std::u16string_view::npos) {
    Point.remove_prefix(Comma + 1);
    Page.Longitude = Point.substr(0, Point.find(u','));
  }
  for (std::size_t Start = 0; Start < Query.size();) {
    const std::size_t Amp = std::min(Query.find(u'&', Start), Query.size());
    const std::u16string_view Piece = Query.substr(Start, Amp - Start);
    if (StartsWithIgnoringAsciiCase(Piece, u"q=")) {
      const std::u16string Q = PercentDecode(Piece.substr(2));
      const std::size_t Open = Q.find(u'(');
      if (Open != std::u16string::npos && !Q.empty() && Q.back() == u')')
        Page.Label = Q.substr(Open + 1, Q.size() - Open - 2);
    }
    Start = Amp + 1;
  }
  return Page;
}

TParsedPayload ParsePayload(const std::u16string& Text) {
  TParsedPayload Result;
  Result.Kind = DetectKind(Text);
  Result.Text = Text;
  switch (Result.Kind) {
  case TKind::Text:
  case TKind::Url:
    break;
  case TKind::Email: {
    TMailto Mailto = ParseMailto(Text);
    Result.EMail = std::move(Mailto.Page);
    Result.NotKept = std::move(Mailto.NotKept);
    break;
  }
  case TKind::VCard: {
    const std::u16string Unfolded = Unfold(Text);
    Result.VCard = ReadVCardFields(Unfolded, TVCardPage{});
    Result.NotKept = VCardPropertiesNotRead(Unfolded);
    break;
  }
  case TKind::Wifi: {
    std::size_t End = Text.size();
    while (End > 0 && (Text[End - 1] == u'\r' || Text[End - 1] == u'\n'))
      --End;
    Result.Wifi = ReadNetworkRecord(Text.substr(0, End), /*Outside=*/true);
    break;
  }
  case TKind::Phone:
    Result.Phone = ReadTel(Text);
    break;
  case TKind::Sms:
    Result.Sms = ReadSms(Text);
    break;
  case TKind::Geo:
    Result.Geo = ReadGeo(Text);
    break;
  case TKind::Event:
    if (std::optional<TEventRead> Read = ReadEvent(Text)) {
      Result.Event = std::move(Read->Page);
      Result.NotKept = std::move(Read->NotKept);
    } else {
      Result.Kind = TKind::Text; // "BEGIN:VCALENDAR" without an event
    }
    break;
  case TKind::Pay:
    if (std::optional<TPaymentRead> Read = ReadPayment(Text)) {
      Result.Payment = std::move(Read->Page);
      Result.NotKept = std::move(Read->NotKept);
    } else {
      Result.Kind = TKind::Text; // "BCD" but not a credit transfer
    }
    break;
  }
  return Result;
}

TMessage KindCaption(TKind Kind) {
  switch (Kind) {
  case TKind::Text:
    return Say(QT_TRANSLATE_NOOP("Messages", "Text"));
  case TKind::Url:
    return Say(QT_TRANSLATE_NOOP("Messages", "URL"));
  case TKind::Email:
    return Say(QT_TRANSLATE_NOOP("Messages", "e-mail"));
  case TKind::VCard:
    return Say(QT_TRANSLATE_NOOP("Messages", "vCard"));
  case TKind::Wifi:
    return Say(QT_TRANSLATE_NOOP("Messages", "Wi-Fi"));
  case TKind::Phone:
    return Say(QT_TRANSLATE_NOOP("Messages", "phone"));
  case TKind::Sms:
    return Say(QT_TRANSLATE_NOOP("Messages", "text message"));
  case TKind::Geo:
    return Say(QT_TRANSLATE_NOOP("Messages", "place"));
  case TKind::Event:
    return Say(QT_TRANSLATE_NOOP("Messages", "event"));
  case TKind::Pay:
    return Say(QT_TRANSLATE_NOOP("Messages", "SEPA payment"));
  }
  return Say(QT_TRANSLATE_NOOP("Messages", "Text"));
}
