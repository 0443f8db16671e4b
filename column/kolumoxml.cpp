// The column's part of the position file: annotations, the stages' combination data, output options, fire,
// foundation, system, loads with imperfections and creep, and the result records.
#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

#include "column/kolumodata.h"
#include "column/lagerexport.h"
#include "framework/fieldlist.h"
#include "framework/regsettings.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "designcode/designcode.h"

static_assert(std::endian::native == std::endian::little, "binary attributes hold little-endian values");

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", text)); }

// Files before this version keep their output options under "input" and lose their results.
constexpr double kVersionAusgabeAmRoot = 2.2;
// Files after this version know "num_FundLastw".
constexpr double kVersionFundLastw = 2011.01;
// The calculation divides each field into at least one of at most 100 members.
constexpr int kMaxFields = 100;

// Removes every copy of the element and adds a fresh one.
int Rewrite(int parent, const char* name) {
  while (int old = VIDUV_FindFirstChild(parent, name)) {
    if (!VIDUV_DeleteElement(old)) break;
  }
  return VIDUV_AddChildElement(parent, name);
}

int AddStage(int parent, int stage) {
  int element = VIDUV_AddChildElement(parent, "BauZustand");
  VIDUV_SetInt(element, "bzNr", stage);
  return element;
}

// The stage number of a "BauZustand" child; -1 outside 0-3.
int StageOf(int element) {
  int stage = VIDUV_GetInt(element, "bzNr");
  return stage >= 0 && stage < CKolumoData::kStages ? stage : -1;
}

template <class Fn>
void ForEachChild(int parent, const char* name, Fn fn) {
  for (int child = VIDUV_FindFirstChild(parent, name); child; child = VIDUV_FindNextChild(child, name)) fn(child);
}

// --- Result records: one field list per record kind serves writing and reading --------------------------

class RecordWriter {
 public:
  explicit RecordWriter(int element) : element_(element) {}
  void Int(const char* name, int& value) { VIDUV_SetInt(element_, name, value); }
  template <class T>
  void Column(const char* name, std::vector<T>& column) {
    if (!column.empty()) VIDUV_SetBinData(element_, name, int(column.size() * sizeof(T)), column.data(), 0);
  }
  void Fixed(const char* name, double* values, int count) {
    VIDUV_SetBinData(element_, name, count * int(sizeof(double)), values, 0);
  }

 private:
  int element_;
};

class RecordReader {
 public:
  explicit RecordReader(int element) : element_(element) {}
  void Int(const char* name, int& value) { value = VIDUV_GetInt(element_, name); }
  template <class T>
  void Column(const char* name, std::vector<T>& column) {
    const std::vector<char> bytes = Bytes(name);
    column.resize(bytes.size() / sizeof(T));
    if (!column.empty()) std::memcpy(column.data(), bytes.data(), column.size() * sizeof(T));
  }
  void Fixed(const char* name, double* values, int count) {
    const std::vector<char> bytes = Bytes(name);
    const std::size_t n = std::min<std::size_t>(bytes.size() / sizeof(double), std::size_t(count));
    if (n) std::memcpy(values, bytes.data(), n * sizeof(double));
  }

 private:
  std::vector<char> Bytes(const char* name) const {
    std::vector<char> bytes(std::size_t(std::max(0, VIDUV_GetBinDataLength(element_, name))));
    if (!bytes.empty()) bytes.resize(std::size_t(std::max(0, VIDUV_GetBinData(element_, name, bytes.data()))));
    return bytes;
  }
  int element_;
};

template <class V>
void Heads(V& v, int& System, int& LK, int& Typ) {
  v.Int("System", System);
  v.Int("LK", LK);
  v.Int("Typ", Typ);
}

template <class V>
void Fields(V& v, CResultSchnittgroessen& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Column("Kote", r.Kote), v.Column("N", r.N), v.Column("Vy", r.Vy), v.Column("Vx", r.Vx);
  v.Column("My", r.My), v.Column("Mx", r.Mx), v.Column("ErfAs", r.ErfAs), v.Column("AsAb", r.AsAb);
  v.Column("By", r.By), v.Column("Bx", r.Bx), v.Column("Eta", r.Eta);
}

