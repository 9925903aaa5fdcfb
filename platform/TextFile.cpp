#include "platform/TextFile.h"

#include "platform/Unicode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kAnsiCodePage = "WINDOWS-1252";

// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are carried as the
// C1 control characters of the same number, as the Windows conversion does, so that they survive
// a load and a save unchanged.
bool IsUndefinedAnsiByte(unsigned V) {
  return V == 0x81 || V == 0x8D || V == 0x8F || V == 0x90 || V == 0x9D;
}

class TIconv {
public:
  TIconv(const char* To, const char* From) : FHandle(iconv_open(To, From)) {}
  ~TIconv() {
    if (Valid()) iconv_close(FHandle);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;
  bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
  // Converts one whole input; false (with Out unspecified) when a character cannot be converted.
  bool Convert(const char* In, std::size_t InLen, std::string& Out) {
    Out.assign(InLen * 2 + 16, '\0');
    char* InPtr = const_cast<char*>(In);
    char* OutPtr = Out.data();
    std::size_t OutLeft = Out.size();
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    const std::size_t R = iconv(FHandle, &InPtr, &InLen, &OutPtr, &OutLeft);
    if (R == static_cast<std::size_t>(-1) || InLen != 0) return false;
    Out.resize(Out.size() - OutLeft);
    return true;
  }

private:
  iconv_t FHandle;
};

std::u16string AnsiToUtf16(std::string_view Bytes) {
  TIconv Conv("UTF-16LE", kAnsiCodePage);
  std::u16string Out;
  Out.reserve(Bytes.size());
  std::string Unit;
  for (const char Ch : Bytes) { // byte by byte: a single-byte code page keeps no state
    const unsigned V = static_cast<unsigned char>(Ch);
    if (V < 0x80) {
      Out += static_cast<char16_t>(V);
    } else if (Conv.Valid() && Conv.Convert(&Ch, 1, Unit) && Unit.size() == 2) {
      Out += static_cast<char16_t>(static_cast<unsigned char>(Unit[0]) |
                                   (static_cast<unsigned char>(Unit[1]) << 8));
    } else {
      Out += static_cast<char16_t>(V); // undefined byte, see IsUndefinedAnsiByte
    }
  }
  return Out;
}

// False when some character has no Windows-1252 byte.
bool Utf16ToAnsi(const std::u16string& Text, std::string& Out) {
  TIconv Conv(kAnsiCodePage, "UTF-16LE");
  if (!Conv.Valid()) return false;
  Out.clear();
  Out.reserve(Text.size());
  std::string Byte;
  for (const char16_t U : Text) {
    if (U < 0x80) {
      Out += static_cast<char>(U);
    } else if (IsUndefinedAnsiByte(U)) {
      Out += static_cast<char>(U);
    } else {
      const char Pair[2] = {static_cast<char>(U & 0xFF), static_cast<char>(U >> 8)};
      if (!Conv.Convert(Pair, 2, Byte) || Byte.size() != 1) return false;
      Out += Byte;
    }
  }
  return true;
}

std::u16string Utf16Units(std::string_view Bytes, bool BigEndian) {
  std::u16string Out;
  Out.reserve(Bytes.size() / 2 + 1);
  std::size_t I = 0;
  for (; I + 1 < Bytes.size(); I += 2) {
    const unsigned A = static_cast<unsigned char>(Bytes[I]);
    const unsigned B = static_cast<unsigned char>(Bytes[I + 1]);
    Out += static_cast<char16_t>(BigEndian ? (A << 8) | B : (B << 8) | A);
  }
  if (I < Bytes.size()) Out += u'\uFFFD'; // a lone last byte is no whole code unit
  return Out;
}

// CR LF, a lone CR and a lone LF each become one CR LF.
std::u16string UnifyLineBreaks(const std::u16string& Text) {
  std::u16string Out;
  Out.reserve(Text.size() + Text.size() / 16);
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char16_t C = Text[I];
    if (C == u'\r') {
      Out += u"\r\n";
      if (I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
    } else if (C == u'\n') {
      Out += u"\r\n";
    } else {
      Out += C;
    }
  }
  return Out;
}

bool StartsWith(std::string_view Bytes, std::string_view Mark) {
  return Bytes.size() >= Mark.size() && Bytes.substr(0, Mark.size()) == Mark;
}

const std::string_view kMarkUTF8 = "\xEF\xBB\xBF";
const std::string_view kMarkUTF16LE = "\xFF\xFE";
const std::string_view kMarkUTF16BE = "\xFE\xFF";

std::string SystemError(int Code) {
  return std::strerror(Code);
}

// The process's file-creation mask. Read from /proc where it is shown, because setting it to look
// at it would, for a moment, change it for every thread.
mode_t CurrentUmask() {
  if (std::FILE* Status = std::fopen("/proc/self/status", "re")) {
    char Line[256];
    unsigned Mask = 0;
    bool Found = false;
    while (!Found && std::fgets(Line, sizeof Line, Status))
      Found = std::sscanf(Line, "Umask: %o", &Mask) == 1;
    std::fclose(Status);
    if (Found) return static_cast<mode_t>(Mask);
  }
  const mode_t Mask = ::umask(0);
  ::umask(Mask);
  return Mask;
}

} // namespace

