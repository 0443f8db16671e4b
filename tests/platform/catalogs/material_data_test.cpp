// The standard material database against the design codes' tables.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/catalogs/zurovo.h"
#include "tests/platform/catalogs/catalogs_test_support.h"

using namespace catalogs_test;

namespace {

class MaterialData : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = ZUROVO_OpenStandard();
    ASSERT_NE(root_, 0) << ZUROVO_GetLastError();
  }
  void TearDown() override { ZUROVO_Close(root_); }

  double Value(const std::string& kat, const std::string& ukat, const std::string& norm, const std::string& obj,
               const std::string& key) {
    int o = FindObject(root_, kat, ukat, norm, obj);
    EXPECT_NE(o, 0) << norm << " " << obj;
    auto props = Properties(o);
    auto it = props.find(key);
    EXPECT_NE(it, props.end()) << norm << " " << obj << " " << key;
    return it == props.end() ? std::nan("") : std::stod(it->second.value);
  }
  std::vector<std::string> Objects(const std::string& kat, const std::string& ukat, const std::string& norm) {
    std::vector<std::string> out;
    int n = ChildNamed(ChildNamed(ChildNamed(root_, kat), ukat), norm);
    for (int o = VIDUV_FindFirstChild(n, "Objekt"); o; o = VIDUV_FindNextChild(o, "Objekt"))
      out.push_back(VIDUV_GetString(o, "Name"));
    return out;
  }

  ScopedRoot installRoot_{DataRoot()};
  int root_ = 0;
};

struct Sample {
  const char* norm;
  const char* grade;
  const char* key;
  double expected;
};

// Values as printed in the codes' tables.
const Sample kConcrete[] = {
    // EN 1992-1-1 Table 3.1
    {"EC2", "C30/37", "fck", 30},
    {"EC2", "C30/37", "fctm", 2.9},
    {"EC2", "C30/37", "Ecm", 33000},
    {"EC2", "C20/25", "fctm", 2.2},
    {"EC2", "C20/25", "Ecm", 30000},
    {"EC2", "C12/15", "Ecm", 27000},
    {"EC2", "C50/60", "epsilon_c2", -2.0},
    {"EC2", "C50/60", "epsilon_c2u", -3.5},
    {"EC2", "C50/60", "epsilon_c1", -2.45},
    {"EC2", "C70/85", "epsilon_c2", -2.4},
    {"EC2", "C70/85", "epsilon_c2u", -2.7},
    {"EC2", "C90/105", "fctm", 5.0},
    {"EC2", "C90/105", "Ecm", 44000},
    {"EC2", "C30/37", "gamma_cg", 1.5},
    {"EC2", "C30/37", "gamma_ca", 1.2},
    // German annex: accidental 1.3, and the added C100/115
    {"EC2 NA (DE)", "C30/37", "Ecm", 33000},
    {"EC2 NA (DE)", "C30/37", "gamma_ca", 1.3},
    {"EC2 NA (DE)", "C100/115", "fctm", 5.2},
    {"EC2 NA (DE)", "C100/115", "Ecm", 45000},
    // DIN 1045-1 Table 9
    {"DIN 1045-1", "C30/37", "Ecm", 28300},
    {"DIN 1045-1", "C30/37", "Ec0m", 31900},
    {"DIN 1045-1", "C20/25", "Ecm", 24900},
    {"DIN 1045-1", "C20/25", "epsilon_c1", -2.1},
    {"DIN 1045-1", "C60/75", "epsilon_c2u", -2.7},
    {"DIN 1045-1", "C100/115", "epsilon_c2", -2.2},
    {"DIN 1045-1", "C30/37", "gamma_ca", 1.3},
    {"DIN 1045-1", "C30/37", "gamma_cgu", 1.8},
    // SIA 262 Table 3: Ecm = 10 kN/mm² fcm^(1/3), tau_cd
    {"SIA 262:2003", "C30/37", "Ecm", 33600},
    {"SIA 262:2003", "C30/37", "tau_cd", 1.1},
    {"SIA 262:2003", "C25/30", "tau_cd", 1.0},
    {"SIA 262:2003", "C30/37", "epsilon_c2u", -3.0},
    // DIN 1045:1988 Tables 11 and 12
    {"DIN 1045", "B 25", "beta_r", 17.5},
    {"DIN 1045", "B 25", "E", 30000},
    {"DIN 1045", "B 35", "beta_r", 23},
    {"DIN 1045", "B 55", "beta_r", 30},
    {"DIN 1045", "B 15", "E", 26000},
    {"DIN 1045", "B 25", "epsilon_u", -3.5},
};

