// Toolbars: a row of command buttons (images from a bitmap resource) that send WM_COMMAND to their owner, with
// check-box buttons and separators that can hold other controls (combo boxes); and the control-bar layout.
#pragma once

#include "platform/win/controls/afxctl.h"
#include "platform/win/window/afxwnd.h"

// ---- The toolbar control ------------------------------------------------------------------------------------------
inline constexpr BYTE TBSTATE_CHECKED = 0x1, TBSTATE_PRESSED = 0x2, TBSTATE_ENABLED = 0x4, TBSTATE_HIDDEN = 0x8;
inline constexpr BYTE TBSTYLE_BUTTON = 0x0, TBSTYLE_SEP = 0x1, TBSTYLE_CHECK = 0x2;
inline constexpr DWORD TBSTYLE_TOOLTIPS = 0x100, TBSTYLE_FLAT = 0x800;
inline constexpr UINT TBBS_BUTTON = 0x0, TBBS_SEPARATOR = 0x1, TBBS_CHECKBOX = 0x2, TBBS_CHECKED = 0x100,
                      TBBS_DISABLED = 0x400;
inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1, TB_CHECKBUTTON = WM_USER + 2, TB_PRESSBUTTON = WM_USER + 3,
                      TB_HIDEBUTTON = WM_USER + 4, TB_ISBUTTONENABLED = WM_USER + 9, TB_ISBUTTONCHECKED = WM_USER + 10,
                      TB_ISBUTTONPRESSED = WM_USER + 11, TB_DELETEBUTTON = WM_USER + 22, TB_GETBUTTON = WM_USER + 23,
                      TB_BUTTONCOUNT = WM_USER + 24, TB_COMMANDTOINDEX = WM_USER + 25, TB_GETITEMRECT = WM_USER + 29,
                      TB_SETBUTTONSIZE = WM_USER + 31, TB_SETIMAGELIST = WM_USER + 48, TB_GETIMAGELIST = WM_USER + 49,
                      TB_INSERTBUTTON = WM_USER + 67, TB_ADDBUTTONS = WM_USER + 68;
struct TBBUTTON {
  int iBitmap;  // image index; for a separator its width in pixels (0: the default)
  int idCommand;
  BYTE fsState;
  BYTE fsStyle;
  DWORD_PTR dwData;
  INT_PTR iString;
};
inline constexpr char TOOLBARCLASSNAME[] = "ToolbarWindow32";

// ---- Control bars ---------------------------------------------------------------------------------------------------
inline constexpr UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800, AFX_IDW_CONTROLBAR_LAST = 0xE8FF, AFX_IDW_TOOLBAR = 0xE800;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x1000, CBRS_ALIGN_BOTTOM = 0x8000, CBRS_TOP = 0x1000 | 0x400,
                       CBRS_BORDER_BOTTOM = 0x800, CBRS_TOOLTIPS = 0x10, CBRS_FLYBY = 0x20, CBRS_SIZE_DYNAMIC = 0x80,
                       CBRS_GRIPPER = 0x400000;

namespace win::res {
// A toolbar resource: its buttons' command ids (0 = separator) and button size; the images come from the bitmap
// resource of the same id, one image of the button size per command, left to right.
void RegisterToolBar(UINT id, int buttonWidth, int buttonHeight, std::vector<UINT> commands);
}  // namespace win::res

class CToolBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolBarCtrl)
 public:
  BOOL CheckButton(int id, BOOL check = TRUE) { return BOOL(SendMessage(TB_CHECKBUTTON, WPARAM(id), check)); }
  BOOL EnableButton(int id, BOOL enable = TRUE) { return BOOL(SendMessage(TB_ENABLEBUTTON, WPARAM(id), enable)); }
  BOOL HideButton(int id, BOOL hide = TRUE) { return BOOL(SendMessage(TB_HIDEBUTTON, WPARAM(id), hide)); }
  BOOL IsButtonChecked(int id) const { return BOOL(::SendMessage(m_hWnd, TB_ISBUTTONCHECKED, WPARAM(id), 0)); }
  BOOL IsButtonEnabled(int id) const { return BOOL(::SendMessage(m_hWnd, TB_ISBUTTONENABLED, WPARAM(id), 0)); }
  int GetButtonCount() const { return int(::SendMessage(m_hWnd, TB_BUTTONCOUNT, 0, 0)); }
  int CommandToIndex(UINT id) const { return int(::SendMessage(m_hWnd, TB_COMMANDTOINDEX, id, 0)); }
  BOOL GetButton(int index, TBBUTTON* button) const {
    return BOOL(::SendMessage(m_hWnd, TB_GETBUTTON, WPARAM(index), LPARAM(button)));
  }
  BOOL GetItemRect(int index, LPRECT rect) const {
    return BOOL(::SendMessage(m_hWnd, TB_GETITEMRECT, WPARAM(index), LPARAM(rect)));
  }
  BOOL AddButtons(int count, TBBUTTON* buttons) {
    return BOOL(SendMessage(TB_ADDBUTTONS, WPARAM(count), LPARAM(buttons)));
  }
};

// The framework's toolbar: a toolbar control laid out as a control bar at the top of its parent.
class CToolBar : public CToolBarCtrl {
  DECLARE_DYNAMIC(CToolBar)
 public:
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR) {
    return CreateEx(parent, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), id);
  }
  BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR);
  // The buttons and images of a toolbar resource; FALSE (nothing changed) when there is none.
  BOOL LoadToolBar(UINT id);
  BOOL SetButtons(const UINT* ids, int count);
  CToolBarCtrl& GetToolBarCtrl() { return *this; }
  UINT GetItemID(int index) const;
  void GetItemRect(int index, LPRECT rect) const { CToolBarCtrl::GetItemRect(index, rect); }
  UINT GetButtonStyle(int index) const;
  void SetButtonStyle(int index, UINT style);
  void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;
  // A separator given a width holds a control placed over its rectangle (GetItemRect).
  void SetButtonInfo(int index, UINT id, UINT style, int imageOrWidth);
  DWORD GetBarStyle() const { return m_barStyle; }
  void SetBarStyle(DWORD style) { m_barStyle = style; }
  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) const;

 private:
  DWORD m_barStyle = CBRS_ALIGN_TOP;
  CImageList m_images;
};
