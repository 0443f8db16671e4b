#include "transfer/importdlg.h"

#include <algorithm>
#include <filesystem>

#include "controls/PopupMenuBuilder.h"
#include "formula/exportvalue.h"
#include "framework/progdb.h"
#include "framework/treepath.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/resources/resources.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_common";
constexpr COLORREF kTransparent = RGB(0, 255, 0);

CString Tr(const char* context, const char* text) { return CString(TOLK_Translate(kArea, kDictionary, context, text)); }

// --- Templates: the list of positions left, the values of the chosen one right, the taken values below ---

// The position list in report view: the program's icon and name beside each position.
constexpr DWORD kListStyle = LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;

win::DialogTemplate ImportTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 417;
  t.cy = 314;
  t.caption = "Wertübernahme";
  using I = win::DialogItem;
  t.items = {
      I{0xFFFF, "Static", "Bitte wählen Sie eine Position", SS_LEFT, 7, 7, 150, 9},
      I{IDC_IMPORT_LIST, WC_LISTVIEW, "", kListStyle, 7, 18, 150, 146},
      I{0xFFFF, "Static", "Werte durch 'Doppelklick' auswählen / entfernen", SS_LEFT, 164, 7, 246, 9},
      I{IDC_IMPORT_TREE, "SysTreeView32", "",
        TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 164, 18, 209,
        146},
      I{IDC_IMPORT_TAKE, "Button", "", BS_OWNERDRAW | WS_TABSTOP, 380, 40, 30, 25},
      I{IDC_IMPORT_RELEASE, "Button", "", BS_OWNERDRAW | WS_TABSTOP, 380, 72, 30, 25},
      I{IDC_IMPORT_RELEASE_ALL, "Button", "", BS_OWNERDRAW | WS_TABSTOP, 380, 104, 30, 25},
      I{0xFFFF, "Static", "Übernommene Werte", SS_LEFT, 7, 170, 200, 9},
      I{IDC_IMPORT_GRID, "Static", "", SS_LEFT, 7, 181, 403, 106},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 250, 293, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 305, 293, 50, 14},
      I{9, "Button", "Hilfe", BS_PUSHBUTTON | WS_TABSTOP, 360, 293, 50, 14},
  };
  return t;
}

win::DialogTemplate SimpleTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 412;
  t.cy = 214;
  t.caption = "Wertübernahme";
  using I = win::DialogItem;
  t.items = {
      I{0xFFFF, "Static", "Bitte wählen Sie eine Position", SS_LEFT, 7, 7, 150, 9},
      I{IDC_IMPORT_LIST, WC_LISTVIEW, "", kListStyle, 7, 18, 150, 168},
      I{0xFFFF, "Static", "Bitte wählen Sie den gewünschten Wert", SS_LEFT, 164, 7, 241, 9},
      I{IDC_IMPORT_TREE, "SysTreeView32", "",
        TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 164, 18, 241,
        168},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 245, 193, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 300, 193, 50, 14},
      I{9, "Button", "Hilfe", BS_PUSHBUTTON | WS_TABSTOP, 355, 193, 50, 14},
  };
  return t;
}

