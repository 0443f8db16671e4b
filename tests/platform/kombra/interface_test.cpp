// The generator's call interface: norms, groups, categories, factors, stored combinations, protocols and
// the handling of bad input.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kombra_test_support.h"

namespace {

using kombra_test::formed;
using kombra_test::ScopedSession;

TEST(KombraGroups, EveryNormOffersTheFiveGroupsInOrder) {
  for (const char* norm : {"DIN 1055-100", "DIN 18800", "SIA 260:2003", "EC", "EC_NAD", "EC_NAF"}) {
    ScopedSession session(norm);
    ASSERT_EQ(KOMBRA_GetNumOfLastGruppen(session.handle()), 5) << norm;
    for (int g = 0; g < 5; ++g) EXPECT_EQ(KOMBRA_GetLastGruppeType(session.handle(), g), g) << norm;
    EXPECT_STREQ(KOMBRA_GetLastGruppe(session.handle(), 0), "ständig");
    EXPECT_STREQ(KOMBRA_GetLastGruppe(session.handle(), 3), "außergewöhnlich");
    EXPECT_STREQ(KOMBRA_GetLastGruppe(session.handle(), 5), "");
    EXPECT_EQ(KOMBRA_GetLastGruppeType(session.handle(), -1), -1);
  }
}

TEST(KombraGroups, WithoutNormThereAreNoGroups) {
  const int session = KOMBRA_StartSession();
  EXPECT_EQ(KOMBRA_GetNumOfLastGruppen(session), 0);
  EXPECT_STREQ(KOMBRA_GetLastGruppe(session, 0), "");
  KOMBRA_SetNorm(session, "DIN 4227");
  EXPECT_EQ(KOMBRA_GetNumOfLastGruppen(session), 0);
  EXPECT_NE(std::string(KOMBRA_GetLastError(session)).find("DIN 4227"), std::string::npos);
  EXPECT_NE(KOMBRA_Calc(session), 0);
  KOMBRA_CloseSession(session);
}

struct CategoryCase {
  const char* norm;
  int count;
  int index;
  const char* name;
  double psi0, psi1, psi2;
};

void PrintTo(const CategoryCase& c, std::ostream* out) { *out << c.norm << " " << c.index; }

class KombraCategories : public testing::TestWithParam<CategoryCase> {};

TEST_P(KombraCategories, VariableGroupsListTheNormsCategoriesWithTheirFactors) {
  const CategoryCase& c = GetParam();
  ScopedSession session(c.norm);
  for (const char* group : {"veränderlich", "veränderlich alternativ"}) {
    KOMBRA_SetLastGruppe(session.handle(), group);
    ASSERT_EQ(KOMBRA_GetNumOfLastKat(session.handle()), c.count) << c.norm;
    EXPECT_STREQ(KOMBRA_GetLastKat(session.handle(), c.index), c.name);
  }
  for (int group : {1, 2}) {
    double psi[3] = {-1, -1, -1};
    KOMBRA_GetPsi(session.handle(), group, c.index, psi);
    EXPECT_DOUBLE_EQ(psi[0], c.psi0);
    EXPECT_DOUBLE_EQ(psi[1], c.psi1);
    EXPECT_DOUBLE_EQ(psi[2], c.psi2);
  }
}

// Values of EN 1990 Table A1.1, DIN 1055-100 Table A.2, SIA 260 Table 2.
INSTANTIATE_TEST_SUITE_P(Codes, KombraCategories,
                         testing::Values(CategoryCase{"EC", 17, 11, "Wind", 0.6, 0.2, 0.0},
                                         CategoryCase{"EC", 17, 9, "Schnee Finnland, Island, Norwegen, Schweden", 0.7,
                                                      0.5, 0.2},
                                         CategoryCase{"EC", 17, 16, "Sonstige", 0.8, 0.7, 0.5},
                                         CategoryCase{"DIN 1055-100", 12, 0, "Nutzlast Kat. A/B", 0.7, 0.5, 0.3},
                                         CategoryCase{"DIN 1055-100", 12, 7, "Wind", 0.6, 0.5, 0.0},
                                         CategoryCase{"DIN 18800", 12, 2, "Nutzlast Kat. E", 1.0, 0.9, 0.8},
                                         CategoryCase{"EC_NAD", 13, 7, "Wind", 0.6, 0.2, 0.0},
                                         CategoryCase{"EC_NAF", 13, 12, "Kranlasten", 1.0, 0.9, 0.77},
                                         CategoryCase{"SIA 260:2003", 10, 1, "Nutzlast Kat. C/D", 0.7, 0.7, 0.6}));

TEST(KombraCategories, PermanentAndAccidentalGroupsHaveNone) {
  ScopedSession session("EC");
  for (const char* group : {"ständig", "außergewöhnlich", "ständig unabhängig"}) {
    KOMBRA_SetLastGruppe(session.handle(), group);
    EXPECT_EQ(KOMBRA_GetNumOfLastKat(session.handle()), 0) << group;
  }
  KOMBRA_SetLastGruppe(session.handle(), "gibt es nicht");
  EXPECT_EQ(KOMBRA_GetNumOfLastKat(session.handle()), 0);
  EXPECT_STREQ(KOMBRA_GetLastKat(session.handle(), 0), "");
  double psi[3] = {-1, -1, -1};
  KOMBRA_GetPsi(session.handle(), 0, 0, psi);
  EXPECT_EQ(psi[0] + psi[1] + psi[2], 0.0);
  KOMBRA_GetPsi(session.handle(), 1, 17, psi);
  EXPECT_EQ(psi[0] + psi[1] + psi[2], 0.0);
}

struct GammaCase {
  const char* norm;
  int kind;
  int situation;
  double favourable, unfavourable;
};

void PrintTo(const GammaCase& c, std::ostream* out) { *out << c.norm << " " << c.kind << "/" << c.situation; }

class KombraGammas : public testing::TestWithParam<GammaCase> {};

TEST_P(KombraGammas, PairsComeFromTheCodesTables) {
  const GammaCase& c = GetParam();
  ScopedSession session(c.norm);
  double gamma[2] = {-1, -1};
  KOMBRA_GetGamma(session.handle(), c.kind, c.situation, gamma);
  EXPECT_DOUBLE_EQ(gamma[0], c.favourable);
  EXPECT_DOUBLE_EQ(gamma[1], c.unfavourable);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KombraGammas,
    testing::Values(
        // Fundamental combination: EN 1990 A1.2(B), DIN 1055-100 A.3, SIA 260 Table 1 type 2.
        GammaCase{"EC", 0, 0, 1.00, 1.35}, GammaCase{"DIN 1055-100", 0, 0, 1.00, 1.35},
        GammaCase{"SIA 260:2003", 0, 0, 0.80, 1.35}, GammaCase{"EC", 1, 0, 0.0, 1.50},
        GammaCase{"SIA 260:2003", 2, 0, 0.0, 1.50}, GammaCase{"EC", 4, 0, 1.00, 1.35},
        // Accidental action and situation.
        GammaCase{"EC", 3, 1, 1.0, 1.0}, GammaCase{"DIN 1055-100", 0, 1, 1.0, 1.0},
        // Equilibrium: EN 1990 A1.2(A) 0.90 / 1.10; DIN 1055-100 accidental 0.95 / 1.00.
        GammaCase{"EC", 0, 6, 0.90, 1.10}, GammaCase{"DIN 1055-100", 0, 9, 0.95, 1.00},
        // Ground: EN 1990 A1.2(C) gamma_Q 1.30; SIA type 3 likewise; DIN's structure row holds for ground.
        GammaCase{"EC", 1, 8, 0.0, 1.30}, GammaCase{"SIA 260:2003", 1, 8, 0.0, 1.30},
        GammaCase{"DIN 1055-100", 0, 8, 1.00, 1.35}, GammaCase{"SIA 260:2003", 0, 7, 0.80, 1.35},
        // Situations the generator does not know, and unknown action kinds.
        GammaCase{"EC", 0, 3, 0.0, 0.0}, GammaCase{"EC", 9, 0, 0.0, 0.0}));

TEST(KombraVariables, OutOfRangeValuesAreRefusedAndTheOldValueKept) {
  ScopedSession session("EC");
  KOMBRA_SetVariable(session.handle(), "psi2_kran", 0.5);
  KOMBRA_SetVariable(session.handle(), "psi2_kran", 1.5);
  EXPECT_STRNE(KOMBRA_GetLastError(session.handle()), "");
  KOMBRA_SetVariable(session.handle(), "GInfFactor", 0.0);
  KOMBRA_SetVariable(session.handle(), "GInfFactor", std::numeric_limits<double>::quiet_NaN());
  double psi[3];
  KOMBRA_GetPsi(session.handle(), 1, 13, psi);
  EXPECT_DOUBLE_EQ(psi[2], 0.5);
  double gamma[2];
  KOMBRA_GetGamma(session.handle(), 0, 0, gamma);
  EXPECT_DOUBLE_EQ(gamma[0], 1.0);
  KOMBRA_SetVariable(session.handle(), nullptr, 1.0);
  KOMBRA_SetVariable(session.handle(), "h", 1200.0);  // kept, no error of its own
}

TEST(KombraBadInput, InvalidDefinitionsMakeTheRunFailWithTheirText) {
  struct Case {
    int group, category;
    const char* expected;
  };
  for (const Case& c : {Case{5, 0, "Lastgruppe 5"}, Case{1, 17, "Kategorie 17"}, Case{2, -1, "Kategorie -1"}}) {
    ScopedSession session("EC");
    KOMBRA_SetLastfall(session.handle(), 1, 1);
    KOMBRA_DefEinw(session.handle(), 1, c.group, c.category, 0);
    EXPECT_NE(KOMBRA_Calc(session.handle()), 0);
    EXPECT_NE(std::string(KOMBRA_GetLastError(session.handle())).find(c.expected), std::string::npos)
        << KOMBRA_GetLastError(session.handle());
    // Cleared definitions run again.
    KOMBRA_ClearLFEW(session.handle());
    EXPECT_EQ(KOMBRA_Calc(session.handle()), 0);
    EXPECT_STREQ(KOMBRA_GetLastError(session.handle()), "");
  }
}

TEST(KombraBadInput, ACategoryTheNewNormLacksMakesTheRunFail) {
  ScopedSession session("EC");
  KOMBRA_SetLastfall(session.handle(), 1, 1);
  KOMBRA_DefEinw(session.handle(), 1, 1, 16, 0);
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  KOMBRA_SetNorm(session.handle(), "SIA 260:2003");  // ten categories
  EXPECT_NE(KOMBRA_Calc(session.handle()), 0);
  EXPECT_NE(std::string(KOMBRA_GetLastError(session.handle())).find("Kategorie 16"), std::string::npos);
}

TEST(KombraBadInput, LoadCaseNumbersOutsideTheRangeMakeTheRunFail) {
  for (int lastfall : {0, -3, KOMBRA_MAX_LASTFALL + 1}) {
    ScopedSession session("EC");
    KOMBRA_SetLastfall(session.handle(), lastfall, 1);
    KOMBRA_DefEinw(session.handle(), 1, 0, 0, 1);
    EXPECT_NE(KOMBRA_Calc(session.handle()), 0) << lastfall;
    EXPECT_EQ(KOMBRA_GetNumOfFaktoren(session.handle()), 0);
  }
}

TEST(KombraBadInput, UnknownSessionsAndIndicesGiveEmptyResults) {
  const int closed = KOMBRA_StartSession();
  KOMBRA_CloseSession(closed);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(closed), 0);
  EXPECT_STREQ(KOMBRA_GetKombiStr(closed, 0), "");
  EXPECT_NE(KOMBRA_Calc(closed), 0);
  EXPECT_STRNE(KOMBRA_GetLastError(closed), "");
  KOMBRA_CloseSession(closed);  // twice is harmless

