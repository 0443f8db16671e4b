#include "column_ui/ausgabedlg.h"

#include "framework/basedata.h"
#include "platform/tolkar/tolkar.h"

namespace {

win::DialogTemplate ParamTemplate(const char* caption, int cx, int cy, UINT gridId, int gridCy) {
  using I = win::DialogItem;
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = cx;
  t.cy = cy;
  t.caption = caption;
  t.items = {
      I{int(gridId), "Static", "", SS_BLACKFRAME, 7, 7, cx - 14, gridCy, 0, true},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, cx - 121, cy - 21, 54, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, cx - 61, cy - 21, 54, 14},
  };
  return t;
}

// Wide enough for the longest row text and list option, and the report scope tall enough for all its rows.
const win::DialogTemplateRegistrar kNum(CKolumoNumAus::IDD, ParamTemplate("Steuerung der numerische Ausgabe", 230, 410,
                                                                          CKolumoNumAus::kIdGrid, 375));
const win::DialogTemplateRegistrar kGraf(CKolumogridausgraf::IDD, ParamTemplate("Steuerung der grafischen Ausgabe", 220,
                                                                                201, CKolumogridausgraf::kIdGrid, 170));
const win::DialogTemplateRegistrar kBrand(CKolumoBrandDlg::IDD,
                                          ParamTemplate("Brandschutz", 225, 90, CKolumoBrandDlg::kIdGrid, 47));

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_kolumo";

}  // namespace

CKolumoParamDlg::CKolumoParamDlg(UINT templateId, UINT gridId, const char* context, CWnd* parent)
    : CDialog(templateId, parent), m_gridId(gridId), m_context(context) {}

CString CKolumoParamDlg::Tr(const char* text) const {
  return CString(TOLK_Translate(kArea, kDictionary, m_context, text));
}

CStringArray CKolumoParamDlg::Options(std::initializer_list<const char*> texts) const {
  CStringArray a;
  for (const char* t : texts) a.Add(Tr(t));
  return a;
}

void CKolumoParamDlg::BuildGrid(int labelPercent, int valuePercent) {
  TOLK_HWNDTranslate(kArea, kDictionary, m_context, m_hWnd);
  CWnd* place = GetDlgItem(m_gridId);
  CRect r;
  place->GetWindowRect(&r);
  ScreenToClient(&r);
  place->DestroyWindow();
  m_grid.Create(r, this, m_gridId);
  AddRows();
  m_grid.Layout();
  m_grid.SetColumnWidthPercent(0, labelPercent);
  m_grid.SetColumnWidthPercent(1, valuePercent);
  m_grid.LayoutColumns();
  m_grid.ExchangeData(FALSE);
  UpdateData(FALSE);
}

// ---- numeric report --------------------------------------------------------------------------------------------

CKolumoNumAus::CKolumoNumAus(CWnd* parent) : CKolumoParamDlg(IDD, kIdGrid, "CKolumoNumAus", parent) {}

void CKolumoNumAus::AddRows() {
  CKolumoData& d = *m_pData;
  COrmiParamGrid& g = m_grid;
  g.AddHeader(Tr("Eingabedaten"));
  g.AddCheck(Tr("Systembeschreibung"), &d.num_System);
  g.AddHeader(Tr("Ergebnisdaten"));
  g.AddCombo(Tr("Ausgabeumfang"), &d.AusgabeTyp, Options({"Alles", "Relevante LK", "Extremal"}));
  g.AddHeader(Tr("Bruchsicherheit"));
  g.AddCheck(Tr("Übergabe der Bewehrung für KSNW"), &d.num_Regel_KNSW);
  g.AddCheck(Tr("Lagereaktionen"), &d.num_Regel_Lager);
  g.AddCheck(Tr("Verformungen"), &d.num_Regel_Verform);
  g.AddCheck(Tr("Schnittgrößen"), &d.num_Regel_Schnitt);
  g.AddHeader(Tr("Kriecherzeugende Dauerlasten"));
  g.AddCheck(Tr("Lagereaktionen"), &d.num_Kriech_Lager);
  g.AddCheck(Tr("Verformungen"), &d.num_Kriech_Verform);
  g.AddCheck(Tr("Schnittgrößen"), &d.num_Kriech_Schnitt);
  g.AddHeader(Tr("Knicksicherheitsnachweis"));
  g.AddCheck(Tr("Eigenformen"), &d.num_KNSW_Eigen);
  g.AddCheck(Tr("Lagereaktionen"), &d.num_KNSW_Lager);
  g.AddCheck(Tr("Verformungen"), &d.num_KNSW_Verform);
  g.AddCheck(Tr("Schnittgrößen"), &d.num_KNSW_Schnitt);
  g.AddCheck(Tr("Bruchsicherheit"), &d.num_KNSW_Bruch);
  g.AddCheck(Tr("Dehnungen"), &d.num_KNSW_Dehn);
  g.AddCheck(Tr("Schubbemessung"), &d.num_KNSW_Schub);
  g.AddHeader(Tr("Rissnachweis"));
  g.AddCheck(Tr("Schnittgrößen"), &d.num_Riss);
  g.AddHeader(Tr("Fundamentlasten"));
  g.AddCheck(Tr("Lasten/Momente"), &d.num_Fundament);
  g.AddHeader(Tr("Lastweiterleitung"));
  g.AddCheck(Tr("Lagerlasten"), &d.num_FundLastw);
  g.AddHeader(Tr("Bemessung"));
  g.AddCheck(Tr("erf. As pro Feld"), &d.num_ErfAs);
  if (HatBrandschutz(d.iNorm)) {
    g.AddHeader(Tr("Brandschutznachweis"));
    g.AddCheck(Tr("Brandschutz"), &d.num_Brand);
  }
}

