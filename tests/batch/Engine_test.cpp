// The batch engine as the window drives it: rows held as text (a spreadsheet's copied cells),
// column mapping, the outcome as a value, the counters, the failed rows in order, cancelling, a
// loaded logo as the default, and the label sheet's preview drawn by the sink's own routine. The
// codes are read back by zbar, the sheet by poppler.
#include "batch/Batch.h"
#include "batch/SheetPage.h"
#include "render/Logo.h"
#include "support/OutsideReaders.h"
#include "support/TempFolder.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Sheets draw captions: the fonts need an application (offscreen, no display).
QGuiApplication& App() {
  static int Argc = 3;
  static char Name[] = "batch_tests", Platform[] = "-platform", Offscreen[] = "offscreen";
  static char* Argv[] = {Name, Platform, Offscreen, nullptr};
  static QGuiApplication Application(Argc, Argv);
  return Application;
}

std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}

// Cells as LibreOffice Calc puts them on the clipboard as text/plain: TAB between cells, CR LF
// between rows, a cell holding a tab or a line break in quotes. "Room" is no batch column (mapped
// to the ssid field), "Notes" is ignored, "KEY" is the key field in another case.
const char kPasted[] = "Room\tKEY\ttype\tNotes\r\n"
                       "Hall\tsecret-1\tWPA\tfirst floor\r\n"
                       "Lab\t\tnopass\t\"two\tcells\"\r\n"
                       "\"Loft\nEast\"\tsecret-3\tWPA\tx\r\n"
                       "Bad\tkey\tWEPX\t\r\n"
                       "Yard\tsecret-5\tWPA\t\r\n";

TBatchOptions PastedOptions(const fs::path& Out) {
  TBatchOptions Options;
  Options.Input = "pasted cells";
  Options.InputText = kPasted;
  Options.Separator = '\t';
  Options.Columns = {{"Room", "ssid"}, {"Notes", ""}};
  Options.Kind = TKind::Wifi;
  Options.OutFolder = Out;
  Options.Picture.Format = TOutputFormat::Png;
  Options.Picture.Scale = 4;
  Options.Jobs = 2;
  return Options;
}

TEST(BatchEngine, PastedCellsMappedMadeReadBackAndAccountedFor) {
  TTempFolder Folder;
  TBatchOptions Options = PastedOptions(Folder.Path() / "out");
  TBatchProgress Progress;
  Options.Progress = &Progress;
  std::vector<TRowResult> Rows;
  Options.OnRow = [&Rows](const TRowResult& R) { Rows.push_back(R); };
  std::ostringstream Err;
  const TBatchResult Result = RunBatch(Options, Err);

  EXPECT_EQ(Result.Outcome, TBatchOutcome::RowsFailed) << Err.str();
  EXPECT_EQ(Result.Made, 4);
  EXPECT_EQ(Result.Failed, 1);
  EXPECT_EQ(Result.Output, Folder.Path() / "out");
  EXPECT_EQ(Result.Manifest, Folder.Path() / "out" / "manifest.csv");
  EXPECT_TRUE(fs::exists(Result.Manifest));
  // Every row reported, in row order, the failed one with its reason; no "marbeck-cli: " prefix.
  ASSERT_EQ(Rows.size(), 5u);
  for (std::size_t I = 0; I < Rows.size(); ++I)
    EXPECT_EQ(Rows[I].Row, static_cast<long long>(I + 1));
  EXPECT_EQ(Rows[3].Line, 6); // the quoted line break counts
  EXPECT_NE(Rows[3].Error.find("type must be"), std::string::npos) << Rows[3].Error;
  EXPECT_EQ(Err.str().rfind("row 4 (line 6): ", 0), 0u) << Err.str();
  // The counters agree with the result, and the whole text was read.
  const TBatchProgress::TDone Done = Progress.Done();
  EXPECT_EQ(Done.Made, 4);
  EXPECT_EQ(Done.Failed, 1);
  EXPECT_EQ(Progress.RowsRead.load(), 5);
  EXPECT_GT(Progress.InputBytesAll.load(), 0u);
  EXPECT_EQ(Done.InputBytes, Progress.InputBytesAll.load());
  EXPECT_GT(Progress.BytesWritten.load(), 0u);
  EXPECT_TRUE(Progress.Finished.load());

  // zbar reads what the cells say (the Wi-Fi record as the window's page makes it, CR LF last):
  // the mapped column, the quoted line break, the empty key of an open network.
  const std::pair<const char*, const char*> Expected[] = {
      {"1.png", "WIFI:T:WPA;S:Hall;P:secret-1;;\r\n"},
      {"2.png", "WIFI:T:nopass;S:Lab;;\r\n"},
      {"5.png", "WIFI:T:WPA;S:Yard;P:secret-5;;\r\n"},
  };
  for (const auto& [File, Payload] : Expected) {
    const QImage Picture(QString::fromStdString((Options.OutFolder / File).string()));
    ASSERT_FALSE(Picture.isNull()) << File;
    EXPECT_EQ(DecodePicture(Picture).value_or("(nothing)"), Payload) << File;
  }
  const std::optional<std::string> Loft =
      DecodePicture(QImage(QString::fromStdString((Options.OutFolder / "3.png").string())));
  ASSERT_TRUE(Loft.has_value());
  EXPECT_NE(Loft->find("S:Loft"), std::string::npos) << *Loft;
  EXPECT_FALSE(fs::exists(Options.OutFolder / "4.png"));
}