win::DialogTemplate LostTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 352;
  t.cy = 204;
  t.caption = "Wertübernahme";
  using I = win::DialogItem;
  t.items = {
      I{0xFFFF, "Static",
        "Die folgenden übernommenen Werte sind nicht mehr verfügbar. Durch die Auswahl von \"Alle entfernen\", bzw. "
        "\"Rechte Maustaste->Entfernen\" können Sie diese Verweise aufheben.",
        SS_LEFT, 7, 7, 338, 18},
      I{IDC_LOST_TREE, "SysTreeView32", "",
        TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 28, 338, 125},
      I{0xFFFF, "Static",
        "HINWEIS: Falls Sie diese Verweise entfernen, erhalten die Variablen den Wert 0. Andernfalls wird mit den "
        "zuletzt gültigen Werten gerechnet.",
        SS_LEFT, 7, 158, 338, 18},
      I{IDC_LOST_REMOVE_ALL, "Button", "Alle entfernen", BS_PUSHBUTTON | WS_TABSTOP, 7, 183, 85, 14},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 240, 183, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 295, 183, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kImportTemplate(IDD_IMPORTVAL, ImportTemplate());
const win::DialogTemplateRegistrar kSimpleTemplate(IDD_SIMPLEIMPORTVAL, SimpleTemplate());
const win::DialogTemplateRegistrar kLostTemplate(IDD_LOSTIMPORTVAL, LostTemplate());

// --- Pictures of the buttons and of a value leaf, unless a resource file brought its own ---

void Arrow(cairo_t* cr, double x, double y, double dir) {
  cairo_move_to(cr, x, y - 6);
  cairo_line_to(cr, x + dir * 7, y);
  cairo_line_to(cr, x, y + 6);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void RegisterPictures() {
  auto green = [](cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0, 1, 0);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.3, 0.6);
  };
  if (!win::res::HasBitmap(IDB_IMPORT_TAKE))
    win::res::RegisterBitmap(IDB_IMPORT_TAKE, 24, 20, [green](cairo_t* cr, int w, int h) {
      green(cr, w, h);
      cairo_rectangle(cr, 4, 8, 9, 4);
      cairo_fill(cr);
      Arrow(cr, 13, 10, 1);
    });
  if (!win::res::HasBitmap(IDB_IMPORT_RELEASE))
    win::res::RegisterBitmap(IDB_IMPORT_RELEASE, 24, 20, [green](cairo_t* cr, int w, int h) {
      green(cr, w, h);
      cairo_rectangle(cr, 11, 8, 9, 4);
      cairo_fill(cr);
      Arrow(cr, 11, 10, -1);
    });
  if (!win::res::HasBitmap(IDB_IMPORT_RELEASE_ALL))
    win::res::RegisterBitmap(IDB_IMPORT_RELEASE_ALL, 24, 20, [green](cairo_t* cr, int w, int h) {
      green(cr, w, h);
      Arrow(cr, 11, 10, -1);
      Arrow(cr, 18, 10, -1);
    });
  if (!win::res::HasBitmap(IDB_IMPORT_VALUE))
    win::res::RegisterBitmap(IDB_IMPORT_VALUE, 16, 16, [](cairo_t* cr, int, int) {
      cairo_set_source_rgb(cr, 0.15, 0.45, 0.2);
      cairo_arc(cr, 8, 8, 4, 0, 6.2832);
      cairo_fill(cr);
    });
  if (!win::res::HasBitmap(IDB_IMPORT_FOLDER))
    win::res::RegisterBitmap(IDB_IMPORT_FOLDER, 16, 16, [](cairo_t* cr, int, int) {
      cairo_set_source_rgb(cr, 0.85, 0.7, 0.25);
      cairo_rectangle(cr, 1, 3, 6, 3);
      cairo_rectangle(cr, 1, 5, 14, 9);
      cairo_fill(cr);
    });
}

// Collects the values below an exports folder: its values first, then the folders, each with its path.
void Collect(int element, const CString& path, CArray<ImportData>& values, CStringArray& display) {
  for (int child = VIDUV_GetFirstChild(element); child; child = VIDUV_GetNextChild(child)) {
    const CString kind = VIDUV_GetElementName(child);
    if (kind != kExportedValue && kind != kFailedExportedValue) continue;
    ImportData record;
    record.desc = VIDUV_GetString(child, "desc");
    record.varPath = path + "\\" + record.desc;
    record.varName = VIDUV_GetString(child, "varName");
    record.unit = VIDUV_GetString(child, "unit");
    record.failure = ExportedFailure(child);
    CString text;
    if (record.failure.IsEmpty()) {
      record.value = VIDUV_GetDouble(child, "val");
      text.Format("%s\\%s [%s] = %6.2lf", path.GetString(), record.desc.GetString(), record.unit.GetString(),
                  record.value);
    } else {
      // A value whose definition failed is shown with why, which the tree must not take for folders.
      CString why = record.failure;
      why.Replace('\\', '/');
      text.Format("%s\\%s [%s] = %s", path.GetString(), record.desc.GetString(), record.unit.GetString(),
                  why.GetString());
    }
    values.Add(record);
    display.Add(text);
  }
  for (int child = VIDUV_GetFirstChild(element); child; child = VIDUV_GetNextChild(child))
    if (CString(VIDUV_GetElementName(child)) == "folder")
      Collect(child, path + "\\" + VIDUV_GetString(child, "desc"), values, display);
}

