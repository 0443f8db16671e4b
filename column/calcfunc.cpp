#include "column/calcfunc.h"

#include <algorithm>
#include <exception>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "column/eingabepruefung.h"
#include "column/kolumodata.h"
#include "column/kombidateien.h"
#include "column/lagerexport.h"
#include "controls/ProgressDlg.h"
#include "designcode/designcode.h"
#include "designcode/requirement.h"
#include "engine/input.h"
#include "transfer/ludata.h"
#include "transfer/sourcefile.h"
#include "engine/protocol.h"
#include "engine/results.h"
#include "framework/matehandler.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", text)); }

void Melde(const char* text) { AfxMessageBox(Tr(text)); }

const char* const kKeineLasten[CKolumoData::kStages] = {
    "Keine Lasten im Endsystem vorhanden. Berechnung wird nicht durchgeführt!",
    "Keine Lasten im Transportzustand vorhanden. Berechnung wird nicht durchgeführt!",
    "Keine Lasten im Bauzustand 1 vorhanden. Berechnung wird nicht durchgeführt!",
    "Keine Lasten im Bauzustand 2 vorhanden. Berechnung wird nicht durchgeführt!",
};

// The user pressed Cancel in the progress dialog: the run ends, the position keeps what it had.
struct BerechnungAbgebrochen {};

// The engine's progress shown in the progress dialog, one step per combination; its Cancel ends the run at the
// next step.
class Fortschrittsdialog : public EngineProgress {
 public:
  ~Fortschrittsdialog() override { Destroy(); }
  bool Create() override {
    auto dlg = std::make_unique<ProgressDlg>(kCaption);
    if (!dlg->Create(nullptr)) return false;
    dlg_ = std::move(dlg);
    return true;
  }
  void SetStep(int step) override {
    if (dlg_) dlg_->SetStep(step);
  }
  int StepIt() override {
    if (!dlg_) return 0;
    const int previous = dlg_->StepIt();
    if (dlg_->m_bCancel) throw BerechnungAbgebrochen{};
    return previous;
  }
  void SetStatus(const char* text) override {
    if (dlg_) dlg_->SetStatus(text);
  }
  void Destroy() override { dlg_.reset(); }

 private:
  static constexpr UINT kCaption = 41004;
  std::unique_ptr<ProgressDlg> dlg_;
};

// Installs a display for the life of the object.
class FortschrittEinsatz {
 public:
  explicit FortschrittEinsatz(EngineProgress& anzeige) : vorher_(SetProgress(&anzeige)) {}
  ~FortschrittEinsatz() { SetProgress(vorher_); }
  FortschrittEinsatz(const FortschrittEinsatz&) = delete;
  FortschrittEinsatz& operator=(const FortschrittEinsatz&) = delete;

 private:
  EngineProgress* vorher_;
};

// The engine's view of the material catalogue, over the material handler. The engine asks for the same grades
// again and again during a run; the answers are kept for the calculation.
class MateHandlerKatalog : public MaterialKatalog {
 public:
  void Sorten(const char* norm, const char* kat, const char* ukat, std::vector<std::string>& names) override {
    const std::string key = std::string(norm) + '\n' + kat + '\n' + ukat;
    auto it = sorten_.find(key);
    if (it == sorten_.end()) {
      CStringArray list;
      GetMateHandler().GetObjekte(kat, ukat, norm, list);
      std::vector<std::string> found;
      for (const CString& name : list)
        if (!name.IsEmpty()) found.emplace_back(name.GetString());
      it = sorten_.emplace(key, std::move(found)).first;
    }
    names = it->second;
  }
  bool Werte(const char* norm, const char* kat, const char* ukat, const std::string& name,
             std::map<std::string, std::string>& out) override {
    const std::string key = std::string(norm) + '\n' + kat + '\n' + ukat + '\n' + name;
    auto it = werte_.find(key);
    if (it == werte_.end()) {
      CMateProps props;
      CString objekt = name.c_str();
      GetMateHandler().GetMaterial(props, kat, ukat, norm, objekt);
      std::map<std::string, std::string> found;
      for (POSITION pos = props.m_values.GetStartPosition(); pos;) {
        CString k, v;
        props.m_values.GetNextAssoc(pos, k, v);
        found[k.GetString()] = v.GetString();
      }
      it = werte_.emplace(key, std::move(found)).first;
    }
    out = it->second;
    return !out.empty();
  }

 private:
  std::map<std::string, std::vector<std::string>> sorten_;
  std::map<std::string, std::map<std::string, std::string>> werte_;
};

// Installs the catalogue adapter for one calculation.
class KatalogEinsatz {
 public:
  KatalogEinsatz() : vorher_(SetzeMaterialKatalog(&katalog_)) {}
  ~KatalogEinsatz() { SetzeMaterialKatalog(vorher_); }
  KatalogEinsatz(const KatalogEinsatz&) = delete;
  KatalogEinsatz& operator=(const KatalogEinsatz&) = delete;

 private:
  MateHandlerKatalog katalog_;
  MaterialKatalog* vorher_;
};

