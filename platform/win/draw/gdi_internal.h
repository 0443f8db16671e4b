// Internals of GDI shared by its implementation files.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/win/window/internal.h"

namespace win::detail {

enum class GdiKind { None, Pen, Brush, Font, Bitmap, Region, Palette, Icon, EnhMetaFile };

struct Recording {
  std::vector<std::function<void(HDC)>> calls;
  RECT bounds{0, 0, 0, 0};
  bool hasBounds = false;
  RECT frame{0, 0, 0, 0};
  bool hasFrame = false;
};

struct GdiObject {
  GdiKind kind = GdiKind::None;
  bool stock = false;
  LOGPEN pen{};
  LOGBRUSH brush{};
  std::shared_ptr<Surface> pattern;
  LOGFONT font{};
  std::shared_ptr<Surface> bitmap;
  int bpp = 32;
  Region region;
  HBITMAP iconMask = nullptr;
  HBITMAP iconColor = nullptr;
  std::shared_ptr<Recording> metafile;
};

struct DcState {
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  HGDIOBJ bitmap = nullptr;
  COLORREF text = 0;
  COLORREF bk = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  UINT align = TA_LEFT | TA_TOP;
  int stretchMode = BLACKONWHITE;
  int mapMode = MM_TEXT;
  POINT winOrg{0, 0};
  POINT vpOrg{0, 0};
  SIZE winExt{1, 1};
  SIZE vpExt{1, 1};
  POINT pos{0, 0};
  bool hasClip = false;
  Region clip;  // device (surface) coordinates
  COLORREF dcBrush = RGB(255, 255, 255);
  COLORREF dcPen = 0;
};

struct PrintJob;  // print.cpp

struct Dc {
  HDC self = nullptr;
  std::shared_ptr<Surface> surface;
  POINT origin{0, 0};  // surface position of device (0, 0)
  Region visible;      // surface pixels the DC may touch (window DCs)
  HWND wnd = nullptr;
  bool memoryDc = false;
  HBITMAP defaultBitmap = nullptr;
  std::shared_ptr<Recording> recording;
  std::vector<HGDIOBJ> playTemporaries;
  DcState st;
  std::vector<DcState> saved;
  std::shared_ptr<PrintJob> printer;  // printer DCs: the paper and the document
};

// The cairo face of a font family as text is drawn with (its DejaVu file); owned by the cache, never destroyed.
cairo_font_face_t* FileFontFace(const std::string& family, bool bold, bool italic);

// GetDeviceCaps of a printer DC.
int PrinterCaps(const Dc& d, int index);
// The PDF page a printer DC draws on while a page is begun (between pages a context that keeps nothing): a cairo
// context in the DC's device pixels, not yet clipped; nullptr for every other DC, which draws on its raster surface.
cairo_t* PrinterPage(const Dc& d);
// A printer's page is white paper that is never read back: a raster operation is drawn as what it makes of white
// paper. False where it leaves the paper as it is (a mask's white, a transparent colour); else the colour in `out`.
bool OnPaper(std::uint32_t white, std::uint32_t black, std::uint32_t* out);
// Restricts the context to the region (device pixels); an empty region to nothing.
void ClipTo(cairo_t* cr, const Region& area);
// The pattern a brush (with the raster operation) paints on a printer's page; nullptr where it leaves the paper.
cairo_pattern_t* PaperPattern(const Dc& d, const GdiObject& brush, DWORD rop);

Dc* GetDc(HDC h);
std::shared_ptr<GdiObject> Obj(HGDIOBJ h);
HGDIOBJ NewObject(std::shared_ptr<GdiObject> obj);
POINT ToDevice(const Dc& d, int x, int y);
POINT ToLogical(const Dc& d, int x, int y);
RECT ToDeviceRect(const Dc& d, int l, int t, int r, int b);
Region ClipOf(const Dc& d);
double ScaleX(const Dc& d);
double ScaleY(const Dc& d);
cairo_t* Cairo(Dc& d);
void SetColor(cairo_t* cr, std::uint32_t rgb);
void Record(Dc& d, std::function<void(HDC)> call, RECT logicalBounds);
void SelectRecordedObject(HDC target, const std::shared_ptr<GdiObject>& object);
void PutPixel(Dc& d, int x, int y, std::uint32_t rgb, int rop2);
std::uint32_t MonoOf(std::uint32_t rgb);

// Every GDI object and DC by handle, the stock objects and the system-colour brushes.
struct GdiTables {
  std::unordered_map<int, std::shared_ptr<GdiObject>> objects;
  std::unordered_map<int, std::unique_ptr<Dc>> dcs;
  std::map<int, HGDIOBJ> stock;
  std::map<int, HBRUSH> sysBrushes;
};
GdiTables& Gdi();
// Keeps GDI handles above the small numbers that stand for system-colour brushes.
void EnsureHandleFloor();
HDC NewDc(std::unique_ptr<Dc> dc);

// The pixel rules shared by the drawing calls (device coordinates).
std::uint32_t Rop2(int rop, std::uint32_t pen, std::uint32_t dst);
std::uint32_t Rop3(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d);
std::uint32_t BrushPixel(const Dc& d, const GdiObject& b, int x, int y);
void FillDeviceRegion(Dc& d, const Region& area, const GdiObject& brush, DWORD rop = PATCOPY);
void FillDeviceRect(Dc& d, const RECT& r, const GdiObject& brush, DWORD rop = PATCOPY);
void ApplyMask(Dc& d, const std::function<void(cairo_t*)>& shape, std::uint32_t color, int rop2,
               const GdiObject* brush);
void FillPath(Dc& d, const std::function<void(cairo_t*)>& path, const GdiObject& brush, int fillRule = ALTERNATE);
const GdiObject& Selected(const Dc& d, HGDIOBJ h);
std::uint32_t PenColor(const Dc& d);
GdiObject BrushOf(const Dc& d);
int PenWidth(const Dc& d);
bool PenNull(const Dc& d);
void PixelLine(Dc& d, POINT a, POINT b, std::uint32_t color);
void StrokeDevice(Dc& d, const std::vector<POINT>& pts, bool closed);
RECT BoundsOf(const POINT* pts, int n);

// Regions by handle.
HRGN NewRegion(Region r);
GdiObject* RegionObj(HRGN h);
// SIMPLEREGION when the region is one rectangle, however many pieces it is kept in; else COMPLEXREGION or
// NULLREGION.
int Complexity(const Region& r);

}  // namespace win::detail

// A call on a recording DC is kept for playing back (with the DC it is played on as `target`) instead of drawn.
#define KOLUMO_RECORD(hdc, bounds, body)                  \
  do {                                                    \
    if (Dc* rec_ = GetDc(hdc); rec_ && rec_->recording) { \
      Record(                                             \
          *rec_, [=](HDC target) { body; }, bounds);      \
      return TRUE;                                        \
    }                                                     \
  } while (0)