// Ultimate and strain records.
template <class V>
void Fields(V& v, CResultBruchschnittgroessen& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Column("Kote", r.Kote), v.Column("N", r.N), v.Column("My", r.My), v.Column("Mx", r.Mx);
  v.Column("eps1", r.eps1), v.Column("eps2", r.eps2), v.Column("epss", r.epss), v.Column("alfa", r.alfa);
}

template <class V>
void Fields(V& v, CResultBrandschnittgroessen& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Int("OK", r.OK);
  v.Column("Kote", r.Kote), v.Column("N", r.N), v.Column("My", r.My), v.Column("Mx", r.Mx);
  v.Column("Nrd", r.Nrd), v.Column("alfa", r.alfa), v.Column("minB", r.minB), v.Column("minDeck", r.minDeck);
  v.Column("As", r.As);
  v.Column("FeldNr", r.FeldNr), v.Column("Grund", r.Grund), v.Column("erfB", r.erfB), v.Column("erfA", r.erfA);
  v.Column("vorhB", r.vorhB), v.Column("vorhA", r.vorhA), v.Column("Grad", r.Grad);
}

template <class V>
void Fields(V& v, CResultLagerkraefte& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Column("Kote", r.Kote), v.Column("Apx", r.Apx), v.Column("Apy", r.Apy), v.Column("Apz", r.Apz);
  v.Column("Amy", r.Amy), v.Column("Amx", r.Amx);
}

template <class V>
void Fields(V& v, CResultVerformung& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Fixed("Eigen", r.Eigen, 6);
  v.Column("Kote", r.Kote), v.Column("u", r.u), v.Column("v", r.v), v.Column("w", r.w);
  v.Column("phix", r.phix), v.Column("phiy", r.phiy), v.Column("v0", r.v0), v.Column("w0", r.w0);
}

template <class V>
void Fields(V& v, CResultSchub& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Column("Kote", r.Kote), v.Column("ved", r.ved), v.Column("cot", r.cot), v.Column("vrdct", r.vrdct);
  v.Column("vrdmax", r.vrdmax), v.Column("asb", r.asb), v.Column("strebe", r.strebe), v.Column("QuerNr", r.QuerNr);
}

template <class V>
void Fields(V& v, CResultRissnachweis& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Column("Kote", r.Kote), v.Column("N", r.N), v.Column("My", r.My), v.Column("Mx", r.Mx);
  v.Column("eps1", r.eps1), v.Column("eps2", r.eps2), v.Column("epss", r.epss), v.Column("sigma", r.sigma);
  v.Column("azab", r.azab), v.Column("nue", r.nue);
}

template <class V>
void Fields(V& v, CResultFundkraefte& r) {
  Heads(v, r.System, r.LK, r.Typ);
  v.Column("KNr", r.KNr), v.Column("Kote", r.Kote), v.Column("Apx", r.Apx), v.Column("Apy", r.Apy);
  v.Column("Apz", r.Apz), v.Column("Amy", r.Amy), v.Column("Amx", r.Amx), v.Column("dAmy", r.dAmy);
  v.Column("dAmx", r.dAmx);
}

template <class V>
void Fields(V& v, CResultErfAs& r) {
  v.Column("Kote", r.Kote), v.Column("As", r.As), v.Column("QuerNr", r.QuerNr), v.Column("LKNr", r.LKNr);
  v.Column("NachTyp", r.NachTyp);
}

