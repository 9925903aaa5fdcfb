// Turns the fuzzer's bytes into the values a target needs: small integers, choices and UTF-16
// texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class TFuzzInput {
public:
  TFuzzInput(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}

  bool Empty() const { return FPos >= FSize; }
  std::size_t Left() const { return FSize - FPos; }

  std::uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
  std::uint16_t Unit() {
    const std::uint16_t Lo = Byte();
    return static_cast<std::uint16_t>(Lo | (Byte() << 8));
  }
  std::int32_t Int32() {
    std::uint32_t V = 0;
    for (int I = 0; I < 4; ++I)
      V = (V << 8) | Byte();
    return static_cast<std::int32_t>(V);
  }
  // A value in 0 .. Count - 1.
  unsigned Pick(unsigned Count) { return Count == 0 ? 0 : Byte() % Count; }

  // A text of up to MaxLength code units, each drawn from the whole UTF-16 range but biased
  // towards the characters that matter to the formats (ASCII punctuation, line breaks, Latin-1,
  // surrogates). Ends early at the end of the input.
  std::u16string Text(std::size_t MaxLength) {
    const std::size_t Length = Empty() ? 0 : Byte() % (MaxLength + 1);
    std::u16string Out;
    for (std::size_t I = 0; I < Length && !Empty(); ++I)
      Out += Char();
    return Out;
  }

  // One code unit, chosen by a selector byte.
  char16_t Char() {
    const std::uint8_t Kind = Byte();
    switch (Kind % 8) {
    case 0:
    case 1:
    case 2:
      return static_cast<char16_t>(Byte() % 0x80); // ASCII, controls included
    case 3:
      return static_cast<char16_t>(Byte()); // Latin-1
    case 4:
      return kSpecial[Byte() % (sizeof kSpecial / sizeof kSpecial[0])];
    case 5:
      return static_cast<char16_t>(0xD800 + (Unit() % 0x800)); // surrogates, paired or not
    default:
      return static_cast<char16_t>(Unit()); // anything
    }
  }

  // The rest of the input as bytes.
  std::string Rest() {
    std::string Out(reinterpret_cast<const char*>(FData + FPos), FSize - FPos);
    FPos = FSize;
    return Out;
  }

private:
  static constexpr char16_t kSpecial[] = {u'\r',  u'\n',  u';',   u':',   u',',  u'"',
                                          u'\\',  u'.',   u'=',   u'\0',  u'\t', u'$',
                                          0xFEFF, 0xFFFD, 0x20AC, 0x01C7, 0x01C8};
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};

// A failed property: report it the way a sanitizer would and stop, so libFuzzer saves the input.
#define FUZZ_CHECK(Condition)                                                                      \
  do {                                                                                             \
    if (!(Condition)) {                                                                            \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #Condition);        \
      std::abort();                                                                                \
    }                                                                                              \
  } while (false)