void SetBold(CTreeCtrl& tree, HTREEITEM item, bool bold) { tree.SetItemState(item, bold ? TVIS_BOLD : 0, TVIS_BOLD); }
bool IsBold(CTreeCtrl& tree, HTREEITEM item) { return (tree.GetItemState(item, TVIS_BOLD) & TVIS_BOLD) != 0; }

// The name of the one selected position; empty when none or several are selected.
CString SelectedListName(CListCtrl& list, const ImportSourceView& view) {
  if (list.GetSelectedCount() != 1) return CString();
  auto position = std::size_t(list.GetNextItem(-1, LVNI_SELECTED));
  return position < view.positions.size() ? view.positions[position].name : CString();
}

// Whether a list notification is a change of an item's selection (focus moves alone are not).
bool SelectionChanged(NMHDR* header) {
  auto* change = reinterpret_cast<NMLISTVIEW*>(header);
  return change && (change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED);
}

}  // namespace

// --- ImportSourceView ---

std::vector<ImportSourceView::Position> ImportSourceView::ListPositions() {
  namespace fs = std::filesystem;
  std::vector<CString> files;
  std::error_code error;
  for (fs::directory_iterator it(fs::current_path(error), error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.size() > 4 && CString(name.substr(name.size() - 4).c_str()).CompareNoCase(".tqx") == 0 &&
        it->is_regular_file(error))
      files.push_back(CString(name.c_str()));
  }
  std::sort(files.begin(), files.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
  std::vector<Position> out;
  for (const CString& file : files) {
    ProgDBEntry* program = GetProgDB().FindProgForFile(file);
    if (!program) continue;
    Position position;
    position.name = file.Left(file.GetLength() - 4);
    // The suite's variables position goes by the suite's name.
    bool suite = program->shortProgName == ProgDB::kVariablesProgram;
    position.program = "TQ-" + (suite ? CString("VERNIK") : program->progName);
    if (!program->moduleName.IsEmpty()) position.program += "/" + program->moduleName;
    position.icon = program->icon;
    out.push_back(position);
  }
  return out;
}

CString ImportSourceView::MakeVarName(const CString& fileName, const CString& sourceVarName) {
  CString name = fileName;
  int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  if (slash >= 0) name = name.Mid(slash + 1);
  if (name.GetLength() >= 4 && name.Right(4).CompareNoCase(".tqx") == 0) name = name.Left(name.GetLength() - 4);
  if (!name.IsEmpty() && name[0] >= '0' && name[0] <= '9') name = "P_" + name;
  CString raw = name + "_" + sourceVarName;
  CString out;
  for (int i = 0; i < raw.GetLength(); ++i) {
    char c = raw[i];
    bool keep = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    // An umlaut is two bytes in memory; it becomes one "_" as one character would.
    if (!keep && (static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
    out += keep ? c : '_';
  }
  return out;
}

void ImportSourceView::FillList(CListCtrl& list, const char* context, const CString& selectedNoCase) {
  positions = ListPositions();
  ProgDB& programs = GetProgDB();
  list.SetImageList(programs.GetImageList(), LVSIL_SMALL);
  list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  while (list.DeleteColumn(0)) {}
  CRect window;
  list.GetWindowRect(&window);
  double w = window.Width() - 2 * ::GetSystemMetrics(SM_CXEDGE) - ::GetSystemMetrics(SM_CXVSCROLL);
  list.InsertColumn(0, Tr(context, "Position"), LVCFMT_LEFT, int(0.6 * w / 1.01));
  list.InsertColumn(1, Tr(context, "Programm"), LVCFMT_LEFT, int(0.4 * w / 1.01));
  list.DeleteAllItems();
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const Position& p = positions[i];
    bool selected = !selectedNoCase.IsEmpty() && p.name.CompareNoCase(selectedNoCase) == 0;
    int index = list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE, int(i), p.name,
                                selected ? LVIS_SELECTED | LVIS_FOCUSED : 0, LVIS_SELECTED | LVIS_FOCUSED,
                                programs.GetIconIndex(p.icon), LPARAM(i));
    list.SetItemText(index, 1, p.program);
  }
}

int ImportSourceView::ListIndexOf(const CString& name, BOOL noCase) const {
  for (std::size_t i = 0; i < positions.size(); ++i)
    if (noCase ? positions[i].name.CompareNoCase(name) == 0 : positions[i].name == name) return int(i);
  return -1;
}

void ImportSourceView::ShowPosition(const CString& positionName, CTreeCtrl& tree) {
  itemOfPath.clear();
  tree.DeleteAllItems();
  values.RemoveAll();
  shownFile = positionName + ".tqx";
  if (!images.GetSafeHandle()) {
    RegisterPictures();
    images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    CBitmap leaf;
    leaf.Attach(::LoadBitmap(nullptr, MAKEINTRESOURCE(IDB_IMPORT_VALUE)));
    images.Add(&leaf, RGB(255, 255, 255));
    CBitmap folder;
    folder.Attach(::LoadBitmap(nullptr, MAKEINTRESOURCE(IDB_IMPORT_FOLDER)));
    images.Add(&folder, RGB(255, 255, 255));
  }
  if (tree.GetImageList(TVSIL_NORMAL) != &images) tree.SetImageList(&images, TVSIL_NORMAL);

  viduv::ScopedDoc doc(shownFile);
  if (!doc.Get()) return;
  int root = VIDUV_GetRootElement(doc.Get());
  if (!root) return;
  int exports = VIDUV_FindFirstChild(root, "exports");
  if (!exports) {
    CString text;
    text.Format(Tr("DlgImportVal", "Die Datei '%s' exportiert keine Ergebnisse!").GetString(), shownFile.GetString());
    tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, text, -1, -1, 0, 0, 0, TVI_ROOT, TVI_LAST);
    return;
  }
  CStringArray display;
  Collect(exports, positionName, values, display);
  for (INT_PTR i = 0; i < display.GetSize(); ++i) {
    const CString& text = display[i];
    HTREEITEM leaf = nullptr;
    if (!TreeInsertPath(leaf, text.Mid(text.Find('\\') + 1), tree, TVI_LAST, TRUE)) continue;
    tree.SetItemData(leaf, DWORD_PTR(i + 1));
    tree.SetItemImage(leaf, 0, 0);
    for (HTREEITEM up = tree.GetParentItem(leaf); up; up = tree.GetParentItem(up)) tree.SetItemImage(up, 1, 1);
    itemOfPath[values[i].varPath] = leaf;
  }
}

