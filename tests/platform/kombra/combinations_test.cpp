// KombraCombinations of two permanent and three variable actions, checked against lists worked out by hand from
// the codes' combination rules and factor tables.
#include <algorithm>
#include <array>
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

using Part = std::array<double, 3>;  // factors of Q3, Q4, Q5

struct HandWorked {
  const char* norm;
  int categories[3];  // of the variable actions 3, 4, 5
  double gSup, gInf;
  // Ed: variable parts, each formed with the four permanent variants. The other kinds: G1 = G2 = 1.0.
  std::vector<Part> ed, accidental, characteristic, frequent, quasiPermanent;
};

// Load cases 1..5 = actions 1..5: G1, G2 permanent (favourable variant allowed), Q3, Q4, Q5 variable.
// A variable action is either absent, leading or accompanying. Count of Ed before duplicates, n = 3
// variable actions and P = 4 permanent variants: (n * 2^(n-1) + 1) * P = (3 * 4 + 1) * 4 = 52: for each
// leader the other two present or absent (4), and the permanent actions alone (1).
// Order: leader Q3, Q4, Q5, then none; for one leader the others in action order, each present before
// absent: (present, present), (present, absent), (absent, present), (absent, absent); innermost the
// permanent variants (sup, sup), (sup, inf), (inf, sup), (inf, inf). A term with factor 0 is absent.
std::vector<HandWorked> handWorkedLists() {
  return {
      // EN 1990, Tables A1.1 and A1.2(B): gamma_G 1.35 / 1.00, gamma_Q 1.50.
      // Q3 category A (psi 0.7 / 0.5 / 0.3), Q4 snow H <= 1000 m (0.5 / 0.2 / 0), Q5 wind (0.6 / 0.2 / 0).
      // Ed (6.10): leading 1.50, accompanying 1.5 * psi0: Q3 1.05, Q4 0.75, Q5 0.90. No factor equals
      // another, so all 13 * 4 = 52 differ.
      // Ed,A (6.11b) without an accidental action: G 1.0, leading psi1 (0.5 / 0.2 / 0.2), accompanying psi2
      // (0.3 / 0 / 0): Q4 and Q5 accompany with 0, i.e. never. Q3 leading: 1 row; Q4 leading: Q3 0.3 or
      // absent, 2 rows; Q5 leading likewise 2; G alone 1: 6.
      // char: leading 1.0, accompanying psi0 (0.7 / 0.5 / 0.6): 3 * 4 + 1 = 13.
      // frequ: leading psi1, accompanying psi2: the same factors as Ed,A, so the same 6.
      // perm: psi2 only (0.3 / 0 / 0): Q3 present or absent: 2.
      // Total 52 + 6 + 13 + 6 + 2 = 79.
      {"EC",
       {0, 8, 11},
       1.35,
       1.00,
       {{1.50, 0.75, 0.90},
        {1.50, 0.75, 0},
        {1.50, 0, 0.90},
        {1.50, 0, 0},
        {1.05, 1.50, 0.90},
        {1.05, 1.50, 0},
        {0, 1.50, 0.90},
        {0, 1.50, 0},
        {1.05, 0.75, 1.50},
        {1.05, 0, 1.50},
        {0, 0.75, 1.50},
        {0, 0, 1.50},
        {0, 0, 0}},
       {{0.5, 0, 0}, {0.3, 0.2, 0}, {0, 0.2, 0}, {0.3, 0, 0.2}, {0, 0, 0.2}, {0, 0, 0}},
       {{1.0, 0.5, 0.6},
        {1.0, 0.5, 0},
        {1.0, 0, 0.6},
        {1.0, 0, 0},
        {0.7, 1.0, 0.6},
        {0.7, 1.0, 0},
        {0, 1.0, 0.6},
        {0, 1.0, 0},
        {0.7, 0.5, 1.0},
        {0.7, 0, 1.0},
        {0, 0.5, 1.0},
        {0, 0, 1.0},
        {0, 0, 0}},
       {{0.5, 0, 0}, {0.3, 0.2, 0}, {0, 0.2, 0}, {0.3, 0, 0.2}, {0, 0, 0.2}, {0, 0, 0}},
       {{0.3, 0, 0}, {0, 0, 0}}},
      // DIN 1055-100, Tables A.2 and A.3: gamma_G 1.35 / 1.00, gamma_Q 1.50.
      // Q3 category A/B (0.7 / 0.5 / 0.3), Q4 snow above NN+1000 m (0.7 / 0.5 / 0.2), Q5 wind (0.6 / 0.5 / 0).
      // Ed: accompanying Q3 1.05, Q4 1.05, Q5 0.90: 52, all different (1.05 of Q3 and of Q4 sit on
      // different load cases).
      // Ed,A (16): leading psi1 (0.5 each), accompanying psi2 (0.3 / 0.2 / 0). Q3 leading: Q4 0.2 or absent
      // (2); Q4 leading: Q3 0.3 or absent (2); Q5 leading: Q3 and Q4 each present or absent (4); G alone:
      // 9.
      // char: leading 1.0, accompanying psi0 (0.7 / 0.7 / 0.6): 13. frequ: as Ed,A, 9.
      // perm: psi2 0.3 / 0.2 / 0: Q3 and Q4 each present or absent: 4. Total 52 + 9 + 13 + 9 + 4 = 87.
      {"DIN 1055-100",
       {0, 8, 7},
       1.35,
       1.00,
       {{1.50, 1.05, 0.90},
        {1.50, 1.05, 0},
        {1.50, 0, 0.90},
        {1.50, 0, 0},
        {1.05, 1.50, 0.90},
        {1.05, 1.50, 0},
        {0, 1.50, 0.90},
        {0, 1.50, 0},
        {1.05, 1.05, 1.50},
        {1.05, 0, 1.50},
        {0, 1.05, 1.50},
        {0, 0, 1.50},
        {0, 0, 0}},
       {{0.5, 0.2, 0},
        {0.5, 0, 0},
        {0.3, 0.5, 0},
        {0, 0.5, 0},
        {0.3, 0.2, 0.5},
        {0.3, 0, 0.5},
        {0, 0.2, 0.5},
        {0, 0, 0.5},
        {0, 0, 0}},
       {{1.0, 0.7, 0.6},
        {1.0, 0.7, 0},
        {1.0, 0, 0.6},
        {1.0, 0, 0},
        {0.7, 1.0, 0.6},
        {0.7, 1.0, 0},
        {0, 1.0, 0.6},
        {0, 1.0, 0},
        {0.7, 0.7, 1.0},
        {0.7, 0, 1.0},
        {0, 0.7, 1.0},
        {0, 0, 1.0},
        {0, 0, 0}},
       {{0.5, 0.2, 0},
        {0.5, 0, 0},
        {0.3, 0.5, 0},
        {0, 0.5, 0},
        {0.3, 0.2, 0.5},
        {0.3, 0, 0.5},
        {0, 0.2, 0.5},
        {0, 0, 0.5},
        {0, 0, 0}},
       {{0.3, 0.2, 0}, {0.3, 0, 0}, {0, 0.2, 0}, {0, 0, 0}}},
      // SIA 260, Tables 1 (type 2) and 2: gamma_G 1.35 / 0.80, gamma_Q 1.50.
      // Q3 category E (1.0 / 0.9 / 0.8), Q4 wind (0.6 / 0.5 / 0), Q5 temperature (0.6 / 0.5 / 0).
      // Ed: accompanying Q3 1.5 * 1.0 = 1.50, Q4 0.90, Q5 0.90. Q3 accompanies with its leading factor, yet
      // no two rows agree: Q4 leading rows carry 1.50 at Q4, Q5 leading rows 1.50 at Q5 and at most 0.90
      // at Q4, Q3 leading rows at most 0.90 at Q4 and Q5. So 52.
      // Ed,A: no leading action, every variable action with psi2 (0.8 / 0 / 0): G + 0.8 Q3, G alone: 2.
      // char: leading 1.0, accompanying psi0 (1.0 / 0.6 / 0.6): 13, distinct by the same argument as Ed.
      // frequ: leading psi1 (0.9 / 0.5 / 0.5), accompanying psi2 (0.8 / 0 / 0): Q3 leading 1, Q4 leading 2,
      // Q5 leading 2, G alone 1: 6. perm: 2. Total 52 + 2 + 13 + 6 + 2 = 75.
      {"SIA 260:2003",
       {2, 7, 9},
       1.35,
       0.80,
       {{1.50, 0.90, 0.90},
        {1.50, 0.90, 0},
        {1.50, 0, 0.90},
        {1.50, 0, 0},
        {1.50, 1.50, 0.90},
        {1.50, 1.50, 0},
        {0, 1.50, 0.90},
        {0, 1.50, 0},
        {1.50, 0.90, 1.50},
        {1.50, 0, 1.50},
        {0, 0.90, 1.50},
        {0, 0, 1.50},
        {0, 0, 0}},
       {{0.8, 0, 0}, {0, 0, 0}},
       {{1.0, 0.6, 0.6},
        {1.0, 0.6, 0},
        {1.0, 0, 0.6},
        {1.0, 0, 0},
        {1.0, 1.0, 0.6},
        {1.0, 1.0, 0},
        {0, 1.0, 0.6},
        {0, 1.0, 0},
        {1.0, 0.6, 1.0},
        {1.0, 0, 1.0},
        {0, 0.6, 1.0},
        {0, 0, 1.0},
        {0, 0, 0}},
       {{0.9, 0, 0}, {0.8, 0.5, 0}, {0, 0.5, 0}, {0.8, 0, 0.5}, {0, 0, 0.5}, {0, 0, 0}},
       {{0.8, 0, 0}, {0, 0, 0}}},
  };
}

