#include "payload/PayloadFiles.h"

#include "platform/Unicode.h"
#include "util/MyFunctions.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
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

TMessage CannotOpen(const std::filesystem::path& Path, const TMessage& Why) {
  return Say(QT_TRANSLATE_NOOP("Messages", "Cannot open file \"%1\". %2"),
             {Plain(FullPath(Path)), Why});
}

TMessage CannotCreate(const std::filesystem::path& Path, const std::string& SystemError) {
  return Say(QT_TRANSLATE_NOOP("Messages", "Cannot create file \"%1\". %2"),
             {Plain(FullPath(Path)), Plain(Utf8ToUtf16(SystemError))});
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
                    const TMessage& RefusedMessage = {}) {
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

// The page's yyyy.mm.dd from the basic form this program writes (19700131). RFC 6350's other
// date forms (section 4.3.1: 1970-01-31, 1970-01, --0131, --01, ---31), as other programs write
// them, are kept as they stand: cutting them at fixed places would lose the day, and the composer
// writes them back unchanged. Every other value is cut as before, so the fields of this program's
// own files come back as they were typed.
std::u16string BirthdayField(const std::u16string& Value) {
  if (IsDashedDate(Value)) return Value;
  return ClampedSubstr(Value, 0, 4) + u"." + ClampedSubstr(Value, 4, 2) + u"." +
         ClampedSubstr(Value, 6, 2);
}

std::u16string AsciiLower(std::u16string Text) {
  for (char16_t& C : Text)
    if (C >= u'A' && C <= u'Z') C = static_cast<char16_t>(C - u'A' + u'a');
  return Text;
}

// One content line (RFC 6350 section 3.3): [group "."] name *(";" param) ":" value. Property
// and parameter names and TYPE values are compared without regard to ASCII case; TYPE may come
// as several parameters, as a comma list and in quotes; a parameter without "=" (as vCard 2.1
// writes "TEL;HOME;VOICE:") is a type.
struct TVCardLine {
  std::u16string Label;              // the line up to its ":" as written ("TEL;TYPE=fax")
  std::u16string Name;               // without the group, in capitals
  std::vector<std::u16string> Types; // every TYPE value, in small letters
  bool Uri = false;                  // VALUE=uri
  bool HasValue = false;             // the line has its ":"
  std::u16string Value;              // raw, escapes still in it, cut to kMaxValue characters
  bool Has(std::u16string_view Type) const {
    return std::find(Types.begin(), Types.end(), Type) != Types.end();
  }
};

TVCardLine SplitVCardLine(const std::u16string& Line) {
  TVCardLine Result;
  // The first ":" outside a parameter's quoted value ends the name and the parameters.
  bool Parameters = false, Quoted = false;
  std::size_t Colon = Line.size();
  for (std::size_t I = 0; I < Line.size() && Colon == Line.size(); ++I) {
    Parameters = Parameters || Line[I] == u';';
    if (Line[I] == u'"' && Parameters) Quoted = !Quoted;
    if (Line[I] == u':' && !Quoted) Colon = I;
  }
  Result.Label = Line.substr(0, Colon);
  Result.HasValue = Colon < Line.size();
  Result.Value = ClampedSubstr(Line, Colon + 1, kMaxValue);
  std::vector<std::u16string> Pieces(1);
  Quoted = false;
  for (const char16_t C : Result.Label) {
    if (C == u'"' && Pieces.size() > 1)
      Quoted = !Quoted;
    else if (C == u';' && !Quoted)
      Pieces.emplace_back();
    else
      Pieces.back() += C;
  }
  Result.Name = Pieces.front();
  if (const std::size_t Dot = Result.Name.rfind(u'.'); Dot != std::u16string::npos)
    Result.Name.erase(0, Dot + 1);
  for (char16_t& C : Result.Name)
    if (C >= u'a' && C <= u'z') C = static_cast<char16_t>(C - u'a' + u'A');
  for (std::size_t I = 1; I < Pieces.size(); ++I) {
    const std::u16string& Piece = Pieces[I];
    const std::size_t Equals = Piece.find(u'=');
    const std::u16string Parameter = AsciiLower(Piece.substr(0, Equals));
    const std::u16string Value = Equals == std::u16string::npos ? u"" : Piece.substr(Equals + 1);
    if (Equals == std::u16string::npos) {
      Result.Types.push_back(Parameter);
    } else if (Parameter == u"type") {
      for (std::size_t Start = 0;;) {
        const std::size_t Comma = Value.find(u',', Start);
        Result.Types.push_back(AsciiLower(Value.substr(Start, Comma - Start)));
        if (Comma == std::u16string::npos) break;
        Start = Comma + 1;
      }
    } else if (Parameter == u"value") {
      Result.Uri = EqualIgnoringAsciiCase(Value, u"uri");
    }
  }
  return Result;
}

// What the page takes from a vCard, and what it cannot keep.
struct TVCardRead {
  TVCardPage Page; // Current with the fields of the lines read replaced
  std::vector<std::u16string> NotKept;
};

// One line's contribution to the page: the fields it fills and the parts it has no field for.
struct TVCardEntry {
  std::size_t Line = 0;                       // its place among the record's lines
  std::u16string TVCardPage::*Slot = nullptr; // its (first) field: where "free" is judged
  std::function<void(TVCardPage&)> Fill;      // fills every field of the property
  bool Untyped = false;                       // no home or work: fills a free field only
  std::u16string Lost;                        // non-empty components without a field
};

// The components of a compound value (RFC 6350 section 3.4: ";" between them, escapes) into
// Fields, one for each component (nullptr: none); the names of the non-empty components the page
// has no field for go to Lost, as "ADR (region, country)" names them.
void FillComponents(TVCardEntry& Entry, const std::u16string& Value,
                    std::vector<std::u16string TVCardPage::*> Fields,
                    std::vector<std::u16string_view> Names) {
  const std::vector<std::u16string> Parts = SplitUnescaped(Value);
  for (std::size_t I = 0; I < Parts.size(); ++I) {
    const bool HasField = I < Fields.size() && Fields[I] != nullptr;
    if (HasField || Parts[I].empty()) continue;
    const std::u16string_view Name = I < Names.size() ? Names[I] : Names.back();
    if (Entry.Lost.find(Name) != std::u16string::npos) continue;
    Entry.Lost += (Entry.Lost.empty() ? u"" : u", ") + std::u16string(Name);
  }
  for (auto It = Fields.begin(); It != Fields.end(); ++It)
    if (*It != nullptr && Entry.Slot == nullptr) Entry.Slot = *It;
  Entry.Fill = [Fields, Parts](TVCardPage& Page) {
    for (std::size_t I = 0; I < Fields.size(); ++I)
      if (Fields[I] != nullptr) Page.*(Fields[I]) = UnescapeVCard(FieldAt(Parts, I));
  };
}

// The entry of a line the page has a field for, or nothing.
std::optional<TVCardEntry> VCardEntry(const TVCardLine& L) {
  using P = TVCardPage;
  TVCardEntry Entry;
  if (!L.HasValue) return std::nullopt; // not a property line
  const auto Whole = [&Entry](std::u16string P::*Field, std::u16string Value) {
    Entry.Slot = Field;
    Entry.Fill = [Field, Value = std::move(Value)](P& Page) { Page.*Field = Value; };
  };
  if (L.Name == u"FN") {
    Whole(&P::ContactName, UnescapeVCard(L.Value));
  } else if (L.Name == u"N") {
    FillComponents(Entry, L.Value, {&P::LastName, &P::FirstName, &P::MiddleName},
                   {u"", u"", u"", u"prefix", u"suffix"});
  } else if (L.Name == u"BDAY") {
    Whole(&P::Birthday, BirthdayField(UnescapeVCard(L.Value)));
  } else if (L.Name == u"ORG") {
    FillComponents(Entry, L.Value, {&P::Company, &P::Department}, {u"", u"", u"unit"});
  } else if (L.Name == u"TITLE") {
    Whole(&P::JobTitle, UnescapeVCard(L.Value));
  } else if (L.Name == u"TEL" || L.Name == u"EMAIL" || L.Name == u"URL" || L.Name == u"ADR") {
    // Home or work by TYPE; neither (or both) is untyped and takes the private field when no
    // other line fills it. Kinds of number the page has no field for are not read.
    const bool Work = L.Has(u"work") && !L.Has(u"home");
    Entry.Untyped = !L.Has(u"home") && !L.Has(u"work");
    if (L.Name == u"TEL") {
      for (const std::u16string_view Kind :
           {u"fax", u"pager", u"video", u"textphone", u"modem", u"isdn", u"bbs"})
        if (L.Has(Kind)) return std::nullopt;
      std::u16string Number = UnescapeVCard(L.Value);
      // RFC 6350 section 6.4.1: "TEL;VALUE=uri:tel:+1-555-555-5555".
      if (L.Uri && StartsWithIgnoringAsciiCase(Number, u"tel:")) Number.erase(0, 4);
      const bool Cell = L.Has(u"cell") || L.Has(u"mobile");
      Whole(Cell ? (Work ? &P::CellPhoneWork : &P::PhoneCellPrivate)
                 : (Work ? &P::PhoneWork : &P::PhonePrivate),
            std::move(Number));
    } else if (L.Name == u"EMAIL") {
      Whole(Work ? &P::EmailWork : &P::EmailPrivate, UnescapeVCard(L.Value));
    } else if (L.Name == u"URL") {
      Whole(Work ? &P::WebsiteWork : &P::WebsitePrivate, UnescapeVCard(L.Value));
    } else {
      // Post office box, extended address, street, locality, region, postal code, country.
      FillComponents(
          Entry, L.Value,
          Work ? std::vector<std::u16string P::*>{nullptr, nullptr, &P::Streetwork, &P::CityWork,
                                                  nullptr, &P::ZIPCodeWork}
               : std::vector<std::u16string P::*>{nullptr, nullptr, &P::StreetHome, &P::CityHome,
                                                  nullptr, &P::ZIPCodeHome},
          {u"post office box", u"extended address", u"", u"", u"region", u"", u"country", u"more"});
    }
  } else {
    return std::nullopt;
  }
  return Entry;
}

// Every line is examined. A property with home or work (and FN, N, BDAY, ORG, TITLE) fills its
// field, the last line of it winning; then each untyped TEL, EMAIL, URL or ADR takes the
// private field of its kind when no line has filled it yet. What is left over is named.
TVCardRead ReadVCard(const std::u16string& Text, TVCardPage Current) {
  std::vector<TVCardLine> Lines;
  for (const std::u16string& Line : SplitLines(Text))
    Lines.push_back(SplitVCardLine(Line));
  std::vector<bool> Kept(Lines.size(), false);
  std::vector<std::u16string> Lost(Lines.size());
  std::vector<TVCardEntry> Typed, Untyped;
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    std::optional<TVCardEntry> Entry = VCardEntry(Lines[I]);
    if (!Entry) continue;
    Entry->Line = I;
    (Entry->Untyped ? Untyped : Typed).push_back(std::move(*Entry));
  }
  std::vector<std::pair<std::u16string TVCardPage::*, std::size_t>> Filled; // slot, line
  const auto FilledBy = [&Filled](std::u16string TVCardPage::*Slot) {
    return std::find_if(Filled.begin(), Filled.end(),
                        [Slot](const auto& F) { return F.first == Slot; });
  };
  for (const TVCardEntry& Entry : Typed) {
    if (const auto It = FilledBy(Entry.Slot); It != Filled.end()) {
      Kept[It->second] = false; // a later line of the same field wins
      It->second = Entry.Line;
    } else {
      Filled.emplace_back(Entry.Slot, Entry.Line);
    }
    Entry.Fill(Current);
    Kept[Entry.Line] = true;
    Lost[Entry.Line] = Entry.Lost;
  }
  for (const TVCardEntry& Entry : Untyped) {
    if (FilledBy(Entry.Slot) != Filled.end()) continue;
    Filled.emplace_back(Entry.Slot, Entry.Line);
    Entry.Fill(Current);
    Kept[Entry.Line] = true;
    Lost[Entry.Line] = Entry.Lost;
  }

  TVCardRead Result{std::move(Current), {}};
  const auto Name = [&Result](const std::u16string& Label) {
    if (std::find(Result.NotKept.begin(), Result.NotKept.end(), Label) == Result.NotKept.end())
      Result.NotKept.push_back(Label);
  };
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    const TVCardLine& Line = Lines[I];
    if (Line.Label.empty()) continue;
    if (Kept[I]) {
      if (!Lost[I].empty()) Name(Line.Label + u" (" + Lost[I] + u")");
      continue;
    }
    bool Frame = false;
    for (const std::u16string_view Part : {u"BEGIN", u"VERSION", u"END"})
      Frame = Frame || Line.Name == Part;
    if (!Frame) Name(Line.Label);
  }
  return Result;
}

} // namespace