const ImportData* ImportSourceView::RecordOf(CTreeCtrl& tree, HTREEITEM item) const {
  if (!item) return nullptr;
  auto index = INT_PTR(tree.GetItemData(item));
  return index >= 1 && index <= values.GetSize() ? &values[index - 1] : nullptr;
}

// --- ImportValGrid ---

void ImportValGrid::Layout() {
  Init(1, 3, 1, 0);
  const char* captions[] = {"Beschreibung", "Variable", "Wert/Einheit"};
  const int shares[] = {60, 20, 20};
  for (int c = 0; c < 3; ++c) {
    SetCenteredText(0, c, Tr("ImportValGrid", captions[c]));
    SetColumnWidthPercent(c, shares[c]);
  }
  LayoutColumns();
}

void ImportValGrid::InitRow(int row) {
  for (int c = 0; c < 3; ++c) SetCellType(row, c, 0);
  SetCellReadOnly(row, 0, TRUE);
  SetCellReadOnly(row, 2, TRUE);
}

void ImportValGrid::ExchangeData(BOOL toData) {
  if (toData) {
    for (INT_PTR i = 0; i < records.GetSize() && i + 1 < GetRowCount(); ++i)
      records[i].varName = GetCellText(int(i + 1), 1);
    return;
  }
  SetRowCount(int(records.GetSize()) + 1);
  for (INT_PTR i = 0; i < records.GetSize(); ++i) {
    const ImportData& record = records[i];
    int row = int(i + 1);
    SetCellText(row, 0, record.varPath);
    SetCellText(row, 1, record.varName);
    CString value;
    value.Format("%.2lf %s", record.value, record.unit.GetString());
    SetCellText(row, 2, record.failure.IsEmpty() ? value : record.failure);
  }
  ClearMenuItems();
  AddMenuItem(1, 0, 0x40000000, 3, Tr("ImportValGrid", "Wert löschen"), 1);
  InvalidateAll();
}

