// The plausibility dialogs shown before a calculation: the first form lists texts; the second form lists typed
// messages (errors and warnings) with their counts and can jump to the input field a message concerns.
#pragma once

#include <functional>
#include <vector>

#include "controls/GradientDlg.h"
#include "platform/win/afx.h"

// One message of the second form.
struct BaseVarEntry {
  static constexpr int kError = 0x2000;
  static constexpr int kWarning = 0x3000;

  int icon = 0;  // even: the error icon, odd: the warning icon
  int kind = kError;
  CString text;   // a "\" path makes nested tree items
  int page = -1;  // target page of the input dialog, -1 none
  CWnd* grid = nullptr;
  int row = -1;
  int col = -1;
  CWnd* control = nullptr;
  BYTE notify = 0;  // the control's parent is sent a command with the control's id
};

// The message list of the second form.
class BaseVarList {
 public:
  explicit BaseVarList(CWnd* inputDialog = nullptr, int moduleWord = 0)
      : pInputDlg(inputDialog), moduleWord(moduleWord) {}

  void Add(const BaseVarEntry& entry) { entries.push_back(entry); }
  int GetCount() const { return int(entries.size()); }
  // Out of range: std::out_of_range("invalid vector<T> subscript").
  const BaseVarEntry& GetAt(int index) const;
  int CountKind(int kind) const;
  int CountErrors() const { return CountKind(BaseVarEntry::kError); }
  int CountWarnings() const { return CountKind(BaseVarEntry::kWarning); }
  static bool HasTarget(const BaseVarEntry& entry);
  // Shows the input field of the entry: its page, its grid cell or its control, then repaints the input dialog.
  void GotoTarget(const BaseVarEntry& entry) const;

  CWnd* pInputDlg;
  int moduleWord;  // the module's own word
  std::vector<BaseVarEntry> entries;
};

// Page selection of the input dialog and the focus cell of a grid, when a caller wants its own. Without them a
// jump selects the page of a main dialog base on its tab control and the cell of a typed grid.
struct PlausiJumpHandlers {
  std::function<void(CWnd* inputDialog, int page)> selectPage;
  std::function<void(CWnd* grid, int row, int col)> setFocusCell;
};
void SetPlausiJumpHandlers(PlausiJumpHandlers handlers);

// Dialog template and control ids of both forms.
enum : UINT {
  IDD_PLAUSI = 518,
  IDC_PLAUSI_TREE = 10098,
  IDC_PLAUSI_HEADING = 11137,
  IDC_PLAUSI_ERRORS = 11117,
  IDC_PLAUSI_WARNINGS = 11118,
  IDC_PLAUSI_ERRORS_LABEL = 11119,
  IDC_PLAUSI_WARNINGS_LABEL = 11120,
  IDC_PLAUSI_JUMP = 11116,
  IDC_PLAUSI_START = 3,
};

class PlauCtrlV1 : public CDialog {
 public:
  explicit PlauCtrlV1(CWnd* parent = nullptr);
  ~PlauCtrlV1() override;
  // Replaces the messages (each shown with the error icon).
  void SetMessages(const CStringArray& texts);

  CTreeCtrl m_tree;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  CStringArray m_messages;
  CImageList m_images;
  DECLARE_MESSAGE_MAP()
};

class PlauCtrlV2 : public CGradientDlg {
 public:
  explicit PlauCtrlV2(CWnd* parent = nullptr);
  ~PlauCtrlV2() override;
  // The list stays the caller's; it must outlive the dialog.
  void SetMessageList(const BaseVarList* list) { m_list = list; }
  // The entry chosen by "Zum Eingabefeld springen", "OK" or a double click; nullptr when none.
  const BaseVarEntry* GetSelectedMessage() const;

  CTreeCtrl m_tree;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  void OnCancel() override;
  void OnSelChanged(NMHDR* header, LRESULT* result);
  void OnDblClk(NMHDR* header, LRESULT* result);
  void OnJump();
  void OnStart();
  // The selected item's entry becomes the chosen one and the dialog ends with 1.
  void ChooseSelected();
  const BaseVarEntry* SelectedEntry() const;

  const BaseVarList* m_list = nullptr;
  int m_selected = -1;
  CImageList m_images;
  DECLARE_MESSAGE_MAP()
};