// Finds the first value of a record that is no finite number.
class FiniteCheck {
 public:
  void Int(const char*, int&) {}
  template <class T>
  void Column(const char* name, std::vector<T>& column) {
    if constexpr (std::is_floating_point_v<T>) {
      if (name_) return;
      if (std::string_view(name) == "Kote") kote_ = &column;
      for (std::size_t i = 0; i < column.size(); ++i)
        if (!std::isfinite(column[i])) {
          name_ = name, zeile_ = i, wert_ = column[i];
          return;
        }
    }
  }
  void Fixed(const char* name, double* values, int count) {
    for (int i = 0; i < count && !name_; ++i)
      if (!std::isfinite(values[i])) name_ = name, wert_ = values[i];
  }
  // The column found, null when none; the height of its row where the record has one.
  const char* name_ = nullptr;
  std::size_t zeile_ = 0;
  double wert_ = 0.0;
  const std::vector<double>* kote_ = nullptr;
};

template <class Rec>
bool FindNonFinite(const char* satz, std::vector<std::unique_ptr<Rec>>& records, NichtEndlicherWert& wo) {
  for (auto& record : records) {
    FiniteCheck check;
    Fields(check, *record);
    if (!check.name_) continue;
    wo = NichtEndlicherWert{};
    wo.satz = satz;
    wo.spalte = check.name_;
    wo.wert = check.wert_;
    if constexpr (requires { record->LK; }) wo.LK = record->LK, wo.System = record->System, wo.Typ = record->Typ;
    // a non-finite height leaves the height 0: the column names it
    if (check.kote_ && check.zeile_ < check.kote_->size() && std::isfinite((*check.kote_)[check.zeile_]))
      wo.kote = (*check.kote_)[check.zeile_];
    return true;
  }
  return false;
}

template <class Rec>
void WriteRecords(int result, const char* name, std::vector<std::unique_ptr<Rec>>& records) {
  for (auto& record : records) {
    RecordWriter writer(VIDUV_AddChildElement(result, name));
    Fields(writer, *record);
  }
}

template <class Rec>
bool ReadRecord(int element, const char* name, std::vector<std::unique_ptr<Rec>>& records) {
  if (CString(VIDUV_GetElementName(element)) != name) return false;
  auto record = std::make_unique<Rec>();
  RecordReader reader(element);
  Fields(reader, *record);
  records.push_back(std::move(record));
  return true;
}

// --- Output options -----------------------------------------------------------------------------------------

// Visits the output options in their stored order; `full` adds those that older files do not have.
template <class V>
void AusgabeFields(const V& v, CKolumoData& d, bool full, bool fundLastw) {
  v.Int("num_System", d.num_System);
  v.Int("AusgabeTyp", d.AusgabeTyp);
  v.Int("num_Regel_KNSW", d.num_Regel_KNSW);
  v.Int("num_Regel_Lager", d.num_Regel_Lager);
  v.Int("num_Regel_Verform", d.num_Regel_Verform);
  v.Int("num_Regel_Schnitt", d.num_Regel_Schnitt);
  v.Int("num_Kriech_Lager", d.num_Kriech_Lager);
  v.Int("num_Kriech_Verform", d.num_Kriech_Verform);
  v.Int("num_Kriech_Schnitt", d.num_Kriech_Schnitt);
  v.Int("num_KNSW_Eigen", d.num_KNSW_Eigen);
  v.Int("num_KNSW_Lager", d.num_KNSW_Lager);
  v.Int("num_KNSW_Verform", d.num_KNSW_Verform);
  v.Int("num_KNSW_Schnitt", d.num_KNSW_Schnitt);
  v.Int("num_KNSW_Bruch", d.num_KNSW_Bruch);
  v.Int("num_KNSW_Dehn", d.num_KNSW_Dehn);
  v.Int("num_KNSW_Schub", d.num_KNSW_Schub);
  v.Int("num_Riss", d.num_Riss);
  v.Int("num_Fundament", d.num_Fundament);
  if (full && fundLastw) v.Int("num_FundLastw", d.num_FundLastw);
  v.Int("num_ErfAs", d.num_ErfAs);
  v.Int("num_Brand", d.num_Brand);
  v.Decimal("BildBreite", d.BildBreite);
  v.Int("GrafikTyp", d.GrafikTyp);
  if (full) v.Int("SchriftFeld", d.SchriftFeld);
  v.Int("graf_System", d.graf_System);
  v.Int("graf_Regel_Schnitt", d.graf_Regel_Schnitt);
  v.Int("graf_KNSW_Schnitt", d.graf_KNSW_Schnitt);
  v.Int("graf_Kriech_Schnitt", d.graf_Kriech_Schnitt);
  v.Int("graf_ErfAs", d.graf_ErfAs);
}

