// .vcf reader on any bytes: the memo gets the decoded text, no field takes more than a line's 999
// characters (the birthday at most yyyy.mm.dd), and a file without any line of a property the
// page has a field for changes no field.
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"

#include <cstdint>
#include <string_view>

namespace {
// Whether Text may hold a line the reader takes: one of its property names (in any letter case,
// after a group or not) followed by ":" or ";" anywhere. A superset of the lines read.
bool HasPropertyLine(const std::u16string& Text) {
  std::u16string Lower = Text;
  for (char16_t& C : Lower)
    if (C >= u'A' && C <= u'Z') C = static_cast<char16_t>(C - u'A' + u'a');
  for (const std::u16string_view Name :
       {u"fn", u"n", u"bday", u"org", u"title", u"tel", u"email", u"url", u"adr"})
    for (const char16_t End : {u':', u';'})
      if (Lower.find(std::u16string(Name) + End) != std::u16string::npos) return true;
  return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  TVCardPage Current;
  Current.ContactName = u"keep";
  Current.Birthday = u"1970.01.31";
  Current.ZIPCodeWork = u"\\;";
  const TVCardFile Read = LoadVCardBytes(Bytes, Current);
  FUZZ_CHECK(Read.MemoVCard == LoadTextBytes(Bytes).Text);
  FUZZ_CHECK(Read.Encoding == LoadTextBytes(Bytes).Encoding);
  for (const std::u16string* F :
       {&Read.Page.ContactName,   &Read.Page.FirstName,      &Read.Page.LastName,
        &Read.Page.MiddleName,    &Read.Page.PhonePrivate,   &Read.Page.PhoneCellPrivate,
        &Read.Page.EmailPrivate,  &Read.Page.WebsitePrivate, &Read.Page.StreetHome,
        &Read.Page.CityHome,      &Read.Page.ZIPCodeHome,    &Read.Page.Company,
        &Read.Page.Department,    &Read.Page.JobTitle,       &Read.Page.PhoneWork,
        &Read.Page.CellPhoneWork, &Read.Page.EmailWork,      &Read.Page.WebsiteWork,
        &Read.Page.Streetwork,    &Read.Page.CityWork,       &Read.Page.ZIPCodeWork})
    FUZZ_CHECK(F->size() <= 999);
  FUZZ_CHECK(Read.Page.Birthday.size() <= 10);
  if (!HasPropertyLine(Read.MemoVCard)) FUZZ_CHECK(Read.Page == Current);
  return 0;
}
