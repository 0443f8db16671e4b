// Combination files: the load combinations of one construction stage, handed to the engine as a small text
// file (base path + ".Vrb21Lk" + kind + stage + ".dat"). The text is the engine's own combination-set format,
// made by the engine's entry from plain values: what is written here is what the engine reads. The base path lies in a scratch folder of
// the calculation's own, so that no other calculation (a position whose name differs only by case, a second run
// of the same position) reads or removes these files.
#pragma once

#include <string>

#include "platform/win/base/leftovers.h"

class CKolumoData;

// Kinds of combination file as the driver numbers them; each names the generated combinations it holds.
enum KombiDateiArt {
  kDateiTr = 1,   // "Tr": combinations "Ed"
  kDateiGb = 2,   // "Gb": combinations "Ed,perm"
  kDateiEdA = 3,  // "EdA": combinations "Ed,A"
  kDateiEdB = 4,  // "EdB": fire, the "Ed,A" combinations of stage 0
};

// Capacities of a stage as the engine's reader holds it.
constexpr int kKombiMaxLastfaelle = 50;
constexpr int kKombiMaxEinwirkungen = 50;
constexpr int kKombiMaxProArt = 200;

// The scratch folder of one calculation: made with a unique name in the temporary folder, removed with
// everything in it when the object goes, whatever way the calculation ends. A calculation killed by a signal
// cannot remove its folder: the next one removes it (only marked folders of dead processes whose lock nobody holds).
class KombiOrdner {
 public:
  // False, with the folder and the system's reason in `error`, when no folder could be made.
  bool Anlegen(std::string& error);
  // The base path of the calculation's combination files inside the folder (empty before Anlegen).
  const std::string& Basis() const { return basis_; }

 private:
  win::ScratchFolder ordner_;  // held while the calculation runs, removed with it
  std::string basis_;
};

// The file of a kind (1-4) and stage (0-3).
std::string KombiDateiPfad(const std::string& basis, int art, int stage);

// The combination kind text ("Ed", "Ed,perm", "Ed,A") a file kind takes from the generated combinations.
const char* KombinationsArt(int art);

// The highest action number the stage's load cases use.
int EinwirkungsAnzahl(const CKolumoData& data, int stage);

// Writes the file of that kind and stage from the stage's load-combination data; counts[stage] combinations of
// the kind are written. The stage's factors are fetched from the combination generator first. Messages about
// actions beyond the engine's groups are shown; the file is written in any case. False, with the reason in
// `error`, when the file cannot be written (nothing is left behind then).
bool WriteCombinationFile(CKolumoData& data, const std::string& basis, int art, const int counts[4], int stage,
                          std::string& error);

// Writes the characteristic file of stage 0 (kind "Tr"): every load case a combination of its own with factor 1.
bool WriteCharacteristicFile(const CKolumoData& data, const std::string& basis, std::string& error);
