#include "column_ui/querschnittdlg.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "column/eingabepruefung.h"
#include "designcode/designcode.h"
#include "designcode/requirement.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/resources/resources.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_kolumo";

win::DialogTemplate QuerTemplate() {
  using I = win::DialogItem;
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 393;
  t.cy = 183;
  t.caption = "TQ-KOLUMO Querschnittsdefinition";
  t.items = {
      I{CKolumoQuerDlg::kIdGrid, "Static", "", SS_BLACKFRAME, 7, 19, 175, 136, 0, true},
      I{CKolumoQuerDlg::kIdSkizze, "Static", "", SS_BITMAP | SS_CENTERIMAGE | WS_BORDER, 190, 7, 196, 148},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 272, 162, 54, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 332, 162, 54, 14},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoQuerDlg::IDD, QuerTemplate());

enum Feld { BX, DY, EX, EY, BDX, BDY, AS, THETA, TEIL, KEIN };
enum Format { LAENGE, FLAECHE, WINKEL, ZAHL };

struct Zeile {
  const char* text;  // nullptr: the reinforcement's caption, which follows the layout
  Feld feld;
};
// Rows 2-10 per section type.
constexpr Zeile kZeilen[3][9] = {
    {{"Breite bx", BX},
     {"Dicke dy", DY},
     {"Versatz ex", EX},
     {"Versatz ey", EY},
     {"Schwerachsabst. x", BDX},
     {"Schwerachsabst. y", BDY},
     {nullptr, AS},
     {"Druckstrebenneigung", THETA},
     {"Stabteilung", TEIL}},
    {{"Durchmesser", BX},
     {"Versatz ex", EX},
     {"Versatz ey", EY},
     {"Schwerachsabst.", BDX},
     {"Gesamte Bewehrung", AS},
     {"Druckstrebenneigung", THETA},
     {"Stabteilung", TEIL},
     {"", KEIN},
     {"", KEIN}},
    {{"Durchmesser aussen", BX},
     {"Durchmesser innen", DY},
     {"Versatz ex", EX},
     {"Versatz ey", EY},
     {"Schwerachsabst.", BDX},
     {"Gesamte Bewehrung", AS},
     {"Druckstrebenneigung", THETA},
     {"Stabteilung", TEIL},
     {"", KEIN}},
};

const char* FormatOf(Feld f) {
  switch (f) {
    case AS: return "%.2lf [cm²]";
    case THETA: return "%.1lf [°]";
    case TEIL: return "%.0lf ";
    default: return "%.1lf [cm]";
  }
}

CFormulaNumber* Wert(CKolumoQuer& q, Feld f) {
  switch (f) {
    case BX: return &q.bx;
    case DY: return &q.dy;
    case EX: return &q.ex;
    case EY: return &q.ey;
    case BDX: return &q.bdx;
    case BDY: return &q.bdy;
    case AS: return &q.as;
    case THETA: return &q.theta;
    default: return nullptr;
  }
}

int RowOf(int type, Feld f) {
  for (int i = 0; i < 9; ++i)
    if (kZeilen[type][i].feld == f) return CKolumoQuerGrid::kErste + i;
  return -1;
}

bool DinWerte(int norm) { return norm == 0 || norm == 10 || norm == 11 || norm == 12; }

// The subdivision as a whole number; a value beyond any count stays beyond the check's limit.
int Teilung(double value) { return std::isnan(value) ? 0 : int(std::clamp(value, -1.0e9, 1.0e9)); }

}  // namespace

// ---- grid ------------------------------------------------------------------------------------------------------

CString CKolumoQuerGrid::Tr(const char* text) const {
  return CString(TOLK_Translate(kArea, kDictionary, "CKolumoQuerGrid", text));
}