  ScopedSession session("EC");
  KOMBRA_SetLastfall(session.handle(), 2, 1);
  KOMBRA_DefEinw(session.handle(), 1, 0, 0, 0);
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  EXPECT_STREQ(KOMBRA_GetKombiTypStr(session.handle(), 99), "");
  EXPECT_STREQ(KOMBRA_GetKombiStr(session.handle(), -1), "");
  std::vector<double> factors(2, -1.0);
  KOMBRA_GetKombi(session.handle(), 7, factors.data());
  EXPECT_EQ(factors, (std::vector<double>{0.0, 0.0}));
  KOMBRA_EnableNachweis(session.handle(), 16, 1);
  EXPECT_NE(std::string(KOMBRA_GetLastError(session.handle())).find("16"), std::string::npos);
}

TEST(KombraFactorLists, HaveOneEntryPerLoadCaseUpToTheHighestNumber) {
  ScopedSession session("EC");
  session.action(1, 0, 0, false, {2, 5});
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  ASSERT_EQ(KOMBRA_GetNumOfFaktoren(session.handle()), 5);
  const auto rows = formed(session.handle());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].factors, (std::vector<double>{0.0, 1.35, 0.0, 0.0, 1.35}));
  EXPECT_STREQ(KOMBRA_GetKombiStr(session.handle(), 0), "1.35*(2)+1.35*(5)");
}

