#include "batch/Fields.h"

#include "batch/Options.h"
#include "payload/Payload.h"
#include "payload/VCardFields.h"
#include "platform/Unicode.h"

#include <array>
#include <initializer_list>

namespace {

constexpr std::array<std::string_view, kKindCount> kKindNames{
    "text", "url", "email", "vcard", "wifi", "phone", "sms", "geo", "event", "pay"};

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
  F.push_back({"number", "the phone number, as dialled (+49 30 1234-567)", TKind::Phone, false,
               false, TKind::Sms});
  F.push_back({"message", "the text message", TKind::Sms, true});
  F.push_back(
      {"lat", "latitude in decimal degrees, -90 to 90 (north positive)", TKind::Geo, false});
  F.push_back(
      {"lon", "longitude in decimal degrees, -180 to 180 (east positive)", TKind::Geo, false});
  F.push_back({"label", "a name map apps show for the place", TKind::Geo, false});
  F.push_back({"summary", "the event's title", TKind::Event, false});
  F.push_back({"start", "the start in local time, 2026-12-24T18:00 (a date with --all-day)",
               TKind::Event, false});
  F.push_back({"end", "the end in local time (with --all-day the last day)", TKind::Event, false});
  F.push_back({"all-day", "an all-day event: start and end are dates, 2026-12-31", TKind::Event,
               false, true});
  F.push_back({"location", "where the event takes place", TKind::Event, false});
  F.push_back({"description", "a description of the event", TKind::Event, true});
  F.push_back({"name", "the beneficiary's name (at most 70 characters)", TKind::Pay, false});
  F.push_back({"iban", "the beneficiary's IBAN (checked)", TKind::Pay, false});
  F.push_back({"bic", "the beneficiary bank's BIC (optional)", TKind::Pay, false});
  F.push_back({"amount", "the amount in euro, 0.01 to 999999999.99", TKind::Pay, false});
  F.push_back({"reference",
               "a creditor reference RF... (ISO 11649, checked), not with --remittance", TKind::Pay,
               false});
  F.push_back({"remittance", "remittance text (at most 140 characters), not with --reference",
               TKind::Pay, false});
  F.push_back({"purpose", "a purpose code of 4 letters (CHAR, GDDS ...)", TKind::Pay, false});
  F.push_back({"info", "a note for the payer (at most 70 characters)", TKind::Pay, false});
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

std::vector<const TFieldInfo*> FieldsOfKind(TKind Kind) {
  std::vector<const TFieldInfo*> Fields;
  for (const TFieldInfo& F : AllFields())
    if (F.Of(Kind)) Fields.push_back(&F);
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
    if (!Field->Of(Kind)) {
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
  // A switch's cell: true/yes/1 or false/no/0, empty for false; nothing for anything else.
  const auto Switch = [&Values](std::string_view Name) -> std::optional<bool> {
    const auto It = Values.find(Name);
    if (It == Values.end() || It->second.empty()) return false;
    return ParseSwitch(It->second);
  };
  // The record of a kind that refuses bad input, or its reason.
  const auto Take = [&Result](const TRecord& Record) {
    if (Record.Made)
      Result.Payload = Record.Payload;
    else
      Result.Error = Record.Refusal.Utf8();
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
    const std::optional<bool> Hidden = Switch("hidden");
    if (!Hidden) {
      Result.Error = "hidden must be true or false (yes or no, 1 or 0)";
      return Result;
    }
    Page.Hidden = *Hidden;
    Result.Payload = WifiPayload(Page);
    Result.Warning = WifiKeyNote(Page).Utf8();
    if (!Result.Warning.empty()) // "Phones refuse ..." as the window says it, in a message's case
      Result.Warning[0] =
          static_cast<char>(std::tolower(static_cast<unsigned char>(Result.Warning[0])));
    break;
  }
  case TKind::Phone:
    if (!Filled(Values, "number")) return Missing("number");
    return Take(PhoneRecord(TPhonePage{Text["number"]}));
  case TKind::Sms:
    if (!Filled(Values, "number")) return Missing("number");
    return Take(SmsRecord(TSmsPage{Text["number"], Text["message"]}));
  case TKind::Geo:
    if (!Filled(Values, "lat")) return Missing("lat");
    if (!Filled(Values, "lon")) return Missing("lon");
    return Take(GeoRecord(TGeoPage{Text["lat"], Text["lon"], Text["label"]}));
  case TKind::Event: {
    if (!Filled(Values, "summary")) return Missing("summary");
    if (!Filled(Values, "start")) return Missing("start");
    const std::optional<bool> AllDay = Switch("all-day");
    if (!AllDay) {
      Result.Error = "all-day must be true or false (yes or no, 1 or 0)";
      return Result;
    }
    return Take(EventRecord(TEventPage{Text["summary"], Text["start"], Text["end"], *AllDay,
                                       Text["location"], Text["description"]}));
  }
  case TKind::Pay:
    if (!Filled(Values, "name")) return Missing("name");
    if (!Filled(Values, "iban")) return Missing("iban");
    Result.LowestLevel = kPaymentLowestLevel;
    return Take(PaymentRecord(TPaymentPage{Text["name"], Text["iban"], Text["bic"], Text["amount"],
                                           Text["reference"], Text["remittance"], Text["purpose"],
                                           Text["info"]}));
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
  case TKind::Phone:
    Values["number"] = Utf16ToUtf8(Parsed.Phone.Number);
    break;
  case TKind::Sms:
    Values["number"] = Utf16ToUtf8(Parsed.Sms.Number);
    Values["message"] = Utf16ToUtf8(Parsed.Sms.Message);
    break;
  case TKind::Geo:
    Values["lat"] = Utf16ToUtf8(Parsed.Geo.Latitude);
    Values["lon"] = Utf16ToUtf8(Parsed.Geo.Longitude);
    Values["label"] = Utf16ToUtf8(Parsed.Geo.Label);
    break;
  case TKind::Event: {
    const TEventPage& E = Parsed.Event;
    Values["summary"] = Utf16ToUtf8(E.Summary);
    Values["start"] = Utf16ToUtf8(E.Start);
    Values["end"] = Utf16ToUtf8(E.End);
    Values["all-day"] = E.AllDay ? "true" : "false";
    Values["location"] = Utf16ToUtf8(E.Location);
    Values["description"] = Utf16ToUtf8(E.Description);
    break;
  }
  case TKind::Pay: {
    const TPaymentPage& P = Parsed.Payment;
    for (const auto& [Name, Value] :
         {std::pair{"name", &P.Name}, std::pair{"iban", &P.IBAN}, std::pair{"bic", &P.BIC},
          std::pair{"amount", &P.Amount}, std::pair{"reference", &P.Reference},
          std::pair{"remittance", &P.Remittance}, std::pair{"purpose", &P.Purpose},
          std::pair{"info", &P.Info}})
      Values[Name] = Utf16ToUtf8(*Value);
    break;
  }
  }
  return Values;
}