void ImportValGrid::OnCellContextMenu(int row, int col, int command) {
  if (command != 1 || row < 1 || row > records.GetSize()) return;
  ExchangeData(TRUE);
  records.RemoveAt(row - 1);
  ExchangeData(FALSE);
  if (dialog) {
    dialog->UpdateValues(TRUE);
    dialog->ShowSelectedPosition();
  }
}

void ImportValGrid::AddOrReplace(const ImportData& record) {
  ExchangeData(TRUE);
  for (INT_PTR i = 0; i < records.GetSize(); ++i)
    if (records[i].varPath == record.varPath) {
      records[i] = record;
      ExchangeData(FALSE);
      return;
    }
  records.Add(record);
  ExchangeData(FALSE);
}

void ImportValGrid::RemoveByPath(const ImportData& record) {
  ExchangeData(TRUE);
  for (INT_PTR i = records.GetSize() - 1; i >= 0; --i)
    if (records[i].varPath == record.varPath) records.RemoveAt(i);
  ExchangeData(FALSE);
}

void ImportValGrid::RemoveAll() {
  records.RemoveAll();
  ExchangeData(FALSE);
}

void ImportValGrid::CopyTo(CArray<ImportData>& out) {
  ExchangeData(TRUE);
  out.RemoveAll();
  for (INT_PTR i = 0; i < records.GetSize(); ++i) out.Add(records[i]);
}

// --- DlgImportVal ---

BEGIN_MESSAGE_MAP(DlgImportVal, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_IMPORT_LIST, OnListChanged)
ON_NOTIFY(NM_DBLCLK, IDC_IMPORT_TREE, OnTreeDblClk)
ON_BN_CLICKED(IDC_IMPORT_TAKE, OnTake)
ON_BN_CLICKED(IDC_IMPORT_RELEASE, OnRelease)
ON_BN_CLICKED(IDC_IMPORT_RELEASE_ALL, OnReleaseAll)
ON_BN_CLICKED(9, OnHelp)
END_MESSAGE_MAP()

DlgImportVal::DlgImportVal(CWnd* parent) : CDialog(IDD_IMPORTVAL, parent) {}

BOOL DlgImportVal::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "DlgImportVal", m_hWnd);
  m_list.SubclassDlgItem(IDC_IMPORT_LIST, this);
  m_tree.SubclassDlgItem(IDC_IMPORT_TREE, this);

  RegisterPictures();
  struct {
    CHoverButton& button;
    UINT id;
    UINT bitmap;
    const char* tip;
  } buttons[] = {{m_take, IDC_IMPORT_TAKE, IDB_IMPORT_TAKE, "Markierte Werte übernehmen"},
                 {m_release, IDC_IMPORT_RELEASE, IDB_IMPORT_RELEASE, "Markierte Werte nicht mehr übernehmen"},
                 {m_releaseAll, IDC_IMPORT_RELEASE_ALL, IDB_IMPORT_RELEASE_ALL, "Alle Werte nicht mehr übernehmen"}};
  for (auto& b : buttons) {
    b.button.SubclassDlgItem(b.id, this);
    b.button.SetHyperlinkStyle(TRUE, FALSE);
    b.button.SetBitmaps(::LoadBitmap(nullptr, MAKEINTRESOURCE(b.bitmap)), kTransparent);
    b.button.SetTooltipText(Tr("DlgImportVal", b.tip));
  }

  m_working.RemoveAll();
  if (m_data) {
    CVarDefList& defs = m_data->varDefs;
    for (int i = 0; i < defs.GetSize(); ++i)
      if (auto* entry = defs.GetAs<CVarDefWertUebernahme>(i); entry && !entry->GetImport().varPath.IsEmpty())
        m_working.Add(ImportData(entry->GetImport()));
  }

  CRect area;
  GetDlgItem(IDC_IMPORT_GRID)->GetWindowRect(&area);
  ScreenToClient(&area);
  GetDlgItem(IDC_IMPORT_GRID)->DestroyWindow();
  m_grid.dialog = this;
  m_grid.Create(area, this, IDC_IMPORT_GRID);
  m_grid.Layout();

  m_view.FillList(m_list, "DlgImportVal");
  if (!m_working.IsEmpty()) {
    CString last = m_working[m_working.GetSize() - 1].varPath;
    if (last.Find('\\') >= 0) last = last.Left(last.Find('\\'));
    int index = m_view.ListIndexOf(last, FALSE);
    if (index >= 0) {
      m_list.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      m_list.EnsureVisible(index, FALSE);
    }
    m_view.ShowPosition(last, m_tree);
  }
  UpdateValues(FALSE);
  MarkTaken();
  return TRUE;
}

