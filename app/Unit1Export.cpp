// The pictures that leave the window: Save QR-Code As (PNG, SVG, PDF), Print, the pictures of the
// clipboard copy and the drag out of the preview. Every one is drawn by render/ from the code of
// the last pass, so that a file, a printout and the preview show the same modules.
#include "Controls.h"
#include "FormHelpers.h"
#include "Unit1.h"
#include "payload/PayloadFiles.h"
#include "platform/TextFile.h"
#include "render/Pdf.h"
#include "render/PictureFormats.h"
#include "render/Raster.h"
#include "render/Svg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMimeData>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <vector>

namespace {

// The millimetres of one module in saved SVG and PDF files.
constexpr double kFileMmPerModule = 1.0;
// The resolution a pasted or dropped SVG assumes, so that it comes out as large as the bitmap.
constexpr double kScreenDotsPerMm = 96.0 / 25.4;

// The formats the save dialog offers, in the shared table's order: those with a dialog line.
std::vector<const TPictureFormat*> SavedFormats() {
  std::vector<const TPictureFormat*> Formats;
  for (const TPictureFormat& Format : kPictureFormats)
    if (!Format.DialogFilter.empty()) Formats.push_back(&Format);
  return Formats;
}

// What the title of an SVG or PDF names: the kind of payload of a page.
QString PayloadKind(int Page) {
  static const char* const Kinds[] = {"Text",  "URL", "eMail", "vCard", "Wifi network",
                                      "Phone", "SMS", "Place", "Event", "SEPA payment"};
  if (Page < 0 || Page >= static_cast<int>(std::size(Kinds))) return TForm1::tr("Text");
  return QString::fromLatin1(Kinds[Page]);
}

QString PictureTitle(int Page) {
  return TForm1::tr("QR code: %1").arg(PayloadKind(Page));
}

// The SVG of a code as large as its bitmap of W x W pixels on a screen.
QByteArray ScreenSizedSvg(const TModuleGrid& Grid, const TCodeStyle& Style, int W, int Page) {
  if (Grid.Side <= 0 || W <= 0) return QByteArray();
  const double MmPerModule = W / kScreenDotsPerMm / Grid.Side;
  return QByteArray::fromStdString(
      RenderSvg(Grid, Style, MmPerModule, PictureTitle(Page).toStdString()));
}

} // namespace

std::optional<TForm1::TCurrentCode> TForm1::FreshCode(const QString& Action) {
  const quint64 Before = FPassNumber;
  CreateCodeBtn->click();                         // a full pass, as the clipboard copy makes
  if (FPassNumber == Before) return std::nullopt; // the pass did not run to its end
  if (FLastCode.DataTooLong) return std::nullopt; // the note under the preview says why
  if (FLastCode.Version == 0) {
    if (!FRefusal.isEmpty()) return std::nullopt; // the note under the preview says why
    SetNote(tr("Nothing to %1: this page gives no QR code.").arg(Action));
    return std::nullopt;
  }
  return TCurrentCode{FLastCode, FLastStyle};
}

void TForm1::SaveQRCodeAs1Click() {
  const std::optional<TCurrentCode> Current = FreshCode(tr("save"));
  if (!Current) return;

  const std::vector<const TPictureFormat*> Formats = SavedFormats();
  QStringList Filters;
  std::vector<std::u16string> Extensions;
  for (const TPictureFormat* Format : Formats) {
    Filters << QString::fromLatin1(Format->DialogFilter.data(),
                                   static_cast<qsizetype>(Format->DialogFilter.size()));
    Extensions.emplace_back(Format->Extension.begin(), Format->Extension.end());
  }
  if (!Filters.contains(FPictureDialogFilter)) FPictureDialogFilter = Filters[0];
  const std::optional<std::filesystem::path> Chosen =
      AskSaveName(Filters, Extensions, FPictureDialogName, FPictureDialogFilter);
  if (!Chosen) return;
  const std::filesystem::path& Path = *Chosen;
  const TOutputFormat Kind =
      Formats[static_cast<std::size_t>(Filters.indexOf(FPictureDialogFilter))]->Format;

  const TModuleGrid& Grid = Current->Code.Grid;
  const TCodeStyle& Style = Current->Style;
  const QString Title = PictureTitle(PageControl1->currentIndex());
  QByteArray Bytes;
  switch (Kind) {
  case TOutputFormat::Svg:
    Bytes =
        QByteArray::fromStdString(RenderSvg(Grid, Style, kFileMmPerModule, Title.toStdString()));
    break;
  case TOutputFormat::Pdf:
    Bytes = RenderPdf(Grid, Style, kFileMmPerModule, Title);
    break;
  case TOutputFormat::Png:
  case TOutputFormat::Utf8: // not offered
    Bytes = EncodePng(RenderRaster(Grid, Style, ScrollBar1->value()));
    break;
  }
  std::string Error = "The picture could not be made.";
  if (!Bytes.isEmpty()) {
    const TWriteResult Written =
        WriteFileAtomic(Path, std::string_view(Bytes.constData(), Bytes.size()));
    if (Written.Ok) return;
    Error = Written.Error;
  }
  FHooks.ErrorBox(Translated(CannotCreateFileMessage(Path, Error)));
}

