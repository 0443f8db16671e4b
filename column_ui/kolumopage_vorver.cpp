#include "column_ui/kolumopage_vorver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoVorverDlg", text));
}

win::DialogTemplate VorverTemplate() {
  using D = CKolumoVorverDlg;
  const DWORD edit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  // The size of the main dialog's page frame.
  t.cx = 560;
  t.cy = 112;
  t.items = {
      {int(D::kIdGruppeArt), "Button", "Vorverformungen berücksichtigen als", BS_GROUPBOX, 6, 2, 230, 108},
      {int(D::kIdArt0), "Button", "Schiefstellung in X, in Y oder in X und Y,\nin allen Einwirkungen gleich",
       BS_AUTORADIOBUTTON | BS_MULTILINE | WS_GROUP | WS_TABSTOP, 14, 13, 218, 20},
      {int(D::kIdArt1), "Button", "affin zur Knickfigur der zwei niedrigsten Eigenwerte,\nje Einwirkung neu berechnet",
       BS_AUTORADIOBUTTON | BS_MULTILINE, 14, 36, 218, 20},
      {int(D::kIdArt2), "Button", "Schiefstellung wie oben\nmit zusätzlicher Kriechverformung",
       BS_AUTORADIOBUTTON | BS_MULTILINE, 14, 59, 218, 20},
      {int(D::kIdArt3), "Button", "Knickfigur wie oben\nmit zusätzlicher Kriechverformung",
       BS_AUTORADIOBUTTON | BS_MULTILINE, 14, 82, 218, 20},
      {int(D::kIdGruppeDetail), "Button", "Vorgabe", BS_GROUPBOX | WS_GROUP, 242, 2, 314, 108},
      {int(D::kIdDirekt), "Button", "direkte Vorgabe der Schiefstellung", BS_AUTOCHECKBOX | WS_TABSTOP, 250, 16, 180,
       10, 0, true},
      {int(D::kIdLabelX), "Static", "um die X-Achse:", SS_LEFT, 250, 36, 64, 10, 0, true},
      {int(D::kIdUmX), "Edit", "-0.500", edit, 316, 34, 50, 12, 0, true},
      {int(D::kIdEinheitX), "Static", "%", SS_LEFT, 370, 36, 12, 10, 0, true},
      {int(D::kIdLabelY), "Static", "um die Y-Achse:", SS_LEFT, 250, 54, 64, 10, 0, true},
      {int(D::kIdUmY), "Edit", "0.500", edit, 316, 52, 50, 12, 0, true},
      {int(D::kIdEinheitY), "Static", "%", SS_LEFT, 370, 54, 12, 10, 0, true},
      {int(D::kIdErklResultierend), "Static", "Schiefstellung in Richtung der resultierenden Auslenkung:", SS_LEFT, 250,
       36, 190, 10, 0, true},
      {int(D::kIdResultierend), "Edit", "0.500", edit, 316, 52, 50, 12, 0, true},
      {int(D::kIdAngesetzt), "Static", "", SS_LEFT, 250, 72, 196, 20, 0, true},
      {int(D::kIdBild), "Static", "", SS_BITMAP | SS_CENTERIMAGE, 452, 12, 98, 94, 0, true},
      {int(D::kIdAusmitteModus), "Button", "direkte Vorgabe der Ausmitte", BS_AUTOCHECKBOX | WS_TABSTOP, 250, 16, 180,
       10, 0, true},
      {int(D::kIdErklAusmitte), "Static",
       "Ungewollte Ausmitte als Anteil der Stützenhöhe,\nz. B. l/200 oder l/400:", SS_LEFT, 250, 32, 220, 20, 0, true},
      {int(D::kIdLabelTeiler), "Static", "Stützenhöhe/", SS_LEFT, 250, 60, 52, 10, 0, true},
      {int(D::kIdTeiler), "Edit", "200", edit | ES_NUMBER, 304, 58, 40, 12, 0, true},
      {int(D::kIdLabelAusmitte), "Static", "Ausmitte:", SS_LEFT, 250, 60, 52, 10, 0, true},
      {int(D::kIdAusmitte), "Edit", "2.00", edit, 304, 58, 50, 12, 0, true},
      {int(D::kIdEinheitCm), "Static", "cm", SS_LEFT, 358, 60, 14, 10, 0, true},
      {int(D::kIdLabelBezug), "Static", "Bezugspunkt:", SS_LEFT, 250, 80, 52, 10, 0, true},
      {int(D::kIdBezug), "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 304, 78, 80, 80, 0, true},
      {int(D::kIdTransportHinweis), "Static", "Im Transportzustand wird keine Vorverformung berücksichtigt.", SS_LEFT,
       14, 16, 300, 10, 0, true},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoVorverDlg::IDD, VorverTemplate());

constexpr UINT kBildBitmap = 26053;

// The illustration: a column inclined by the angle against the vertical, with its foot fixed.
void PaintSchiefstellung(cairo_t* cr, int w, int h) {
  cairo_set_source_rgb(cr, 0.83, 0.82, 0.78);
  cairo_paint(cr);
  const double x0 = w * 0.4, y0 = h - 18.0, top = 16.0, dx = w * 0.2;
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
  const double dash[] = {4, 3};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x0, top);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_source_rgb(cr, 0.25, 0.25, 0.25);
  cairo_set_line_width(cr, 6);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x0 + dx, top);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1.5);
  for (int i = 0; i < 6; ++i) {  // the fixed foot
    cairo_move_to(cr, x0 - 18 + 7 * i, y0 + 8);
    cairo_line_to(cr, x0 - 12 + 7 * i, y0 + 2);
  }
  cairo_move_to(cr, x0 - 20, y0 + 2);
  cairo_line_to(cr, x0 + 22, y0 + 2);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.1, 0.3, 0.7);
  cairo_arc(cr, x0, y0, (y0 - top) * 0.55, -1.5708, -1.5708 + std::atan2(dx, y0 - top));
  cairo_stroke(cr);
  win::SelectFontFace(cr, "DejaVu Sans", false, true, 12);
  cairo_move_to(cr, x0 + 6, top + (y0 - top) * 0.40);
  cairo_show_text(cr, "\xCE\xB8");
  cairo_move_to(cr, x0 + dx - 30, top + 4);
  cairo_show_text(cr, "l/n");
}
// At each opening: a module unloaded in between took the painted picture with it.
void EnsureBild() {
  if (!win::res::HasBitmap(kBildBitmap)) win::res::RegisterBitmap(kBildBitmap, 140, 150, PaintSchiefstellung);
}