void CKolumoQuerGrid::Layout() {
  EnableHeader(TRUE);
  Init(kRows, 2, 0, 0);
  SetColumnCaption(0, Tr("Querschnittseingabe"));
  SetColumnWidthPercent(0, 50);
  SetColumnWidthPercent(1, 50);
  for (int r = 0; r < kRows; ++r) SetCellReadOnly(r, 0, TRUE);
  SetItemText(kTyp, 0, Tr("Querschnitt"));
  SetItemText(kBewTyp, 0, Tr("Bewehrungstyp"));
  SetCellType(kTyp, 1, ORMI_COMBO_INDEX);
  SetCellType(kBewTyp, 1, ORMI_COMBO_INDEX);
  CStringArray typen;
  for (const char* t : {"Rechteck", "Kreis", "Kreisring"}) typen.Add(Tr(t));
  SetComboOptions(kTyp, 1, typen);
  for (int r = kErste; r < kRows; ++r) {
    SetCellType(r, 1, ORMI_FORMULA);
    SetNumberFormat(r, 1, "%lf", "%.1lf [cm]", 1.0);
  }
  LayoutColumns();
}

BOOL CKolumoQuerGrid::ExchangeData(BOOL save) {
  if (save) {
    Store();
  } else {
    Show();
    MerkeWerte();
  }
  return TRUE;
}

std::vector<double> CKolumoQuerGrid::Werte(Frage frage) {
  CKolumoQuer& q = m_quer;
  switch (frage) {
    case kFrageTyp: return {double(q.type), double(q.bewType), q.bx.GetValue(), q.dy.GetValue()};
    case kFrageSeite: return {double(q.type), q.bx.GetValue(), q.dy.GetValue()};
    default: return {double(q.type), double(q.bewType), q.as.GetValue()};
  }
}

void CKolumoQuerGrid::MerkeWerte() {
  for (int f = 0; f < kFragen; ++f) m_gesehen[std::size_t(f)] = Werte(Frage(f));
}

void CKolumoQuerGrid::Show() {
  CKolumoQuer& q = m_quer;
  q.type = std::clamp(q.type, 0, 2);
  if (q.type != 0) q.bewType = 2;
  for (int r : {4, 5}) SetCellReadOnly(r, 1, FALSE);
  for (int i = 0; i < 9; ++i) {
    const int row = kErste + i;
    const Zeile& z = kZeilen[q.type][i];
    if (z.feld == KEIN) {
      ShowRow(row, FALSE);
      continue;
    }
    ShowRow(row, TRUE);
    const char* text = z.text ? z.text : (q.bewType == 2 ? "Gesamte Bewehrung" : "Bewehrung pro Eisen");
    SetItemText(row, 0, Tr(text));
    SetNumberFormat(row, 1, "%lf", FormatOf(z.feld), 1.0);
    if (z.feld == TEIL)
      SetCellFormula(row, 1, CFormulaNumber(double(q.teilung)));
    else
      SetCellFormula(row, 1, *Wert(q, z.feld));
    SetCellReadOnly(row, 1, z.feld == EY);
  }
  SetComboIndex(kTyp, 1, q.type);
  CStringArray bew;
  if (q.type == 0)
    for (const char* t : {"Typ 1: 4 Eckeisen", "Typ 2: 8 Eckeisen", "Typ 3: Umlaufend"}) bew.Add(Tr(t));
  else
    bew.Add(Tr("Typ 3: Umlaufend"));
  SetComboOptions(kBewTyp, 1, bew);
  SetComboIndex(kBewTyp, 1, q.type == 0 ? q.bewType : 0);
  InvalidateAll(TRUE);
}

bool CKolumoQuerGrid::Ask(const CString& text) { return AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES; }

void CKolumoQuerGrid::StoreTeilung(int row) {
  double teilung = GetCellFormula(row, 1).m_dValue;
  if (!(teilung >= 2)) {
    AfxMessageBox(Tr("Stabteilung <2 nicht zulässig. Stabteilung wird auf 2 gesetzt!"), MB_OK);
    teilung = 2;
    SetCellFormula(row, 1, CFormulaNumber(teilung));
  }
  m_quer.teilung = Teilung(teilung);
}

