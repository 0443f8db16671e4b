#include "column/eingabepruefung.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "framework/matehandler.h"
#include "formula/formulanumber.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "designcode/designcode.h"
#include "designcode/requirement.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

// Translated and formatted as printf does.
std::string Text(const char* vorlage, ...) {
  const char* uebersetzt = TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", vorlage);
  va_list args;
  va_start(args, vorlage);
  char buffer[1024];
  std::vsnprintf(buffer, sizeof buffer, uebersetzt, args);
  va_end(args);
  return buffer;
}

// Two numbers in the fewest digits, six at least, that tell them apart: a value beyond a limit never reads as
// the limit itself.
std::pair<std::string, std::string> TellApart(double a, double b) {
  char x[40], y[40];
  for (int stellen = 6;; ++stellen) {
    std::snprintf(x, sizeof x, "%.*g", stellen, a);
    std::snprintf(y, sizeof y, "%.*g", stellen, b);
    if (std::string(x) != y || stellen >= 17) return {x, y};
  }
}

// A node or field as the dialog numbers them, from 1, of an index the file counts from 0 (any int).
std::string Nummer(int index) { return std::to_string(static_cast<long long>(index) + 1); }

// A copy: the next translation may reuse the library's buffer.
std::string StufenName(int stage) {
  static const char* const kNamen[CKolumoData::kStages] = {"Endsystem", "Transport", "Bauzustand 1", "Bauzustand 2"};
  return TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", kNamen[stage]);
}

bool NormBekannt(int iNorm) { return designcode::ByInput(iNorm) != nullptr; }

std::string BekannteNormen() {
  std::string list;
  for (const designcode::DesignCode& c : designcode::kCodes)
    list += (list.empty() ? "" : ", ") + std::to_string(c.input) + ' ' + c.name;
  return list;
}

// Load types the column calculates: uniform and trapezoidal line loads, point load with moments, own weight.
bool LasttypBerechnet(int ltype) { return ltype == 0 || ltype == 1 || ltype == 10 || ltype == 11; }

// The values of a load that the calculation multiplies by the factors of its combinations (the own weight's come
// from the section).
struct LastWert {
  double wert;
  const char* feld;
};
std::vector<LastWert> GerechneteWerte(Load& l) {
  std::vector<LastWert> werte;
  if (l.ltype == 0 || l.ltype == 1 || l.ltype == 10) werte.push_back({l.val0.GetValue(), "val0"});
  // val1: the end of a trapezoid, the moment of a point load across the axis
  if (l.ltype == 1 || (l.ltype == 10 && l.direction != 2)) werte.push_back({l.val1.GetValue(), "val1"});
  return werte;
}

// A line load may end this close beyond the column's ends (m): the positions are sums of field lengths.
constexpr double kLageToleranz = 0.0005;
// Members one field can be divided into; the whole column has at most as many.
constexpr int kMaxTeilung = 100;

// The stage is calculated: it has load cases (as the driver decides).
bool HatLastfaelle(const CKolumoData& data, int s) {
  return data.maxLF[std::size_t(s)] > 0 && data.lastUeberlagerungBZ[std::size_t(s)].lastfaelle.GetSize() > 0;
}

std::set<int> Lastfallnummern(const CKolumoData& data, int s) {
  std::set<int> nummern;
  for (const CLKLastfall& lf : data.lastUeberlagerungBZ[std::size_t(s)].lastfaelle)
    if (lf.lf >= 1 && lf.lf <= data.maxLF[std::size_t(s)]) nummern.insert(lf.lf);
  return nummern;
}

// The numbers of the column's part of the file, by parent and element name: whole numbers, and decimals (read
// with a decimal comma as a point). Attributes that are missing read as 0 and are not checked here.
struct ZahlenListe {
  const char* element;  // "parent/name"
  const char* ganz;
  const char* dezimal;
  // decimals of the combination data, which the XML library reads: a decimal comma would be read as its end
  const char* punkt = "";
};
// The spring records of a support (a spring computed from the members above and below), read by the XML library.
constexpr const char* kFederGanz = "bDrehfeder bEnableOben bEnableUnten oqtyp olage uqtyp ulage";
constexpr const char* kFederDezimal = "oemod ograd oh oqkd oqrb oqrd oIy uemod ugrad uh uqkd uqrb uqrd uIy";

