#include "controls/OrmiGridCtrl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "controls/GridCellTypes.h"
#include "controls/OrmiGridCells.h"
#include "controls/PopupMenuBuilder.h"
#include "platform/win/dialogs/msgbox.h"

IMPLEMENT_DYNAMIC(COrmiGridCtrl, CGridCtrl)

BEGIN_MESSAGE_MAP(COrmiGridCtrl, CGridCtrl)
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_SIZE()
ON_WM_MOVE()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

namespace {

constexpr UINT kCellFormat = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

int Key(int row, int col) { return (row << 16) + col; }

// The literal text after the number of a display format ("%.1lf cm" gives " cm", "%.1lf %%" gives " %").
CString DisplaySuffix(const CString& format) {
  const char* p = format.GetString();
  for (; *p; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
      continue;
    }
    while (*++p && !std::strchr("diouxXeEfgGaA", *p)) {}
    if (!*p) return CString();
    CString suffix = p + 1;
    suffix.Replace("%%", "%");
    return suffix;
  }
  return CString();
}

// A shown text without the unit that the cell's display format writes after the number ("3.20 m" gives "3.20");
// any other text as it stands, trimmed.
CString WithoutShownUnit(const COrmiCellInfo& info, const CString& text) {
  CString unit = DisplaySuffix(info.displayFormat), shown = text;
  unit.Trim();
  shown.Trim();
  if (unit.IsEmpty() || shown.GetLength() <= unit.GetLength() || shown.Right(unit.GetLength()) != unit) return shown;
  shown = shown.Left(shown.GetLength() - unit.GetLength());
  shown.Trim();
  return shown;
}

// A number as the cell shows it: a display format may carry a unit after the number, and text that keeps that
// unit (a value the engineer left as it stood) is the number, not a refusal.
bool ReadShownNumber(const COrmiCellInfo& info, const CString& text, double& value) {
  return ReadDecimalText(text, value) || ReadDecimalText(WithoutShownUnit(info, text), value);
}

const CRuntimeClass* ClassOf(int type) {
  switch (type) {
    case ORMI_CHECK: return RUNTIME_CLASS(CGridCellCheck);
    case ORMI_COMBO:
    case ORMI_COMBO_INDEX: return RUNTIME_CLASS(CGridCellCombo);
    case ORMI_BUTTON: return RUNTIME_CLASS(CGridCellButton);
    case ORMI_RADIO: return RUNTIME_CLASS(COrmiGridCellRadio);
    case ORMI_RICH: return RUNTIME_CLASS(COrmiGridCellRich);
    default: return RUNTIME_CLASS(CGridCell);
  }
}

// A message about a formula quotes the numbers of the text as the engineer wrote them: the evaluation reads a
// decimal comma as a point, and "1.234,5" is to be quoted so, not as "1.234.5".
CString QuotedAsTyped(const CString& message, const CString& typed) {
  std::string result = message.GetString();
  const std::string text = typed.GetString();
  const auto isNumberChar = [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; };
  for (std::size_t start = 0; start < text.size();) {
    if (!isNumberChar(text[start])) {
      ++start;
      continue;
    }
    std::size_t end = start;
    while (end < text.size() && isNumberChar(text[end])) ++end;
    const std::string written = text.substr(start, end - start);
    std::string read = written;
    std::replace(read.begin(), read.end(), ',', '.');
    if (read != written)
      for (std::size_t at = result.find(read); at != std::string::npos; at = result.find(read, at + written.size()))
        result.replace(at, read.size(), written);
    start = end;
  }
  return CString(result.c_str());
}

bool IsNumberType(int type) { return type == ORMI_INT || type == ORMI_DOUBLE || type == ORMI_FORMULA; }

// A printf format for one int: "%ld"-like formats get a long (long is wider than int here).
CString FormatInt(const CString& format, int value) {
  CString out;
  if (std::strstr(format, "l"))
    out.Format(format, long(value));
  else
    out.Format(format, value);
  return out;
}

}  // namespace

COrmiGridCtrl::COrmiGridCtrl() : CGridCtrl(0, 0, 0, 0) { m_bTabHook = 1; }

COrmiGridCtrl::~COrmiGridCtrl() {
  if (m_pHeader && m_pHeader->GetSafeHwnd()) m_pHeader->DestroyWindow();
}

// ---- records --------------------------------------------------------------------------------------------------------

COrmiCellInfo* COrmiGridCtrl::Info(int row, int col) const {
  auto it = m_cells.find(Key(row, col));
  return it == m_cells.end() ? nullptr : it->second.get();
}

COrmiCellInfo* COrmiGridCtrl::EnsureInfo(int row, int col) {
  auto& slot = m_cells[Key(row, col)];
  if (!slot) {
    slot = std::make_unique<COrmiCellInfo>();
    slot->row = row;
    slot->col = col;
  }
  return slot.get();
}

void COrmiGridCtrl::RemoveInfo(int row, int col) { m_cells.erase(Key(row, col)); }

const COrmiCellInfo* COrmiGridCtrl::GetCellInfo(int row, int col) const { return Info(row, col); }

// ---- layout ---------------------------------------------------------------------------------------------------------

void COrmiGridCtrl::Init(int rows, int cols, int fixedRows, int fixedCols) {
  CWnd* parent = GetParent();
  if (parent)
    if (auto font = reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)))
      SendMessage(WM_SETFONT, WPARAM(font), TRUE);
  ModifyStyle(WS_BORDER, 0);
  ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
  GetDefaultCell(FALSE, FALSE)->SetBackClr(kOrmiWhite);
  m_nEnterKey = VK_TAB;
  m_nRows = rows;
  m_nCols = cols;
  m_nFixedRows = fixedRows;
  m_nFixedCols = fixedCols;
  m_percent.assign(std::size_t(std::max(cols, 0)), 0);
  m_visible.assign(std::size_t(std::max(cols, 0)), 1);
  m_rowHeights.assign(std::size_t(std::max(rows, 0)), 0);
  CGridCtrl::SetRowCount(rows);
  CGridCtrl::SetColumnCount(cols);
  SetFixedRowCount(fixedRows);
  SetFixedColumnCount(fixedCols);
  m_bMarkFocusHeaders = FALSE;
  ResetSelectedRange();
  m_bSelectionOn = FALSE;
  m_bAllowRowResize = FALSE;
  m_bAllowColumnResize = FALSE;
  for (int r = 0; r < rows; ++r) m_rowHeights[std::size_t(r)] = GetRowHeight(r);
  for (int r = fixedRows; r < rows; ++r) InitRow(r);
  m_captions.assign(std::size_t(std::max(cols, 0)), CString());
  if (m_bHeaderEnabled && parent) {
    CRect table;
    GetWindowRect(&table);
    parent->ScreenToClient(&table);
    const int h = GetFixedRowHeight();
    CRect header(table.left, table.top, table.right, table.top + h);
    table.top += h + 1;
    m_pHeader = std::make_unique<CGridCtrl>(0, 0, 0, 0);
    m_pHeader->Create(header, parent, 0, 0x50810000);
    if (auto font = reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)))
      m_pHeader->SendMessage(WM_SETFONT, WPARAM(font), TRUE);
    m_pHeader->ModifyStyle(WS_BORDER, 0);
    m_pHeader->ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
    m_pHeader->EnableSelection(FALSE);
    m_pHeader->SetRowResize(FALSE);
    m_pHeader->SetColumnResize(FALSE);
    m_pHeader->GetDefaultCell(TRUE, FALSE)->SetBackClr(::GetSysColor(COLOR_MENU));
    SetWindowPos(nullptr, table.left, table.top, table.Width(), table.Height(), SWP_NOZORDER);
    m_headerRect = table;
  }
  m_bInitialised = TRUE;
}

