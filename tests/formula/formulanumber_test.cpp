#include "formula/formulanumber.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formula_test_support.h"
#include "platform/viduv/viduv.h"

namespace {

class FormulaNumberTest : public testing::Test {
 protected:
  void SetUp() override {
    store_.SetVariable("Pos\\a", "", "", 2);
    store_.SetVariable("one", "", "", 1);
    store_.SetVariable("zero", "", "", 0);
    store_.SetVariable("two", "", "", 2);
  }
  CFormulaNumber Number(const char* text) {
    CFormulaNumber n;
    n.m_pStore = &store_;
    n = text;
    return n;
  }

  formula_test::PrivateRegistry registry_;
  CVariableStore store_;
};

TEST_F(FormulaNumberTest, TextBecomesPlainNumberOrExpression) {
  struct Case {
    const char* input;
    bool plain;
    const char* text;  // GetText afterwards
    double value;      // GetValue afterwards
  } cases[] = {
      {"2,5", true, "2.5", 2.5},
      {"  7", true, "7", 7},
      {"-3.5", true, "-3.5", -3.5},
      {"620", true, "620", 620},
      {"2/0", false, "2/0", 0},            // fails: an expression that has no value yet
      {"3+x", false, "3+x", 0},            // x undefined: no value, not 3
      {"2,5*a", false, "2,5*a", 5},        // kept as entered
      {"2,5*one", false, "2,5*one", 2.5},  // equal to its leading number, still the formula typed
      {"620 + zero", false, "620 + zero", 620},
      {"1/(two-1)", false, "1/(two-1)", 1},
      {"2.500,5", false, "2.500,5", 0},  // no number, and no formula either
      {"a*2", false, "a*2", 4},
      {"max(a;3)", false, "max(a;3)", 3},
      {"h*2", false, "h*2", 0},  // h undefined
      {"1e-3", true, "0.001", 0.001},
      {"2*1e-3", false, "2*1e-3", 0.002},  // the exponent stays whole
      {"0x10", false, "0x10", 0},          // no hexadecimal numbers: 0, then text that fails
      {"nan", false, "nan", 0},            // a name, not a number
      {"", false, "", 0},
  };
  for (const auto& c : cases) {
    CFormulaNumber n = Number(c.input);
    EXPECT_EQ(bool(n.m_bNumber), c.plain) << c.input;
    EXPECT_EQ(n.GetValue(), c.value) << c.input;
    EXPECT_EQ(n.GetText(), c.text) << c.input;
    EXPECT_EQ(n.m_pStore, &store_) << c.input;
  }
}

TEST_F(FormulaNumberTest, ExpressionFollowsItsVariablesAndKeepsTheLastGoodValue) {
  CFormulaNumber n = Number("a*3");
  EXPECT_EQ(n.GetValue(), 6);
  store_.SetVariable("a", "", "", 4);
  EXPECT_EQ(n.GetValue(), 12);
  n = "a/d";  // d undefined: a division by zero
  EXPECT_FALSE(n.m_bNumber);
  EXPECT_EQ(n.GetValue(), 0);  // never evaluated successfully
  EXPECT_EQ(store_.m_Messages.GetSize(), 2);
  store_.SetVariable("d", "", "", 8);
  EXPECT_EQ(n.GetValue(), 0.5);
  store_.SetVariable("d", "", "", 0);
  EXPECT_EQ(n.GetValue(), 0.5);  // the last good value
  ASSERT_EQ(store_.m_Messages.GetSize(), 1);
  EXPECT_EQ(store_.m_Messages[0].m_nCode, 64);
  // A name that no longer has a value is no 0 either: the value stays, and the message names the name.
  CFormulaNumber m = Number("a*3");
  EXPECT_EQ(m.GetValue(), 12);
  store_.RemoveAll();
  EXPECT_EQ(m.GetValue(), 12);
  EXPECT_EQ(store_.UndefinedReadMessage(), "'a' nicht definiert");
  // Nor is the number a failed definition stands in with: a = 1/0 read as its leading 1 would give 3.
  store_.SetVariable("a", "", "", 1);
  store_.SetFailed("a", "a = 1/0: Division durch Null.");
  EXPECT_EQ(m.GetValue(), 12);
  EXPECT_EQ(store_.FailedReadMessage(), "a = 1/0: Division durch Null.");
  store_.SetVariable("a", "", "", 2);
  EXPECT_EQ(m.GetValue(), 6);
}

TEST_F(FormulaNumberTest, UndefinedNameLeavesItsMessage) {
  CFormulaNumber n = Number("h*2");
  EXPECT_EQ(n.GetValue(), 0);
  ASSERT_EQ(store_.m_Messages.GetSize(), 1);
  EXPECT_EQ(store_.m_Messages[0].m_nCode, 32);
  EXPECT_EQ(store_.m_Messages[0].m_strText, "'h' nicht definiert");
}

TEST_F(FormulaNumberTest, ConstructionCopyAndNumericAssignment) {
  CFormulaNumber zero;
  EXPECT_TRUE(zero.m_bNumber);
  EXPECT_EQ(zero.m_dValue, 0);
  EXPECT_EQ(zero.m_pStore, &GetGlobalVariableStore());
  EXPECT_EQ(CFormulaNumber(2.5).GetValue(), 2.5);

  CFormulaNumber e = Number("a+1");
  CFormulaNumber copy(e);
  EXPECT_FALSE(copy.m_bNumber);
  EXPECT_EQ(copy.m_strText, "a+1");
  EXPECT_EQ(copy.m_pStore, &store_);
  EXPECT_EQ(copy.GetValue(), 3);

  copy = 4.5;
  EXPECT_TRUE(copy.m_bNumber);
  EXPECT_TRUE(copy.m_strText.IsEmpty());
  EXPECT_EQ(copy.m_pStore, &store_);  // numbers keep the store
  copy = 7;
  EXPECT_EQ(copy.GetValue(), 7.0);
  e.Reset();
  EXPECT_TRUE(e.m_bNumber);
  EXPECT_EQ(e.m_dValue, 0);
  EXPECT_EQ(e.m_pStore, &store_);
}

TEST_F(FormulaNumberTest, WithoutStoreTheNumberReadStands) {
  CFormulaNumber n;
  n.m_pStore = nullptr;
  n = "2,5*a";
  EXPECT_FALSE(n.m_bNumber);  // the formula is kept, though nothing can give it a value
  EXPECT_EQ(n.GetValue(), 0);
  n = "2,5";
  EXPECT_TRUE(n.m_bNumber);
  EXPECT_EQ(n.GetValue(), 2.5);
  n = "a*2";
  EXPECT_FALSE(n.m_bNumber);
  EXPECT_EQ(n.GetValue(), 0);  // nothing to evaluate against
}

TEST_F(FormulaNumberTest, ArithmeticAndComparisons) {
  CFormulaNumber x = Number("a*5");  // 10
  CFormulaNumber y = Number("a+1");  // 3, once read
  EXPECT_EQ(y.m_dValue, 0);          // entered, not yet read
  EXPECT_EQ(y.GetValue(), 3);
  EXPECT_EQ(x + y, 13);
  EXPECT_EQ(x - y, 7);
  EXPECT_EQ(x + 1.0, 11);
  EXPECT_EQ(x - 1.0, 9);
  EXPECT_EQ(x * 2.0, 20);
  EXPECT_EQ(x / 4.0, 2.5);
  EXPECT_TRUE(x != 9.0);
  EXPECT_FALSE(x != 10.0);
  EXPECT_TRUE(x > 9.5);
  EXPECT_TRUE(x < 10.5);
  EXPECT_TRUE(x >= 10.0);
  EXPECT_TRUE(x < 11);

  // Against another formula number, this one is evaluated and the other's cached value is used.
  store_.SetVariable("a", "", "", 1);  // x is now 5 and y 2, but y still caches 3
  EXPECT_TRUE(x > y);
  EXPECT_FALSE(x < y);
  store_.SetVariable("a", "", "", 0.5);  // x = 2.5 < 3 = y's cache
  EXPECT_TRUE(x < y);
  EXPECT_TRUE(x <= y);
  EXPECT_FALSE(x >= y);
  EXPECT_EQ(y.m_dValue, 3);  // untouched by all of this

  x *= 4.0;  // 2.5 * 4, and the expression is given up
  EXPECT_TRUE(x.m_bNumber);
  EXPECT_EQ(x.GetValue(), 10);
  store_.SetVariable("a", "", "", 100);
  EXPECT_EQ(x.GetValue(), 10);
}

class FormulaNumberXmlTest : public FormulaNumberTest {
 protected:
  void SetUp() override {
    FormulaNumberTest::SetUp();
    doc_ = VIDUV_CreateDoc("input");
    ASSERT_NE(doc_, 0);
    root_ = VIDUV_GetRootElement(doc_);
  }
  void TearDown() override { VIDUV_CloseDoc(doc_); }
  int ChildCount(const char* name) {
    int n = 0;
    for (int c = VIDUV_FindFirstChild(root_, name); c; c = VIDUV_FindNextChild(c, name)) ++n;
    return n;
  }

