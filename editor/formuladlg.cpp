#include "editor/formuladlg.h"

#include <cstdlib>
#include <string>

#include "formula/formulanumber.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_Skrib";

win::DialogTemplate GridTemplate(const char* caption, int cx, int cy, int gridId) {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = cx;
  t.cy = cy;
  t.caption = caption;
  using I = win::DialogItem;
  t.items = {I{gridId, "Static", "", SS_BLACKFRAME, 7, 7, cx - 14, cy - 35},
             I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, cx - 115, cy - 21, 52, 14},
             I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, cx - 59, cy - 21, 52, 14}};
  return t;
}

const win::DialogTemplateRegistrar kFormulas(IDD_SKRIB_FORMULAS,
                                             GridTemplate("Übersicht Formeln", 497, 234, IDC_FORMULA_GRID));
const win::DialogTemplateRegistrar kInputs(IDD_SKRIB_INPUT_VALUES,
                                           GridTemplate("Eingabeparameter", 272, 145, IDC_INPUT_GRID));

// The grid takes the place of the template's frame.
void PlaceGrid(CDialog& dlg, CGridCtrl& grid, int id) {
  CRect place(7, 7, 200, 100);
  if (CWnd* frame = dlg.GetDlgItem(id)) {
    frame->GetWindowRect(&place);
    dlg.ScreenToClient(&place);
    frame->DestroyWindow();
  }
  grid.Create(place, &dlg, UINT(id), WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER);
}

// The number the list held for the name: a unit without a value has none to give, so its value keeps the one stored
// (an export of it is written as failed all the same).
double StoredValue(const std::vector<SubDataValue>& list, const CString& name) {
  for (const SubDataValue& value : list)
    if (value.varName == name) return value.value;
  return 0.0;
}

}  // namespace

void FormulaGrid::Layout() {
  const int rows = m_pUnits ? int(m_pUnits->size()) + 1 : 1;
  Init(rows, kColumns, 1, 0);
  const int percent[kColumns] = {20, 10, 20, 5, 5, 5, 5};
  const char* headers[kColumns] = {"Bezeichnung", "Variable", "Ausdruck", "Ergebnis", "Einheit", "Export", "Eingabe"};
  for (int c = 0; c < kColumns; ++c) {
    SetColumnWidthPercent(c, percent[c]);
    SetCenteredText(0, c, TOLK_Translate(kArea, kDictionary, "FormulaGrid", headers[c]));
  }
  LayoutColumns();
}

void FormulaGrid::Fill() {
  const int count = m_pUnits ? int(m_pUnits->size()) : 0;
  SetRowCount(count + 1);
  for (int i = 0; i < count; ++i) {
    const SkribTextBlock& unit = (*m_pUnits)[std::size_t(i)];
    const int r = i + 1;
    SetCellType(r, kDesc, ORMI_TEXT);
    SetCellType(r, kVariable, ORMI_TEXT);
    SetCellType(r, kFormula, ORMI_TEXT);
    // A unit without a value says why in place of a number, as a formula cell of the variable table does: the number
    // its text kept would be taken for its value.
    const bool hasValue = unit.failure.empty();
    SetCellType(r, kResult, hasValue ? ORMI_DOUBLE : ORMI_TEXT);
    SetCellType(r, kUnit, ORMI_TEXT);
    SetCellType(r, kExport, ORMI_CHECK);
    SetCellType(r, kInput, ORMI_CHECK);
    SetCellReadOnly(r, kVariable, TRUE);
    SetCellReadOnly(r, kFormula, TRUE);
    SetCellReadOnly(r, kResult, TRUE);
    if (unit.type != 3) {
      SetCellText(r, kVariable, unit.name.c_str());
      // The input value is filled last, so its description and unit are the ones shown.
      for (auto [list, col] : {std::pair{m_pExports, int(kExport)}, std::pair{m_pInputs, int(kInput)}}) {
        if (!list) continue;
        for (const SubDataValue& value : *list) {
          if (std::string(value.varName) != unit.name) continue;
          SetCellCheck(r, col, 1);
          SetCellText(r, kDesc, value.desc);
          SetCellText(r, kUnit, value.unit);
        }
      }
      EnableDescription(r);
    } else {
      // An expression without a variable can be neither exported nor an input.
      SetCellReadOnly(r, kExport, TRUE);
      SetCellReadOnly(r, kInput, TRUE);
      SetCellReadOnly(r, kDesc, TRUE);
      SetCellReadOnly(r, kUnit, TRUE);
    }
    SetCellText(r, kFormula, unit.formula.c_str());
    if (hasValue) {
      // The engine writes results with the decimal comma.
      std::string result = unit.result;
      for (char& ch : result)
        if (ch == ',') ch = '.';
      SetCellDouble(r, kResult, std::strtod(result.c_str(), nullptr));
    } else {
      // a unit that read a name without a value says whose, with that name's reason, as the variable table does
      const bool read = !unit.failureShown.empty() && unit.failureShown != unit.failure;
      SetCellText(r, kResult, (read ? unit.failureShown + ": " + unit.failure : unit.failure).c_str());
    }
  }
  Invalidate();
}