void COrmiGridCtrl::SetColumnWidthPercent(int col, int percent) {
  if (col >= 0 && col < int(m_percent.size())) m_percent[std::size_t(col)] = percent;
}

void COrmiGridCtrl::SetColumnCaption(int col, LPCTSTR text) {
  if (col >= 0 && col < int(m_captions.size())) m_captions[std::size_t(col)] = text;
}

void COrmiGridCtrl::SetColumnVisible(int col, BOOL visible, BOOL relayout) {
  if (col < 0 || col >= int(m_visible.size())) return;
  const int flag = visible ? 1 : 0;
  if (m_visible[std::size_t(col)] == flag) return;
  m_visible[std::size_t(col)] = flag;
  if (relayout) LayoutColumns();
}

BOOL COrmiGridCtrl::IsColumnVisible(int col) const {
  return col >= 0 && col < int(m_visible.size()) && m_visible[std::size_t(col)];
}

void COrmiGridCtrl::StretchLast(CGridCtrl& grid) {
  int last = grid.GetColumnCount() - 1;
  while (last >= 0 && grid.GetColumnWidth(last) <= 0) --last;
  if (last < 0) return;
  CRect client;
  grid.GetClientRect(&client);
  long total = 0;
  for (int c = 0; c < grid.GetColumnCount(); ++c) total += grid.GetColumnWidth(c);
  if (client.Width() > total) grid.SetColumnWidth(last, grid.GetColumnWidth(last) + int(client.Width() - total));
  grid.ResetScrollBars();
}

void COrmiGridCtrl::LayoutColumns() {
  if (!m_bInitialised || GetRowCount() == 0 || !GetSafeHwnd()) return;
  const BOOL nested = m_bLayingOut;
  m_bLayingOut = TRUE;
  try {
    LayOut();
  } catch (...) {
    m_bLayingOut = nested;
    throw;
  }
  m_bLayingOut = nested;
}

void COrmiGridCtrl::LayOut() {
  long total = 0;
  for (int c = 0; c < m_nCols; ++c)
    if (m_visible[std::size_t(c)]) total += m_percent[std::size_t(c)];
  CRect client;
  GetClientRect(&client);
  const int width = client.Width();
  int lastVisible = m_nCols - 1;
  while (lastVisible >= 0 && !m_visible[std::size_t(lastVisible)]) --lastVisible;
  for (int c = 0; c < m_nCols; ++c) {
    int w = 0;
    if (c == lastVisible)
      w = 1;
    else if (m_visible[std::size_t(c)] && total > 0)
      w = int(double(m_percent[std::size_t(c)]) * width / double(total) + 0.5);
    SetColumnWidth(c, w);
  }
  StretchLast(*this);
  Invalidate();
  const int h = PlaceHeader();
  if (h < 0) return;
  struct Group {
    CString caption;
    int width;
  };
  std::vector<Group> groups;
  for (int c = 0; c < m_nCols; ++c) {
    const CString& caption = m_captions[std::size_t(c)];
    if (!caption.IsEmpty() || groups.empty())
      groups.push_back({caption, GetColumnWidth(c)});
    else
      groups.back().width += GetColumnWidth(c);
  }
  const int n = int(groups.size());
  if (m_pHeader->GetColumnCount() == 0) {
    m_pHeader->SetRowCount(1);
    m_pHeader->SetColumnCount(n);
    m_pHeader->SetFixedRowCount(1);
    m_pHeader->SetRowHeight(0, h);
    for (int g = 0; g < n; ++g) {
      m_pHeader->SetItemFormat(0, g, kCentred);
      m_pHeader->SetItemText(0, g, groups[std::size_t(g)].caption);
      m_pHeader->SetColumnWidth(g, groups[std::size_t(g)].width);
    }
    if (n >= 2) {
      m_pHeader->SetColumnWidth(n - 1, 1);
      StretchLast(*m_pHeader);
    }
  } else {
    const int existing = m_pHeader->GetColumnCount();
    for (int g = 0; g < std::min(n, existing); ++g) m_pHeader->SetColumnWidth(g, groups[std::size_t(g)].width);
    if (n >= 2 && n < existing) {
      m_pHeader->SetColumnWidth(n - 1, 1);
      StretchLast(*m_pHeader);
    }
  }
  m_pHeader->Invalidate();
}

int COrmiGridCtrl::PlaceHeader() {
  if (!m_pHeader || !m_pHeader->GetSafeHwnd()) return -1;
  if (CWnd* parent = GetParent()) {
    GetWindowRect(&m_headerRect);
    parent->ScreenToClient(&m_headerRect);
  }
  int firstRow = 0;
  while (firstRow < GetRowCount() && GetRowHeight(firstRow) == 0) ++firstRow;
  if (firstRow >= GetRowCount()) return -1;
  int h = GetFixedRowHeight();
  if (h == 0) h = GetRowHeight(firstRow);
  m_pHeader->SetWindowPos(nullptr, m_headerRect.left, m_headerRect.top - h - 1, m_headerRect.Width(), h + 1,
                          SWP_NOZORDER);
  return h;
}

void COrmiGridCtrl::ShowRow(int row, BOOL show) {
  if (row < 0 || row >= GetRowCount() || row >= int(m_rowHeights.size())) return;
  if (bool(IsRowVisible(row)) == bool(show)) return;
  SetRowHeight(row, show ? m_rowHeights[std::size_t(row)] : 0);
  ResetScrollBars();
  Invalidate();
}

void COrmiGridCtrl::SetRowCount(int n) {
  if (n < 0) return;
  const int old = std::max(GetRowCount(), 0);
  if (n <= old) {
    CGridCtrl::SetRowCount(n);
    DropRowRecords(n, old);
    m_nRows = n;
    if (n != old) LayoutColumns();
    return;
  }
  // Rows that cannot all be made and laid out leave the grid as it was, its column widths included, and the
  // shortage goes on.
  m_rowHeights.reserve(std::size_t(n));
  CUIntArray widths = m_arColWidths;
  try {
    CGridCtrl::SetRowCount(n);
    m_rowHeights.resize(std::size_t(n), 0);
    for (int r = old; r < n; ++r) {
      m_rowHeights[std::size_t(r)] = GetRowHeight(r);
      InitRow(r);
    }
    LayoutColumns();
  } catch (...) {
    DropRowRecords(old, n);
    for (int c = 0; c < widths.GetSize() && c < m_arColWidths.GetSize(); ++c) m_arColWidths[c] = widths[c];
    CGridCtrl::SetRowCount(old);
    throw;
  }
  m_nRows = n;
}

void COrmiGridCtrl::DropRowRecords(int from, int to) {
  for (int r = from; r < to; ++r)
    for (int c = 0; c < GetColumnCount(); ++c) RemoveInfo(r, c);
  if (m_rowHeights.size() > std::size_t(from)) m_rowHeights.resize(std::size_t(from));
}

void COrmiGridCtrl::InvalidateAll(BOOL erase) {
  if (GetSafeHwnd()) CWnd::Invalidate(erase);
  if (m_pHeader && m_pHeader->GetSafeHwnd()) m_pHeader->Invalidate(erase);
}

// ---- cell types -----------------------------------------------------------------------------------------------------

