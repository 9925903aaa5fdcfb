// The codes on label sheets: one vector PDF of A4 or letter pages, each a grid of cells, a code
// in every cell in row order and, when asked, a caption line under it. The pages are painted as
// the rows come, through the one routine that paints a code on any painter, and QPdfWriter writes
// each page out when the next begins, so memory stays flat however many pages there are. The PDF
// is a nameless file until it is complete.
#include "batch/SheetPage.h"
#include "batch/Sink.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>

namespace {

class TSheetSink final : public TBatchSink {
public:
  explicit TSheetSink(const TSinkOptions& Options)
      : FOptions(Options), FLayout(*Options.Sheet),
        FFolder(Options.Out.has_parent_path() ? Options.Out.parent_path()
                                              : std::filesystem::path(".")),
        FManifestName(Options.Out.stem().string() + ".manifest.csv") {}
  ~TSheetSink() override {
    if (FPainter.isActive()) FPainter.end();
  }

  bool Open(TManifest& Manifest, std::ostream& Err) override {
    const std::string Out = FOptions.Out.string();
    if (!OpenSingleFile(FOptions, {FOptions.Out, FFolder / FManifestName}, FFiles, FPdf, Manifest,
                        Err))
      return false;
    if (!FDevice.open(FPdf.Fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
      Err << FOptions.Program << "cannot write " << Out << ": "
          << FDevice.errorString().toStdString() << "\n";
      return false;
    }
    FWriter = std::make_unique<QPdfWriter>(&FDevice);
    FWriter->setCreator(QStringLiteral("Marbeck"));
    FWriter->setTitle(QString::fromStdString(FOptions.Out.stem().string()));
    const QPageSize Size(FLayout.Paper == TPaper::A4 ? QPageSize::A4 : QPageSize::Letter);
    FWriter->setPageLayout(QPageLayout(Size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    FUnitsPerMm = FWriter->resolution() / 25.4;
    if (const QSizeF Cell = FLayout.CellMm();
        Cell.width() < kMinSheetCellMm || Cell.height() < kMinSheetCellMm) {
      Err << FOptions.Program << "the cells of a " << FLayout.Columns << "x" << FLayout.Rows
          << " grid with these margins and gaps are smaller than 5 mm\n";
      return false;
    }
    if (!FPainter.begin(FWriter.get())) {
      Err << FOptions.Program << "cannot write " << Out << "\n";
      return false;
    }
    return true;
  }

  bool WantsGrid() const override { return true; }
  void TakeOnWorker(TRowOutput& Row) override { (void)Row; }

  void TakeInRowOrder(TRowOutput& Row) override {
    if (FCell == FLayout.Columns * FLayout.Rows) {
      FWriter->newPage();
      FCell = 0;
      ++FPage;
    }
    TSheetCode Code{std::move(Row.Picture.Grid), Row.Picture.Style, std::move(Row.Caption)};
    Row.Picture.Grid = TModuleGrid();
    PaintSheetCell(FPainter, FUnitsPerMm, FLayout, FCell, Code, FOptions.Captions,
                   FOptions.Style.Dark);
    ++FCell;
    Row.Result.File = FOptions.Out.filename().string() + "#page=" + std::to_string(FPage);
  }

  bool Finish(TManifest& Manifest, std::string& Error) override {
    const bool Painted = FPainter.end();
    FWriter.reset();
    FDevice.close();
    if (!Painted || FDevice.error() != QFileDevice::NoError) {
      Error = "the PDF could not be written: " + FDevice.errorString().toStdString();
      return false;
    }
    const TWriteResult Named =
        FFiles->Publish(FPdf, FOptions.Out.filename().string(), FOptions.Force, /*Durable=*/true);
    if (!Named.Ok) {
      Error = Named.Exists ? FOptions.Out.string() + " appeared during the batch" : Named.Error;
      return false;
    }
    return Manifest.Finish(FFolder, FManifestName, FOptions.Force, /*SyncAll=*/false, Error);
  }

  std::string ManifestPlace() const override { return (FFolder / FManifestName).string(); }

private:
  TSinkOptions FOptions;
  TSheetLayout FLayout;
  std::filesystem::path FFolder;
  std::string FManifestName;
  std::unique_ptr<TFolderFiles> FFiles;
  TPendingFile FPdf;
  QFile FDevice;
  std::unique_ptr<QPdfWriter> FWriter;
  QPainter FPainter;
  double FUnitsPerMm = 1;
  int FCell = 0, FPage = 1;
};

} // namespace

std::unique_ptr<TBatchSink> MakeSheetSink(const TSinkOptions& Options) {
  return std::make_unique<TSheetSink>(Options);
}
