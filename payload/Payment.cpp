#include "payload/Payment.h"

#include "platform/Unicode.h"

#include <algorithm>
#include <array>

namespace {

struct TIbanCountry {
  char16_t Code[3];
  int Length;
};

// IBAN lengths by country, from the IBAN registry (ISO 13616-1, as SWIFT publishes it).
constexpr std::array<TIbanCountry, 82> kIbanCountries{{
    {u"AD", 24}, {u"AE", 23}, {u"AL", 28}, {u"AT", 20}, {u"AZ", 28}, {u"BA", 20}, {u"BE", 16},
    {u"BG", 22}, {u"BH", 22}, {u"BI", 27}, {u"BR", 29}, {u"BY", 28}, {u"CH", 21}, {u"CR", 22},
    {u"CY", 28}, {u"CZ", 24}, {u"DE", 22}, {u"DJ", 27}, {u"DK", 18}, {u"DO", 28}, {u"EE", 20},
    {u"EG", 29}, {u"ES", 24}, {u"FI", 18}, {u"FO", 18}, {u"FR", 27}, {u"GB", 22}, {u"GE", 22},
    {u"GI", 23}, {u"GL", 18}, {u"GR", 27}, {u"GT", 28}, {u"HR", 21}, {u"HU", 28}, {u"IE", 22},
    {u"IL", 23}, {u"IQ", 23}, {u"IS", 26}, {u"IT", 27}, {u"JO", 30}, {u"KW", 30}, {u"KZ", 20},
    {u"LB", 28}, {u"LC", 32}, {u"LI", 21}, {u"LT", 20}, {u"LU", 20}, {u"LV", 21}, {u"LY", 25},
    {u"MC", 27}, {u"MD", 24}, {u"ME", 22}, {u"MK", 19}, {u"MR", 27}, {u"MT", 31}, {u"MU", 30},
    {u"NL", 18}, {u"NO", 15}, {u"PK", 24}, {u"PL", 28}, {u"PS", 29}, {u"PT", 25}, {u"QA", 29},
    {u"RO", 24}, {u"RS", 22}, {u"RU", 33}, {u"SA", 24}, {u"SC", 31}, {u"SD", 18}, {u"SE", 24},
    {u"SI", 19}, {u"SK", 24}, {u"SM", 27}, {u"ST", 25}, {u"SV", 28}, {u"TL", 23}, {u"TN", 24},
    {u"TR", 26}, {u"UA", 29}, {u"VA", 22}, {u"VG", 24}, {u"XK", 20},
}};

bool IsUpper(char16_t C) {
  return C >= u'A' && C <= u'Z';
}
bool IsDigit(char16_t C) {
  return C >= u'0' && C <= u'9';
}
bool IsUpperOrDigit(char16_t C) {
  return IsUpper(C) || IsDigit(C);
}

// ISO 7064 mod 97-10 as ISO 13616 and ISO 11649 use it: the first four characters moved to the
// end, letters as 10 to 35; the check holds when the number leaves 1.
bool Mod97Holds(const std::u16string& Code) {
  const std::u16string Moved = Code.substr(4) + Code.substr(0, 4);
  int Rest = 0;
  for (const char16_t C : Moved) {
    const int Value = IsDigit(C) ? C - u'0' : C - u'A' + 10;
    Rest = (Value >= 10 ? Rest * 100 : Rest * 10) + Value;
    Rest %= 97;
  }
  return Rest == 1;
}

std::size_t CodePoints(const std::u16string& Text) {
  std::size_t N = 0;
  for (const char16_t C : Text)
    N += (C & 0xFC00) != 0xDC00; // a low surrogate belongs to the character before it
  return N;
}

bool HasLineBreak(const std::u16string& Text) {
  return std::any_of(Text.begin(), Text.end(), [](char16_t C) {
    return C == u'\r' || C == u'\n' || C == 0x2028 || C == 0x2029 || C == 0x85;
  });
}

} // namespace

std::u16string CompactCode(std::u16string_view Text) {
  std::u16string Out;
  for (char16_t C : Text) {
    if (C == u' ' || C == u'\t' || C == 0xA0) continue;
    if (C >= u'a' && C <= u'z') C = static_cast<char16_t>(C - u'a' + u'A');
    Out += C;
  }
  return Out;
}

std::u16string CompactIban(std::u16string_view Text) {
  std::u16string Out = CompactCode(Text);
  std::erase(Out, u'-');
  return Out;
}

int IbanLength(std::u16string_view Country) {
  for (const TIbanCountry& Entry : kIbanCountries)
    if (Country == std::u16string_view(Entry.Code, 2)) return Entry.Length;
  return 0;
}

