#include "platform/win/input/afxole.h"

#include <cstring>
#include <deque>

#include "platform/win/input/dragloop.h"
#include "platform/win/screen/screen.h"
#include "platform/win/window/internal.h"

IMPLEMENT_DYNAMIC(COleDataSource, CCmdTarget)
IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

namespace {

HGLOBAL CopyGlobal(HGLOBAL h) {
  std::size_t n = GlobalSize(h);
  if (!h || n == 0) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, n);
  std::memcpy(GlobalLock(copy), GlobalLock(h), n);
  GlobalUnlock(h);
  GlobalUnlock(copy);
  return copy;
}

std::map<HWND, COleDropTarget*>& Targets() {
  static auto* t = new std::map<HWND, COleDropTarget*>;
  return *t;
}

struct Drop {
  HWND target;
  POINT point;
  DWORD keys;
};
std::deque<Drop>& Drops() {
  static auto* d = new std::deque<Drop>;
  return *d;
}

}  // namespace

BOOL AfxOleInit() { return TRUE; }

COleDataSource::~COleDataSource() { Empty(); }

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL data) {
  auto it = m_data.find(format);
  if (it != m_data.end() && it->second != data) GlobalFree(it->second);
  m_data[format] = data;
}

void COleDataSource::Empty() {
  for (auto& [f, h] : m_data) GlobalFree(h);
  m_data.clear();
}

HGLOBAL COleDataSource::GetData(CLIPFORMAT format) const {
  auto it = m_data.find(format);
  return it == m_data.end() ? nullptr : it->second;
}

void COleDataSource::SetClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    for (auto& [f, h] : m_data) SetClipboardData(f, CopyGlobal(h));
    CloseClipboard();
  }
  delete this;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD allowed, LPCRECT, void*) {
  win::script::ModalRecord rec;
  rec.kind = "drag";
  if (Drops().empty()) {
    // A user at a screen carries the data with the mouse.
    if (win::CurrentScreen()) return win::detail::RunDragLoop(*this, allowed);
    rec.caption = "a drag without a scripted drop";
    win::detail::Unscripted(rec);
    return DROPEFFECT_NONE;
  }
  Drop d = Drops().front();
  Drops().pop_front();
  rec.scripted = true;
  COleDropTarget* target = COleDropTarget::ForWindow(d.target);
  DROPEFFECT result = DROPEFFECT_NONE;
  if (target) {
    CWnd* wnd = CWnd::FromHandle(d.target);
    COleDataObject data;
    data.Attach(this);
    CPoint p(d.point);
    DROPEFFECT effect = target->OnDragEnter(wnd, &data, d.keys, p) & allowed;
    effect = target->OnDragOver(wnd, &data, d.keys, p) & allowed;
    if (effect == DROPEFFECT_NONE)
      target->OnDragLeave(wnd);
    else
      result = win::detail::DropOn(*target, wnd, &data, effect, allowed, p);
  }
  rec.answer = INT_PTR(result);
  win::detail::LogModal(rec);
  return result;
}

BOOL COleDataObject::AttachClipboard() {
  m_source = nullptr;
  m_clipboard = true;
  return TRUE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
  if (m_source) return m_source->GetData(format) != nullptr;
  return m_clipboard && IsClipboardFormatAvailable(format);
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) const {
  if (m_source) return CopyGlobal(m_source->GetData(format));
  if (!m_clipboard || !OpenClipboard(nullptr)) return nullptr;
  HGLOBAL copy = CopyGlobal(GetClipboardData(format));
  CloseClipboard();
  return copy;
}

BOOL COleDropTarget::Register(CWnd* wnd) {
  if (!wnd || !wnd->m_hWnd) return FALSE;
  Revoke();
  m_hWnd = wnd->m_hWnd;
  Targets()[m_hWnd] = this;
  return TRUE;
}

void COleDropTarget::Revoke() {
  if (!m_hWnd) return;
  auto it = Targets().find(m_hWnd);
  if (it != Targets().end() && it->second == this) Targets().erase(it);
  m_hWnd = nullptr;
}

COleDropTarget* COleDropTarget::ForWindow(HWND wnd) {
  auto it = Targets().find(wnd);
  return it == Targets().end() || !IsWindow(wnd) ? nullptr : it->second;
}

namespace win::script {
void QueueDrop(HWND target, POINT point, DWORD keyState) { Drops().push_back({target, point, keyState}); }
}  // namespace win::script
