// Where a batch's codes go: files in a folder made nameless and linked into place (and the
// temporary-name fallback), one ZIP archive read by unzip, label sheets read by poppler, and a
// batch split over two GNU parallel workers.
#include "CliRun.h"

#include <QImage>
#include <algorithm>
#include <csignal>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs Command in Folder through the shell; its standard output, or nullopt when it failed.
std::optional<std::string> Shell(const fs::path& Folder, const std::string& Command) {
  const std::string Full =
      "cd " + ShellQuote(Folder.string()) + " && (" + Command + ") >.shell 2>/dev/null";
  if (std::system(Full.c_str()) != 0) return std::nullopt;
  return ReadFile(Folder / ".shell");
}

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> Out;
  std::istringstream In(Text);
  for (std::string Line; std::getline(In, Line);)
    Out.push_back(Line);
  return Out;
}

// Every regular file of Folder, by name, with its bytes (hidden ones too).
std::map<std::string, std::string> Contents(const fs::path& Folder) {
  std::map<std::string, std::string> Out;
  for (const auto& E : fs::directory_iterator(Folder))
    if (E.is_regular_file()) Out[E.path().filename().string()] = ReadFile(E.path());
  return Out;
}

// Rows of all five kinds, some named by a file column (PNG among SVG), one failing.
std::string MixedCsv(int Rows) {
  std::string Csv = "kind,file,url,text,ssid,key\n";
  for (int I = 1; I <= Rows; ++I) {
    const std::string N = std::to_string(I);
    if (I == 7) {
      Csv += "fax,bad,,,,\n"; // an unknown kind: reported, not made
    } else if (I % 3 == 0) {
      Csv += "url,u" + N + ".png,https://example.org/item/" + N + ",,,\n";
    } else if (I % 3 == 1) {
      Csv += "text,t" + N + ",,\"Row " + N + " " +
             std::string(static_cast<std::size_t>(I * 7), 'z') + "\",,\n";
    } else {
      Csv += "wifi,w" + N + ",,,Net" + N + ",passkey" + N + "\n";
    }
  }
  return Csv;
}

// What a reader must find in row I of MixedCsv.
std::string MixedPayload(int I) {
  const std::string N = std::to_string(I);
  if (I % 3 == 0) return "https://example.org/item/" + N;
  if (I % 3 == 1) return "Row " + N + " " + std::string(static_cast<std::size_t>(I * 7), 'z');
  return "WIFI:T:WPA;S:Net" + N + ";P:passkey" + N + ";;\r\n";
}

// ---- files in a folder ----

// Both ways of writing a file (nameless and linked, or under a temporary name and renamed) give
// the same files, when the folder is new and when --force replaces what is there.
TEST(CliBatchFiles, TheFallbackMakesTheSameFiles) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "in.csv", MixedCsv(60));
  std::map<std::string, std::string> Seen[2];
  for (const int Fallback : {0, 1}) {
    const std::string Out = "out" + std::to_string(Fallback);
    const std::string Env = "MARBECK_NO_TMPFILE=" + std::to_string(Fallback);
    const std::string Run = "env " + Env + " " + ShellQuote(MARBECK_CLI) + " batch in.csv --out " +
                            Out + " --jobs 2 --scale 2";
    EXPECT_FALSE(Shell(Folder.Path(), Run)) << "row 7 fails"; // exit 1
    WriteFile(Folder.Path() / Out / "u3.png", "old");
    ASSERT_EQ(::chmod((Folder.Path() / Out / "u3.png").c_str(), 0604), 0);
    EXPECT_FALSE(Shell(Folder.Path(), Run + " --force"));
    Seen[Fallback] = Contents(Folder.Path() / Out);
    struct stat St {};
    ASSERT_EQ(::stat((Folder.Path() / Out / "u3.png").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0604u) << "a replaced file keeps its permissions";
  }
  EXPECT_EQ(Seen[0].size(), 60u); // 59 codes and the manifest, nothing hidden
  EXPECT_TRUE(Seen[0] == Seen[1]);
  EXPECT_EQ(DecodeFile(Folder.Path() / "out1" / "u3.png"), MixedPayload(3));
}

