#include "payload/PayloadFiles.h"

#include "platform/Unicode.h"
#include "util/MyFunctions.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr std::u16string_view kCRLF = u"\r\n";
constexpr std::size_t kMaxValue = 999; // longest value a field takes from a file
constexpr int kNetworkRecordLength = 50;

// S.substr(Pos, Count), but empty instead of an exception when Pos lies beyond the end.
std::u16string ClampedSubstr(const std::u16string& S, std::size_t Pos,
                             std::size_t Count = std::u16string::npos) {
  if (Pos >= S.size()) return {};
  return S.substr(Pos, Count);
}

// The line model: pieces between line breaks; a final break opens no further line.
std::vector<std::u16string> SplitLines(const std::u16string& Text) {
  std::vector<std::u16string> Lines;
  std::size_t Start = 0;
  for (std::size_t I = 0; I < Text.size();) {
    if (const std::size_t Break = LineBreakLength(Text, I)) {
      Lines.push_back(Text.substr(Start, I - Start));
      I += Break;
      Start = I;
    } else {
      ++I;
    }
  }
  if (Start < Text.size()) Lines.push_back(Text.substr(Start));
  return Lines;
}

// Splits at every ";" not preceded by an escaping backslash; the escapes stay in the pieces.
std::vector<std::u16string> SplitUnescaped(const std::u16string& Text) {
  std::vector<std::u16string> Fields(1);
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char16_t C = Text[I];
    if (C == u'\\' && I + 1 < Text.size()) {
      Fields.back() += C;
      Fields.back() += Text[++I];
    } else if (C == u';') {
      Fields.emplace_back();
    } else {
      Fields.back() += C;
    }
  }
  return Fields;
}

std::u16string FieldAt(const std::vector<std::u16string>& Fields, std::size_t Index) {
  return Index < Fields.size() ? Fields[Index] : std::u16string();
}

// RFC 6350 section 3.4 escapes. An unknown escape (as in a file written before values were escaped)
// is kept as it stands.
std::u16string UnescapeVCard(const std::u16string& Text) {
  std::u16string Out;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char16_t C = Text[I];
    if (C == u'\\' && I + 1 < Text.size()) {
      const char16_t Next = Text[I + 1];
      if (Next == u'\\' || Next == u',' || Next == u';') {
        Out += Next;
        ++I;
        continue;
      }
      if (Next == u'n' || Next == u'N') {
        Out += kCRLF;
        ++I;
        continue;
      }
    }
    Out += C;
  }
  return Out;
}

// The network record's escapes: a backslash takes the next character literally.
std::u16string UnescapeWifi(const std::u16string& Text) {
  std::u16string Out;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == u'\\' && I + 1 < Text.size()) ++I;
    Out += Text[I];
  }
  return Out;
}

std::u16string FullPath(const std::filesystem::path& Path) {
  std::error_code Ec;
  std::filesystem::path Full = std::filesystem::absolute(Path, Ec);
  if (Ec) Full = Path;
  const std::u8string U8 = Full.u8string();
  return Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(U8.data()), U8.size()));
}

std::u16string CannotOpen(const std::filesystem::path& Path, const std::string& SystemError) {
  return u"Cannot open file \"" + FullPath(Path) + u"\". " + Utf8ToUtf16(SystemError);
}

std::u16string CannotCreate(const std::filesystem::path& Path, const std::string& SystemError) {
  return u"Cannot create file \"" + FullPath(Path) + u"\". " + Utf8ToUtf16(SystemError);
}

TSaveResult Write(const std::filesystem::path& Path, const std::string& Bytes,
                  TTextEncoding Encoding, bool OwnerOnly = false) {
  const TWriteResult Written = WriteFileAtomic(Path, Bytes, OwnerOnly);
  if (!Written.Ok) return {false, CannotCreate(Path, Written.Error)};
  return {true, {}, Encoding};
}