void LeereErgebnisse(CResultContainer& e, bool mitFundkraeften) {
  e.Schnittgroessen.clear();
  e.Bruchschnittgroessen.clear();
  e.Brandschnittgroessen.clear();
  e.Dehnschnittgroessen.clear();
  e.Lagerkraefte.clear();
  e.Verformung.clear();
  e.Schub.clear();
  e.Rissnachweis.clear();
  e.ErfAs.clear();
  if (mitFundkraeften) e.Fundkraefte.clear();
}

// Combination counts of one stage by kind text.
struct StufenZahl {
  bool lasten = false;
  int ed = 0, perm = 0, acc = 0, brand = 0;
};

}  // namespace

namespace {

// What the driver says when the engine's entry refuses the column.
const char* RefusalText(engine::InputRefusal refusal) {
  using engine::InputRefusal;
  switch (refusal) {
    case InputRefusal::kNone: return "";
    case InputRefusal::kUnknownCode: return "Die Bemessungsnorm ist unbekannt. Berechnung wird nicht durchgeführt!";
    case InputRefusal::kNoField: return "Die Stütze braucht mindestens ein Feld.";
    case InputRefusal::kTooManyMembers: return "Mehr als 100 Stababschnitte. Stabteilung bitte Reduzieren.";
    case InputRefusal::kTooManySupports: return "Zu viele Lager: höchstens 100 Lager in allen Bauzuständen zusammen.";
    case InputRefusal::kRingOpening:
      return "Kreisring: Der Innendurchmesser muss größer als 0 und kleiner als der Außendurchmesser sein.";
    case InputRefusal::kTooManyLineLoads: return "Zu viele Linienlasten in einem Bauzustand (höchstens 200).";
    case InputRefusal::kTooManyPointLoads: return "Zu viele Einzellasten in einem Bauzustand (höchstens 200).";
    case InputRefusal::kOwnWeightLoadCase:
      return "Das Eigengewicht muss in jedem Bauzustand genau einem Lastfall angehören. Berechnung wird nicht "
             "durchgeführt!";
  }
  return "";
}

engine::SectionInput SectionOf(CKolumoQuer& q, int concreteGrade, int steelGrade) {
  engine::SectionInput s;
  s.type = q.type;
  s.layout = q.bewType;
  s.widthX_cm = q.bx.GetValue();
  s.depthY_cm = q.dy.GetValue();
  s.barDistanceX_cm = q.bdx.GetValue();
  s.barDistanceY_cm = q.bdy.GetValue();
  s.reinforcement_cm2 = q.as.GetValue();
  s.strutAngle_deg = q.theta.GetValue();
  s.concreteGrade = concreteGrade;
  s.steelGrade = steelGrade;
  return s;
}

// The supports of a stage at the field ends from the foot up; the data holds them from the head down. The
// foundation's springs replace those of the final system's foot.
std::vector<engine::SupportInput> SupportsOf(CKolumoData& data, int stage) {
  const int nFields = data.nFields();
  CArray<CSupport>& supports = data.supports[std::size_t(stage)];
  std::vector<engine::SupportInput> out;
  for (int node = 0; node <= nFields; ++node) {
    const int i = nFields - node;
    if (i < 0 || i >= supports.GetSize()) continue;
    CSupport& sp = supports[i];
    engine::SupportInput s;
    s.node = node;
    s.axial_kN_m = sp.cz.GetValue();
    s.alongY_kN_m = sp.cy.GetValue();
    s.alongX_kN_m = sp.cx.GetValue();
    s.aboutY_kNm_rad = sp.cmy.GetValue();
    s.aboutX_kNm_rad = sp.cmx.GetValue();
    if (stage == 0 && node == 0) {
      for (auto [foundation, target] :
           {std::pair{data.cz, &s.axial_kN_m}, std::pair{data.cy, &s.alongY_kN_m}, std::pair{data.cx, &s.alongX_kN_m},
            std::pair{data.cmy, &s.aboutY_kNm_rad}, std::pair{data.cmx, &s.aboutX_kNm_rad}})
        if (foundation != 0.0) *target = foundation;
    }
    out.push_back(s);
  }
  return out;
}

// The loads the engine takes: line loads (types 0 uniform and 1 linear), point loads (10) and the own weight
// (11); false for any other type. The data counts nodes from the head.
bool LoadOf(Load& load, int nFields, engine::LoadInput& out) {
  out.loadCase = load.lc;
  out.node = nFields - load.node;
  out.direction = load.direction;
  if (load.ltype == 0 || load.ltype == 1) {
    out.kind = engine::LoadKind::kLine;
    out.offset_m = load.offset.GetValue();
    out.length_m = load.length.GetValue();
    out.startValue_kN_m = load.val0.GetValue();
    out.endValue_kN_m = load.ltype == 0 ? out.startValue_kN_m : load.val1.GetValue();
  } else if (load.ltype == 10) {
    out.kind = engine::LoadKind::kPoint;
    out.force_kN = load.val0.GetValue();
    if (load.direction == engine::kAlongX || load.direction == engine::kAlongY) out.moment_kNm = load.val1.GetValue();
  } else if (load.ltype == 11) {
    out.kind = engine::LoadKind::kOwnWeight;
  } else {
    return false;
  }
  return true;
}

engine::ImperfectionInput ImperfectionOf(CKolumoVorver& v) {
  engine::ImperfectionInput im;
  im.kind = v.type;
  im.components = v.bDirekteVorgabe != 0;
  im.inclination_rad = v.AppliedInclination();
  im.inclinationX_rad = v.umx.GetValue() / 100.0;
  im.inclinationY_rad = v.umy.GetValue() / 100.0;
  im.amplitudeFromDivisor = v.bAusmitte != 0;
  im.modeDivisor = v.AppliedModeDivisor();
  im.referenceNode = v.IDPunkt;
  im.eccentricity_cm = v.ausmitte.GetValue();
  return im;
}

}  // namespace