BOOL CKolumoNumAus::OnInitDialog() {
  CDialog::OnInitDialog();
  // A code without the fire verification cannot have it switched on, whatever the dialog's end.
  if (!HatBrandschutz(m_pData->iNorm)) m_pData->num_Brand = 0;
  BuildGrid(70, 30);
  return TRUE;
}

void CKolumoNumAus::OnOK() {
  const int brand = m_pData->num_Brand;
  UpdateData(TRUE);
  m_grid.ExchangeData(TRUE);
  // The fire verification adds load cases: the actions and combinations must be formed again.
  if (m_pData->num_Brand != brand) m_pData->bLastfaelleGeaendert = 1;
  EndDialog(IDOK);
}

// ---- graphics --------------------------------------------------------------------------------------------------

CKolumogridausgraf::CKolumogridausgraf(CWnd* parent) : CKolumoParamDlg(IDD, kIdGrid, "CKolumogridausgraf", parent) {}

void CKolumogridausgraf::AddRows() {
  CKolumoData& d = *m_pData;
  COrmiParamGrid& g = m_grid;
  g.AddHeader(Tr("Grafikeinstellungen"));
  g.AddDouble(Tr("Bildbreite"), &d.BildBreite, "%.2lf", 1.0);
  g.AddCombo(Tr("Farbfüllung für Grafik"), &d.GrafikTyp, Options({"keine", "Graustufen", "Rot/Blau"}));
  g.AddCombo(Tr("Beschriftung"), &d.SchriftFeld, Options({"Global max/min", "Feld max/min"}));
  g.AddHeader(Tr("Eingabedaten"));
  g.AddCheck(Tr("Systemgrafik"), &d.graf_System);
  g.AddHeader(Tr("Regelbemessung"));
  g.AddCheck(Tr("Schnittgrößen"), &d.graf_Regel_Schnitt);
  g.AddHeader(Tr("Kriecherzeugende Dauerlasten"));
  g.AddCheck(Tr("Schnittgrößen"), &d.graf_Kriech_Schnitt);
  g.AddHeader(Tr("Knicksicherheitsnachweis"));
  g.AddCheck(Tr("Schnittgrößen"), &d.graf_KNSW_Schnitt);
  g.AddHeader(Tr("Bemessung"));
  g.AddCheck(Tr("erf.As und Ass"), &d.graf_ErfAs);
}

BOOL CKolumogridausgraf::OnInitDialog() {
  CDialog::OnInitDialog();
  BuildGrid(65, 35);
  m_breiteText = m_grid.GetItemText(1, 1);
  return TRUE;
}

void CKolumogridausgraf::OnOK() {
  // The picture width is shown rounded; taken back untouched it would lose its further decimals.
  const double breite = m_pData->BildBreite;
  UpdateData(TRUE);
  m_grid.ExchangeData(TRUE);
  if (m_grid.GetItemText(1, 1) == m_breiteText) m_pData->BildBreite = breite;
  EndDialog(IDOK);
}

// ---- fire ------------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CKolumoBrandDlg, CDialog)
ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

CKolumoBrandDlg::CKolumoBrandDlg(CWnd* parent) : CKolumoParamDlg(IDD, kIdGrid, "CKolumoBrandDlg", parent) {
  m_klassen = Options({"R 30", "R 60", "R 90", "R 120", "R 180"});
  m_seiten = Options({"einseitig", "mehrseitig"});
}

void CKolumoBrandDlg::AddRows() {
  m_grid.AddCombo(Tr("Feuerwiderstandsklasse"), &m_pData->indexBrandKlasse, m_klassen);
  m_grid.AddCombo(Tr("Brandbeanspruchung"), &m_pData->indexBrandSeiten, m_seiten);
}

BOOL CKolumoBrandDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The verification takes the column as unclad; the dialog offers no row for cladding.
  m_pData->bPutzBekleidet = 0;
  BuildGrid(50, 50);
  // FALSE: the dialog sets the focus itself, on its grid, so that Escape and Enter reach it and not the button
  // that opened it.
  m_grid.SetFocus();
  return FALSE;
}

void CKolumoBrandDlg::OnOK() {
  m_grid.ExchangeData(TRUE);
  UpdateData(TRUE);
  EndDialog(IDOK);
}

LRESULT CKolumoBrandDlg::OnHelp(WPARAM, LPARAM) {
  BaseData::ShowHelpTopic("pylo_sb.chm", "STB_Brandschutz.htm");
  return Default();
}
