// The atomic writer: files made nameless and linked into place, and the temporary-name fallback:
// the same files, the no-replace rule, replacing that keeps the old file's permissions, and
// nothing left behind by a file that never got its name. Run a second time on a file system
// without RENAME_NOREPLACE (the refuse_noreplace shim, see CMakeLists.txt).
#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

std::set<std::string> Names(const fs::path& Folder) {
  std::set<std::string> Out;
  for (const auto& E : fs::directory_iterator(Folder))
    Out.insert(E.path().filename().string());
  return Out;
}

class FolderFiles : public testing::TestWithParam<bool> {
protected:
  void SetUp() override { AllowNamelessFiles(GetParam()); }
  void TearDown() override { AllowNamelessFiles(true); }
};

TEST_P(FolderFiles, WritesRefusesReplacesAndLeavesNothingBehind) {
  TTempFolder Folder;
  const TFolderFiles Files(Folder.Path());
  ASSERT_TRUE(Files.Ok()) << Files.Error();
  // On this machine's file systems nameless files are taken (tmpfs and ext4 both offer them).
  EXPECT_EQ(Files.Nameless(), GetParam());

  TAtomicWrite Keep;
  Keep.Replace = false;
  Keep.Durable = false;
  ASSERT_TRUE(Files.Write("a.svg", "first", Keep).Ok);
  const TWriteResult Again = Files.Write("a.svg", "second", Keep);
  EXPECT_FALSE(Again.Ok);
  EXPECT_TRUE(Again.Exists);
  EXPECT_EQ(ReadAll(Folder.Path() / "a.svg"), "first");

  // Replacing keeps the permissions of the file replaced; a new file gets the umask's.
  ASSERT_EQ(::chmod((Folder.Path() / "a.svg").c_str(), 0640), 0);
  TAtomicWrite Replace;
  Replace.Durable = true;
  ASSERT_TRUE(Files.Write("a.svg", std::string(100000, 'x'), Replace).Ok);
  EXPECT_EQ(ReadAll(Folder.Path() / "a.svg"), std::string(100000, 'x'));
  struct stat St {};
  ASSERT_EQ(::stat((Folder.Path() / "a.svg").c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 0777, 0640u);
  TAtomicWrite Owner = Keep;
  Owner.OwnerOnly = true;
  ASSERT_TRUE(Files.Write("secret.nwk", "k", Owner).Ok);
  ASSERT_EQ(::stat((Folder.Path() / "secret.nwk").c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 0777, 0600u);

  // A file written bit by bit, published at the end; one abandoned, one refused.
  TWriteResult Error;
  TPendingFile Streamed = Files.Create("list.csv", false, Error);
  ASSERT_TRUE(Streamed.Valid()) << Error.Error;
  ASSERT_TRUE(Streamed.WriteAll("a,"));
  ASSERT_TRUE(Streamed.WriteAll("b\n"));
  EXPECT_EQ(Names(Folder.Path()).count("list.csv"), 0u); // not there before it is complete
  ASSERT_TRUE(Files.Publish(Streamed, "list.csv", false, false).Ok);
  EXPECT_FALSE(Streamed.Valid());
  EXPECT_EQ(ReadAll(Folder.Path() / "list.csv"), "a,b\n");
  {
    TPendingFile Abandoned = Files.Create("gone.csv", false, Error);
    ASSERT_TRUE(Abandoned.WriteAll("half"));
  }
  TPendingFile Refused = Files.Create("list.csv", false, Error);
  ASSERT_TRUE(Refused.WriteAll("other"));
  EXPECT_TRUE(Files.Publish(Refused, "list.csv", false, false).Exists);
  EXPECT_EQ(ReadAll(Folder.Path() / "list.csv"), "a,b\n");

  EXPECT_EQ(Names(Folder.Path()), (std::set<std::string>{"a.svg", "secret.nwk", "list.csv"}));

  // A name the file system cannot take is an error, not a crash, and leaves nothing either.
  const TWriteResult Long = Files.Write(std::string(300, 'n'), "x", Keep);
  EXPECT_FALSE(Long.Ok);
  EXPECT_FALSE(Long.Error.empty());
  EXPECT_EQ(Names(Folder.Path()).size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(NamelessAndFallback, FolderFiles, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& I) {
                           return I.param ? "Nameless" : "TemporaryName";
                         });

TEST(FolderFilesOpen, AMissingFolderIsAnError) {
  TTempFolder Folder;
  const TFolderFiles Files(Folder.Path() / "missing");
  EXPECT_FALSE(Files.Ok());
  EXPECT_FALSE(Files.Error().empty());
}

// A file another library wrote under a temporary name is published like any other, or removed.
TEST(AtomicWriter, AnAdoptedFileIsPublishedOrRemoved) {
  TTempFolder Folder;
  const TFolderFiles Files(Folder.Path());
  for (const bool Replace : {false, true}) {
    SCOPED_TRACE(Replace);
    std::ofstream(Folder.Path() / "codes.zip") << "old";
    const std::string Temp = TemporaryName("codes.zip");
    std::ofstream(Folder.Path() / Temp) << "archive";
    TWriteResult Error;
    TPendingFile Archive = Files.Adopt(Temp, Error);
    ASSERT_TRUE(Archive.Valid()) << Error.Error;
    const TWriteResult Published = Files.Publish(Archive, "codes.zip", Replace, true);
    EXPECT_EQ(Published.Ok, Replace);
    EXPECT_EQ(Published.Exists, !Replace);
    EXPECT_EQ(ReadAll(Folder.Path() / "codes.zip"), Replace ? "archive" : "old");
    EXPECT_EQ(Names(Folder.Path()), std::set<std::string>{"codes.zip"});
  }
  TWriteResult Error;
  EXPECT_FALSE(Files.Adopt(".missing.AAAAAA", Error).Valid());
  EXPECT_EQ(Error.Error, std::strerror(ENOENT));
}

// An owner-only file (a Wi-Fi key, the settings) stays owner-only when it replaces a file that
// others could read.
TEST(AtomicWriter, OwnerOnlyIsKeptWhenReplacing) {
  TTempFolder Folder;
  const fs::path Path = Folder.Path() / "network.wifi";
  ASSERT_TRUE(WriteFileAtomic(Path, "open").Ok);
  ASSERT_EQ(::chmod(Path.c_str(), 0644), 0);
  ASSERT_TRUE(WriteFileAtomic(Path, "key", /*OwnerOnly=*/true).Ok);
  struct stat St {};
  ASSERT_EQ(::stat(Path.c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 0777, 0600u);
  EXPECT_EQ(ReadAll(Path), "key");
}

// Where the file system refuses RENAME_NOREPLACE, files still appear whole under their names,
// an existing one is still refused, and no temporary name is left. Only meaningful with the
// shim loaded, which counts what it refused.
TEST(AtomicWriter, AFileSystemWithoutNoReplaceStillGetsEveryFile) {
  using TCount = int (*)();
  const auto Refused = reinterpret_cast<TCount>(::dlsym(RTLD_DEFAULT, "MarbeckRefusedRenames"));
  if (!Refused) GTEST_SKIP() << "runs under the refuse_noreplace shim (platform_no_noreplace)";
  AllowNamelessFiles(false); // the temporary-name path, which is the one that renames
  TTempFolder Folder;
  TAtomicWrite Keep;
  Keep.Replace = false;
  const int Before = Refused();
  ASSERT_TRUE(WriteFileAtomic(Folder.Path() / "a.txt", "first", Keep).Ok);
  const TWriteResult Again = WriteFileAtomic(Folder.Path() / "a.txt", "second", Keep);
  EXPECT_TRUE(Again.Exists);
  ASSERT_TRUE(WriteFileAtomic(Folder.Path() / "b.txt", std::string(300000, 'b'), Keep).Ok);
  AllowNamelessFiles(true);
  EXPECT_GE(Refused() - Before, 3);
  EXPECT_EQ(ReadAll(Folder.Path() / "a.txt"), "first");
  EXPECT_EQ(ReadAll(Folder.Path() / "b.txt"), std::string(300000, 'b'));
  EXPECT_EQ(Names(Folder.Path()), (std::set<std::string>{"a.txt", "b.txt"}));
}

} // namespace