const ZahlenListe kZahlen[] = {
    {"root/Ausgabe",
     "num_System AusgabeTyp num_Regel_KNSW num_Regel_Lager num_Regel_Verform num_Regel_Schnitt num_Kriech_Lager "
     "num_Kriech_Verform num_Kriech_Schnitt num_KNSW_Eigen num_KNSW_Lager num_KNSW_Verform num_KNSW_Schnitt "
     "num_KNSW_Bruch num_KNSW_Dehn num_KNSW_Schub num_Riss num_Fundament num_FundLastw num_ErfAs num_Brand GrafikTyp "
     "SchriftFeld graf_System graf_Regel_Schnitt graf_KNSW_Schnitt graf_Kriech_Schnitt graf_ErfAs",
     "BildBreite"},
    {"input/Brand", "indexBrandKlasse indexBrandSeiten bPutzBekleidet", ""},
    {"input/Fundament", "FudPos", "bx by Es EsID nue cx cy cz cmx cmy fakt hoehe"},
    {"input/system", "iNorm Fertigteil LKManuell nFields", ""},
    {"system/maxLFBZ", "", ""},
    {"maxLFBZ/BauZustand", "bzNr maxLF", ""},
    {"system/field", "fieldNr", "length"},
    {"field/quer", "type bewType teilung", "bx dy ex ey bdx bdy as theta"},
    {"field/support", "", ""},
    {"support/BauZustand", "bzNr node cxTyp cyTyp czTyp cmxTyp cmyTyp cmzTyp cwTyp",
     "cx cy cz cmx cmy cmz cwoelb posX length ey ez"},
    {"BauZustand/SDcx", kFederGanz, "", kFederDezimal},
    {"BauZustand/SDcy", kFederGanz, "", kFederDezimal},
    {"BauZustand/SDcz", kFederGanz, "", kFederDezimal},
    {"BauZustand/SDcmx", kFederGanz, "", kFederDezimal},
    {"BauZustand/SDcmy", kFederGanz, "", kFederDezimal},
    {"BauZustand/SDcmz", kFederGanz, "", kFederDezimal},
    {"BauZustand/SDcw", kFederGanz, "", kFederDezimal},
    {"input/impact", "", ""},
    {"impact/BauZustand", "bzNr", ""},
    {"BauZustand/load", "lc ltype node direction bHasDirection", "offset length ey ez val0 val1 val2 val3 val4 val5"},
    {"BauZustand/vorver", "type bDirekteVorgabe bGesetzt bAusmitte Schiefstellung IDPunkt", "ausmitte umx umy invw"},
    {"BauZustand/Kriechen", "", "KriechZahl Faktor"},
    {"input/Einwirkungen", "", ""},
    {"Einwirkungen/BauZustand", "bzNr", ""},
    {"BauZustand/lastUeberlagerung",
     "modus lknorm version nachweisMitGammaInf mitAlternativLasten mitAlternativGruppen", "",
     "schneeHoehe psi2_kran GInfFactor"},
    {"lastUeberlagerung/sicherheitsbeiwerte", "", "",
     "gamma_g_guenstig gamma_g_unguenstig gamma_q_guenstig gamma_q_unguenstig gamma_g_sup gamma_g_inf gamma_a "
     "gamma_g_stb1 gamma_g_stb2 gamma_g_stb3 gamma_g_dst1 gamma_g_dst2 gamma_g_dst3 gamma_q_dst1 gamma_q_dst2 "
     "gamma_q_dst3 gamma_g_1 gamma_g_2 gamma_g_3 gamma_q_1 gamma_q_2 gamma_q_3 gamma_e0g_1 gamma_e0g_2 gamma_e0g_3"},
    {"sicherheitsbeiwerte/kombinationsbeiwerte", "", "", "psi0 psi1 psi2"},
    {"lastUeberlagerung/lastfaelle", "", ""},
    {"lastfaelle/lastfall", "lf einw", ""},
    {"lastUeberlagerung/einwirkungen", "", ""},
    {"einwirkungen/einwirkung",
     "einw indexGruppe indexGruppeHHHH indexKategorie indexKLED einwNichtAufteilen lastfallMax lastfallMin "
     "alternativgruppe readonly maxmin indexLuda",
     ""},
};

class Pruefung {
 public:
  Pruefung(CKolumoData& data, int document) : data_(data), document_(document) {}

  std::vector<std::string> Fehler() {
    Dokument();
    if (!NormBekannt(data_.iNorm))
      fehler_.push_back(
          Text("Bemessungsnorm iNorm = %d ist unbekannt (bekannt: %s).", data_.iNorm, BekannteNormen().c_str()));
    // a new position is such a column: nothing to calculate yet
    if (data_.nFields() < 1) fehler_.push_back(Text("Die Stütze hat kein Feld (nFields = %d).", data_.nFields()));
    for (int f = 0; f < data_.nFields(); ++f) Feldlaenge(data_.fieldLengths[f], f);
    for (int f = 0; f < data_.nFields() && f < data_.querschnitte.GetSize(); ++f) Querschnitt(data_.querschnitte[f], f);
    for (int s = 0; s < CKolumoData::kStages; ++s) Stufe(s);
    Kriechen();
    Fundament();
    if (NormBekannt(data_.iNorm)) {
      Sorte(true, data_.sBeton, "Betonsorte sBeton");
      Sorte(false, data_.sStahl, "Stahlsorte sStahl");
    }
    return fehler_;
  }

  // Said, not refused: the calculation takes a grade of the catalogue in place of an unknown one.
  const std::vector<std::string>& Hinweise() const { return hinweise_; }

  // Those of the problems that name a name defined nowhere.
  const std::vector<std::string>& Undefiniert() const { return undefiniert_; }

  std::vector<std::string> NurQuerschnitt(CKolumoQuer& q, int f) {
    Querschnitt(q, f);
    return fehler_;
  }

  std::vector<std::string> NurFeldlaenge(CFormulaNumber& laenge, int f) {
    Feldlaenge(laenge, f);
    return fehler_;
  }

  std::vector<std::string> NurLast(int s, int i, Load& l) {
    LastWerte(s, i, l);
    return fehler_;
  }

  std::vector<std::string> NurLastfall(int s, int i, const Load& l) {
    Lastfall(s, i, l, Lastfallnummern(data_, s));
    return fehler_;
  }

