#include "framework_ui/plotwerk.h"

#include <memory>

#include "platform/pictor/pictor.h"
#include "platform/plotwerk/controls.h"

using plotwerk::Variant;
namespace id2d = plotwerk::id2d;
namespace id3d = plotwerk::id3d;

IMPLEMENT_DYNAMIC(CPlotwerkWnd, CWnd)
IMPLEMENT_DYNCREATE(CPlotwerk3D, CPlotwerkWnd)
IMPLEMENT_DYNCREATE(CPlotwerk2D, CPlotwerkWnd)

namespace {
Variant R4(float v) { return Variant::R4(v); }
Variant R8(double v) { return Variant::R8(v); }
Variant I2(short v) { return Variant::I2(v); }
Variant I4(long v) { return Variant::I4(v); }
Variant B(BOOL v) { return Variant::Bool(v); }
Variant S(LPCSTR v) { return Variant::Str(v); }
Variant A(const float* v) { return Variant::R4Array(*v); }
Variant A(const double* v) { return Variant::R8Array(*v); }

// The report's picture library draws with these wrappers; it learns how to make them when this library is loaded.
template <class Control>
void DropControl(Control* control) {
  if (control && control->m_hWnd) control->DestroyWindow();
  delete control;
}
template <class Control>
Control* MakeControl(CWnd* parent, const RECT& rect) {
  auto control = std::make_unique<Control>();
  if (control->Create("", WS_VISIBLE, rect, parent, 1)) return control.release();
  DropControl(control.release());
  return nullptr;
}
const bool kPictorControls = (pictor::SetControlFactory({&MakeControl<CPlotwerk3D>, &MakeControl<CPlotwerk2D>,
                                                         &DropControl<CPlotwerk3D>, &DropControl<CPlotwerk2D>}),
                              true);
}  // namespace

BOOL CPlotwerkWnd::CreateControl(const char* classId, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                                 UINT id) {
  plotwerk::RegisterControlClasses();
  return CWnd::Create(classId, windowName, style | WS_CHILD, rect, parent, id);
}

void CPlotwerkWnd::Call(plotwerk::DISPID member, plotwerk::Args args, Variant* result) {
  m_lastResult = plotwerk::Invoke(m_hWnd, member, plotwerk::DISPATCH_METHOD, args, result);
}

// ---- 3D ----------------------------------------------------------------------------------------------------------
const char* CPlotwerk3D::GetClsid() { return plotwerk::kClassId3D; }

BOOL CPlotwerk3D::Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateControl(GetClsid(), windowName, style, rect, parent, id);
}

