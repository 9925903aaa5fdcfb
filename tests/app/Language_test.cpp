// The window in English and in German (the translation the build compiles, as the program loads
// it for LANG=de_DE.UTF-8): at its smallest size no caption is cut and no two controls overlap in
// either language; in German the captions, lists, tool tips and menu are German; the files and
// the settings do not change with the language.
#include "support/window/WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTranslator>
#include <QXmlStreamReader>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace {

// The German translation, installed while it lives.
class TGerman {
public:
  TGerman() {
    Loaded = FTranslator.load(QStringLiteral("marbeck_de"),
                              QStringLiteral(MARBECK_BUILD_TRANSLATIONS_DIR));
    if (Loaded) QApplication::installTranslator(&FTranslator);
  }
  ~TGerman() { QApplication::removeTranslator(&FTranslator); }
  bool Loaded = false;

private:
  QTranslator FTranslator;
};

// The German words of the translation file itself, by context and English source.
std::map<std::pair<QString, QString>, QString> GermanTs() {
  std::map<std::pair<QString, QString>, QString> Words;
  QFile File(QStringLiteral(MARBECK_GERMAN_TS));
  if (!File.open(QIODevice::ReadOnly)) return Words;
  QXmlStreamReader Xml(&File);
  QString Context, Source;
  while (!Xml.atEnd()) {
    if (!Xml.readNextStartElement()) continue;
    if (Xml.name() == QLatin1String("name")) Context = Xml.readElementText();
    if (Xml.name() == QLatin1String("source")) Source = Xml.readElementText();
    if (Xml.name() == QLatin1String("translation"))
      Words[{Context, Source}] = Xml.readElementText();
  }
  return Words;
}

// Controls shown on the current page and under it whose caption is cut, or that overlap another
// control of the same parent, described for a failure message.
QStringList LayoutFaults(QWidget* Root, const std::set<std::pair<QWidget*, QWidget*>>& Allowed) {
  QStringList Faults;
  const auto Name = [](QWidget* W) {
    QString Text;
    if (auto* Label = qobject_cast<QLabel*>(W)) Text = Label->text();
    if (auto* Button = qobject_cast<QAbstractButton*>(W)) Text = Button->text();
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(W->metaObject()->className()), Text);
  };
  std::vector<QWidget*> Shown;
  for (QWidget* Child : Root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (Child->isVisible() && !Child->isWindow()) Shown.push_back(Child);
  // A caption's width: a label's or a box's text as the style lays it out; a button's text and
  // picture with two pixels on each side (the style's least width of a button is no need).
  const auto Needed = [](QWidget* W) {
    if (auto* Button = qobject_cast<QPushButton*>(W)) {
      QString Text = Button->text();
      Text.remove(QLatin1Char('&'));
      return Button->fontMetrics().horizontalAdvance(Text) +
             (Button->icon().isNull() ? 0 : Button->iconSize().width() + 4) + 4;
    }
    return W->sizeHint().width();
  };
  const auto Captioned = [](QWidget* W) {
    return (qobject_cast<QLabel*>(W) && !qobject_cast<QLabel*>(W)->wordWrap()) ||
           qobject_cast<QAbstractButton*>(W);
  };
  // What a control shows: a label or a box no wider than its caption (their boxes may reach
  // under a neighbour with nothing drawn there).
  const auto Drawn = [&](QWidget* W) {
    QRect Place = W->geometry();
    if (qobject_cast<QLabel*>(W) || qobject_cast<QCheckBox*>(W))
      Place.setWidth(std::min(Place.width(), Needed(W)));
    return Place;
  };
  for (QWidget* W : Shown)
    if (!Root->rect().contains(W->geometry()))
      Faults << Name(W) + QStringLiteral(" reaches beyond the edge");
  for (QWidget* W : Shown)
    if (Captioned(W) && Needed(W) > W->width())
      Faults << Name(W) + QStringLiteral(" is cut: %1 of %2 pixels").arg(W->width()).arg(Needed(W));
  for (std::size_t I = 0; I < Shown.size(); ++I)
    for (std::size_t J = I + 1; J < Shown.size(); ++J)
      if (Drawn(Shown[I]).intersects(Drawn(Shown[J])) && !Allowed.count({Shown[I], Shown[J]}) &&
          !Allowed.count({Shown[J], Shown[I]}))
        Faults << Name(Shown[I]) + QStringLiteral(" overlaps ") + Name(Shown[J]);
  return Faults;
}

void ExpectCleanLayout(TForm1& F) {
  // The cover lies over the frame colour on purpose; the note and the read-back line share the
  // row under the preview, one at a time or each on its half.
  const std::set<std::pair<QWidget*, QWidget*>> Allowed = {{F.Shape1, F.FrameColor},
                                                           {F.NoteLabel, F.ReadBackLabel}};
  for (int Page = 0; Page < F.PageControl1->count(); ++Page) {
    F.PageControl1->setCurrentIndex(Page);
    SCOPED_TRACE(F.PageControl1->tabText(Page).toStdString());
    QStringList Faults = LayoutFaults(F.ClientArea, Allowed);
    Faults += LayoutFaults(F.PageControl1->currentWidget(), Allowed);
    EXPECT_TRUE(Faults.isEmpty()) << Faults.join(QLatin1Char('\n')).toStdString();
  }
}

} // namespace

TEST_F(TWindowTest, NothingIsCutOrOverlapsAtTheSmallestSizeInEnglishAndGerman) {
  {
    SCOPED_TRACE("English");
    ASSERT_EQ(Form().ClientArea->size(), kSmallestClientSize);
    ExpectCleanLayout(Form());
  }
  TGerman German;
  ASSERT_TRUE(German.Loaded);
  Reopen();
  SCOPED_TRACE("German");
  ASSERT_EQ(Form().ClientArea->size(), kSmallestClientSize);
  ExpectCleanLayout(Form());
}

