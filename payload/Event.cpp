#include "payload/Event.h"

#include "payload/Payload.h"
#include "platform/TextFile.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <random>

namespace {

constexpr std::u16string_view kCRLF = u"\r\n";

// ---- calendar arithmetic (proleptic Gregorian, days since 1970-01-01) ----
struct TCivil {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

long long DaysFromCivil(int Y, int M, int D) {
  Y -= M <= 2;
  const long long Era = (Y >= 0 ? Y : Y - 399) / 400;
  const long long YearOfEra = Y - Era * 400;
  const long long DayOfYear = (153LL * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const long long DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
  return Era * 146097 + DayOfEra - 719468;
}

TCivil CivilFromDays(long long Z) {
  Z += 719468;
  const long long Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const long long DayOfEra = Z - Era * 146097;
  const long long YearOfEra =
      (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  const long long DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  const long long MP = (5 * DayOfYear + 2) / 153;
  TCivil C;
  C.Day = static_cast<int>(DayOfYear - (153 * MP + 2) / 5 + 1);
  C.Month = static_cast<int>(MP < 10 ? MP + 3 : MP - 9);
  C.Year = static_cast<int>(YearOfEra + Era * 400 + (C.Month <= 2));
  return C;
}

bool ValidDate(int Y, int M, int D) {
  if (Y < 1900 || Y > 9999 || M < 1 || M > 12 || D < 1) return false;
  static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool Leap = (Y % 4 == 0 && Y % 100 != 0) || Y % 400 == 0;
  return D <= Days[M - 1] + (M == 2 && Leap ? 1 : 0);
}

// Count digits of Text at Pos as a number; -1 when they are not all digits.
int Digits(std::u16string_view Text, std::size_t Pos, std::size_t Count) {
  if (Pos + Count > Text.size()) return -1;
  int Value = 0;
  for (std::size_t I = Pos; I < Pos + Count; ++I) {
    if (Text[I] < u'0' || Text[I] > u'9') return -1;
    Value = Value * 10 + (Text[I] - u'0');
  }
  return Value;
}

std::u16string Trimmed(std::u16string_view Text) {
  while (!Text.empty() && (Text.front() == u' ' || Text.front() == u'\t'))
    Text.remove_prefix(1);
  while (!Text.empty() && (Text.back() == u' ' || Text.back() == u'\t'))
    Text.remove_suffix(1);
  return std::u16string(Text);
}

// "2026-12-24", "2026-12-24T18:00", "2026-12-24 18:00:30". HasTime tells which was typed.
struct TTyped {
  TCivil At;
  bool HasTime = false;
  bool Valid = false;
};
TTyped ParseTyped(const std::u16string& Typed) {
  const std::u16string Text = Trimmed(Typed);
  TTyped T;
  T.Valid = true;
  const TTyped Invalid;
  T.At.Year = Digits(Text, 0, 4);
  T.At.Month = Digits(Text, 5, 2);
  T.At.Day = Digits(Text, 8, 2);
  if (Text.size() < 10 || Text[4] != u'-' || Text[7] != u'-' ||
      !ValidDate(T.At.Year, T.At.Month, T.At.Day))
    return Invalid;
  if (Text.size() == 10) return T;
  if (Text[10] != u'T' && Text[10] != u't' && Text[10] != u' ') return Invalid;
  T.HasTime = true;
  T.At.Hour = Digits(Text, 11, 2);
  T.At.Minute = Digits(Text, 14, 2);
  if (Text.size() < 16 || Text[13] != u':' || T.At.Hour < 0 || T.At.Hour > 23 || T.At.Minute < 0 ||
      T.At.Minute > 59)
    return Invalid;
  if (Text.size() == 16) return T;
  T.At.Second = Digits(Text, 17, 2);
  if (Text.size() != 19 || Text[16] != u':' || T.At.Second < 0 || T.At.Second > 59) return Invalid;
  return T;
}

// The moment a local wall time names (a time skipped by a change to summer time is moved on).
std::time_t LocalToUtc(const TCivil& C) {
  std::tm Tm{};
  Tm.tm_year = C.Year - 1900;
  Tm.tm_mon = C.Month - 1;
  Tm.tm_mday = C.Day;
  Tm.tm_hour = C.Hour;
  Tm.tm_min = C.Minute;
  Tm.tm_sec = C.Second;
  Tm.tm_isdst = -1;
  return std::mktime(&Tm);
}

TCivil UtcToLocal(std::time_t Moment) {
  std::tm Tm{};
  localtime_r(&Moment, &Tm);
  return TCivil{Tm.tm_year + 1900, Tm.tm_mon + 1, Tm.tm_mday, Tm.tm_hour, Tm.tm_min, Tm.tm_sec};
}

std::time_t CivilUtcToTime(const TCivil& C) {
  return static_cast<std::time_t>(DaysFromCivil(C.Year, C.Month, C.Day) * 86400LL +
                                  C.Hour * 3600LL + C.Minute * 60LL + C.Second);
}

void AppendNumber(std::u16string& Out, int Value, int Width) {
  std::u16string Digits;
  for (int I = 0; I < Width; ++I, Value /= 10)
    Digits.insert(Digits.begin(), static_cast<char16_t>(u'0' + Value % 10));
  Out += Digits;
}

std::u16string DateValue(const TCivil& C) { // 20261224
  std::u16string Out;
  AppendNumber(Out, C.Year, 4);
  AppendNumber(Out, C.Month, 2);
  AppendNumber(Out, C.Day, 2);
  return Out;
}

std::u16string UtcValue(std::time_t Moment) { // 20261224T170000Z
  const long long Seconds = static_cast<long long>(Moment);
  long long Days = Seconds / 86400, Rest = Seconds % 86400;
  if (Rest < 0) {
    Rest += 86400;
    --Days;
  }
  std::u16string Out = DateValue(CivilFromDays(Days));
  Out += u'T';
  AppendNumber(Out, static_cast<int>(Rest / 3600), 2);
  AppendNumber(Out, static_cast<int>(Rest / 60 % 60), 2);
  AppendNumber(Out, static_cast<int>(Rest % 60), 2);
  return Out + u"Z";
}

std::u16string TypedValue(const TCivil& C, bool HasTime) { // 2026-12-24T18:00[:30]
  std::u16string Out;
  AppendNumber(Out, C.Year, 4);
  Out += u'-';
  AppendNumber(Out, C.Month, 2);
  Out += u'-';
  AppendNumber(Out, C.Day, 2);
  if (!HasTime) return Out;
  Out += u'T';
  AppendNumber(Out, C.Hour, 2);
  Out += u':';
  AppendNumber(Out, C.Minute, 2);
  if (C.Second != 0) {
    Out += u':';
    AppendNumber(Out, C.Second, 2);
  }
  return Out;
}

TCivil AddDays(const TCivil& C, long long Days) {
  return CivilFromDays(DaysFromCivil(C.Year, C.Month, C.Day) + Days);
}

std::u16string UnescapeText(std::u16string_view Text) {
  std::u16string Out;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] != u'\\' || I + 1 == Text.size()) {
      Out += Text[I];
      continue;
    }
    const char16_t Next = Text[++I];
    if (Next == u'n' || Next == u'N')
      Out += kCRLF;
    else
      Out += Next;
  }
  return Out;
}

// The VEVENT's lines between BEGIN and END, or the refusal.
struct TEventLines {
  std::vector<std::u16string> Lines;
  TMessage Refusal;
};

TEventLines EventLines(const TEventPage& Page) {
  TEventLines R;
  if (Trimmed(Page.Summary).empty()) {
    R.Refusal = Say(QT_TRANSLATE_NOOP("Messages", "The event needs a title (summary)."));
    return R;
  }
  if (Trimmed(Page.Start).empty()) {
    R.Refusal = Say(QT_TRANSLATE_NOOP("Messages", "The event needs a start."));
    return R;
  }
  const TTyped Start = ParseTyped(Page.Start);
  const bool HasEnd = !Trimmed(Page.End).empty();
  const TTyped End = HasEnd ? ParseTyped(Page.End) : TTyped{};
  if (!Start.Valid || (!Page.AllDay && !Start.HasTime)) {
    R.Refusal = Say(Page.AllDay ? QT_TRANSLATE_NOOP("Messages", "The start is not a valid date "
                                                                "(a date such as 2026-12-31).")
                                : QT_TRANSLATE_NOOP("Messages",
                                                    "The start is not a valid date and time (a "
                                                    "date and time such as 2026-12-24T18:00)."));
    return R;
  }
  if (HasEnd && (!End.Valid || (!Page.AllDay && !End.HasTime))) {
    R.Refusal = Say(Page.AllDay ? QT_TRANSLATE_NOOP("Messages", "The end is not a valid date (a "
                                                                "date such as 2026-12-31).")
                                : QT_TRANSLATE_NOOP("Messages",
                                                    "The end is not a valid date and time (a date "
                                                    "and time such as 2026-12-24T18:00)."));
    return R;
  }
  R.Lines.push_back(u"SUMMARY:" + EscapeTextValue(Page.Summary));
  if (Page.AllDay) {
    // Dates only: an all-day event is the same days everywhere.
    const TCivil First{Start.At.Year, Start.At.Month, Start.At.Day};
    const TCivil Last = HasEnd ? TCivil{End.At.Year, End.At.Month, End.At.Day} : First;
    if (DaysFromCivil(Last.Year, Last.Month, Last.Day) <
        DaysFromCivil(First.Year, First.Month, First.Day)) {
      R.Refusal = Say(QT_TRANSLATE_NOOP("Messages", "The event ends before it starts."));
      return R;
    }
    R.Lines.push_back(u"DTSTART;VALUE=DATE:" + DateValue(First));
    R.Lines.push_back(u"DTEND;VALUE=DATE:" + DateValue(AddDays(Last, 1)));
  } else {
    const std::time_t From = LocalToUtc(Start.At);
    if (From == static_cast<std::time_t>(-1)) {
      R.Refusal = Say(QT_TRANSLATE_NOOP("Messages", "The start cannot be placed in time."));
      return R;
    }
    R.Lines.push_back(u"DTSTART:" + UtcValue(From));
    if (HasEnd) {
      const std::time_t To = LocalToUtc(End.At);
      if (To == static_cast<std::time_t>(-1) || To < From) {
        R.Refusal = Say(QT_TRANSLATE_NOOP("Messages", "The event ends before it starts."));
        return R;
      }
      R.Lines.push_back(u"DTEND:" + UtcValue(To));
    }
  }
  if (!Page.Location.empty()) R.Lines.push_back(u"LOCATION:" + EscapeTextValue(Page.Location));
  if (!Page.Description.empty())
    R.Lines.push_back(u"DESCRIPTION:" + EscapeTextValue(Page.Description));
  return R;
}

void AppendLine(std::u16string& Out, const std::u16string& Line) {
  Out += FoldContentLine(Line);
  Out += kCRLF;
}

// ---- reading ----
struct TProperty {
  std::u16string Name;                                               // upper case
  std::vector<std::pair<std::u16string, std::u16string>> Parameters; // names upper case
  std::u16string Value;
};

std::u16string AsciiUpper(std::u16string_view Text) {
  std::u16string Out(Text);
  for (char16_t& C : Out)
    if (C >= u'a' && C <= u'z') C = static_cast<char16_t>(C - u'a' + u'A');
  return Out;
}

std::optional<TProperty> ParseProperty(std::u16string_view Line) {
  TProperty P;
  std::size_t I = 0;
  while (I < Line.size() && Line[I] != u';' && Line[I] != u':')
    ++I;
  if (I == 0 || I == Line.size()) return std::nullopt;
  P.Name = AsciiUpper(Line.substr(0, I));
  while (I < Line.size() && Line[I] == u';') {
    const std::size_t NameStart = ++I;
    while (I < Line.size() && Line[I] != u'=' && Line[I] != u';' && Line[I] != u':')
      ++I;
    std::u16string Name = AsciiUpper(Line.substr(NameStart, I - NameStart));
    std::u16string Value;
    if (I < Line.size() && Line[I] == u'=') {
      ++I;
      bool Quoted = false;
      while (I < Line.size() && (Quoted || (Line[I] != u';' && Line[I] != u':'))) {
        if (Line[I] == u'"')
          Quoted = !Quoted;
        else
          Value += Line[I];
        ++I;
      }
    }
    P.Parameters.emplace_back(std::move(Name), std::move(Value));
  }
  if (I >= Line.size() || Line[I] != u':') return std::nullopt;
  P.Value = Line.substr(I + 1);
  return P;
}

const std::u16string* Parameter(const TProperty& P, std::u16string_view Name) {
  for (const auto& [N, V] : P.Parameters)
    if (N == Name) return &V;
  return nullptr;
}

// A DTSTART or DTEND value: a date, a UTC time ("Z"), or a floating or zoned time (as local).
struct TReadTime {
  TCivil Local;
  bool HasTime = false;
  std::u16string Zone; // the TZID taken as local time
};
std::optional<TReadTime> ReadTime(const TProperty& P) {
  const std::u16string Value = Trimmed(P.Value);
  TReadTime T;
  TCivil C{Digits(Value, 0, 4), Digits(Value, 4, 2), Digits(Value, 6, 2)};
  if (Value.size() < 8 || !ValidDate(C.Year, C.Month, C.Day)) return std::nullopt;
  if (Value.size() == 8) {
    T.Local = C;
    return T;
  }
  C.Hour = Digits(Value, 9, 2);
  C.Minute = Digits(Value, 11, 2);
  C.Second = Digits(Value, 13, 2);
  if (Value.size() < 15 || (Value[8] != u'T' && Value[8] != u't') || C.Hour < 0 || C.Hour > 23 ||
      C.Minute < 0 || C.Minute > 59 || C.Second < 0 || C.Second > 60)
    return std::nullopt;
  if (C.Second == 60) C.Second = 59; // a leap second shown as the second before it
  T.HasTime = true;
  if (Value.size() == 16 && (Value[15] == u'Z' || Value[15] == u'z')) {
    T.Local = UtcToLocal(CivilUtcToTime(C));
  } else if (Value.size() == 15) {
    T.Local = C;
    if (const std::u16string* Zone = Parameter(P, u"TZID")) T.Zone = *Zone;
  } else {
    return std::nullopt;
  }
  return T;
}

void NoteOnce(std::vector<std::u16string>& List, const std::u16string& Name) {
  if (std::find(List.begin(), List.end(), Name) == List.end()) List.push_back(Name);
}

} // namespace

