#include "column_ui/ergebniskatalog.h"

#include <algorithm>
#include <limits>

#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoResultDlg", text));
}

using Spalten = std::vector<double>;

template <class R>
const R* Finde(const std::vector<std::unique_ptr<R>>& list, int lk, int typ, int stufe) {
  for (const auto& r : list)
    if (r && r->LK == lk && r->Typ == typ && r->System == stufe) return r.get();
  return nullptr;
}

template <class Satz, class R, std::size_t N>
ErgebnisSpalte Spalte(const std::vector<std::unique_ptr<Satz>>& list, int lk, int typ, int stufe,
                      Spalten R::*const (&spalten)[N], int spalte, bool punkte = false) {
  const R* r = Finde(list, lk, typ, stufe);
  if (!r || spalte < 1 || spalte > int(N)) return {};
  return {&r->Kote, &(r->*spalten[spalte - 1]), punkte};
}

using S = CResultSchnittgroessen;
using B = CResultBruchschnittgroessen;
using L = CResultLagerkraefte;
using V = CResultVerformung;
using Q = CResultSchub;
using F = CResultFundkraefte;
using R = CResultRissnachweis;
using G = CResultBrandschnittgroessen;
Spalten S::*const kStab1[] = {&S::N, &S::Vy, &S::Vx, &S::My, &S::Mx, &S::Eta, &S::ErfAs, &S::AsAb};
Spalten S::*const kStab3[] = {&S::N, &S::Vy, &S::Vx, &S::My, &S::Mx, &S::By, &S::Bx, &S::Eta};
Spalten L::*const kLager[] = {&L::Apx, &L::Apy, &L::Apz, &L::Amx, &L::Amy};
Spalten V::*const kVerf[] = {&V::u, &V::v, &V::w, &V::phix, &V::phiy, &V::v0, &V::w0};
Spalten B::*const kBruch[] = {&B::N, &B::My, &B::Mx, &B::eps1, &B::eps2, &B::epss, &B::alfa};
Spalten Q::*const kSchub[] = {&Q::ved, &Q::cot, &Q::vrdct, &Q::vrdmax, &Q::asb};
Spalten F::*const kFund[] = {&F::Apx, &F::Apy, &F::Apz, &F::Amx, &F::Amy, &F::dAmx, &F::dAmy};
Spalten R::*const kRiss[] = {&R::N, &R::My, &R::Mx, &R::eps1, &R::eps2, &R::epss, &R::sigma, &R::azab, &R::nue};
Spalten G::*const kBrand[] = {&G::N, &G::My, &G::Mx, &G::Nrd, &G::alfa, &G::minB, &G::minDeck, &G::As};

