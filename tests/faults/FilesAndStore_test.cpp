// Faults below the window: a save into a folder the user may not write, a load of a file the user
// may not read, and a settings store that cannot be written. Each reports its failure and loses
// nothing: the previous file and the previous store stay byte for byte as they were.
#include "FaultInjection.h"
#include "payload/PayloadFiles.h"
#include "platform/SettingsStore.h"
#include "platform/Unicode.h"
#include "support/TempFolder.h"
#include "util/MyFunctions.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::u16string U16(const fs::path& Path) {
  return Utf8ToUtf16(Path.string());
}

TVCardPage Contact() {
  TVCardPage P;
  P.ContactName = u"Ann Lee";
  P.FirstName = u"Ann";
  P.LastName = u"Lee";
  P.CityHome = u"Town";
  return P;
}

// One save of each format, answering the error text (empty when the save succeeded).
struct TFormat {
  const char* Name;
  std::function<TSaveResult(const fs::path&)> Save;
  std::function<std::u16string(const fs::path&)> LoadError; // empty when the load succeeded
};

const TFormat kFormats[] = {
    {"a.txt",
     [](const fs::path& P) { return SaveTextFile(P, u"new text\r\n", TTextEncoding::teAnsi); },
     [](const fs::path& P) { return LoadTextFile(P).Error.Text(); }},
    {"a.eml",
     [](const fs::path& P) {
       return SaveEMailFile(P, {u"a@b.example", u"s", u"m"}, TTextEncoding::teUTF8);
     },
     [](const fs::path& P) { return LoadEMailFile(P).Error.Text(); }},
    {"a.vcf",
     [](const fs::path& P) { return SaveVCardFile(P, Contact(), TTextEncoding::teUTF16LE); },
     [](const fs::path& P) { return LoadVCardFile(P, Contact()).Error.Text(); }},
    {"a.nwk",
     [](const fs::path& P) {
       return SaveNetworkFile(P, {u"net", u"key", 0});
     },
     [](const fs::path& P) { return LoadNetworkFile(P).Error.Text(); }},
};

std::string Utf8(const std::u16string& T) {
  return Utf16ToUtf8(T);
}

} // namespace