TMessage IbanRefusal(const std::u16string& Iban) {
  const std::u16string Code = CompactIban(Iban);
  if (Code.empty()) return Say(QT_TRANSLATE_NOOP("Messages", "The IBAN is empty."));
  if (!std::all_of(Code.begin(), Code.end(), IsUpperOrDigit))
    return Say(QT_TRANSLATE_NOOP("Messages", "The IBAN may hold letters and digits only."));
  if (Code.size() < 4 || !IsUpper(Code[0]) || !IsUpper(Code[1]) || !IsDigit(Code[2]) ||
      !IsDigit(Code[3]))
    return Say(QT_TRANSLATE_NOOP(
        "Messages", "The IBAN must begin with a country code and two check digits (DE89...)."));
  const int Length = IbanLength(std::u16string_view(Code).substr(0, 2));
  if (Length == 0)
    return Say(QT_TRANSLATE_NOOP("Messages", "The IBAN's country %1 has no IBANs."),
               {Plain(Code.substr(0, 2))});
  if (static_cast<int>(Code.size()) != Length)
    return Say(QT_TRANSLATE_NOOP("Messages", "An IBAN of %1 has %2 characters, this one %3."),
               {Plain(Code.substr(0, 2)), PlainUtf8(std::to_string(Length)),
                PlainUtf8(std::to_string(Code.size()))});
  if (!Mod97Holds(Code))
    return Say(QT_TRANSLATE_NOOP("Messages",
                                 "The IBAN's check digits do not match: a character is wrong."));
  return {};
}

TMessage CreditorReferenceRefusal(const std::u16string& Reference) {
  const std::u16string Code = CompactCode(Reference);
  if (Code.size() < 5 || Code.size() > 25 || !Code.starts_with(u"RF") || !IsDigit(Code[2]) ||
      !IsDigit(Code[3]) || !std::all_of(Code.begin(), Code.end(), IsUpperOrDigit))
    return Say(QT_TRANSLATE_NOOP("Messages", "The creditor reference must be RF, two check "
                                             "digits and up to 21 letters or digits (ISO 11649)."));
  if (!Mod97Holds(Code))
    return Say(QT_TRANSLATE_NOOP(
        "Messages", "The creditor reference's check digits do not match: a character is wrong."));
  return {};
}

std::optional<long long> AmountCents(const std::u16string& Text) {
  std::u16string Code = CompactCode(Text);
  if (Code.starts_with(u"EUR")) Code.erase(0, 3);
  long long Euro = 0;
  std::size_t I = 0, WholeDigits = 0;
  for (; I < Code.size() && IsDigit(Code[I]); ++I, ++WholeDigits) {
    if (WholeDigits >= 9) return std::nullopt;
    Euro = Euro * 10 + (Code[I] - u'0');
  }
  long long Cents = 0;
  if (I < Code.size()) {
    if (Code[I] != u'.' && Code[I] != u',') return std::nullopt;
    const std::size_t Decimals = Code.size() - I - 1;
    if (Decimals < 1 || Decimals > 2) return std::nullopt;
    for (std::size_t K = I + 1; K < Code.size(); ++K) {
      if (!IsDigit(Code[K])) return std::nullopt;
      Cents = Cents * 10 + (Code[K] - u'0');
    }
    if (Decimals == 1) Cents *= 10;
  }
  if (WholeDigits == 0 && I == Code.size()) return std::nullopt;
  return Euro * 100 + Cents;
}

std::u16string EpcAmount(long long Cents) {
  std::u16string Out = u"EUR" + Utf8ToUtf16(std::to_string(Cents / 100));
  const long long Rest = Cents % 100;
  if (Rest != 0) {
    Out += u'.';
    Out += static_cast<char16_t>(u'0' + Rest / 10);
    if (Rest % 10 != 0) Out += static_cast<char16_t>(u'0' + Rest % 10);
  }
  return Out;
}

