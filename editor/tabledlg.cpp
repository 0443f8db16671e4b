#include "editor/tabledlg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "framework/basedata.h"
#include "framework/utilities.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_Skrib";
constexpr const char* kContext = "GridDlg";
constexpr int kMinColumn = 50;     // twips
constexpr int kAddedColumn = 567;  // 1 cm in twips
constexpr int kMaxColumns = 63;    // what an RTF row can hold
constexpr int kMaxRows = 999;
constexpr COLORREF kHighlight = 0x4040C0;
constexpr COLORREF kRowLine = 0xC0C0C0;

const char* Tr(const char* text) { return TOLK_Translate(kArea, kDictionary, kContext, text); }

win::DialogTemplate TableTemplateDialog() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 400;
  t.cy = 243;
  t.caption = "Tabelle";
  using I = win::DialogItem;
  const DWORD push = BS_PUSHBUTTON | WS_TABSTOP;
  t.items = {
      I{IDC_TABLE_SCHEMATIC, "Static", "", SS_BLACKFRAME, 7, 7, 386, 140},
      I{-1, "Button", "Gesamtbreite", BS_GROUPBOX, 7, 151, 250, 64},
      I{IDC_TABLE_WIDTH_LABEL, "Static", "Aktuell: 16.00 cm ändern auf:", SS_LEFT, 14, 164, 140, 8},
      I{IDC_TABLE_NEW_WIDTH, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 160, 162, 40, 12},
      I{-1, "Static", "Spaltenbreiten:", SS_LEFT, 14, 181, 60, 8},
      I{IDC_TABLE_WIDTH_MODE, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 76, 179, 124, 60},
      I{IDC_TABLE_APPLY_WIDTH, "Button", "Gesamtbreite jetzt ändern", push, 14, 197, 140, 13},
      I{-1, "Button", "Zeilen / Spalten", BS_GROUPBOX, 262, 151, 131, 64},
      I{-1, "Static", "Anzahl Zeilen:", SS_LEFT, 268, 164, 64, 8},
      I{IDC_TABLE_ROWS, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 340, 162, 40, 12},
      I{-1, "Static", "Anzahl Spalten:", SS_LEFT, 268, 181, 64, 8},
      I{IDC_TABLE_COLUMNS, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 340, 179, 40, 12},
      I{IDC_TABLE_APPLY_COUNTS, "Button", "Jetzt ändern", push, 268, 197, 112, 13},
      I{IDC_TABLE_SAVE_TEMPLATE, "Button", "Als Vorlage speichern", push, 7, 222, 90, 14},
      I{IDC_TABLE_LOAD_TEMPLATE, "Button", "Tabellenvorlage laden", push, 100, 222, 90, 14},
      I{IDC_TABLE_HELP, "Button", "Hilfe", push, 196, 222, 50, 14},
      I{IDOK, "Button", "Einfügen", BS_DEFPUSHBUTTON | WS_TABSTOP, 280, 222, 55, 14},
      I{IDCANCEL, "Button", "Abbrechen", push, 338, 222, 55, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_SKRIB_TABLE, TableTemplateDialog());

// The visible words of a cell's RTF: control words, groups and escapes dropped.
std::string PlainCellText(const std::string& rtf) {
  std::string out;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (c == '{' || c == '}' || c == '\r' || c == '\n') continue;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 1 < rtf.size() && (rtf[i + 1] == '\\' || rtf[i + 1] == '{' || rtf[i + 1] == '}')) {
      out += rtf[++i];
      continue;
    }
    ++i;
    while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i]))) ++i;
    while (i < rtf.size() && (std::isdigit(static_cast<unsigned char>(rtf[i])) || rtf[i] == '-')) ++i;
    if (i < rtf.size() && rtf[i] != ' ') --i;
  }
  return out;
}

void ResizeRow(RtfTableRow& row, int count) {
  while (row.cellCount > count) {
    row.boundaries.pop_back();
    if (int(row.cells.size()) > count) row.cells.resize(std::size_t(count));
    --row.cellCount;
  }
  while (row.cellCount < count) {
    const long last = row.boundaries.empty() ? 0 : row.boundaries.back();
    row.boundaries.push_back(last + kAddedColumn);
    row.cells.resize(std::size_t(row.cellCount), " ");
    row.cells.push_back(" ");
    ++row.cellCount;
  }
}

}  // namespace

