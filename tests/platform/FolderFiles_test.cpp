// Files made nameless and linked into place, and the temporary-name fallback: the same files,
// the no-replace rule, replacing that keeps the old file's permissions, and nothing left behind
// by a file that never got its name.
#include "platform/FolderFiles.h"
#include "support/TempFolder.h"

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

} // namespace