TRecord PaymentRecord(const TPaymentPage& Page) {
  struct TLimit {
    const std::u16string& Text;
    std::size_t Max;
    const char* Name;
  };
  if (Page.Name.empty())
    return Refused(Say(QT_TRANSLATE_NOOP("Messages", "The payment needs the beneficiary's name.")));
  for (const TLimit& L :
       {TLimit{Page.Name, 70, QT_TRANSLATE_NOOP("Messages", "The name")},
        TLimit{Page.Remittance, 140, QT_TRANSLATE_NOOP("Messages", "The remittance text")},
        TLimit{Page.Info, 70, QT_TRANSLATE_NOOP("Messages", "The information")}}) {
    if (HasLineBreak(L.Text))
      return Refused(
          Say(QT_TRANSLATE_NOOP("Messages", "%1 cannot hold a line break."), {Say(L.Name)}));
    if (CodePoints(L.Text) > L.Max)
      return Refused(Say(QT_TRANSLATE_NOOP("Messages", "%1 may have at most %2 characters."),
                         {Say(L.Name), PlainUtf8(std::to_string(L.Max))}));
  }
  if (TMessage Why = IbanRefusal(Page.IBAN)) return Refused(std::move(Why));
  const std::u16string Bic = CompactCode(Page.BIC);
  if (!Bic.empty()) {
    const bool Shape = (Bic.size() == 8 || Bic.size() == 11) &&
                       std::all_of(Bic.begin(), Bic.end(), IsUpperOrDigit) && IsUpper(Bic[4]) &&
                       IsUpper(Bic[5]);
    if (!Shape)
      return Refused(
          Say(QT_TRANSLATE_NOOP("Messages", "The BIC must have 8 or 11 letters and digits, the "
                                            "fifth and sixth the country (ISO 9362).")));
  }
  std::u16string Amount;
  if (!CompactCode(Page.Amount).empty()) {
    const std::optional<long long> Cents = AmountCents(Page.Amount);
    if (!Cents || *Cents < 1 || *Cents > 99999999999LL)
      return Refused(Say(QT_TRANSLATE_NOOP(
          "Messages", "The amount must be from 0.01 to 999999999.99 euro, at most two decimals.")));
    Amount = EpcAmount(*Cents);
  }
  const std::u16string Purpose = CompactCode(Page.Purpose);
  if (!Purpose.empty() &&
      (Purpose.size() != 4 ||
       !std::all_of(Purpose.begin(), Purpose.end(), [](char16_t C) { return IsUpper(C); })))
    return Refused(Say(QT_TRANSLATE_NOOP(
        "Messages", "The purpose code must be 4 letters (ISO 20022, such as CHAR or GDDS).")));
  const std::u16string Reference = CompactCode(Page.Reference);
  if (!Reference.empty()) {
    if (!Page.Remittance.empty())
      return Refused(Say(QT_TRANSLATE_NOOP(
          "Messages", "A payment takes a creditor reference or a remittance text, not both.")));
    if (TMessage Why = CreditorReferenceRefusal(Reference)) return Refused(std::move(Why));
  }

  std::vector<std::u16string> Lines = {
      u"BCD", u"002",  u"1",      u"SCT",          Bic,      Page.Name, CompactIban(Page.IBAN),
      Amount, Purpose, Reference, Page.Remittance, Page.Info};
  while (Lines.back().empty())
    Lines.pop_back();
  std::u16string Out;
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    if (I > 0) Out += u'\n';
    Out += Lines[I];
  }
  if (Utf16ToUtf8(Out).size() > kMaxPaymentBytes)
    return Refused(
        Say(QT_TRANSLATE_NOOP("Messages", "The payment record is longer than the 331 bytes banking "
                                          "apps read: shorten the name or the texts.")));
  return MadeRecord(std::move(Out));
}

std::optional<TPaymentRead> ReadPayment(std::u16string_view Text) {
  std::vector<std::u16string> Lines(1);
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == u'\n') {
      if (!Lines.back().empty() && Lines.back().back() == u'\r') Lines.back().pop_back();
      Lines.emplace_back();
    } else {
      Lines.back() += Text[I];
    }
  }
  if (!Lines.back().empty() && Lines.back().back() == u'\r') Lines.back().pop_back();
  if (Lines.size() < 7 || Lines[0] != u"BCD" || Lines[3] != u"SCT") return std::nullopt;
  TPaymentRead Read;
  if (Lines[1] != u"002") Read.NotKept.push_back(u"version " + Lines[1]);
  if (Lines[2] != u"1") Read.NotKept.push_back(u"charset " + Lines[2]);
  Lines.resize(std::max<std::size_t>(Lines.size(), 12));
  TPaymentPage& P = Read.Page;
  P.BIC = Lines[4];
  P.Name = Lines[5];
  P.IBAN = Lines[6];
  P.Amount = Lines[7].starts_with(u"EUR") ? Lines[7].substr(3) : Lines[7];
  P.Purpose = Lines[8];
  P.Reference = Lines[9];
  P.Remittance = Lines[10];
  P.Info = Lines[11];
  for (std::size_t I = 12; I < Lines.size(); ++I)
    if (!Lines[I].empty()) {
      Read.NotKept.push_back(u"lines past the twelfth");
      break;
    }
  return Read;
}
