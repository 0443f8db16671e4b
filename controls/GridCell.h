// The cells of the grid control: the abstract base, the standard text cell and the default cell whose attributes
// every unset cell attribute falls back to.
#pragma once

#include <memory>

#include "platform/win/afx.h"

class CGridCtrl;

// A cell position; (-1, -1) is no cell.
struct CCellID {
  int row = -1;
  int col = -1;
  CCellID() = default;
  CCellID(int r, int c) : row(r), col(c) {}
  bool IsValid() const { return row >= 0 && col >= 0; }
  bool operator==(const CCellID& o) const { return row == o.row && col == o.col; }
  bool operator!=(const CCellID& o) const { return !(*this == o); }
};

// A block of cells by its inclusive bounds; all -1 is no block.
struct CCellBlock {
  int minRow = -1, minCol = -1, maxRow = -1, maxCol = -1;
  CCellBlock() = default;
  CCellBlock(int r0, int c0, int r1, int c1) : minRow(r0), minCol(c0), maxRow(r1), maxCol(c1) {}
  int Rows() const { return maxRow - minRow + 1; }
  int Cols() const { return maxCol - minCol + 1; }
  bool Contains(int r, int c) const { return r >= minRow && r <= maxRow && c >= minCol && c <= maxCol; }
};

// The notification record the grid sends its parent.
struct GridNotify {
  NMHDR hdr;
  int iRow;
  int iColumn;
};

// One item of a virtual-mode data request and of the end of an in-place edit.
struct GridItem {
  int row = 0;
  int col = 0;
  UINT mask = 0;
  UINT nState = 0;
  UINT nFormat = 0;
  int iImage = -1;
  COLORREF crBkClr = CLR_DEFAULT;
  COLORREF crFgClr = CLR_DEFAULT;
  LPARAM lParam = 0;
  LOGFONT lfFont{};
  UINT nMargin = 0;
  CString strText;
};
struct GridDisplayInfo {
  NMHDR hdr;
  GridItem item;
};

// Cell state bits.
enum : DWORD {
  GVIS_FOCUSED = 0x01,
  GVIS_SELECTED = 0x02,
  GVIS_DROPHILITED = 0x04,
  GVIS_READONLY = 0x08,
  GVIS_FIXED = 0x10,
  GVIS_FIXEDROW = 0x20,
  GVIS_FIXEDCOL = 0x40,
  GVIS_MODIFIED = 0x80,
};

class CGridCellBase : public CObject {
  DECLARE_DYNAMIC(CGridCellBase)
 public:
  CGridCellBase() = default;
  ~CGridCellBase() override = default;

  virtual void SetText(LPCTSTR text) = 0;
  virtual void SetImage(int image) = 0;
  virtual void SetData(LPARAM data) = 0;
  virtual void SetState(DWORD state) { m_nState = state; }
  virtual void SetFormat(DWORD format) = 0;
  virtual void SetTextClr(COLORREF c) = 0;
  virtual void SetBackClr(COLORREF c) = 0;
  virtual void SetFont(const LOGFONT* font) = 0;
  virtual void SetMargin(UINT margin) = 0;
  virtual void SetGrid(CGridCtrl* grid) = 0;
  virtual void SetCoords(int row, int col) = 0;

  virtual LPCTSTR GetText() const = 0;
  virtual LPCTSTR GetTipText() const { return GetText(); }
  virtual int GetImage() const = 0;
  virtual LPARAM GetData() const = 0;
  virtual DWORD GetState() const { return m_nState; }
  virtual DWORD GetFormat() const = 0;
  virtual COLORREF GetTextClr() const = 0;
  virtual COLORREF GetBackClr() const = 0;
  virtual const LOGFONT* GetFont() const = 0;
  virtual CFont* GetFontObject() const = 0;
  virtual CGridCtrl* GetGrid() const = 0;
  virtual CWnd* GetEditWnd() const = 0;
  virtual UINT GetMargin() const = 0;
  virtual CGridCellBase* GetDefaultCell() const;

  virtual BOOL IsDefaultFont() const = 0;
  virtual BOOL IsEditing() const = 0;
  BOOL IsFocused() const { return (GetState() & GVIS_FOCUSED) != 0; }
  BOOL IsFixed() const { return (GetState() & GVIS_FIXED) != 0; }
  BOOL IsFixedCol() const { return (GetState() & GVIS_FIXEDCOL) != 0; }
  BOOL IsFixedRow() const { return (GetState() & GVIS_FIXEDROW) != 0; }
  BOOL IsSelected() const { return (GetState() & GVIS_SELECTED) != 0; }
  BOOL IsReadOnly() const { return (GetState() & GVIS_READONLY) != 0; }
  BOOL IsModified() const { return (GetState() & GVIS_MODIFIED) != 0; }
  BOOL IsDropHighlighted() const { return (GetState() & GVIS_DROPHILITED) != 0; }
  virtual BOOL IsClickable() const { return !IsReadOnly(); }
  virtual BOOL OnSpaceKey() { return FALSE; }

  // Copies every attribute but the coordinates.
  CGridCellBase& operator=(const CGridCellBase& other);
  virtual void Reset() { m_nState = 0; }

