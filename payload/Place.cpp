#include "payload/Place.h"

namespace {

bool IsBlank(char16_t C) {
  return C == u' ' || C == u'\t' || C == 0xA0;
}

} // namespace

std::optional<std::u16string> CanonicalDegrees(const std::u16string& Text, int Limit) {
  std::size_t I = 0, End = Text.size();
  while (I < End && IsBlank(Text[I]))
    ++I;
  while (End > I && IsBlank(Text[End - 1]))
    --End;
  bool Negative = false;
  if (I < End && (Text[I] == u'-' || Text[I] == u'+' || Text[I] == 0x2212)) {
    Negative = Text[I] != u'+';
    ++I;
  }
  std::u16string Whole, Fraction;
  bool Mark = false;
  for (; I < End; ++I) {
    const char16_t C = Text[I];
    if (C >= u'0' && C <= u'9') {
      (Mark ? Fraction : Whole) += C;
    } else if ((C == u'.' || C == u',') && !Mark) {
      Mark = true;
    } else {
      return std::nullopt;
    }
  }
  if (Whole.empty() && Fraction.empty()) return std::nullopt;
  while (Whole.size() > 1 && Whole.front() == u'0')
    Whole.erase(0, 1);
  if (Whole.size() > 3) return std::nullopt;
  // Millionths of a degree, rounded half away from zero at the seventh decimal.
  long long Micro = 0;
  for (const char16_t C : Whole)
    Micro = Micro * 10 + (C - u'0');
  bool BeyondLimit = Micro > Limit;
  const bool AtLimit = Micro == Limit;
  for (std::size_t K = 0; K < 6; ++K)
    Micro = Micro * 10 + (K < Fraction.size() ? Fraction[K] - u'0' : 0);
  if (Fraction.size() > 6 && Fraction[6] >= u'5') ++Micro;
  for (const char16_t C : Fraction)
    BeyondLimit = BeyondLimit || (AtLimit && C != u'0');
  if (BeyondLimit) return std::nullopt;

  std::u16string Digits;
  for (long long Rest = Micro / 1000000; Digits.empty() || Rest > 0; Rest /= 10)
    Digits.insert(Digits.begin(), static_cast<char16_t>(u'0' + Rest % 10));
  std::u16string Decimals;
  for (long long Rest = Micro % 1000000, K = 0; K < 6; ++K, Rest /= 10)
    Decimals.insert(Decimals.begin(), static_cast<char16_t>(u'0' + Rest % 10));
  while (!Decimals.empty() && Decimals.back() == u'0')
    Decimals.pop_back();
  std::u16string Out = Negative && Micro != 0 ? u"-" : u"";
  Out += Digits;
  if (!Decimals.empty()) (Out += u'.') += Decimals;
  return Out;
}

TRecord GeoRecord(const TGeoPage& Page) {
  const std::optional<std::u16string> Lat = CanonicalDegrees(Page.Latitude, 90);
  if (!Lat)
    return Refused(Say(Page.Latitude.empty()
                           ? QT_TRANSLATE_NOOP("Messages", "The latitude is empty.")
                           : QT_TRANSLATE_NOOP("Messages", "The latitude must be a number of "
                                                           "degrees from -90 to 90 (north "
                                                           "positive).")));
  const std::optional<std::u16string> Lon = CanonicalDegrees(Page.Longitude, 180);
  if (!Lon)
    return Refused(Say(Page.Longitude.empty()
                           ? QT_TRANSLATE_NOOP("Messages", "The longitude is empty.")
                           : QT_TRANSLATE_NOOP("Messages", "The longitude must be a number of "
                                                           "degrees from -180 to 180 (east "
                                                           "positive).")));
  std::u16string Point = *Lat;
  (Point += u',') += *Lon;
  std::u16string Out = u"geo:";
  Out += Point;
  if (!Page.Label.empty()) {
    Out += u"?q=";
    Out += Point;
    Out += u'(';
    Out += PercentEncode(Page.Label);
    Out += u')';
  }
  return MadeRecord(std::move(Out));
}
