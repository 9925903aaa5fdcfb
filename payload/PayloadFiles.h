// The five payload files (.txt, .eml, .vcf, .nwk, .ics): bytes in and out, and path-based load and
// save on top of platform/TextFile.h. Errors come back as values (UTF-16 messages), never as
// exceptions. A failed load yields no data; a failed save leaves the previous file intact.
#pragma once

#include "payload/Event.h"
#include "payload/Payload.h"
#include "platform/TextFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---- extensions and the file-name rule of the Save actions ----
inline constexpr char16_t kTextExtension[] = u".txt";
inline constexpr char16_t kEMailExtension[] = u".eml";
inline constexpr char16_t kVCardExtension[] = u".vcf";
inline constexpr char16_t kNetworkExtension[] = u".nwk";

// Appends Extension to Chosen, then replaces every doubled Extension (compared without regard to
// ASCII case) by Extension: "notes" -> "notes.txt", "notes.TXT" -> "notes.txt",
// "notes.doc" -> "notes.doc.txt". Folders in Chosen are left as they are.
std::u16string SaveFileName(const std::u16string& Chosen, const std::u16string& Extension);

// ---- bytes level ----
// .txt: the memo's text exactly, in Encoding with its mark. The result tells the encoding really
// written (Windows-1252 falls back to UTF-8 when the text does not fit): the memo remembers it.
TEncodedText SaveTextBytes(const std::u16string& MemoText, TTextEncoding Encoding);
TDecodedText LoadTextBytes(std::string_view Bytes);

// .eml: the message's lines, each ended by CR LF (none for an empty message), the address, CR LF,
// the subject, CR LF. A message that ends with CR LF ends with an empty line, which is written.
TEncodedText SaveEMailBytes(const TEMailPage& Page, TTextEncoding Encoding);
struct TEMailFile {
  TEMailPage Page;        // MemoMessage: the lines before the last two, joined by CR LF
  TTextEncoding Encoding; // to remember for MemoMessage
};
// Empty optional: the file has fewer than two lines.
std::optional<TEMailFile> LoadEMailBytes(std::string_view Bytes);

// .vcf: the composed record, always UTF-8 without a mark (RFC 6350 section 3.1), whatever encoding
// the memo remembers; the result's Encoding (teUTF8NoBOM) is the one to remember. The reader still
// takes any encoding DecodeText knows, so files of earlier versions load.
TEncodedText SaveVCardBytes(const TVCardPage& Page, TTextEncoding Remembered);
struct TVCardFile {
  std::u16string MemoVCard; // the decoded file text (line breaks CR LF)
  TVCardPage Page;          // Current with the fields the file holds lines for replaced
  TTextEncoding Encoding;   // to remember for MemoVCard
};
// Every line is examined, the last one too. Property names, parameter names and TYPE values are
// taken in any letter case, TYPE as comma lists, in quotes, in any order and split over several
// parameters; a group ("item1.TEL") is ignored. FN, N, BDAY, ORG, TITLE and the TEL, EMAIL, URL
// and ADR lines typed home or work fill their field, the last line of a field winning ("cell"
// picks the cell phone fields; fax, pager, video and the like have no field). An untyped TEL,
// EMAIL, URL or ADR (neither home nor work) takes the private field of its kind when no line
// fills it. A TEL with VALUE=uri loses its "tel:". N is read from its first three components, so
// the three-component lines of earlier versions load; ADR from street, locality and postal code.
// The caller holds ReadData true while it puts Page into the fields.
TVCardFile LoadVCardBytes(std::string_view Bytes, const TVCardPage& Current);
// The field-filling step alone, on an already decoded text.
TVCardPage ReadVCardFields(const std::u16string& Text, TVCardPage Current);
// The properties of Text that ReadVCardFields leaves unread (no field, a field that a later line
// or a typed line took), each named once as its line names it up to the ":" ("NOTE",
// "TEL;TYPE=fax"), in the order of the text; a line read but for components the page has no
// field for is named with them ("ADR (region, country)", "N (prefix)"). BEGIN, VERSION and END
// and lines without a name are not listed.
std::vector<std::u16string> VCardPropertiesNotRead(const std::u16string& Text);

// .nwk: EF BB BF, the UTF-8 of the scrambled network record (target length 50), CR LF.
// Empty optional: the record holds a character that cannot be scrambled (code above 455).
std::optional<std::string> SaveNetworkBytes(const TWifiPage& Page);
// The fields are found by their labels (T:, S:, P:, H:); a piece without a label continues the
// field before it, so ";" written unescaped by the first releases stays in the name or key. An
// open network's P: field, if any, is not read. Empty optional: the first line is not a
// scrambled record.
std::optional<TWifiPage> LoadNetworkBytes(std::string_view Bytes);
// The reading of the network record itself ("WIFI:T:WPA;S:name;P:key;H:true;;", the "WIFI:"
// optional), by the labels as above. Without T: the type is WEP, as the files have always read;
// for an Outside record (a code someone else made) it is an open network when there is no key and
// WPA when there is one.
TWifiPage ReadNetworkRecord(const std::u16string& Record, bool Outside = false);

// ---- path level ----
struct TSaveResult {
  bool Ok = false;
  TMessage Error;                                 // the message to show when !Ok
  TTextEncoding Encoding = TTextEncoding::teAnsi; // the encoding written (for .txt/.eml/.vcf)
};

template <class T> struct TLoadResult {
  std::optional<T> Data; // empty when the load failed
  TMessage Error;        // the message to show when Data is empty
  bool Ok() const { return Data.has_value(); }
};

// "Cannot create file \"<full path>\". <system error>": the message of a failed save, shared by
// every file the program writes.
TMessage CannotCreateFileMessage(const std::filesystem::path& Path, const std::string& SystemError);

// Messages: "Cannot open file \"<full path>\". <system error>",
// "Cannot create file \"<full path>\". <system error>",
// "\"<full path>\" is not an e-mail file of this program.",
// "\"<full path>\" is not a network-key file.",
// "The network name or key contains characters that cannot be saved in a network-key file."
TSaveResult SaveTextFile(const std::filesystem::path& Path, const std::u16string& MemoText,
                         TTextEncoding Encoding);
TLoadResult<TDecodedText> LoadTextFile(const std::filesystem::path& Path);

TSaveResult SaveEMailFile(const std::filesystem::path& Path, const TEMailPage& Page,
                          TTextEncoding Encoding);
TLoadResult<TEMailFile> LoadEMailFile(const std::filesystem::path& Path);

TSaveResult SaveVCardFile(const std::filesystem::path& Path, const TVCardPage& Page,
                          TTextEncoding Remembered);
TLoadResult<TVCardFile> LoadVCardFile(const std::filesystem::path& Path, const TVCardPage& Current);

// Written with mode 0600 (owner only): the scrambling hides the key from a casual glance only.
TSaveResult SaveNetworkFile(const std::filesystem::path& Path, const TWifiPage& Page);
TLoadResult<TWifiPage> LoadNetworkFile(const std::filesystem::path& Path);

// .ics: the whole VCALENDAR of CalendarFile, a new UID and the time of the save as DTSTAMP, UTF-8
// without a mark. An event the page refuses is not saved: the error is the refusal.
TSaveResult SaveEventFile(const std::filesystem::path& Path, const TEventPage& Page);
// The first event of the file ("\"<full path>\" holds no event." when there is none), from the
// bytes as DecodeText reads them.
TLoadResult<TEventRead> LoadEventFile(const std::filesystem::path& Path);
