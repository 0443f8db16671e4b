// MFC-style wrappers of the built-in controls and of menus.
#pragma once

#include "platform/win/base/afxcoll.h"
#include "platform/win/window/afxwnd.h"

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
 public:
  BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF) {
    return CWnd::Create("Static", text, style, rect, parent, id);
  }
  HBITMAP SetBitmap(HBITMAP b) { return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(b))); }
  HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
  HICON SetIcon(HICON i) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, WPARAM(i))); }
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
 public:
  BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Button", text, style, rect, parent, id);
  }
  int GetCheck() const { return int(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, WPARAM(check)); }
  UINT GetState() const { return UINT(SendMessage(BM_GETSTATE)); }
  void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight); }
  UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
  HBITMAP SetBitmap(HBITMAP b) { return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, LPARAM(b))); }
  HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP)); }
  HICON SetIcon(HICON i) { return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, LPARAM(i))); }
  void Click() { SendMessage(BM_CLICK); }
  // The owner-drawn button's painting; reached through the parent's reflected WM_DRAWITEM.
  virtual void DrawItem(LPDRAWITEMSTRUCT dis) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Edit", nullptr, style, rect, parent, id);
  }
  BOOL CanUndo() const { return BOOL(SendMessage(EM_CANUNDO)); }
  BOOL Undo() { return BOOL(SendMessage(EM_UNDO)); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
  int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
  int GetLine(int line, LPSTR buffer, int max) const;
  int LineIndex(int line = -1) const { return int(SendMessage(EM_LINEINDEX, WPARAM(line))); }
  int LineLength(int line = -1) const { return int(SendMessage(EM_LINELENGTH, WPARAM(line))); }
  int LineFromChar(int index = -1) const { return int(SendMessage(EM_LINEFROMCHAR, WPARAM(index))); }
  void LineScroll(int lines, int chars = 0) { SendMessage(EM_LINESCROLL, WPARAM(chars), LPARAM(lines)); }
  int GetFirstVisibleLine() const { return int(SendMessage(EM_GETFIRSTVISIBLELINE)); }
  BOOL GetModify() const { return BOOL(SendMessage(EM_GETMODIFY)); }
  void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified); }
  DWORD GetSel() const { return DWORD(SendMessage(EM_GETSEL)); }
  void GetSel(int& start, int& end) const {
    DWORD a = 0, b = 0;
    SendMessage(EM_GETSEL, WPARAM(&a), LPARAM(&b));
    start = int(a);
    end = int(b);
  }
  void SetSel(int start, int end, BOOL noScroll = FALSE) {
    SendMessage(EM_SETSEL, WPARAM(start), LPARAM(end));
    if (!noScroll) SendMessage(EM_SCROLLCARET);
  }
  void SetSel(DWORD selection, BOOL noScroll = FALSE) {
    SetSel(SHORT(LOWORD(selection)), SHORT(HIWORD(selection)), noScroll);
  }
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE) { SendMessage(EM_REPLACESEL, canUndo, LPARAM(text)); }
  BOOL SetReadOnly(BOOL readOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, readOnly)); }
  void LimitText(int chars = 0) { SendMessage(EM_LIMITTEXT, WPARAM(chars)); }
  void SetLimitText(UINT chars) { SendMessage(EM_LIMITTEXT, chars); }
  UINT GetLimitText() const { return UINT(SendMessage(EM_GETLIMITTEXT)); }
  void SetPasswordChar(char ch) { SendMessage(EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(ch))); }
  void SetMargins(UINT left, UINT right) { SendMessage(EM_SETMARGINS, 3, MAKELONG(WORD(left), WORD(right))); }
  CPoint PosFromChar(UINT index) const { return CPoint(DWORD(SendMessage(EM_POSFROMCHAR, index))); }
  int CharFromPos(CPoint p) const { return int(SendMessage(EM_CHARFROMPOS, 0, MAKELPARAM(WORD(p.x), WORD(p.y)))); }
  void Cut() { SendMessage(WM_CUT); }
  void Copy() { SendMessage(WM_COPY); }
  void Paste() { SendMessage(WM_PASTE); }
  void Clear() { SendMessage(WM_CLEAR); }
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("ComboBox", nullptr, style, rect, parent, id);
  }
  int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) { return int(SendMessage(CB_SETCURSEL, WPARAM(index))); }
  int AddString(LPCSTR text) { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(text))); }
  int InsertString(int index, LPCSTR text) { return int(SendMessage(CB_INSERTSTRING, WPARAM(index), LPARAM(text))); }
  int DeleteString(UINT index) { return int(SendMessage(CB_DELETESTRING, index)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetLBText(int index, LPSTR out) const { return int(SendMessage(CB_GETLBTEXT, WPARAM(index), LPARAM(out))); }
  void GetLBText(int index, CString& out) const;
  int GetLBTextLen(int index) const { return int(SendMessage(CB_GETLBTEXTLEN, WPARAM(index))); }
  int FindString(int after, LPCSTR text) const { return int(SendMessage(CB_FINDSTRING, WPARAM(after), LPARAM(text))); }
  int FindStringExact(int after, LPCSTR text) const {
    return int(SendMessage(CB_FINDSTRINGEXACT, WPARAM(after), LPARAM(text)));
  }
  int SelectString(int after, LPCSTR text) { return int(SendMessage(CB_SELECTSTRING, WPARAM(after), LPARAM(text))); }
  DWORD_PTR GetItemData(int index) const { return DWORD_PTR(SendMessage(CB_GETITEMDATA, WPARAM(index))); }
  int SetItemData(int index, DWORD_PTR data) { return int(SendMessage(CB_SETITEMDATA, WPARAM(index), LPARAM(data))); }
  void* GetItemDataPtr(int index) const { return reinterpret_cast<void*>(GetItemData(index)); }
  int SetItemDataPtr(int index, void* data) { return SetItemData(index, reinterpret_cast<DWORD_PTR>(data)); }
  void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }
  BOOL GetDroppedState() const { return BOOL(SendMessage(CB_GETDROPPEDSTATE)); }
  int SetItemHeight(int index, UINT height) { return int(SendMessage(CB_SETITEMHEIGHT, WPARAM(index), height)); }
  int GetItemHeight(int index) const { return int(SendMessage(CB_GETITEMHEIGHT, WPARAM(index))); }
  int SetDroppedWidth(UINT width) { return int(SendMessage(CB_SETDROPPEDWIDTH, width)); }
  int GetDroppedWidth() const { return int(SendMessage(CB_GETDROPPEDWIDTH)); }
  void SetHorizontalExtent(UINT extent) { SendMessage(CB_SETHORIZONTALEXTENT, extent); }
  BOOL LimitText(int chars) { return BOOL(SendMessage(CB_LIMITTEXT, WPARAM(chars))); }
  DWORD GetEditSel() const { return DWORD(SendMessage(CB_GETEDITSEL)); }
  BOOL SetEditSel(int start, int end) {
    return BOOL(SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(WORD(start), WORD(end))));
  }
  void GetDroppedControlRect(LPRECT r) const { SendMessage(CB_GETDROPPEDCONTROLRECT, 0, LPARAM(r)); }
};

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("ListBox", nullptr, style, rect, parent, id);
  }
  int GetCount() const { return int(SendMessage(LB_GETCOUNT)); }
  int GetCurSel() const { return int(SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int index) { return int(SendMessage(LB_SETCURSEL, WPARAM(index))); }
  int AddString(LPCSTR text) { return int(SendMessage(LB_ADDSTRING, 0, LPARAM(text))); }
  int InsertString(int index, LPCSTR text) { return int(SendMessage(LB_INSERTSTRING, WPARAM(index), LPARAM(text))); }
  int DeleteString(UINT index) { return int(SendMessage(LB_DELETESTRING, index)); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int GetText(int index, LPSTR out) const { return int(SendMessage(LB_GETTEXT, WPARAM(index), LPARAM(out))); }
  void GetText(int index, CString& out) const;
  int GetTextLen(int index) const { return int(SendMessage(LB_GETTEXTLEN, WPARAM(index))); }
  int FindString(int after, LPCSTR text) const { return int(SendMessage(LB_FINDSTRING, WPARAM(after), LPARAM(text))); }
  int FindStringExact(int after, LPCSTR text) const {
    return int(SendMessage(LB_FINDSTRINGEXACT, WPARAM(after), LPARAM(text)));
  }
  int SelectString(int after, LPCSTR text) { return int(SendMessage(LB_SELECTSTRING, WPARAM(after), LPARAM(text))); }
  DWORD_PTR GetItemData(int index) const { return DWORD_PTR(SendMessage(LB_GETITEMDATA, WPARAM(index))); }
  int SetItemData(int index, DWORD_PTR data) { return int(SendMessage(LB_SETITEMDATA, WPARAM(index), LPARAM(data))); }
  int GetTopIndex() const { return int(SendMessage(LB_GETTOPINDEX)); }
  int SetTopIndex(int index) { return int(SendMessage(LB_SETTOPINDEX, WPARAM(index))); }
  int GetSel(int index) const { return int(SendMessage(LB_GETSEL, WPARAM(index))); }
  int SetSel(int index, BOOL select = TRUE) { return int(SendMessage(LB_SETSEL, select, LPARAM(index))); }
  int GetSelCount() const { return int(SendMessage(LB_GETSELCOUNT)); }
  int GetSelItems(int max, LPINT out) const { return int(SendMessage(LB_GETSELITEMS, WPARAM(max), LPARAM(out))); }
  int GetItemRect(int index, LPRECT r) const { return int(SendMessage(LB_GETITEMRECT, WPARAM(index), LPARAM(r))); }
  int GetItemHeight(int index) const { return int(SendMessage(LB_GETITEMHEIGHT, WPARAM(index))); }
  int SetItemHeight(int index, UINT height) { return int(SendMessage(LB_SETITEMHEIGHT, WPARAM(index), height)); }
  UINT ItemFromPoint(CPoint p, BOOL& outside) const;
};

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("msctls_progress32", nullptr, style, rect, parent, id);
  }
  void SetRange(short lower, short upper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(WORD(lower), WORD(upper))); }
  void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, WPARAM(lower), LPARAM(upper)); }
  void GetRange(int& lower, int& upper) const;
  int SetPos(int pos) { return int(SendMessage(PBM_SETPOS, WPARAM(pos))); }
  int GetPos() const { return int(SendMessage(PBM_GETPOS)); }
  int OffsetPos(int delta) { return int(SendMessage(PBM_DELTAPOS, WPARAM(delta))); }
  int SetStep(int step) { return int(SendMessage(PBM_SETSTEP, WPARAM(step))); }
  int StepIt() { return int(SendMessage(PBM_STEPIT)); }
  COLORREF SetBarColor(COLORREF c) { return COLORREF(SendMessage(PBM_SETBARCOLOR, 0, LPARAM(c))); }
  COLORREF SetBkColor(COLORREF c) { return COLORREF(SendMessage(PBM_SETBKCOLOR, 0, LPARAM(c))); }
};

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("msctls_updown32", nullptr, style, rect, parent, id);
  }
  void SetRange(short lower, short upper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(WORD(upper), WORD(lower))); }
  void SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, WPARAM(lower), LPARAM(upper)); }
  void GetRange(int& lower, int& upper) const { SendMessage(UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper)); }
  int SetPos(int pos) { return int(SendMessage(UDM_SETPOS, 0, MAKELPARAM(WORD(pos), 0))); }
  int SetPos32(int pos) { return int(SendMessage(UDM_SETPOS32, 0, LPARAM(pos))); }
  int GetPos() const { return int(SHORT(LOWORD(DWORD(SendMessage(UDM_GETPOS))))); }
  int GetPos32(LPBOOL error = nullptr) const { return int(SendMessage(UDM_GETPOS32, 0, LPARAM(error))); }
  CWnd* SetBuddy(CWnd* buddy) {
    return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, WPARAM(buddy ? buddy->m_hWnd : nullptr))));
  }
  CWnd* GetBuddy() const { return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
  int SetBase(int base) { return int(SendMessage(UDM_SETBASE, WPARAM(base))); }
  int GetBase() const { return int(SendMessage(UDM_GETBASE)); }
};

