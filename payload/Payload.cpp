#include "payload/Payload.h"

#include "platform/TextFile.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::u16string_view kCRLF = u"\r\n";

void AppendPercent(std::u16string& Out, unsigned char Byte) {
  Out += u'%';
  Out += static_cast<char16_t>(UpperHexDigit(Byte >> 4));
  Out += static_cast<char16_t>(UpperHexDigit(Byte));
}

bool IsUnreserved(char16_t C) {
  return (C >= u'A' && C <= u'Z') || (C >= u'a' && C <= u'z') || (C >= u'0' && C <= u'9') ||
         C == u'-' || C == u'.' || C == u'_' || C == u'~';
}

// The address keeps its characters except those that would end or break the link.
std::u16string EncodeAddress(const std::u16string& Address) {
  std::u16string Out;
  for (const char16_t C : Address) {
    if (C == u'?' || C == u'&' || C == u'#' || C == u'%' || C == u' ') {
      AppendPercent(Out, static_cast<unsigned char>(C));
    } else {
      Out += C;
    }
  }
  return Out;
}

std::u16string EscapeWifi(const std::u16string& Text) {
  std::u16string Out;
  for (const char16_t C : Text) {
    if (C == u';' || C == u':' || C == u',' || C == u'"' || C == u'\\') Out += u'\\';
    Out += C;
  }
  return Out;
}

std::u16string WithoutPoints(const std::u16string& Text) {
  std::u16string Out;
  for (const char16_t C : Text)
    if (C != u'.') Out += C;
  return Out;
}

} // namespace

std::u16string EscapeTextValue(const std::u16string& Text) {
  std::u16string Out;
  for (const char16_t C : ReplaceLineBreaks(Text, u"\n")) {
    if (C == u'\n') {
      Out += u"\\n";
      continue;
    }
    if (C == u'\\' || C == u',' || C == u';') Out += u'\\';
    Out += C;
  }
  return Out;
}

// Also RFC 6068's hfvalue of a mailto: link.
std::u16string PercentEncode(const std::u16string& Text) {
  std::u16string Out;
  for (const char Byte : Utf16ToUtf8(Text)) {
    const auto C = static_cast<unsigned char>(Byte);
    if (C < 0x80 && IsUnreserved(static_cast<char16_t>(C))) {
      Out += static_cast<char16_t>(C);
    } else {
      AppendPercent(Out, C);
    }
  }
  return Out;
}

TRecord Refused(TMessage Why) {
  TRecord Record;
  Record.Refusal = std::move(Why);
  return Record;
}

TRecord MadeRecord(std::u16string Payload) {
  TRecord Record;
  Record.Payload = std::move(Payload);
  Record.Made = true;
  return Record;
}

TMessage HintFirstLine() {
  return Say(QT_TRANSLATE_NOOP("Messages", "Please type your text here."));
}

TMessage HintText() {
  // The frame of the lines is no text of its own: it is not marked for translation.
  return Say("%1\r\n\r\n%2\r\n%3\r\n%4\r\n",
             {HintFirstLine(),
              Say(QT_TRANSLATE_NOOP("Messages", "- Then click button [Generate QR-Code]")),
              Say(QT_TRANSLATE_NOOP("Messages",
                                    "- Try the code with your smartphone directly on the screen")),
              Say(QT_TRANSLATE_NOOP("Messages", "- Finally click on  [Copy to Clipboard] and paste "
                                                "the QR-Code (bitmap) where ever you like"))});
}

std::u16string TextPayload(const std::u16string& MemoText) {
  return MemoText;
}

std::u16string URLPayload(const TURLPage& Page) {
  return Page.EditURL;
}

std::u16string EMailPayload(const TEMailPage& Page) {
  return u"mailto:" + EncodeAddress(Page.EditAddress) + u"?subject=" +
         PercentEncode(Page.EditSubject) + u"&body=" + PercentEncode(Page.MemoMessage);
}

std::u16string VCardPayload(const TVCardPage& Page) {
  return ComposeVCard(Page);
}

std::u16string WifiType(int WPA) {
  switch (WPA) {
  case kWifiWPA:
    return u"WPA";
  case kWifiSAE:
    return u"SAE";
  case kWifiOpen:
    return u"nopass";
  default:
    return u"WEP";
  }
}