void DlgImportVal::UpdateValues(BOOL save) {
  if (save) {
    m_grid.CopyTo(m_working);
    return;
  }
  for (INT_PTR i = 0; i < m_working.GetSize(); ++i) m_grid.AddOrReplace(m_working[i]);
}

void DlgImportVal::MarkTaken() {
  for (INT_PTR i = 0; i < m_working.GetSize(); ++i) {
    auto found = m_view.itemOfPath.find(m_working[i].varPath);
    if (found == m_view.itemOfPath.end()) continue;
    SetBold(m_tree, found->second, true);
    m_tree.EnsureVisible(found->second);
  }
}

void DlgImportVal::ShowSelectedPosition() {
  CString name = SelectedListName(m_list, m_view);
  if (name.IsEmpty()) {
    // Nothing selected: the shown position stays, only its marks are brought in line.
    name = m_view.shownFile.Left(m_view.shownFile.GetLength() - 4);
    if (name.IsEmpty()) return;
  }
  m_view.ShowPosition(name, m_tree);
  MarkTaken();
}

void DlgImportVal::OnListChanged(NMHDR* header, LRESULT* result) {
  if (SelectionChanged(header) && m_list.GetSelectedCount() == 1) ShowSelectedPosition();
  if (result) *result = 0;
}

void DlgImportVal::Take(HTREEITEM item) {
  if (!item) return;
  if (m_tree.ItemHasChildren(item)) {
    for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child)) Take(child);
    return;
  }
  const ImportData* source = m_view.RecordOf(m_tree, item);
  if (!source || IsBold(m_tree, item)) return;
  SetBold(m_tree, item, true);
  ImportData record(*source);
  record.varName = ImportSourceView::MakeVarName(m_view.shownFile, source->varName);
  m_grid.AddOrReplace(record);
}

void DlgImportVal::Release(HTREEITEM item) {
  if (!item) return;
  if (m_tree.ItemHasChildren(item)) {
    for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child)) Release(child);
    return;
  }
  const ImportData* source = m_view.RecordOf(m_tree, item);
  if (!source || !IsBold(m_tree, item)) return;
  SetBold(m_tree, item, false);
  m_grid.RemoveByPath(*source);
}

void DlgImportVal::OnTreeDblClk(NMHDR*, LRESULT* result) {
  HTREEITEM item = m_tree.GetSelectedItem();
  Release(item);
  Take(item);
  UpdateValues(TRUE);
  if (result) *result = 0;
}

void DlgImportVal::OnTake() {
  Take(m_tree.GetSelectedItem());
  UpdateValues(TRUE);
}

void DlgImportVal::OnRelease() {
  Release(m_tree.GetSelectedItem());
  UpdateValues(TRUE);
}

void DlgImportVal::OnReleaseAll() {
  m_grid.RemoveAll();
  UpdateValues(TRUE);
  ShowSelectedPosition();
}

void DlgImportVal::OnHelp() { BaseData::OpenProgramFile(Tr("DlgImportVal", "help\\Lastübernahme Einzelwerte.pdf")); }

