// The typed input table every input grid of the module derives from: cells with a type (integer, double, check,
// combo, button, formula, radio, rich text) read and written through typed operations only, numbers shown and
// read with the decimal comma, columns laid out by percentages under an optional caption header, a marked row,
// Tab leaving the table at its first or last editable cell, and context menus registered per cell range (with
// the variables offered in formula cells).
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "controls/GridCtrl.h"
#include "formula/formulanumber.h"

// Type codes of SetCellType.
enum : int {
  ORMI_TEXT = 0,
  ORMI_INT = 1,
  ORMI_DOUBLE = 2,
  ORMI_CHECK = 3,
  ORMI_COMBO = 4,
  ORMI_COMBO_INDEX = 5,
  ORMI_BUTTON = 6,
  ORMI_FORMULA = 7,
  ORMI_NONE = 8,
  ORMI_RADIO = 9,
  ORMI_RICH = 10,
};

// Colours of editable, read-only and marked cells.
inline constexpr COLORREF kOrmiWhite = 0xFFFFFF;
inline constexpr COLORREF kOrmiGrey = 0xE0E0E0;
inline constexpr COLORREF kOrmiGreyText = 0x808080;
inline constexpr COLORREF kOrmiMarked = 0xFFC080;
inline constexpr COLORREF kOrmiMarkedReadOnly = 0xC8A078;

struct COrmiCellInfo {
  int row = -1;
  int col = -1;
  int type = ORMI_DOUBLE;
  CString scanFormat;                     // reads the cell's text
  CString displayFormat;                  // writes it
  double factor = 1.0;                    // shown value = stored value x factor
  std::unique_ptr<CFormulaNumber> value;  // formula cells only
};

struct COrmiGridMenuItem {
  int firstRow = 0, firstCol = 0, lastRow = 0x40000000, lastCol = 0x40000000;
  CString text;
  int command = -1;  // -1: separator
  UINT flags = 0;    // non-zero: checked
};

class COrmiGridCtrl : public CGridCtrl {
  DECLARE_DYNAMIC(COrmiGridCtrl)
 public:
  COrmiGridCtrl();
  ~COrmiGridCtrl() override;

  using CGridCtrl::GetFocusCell;
  using CGridCtrl::IsCellEditable;
  using CGridCtrl::SetCellType;
  using CGridCtrl::SetRowCount;

  // ---- construction and layout
  void Init(int rows, int cols, int fixedRows, int fixedCols);
  void SetColumnWidthPercent(int col, int percent);
  void SetColumnCaption(int col, LPCTSTR text);
  void SetColumnVisible(int col, BOOL visible, BOOL relayout = TRUE);
  BOOL IsColumnVisible(int col) const;
  void LayoutColumns();
  void ShowRow(int row, BOOL show);
  BOOL IsRowVisible(int row) const { return GetRowHeight(row) != 0; }
  void SetRowCount(int n);
  void AddRow() { SetRowCount(m_nRows + 1); }
  void RemoveLastRow() {
    if (m_nRows > m_nFixedRows) SetRowCount(m_nRows - 1);
  }
  void InvalidateAll(BOOL erase = TRUE);
  CGridCtrl* GetHeaderGrid() const { return m_pHeader.get(); }
  void EnableHeader(BOOL on) { m_bHeaderEnabled = on; }
  void EnableRowMarking(BOOL on) { m_bRowMarking = on; }
  void EnableTabNavigation(BOOL on) { m_bTabNavigation = on; }
  std::vector<COrmiGridCtrl*>& LinkedGrids() { return m_linked; }
  // The names the grid's formula cells read, typed ones included: those of the position the grid edits, in every
  // row (a row made after the names were defined too). nullptr: a cell reads against the store its value brings,
  // the module's global store for a new cell.
  void SetVariableStore(CVariableStore* store) { m_pVariableStore = store; }

