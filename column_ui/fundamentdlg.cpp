#include "column_ui/fundamentdlg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/tolkar/tolkar.h"

namespace fundament {

const Boden kBodenListe[kBoeden] = {
    {"Torf", 400, 1000},
    {"Schlick; Klei, org. fett", 500, 3000},
    {"Ton, breiig", 400, 1000},
    {"Ton, leicht knetbar,weich", 1500, 3000},
    {"Schlick; Klei, org. mager", 2000, 5000},
    {"Ton, leicht knetbar, steif", 3000, 6000},
    {"Schluff", 3000, 8000},
    {"Lehm, weich; Lößlehm", 4000, 8000},
    {"Ton, halbfest", 6000, 20000},
    {"Lehm, Geschiebemergel, fest", 6000, 50000},
    {"Ton, hart", 8000, 50000},
    {"Sand, locker, rund", 40000, 80000},
    {"Sand, locker, eckig", 50000, 100000},
    {"Sand, mitteldicht, rund", 80000, 160000},
    {"Sand, mitteldicht, eckig", 100000, 200000},
    {"Kies, ohne Sand, hart", 100000, 200000},
    {"Naturschotter, scharfkantig", 150000, 300000},
};

namespace {

// Settlement coefficients by side ratio a/b (rows) and depth ratio d/b (columns).
constexpr double kSeiten[8] = {1.0, 1.5, 2, 3, 5, 10, 20, 100};
constexpr double kTiefen[15] = {0.2, 0.4, 0.6, 0.8, 1.0, 1.5, 2, 3, 4, 5, 6, 8, 10, 14, 20};
constexpr double kSetzung[8][15] = {
    {0.18, 0.29, 0.37, 0.44, 0.49, 0.58, 0.64, 0.70, 0.74, 0.76, 0.78, 0.80, 0.81, 0.82, 0.82},
    {0.18, 0.31, 0.40, 0.47, 0.53, 0.65, 0.72, 0.82, 0.87, 0.90, 0.93, 0.95, 0.97, 0.98, 0.98},
    {0.18, 0.32, 0.42, 0.50, 0.57, 0.70, 0.78, 0.89, 0.96, 1.00, 1.03, 1.06, 1.09, 1.11, 1.12},
    {0.19, 0.33, 0.44, 0.53, 0.61, 0.75, 0.85, 0.99, 1.07, 1.13, 1.17, 1.23, 1.26, 1.29, 1.32},
    {0.19, 0.33, 0.45, 0.56, 0.64, 0.81, 0.93, 1.09, 1.19, 1.27, 1.33, 1.40, 1.45, 1.50, 1.57},
    {0.19, 0.34, 0.46, 0.57, 0.67, 0.86, 1.00, 1.20, 1.33, 1.43, 1.50, 1.61, 1.68, 1.79, 1.89},
    {0.19, 0.34, 0.46, 0.57, 0.67, 0.87, 1.03, 1.25, 1.43, 1.54, 1.60, 1.75, 1.85, 2.00, 2.12},
    {0.19, 0.34, 0.46, 0.57, 0.67, 0.88, 1.04, 1.28, 1.46, 1.59, 1.71, 1.89, 2.03, 2.25, 2.48},
};

// The last key not above x (the first below the range, so that it extrapolates) and the weight of the next key;
// from the last key on the table is held.
template <int N>
bool Stelle(const double (&keys)[N], double x, int& i, double& t) {
  if (!std::isfinite(x)) return false;
  i = 0;
  while (i + 1 < N && keys[i + 1] <= x) ++i;
  t = i + 1 < N ? (x - keys[i]) / (keys[i + 1] - keys[i]) : 0.0;
  return true;
}

}  // namespace

bool Bettungsziffer(double a, double b, double d, double es, double& ks) {
  int i, j;
  double ti, tj;
  if (!Stelle(kSeiten, a / b, i, ti) || !Stelle(kTiefen, d / b, j, tj)) return false;
  // Along a/b in both neighbouring columns, then along d/b.
  auto spalte = [&](int col) {
    double lo = kSetzung[i][col];
    return i + 1 < 8 ? lo + ti * (kSetzung[i + 1][col] - lo) : lo;
  };
  double f = spalte(j);
  if (j + 1 < 15) f += tj * (spalte(j + 1) - f);
  if (!(f > 0.0)) return false;
  ks = es / (f * b);
  return true;
}

double Beta(double r) {
  constexpr double kR[10] = {0.1, 0.2, 0.4, 0.6, 1, 2, 4, 6, 8, 10};
  constexpr double kB[10] = {1.4, 1.25, 1.05, 1.0, 0.95, 0.9, 0.95, 1.0, 1.1, 1.2};
  if (r <= kR[0]) return kB[0];
  for (int i = 0; i + 1 < 10; ++i)
    if (r <= kR[i + 1]) return kB[i] + (r - kR[i]) / (kR[i + 1] - kR[i]) * (kB[i + 1] - kB[i]);
  return kB[9];
}

CString CheckEingabe(double bx, double by, double es, double nue) {
  if (bx < 0.0 || by < 0.0 || es < 0.0 || nue < 0.0) return "Eingabewerte < 0.0 nicht zulässig.";
  // The footing's side and area stand in denominators (subgrade modulus, rotational springs), and 1 - nue in the
  // shear modulus; a Poisson's ratio above 1 would make the springs negative.
  if (bx == 0.0 || by == 0.0) return "Fundamentbreiten Bx und By müssen größer als 0.0 sein.";
  if (nue >= 1.0) return "Querdehnzahl muss kleiner als 1.0 sein.";
  return "";
}

Federn Berechne(double bx, double by, double es, double nue, bool* ohneBettung) {
  Federn f;
  double a = bx / 2, b = by / 2;
  double g0 = es / (2 * (1 - nue));
  double s = std::sqrt(a * b);
  double ks = 1000.0;
  bool ok = Bettungsziffer(std::max(bx, by), std::min(bx, by), 6.0, es, ks);
  if (!ok) ks = 1000.0;
  if (ohneBettung) *ohneBettung = !ok;
  f.cz = std::trunc(ks * bx * by);
  f.cx = std::trunc(4 * (1 + nue) * Beta(by / bx) * g0 * s);
  f.cy = std::trunc(4 * (1 + nue) * Beta(bx / by) * g0 * s);
  double k = 2.5 * es / std::sqrt(bx * by);
  f.cmx = k * bx * by * by * by / 12;
  f.cmy = k * by * bx * bx * bx / 12;
  return f;
}

}  // namespace fundament