int TwipsFromCm(double cm) { return int(cm * 566.9291338582676 + 0.5); }
double CmFromTwips(int twips) { return twips * 0.001763888888888889; }

bool ReadTableTemplate(const std::string& path, TableTemplate& out, std::string& reason) {
  const int doc = VIDUV_OpenDoc(path.c_str());
  if (!doc) {
    reason = "Die Tabellenvorlage '" + path + "' kann nicht gelesen werden.";
    return false;
  }
  const int root = VIDUV_GetRootElement(doc);
  const int table = root ? VIDUV_FindFirstChild(root, "table") : 0;
  if (!table) {
    VIDUV_CloseDoc(doc);
    reason = "Die Datei '" + path + "' enthält keine Tabellenvorlage.";
    return false;
  }
  TableTemplate t;
  t.nCol = VIDUV_GetInt(table, "nCol");
  t.nRow = VIDUV_GetInt(table, "nRow");
  t.nWidth = VIDUV_GetInt(table, "nWidth");
  const int texts = VIDUV_GetInt(table, "numOfDefaultText");
  if (t.nCol < 1 || t.nCol > kMaxColumns || t.nRow < 0 || texts < 0 || texts > kMaxColumns * kMaxRows) {
    VIDUV_CloseDoc(doc);
    reason = "Die Tabellenvorlage '" + path + "' hat eine ungültige Spalten- oder Zeilenzahl.";
    return false;
  }
  char key[40];
  for (int i = 0; i < t.nCol; ++i) {
    std::snprintf(key, sizeof key, "colWidth_%ld", long(i));
    const int width = VIDUV_GetInt(table, key);
    if (width <= 0) {
      VIDUV_CloseDoc(doc);
      reason = "Die Tabellenvorlage '" + path + "' hat eine Spalte ohne Breite.";
      return false;
    }
    t.colWidth.push_back(width);
  }
  for (int i = 0; i < texts; ++i) {
    std::snprintf(key, sizeof key, "defaultText_%ld", long(i));
    t.defaultText.emplace_back(VIDUV_GetString(table, key));
  }
  VIDUV_CloseDoc(doc);
  out = std::move(t);
  return true;
}

bool WriteTableTemplate(const std::string& path, const TableTemplate& in, std::string& reason) {
  const int doc = VIDUV_CreateDoc(path.c_str());
  const int root = doc ? VIDUV_GetRootElement(doc) : 0;
  const int table = root ? VIDUV_AddChildElement(root, "table") : 0;
  if (!table) {
    if (doc) VIDUV_CloseDoc(doc);
    reason = "Die Tabellenvorlage '" + path + "' kann nicht angelegt werden.";
    return false;
  }
  VIDUV_SetInt(table, "nCol", in.nCol);
  VIDUV_SetInt(table, "nRow", in.nRow);
  VIDUV_SetInt(table, "nWidth", in.nWidth);
  char key[40];
  for (std::size_t i = 0; i < in.colWidth.size(); ++i) {
    std::snprintf(key, sizeof key, "colWidth_%ld", long(i));
    VIDUV_SetInt(table, key, in.colWidth[i]);
  }
  VIDUV_SetInt(table, "numOfDefaultText", int(in.defaultText.size()));
  for (std::size_t i = 0; i < in.defaultText.size(); ++i) {
    std::snprintf(key, sizeof key, "defaultText_%ld", long(i));
    VIDUV_SetString(table, key, in.defaultText[i].c_str());
  }
  // The store writes beside the old file and keeps it when the write fails.
  const int saved = VIDUV_SaveDoc(doc);
  VIDUV_CloseDoc(doc);
  if (!saved) reason = "Die Tabellenvorlage '" + path + "' kann nicht geschrieben werden.";
  return saved != 0;
}

