// The column's position data: fields stacked from the head of the column down to its foot, each with a length
// and a cross-section, supports at the field ends, and per construction stage (0 "Endsystem", 1 "Transport",
// 2 "Bauzustand 1", 3 "Bauzustand 2") the supports, loads, imperfections and load combinations; creep, output
// options, fire and foundation data and the result records. Units: field lengths m, sections cm and degrees.
#pragma once

#include <array>
#include <vector>

#include "framework/module_interface.h"
#include "engine/results.h"
#include "formula/formulanumber.h"
#include "formula/varstore.h"
#include "framework/basedata.h"
#include "framework/lkdata.h"
#include "framework/load.h"
#include "framework/support.h"
#include "platform/win/afx.h"

// One cross-section of a field.
class CKolumoQuer {
 public:
  CKolumoQuer() = default;
  CKolumoQuer(const CKolumoQuer& other) = default;
  CKolumoQuer& operator=(const CKolumoQuer& other) = default;
  virtual ~CKolumoQuer() = default;

  void SetVariableStore(CVariableStore* store);
  void ReadData(int element);
  // A member count below 1 is stored and written as 5.
  void WriteData(int element);

  int type = 0;                 // section kind; kinds 1 and 2 change how the calculation reads the dimensions
  int bewType = 0;              // reinforcement layout
  CFormulaNumber bx = 30.0;     // cm
  CFormulaNumber dy = 30.0;     // cm
  CFormulaNumber ex = 0.0;      // cm
  CFormulaNumber ey = 0.0;      // cm
  CFormulaNumber bdx = 3.0;     // cm, cover
  CFormulaNumber bdy = 3.0;     // cm, cover
  CFormulaNumber as = 2.0;      // cm²
  CFormulaNumber theta = 45.0;  // degrees
  int teilung = 5;              // members the field is divided into

  // The bars the engineer entered: their number in the layout (0 for a layout the column does not know) and
  // their total area in cm². Layouts 0 and 1 of a rectangle take `as` per bar, the others as their total.
  int EnteredBarCount() const;
  double EnteredArea();
  // The inner ring that the calculation builds in a ring section beside the entered bars: its bars and their
  // total area in cm² (0 for the other sections).
  int InnerRingBarCount() const;
  double InnerRingArea() const;

 private:
  // Every stored attribute, in stored order, for reading and writing alike.
  template <class V>
  void Fields(const V& v);
};

// The imperfections of one construction stage.
class CKolumoVorver {
 public:
  CKolumoVorver() = default;
  CKolumoVorver(const CKolumoVorver& other) = default;
  CKolumoVorver& operator=(const CKolumoVorver& other) = default;
  virtual ~CKolumoVorver() = default;

  void SetVariableStore(CVariableStore* store);
  void ReadData(int element);
  void WriteData(int element);

  int type = 0;
  int Schiefstellung = 150;  // inclination 1/n
  int IDPunkt = 0;
  int bDirekteVorgabe = 1;
  int bAusmitte = 1;
  int bGesetzt = 0;
  CFormulaNumber ausmitte = 2.0;
  CFormulaNumber umx = -0.4;
  CFormulaNumber umy = 0.4;
  CFormulaNumber invw = 0.5;

  // What the calculation takes of this record, as the driver hands it to the engine. The inclination of kinds 0
  // and 2 without direct input (rad) is 1/Schiefstellung, 0 without one; the typed `invw` does not enter it.
  double AppliedInclination() const { return Schiefstellung != 0 ? 1.0 / double(Schiefstellung) : 0.0; }
  // Kinds 1 and 3 with the amplitude as a share of the height: amplitude = height / this divisor, which comes
  // from `invw` (%); 0, no pre-deformation, when `invw` is 0.
  double AppliedModeDivisor() {
    const double share = invw.GetValue() / 100.0;
    return share != 0.0 ? 1.0 / share : 0.0;
  }

 private:
  template <class V>
  void Fields(const V& v);
};