// A batch killed outright (SIGKILL, no chance to clean up) leaves only complete codes under
// their names; made nameless, it leaves no temporary file either. The fallback may leave
// temporary files, and the next batch into the folder removes them.
TEST(CliBatchFiles, AKilledBatchLeavesOnlyCompleteFiles) {
  TTempFolder Folder;
  std::string Csv = "kind,url\n";
  for (int I = 0; I < 60000; ++I)
    Csv += "url,https://example.org/item/" + std::to_string(I) + "\n";
  WriteFile(Folder.Path() / "in.csv", Csv);
  for (const char* Fallback : {"0", "1"}) {
    const std::string Out = std::string("out") + Fallback;
    TCliProcess Cli(
        Folder.Path(),
        {"batch", "in.csv", "--out", Out, "--jobs", "2", "--format", "png", "--scale", "2"},
        "/dev/null", {{"MARBECK_NO_TMPFILE", Fallback}});
    ASSERT_GE(Cli.Pid(), 0);
    const fs::path OutPath = Folder.Path() / Out;
    TCliProcess::WaitFor(OutPath / "300.png");
    const std::optional<int> Raw = Cli.Stop(SIGKILL);
    ASSERT_TRUE(Raw);
    ASSERT_TRUE(WIFSIGNALED(*Raw));

    int Codes = 0, Temporary = 0;
    for (const auto& E : fs::directory_iterator(OutPath)) {
      const std::string Name = E.path().filename().string();
      if (Name[0] == '.') {
        ++Temporary;
        continue;
      }
      ASSERT_EQ(E.path().extension(), ".png") << Name; // no manifest: the batch never finished
      const QImage Image(QString::fromStdString(E.path().string()));
      ASSERT_FALSE(Image.isNull()) << Name << " is not a whole PNG";
      ++Codes;
    }
    EXPECT_GE(Codes, 300);
    EXPECT_LT(Codes, 60000);
    if (std::string(Fallback) == "0") {
      EXPECT_EQ(Temporary, 0);
    }
    const int Row = Codes / 2;
    EXPECT_EQ(DecodeFile(OutPath / (std::to_string(Row) + ".png")),
              "https://example.org/item/" + std::to_string(Row - 1));

    WriteFile(Folder.Path() / "one.csv", "kind,url\nurl,https://example.org/again\n");
    const TRun Again = RunCli(Folder.Path(), {"batch", "one.csv", "--out", Out, "--force"});
    EXPECT_EQ(Again.Status, 0) << Again.Err;
    for (const auto& E : fs::directory_iterator(OutPath))
      EXPECT_NE(E.path().filename().string()[0], '.') << E.path();
  }
}

// ---- one ZIP archive ----

