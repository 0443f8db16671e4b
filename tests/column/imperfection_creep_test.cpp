// Imperfections by inclination and the creep of a column's imperfection, calculated by the host program ("kolumo
// calc", "kolumo report") on columns built here: an inclination leans the way the column deflects, the creep run
// creeps the imperfection with the permanent load, and what creep does to a column is held against a general
// method written here apart from the engine.
#include <gtest/gtest.h>

#include <algorithm>
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

// ---- a general method, apart from the engine ---------------------------------------------------------------------

// A section bent in one plane: concrete fibres and bars at their distance z (m) from the centroid, with their areas
// (m2).
struct Faser {
  double z, a;
};
struct Querschnitt {
  std::vector<Faser> beton, stahl;
};

// A square of side a bent parallel to a side, four corner bars of `bar` (m2) at c (m) from both faces.
Querschnitt Quadrat(double a, double c, double bar) {
  Querschnitt q;
  const int n = 100;
  for (int i = 0; i < n; ++i) q.beton.push_back({-a / 2 + (i + 0.5) * a / n, a * a / n});
  q.stahl = {{a / 2 - c, 2 * bar}, {-(a / 2 - c), 2 * bar}};
  return q;
}

// The same square bent about its diagonal d = a sqrt 2: the fibres across it are 2 (d/2 - |z|) wide; of the four
// corner bars one lies on each side, two on the axis.
Querschnitt QuadratUeberEck(double a, double c, double bar) {
  Querschnitt q;
  const double d = a * std::sqrt(2.0);
  const int n = 200;
  for (int i = 0; i < n; ++i) {
    const double z = -d / 2 + (i + 0.5) * d / n;
    q.beton.push_back({z, 2 * (d / 2 - std::fabs(z)) * d / n});
  }
  const double e = (a / 2 - c) * std::sqrt(2.0);
  q.stahl = {{e, bar}, {0.0, 2 * bar}, {-e, bar}};
  return q;
}

// Design values of C30/37 and B500B (kN, m): the parabola-rectangle law fcd (1 - (1 - eps/eps_c2)^2) with fcd =
// 30 / 1.5 MPa, eps_c2 = 2.0 and eps_cu2 = 3.5 per mille, no tension, its strains stretched by 1 + phi_ef for
// creep; elastic-plastic steel, fyd = 500 / 1.15 MPa.
struct Baustoffe {
  double fcd = 20000.0, epsC2 = 0.0020, epsCu2 = 0.0035;
  double fyd = 500000.0 / 1.15, Es = 200.0e6;
  double phiEf = 0.0;
  double Beton(double eps) const {
    const double s = eps / (1.0 + phiEf);
    if (s <= 0.0) return 0.0;
    if (s >= epsC2) return fcd;
    const double t = 1.0 - s / epsC2;
    return fcd * (1.0 - t * t);
  }
  double Stahl(double eps) const { return std::clamp(Es * eps, -fyd, fyd); }
};

// The moment (kNm) that carries compression N (kN) at curvature k (1/m), compressive strains positive; false when
// no strain plane within the concrete's limit carries N.
bool Moment(const Querschnitt& q, const Baustoffe& m, double N, double k, double& M) {
  double zMax = 0.0;
  for (const Faser& f : q.beton) zMax = std::max(zMax, f.z);
  auto kraft = [&](double e0) {
    double F = 0.0;
    for (const Faser& f : q.beton) F += m.Beton(e0 + k * f.z) * f.a;
    for (const Faser& f : q.stahl) F += m.Stahl(e0 + k * f.z) * f.a;
    return F;
  };
  double lo = -0.05, hi = m.epsCu2 * (1.0 + m.phiEf) - k * zMax;
  if (kraft(hi) < N) return false;
  for (int i = 0; i < 60; ++i) {
    const double mitte = 0.5 * (lo + hi);
    (kraft(mitte) < N ? lo : hi) = mitte;
  }
  M = 0.0;
  for (const Faser& f : q.beton) M += m.Beton(hi + k * f.z) * f.a * f.z;
  for (const Faser& f : q.stahl) M += m.Stahl(hi + k * f.z) * f.a * f.z;
  return true;
}

