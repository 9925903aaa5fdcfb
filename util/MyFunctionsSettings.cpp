// MyFunctions: the settings routines. Each call opens the per-user store, reads or writes one value
// of the key "Software\" + Key, and closes it again.
#include "platform/SettingsStore.h"
#include "util/MyFunctions.h"

namespace {
std::u16string KeyPath(const std::u16string& Key) {
  return u"Software\\" + Key;
}
} // namespace

bool WriteSettingString(const std::u16string& Key, const std::u16string& Name,
                        const std::u16string& Value) {
  return TSettingsStore().WriteString(KeyPath(Key), Name, Value);
}

bool WriteSettingInteger(const std::u16string& Key, const std::u16string& Name,
                         std::int32_t Value) {
  return TSettingsStore().WriteDWord(KeyPath(Key), Name, static_cast<std::uint32_t>(Value));
}

bool WriteSettingBool(const std::u16string& Key, const std::u16string& Name, bool Value) {
  return WriteSettingInteger(Key, Name, Value ? 1 : 0);
}

std::u16string ReadSettingString(const std::u16string& Key, const std::u16string& Name,
                                 const std::u16string& Default) {
  const std::optional<std::u16string> Value = TSettingsStore().ReadString(KeyPath(Key), Name);
  return Value && !Value->empty() ? *Value : Default;
}

std::int32_t ReadSettingInteger(const std::u16string& Key, const std::u16string& Name,
                                std::int32_t Default) {
  const std::optional<std::uint32_t> Value = TSettingsStore().ReadDWord(KeyPath(Key), Name);
  return Value ? static_cast<std::int32_t>(*Value) : Default;
}

bool ReadSettingBool(const std::u16string& Key, const std::u16string& Name, bool Default) {
  const std::optional<std::uint32_t> Value = TSettingsStore().ReadDWord(KeyPath(Key), Name);
  return Value ? *Value != 0 : Default;
}
