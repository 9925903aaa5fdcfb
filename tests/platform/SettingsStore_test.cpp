#include "platform/SettingsStore.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

const std::u16string kKey = u"Software\\Marbeck";

class SettingsStoreTest : public testing::Test {
protected:
  TTempFolder Folder;
  std::filesystem::path File = Folder.Path() / "store" / "settings.reg";
  TSettingsStore Store{File};

  std::string Text() const {
    std::ifstream In(File, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  void Put(const std::string& Content) const {
    std::filesystem::create_directories(File.parent_path());
    std::ofstream(File, std::ios::binary) << Content;
  }
};

} // namespace

TEST_F(SettingsStoreTest, StringsWithAnyCharacterRoundTrip) {
  const std::u16string Values[] = {
      u"",
      u"quote \" backslash \\ end\\",
      u"line\r\nbreak\nand\rmore\ttab",
      u"controls \x01\x1F\x7F",
      u"Gr\u00FC\u00DFe \u20AC \U0001F600",
      u"lone \xD800 surrogate \xDC00",
      u"[HKEY_CURRENT_USER\\Software\\Other]",
      u"\"Zoom\"=dword:00000001",
  };
  int I = 0;
  for (const std::u16string& V : Values)
    ASSERT_TRUE(Store.WriteString(kKey, u"v" + std::u16string(1, u'a' + I++), V));
  I = 0;
  for (const std::u16string& V : Values)
    EXPECT_EQ(Store.ReadString(kKey, u"v" + std::u16string(1, u'a' + I++)), V);
  // Nothing a value holds can end its line or open a key.
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), std::nullopt);
  EXPECT_EQ(Store.ReadString(u"Software\\Other", u"va"), std::nullopt);
  // Names are escaped like values.
  ASSERT_TRUE(Store.WriteDWord(kKey, u"odd \"name\"\r\n", 3));
  EXPECT_EQ(Store.ReadDWord(kKey, u"odd \"name\"\r\n"), 3u);
  // The empty name is the key's default value.
  ASSERT_TRUE(Store.WriteString(kKey, u"", u"default"));
  EXPECT_EQ(Store.ReadString(kKey, u""), u"default");
  EXPECT_NE(Text().find("\n@=\"default\"\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, TypesAreKeptAndNamesIgnoreCase) {
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), std::nullopt);
  ASSERT_TRUE(Store.WriteDWord(kKey, u"Zoom", 0xFFFFFFFFu));
  EXPECT_EQ(Store.ReadDWord(kKey, u"ZOOM"), 0xFFFFFFFFu);
  EXPECT_EQ(Store.ReadDWord(u"SOFTWARE\\marbeck", u"zoom"), 0xFFFFFFFFu);
  EXPECT_EQ(Store.ReadString(kKey, u"Zoom"), std::nullopt);

  // A write under another spelling replaces the value, now with the other type.
  ASSERT_TRUE(Store.WriteString(kKey, u"ZOOM", u"big"));
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), std::nullopt);
  EXPECT_EQ(Store.ReadString(kKey, u"zoom"), u"big");
  EXPECT_NE(Text().find("\"Zoom\"=\"big\""), std::string::npos) << Text();
}

TEST_F(SettingsStoreTest, ForeignValuesAndKeysSurviveAWrite) {
  Put("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; kept by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Marbeck]\r\n"
      "\"Path\"=hex(2):25,00,41,00,00,00\r\n"
      "\"Blob\"=hex:01,02,\\\r\n"
      "  03\r\n"
      "\"Zoom\"=dword:00000190\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Marbeck]\r\n"
      "\"Machine\"=dword:00000001\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Name\"=\"value\"\r\n");
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), 400u);
  EXPECT_EQ(Store.ReadString(kKey, u"Path"), u"%A");        // expandable string, cut at its zero
  EXPECT_EQ(Store.ReadString(kKey, u"Blob"), std::nullopt); // binary: neither string nor number
  EXPECT_EQ(Store.ReadDWord(kKey, u"Blob"), std::nullopt);
  EXPECT_EQ(Store.ReadDWord(kKey, u"Machine"), std::nullopt); // another hive is not ours

  ASSERT_TRUE(Store.WriteDWord(kKey, u"FrameSize", 2));
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), 400u);
  EXPECT_EQ(Store.ReadString(kKey, u"Path"), u"%A");
  // Both are written back as they were read: the expandable string keeps its type, the binary
  // value its bytes.
  EXPECT_NE(Text().find("\"Path\"=hex(2):25,00,41,00,00,00\n"), std::string::npos) << Text();
  EXPECT_NE(Text().find("\"Blob\"=hex:01,02,03\n"), std::string::npos) << Text();
  EXPECT_EQ(Store.ReadString(u"Software\\Other", u"Name"), u"value");
  EXPECT_EQ(Store.ReadDWord(kKey, u"FrameSize"), 2u);
}

