#include "framework_ui/springdlg.h"

#include "framework_ui/dialoghelp.h"
#include "framework_ui/memberspringdlg.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

CString Tr(const char* context, const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", context, text));
}

constexpr const char* kNoButton = "---------";

win::DialogTemplate SpringTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 400;
  t.cy = 158;
  t.caption = "Federwerte";
  using I = win::DialogItem;
  t.items = {
      I{IDC_SPRING_PRESET_LABEL, "Static", "Vorbelegung:", SS_LEFT, 7, 9, 50, 8},
      I{IDC_SPRING_PRESET, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 60, 7, 180, 120},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 233, 137, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 288, 137, 50, 14},
      I{9, "Button", "Hilfe", BS_PUSHBUTTON | WS_TABSTOP, 343, 137, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_SPRINGVAL, SpringTemplate());

const double kPresets[SpringValDlg::kPresetCount][CSupport::kSpringCount] = {
    {0, 0, 0, 0, 0, 0, 0},         // unused: any other combination
    {0, 0, 0, 0, 0, 0, 0},         // free
    {-1, -1, -1, 0, 0, 0, 0},      // hinged
    {-1, -1, -1, -1, 0, 0, 0},     // hinged, torsion held
    {-1, -1, -1, -1, 0, 0, -1},    // hinged, torsion and warping held
    {-1, -1, -1, -1, -1, -1, -1},  // fixed
};

const char* const kPresetNames[SpringValDlg::kPresetCount] = {
    "--------------------------------------", "freie Lagerung", "Gelenkig", "Gelenkig + Torsion",
    "Gelenkig + Torsion mit Wölbbehinderung", "Volleinspannung"};

}  // namespace

// ---- grid ---------------------------------------------------------------------------------------------------------

CString SpringValGrid::DirectionName(int direction) {
  static const char* const kNames[CSupport::kSpringCount] = {
      "Cx (Wegfeder in X-Richtung)", "Cy (Wegfeder in Y-Richtung)", "Cz (Wegfeder in Z-Richtung)",
      "CMx (Drehfeder um X-Achse)",  "CMy (Drehfeder um Y-Achse)",  "CMz (Drehfeder um Z-Achse)",
      "CWölb (Wölbbehinderung)"};
  if (direction < 0 || direction >= CSupport::kSpringCount) return CString();
  return Tr("SpringValGrid", kNames[direction]);
}

int SpringValGrid::RowOf(int direction) const {
  if (direction < 0 || direction >= CSupport::kSpringCount || !(directionMask & (1 << direction))) return -1;
  int row = 1;
  for (int d = 0; d < direction; ++d) row += (directionMask & (1 << d)) ? 1 : 0;
  return row;
}

void SpringValGrid::Layout() {
  int shown = 0;
  for (int d = 0; d < CSupport::kSpringCount; ++d) shown += RowOf(d) > 0 ? 1 : 0;
  Init(1 + shown, kCols, 1, 1);
  const int widths[kCols] = {0, 20, 10, 10, 10, 10};
  const char* const titles[kCols] = {"", "Bezeichnung", "Einspanngrad", "Federwert", "Stützeinspannung", ""};
  for (int c = 0; c < kCols; ++c) {
    SetColumnWidthPercent(c, widths[c]);
    SetItemText(0, c, Tr("SpringValGrid", titles[c]));
  }
  for (int row = 1; row <= shown; ++row) {
    SetCellType(row, kColName, ORMI_TEXT);
    SetCellType(row, kColFixity, ORMI_CHECK);
    SetCellType(row, kColValue, ORMI_FORMULA);
    SetCellType(row, kColComputed, ORMI_CHECK);
    SetCellType(row, kColButton, ORMI_BUTTON);
    SetCellReadOnly(row, kColName, TRUE);
  }
  LayoutColumns();
}

