// The least bar of every rectangular layout: the calculation raises each of the 4 or 8 entered bars to the code's
// least bar, so that `kolumo calc`'s line, the report's rule "Mindestens n Dxx", the steel to be built and the
// verdict on the entered bars agree.
#include <cstdio>

#include "tests/host/strut_position.h"

namespace {

using namespace host_test;
using namespace strut_test;

// The shear column (strut_position.h) under a light load, q = 10 kN/m (M = 1.35 x 10 x 0.6^2/8 = 0.61 kNm at
// mid-height, no axial load), with a square section and bars at 4 cm from the faces.
struct Fall {
  const char* name;
  int iNorm;
  double seite;    // cm
  int layout;      // 0: 4 bars, 1: 8 bars
  double asStab;   // cm2 per bar as entered
  int stabe;       // bars of the layout
  double eingabe;  // cm2 entered
  double bauen;    // cm2 to be built
  const char* regel;
};

// Hand figures: the least bar is 12 mm (1.13 cm2) under DIN 1045-1 and the German, French and UK annexes, 8 mm
// (0.50 cm2) under EC2 and SIA 262; a layout is at least its bar count times that bar. The code minimum stays below
// it: max(0.15 |N|/fyd = 0, 0.003 Ac) = 1.20 (20 x 20) or 1.875 cm2 (25 x 25) under DIN 1045-1, 0.002 Ac = 0.80 or
// 1.25 under EC2 and its annexes, 0.006 Ac = 3.75 cm2 (25 x 25) under SIA 262.
//   4 bars of 8 mm (0.50 cm2, 2.00 in all): 4 x 1.13 = 4.52 cm2.   8 bars of 8 mm (4.00): 8 x 1.13 = 9.04 cm2.
//   EC2, 4 bars of 6 mm (0.28 cm2, 1.12 in all): 4 x 0.50 = 2.00.  SIA 262, 8 bars of 6 mm (2.24): 8 x 0.50 = 4.00.
//   EC2, 4 bars of 0.503 cm2 (2.01 in all), above the least bar: built as entered.
const Fall kFaelle[] = {
    {"DIN 1045-1, 4 bars", 0, 20.0, 0, 0.50, 4, 2.00, 4.52, "Mindestens 4 D12 für Querschnitt: 1\n"},
    {"DIN 1045-1, 8 bars", 0, 25.0, 1, 0.50, 8, 4.00, 9.04, "Mindestens 8 D12 für Querschnitt: 1\n"},
    {"German annex, 4 bars", 10, 20.0, 0, 0.50, 4, 2.00, 4.52, "Mindestens 4 D12 für Querschnitt: 1\n"},
    {"French annex, 8 bars", 11, 25.0, 1, 0.50, 8, 4.00, 9.04, "Mindestens 8 D12 für Querschnitt: 1\n"},
    {"UK annex, 4 bars", 12, 20.0, 0, 0.50, 4, 2.00, 4.52, "Mindestens 4 D12 für Querschnitt: 1\n"},
    {"EC2, 4 bars of 6 mm", 1, 20.0, 0, 0.28, 4, 1.12, 2.00, "Mindestens 4 D8 für Querschnitt: 1\n"},
    {"EC2, 4 bars above the least bar", 1, 20.0, 0, 0.503, 4, 2.012, 2.012, "Mindestens 4 D8 für Querschnitt: 1\n"},
    {"SIA 262, 8 bars of 6 mm", 2, 25.0, 1, 0.28, 8, 2.24, 4.00, "Mindestens 8 D8 für Querschnitt: 1\n"},
};

TEST_F(StrutTest, EveryLayoutIsRaisedToItsBarCountTimesTheLeastBar) {
  for (const Fall& f : kFaelle) {
    SCOPED_TRACE(f.name);
    const std::string path = Position("stab.tqx", [&](CKolumoData& d) {
      ScherStuetze(d, f.iNorm, 10.0);
      CKolumoQuer& s = d.querschnitte[0];
      s.bx = s.dy = f.seite;
      s.bdx = s.bdy = 4.0;
      s.bewType = f.layout;
      s.as = f.asStab;
    });
    const HostRun calc = Host({"calc", path});
    ASSERT_EQ(calc.status, 0) << calc.out << calc.err;
    const bool reicht = f.bauen <= f.eingabe;
    char zeile[200];
    std::snprintf(zeile, sizeof zeile, "field 1: entered %d bars, %.2f cm2; to be built %.2f cm2; %s\n", f.stabe,
                  f.eingabe, f.bauen,
                  reicht ? "the entered bars suffice" : "the entered bars do NOT suffice, the design raised them");
    EXPECT_NE(calc.out.find(zeile), std::string::npos) << zeile << "\n" << calc.out;

    const std::string text = ReportText(path);
    EXPECT_NE(text.find(f.regel), std::string::npos) << f.regel;
    const std::string feldZeile = AbschlussZeile(text, 1);
    char zellen[120];
    std::snprintf(zellen, sizeof zellen, "|%.2f|%.2f|%.2f|%s|", f.bauen, f.bauen, f.eingabe,
                  reicht ? "reicht aus" : "reicht nicht aus");
    EXPECT_NE(feldZeile.find(zellen), std::string::npos) << zellen << "\n" << feldZeile;
    if (!reicht) {
      std::snprintf(zeile, sizeof zeile,
                    "Feld 1: Die eingegebene Bewehrung (%d Stäbe, %.2f cm²) reicht nicht aus; die Bemessung hat sie "
                    "auf %.2f cm² erhöht.",
                    f.stabe, f.eingabe, f.bauen);
      EXPECT_NE(text.find(zeile), std::string::npos) << zeile << "\n" << text;
    }
  }
}

}  // namespace
