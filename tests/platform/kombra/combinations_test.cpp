// KombraCombinations of two permanent and three variable actions, checked against lists worked out by hand from
// the codes' combination rules and factor tables.
#include <algorithm>
#include <set>

#include "kombra_test_support.h"

namespace {

using kombra_test::expectRows;
using kombra_test::formed;
using kombra_test::ofType;
using kombra_test::Row;
using kombra_test::ScopedSession;

constexpr int kPermanent = 0;
constexpr int kVariable = 1;
constexpr int kAlternative = 2;
constexpr int kAccidental = 3;
constexpr int kPermanentSingle = 4;

struct HandWorked {
  const char* norm;
  int categories[3];  // of the variable actions 3, 4, 5
  std::vector<std::vector<double>> ed, accidental, characteristic, frequent, quasiPermanent;
};

// Load cases 1..5 = actions 1..5: G1, G2 permanent (favourable variant allowed), Q3, Q4, Q5 variable.
// Order: each variable action leading in turn (3, 4, 5); within that the permanent variants
// (sup, sup), (inf, sup), (sup, inf), (inf, inf).
std::vector<HandWorked> handWorkedLists() {
  return {
      // EN 1990, Tables A1.1 and A1.2(B): gamma_G 1.35 / 1.00, gamma_Q 1.50.
      // Q3 category A (psi 0.7 / 0.5 / 0.3), Q4 snow H <= 1000 m (0.5 / 0.2 / 0), Q5 wind (0.6 / 0.2 / 0).
      // Ed (6.10): leading 1.50, accompanying 1.5 * psi0: Q3 1.05, Q4 0.75, Q5 0.90.
      // Ed,A (6.11b) without an accidental action: G 1.0, leading psi1, others psi2; psi2 = 0 drops the term.
      // char: leading 1.0, others psi0. frequ: leading psi1, others psi2. perm: psi2 only.
      {"EC",
       {0, 8, 11},
       {{1.35, 1.35, 1.50, 0.75, 0.90},
        {1.00, 1.35, 1.50, 0.75, 0.90},
        {1.35, 1.00, 1.50, 0.75, 0.90},
        {1.00, 1.00, 1.50, 0.75, 0.90},
        {1.35, 1.35, 1.05, 1.50, 0.90},
        {1.00, 1.35, 1.05, 1.50, 0.90},
        {1.35, 1.00, 1.05, 1.50, 0.90},
        {1.00, 1.00, 1.05, 1.50, 0.90},
        {1.35, 1.35, 1.05, 0.75, 1.50},
        {1.00, 1.35, 1.05, 0.75, 1.50},
        {1.35, 1.00, 1.05, 0.75, 1.50},
        {1.00, 1.00, 1.05, 0.75, 1.50}},
       {{1, 1, 0.5, 0, 0}, {1, 1, 0.3, 0.2, 0}, {1, 1, 0.3, 0, 0.2}},
       {{1, 1, 1.0, 0.5, 0.6}, {1, 1, 0.7, 1.0, 0.6}, {1, 1, 0.7, 0.5, 1.0}},
       {{1, 1, 0.5, 0, 0}, {1, 1, 0.3, 0.2, 0}, {1, 1, 0.3, 0, 0.2}},
       {{1, 1, 0.3, 0, 0}}},
      // DIN 1055-100, Tables A.2 and A.3: gamma_G 1.35 / 1.00, gamma_Q 1.50.
      // Q3 category A/B (0.7 / 0.5 / 0.3), Q4 snow above NN+1000 m (0.7 / 0.5 / 0.2), Q5 wind (0.6 / 0.5 / 0).
      // Ed: accompanying Q3 1.05, Q4 1.05, Q5 0.90. Ed,A (16): leading psi1, others psi2.
      {"DIN 1055-100",
       {0, 8, 7},
       {{1.35, 1.35, 1.50, 1.05, 0.90},
        {1.00, 1.35, 1.50, 1.05, 0.90},
        {1.35, 1.00, 1.50, 1.05, 0.90},
        {1.00, 1.00, 1.50, 1.05, 0.90},
        {1.35, 1.35, 1.05, 1.50, 0.90},
        {1.00, 1.35, 1.05, 1.50, 0.90},
        {1.35, 1.00, 1.05, 1.50, 0.90},
        {1.00, 1.00, 1.05, 1.50, 0.90},
        {1.35, 1.35, 1.05, 1.05, 1.50},
        {1.00, 1.35, 1.05, 1.05, 1.50},
        {1.35, 1.00, 1.05, 1.05, 1.50},
        {1.00, 1.00, 1.05, 1.05, 1.50}},
       {{1, 1, 0.5, 0.2, 0}, {1, 1, 0.3, 0.5, 0}, {1, 1, 0.3, 0.2, 0.5}},
       {{1, 1, 1.0, 0.7, 0.6}, {1, 1, 0.7, 1.0, 0.6}, {1, 1, 0.7, 0.7, 1.0}},
       {{1, 1, 0.5, 0.2, 0}, {1, 1, 0.3, 0.5, 0}, {1, 1, 0.3, 0.2, 0.5}},
       {{1, 1, 0.3, 0.2, 0}}},
      // SIA 260, Tables 1 (type 2) and 2: gamma_G 1.35 / 0.80, gamma_Q 1.50.
      // Q3 category E (1.0 / 0.9 / 0.8), Q4 wind (0.6 / 0.5 / 0), Q5 temperature (0.6 / 0.5 / 0).
      // Ed: accompanying Q3 1.5 * 1.0 = 1.50, Q4 0.90, Q5 0.90.
      // Ed,A: every variable action with psi2 and no leading one, so one combination: G + 0.8 Q3.
      {"SIA 260:2003",
       {2, 7, 9},
       {{1.35, 1.35, 1.50, 0.90, 0.90},
        {0.80, 1.35, 1.50, 0.90, 0.90},
        {1.35, 0.80, 1.50, 0.90, 0.90},
        {0.80, 0.80, 1.50, 0.90, 0.90},
        {1.35, 1.35, 1.50, 1.50, 0.90},
        {0.80, 1.35, 1.50, 1.50, 0.90},
        {1.35, 0.80, 1.50, 1.50, 0.90},
        {0.80, 0.80, 1.50, 1.50, 0.90},
        {1.35, 1.35, 1.50, 0.90, 1.50},
        {0.80, 1.35, 1.50, 0.90, 1.50},
        {1.35, 0.80, 1.50, 0.90, 1.50},
        {0.80, 0.80, 1.50, 0.90, 1.50}},
       {{1, 1, 0.8, 0, 0}},
       {{1, 1, 1.0, 0.6, 0.6}, {1, 1, 1.0, 1.0, 0.6}, {1, 1, 1.0, 0.6, 1.0}},
       {{1, 1, 0.9, 0, 0}, {1, 1, 0.8, 0.5, 0}, {1, 1, 0.8, 0, 0.5}},
       {{1, 1, 0.8, 0, 0}}},
  };
}

void PrintTo(const HandWorked& c, std::ostream* out) { *out << c.norm; }

class KombraHandWorkedCombinations : public testing::TestWithParam<HandWorked> {};

TEST_P(KombraHandWorkedCombinations, EveryKindMatchesTheHandWorkedList) {
  const HandWorked& expected = GetParam();
  ScopedSession session(expected.norm);
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kPermanent, 0, true, {2});
  for (int i = 0; i < 3; ++i) session.action(3 + i, kVariable, expected.categories[i], false, {3 + i});
  session.only({0, 1, 2, 3, 4});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0) << KOMBRA_GetLastError(session.handle());

  const std::vector<Row> rows = formed(session.handle());
  EXPECT_EQ(rows.size(), expected.ed.size() + expected.accidental.size() + expected.characteristic.size() +
                             expected.frequent.size() + expected.quasiPermanent.size());
  expectRows(ofType(rows, "Ed"), expected.ed, std::string(expected.norm) + " Ed");
  expectRows(ofType(rows, "Ed,A"), expected.accidental, std::string(expected.norm) + " Ed,A");
  expectRows(ofType(rows, "Ed,char"), expected.characteristic, std::string(expected.norm) + " char");
  expectRows(ofType(rows, "Ed,frequ"), expected.frequent, std::string(expected.norm) + " frequ");
  expectRows(ofType(rows, "Ed,perm"), expected.quasiPermanent, std::string(expected.norm) + " perm");
}

