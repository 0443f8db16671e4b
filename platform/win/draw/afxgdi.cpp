// MFC-style drawing classes.
#include "platform/win/draw/afxgdi.h"

#include <cstring>
#include <map>

#include "platform/win/window/afxwnd.h"
#include "platform/win/draw/gdi_internal.h"
#include "platform/win/resources/resources.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNCREATE(CPen, CGdiObject)
IMPLEMENT_DYNCREATE(CBrush, CGdiObject)
IMPLEMENT_DYNCREATE(CFont, CGdiObject)
IMPLEMENT_DYNCREATE(CBitmap, CGdiObject)
IMPLEMENT_DYNCREATE(CRgn, CGdiObject)
IMPLEMENT_DYNCREATE(CPalette, CGdiObject)
IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)
IMPLEMENT_DYNAMIC(CMetaFileDC, CDC)

namespace {
// A wrapper must not delete what it does not own: it lets go of the handle before it goes.
struct ReleaseWrapper {
  void operator()(CGdiObject* o) const {
    o->m_hObject = nullptr;
    delete o;
  }
};
// Wrappers of handles that came from elsewhere; they never own the object. Each has its object's class.
std::map<HGDIOBJ, std::unique_ptr<CGdiObject, ReleaseWrapper>>& GdiWrappers() {
  static std::map<HGDIOBJ, std::unique_ptr<CGdiObject, ReleaseWrapper>> w;
  return w;
}
std::map<HDC, std::unique_ptr<CDC>>& DcWrappers() {
  static std::map<HDC, std::unique_ptr<CDC>> w;
  return w;
}
}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ object) {
  if (!object) return FALSE;
  DeleteObject();
  m_hObject = object;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  HGDIOBJ h = Detach();
  auto& w = GdiWrappers();
  if (auto it = w.find(h); it != w.end() && it->second.get() != this) w.erase(it);
  return ::DeleteObject(h);
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) {
  if (!object) return nullptr;
  auto& w = GdiWrappers();
  auto it = w.find(object);
  if (it != w.end()) return it->second.get();
  if (w.size() % 256 == 255) {
    for (auto s = w.begin(); s != w.end();) s = ::GetObjectType(s->first) ? std::next(s) : w.erase(s);
  }
  std::unique_ptr<CGdiObject, ReleaseWrapper> wrapper;
  switch (::GetObjectType(object)) {
    case OBJ_PEN: wrapper.reset(new CPen); break;
    case OBJ_BRUSH: wrapper.reset(new CBrush); break;
    case OBJ_FONT: wrapper.reset(new CFont); break;
    case OBJ_BITMAP: wrapper.reset(new CBitmap); break;
    case OBJ_REGION: wrapper.reset(new CRgn); break;
    case OBJ_PAL: wrapper.reset(new CPalette); break;
    default: wrapper.reset(new CGdiObject); break;
  }
  wrapper->m_hObject = object;
  CGdiObject* p = wrapper.get();
  w[object] = std::move(wrapper);
  return p;
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) { return bitmap && Attach(::CreatePatternBrush(*bitmap)); }

BOOL CFont::CreatePointFont(int pointSize, LPCSTR face, CDC*) {
  LOGFONT lf{};
  lf.lfHeight = -MulDiv(pointSize, 96, 720);
  lf.lfWeight = FW_NORMAL;
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(UINT id) { return Attach(::LoadBitmap(AfxGetResourceHandle(), MAKEINTRESOURCE(id))); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int w, int h) {
  return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, w, h));
}

// ---- CDC ----------------------------------------------------------------------------------------------------------------
CDC::~CDC() {
  if (m_bOwns && m_hDC) ::DeleteDC(m_hDC);
}

BOOL CDC::Attach(HDC dc) {
  if (!dc || m_hDC) return FALSE;
  m_hDC = m_hAttribDC = dc;
  m_bPrinting = ::GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = m_hAttribDC = nullptr;
  m_bOwns = false;
  return h;
}

CDC* CDC::FromHandle(HDC dc) {
  if (!dc) return nullptr;
  auto& w = DcWrappers();
  // Wrappers of DCs that are gone are dropped as new ones are made.
  for (auto it = w.begin(); it != w.end();) {
    if (!win::detail::GetDc(it->first)) {
      it->second->m_hDC = nullptr;
      it = w.erase(it);
    } else {
      ++it;
    }
  }
  auto it = w.find(dc);
  if (it != w.end()) return it->second.get();
  auto c = std::make_unique<CDC>();
  c->Attach(dc);
  CDC* p = c.get();
  w[dc] = std::move(c);
  return p;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  if (m_hDC) return FALSE;
  m_bOwns = true;
  return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr));
}

BOOL CDC::CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init) {
  if (m_hDC) return FALSE;
  m_bOwns = true;
  return Attach(::CreateDC(driver, device, output, init));
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  HDC h = Detach();
  return ::DeleteDC(h);
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CGdiObject* CDC::SelectGdi(CGdiObject* object) {
  if (!object) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, object->m_hObject));
}

void CDC::FillSolidRect(LPCRECT r, COLORREF c) {
  COLORREF old = ::SetBkColor(m_hDC, c);
  ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int w, int h, COLORREF c) {
  RECT r{x, y, x + w, y + h};
  FillSolidRect(&r, c);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight) {
  Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int w, int h, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, w - 1, 1, topLeft);
  FillSolidRect(x, y, 1, h - 1, topLeft);
  FillSolidRect(x + w, y, -1, h, bottomRight);
  FillSolidRect(x, y + h, w, -1, bottomRight);
}

int CDC::GetTextFace(CString& face) const {
  char buf[LF_FACESIZE];
  int n = ::GetTextFace(m_hDC, sizeof(buf), buf);
  face = buf;
  return n;
}

HWND WindowFromDC(HDC dc) { return win::detail::DcWindow(dc); }

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::BeginPaint(m_hWnd, &m_ps)); }
CPaintDC::~CPaintDC() {
  Detach();
  ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetWindowDC(m_hWnd)); }
CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }

CMetaFileDC::~CMetaFileDC() {
  if (m_hDC) ::DeleteEnhMetaFile(::CloseEnhMetaFile(Detach()));
}

BOOL CMetaFileDC::Create(LPCSTR file) { return Attach(::CreateMetaFile(file)); }

BOOL CMetaFileDC::CreateEnhanced(CDC* reference, LPCSTR file, LPCRECT frame, LPCSTR description) {
  return Attach(::CreateEnhMetaFile(reference ? reference->m_hDC : nullptr, file, frame, description));
}

HMETAFILE CMetaFileDC::Close() { return ::CloseMetaFile(Detach()); }
HENHMETAFILE CMetaFileDC::CloseEnhanced() { return ::CloseEnhMetaFile(Detach()); }

CMemDC::CMemDC(CDC& target, const CRect& area) : m_pTarget(&target), m_rect(area) {
  CreateCompatibleDC(&target);
  m_bitmap.CreateCompatibleBitmap(&target, std::max(1, area.Width()), std::max(1, area.Height()));
  m_pOldBitmap = SelectObject(&m_bitmap);
  SetWindowOrg(area.left, area.top);
  SelectObject(target.GetCurrentFont());
}

CMemDC::~CMemDC() {
  SetWindowOrg(0, 0);
  m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, 0, 0, SRCCOPY);
  if (m_pOldBitmap) SelectObject(m_pOldBitmap);
}