void SpringValGrid::SetRowState(int row, int direction, int kind) {
  const bool translation = direction <= 2;
  if (kind == kSpringFixity) {
    SetNumberFormat(row, kColValue, "%lf", "%.1lf %%", 1.0);
    SetCellReadOnly(row, kColValue, FALSE);
    SetCellReadOnly(row, kColFixity, FALSE);
    SetCellReadOnly(row, kColComputed, TRUE);
    SetButtonText(row, kColButton, kNoButton);
    return;
  }
  SetNumberFormat(row, kColValue, "%lf", translation ? "%.4g kN/m" : "%.4g kNm/rad", 1.0);
  SetCellReadOnly(row, kColValue, kind == kSpringComputed);
  SetCellReadOnly(row, kColComputed, FALSE);
  SetCellReadOnly(row, kColFixity, kind == kSpringComputed || !IsRotation(direction));
  SetButtonText(row, kColButton, kind == kSpringComputed ? Tr("SpringValGrid", "Berechnen") : CString(kNoButton));
}

void SpringValGrid::ToGrid() {
  for (int d = 0; d < CSupport::kSpringCount; ++d) {
    const int row = RowOf(d);
    if (row < 0 || row >= GetRowCount()) continue;
    CFormulaNumber value;
    int kind = 0;
    support.GetValueByIdx(d, value, kind);
    // A stored fixity outside 0-100 % cannot be meant; a middle value is offered instead.
    if (kind == kSpringFixity && (value.GetValue() < 0.0 || value.GetValue() >= 100.0)) value = 50.0;
    SetItemText(row, kColName, DirectionName(d));
    SetRowState(row, d, kind);
    SetCellFormula(row, kColValue, value);
    SetCellCheck(row, kColComputed, kind == kSpringComputed);
    SetCellCheck(row, kColFixity, kind == kSpringFixity);
  }
  Invalidate();
}

void SpringValGrid::FromGrid() {
  for (int d = 0; d < CSupport::kSpringCount; ++d) {
    const int row = RowOf(d);
    if (row < 0 || row >= GetRowCount()) continue;
    int kind = kSpringStiffness;
    if (GetCellCheck(row, kColComputed))
      kind = kSpringComputed;
    else if (GetCellCheck(row, kColFixity) && IsRotation(d))
      kind = kSpringFixity;
    support.SetValueByIdx(d, GetCellFormula(row, kColValue), kind);
  }
}

void SpringValGrid::OnCellChanged(int row, int col, int type) {
  FromGrid();
  // An emptied value is a free spring, and says so.
  if (col == kColValue) ShowHeldZero(row, col);
  if (onChanged) onChanged();
}

CString SpringValGrid::CellName(int row, int col) const {
  const CString column = COrmiGridCtrl::CellName(row, col);
  CString direction = row >= GetFixedRowCount() && row < GetRowCount() ? GetItemText(row, kColName) : CString();
  direction.Trim();
  if (direction.IsEmpty()) return column;
  return column.IsEmpty() ? direction : direction + ", " + column;
}

void SpringValGrid::OnCellCheck(int row, int col) {
  // The two kinds exclude each other: the box just set wins.
  if (GetCellCheck(row, col)) SetCellCheck(row, col == kColFixity ? kColComputed : kColFixity, 0);
  FromGrid();
  if (onChanged) onChanged();
}

void SpringValGrid::OnButtonClick(int row, int col) {
  if (col != kColButton) return;
  for (int d = 0; d < CSupport::kSpringCount; ++d) {
    if (RowOf(d) != row) continue;
    CFormulaNumber value;
    int kind = 0;
    support.GetValueByIdx(d, value, kind);
    if (kind != kSpringComputed || !computeSpring) return;
    CSpringData record = support.GetSpringDataByIdx(d);
    record.bDrehfeder = d >= 3 ? 1 : 0;
    double stiffness = 0.0;
    if (!computeSpring(d, record, stiffness)) return;
    support.SetValueByIdx(d, CFormulaNumber(stiffness), kSpringComputed);
    support.SetSpringDataByIdx(d, record);
    ToGrid();
    if (onChanged) onChanged();
    return;
  }
}

