// marbeck-cli: the codes of the window's pages from the shell, one at a time or in batches from
// a CSV file. No window and no display: only QtGui's images and painters are used.
#include "cli/Batch.h"
#include "cli/Decode.h"
#include "cli/Fields.h"
#include "cli/Options.h"
#include "cli/Picture.h"
#include "platform/Memory.h"
#include "platform/TextFile.h"
#include "platform/Unicode.h"
#include "render/Code.h"
#include "render/Logo.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <QString>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>
#include <type_traits>
#include <unistd.h>

#ifndef MARBECK_VERSION
#define MARBECK_VERSION "unknown"
#endif

namespace {

const char* const kMe = "marbeck-cli: ";

// Set by SIGINT and SIGTERM during a batch; the handler does nothing else.
std::atomic<int> GStop{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

extern "C" void OnStopSignal(int Signal) {
  GStop.store(Signal);
}

// SIGINT and SIGTERM set GStop instead of ending the program, once: a second one ends it. A
// signal ignored when the program started (a background job of a shell without job control)
// stays ignored.
void CatchStopSignals() {
  for (const int Signal : {SIGINT, SIGTERM}) {
    struct sigaction Old {};
    if (::sigaction(Signal, nullptr, &Old) != 0 || Old.sa_handler == SIG_IGN) continue;
    struct sigaction New {};
    New.sa_handler = OnStopSignal;
    sigemptyset(&New.sa_mask);
    New.sa_flags = SA_RESETHAND;
    ::sigaction(Signal, &New, nullptr);
  }
}

const char* const kExitStatuses = R"(Exit status:
  0  every code was made
  1  a code could not be made or written (a batch: at least one row failed; the others
     were made and manifest.csv says which)
  2  usage error: unknown option or column, missing field, bad value, unreadable input
  3  --verify: the picture did not read back as exactly the payload's bytes, or its
     colours fail the contrast check (nothing is written)
130  a batch interrupted by SIGINT or SIGTERM (manifest.csv lists the rows made))";

// The style options every command shares, as raw text until they are checked.
struct TStyleText {
  std::string Encoding = "auto";
  std::string ECLevel = "L";
  bool Boost = false;
  int QuietZone = 4;
  int Scale = 8;
  double MmPerModule = 1.0;
  std::string Dark = "#000000";
  std::string Light = "#ffffff";
  int Frame = -1; // -1: no frame marks
  std::string FrameColor = "#000000";
  std::string Format;
  bool Verify = false;
  std::string Ink = "light";
  TDesignText Design;
  int LogoSize = kDefaultLogoPercent;
};

// A number from Min to Max. Text that is no number, NaN and infinities included, is "not a
// number" rather than out of range.
template <typename T> CLI::Validator NumberIn(T Min, T Max) {
  std::ostringstream Range;
  Range << Min << " to " << Max;
  return CLI::Validator(
      [Min, Max, Bounds = Range.str()](std::string& Text) -> std::string {
        T Value{};
        bool Ok = CLI::detail::lexical_cast(Text, Value);
        if constexpr (std::is_floating_point_v<T>) Ok = Ok && std::isfinite(Value);
        if (!Ok) return "\"" + Text + "\" is not a number";
        if (Value < Min || Value > Max) return Text + " is not in the range " + Bounds;
        return "";
      },
      "in [" + Range.str() + "]");
}

void AddStyleOptions(CLI::App* Command, TStyleText& S) {
  Command->add_option("--encoding", S.Encoding,
                      "auto|numeric|alphanumeric|iso-8859-1|utf-8|utf-8-bom (default auto; "
                      "utf-8-bom puts EF BB BF first)");
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

// The checked request, or a usage error on Err.
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

bool ReadStandardInput(std::string& Bytes) {
  Bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  return !std::cin.bad();
}

// A kind of one field takes it as an argument (marbeck-cli url ADDRESS), not as an option.
bool Positional(TKind Kind) {
  return FieldsOfKind(Kind).size() == 1;
}

// One code: payload, picture, and where it goes.
int RunSingle(TKind Kind, TFieldValues Values, const TStyleText& S, const std::string& Output) {
  TPictureRequest Request;
  if (!BuildRequest(S, Request, std::cerr)) return kExitUsage;

  if (Kind == TKind::Text && Values["text"] == "-") {
    if (!ReadStandardInput(Values["text"])) {
      std::cerr << kMe << "cannot read standard input\n";
      return kExitRowsFailed;
    }
  }
  const TPayloadResult Payload = MakePayload(Kind, Values);
  if (!Payload.Error.empty()) {
    std::cerr << kMe << Payload.Error << "\n";
    return kExitUsage;
  }
  if (!Payload.Warning.empty()) std::cerr << kMe << "warning: " << Payload.Warning << "\n";

  // The format: --format, else the file's extension; with no -o, the terminal drawing.
  std::optional<TOutputFormat> Format;
  if (!S.Format.empty()) {
    Format = FormatFromName(S.Format);
    if (!Format) {
      std::cerr << kMe << "--format: unknown format \"" << S.Format << "\" (png, svg, pdf, utf8)\n";
      return kExitUsage;
    }
  }
  const bool ToStdout = Output.empty() || Output == "-";
  if (!ToStdout) {
    const std::optional<TOutputFormat> Named = FormatOfPath(Output);
    if (Format && Named && *Format != *Named) {
      std::cerr << kMe << "--format " << S.Format << " does not match the name " << Output << "\n";
      return kExitUsage;
    }
    if (!Format) Format = Named;
    if (!Format) {
      std::cerr << kMe << "cannot tell the format of " << Output
                << " (name it .png, .svg or .pdf, or give --format)\n";
      return kExitUsage;
    }
  } else if (!Format) {
    if (Output.empty() && ::isatty(STDOUT_FILENO)) {
      Format = TOutputFormat::Utf8;
    } else {
      std::cerr << kMe
                << "standard output is not a terminal: give -o FILE, or --format "
                   "png|svg|pdf|utf8\n";
      return kExitUsage;
    }
  }
  if (ToStdout && (*Format == TOutputFormat::Png || *Format == TOutputFormat::Pdf) &&
      ::isatty(STDOUT_FILENO)) {
    std::cerr << kMe << "not writing " << (*Format == TOutputFormat::Png ? "PNG" : "PDF")
              << " data to a terminal (use -o FILE or a pipe)\n";
    return kExitUsage;
  }
  if (*Format == TOutputFormat::Utf8 && Request.Style.Designed()) {
    std::cerr << kMe << kTerminalRefusesDesign << "\n";
    return kExitUsage;
  }
  Request.Format = *Format;
  Request.Title = "QR code (" + std::string(KindName(Kind)) + ")";
  Request.Encoding = KindEncoding(Kind, Request.Encoding, Payload.Payload);
  Request.ECLevel = std::max(Request.ECLevel, static_cast<TQRCodeECLevel>(Payload.LowestLevel));

  const TPicture Picture = MakePicture(Payload.Payload, Request);
  if (!Picture.Error.empty()) {
    std::cerr << kMe << Picture.Error << "\n";
    return kExitRowsFailed;
  }
  if (Picture.Verified == TVerifyState::Failed) {
    std::cerr << kMe << "not verified: " << Picture.VerifyReason << "\n";
    return kExitNotVerified;
  }
  if (!Picture.Warning.empty()) std::cerr << kMe << "warning: " << Picture.Warning << "\n";

  if (ToStdout) {
    std::cout.write(Picture.Bytes.data(), static_cast<std::streamsize>(Picture.Bytes.size()));
    std::cout.flush();
    if (!std::cout) {
      std::cerr << kMe << "cannot write to standard output\n";
      return kExitRowsFailed;
    }
    return kExitOk;
  }
  const TWriteResult Written = WriteFileAtomic(Output, Picture.Bytes);
  if (!Written.Ok) {
    std::cerr << kMe << "cannot write " << Output << ": " << Written.Error << "\n";
    return kExitRowsFailed;
  }
  return kExitOk;
}

int Main(int argc, char** argv) {
  CLI::App App{"marbeck-cli: QR codes of text, web addresses, eMail links, vCards, Wi-Fi "
               "networks, phone numbers, text messages, places, events and SEPA payments, one at "
               "a time or in batches from CSV files.",
               "marbeck-cli"};
  App.set_version_flag("--version", std::string("marbeck-cli ") + MARBECK_VERSION);
  App.require_subcommand(1);
  App.footer(kExitStatuses);

  struct TCommand {
    TKind Kind;
    CLI::App* App;
    TStyleText Style;
    std::string Output;
    std::map<std::string, std::string> Given; // field name -> value
  };
  std::vector<std::unique_ptr<TCommand>> Commands;
  const std::pair<TKind, const char*> Kinds[] = {
      {TKind::Text, "a plain text (TEXT, or - to read standard input)"},
      {TKind::Url, "a web address"},
      {TKind::Email, "a mailto: link with subject and message"},
      {TKind::VCard, "a contact as a vCard 4.0 record"},
      {TKind::Wifi, "the network record phones join a Wi-Fi network with"},
      {TKind::Phone, "a phone number to call (a tel: link, NUMBER as dialled)"},
      {TKind::Sms, "a text message to send (SMSTO:)"},
      {TKind::Geo, "a place on the map (a geo: link)"},
      {TKind::Event, "a calendar event (an iCalendar VEVENT, times in local time)"},
      {TKind::Pay, "a SEPA credit transfer (the EPC QR code banking apps read; level M at least)"}};
  for (const auto& [Kind, Description] : Kinds) {
    auto C = std::make_unique<TCommand>();
    C->Kind = Kind;
    C->App = App.add_subcommand(std::string(KindName(Kind)), Description);
    C->App->footer(kExitStatuses);
    for (const TFieldInfo& Field : AllFields()) {
      if (!Field.Of(Kind)) continue;
      std::string& Slot = C->Given[std::string(Field.Name)];
      if (Positional(Kind))
        C->App->add_option(std::string(Field.Name), Slot, std::string(Field.Help))->required();
      else if (Field.Flag)
        C->App->add_flag("--" + std::string(Field.Name), Slot, std::string(Field.Help));
      else
        C->App->add_option("--" + std::string(Field.Name), Slot, std::string(Field.Help));
    }
    C->App->add_option("-o,--output", C->Output,
                       "FILE.png, FILE.svg or FILE.pdf; - for standard output; without it the "
                       "code is drawn in the terminal");
    C->App->add_option("--format", C->Style.Format,
                       "png|svg|pdf|utf8 (utf8: the terminal drawing in half blocks)");
    C->App->add_option("--ink", C->Style.Ink,
                       "terminal drawing: light (default; the text colour draws the light "
                       "modules, for light text on a dark background) or dark");
    AddStyleOptions(C->App, C->Style);
    Commands.push_back(std::move(C));
  }

  TBatchOptions Batch;
  TStyleText BatchStyle;
  BatchStyle.Format = "svg";
  std::string BatchKind, BatchOut;
  Batch.Jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  CLI::App* BatchApp = App.add_subcommand(
      "batch", "one code per row of a CSV file (RFC 4180, UTF-8, a header row naming the columns: "
               "kind, file, and the field options' names without --, such as url, ssid, "
               "first-name)");
  BatchApp->footer(kExitStatuses);
  BatchApp->add_option("FILE", Batch.Input, "the CSV file; - reads standard input")->required();
  BatchApp
      ->add_option("--out", BatchOut,
                   "the folder for the codes and manifest.csv; NAME.zip: one ZIP archive of the "
                   "codes and manifest.csv; with --sheet, NAME.pdf")
      ->required();
  BatchApp->add_option(
      "--kind", BatchKind,
      "text|url|email|vcard|wifi|phone|sms|geo|event|pay for rows without a kind column");
  BatchApp->add_option("--format", BatchStyle.Format,
                       "png|svg|pdf (default svg); a file column's .png/.svg/.pdf decides per row");
  BatchApp->add_option("--jobs", Batch.Jobs, "worker threads (default: hardware threads)")
      ->check(NumberIn(1, 256));
  BatchApp->add_flag("--force", Batch.Force, "replace existing files and manifest.csv");
  BatchApp->add_flag("--durable", Batch.Durable,
                     "flush every file to the disk before it takes its name (much slower; the "
                     "batch always flushes everything once before manifest.csv is written)");
  std::string Sheet, Grid = "3x8";
  TSheetLayout Layout;
  BatchApp->add_option("--sheet", Sheet,
                       "A4|letter: label sheets, every code in a cell of a grid on the pages of "
                       "one vector PDF (--out NAME.pdf)");
  BatchApp->add_option("--grid", Grid, "label sheets: COLSxROWS cells a page (default 3x8)");
  BatchApp
      ->add_option("--margin-x", Layout.MarginXMm,
                   "label sheets: left and right page margin "
                   "in mm (default 7.2)")
      ->check(NumberIn(0.0, 200.0));
  BatchApp
      ->add_option("--margin-y", Layout.MarginYMm,
                   "label sheets: top and bottom page margin "
                   "in mm (default 12.9)")
      ->check(NumberIn(0.0, 200.0));
  BatchApp
      ->add_option("--gap-x", Layout.GapXMm,
                   "label sheets: gap between columns in mm "
                   "(default 2.5)")
      ->check(NumberIn(0.0, 200.0));
  BatchApp
      ->add_option("--gap-y", Layout.GapYMm,
                   "label sheets: gap between rows in mm "
                   "(default 0)")
      ->check(NumberIn(0.0, 200.0));
  BatchApp->add_option("--caption", Batch.Caption,
                       "label sheets: a line of text under each code, the row's cell of this "
                       "column (any column), shrunk to fit its cell");
  AddStyleOptions(BatchApp, BatchStyle);

  TDecodeOptions Decode;
  bool DecodeJson = false, DecodeCsv = false;
  CLI::App* DecodeApp = App.add_subcommand(
      "decode", "read the QR codes in picture files (PNG, JPEG, BMP, GIF, SVG) back: each code's "
                "text, or its kind and fields");
  DecodeApp->footer(R"(Exit status:
  0  every file held a code
  1  a file could not be read as a picture or holds no QR code (the others are written)
  2  usage error)");
  DecodeApp->add_option("FILE", Decode.Files, "the picture files")->required();
  CLI::Option* JsonOption = DecodeApp->add_flag(
      "--json", DecodeJson,
      "one JSON object a line: file, kind, fields, not_kept, version, bytes, encoding, payload");
  DecodeApp
      ->add_flag("--as-csv", DecodeCsv,
                 "CSV in the batch's columns (kind, file, the fields), to make the codes again "
                 "with marbeck-cli batch")
      ->excludes(JsonOption);

  try {
    App.parse(argc, argv);
  } catch (const CLI::ParseError& E) {
    if (E.get_exit_code() == 0) return App.exit(E);
    if (App.get_subcommands().empty()) {
      // No command was recognised: name the word taken for one, and the commands there are.
      std::string Word;
      for (int I = 1; I < argc && Word.empty(); ++I)
        if (argv[I][0] != '-') Word = argv[I];
      std::string Names;
      for (std::size_t I = 0; I < std::size(Kinds); ++I)
        Names += std::string(KindName(Kinds[I].first)) + ", ";
      std::cerr << kMe
                << (Word.empty() ? std::string("a command is needed")
                                 : "unknown command \"" + Word + "\"")
                << ": " << Names << "batch or decode (see --help)\n";
      return kExitUsage;
    }
    std::cerr << kMe << E.what() << " (see --help)\n";
    return kExitUsage;
  }

  for (const auto& C : Commands) {
    if (!C->App->parsed()) continue;
    TFieldValues Values;
    for (const auto& [Name, Value] : C->Given)
      if (C->App->count(Positional(C->Kind) ? Name : "--" + Name)) Values[Name] = Value;
    return RunSingle(C->Kind, std::move(Values), C->Style, C->Output);
  }

  if (DecodeApp->parsed()) {
    Decode.Output = DecodeJson  ? TDecodeOutput::Json
                    : DecodeCsv ? TDecodeOutput::Csv
                                : TDecodeOutput::Payload;
    return RunDecode(Decode, std::cout, std::cerr);
  }

  // The batch.
  if (!BuildRequest(BatchStyle, Batch.Picture, std::cerr)) return kExitUsage;
  const std::optional<TOutputFormat> Format = FormatFromName(BatchStyle.Format);
  if (!Format || *Format == TOutputFormat::Utf8) {
    std::cerr << kMe << "--format: \"" << BatchStyle.Format << "\" (png, svg or pdf)\n";
    return kExitUsage;
  }
  Batch.Picture.Format = *Format;
  if (!BatchKind.empty()) {
    Batch.Kind = KindFromName(BatchKind);
    if (!Batch.Kind) {
      std::cerr << kMe << "--kind: unknown kind \"" << BatchKind << "\"\n";
      return kExitUsage;
    }
  }
  Batch.OutFolder = BatchOut;
  std::unique_ptr<QGuiApplication> Fonts; // captions are measured and drawn in the system's fonts
  if (!Sheet.empty()) {
    if (EqualIgnoringAsciiCase(Sheet, "a4"))
      Layout.Paper = TPaper::A4;
    else if (EqualIgnoringAsciiCase(Sheet, "letter"))
      Layout.Paper = TPaper::Letter;
    else {
      std::cerr << kMe << "--sheet: \"" << Sheet << "\" (A4 or letter)\n";
      return kExitUsage;
    }
    char X = 0, End = 0;
    if (std::sscanf(Grid.c_str(), "%d%c%d%c", &Layout.Columns, &X, &Layout.Rows, &End) != 3 ||
        (X != 'x' && X != 'X') || Layout.Columns < 1 || Layout.Rows < 1 || Layout.Columns > 50 ||
        Layout.Rows > 50) {
      std::cerr << kMe << "--grid: \"" << Grid << "\" (COLSxROWS, such as 3x8, 1 to 50 each)\n";
      return kExitUsage;
    }
    if (!FormatOfPath(BatchOut) || *FormatOfPath(BatchOut) != TOutputFormat::Pdf) {
      std::cerr << kMe << "--sheet writes one PDF: give --out NAME.pdf\n";
      return kExitUsage;
    }
    Batch.Sheet = Layout;
    static int Argc = 3;
    static char Program[] = "marbeck-cli", Platform[] = "-platform", Offscreen[] = "offscreen";
    static char* Argv[] = {Program, Platform, Offscreen, nullptr};
    // Quietly: the offscreen platform's start-up notes (no runtime folder ...) concern no one here.
    const QtMessageHandler Old =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    Fonts = std::make_unique<QGuiApplication>(Argc, Argv);
    qInstallMessageHandler(Old);
  } else {
    for (const char* Option :
         {"--grid", "--margin-x", "--margin-y", "--gap-x", "--gap-y", "--caption"})
      if (BatchApp->count(Option)) {
        std::cerr << kMe << Option << " is for label sheets (--sheet)\n";
        return kExitUsage;
      }
  }
  Batch.Progress = ::isatty(STDERR_FILENO) != 0;
  Batch.Stop = &GStop;
  CatchStopSignals();
  return RunBatch(Batch, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
  KeepFreedMemoryForReuse();
  return Main(argc, argv);
}
