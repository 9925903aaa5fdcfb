// The settings routines against a store in a temporary folder (XDG_CONFIG_HOME points there).
#include "platform/TextFile.h"
#include "support/TempFolder.h"
#include "util/MyFunctions.h"

#include <climits>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

class SettingsTest : public testing::Test {
protected:
  TTempFolder Folder;
  TScopedEnv Config{"XDG_CONFIG_HOME", Folder.Path().string()};
  std::filesystem::path StoreFile() const { return Folder.Path() / "Marbeck" / "settings.reg"; }

  std::string StoreText() const {
    std::ifstream In(StoreFile(), std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  void PutStoreText(const std::string& Text) const {
    std::filesystem::create_directories(StoreFile().parent_path());
    std::ofstream(StoreFile(), std::ios::binary) << Text;
  }
};

} // namespace

TEST_F(SettingsTest, MissingStoreGivesDefaultsAndCreatesNothing) {
  EXPECT_EQ(ReadSettingString(u"Marbeck", u"BackColor", u"clWhite"), u"clWhite");
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 250);
  EXPECT_TRUE(ReadSettingBool(u"Marbeck", u"tWordWrap", true));
  EXPECT_FALSE(ReadSettingBool(u"Marbeck", u"Frame", false));
  EXPECT_FALSE(std::filesystem::exists(Folder.Path() / "Marbeck"));
}

TEST_F(SettingsTest, RoundTripsInTheReadableForm) {
  ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"Zoom", 250));
  ASSERT_TRUE(WriteSettingString(u"Marbeck", u"BackColor", u"clWhite"));
  ASSERT_TRUE(WriteSettingBool(u"Marbeck", u"Frame", true));
  ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"Low", INT32_MIN));
  ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"High", INT32_MAX));
  ASSERT_TRUE(
      WriteSettingString(u"Marbeck", u"Text", u"Gr\u00FC\u00DFe \"a\\b\"\r\nZeile 2 \u20AC"));

  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 0), 250);
  EXPECT_EQ(ReadSettingString(u"Marbeck", u"BackColor", u""), u"clWhite");
  EXPECT_TRUE(ReadSettingBool(u"Marbeck", u"Frame", false));
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Low", 0), INT32_MIN);
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"High", 0), INT32_MAX);
  EXPECT_EQ(ReadSettingString(u"Marbeck", u"Text", u""),
            u"Gr\u00FC\u00DFe \"a\\b\"\r\nZeile 2 \u20AC");

  const std::string Text = StoreText();
  EXPECT_NE(Text.find("[HKEY_CURRENT_USER\\Software\\Marbeck]\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\"Zoom\"=dword:000000fa\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\"BackColor\"=\"clWhite\"\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\"Frame\"=dword:00000001\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\"Low\"=dword:80000000\n"), std::string::npos) << Text;

  // Rewriting replaces the value; another product key is a key of its own.
  ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"Zoom", 800));
  ASSERT_TRUE(WriteSettingInteger(u"Other", u"Zoom", 5));
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 0), 800);
  EXPECT_EQ(ReadSettingInteger(u"Other", u"Zoom", 0), 5);
  EXPECT_EQ(ReadSettingString(u"Marbeck", u"BackColor", u""), u"clWhite");
}

