// Which calculated results the results page offers: the combinations of a construction stage with the number of the
// records the calculation wrote for each, and per combination kind the tree of result quantities, each leaf a
// four-digit code naming a record kind and one of its columns (thousands: record type, hundreds: record kind,
// units: column).
#pragma once

#include <map>
#include <vector>

#include "column/kolumodata.h"

// Kinds of the combination tree.
enum ErgebnisArt { kArtKeine = 0, kArtEd = 1, kArtEdA = 2, kArtGebrauch = 3, kArtBrand = 4, kArtErfAs = 5 };

struct KombiEintrag {
  CString pfad;    // "group \LK [n],art"
  int code = 0;    // kind x 10000 + number shown
  int satzLK = 0;  // LK of the records written for this combination; 0: none were written
};

struct KombiBaum {
  std::vector<KombiEintrag> eintraege;  // in insertion order
  bool ueberlauf = false;               // more than 9999 in a group: the rest left out
  CString erstesEd;                     // path of the stage's first "Ed" combination, empty when none
};

// The combinations of `stufe` as the tree lists them. The numbers shown count on from the earlier stages; satzLK
// follows how the calculation numbers its records: "Ed" of all stages with load cases first, then the "Ed,A" of the
// stages with an accidental action, the fire combinations after the final system's "Ed", "Ed,perm" on their own.
// Of the serviceability combinations only "Ed,perm" is listed, numbered as its records: the calculation checks no
// other.
KombiBaum BaueKombinationen(const CKolumoData& data, int stufe);

struct ErgebnisBlatt {
  CString pfad;  // translated "group\subgroup\leaf" or "group\leaf"
  int code = 0;
};

// The quantities of `art` whose record for combination lk (record numbering) of `stufe` exists and holds a value for
// every station; catalogue order. Kinds other than 1-4 have none.
std::vector<ErgebnisBlatt> ErgebnisBlaetter(const CResultContainer& erg, int art, int lk, int stufe);

// One column of one record with its stations; empty pointers when the code names nothing of the kind or the record
// does not exist.
struct ErgebnisSpalte {
  const std::vector<double>* kote = nullptr;
  const std::vector<double>* werte = nullptr;
  bool punktWerte = false;  // support forces or foundation loads
};
ErgebnisSpalte SucheSpalte(const CResultContainer& erg, int art, int code, int lk, int stufe);

// Largest and smallest value; both 0 for no values.
void Extremwerte(const std::vector<double>& werte, double& groesster, double& kleinster);