  virtual BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE);
  virtual BOOL GetTextRect(LPRECT rect);
  virtual BOOL GetTipTextRect(LPRECT rect) { return GetTextRect(rect); }
  virtual CSize GetTextExtent(LPCTSTR text, CDC* dc = nullptr);
  virtual CSize GetCellExtent(CDC* dc);
  virtual BOOL Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT nChar) { return FALSE; }
  virtual BOOL ValidateEdit(LPCTSTR text) { return TRUE; }
  virtual void EndEdit() {}
  // Ends an open edit as Escape does: the cell keeps what it held.
  virtual void CancelEdit() {}
  virtual BOOL PrintCell(CDC* dc, int row, int col, CRect rect);
  virtual void OnEndEdit() {}
  // Hooks for derived grids and cells; empty here.
  virtual void OnHookA() {}
  virtual void OnHookB() {}
  virtual void OnHookC() {}
  // Point hooks: the point is relative to the cell's last drawn rectangle.
  virtual void OnClick(CPoint point) {}
  virtual void OnPointHookB(CPoint point) {}
  virtual void OnPointHookC(CPoint point) {}
  virtual void OnPointHookD(CPoint point) {}
  virtual BOOL OnSetCursor();

 protected:
  // The size of the cell's image when the grid has an image list and the image can be read.
  bool ImageSize(CSize& size) const;
  void DrawRaisedEdges(CDC* dc, CRect& rect);
  DWORD m_nState = 0;
};

class CGridCell : public CGridCellBase {
  DECLARE_DYNCREATE(CGridCell)
 public:
  CGridCell();
  ~CGridCell() override;
  CGridCell(const CGridCell&) = delete;
  CGridCell& operator=(const CGridCellBase& other) {
    CGridCellBase::operator=(other);
    return *this;
  }

  void SetText(LPCTSTR text) override { m_strText = text ? text : ""; }
  void SetImage(int image) override { m_nImage = image; }
  void SetData(LPARAM data) override { m_lParam = data; }
  void SetFormat(DWORD format) override { m_nFormat = format; }
  void SetTextClr(COLORREF c) override { m_crFgClr = c; }
  void SetBackClr(COLORREF c) override { m_crBkClr = c; }
  void SetFont(const LOGFONT* font) override;
  void SetMargin(UINT margin) override { m_nMargin = margin; }
  void SetGrid(CGridCtrl* grid) override { m_pGrid = grid; }
  void SetCoords(int row, int col) override {
    m_nRow = row;
    m_nCol = col;
  }

  LPCTSTR GetText() const override { return m_strText.GetString(); }
  int GetImage() const override { return m_nImage; }
  LPARAM GetData() const override { return m_lParam; }
  DWORD GetFormat() const override;
  COLORREF GetTextClr() const override { return m_crFgClr; }
  COLORREF GetBackClr() const override { return m_crBkClr; }
  const LOGFONT* GetFont() const override;
  CFont* GetFontObject() const override;
  CGridCtrl* GetGrid() const override { return m_pGrid; }
  CWnd* GetEditWnd() const override { return m_pEditWnd; }
  UINT GetMargin() const override;
  BOOL IsDefaultFont() const override { return m_plfFont == nullptr; }
  BOOL IsEditing() const override { return m_bEditing; }

  void Reset() override;
  BOOL Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT nChar) override;
  void EndEdit() override;
  void CancelEdit() override;
  void OnEndEdit() override {
    m_bEditing = FALSE;
    m_pEditWnd = nullptr;
  }

  int Row() const { return m_nRow; }
  int Col() const { return m_nCol; }

 protected:
  CString m_strText;
  LPARAM m_lParam = 0;
  int m_nImage = -1;
  DWORD m_nFormat = DWORD(-1);
  COLORREF m_crFgClr = CLR_DEFAULT;
  COLORREF m_crBkClr = CLR_DEFAULT;
  LOGFONT* m_plfFont = nullptr;
  UINT m_nMargin = UINT(-1);
  int m_nRow = -1;
  int m_nCol = -1;
  BOOL m_bEditing = FALSE;
  CGridCtrl* m_pGrid = nullptr;
  CWnd* m_pEditWnd = nullptr;
};

class CGridDefaultCell : public CGridCell {
  DECLARE_DYNCREATE(CGridDefaultCell)
 public:
  CGridDefaultCell();
  ~CGridDefaultCell() override = default;

  void SetData(LPARAM) override {}
  void SetState(DWORD) override {}
  void SetCoords(int, int) override {}
  DWORD GetState() const override { return CGridCell::GetState() | GVIS_READONLY; }
  void SetFont(const LOGFONT* font) override;
  const LOGFONT* GetFont() const override { return m_plfFont; }
  CFont* GetFontObject() const override { return const_cast<CFont*>(&m_Font); }
  DWORD GetFormat() const override { return m_nFormat; }
  UINT GetMargin() const override { return m_nMargin; }

  DWORD GetStyle() const { return m_dwStyle; }
  void SetStyle(DWORD style) { m_dwStyle = style; }
  int GetWidth() const { return m_Size.cx; }
  int GetHeight() const { return m_Size.cy; }
  void SetWidth(int w) { m_Size.cx = w; }
  void SetHeight(int h) { m_Size.cy = h; }

 protected:
  CSize m_Size{30, 10};
  CFont m_Font;
  DWORD m_dwStyle = 0;
};
