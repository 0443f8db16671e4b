#include "controls/OrmiParamGrid.h"

IMPLEMENT_DYNAMIC(COrmiParamGrid, COrmiGridCtrl)

COrmiParamGrid::~COrmiParamGrid() = default;

int COrmiParamGrid::Append(LPCTSTR label, void* variable, int kind, LPCTSTR format, double factor,
                           const CStringArray* options) {
  m_labels.emplace_back(label);
  m_variables.push_back(variable);
  m_kinds.push_back(kind);
  CString shown = format ? format : "";
  if (shown.IsEmpty() && (kind == kDouble || kind == kFormula)) shown = "%lg";
  m_formats.push_back(shown);
  m_factors.push_back(factor);
  std::unique_ptr<CStringArray> copy;
  if (options) {
    copy = std::make_unique<CStringArray>();
    copy->Copy(*options);
  }
  m_options.push_back(std::move(copy));
  return int(m_labels.size()) - 1;
}

int COrmiParamGrid::AddHeader(LPCTSTR text) { return Append(text, nullptr, kHeader, "", 0.0, nullptr); }
int COrmiParamGrid::AddText(LPCTSTR name, CString* variable) { return Append(name, variable, kText, "", 0.0, nullptr); }
int COrmiParamGrid::AddInt(LPCTSTR name, int* variable) { return Append(name, variable, kInt, "", 0.0, nullptr); }
int COrmiParamGrid::AddDouble(LPCTSTR name, double* variable, LPCTSTR format, double factor) {
  return Append(name, variable, kDouble, format, factor, nullptr);
}
int COrmiParamGrid::AddCheck(LPCTSTR name, int* variable) { return Append(name, variable, kCheck, "", 0.0, nullptr); }
int COrmiParamGrid::AddComboText(LPCTSTR name, CString* variable, const CStringArray& options) {
  return Append(name, variable, kCombo, "", 0.0, &options);
}
int COrmiParamGrid::AddCombo(LPCTSTR name, int* variable, const CStringArray& options) {
  return Append(name, variable, kComboIndex, "", 0.0, &options);
}
int COrmiParamGrid::AddButton(LPCTSTR name, CString* caption) {
  return Append(name, caption, kButton, "", 0.0, nullptr);
}
int COrmiParamGrid::AddFormula(LPCTSTR name, CFormulaNumber* variable, LPCTSTR format) {
  return Append(name, variable, kFormula, format, 1.0, nullptr);
}

void COrmiParamGrid::GetCellPos(int index, int& labelRow, int& labelCol, int& valueRow, int& valueCol) const {
  if (m_bHorizontal) {
    labelRow = 0;
    valueRow = 1;
    labelCol = valueCol = index;
  } else {
    labelRow = valueRow = index;
    labelCol = 0;
    valueCol = 1;
  }
}

void COrmiParamGrid::Layout() {
  const int n = int(m_labels.size());
  if (m_bHorizontal) {
    Init(2, n, 0, 0);
    for (int c = 0; c < n; ++c) SetColumnWidthPercent(c, 100);
  } else {
    Init(n, 2, 0, 0);
    SetColumnWidthPercent(0, 100);
    SetColumnWidthPercent(1, 100);
  }
  for (int i = 0; i < n; ++i) {
    int lr, lc, vr, vc;
    GetCellPos(i, lr, lc, vr, vc);
    SetItemText(lr, lc, m_labels[std::size_t(i)]);
    SetCellReadOnly(lr, lc, TRUE);
    const int kind = m_kinds[std::size_t(i)];
    if (kind == kHeader) {
      SetCellFont(lr, lc, "Arial", FALSE, FALSE, -1, FW_BOLD);
      SetCellType(vr, vc, ORMI_TEXT);
      SetItemText(vr, vc, "");
      SetCellReadOnly(vr, vc, TRUE);
      continue;
    }
    SetCellType(vr, vc, kind);
    if (kind == kDouble)
      SetNumberFormat(vr, vc, "%lf", m_formats[std::size_t(i)], m_factors[std::size_t(i)]);
    else if ((kind == kCombo || kind == kComboIndex) && m_options[std::size_t(i)])
      SetComboOptions(vr, vc, *m_options[std::size_t(i)]);
  }
  if (!m_strCaption.IsEmpty()) SetColumnCaption(0, m_strCaption);
  LayoutColumns();
}

BOOL COrmiParamGrid::ExchangeData(BOOL bSave) {
  for (int i = 0; i < int(m_labels.size()); ++i) {
    int lr, lc, r, c;
    GetCellPos(i, lr, lc, r, c);
    void* v = m_variables[std::size_t(i)];
    const int kind = m_kinds[std::size_t(i)];
    if (!v || kind == kHeader) continue;
    const CString& format = m_formats[std::size_t(i)];
    if (bSave) {
      switch (kind) {
        case kText: *static_cast<CString*>(v) = GetItemText(r, c); break;
        case kInt: *static_cast<int*>(v) = GetCellInt(r, c); break;
        case kDouble: *static_cast<double*>(v) = GetCellDouble(r, c); break;
        case kCheck: *static_cast<int*>(v) = GetCellCheck(r, c); break;
        case kCombo: *static_cast<CString*>(v) = GetComboText(r, c); break;
        case kComboIndex: *static_cast<int*>(v) = GetComboIndex(r, c); break;
        case kFormula: *static_cast<CFormulaNumber*>(v) = GetCellFormula(r, c); break;
        default: break;
      }
    } else {
      switch (kind) {
        case kText:
        case kButton: SetItemText(r, c, *static_cast<CString*>(v)); break;
        case kInt: SetCellInt(r, c, *static_cast<int*>(v)); break;
        case kDouble:
          SetNumberFormat(r, c, "%lf", format, m_factors[std::size_t(i)]);
          SetCellDouble(r, c, *static_cast<double*>(v));
          break;
        case kCheck: SetCellCheck(r, c, *static_cast<int*>(v)); break;
        case kCombo: SetComboText(r, c, *static_cast<CString*>(v)); break;
        case kComboIndex: SetComboIndex(r, c, *static_cast<int*>(v)); break;
        case kFormula:
          SetNumberFormat(r, c, "%lf", format, 1.0);
          SetCellFormula(r, c, *static_cast<CFormulaNumber*>(v));
          break;
        default: break;
      }
    }
  }
  Invalidate();
  return TRUE;
}
