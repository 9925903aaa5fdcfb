// .vcf reader on any bytes: the memo gets the decoded text, no field takes more than a line's 999
// characters (the birthday at most yyyy.mm.dd), and a file without any property line of the
// program changes no field.
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"

#include <cstdint>
#include <string_view>

namespace {
const std::u16string kPrefixes[] = {u"FN:",
                                    u"N:",
                                    u"TEL;TYPE=home:",
                                    u"TEL;TYPE=cell,home:",
                                    u"EMAIL;TYPE=home:",
                                    u"URL;TYPE=home:",
                                    u"ADR;TYPE=home:;;",
                                    u"BDAY:",
                                    u"ORG:",
                                    u"TITLE:",
                                    u"TEL;TYPE=work:",
                                    u"TEL;TYPE=cell,work:",
                                    u"EMAIL;TYPE=work:",
                                    u"URL;TYPE=work:",
                                    u"ADR;TYPE=work:;;"};

bool HasPropertyLine(const std::u16string& Text) {
  std::size_t Start = 0;
  while (Start <= Text.size()) {
    std::size_t End = Text.find(u"\r\n", Start);
    if (End == std::u16string::npos) End = Text.size();
    const std::u16string_view Line = std::u16string_view(Text).substr(Start, End - Start);
    for (const std::u16string& P : kPrefixes)
      if (Line.starts_with(P)) return true;
    Start = End + 2;
  }
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