void CPlotwerk3D::EndScene() { Call(id3d::EndScene, {}); }
void CPlotwerk3D::AddLine(const float* points, BOOL flag1, BOOL flag2) {
  Call(id3d::AddLine, {A(points), B(flag1), B(flag2)});
}
long CPlotwerk3D::CreateSection(long count, const float* points) {
  Variant result;
  Call(id3d::CreateSection, {I4(count), A(points)}, &result);
  return result.vt == plotwerk::VarType::I4 ? result.i : 0;
}
void CPlotwerk3D::AddExtrusion(const float* start, const float* end, long startSection, long endSection, float twist) {
  Call(id3d::AddExtrusion, {A(start), A(end), I4(startSection), I4(endSection), R4(twist)});
}
void CPlotwerk3D::SetExtent(short x, short y, short width, short height) {
  Call(id3d::SetExtent, {I2(x), I2(y), I2(width), I2(height)});
}
void CPlotwerk3D::SetBackColor(long colour) { Call(id3d::SetBackColor, {I4(colour)}); }
void CPlotwerk3D::AddPointLoad(const float* point, const float* direction, float head, float length, LPCSTR text) {
  Call(id3d::AddPointLoad, {A(point), A(direction), R4(head), R4(length), S(text)});
}
void CPlotwerk3D::AddLineLoad(const float* start, const float* end, const float* direction, float head, float length1,
                              float length2, long arrows, LPCSTR text1, LPCSTR text2) {
  Call(id3d::AddLineLoad,
       {A(start), A(end), A(direction), R4(head), R4(length1), R4(length2), I4(arrows), S(text1), S(text2)});
}
void CPlotwerk3D::SetStyle(long colour, BOOL flag, LPCSTR fontName, short fontSize, float textHeight) {
  Call(id3d::SetStyle, {I4(colour), B(flag), S(fontName), I2(fontSize), R4(textHeight)});
}
void CPlotwerk3D::AddQuad(const float* p1, const float* p2, const float* p3, const float* p4, LPCSTR text) {
  Call(id3d::AddQuad, {A(p1), A(p2), A(p3), A(p4), S(text)});
}
void CPlotwerk3D::Invoke19(long colour, BOOL flag, short width, float value) {
  Call(id3d::Invoke19, {I4(colour), B(flag), I2(width), R4(value)});
}
void CPlotwerk3D::SetTitle(short position, LPCSTR text) { Call(id3d::SetTitle, {I2(position), S(text)}); }
void CPlotwerk3D::AddText(const float* point, const float* away, LPCSTR text, BOOL yields) {
  Call(id3d::AddText, {A(point), A(away), S(text), B(yields)});
}
void CPlotwerk3D::Invoke21(const float* point, const float* sizes, float head, LPCSTR text1, LPCSTR text2,
                           LPCSTR text3) {
  Call(id3d::Invoke21, {A(point), A(sizes), R4(head), S(text1), S(text2), S(text3)});
}
void CPlotwerk3D::AddSupport(const float* position, const float* restraints, const float* further, float size,
                             BOOL flag) {
  Call(id3d::AddSupport, {A(position), A(restraints), A(further), R4(size), B(flag)});
}
void CPlotwerk3D::Refresh(BOOL resetView, BOOL flag2, BOOL flag3) {
  Call(id3d::Refresh, {B(resetView), B(flag2), B(flag3)});
}
void CPlotwerk3D::SaveImage(LPCSTR fileName) { Call(id3d::SaveImage, {S(fileName)}); }

// ---- 2D ----------------------------------------------------------------------------------------------------------
const char* CPlotwerk2D::GetClsid() { return plotwerk::kClassId2D; }

BOOL CPlotwerk2D::Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateControl(GetClsid(), windowName, style, rect, parent, id);
}

