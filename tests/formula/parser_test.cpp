#include "formula/formulaparser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "formula/varstore.h"
#include "formula_test_support.h"

namespace {

using formula_test::Evaluate;
using formula_test::Outcome;

class ParserTest : public testing::Test {
 protected:
  formula_test::PrivateRegistry registry_;  // radians: no angle unit set
  CVariableStore store_;
};

struct ValueCase {
  const char* text;
  double expected;
  std::vector<int> codes;  // messages left by a successful evaluation
};

TEST_F(ParserTest, ArithmeticPrecedenceAndGrouping) {
  const ValueCase cases[] = {
      {"2+3*4", 14, {}},
      {"(2+3)*4", 20, {}},
      {"7-2-1", 4, {}},  // left to right
      {"8/2/2", 2, {}},
      {"2^3^2", 64, {}},  // (2^3)^2, powers group from the left
      {"-2^2", -4, {}},   // minus binds weaker than the power
      {"2*-3", -6, {}},
      {"2--2", 4, {}},
      {"- -2", 2, {}},
      {"((1))", 1, {}},
      {"4;5", 5, {}},  // a statement list has the value of its last statement
      {"2 * (3; 4)", 8, {}},
      {"  1  +\t2 ", 3, {}},
      {"3,5", 3.5, {}},      // decimal comma
      {".5+2*.5", 1.5, {}},  // bare decimal points
      {"2*pi", 6.283185307179586, {}},
      {"e", 2.718281828459045, {}},
  };
  for (const auto& c : cases) {
    Outcome out = Evaluate(store_, c.text);
    EXPECT_TRUE(out.ok) << c.text;
    EXPECT_DOUBLE_EQ(out.value, c.expected) << c.text;
    EXPECT_EQ(out.codes, c.codes) << c.text;
  }
}

TEST_F(ParserTest, ComparisonsAndLogicYieldOneOrZero) {
  const ValueCase cases[] = {
      {"5 > 3 == 1", 1, {}},
      {"2 || 0 && 0", 0, {}},  // (2||0)&&0: equal precedence, from the left
      {"0 && 1 || 1", 1, {}},
      {"1<2<3", 1, {}},  // (1<2)<3
      {"3>2>1", 0, {}},  // (3>2)>1 is 1>1
      {"2 <= 2", 1, {}},
      {"2 >= 3", 0, {}},
      {"1 != 1", 0, {}},
      {"0.1+0.2 == 0.3", 0, {}},  // exact comparison of doubles
      {"!0", 1, {}},
      {"!5", 0, {}},
      {"!!7", 1, {}},
      {"!a^2", 1, {32}},  // (!a)^2 with a undefined (0)
      {".TRUE..AND..FALSE.", 0, {}},
      {".true..or..false.", 1, {}},
      {"2 .GT. 1 .AND. 1 .LE. 1", 1, {}},
      {"1 .eq. 1", 1, {}},
      {"3 .NE. 3", 0, {}},
      {"2 .lt. 1 .OR. 2 .ge. 2", 1, {}},
  };
  for (const auto& c : cases) {
    Outcome out = Evaluate(store_, c.text);
    EXPECT_TRUE(out.ok) << c.text;
    EXPECT_EQ(out.value, c.expected) << c.text;
    EXPECT_EQ(out.codes, c.codes) << c.text;
  }
}

TEST_F(ParserTest, AssignmentsChangeOnlyTheEvaluation) {
  store_.SetVariable("a", "", "", 10);
  const ValueCase cases[] = {
      {"a = 2; b = a*3; a+b", 8, {32}},  // b is new; a is the store's, overwritten locally
      {"c = 2; d = c*3; c+d", 8, {32, 32}},
      {"a += 5", 15, {}},
      {"a -= 5", 5, {}},
      {"a *= 3", 30, {}},
      {"a /= 4", 2.5, {}},
      {"x=5; x+=2; x*=3; x-=1; x/=4", 5, {32}},  // ((5+2)*3-1)/4
      {"y", 0, {32}},                            // undefined names count as 0
      {"y + y", 0, {32}},                        // and are noted once
      {"z = 1 + (z = 2)", 3, {32}},
      {"w-=2", -2, {32}},  // "-=" and "+=" stay whole when the text is prepared
      {"a+=1; a-=4", 7, {}},
  };
  for (const auto& c : cases) {
    Outcome out = Evaluate(store_, c.text);
    EXPECT_TRUE(out.ok) << c.text;
    EXPECT_EQ(out.value, c.expected) << c.text;
    EXPECT_EQ(out.codes, c.codes) << c.text;
  }
  // No evaluation wrote back into the store.
  EXPECT_EQ(Evaluate(store_, "a").value, 10);
  EXPECT_EQ(Evaluate(store_, "b").codes, std::vector<int>{32});
}

TEST_F(ParserTest, UndefinedNameMessageNamesTheName) {
  Outcome out = Evaluate(store_, "hoehe*2");
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.value, 0);
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_EQ(out.texts[0], "'hoehe' nicht definiert");
}