void PrintTo(const HandWorked& c, std::ostream* out) { *out << c.norm; }

// Full factor lists: G1, G2 from the permanent variants, then the variable part.
std::vector<std::vector<double>> rowsOf(const std::vector<Part>& parts, const std::vector<Part>& permanent) {
  std::vector<std::vector<double>> rows;
  for (const Part& part : parts) {
    for (const Part& g : permanent) rows.push_back({g[0], g[1], part[0], part[1], part[2]});
  }
  return rows;
}

class KombraHandWorkedCombinations : public testing::TestWithParam<HandWorked> {};

TEST_P(KombraHandWorkedCombinations, EveryKindMatchesTheHandWorkedList) {
  const HandWorked& expected = GetParam();
  ScopedSession session(expected.norm);
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kPermanent, 0, true, {2});
  for (int i = 0; i < 3; ++i) session.action(3 + i, kVariable, expected.categories[i], false, {3 + i});
  session.only({0, 1, 2, 3, 4});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0) << KOMBRA_GetLastError(session.handle());

  const double sup = expected.gSup;
  const double inf = expected.gInf;
  const std::vector<Part> variants{{sup, sup, 0}, {sup, inf, 0}, {inf, sup, 0}, {inf, inf, 0}};
  const std::vector<Part> unfactored{{1.0, 1.0, 0}};
  const std::vector<Row> rows = formed(session.handle());
  EXPECT_EQ(rows.size(), expected.ed.size() * 4 + expected.accidental.size() + expected.characteristic.size() +
                             expected.frequent.size() + expected.quasiPermanent.size());
  expectRows(ofType(rows, "Ed"), rowsOf(expected.ed, variants), std::string(expected.norm) + " Ed");
  expectRows(ofType(rows, "Ed,A"), rowsOf(expected.accidental, unfactored), std::string(expected.norm) + " Ed,A");
  expectRows(ofType(rows, "Ed,char"), rowsOf(expected.characteristic, unfactored),
             std::string(expected.norm) + " char");
  expectRows(ofType(rows, "Ed,frequ"), rowsOf(expected.frequent, unfactored), std::string(expected.norm) + " frequ");
  expectRows(ofType(rows, "Ed,perm"), rowsOf(expected.quasiPermanent, unfactored),
             std::string(expected.norm) + " perm");
}

