// UTF-16 <-> UTF-8 conversions used inside payload/ (unpaired surrogates and invalid bytes
// become U+FFFD).
#pragma once

#include <string>
#include <string_view>

std::string Utf16ToUtf8(std::u16string_view Text);
std::u16string Utf8ToUtf16(std::string_view Bytes);
