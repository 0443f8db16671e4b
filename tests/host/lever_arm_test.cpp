// A section whose design state has no tension resultant has no lever arm: the shear checks take 0.9 d with the
// code's caps, as at a section without moment, so that mirrored loads on a doubly symmetric section give the same
// VRd,max, stirrups and exit status. Each case runs through `kolumo calc` and `kolumo report`.
#include <cmath>
#include <cstdio>

#include "tests/host/strut_position.h"

namespace {

using namespace host_test;
using namespace strut_test;

struct Fall {
  const char* name;
  int iNorm;
  Form form;
  double n;       // kN, compression at the head
  double h;       // kN, horizontal at the head (along X)
  double m;       // kNm, head moment in the same plane
  double vrdmax;  // kN at every row
  double asb;     // cm2/m at every row
};

// A cantilever of 0.2 m in four members, fixed at the foot, without imperfection, loaded at its head by N, H and M
// of load case 1 in the combination "Ed" 1.00*(1); `spiegel` -1 mirrors H and M.
void Kragarm(CKolumoData& d, const Fall& f, double spiegel) {
  d.version = 2012.01;
  d.iNorm = f.iNorm;
  d.InitStages(column_test::FormingNorm(f.iNorm));
  d.sBeton = "C30/37";
  d.sStahl = f.iNorm == 0 ? "BSt 500 SB" : "B500B";
  d.SetFieldCount(1);
  d.fieldLengths[0] = 0.2;
  CKolumoQuer& s = d.querschnitte[0];
  s.teilung = 4;
  s.theta = 45.0;
  if (f.form == Form::Rechteck) {
    s.bx = s.dy = 40.0;
    s.bdx = s.bdy = 4.5;
    s.as = 3.14159265358979;
  } else {
    RunderQuerschnitt(s, f.form);
  }
  column_test::FixFootWithoutImperfection(d, 0);
  d.loads[0].Add(column_test::PointLoad(1, 0, column_test::kAxial, f.n));
  Load kopf = column_test::PointLoad(1, 0, column_test::kX, spiegel * f.h);
  kopf.val1 = spiegel * f.m;
  d.loads[0].Add(kopf);
  column_test::SetActions(d, 0, {column_test::Action(1, 0)});
  column_test::AddCombination(d, 0, "Ed", "1.00*(1)");
  d.num_KNSW_Schub = 1;
  d.num_ErfAs = 1;
}

// Hand figures. The cantilever's shear is H at every row; its moment falls from M at the head to M - 0.2 H at the
// foot without changing sign, and N keeps every section fully compressed (e = M/N at most 0.044 m in a 40 x 40,
// 0.033 m in the circle, 0.024 m in the ring): the design state has no tension resultant. The lever arm is then
// 0.9 d with the code's caps at every row, whatever the sign of M; cot theta = tan theta = 1; fyd = 500/1.15 =
// 434.78 N/mm2. (Before, the tensile sum taken as 1 kN at the top face gave z = h/2 +- e: 0.244 to 0.209 m in the
// 40 x 40 under EC2, 515 to 440 kN, exit 3; mirrored 0.9 d in the upper rows and 386 kN below, exit 3.)
//   40 x 40, bars of 20 mm at 4.5 cm: d = 0.355 m, 0.9 d = 0.3195 m, bw = 0.40 m.
//     EC2 and its UK annex: fcd = 20, nu = 0.6 (1 - 30/250) = 0.528; VRd,max = 0.528 x 0.3195 x 0.40 x 20/2 =
//       674.78 kN; stirrups 0.600/(0.3195 x 434.78) = 43.19 cm2/m; with H = 700: 700 > 674.78 at every row.
//     German annex: fcd = 17, nu1 = 1, z = min(0.3195, d - 2 x 0.045 = 0.265, d - 0.045 - 0.03 = 0.28) = 0.265;
//       VRd,max = 0.75 x 0.265 x 0.40 x 17/2 = 675.75 kN; stirrups 0.600/(0.265 x 434.78) = 52.08 cm2/m.
//     DIN 1045-1: fcd = 17, cv = 4.5 - 1.0 = 3.5 cm, z = min(0.3195, max(d - 0.07, d - 0.035 - 0.03)) = 0.29;
//       VRd,max = 0.75 x 0.40 x 0.29 x 17/2 = 739.50 kN; stirrups 0.600/(0.29 x 434.78) = 47.59 cm2/m.
//     SIA 262: fcd = 20, z = 0.3195; VRd,max = 0.6 fcd bw z sin cos = 0.6 x 20 x 0.40 x 0.3195 x 0.5 = 766.80 kN;
//       stirrups 0.600/(0.3195 x 434.78) = 43.19 cm2/m.
//   Circle D 50 and ring 50/20 with 20 bars on rs = 0.20 m: d = r + 2 rs/pi = 0.377324 m, z = 0.9 d = 0.339592 m;
//     bw 0.50 (circle), 0.30 (the ring's two walls). EC2: VRd,max = 0.528 x 0.339592 x 0.50 x 10 = 896.52 kN,
//     stirrups 0.800/(0.339592 x 434.78) = 54.18 cm2/m; French annex, ring: 0.528 x 0.339592 x 0.30 x 10 =
//     537.91 kN, stirrups 0.450/(0.339592 x 434.78) = 30.48 cm2/m.
const Fall kFaelle[] = {
    {"EC2, 40 x 40", 1, Form::Rechteck, 3375.0, 600.0, 148.5, 674.784, 43.19},
    {"EC2, 40 x 40, 700 > 674.78", 1, Form::Rechteck, 3375.0, 700.0, 148.5, 674.784, -1.0},
    {"EC2 UK annex, 40 x 40", 12, Form::Rechteck, 3375.0, 600.0, 148.5, 674.784, 43.19},
    {"EC2 German annex, 40 x 40", 10, Form::Rechteck, 3375.0, 600.0, 148.5, 675.75, 52.08},
    {"DIN 1045-1, 40 x 40", 0, Form::Rechteck, 3375.0, 600.0, 148.5, 739.50, 47.59},
    {"SIA 262, 40 x 40", 2, Form::Rechteck, 3375.0, 600.0, 148.5, 766.80, 43.19},
    {"EC2, circle D 50", 1, Form::Kreis, 3000.0, 800.0, 100.0, 896.52, 54.18},
    {"EC2 French annex, ring 50/20", 11, Form::Ring, 2500.0, 450.0, 60.0, 537.91, 30.48},
};

TEST_F(StrutTest, FullyCompressedSectionTakesTheLeverArmOfASectionWithoutMoment) {
  for (const Fall& f : kFaelle) {
    SCOPED_TRACE(f.name);
    const bool versagt = f.h > f.vrdmax;
    std::vector<std::vector<std::string>> gespiegelt;
    // ASSERT leaves one load direction, not the table
    auto pruefe = [&](double spiegel) {
      SCOPED_TRACE(spiegel);
      const std::string path = Position("hebel.tqx", [&](CKolumoData& d) { Kragarm(d, f, spiegel); });
      const HostRun calc = Host({"calc", path});
      EXPECT_EQ(calc.status, versagt ? 3 : 0) << calc.out << calc.err;
      // a crushing strut at every height, each with the hand figure
      const std::vector<Zeile> zeilen = StrebenZeilen(calc.out);
      ASSERT_EQ(zeilen.size(), versagt ? 5u : 0u) << calc.out;
      for (std::size_t i = 0; i < zeilen.size(); ++i) {
        EXPECT_NEAR(zeilen[i].kote, 0.05 * double(i), 0.005);
        EXPECT_NEAR(zeilen[i].vrdmax, f.vrdmax, 0.05 + 1e-3) << zeilen[i].kote;
      }

      const std::vector<std::vector<std::string>> schub = SchubZeilen(ReportText(path));
      ASSERT_EQ(schub.size(), 8u);
      for (const std::vector<std::string>& zeile : schub) {
        SCOPED_TRACE(zeile[0]);
        EXPECT_NEAR(std::stod(zeile[1]), f.h, 0.005 + 1e-9);
        EXPECT_NEAR(std::stod(zeile[4]), f.vrdmax, 0.005 + 1e-3);
        if (versagt)
          EXPECT_EQ(zeile[5], "nicht erfüllt");
        else
          EXPECT_NEAR(std::stod(zeile[5]), f.asb, 0.005 + 1e-2);
      }
      if (gespiegelt.empty())
        gespiegelt = schub;
      else
        EXPECT_EQ(schub, gespiegelt) << "mirrored loads on a doubly symmetric section give the same table";
    };
    pruefe(1.0);
    pruefe(-1.0);
  }
}

}  // namespace