// Reads the file and hands the bytes to Parse; Parse answers the data or an empty optional.
template <class T, class F>
TLoadResult<T> Load(const std::filesystem::path& Path, F Parse,
                    const std::u16string& RefusedMessage = {}) {
  TLoadResult<T> Result;
  const TReadResult Read = ReadFileBytes(Path);
  if (!Read.Ok()) {
    Result.Error = CannotOpen(Path, Read.Error);
    return Result;
  }
  Result.Data = Parse(*Read.Bytes);
  if (!Result.Data) Result.Error = RefusedMessage;
  return Result;
}

using TFieldSetter = std::function<void(TVCardPage&, const std::u16string&)>;

struct TVCardPrefix {
  std::u16string_view Prefix;
  TFieldSetter Set;
};

// Single-valued property: the whole value, unescaped.
TFieldSetter Whole(std::u16string TVCardPage::*Field) {
  return [Field](TVCardPage& P, const std::u16string& V) { P.*Field = UnescapeVCard(V); };
}

// Compound property: the listed components (index -1 skips one), each unescaped.
TFieldSetter Components(std::array<std::u16string TVCardPage::*, 4> Fields) {
  return [Fields](TVCardPage& P, const std::u16string& V) {
    const std::vector<std::u16string> Parts = SplitUnescaped(V);
    for (std::size_t I = 0; I < Fields.size(); ++I)
      if (Fields[I] != nullptr) P.*(Fields[I]) = UnescapeVCard(FieldAt(Parts, I));
  };
}

// Whether Text is one of the date forms of RFC 6350, section 4.3.1, written with dashes.
bool IsDashedDate(std::u16string_view Text) {
  const auto Digits = [&Text](std::size_t From, std::size_t Count) {
    return std::all_of(Text.begin() + static_cast<std::ptrdiff_t>(From),
                       Text.begin() + static_cast<std::ptrdiff_t>(From + Count),
                       [](char16_t C) { return C >= u'0' && C <= u'9'; });
  };
  switch (Text.size()) {
  case 10: // 1970-01-31
    return Digits(0, 4) && Text[4] == u'-' && Digits(5, 2) && Text[7] == u'-' && Digits(8, 2);
  case 7: // 1970-01
    return Digits(0, 4) && Text[4] == u'-' && Digits(5, 2);
  case 6: // --0131
    return Text.starts_with(u"--") && Digits(2, 4);
  case 5: // ---31
    return Text.starts_with(u"---") && Digits(3, 2);
  case 4: // --01
    return Text.starts_with(u"--") && Digits(2, 2);
  default:
    return false;
  }
}

const std::vector<TVCardPrefix>& VCardPrefixes() {
  using P = TVCardPage;
  static const std::vector<TVCardPrefix> Table = {
      {u"FN:", Whole(&P::ContactName)},
      {u"N:", Components({&P::LastName, &P::FirstName, &P::MiddleName, nullptr})},
      {u"TEL;TYPE=home:", Whole(&P::PhonePrivate)},
      {u"TEL;TYPE=cell,home:", Whole(&P::PhoneCellPrivate)},
      {u"EMAIL;TYPE=home:", Whole(&P::EmailPrivate)},
      {u"URL;TYPE=home:", Whole(&P::WebsitePrivate)},
      {u"ADR;TYPE=home:;;", Components({&P::StreetHome, &P::CityHome, nullptr, &P::ZIPCodeHome})},
      {u"BDAY:",
       [](P& Page, const std::u16string& V) {
         const std::u16string D = UnescapeVCard(V);
         // The page's yyyy.mm.dd from the basic form this program writes (19700131). RFC 6350's
         // other date forms (section 4.3.1: 1970-01-31, 1970-01, --0131, --01, ---31), as other
         // programs write them, are kept as they stand: cutting them at fixed places would lose
         // the day, and the composer writes them back unchanged. Every other value is cut as
         // before, so the fields of this program's own files come back as they were typed.
         if (IsDashedDate(D)) {
           Page.Birthday = D;
           return;
         }
         Page.Birthday =
             ClampedSubstr(D, 0, 4) + u"." + ClampedSubstr(D, 4, 2) + u"." + ClampedSubstr(D, 6, 2);
       }},
      {u"ORG:", Components({&P::Company, &P::Department, nullptr, nullptr})},
      {u"TITLE:", Whole(&P::JobTitle)},
      {u"TEL;TYPE=work:", Whole(&P::PhoneWork)},
      {u"TEL;TYPE=cell,work:", Whole(&P::CellPhoneWork)},
      {u"EMAIL;TYPE=work:", Whole(&P::EmailWork)},
      {u"URL;TYPE=work:", Whole(&P::WebsiteWork)},
      {u"ADR;TYPE=work:;;", Components({&P::Streetwork, &P::CityWork, nullptr, &P::ZIPCodeWork})},
  };
  return Table;
}

} // namespace