engine::ColumnInput ColumnInputOf(CKolumoData& data, const std::string& basis, const int stageFlags[4]) {
  engine::ColumnInput in;
  in.code = designcode::ByInput(data.iNorm);
  in.combinationFileBase = basis;
  const int nFields = data.nFields();
  const int concrete = GradeOfCalculation(data.iNorm, true, data.sBeton).index;
  const int steel = GradeOfCalculation(data.iNorm, false, data.sStahl).index;
  // from the foot up; each field's axis lies at its own offset from the system line (cm in the data)
  for (int f = nFields - 1; f >= 0; --f) {
    CKolumoQuer& q = data.querschnitte[f];
    engine::FieldInput field;
    field.length_m = data.fieldLengths[f].GetValue();
    field.members = q.teilung < 1 ? 5 : q.teilung;
    field.axisOffsetX_m = q.ex.GetValue() / 100.0;
    field.axisOffsetY_m = q.ey.GetValue() / 100.0;
    field.section = SectionOf(q, concrete, steel);
    in.fields.push_back(field);
  }
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    engine::StageInput& stage = in.stages[std::size_t(s)];
    stage.active = stageFlags[s] != 0;
    stage.imperfection = ImperfectionOf(data.vorver[std::size_t(s)]);
    if (!stage.active) continue;
    stage.supports = SupportsOf(data, s);
    for (Load& load : data.loads[std::size_t(s)])
      if (engine::LoadInput l; LoadOf(load, nFields, l)) stage.loads.push_back(l);
  }
  if (data.kriechen.GetSize() > 0) in.creep.coefficient = data.kriechen[0].KriechZahl;
  for (const CKolumoKriechen& k : data.kriechen) in.creep.factors.push_back(k.Faktor);
  in.fire.check = data.num_Brand != 0;
  in.fire.resistanceClass = data.indexBrandKlasse;
  in.fire.exposedSides = data.indexBrandSeiten;
  in.fire.plastered = data.bPutzBekleidet;
  in.pictureWidth_cm = data.BildBreite;
  return in;
}

int PrepareSystem(CKolumoData& data, const std::string& basis, const int flags[4], bool designPasses) {
  engine::ColumnInput in = ColumnInputOf(data, basis, flags);
  in.designPasses = designPasses;
  const engine::InputRefusal refusal = engine::LoadColumn(in);
  if (refusal == engine::InputRefusal::kNone) return 0;
  Melde(RefusalText(refusal));
  return 1;
}

