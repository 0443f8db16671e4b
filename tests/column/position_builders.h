// Loads, actions and output scope of a column position, as the input dialog would enter them: shared by the tests
// that calculate and by the programs that write the example, its template and the regression columns.
#pragma once

#include "column/kolumodata.h"
#include "designcode/designcode.h"

namespace column_test {

// Directions of a load: 0 x, 1 y, 2 along the axis (downwards).
enum { kX = 0, kY = 1, kAxial = 2 };

// A point load (kN) of load case `lc` at `node` (0 the head) in `direction`; its list of generated load cases
// names that case alone.
inline Load PointLoad(int lc, int node, int direction, double value, const char* desc = "") {
  Load load;
  load.lc = lc;
  load.ltype = 10;  // "Einzellast/Moment"
  load.node = node;
  load.direction = direction;
  load.bHasDirection = 1;
  load.val0 = value;
  load.LCGen.text.Format("%d", lc);
  load.LCGen.Parse();
  load.desc = desc;
  return load;
}

// A uniform line load (kN/m) over `lengthM` from the head of field `field`.
inline Load LineLoad(int lc, int field, double lengthM, int direction, double kNPerM, const char* desc = "") {
  Load load;
  load.lc = lc;
  load.ltype = 0;  // "Gleichlast"
  load.node = field;
  load.direction = direction;
  load.bHasDirection = 1;
  load.offset = 0.0;
  load.length = lengthM;
  load.val0 = kNPerM;
  load.LCGen.text.Format("%d", lc);
  load.LCGen.Parse();
  load.desc = desc;
  return load;
}

// The own weight (25 kN/m3) in load case `lc`.
inline Load OwnWeight(int lc) {
  Load load;
  load.lc = lc;
  load.ltype = 11;  // "Eigengewicht"
  load.val0 = 25.0;
  load.LCGen.text.Format("%d", lc);
  load.LCGen.Parse();
  load.desc = "Eigengewicht Stütze";
  return load;
}

// An action of group `gruppe` (0 permanent, 1 additive, 2 alternative, 3 accidental) and category `kategorie`.
inline CEinwirkung Action(int nr, int gruppe, int kategorie = 0) {
  CEinwirkung a;
  a.nr = nr;
  a.indexGruppe = a.indexGruppeHHHH = gruppe;
  a.indexKategorie = kategorie;
  return a;
}

// The report's chapters of the shipped example, which a new position starts with too (the template of its default
// input is written with them): the input, the ultimate and buckling results, cracks and the required reinforcement,
// with the system, the buckling forces and the reinforcement drawn 12 cm wide.
inline void ExampleOutputScope(CKolumoData& d) {
  d.num_System = 1;
  d.num_Regel_Lager = 1;
  d.num_Regel_Schnitt = 1;
  d.num_KNSW_Eigen = 1;
  d.num_KNSW_Lager = 1;
  d.num_KNSW_Verform = 1;
  d.num_KNSW_Schnitt = 1;
  d.num_KNSW_Bruch = 1;
  d.num_KNSW_Schub = 1;
  d.num_Riss = 1;
  d.num_ErfAs = 1;
  d.BildBreite = 12.0;
  d.graf_System = 1;
  d.graf_KNSW_Schnitt = 1;
  d.graf_ErfAs = 1;
}

// The combination norm under which the loads page forms the combinations of a column under the code `iNorm`; for
// most codes not the one a reset position's stages start with.
inline int FormingNorm(int iNorm) {
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  return code ? code->formingNorm : 0;
}

}  // namespace column_test
