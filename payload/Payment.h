// The Payment page: a SEPA credit transfer as the EPC QR code (EPC069-12, version 002) that
// banking apps fill a transfer from. Widget-free.
//
// The record: the lines BCD, 002, 1 (UTF-8), SCT, BIC, name, IBAN, amount, purpose, creditor
// reference, remittance text, information, separated by LF, nothing after the last line used,
// at most 331 bytes. The code must be made at level M or higher (kPaymentLowestLevel).
#pragma once

#include "payload/Payload.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Payment page (tab index 9). The texts as typed; IBAN, BIC and reference may hold blanks and
// small letters, the amount "." or "," as its decimal mark.
struct TPaymentPage {
  std::u16string Name;       // beneficiary, at most 70 characters
  std::u16string IBAN;       // ISO 13616
  std::u16string BIC;        // optional, ISO 9362: 8 or 11 characters
  std::u16string Amount;     // optional, in euro: 0.01 to 999999999.99
  std::u16string Reference;  // optional ISO 11649 creditor reference "RF..."
  std::u16string Remittance; // optional unstructured text, at most 140 characters
  std::u16string Purpose;    // optional ISO 20022 purpose code, 4 letters
  std::u16string Info;       // optional note to the payer, at most 70 characters

  bool operator==(const TPaymentPage&) const = default;
};

// The level the payment page fixes as its lowest: M (as an index of TQRCodeECLevel).
inline constexpr int kPaymentLowestLevel = 1;
inline constexpr std::size_t kMaxPaymentBytes = 331;

// The text with blanks removed and ASCII letters in upper case: "de89 3704..." -> "DE893704...".
std::u16string CompactCode(std::u16string_view Text);
// An IBAN as the record takes it: CompactCode, and the "-" some write between groups dropped.
std::u16string CompactIban(std::u16string_view Text);
// The length of an IBAN of Country ("DE" -> 22) from the IBAN registry, or 0 for a country
// without IBANs.
int IbanLength(std::u16string_view Country);
// Why the IBAN (CompactIban) is wrong, or "": empty, not letters and digits, an unknown country,
// the wrong length for its country, or a check that fails (ISO 13616 mod 97).
TMessage IbanRefusal(const std::u16string& Iban);
// Why the (compacted) creditor reference is wrong, or "": not "RF", two check digits and 1 to
// 21 letters or digits, or a check that fails (ISO 11649 mod 97).
TMessage CreditorReferenceRefusal(const std::u16string& Reference);
// The amount in cents, or nothing when Text is no amount of euro with at most two decimals.
std::optional<long long> AmountCents(const std::u16string& Text);
// "EUR" and the amount with the fewest digits: 1230 cents -> "EUR12.3", 1200 -> "EUR12".
std::u16string EpcAmount(long long Cents);

// The EPC record, or the one reason it is refused: no name, a field too long, a line break in a
// field, a wrong IBAN, BIC, amount, purpose or reference, both a reference and a remittance
// text, or a record beyond 331 bytes.
TRecord PaymentRecord(const TPaymentPage& Page);

struct TPaymentRead {
  TPaymentPage Page;                   // the amount without "EUR"
  std::vector<std::u16string> NotKept; // "version 001", "charset 2", lines past the twelfth
};
// The fields of an EPC record ("BCD" first, lines separated by LF or CR LF). Empty optional:
// Text is not one (no "BCD" line, no "SCT" line, fewer than 7 lines).
std::optional<TPaymentRead> ReadPayment(std::u16string_view Text);