  // ---- cell types and formats
  int SetCellType(int row, int col, int type);
  int GetCellType(int row, int col) const;
  void SetNumberFormat(int row, int col, LPCTSTR scanFormat, LPCTSTR displayFormat, double factor);
  const COrmiCellInfo* GetCellInfo(int row, int col) const;
  void SetCellAlignment(int row, int col, int align);
  void SetCenteredText(int row, int col, LPCTSTR text);
  void SetCellFont(int row, int col, LPCTSTR face, BOOL italic, BOOL underline, int height, int weight);

  // ---- typed values; a cell of another type is left alone and gives the neutral result
  CString SetCellText(int row, int col, LPCTSTR text);
  CString GetCellText(int row, int col);
  int SetCellInt(int row, int col, int value);
  int GetCellInt(int row, int col);
  double SetCellDouble(int row, int col, double value);
  double GetCellDouble(int row, int col);
  CFormulaNumber SetCellFormula(int row, int col, const CFormulaNumber& value);
  CFormulaNumber GetCellFormula(int row, int col);
  int SetCellCheck(int row, int col, int state);
  int GetCellCheck(int row, int col);
  void SetComboOptions(int row, int col, const CStringArray& options);
  void GetComboOptions(int row, int col, CStringArray& options);
  int SetComboIndex(int row, int col, int index);
  int GetComboIndex(int row, int col);
  CString SetComboText(int row, int col, LPCTSTR text);
  CString GetComboText(int row, int col);
  CString SetButtonText(int row, int col, LPCTSTR text);
  BOOL IsCellEditable(int row, int col) const;
  void SetIntValue(int row, int col, const int* value, BOOL editableOnly);
  int GetIntValue(int row, int col, int* value, BOOL editableOnly);
  int GetCheckValue(int row, int col, int* value, BOOL editableOnly);

  // ---- enabling and marking
  void SetCellReadOnly(int row, int col, BOOL readOnly);
  void EnableCell(int row, int col, BOOL enable);
  void RefreshRowCells(int row, BOOL enable);
  void MarkRow(int row);
  int GetMarkedRow() const { return m_nMarkedRow; }

  // ---- focus
  // Gives the table the keyboard focus and makes (row, col) its focus cell, scrolled into view.
  void SetFocusCell(int row, int col);
  BOOL GetFocusCell(int* row, int* col) const;
  BOOL FirstEditableCell(CCellID& cell, BOOL editableOnly = TRUE);
  BOOL LastEditableCell(CCellID& cell, BOOL editableOnly = TRUE);
  BOOL IsActive() const { return m_bActive; }

  // ---- context menu
  void AddMenuItem(int firstRow, int firstCol, int lastRow, int lastCol, LPCTSTR text, int command, UINT flags = 0);
  void AddMenuItem(LPCTSTR text, int command, UINT flags = 0) {
    AddMenuItem(0, 0, 0x40000000, 0x40000000, text, command, flags);
  }
  void ClearMenuItems() { m_menu.clear(); }