// The same rows as a CSV file with the batch's own names make the same bytes.
TEST(BatchEngine, PastedCellsGiveTheBytesOfTheSameCsvFile) {
  TTempFolder Folder;
  const fs::path Csv = Folder.Path() / "rooms.csv";
  std::ofstream(Csv, std::ios::binary) << "ssid,key,type\n"
                                          "Hall,secret-1,WPA\n"
                                          "Lab,,nopass\n"
                                          "\"Loft\nEast\",secret-3,WPA\n"
                                          "Bad,key,WEPX\n"
                                          "Yard,secret-5,WPA\n";
  TBatchOptions FromFile = PastedOptions(Folder.Path() / "file");
  FromFile.InputText.reset();
  FromFile.Input = Csv.string();
  FromFile.Separator = ',';
  FromFile.Columns.clear();
  std::ostringstream Err;
  ASSERT_EQ(RunBatch(FromFile, Err).Outcome, TBatchOutcome::RowsFailed) << Err.str();
  ASSERT_EQ(RunBatch(PastedOptions(Folder.Path() / "text"), Err).Outcome,
            TBatchOutcome::RowsFailed);
  for (const char* File : {"1.png", "2.png", "3.png", "5.png", "manifest.csv"}) {
    const std::string Bytes = ReadAll(Folder.Path() / "file" / File);
    EXPECT_FALSE(Bytes.empty()) << File;
    EXPECT_EQ(Bytes, ReadAll(Folder.Path() / "text" / File)) << File;
  }
}

TEST(BatchEngine, RefusesUnknownAndMismappedColumnsBeforeAnyWork) {
  struct TCase {
    std::map<std::string, std::string, std::less<>> Columns;
    const char* Message;
  };
  const TCase Cases[] = {
      {{{"Room", "ssid"}}, "unknown column \"Notes\"\n"},
      {{{"Room", "ssid"}, {"Notes", "colour"}}, "column \"Notes\" is mapped to \"colour\""},
      // Two headers standing for one column.
      {{{"Room", "ssid"}, {"Notes", "Key"}}, "appears twice"},
  };
  for (const TCase& Case : Cases) {
    TTempFolder Folder;
    TBatchOptions Options = PastedOptions(Folder.Path() / "out");
    Options.Columns = Case.Columns;
    std::vector<TRowResult> Rows;
    Options.OnRow = [&Rows](const TRowResult& R) { Rows.push_back(R); };
    std::ostringstream Err;
    const TBatchResult Result = RunBatch(Options, Err);
    EXPECT_EQ(Result.Outcome, TBatchOutcome::CannotStart);
    EXPECT_NE(Err.str().find(Case.Message), std::string::npos) << Err.str();
    EXPECT_EQ(Err.str().rfind("pasted cells: ", 0), 0u) << Err.str();
    EXPECT_TRUE(Rows.empty());
    EXPECT_FALSE(fs::exists(Folder.Path() / "out"));
  }
}

