#include "column/calcfunc.h"

#include <algorithm>
#include <exception>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "column/eingabepruefung.h"
#include "column/kolumodata.h"
#include "column/kombidateien.h"
#include "column/lagerexport.h"
#include "controls/ProgressDlg.h"
#include "designcode/designcode.h"
#include "transfer/ludata.h"
#include "engine/material.h"
#include "engine/progress.h"
#include "engine/protocol.h"
#include "engine/rechner.h"
#include "engine/results.h"
#include "engine/schub.h"
#include "engine/utilities.h"
#include "engine/workarrays.h"
#include "framework/matehandler.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/msgbox.h"

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

// Fields from the foot (the data's last field) upwards, with their coordinates into koor; false when the member
// count is beyond the engine's arrays.
bool SetzeFelder(CKolumoData& data, CStuetzenRechner& r, double koor[]) {
  const int nFelder = r.nFelder;
  int staebe = 0;
  // Each field's axis lies at its own offset from the system line (x along the engine's z, y along its y); the
  // engine links a field to the axis below it, the lowest to the supports on the system line.
  double exUnten = 0.0, eyUnten = 0.0;
  for (int f = 0; f < nFelder; ++f) {
    CKolumoQuer& q = data.querschnitte[nFelder - 1 - f];
    r.feldLaenge[f] = data.fieldLengths[nFelder - 1 - f].GetValue();
    r.feldStaebe[f] = q.teilung < 1 ? 5 : q.teilung;
    const double ex = q.ex.GetValue() / 100.0, ey = q.ey.GetValue() / 100.0;
    r.feldEz[f] = ex - exUnten;
    r.feldEy[f] = ey - eyUnten;
    exUnten = ex;
    eyUnten = ey;
    staebe += r.feldStaebe[f];
    koor[f + 1] = koor[f] + r.feldLaenge[f];
  }
  if (staebe > kMaxStaebe) {
    Melde("Mehr als 100 Stababschnitte. Stabteilung bitte Reduzieren.");
    return false;
  }
  return true;
}

// Supports: model node m (field end from the foot) is the data's support nFelder - m.
bool SetzeLager(CKolumoData& data, CStuetzenRechner& r, const int flags[4]) {
  const int nFelder = r.nFelder;
  int nummer = 0;
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    if (!flags[s]) continue;
    CArray<CSupport>& lager = data.supports[std::size_t(s)];
    for (int m = 0; m <= nFelder; ++m) {
      const int i = nFelder - m;
      if (i < 0 || i >= lager.GetSize()) continue;
      CSupport& sp = lager[i];
      double werte[7] = {
          sp.cz.GetValue(), sp.cy.GetValue(), sp.cx.GetValue(), 0.0, sp.cmy.GetValue(), sp.cmx.GetValue(), -1.0};
      if (s == 0 && m == 0) {
        // the foundation's springs replace those of the foot
        const double fund[5][2] = {{data.cz, 0}, {data.cy, 1}, {data.cx, 2}, {data.cmy, 4}, {data.cmx, 5}};
        for (const auto& f : fund)
          if (f[0] != 0.0) werte[int(f[1])] = f[0];
      }
      bool frei = true;
      for (int k : {0, 1, 2, 4, 5}) frei = frei && werte[k] == 0.0;
      if (frei) continue;
      if (nummer >= kMaxLager) {
        Melde("Zu viele Lager: höchstens 100 Lager in allen Bauzuständen zusammen.");
        return false;
      }
      for (int k = 0; k < 7; ++k) r.lagerWerte[nummer][k] = werte[k];
      r.lagerAnKnoten[s][m] = ++nummer;
    }
  }
  r.nLager = nummer;
  return true;
}

