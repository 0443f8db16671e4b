// The 2D and 3D graphics controls as window classes of the window system. A dialog template or a wrapper creates
// them by their class id; callers reach their members late-bound (dispatch.h) with the dispatch ids below, and the
// 2D control reports picks, drags and commands to its parent as WM_NOTIFY messages carrying NMPLOTWERK.
#pragma once

#include <memory>

#include "platform/plotwerk/dispatch.h"
#include "platform/plotwerk/scene2d.h"
#include "platform/plotwerk/scene3d.h"

namespace plotwerk {

inline constexpr const char* kClassId3D = "{6DD8540C-96A5-4BDF-8975-056298C0C093}";
inline constexpr const char* kClassId2D = "{ACFAC474-4C4B-4533-BF4D-45F99363B503}";

// Registers both window classes (once; later calls do nothing).
void RegisterControlClasses();

// Dispatch ids of the 2D control.
namespace id2d {
enum : DISPID {
  Clear = 1,
  AddLine = 3,
  AddPolygon = 5,
  AddRectangle = 6,
  AddText = 7,
  Invoke08 = 8,
  AddValueLabel = 9,
  Invoke11 = 11,
  Invoke12 = 12,
  Refresh = 15,
  SetExtent = 16,
  Invoke17 = 17,
  MoveObject = 18,
  SetObjectId = 21,
  AddPointLoad = 22,
  AddLineLoad = 23,
  AddTriangle = 24,
  Invoke30 = 30,
  Invoke34 = 34,
  SetStyle = 35,
  SetObjectStyle = 37,
  SetTitle = 38,
  Invoke39 = 39,
  Invoke40 = 40,
  Invoke45 = 45,
  AddMenuItem = 53,
  Invoke54 = 54,
  Invoke55 = 55
};
}
// Dispatch ids of the 3D control.
namespace id3d {
enum : DISPID {
  EndScene = 1,
  AddLine = 4,
  CreateSection = 5,
  AddExtrusion = 6,
  SetExtent = 7,
  SetBackColor = 12,
  AddPointLoad = 13,
  AddLineLoad = 14,
  SetStyle = 16,
  AddQuad = 18,
  Invoke19 = 19,
  SetTitle = 20,
  Invoke21 = 21,
  AddSupport = 22,
  Refresh = 23,
  SaveImage = 33,
  AddText = 34
};
}

// Events of the 2D control (dispatch ids) and the notification codes they arrive with.
namespace event2d {
enum : DISPID { DragMove = 2, ObjectPicked = 3, DragEnd = 4, ControlCommand = 7 };
}
inline constexpr UINT PWN_FIRST = 0u - 2900u;
constexpr UINT PwnCode(DISPID event) { return PWN_FIRST - UINT(event); }
inline constexpr UINT PWN_DRAGMOVE = PwnCode(event2d::DragMove);
inline constexpr UINT PWN_OBJECTPICKED = PwnCode(event2d::ObjectPicked);
inline constexpr UINT PWN_DRAGEND = PwnCode(event2d::DragEnd);
inline constexpr UINT PWN_CONTROLCOMMAND = PwnCode(event2d::ControlCommand);

struct NMPLOTWERK {
  NMHDR hdr;
  DISPID event = 0;
  long objectId = 0;                    // OnObjectPicked
  double x = 0, y = 0;                  // OnObjectPicked, OnDragMove: drawing coordinates of the picked item
  BOOL shift = FALSE, control = FALSE;  // OnObjectPicked: keys held
  long value = 0;                       // OnControlCommand
};

class Control2D : public IDispatchTarget {
 public:
  explicit Control2D(HWND wnd) : m_hWnd(wnd) {}
  long Invoke(DISPID member, WORD kind, const Args& args, Variant* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

  static Control2D* FromHandle(HWND wnd);
  Scene2D& Scene() { return m_scene; }
  HWND Hwnd() const { return m_hWnd; }
  // The drawing as a PNG picture of the given size.
  bool SavePng(const std::string& path, int width, int height) const;

 private:
  void Fire(DISPID event, NMPLOTWERK& nm);
  void ToDrawing(long id, int px, int py, double& x, double& y) const;
  HWND m_hWnd;
  Scene2D m_scene;
  long m_dragId = 0;
};

class Control3D : public IDispatchTarget {
 public:
  explicit Control3D(HWND wnd) : m_hWnd(wnd) {}
  long Invoke(DISPID member, WORD kind, const Args& args, Variant* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

  static Control3D* FromHandle(HWND wnd);
  Scene3D& Scene() { return m_scene; }
  HWND Hwnd() const { return m_hWnd; }
  // True once member 1 ended a drawing after the last Refresh.
  bool SceneEnded() const { return m_ended; }
  // The view as the window shows it now (turned and zoomed by the person).
  Layout3D CurrentLayout() const;

 private:
  HWND m_hWnd;
  Scene3D m_scene;
  bool m_ended = false;
  bool m_turning = false;  // the left button went down in the view and is held
  POINT m_last{};
};

}  // namespace plotwerk