TEST(KombraStoredCombinations, RulesAreReadBackIntoFactors) {
  ScopedSession session("EC");
  KOMBRA_SetNumOfKombi(session.handle(), 2);
  KOMBRA_SetKombiStr(session.handle(), 0, "1,35*(1+2)+1.50*(3)");
  KOMBRA_SetKombiTypStr(session.handle(), 0, "Ed");
  KOMBRA_SetKombiStr(session.handle(), 1, "1.00*(4)+");
  KOMBRA_SetKombiTypStr(session.handle(), 1, "Ed,perm");
  ASSERT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 2);
  EXPECT_STREQ(KOMBRA_GetKombiStr(session.handle(), 0), "1,35*(1+2)+1.50*(3)");
  EXPECT_STREQ(KOMBRA_GetKombiTypStr(session.handle(), 1), "Ed,perm");
  const auto rows = formed(session.handle());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].factors, (std::vector<double>{1.35, 1.35, 1.5, 0.0}));
  EXPECT_EQ(rows[1].factors, (std::vector<double>{0.0, 0.0, 0.0, 1.0}));
}

TEST(KombraStoredCombinations, CountsBeyondTheListsAreRefused) {
  ScopedSession session("EC");
  KOMBRA_SetNumOfKombi(session.handle(), 3);
  KOMBRA_SetNumOfKombi(session.handle(), 1001);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 3);
  KOMBRA_SetNumOfKombi(session.handle(), -1);
  EXPECT_EQ(KOMBRA_GetNumOfKombi(session.handle()), 3);
  KOMBRA_SetKombiStr(session.handle(), 3, "1.00*(1)");
  EXPECT_STRNE(KOMBRA_GetLastError(session.handle()), "");
}