// Cross-sections and materials of the fields.
bool SetzeQuerschnitte(CKolumoData& data, CStuetzenRechner& r) {
  const int nFelder = r.nFelder;
  const int beton = GradeOfCalculation(data.iNorm, true, data.sBeton).index;
  const int stahl = GradeOfCalculation(data.iNorm, false, data.sStahl).index;
  for (int f = 0; f < nFelder; ++f) {
    CKolumoQuer& q = data.querschnitte[nFelder - 1 - f];
    StabQuerschnitt& s = r.querEingabe.feld[f];
    s.typ = q.type;
    s.wort = q.bewType;
    // The engine's y is the column's Y and its z the column's X: a rectangle's width along y is dy and its depth
    // along z is bx, as its bar distances bdy (along Y) and bdx (along X) already are.
    s.d[0] = q.type == 0 ? q.dy.GetValue() : q.bx.GetValue();
    s.d[1] = q.type == 0 ? q.bx.GetValue() : q.dy.GetValue();
    s.c1 = q.bdy.GetValue();
    s.c2 = q.bdx.GetValue();
    if (q.type == 1 || q.type == 2) {
      // A circle's bars sit on one ring at the single axis distance the engineer enters for it (bdx). A ring is
      // its outer diameter bx with the inner diameter dy as its opening; a circle has no opening, whatever dy holds.
      s.c1 = s.c2 = q.bdx.GetValue();
      if (q.type == 1) {
        s.d[1] = s.d[0];
        s.wort = 3;
      } else {
        if (!(s.d[1] > 0.0 && s.d[1] < s.d[0])) {
          Melde("Kreisring: Der Innendurchmesser muss größer als 0 und kleiner als der Außendurchmesser sein.");
          return false;
        }
        s.wort = 4;
      }
    }
    s.betonGuete = beton;
    s.stahlGuete = stahl;
    s.bewehrung = q.as.GetValue();
    const double theta = q.theta.GetValue();
    const double t = std::tan(theta * M_PI / 180.0);
    g_cotThetaFeld[f] = t != 0.0 ? 1.0 / t : 0.0;
  }
  return true;
}

// One load of stage s; positions and heights from the foot (koor).
bool SetzeLast(CStuetzenRechner& r, int s, Load& load, const double koor[]) {
  const int nFelder = r.nFelder;
  if (load.ltype == 0 || load.ltype == 1) {
    if (r.nLinienlasten[s] >= kMaxLinienlasten) {
      Melde("Zu viele Linienlasten in einem Bauzustand (höchstens 200).");
      return false;
    }
    LinienlastEingabe& q = r.linienlast[s][r.nLinienlasten[s]++];
    q.xa = koor[std::clamp(nFelder - load.node, 0, nFelder)] - load.offset.GetValue();
    q.laenge = -load.length.GetValue();
    const double sign = load.direction == 2 ? -1.0 : 1.0;
    q.qa = sign * load.val0.GetValue();
    q.qe = sign * (load.ltype == 0 ? load.val0.GetValue() : load.val1.GetValue());
    q.lastfall = load.lc;
    q.richtung = load.direction == 0 ? 2 : load.direction == 1 ? 1 : 0;
  } else if (load.ltype == 10) {
    if (r.nEinzellasten[s] >= kMaxEinzellasten) {
      Melde("Zu viele Einzellasten in einem Bauzustand (höchstens 200).");
      return false;
    }
    EinzellastEingabe& p = r.einzellast[s][r.nEinzellasten[s]++];
    p.position = nFelder + 1 - load.node;
    p.lastfall = load.lc;
    if (load.direction == 0) {
      p.werte[2] = load.val0.GetValue();
      p.werte[3] = load.val1.GetValue();
    } else if (load.direction == 1) {
      p.werte[1] = load.val0.GetValue();
      p.werte[4] = load.val1.GetValue();
    } else {
      p.werte[0] = -load.val0.GetValue();
    }
  } else if (load.ltype == 11) {
    // the own weight acts once, in the load case it names
    if (load.lc < 1 || (r.eigengewichtLf[s] != 0 && r.eigengewichtLf[s] != load.lc)) {
      Melde(
          "Das Eigengewicht muss in jedem Bauzustand genau einem Lastfall angehören. Berechnung wird nicht "
          "durchgeführt!");
      return false;
    }
    r.eigengewichtLf[s] = load.lc;
    r.gammaBeton = 25.0;
    r.ersteKombiLast = 25.0;
  }
  return true;
}