CString CKolumoQuerGrid::RefusedFormula(int row, int col, const CFormulaNumber& value) {
  if (!m_data || col != 1 || row < kErste || row >= kRows) return CString();
  const Feld feld = kZeilen[m_quer.type][row - kErste].feld;
  if (feld == KEIN) return CString();
  CKolumoQuer typed = m_quer;
  CFormulaNumber zahl = value;
  if (feld == TEIL)
    typed.teilung = Teilung(zahl.GetValue());
  else
    *Wert(typed, feld) = zahl;
  if (typed.type == 1) typed.dy = typed.bx;
  // Only what the value brings: a problem the section had already (read from the file, or left by a change of the
  // section type) must not block the edit that mends it.
  return NeueFehler(QuerschnittFehler(*m_data, m_quer, m_field), QuerschnittFehler(*m_data, typed, m_field)).c_str();
}

void CKolumoQuerGrid::Store() {
  CKolumoQuer& q = m_quer;
  for (int i = 0; i < 9; ++i) {
    const Zeile& z = kZeilen[q.type][i];
    if (z.feld == KEIN || z.feld == TEIL) continue;
    *Wert(q, z.feld) = GetCellFormula(kErste + i, 1);
  }
  if (q.type == 1) q.dy = q.bx;
  // A correction gives up an expression: the cell and the copy get the plain number.
  auto setze = [&](Feld f, double v) {
    *Wert(q, f) = v;
    SetCellFormula(RowOf(q.type, f), 1, CFormulaNumber(v));
    RedrawCell(RowOf(q.type, f), 1);  // the other side too: no edit or click redraws it
  };
  if (q.type == 2 && 2 * q.bdx.GetValue() > q.bx.GetValue() - q.dy.GetValue())
    AfxMessageBox(Tr("Achtung Betondeckung zu groß! Bewehrung außerhalb der Geometrie!"), MB_OK);
  StoreTeilung(RowOf(q.type, TEIL));
  if (q.type == 0) {
    const double bx = q.bx.GetValue(), dy = q.dy.GetValue();
    if (q.bewType == 0 && (designcode::Exceeds(bx, 40) || designcode::Exceeds(dy, 40))) {
      const char* frage = nullptr;
      if (m_norm == 0)
        frage =
            "Achtung! Gemäß DIN 1045-1 13.5.1.3 ist bei den vorhanden Stützenabmesungen\nmind. der "
            "Bewehrungstyp 2 zu verwenden.\nSoll der Bewehrungstyp geändert werden?";
      else if (m_norm == 10)
        frage =
            "Achtung! Gemäß EC2 NA (DE) 9.5.2.4 ist bei den vorhanden Stützenabmesungen\nmind. der "
            "Bewehrungstyp 2 zu verwenden.\nSoll der Bewehrungstyp geändert werden?";
      if (frage && Neu(kFrageTyp) && Ask(Tr(frage))) {
        q.bewType = 1;
        SetComboIndex(kBewTyp, 1, 1);
      }
    }
    // Minimum side: not precast 20 cm (DIN, SIA, EC2 NA DE); precast 12 cm (DIN) or 15 cm (SIA).
    double minimum = 0;
    const char* frage = nullptr;
    if (!m_fertigteil) {
      minimum = 20;
      if (m_norm == 0)
        frage =
            "Achtung! Gemäß DIN 1045-1 13.5.1.1 ist die minimale Seitenlänge 20.0 cm!\nSoll die Abmessung "
            "korrigiert werden?";
      else if (m_norm == 2)
        frage = "Achtung! Gemäß SIA 262 ist die minimale Seitenlänge 20.0 cm!\nSoll die Abmessung korrigiert werden?";
      else if (m_norm == 10)
        frage =
            "Achtung! Gemäß EC2 NA (DE) 9.5.1.1 ist die minimale Seitenlänge 20.0 cm!\nSoll die Abmessung "
            "korrigiert werden?";
    } else if (m_norm == 0) {
      minimum = 12;
      frage =
          "Achtung! Gemäß DIN 1045-1 13.5.1.1 ist die minimale Seitenlänge 12.0 cm!\nSoll die Abmessung "
          "korrigiert werden?";
    } else if (m_norm == 2) {
      minimum = 15;
      frage = "Achtung! Gemäß SIA 262 ist die minimale Seitenlänge 15.0 cm!\nSoll die Abmessung korrigiert werden?";
    }
    const bool bxShort = designcode::FallsShort(bx, minimum), dyShort = designcode::FallsShort(dy, minimum);
    if (frage && (bxShort || dyShort) && Neu(kFrageSeite) && Ask(Tr(frage))) {
      if (bxShort) setze(BX, minimum);
      if (dyShort) setze(DY, minimum);
    }
  }
  CheckBewehrung();
  MerkeWerte();
}

