// Faults seen from the window: a save onto a full disk, a load of a file that vanished or cannot be
// read, a settings store that cannot be written at close, and a damaged store at start. The page,
// the previous file and the previous store lose nothing, and the program goes on.
#include "FaultInjection.h"
#include "platform/SettingsStore.h"
#include "support/window/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QTabWidget>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Everything the four file pages hold, as one text, to see that a failed action changed nothing.
QString PageContents(TForm1& F) {
  QStringList Parts = {TForm1::MemoLines(F.MemoText),  TForm1::MemoLines(F.MemoMessage),
                       F.EditAddress->text(),          F.EditSubject->text(),
                       TForm1::MemoLines(F.MemoVCard), F.SSID->text(),
                       F.NetworkKey->text(),           QString::number(F.WPA->currentIndex())};
  const TVCardPage V = F.VCardPage();
  for (const std::u16string* Field :
       {&V.ContactName,      &V.FirstName,     &V.LastName,       &V.MiddleName,  &V.PhonePrivate,
        &V.PhoneCellPrivate, &V.EmailPrivate,  &V.WebsitePrivate, &V.StreetHome,  &V.CityHome,
        &V.ZIPCodeHome,      &V.Birthday,      &V.Company,        &V.Department,  &V.JobTitle,
        &V.PhoneWork,        &V.CellPhoneWork, &V.EmailWork,      &V.WebsiteWork, &V.Streetwork,
        &V.CityWork,         &V.ZIPCodeWork})
    Parts << QString::fromStdU16String(*Field);
  return Parts.join(QChar(0x1F));
}

void FillPages(TForm1& F) {
  TForm1::SetMemoLines(F.MemoText, QStringLiteral("text page\r\nsecond line \u00E9"));
  F.EditAddress->setText(QStringLiteral("a@b.example"));
  F.EditSubject->setText(QStringLiteral("subject"));
  TForm1::SetMemoLines(F.MemoMessage, QStringLiteral("message \u20AC"));
  TVCardPage V;
  V.FirstName = u"Ann";
  V.LastName = u"Lee";
  V.ContactName = u"Ann Lee";
  V.CityHome = u"Town; North";
  V.Birthday = u"1970.01.31";
  F.SetVCardPage(V);
  F.DoVCardClick(); // the composed record, as the save would leave it
  F.SSID->setText(QStringLiteral("home;net"));
  F.NetworkKey->setText(QStringLiteral("se\\cret"));
  F.WPA->setCurrentIndex(1);
}

struct TFilePage {
  const char* Extension;
  QPushButton* TForm1::*Save;
  QPushButton* TForm1::*Load;
};

const TFilePage kFilePages[] = {
    {".txt", &TForm1::SaveTextBtn, &TForm1::LoadTextBtn},
    {".eml", &TForm1::SaveEMailBtn, &TForm1::LoadEMailBtn},
    {".vcf", &TForm1::SaveVCard3Btn, &TForm1::LoadVcard3Btn},
    {".nwk", &TForm1::SaveWifiBtn, &TForm1::LoadWifiBtn},
};

QString Reason(int Code) {
  return QString::fromLocal8Bit(std::strerror(Code));
}

} // namespace

TEST_F(TWindowTest, SaveOntoAFullDiskReportsItAndKeepsFileAndPage) {
  TForm1& F = Form();
  FillPages(F);
  const QString Before = PageContents(F);
  for (const TFilePage& Page : kFilePages) {
    SCOPED_TRACE(Page.Extension);
    const QString Path = Folder() + QStringLiteral("/old") + QString::fromLatin1(Page.Extension);
    WriteBytes(Path.toStdString(), "previous content");
    const auto Names = Listing(Folder().toStdString());
    Errors.clear();
    SaveAnswers = {Path};
    OverwriteAnswers = {true};
    {
      TFileSizeLimit Full(4);
      ASSERT_TRUE(Full.Active());
      (F.*Page.Save)->click();
    }
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("Cannot create file \"%1\". %2").arg(Path, Reason(EFBIG)));
    EXPECT_EQ(ReadBytes(Path.toStdString()), "previous content");
    EXPECT_EQ(Listing(Folder().toStdString()), Names) << "no temporary file is left";
    EXPECT_EQ(PageContents(F), Before);

    // With room on the disk again, the same page saves.
    SaveAnswers = {Path};
    OverwriteAnswers = {true};
    (F.*Page.Save)->click();
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_NE(ReadBytes(Path.toStdString()), "previous content");
  }
}