class KombraProtocols : public testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("kombra-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  static std::string read(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::filesystem::path directory_;
};

TEST_F(KombraProtocols, FactorProtocolListsThePartialFactorsAndEveryCategory) {
  ScopedSession session("DIN 1055-100");
  const auto path = directory_ / "gammaPsi.rtf";
  KOMBRA_Protokoll(session.handle(), 1, 0, path.c_str());
  const std::string rtf = read(path);
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(rtf.back(), '\n');
  EXPECT_NE(rtf.find("\\u947?G,sup = 1.35"), std::string::npos);  // U+03B3 gamma
  EXPECT_NE(rtf.find("Nutzlast Kat. A/B\t0.70\t0.50\t0.30"), std::string::npos);
  EXPECT_NE(rtf.find("Sonstige\t0.80\t0.70\t0.50"), std::string::npos);
  EXPECT_NE(rtf.find("Schnee \\u252?ber NN+1000 m"), std::string::npos);  // ü
  EXPECT_EQ(rtf.find("Kombinationsregeln"), std::string::npos);
}

TEST_F(KombraProtocols, RulesProtocolListsTheCombinations) {
  ScopedSession session("EC");
  session.action(1, 0, 0, true, {1});
  session.action(2, 1, 0, false, {2});
  session.only({0});
  ASSERT_EQ(KOMBRA_Calc(session.handle()), 0);
  const auto path = directory_ / "regeln.rtf";
  KOMBRA_Protokoll(session.handle(), 0, 1, path.c_str());
  const std::string rtf = read(path);
  EXPECT_NE(rtf.find("1\tEd\t1.35*(1)+1.50*(2)"), std::string::npos);
  EXPECT_NE(rtf.find("2\tEd\t1.00*(1)+1.50*(2)"), std::string::npos);
  EXPECT_EQ(rtf.find("Teilsicherheits"), std::string::npos);
  EXPECT_EQ(rtf.find("Ed,perm:"), std::string::npos);  // only the enabled kinds' rules
}

TEST_F(KombraProtocols, AnUnwritablePathLeavesNoFileAndAnError) {
  ScopedSession session("EC");
  const auto path = directory_ / "missing-folder" / "p.rtf";
  KOMBRA_Protokoll(session.handle(), 1, 1, path.c_str());
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_NE(std::string(KOMBRA_GetLastError(session.handle())).find("p.rtf"), std::string::npos);
  KOMBRA_Protokoll(session.handle(), 1, 1, nullptr);
  EXPECT_STRNE(KOMBRA_GetLastError(session.handle()), "");
}

}  // namespace
