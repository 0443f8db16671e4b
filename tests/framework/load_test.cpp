// Load records and their load-case lists.
#include "framework/load.h"

#include "tests/framework/pos_test_support.h"

namespace {

using pos_test::PosTest;

struct ParseCase {
  const char* text;
  std::vector<int> numbers;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class LoadCaseListParse : public testing::TestWithParam<ParseCase> {};

TEST_P(LoadCaseListParse, TextGivesTheNumbers) {
  CLoadCaseList list;
  list.numbers.Add(99);  // emptied first
  list.text = GetParam().text;
  list.Parse();
  std::vector<int> numbers(list.numbers.begin(), list.numbers.end());
  EXPECT_EQ(numbers, GetParam().numbers);
}

INSTANTIATE_TEST_SUITE_P(Texts, LoadCaseListParse,
                         testing::Values(ParseCase{"1,2,5", {1, 2, 5}}, ParseCase{"3 , 4", {3, 4}},
                                         ParseCase{"7,", {7}}, ParseCase{"1,,2", {1, 0, 2}}, ParseCase{"abc", {0}},
                                         ParseCase{"", {}}, ParseCase{" -3,+4x, 12", {-3, 4, 12}},
                                         ParseCase{"99999999999", {2147483647}}));

TEST(LoadCaseList, FormatJoinsWithCommas) {
  CLoadCaseList list;
  list.Format();
  EXPECT_EQ(list.text, "");
  list.text = "1,2,5";
  list.Parse();
  list.text = "stale";
  list.Format();
  EXPECT_EQ(list.text, "1,2,5");
  list.numbers.RemoveAll();
  list.numbers.Add(-4);
  list.Format();
  EXPECT_EQ(list.text, "-4");
}

TEST(LoadTexts, TablesOfTypesAndDirections) {
  EXPECT_EQ(Load::GetLoadTypeText(0), "Gleichlast");
  EXPECT_EQ(Load::GetLoadTypeText(8), "Einzellast");
  EXPECT_EQ(Load::GetLoadTypeText(12), "Flächenlast");
  EXPECT_EQ(Load::GetLoadTypeText(13), "Linienlast/Moment");
  EXPECT_EQ(Load::GetLoadTypeText(14), "");
  EXPECT_EQ(Load::GetLoadTypeText(-1), "");
  EXPECT_EQ(Load::GetDirectionText(0), "X-Richtung");
  EXPECT_EQ(Load::GetDirectionText(2), "Z-Richtung");
  EXPECT_EQ(Load::GetDirectionText(3), "");
}

// A load with every field away from its default; val2 an expression over q (q = 4: val2 = 2*q+1 = 9).
Load FullLoad(CVariableStore& store) {
  Load load;
  load.lc = 3;
  load.ltype = 10;
  load.node = 2;
  load.direction = 1;
  load.bHasDirection = 1;
  load.offset = 0.5;
  load.length = 2.25;
  load.ey = -0.1;
  load.ez = 0.05;
  load.val0 = 10.0;
  load.val1 = -20.0;
  load.val2.m_bNumber = FALSE;
  load.val2.m_strText = "2*q+1";
  load.val3 = 1e-3;
  load.val4 = 4.0;
  load.val5 = 5.5;
  load.LCGen.text = "1,3";
  load.LCGen.Parse();
  load.desc = "Wind aus Westen";
  load.SetVariableStore(&store);
  return load;
}

class LoadXml : public PosTest {
 protected:
  void SetUp() override {
    PosTest::SetUp();
    store.SetVariable("q", "Last", "kN", 4.0);
  }
  CVariableStore store;
};

TEST_F(LoadXml, EveryFieldRoundTrips) {
  Load load = FullLoad(store);
  int first = VIDUV_AddChildElement(Root(NewDocument()), "load");
  load.WriteData(first);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(first, "val2"), 9.0);  // the current value beside the expression
  EXPECT_STREQ(VIDUV_GetString(VIDUV_FindFirstChild(first, "val2"), "exp"), "2*q+1");

  Load copy;
  copy.ReadData(first);
  copy.SetVariableStore(&store);  // as the position binds its loads before writing
  int second = VIDUV_AddChildElement(Root(NewDocument("b.tqx")), "load");
  copy.WriteData(second);
  EXPECT_EQ(Fingerprint(first), Fingerprint(second));

  EXPECT_EQ(copy.lc, 3);
  EXPECT_EQ(copy.ltype, 10);
  EXPECT_EQ(copy.node, 2);
  EXPECT_EQ(copy.direction, 1);
  EXPECT_EQ(copy.bHasDirection, 1);
  EXPECT_EQ(copy.desc, "Wind aus Westen");
  EXPECT_EQ(copy.LCGen.text, "1,3");
  ASSERT_EQ(copy.LCGen.numbers.GetSize(), 2);
  EXPECT_EQ(copy.LCGen.numbers[1], 3);
  EXPECT_DOUBLE_EQ(copy.offset.GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(copy.length.GetValue(), 2.25);
  EXPECT_DOUBLE_EQ(copy.ey.GetValue(), -0.1);
  EXPECT_DOUBLE_EQ(copy.val3.GetValue(), 1e-3);
  EXPECT_DOUBLE_EQ(copy.val5.GetValue(), 5.5);
  EXPECT_FALSE(copy.val2.m_bNumber);
  EXPECT_EQ(copy.val2.m_strText, "2*q+1");
  EXPECT_DOUBLE_EQ(copy.val2.GetValue(), 9.0);
}

TEST_F(LoadXml, MissingAttributesReadAsDefaults) {
  Load load = FullLoad(store);
  load.ReadData(Root(NewDocument()));
  EXPECT_EQ(load.lc, 0);
  EXPECT_EQ(load.desc, "");
  EXPECT_EQ(load.LCGen.numbers.GetSize(), 0);
  EXPECT_TRUE(load.val2.m_bNumber);
  EXPECT_DOUBLE_EQ(load.val2.GetValue(), 0.0);
}

TEST_F(LoadXml, VariableStoreFollowsItsVariables) {
  Load load = FullLoad(store);
  for (CFormulaNumber* n : {&load.offset, &load.length, &load.ey, &load.ez, &load.val0, &load.val1, &load.val2,
                            &load.val3, &load.val4, &load.val5})
    EXPECT_EQ(n->m_pStore, &store);
  store.SetVariable("q", "Last", "kN", 10.0);
  EXPECT_DOUBLE_EQ(load.val2.GetValue(), 21.0);
}

TEST_F(LoadXml, AssignmentCopiesEveryFieldWithExpressions) {
  Load source = FullLoad(store);
  Load target;
  target = source;
  EXPECT_EQ(target.lc, 3);
  EXPECT_EQ(target.LCGen.numbers.GetSize(), 2);
  EXPECT_EQ(target.desc, source.desc);
  EXPECT_EQ(target.val2.m_strText, "2*q+1");
  EXPECT_EQ(target.val2.m_pStore, &store);
  EXPECT_DOUBLE_EQ(target.val2.GetValue(), 9.0);
  EXPECT_DOUBLE_EQ(target.ez.GetValue(), 0.05);
}

}  // namespace