// Leaves of kinds 1 and 2 (group chosen by the thousands digit); kind 2 names the first-order deformations apart.
struct Blatt {
  int code;
  const char* untergruppe;
  const char* blatt;
  const char* blattEdA = nullptr;
};
constexpr const char* kStabMitBem = "Stabschnittkräfte mit Bemessung";
constexpr const char* kStabWirk = "Stabschnittkräfte mit wirksamen Steifigkeiten";
const Blatt kBruchBlaetter[] = {
    {1101, kStabMitBem, "Normalkraft N [kN]"},
    {1102, kStabMitBem, "Querkraft Vy [kN]"},
    {1103, kStabMitBem, "Querkraft Vx [kN]"},
    {1104, kStabMitBem, "Moment My [kNm]"},
    {1105, kStabMitBem, "Moment Mx [kNm]"},
    {1106, kStabMitBem, "nue [-]"},
    {1107, kStabMitBem, "erf. As [cm²]"},
    {1108, kStabMitBem, "As-Ab [%]"},
    {1201, "Auflagerkräfte", "Auflagerkraft Apx [kN]"},
    {1202, "Auflagerkräfte", "Auflagerkraft Apy [kN]"},
    {1203, "Auflagerkräfte", "Auflagerkraft Apz [kN]"},
    {1204, "Auflagerkräfte", "Auflagermoment Amx [kNm]"},
    {1205, "Auflagerkräfte", "Auflagermoment Amy [kNm]"},
    {1301, "Verformungen", "Verformung u [mm]", "Verformung Apx u [mm]"},
    {1302, "Verformungen", "Verformung v [mm]", "Verformung Apy v [mm]"},
    {1303, "Verformungen", "Verformung w [mm]", "Verformung Apz w [mm]"},
    {1304, "Verformungen", "Verdrehung teta x [prom.}", "Verdrehung Amx teta x [prom.]"},
    {1305, "Verformungen", "Verdrehung teta y [prom.]", "Verdrehung Amy teta y [prom.]"},
    {1701, "Fundamentlasten", "Fundamentlast Ap-Ix [kN]"},
    {1702, "Fundamentlasten", "Fundamentlast Ap-Iy [kN]"},
    {1703, "Fundamentlasten", "Fundamentlast Ap-Iz [kN]"},
    {1704, "Fundamentlasten", "Fundamentmoment Am-Ix [kNm]"},
    {1705, "Fundamentlasten", "Fundamentmoment Am-Iy [kNm]"},
    {1706, "Fundamentlasten", "Differenzmoment Am-(II-I)x [kNm]"},
    {1707, "Fundamentlasten", "Differentmoment Am-(II-I)y [kNm]"},
    {3101, kStabWirk, "Normalkraft N [kN]"},
    {3102, kStabWirk, "Querkraft Vy [kN]"},
    {3103, kStabWirk, "Querkraft Vx [kN]"},
    {3104, kStabWirk, "Moment My [kNm]"},
    {3105, kStabWirk, "Moment Mx [kNm]"},
    {3106, kStabWirk, "By [MNm²]"},
    {3107, kStabWirk, "Bx [MNm²]"},
    {3108, kStabWirk, "nue [-]"},
    {3201, "Auflagerkräfte", "Auflagerkraft Apx [kN]"},
    {3202, "Auflagerkräfte", "Auflagerkraft Apy [kN]"},
    {3203, "Auflagerkräfte", "Auflagerkraft Apz [kN]"},
    {3204, "Auflagerkräfte", "Auflagermoment Amx [kNm]"},
    {3205, "Auflagerkräfte", "Auflagermoment Amy [kNm]"},
    {3301, "Verformungen", "Verformung u [mm]"},
    {3302, "Verformungen", "Verformung v [mm]"},
    {3303, "Verformungen", "Verformung w [mm]"},
    {3304, "Verformungen", "Verdrehung teta x [prom.]"},
    {3305, "Verformungen", "Verdrehung teta y [prom.]"},
    {3306, "Verformungen", "Verformung v0 [mm]"},
    {3307, "Verformungen", "Verformung u0 [mm]"},
    {3401, "Bruchsicherheit", "Normalkraft N,u [kN]"},
    {3402, "Bruchsicherheit", "Moment My,u [kNm]"},
    {3403, "Bruchsicherheit", "Moment Mx,u [kNm]"},
    {3404, "Bruchsicherheit", "eps 1,u [prom.]"},
    {3405, "Bruchsicherheit", "eps 2,u [prom.]"},
    {3406, "Bruchsicherheit", "eps s,u [prom]"},
    {3407, "Bruchsicherheit", "alfa,u [°]"},
    {3501, "Dehnungsnachweis", "Normalkraft N [kN]"},
    {3502, "Dehnungsnachweis", "Moment My [kNm]"},
    {3503, "Dehnungsnachweis", "Moment Mx [kNm]"},
    {3504, "Dehnungsnachweis", "eps 1 [prom.]"},
    {3505, "Dehnungsnachweis", "eps 2 [prom.]"},
    {3506, "Dehnungsnachweis", "eps s [prom.]"},
    {3507, "Dehnungsnachweis", "alfa [°]"},
    {3601, "Schubbemessung aus Querkraft", "Ved [kN]"},
    {3602, "Schubbemessung aus Querkraft", "cot theta [-]"},
    {3603, "Schubbemessung aus Querkraft", "Vrd,ct [kN]"},
    {3604, "Schubbemessung aus Querkraft", "Vrd,max [kN]"},
    {3605, "Schubbemessung aus Querkraft", "as,b [cm²/m]"},
};
const Blatt kRissBlaetter[] = {
    {3101, nullptr, "Normalkraft N [kN]"}, {3102, nullptr, "Moment My [kNm]"}, {3103, nullptr, "Moment Mx [kNm]"},
    {3104, nullptr, "eps 1,r [prom.]"},    {3105, nullptr, "eps 2,r [prom.]"}, {3106, nullptr, "eps s,r [prom.]"},
    {3107, nullptr, "Sigma s,r [MN/cm²]"}, {3108, nullptr, "Az/Ab [-]"},       {3109, nullptr, "mue z,r [%]"},
};
const Blatt kBrandBlaetter[] = {
    {4101, nullptr, "Normalkraft N [kN]"},   {4102, nullptr, "Moment My [kNm]"}, {4103, nullptr, "Moment Mx [kNm]"},
    {4104, nullptr, "Normalkraft Nrd [kN]"}, {4105, nullptr, "alfa [-]"},        {4106, nullptr, "min. Breite [cm]"},
    {4107, nullptr, "min. Deckung [cm]"},    {4108, nullptr, "As [cm²]"},
};

