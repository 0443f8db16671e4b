#include "framework/plaudlg.h"

#include <stdexcept>
#include <vector>

#include "controls/FontCache.h"
#include "controls/MainDlgBase.h"
#include "controls/OrmiGridCtrl.h"
#include "framework/treepath.h"
#include "platform/tolkar/tolkar.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_common";

win::DialogTemplate PlausiTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 387;
  t.cy = 198;
  t.caption = "Plausibilitätskontrolle";
  using I = win::DialogItem;
  t.items = {
      I{IDC_PLAUSI_HEADING, "Static", "Meldung(en)", SS_LEFT, 7, 7, 373, 10},
      I{IDC_PLAUSI_TREE, "SysTreeView32", "",
        TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 20, 373, 134},
      I{IDC_PLAUSI_ERRORS, "Static", "0", SS_RIGHT, 7, 159, 20, 8, 0, true},
      I{IDC_PLAUSI_ERRORS_LABEL, "Static", "Fehler", SS_LEFT, 31, 159, 60, 8, 0, true},
      I{IDC_PLAUSI_WARNINGS, "Static", "0", SS_RIGHT, 95, 159, 20, 8, 0, true},
      I{IDC_PLAUSI_WARNINGS_LABEL, "Static", "Warnung(en)", SS_LEFT, 119, 159, 80, 8, 0, true},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 7, 177, 90, 14, 0, true},
      I{IDC_PLAUSI_START, "Button", "Berechnung starten", BS_PUSHBUTTON | WS_TABSTOP, 7, 177, 90, 14},
      I{IDC_PLAUSI_JUMP, "Button", "Zum Eingabefeld springen", BS_PUSHBUTTON | WS_TABSTOP, 200, 177, 120, 14, 0, true},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 330, 177, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_PLAUSI, PlausiTemplate());

PlausiJumpHandlers& JumpHandlers() {
  static PlausiJumpHandlers handlers;
  return handlers;
}

// The system's error and warning icons at the list's size.
void AddIcon(CImageList& list, int size, LPCSTR which) {
  HICON icon = static_cast<HICON>(LoadImage(nullptr, which, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  list.Add(icon);
  DestroyIcon(icon);
}

void MakeIcons(CImageList& list, int size) {
  list.DeleteImageList();
  list.Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0);
  AddIcon(list, size, IDI_ERROR);
  AddIcon(list, size, IDI_WARNING);
}

// The item of a "\" path: missing folders get the message's image and no message; the last part is always a
// new item, so that equal messages stay apart.
HTREEITEM InsertPath(CTreeCtrl& tree, const CString& text, int image, LPARAM data) {
  HTREEITEM parent = TVI_ROOT;
  for (int slash = text.Find('\\'); slash >= 0; slash = text.Find('\\', slash + 1)) {
    CString folder = text.Left(slash);
    if (!TreeFindPath(parent, nullptr, folder, tree, FALSE)) {
      TreeInsertPath(parent, folder, tree, TVI_LAST, FALSE);
      tree.SetItemImage(parent, image, image);
      tree.SetItemData(parent, DWORD_PTR(-1));
    }
    tree.Expand(parent, TVE_EXPAND);
  }
  return tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, text.Mid(text.ReverseFind('\\') + 1),
                         image, image, 0, 0, data, parent, TVI_LAST);
}

void Show(CWnd& dialog, int id, bool show) {
  if (CWnd* item = dialog.GetDlgItem(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

}  // namespace

// --- BaseVarList ---

const BaseVarEntry& BaseVarList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) throw std::out_of_range("invalid vector<T> subscript");
  return entries[std::size_t(index)];
}

int BaseVarList::CountKind(int kind) const {
  int count = 0;
  for (const BaseVarEntry& entry : entries)
    if (entry.kind == kind) ++count;
  return count;
}

bool BaseVarList::HasTarget(const BaseVarEntry& entry) {
  return entry.page != -1 || entry.grid != nullptr || entry.row != -1 || entry.col != -1;
}