namespace {

constexpr const char* kContext = "CPyloFundDlg";
CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", kContext, text)); }

win::DialogTemplate FundTemplate() {
  using I = win::DialogItem;
  using D = CPyloFundDlg;
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 300;
  t.cy = 232;
  t.caption = "Fundamenteinspannung";
  const DWORD edit = ES_AUTOHSCROLL | ES_RIGHT | WS_BORDER | WS_TABSTOP;
  t.items = {
      I{-1, "Button", "Baugrund", BS_GROUPBOX, 7, 4, 286, 108},
      I{-1, "Static", "Steifeziffer Es [kN/m²]", SS_LEFT, 14, 16, 150, 9},
      I{D::kIdBoden, "ListBox", "", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 14, 26, 272, 52},
      I{-1, "Static", "gewählt     Es", SS_LEFT, 14, 84, 60, 9},
      I{D::kIdEs, "Edit", "", edit, 76, 82, 60, 12},
      I{-1, "Static", "[kN/m²]", SS_LEFT, 140, 84, 36, 9},
      I{-1, "Static", "Querdehnzahl", SS_LEFT, 14, 98, 60, 9},
      I{D::kIdNue, "Edit", "", edit, 76, 96, 60, 12},
      I{-1, "Static", "[-]", SS_LEFT, 140, 98, 36, 9},
      I{-1, "Button", "Fundament", BS_GROUPBOX, 7, 116, 140, 58},
      I{-1, "Static", "Breite Bx", SS_LEFT, 14, 129, 50, 9},
      I{D::kIdBx, "Edit", "", edit, 66, 127, 50, 12},
      I{-1, "Static", "[m]", SS_LEFT, 120, 129, 20, 9},
      I{-1, "Static", "Breite By", SS_LEFT, 14, 144, 50, 9},
      I{D::kIdBy, "Edit", "", edit, 66, 142, 50, 12},
      I{-1, "Static", "[m]", SS_LEFT, 120, 144, 20, 9},
      I{-1, "Static", "Höhe", SS_LEFT, 14, 159, 50, 9},
      I{D::kIdHoehe, "Edit", "", edit, 66, 157, 50, 12},
      I{-1, "Static", "[m]", SS_LEFT, 120, 159, 20, 9},
      I{-1, "Button", "Federsteifigkeiten", BS_GROUPBOX, 153, 116, 140, 88},
      I{-1, "Static", "cz", SS_LEFT, 160, 129, 22, 9},
      I{D::kIdCz, "Edit", "", edit, 184, 127, 62, 12},
      I{-1, "Static", "[kN/m]", SS_LEFT, 250, 129, 40, 9},
      I{-1, "Static", "cx", SS_LEFT, 160, 144, 22, 9},
      I{D::kIdCx, "Edit", "", edit, 184, 142, 62, 12},
      I{-1, "Static", "[kN/m]", SS_LEFT, 250, 144, 40, 9},
      I{-1, "Static", "cy", SS_LEFT, 160, 159, 22, 9},
      I{D::kIdCy, "Edit", "", edit, 184, 157, 62, 12},
      I{-1, "Static", "[kN/m]", SS_LEFT, 250, 159, 40, 9},
      I{-1, "Static", "cmx", SS_LEFT, 160, 174, 22, 9},
      I{D::kIdCmx, "Edit", "", edit, 184, 172, 62, 12},
      I{-1, "Static", "[kNm/-]", SS_LEFT, 250, 174, 40, 9},
      I{-1, "Static", "cmy", SS_LEFT, 160, 189, 22, 9},
      I{D::kIdCmy, "Edit", "", edit, 184, 187, 62, 12},
      I{-1, "Static", "[kNm/-]", SS_LEFT, 250, 189, 40, 9},
      I{D::kIdBerechnen, "Button", "Berechnung der Federsteifigkeiten", BS_PUSHBUTTON | WS_TABSTOP, 7, 178, 140, 14},
      I{D::kIdFudPos, "Button", "Fundamentposition automatisch erstellen", BS_AUTOCHECKBOX | WS_TABSTOP, 7, 196, 146,
        10},
      I{-1, "Static", "Faktor char. Werte", SS_LEFT, 7, 213, 70, 9},
      I{D::kIdFaktor, "Edit", "", edit, 78, 211, 38, 12},
      I{IDOK, "Button", "Übernehmen", BS_DEFPUSHBUTTON | WS_TABSTOP, 183, 211, 52, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 241, 211, 52, 14},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CPyloFundDlg::IDD, FundTemplate());

CString Zahl(double v) {
  CString s;
  s.Format("%.2lf", v);
  return s;
}

double Wert(CString text) {
  text.Replace(',', '.');
  return std::atof(text);
}

}  // namespace

BEGIN_MESSAGE_MAP(CPyloFundDlg, CDialog)
ON_LBN_SELCHANGE(CPyloFundDlg::kIdBoden, OnSelChangeBoden)
ON_BN_CLICKED(CPyloFundDlg::kIdBerechnen, OnBerechnen)
END_MESSAGE_MAP()

CPyloFundDlg::CPyloFundDlg(CWnd* parent) : CDialog(IDD, parent) {}

void CPyloFundDlg::FromData(const CKolumoData& data) {
  m_boden = int(data.EsID);
  m_es = Zahl(data.Es);
  m_nue = Zahl(data.nue);
  m_bx = Zahl(data.bx);
  m_by = Zahl(data.by);
  m_hoehe = Zahl(data.hoehe);
  m_cz = Zahl(data.cz);
  m_cx = Zahl(data.cx);
  m_cy = Zahl(data.cy);
  m_cmx = Zahl(data.cmx);
  m_cmy = Zahl(data.cmy);
  m_faktor = Zahl(data.fakt);
  m_fudPos = data.FudPos;
  const CString* texts[11] = {&m_es, &m_nue, &m_bx, &m_by, &m_hoehe, &m_cz, &m_cx, &m_cy, &m_cmx, &m_cmy, &m_faktor};
  for (int i = 0; i < 11; ++i) m_initial[i] = *texts[i];
  m_initialBoden = m_boden;
}

void CPyloFundDlg::ToData(CKolumoData& data) const {
  const CString* texts[11] = {&m_es, &m_nue, &m_bx, &m_by, &m_hoehe, &m_cz, &m_cx, &m_cy, &m_cmx, &m_cmy, &m_faktor};
  double* fields[11] = {&data.Es, &data.nue, &data.bx,  &data.by,  &data.hoehe, &data.cz,
                        &data.cx, &data.cy,  &data.cmx, &data.cmy, &data.fakt};
  for (int i = 0; i < 11; ++i)
    if (*texts[i] != m_initial[i]) *fields[i] = Wert(*texts[i]);
  if (m_boden != m_initialBoden) data.EsID = m_boden;
  data.FudPos = m_fudPos;
}

bool CPyloFundDlg::Bearbeite(CKolumoData& data, CWnd* parent) {
  CPyloFundDlg dlg(parent);
  dlg.FromData(data);
  if (dlg.DoModal() != IDOK) return false;
  dlg.ToData(data);
  return true;
}

BOOL CPyloFundDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", kContext, m_hWnd);
  CListBox* list = static_cast<CListBox*>(GetDlgItem(kIdBoden));
  for (const fundament::Boden& b : fundament::kBodenListe) {
    CString entry;
    entry.Format("%s   %d-%d", LPCTSTR(Tr(b.name)), b.esMin, b.esMax);
    list->AddString(entry);
  }
  if (m_boden < 0 || m_boden >= fundament::kBoeden) m_boden = 0;
  list->SetCurSel(m_boden);
  if (Wert(m_es) < 0.0) {
    const fundament::Boden& b = fundament::kBodenListe[m_boden];
    m_es = Zahl((b.esMin + b.esMax) / 2.0);
  }
  Show();
  const std::pair<UINT, BOOL> springs[5] = {
      {kIdCx, m_editCx}, {kIdCy, m_editCy}, {kIdCz, m_editCz}, {kIdCmx, m_editCmx}, {kIdCmy, m_editCmy}};
  for (const auto& [id, on] : springs) GetDlgItem(id)->EnableWindow(on);
  return TRUE;
}

