#include "payload/Payload.h"

#include <gtest/gtest.h>

namespace {

TEST(PayloadText, HintLinesAreFiveLinesEachEndedByCRLF) {
  EXPECT_EQ(HintText().Text(),
            u"Please type your text here.\r\n"
            u"\r\n"
            u"- Then click button [Generate QR-Code]\r\n"
            u"- Try the code with your smartphone directly on the screen\r\n"
            u"- Finally click on  [Copy to Clipboard] and paste the QR-Code (bitmap) "
            u"where ever you like\r\n");
  EXPECT_TRUE(HintText().Text().starts_with(HintFirstLine().Text()));
}

struct TMailCase {
  TEMailPage Page;
  std::u16string Expected;
};

// Percent-encoding as RFC 6068 asks: subject and body as UTF-8 outside the unreserved set,
// the address only where a character would break the link.
TEST(PayloadText, MailtoLinkIsPercentEncoded) {
  const TMailCase Cases[] = {
      {{}, u"mailto:?subject=&body="},
      {{u"x", u"S", u"Hi\r\nBye"}, u"mailto:x?subject=S&body=Hi%0D%0ABye"},
      {{u"", u"a b&c%d", u""}, u"mailto:?subject=a%20b%26c%25d&body="},
      {{u"", u"Az09-._~", u"=?/#+;,"}, u"mailto:?subject=Az09-._~&body=%3D%3F%2F%23%2B%3B%2C"},
      {{u"", u"caf\u00E9 \u20AC", u"\U0001D11E"},
       u"mailto:?subject=caf%C3%A9%20%E2%82%AC&body=%F0%9D%84%9E"},
      {{u"a b?c&d#e%f+g@x.org", u"", u""}, u"mailto:a%20b%3Fc%26d%23e%25f+g@x.org?subject=&body="},
  };
  for (const TMailCase& C : Cases) {
    EXPECT_EQ(EMailPayload(C.Page), C.Expected);
  }
}

struct TWifiCase {
  TWifiPage Page;
  std::u16string Record;
};

TEST(PayloadText, WifiRecordEscapesSpecialCharactersAndEndsWithCRLF) {
  const TWifiCase Cases[] = {
      {{u"", u"", 0}, u"WIFI:T:WPA;S:;P:;;"},
      {{u"", u"", 1}, u"WIFI:T:WEP;S:;P:;;"},
      {{u"n", u"k", 7}, u"WIFI:T:WEP;S:n;P:k;;"},
      {{u"my;net", u"pw", 0}, u"WIFI:T:WPA;S:my\\;net;P:pw;;"},
      {{u"a;b:c,d\"e\\f", u"\\;:,\"", 0},
       u"WIFI:T:WPA;S:a\\;b\\:c\\,d\\\"e\\\\f;P:\\\\\\;\\:\\,\\\";;"},
      {{u" Caf\u00E9 ", u" ", 0}, u"WIFI:T:WPA;S: Caf\u00E9 ;P: ;;"},
  };
  for (const TWifiCase& C : Cases) {
    EXPECT_EQ(NetworkRecord(C.Page), C.Record);
    EXPECT_EQ(WifiPayload(C.Page), C.Record + u"\r\n");
  }
}

} // namespace
