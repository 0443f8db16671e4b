#include "framework_ui/lkdlg.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "framework/basedata.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_common";
constexpr const char* kContext = "LKDlg";

CString Tr(const char* text) { return CString(TOLK_Translate(kArea, kDictionary, kContext, text)); }

void TranslateAll(CStringArray& texts) {
  for (INT_PTR i = 0; i < texts.GetSize(); ++i) texts[i] = Tr(texts[i]);
}

// The factor that calculates permanent actions with gamma_G,sup = 1.5 where the
// norm has 1.35.
constexpr double kGSupFactor = 1.111111111111111;

win::DialogTemplate LKTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 460;
  t.cy = 236;
  t.caption = "Einwirkungen definieren";
  using I = win::DialogItem;
  t.items = {
      I{IDC_LK_GAMMA_INF, "Button", "Ständige Einwirkungen auch mit gamma_G,inf berechnen",
        BS_AUTOCHECKBOX | WS_TABSTOP, 7, 168, 250, 10},
      I{IDC_LK_GAMMA_SUP, "Button", "Ständige Einwirkungen mit gamma_G,sup=1.5 berechnen (DIN EN 12811)",
        BS_AUTOCHECKBOX | WS_TABSTOP, 7, 182, 270, 10},
      I{IDC_LK_HOEHE_LABEL, "Static", "Höhe über NN [m]", SS_LEFT, 290, 169, 70, 9},
      I{IDC_LK_HOEHE, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 362, 167, 50, 12},
      I{IDC_LK_ANSEHEN, "Button", "Kombinationsregeln ansehen", BS_PUSHBUTTON | WS_TABSTOP, 7, 215, 120, 14},
      I{IDC_LK_ERZEUGEN, "Button", "Kombinationsregeln erzeugen", BS_PUSHBUTTON | WS_TABSTOP, 133, 215, 120, 14},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 346, 215, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 403, 215, 50, 14},
  };
  return t;
}