void CKolumoQuerGrid::CheckBewehrung() {
  CKolumoQuer& q = m_quer;
  const bool proEisen = q.type == 0 && q.bewType != 2;
  const bool rechteckGesamt = q.type == 0 && q.bewType == 2;
  // The minimum bar (12 mm: 1.13 cm², 8 mm: 0.5 cm²) times 16 bars round a rectangle or 6 round a circle.
  double minimum;
  CString frage;
  if (DinWerte(m_norm)) {
    minimum = proEisen ? 1.13 : rechteckGesamt ? 18.08 : 6.78;
    // Under EC2 the annex the position is designed by; the German one by the name its other questions cite.
    const designcode::DesignCode* code = designcode::ByInput(m_norm);
    if (m_norm == 0)
      frage =
          Tr("Achtung! Gemäß DIN 1045-1 13.5.1.2 ist mind. Durchmesser 12 mit 1.13 cm² zu verwenden!\n"
             "Soll die Bewehrung korrigiert werden?");
    else
      frage.Format(Tr("Achtung! Gemäß %s 9.5.2.1 ist mind. Durchmesser 12 mit 1.13 cm² zu verwenden!\n"
                      "Soll die Bewehrung korrigiert werden?"),
                   m_norm == 10 || !code ? "EC2 NA (DE)" : code->name);
  } else if (m_norm == 1 || m_norm == 2) {
    minimum = proEisen ? 0.5 : rechteckGesamt ? 8.0 : 3.0;
    if (m_norm == 1)
      frage = Tr(rechteckGesamt ? "Achtung! Gemäß EC2 9.5.2.1 ist mind. Durchmesser 8 mit 0.50 cm² zu verwenden!\n"
                                  "Soll die Bewehrung korrigiert werden?"
                                : "Achtung! Gemäß EC2 9.5.2.1 ist mind. Durchmesser 8 mit 0.5 cm² zu verwenden!\n"
                                  "Soll die Bewehrung korrigiert werden?");
    else
      frage = Tr(rechteckGesamt ? "Achtung! Gemäß SIA 262 ist mind. Durchmesser 8 mit 0.50 cm² zu verwenden!\n"
                                  "Soll die Bewehrung korrigiert werden?"
                                : "Achtung! Gemäß SIA 262 ist mind. Durchmesser 8 mit 0.5 cm² zu verwenden!\n"
                                  "Soll die Bewehrung korrigiert werden?");
  } else {
    return;
  }
  if (designcode::FallsShort(q.as.GetValue(), minimum) && Neu(kFrageBewehrung) && Ask(frage)) {
    q.as = minimum;
    SetCellFormula(RowOf(q.type, AS), 1, CFormulaNumber(minimum));
  }
}