// Record type a code reads in a kind: first order Ed 0, Ed,A 1; second order and crack check 3; fire 1.
int TypFilter(int art, int code) {
  switch (code / 1000) {
    case 1: return art == kArtEd || art == kArtEdA ? art - 1 : -1;
    case 3: return 3;
    case 4: return 1;
    default: return -1;
  }
}

bool StufeHatLastfaelle(const CKolumoData& data, int s) {
  return data.maxLF[std::size_t(s)] > 0 && data.lastUeberlagerungBZ[std::size_t(s)].lastfaelle.GetSize() > 0;
}

}  // namespace

ErgebnisSpalte SucheSpalte(const CResultContainer& erg, int art, int code, int lk, int stufe) {
  const int typ = TypFilter(art, code);
  const int satz = (code % 1000) / 100, spalte = code % 10;
  if (typ < 0) return {};
  if (art == kArtEd || art == kArtEdA) {
    const bool erste = code / 1000 == 1;
    switch (satz) {
      case 1: return Spalte(erg.Schnittgroessen, lk, typ, stufe, erste ? kStab1 : kStab3, spalte);
      case 2: return Spalte(erg.Lagerkraefte, lk, typ, stufe, kLager, spalte, true);
      case 3: return Spalte(erg.Verformung, lk, typ, stufe, kVerf, erste && spalte > 5 ? 0 : spalte);
      case 4: return erste ? ErgebnisSpalte{} : Spalte(erg.Bruchschnittgroessen, lk, typ, stufe, kBruch, spalte);
      case 5: return erste ? ErgebnisSpalte{} : Spalte(erg.Dehnschnittgroessen, lk, typ, stufe, kBruch, spalte);
      case 6: return erste ? ErgebnisSpalte{} : Spalte(erg.Schub, lk, typ, stufe, kSchub, spalte);
      case 7: return erste ? Spalte(erg.Fundkraefte, lk, typ, stufe, kFund, spalte, true) : ErgebnisSpalte{};
      default: return {};
    }
  }
  if (art == kArtGebrauch && satz == 1 && code / 1000 == 3)
    return Spalte(erg.Rissnachweis, lk, typ, stufe, kRiss, spalte);
  if (art == kArtBrand && satz == 1 && code / 1000 == 4)
    return Spalte(erg.Brandschnittgroessen, lk, typ, stufe, kBrand, spalte);
  return {};
}

std::vector<ErgebnisBlatt> ErgebnisBlaetter(const CResultContainer& erg, int art, int lk, int stufe) {
  std::vector<ErgebnisBlatt> out;
  auto anbieten = [&](const Blatt& b, const CString& gruppe) {
    const ErgebnisSpalte s = SucheSpalte(erg, art, b.code, lk, stufe);
    if (!s.kote || !s.werte || s.kote->empty() || s.werte->size() != s.kote->size()) return;
    CString pfad = gruppe + "\\";
    if (b.untergruppe) pfad += Tr(b.untergruppe) + "\\";
    pfad += Tr(art == kArtEdA && b.blattEdA ? b.blattEdA : b.blatt);
    out.push_back({pfad, b.code});
  };
  if (art == kArtEd || art == kArtEdA) {
    // First order before second order, each in the record kinds' order (member forces, supports, deformations,
    // ultimate, strain, shear, foundation).
    for (int ordnung : {1, 3}) {
      const CString gruppe = Tr(ordnung == 1 ? (art == kArtEd ? "Bruchnachweis Ed" : "Bruchnachweis Ed,A")
                                             : (art == kArtEd ? "Verformungsnachweis Ed" : "Verformungsnachweis Ed,A"));
      for (const Blatt& b : kBruchBlaetter)
        if (b.code / 1000 == ordnung) anbieten(b, gruppe);
    }
  } else if (art == kArtGebrauch) {
    for (const Blatt& b : kRissBlaetter) anbieten(b, Tr("Rissnachweis"));
  } else if (art == kArtBrand) {
    for (const Blatt& b : kBrandBlaetter) anbieten(b, Tr("Brandschutznachweis Ed,A"));
  }
  return out;
}

