// The shared field list of stored records: what the writer stores the reader gives back, and the readers that
// differ on the same text keep their differences.
#include "framework/fieldlist.h"

#include "tests/framework/pos_test_support.h"

namespace {

using pos_test::PosTest;

struct Record {
  int count = 0;
  int page = 0;
  bool on = false;
  bool numberOn = false;
  double plain = 0.0;
  double decimal = 0.0;
  CString text;
  CFormulaNumber number;
};

template <class V, class R>
void Fields(const V& v, R& r) {
  v.Int("count", r.count);
  v.IntOr("page", r.page, 1);
  v.Flag("on", r.on);
  v.NumberFlag("numberOn", r.numberOn);
  v.Double("plain", r.plain);
  v.Decimal("decimal", r.decimal);
  v.String("text", r.text);
  v.Number("number", r.number);
}

class FieldListTest : public PosTest {
 protected:
  int Element() { return VIDUV_AddChildElement(Root(NewDocument()), "record"); }
};

TEST_F(FieldListTest, WhatIsWrittenIsReadBack) {
  Record written;
  written.count = -7;
  written.page = 0;  // a stored zero is not the fallback
  written.on = true;
  written.numberOn = true;
  written.plain = 0.1;
  written.decimal = -2.5e-3;
  written.text = "Stütze 1";
  written.number = 4.25;
  const int element = Element();
  Fields(FieldWriter(element), written);

  Record read;
  Fields(FieldReader(element), read);
  EXPECT_EQ(read.count, -7);
  EXPECT_EQ(read.page, 0);
  EXPECT_TRUE(read.on);
  EXPECT_TRUE(read.numberOn);
  EXPECT_DOUBLE_EQ(read.plain, 0.1);
  EXPECT_DOUBLE_EQ(read.decimal, -2.5e-3);
  EXPECT_EQ(read.text, "Stütze 1");
  EXPECT_DOUBLE_EQ(read.number.GetValue(), 4.25);
  // flags are stored as 1 and 0
  EXPECT_EQ(CString(VIDUV_GetString(element, "on")), "1");
  EXPECT_EQ(CString(VIDUV_GetString(element, "numberOn")), "1");
}

// Texts a hand-edited file may hold: each reader keeps the reading its records always had.
TEST_F(FieldListTest, ReadersOfTheSameTextDiffer) {
  const int element = Element();
  VIDUV_SetString(element, "on", "0.5");
  VIDUV_SetString(element, "numberOn", "0.5");
  VIDUV_SetString(element, "plain", "2,5");
  VIDUV_SetString(element, "decimal", "2,5");
  Record read;
  read.count = 99;  // an attribute that is missing reads as zero
  Fields(FieldReader(element), read);
  EXPECT_EQ(read.count, 0);
  EXPECT_EQ(read.page, 1) << "a missing attribute with a fallback reads as the fallback";
  EXPECT_FALSE(read.on) << "an integer flag reads the leading 0 of 0.5";
  EXPECT_TRUE(read.numberOn) << "a number flag is set by 0.5";
  EXPECT_DOUBLE_EQ(read.plain, 2.0) << "a plain double stops at the comma";
  EXPECT_DOUBLE_EQ(read.decimal, 2.5) << "a decimal takes the comma";
}

}  // namespace
