// MyFunctions: field extraction and network-key scrambling. The settings routines are in
// MyFunctionsSettings.cpp.
#include "util/MyFunctions.h"

#include "platform/Messages.h"

#include <random>
#include <string>

int CountChar(char16_t C, const std::u16string& S) {
  int Count = 0;
  for (const char16_t Unit : S)
    Count += Unit == C;
  return Count;
}

std::u16string ExtractField(const std::u16string& T, char16_t Separator, int Index) {
  if (CountChar(Separator, T) < Index) return {};
  std::size_t Start = 0;
  for (int I = 0; I < Index; ++I)
    Start = T.find(Separator, Start) + 1;
  const std::size_t End = T.find(Separator, Start);
  return T.substr(Start, End == std::u16string::npos ? std::u16string::npos : End - Start);
}

// ---- network-key scrambling ----
//
// A record is a three-character header (the filler count, its decimal digits raised by 100), a body
// and filler. The body carries a digit string two digits per character (pair + 40): a decoy digit,
// the multiplier M (1 or 2), the trailer count N, the offset K as three digits, one three-digit
// group K + M*c per text character, and N random trailing digits.

namespace {

constexpr int kMaxTargetLength = 999;
constexpr char16_t kMaxScrambledCode = 455; // 88 + 2 * 455 = 998 still fits three digits

} // namespace

std::optional<std::u16string> ScrambleText(const std::u16string& Text, int TargetLength) {
  for (const char16_t C : Text)
    if (C > kMaxScrambledCode) return std::nullopt;

  std::random_device Device;
  std::seed_seq Seed{Device(), Device(), Device(), Device()};
  std::mt19937 Generator(Seed);
  auto Draw = [&Generator](int Low, int High) {
    return std::uniform_int_distribution<int>(Low, High)(Generator);
  };
  auto Digit = [](int V) { return static_cast<char>('0' + V); };

  const int A = Draw(1, 8), M = Draw(1, 2), N = Draw(1, 8), X = Draw(0, 8), Y = Draw(0, 8);
  const int K = 10 * X + Y;

  std::string D{Digit(A), Digit(M), Digit(N), '0', Digit(X), Digit(Y)};
  D.reserve(D.size() + 3 * Text.size() + N);
  for (const char16_t C : Text) {
    const int Group = K + M * C; // at most 998
    D += Digit(Group / 100);
    D += Digit(Group / 10 % 10);
    D += Digit(Group % 10);
  }
  for (int I = 0; I < N; ++I)
    D += Digit(Draw(0, 8));
  if (D.size() % 2 != 0) { // one trailing digit fewer makes whole pairs
    D.pop_back();
    D[2] = Digit(N - 1);
  }

  std::u16string Body;
  Body.reserve(D.size() / 2);
  for (std::size_t I = 0; I < D.size(); I += 2)
    Body += static_cast<char16_t>(10 * (D[I] - '0') + (D[I + 1] - '0') + 40);

  if (TargetLength > kMaxTargetLength) {
    ShowMessage(u"EndLaenge max. = 999");
    // The header holds at most three digits: a longer filler would make a record that cannot be
    // read.
    TargetLength = kMaxTargetLength;
  }
  const long long Room =
      static_cast<long long>(TargetLength) - 3 - static_cast<long long>(Body.size());
  const int F = Room > 0 ? static_cast<int>(Room) : 0;

  std::u16string Record;
  Record.reserve(3 + Body.size() + F);
  Record += static_cast<char16_t>('0' + F / 100 + 100);
  Record += static_cast<char16_t>('0' + F / 10 % 10 + 100);
  Record += static_cast<char16_t>('0' + F % 10 + 100);
  Record += Body;
  for (int I = 0; I < F; ++I)
    Record += static_cast<char16_t>(35 + Draw(0, 139));
  return Record;
}

std::optional<std::u16string> UnscrambleText(const std::u16string& Record) {
  if (Record.size() < 3) return std::nullopt;
  std::size_t F = 0;
  for (std::size_t I = 0; I < 3; ++I) {
    const char16_t C = Record[I];
    if (C < u'0' + 100 || C > u'9' + 100) return std::nullopt;
    F = 10 * F + (C - u'0' - 100);
  }
  if (Record.size() - 3 < F) return std::nullopt;
  const std::size_t BodyLength = Record.size() - 3 - F;
  // The shortest body holds the six leading digits.
  if (BodyLength < 3) return std::nullopt;

  std::string D;
  D.reserve(2 * BodyLength);
  for (std::size_t I = 3; I < 3 + BodyLength; ++I) {
    const char16_t C = Record[I];
    if (C < 40 || C > 139) return std::nullopt;
    D += static_cast<char>('0' + (C - 40) / 10);
    D += static_cast<char>('0' + (C - 40) % 10);
  }

  auto Number = [&D](std::size_t Pos, std::size_t Count) {
    int V = 0;
    for (std::size_t I = 0; I < Count; ++I)
      V = 10 * V + (D[Pos + I] - '0');
    return V;
  };
  const int M = Number(1, 1);
  const std::size_t N = static_cast<std::size_t>(Number(2, 1));
  const int K = Number(3, 3);
  if (M != 1 && M != 2) return std::nullopt;
  if (N > 8 || D.size() < 6 + N) return std::nullopt;
  const std::size_t GroupDigits = D.size() - 6 - N;
  if (GroupDigits % 3 != 0) return std::nullopt;

  std::u16string Text;
  Text.reserve(GroupDigits / 3);
  for (std::size_t Pos = 6; Pos < 6 + GroupDigits; Pos += 3) {
    const int Diff = Number(Pos, 3) - K;
    int Code = Diff;
    if (M == 2) {
      // Diff / 2 rounded to the nearest integer, halves to even.
      const int Floor = Diff >= 0 ? Diff / 2 : -((1 - Diff) / 2);
      Code = (Diff % 2 == 0 || Floor % 2 == 0) ? Floor : Floor + 1;
    }
    if (Code < 0 || Code > 0xFFFF) return std::nullopt;
    Text += static_cast<char16_t>(Code);
  }
  return Text;
}
