// The per-user settings store: keys of typed values, as in the current user's registry hive.
//
// On Linux the store is one text file, by default $XDG_CONFIG_HOME/Marbeck/settings.reg
// (~/.config when XDG_CONFIG_HOME is unset or not absolute), in the form a registry export has:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Marbeck]
//   "Zoom"=dword:000000fa
//   "BackColor"="clWhite"
//
// Strings are UTF-8 between double quotes with the escapes \\ \" \r \n \t and \uXXXX (other control
// characters and unpaired surrogates). Key and value names compare without regard to ASCII case.
// Every call reads the file anew; every write replaces the whole file atomically (a temporary file
// in the same folder, then a rename). A binary or foreign file (no header line) reads as missing
// values; within our own file a line that cannot be read (no UTF-8, no value) costs only its own
// value, and is dropped at the next write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

class TSettingsStore {
public:
  // The store at DefaultFile().
  TSettingsStore();
  explicit TSettingsStore(std::filesystem::path File);

  // $XDG_CONFIG_HOME/Marbeck/settings.reg, else $HOME/.config/Marbeck/settings.reg; empty when no
  // home folder is known.
  static std::filesystem::path DefaultFile();
  const std::filesystem::path& File() const { return FFile; }

  // Key is the path below HKEY_CURRENT_USER, e.g. u"Software\\Marbeck". The readers never create
  // anything; they answer an empty optional when the key or value is missing or has another type.
  // A string or expandable string, up to its first zero character.
  std::optional<std::u16string> ReadString(const std::u16string& Key,
                                           const std::u16string& Name) const;
  std::optional<std::uint32_t> ReadDWord(const std::u16string& Key,
                                         const std::u16string& Name) const;

  // Create the key and folder if missing, set the one value (replacing one of any type), and
  // rewrite the file. False on any failure; the file is then as it was.
  bool WriteString(const std::u16string& Key, const std::u16string& Name,
                   const std::u16string& Value);
  bool WriteDWord(const std::u16string& Key, const std::u16string& Name, std::uint32_t Value);

private:
  std::filesystem::path FFile;
};
