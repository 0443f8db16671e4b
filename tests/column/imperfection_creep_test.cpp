// Imperfections by inclination, calculated by the host program ("kolumo calc", "kolumo report") on columns built
// here: an inclination leans the way the column deflects.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "calc_run_support.h"
#include "column/kolumodata.h"
#include "platform/viduv/viduv.h"
#include "tests/report/rtf_text.h"

namespace {

using namespace column_test;

// The second-order head (first row) of a result: deflections and imperfections in mm, v along y and w along x.
struct Kopf {
  double v = 0.0, w = 0.0, v0 = 0.0, w0 = 0.0;
};

class ImperfectionCreepTest : public CalcRunFixture {
 protected:
  // Writes the column into `name`, lets "kolumo calc" calculate it and reads the calculated file.
  std::unique_ptr<CKolumoData> HostCalc(CKolumoData& in, const std::string& name) {
    const int doc = NewDocument(name);
    in.WriteData(doc);
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1);
    const std::string path = (folder_ / name).string();
    const std::string command =
        "env -u DISPLAY timeout 120 '" KOLUMO_HOST "' calc '" + path + "' >'" + path + ".out' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << report_test::ReadFile(path + ".out");
    const int calculated = VIDUV_OpenDoc(path.c_str());
    EXPECT_NE(calculated, 0);
    docs_.push_back(calculated);
    auto out = std::make_unique<CKolumoData>();
    out->SetDefaults();
    out->ReadData(calculated);
    return out;
  }
  // The visible text of the report "kolumo report" writes for the calculated position `name`.
  std::string HostReport(const std::string& name) {
    const std::string path = (folder_ / name).string();
    const std::string command = "env -u DISPLAY timeout 120 '" KOLUMO_HOST "' report '" + path + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::string rtf = path;
    rtf.replace(rtf.size() - 4, 4, ".rtf");
    return report_test::VisibleText(report_test::ReadFile(rtf));
  }

  static Kopf KopfVon(const CKolumoData& out, int typ) {
    const CResultVerformung* r = Find(out.ergebnisse.Verformung, typ);
    Kopf k;
    EXPECT_NE(r, nullptr);
    if (!r || r->Kote.empty()) return k;
    EXPECT_EQ(r->Kote.front(), 0.0);  // the head
    // the record keeps the deflection along x under "u" and its imperfection under "w0"
    k.v = r->v.front(), k.w = r->u.front(), k.v0 = r->v0.front(), k.w0 = r->w0.front();
    return k;
  }
  // The second-order foot moments about both axes (kNm): about y from the load along x, about x from that along y.
  static void Fussmomente(const CKolumoData& out, double& My, double& Mx) {
    const CResultSchnittgroessen* s = Find(out.ergebnisse.Schnittgroessen, 3);
    ASSERT_NE(s, nullptr);
    My = s->My.back(), Mx = s->Mx.back();
  }
  static double Fussmoment(const CKolumoData& out) {
    double My = 0.0, Mx = 0.0;
    Fussmomente(out, My, Mx);
    return std::hypot(My, Mx);
  }
  // The steel the design leaves (cm2), the same over the one field.
  static double Bewehrung(const CKolumoData& out) {
    return out.ergebnisse.ErfAs.empty() || out.ergebnisse.ErfAs[0]->As.empty() ? 0.0
                                                                               : out.ergebnisse.ErfAs[0]->As.back();
  }
};

// A cantilever of EC2, C30/37 and B500B with four bars of 3.14 cm2 at 4 cm from the faces: `G` (kN) permanent at its
// head, with `Hg` permanent and `Hx`, `Hy` variable head forces (kN) along x and y ("1.35*(1)+1.50*(2)", or
// "1.35*(1)" without variable load); bx along x, dy along y (cm); the final system's imperfection of kind `art`, its
// inclination 1/n given as a magnitude; creep phi on the permanent load case where phi is above 0.
struct Saeule {
  double L, bx, dy, G;
  double Hg = 0.0, Hx = 0.0, Hy = 0.0;
  int art = 0, n = 150;
  double phi = 0.0;
};
void Baue(CKolumoData& in, const Saeule& s) {
  Cantilever(in, s.L);
  in.querschnitte[0].bx = s.bx;
  in.querschnitte[0].dy = s.dy;
  in.loads[0].Add(PointLoad(1, kAxial, s.G));
  if (s.Hg != 0.0) in.loads[0].Add(PointLoad(1, kX, s.Hg));
  if (s.Hx != 0.0) in.loads[0].Add(PointLoad(2, kX, s.Hx));
  if (s.Hy != 0.0) in.loads[0].Add(PointLoad(2, kY, s.Hy));
  const bool variabel = s.Hx != 0.0 || s.Hy != 0.0;
  if (variabel)
    SetActions(in, 0, {Action(1, 0), Action(2, 1)});
  else
    SetActions(in, 0, {Action(1, 0)});
  AddCombination(in, 0, "Ed", variabel ? "1.35*(1)+1.50*(2)" : "1.35*(1)");
  CKolumoVorver& v = in.vorver[0];
  v.type = s.art;
  v.bDirekteVorgabe = 0;
  v.Schiefstellung = s.n;
  if (s.phi > 0.0) {
    CKolumoKriechen k;
    k.KriechZahl = s.phi;
    k.Faktor = 1.0;
    in.kriechen.Add(k);
  }
}