INSTANTIATE_TEST_SUITE_P(Codes, KombraHandWorkedCombinations, testing::ValuesIn(handWorkedLists()),
                         [](const testing::TestParamInfo<HandWorked>& info) {
                           std::string name = info.param.norm;
                           std::replace_if(
                               name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                           return name;
                         });

TEST(KombraCombinations, KindsComeInKindOrderAndRuleTextsMatchTheFactors) {
  ScopedSession session("EC");
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kVariable, 0, false, {2});
  session.only({0, 4});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  // Ed: 1.35 G + 1.5 Q, 1.0 G + 1.5 Q; perm: G + 0.3 Q.
  ASSERT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 3);
  EXPECT_STREQ(KOMBRA_GetKombiStr(session.handle(), 0), "1.35*(1)+1.50*(2)");
  EXPECT_STREQ(KOMBRA_GetKombiStr(session.handle(), 1), "1.00*(1)+1.50*(2)");
  EXPECT_STREQ(KOMBRA_GetKombiStr(session.handle(), 2), "1.00*(1)+0.30*(2)");
  EXPECT_STREQ(KOMBRA_GetKombiTypStr(session.handle(), 2), "Ed,perm");
}

TEST(KombraCombinations, LoadCasesOfOnePermanentActionTakeOneFactorAndIndependentOnesTheirOwn) {
  ScopedSession session("EC");
  session.action(1, kPermanent, 0, true, {1, 2});
  session.action(2, kPermanentSingle, 0, true, {3, 4});
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  // Action 1 is one unit (load cases 1 and 2 always alike); action 2 gives two units: 2 * 2 * 2 = 8.
  const auto rows = formed(session.handle());
  ASSERT_EQ(rows.size(), 8u);
  std::set<std::vector<double>> distinct;
  for (const Row& row : rows) {
    EXPECT_EQ(row.factors[0], row.factors[1]);
    distinct.insert(row.factors);
  }
  EXPECT_EQ(distinct.size(), 8u);
  expectRows({rows[0], rows[7]}, {{1.35, 1.35, 1.35, 1.35}, {1.0, 1.0, 1.0, 1.0}}, "first and last variant");
}

