// Reading a code back into its page through the window: Open Picture, Paste Picture, a picture
// dropped onto the preview and Read from Screen (its grab fed through the hooks), with codes the
// qrencode command and segno made. The found code fills its page, a pass re-makes it, the note
// says what was read; pictures without a code change nothing.
#include "support/OutsideReaders.h"
#include "support/window/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

namespace {

// Everything the pages hold, to see that nothing changed.
QStringList PageState(TForm1& F) {
  QStringList State = {TForm1::MemoLines(F.MemoText),
                       F.EditURL->text(),
                       F.EditAddress->text(),
                       F.EditSubject->text(),
                       TForm1::MemoLines(F.MemoMessage),
                       F.SSID->text(),
                       F.NetworkKey->text(),
                       QString::number(F.WPA->currentIndex()),
                       QString::number(F.Hidden->isChecked()),
                       QString::number(F.PageControl1->currentIndex()),
                       QString::number(F.EncryptionType->currentIndex())};
  const TVCardPage Card = F.VCardPage();
  State << QString::fromStdU16String(Card.ContactName) << QString::fromStdU16String(Card.CityWork);
  return State;
}

QImage SideBySide(const QImage& A, const QImage& B) {
  QImage Both(A.width() + B.width() + 60, std::max(A.height(), B.height()), QImage::Format_RGB32);
  Both.fill(Qt::white);
  QPainter P(&Both);
  P.drawImage(0, 0, A);
  P.drawImage(A.width() + 60, 0, B);
  return Both;
}

} // namespace

