#include "platform/plotwerk/controls.h"

#include <cmath>
#include <map>

namespace plotwerk {

namespace {
using T = VarType;

template <class C>
std::map<HWND, std::unique_ptr<C>>& Instances() {
  static std::map<HWND, std::unique_ptr<C>> instances;
  return instances;
}

template <class C>
LRESULT ControlProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& all = Instances<C>();
  if (msg == WM_NCCREATE) {
    auto control = std::make_unique<C>(wnd);
    RegisterDispatch(wnd, control.get());
    all[wnd] = std::move(control);
  }
  auto it = all.find(wnd);
  if (it == all.end()) return ::DefWindowProc(wnd, msg, wParam, lParam);
  LRESULT r = it->second->WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    UnregisterDispatch(wnd);
    all.erase(wnd);
  }
  return r;
}

template <class C>
void RegisterOne(const char* name, UINT style = 0) {
  WNDCLASS existing{};
  if (::GetClassInfo(nullptr, name, &existing)) return;
  WNDCLASS wc{};
  wc.style = style;
  wc.lpfnWndProc = &ControlProc<C>;
  wc.lpszClassName = name;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  ::RegisterClass(&wc);
}

Vec3 V3(const Variant& a, int offset = 0) { return {a.r4[offset], a.r4[offset + 1], a.r4[offset + 2]}; }

void Paint(HWND wnd, void (*draw)(HDC, const RECT&, const void*), const void* context) {
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(wnd, &ps);
  RECT r{};
  ::GetClientRect(wnd, &r);
  draw(dc, r, context);
  ::EndPaint(wnd, &ps);
}

void Draw2D(HDC dc, const RECT& r, const void* context) {
  const auto* scene = static_cast<const Scene2D*>(context);
  HBRUSH white = ::CreateSolidBrush(0xFFFFFF);
  ::FillRect(dc, &r, white);
  ::DeleteObject(white);
  View2D(*scene, r).Render(dc);
}

void Draw3D(HDC dc, const RECT& r, const void* context) { static_cast<const Scene3D*>(context)->Render(dc, r); }

void Extent(HWND wnd, const Args& a) { ::MoveWindow(wnd, int(a[0].i), int(a[1].i), int(a[2].i), int(a[3].i), TRUE); }

SIZE ClientSize(HWND wnd, SIZE fallback) {
  RECT r{};
  if (!::GetClientRect(wnd, &r) || r.right - r.left <= 0 || r.bottom - r.top <= 0) return fallback;
  return SIZE{r.right - r.left, r.bottom - r.top};
}
}  // namespace

void RegisterControlClasses() {
  RegisterOne<Control2D>(kClassId2D);
  // A double click in the 3D view brings back its default view; the 2D control takes a second press as a press
  // (the second press on an object starts its drag).
  RegisterOne<Control3D>(kClassId3D, CS_DBLCLKS);
}

// Classes are there as soon as the library is loaded, so dialog templates can name them.
static const bool kRegistered = (RegisterControlClasses(), true);

// ---- 2D --------------------------------------------------------------------------------------------------------
Control2D* Control2D::FromHandle(HWND wnd) {
  auto& all = Instances<Control2D>();
  auto it = all.find(wnd);
  return it == all.end() ? nullptr : it->second.get();
}

