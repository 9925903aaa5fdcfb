#include "support/window/WindowFixture.h"

#include "platform/Messages.h"

#include <QTest>

void TWindowTest::SetUp() {
  ASSERT_TRUE(FSettings.isValid());
  ASSERT_TRUE(FFiles.isValid());
  qputenv("XDG_CONFIG_HOME", FSettings.path().toUtf8());
  SetMessageHook([this](const std::u16string& Message) {
    Messages.push_back(QString::fromStdU16String(Message));
  });
  Open();
}

void TWindowTest::TearDown() {
  FForm.reset();
  SetMessageHook(nullptr);
}

void TWindowTest::Open() {
  FForm = std::make_unique<TForm1>();
  Answer();
  FForm->show();
  FForm->activateWindow();
  (void)QTest::qWaitForWindowActive(FForm.get(), 1000);
  FForm->FormActivate(); // runs once: a no-op when the activation above already ran it
}

void TWindowTest::Reopen() {
  FForm->close();
  FForm.reset();
  Open();
}

void TWindowTest::ChooseColor(TColorSwatch* Swatch, QColor Color) {
  ColorAnswers.push_back(Color);
  QTest::mouseClick(Swatch, Qt::LeftButton);
}

void TWindowTest::Answer() {
  TFormHooks& Hooks = FForm->Hooks();
  const auto Take = [](auto& Queue) {
    auto Front = Queue.front();
    Queue.pop_front();
    return Front;
  };
  Hooks.OpenFile = [this, Take](const QString& Filter, const QString&) -> std::optional<QString> {
    Filters.push_back(Filter);
    if (OpenAnswers.empty()) ADD_FAILURE() << "unexpected open dialog";
    return OpenAnswers.empty() ? std::nullopt : Take(OpenAnswers);
  };
  Hooks.SaveFile = [this, Take](const QString& Filter, const QString&,
                                QString& SelectedFilter) -> std::optional<QString> {
    Filters.push_back(Filter);
    PreselectedFilters.push_back(SelectedFilter);
    if (!FilterAnswers.empty()) SelectedFilter = Take(FilterAnswers);
    if (SaveAnswers.empty()) ADD_FAILURE() << "unexpected save dialog";
    return SaveAnswers.empty() ? std::nullopt : Take(SaveAnswers);
  };
  Hooks.ConfirmOverwrite = [this, Take](const QString& FileName) {
    OverwriteQuestions.push_back(FileName);
    if (OverwriteAnswers.empty()) ADD_FAILURE() << "unexpected overwrite question";
    return OverwriteAnswers.empty() ? false : Take(OverwriteAnswers);
  };
  Hooks.PickColor = [this, Take](QColor Initial) -> std::optional<QColor> {
    ColorDialogStarts.push_back(Initial);
    if (ColorAnswers.empty()) ADD_FAILURE() << "unexpected colour dialog";
    return ColorAnswers.empty() ? std::nullopt : Take(ColorAnswers);
  };
  Hooks.ErrorBox = [this](const QString& Message) { Errors.push_back(Message); };
  Hooks.OpenUrl = [this](const QUrl& Url) { Opened.push_back(Url); };
  Hooks.SetClipboardPictures = [this](const QImage& Image, const QByteArray& Svg, QString& Error) {
    if (!ClipboardTakes) {
      Error = QStringLiteral("held by another program");
      return false;
    }
    Clipboard.push_back(Image);
    ClipboardSvg.push_back(Svg);
    return true;
  };
  Hooks.Print = [this](QPrinter& Printer, int& SideMm) {
    PrintDialogSides.push_back(SideMm);
    if (!PrintAnswer) {
      ADD_FAILURE() << "unexpected print dialog";
      return false;
    }
    return PrintAnswer(Printer, SideMm);
  };
  Hooks.StartDrag = [this](QMimeData* Data) { Drags.emplace_back(Data); };
}