TEST_F(SettingsTest, TypeRules) {
  ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"BackColor", 255)); // an integer where text belongs
  ASSERT_TRUE(WriteSettingString(u"Marbeck", u"Zoom", u"300"));    // text where an integer belongs
  ASSERT_TRUE(WriteSettingString(u"Marbeck", u"MatrixColor", u""));
  ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"Frame", 7));
  ASSERT_TRUE(WriteSettingBool(u"Marbeck", u"tWordWrap", false));

  EXPECT_EQ(ReadSettingString(u"Marbeck", u"BackColor", u"clWhite"), u"clWhite");
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 250);
  EXPECT_FALSE(ReadSettingBool(u"Marbeck", u"Zoom", false));
  EXPECT_EQ(ReadSettingString(u"Marbeck", u"MatrixColor", u"clBlack"), u"clBlack");
  EXPECT_TRUE(ReadSettingBool(u"Marbeck", u"Frame", false)); // any non-zero is true
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Frame", 0), 7);
  EXPECT_FALSE(ReadSettingBool(u"Marbeck", u"tWordWrap", true));
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"tWordWrap", 9), 0);
  // A string is read up to its first zero character.
  ASSERT_TRUE(WriteSettingString(u"Marbeck", u"Zero", std::u16string(u"ab\0cd", 5)));
  EXPECT_EQ(ReadSettingString(u"Marbeck", u"Zero", u"x"), u"ab");
}

TEST_F(SettingsTest, UnwritableLocationAnswersFalse) {
  // The config folder is a plain file, so no folder can be made in it (this holds for root too).
  const std::filesystem::path Blocker = Folder.Path() / "blocker";
  std::ofstream(Blocker) << "x";
  {
    TScopedEnv Redirect("XDG_CONFIG_HOME", Blocker.string());
    EXPECT_FALSE(WriteSettingInteger(u"Marbeck", u"Zoom", 1));
    EXPECT_FALSE(WriteSettingString(u"Marbeck", u"BackColor", u"clRed"));
    EXPECT_FALSE(WriteSettingBool(u"Marbeck", u"Frame", true));
    EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 250);
  }
  // The store's place is taken by a folder.
  std::filesystem::create_directories(StoreFile());
  EXPECT_FALSE(WriteSettingInteger(u"Marbeck", u"Zoom", 1));
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 250);
  EXPECT_TRUE(std::filesystem::is_directory(StoreFile()));
}

TEST_F(SettingsTest, DamagedStoreReadsAsMissingAndIsReplacedOnWrite) {
  const std::string Damaged[] = {
      std::string("\0\x01\x02\xFF\xFE garbage \x80\x81", 16),
      "[Settings]\nZoom=400\n",                                            // a foreign file
      "Windows Registry Editor Version 5.00\n\n\"Zoom\"=dword:00000190\n", // value outside any key
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Marbeck]\n"
      "\"Zoom\"=dword:190\n\"BackColor\"=\"clRed\n\"Frame\"=dword:0000000x\n\"TabIndex\"="
      "\"3\\q\"\n",
  };
  for (const std::string& Text : Damaged) {
    PutStoreText(Text);
    EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 250);
    EXPECT_EQ(ReadSettingString(u"Marbeck", u"BackColor", u"clWhite"), u"clWhite");
    EXPECT_FALSE(ReadSettingBool(u"Marbeck", u"Frame", false));
    EXPECT_EQ(ReadSettingString(u"Marbeck", u"TabIndex", u"0"), u"0");
    ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"Zoom", 400));
    EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 400);
  }
}

TEST_F(SettingsTest, EveryTruncationReadsEachValueWhole) {
  ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"Zoom", 640));
  ASSERT_TRUE(WriteSettingString(u"Marbeck", u"BackColor", u"$00563412"));
  ASSERT_TRUE(WriteSettingBool(u"Marbeck", u"Frame", true));
  const std::string Full = StoreText();
  for (std::size_t Cut = 0; Cut <= Full.size(); ++Cut) {
    SCOPED_TRACE(Cut);
    PutStoreText(Full.substr(0, Cut));
    const int Zoom = ReadSettingInteger(u"Marbeck", u"Zoom", 250);
    EXPECT_TRUE(Zoom == 640 || Zoom == 250) << Zoom;
    const std::u16string Back = ReadSettingString(u"Marbeck", u"BackColor", u"clWhite");
    EXPECT_TRUE(Back == u"$00563412" || Back == u"clWhite");
  }
  PutStoreText(Full);
  EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 640);
}
