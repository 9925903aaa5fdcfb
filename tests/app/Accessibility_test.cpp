// The window as a screen reader sees it, through Qt's accessibility interfaces (what the AT-SPI
// bridge hands to Orca): every control a user operates on every page has a name of its own (a
// list by its label, not by its current item), the colour swatches are named buttons whose press
// opens the colour dialog, and the preview tells what the code holds and whether it scans, and
// says so when that changes. The walk goes through all children, so pages added later are
// checked too, and so is the batch dialog.
#include "BatchDialog.h"
#include "support/window/WindowFixture.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <set>
#include <vector>

namespace {

// The roles of controls a user operates.
bool Operable(QAccessible::Role Role) {
  switch (Role) {
  case QAccessible::PushButton:
  case QAccessible::CheckBox:
  case QAccessible::RadioButton:
  case QAccessible::ComboBox:
  case QAccessible::EditableText:
  case QAccessible::SpinBox:
  case QAccessible::Slider:
  case QAccessible::ScrollBar:
  case QAccessible::Dial:
  case QAccessible::PageTab:
  case QAccessible::MenuItem:
    return true;
  default:
    return false;
  }
}

// What a screen reader speaks as the control's name: the label tied to it (the labelled-by
// relation), else its own name. A list's own name on this desktop is its current item (Qt hands
// lists to AT-SPI so), so a list is named only by a label tied to it.
QString SpokenName(QAccessibleInterface* Control) {
  const auto Labels = Control->relations(QAccessible::Label);
  if (!Labels.isEmpty() && Labels.first().first)
    return Labels.first().first->text(QAccessible::Name);
  if (Control->role() == QAccessible::ComboBox) return QString();
  return Control->text(QAccessible::Name);
}

// Every operable control shown under Root, described for a failure message, whose spoken name is
// empty or starts or ends with blanks.
void FindUnnamed(QAccessibleInterface* Root, QStringList& Unnamed, int& Operables) {
  for (int I = 0; I < Root->childCount(); ++I) {
    QAccessibleInterface* Child = Root->child(I);
    if (!Child || Child->state().invisible) continue;
    if (Operable(Child->role())) {
      ++Operables;
      const QString Name = SpokenName(Child);
      if (Name.isEmpty() || Name != Name.trimmed()) {
        QObject* Object = Child->object();
        Unnamed << QStringLiteral("%1 \"%2\" (role %3, at %4,%5)")
                       .arg(Object ? QString::fromLatin1(Object->metaObject()->className())
                                   : QStringLiteral("?"),
                            Name)
                       .arg(Child->role())
                       .arg(Child->rect().x())
                       .arg(Child->rect().y());
      }
    }
    // A list's items and a scroll area's own bars are the parts of one control.
    if (Child->role() != QAccessible::ComboBox) FindUnnamed(Child, Unnamed, Operables);
  }
}

} // namespace

TEST_F(TWindowTest, EveryOperableControlOnEveryPageHasASpokenName) {
  TForm1& F = Form();
  QAccessibleInterface* Window = QAccessible::queryAccessibleInterface(&F);
  ASSERT_NE(Window, nullptr);
  for (int Page = 0; Page < F.PageControl1->count(); ++Page) {
    F.PageControl1->setCurrentIndex(Page);
    QApplication::processEvents();
    SCOPED_TRACE(F.PageControl1->tabText(Page).toStdString());
    QStringList Unnamed;
    int Operables = 0;
    FindUnnamed(Window, Unnamed, Operables);
    EXPECT_GT(Operables, 25) << "the walk reaches the controls";
    EXPECT_TRUE(Unnamed.isEmpty()) << Unnamed.join(QLatin1Char('\n')).toStdString();
  }
}

TEST_F(TWindowTest, ListsAreSpokenByWhatTheyChoose) {
  TForm1& F = Form();
  const std::pair<QWidget*, QString> Lists[] = {
      {F.EncryptionType, QStringLiteral("Encoding Mode")},
      {F.FrameSize, QStringLiteral("Spacing")},
      {F.ErrorCorrection, QStringLiteral("Error Correction")},
      {F.WPA, QStringLiteral("Network Encryption Type")},
      {F.ModuleShape, QStringLiteral("Design:")},
      {F.FinderShape, QStringLiteral("Finder shape")},
  };
  for (const auto& [List, Name] : Lists) {
    QAccessibleInterface* Control = QAccessible::queryAccessibleInterface(List);
    ASSERT_NE(Control, nullptr);
    EXPECT_EQ(SpokenName(Control), Name);
    EXPECT_EQ(Control->text(QAccessible::Value), qobject_cast<QComboBox*>(List)->currentText());
  }
}