std::u16string FoldContentLine(const std::u16string& Line) {
  const std::string Bytes = Utf16ToUtf8(Line);
  if (Bytes.size() <= 75) return Line;
  std::string Out;
  std::size_t Pos = 0, Room = 75;
  while (Bytes.size() - Pos > Room) {
    std::size_t Cut = Pos + Room;
    while (Cut > Pos && (static_cast<unsigned char>(Bytes[Cut]) & 0xC0) == 0x80)
      --Cut; // never before a continuation byte
    Out.append(Bytes, Pos, Cut - Pos);
    Out += "\r\n ";
    Pos = Cut;
    Room = 74; // the blank that begins a continuation line counts
  }
  Out.append(Bytes, Pos, std::string::npos);
  return Utf8ToUtf16(Out);
}

TRecord EventRecord(const TEventPage& Page) {
  TEventLines Lines = EventLines(Page);
  if (Lines.Refusal) return Refused(std::move(Lines.Refusal));
  std::u16string Out;
  AppendLine(Out, u"BEGIN:VEVENT");
  for (const std::u16string& Line : Lines.Lines)
    AppendLine(Out, Line);
  AppendLine(Out, u"END:VEVENT");
  return MadeRecord(std::move(Out));
}

TRecord CalendarFile(const TEventPage& Page, const std::u16string& Uid, std::time_t Stamp) {
  TEventLines Lines = EventLines(Page);
  if (Lines.Refusal) return Refused(std::move(Lines.Refusal));
  std::u16string Out;
  for (const char16_t* Line :
       {u"BEGIN:VCALENDAR", u"VERSION:2.0", u"PRODID:-//Marbeck//Marbeck//EN", u"BEGIN:VEVENT"})
    AppendLine(Out, Line);
  AppendLine(Out, u"UID:" + EscapeTextValue(Uid));
  AppendLine(Out, u"DTSTAMP:" + UtcValue(Stamp));
  for (const std::u16string& Line : Lines.Lines)
    AppendLine(Out, Line);
  AppendLine(Out, u"END:VEVENT");
  AppendLine(Out, u"END:VCALENDAR");
  return MadeRecord(std::move(Out));
}

