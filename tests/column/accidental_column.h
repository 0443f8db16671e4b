// A small column with an accidental combination in the transport stage and a fire combination in the final system,
// shared by the tests of the result slots and of the report that reads them.
#pragma once

#include "column/kolumodata.h"
#include "tests/column/calc_run_support.h"

namespace column_test {

// One field of 3 m, 40 x 40 cm, C30/37, B500B, four corner bars of 3.14 cm2, EC2 with the German annex, fixed at
// the foot in the final system and in the transport stage. Head loads (kN, x horizontal, axial downwards):
//   final system: load case 1 (permanent) N = 1000; with `accidentalFinal` also load case 2 (accidental) H = 50;
//                 "Ed" 1.35*(1), "Ed,A" 1.00*(1) (fire) or 1.00*(1)+1.00*(2) (accidental and fire);
//   transport:    load case 1 (permanent) N = 400, load case 2 (accidental) H = 30;
//                 "Ed" 1.35*(1), "Ed,A" 1.00*(1)+1.00*(2).
// Fire: R 30, exposed on more than one side.
struct AccidentalColumn {
  static constexpr double L = 3.0;
  static constexpr double NEnd = 1000.0, HEnd = 50.0, NTransport = 400.0, HTransport = 30.0;

  static void Stage(CKolumoData& d, int stage, bool accidental, const char* accidentalFormula) {
    if (accidental)
      SetActions(d, stage, {Action(1, 0), Action(2, 3)});  // permanent; accidental
    else
      SetActions(d, stage, {Action(1, 0)});
    AddCombination(d, stage, "Ed", "1.35*(1)");
    AddCombination(d, stage, "Ed,A", accidentalFormula);
    FixFootWithoutImperfection(d, stage);
  }

  static void Make(CKolumoData& d, bool accidentalFinal) {
    Cantilever(d, L, 10);  // EC2 with the German annex: the fire table of DIN EN 1992-1-2
    d.loads[0].Add(PointLoad(1, 2, NEnd));
    if (accidentalFinal) d.loads[0].Add(PointLoad(2, 0, HEnd));
    d.loads[1].Add(PointLoad(1, 2, NTransport));
    d.loads[1].Add(PointLoad(2, 0, HTransport));
    Stage(d, 0, accidentalFinal, accidentalFinal ? "1.00*(1)+1.00*(2)" : "1.00*(1)");
    Stage(d, 1, true, "1.00*(1)+1.00*(2)");
    d.num_Brand = 1;
    d.indexBrandKlasse = 0;
    d.indexBrandSeiten = 1;
  }
};

}  // namespace column_test
