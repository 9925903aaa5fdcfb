// File > Make Many Codes…: rows pasted from a spreadsheet or dropped as a CSV file, made by the
// batch engine from the dialog, and checked with readers nobody here wrote: pdfinfo and pdftoppm
// for the label sheets, rsvg-convert for SVG files, zbar for every code.
#include "BatchDialog.h"
#include "batch/Manifest.h"
#include "batch/SheetPage.h"
#include "support/OutsideReaders.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TBatchDialog& OpenBatchDialog(TForm1& F) {
  F.MakeManyCodes1->trigger();
  TBatchDialog* Dialog = F.BatchDialog();
  EXPECT_NE(Dialog, nullptr);
  EXPECT_TRUE(Dialog->isVisible());
  return *Dialog;
}

// Badge rows as a spreadsheet copies them: tab-separated, CR LF between rows, the column names
// in their own letter case.
QString BadgeCells(int Rows) {
  QString Text = QStringLiteral("First-Name\tLast-Name\tCompany\r\n");
  for (int I = 1; I <= Rows; ++I)
    Text += QStringLiteral("Ada\tLovelace%1\tAnalytical Engines\r\n").arg(I);
  return Text;
}

// The manifest's lines after its header.
std::vector<std::string> ManifestLines(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::vector<std::string> Lines;
  for (std::string Line; std::getline(In, Line);) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    Lines.push_back(Line);
  }
  if (!Lines.empty()) Lines.erase(Lines.begin());
  return Lines;
}

std::vector<std::string> CsvCells(const std::string& Line) {
  std::vector<std::string> Cells;
  std::stringstream In(Line);
  for (std::string Cell; std::getline(In, Cell, ',');)
    Cells.push_back(Cell);
  if (!Line.empty() && Line.back() == ',') Cells.emplace_back();
  return Cells;
}

// The picture of cell Cell of a page of Layout drawn Page.width() pixels wide.
QImage CellOf(const QImage& Page, const TSheetLayout& Layout, int Cell) {
  const double PerMm = Page.width() / Layout.PageMm().width();
  const QSizeF Size = Layout.CellMm();
  const int Column = Cell % Layout.Columns, Row = Cell / Layout.Columns;
  const QRectF Mm(Layout.MarginXMm + Column * (Size.width() + Layout.GapXMm),
                  Layout.MarginYMm + Row * (Size.height() + Layout.GapYMm), Size.width(),
                  Size.height());
  return Page.copy(QRectF(Mm.topLeft() * PerMm, Mm.size() * PerMm).toAlignedRect());
}

} // namespace

