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

// Percent-decodes Text: the escaped bytes and the UTF-8 of the other characters together must be
// valid UTF-8; if they are not, every escape is taken as one ISO-8859-1 character.
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

TPayloadText DecodePayloadBytes(std::string_view Bytes) {
  TPayloadText Result;
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
  }
  return Result;
}

std::u16string KindCaption(TKind Kind) {
  switch (Kind) {
  case TKind::Text:
    return u"Text";
  case TKind::Url:
    return u"URL";
  case TKind::Email:
    return u"e-mail";
  case TKind::VCard:
    return u"vCard";
  case TKind::Wifi:
    return u"Wi-Fi";
  }
  return u"Text";
}