namespace {

// The engine's runs start laying out the work arrays at this index.
constexpr int kErsterFreierIndex = 1000;

// Whether a run over the stages of `flags` with nKombi combinations fits the engine's work arrays. When it does
// not, the message names the sizes that together are too large and what would fit. The engine object is loaded
// for the estimate: it must be set up again before a run.
bool PasstInArbeitsfelder(CKolumoData& data, const int flags[4], int nKombi, const char* lauf, ArbeitsBedarf& a) {
  if (PrepareSystem(data, std::string(), flags) == 1) return false;
  a = engine::WorkDemandOf(nKombi, kErsterFreierIndex);
  const int doubles = engine::WorkDoubleCapacity(), ints = engine::WorkIntCapacity();
  if (a.doubles <= doubles && a.ints <= ints) return true;
  char text[1024];
  int n = std::snprintf(
      text, sizeof text,
      "Das System ist für die Arbeitsfelder der Berechnung zu groß (%s): %d Stababschnitte, %d Kombinationen, %lld "
      "Linienlastabschnitte (je Linienlast ein Abschnitt für jeden Stababschnitt, den sie überdeckt) und %lld "
      "Einzellasten brauchen %lld von %d Gleitkommazahlen und %lld von %d ganzen Zahlen.",
      lauf, a.staebe, a.kombinationen, a.linienSaetze, a.punktSaetze, a.doubles, doubles, a.ints, ints);
  if (a.ints > ints) {
    n += std::snprintf(text + n, sizeof text - std::size_t(n),
                       " Bitte Stabteilung oder Anzahl der Linienlasten verringern.");
  } else {
    const long long ohne = a.doubles - a.doublesJeKombination * a.kombinationen;
    const long long moeglich = a.doublesJeKombination > 0 ? (doubles - ohne) / a.doublesJeKombination : 0;
    if (moeglich >= 1)
      n += std::snprintf(text + n, sizeof text - std::size_t(n),
                         " Bei %d Stababschnitten und diesen Lasten sind höchstens %lld Kombinationen möglich.",
                         a.staebe, moeglich);
    else
      n += std::snprintf(text + n, sizeof text - std::size_t(n),
                         " Bitte Stabteilung oder Anzahl der Linienlasten verringern.");
  }
  std::snprintf(text + n, sizeof text - std::size_t(n), " Berechnung wird nicht durchgeführt!");
  AfxMessageBox(text, MB_ICONSTOP);
  return false;
}

// Counts of every stage by kind, with the checks of the counts against the capacities; false when a
// check refused the calculation (with its message).
bool ZaehleStufen(CKolumoData& data, StufenZahl zahl[]) {
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    StufenZahl& z = zahl[s];
    const CLKData& lk = data.lastUeberlagerungBZ[std::size_t(s)];
    z.lasten = data.maxLF[std::size_t(s)] > 0 && lk.lastfaelle.GetSize() > 0;
    for (const CKombination& k : lk.kombinationen) {
      if (k.art == "Ed") ++z.ed;
      if (k.art == "Ed,perm") ++z.perm;
      if (k.art == "Ed,A" && data.num_Brand && s == 0) ++z.brand;
      if (k.art == "Ed,A" && data.HatAussergewEinwirkung(s)) ++z.acc;
    }
    if (!z.lasten) z = StufenZahl{};
    if (z.lasten && z.ed == 0 && z.perm == 0 && z.acc == 0) {
      Melde(kKeineLasten[s]);
      return false;
    }
    if (z.lasten &&
        (data.maxLF[std::size_t(s)] > kKombiMaxLastfaelle || EinwirkungsAnzahl(data, s) > kKombiMaxEinwirkungen ||
         std::max({z.ed, z.perm, z.acc, z.brand}) > kKombiMaxProArt)) {
      Melde(
          "Zu viele Lastfälle, Einwirkungen oder Kombinationen: je Bauzustand höchstens 50 Lastfälle, 50 "
          "Einwirkungen und 200 Kombinationen jeder Art. Berechnung wird nicht durchgeführt!");
      return false;
    }
  }
  if (std::none_of(zahl, zahl + CKolumoData::kStages, [](const StufenZahl& z) { return z.lasten; })) {
    Melde(kKeineLasten[0]);
    return false;
  }
  int summe = 0;
  for (int s = 0; s < CKolumoData::kStages; ++s) summe += zahl[s].ed + zahl[s].acc;
  if (summe >= 1000) {
    Melde("Es können max. 1000 Einwirkungen vom\nTyp ED + ED,A berechnet werden.\n Bitte Anzahl reduzieren.");
    return false;
  }
  return true;
}

// Both runs must fit the work arrays together with their combinations, before anything is written or run;
// `doubles` and `ints` become what the larger of them needs.
bool PassenBeideLaeufe(CKolumoData& data, const StufenZahl zahl[], int& doubles, int& ints) {
  const int vorlauf[4] = {1, 0, 0, 0};
  int lauf[4] = {}, kombinationen = 0;
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    lauf[s] = zahl[s].lasten ? 1 : 0;
    kombinationen += zahl[s].ed + zahl[s].perm + zahl[s].acc + zahl[s].brand;
  }
  // the design run first: it holds the loads of every stage
  ArbeitsBedarf bemessung, vorlaufBedarf;
  if (!PasstInArbeitsfelder(data, lauf, kombinationen, Tr("Bemessung").GetString(), bemessung)) return false;
  if (zahl[0].lasten &&
      !PasstInArbeitsfelder(data, vorlauf, std::max(1, data.maxLF[0]),
                            Tr("Vorlauf mit jedem Lastfall des Endsystems allein").GetString(), vorlaufBedarf))
    return false;
  // both fit, so both lie within the capacities
  doubles = int(std::max(bemessung.doubles, vorlaufBedarf.doubles));
  ints = int(std::max(bemessung.ints, vorlaufBedarf.ints));
  return true;
}

// Characteristic pre-run: every load case of the final system alone, for the foundation loads; it runs first,
// on fresh work arrays.
bool RunCharacteristic(CKolumoData& data, const std::string& basis, engine::Workspace& arbeit) {
  std::string fehler;
  const std::string pfad = KombiDateiPfad(basis, kDateiTr, 0);
  if (!WriteCharacteristicFile(data, basis, fehler)) {
    AfxMessageBox(fehler.c_str());
    return false;
  }
  const int flags[4] = {1, 0, 0, 0};
  if (PrepareSystem(data, basis, flags) == 1) return false;
  const int n = engine::RunLoadCases(std::max(1, data.maxLF[0]), kErsterFreierIndex);
  if (n <= 0) return false;  // the engine has said why
  DruckeErgebnisse(n, data.ergebnisse);
  for (auto& rec : data.ergebnisse.Fundkraefte) rec->LK = -rec->LK;
  std::remove(pfad.c_str());
  return true;
}

