#include "editor/dbimportdlg.h"

#include <cstdio>

#include "framework/matehandler.h"
#include "framework/stdprofile.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_Skrib";
constexpr int kMaskRows = 32;

win::DialogTemplate ImportTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 517;
  t.cy = 220;
  t.caption = "Datenbank Import";
  using I = win::DialogItem;
  t.items = {
      I{IDC_DBIMPORT_TREE, "SysTreeView32", "",
        TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 7, 170, 206},
      I{IDC_DBIMPORT_GRID, "Static", "", SS_BLACKFRAME, 184, 7, 326, 164},
      I{-1, "Static",
        "Für den links gewählten Datenbankeintrag können auf der rechten Seite die gewünschten Werte aktiviert "
        "werden. Diese werden dann als Tabelle ins Dokument eingefügt.",
        SS_LEFT, 184, 176, 212, 36},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 404, 199, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 460, 199, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_SKRIB_DB_IMPORT, ImportTemplate());

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', start)) {
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  parts.push_back(path.substr(start));
  return parts;
}

const char* Mate(const char* text) { return TOLK_Translate(kArea, "mate", "MateEdit", text); }

class DatabaseCatalogue : public MatCatalogue {
 public:
  void Entries(std::vector<std::string>& paths) override {
    CMateHandler& mate = GetMateHandler();
    CStringArray cats, subs, codes, objects;
    mate.GetKategorien(cats);
    for (int a = 0; a < cats.GetSize(); ++a) {
      mate.GetUnterkategorien(cats[a], subs);
      for (int b = 0; b < subs.GetSize(); ++b) {
        mate.GetNormen(cats[a], subs[b], codes);
        for (int c = 0; c < codes.GetSize(); ++c) {
          mate.GetObjekte(cats[a], subs[b], codes[c], objects);
          for (int d = 0; d < objects.GetSize(); ++d)
            paths.push_back(std::string(cats[a]) + "\\" + std::string(subs[b]) + "\\" + std::string(codes[c]) + "\\" +
                            std::string(objects[d]));
        }
      }
    }
    CStdProfile& profiles = GetStdProfile();
    profiles.CheckLoaded();
    CStringArray names;
    for (int s = 0; s < profiles.GetSeriesCount(); ++s) {
      const CString series = profiles.GetSeriesName(s);
      profiles.GetProfileNames(s, names, -1);
      for (int p = 0; p < names.GetSize(); ++p)
        paths.push_back("Profile\\" + std::string(series) + "\\" + std::string(names[p]));
    }
  }

  bool Values(const std::string& path, std::vector<MatValueRow>& rows, CString& title) override {
    rows.clear();
    const std::vector<std::string> parts = Split(path);
    if (parts.size() == 3 && parts[0] == "Profile") {
      CStdProfile& profiles = GetStdProfile();
      int series = -1, profile = -1;
      profiles.FindProfile(parts[1].c_str(), parts[2].c_str(), &series, &profile);
      if (series < 0 || profile < 0) return false;
      CStringArray labels, symbols, units;
      CArray<double, double> values;
      profiles.ShowProfileValues(series, profile, labels, symbols, values, units);
      for (int i = 0; i < labels.GetSize() && i < values.GetSize(); ++i) {
        MatValueRow row;
        row.name = labels[i];
        row.variable = i < symbols.GetSize() ? symbols[i] : CString();
        row.unit = i < units.GetSize() ? units[i] : CString();
        char text[64];
        std::snprintf(text, sizeof text, "%.*lf", row.unit == "mm" ? 1 : 2, values[i]);
        row.value = text;
        rows.push_back(row);
      }
      title.Format("Querschnittswerte für %s - %s", parts[1].c_str(), parts[2].c_str());
      return true;
    }
    if (parts.size() != 4) return false;
    CMateProps props;
    GetMateHandler().GetMaterial(path.c_str(), props);
    if (!props.m_element) return false;
    for (int i = 0; i < props.m_properties.GetSize(); ++i) {
      const int element = props.m_properties[i];
      MatValueRow row;
      row.name = Mate(VIDUV_GetString(element, "Name"));
      row.variable = VIDUV_GetString(element, "Kurzname");
      row.value = VIDUV_GetString(element, "Wert01");
      row.unit = VIDUV_GetString(element, "Einheit");
      rows.push_back(row);
    }
    title.Format("%s - %s - %s", Mate(parts[1].c_str()), Mate(parts[2].c_str()), Mate(parts[3].c_str()));
    return true;
  }
};

}  // namespace

std::unique_ptr<MatCatalogue> MakeDatabaseCatalogue() { return std::make_unique<DatabaseCatalogue>(); }

int ChoiceMask(const std::vector<MatValueRow>& rows) {
  unsigned mask = 0;
  for (std::size_t i = 0; i < rows.size() && i < kMaskRows; ++i)
    if (rows[i].active) mask |= 1u << i;
  return int(mask);
}

void ApplyChoiceMask(std::vector<MatValueRow>& rows, int mask) {
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].active = i < kMaskRows && (unsigned(mask) >> i & 1u) ? 1 : 0;
}

// ---- MatGrid ---------------------------------------------------------------------------------------------------

void MatGrid::Layout() {
  Init(1, 5, 1, 0);
  const int percent[5] = {10, 50, 20, 15, 15};
  const char* headers[5] = {"Aktiv?", "Bezeichnung", "Variable", "Wert", "Einheit"};
  for (int c = 0; c < 5; ++c) {
    SetColumnWidthPercent(c, percent[c]);
    SetCenteredText(0, c, TOLK_Translate(kArea, kDictionary, "MatGrid", headers[c]));
  }
  LayoutColumns();
}