int COrmiGridCtrl::SetCellType(int row, int col, int type) {
  if (type < ORMI_TEXT || type > ORMI_RICH || type == ORMI_NONE) return GetCellType(row, col);
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return 0;
  const CRuntimeClass* cls = ClassOf(type);
  if (std::strcmp(cell->GetRuntimeClass()->m_lpszClassName, cls->m_lpszClassName) != 0) {
    CGridCtrl::SetCellType(row, col, cls);
    cell = GetCell(row, col);
    if (type == ORMI_CHECK || type == ORMI_RADIO) {
      cell->SetState(cell->GetState() | GVIS_READONLY);
      cell->SetBackClr(kOrmiGrey);
    } else if (type == ORMI_BUTTON) {
      cell->SetState(cell->GetState() | GVIS_READONLY);
      cell->SetFormat(kCentred);
      cell->SetBackClr(CLR_DEFAULT);
    }
  }
  if (type == ORMI_TEXT) {
    RemoveInfo(row, col);
    return 0;
  }
  COrmiCellInfo* info = EnsureInfo(row, col);
  info->type = type;
  if (type == ORMI_INT) {
    info->scanFormat = "%ld";
    info->displayFormat = "%ld";
  } else if (type == ORMI_DOUBLE || type == ORMI_FORMULA) {
    if (info->displayFormat.IsEmpty()) info->displayFormat = "%lg";
    if (info->scanFormat.IsEmpty()) info->scanFormat = "%lf";
    if (type == ORMI_FORMULA && !info->value) {
      info->value = std::make_unique<CFormulaNumber>();
      info->value->m_pStore = m_pVariableStore ? m_pVariableStore : &GetGlobalVariableStore();
    }
  } else if (type == ORMI_COMBO || type == ORMI_COMBO_INDEX) {
    if (auto* combo = dynamic_cast<CGridCellCombo*>(cell))
      combo->SetStyle(type == ORMI_COMBO ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
  }
  return info->type;
}

int COrmiGridCtrl::GetCellType(int row, int col) const {
  const COrmiCellInfo* info = Info(row, col);
  return info ? info->type : 0;
}

void COrmiGridCtrl::SetNumberFormat(int row, int col, LPCTSTR scanFormat, LPCTSTR displayFormat, double factor) {
  COrmiCellInfo* info = Info(row, col);
  if (!info || !IsNumberType(info->type)) return;
  info->scanFormat = scanFormat;
  info->displayFormat = displayFormat;
  info->factor = factor;
}

void COrmiGridCtrl::SetCellAlignment(int row, int col, int align) {
  static const UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  if (align < 0 || align > 2) return;
  SetItemFormat(row, col, kAlign[align] | kCellFormat);
}

void COrmiGridCtrl::SetCenteredText(int row, int col, LPCTSTR text) {
  SetItemFormat(row, col, kCentred);
  SetItemText(row, col, text);
}

void COrmiGridCtrl::SetCellFont(int row, int col, LPCTSTR face, BOOL italic, BOOL underline, int height, int weight) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return;
  LOGFONT lf{};
  if (const LOGFONT* current = cell->GetFont()) lf = *current;
  std::strncpy(lf.lfFaceName, face ? face : "", 31);
  lf.lfFaceName[31] = 0;
  lf.lfItalic = BYTE(italic ? 1 : 0);
  lf.lfUnderline = BYTE(underline ? 1 : 0);
  if (height != -1) lf.lfHeight = height;
  lf.lfWeight = weight;
  cell->SetFont(&lf);
}

// ---- typed values ---------------------------------------------------------------------------------------------------

CString COrmiGridCtrl::FormatValue(const COrmiCellInfo& info, double shown) const {
  CString out;
  out.Format(info.displayFormat, shown);
  return out;
}

CString COrmiGridCtrl::SetCellText(int row, int col, LPCTSTR text) {
  CString old = GetItemText(row, col);
  SetItemText(row, col, text);
  return old;
}

CString COrmiGridCtrl::GetCellText(int row, int col) {
  EndEditing();
  if (Info(row, col)) return CString();
  return GetItemText(row, col);
}

int COrmiGridCtrl::SetCellInt(int row, int col, int value) {
  COrmiCellInfo* info = Info(row, col);
  if (!info || info->type != ORMI_INT) return 0;
  const int old = GetCellInt(row, col);
  SetItemText(row, col, FormatInt(info->displayFormat, value));
  return old;
}

int COrmiGridCtrl::GetCellInt(int row, int col) {
  EndEditing();
  COrmiCellInfo* info = Info(row, col);
  if (!info || info->type != ORMI_INT) return 0;
  int value = 0;
  return ReadIntegerText(GetItemText(row, col), value) ? value : 0;
}

double COrmiGridCtrl::SetCellDouble(int row, int col, double value) {
  COrmiCellInfo* info = Info(row, col);
  if (!info || info->type != ORMI_DOUBLE) return 0.0;
  const double old = GetCellDouble(row, col);
  SetItemText(row, col, FormatValue(*info, value * info->factor));
  return old;
}

double COrmiGridCtrl::GetCellDouble(int row, int col) {
  EndEditing();
  COrmiCellInfo* info = Info(row, col);
  if (!info || info->type != ORMI_DOUBLE) return 0.0;
  double shown = 0.0;
  if (!ReadShownNumber(*info, GetItemText(row, col), shown) || info->factor == 0.0) return 0.0;
  return shown / info->factor;
}

void COrmiGridCtrl::ShowFormula(int row, int col, COrmiCellInfo& info) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell || !info.value) return;
  CFormulaNumber& value = *info.value;
  // A formula without a value says why, never shows the number kept from before.
  const CString why = value.WhyNoValue();
  SetItemText(row, col, why.IsEmpty() ? FormatValue(info, value.m_dValue) : why);
  LOGFONT lf{};
  if (const LOGFONT* current = cell->GetFont()) lf = *current;
  lf.lfUnderline = BYTE(info.value->m_bNumber ? 0 : 1);
  cell->SetFont(&lf);
}

CFormulaNumber COrmiGridCtrl::SetCellFormula(int row, int col, const CFormulaNumber& value) {
  COrmiCellInfo* info = Info(row, col);
  if (!info || info->type != ORMI_FORMULA || !info->value) return CFormulaNumber();
  CFormulaNumber old = *info->value;
  *info->value = value;
  if (m_pVariableStore) info->value->m_pStore = m_pVariableStore;
  if (!info->value->m_pStore) info->value->m_pStore = old.m_pStore;
  ShowFormula(row, col, *info);
  return old;
}

CFormulaNumber COrmiGridCtrl::GetCellFormula(int row, int col) {
  EndEditing();
  COrmiCellInfo* info = Info(row, col);
  if (!info || info->type != ORMI_FORMULA || !info->value) return CFormulaNumber();
  return *info->value;
}

int COrmiGridCtrl::SetCellCheck(int row, int col, int state) {
  auto* cell = dynamic_cast<CGridCellCheck*>(GetCell(row, col));
  if (!cell || GetCellType(row, col) != ORMI_CHECK) return 0;
  return cell->SetCheck(state);
}

int COrmiGridCtrl::GetCellCheck(int row, int col) {
  EndEditing();
  auto* cell = dynamic_cast<CGridCellCheck*>(GetCell(row, col));
  if (!cell || GetCellType(row, col) != ORMI_CHECK) return 0;
  return cell->GetCheck();
}

static CGridCellCombo* ComboOf(COrmiGridCtrl& grid, int row, int col) {
  const int type = grid.GetCellType(row, col);
  if (type != ORMI_COMBO && type != ORMI_COMBO_INDEX) return nullptr;
  return dynamic_cast<CGridCellCombo*>(grid.GetCell(row, col));
}

void COrmiGridCtrl::SetComboOptions(int row, int col, const CStringArray& options) {
  if (CGridCellCombo* combo = ComboOf(*this, row, col)) combo->SetOptions(options);
}

void COrmiGridCtrl::GetComboOptions(int row, int col, CStringArray& options) {
  if (CGridCellCombo* combo = ComboOf(*this, row, col)) combo->GetOptions(options);
}

