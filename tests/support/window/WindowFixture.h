// A main window on a fresh, empty settings folder, its dialogs answered by the test and its
// error box, shell, clipboard and messages recorded.
#pragma once

#include "Controls.h"
#include "Unit1.h"

#include <QImage>
#include <QTemporaryDir>
#include <deque>
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
  // What the window did.
  std::vector<QString> Filters;
  std::vector<QString> OverwriteQuestions;
  std::vector<QColor> ColorDialogStarts;
  std::vector<QString> Errors;
  std::vector<QString> Messages;
  std::vector<QUrl> Opened;
  std::vector<QImage> Clipboard;
  bool ClipboardTakes = true;

private:
  void Answer();

  QTemporaryDir FSettings;
  QTemporaryDir FFiles;
  std::unique_ptr<TForm1> FForm;
};