 private:
  // Text where a number belongs: the reading takes its leading number or 0, so it is refused here. Loads are
  // named by their place in the stage (`ordnung`, from 1).
  void Zahlen(int element, const std::string& eltern, const std::string& pfad, int ordnung = 0) {
    const std::string name = VIDUV_GetElementName(element);
    const ZahlenListe* liste = nullptr;
    for (const ZahlenListe& z : kZahlen)
      if (eltern + "/" + name == z.element) liste = &z;
    if (!liste) return;
    std::string hier = pfad.empty() ? name : pfad + "/" + name;
    if (ordnung > 0) hier += " " + std::to_string(ordnung);
    for (const char* kennung : {"fieldNr", "bzNr"})
      if (*VIDUV_GetString(element, kennung))
        hier += std::string("[") + kennung + "=" + VIDUV_GetString(element, kennung) + "]";
    auto enthaelt = [](const char* namen, const std::string& attr) {
      std::istringstream woerter(namen);
      for (std::string wort; woerter >> wort;)
        if (wort == attr) return true;
      return false;
    };
    for (int h = VIDUV_GetFirstAttrHandle(element); h; h = VIDUV_GetNextAttrHandle(h)) {
      const std::string attr = VIDUV_GetAttrNameByHandle(h);
      const std::string text = VIDUV_GetStringByHandle(h);
      int i = 0;
      double d = 0.0;
      if (enthaelt(liste->ganz, attr) && !ReadIntegerText(text.c_str(), i))
        fehler_.push_back(hier + ": " + Text("%s = \"%s\" ist keine ganze Zahl.", attr.c_str(), text.c_str()));
      else if (enthaelt(liste->dezimal, attr) && !ReadDecimalText(text.c_str(), d))
        fehler_.push_back(hier + ": " + Text("%s = \"%s\" ist keine Zahl.", attr.c_str(), text.c_str()));
      else if (enthaelt(liste->punkt, attr) && (!ReadDecimalText(text.c_str(), d) || text.find(',') != text.npos))
        fehler_.push_back(hier + ": " +
                          Text("%s = \"%s\" ist keine Zahl mit Dezimalpunkt.", attr.c_str(), text.c_str()));
    }
    int lasten = 0;
    for (int kind = VIDUV_GetFirstChild(element); kind; kind = VIDUV_GetNextChild(kind))
      Zahlen(kind, name, hier, std::string(VIDUV_GetElementName(kind)) == "load" ? ++lasten : 0);
  }

  // What the data no longer shows: stages outside 0-3 and a missing "impact" are dropped when the file is read;
  // numbers that were no numbers were read as their leading digits.
  void Dokument() {
    const int root = VIDUV_GetRootElement(document_);
    // the version decides where the output options are read and whether results are kept: read as 0, a text
    // would make the file an old one
    for (int h = VIDUV_GetFirstAttrHandle(root); h; h = VIDUV_GetNextAttrHandle(h)) {
      if (std::string(VIDUV_GetAttrNameByHandle(h)) != "version") continue;
      const std::string text = VIDUV_GetStringByHandle(h);
      double wert = 0.0;
      if (!ReadDecimalText(text.c_str(), wert) || text.find(',') != text.npos)
        fehler_.push_back(
            Text("Dateiversion version = \"%s\" ist keine Versionsnummer (wie \"2012.01\").", text.c_str()));
    }
    if (int ausgabe = VIDUV_FindFirstChild(root, "Ausgabe")) Zahlen(ausgabe, "root", "");
    const int input = VIDUV_FindFirstChild(root, "input");
    for (const char* teil : {"Brand", "Fundament", "system", "impact", "Einwirkungen"})
      if (int element = input ? VIDUV_FindFirstChild(input, teil) : 0) Zahlen(element, "input", "");
    const int impact = input ? VIDUV_FindFirstChild(input, "impact") : 0;
    if (!impact) {
      fehler_.push_back(Text("Die Position hat kein Element \"impact\": es gibt keine Lasten."));
      return;
    }
    for (int bz = VIDUV_FindFirstChild(impact, "BauZustand"); bz; bz = VIDUV_FindNextChild(bz, "BauZustand")) {
      const int nr = VIDUV_GetInt(bz, "bzNr");
      if (nr >= 0 && nr < CKolumoData::kStages) continue;
      if (VIDUV_FindFirstChild(bz, "load"))
        fehler_.push_back(Text("Lasten im Bauzustand bzNr = \"%s\": die Stütze hat nur die Bauzustände 0 bis 3.",
                               VIDUV_GetString(bz, "bzNr")));
    }
  }

  // The grade the calculation takes: a code without the fallback grade in its list is refused, a replaced grade said.
  void Sorte(bool beton, const CString& name, const char* feld) {
    const UsedGrade sorte = GradeOfCalculation(data_.iNorm, beton, name);
    if (sorte.listSize <= sorte.index) {
      fehler_.push_back(Text("%s = \"%s\": der Materialkatalog hat für %s keine Sorten (%s, %s).", feld,
                             name.GetString(), sorte.norm, beton ? "Beton" : "Stahl",
                             beton ? "Normalbeton" : "Betonstahl"));
      return;
    }
    if (sorte.replaced)
      hinweise_.push_back(Text("%s = \"%s\" gibt es in %s nicht; gerechnet wird mit %s.", feld, name.GetString(),
                               sorte.norm, sorte.name.GetString()));
  }

  // An expression that does not evaluate would be calculated with the value it had when it was saved; one that
  // reads a name the position defines nowhere, with that name as 0, and one that reads a name whose definition
  // failed, with the number that stands in for it. All are named with the expression, the second with the grid's
  // words for a typed name ("'xyz' nicht definiert"), the third with the definition and why it failed.
  bool Ausdruck(CFormulaNumber& zahl, const std::string& wer, const char* feld) {
    double wert = 0.0;
    if (zahl.m_bNumber || !zahl.m_pStore) return true;
    CVariableStore& store = *zahl.m_pStore;
    const char* text = zahl.m_strText.GetString();
    if (!store.Evaluate(text, &wert)) {
      fehler_.push_back(wer + Text("%s = \"%s\" lässt sich nicht auswerten.", feld, text));
      return false;
    }
    if (store.ReadsHaveValues()) return true;
    const CString grund = store.FailedReads().empty() ? store.UndefinedReadMessage() : store.FailedReadMessage();
    undefiniert_.push_back(wer + Text("%s = \"%s\": ", feld, text) + grund.str());
    fehler_.push_back(undefiniert_.back());
    return false;
  }