void CPyloFundDlg::Show() {
  const std::pair<UINT, const CString*> texts[11] = {
      {kIdEs, &m_es}, {kIdNue, &m_nue}, {kIdBx, &m_bx},   {kIdBy, &m_by},   {kIdHoehe, &m_hoehe},  {kIdCz, &m_cz},
      {kIdCx, &m_cx}, {kIdCy, &m_cy},   {kIdCmx, &m_cmx}, {kIdCmy, &m_cmy}, {kIdFaktor, &m_faktor}};
  for (const auto& [id, text] : texts) SetDlgItemText(id, *text);
  CheckDlgButton(kIdFudPos, m_fudPos ? BST_CHECKED : BST_UNCHECKED);
}

void CPyloFundDlg::Read() {
  const std::pair<UINT, CString*> texts[11] = {
      {kIdEs, &m_es}, {kIdNue, &m_nue}, {kIdBx, &m_bx},   {kIdBy, &m_by},   {kIdHoehe, &m_hoehe},  {kIdCz, &m_cz},
      {kIdCx, &m_cx}, {kIdCy, &m_cy},   {kIdCmx, &m_cmx}, {kIdCmy, &m_cmy}, {kIdFaktor, &m_faktor}};
  for (const auto& [id, text] : texts) {
    GetDlgItemText(id, *text);
    text->Replace(',', '.');
  }
  m_fudPos = IsDlgButtonChecked(kIdFudPos) == BST_CHECKED ? 1 : 0;
  m_boden = static_cast<CListBox*>(GetDlgItem(kIdBoden))->GetCurSel();
}