TEST_F(TWindowTest, LoadOfAVanishedOrUnreadableFileReportsItAndChangesNothing) {
  TForm1& F = Form();
  FillPages(F);
  const QString Before = PageContents(F);
  for (const TFilePage& Page : kFilePages) {
    SCOPED_TRACE(Page.Extension);
    const QString Ext = QString::fromLatin1(Page.Extension);
    // Chosen in the dialog, then gone before it is read.
    const QString Vanished = Folder() + QStringLiteral("/vanished") + Ext;
    WriteBytes(Vanished.toStdString(), "x\r\ny\r\n");
    Form().Hooks().OpenFile = [&](const QString&, const QString&) -> std::optional<QString> {
      fs::remove(Vanished.toStdString());
      return Vanished;
    };
    Errors.clear();
    (F.*Page.Load)->click();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0],
              QStringLiteral("Cannot open file \"%1\". %2").arg(Vanished, Reason(ENOENT)));
    EXPECT_EQ(PageContents(F), Before);

    // A folder where the file should be: it opens but cannot be read.
    const QString Unreadable = Folder() + QStringLiteral("/folder") + Ext;
    fs::create_directory(Unreadable.toStdString());
    Form().Hooks().OpenFile = [&](const QString&, const QString&) -> std::optional<QString> {
      return Unreadable;
    };
    Errors.clear();
    (F.*Page.Load)->click();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0],
              QStringLiteral("Cannot open file \"%1\". %2").arg(Unreadable, Reason(EISDIR)));
    EXPECT_EQ(PageContents(F), Before);
  }
}

TEST_F(TWindowTest, StoreThatCannotBeWrittenAtCloseKeepsTheOldOneAndTheProgramGoesOn) {
  Form().ScrollBar1->setValue(333);
  Form().Frame->setChecked(true);
  Form().PageControl1->setCurrentIndex(2);
  Reopen();
  const fs::path Store = TSettingsStore::DefaultFile();
  const std::string Old = ReadBytes(Store);
  ASSERT_FALSE(Old.empty());
  const auto Names = Listing(Store.parent_path());

  Form().ScrollBar1->setValue(500);
  Form().Frame->setChecked(false);
  Form().PageControl1->setCurrentIndex(4);
  {
    TFileSizeLimit Full(16);
    ASSERT_TRUE(Full.Active());
    Form().close();
  }
  EXPECT_TRUE(Errors.empty()) << "the save says nothing";
  EXPECT_EQ(ReadBytes(Store), Old);
  EXPECT_EQ(Listing(Store.parent_path()), Names);

  Open();
  TForm1& G = Form();
  EXPECT_EQ(G.ScrollBar1->value(), 333);
  EXPECT_TRUE(G.Frame->isChecked());
  EXPECT_EQ(G.PageControl1->currentIndex(), 2);
  G.CreateCodeBtn->click();
  EXPECT_TRUE(G.Image1->HasPicture());
  EXPECT_TRUE(Errors.empty());
}

TEST_F(TWindowTest, DamagedStoreAtStartGivesTheDefaultsAndIsReplacedAtClose) {
  Form().ScrollBar1->setValue(333);
  Form().FrameSize->setCurrentIndex(3);
  Form().close();
  const fs::path Store = TSettingsStore::DefaultFile();
  const std::string Good = ReadBytes(Store);
  const std::string Damaged[] = {
      std::string("\x00\x01\x02\x03\xFF\xFE\x80\x81\x00 settings", 17), // binary
      Good.substr(0, 20),                                               // cut inside the first line
      std::string("\xFF\xFEW\0i\0n\0", 8),                              // an export in UTF-16
      std::string(),                                                    // empty
  };
  for (const std::string& Bytes : Damaged) {
    SCOPED_TRACE(testing::PrintToString(Bytes));
    WriteBytes(Store, Bytes);
    Open();
    TForm1& F = Form();
    EXPECT_EQ(F.ScrollBar1->value(), 250);
    EXPECT_FALSE(F.Frame->isChecked());
    EXPECT_EQ(F.BackColor->Color(), 0xFFFFFFu);
    EXPECT_EQ(F.FrameColor->Color(), 0x000000u);
    EXPECT_EQ(F.MatrixColor->Color(), 0x000000u);
    EXPECT_EQ(F.EncryptionType->currentIndex(), 0);
    EXPECT_EQ(F.FrameSize->currentIndex(), 0);
    EXPECT_TRUE(F.tWordWrap->isChecked());
    EXPECT_TRUE(F.eWordWrap->isChecked());
    EXPECT_EQ(F.PageControl1->currentIndex(), 0);
    EXPECT_TRUE(Errors.empty());
    F.ScrollBar1->setValue(444);
    F.close(); // a readable store replaces the damaged file
    EXPECT_EQ(TSettingsStore(Store).ReadDWord(u"Software\\Marbeck", u"Zoom"), 444u);
  }
}
