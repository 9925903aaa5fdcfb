#include "platform/Messages.h"
#include "util/MyFunctions.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

// Captures the messages of the hook for the length of a test.
class TMessageCapture {
public:
  TMessageCapture()
      : FOld(SetMessageHook([this](const std::u16string& M) { Messages.push_back(M); })) {}
  ~TMessageCapture() { SetMessageHook(FOld); }
  std::vector<std::u16string> Messages;

private:
  TMessageHook FOld;
};

// The digit string carried by a body (each character: code - 40 as two digits).
std::string BodyDigits(const std::u16string& Body) {
  std::string D;
  for (const char16_t C : Body) {
    D += static_cast<char>('0' + (C - 40) / 10);
    D += static_cast<char>('0' + (C - 40) % 10);
  }
  return D;
}

int HeaderCount(const std::u16string& Record) {
  return (Record[0] - 148) * 100 + (Record[1] - 148) * 10 + (Record[2] - 148);
}

// Checks the layout of a record made from Text with target length L.
void ExpectWellFormed(const std::u16string& Record, const std::u16string& Text, int L) {
  ASSERT_GE(Record.size(), 3u);
  for (int I = 0; I < 3; ++I) {
    EXPECT_GE(Record[I], 148);
    EXPECT_LE(Record[I], 157);
  }
  const std::size_t F = static_cast<std::size_t>(HeaderCount(Record));
  ASSERT_LE(F + 3, Record.size());
  const std::u16string Body = Record.substr(3, Record.size() - 3 - F);
  for (const char16_t C : Body) {
    EXPECT_GE(C, 40);
    EXPECT_LE(C, 139);
  }
  for (std::size_t I = 3 + Body.size(); I < Record.size(); ++I) {
    EXPECT_GE(Record[I], 35);
    EXPECT_LE(Record[I], 174);
  }
  // Six leading digits, one three-digit group per character, at most eight trailing digits.
  const std::size_t Digits = 2 * Body.size();
  EXPECT_GE(Digits, 6 + 3 * Text.size());
  EXPECT_LE(Digits, 6 + 3 * Text.size() + 8);
  const std::string D = BodyDigits(Body);
  EXPECT_GE(D[0], '1');
  EXPECT_LE(D[0], '8');
  EXPECT_TRUE(D[1] == '1' || D[1] == '2');
  EXPECT_EQ(static_cast<std::size_t>(D[2] - '0'), Digits - 6 - 3 * Text.size());
  EXPECT_EQ(D[3], '0');
  EXPECT_LE(D[4], '8');
  EXPECT_LE(D[5], '8');
  // The record is exactly as long as the target, unless the body needs more room.
  EXPECT_EQ(Record.size(),
            std::max<std::size_t>(static_cast<std::size_t>(std::max(L, 0)), 3 + Body.size()));
}

} // namespace

TEST(ScrambleText, RandomTextsRoundTripAndKeepTheLayout) {
  const unsigned Seed = 20240611;
  std::mt19937 Gen(Seed);
  std::cout << "ScrambleText round trip seed " << Seed << "\n";
  std::uniform_int_distribution<int> Code(0, 455), Length(0, 80), Target(1, 999);
  for (int Round = 0; Round < 3000; ++Round) {
    std::u16string Text;
    const int N = Length(Gen);
    for (int I = 0; I < N; ++I)
      Text += static_cast<char16_t>(Code(Gen));
    if (Round % 7 == 0) Text += u'\x01C7'; // 455, the highest code that reads back
    if (Round % 11 == 0) Text += u'\0';
    const int L = Target(Gen);
    SCOPED_TRACE(testing::Message()
                 << "round " << Round << ", length " << Text.size() << ", L " << L);
    const std::optional<std::u16string> Record = ScrambleText(Text, L);
    ASSERT_TRUE(Record.has_value());
    ExpectWellFormed(*Record, Text, L);
    EXPECT_EQ(UnscrambleText(*Record), Text);
    if (HasFailure()) return;
  }
}

TEST(ScrambleText, TargetLengthFifty) {
  for (int Round = 0; Round < 200; ++Round) {
    const auto Empty = ScrambleText(u"", 50);
    ASSERT_TRUE(Empty);
    EXPECT_EQ(Empty->size(), 50u);
    EXPECT_EQ(UnscrambleText(*Empty), u"");

    const std::u16string Network = u"WIFI:T:WPA;S:;P:;;";
    const auto Record = ScrambleText(Network, 50);
    ASSERT_TRUE(Record);
    EXPECT_EQ(Record->size(), 50u);
    EXPECT_EQ(UnscrambleText(*Record), Network);

    // From 29 characters on no filler is left; from 30 on the record outgrows the target.
    const std::u16string T29(29, u'x'), T30(30, u'x');
    const auto R29 = ScrambleText(T29, 50), R30 = ScrambleText(T30, 50);
    ASSERT_TRUE(R29 && R30);
    EXPECT_EQ(R29->substr(0, 3), u"\x94\x94\x94"); // "000" raised by 100
    EXPECT_GT(R30->size(), 50u);
    EXPECT_EQ(UnscrambleText(*R29), T29);
    EXPECT_EQ(UnscrambleText(*R30), T30);
  }
}

