// The picture library of the report: one picture at a time, a graphics control in a hidden window, drawn through
// its wrapper and written to a file with the control's own save call (a bitmap of the 3D view, a metafile of the
// 2D drawing). Loading the library teaches the RTF writer to embed those files.
#pragma once

#include <string>
#include <vector>

#include "platform/win/window/afxwnd.h"

class CPlotwerk2D;
namespace plotwerk {
class Scene2D;
}
class CPlotwerk3D;

extern "C" {
// A new picture of width x height pixels with a 3D / 2D control (hidden when the flag is set); it replaces the
// picture made before. Returns 1, or 0 when the control could not be created.
int Pictor_Create3D(int width, int height, int hidden);
int Pictor_Create2D(int width, int height, int hidden);
// The control of the current picture; nullptr when there is none of that kind.
CPlotwerk3D* Pictor_GetPlotwerk3DPtr();
CPlotwerk2D* Pictor_GetPlotwerk2DPtr();
// Destroys the current picture.
void Pictor_Destroy();
}

namespace pictor {

// How the library makes and destroys the controls of its pictures. The graphics control wrappers live above the
// platform and register these when they are loaded; without them no picture can be made.
struct ControlFactory {
  CPlotwerk3D* (*create3D)(CWnd* parent, const RECT& rect) = nullptr;
  CPlotwerk2D* (*create2D)(CWnd* parent, const RECT& rect) = nullptr;
  void (*destroy3D)(CPlotwerk3D* control) = nullptr;
  void (*destroy2D)(CPlotwerk2D* control) = nullptr;
};
void SetControlFactory(const ControlFactory& factory);

// Turns a picture file written by the controls (a 2D metafile or a BMP) into PNG bytes; false for other files.
// A metafile is drawn again for print: kPrintFactor times the control's width, as high as the drawing needs at
// that width, its texts at their drawing height.
bool ConvertToPng(const char* path, std::vector<unsigned char>& png);

inline constexpr int kPrintFactor = 3;
// The pixel size at which a metafile of a control of the given width is printed.
void PrintSize(const plotwerk::Scene2D& scene, int controlWidth, int& width, int& height);
// Centimetres on paper per drawing unit across a metafile's drawing of the given width (view units) when its
// picture is placed at the given width: the scale at which its texts and lines are printed.
double PrintedCmPerUnit(int controlWidth, double drawingWidth, double placedWidthCm);

}  // namespace pictor
