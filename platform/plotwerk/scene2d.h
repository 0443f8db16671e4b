// The 2D drawing of a graphics control: a display list of styled, optionally tagged items in drawing
// coordinates, the view that fits them into a pixel rectangle, hit-testing and rendering on a device context.
// The drawing can be written to a file ("metafile") and read back, so that a picture drawn once can be rendered
// again at any size.
#pragma once

#include <string>
#include <vector>

#include "platform/win/winapi.h"

namespace plotwerk {

// The axes of the drawing in the view: view = origin + x * xAxis + y * yAxis; the view's y grows upwards, so a
// drawing measured downwards (a column from its head) passes a y axis of (0, -1).
struct Transform2D {
  double ox = 0, oy = 0, xx = 1, xy = 0, yx = 0, yy = 1;
  void Apply(double x, double y, double& vx, double& vy) const;
  // False when the axes are degenerate.
  bool Inverse(double vx, double vy, double& x, double& y) const;
};

// Colour, line code (0 solid, 1 dashed, 2 dash-dot, 3 dotted, 4 invisible), fill code (0 filled, 1 hatched,
// 2 cross-hatched, 3 and 4 hollow) and a flag that draws the outline of filled items in black.
struct Style2D {
  COLORREF colour = 0;
  int line = 0;
  int fill = 0;
  BOOL outline = FALSE;
  bool operator==(const Style2D&) const = default;
};

enum class Kind2D {
  Line,        // x1 y1 x2 y2
  Polygon,     // x0 y0 x1 y1 ...
  Rectangle,   // x1 y1 x2 y2
  Text,        // x y angle height (drawing units)
  TextPt,      // x y angle size (points)
  ValueLabel,  // x y labelX labelY height angle: a text at the label point with a leader to the point
  Quad,        // four points
  Dimension,   // x1 y1 x2 y2 offsetX offsetY fontSize tickSize
  PointLoad,   // x y dx dy length
  LineLoad,    // x1 y1 x2 y2 dx dy length1 length2
  Triangle,    // three points; a repeated last point makes a circle around the first
  Moment,      // x y dx dy size: counter-clockwise on the screen, clockwise when the size is negative
  Node,        // x y dx dy spring fixity rotation
};

struct Item2D {
  Kind2D kind = Kind2D::Line;
  std::vector<double> v;
  std::string text;
  Style2D style;
  int transform = 0;  // index into the scene's transforms
  long id = 0;        // 0: not pickable
  int group = 0;      // closed by Invoke55
};

struct MenuItem2D {
  std::string text;
  long command = 0;
  BOOL checked = FALSE;
  BOOL separator = FALSE;
};

class Scene2D {
 public:
  Scene2D();

  // Empties the drawing: items, title, header text, tagging; the transform and style return to their defaults.
  void Clear();
  void SetStyle(const Style2D& style) { m_style = style; }
  const Style2D& CurrentStyle() const { return m_style; }
  void SetTransform(const Transform2D& t);
  void SetObjectId(long id) { m_objectId = id; }
  long CurrentObjectId() const { return m_objectId; }
  void CloseGroup() { ++m_group; }
  Item2D& Add(Kind2D kind, std::vector<double> v, std::string text = {});

  // Every item tagged with the id: moved by (dx, dy) of its own drawing coordinates / restyled.
  int MoveObject(long id, double dx, double dy);
  int RestyleObject(long id, const Style2D& style);

  std::string title;
  std::string header;  // a text block above the drawing (lines separated by '\n')
  int headerSize = 9;
  std::string axisX, axisY;
  bool showAxes = false;
  // Whether each axis arrow of the corner sign points along the drawing's own axis as the view shows it (the last
  // transform set), or to the right and upwards (the default): a view turned round shows which way its x runs.
  bool axisXAlongDrawing = false, axisYAlongDrawing = false;
  bool showHeader = true;           // display switch of the header text
  double window[4] = {0, 0, 0, 0};  // a fixed view window (x1, y1, x2, y2); all 0: fit the items
  std::vector<MenuItem2D> menu;

  const std::vector<Item2D>& Items() const { return m_items; }
  const std::vector<Transform2D>& Transforms() const { return m_transforms; }
  int ItemCount(Kind2D kind) const;

