#include "platform/TextFile.h"
#include "support/TempFolder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace {
std::string Bytes(std::initializer_list<int> List) {
  std::string S;
  for (const int B : List)
    S += static_cast<char>(B);
  return S;
}
const char* Name(TTextEncoding E) {
  switch (E) {
  case TTextEncoding::teAnsi:
    return "Ansi";
  case TTextEncoding::teUTF8:
    return "UTF8";
  case TTextEncoding::teUTF8NoBOM:
    return "UTF8NoBOM";
  case TTextEncoding::teUTF16LE:
    return "UTF16LE";
  case TTextEncoding::teUTF16BE:
    return "UTF16BE";
  }
  return "?";
}
} // namespace

TEST(DecodeText, MarksAndUnmarkedFiles) {
  const struct {
    const char* What;
    std::string In;
    std::u16string Text;
    TTextEncoding Encoding;
  } Cases[] = {
      {"UTF-8 mark",
       "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
       "e",
       u"Gr\u00FC\u00DFe", TTextEncoding::teUTF8},
      {"UTF-8 mark only", "\xEF\xBB\xBF", u"", TTextEncoding::teUTF8},
      {"UTF-16LE mark", Bytes({0xFF, 0xFE, 'a', 0, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE}),
       u"a\u20AC\U0001F600", TTextEncoding::teUTF16LE},
      {"UTF-16BE mark", Bytes({0xFE, 0xFF, 0, 'a', 0x20, 0xAC}), u"a\u20AC",
       TTextEncoding::teUTF16BE},
      {"UTF-16 odd last byte", Bytes({0xFF, 0xFE, 'a', 0, 'b'}), u"a\uFFFD",
       TTextEncoding::teUTF16LE},
      {"ASCII", "plain", u"plain", TTextEncoding::teAnsi},
      {"empty", "", u"", TTextEncoding::teAnsi},
      {"Windows-1252",
       "Gr\xFC\xDF"
       "e \x80 \x84\x93\x85\x99",
       u"Gr\u00FC\u00DFe \u20AC \u201E\u201C\u2026\u2122", TTextEncoding::teAnsi},
      {"undefined Windows-1252 byte", "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D",
       TTextEncoding::teAnsi},
      // Unmarked but valid UTF-8 holding non-ASCII bytes is UTF-8, not mojibake.
      {"unmarked UTF-8",
       "Gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC",
       u"Gr\u00FC\u00DFe \u20AC", TTextEncoding::teUTF8NoBOM},
      {"broken UTF-8 is Windows-1252", "\xC3\xBC \xC3", u"\u00C3\u00BC \u00C3",
       TTextEncoding::teAnsi},
      {"overlong UTF-8 is Windows-1252", "\xC0\xAF", u"\u00C0\u00AF", TTextEncoding::teAnsi},
      {"UTF-8 with bad bytes after the mark",
       "\xEF\xBB\xBF"
       "a\xFF"
       "b",
       u"a\uFFFDb", TTextEncoding::teUTF8},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    const TDecodedText D = DecodeText(C.In);
    EXPECT_EQ(D.Text, C.Text);
    EXPECT_EQ(Name(D.Encoding), std::string(Name(C.Encoding)));
  }
}

TEST(DecodeText, EveryLineBreakBecomesCrLf) {
  const struct {
    std::string In;
    std::u16string Out;
  } Cases[] = {
      {"a\nb", u"a\r\nb"},       {"a\rb", u"a\r\nb"},         {"a\r\nb", u"a\r\nb"},
      {"a\n\rb", u"a\r\n\r\nb"}, {"a\r\r\nb", u"a\r\n\r\nb"}, {"a\n\nb\r", u"a\r\n\r\nb\r\n"},
      {"\n", u"\r\n"},           {"\r\n\r\n", u"\r\n\r\n"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.In);
    EXPECT_EQ(DecodeText(C.In).Text, C.Out);
  }
  EXPECT_EQ(DecodeText(Bytes({0xFE, 0xFF, 0, 'a', 0, '\n', 0, '\r', 0, 'b'})).Text, u"a\r\n\r\nb");
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF"
                       "a\rb\n")
                .Text,
            u"a\r\nb\r\n");
}

TEST(EncodeText, WindowsCodePageKeepsEveryByte) {
  std::string All;
  for (int B = 0x20; B <= 0xFF; ++B)
    All += static_cast<char>(B);
  const TDecodedText D = DecodeText(All);
  ASSERT_EQ(D.Encoding, TTextEncoding::teAnsi);
  EXPECT_EQ(D.Text[0x80 - 0x20], u'\u20AC');
  EXPECT_EQ(D.Text[0x9F - 0x20], u'\u0178');
  const TEncodedText E = EncodeText(D.Text, TTextEncoding::teAnsi);
  EXPECT_EQ(E.Encoding, TTextEncoding::teAnsi);
  EXPECT_EQ(E.Bytes, All);
}

