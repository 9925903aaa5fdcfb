// .vcf writer -> reader for any field contents: every field comes back equal, the RFC 6350 escapes
// (backslash, comma, semicolon, line break) included. Two fields are shaped as the window makes
// them: the birthday is a date field, yyyy.mm.dd (the writer drops the points, the reader puts them
// back), and no value is longer than a line of the file holds (999 characters after the property
// name; every field here stays under 150, so even the name line, three filled components of five,
// fits when all is escaped).
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"
#include "text/Utf16.h"

#include <cstdint>

namespace {

std::u16string Field(TFuzzInput& In) {
  return UnifiedBreaks(In.Text(60));
}

std::u16string Birthday(TFuzzInput& In) {
  if (In.Pick(4) == 0) return {};
  std::u16string Digits;
  while (Digits.size() < 8) {
    const char16_t C = In.Pick(2) ? static_cast<char16_t>(u'0' + In.Byte() % 10) : In.Char();
    // A date field holds no points, line breaks or surrogate halves (whose pairing the points would
    // split).
    if (C != u'.' && C != u'\r' && C != u'\n' && !IsSurrogate(C)) Digits += C;
  }
  return Digits.substr(0, 4) + u"." + Digits.substr(4, 2) + u"." + Digits.substr(6, 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const TTextEncoding Encoding = PickEncoding(In.Byte());
  TVCardPage Page;
  for (std::u16string* F :
       {&Page.ContactName,  &Page.FirstName,        &Page.LastName,     &Page.MiddleName,
        &Page.PhonePrivate, &Page.PhoneCellPrivate, &Page.EmailPrivate, &Page.WebsitePrivate,
        &Page.StreetHome,   &Page.CityHome,         &Page.ZIPCodeHome,  &Page.Company,
        &Page.Department,   &Page.JobTitle,         &Page.PhoneWork,    &Page.CellPhoneWork,
        &Page.EmailWork,    &Page.WebsiteWork,      &Page.Streetwork,   &Page.CityWork,
        &Page.ZIPCodeWork})
    *F = Field(In);
  Page.Birthday = Birthday(In);

  const TEncodedText Saved = SaveVCardBytes(Page, Encoding);
  const TVCardFile Read = LoadVCardBytes(Saved.Bytes, TVCardPage{});
  TVCardPage Expected = Page;
  for (std::u16string* F :
       {&Expected.ContactName,  &Expected.FirstName,      &Expected.LastName,
        &Expected.MiddleName,   &Expected.PhonePrivate,   &Expected.PhoneCellPrivate,
        &Expected.EmailPrivate, &Expected.WebsitePrivate, &Expected.StreetHome,
        &Expected.CityHome,     &Expected.ZIPCodeHome,    &Expected.Birthday,
        &Expected.Company,      &Expected.Department,     &Expected.JobTitle,
        &Expected.PhoneWork,    &Expected.CellPhoneWork,  &Expected.EmailWork,
        &Expected.WebsiteWork,  &Expected.Streetwork,     &Expected.CityWork,
        &Expected.ZIPCodeWork})
    *F = AsStored(*F, Saved.Encoding);
  FUZZ_CHECK(Read.Page == Expected);
  FUZZ_CHECK(Read.MemoVCard == AsStored(ComposeVCard(Page), Saved.Encoding));
  return 0;
}
