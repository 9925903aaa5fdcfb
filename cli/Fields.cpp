#include "cli/Fields.h"

#include "payload/Payload.h"
#include "payload/VCardFields.h"
#include "platform/Unicode.h"

#include <array>
#include <initializer_list>

namespace {

constexpr std::array<std::string_view, 5> kKindNames{"text", "url", "email", "vcard", "wifi"};

std::u16string CrLf(const std::u16string& Text) {
  std::u16string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char16_t C = Text[I];
    if (C == u'\r') {
      Out += u"\r\n";
      if (I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
    } else if (C == u'\n') {
      Out += u"\r\n";
    } else {
      Out += C;
    }
  }
  return Out;
}

std::vector<TFieldInfo> BuildFields() {
  std::vector<TFieldInfo> F = {
      {"text", "the text (Text page)", TKind::Text, true},
      {"url", "the web address (URL page)", TKind::Url, false},
      {"to", "eMail Address", TKind::Email, false},
      {"subject", "Subject", TKind::Email, false},
      {"body", "Message", TKind::Email, true},
  };
  for (const TVCardField& Field : kVCardFields)
    F.push_back({Field.Option, Field.Caption, TKind::VCard, false});
  F.push_back({"ssid", "Network Name (SSID)", TKind::Wifi, false});
  F.push_back({"key", "Network Key", TKind::Wifi, false});
  F.push_back({"type",
               "Network Encryption Type: WPA (WPA/WPA2, the default), SAE (WPA3 only), WEP or "
               "nopass (an open network, without --key)",
               TKind::Wifi, false});
  F.push_back(
      {"hidden", "a hidden network (it does not announce its name)", TKind::Wifi, false, true});
  return F;
}

bool Filled(const TFieldValues& Values, std::string_view Name) {
  const auto It = Values.find(Name);
  return It != Values.end() && !It->second.empty();
}

} // namespace

std::string_view KindName(TKind Kind) {
  return kKindNames[static_cast<std::size_t>(Kind)];
}

std::optional<TKind> KindFromName(std::string_view Name) {
  for (std::size_t I = 0; I < kKindNames.size(); ++I)
    if (EqualIgnoringAsciiCase(kKindNames[I], Name)) return static_cast<TKind>(I);
  return std::nullopt;
}

const std::vector<TFieldInfo>& AllFields() {
  static const std::vector<TFieldInfo> Fields = BuildFields();
  return Fields;
}

const TFieldInfo* FindField(std::string_view Name) {
  for (const TFieldInfo& F : AllFields())
    if (F.Name == Name) return &F;
  return nullptr;
}

