#include "platform/plotwerk/gdiutil.h"

#include <cmath>

namespace plotwerk {

GdiStyle::GdiStyle(HDC dc, COLORREF colour, int line, int fill, BOOL outline, int width) : m_dc(dc) {
  static const int kPens[] = {PS_SOLID, PS_DASH, PS_DASHDOT, PS_DOT, PS_NULL};
  int penStyle = kPens[line >= 0 && line <= 4 ? line : 0];
  bool filled = fill >= 0 && fill <= 2;
  m_pen = ::CreatePen(penStyle, width, filled && outline ? 0 : colour);
  if (fill == 0)
    m_brush = ::CreateSolidBrush(colour);
  else if (fill == 1)
    m_brush = ::CreateHatchBrush(HS_BDIAGONAL, colour);
  else if (fill == 2)
    m_brush = ::CreateHatchBrush(HS_DIAGCROSS, colour);
  else
    m_brush = nullptr;
  m_oldPen = ::SelectObject(dc, m_pen);
  m_oldBrush = ::SelectObject(dc, m_brush ? HGDIOBJ(m_brush) : ::GetStockObject(NULL_BRUSH));
}

GdiStyle::GdiStyle(HDC dc, COLORREF pen, COLORREF brush, int width) : m_dc(dc) {
  m_pen = ::CreatePen(PS_SOLID, width, pen);
  m_brush = ::CreateSolidBrush(brush);
  m_oldPen = ::SelectObject(dc, m_pen);
  m_oldBrush = ::SelectObject(dc, m_brush);
}

GdiStyle::~GdiStyle() {
  ::SelectObject(m_dc, m_oldPen);
  ::SelectObject(m_dc, m_oldBrush);
  ::DeleteObject(m_pen);
  if (m_brush) ::DeleteObject(m_brush);
}

void DrawLine(HDC dc, POINT a, POINT b) {
  ::MoveToEx(dc, a.x, a.y, nullptr);
  ::LineTo(dc, b.x, b.y);
}

void DrawText(HDC dc, POINT p, const std::string& text, double angle, int pixelHeight, COLORREF colour, int align,
              const char* face) {
  if (text.empty()) return;
  int tenths = int(std::lround(angle * 10.0));
  HFONT font = ::CreateFont(-pixelHeight, 0, tenths, tenths, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face);
  HGDIOBJ old = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  UINT oldAlign = ::SetTextAlign(dc, TA_BASELINE | (align == 1 ? TA_CENTER : align == 2 ? TA_RIGHT : TA_LEFT));
  ::TextOut(dc, p.x, p.y, text.c_str(), int(text.size()));
  ::SetTextAlign(dc, oldAlign);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
}

RECT TextBox(HDC dc, const std::string& text, int pixelHeight, const char* face) {
  HFONT font = ::CreateFont(-pixelHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
  TEXTMETRIC tm{};
  ::GetTextMetrics(dc, &tm);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
  return RECT{0, -tm.tmAscent, size.cx, tm.tmDescent};
}

}  // namespace plotwerk