// A helper name that the formula assigns before it reads it is the formula's own; a name read while it has no value
// is taken as 0 and is named, once, in the order read. The notes of code 32 stay as they were.
TEST_F(ParserTest, OnlyNamesReadWhileUndefinedAreUndefinedReads) {
  store_.SetVariable("h", "", "", 4);
  struct Case {
    const char* text;
    double expected;
    std::vector<std::string> reads;
    std::vector<int> codes;
  };
  const Case cases[] = {
      {"a=2; a*3", 6, {}, {32}},
      {"l=9; l/2", 4.5, {}, {32}},
      {"x=5; x+=2; x*=3", 21, {}, {32}},
      {"z = 1 + (z = 2)", 3, {}, {32}},  // the inner assignment comes before the outer reads nothing
      {"max(k=3; k)", 3, {}, {32}},
      {"h=2; h*h", 4, {}, {}},  // the store's variable, overwritten in the formula only
      {"h*2", 8, {}, {}},
      {"b*3; b=2", 2, {"b"}, {32}},
      {"c = b + 1; b = 2; c", 1, {"b"}, {32, 32}},
      {"a = a + 1", 1, {"a"}, {32}},  // its own right side reads it before it has a value
      {"w-=2", -2, {"w"}, {32}},      // a compound assignment reads the old value
      {"y + y", 0, {"y"}, {32}},
      {"v + u; u = 1; v = 1", 1, {"v", "u"}, {32, 32}},
      {"2+abc", 2, {"abc"}, {32}},
      {"!m", 1, {"m"}, {32}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Outcome out = Evaluate(store_, c.text);
    EXPECT_TRUE(out.ok);
    EXPECT_DOUBLE_EQ(out.value, c.expected);
    EXPECT_EQ(out.codes, c.codes);
    EXPECT_EQ(store_.UndefinedReads(), c.reads);
    EXPECT_EQ(store_.UndefinedReadMessage(), c.reads.empty() ? "" : "'" + c.reads[0] + "' nicht definiert");
  }
  // The helpers stayed in their formulas: read alone, a name is undefined again.
  for (const char* name : {"a", "l", "b"}) {
    Evaluate(store_, name);
    EXPECT_EQ(store_.UndefinedReads(), std::vector<std::string>{name}) << name;
  }
  EXPECT_EQ(Evaluate(store_, "h").value, 4);
  // A failed evaluation names what it read undefined up to its error; the next one starts afresh.
  EXPECT_FALSE(Evaluate(store_, "n + 1/0").ok);
  EXPECT_EQ(store_.UndefinedReads(), std::vector<std::string>{"n"});
  Evaluate(store_, "a=2; a*3");
  EXPECT_TRUE(store_.UndefinedReads().empty());
}

TEST_F(ParserTest, ExponentsStayWhole) {
  store_.SetVariable("x1e", "", "", 7);
  const ValueCase cases[] = {
      {"1e-5", 1e-5, {}}, {"2*1e-3", 0.002, {}}, {"1,5e+2", 150, {}}, {"2E3-1", 1999, {}}, {"1e-3-2", -1.999, {}},
      {"3.e+2", 300, {}}, {".5e-1", 0.05, {}},   {"x1e-1", 6, {}},  // a name ending in e, then a subtraction
      {"1e5", 1e5, {}},   {"1e-400", 0, {}},  // underflow reads as 0, as a stream extraction gives it
  };
  for (const auto& c : cases) {
    Outcome out = Evaluate(store_, c.text);
    EXPECT_TRUE(out.ok) << c.text;
    EXPECT_DOUBLE_EQ(out.value, c.expected) << c.text;
    EXPECT_EQ(out.codes, c.codes) << c.text;
  }
}

struct FailureCase {
  const char* text;
  std::vector<int> codes;
  const char* lastText;  // the German text of the last message
};

TEST_F(ParserTest, ErrorsRecordTheirCodeAndLeaveTheResultAlone) {
  const FailureCase cases[] = {
      {"2+", {128}, "Unerwartetes Symbol: <end of expression>"},
      {"", {128}, "Unerwartetes Symbol: <end of expression>"},
      {")", {128}, "Unerwartetes Symbol: )"},
      {"2*+3", {128}, "Unerwartetes Symbol: +"},
      {"(1", {512}, "')' erwartet."},
      {"max(1)", {512}, "';' erwartet."},
      {"if(1;2)", {512}, "';' erwartet."},
      {"sin(1;2)", {512}, "')' erwartet."},
      {"max(1;2", {512}, "')' erwartet."},
      {"3 4", {256}, "Unerwartete Zeichen: 4"},
      {"1)", {256}, "Unerwartete Zeichen: )"},
      {"2 (3)", {256}, "Unerwartete Zeichen: (3)"},
      {"foo(1)", {16}, "'foo' nicht implementiert."},
      {"SIN(0)", {16}, "'SIN' nicht implementiert."},  // names are case-sensitive
      {"1/0", {64}, "Division durch Null."},
      {"1/(2-2)", {64}, "Division durch Null."},
      {"a/=0", {32, 64}, "Division durch Null."},
      {"if(0; 1/0; 2)", {64}, "Division durch Null."},  // every argument is evaluated
      {"1.2.3", {4}, "Fehlerhaftes Zahlenformat: '1.2.3'"},
      {"1e", {4}, "Fehlerhaftes Zahlenformat: '1e'"},
      {"1e999", {4}, "Fehlerhaftes Zahlenformat: '1e999'"},  // overflow
      {"2 $ 3", {8}, "Unerlaubtes Zeichen ('$')"},
      {"a & b", {8}, "Unerlaubtes Zeichen ('&')"},  // the token after a name is read first
      {"a | b", {8}, "Unerlaubtes Zeichen ('|')"},
      {"2\x01", {8}, "Unerlaubtes Zeichen (ASCII 1)"},
      {"\x7f", {8}, "Unerlaubtes Zeichen ('\x7f')"},
      {"h\xc3\xb6he", {8}, "Unerlaubtes Zeichen ('\xc3\xb6')"},  // a whole UTF-8 character
      {"2*\xff", {8}, "Unerlaubtes Zeichen (ASCII 255)"},        // a byte that is no character
      {".Lt.", {256}, "Unerwartete Zeichen: Lt."},               // mixed case is no operator
      // a message quotes the text as typed, not as rewritten for the parser ("Pos0. 12", "a - b", "0.5.5")
      {"12 Pos. 12", {256}, "Unerwartete Zeichen: Pos. 12"},
      {"3 a-b", {256}, "Unerwartete Zeichen: a-b"},
      {"2 .true.", {256}, "Unerwartete Zeichen: .true."},
      {"1 2,5", {256}, "Unerwartete Zeichen: 2,5"},
      {".5.5", {4}, "Fehlerhaftes Zahlenformat: '.5.5'"},
      {"2*,5.1", {4}, "Fehlerhaftes Zahlenformat: ',5.1'"},
      {"sqrt(-1)", {4}, "Fehler in sqrt"},  // raised by a function
      {"mod(1;0)", {4}, "Divide by zero in mod"},
  };
  for (const auto& c : cases) {
    Outcome out = Evaluate(store_, c.text, 42.0);
    EXPECT_FALSE(out.ok) << c.text;
    EXPECT_EQ(out.value, 42.0) << c.text;
    EXPECT_EQ(out.codes, c.codes) << c.text;
    ASSERT_FALSE(out.texts.empty()) << c.text;
    EXPECT_EQ(out.texts.back(), c.lastText) << c.text;
  }
}

TEST_F(ParserTest, ParserThrowsEnglishAndRecordsGerman) {
  struct Case {
    const char* text;
    int code;
    const char* english;
  } cases[] = {
      {"2+", 128, "Unexpected token: <end of expression>"},
      {"(1", 512, "')' expected."},
      {"3 4", 256, "Unexpected text at end of expression: 4"},
      {"foo(1)", 16, "Function 'foo' not implemented."},
      {"1/0", 64, "Divide by zero"},
      {"1.2.3", 4, "Bad numeric literal: 1.2.3"},
      {"2 $", 8, "Unexpected character: $"},
      {"\x02", 8, "Unexpected character (decimal 2)"},
  };
  for (const auto& c : cases) {
    CFormulaParser parser(c.text);
    try {
      parser.Evaluate();
      ADD_FAILURE() << c.text << " did not throw";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.english) << c.text;
    }
    ASSERT_EQ(parser.m_Codes.size(), 1u) << c.text;
    EXPECT_EQ(parser.m_Codes[0], c.code) << c.text;
    EXPECT_EQ(parser.m_Messages.size(), parser.m_Codes.size());
  }
}

