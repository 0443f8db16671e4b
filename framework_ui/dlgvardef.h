// The first page of a position's input dialog: the preliminary text, either as
// the grid of variable definitions (variables, headings, calculations, free
// texts, pictures, sketches, taken-over values, table sums) or as the document
// editor, as the user's setting "bSkrib" chooses.
#pragma once

#include <functional>

#include "controls/MainDlgBase.h"
#include "controls/OrmiGridCtrl.h"
#include "platform/win/afx.h"

class BaseData;
class CVarDefList;
class CVarDefEntry;

enum : UINT {
  IDD_DLGVARDEF = 509,
  IDC_VARDEF_GRID = 11050,
};

// The position's variable definitions, one entry per row, and an empty last row
// that becomes an entry when a kind is chosen in it.
class VarDefGrid : public COrmiGridCtrl {
 public:
  enum Col { kTyp, kText, kVariable, kWert, kEinheit, kExport, kCols };

  void SetData(BaseData* data) { m_pData = data; }
  void Layout() override;
  // fromGrid: the rows become the list's entries; else the list fills the rows.
  void ExchangeData(BOOL fromGrid);
  void OnCellChanged(int row, int col, int type) override;
  void OnCellClick(int row, int col) override;
  void OnCellContextMenu(int row, int col, int command) override;
  void OnFocusCellChanged(int row, int col) override;
  // "Zeile 3" and, when the row defines a variable, its name ("Zeile 1 (h)"), before the column's header.
  CString CellName(int row, int col) const override;
  BOOL PasteMakesRow(int col, const CString& text) override;
  BOOL HasEntryRow() const override { return TRUE; }
  // A paste that renames variables says so first: what used the old names finds them no more.
  CString PasteConsequences(const std::vector<PastedLine>& lines, const std::vector<int>& rows) override;
  // Takes the grid into the list, shows the values the formulas have now and
  // lets the position redraw.
  void OnDataChanged();
  // The column headers of a kind.
  void SetHeaders(int kind);

  // Runs the sketch program; the page's owner may replace it (a test, another
  // platform). Returns false when the program could not be run.
  static std::function<bool()>& SketchProgram();
  // The value-import dialog on the position data: true when it ended with OK.
  // Without it the button says that no value can be taken over here.
  static std::function<bool(BaseData& data)>& ValueImport();

 private:
  CVarDefList* List() const;
  void SetRowKind(int row, int kind);
  void FillRow(int row, CVarDefEntry& entry);
  void BuildMenu();
  bool CellDiffers(int row, int col, CVarDefEntry& entry);
  void ChooseFile(int row);
  void MakeSketch(int row);
  void ImportValue(int row);
  // A button in the empty last row makes its entry first; the entry's index, -1
  // when there is none.
  int EntryForButton(int row);

  BaseData* m_pData = nullptr;
  bool m_filling = false;
};

class DlgVarDef : public CDialog {
 public:
  explicit DlgVarDef(CWnd* parent = nullptr);
  ~DlgVarDef() override;

  // Gives the page, its grid and the editor the position data; the data keeps
  // the editor.
  void SetData(BaseData* data);
  // FALSE: data to page (and the grid or the editor shown as the setting says);
  // TRUE: page to data.
  void TransferData(BOOL save);
  // The document editor's window and its data exchange, handed in by the
  // editor's layer.
  void SetEditor(CWnd* editor, std::function<void(BOOL save)> exchange);
  // The variables page among a window's descendants; nullptr when it has none.
  static DlgVarDef* FindIn(CWnd* window);
  static bool SkribSwitch();

  VarDefGrid m_grid;
  CWnd* m_pEditor = nullptr;
  BaseData* m_pData = nullptr;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnSize(UINT type, int cx, int cy);
  void OnShowWindow(BOOL show, UINT status);
  void OnDestroy();

  std::function<void(BOOL)> m_editorExchange;
  CResizeHelper m_resize;
  bool m_bResizeRegistered = false;
  DECLARE_MESSAGE_MAP()
};
