#include "platform/TextFile.h"

#include "platform/Unicode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

const std::string_view kMarkUTF8 = "\xEF\xBB\xBF";
const std::string_view kMarkUTF16LE = "\xFF\xFE";
const std::string_view kMarkUTF16BE = "\xFE\xFF";

std::string SystemError(int Code) {
  return std::strerror(Code);
}

// An open file descriptor, closed when the holder goes.
class TFileDescriptor {
public:
  explicit TFileDescriptor(int Fd) : FFd(Fd) {}
  ~TFileDescriptor() { Close(); }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  bool Valid() const { return FFd >= 0; }
  int Get() const { return FFd; }
  // Closes at once, for a writer that must learn whether the data reached the file: 0, or -1 with
  // errno set.
  int Close() {
    const int Fd = std::exchange(FFd, -1);
    return Fd >= 0 ? ::close(Fd) : 0;
  }

private:
  int FFd;
};

TReadResult ReadFailure(std::string SystemError) {
  return {std::nullopt, PlainUtf8(SystemError)};
}

} // namespace

std::size_t LineBreakLength(std::u16string_view Text, std::size_t Pos) {
  if (Pos >= Text.size()) return 0;
  if (Text[Pos] == u'\r') return Text.substr(Pos).starts_with(u"\r\n") ? 2 : 1;
  return Text[Pos] == u'\n' ? 1 : 0;
}

std::u16string ReplaceLineBreaks(std::u16string_view Text, std::u16string_view With) {
  std::u16string Out;
  Out.reserve(Text.size() + Text.size() / 16);
  for (std::size_t I = 0; I < Text.size();) {
    if (const std::size_t Break = LineBreakLength(Text, I)) {
      Out += With;
      I += Break;
    } else {
      Out += Text[I++];
    }
  }
  return Out;
}

TDecodedText DecodeText(std::string_view Bytes) {
  TDecodedText Result{};
  if (Bytes.starts_with(kMarkUTF8)) {
    Result.Encoding = TTextEncoding::teUTF8;
    Result.Text = Utf8ToUtf16(Bytes.substr(kMarkUTF8.size()));
  } else if (Bytes.starts_with(kMarkUTF16LE)) {
    Result.Encoding = TTextEncoding::teUTF16LE;
    Result.Text = Utf16Units(Bytes.substr(kMarkUTF16LE.size()), false);
  } else if (Bytes.starts_with(kMarkUTF16BE)) {
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
  Result.Text = ReplaceLineBreaks(Result.Text, u"\r\n");
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

TReadResult ReadFileBytes(const std::filesystem::path& Path) {
  // O_NONBLOCK: a named pipe chosen in the dialog must not hang the window; it is refused below
  // together with devices and folders, and so is a file too large to be a page's content.
  const TFileDescriptor File(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!File.Valid()) return ReadFailure(SystemError(errno));
  struct stat Info {};
  if (::fstat(File.Get(), &Info) != 0) return ReadFailure(SystemError(errno));
  if (S_ISDIR(Info.st_mode)) return ReadFailure(SystemError(EISDIR));
  if (!S_ISREG(Info.st_mode))
    return {std::nullopt, Say(QT_TRANSLATE_NOOP("Messages", "Not a regular file."))};
  if (Info.st_size > kMaxReadBytes) return ReadFailure(SystemError(EFBIG));

  std::string Bytes;
  char Buffer[65536];
  for (;;) {
    const ssize_t N = ::read(File.Get(), Buffer, sizeof Buffer);
    if (N == 0) break;
    if (N < 0) {
      if (errno == EINTR) continue;
      return ReadFailure(SystemError(errno));
    }
    Bytes.append(Buffer, static_cast<std::size_t>(N));
    if (Bytes.size() > static_cast<std::size_t>(kMaxReadBytes)) // grew while being read
      return ReadFailure(SystemError(EFBIG));
  }
  return {std::move(Bytes), {}};
}