bool SetzeLasten(CKolumoData& data, CStuetzenRechner& r, const int flags[4], const double koor[]) {
  r.gammaBeton = 0.0;
  r.ersteKombiLast = 0.0;
  std::fill(std::begin(r.eigengewichtLf), std::end(r.eigengewichtLf), 0);
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    if (!flags[s]) continue;
    for (Load& load : data.loads[std::size_t(s)])
      if (!SetzeLast(r, s, load, koor)) return false;
  }
  return true;
}

void SetzeImperfektionen(CKolumoData& data, CStuetzenRechner& r) {
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    CKolumoVorver& v = data.vorver[std::size_t(s)];
    ImperfektionsEingabe& im = r.imperfektion[s];
    im.art = v.type;
    im.komponenten = v.bDirekteVorgabe;
    im.Kriech_CKAusm = v.bAusmitte;
    im.Kriech_Bzkn = v.IDPunkt;
    im.neigung = v.AppliedInclination();
    im.ausmitte = v.ausmitte.GetValue();
    im.neigungW = v.umx.GetValue() / 100.0;
    im.neigungV = v.umy.GetValue() / 100.0;
    im.teiler = v.AppliedModeDivisor();
  }
}

void SetzeKriechen(CKolumoData& data, CStuetzenRechner& r) {
  r.nKriech = 0;
  if (data.vorver[0].type > 1 && data.kriechen.GetSize() > 0) {
    r.kriechZahl = data.kriechen[0].KriechZahl;
    for (INT_PTR i = 0; i < data.kriechen.GetSize() && r.nKriech < kMaxKriech; ++i) {
      if (!(data.kriechen[i].Faktor > 0.0)) continue;
      r.kriechLf[r.nKriech] = int(i) + 1;
      r.kriechFakt[r.nKriech] = data.kriechen[i].Faktor;
      ++r.nKriech;
    }
  }
  r.kriechSchalter = r.nKriech;
}

}  // namespace

int PrepareSystem(CKolumoData& data, const std::string& basis, const int flags[4]) {
  CStuetzenRechner& r = g_rechner;
  const int nFelder = data.nFields();
  r.basisPfad = basis;
  r.dateiNummer = 0;
  NORM = data.iNorm + 1;
  if (nFelder < 1 || nFelder > kMaxFelder) {
    Melde("Die Stütze braucht mindestens ein Feld.");
    return 1;
  }
  r.nFelder = nFelder;
  double koor[kMaxFelder + 1] = {};
  if (!SetzeFelder(data, r, koor) || !SetzeLager(data, r, flags) || !SetzeQuerschnitte(data, r) ||
      !SetzeLasten(data, r, flags, koor))
    return 1;
  SetzeImperfektionen(data, r);
  SetzeKriechen(data, r);

  // stages, output, fire
  for (int s = 1; s < CKolumoData::kStages; ++s) r.stufeAktiv[s] = flags[s] ? 1 : 0;
  r.zeichenHoehe = data.BildBreite;
  r.materialWahl[0] = 1;
  r.brandSchalter = data.num_Brand ? 1 : 0;
  if (data.num_Brand) {
    r.brandParameter[0] = data.indexBrandKlasse;
    r.brandParameter[1] = data.indexBrandSeiten;
    r.brandParameter[2] = data.bPutzBekleidet;
  }
  return 0;
}

