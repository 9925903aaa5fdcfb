// The codes on label sheets: one vector PDF of A4 or letter pages, each a grid of cells, a code
// in every cell in row order and, when asked, a caption line under it. The pages are painted as
// the rows come, through the one routine that paints a code on any painter, and QPdfWriter writes
// each page out when the next begins, so memory stays flat however many pages there are. The PDF
// is a nameless file until it is complete.
#include "cli/Sink.h"
#include "render/Fonts.h"
#include "render/Pdf.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>

namespace {

const char* const kMe = "marbeck-cli: ";

// The caption's band under a code: a fifth of the cell's height, at most 5 mm.
constexpr double kCaptionShare = 0.2;
constexpr double kMaxCaptionMm = 5.0;
// Captions shrink to fit their cell's width down to this size, and are then cut short with "…".
constexpr double kMinCaptionPoints = 4.0;

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
      Err << kMe << "cannot write " << Out << ": " << FDevice.errorString().toStdString() << "\n";
      return false;
    }
    FWriter = std::make_unique<QPdfWriter>(&FDevice);
    FWriter->setCreator(QStringLiteral("Marbeck"));
    FWriter->setTitle(QString::fromStdString(FOptions.Out.stem().string()));
    const QPageSize Size(FLayout.Paper == TPaper::A4 ? QPageSize::A4 : QPageSize::Letter);
    FWriter->setPageLayout(QPageLayout(Size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    FUnitsPerMm = FWriter->resolution() / 25.4;
    const QSizeF Page = Size.size(QPageSize::Millimeter);
    FCellWidthMm = (Page.width() - 2 * FLayout.MarginXMm - (FLayout.Columns - 1) * FLayout.GapXMm) /
                   FLayout.Columns;
    FCellHeightMm = (Page.height() - 2 * FLayout.MarginYMm - (FLayout.Rows - 1) * FLayout.GapYMm) /
                    FLayout.Rows;
    if (FCellWidthMm < 5 || FCellHeightMm < 5) {
      Err << kMe << "the cells of a " << FLayout.Columns << "x" << FLayout.Rows
          << " grid with these margins and gaps are smaller than 5 mm\n";
      return false;
    }
    if (!FPainter.begin(FWriter.get())) {
      Err << kMe << "cannot write " << Out << "\n";
      return false;
    }
    FCaptionFont.setFamilies(WindowFontFamilies());
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
    const int Column = FCell % FLayout.Columns, Line = FCell / FLayout.Columns;
    ++FCell;
    const double X = FLayout.MarginXMm + Column * (FCellWidthMm + FLayout.GapXMm);
    const double Y = FLayout.MarginYMm + Line * (FCellHeightMm + FLayout.GapYMm);
    const double Band =
        FOptions.Captions ? std::min(kMaxCaptionMm, FCellHeightMm * kCaptionShare) : 0.0;
    const double Side = std::min(FCellWidthMm, FCellHeightMm - Band);
    const QRectF Code(Units(X + (FCellWidthMm - Side) / 2),
                      Units(Y + (FCellHeightMm - Band - Side) / 2), Units(Side), Units(Side));
    PaintCode(FPainter, Code, Row.Picture.Grid, Row.Picture.Style);
    Row.Picture.Grid = TModuleGrid();
    if (FOptions.Captions && !Row.Caption.empty())
      PaintCaption(
          QString::fromUtf8(Row.Caption.data(), static_cast<qsizetype>(Row.Caption.size())),
          QRectF(Units(X), Units(Y + FCellHeightMm - Band), Units(FCellWidthMm), Units(Band)));
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
  double Units(double Mm) const { return Mm * FUnitsPerMm; }

  // Text in the window's faces, centred in Box, as large as the box's height allows and shrunk
  // to fit its width.
  void PaintCaption(const QString& Text, const QRectF& Box) {
    const double Points = Box.height() / FUnitsPerMm * 72.0 / 25.4 * 0.7;
    QFont Font = FCaptionFont;
    Font.setPointSizeF(Points);
    const double Wide = QFontMetricsF(Font, FWriter.get()).horizontalAdvance(Text);
    QString Shown = Text;
    if (Wide > Box.width()) {
      Font.setPointSizeF(std::max(kMinCaptionPoints, Points * Box.width() / Wide * 0.98));
      Shown = QFontMetricsF(Font, FWriter.get()).elidedText(Text, Qt::ElideRight, Box.width());
    }
    FPainter.setFont(Font);
    FPainter.setPen(QColor::fromRgb(FOptions.Style.Dark));
    FPainter.drawText(Box, Qt::AlignCenter | Qt::TextSingleLine, Shown);
  }

  TSinkOptions FOptions;
  TSheetLayout FLayout;
  std::filesystem::path FFolder;
  std::string FManifestName;
  std::unique_ptr<TFolderFiles> FFiles;
  TPendingFile FPdf;
  QFile FDevice;
  std::unique_ptr<QPdfWriter> FWriter;
  QPainter FPainter;
  QFont FCaptionFont;
  double FUnitsPerMm = 1;
  double FCellWidthMm = 0, FCellHeightMm = 0;
  int FCell = 0, FPage = 1;
};

} // namespace

std::unique_ptr<TBatchSink> MakeSheetSink(const TSinkOptions& Options) {
  return std::make_unique<TSheetSink>(Options);
}