INSTANTIATE_TEST_SUITE_P(Codes, KombraHandWorkedCombinations, testing::ValuesIn(handWorkedLists()),
                         [](const testing::TestParamInfo<HandWorked>& info) {
                           std::string name = info.param.norm;
                           std::replace_if(
                               name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                           return name;
                         });

struct WindCase {
  const char* norm;
  int imposed, snow, wind;  // categories
  double gInf;
};

void PrintTo(const WindCase& c, std::ostream* out) { *out << c.norm; }

class KombraWindAlone : public testing::TestWithParam<WindCase> {};

// A column's classic governing case: little axial force, large moment. The imposed load and the snow would
// relieve it, so they must be absent: gamma_G,inf * (G1 + G2) + 1.5 W.
TEST_P(KombraWindAlone, PermanentActionsWithGammaInfAndOnlyTheWindLeadingAreFormed) {
  const WindCase& c = GetParam();
  ScopedSession session(c.norm);
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kPermanent, 0, true, {2});
  session.action(3, kVariable, c.imposed, false, {3});
  session.action(4, kVariable, c.snow, false, {4});
  session.action(5, kVariable, c.wind, false, {5});
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0) << KOMBRA_GetLastError(session.handle());
  const std::vector<double> windAlone{c.gInf, c.gInf, 0, 0, 1.5};
  const auto rows = formed(session.handle());
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [&](const Row& row) { return row.factors == windAlone; }), 1);
}