// One creep entry.
class CKolumoKriechen {
 public:
  CKolumoKriechen() = default;
  CKolumoKriechen(const CKolumoKriechen& other) = default;
  CKolumoKriechen& operator=(const CKolumoKriechen& other) = default;
  virtual ~CKolumoKriechen() = default;

  void ReadData(int element);
  void WriteData(int element) const;

  double KriechZahl = 2.5;  // creep coefficient
  double Faktor = 1.0;
};

// What the data needs of the input dialog that owns it.
class CKolumoDataOwner {
 public:
  virtual ~CKolumoDataOwner() = default;
  // The selection of the construction-stage box (-1 for none).
  virtual int GetStageSelection() const = 0;
  // Whether a preview stands beside the owner: without one nothing is drawn.
  virtual bool HasPreview() const { return false; }
  // The controls' values into the data, so that a drawing shows what the engineer sees.
  virtual void StoreInput() {}
  // The data drawn into the preview's 2D views and into its 3D view.
  virtual void DrawPreview2D() {}
  virtual void DrawPreview3D() {}
};

class CKolumoData : public BaseData {
 public:
  static constexpr int kStages = 4;
  static constexpr int kAnnotations = 6;
  // Load cases (and factors) a combination formula can name.
  static constexpr int kMaxKombiLastfaelle = 100;

  CKolumoData();
  ~CKolumoData() override;

  void DefineVariables() override;
  int ReadData(int document) override;
  void WriteData(int document) override;
  void SetDefaults() override;
  // The column accepts every input here; a calculation is always allowed.
  bool PrepareCalc(CStringArray& messages, int flag) override;
  // The input as the owner's controls hold it, drawn into its preview; nothing is calculated or written.
  void Redraw(BOOL flag) override;
  void Draw2D(BOOL flag) override;
  void Draw3D(BOOL flag) override;

  int nFields() const { return int(fieldLengths.GetSize()); }
  // Field lengths, cross-sections and every stage's supports (fields + 1) to `fields` entries: new entries are
  // defaults, surplus entries are dropped.
  void SetFieldCount(int fields);

  // The combination norm a reset position's construction stages start with, for a design code of the data.
  static int KombiNormFuerNorm(int iNorm);
  void InitStages(int norm);
  void InitLKData(int norm);

  // The stage has an accidental action among those its load cases use.
  bool HatAussergewEinwirkung(int stage) const;
  // The combination's formula without the load cases of accidental actions of the stage, as "%.2lf*(%d)+" terms
  // without the last "+". False when the stage or combination does not exist.
  bool HoleKombiFormel(int stage, int kombination, CString& formel) const;
  // One factor per load case (index = load-case number - 1), 0 where a load case does not occur.
  using KombiFaktoren = std::array<double, kMaxKombiLastfaelle>;
  static void ParseKombiFormel(const char* formel, KombiFaktoren& faktoren);

  // Output options ("Ausgabe"): chapters and diagrams of the report.
  int num_System = 0;
  int num_Regel_KNSW = 0;
  int num_Regel_Lager = 0;
  int num_Regel_Verform = 0;
  int num_Regel_Schnitt = 0;
  int num_Kriech_Lager = 0;
  int num_Kriech_Verform = 0;
  int num_Kriech_Schnitt = 0;
  int num_KNSW_Eigen = 0;
  int num_KNSW_Lager = 0;
  int num_KNSW_Verform = 0;
  int num_KNSW_Schnitt = 0;
  int num_KNSW_Bruch = 0;
  int num_KNSW_Dehn = 0;
  int num_KNSW_Schub = 0;
  int num_Riss = 0;
  int num_Brand = 0;      // fire verification requested
  int num_Fundament = 0;  // foundation output requested
  int num_FundLastw = 0;
  int num_ErfAs = 0;
  double BildBreite = 0.0;  // picture width
  int GrafikTyp = 0;
  int graf_System = 0;
  int graf_Regel_Schnitt = 0;
  int graf_KNSW_Schnitt = 0;
  int graf_Kriech_Schnitt = 0;
  int graf_ErfAs = 0;
  int AusgabeTyp = 0;
  int SchriftFeld = 0;

