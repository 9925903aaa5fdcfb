// Which encoding a code of each kind goes out in: the one rule the window's pages, the single-code
// commands and the batch share. Kept apart from Picture.h so that the window includes no more.
#pragma once

#include "encoder/Mode.h"
#include "payload/PayloadParse.h" // TKind

#include <string>

// The encoding a code of Kind goes out in: plain text as Chosen; a record as RecordEncoding
// gives it, Auto giving UTF-8 beyond ASCII also for a text message and an iCalendar event (UTF-8
// by its standard); a payment record, which declares UTF-8 (charset 1), always in UTF-8.
TQRCodeEncoding KindEncoding(TKind Kind, TQRCodeEncoding Chosen, const std::u16string& Payload);
