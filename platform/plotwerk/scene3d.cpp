#include "platform/plotwerk/scene3d.h"

#include <algorithm>
#include <limits>
#include <cmath>
#include <cstdio>

#include "platform/plotwerk/gdiutil.h"
#include "platform/plotwerk/labels.h"
#include "platform/plotwerk/scene2d.h"

namespace plotwerk {

namespace {
constexpr COLORREF kLoadColour = 0x3030D0;  // loads stand out in red
constexpr COLORREF kDimensionColour = 0x505050;

Vec3 Plus(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Mul(const Vec3& a, double f) { return {a[0] * f, a[1] * f, a[2] * f}; }
double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Norm(const Vec3& a) { return std::sqrt(Dot(a, a)); }
Vec3 Unit(const Vec3& a) {
  double n = Norm(a);
  return n > 1e-12 ? Mul(a, 1.0 / n) : Vec3{0, 0, 0};
}

COLORREF Shade(COLORREF c, double f) {
  auto ch = [&](int shift) { return std::clamp(int(((c >> shift) & 0xFF) * f), 0, 255) << shift; };
  return COLORREF(ch(0) | ch(8) | ch(16));
}

std::string Format(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

Primitive3D Face(std::vector<Vec3> pts, COLORREF fill, COLORREF pen) {
  Primitive3D p;
  p.type = Primitive3D::Face;
  p.points = std::move(pts);
  p.fill = fill;
  p.pen = pen;
  return p;
}

Primitive3D Segment(const Vec3& a, const Vec3& b, COLORREF pen, int width = 1) {
  Primitive3D p;
  p.type = Primitive3D::Segment;
  p.points = {a, b};
  p.pen = pen;
  p.width = width;
  return p;
}

Primitive3D Label(const Vec3& at, const std::string& text, COLORREF colour, int pixels = 11) {
  Primitive3D p;
  p.type = Primitive3D::Label;
  p.points = {at};
  p.text = text;
  p.pen = colour;
  p.textPixels = pixels;
  return p;
}

// An arrow from tail to tip: its shaft and two head strokes in the plane of the shaft and the view direction's
// normal, so the head is seen from every side.
void AddArrow(std::vector<Primitive3D>& out, const Vec3& tail, const Vec3& tip, double head, COLORREF colour) {
  Vec3 d = Sub(tip, tail);
  double len = Norm(d);
  if (len < 1e-9) return;
  out.push_back(Segment(tail, tip, colour, 2));
  Vec3 u = Mul(d, 1.0 / len);
  Vec3 ref = std::fabs(u[2]) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
  Vec3 side1 = Unit(Cross(u, ref)), side2 = Unit(Cross(u, side1));
  double h = std::min(head, 0.5 * len);
  Vec3 back = Sub(tip, Mul(u, h));
  for (const Vec3& s : {side1, side2}) {
    out.push_back(Segment(tip, Plus(back, Mul(s, 0.4 * h)), colour, 2));
    out.push_back(Segment(tip, Sub(back, Mul(s, 0.4 * h)), colour, 2));
  }
}
}  // namespace

void Scene3D::ResetView() {
  azimuth = 35.0;
  elevation = 20.0;
  zoom = 1.0;
}

void Scene3D::Turn(int dx, int dy) {
  // Half a degree a pixel: the side facing the viewer follows the pointer; the view never tips over the pole.
  azimuth = std::remainder(azimuth - 0.5 * dx, 360.0);
  elevation = std::clamp(elevation + 0.5 * dy, -89.0, 89.0);
}

void Scene3D::ZoomBy(double notches) { zoom = std::clamp(zoom * std::pow(1.25, notches), 0.1, 50.0); }

POINT Projection3D::ToPixel(const Vec3& q) const {
  return POINT{LONG(std::lround(x0 + Dot(q, right) * scale)), LONG(std::lround(y0 + Dot(q, down) * scale))};
}

void Scene3D::Clear(bool resetView) {
  m_items.clear();
  m_sections.clear();
  title.clear();
  style = Style3D{};
  if (resetView) ResetView();
}

int Scene3D::CreateSection(const std::vector<std::array<double, 2>>& contour) {
  m_sections.push_back(contour);
  return int(m_sections.size());
}

const std::vector<std::array<double, 2>>* Scene3D::Section(int handle) const {
  if (handle < 1 || handle > int(m_sections.size())) return nullptr;
  return &m_sections[std::size_t(handle - 1)];
}

Item3D& Scene3D::Add(Kind3D kind, std::vector<Vec3> p, std::vector<double> v, std::vector<std::string> texts) {
  Item3D item;
  item.kind = kind;
  item.p = std::move(p);
  item.v = std::move(v);
  item.texts = std::move(texts);
  item.style = style;
  m_items.push_back(std::move(item));
  return m_items.back();
}

int Scene3D::ItemCount(Kind3D kind) const {
  return int(std::count_if(m_items.begin(), m_items.end(), [kind](const Item3D& i) { return i.kind == kind; }));
}

void Scene3D::Axes(Vec3& right, Vec3& down, Vec3& depth) const {
  double a = azimuth * M_PI / 180.0, e = elevation * M_PI / 180.0;
  // z points down the screen; the eye looks from the -x, -y side and from above (-z).
  depth = {std::sin(a) * std::cos(e), std::cos(a) * std::cos(e), std::sin(e)};
  down = {-std::sin(a) * std::sin(e), -std::cos(a) * std::sin(e), std::cos(e)};
  right = {-std::cos(a), std::sin(a), 0.0};
}

namespace {
// The symbol of a support at its node.
void AddSupport(std::vector<Primitive3D>& out, const Item3D& item, COLORREF c, COLORREF edge) {
  const auto& p = item.p;
  const auto& v = item.v;
  double k = std::max(0.05, v[0] * 0.25);  // symbol size, m
  const Vec3& at = p[0];
  auto fill = [&](double spring) { return spring < 0 ? c : Shade(c, 1.6); };
  // Lateral restraints: a triangle pointing at the node from the restrained side; rigid ones are filled
  // dark, springs light.
  if (p[1][0] != 0.0)
    out.push_back(Face({at, Plus(at, {-k, 0, -k / 2}), Plus(at, {-k, 0, k / 2})}, fill(p[1][0]), edge));
  if (p[1][1] != 0.0)
    out.push_back(Face({at, Plus(at, {0, -k, -k / 2}), Plus(at, {0, -k, k / 2})}, fill(p[1][1]), edge));
  // A vertical restraint: a pyramid under the node (z grows downwards).
  if (p[1][2] != 0.0) {
    Vec3 b[4] = {Plus(at, {-k / 2, -k / 2, k}), Plus(at, {k / 2, -k / 2, k}), Plus(at, {k / 2, k / 2, k}),
                 Plus(at, {-k / 2, k / 2, k})};
    for (int i = 0; i < 4; ++i) out.push_back(Face({at, b[i], b[(i + 1) % 4]}, fill(p[1][2]), edge));
    out.push_back(Face({b[0], b[1], b[2], b[3]}, fill(p[1][2]), edge));
  }
  // Rotational restraints: a plate through the node.
  if (p[2][0] != 0.0 || p[2][1] != 0.0) {
    double h = k * 0.8;
    double spring = p[2][0] != 0.0 ? p[2][0] : p[2][1];
    out.push_back(Face({Plus(at, {-h, -h, 0}), Plus(at, {h, -h, 0}), Plus(at, {h, h, 0}), Plus(at, {-h, h, 0})},
                       fill(spring), edge));
  }
}
}  // namespace

std::vector<Primitive3D> Scene3D::Tessellate() const {
  std::vector<Primitive3D> out;
  for (const Item3D& item : m_items) {
    const auto& p = item.p;
    const auto& v = item.v;
    COLORREF c = item.style.colour;
    COLORREF edge = Shade(c, 0.45);
    switch (item.kind) {
      case Kind3D::Line: out.push_back(Segment(p[0], p[1], c, 1)); break;
      case Kind3D::Box: {
        double x[2] = {std::min(p[0][0], p[1][0]), std::max(p[0][0], p[1][0])};
        double y[2] = {std::min(p[0][1], p[1][1]), std::max(p[0][1], p[1][1])};
        double z[2] = {std::min(p[0][2], p[1][2]), std::max(p[0][2], p[1][2])};
        auto V = [&](int i, int j, int k) { return Vec3{x[i], y[j], z[k]}; };
        out.push_back(Face({V(0, 0, 0), V(1, 0, 0), V(1, 1, 0), V(0, 1, 0)}, c, edge));
        out.push_back(Face({V(0, 0, 1), V(0, 1, 1), V(1, 1, 1), V(1, 0, 1)}, c, edge));
        out.push_back(Face({V(0, 0, 0), V(0, 0, 1), V(1, 0, 1), V(1, 0, 0)}, c, edge));
        out.push_back(Face({V(0, 1, 0), V(1, 1, 0), V(1, 1, 1), V(0, 1, 1)}, c, edge));
        out.push_back(Face({V(0, 0, 0), V(0, 1, 0), V(0, 1, 1), V(0, 0, 1)}, c, edge));
        out.push_back(Face({V(1, 0, 0), V(1, 0, 1), V(1, 1, 1), V(1, 1, 0)}, c, edge));
        break;
      }
      case Kind3D::Extrusion: {
        const auto* s1 = Section(item.section1);
        const auto* s2 = Section(item.section2);
        if (!s1 || !s2 || s1->empty() || s2->empty()) break;
        Vec3 axis = Sub(p[1], p[0]);
        if (Norm(axis) < 1e-12) break;
        Vec3 a = Unit(axis);
        Vec3 u = std::fabs(a[2]) > 0.999 ? Vec3{1, 0, 0} : Unit(Cross({0, 0, 1}, a));
        Vec3 w = Cross(a, u);
        auto place = [&](const Vec3& origin, const std::array<double, 2>& q) {
          return Plus(origin, Plus(Mul(u, q[0]), Mul(w, q[1])));
        };
        std::size_t n = std::min(s1->size(), s2->size());
        std::vector<Vec3> cap1, cap2;
        for (std::size_t i = 0; i < n; ++i) {
          cap1.push_back(place(p[0], (*s1)[i]));
          cap2.push_back(place(p[1], (*s2)[i]));
        }
        // Side faces of a smooth contour carry no edges of their own; the caps outline the solid.
        for (std::size_t i = 0; i < n; ++i) {
          std::size_t j = (i + 1) % n;
          out.push_back(Face({cap1[i], cap1[j], cap2[j], cap2[i]}, c, n > 8 ? c : edge));
        }
        out.push_back(Face(cap1, c, edge));
        out.push_back(Face(cap2, c, edge));
        break;
      }
      case Kind3D::PointLoad: {
        Vec3 d = Unit(p[1]);
        Vec3 tail = Sub(p[0], Mul(d, v[1]));
        AddArrow(out, tail, p[0], v[0], kLoadColour);
        if (!item.texts.empty() && !item.texts[0].empty()) {
          out.push_back(Label(tail, item.texts[0], kLoadColour));
          out.back().away = Mul(d, -1.0);
        }
        break;
      }
      case Kind3D::LineLoad: {
        Vec3 d = Unit(p[2]);
        int arrows = std::max(2, int(v[3]) + 1);
        Vec3 t1 = Sub(p[0], Mul(d, v[1])), t2 = Sub(p[1], Mul(d, v[2]));
        out.push_back(Segment(t1, t2, kLoadColour, 1));
        out.push_back(Segment(p[0], p[1], kLoadColour, 1));
        for (int k = 0; k < arrows; ++k) {
          double f = double(k) / (arrows - 1);
          Vec3 tip = Plus(p[0], Mul(Sub(p[1], p[0]), f));
          Vec3 tail = Sub(tip, Mul(d, v[1] + (v[2] - v[1]) * f));
          AddArrow(out, tail, tip, v[0], kLoadColour);
        }
        if (item.texts.size() > 0 && !item.texts[0].empty()) {
          out.push_back(Label(t1, item.texts[0], kLoadColour));
          out.back().away = Mul(d, -1.0);
        }
        if (item.texts.size() > 1 && !item.texts[1].empty()) {
          out.push_back(Label(t2, item.texts[1], kLoadColour));
          out.back().away = Mul(d, -1.0);
        }
        break;
      }
      case Kind3D::Quad: {
        Vec3 e = Sub(p[1], p[0]);
        double len = Norm(e);
        Vec3 mid = Mul(Plus(p[0], p[1]), 0.5);
        Vec3 o = Sub(p[2], mid);
        if (len > 1e-12) o = Sub(o, Mul(e, Dot(o, e) / (len * len)));
        Vec3 a = Plus(p[0], o), b = Plus(p[1], o);
        out.push_back(Segment(p[0], a, kDimensionColour));
        out.push_back(Segment(p[1], b, kDimensionColour));
        out.push_back(Segment(a, b, kDimensionColour));
        Vec3 tick = Mul(Unit(Plus(Unit(o), Unit(e))), std::max(0.02, 0.04 * len));
        out.push_back(Segment(Sub(a, tick), Plus(a, tick), kDimensionColour, 2));
        out.push_back(Segment(Sub(b, tick), Plus(b, tick), kDimensionColour, 2));
        std::string text = !item.texts.empty() && !item.texts[0].empty() ? item.texts[0] : Format("%.2f", len);
        out.push_back(Label(Plus(Mul(Plus(a, b), 0.5), Mul(Unit(o), 0.03)), text, kDimensionColour, 10));
        break;
      }
      case Kind3D::Support: AddSupport(out, item, c, edge); break;
      case Kind3D::Text:
        if (!item.texts.empty() && !item.texts[0].empty()) {
          out.push_back(Label(p[0], item.texts[0], kLoadColour));
          out.back().away = p[1];
          out.back().yields = !v.empty() && v[0] != 0.0;
        }
        break;
      case Kind3D::Moment: {
        for (int axis = 0; axis < 3; ++axis) {
          double s = p[1][std::size_t(axis)];
          if (s == 0.0) continue;
          Vec3 dir{0, 0, 0};
          dir[std::size_t(axis)] = s > 0 ? 1.0 : -1.0;
          Vec3 tip = Plus(p[0], Mul(dir, std::fabs(s)));
          // A moment vector: an arrow with a double head.
          AddArrow(out, p[0], tip, v[0], kLoadColour);
          AddArrow(out, p[0], Sub(tip, Mul(dir, std::min(v[0], std::fabs(s)) * 0.5)), v[0], kLoadColour);
          if (std::size_t(axis) < item.texts.size() && !item.texts[std::size_t(axis)].empty())
            out.push_back(Label(tip, item.texts[std::size_t(axis)], kLoadColour));
        }
        break;
      }
    }
  }
  return out;
}

namespace {
struct ImageContext {
  const Scene3D* scene;
  double pixel;
};

void RenderInto(HDC dc, const RECT& r, const void* context) {
  const auto* c = static_cast<const ImageContext*>(context);
  c->scene->Render(dc, r, c->pixel);
}

int Px(double pixel, double n) { return std::max(1, int(std::lround(n * pixel))); }
}  // namespace

namespace {
// What one axis of the view asks of a point at model coordinate s drawn at p = origin + s * scale: its pixels from
// p + a to p + b lie between lo and hi.
struct Reach {
  double s, a, b, lo, hi;
};

double LowestOrigin(const std::vector<Reach>& reach, double k) {
  double o = -1e300;
  for (const Reach& r : reach) o = std::max(o, r.lo - r.a - r.s * k);
  return o;
}
double HighestOrigin(const std::vector<Reach>& reach, double k) {
  double o = 1e300;
  for (const Reach& r : reach) o = std::min(o, r.hi - r.b - r.s * k);
  return o;
}

// The largest scale up to most at which everything fits. Labels keep their size in pixels, so a scale that fits the
// drawing alone may push them out. The overflow is convex in the scale: its least value is found first, then the
// largest scale without overflow. A label wider than the view gives no such scale; the drawing then keeps a
// quarter of its full size at least.
double FitScale(const std::vector<Reach>& reach, double most) {
  auto overflow = [&](double k) { return LowestOrigin(reach, k) - HighestOrigin(reach, k); };
  if (reach.empty() || overflow(most) <= 0) return most;
  double a = 0.25 * most, b = most;
  for (int i = 0; i < 100; ++i) {
    const double m1 = a + (b - a) / 3, m2 = b - (b - a) / 3;
    if (overflow(m1) <= overflow(m2))
      b = m2;
    else
      a = m1;
  }
  double fits = (a + b) / 2, overflows = most;
  if (overflow(fits) > 0) return fits;
  for (int i = 0; i < 60; ++i) {
    const double m = (fits + overflows) / 2;
    (overflow(m) <= 0 ? fits : overflows) = m;
  }
  return fits;
}
}  // namespace

namespace {
// The title's lines at the size they fit the room with: one line at the title's size or smaller down to a legible
// least; where even that is too wide, broken at blanks into as few lines as fit, the widest of them as narrow as can
// be; a word wider than the room makes all smaller still, down to 7 pixels. `fits` tells whether every line is
// within the room.
struct TitleSet {
  std::vector<std::string> lines;
  int pixels = 0;
  bool fits = true;
};

TitleSet SetTitle(HDC dc, const std::string& title, int size, const char* face, double pixel, int room) {
  std::vector<std::string> words;
  for (std::size_t at = 0; at < title.size();) {
    const std::size_t blank = std::min(title.find(' ', at), title.size());
    if (blank > at) words.push_back(title.substr(at, blank - at));
    at = blank + 1;
  }
  const int n = int(words.size());
  auto join = [&](int from, int to) {
    std::string line = words[std::size_t(from)];
    for (int k = from + 1; k < to; ++k) line += " " + words[std::size_t(k)];
    return line;
  };
  const int least = std::min(size, 10);
  auto width = [&](const std::string& text, int pixels) { return int(TextBox(dc, text, pixels, face).right); };
  while (size > least && width(title, Px(pixel, size)) > room) --size;
  for (;; --size) {
    TitleSet t{{title}, Px(pixel, size), width(title, Px(pixel, size)) <= room};
    if (t.fits) return t;
    if (n < 2) {
      if (size <= 7) return t;
      continue;
    }
    // For the first j words: the fewest lines, the narrowest widest line among those, and where the last one starts.
    // A word wider than the room takes a line of its own.
    std::vector<int> lines(std::size_t(n) + 1, n + 1), widest(std::size_t(n) + 1, 0), from(std::size_t(n) + 1, 0);
    lines[0] = 0;
    for (int j = 1; j <= n; ++j)
      for (int i = j - 1; i >= 0; --i) {
        const int w = width(join(i, j), t.pixels);
        if (w > room && j - i > 1) break;
        const int count = lines[std::size_t(i)] + 1, most = std::max(widest[std::size_t(i)], w);
        if (count < lines[std::size_t(j)] || (count == lines[std::size_t(j)] && most < widest[std::size_t(j)])) {
          lines[std::size_t(j)] = count;
          widest[std::size_t(j)] = most;
          from[std::size_t(j)] = i;
        }
      }
    t.lines.clear();
    for (int j = n; j > 0; j = from[std::size_t(j)]) t.lines.insert(t.lines.begin(), join(from[std::size_t(j)], j));
    t.fits = widest[std::size_t(n)] <= room;
    if (t.fits || size <= 7) return t;
  }
}

}  // namespace

Layout3D Scene3D::Layout(HDC dc, const RECT& client, const std::vector<Primitive3D>& prims, double pixel) const {
  Layout3D out;
  Projection3D& view = out.projection;
  Axes(view.right, view.down, view.depth);
  const int margin = Px(pixel, 8);
  int titleSpace = 0;
  if (!title.empty()) {
    // The title shrinks to the width and then takes more lines; one that cannot fit even so starts at the left edge
    // rather than losing its start.
    const TitleSet t =
        SetTitle(dc, title, titleSize, titleFont.c_str(), pixel, int(client.right - client.left) - 2 * margin);
    const bool centred = titlePosition == 2 && t.fits;
    out.titleAlign = centred ? 1 : 0;
    out.titlePixels = t.pixels;
    const LONG x = centred ? (client.left + client.right) / 2 : client.left + margin;
    LONG top = client.top + margin;
    out.titleBox = RECT{x, top, x, top};
    for (const std::string& line : t.lines) {
      const RECT box = TextBox(dc, line, t.pixels, titleFont.c_str());
      const LONG left = centred ? x - box.right / 2 : x;
      out.titleLines.push_back({line, POINT{x, top - box.top}});
      out.titleBox.left = std::min(out.titleBox.left, left);
      out.titleBox.right = std::max(out.titleBox.right, left + box.right);
      top += box.bottom - box.top;
    }
    out.titleBox.bottom = top;
    titleSpace = int(top - client.top) + Px(pixel, 6);
  }
  // The drawing keeps a margin; labels may reach nearer the edges.
  const RECT plot{client.left + Px(pixel, 24), client.top + Px(pixel, 16) + titleSpace, client.right - Px(pixel, 24),
                  client.bottom - Px(pixel, 16)};
  const RECT labelArea{client.left + Px(pixel, 2) + 1, client.top + titleSpace + 1, client.right - Px(pixel, 2) - 1,
                       client.bottom - Px(pixel, 2) - 1};
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  bool any = false;
  for (const Primitive3D& p : prims)
    for (const Vec3& q : p.points) {
      const double sx = Dot(q, view.right), sy = Dot(q, view.down);
      if (!any) {
        x1 = x2 = sx;
        y1 = y2 = sy;
        any = true;
      }
      x1 = std::min(x1, sx);
      x2 = std::max(x2, sx);
      y1 = std::min(y1, sy);
      y2 = std::max(y2, sy);
    }
  // A label reads away from what it marks: it starts a gap right of its anchor, or ends a gap left of it when its
  // side is to the left; its baseline lies a gap above the anchor.
  const int gap = Px(pixel, 3);
  std::vector<RECT> boxes;
  std::vector<int> sense;
  std::vector<Vec3> anchors;  // in the model
  std::vector<const Primitive3D*> labels;
  std::vector<std::string> texts;  // as drawn
  for (const Primitive3D& p : prims) {
    if (p.type != Primitive3D::Label) continue;
    RECT box = TextBox(dc, p.text, Px(pixel, p.textPixels));
    const LONG width = box.right;
    const bool left = Dot(p.away, view.right) < -1e-9;
    box.left = left ? -gap - width : gap;
    box.right = box.left + width;
    box.top -= gap;
    box.bottom -= gap;
    boxes.push_back(box);
    sense.push_back(left ? -1 : 1);
    anchors.push_back(p.points[0]);
    labels.push_back(&p);
    texts.push_back(p.text);
  }
  // A label that gives way is shortened to the room from its anchor's side of its box, at `at` on the screen, to the
  // edge of the labels' area it reads towards.
  auto giveWay = [&](std::size_t i, POINT at) {
    RECT& b = boxes[i];
    const int pixels = Px(pixel, labels[i]->textPixels);
    const LONG from = at.x + (sense[i] > 0 ? b.left : b.right);
    const int room = int(sense[i] > 0 ? labelArea.right - from : from - labelArea.left);
    texts[i] = Shortened(dc, labels[i]->text, pixels, room);
    const LONG width = TextBox(dc, texts[i], pixels).right;
    if (sense[i] > 0)
      b.right = b.left + width;
    else
      b.left = b.right - width;
  };
  const double w = std::max(x2 - x1, 1e-9), h = std::max(y2 - y1, 1e-9);
  const double pw = std::max<LONG>(1, plot.right - plot.left), ph = std::max<LONG>(1, plot.bottom - plot.top);
  double most = std::min(pw / w, ph / h);
  if (!std::isfinite(most) || most > 1e6) most = 1.0;
  // The scale at which the drawing and the labels, each moved by its shift, fit (times the zoom), and the origin
  // that centres them in the room they leave on either side.
  std::vector<POINT> shift(boxes.size(), POINT{0, 0});
  auto fit = [&](double scale) {
    std::vector<Reach> across, down;
    if (any) {
      for (double sx : {x1, x2}) across.push_back({sx, 0, 0, double(plot.left), double(plot.right)});
      for (double sy : {y1, y2}) down.push_back({sy, 0, 0, double(plot.top), double(plot.bottom)});
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const RECT& b = boxes[i];
      // one that gives way is no wider here than its anchor's side
      const LONG left = labels[i]->yields && sense[i] < 0 ? b.right : b.left;
      const LONG right = labels[i]->yields && sense[i] > 0 ? b.left : b.right;
      across.push_back({Dot(anchors[i], view.right), double(left + shift[i].x), double(right + shift[i].x),
                        double(labelArea.left), double(labelArea.right)});
      down.push_back({Dot(anchors[i], view.down), double(b.top + shift[i].y), double(b.bottom + shift[i].y),
                      double(labelArea.top), double(labelArea.bottom)});
    }
    if (scale <= 0) scale = std::min(FitScale(across, most), FitScale(down, most)) * zoom;
    view.scale = scale;
    view.x0 = across.empty() ? (plot.left + plot.right) / 2.0
                             : (LowestOrigin(across, scale) + HighestOrigin(across, scale)) / 2;
    view.y0 =
        down.empty() ? (plot.top + plot.bottom) / 2.0 : (LowestOrigin(down, scale) + HighestOrigin(down, scale)) / 2;
  };
  // The labels moved apart where the view now shows their anchors.
  auto separate = [&] {
    std::vector<RECT> at;
    std::vector<bool> seen;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const POINT a = view.ToPixel(anchors[i]);
      if (labels[i]->yields) giveWay(i, a);
      RECT b = boxes[i];
      ::OffsetRect(&b, a.x, a.y);
      at.push_back(b);
      seen.push_back(a.x >= client.left && a.x < client.right && a.y >= client.top && a.y < client.bottom);
    }
    // Side by side a blank apart, one above the other a pixel.
    return Separate(at, sense, seen, labelArea, SIZE{Px(pixel, 4), Px(pixel, 1)});
  };
  fit(0);
  // Labels moved apart need room, and a drawing made smaller for it brings their anchors nearer: the scale only
  // shrinks until the labels, moved apart at that scale, fit at it. Centred on them then, they are placed once more
  // where the view shows them (a label pulled in from an edge of a view zoomed in may need another place), until
  // their places hold; the last places are always those found where the view shows them.
  if (!boxes.empty()) {
    double scale = view.scale;
    for (int round = 0; round <= 20; ++round) {
      scale = view.scale;
      shift = separate();
      fit(0);
      if (!(view.scale < scale * (1 - 1e-9))) break;
    }
    for (int again = 0; again < 4; ++again) {
      fit(scale);
      const std::vector<POINT> next = separate();
      const bool held = std::equal(next.begin(), next.end(), shift.begin(),
                                   [](POINT a, POINT b) { return a.x == b.x && a.y == b.y; });
      shift = next;
      if (held) break;
    }
  }
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const POINT a = view.ToPixel(anchors[i]);
    // moved on along its way where no place nearer was free, it is shortened further
    if (labels[i]->yields) giveWay(i, POINT{a.x + shift[i].x, a.y});
    RECT box = boxes[i];
    ::OffsetRect(&box, a.x + shift[i].x, a.y + shift[i].y);
    out.labels.push_back({box, POINT{box.left, a.y + shift[i].y - gap}, texts[i]});
  }
  return out;
}

void Scene3D::Render(HDC dc, const RECT& client, double pixel) const {
  {
    HBRUSH bg = ::CreateSolidBrush(background);
    ::FillRect(dc, &client, bg);
    ::DeleteObject(bg);
  }
  const std::vector<Primitive3D> prims = Tessellate();
  const Layout3D layout = Layout(dc, client, prims, pixel);
  const Projection3D& view = layout.projection;

  // Painter's algorithm: the farthest first; a line lies just in front of the face it borders.
  std::vector<std::pair<double, const Primitive3D*>> order;
  for (const Primitive3D& p : prims) {
    if (p.type == Primitive3D::Label) continue;
    double d = 0;
    for (const Vec3& q : p.points) d += Dot(q, view.depth);
    d /= double(p.points.size());
    if (p.type == Primitive3D::Segment) d -= 1e-4;
    // Loads stand on the faces turned towards the viewer: a large face whose middle lies nearer must not hide them.
    if (p.type == Primitive3D::Segment && p.pen == kLoadColour) d = -1e300;
    order.push_back({d, &p});
  }
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [d, p] : order) {
    std::vector<POINT> pts;
    for (const Vec3& q : p->points) pts.push_back(view.ToPixel(q));
    if (p->type == Primitive3D::Face) {
      // Newell's normal: faces turned towards the viewer are lit more.
      Vec3 n{0, 0, 0};
      for (std::size_t i = 0; i < p->points.size(); ++i) {
        const Vec3& a = p->points[i];
        const Vec3& b = p->points[(i + 1) % p->points.size()];
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
      }
      double lit = 0.7 + 0.3 * std::fabs(Dot(Unit(n), view.depth));
      GdiStyle s(dc, p->pen == p->fill ? Shade(p->fill, lit) : p->pen, Shade(p->fill, lit), 1);
      ::Polygon(dc, pts.data(), int(pts.size()));
    } else {
      GdiStyle s(dc, p->pen, p->pen, Px(pixel, p->width));
      DrawLine(dc, pts[0], pts[1]);
    }
  }
  std::size_t i = 0;
  for (const Primitive3D& p : prims) {
    if (p.type != Primitive3D::Label) continue;
    const Layout3D::Label& label = layout.labels[i++];
    DrawText(dc, label.baseline, label.text, 0.0, Px(pixel, p.textPixels), p.pen);
  }
  for (const Layout3D::TitleLine& line : layout.titleLines)
    DrawText(dc, line.at, line.text, 0.0, layout.titlePixels, style.lineColour == 0 ? 0 : 0x404040, layout.titleAlign,
             titleFont.c_str());
}

bool Scene3D::SaveImage(const std::string& path, int width, int height) const {
  const ImageContext context{this, double(kImageScale)};
  auto pixels = RenderOffscreen(width * kImageScale, height * kImageScale, background, &RenderInto, &context);
  return WritePicture(pixels, width * kImageScale, height * kImageScale, path);
}

}  // namespace plotwerk