void BaseVarList::GotoTarget(const BaseVarEntry& entry) const {
  if (!HasTarget(entry) || !pInputDlg) return;
  const PlausiJumpHandlers& handlers = JumpHandlers();
  if (entry.page >= 0) {
    if (handlers.selectPage)
      handlers.selectPage(pInputDlg, entry.page);
    else if (auto* main = dynamic_cast<CMainDlgBase*>(pInputDlg))
      main->SelectPage(entry.page);
  }
  if (entry.grid) {
    if (handlers.setFocusCell)
      handlers.setFocusCell(entry.grid, entry.row, entry.col);
    else if (auto* typed = dynamic_cast<COrmiGridCtrl*>(entry.grid))
      typed->SetFocusCell(entry.row, entry.col);
    else
      entry.grid->SetFocus();
  }
  if (entry.control) {
    entry.control->SetFocus();
    if (entry.notify) {
      if (CWnd* parent = entry.control->GetParent())
        parent->SendMessage(WM_COMMAND, WPARAM(entry.control->GetDlgCtrlID()), LPARAM(entry.control->m_hWnd));
    }
  }
  pInputDlg->Invalidate();
  pInputDlg->UpdateWindow();
}

void SetPlausiJumpHandlers(PlausiJumpHandlers handlers) { JumpHandlers() = std::move(handlers); }

// --- PlauCtrlV1 ---

BEGIN_MESSAGE_MAP(PlauCtrlV1, CDialog)
END_MESSAGE_MAP()

PlauCtrlV1::PlauCtrlV1(CWnd* parent) : CDialog(IDD_PLAUSI, parent) {}

PlauCtrlV1::~PlauCtrlV1() = default;

void PlauCtrlV1::SetMessages(const CStringArray& texts) { m_messages.Copy(texts); }

void PlauCtrlV1::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PLAUSI_TREE, m_tree);
}

BOOL PlauCtrlV1::OnInitDialog() {
  CDialog::OnInitDialog();
  m_tree.DeleteAllItems();
  MakeIcons(m_images, 16);
  m_tree.SetImageList(&m_images, TVSIL_NORMAL);
  HTREEITEM last = nullptr;
  for (INT_PTR i = 0; i < m_messages.GetSize(); ++i) last = InsertPath(m_tree, m_messages[i], 0, LPARAM(i));
  if (last) m_tree.EnsureVisible(last);
  Show(*this, IDC_PLAUSI_JUMP, false);
  // The calculation was refused: there is nothing to start from here.
  Show(*this, IDC_PLAUSI_START, false);
  return TRUE;
}

// --- PlauCtrlV2 ---

BEGIN_MESSAGE_MAP(PlauCtrlV2, CGradientDlg)
ON_NOTIFY(TVN_SELCHANGED, IDC_PLAUSI_TREE, OnSelChanged)
ON_NOTIFY(NM_DBLCLK, IDC_PLAUSI_TREE, OnDblClk)
ON_BN_CLICKED(IDC_PLAUSI_JUMP, OnJump)
ON_BN_CLICKED(IDC_PLAUSI_START, OnStart)
END_MESSAGE_MAP()

PlauCtrlV2::PlauCtrlV2(CWnd* parent) : CGradientDlg(IDD_PLAUSI, parent) {
  const COLORREF light = RGB(228, 228, 228);
  const COLORREF grey = RGB(150, 150, 150);
  m_bGradient[0] = TRUE;
  m_crGradientStart[0] = light;
  m_crGradientEnd[0] = light;
  m_bGradient[1] = TRUE;
  m_crGradientStart[1] = grey;
  m_crGradientEnd[1] = light;
  m_bGradient[2] = TRUE;
  m_crGradientStart[2] = light;
  m_crGradientEnd[2] = grey;
  m_dTopFactor = 0.1;
  m_dBottomFactor = 0.14;
}

PlauCtrlV2::~PlauCtrlV2() = default;

