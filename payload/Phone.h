// The Phone and SMS pages: a number to call as a tel: URI (RFC 3966) and a text message to send
// as the SMSTO: record phone scanners read. Widget-free; the readers of these records are in
// PayloadParse.h.
#pragma once

#include "payload/Payload.h"

#include <string>

// Phone page (tab index 5).
struct TPhonePage {
  std::u16string Number;

  bool operator==(const TPhonePage&) const = default;
};

// SMS page (tab index 6).
struct TSmsPage {
  std::u16string Number;
  std::u16string Message; // any text; its line breaks are written as LF

  bool operator==(const TSmsPage&) const = default;
};

// The number as a record takes it: blanks (spaces, tabs, no-break spaces) removed, the rest as
// typed, visual separators "-" "." "(" ")" included.
std::u16string CompactPhoneNumber(const std::u16string& Number);
// Why Number cannot be called, or "": it is empty, holds no digit, holds a letter or another
// character than the digits, "+" (first only), "-" "." "(" ")" "*" "#" and blanks.
TMessage PhoneNumberRefusal(const std::u16string& Number);

// "tel:" and the compact number, "#" written %23 (RFC 3966 section 3).
TRecord PhoneRecord(const TPhonePage& Page);
// "SMSTO:" number ":" message, the message exact (colons included), its line breaks LF.
TRecord SmsRecord(const TSmsPage& Page);