// A folder the user may only read: the save is refused with "Cannot create file", the old file
// stays as it was and no temporary file is left beside it.
TEST(SaveFaults, ReadOnlyFolderKeepsThePreviousFile) {
  TTempFolder Folder;
  for (const TFormat& F : kFormats)
    WriteBytes(Folder.Path() / F.Name, std::string("old ") + F.Name);
  fs::permissions(Folder.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
  const auto Before = Listing(Folder.Path());

  for (const TFormat& F : kFormats) {
    SCOPED_TRACE(F.Name);
    const fs::path Path = Folder.Path() / F.Name;
    const std::optional<std::string> Error = RunUnprivileged([&] {
      const TSaveResult R = F.Save(Path);
      return R.Ok ? std::string() : Utf8(R.Error.Text());
    });
    ASSERT_TRUE(Error.has_value());
    EXPECT_EQ(*Error, Utf8(u"Cannot create file \"" + U16(Path) + u"\". ") + std::strerror(EACCES));
    EXPECT_EQ(ReadBytes(Path), std::string("old ") + F.Name);
  }
  EXPECT_EQ(Listing(Folder.Path()), Before);
  fs::permissions(Folder.Path(), fs::perms::owner_all);
}

// A file that vanished before the load, one the user may not read, and a folder in its place:
// "Cannot open file" with the full path and the system's reason, and no data.
TEST(LoadFaults, VanishedOrUnreadableFileReportsCannotOpen) {
  TTempFolder Folder;
  fs::permissions(Folder.Path(),
                  fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  for (const TFormat& F : kFormats) {
    SCOPED_TRACE(F.Name);
    const fs::path Saved = Folder.Path() / (std::string("saved-") + F.Name);
    ASSERT_TRUE(F.Save(Saved).Ok);
    EXPECT_EQ(F.LoadError(Saved), u"");

    const fs::path Gone = Folder.Path() / (std::string("gone-") + F.Name);
    ASSERT_TRUE(F.Save(Gone).Ok);
    fs::remove(Gone);
    EXPECT_EQ(F.LoadError(Gone),
              u"Cannot open file \"" + U16(Gone) + u"\". " + Utf8ToUtf16(std::strerror(ENOENT)));

    const fs::path Folderish = Folder.Path() / (std::string("dir-") + F.Name);
    fs::create_directory(Folderish);
    EXPECT_EQ(F.LoadError(Folderish), u"Cannot open file \"" + U16(Folderish) + u"\". " +
                                          Utf8ToUtf16(std::strerror(EISDIR)));

    fs::permissions(Saved, fs::perms::owner_read | fs::perms::owner_write); // the owner's only
    const std::optional<std::string> Error =
        RunUnprivileged([&] { return Utf8(F.LoadError(Saved)); });
    ASSERT_TRUE(Error.has_value());
    if (::geteuid() == 0) { // as the owner itself the file stays readable
      EXPECT_EQ(*Error,
                Utf8(u"Cannot open file \"" + U16(Saved) + u"\". ") + std::strerror(EACCES));
    }
  }
}

class StoreFaults : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(WriteSettingInteger(u"Marbeck", u"Zoom", 640));
    ASSERT_TRUE(WriteSettingString(u"Marbeck", u"BackColor", u"$00563412"));
    ASSERT_TRUE(WriteSettingBool(u"Marbeck", u"Frame", true));
    Store = TSettingsStore::DefaultFile();
    ASSERT_EQ(Store.parent_path().parent_path(), Folder.Path());
    Old = ReadBytes(Store);
  }

  // Every writer fails, and the store and what it reads stay as they were.
  void ExpectWritesRefusedAndStoreKept(
      const std::function<std::optional<std::string>(std::function<std::string()>)>& Run) {
    const auto Before = Listing(Store.parent_path());
    const std::optional<std::string> Results = Run([] {
      std::string R;
      R += WriteSettingInteger(u"Marbeck", u"Zoom", 100) ? '1' : '0';
      R += WriteSettingString(u"Marbeck", u"BackColor", u"clRed") ? '1' : '0';
      R += WriteSettingBool(u"Marbeck", u"Frame", false) ? '1' : '0';
      R += WriteSettingInteger(u"Marbeck", u"TabIndex", 3) ? '1' : '0';
      return R;
    });
    ASSERT_TRUE(Results.has_value());
    EXPECT_EQ(*Results, "0000");
    EXPECT_EQ(ReadBytes(Store), Old);
    EXPECT_EQ(Listing(Store.parent_path()), Before);
    EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"Zoom", 250), 640);
    EXPECT_EQ(ReadSettingString(u"Marbeck", u"BackColor", u"clWhite"), u"$00563412");
    EXPECT_TRUE(ReadSettingBool(u"Marbeck", u"Frame", false));
    EXPECT_EQ(ReadSettingInteger(u"Marbeck", u"TabIndex", 0), 0);
  }

  TTempFolder Folder;
  TScopedEnv Redirect{"XDG_CONFIG_HOME", Folder.Path().string()};
  fs::path Store;
  std::string Old;
};

// The disk is full: every write of the store fails half-way.
TEST_F(StoreFaults, FullDiskKeepsTheOldStore) {
  ExpectWritesRefusedAndStoreKept(
      [](const std::function<std::string()>& Step) -> std::optional<std::string> {
        TFileSizeLimit Full(16);
        if (!Full.Active()) return std::nullopt;
        return Step();
      });
}

// The store's folder may not be written by the user.
TEST_F(StoreFaults, ReadOnlyStoreFolderKeepsTheOldStore) {
  for (const fs::path& P : {Folder.Path(), Store.parent_path()})
    fs::permissions(P, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                           fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(Store, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read);
  ExpectWritesRefusedAndStoreKept(
      [](const std::function<std::string()>& Step) { return RunUnprivileged(Step); });
  for (const fs::path& P : {Folder.Path(), Store.parent_path()})
    fs::permissions(P, fs::perms::owner_all);
}