template <class V>
void BrandFields(const V& v, CKolumoData& d) {
  v.Int("indexBrandKlasse", d.indexBrandKlasse);
  v.Int("indexBrandSeiten", d.indexBrandSeiten);
  v.Int("bPutzBekleidet", d.bPutzBekleidet);
}

template <class V>
void FundamentFields(const V& v, CKolumoData& d) {
  v.Decimal("bx", d.bx);
  v.Decimal("by", d.by);
  v.Decimal("Es", d.Es);
  v.Decimal("EsID", d.EsID);
  v.Decimal("nue", d.nue);
  v.Int("FudPos", d.FudPos);
  v.Decimal("cx", d.cx);
  v.Decimal("cy", d.cy);
  v.Decimal("cz", d.cz);
  v.Decimal("cmx", d.cmx);
  v.Decimal("cmy", d.cmy);
  v.Decimal("fakt", d.fakt);
  v.Decimal("hoehe", d.hoehe);
}

template <class V>
void SystemFields(const V& v, CKolumoData& d) {
  v.Int("iNorm", d.iNorm);
  v.String("sBeton", d.sBeton);
  v.String("sStahl", d.sStahl);
  v.Int("Fertigteil", d.Fertigteil);
  v.Int("LKManuell", d.LKManuell);
}

// The design code preset for templates by the user's default code text; -1 for an unknown text.
int NormFuerVorgabe(const CString& text) {
  const designcode::DesignCode* c = designcode::ByPresetKey(text.GetString());
  return c ? c->input : -1;
}

}  // namespace

// --- XML of the sections, imperfections and creep -------------------------------------------------------

template <class V>
void CKolumoQuer::Fields(const V& v) {
  v.Int("type", type);
  v.Int("bewType", bewType);
  v.Int("teilung", teilung);
  v.Number("bx", bx);
  v.Number("dy", dy);
  v.Number("ex", ex);
  v.Number("ey", ey);
  v.Number("bdx", bdx);
  v.Number("bdy", bdy);
  v.Number("as", as);
  v.Number("theta", theta);
}

void CKolumoQuer::ReadData(int element) { Fields(FieldReader(element)); }

void CKolumoQuer::WriteData(int element) {
  if (teilung < 1) teilung = 5;
  Fields(FieldWriter(element));
}

template <class V>
void CKolumoVorver::Fields(const V& v) {
  v.Int("type", type);
  v.Int("bDirekteVorgabe", bDirekteVorgabe);
  v.Int("bGesetzt", bGesetzt);
  v.Int("bAusmitte", bAusmitte);
  v.Int("Schiefstellung", Schiefstellung);
  v.Int("IDPunkt", IDPunkt);
  v.Number("ausmitte", ausmitte);
  v.Number("umx", umx);
  v.Number("umy", umy);
  v.Number("invw", invw);
}

void CKolumoVorver::ReadData(int element) { Fields(FieldReader(element)); }

void CKolumoVorver::WriteData(int element) { Fields(FieldWriter(element)); }

template <class V, class K>
static void KriechenFields(const V& v, K& k) {
  v.Decimal("KriechZahl", k.KriechZahl);
  v.Decimal("Faktor", k.Faktor);
}

void CKolumoKriechen::ReadData(int element) { KriechenFields(FieldReader(element), *this); }

void CKolumoKriechen::WriteData(int element) const { KriechenFields(FieldWriter(element), *this); }

// --- Writing -----------------------------------------------------------------------------------------------