void MatGrid::InitRow(int row) {
  if (row < 1) return;
  SetCellType(row, 0, ORMI_CHECK);
  for (int c = 1; c < 5; ++c) {
    SetCellType(row, c, ORMI_TEXT);
    SetCellReadOnly(row, c, TRUE);
  }
}

void MatGrid::Exchange(std::vector<MatValueRow>& rows, BOOL save) {
  if (save) {
    for (std::size_t i = 0; i < rows.size() && int(i) + 1 < GetRowCount(); ++i)
      rows[i].active = GetCellCheck(int(i) + 1, 0);
    return;
  }
  SetRowCount(int(rows.size()) + 1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int r = int(i) + 1;
    InitRow(r);
    SetCellCheck(r, 0, rows[i].active);
    SetCellText(r, 1, rows[i].name);
    SetCellText(r, 2, rows[i].variable);
    SetCellText(r, 3, rows[i].value);
    SetCellText(r, 4, rows[i].unit);
  }
  Invalidate();
}

// ---- MatDlg ----------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(MatDlg, CDialog)
ON_NOTIFY(TVN_SELCHANGED, IDC_DBIMPORT_TREE, OnSelChanged)
END_MESSAGE_MAP()

MatDlg::MatDlg(CWnd* parent) : CDialog(IDD_SKRIB_DB_IMPORT, parent) {}
MatDlg::~MatDlg() = default;

HTREEITEM MatDlg::InsertPath(const std::string& path) {
  HTREEITEM parent = TVI_ROOT;
  const std::vector<std::string> parts = Split(path);
  for (std::size_t k = 0; k < parts.size(); ++k) {
    HTREEITEM found = nullptr;
    for (HTREEITEM item = parent == TVI_ROOT ? m_tree.GetRootItem() : m_tree.GetChildItem(parent); item;
         item = m_tree.GetNextSiblingItem(item))
      if (std::string(m_tree.GetItemText(item)) == parts[k]) {
        found = item;
        break;
      }
    if (!found) found = m_tree.InsertItem(parts[k].c_str(), parent, TVI_LAST);
    parent = found;
  }
  return parent;
}

BOOL MatDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "MatDlg", m_hWnd);
  m_tree.SubclassDlgItem(IDC_DBIMPORT_TREE, this);
  CRect place(184, 7, 500, 170);
  if (CWnd* frame = GetDlgItem(IDC_DBIMPORT_GRID)) {
    frame->GetWindowRect(&place);
    ScreenToClient(&place);
    frame->DestroyWindow();
  }
  m_grid.Create(place, this, IDC_DBIMPORT_GRID, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER);
  m_grid.Layout();
  TransferData(FALSE);
  if (!m_pCatalogue) {
    m_ownCatalogue = MakeDatabaseCatalogue();
    m_pCatalogue = m_ownCatalogue.get();
  }
  std::vector<std::string> paths;
  m_pCatalogue->Entries(paths);
  for (const std::string& path : paths) {
    const HTREEITEM leaf = InsertPath(path);
    m_paths.push_back(std::make_unique<std::string>(path));
    m_tree.SetItemData(leaf, DWORD_PTR(m_paths.back().get()));
  }
  if (m_pDocument && !m_pDocument->lastMaterialPath.IsEmpty()) {
    const std::string last =
        std::string(m_pDocument->lastMaterialPath) + "\\" + std::string(m_pDocument->lastMaterialObject);
    for (const auto& path : m_paths)
      if (*path == last) {
        const HTREEITEM item = InsertPath(last);
        m_tree.SelectItem(item);
        m_tree.EnsureVisible(item);
        ShowEntry(item);
        break;
      }
  }
  return TRUE;
}

void MatDlg::TransferData(BOOL save) {
  if (!save) {
    m_grid.Exchange(m_rows, FALSE);
    return;
  }
  m_grid.Exchange(m_rows, TRUE);
  if (m_pDocument && !m_pDocument->lastMaterialPath.IsEmpty() && !m_pDocument->lastMaterialObject.IsEmpty())
    m_pDocument->pathChecks[std::string(m_pDocument->lastMaterialPath)] = ChoiceMask(m_rows);
}

void MatDlg::ShowEntry(HTREEITEM item) {
  if (m_selected == item) return;
  if (m_selected) TransferData(TRUE);
  m_selected = item;
  m_rows.clear();
  m_sTitle.Empty();
  const auto* path = item ? reinterpret_cast<const std::string*>(m_tree.GetItemData(item)) : nullptr;
  if (!path) {
    if (m_pDocument) {
      m_pDocument->lastMaterialPath.Empty();
      m_pDocument->lastMaterialObject.Empty();
    }
    TransferData(FALSE);
    return;
  }
  const std::size_t slash = path->rfind('\\');
  if (m_pDocument) {
    m_pDocument->lastMaterialPath = path->substr(0, slash).c_str();
    m_pDocument->lastMaterialObject = path->substr(slash + 1).c_str();
  }
  if (!m_pCatalogue->Values(*path, m_rows, m_sTitle)) m_rows.clear();
  int mask = 0;
  if (m_pDocument) {
    const auto found = m_pDocument->pathChecks.find(path->substr(0, slash));
    if (found != m_pDocument->pathChecks.end()) mask = found->second;
  }
  ApplyChoiceMask(m_rows, mask);
  TransferData(FALSE);
}

void MatDlg::OnSelChanged(NMHDR* header, LRESULT* result) {
  ShowEntry(reinterpret_cast<NMTREEVIEW*>(header)->itemNew.hItem);
  *result = 0;
}

void MatDlg::OnOK() {
  TransferData(TRUE);
  CDialog::OnOK();
}
