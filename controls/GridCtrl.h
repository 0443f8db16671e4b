// The grid window: rows and columns of cell objects with fixed header rows and columns, scrolling, selection,
// in-place editing through the cells, clipboard, drag and drop, sorting, printing and a virtual mode in which the
// parent supplies the cell data on demand. Every input table of the module is one of these.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/GridCell.h"
#include "controls/GridTitleTip.h"
#include "platform/win/input/afxole.h"
#include "platform/win/print/print.h"
#include "platform/win/resources/afxres.h"

inline constexpr const char* GRIDCTRL_CLASSNAME = "MFCGridCtrl";
inline constexpr UINT IDC_INPLACE_CONTROL = 8;

// Notification codes to the parent.
enum : int {
  GVN_CLICK = -2,
  GVN_DBLCLK = -3,
  GVN_RCLICK = -5,
  GVN_SELCHANGING = -100,
  GVN_SELCHANGED = -101,
  GVN_BEGINLABELEDIT = -105,
  GVN_ENDLABELEDIT = -106,
  GVN_BEGINDRAG = -109,
  GVN_ODCACHEHINT = -113,
  GVN_GETDISPINFO = -150,
};

enum : int { GVL_NONE = 0, GVL_HORZ = 1, GVL_VERT = 2, GVL_BOTH = 3 };

// Fit styles: which rows a column measures.
enum : int { GVS_HEADER = 1, GVS_DATA = 2, GVS_BOTH = 3 };

class CGridRowArray : public CObArray {
  DECLARE_DYNAMIC(CGridRowArray)
};

using GRIDCALLBACK = BOOL (*)(GridDisplayInfo*, LPARAM);
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