TEST(KombraCombinations, LoadCasesOfAnAlternativeActionNeverActTogether) {
  ScopedSession session("EC");
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kAlternative, 11, false, {2, 3});  // wind from two sides
  session.action(3, kVariable, 0, false, {4});
  session.only({0, 1, 2, 3, 4});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  const auto rows = formed(session.handle());
  // Ed: 2 leaders * 2 wind load cases * 2 permanent variants = 8.
  EXPECT_EQ(ofType(rows, "Ed").size(), 8u);
  // Ed,A with Q leading: wind's psi2 is 0, so both wind load cases give G + 0.5 Q once.
  EXPECT_EQ(ofType(rows, "Ed,A").size(), 3u);
  bool seen2 = false;
  bool seen3 = false;
  for (const Row& row : rows) {
    EXPECT_FALSE(row.factors[1] != 0.0 && row.factors[2] != 0.0) << row.type;
    seen2 = seen2 || row.factors[1] != 0.0;
    seen3 = seen3 || row.factors[2] != 0.0;
  }
  EXPECT_TRUE(seen2);
  EXPECT_TRUE(seen3);
}

TEST(KombraCombinations, AccidentalCombinationsCarryOneAccidentalLoadCaseWithFactorOne) {
  ScopedSession session("EC");
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kVariable, 0, false, {2});
  session.action(3, kVariable, 11, false, {3});
  session.action(4, kAccidental, 0, false, {4, 5});
  session.only({0, 1, 2, 3, 4});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  const auto rows = formed(session.handle());
  // Per accidental load case (4, then 5) each variable action leading:
  // Q2 leading: G + A + 0.5 Q2 (wind psi2 = 0); Q3 leading: G + A + 0.3 Q2 + 0.2 Q3.
  expectRows(ofType(rows, "Ed,A"), {{1, 0.5, 0, 1, 0}, {1, 0.3, 0.2, 1, 0}, {1, 0.5, 0, 0, 1}, {1, 0.3, 0.2, 0, 1}},
             "Ed,A");
  for (const Row& row : rows) {
    if (row.type == "Ed,A") continue;
    EXPECT_EQ(row.factors[3], 0.0) << row.type;
    EXPECT_EQ(row.factors[4], 0.0) << row.type;
  }
}

TEST(KombraCombinations, NoCombinationCarriesAZeroFactor) {
  ScopedSession session("EC");
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kVariable, 7, false, {2});  // roof H: psi0 = psi1 = psi2 = 0
  session.action(3, kVariable, 8, false, {3});  // snow: psi2 = 0
  session.only({0, 1, 2, 3, 4});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  const int count = KOMBRA_GetNumOfKombi(session.handle());
  ASSERT_GT(count, 0);
  for (int k = 0; k < count; ++k) {
    EXPECT_EQ(std::string(KOMBRA_GetKombiStr(session.handle(), k)).find("0.00*"), std::string::npos);
  }
  // perm: G alone (both psi2 are 0); frequ: H leading with psi1 = 0 gives G alone again, kept once.
  expectRows(ofType(formed(session.handle()), "Ed,perm"), {{1, 0, 0}}, "perm");
  expectRows(ofType(formed(session.handle()), "Ed,frequ"), {{1, 0, 0}, {1, 0, 0.2}}, "frequ");
}

