// MFC-style drawing classes over GDI: device contexts and the objects drawn with.
#pragma once

#include <memory>

#include "platform/win/base/afxgeom.h"
#include "platform/win/base/afxobj.h"
#include "platform/win/draw/gdi.h"
#include "platform/win/print/print.h"

class CWnd;

// A GDI object owned by its wrapper: DeleteObject (or the destructor) frees it.
class CGdiObject : public CObject {
  DECLARE_DYNCREATE(CGdiObject)
 public:
  CGdiObject() = default;
  ~CGdiObject() override;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = nullptr;
  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  BOOL Attach(HGDIOBJ object);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int size, LPVOID out) const { return ::GetObject(m_hObject, size, out); }
  UINT GetObjectType() const { return UINT(::GetObjectType(m_hObject)); }
  // A wrapper that lives as long as the process and does not own the object (for handles from elsewhere).
  static CGdiObject* FromHandle(HGDIOBJ object);
};

class CPen : public CGdiObject {
  DECLARE_DYNCREATE(CPen)
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
  BOOL CreatePenIndirect(const LOGPEN* pen) { return Attach(::CreatePenIndirect(pen)); }
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  int GetLogPen(LOGPEN* out) const { return GetObject(sizeof(LOGPEN), out); }
  static CPen* FromHandle(HPEN pen) { return static_cast<CPen*>(CGdiObject::FromHandle(pen)); }
};

class CBrush : public CGdiObject {
  DECLARE_DYNCREATE(CBrush)
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  CBrush(int hatch, COLORREF color) { CreateHatchBrush(hatch, color); }
  BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
  BOOL CreateHatchBrush(int hatch, COLORREF color) { return Attach(::CreateHatchBrush(hatch, color)); }
  BOOL CreateSysColorBrush(int index) { return Attach(::CreateSolidBrush(::GetSysColor(index))); }
  BOOL CreatePatternBrush(class CBitmap* bitmap);
  BOOL CreateBrushIndirect(const LOGBRUSH* brush) { return Attach(::CreateBrushIndirect(brush)); }
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  int GetLogBrush(LOGBRUSH* out) const { return GetObject(sizeof(LOGBRUSH), out); }
  static CBrush* FromHandle(HBRUSH brush) { return static_cast<CBrush*>(CGdiObject::FromHandle(brush)); }
};

class CFont : public CGdiObject {
  DECLARE_DYNCREATE(CFont)
 public:
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCSTR face) {
    return Attach(::CreateFont(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                               outPrecision, clipPrecision, quality, pitchAndFamily, face));
  }
  BOOL CreateFontIndirect(const LOGFONT* font) { return Attach(::CreateFontIndirect(font)); }
  // Height in tenths of a point (for the screen at 96 pixels per inch).
  BOOL CreatePointFont(int pointSize, LPCSTR face, class CDC* dc = nullptr);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  int GetLogFont(LOGFONT* out) const { return GetObject(sizeof(LOGFONT), out); }
  static CFont* FromHandle(HFONT font) { return static_cast<CFont*>(CGdiObject::FromHandle(font)); }
};

class CBitmap : public CGdiObject {
  DECLARE_DYNCREATE(CBitmap)
 public:
  BOOL CreateBitmap(int w, int h, UINT planes, UINT bpp, const void* bits) {
    return Attach(::CreateBitmap(w, h, planes, bpp, bits));
  }
  BOOL CreateBitmapIndirect(BITMAP* bm) { return Attach(::CreateBitmapIndirect(bm)); }
  BOOL CreateCompatibleBitmap(class CDC* dc, int w, int h);
  // A bitmap resource (platform/win/resources/resources.h); FALSE when none is registered under the id.
  BOOL LoadBitmap(UINT id);
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  int GetBitmap(BITMAP* out) const { return GetObject(sizeof(BITMAP), out); }
  DWORD GetBitmapBits(DWORD size, LPVOID bits) const { return DWORD(::GetBitmapBits(*this, LONG(size), bits)); }
  DWORD SetBitmapBits(DWORD size, const void* bits) { return DWORD(::SetBitmapBits(*this, size, bits)); }
  static CBitmap* FromHandle(HBITMAP bitmap) { return static_cast<CBitmap*>(CGdiObject::FromHandle(bitmap)); }
};