  void Feldlaenge(CFormulaNumber& laenge, int f) {
    const std::string wer = Text("Feld %d: ", f + 1);
    if (Ausdruck(laenge, wer, "Feldlänge") && !(laenge.GetValue() > 0.0))
      fehler_.push_back(wer + Text("Feldlänge = %g m ist nicht positiv.", laenge.GetValue()));
  }

  void Querschnitt(CKolumoQuer& q, int f) {
    {
      const std::string wer = Text("Feld %d, Querschnitt: ", f + 1);
      const std::pair<CFormulaNumber*, const char*> zahlen[] = {{&q.bx, "bx"}, {&q.dy, "dy"},      {&q.ex, "ex"},
                                                                {&q.ey, "ey"}, {&q.bdx, "bdx"},    {&q.bdy, "bdy"},
                                                                {&q.as, "as"}, {&q.theta, "theta"}};
      bool gut = true;
      for (const auto& [zahl, feld] : zahlen) gut = Ausdruck(*zahl, wer, feld) && gut;
      if (!gut) return;
    }
    const double bx = q.bx.GetValue(), dy = q.dy.GetValue(), bdx = q.bdx.GetValue(), bdy = q.bdy.GetValue();
    const double as = q.as.GetValue();
    auto melde = [&](const std::string& text) { fehler_.push_back(Text("Feld %d, Querschnitt: ", f + 1) + text); };
    if (q.type < 0 || q.type > 2) {
      melde(Text("Querschnittsart = %d ist unbekannt (0 Rechteck, 1 Kreis, 2 Ring).", q.type));
      return;
    }
    if (q.type == 0 && (q.bewType < 0 || q.bewType > 2))
      melde(Text("Bewehrungsanordnung bewType = %d ist unbekannt (0, 1 oder 2).", q.bewType));
    if (q.teilung > kMaxTeilung)
      melde(Text("Stabteilung teilung = %d: höchstens %d Stababschnitte.", q.teilung, kMaxTeilung));
    if (!(as >= 0.0)) melde(Text("Bewehrungsfläche as = %g cm² ist negativ.", as));
    if (!(bdx >= 0.0)) melde(Text("Randabstand bdx = %g cm ist negativ.", bdx));
    if (!(bdy >= 0.0)) melde(Text("Randabstand bdy = %g cm ist negativ.", bdy));
    if (!(bx > 0.0)) {
      melde(Text("Abmessung bx = %g cm ist nicht positiv.", bx));
      return;
    }
    // cot theta of the shear check; 0 stands for the code's default
    const double theta = q.theta.GetValue();
    if (!(theta >= 0.0 && theta < 90.0))
      melde(Text("Druckstrebenwinkel theta = %g° liegt nicht zwischen 0° und 90°.", theta));
    if (q.type == 1) {
      // bars on one circle at the axis distance bdx
      if (bdx >= bx / 2.0)
        melde(Text("Randabstand bdx = %g cm reicht bis zur Mitte (Durchmesser bx = %g cm).", bdx, bx));
      return;
    }
    if (!(dy > 0.0)) {
      melde(Text("Abmessung dy = %g cm ist nicht positiv.", dy));
      return;
    }
    if (q.type == 2) {
      // a ring of outer diameter bx and inner dy; its bars at bdx from the outer and the inner face
      if (dy >= bx)
        melde(Text("Innendurchmesser dy = %g cm ist nicht kleiner als der Außendurchmesser bx = %g cm.", dy, bx));
      else if (designcode::AtLeast(bdx, (bx - dy) / 2.0))
        melde(Text("Randabstand bdx = %g cm liegt außerhalb der Wand (Wanddicke %g cm).", bdx, (bx - dy) / 2.0));
      return;
    }
    // rectangle: bars at bdx from the faces across bx (X) and at bdy from those across dy (Y)
    if (bdx >= bx / 2.0) melde(Text("Randabstand bdx = %g cm reicht bis zur Mitte (Breite bx = %g cm).", bdx, bx));
    if (bdy >= dy / 2.0) melde(Text("Randabstand bdy = %g cm reicht bis zur Mitte (Dicke dy = %g cm).", bdy, dy));
  }

  void Stufe(int s) {
    const CArray<Load>& lasten = data_.loads[std::size_t(s)];
    if (!HatLastfaelle(data_, s)) {
      if (lasten.GetSize() > 0)
        fehler_.push_back(Text("%s: %d Lasten, aber keine Lastfälle; die Lasten würden nicht berechnet.",
                               StufenName(s).c_str(), int(lasten.GetSize())));
      return;
    }
    if (lasten.GetSize() == 0) fehler_.push_back(Text("%s: Lastfälle, aber keine Lasten.", StufenName(s).c_str()));
    if (data_.vorver[std::size_t(s)].type < 0 || data_.vorver[std::size_t(s)].type > 3)
      fehler_.push_back(Text("%s: Art der Vorverformung = %d ist unbekannt (0 bis 3).", StufenName(s).c_str(),
                             data_.vorver[std::size_t(s)].type));
    CKolumoVorver& v = data_.vorver[std::size_t(s)];
    const std::string wer = Text("%s, Vorverformung: ", StufenName(s).c_str());
    for (const auto& [zahl, feld] : {std::pair<CFormulaNumber*, const char*>{&v.ausmitte, "ausmitte"},
                                     {&v.umx, "umx"},
                                     {&v.umy, "umy"},
                                     {&v.invw, "invw"}})
      Ausdruck(*zahl, wer, feld);
    // the inclination 1/n and the reference node count only where the kind of imperfection reads them
    if ((v.type == 0 || v.type == 2) && !v.bDirekteVorgabe && v.Schiefstellung <= 0)
      fehler_.push_back(wer + Text("Schiefstellung 1/n mit n = %d; n muss positiv sein.", v.Schiefstellung));
    if ((v.type == 1 || v.type == 3) && !v.bAusmitte && (v.IDPunkt < 0 || v.IDPunkt > data_.nFields()))
      fehler_.push_back(wer + Text("Bezugsknoten %s (IDPunkt = %d) liegt nicht an der Stütze (Knoten 1 bis %d).",
                                   Nummer(v.IDPunkt).c_str(), v.IDPunkt, data_.nFields() + 1));
    for (INT_PTR i = 0; i < data_.supports[std::size_t(s)].GetSize() && i <= data_.nFields(); ++i) Lager(s, int(i));
    const std::set<int> nummern = Lastfallnummern(data_, s);
    for (INT_PTR i = 0; i < lasten.GetSize(); ++i) Last(s, int(i), nummern);
    const CLKData& lk = data_.lastUeberlagerungBZ[std::size_t(s)];
    // the combination file gives every load case its action: one that does not exist has no factors
    std::set<int> einwirkungen;
    for (const CEinwirkung& e : lk.einwirkungen) einwirkungen.insert(e.nr);
    for (const CLKLastfall& lf : lk.lastfaelle)
      if (!einwirkungen.count(lf.einw))
        fehler_.push_back((lf.einw > 0
                               ? Text("%s, Lastfall %d gehört zu Einwirkung %d, die es nicht gibt. ",
                                      StufenName(s).c_str(), lf.lf, lf.einw)
                               : Text("%s, Lastfall %d gehört zu keiner Einwirkung. ", StufenName(s).c_str(), lf.lf)) +
                          EinwirkungenNeuBilden());
    for (INT_PTR k = 0; k < lk.kombinationen.GetSize(); ++k) Kombination(s, int(k), nummern);
  }