TEST(EncodeText, TextBeyondWindowsCodePageIsSavedAsUtf8WithMark) {
  const std::u16string Text = u"Preis 5 \u20AC \u2014 \u0416\u0435\u043D\u044F \U0001F600";
  const TEncodedText E = EncodeText(Text, TTextEncoding::teAnsi);
  EXPECT_EQ(E.Encoding, TTextEncoding::teUTF8);
  EXPECT_EQ(E.Bytes.substr(0, 3), "\xEF\xBB\xBF");
  const TDecodedText Back = DecodeText(E.Bytes);
  EXPECT_EQ(Back.Text, Text);
  EXPECT_EQ(Back.Encoding, TTextEncoding::teUTF8);
}

// Texts whose bytes in the chosen encoding would read back as another encoding are written so that
// they read back unchanged: UTF-8 with its mark instead.
TEST(EncodeText, BytesThatWouldReadAsAnotherEncodingGetTheUtf8Mark) {
  const struct {
    std::u16string Text;
    TTextEncoding Encoding;
  } Cases[] = {
      {u"\u00C3\u00A9", TTextEncoding::teAnsi},          // C3 A9 is well-formed UTF-8
      {u"x \u00DB\u00B3 y", TTextEncoding::teAnsi},      // DB B3 likewise
      {u"\u00EF\u00BB\u00BFabc", TTextEncoding::teAnsi}, // the UTF-8 mark
      {u"\u00FF\u00FEab", TTextEncoding::teAnsi},        // the UTF-16 LE mark
      {u"\u00FE\u00FFab", TTextEncoding::teAnsi},        // the UTF-16 BE mark
      {u"\uFEFFtext", TTextEncoding::teUTF8NoBOM},       // starts with the mark's character
  };
  for (const auto& C : Cases) {
    const TEncodedText E = EncodeText(C.Text, C.Encoding);
    EXPECT_EQ(E.Encoding, TTextEncoding::teUTF8);
    const TDecodedText D = DecodeText(E.Bytes);
    EXPECT_EQ(D.Text, C.Text);
    EXPECT_EQ(D.Encoding, TTextEncoding::teUTF8);
  }
  EXPECT_EQ(EncodeText(u"caf\u00E9", TTextEncoding::teAnsi).Bytes, "caf\xE9"); // not UTF-8: stays
}

TEST(EncodeText, EachEncodingRoundTrips) {
  const std::u16string Text = u"Zeile 1\r\nGr\u00FC\u00DFe \u20AC \u0416 \U0001F600\r\n";
  const struct {
    TTextEncoding Encoding;
    std::string Start;
  } Cases[] = {
      {TTextEncoding::teUTF8, "\xEF\xBB\xBFZ"},
      {TTextEncoding::teUTF8NoBOM, "Ze"},
      {TTextEncoding::teUTF16LE, Bytes({0xFF, 0xFE, 'Z', 0})},
      {TTextEncoding::teUTF16BE, Bytes({0xFE, 0xFF, 0, 'Z'})},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(Name(C.Encoding));
    const TEncodedText E = EncodeText(Text, C.Encoding);
    EXPECT_EQ(E.Encoding, C.Encoding);
    EXPECT_EQ(E.Bytes.substr(0, C.Start.size()), C.Start);
    const TDecodedText D = DecodeText(E.Bytes);
    EXPECT_EQ(D.Text, Text);
    EXPECT_EQ(D.Encoding, C.Encoding); // remembered, so a later save keeps it
  }
  EXPECT_EQ(EncodeText(u"a\u20AC", TTextEncoding::teUTF16LE).Bytes,
            Bytes({0xFF, 0xFE, 'a', 0, 0xAC, 0x20}));
  EXPECT_EQ(EncodeText(u"x\u20AC", TTextEncoding::teAnsi).Bytes, "x\x80");
  EXPECT_EQ(EncodeText(u"", TTextEncoding::teUTF8).Bytes, "\xEF\xBB\xBF");
}

// A name of the longest length a file system allows (255 bytes) can be saved too, and twice.
TEST(TextFiles, AtomicWriteTakesTheLongestFileName) {
  TTempFolder Folder;
  for (const std::size_t Length : {248u, 249u, 255u}) {
    const auto Path = Folder.Path() / (std::string(Length - 4, 'n') + ".txt");
    for (const char* Data : {"first", "second"}) {
      const TWriteResult Written = WriteFileAtomic(Path, Data);
      ASSERT_TRUE(Written.Ok) << Length << ": " << Written.Error;
    }
    EXPECT_EQ(ReadFileBytes(Path).Bytes, "second");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()),
                          std::filesystem::directory_iterator()),
            3);
}