// unzip lists and extracts exactly the folder batch's files, manifest included; PNG entries are
// stored, the others deflated; zbar reads every code. An existing archive is kept without
// --force and replaced with it, and no temporary file stays beside it.
TEST(CliBatchZip, TheArchiveHoldsTheFolderBatchsFiles) {
  TTempFolder Folder;
  const int Rows = 45;
  WriteFile(Folder.Path() / "in.csv", MixedCsv(Rows));
  EXPECT_EQ(RunCli(Folder.Path(), {"batch", "in.csv", "--out", "dir", "--jobs", "2"}).Status, 1);
  const TRun Zipped =
      RunCli(Folder.Path(), {"batch", "in.csv", "--out", "codes.zip", "--jobs", "2"});
  EXPECT_EQ(Zipped.Status, 1) << Zipped.Err;
  EXPECT_EQ(Zipped.Err, "marbeck-cli: row 7 (line 8): unknown kind \"fax\" (text, url, email, "
                        "vcard, wifi, phone, sms, geo, event or pay)\n");

  const std::map<std::string, std::string> Expected = Contents(Folder.Path() / "dir");
  const std::optional<std::string> Listed = Shell(Folder.Path(), "unzip -Z1 codes.zip");
  ASSERT_TRUE(Listed);
  std::vector<std::string> Names = Lines(*Listed);
  EXPECT_EQ(Names.back(), "manifest.csv"); // the last entry
  std::sort(Names.begin(), Names.end());
  std::vector<std::string> Want;
  for (const auto& [Name, Bytes] : Expected)
    Want.push_back(Name);
  EXPECT_EQ(Names, Want);

  // Methods: zipinfo's lines end "... stor ... NAME" or "... defN ... NAME".
  const std::optional<std::string> Info = Shell(Folder.Path(), "zipinfo codes.zip");
  ASSERT_TRUE(Info);
  int Stored = 0, Deflated = 0;
  for (const std::string& Line : Lines(*Info)) {
    const bool Png = Line.ends_with(".png"), Svg = Line.ends_with(".svg");
    if (!Png && !Svg) continue;
    const bool IsStored = Line.find(" stor ") != std::string::npos;
    EXPECT_EQ(IsStored, Png) << Line;
    Stored += IsStored;
    Deflated += Line.find(" defN ") != std::string::npos;
  }
  EXPECT_EQ(Stored, Rows / 3);
  EXPECT_EQ(Stored + Deflated, Rows - 1);

  ASSERT_TRUE(Shell(Folder.Path(), "unzip -tq codes.zip && unzip -q codes.zip -d ex"));
  EXPECT_TRUE(Contents(Folder.Path() / "ex") == Expected);
  for (const TManifestRow& R : ReadManifest(Folder.Path() / "ex")) {
    if (!R.Error.empty()) continue;
    EXPECT_EQ(Shell(Folder.Path(), "unzip -p codes.zip " + ShellQuote(R.File)),
              Expected.at(R.File));
    EXPECT_EQ(DecodeFile(Folder.Path() / "ex" / R.File), MixedPayload(std::stoi(R.Row))) << R.File;
  }

  const std::string Before = ReadFile(Folder.Path() / "codes.zip");
  WriteFile(Folder.Path() / "one.csv", "kind,url\nurl,https://example.org/one\n");
  const TRun Kept = RunCli(Folder.Path(), {"batch", "one.csv", "--out", "codes.zip"});
  EXPECT_EQ(Kept.Status, 2);
  EXPECT_EQ(Kept.Err, "marbeck-cli: codes.zip exists (--force replaces it)\n");
  EXPECT_EQ(ReadFile(Folder.Path() / "codes.zip"), Before);
  // What a killed batch of this archive left where nameless files are refused (its spool, libzip's
  // unfinished archive, the manifest's temporary) goes; another archive's stays.
  const char* const Stale[] = {".codes.zip.Ab12Cd", ".codes.zip.Ab12Cd.Ef34Gh",
                               ".manifest.csv.zZ9yY8"};
  for (const char* Name : Stale)
    WriteFile(Folder.Path() / Name, "half");
  WriteFile(Folder.Path() / ".other.zip.Ab12Cd", "theirs");
  const TRun Replaced = RunCli(
      Folder.Path(), {"batch", "one.csv", "--out", "codes.zip", "--force", "--format", "png"});
  for (const char* Name : Stale)
    EXPECT_FALSE(fs::exists(Folder.Path() / Name)) << Name;
  EXPECT_EQ(ReadFile(Folder.Path() / ".other.zip.Ab12Cd"), "theirs");
  EXPECT_EQ(Replaced.Status, 0) << Replaced.Err;
  EXPECT_EQ(Shell(Folder.Path(), "unzip -Z1 codes.zip"), "1.png\nmanifest.csv\n");
  ASSERT_TRUE(Shell(Folder.Path(), "unzip -q codes.zip 1.png -d again"));
  EXPECT_EQ(DecodeFile(Folder.Path() / "again" / "1.png"), "https://example.org/one");
  std::set<std::string> Beside;
  for (const auto& E : fs::directory_iterator(Folder.Path()))
    if (E.is_regular_file() && E.path().filename().string()[0] != '.' &&
        E.path().extension() != ".csv")
      Beside.insert(E.path().filename().string());
  EXPECT_EQ(Beside, std::set<std::string>{"codes.zip"});
  for (const auto& E : fs::directory_iterator(Folder.Path()))
    EXPECT_FALSE(E.path().filename().string().starts_with(".codes.zip")) << E.path();
}

