#include "framework/lkdata.h"

#include <cstdio>
#include <vector>

#include "framework/fieldlist.h"
#include "platform/kombra/kombra.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_common";
constexpr const char* kContext = "LKDlg";

CString Translate(const char* text) { return CString(TOLK_Translate(kArea, kDictionary, kContext, text)); }

void ShowMessage(const CString& text) { AfxMessageBox(text); }

LKOwnerDocumentFn ownerDocumentFn = nullptr;

// The 25 partial factors in member and attribute order.
struct PartialFactor {
  const char* name;
  double CLKData::*member;
};
constexpr PartialFactor kPartialFactors[] = {
    {"gamma_g_guenstig", &CLKData::gamma_g_guenstig},
    {"gamma_g_unguenstig", &CLKData::gamma_g_unguenstig},
    {"gamma_q_guenstig", &CLKData::gamma_q_guenstig},
    {"gamma_q_unguenstig", &CLKData::gamma_q_unguenstig},
    {"gamma_g_sup", &CLKData::gamma_g_sup},
    {"gamma_g_inf", &CLKData::gamma_g_inf},
    {"gamma_a", &CLKData::gamma_a},
    {"gamma_g_stb1", &CLKData::gamma_g_stb1},
    {"gamma_g_stb2", &CLKData::gamma_g_stb2},
    {"gamma_g_stb3", &CLKData::gamma_g_stb3},
    {"gamma_g_dst1", &CLKData::gamma_g_dst1},
    {"gamma_g_dst2", &CLKData::gamma_g_dst2},
    {"gamma_g_dst3", &CLKData::gamma_g_dst3},
    {"gamma_q_dst1", &CLKData::gamma_q_dst1},
    {"gamma_q_dst2", &CLKData::gamma_q_dst2},
    {"gamma_q_dst3", &CLKData::gamma_q_dst3},
    {"gamma_g_1", &CLKData::gamma_g_1},
    {"gamma_g_2", &CLKData::gamma_g_2},
    {"gamma_g_3", &CLKData::gamma_g_3},
    {"gamma_q_1", &CLKData::gamma_q_1},
    {"gamma_q_2", &CLKData::gamma_q_2},
    {"gamma_q_3", &CLKData::gamma_q_3},
    {"gamma_e0g_1", &CLKData::gamma_e0g_1},
    {"gamma_e0g_2", &CLKData::gamma_e0g_2},
    {"gamma_e0g_3", &CLKData::gamma_e0g_3},
};

bool IsEcFamily(int code) { return code == 3 || code == 4 || code == 5; }
bool UsesNationalList(int code) { return code == 0 || code == 4 || code == 5; }

}  // namespace

void SetLKOwnerDocumentFn(LKOwnerDocumentFn fn) { ownerDocumentFn = fn; }

// ---------------------------------------------------------------------------------------------------------
// Records

template <class V, class B>
void BeiwertFields(const V& v, B& b) {
  v.String("name", b.name);
  v.Double("psi0", b.psi0);
  v.Double("psi1", b.psi1);
  v.Double("psi2", b.psi2);
}

void CLKBeiwert::ReadData(int element) { BeiwertFields(FieldReader(element), *this); }

void CLKBeiwert::WriteData(int element) const { BeiwertFields(FieldWriter(element), *this); }

template <class V, class E>
void EinwirkungFields(const V& v, E& e) {
  v.Int("einw", e.nr);
  v.String("title", e.title);
  v.String("lastfaelle", e.lastfaelle);
  v.Int("indexGruppe", e.indexGruppe);
  v.Int("indexGruppeHHHH", e.indexGruppeHHHH);
  v.Int("indexKategorie", e.indexKategorie);
  v.Int("indexKLED", e.indexKLED);
  v.Flag("einwNichtAufteilen", e.einwNichtAufteilen);
  v.Int("lastfallMax", e.lastfallMax);
  v.Int("lastfallMin", e.lastfallMin);
  v.Int("alternativgruppe", e.alternativgruppe);
  v.String("desc", e.desc);
  v.Flag("readonly", e.readonly);
  v.Int("maxmin", e.maxmin);
  v.Int("indexLuda", e.indexLuda);
}

CEinwirkung& CEinwirkung::operator=(const CEinwirkung& other) {
  if (this == &other) return *this;
  nr = other.nr;
  title = other.title;
  lastfaelle = other.lastfaelle;
  indexGruppe = other.indexGruppe;
  indexGruppeHHHH = other.indexGruppeHHHH;
  indexKategorie = other.indexKategorie;
  indexKLED = other.indexKLED;
  einwNichtAufteilen = other.einwNichtAufteilen;
  lastfallMax = other.lastfallMax;
  lastfallMin = other.lastfallMin;
  alternativgruppe = other.alternativgruppe;
  desc = other.desc;
  maxmin = other.maxmin;
  indexLuda = other.indexLuda;
  return *this;
}