TEST_F(TWindowTest, ColourSwatchesAreNamedButtonsThatOpenTheColourDialog) {
  TForm1& F = Form();
  F.Frame->setChecked(true); // the frame colour takes part
  const std::pair<TColorSwatch*, QString> Swatches[] = {
      {F.BackColor, QStringLiteral("Back Color")},
      {F.MatrixColor, QStringLiteral("Matrix Color")},
      {F.FrameColor, QStringLiteral("Frame mark color")},
      {F.FinderColor, QStringLiteral("Finder color")},
  };
  int Shade = 10;
  for (const auto& [Swatch, Name] : Swatches) {
    SCOPED_TRACE(Name.toStdString());
    QAccessibleInterface* Button = QAccessible::queryAccessibleInterface(Swatch);
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(Button->role(), QAccessible::Button);
    EXPECT_EQ(Button->text(QAccessible::Name), Name);
    EXPECT_TRUE(Button->state().focusable);
    EXPECT_EQ(Button->text(QAccessible::Description),
              Swatch->ShownColor().name(QColor::HexRgb).toUpper());
    QAccessibleActionInterface* Actions = Button->actionInterface();
    ASSERT_NE(Actions, nullptr);
    ASSERT_TRUE(Actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    const QColor Chosen(Shade, Shade + 1, Shade + 2);
    Shade += 10;
    ColorAnswers.push_back(Chosen);
    Actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(ColorAnswers.empty()) << "the press opened the colour dialog";
    EXPECT_EQ(Button->text(QAccessible::Description), Chosen.name(QColor::HexRgb).toUpper());
  }
}

TEST_F(TWindowTest, ThePreviewTellsTheCodeAndTheVerdictAndAnnouncesIt) {
  TForm1& F = Form();
  // Qt hands the events to the desktop's bridge only while a screen reader listens; the window's
  // signal says which it sent.
  std::vector<std::pair<QObject*, int>> Events;
  QObject::connect(&F, &TForm1::Announced,
                   [&Events](QObject* Source, int Event) { Events.emplace_back(Source, Event); });
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QStringLiteral("https://example.org"));
  F.CreateCodeBtn->click();
  ASSERT_TRUE(F.WaitForReadBack());
  QAccessibleInterface* Preview = QAccessible::queryAccessibleInterface(F.Image1);
  ASSERT_NE(Preview, nullptr);
  EXPECT_EQ(Preview->role(), QAccessible::Graphic);
  EXPECT_EQ(Preview->text(QAccessible::Name),
            QStringLiteral("QR code, version 2-L: https://example.org \u2014 reads back exactly"));
  EXPECT_EQ(Preview->text(QAccessible::Description), F.ReadBackLabel->text());
  const auto Announced = [&](QObject* Object, QAccessible::Event Type) {
    for (const auto& Event : Events)
      if (Event.first == Object && Event.second == Type) return true;
    return false;
  };
  EXPECT_TRUE(Announced(F.Image1, QAccessible::NameChanged));
  EXPECT_TRUE(Announced(F.ReadBackLabel, QAccessible::Alert));

  // Colours that fail: the verdict says why, at once.
  Events.clear();
  ChooseColor(F.MatrixColor, QColor(0xEE, 0xEE, 0xEE));
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_TRUE(Preview->text(QAccessible::Name)
                  .startsWith(QStringLiteral("QR code, version 2-L: https://example.org \u2014 "
                                             "Does not scan with these colours")))
      << Preview->text(QAccessible::Name).toStdString();
  EXPECT_TRUE(Announced(F.ReadBackLabel, QAccessible::Alert));
}

TEST_F(TWindowTest, TheBatchDialogsControlsAreNamedExplainedAndReachedWithTab) {
  TForm1& F = Form();
  F.MakeManyCodes1->trigger();
  TBatchDialog* D = F.BatchDialog();
  ASSERT_NE(D, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(D, 1000));
  // Rows with a column the batch does not know: its list is walked too.
  ASSERT_TRUE(D->LoadText(QStringLiteral("url\tRoom\r\nhttps://example.org\t101\r\n")));
  ASSERT_EQ(D->MappingLists.size(), 1u);
  D->OutputList->setCurrentIndex(TBatchDialog::otSheets);
  QApplication::processEvents();

  QStringList Unnamed;
  int Operables = 0;
  FindUnnamed(QAccessible::queryAccessibleInterface(D), Unnamed, Operables);
  EXPECT_GT(Operables, 15) << "the walk reaches the controls";
  EXPECT_TRUE(Unnamed.isEmpty()) << Unnamed.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(SpokenName(QAccessible::queryAccessibleInterface(D->MappingLists[0])),
            QStringLiteral("\u201cRoom\u201d:"));

  // Tab goes round every control that takes the focus, and each explains itself.
  std::set<QWidget*> Reached;
  D->ChooseFileBtn->setFocus();
  for (int I = 0; I < 60 && Reached.insert(QApplication::focusWidget()).second; ++I)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  for (QWidget* Control : D->findChildren<QWidget*>()) {
    if (!Control->isVisible() || !Control->isEnabled() || !(Control->focusPolicy() & Qt::TabFocus))
      continue;
    const bool Part = qobject_cast<QScrollBar*>(Control) ||
                      qobject_cast<QAbstractSpinBox*>(Control->parentWidget());
    if (Part) continue; // the parts of one control
    SCOPED_TRACE(Control->metaObject()->className());
    EXPECT_TRUE(Reached.count(Control)) << Control->accessibleName().toStdString();
    EXPECT_FALSE(Control->toolTip().isEmpty()) << Control->accessibleName().toStdString();
  }
}
