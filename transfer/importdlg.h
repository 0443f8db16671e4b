// The dialogs that take values exported by other positions of the project folder into a position's variable
// definitions, and the one that lists taken-over values whose source can no longer be read.
#pragma once

#include <map>
#include <memory>

#include "controls/HoverButton.h"
#include "controls/OrmiGridCtrl.h"
#include "framework/basedata.h"
#include "platform/win/afx.h"
#include "transfer/importdata.h"

enum : UINT {
  IDD_IMPORTVAL = 522,
  IDD_SIMPLEIMPORTVAL = 536,
  IDD_LOSTIMPORTVAL = 562,
  IDC_IMPORT_LIST = 11076,
  IDC_IMPORT_TREE = 11077,
  IDC_IMPORT_GRID = 11079,
  IDC_IMPORT_TAKE = 11080,
  IDC_IMPORT_RELEASE = 11081,
  IDC_IMPORT_RELEASE_ALL = 11082,
  IDC_LOST_TREE = 11159,
  IDC_LOST_REMOVE_ALL = 11160,
  IDB_IMPORT_TAKE = 167,
  IDB_IMPORT_RELEASE = 166,
  IDB_IMPORT_RELEASE_ALL = 146,
  IDB_IMPORT_VALUE = 173,
  IDB_IMPORT_FOLDER = 17301,  // the module's own picture of a folder of values
};

// What the value-import dialogs share: the project's positions and the exported values of one of them.
class ImportSourceView {
 public:
  struct Position {
    CString name;     // file name without ".tqx"
    CString program;  // "TQ-" + program [+ "/" + module]
    int icon = -1;    // the program's icon number in the program database
  };
  // The positions of the current folder whose program is known, sorted without regard to case.
  static std::vector<Position> ListPositions();
  // The variable name a value gets here: position name + "_" + its own name; a leading digit gets "P_"; any
  // character other than a digit, an ASCII letter or "_" becomes "_".
  static CString MakeVarName(const CString& fileName, const CString& sourceVarName);

  // Sets up the list (columns "Position" and "Programm" translated in the dialog's context, the program icons,
  // full-row selection) and fills it with the positions; item i is positions[i]. selectedNoCase: the item of that
  // name is created selected.
  void FillList(CListCtrl& list, const char* context, const CString& selectedNoCase = CString());
  // Shows the exported values of a position in the tree (leaves carry index + 1, folders 0).
  void ShowPosition(const CString& positionName, CTreeCtrl& tree);
  int ListIndexOf(const CString& name, BOOL noCase) const;
  // The record of a leaf, nullptr for a folder or a message item.
  const ImportData* RecordOf(CTreeCtrl& tree, HTREEITEM item) const;

  std::vector<Position> positions;
  CArray<ImportData> values;                // of the shown position
  std::map<CString, HTREEITEM> itemOfPath;  // varPath -> leaf
  CString shownFile;                        // "<position>.tqx"
  CImageList images;
};

class DlgImportVal;

class ImportValGrid : public COrmiGridCtrl {
 public:
  void Layout() override;
  void InitRow(int row) override;
  void OnCellContextMenu(int row, int col, int command) override;
  // TRUE: the "Variable" column into the records; FALSE: the records into the rows.
  virtual void ExchangeData(BOOL toData);
  // Same varPath (exactly): overwritten; else appended.
  void AddOrReplace(const ImportData& record);
  void RemoveByPath(const ImportData& record);
  void RemoveAll();
  void CopyTo(CArray<ImportData>& out);
  const CArray<ImportData>& Records() const { return records; }

  DlgImportVal* dialog = nullptr;

 private:
  CArray<ImportData> records;
};

class DlgImportVal : public CDialog {
 public:
  explicit DlgImportVal(CWnd* parent = nullptr);
  // The position whose variable definitions the dialog edits; set before DoModal.
  void SetPosition(BaseData* position) { m_data = position; }
  // TRUE: grid into the working list; FALSE: working list into the grid.
  virtual void UpdateValues(BOOL save);
  // Shows the position selected in the list again.
  void ShowSelectedPosition();

  CListCtrl m_list;
  CTreeCtrl m_tree;
  ImportValGrid m_grid;
  CHoverButton m_take, m_release, m_releaseAll;
  CArray<ImportData> m_working;
  ImportSourceView m_view;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnListChanged(NMHDR* header, LRESULT* result);
  void OnTreeDblClk(NMHDR* header, LRESULT* result);
  void OnTake();
  void OnRelease();
  void OnReleaseAll();
  void OnHelp();
  void Take(HTREEITEM item);
  void Release(HTREEITEM item);
  void MarkTaken();
  DECLARE_MESSAGE_MAP()

 private:
  BaseData* m_data = nullptr;
};

class DlgSimpleImportVal : public CDialog {
 public:
  explicit DlgSimpleImportVal(CWnd* parent = nullptr);
  // AddImportEntry with the chosen value, then the position defines its variables again.
  void AddToVarDefs(BaseData& position);
  // The position and tree path chosen last, kept for the next opening.
  static CString& LastPosition();
  static CString& LastTreePath();

  ImportData m_chosen;
  CListCtrl m_list;
  CTreeCtrl m_tree;
  ImportSourceView m_view;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnListChanged(NMHDR* header, LRESULT* result);
  void OnTreeDblClk(NMHDR* header, LRESULT* result);
  void OnHelp();
  // Shows the position selected in the list, when exactly one is.
  void ShowSelected();
  DECLARE_MESSAGE_MAP()
};

// Brings one value into the variable definitions: every entry with its reference (compared without case) gets
// the record; without one a new entry is appended, below a heading when the list has none to start with.
void AddImportEntry(CVarDefList& list, const ImportData& record);

class DlgLostImportVal : public CDialog {
 public:
  explicit DlgLostImportVal(CWnd* parent = nullptr);
  void FillTree();

  CStringArray m_texts;  // one per lost reference; an emptied one is to be removed
  CTreeCtrl m_tree;

 protected:
  BOOL OnInitDialog() override;
  void OnRemoveAll();
  void OnContextMenu(CWnd* window, CPoint point);
  DECLARE_MESSAGE_MAP()
};

// Makes ImportData the record of taken-over values and the lost-references dialog the one the variable
// definitions show.
void RegisterImportDialogs();
// Leaves the variable definitions with plain records and no dialog (the module is being unloaded).
void UnregisterImportDialogs();
