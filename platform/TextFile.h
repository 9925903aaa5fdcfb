// Text files: byte-order marks, the 8-bit code page (Windows-1252), CR LF line breaks, and
// whole-file reads; whole-file writes are the atomic writer's (platform/AtomicFile.h, included
// here for the callers that read and write).
#pragma once

#include "platform/AtomicFile.h"
#include "text/Message.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

enum class TTextEncoding {
  teAnsi,      // Windows-1252, no mark
  teUTF8,      // UTF-8 with the mark EF BB BF
  teUTF8NoBOM, // UTF-8 without a mark (a file recognised as UTF-8 by its bytes)
  teUTF16LE,   // mark FF FE
  teUTF16BE,   // mark FE FF
};

struct TDecodedText {
  std::u16string Text;    // every line break made CR LF
  TTextEncoding Encoding; // the encoding to remember for a later save
};

// ---- line breaks: CR LF, a lone CR and a lone LF each count as one ----
// The length of the line break at Text[Pos]: 2 for CR LF, 1 for a lone CR or LF, 0 for none.
std::size_t LineBreakLength(std::u16string_view Text, std::size_t Pos);
// Text with every line break replaced by With.
std::u16string ReplaceLineBreaks(std::u16string_view Text, std::u16string_view With);

// Detects the mark (EF BB BF, then FF FE, then FE FF); without one, valid UTF-8 holding non-ASCII
// bytes is UTF-8 without a mark, anything else Windows-1252. The mark is not part of the text.
TDecodedText DecodeText(std::string_view Bytes);

struct TEncodedText {
  std::string Bytes;      // mark included
  TTextEncoding Encoding; // teAnsi falls back to teUTF8 when the text does not fit Windows-1252
};
TEncodedText EncodeText(const std::u16string& Text, TTextEncoding Encoding);

// Whole-file I/O. A failure comes back as a value holding the system's error text (strerror), never
// as an exception.
struct TReadResult {
  std::optional<std::string> Bytes; // empty when the read failed
  // Why, when Bytes is empty: the system's error text, or that the path is no regular file.
  TMessage Error;
  bool Ok() const { return Bytes.has_value(); }
};
// Reads regular files of at most kMaxReadBytes only (no folder, pipe or device).
inline constexpr long long kMaxReadBytes = 64LL * 1024 * 1024;
TReadResult ReadFileBytes(const std::filesystem::path& Path);
