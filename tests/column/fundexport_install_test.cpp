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

// A cantilever of one field, L = 4 m, 40 x 40 cm, EC2 C30/37, fixed at the foot, no own weight; at the head
// N = 1000 kN (load case 1, permanent) and H = 20 kN in x (load case 2, variable); design combination
// 1.35 x (1) + 1.50 x (2); a foundation position is asked for, with the factor 1.4 from design to
// characteristic values.
void Column(CKolumoData& d) {
  d.version = 2012.01;
  d.iNorm = 1;
  d.InitStages(CKolumoData::KombiNormFuerNorm(d.iNorm));
  d.sBeton = "C30/37";
  d.sStahl = "B500B";
  d.SetFieldCount(1);
  d.fieldLengths[0] = 4.0;
  CKolumoQuer& q = d.querschnitte[0];
  q.bx = 40.0;
  q.dy = 40.0;
  q.bdx = q.bdy = 4.0;
  q.as = 3.14;
  q.teilung = 4;
  CSupport& foot = d.supports[0][1];
  foot.cx = foot.cy = foot.cz = foot.cmx = foot.cmy = -1.0;
  for (auto [lc, direction, value] : {std::tuple{1, 2, 1000.0}, std::tuple{2, 0, 20.0}}) {
    Load load;
    load.lc = lc;
    load.ltype = 10;
    load.node = 0;
    load.direction = direction;
    load.bHasDirection = 1;
    load.val0 = value;
    d.loads[0].Add(load);
  }
  d.vorver[0].type = 0;
  d.vorver[0].bDirekteVorgabe = 1;
  d.vorver[0].umx = 0.0;
  d.vorver[0].umy = 0.0;
  CLKData& lk = d.lastUeberlagerungBZ[0];
  lk.einwirkungen.RemoveAll();
  lk.lastfaelle.RemoveAll();
  lk.kombinationen.RemoveAll();
  for (int nr : {1, 2}) {
    CEinwirkung a;
    a.nr = nr;
    a.indexGruppe = a.indexGruppeHHHH = nr - 1;
    lk.einwirkungen.Add(a);
    CLKLastfall row;
    row.lf = nr;
    row.einw = nr;
    lk.lastfaelle.Add(row);
  }
  d.maxLF[0] = 2;
  CKombination k;
  k.art = "Ed";
  k.regel = k.regelUser = "1.35*(1)+1.50*(2)";
  lk.kombinationen.Add(k);
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
    return folder_ / "common" / "ormi" / "Vorlagen" / "TQ-FUND_platte2 Vorbelegung.tqx";
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
  EXPECT_EQ(Messages(), std::vector<std::string>{"Die Vorlage der Fundamentposition fehlt:\n" +
                                                  UserTemplate().string() +
                                                  "\nDie Fundamentposition wird nicht geschrieben."});
}
