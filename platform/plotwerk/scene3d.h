// The 3D drawing of a graphics control: a display list of solids, symbols, dimensions and texts in model
// coordinates (m; z runs down the screen, as a column is described from its head down to its foot), seen in an
// orthographic view from above and drawn with hidden surfaces removed by painting the faces from the farthest to
// the nearest.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/win/winapi.h"

namespace plotwerk {

using Vec3 = std::array<double, 3>;

struct Style3D {
  COLORREF colour = 0xC0C0C0;
  BOOL emphasis = FALSE;
  std::string font;
  int fontSize = 0;
  double textHeight = 0.0;
  COLORREF lineColour = 0x808080;
  int lineWidth = 1;
};

enum class Kind3D {
  Line,       // p1 p2
  Box,        // two opposite corners
  Extrusion,  // start, end, sections
  PointLoad,  // point, direction, head, length
  LineLoad,   // start, end, direction, head, length1, length2, arrows
  Quad,       // dimension: p1 p2 measured, p3 on the dimension line, p4 its normal
  Support,    // position, restraints (x, y, z), rotations (x, y, z), size
  Moment,     // point, sizes (x, y, z), head
  Text,       // anchor, the direction it reads away from the anchor in (its screen sense left or right); v[0] not 0:
              // the text gives way (a reason where a value is missing)
};

struct Item3D {
  Kind3D kind = Kind3D::Line;
  std::vector<Vec3> p;    // points and vectors, by kind
  std::vector<double> v;  // sizes, by kind
  int section1 = 0, section2 = 0;
  std::vector<std::string> texts;
  Style3D style;
};

// A flat primitive of the rendering: a face, a line or a text, with its depth in the view.
struct Primitive3D {
  enum Type { Face, Segment, Label } type = Face;
  std::vector<Vec3> points;
  COLORREF fill = 0;
  COLORREF pen = 0;
  int width = 1;
  std::string text;
  int textPixels = 11;
  Vec3 away{0, 0, 0};   // a label reads from its anchor in this direction's screen sense (left or right)
  bool yields = false;  // a label that gives way: the view is not fitted to its text, shortened to the room it finds
};

// Where a view puts the model: a point q lands at (x0 + q.right * scale, y0 + q.down * scale) pixels.
struct Projection3D {
  Vec3 right{0, 0, 0}, down{0, 0, 0}, depth{0, 0, 0};
  double scale = 1.0, x0 = 0.0, y0 = 0.0;
  POINT ToPixel(const Vec3& q) const;
};

// A view laid out in its client rectangle: the projection, each label's box and the point its baseline starts at
// (labels in their order among the primitives), and the title's box, its lines with their baseline points, their
// alignment (0 left, 1 centred) and height in pixels.
struct Layout3D {
  struct Label {
    RECT box{};
    POINT baseline{};
    std::string text;  // as drawn: shortened where it gives way
  };
  struct TitleLine {
    std::string text;
    POINT at{};
  };
  Projection3D projection;
  std::vector<Label> labels;
  RECT titleBox{};
  std::vector<TitleLine> titleLines;
  int titleAlign = 0;
  int titlePixels = 0;
};

// A saved view is this many times the control's size, its lines and texts with it: a picture placed a few
// centimetres wide in a report then prints sharply (300 px over 6 cm are some 130 dpi, twice that 250 dpi).
inline constexpr int kImageScale = 2;

class Scene3D {
 public:
  // Empties the display list and the sections; the view is reset when asked.
  void Clear(bool resetView);
  void ResetView();

  int CreateSection(const std::vector<std::array<double, 2>>& contour);
  const std::vector<std::array<double, 2>>* Section(int handle) const;
  Item3D& Add(Kind3D kind, std::vector<Vec3> p, std::vector<double> v = {}, std::vector<std::string> texts = {});

  Style3D style;
  COLORREF background = 0xFFFFFF;
  std::string title;
  int titlePosition = 0;
  std::string titleFont = "Arial";
  int titleSize = 15;
  double titleHeight = 0.0;  // text height of the style the title was set with (m)
  double azimuth = 35.0;     // degrees, turn about z
  double elevation = 20.0;   // degrees, looking down on the xy plane (from -z)
  double zoom = 1.0;         // times the size at which the drawing and its labels fill the view

  // A drag of the pointer by (dx, dy) pixels turns the view; wheel notches (positive away from the user) zoom in.
  void Turn(int dx, int dy);
  void ZoomBy(double notches);

  const std::vector<Item3D>& Items() const { return m_items; }
  int ItemCount(Kind3D kind) const;
  std::size_t SectionCount() const { return m_sections.size(); }

  // The flat primitives of all items, in model coordinates.
  std::vector<Primitive3D> Tessellate() const;
  // Screen axes of the view: right, down and depth (into the screen).
  void Axes(Vec3& right, Vec3& down, Vec3& depth) const;

  // The view of the primitives in the client rectangle: at zoom 1 the drawing is as large as it can be with every
  // label and the title inside the rectangle, and no label covers another; a label that yields is shortened to the
  // room it finds rather than made room for.
  Layout3D Layout(HDC dc, const RECT& client, const std::vector<Primitive3D>& prims, double pixel = 1.0) const;
  // pixel: the size of one screen pixel in the target's pixels (line widths, texts and margins grow with it).
  void Render(HDC dc, const RECT& client, double pixel = 1.0) const;
  // Writes the view as a picture (BMP or PNG by the name's extension) of kImageScale times the given size; false
  // when it cannot be written.
  bool SaveImage(const std::string& path, int width, int height) const;

 private:
  std::vector<Item3D> m_items;
  std::vector<std::vector<std::array<double, 2>>> m_sections;
};

}  // namespace plotwerk