namespace table {

void DeleteColumn(std::vector<RtfTableRow>& rows, int c) {
  for (RtfTableRow& row : rows) {
    if (row.cellCount <= 1 || c < 1 || c > row.cellCount) continue;
    row.boundaries.erase(row.boundaries.begin() + (c - 1));
    if (c <= int(row.cells.size())) row.cells.erase(row.cells.begin() + (c - 1));
    --row.cellCount;
  }
}

void InsertColumnLeft(std::vector<RtfTableRow>& rows, int c) {
  for (RtfTableRow& row : rows) {
    if (c < 1 || c > row.cellCount) continue;
    const long left = c > 1 ? row.boundaries[std::size_t(c - 2)] : 0;
    const long right = row.boundaries[std::size_t(c - 1)];
    row.boundaries.insert(row.boundaries.begin() + (c - 1), left + (right - left) / 2);
    row.cells.resize(std::max(row.cells.size(), std::size_t(c - 1)), " ");
    row.cells.insert(row.cells.begin() + (c - 1), " ");
    ++row.cellCount;
  }
}

void InsertColumnRight(std::vector<RtfTableRow>& rows, int c) {
  for (RtfTableRow& row : rows) {
    if (c < 1 || c > row.cellCount) continue;
    const long left = c > 1 ? row.boundaries[std::size_t(c - 2)] : 0;
    const long right = row.boundaries[std::size_t(c - 1)];
    row.boundaries.insert(row.boundaries.begin() + (c - 1), right - (right - left) / 2);
    row.cells.resize(std::max(row.cells.size(), std::size_t(c)), " ");
    row.cells.insert(row.cells.begin() + c, "");
    ++row.cellCount;
  }
}

bool MoveBoundary(std::vector<RtfTableRow>& rows, int k, int d) {
  if (rows.empty() || k < 0 || k + 1 >= int(rows[0].boundaries.size())) return false;
  const std::vector<long>& b = rows[0].boundaries;
  const long moved = b[std::size_t(k)] + d;
  const long before = k > 0 ? b[std::size_t(k - 1)] : 0;
  if (moved < before || moved > b[std::size_t(k + 1)]) return false;
  for (RtfTableRow& row : rows) {
    // A short row's last boundary is its right edge, not a column boundary of the table.
    if (k + 1 >= int(row.boundaries.size())) continue;
    const long lo = k > 0 ? row.boundaries[std::size_t(k - 1)] : 0;
    const long hi = row.boundaries[std::size_t(k + 1)];
    row.boundaries[std::size_t(k)] = std::clamp(row.boundaries[std::size_t(k)] + d, lo, hi);
  }
  return true;
}

bool ChangeWidth(std::vector<RtfTableRow>& rows, int width, int mode) {
  if (rows.empty() || rows[0].boundaries.empty() || width <= 0) return false;
  const long current = rows[0].boundaries.back();
  const long diff = width - current;
  auto columnWidth = [](const RtfTableRow& row, std::size_t i) {
    return row.boundaries[i] - (i > 0 ? row.boundaries[i - 1] : 0);
  };
  for (const RtfTableRow& row : rows) {
    if (row.boundaries.empty()) continue;
    if (mode == 1 && columnWidth(row, 0) + diff < kMinColumn) return false;
    if (mode == 2 && columnWidth(row, row.boundaries.size() - 1) + diff < kMinColumn) return false;
  }
  for (RtfTableRow& row : rows) {
    if (row.boundaries.empty()) continue;
    if (mode == 0) {
      for (long& b : row.boundaries) b = long(double(b) * width / double(current) + 0.5);
    } else if (mode == 1) {
      for (long& b : row.boundaries) b += diff;
    } else {
      row.boundaries.back() += diff;
    }
  }
  return true;
}

void SetRowCount(std::vector<RtfTableRow>& rows, int count) {
  if (rows.empty() || count < 1) return;
  const RtfTableRow layout = rows.back();
  while (int(rows.size()) < count) {
    RtfTableRow row;
    row.cellCount = layout.cellCount;
    row.boundaries = layout.boundaries;
    row.properties = layout.properties;
    row.cells.assign(std::size_t(layout.cellCount), " ");
    rows.push_back(row);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].deleted = int(i) >= count ? 1 : 0;
}

void SetColumnCount(std::vector<RtfTableRow>& rows, int count) {
  if (rows.empty() || count < 1 || count == rows[0].cellCount) return;
  for (RtfTableRow& row : rows) ResizeRow(row, count);
}

void ApplyTemplate(std::vector<RtfTableRow>& rows, const TableTemplate& t) {
  for (RtfTableRow& row : rows) {
    const std::size_t n = t.colWidth.size();
    row.boundaries.clear();
    long sum = 0;
    for (int w : t.colWidth) row.boundaries.push_back(sum += w);
    row.cells.resize(n);
    for (std::string& cell : row.cells)
      if (cell.empty()) cell = " ";
    row.cellCount = int(n);
  }
}

}  // namespace table

