// Text files: byte-order marks, the 8-bit code page (Windows-1252), CR LF line breaks,
// and atomic writes.
#pragma once

#include <filesystem>
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

// Detects the mark (EF BB BF, then FF FE, then FE FF); without one, valid UTF-8 holding non-ASCII
// bytes is UTF-8 without a mark, anything else Windows-1252. The mark is not part of the text.
TDecodedText DecodeText(std::string_view Bytes);

struct TEncodedText {
  std::string Bytes;      // mark included
  TTextEncoding Encoding; // teAnsi falls back to teUTF8 when the text does not fit Windows-1252
};
TEncodedText EncodeText(const std::u16string& Text, TTextEncoding Encoding);

// Whole-file I/O. On failure they answer false and put the system's error text into Error.
// ReadFileBytes reads regular files of at most kMaxReadBytes only (no folder, pipe or device).
inline constexpr long long kMaxReadBytes = 64LL * 1024 * 1024;
bool ReadFileBytes(const std::filesystem::path& Path, std::string& Bytes, std::string& Error);
// Writes a temporary file in the target's folder and renames it over the target, so a failed
// write leaves the previous file as it was. OwnerOnly gives the file mode 0600.
bool WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes, std::string& Error,
                     bool OwnerOnly = false);

// The same writer with its choices spelled out, for callers that write many files.
struct TAtomicWrite {
  bool OwnerOnly = false;
  // Durable: the data reaches the disk (fsync) before the rename. Without it a crash soon after
  // the write may leave the target missing or empty, never half written; SyncFileSystem later
  // makes a whole series of such writes durable at once.
  bool Durable = true;
  // Replace: an existing target is replaced. Without it the rename refuses an existing target
  // (checked and done in one step, so two writers cannot both win); Exists is then set.
  bool Replace = true;
};
bool WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes, std::string& Error,
                     const TAtomicWrite& How, bool* Exists = nullptr);
// Flushes every written file of the file system that holds Folder to the disk (syncfs), and
// then Folder's own entries (fsync). False with the system's reason on failure.
bool SyncFileSystem(const std::filesystem::path& Folder, std::string& Error);
