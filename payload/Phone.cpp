#include "payload/Phone.h"

#include "platform/TextFile.h"

namespace {

bool IsBlank(char16_t C) {
  return C == u' ' || C == u'\t' || C == 0xA0 || C == 0x202F;
}

} // namespace

std::u16string CompactPhoneNumber(const std::u16string& Number) {
  std::u16string Out;
  for (const char16_t C : Number)
    if (!IsBlank(C)) Out += C;
  return Out;
}

TMessage PhoneNumberRefusal(const std::u16string& Number) {
  const std::u16string Compact = CompactPhoneNumber(Number);
  if (Compact.empty()) return Say(QT_TRANSLATE_NOOP("Messages", "The phone number is empty."));
  bool Digit = false;
  for (std::size_t I = 0; I < Compact.size(); ++I) {
    const char16_t C = Compact[I];
    if (C >= u'0' && C <= u'9') {
      Digit = true;
      continue;
    }
    if (C == u'+' && I == 0) continue;
    if (C == u'-' || C == u'.' || C == u'(' || C == u')' || C == u'*' || C == u'#') continue;
    if ((C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z'))
      return Say(QT_TRANSLATE_NOOP("Messages", "The phone number holds a letter: only digits, a "
                                               "leading + and - . ( ) * # can be dialled."));
    return Say(QT_TRANSLATE_NOOP("Messages",
                                 "The phone number holds a character that cannot be dialled: only "
                                 "digits, a leading + and - . ( ) * # can."));
  }
  if (!Digit) return Say(QT_TRANSLATE_NOOP("Messages", "The phone number holds no digit."));
  return {};
}

TRecord PhoneRecord(const TPhonePage& Page) {
  if (TMessage Why = PhoneNumberRefusal(Page.Number)) return Refused(std::move(Why));
  std::u16string Out = u"tel:";
  for (const char16_t C : CompactPhoneNumber(Page.Number)) {
    if (C == u'#')
      Out += u"%23";
    else
      Out += C;
  }
  return MadeRecord(std::move(Out));
}

TRecord SmsRecord(const TSmsPage& Page) {
  if (TMessage Why = PhoneNumberRefusal(Page.Number)) return Refused(std::move(Why));
  std::u16string Out = u"SMSTO:";
  Out += CompactPhoneNumber(Page.Number);
  Out += u':';
  Out += ReplaceLineBreaks(Page.Message, u"\n");
  return MadeRecord(std::move(Out));
}