class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SysTabControl32", nullptr, style, rect, parent, id);
  }
  int GetItemCount() const { return int(SendMessage(TCM_GETITEMCOUNT)); }
  LONG InsertItem(int index, LPCSTR text);
  LONG InsertItem(int index, TCITEM* item) { return LONG(SendMessage(TCM_INSERTITEM, WPARAM(index), LPARAM(item))); }
  BOOL DeleteItem(int index) { return BOOL(SendMessage(TCM_DELETEITEM, WPARAM(index))); }
  BOOL DeleteAllItems() { return BOOL(SendMessage(TCM_DELETEALLITEMS)); }
  BOOL GetItem(int index, TCITEM* item) const { return BOOL(SendMessage(TCM_GETITEM, WPARAM(index), LPARAM(item))); }
  BOOL SetItem(int index, TCITEM* item) { return BOOL(SendMessage(TCM_SETITEM, WPARAM(index), LPARAM(item))); }
  int GetCurSel() const { return int(SendMessage(TCM_GETCURSEL)); }
  int SetCurSel(int index) { return int(SendMessage(TCM_SETCURSEL, WPARAM(index))); }
  int GetCurFocus() const { return int(SendMessage(TCM_GETCURFOCUS)); }
  void SetCurFocus(int index) { SendMessage(TCM_SETCURFOCUS, WPARAM(index)); }
  BOOL GetItemRect(int index, LPRECT r) const { return BOOL(SendMessage(TCM_GETITEMRECT, WPARAM(index), LPARAM(r))); }
  int HitTest(TCHITTESTINFO* info) const { return int(SendMessage(TCM_HITTEST, 0, LPARAM(info))); }
  void AdjustRect(BOOL larger, LPRECT r) { SendMessage(TCM_ADJUSTRECT, larger, LPARAM(r)); }
  int GetRowCount() const { return int(SendMessage(TCM_GETROWCOUNT)); }
};