// ---- The schematic ---------------------------------------------------------------------------------------------

// Draws the table in cm and turns mouse actions into the dialog's pick, drag and column-command events.
class CTableSchematic : public CWnd {
 public:
  explicit CTableSchematic(GridDlg& owner) : dlg(owner) {}

  // Where the object with this id is hit: the middle of a cell, a point on a boundary.
  CPoint PointOf(int id) const {
    const int n = dlg.CellCount();
    if (id < 1 || id >= 2 * n) return CPoint(-1, -1);
    const std::vector<long>& b = dlg.m_rows[0].boundaries;
    const int y = top + RowPixels() / 2;
    if (id > n) return CPoint(X(b[std::size_t(id - n - 1)]), y);
    return CPoint((X(id > 1 ? b[std::size_t(id - 2)] : 0) + X(b[std::size_t(id - 1)])) / 2, y);
  }
  double PixelsPerCm() const { return pxPerCm; }

  int HitTest(CPoint p) const {
    const int n = dlg.CellCount();
    if (n == 0 || p.y < top || p.y > top + VisibleRows() * RowPixels()) return 0;
    const std::vector<long>& b = dlg.m_rows[0].boundaries;
    for (int k = 0; k + 1 < n; ++k)
      if (std::abs(p.x - X(b[std::size_t(k)])) <= 3) return n + k + 1;
    for (int i = 0; i < n; ++i)
      if (p.x >= X(i > 0 ? b[std::size_t(i - 1)] : 0) && p.x < X(b[std::size_t(i)])) return i + 1;
    return 0;
  }