long Control2D::Invoke(DISPID member, WORD kind, const Args& a, Variant* result) {
  (void)kind;
  (void)result;
  auto R = [&](int i) { return a[std::size_t(i)].r; };
  auto S = [&](int i) { return a[std::size_t(i)].s; };
  long rc = S_DISP_OK;
  Scene2D& s = m_scene;
  switch (member) {
    case id2d::Clear:
      if ((rc = CheckArgs(a, {})) == S_DISP_OK) s.Clear();
      break;
    case id2d::AddLine:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8})) == S_DISP_OK) s.Add(Kind2D::Line, {R(0), R(1), R(2), R(3)});
      break;
    case id2d::AddPolygon:
      if ((rc = CheckArgs(a, {T::I4, T::R8Ref, T::R8Ref})) == S_DISP_OK && a[0].i > 0) {
        std::vector<double> v;
        for (long i = 0; i < a[0].i; ++i) {
          v.push_back(a[1].r8[i]);
          v.push_back(a[2].r8[i]);
        }
        s.Add(Kind2D::Polygon, std::move(v));
      }
      break;
    case id2d::AddRectangle:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8})) == S_DISP_OK)
        s.Add(Kind2D::Rectangle, {R(0), R(1), R(2), R(3)});
      break;
    case id2d::AddText:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::String})) == S_DISP_OK)
        s.Add(Kind2D::Text, {R(0), R(1), R(2), R(3)}, S(4));
      break;
    case id2d::Invoke08:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::I2, T::String})) == S_DISP_OK)
        s.Add(Kind2D::TextPt, {R(0), R(1), R(2), double(a[3].i)}, S(4));
      break;
    case id2d::AddValueLabel:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::R8, T::R8, T::String})) == S_DISP_OK)
        s.Add(Kind2D::ValueLabel, {R(0), R(1), R(2), R(3), R(4), R(5)}, S(6));
      break;
    case id2d::Invoke11:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::R8, T::R8, T::R8, T::R8, T::String, T::I2, T::Bool,
                              T::I2})) == S_DISP_OK)
        s.Add(Kind2D::Quad, {R(0), R(1), R(2), R(3), R(4), R(5), R(6), R(7)}, S(8));
      break;
    case id2d::Invoke12:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::R8, T::R8, T::I2, T::R8, T::String, T::I2, T::Bool,
                              T::I2})) == S_DISP_OK)
        s.Add(Kind2D::Dimension, {R(0), R(1), R(2), R(3), R(4), R(5), double(a[6].i), R(7)}, S(8));
      break;
    case id2d::Refresh:
      if ((rc = CheckArgs(a, {})) == S_DISP_OK) ::InvalidateRect(m_hWnd, nullptr, TRUE);
      break;
    case id2d::SetExtent:
      if ((rc = CheckArgs(a, {T::I2, T::I2, T::I2, T::I2})) == S_DISP_OK) Extent(m_hWnd, a);
      break;
    case id2d::Invoke17:
      if ((rc = CheckArgs(a, {T::Bool})) == S_DISP_OK) {
        s.showHeader = a[0].i != 0;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
      }
      break;
    case id2d::MoveObject:
      if ((rc = CheckArgs(a, {T::I4, T::R8, T::R8})) == S_DISP_OK) {
        s.MoveObject(a[0].i, R(1), R(2));
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
      }
      break;
    case id2d::SetObjectId:
      if ((rc = CheckArgs(a, {T::I4, T::I4})) == S_DISP_OK) s.SetObjectId(a[0].i);
      break;
    case id2d::AddPointLoad:
      if ((rc = CheckArgs(a, {T::R4, T::R4, T::R4, T::R4, T::R4, T::String})) == S_DISP_OK)
        s.Add(Kind2D::PointLoad, {R(0), R(1), R(2), R(3), R(4)}, S(5));
      break;
    case id2d::AddLineLoad:
      if ((rc = CheckArgs(a, {T::R4, T::R4, T::R4, T::R4, T::R4, T::R4, T::R4, T::R4, T::String, T::String})) ==
          S_DISP_OK)
        s.Add(Kind2D::LineLoad, {R(0), R(1), R(2), R(3), R(4), R(5), R(6), R(7)}, S(8) + "\t" + S(9));
      break;
    case id2d::AddTriangle:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::R8, T::R8})) == S_DISP_OK)
        s.Add(Kind2D::Triangle, {R(0), R(1), R(2), R(3), R(4), R(5)});
      break;
    case id2d::Invoke30:
      if ((rc = CheckArgs(a, {T::String, T::I2, T::I2})) == S_DISP_OK) {
        s.header = S(0);
        s.headerSize = int(a[1].i);
      }
      break;
    case id2d::Invoke34:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8})) == S_DISP_OK)
        for (int i = 0; i < 4; ++i) s.window[i] = R(i);
      break;
    case id2d::SetStyle:
      if ((rc = CheckArgs(a, {T::I4, T::I4, T::I4, T::Bool})) == S_DISP_OK)
        s.SetStyle(Style2D{COLORREF(a[0].i), int(a[1].i), int(a[2].i), BOOL(a[3].i)});
      break;
    case id2d::SetObjectStyle:
      if ((rc = CheckArgs(a, {T::I4, T::I4, T::I4, T::I4})) == S_DISP_OK) {
        s.RestyleObject(a[0].i, Style2D{COLORREF(a[1].i), int(a[2].i), int(a[3].i), FALSE});
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
      }
      break;
    case id2d::SetTitle:
      if ((rc = CheckArgs(a, {T::String})) == S_DISP_OK) {
        // The report names the file the drawing is to be written to by the title; the picture keeps the
        // drawing as it stands and the title is shown in the window only.
        SIZE size = ClientSize(m_hWnd, SIZE{500, 200});
        if (!S(0).empty()) s.Save(S(0), size.cx, size.cy);
        s.title = S(0);
      }
      break;
    case id2d::Invoke39:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::R8, T::R8})) == S_DISP_OK)
        s.SetTransform(Transform2D{R(0), R(1), R(2), R(3), R(4), R(5)});
      break;
    case id2d::Invoke40:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::R8, T::String})) == S_DISP_OK)
        s.Add(Kind2D::Moment, {R(0), R(1), R(2), R(3), R(4)}, S(5));
      break;
    case id2d::Invoke45:
      if ((rc = CheckArgs(a, {T::R8, T::R8, T::R8, T::R8, T::R8, T::R8, T::R8, T::Bool})) == S_DISP_OK)
        s.Add(Kind2D::Node, {R(0), R(1), R(2), R(3), R(4), R(5), R(6)});
      break;
    case id2d::AddMenuItem:
      if ((rc = CheckArgs(a, {T::String, T::I4, T::Bool, T::Bool})) == S_DISP_OK)
        s.menu.push_back(MenuItem2D{S(0), a[1].i, BOOL(a[2].i), BOOL(a[3].i)});
      break;
    case id2d::Invoke54:
      if ((rc = CheckArgs(a, {T::Bool, T::Bool, T::String, T::Bool, T::String})) == S_DISP_OK) {
        s.showAxes = a[0].i != 0;
        s.axisXAlongDrawing = a[1].i != 0;
        s.axisX = S(2);
        s.axisYAlongDrawing = a[3].i != 0;
        s.axisY = S(4);
      }
      break;
    case id2d::Invoke55:
      if ((rc = CheckArgs(a, {})) == S_DISP_OK) s.CloseGroup();
      break;
    default: rc = DISP_E_MEMBERNOTFOUND;
  }
  return rc;
}