  int doc_ = 0;
  int root_ = 0;
};

TEST_F(FormulaNumberXmlTest, PlainNumberIsAnAttributeOnly) {
  CFormulaNumber n = Number("0,1");
  n.WriteXML(root_, "dH");
  EXPECT_EQ(VIDUV_GetDouble(root_, "dH"), 0.1);
  EXPECT_EQ(ChildCount("dH"), 0);
  CFormulaNumber back = GetXmlFormulaNumber(root_, "dH");
  EXPECT_TRUE(back.m_bNumber);
  EXPECT_EQ(back.GetValue(), 0.1);
  EXPECT_EQ(back.m_pStore, &GetGlobalVariableStore());
}

TEST_F(FormulaNumberXmlTest, ExpressionGetsAChildWithItsText) {
  CFormulaNumber n = Number("2,5*a");
  SetXmlFormulaNumber(root_, "b", n);
  EXPECT_EQ(n.m_strText, "2.5*a");  // the writer's change stays in the object
  EXPECT_EQ(VIDUV_GetDouble(root_, "b"), 5.0);
  ASSERT_EQ(ChildCount("b"), 1);
  EXPECT_STREQ(VIDUV_GetString(VIDUV_FindFirstChild(root_, "b"), "exp"), "2.5*a");

  // Read back: the text and the value at writing time, until the next read evaluates.
  CFormulaNumber back;
  back.m_pStore = &store_;
  back.ReadXML(root_, "b");
  EXPECT_FALSE(back.m_bNumber);
  EXPECT_EQ(back.m_strText, "2.5*a");
  EXPECT_EQ(back.m_dValue, 5.0);
  EXPECT_EQ(back.m_pStore, &store_);
  store_.SetVariable("a", "", "", 4);
  EXPECT_EQ(back.GetValue(), 10.0);
}

TEST_F(FormulaNumberXmlTest, RewritingReplacesEveryOldChild) {
  int extra = VIDUV_AddChildElement(root_, "h");
  VIDUV_SetString(extra, "exp", "stale");
  CFormulaNumber e = Number("a*2");
  e.WriteXML(root_, "h");
  e.WriteXML(root_, "h");
  EXPECT_EQ(ChildCount("h"), 1);
  EXPECT_STREQ(VIDUV_GetString(VIDUV_FindFirstChild(root_, "h"), "exp"), "a*2");

  CFormulaNumber plain = Number("3");
  VIDUV_AddChildElement(root_, "h");
  plain.WriteXML(root_, "h");
  EXPECT_EQ(ChildCount("h"), 0);
  EXPECT_EQ(VIDUV_GetDouble(root_, "h"), 3.0);
  EXPECT_TRUE(GetXmlFormulaNumber(root_, "h").m_bNumber);
}

// A formula that happens to give its leading number is saved as the formula and follows its variable after reading.
TEST_F(FormulaNumberXmlTest, FormulaEqualToItsLeadingNumberSurvivesSaving) {
  const struct {
    const char* typed;
    const char* exp;  // what the file holds
    const char* variable;
    double before, changed, after;  // after = the formula worked by hand with the variable changed
  } cases[] = {
      {"620 + zuschlag", "620 + zuschlag", "zuschlag", 0, 50, 670},
      {"1/(qk-1)", "1/(qk-1)", "qk", 2, 3, 0.5},
      {"2,5*f", "2.5*f", "f", 1, 4, 10},
  };
  for (const auto& c : cases) {
    store_.SetVariable(c.variable, "", "", c.before);
    CFormulaNumber n = Number(c.typed);
    n.WriteXML(root_, "q");
    ASSERT_EQ(ChildCount("q"), 1) << c.typed;
    EXPECT_STREQ(VIDUV_GetString(VIDUV_FindFirstChild(root_, "q"), "exp"), c.exp);
    CFormulaNumber back;
    back.m_pStore = &store_;
    back.ReadXML(root_, "q");
    EXPECT_FALSE(back.m_bNumber) << c.typed;
    store_.SetVariable(c.variable, "", "", c.changed);
    EXPECT_DOUBLE_EQ(back.GetValue(), c.after) << c.typed;
  }
}

// What a file holds is read as it is: a plain attribute stays a number, a stored formula stays a formula even
// where it is one number or gives its leading number.
TEST_F(FormulaNumberXmlTest, StoredValuesAreReadAsTheyAre) {
  const struct {
    const char* value;
    const char* exp;  // nullptr: no child
    bool plain;
    double read;
  } cases[] = {
      {"620", nullptr, true, 620},
      {"620", "620+one-1", false, 620},
      {"620", "620", false, 620},
      {"2.5", nullptr, true, 2.5},
  };
  for (const auto& c : cases) {
    int doc = VIDUV_CreateDoc("input");
    int root = VIDUV_GetRootElement(doc);
    VIDUV_SetString(root, "p", c.value);
    if (c.exp) VIDUV_SetString(VIDUV_AddChildElement(root, "p"), "exp", c.exp);
    CFormulaNumber n;
    n.m_pStore = &store_;
    n.ReadXML(root, "p");
    EXPECT_EQ(bool(n.m_bNumber), c.plain) << c.value << " " << (c.exp ? c.exp : "");
    if (c.exp) {
      EXPECT_EQ(n.m_strText, c.exp);
    }
    EXPECT_EQ(n.GetValue(), c.read);
    VIDUV_CloseDoc(doc);
  }
}

TEST_F(FormulaNumberXmlTest, ReaderTakesCommasAsArgumentSeparators) {
  VIDUV_SetDouble(root_, "m", 1.5);
  VIDUV_SetString(VIDUV_AddChildElement(root_, "m"), "exp", "max(a,b)");
  CFormulaNumber n = GetXmlFormulaNumber(root_, "m");
  EXPECT_FALSE(n.m_bNumber);
  EXPECT_EQ(n.m_strText, "max(a;b)");
  EXPECT_EQ(n.m_dValue, 1.5);
}

TEST(NumberText, OnlyWholeNumbersAreNumbers) {
  const struct {
    const char* text;
    bool decimal;
    double value;
    bool integer;
    int whole;
  } cases[] = {
      {"4,5", true, 4.5, false, 0},
      {"4.5", true, 4.5, false, 0},
      {"12", true, 12.0, true, 12},
      {" +7 ", true, 7.0, true, 7},
      {"-3", true, -3.0, true, -3},
      {",5", true, 0.5, false, 0},
      {"2e-3", true, 0.002, false, 0},
      {"abc", false, 0, false, 0},
      {"35cm", false, 0, false, 0},
      {"", false, 0, false, 0},
      {"1.000,5", false, 0, false, 0},
      {"4,5,6", false, 0, false, 0},
      {"1e400", false, 0, false, 0},
      {"nan", false, 0, false, 0},
      {"inf", false, 0, false, 0},
      {"0x10", false, 0, false, 0},
      {"2e", false, 0, false, 0},
      {".", false, 0, false, 0},
      {"2147483647", true, 2147483647.0, true, 2147483647},
      // one beyond the int range: a decimal, but no whole number of the file
      {"2147483648", true, 2147483648.0, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    double d = -99.0;
    EXPECT_EQ(ReadDecimalText(c.text, d), c.decimal);
    if (c.decimal) {
      EXPECT_EQ(d, c.value);
    }
    int i = -99;
    EXPECT_EQ(ReadIntegerText(c.text, i), c.integer);
    if (c.integer) {
      EXPECT_EQ(i, c.whole);
    }
  }
}

TEST_F(FormulaNumberXmlTest, MissingAttributeReadsAsPlainZero) {
  CFormulaNumber n = Number("a*2");
  n.ReadXML(root_, "fehlt");
  EXPECT_TRUE(n.m_bNumber);
  EXPECT_TRUE(n.m_strText.IsEmpty());
  EXPECT_EQ(n.m_dValue, 0);
}

TEST_F(FormulaNumberXmlTest, RoundTripThroughAFile) {
  const auto path = (std::filesystem::path(testing::TempDir()) / "formula-roundtrip.tqx").string();
  store_.SetVariable("a", "", "", 1.0 / 3);
  CFormulaNumber plain = Number("0,3");
  CFormulaNumber expression = Number("a*3+0,1");
  CFormulaNumber tiny = Number("1e-300");
  plain.WriteXML(root_, "p");
  expression.WriteXML(root_, "q");
  tiny.WriteXML(root_, "t");
  ASSERT_EQ(VIDUV_SaveDocAs(doc_, path.c_str()), 1);

  int doc = VIDUV_OpenDoc(path.c_str());
  ASSERT_NE(doc, 0);
  int root = VIDUV_GetRootElement(doc);
  CFormulaNumber p = GetXmlFormulaNumber(root, "p");
  CFormulaNumber q = GetXmlFormulaNumber(root, "q");
  CFormulaNumber t = GetXmlFormulaNumber(root, "t");
  VIDUV_CloseDoc(doc);
  std::filesystem::remove(path);

  EXPECT_TRUE(p.m_bNumber);
  EXPECT_EQ(p.m_dValue, 0.3);  // bit for bit
  EXPECT_TRUE(t.m_bNumber);
  EXPECT_EQ(t.m_dValue, 1e-300);
  EXPECT_FALSE(q.m_bNumber);
  EXPECT_EQ(q.m_strText, "a*3+0.1");
  EXPECT_EQ(q.m_dValue, (1.0 / 3) * 3 + 0.1);
}

}  // namespace

namespace {

// Why a formula has no value, in the words its cell shows: a name whose definition failed before a name defined
// nowhere, then the formula's own failure; nothing for a plain number or a formula with a value.
TEST_F(FormulaNumberTest, WhyNoValueSaysItAsTheCellDoes) {
  store_.SetVariable("f", "", "", 1);
  store_.SetFailed("f", "f = 1/0: Division durch Null.");
  const struct {
    const char* text;
    bool plain;
    std::string why;
  } cases[] = {
      {"2,5", true, ""},
      {"a*3", false, ""},
      {"f*3", false, "'f' hat keinen Wert: f = 1/0: Division durch Null."},
      {"zz+f", false, "'f' hat keinen Wert: f = 1/0: Division durch Null."},
      {"zz*2", false, "'zz' nicht definiert"},
      {"a/0", false, "Division durch Null."},
      {"a*1e308*10", false, "Ergebnis inf ist keine endliche Zahl."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    CFormulaNumber n = Number(c.text);
    if (!c.plain) {  // a text that fails keeps its leading number as a plain one: it is held as read from a file
      n.m_bNumber = FALSE;
      n.m_strText = c.text;
    }
    EXPECT_EQ(n.WhyNoValue().str(), c.why);
  }
}

}  // namespace