TEST_F(TWindowTest, TheGermanWindowIsGermanAndWritesWhatTheEnglishOneWrites) {
  std::optional<TGerman> German;
  German.emplace();
  ASSERT_TRUE(German->Loaded);
  Reopen();
  {
    TForm1& F = Form();
    EXPECT_EQ(F.CreateCodeBtn->text(), QStringLiteral("QR-Code erzeugen"));
    EXPECT_EQ(F.SaveTextBtn->text(), QStringLiteral("Speichern"));
    EXPECT_EQ(F.LoadTextBtn->text(), QStringLiteral("Laden"));
    EXPECT_EQ(F.Label36->text(), QStringLiteral("Fehlerkorrektur"));
    EXPECT_EQ(F.PageControl1->tabText(4), QStringLiteral("WLAN"));
    EXPECT_EQ(F.EncryptionType->itemText(0), QStringLiteral("Automatisch"));
    EXPECT_EQ(F.CopyQRCodetoClipboard1->text(),
              QStringLiteral("QR-Code in die Zwischenablage &kopieren"));
    EXPECT_TRUE(F.ErrorCorrection->toolTip().startsWith(QStringLiteral("Fehlerkorrektur:")));
    EXPECT_EQ(F.BackColor->accessibleName(), QStringLiteral("Hintergrundfarbe"));

    F.PageControl1->setCurrentIndex(4);
    F.SSID->setText(QStringLiteral("Caf\u00E9"));
    F.NetworkKey->setText(QStringLiteral("geheim123"));
    F.WPA->setCurrentIndex(1);
    F.EncryptionType->setCurrentIndex(qrUTF8ECI);
    SaveAnswers.push_back(Folder() + QStringLiteral("/net.nwk"));
    F.SaveWifiBtn->click();
    EXPECT_EQ(Filters.back(), QStringLiteral("Netzwerkschl\u00FCssel (*.nwk)"));
  }
  // A network key file written by the German window loads in the English one, and the settings
  // keep the choices (indices, not captions).
  German.reset();
  Reopen();
  TForm1& F = Form();
  EXPECT_EQ(F.CreateCodeBtn->text(), QStringLiteral("Generate QR-Code"));
  EXPECT_EQ(F.PageControl1->currentIndex(), 4);
  EXPECT_EQ(F.EncryptionType->currentIndex(), qrUTF8ECI);
  F.SSID->clear();
  F.NetworkKey->clear();
  OpenAnswers.push_back(Folder() + QStringLiteral("/net.nwk"));
  F.LoadWifiBtn->click();
  EXPECT_EQ(F.SSID->text(), QStringLiteral("Caf\u00E9"));
  EXPECT_EQ(F.NetworkKey->text(), QStringLiteral("geheim123"));
  EXPECT_EQ(F.WPA->currentIndex(), 1);
  EXPECT_TRUE(Errors.empty());
}

// The messages of the floors below the window (a failed load, a refused IBAN, the read-back's
// reason) are German in the German window: each is the translation file's German template with
// the same arguments, and the English window still shows the English words.
TEST_F(TWindowTest, TheGermanWindowShowsTheMessagesOfTheLowerFloorsInGerman) {
  const auto Ts = GermanTs();
  const auto De = [&Ts](const char* Context, const char* Source) {
    const auto Found = Ts.find({QString::fromLatin1(Context), QString::fromUtf8(Source)});
    return Found == Ts.end() ? QString() : Found->second;
  };
  const QString CannotOpen = De("Messages", "Cannot open file \"%1\". %2");
  const QString WrongIban =
      De("Messages", "The IBAN's check digits do not match: a character is wrong.");
  const QString Colours =
      De("TForm1", "Does not scan with these colours: %1, at least 3 : 1 is needed");
  const QString Contrast = De("Messages", "contrast %1 : 1");
  for (const QString& Words : {CannotOpen, WrongIban, Colours, Contrast})
    ASSERT_FALSE(Words.isEmpty()) << "a German translation in the file";

  TGerman German;
  ASSERT_TRUE(German.Loaded);
  Reopen();
  TForm1& F = Form();
  // A failed load: the error box.
  const QString Missing = Folder() + QStringLiteral("/missing.txt");
  F.PageControl1->setCurrentIndex(0);
  OpenAnswers.push_back(Missing);
  F.LoadTextBtn->click();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors.back(),
            QString(CannotOpen)
                .replace(QLatin1String("%1"), Missing)
                .replace(QLatin1String("%2"), QString::fromUtf8(std::strerror(ENOENT))));
  // A refused IBAN: the note under the preview.
  F.PageControl1->setCurrentIndex(9);
  F.PayName->setText(QStringLiteral("Anna M\u00FCller"));
  F.PayIBAN->setText(QStringLiteral("DE89370400440532013001"));
  F.CreateCodeBtn->click();
  EXPECT_EQ(F.NoteLabel->text(), WrongIban);
  // The read-back's reason: yellow on white.
  F.PayIBAN->setText(QStringLiteral("DE89370400440532013000"));
  ChooseColor(F.MatrixColor, QColor(255, 255, 0));
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_EQ(F.ReadBackLabel->text(),
            QString(Colours).replace(
                QLatin1String("%1"),
                QString(Contrast).replace(QLatin1String("%1"), QLatin1String("1.07"))));
  EXPECT_TRUE(F.ReadBackLabel->text().contains(QLatin1String("Kontrast")));
}