// A cantilever of length L fixed at its foot, with N (compression) and H at its head and an initial inclination
// psi, cut into 90 slices. The curvature of each slice comes from the rising branch of the moment-curvature line at
// N, the deflection is integrated from the foot, and this goes on until the deflection stays. Returns the foot
// moment H L + N (deflection + imperfection at the head), or NaN where there is no equilibrium (a moment beyond the
// section's largest).
double FussmomentAllgemein(const Querschnitt& q, const Baustoffe& m, double L, double N, double H, double psi) {
  std::vector<double> ks{0.0}, ms{0.0};
  double M = 0.0;
  if (!Moment(q, m, N, 0.0, M)) return std::nan("");
  for (double k = 1e-5; Moment(q, m, N, k, M) && M > ms.back(); k += 1e-5) {
    ks.push_back(k);
    ms.push_back(M);
  }
  const int n = 90;
  const double dx = L / n;
  std::vector<double> y(n + 1, 0.0), k(n + 1, 0.0);
  for (int schritt = 0; schritt < 5000; ++schritt) {
    const double kopf = y[n] + psi * L;
    for (int i = 0; i <= n; ++i) {
      const double Mi = H * (L - i * dx) + N * (kopf - y[i] - psi * i * dx);
      if (Mi > ms.back()) return std::nan("");
      const std::size_t j = std::size_t(std::upper_bound(ms.begin(), ms.end(), Mi) - ms.begin());
      k[i] = j == 0 ? 0.0 : ks[j - 1] + (ks[j] - ks[j - 1]) * (Mi - ms[j - 1]) / (ms[j] - ms[j - 1]);
    }
    double neigung = 0.0, yNeu = 0.0, aenderung = 0.0;
    for (int i = 1; i <= n; ++i) {
      const double neigungNeu = neigung + 0.5 * (k[i - 1] + k[i]) * dx;
      yNeu += 0.5 * (neigung + neigungNeu) * dx;
      neigung = neigungNeu;
      aenderung = std::max(aenderung, std::fabs(yNeu - y[i]));
      y[i] = yNeu;
    }
    if (aenderung < 1e-9) return H * L + N * (y[n] + psi * L);
  }
  return std::nan("");
}

// The general method against the hand figure of an elastic cantilever: without bars, under N = 50 kN and H = 0.5 kN
// on 3 m, the concrete stays near the origin of its parabola (0.05 per mille), whose tangent 2 fcd / eps_c2 gives
// EI = 2 x 20 / 0.002 MPa x 0.3^4 / 12 = 13500 kNm2; the head deflects by H (tan kL - kL) / (N k), k = sqrt(N / EI).
// The parabola's secant is 1 - eps / (2 eps_c2) of its tangent, about 1 % less at the foot: 2 % of the deflection.
// Creep phi_ef = 1 stretches the strains twice as far: EI / 2. Beyond the squash load (0.09 m2 x 20 MPa = 1800 kN)
// there is no equilibrium.
TEST(GeneralMethod, ElasticCantileverAsByHand) {
  Baustoffe m;
  Querschnitt q = Quadrat(0.30, 0.04, 0.0);
  q.stahl.clear();
  const double N = 50.0, H = 0.5, L = 3.0;
  for (double phiEf : {0.0, 1.0}) {
    SCOPED_TRACE(phiEf);
    m.phiEf = phiEf;
    const double EI = 2.0 * m.fcd / m.epsC2 * std::pow(0.30, 4) / 12.0 / (1.0 + phiEf);
    const double k = std::sqrt(N / EI);
    const double kopf = H * (std::tan(k * L) - k * L) / (N * k);
    EXPECT_NEAR(FussmomentAllgemein(q, m, L, N, H, 0.0), H * L + N * kopf, 0.02 * N * kopf);
  }
  EXPECT_TRUE(std::isnan(FussmomentAllgemein(q, m, L, 1900.0, 0.0, 0.0)));
}