TEST(ScrambleText, EachCallDrawsAnew) {
  const std::u16string Text = u"WIFI:T:WPA;S:Home;P:secret;;";
  const auto A = ScrambleText(Text, 50), B = ScrambleText(Text, 50);
  ASSERT_TRUE(A && B);
  EXPECT_NE(*A, *B);
  EXPECT_EQ(UnscrambleText(*A), Text);
  EXPECT_EQ(UnscrambleText(*B), Text);
}

TEST(ScrambleText, RefusesCharactersThatWouldNotReadBack) {
  TMessageCapture Capture;
  EXPECT_FALSE(ScrambleText(u"abc\x01C8", 50)); // 456
  EXPECT_FALSE(ScrambleText(u"Preis 5 \x20AC", 50));
  EXPECT_FALSE(ScrambleText(u"\U0001F600", 50));
  EXPECT_TRUE(Capture.Messages.empty());
}

TEST(ScrambleText, TargetAboveLimitShowsMessageAndStillMakesAReadableRecord) {
  TMessageCapture Capture;
  const auto Fits = ScrambleText(u"key", 999);
  ASSERT_TRUE(Fits);
  EXPECT_EQ(Fits->size(), 999u);
  EXPECT_TRUE(Capture.Messages.empty());

  const auto Record = ScrambleText(u"key", 5000);
  ASSERT_TRUE(Record);
  ASSERT_EQ(Capture.Messages.size(), 1u);
  EXPECT_EQ(Capture.Messages[0], u"EndLaenge max. = 999");
  EXPECT_LE(Record->size(), 999u);
  EXPECT_EQ(UnscrambleText(*Record), u"key");
}

namespace {
// A record from a digit string of even length and F filler characters (all '#').
std::u16string MakeRecord(const std::string& D, int F = 0) {
  std::u16string R;
  R += static_cast<char16_t>('0' + F / 100 + 100);
  R += static_cast<char16_t>('0' + F / 10 % 10 + 100);
  R += static_cast<char16_t>('0' + F % 10 + 100);
  for (std::size_t I = 0; I + 1 < D.size(); I += 2)
    R += static_cast<char16_t>(10 * (D[I] - '0') + (D[I + 1] - '0') + 40);
  R += std::u16string(static_cast<std::size_t>(F), u'#');
  return R;
}
} // namespace

TEST(UnscrambleText, ReadsHandMadeRecords) {
  // decoy 1, M 1, N 1, K 000, group 065 ('A'), trailer 3
  EXPECT_EQ(UnscrambleText(MakeRecord("1110000653")), u"A");
  // M 2, K 012: 12 + 2*65 = 142; no trailer; with filler
  EXPECT_EQ(UnscrambleText(MakeRecord("520012142142", 7)), u"AA");
  // groups 455 under the largest offset and multiplier: 88 + 910 = 998
  EXPECT_EQ(UnscrambleText(MakeRecord("820088998998")), u"\x01C7\x01C7");
}

TEST(UnscrambleText, RejectsMalformedRecords) {
  const struct {
    const char* What;
    std::u16string Record;
  } Cases[] = {
      {"empty", u""},
      {"too short for a header", u"\x94\x94"},
      {"header below the digit range", u"\x93\x94\x94" + MakeRecord("1110000653").substr(3)},
      {"header above the digit range", u"\x94\x94\x9E" + MakeRecord("1110000653").substr(3)},
      {"plain text", u"WIFI:T:WPA;S:x;P:y;;"},
      {"filler count beyond the record", u"\x94\x99\x94" + MakeRecord("1110000653").substr(3)},
      {"filler count leaves no body", MakeRecord("", 5)},
      {"body shorter than six digits", MakeRecord("1100")},
      {"body character below 40", MakeRecord("1110000653") + u"\x27"},
      {"body character above 139", MakeRecord("1110000653") + u"\x8C"},
      {"multiplier 0", MakeRecord("1010000653")},
      {"multiplier 3", MakeRecord("1310000653")},
      {"trailer count 9", MakeRecord("119000065123456789")},
      {"trailer longer than the digits", MakeRecord("118000")},
      {"group digits not a multiple of three", MakeRecord("1100000650")},
      {"group below the offset", MakeRecord("1110500100")},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    EXPECT_EQ(UnscrambleText(C.Record), std::nullopt);
  }
}

TEST(UnscrambleText, NeverFailsOnArbitraryInput) {
  // Random texts in and around the record alphabet: either rejected or read, never a crash.
  std::mt19937 Gen(7);
  std::uniform_int_distribution<int> Len(0, 60), Unit(30, 180);
  int Accepted = 0;
  for (int Round = 0; Round < 20000; ++Round) {
    std::u16string R;
    const int N = Len(Gen);
    for (int I = 0; I < N; ++I)
      R += static_cast<char16_t>(Unit(Gen));
    if (Round % 2 == 0 && R.size() >= 3) R[0] = R[1] = 148; // a plausible header
    const auto Text = UnscrambleText(R);
    if (Text) {
      ++Accepted;
      EXPECT_LE(3 * Text->size() + 12, 2 * R.size()); // three digits per character, six leading
    }
  }
  EXPECT_GT(Accepted, 0); // the plausible headers do let some through to the group reading
}