std::u16string CannotCreateFileMessage(const std::filesystem::path& Path,
                                       const std::string& SystemError) {
  return CannotCreate(Path, SystemError);
}

std::u16string SaveFileName(const std::u16string& Chosen, const std::u16string& Extension) {
  const std::u16string Name = Chosen + Extension;
  if (Extension.empty()) return Name;
  const std::u16string Doubled = Extension + Extension;
  // Only the file's own name is looked at: a folder called "x.txt.txt" stays where it is.
  const std::size_t Slash = Name.find_last_of(u'/');
  std::size_t I = Slash == std::u16string::npos ? 0 : Slash + 1;
  std::u16string Out = Name.substr(0, I);
  while (I < Name.size()) {
    if (StartsWithIgnoringAsciiCase(std::u16string_view(Name).substr(I), Doubled)) {
      Out += Extension;
      I += Doubled.size();
    } else {
      Out += Name[I++];
    }
  }
  return Out;
}

// ---- .txt ----
TEncodedText SaveTextBytes(const std::u16string& MemoText, TTextEncoding Encoding) {
  return EncodeText(MemoText, Encoding);
}

TDecodedText LoadTextBytes(std::string_view Bytes) {
  return DecodeText(Bytes);
}

// ---- .eml ----
// Each line of the message ends with CR LF, the last one too, so that a message ending with an
// empty line keeps it; the reader takes that final break as the end of the last line.
TEncodedText SaveEMailBytes(const TEMailPage& Page, TTextEncoding Encoding) {
  std::u16string Text = Page.MemoMessage;
  if (!Text.empty()) Text += kCRLF;
  Text += Page.EditAddress;
  Text += kCRLF;
  Text += Page.EditSubject;
  Text += kCRLF;
  return EncodeText(Text, Encoding);
}

std::optional<TEMailFile> LoadEMailBytes(std::string_view Bytes) {
  TDecodedText Decoded = DecodeText(Bytes);
  const std::vector<std::u16string> Lines = SplitLines(Decoded.Text);
  if (Lines.size() < 2) return std::nullopt;
  TEMailFile File{{}, Decoded.Encoding};
  File.Page.EditAddress = Lines[Lines.size() - 2];
  File.Page.EditSubject = Lines[Lines.size() - 1];
  for (std::size_t I = 0; I + 2 < Lines.size(); ++I) {
    if (I > 0) File.Page.MemoMessage += kCRLF;
    File.Page.MemoMessage += Lines[I];
  }
  return File;
}

// ---- .vcf ----
// RFC 6350 section 3.1: a vCard is UTF-8, and readers of it (address books, vobject) take neither
// another charset nor a byte-order mark. The record begins with "BEGIN", so it never needs a mark.
TEncodedText SaveVCardBytes(const TVCardPage& Page, TTextEncoding /*Remembered*/) {
  return EncodeText(ComposeVCard(Page), TTextEncoding::teUTF8NoBOM);
}

TVCardPage ReadVCardFields(const std::u16string& Text, TVCardPage Current) {
  for (const std::u16string& Line : SplitLines(Text)) {
    for (const TVCardPrefix& Entry : VCardPrefixes()) {
      if (Line.starts_with(Entry.Prefix))
        Entry.Set(Current, ClampedSubstr(Line, Entry.Prefix.size(), kMaxValue));
    }
  }
  return Current;
}