// The design run over every stage, with its combination files; false when it ended without results.
bool RunDesign(CKolumoData& data, const std::string& basis, const StufenZahl zahl[], engine::Workspace& arbeit) {
  arbeit.Clear();  // the pre-run's values must not reach this run
  int flags[4] = {};
  int zaehler[5][CKolumoData::kStages] = {};
  std::string fehler;
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    const StufenZahl& z = zahl[s];
    flags[s] = z.lasten ? 1 : 0;
    zaehler[kDateiTr][s] = z.ed;
    zaehler[kDateiGb][s] = z.perm;
    zaehler[kDateiEdA][s] = z.acc;
    zaehler[kDateiEdB][s] = z.brand;
    for (int art : {kDateiTr, kDateiGb, kDateiEdA, kDateiEdB}) {
      if (zaehler[art][s] <= 0) continue;
      if (!WriteCombinationFile(data, basis, art, zaehler[art], s, fehler)) {
        AfxMessageBox(fehler.c_str());
        return false;
      }
    }
  }
  if (PrepareSystem(data, basis, flags, true) == 1) return false;
  LeereErgebnisse(data.ergebnisse, false);

  int paesse = 0;
  for (int s = 0; s < CKolumoData::kStages; ++s)
    paesse += 3 * (zahl[s].ed + zahl[s].acc) + zahl[s].brand + zahl[s].perm;
  const bool accidental = zahl[0].acc > 0;
  int gbStart = 0;
  try {
    Fortschrittsdialog anzeige;
    FortschrittEinsatz einsatz(anzeige);
    gbStart = engine::RunColumnDesign(std::max(1, paesse), kErsterFreierIndex, accidental);
  } catch (const BerechnungAbgebrochen&) {
    win::script::ProgressLine("[progress] calculation cancelled: the position keeps its previous results");
    return false;
  }
  if (gbStart <= 0) return false;  // the engine has said why
  DruckeErgebnisse(gbStart, data.ergebnisse);
  if (data.ergebnisse.Schnittgroessen.empty()) {
    Melde("Die Berechnung hat keine Ergebnisse geliefert.");
    return false;
  }
  return true;
}

// The combinations in the order the result records number them (their LK): "Ed" over the stages from 1, the
// accidental "Ed,A" on after them, "Ed,perm" from 1, fire after the final system's "Ed"; each as (stage, index in
// the stage's list), the same choice and order as the combination files take.
struct KombiVerweis {
  int stage = -1, index = -1;
};
struct KombiNummern {
  std::vector<KombiVerweis> ed, acc, perm, brand;
};

KombiNummern NummeriereKombinationen(const CKolumoData& data, const StufenZahl zahl[]) {
  KombiNummern n;
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    if (!zahl[s].lasten) continue;
    const CLKData& lk = data.lastUeberlagerungBZ[std::size_t(s)];
    auto nimm = [&](std::vector<KombiVerweis>& liste, const char* art, int anzahl) {
      for (int k = 0, m = 0; k < lk.kombinationen.GetSize() && m < anzahl; ++k)
        if (lk.kombinationen[k].art == art) liste.push_back({s, k}), ++m;
    };
    nimm(n.ed, "Ed", zahl[s].ed);
    nimm(n.acc, "Ed,A", zahl[s].acc);
    nimm(n.perm, "Ed,perm", zahl[s].perm);
    nimm(n.brand, "Ed,A", zahl[s].brand);
  }
  return n;
}

// Where a result of the record kind `satz` with its LK and Typ came from, in the words of the input: the
// combination, the creep run or the load case of the characteristic run.
std::string Herkunft(const CKolumoData& data, const StufenZahl zahl[], const std::string& satz, int LK, int Typ) {
  const KombiNummern n = NummeriereKombinationen(data, zahl);
  auto aus = [&](const std::vector<KombiVerweis>& liste, int i) {
    return i >= 0 && i < int(liste.size())
               ? KombinationsText(data, liste[std::size_t(i)].stage, liste[std::size_t(i)].index)
               : std::string();
  };
  std::string text;
  if (satz == "ErfAs") {
    text = Tr("erforderliche Bewehrung").GetString();
  } else if (satz == "Fundkraefte" && LK < 0) {
    char zeile[160];
    std::snprintf(zeile, sizeof zeile, Tr("Endsystem, Lastfall %d allein (charakteristisch)").GetString(), -LK);
    text = zeile;
  } else if (Typ == 2 && satz != "Rissnachweis") {
    text = Tr("Kriechen im Endsystem").GetString();
  } else if (satz == "Rissnachweis") {
    text = aus(n.perm, LK - 1);
  } else if (satz == "Brandschnittgroessen") {
    text = aus(n.brand, LK - zahl[0].ed - 1);
  } else {
    const int nEd = int(n.ed.size());
    text = LK <= nEd ? aus(n.ed, LK - 1) : aus(n.acc, LK - nEd - 1);
  }
  if (text.empty()) {
    char zeile[160];
    std::snprintf(zeile, sizeof zeile, Tr("Kombination LK %d").GetString(), LK);
    text = zeile;
  }
  return text;
}

// A result that is no finite number would be written and reported as if it were one: the calculation stops.
bool ErgebnisseEndlich(CKolumoData& data, const StufenZahl zahl[]) {
  NichtEndlicherWert wo;
  if (!SucheNichtEndlichenWert(data.ergebnisse, wo)) return true;
  char text[1024];
  std::snprintf(text, sizeof text,
                Tr("Die Berechnung ergibt keine endliche Zahl: %s, %s = %g in Kote %.3f m, aus %s. Bitte die "
                   "Lasten und Faktoren prüfen. Es werden keine Ergebnisse geschrieben.")
                    .GetString(),
                wo.satz, wo.spalte, wo.wert, wo.kote, Herkunft(data, zahl, wo.satz, wo.LK, wo.Typ).c_str());
  AfxMessageBox(text, MB_ICONSTOP);
  return false;
}

