// Colour values and their text form in the settings: 32 bits, red in the lowest byte, then green,
// then blue; a top byte of 0xFF marks a system colour by its index.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

using TColor = std::uint32_t;

struct TNamedColor {
  std::u16string_view Name; // as it is written: "cl" and the colour's name in mixed case
  TColor Value;
};
// Every colour that has a name, each name and each value once.
std::span<const TNamedColor> NamedColors();

// The colour's name if it has one, otherwise "$" and eight upper-case hexadecimal digits.
std::u16string ColorToText(TColor Color);
// A name in any letter case, "$" + hexadecimal digits, or a decimal integer; empty optional
// otherwise.
std::optional<TColor> TextToColor(const std::u16string& Text);
