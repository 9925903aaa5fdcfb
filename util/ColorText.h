// Colour values and their text form in the settings: 32 bits, red in the lowest byte, then green,
// then blue; a top byte of 0xFF marks a system colour by its index.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

using TColor = std::uint32_t;

// The colour's name if it has one, otherwise "$" and eight upper-case hexadecimal digits.
std::u16string ColorToText(TColor Color);
// A name in any letter case, "$" + hexadecimal digits, or a decimal integer; empty optional
// otherwise.
std::optional<TColor> TextToColor(const std::u16string& Text);