 protected:
  void OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, RGB(255, 255, 255));
    const int n = dlg.CellCount();
    if (n == 0) return;
    Scale(client);
    const std::vector<long>& b = dlg.m_rows[0].boundaries;
    const int rowsShown = VisibleRows();
    const int bottom = top + rowsShown * RowPixels();
    CFont font;
    font.CreatePointFont(80, "Arial");
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CPen high(PS_SOLID, 3, kHighlight);
    CPen grey(PS_SOLID, 1, kRowLine);
    CPen* oldPen = dc.SelectObject(&black);
    dc.Rectangle(X(0), top, X(b.back()) + 1, bottom + 1);
    // The selected cell under the lines and texts.
    const int sel = dlg.m_nSelected;
    if (sel >= 1 && sel <= n)
      dc.FillSolidRect(CRect(X(sel > 1 ? b[std::size_t(sel - 2)] : 0) + 1, top + 1, X(b[std::size_t(sel - 1)]), bottom),
                       RGB(0xF0, 0xD8, 0xD8));
    dc.SelectObject(&grey);
    for (int r = 1; r < rowsShown; ++r) {
      dc.MoveTo(X(0), top + r * RowPixels());
      dc.LineTo(X(b.back()), top + r * RowPixels());
    }
    for (int k = 0; k + 1 < n; ++k) {
      dc.SelectObject(sel == n + k + 1 ? &high : &black);
      dc.MoveTo(X(b[std::size_t(k)]), top);
      dc.LineTo(X(b[std::size_t(k)]), bottom);
    }
    dc.SelectObject(&black);
    // Cell texts; a row shorter than the first shows only the cells it has.
    for (int r = 0; r < rowsShown; ++r) {
      const RtfTableRow& row = dlg.m_rows[std::size_t(r)];
      const int cells = std::min({n, row.cellCount, int(row.cells.size())});
      for (int i = 0; i < cells; ++i) {
        CRect cell(X(i > 0 ? b[std::size_t(i - 1)] : 0) + 3, top + r * RowPixels(), X(b[std::size_t(i)]) - 2,
                   top + (r + 1) * RowPixels());
        const CString text = PlainCellText(row.cells[std::size_t(i)]).c_str();
        dc.DrawText(text, &cell, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
      }
    }
    // Dimension line with the column widths in cm.
    const int dim = bottom + 14;
    dc.MoveTo(X(0), dim);
    dc.LineTo(X(b.back()), dim);
    for (int k = -1; k < n; ++k) {
      const long at = k < 0 ? 0 : b[std::size_t(k)];
      dc.MoveTo(X(at), dim - 4);
      dc.LineTo(X(at), dim + 5);
      if (k < 0) continue;
      const long left = k > 0 ? b[std::size_t(k - 1)] : 0;
      char label[32];
      std::snprintf(label, sizeof label, "%.2f", CmFromTwips(int(at - left)));
      CRect r(X(left), dim - 13, X(at), dim - 1);
      dc.DrawText(label, -1, &r, DT_CENTER | DT_SINGLELINE | DT_BOTTOM);
    }
    char total[48];
    std::snprintf(total, sizeof total, "%.2f cm", CmFromTwips(int(b.back())));
    CRect r(X(0), dim + 4, X(b.back()), dim + 18);
    dc.DrawText(total, -1, &r, DT_CENTER | DT_SINGLELINE | DT_TOP);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldFont);
  }

  void OnLButtonDown(UINT, CPoint p) {
    const int id = HitTest(p);
    dragX = p.x;
    dragging = id > dlg.CellCount();
    if (dragging) SetCapture();
    dlg.OnObjectPicked(id);
  }
  void OnMouseMove(UINT flags, CPoint p) {
    if (!dragging || !(flags & MK_LBUTTON) || pxPerCm <= 0) return;
    const double dx = (p.x - dragX) / pxPerCm;
    if (std::abs(dx) < 1e-9) return;
    dragX = p.x;
    dlg.OnDragMove(dx);
  }
  void OnLButtonUp(UINT, CPoint) {
    if (dragging) ::ReleaseCapture();
    dragging = false;
  }
  void OnRButtonUp(UINT, CPoint p) {
    const int id = HitTest(p);
    if (id < 1 || id > dlg.CellCount()) return;
    dlg.OnObjectPicked(id);
    CMenu menu;
    menu.CreatePopupMenu();
    for (const auto& [command, text] : dlg.ContextCommands()) menu.AppendMenu(MF_STRING, UINT(command), text);
    ClientToScreen(&p);
    const int chosen = int(::TrackPopupMenu(menu.m_hMenu, TPM_RETURNCMD | TPM_LEFTALIGN, p.x, p.y, 0, m_hWnd, nullptr));
    if (chosen > 0) dlg.OnControlCommand(chosen);
  }
  DECLARE_MESSAGE_MAP()

 private:
  int RowPixels() const { return std::max(8, int(0.5 * pxPerCm + 0.5)); }
  int X(long twips) const { return left + int(CmFromTwips(int(twips)) * pxPerCm + 0.5); }
  int VisibleRows() const {
    int shown = 0;
    while (shown < int(dlg.m_rows.size()) && !dlg.m_rows[std::size_t(shown)].deleted) ++shown;
    return shown;
  }
  void Scale(const CRect& client) {
    const double width = CmFromTwips(int(dlg.m_rows[0].boundaries.back()));
    const int rowsShown = std::max(1, VisibleRows());
    const double byWidth = (client.Width() - 2 * left) / std::max(width, 0.1);
    const double byHeight = (client.Height() - top - 40) / (0.5 * rowsShown);
    pxPerCm = std::clamp(std::min(byWidth, byHeight), 8.0, 40.0);
  }

  GridDlg& dlg;
  const int left = 12;
  const int top = 12;
  double pxPerCm = 20.0;
  int dragX = 0;
  bool dragging = false;
};

BEGIN_MESSAGE_MAP(CTableSchematic, CWnd)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

// ---- The dialog ------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(GridDlg, CDialog)
ON_BN_CLICKED(IDC_TABLE_APPLY_WIDTH, OnChangeWidth)
ON_BN_CLICKED(IDC_TABLE_APPLY_COUNTS, OnChangeCounts)
ON_BN_CLICKED(IDC_TABLE_LOAD_TEMPLATE, OnLoadTemplate)
ON_BN_CLICKED(IDC_TABLE_SAVE_TEMPLATE, OnSaveTemplate)
ON_BN_CLICKED(IDC_TABLE_HELP, OnHelp)
END_MESSAGE_MAP()