int COrmiGridCtrl::SetComboIndex(int row, int col, int index) {
  CGridCellCombo* combo = ComboOf(*this, row, col);
  if (!combo) return -1;
  const int old = GetComboIndex(row, col);
  CStringArray options;
  combo->GetOptions(options);
  if (index == -1)
    SetItemText(row, col, "");
  else if (index >= 0 && index < int(options.GetSize()))
    SetItemText(row, col, options[index]);
  return old;
}

int COrmiGridCtrl::GetComboIndex(int row, int col) {
  EndEditing();
  CGridCellCombo* combo = ComboOf(*this, row, col);
  if (!combo) return -1;
  CStringArray options;
  combo->GetOptions(options);
  const CString text = GetItemText(row, col);
  int found = -1;
  for (int i = 0; i < int(options.GetSize()); ++i)
    if (options[i] == text) found = i;
  return found;
}

CString COrmiGridCtrl::SetComboText(int row, int col, LPCTSTR text) {
  if (!ComboOf(*this, row, col)) return CString();
  CString old = GetItemText(row, col);
  SetItemText(row, col, text);
  return old;
}

CString COrmiGridCtrl::GetComboText(int row, int col) {
  EndEditing();
  if (!ComboOf(*this, row, col)) return CString();
  return GetItemText(row, col);
}

CString COrmiGridCtrl::SetButtonText(int row, int col, LPCTSTR text) {
  if (GetCellType(row, col) != ORMI_BUTTON) return CString();
  CString old = GetItemText(row, col);
  SetItemText(row, col, text);
  return old;
}

CString COrmiGridCtrl::CellName(int row, int col) const {
  const bool titled = GetFixedRowCount() > 0 && row >= GetFixedRowCount();
  auto title = [&](int c) {
    CString text = titled ? GetItemText(0, c) : CString();
    return text.Trim();
  };
  // A row is captioned by its first column shown, when that is fixed or read-only (a number, a text).
  CString rowName;
  int first = 0;
  while (first < GetColumnCount() && !IsColumnVisible(first)) ++first;
  if (first < col && (IsCellFixed(row, first) || !IsCellEditable(row, first))) {
    CString caption = GetItemText(row, first);
    caption.Trim();
    const CString above = title(first);
    rowName = above.IsEmpty() || caption.IsEmpty() ? caption : above + " " + caption;
  }
  const CString column = title(col);
  if (rowName.IsEmpty()) return column;
  return column.IsEmpty() ? rowName : rowName + ", " + column;
}

BOOL COrmiGridCtrl::IsCellEditable(int row, int col) const {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  const int type = GetCellType(row, col);
  if (type == ORMI_CHECK || type == ORMI_RADIO)
    if (auto* check = dynamic_cast<CGridCellCheck*>(cell)) return !check->IsLocked();
  return !cell->IsReadOnly();
}

void COrmiGridCtrl::SetIntValue(int row, int col, const int* value, BOOL editableOnly) {
  if (!value) return;
  if (editableOnly && !IsCellEditable(row, col)) {
    if (GetCellType(row, col) == ORMI_INT) SetItemText(row, col, "");
    return;
  }
  SetCellInt(row, col, *value);
}

int COrmiGridCtrl::GetIntValue(int row, int col, int* value, BOOL editableOnly) {
  if (!value) return 0;
  if (!editableOnly || IsCellEditable(row, col)) *value = GetCellInt(row, col);
  return *value;
}

int COrmiGridCtrl::GetCheckValue(int row, int col, int* value, BOOL editableOnly) {
  if (!value) return 0;
  if (!editableOnly || IsCellEditable(row, col)) *value = GetCellCheck(row, col);
  return *value;
}

// ---- enabling and marking -------------------------------------------------------------------------------------------

void COrmiGridCtrl::SetCellReadOnly(int row, int col, BOOL readOnly) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return;
  const int type = GetCellType(row, col);
  if (type == ORMI_CHECK || type == ORMI_RADIO) {
    if (auto* check = dynamic_cast<CGridCellCheck*>(cell)) check->SetLocked(readOnly);
    RedrawCell(row, col);
  } else if (type == ORMI_BUTTON) {
    cell->SetBackClr(CLR_DEFAULT);
    cell->SetTextClr(readOnly ? kOrmiGreyText : 0);
    cell->SetState(cell->GetState() | GVIS_READONLY);
  } else {
    cell->SetBackClr(readOnly ? kOrmiGrey : kOrmiWhite);
    cell->SetState(readOnly ? (cell->GetState() | GVIS_READONLY) : (cell->GetState() & ~DWORD(GVIS_READONLY)));
  }
}

void COrmiGridCtrl::EnableCell(int row, int col, BOOL enable) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return;
  const int type = GetCellType(row, col);
  if (type == ORMI_CHECK || type == ORMI_RADIO || type == ORMI_BUTTON) {
    SetCellReadOnly(row, col, !enable);
    return;
  }
  cell->SetBackClr(enable ? kOrmiWhite : kOrmiGrey);
  cell->SetTextClr(enable ? 0 : kOrmiGreyText);
  cell->SetState(enable ? DWORD(0) : DWORD(GVIS_READONLY));
}

void COrmiGridCtrl::RefreshRowCells(int row, BOOL enable) {
  for (int c = std::max(GetFixedColumnCount(), 0); c < GetColumnCount(); ++c)
    if (Info(row, c)) EnableCell(row, c, enable);
  Invalidate();
}

void COrmiGridCtrl::MarkRow(int row) {
  const int fixedCols = GetFixedColumnCount();
  auto nonFixedRow = [&](int r) { return r >= GetFixedRowCount() && r < GetRowCount(); };
  if (nonFixedRow(m_nMarkedRow)) {
    for (int c = fixedCols; c < GetColumnCount(); ++c) {
      CGridCellBase* cell = GetCell(m_nMarkedRow, c);
      const int type = GetCellType(m_nMarkedRow, c);
      if (!cell || type == ORMI_BUTTON) continue;
      if (type == ORMI_CHECK || type == ORMI_RADIO)
        cell->SetBackClr(kOrmiGrey);
      else
        cell->SetBackClr(cell->IsReadOnly() ? kOrmiGrey : kOrmiWhite);
    }
  }
  if (nonFixedRow(row)) {
    for (int c = fixedCols; c < GetColumnCount(); ++c) {
      CGridCellBase* cell = GetCell(row, c);
      if (!cell || GetCellType(row, c) == ORMI_BUTTON) continue;
      cell->SetBackClr(cell->IsReadOnly() ? kOrmiMarkedReadOnly : kOrmiMarked);
    }
  }
  m_nMarkedRow = row < 0 ? -1 : row;
  if (GetSafeHwnd()) Invalidate();
}

// ---- focus and Tab --------------------------------------------------------------------------------------------------

void COrmiGridCtrl::SetFocusCell(int row, int col) {
  if (row != -1 && col != -1) EnsureVisible(row, col);
  CGridCtrl::SetFocusCell(row, col);
  m_bActive = 1;
  if (GetSafeHwnd() && ::GetFocus() != m_hWnd) SetFocus();
  OnFocusCellChanged(row, col);
  RedrawCell(row, col);
}

BOOL COrmiGridCtrl::GetFocusCell(int* row, int* col) const {
  const CCellID cell = CGridCtrl::GetFocusCell();
  if (!IsValid(cell)) return FALSE;
  if (row) *row = cell.row;
  if (col) *col = cell.col;
  return TRUE;
}