namespace {

// The engine's runs start laying out the work arrays at this index.
constexpr int kErsterFreierIndex = 1000;

// Whether a run over the stages of `flags` with nKombi combinations fits the engine's work arrays. When it does
// not, the message names the sizes that together are too large and what would fit. The engine object is loaded
// for the estimate: it must be set up again before a run.
bool PasstInArbeitsfelder(CKolumoData& data, const int flags[4], int nKombi, const char* lauf, ArbeitsBedarf& a) {
  g_rechner.Init();
  if (PrepareSystem(data, std::string(), flags) == 1) return false;
  a = g_rechner.Arbeitsbedarf(nKombi, kErsterFreierIndex);
  if (a.doubles <= kWorkDoubleCount && a.ints <= kWorkIntCount) return true;
  char text[1024];
  int n = std::snprintf(
      text, sizeof text,
      "Das System ist für die Arbeitsfelder der Berechnung zu groß (%s): %d Stababschnitte, %d Kombinationen, %lld "
      "Linienlastabschnitte (je Linienlast ein Abschnitt für jeden Stababschnitt, den sie überdeckt) und %lld "
      "Einzellasten brauchen %lld von %d Gleitkommazahlen und %lld von %d ganzen Zahlen.",
      lauf, a.staebe, a.kombinationen, a.linienSaetze, a.punktSaetze, a.doubles, kWorkDoubleCount, a.ints,
      kWorkIntCount);
  if (a.ints > kWorkIntCount) {
    n += std::snprintf(text + n, sizeof text - std::size_t(n),
                       " Bitte Stabteilung oder Anzahl der Linienlasten verringern.");
  } else {
    const long long ohne = a.doubles - a.doublesJeKombination * a.kombinationen;
    const long long moeglich = a.doublesJeKombination > 0 ? (kWorkDoubleCount - ohne) / a.doublesJeKombination : 0;
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
bool CharakteristischerVorlauf(CKolumoData& data, const std::string& basis, WorkArrays& arbeit) {
  std::string fehler;
  const std::string pfad = KombiDateiPfad(basis, kDateiTr, 0);
  if (!WriteCharacteristicFile(data, basis, fehler)) {
    AfxMessageBox(fehler.c_str());
    return false;
  }
  g_rechner.Init();
  const int flags[4] = {1, 0, 0, 0};
  if (PrepareSystem(data, basis, flags) == 1) return false;
  SetzeFarben();
  std::fill(std::begin(g_rechner.rechenSchalter), std::end(g_rechner.rechenSchalter), 0);
  const int n = g_rechner.RechneRegelNachweis(nullptr, std::max(1, data.maxLF[0]), kErsterFreierIndex);
  if (n <= 0) return false;  // the engine has said why
  DruckeErgebnisse(n, data.ergebnisse);
  for (auto& rec : data.ergebnisse.Fundkraefte) rec->LK = -rec->LK;
  std::remove(pfad.c_str());
  return true;
}

// The design run over every stage, with its combination files; false when it ended without results.
bool Bemessungslauf(CKolumoData& data, const std::string& basis, const StufenZahl zahl[], WorkArrays& arbeit) {
  arbeit.Leere();  // the pre-run's values must not reach this run
  g_rechner.Init();
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
  if (PrepareSystem(data, basis, flags) == 1) return false;
  SetzeFarben();
  LeereErgebnisse(data.ergebnisse, false);
  std::fill(std::begin(g_rechner.rechenSchalter), std::end(g_rechner.rechenSchalter), 1);

  int paesse = 0;
  for (int s = 0; s < CKolumoData::kStages; ++s)
    paesse += 3 * (zahl[s].ed + zahl[s].acc) + zahl[s].brand + zahl[s].perm;
  const int accidental = zahl[0].acc > 0 ? 1 : 0;
  int gbStart = 0;
  try {
    Fortschrittsdialog anzeige;
    FortschrittEinsatz einsatz(anzeige);
    gbStart = g_rechner.RechneStuetze(nullptr, std::max(1, paesse), kErsterFreierIndex, accidental);
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

// Where a result that is no finite number came from, in the words of the input: the combination, the creep run or
// the load case of the characteristic run.
std::string Herkunft(const CKolumoData& data, const StufenZahl zahl[], const NichtEndlicherWert& wo) {
  const KombiNummern n = NummeriereKombinationen(data, zahl);
  auto aus = [&](const std::vector<KombiVerweis>& liste, int i) {
    return i >= 0 && i < int(liste.size())
               ? KombinationsText(data, liste[std::size_t(i)].stage, liste[std::size_t(i)].index)
               : std::string();
  };
  const std::string satz = wo.satz;
  std::string text;
  if (satz == "ErfAs") {
    text = Tr("erforderliche Bewehrung").GetString();
  } else if (satz == "Fundkraefte" && wo.LK < 0) {
    char zeile[160];
    std::snprintf(zeile, sizeof zeile, Tr("Endsystem, Lastfall %d allein (charakteristisch)").GetString(), -wo.LK);
    text = zeile;
  } else if (wo.Typ == 2 && satz != "Rissnachweis") {
    text = Tr("Kriechen im Endsystem").GetString();
  } else if (satz == "Rissnachweis") {
    text = aus(n.perm, wo.LK - 1);
  } else if (satz == "Brandschnittgroessen") {
    text = aus(n.brand, wo.LK - zahl[0].ed - 1);
  } else {
    const int nEd = int(n.ed.size());
    text = wo.LK <= nEd ? aus(n.ed, wo.LK - 1) : aus(n.acc, wo.LK - nEd - 1);
  }
  if (text.empty()) {
    char zeile[160];
    std::snprintf(zeile, sizeof zeile, Tr("Kombination LK %d").GetString(), wo.LK);
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
                wo.satz, wo.spalte, wo.wert, wo.kote, Herkunft(data, zahl, wo).c_str());
  AfxMessageBox(text, MB_ICONSTOP);
  return false;
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
  data->SetDefaults();
  // Set before reading: the document part's OnInitDocument is given the position's name and folder while it is
  // read, and the support-reaction export of the write-back finds the position through it.
  data->doc = document;
  data->ReadData(document);
  // Formulas of the document part that failed are reported; they stop neither the calculation nor the saving.
  if (const CString messages = data->GetSubData().GetMessages(); !messages.IsEmpty())
    AfxMessageBox(Tr("Fehler in den Formeln des Dokuments:") + "\n" + messages, MB_ICONWARNING);
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
    WorkArrays arbeit(doubles, ints);
    if (zahl[0].lasten && !CharakteristischerVorlauf(*data, basis, arbeit)) return 1;
    if (!Bemessungslauf(*data, basis, zahl, arbeit)) return 1;
  }
  if (!ErgebnisseEndlich(*data, zahl)) return 1;

  UebernehmeStabteilung(*data);
  transferred.Restore();
  data->bSchreibeErgebnisse = 1;
  data->WriteData(document);
  data->bSchreibeErgebnisse = 0;
  return 1;
}

int KolumoCalc(int document, int) {
  try {
    return Calculate(document);
  } catch (const std::exception& e) {
    AfxMessageBox(e.what(), MB_ICONSTOP);
  } catch (...) {
    AfxMessageBox(Tr("Unbekannter Fehler im Modul."), MB_ICONSTOP);
  }
  return 1;
}

UsedGrade GradeOfCalculation(int iNorm, bool concrete, const CString& given) {
  UsedGrade grade;
  grade.name = given;
  const int max = concrete ? 30 : 20;
  grade.index = concrete ? 2 : 1;
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  if (!code) return grade;
  grade.norm = code->catalogue;
  CStringArray list;
  GetMateHandler().GetObjekte(concrete ? "Beton" : "Stahl", concrete ? "Normalbeton" : "Betonstahl", code->gradeList,
                              list);
  grade.listSize = int(list.GetSize());
  for (INT_PTR i = 0; i < list.GetSize() && i < max; ++i)
    if (list[i] == given) {
      grade.index = int(i);
      return grade;
    }
  grade.replaced = grade.listSize > 0;
  if (grade.replaced) grade.name = list[std::min<INT_PTR>(grade.index, list.GetSize() - 1)];
  return grade;
}