// ---- a file system without RENAME_NOREPLACE ----

// Some network and FUSE file systems refuse the flag that publishes a file without replacing
// one (the refuse_noreplace shim plays such a file system). Every output still appears whole
// under its name: a single code, a folder batch and its manifest, a ZIP archive and a label
// sheet, whether files are made nameless or under temporary names; and nothing else is left.
TEST(CliOutputs, EveryOutputSurvivesAFileSystemWithoutNoReplace) {
  for (const char* Fallback : {"0", "1"}) {
    SCOPED_TRACE(Fallback);
    TTempFolder Folder;
    WriteFile(Folder.Path() / "in.csv", "kind,url\nurl,https://example.org/a\n"
                                        "url,https://example.org/b\nurl,https://example.org/c\n");
    const std::string Env = std::string("env -u DISPLAY -u QT_QPA_PLATFORM LD_PRELOAD=") +
                            ShellQuote(MARBECK_REFUSE_NOREPLACE) +
                            " MARBECK_NO_TMPFILE=" + Fallback + " MARBECK_REFUSED_LOG=.refused " +
                            ShellQuote(MARBECK_CLI);
    for (const char* Args :
         {" url https://example.org/one -o one.png", " batch in.csv --out dir",
          " batch in.csv --out codes.zip", " batch in.csv --out sheet.pdf --sheet A4 --grid 3x4"})
      ASSERT_TRUE(Shell(Folder.Path(), Env + Args)) << Args;
    EXPECT_FALSE(ReadFile(Folder.Path() / ".refused").empty()) << "the shim refused nothing";

    EXPECT_EQ(DecodeFile(Folder.Path() / "one.png"), "https://example.org/one");
    const std::vector<TManifestRow> Rows = ReadManifest(Folder.Path() / "dir");
    ASSERT_EQ(Rows.size(), 3u);
    for (const TManifestRow& R : Rows)
      EXPECT_EQ(DecodeFile(Folder.Path() / "dir" / R.File),
                "https://example.org/" +
                    std::string(1, static_cast<char>('a' + std::stoi(R.Row) - 1)));
    ASSERT_TRUE(Shell(Folder.Path(), "unzip -tq codes.zip && unzip -q codes.zip -d ex"));
    EXPECT_TRUE(Contents(Folder.Path() / "ex") == Contents(Folder.Path() / "dir"));
    const std::optional<std::string> Info = Shell(Folder.Path(), "pdfinfo sheet.pdf");
    ASSERT_TRUE(Info);
    const std::size_t Pages = Info->find("Pages:");
    ASSERT_NE(Pages, std::string::npos) << *Info;
    EXPECT_EQ(std::stoi(Info->substr(Pages + 6)), 1) << *Info;
    EXPECT_TRUE(ReadFile(Folder.Path() / "sheet.pdf").ends_with("%%EOF\n"));
    EXPECT_EQ(ReadManifestText(ReadFile(Folder.Path() / "sheet.manifest.csv")).size(), 3u);

    std::set<std::string> Left;
    for (const fs::path& Place : {Folder.Path(), Folder.Path() / "dir"})
      for (const auto& E : fs::directory_iterator(Place))
        if (E.path().filename().string().starts_with(".") && E.path().filename() != ".shell" &&
            E.path().filename() != ".refused")
          Left.insert(E.path().filename().string());
    EXPECT_TRUE(Left.empty()) << *Left.begin();
  }
}