void CKolumoQuerGrid::OnCellComboSelect(int row, int col, int item) {
  if (col != 1 || item < 0) return;
  if (row == kTyp)
    m_quer.type = item;
  else if (row == kBewTyp && m_quer.type == 0)
    m_quer.bewType = item;
  else
    return;
  Show();
}

void CKolumoQuerGrid::OnCellChanged(int row, int col, int type) {
  if (col != 1 || row < kErste) return;
  Store();
  ShowHeldZero(row, col);
}

// ---- dialog ----------------------------------------------------------------------------------------------------

CKolumoQuerDlg::CKolumoQuerDlg(CWnd* parent) : CDialog(IDD, parent) {}

CKolumoQuerDlg::~CKolumoQuerDlg() {
  if (m_skizze) DeleteObject(m_skizze);
}

bool CKolumoQuerDlg::Bearbeite(CKolumoData& data, int field, CWnd* parent) {
  if (field < 0 || field >= data.querschnitte.GetSize()) return false;
  return Bearbeite(data, field, data.querschnitte[field], parent);
}

bool CKolumoQuerDlg::Bearbeite(CKolumoData& data, int field, CKolumoQuer& quer, CWnd* parent) {
  CKolumoQuerDlg dlg(parent);
  dlg.m_grid.m_quer = quer;
  dlg.m_grid.m_quer.SetVariableStore(&data.variables);
  dlg.m_grid.m_fertigteil = data.Fertigteil;
  dlg.m_grid.m_norm = data.iNorm;
  dlg.m_grid.m_data = &data;
  dlg.m_grid.m_field = field;
  if (dlg.DoModal() != IDOK) return false;
  quer = dlg.m_grid.m_quer;
  return true;
}

BOOL CKolumoQuerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "CKolumoQuerDlg", m_hWnd);
  CWnd* place = GetDlgItem(kIdGrid);
  CRect r;
  place->GetWindowRect(&r);
  ScreenToClient(&r);
  place->DestroyWindow();
  m_grid.Create(r, this, kIdGrid);
  m_grid.Layout();
  ExchangeData(FALSE);
  // The sketch, scaled into its frame (it is registered by the report side; without it the frame stays empty).
  CWnd* bild = GetDlgItem(kIdSkizze);
  if (bild && win::res::HasBitmap(kIdSkizze)) {
    HBITMAP original = ::LoadBitmap(nullptr, MAKEINTRESOURCE(kIdSkizze));
    CRect frame;
    bild->GetClientRect(&frame);
    BITMAP bm{};
    GetObject(original, sizeof(bm), &bm);
    const int side = std::min(frame.Width(), frame.Height()) - 4;
    if (original && bm.bmWidth > 0 && side > 0) {
      const double scale = std::min(double(side) / bm.bmWidth, double(side) / bm.bmHeight);
      const int w = int(bm.bmWidth * scale), h = int(bm.bmHeight * scale);
      HDC screen = ::GetDC(nullptr);
      HDC src = CreateCompatibleDC(screen), dst = CreateCompatibleDC(screen);
      m_skizze = CreateCompatibleBitmap(screen, w, h);
      HGDIOBJ oldSrc = SelectObject(src, original), oldDst = SelectObject(dst, m_skizze);
      SetStretchBltMode(dst, HALFTONE);
      StretchBlt(dst, 0, 0, w, h, src, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
      SelectObject(src, oldSrc);
      SelectObject(dst, oldDst);
      DeleteDC(src);
      DeleteDC(dst);
      ::ReleaseDC(nullptr, screen);
      bild->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(m_skizze));
    }
    if (original) DeleteObject(original);
  }
  return TRUE;
}

void CKolumoQuerDlg::ExchangeData(BOOL save) {
  m_grid.ExchangeData(save);
  UpdateData(save);
}

void CKolumoQuerDlg::OnOK() {
  ExchangeData(TRUE);
  EndDialog(IDOK);
}
