// marbeck-cli: the codes of the window's pages from the shell, one at a time or in batches from
// a CSV file. No window and no display: only QtGui's images and painters are used.
#include "batch/Fields.h"
#include "batch/Options.h"
#include "batch/Picture.h"
#include "cli/BatchRun.h"
#include "cli/Decode.h"
#include "cli/ExitStatus.h"
#include "cli/Single.h"
#include "cli/StyleOptions.h"
#include "platform/Memory.h"
#include "platform/TextFile.h"
#include "platform/Unicode.h"
#include "render/Code.h"
#include "render/LibraryNotes.h"
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

// The ten single-code commands (text, url, email, vcard, wifi, phone, sms, geo, event, pay).
struct TSingleCommand {
  TKind Kind;
  CLI::App* App;
  TStyleText Style;
  std::string Output;
  std::map<std::string, std::string> Given; // field name -> value
};

const std::pair<TKind, const char*> kSingleKinds[] = {
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

// A kind of one field takes it as an argument (marbeck-cli url ADDRESS), not as an option.
bool Positional(TKind Kind) {
  return FieldsOfKind(Kind).size() == 1;
}

std::vector<std::unique_ptr<TSingleCommand>> AddSingleCommands(CLI::App& App) {
  std::vector<std::unique_ptr<TSingleCommand>> Commands;
  for (const auto& [Kind, Description] : kSingleKinds) {
    auto C = std::make_unique<TSingleCommand>();
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
  return Commands;
}

int RunSingleCommand(const TSingleCommand& C) {
  TFieldValues Values;
  for (const auto& [Name, Value] : C.Given)
    if (C.App->count(Positional(C.Kind) ? Name : "--" + Name)) Values[Name] = Value;
  return RunSingle(C.Kind, std::move(Values), C.Style, C.Output);
}

// marbeck-cli batch, its options as given.
struct TBatchCommand {
  CLI::App* App = nullptr;
  TBatchOptions Options;
  TStyleText Style;
  std::string Kind, Out, Sheet, Grid = "3x8", LogoFolder;
  TSheetLayout Layout;
};

void AddSheetOptions(TBatchCommand& B) {
  CLI::App* BatchApp = B.App;
  TSheetLayout& Layout = B.Layout;
  BatchApp->add_option("--sheet", B.Sheet,
                       "A4|letter: label sheets, every code in a cell of a grid on the pages of "
                       "one vector PDF (--out NAME.pdf)");
  BatchApp->add_option("--grid", B.Grid, "label sheets: COLSxROWS cells a page (default 3x8)");
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
  BatchApp->add_option("--caption", B.Options.Caption,
                       "label sheets: a line of text under each code, the row's cell of this "
                       "column (any column), shrunk to fit its cell");
}

void AddBatchCommand(CLI::App& App, TBatchCommand& B) {
  B.Style.Format = "svg";
  B.Options.Jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  B.App = App.add_subcommand(
      "batch", "one code per row of a CSV file (RFC 4180, UTF-8, a header row naming the columns: "
               "kind, file, and the field options' names without --, such as url, ssid, "
               "first-name)");
  CLI::App* BatchApp = B.App;
  BatchApp->footer(kExitStatuses);
  BatchApp->add_option("FILE", B.Options.Input, "the CSV file; - reads standard input")->required();
  BatchApp
      ->add_option("--out", B.Out,
                   "the folder for the codes and manifest.csv; NAME.zip: one ZIP archive of the "
                   "codes and manifest.csv; with --sheet, NAME.pdf")
      ->required();
  BatchApp->add_option(
      "--kind", B.Kind,
      "text|url|email|vcard|wifi|phone|sms|geo|event|pay for rows without a kind column");
  BatchApp->add_option("--format", B.Style.Format,
                       "png|svg|pdf (default svg); a file column's .png/.svg/.pdf decides per row");
  BatchApp->add_option("--jobs", B.Options.Jobs, "worker threads (default: hardware threads)")
      ->check(NumberIn(1, 256));
  BatchApp->add_flag("--force", B.Options.Force, "replace existing files and manifest.csv");
  B.App->add_option("--logo-dir", B.LogoFolder,
                    "the folder the logo column's paths are taken from and must stay inside "
                    "(default: the CSV file's folder; for standard input the current folder)");
  BatchApp->add_flag("--durable", B.Options.Durable,
                     "flush every file to the disk before it takes its name (much slower; the "
                     "batch always flushes everything once before manifest.csv is written)");
  AddSheetOptions(B);
  AddStyleOptions(BatchApp, B.Style);
}

// marbeck-cli decode, its options as given.
struct TDecodeCommand {
  CLI::App* App = nullptr;
  TDecodeOptions Options;
  bool Json = false, Csv = false;
};

void AddDecodeCommand(CLI::App& App, TDecodeCommand& D) {
  D.App = App.add_subcommand(
      "decode", "read the QR codes in picture files (PNG, JPEG, BMP, GIF, SVG) back: each code's "
                "text, or its kind and fields");
  D.App->footer(R"(Exit status:
  0  every file held a code
  1  a file could not be read as a picture or holds no QR code (the others are written)
  2  usage error)");
  D.App->add_option("FILE", D.Options.Files, "the picture files")->required();
  CLI::Option* JsonOption = D.App->add_flag(
      "--json", D.Json,
      "one JSON object a line: file, kind, fields, not_kept, version, inverted, bytes, encoding, "
      "payload");
  D.App
      ->add_flag("--as-csv", D.Csv,
                 "CSV in the batch's columns (kind, file, the fields), to make the codes again "
                 "with marbeck-cli batch")
      ->excludes(JsonOption);
}

int RunDecodeCommand(TDecodeCommand& D) {
  D.Options.Output = D.Json  ? TDecodeOutput::Json
                     : D.Csv ? TDecodeOutput::Csv
                             : TDecodeOutput::Payload;
  return RunDecode(D.Options, std::cout, std::cerr);
}

// A usage error from the parser, said on standard error.
int ReportParseError(CLI::App& App, const CLI::ParseError& E, int argc, char** argv) {
  if (E.get_exit_code() == 0) return App.exit(E);
  if (App.get_subcommands().empty()) {
    // No command was recognised: name the word taken for one, and the commands there are.
    std::string Word;
    for (int I = 1; I < argc && Word.empty(); ++I)
      if (argv[I][0] != '-') Word = argv[I];
    std::string Names;
    for (const auto& [Kind, Description] : kSingleKinds)
      Names += std::string(KindName(Kind)) + ", ";
    std::cerr << kMe
              << (Word.empty() ? std::string("a command is needed")
                               : "unknown command \"" + Word + "\"")
              << ": " << Names << "batch or decode (see --help)\n";
    return kExitUsage;
  }
  std::cerr << kMe << E.what() << " (see --help)\n";
  return kExitUsage;
}

// --sheet, --grid and --out NAME.pdf checked into B.Options.Sheet; false after a usage error.
bool ReadSheetLayout(TBatchCommand& B) {
  TSheetLayout& Layout = B.Layout;
  if (EqualIgnoringAsciiCase(B.Sheet, "a4"))
    Layout.Paper = TPaper::A4;
  else if (EqualIgnoringAsciiCase(B.Sheet, "letter"))
    Layout.Paper = TPaper::Letter;
  else {
    std::cerr << kMe << "--sheet: \"" << B.Sheet << "\" (A4 or letter)\n";
    return false;
  }
  char X = 0, End = 0;
  if (std::sscanf(B.Grid.c_str(), "%d%c%d%c", &Layout.Columns, &X, &Layout.Rows, &End) != 3 ||
      (X != 'x' && X != 'X') || Layout.Columns < 1 || Layout.Rows < 1 || Layout.Columns > 50 ||
      Layout.Rows > 50) {
    std::cerr << kMe << "--grid: \"" << B.Grid << "\" (COLSxROWS, such as 3x8, 1 to 50 each)\n";
    return false;
  }
  if (!FormatOfPath(B.Out) || *FormatOfPath(B.Out) != TOutputFormat::Pdf) {
    std::cerr << kMe << "--sheet writes one PDF: give --out NAME.pdf\n";
    return false;
  }
  B.Options.Sheet = Layout;
  return true;
}

// Text in SVG logos and pictures, and the sheets' captions, are measured and drawn in the
// system's fonts, which Qt offers only with an application object: one on the offscreen
// platform, which needs no display. What Qt and the libraries it reads pictures with say goes
// into the program's own one-line messages; the platform's start-up notes (no runtime folder ...)
// go nowhere.
std::unique_ptr<QGuiApplication> StartFonts() {
  static int Argc = 3;
  static char Program[] = "marbeck-cli", Platform[] = "-platform", Offscreen[] = "offscreen";
  static char* Argv[] = {Program, Platform, Offscreen, nullptr};
  CollectLibraryNotes();
  auto Fonts = std::make_unique<QGuiApplication>(Argc, Argv);
  TakeLibraryNote();
  return Fonts;
}

int RunBatchCommand(TBatchCommand& B) {
  TBatchOptions& Batch = B.Options;
  if (!BuildRequest(B.Style, Batch.Picture, std::cerr)) return kExitUsage;
  const std::optional<TOutputFormat> Format = FormatFromName(B.Style.Format);
  if (!Format || *Format == TOutputFormat::Utf8) {
    std::cerr << kMe << "--format: \"" << B.Style.Format << "\" (png, svg or pdf)\n";
    return kExitUsage;
  }
  Batch.Picture.Format = *Format;
  if (!B.Kind.empty()) {
    Batch.Kind = KindFromName(B.Kind);
    if (!Batch.Kind) {
      std::cerr << kMe << "--kind: unknown kind \"" << B.Kind << "\"\n";
      return kExitUsage;
    }
  }
  Batch.OutFolder = B.Out;
  Batch.LogoFolder = B.LogoFolder;
  if (!B.Sheet.empty()) {
    if (!ReadSheetLayout(B)) return kExitUsage;
  } else {
    for (const char* Option :
         {"--grid", "--margin-x", "--margin-y", "--gap-x", "--gap-y", "--caption"})
      if (B.App->count(Option)) {
        std::cerr << kMe << Option << " is for label sheets (--sheet)\n";
        return kExitUsage;
      }
  }
  Batch.Stop = &GStop;
  CatchStopSignals();
  return RunBatchWithBar(Batch, ::isatty(STDERR_FILENO) != 0, std::cerr);
}

int Main(int argc, char** argv) {
  CLI::App App{"marbeck-cli: QR codes of text, web addresses, eMail links, vCards, Wi-Fi "
               "networks, phone numbers, text messages, places, events and SEPA payments, one at "
               "a time or in batches from CSV files.",
               "marbeck-cli"};
  App.set_version_flag("--version", std::string("marbeck-cli ") + MARBECK_VERSION);
  App.require_subcommand(1);
  App.footer(kExitStatuses);
  const std::vector<std::unique_ptr<TSingleCommand>> Commands = AddSingleCommands(App);
  TBatchCommand Batch;
  AddBatchCommand(App, Batch);
  TDecodeCommand Decode;
  AddDecodeCommand(App, Decode);

  try {
    App.parse(argc, argv);
  } catch (const CLI::ParseError& E) {
    return ReportParseError(App, E, argc, argv);
  }
  const std::unique_ptr<QGuiApplication> Fonts = StartFonts();
  for (const auto& C : Commands)
    if (C->App->parsed()) return RunSingleCommand(*C);
  if (Decode.App->parsed()) return RunDecodeCommand(Decode);
  return RunBatchCommand(Batch);
}

} // namespace

int main(int argc, char** argv) {
  KeepFreedMemoryForReuse();
  return Main(argc, argv);
}