std::u16string NewEventUid() {
  std::random_device Random;
  std::u16string Uid = UtcValue(std::time(nullptr));
  Uid += u'-';
  for (int I = 0; I < 4; ++I) {
    const unsigned Word = Random();
    for (int K = 0; K < 8; ++K)
      Uid += static_cast<char16_t>(UpperHexDigit(Word >> (4 * K)));
  }
  return Uid + u"@marbeck";
}

std::optional<TEventRead> ReadEvent(std::u16string_view Text) {
  // RFC 5545 3.1: a line break followed by a blank or a tab continues the line.
  std::vector<std::u16string> Lines(1);
  for (std::size_t I = 0; I < Text.size();) {
    const std::size_t Break = LineBreakLength(Text, I);
    if (Break == 0) {
      Lines.back() += Text[I++];
      continue;
    }
    I += Break;
    if (I < Text.size() && (Text[I] == u' ' || Text[I] == u'\t'))
      ++I;
    else
      Lines.emplace_back();
  }
  TEventRead Read;
  bool Inside = false, Found = false;
  int Nested = 0;
  bool HasEnd = false;
  std::optional<TReadTime> Start, End;
  for (const std::u16string& Line : Lines) {
    const std::optional<TProperty> P = ParseProperty(Line);
    if (!P) continue;
    const std::u16string Value = AsciiUpper(Trimmed(P->Value));
    if (!Inside) {
      if (P->Name == u"BEGIN" && Value == u"VEVENT") Inside = Found = true;
      continue;
    }
    if (P->Name == u"BEGIN") {
      if (Nested++ == 0) NoteOnce(Read.NotKept, Value);
      continue;
    }
    if (P->Name == u"END") {
      if (Nested == 0) break; // END:VEVENT
      --Nested;
      continue;
    }
    if (Nested > 0) continue;
    if (P->Name == u"SUMMARY") {
      Read.Page.Summary = UnescapeText(P->Value);
    } else if (P->Name == u"LOCATION") {
      Read.Page.Location = UnescapeText(P->Value);
    } else if (P->Name == u"DESCRIPTION") {
      Read.Page.Description = UnescapeText(P->Value);
    } else if (P->Name == u"DTSTART") {
      Start = ReadTime(*P);
      if (!Start) NoteOnce(Read.NotKept, u"DTSTART");
    } else if (P->Name == u"DTEND") {
      HasEnd = true;
      End = ReadTime(*P);
      if (!End) NoteOnce(Read.NotKept, u"DTEND");
    } else if (P->Name != u"UID" && P->Name != u"DTSTAMP" && P->Name != u"CREATED" &&
               P->Name != u"LAST-MODIFIED" && P->Name != u"SEQUENCE") {
      NoteOnce(Read.NotKept, P->Name);
    }
  }
  if (!Found) return std::nullopt;
  if (Start) {
    Read.Page.AllDay = !Start->HasTime;
    Read.Page.Start = TypedValue(Start->Local, Start->HasTime);
    if (!Start->Zone.empty()) NoteOnce(Read.NotKept, u"TZID=" + Start->Zone);
  }
  if (End && HasEnd) {
    TCivil Last = End->Local;
    // An all-day event's DTEND is the day after its last day.
    if (Read.Page.AllDay && !End->HasTime) Last = AddDays(Last, -1);
    // An end on the first day (or before it) written by another program is the one day.
    if (Read.Page.AllDay && Start &&
        DaysFromCivil(Last.Year, Last.Month, Last.Day) <
            DaysFromCivil(Start->Local.Year, Start->Local.Month, Start->Local.Day))
      Last = Start->Local;
    Read.Page.End = TypedValue(Last, !Read.Page.AllDay);
    // A one-day event needs no end on the page.
    if (Read.Page.AllDay && Read.Page.End == Read.Page.Start) Read.Page.End.clear();
    if (!End->Zone.empty()) NoteOnce(Read.NotKept, u"TZID=" + End->Zone);
  }
  return Read;
}