std::u16string NetworkRecord(const TWifiPage& Page) {
  std::u16string Record = u"WIFI:T:" + WifiType(Page.WPA) + u";S:" + EscapeWifi(Page.SSID) + u";";
  if (Page.WPA != kWifiOpen) Record += u"P:" + EscapeWifi(Page.NetworkKey) + u";";
  if (Page.Hidden) Record += u"H:true;";
  return Record + u";";
}

TMessage WifiKeyNote(const TWifiPage& Page) {
  const std::u16string& Key = Page.NetworkKey;
  const std::size_t Length = Utf16ToUtf8(Key).size();
  const bool Hex =
      std::all_of(Key.begin(), Key.end(), [](char16_t C) { return HexDigitValue(C) >= 0; });
  switch (Page.WPA) {
  case kWifiOpen:
    return {};
  case kWifiWPA:
  case kWifiSAE: {
    const TMessage Kind = Plain(Page.WPA == kWifiWPA ? u"WPA" : u"WPA3");
    if (Length < 8)
      return Say(QT_TRANSLATE_NOOP("Messages", "Phones refuse %1 keys shorter than 8 characters"),
                 {Kind});
    if (Length > 63 && !(Length == 64 && Hex))
      return Say(QT_TRANSLATE_NOOP("Messages", "Phones refuse %1 keys longer than 63 characters "
                                               "(64 hexadecimal digits excepted)"),
                 {Kind});
    return {};
  }
  default:
    if (Length == 5 || Length == 13 || (Hex && (Length == 10 || Length == 26))) return {};
    return Say(QT_TRANSLATE_NOOP("Messages", "Phones refuse WEP keys other than 5 or 13 "
                                             "characters or 10 or 26 hexadecimal digits"));
  }
}

std::u16string WifiPayload(const TWifiPage& Page) {
  return NetworkRecord(Page) + std::u16string(kCRLF);
}

std::u16string ComposeVCard(const TVCardPage& P) {
  std::u16string Out;
  const auto Line = [&Out](const std::u16string& Text) {
    Out += Text;
    Out += kCRLF;
  };
  const auto Optional = [&Line](const char16_t* Prefix, const std::u16string& Value) {
    if (!Value.empty()) Line(Prefix + EscapeTextValue(Value));
  };
  const auto Address = [&Line](const char16_t* Prefix, const std::u16string& Street,
                               const std::u16string& City, const std::u16string& ZIP) {
    if (!Street.empty() || !City.empty() || !ZIP.empty())
      Line(Prefix + EscapeTextValue(Street) + u";" + EscapeTextValue(City) + u";;" +
           EscapeTextValue(ZIP) + u";");
  };

  Line(u"BEGIN:VCARD");
  Line(u"VERSION:4.0");
  Line(u"FN:" + EscapeTextValue(P.ContactName));
  // RFC 6350 section 6.2.2: family, given, additional names, prefixes, suffixes.
  Line(u"N:" + EscapeTextValue(P.LastName) + u";" + EscapeTextValue(P.FirstName) + u";" +
       EscapeTextValue(P.MiddleName) + u";;");
  Optional(u"TEL;TYPE=home:", P.PhonePrivate);
  Optional(u"TEL;TYPE=cell,home:", P.PhoneCellPrivate);
  Optional(u"EMAIL;TYPE=home:", P.EmailPrivate);
  Optional(u"URL;TYPE=home:", P.WebsitePrivate);
  Address(u"ADR;TYPE=home:;;", P.StreetHome, P.CityHome, P.ZIPCodeHome);
  if (!P.Birthday.empty()) Line(u"BDAY:" + EscapeTextValue(WithoutPoints(P.Birthday)));
  if (!P.Company.empty() || !P.Department.empty())
    Line(u"ORG:" + EscapeTextValue(P.Company) + u";" + EscapeTextValue(P.Department));
  Optional(u"TITLE:", P.JobTitle);
  Optional(u"TEL;TYPE=work:", P.PhoneWork);
  Optional(u"TEL;TYPE=cell,work:", P.CellPhoneWork);
  Optional(u"EMAIL;TYPE=work:", P.EmailWork);
  Optional(u"URL;TYPE=work:", P.WebsiteWork);
  Address(u"ADR;TYPE=work:;;", P.Streetwork, P.CityWork, P.ZIPCodeWork);
  Line(u"END:VCARD");
  return Out;
}

std::u16string ContactNameFor(const std::u16string& FirstName, const std::u16string& MiddleName,
                              const std::u16string& LastName) {
  if (!MiddleName.empty()) return FirstName + u" " + MiddleName + u" " + LastName;
  return FirstName + u" " + LastName;
}