TPayloadResult MakePayload(TKind Kind, const TFieldValues& Values) {
  TPayloadResult Result;
  std::map<std::string_view, std::u16string> Text; // this kind's fields, UTF-16
  for (const auto& [Name, Value] : Values) {
    const TFieldInfo* Field = FindField(Name);
    if (!Field) {
      Result.Error = "unknown field " + Name;
      return Result;
    }
    if (Field->Kind != Kind) {
      if (Value.empty()) continue; // a column of another kind, left empty in this row
      Result.Error =
          std::string(Name) + " is not a field of " + std::string(KindName(Kind)) + " codes";
      return Result;
    }
    if (!IsValidUtf8(Value)) {
      Result.Error = "invalid UTF-8 in " + Name;
      return Result;
    }
    const std::u16string Value16 = Utf8ToUtf16(Value);
    Text[Field->Name] = Field->MultiLine ? CrLf(Value16) : Value16;
  }
  auto Missing = [&](std::string_view What) {
    Result.Error = "missing field " + std::string(What);
    return Result;
  };

  switch (Kind) {
  case TKind::Text:
    if (!Filled(Values, "text")) return Missing("text");
    Result.Payload = TextPayload(Text["text"]);
    break;
  case TKind::Url:
    if (!Filled(Values, "url")) return Missing("url");
    Result.Payload = URLPayload(TURLPage{Text["url"]});
    break;
  case TKind::Email:
    if (!Filled(Values, "to")) return Missing("to");
    Result.Payload = EMailPayload(TEMailPage{Text["to"], Text["subject"], Text["body"]});
    break;
  case TKind::VCard: {
    if (!Filled(Values, "contact-name") && !Filled(Values, "first-name") &&
        !Filled(Values, "last-name"))
      return Missing("contact-name, first-name or last-name");
    TVCardPage Page;
    for (const TVCardField& F : kVCardFields)
      Page.*(F.Member) = Text[F.Option];
    // The page's contact name follows the three name fields as they are typed.
    if (!Filled(Values, "contact-name"))
      Page.ContactName = ContactNameFor(Page.FirstName, Page.MiddleName, Page.LastName);
    Result.Payload = VCardPayload(Page);
    break;
  }
  case TKind::Wifi: {
    if (!Filled(Values, "ssid")) return Missing("ssid");
    TWifiPage Page;
    Page.SSID = Text["ssid"];
    Page.NetworkKey = Text["key"];
    const std::u16string& Type = Text["type"];
    if (Type.empty()) {
      Page.WPA = kWifiWPA;
    } else {
      Page.WPA = -1;
      for (const int Index : {kWifiWPA, kWifiSAE, kWifiWEP, kWifiOpen})
        if (EqualIgnoringAsciiCase(Type, WifiType(Index))) Page.WPA = Index;
      if (Page.WPA < 0) {
        Result.Error = "type must be WPA, SAE, WEP or nopass";
        return Result;
      }
    }
    if (Page.WPA == kWifiOpen && !Page.NetworkKey.empty()) {
      Result.Error = "an open network (type nopass) takes no key";
      return Result;
    }
    const std::u16string& Hidden = Text["hidden"];
    const auto IsAny = [&Hidden](std::initializer_list<const char16_t*> Words) {
      for (const char16_t* Word : Words)
        if (EqualIgnoringAsciiCase(Hidden, Word)) return true;
      return false;
    };
    if (IsAny({u"true", u"yes", u"1"})) {
      Page.Hidden = true;
    } else if (!Hidden.empty() && !IsAny({u"false", u"no", u"0"})) {
      Result.Error = "hidden must be true or false (yes or no, 1 or 0)";
      return Result;
    }
    Result.Payload = WifiPayload(Page);
    Result.Warning = Utf16ToUtf8(WifiKeyNote(Page));
    if (!Result.Warning.empty()) // "Phones refuse ..." as the window says it, in a message's case
      Result.Warning[0] =
          static_cast<char>(std::tolower(static_cast<unsigned char>(Result.Warning[0])));
    break;
  }
  }
  return Result;
}

TFieldValues FieldsOf(const TParsedPayload& Parsed) {
  TFieldValues Values;
  switch (Parsed.Kind) {
  case TKind::Text:
    Values["text"] = Utf16ToUtf8(Parsed.Text);
    break;
  case TKind::Url:
    Values["url"] = Utf16ToUtf8(Parsed.Text);
    break;
  case TKind::Email:
    Values["to"] = Utf16ToUtf8(Parsed.EMail.EditAddress);
    Values["subject"] = Utf16ToUtf8(Parsed.EMail.EditSubject);
    Values["body"] = Utf16ToUtf8(Parsed.EMail.MemoMessage);
    break;
  case TKind::VCard:
    for (const TVCardField& F : kVCardFields)
      Values[std::string(F.Option)] = Utf16ToUtf8(Parsed.VCard.*(F.Member));
    break;
  case TKind::Wifi:
    Values["ssid"] = Utf16ToUtf8(Parsed.Wifi.SSID);
    Values["key"] = Utf16ToUtf8(Parsed.Wifi.NetworkKey);
    Values["type"] = Utf16ToUtf8(WifiType(Parsed.Wifi.WPA));
    Values["hidden"] = Parsed.Wifi.Hidden ? "true" : "false";
    break;
  }
  return Values;
}
