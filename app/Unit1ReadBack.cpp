// The line under the preview that says whether the last pass's picture scans. The colour check
// answers at once; the decoding runs on the read-back worker and its answer comes back to the
// window's thread as a queued call. An answer for an older pass is dropped.
#include "Controls.h"
#include "FormHelpers.h"
#include "ReadBackWorker.h"
#include "Unit1.h"
#include "render/Contrast.h"
#include "render/Raster.h"

#include <QAccessible>
#include <QEventLoop>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace {

const QColor kGoodColour(0, 110, 0);
const QColor kBadColour(160, 0, 0);
const QColor kWaitColour(0x6D, 0x6D, 0x6D);

QString ContrastLine(double Ratio) {
  return TForm1::tr("Does not scan with these colours: %1, at least 3 : 1 is needed")
      .arg(Translated(ContrastReason(Ratio)));
}

QString InvertedLine() {
  return TForm1::tr(
      "Inverted colours: many phone readers do not read light modules on a dark background");
}

} // namespace

void TForm1::SetReadBackLine(const QString& Line, const QColor& Colour, const QString& Spoken) {
  ReadBackLabel->setText(Line);
  SetTextColor(ReadBackLabel, QPalette::WindowText, Colour);
  ReadBackLabel->setAccessibleDescription(Line);
  ReadBackLabel->setVisible(!Line.isEmpty());
  ReadBackLabel->raise();
  LayOutNotes();
  // The preview tells the code and the verdict; a screen reader is told that they changed (a
  // changed name and description, and an alert from the line under the preview).
  const QString Verdict = Spoken.isEmpty() ? Line : Spoken;
  Image1->setAccessibleName(Verdict.isEmpty()
                                ? FPreviewSummary
                                : QStringLiteral("%1 \u2014 %2").arg(FPreviewSummary, Verdict));
  Image1->setAccessibleDescription(Line);
  emit Announced(Image1, QAccessible::NameChanged);
  if (!Line.isEmpty()) {
    QAccessibleEvent Alert(ReadBackLabel, QAccessible::Alert);
    QAccessible::updateAccessibility(&Alert);
    emit Announced(ReadBackLabel, QAccessible::Alert);
  }
}

void TForm1::StartReadBack(const TCode& Code, const TCodeStyle& Style) {
  const quint64 Pass = FPassNumber;
  const auto Settle = [&](const QString& Line, const QColor& Colour) {
    FReadBackShown = Pass;
    SetReadBackLine(Line, Colour);
    emit ReadBackShown(Pass);
  };
  if (Code.Version == 0) return Settle(QString(), kWaitColour); // no symbol: nothing to check
  const TContrast Contrast = ContrastOf(Style.Dark, Style.Light);
  if (Contrast.Ratio < MinimumContrast) return Settle(ContrastLine(Contrast.Ratio), kBadColour);
  if (Contrast.Inverted) return Settle(InvertedLine(), kBadColour);

  SetReadBackLine(tr("Checking that it scans\u2026"), kWaitColour);
  if (!FReadBack)
    FReadBack = std::make_unique<TReadBackWorker>([this](const TReadBackAnswer& Answer) {
      // On the worker's thread: only post the answer to the window's thread.
      QMetaObject::invokeMethod(
          this, [this, Answer] { ShowReadBack(Answer); }, Qt::QueuedConnection);
    });
  TReadBackJob Job;
  Job.PassNumber = Pass;
  Job.Picture = Image1->Picture(); // shared, not copied: the worker enlarges it
  if (Style.PaintedAtFinalSize()) Job.Grid = Code.Grid;
  Job.Expected = Code.Bytes;
  Job.Style = Style;
  Job.Version = Code.Version;
  Job.Level = Code.Level;
  FReadBack->Submit(std::move(Job));
}

void TForm1::ShowReadBack(const TReadBackAnswer& Answer) {
  if (Answer.PassNumber != FPassNumber) return; // a newer pass has started
  FReadBackShown = Answer.PassNumber;
  if (FOutdated) { // the page changed meanwhile: the line says so and keeps saying it
    emit ReadBackShown(Answer.PassNumber);
    return;
  }
  const QLocale English(QLocale::English);
  const TVerdict& Verdict = Answer.Verdict;
  switch (Verdict.Kind) {
  case TVerdictKind::Exact:
    SetReadBackLine(tr("Scans: reads back exactly (version %1-%2, %3 %4)")
                        .arg(Answer.Version)
                        .arg(QChar::fromLatin1(ECLevelLetter(Answer.Level)))
                        .arg(English.toString(static_cast<qulonglong>(Answer.ByteCount)),
                             Answer.ByteCount == 1 ? tr("byte") : tr("bytes")),
                    kGoodColour, tr("reads back exactly"));
    break;
  case TVerdictKind::OtherBytes:
    SetReadBackLine(tr("Does not scan: a reader gets other bytes back"), kBadColour);
    break;
  case TVerdictKind::NothingFound:
    SetReadBackLine(tr("Does not scan: a reader finds no code in this picture"), kBadColour);
    break;
  case TVerdictKind::Inverted:
    SetReadBackLine(InvertedLine(), kBadColour);
    break;
  case TVerdictKind::Borderline: // the reason names the sizes at which it is lost
    SetReadBackLine(tr("Borderline: reads back at some sizes only (%1)")
                        .arg(Verdict.Reason.Args.empty() ? Translated(Verdict.Reason)
                                                         : Translated(Verdict.Reason.Args.front())),
                    kBadColour);
    break;
  case TVerdictKind::WeakContrast:
  case TVerdictKind::WeakFinderContrast:
  case TVerdictKind::InvertedFinder:
  case TVerdictKind::OutOfMemory:
    SetReadBackLine(tr("Does not scan: %1").arg(Translated(Verdict.Reason)), kBadColour);
    break;
  }
  emit ReadBackShown(Answer.PassNumber);
}

bool TForm1::WaitForReadBack(int TimeoutMs) {
  if (ReadBackSettled()) return true;
  QEventLoop Loop;
  const QMetaObject::Connection Shown = connect(this, &TForm1::ReadBackShown, &Loop, [this, &Loop] {
    if (ReadBackSettled()) Loop.quit();
  });
  QTimer::singleShot(TimeoutMs, &Loop, &QEventLoop::quit);
  Loop.exec();
  disconnect(Shown);
  return ReadBackSettled();
}

void TForm1::WaitForReadBackWorker() {
  if (FReadBack) FReadBack->WaitIdle();
}