const Sample kSteel[] = {
    {"EC2", "B500B", "fyk", 500},
    {"EC2", "B500B", "E", 200000},
    {"EC2", "B500B", "gamma_sg", 1.15},
    {"EC2", "B500A", "ftk", 525},
    {"EC2", "B500C", "ftk", 575},
    {"EC2 NA (DE)", "B500B", "epsilon_szul", 25},
    {"DIN 1045-1", "BSt 500 SA", "fyk", 500},
    {"DIN 1045-1", "BSt 500 SB", "ftk", 540},
    {"DIN 1045-1", "BSt 500 SA", "epsilon_yd", 2.17},
    {"SIA 262:2003", "B500B", "E", 205000},
    {"SIA 262:2003", "B500B", "epsilon_yd", 2.12},
    {"DIN 1045", "BSt 500 S", "beta_s", 500},
    {"DIN 1045", "BSt 420 S", "beta_s", 420},
    {"DIN 1045", "BSt 500 S", "E", 210000},
};

TEST_F(MaterialData, ConcreteValuesMatchTheCodeTables) {
  for (const auto& s : kConcrete)
    EXPECT_NEAR(Value("Beton", "Normalbeton", s.norm, s.grade, s.key), s.expected, 1e-9 + 1e-6 * std::fabs(s.expected))
        << s.norm << " " << s.grade << " " << s.key;
}

TEST_F(MaterialData, SteelValuesMatchTheCodeTables) {
  for (const auto& s : kSteel)
    EXPECT_NEAR(Value("Stahl", "Betonstahl", s.norm, s.grade, s.key), s.expected, 1e-9 + 1e-6 * std::fabs(s.expected))
        << s.norm << " " << s.grade << " " << s.key;
}

TEST_F(MaterialData, EveryGradeHoldsEveryKeyTheEngineReadsWithItsUnit) {
  const std::vector<std::string> concreteKeys = {
      "Ecm",         "Ec0m",       "G",     "fck",     "tau_cm",   "fctm",     "epsilon_c1u", "epsilon_c1",
      "epsilon_c2u", "epsilon_c2", "phi",   "fbd",     "gamma_cg", "gamma_ca", "gamma_cgu",   "gamma_cau",
      "gamma_cgf",   "gamma_caf",  "gamma", "gamma_u", "mue",      "alpha_t"};
  const std::vector<std::string> steelKeys = {"E",        "gamma",   "fyk",        "ftk",          "gamma_sg",
                                              "gamma_sa", "alpha_t", "epsilon_yd", "epsilon_szul", "duk"};
  auto check = [&](const char* kat, const char* ukat, const char* norm, std::vector<std::string> keys) {
    auto grades = Objects(kat, ukat, norm);
    EXPECT_FALSE(grades.empty()) << norm;
    for (const auto& grade : grades) {
      auto props = Properties(FindObject(root_, kat, ukat, norm, grade));
      for (const auto& key : keys) {
        auto it = props.find(key);
        ASSERT_NE(it, props.end()) << norm << " " << grade << " lacks " << key;
        EXPECT_FALSE(it->second.unit.empty()) << norm << " " << grade << " " << key;
        if (key.rfind("epsilon", 0) == 0) {
          EXPECT_EQ(it->second.unit, "‰") << key;
        }
        if (key == "fck" || key == "fctm" || key == "Ecm" || key == "fyk" || key == "beta_r" || key == "tau_cd") {
          EXPECT_EQ(it->second.unit, "N/mm²") << key;
        }
      }
    }
  };
  for (const char* norm : {"DIN 1045-1", "EC2", "EC2 NA (DE)", "SIA 262:2003"}) {
    check("Beton", "Normalbeton", norm, concreteKeys);
    check("Stahl", "Betonstahl", norm, steelKeys);
  }
  auto sia = concreteKeys;
  sia.push_back("tau_cd");
  check("Beton", "Normalbeton", "SIA 262:2003", sia);
  check("Beton", "Normalbeton", "DIN 1045", {"beta_r", "E", "epsilon_d", "epsilon_u"});
  auto din1045Steel = steelKeys;
  din1045Steel.push_back("beta_s");
  check("Stahl", "Betonstahl", "DIN 1045", din1045Steel);
}

