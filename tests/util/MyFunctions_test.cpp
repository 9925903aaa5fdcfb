#include "util/MyFunctions.h"

#include <gtest/gtest.h>

TEST(CountChar, CountsExactCodeUnits) {
  EXPECT_EQ(CountChar(u';', u""), 0);
  EXPECT_EQ(CountChar(u';', u";a;;b;"), 4);
  EXPECT_EQ(CountChar(u'a', u"aAa"), 2);                        // no case folding
  EXPECT_EQ(CountChar(u'\xD83D', u"\U0001F600x\U0001F600"), 2); // code units, not code points
}

struct TFieldCase {
  std::u16string Text;
  int Index;
  std::u16string Field;
};

TEST(ExtractField, Table) {
  const TFieldCase Cases[] = {
      {u"a;b;c", 0, u"a"},
      {u"a;b;c", 1, u"b"},
      {u"a;b;c", 2, u"c"}, // after the last separator: the last field
      {u"a;b;c", 3, u""},  // beyond the last field
      {u"abc", 0, u"abc"}, // no separator: the single field 0
      {u"abc", 1, u""},
      {u"", 0, u""},
      {u";;", 1, u""}, // empty fields
      {u"a;", 1, u""},
      {u";x", 0, u""},
      {u"Main St;Town;Region;12345;Country", 3, u"12345"},
      {u"Doe;John;Q;;", 2, u"Q"},
      {u"a;b", -1, u"a"}, // no field is skipped for a negative index
  };
  for (const TFieldCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << "index " << C.Index << " of text length " << C.Text.size());
    EXPECT_EQ(ExtractField(C.Text, u';', C.Index), C.Field);
  }
  EXPECT_EQ(ExtractField(u"k=v,w", u',', 1), u"w"); // any separator
}
