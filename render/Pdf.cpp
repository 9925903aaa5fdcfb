#include "render/Pdf.h"

#include "render/Design.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

void PaintCode(QPainter& Painter, const QRectF& Target, const TModuleGrid& Grid,
               const TCodeStyle& Style) {
  const int Side = Grid.Side;
  if (Side <= 0) return;
  if (Style.HasDesign()) return PaintDesign(Painter, Target, Grid, Style, false);
  Painter.save();
  Painter.setRenderHint(QPainter::Antialiasing, false);
  Painter.setPen(Qt::NoPen);
  // Drawn in modules: the transform maps the grid onto Target.
  Painter.translate(Target.topLeft());
  Painter.scale(Target.width() / Side, Target.height() / Side);

  Painter.fillRect(QRectF(0, 0, Side, Side), QColor::fromRgb(Style.Light));

  // The runs as rectangles drawn in one call: a PDF writer makes them one path of short "re"
  // operators filled once (a quarter of the bytes of a general path, which a page of many codes
  // feels). The runs of a row never touch each other, so every module is filled once.
  QList<QRectF> Dark;
  ForEachDarkRun(Grid, [&Dark](int Row, int Start, int Length) {
    Dark.append(QRectF(Start, Row, Length, 1));
  });
  if (!Dark.isEmpty()) {
    Painter.setBrush(QColor::fromRgb(Style.Dark));
    Painter.drawRects(Dark.constData(), static_cast<int>(Dark.size()));
  }

  PaintFrameMarks(Painter, Side, Style);
  Painter.restore();
}

namespace {

// QPageSize keeps a page in whole points, and QPdfWriter writes that rounded size as the
// MediaBox and flips its y axis about it. The picture is therefore painted against the bottom
// edge of the rounded page (PDF's origin), and the MediaBox is then narrowed to the exact size.
// The new numbers are never longer than the old ones (the exact size is at most the rounded
// one), and are padded with spaces, so no byte offset of the file moves.
bool SetExactMediaBox(QByteArray& Pdf, int RoundedPoints, double ExactPoints) {
  char Old[96];
  std::snprintf(Old, sizeof Old, "/MediaBox [0 0 %d.000000 %d.000000]", RoundedPoints,
                RoundedPoints);
  const qsizetype At = Pdf.indexOf(Old);
  if (At < 0 || Pdf.indexOf(Old, At + 1) >= 0) return false;
  char New[96];
  std::snprintf(New, sizeof New, "/MediaBox [0 0 %.6f %.6f]", ExactPoints, ExactPoints);
  const qsizetype OldLength = static_cast<qsizetype>(std::strlen(Old));
  QByteArray Replacement(New);
  if (Replacement.size() > OldLength) return false;
  Replacement.insert(Replacement.size() - 1, QByteArray(OldLength - Replacement.size(), ' '));
  Pdf.replace(At, OldLength, Replacement);
  return true;
}

} // namespace

QByteArray RenderPdf(const TModuleGrid& Grid, const TCodeStyle& Style, double MmPerModule,
                     const QString& Title) {
  if (Grid.Side <= 0 || !std::isfinite(MmPerModule) || MmPerModule <= 0) return QByteArray();
  const double Millimetres = Grid.Side * MmPerModule;
  const double Points = Millimetres * 72.0 / 25.4;
  if (Points > kMaxPdfPagePoints) return QByteArray();

  QByteArray Pdf;
  int RoundedPoints = 0;
  {
    QBuffer Buffer(&Pdf);
    if (!Buffer.open(QIODevice::WriteOnly)) return QByteArray();
    QPdfWriter Writer(&Buffer);
    Writer.setTitle(Title);
    Writer.setCreator(QStringLiteral("Marbeck"));
    const QPageSize Size(QSizeF(Millimetres, Millimetres), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    if (!Writer.setPageLayout(QPageLayout(Size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0))))
      return QByteArray();
    Writer.setResolution(72); // one device unit per point
    const QRect Page = Writer.pageLayout().fullRectPoints();
    if (Page.width() != Page.height() || Page.height() < Points - 1.0 ||
        Page.height() > Points + 1.0)
      return QByteArray();
    RoundedPoints = Page.height();
    QPainter Painter;
    if (!Painter.begin(&Writer)) return QByteArray();
    PaintCode(Painter, QRectF(0, RoundedPoints - Points, Points, Points), Grid, Style);
    if (!Painter.end()) return QByteArray();
  }
  if (!SetExactMediaBox(Pdf, RoundedPoints, Points)) return QByteArray();
  return Pdf;
}
