#include "engine/zeichnen.h"

#include <cstring>

#include "engine/utilities.h"

int g_keineEndpunkte = 0;

void ZeichneEndpunkte(CDC* dc, int x1, int y1, int x2, int y2)
{
    if (g_keineEndpunkte)
        return;
    dc->MoveTo(x1, y1);
    dc->LineTo(x1 + 1, y1);
    dc->MoveTo(x2 - 1, y2);
    dc->LineTo(x2, y2);
}

void ZeichneLinie(CDC* dc, int x1, int y1, int x2, int y2, COLORREF colour, int style)
{
    int penStyle = PS_SOLID;
    switch (style) {
    case 1: penStyle = PS_DASH; break;
    case 2: penStyle = PS_DOT; break;
    case 3: penStyle = PS_DASHDOT; break;
    case 4: penStyle = PS_DASHDOTDOT; break;
    default: break;
    }
    CPen pen;
    pen.CreatePen(penStyle, 1, colour);
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
    dc->SelectObject(old);
}

void ZeichnePolygon(CDC* dc, const POINT* points, int n, COLORREF colour)
{
    CBrush brush;
    brush.CreateSolidBrush(colour);
    CBrush* old = dc->SelectObject(&brush);
    dc->Polygon(points, n);
    dc->SelectObject(old);
}

void ZeichneKreis(CDC* dc, int x, int y, int r, COLORREF colour)
{
    CBrush brush;
    brush.CreateSolidBrush(colour);
    CBrush* old = dc->SelectObject(&brush);
    dc->Ellipse(x - r, y - r, x + r, y + r);
    dc->SelectObject(old);
}

void ZeichneText(CDC* dc, int x, int y, const char* text, int height, float angle, UINT alignment, COLORREF colour)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfEscapement = lf.lfOrientation = RundeF(angle) * 10;
    std::strncpy(lf.lfFaceName, "Arial", LF_FACESIZE - 1);
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* old = dc->SelectObject(&font);
    const UINT oldAlign = dc->SetTextAlign(alignment | TA_BOTTOM);
    const COLORREF oldColour = dc->SetTextColor(colour);
    dc->TextOut(x, y, text, static_cast<int>(std::strlen(text)));
    dc->SetTextColor(oldColour);
    dc->SetTextAlign(oldAlign);
    dc->SelectObject(old);
}

void ZeichneTextAusgerichtet(CDC* dc, int x, int y, UINT alignment, float angle, int height, const char* text,
                             COLORREF colour)
{
    ZeichneText(dc, x, y, text, height, angle, alignment, colour);
}

void ZeichnePolylinie(CDC* dc, const POINT* points, int n, COLORREF colour, int style)
{
    const int count = n < 0 ? -n : n;
    for (int i = 0; i + 1 < count; ++i)
        ZeichneLinie(dc, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, colour, style);
    if (n < 0 && count > 1)
        ZeichneLinie(dc, points[count - 1].x, points[count - 1].y, points[0].x, points[0].y, colour, style);
}
