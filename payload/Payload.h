// The payload texts of the first five pages and the vCard composer, free of widgets. (The other
// kinds have headers of their own: Phone.h, Place.h, Event.h, Payment.h.)
// Each page is a plain struct of its controls' contents; the functions build the text that the
// generation pass hands to the encoder. All texts are UTF-16, line breaks CR LF.
#pragma once

#include "text/Message.h"

#include <string>

// A text value escaped as vCard (RFC 6350 section 3.4) and iCalendar (RFC 5545 section 3.3.11)
// both want it: a backslash before each backslash, semicolon and comma, and every line break
// (CR LF, CR or LF) written as \n.
std::u16string EscapeTextValue(const std::u16string& Text);

// URL page (tab index 1).
struct TURLPage {
  std::u16string EditURL;
};

// eMail page (tab index 2).
struct TEMailPage {
  std::u16string EditAddress;
  std::u16string EditSubject;
  std::u16string MemoMessage; // the memo's lines joined by CR LF
};

// VCard v4.0 page (tab index 3): one member per edit field, named as the field.
struct TVCardPage {
  std::u16string ContactName;
  std::u16string FirstName;
  std::u16string LastName;
  std::u16string MiddleName;
  std::u16string PhonePrivate;
  std::u16string PhoneCellPrivate;
  std::u16string EmailPrivate;
  std::u16string WebsitePrivate;
  std::u16string StreetHome;
  std::u16string CityHome;
  std::u16string ZIPCodeHome;
  std::u16string Birthday;
  std::u16string Company;
  std::u16string Department;
  std::u16string JobTitle;
  std::u16string PhoneWork;
  std::u16string CellPhoneWork;
  std::u16string EmailWork;
  std::u16string WebsiteWork;
  std::u16string Streetwork;
  std::u16string CityWork;
  std::u16string ZIPCodeWork;

  bool operator==(const TVCardPage&) const = default;
};

// Item indices of the Wifi page's "Network Encryption Type" list. WPA and WEP keep the indices
// they always had, so that a stored index means what it meant; any index not named here is WEP.
inline constexpr int kWifiWPA = 0;  // "WPA/WPA2", T:WPA
inline constexpr int kWifiWEP = 1;  // "WEP", T:WEP
inline constexpr int kWifiSAE = 2;  // "WPA3 only (SAE)", T:SAE
inline constexpr int kWifiOpen = 3; // "None (open network)", T:nopass, no key

// Wifi page (tab index 4).
struct TWifiPage {
  std::u16string SSID;
  std::u16string NetworkKey; // not written for an open network, but kept on the page
  int WPA = kWifiWPA;        // item index of the "Network Encryption Type" list
  bool Hidden = false;       // "Hidden network": the record says H:true

  bool operator==(const TWifiPage&) const = default;
};

// A record made from a page's fields, or the one line that says why it is not made (a wrong
// IBAN, an end before the start): the kinds that refuse input answer this.
struct TRecord {
  std::u16string Payload; // empty when refused
  TMessage Refusal;       // for people; empty when made
  bool Made = false;
};
TRecord Refused(TMessage Why);
TRecord MadeRecord(std::u16string Payload);

// Every character outside RFC 3986's unreserved set as percent-encoded UTF-8 (%XX, capitals).
std::u16string PercentEncode(const std::u16string& Text);

// ---- the Text page's hint lines ----
// "Please type your text here.": the line that tells the hint from the user's own text.
TMessage HintFirstLine();
// The five hint lines, each ended by CR LF (the second empty); each line a message of its own.
TMessage HintText();

// ---- payload texts ----
// Text page: the memo's text, unchanged.
std::u16string TextPayload(const std::u16string& MemoText);
// URL page: the field, unchanged.
std::u16string URLPayload(const TURLPage& Page);
// eMail page: "mailto:" address "?subject=" subject "&body=" message. Subject and body are
// percent-encoded as UTF-8 (RFC 6068); in the address only "?", "&", "#", "%" and space are.
std::u16string EMailPayload(const TEMailPage& Page);
// VCard page: the composed record (ComposeVCard).
std::u16string VCardPayload(const TVCardPage& Page);
// The network record "WIFI:T:" type ";S:" SSID [";P:" key] [";H:true"] ";;", no line break: the
// type is WPA, WEP, SAE or nopass; an open network (nopass) has no P: field, a hidden one ends
// with H:true. In SSID and key each of ; : , " \ is escaped with a backslash; nothing is quoted,
// not even a value that looks hexadecimal (phones would take the quotes as part of it).
std::u16string NetworkRecord(const TWifiPage& Page);
// The T: value of a list index: "WPA", "WEP", "SAE" or "nopass".
std::u16string WifiType(int WPA);
// The note for a key that phones refuse, or "": a WPA or WPA3 key of fewer than 8 or more than
// 63 characters that is not 64 hexadecimal digits, a WEP key that is neither 5 nor 13 characters
// nor 10 nor 26 hexadecimal digits. Characters are counted as the UTF-8 bytes phones count.
TMessage WifiKeyNote(const TWifiPage& Page);
// Wifi page: the network record followed by CR LF.
std::u16string WifiPayload(const TWifiPage& Page);

// ---- vCard composer ----
// The vCard 4.0 record of the page, every line (the last one included) followed by CR LF. Values
// are escaped as RFC 6350 section 3.4 asks (\\ \, \; \n); the birthday loses every "."; N has
// its five components (last;first;middle;;).
std::u16string ComposeVCard(const TVCardPage& Page);

// The contact-name rule: First + " " + Middle + " " + Last when Middle is not empty,
// otherwise First + " " + Last.
std::u16string ContactNameFor(const std::u16string& FirstName, const std::u16string& MiddleName,
                              const std::u16string& LastName);