void Control2D::Fire(DISPID event, NMPLOTWERK& nm) {
  nm.hdr.hwndFrom = m_hWnd;
  nm.hdr.idFrom = UINT_PTR(::GetDlgCtrlID(m_hWnd));
  nm.hdr.code = PwnCode(event);
  nm.event = event;
  HWND parent = ::GetParent(m_hWnd);
  if (parent) ::SendMessage(parent, WM_NOTIFY, WPARAM(nm.hdr.idFrom), reinterpret_cast<LPARAM>(&nm));
}

void Control2D::ToDrawing(long id, int px, int py, double& x, double& y) const {
  RECT r{};
  ::GetClientRect(m_hWnd, &r);
  View2D view(m_scene, r);
  double vx, vy;
  view.ToView(px, py, vx, vy);
  x = vx;
  y = vy;
  // The picked item's own drawing coordinates (the last transform when nothing is picked).
  int transform = int(m_scene.Transforms().size()) - 1;
  for (const Item2D& item : m_scene.Items())
    if (id != 0 && item.id == id) {
      transform = item.transform;
      break;
    }
  m_scene.Transforms()[std::size_t(transform)].Inverse(vx, vy, x, y);
}

LRESULT Control2D::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: Paint(m_hWnd, &Draw2D, &m_scene); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: {
      RECT r{};
      ::GetClientRect(m_hWnd, &r);
      int px = GET_X_LPARAM(lParam), py = GET_Y_LPARAM(lParam);
      long id = View2D(m_scene, r).HitTest(px, py);
      if (id == 0) return 0;
      m_dragId = id;
      ::SetCapture(m_hWnd);
      NMPLOTWERK nm{};
      nm.objectId = id;
      ToDrawing(id, px, py, nm.x, nm.y);
      nm.shift = (wParam & MK_SHIFT) ? TRUE : FALSE;
      nm.control = (wParam & MK_CONTROL) ? TRUE : FALSE;
      Fire(event2d::ObjectPicked, nm);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (m_dragId != 0 && (wParam & MK_LBUTTON)) {
        NMPLOTWERK nm{};
        ToDrawing(m_dragId, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), nm.x, nm.y);
        Fire(event2d::DragMove, nm);
      }
      return 0;
    case WM_LBUTTONUP:
      if (m_dragId != 0) {
        m_dragId = 0;
        ::ReleaseCapture();
        NMPLOTWERK nm{};
        Fire(event2d::DragEnd, nm);
      }
      return 0;
    case WM_RBUTTONUP: {
      if (m_scene.menu.empty()) return 0;
      HMENU menu = ::CreatePopupMenu();
      for (const MenuItem2D& item : m_scene.menu)
        ::AppendMenu(menu, item.separator ? MF_SEPARATOR : (MF_STRING | (item.checked ? MF_CHECKED : 0)),
                     UINT_PTR(item.command), item.text.c_str());
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ::ClientToScreen(m_hWnd, &p);
      int command = int(::TrackPopupMenu(menu, TPM_RETURNCMD, p.x, p.y, 0, m_hWnd, nullptr));
      ::DestroyMenu(menu);
      if (command != 0) {
        NMPLOTWERK nm{};
        nm.value = command;
        Fire(event2d::ControlCommand, nm);
      }
      return 0;
    }
    default: return ::DefWindowProc(m_hWnd, msg, wParam, lParam);
  }
}