TEST_F(TWindowTest, PastedBadgesBecomeLabelSheetsAndACancelledRunLeavesWholeFiles) {
  TForm1& F = Form();
  TBatchDialog& D = OpenBatchDialog(F);
  QGuiApplication::clipboard()->setText(BadgeCells(200));
  ASSERT_TRUE(QTest::qWaitForWindowActive(&D, 1000));
  QTest::keyClick(D.PreviewTable, Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(D.SourceLabel->text().contains(QStringLiteral("200 rows")))
      << D.SourceLabel->text().toStdString();
  ASSERT_EQ(D.PreviewTable->columnCount(), 3);
  EXPECT_EQ(D.PreviewTable->item(0, 1)->text(), QStringLiteral("Lovelace1"));
  EXPECT_TRUE(D.MappingLists.empty()) << "the batch knows every column, in any case";
  ASSERT_TRUE(D.KindList->isEnabled()) << "no kind column: the dialog asks";
  D.KindList->setCurrentIndex(D.KindList->findText(QStringLiteral("vCard")));
  D.OutputList->setCurrentIndex(TBatchDialog::otSheets);
  D.CaptionList->setCurrentIndex(D.CaptionList->findText(QStringLiteral("Last-Name")));
  D.OutEdit->setText(Folder() + QStringLiteral("/badges"));

  // The preview is the first page as it will print: its cells read back in row order.
  const TSheetLayout Layout; // the dialog's defaults: A4, 3 x 8
  ASSERT_FALSE(D.SheetPicture().isNull());
  for (const int Cell : {0, 1, 23}) {
    const std::optional<std::string> Read =
        DecodePicture(CellOf(D.SheetPicture(), Layout, Cell), 1);
    ASSERT_TRUE(Read) << "preview cell " << Cell;
    EXPECT_NE(Read->find("Lovelace" + std::to_string(Cell + 1) + ";"), std::string::npos) << *Read;
  }

  D.StartBtn->click();
  EXPECT_FALSE(D.StartBtn->isEnabled()) << "no second run while one goes on";
  ASSERT_TRUE(D.WaitForRun());
  const QString Summary = D.SummaryText->toPlainText();
  EXPECT_TRUE(Summary.contains(QStringLiteral("Made: 200"))) << Summary.toStdString();
  EXPECT_TRUE(Summary.contains(QStringLiteral("Failed: 0"))) << Summary.toStdString();
  const fs::path Pdf = fs::path(Folder().toStdString()) / "badges.pdf";
  const TToolRun Info = RunTool(QStringLiteral("pdfinfo"), {QString::fromStdString(Pdf)});
  EXPECT_TRUE(
      QString::fromUtf8(Info.Out).contains(QRegularExpression(QStringLiteral("Pages: +9\n"))))
      << Info.Out.toStdString(); // 200 rows, 24 a page
  // The first printed page, at about 150 dots an inch: every cell holds its row's badge.
  const QImage Page = RasterisePdfWithPoppler(Pdf, 1240, 1754);
  ASSERT_FALSE(Page.isNull());
  for (int Cell = 0; Cell < Layout.CellsPerPage(); ++Cell) {
    const std::optional<std::string> Read = DecodePicture(CellOf(Page, Layout, Cell), 1);
    ASSERT_TRUE(Read) << "printed cell " << Cell;
    EXPECT_NE(Read->find("N:Lovelace" + std::to_string(Cell + 1) + ";Ada"), std::string::npos)
        << *Read;
  }
  D.OpenResultBtn->click();
  ASSERT_FALSE(Opened.empty());
  EXPECT_EQ(Opened.back(), QUrl::fromLocalFile(QString::fromStdString(Pdf)));

  // A second run into a folder of PNG files, cancelled with the button when row 100 is done.
  D.OutputList->setCurrentIndex(TBatchDialog::otFolder);
  D.FormatList->setCurrentIndex(0);
  D.OutEdit->setText(Folder() + QStringLiteral("/cards"));
  D.RowReported = [&D](const TRowResult& Row) {
    if (Row.Row == 100)
      QMetaObject::invokeMethod(
          &D, [&D] { D.CancelBtn->click(); }, Qt::BlockingQueuedConnection);
  };
  D.StartBtn->click();
  ASSERT_TRUE(D.WaitForRun());
  D.RowReported = nullptr;
  EXPECT_TRUE(D.SummaryText->toPlainText().startsWith(QStringLiteral("Cancelled after")))
      << D.SummaryText->toPlainText().toStdString();
  EXPECT_EQ(D.ProgressBar->maximum(), 200);
  const fs::path Cards = fs::path(Folder().toStdString()) / "cards";
  const std::vector<std::string> Lines = ManifestLines(Cards / "manifest.csv");
  ASSERT_GE(Lines.size(), 101u);
  EXPECT_NE(Lines.back().find("interrupted after"), std::string::npos) << Lines.back();
  std::set<std::string> Listed;
  for (std::size_t I = 0; I + 1 < Lines.size(); ++I) {
    const std::vector<std::string> Cells = CsvCells(Lines[I]);
    ASSERT_GE(Cells.size(), 2u) << Lines[I];
    EXPECT_EQ(Cells[0], std::to_string(I + 1)) << "the rows made are the first ones";
    Listed.insert(Cells[1]);
  }
  EXPECT_GE(Listed.size(), 100u);
  EXPECT_LT(Listed.size(), 200u) << "the run stopped before the end";
  std::set<std::string> Present;
  for (const fs::directory_entry& Entry : fs::directory_iterator(Cards))
    if (Entry.path().filename() != "manifest.csv") Present.insert(Entry.path().filename());
  EXPECT_EQ(Present, Listed) << "every file is listed, and no part of one is left";
  EXPECT_EQ(D.ProgressBar->value(), static_cast<int>(Listed.size()));
  for (const std::string& Name : Present) {
    const std::optional<std::string> Read =
        DecodePicture(QImage(QString::fromStdString(Cards / Name)), 1);
    ASSERT_TRUE(Read) << Name;
    const std::string Row = fs::path(Name).stem();
    EXPECT_NE(Read->find("N:Lovelace" + Row + ";"), std::string::npos) << Name;
  }
}

TEST_F(TWindowTest, DroppedCsvWithAMappedAndAnIgnoredColumnFillsAFolderOverTheWindowsSettings) {
  TForm1& F = Form();
  F.ErrorCorrection->setCurrentIndex(ecH); // the window's level: the rows' default
  const fs::path Csv = fs::path(Folder().toStdString()) / "links.csv";
  {
    std::ofstream Out(Csv, std::ios::binary);
    Out << "Web Address,Notes,EC\r\n"
           "https://example.org/a,first,\r\n"
           "https://example.org/b,\"second, with a comma\",M\r\n"
           ",nothing here,\r\n"
           "https://example.org/d,fourth,\r\n";
  }
  TBatchDialog& D = OpenBatchDialog(F);
  QMimeData Data;
  Data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Csv))});
  QDragEnterEvent Enter(QPoint(10, 10), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&D, &Enter);
  ASSERT_TRUE(Enter.isAccepted());
  QDropEvent Drop(QPointF(10, 10), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&D, &Drop);
  EXPECT_TRUE(D.SourceLabel->text().contains(QStringLiteral("4 rows from links.csv")))
      << D.SourceLabel->text().toStdString();
  ASSERT_EQ(D.MappingLists.size(), 2u) << "Web Address and Notes; EC is the batch's ec";
  // A file that cannot be read changes nothing but the line that says so.
  EXPECT_FALSE(D.LoadFile(Folder() + QStringLiteral("/gone.csv")));
  EXPECT_TRUE(D.SourceLabel->text().contains(QStringLiteral("gone.csv")));
  EXPECT_EQ(D.PreviewTable->columnCount(), 3);
  EXPECT_EQ(D.MappingLists.size(), 2u);
  D.MappingLists[0]->setCurrentIndex(D.MappingLists[0]->findData(QStringLiteral("url")));
  EXPECT_EQ(D.MappingLists[1]->currentText(), QStringLiteral("Ignore"));
  D.KindList->setCurrentIndex(D.KindList->findText(QStringLiteral("URL")));
  D.OutputList->setCurrentIndex(TBatchDialog::otFolder);
  D.FormatList->setCurrentIndex(D.FormatList->findText(QStringLiteral("SVG")));
  D.OutEdit->setText(Folder() + QStringLiteral("/links"));
  D.StartBtn->click();
  ASSERT_TRUE(D.WaitForRun());

  const QString Summary = D.SummaryText->toPlainText();
  EXPECT_TRUE(Summary.contains(QStringLiteral("Made: 3"))) << Summary.toStdString();
  EXPECT_TRUE(Summary.contains(QStringLiteral("Failed: 1"))) << Summary.toStdString();
  EXPECT_TRUE(Summary.contains(QStringLiteral("Row 3 (line 4): "))) << Summary.toStdString();
  const fs::path Links = fs::path(Folder().toStdString()) / "links";
  const std::vector<std::string> Lines = ManifestLines(Links / "manifest.csv");
  ASSERT_EQ(Lines.size(), 4u);
  const struct {
    const char* File;
    const char* Url;
    const char* Level; // the window's H, or the row's own ec cell
  } Made[] = {{"1.svg", "https://example.org/a", "H"},
              {"2.svg", "https://example.org/b", "M"},
              {"4.svg", "https://example.org/d", "H"}};
  for (const auto& Row : Made) {
    SCOPED_TRACE(Row.File);
    EXPECT_EQ(DecodePicture(RasteriseSvgWithRsvg(Links / Row.File, 400, 400), 1),
              std::optional<std::string>(Row.Url));
    const auto Line = std::find_if(Lines.begin(), Lines.end(), [&](const std::string& L) {
      return CsvCells(L).size() > 1 && CsvCells(L)[1] == Row.File;
    });
    ASSERT_NE(Line, Lines.end());
    EXPECT_EQ(CsvCells(*Line).back(), Row.Level) << *Line;
  }
  EXPECT_FALSE(fs::exists(Links / "3.svg"));

  // Again into the same folder: replaced only when the user says so.
  OverwriteAnswers = {false, true};
  fs::remove(Links / "1.svg");
  D.StartBtn->click();
  EXPECT_FALSE(D.Running());
  EXPECT_FALSE(fs::exists(Links / "1.svg")) << "a no leaves the folder as it is";
  D.StartBtn->click();
  ASSERT_TRUE(D.WaitForRun());
  EXPECT_EQ(OverwriteQuestions, std::vector<QString>(2, Folder() + QStringLiteral("/links")));
  EXPECT_TRUE(D.SummaryText->toPlainText().contains(QStringLiteral("Made: 3")))
      << D.SummaryText->toPlainText().toStdString();
  EXPECT_TRUE(fs::exists(Links / "1.svg"));

  // The choices outlive the window.
  D.close();
  Reopen();
  TBatchDialog& Again = OpenBatchDialog(Form());
  EXPECT_EQ(Again.OutputList->currentIndex(), TBatchDialog::otFolder);
  EXPECT_EQ(Again.FormatList->currentText(), QStringLiteral("SVG"));
  EXPECT_EQ(Again.OutEdit->text(), Folder() + QStringLiteral("/links"));
  EXPECT_EQ(Again.KindList->currentText(), QStringLiteral("URL"));
}