std::vector<std::u16string> VCardPropertiesNotRead(const std::u16string& Text) {
  std::vector<std::u16string> Names;
  for (const std::u16string& Line : SplitLines(Text)) {
    bool Read = false;
    for (const TVCardPrefix& Entry : VCardPrefixes())
      Read = Read || Line.starts_with(Entry.Prefix);
    const std::u16string Name = Line.substr(0, Line.find(u':'));
    if (Read || Name.empty()) continue;
    bool Frame = false;
    for (const std::u16string_view Kept : {u"BEGIN", u"VERSION", u"END"})
      Frame = Frame || EqualIgnoringAsciiCase(Name, Kept);
    if (!Frame && std::find(Names.begin(), Names.end(), Name) == Names.end()) Names.push_back(Name);
  }
  return Names;
}

TVCardFile LoadVCardBytes(std::string_view Bytes, const TVCardPage& Current) {
  TDecodedText Decoded = DecodeText(Bytes);
  TVCardPage Page = ReadVCardFields(Decoded.Text, Current);
  return TVCardFile{std::move(Decoded.Text), std::move(Page), Decoded.Encoding};
}

// ---- .nwk ----
std::optional<std::string> SaveNetworkBytes(const TWifiPage& Page) {
  const std::optional<std::u16string> Record =
      ScrambleText(NetworkRecord(Page), kNetworkRecordLength);
  if (!Record) return std::nullopt;
  return EncodeText(*Record + std::u16string(kCRLF), TTextEncoding::teUTF8).Bytes;
}

namespace {

// The list index of a T: value. Records of earlier versions held WPA or WEP and were read by
// their first three characters (so "WPA2" is WPA and anything unknown is WEP); they still are.
int WifiIndexOfType(const std::u16string& Type) {
  if (Type.starts_with(u"WPA")) return kWifiWPA;
  if (Type == u"SAE") return kWifiSAE;
  if (Type == u"nopass") return kWifiOpen;
  return kWifiWEP;
}

} // namespace

std::optional<TWifiPage> LoadNetworkBytes(std::string_view Bytes) {
  const std::vector<std::u16string> Lines = SplitLines(DecodeText(Bytes).Text);
  if (Lines.empty() || Lines.front().empty()) return std::nullopt;
  const std::optional<std::u16string> Record = UnscrambleText(Lines.front());
  if (!Record) return std::nullopt;
  return ReadNetworkRecord(*Record);
}

TWifiPage ReadNetworkRecord(const std::u16string& Record, bool Outside) {
  // The fields are found by their labels T:, S:, P: and H:; other labels (capital letters and a
  // colon) are passed over. The closing ";;" leaves two empty pieces at the end. A piece without
  // a label continues the field before it: the first releases wrote ";" in a name or key
  // unescaped, and such a record now reads back whole.
  std::vector<std::u16string> Pieces = SplitUnescaped(Record);
  for (int I = 0; I < 2 && Pieces.size() > 1 && Pieces.back().empty(); ++I)
    Pieces.pop_back();
  if (Pieces.front().starts_with(u"WIFI:")) Pieces.front().erase(0, 5);
  std::u16string Type, SSID, Key, Hidden;
  std::u16string* Current = nullptr;
  for (const std::u16string& Piece : Pieces) {
    std::size_t Colon = 0;
    while (Colon < Piece.size() && Piece[Colon] >= u'A' && Piece[Colon] <= u'Z')
      ++Colon;
    if (Colon == 0 || Colon >= Piece.size() || Piece[Colon] != u':') {
      if (Current) *Current += u';' + Piece;
      continue;
    }
    const std::u16string_view Label(Piece.data(), Colon);
    Current = Label == u"T"   ? &Type
              : Label == u"S" ? &SSID
              : Label == u"P" ? &Key
              : Label == u"H" ? &Hidden
                              : nullptr;
    if (Current) *Current = Piece.substr(Colon + 1);
  }
  TWifiPage Page;
  Page.SSID = UnescapeWifi(SSID).substr(0, kMaxValue);
  // A .nwk file always names its type, and reads anything else as WEP; in a code a missing type
  // means an open network, or WPA when there is a key (as phones take it).
  Page.WPA = !Type.empty() || !Outside ? WifiIndexOfType(Type) : Key.empty() ? kWifiOpen : kWifiWPA;
  if (Page.WPA != kWifiOpen) Page.NetworkKey = UnescapeWifi(Key).substr(0, kMaxValue);
  Page.Hidden = EqualIgnoringAsciiCase(UnescapeWifi(Hidden), u"true");
  return Page;
}