// ---- label sheets ----

// The layout a test expects: A4 or letter, COLS x ROWS cells within the default margins and gaps
// (PDF pages of Qt's writer are whole points: A4 is 595 x 842).
struct TSheetCase {
  const char* Sheet;
  int Columns, Rows;
  double PageWidthMm, PageHeightMm;
  const char* PdfinfoSize;
};

// Every code on every page, cut out of its cell of a pdftoppm picture, reads back as its row's
// bytes; pdfinfo gives the pages and their size, pdfimages finds no picture (all vector), and
// pdftotext finds every caption, a long one shrunk to fit its cell, and nothing comes within
// 1.5 mm of a cell's sides.
TEST(CliBatchSheets, EveryCellReadsBackAndCaptionsAreText) {
  TTempFolder Folder;
  const TSheetCase Cases[] = {{"A4", 3, 8, 210, 297, "595 x 842 pts (A4)"},
                              {"letter", 2, 3, 215.9, 279.4, "612 x 792 pts (letter)"}};
  for (const TSheetCase& C : Cases) {
    const int PerPage = C.Columns * C.Rows;
    const int Codes = PerPage + 2; // two pages, the second with two codes
    std::string Csv = "kind,url,label\n";
    std::vector<std::string> Urls, Labels;
    for (int I = 0; I < Codes; ++I) {
      if (I == 5) Csv += "url,,empty address\n"; // fails, and takes no cell
      Urls.push_back("https://example.org/" + std::string(C.Sheet) + "/" + std::to_string(I));
      Labels.push_back(I == 1 ? "Asset 1 of the east wing storage room on shelf four" // shrinks
                              : "Asset " + std::to_string(I));
      Csv += "url," + Urls.back() + "," + Labels.back() + "\n";
    }
    const std::string Csv_ = std::string(C.Sheet) + ".csv", Pdf = std::string(C.Sheet) + ".pdf";
    WriteFile(Folder.Path() / Csv_, Csv);
    const TRun R = RunCli(Folder.Path(), {"batch", Csv_, "--out", Pdf, "--sheet", C.Sheet, "--grid",
                                          std::to_string(C.Columns) + "x" + std::to_string(C.Rows),
                                          "--caption", "LABEL", "--jobs", "2"});
    EXPECT_EQ(R.Status, 1) << R.Err;
    EXPECT_NE(R.Err.find("row 6 (line 7)"), std::string::npos) << R.Err;

    const std::optional<std::string> Info = Shell(Folder.Path(), "pdfinfo " + Pdf);
    ASSERT_TRUE(Info);
    EXPECT_NE(Info->find("Pages:           2\n"), std::string::npos) << *Info;
    EXPECT_NE(Info->find(std::string("Page size:       ") + C.PdfinfoSize), std::string::npos)
        << *Info;
    EXPECT_EQ(Lines(*Shell(Folder.Path(), "pdfimages -list " + Pdf)).size(), 2u)
        << "only pdfimages' heading: no picture in the sheets";
    const std::string Text = *Shell(Folder.Path(), "pdftotext " + Pdf + " -");
    for (const std::string& Label : Labels)
      EXPECT_NE(Text.find(Label + "\n"), std::string::npos) << Label;

    // The cells at 200 dots an inch, cut by the default layout.
    constexpr double Dpi = 200;
    const double CellW = (C.PageWidthMm - 2 * 7.2 - (C.Columns - 1) * 2.5) / C.Columns;
    const double CellH = (C.PageHeightMm - 2 * 12.9) / C.Rows;
    ASSERT_TRUE(Shell(Folder.Path(), "pdftoppm -r 200 -png " + Pdf + " page"));
    for (int Page = 1; Page <= 2; ++Page) {
      const QImage Picture(QString::fromStdString(
          (Folder.Path() / ("page-" + std::to_string(Page) + ".png")).string()));
      ASSERT_FALSE(Picture.isNull());
      for (int Cell = 0; Cell < PerPage; ++Cell) {
        const int I = (Page - 1) * PerPage + Cell;
        const auto Px = [&](double Mm) { return static_cast<int>(Mm / 25.4 * Dpi); };
        const QImage Cut =
            Picture.copy(Px(7.2 + (Cell % C.Columns) * (CellW + 2.5)),
                         Px(12.9 + (Cell / C.Columns) * CellH), Px(CellW), Px(CellH));
        // Nothing within 1.5 mm of the cell's sides (label stock is cut with a tolerance): the
        // ring 1.4 mm wide is blank, the long caption's cell included.
        const int Ring = Px(1.4);
        int Inked = 0;
        for (int Y = 0; Y < Cut.height(); ++Y)
          for (int X = 0; X < Cut.width(); ++X)
            if ((X < Ring || Y < Ring || X >= Cut.width() - Ring || Y >= Cut.height() - Ring) &&
                qGray(Cut.pixel(X, Y)) < 250)
              ++Inked;
        EXPECT_EQ(Inked, 0) << C.Sheet << " cell " << I;
        const std::optional<std::string> Read = DecodeImage(Cut);
        if (I < Codes)
          EXPECT_EQ(Read, Urls[static_cast<std::size_t>(I)]) << C.Sheet << " cell " << I;
        else
          EXPECT_EQ(Read, std::nullopt) << C.Sheet << " cell " << I << " is empty";
      }
    }
    const std::vector<TManifestRow> M =
        ReadManifestText(ReadFile(Folder.Path() / (std::string(C.Sheet) + ".manifest.csv")));
    ASSERT_EQ(M.size(), static_cast<std::size_t>(Codes + 1));
    EXPECT_EQ(M[0].File, Pdf + "#page=1");
    EXPECT_EQ(M.back().File, Pdf + "#page=2");
  }
}

