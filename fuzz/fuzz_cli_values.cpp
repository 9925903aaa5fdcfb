// marbeck-cli's option values: any bytes as a colour, a file-column name, an encoding, an
// error-correction level, a boost switch and an output path. A colour that is accepted comes back
// the same when written as #rrggbb; a refused one says why; a file name that is accepted is one
// plain name that stays inside the output folder; the format of a path matches its extension.
#include "FuzzInput.h"
#include "batch/Options.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool EndsWithNoCase(const std::string& Text, std::string_view Suffix) {
  if (Text.size() < Suffix.size()) return false;
  for (std::size_t I = 0; I < Suffix.size(); ++I) {
    char C = Text[Text.size() - Suffix.size() + I];
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    if (C != Suffix[I]) return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const std::size_t Split = In.Empty() ? 0 : In.Byte() % (In.Left() + 1);
  const std::string Rest = In.Rest();
  const std::string First = Rest.substr(0, Split);
  const std::string Second = Rest.substr(Split);

  // Colours.
  std::string Error;
  const auto Colour = ParseColor(First, Error);
  FUZZ_CHECK(Colour.has_value() == Error.empty());
  if (Colour) {
    char Hex[8];
    std::snprintf(Hex, sizeof Hex, "#%02x%02x%02x", qRed(*Colour), qGreen(*Colour), qBlue(*Colour));
    std::string Again;
    const auto Reread = ParseColor(Hex, Again);
    FUZZ_CHECK(Reread.has_value() && qRgb(qRed(*Reread), qGreen(*Reread), qBlue(*Reread)) ==
                                         qRgb(qRed(*Colour), qGreen(*Colour), qBlue(*Colour)));
  }

  // Names from the batch's file column.
  const std::string Reason = CheckFileName(Second);
  if (Reason.empty()) {
    FUZZ_CHECK(!Second.empty() && Second.size() <= 255);
    FUZZ_CHECK(Second != "." && Second != ".." && Second.find('/') == std::string::npos);
    for (const char C : Second)
      FUZZ_CHECK(static_cast<unsigned char>(C) >= 0x20 && C != 0x7F);
    const std::filesystem::path Inside = std::filesystem::path("out") / Second;
    FUZZ_CHECK(Inside.parent_path() == "out" && Inside.filename() == Second);
  }

  // Encodings and output formats by name or extension.
  if (ParseEncoding(First)) FUZZ_CHECK(!First.empty());
  // Error-correction levels and the boost column's switch.
  if (const auto Level = ParseECLevel(First))
    FUZZ_CHECK(First.size() == 1 && (First[0] == ECLevelLetter(*Level) ||
                                     First[0] == ECLevelLetter(*Level) - 'A' + 'a'));
  if (const auto Switch = ParseSwitch(Second)) FUZZ_CHECK(!Second.empty() && Second.size() <= 5);
  if (const auto Format = FormatOfPath(Second))
    FUZZ_CHECK(EndsWithNoCase(Second, FormatExtension(*Format)));
  return 0;
}