// A verification the run could not fulfil: a strut that crushes (a field at a height under a combination), or a
// field whose fire table is not met under a fire combination.
struct Unerfuellt {
  bool brand = false;
  std::string kombination;
  StrutFailure strebe;    // the strut's; empty for fire
  FireFailure brandFeld;  // the fire table's; field 0 where the check names none (a code without tables)
};

std::vector<Unerfuellt> UnerfuellteNachweise(const CKolumoData& data, const StufenZahl zahl[]) {
  std::vector<Unerfuellt> offen;
  for (const StrutFailure& f : StrutFailures(data.ergebnisse))
    offen.push_back({false, Herkunft(data, zahl, "Schub", f.LK, f.Typ), f, {}});
  const designcode::DesignCode* code = designcode::ByInput(data.iNorm);
  const bool tabellen = code && code->fireRatioPercent > 0;
  for (const auto& r : data.ergebnisse.Brandschnittgroessen) {
    if (r->OK) continue;
    const std::string kombination = Herkunft(data, zahl, "Brandschnittgroessen", r->LK, r->Typ);
    const std::vector<FireFailure> felder = tabellen ? FireFailures(*r) : std::vector<FireFailure>{};
    for (const FireFailure& f : felder) offen.push_back({true, kombination, {}, f});
    // a code without tables fails the column as a whole, once per fire combination
    if (felder.empty()) {
      FireFailure f;
      f.LK = r->LK, f.System = r->System, f.Typ = r->Typ;
      f.reason = tabellen ? kBrandOk : kBrandOhneTabellen;
      offen.push_back({true, kombination, {}, f});
    }
  }
  return offen;
}

// One crushing strut in the words of the message: field, height, combination, VEd against VRd,max; where torsion
// makes the strut fail below VRd,max, the interaction's utilisation.
std::string StrebenZeile(const Unerfuellt& u) {
  const StrutFailure& f = u.strebe;
  char zeile[512];
  if (f.ved > f.vrdmax) {
    const designcode::ExceedingTenths v = designcode::ExceedingInTenths(f.ved, f.vrdmax);
    std::snprintf(zeile, sizeof zeile, Tr("Feld %d, Kote %.2f m, %s: V_Ed = %.1f kN > V_Rd,max = %.1f kN").GetString(),
                  f.field, f.kote, u.kombination.c_str(), v.value, v.limit);
  } else {
    std::snprintf(
        zeile, sizeof zeile,
        Tr("Feld %d, Kote %.2f m, %s: V_Ed = %.1f kN, V_Rd,max = %.1f kN, mit Torsion Ausnutzung %.2f > 1").GetString(),
        f.field, f.kote, u.kombination.c_str(), f.ved, f.vrdmax, designcode::ExceedingRatio(f.utilisation));
  }
  return zeile;
}

// One field whose fire table is not met, in the words of the message: field, combination and why.
std::string BrandZeile(const Unerfuellt& u, int iNorm) {
  const CString grund = FireFailureText(u.brandFeld, iNorm, Tr);
  char zeile[512];
  std::snprintf(zeile, sizeof zeile, Tr("Feld %d, %s: %s").GetString(), u.brandFeld.field, u.kombination.c_str(),
                grund.GetString());
  return zeile;
}

// Lines in one message box; the results are written all the same, so that the engineer sees them.
void MeldeZeilen(const CString& kopf, const std::vector<std::string>& zeilen) {
  if (zeilen.empty()) return;
  std::string text = kopf.GetString();
  // a box stays readable: the first lines, then how many more
  constexpr std::size_t kZeigen = 15;
  for (std::size_t i = 0; i < zeilen.size() && i < kZeigen; ++i) text += "\n" + zeilen[i];
  if (zeilen.size() > kZeigen) {
    char mehr[96];
    std::snprintf(mehr, sizeof mehr, Tr("... und %d weitere").GetString(), int(zeilen.size() - kZeigen));
    text += "\n" + std::string(mehr);
  }
  AfxMessageBox(text.c_str(), MB_ICONWARNING);
}

// The crushing struts in one message, and the fields whose fire tables are not met in another (a code without
// tables has said so in the engine's message).
void MeldeVersagen(const std::vector<Unerfuellt>& offen, int iNorm) {
  std::vector<std::string> streben, brand;
  for (const Unerfuellt& u : offen)
    if (!u.brand)
      streben.push_back(StrebenZeile(u));
    else if (u.brandFeld.field > 0)
      brand.push_back(BrandZeile(u, iNorm));
  MeldeZeilen(Tr("Schubnachweis nicht erfüllt: Die Betondruckstrebe versagt, Bügel helfen nicht. Bitte den "
                 "Querschnitt vergrößern oder die Betonfestigkeit erhöhen. Die Ergebnisse werden geschrieben."),
              streben);
  MeldeZeilen(Tr("Brandschutznachweis nicht erfüllt. Die Ergebnisse werden geschrieben."), brand);
}

int ResultOf(int document) { return VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "result"); }