int CEinwirkung::KategorieNachEC(int kategorie) {
  static constexpr int map[] = {1, 3, 4, 5, 6, 7, 8, 11, 10, 12, 15, 16};
  return kategorie >= 0 && kategorie <= 11 ? map[kategorie] : kategorie;
}

int CEinwirkung::KategorieVonEC(int kategorie) {
  static constexpr int map[] = {0, 0, 1, 1, 2, 3, 4, 5, 6, 8, 8, 7, 9, 11, 11, 10, 11};
  return kategorie >= 0 && kategorie <= 16 ? map[kategorie] : kategorie;
}

bool CKombination::IstBekannteArt(const CString& art) {
  // the texts of the generator's verification kinds 0 to 4 (the kinds above form nothing)
  for (const char* bekannt : {"Ed", "Ed,A", "Ed,char", "Ed,frequ", "Ed,perm"})
    if (art == bekannt) return true;
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// Life

CLKData::CLKData() : session(KOMBRA_StartSession()) {}

CLKData::CLKData(const CLKData& other) : session(KOMBRA_StartSession()) { CopyFrom(other); }

CLKData& CLKData::operator=(const CLKData& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

CLKData::~CLKData() { KOMBRA_CloseSession(session); }

void CLKData::CopyFrom(const CLKData& other) {
  const int ownSession = session;
  variablenNamen = other.variablenNamen;
  variablenWerte = other.variablenWerte;
  owner = other.owner;
  lknorm = other.lknorm;
  modus = other.modus;
  version = other.version;
  normGesetzt = other.normGesetzt;
  unbenutzteEinwirkungenEntfernen = other.unbenutzteEinwirkungenEntfernen;
  spalteLastfaelle = other.spalteLastfaelle;
  spalteKLED = other.spalteKLED;
  spalteNichtAufteilen = other.spalteNichtAufteilen;
  spalteKategorie = other.spalteKategorie;
  mitAlternativLasten = other.mitAlternativLasten;
  mitAlternativGruppen = other.mitAlternativGruppen;
  maxAlternativgruppen = other.maxAlternativgruppen;
  mitGruppenTyp5 = other.mitGruppenTyp5;
  mitGruppenTyp6 = other.mitGruppenTyp6;
  kombinationGesperrt = other.kombinationGesperrt;
  ansichtButton = other.ansichtButton;
  gammaInfOption = other.gammaInfOption;
  kombisWiederherstellen = other.kombisWiederherstellen;
  protokollGammaPsi = other.protokollGammaPsi;
  protokollKombRegeln = other.protokollKombRegeln;
  manuelleKombinationen = other.manuelleKombinationen;
  nachweisMitGammaInf = other.nachweisMitGammaInf;
  nachweisSchalter = other.nachweisSchalter;
  ohneGammaPsi = other.ohneGammaPsi;
  mitFaktoren = other.mitFaktoren;
  gammaPsiDatei = other.gammaPsiDatei;
  kombRegelnDatei = other.kombRegelnDatei;
  schneeHoehe = other.schneeHoehe;
  psi2_kran = other.psi2_kran;
  GInfFactor = other.GInfFactor;
  lastfallTexte = other.lastfallTexte;
  gruppenIndizes = other.gruppenIndizes;
  lastfaelle = other.lastfaelle;
  // Element-wise, so that each action keeps its own read-only flag.
  einwirkungen.SetSize(other.einwirkungen.GetSize());
  for (INT_PTR i = 0; i < other.einwirkungen.GetSize(); ++i) einwirkungen[i] = other.einwirkungen[i];
  kombinationen = other.kombinationen;
  beiwerte = other.beiwerte;
  for (const PartialFactor& factor : kPartialFactors) this->*factor.member = other.*factor.member;
  session = ownSession;
  if (normGesetzt && NormName(lknorm) != nullptr) KOMBRA_SetNorm(session, NormName(lknorm));
}

const char* CLKData::NormName(int code) {
  static constexpr const char* names[] = {"DIN 1055-100", "DIN 18800", "SIA 260:2003", "EC", "EC_NAD", "EC_NAF"};
  return code >= 0 && code <= 5 ? names[code] : nullptr;
}

void CLKData::SetNorm(int code) {
  const int old = lknorm;
  const bool toEc = UsesNationalList(old) && code == 3;
  const bool fromEc = old == 3 && UsesNationalList(code);
  for (CEinwirkung& einwirkung : einwirkungen) {
    if (einwirkung.indexGruppe != 1 && einwirkung.indexGruppe != 2) continue;
    if (toEc) einwirkung.indexKategorie = CEinwirkung::KategorieNachEC(einwirkung.indexKategorie);
    if (fromEc) einwirkung.indexKategorie = CEinwirkung::KategorieVonEC(einwirkung.indexKategorie);
  }
  lknorm = code;
  normGesetzt = true;
  if (const char* name = NormName(code)) KOMBRA_SetNorm(session, name);
}

void CLKData::SetModus(int m) {
  if (m < 1 || m > 3) ShowMessage(Translate("CLKData::SetModus unzulässiger Modus vorgegeben"));
  modus = m;
}

// ---------------------------------------------------------------------------------------------------------
// Persistence

void CLKData::ReadData(int parent) {
  if (parent == 0) return;
  lknorm = 1;
  const int element = VIDUV_FindFirstChild(parent, "lastUeberlagerung");
  if (element == 0) return;

  modus = VIDUV_GetIntWithDefault(element, "modus", modus, 0);
  lknorm = VIDUV_GetIntWithDefault(element, "lknorm", 0, 0);
  version = VIDUV_GetIntWithDefault(element, "version", 0, 0);
  nachweisMitGammaInf = VIDUV_GetIntWithDefault(element, "nachweisMitGammaInf", 1, 1) != 0;
  mitAlternativLasten = VIDUV_GetIntWithDefault(element, "mitAlternativLasten", mitAlternativLasten ? 1 : 0, 1) != 0;
  mitAlternativGruppen = VIDUV_GetIntWithDefault(element, "mitAlternativGruppen", mitAlternativGruppen ? 1 : 0, 1) != 0;
  schneeHoehe = VIDUV_GetDoubleWithDefault(element, "schneeHoehe", schneeHoehe, 0);
  GInfFactor = VIDUV_GetDoubleWithDefault(element, "GInfFactor", 1.0, 1);
  psi2_kran = 0.77;

  if (const int factors = VIDUV_FindFirstChild(element, "sicherheitsbeiwerte")) {
    beiwerte.RemoveAll();
    for (int row = VIDUV_FindFirstChild(factors, "kombinationsbeiwerte"); row != 0;
         row = VIDUV_FindNextChild(row, "kombinationsbeiwerte")) {
      CLKBeiwert beiwert;
      beiwert.ReadData(row);
      beiwerte.Add(beiwert);
    }
    for (const PartialFactor& factor : kPartialFactors) this->*factor.member = VIDUV_GetDouble(factors, factor.name);
  }

  lastfaelle.RemoveAll();
  if (const int list = VIDUV_FindFirstChild(element, "lastfaelle")) {
    for (int row = VIDUV_FindFirstChild(list, "lastfall"); row != 0; row = VIDUV_FindNextChild(row, "lastfall")) {
      lastfaelle.Add(CLKLastfall{VIDUV_GetInt(row, "lf"), VIDUV_GetInt(row, "einw")});
    }
  }

  einwirkungen.RemoveAll();
  if (const int list = VIDUV_FindFirstChild(element, "einwirkungen")) {
    for (int row = VIDUV_FindFirstChild(list, "einwirkung"); row != 0; row = VIDUV_FindNextChild(row, "einwirkung")) {
      CEinwirkung e;
      EinwirkungFields(FieldReader(row), e);

      if (e.indexGruppeHHHH == 0 && e.indexGruppe > 0) e.indexGruppeHHHH = e.indexGruppe;
      if (version < 1) {
        // Files of the first format numbered the groups 1-5 additive, 6-12 alternative, 13, 14.
        int& g = e.indexGruppeHHHH;
        if (g < 1)
          g = 0;
        else if (g <= 5)
          g = 1;
        else if (g <= 12)
          g = 2;
        else if (g == 13)
          g = 3;
        else if (g == 14)
          g = 4;
        if (mitAlternativLasten) {
          e.indexGruppe = g;
        } else if (g == 0 || g == 1) {
          e.indexGruppe = g;
        } else if (g == 3 || g == 4) {
          e.indexGruppe = g - 1;
        } else if (g == 2) {
          ShowMessage(
              "Beim Konvertieren der Einwirkungen ist ein Fehler mit einer alternativen Einwirkung aufgetreten");
        }
        if (lknorm != 1) {
          static constexpr int renumber[] = {0, 0, 1, 2, 6, 7, 8, 9, 10, 11};
          if (e.indexKategorie >= 1 && e.indexKategorie <= 9) e.indexKategorie = renumber[e.indexKategorie];
          if (g == 4) e.indexKategorie = 0;
        } else {
          e.indexKategorie = 0;
        }
      }
      if (e.indexGruppeHHHH == 0) {
        e.indexKategorie = 0;
        e.alternativgruppe = 0;
        e.einwNichtAufteilen = false;
        e.indexKLED = 0;
      }
      einwirkungen.Add(e);
    }
  }
  if (einwirkungen.IsEmpty()) SetVereinfachteEinwirkungen();

  kombinationen.RemoveAll();
  if (const int list = VIDUV_FindFirstChild(element, "results")) {
    for (int row = VIDUV_FindFirstChild(list, "result"); row != 0; row = VIDUV_FindNextChild(row, "result")) {
      CKombination k;
      k.art = VIDUV_GetString(row, "art");
      k.regel = VIDUV_GetString(row, "regel");
      k.regelUser = VIDUV_GetString(row, "regelUser");
      k.desc = VIDUV_GetString(row, "desc");
      kombinationen.Add(k);
    }
  }
}

void CLKData::WriteData(int parent) {
  if (parent == 0 || !normGesetzt) return;
  for (int old = VIDUV_FindFirstChild(parent, "lastUeberlagerung"); old != 0;
       old = VIDUV_FindFirstChild(parent, "lastUeberlagerung")) {
    if (VIDUV_DeleteElement(old) == 0) break;
  }
  const int element = VIDUV_AddChildElement(parent, "lastUeberlagerung");
  if (element == 0) return;

  VIDUV_SetInt(element, "modus", modus);
  VIDUV_SetInt(element, "lknorm", lknorm);
  VIDUV_SetInt(element, "version", 2);
  VIDUV_SetInt(element, "nachweisMitGammaInf", nachweisMitGammaInf ? 1 : 0);
  VIDUV_SetInt(element, "mitAlternativLasten", mitAlternativLasten ? 1 : 0);
  VIDUV_SetInt(element, "mitAlternativGruppen", mitAlternativGruppen ? 1 : 0);
  VIDUV_SetDouble(element, "schneeHoehe", schneeHoehe);
  VIDUV_SetDouble(element, "psi2_kran", psi2_kran);
  VIDUV_SetDouble(element, "GInfFactor", GInfFactor);

  if (lknorm == 2) KOMBRA_SetVariable(session, "h", schneeHoehe > 1.0 ? schneeHoehe : 1.0);
  if (IsEcFamily(lknorm)) KOMBRA_SetVariable(session, "psi2_kran", psi2_kran);

  CStringArray texte;
  GetEinwirkungsTexte(texte);
  for (INT_PTR i = 0; i < einwirkungen.GetSize() && i < texte.GetSize(); ++i) einwirkungen[i].title = texte[i];

  GetKategorieBeiwerte();
  const int factors = VIDUV_AddChildElement(element, "sicherheitsbeiwerte");
  for (const CLKBeiwert& beiwert : beiwerte) beiwert.WriteData(VIDUV_AddChildElement(factors, "kombinationsbeiwerte"));
  for (const PartialFactor& factor : kPartialFactors) VIDUV_SetDouble(factors, factor.name, this->*factor.member);

  CStringArray gruppen;
  GetLastGruppen(gruppen);
  for (CEinwirkung& e : einwirkungen) {
    CString kategorie;
    if (e.indexGruppe >= 0 && e.indexGruppe < gruppen.GetSize()) {
      CStringArray kategorien;
      GetLastKategorien(kategorien, gruppen[e.indexGruppe]);
      if (e.indexKategorie >= 0 && e.indexKategorie < kategorien.GetSize()) kategorie = kategorien[e.indexKategorie];
    }
    if (e.indexKategorie < 0 || modus == 1) kategorie.Empty();
    if (kategorie.IsEmpty()) {
      switch (e.indexGruppeHHHH) {
        case 0:
        case 4: kategorie = "ständig"; break;
        case 1:
        case 2: kategorie = "veränderlich"; break;
        case 3: kategorie = "außergewöhnlich"; break;
        default: break;
      }
    }
    if (kategorie.IsEmpty())
      e.desc.Format("%d", e.nr);
    else
      e.desc.Format("%d: %s", e.nr, kategorie.GetString());
  }

  int list = 0;
  for (const CLKLastfall& row : lastfaelle) {
    if (row.lf < 1 || row.einw < 1) continue;
    if (list == 0) list = VIDUV_AddChildElement(element, "lastfaelle");
    const int child = VIDUV_AddChildElement(list, "lastfall");
    VIDUV_SetInt(child, "lf", row.lf);
    VIDUV_SetInt(child, "einw", row.einw);
  }

  if (!einwirkungen.IsEmpty()) {
    list = VIDUV_AddChildElement(element, "einwirkungen");
    for (CEinwirkung& e : einwirkungen) {
      if (e.nr < 1) continue;
      if (e.alternativgruppe < 1) e.alternativgruppe = 0;
      EinwirkungFields(FieldWriter(VIDUV_AddChildElement(list, "einwirkung")), e);
    }
  }

  list = 0;
  for (const CKombination& k : kombinationen) {
    if (list == 0) list = VIDUV_AddChildElement(element, "results");
    const int child = VIDUV_AddChildElement(list, "result");
    VIDUV_SetString(child, "art", k.art);
    VIDUV_SetString(child, "regel", k.regel);
    VIDUV_SetString(child, "regelUser", k.regelUser);
    if (!k.desc.IsEmpty()) VIDUV_SetString(child, "desc", k.desc);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Lists

void CLKData::GetLastGruppen(CStringArray& gruppen) {
  gruppen.RemoveAll();
  gruppenIndizes.RemoveAll();
  const int count = KOMBRA_GetNumOfLastGruppen(session);
  for (int i = 0; i < count; ++i) {
    const CString name = KOMBRA_GetLastGruppe(session, i);
    const int type = KOMBRA_GetLastGruppeType(session, i);
    if (type == 2 && !mitAlternativLasten) continue;
    if (type == 5 && !mitGruppenTyp5) continue;
    if (type == 6 && !mitGruppenTyp6) continue;
    if (modus == 1 && (type == 2 || type == 3 || type == 4)) continue;
    if (name.IsEmpty()) continue;
    gruppen.Add(name);
    gruppenIndizes.Add(i);
  }
}

void CLKData::GetLastKategorien(CStringArray& kategorien, const CString& gruppe) {
  kategorien.RemoveAll();
  KOMBRA_SetLastGruppe(session, gruppe);
  const int count = KOMBRA_GetNumOfLastKat(session);
  for (int j = 0; j < count; ++j) kategorien.Add(KOMBRA_GetLastKat(session, j));
}

void CLKData::GetKLEDNamen(CStringArray& namen) const {
  namen.RemoveAll();
  for (const char* name : {"ständig", "lang", "mittel", "kurz", "sehr kurz"}) namen.Add(name);
}

void CLKData::GetEinwirkungsTexte(CStringArray& texte) {
  texte.RemoveAll();
  CStringArray gruppen;
  GetLastGruppen(gruppen);
  for (const CEinwirkung& e : einwirkungen) {
    CString gruppe;
    CString kategorie;
    if (e.indexGruppe >= 0 && e.indexGruppe < gruppen.GetSize()) {
      gruppe = gruppen[e.indexGruppe];
      CStringArray kategorien;
      GetLastKategorien(kategorien, gruppe);
      if (e.indexKategorie >= 0 && e.indexKategorie < kategorien.GetSize()) kategorie = kategorien[e.indexKategorie];
    }
    if (e.indexKategorie == 0 || modus == 1) kategorie.Empty();
    CString text;
    if (kategorie.IsEmpty()) {
      text.Format("%d: %s", e.nr, Translate(gruppe).GetString());
    } else {
      text.Format("%d: %s, %s", e.nr, Translate(gruppe).GetString(), Translate(kategorie).GetString());
    }
    texte.Add(text);
  }
}

int CLKData::GetLastGruppeIndex(int i) const { return i >= 0 && i < gruppenIndizes.GetSize() ? gruppenIndizes[i] : -1; }

int CLKData::FindLastGruppe(int g) const {
  if (g < 0) return -1;
  for (INT_PTR i = 0; i < gruppenIndizes.GetSize(); ++i) {
    if (gruppenIndizes[i] == g) return int(i);
  }
  return -1;
}

int CLKData::GetDefaultKLED(int g, int kategorie) {
  if (lknorm == 1 || g == 0 || g == 4) return 0;
  KOMBRA_SetLastGruppe(session, KOMBRA_GetLastGruppe(session, g));
  if (kategorie > KOMBRA_GetNumOfLastKat(session)) return 0;
  if (g == 3) return 4;
  static constexpr int national[] = {2, 2, 1, 3, 2, 3, 3, 3, 2, 2, 2, 2};
  static constexpr int eurocode[] = {2, 2, 2, 2, 2, 2, 2, 2, 3, 2, 2, 3};
  if (kategorie < 0 || kategorie > 11) return 0;
  if (lknorm == 0 || lknorm == 2 || lknorm == 4 || lknorm == 5) return national[kategorie];
  if (lknorm == 3) return eurocode[kategorie];
  return 0;
}

bool CLKData::GetDefaultNichtAufteilen(int kategorie) {
  if (lknorm == 1) return false;
  // The categories are those of the variable groups; the first group of type 1 lists them.
  int count = 0;
  for (int g = 0; g < KOMBRA_GetNumOfLastGruppen(session); ++g) {
    if (KOMBRA_GetLastGruppeType(session, g) != 1) continue;
    KOMBRA_SetLastGruppe(session, KOMBRA_GetLastGruppe(session, g));
    count = KOMBRA_GetNumOfLastKat(session);
    break;
  }
  if (kategorie > count) return false;
  if (lknorm == 3) return kategorie == 8;
  if (lknorm == 0 || lknorm == 2 || lknorm == 4) return kategorie == 6;
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// Actions and load cases

void CLKData::UpdateLastfallZuordnung() {
  lastfallTexte.RemoveAll();
  for (const CLKLastfall& row : lastfaelle) {
    // Rows naming no action, or an action number no list could hold, build no text.
    if (row.einw < 0 || row.einw > kMaxEinwirkungNr) continue;
    if (row.einw >= lastfallTexte.GetSize()) lastfallTexte.SetSize(row.einw + 1);
    CString text = lastfallTexte[row.einw];
    if (!text.IsEmpty()) text += ", ";
    text.AppendFormat("%d ", row.lf);
    lastfallTexte[row.einw] = text;
  }
  for (int n = 1; n < lastfallTexte.GetSize(); ++n) {
    bool found = false;
    for (const CEinwirkung& e : einwirkungen) found = found || e.nr == n;
    if (found) continue;
    CEinwirkung e;
    e.nr = n;
    e.lastfaelle = lastfallTexte[n];
    einwirkungen.Add(e);
  }
  for (CEinwirkung& e : einwirkungen) {
    e.lastfaelle = e.nr >= 0 && e.nr < lastfallTexte.GetSize() ? lastfallTexte[e.nr] : CString();
  }
  if (unbenutzteEinwirkungenEntfernen) {
    for (INT_PTR i = einwirkungen.GetSize() - 1; i >= 0; --i) {
      bool used = false;
      for (const CLKLastfall& row : lastfaelle) used = used || row.einw == einwirkungen[i].nr;
      if (!used) einwirkungen.RemoveAt(i);
    }
  }
}

bool CLKData::CheckEinwirkungen() const {
  for (INT_PTR i = 0; i < einwirkungen.GetSize(); ++i) {
    if (einwirkungen[i].nr < 1) continue;
    for (INT_PTR j = i + 1; j < einwirkungen.GetSize(); ++j) {
      if (einwirkungen[j].nr != einwirkungen[i].nr) continue;
      CString text;
      text.Format(Translate("Einwirkung %d ist mehrfach definiert worden"), einwirkungen[i].nr);
      ShowMessage(text);
      return false;
    }
  }
  return true;
}

CString CLKData::GetLastfallEinwirkungen(int nr) const {
  return nr >= 1 && nr < lastfallTexte.GetSize() ? lastfallTexte[nr] : CString();
}

CEinwirkung CLKData::GetEinwirkung(int nr) const {
  for (const CEinwirkung& e : einwirkungen) {
    if (e.nr == nr) return e;
  }
  return CEinwirkung();
}

// ---------------------------------------------------------------------------------------------------------
// Generation

void CLKData::HandVariablesToGenerator() {
  for (INT_PTR i = 0; i < variablenNamen.GetSize() && i < variablenWerte.GetSize(); ++i) {
    KOMBRA_SetVariable(session, variablenNamen[i], variablenWerte[i]);
  }
  if (lknorm == 2) KOMBRA_SetVariable(session, "h", schneeHoehe > 1.0 ? schneeHoehe : 1.0);
  if (IsEcFamily(lknorm)) KOMBRA_SetVariable(session, "psi2_kran", psi2_kran);
  KOMBRA_SetVariable(session, "GInfFactor", GInfFactor);
}

namespace {
// The generator's verification kinds of the load standard, each switched by its control value; the
// accidental one also follows an accidental action.
std::vector<bool> NachweisArten(int lknorm, const std::array<bool, 16>& s, bool aussergewoehnlich) {
  const bool s1 = s[1] && (aussergewoehnlich || s[2]);
  std::vector<bool> kinds;
  switch (lknorm) {
    case 0:
    case 4:
    case 5:
      kinds = {s[0], s1, s[3], s[4], s[5], s[6], s[7], s[8], s[9], s[10], s[11], s[12], s[13], s[14], s[14], s[15]};
      break;
    case 3:
      kinds = {s[0], s1, s[3], s[4], s[5], s[6], s[7], s[8], s[9], s[10], s[11], s[12], s[14], s[14], s[15]};
      break;
    case 2:
      kinds = {s[0], s1, s[3], s[4], s[6], s[7], s[8], s[9], s[10], s[11], s[12], s[13], s[14], s[14], s[15]};
      break;
    case 1: kinds = {s[0], s1, s[3], s[14], s[14], s[15]}; break;
    default: break;
  }
  return kinds;
}
}  // namespace

bool CLKData::Calc() {
  if (kombinationGesperrt) return false;
  CStringArray lfTexte;
  CArray<int, int> lfEinwirkung;
  CStringArray gruppen;
  GetLastGruppen(gruppen);

  KOMBRA_ClearLFEW(session);
  KOMBRA_SetNoGammaPsi(session, ohneGammaPsi ? 1 : 0);
  const int numGruppen = KOMBRA_GetNumOfLastGruppen(session);
  bool aussergewoehnlich = false;
  int uebergeben = 0;

  if (modus == 3) {
    for (const CLKLastfall& row : lastfaelle) {
      if (row.einw == 0) continue;
      KOMBRA_SetLastfall(session, row.lf, row.einw);
      ++uebergeben;
    }
    for (CEinwirkung& e : einwirkungen) {
      if (e.nr < 1 || e.indexGruppeHHHH < 0) continue;
      const bool mitGammaInf = !(e.indexGruppeHHHH == 0 && !nachweisMitGammaInf);
      if (numGruppen > 0 && e.indexGruppeHHHH > numGruppen - 1) e.indexGruppeHHHH = 0;
      KOMBRA_SetLastGruppe(session, KOMBRA_GetLastGruppe(session, e.indexGruppeHHHH));
      const int numKat = KOMBRA_GetNumOfLastKat(session);
      if (numKat > 0 && (e.indexKategorie < 0 || e.indexKategorie > numKat - 1)) e.indexKategorie = 0;
      KOMBRA_DefEinw(session, e.nr, e.indexGruppeHHHH, e.indexKategorie, mitGammaInf ? 1 : 0);
      e.lastfallMax = 0;
      e.lastfallMin = 0;
      e.indexGruppeHHHH = GetLastGruppeIndex(e.indexGruppe);
      if (e.indexGruppeHHHH == 3) aussergewoehnlich = true;
    }
  } else {
    // Count first: a list beyond its size is refused before anything changes.
    int benoetigt = 0;
    for (const CEinwirkung& e : einwirkungen) {
      if (e.nr >= 1 && e.indexGruppeHHHH >= 0) benoetigt += e.indexGruppe == 0 ? 1 : 2;
    }
    if (benoetigt > kMaxGenerierteLastfaelle) {
      CString text;
      text.Format(Translate("Es können höchstens %d Lastfälle generiert werden (benötigt: %d)."),
                  kMaxGenerierteLastfaelle, benoetigt);
      ShowMessage(text);
      return false;
    }
    int k = 0;
    for (CEinwirkung& e : einwirkungen) {
      if (e.nr < 1 || e.indexGruppeHHHH < 0) continue;
      if (e.indexGruppe == 0) {
        e.lastfallMax = ++k;
        e.lastfallMin = 0;
        lfTexte.Add("(" + e.lastfaelle + ")");
        lfEinwirkung.Add(e.nr);
      } else {
        e.lastfallMax = ++k;
        lfTexte.Add("(max " + e.lastfaelle + ")");
        lfEinwirkung.Add(e.nr);
        e.lastfallMin = ++k;
        lfTexte.Add("(min " + e.lastfaelle + ")");
        lfEinwirkung.Add(e.nr);
      }
      e.indexGruppeHHHH = GetLastGruppeIndex(e.indexGruppe);
    }
    for (int lf = 1; lf <= k; ++lf) KOMBRA_SetLastfall(session, lf, lfEinwirkung[lf - 1]);
    uebergeben = k;
    // Defined under their own numbers, the numbers their load cases were handed with.
    for (const CEinwirkung& e : einwirkungen) {
      if (e.nr < 1 || e.indexGruppeHHHH < 0) continue;
      switch (e.indexGruppeHHHH) {
        case 0: KOMBRA_DefEinw(session, e.nr, 0, 0, nachweisMitGammaInf ? 1 : 0); break;
        case 1:
        case 2: KOMBRA_DefEinw(session, e.nr, 2, e.indexKategorie, 0); break;
        case 3:
          KOMBRA_DefEinw(session, e.nr, 3, e.indexKategorie, 0);
          aussergewoehnlich = true;
          break;
        default: break;
      }
    }
  }

  if (uebergeben == 0) return false;
  if (einwirkungen.IsEmpty()) {
    ShowMessage(Translate("Es ist keine Einwirkung definiert worden"));
    return false;
  }
  if (!CheckEinwirkungen()) return false;

  HandVariablesToGenerator();

  const std::vector<bool> kinds = NachweisArten(lknorm, nachweisSchalter, aussergewoehnlich);
  for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
    KOMBRA_EnableNachweis(session, int(kind), kinds[kind] ? 1 : 0);
  }

  // The generator refuses what it cannot form (too many combinations, unknown groups or categories).
  if (KOMBRA_Calc(session) != 0) {
    ShowMessage(CString(KOMBRA_GetLastError(session)));
    return false;
  }

  kombinationen.RemoveAll();
  const int count = KOMBRA_GetNumOfKombi(session);
  for (int k = 0; k < count; ++k) {
    CKombination kombination;
    kombination.art = KOMBRA_GetKombiTypStr(session, k);
    kombination.regel = KOMBRA_GetKombiStr(session, k);
    kombination.regelUser = KOMBRA_GetKombiStr(session, k);
    if (mitFaktoren) {
      kombination.faktoren.SetSize(KOMBRA_GetNumOfFaktoren(session));
      KOMBRA_GetKombi(session, k, kombination.faktoren.GetData());
    }
    kombinationen.Add(kombination);
  }
  for (CKombination& kombination : kombinationen) {
    kombination.regelUser = kombination.regel;
    if (modus == 3) continue;
    for (int lf = 1; lf <= lfTexte.GetSize(); ++lf) {
      CString marke;
      marke.Format("(%d)", lf);
      kombination.regelUser.Replace(marke, lfTexte[lf - 1]);
    }
  }
  return true;
}

void CLKData::WriteProtokolle() {
  if (!normGesetzt || ownerDocumentFn == nullptr || owner == nullptr) return;
  const int document = ownerDocumentFn(owner);
  const int root = VIDUV_GetRootElement(document);
  if (root == 0) return;
  auto rtfFiles = [root] { return VIDUV_FindOrAddChild(root, "rtfFiles"); };
  if (protokollGammaPsi) {
    KOMBRA_Protokoll(session, 1, 0, gammaPsiDatei);
    VIDUV_StoreFileInAttr(rtfFiles(), "lastueberlagerung_gammaPsi", gammaPsiDatei, 1);
    std::remove(gammaPsiDatei);
  }
  if (protokollKombRegeln) {
    if (kombisWiederherstellen) {
      KOMBRA_SetNumOfKombi(session, int(kombinationen.GetSize()));
      for (int k = 0; k < kombinationen.GetSize(); ++k) {
        KOMBRA_SetKombiStr(session, k, kombinationen[k].regel);
        KOMBRA_SetKombiTypStr(session, k, kombinationen[k].art);
      }
    }
    KOMBRA_Protokoll(session, 0, 1, kombRegelnDatei);
    VIDUV_StoreFileInAttr(rtfFiles(), "lastueberlagerung_kombRegeln", kombRegelnDatei, 1);
    std::remove(kombRegelnDatei);
  }
}

bool CLKData::SetVereinfachteEinwirkungen() {
  if (modus != 1 && !einwirkungen.IsEmpty()) return false;
  for (const CLKLastfall& row : lastfaelle) {
    if (row.einw > 3) {
      ShowMessage(
          Translate("vereinfachte Kombinationsregeln können nicht generiert werden, da EinwirkungsNr. > 3 vorhanden"));
      return false;
    }
  }
  einwirkungen.RemoveAll();
  CEinwirkung staendig;
  staendig.nr = 1;
  einwirkungen.Add(staendig);
  CEinwirkung nutzlast;
  nutzlast.nr = 2;
  nutzlast.indexGruppe = nutzlast.indexGruppeHHHH = 1;
  nutzlast.indexKLED = 2;
  einwirkungen.Add(nutzlast);
  CEinwirkung schnee;
  schnee.nr = 3;
  schnee.indexGruppe = schnee.indexGruppeHHHH = 1;
  schnee.indexKategorie = 6;
  schnee.indexKLED = 3;
  schnee.einwNichtAufteilen = true;
  einwirkungen.Add(schnee);
  UpdateLastfallZuordnung();
  return true;
}

void CLKData::GetKategorieBeiwerte() {
  beiwerte.RemoveAll();
  SetNorm(lknorm);
  KOMBRA_SetVariable(session, "GInfFactor", GInfFactor);

  int g = -1;
  for (int i = 0; i < KOMBRA_GetNumOfLastGruppen(session); ++i) {
    if (KOMBRA_GetLastGruppeType(session, i) == 1) {
      g = i;
      break;
    }
  }
  if (g >= 0) {
    KOMBRA_SetLastGruppe(session, KOMBRA_GetLastGruppe(session, g));
    for (int j = 0; j < KOMBRA_GetNumOfLastKat(session); ++j) {
      CLKBeiwert beiwert;
      beiwert.name = KOMBRA_GetLastKat(session, j);
      double psi[3] = {0.0, 0.0, 0.0};
      KOMBRA_GetPsi(session, g, j, psi);
      beiwert.psi0 = psi[0];
      beiwert.psi1 = psi[1];
      beiwert.psi2 = psi[2];
      beiwerte.Add(beiwert);
    }
  }

  double pair[2];
  auto gamma = [&](int kind, int situation, double* first, double* second) {
    pair[0] = pair[1] = 0.0;
    KOMBRA_GetGamma(session, kind, situation, pair);
    if (first != nullptr) *first = pair[0];
    if (second != nullptr) *second = pair[1];
  };
  gamma(0, 0, &gamma_g_guenstig, &gamma_g_unguenstig);
  gamma(1, 0, &gamma_q_guenstig, &gamma_q_unguenstig);
  gamma(0, 6, &gamma_g_inf, &gamma_g_sup);
  gamma(3, 1, &gamma_a, nullptr);
  gamma(0, 6, &gamma_g_stb1, &gamma_g_dst1);
  gamma(0, 7, &gamma_g_stb2, &gamma_g_dst2);
  gamma(0, 8, &gamma_g_stb3, &gamma_g_dst3);
  gamma(1, 6, nullptr, &gamma_q_dst1);
  gamma(1, 7, nullptr, &gamma_q_dst2);
  gamma(1, 8, nullptr, &gamma_q_dst3);
  gamma(0, 9, nullptr, &gamma_g_1);
  gamma(0, 10, nullptr, &gamma_g_2);
  gamma(0, 11, nullptr, &gamma_g_3);
  gamma(1, 9, nullptr, &gamma_q_1);
  gamma(1, 10, nullptr, &gamma_q_2);
  gamma(1, 11, nullptr, &gamma_q_3);
  gamma_e0g_1 = 1.2;
  gamma_e0g_2 = 1.1;
  gamma_e0g_3 = 1.0;
}
