// The Place page: a point on the map as a geo: URI (RFC 5870), with an optional label that map
// apps show. Widget-free; the reader of the record is in PayloadParse.h.
#pragma once

#include "payload/Payload.h"

#include <optional>
#include <string>

// Place page (tab index 7). The coordinates as typed: decimal degrees, "." or "," as the
// decimal mark, a sign where the point is south or west.
struct TGeoPage {
  std::u16string Latitude;
  std::u16string Longitude;
  std::u16string Label;

  bool operator==(const TGeoPage&) const = default;
};

// Degrees as a record writes them: "." as the decimal mark whatever the locale, rounded to at
// most 6 decimals (half away from zero), trailing zeros and a bare "." dropped, the sign kept
// ("-0" is written "0"). Empty optional: Text is no decimal number (an exponent, two marks, a
// letter), or its value lies beyond Limit (90 or 180) in either direction.
std::optional<std::u16string> CanonicalDegrees(const std::u16string& Text, int Limit);

// "geo:LAT,LON", and with a label "geo:LAT,LON?q=LAT,LON(LABEL)", the label percent-encoded as
// UTF-8. Refused: a latitude outside -90...90, a longitude outside -180...180, a field that is
// no number.
TRecord GeoRecord(const TGeoPage& Page);
