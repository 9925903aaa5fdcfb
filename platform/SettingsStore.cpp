#include "platform/SettingsStore.h"

#include "platform/TextFile.h"
#include "platform/Unicode.h"
#include "text/Utf16.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHive = "HKEY_CURRENT_USER\\";
// A settings file of this program is a few hundred bytes; anything far larger is not one.
constexpr off_t kMaxFileSize = 1 << 20;

// The value types of a registry export.
enum class TSettingType {
  stString,       // REG_SZ
  stExpandString, // REG_EXPAND_SZ, written hex(2): as UTF-16LE bytes
  stDWord,        // REG_DWORD, 32 bits
  stOther,        // any other type, kept as written
};

struct TValue {
  std::u16string Name;
  TSettingType Type = TSettingType::stOther;
  std::u16string Text;     // stString, stExpandString
  std::uint32_t DWord = 0; // stDWord
  std::string Raw;         // stExpandString, stOther: the data as written after '='
};

struct TKey {
  std::u16string Path;
  std::vector<TValue> Values;
};

using THive = std::vector<TKey>;

// Key and value names compare as the registry compares them.
bool SameName(std::u16string_view A, std::u16string_view B) {
  return EqualIgnoringAsciiCase(A, B);
}

TKey* FindKey(THive& Hive, std::u16string_view Path) {
  for (TKey& Key : Hive)
    if (SameName(Key.Path, Path)) return &Key;
  return nullptr;
}

const TValue* FindValue(const THive& Hive, std::u16string_view Path, std::u16string_view Name) {
  for (const TKey& Key : Hive)
    if (SameName(Key.Path, Path))
      for (const TValue& Value : Key.Values)
        if (SameName(Value.Name, Name)) return &Value;
  return nullptr;
}

void PutValue(THive& Hive, const std::u16string& Path, TValue Value) {
  TKey* Key = FindKey(Hive, Path);
  if (!Key) {
    Hive.push_back({Path, {}});
    Key = &Hive.back();
  }
  for (TValue& Old : Key->Values)
    if (SameName(Old.Name, Value.Name)) {
      Value.Name = std::move(Old.Name); // a value keeps the spelling of its name
      Old = std::move(Value);
      return;
    }
  Key->Values.push_back(std::move(Value));
}

// ---- reading the text form ----

// A quoted string at Line[Pos] (which holds '"'); on success Pos is past the closing quote.
bool ParseQuoted(std::string_view Line, std::size_t& Pos, std::u16string& Out) {
  Out.clear();
  std::size_t I = Pos + 1;
  std::size_t RunStart = I;
  auto Flush = [&](std::size_t End) { Out += Utf8ToUtf16(Line.substr(RunStart, End - RunStart)); };
  while (I < Line.size()) {
    const char C = Line[I];
    if (C == '"') {
      Flush(I);
      Pos = I + 1;
      return true;
    }
    if (C != '\\') {
      ++I;
      continue;
    }
    Flush(I);
    if (I + 1 >= Line.size()) return false;
    const char E = Line[I + 1];
    I += 2;
    switch (E) {
    case '\\':
      Out += u'\\';
      break;
    case '"':
      Out += u'"';
      break;
    case 'r':
      Out += u'\r';
      break;
    case 'n':
      Out += u'\n';
      break;
    case 't':
      Out += u'\t';
      break;
    case 'u': {
      if (I + 4 > Line.size()) return false;
      unsigned V = 0;
      for (int K = 0; K < 4; ++K) {
        const int D = HexDigitValue(Line[I + K]);
        if (D < 0) return false;
        V = V * 16 + static_cast<unsigned>(D);
      }
      Out += static_cast<char16_t>(V);
      I += 4;
      break;
    }
    default:
      return false;
    }
    RunStart = I;
  }
  return false; // no closing quote: a truncated line
}

// "hex(2):" data: comma-separated byte pairs holding UTF-16LE text.
bool ParseExpandString(std::string_view Data, std::u16string& Out) {
  std::string Bytes;
  std::size_t I = 0;
  while (I < Data.size()) {
    while (I < Data.size() && Data[I] == ' ')
      ++I;
    if (I + 2 > Data.size()) return false;
    const int Hi = HexDigitValue(Data[I]), Lo = HexDigitValue(Data[I + 1]);
    if (Hi < 0 || Lo < 0) return false;
    Bytes += static_cast<char>(Hi * 16 + Lo);
    I += 2;
    while (I < Data.size() && Data[I] == ' ')
      ++I;
    if (I < Data.size()) {
      if (Data[I] != ',') return false;
      ++I;
    }
  }
  if (Bytes.size() % 2 != 0) return false;
  Out.clear();
  for (std::size_t B = 0; B < Bytes.size(); B += 2)
    Out += static_cast<char16_t>(static_cast<unsigned char>(Bytes[B]) |
                                 (static_cast<unsigned char>(Bytes[B + 1]) << 8));
  return true;
}