CString Format(const char* format, double value) {
  CString text;
  text.Format(format, value);
  return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CKolumoVorverDlg, CDialog)
ON_BN_CLICKED(CKolumoVorverDlg::kIdArt0, OnChange)
ON_BN_CLICKED(CKolumoVorverDlg::kIdArt1, OnChange)
ON_BN_CLICKED(CKolumoVorverDlg::kIdArt2, OnChange)
ON_BN_CLICKED(CKolumoVorverDlg::kIdArt3, OnChange)
ON_BN_CLICKED(CKolumoVorverDlg::kIdDirekt, OnChange)
ON_BN_CLICKED(CKolumoVorverDlg::kIdAusmitteModus, OnChange)
// An edit stores when it is left: storing while typing would reformat a half-typed number.
ON_EN_KILLFOCUS(CKolumoVorverDlg::kIdUmX, OnChange)
ON_EN_KILLFOCUS(CKolumoVorverDlg::kIdUmY, OnChange)
ON_EN_KILLFOCUS(CKolumoVorverDlg::kIdResultierend, OnChange)
ON_EN_KILLFOCUS(CKolumoVorverDlg::kIdTeiler, OnChange)
ON_EN_KILLFOCUS(CKolumoVorverDlg::kIdAusmitte, OnChange)
ON_CBN_SELCHANGE(CKolumoVorverDlg::kIdBezug, OnBezug)
END_MESSAGE_MAP()