TEST(TextFiles, AtomicWriteAndRead) {
  TTempFolder Folder;
  const auto Path = Folder.Path() / "notes.txt";
  const std::string Data = std::string("a\0b\r\n", 5) + std::string(200000, 'x');
  const TWriteResult Written = WriteFileAtomic(Path, Data);
  ASSERT_TRUE(Written.Ok) << Written.Error;
  EXPECT_TRUE(Written.Error.empty());
  const TReadResult Read = ReadFileBytes(Path);
  ASSERT_TRUE(Read.Ok()) << Read.Error.Utf8();
  EXPECT_EQ(Read.Bytes, Data);
  EXPECT_TRUE(Read.Error.Empty());

  const mode_t Mask = ::umask(0);
  ::umask(Mask);
  struct stat Info {};
  ASSERT_EQ(::stat(Path.c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0666 & ~Mask);

  ASSERT_TRUE(WriteFileAtomic(Path, "short", true).Ok);
  EXPECT_EQ(ReadFileBytes(Path).Bytes, "short");
  ASSERT_EQ(::stat(Path.c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0600u);

  // An existing file keeps its mode.
  ASSERT_EQ(::chmod(Path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomic(Path, "again").Ok);
  ASSERT_EQ(::stat(Path.c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0640u);

  // An empty file reads as empty bytes, which is not a failure.
  ASSERT_TRUE(WriteFileAtomic(Path, "").Ok);
  EXPECT_EQ(ReadFileBytes(Path).Bytes, "");

  // Only the target is left in the folder: no temporary files.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()), {}), 1);
}

TEST(TextFiles, FailuresGiveTheSystemsText) {
  TTempFolder Folder;
  const auto Pipe = Folder.Path() / "pipe.txt";
  ASSERT_EQ(::mkfifo(Pipe.c_str(), 0600), 0);
  // A file larger than any page's content is refused before it is read.
  const auto Huge = Folder.Path() / "huge.txt";
  std::ofstream(Huge) << "x";
  std::filesystem::resize_file(Huge, static_cast<std::uintmax_t>(kMaxReadBytes) + 1);

  const struct {
    std::filesystem::path Path;
    std::string Error;
  } Reads[] = {
      {Folder.Path() / "missing.txt", std::strerror(ENOENT)},
      {Folder.Path(), std::strerror(EISDIR)}, // a folder
      // A named pipe nobody writes to is refused at once instead of hanging the reader, and so is
      // a device that never ends.
      {Pipe, "Not a regular file."},
      {"/dev/zero", "Not a regular file."},
      {Huge, std::strerror(EFBIG)},
  };
  for (const auto& R : Reads) {
    SCOPED_TRACE(R.Path);
    const TReadResult Read = ReadFileBytes(R.Path);
    EXPECT_FALSE(Read.Ok());
    EXPECT_EQ(Read.Bytes, std::nullopt);
    EXPECT_EQ(Read.Error.Utf8(), R.Error);
  }
  std::filesystem::remove(Pipe);
  std::filesystem::remove(Huge);

  const TWriteResult NoFolder = WriteFileAtomic(Folder.Path() / "no" / "such.txt", "x");
  EXPECT_FALSE(NoFolder.Ok);
  EXPECT_EQ(NoFolder.Error, std::strerror(ENOENT));

  // A folder in the target's place stays as it was, and no temporary file is left behind: the
  // rename is what fails, after the temporary file was written and closed.
  const auto Taken = Folder.Path() / "taken.txt";
  std::filesystem::create_directory(Taken);
  std::ofstream(Taken / "inside") << "keep";
  const TWriteResult OntoFolder = WriteFileAtomic(Taken, "x");
  EXPECT_FALSE(OntoFolder.Ok);
  EXPECT_EQ(OntoFolder.Error, std::strerror(EISDIR));
  EXPECT_TRUE(std::filesystem::exists(Taken / "inside"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()), {}), 1);
}

// The batch writer's choices: no replace (checked in the rename itself), no flush per file.
TEST(TextFiles, AtomicWriteWithoutReplacingOrFlushing) {
  TTempFolder Folder;
  const auto Path = Folder.Path() / "code.svg";
  TAtomicWrite Keep;
  Keep.Replace = false;
  Keep.Durable = false;
  const TWriteResult First = WriteFileAtomic(Path, "first", Keep);
  ASSERT_TRUE(First.Ok) << First.Error;
  EXPECT_FALSE(First.Exists);
  const TWriteResult Second = WriteFileAtomic(Path, "second", Keep);
  EXPECT_FALSE(Second.Ok);
  EXPECT_TRUE(Second.Exists);
  EXPECT_EQ(Second.Error, std::strerror(EEXIST));
  EXPECT_EQ(ReadFileBytes(Path).Bytes, "first");
  // A folder in the way is no file to keep: the rename refuses it just the same.
  std::filesystem::create_directory(Folder.Path() / "taken.svg");
  EXPECT_TRUE(WriteFileAtomic(Folder.Path() / "taken.svg", "x", Keep).Exists);
  // Nothing but the two names is left: no temporary file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()),
                          std::filesystem::directory_iterator()),
            2);

  TAtomicWrite Replace;
  Replace.Durable = false;
  ASSERT_TRUE(WriteFileAtomic(Path, "third", Replace).Ok);
  EXPECT_EQ(ReadFileBytes(Path).Bytes, "third");
  EXPECT_TRUE(SyncFileSystem(Folder.Path()).Ok);
  EXPECT_FALSE(SyncFileSystem(Folder.Path() / "missing").Ok);
}