// The verifications not fulfilled, beside the records in "result", for the host: `kolumo calc` names each and
// ends with its own status.
void SchreibeUnerfuellte(int document, const std::vector<Unerfuellt>& offen, int iNorm) {
  const int result = ResultOf(document);
  if (!result) return;
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  for (const Unerfuellt& u : offen) {
    const int e = VIDUV_AddChildElement(result, "NichtErfuellt");
    VIDUV_SetString(e, "nachweis", u.brand ? "Brand" : "Schub");
    VIDUV_SetString(e, "kombination", u.kombination.c_str());
    if (u.brand) {
      // the host's line in its own words: the reason and the figures (cm as the record keeps them)
      const FireFailure& f = u.brandFeld;
      VIDUV_SetInt(e, "feld", f.field);
      VIDUV_SetInt(e, "grund", f.reason);
      VIDUV_SetString(e, "norm", code ? code->name : "");
      VIDUV_SetInt(e, "grenze", code ? code->fireRatioPercent : 0);
      VIDUV_SetDouble(e, "erfB", f.bRequired);
      VIDUV_SetDouble(e, "erfA", f.aRequired);
      VIDUV_SetDouble(e, "vorhB", f.bPresent);
      VIDUV_SetDouble(e, "vorhA", f.aPresent);
      VIDUV_SetDouble(e, "grad", f.ratio);
      continue;
    }
    VIDUV_SetInt(e, "feld", u.strebe.field);
    VIDUV_SetDouble(e, "kote", u.strebe.kote);
    VIDUV_SetDouble(e, "ved", u.strebe.ved);
    VIDUV_SetDouble(e, "vrdmax", u.strebe.vrdmax);
    VIDUV_SetDouble(e, "strebe", u.strebe.utilisation);
  }
}

// The members of each field of the run, in the data's field order.
void UebernehmeStabteilung(CKolumoData& data) {
  const std::vector<int> members = MembersPerField(data.nFields());
  data.ErgStabTeil.RemoveAll();
  data.ErgStabTeil.SetSize(INT_PTR(members.size()));
  for (std::size_t f = 0; f < members.size(); ++f) data.ErgStabTeil[INT_PTR(f)] = members[f];
}

}  // namespace

int Calculate(int document) {
  auto data = std::make_unique<CKolumoData>();
  // the document's macros of reading, calculating and writing share one time budget
  const auto evaluation = data->GetSubData().OpenEvaluation();
  // the values and loads taken over from other positions read each of them once
  const SourceReading sources;
  data->SetDefaults();
  // Set before reading: the document part's OnInitDocument is given the position's name and folder while it is
  // read, and the support-reaction export of the write-back finds the position through it.
  data->doc = document;
  data->ReadData(document);
  // Formulas of the document part that failed are reported; they stop neither the calculation nor the saving.
  if (const CString messages = data->GetSubData().GetMessages(); !messages.IsEmpty())
    AfxMessageBox(Tr("Fehler in den Formeln des Dokuments:") + "\n" + messages, MB_ICONWARNING);
  // An exported value whose definition failed reaches other positions as failed, not as a number; it stops this
  // calculation only where an input of its own reads it (the input check).
  std::vector<std::string> exportFehler = data->varDefs.FailedExports();
  for (std::string& zeile : data->GetSubData().FailedExports()) exportFehler.push_back(std::move(zeile));
  if (!exportFehler.empty()) {
    std::string text =
        Tr("Exportierte Werte ohne Wert (sie werden als fehlgeschlagen exportiert, nicht als Zahl):").str();
    for (const std::string& zeile : exportFehler) text += "\n- " + zeile;
    AfxMessageBox(text.c_str(), MB_ICONWARNING);
  }
  // Loads taken over from other positions are calculated like loads entered by hand; the stage gets its own
  // loads back before the results are written.
  CTransferredStageLoads transferred(*data, data->lastUeberlagerungBZ[0], data->loads[0], data->maxLF[0]);
  transferred.Apply(data->fieldLengths, !data->LKManuell);
  if (!PruefeEingabe(*data, document)) return 1;

  const std::string datei = VIDUV_GetCompleteFileName(document);
  if (datei.empty()) {
    Melde("Die Position hat keinen Dateinamen. Bitte zuerst speichern.");
    return 1;
  }
  // The debug protocol goes beside the position under its whole file name: "Pos.tqx" and "Pos.TQX" calculated at
  // once keep a protocol each, and no run writes into the folder it was started from.
  ProtocolPathFor protokoll(datei + ".kolumoorg.txt");
  // the calculation's scratch files live in a folder of its own, removed on every way out of here
  KombiOrdner ordner;
  std::string fehler;
  if (!ordner.Anlegen(fehler)) {
    AfxMessageBox(fehler.c_str(), MB_ICONSTOP);
    return 1;
  }
  const std::string& basis = ordner.Basis();

  KatalogEinsatz katalog;
  LeereErgebnisse(data->ergebnisse, true);

  // counts and capacities of every stage before anything runs
  StufenZahl zahl[CKolumoData::kStages];
  int doubles = 0, ints = 0;
  if (!ZaehleStufen(*data, zahl) || !PassenBeideLaeufe(*data, zahl, doubles, ints)) return 1;
  {
    // the runs have collected their results; writing them needs no work arrays
    engine::Workspace arbeit(doubles, ints);
    if (zahl[0].lasten && !RunCharacteristic(*data, basis, arbeit)) return 1;
    if (!RunDesign(*data, basis, zahl, arbeit)) return 1;
  }
  if (!ErgebnisseEndlich(*data, zahl)) return 1;
  const std::vector<Unerfuellt> offen = UnerfuellteNachweise(*data, zahl);
  MeldeVersagen(offen, data->iNorm);

  UebernehmeStabteilung(*data);
  transferred.Restore();
  data->bSchreibeErgebnisse = 1;
  try {
    data->WriteData(document);
    data->bSchreibeErgebnisse = 0;
    SchreibeUnerfuellte(document, offen, data->iNorm);
  } catch (...) {
    // Records written up to a failure would pass for the calculation's results.
    for (int cut = ResultOf(document); cut; cut = ResultOf(document)) VIDUV_DeleteElement(cut);
    throw;
  }
  return 1;
}

