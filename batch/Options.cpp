#include "batch/Options.h"

#include "platform/Unicode.h"
#include "util/ColorText.h"

#include <array>
#include <cctype>
#include <charconv>
#include <initializer_list>

namespace {

// The parts one after the other. Messages are put together with this rather than with
// "literal" + std::string: GCC 12 at -O3 misreads that operator's insert at the front as an
// overlapping copy (a false -Wrestrict).
std::string Joined(std::initializer_list<std::string_view> Parts) {
  std::size_t Size = 0;
  for (const std::string_view Part : Parts)
    Size += Part.size();
  std::string Text;
  Text.reserve(Size);
  for (const std::string_view Part : Parts)
    Text.append(Part);
  return Text;
}

} // namespace

std::optional<QRgb> ParseColor(std::string_view Text, std::string& Error) {
  if (Text.size() == 7 && Text[0] == '#') {
    int Value[6];
    bool Ok = true;
    for (std::size_t I = 0; I < 6; ++I)
      Ok = Ok && (Value[I] = HexDigitValue(Text[I + 1])) >= 0;
    if (Ok)
      return qRgb(Value[0] * 16 + Value[1], Value[2] * 16 + Value[3], Value[4] * 16 + Value[5]);
  }
  if (!IsValidUtf8(Text)) {
    Error = "not a colour (invalid UTF-8)";
    return std::nullopt;
  }
  const std::optional<TColor> Stored = TextToColor(Utf8ToUtf16(Text));
  if (!Stored) {
    Error =
        Joined({"not a colour: \"", Text, "\" (give #rrggbb, a name such as clNavy, or $BBGGRR)"});
    return std::nullopt;
  }
  if ((*Stored >> 24) != 0) {
    Error =
        Joined({"\"", Text, "\" is a system colour, which has no fixed value outside the window"});
    return std::nullopt;
  }
  return qRgb(*Stored & 0xFF, (*Stored >> 8) & 0xFF, (*Stored >> 16) & 0xFF);
}

std::optional<TQRCodeEncoding> ParseEncoding(std::string_view Text) {
  static constexpr std::array<std::pair<std::string_view, TQRCodeEncoding>, 7> kNames{{
      {"auto", qrAuto},
      {"numeric", qrNumeric},
      {"alphanumeric", qrAlphanumeric},
      {"iso-8859-1", qrISO88591},
      {"utf-8", qrUTF8NoBOM},
      {"utf-8-bom", qrUTF8BOM},
      {"utf-8-eci", qrUTF8ECI},
  }};
  for (const auto& [Name, Value] : kNames)
    if (EqualIgnoringAsciiCase(Text, Name)) return Value;
  return std::nullopt;
}

std::optional<TQRCodeECLevel> ParseECLevel(std::string_view Text) {
  for (const TQRCodeECLevel Level : {ecL, ecM, ecQ, ecH})
    if (EqualIgnoringAsciiCase(Text, std::string_view(&"LMQH"[Level], 1))) return Level;
  return std::nullopt;
}

std::optional<bool> ParseSwitch(std::string_view Text) {
  for (const std::string_view Yes : {"yes", "true", "1"})
    if (EqualIgnoringAsciiCase(Text, Yes)) return true;
  for (const std::string_view No : {"no", "false", "0"})
    if (EqualIgnoringAsciiCase(Text, No)) return false;
  return std::nullopt;
}

std::optional<TModuleShape> ParseShape(std::string_view Text) {
  for (const auto& [Name, Shape] : {std::pair<std::string_view, TModuleShape>{"square", msSquare},
                                    {"dots", msDots},
                                    {"rounded", msRounded}})
    if (EqualIgnoringAsciiCase(Text, Name)) return Shape;
  return std::nullopt;
}

std::optional<TFinderShape> ParseFinderShape(std::string_view Text) {
  if (EqualIgnoringAsciiCase(Text, "square")) return fsSquare;
  if (EqualIgnoringAsciiCase(Text, "rounded")) return fsRounded;
  return std::nullopt;
}

std::string ApplyDesign(const TDesignText& Text, std::string_view Prefix,
                        const std::function<TLogoLoad(const std::string&)>& ReadLogo,
                        TCodeStyle& Style) {
  if (!Text.Shape.empty()) {
    const std::optional<TModuleShape> Shape = ParseShape(Text.Shape);
    if (!Shape) return Joined({Prefix, "shape: \"", Text.Shape, "\" (square, dots or rounded)"});
    Style.Shape = *Shape;
  }
  if (!Text.FinderShape.empty()) {
    const std::optional<TFinderShape> Shape = ParseFinderShape(Text.FinderShape);
    if (!Shape)
      return Joined({Prefix, "finder-shape: \"", Text.FinderShape, "\" (square or rounded)"});
    Style.FinderShape = *Shape;
  }
  if (!Text.FinderColor.empty()) {
    std::string Error;
    const std::optional<QRgb> Colour = ParseColor(Text.FinderColor, Error);
    if (!Colour) return Joined({Prefix, "finder-color: ", Error});
    Style.FinderColor = *Colour;
  }
  if (!Text.LogoSize.empty()) {
    int Percent = 0;
    const char* End = Text.LogoSize.data() + Text.LogoSize.size();
    const auto [Stop, Failure] = std::from_chars(Text.LogoSize.data(), End, Percent);
    if (Failure != std::errc() || Stop != End || Percent < kMinLogoPercent ||
        Percent > kMaxLogoPercent)
      return Joined({Prefix, "logo-size: \"", Text.LogoSize, "\" (a whole number from 5 to 30)"});
    Style.LogoPercent = Percent;
  }
  if (!Text.Logo.empty()) {
    const TLogoLoad Load = ReadLogo(Text.Logo);
    if (!Load.Logo)
      return Joined({Prefix, "logo: cannot use ", Text.Logo, ": ", Load.Error.Utf8()});
    Style.Logo = Load.Logo;
  }
  return "";
}

std::string CheckFileName(std::string_view Name) {
  if (Name.empty()) return "empty file name";
  if (Name == "." || Name == "..") return Joined({"file name \"", Name, "\" is a folder"});
  // Windows and its ZIP extractors take "\\" for a folder separator and "C:" for a drive.
  for (const std::string_view Separator : {"/", "\\"})
    if (Name.find(Separator) != std::string_view::npos)
      return Joined(
          {"file name \"", Name, "\" holds a \"", Separator, "\"; it must name a file in --out"});
  if (Name.size() >= 2 && Name[1] == ':' && std::isalpha(static_cast<unsigned char>(Name[0])))
    return Joined({"file name \"", Name, "\" starts with a drive; it must name a file in --out"});
  for (const char C : Name)
    if (static_cast<unsigned char>(C) < 0x20 || C == 0x7F)
      return "file name holds a control character";
  if (!IsValidUtf8(Name)) return "file name is not valid UTF-8";
  if (Name.size() > 255) return "file name longer than 255 bytes";
  if (Name[0] == '.' || Name[0] == '-')
    return Joined({"file name \"", Name, "\" starts with \"", Name.substr(0, 1), "\""});
  if (EqualIgnoringAsciiCase(Name, "manifest.csv")) return "manifest.csv is the batch's own report";
  return "";
}
