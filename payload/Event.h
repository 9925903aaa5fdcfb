// The Event page: a calendar event as a bare iCalendar VEVENT (RFC 5545) for the code, and as a
// whole VCALENDAR in an .ics file that calendar programs import. Widget-free.
//
// Times are typed in the local time of this computer (the TZ environment, as the C library reads
// it) and written in UTC with "Z", so that a phone in another time zone shows the same moment;
// read back, they are shown in local time again. An all-day event is written with dates
// (VALUE=DATE); its DTEND is exclusive (RFC 5545 3.6.1): the day after the last day typed.
#pragma once

#include "payload/Payload.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Event page (tab index 8). Start and End as typed: "2026-12-24T18:00" (or a blank for the
// "T", seconds optional), and for an all-day event dates "2026-12-31"; End is the last day then.
struct TEventPage {
  std::u16string Summary;
  std::u16string Start;
  std::u16string End; // may be empty
  bool AllDay = false;
  std::u16string Location;
  std::u16string Description; // line breaks CR LF

  bool operator==(const TEventPage&) const = default;
};

inline constexpr char16_t kCalendarExtension[] = u".ics";

// The record for the code: BEGIN:VEVENT, SUMMARY, DTSTART, DTEND (when there is an end, and
// always for an all-day event), LOCATION and DESCRIPTION when filled, END:VEVENT, every line
// ended by CR LF and folded beyond 75 octets. Text escaped per RFC 5545 3.3.11. Refused: no
// summary, no start, a time or date that is not one ("2026-02-30", "25:00"), an end before the
// start.
TRecord EventRecord(const TEventPage& Page);

// The .ics file: VCALENDAR with VERSION:2.0 and PRODID around the same VEVENT, which also holds
// Uid and the time stamp Stamp (UTC). Refused as EventRecord is.
TRecord CalendarFile(const TEventPage& Page, const std::u16string& Uid, std::time_t Stamp);
// A UID for a new file: the time and random digits, "@marbeck".
std::u16string NewEventUid();

// Lines longer than 75 octets split per RFC 5545 3.1: CR LF and a blank before the next octets,
// never inside a UTF-8 sequence (nor a surrogate pair). Line is one content line, no break.
std::u16string FoldContentLine(const std::u16string& Line);

struct TEventRead {
  TEventPage Page;
  // What the page has no place for: the properties it does not read ("RRULE", "VALARM"), and
  // "TZID=<zone>" when a time named a zone (it is then taken as local time).
  std::vector<std::u16string> NotKept;
};
// The first VEVENT of Text (a bare one or inside a VCALENDAR, from any program): folded lines
// joined, parameters and quoted values understood, text unescaped, times in UTC shown in local
// time, dates as dates (DTEND of an all-day event one day earlier, and no end for an event of
// one day). Empty optional: Text holds no
// BEGIN:VEVENT.
std::optional<TEventRead> ReadEvent(std::u16string_view Text);