class CGridCtrl : public CWnd {
  DECLARE_DYNCREATE(CGridCtrl)
 public:
  explicit CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0);
  ~CGridCtrl() override;

  BOOL Create(const RECT& rect, CWnd* parent, UINT id, DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_VISIBLE);

  // ---- counts and storage
  int GetRowCount() const { return m_nRowCount; }
  int GetColumnCount() const { return m_nColCount; }
  int GetFixedRowCount() const { return m_nFixedRowCount; }
  int GetFixedColumnCount() const { return m_nFixedColCount; }
  BOOL SetRowCount(int n);
  BOOL SetColumnCount(int n);
  BOOL SetFixedRowCount(int n);
  BOOL SetFixedColumnCount(int n);
  void RemoveAllCells();

  // ---- sizes
  int GetRowHeight(int row) const;
  int GetColumnWidth(int col) const;
  BOOL SetRowHeight(int row, int height);
  BOOL SetColumnWidth(int col, int width);
  int GetFixedRowHeight() const;
  int GetFixedColumnWidth() const;
  long GetVirtualWidth() const;
  long GetVirtualHeight() const;
  BOOL AutoSizeColumn(int col, UINT style = 0, BOOL resetScroll = TRUE);
  BOOL AutoSizeRow(int row, BOOL resetScroll = TRUE);
  void ExpandLastColumn();

  // ---- cells
  CGridCellBase* GetCell(int row, int col) const;
  BOOL SetCellType(int row, int col, const CRuntimeClass* cls);
  BOOL SetItemText(int row, int col, LPCTSTR text);
  CString GetItemText(int row, int col) const;
  UINT GetItemState(int row, int col) const;
  BOOL SetItemState(int row, int col, UINT state);
  BOOL SetItemBkColour(int row, int col, COLORREF c);
  BOOL SetItemFgColour(int row, int col, COLORREF c);
  BOOL SetItemFormat(int row, int col, UINT format);
  BOOL IsItemEditing(int row, int col);
  BOOL IsValid(int row, int col) const { return row >= 0 && row < m_nRowCount && col >= 0 && col < m_nColCount; }
  BOOL IsValid(const CCellID& c) const { return IsValid(c.row, c.col); }
  BOOL IsValid(const CCellBlock& b) const;
  BOOL IsCellFixed(int row, int col) const { return row < m_nFixedRowCount || col < m_nFixedColCount; }
  BOOL IsCellEditable(int row, int col) const;
  BOOL IsCellEditable(const CCellID& c) const { return IsCellEditable(c.row, c.col); }
  BOOL IsCellSelected(int row, int col) const;
  BOOL IsCellVisible(int row, int col);
  CGridDefaultCell* GetDefaultCell(BOOL fixedRow, BOOL fixedCol) const;
  void SetDefaultCellType(const CRuntimeClass* cls);

  // ---- flags
  void SetEditable(BOOL on = TRUE) { m_bEditingAllowed = on; }
  BOOL IsEditable() const { return m_bEditingAllowed; }
  void SetVirtualMode(BOOL on);
  BOOL GetVirtualMode() const { return m_bVirtual; }
  void SetCallbackFunc(GRIDCALLBACK fn, LPARAM param) {
    m_pfnDataCallback = fn;
    m_lCallbackParam = param;
  }
  void SetGridLines(int style) {
    m_nLineStyle = style;
    RedrawAll();
  }
  int GetGridLines() const { return m_nLineStyle; }
  void SetListMode(BOOL on) { m_bRowSelectMode = on; }
  void SetSingleRowSelection(BOOL on) { m_bOneRowOnly = on; }
  void SetSingleColSelection(BOOL on) { m_bOneColOnly = on; }
  void EnableSelection(BOOL on) {
    ResetSelectedRange();
    m_bSelectionOn = on;
  }
  void SetRedraw(BOOL allow, BOOL resetScroll = FALSE);
  void EnableDragAndDrop(BOOL on);
  void EnableTitleTips(BOOL on) { m_bTips = on; }
  void SetHeaderSort(BOOL on) { m_bHeaderSorts = on; }
  void SetTabHook(BOOL on) { m_bTabHook = on ? 1 : 0; }
  void SetEditOnClick(BOOL on) { m_bEditOnClick = on; }
  void SetColumnResize(BOOL on) { m_bAllowColumnResize = on; }
  void SetRowResize(BOOL on) { m_bAllowRowResize = on; }
  void SetHiddenColUnhide(BOOL on) { m_bReopenHiddenCols = on; }
  void SetColumnCollapse(BOOL on) { m_bColCollapse = on; }
  void SetWheelLines(int n) { m_nWheelLines = n; }
  BOOL GetFrameFocusCell() const { return m_bFrameFocus; }
  BOOL GetTrackFocusCell() const { return m_bTrackFocus; }
  CImageList* GetImageList() const { return m_pImageList; }
  void SetImageList(CImageList* list) { m_pImageList = list; }
  BOOL GetPrintColour() const { return m_bPrintColour; }
  void SetPrintColour(BOOL on) { m_bPrintColour = on; }
  void SetPrintAtScreenScale(BOOL on) { m_bPrintAtScreenScale = on; }
  BOOL GetModified(int row = -1, int col = -1) const;
  void SetModified(BOOL modified = TRUE, int row = -1, int col = -1);
  CGridTitleTip& TitleTip() { return m_TitleTip; }

  // ---- selection and focus
  CCellID GetFocusCell() const { return m_idCurrentCell; }
  CCellID SetFocusCell(int row, int col);
  CCellID SetFocusCell(const CCellID& c) { return SetFocusCell(c.row, c.col); }
  void SetSelectedRange(int r0, int c0, int r1, int c1, BOOL forceRepaint = FALSE, BOOL selectCells = TRUE);
  void SetSelectedRange(const CCellBlock& b, BOOL forceRepaint = FALSE, BOOL selectCells = TRUE) {
    SetSelectedRange(b.minRow, b.minCol, b.maxRow, b.maxCol, forceRepaint, selectCells);
  }
  CCellBlock GetSelectedRange() const;
  int GetSelectedCount() const { return int(m_Selection.GetCount()); }
  void SelectAllCells();
  void ResetSelectedRange();
  BOOL StepCell(const CCellID& from, int dRow, int dCol, CCellID& next, BOOL editableOnly) const;

  // ---- geometry
  CCellID GetTopleftNonFixedCell(BOOL forceRecalc = FALSE);
  CCellBlock GetVisibleNonFixedCellRange(LPRECT rect = nullptr, BOOL forceRecalc = FALSE);
  BOOL GetCellOrigin(int row, int col, LPPOINT p);
  BOOL GetCellRect(int row, int col, LPRECT rect);
  BOOL GetCellRect(const CCellID& c, LPRECT rect) { return GetCellRect(c.row, c.col, rect); }
  CCellID GetCellFromPt(CPoint point, BOOL allowFixedCellCheck = TRUE);
  void EnsureVisible(int row, int col);
  BOOL RedrawCell(int row, int col, CDC* dc = nullptr);
  BOOL InvalidateCellRect(int row, int col);
  void RedrawAll();
  int GetScrollPos32(int bar, BOOL getTrackPos = FALSE);
  BOOL SetScrollPos32(int bar, int pos, BOOL redraw = TRUE);
  int GetVertRange() const { return m_nVertRange; }
  int GetHorzRange() const { return m_nHorzRange; }
  int GetBarsShown() const { return m_nBarsShown; }
  void ResetScrollBars();

  // ---- sorting
  BOOL SortItems(int col, BOOL ascending, LPARAM data = 0);
  BOOL SortItems(PFNLVCOMPARE compare, int col, BOOL ascending, LPARAM data = 0);
  void SetCompareFunction(PFNLVCOMPARE fn) { m_pfnCompare = fn; }
  int GetSortColumn() const { return m_nSortColumn; }
  BOOL GetSortAscending() const { return m_bAscending; }
  static int CALLBACK_CompareText(LPARAM a, LPARAM b, LPARAM data);

  // ---- notifications and text changes
  LRESULT SendMessageToParent(int row, int col, int code) const;
  virtual BOOL ReplaceCellText(int row, int col, LPCTSTR text);
  BOOL LastPasteWasWhole() const { return m_bLastPasteWhole; }

  // ---- clipboard and drag and drop
  virtual void CutSelectedText();
  virtual COleDataSource* CopyTextFromGrid();
  // A cell's text as copied: what it shows, unless a derived grid shows it with more than its value.
  virtual CString ClipboardText(int row, int col) { return GetItemText(row, col); }
  virtual BOOL PasteTextToGrid(CCellID cell, COleDataObject* data, BOOL selectPastedCells = TRUE);
  // A paste into the open editor of a cell. Text for more than that cell (several lines, or fields parted by tabs)
  // is the grid's paste from the cell: the edit ends without what was typed, and when the paste is refused (its
  // question answered "Nein") the editor opens again as it was. FALSE: the text is the cell's own, for the editor.
  BOOL PasteIntoOpenCell(int row, int col);
  // A line of a paste: its fields, trimmed, each with the column it goes to.
  struct PastedField {
    int col;
    CString text;
  };
  using PastedLine = std::vector<PastedField>;
  static bool IsBlankLine(const PastedLine& line);
  // Pasted text cut into lines at line ends and into fields at tabs, the fields placed from firstCol on over the
  // columns shown (those beyond the last column dropped; `droppedText` is set when one of them held text).
  std::vector<PastedLine> PastedLines(const std::string& text, int firstCol, bool* droppedText = nullptr) const;
  // Asked once a paste or drop at cell is read and before it writes anything: FALSE leaves the grid as it was;
  // otherwise the first `taken` lines are written (all of them unless set lower) and the rest left out.
  virtual BOOL ConfirmPaste(CCellID cell, const std::vector<PastedLine>& lines, std::size_t& taken) { return TRUE; }
  virtual void OnBeginDrag();
  virtual DROPEFFECT OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point);
  virtual DROPEFFECT OnDragOver(COleDataObject* data, DWORD keyState, CPoint point);
  virtual void OnDragLeave();
  virtual BOOL OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point);
  virtual void OnEditCut();
  virtual void OnEditCopy();
  virtual void OnEditPaste();
  virtual void OnEditSelectAll();

  // ---- printing
  virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
  virtual void OnPrint(CDC* dc, CPrintInfo* info);
  virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);
  virtual void PrintFixedRowCells(int startCol, int stopCol, int& row, CRect& rect, CDC* dc, BOOL& first);
  virtual void PrintColumnHeadings(CDC* dc, CPrintInfo* info);
  virtual void PrintHeader(CDC* dc, CPrintInfo* info);
  virtual void PrintFooter(CDC* dc, CPrintInfo* info);
  virtual void PrintRowButtons(CDC* dc, CPrintInfo* info);
  // The focus cell as a one-image list (owned by the caller) and its hot spot; nullptr without a focus cell.
  virtual CImageList* CreateDragImage(CPoint* hotSpot);
  void SetPrintMarginInfo(int header, int footer, int left, int right, int top, int bottom, int gap);
  int GetPrintPageCount() const { return m_nNumPages; }
  // The footer's page text for a page of the laid-out print.
  CString PageFooterText(int page) const;
  // One line of the header or footer in the printer font, bold, each text aligned in the rect (DT_LEFT, DT_CENTER or
  // DT_RIGHT) and measured at the size it is drawn at.
  void PrintBoldLine(CDC* dc, const CRect& rect, std::initializer_list<std::pair<CString, UINT>> texts);

  // ---- hooks
  virtual void OnFixedColumnClick(CCellID& cell);
  virtual void OnFixedRowClick(CCellID& cell);
  virtual void OnCellCheck(int row, int col) {}
  virtual void OnCellComboSelect(int row, int col, int item) {}
  virtual void OnButtonClick(int row, int col) {}
  virtual void OnFocusCellChanged(int row, int col) {}
  virtual void OnKeyHandled(int row, int col, UINT key) {}
  virtual CString GetTitleTipText(int row, int col) { return CString(); }
  virtual void OnEditCell(int row, int col, CPoint point, UINT nChar);
  virtual void OnEndEditCell(int row, int col, CString text);
  // Called while an edit ends (from OnEndEditCell or a hook it calls) when the typed value is not taken: the editor
  // opens again on that cell instead of moving on, so that the next key lands where the person was typing.
  // The editor holds `typed` again, the caret at its end, for correction; Escape there gives the cell's value back.
  void RefuseEdit(const CString& typed) {
    m_bEditRefused = TRUE;
    m_strRefusedText = typed;
  }
  virtual BOOL ValidateEdit(int row, int col, LPCTSTR text);
  virtual void EndEditing();
  virtual BOOL TabToNextControl(int row, int col, BOOL shift) { return TRUE; }
  virtual void OnDraw(CDC* dc);
  virtual CGridCellBase* CreateCell(int row, int col);
  virtual void DestroyCell(int row, int col);
  void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUpHook(UINT flags, CPoint point);

  // Mouse state, for tests and derived grids.
  int GetMouseMode() const { return m_MouseMode; }

  // Mouse modes.
  enum eMouseModes {
    MOUSE_NOTHING = 0,
    MOUSE_SELECT_ALL = 1,
    MOUSE_SELECT_COL = 2,
    MOUSE_SELECT_ROW = 3,
    MOUSE_SELECT_CELLS = 4,
    MOUSE_OVER_ROW_DIVIDE = 6,
    MOUSE_SIZING_ROW = 7,
    MOUSE_OVER_COL_DIVIDE = 8,
    MOUSE_SIZING_COL = 9,
    MOUSE_PREPARE_EDIT = 10,
    MOUSE_PREPARE_DRAG = 11,
    MOUSE_DRAGGING = 12,
  };

 protected:
  static BOOL RegisterWindowClass();
  void PreSubclassWindow() override;
  void SetupDefaultCells();
  BOOL Resize(bool rows, int n);
  // The halves of a resize. The growers make everything new before a count changes and throw with the grid as it
  // was; the droppers free what lies beyond n and cannot fail.
  void GrowRows(int n);
  void GrowColumns(int n);
  void DropRows(int n);
  void DropColumns(int n);
  // Makes the rows [from, to) of the storage with a cell in each column; what it made stays on a throw, for FreeRows.
  void MakeRows(int from, int to);
  // Frees the rows [from, to) of the storage, cells and all, and cuts the storage to `from` rows.
  void FreeRows(int from, int to);
  // Frees the cells of a row from column n on and cuts the row to n cells.
  void ShortenRow(int row, int n);
  void PaintBackground(CDC* dc);
  BOOL IsOnRowDivider(CPoint p);
  BOOL IsOnColDivider(CPoint p);
  CPoint CellRelativePoint(int row, int col, CPoint p);
  void SelectColumns(CCellID cell, BOOL forceRedraw = FALSE, BOOL selectCells = TRUE);
  void SelectRows(CCellID cell, BOOL forceRedraw = FALSE, BOOL selectCells = TRUE);
  void SelectCells(CCellID cell, BOOL forceRedraw = FALSE, BOOL selectCells = TRUE);
  void OnSelecting(const CCellID& cell);
  void FillTempCell(int row, int col) const;
  void SendCacheHintToParent(const CCellBlock& range) const;
  void RedrawFixedOf(int row, int col, bool rowChanged, bool colChanged);
  void DrawDividerLine(bool vertical, int at);
  // Row in the low half, column in the high half; wide enough for grids of more than 65,535 rows.
  using SelectionKey = unsigned long long;
  static SelectionKey SelKey(int row, int col) {
    return (SelectionKey(std::uint32_t(row))) | (SelectionKey(std::uint32_t(col)) << 32);
  }
  void ShowScrollBars(int bar, BOOL show);
  void SwapRows(int a, int b);
  void QuickSort(PFNLVCOMPARE compare, int col, int lo, int hi, BOOL ascending, LPARAM data);

  // Message handlers.
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnSize(UINT type, int cx, int cy);
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  void ScrollAlong(int bar, UINT code);
  BOOL OnMouseWheel(UINT flags, short delta, CPoint p);
  void OnLButtonDown(UINT flags, CPoint p);
  void OnLButtonUp(UINT flags, CPoint p);
  void OnLButtonDblClk(UINT flags, CPoint p);
  void OnMouseMove(UINT flags, CPoint p);
  void OnRButtonUp(UINT flags, CPoint p) { OnRButtonUpHook(flags, p); }
  void OnTimer(UINT_PTR id);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnCaptureChanged(CWnd* wnd);
  void OnCancelMode();
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
  // F4 and Alt+Down on a list cell that is not open: its list opens. FALSE for any other cell.
  BOOL DropListOf(const CCellID& cell);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  LRESULT OnImeChar(WPARAM w, LPARAM l);
  UINT OnGetDlgCode();
  void OnEndInPlaceEdit(NMHDR* hdr, LRESULT* result);
  LRESULT OnSetFontMsg(WPARAM w, LPARAM l);
  LRESULT OnGetFontMsg(WPARAM w, LPARAM l);
  void OnSysColorChange();
  void OnUpdateEditCopy(CCmdUI* ui);
  void OnUpdateEditCut(CCmdUI* ui);
  void OnUpdateEditPaste(CCmdUI* ui);
  void OnUpdateEditSelectAll(CCmdUI* ui);

  COLORREF m_crWindowText = 0, m_crWindowColour = 0, m_cr3DFace = 0, m_crShadow = 0;
  COLORREF m_crGridLineColour = RGB(192, 192, 192);
  COLORREF m_crTTipBackClr = CLR_DEFAULT, m_crTTipTextClr = CLR_DEFAULT;
  BOOL m_bVirtual = FALSE;
  LPARAM m_lCallbackParam = 0;
  GRIDCALLBACK m_pfnDataCallback = nullptr;
  int m_nLineStyle = GVL_BOTH;
  BOOL m_bEditingAllowed = TRUE, m_bModified = FALSE, m_bAllowDragAndDrop = FALSE;
  BOOL m_bRowSelectMode = FALSE, m_bOneRowOnly = FALSE, m_bOneColOnly = FALSE;
  BOOL m_bAllowDraw = TRUE, m_bSelectionOn = TRUE;
  BOOL m_bFixedColumnSelection = TRUE, m_bFixedRowSelection = TRUE, m_bHeaderSorts = FALSE;
  BOOL m_bWantTab = TRUE, m_bDoubleBuffer = TRUE, m_bTips = TRUE;
  int m_nBarsShown = 0;
  BOOL m_bPrinting = FALSE;
  BOOL m_bReopenHiddenCols = TRUE, m_bReopenHiddenRows = TRUE, m_bColCollapse = TRUE, m_bRowCollapse = TRUE;
  BOOL m_bMarkFocusHeaders = TRUE;
  int m_nFitStyle = GVS_BOTH;
  BYTE m_bTabHook = 1;
  BOOL m_bFrameFocus = TRUE, m_bTrackFocus = TRUE;
  int m_nRowCount = 0, m_nFixedRowCount = 0, m_nColCount = 0, m_nFixedColCount = 0;
  CUIntArray m_arRowHeights, m_arColWidths;
  int m_nVertRange = 0, m_nHorzRange = 0;
  int m_nScrollPosV = 0, m_nScrollPosH = 0;
  UINT m_nEnterKey = VK_TAB;
  BOOL m_bEditRefused = FALSE;
  CString m_strRefusedText;
  BOOL m_bEditOnClick = FALSE;
  const CRuntimeClass* m_pRtcDefault;
  CGridDefaultCell m_cellDefault, m_cellFixedColDef, m_cellFixedRowDef, m_cellFixedRowColDef;
  CFont m_Font;
  CObArray m_RowData;
  int m_MouseMode = MOUSE_NOTHING;
  BOOL m_bLMouseButtonDown = FALSE, m_bRMouseButtonDown = FALSE;
  CPoint m_LeftClickDownPoint, m_LastMousePoint;
  CCellID m_LeftClickDownCell, m_SelectionStartCell, m_idCurrentCell, m_idTopLeftCell;
  UINT_PTR m_nTimerID = 0;
  UINT m_nTimerInterval = 25;
  int m_nResizeCaptureRange = 3;
  BOOL m_bAllowRowResize = TRUE, m_bAllowColumnResize = TRUE;
  int m_nWheelLines = 3;
  CMap<SelectionKey, SelectionKey, CCellID, CCellID&> m_Selection, m_KeptSelection;
  CGridTitleTip m_TitleTip;
  CCellID m_LastDragOverCell;
  // The block the last paste or drop wrote, and whether every line and cell of it was taken.
  CCellBlock m_LastPaste;
  BOOL m_bLastPasteWhole = TRUE;
  CGridDropTarget m_DropTarget;
  BOOL m_bAscending = TRUE;
  int m_nSortColumn = -1;
  PFNLVCOMPARE m_pfnCompare = nullptr;
  CImageList* m_pImageList = nullptr;
  // The shared cell of virtual mode, filled for each position it stands for.
  mutable CGridCell m_cellTemp;
  // Row being sized / column being sized.
  int m_nSizingIndex = -1;

  // Printing.
  CFont m_PrinterFont;
  CSize m_CharSize, m_LogicalPageSize, m_PaperSize;
  int m_nPageHeight = 0, m_nPageWidth = 0;
  int m_nCurrPrintRow = 0, m_nCurrPrintCol = 0;
  int m_nNumPages = 0, m_nPageMultiplier = 1;
  int m_nHeaderHeight = 2, m_nFooterHeight = 2, m_nLeftMargin = 4, m_nRightMargin = 4, m_nTopMargin = 1,
      m_nBottomMargin = 1, m_nGap = 1;
  BOOL m_bPrintColour = TRUE, m_bPrintAtScreenScale = FALSE;

  friend class CGridCellBase;
  DECLARE_MESSAGE_MAP()
};