TEST_F(ParserTest, TokenizerReadsOperatorsNamesAndNumbers) {
  CFormulaParser parser("a_1 <= >= == != && || += -= *= /= < > = ! ( ) * + - / ; ^ 2.5e3");
  const int expected[] = {FT_NAME,
                          FT_LE,
                          FT_GE,
                          FT_EQ,
                          FT_NE,
                          FT_AND,
                          FT_OR,
                          FT_PLUS_ASSIGN,
                          FT_MINUS_ASSIGN,
                          FT_MUL_ASSIGN,
                          FT_DIV_ASSIGN,
                          '<',
                          '>',
                          '=',
                          '!',
                          '(',
                          ')',
                          '*',
                          '+',
                          '-',
                          '/',
                          ';',
                          '^',
                          FT_NUMBER,
                          FT_END};
  for (int type : expected) {
    parser.GetToken(true);
    EXPECT_EQ(parser.m_nTokenType, type) << parser.m_strToken;
  }
  EXPECT_EQ(parser.m_strToken, "<end of expression>");
  // Reading past the end is an error of its own.
  EXPECT_THROW(parser.GetToken(true), std::runtime_error);
  EXPECT_EQ(parser.m_Codes.back(), 2);
  EXPECT_EQ(parser.m_Messages.back(), "Unerwartetes Ende der Formel");
}