// ---- dialog -------------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(SpringValDlg, CDialog)
ON_CBN_SELCHANGE(IDC_SPRING_PRESET, OnPresetChanged)
ON_BN_CLICKED(9, OnHelp)
END_MESSAGE_MAP()

SpringValDlg::SpringValDlg(CWnd* parent) : CDialog(IDD_SPRINGVAL, parent) {}

const double* SpringValDlg::PresetValues(int index) {
  return index >= 1 && index < kPresetCount ? kPresets[index] : nullptr;
}

int SpringValDlg::DetectPreset(CSupport& support) {
  double values[CSupport::kSpringCount];
  for (int d = 0; d < CSupport::kSpringCount; ++d) {
    CFormulaNumber value;
    int kind = 0;
    support.GetValueByIdx(d, value, kind);
    values[d] = value.GetValue();
  }
  for (int p = 1; p < kPresetCount; ++p) {
    bool same = true;
    for (int d = 0; d < CSupport::kSpringCount; ++d) same = same && values[d] == kPresets[p][d];
    if (same) return p;
  }
  return 0;
}

BOOL SpringValDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_common", "SpringValDlg", m_hWnd);
  m_presets.SubclassDlgItem(IDC_SPRING_PRESET, this);
  CRect client;
  GetClientRect(&client);
  const int top = bShowPresets ? 30 : 8;
  grid.support = support;
  grid.directionMask = directionMask;
  grid.Create(CRect(10, top, client.right - 10, client.bottom - 40), this, IDC_SPRING_GRID);
  grid.Layout();
  grid.SetColumnVisible(SpringValGrid::kColFixity, bOfferFixity && bEndSupport, FALSE);
  grid.SetColumnVisible(SpringValGrid::kColComputed, bOfferComputed, FALSE);
  grid.SetColumnVisible(SpringValGrid::kColButton, bOfferComputed, FALSE);
  grid.LayoutColumns();
  grid.onChanged = [this] {
    support = grid.support;
    presetIndex = DetectPreset(support);
    m_presets.SetCurSel(presetIndex);
    grid.ToGrid();
  };
  if (!grid.computeSpring)
    grid.computeSpring = [this](int, CSpringData& record, double& stiffness) -> BOOL {
      DlgFeder dialog(this);
      dialog.SetSpringData(record);
      if (dialog.DoModal() != IDOK) return FALSE;
      dialog.GetSpringData(record);
      stiffness = dialog.result;
      return TRUE;
    };
  for (const char* name : kPresetNames) m_presets.AddString(Tr("SpringValDlg", name));
  presetIndex = DetectPreset(support);
  m_presets.SetCurSel(presetIndex);
  m_presets.ShowWindow(bShowPresets ? SW_SHOW : SW_HIDE);
  if (CWnd* label = GetDlgItem(IDC_SPRING_PRESET_LABEL)) label->ShowWindow(bShowPresets ? SW_SHOW : SW_HIDE);
  grid.ToGrid();
  return TRUE;
}

void SpringValDlg::ApplyPreset(int index) {
  if (const double* values = PresetValues(index)) {
    for (int d = 0; d < CSupport::kSpringCount; ++d) support.SetValueByIdx(d, CFormulaNumber(values[d]), 0);
  }
  grid.support = support;
  presetIndex = index;
  Refresh();
}

void SpringValDlg::Refresh() {
  if (m_presets.GetSafeHwnd()) m_presets.SetCurSel(presetIndex);
  if (grid.GetSafeHwnd()) grid.ToGrid();
}

void SpringValDlg::OnPresetChanged() { ApplyPreset(m_presets.GetCurSel()); }

void SpringValDlg::OnOK() {
  grid.FromGrid();
  support = grid.support;
  support.presetIdx = presetIndex;
  CDialog::OnOK();
}

void SpringValDlg::OnHelp() { ShowFrameworkDialogHelp("tab_SYSTEM_STIFFNESS.htm", "help\\Dialoge Federwerte.pdf"); }