TEST(CliBatchSheets, UsageErrors) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "in.csv", "kind,url\nurl,https://a.example\n");
  WriteFile(Folder.Path() / "taken.pdf", "mine");
  const std::pair<std::vector<std::string>, std::string> Cases[] = {
      {{"--out", "s.pdf", "--caption", "url"},
       "marbeck-cli: --caption is for label sheets (--sheet)\n"},
      {{"--out", "dir", "--sheet", "A4"},
       "marbeck-cli: --sheet writes one PDF: give --out NAME.pdf\n"},
      {{"--out", "s.pdf", "--sheet", "A5"}, "marbeck-cli: --sheet: \"A5\" (A4 or letter)\n"},
      {{"--out", "s.pdf", "--sheet", "A4", "--grid", "3x0"},
       "marbeck-cli: --grid: \"3x0\" (COLSxROWS, such as 3x8, 1 to 50 each)\n"},
      {{"--out", "s.pdf", "--sheet", "A4", "--caption", "name"},
       "marbeck-cli: in.csv: no column \"name\" for --caption\n"},
      {{"--out", "s.pdf", "--sheet", "A4", "--grid", "3x8", "--margin-y", "150"},
       "marbeck-cli: the cells of a 3x8 grid with these margins and gaps are smaller than 5 mm\n"},
      {{"--out", "taken.pdf", "--sheet", "A4", "--caption", "URL"},
       "marbeck-cli: taken.pdf exists (--force replaces it)\n"},
  };
  for (const auto& [Args, Said] : Cases) {
    std::vector<std::string> All{"batch", "in.csv"};
    All.insert(All.end(), Args.begin(), Args.end());
    const TRun R = RunCli(Folder.Path(), All);
    EXPECT_EQ(R.Status, 2) << Said;
    EXPECT_EQ(R.Err, Said);
  }
  EXPECT_EQ(ReadFile(Folder.Path() / "taken.pdf"), "mine");
  EXPECT_FALSE(fs::exists(Folder.Path() / "s.pdf"));
  // A sheet writes no file of a row: names a folder batch refuses are no fault here.
  WriteFile(Folder.Path() / "named.csv",
            "kind,file,url\nurl,manifest.csv,https://a.example\nurl,../escape,https://b.example\n");
  const TRun Named =
      RunCli(Folder.Path(), {"batch", "named.csv", "--out", "named.pdf", "--sheet", "A4"});
  EXPECT_EQ(Named.Status, 0) << Named.Err;
  const std::vector<TManifestRow> M =
      ReadManifestText(ReadFile(Folder.Path() / "named.manifest.csv"));
  ASSERT_EQ(M.size(), 2u);
  EXPECT_EQ(M[1].File, "named.pdf#page=1");
}