TDecodedText DecodeText(std::string_view Bytes) {
  TDecodedText Result{};
  if (StartsWith(Bytes, kMarkUTF8)) {
    Result.Encoding = TTextEncoding::teUTF8;
    Result.Text = Utf8ToUtf16(Bytes.substr(kMarkUTF8.size()));
  } else if (StartsWith(Bytes, kMarkUTF16LE)) {
    Result.Encoding = TTextEncoding::teUTF16LE;
    Result.Text = Utf16Units(Bytes.substr(kMarkUTF16LE.size()), false);
  } else if (StartsWith(Bytes, kMarkUTF16BE)) {
    Result.Encoding = TTextEncoding::teUTF16BE;
    Result.Text = Utf16Units(Bytes.substr(kMarkUTF16BE.size()), true);
  } else {
    bool HasHighBytes = false;
    for (const char Ch : Bytes)
      HasHighBytes |= static_cast<unsigned char>(Ch) >= 0x80;
    if (HasHighBytes && IsValidUtf8(Bytes)) {
      Result.Encoding = TTextEncoding::teUTF8NoBOM;
      Result.Text = Utf8ToUtf16(Bytes);
    } else {
      Result.Encoding = TTextEncoding::teAnsi;
      Result.Text = AnsiToUtf16(Bytes);
    }
  }
  Result.Text = UnifyLineBreaks(Result.Text);
  return Result;
}

TEncodedText EncodeText(const std::u16string& Text, TTextEncoding Encoding) {
  TEncodedText Result{{}, Encoding};
  switch (Encoding) {
  case TTextEncoding::teAnsi:
    // Windows-1252 bytes that DecodeText would take for a mark or for UTF-8 ("\u00C3\u00A9" is
    // C3 A9) would not read back as the text either.
    if (Utf16ToAnsi(Text, Result.Bytes) &&
        DecodeText(Result.Bytes).Encoding == TTextEncoding::teAnsi)
      return Result;
    // Windows-1252 cannot carry the text: keep every character by writing UTF-8 with its mark.
    Result.Encoding = TTextEncoding::teUTF8;
    Result.Bytes = std::string(kMarkUTF8) + Utf16ToUtf8(Text);
    return Result;
  case TTextEncoding::teUTF8:
    Result.Bytes = std::string(kMarkUTF8) + Utf16ToUtf8(Text);
    return Result;
  case TTextEncoding::teUTF8NoBOM:
    // A text that begins with U+FEFF would begin with the mark's own bytes and lose that character
    // on reading: it gets the mark in front.
    if (!Text.empty() && Text.front() == u'\uFEFF') {
      Result.Encoding = TTextEncoding::teUTF8;
      Result.Bytes = std::string(kMarkUTF8);
    }
    Result.Bytes += Utf16ToUtf8(Text);
    return Result;
  case TTextEncoding::teUTF16LE:
  case TTextEncoding::teUTF16BE: {
    const bool Big = Encoding == TTextEncoding::teUTF16BE;
    Result.Bytes = std::string(Big ? kMarkUTF16BE : kMarkUTF16LE);
    Result.Bytes.reserve(2 + Text.size() * 2);
    for (const char16_t U : Text) {
      const char Hi = static_cast<char>(U >> 8), Lo = static_cast<char>(U & 0xFF);
      Result.Bytes += Big ? Hi : Lo;
      Result.Bytes += Big ? Lo : Hi;
    }
    return Result;
  }
  }
  // An encoding value outside the enumeration: UTF-8 with its mark loses nothing.
  Result.Encoding = TTextEncoding::teUTF8;
  Result.Bytes = std::string(kMarkUTF8) + Utf16ToUtf8(Text);
  return Result;
}

