// The batch engine in the test's own process: what its progress bar says.
#include "cli/BatchRun.h"
#include "cli/ExitStatus.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// Every frame of the bar puts the rows done and the share of the file done side by side: with
// rows of equal length, the share is the rows' share, from the first frame ("0 rows" with a
// share read ahead was the fault) to the last (every row, 100 %).
TEST(BatchProgress, FramesAgreeWithTheRowsDone) {
  TTempFolder Folder;
  constexpr int Rows = 10;
  {
    std::ofstream Csv(Folder.Path() / "in.csv", std::ios::binary);
    Csv << "url\n";
    for (int I = 0; I < Rows; ++I)
      Csv << "https://example.org/" << I << "\n"; // ten rows of 22 bytes
  }
  TBatchOptions Options;
  Options.Input = (Folder.Path() / "in.csv").string();
  Options.OutFolder = Folder.Path() / "out";
  Options.Kind = TKind::Url;
  Options.Jobs = 2;
  std::ostringstream Err;
  ASSERT_EQ(RunBatchWithBar(Options, /*Bar=*/true, Err), kExitOk) << Err.str();

  const std::string Text = Err.str();
  int Frames = 0;
  double LastShare = -1;
  long long LastRows = -1;
  for (std::size_t At = Text.find("\r\033[K"); At != std::string::npos;
       At = Text.find("\r\033[K", At + 1)) {
    long long Done = 0;
    double Rate = 0, Share = 0;
    char Bar[32] = {};
    const int Got = std::sscanf(Text.c_str() + At + 4, "%lld rows %lf rows/s [%20[# ]] %lf%%",
                                &Done, &Rate, Bar, &Share);
    if (Got < 1) continue; // a line cleared for a message
    ASSERT_EQ(Got, 4) << Text.substr(At + 4, 80);
    EXPECT_NEAR(Share, 100.0 * static_cast<double>(Done) / Rows, 0.5) << Text.substr(At + 4, 80);
    EXPECT_GE(Done, LastRows);
    LastRows = Done;
    LastShare = Share;
    ++Frames;
  }
  EXPECT_GE(Frames, 2) << Text; // the first frame and the last
  EXPECT_EQ(LastRows, Rows);
  EXPECT_EQ(LastShare, 100);
  EXPECT_NE(Text.find("10 made, 0 failed"), std::string::npos) << Text;
}

} // namespace
