#include "column/kombidateien.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "column/kolumodata.h"
#include "engine/input.h"
#include "platform/tolkar/tolkar.h"
#include "designcode/designcode.h"
#include "platform/win/base/leftovers.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", text)); }

// File text of a writer kind: the engine names the same texts 0 "Tr", 1 "Gb", 3 "EdA", 4 "EdB".
int EngineArt(int art) {
  switch (art) {
    case kDateiTr: return engine::kFileTr;
    case kDateiGb: return engine::kFileGb;
    case kDateiEdA: return engine::kFileEdA;
    case kDateiEdB: return engine::kFileEdB;
    default: return -1;
  }
}

// Title of each combination line and flag row of a kind.
const char* Titel(int art) { return art == kDateiGb ? "Ed,quasi_ständig" : art == kDateiEdA ? "Ed,A" : "Ed"; }

std::array<int, 8> Flags(int art) {
  std::array<int, 8> flags{};
  flags[art == kDateiGb ? 2 : art == kDateiEdA ? 1 : 0] = 1;
  return flags;
}

// A formula text is one token of the file.
std::string OhneLeerzeichen(const CString& text) {
  std::string out;
  for (const char c : std::string(text.GetString()))
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  return out;
}

const CEinwirkung* FindeEinwirkung(const CLKData& lk, int nr) {
  for (const CEinwirkung& e : lk.einwirkungen)
    if (e.nr == nr) return &e;
  return nr >= 1 && nr <= lk.einwirkungen.GetSize() ? &lk.einwirkungen[nr - 1] : nullptr;
}

// Written beside the target and renamed, so that a failed write leaves no half file.
bool SchreibeDatei(const std::string& pfad, const engine::CombinationFileInput& in, std::string& error) {
  std::string text;
  if (!engine::CombinationFileText(in, text)) {
    error = "Zu viele Lastfälle, Einwirkungen oder Kombinationen in einem Bauzustand.";
    return false;
  }
  const std::string temp = pfad + ".tmp";
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) {
    error = "Datei " + pfad + " kann nicht zum Schreiben geöffnet werden ! (" + std::strerror(errno) + ")";
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool closed = std::fclose(file) == 0;
  if (written && closed && std::rename(temp.c_str(), pfad.c_str()) == 0) return true;
  const std::string grund = std::strerror(errno);
  std::remove(temp.c_str());
  error = "Datei " + pfad + " kann nicht zum Schreiben geöffnet werden ! (" + grund + ")";
  return false;
}

}  // namespace

bool KombiOrdner::Anlegen(std::string& error) {
  std::error_code ec;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec) {
    const char* env = std::getenv("TMPDIR");
    error = std::string("Kein temporärer Ordner für die Kombinationsdateien (TMPDIR = \"") + (env ? env : "") +
            "\"): " + ec.message() + ". Berechnung wird nicht durchgeführt!";
    return false;
  }
  // Making it removes the folders of calculations that were killed; folders of runs still at work, and anything
  // else in the temporary folder, stay.
  constexpr const char* kPraefix = "kolumo-calc-";
  std::string grund;
  if (!ordner_.Make(temp.string(), kPraefix, grund)) {
    error = "Der Ordner für die Kombinationsdateien kann in " + temp.string() + " nicht angelegt werden: " + grund +
            ". Berechnung wird nicht durchgeführt!";
    return false;
  }
  // a fixed short name: the position's own name may be long enough to overflow a file name with the suffixes
  basis_ = ordner_.Path("kombi");
  return true;
}

std::string KombiDateiPfad(const std::string& basis, int art, int stage) {
  char name[64];
  std::snprintf(name, sizeof name, ".Vrb2%dLk%s%d.dat", 1, engine::CombinationFileKindText(EngineArt(art)), stage);
  return basis + name;
}

const char* KombinationsArt(int art) {
  switch (art) {
    case kDateiTr: return "Ed";
    case kDateiGb: return "Ed,perm";
    case kDateiEdA:
    case kDateiEdB: return "Ed,A";
    default: return "";
  }
}

int EinwirkungsAnzahl(const CKolumoData& data, int stage) {
  int highest = 0;
  if (stage < 0 || stage >= CKolumoData::kStages) return 0;
  for (const CLKLastfall& row : data.lastUeberlagerungBZ[std::size_t(stage)].lastfaelle)
    if (row.einw > highest) highest = row.einw;
  return highest;
}