TEST_F(TWindowTest, PastedCsvTextGoesIntoOneZipArchive) {
  TBatchDialog& D = OpenBatchDialog(Form());
  // Text with commas and no tab in its first line is read as CSV, quotes and all.
  QGuiApplication::clipboard()->setText(
      QStringLiteral("kind,text,file\nTEXT,\"one, two\",first\nurl,,second\ntext,three,\n"));
  D.PasteBtn->click();
  ASSERT_EQ(D.PreviewTable->columnCount(), 3);
  EXPECT_EQ(D.PreviewTable->item(0, 1)->text(), QStringLiteral("one, two"));
  EXPECT_FALSE(D.KindList->isEnabled()) << "the rows have a kind column";
  D.OutputList->setCurrentIndex(TBatchDialog::otZip);
  D.FormatList->setCurrentIndex(D.FormatList->findText(QStringLiteral("PNG")));
  D.OutEdit->setText(Folder() + QStringLiteral("/codes")); // the extension is added
  D.StartBtn->click();
  ASSERT_TRUE(D.WaitForRun());
  EXPECT_TRUE(D.SummaryText->toPlainText().contains(QStringLiteral("Row 2 (line 3): ")))
      << D.SummaryText->toPlainText().toStdString();
  const QString Zip = Folder() + QStringLiteral("/codes.zip");
  const TToolRun List = RunTool(QStringLiteral("unzip"), {QStringLiteral("-Z1"), Zip});
  EXPECT_EQ(List.Out, QByteArray("first.png\n3.png\nmanifest.csv\n"));
  const TToolRun First =
      RunTool(QStringLiteral("unzip"), {QStringLiteral("-p"), Zip, QStringLiteral("first.png")});
  EXPECT_EQ(DecodePicture(QImage::fromData(First.Out, "PNG"), 1),
            std::optional<std::string>("one, two"));
  D.OpenResultBtn->click();
  ASSERT_FALSE(Opened.empty());
  EXPECT_EQ(Opened.back(), QUrl::fromLocalFile(Zip));
}
