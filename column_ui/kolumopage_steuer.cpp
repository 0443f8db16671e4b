#include "column_ui/kolumopage_steuer.h"

#include "column_ui/ausgabedlg.h"
#include "framework_ui/settingsdlg.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoSteuDlg", text));
}

// The code pictures: a plate with the code's name, all on the same spot, one shown at a time.
win::DialogItem Badge(UINT id) { return {int(id), "Static", "", SS_BITMAP | SS_CENTERIMAGE, 174, 8, 110, 100}; }

void PaintPlate(cairo_t* cr, int w, int h, const char* title, const char* subtitle, double r, double g, double b) {
  cairo_set_source_rgb(cr, 0.83, 0.82, 0.78);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 6.5, 6.5, w - 13, h - 13);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_rectangle(cr, 7, 7, w - 14, 18);
  cairo_fill(cr);
  win::SelectFontFace(cr, "DejaVu Sans", true, false, 12);
  const auto centred = [&](const char* text, double size, double y) {
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    cairo_move_to(cr, (w - e.width) / 2 - e.x_bearing, y);
    cairo_show_text(cr, text);
  };
  cairo_set_source_rgb(cr, 1, 1, 1);
  centred("Bemessung", 11, 20);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  centred(title, 17, h * 0.52);
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  centred(subtitle, 11, h * 0.52 + 22);
}

void RegisterPlate(UINT id, const char* title, const char* subtitle, double r, double g, double b) {
  win::res::RegisterBitmap(id, 150, 150,
                           [=](cairo_t* cr, int w, int h) { PaintPlate(cr, w, h, title, subtitle, r, g, b); });
}

// For each page made: a module unloaded in between took the painted plates with it.
void EnsurePlates() {
  using D = CKolumoSteuDlg;
  if (win::res::HasBitmap(D::kIdBildDin)) return;
  RegisterPlate(D::kIdBildDin, "DIN 1045-1", "", 0.15, 0.3, 0.55);
  RegisterPlate(D::kIdBildEc2, "DIN EN 1992", "Eurocode 2", 0.1, 0.25, 0.6);
  RegisterPlate(D::kIdBildSia, "SIA 262", "", 0.7, 0.1, 0.1);
  RegisterPlate(D::kIdBildNaDe, "DIN EN 1992", "NA Deutschland", 0.1, 0.25, 0.6);
  RegisterPlate(D::kIdBildNaAndere, "DIN EN 1992", "Nationaler Anhang", 0.1, 0.25, 0.6);
}

win::DialogTemplate SteuerTemplate() {
  using D = CKolumoSteuDlg;
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  // The size of the main dialog's page frame.
  t.cx = 560;
  t.cy = 112;
  t.items = {
      {-1, "Button", "Vorschrift", BS_GROUPBOX, 6, 2, 162, 76},
      {int(D::kIdNormDin), "Button", "DIN 1045-1", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 13, 140, 10},
      {int(D::kIdNormEc2), "Button", "DIN EN 1992", BS_AUTORADIOBUTTON, 14, 25, 140, 10},
      {int(D::kIdNormSia), "Button", "SIA 262", BS_AUTORADIOBUTTON, 14, 37, 140, 10},
      {int(D::kIdNormNa), "Button", "DIN EN 1992 / NA", BS_AUTORADIOBUTTON, 14, 49, 140, 10},
      {int(D::kIdLand), "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 26, 61, 128, 60},
      {-1, "Button", "Stützentyp", BS_GROUPBOX, 6, 80, 162, 28},
      {int(D::kIdOrtbeton), "Button", "Ortbeton", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 92, 66, 10},
      {int(D::kIdFertigteil), "Button", "Fertigteil", BS_AUTORADIOBUTTON, 86, 92, 70, 10},
      Badge(D::kIdBildDin),
      Badge(D::kIdBildEc2),
      Badge(D::kIdBildSia),
      Badge(D::kIdBildNaDe),
      Badge(D::kIdBildNaAndere),
      {-1, "Button", "Programmsteuerung", BS_GROUPBOX | WS_GROUP, 292, 2, 228, 32},
      {int(D::kIdAllgemein), "Button", "Allgemeines", BS_PUSHBUTTON | WS_TABSTOP, 300, 14, 104, 14},
      {-1, "Button", "Ausgabesteuerung", BS_GROUPBOX, 292, 38, 228, 32},
      {int(D::kIdNumAus), "Button", "Numerischen Ausgabe", BS_PUSHBUTTON | WS_TABSTOP, 300, 50, 104, 14},
      {int(D::kIdGrafAus), "Button", "Grafischen Ausgabe", BS_PUSHBUTTON | WS_TABSTOP, 410, 50, 104, 14},
      {-1, "Button", "Normsteuerwerte", BS_GROUPBOX, 292, 74, 228, 34},
      {int(D::kIdBrand), "Button", "Brandschutznachweis", BS_PUSHBUTTON | WS_TABSTOP, 300, 87, 104, 14},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoSteuDlg::IDD, SteuerTemplate());

constexpr const char* kLaender[] = {"Deutschland", "Frankreich", "Großbritannien"};

}  // namespace

namespace {

template <class Dlg>
void OeffneParameterDialog(CKolumoData& data) {
  Dlg dlg;
  dlg.m_pData = &data;
  dlg.DoModal();
}

void OeffneAllgemein(CKolumoData& data) {
  dlgAllg dlg;
  dlg.pData = &data;
  dlg.bOfferThickLines = TRUE;
  dlg.DoModal();
}

}  // namespace

CKolumoSteuDlg::Openers CKolumoSteuDlg::s_openers = {OeffneAllgemein, OeffneParameterDialog<CKolumoNumAus>,
                                                     OeffneParameterDialog<CKolumogridausgraf>,
                                                     OeffneParameterDialog<CKolumoBrandDlg>};

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

// The plates are read as the page's controls are made from its template.
CKolumoSteuDlg::CKolumoSteuDlg() : CDialog(IDD) { EnsurePlates(); }

BOOL CKolumoSteuDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoSteuDlg", m_hWnd);
  for (const char* land : kLaender) SendDlgItemMessage(kIdLand, CB_ADDSTRING, 0, LPARAM(LPCSTR(Tr(land))));
  SendDlgItemMessage(kIdLand, CB_SETCURSEL, 0, 0);
  for (UINT id : {kIdBildDin, kIdBildEc2, kIdBildSia, kIdBildNaDe, kIdBildNaAndere})
    SendDlgItemMessage(id, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(::LoadBitmap(nullptr, MAKEINTRESOURCE(id))));
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
