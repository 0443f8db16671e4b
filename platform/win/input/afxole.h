// Data transfer objects over the in-process clipboard, and drag and drop between windows of the process.
// A drag (COleDataSource::DoDragDrop) follows the mouse on a screen (platform/win/input/dragloop.h); headless it drops
// where the script says (win::script::QueueDrop), as no user moves a mouse.
#pragma once

#include <map>
#include <vector>

#include "platform/win/window/afxwnd.h"

using CLIPFORMAT = WORD;
using DROPEFFECT = DWORD;
inline constexpr DROPEFFECT DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4,
                            DROPEFFECT_SCROLL = 0x80000000;

BOOL AfxOleInit();

// Data offered in one or more clipboard formats.
class COleDataSource : public CCmdTarget {
  DECLARE_DYNAMIC(COleDataSource)
 public:
  COleDataSource() = default;
  ~COleDataSource() override;
  // Takes the global memory block (owned from now on) for the format.
  void CacheGlobalData(CLIPFORMAT format, HGLOBAL data);
  void Empty();
  // Puts the data on the clipboard. As in MFC the clipboard takes the object over: it must come from new.
  void SetClipboard();
  // Runs the drag loop: the drop goes to the scripted target, else where the user lets go; DROPEFFECT_NONE when the
  // drag was cancelled or let go where nothing takes it.
  DROPEFFECT DoDragDrop(DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE, LPCRECT startRect = nullptr,
                        void* dropSource = nullptr);
  HGLOBAL GetData(CLIPFORMAT format) const;

 private:
  std::map<CLIPFORMAT, HGLOBAL> m_data;
};

// Access to offered data: the clipboard's or a drag's.
class COleDataObject {
 public:
  COleDataObject() = default;
  BOOL AttachClipboard();
  void Attach(const COleDataSource* source) {
    m_source = source;
    m_clipboard = false;
  }
  void Release() {
    m_source = nullptr;
    m_clipboard = false;
  }
  BOOL IsDataAvailable(CLIPFORMAT format) const;
  // A copy of the data (the caller frees it with GlobalFree), or nullptr.
  HGLOBAL GetGlobalData(CLIPFORMAT format) const;

 private:
  const COleDataSource* m_source = nullptr;
  bool m_clipboard = false;
};

// Receives drags over a registered window.
class COleDropTarget : public CCmdTarget {
  DECLARE_DYNAMIC(COleDropTarget)
 public:
  COleDropTarget() = default;
  ~COleDropTarget() override { Revoke(); }
  BOOL Register(CWnd* wnd);
  virtual void Revoke();
  virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    return DROPEFFECT_NONE;
  }
  virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    return DROPEFFECT_NONE;
  }
  virtual void OnDragLeave(CWnd* wnd) {}
  virtual BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) { return FALSE; }
  virtual DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, DROPEFFECT list, CPoint point) {
    return DROPEFFECT(-1);
  }
  virtual DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) { return DROPEFFECT_NONE; }
  // The target registered for a window, if any.
  static COleDropTarget* ForWindow(HWND wnd);

 protected:
  HWND m_hWnd = nullptr;
};

namespace win::script {
// The next drag drops on the window at the point (its client coordinates), with the key state (MK_CONTROL ...).
void QueueDrop(HWND target, POINT point, DWORD keyState = 0);
}  // namespace win::script