  // ---- hooks of derived grids
  virtual void Layout() {}
  virtual void OnCellChanged(int row, int col, int type) {}
  virtual void OnStartEditCell(int row, int col, int type);
  virtual void OnCellClick(int row, int col) {}
  virtual void InitRow(int row) {}
  virtual void OnCellContextMenu(int row, int col, int command) {}
  // A value typed or pasted into a formula cell that the grid's owner refuses: the reason, shown in a box, after
  // which the cell keeps its value and an editor returns to it; empty to take the value. Not asked about the value
  // the cell holds already, so that leaving a cell unchanged (Escape included) always ends its edit.
  virtual CString RefusedFormula(int row, int col, const CFormulaNumber& typed) { return CString(); }
  // A number cell emptied by its editor or by a paste, where the 0 it would hold removes or unassigns something:
  // the reason, which names the cell, after which the cell keeps its value; empty to take the 0. Formula cells
  // are asked through RefusedFormula instead.
  virtual CString RefusedEmptied(int row, int col) { return CString(); }
  // What a message about the cell calls it: the caption of its row and the title of its column ("Feld 2, Länge",
  // "Breite bx"); empty when the grid shows neither.
  virtual CString CellName(int row, int col) const;
  // A grid whose empty last row takes new rows: whether text pasted into column col of that row makes one (a value
  // that counts, as one typed there does). A paste that makes rows asks first. The default grid has no such row.
  virtual BOOL PasteMakesRow(int col, const CString& text) { return FALSE; }
  // Whether the grid's last row is such an empty entry row.
  virtual BOOL HasEntryRow() const { return FALSE; }
  // How many of the wanted new rows the grid takes (its owner holds no more), with the owner's reason when fewer: the
  // question counts only those and says why the rest are left out.
  virtual int RoomForRows(int wanted, CString& why) { return wanted; }
  // What a paste changes beyond the cells' texts that the engineer is to know first (a renamed variable): a sentence
  // for the question, empty for nothing. rows[k] is the row that line k of the paste is written into.
  virtual CString PasteConsequences(const std::vector<PastedLine>& lines, const std::vector<int>& rows) {
    return CString();
  }
  // The rows a paste adds, by their count, as the question before it names them ("3 neue Lasten").
  virtual CString NewRowsName(int count) const;
  // A count in words: the format for one ("%d neue Last") or for more, filled with the count.
  static CString CountedName(int count, const CString& one, const CString& many);
  // After a paste or drop has written its cells: an owner that put off its work for a cell (PutOffWhilePasting)
  // does it once here, so that a paste costs the time of its lines.
  virtual void OnPasted() {}
  BOOL IsPasting() const { return m_bPasting; }
  // TRUE while a paste runs, and OnPasted is called once after it; FALSE when the work is to be done now.
  BOOL PutOffWhilePasting() {
    if (m_bPasting) m_bPutOff = TRUE;
    return m_bPasting;
  }
  // An emptied number cell of a stored row shows the 0 it holds (a plain empty text would hide a value that
  // counts).
  void ShowHeldZero(int row, int col);

  // ---- overrides of the grid
  void OnFocusCellChanged(int row, int col) override;
  void OnEditCell(int row, int col, CPoint point, UINT nChar) override;
  void OnEndEditCell(int row, int col, CString text) override;
  BOOL TabToNextControl(int row, int col, BOOL backwards) override;
  void OnRButtonUpHook(UINT flags, CPoint point) override;
  // Paste, drop and cut write through the typed path: a text a typed cell cannot take is refused.
  BOOL ReplaceCellText(int row, int col, LPCTSTR text) override;
  BOOL PasteTextToGrid(CCellID cell, COleDataObject* data, BOOL selectPastedCells = TRUE) override;
  // A paste that adds rows, leaves out lines or has consequences asks once, saying which, before it writes.
  BOOL ConfirmPaste(CCellID cell, const std::vector<PastedLine>& lines, std::size_t& taken) override;
  // Where the lines of a paste at cell go: the row of each line written, the rows it adds and the lines it leaves
  // out, and why.
  struct PastePlan {
    std::vector<int> rows;  // of the lines written, in order
    int added = 0;          // new rows, made by the lines from firstAdded on (counted from 1)
    int firstAdded = 0;
    enum class Left { kNone, kNoRows, kNoRoom, kMakesNoRow } why = Left::kNone;
    CString noRoom;          // kNoRoom: the owner's reason
    bool stopEmpty = false;  // kMakesNoRow: the line that makes no row is empty
  };
  PastePlan PlanPaste(CCellID cell, const std::vector<PastedLine>& lines);
  // The question a plan asks; empty when it asks nothing.
  CString PasteQuestion(const PastePlan& plan, std::size_t lineCount, const CString& consequences) const;
  void CutSelectedText() override;
  void OnEditCut() override;
  // Number cells copy their number without the unit they show.
  CString ClipboardText(int row, int col) override;

