// MyFunctions: the settings routines, field extraction and network-key scrambling.
// Standard library only; the settings live in the per-user store of platform/.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// ---- settings (one open-read/write-close of the store per call) ----
// Key is the product key ("Marbeck"); the routines put "Software\" in front themselves.
bool WriteSettingString(const std::u16string& Key, const std::u16string& Name,
                        const std::u16string& Value);
bool WriteSettingInteger(const std::u16string& Key, const std::u16string& Name, std::int32_t Value);
bool WriteSettingBool(const std::u16string& Key, const std::u16string& Name, bool Value);
std::u16string ReadSettingString(const std::u16string& Key, const std::u16string& Name,
                                 const std::u16string& Default);
std::int32_t ReadSettingInteger(const std::u16string& Key, const std::u16string& Name,
                                std::int32_t Default);
bool ReadSettingBool(const std::u16string& Key, const std::u16string& Name, bool Default);

// ---- fields ----
int CountChar(char16_t C, const std::u16string& S);
std::u16string ExtractField(const std::u16string& T, char16_t Separator, int Index);

// ---- network-key scrambling ----
// Empty optional: the text holds a character above code 455 (it would not read back); nothing is
// made.
std::optional<std::u16string> ScrambleText(const std::u16string& Text, int TargetLength);
// Empty optional: the record is not a well-formed scrambled record.
std::optional<std::u16string> UnscrambleText(const std::u16string& Record);