  // View bounds of all items (texts by the box they are drawn in); false when there is nothing to show.
  bool Bounds(double& x1, double& y1, double& x2, double& y2) const;

  // Writes the drawing to a file / reads it back (false when the file is not a drawing of this kind).
  bool Save(const std::string& path, int width, int height) const;
  bool Load(const std::string& path, int* width = nullptr, int* height = nullptr);

 private:
  friend class View2D;
  std::vector<Item2D> m_items;
  std::vector<Transform2D> m_transforms;
  Style2D m_style;
  int m_transform = 0;
  long m_objectId = 0;
  int m_group = 0;
};

// A load's value text as a view shows it: where its baseline starts, the text as drawn (shortened where it had no
// room) and its box, and the item it belongs to.
struct Label2D {
  std::size_t item = 0;
  POINT baseline{};
  std::string text;
  RECT box{};
};

// How a scene lies in a pixel rectangle: one scale for both axes, the bounds centred.
class View2D {
 public:
  // exactText: texts are drawn at their drawing height, as a picture for print needs (the screen keeps them
  // within a legible pixel range instead).
  View2D(const Scene2D& scene, const RECT& client, bool exactText = false);
  POINT ToPixel(double vx, double vy) const;
  void ToView(int px, int py, double& vx, double& vy) const;
  double Scale() const { return m_scale; }

  void Render(HDC dc) const;
  // The corner sign of the axes: the common origin and the tips of the x and y arrows, in pixels.
  void AxisArrows(POINT& origin, POINT& xTip, POINT& yTip) const;
  // The id of the topmost tagged item under the pixel (within the tolerance), 0 when none.
  long HitTest(int px, int py, int tolerance = 4) const;
  // The value texts of the loads, in the order of their items: each reads from its anchor unless another text was
  // there first or the view's edge stops it (then it moves back a little, and is shortened where that is not enough).
  std::vector<Label2D> Labels(HDC dc) const;

 private:
  // Where an item's value texts start (the loads' and moments'), with their texts.
  std::vector<std::pair<POINT, std::string>> LabelAnchors(const Item2D& item) const;
  POINT Item(const Item2D& item, double x, double y) const;
  int TextPixels(double height) const;
  void DrawItem(HDC dc, const Item2D& item) const;
  const Scene2D& m_scene;
  RECT m_client{};
  RECT m_plot{};
  int m_top = 0;  // the title's and header's lines above the drawing
  double m_scale = 1.0;
  double m_x0 = 0, m_y0 = 0;
  bool m_exactText = false;
};

// Writes a 0x00RRGGBB picture as a PNG or a 24-bit BMP file (by the name's extension; PNG otherwise).
bool WritePicture(const std::vector<std::uint32_t>& pixels, int width, int height, const std::string& path);
// Draws with a function onto an off-screen picture of the size filled with the background colour and returns its
// pixels (0x00RRGGBB). Throws std::bad_alloc when there is no memory for the picture: a picture left out or drawn
// empty would pass unnoticed into a report.
std::vector<std::uint32_t> RenderOffscreen(int width, int height, COLORREF background,
                                           void (*draw)(HDC dc, const RECT& r, const void* context),
                                           const void* context);

// An off-screen picture that is drawn on again and again: its bitmap is kept while the size stays, and its pixel
// buffer always, so that a series of print-size pictures does not take fresh memory from the system for each.
class Offscreen {
 public:
  Offscreen() = default;
  Offscreen(const Offscreen&) = delete;
  Offscreen& operator=(const Offscreen&) = delete;
  ~Offscreen();
  // As RenderOffscreen; the pixels stay valid until the next drawing.
  const std::vector<std::uint32_t>& Render(int width, int height, COLORREF background,
                                           void (*draw)(HDC dc, const RECT& r, const void* context),
                                           const void* context);
  std::vector<std::uint32_t> TakePixels() { return std::move(m_pixels); }

 private:
  void Release();
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  int m_width = 0, m_height = 0;
  std::vector<std::uint32_t> m_pixels;
};

}  // namespace plotwerk