class CRgn : public CGdiObject {
  DECLARE_DYNCREATE(CRgn)
 public:
  BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
  BOOL CreateRectRgnIndirect(const RECT* r) { return Attach(::CreateRectRgnIndirect(r)); }
  BOOL CreateEllipticRgn(int l, int t, int r, int b) { return Attach(::CreateEllipticRgn(l, t, r, b)); }
  BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    return Attach(::CreateRoundRectRgn(l, t, r, b, w, h));
  }
  BOOL CreatePolygonRgn(const POINT* pts, int n, int mode) { return Attach(::CreatePolygonRgn(pts, n, mode)); }
  int CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    return ::CombineRgn(*this, a ? static_cast<HRGN>(a->m_hObject) : nullptr,
                        b ? static_cast<HRGN>(b->m_hObject) : nullptr, mode);
  }
  int CopyRgn(const CRgn* src) { return ::CombineRgn(*this, *src, nullptr, RGN_COPY); }
  void SetRectRgn(int l, int t, int r, int b) { ::SetRectRgn(*this, l, t, r, b); }
  void SetRectRgn(const RECT* r) { ::SetRectRgn(*this, r->left, r->top, r->right, r->bottom); }
  int OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
  BOOL PtInRegion(POINT p) const { return ::PtInRegion(*this, p.x, p.y); }
  BOOL RectInRegion(const RECT* r) const { return ::RectInRegion(*this, r); }
  int GetRgnBox(LPRECT out) const { return ::GetRgnBox(*this, out); }
  BOOL EqualRgn(const CRgn* other) const { return ::EqualRgn(*this, *other); }
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
  static CRgn* FromHandle(HRGN rgn) { return static_cast<CRgn*>(CGdiObject::FromHandle(rgn)); }
};

class CPalette : public CGdiObject {
  DECLARE_DYNCREATE(CPalette)
};