// The cantilever: 4 m, 60 cm along x and 30 cm along y, 1500 kN permanent and a variable head force, an
// inclination of 1/200.
Saeule Kragstuetze60x30(double Hx, double Hy) {
  Saeule s{4.0, 60.0, 30.0, 1500.0};
  s.Hx = Hx, s.Hy = Hy, s.n = 200;
  return s;
}

// The inclination L / 200 = 20 mm at the head leans the way the head deflects in first order, whichever way the wind
// blows; the column is then in equilibrium with it: each plane's foot moment is 1.5 H L + 1.35 x 1500 (deflection +
// imperfection at the head). For the wind of 80 kN along x that is 480 + 2025 (0.020 + 0.0319) = 585.1 kNm by hand
// (the inclination against the deflection gave 503 kNm, less than the 541 kNm of no imperfection at all).
TEST_F(ImperfectionCreepTest, InclinationLeansTheWayTheColumnDeflects) {
  const struct {
    const char* name;
    double Hx, Hy;
  } faelle[] = {{"wind +x", 80.0, 0.0},
                {"wind -x", -80.0, 0.0},
                {"wind +y", 0.0, 20.0},
                {"wind -y", 0.0, -20.0},
                {"wind oblique", 60.0, -15.0}};
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    CKolumoData in;
    Baue(in, Kragstuetze60x30(f.Hx, f.Hy));
    const auto out = HostCalc(in, "schief.tqx");
    const Kopf erste = KopfVon(*out, 0), zweite = KopfVon(*out, 3);
    const double r = std::hypot(erste.v, erste.w);
    ASSERT_GT(r, 0.1);
    // 20 mm along the first-order deflection; the records keep mm to the last digit of a double
    EXPECT_NEAR(zweite.v0, 20.0 * erste.v / r, 1e-6);
    EXPECT_NEAR(zweite.w0, 20.0 * erste.w / r, 1e-6);
    EXPECT_GT(zweite.v0 * zweite.v + zweite.w0 * zweite.w, 0.0) << "never against the deflection";
    double My = 0.0, Mx = 0.0;
    Fussmomente(*out, My, Mx);
    const double N = 1.35 * 1500.0;
    // within what the rounding of the member model's equilibrium allows: 0.1 %
    const double inX = std::fabs(1.5 * f.Hx * 4.0 + N * (zweite.w + zweite.w0) / 1000.0);
    const double inY = std::fabs(1.5 * f.Hy * 4.0 + N * (zweite.v + zweite.v0) / 1000.0);
    EXPECT_NEAR(std::fabs(My), inX, 1e-3 * inX + 0.05);
    EXPECT_NEAR(std::fabs(Mx), inY, 1e-3 * inY + 0.05);
    if (f.Hx == 80.0) {
      EXPECT_NEAR(std::fabs(My), 585.1, 0.5);  // the head deflection read as 31.9 mm
    }
  }
}

// The report says the inclination is set "in Richtung der extr. resultierenden Verformung", and its table of
// deformations with imperfections shows it so: at the head u and u0 have the same sign, u0 = L / 200 = 20.00 mm.
TEST_F(ImperfectionCreepTest, ReportSaysAndShowsTheInclinationWithTheDeflection) {
  CKolumoData in;
  Baue(in, Kragstuetze60x30(-80.0, 0.0));
  in.num_KNSW_Verform = 1;
  in.num_System = 1;
  in.graf_System = 0;
  HostCalc(in, "bericht.tqx");
  const std::string text = HostReport("bericht.tqx");
  EXPECT_NE(text.find("= 1/200 = 0.500 %, die in Richtung der extr. resultierenden Verformung angesetzt wird."),
            std::string::npos)
      << text;
  const std::size_t tabelle = text.find("Verformungen mit Vorverformungen");
  ASSERT_NE(tabelle, std::string::npos) << text;
  // the head's row: "0.00|w|v|v0|u|u0|..." after the table's unit row
  const std::size_t zeile = text.find("\n0.00|", text.find("[‰]", tabelle));
  ASSERT_NE(zeile, std::string::npos) << text.substr(tabelle);
  std::vector<std::string> zellen;
  std::size_t a = zeile + 1;
  for (std::size_t b; zellen.size() < 6 && (b = text.find('|', a)) != std::string::npos; a = b + 1)
    zellen.push_back(text.substr(a, b - a));
  ASSERT_EQ(zellen.size(), 6u) << text.substr(zeile, 200);
  const double u = std::stod(zellen[4]), u0 = std::stod(zellen[5]);
  EXPECT_LT(u, 0.0);  // the wind blows towards -x
  EXPECT_EQ(zellen[5], "-20.00");
  EXPECT_GT(u * u0, 0.0);
}

}  // namespace