BOOL COrmiGridCtrl::WalkEditable(CCellID& cell, BOOL editableOnly, bool forwards) {
  const int r0 = GetFixedRowCount(), c0 = GetFixedColumnCount();
  const int rows = GetRowCount(), cols = GetColumnCount();
  bool haveVisible = false;
  CCellID firstVisible(0, 0);
  for (int i = 0; i < (rows - r0) * (cols - c0); ++i) {
    const int k = forwards ? i : (rows - r0) * (cols - c0) - 1 - i;
    const int r = r0 + k / (cols - c0), c = c0 + k % (cols - c0);
    if (GetRowHeight(r) == 0 || GetColumnWidth(c) == 0) continue;
    if (!haveVisible) {
      haveVisible = true;
      firstVisible = CCellID(r, c);
    }
    CGridCellBase* cell_ = GetCell(r, c);
    if (editableOnly && (!cell_ || !cell_->IsClickable())) continue;
    cell = CCellID(r, c);
    return TRUE;
  }
  cell = firstVisible;
  return FALSE;
}

BOOL COrmiGridCtrl::FirstEditableCell(CCellID& cell, BOOL editableOnly) {
  return WalkEditable(cell, editableOnly, true);
}
BOOL COrmiGridCtrl::LastEditableCell(CCellID& cell, BOOL editableOnly) {
  return WalkEditable(cell, editableOnly, false);
}

void COrmiGridCtrl::ClearFocus() {
  MarkRow(-1);
  CGridCtrl::SetFocusCell(-1, -1);
  m_bActive = 0;
  Invalidate();
}

BOOL COrmiGridCtrl::TabToNextControl(int row, int col, BOOL backwards) {
  if (!m_bTabNavigation) return FALSE;
  CCellID first, last;
  const BOOL hasFirst = FirstEditableCell(first), hasLast = LastEditableCell(last);
  if (hasFirst && hasLast && CCellID(row, col) != (backwards ? first : last)) return FALSE;
  CWnd* parent = GetParent();
  if (!parent) return FALSE;
  // Controls without a window text (frames, lines) are no stops; grids are, whatever their text.
  CWnd* target = nullptr;
  CWnd* from = this;
  for (int guard = 0; guard < 1000; ++guard) {
    CWnd* next = parent->GetNextDlgTabItem(from, backwards);
    if (!next || next->m_hWnd == m_hWnd) break;
    CString text;
    next->GetWindowText(text);
    if (!text.IsEmpty() || dynamic_cast<COrmiGridCtrl*>(CWnd::FromHandlePermanent(next->m_hWnd))) {
      target = next;
      break;
    }
    if (next->m_hWnd == from->m_hWnd) break;
    from = next;
  }
  if (!target) return FALSE;
  ClearFocus();
  if (auto* grid = dynamic_cast<COrmiGridCtrl*>(CWnd::FromHandlePermanent(target->m_hWnd)))
    grid->m_bEnteredBackwards = BYTE(backwards ? 1 : 0);
  target->SetFocus();
  return TRUE;
}

void COrmiGridCtrl::OnFocusCellChanged(int row, int col) {
  if (m_bRowMarking) MarkRow(row);
  for (COrmiGridCtrl* other : m_linked) {
    if (!other || other == this) continue;
    other->MarkRow(-1);
    other->CGridCtrl::SetFocusCell(-1, -1);
    other->m_bActive = 0;
  }
}

void COrmiGridCtrl::OnSetFocus(CWnd* oldWnd) {
  Default();
  const CCellID current = CGridCtrl::GetFocusCell();
  if (m_bMouseAction) {
    if (IsValid(current)) CGridCtrl::SetFocusCell(current);
    return;
  }
  if (m_bActive && IsValid(current)) return;
  // The keyboard given back after a box or a modal dialog (no window of this dialog had it) finds its cell.
  if (IsValid(current) && (!oldWnd || ::GetAncestor(oldWnd->m_hWnd, GA_ROOT) != ::GetAncestor(m_hWnd, GA_ROOT))) {
    m_bActive = 1;
    return;
  }
  bool backwards = m_bEnteredBackwards != 0;
  if (!backwards && oldWnd && GetParent()) {
    CWnd* following = GetParent()->GetNextDlgTabItem(this, FALSE);
    if (following && following->m_hWnd == oldWnd->m_hWnd &&
        !dynamic_cast<CGridCtrl*>(CWnd::FromHandlePermanent(oldWnd->m_hWnd)))
      backwards = true;
  }
  CCellID cell;
  if (backwards)
    LastEditableCell(cell);
  else
    FirstEditableCell(cell);
  m_bEnteredBackwards = 0;
  m_bActive = 1;
  if (IsValid(cell)) {
    EnsureVisible(cell.row, cell.col);
    CGridCtrl::SetFocusCell(cell);
    OnFocusCellChanged(cell.row, cell.col);
  }
}

void COrmiGridCtrl::OnKillFocus(CWnd* newWnd) {
  Default();
  if (!newWnd || !m_bActive || newWnd->GetParent() == nullptr || !GetParent()) return;
  if (newWnd->GetParent()->m_hWnd != GetParent()->m_hWnd) return;
  char cls[32] = {};
  ::GetClassName(newWnd->m_hWnd, cls, sizeof(cls));
  if (std::strcmp(cls, "Edit") == 0) return;
  ClearFocus();
}

// The columns keep their shares of a new width, and the header bands stand over their columns wherever the grid
// is moved or sized to.
void COrmiGridCtrl::OnSize(UINT type, int cx, int cy) {
  CGridCtrl::OnSize(type, cx, cy);
  // A scroll bar that comes or goes with the new widths sizes the grid again: that size is taken as it is.
  if (!m_bLayingOut) LayoutColumns();
}

void COrmiGridCtrl::OnMove(int, int) {
  Default();
  if (m_bInitialised) PlaceHeader();
}

void COrmiGridCtrl::OnLButtonDown(UINT flags, CPoint point) {
  m_bMouseAction = 1;
  CGridCtrl::OnLButtonDown(flags, point);
  m_bMouseAction = 0;
}

void COrmiGridCtrl::OnLButtonUp(UINT flags, CPoint point) {
  m_bMouseAction = 1;
  CGridCtrl::OnLButtonUp(flags, point);
  m_bMouseAction = 0;
  const CCellID cell = GetCellFromPt(point);
  if (IsValid(cell)) OnCellClick(cell.row, cell.col);
}

void COrmiGridCtrl::OnRButtonDown(UINT flags, CPoint point) {
  m_bMouseAction = 1;
  CGridCtrl::OnRButtonDown(flags, point);
  m_bMouseAction = 0;
}