void TForm1::Print1Click() {
  const std::optional<TCurrentCode> Current = FreshCode(tr("print"));
  if (!Current) return;

  QPrinter Printer(QPrinter::HighResolution);
  Printer.setDocName(QStringLiteral("QR-Code")); // also the name a print to a file suggests
  int SideMm = FPrintSideMm;
  if (!FHooks.Print(Printer, SideMm)) return;
  FPrintSideMm = std::clamp(SideMm, kMinPrintSideMm, kMaxPrintSideMm);

  // The code is centred on the paper; where the margins are uneven and the centred code would
  // reach into one, it is centred in the printable area instead.
  const QPageLayout Layout = Printer.pageLayout();
  const QRectF Paper = Layout.fullRect(QPageLayout::Millimeter);
  const QRectF Printable = Layout.paintRect(QPageLayout::Millimeter);
  const double Side = FPrintSideMm;
  if (Side > Printable.width() || Side > Printable.height()) {
    FHooks.ErrorBox(tr("A code of %1 mm does not fit on the page: it can print at most %2 x %3 mm.")
                        .arg(FPrintSideMm)
                        .arg(Printable.width(), 0, 'f', 0)
                        .arg(Printable.height(), 0, 'f', 0));
    return;
  }
  QRectF Target(0, 0, Side, Side);
  Target.moveCenter(Paper.center());
  if (!Printable.contains(Target)) Target.moveCenter(Printable.center());

  Printer.setFullPage(true); // the painter's origin is the paper's corner
  QPainter Painter;
  if (!Painter.begin(&Printer)) {
    FHooks.ErrorBox(tr("Cannot print: the printer did not start."));
    return;
  }
  const double DotsPerMm = Printer.resolution() / 25.4;
  PaintCode(Painter,
            QRectF(Target.left() * DotsPerMm, Target.top() * DotsPerMm, Side * DotsPerMm,
                   Side * DotsPerMm),
            Current->Code.Grid, Current->Style);
  if (!Painter.end()) FHooks.ErrorBox(tr("Cannot print: the printer stopped."));
}

QByteArray TForm1::ClipboardSvg(int W) const {
  if (!FHasCode || FLastCode.Version == 0) return QByteArray();
  return ScreenSizedSvg(FLastCode.Grid, FLastStyle, W, PageControl1->currentIndex());
}

void TForm1::Image1StartDrag() {
  // What the preview shows: the code of the last pass at the zoom size.
  const int W = ScrollBar1->value();
  if (!FHasCode || FLastCode.Version == 0 || W <= 0) return;
  const QImage Picture = RenderRaster(FLastCode.Grid, FLastStyle, W);
  if (!FDragFolder) FDragFolder = std::make_unique<QTemporaryDir>();
  auto Data = std::make_unique<QMimeData>();
  if (FDragFolder->isValid()) {
    // The file stays until the window closes, for targets that copy it after the drop.
    const QString File = FDragFolder->filePath(QStringLiteral("QR-Code.png"));
    const QByteArray Png = EncodePng(Picture);
    if (!Png.isEmpty() && WriteFileAtomic(std::filesystem::path(ToUtf16(File)),
                                          std::string_view(Png.constData(), Png.size()))
                              .Ok)
      Data->setUrls({QUrl::fromLocalFile(File)});
  }
  Data->setData(QStringLiteral("image/svg+xml"), ClipboardSvg(W));
  Data->setImageData(Picture);
  FHooks.StartDrag(Data.release());
}