win::DialogTemplate KollektivTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 460;
  t.cy = 236;
  t.caption = "erzeugte Lastkollektive";
  using I = win::DialogItem;
  t.items = {
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 403, 215, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kLKTemplate(IDD_LKDLG, LKTemplate());
const win::DialogTemplateRegistrar kKollektivTemplate(IDD_KOLLEKTIVDLG, KollektivTemplate());

// The grid's place in a dialog, in dialog units.
CRect GridRect(const CDialog& dialog, int bottom) {
  CRect r(7, 7, 453, bottom);
  dialog.MapDialogRect(&r);
  return r;
}

void Show(CWnd& dialog, int id, bool show) {
  if (CWnd* item = dialog.GetDlgItem(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

// A number typed with a decimal point or comma, blanks around it allowed; false
// for anything else.
bool ParseDecimal(CString text, double& value) {
  text.Trim();
  if (text.IsEmpty()) {
    value = 0.0;
    return true;
  }
  text.Replace(',', '.');
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.GetString(), &end);
  if (end == text.GetString() || *end != '\0' || errno == ERANGE || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------------
// EinwirkungGrid

void EinwirkungGrid::Layout() {
  Init(15, kCols, 1, 1);
  const int widths[kCols] = {0, 5, 10, 15, 15, 15, 22, 17, 15};
  for (int c = 0; c < kCols; ++c) SetColumnWidthPercent(c, widths[c]);
  const char* headers[kCols] = {"",
                                "Einw",
                                "Lastfälle",
                                "Lastgruppe",
                                "Lastkategorie",
                                "KLED",
                                "Last nicht feldweise aufteilen",
                                "Alternativgruppe",
                                "Beiwerte"};
  for (int c = 1; c < kCols; ++c) SetItemText(0, c, Tr(headers[c]));
  const bool lastfaelle = !m_pData || m_pData->spalteLastfaelle;
  SetColumnVisible(kLastfaelle, lastfaelle, FALSE);
  SetColumnVisible(kKLED, !m_pData || m_pData->spalteKLED, FALSE);
  SetColumnVisible(kNichtAufteilen, m_pData && m_pData->spalteNichtAufteilen, FALSE);
  SetColumnVisible(kKategorie, !m_pData || m_pData->spalteKategorie, FALSE);
  SetColumnVisible(kAlternativ, m_pData && m_pData->mitAlternativGruppen, FALSE);
  SetColumnVisible(kBeiwerte, FALSE, FALSE);
  ClearMenuItems();
  AddMenuItem(0, 0, 0x40000000, kBeiwerte, Tr("Einwirkung löschen"), 1);
  LayoutColumns();
}

void EinwirkungGrid::InitRow(int row) {
  if (!m_pData) return;
  CStringArray alternativ;
  alternativ.Add(Tr("keine"));
  const int limit = std::max(0, std::min(m_pData->maxAlternativgruppen, 9));
  for (int i = 1; i <= limit; ++i) {
    CString text;
    text.Format("%s %d", Tr("Alternativgruppe").GetString(), i);
    alternativ.Add(text);
  }
  CStringArray gruppen, kategorien, kled;
  m_pData->GetLastGruppen(gruppen);
  if (gruppen.GetSize() > 0) m_pData->GetLastKategorien(kategorien, gruppen[0]);
  m_pData->GetKLEDNamen(kled);
  TranslateAll(gruppen);
  TranslateAll(kategorien);
  TranslateAll(kled);
  SetCellType(row, kNr, ORMI_INT);
  SetCellType(row, kLastfaelle, ORMI_TEXT);
  SetCellReadOnly(row, kLastfaelle, TRUE);
  SetCellType(row, kGruppe, ORMI_COMBO_INDEX);
  SetComboOptions(row, kGruppe, gruppen);
  SetCellType(row, kKategorie, ORMI_COMBO_INDEX);
  SetComboOptions(row, kKategorie, kategorien);
  SetCellType(row, kKLED, ORMI_COMBO_INDEX);
  SetComboOptions(row, kKLED, kled);
  SetCellType(row, kNichtAufteilen, ORMI_CHECK);
  SetCellType(row, kAlternativ, ORMI_COMBO_INDEX);
  SetComboOptions(row, kAlternativ, alternativ);
  SetCellType(row, kBeiwerte, ORMI_BUTTON);
  SetButtonText(row, kBeiwerte, Tr("ansehen"));
}

void EinwirkungGrid::LockRow(int row, bool readonly, int generatorGroup) {
  for (int c = kNr; c <= kGruppe; ++c)
    if (c != kLastfaelle) SetCellReadOnly(row, c, readonly);
  for (int c = kKategorie; c <= kAlternativ; ++c) SetCellReadOnly(row, c, readonly || generatorGroup == 0);
}

void EinwirkungGrid::OnGruppeChanged(int row, int g, bool filling) {
  if (!m_pData) return;
  const int G = m_pData->GetLastGruppeIndex(g);
  CStringArray gruppen, kategorien;
  m_pData->GetLastGruppen(gruppen);
  if (g >= 0 && g < gruppen.GetSize()) m_pData->GetLastKategorien(kategorien, gruppen[g]);
  TranslateAll(kategorien);
  const int keptKategorie = std::max(GetComboIndex(row, kKategorie), 0);
  SetComboOptions(row, kKategorie, kategorien);
  LockRow(row, false, G);
  if (G != 1 && G != 2) {
    SetComboIndex(row, kKategorie, kategorien.GetSize() > 0 ? 0 : -1);
    SetComboIndex(row, kKLED, m_pData->GetDefaultKLED(G, 0));
  } else if (!filling) {
    SetComboIndex(row, kKategorie, keptKategorie < kategorien.GetSize() ? keptKategorie : 0);
    SetComboIndex(row, kKLED, m_pData->GetDefaultKLED(G, 1));
  }
}

void EinwirkungGrid::OnKategorieChanged(int row, int c) {
  if (!m_pData) return;
  const int G = m_pData->GetLastGruppeIndex(GetComboIndex(row, kGruppe));
  SetComboIndex(row, kKLED, m_pData->GetDefaultKLED(G, c));
  SetCellCheck(row, kNichtAufteilen, m_pData->GetDefaultNichtAufteilen(c) ? 1 : 0);
}

void EinwirkungGrid::ExchangeData(BOOL fromGrid) {
  if (!m_pData) return;
  CLKData& d = *m_pData;
  if (fromGrid) {
    CArray<CEinwirkung, const CEinwirkung&> rows;
    for (int r = 1; r < GetRowCount(); ++r) {
      CEinwirkung e;
      if (r - 1 < d.einwirkungen.GetSize()) {
        e = d.einwirkungen[r - 1];
        e.readonly = d.einwirkungen[r - 1].readonly;
      }
      e.nr = GetCellInt(r, kNr);
      e.lastfaelle = GetCellText(r, kLastfaelle);
      e.indexGruppe = std::max(GetComboIndex(r, kGruppe), 0);
      e.indexKategorie = std::max(GetComboIndex(r, kKategorie), 0);
      e.indexKLED = std::max(GetComboIndex(r, kKLED), 0);
      e.einwNichtAufteilen = GetCellCheck(r, kNichtAufteilen) != 0;
      e.alternativgruppe = std::max(GetComboIndex(r, kAlternativ), 0);
      e.indexGruppeHHHH = d.GetLastGruppeIndex(e.indexGruppe);
      if (e.nr > 0) {
        const bool readonly = e.readonly;
        rows.Add(e);
        rows[rows.GetSize() - 1].readonly = readonly;
      }
    }
    d.einwirkungen.SetSize(rows.GetSize());
    for (INT_PTR i = 0; i < rows.GetSize(); ++i) {
      d.einwirkungen[i] = rows[i];
      d.einwirkungen[i].readonly = rows[i].readonly;
    }
    return;
  }
  if (d.spalteLastfaelle) {
    const bool remove = d.unbenutzteEinwirkungenEntfernen;
    if (m_keepUnused) d.unbenutzteEinwirkungenEntfernen = false;
    d.UpdateLastfallZuordnung();
    d.unbenutzteEinwirkungenEntfernen = remove;
  }
  m_filling = true;
  const int n = int(d.einwirkungen.GetSize());
  SetRowCount(n + 2);
  for (int r = 1; r < n + 2; ++r) InitRow(r);
  for (int i = 0; i < n; ++i) {
    const CEinwirkung& e = d.einwirkungen[i];
    const int r = i + 1;
    OnGruppeChanged(r, e.indexGruppe, true);
    SetCellInt(r, kNr, e.nr);
    SetCellText(r, kLastfaelle, e.lastfaelle);
    SetComboIndex(r, kGruppe, e.indexGruppe);
    SetComboIndex(r, kKategorie, e.indexKategorie);
    SetComboIndex(r, kKLED, e.indexKLED);
    SetCellCheck(r, kNichtAufteilen, e.einwNichtAufteilen ? 1 : 0);
    SetComboIndex(r, kAlternativ, e.alternativgruppe);
    LockRow(r, e.readonly, d.GetLastGruppeIndex(e.indexGruppe));
  }
  const int last = n + 1;
  SetItemText(last, kNr, "");
  SetCellText(last, kLastfaelle, "");
  for (int c : {int(kGruppe), int(kKategorie), int(kKLED), int(kAlternativ)}) SetComboIndex(last, c, -1);
  SetCellCheck(last, kNichtAufteilen, 0);
  LockRow(last, false, -1);
  m_filling = false;
  Invalidate();
}

bool EinwirkungGrid::RowHasContent(int row, int col) {
  switch (GetCellType(row, col)) {
    case ORMI_INT: return GetCellInt(row, col) != 0;
    case ORMI_CHECK: return GetCellCheck(row, col) != 0;
    case ORMI_COMBO_INDEX: return GetComboIndex(row, col) >= 0;
    default: return !GetItemText(row, col).IsEmpty();
  }
}

void EinwirkungGrid::OnCellChanged(int row, int col, int type) {
  if (!m_pData || m_filling || row < 1) return;
  // A number typed as 0 is the first action; a cleared number takes the row
  // away.
  if (col == kNr && !GetItemText(row, kNr).IsEmpty() && GetCellInt(row, kNr) == 0) SetCellInt(row, kNr, 1);
  if (col == kGruppe) OnGruppeChanged(row, std::max(GetComboIndex(row, kGruppe), 0), false);
  if (col == kKategorie) OnKategorieChanged(row, std::max(GetComboIndex(row, kKategorie), 0));
  if (row == GetRowCount() - 1 && RowHasContent(row, col)) {
    CEinwirkung neu;
    neu.indexGruppeHHHH = m_pData->GetLastGruppeIndex(0);
    neu.indexKLED = m_pData->GetDefaultKLED(neu.indexGruppeHHHH, 0);
    m_pData->einwirkungen.SetSize(std::max<INT_PTR>(m_pData->einwirkungen.GetSize(), row - 1));
    m_pData->einwirkungen.InsertAt(row - 1, neu);
    // The new row shows the new action's defaults beside what was typed.
    m_filling = true;
    if (col != kGruppe) {
      SetComboIndex(row, kGruppe, neu.indexGruppe);
      OnGruppeChanged(row, neu.indexGruppe, true);
      if (col != kKategorie) SetComboIndex(row, kKategorie, 0);
      if (col != kKLED) SetComboIndex(row, kKLED, neu.indexKLED);
    }
    if (col != kAlternativ) SetComboIndex(row, kAlternativ, 0);
    m_filling = false;
    AddRow();
  }
  if (col == kNr) {
    const int n = GetCellInt(row, kNr);
    int index = 0;
    for (int r = 1; r < row; ++r) index += GetCellInt(r, kNr) > 0 ? 1 : 0;
    ExchangeData(TRUE);
    if (n > 0 && index < m_pData->einwirkungen.GetSize())
      m_pData->einwirkungen[index].lastfaelle = m_pData->GetLastfallEinwirkungen(n);
    m_keepUnused = true;
    ExchangeData(FALSE);
    m_keepUnused = false;
  }
  ExchangeData(TRUE);
}

BOOL EinwirkungGrid::PasteMakesRow(int col, const CString& text) {
  // A number 0 is the first action.
  const int entry = GetRowCount() - 1;
  int number = 0;
  if (col == kNr) return IsCellEditable(entry, col) && ReadIntegerText(CString(text).Trim(), number);
  return PastedValueCounts(entry, col, text);
}

CString EinwirkungGrid::NewRowsName(int count) const {
  return CountedName(count, Tr("%d neue Einwirkung"), Tr("%d neue Einwirkungen"));
}

void EinwirkungGrid::OnCellClick(int row, int col) {
  if (row >= 1 && col == kNichtAufteilen && IsCellEditable(row, col)) OnCellChanged(row, col, ORMI_CHECK);
}

void EinwirkungGrid::OnCellContextMenu(int row, int col, int command) {
  if (!m_pData || command != 1 || row < 1 || GetCellInt(row, kNr) < 1) return;
  int index = 0;
  for (int r = 1; r < row; ++r) index += GetCellInt(r, kNr) > 0 ? 1 : 0;
  ExchangeData(TRUE);
  if (index < m_pData->einwirkungen.GetSize()) m_pData->einwirkungen.RemoveAt(index);
  m_keepUnused = true;
  ExchangeData(FALSE);
  m_keepUnused = false;
}

// ---------------------------------------------------------------------------------------------------------------------
// KollektivGrid and KollektivDlg

void KollektivGrid::Layout() {
  const int n = m_pData ? int(m_pData->kombinationen.GetSize()) : 0;
  Init(n + 1, kCols, 1, 1);
  const int widths[kCols] = {0, 10, 15, 60};
  for (int c = 0; c < kCols; ++c) SetColumnWidthPercent(c, widths[c]);
  SetItemText(0, kNr, Tr("Kollektiv"));
  SetItemText(0, kNachweis, Tr("Nachweis"));
  SetItemText(0, kRegel, Tr("Bildungsvorschrift"));
  ClearMenuItems();
  if (Manual()) {
    AddMenuItem(Tr("Einwirkung löschen"), 1);
    AddMenuItem(Tr("Einwirkung kopieren"), 2);
  }
  LayoutColumns();
}

void KollektivGrid::InitRow(int row) {
  SetCellType(row, kNr, ORMI_INT);
  SetCellType(row, kNachweis, ORMI_TEXT);
  SetCellType(row, kRegel, ORMI_TEXT);
  for (int c = kNr; c < kCols; ++c) SetCellReadOnly(row, c, !Manual());
}

void KollektivGrid::ExchangeData(BOOL fromGrid) {
  if (!m_pData) return;
  CLKData& d = *m_pData;
  if (fromGrid) {
    if (!Manual()) return;
    CArray<CKombination, const CKombination&> kept;
    for (int r = 1; r < GetRowCount(); ++r) {
      const CString nachweis = GetCellText(r, kNachweis);
      if (nachweis.IsEmpty()) continue;
      CKombination k = r - 1 < d.kombinationen.GetSize() ? d.kombinationen[r - 1] : CKombination();
      k.art = nachweis;
      k.regel = GetCellText(r, kRegel);
      k.regelUser = k.regel;
      kept.Add(k);
    }
    d.kombinationen.RemoveAll();
    d.kombinationen.Append(kept);
    return;
  }
  m_filling = true;
  const int n = int(d.kombinationen.GetSize());
  SetRowCount(n + 2);
  for (int r = 1; r < n + 2; ++r) {
    InitRow(r);
    if (r <= n) {
      SetCellInt(r, kNr, r);
      SetCellText(r, kNachweis, d.kombinationen[r - 1].art);
      SetCellText(r, kRegel, d.kombinationen[r - 1].regelUser);
    } else {
      SetItemText(r, kNr, "");
      SetCellText(r, kNachweis, "");
      SetCellText(r, kRegel, "");
    }
  }
  m_filling = false;
  Invalidate();
}

void KollektivGrid::OnCellChanged(int row, int col, int type) {
  if (!m_pData || m_filling || !Manual()) return;
  if (row == GetRowCount() - 1 && !GetItemText(row, col).IsEmpty()) {
    AddRow();
    // A combination starts with its verification text: without one the row
    // would be dropped at once.
    if (GetCellText(row, kNachweis).IsEmpty()) SetCellText(row, kNachweis, Tr("manuell"));
    m_pData->kombinationen.Add(CKombination());
  }
  ExchangeData(TRUE);
}

BOOL KollektivGrid::PasteMakesRow(int col, const CString& text) {
  // Any text makes a combination, a number 0 included.
  const int entry = GetRowCount() - 1;
  int number = 0;
  if (!Manual() || !IsCellEditable(entry, col)) return FALSE;
  return col == kNr ? ReadIntegerText(CString(text).Trim(), number) : !CString(text).Trim().IsEmpty();
}

CString KollektivGrid::NewRowsName(int count) const {
  return CountedName(count, Tr("%d neues Lastkollektiv"), Tr("%d neue Lastkollektive"));
}

void KollektivGrid::OnCellContextMenu(int row, int col, int command) {
  if (!m_pData || !Manual() || row < 1 || row > m_pData->kombinationen.GetSize()) return;
  ExchangeData(TRUE);
  const int i = row - 1;
  if (i >= m_pData->kombinationen.GetSize()) return;
  if (command == 1) m_pData->kombinationen.RemoveAt(i);
  if (command == 2) m_pData->kombinationen.InsertAt(i + 1, CKombination(m_pData->kombinationen[i]));
  ExchangeData(FALSE);
}

BEGIN_MESSAGE_MAP(KollektivDlg, CDialog)
END_MESSAGE_MAP()

KollektivDlg::KollektivDlg(CLKData* data, CWnd* parent) : CDialog(IDD_KOLLEKTIVDLG, parent), m_pData(data) {}

BOOL KollektivDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, kContext, m_hWnd);
  m_grid.SetData(m_pData);
  m_grid.Create(GridRect(*this, 208), this, IDC_KOLLEKTIV_GRID);
  m_grid.Layout();
  m_grid.ExchangeData(FALSE);
  return TRUE;
}

void KollektivDlg::OnOK() {
  m_grid.ExchangeData(TRUE);
  CDialog::OnOK();
}

// ---------------------------------------------------------------------------------------------------------------------
// LKDlg

BEGIN_MESSAGE_MAP(LKDlg, CDialog)
ON_BN_CLICKED(IDC_LK_ANSEHEN, OnAnsehen)
ON_BN_CLICKED(IDC_LK_ERZEUGEN, OnErzeugen)
END_MESSAGE_MAP()

LKDlg::LKDlg(CWnd* parent) : CDialog(IDD_LKDLG, parent) {}

LKDlg::~LKDlg() = default;

BOOL LKDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, kContext, m_hWnd);
  if (!m_pData) {
    EndDialog(IDCANCEL);
    return TRUE;
  }
  CLKData& d = *m_pData;
  m_bGammaInf = d.nachweisMitGammaInf;
  m_bGammaSup = std::fabs(d.GInfFactor - 1.0) > 0.0001;
  m_strHoehe.Format("%8.0lf", d.schneeHoehe);
  CheckDlgButton(IDC_LK_GAMMA_INF, m_bGammaInf ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_LK_GAMMA_SUP, m_bGammaSup ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemText(IDC_LK_HOEHE, m_strHoehe);
  m_grid.SetData(m_pData);
  m_grid.Create(GridRect(*this, 160), this, IDC_LK_GRID);
  m_grid.Layout();
  m_grid.ExchangeData(FALSE);
  Show(*this, IDC_LK_GAMMA_INF, d.gammaInfOption);
  Show(*this, IDC_LK_ANSEHEN, d.ansichtButton);
  Show(*this, IDC_LK_ERZEUGEN, m_bManuell);
  Show(*this, IDC_LK_HOEHE, d.lknorm == 2);
  Show(*this, IDC_LK_HOEHE_LABEL, d.lknorm == 2);
  return TRUE;
}

bool LKDlg::TakeOptions() {
  CString hoehe;
  GetDlgItemText(IDC_LK_HOEHE, hoehe);
  double value = 0.0;
  if (!ParseDecimal(hoehe, value)) {
    CString text;
    text.Format(Tr("Die Höhe über NN \"%s\" ist keine Zahl."), hoehe.GetString());
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    if (CWnd* edit = GetDlgItem(IDC_LK_HOEHE)) GotoDlgCtrl(edit);
    return false;
  }
  m_strHoehe = hoehe;
  m_bGammaInf = IsDlgButtonChecked(IDC_LK_GAMMA_INF) == BST_CHECKED;
  m_bGammaSup = IsDlgButtonChecked(IDC_LK_GAMMA_SUP) == BST_CHECKED;
  m_pData->nachweisMitGammaInf = m_bGammaInf;
  m_pData->schneeHoehe = value;
  m_pData->GInfFactor = m_bGammaSup ? kGSupFactor : 1.0;
  return true;
}

void LKDlg::OnOK() {
  if (!m_pData) return;
  m_grid.ExchangeData(TRUE);
  if (!TakeOptions()) return;
  if (!m_pData->CheckEinwirkungen()) return;
  // A failed run has told its reason; the actions are taken all the same.
  if (!m_bManuell && !m_bKombisGebildet) m_pData->Calc();
  CDialog::OnOK();
}

void LKDlg::OnCancel() {
  if (m_pData && m_pCopy) *m_pData = *m_pCopy;
  CDialog::OnCancel();
}

void LKDlg::ShowKollektive() {
  m_bKombisGebildet = true;
  KollektivDlg dialog(m_pData, this);
  dialog.DoModal();
}

void LKDlg::OnAnsehen() {
  if (!m_pData) return;
  m_grid.ExchangeData(TRUE);
  if (!TakeOptions()) return;
  if (!m_bManuell && !m_pData->Calc()) return;
  ShowKollektive();
}

void LKDlg::OnErzeugen() {
  if (!m_pData) return;
  m_grid.ExchangeData(TRUE);
  if (!TakeOptions()) return;
  if (!m_pData->Calc()) return;
  ShowKollektive();
}

BOOL LKDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
    BaseData::OpenProgramFile("help\\Einwirkungen definieren.pdf");
    return TRUE;
  }
  return CDialog::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------------------------------------------------
// LastfallGrid

namespace {
bool ModusEins(const CLKData* d) { return d && d->modus == 1; }
}  // namespace

void LastfallGrid::Layout() {
  Init(11, kCols, 1, 1);
  const int widths[kCols] = {0, 10, 15};
  for (int c = 0; c < kCols; ++c) SetColumnWidthPercent(c, widths[c]);
  SetItemText(0, kLastfall, Tr("Lastfall"));
  SetItemText(0, kEinwirkung, Tr("Einwirkung"));
  LayoutColumns();
}

void LastfallGrid::InitRow(int row) {
  SetCellType(row, kLastfall, ORMI_INT);
  SetCellReadOnly(row, kLastfall, TRUE);
  if (ModusEins(m_pData)) {
    CStringArray arten;
    arten.Add(Tr("ständige Last"));
    arten.Add(Tr("Verkehr additiv"));
    SetCellType(row, kEinwirkung, ORMI_COMBO_INDEX);
    SetComboOptions(row, kEinwirkung, arten);
  } else {
    SetCellType(row, kEinwirkung, ORMI_INT);
  }
}

void LastfallGrid::Renumber() {
  for (INT_PTR i = 0; i < m_pData->lastfaelle.GetSize(); ++i) m_pData->lastfaelle[i].lf = int(i) + 1;
}

void LastfallGrid::ExchangeData(BOOL fromGrid) {
  if (!m_pData) return;
  CLKData& d = *m_pData;
  if (fromGrid) {
    d.lastfaelle.RemoveAll();
    for (int r = 1; r < GetRowCount(); ++r) {
      CLKLastfall lf;
      lf.lf = GetCellInt(r, kLastfall);
      lf.einw = ModusEins(&d) ? std::max(GetComboIndex(r, kEinwirkung), 0) + 1 : GetCellInt(r, kEinwirkung);
      d.lastfaelle.Add(lf);
    }
    return;
  }
  Renumber();
  const int n = int(d.lastfaelle.GetSize());
  SetRowCount(n + 1);
  for (int r = 1; r <= n; ++r) {
    InitRow(r);
    SetCellInt(r, kLastfall, d.lastfaelle[r - 1].lf);
    const int einw = d.lastfaelle[r - 1].einw;
    if (ModusEins(&d))
      SetComboIndex(r, kEinwirkung, einw - 1);
    else if (einw >= 1)
      SetCellInt(r, kEinwirkung, einw);
    else
      SetItemText(r, kEinwirkung, "");  // no action until one is typed or the actions are formed: no 0 shown
  }
  Invalidate();
}

CString LastfallGrid::RefusedEmptied(int row, int col) {
  if (col != kEinwirkung || row < 1) return CString();
  return CellName(row, col) + ": " + Tr("Jeder Lastfall gehört zu einer Einwirkung; bitte deren Nummer eingeben.");
}

CString LastfallGrid::CellName(int row, int col) const {
  CString name;
  name.Format("%s %d", Tr("Lastfall").GetString(), row);
  return col == kLastfall ? name : name + ", " + Tr("Einwirkung");
}

void LastfallGrid::SetNumLastfaelle(int n) {
  if (!m_pData || n < 0) return;
  SetRowCount(n + 1);
  m_pData->lastfaelle.SetSize(n);
  Renumber();
  ExchangeData(FALSE);
}