void DlgImportVal::OnOK() {
  UpdateValues(TRUE);
  if (m_data) {
    CVarDefList& defs = m_data->varDefs;
    auto inWorking = [this](const CString& path) {
      for (INT_PTR k = 0; k < m_working.GetSize(); ++k)
        if (m_working[k].varPath.CompareNoCase(path) == 0) return true;
      return false;
    };
    int insertAt = -1;
    for (int i = 0; i < defs.GetSize();) {
      auto* entry = defs.GetAs<CVarDefWertUebernahme>(i);
      if (!entry) {
        ++i;
        continue;
      }
      if (inWorking(entry->GetImport().varPath)) {
        insertAt = i++;
      } else {
        defs.RemoveAt(i);
        insertAt = i - 1;
      }
    }
    int matched = 0;
    for (INT_PTR k = 0; k < m_working.GetSize(); ++k) {
      const ImportData& record = m_working[k];
      bool found = false;
      for (int i = 0; i < defs.GetSize(); ++i)
        if (auto* entry = defs.GetAs<CVarDefWertUebernahme>(i);
            entry && entry->GetImport().varPath.CompareNoCase(record.varPath) == 0) {
          entry->GetImport() = record;
          found = true;
        }
      if (found) ++matched;
    }
    for (INT_PTR k = 0; k < m_working.GetSize(); ++k) {
      const ImportData& record = m_working[k];
      bool present = false;
      for (int i = 0; i < defs.GetSize() && !present; ++i)
        if (auto* entry = defs.GetAs<CVarDefWertUebernahme>(i))
          present = entry->GetImport().varPath.CompareNoCase(record.varPath) == 0;
      if (present) continue;
      CVarDefEntry* first = defs.GetAt(0);
      if (matched == 0 && defs.GetSize() > 0 && (!first || first->type != CVarDefEntry::kUeberschrift)) {
        auto heading = std::make_unique<CVarDefUeberschrift>();
        heading->title = Tr("DlgImportVal", "Lastübernahmen");
        defs.Add(std::move(heading));
        insertAt = defs.GetSize() - 1;
      }
      auto entry = std::make_unique<CVarDefWertUebernahme>();
      entry->GetImport() = record;
      if (insertAt < 0 || insertAt >= defs.GetSize() - 1) {
        defs.Add(std::move(entry));
        insertAt = defs.GetSize() - 1;
      } else {
        defs.InsertAt(++insertAt, std::move(entry));
      }
      ++matched;
    }
    m_data->DefineVariables();
  }
  CDialog::OnOK();
}

// --- DlgSimpleImportVal ---

BEGIN_MESSAGE_MAP(DlgSimpleImportVal, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_IMPORT_LIST, OnListChanged)
ON_NOTIFY(NM_DBLCLK, IDC_IMPORT_TREE, OnTreeDblClk)
ON_BN_CLICKED(9, OnHelp)
END_MESSAGE_MAP()

DlgSimpleImportVal::DlgSimpleImportVal(CWnd* parent) : CDialog(IDD_SIMPLEIMPORTVAL, parent) {}

CString& DlgSimpleImportVal::LastPosition() {
  static CString text;
  return text;
}

CString& DlgSimpleImportVal::LastTreePath() {
  static CString text;
  return text;
}

BOOL DlgSimpleImportVal::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "DlgSimpleImportVal", m_hWnd);
  m_list.SubclassDlgItem(IDC_IMPORT_LIST, this);
  m_tree.SubclassDlgItem(IDC_IMPORT_TREE, this);
  m_view.FillList(m_list, "DlgSimpleImportVal", LastPosition());
  int index = m_view.ListIndexOf(LastPosition(), TRUE);
  if (index >= 0) m_list.EnsureVisible(index, FALSE);
  ShowSelected();
  if (!LastTreePath().IsEmpty()) {
    HTREEITEM item = nullptr;
    TreeSelectPath(item, LastTreePath(), m_tree, TRUE);
  }
  return TRUE;
}

void DlgSimpleImportVal::OnListChanged(NMHDR* header, LRESULT* result) {
  if (SelectionChanged(header)) ShowSelected();
  if (result) *result = 0;
}

void DlgSimpleImportVal::ShowSelected() {
  CString name = SelectedListName(m_list, m_view);
  if (name.IsEmpty()) return;
  LastPosition() = name;
  m_view.ShowPosition(name, m_tree);
}

void DlgSimpleImportVal::OnOK() {
  HTREEITEM item = m_tree.GetSelectedItem();
  const ImportData* source = m_view.RecordOf(m_tree, item);
  if (!source) return;
  m_chosen = *source;
  TreeGetItemPath(LastTreePath(), item, m_tree);
  m_chosen.varName = ImportSourceView::MakeVarName(m_view.shownFile, source->varName);
  CDialog::OnOK();
}

void DlgSimpleImportVal::OnTreeDblClk(NMHDR*, LRESULT* result) {
  OnOK();
  if (result) *result = 0;
}