// ---- across machines ----

// The README's recipe on this machine: GNU parallel cuts the CSV into blocks (each with the
// header), two local workers each write their own ZIP archive, and the manifests join into one.
// Together they hold the same codes as one batch.
TEST(CliBatchParallel, TwoLocalWorkersMakeTheSameCodesAsOneBatch) {
  TTempFolder Folder;
  const int Rows = 3000;
  std::string Csv = "file,kind,url\n";
  for (int I = 1; I <= Rows; ++I)
    Csv.append("c")
        .append(std::to_string(I))
        .append(",url,https://example.org/p/")
        .append(std::to_string(I * 31))
        .append("\n");
  WriteFile(Folder.Path() / "in.csv", Csv);
  ASSERT_EQ(RunCli(Folder.Path(), {"batch", "in.csv", "--out", "one", "--jobs", "1"}).Status, 0);

  const std::string Cli = ShellQuote(MARBECK_CLI);
  ASSERT_TRUE(
      Shell(Folder.Path(),
            "parallel --will-cite --pipe --header : --block 40k -S 2/: --return 'part{#}.zip' "
            "--cleanup " +
                Cli + " batch - --out 'part{#}.zip' --jobs 1 < in.csv"))
      << "parallel failed";
  ASSERT_TRUE(Shell(Folder.Path(), "for z in part*.zip; do unzip -q -o \"$z\" -x manifest.csv -d "
                                   "all; done"));
  ASSERT_TRUE(Shell(Folder.Path(), "set -e; first=1; for z in part*.zip; do "
                                   "if [ $first = 1 ]; then unzip -p \"$z\" manifest.csv; first=0; "
                                   "else unzip -p \"$z\" manifest.csv | tail -n +2; fi; "
                                   "done > all/manifest.csv"));
  const std::vector<std::string> Parts = Lines(*Shell(Folder.Path(), "ls part*.zip"));
  EXPECT_GE(Parts.size(), 2u);

  std::map<std::string, std::string> One = Contents(Folder.Path() / "one");
  std::map<std::string, std::string> Joined = Contents(Folder.Path() / "all");
  // The joined manifest counts the rows of each part from 1; the files are the same set.
  const std::vector<TManifestRow> M = ReadManifest(Folder.Path() / "all");
  ASSERT_EQ(M.size(), static_cast<std::size_t>(Rows));
  std::set<std::string> Files;
  for (const TManifestRow& R : M) {
    EXPECT_EQ(R.Error, "");
    Files.insert(R.File);
  }
  EXPECT_EQ(Files.size(), static_cast<std::size_t>(Rows));
  One.erase("manifest.csv");
  Joined.erase("manifest.csv");
  EXPECT_TRUE(One == Joined);
  EXPECT_EQ(DecodeFile(Folder.Path() / "all" / "c2999.svg"), "https://example.org/p/92969");
}

} // namespace