// A device context. CDC owns what it creates (CreateCompatibleDC); the window DCs release theirs.
class CDC : public CObject {
  DECLARE_DYNCREATE(CDC)
 public:
  CDC() = default;
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL Attach(HDC dc);
  HDC Detach();
  static CDC* FromHandle(HDC dc);
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init);
  BOOL DeleteDC();
  BOOL IsPrinting() const { return m_bPrinting; }
  CWnd* GetWindow() const;

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
  // Printing on a printer DC (platform/win/print/print.h): the pages go to a PDF file.
  int StartDoc(DOCINFO* info) { return ::StartDoc(m_hDC, info); }
  int StartDoc(LPCSTR docName) {
    DOCINFO di{int(sizeof(DOCINFO)), docName, nullptr, nullptr, 0};
    return ::StartDoc(m_hDC, &di);
  }
  int StartPage() { return ::StartPage(m_hDC); }
  int EndPage() { return ::EndPage(m_hDC); }
  int EndDoc() { return ::EndDoc(m_hDC); }
  int AbortDoc() { return ::AbortDoc(m_hDC); }

  CPen* SelectObject(CPen* pen) { return static_cast<CPen*>(SelectGdi(pen)); }
  CBrush* SelectObject(CBrush* brush) { return static_cast<CBrush*>(SelectGdi(brush)); }
  CFont* SelectObject(CFont* font) { return static_cast<CFont*>(SelectGdi(font)); }
  CBitmap* SelectObject(CBitmap* bitmap) { return static_cast<CBitmap*>(SelectGdi(bitmap)); }
  int SelectObject(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr); }
  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  CGdiObject* SelectStockObject(int index) { return SelectGdi(CGdiObject::FromHandle(::GetStockObject(index))); }
  CPen* GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
  CBrush* GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
  }
  CFont* GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
  CBitmap* GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
  }

  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetBkMode() const { return ::GetBkMode(m_hDC); }
  int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
  int GetROP2() const { return ::GetROP2(m_hDC); }
  UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
  UINT GetTextAlign() const { return ::GetTextAlign(m_hDC); }
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
  int GetMapMode() const { return ::GetMapMode(m_hDC); }
  CPoint SetWindowOrg(int x, int y) {
    POINT p{};
    ::SetWindowOrgEx(m_hDC, x, y, &p);
    return p;
  }
  CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
  CPoint GetWindowOrg() const {
    POINT p{};
    ::GetWindowOrgEx(m_hDC, &p);
    return p;
  }
  CPoint SetViewportOrg(int x, int y) {
    POINT p{};
    ::SetViewportOrgEx(m_hDC, x, y, &p);
    return p;
  }
  CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
  CPoint GetViewportOrg() const {
    POINT p{};
    ::GetViewportOrgEx(m_hDC, &p);
    return p;
  }
  CPoint OffsetViewportOrg(int dx, int dy) {
    POINT p{};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &p);
    return p;
  }
  CPoint OffsetWindowOrg(int dx, int dy) {
    POINT p{};
    ::OffsetWindowOrgEx(m_hDC, dx, dy, &p);
    return p;
  }
  CSize SetWindowExt(int x, int y) {
    SIZE s{};
    ::SetWindowExtEx(m_hDC, x, y, &s);
    return s;
  }
  CSize SetWindowExt(SIZE s) { return SetWindowExt(s.cx, s.cy); }
  CSize GetWindowExt() const {
    SIZE s{};
    ::GetWindowExtEx(m_hDC, &s);
    return s;
  }
  CSize SetViewportExt(int x, int y) {
    SIZE s{};
    ::SetViewportExtEx(m_hDC, x, y, &s);
    return s;
  }
  CSize SetViewportExt(SIZE s) { return SetViewportExt(s.cx, s.cy); }
  CSize GetViewportExt() const {
    SIZE s{};
    ::GetViewportExtEx(m_hDC, &s);
    return s;
  }
  void LPtoDP(LPPOINT pts, int n = 1) const { ::LPtoDP(m_hDC, pts, n); }
  void LPtoDP(LPRECT r) const { ::LPtoDP(m_hDC, reinterpret_cast<LPPOINT>(r), 2); }
  void DPtoLP(LPPOINT pts, int n = 1) const { ::DPtoLP(m_hDC, pts, n); }
  void DPtoLP(LPRECT r) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(r), 2); }

  int GetClipBox(LPRECT r) const { return ::GetClipBox(m_hDC, r); }
  int SelectClipRgn(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr); }
  int SelectClipRgn(CRgn* rgn, int mode) {
    return ::ExtSelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr, mode);
  }
  int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
  int IntersectClipRect(LPCRECT r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
  int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
  int ExcludeClipRect(LPCRECT r) { return ::ExcludeClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
  BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
  BOOL RectVisible(LPCRECT r) const { return ::RectVisible(m_hDC, r); }

  CPoint MoveTo(int x, int y) {
    POINT p{};
    ::MoveToEx(m_hDC, x, y, &p);
    return p;
  }
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT p) { return ::LineTo(m_hDC, p.x, p.y); }
  CPoint GetCurrentPosition() const {
    POINT p{};
    ::GetCurrentPositionEx(m_hDC, &p);
    return p;
  }
  BOOL Polyline(const POINT* pts, int n) { return ::Polyline(m_hDC, pts, n); }
  BOOL PolyPolyline(const POINT* pts, const DWORD* counts, int n) {
    return ::PolyPolyline(m_hDC, pts, counts, DWORD(n));
  }
  BOOL Polygon(const POINT* pts, int n) { return ::Polygon(m_hDC, pts, n); }
  BOOL PolyPolygon(const POINT* pts, const INT_PTR* counts, int n) { return ::PolyPolygon(m_hDC, pts, counts, n); }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
  BOOL RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
  BOOL RoundRect(LPCRECT r, POINT p) { return ::RoundRect(m_hDC, r->left, r->top, r->right, r->bottom, p.x, p.y); }
  BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
  BOOL Ellipse(LPCRECT r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }
  BOOL Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Arc(m_hDC, l, t, r, b, x1, y1, x2, y2);
  }
  BOOL Arc(LPCRECT r, POINT a, POINT b) {
    return ::Arc(m_hDC, r->left, r->top, r->right, r->bottom, a.x, a.y, b.x, b.y);
  }
  BOOL Pie(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Pie(m_hDC, l, t, r, b, x1, y1, x2, y2);
  }
  BOOL Pie(LPCRECT r, POINT a, POINT b) {
    return ::Pie(m_hDC, r->left, r->top, r->right, r->bottom, a.x, a.y, b.x, b.y);
  }
  BOOL Chord(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Chord(m_hDC, l, t, r, b, x1, y1, x2, y2);
  }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF SetPixel(POINT p, COLORREF c) { return ::SetPixel(m_hDC, p.x, p.y, c); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF GetPixel(POINT p) const { return ::GetPixel(m_hDC, p.x, p.y); }
  void FillRect(LPCRECT r, CBrush* brush) { ::FillRect(m_hDC, r, brush ? static_cast<HBRUSH>(*brush) : nullptr); }
  void FrameRect(LPCRECT r, CBrush* brush) { ::FrameRect(m_hDC, r, brush ? static_cast<HBRUSH>(*brush) : nullptr); }
  void InvertRect(LPCRECT r) { ::InvertRect(m_hDC, r); }
  void DrawFocusRect(LPCRECT r) { ::DrawFocusRect(m_hDC, r); }
  BOOL FillRgn(CRgn* rgn, CBrush* brush) { return ::FillRgn(m_hDC, *rgn, *brush); }
  BOOL FrameRgn(CRgn* rgn, CBrush* brush, int w, int h) { return ::FrameRgn(m_hDC, *rgn, *brush, w, h); }
  BOOL InvertRgn(CRgn* rgn) { return ::InvertRgn(m_hDC, *rgn); }
  BOOL PaintRgn(CRgn* rgn) { return ::PaintRgn(m_hDC, *rgn); }
  void FillSolidRect(LPCRECT r, COLORREF c);
  void FillSolidRect(int x, int y, int w, int h, COLORREF c);
  void Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int w, int h, COLORREF topLeft, COLORREF bottomRight);
  BOOL DrawEdge(LPRECT r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
  BOOL DrawFrameControl(LPRECT r, UINT type, UINT state) { return ::DrawFrameControl(m_hDC, r, type, state); }
  BOOL DrawState(CPoint p, CSize s, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr) {
    return ::DrawState(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, p.x, p.y, s.cx, s.cy,
                       flags | DST_BITMAP);
  }
  BOOL DrawState(CPoint p, CSize s, HICON icon, UINT flags, HBRUSH brush = nullptr) {
    return ::DrawState(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, p.x, p.y, s.cx, s.cy,
                       flags | DST_ICON);
  }
  BOOL DrawState(CPoint p, CSize s, LPCSTR text, UINT flags, BOOL prefix = TRUE, int length = 0,
                 HBRUSH brush = nullptr) {
    return ::DrawState(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(text), WPARAM(length), p.x, p.y, s.cx, s.cy,
                       flags | (prefix ? DST_PREFIXTEXT : DST_TEXT));
  }
  BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
  BOOL DrawIcon(POINT p, HICON icon) { return ::DrawIcon(m_hDC, p.x, p.y, icon); }
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
  }
  BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
  }
  BOOL TransparentBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, UINT transparent) {
    return ::TransparentBlt(m_hDC, x, y, w, h, src->m_hDC, sx, sy, sw, sh, transparent);
  }
  BOOL GradientFill(TRIVERTEX* v, ULONG nv, void* mesh, ULONG nm, DWORD mode) {
    return ::GradientFill(m_hDC, v, nv, mesh, nm, mode);
  }

  BOOL TextOut(int x, int y, LPCSTR text, int length) { return ::TextOut(m_hDC, x, y, text, length); }
  BOOL TextOut(int x, int y, const CString& text) { return ::TextOut(m_hDC, x, y, text, text.GetLength()); }
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, LPCSTR text, UINT length, const int* dx) {
    return ::ExtTextOut(m_hDC, x, y, options, r, text, length, dx);
  }
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, const CString& text, const int* dx) {
    return ::ExtTextOut(m_hDC, x, y, options, r, text, UINT(text.GetLength()), dx);
  }
  int DrawText(LPCSTR text, int length, LPRECT r, UINT format) { return ::DrawText(m_hDC, text, length, r, format); }
  int DrawText(const CString& text, LPRECT r, UINT format) {
    return ::DrawText(m_hDC, text, text.GetLength(), r, format);
  }
  CSize GetTextExtent(LPCSTR text, int length) const {
    SIZE s{};
    ::GetTextExtentPoint32(m_hDC, text, length, &s);
    return s;
  }
  CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
  CSize GetOutputTextExtent(const CString& text) const { return GetTextExtent(text); }
  CSize GetTabbedTextExtent(const CString& text, int tabs, const int* positions) const {
    DWORD v = ::GetTabbedTextExtent(m_hDC, text, text.GetLength(), tabs, positions);
    return CSize(LOWORD(v), HIWORD(v));
  }
  BOOL GetTextMetrics(LPTEXTMETRIC out) const { return ::GetTextMetrics(m_hDC, out); }
  BOOL GetOutputTextMetrics(LPTEXTMETRIC out) const { return ::GetTextMetrics(m_hDC, out); }
  int GetTextFace(CString& face) const;
  BOOL GetCharWidth(UINT first, UINT last, int* out) const { return ::GetCharWidth32(m_hDC, first, last, out); }
  BOOL PlayMetaFile(HENHMETAFILE mf, LPCRECT r) { return ::PlayEnhMetaFile(m_hDC, mf, r); }
  BOOL PlayMetaFile(HMETAFILE mf) { return ::PlayMetaFile(m_hDC, mf); }

 protected:
  CGdiObject* SelectGdi(CGdiObject* object);
  bool m_bOwns = false;
  bool m_bPrinting = false;
};

