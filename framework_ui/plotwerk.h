// Window classes over the 2D and 3D graphics controls. Each wrapper is attached to a control window (created here
// from the control's class id, or placed by a dialog template and attached with DDX_Control) and turns each call
// into a late-bound call of the control's member with its fixed argument types. The wrappers hold no data.
#pragma once

#include "platform/plotwerk/dispatch.h"
#include "platform/win/afx.h"

class CPlotwerkWnd : public CWnd {
  DECLARE_DYNAMIC(CPlotwerkWnd)
 public:
  using CWnd::Create;
  // The result of the last call (0 when it was carried out).
  long GetLastDispatchResult() const { return m_lastResult; }

 protected:
  BOOL CreateControl(const char* classId, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  void Call(plotwerk::DISPID member, plotwerk::Args args, plotwerk::Variant* result = nullptr);
  long m_lastResult = 0;
};

class CPlotwerk3D : public CPlotwerkWnd {
  DECLARE_DYNCREATE(CPlotwerk3D)
 public:
  static const char* GetClsid();
  virtual BOOL Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Member 1: ends a drawing and shows it.
  void EndScene();
  // Two points (six floats); with both flags the box between them as opposite corners, else a line.
  void AddLine(const float* points, BOOL flag1, BOOL flag2);
  // A contour of n (x, y) pairs; returns its handle for AddExtrusion.
  long CreateSection(long count, const float* points);
  void AddExtrusion(const float* start, const float* end, long startSection, long endSection, float twist);
  void SetExtent(short x, short y, short width, short height);
  void SetBackColor(long colour);
  void AddPointLoad(const float* point, const float* direction, float head, float length, LPCSTR text);
  void AddLineLoad(const float* start, const float* end, const float* direction, float head, float length1,
                   float length2, long arrows, LPCSTR text1, LPCSTR text2);
  void SetStyle(long colour, BOOL flag, LPCSTR fontName, short fontSize, float textHeight);
  void AddQuad(const float* p1, const float* p2, const float* p3, const float* p4, LPCSTR text);
  void Invoke19(long colour, BOOL flag, short width, float value);
  void SetTitle(short position, LPCSTR text);
  void Invoke21(const float* point, const float* sizes, float head, LPCSTR text1, LPCSTR text2, LPCSTR text3);
  void AddSupport(const float* position, const float* restraints, const float* further, float size, BOOL flag);
  void Refresh(BOOL resetView, BOOL flag2, BOOL flag3);
  void SaveImage(LPCSTR fileName);
  // A text at a point, reading from it to the left or the right as the direction away is seen on the screen. A text
  // that yields (a reason where a value is missing) is shortened to the room the view has for it, never made room for.
  void AddText(const float* point, const float* away, LPCSTR text, BOOL yields);
};

class CPlotwerk2D : public CPlotwerkWnd {
  DECLARE_DYNCREATE(CPlotwerk2D)
 public:
  static const char* GetClsid();
  virtual BOOL Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  void Clear();
  void AddLine(double x1, double y1, double x2, double y2);
  void AddPolygon(long count, const double* x, const double* y);
  void AddRectangle(double x1, double y1, double x2, double y2);
  void AddText(double x, double y, double angle, double height, LPCSTR text);
  void Invoke08(double x, double y, double angle, short size, LPCSTR text);
  void AddValueLabel(double x, double y, double labelX, double labelY, double height, double angle, LPCSTR text);
  void Invoke11(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, LPCSTR text,
                short a, BOOL b, short c);
  void Invoke12(double x1, double y1, double x2, double y2, double offsetX, double offsetY, short fontSize, double size,
                LPCSTR text, short a, BOOL b, short c);
  void Refresh();
  void SetExtent(short x, short y, short width, short height);
  void Invoke17(BOOL on);
  void MoveObject(long id, double dx, double dy);
  void SetObjectId(long id, long kind);
  void AddPointLoad(float x, float y, float dx, float dy, float length, LPCSTR text);
  void AddLineLoad(float x1, float y1, float x2, float y2, float dx, float dy, float length1, float length2,
                   LPCSTR text1, LPCSTR text2);
  void AddTriangle(double x1, double y1, double x2, double y2, double x3, double y3);
  void Invoke30(LPCSTR text, short size, short value);
  void Invoke34(double x1, double y1, double x2, double y2);
  void SetStyle(long colour, long line, long fill, BOOL flag);
  void SetObjectStyle(long id, long colour, long line, long fill);
  void SetTitle(LPCSTR text);
  void Invoke39(double ox, double oy, double xx, double xy, double yx, double yy);
  void Invoke40(double x, double y, double dx, double dy, double size, LPCSTR text);
  void Invoke45(double x, double y, double dx, double dy, double spring, double fixity, double rotation, BOOL flag);
  void AddMenuItem(LPCSTR text, long command, BOOL checked, BOOL separator);
  void Invoke54(BOOL axes, BOOL flag, LPCSTR nameX, BOOL flag2, LPCSTR nameY);
  void Invoke55();
  // Pixels per drawing unit as the control shows its drawing now; 0 while it has no size (under 40 pixels).
  double ViewScale();
};