// ---- calculated and reported by the host program ---------------------------------------------------------------

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

// A square column of the issue: 30 x 30 cm, 4.5 m, 600 kN permanent and centric, the inclination 1/150; with creep
// phi on the permanent load case (imperfection kind 2) or without (kind 0).
Saeule ZentrischeStuetze(double phi) {
  Saeule s{4.5, 30.0, 30.0, 600.0};
  s.art = phi > 0.0 ? 2 : 0;
  s.phi = phi;
  return s;
}

// A permanent load without a moment still creeps: its imperfection does. Without creep the square column leans
// 30 mm along its diagonal (the two equal modes share it) and the foot takes 810 kN on that lean and its deflection;
// with phi = 2 the creep run bends it further, the foot moment grows, and the bars must grow too: the general method
// (here with phi_ef = phi x M0Eqp / M0Ed = 2 / 1.35, the imperfection's moments under 600 and 810 kN) finds no
// equilibrium with the four bars of 3.14 cm2 at all, and with the bars the engine gives, less moment than the engine.
// The buckling eigenvalue of the creep runs' column is that without creep over 1 + phi: the eigenvalue run takes the
// modulus E / (1 + phi) as the creep run does.
TEST_F(ImperfectionCreepTest, CentricPermanentLoadCreepsWithItsImperfection) {
  CKolumoData ohne, mit;
  Baue(ohne, ZentrischeStuetze(0.0));
  Baue(mit, ZentrischeStuetze(2.0));
  const auto a = HostCalc(ohne, "ohne.tqx");
  const auto b = HostCalc(mit, "mit.tqx");
  const double M0 = Fussmoment(*a), M2 = Fussmoment(*b);
  const Kopf kopf0 = KopfVon(*a, 3);
  EXPECT_NEAR(std::hypot(kopf0.v0, kopf0.w0), 30.0, 1e-6);
  // the creep run's head deflection: 0 before its imperfection crept
  const CResultVerformung* kriechen = Find(b->ergebnisse.Verformung, 2);
  ASSERT_NE(kriechen, nullptr);
  const double kriechKopf = std::hypot(kriechen->v.front(), kriechen->u.front());
  EXPECT_GT(kriechKopf, 10.0);
  // the creep share phi / (1 + phi) of it joins the lean in the direction it crept
  const Kopf kopf2 = KopfVon(*b, 3);
  EXPECT_NEAR(std::hypot(kopf2.v0, kopf2.w0), 30.0 + 2.0 / 3.0 * kriechKopf, 1e-3);
  EXPECT_GT(M2, 1.2 * M0);
  EXPECT_GT(Bewehrung(*b), Bewehrung(*a));
  Baustoffe m;
  m.phiEf = 2.0 / 1.35;
  EXPECT_TRUE(std::isnan(FussmomentAllgemein(QuadratUeberEck(0.30, 0.04, 3.14e-4), m, 4.5, 810.0, 0.0, 1 / 150.0)));
  const double allgemein =
      FussmomentAllgemein(QuadratUeberEck(0.30, 0.04, Bewehrung(*b) / 4.0 * 1e-4), m, 4.5, 810.0, 0.0, 1 / 150.0);
  ASSERT_FALSE(std::isnan(allgemein));
  EXPECT_LE(allgemein, M2);

  const CResultVerformung* eigenOhne = Find(a->ergebnisse.Verformung, 4);
  const CResultVerformung* eigenMit = Find(b->ergebnisse.Verformung, 4);
  ASSERT_TRUE(eigenOhne && eigenMit);
  ASSERT_GT(eigenMit->Eigen[0], 0.0);
  EXPECT_NEAR(eigenOhne->Eigen[0] / eigenMit->Eigen[0], 1.0 + 2.0, 1e-4);
}