TMessage CannotCreateFileMessage(const std::filesystem::path& Path,
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
  return ReadVCard(Text, std::move(Current)).Page;
}

std::vector<std::u16string> VCardPropertiesNotRead(const std::u16string& Text) {
  return ReadVCard(Text, TVCardPage{}).NotKept;
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

// The refusal of a file that is not of the kind asked for: Template with the full path as %1.
TMessage NotAFileOf(const std::filesystem::path& Path, const char* Template) {
  return Say(Template, {Plain(FullPath(Path))});
}

} // namespace

TLoadResult<TEMailFile> LoadEMailFile(const std::filesystem::path& Path) {
  return Load<TEMailFile>(
      Path, LoadEMailBytes,
      NotAFileOf(Path,
                 QT_TRANSLATE_NOOP("Messages", "\"%1\" is not an e-mail file of this program.")));
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
        Say(QT_TRANSLATE_NOOP("Messages", "The network name or key contains characters "
                                          "that cannot be saved in a network-key file."));
    return Result;
  }
  return Write(Path, *Bytes, TTextEncoding::teUTF8, /*OwnerOnly=*/true);
}

TLoadResult<TWifiPage> LoadNetworkFile(const std::filesystem::path& Path) {
  return Load<TWifiPage>(
      Path, LoadNetworkBytes,
      NotAFileOf(Path, QT_TRANSLATE_NOOP("Messages", "\"%1\" is not a network-key file.")));
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
      NotAFileOf(Path, QT_TRANSLATE_NOOP("Messages", "\"%1\" holds no event.")));
}