// gamma_G,inf: EN 1990 A1.2(B) and DIN 1055-100 A.3 1.00, SIA 260 Table 1 0.80.
INSTANTIATE_TEST_SUITE_P(Codes, KombraWindAlone,
                         testing::Values(WindCase{"EC", 0, 8, 11, 1.0}, WindCase{"DIN 1055-100", 0, 6, 7, 1.0},
                                         WindCase{"SIA 260:2003", 0, 6, 7, 0.8}),
                         [](const testing::TestParamInfo<WindCase>& info) {
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
  // Ed: Q leading with G sup and inf, then G alone sup and inf; perm: G + 0.3 Q, then G alone.
  const char* expected[][2] = {{"Ed", "1.35*(1)+1.50*(2)"}, {"Ed", "1.00*(1)+1.50*(2)"},      {"Ed", "1.35*(1)"},
                               {"Ed", "1.00*(1)"},          {"Ed,perm", "1.00*(1)+0.30*(2)"}, {"Ed,perm", "1.00*(1)"}};
  ASSERT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 6);
  for (int k = 0; k < 6; ++k) {
    EXPECT_STREQ(KOMBRA_GetKombiTypStr(session.handle(), k), expected[k][0]) << k;
    EXPECT_STREQ(KOMBRA_GetKombiStr(session.handle(), k), expected[k][1]) << k;
  }
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
  // Ed per permanent variant: wind leading by load case 2 or 3, Q present or absent (4); Q leading, wind
  // by load case 2, by 3 or absent (3); G alone (1). 8 * 2 variants = 16.
  EXPECT_EQ(ofType(rows, "Ed").size(), 16u);
  // Ed,A: wind leading (psi1 0.2) by 2 or 3, Q with psi2 0.3 or absent (4); Q leading (psi1 0.5), wind
  // accompanies with psi2 = 0, so only G + 0.5 Q (1); G alone (1): 6.
  expectRows(ofType(rows, "Ed,A"),
             {{1, 0.2, 0, 0.3}, {1, 0.2, 0, 0}, {1, 0, 0.2, 0.3}, {1, 0, 0.2, 0}, {1, 0, 0, 0.5}, {1, 0, 0, 0}},
             "Ed,A");
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
  // Per accidental load case (4, then 5): Q2 leading: G + A + 0.5 Q2 (wind's psi2 = 0, never accompanying);
  // Q3 leading: G + A + 0.2 Q3 with 0.3 Q2 or without; no variable action: G + A.
  expectRows(ofType(rows, "Ed,A"),
             {{1, 0.5, 0, 1, 0},
              {1, 0.3, 0.2, 1, 0},
              {1, 0, 0.2, 1, 0},
              {1, 0, 0, 1, 0},
              {1, 0.5, 0, 0, 1},
              {1, 0.3, 0.2, 0, 1},
              {1, 0, 0.2, 0, 1},
              {1, 0, 0, 0, 1}},
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
  // Ed: action 1 leading with action 2 (1.5 * 1.0) or without; action 2 leading with action 1 (the first
  // row again) or without; nothing permanent, so no combination of nothing. char likewise with 1.0.
  expectRows(formed(session.handle()), {{1.5, 1.5}, {1.5, 0}, {0, 1.5}, {1.0, 1.0}, {1.0, 0}, {0, 1.0}},
             "storage twice");
}

TEST(KombraCombinations, WithoutGammaPsiEveryFactorIsOne) {
  ScopedSession session("EC");
  KOMBRA_SetNoGammaPsi(session.handle(), 1);
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kAlternative, 0, false, {2, 3});
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  // Alternative leading by load case 2 or 3, then G alone; G has one variant without factors.
  expectRows(formed(session.handle()), {{1, 1, 0}, {1, 0, 1}, {1, 0, 0}}, "no gamma/psi");
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

// Two permanent actions with both variants (4), imposed load Q (category A) and wind with d directions
// (alternative, one load case each). Ed per variant: Q leading, wind by one of d or absent (d + 1); wind
// leading by one of d, Q present or absent (2d); G alone (1): 3d + 2. Q leads with 1.5 and accompanies
// with 1.05, wind 1.5 and 0.9: no duplicates. d = 16: 50 * 4 = 200; d = 17: 53 * 4 = 212.
void permanentImposedAndWind(const ScopedSession& session, int directions) {
  session.action(1, kPermanent, 0, true, {1});
  session.action(2, kPermanent, 0, true, {2});
  session.action(3, kVariable, 0, false, {3});
  std::vector<int> wind;
  for (int d = 0; d < directions; ++d) wind.push_back(4 + d);
  session.action(4, kAlternative, 11, false, wind);
}

TEST(KombraCombinationLimits, TwoHundredCombinationsOfAKindAreFormed) {
  ScopedSession session("EC");
  permanentImposedAndWind(session, 16);
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0) << KOMBRA_GetLastError(session.handle());
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 200);
}

TEST(KombraCombinationLimits, MoreThanTwoHundredIsAClearErrorAndFormsNothing) {
  ScopedSession session("EC");
  permanentImposedAndWind(session, 17);
  session.only({0, 4});
  EXPECT_NE(KOMBRA_Calc(session.handle()), 0);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 0);
  EXPECT_NE(std::string(KOMBRA_GetLastError(session.handle())).find("\"Ed\""), std::string::npos);
}

// 40 variable actions: 40 * 2^39 + 1 Ed candidates; forming them one by one would never end.
TEST(KombraCombinationLimits, ManyVariableActionsAreRefusedBeforeForming) {
  ScopedSession session("EC");
  for (int a = 1; a <= 40; ++a) session.action(a, kVariable, 0, false, {a});
  session.only({0});
  EXPECT_NE(KOMBRA_Calc(session.handle()), 0);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 0);
  EXPECT_NE(std::string(KOMBRA_GetLastError(session.handle())).find("Zu viele Kombinationen"), std::string::npos);
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