void CKolumoData::WriteData(int document) {
  BaseData::WriteData(document);
  int root = VIDUV_GetRootElement(document);
  if (!root) return;
  int input = VIDUV_FindOrAddChild(root, "input");

  for (INT_PTR i = 0; i < anmerkungen.GetSize(); ++i) {
    CString name;
    name.Format("Anmerkung_%d", int(i));
    VIDUV_SetString(input, name, anmerkungen[i]);
  }

  int einwirkungen = Rewrite(input, "Einwirkungen");
  for (int stage = 0; stage < kStages; ++stage) lastUeberlagerungBZ[stage].WriteData(AddStage(einwirkungen, stage));

  AusgabeFields(FieldWriter(Rewrite(root, "Ausgabe")), *this, true, true);
  BrandFields(FieldWriter(Rewrite(input, "Brand")), *this);
  FundamentFields(FieldWriter(Rewrite(input, "Fundament")), *this);

  int system = Rewrite(input, "system");
  SystemFields(FieldWriter(system), *this);
  VIDUV_SetInt(system, "nFields", nFields());
  int maxLFBZ = VIDUV_AddChildElement(system, "maxLFBZ");
  for (int stage = 0; stage < kStages; ++stage) VIDUV_SetInt(AddStage(maxLFBZ, stage), "maxLF", maxLF[stage]);
  for (int fieldNr = -1; fieldNr < nFields(); ++fieldNr) {
    int field = VIDUV_AddChildElement(system, "field");
    VIDUV_SetInt(field, "fieldNr", fieldNr);
    if (fieldNr >= 0) {
      fieldLengths[fieldNr].WriteXML(field, "length");
      if (fieldNr < querschnitte.GetSize()) querschnitte[fieldNr].WriteData(VIDUV_AddChildElement(field, "quer"));
    }
    int support = VIDUV_AddChildElement(field, "support");
    for (int stage = 0; stage < kStages; ++stage) {
      int element = AddStage(support, stage);
      if (fieldNr + 1 < supports[stage].GetSize()) supports[stage][fieldNr + 1].WriteData(element);
    }
  }

  int impact = Rewrite(input, "impact");
  for (int stage = 0; stage < kStages; ++stage) {
    int element = AddStage(impact, stage);
    for (Load& load : loads[stage]) load.WriteData(VIDUV_AddChildElement(element, "load"));
    vorver[stage].WriteData(VIDUV_AddChildElement(element, "vorver"));
    if (stage == 0)
      for (const CKolumoKriechen& entry : kriechen) entry.WriteData(VIDUV_AddChildElement(element, "Kriechen"));
  }

  WriteResultRecords(Rewrite(root, "result"));
  // Every write of a calculated column exports its support reactions for other positions.
  WriteExports(*this, document, kExportModus);
}

void CKolumoData::WriteResultRecords(int result) {
  int teilung = VIDUV_AddChildElement(result, "ErgStabTeil");
  if (!ErgStabTeil.IsEmpty())
    VIDUV_SetBinData(teilung, "Teilung", int(ErgStabTeil.GetSize() * sizeof(int)), ErgStabTeil.GetData(), 0);
  // Without section forces there is no calculation to show: no record of any kind is written.
  if (ergebnisse.Schnittgroessen.empty()) return;
  WriteRecords(result, "Schnittgroessen", ergebnisse.Schnittgroessen);
  WriteRecords(result, "Bruchschnittgroessen", ergebnisse.Bruchschnittgroessen);
  WriteRecords(result, "Brandschnittgroessen", ergebnisse.Brandschnittgroessen);
  WriteRecords(result, "Dehnschnittgroessen", ergebnisse.Dehnschnittgroessen);
  WriteRecords(result, "Lagerkraefte", ergebnisse.Lagerkraefte);
  WriteRecords(result, "Verformung", ergebnisse.Verformung);
  WriteRecords(result, "Schub", ergebnisse.Schub);
  WriteRecords(result, "Rissnachweis", ergebnisse.Rissnachweis);
  WriteRecords(result, "Fundkraefte", ergebnisse.Fundkraefte);
  WriteRecords(result, "ErfAs", ergebnisse.ErfAs);
  // Per field the entered bars against what must be built, readable without the records (kolumo calc prints it).
  for (const FieldReinforcement& f : CompareFieldReinforcement(*this)) {
    const int element = VIDUV_AddChildElement(result, "Feldbewehrung");
    VIDUV_SetInt(element, "feld", f.field);
    VIDUV_SetInt(element, "staebe", f.bars);
    VIDUV_SetDouble(element, "eingegeben", f.entered);
    if (f.innerBars > 0) {
      VIDUV_SetInt(element, "innererRingStaebe", f.innerBars);
      VIDUV_SetDouble(element, "innererRing", f.innerRing);
    }
    VIDUV_SetDouble(element, "erforderlich", f.required);
    VIDUV_SetInt(element, "ausreichend", f.suffices ? 1 : 0);
  }
}

