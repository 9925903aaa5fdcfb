// Test table of the render suite: the styles every output is checked in, versions 1, 10 and 40,
// and the payloads that make those versions.
#pragma once

#include "render/Code.h"
#include "render/CodeStyle.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

struct TStyleCase {
  const char* Name;
  TCodeStyle Style;
};

inline TCodeStyle MakeStyle(QRgb Dark, QRgb Light, int QuietZone, bool Frame = false,
                            int MarkLength = 0, QRgb FrameColor = qRgb(0, 0, 0)) {
  TCodeStyle Style;
  Style.Dark = Dark;
  Style.Light = Light;
  Style.QuietZone = QuietZone;
  Style.Frame = Frame;
  Style.MarkLength = MarkLength;
  Style.FrameColor = FrameColor;
  return Style;
}

inline const std::vector<TStyleCase>& StyleTable() {
  static const std::vector<TStyleCase> Table = {
      {"default", TCodeStyle{}},
      {"blue_on_cream", MakeStyle(qRgb(0x1b, 0x2a, 0x6b), qRgb(0xff, 0xf8, 0xdc), 2)},
      {"quiet1", MakeStyle(qRgb(0, 0, 0), qRgb(255, 255, 255), 1)},
      {"quiet4", MakeStyle(qRgb(0x20, 0x20, 0x20), qRgb(0xf0, 0xf0, 0xf0), 4)},
      {"quiet10", MakeStyle(qRgb(0, 0, 0), qRgb(255, 255, 255), 10)},
      {"frame0", MakeStyle(qRgb(0, 0, 0), qRgb(255, 255, 255), 1, true, 0, qRgb(0xd0, 0x10, 0x20))},
      {"frame5", MakeStyle(qRgb(0x10, 0x40, 0x10), qRgb(0xff, 0xff, 0xf0), 3, true, 5,
                           qRgb(0x12, 0x34, 0x56))},
      {"frame10",
       MakeStyle(qRgb(0, 0, 0), qRgb(255, 255, 255), 2, true, 10, qRgb(0xc0, 0x40, 0x00))},
  };
  return Table;
}

inline const std::vector<int>& VersionTable() {
  static const std::vector<int> Versions = {1, 10, 40};
  return Versions;
}

// ASCII text that byte mode at level L puts into Version (lowercase letters, so no numeric or
// alphanumeric segment is chosen): 17 bytes fill version 1, 231..271 need version 10, 2810..2953
// need version 40.
inline std::string PayloadOfVersion(int Version) {
  const std::size_t Length = Version == 1 ? 14 : Version == 10 ? 250 : 2900;
  static const std::string Words = "the quick brown fox jumps over the lazy dog; marbeck. ";
  std::string Text;
  while (Text.size() < Length)
    Text += Words;
  Text.resize(Length);
  return Text;
}

inline std::u16string Utf16OfAscii(const std::string& Text) {
  return std::u16string(Text.begin(), Text.end());
}

// The code of the table's payload for Version in Style; fails the test when the version or the
// bytes the symbol carries are not the intended ones.
inline TCode TableCode(int Version, const TCodeStyle& Style) {
  TCode Code = MakeCode(Utf16OfAscii(PayloadOfVersion(Version)), qrAuto, Style);
  EXPECT_EQ(Code.Version, Version);
  EXPECT_EQ(Code.Grid.Side, 17 + 4 * Version + 2 * Style.QuietZoneWithFrame());
  EXPECT_EQ(Code.Bytes, PayloadOfVersion(Version)); // what every read-back below must give
  return Code;
}

// Every style with every version, for the checks that run in the test process (one test walks
// the whole table).
struct TTableCase {
  std::size_t StyleIndex;
  int Version;
};

inline std::vector<TTableCase> AllCases() {
  std::vector<TTableCase> Cases;
  for (std::size_t S = 0; S < StyleTable().size(); ++S)
    for (const int Version : VersionTable())
      Cases.push_back({S, Version});
  return Cases;
}

// Shorter lists for the checks that start an outside program or run zbar: every style once and
// every version at least twice, each style with another version than its neighbour. Shift moves
// the versions along, so that two checks can cover different pairs.
inline std::vector<TTableCase> RotatingCases(std::size_t Shift = 0) {
  std::vector<TTableCase> Cases;
  for (std::size_t S = 0; S < StyleTable().size(); ++S)
    Cases.push_back({S, VersionTable()[(S + Shift) % VersionTable().size()]});
  return Cases;
}

inline std::string CaseLabel(const TTableCase& Case) {
  return std::string(StyleTable()[Case.StyleIndex].Name) + "_v" + std::to_string(Case.Version);
}

inline std::string CaseName(const testing::TestParamInfo<TTableCase>& Info) {
  return CaseLabel(Info.param);
}
