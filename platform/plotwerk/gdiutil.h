// Small drawing helpers shared by the 2D and 3D controls: a pen and brush for a style, selected for one scope,
// lines and rotated texts.
#pragma once

#include <string>

#include "platform/win/winapi.h"

namespace plotwerk {

// Selects a pen (line code 0 solid, 1 dashed, 2 dash-dot, 3 dotted, 4 none) and a brush (fill code 0 solid,
// 1 hatched, 2 cross-hatched, 3 and above hollow) into the DC; restores the previous ones when it ends. A set
// outline flag draws the outline of filled items in black.
class GdiStyle {
 public:
  GdiStyle(HDC dc, COLORREF colour, int line, int fill, BOOL outline, int width = 1);
  // A pen of one colour and a solid brush of another.
  GdiStyle(HDC dc, COLORREF pen, COLORREF brush, int width);
  ~GdiStyle();
  GdiStyle(const GdiStyle&) = delete;
  GdiStyle& operator=(const GdiStyle&) = delete;

 private:
  HDC m_dc;
  HPEN m_pen;
  HBRUSH m_brush;
  HGDIOBJ m_oldPen;
  HGDIOBJ m_oldBrush;
};

void DrawLine(HDC dc, POINT a, POINT b);
// A text on its baseline from p (align 0), centred on p (1) or ending at p (2), turned by angle degrees
// counter-clockwise.
void DrawText(HDC dc, POINT p, const std::string& text, double angle, int pixelHeight, COLORREF colour, int align = 0,
              const char* face = "Arial");
// The box an unturned text of DrawText takes, relative to its baseline point with align 0: from 0 to its width
// across, from -ascent to +descent down.
RECT TextBox(HDC dc, const std::string& text, int pixelHeight, const char* face = "Arial");

}  // namespace plotwerk