  // A spring value as the engine reads it: -1 rigid, 0 free, otherwise a stiffness. Any other negative value or
  // no number at all would be taken as rigid or spread NaN through every result.
  void Federwert(double wert, const std::string& wer, const char* feld) {
    if (!std::isfinite(wert))
      fehler_.push_back(wer + Text("Federwert %s = %g ist keine Zahl.", feld, wert));
    else if (wert < 0.0 && wert != -1.0)
      fehler_.push_back(
          wer + Text("Federwert %s = %g ist negativ (-1 starr, 0 frei, sonst eine positive Steifigkeit).", feld, wert));
  }

  // The springs of support i of a stage (0 at the head, nFields at the foot) that the calculation reads.
  void Lager(int s, int i) {
    CSupport& sp = data_.supports[std::size_t(s)][i];
    const std::string wer = Text("%s, Lager an Knoten %d: ", StufenName(s).c_str(), i + 1);
    struct Feder {
      CFormulaNumber* wert;
      int typ;
      const CSpringData* daten;
      const char* name;
      bool drehung;
    };
    const Feder federn[] = {{&sp.cx, sp.cxTyp, &sp.SDcx, "cx", false},
                            {&sp.cy, sp.cyTyp, &sp.SDcy, "cy", false},
                            {&sp.cz, sp.czTyp, &sp.SDcz, "cz", false},
                            {&sp.cmx, sp.cmxTyp, &sp.SDcmx, "cmx", true},
                            {&sp.cmy, sp.cmyTyp, &sp.SDcmy, "cmy", true}};
    for (const Feder& f : federn) {
      if (!Ausdruck(*f.wert, wer, f.name)) continue;
      const double wert = f.wert->GetValue();
      if (f.typ == 1 && f.drehung) {
        // a degree of restraint is turned into a stiffness only when a member system saves it; the column would
        // take the percentage for a stiffness
        fehler_.push_back(wer + Text("%sTyp = 1: Einspanngrad %s = %g %% ist nicht in eine Federsteifigkeit "
                                     "umgerechnet; die Stütze rechnet mit Federwerten (-1 starr, 0 frei, kNm/rad).",
                                     f.name, f.name, wert));
        continue;
      }
      if (f.typ != 0 && f.typ != 2) {
        fehler_.push_back(wer + Text("Federart %sTyp = %d ist unbekannt (0 Federwert, %s2 aus Bauteilen berechnet).",
                                     f.name, f.typ, f.drehung ? "1 Einspanngrad, " : ""));
        continue;
      }
      Federwert(wert, wer, f.name);
      if (f.typ == 2) Federdaten(*f.daten, f.drehung, wer + Text("Feder %s aus Bauteilen: ", f.name));
    }
  }

  // The members a computed spring was derived from: the stiffness stands on them.
  void Federdaten(const CSpringData& d, bool drehung, const std::string& wer) {
    auto seite = [&](const CSpringData::Side& b, const char* p) {
      auto positiv = [&](double wert, const char* feld, const char* einheit) {
        if (!(wert > 0.0) || !std::isfinite(wert))
          fehler_.push_back(wer + Text("%s%s = %g %s ist nicht positiv.", p, feld, wert, einheit));
      };
      positiv(b.emod, "emod", "MN/m²");
      positiv(b.h, "h", "m");
      if (drehung && !(b.grad >= 0.0 && b.grad <= 100.0))
        fehler_.push_back(wer + Text("%sgrad = %g %% liegt nicht zwischen 0 und 100 %%.", p, b.grad));
      if (b.qtyp == 0) {
        positiv(b.qrb, "qrb", "cm");
        positiv(b.qrd, "qrd", "cm");
      } else if (b.qtyp == 1) {
        positiv(b.qkd, "qkd", "cm");
      } else if (b.qtyp != 2) {
        fehler_.push_back(wer + Text("%sqtyp = %d ist unbekannt (0 Rechteck, 1 Kreis, 2 Profil).", p, b.qtyp));
      }
    };
    // a translational spring stands on the member below alone
    if (drehung && d.bEnableOben) seite(d.oben, "o");
    if (d.bEnableUnten) seite(d.unten, "u");
  }

