#include "cli/StyleOptions.h"

#include "render/Logo.h"

#include <QString>

namespace {

const char* const kMe = "marbeck-cli: ";

} // namespace

void AddStyleOptions(CLI::App* Command, TStyleText& S) {
  Command->add_option("--encoding", S.Encoding,
                      "auto|numeric|alphanumeric|iso-8859-1|utf-8|utf-8-bom (default auto; "
                      "utf-8-bom puts EF BB BF before a plain text)");
  Command->add_option("--ec", S.ECLevel,
                      "error-correction level L|M|Q|H: restores about 7, 15, 25 or 30 % of "
                      "damaged codewords; a higher level needs a larger code (default L)");
  Command->add_flag("--boost", S.Boost,
                    "raise the level as far as the data still fits the same version (no larger "
                    "code)");
  Command
      ->add_option("--quiet-zone", S.QuietZone,
                   "the light margin around the code, in modules (default 4)")
      ->check(NumberIn(0, 99));
  Command->add_option("--scale", S.Scale, "PNG: pixels per module (default 8)")
      ->check(NumberIn(1, 100));
  Command->add_option("--mm-per-module", S.MmPerModule, "SVG, PDF: size of a module (default 1)")
      ->check(NumberIn(0.01, 1000.0));
  Command->add_option("--dark", S.Dark,
                      "colour of dark modules: #rrggbb, a name (clNavy) or $BBGGRR");
  Command->add_option("--light", S.Light, "colour of light modules and the quiet zone");
  Command
      ->add_option("--frame", S.Frame,
                   "draw corner marks on the quiet zone's outer ring, arms SIZE + 3 modules "
                   "(0..10); adds one module to the quiet zone")
      ->check(NumberIn(0, 10));
  Command->add_option("--frame-color", S.FrameColor, "colour of the corner marks");
  Command->add_option("--shape", S.Design.Shape,
                      "square|dots|rounded: how dark modules are drawn (default square)");
  Command->add_option("--finder-shape", S.Design.FinderShape,
                      "square|rounded: how the three corner squares are drawn (default square)");
  Command->add_option("--finder-color", S.Design.FinderColor,
                      "colour of the three corner squares (default: the --dark colour)");
  Command->add_option("--logo", S.Design.Logo,
                      "a PNG, JPEG or SVG picture drawn in the middle on a light pad; the "
                      "modules under it are lost, so use --ec H (and check with --verify)");
  Command
      ->add_option("--logo-size", S.LogoSize,
                   "the logo's longer side in % of the code's side, 5 to 30 (default 20)")
      ->check(NumberIn(kMinLogoPercent, kMaxLogoPercent));
  Command->add_flag("--verify", S.Verify,
                    "read the picture back with zbar; fail unless it gives exactly the payload's "
                    "bytes and its colours have a contrast of at least 3 : 1");
}

bool BuildRequest(const TStyleText& S, TPictureRequest& R, std::ostream& Err) {
  const std::optional<TQRCodeEncoding> Encoding = ParseEncoding(S.Encoding);
  if (!Encoding) {
    Err << kMe << "--encoding: unknown encoding \"" << S.Encoding << "\"\n";
    return false;
  }
  R.Encoding = *Encoding;
  const std::optional<TQRCodeECLevel> Level = ParseECLevel(S.ECLevel);
  if (!Level) {
    Err << kMe << "--ec: unknown error-correction level \"" << S.ECLevel << "\" (L, M, Q or H)\n";
    return false;
  }
  R.ECLevel = *Level;
  R.Boost = S.Boost;
  std::string Error;
  const std::pair<const char*, const std::string*> Colours[] = {
      {"--dark", &S.Dark}, {"--light", &S.Light}, {"--frame-color", &S.FrameColor}};
  QRgb Values[3];
  for (int I = 0; I < 3; ++I) {
    const std::optional<QRgb> C = ParseColor(*Colours[I].second, Error);
    if (!C) {
      Err << kMe << Colours[I].first << ": " << Error << "\n";
      return false;
    }
    Values[I] = *C;
  }
  R.Style.Dark = Values[0];
  R.Style.Light = Values[1];
  R.Style.FrameColor = Values[2];
  R.Style.QuietZone = S.QuietZone;
  R.Style.Frame = S.Frame >= 0;
  R.Style.MarkLength = S.Frame >= 0 ? S.Frame : 0;
  R.Scale = S.Scale;
  R.MmPerModule = S.MmPerModule;
  R.Verify = S.Verify;
  if (S.Ink != "light" && S.Ink != "dark") {
    Err << kMe << "--ink: \"" << S.Ink << "\" (light or dark)\n";
    return false;
  }
  R.InkDarkModules = S.Ink == "dark";
  TDesignText Design = S.Design;
  Design.LogoSize = std::to_string(S.LogoSize);
  Error = ApplyDesign(
      Design, "--", [](const std::string& Path) { return LoadLogo(QString::fromStdString(Path)); },
      R.Style);
  if (!Error.empty()) {
    Err << kMe << Error << "\n";
    return false;
  }
  return true;
}