class CTreeCtrl : public CWnd {
  DECLARE_DYNAMIC(CTreeCtrl)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SysTreeView32", nullptr, style, rect, parent, id);
  }
  HTREEITEM InsertItem(TVINSERTSTRUCT* ins) {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEM, 0, LPARAM(ins)));
  }
  HTREEITEM InsertItem(LPCSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
  HTREEITEM InsertItem(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask, LPARAM param,
                       HTREEITEM parent, HTREEITEM after);
  BOOL DeleteItem(HTREEITEM item) { return BOOL(SendMessage(TVM_DELETEITEM, 0, LPARAM(item))); }
  // Image lists (TVSIL_NORMAL, TVSIL_STATE); the control does not own them. Returns the previous one.
  class CImageList* SetImageList(class CImageList* list, int which);
  class CImageList* GetImageList(int which) const;
  BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
  BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
  // The item's image and text in a new image list of one image (owned by the caller), for dragging it.
  class CImageList* CreateDragImage(HTREEITEM item);
  BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
  BOOL Expand(HTREEITEM item, UINT code) { return BOOL(SendMessage(TVM_EXPAND, code, LPARAM(item))); }
  HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, LPARAM(item)));
  }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUS); }
  HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetNextVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXTVISIBLE); }
  HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
  BOOL ItemHasChildren(HTREEITEM item) const;
  BOOL SelectItem(HTREEITEM item) { return BOOL(SendMessage(TVM_SELECTITEM, TVGN_CARET, LPARAM(item))); }
  BOOL SelectDropTarget(HTREEITEM item) { return BOOL(SendMessage(TVM_SELECTITEM, TVGN_DROPHILITE, LPARAM(item))); }
  BOOL GetItem(TVITEM* item) const { return BOOL(SendMessage(TVM_GETITEM, 0, LPARAM(item))); }
  BOOL SetItem(TVITEM* item) { return BOOL(SendMessage(TVM_SETITEM, 0, LPARAM(item))); }
  CString GetItemText(HTREEITEM item) const;
  BOOL SetItemText(HTREEITEM item, LPCSTR text);
  DWORD_PTR GetItemData(HTREEITEM item) const;
  BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
  UINT GetItemState(HTREEITEM item, UINT mask) const { return UINT(SendMessage(TVM_GETITEMSTATE, WPARAM(item), mask)); }
  BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);
  UINT GetCount() const { return UINT(SendMessage(TVM_GETCOUNT)); }
  UINT GetIndent() const { return UINT(SendMessage(TVM_GETINDENT)); }
  void SetIndent(UINT indent) { SendMessage(TVM_SETINDENT, indent); }
  BOOL GetItemRect(HTREEITEM item, LPRECT r, BOOL textOnly) const;
  HTREEITEM HitTest(CPoint p, UINT* flags = nullptr) const;
  BOOL EnsureVisible(HTREEITEM item) { return BOOL(SendMessage(TVM_ENSUREVISIBLE, 0, LPARAM(item))); }
  BOOL SortChildren(HTREEITEM item) { return BOOL(SendMessage(TVM_SORTCHILDREN, 0, LPARAM(item))); }
  UINT GetVisibleCount() const { return UINT(SendMessage(TVM_GETVISIBLECOUNT)); }
};