bool Control2D::SavePng(const std::string& path, int width, int height) const {
  return WritePicture(RenderOffscreen(width, height, 0xFFFFFF, &Draw2D, &m_scene), width, height, path);
}

// ---- 3D --------------------------------------------------------------------------------------------------------
Control3D* Control3D::FromHandle(HWND wnd) {
  auto& all = Instances<Control3D>();
  auto it = all.find(wnd);
  return it == all.end() ? nullptr : it->second.get();
}

long Control3D::Invoke(DISPID member, WORD kind, const Args& a, Variant* result) {
  (void)kind;
  auto R = [&](int i) { return a[std::size_t(i)].r; };
  auto S = [&](int i) { return a[std::size_t(i)].s; };
  long rc = S_DISP_OK;
  Scene3D& s = m_scene;
  switch (member) {
    case id3d::EndScene:
      if ((rc = CheckArgs(a, {})) == S_DISP_OK) {
        m_ended = true;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
      }
      break;
    case id3d::AddLine:
      if ((rc = CheckArgs(a, {T::R4Ref, T::Bool, T::Bool})) == S_DISP_OK)
        s.Add(a[1].i && a[2].i ? Kind3D::Box : Kind3D::Line, {V3(a[0]), V3(a[0], 3)});
      break;
    case id3d::CreateSection:
      if ((rc = CheckArgs(a, {T::I4, T::R4Ref})) == S_DISP_OK) {
        std::vector<std::array<double, 2>> contour;
        for (long i = 0; i < a[0].i; ++i) contour.push_back({a[1].r4[2 * i], a[1].r4[2 * i + 1]});
        int handle = a[0].i > 0 ? s.CreateSection(contour) : 0;
        if (result) *result = Variant::I4(handle);
      }
      break;
    case id3d::AddExtrusion:
      if ((rc = CheckArgs(a, {T::R4Ref, T::R4Ref, T::I4, T::I4, T::R4})) == S_DISP_OK) {
        Item3D& item = s.Add(Kind3D::Extrusion, {V3(a[0]), V3(a[1])}, {R(4)});
        item.section1 = int(a[2].i);
        item.section2 = int(a[3].i);
      }
      break;
    case id3d::SetExtent:
      if ((rc = CheckArgs(a, {T::I2, T::I2, T::I2, T::I2})) == S_DISP_OK) Extent(m_hWnd, a);
      break;
    case id3d::SetBackColor:
      if ((rc = CheckArgs(a, {T::I4})) == S_DISP_OK) s.background = COLORREF(a[0].i);
      break;
    case id3d::AddPointLoad:
      if ((rc = CheckArgs(a, {T::R4Ref, T::R4Ref, T::R4, T::R4, T::String})) == S_DISP_OK)
        s.Add(Kind3D::PointLoad, {V3(a[0]), V3(a[1])}, {R(2), R(3)}, {S(4)});
      break;
    case id3d::AddLineLoad:
      if ((rc = CheckArgs(a, {T::R4Ref, T::R4Ref, T::R4Ref, T::R4, T::R4, T::R4, T::I4, T::String, T::String})) ==
          S_DISP_OK)
        s.Add(Kind3D::LineLoad, {V3(a[0]), V3(a[1]), V3(a[2])}, {R(3), R(4), R(5), double(a[6].i)}, {S(7), S(8)});
      break;
    case id3d::SetStyle:
      if ((rc = CheckArgs(a, {T::I4, T::Bool, T::String, T::I2, T::R4})) == S_DISP_OK) {
        s.style.colour = COLORREF(a[0].i);
        s.style.emphasis = BOOL(a[1].i);
        s.style.font = S(2);
        s.style.fontSize = int(a[3].i);
        s.style.textHeight = R(4);
        if (!S(2).empty()) {
          s.titleFont = S(2);
          if (a[3].i > 0) s.titleSize = int(a[3].i);
        }
      }
      break;
    case id3d::AddText:
      if ((rc = CheckArgs(a, {T::R4Ref, T::R4Ref, T::String, T::Bool})) == S_DISP_OK)
        s.Add(Kind3D::Text, {V3(a[0]), V3(a[1])}, {a[3].i != 0 ? 1.0 : 0.0}, {S(2)});
      break;
    case id3d::AddQuad:
      if ((rc = CheckArgs(a, {T::R4Ref, T::R4Ref, T::R4Ref, T::R4Ref, T::String})) == S_DISP_OK)
        s.Add(Kind3D::Quad, {V3(a[0]), V3(a[1]), V3(a[2]), V3(a[3])}, {}, {S(4)});
      break;
    case id3d::Invoke19:
      if ((rc = CheckArgs(a, {T::I4, T::Bool, T::I2, T::R4})) == S_DISP_OK) {
        s.style.lineColour = COLORREF(a[0].i);
        s.style.lineWidth = std::max(1, int(a[2].i));
      }
      break;
    case id3d::SetTitle:
      if ((rc = CheckArgs(a, {T::I2, T::String})) == S_DISP_OK) {
        s.titlePosition = int(a[0].i);
        s.title = S(1);
        s.titleHeight = s.style.textHeight;
      }
      break;
    case id3d::Invoke21:
      if ((rc = CheckArgs(a, {T::R4Ref, T::R4Ref, T::R4, T::String, T::String, T::String})) == S_DISP_OK)
        s.Add(Kind3D::Moment, {V3(a[0]), V3(a[1])}, {R(2)}, {S(3), S(4), S(5)});
      break;
    case id3d::AddSupport:
      if ((rc = CheckArgs(a, {T::R4Ref, T::R4Ref, T::R4Ref, T::R4, T::Bool})) == S_DISP_OK)
        s.Add(Kind3D::Support, {V3(a[0]), V3(a[1]), V3(a[2])}, {R(3)});
      break;
    case id3d::Refresh:
      if ((rc = CheckArgs(a, {T::Bool, T::Bool, T::Bool})) == S_DISP_OK) {
        s.Clear(a[0].i != 0);
        m_ended = false;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
      }
      break;
    case id3d::SaveImage:
      if ((rc = CheckArgs(a, {T::String})) == S_DISP_OK) {
        SIZE size = ClientSize(m_hWnd, SIZE{300, 500});
        bool ok = !S(0).empty() && s.SaveImage(S(0), size.cx, size.cy);
        if (result) *result = Variant::Bool(ok);
      }
      break;
    default: rc = DISP_E_MEMBERNOTFOUND;
  }
  return rc;
}

