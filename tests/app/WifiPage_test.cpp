// The Wifi page: the type list, the hidden switch, the notes on keys that phones refuse, and an
// open hidden network through a .nwk file.
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

struct TPageCase {
  int Type;
  bool Hidden;
  QString Key;
  std::u16string Payload;
  QString Note; // empty: none
};

} // namespace

TEST_F(TWindowTest, WifiTypesAndHiddenSwitchMakeTheRecordAndKeyNotesShowWithTheCode) {
  TForm1& F = Form();
  ASSERT_EQ(F.WPA->count(), 4);
  EXPECT_EQ(F.WPA->itemText(kWifiWPA), QStringLiteral("WPA/WPA2"));
  EXPECT_EQ(F.WPA->itemText(kWifiWEP), QStringLiteral("WEP"));
  EXPECT_EQ(F.WPA->itemText(kWifiSAE), QStringLiteral("WPA3 only (SAE)"));
  EXPECT_EQ(F.WPA->itemText(kWifiOpen), QStringLiteral("None (open network)"));
  EXPECT_FALSE(F.WPA->itemData(kWifiSAE, Qt::ToolTipRole).toString().isEmpty());
  EXPECT_FALSE(F.Hidden->toolTip().isEmpty());

  F.PageControl1->setCurrentIndex(4);
  F.SSID->setText(QStringLiteral("Office"));
  const TPageCase Cases[] = {
      {kWifiWPA,
       false,
       QStringLiteral("s3cret pass"),
       u"WIFI:T:WPA;S:Office;P:s3cret pass;;\r\n",
       {}},
      {kWifiWPA, true, QStringLiteral("short"), u"WIFI:T:WPA;S:Office;P:short;H:true;;\r\n",
       QStringLiteral("Phones refuse WPA keys shorter than 8 characters")},
      {kWifiSAE, false, QString(64, QLatin1Char('x')),
       u"WIFI:T:SAE;S:Office;P:" + std::u16string(64, u'x') + u";;\r\n",
       QStringLiteral(
           "Phones refuse WPA3 keys longer than 63 characters (64 hexadecimal digits excepted)")},
      {kWifiWEP, false, QStringLiteral("abcdef"), u"WIFI:T:WEP;S:Office;P:abcdef;;\r\n",
       QStringLiteral(
           "Phones refuse WEP keys other than 5 or 13 characters or 10 or 26 hexadecimal digits")},
      {kWifiOpen, true, QStringLiteral("kept"), u"WIFI:T:nopass;S:Office;H:true;;\r\n", {}},
  };
  for (const TPageCase& C : Cases) {
    SCOPED_TRACE(C.Payload.size());
    F.WPA->setCurrentIndex(C.Type);
    F.Hidden->setChecked(C.Hidden);
    F.NetworkKey->setText(C.Key);
    EXPECT_EQ(F.NetworkKey->isEnabled(), C.Type != kWifiOpen);
    F.CreateCodeBtn->click();
    EXPECT_EQ(QRText(), C.Payload);
    EXPECT_EQ(F.NoteLabel->isVisible(), !C.Note.isEmpty());
    EXPECT_EQ(F.NoteLabel->text(), C.Note);
    // The note never stands in for the code: it is made, and it scans.
    EXPECT_EQ(DecodePicture(Picture(), 4), QString::fromStdU16String(C.Payload).toStdString());
  }
  F.WPA->setCurrentIndex(kWifiWPA);
  EXPECT_TRUE(F.NetworkKey->isEnabled());
}

// The key field of an open network is disabled and empty; the key typed before comes back with
// another type, and an open network read or loaded holds no key of its own.
TEST_F(TWindowTest, AnOpenNetworksKeyFieldIsEmptyAndTheKeyComesBack) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(4);
  F.SSID->setText(QStringLiteral("Office"));
  F.WPA->setCurrentIndex(kWifiWEP);
  F.NetworkKey->setText(QStringLiteral("abcde"));
  F.WPA->setCurrentIndex(kWifiOpen);
  EXPECT_FALSE(F.NetworkKey->isEnabled());
  EXPECT_EQ(F.NetworkKey->text(), QString());
  F.CreateCodeBtn->click();
  EXPECT_EQ(QRText(), u"WIFI:T:nopass;S:Office;;\r\n");
  F.WPA->setCurrentIndex(kWifiWPA);
  EXPECT_TRUE(F.NetworkKey->isEnabled());
  EXPECT_EQ(F.NetworkKey->text(), QStringLiteral("abcde"));

  F.SetWifiPage(TWifiPage{u"Guests", u"", kWifiOpen, false});
  EXPECT_EQ(F.NetworkKey->text(), QString());
  F.SetWifiPage(TWifiPage{u"Lab", u"k3y long enough", kWifiWPA, true});
  EXPECT_TRUE(F.NetworkKey->isEnabled());
  EXPECT_EQ(F.NetworkKey->text(), QStringLiteral("k3y long enough"));
}

TEST_F(TWindowTest, OpenHiddenNetworkSurvivesANetworkKeyFile) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(4);
  F.SSID->setText(QStringLiteral("Caf\u00E9 guests"));
  F.WPA->setCurrentIndex(kWifiOpen);
  F.Hidden->setChecked(true);
  const QString File = Folder() + QStringLiteral("/guests.nwk");
  SaveAnswers.push_back(File);
  F.SaveWifiBtn->click();

  F.SSID->clear();
  F.WPA->setCurrentIndex(kWifiWEP);
  F.Hidden->setChecked(false);
  OpenAnswers.push_back(File);
  F.LoadWifiBtn->click();
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(F.SSID->text(), QStringLiteral("Caf\u00E9 guests"));
  EXPECT_EQ(F.WPA->currentIndex(), kWifiOpen);
  EXPECT_FALSE(F.NetworkKey->isEnabled());
  EXPECT_TRUE(F.Hidden->isChecked());
}