TEST_F(MaterialData, GradeListsAreCompleteAndInAscendingStrength) {
  EXPECT_EQ(Objects("Beton", "Normalbeton", "EC2").size(), 14u);
  EXPECT_EQ(Objects("Beton", "Normalbeton", "EC2 NA (DE)").size(), 15u);
  EXPECT_EQ(Objects("Beton", "Normalbeton", "DIN 1045-1").size(), 15u);
  EXPECT_EQ(Objects("Beton", "Normalbeton", "SIA 262:2003").size(), 9u);
  EXPECT_EQ(Objects("Beton", "Normalbeton", "DIN 1045").size(), 6u);
  for (const char* norm : {"DIN 1045-1", "EC2", "EC2 NA (DE)", "SIA 262:2003"}) {
    double last = 0;
    for (const auto& grade : Objects("Beton", "Normalbeton", norm)) {
      double fck = Value("Beton", "Normalbeton", norm, grade, "fck");
      EXPECT_GT(fck, last) << norm << " " << grade;
      last = fck;
    }
  }
  // The renamed rebar grades exist under the codes whose callers rename to them.
  for (const char* grade : {"B500A", "B500B"}) {
    EXPECT_NE(FindObject(root_, "Stahl", "Betonstahl", "EC2", grade), 0);
    EXPECT_NE(FindObject(root_, "Stahl", "Betonstahl", "EC2 NA (DE)", grade), 0);
  }
}

// The tables' own laws, to catch a mistyped row: EN 1992-1-1 Table 3.1 fctm = 0.30 fck^(2/3) up to C50/60
// and Ecm = 22 (fcm/10)^0.3 GPa (rounded to whole GPa); DIN 1045-1 Ec0m = 9500 fcm^(1/3) and
// Ecm = (0.8 + 0.2 fcm/88) Ec0m, rounded to 100.
TEST_F(MaterialData, TabulatedValuesFollowTheCodesFormulas) {
  for (const auto& grade : Objects("Beton", "Normalbeton", "EC2 NA (DE)")) {
    double fck = Value("Beton", "Normalbeton", "EC2 NA (DE)", grade, "fck"), fcm = fck + 8;
    if (fck <= 50) {
      EXPECT_NEAR(Value("Beton", "Normalbeton", "EC2 NA (DE)", grade, "fctm"), 0.3 * std::cbrt(fck * fck), 0.051)
          << grade;
    }
    EXPECT_NEAR(Value("Beton", "Normalbeton", "EC2 NA (DE)", grade, "Ecm"), 22000 * std::pow(fcm / 10, 0.3), 600)
        << grade;
  }
  for (const auto& grade : Objects("Beton", "Normalbeton", "DIN 1045-1")) {
    double fck = Value("Beton", "Normalbeton", "DIN 1045-1", grade, "fck"), fcm = fck + 8;
    double ec0m = 9500 * std::cbrt(fcm);
    EXPECT_NEAR(Value("Beton", "Normalbeton", "DIN 1045-1", grade, "Ec0m"), ec0m, 51) << grade;
    EXPECT_NEAR(Value("Beton", "Normalbeton", "DIN 1045-1", grade, "Ecm"), std::min(1.0, 0.8 + 0.2 * fcm / 88) * ec0m,
                60)
        << grade;
  }
}

}  // namespace