bool SucheNichtEndlichenWert(CResultContainer& e, NichtEndlicherWert& wo) {
  return FindNonFinite("Schnittgroessen", e.Schnittgroessen, wo) ||
         FindNonFinite("Bruchschnittgroessen", e.Bruchschnittgroessen, wo) ||
         FindNonFinite("Brandschnittgroessen", e.Brandschnittgroessen, wo) ||
         FindNonFinite("Dehnschnittgroessen", e.Dehnschnittgroessen, wo) ||
         FindNonFinite("Lagerkraefte", e.Lagerkraefte, wo) || FindNonFinite("Verformung", e.Verformung, wo) ||
         FindNonFinite("Schub", e.Schub, wo) || FindNonFinite("Rissnachweis", e.Rissnachweis, wo) ||
         FindNonFinite("Fundkraefte", e.Fundkraefte, wo) || FindNonFinite("ErfAs", e.ErfAs, wo);
}

// --- Reading -----------------------------------------------------------------------------------------------

int CKolumoData::ReadData(int document) {
  if (!BaseData::ReadData(document)) return 0;
  int root = VIDUV_GetRootElement(document);
  int input = VIDUV_FindFirstChild(root, "input");
  if (root && input) {
    if (!VIDUV_FindNextChild(input, "input")) {
      for (int i = 0; i < kAnnotations; ++i) {
        CString name;
        name.Format("Anmerkung_%d", i);
        anmerkungen.SetAtGrow(i, VIDUV_GetString(input, name));
      }
    }
    const double fileVersion = VIDUV_GetDouble(root, "version");

    int stage = pDlg ? pDlg->GetStageSelection() : 0;
    if (stage < 0 || stage >= kStages) stage = 0;
    aktBauZustand = stage;
    if (int einwirkungen = VIDUV_FindFirstChild(input, "Einwirkungen")) {
      ForEachChild(einwirkungen, "BauZustand", [&](int element) {
        if (int s = StageOf(element); s >= 0) lastUeberlagerungBZ[s].ReadData(element);
      });
      lastUeberlagerung = lastUeberlagerungBZ[stage];
      lastUeberlagerung.owner = this;
      // The stage's combination data replaced the position's own: the actions that load transfers make are
      // made again on it.
      GetLUDataList().Recalc();
    }

    if (fileVersion < kVersionAusgabeAmRoot) {
      if (int element = VIDUV_FindFirstChild(input, "Ausgabe"))
        AusgabeFields(FieldReader(element), *this, false, false);
    } else if (int element = VIDUV_FindFirstChild(root, "Ausgabe")) {
      AusgabeFields(FieldReader(element), *this, true, fileVersion > kVersionFundLastw);
    }
    if (int element = VIDUV_FindFirstChild(input, "Brand")) BrandFields(FieldReader(element), *this);
    if (int element = VIDUV_FindFirstChild(input, "Fundament")) FundamentFields(FieldReader(element), *this);

    if (int system = VIDUV_FindFirstChild(input, "system")) {
      const int fields = VIDUV_GetInt(system, "nFields");
      if (fields < 0 || fields > kMaxFields) {
        CString text;
        text.Format(
            Tr("Die Datei gibt %d Felder an; möglich sind 0 bis %d. Das System wird nicht gelesen.").GetString(),
            fields, kMaxFields);
        AfxMessageBox(text);
      } else {
        SystemFields(FieldReader(system), *this);
        SetFieldCount(fields);
        if (int maxLFBZ = VIDUV_FindFirstChild(system, "maxLFBZ")) {
          ForEachChild(maxLFBZ, "BauZustand", [&](int element) {
            if (int s = StageOf(element); s >= 0) maxLF[s] = VIDUV_GetInt(element, "maxLF");
          });
        }
        ForEachChild(system, "field", [&](int field) {
          const int fieldNr = VIDUV_GetInt(field, "fieldNr");
          if (fieldNr < -1 || fieldNr >= fields) return;
          if (fieldNr >= 0) {
            fieldLengths[fieldNr].ReadXML(field, "length");
            if (int quer = VIDUV_FindFirstChild(field, "quer")) querschnitte[fieldNr].ReadData(quer);
          }
          ForEachChild(field, "support", [&](int support) {
            ForEachChild(support, "BauZustand", [&](int element) {
              if (int s = StageOf(element); s >= 0) supports[s][fieldNr + 1].ReadData(element);
            });
          });
        });
      }
    }

    if (int impact = VIDUV_FindFirstChild(input, "impact")) {
      ForEachChild(impact, "BauZustand", [&](int element) {
        const int s = StageOf(element);
        if (s < 0) return;
        ForEachChild(element, "load", [&](int child) {
          Load load;
          load.ReadData(child);
          loads[s].Add(load);
        });
        ForEachChild(element, "vorver", [&](int child) {
          CKolumoVorver read;
          read.ReadData(child);
          vorver[s] = read;
        });
        if (s == 0) {
          ForEachChild(element, "Kriechen", [&](int child) {
            CKolumoKriechen entry;
            entry.ReadData(child);
            kriechen.Add(entry);
          });
        }
      });
    }

    ClearResults();
    ErgStabTeil.RemoveAll();
    if (fileVersion < kVersionAusgabeAmRoot) {
      AfxMessageBox(Tr("Versionsbedingt werden Ihre alten Ergebnisdaten gelöscht."));
      ResetInputFingerprint();
    } else if (int result = VIDUV_FindFirstChild(root, "result")) {
      ReadResultRecords(result);
    }
  }

  DefineVariables();
  if (bIsTemplate) {
    const int preset = NormFuerVorgabe(GetRegSettings().GetDefaultNorm());
    if (preset >= 0) iNorm = preset;
  }
  return 1;
}