bool WriteCombinationFile(CKolumoData& data, const std::string& basis, int art, const int counts[4], int stage,
                          std::string& error) {
  if (EngineArt(art) < 0 || stage < 0 || stage >= CKolumoData::kStages) {
    error = "Unbekannte Art oder unbekannter Bauzustand einer Kombinationsdatei.";
    return false;
  }
  CLKData& lk = data.lastUeberlagerungBZ[std::size_t(stage)];
  lk.GetKategorieBeiwerte();
  const int nLf = data.maxLF[std::size_t(stage)];
  const int nEinw = EinwirkungsAnzahl(data, stage);
  if (nLf > kKombiMaxLastfaelle || nEinw > kKombiMaxEinwirkungen || counts[stage] > kKombiMaxProArt) {
    error = "Zu viele Lastfälle, Einwirkungen oder Kombinationen in einem Bauzustand.";
    return false;
  }

  engine::CombinationFileInput in;
  in.code = designcode::ByInput(data.iNorm);
  in.stage = stage;
  for (int i = 0; i < nLf; ++i) in.loadCaseActions.push_back(i < lk.lastfaelle.GetSize() ? lk.lastfaelle[i].einw : 0);

  int additiv = 1, alternativ = 6, aussergewoehnlich = 13;
  auto naechste = [](int& zaehler, int grenze, const char* meldung) {
    if (zaehler > grenze) {
      AfxMessageBox(Tr(meldung));
      zaehler = grenze;
    }
    return zaehler++;
  };
  for (int j = 1; j <= nEinw; ++j) {
    const CEinwirkung* e = FindeEinwirkung(lk, j);
    const int gruppe = e ? e->indexGruppe : 0;
    int nummer = 0;
    if (gruppe == 1)
      nummer = naechste(additiv, 5,
                        "Achtung Sie haben mehr als 5 additive Einwirkungen vergeben.\nAlle additiven Einwirkungen >5 "
                        "werden der Gruppe 5 zugewiesen.");
    else if (gruppe == 2)
      nummer = naechste(alternativ, 12,
                        "Achtung Sie haben mehr als 7 alternative Einwirkungen vergeben.\nAlle alternativen "
                        "Einwirkungen >7 werden der Gruppe 7 zugewiesen.");
    else if (gruppe != 0)
      nummer = naechste(aussergewoehnlich, 13,
                        "Achtung Sie haben mehr als 1 aussergewöhnliche Einwirkungen vergeben.\nAlle weiteren "
                        "aussergewöhnlichen Einwirkungen werden der Gruppe 1 zugewiesen.");
    engine::CombinationAction& action = in.actions.emplace_back();
    action.group = nummer;
    action.variable = gruppe != 0;
    action.category = gruppe != 0 && e ? e->indexKategorie + 1 : 0;

    std::array<double, 7>& f = action.factors;
    if (gruppe == 0) {
      f[0] = lk.gamma_g_guenstig;
      f[1] = lk.gamma_g_unguenstig;
    } else if (gruppe == 3) {
      f[0] = f[1] = lk.gamma_a;
    } else {
      f[2] = lk.gamma_q_guenstig;
      f[3] = lk.gamma_q_unguenstig;
      const int kat = e ? e->indexKategorie : -1;
      if (kat >= 0 && kat < lk.beiwerte.GetSize()) {
        f[4] = lk.beiwerte[kat].psi0;
        f[5] = lk.beiwerte[kat].psi1;
        f[6] = lk.beiwerte[kat].psi2;
      }
    }
  }
  in.flags = Flags(art);

  // The combinations of the kind, in their order; fire rebuilds the formula without the accidental load cases.
  const char* kind = KombinationsArt(art);
  const bool ohneAussergewoehnliche = art == kDateiEdB && data.HatAussergewEinwirkung(stage);
  for (int k = 0; k < lk.kombinationen.GetSize() && int(in.combinations.size()) < counts[stage]; ++k) {
    const CKombination& komb = lk.kombinationen[k];
    if (komb.art != kind) continue;
    CString formel = komb.regelUser.IsEmpty() ? komb.regel : komb.regelUser;
    if (ohneAussergewoehnliche) data.HoleKombiFormel(stage, k, formel);
    in.combinations.push_back({Titel(art), OhneLeerzeichen(formel)});
  }
  return SchreibeDatei(KombiDateiPfad(basis, art, stage), in, error);
}

bool WriteCharacteristicFile(const CKolumoData& data, const std::string& basis, std::string& error) {
  const int nLf = data.maxLF[0];
  if (nLf < 1 || nLf > kKombiMaxLastfaelle) {
    error = "Zu viele Lastfälle im Endsystem.";
    return false;
  }
  engine::CombinationFileInput in;
  in.code = designcode::ByInput(data.iNorm);
  in.stage = 0;
  // action 1 permanent, action 2 additive in group 1, category 1; unfavourable factors 1, all else 0
  for (int i = 0; i < nLf; ++i) in.loadCaseActions.push_back(i == 0 ? 1 : 2);
  in.actions.resize(2);
  in.actions[0].factors[1] = 1.0;
  in.actions[1] = {1, true, 1, {}};
  in.actions[1].factors[3] = 1.0;
  in.flags = Flags(kDateiTr);
  for (int i = 1; i <= nLf; ++i) {
    char formel[32];
    std::snprintf(formel, sizeof formel, "1.00*(%d)", i);
    in.combinations.push_back({"Ed", formel});
  }
  return SchreibeDatei(KombiDateiPfad(basis, kDateiTr, 0), in, error);
}