TEST(KombraCombinations, IdenticalCombinationsAreFormedOnce) {
  ScopedSession session("EC");
  session.action(1, kVariable, 4, false, {1});  // storage: psi0 = 1.0, so leading and accompanying agree
  session.action(2, kVariable, 4, false, {2});
  session.only({0, 2});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  expectRows(formed(session.handle()), {{1.5, 1.5}, {1.0, 1.0}}, "storage twice");
}

TEST(KombraCombinations, WithoutGammaPsiEveryFactorIsOne) {
  ScopedSession session("EC");
  KOMBRA_SetNoGammaPsi(session.handle(), 1);
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kAlternative, 0, false, {2, 3});
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  expectRows(formed(session.handle()), {{1, 1, 0}, {1, 0, 1}}, "no gamma/psi");
}

TEST(KombraCombinations, CraneLoadsTakePsi2FromTheVariable) {
  ScopedSession session("EC");
  KOMBRA_SetVariable(session.handle(), "psi2_kran", 0.6);
  session.action(1, kVariable, 13, false, {1});
  session.only({4});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  expectRows(formed(session.handle()), {{0.6}}, "crane psi2");
}

TEST(KombraCombinations, GInfFactorScalesTheFavourablePermanentFactorOfEd) {
  ScopedSession session("SIA 260:2003");
  KOMBRA_SetVariable(session.handle(), "GInfFactor", 0.9);
  session.action(1, kPermanent, 0, true, {1});
  session.only({0, 1});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  // 0.80 * 0.9 = 0.72 in Ed; the accidental combination keeps G with 1.0.
  expectRows(formed(session.handle()), {{1.35}, {0.72}, {1.0}}, "GInfFactor");
}

TEST(KombraCombinations, LoadCasesOfUndefinedActionsAndActionsWithoutLoadCasesAreLeftOut) {
  ScopedSession session("EC");
  KOMBRA_SetLastfall(session.handle(), 1, 1);
  KOMBRA_SetLastfall(session.handle(), 3, 9);  // action 9 is never defined
  KOMBRA_DefEinw(session.handle(), 1, kPermanent, 0, 0);
  KOMBRA_DefEinw(session.handle(), 2, kVariable, 0, 0);  // no load case
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  expectRows(formed(session.handle()), {{1.35, 0, 0}}, "only action 1");
}

TEST(KombraCombinations, NothingToCombineFormsNothing) {
  ScopedSession session("EC");
  EXPECT_EQ(KOMBRA_Calc(session.handle()), 0);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 0);
}

// 3 permanent actions with both variants (8) times n variable actions, each leading once: 8n Ed.
TEST(KombraCombinationLimits, TwoHundredCombinationsOfAKindAreFormed) {
  ScopedSession session("EC");
  for (int a = 1; a <= 3; ++a) session.action(a, kPermanent, 0, true, {a});
  for (int a = 4; a <= 28; ++a) session.action(a, kVariable, a % 4, false, {a});  // psi0 0.7: no duplicates
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0) << KOMBRA_GetLastError(session.handle());
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 200);
}

TEST(KombraCombinationLimits, MoreThanTwoHundredIsAClearErrorAndFormsNothing) {
  ScopedSession session("EC");
  for (int a = 1; a <= 3; ++a) session.action(a, kPermanent, 0, true, {a});
  for (int a = 4; a <= 29; ++a) session.action(a, kVariable, a % 4, false, {a});
  session.only({0, 4});
  EXPECT_NE(KOMBRA_Calc(session.handle()), 0);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 0);
  EXPECT_NE(std::string(KOMBRA_GetLastError(session.handle())).find("\"Ed\""), std::string::npos);
}

TEST(KombraCombinationLimits, AnAstronomicalNumberIsRefusedBeforeForming) {
  ScopedSession session("EC");
  for (int a = 1; a <= 40; ++a) session.action(a, kPermanentSingle, 0, true, {a});
  session.only({0});
  EXPECT_NE(KOMBRA_Calc(session.handle()), 0);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 0);
  EXPECT_STRNE(KOMBRA_GetLastError(session.handle()), "");
}

TEST(KombraCombinationLimits, AFailedRunDropsThePreviousCombinations) {
  ScopedSession session("EC");
  session.action(1, kPermanent, 0, true, {1});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  ASSERT_GT(KOMBRA_GetNumOfKombi(session.handle()), 0);
  KOMBRA_DefEinw(session.handle(), 2, 7, 0, 0);  // no such group
  EXPECT_NE(KOMBRA_Calc(session.handle()), 0);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 0);
}

}  // namespace
