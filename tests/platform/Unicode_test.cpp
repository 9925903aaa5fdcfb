// UTF-8 against the examples and ranges of RFC 3629, and the ASCII helpers shared by the text
// forms against the C library's own classification (the "C" locale) over every byte value.
#include "platform/Unicode.h"

#include <cctype>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

TEST(AsciiHelpers, HexDigitsAgreeWithTheCLibrary) {
  for (int C = 0; C < 256; ++C) {
    SCOPED_TRACE(C);
    const char Digit[2] = {static_cast<char>(C), '\0'};
    const int Expected = std::isxdigit(C) ? static_cast<int>(std::strtol(Digit, nullptr, 16)) : -1;
    EXPECT_EQ(HexDigitValue(static_cast<char32_t>(C)), Expected);
    EXPECT_EQ(HexDigitValue(static_cast<char16_t>(C + 0xFF00)),
              -1); // fullwidth forms are no digits
  }
  for (unsigned V = 0; V < 16; ++V) {
    EXPECT_EQ(HexDigitValue(static_cast<unsigned char>(UpperHexDigit(V))), static_cast<int>(V));
    EXPECT_FALSE(std::islower(static_cast<unsigned char>(UpperHexDigit(V))));
  }
  EXPECT_EQ(UpperHexDigit(0x1A), 'A'); // only the lowest four bits count
}

TEST(AsciiHelpers, LetterCaseFoldsAsciiOnly) {
  for (int A = 0; A < 128; ++A)
    for (int B = 0; B < 128; ++B) {
      const bool Expected = std::tolower(A) == std::tolower(B);
      const std::string Narrow{static_cast<char>(A), static_cast<char>(B)};
      ASSERT_EQ(EqualIgnoringAsciiCase(Narrow.substr(0, 1), Narrow.substr(1)), Expected) << A << B;
      ASSERT_EQ(EqualIgnoringAsciiCase(std::u16string(1, static_cast<char16_t>(A)),
                                       std::u16string(1, static_cast<char16_t>(B))),
                Expected)
          << A << " " << B;
    }
  // Beyond ASCII nothing is folded: U+00C4 and U+00E4 differ, and so do U+0130 and "i".
  EXPECT_FALSE(EqualIgnoringAsciiCase(u"\u00C4", u"\u00E4"));
  EXPECT_FALSE(EqualIgnoringAsciiCase(u"\u0130", u"i"));
  EXPECT_FALSE(EqualIgnoringAsciiCase(u"ab", u"abc"));
  EXPECT_TRUE(EqualIgnoringAsciiCase(u"", u""));
}

TEST(AsciiHelpers, PrefixIgnoringCase) {
  EXPECT_TRUE(StartsWithIgnoringAsciiCase("DWORD:00000001", "dword:"));
  EXPECT_TRUE(StartsWithIgnoringAsciiCase("hkey_current_user\\Software", "HKEY_CURRENT_USER\\"));
  EXPECT_TRUE(StartsWithIgnoringAsciiCase("x", ""));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase("dword", "dword:"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase("dwprd:", "dword:"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase("", "d"));
  EXPECT_TRUE(StartsWithIgnoringAsciiCase(u".TXT.txt", u".txt"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase(u".tx", u".txt"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase(u"\u00C4", u"\u00E4"));
}

// The examples of RFC 3629 section 7, both ways.
TEST(Utf8, Rfc3629Examples) {
  const struct {
    std::string Utf8;
    std::u16string Text;
  } Cases[] = {
      {"\x41\xE2\x89\xA2\xCE\x91\x2E", u"A\u2262\u0391."},
      {"\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4", u"\uD55C\uAD6D\uC5B4"},
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", u"\u65E5\u672C\u8A9E"},
      {"\xEF\xBB\xBF\xF0\xA3\x8E\xB4", u"\uFEFF\U000233B4"},
  };
  for (const auto& C : Cases) {
    EXPECT_TRUE(IsValidUtf8(C.Utf8));
    EXPECT_EQ(Utf8ToUtf16(C.Utf8), C.Text);
    EXPECT_EQ(Utf16ToUtf8(C.Text), C.Utf8);
  }
}

// The edges of the well-formed byte sequences of RFC 3629 section 4: each ill-formed sequence
// becomes one U+FFFD per byte that starts no well-formed sequence.
TEST(Utf8, EdgesOfTheWellFormedRanges) {
  const struct {
    std::string Utf8;
    std::u16string Text; // empty: ill-formed, read as Replaced replacement characters
    std::size_t Replaced;
  } Cases[] = {
      {"\x7F", u"\u007F", 0},
      {"\xC2\x80", u"\u0080", 0},
      {"\xDF\xBF", u"\u07FF", 0},
      {"\xE0\xA0\x80", u"\u0800", 0},
      {"\xED\x9F\xBF", u"\uD7FF", 0},
      {"\xEE\x80\x80", u"\uE000", 0},
      {"\xEF\xBF\xBF", u"\uFFFF", 0},
      {"\xF0\x90\x80\x80", u"\U00010000", 0},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF", 0},
      {"\x80", u"", 1},             // a lone trailing byte
      {"\xC0\xAF", u"", 2},         // overlong "/"
      {"\xC1\xBF", u"", 2},         // overlong
      {"\xE0\x9F\xBF", u"", 3},     // overlong U+07FF
      {"\xED\xA0\x80", u"", 3},     // the surrogate U+D800
      {"\xF0\x8F\xBF\xBF", u"", 4}, // overlong U+FFFF
      {"\xF4\x90\x80\x80", u"", 4}, // above U+10FFFF
      {"\xF5\x80\x80\x80", u"", 4}, // no lead byte
      {"\xE2\x82", u"", 2},         // cut short
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.Utf8));
    EXPECT_EQ(IsValidUtf8(C.Utf8), C.Replaced == 0);
    EXPECT_EQ(Utf8ToUtf16(C.Utf8), C.Replaced ? std::u16string(C.Replaced, u'\uFFFD') : C.Text);
  }
}