void PlauCtrlV2::DoDataExchange(CDataExchange* pDX) {
  CGradientDlg::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PLAUSI_TREE, m_tree);
}

BOOL PlauCtrlV2::OnInitDialog() {
  CGradientDlg::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "PlauCtrlV2", m_hWnd);
  SetWindowText(TOLK_Translate(kArea, kDictionary, "PlauCtrlV2", "Plausibilitätskontrolle v.2.0"));
  m_tree.DeleteAllItems();
  MakeIcons(m_images, 24);
  m_tree.SetImageList(&m_images, TVSIL_NORMAL);
  m_selected = -1;
  HTREEITEM first = nullptr;
  int errors = 0;
  int warnings = 0;
  if (m_list) {
    for (int i = 0; i < m_list->GetCount(); ++i) {
      const BaseVarEntry& entry = m_list->GetAt(i);
      HTREEITEM item = InsertPath(m_tree, entry.text, entry.icon % 2 == 0 ? 0 : 1, LPARAM(i));
      if (!first) first = item;
    }
    errors = m_list->CountErrors();
    warnings = m_list->CountWarnings();
  }
  if (first) {
    m_tree.SelectItem(first);
    m_tree.EnsureVisible(first);
  }
  Show(*this, IDC_PLAUSI_JUMP, true);
  if (CWnd* jump = GetDlgItem(IDC_PLAUSI_JUMP))
    jump->EnableWindow(SelectedEntry() && BaseVarList::HasTarget(*SelectedEntry()));
  Show(*this, IDOK, false);
  for (int id : {IDC_PLAUSI_ERRORS, IDC_PLAUSI_WARNINGS, IDC_PLAUSI_ERRORS_LABEL, IDC_PLAUSI_WARNINGS_LABEL})
    Show(*this, id, true);
  SetDlgItemInt(IDC_PLAUSI_ERRORS, UINT(errors), FALSE);
  SetDlgItemInt(IDC_PLAUSI_WARNINGS, UINT(warnings), FALSE);
  Show(*this, IDCANCEL, errors > 0);
  Show(*this, IDC_PLAUSI_START, errors == 0);
  g_fontCache.SetBoldFont(GetDlgItem(IDC_PLAUSI_HEADING));
  return TRUE;
}

const BaseVarEntry* PlauCtrlV2::SelectedEntry() const {
  HTREEITEM item = m_tree.GetSelectedItem();
  if (!item || !m_list) return nullptr;
  int index = int(m_tree.GetItemData(item));
  return index >= 0 && index < m_list->GetCount() ? &m_list->GetAt(index) : nullptr;
}

const BaseVarEntry* PlauCtrlV2::GetSelectedMessage() const {
  return m_list && m_selected >= 0 && m_selected < m_list->GetCount() ? &m_list->GetAt(m_selected) : nullptr;
}

void PlauCtrlV2::OnSelChanged(NMHDR*, LRESULT* result) {
  const BaseVarEntry* entry = SelectedEntry();
  if (CWnd* jump = GetDlgItem(IDC_PLAUSI_JUMP)) jump->EnableWindow(entry && BaseVarList::HasTarget(*entry));
  if (result) *result = 0;
}

void PlauCtrlV2::ChooseSelected() {
  HTREEITEM item = m_tree.GetSelectedItem();
  if (!item) return;
  int index = int(m_tree.GetItemData(item));
  // A folder item of a message path stands for no message.
  if (!m_list || index < 0 || index >= m_list->GetCount()) return;
  m_selected = index;
  EndDialog(1);
}

void PlauCtrlV2::OnDblClk(NMHDR*, LRESULT* result) {
  ChooseSelected();
  if (result) *result = 0;
}

void PlauCtrlV2::OnOK() { ChooseSelected(); }

void PlauCtrlV2::OnJump() { ChooseSelected(); }

void PlauCtrlV2::OnStart() { EndDialog(IDC_PLAUSI_START); }

void PlauCtrlV2::OnCancel() { EndDialog(IDCANCEL); }