// The DC of a WM_PAINT: BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
  DECLARE_DYNAMIC(CPaintDC)
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 protected:
  HWND m_hWnd = nullptr;
};

// The client-area DC of a window (GetDC / ReleaseDC).
class CClientDC : public CDC {
  DECLARE_DYNAMIC(CClientDC)
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd = nullptr;
};

// The whole-window DC (frame included).
class CWindowDC : public CDC {
  DECLARE_DYNAMIC(CWindowDC)
 public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;

 protected:
  HWND m_hWnd = nullptr;
};

// Records drawing calls into a metafile that another DC can play back.
class CMetaFileDC : public CDC {
  DECLARE_DYNAMIC(CMetaFileDC)
 public:
  CMetaFileDC() = default;
  ~CMetaFileDC() override;
  BOOL Create(LPCSTR file = nullptr);
  BOOL CreateEnhanced(CDC* reference, LPCSTR file, LPCRECT frame, LPCSTR description);
  HMETAFILE Close();
  HENHMETAFILE CloseEnhanced();
};

// An off-screen buffer over a DC: drawing goes to a compatible bitmap that is copied onto the DC at the end.
class CMemDC : public CDC {
 public:
  CMemDC(CDC& target, const CRect& area);
  ~CMemDC() override;
  CDC& GetDC() { return *this; }

 private:
  CDC* m_pTarget;
  CRect m_rect;
  CBitmap m_bitmap;
  CBitmap* m_pOldBitmap = nullptr;
};
