// A small column with an accidental combination in the transport stage and a fire combination in the final system,
// shared by the tests of the result slots and of the report that reads them.
#pragma once

#include "column/kolumodata.h"

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

  static Load HeadLoad(int lc, int direction, double value) {
    Load load;
    load.lc = lc;
    load.ltype = 10;
    load.node = 0;
    load.direction = direction;
    load.bHasDirection = 1;
    load.val0 = value;
    load.LCGen.text.Format("%d", lc);
    load.LCGen.Parse();
    return load;
  }

  static void Stage(CKolumoData& d, int stage, bool accidental, const char* accidentalFormula) {
    CLKData& lk = d.lastUeberlagerungBZ[std::size_t(stage)];
    lk.einwirkungen.RemoveAll();
    lk.lastfaelle.RemoveAll();
    lk.kombinationen.RemoveAll();
    for (int nr = 1; nr <= (accidental ? 2 : 1); ++nr) {
      CEinwirkung e;
      e.nr = nr;
      e.indexGruppe = e.indexGruppeHHHH = nr == 1 ? 0 : 3;  // permanent; accidental
      lk.einwirkungen.Add(e);
      CLKLastfall row;
      row.lf = row.einw = nr;
      lk.lastfaelle.Add(row);
    }
    d.maxLF[std::size_t(stage)] = int(lk.lastfaelle.GetSize());
    for (const auto& [art, formel] : {std::pair{"Ed", "1.35*(1)"}, std::pair{"Ed,A", accidentalFormula}}) {
      CKombination k;
      k.art = art;
      k.regel = k.regelUser = formel;
      lk.kombinationen.Add(k);
    }
    CSupport& foot = d.supports[std::size_t(stage)][1];
    foot.cx = foot.cy = foot.cz = foot.cmx = foot.cmy = -1.0;
    d.vorver[std::size_t(stage)].type = 0;
    d.vorver[std::size_t(stage)].bDirekteVorgabe = 1;
  }

  static void Make(CKolumoData& d, bool accidentalFinal) {
    d.version = 2012.01;
    d.iNorm = 10;  // EC2 with the German annex: the fire table of DIN EN 1992-1-2
    d.InitStages(CKolumoData::KombiNormFuerNorm(d.iNorm));
    d.sBeton = "C30/37";
    d.sStahl = "B500B";
    d.SetFieldCount(1);
    d.fieldLengths[0] = L;
    CKolumoQuer& q = d.querschnitte[0];
    q.bx = q.dy = 40.0;
    q.bdx = q.bdy = 4.0;
    q.as = 3.14;
    q.teilung = 4;
    d.loads[0].Add(HeadLoad(1, 2, NEnd));
    if (accidentalFinal) d.loads[0].Add(HeadLoad(2, 0, HEnd));
    d.loads[1].Add(HeadLoad(1, 2, NTransport));
    d.loads[1].Add(HeadLoad(2, 0, HTransport));
    Stage(d, 0, accidentalFinal, accidentalFinal ? "1.00*(1)+1.00*(2)" : "1.00*(1)");
    Stage(d, 1, true, "1.00*(1)+1.00*(2)");
    d.num_Brand = 1;
    d.indexBrandKlasse = 0;
    d.indexBrandSeiten = 1;
  }
};

}  // namespace column_test