TEST_F(SettingsStoreTest, WritesReplaceTheFileWhole) {
  ASSERT_TRUE(Store.WriteDWord(kKey, u"Zoom", 1));
  ASSERT_TRUE(Store.WriteDWord(kKey, u"Zoom", 2));
  struct stat Info {};
  ASSERT_EQ(::stat(File.c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0600u);
  // Only the store itself is in its folder: no temporary files stay behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(File.parent_path()), {}), 1);
  EXPECT_EQ(Text(), "Windows Registry Editor Version 5.00\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Marbeck]\n"
                    "\"Zoom\"=dword:00000002\n\n");
}

TEST_F(SettingsStoreTest, UnreadableOrMisplacedStoreFailsWithoutHarm) {
  // A key path that would break its section line is refused.
  EXPECT_FALSE(Store.WriteDWord(u"Software\\Bad\r\n[X]", u"Zoom", 1));
  EXPECT_FALSE(Store.WriteDWord(u"", u"Zoom", 1));
  EXPECT_FALSE(std::filesystem::exists(File));
  // No file name at all.
  TSettingsStore Nowhere{std::filesystem::path()};
  EXPECT_FALSE(Nowhere.WriteDWord(kKey, u"Zoom", 1));
  EXPECT_EQ(Nowhere.ReadDWord(kKey, u"Zoom"), std::nullopt);
  // A file far too large to be a store reads as empty and is replaced by the next write.
  Put(std::string(2 << 20, 'x'));
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), std::nullopt);
  ASSERT_TRUE(Store.WriteDWord(kKey, u"Zoom", 9));
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), 9u);
}

TEST(SettingsStoreLocation, FollowsXdgConfigHome) {
  {
    TScopedEnv Config("XDG_CONFIG_HOME", "/tmp/marbeck-config");
    EXPECT_EQ(TSettingsStore::DefaultFile(), "/tmp/marbeck-config/Marbeck/settings.reg");
    EXPECT_EQ(TSettingsStore().File(), TSettingsStore::DefaultFile());
  }
  {
    // A relative or empty XDG_CONFIG_HOME is ignored in favour of ~/.config.
    TScopedEnv Config("XDG_CONFIG_HOME", "relative/dir");
    TScopedEnv Home("HOME", "/tmp/marbeck-home");
    EXPECT_EQ(TSettingsStore::DefaultFile(), "/tmp/marbeck-home/.config/Marbeck/settings.reg");
    TScopedEnv Empty("XDG_CONFIG_HOME", "");
    EXPECT_EQ(TSettingsStore::DefaultFile(), "/tmp/marbeck-home/.config/Marbeck/settings.reg");
  }
}

TEST_F(SettingsStoreTest, ADamagedLineCostsOnlyItsOwnValue) {
  // The middle value holds a byte that is no UTF-8; its neighbours still read, and a write keeps
  // them while it drops the damaged line.
  Put("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Marbeck]\r\n"
      "\"Zoom\"=dword:000000fa\r\n\"BackColor\"=\"cl\xFFWhite\"\r\n\"FrameColor\"=\"clRed\"\r\n");
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), 250u);
  EXPECT_EQ(Store.ReadString(kKey, u"BackColor"), std::nullopt);
  EXPECT_EQ(Store.ReadString(kKey, u"FrameColor"), u"clRed");
  ASSERT_TRUE(Store.WriteDWord(kKey, u"Frame", 1));
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), 250u);
  EXPECT_EQ(Store.ReadString(kKey, u"FrameColor"), u"clRed");
  EXPECT_EQ(Text().find('\xFF'), std::string::npos);

  // A damaged key line does not hand its values to the key before it.
  Put("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Marbeck]\r\n"
      "\"Zoom\"=dword:00000001\r\n[HKEY_CURRENT_USER\\Software\\\xFF]\r\n\"Zoom\"=dword:"
      "00000002\r\n");
  EXPECT_EQ(Store.ReadDWord(kKey, u"Zoom"), 1u);
}
