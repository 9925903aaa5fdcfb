// The ten kinds of code and their fields, shared by the single-code commands (one option per
// field, --first-name ...) and the batch (one column per field, first-name ...). The payload is
// made by the same payload/ functions the window's pages use, so equal fields give equal bytes.
#pragma once

#include "payload/PayloadParse.h" // TKind

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// "text", "url", "email", "vcard", "wifi", "phone", "sms", "geo", "event", "pay".
std::string_view KindName(TKind Kind);
// The kind of one of those names, in any letter case ("URL", "WiFi").
std::optional<TKind> KindFromName(std::string_view Name);

struct TFieldInfo {
  std::string_view Name; // option name without "--", and column name
  std::string_view Help;
  TKind Kind;
  bool MultiLine;    // a memo of the window: line breaks become CR LF
  bool Flag = false; // a switch (--hidden) on the command line; true/false, yes/no, 1/0 in a batch
  std::optional<TKind> Also = std::nullopt; // a second kind with the same field (number)
  bool Of(TKind K) const { return Kind == K || Also == K; }
};
// The fields of Kind, in the order of its page.
std::vector<const TFieldInfo*> FieldsOfKind(TKind Kind);

// Every field of every kind, in the order of the pages.
const std::vector<TFieldInfo>& AllFields();
const TFieldInfo* FindField(std::string_view Name);

// Field values by name, UTF-8, as given on the command line or in a CSV row.
using TFieldValues = std::map<std::string, std::string, std::less<>>;

struct TPayloadResult {
  std::u16string Payload;
  std::string Error;   // empty on success
  std::string Warning; // a Wi-Fi key phones refuse; the code is made all the same
  int LowestLevel = 0; // the lowest error-correction level the kind allows (M for a payment)
};

// The payload of a code of Kind. Refused, with the reason: a value that is not UTF-8, a value
// for a field of another kind, a Wifi type other than WPA, SAE, WEP or nopass (in any letter case),
// a key for an open network (nopass), a hidden value other than true/false, yes/no, 1/0 (or empty),
// a missing main field (text,
// url, to, ssid, number, lat and lon, summary and start, name and iban; for a vCard one of
// contact-name, first-name, last-name), and whatever the kind's record refuses (a wrong IBAN,
// letters in a phone number, an end before the start, a latitude out of range), with its reason.
// Without contact-name, a vCard takes the name the page composes from first, middle and last name.
TPayloadResult MakePayload(TKind Kind, const TFieldValues& Values);

// The other way: the fields of a code read back (payload/PayloadParse.h), every field of its
// kind, UTF-8, by name, as MakePayload takes them, so that MakePayload(Parsed.Kind,
// FieldsOf(Parsed)) makes the same content again: the same text for Text and URL, the same fields
// for the others. A Wi-Fi type is WPA, WEP, SAE or nopass, hidden and all-day are true or false.
TFieldValues FieldsOf(const TParsedPayload& Parsed);