Layout3D Control3D::CurrentLayout() const {
  RECT r{};
  ::GetClientRect(m_hWnd, &r);
  HDC dc = ::GetDC(m_hWnd);
  Layout3D layout = m_scene.Layout(dc, r, m_scene.Tessellate());
  ::ReleaseDC(m_hWnd, dc);
  return layout;
}

LRESULT Control3D::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: Paint(m_hWnd, &Draw3D, &m_scene); return 0;
    case WM_ERASEBKGND: return 1;
    // The person turns the view by dragging and zooms it with the wheel; the next Refresh with its first argument
    // set goes back to the default view.
    case WM_LBUTTONDOWN:
      m_turning = true;
      m_last = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ::SetCapture(m_hWnd);
      return 0;
    case WM_MOUSEMOVE:
      if (m_turning && (wParam & MK_LBUTTON)) {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (p.x != m_last.x || p.y != m_last.y) {
          m_scene.Turn(int(p.x - m_last.x), int(p.y - m_last.y));
          m_last = p;
          ::InvalidateRect(m_hWnd, nullptr, TRUE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (m_turning && ::GetCapture() == m_hWnd) ::ReleaseCapture();
      m_turning = false;
      return 0;
    case WM_CAPTURECHANGED: m_turning = false; return 0;
    case WM_LBUTTONDBLCLK:
      m_scene.ResetView();
      ::InvalidateRect(m_hWnd, nullptr, TRUE);
      return 0;
    case WM_MOUSEWHEEL:
      m_scene.ZoomBy(double(SHORT(HIWORD(wParam))) / WHEEL_DELTA);
      ::InvalidateRect(m_hWnd, nullptr, TRUE);
      return 0;
    default: return ::DefWindowProc(m_hWnd, msg, wParam, lParam);
  }
}

}  // namespace plotwerk