  // Fire.
  int indexBrandKlasse = 0;
  int indexBrandSeiten = 0;
  int bPutzBekleidet = 0;

  // Foundation: springs, plan size (m), soil modulus, Poisson's ratio, factor, height (m).
  double cx = 0.0, cy = 0.0, cz = 0.0, cmx = 0.0, cmy = 0.0;
  double bx = 3.0;
  double by = 3.0;
  double Es = 700.0;
  double EsID = 0.0;
  double nue = 0.2;
  double fakt = 1.4;
  double hoehe = 0.6;
  int FudPos = 0;

  // Engine members made of each field by the last calculation.
  CArray<int, int> ErgStabTeil;
  // Field lengths (m), field 0 at the head of the column.
  CArray<CFormulaNumber> fieldLengths;
  // Per stage fields + 1 supports: entry 0 at the head, entry i + 1 at the lower end of field i.
  std::array<CArray<CSupport>, kStages> supports;
  CArray<CKolumoQuer> querschnitte;
  std::array<CArray<Load>, kStages> loads;
  std::array<CKolumoVorver, kStages> vorver;
  CArray<CKolumoKriechen> kriechen;
  std::array<int, kStages> maxLF{};
  // Design code: 0 DIN 1045-1, 1 EC2, 2 SIA 262, 10/11/12 EC2 with the German/French/UK annex; its row in
  // designcode::kCodes holds every number and name that goes with it.
  int iNorm = 0;
  CString sBeton = "C25/30";
  CString sStahl = "BSt 500 SA";
  int aktBauZustand = 0;  // the stage shown when the data was last read
  int pickObjekt = 0;     // preview editing
  int dragWert = 0;
  int LKManuell = 0;             // combinations entered by hand
  int Fertigteil = 0;            // precast column
  int bSchreibeErgebnisse = 0;   // set only while the calculation writes its results
  int bLastfaelleGeaendert = 0;  // the load cases changed since the actions were last formed
  CStringArray anmerkungen;      // "Anmerkung_0" .. "Anmerkung_5"
  std::array<CLKData, kStages> lastUeberlagerungBZ;
  CResultContainer ergebnisse;
  CKolumoDataOwner* pDlg = nullptr;  // not owned
  CVariableStore stuetzenVariablen;  // field heights; parent: the position's store

 private:
  void SetPresets(CLKData& lk) const;
  void ClearResults();
  bool m_redrawing = false;  // storing the controls can report a change that would redraw again
  void ReadResultRecords(int result);
  void WriteResultRecords(int result);
};

// Per field (numbered from 1 at the head, as the dialog numbers them): the bars entered against the reinforcement
// the calculation leaves to be built (the largest of its "ErfAs" entries, the entered bars raised where a check
// needed more). Empty when the position holds no such results.
struct FieldReinforcement {
  int field = 0;
  int bars = 0;            // entered bars
  double entered = 0.0;    // cm²
  int innerBars = 0;       // a ring section's inner ring, built with the entered bars
  double innerRing = 0.0;  // cm²
  double required = 0.0;   // cm²
  bool suffices = false;   // the entered bars (with a ring's inner ring) are what must be built
};
std::vector<FieldReinforcement> CompareFieldReinforcement(CKolumoData& data);

// Why a field's fire table is not met, in German with its figures (widths and axis distances in mm): what the table
// asks against what there is, the reinforcement ratio beyond the code's limit, or that the design code `iNorm` has
// no tables; each text passes through `tr` (the caller's translation) before its figures are filled in.
CString FireFailureText(const FireFailure& f, int iNorm, CString (*tr)(const char*));

// A value of the result records that is no finite number: the record's element name and numbers, the column and
// the height of its point. The calculation writes no results that hold one.
struct NichtEndlicherWert {
  const char* satz = "";
  const char* spalte = "";
  int LK = 0, System = 0, Typ = 0;
  double kote = 0.0;  // m; 0 where the record has no height for the value
  double wert = 0.0;
};
// The first such value in the order the records are written; false when every value is finite.
bool SucheNichtEndlichenWert(CResultContainer& ergebnisse, NichtEndlicherWert& wo);