void DlgSimpleImportVal::OnHelp() { BaseData::ShowHelpTopic("Grundlagen.chm", "Last_bernahme.htm"); }

void DlgSimpleImportVal::AddToVarDefs(BaseData& position) {
  AddImportEntry(position.varDefs, m_chosen);
  position.DefineVariables();
}

void AddImportEntry(CVarDefList& list, const ImportData& record) {
  int taken = 0;
  bool found = false;
  for (int i = 0; i < list.GetSize(); ++i) {
    auto* entry = list.GetAs<CVarDefWertUebernahme>(i);
    if (!entry) continue;
    ++taken;
    if (entry->GetImport().varPath.CompareNoCase(record.varPath) == 0) {
      entry->GetImport() = record;
      found = true;
    }
  }
  if (found) return;
  CVarDefEntry* first = list.GetAt(0);
  if (taken == 0 && list.GetSize() > 0 && (!first || first->type != CVarDefEntry::kUeberschrift)) {
    auto heading = std::make_unique<CVarDefUeberschrift>();
    heading->title = Tr("DlgSimpleImportVal", "Lastübernahmen");
    list.Add(std::move(heading));
  }
  auto entry = std::make_unique<CVarDefWertUebernahme>();
  entry->GetImport() = record;
  list.Add(std::move(entry));
}

// --- DlgLostImportVal ---

BEGIN_MESSAGE_MAP(DlgLostImportVal, CDialog)
ON_BN_CLICKED(IDC_LOST_REMOVE_ALL, OnRemoveAll)
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

DlgLostImportVal::DlgLostImportVal(CWnd* parent) : CDialog(IDD_LOSTIMPORTVAL, parent) {}

BOOL DlgLostImportVal::OnInitDialog() {
  CDialog::OnInitDialog();
  m_tree.SubclassDlgItem(IDC_LOST_TREE, this);
  FillTree();
  return TRUE;
}

void DlgLostImportVal::FillTree() {
  for (INT_PTR i = 0; i < m_texts.GetSize(); ++i) {
    if (m_texts[i].IsEmpty()) continue;
    HTREEITEM leaf = nullptr;
    if (TreeInsertPath(leaf, m_texts[i], m_tree, TVI_LAST, TRUE)) m_tree.SetItemData(leaf, DWORD_PTR(i + 1));
  }
  CArray<HTREEITEM> items;
  TreeCollectItems(TVI_ROOT, m_tree, items, TRUE);
  if (items.GetSize() > 1) {
    for (INT_PTR i = 0; i < items.GetSize(); ++i) m_tree.Expand(items[i], TVE_EXPAND);
    m_tree.SendMessage(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, LPARAM(items[1]));
  }
  TreeRedraw(m_tree);
}

void DlgLostImportVal::OnRemoveAll() {
  for (INT_PTR i = 0; i < m_texts.GetSize(); ++i) m_texts[i].Empty();
  EndDialog(IDOK);
}

void DlgLostImportVal::OnContextMenu(CWnd*, CPoint point) {
  HTREEITEM selected = m_tree.GetSelectedItem();
  if (!selected) return;
  CPopupMenuBuilder menu;
  menu.AddItem("Übernahme entfernen", 1);
  if (menu.Track(point.x, point.y, m_hWnd) != 1) return;
  CArray<HTREEITEM> items;
  TreeCollectItems(selected, m_tree, items, TRUE);
  for (INT_PTR i = 0; i < items.GetSize(); ++i) {
    auto data = INT_PTR(m_tree.GetItemData(items[i]));
    if (data > 0 && data <= m_texts.GetSize()) m_texts[data - 1].Empty();
  }
  m_tree.DeleteAllItems();
  FillTree();
}

void RegisterImportDialogs() {
  RegisterImportData();
  GetVarDefServices().showLostValues = [](CStringArray& lines) {
    DlgLostImportVal dialog;
    dialog.m_texts.Copy(lines);
    if (dialog.DoModal() != IDOK) return false;
    lines.Copy(dialog.m_texts);
    return true;
  };
}

void UnregisterImportDialogs() {
  GetVarDefServices().createImportRecord = nullptr;
  GetVarDefServices().showLostValues = nullptr;
}