void CPyloFundDlg::OnSelChangeBoden() {
  int sel = static_cast<CListBox*>(GetDlgItem(kIdBoden))->GetCurSel();
  if (sel < 0 || sel >= fundament::kBoeden) return;
  const fundament::Boden& b = fundament::kBodenListe[sel];
  m_boden = sel;
  m_es = Zahl((b.esMin + b.esMax) / 2.0);
  SetDlgItemText(kIdEs, m_es);
}

void CPyloFundDlg::OnBerechnen() {
  Read();
  double bx = Wert(m_bx), by = Wert(m_by), es = Wert(m_es), nue = Wert(m_nue);
  CString fehler = fundament::CheckEingabe(bx, by, es, nue);
  if (!fehler.IsEmpty()) {
    AfxMessageBox(Tr(fehler), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  bool ohneBettung = false;
  fundament::Federn f = fundament::Berechne(bx, by, es, nue, &ohneBettung);
  if (ohneBettung) AfxMessageBox(Tr("Umrechnung nicht möglich. Bettungsziffer wird auf 1000.0 kN/m³ gesetzt."), MB_OK);
  m_cz.Format("%.1lf", f.cz);
  m_cx.Format("%.1lf", f.cx);
  m_cy.Format("%.1lf", f.cy);
  m_cmx.Format("%.1lf", f.cmx);
  m_cmy.Format("%.1lf", f.cmy);
  Show();
}

void CPyloFundDlg::OnOK() {
  Read();
  // Sizes and Poisson's ratio the springs could not be formed from are not taken either.
  CString fehler = fundament::CheckEingabe(Wert(m_bx), Wert(m_by), Wert(m_es), Wert(m_nue));
  if (!fehler.IsEmpty()) {
    AfxMessageBox(Tr(fehler), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  EndDialog(IDOK);
}