// The list view; report view shows the columns under a header, the item's icon comes from the small image list.
class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(WC_LISTVIEW, nullptr, style, rect, parent, id);
  }
  int InsertColumn(int index, const LVCOLUMN* column) {
    return int(SendMessage(LVM_INSERTCOLUMN, WPARAM(index), LPARAM(column)));
  }
  int InsertColumn(int index, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
  BOOL DeleteColumn(int index) { return BOOL(SendMessage(LVM_DELETECOLUMN, WPARAM(index))); }
  BOOL GetColumn(int index, LVCOLUMN* column) const {
    return BOOL(SendMessage(LVM_GETCOLUMN, WPARAM(index), LPARAM(column)));
  }
  BOOL SetColumn(int index, const LVCOLUMN* column) {
    return BOOL(SendMessage(LVM_SETCOLUMN, WPARAM(index), LPARAM(column)));
  }
  int GetColumnWidth(int index) const { return int(SendMessage(LVM_GETCOLUMNWIDTH, WPARAM(index))); }
  BOOL SetColumnWidth(int index, int width) {
    return BOOL(SendMessage(LVM_SETCOLUMNWIDTH, WPARAM(index), MAKELPARAM(WORD(width), 0)));
  }
  int InsertItem(const LVITEM* item) { return int(SendMessage(LVM_INSERTITEM, 0, LPARAM(item))); }
  int InsertItem(int index, LPCSTR text) { return InsertItem(LVIF_TEXT, index, text, 0, 0, 0, 0); }
  int InsertItem(int index, LPCSTR text, int image) {
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, index, text, 0, 0, image, 0);
  }
  int InsertItem(UINT mask, int index, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param);
  BOOL DeleteItem(int index) { return BOOL(SendMessage(LVM_DELETEITEM, WPARAM(index))); }
  BOOL DeleteAllItems() { return BOOL(SendMessage(LVM_DELETEALLITEMS)); }
  int GetItemCount() const { return int(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL GetItem(LVITEM* item) const { return BOOL(SendMessage(LVM_GETITEM, 0, LPARAM(item))); }
  BOOL SetItem(const LVITEM* item) { return BOOL(SendMessage(LVM_SETITEM, 0, LPARAM(item))); }
  CString GetItemText(int item, int subItem) const;
  BOOL SetItemText(int item, int subItem, LPCSTR text);
  DWORD_PTR GetItemData(int item) const;
  BOOL SetItemData(int item, DWORD_PTR data);
  int GetItemImage(int item) const;
  UINT GetItemState(int item, UINT mask) const { return UINT(SendMessage(LVM_GETITEMSTATE, WPARAM(item), mask)); }
  // item -1: every item.
  BOOL SetItemState(int item, UINT state, UINT mask);
  int GetNextItem(int item, UINT flags) const { return int(SendMessage(LVM_GETNEXTITEM, WPARAM(item), flags)); }
  UINT GetSelectedCount() const { return UINT(SendMessage(LVM_GETSELECTEDCOUNT)); }
  POSITION GetFirstSelectedItemPosition() const;
  int GetNextSelectedItem(POSITION& pos) const;
  // Image lists (LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE); the control does not own them. Returns the previous one.
  class CImageList* SetImageList(class CImageList* list, int which);
  class CImageList* GetImageList(int which) const;
  DWORD SetExtendedStyle(DWORD style) { return DWORD(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LPARAM(style))); }
  DWORD GetExtendedStyle() const { return DWORD(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
  BOOL EnsureVisible(int item, BOOL partialOk) { return BOOL(SendMessage(LVM_ENSUREVISIBLE, WPARAM(item), partialOk)); }
  int GetTopIndex() const { return int(SendMessage(LVM_GETTOPINDEX)); }
  int GetCountPerPage() const { return int(SendMessage(LVM_GETCOUNTPERPAGE)); }
  // code: LVIR_BOUNDS, LVIR_ICON or LVIR_LABEL.
  BOOL GetItemRect(int item, LPRECT r, UINT code) const;
  int HitTest(CPoint p, UINT* flags = nullptr) const;
  int HitTest(LVHITTESTINFO* info) const { return int(SendMessage(LVM_HITTEST, 0, LPARAM(info))); }
  int SubItemHitTest(LVHITTESTINFO* info) { return int(SendMessage(LVM_SUBITEMHITTEST, 0, LPARAM(info))); }
  int FindItem(LVFINDINFO* info, int start = -1) const;
};

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
 public:
  BOOL Create(CWnd* parent, DWORD style = 0);
  BOOL AddTool(CWnd* wnd, LPCSTR text = LPSTR_TEXTCALLBACK, LPCRECT rect = nullptr, UINT_PTR id = 0);
  BOOL AddTool(CWnd* wnd, UINT textId, LPCRECT rect = nullptr, UINT_PTR id = 0);
  void DelTool(CWnd* wnd, UINT_PTR id = 0);
  void UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id = 0);
  void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
  void SetDelayTime(DWORD which, int ms) { SendMessage(TTM_SETDELAYTIME, which, MAKELPARAM(WORD(ms), 0)); }
  void SetDelayTime(UINT ms) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, LPARAM(ms)); }
  int GetDelayTime(DWORD which) const { return int(SendMessage(TTM_GETDELAYTIME, which)); }
  int SetMaxTipWidth(int width) { return int(SendMessage(TTM_SETMAXTIPWIDTH, 0, LPARAM(width))); }
  void RelayEvent(LPMSG msg) { SendMessage(TTM_RELAYEVENT, 0, LPARAM(msg)); }
  int GetToolCount() const { return int(SendMessage(TTM_GETTOOLCOUNT)); }
  void Pop() { SendMessage(TTM_POP); }
  void SetTipBkColor(COLORREF c) { SendMessage(TTM_SETTIPBKCOLOR, c); }
  void SetTipTextColor(COLORREF c) { SendMessage(TTM_SETTIPTEXTCOLOR, c); }
  void GetText(CString& out, CWnd* wnd, UINT_PTR id = 0) const;
};

