#include "column_ui/kolumopage_steuer.h"

#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoSteuDlg", text));
}

// The code "pictures": a framed badge with the code's name, all on the same spot, one shown at a time.
win::DialogItem Badge(UINT id, const char* text) {
  return {int(id), "Static", text, SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 176, 14, 104, 96};
}

win::DialogTemplate SteuerTemplate() {
  using D = CKolumoSteuDlg;
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  t.cx = 527;
  t.cy = 121;
  t.items = {
      {-1, "Button", "Vorschrift", BS_GROUPBOX, 6, 4, 162, 78},
      {int(D::kIdNormDin), "Button", "DIN 1045-1", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 16, 140, 10},
      {int(D::kIdNormEc2), "Button", "DIN EN 1992", BS_AUTORADIOBUTTON, 14, 29, 140, 10},
      {int(D::kIdNormSia), "Button", "SIA 262", BS_AUTORADIOBUTTON, 14, 42, 140, 10},
      {int(D::kIdNormNa), "Button", "DIN EN 1992 / NA", BS_AUTORADIOBUTTON, 14, 55, 140, 10},
      {int(D::kIdLand), "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 26, 66, 128, 60},
      {-1, "Button", "Stützentyp", BS_GROUPBOX, 6, 86, 162, 30},
      {int(D::kIdOrtbeton), "Button", "Ortbeton", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 99, 66, 10},
      {int(D::kIdFertigteil), "Button", "Fertigteil", BS_AUTORADIOBUTTON, 86, 99, 70, 10},
      Badge(D::kIdBildDin, "DIN 1045-1"),
      Badge(D::kIdBildEc2, "DIN EN 1992"),
      Badge(D::kIdBildSia, "SIA 262"),
      Badge(D::kIdBildNaDe, "DIN EN 1992\nNA Deutschland"),
      Badge(D::kIdBildNaAndere, "DIN EN 1992\nNationaler Anhang"),
      {-1, "Button", "Programmsteuerung", BS_GROUPBOX | WS_GROUP, 292, 4, 228, 34},
      {int(D::kIdAllgemein), "Button", "Allgemeines", BS_PUSHBUTTON | WS_TABSTOP, 300, 17, 104, 14},
      {-1, "Button", "Ausgabesteuerung", BS_GROUPBOX, 292, 42, 228, 34},
      {int(D::kIdNumAus), "Button", "Numerischen Ausgabe", BS_PUSHBUTTON | WS_TABSTOP, 300, 55, 104, 14},
      {int(D::kIdGrafAus), "Button", "Grafischen Ausgabe", BS_PUSHBUTTON | WS_TABSTOP, 410, 55, 104, 14},
      {-1, "Button", "Normsteuerwerte", BS_GROUPBOX, 292, 80, 228, 36},
      {int(D::kIdBrand), "Button", "Brandschutznachweis", BS_PUSHBUTTON | WS_TABSTOP, 300, 94, 104, 14},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoSteuDlg::IDD, SteuerTemplate());

constexpr const char* kLaender[] = {"Deutschland", "Frankreich", "Großbritannien"};

}  // namespace

CKolumoSteuDlg::Openers CKolumoSteuDlg::s_openers;

BEGIN_MESSAGE_MAP(CKolumoSteuDlg, CDialog)
ON_BN_CLICKED(CKolumoSteuDlg::kIdNormDin, OnAuswahl)
ON_BN_CLICKED(CKolumoSteuDlg::kIdNormEc2, OnAuswahl)
ON_BN_CLICKED(CKolumoSteuDlg::kIdNormSia, OnAuswahl)
ON_BN_CLICKED(CKolumoSteuDlg::kIdNormNa, OnAuswahl)
ON_BN_CLICKED(CKolumoSteuDlg::kIdOrtbeton, OnAuswahl)
ON_BN_CLICKED(CKolumoSteuDlg::kIdFertigteil, OnAuswahl)
ON_CBN_SELCHANGE(CKolumoSteuDlg::kIdLand, OnLandChange)
ON_BN_CLICKED(CKolumoSteuDlg::kIdAllgemein, OnAllgemein)
ON_BN_CLICKED(CKolumoSteuDlg::kIdNumAus, OnNumAus)
ON_BN_CLICKED(CKolumoSteuDlg::kIdGrafAus, OnGrafAus)
ON_BN_CLICKED(CKolumoSteuDlg::kIdBrand, OnBrand)
END_MESSAGE_MAP()

BOOL CKolumoSteuDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoSteuDlg", m_hWnd);
  for (const char* land : kLaender) SendDlgItemMessage(kIdLand, CB_ADDSTRING, 0, LPARAM(LPCSTR(Tr(land))));
  SendDlgItemMessage(kIdLand, CB_SETCURSEL, 0, 0);
  return TRUE;
}

void CKolumoSteuDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Radio(pDX, kIdNormDin, m_norm);
  DDX_Radio(pDX, kIdOrtbeton, m_typ);
  DDX_CBIndex(pDX, kIdLand, m_land);
}

void CKolumoSteuDlg::Show(UINT id, bool show) {
  if (CWnd* item = GetDlgItem(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CKolumoSteuDlg::ExchangeData(BOOL toData) {
  if (!m_pData || !m_hWnd) return;
  if (!toData) {
    if (m_pData->iNorm >= 10) {
      m_norm = 3;
      m_land = m_pData->iNorm - 10;
    } else {
      m_norm = m_pData->iNorm;
    }
    m_typ = m_pData->Fertigteil;
    UpdateData(FALSE);
    ShowCode();
    return;
  }
  UpdateData(TRUE);
  ShowCode();
  if (m_norm == 3)
    m_pData->iNorm = 10 + m_land;
  else if (m_norm >= 0)
    m_pData->iNorm = m_norm;
  if (m_typ >= 0) m_pData->Fertigteil = m_typ;
}

void CKolumoSteuDlg::ShowCode() {
  Show(kIdBildNaDe, false);
  Show(kIdBildNaAndere, false);
  const bool na = m_norm == 3;
  Show(kIdBildDin, m_norm == 0);
  Show(kIdBildEc2, m_norm == 1);
  Show(kIdBildSia, m_norm == 2);
  if (CWnd* land = GetDlgItem(kIdLand)) land->EnableWindow(na);
  if (na) {
    if (m_land < 0) m_land = 0;
    Show(kIdBildNaDe, m_land == 0);
    Show(kIdBildNaAndere, m_land != 0);
    Show(kIdBrand, m_land == 0);
  } else {
    Show(kIdBrand, m_norm == 0);
  }
}

void CKolumoSteuDlg::OnLandChange() {
  ExchangeData(TRUE);
  if (m_land == 0) return;
  // Only the German annex is available; another country's choice falls back to it.
  AfxMessageBox(Tr("Nationales Anwendungsdokument in Vorbereitung.\nLändercode wird auf Deutschland gesetzt."));
  m_land = 0;
  SendDlgItemMessage(kIdLand, CB_SETCURSEL, 0, 0);
  UpdateData(FALSE);
  ExchangeData(TRUE);
}