TEST_F(ParserTest, SignBeforeDigitIsPartOfNumberOnlyWhenAsked) {
  CFormulaParser parser("-5 -5");
  parser.GetToken(false);
  EXPECT_EQ(parser.m_nTokenType, FT_NUMBER);
  EXPECT_EQ(parser.m_dNumber, -5);
  parser.GetToken(true);
  EXPECT_EQ(parser.m_nTokenType, '-');
  // Unprepared text: after ')' the sign sticks to the number, which then stands alone.
  CFormulaParser raw("(1)-1");
  EXPECT_THROW(raw.Evaluate(), std::runtime_error);
  EXPECT_EQ(raw.m_Codes, std::vector<int>{256});
}

TEST_F(ParserTest, CallerSymbolsAreSeen) {
  CFormulaParser parser("h = 2*b + 1; h");
  parser.m_Symbols["b"] = 4;
  EXPECT_EQ(parser.Evaluate(), 9);
  EXPECT_EQ(parser.m_Symbols["h"], 9);
  EXPECT_EQ(parser.m_Codes, std::vector<int>{32});  // h was new
}

TEST_F(ParserTest, DeepNestingIsRefusedNotOverflowed) {
  const std::string limitText = "Formel zu tief geschachtelt";
  const std::string hostile[] = {
      std::string(30000, '('),
      std::string(10000, '(') + "1" + std::string(10000, ')'),
      std::string(20000, '-') + "1",
      std::string(20000, '!') + "1",
  };
  for (const auto& text : hostile) {
    Outcome out = Evaluate(store_, text, 42.0);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.value, 42.0);
    EXPECT_EQ(out.codes, std::vector<int>{4});
    ASSERT_FALSE(out.texts.empty());
    EXPECT_EQ(out.texts[0], limitText);
  }
  std::string chain;
  for (int i = 0; i < 5000; ++i) chain += "a=";
  chain += "1";
  Outcome out = Evaluate(store_, chain);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.codes, (std::vector<int>{32, 4}));  // a is new, then the bound
  EXPECT_EQ(out.texts.back(), limitText);

  // Nesting well inside the bound still evaluates: 150 brackets around 1+1.
  Outcome fine = Evaluate(store_, std::string(150, '(') + "1+1" + std::string(150, ')'));
  EXPECT_TRUE(fine.ok);
  EXPECT_EQ(fine.value, 2);
}

TEST_F(ParserTest, OverlongTextIsRefused) {
  std::string text = "1";
  while (text.size() <= kMaxFormulaLength) text += "+1";
  Outcome out = Evaluate(store_, text, 42.0);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.value, 42.0);
  EXPECT_EQ(out.codes, std::vector<int>{4});
  EXPECT_EQ(out.texts[0].rfind("Formel zu lang", 0), 0u) << out.texts[0];

  // Just below the bound a long sum is fine: 1 + 1 + ... with n ones.
  std::string sum = "1";
  while (sum.size() + 2 <= kMaxFormulaLength) sum += "+1";
  Outcome ok = Evaluate(store_, sum);
  EXPECT_TRUE(ok.ok);
  EXPECT_EQ(ok.value, double((sum.size() + 1) / 2));
}

TEST_F(ParserTest, NumberWordsConvertAsAStreamWould) {
  struct Case {
    const char* word;
    bool ok;
    double value;
  } cases[] = {
      {"12", true, 12},    {"+5", true, 5},     {"-5", true, -5},    {"1.", true, 1},   {"1.e3", true, 1000},
      {"00012", true, 12}, {"1e+5", true, 1e5}, {"1e-400", true, 0}, {"1e", false, 0},  {"1.2.3", false, 0},
      {"1e999", false, 0}, {"", false, 0},      {"+", false, 0},     {"++1", false, 0}, {"1e-", false, 0},
  };
  for (const auto& c : cases) {
    double value = -1;
    EXPECT_EQ(ConvertNumberWord(c.word, value), c.ok) << c.word;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.word;
    }
  }
}

}  // namespace