BOOL CKolumoVorverDlg::OnInitDialog() {
  EnsureBild();
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoVorverDlg", m_hWnd);
  if (CWnd* bild = GetDlgItem(kIdBild))
    bild->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(::LoadBitmap(nullptr, MAKEINTRESOURCE(kBildBitmap))));
  return TRUE;
}

void CKolumoVorverDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Radio(pDX, kIdArt0, m_art);
  DDX_Check(pDX, kIdDirekt, m_direkt);
  DDX_Text(pDX, kIdUmX, m_umx);
  DDX_Text(pDX, kIdUmY, m_umy);
  DDX_Text(pDX, kIdResultierend, m_resultierend);
  DDX_Check(pDX, kIdAusmitteModus, m_ausmitteModus);
  DDX_Text(pDX, kIdTeiler, m_teiler);  // read as text: a wrong entry gets the page's own message
  DDX_Text(pDX, kIdAusmitte, m_ausmitte);
}

void CKolumoVorverDlg::Show(UINT id, bool show) {
  if (m_pShowing) {
    (*m_pShowing)[id] = show;
    return;
  }
  if (CWnd* item = GetDlgItem(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CKolumoVorverDlg::ExchangeData(BOOL toData) {
  if (!m_pData || !m_hWnd || !m_pStage || *m_pStage < 0 || *m_pStage >= CKolumoData::kStages) return;
  const int stage = *m_pStage;
  m_vorver = m_pData->vorver[stage];
  if (toData) {
    UpdateData(TRUE);
    return;
  }
  if (stage > 0 && !m_vorver.bGesetzt) {
    // A construction stage's first visit starts from the final system; the transport considers none.
    m_vorver = m_pData->vorver[0];
    m_vorver.bGesetzt = 1;
    if (stage == 1) {
      m_vorver.type = m_vorver.Schiefstellung = m_vorver.IDPunkt = 0;
      m_vorver.bDirekteVorgabe = m_vorver.bAusmitte = 0;
      m_vorver.ausmitte = 0.0;
      m_vorver.umx = 0.0;
      m_vorver.umy = 0.0;
      m_vorver.invw = 0.0;
    } else if (m_vorver.type >= 2) {
      m_vorver.type -= 2;
    }
    m_pData->vorver[stage] = m_vorver;
  }
  std::map<UINT, bool> showing;
  m_pShowing = &showing;
  m_bLayingOut = true;
  for (UINT id = kIdDirekt; id <= kIdTransportHinweis; ++id) Show(id, false);
  Show(kIdAngesetzt, false);
  const bool transport = stage == 1;
  for (UINT id : {kIdArt0, kIdArt1, kIdArt2, kIdArt3, kIdGruppeArt, kIdGruppeDetail}) Show(id, !transport);
  Show(kIdTransportHinweis, transport);
  if (!transport) {
    m_art = m_vorver.type;
    // The construction stages know no creep: a creep kind shows as its plain kind.
    if (stage >= 2 && m_art >= 2) m_art -= 2;
    for (UINT id : {kIdArt2, kIdArt3})
      if (CWnd* radio = GetDlgItem(id)) radio->EnableWindow(stage == 0);
    if (m_art == 0 || m_art == 2)
      ShowNeigung();
    else
      ShowAusmitte();
  }
  m_pShowing = nullptr;
  for (const auto& [id, show] : showing) Show(id, show);
  UpdateData(FALSE);
  m_bLayingOut = false;
}

// The page shows the values the calculation applies: the inclination of the resulting direction is 1/n
// (`Schiefstellung`), the eigenmode amplitude height/n takes n from `invw`. What is typed is stored there, so that
// the value shown is the value calculated.
void CKolumoVorverDlg::ShowNeigung() {
  Show(kIdDirekt, true);
  m_direkt = m_vorver.bDirekteVorgabe;
  Show(kIdBild, true);
  if (!m_direkt) {
    Show(kIdErklResultierend, true);
    Show(kIdResultierend, true);
    Show(kIdEinheitY, true);
    Show(kIdAngesetzt, true);
    m_resultierend = NeigungText();
    CString angesetzt;
    if (m_vorver.Schiefstellung != 0)
      angesetzt.Format(Tr("Gerechnet wird mit 1/%d = %s %% (Stützenhöhe/%d)."), m_vorver.Schiefstellung,
                       m_resultierend.GetString(), m_vorver.Schiefstellung);
    else
      angesetzt = Tr("Gerechnet wird ohne Schiefstellung.");
    SetDlgItemText(kIdAngesetzt, angesetzt);
  } else {
    for (UINT id : {kIdLabelX, kIdLabelY, kIdUmX, kIdUmY, kIdEinheitX, kIdEinheitY}) Show(id, true);
    m_umx = Format("%.3lf", m_vorver.umx.GetValue());
    m_umy = Format("%.3lf", m_vorver.umy.GetValue());
  }
}

CString CKolumoVorverDlg::NeigungText() const { return Format("%.3lf", 100.0 * m_vorver.AppliedInclination()); }

CString CKolumoVorverDlg::TeilerText() {
  const double n = m_vorver.AppliedModeDivisor();
  return std::fabs(n - std::round(n)) < 1e-6 ? Format("%.0lf", n) : Format("%.1lf", n);
}

void CKolumoVorverDlg::ShowAusmitte() {
  Show(kIdAusmitteModus, true);
  m_ausmitteModus = m_vorver.bAusmitte;
  Show(kIdErklAusmitte, true);
  if (m_ausmitteModus) {
    Show(kIdTeiler, true);
    Show(kIdLabelTeiler, true);
    m_teiler = TeilerText();
    return;
  }
  for (UINT id : {kIdAusmitte, kIdLabelAusmitte, kIdEinheitCm, kIdLabelBezug, kIdBezug}) Show(id, true);
  m_ausmitte = Format("%.2lf", m_vorver.ausmitte.GetValue());
  CComboBox* list = static_cast<CComboBox*>(GetDlgItem(kIdBezug));
  if (!list) return;
  list->ResetContent();
  list->AddString("z=0.0");
  double z = 0.0;
  for (int i = 0; i < m_pData->nFields(); ++i) {
    z += m_pData->fieldLengths[i].GetValue();
    list->AddString(Format("z = %.2lf m", z));
  }
  list->SetCurSel(m_vorver.IDPunkt);
}

bool CKolumoVorverDlg::Store() {
  if (!m_pData || !m_hWnd || !m_pStage || *m_pStage < 0 || *m_pStage >= CKolumoData::kStages) return false;
  ExchangeData(TRUE);
  // Only what the page shows is read: a hidden field still holds an older text and would overwrite the record.
  const auto shown = [this](UINT id) {
    CWnd* item = GetDlgItem(id);
    return item && (::GetWindowLongPtr(item->m_hWnd, GWL_STYLE) & WS_VISIBLE);
  };
  const auto refuse = [this](UINT id, const CString& message) {
    m_refusedId = id;
    m_refusal = message;
    return false;
  };
  const auto keineZahl = [&](UINT id, const CString& text) {
    return refuse(id, text + Tr(" ist keine Zahl. Bitte ändern"));
  };
  const auto number = [&](UINT id, const CString& text, CFormulaNumber& target) {
    double value = 0.0;
    if (!shown(id)) return true;
    if (!CFieldRefusal::ReadNumber(text, value)) return keineZahl(id, text);
    target = value;
    return true;
  };
  // A share of the height as a whole divisor n (0 < share <= 100 %); false with a message for anything else. A
  // share whose n outgrows an int takes the largest int: cut to an int it would turn negative.
  const auto divisor = [&](const CString& text, double value, int& n) {
    if (!(value > 0.0 && value <= 100.0))
      return refuse(kIdResultierend,
                    text + Tr(" % ist als Schiefstellung nicht möglich (größer als 0, höchstens 100 %). Bitte ändern"));
    n = int(std::min(std::round(100.0 / value), double(std::numeric_limits<int>::max())));
    return true;
  };
  if (m_art >= 0) m_vorver.type = m_art;
  if (shown(kIdDirekt)) m_vorver.bDirekteVorgabe = m_direkt;
  if (!number(kIdUmX, m_umx, m_vorver.umx) || !number(kIdUmY, m_umy, m_vorver.umy)) return false;
  // The inclination typed in % becomes the 1/n the calculation takes; the text as shown changes nothing.
  int schiefstellung = m_vorver.Schiefstellung;
  if (shown(kIdResultierend) && m_resultierend != NeigungText()) {
    double prozent = 0.0;
    if (!CFieldRefusal::ReadNumber(m_resultierend, prozent)) return keineZahl(kIdResultierend, m_resultierend);
    if (!divisor(m_resultierend, prozent, schiefstellung)) return false;
  }
  // The divisor of the eigenmode amplitude height/n goes where the calculation reads it: invw = 100 / n (%).
  double modeShare = m_vorver.invw.GetValue();
  if (shown(kIdTeiler) && m_teiler != TeilerText()) {
    double teiler = 0.0;
    if (!CFieldRefusal::ReadNumber(m_teiler, teiler) || !(teiler > 0.0)) return keineZahl(kIdTeiler, m_teiler);
    modeShare = 100.0 / teiler;
  }
  if (shown(kIdAusmitteModus)) m_vorver.bAusmitte = m_ausmitteModus;
  if (!number(kIdAusmitte, m_ausmitte, m_vorver.ausmitte)) return false;
  m_vorver.Schiefstellung = schiefstellung;
  if (modeShare != m_vorver.invw.GetValue()) m_vorver.invw = modeShare;
  m_vorver.bGesetzt = 1;
  if (shown(kIdBezug)) {
    if (const int sel = int(SendDlgItemMessage(kIdBezug, CB_GETCURSEL)); sel >= 0) m_vorver.IDPunkt = sel;
  }
  if (*m_pStage == 0 && m_vorver.type <= 1) m_pData->kriechen.RemoveAll();
  m_pData->vorver[*m_pStage] = m_vorver;
  return true;
}

CString CKolumoVorverDlg::FieldName(UINT id) {
  switch (id) {
    case kIdUmX: return Tr("Schiefstellung um die X-Achse");
    case kIdUmY: return Tr("Schiefstellung um die Y-Achse");
    case kIdResultierend: return Tr("Schiefstellung in Richtung der resultierenden Auslenkung");
    case kIdTeiler: return Tr("Teiler der Stützenhöhe");
    case kIdAusmitte: return Tr("Ausmitte");
    default: return CString();
  }
}

bool CKolumoVorverDlg::StoreShown() {
  // The box and the field taking the focus back move the focus: those are no entries to store.
  if (m_refusing.Active() || m_bLayingOut) return false;
  m_refusedId = 0;
  if (Store()) {
    ExchangeData(FALSE);
    return true;
  }
  if (m_refusedId == 0) return false;
  m_refusing.Refuse(GetDlgItem(int(m_refusedId)), FieldName(m_refusedId), m_refusal, [this] { ExchangeData(FALSE); });
  return false;
}

void CKolumoVorverDlg::OnChange() { StoreShown(); }

BOOL CKolumoVorverDlg::PreTranslateMessage(MSG* msg) {
  if (CFieldRefusal::IsReturnInEdit(*this, msg) && !StoreShown()) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

void CKolumoVorverDlg::OnBezug() {
  if (CComboBox* list = static_cast<CComboBox*>(GetDlgItem(kIdBezug)); list && list->GetCurSel() >= 0) OnChange();
}