GridDlg::GridDlg(CWnd* parent) : CDialog(IDD_SKRIB_TABLE, parent) {}

GridDlg::~GridDlg() { delete m_schematic; }

BOOL GridDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, kContext, m_hWnd);
  if (auto* mode = static_cast<CComboBox*>(GetDlgItem(IDC_TABLE_WIDTH_MODE))) {
    mode->ResetContent();
    mode->AddString(Tr("Alle gleichmäßig"));
    mode->AddString(Tr("Erste Spalte ändern"));
    mode->AddString(Tr("Letzte Spalte ändern"));
  }
  if (m_rows.empty()) {
    RtfTableRow row;
    row.cellCount = 1;
    row.boundaries = {TwipsFromCm(m_dNewWidth)};
    row.cells = {" "};
    m_rows.push_back(row);
  }
  if (m_nCols <= 0) m_nCols = CellCount();
  if (m_nRows <= 0) m_nRows = int(m_rows.size());
  CRect place(0, 0, 100, 100);
  if (CWnd* frame = GetDlgItem(IDC_TABLE_SCHEMATIC)) {
    frame->GetWindowRect(&place);
    ScreenToClient(&place);
    frame->DestroyWindow();
  }
  m_schematic = new CTableSchematic(*this);
  m_schematic->CreateEx(WS_EX_CLIENTEDGE, nullptr, "", WS_CHILD | WS_VISIBLE, place.left, place.top, place.Width(),
                        place.Height(), m_hWnd, HMENU(INT_PTR(IDC_TABLE_SCHEMATIC)));
  UpdateData(FALSE);
  m_nSelected = 0;
  Redraw();
  return TRUE;
}

void GridDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_TABLE_WIDTH_LABEL, m_sWidthLabel);
  DDX_Text(dx, IDC_TABLE_NEW_WIDTH, m_dNewWidth);
  DDV_MinMaxDouble(dx, m_dNewWidth, 0.0, 100.0);
  DDX_CBIndex(dx, IDC_TABLE_WIDTH_MODE, m_nWidthMode);
  DDX_Text(dx, IDC_TABLE_COLUMNS, m_nCols);
  DDV_MinMaxInt(dx, m_nCols, 1, kMaxColumns);
  DDX_Text(dx, IDC_TABLE_ROWS, m_nRows);
  DDV_MinMaxInt(dx, m_nRows, 1, kMaxRows);
}

void GridDlg::Redraw() {
  if (!m_hWnd) return;
  char label[80];
  std::snprintf(label, sizeof label, Tr("Aktuell: %.1lf cm ändern auf:"),
                m_rows.empty() || m_rows[0].boundaries.empty() ? 0.0 : CmFromTwips(int(m_rows[0].boundaries.back())));
  m_sWidthLabel = label;
  SetDlgItemText(IDC_TABLE_WIDTH_LABEL, m_sWidthLabel);
  if (m_schematic && m_schematic->m_hWnd) m_schematic->Invalidate();
}

CPoint GridDlg::ObjectPoint(int id) const { return m_schematic ? m_schematic->PointOf(id) : CPoint(-1, -1); }
double GridDlg::SchematicScale() const { return m_schematic ? m_schematic->PixelsPerCm() : 0.0; }
HWND GridDlg::SchematicWindow() const { return m_schematic ? m_schematic->m_hWnd : nullptr; }

void GridDlg::OnObjectPicked(int id) {
  m_nSelected = id;
  Redraw();
}

std::vector<std::pair<int, CString>> GridDlg::ContextCommands() const {
  if (m_nSelected < 1 || m_nSelected > CellCount()) return {};
  return {{1000 + m_nSelected, Tr("Spalte löschen")},
          {2000 + m_nSelected, Tr("Spalte einfügen LINKS")},
          {3000 + m_nSelected, Tr("Spalte einfügen RECHTS")}};
}

void GridDlg::OnDragMove(double x) {
  const int n = CellCount();
  if (m_nSelected <= n || m_nSelected >= 2 * n) return;
  // Whole twips of the drag; the rest would be lost to rounding in every step, so it is dropped.
  if (table::MoveBoundary(m_rows, m_nSelected - n - 1, int(std::lround(x * 566.9291338582676)))) Redraw();
}