  // Creep acts in the final system when its imperfection is of a kind with creep: on the load cases that have a
  // creep factor above 0, with the first entry's creep coefficient.
  void Kriechen() {
    const int art = data_.vorver[0].type;
    if (!HatLastfaelle(data_, 0) || (art != 2 && art != 3)) return;
    const CArray<CKolumoKriechen>& eintraege = data_.kriechen;
    bool wirkt = false;
    for (INT_PTR i = 0; i < eintraege.GetSize(); ++i) {
      const double faktor = eintraege[i].Faktor;
      if (!std::isfinite(faktor))
        fehler_.push_back(Text("Kriechen, Lastfall %d: Faktor = %g ist keine endliche Zahl.", int(i) + 1, faktor));
      wirkt = wirkt || faktor > 0.0;
    }
    if (!wirkt) {
      hinweise_.push_back(
          Text("Endsystem: Vorverformung mit Kriechen (Art %d), aber kein Lastfall hat einen "
               "Kriechfaktor über 0: gerechnet wird ohne Kriechen.",
               art));
      return;
    }
    const double phi = eintraege[0].KriechZahl;
    if (!(phi >= 0.0) || !std::isfinite(phi)) fehler_.push_back(Text("Kriechzahl = %g ist keine Zahl von 0 an.", phi));
  }

  // The foundation's springs replace the foot's; its size and soil are read where foundation output is wanted.
  void Fundament() {
    if (!HatLastfaelle(data_, 0)) return;
    const std::string wer = Text("Fundament: ");
    const std::pair<double, const char*> federn[] = {
        {data_.cx, "cx"}, {data_.cy, "cy"}, {data_.cz, "cz"}, {data_.cmx, "cmx"}, {data_.cmy, "cmy"}};
    for (const auto& [wert, feld] : federn) Federwert(wert, wer, feld);
    if (!data_.num_Fundament && !data_.FudPos) return;
    const std::tuple<double, const char*, const char*> groessen[] = {
        {data_.bx, "bx", "m"}, {data_.by, "by", "m"}, {data_.hoehe, "hoehe", "m"}, {data_.Es, "Es", "MN/m²"}};
    for (const auto& [wert, feld, einheit] : groessen)
      if (!(wert > 0.0) || !std::isfinite(wert))
        fehler_.push_back(wer + Text("%s = %g %s ist nicht positiv.", feld, wert, einheit));
    if (!(data_.nue >= 0.0 && data_.nue < 0.5))
      fehler_.push_back(wer + Text("Querdehnzahl nue = %g liegt nicht in [0; 0,5).", data_.nue));
  }

  // Height of node n (0 at the head, nFields at the foot) below the head (m).
  double Tiefe(int node) {
    double t = 0.0;
    for (int f = 0; f < node && f < data_.nFields(); ++f) t += data_.fieldLengths[f].GetValue();
    return t;
  }

  // Load i of stage s, named by its place and text.
  std::string LastName(int s, int i, const Load& l) {
    return Text("%s, Last %d (\"%s\"): ", StufenName(s).c_str(), i + 1, l.desc.GetString());
  }

  // The load cases that exist are those the actions were formed for; the loads may reach further (`maxLF`) until
  // they are formed anew.
  void Last(int s, int i, const std::set<int>& nummern) {
    Load& l = data_.loads[std::size_t(s)][i];
    Lastfall(s, i, l, nummern);
    LastWerte(s, i, l);
  }

  void Lastfall(int s, int i, const Load& l, const std::set<int>& nummern) {
    if (nummern.count(l.lc)) return;
    std::string text = nummern.empty()
                           ? Text("Lastfall %d gibt es nicht (es gibt keinen Lastfall).", l.lc)
                           : Text("Lastfall %d gibt es nicht (höchster Lastfall %d).", l.lc, *nummern.rbegin());
    if (l.lc > 0 && l.lc <= data_.maxLF[std::size_t(s)]) text += " " + EinwirkungenNeuBilden();
    fehler_.push_back(LastName(s, i, l) + text);
  }