void CKolumoData::ReadResultRecords(int result) {
  for (int element = VIDUV_GetFirstChild(result); element; element = VIDUV_GetNextChild(element)) {
    if (CString(VIDUV_GetElementName(element)) == "ErgStabTeil") {
      std::vector<int> teilung;
      RecordReader(element).Column("Teilung", teilung);
      for (int count : teilung) ErgStabTeil.Add(count);
      continue;
    }
    (void)(ReadRecord(element, "Schnittgroessen", ergebnisse.Schnittgroessen) ||
           ReadRecord(element, "Bruchschnittgroessen", ergebnisse.Bruchschnittgroessen) ||
           ReadRecord(element, "Brandschnittgroessen", ergebnisse.Brandschnittgroessen) ||
           ReadRecord(element, "Dehnschnittgroessen", ergebnisse.Dehnschnittgroessen) ||
           ReadRecord(element, "Lagerkraefte", ergebnisse.Lagerkraefte) ||
           ReadRecord(element, "Verformung", ergebnisse.Verformung) || ReadRecord(element, "Schub", ergebnisse.Schub) ||
           ReadRecord(element, "Rissnachweis", ergebnisse.Rissnachweis) ||
           ReadRecord(element, "Fundkraefte", ergebnisse.Fundkraefte) ||
           ReadRecord(element, "ErfAs", ergebnisse.ErfAs));
  }
}
