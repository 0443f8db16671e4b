// Drawing primitives of the engine's pictures (progress lines, closing notes, report sketches).
// Coordinates in device units; colours 0x00BBGGRR.
#pragma once

#include "platform/win/draw/afxgdi.h"

// Suppresses the end marks of ZeichneEndpunkte.
extern int g_keineEndpunkte;

// One-pixel marks at both ends of the segment (x1, y1) - (x2, y2), drawn with the current pen.
void ZeichneEndpunkte(CDC* dc, int x1, int y1, int x2, int y2);
// A one-pixel line; style 1 to 4 dashed, dotted, dash-dot, dash-dot-dot, anything else solid.
void ZeichneLinie(CDC* dc, int x1, int y1, int x2, int y2, COLORREF colour, int style);
// A polygon filled with a solid brush (outline with the current pen).
void ZeichnePolygon(CDC* dc, const POINT* points, int n, COLORREF colour);
// A filled circle of radius r around (x, y).
void ZeichneKreis(CDC* dc, int x, int y, int r, COLORREF colour);
// Text in "Arial" of the given height, turned by angle (degrees); TA_BOTTOM is added to the alignment.
void ZeichneText(CDC* dc, int x, int y, const char* text, int height, float angle, UINT alignment, COLORREF colour);
void ZeichneTextAusgerichtet(CDC* dc, int x, int y, UINT alignment, float angle, int height, const char* text,
                             COLORREF colour);
// Lines from each point to the next over the first |n| points; n negative closes the polyline.
void ZeichnePolylinie(CDC* dc, const POINT* points, int n, COLORREF colour, int style);