  // All of a load but its load case: its type, values, direction, node and where it lies on the column.
  void LastWerte(int s, int i, Load& l) {
    const std::string wer = LastName(s, i, l);
    auto melde = [&](const std::string& text) { fehler_.push_back(wer + text); };
    if (!LasttypBerechnet(l.ltype)) {
      const CString name = Load::GetLoadTypeText(l.ltype);
      melde(
          Text("Lasttyp ltype = %d%s wird von der Stütze nicht berechnet (0 Gleichlast, 1 Trapezlast, 10 "
               "Einzellast/Moment, 11 Eigengewicht).",
               l.ltype, name.IsEmpty() ? "" : (" (" + std::string(name.GetString()) + ")").c_str()));
      return;
    }
    const std::pair<CFormulaNumber*, const char*> zahlen[] = {
        {&l.offset, "Abstand"}, {&l.length, "Länge"}, {&l.val0, "val0"}, {&l.val1, "val1"}};
    bool gut = true;
    for (const auto& [zahl, feld] : zahlen) gut = Ausdruck(*zahl, wer, feld) && gut;
    if (!gut || l.ltype == 11) return;
    for (const LastWert& w : GerechneteWerte(l))
      if (!std::isfinite(w.wert)) melde(Text("%s = %g ist keine endliche Zahl.", w.feld, w.wert));
    if (l.direction < 0 || l.direction > 2)
      melde(Text("Lastrichtung direction = %d ist unbekannt (0 X, 1 Y, 2 Z).", l.direction));
    const int n = data_.nFields();
    if (l.node < 0 || l.node > n) {
      melde(Text("Knoten %s (node = %d) liegt nicht an der Stütze (Knoten 1 bis %d).", Nummer(l.node).c_str(), l.node,
                 n + 1));
      return;
    }
    // the calculation takes a load on the column's axis: an eccentricity would be dropped without its moment
    for (const auto& [zahl, feld] : {std::pair{&l.ey, "ey"}, std::pair{&l.ez, "ez"}})
      if (Ausdruck(*zahl, wer, feld) && zahl->GetValue() != 0.0)
        melde(
            Text("Lastausmitte %s = %g cm: die Stütze rechnet Lasten in ihrer Achse; das Moment bitte als Last "
                 "eingeben.",
                 feld, zahl->GetValue()));
    if (l.ltype == 10) {
      // a point load acts at its node: a distance from it would be dropped
      if (l.offset.GetValue() != 0.0)
        melde(Text("Einzellast mit Abstand %g m: Einzellasten wirken an ihrem Knoten.", l.offset.GetValue()));
      return;
    }
    // a line load runs from `offset` below its node over `length` downwards
    const double gesamt = Tiefe(n);
    const double anfang = Tiefe(l.node) + l.offset.GetValue();
    const double ende = anfang + l.length.GetValue();
    if (!(std::fabs(ende - anfang) > 0.0)) {
      melde(Text("Linienlast der Länge %g m.", l.length.GetValue()));
      return;
    }
    const double oben = std::min(anfang, ende), unten = std::max(anfang, ende);
    if (!(oben >= -kLageToleranz && unten <= gesamt + kLageToleranz))
      melde(
          Text("Linienlast von %.3f m bis %.3f m unter dem Kopf liegt nicht ganz an der Stütze (Höhe %.3f m; "
               "Knoten %s, Abstand %g m, Länge %g m).",
               oben, unten, gesamt, Nummer(l.node).c_str(), l.offset.GetValue(), l.length.GetValue()));
  }

  void Kombination(int s, int k, const std::set<int>& nummern) {
    const CKombination& komb = data_.lastUeberlagerungBZ[std::size_t(s)].kombinationen[k];
    const CString& formel = komb.regelUser.IsEmpty() ? komb.regel : komb.regelUser;
    const std::string wer = KombinationsText(data_, s, k) + ": ";
    // a kind the generator does not form would be left out of every verification without a word
    if (!CKombination::IstBekannteArt(komb.art)) {
      fehler_.push_back(wer + Text("Kombinationsart \"%s\" ist unbekannt (berechnet werden \"Ed\", \"Ed,A\" und "
                                   "\"Ed,perm\").",
                                   komb.art.GetString()));
      return;
    }
    // only these kinds reach the engine; the characteristic and frequent ones have no verification in the column
    if (komb.art != "Ed" && komb.art != "Ed,perm" && komb.art != "Ed,A") return;
    std::vector<KombiGlied> glieder;
    std::string grund;
    if (!LeseKombiFormel(formel.GetString(), glieder, grund)) {
      fehler_.push_back(wer + grund);
      return;
    }
    // a load case named twice is read by the engine with its last factor and by the column with the sum
    std::set<int> genannt, doppelt;
    for (const KombiGlied& g : glieder)
      for (int lf : g.lastfaelle)
        if (!genannt.insert(lf).second && doppelt.insert(lf).second)
          fehler_.push_back(wer + Text("Lastfall %d steht mehrmals in der Formel; jeder Lastfall darf nur einmal "
                                       "vorkommen (mit der Summe seiner Faktoren).",
                                       lf));
    for (const KombiGlied& g : glieder) {
      if (!std::isfinite(g.faktor)) {
        fehler_.push_back(wer + Text("Faktor %g ist keine endliche Zahl.", g.faktor));
        continue;
      }
      // the engine holds a factor in single precision
      if (std::fabs(g.faktor) > double(FLT_MAX)) {
        const auto [faktor, grenze] = TellApart(std::fabs(g.faktor), double(FLT_MAX));
        fehler_.push_back(wer + Text("Faktor %s%s ist zu groß: ein Faktor darf dem Betrag nach höchstens %s sein.",
                                     g.faktor < 0 ? "-" : "", faktor.c_str(), grenze.c_str()));
        continue;
      }
      const float faktor = static_cast<float>(g.faktor);
      for (int lf : g.lastfaelle) {
        if (!nummern.count(lf)) fehler_.push_back(wer + Text("Lastfall %d gibt es nicht.", lf));
        FaktorisierteLasten(s, lf, faktor, wer);
      }
    }
  }

  // Every load of load case lf in stage s times the factor must stay a number.
  void FaktorisierteLasten(int s, int lf, double faktor, const std::string& wer) {
    CArray<Load>& lasten = data_.loads[std::size_t(s)];
    for (INT_PTR i = 0; i < lasten.GetSize(); ++i) {
      Load& l = lasten[i];
      if (l.lc != lf || !LasttypBerechnet(l.ltype)) continue;
      for (const LastWert& w : GerechneteWerte(l))
        // two finite numbers whose product overflows
        if (std::isfinite(w.wert) && !std::isfinite(faktor * w.wert)) {
          // the factor is above 1 in magnitude, and shown so
          const std::string f = TellApart(std::fabs(faktor), 1.0).first;
          fehler_.push_back(wer + Text("Last %d (\"%s\"): %s = %g mal Faktor %s%s ist zu groß: das Produkt darf dem "
                                       "Betrag nach höchstens %g sein.",
                                       int(i) + 1, l.desc.GetString(), w.feld, w.wert, faktor < 0 ? "-" : "", f.c_str(),
                                       DBL_MAX));
        }
    }
  }

  CKolumoData& data_;
  int document_;
  std::vector<std::string> fehler_;
  std::vector<std::string> hinweise_;
  std::vector<std::string> undefiniert_;
};

}  // namespace

