// The foundation position of a calculated column on a fresh installation: the template the installation ships
// serves when the user has none of their own, and without any template the engineer is told and nothing is written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "calc_run_support.h"
#include "column/fundexport.h"
#include "export_test_support.h"
#include "framework/lkdata.h"

namespace {

constexpr double kFakt = 1.4;

// A cantilever of one field, L = 4 m, without own weight; at the head N = 1000 kN (load case 1, permanent) and
// H = 20 kN in x (load case 2, variable); design combination 1.35 x (1) + 1.50 x (2); a foundation position is
// asked for, with the factor 1.4 from design to characteristic values.
void Column(CKolumoData& d) {
  column_test::Cantilever(d, 4.0, {{2, 1000.0}, {0, 20.0}}, "1.35*(1)+1.50*(2)");
  d.FudPos = 1;
  d.fakt = kFakt;
  d.bx = 2.5;
  d.by = 2.0;
  d.hoehe = 0.8;
}

class FoundationInstallTest : public column_test::CalcRunFixture {
 protected:
  std::filesystem::path Target() const { return folder_ / "Stuetze_Fund.tqx"; }
  std::filesystem::path UserTemplate() const {
    return common_ / "ormi" / "Vorlagen" / "TQ-FUND_platte2 Vorbelegung.tqx";
  }
  static int Child(int parent, std::initializer_list<const char*> path) {
    for (const char* name : path) parent = VIDUV_FindFirstChild(parent, name);
    return parent;
  }
};

}  // namespace

TEST_F(FoundationInstallTest, FreshInstallationWritesTheFoundationFileFromItsOwnTemplate) {
  CKolumoData in;
  Column(in);
  auto out = Run(in, "Stuetze.tqx");
  ASSERT_FALSE(out->ergebnisse.Fundkraefte.empty()) << testing::PrintToString(Messages());
  EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
  ASSERT_TRUE(std::filesystem::exists(Target()));

  const int doc = VIDUV_OpenDoc(Target().c_str());
  ASSERT_NE(doc, 0);
  docs_.push_back(doc);
  const int root = VIDUV_GetRootElement(doc);
  EXPECT_STREQ(VIDUV_GetString(root, "progname"), kFundamentProgName);
  EXPECT_STREQ(VIDUV_GetString(root, "modulename"), kFundamentModuleName);
  EXPECT_STREQ(VIDUV_GetString(Child(root, {"input"}), "posDesc"), "Fundament");  // the shipped template's

  // Group 2 holds the design combination's foundation loads over the factor. Statics of the cantilever: the
  // vertical load is 1.35 x 1000 = 1350 kN, the horizontal one 1.50 x 20 = 30 kN, so p = 1350 / 1.4 = 964.29 kN
  // and hx = 30 / 1.4 = 21.43 kN.
  const int last = Child(root, {"input", "last"});
  int group = VIDUV_FindFirstChild(last, "lastgruppe");
  ASSERT_NE(group, 0);
  EXPECT_STREQ(VIDUV_GetString(group, "bezeichnung"), "Reserviert für Eigengewicht");
  group = VIDUV_FindNextChild(group, "lastgruppe");
  ASSERT_NE(group, 0);
  EXPECT_EQ(VIDUV_GetInt(group, "nr"), 2);
  EXPECT_NEAR(VIDUV_GetDouble(group, "p"), 1350.0 / kFakt, 1e-2);
  EXPECT_NEAR(std::hypot(VIDUV_GetDouble(group, "hx"), VIDUV_GetDouble(group, "hy")), 30.0 / kFakt, 1e-3);
  EXPECT_EQ(VIDUV_FindNextChild(group, "lastgruppe"), 0);
  const int geom = Child(root, {"input", "geom"});
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "afu"), 2.5);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "astue"), 0.40);

  // The combination data of the template and the export read as the suite reads a position's.
  CLKData lk;
  lk.ReadData(Child(root, {"input"}));
  EXPECT_EQ(lk.einwirkungen.GetSize(), 2);
  EXPECT_EQ(lk.lastfaelle.GetSize(), 2);
}

TEST_F(FoundationInstallTest, UsersOwnTemplateComesFirst) {
  export_test::WriteFoundationTemplate(UserTemplate());
  CKolumoData in;
  Column(in);
  Run(in, "Stuetze.tqx");
  const int doc = VIDUV_OpenDoc(Target().c_str());
  ASSERT_NE(doc, 0);
  docs_.push_back(doc);
  // the test template's root holds "info" with "errors" only and no position description
  EXPECT_STREQ(VIDUV_GetString(Child(VIDUV_GetRootElement(doc), {"input"}), "posDesc"), "");
}

TEST_F(FoundationInstallTest, WithoutAnyTemplateTheEngineerIsToldAndNothingIsWritten) {
  std::filesystem::remove(root_ / "Vorlagen");
  CKolumoData in;
  Column(in);
  auto out = Run(in, "Stuetze.tqx");
  EXPECT_FALSE(out->ergebnisse.Fundkraefte.empty());  // the column's own results are kept
  EXPECT_FALSE(std::filesystem::exists(Target()));
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Die Vorlage der Fundamentposition fehlt:\n" + UserTemplate().string() +
                                     "\nDie Fundamentposition wird nicht geschrieben."});
}