TEST_F(TWindowTest, OpenPictureFillsThePageOfEveryKindAndRunsAPass) {
  TForm1& F = Form();
  EXPECT_EQ(F.OpenPicture1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(F.PastePicture1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  EXPECT_TRUE(F.ReadFromScreen1->isEnabled()); // offscreen: not Wayland

  const struct {
    const char* File;
    TOutsideEncoder Encoder;
    std::string Bytes;
    int Page;
    std::function<void(TForm1&)> Check;
    QString Note; // %1: the number of bytes
  } Cases[] = {
      {"office-door", TOutsideEncoder::Segno,
       "WIFI:T:WPA;S:Office \\;2;P:s3cr\\;t\\:\\\\x;H:true;;", 4,
       [](TForm1& W) {
         EXPECT_EQ(W.SSID->text(), QStringLiteral("Office ;2"));
         EXPECT_EQ(W.NetworkKey->text(), QStringLiteral("s3cr;t:\\x"));
         EXPECT_EQ(W.WPA->currentIndex(), kWifiWPA);
         EXPECT_TRUE(W.Hidden->isChecked());
       },
       QStringLiteral("Read a Wi-Fi code from office-door.png: version 3, %1 bytes")},
      {"guests", TOutsideEncoder::Qrencode, "WIFI:T:nopass;S:Caf\xC3\xA9;;", 4,
       [](TForm1& W) {
         EXPECT_EQ(W.SSID->text(), QStringLiteral("Caf\u00E9"));
         EXPECT_EQ(W.NetworkKey->text(), QString());
         EXPECT_EQ(W.WPA->currentIndex(), kWifiOpen);
         EXPECT_FALSE(W.Hidden->isChecked());
       },
       QStringLiteral("Read a Wi-Fi code from guests.png: version 2, %1 bytes")},
      {"flyer", TOutsideEncoder::Qrencode,
       "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xC3\xBCrgen M\xC3\xBCller\\, Jr.\r\n"
       "N:M\xC3\xBCller;J\xC3\xBCrgen;;;\r\nADR;TYPE=work:;;Ring 1\\, Hof;K\xC3\xB6ln;;50667;\r\n"
       "NOTE:call\r\nEND:VCARD\r\n",
       3,
       [](TForm1& W) {
         const TVCardPage Card = W.VCardPage();
         EXPECT_EQ(Card.ContactName, u"J\u00FCrgen M\u00FCller, Jr."); // not the name rule's
         EXPECT_EQ(Card.FirstName, u"J\u00FCrgen");
         EXPECT_EQ(Card.LastName, u"M\u00FCller");
         EXPECT_EQ(Card.Streetwork, u"Ring 1, Hof");
         EXPECT_EQ(Card.CityWork, u"K\u00F6ln");
         EXPECT_EQ(Card.ZIPCodeWork, u"50667");
         EXPECT_EQ(Card.PhoneWork, u""); // what the code does not hold is emptied
       },
       QStringLiteral("Read a vCard code from flyer.png: version 7, %1 bytes; not kept: NOTE")},
      {"mail", TOutsideEncoder::Segno,
       "mailto:a@b.org?subject=Fish%20%26%20Chips%20%232&body=Hi%0D%0Aall%20%23%26", 2,
       [](TForm1& W) {
         EXPECT_EQ(W.EditAddress->text(), QStringLiteral("a@b.org"));
         EXPECT_EQ(W.EditSubject->text(), QStringLiteral("Fish & Chips #2"));
         EXPECT_EQ(TForm1::MemoLines(W.MemoMessage), QStringLiteral("Hi\r\nall #&"));
       },
       QStringLiteral("Read an e-mail code from mail.png: version 4, %1 bytes")},
      {"link", TOutsideEncoder::Qrencode, "https://example.org/?a=1&b=2", 1,
       [](TForm1& W) {
         EXPECT_EQ(W.EditURL->text(), QStringLiteral("https://example.org/?a=1&b=2"));
       },
       QStringLiteral("Read a URL code from link.png: version 2, %1 bytes")},
      {"note", TOutsideEncoder::Segno, "Zwei\r\nZeilen", 0,
       [](TForm1& W) {
         EXPECT_EQ(TForm1::MemoLines(W.MemoText), QStringLiteral("Zwei\r\nZeilen"));
       },
       QStringLiteral("Read a Text code from note.png: version 1, %1 bytes")},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.File);
    const QString Path =
        Folder() + QLatin1Char('/') + QLatin1String(C.File) + QStringLiteral(".png");
    ASSERT_TRUE(MakeOutsideCode(C.Encoder, C.Bytes, Path.toStdString()));
    F.PageControl1->setCurrentIndex((C.Page + 1) % 5);
    OpenAnswers.push_back(Path);
    F.OpenPicture1->trigger();
    EXPECT_EQ(
        Filters.back(),
        QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.svg *.svgz);;All files (*)"));
    EXPECT_EQ(F.PageControl1->currentIndex(), C.Page);
    C.Check(F);
    EXPECT_EQ(F.NoteLabel->text().toStdString(), C.Note.arg(C.Bytes.size()).toStdString());
    // The pass ran on the page as filled: the code now shown is Marbeck's of those fields.
    EXPECT_FALSE(QRText().empty());
    EXPECT_TRUE(Errors.empty());
  }
}

TEST_F(TWindowTest, PicturesWithoutACodeLeaveThePagesAsTheyWere) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(4);
  F.SSID->setText(QStringLiteral("Keep"));
  F.CreateCodeBtn->click();
  const QStringList Before = PageState(F);
  const std::u16string Payload = QRText();

  const QString Blank = Folder() + QStringLiteral("/blank.png");
  QImage White(200, 200, QImage::Format_RGB32);
  White.fill(Qt::white);
  ASSERT_TRUE(White.save(Blank));
  const QString Broken = Folder() + QStringLiteral("/broken.jpg");
  ASSERT_TRUE(WriteFileBytes(Broken.toStdString(), QByteArray("\xFF\xD8\xFF\xE0 not really")));

  OpenAnswers.push_back(Blank);
  F.OpenPicture1->trigger();
  EXPECT_EQ(F.NoteLabel->text().toStdString(), std::string("No QR code found in blank.png."));
  OpenAnswers.push_back(Broken);
  F.OpenPicture1->trigger();
  EXPECT_TRUE(F.NoteLabel->text().startsWith(QStringLiteral("Cannot read broken.jpg: ")))
      << F.NoteLabel->text().toStdString();
  const QString Huge = Folder() + QStringLiteral("/huge.bmp");
  ASSERT_TRUE(WriteFileBytes(Huge.toStdString(), BmpHeader(20000, 10001)));
  OpenAnswers.push_back(Huge);
  F.OpenPicture1->trigger();
  EXPECT_EQ(F.NoteLabel->text().toStdString(),
            "Cannot read huge.bmp: the picture is larger than 200 megapixels (20000 x 10001)");
  OpenAnswers.push_back(std::nullopt); // cancelled
  F.OpenPicture1->trigger();

  QGuiApplication::clipboard()->setText(QStringLiteral("only text"));
  F.PastePicture1->trigger();
  EXPECT_EQ(F.NoteLabel->text().toStdString(),
            std::string("Nothing read: the clipboard holds no picture."));

  EXPECT_EQ(PageState(F), Before);
  EXPECT_EQ(QRText(), Payload);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(TWindowTest, PastedAndDroppedPicturesAreRead) {
  TForm1& F = Form();
  const QImage Card =
      OutsideCodePicture(TOutsideEncoder::Segno, "\xEF\xBB\xBF"
                                                 "BEGIN:VCARD\r\nFN:Anna\r\nEND:VCARD\r\n");
  ASSERT_FALSE(Card.isNull());
  QGuiApplication::clipboard()->setImage(Card);
  F.PastePicture1->trigger();
  EXPECT_EQ(F.PageControl1->currentIndex(), 3);
  EXPECT_EQ(F.ContactName->text(), QStringLiteral("Anna"));
  EXPECT_EQ(F.EncryptionType->currentIndex(), qrAuto); // no mark goes before a record
  EXPECT_TRUE(
      F.NoteLabel->text().startsWith(QStringLiteral("Read a vCard code from the clipboard")));
  // Light modules on a dark ground are read, and the note says the code is inverted.
  QImage Negative = OutsideCodePicture(TOutsideEncoder::Qrencode, "https://example.org/neg");
  ASSERT_FALSE(Negative.isNull());
  Negative.invertPixels();
  QGuiApplication::clipboard()->setImage(Negative);
  F.PastePicture1->trigger();
  EXPECT_EQ(F.EditURL->text(), QStringLiteral("https://example.org/neg"));
  EXPECT_TRUE(F.NoteLabel->text().contains(QStringLiteral("; inverted (light modules on a dark "
                                                          "ground)")))
      << F.NoteLabel->text().toStdString();

  // A file dropped onto the preview.
  const QString Path = Folder() + QStringLiteral("/dropped.png");
  ASSERT_TRUE(
      MakeOutsideCode(TOutsideEncoder::Qrencode, "https://example.net/", Path.toStdString()));
  QMimeData Data;
  Data.setUrls({QUrl::fromLocalFile(Path)});
  QDragEnterEvent Enter(QPoint(10, 10), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(F.Panel1->viewport(), &Enter);
  EXPECT_TRUE(Enter.isAccepted());
  QDropEvent Drop(QPointF(10, 10), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(F.Panel1->viewport(), &Drop);
  EXPECT_TRUE(Drop.isAccepted());
  EXPECT_EQ(F.PageControl1->currentIndex(), 1);
  EXPECT_EQ(F.EditURL->text(), QStringLiteral("https://example.net/"));
  EXPECT_EQ(F.EncryptionType->currentIndex(), qrAuto); // no mark: the mark choice gives way
  EXPECT_EQ(F.NoteLabel->text().toStdString(),
            std::string("Read a URL code from dropped.png: version 2, 20 bytes"));

  // Something that is no picture is not taken.
  QMimeData Text;
  Text.setText(QStringLiteral("words"));
  QDropEvent TextDrop(QPointF(10, 10), Qt::CopyAction, &Text, Qt::LeftButton, Qt::NoModifier);
  TextDrop.setAccepted(false);
  QCoreApplication::sendEvent(F.Panel1->viewport(), &TextDrop);
  EXPECT_EQ(F.EditURL->text(), QStringLiteral("https://example.net/"));
}

TEST_F(TWindowTest, ReadFromScreenTakesTheDraggedRectangleAndAsksWhenItHoldsSeveralCodes) {
  TForm1& F = Form();
  const QImage Left = OutsideCodePicture(TOutsideEncoder::Qrencode, "left text", 0, 4);
  const QImage Right =
      OutsideCodePicture(TOutsideEncoder::Segno, "WIFI:T:WEP;S:right;P:12345;;", 0, 4);
  ASSERT_FALSE(Left.isNull());
  ASSERT_FALSE(Right.isNull());
  // A grey desktop with the two codes on it.
  QImage Screen(1280, 800, QImage::Format_RGB32);
  Screen.fill(QColor(90, 110, 130));
  {
    QPainter P(&Screen);
    P.drawImage(100, 100, SideBySide(Left, Right));
  }
  int Grabs = 0;
  std::optional<QRect> Region;
  std::vector<QStringList> Asked;
  std::optional<int> Answer;
  F.Hooks().GrabScreen = [&](QString&) {
    ++Grabs;
    return Screen;
  };
  F.Hooks().PickRegion = [&](const QImage& Shown) {
    EXPECT_EQ(Shown, Screen);
    return Region;
  };
  F.Hooks().ChooseCode = [&](const QStringList& Items) {
    Asked.push_back(Items);
    return Answer;
  };

  Region = QRect(90, 90, Left.width() + 20, Left.height() + 20); // around the left code only
  F.ReadFromScreen1->trigger();
  EXPECT_EQ(F.PageControl1->currentIndex(), 0);
  EXPECT_EQ(TForm1::MemoLines(F.MemoText), QStringLiteral("left text"));
  EXPECT_EQ(F.NoteLabel->text().toStdString(),
            std::string("Read a Text code from the screen: version 1, 9 bytes"));
  EXPECT_TRUE(Asked.empty());

  Region = Screen.rect(); // both codes: the user chooses
  Answer = std::nullopt;  // first cancels: nothing changes
  const QStringList Before = PageState(F);
  F.ReadFromScreen1->trigger();
  ASSERT_EQ(Asked.size(), 1u);
  QStringList Sorted = Asked[0];
  Sorted.sort();
  EXPECT_EQ(Sorted, (QStringList{QStringLiteral("Text: left text"),
                                 QStringLiteral("Wi-Fi: WIFI:T:WEP;S:right;P:12345;;")}));
  EXPECT_EQ(PageState(F), Before);

  Answer =
      static_cast<int>(Asked[0].indexOf(QStringLiteral("Wi-Fi: WIFI:T:WEP;S:right;P:12345;;")));
  F.ReadFromScreen1->trigger();
  EXPECT_EQ(F.PageControl1->currentIndex(), 4);
  EXPECT_EQ(F.SSID->text(), QStringLiteral("right"));
  EXPECT_EQ(F.NetworkKey->text(), QStringLiteral("12345"));
  EXPECT_EQ(F.WPA->currentIndex(), kWifiWEP);

  Region = std::nullopt; // the drag cancelled
  const QStringList Now = PageState(F);
  F.ReadFromScreen1->trigger();
  EXPECT_EQ(PageState(F), Now);
  EXPECT_EQ(Grabs, 4);
}

// Codes segno made with an ECI designator read as the text they hold: UTF-8 marked by ECI 26 sets
// the Encoding Mode list to "UTF-8 with ECI"; a code in ISO-8859-2 (ECI 4) and one without a
// designator leave that choice as it is.
TEST_F(TWindowTest, CodesWithAnEciDesignatorReadAsTheirText) {
  TForm1& F = Form();
  struct TCase {
    const char* Encoding; // segno's; empty: qrencode, no designator
    const char* Text;     // UTF-8
  };
  const TCase Cases[] = {
      {"utf-8", "Gr\xC3\xBC\xC3\x9F"
                "e \xE2\x82\xAC"},
      {"iso-8859-2", "\xC5\x81\xC3\xB3"
                     "d\xC5\xBA"},
      {"", "plain"},
  };
  F.EncryptionType->setCurrentIndex(qrAuto);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Encoding);
    const QString Path = Folder() + QStringLiteral("/eci-%1.png").arg(Case.Encoding);
    if (*Case.Encoding) {
      const TSegnoCode Segno = SegnoEciCode(Case.Text, 'M', 0, -1, Case.Encoding);
      ASSERT_FALSE(Segno.Picture.isNull());
      ASSERT_TRUE(Segno.Picture.scaled(Segno.Picture.size() * 4).save(Path));
    } else {
      ASSERT_TRUE(MakeOutsideCode(TOutsideEncoder::Qrencode, Case.Text, Path.toStdString()));
    }
    OpenAnswers.push_back(Path);
    F.OpenPicture1->trigger();
    EXPECT_EQ(F.PageControl1->currentIndex(), 0);
    EXPECT_EQ(TForm1::MemoLines(F.MemoText), QString::fromUtf8(Case.Text));
    EXPECT_EQ(F.EncryptionType->currentIndex(), qrUTF8ECI);
  }
  EXPECT_TRUE(Errors.empty());
}