void CPlotwerk2D::Clear() { Call(id2d::Clear, {}); }
void CPlotwerk2D::AddLine(double x1, double y1, double x2, double y2) {
  Call(id2d::AddLine, {R8(x1), R8(y1), R8(x2), R8(y2)});
}
void CPlotwerk2D::AddPolygon(long count, const double* x, const double* y) {
  Call(id2d::AddPolygon, {I4(count), A(x), A(y)});
}
void CPlotwerk2D::AddRectangle(double x1, double y1, double x2, double y2) {
  Call(id2d::AddRectangle, {R8(x1), R8(y1), R8(x2), R8(y2)});
}
void CPlotwerk2D::AddText(double x, double y, double angle, double height, LPCSTR text) {
  Call(id2d::AddText, {R8(x), R8(y), R8(angle), R8(height), S(text)});
}
void CPlotwerk2D::Invoke08(double x, double y, double angle, short size, LPCSTR text) {
  Call(id2d::Invoke08, {R8(x), R8(y), R8(angle), I2(size), S(text)});
}
void CPlotwerk2D::AddValueLabel(double x, double y, double labelX, double labelY, double height, double angle,
                                LPCSTR text) {
  Call(id2d::AddValueLabel, {R8(x), R8(y), R8(labelX), R8(labelY), R8(height), R8(angle), S(text)});
}
void CPlotwerk2D::Invoke11(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                           LPCSTR text, short a, BOOL b, short c) {
  Call(id2d::Invoke11, {R8(x1), R8(y1), R8(x2), R8(y2), R8(x3), R8(y3), R8(x4), R8(y4), S(text), I2(a), B(b), I2(c)});
}
void CPlotwerk2D::Invoke12(double x1, double y1, double x2, double y2, double offsetX, double offsetY, short fontSize,
                           double size, LPCSTR text, short a, BOOL b, short c) {
  Call(id2d::Invoke12,
       {R8(x1), R8(y1), R8(x2), R8(y2), R8(offsetX), R8(offsetY), I2(fontSize), R8(size), S(text), I2(a), B(b), I2(c)});
}
void CPlotwerk2D::Refresh() { Call(id2d::Refresh, {}); }
void CPlotwerk2D::SetExtent(short x, short y, short width, short height) {
  Call(id2d::SetExtent, {I2(x), I2(y), I2(width), I2(height)});
}
void CPlotwerk2D::Invoke17(BOOL on) { Call(id2d::Invoke17, {B(on)}); }
void CPlotwerk2D::MoveObject(long id, double dx, double dy) { Call(id2d::MoveObject, {I4(id), R8(dx), R8(dy)}); }
void CPlotwerk2D::SetObjectId(long id, long kind) { Call(id2d::SetObjectId, {I4(id), I4(kind)}); }
void CPlotwerk2D::AddPointLoad(float x, float y, float dx, float dy, float length, LPCSTR text) {
  Call(id2d::AddPointLoad, {R4(x), R4(y), R4(dx), R4(dy), R4(length), S(text)});
}
void CPlotwerk2D::AddLineLoad(float x1, float y1, float x2, float y2, float dx, float dy, float length1, float length2,
                              LPCSTR text1, LPCSTR text2) {
  Call(id2d::AddLineLoad,
       {R4(x1), R4(y1), R4(x2), R4(y2), R4(dx), R4(dy), R4(length1), R4(length2), S(text1), S(text2)});
}
void CPlotwerk2D::AddTriangle(double x1, double y1, double x2, double y2, double x3, double y3) {
  Call(id2d::AddTriangle, {R8(x1), R8(y1), R8(x2), R8(y2), R8(x3), R8(y3)});
}
void CPlotwerk2D::Invoke30(LPCSTR text, short size, short value) {
  Call(id2d::Invoke30, {S(text), I2(size), I2(value)});
}
void CPlotwerk2D::Invoke34(double x1, double y1, double x2, double y2) {
  Call(id2d::Invoke34, {R8(x1), R8(y1), R8(x2), R8(y2)});
}
void CPlotwerk2D::SetStyle(long colour, long line, long fill, BOOL flag) {
  Call(id2d::SetStyle, {I4(colour), I4(line), I4(fill), B(flag)});
}
void CPlotwerk2D::SetObjectStyle(long id, long colour, long line, long fill) {
  Call(id2d::SetObjectStyle, {I4(id), I4(colour), I4(line), I4(fill)});
}
void CPlotwerk2D::SetTitle(LPCSTR text) { Call(id2d::SetTitle, {S(text)}); }
void CPlotwerk2D::Invoke39(double ox, double oy, double xx, double xy, double yx, double yy) {
  Call(id2d::Invoke39, {R8(ox), R8(oy), R8(xx), R8(xy), R8(yx), R8(yy)});
}
void CPlotwerk2D::Invoke40(double x, double y, double dx, double dy, double size, LPCSTR text) {
  Call(id2d::Invoke40, {R8(x), R8(y), R8(dx), R8(dy), R8(size), S(text)});
}
void CPlotwerk2D::Invoke45(double x, double y, double dx, double dy, double spring, double fixity, double rotation,
                           BOOL flag) {
  Call(id2d::Invoke45, {R8(x), R8(y), R8(dx), R8(dy), R8(spring), R8(fixity), R8(rotation), B(flag)});
}
void CPlotwerk2D::AddMenuItem(LPCSTR text, long command, BOOL checked, BOOL separator) {
  Call(id2d::AddMenuItem, {S(text), I4(command), B(checked), B(separator)});
}
void CPlotwerk2D::Invoke54(BOOL axes, BOOL flag, LPCSTR nameX, BOOL flag2, LPCSTR nameY) {
  Call(id2d::Invoke54, {B(axes), B(flag), S(nameX), B(flag2), S(nameY)});
}
void CPlotwerk2D::Invoke55() { Call(id2d::Invoke55, {}); }

double CPlotwerk2D::ViewScale() {
  CRect client;
  GetClientRect(&client);
  plotwerk::Control2D* control = plotwerk::Control2D::FromHandle(GetSafeHwnd());
  if (!control || client.Width() < 40 || client.Height() < 40) return 0.0;
  const plotwerk::View2D view(control->Scene(), RECT(client));
  return view.Scale() > 0 ? view.Scale() : 0.0;
}