// Cancel halfway: whole files only, and the manifest says where it stopped.
TEST(BatchEngine, CancelLeavesWholeFilesAndAManifestThatSaysSo) {
  TTempFolder Folder;
  // More rows than the engine reads ahead of the writer (8 chunks of 64 with two jobs), so that
  // the stop at row 100 comes before the last row is begun however the threads are scheduled.
  constexpr int kRows = 2000;
  std::string Text = "url\n";
  for (int I = 1; I <= kRows; ++I)
    Text += "https://example.org/badge/" + std::to_string(I) + "\n";
  TBatchOptions Options;
  Options.Input = "pasted";
  Options.InputText = Text;
  Options.Kind = TKind::Url;
  Options.OutFolder = Folder.Path() / "out.zip";
  Options.Jobs = 2;
  std::atomic<int> Stop{0};
  Options.Stop = &Stop;
  Options.OnRow = [&Stop](const TRowResult& R) {
    if (R.Row == 100) Stop.store(1);
  };
  std::ostringstream Err;
  const TBatchResult Result = RunBatch(Options, Err);
  ASSERT_EQ(Result.Outcome, TBatchOutcome::Interrupted) << Err.str();
  EXPECT_GE(Result.Made, 100);
  EXPECT_LT(Result.Made, kRows);
  const TToolRun Tested = RunTool("unzip", {"-tq", QString::fromStdString(Result.Output.string())});
  EXPECT_EQ(Tested.ExitCode, 0) << Tested.Out.toStdString();
  const TToolRun Manifest =
      RunTool("unzip", {"-p", QString::fromStdString(Result.Output.string()), "manifest.csv"});
  const std::string Lines = Manifest.Out.toStdString();
  EXPECT_NE(Lines.find("interrupted after " + std::to_string(Result.Made) + " of "),
            std::string::npos)
      << Lines.substr(Lines.size() > 200 ? Lines.size() - 200 : 0);
  const TToolRun List = RunTool("unzip", {"-Z1", QString::fromStdString(Result.Output.string())});
  EXPECT_EQ(static_cast<long long>(List.Out.count('\n')), Result.Made + 1); // and the manifest
}

TEST(BatchEngine, PreviewAndNamesAsTheBatchReadsThem) {
  TBatchOptions Options = PastedOptions("unused");
  const TBatchPreview Preview = PreviewBatch(Options, 3);
  EXPECT_EQ(Preview.Error, "");
  EXPECT_EQ(Preview.Header, (std::vector<std::string>{"Room", "KEY", "type", "Notes"}));
  ASSERT_EQ(Preview.Rows.size(), 3u);
  EXPECT_EQ(Preview.Rows[1][3], "two\tcells");
  EXPECT_EQ(Preview.Rows[2][0], "Loft\nEast");

  Options.InputText = "a\tb\nc\n";
  EXPECT_NE(PreviewBatch(Options, 5).Error.find("row 1 (line 2)"), std::string::npos);
  Options.InputText.reset();
  Options.Input = "/nonexistent/rows.csv";
  EXPECT_NE(PreviewBatch(Options, 5).Error.find("cannot open"), std::string::npos);

  EXPECT_EQ(BatchColumnName("Ssid").value_or(""), "ssid");
  EXPECT_EQ(BatchColumnName("Finder-Color").value_or(""), "finder-color");
  EXPECT_EQ(BatchColumnName("KIND").value_or(""), "kind");
  EXPECT_FALSE(BatchColumnName("Room").has_value());
  const std::vector<std::string_view> Names = BatchColumnNames();
  for (const std::string_view Name : {"kind", "file", "ssid", "iban", "logo"})
    EXPECT_NE(std::find(Names.begin(), Names.end(), Name), Names.end()) << Name;
}

// A logo the window has loaded is every row's default; a row's own logo cell overrides it.
TEST(BatchEngine, LoadedLogoIsTheDefaultAndARowsCellOverridesIt) {
  App();
  TTempFolder Folder;
  QImage Red(40, 40, QImage::Format_RGB32), Blue(40, 40, QImage::Format_RGB32);
  Red.fill(Qt::red);
  Blue.fill(Qt::blue);
  ASSERT_TRUE(Red.save(QString::fromStdString((Folder.Path() / "red.png").string())));
  ASSERT_TRUE(Blue.save(QString::fromStdString((Folder.Path() / "blue.png").string())));
  const TLogoLoad Loaded = LoadLogo(QString::fromStdString((Folder.Path() / "red.png").string()));
  ASSERT_TRUE(Loaded.Logo) << Loaded.Error.Utf8();

  TBatchOptions Options;
  Options.Input = "pasted";
  Options.InputText = "text,logo\nhello,\nworld,blue.png\n";
  Options.LogoFolder = Folder.Path();
  Options.Kind = TKind::Text;
  Options.OutFolder = Folder.Path() / "out";
  Options.Picture.Format = TOutputFormat::Png;
  Options.Picture.ECLevel = ecH;
  Options.Picture.Scale = 6;
  Options.Picture.Style.Logo = Loaded.Logo;
  Options.Picture.Style.LogoPercent = 10;
  std::ostringstream Err;
  ASSERT_EQ(RunBatch(Options, Err).Outcome, TBatchOutcome::Done) << Err.str();

  const QImage Hello(QString::fromStdString((Options.OutFolder / "1.png").string()));
  const QImage World(QString::fromStdString((Options.OutFolder / "2.png").string()));
  const QPoint Hmid(Hello.width() / 2, Hello.height() / 2);
  const QPoint Wmid(World.width() / 2, World.height() / 2);
  EXPECT_EQ(Hello.pixelColor(Hmid), QColor(Qt::red));
  EXPECT_EQ(World.pixelColor(Wmid), QColor(Qt::blue));
  EXPECT_EQ(DecodePicture(Hello).value_or(""), "hello");
  EXPECT_EQ(DecodePicture(World).value_or(""), "world");
}