void FormulaGrid::EnableDescription(int row) {
  const BOOL marked = GetCellCheck(row, kExport) || GetCellCheck(row, kInput);
  SetCellReadOnly(row, kDesc, !marked);
  SetCellReadOnly(row, kUnit, !marked);
}

void FormulaGrid::OnCellChanged(int row, int col, int) {
  if (row < 1 || (col != kExport && col != kInput)) return;
  EnableDescription(row);
  Invalidate();
}

void FormulaGrid::WriteBack() {
  if (!m_pExports || !m_pInputs) return;
  const std::vector<SubDataValue> exports = std::move(*m_pExports), inputs = std::move(*m_pInputs);
  m_pExports->clear();
  m_pInputs->clear();
  for (int r = 1; r < GetRowCount(); ++r) {
    SubDataValue value;
    value.desc = GetCellText(r, kDesc);
    value.varName = GetCellText(r, kVariable);
    value.unit = GetCellText(r, kUnit);
    const bool hasValue = GetCellType(r, kResult) == ORMI_DOUBLE;
    value.value = GetCellDouble(r, kResult);
    if (GetCellCheck(r, kExport)) {
      if (!hasValue) value.value = StoredValue(exports, value.varName);
      m_pExports->push_back(value);
    }
    if (GetCellCheck(r, kInput)) {
      if (!hasValue) value.value = StoredValue(inputs, value.varName);
      m_pInputs->push_back(value);
    }
  }
}

DlgFormula::DlgFormula(CWnd* parent) : CDialog(IDD_SKRIB_FORMULAS, parent) {}

BOOL DlgFormula::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "DlgFormula", m_hWnd);
  PlaceGrid(*this, m_grid, IDC_FORMULA_GRID);
  m_grid.Layout();
  m_grid.Fill();
  return TRUE;
}

void DlgFormula::OnOK() {
  m_grid.WriteBack();
  CDialog::OnOK();
}

DlgInputVal::DlgInputVal(CWnd* parent) : CDialog(IDD_SKRIB_INPUT_VALUES, parent) {}

BOOL DlgInputVal::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "DlgInputVal", m_hWnd);
  PlaceGrid(*this, m_grid, IDC_INPUT_GRID);
  if (m_pInputs) {
    m_formats.clear();
    m_values.clear();
    for (const SubDataValue& value : *m_pInputs) {
      // A per cent sign in a unit is text, not a conversion.
      std::string unit(value.unit);
      for (std::size_t p = unit.find('%'); p != std::string::npos; p = unit.find('%', p + 2)) unit.insert(p, "%");
      CString format;
      format.Format("%%.2lf [%s]", unit.c_str());
      m_formats.push_back(format);
      m_values.push_back(value.value);
    }
    for (std::size_t i = 0; i < m_values.size(); ++i)
      m_grid.AddDouble((*m_pInputs)[i].desc, &m_values[i], m_formats[i], 1.0);
  }
  m_grid.Layout();
  m_grid.ExchangeData(FALSE);
  m_grid.SetColumnWidthPercent(0, 75);
  m_grid.SetColumnWidthPercent(1, 25);
  m_grid.LayoutColumns();
  return TRUE;
}

void DlgInputVal::OnOK() {
  if (!m_pInputs) return CDialog::OnOK();
  // The cells show their unit behind the number, which the grid's own reading refuses; the number is read here,
  // and a cell that holds none keeps the dialog open with the reason.
  std::vector<double> read(m_values.size());
  for (std::size_t i = 0; i < m_values.size(); ++i) {
    int lr, lc, r, c;
    m_grid.GetCellPos(int(i), lr, lc, r, c);
    std::string text(m_grid.GetItemText(r, c));
    const std::string suffix = " [" + std::string((*m_pInputs)[i].unit) + "]";
    if (text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
      text.resize(text.size() - suffix.size());
    if (!ReadDecimalText(text.c_str(), read[i])) {
      const std::string message =
          "Der Wert für '" + std::string((*m_pInputs)[i].desc) + "' ist keine Zahl: '" + text + "'.";
      AfxMessageBox(message.c_str(), MB_ICONEXCLAMATION);
      return;
    }
  }
  for (std::size_t i = 0; i < read.size(); ++i) (*m_pInputs)[i].value = read[i];
  CDialog::OnOK();
}