// A menu handle wrapper; the wrapper owns the menu it creates (DestroyMenu or the destructor frees it).
class CMenu : public CObject {
  DECLARE_DYNCREATE(CMenu)
 public:
  CMenu() = default;
  ~CMenu() override;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  HMENU m_hMenu = nullptr;
  operator HMENU() const { return m_hMenu; }
  HMENU GetSafeHmenu() const { return m_hMenu; }
  static CMenu* FromHandle(HMENU menu);
  // The object the menu is attached to (Attach, Create*, LoadMenu); nullptr for a menu without one.
  static CMenu* FromHandlePermanent(HMENU menu);
  BOOL Attach(HMENU menu);
  HMENU Detach();
  BOOL CreateMenu() { return Attach(::CreateMenu()); }
  BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
  virtual BOOL DestroyMenu();
  BOOL LoadMenu(UINT id) { return Attach(::LoadMenu(nullptr, MAKEINTRESOURCE(id))); }
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) { return ::AppendMenu(m_hMenu, flags, id, text); }
  BOOL InsertMenu(UINT pos, UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) {
    return ::InsertMenu(m_hMenu, pos, flags, id, text);
  }
  BOOL ModifyMenu(UINT pos, UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) {
    return ::ModifyMenu(m_hMenu, pos, flags, id, text);
  }
  BOOL DeleteMenu(UINT pos, UINT flags) { return ::DeleteMenu(m_hMenu, pos, flags); }
  BOOL RemoveMenu(UINT pos, UINT flags) { return ::RemoveMenu(m_hMenu, pos, flags); }
  UINT GetMenuItemCount() const { return UINT(::GetMenuItemCount(m_hMenu)); }
  UINT GetMenuItemID(int pos) const { return ::GetMenuItemID(m_hMenu, pos); }
  UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
  int GetMenuString(UINT id, LPSTR out, int max, UINT flags) const {
    return ::GetMenuString(m_hMenu, id, out, max, flags);
  }
  int GetMenuString(UINT id, CString& out, UINT flags) const;
  BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFO info, BOOL byPos = FALSE) const {
    return ::GetMenuItemInfo(m_hMenu, item, byPos, info);
  }
  BOOL SetMenuItemInfo(UINT item, LPMENUITEMINFO info, BOOL byPos = FALSE) {
    return ::SetMenuItemInfo(m_hMenu, item, byPos, info);
  }
  CMenu* GetSubMenu(int pos) const { return FromHandle(::GetSubMenu(m_hMenu, pos)); }
  UINT CheckMenuItem(UINT id, UINT check) { return UINT(::CheckMenuItem(m_hMenu, id, check)); }
  UINT EnableMenuItem(UINT id, UINT enable) { return UINT(::EnableMenuItem(m_hMenu, id, enable)); }
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->m_hWnd : nullptr, rect);
  }
  virtual void DrawItem(LPDRAWITEMSTRUCT dis) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT mis) {}
};