KombiBaum BaueKombinationen(const CKolumoData& data, int stufe) {
  KombiBaum baum;
  stufe = std::clamp(stufe, 0, CKolumoData::kStages - 1);
  // Record numbers: the calculation counts only stages with load cases; the accidental records follow all "Ed".
  int edVor = 0, edAlle = 0, aussVor = 0, permVor = 0, edStufe0 = 0;
  for (int t = 0; t < CKolumoData::kStages; ++t) {
    if (!StufeHatLastfaelle(data, t)) continue;
    const bool auss = data.HatAussergewEinwirkung(t);
    for (const CKombination& k : data.lastUeberlagerungBZ[std::size_t(t)].kombinationen) {
      const bool ed = k.art == "Ed";
      edAlle += ed;
      if (t == 0) edStufe0 += ed;
      if (t < stufe) {
        edVor += ed;
        aussVor += k.art == "Ed,A" && auss;
        permVor += k.art == "Ed,perm";
      }
    }
  }
  // Numbers shown: they count on over the earlier stages. The serviceability items carry their record numbers, the
  // numbers the report gives them.
  int u = 1, g = permVor + 1;
  for (int t = 0; t < stufe; ++t)
    for (const CKombination& k : data.lastUeberlagerungBZ[std::size_t(t)].kombinationen) {
      if (k.art == "Ed")
        ++u;
      else if (k.art == "Ed,A") {
        if (t == 0 && data.num_Brand && !data.HatAussergewEinwirkung(0)) ++u;
        if (data.HatAussergewEinwirkung(t)) ++u;
      }
    }
  const bool lasten = StufeHatLastfaelle(data, stufe);
  const bool auss = data.HatAussergewEinwirkung(stufe);
  int ed = 0, edA = 0, perm = 0;
  auto add = [&](const char* gruppe, int art, int nr, const CString& kombiArt, int satzLK) {
    CString pfad;
    pfad.Format("%s \\LK [%d],%s", Tr(gruppe).GetString(), nr, kombiArt.GetString());
    baum.eintraege.push_back({pfad, art * 10000 + nr, lasten ? satzLK : 0});
    return pfad;
  };
  for (const CKombination& k : data.lastUeberlagerungBZ[std::size_t(stufe)].kombinationen) {
    if (u > 9999 || g > 9999) {
      baum.ueberlauf = true;
      continue;
    }
    if (k.art == "Ed") {
      const CString pfad = add("Tragsicherheit", kArtEd, u, k.art, edVor + ++ed);
      if (baum.erstesEd.IsEmpty()) baum.erstesEd = pfad;
      ++u;
    } else if (k.art == "Ed,A") {
      ++edA;
      if (data.num_Brand && stufe == 0) {
        add("Brandschutz", kArtBrand, u, k.art, edStufe0 + edA);
        if (!auss) ++u;
      }
      // Only a stage with an accidental action has accidental records.
      if (auss) add("Tragsicherheit", kArtEdA, u++, k.art, edAlle + aussVor + edA);
    } else if (k.art == "Ed,perm") {
      add("Gebrauchstauglichkeit", kArtGebrauch, g++, k.art, permVor + ++perm);
    }
    // The calculation checks no other serviceability combination and writes no record for it: an item would lead
    // to an empty result tree.
  }
  return baum;
}

void Extremwerte(const std::vector<double>& werte, double& groesster, double& kleinster) {
  groesster = -std::numeric_limits<double>::max();
  kleinster = std::numeric_limits<double>::max();
  for (double w : werte) {
    groesster = std::max(groesster, w);
    kleinster = std::min(kleinster, w);
  }
  if (werte.empty()) groesster = kleinster = 0.0;
}