// One value line ('"name"=data' or '@=data'); false when it is damaged.
bool ParseValueLine(std::string_view Line, TValue& Value) {
  std::size_t Pos = 0;
  if (Line[0] == '@') {
    Value.Name.clear();
    Pos = 1;
  } else if (!ParseQuoted(Line, Pos, Value.Name)) {
    return false;
  }
  if (Pos >= Line.size() || Line[Pos] != '=') return false;
  const std::string_view Data = Line.substr(Pos + 1);
  if (!Data.empty() && Data[0] == '"') {
    std::size_t End = 0;
    if (!ParseQuoted(Data, End, Value.Text) || End != Data.size()) return false;
    Value.Type = TSettingType::stString;
    return true;
  }
  if (StartsWithIgnoringAsciiCase(Data, "dword:")) {
    const std::string_view Digits = Data.substr(6);
    if (Digits.size() != 8) return false;
    std::uint32_t V = 0;
    for (const char C : Digits) {
      const int D = HexDigitValue(C);
      if (D < 0) return false;
      V = V * 16 + static_cast<std::uint32_t>(D);
    }
    Value.Type = TSettingType::stDWord;
    Value.DWord = V;
    return true;
  }
  if (StartsWithIgnoringAsciiCase(Data, "hex(2):")) {
    if (!ParseExpandString(Data.substr(7), Value.Text)) return false;
    Value.Type = TSettingType::stExpandString;
    Value.Raw = std::string(Data);
    return true;
  }
  if (Data.empty() || Data == "-") return false; // nothing, or a deletion: not a value
  Value.Type = TSettingType::stOther;
  Value.Raw = std::string(Data);
  return true;
}

THive Parse(std::string_view Bytes) {
  THive Hive;
  if (Bytes.starts_with("\xEF\xBB\xBF")) Bytes.remove_prefix(3);

  std::vector<std::string_view> Lines;
  for (std::size_t Start = 0; Start <= Bytes.size();) {
    std::size_t End = Bytes.find('\n', Start);
    if (End == std::string_view::npos) End = Bytes.size();
    std::string_view Line = Bytes.substr(Start, End - Start);
    if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
    Lines.push_back(Line);
    Start = End + 1;
  }

  std::size_t I = 0;
  while (I < Lines.size() && Lines[I].empty())
    ++I;
  if (I == Lines.size() || Lines[I] != kHeader) return Hive; // a foreign file
  ++I;

  std::optional<std::u16string> CurrentKey;
  for (; I < Lines.size(); ++I) {
    std::string_view Line = Lines[I];
    if (Line.empty() || Line[0] == ';') continue;
    if (!IsValidUtf8(Line)) { // a damaged line: dropped alone, the others still count
      if (Line[0] == '[') CurrentKey.reset();
      continue;
    }
    if (Line[0] == '[') {
      CurrentKey.reset();
      if (Line.back() == ']') {
        const std::string_view Path = Line.substr(1, Line.size() - 2);
        if (StartsWithIgnoringAsciiCase(Path, kHive) && Path.size() > kHive.size())
          CurrentKey = Utf8ToUtf16(Path.substr(kHive.size()));
      }
      continue;
    }
    if (!CurrentKey || (Line[0] != '"' && Line[0] != '@')) continue;
    // Hexadecimal data may go on over lines that end in a backslash.
    std::string Joined(Line);
    while (!Joined.empty() && Joined.back() == '\\' && Joined.find("=hex") != std::string::npos &&
           I + 1 < Lines.size()) {
      Joined.pop_back();
      std::string_view Next = Lines[++I];
      while (!Next.empty() && Next[0] == ' ')
        Next.remove_prefix(1);
      Joined += Next;
    }
    TValue Value;
    if (ParseValueLine(Joined, Value)) PutValue(Hive, *CurrentKey, std::move(Value));
  }
  return Hive;
}

// ---- writing the text form ----

void AppendQuoted(std::string& Out, std::u16string_view Text) {
  Out += '"';
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char16_t C = Text[I];
    switch (C) {
    case u'\\':
      Out += "\\\\";
      continue;
    case u'"':
      Out += "\\\"";
      continue;
    case u'\r':
      Out += "\\r";
      continue;
    case u'\n':
      Out += "\\n";
      continue;
    case u'\t':
      Out += "\\t";
      continue;
    default:
      break;
    }
    if (IsHighSurrogate(C) && I + 1 < Text.size() && IsLowSurrogate(Text[I + 1])) {
      Out += Utf16ToUtf8(Text.substr(I, 2));
      ++I;
    } else if (C < 0x20 || C == 0x7F || IsSurrogate(C)) {
      char Escape[8];
      std::snprintf(Escape, sizeof Escape, "\\u%04X", static_cast<unsigned>(C));
      Out += Escape;
    } else {
      Out += Utf16ToUtf8(Text.substr(I, 1));
    }
  }
  Out += '"';
}

