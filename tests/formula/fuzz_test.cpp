// Random and mutated formulas, seeded so that every run feeds the same ones: no crash, no hang, and every
// evaluation ends in one of the two defined outcomes.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "formula/formulanumber.h"
#include "formula/varstore.h"
#include "formula_test_support.h"

#ifndef FORMULA_FUZZ_CASES
#define FORMULA_FUZZ_CASES 100000
#endif

namespace {

const char* const kCorpus[] = {
    "h = 2*b + sin(alpha)/3",
    "a = 2; b = a*3; a+b",
    "max(a;b)/2",
    "if(h > 3; 1,5*h; -h)",
    "2^3^2",
    "-2^2",
    "!a^2",
    ".TRUE..AND.x",
    "1e-5",
    "2*1e-3",
    "sqrt(a*a + b*b)",
    "ndate(29;2;2024) - ndate(1;1;2024)",
    "mod(-7;3) + roll(2;6) + rand(6) + percent(50)",
    "x += 3; x *= 2; x /= 4",
    "(1 + (2 * (3 - (4 / 5))))",
    "a .LT. b .OR. h .GE. 2",
    "log(0) + exp(700)",
    "acos(2)",
    "int(-2.7) + ceil(1.2) + floor(-1.5)",
    "artanh(1) - arcoth(1)",
    "3 4",
    "foo(1)",
    "1/0",
    "1.2.3",
    "(1",
    "max(1)",
    "2+",
    "",
};

const char* const kTokens[] = {
    "a",     "b",      "h",      "alpha", "x",        "pi",       "e",    "undefined_name",
    "1",     "0",      "2,5",    "1e-3",  "1e",       "1e999",    ".5",   "3.",
    "+",     "-",      "*",      "/",     "^",        "(",        ")",    ";",
    "=",     "==",     "!=",     "<",     ">",        "<=",       ">=",   "&&",
    "||",    "!",      "+=",     "-=",    "*=",       "/=",       ",",    ".",
    "#",     " ",      "\t",     "sin(",  "max(",     "if(",      "mod(", "roll(",
    "sqrt(", "log(",   "ndate(", "rand(", "percent(", "int(",     "pow(", ".AND.",
    ".lt.",  ".TRUE.", "&",      "|",     "$",        "\xc3\xa4", "\xff", "\x01",
};

class Fuzzer {
 public:
  explicit Fuzzer(std::uint64_t seed) : rng_(seed) {}

  std::string Next() {
    switch (Below(10)) {
      case 0:
      case 1:
      case 2: return TokenSoup();
      case 3: return RandomBytes();
      case 4: return Nesting();
      default: return Mutation();
    }
  }

 private:
  std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

  std::string TokenSoup() {
    std::string text;
    for (std::size_t i = 0, n = Below(30); i < n; ++i) text += kTokens[Below(std::size(kTokens))];
    return text;
  }
  std::string RandomBytes() {
    std::string text(Below(40), '\0');
    for (char& c : text) c = char(Below(256));
    return text;
  }
  std::string Nesting() {
    static const char* const kOpen[] = {"(", "-", "!", "a=", "sin(", "max(1;", "if(1;2;"};
    std::string text;
    std::size_t depth = Below(2) ? Below(300) : Below(50);
    for (std::size_t i = 0; i < depth; ++i) text += kOpen[Below(std::size(kOpen))];
    text += "1";
    for (std::size_t i = 0, n = Below(depth + 1); i < n; ++i) text += ')';
    return text;
  }
  std::string Mutation() {
    std::string text = kCorpus[Below(std::size(kCorpus))];
    for (std::size_t i = 0, n = 1 + Below(4); i < n; ++i) {
      std::size_t at = text.empty() ? 0 : Below(text.size() + 1);
      switch (Below(5)) {
        case 0: text.insert(at, 1, char(Below(256))); break;
        case 1:
          if (at < text.size()) text.erase(at, 1 + Below(3));
          break;
        case 2:
          if (at < text.size()) text[at] = char(Below(128));
          break;
        case 3: text.insert(at, kTokens[Below(std::size(kTokens))]); break;
        default: text = text.substr(0, at) + text.substr(at / 2); break;  // repeats a stretch
      }
    }
    return text;
  }

  std::mt19937_64 rng_;
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(FormulaFuzzTest, RandomAndMutatedFormulasEndInADefinedOutcome) {
  formula_test::PrivateRegistry registry;
  CVariableStore parent, store;
  store.m_pParent = &parent;
  parent.SetVariable("Pos\\b", "Breite", "m", 0.3);
  store.SetVariable("h", "Hoehe", "m", 3);
  store.SetVariable("alpha", "Winkel", "", 0.5);
  store.SetVariable("a", "", "", -2);

  const int allowedFailures[] = {2, 4, 8, 16, 64, 128, 256, 512};
  Fuzzer fuzzer(20261207);
  int failures = 0;
  for (int i = 0; i < FORMULA_FUZZ_CASES; ++i) {
    const std::string text = fuzzer.Next();
    const double sentinel = -0.0 - 123.25;
    double result = sentinel;
    bool ok = store.Evaluate(text.c_str(), &result);
    if (ok) {
      for (const CVarMessage& m : store.m_Messages) ASSERT_EQ(m.m_nCode, 32) << "case " << i << ": " << text;
    } else {
      ++failures;
      ASSERT_TRUE(SameBits(result, sentinel)) << "case " << i << ": " << text;
      ASSERT_FALSE(store.m_Messages.IsEmpty()) << "case " << i << ": " << text;
      int last = store.m_Messages[store.m_Messages.GetUpperBound()].m_nCode;
      ASSERT_NE(std::find(std::begin(allowedFailures), std::end(allowedFailures), last), std::end(allowedFailures))
          << "case " << i << ": " << text;
      ASSERT_FALSE(store.m_Messages[store.m_Messages.GetUpperBound()].m_strText.IsEmpty());
    }
    if (i % 8 == 0) {
      // The same text entered into a formula number and read back.
      CFormulaNumber n;
      n.m_pStore = &store;
      n = text.c_str();
      double before = n.m_dValue;
      double value = n.GetValue();
      if (n.m_bNumber) {
        ASSERT_TRUE(SameBits(value, before)) << "case " << i << ": " << text;
      }
    }
  }
  // The mix holds both outcomes in quantity; a generator that only made errors would prove little.
  EXPECT_GT(failures, FORMULA_FUZZ_CASES / 10);
  EXPECT_LT(failures, FORMULA_FUZZ_CASES - FORMULA_FUZZ_CASES / 20);
}

}  // namespace