 protected:
  COrmiCellInfo* Info(int row, int col) const;
  COrmiCellInfo* EnsureInfo(int row, int col);
  void RemoveInfo(int row, int col);
  // Forgets the cell records and row heights of rows [from, to).
  void DropRowRecords(int from, int to);
  // Shows a formula's value in the cell and underlines the font exactly when it is an expression. An expression that
  // reads a name without a value shows that ("'qk' nicht definiert"): the value it had before counts for nothing.
  void ShowFormula(int row, int col, COrmiCellInfo& info);
  // The text a typed cell shows for a typed-in or pasted text (formula cells: the new value too); FALSE with the
  // reason, which names the cell (CellName), when the cell cannot take it.
  BOOL TypedText(int row, int col, const CString& in, CString& shown, CFormulaNumber& formula, CString& reason);
  BOOL ReadTypedText(int row, int col, const CString& in, CString& shown, CFormulaNumber& formula, CString& reason);
  // TRUE while a value the engineer typed in a cell's editor is checked and taken (not one pasted, dropped or cut,
  // nor an emptied cell, which counts as an empty paste): an owner may give a typed value a meaning beyond the
  // cell's (a 0 that removes the last row).
  BOOL IsTyped() const { return m_bTyped; }
  // Whether text pasted into the cell gives it a value that counts: a number other than 0, an expression, a text, an
  // entry of its list.
  BOOL PastedValueCounts(int row, int col, const CString& text);
  // RefusedFormula's answer for a formula cell whose value the typed one changes, RefusedEmptied's for another
  // number cell emptied by `in`; empty otherwise.
  CString OwnerRefuses(int row, int col, const CString& in, const CFormulaNumber& typed);
  void StretchLast(CGridCtrl& grid);
  // A refused paste, drop or cut: the reason goes into a box now, into the paste's list (one box after it), or
  // nowhere while a cut runs.
  void Refuse(const CString& reason);
  // What a paste's field is refused with before anything is written (empty: taken, or left without a word, as a
  // check box is). Line `line` (counted from 1) goes into `row`; a row the paste adds is read as the entry row.
  CString PasteRefusal(int row, int col, const CString& text, int line);
  std::vector<CString>* m_pRefusals = nullptr;
  // The cells whose refusal the paste's question said already: their refusal is not said again.
  std::vector<CCellID> m_saidRefusals;
  BOOL m_bQuietRefusals = FALSE;
  BOOL m_bTyped = FALSE;
  BOOL m_bPasting = FALSE;
  BOOL m_bPutOff = FALSE;
  BOOL m_bCutting = FALSE;
  // The cell whose edit began last and the text it showed then (the editor shows numbers in full).
  CCellID m_editCell;
  CString m_editShown;
  void ClearFocus();
  CString FormatValue(const COrmiCellInfo& info, double shown) const;
  BOOL WalkEditable(CCellID& cell, BOOL editableOnly, bool forwards);

  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);
  void OnSize(UINT type, int cx, int cy);
  void OnMove(int x, int y);
  // Puts the header grid over the table where the table stands now; its row height, -1 without a header.
  int PlaceHeader();
  void LayOut();  // LayoutColumns' work
  BOOL m_bLayingOut = FALSE;
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnShowWindow(BOOL show, UINT status);

  std::map<int, std::unique_ptr<COrmiCellInfo>> m_cells;  // key (row << 16) + col
  std::vector<COrmiGridMenuItem> m_menu;
  int m_nRows = -1, m_nCols = -1, m_nFixedRows = -1, m_nFixedCols = -1, m_nMarkedRow = -1;
  std::vector<int> m_percent;
  std::vector<int> m_visible;
  std::vector<int> m_rowHeights;
  std::unique_ptr<CGridCtrl> m_pHeader;
  std::vector<CString> m_captions;
  CRect m_headerRect;
  BOOL m_bInitialised = FALSE, m_bHeaderEnabled = FALSE, m_bRowMarking = FALSE, m_bInEndEdit = FALSE;
  BOOL m_bTabNavigation = TRUE;
  CVariableStore* m_pVariableStore = nullptr;  // not owned
  std::vector<COrmiGridCtrl*> m_linked;
  BYTE m_bActive = 0, m_bEnteredBackwards = 0, m_bMouseAction = 0;

  friend class COrmiGridTestAccess;
  DECLARE_MESSAGE_MAP()
};