bool LeseKombiFormel(const std::string& formel, std::vector<KombiGlied>& glieder, std::string& grund) {
  glieder.clear();
  std::size_t i = 0;
  const std::size_t n = formel.size();
  auto blanks = [&] {
    while (i < n && std::isspace(static_cast<unsigned char>(formel[i]))) ++i;
  };
  auto fehlt = [&](const char* was) {
    grund = i < n ? Text("an Stelle %d \"%c\" steht, wo %s stehen muss.", int(i) + 1, formel[i], was)
                  : Text("die Formel endet, wo %s stehen muss.", was);
    return false;
  };
  auto ziffern = [&](std::string& text) {
    while (i < n && std::isdigit(static_cast<unsigned char>(formel[i]))) text += formel[i++];
  };
  blanks();
  if (i == n) {
    grund = Text("die Formel ist leer.");
    return false;
  }
  for (;;) {
    KombiGlied g;
    std::string zahl;
    blanks();
    ziffern(zahl);
    if (i < n && (formel[i] == '.' || formel[i] == ',')) {
      zahl += '.';
      ++i;
      ziffern(zahl);
    }
    if (zahl.empty() || zahl == ".") return fehlt(Text("ein Faktor").c_str());
    g.faktor = std::strtod(zahl.c_str(), nullptr);
    blanks();
    if (i >= n || formel[i] != '*') return fehlt("\"*\"");
    ++i;
    blanks();
    if (i >= n || formel[i] != '(') return fehlt("\"(\"");
    ++i;
    for (;;) {
      blanks();
      std::string lf;
      ziffern(lf);
      if (lf.empty() || lf.size() > 6) return fehlt(Text("eine Lastfallnummer").c_str());
      g.lastfaelle.push_back(std::stoi(lf));
      blanks();
      if (i < n && formel[i] == '+') {
        ++i;
        continue;
      }
      if (i < n && formel[i] == ')') {
        ++i;
        break;
      }
      return fehlt("\"+\" oder \")\"");
    }
    glieder.push_back(std::move(g));
    blanks();
    if (i == n) return true;
    if (formel[i] != '+') return fehlt("\"+\"");
    ++i;
  }
}

std::string KombinationsText(const CKolumoData& data, int stage, int index) {
  if (stage < 0 || stage >= CKolumoData::kStages) return "";
  const CLKData& lk = data.lastUeberlagerungBZ[std::size_t(stage)];
  if (index < 0 || index >= lk.kombinationen.GetSize()) return StufenName(stage);
  const CKombination& komb = lk.kombinationen[index];
  const CString& formel = komb.regelUser.IsEmpty() ? komb.regel : komb.regelUser;
  return Text("%s, Kombination %d (%s) \"%s\"", StufenName(stage).c_str(), index + 1, komb.art.GetString(),
              formel.GetString());
}

std::vector<std::string> EingabeFehler(CKolumoData& data, int document) { return Pruefung(data, document).Fehler(); }

std::vector<std::string> UndefinierteNamen(CKolumoData& data, int document) {
  Pruefung pruefung(data, document);
  pruefung.Fehler();
  return pruefung.Undefiniert();
}

std::vector<std::string> QuerschnittFehler(CKolumoData& data, const CKolumoQuer& quer, int field) {
  CKolumoQuer q = quer;
  return Pruefung(data, 0).NurQuerschnitt(q, field);
}

std::vector<std::string> FeldlaengeFehler(CKolumoData& data, const CFormulaNumber& length, int field) {
  CFormulaNumber laenge = length;
  return Pruefung(data, 0).NurFeldlaenge(laenge, field);
}

std::string LastfallFehler(CKolumoData& data, int stage, int index) {
  if (stage < 0 || stage >= CKolumoData::kStages || index < 0 || index >= data.loads[std::size_t(stage)].GetSize())
    return "";
  const std::vector<std::string> fehler =
      Pruefung(data, 0).NurLastfall(stage, index, data.loads[std::size_t(stage)][index]);
  return fehler.empty() ? "" : fehler.front();
}

std::vector<std::string> LastFehler(CKolumoData& data, int stage, const Load& load, int index) {
  if (stage < 0 || stage >= CKolumoData::kStages) return {};
  Load last = load;
  return Pruefung(data, 0).NurLast(stage, index, last);
}

std::string NeueFehler(const std::vector<std::string>& vorher, const std::vector<std::string>& nachher) {
  std::string text;
  for (const std::string& problem : nachher)
    if (std::find(vorher.begin(), vorher.end(), problem) == vorher.end()) text += (text.empty() ? "" : "\n") + problem;
  return text;
}

std::string EinwirkungenNeuBilden() {
  return Text(
      "Bitte die Einwirkungen auf der Seite \"Belastung\" mit \"Einwirkungskombinationen bilden\" neu "
      "bilden.");
}

bool PruefeEingabe(CKolumoData& data, int document) {
  Pruefung pruefung(data, document);
  const std::vector<std::string> fehler = pruefung.Fehler();
  if (fehler.empty()) {
    for (const std::string& hinweis : pruefung.Hinweise()) AfxMessageBox(hinweis.c_str(), MB_ICONINFORMATION);
    return true;
  }
  // a box stays readable: the first problems, then how many more
  constexpr std::size_t kZeigen = 15;
  std::string text = Text("Die Eingabe kann so nicht berechnet werden:");
  for (std::size_t k = 0; k < fehler.size() && k < kZeigen; ++k) text += "\n- " + fehler[k];
  if (fehler.size() > kZeigen) text += "\n" + Text("... und %d weitere.", int(fehler.size() - kZeigen));
  text += "\n" + Text("Berechnung wird nicht durchgeführt!");
  AfxMessageBox(text.c_str(), MB_ICONSTOP);
  return false;
}