// ---- path level ----
TSaveResult SaveTextFile(const std::filesystem::path& Path, const std::u16string& MemoText,
                         TTextEncoding Encoding) {
  const TEncodedText Encoded = SaveTextBytes(MemoText, Encoding);
  return Write(Path, Encoded.Bytes, Encoded.Encoding);
}

TLoadResult<TDecodedText> LoadTextFile(const std::filesystem::path& Path) {
  return Load<TDecodedText>(Path,
                            [](std::string_view B) { return std::optional(LoadTextBytes(B)); });
}

TSaveResult SaveEMailFile(const std::filesystem::path& Path, const TEMailPage& Page,
                          TTextEncoding Encoding) {
  const TEncodedText Encoded = SaveEMailBytes(Page, Encoding);
  return Write(Path, Encoded.Bytes, Encoded.Encoding);
}

namespace {

// "<full path>" followed by What: the refusal of a file that is not of the kind asked for. Built
// by appending, as GCC 12 at -O3 misreads a literal + std::u16string concatenation (-Wrestrict).
std::u16string NotAFileOf(const std::filesystem::path& Path, std::u16string_view What) {
  std::u16string Message = u"\"";
  Message += FullPath(Path);
  Message += u"\" ";
  Message += What;
  return Message;
}

} // namespace

TLoadResult<TEMailFile> LoadEMailFile(const std::filesystem::path& Path) {
  return Load<TEMailFile>(Path, LoadEMailBytes,
                          NotAFileOf(Path, u"is not an e-mail file of this program."));
}

TSaveResult SaveVCardFile(const std::filesystem::path& Path, const TVCardPage& Page,
                          TTextEncoding Remembered) {
  const TEncodedText Encoded = SaveVCardBytes(Page, Remembered);
  return Write(Path, Encoded.Bytes, Encoded.Encoding);
}

TLoadResult<TVCardFile> LoadVCardFile(const std::filesystem::path& Path,
                                      const TVCardPage& Current) {
  return Load<TVCardFile>(
      Path, [&Current](std::string_view B) { return std::optional(LoadVCardBytes(B, Current)); });
}

TSaveResult SaveNetworkFile(const std::filesystem::path& Path, const TWifiPage& Page) {
  const std::optional<std::string> Bytes = SaveNetworkBytes(Page);
  if (!Bytes) {
    TSaveResult Result;
    Result.Error =
        u"The network name or key contains characters that cannot be saved in a network-key file.";
    return Result;
  }
  return Write(Path, *Bytes, TTextEncoding::teUTF8, /*OwnerOnly=*/true);
}

TLoadResult<TWifiPage> LoadNetworkFile(const std::filesystem::path& Path) {
  return Load<TWifiPage>(Path, LoadNetworkBytes, NotAFileOf(Path, u"is not a network-key file."));
}

TSaveResult SaveEventFile(const std::filesystem::path& Path, const TEventPage& Page) {
  const TRecord File = CalendarFile(Page, NewEventUid(), std::time(nullptr));
  if (!File.Made) {
    TSaveResult Result;
    Result.Error = File.Refusal;
    return Result;
  }
  return Write(Path, EncodeText(File.Payload, TTextEncoding::teUTF8NoBOM).Bytes,
               TTextEncoding::teUTF8NoBOM);
}

TLoadResult<TEventRead> LoadEventFile(const std::filesystem::path& Path) {
  return Load<TEventRead>(
      Path, [](std::string_view Bytes) { return ReadEvent(DecodeText(Bytes).Text); },
      NotAFileOf(Path, u"holds no event."));
}
