// Two companions of the grid: the title tip, a borderless popup that shows the whole text of a cell whose text is
// cut off, and the drop target that forwards drag events over a grid to that grid.
#pragma once

#include "platform/win/afx.h"

class CGridCtrl;

class CGridTitleTip : public CWnd {
  DECLARE_DYNAMIC(CGridTitleTip)
 public:
  CGridTitleTip();
  ~CGridTitleTip() override;
  BOOL Create(CWnd* parent);
  BOOL DestroyWindow() override;
  // Rectangles in the parent's client coordinates; a null hover rectangle is the title rectangle, a null font the
  // parent's; CLR_DEFAULT colours keep the window's.
  void Show(CRect rectTitle, LPCTSTR text, int xOffset = 0, LPRECT hover = nullptr, const LOGFONT* font = nullptr,
            COLORREF textClr = CLR_DEFAULT, COLORREF backClr = CLR_DEFAULT);
  void Hide();
  BOOL PreTranslateMessage(MSG* msg) override;
  const CString& ShownText() const { return m_strShown; }

 protected:
  void OnMouseMove(UINT flags, CPoint point);
  void OnPaint();

  CWnd* m_pParentWnd = nullptr;
  CRect m_rectTitle;
  CRect m_rectHover;
  DWORD m_dwLastLButtonDown = DWORD(-1);
  DWORD m_dwDblClickMsecs;
  BOOL m_bCreated = FALSE;
  CString m_strShown;
  LOGFONT m_lf{};
  bool m_hasFont = false;
  COLORREF m_crText = CLR_DEFAULT, m_crBack = CLR_DEFAULT;
  DECLARE_MESSAGE_MAP()
};

class CGridDropTarget : public COleDropTarget {
  DECLARE_DYNAMIC(CGridDropTarget)
 public:
  BOOL Register(CGridCtrl* grid);
  void Revoke() override;
  DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
  DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
  void OnDragLeave(CWnd* wnd) override;
  BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
  // A move the grid took only part of is reported as a copy, so that the source keeps what did not arrive.
  DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, DROPEFFECT list, CPoint point) override;
  DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) override;

 protected:
  CGridCtrl* m_pGridCtrl = nullptr;
  BOOL m_bRegistered = FALSE;
};
