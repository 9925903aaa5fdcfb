// A main window on a fresh, empty settings folder, its dialogs answered by the test and its
// error box, shell, clipboard and messages recorded.
#pragma once

#include "Controls.h"
#include "Unit1.h"

#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TWindowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A new window on the same settings folder, shown and activated as at start.
  void Open();
  // Closes the window (which saves the settings) and opens a new one.
  void Reopen();

  TForm1& Form() { return *FForm; }
  const QImage& Picture() { return FForm->Image1->Picture(); }
  std::u16string QRText() { return TForm1::MemoLines(FForm->QRText).toStdU16String(); }
  QString Folder() const { return FFiles.path(); }
  // Chooses Color in the colour dialog opened by a click on Swatch.
  void ChooseColor(TColorSwatch* Swatch, QColor Color);

  // Answers for the dialogs, taken in order; an empty answer cancels.
  std::deque<std::optional<QString>> OpenAnswers;
  std::deque<std::optional<QString>> SaveAnswers;
  std::deque<bool> OverwriteAnswers;
  std::deque<std::optional<QColor>> ColorAnswers;
  // The filter chosen in each save dialog, taken in order; when none is left the dialog keeps
  // the filter it preselected.
  std::deque<QString> FilterAnswers;
  // Answers the print dialog: fills in the printer and the side length; false cancels. Empty:
  // an unexpected print dialog.
  std::function<bool(QPrinter& Printer, int& SideMm)> PrintAnswer;
  // What the window did.
  std::vector<QString> Filters;
  std::vector<QString> PreselectedFilters; // the filter each save dialog started at
  std::vector<int> PrintDialogSides;       // the side length each print dialog started at
  std::vector<QString> OverwriteQuestions;
  std::vector<QColor> ColorDialogStarts;
  std::vector<QString> Errors;
  std::vector<QString> Messages;
  std::vector<QUrl> Opened;
  std::vector<QImage> Clipboard;
  std::vector<QByteArray> ClipboardSvg; // the SVG of each copy (empty: none)
  std::vector<std::unique_ptr<QMimeData>> Drags;
  bool ClipboardTakes = true;

private:
  void Answer();

  QTemporaryDir FSettings;
  QTemporaryDir FFiles;
  std::unique_ptr<TForm1> FForm;
};
