#include "cli/Decode.h"

#include "batch/Csv.h"
#include "batch/Fields.h"
#include "batch/Options.h"
#include "encoder/Mode.h"
#include "payload/PayloadParse.h"
#include "platform/Unicode.h"
#include "render/PictureFile.h"
#include "render/Scan.h"

#include <algorithm>
#include <filesystem>

namespace {

const char* const kMe = "marbeck-cli: ";

// A JSON string (RFC 8259): quotes, backslashes and control characters escaped; the text is
// valid UTF-8 already.
std::string Json(const std::string& Text) {
  std::string Out = "\"";
  for (const char C : Text) {
    const auto U = static_cast<unsigned char>(C);
    if (C == '"' || C == '\\') {
      (Out += '\\') += C;
    } else if (C == '\n') {
      Out += "\\n";
    } else if (C == '\r') {
      Out += "\\r";
    } else if (C == '\t') {
      Out += "\\t";
    } else if (U < 0x20 || U == 0x7F) {
      Out += "\\u00";
      Out += UpperHexDigit(U >> 4);
      Out += UpperHexDigit(U);
    } else {
      Out += C;
    }
  }
  return Out + "\"";
}

std::string EncodingName(const TPayloadText& Text) {
  if (Text.Eci == kEciUtf8) return "utf-8-eci";
  if (Text.Eci >= 0) { // the character set the designator names: "iso-8859-2", "shift_jis"
    std::string Name = EciCharset(Text.Eci);
    for (char& C : Name)
      C = static_cast<char>(C >= 'A' && C <= 'Z' ? C - 'A' + 'a' : C);
    return Name;
  }
  if (Text.ByteOrderMark) return "utf-8-bom";
  if (Text.Utf8) return "utf-8";
  // Bytes below 0x80 are the same in both; naming one would claim what the code does not say.
  for (const char16_t C : Text.Text)
    if (C > 0x7F) return "iso-8859-1";
  return "ascii";
}

// The batch's columns: kind, file, then every field of every kind in the order of the pages.
std::vector<std::string> CsvHeader() {
  std::vector<std::string> Header = {"kind", "file"};
  for (const TFieldInfo& F : AllFields())
    Header.emplace_back(F.Name);
  return Header;
}

} // namespace

std::string CsvFileName(const std::string& Path, int CodeIndex, std::vector<std::string>& Taken) {
  std::string Name = std::filesystem::path(Path).stem().string();
  if (!IsValidUtf8(Name)) Name = Utf16ToUtf8(Utf8ToUtf16(Name)); // ill-formed bytes: U+FFFD
  for (char& C : Name)
    if (static_cast<unsigned char>(C) < 0x20 || C == 0x7F) C = '_';
  // "codes.svg" (of codes.svg.png) would make the batch write an SVG whatever --format says.
  if (FormatOfPath(Name)) Name[Name.rfind('.')] = '-';
  if (Name.empty() || Name == "." || Name == ".." || Name.front() == '.' || Name.front() == '-') {
    std::string Safe = "code";
    if (Name != "." && Name != "..") Safe.append("_").append(Name);
    Name = std::move(Safe);
  }
  if (Name.size() > 200) {
    Name.resize(200);
    while (!Name.empty() && !IsValidUtf8(Name)) // not in the middle of a character
      Name.pop_back();
  }
  if (CodeIndex > 0) Name.append("-").append(std::to_string(CodeIndex + 1));
  std::string Unique = Name;
  for (int N = 2; std::find(Taken.begin(), Taken.end(), Unique) != Taken.end(); ++N)
    Unique = std::string(Name).append("_").append(std::to_string(N));
  Taken.push_back(Unique);
  return Unique;
}

int RunDecode(const TDecodeOptions& Options, std::ostream& Out, std::ostream& Err) {
  int Status = 0;
  std::vector<std::string> Taken;
  if (Options.Output == TDecodeOutput::Csv) Out << CsvRecord(CsvHeader());
  for (const std::string& File : Options.Files) {
    const TPictureRead Read = ReadPictureFile(File);
    if (Read.Picture.isNull()) {
      Err << kMe << File << ": " << Read.Error.Utf8() << "\n";
      Status = 1;
      continue;
    }
    const std::vector<TFoundCode> Codes = ScanPicture(Read.Picture);
    if (Codes.empty()) {
      Err << kMe << File << ": no QR code found\n";
      Status = 1;
      continue;
    }
    if (Codes.front().Inverted)
      Err << kMe << File << ": the code is inverted (light modules on a dark ground); many "
          << "phone readers do not read it\n";
    for (std::size_t I = 0; I < Codes.size(); ++I) {
      const TPayloadText Text = DecodePayloadBytes(Codes[I].Bytes, Codes[I].Eci);
      const TParsedPayload Parsed = ParsePayload(Text.Text);
      const TFieldValues Fields = FieldsOf(Parsed);
      switch (Options.Output) {
      case TDecodeOutput::Payload:
        Out << Utf16ToUtf8(Text.Text) << "\n";
        break;
      case TDecodeOutput::Json: {
        Out << "{\"file\":" << Json(File)
            << ",\"kind\":" << Json(std::string(KindName(Parsed.Kind))) << ",\"fields\":{";
        bool First = true;
        for (const TFieldInfo& F : AllFields()) { // in the order of the pages
          const auto It = Fields.find(F.Name);
          if (It == Fields.end()) continue;
          Out << (First ? "" : ",") << Json(std::string(F.Name)) << ":" << Json(It->second);
          First = false;
        }
        Out << "},\"not_kept\":[";
        for (std::size_t K = 0; K < Parsed.NotKept.size(); ++K)
          Out << (K ? "," : "") << Json(Utf16ToUtf8(Parsed.NotKept[K]));
        Out << "],\"version\":";
        if (Codes[I].Version > 0)
          Out << Codes[I].Version;
        else
          Out << "null";
        Out << ",\"inverted\":" << (Codes[I].Inverted ? "true" : "false")
            << ",\"bytes\":" << Codes[I].Bytes.size()
            << ",\"encoding\":" << Json(EncodingName(Text))
            << ",\"eci\":" << (Text.Eci >= 0 ? std::to_string(Text.Eci) : std::string("null"))
            << ",\"payload\":" << Json(Utf16ToUtf8(Text.Text)) << "}\n";
        break;
      }
      case TDecodeOutput::Csv: {
        std::vector<std::string> Row = {std::string(KindName(Parsed.Kind)),
                                        CsvFileName(File, static_cast<int>(I), Taken)};
        for (const TFieldInfo& F : AllFields()) {
          const auto It = Fields.find(F.Name);
          Row.push_back(It == Fields.end() ? std::string() : It->second);
        }
        Out << CsvRecord(Row);
        break;
      }
      }
    }
  }
  Out.flush();
  return Status;
}