// The preview painted into an image is the sheet's first page as poppler draws the PDF.
TEST(SheetPage, PreviewMatchesThePrintedFirstPage) {
  App();
  TTempFolder Folder;
  // Every other row asks for level H in its own cell: a larger symbol the preview must show too.
  std::string Text = "text,name,ec\n";
  for (int I = 1; I <= 30; ++I)
    Text += "badge " + std::to_string(I) + " of the spring meeting,Guest " + std::to_string(I) +
            (I % 2 ? ",\n" : ",H\n");
  TBatchOptions Options;
  Options.Input = "pasted";
  Options.InputText = Text;
  Options.Kind = TKind::Text;
  Options.Caption = "name";
  Options.Sheet = TSheetLayout{};
  Options.Sheet->Columns = 4;
  Options.Sheet->Rows = 6;
  Options.OutFolder = Folder.Path() / "badges.pdf";
  std::ostringstream Err;
  ASSERT_EQ(RunBatch(Options, Err).Outcome, TBatchOutcome::Done) << Err.str();

  // The dialog's way: the first page's codes as the batch makes them, painted with
  // PaintSheetPage.
  const TSheetCodes First = SheetCodesOf(Options, 24);
  ASSERT_EQ(First.Error, "");
  ASSERT_EQ(First.Codes.size(), 24u);
  EXPECT_EQ(First.Codes[23].Caption, "Guest 24");
  EXPECT_GT(First.Codes[1].Grid.Side, First.Codes[0].Grid.Side);
  const std::vector<TSheetCode>& Codes = First.Codes;
  const QSizeF Page = Options.Sheet->PageMm();
  constexpr double PxPerMm = 4.0;
  QImage Preview(qRound(Page.width() * PxPerMm), qRound(Page.height() * PxPerMm),
                 QImage::Format_RGB32);
  {
    QPainter Painter(&Preview);
    PaintSheetPage(Painter, PxPerMm, *Options.Sheet, Codes, /*Captions=*/true, qRgb(0, 0, 0));
  }
  const QImage Printed =
      RasterisePdfWithPoppler(Options.OutFolder, Preview.width(), Preview.height())
          .convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(Printed.isNull());
  // Dark and light agree everywhere but where an edge rounds to the next pixel: a pixel of the
  // preview differs only when no pixel next to it on the printed page is as dark or as light.
  auto Dark = [](const QImage& Image, int X, int Y) { return qGray(Image.pixel(X, Y)) < 128; };
  long long Differ = 0;
  for (int Y = 1; Y + 1 < Preview.height(); ++Y)
    for (int X = 1; X + 1 < Preview.width(); ++X) {
      bool Near = false;
      for (int Dy = -1; Dy <= 1 && !Near; ++Dy)
        for (int Dx = -1; Dx <= 1 && !Near; ++Dx)
          Near = Dark(Preview, X, Y) == Dark(Printed, X + Dx, Y + Dy);
      Differ += !Near;
    }
  EXPECT_LT(Differ, 500) << Differ << " pixels differ";
  // And each cell of the preview holds its own code: zbar reads the first and the last.
  for (const int Cell : {0, 23}) {
    const QSizeF CellMm = Options.Sheet->CellMm();
    const int Column = Cell % 4, Line = Cell / 4;
    const QRect Box(qRound((Options.Sheet->MarginXMm + Column * (CellMm.width() + 2.5)) * PxPerMm),
                    qRound((Options.Sheet->MarginYMm + Line * CellMm.height()) * PxPerMm),
                    qRound(CellMm.width() * PxPerMm), qRound(CellMm.height() * PxPerMm));
    EXPECT_EQ(DecodePicture(Preview.copy(Box)).value_or(""),
              "badge " + std::to_string(Cell + 1) + " of the spring meeting");
  }
}

} // namespace