std::string Serialize(const THive& Hive) {
  std::string Out(kHeader);
  Out += "\n\n";
  for (const TKey& Key : Hive) {
    Out += '[';
    Out += kHive;
    Out += Utf16ToUtf8(Key.Path);
    Out += "]\n";
    for (const TValue& Value : Key.Values) {
      if (Value.Name.empty())
        Out += '@';
      else
        AppendQuoted(Out, Value.Name);
      Out += '=';
      switch (Value.Type) {
      case TSettingType::stString:
        AppendQuoted(Out, Value.Text);
        break;
      case TSettingType::stDWord: {
        char Digits[16];
        std::snprintf(Digits, sizeof Digits, "dword:%08x", static_cast<unsigned>(Value.DWord));
        Out += Digits;
        break;
      }
      case TSettingType::stExpandString:
      case TSettingType::stOther:
        Out += Value.Raw;
        break;
      }
      Out += '\n';
    }
    Out += '\n';
  }
  return Out;
}

// ---- the file ----

enum class TLoad { Loaded, Missing, Failed };

TLoad Load(const std::filesystem::path& File, THive& Hive) {
  Hive.clear();
  if (File.empty()) return TLoad::Failed;
  struct stat Info {};
  if (::stat(File.c_str(), &Info) != 0)
    return errno == ENOENT || errno == ENOTDIR ? TLoad::Missing : TLoad::Failed;
  if (!S_ISREG(Info.st_mode)) return TLoad::Failed;
  if (Info.st_size > kMaxFileSize) return TLoad::Loaded; // not a settings file: no values
  const TReadResult Read = ReadFileBytes(File);
  if (!Read.Ok()) return TLoad::Failed;
  Hive = Parse(*Read.Bytes);
  return TLoad::Loaded;
}

const TValue* Lookup(const std::filesystem::path& File, THive& Hive, const std::u16string& Key,
                     const std::u16string& Name) {
  if (Load(File, Hive) != TLoad::Loaded) return nullptr;
  return FindValue(Hive, Key, Name);
}

// A key path goes into a section line as it is: no line breaks or other control characters, and no
// unpaired surrogates, which UTF-8 cannot carry.
bool UsableKeyPath(const std::u16string& Path) {
  if (Path.empty()) return false;
  for (std::size_t I = 0; I < Path.size(); ++I) {
    const char16_t C = Path[I];
    if (C < 0x20 || C == 0x7F) return false;
    if (IsHighSurrogate(C)) {
      if (I + 1 >= Path.size() || !IsLowSurrogate(Path[I + 1])) return false;
      ++I;
    } else if (IsLowSurrogate(C)) {
      return false;
    }
  }
  return true;
}

bool Store(const std::filesystem::path& File, const std::u16string& Key, TValue Value) {
  if (!UsableKeyPath(Key)) return false;
  THive Hive;
  switch (Load(File, Hive)) {
  case TLoad::Failed:
    return false; // rewriting would lose what cannot be read
  case TLoad::Missing:
  case TLoad::Loaded:
    break;
  }
  PutValue(Hive, Key, std::move(Value));
  std::error_code Ec;
  std::filesystem::create_directories(File.parent_path(), Ec);
  if (Ec) return false;
  return WriteFileAtomic(File, Serialize(Hive), /*OwnerOnly=*/true).Ok;
}

} // namespace

TSettingsStore::TSettingsStore() : FFile(DefaultFile()) {}

TSettingsStore::TSettingsStore(std::filesystem::path File) : FFile(std::move(File)) {}

std::filesystem::path TSettingsStore::DefaultFile() {
  std::filesystem::path Base;
  const char* Config = std::getenv("XDG_CONFIG_HOME");
  if (Config && *Config && std::filesystem::path(Config).is_absolute()) {
    Base = Config;
  } else {
    const char* Home = std::getenv("HOME");
    if (!Home || !*Home) {
      const passwd* Entry = ::getpwuid(::getuid());
      Home = Entry ? Entry->pw_dir : nullptr;
    }
    if (!Home || !*Home) return {};
    Base = std::filesystem::path(Home) / ".config";
  }
  return Base / "Marbeck" / "settings.reg";
}

std::optional<std::u16string> TSettingsStore::ReadString(const std::u16string& Key,
                                                         const std::u16string& Name) const {
  THive Hive;
  const TValue* Value = Lookup(FFile, Hive, Key, Name);
  if (!Value ||
      (Value->Type != TSettingType::stString && Value->Type != TSettingType::stExpandString))
    return std::nullopt;
  return Value->Text.substr(0, Value->Text.find(u'\0'));
}

std::optional<std::uint32_t> TSettingsStore::ReadDWord(const std::u16string& Key,
                                                       const std::u16string& Name) const {
  THive Hive;
  const TValue* Value = Lookup(FFile, Hive, Key, Name);
  if (!Value || Value->Type != TSettingType::stDWord) return std::nullopt;
  return Value->DWord;
}

bool TSettingsStore::WriteString(const std::u16string& Key, const std::u16string& Name,
                                 const std::u16string& Value) {
  TValue V;
  V.Name = Name;
  V.Type = TSettingType::stString;
  V.Text = Value;
  return Store(FFile, Key, std::move(V));
}

bool TSettingsStore::WriteDWord(const std::u16string& Key, const std::u16string& Name,
                                std::uint32_t Value) {
  TValue V;
  V.Name = Name;
  V.Type = TSettingType::stDWord;
  V.DWord = Value;
  return Store(FFile, Key, std::move(V));
}