// A list of equal-sized images (with masks), drawn by index; the wrapper owns the list it creates.
class CImageList : public CObject {
  DECLARE_DYNCREATE(CImageList)
 public:
  CImageList() = default;
  ~CImageList() override { DeleteImageList(); }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  HIMAGELIST m_hImageList = nullptr;
  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
  }
  BOOL DeleteImageList() {
    if (!m_hImageList) return FALSE;
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    return ImageList_Destroy(h);
  }
  BOOL Attach(HIMAGELIST list) {
    if (!list || m_hImageList) return FALSE;
    m_hImageList = list;
    return TRUE;
  }
  HIMAGELIST Detach() {
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    return h;
  }
  int Add(CBitmap* image, CBitmap* mask) {
    return ImageList_Add(m_hImageList, image ? HBITMAP(*image) : nullptr, mask ? HBITMAP(*mask) : nullptr);
  }
  int Add(CBitmap* image, COLORREF mask) {
    return ImageList_AddMasked(m_hImageList, image ? HBITMAP(*image) : nullptr, mask);
  }
  int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
  int Replace(int index, HICON icon) { return ImageList_ReplaceIcon(m_hImageList, index, icon); }
  BOOL Remove(int index) { return ImageList_Remove(m_hImageList, index); }
  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  BOOL GetImageInfo(int index, IMAGEINFO* info) const { return ImageList_GetImageInfo(m_hImageList, index, info); }
  BOOL Draw(CDC* dc, int index, POINT p, UINT style) {
    return ImageList_Draw(m_hImageList, index, dc ? dc->m_hDC : nullptr, p.x, p.y, style);
  }
  HICON ExtractIcon(int index) { return ImageList_GetIcon(m_hImageList, index, ILD_NORMAL); }
  COLORREF SetBkColor(COLORREF c) { return ImageList_SetBkColor(m_hImageList, c); }
  COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
  // A wrapper for a list owned elsewhere: it lives as long as the process and never destroys the list.
  static CImageList* FromHandle(HIMAGELIST list);
  // Dragging: the image follows the mouse over a window's screen contents (platform/win/resources/imagedrag.cpp).
  BOOL BeginDrag(int image, CPoint hotspot) { return ImageList_BeginDrag(m_hImageList, image, hotspot.x, hotspot.y); }
  static void EndDrag() { ImageList_EndDrag(); }
  static BOOL DragEnter(CWnd* lock, CPoint p);
  static BOOL DragMove(CPoint p) { return ImageList_DragMove(p.x, p.y); }
  static BOOL DragLeave(CWnd* lock);
  static BOOL DragShowNolock(BOOL show) { return ImageList_DragShowNolock(show); }
};

// Shows the wait cursor for its lifetime.
class CWaitCursor {
 public:
  CWaitCursor() : m_old(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
  ~CWaitCursor() { ::SetCursor(m_old); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }

 private:
  HCURSOR m_old;
};