// Creep of a square 30 x 30 cm column of 3 m against the general method, on the steel the engine leaves, with and
// without a permanent moment: 600 kN permanent and centric or with 10 kN (or 5 kN and 10 kN of wind) at the head, the
// inclination 1/150. The general method takes phi_ef = phi x M0Eqp / M0Ed with the first-order moments at the foot,
// imperfection included (the quasi-permanent load is the permanent one), creep as the concrete's strains stretched
// by 1 + phi_ef. The engine must not come out below it (0.5 % for the method's slices and fibres). It comes out above
// it by what its own method adds: its stiffness law peaks at eps_c1 = 2.2 per mille, not 2.0 (about 2 % on these
// columns without creep), and its creep run divides the stiffness of the whole section, bars included, by 1 + phi
// and keeps phi / (1 + phi) of that long-term deflection as a further imperfection that the design load then
// amplifies (up to a tenth more on these columns, at phi_ef up to 0.5): 12 % at most.
TEST_F(ImperfectionCreepTest, CreepAsTheGeneralMethodHasIt) {
  const struct {
    const char* name;
    double Hg, Hq, phi;
  } faelle[] = {
      {"centric", 0.0, 0.0, 0.0},          {"centric, creep", 0.0, 0.0, 0.675}, {"moment", 10.0, 0.0, 0.0},
      {"moment, creep", 10.0, 0.0, 0.675}, {"moment, wind", 5.0, 10.0, 0.0},    {"moment, wind, creep", 5.0, 10.0, 1.0},
  };
  const double L = 3.0, G = 600.0, psi = 1.0 / 150.0;
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    Saeule saeule{L, 30.0, 30.0, G};
    saeule.Hg = f.Hg, saeule.Hx = f.Hq, saeule.art = f.phi > 0.0 ? 2 : 0, saeule.phi = f.phi;
    CKolumoData in;
    Baue(in, saeule);
    const auto out = HostCalc(in, "vergleich.tqx");
    const double engine = Fussmoment(*out);
    const double N = 1.35 * G, H = 1.35 * f.Hg + 1.5 * f.Hq;
    Baustoffe m;
    m.phiEf = f.phi * (f.Hg * L + G * psi * L) / (H * L + N * psi * L);
    // centric, the two equal modes lean the square along its diagonal; a head force leans it along x
    const double bar = Bewehrung(*out) / 4.0 * 1e-4;
    const Querschnitt qs = H == 0.0 ? QuadratUeberEck(0.30, 0.04, bar) : Quadrat(0.30, 0.04, bar);
    const double allgemein = FussmomentAllgemein(qs, m, L, N, H, psi);
    ASSERT_FALSE(std::isnan(allgemein));
    EXPECT_GE(engine, 0.995 * allgemein);
    EXPECT_LE(engine, 1.12 * allgemein);
  }
}

// An imperfection affine to the buckling mode with creep (kind 3): the creep share phi / (1 + phi) of the creep run's
// deflection joins the mode's amplitude L / 200, as it joins an inclination. 30 cm along x and 60 cm along y, so the
// lowest mode and the permanent head force of 10 kN both bend it along x; 3 m, 600 kN, phi = 1.
TEST_F(ImperfectionCreepTest, CreepShareJoinsAnImperfectionAffineToTheMode) {
  Saeule saeule{3.0, 30.0, 60.0, 600.0};
  saeule.Hg = 10.0, saeule.art = 3, saeule.phi = 1.0;
  CKolumoData in;
  Baue(in, saeule);
  CKolumoVorver& v = in.vorver[0];
  v.bAusmitte = 1;
  v.invw = 0.5;  // per cent of the height: 15 mm
  const auto out = HostCalc(in, "affin.tqx");
  const CResultVerformung* kriechen = Find(out->ergebnisse.Verformung, 2);
  ASSERT_NE(kriechen, nullptr);
  const double kriechKopf = kriechen->u.front();
  EXPECT_GT(kriechKopf, 1.0);
  const Kopf kopf = KopfVon(*out, 3);
  EXPECT_NEAR(kopf.w0, 15.0 + 0.5 * kriechKopf, 1e-3);
  EXPECT_NEAR(kopf.v0, 0.0, 1e-3);
}

}  // namespace
