// Result collection of a calculation: after the engine has run every construction stage, its result areas are
// turned into the position's result records (CResultContainer), one record per combination and pass.
#pragma once

#include "engine/rechner.h"
#include "engine/results.h"

// Appends the records of the run to `out` (records already there stay in front). gbStart is the work-array
// combination index where the serviceability combinations begin: what RechneStuetze returned (on the first-order
// road, what RechneRegelNachweis returned). Reads the combination files again through the engine's combination
// set; shows no message. Returns 0.
int DruckeErgebnisse(CStuetzenRechner& rechner, int gbStart, CResultContainer& out);

// LOCAL WORKAROUND until the engine keeps them per combination in its work arrays: the engine's design objects and
// shear records hold the strain-check, ultimate-check, crack-check and shear values and the bending stiffnesses of
// the last analysis only. While it is installed, the verification seam is wrapped and these values are kept per
// analysis, keyed by the analysis mode and the element end forces that the engine then stores for the combination,
// so that the collection finds them again for every combination.
class NachweisMitschrift {
 public:
  // Installs the recording verification (StbNachweis_1 and SchubNachweis inside) and forgets what was kept; the
  // previous verification is installed again when the object ends.
  NachweisMitschrift();
  ~NachweisMitschrift();
  NachweisMitschrift(const NachweisMitschrift&) = delete;
  NachweisMitschrift& operator=(const NachweisMitschrift&) = delete;
};
