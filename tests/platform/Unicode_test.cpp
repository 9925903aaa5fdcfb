// The ASCII helpers shared by the text forms, checked against the C library's own classification
// (the "C" locale) over every byte value, and the case-blind prefix the settings reader relies on.
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
}