bool ReadFileBytes(const std::filesystem::path& Path, std::string& Bytes, std::string& Error) {
  Bytes.clear();
  // O_NONBLOCK: a named pipe chosen in the dialog must not hang the window; it is refused below
  // together with devices and folders, and so is a file too large to be a page's content.
  const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (Fd < 0) {
    Error = SystemError(errno);
    return false;
  }
  struct stat Info {};
  if (::fstat(Fd, &Info) != 0 || !S_ISREG(Info.st_mode) || Info.st_size > kMaxReadBytes) {
    const int Code = errno;
    Error = Info.st_mode == 0       ? SystemError(Code)
            : S_ISDIR(Info.st_mode) ? SystemError(EISDIR)
            : S_ISREG(Info.st_mode) ? SystemError(EFBIG)
                                    : std::string("Not a regular file.");
    ::close(Fd);
    return false;
  }
  char Buffer[65536];
  for (;;) {
    const ssize_t N = ::read(Fd, Buffer, sizeof Buffer);
    if (N > 0) {
      Bytes.append(Buffer, static_cast<std::size_t>(N));
      if (Bytes.size() > static_cast<std::size_t>(kMaxReadBytes)) { // grew while being read
        ::close(Fd);
        Bytes.clear();
        Error = SystemError(EFBIG);
        return false;
      }
    } else if (N == 0) {
      break;
    } else if (errno != EINTR) {
      Error = SystemError(errno);
      ::close(Fd);
      Bytes.clear();
      return false;
    }
  }
  ::close(Fd);
  return true;
}

bool WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes, std::string& Error,
                     bool OwnerOnly) {
  TAtomicWrite How;
  How.OwnerOnly = OwnerOnly;
  return WriteFileAtomic(Path, Bytes, Error, How);
}

bool WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes, std::string& Error,
                     const TAtomicWrite& How, bool* Exists) {
  if (Exists) *Exists = false;
  const bool OwnerOnly = How.OwnerOnly;
  // The temporary file lives beside the target, so the final rename stays inside one file system.
  // Its name is the target's with ".XXXXXX" added, shortened first when the target's name is so
  // long that the addition would pass the file system's 255-byte limit for one name.
  std::string TempName = Path.filename().string();
  constexpr std::size_t kMaxTempStem = 255 - 7;
  if (TempName.size() > kMaxTempStem) TempName.resize(kMaxTempStem);
  std::string Temp = (Path.parent_path() / (TempName + ".XXXXXX")).string();
  const int Fd = ::mkstemp(Temp.data());
  if (Fd < 0) {
    Error = SystemError(errno);
    return false;
  }
  auto Fail = [&](int Code) {
    ::close(Fd);
    ::unlink(Temp.c_str());
    Error = SystemError(Code);
    return false;
  };

  // mkstemp makes the file 0600; a normal file gets the mode a plain create would give it.
  mode_t Mode = 0600;
  if (!OwnerOnly) {
    struct stat Existing {};
    if (::stat(Path.c_str(), &Existing) == 0 && S_ISREG(Existing.st_mode)) {
      Mode = Existing.st_mode & 07777;
    } else {
      Mode = 0666 & ~CurrentUmask();
    }
  }
  if (::fchmod(Fd, Mode) != 0) return Fail(errno);

  const char* Data = Bytes.data();
  std::size_t Left = Bytes.size();
  while (Left > 0) {
    const ssize_t N = ::write(Fd, Data, Left);
    if (N < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    Data += N;
    Left -= static_cast<std::size_t>(N);
  }
  if (How.Durable && ::fsync(Fd) != 0) return Fail(errno);
  if (::close(Fd) != 0) {
    const int Code = errno;
    ::unlink(Temp.c_str());
    Error = SystemError(Code);
    return false;
  }
  int Renamed = 0;
  if (How.Replace) {
    Renamed = ::rename(Temp.c_str(), Path.c_str());
  } else {
    // One step that fails when the target exists; file systems without it get a hard link,
    // which refuses an existing target just as well.
    Renamed = ::renameat2(AT_FDCWD, Temp.c_str(), AT_FDCWD, Path.c_str(), RENAME_NOREPLACE);
    if (Renamed != 0 && (errno == EINVAL || errno == ENOSYS)) {
      Renamed = ::link(Temp.c_str(), Path.c_str());
      if (Renamed == 0) ::unlink(Temp.c_str());
    }
  }
  if (Renamed != 0) {
    const int Code = errno;
    ::unlink(Temp.c_str());
    if (Code == EEXIST && Exists) *Exists = true;
    Error = SystemError(Code);
    return false;
  }
  return true;
}

bool SyncFileSystem(const std::filesystem::path& Folder, std::string& Error) {
  const int Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Fd < 0) {
    Error = SystemError(errno);
    return false;
  }
  const bool Ok = ::syncfs(Fd) == 0 && ::fsync(Fd) == 0;
  if (!Ok) Error = SystemError(errno);
  ::close(Fd);
  return Ok;
}