int KolumoCalc(int document, int) {
  try {
    return Calculate(document);
  } catch (const std::bad_alloc&) {
    AfxMessageBox(Tr("Zu wenig Speicher: die Berechnung wurde abgebrochen."), MB_ICONSTOP);
    return 0;
  } catch (const std::exception& e) {
    AfxMessageBox(e.what(), MB_ICONSTOP);
  } catch (...) {
    AfxMessageBox(Tr("Unbekannter Fehler im Modul."), MB_ICONSTOP);
  }
  return 1;
}

void GradesOfCalculation(int iNorm, bool concrete, CStringArray& list) {
  list.RemoveAll();
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  if (!code) return;
  GetMateHandler().GetObjekte(concrete ? "Beton" : "Stahl", concrete ? "Normalbeton" : "Betonstahl", code->gradeList,
                              list);
  // the engine's grade index reaches the first 30 concrete and 20 steel names
  const INT_PTR reach = concrete ? 30 : 20;
  if (list.GetSize() > reach) list.SetSize(reach);
}

namespace {

constexpr const char* kStahl = "Stahl";
constexpr const char* kBetonstahl = "Betonstahl";

// A reinforcing steel's ductility: its strain at maximum load ("duk", per mille) as the catalogue gives it under
// the grade list `gradeList`; negative where the catalogue gives none.
double Ductility(const char* gradeList, const CString& grade) {
  CMateProps props;
  CString name = grade;
  GetMateHandler().GetMaterial(props, kStahl, kBetonstahl, gradeList, name);
  const CString duk = props.GetValue("duk");
  return duk.IsEmpty() ? -1.0 : std::max(0.0, std::atof(duk.GetString()));
}

// The ductility of a grade that the code's list lacks, from the first code whose list has it; negative where no
// list has it or the catalogue gives it none.
double DuctilityElsewhere(const CString& grade) {
  for (const designcode::DesignCode& c : designcode::kCodes) {
    CStringArray names;
    GetMateHandler().GetObjekte(kStahl, kBetonstahl, c.gradeList, names);
    for (const CString& name : names)
      if (name == grade) return Ductility(c.gradeList, grade);
  }
  return -1.0;
}

// The index in `list` of the steel a calculation takes for `given`, which the list lacks: the grade the catalogue
// renames it to under the code; else the most ductile grade that is no more ductile than the given one; else, when
// the given one's ductility is unknown (or below every grade's), the least ductile grade. -1 when no grade of the
// list has a known ductility: the caller's fallback stays.
int SteelStandIn(const designcode::DesignCode& code, const CString& given, const CStringArray& list) {
  CString renamed = given;
  CMateHandler::CorrectRebarGradeName(kStahl, kBetonstahl, code.catalogue, renamed);
  for (INT_PTR i = 0; renamed != given && i < list.GetSize(); ++i)
    if (list[i] == renamed) return int(i);
  const double ductility = DuctilityElsewhere(given);
  int below = -1, least = -1;
  double belowDuk = 0.0, leastDuk = 0.0;
  for (INT_PTR i = 0; i < list.GetSize(); ++i) {
    if (list[i].IsEmpty()) continue;
    const double duk = Ductility(code.gradeList, list[i]);
    if (duk < 0.0) continue;
    if (least < 0 || duk < leastDuk) least = int(i), leastDuk = duk;
    if (ductility >= 0.0 && duk <= ductility && (below < 0 || duk > belowDuk)) below = int(i), belowDuk = duk;
  }
  return below >= 0 ? below : least;
}

}  // namespace

UsedGrade GradeOfCalculation(int iNorm, bool concrete, const CString& given) {
  UsedGrade grade;
  grade.name = given;
  grade.index = concrete ? 2 : 1;
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  if (!code) return grade;
  grade.norm = code->catalogue;
  CStringArray list;
  GradesOfCalculation(iNorm, concrete, list);
  grade.listSize = int(list.GetSize());
  for (INT_PTR i = 0; i < list.GetSize(); ++i)
    if (list[i] == given) {
      grade.index = int(i);
      return grade;
    }
  grade.replaced = grade.listSize > 0;
  if (!grade.replaced) return grade;
  if (const int standIn = concrete ? -1 : SteelStandIn(*code, given, list); standIn >= 0) grade.index = standIn;
  grade.name = list[std::min<INT_PTR>(grade.index, list.GetSize() - 1)];
  return grade;
}