void GridDlg::OnControlCommand(int value) {
  const int c = m_nSelected;
  if (c < 1 || c > CellCount()) return;
  if (value > 1000 && value < 2000)
    table::DeleteColumn(m_rows, c);
  else if (value > 2000 && value < 3000)
    table::InsertColumnLeft(m_rows, c);
  else if (value > 3000 && value < 4000)
    table::InsertColumnRight(m_rows, c);
  else
    return;
  m_nCols = CellCount();
  m_nSelected = 0;
  UpdateData(FALSE);
  Redraw();
}

void GridDlg::OnChangeWidth() {
  if (!UpdateData(TRUE)) return;
  const int width = TwipsFromCm(m_dNewWidth);
  if (m_dNewWidth >= 0.1 && !table::ChangeWidth(m_rows, width, m_nWidthMode)) {
    if (m_nWidthMode == 1) AfxMessageBox(Tr("Die erste Spalte ist zu schmal für die gewünschte Änderung"));
    if (m_nWidthMode == 2) AfxMessageBox(Tr("Die letzte Spalte ist zu schmal für die gewünschte Änderung"));
  }
  Redraw();
}

void GridDlg::OnChangeCounts() {
  if (!UpdateData(TRUE)) return;
  table::SetRowCount(m_rows, m_nRows);
  table::SetColumnCount(m_rows, m_nCols);
  m_nSelected = 0;
  Redraw();
}

CString GridDlg::TemplateFolder() const { return GetUserDataDir() + "\\vorlagen\\Tabellenvorlagen\\"; }

void GridDlg::OnLoadTemplate() {
  const std::filesystem::path cwd = std::filesystem::current_path();
  CFileDialog files(TRUE, "*.ttp", nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR, Tr("TQ-Skrib Tabellenvorlagen|*.ttp||"),
                    this);
  const CString folder = TemplateFolder();
  files.m_ofn.lpstrInitialDir = folder;
  const bool chosen = files.DoModal() == IDOK;
  std::error_code ignored;
  std::filesystem::current_path(cwd, ignored);
  if (!chosen) return;
  TableTemplate t;
  std::string reason;
  // A file that is not a template is passed over, as a wrong pick in the file dialog would be.
  if (!ReadTableTemplate(std::string(files.GetPathName()), t, reason)) return;
  m_nCols = t.nCol;
  m_nRows = std::clamp(t.nRow, 1, kMaxRows);
  table::ApplyTemplate(m_rows, t);
  m_nSelected = 0;
  UpdateData(FALSE);
  Redraw();
}

void GridDlg::OnSaveTemplate() {
  if (!UpdateData(TRUE) || m_rows.empty() || m_rows[0].boundaries.empty()) return;
  TableTemplate t;
  t.nCol = m_nCols;
  t.nRow = m_nRows;
  const std::vector<long>& b = m_rows[0].boundaries;
  t.nWidth = int(b.back());
  for (std::size_t i = 0; i < b.size(); ++i) t.colWidth.push_back(int(b[i] - (i > 0 ? b[i - 1] : 0)));
  // The count written is the widths there are, so that the file reads back whole.
  t.nCol = int(t.colWidth.size());
  const std::filesystem::path cwd = std::filesystem::current_path();
  CFileDialog files(FALSE, "*.ttp", nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                    Tr("TQ-Skrib Tabellenvorlagen|*.ttp||"), this);
  const CString folder = TemplateFolder();
  files.m_ofn.lpstrInitialDir = folder;
  const bool chosen = files.DoModal() == IDOK;
  std::error_code ignored;
  std::filesystem::current_path(cwd, ignored);
  if (!chosen) return;
  const std::string path = std::string(files.GetPathName());
  if (std::filesystem::exists(path) &&
      AfxMessageBox(Tr("Die angegebene Datei existiert bereits. Überschreiben?"), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  std::string reason;
  if (!WriteTableTemplate(path, t, reason)) AfxMessageBox(CString(reason.c_str()), MB_ICONEXCLAMATION);
}

void GridDlg::OnHelp() { BaseData::ShowHelpTopic("tq-skrib.chm", "/Tabellen.htm"); }