void COrmiGridCtrl::OnShowWindow(BOOL show, UINT status) {
  Default();
  if (m_pHeader && m_pHeader->GetSafeHwnd()) m_pHeader->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

// ---- editing --------------------------------------------------------------------------------------------------------

void COrmiGridCtrl::OnStartEditCell(int row, int col, int type) {
  CGridCtrl::SetFocusCell(row, col);
  m_bActive = 1;
}

void COrmiGridCtrl::OnEditCell(int row, int col, CPoint point, UINT nChar) {
  COrmiCellInfo* info = Info(row, col);
  const int type = info ? info->type : 0;
  // A list cell reached from an open editor by Tab or Return opens its list as a text cell opens its editor: left
  // closed, it showed its list button with the keys on the grid, and the Escape meant for it ended the dialog.
  if (type == ORMI_RICH && nChar == VK_TAB) return;
  if (CGridCtrl::IsCellEditable(row, col) && info) {
    m_editCell = CCellID(row, col);
    m_editShown = GetItemText(row, col);
    CString full;
    double shown = 0.0;
    if (type == ORMI_DOUBLE && ReadShownNumber(*info, GetItemText(row, col), shown)) {
      full.Format("%lg", shown);
      SetItemText(row, col, full);
    } else if (type == ORMI_FORMULA && info->value) {
      if (info->value->m_bNumber) {
        if (!GetItemText(row, col).IsEmpty()) full.Format("%lg", info->value->m_dValue);
      } else {
        full = info->value->GetText();
      }
      SetItemText(row, col, full);
    }
  }
  CGridCtrl::OnEditCell(row, col, point, nChar);
  OnStartEditCell(row, col, type);
}

BOOL COrmiGridCtrl::ReadTypedText(int row, int col, const CString& in, CString& shown, CFormulaNumber& formula,
                                  CString& reason) {
  COrmiCellInfo* info = Info(row, col);
  if (!info) {
    shown = in;
    return TRUE;
  }
  CString text = in;
  text.Trim();
  switch (info->type) {
    case ORMI_INT: {
      int value = 0;
      if (text.IsEmpty()) {
        shown = "";
        return TRUE;
      }
      if (!ReadIntegerText(text, value)) {
        reason.Format("'%s' ist keine ganze Zahl.", in.GetString());
        return FALSE;
      }
      shown = FormatInt(info->displayFormat, value);
      return TRUE;
    }
    case ORMI_DOUBLE: {
      double value = 0.0;
      if (text.IsEmpty()) {
        shown = "";
        return TRUE;
      }
      if (!ReadShownNumber(*info, text, value)) {
        reason.Format("'%s' ist keine Zahl.", in.GetString());
        return FALSE;
      }
      shown = FormatValue(*info, value);
      return TRUE;
    }
    case ORMI_FORMULA: {
      formula = info->value ? *info->value : CFormulaNumber();
      if (m_pVariableStore) formula.m_pStore = m_pVariableStore;
      if (text.IsEmpty()) {
        formula.Reset();
        shown = "";
        return TRUE;
      }
      double value = 0.0;
      // A number with the unit the cell shows (copied from a cell) is that number.
      if (const CString number = WithoutShownUnit(*info, text);
          !ReadDecimalText(text, value) && ReadDecimalText(number, value))
        text = number;
      if (!ReadDecimalText(text, value)) {
        CVariableStore* store = formula.m_pStore ? formula.m_pStore : &GetGlobalVariableStore();
        CString expression = text;
        expression.Replace(',', '.');
        // A name read while no variable has it refuses the formula as an error does: it would be read as 0.
        // Helper names assigned before they are read are the formula's own. The formula the cell holds already
        // is left as it is, so that an edit of it can always end.
        const bool held = info->value && !info->value->m_bNumber && info->value->m_strText == text;
        const BOOL evaluated = store->Evaluate(expression, &value);
        if (!held && (!evaluated || !store->ReadsHaveValues())) {
          reason = evaluated                     ? store->NoValueReadMessage()
                   : store->m_Messages.GetSize() ? store->m_Messages[store->m_Messages.GetSize() - 1].m_strText
                                                 : CString("Die Formel kann nicht berechnet werden.");
          reason = QuotedAsTyped(reason, text);
          return FALSE;
        }
      }
      formula = text.GetString();
      shown = FormatValue(*info, formula.GetValue());
      return TRUE;
    }
    case ORMI_COMBO_INDEX: {
      CStringArray options;
      GetComboOptions(row, col, options);
      for (int i = 0; i < int(options.GetSize()); ++i)
        if (options[i] == in) {
          shown = in;
          return TRUE;
        }
      if (in.IsEmpty()) {  // blanks the choice, in a list without options too
        shown = in;
        return TRUE;
      }
      reason.Format("'%s' ist keine der Auswahlmöglichkeiten.", in.GetString());
      return FALSE;
    }
    case ORMI_CHECK:
    case ORMI_RADIO:
    case ORMI_BUTTON: reason = "Diese Zelle nimmt keinen Text an."; return FALSE;
    default: shown = in; return TRUE;
  }
}

BOOL COrmiGridCtrl::TypedText(int row, int col, const CString& in, CString& shown, CFormulaNumber& formula,
                              CString& reason) {
  if (ReadTypedText(row, col, in, shown, formula, reason)) return TRUE;
  const CString name = CellName(row, col);
  if (!name.IsEmpty()) reason = name + ": " + reason;
  return FALSE;
}

CString COrmiGridCtrl::OwnerRefuses(int row, int col, const CString& in, const CFormulaNumber& typed) {
  const COrmiCellInfo* info = Info(row, col);
  if (info && (info->type == ORMI_INT || info->type == ORMI_DOUBLE) && CString(in).Trim().IsEmpty() &&
      !GetItemText(row, col).IsEmpty())
    return RefusedEmptied(row, col);
  if (!info || info->type != ORMI_FORMULA || !info->value) return CString();
  const CFormulaNumber& held = *info->value;
  const bool same = typed.m_bNumber == held.m_bNumber &&
                    (typed.m_bNumber ? typed.m_dValue == held.m_dValue : typed.m_strText == held.m_strText);
  return same ? CString() : RefusedFormula(row, col, typed);
}

void COrmiGridCtrl::OnEndEditCell(int row, int col, CString text) {
  if (m_bInEndEdit) {
    CGridCtrl::OnEndEditCell(row, col, text);
    return;
  }
  m_bInEndEdit = TRUE;
  COrmiCellInfo* info = Info(row, col);
  const int type = info ? info->type : 0;
  CString shown = text, reason;
  CFormulaNumber formula;
  bool ok = true;
  // An emptied cell is taken as an empty paste is: its 0 is no typed 0.
  const BOOL typed = !CString(text).Trim().IsEmpty();
  if (IsNumberType(type)) {
    ok = TypedText(row, col, text, shown, formula, reason);
    if (ok) {
      m_bTyped = typed;
      reason = OwnerRefuses(row, col, text, formula);
      m_bTyped = FALSE;
      ok = reason.IsEmpty();
    }
    if (!ok) {
      RefuseEdit(text);
      AfxMessageBox(reason, MB_ICONEXCLAMATION);
      // The value before the edit stays; its display comes back, as the cell showed it when the edit began.
      if (m_editCell == CCellID(row, col))
        shown = m_editShown;
      else if (type == ORMI_FORMULA && info->value)
        shown = info->value->m_bNumber && info->value->m_dValue == 0.0 && info->value->m_strText.IsEmpty()
                    ? CString()
                    : FormatValue(*info, info->value->GetValue());
      else
        shown = GetItemText(row, col);
    }
  }
  if (ok && type == ORMI_FORMULA && info->value) {
    *info->value = formula;
    if (CGridCellBase* cell = GetCell(row, col)) {
      LOGFONT lf{};
      if (const LOGFONT* current = cell->GetFont()) lf = *current;
      lf.lfUnderline = BYTE(info->value->m_bNumber ? 0 : 1);
      cell->SetFont(&lf);
    }
  }
  CGridCtrl::OnEndEditCell(row, col, shown);
  if (!ok) SetItemText(row, col, shown);
  m_bInEndEdit = FALSE;
  if (!ok) return;
  m_bTyped = typed;
  OnCellChanged(row, col, type);
  m_bTyped = FALSE;
}

BOOL COrmiGridCtrl::ReplaceCellText(int row, int col, LPCTSTR text) {
  COrmiCellInfo* info = Info(row, col);
  if (!IsCellEditable(row, col)) return FALSE;
  // A cell of a copied row that holds no text (a check box, a button) leaves the cell it lands on as it is.
  if (info && (info->type == ORMI_CHECK || info->type == ORMI_RADIO || info->type == ORMI_BUTTON) &&
      CString(text).IsEmpty())
    return FALSE;
  // As if typed there: the owner stores the focus cell when told of a change.
  if (CGridCtrl::GetFocusCell() != CCellID(row, col)) SetFocusCell(row, col);
  if (!info) {
    if (GetItemText(row, col) == CString(text)) return TRUE;
    if (!CGridCtrl::ReplaceCellText(row, col, text)) return FALSE;
    OnCellChanged(row, col, 0);
    return TRUE;
  }
  // A cut copies a number and keeps it: an emptied number would be a 0 that counts.
  if (m_bCutting && IsNumberType(info->type)) return FALSE;
  CString shown, reason;
  CFormulaNumber formula;
  if (!TypedText(row, col, CString(text), shown, formula, reason) ||
      !(reason = OwnerRefuses(row, col, CString(text), formula)).IsEmpty()) {
    if (!m_bPasting ||
        std::find(m_saidRefusals.begin(), m_saidRefusals.end(), CCellID(row, col)) == m_saidRefusals.end())
      Refuse(reason);
    return FALSE;
  }
  const CFormulaNumber before = info->value ? *info->value : CFormulaNumber();
  if (info->type == ORMI_FORMULA && info->value) *info->value = formula;
  if (!CGridCtrl::ReplaceCellText(row, col, shown)) {
    if (info->value) *info->value = before;
    return FALSE;
  }
  if (info->type == ORMI_FORMULA && !shown.IsEmpty()) ShowFormula(row, col, *info);
  OnCellChanged(row, col, info->type);
  return TRUE;
}

void COrmiGridCtrl::Refuse(const CString& reason) {
  if (m_bQuietRefusals) return;
  if (!m_pRefusals) {
    AfxMessageBox(reason, MB_ICONEXCLAMATION);
    return;
  }
  if (std::find(m_pRefusals->begin(), m_pRefusals->end(), reason) == m_pRefusals->end()) m_pRefusals->push_back(reason);
}

CString COrmiGridCtrl::ClipboardText(int row, int col) {
  const COrmiCellInfo* info = Info(row, col);
  if (!info) return GetItemText(row, col);
  switch (info->type) {
    case ORMI_CHECK:
    case ORMI_RADIO:
    case ORMI_BUTTON: return CString();
    case ORMI_INT:
    case ORMI_DOUBLE:
    case ORMI_FORMULA:
      // The number as shown, without its unit: another program or cell reads it.
      return WithoutShownUnit(*info, GetItemText(row, col));
    default: return GetItemText(row, col);
  }
}

BOOL COrmiGridCtrl::PasteTextToGrid(CCellID cell, COleDataObject* data, BOOL selectPastedCells) {
  std::vector<CString> refusals;
  m_pRefusals = &refusals;
  m_bPasting = TRUE;
  m_bPutOff = FALSE;
  const BOOL done = CGridCtrl::PasteTextToGrid(cell, data, selectPastedCells);
  m_bPasting = FALSE;
  if (m_bPutOff) OnPasted();
  m_bPutOff = FALSE;
  m_pRefusals = nullptr;
  m_saidRefusals.clear();
  // The focus stays where the paste went in, as each pasted cell took it in turn.
  if (done && IsValid(cell) && CGridCtrl::GetFocusCell() != cell) SetFocusCell(cell.row, cell.col);
  if (!refusals.empty()) {
    CString text;
    for (const CString& reason : refusals) text += (text.IsEmpty() ? "" : "\n") + reason;
    AfxMessageBox(text, MB_ICONEXCLAMATION);
  }
  return done;
}

COrmiGridCtrl::PastePlan COrmiGridCtrl::PlanPaste(CCellID cell, const std::vector<PastedLine>& lines) {
  using Left = PastePlan::Left;
  PastePlan plan;
  // Lines past the rows the grid holds land in its empty entry row, one after the other as each makes a new row; a
  // line that makes none leaves the rest without a row.
  const bool entry = HasEntryRow();
  const int held = GetRowCount();
  int rows = held, row = cell.row;
  for (std::size_t k = 0; k < lines.size(); ++k, ++row) {
    // Rows made by the paste are shown; only rows held now may be hidden.
    while (row < held && GetRowHeight(row) <= 0) ++row;
    if (row >= rows) {
      plan.why = Left::kNoRows;
      break;
    }
    if (entry && row == rows - 1) {
      const bool makes = std::any_of(lines[k].begin(), lines[k].end(),
                                     [this](const PastedField& field) { return PasteMakesRow(field.col, field.text); });
      if (!makes) {
        plan.why = Left::kMakesNoRow;
        plan.stopEmpty = IsBlankLine(lines[k]);
        break;
      }
      if (plan.added++ == 0) plan.firstAdded = int(k + 1);
      ++rows;
    }
    plan.rows.push_back(row);
  }
  if (plan.added > 0) {
    const int room = std::clamp(RoomForRows(plan.added, plan.noRoom), 0, plan.added);
    if (room < plan.added) {
      plan.rows.resize(std::size_t(plan.firstAdded - 1 + room));
      plan.added = room;
      plan.why = Left::kNoRoom;
    }
  }
  // Empty lines at the end leave nothing out (the line end after a spreadsheet's last row, an empty paste).
  if (plan.why == Left::kMakesNoRow &&
      std::all_of(lines.begin() + std::ptrdiff_t(plan.rows.size()), lines.end(), IsBlankLine))
    plan.why = Left::kNone;
  return plan;
}

CString COrmiGridCtrl::PasteQuestion(const PastePlan& plan, std::size_t lineCount, const CString& consequences) const {
  using Left = PastePlan::Left;
  CString text;
  const auto add = [&text](const CString& sentence) { text += (text.IsEmpty() ? "" : "\n") + sentence; };
  if (plan.added > 0) {
    CString where, made;
    if (plan.added == 1)
      where.Format("Zeile %d der Einfügung", plan.firstAdded);
    else
      where.Format("Zeilen %d bis %d der Einfügung", plan.firstAdded, plan.firstAdded + plan.added - 1);
    made.Format("Die Einfügung legt %s an (%s).", NewRowsName(plan.added).GetString(), where.GetString());
    add(made);
  }
  const int first = int(plan.rows.size()) + 1, last = int(lineCount);
  if (plan.why != Left::kNone && first <= last) {
    const bool one = first == last;
    CString left;
    if (one)
      left.Format("Zeile %d der Einfügung wird nicht übernommen:", first);
    else
      left.Format("Die Zeilen %d bis %d der Einfügung werden nicht übernommen:", first, last);
    const CString firstLeft = one ? " sie" : " die erste";
    switch (plan.why) {
      case Left::kNoRows: left += " die Tabelle hat keine Zeilen mehr."; break;
      case Left::kNoRoom:
        left += plan.noRoom.IsEmpty() ? CString(" mehr nimmt die Position nicht auf.") : "\n" + plan.noRoom;
        break;
      default:
        left += firstLeft + (plan.stopEmpty ? " ist leer und legt keine neue Tabellenzeile an."
                                            : " legt in dieser Spalte keine neue Tabellenzeile an.");
    }
    add(left);
  }
  if (!consequences.IsEmpty()) add(consequences);
  if (!text.IsEmpty() && !plan.rows.empty()) text += "\nSoll sie eingefügt werden?";
  return text;
}

CString COrmiGridCtrl::PasteRefusal(int row, int col, const CString& text, int line) {
  const bool added = row >= GetRowCount() - (HasEntryRow() ? 1 : 0);
  const int at = added ? GetRowCount() - 1 : row;
  if (!IsValid(at, col) || !IsCellEditable(at, col)) return CString();
  const COrmiCellInfo* info = Info(at, col);
  if (!info) return CString();
  if ((info->type == ORMI_CHECK || info->type == ORMI_RADIO || info->type == ORMI_BUTTON) && text.IsEmpty())
    return CString();
  CString shown, reason;
  CFormulaNumber formula;
  if (!added) {
    if (!TypedText(row, col, text, shown, formula, reason)) return reason;
    return OwnerRefuses(row, col, text, formula);
  }
  // A row not there yet: its cells are those of the entry row, named by the line.
  if (ReadTypedText(at, col, text, shown, formula, reason)) return CString();
  CString name;
  name.Format("Zeile %d der Einfügung", line);
  CString title = GetFixedRowCount() > 0 ? GetItemText(0, col) : CString();
  if (!title.Trim().IsEmpty()) name += ", " + title;
  return name + ": " + reason;
}

BOOL COrmiGridCtrl::ConfirmPaste(CCellID cell, const std::vector<PastedLine>& lines, std::size_t& taken) {
  const PastePlan plan = PlanPaste(cell, lines);
  taken = plan.why == PastePlan::Left::kNone ? lines.size() : plan.rows.size();
  CString question = PasteQuestion(plan, lines.size(), PasteConsequences(lines, plan.rows));
  // A paste that asks nothing says its refusals in one box after it.
  if (question.IsEmpty()) return TRUE;
  // Nothing of it can be taken: the box says why, and nothing changes.
  if (plan.rows.empty()) {
    AfxMessageBox(question, MB_ICONEXCLAMATION);
    return FALSE;
  }
  // The question says too which fields are refused as they would be written, before anything changes.
  std::vector<CString> refusals;
  std::vector<CCellID> refused;
  for (std::size_t k = 0; k < plan.rows.size() && k < lines.size(); ++k)
    for (const PastedField& field : lines[k]) {
      const CString reason = PasteRefusal(plan.rows[k], field.col, field.text, int(k + 1));
      if (reason.IsEmpty()) continue;
      refused.emplace_back(plan.rows[k], field.col);
      if (std::find(refusals.begin(), refusals.end(), reason) == refusals.end()) refusals.push_back(reason);
    }
  const CString ask = "\nSoll sie eingefügt werden?";
  if (!refusals.empty()) {
    question = question.Left(question.GetLength() - ask.GetLength());
    question += refused.size() == 1 ? "\nEin Wert der Einfügung wird nicht übernommen:"
                                    : "\nDiese Werte der Einfügung werden nicht übernommen:";
    for (const CString& reason : refusals) question += "\n" + reason;
    question += ask;
  }
  if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return FALSE;
  m_saidRefusals = std::move(refused);
  return TRUE;
}

CString COrmiGridCtrl::NewRowsName(int count) const { return CountedName(count, "%d neue Zeile", "%d neue Zeilen"); }

CString COrmiGridCtrl::CountedName(int count, const CString& one, const CString& many) {
  CString name;
  name.Format((count == 1 ? one : many).GetString(), count);
  return name;
}

BOOL COrmiGridCtrl::PastedValueCounts(int row, int col, const CString& text) {
  CString shown, reason;
  CFormulaNumber formula;
  if (!IsCellEditable(row, col) || !ReadTypedText(row, col, text, shown, formula, reason) || shown.IsEmpty())
    return FALSE;
  const COrmiCellInfo* info = Info(row, col);
  const CString trimmed = CString(text).Trim();
  switch (info ? info->type : ORMI_TEXT) {
    case ORMI_INT: {
      int value = 0;
      return ReadIntegerText(trimmed, value) && value != 0;
    }
    case ORMI_DOUBLE: {
      double value = 0.0;
      return ReadShownNumber(*info, trimmed, value) && value != 0.0;
    }
    case ORMI_FORMULA: return !formula.m_bNumber || formula.GetValue() != 0.0;
    default: return TRUE;
  }
}

void COrmiGridCtrl::CutSelectedText() {
  // A cut empties what may be emptied; a cell whose check refuses the empty value keeps it without a word.
  m_bQuietRefusals = TRUE;
  CGridCtrl::CutSelectedText();
  m_bQuietRefusals = FALSE;
}

void COrmiGridCtrl::OnEditCut() {
  m_bQuietRefusals = TRUE;
  m_bCutting = TRUE;
  CGridCtrl::OnEditCut();
  m_bCutting = FALSE;
  m_bQuietRefusals = FALSE;
}

void COrmiGridCtrl::ShowHeldZero(int row, int col) {
  if (!GetItemText(row, col).IsEmpty()) return;
  if (GetCellType(row, col) == ORMI_FORMULA)
    SetCellFormula(row, col, GetCellFormula(row, col));
  else if (GetCellType(row, col) == ORMI_DOUBLE)
    SetCellDouble(row, col, 0.0);
  // A paste paints its cells before the owner hears of them: the 0 is painted now, not when the focus moves.
  RedrawCell(row, col);
}

// ---- context menu ---------------------------------------------------------------------------------------------------

void COrmiGridCtrl::AddMenuItem(int firstRow, int firstCol, int lastRow, int lastCol, LPCTSTR text, int command,
                                UINT flags) {
  COrmiGridMenuItem item;
  item.firstRow = firstRow;
  item.firstCol = firstCol;
  item.lastRow = lastRow;
  item.lastCol = lastCol;
  item.text = text;
  item.command = command;
  item.flags = flags;
  m_menu.push_back(item);
}

void COrmiGridCtrl::OnRButtonUpHook(UINT flags, CPoint point) {
  const CCellID cell = GetCellFromPt(point);
  if (!IsValid(cell)) return;
  CPopupMenuBuilder builder;
  int highest = 0;
  bool added = false;
  for (const COrmiGridMenuItem& item : m_menu) {
    if (cell.row < item.firstRow || cell.row > item.lastRow || cell.col < item.firstCol || cell.col > item.lastCol)
      continue;
    const bool separator = std::strstr(item.text, "Separator") != nullptr || item.command == -1;
    builder.AddItem(item.text, UINT(item.command), separator, item.flags != 0);
    highest = std::max(highest, item.command);
    added = true;
  }
  std::map<int, CString> variables;
  COrmiCellInfo* info = Info(cell.row, cell.col);
  if (info && info->type == ORMI_FORMULA && info->value && info->value->m_pStore) {
    CStringArray lines, names;
    info->value->m_pStore->GetDescriptions(lines, names);
    if (lines.GetSize() > 0 && added) builder.AddItem("Seperator1", UINT(-1), TRUE);
    for (int i = 0; i < int(lines.GetSize()) && i < int(names.GetSize()); ++i) {
      builder.AddItem(lines[i], UINT(++highest));
      variables[highest] = names[i];
      added = true;
    }
  }
  if (!added) return;
  CPoint screen = point;
  ClientToScreen(&screen);
  MarkRow(cell.row);
  Invalidate();
  const int command = int(builder.Track(screen.x, screen.y, m_hWnd));
  if (command == 0) return;
  auto variable = variables.find(command);
  if (variable != variables.end()) {
    EndEditing();
    CFormulaNumber formula = *info->value;
    CString text = formula.GetText();
    if (formula.m_bNumber && GetItemText(cell.row, cell.col).IsEmpty()) text.Empty();
    const char lastChar = text.IsEmpty() ? 0 : text[text.GetLength() - 1];
    if (lastChar && std::strchr("+-*/(", lastChar))
      text += variable->second;
    else
      text = variable->second;
    formula = text.GetString();
    SetCellFormula(cell.row, cell.col, formula);
    OnCellChanged(cell.row, cell.col, ORMI_FORMULA);
    if (!IsItemEditing(cell.row, cell.col)) OnEditCell(cell.row, cell.col, CPoint(-1, -1), 1);
    return;
  }
  m_bMouseAction = 1;
  CGridCtrl::OnRButtonUpHook(flags, point);
  m_bMouseAction = 0;
  OnCellContextMenu(cell.row, cell.col, command);
}
