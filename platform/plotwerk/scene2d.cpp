#include "platform/plotwerk/scene2d.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>

#include "platform/plotwerk/gdiutil.h"
#include "platform/plotwerk/labels.h"
#include "platform/win/screen/headless.h"
#include "platform/win/base/paths.h"

namespace plotwerk {

// ---- Transform ---------------------------------------------------------------------------------------------------
void Transform2D::Apply(double x, double y, double& vx, double& vy) const {
  vx = ox + x * xx + y * yx;
  vy = oy + x * xy + y * yy;
}

bool Transform2D::Inverse(double vx, double vy, double& x, double& y) const {
  double det = xx * yy - yx * xy;
  if (std::fabs(det) < 1e-12) return false;
  double dx = vx - ox, dy = vy - oy;
  x = (dx * yy - dy * yx) / det;
  y = (xx * dy - xy * dx) / det;
  return true;
}

namespace {
// The font of a text is this many of its text heights (drawing units) high.
constexpr double kFontPerHeight = 0.7;
// Value texts of loads are this many pixels high whatever the scale.
constexpr int kLabelPixels = 11;

// The angle on the screen (degrees, counter-clockwise) of a drawing direction given in degrees.
double ViewAngle(const Transform2D& t, double degrees) {
  double a = degrees * M_PI / 180.0;
  double dx = std::cos(a) * t.xx + std::sin(a) * t.yx;
  double dy = std::cos(a) * t.xy + std::sin(a) * t.yy;
  return std::atan2(dy, dx) * 180.0 / M_PI;
}
}  // namespace

// ---- Scene ---------------------------------------------------------------------------------------------------------
Scene2D::Scene2D() { Clear(); }

void Scene2D::Clear() {
  m_items.clear();
  m_transforms.assign(1, Transform2D{});
  m_transform = 0;
  m_style = Style2D{};
  m_objectId = 0;
  m_group = 0;
  title.clear();
  header.clear();
  std::fill(std::begin(window), std::end(window), 0.0);
  showHeader = true;
}

void Scene2D::SetTransform(const Transform2D& t) {
  m_transforms.push_back(t);
  m_transform = int(m_transforms.size()) - 1;
}

Item2D& Scene2D::Add(Kind2D kind, std::vector<double> v, std::string text) {
  Item2D item;
  item.kind = kind;
  item.v = std::move(v);
  item.text = std::move(text);
  item.style = m_style;
  item.transform = m_transform;
  item.id = m_objectId;
  item.group = m_group;
  m_items.push_back(std::move(item));
  return m_items.back();
}

namespace {
// A temporary file that did not become its target is removed: no ".part" stays beside the pictures.
bool Verwirf(const std::string& tmp) {
  std::remove(win::ToFsPath(tmp.c_str()).c_str());
  return false;
}

bool Ersetze(const std::string& tmp, const std::string& path) {
  if (std::rename(win::ToFsPath(tmp.c_str()).c_str(), win::ToFsPath(path.c_str()).c_str()) == 0) return true;
  return Verwirf(tmp);
}

// Indices of the coordinate pairs of an item that are points of the drawing (others are directions or sizes).
std::vector<std::pair<int, int>> PointPairs(const Item2D& item) {
  std::vector<std::pair<int, int>> p;
  switch (item.kind) {
    case Kind2D::Line:
    case Kind2D::Rectangle:
    case Kind2D::ValueLabel:
    case Kind2D::LineLoad: p = {{0, 1}, {2, 3}}; break;
    case Kind2D::Polygon:
    case Kind2D::Quad:
      for (int i = 0; i + 1 < int(item.v.size()); i += 2) p.push_back({i, i + 1});
      break;
    case Kind2D::Dimension: p = {{0, 1}, {2, 3}}; break;
    case Kind2D::Triangle: p = {{0, 1}, {2, 3}, {4, 5}}; break;
    default: p = {{0, 1}}; break;
  }
  return p;
}
}  // namespace

int Scene2D::MoveObject(long id, double dx, double dy) {
  if (id == 0) return 0;
  int moved = 0;
  for (Item2D& item : m_items) {
    if (item.id != id) continue;
    for (auto [ix, iy] : PointPairs(item)) {
      if (iy >= int(item.v.size())) continue;
      item.v[std::size_t(ix)] += dx;
      item.v[std::size_t(iy)] += dy;
    }
    ++moved;
  }
  return moved;
}

int Scene2D::RestyleObject(long id, const Style2D& style) {
  int n = 0;
  for (Item2D& item : m_items)
    if (item.id == id) {
      item.style = style;
      ++n;
    }
  return n;
}

int Scene2D::ItemCount(Kind2D kind) const {
  return int(std::count_if(m_items.begin(), m_items.end(), [kind](const Item2D& i) { return i.kind == kind; }));
}

bool Scene2D::Bounds(double& x1, double& y1, double& x2, double& y2) const {
  if (window[0] != window[2] && window[1] != window[3]) {
    x1 = std::min(window[0], window[2]);
    x2 = std::max(window[0], window[2]);
    y1 = std::min(window[1], window[3]);
    y2 = std::max(window[1], window[3]);
    return true;
  }
  bool any = false;
  auto take = [&](double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (!any) {
      x1 = x2 = x;
      y1 = y2 = y;
      any = true;
    }
    x1 = std::min(x1, x);
    x2 = std::max(x2, x);
    y1 = std::min(y1, y);
    y2 = std::max(y2, y);
  };
  for (const Item2D& item : m_items) {
    if (item.style.line == 4 && item.style.fill >= 3 && item.kind != Kind2D::Rectangle) continue;
    const Transform2D& t = m_transforms[std::size_t(item.transform)];
    auto point = [&](double x, double y) {
      double vx, vy;
      t.Apply(x, y, vx, vy);
      take(vx, vy);
    };
    for (auto [ix, iy] : PointPairs(item))
      if (iy < int(item.v.size())) point(item.v[std::size_t(ix)], item.v[std::size_t(iy)]);
    const auto& v = item.v;
    switch (item.kind) {
      case Kind2D::Dimension:
        point(v[0] + v[4], v[1] + v[5]);
        point(v[2] + v[4], v[3] + v[5]);
        break;
      case Kind2D::PointLoad:
      case Kind2D::LineLoad: {
        bool line = item.kind == Kind2D::LineLoad;
        double dx = line ? v[4] : v[2], dy = line ? v[5] : v[3];
        double len = std::hypot(dx, dy);
        if (len <= 0) break;
        double ux = dx / len, uy = dy / len;
        double a = line ? v[6] : v[4], b = line ? v[7] : v[4];
        point(v[0] - ux * a, v[1] - uy * a);
        if (line) point(v[2] - ux * b, v[3] - uy * b);
        break;
      }
      case Kind2D::Triangle:
        if (v[2] == v[4] && v[3] == v[5]) {
          double r = std::hypot(v[2] - v[0], v[3] - v[1]);
          point(v[0] - r, v[1] - r);
          point(v[0] + r, v[1] + r);
        }
        break;
      case Kind2D::Node: point(v[0] - v[2] * 1.5, v[1] - v[3] * 1.5); break;
      case Kind2D::Text:
      case Kind2D::ValueLabel: {
        // The text's box in the view, where it is drawn: its run along its direction (about 0.6 font heights per
        // character), its capitals above the baseline and its descenders below; the font is 0.7 text heights.
        bool label = item.kind == Kind2D::ValueLabel;
        double x = label ? v[2] : v[0], y = label ? v[3] : v[1];
        double em = kFontPerHeight * std::fabs(label ? v[4] : v[3]);
        double a = ViewAngle(t, label ? v[5] : v[2]) * M_PI / 180.0;
        double run = 0.6 * em * double(item.text.size());
        double ax, ay;
        t.Apply(x, y, ax, ay);
        const double ux = std::cos(a), uy = std::sin(a), nx = -uy, ny = ux;
        for (double along : {0.0, run})
          for (double across : {-0.25 * em, 0.8 * em})
            take(ax + ux * along + nx * across, ay + uy * along + ny * across);
        break;
      }
      default: break;
    }
  }
  return any;
}

// ---- File ----------------------------------------------------------------------------------------------------------
namespace {
constexpr const char* kMagic = "PLOTWERK-2D";

std::string Escape(const std::string& s) {
  std::string out = "s:";
  for (unsigned char c : s) {
    if (c <= ' ' || c == '%' || c == 0x7F) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += char(c);
    }
  }
  return out;
}

bool Unescape(const std::string& token, std::string& out) {
  if (token.rfind("s:", 0) != 0) return false;
  out.clear();
  for (std::size_t i = 2; i < token.size(); ++i) {
    if (token[i] == '%' && i + 2 < token.size()) {
      out += char(std::stoi(token.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += token[i];
    }
  }
  return true;
}
}  // namespace

bool Scene2D::Save(const std::string& path, int width, int height) const {
  std::ostringstream o;
  o.precision(17);
  o << kMagic << " 1\n";
  o << "size " << width << ' ' << height << '\n';
  o << "title " << Escape(title) << '\n';
  o << "header " << headerSize << ' ' << (showHeader ? 1 : 0) << ' ' << Escape(header) << '\n';
  o << "axes " << (showAxes ? 1 : 0) << ' ' << Escape(axisX) << ' ' << Escape(axisY) << '\n';
  if (axisXAlongDrawing || axisYAlongDrawing)
    o << "axisdir " << int(axisXAlongDrawing) << ' ' << int(axisYAlongDrawing) << '\n';
  o << "window " << window[0] << ' ' << window[1] << ' ' << window[2] << ' ' << window[3] << '\n';
  for (const Transform2D& t : m_transforms)
    o << "transform " << t.ox << ' ' << t.oy << ' ' << t.xx << ' ' << t.xy << ' ' << t.yx << ' ' << t.yy << '\n';
  for (const Item2D& i : m_items) {
    o << "item " << int(i.kind) << ' ' << i.transform << ' ' << i.style.colour << ' ' << i.style.line << ' '
      << i.style.fill << ' ' << i.style.outline << ' ' << i.id << ' ' << i.group << ' ' << i.v.size();
    for (double d : i.v) o << ' ' << d;
    o << ' ' << Escape(i.text) << '\n';
  }
  o << "end\n";
  // Written whole or not at all: a temporary file is renamed over the target.
  std::string tmp = path + ".part";
  {
    std::ofstream f(win::ToFsPath(tmp.c_str()), std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f << o.str();
    f.close();
    if (!f.good()) return Verwirf(tmp);
  }
  return Ersetze(tmp, path);
}

bool Scene2D::Load(const std::string& path, int* width, int* height) {
  std::ifstream f(win::ToFsPath(path.c_str()), std::ios::binary);
  if (!f) return false;
  std::string magic;
  int version = 0;
  if (!(f >> magic >> version) || magic != kMagic || version != 1) return false;
  Scene2D s;
  s.m_transforms.clear();
  int w = 0, h = 0;
  std::string key;
  bool ended = false;
  try {
    while (f >> key) {
      if (key == "end") {
        ended = true;
        break;
      }
      std::string tok, tok2;
      if (key == "size") {
        f >> w >> h;
      } else if (key == "title") {
        f >> tok;
        if (!Unescape(tok, s.title)) return false;
      } else if (key == "header") {
        int show = 1;
        f >> s.headerSize >> show >> tok;
        s.showHeader = show != 0;
        if (!Unescape(tok, s.header)) return false;
      } else if (key == "axes") {
        int on = 0;
        f >> on >> tok >> tok2;
        s.showAxes = on != 0;
        if (!Unescape(tok, s.axisX) || !Unescape(tok2, s.axisY)) return false;
      } else if (key == "axisdir") {
        int x = 0, y = 0;
        f >> x >> y;
        s.axisXAlongDrawing = x != 0;
        s.axisYAlongDrawing = y != 0;
      } else if (key == "window") {
        f >> s.window[0] >> s.window[1] >> s.window[2] >> s.window[3];
      } else if (key == "transform") {
        Transform2D t;
        f >> t.ox >> t.oy >> t.xx >> t.xy >> t.yx >> t.yy;
        s.m_transforms.push_back(t);
      } else if (key == "item") {
        Item2D i;
        int kind = 0;
        std::size_t n = 0;
        f >> kind >> i.transform >> i.style.colour >> i.style.line >> i.style.fill >> i.style.outline >> i.id >>
            i.group >> n;
        if (!f || kind < 0 || kind > int(Kind2D::Node) || n > 100000) return false;
        i.kind = Kind2D(kind);
        i.v.resize(n);
        for (double& d : i.v) f >> d;
        f >> tok;
        if (!f || !Unescape(tok, i.text)) return false;
        if (i.transform < 0 || i.transform >= int(s.m_transforms.size())) return false;
        s.m_items.push_back(std::move(i));
      } else {
        return false;
      }
      if (!f) return false;
    }
  } catch (const std::bad_alloc&) {
    throw;  // a shortage is no fault of the file
  } catch (const std::exception&) {
    return false;
  }
  if (!ended || s.m_transforms.empty()) return false;
  s.m_transform = int(s.m_transforms.size()) - 1;
  *this = std::move(s);
  if (width) *width = w;
  if (height) *height = h;
  return true;
}

// ---- View ----------------------------------------------------------------------------------------------------------
View2D::View2D(const Scene2D& scene, const RECT& client, bool exactText)
    : m_scene(scene), m_client(client), m_exactText(exactText) {
  m_plot = client;
  int headerLines = !scene.showHeader || scene.header.empty()
                        ? 0
                        : 1 + int(std::count(scene.header.begin(), scene.header.end(), '\n'));
  int top = (scene.title.empty() ? 0 : 22) + headerLines * (scene.headerSize + 6);
  m_top = top;
  m_plot.left += 14;
  m_plot.right -= 14;
  m_plot.top += 14 + top;
  m_plot.bottom -= 14;
  if (m_plot.right <= m_plot.left) m_plot.right = m_plot.left + 1;
  if (m_plot.bottom <= m_plot.top) m_plot.bottom = m_plot.top + 1;
  double x1 = 0, y1 = 0, x2 = 1, y2 = 1;
  if (!scene.Bounds(x1, y1, x2, y2)) x2 = y2 = 1;
  double w = x2 - x1, h = y2 - y1;
  if (w <= 1e-12 && h <= 1e-12) w = h = 1.0;  // a single point: any scale will do
  double pw = m_plot.right - m_plot.left, ph = m_plot.bottom - m_plot.top;
  double sx = w > 1e-12 ? pw / w : 1e300, sy = h > 1e-12 ? ph / h : 1e300;
  m_scale = std::min(sx, sy);
  // Centre the bounds in the plot rectangle.
  m_x0 = x1 - (pw / m_scale - w) / 2;
  m_y0 = y1 - (ph / m_scale - h) / 2;
}

POINT View2D::ToPixel(double vx, double vy) const {
  double px = m_plot.left + (vx - m_x0) * m_scale;
  double py = m_plot.bottom - (vy - m_y0) * m_scale;
  px = std::clamp(px, -1e6, 1e6);
  py = std::clamp(py, -1e6, 1e6);
  return POINT{LONG(std::lround(px)), LONG(std::lround(py))};
}

void View2D::ToView(int px, int py, double& vx, double& vy) const {
  vx = m_x0 + (px - m_plot.left) / m_scale;
  vy = m_y0 + (m_plot.bottom - py) / m_scale;
}

int View2D::TextPixels(double height) const {
  double px = std::fabs(height) * m_scale * kFontPerHeight;
  if (!std::isfinite(px)) px = 0;
  // On screen a text stays between 8 and 24 pixels whatever the zoom; a print keeps the drawing's proportions.
  if (m_exactText) return std::clamp(int(std::lround(px)), 1, 2000);
  return std::clamp(int(std::lround(px)), 8, 24);
}

POINT View2D::Item(const Item2D& item, double x, double y) const {
  double vx, vy;
  m_scene.m_transforms[std::size_t(item.transform)].Apply(x, y, vx, vy);
  return ToPixel(vx, vy);
}

namespace {
// The pixel direction of a drawing vector (unit length; zero when the vector is zero).
void PixelDir(const Transform2D& t, double dx, double dy, double& px, double& py) {
  double vx = dx * t.xx + dy * t.yx, vy = dx * t.xy + dy * t.yy;
  double len = std::hypot(vx, vy);
  px = len > 0 ? vx / len : 0;
  py = len > 0 ? -vy / len : 0;
}

void Arrow(HDC dc, POINT tail, POINT tip, int head) {
  DrawLine(dc, tail, tip);
  double dx = tip.x - tail.x, dy = tip.y - tail.y, len = std::hypot(dx, dy);
  if (len < 1) return;
  dx /= len;
  dy /= len;
  POINT tri[3] = {tip,
                  {LONG(tip.x - dx * head - dy * head * 0.4), LONG(tip.y - dy * head + dx * head * 0.4)},
                  {LONG(tip.x - dx * head + dy * head * 0.4), LONG(tip.y - dy * head - dx * head * 0.4)}};
  ::Polygon(dc, tri, 3);
}
}  // namespace

void View2D::DrawItem(HDC dc, const Item2D& item) const {
  const Transform2D& t = m_scene.m_transforms[std::size_t(item.transform)];
  const auto& v = item.v;
  const Style2D& s = item.style;
  GdiStyle gdi(dc, s.colour, s.line, s.fill, s.outline);
  auto P = [&](double x, double y) { return Item(item, x, y); };
  switch (item.kind) {
    case Kind2D::Line: DrawLine(dc, P(v[0], v[1]), P(v[2], v[3])); break;
    case Kind2D::Rectangle: {
      POINT q[4] = {P(v[0], v[1]), P(v[2], v[1]), P(v[2], v[3]), P(v[0], v[3])};
      ::Polygon(dc, q, 4);
      break;
    }
    case Kind2D::Polygon:
    case Kind2D::Quad: {
      std::vector<POINT> q;
      for (std::size_t i = 0; i + 1 < v.size(); i += 2) q.push_back(P(v[i], v[i + 1]));
      if (q.size() >= 2) ::Polygon(dc, q.data(), int(q.size()));
      if (item.kind == Kind2D::Quad && !item.text.empty() && !q.empty())
        DrawText(dc, q[0], item.text, 0.0, 12, s.colour);
      break;
    }
    case Kind2D::Triangle: {
      if (v[2] == v[4] && v[3] == v[5]) {
        POINT c = P(v[0], v[1]);
        int r = int(std::lround(std::hypot(v[2] - v[0], v[3] - v[1]) * m_scale));
        ::Ellipse(dc, c.x - r, c.y - r, c.x + r + 1, c.y + r + 1);
      } else {
        POINT q[3] = {P(v[0], v[1]), P(v[2], v[3]), P(v[4], v[5])};
        ::Polygon(dc, q, 3);
      }
      break;
    }
    case Kind2D::Text: {
      int px = TextPixels(v[3]);
      DrawText(dc, P(v[0], v[1]), item.text, ViewAngle(t, v[2]), px, s.colour);
      break;
    }
    case Kind2D::TextPt:
      DrawText(dc, P(v[0], v[1]), item.text, ViewAngle(t, v[2]), std::clamp(int(v[3]), 6, 48), s.colour);
      break;
    case Kind2D::ValueLabel: {
      POINT a = P(v[0], v[1]), b = P(v[2], v[3]);
      DrawLine(dc, a, b);
      int px = TextPixels(v[4]);
      DrawText(dc, b, item.text, ViewAngle(t, v[5]), px, s.colour);
      break;
    }
    case Kind2D::Dimension: {
      POINT a = P(v[0], v[1]), b = P(v[2], v[3]);
      POINT a2 = P(v[0] + v[4], v[1] + v[5]), b2 = P(v[2] + v[4], v[3] + v[5]);
      DrawLine(dc, a, a2);
      DrawLine(dc, b, b2);
      DrawLine(dc, a2, b2);
      int tick = 5;
      DrawLine(dc, {a2.x - tick, a2.y + tick}, {a2.x + tick, a2.y - tick});
      DrawLine(dc, {b2.x - tick, b2.y + tick}, {b2.x + tick, b2.y - tick});
      std::string text = item.text;
      if (text.empty()) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", std::hypot(v[2] - v[0], v[3] - v[1]));
        text = buf;
      }
      double angle = std::atan2(-(b2.y - a2.y), b2.x - a2.x) * 180.0 / M_PI;
      if (angle > 90.0) angle -= 180.0;
      if (angle <= -90.0) angle += 180.0;
      POINT mid{(a2.x + b2.x) / 2, (a2.y + b2.y) / 2};
      DrawText(dc, mid, text, angle, std::clamp(int(v[6]) - 3, 8, 20), s.colour, true);
      break;
    }
    case Kind2D::PointLoad:
    case Kind2D::LineLoad: {
      bool line = item.kind == Kind2D::LineLoad;
      double dx = line ? v[4] : v[2], dy = line ? v[5] : v[3];
      double len = std::hypot(dx, dy);
      if (len <= 0) break;
      double ux = dx / len, uy = dy / len;
      double a = line ? v[6] : v[4], b = line ? v[7] : v[4];
      POINT tip1 = P(v[0] - dx, v[1] - dy), tail1 = P(v[0] - ux * a, v[1] - uy * a);
      int head = 7;
      if (!line) {
        Arrow(dc, tail1, tip1, head);
        break;
      }
      POINT tip2 = P(v[2] - dx, v[3] - dy), tail2 = P(v[2] - ux * b, v[3] - uy * b);
      POINT band[4] = {tip1, tail1, tail2, tip2};
      {
        GdiStyle light(dc, s.colour, 0, 3, FALSE);
        ::Polygon(dc, band, 4);
      }
      int n = std::max(2, int(std::hypot(tip2.x - tip1.x, tip2.y - tip1.y) / 18) + 1);
      for (int k = 0; k < n; ++k) {
        double f = double(k) / (n - 1);
        POINT tip{LONG(tip1.x + (tip2.x - tip1.x) * f), LONG(tip1.y + (tip2.y - tip1.y) * f)};
        POINT tail{LONG(tail1.x + (tail2.x - tail1.x) * f), LONG(tail1.y + (tail2.y - tail1.y) * f)};
        Arrow(dc, tail, tip, head);
      }
      break;
    }
    case Kind2D::Moment: {
      POINT c = P(v[0], v[1]);
      int r = std::clamp(int(std::lround(std::fabs(v[4]) * m_scale)), 6, 60);
      GdiStyle hollow(dc, s.colour, 0, 3, FALSE);
      // A quarter turn from the right to the top, its head at the end the moment turns to.
      ::Arc(dc, c.x - r, c.y - r, c.x + r, c.y + r, c.x + r, c.y, c.x, c.y - r);
      if (v[4] < 0)
        Arrow(dc, {c.x + r, c.y - 1}, {c.x + r, c.y + 2}, 6);
      else
        Arrow(dc, {c.x + 1, c.y - r}, {c.x - 2, c.y - r}, 6);
      break;
    }
    case Kind2D::Node: {
      POINT c = P(v[0], v[1]);
      double px, py;
      PixelDir(t, v[2], v[3], px, py);
      int size = std::clamp(int(std::lround(std::hypot(v[2], v[3]) * m_scale)), 6, 30);
      // A triangle pointing at the node from the support's side; a bar under it when it is rigid.
      POINT base{LONG(c.x - px * size), LONG(c.y - py * size)};
      POINT tri[3] = {c,
                      {LONG(base.x - py * size * 0.6), LONG(base.y + px * size * 0.6)},
                      {LONG(base.x + py * size * 0.6), LONG(base.y - px * size * 0.6)}};
      if (v[4] != 0.0) ::Polygon(dc, tri, 3);
      if (v[4] < 0.0) DrawLine(dc, tri[1], tri[2]);
      if (v[6] != 0.0) ::Ellipse(dc, c.x - 3, c.y - 3, c.x + 4, c.y + 4);
      break;
    }
  }
}

void View2D::Render(HDC dc) const {
  ::SetBkMode(dc, TRANSPARENT);
  int y = m_client.top + 6;
  if (!m_scene.title.empty()) {
    DrawText(dc, {m_client.left + 8, y + 14}, m_scene.title, 0.0, 14, 0);
    y += 22;
  }
  std::istringstream lines(m_scene.showHeader ? m_scene.header : std::string());
  for (std::string line; std::getline(lines, line);) {
    y += m_scene.headerSize + 6;
    DrawText(dc, {m_client.left + 8, y}, line, 0.0, m_scene.headerSize + 3, 0);
  }
  // Each item's value texts over it, as soon as it is drawn.
  const std::vector<Label2D> labels = Labels(dc);
  auto label = labels.begin();
  for (std::size_t i = 0; i < m_scene.m_items.size(); ++i) {
    DrawItem(dc, m_scene.m_items[i]);
    for (; label != labels.end() && label->item == i; ++label)
      DrawText(dc, label->baseline, label->text, 0.0, kLabelPixels, m_scene.m_items[i].style.colour);
  }
  if (m_scene.showAxes) {
    POINT o, x, y;
    AxisArrows(o, x, y);
    GdiStyle axes(dc, 0x808080, 0, 3, FALSE);
    Arrow(dc, o, x, 5);
    Arrow(dc, o, y, 5);
    // Each name beyond its arrow's tip.
    DrawText(dc, {x.x + (x.x - o.x) / 15 - (x.x < o.x ? 8 : 0), x.y + (x.y - o.y) / 10 + 4}, m_scene.axisX, 0.0, 10,
             0x808080);
    DrawText(dc, {y.x + (y.x - o.x) / 10 - 4, y.y + (y.y - o.y) / 10 - (y.y > o.y ? -4 : 0)}, m_scene.axisY, 0.0, 10,
             0x808080);
  }
}

std::vector<std::pair<POINT, std::string>> View2D::LabelAnchors(const Item2D& item) const {
  const auto& v = item.v;
  std::vector<std::pair<POINT, std::string>> out;
  switch (item.kind) {
    case Kind2D::PointLoad:
    case Kind2D::LineLoad: {
      // At the tail of the first arrow, and of the last one for a line load's second value (after a tab).
      const bool line = item.kind == Kind2D::LineLoad;
      const double dx = line ? v[4] : v[2], dy = line ? v[5] : v[3];
      const double len = std::hypot(dx, dy);
      if (len <= 0) break;
      const double ux = dx / len, uy = dy / len;
      const double a = line ? v[6] : v[4], b = line ? v[7] : v[4];
      const std::size_t tab = item.text.find('\t');
      out.push_back({Item(item, v[0] - ux * a, v[1] - uy * a), item.text.substr(0, tab)});
      if (line && tab != std::string::npos)
        out.push_back({Item(item, v[2] - ux * b, v[3] - uy * b), item.text.substr(tab + 1)});
      break;
    }
    case Kind2D::Moment: {
      // At the upper right of its turn.
      const POINT c = Item(item, v[0], v[1]);
      const int r = std::clamp(int(std::lround(std::fabs(v[4]) * m_scale)), 6, 60);
      out.push_back({POINT{c.x + r, c.y - r}, item.text});
      break;
    }
    default: break;
  }
  return out;
}

std::vector<Label2D> View2D::Labels(HDC dc) const {
  // A label keeps two pixels from the view's edges and stays below the title and the header.
  const RECT area{m_client.left + 2, m_client.top + m_top + 2, m_client.right - 2, m_client.bottom - 2};
  // As far as a value of a few digits needs to come back whole from the edge.
  const LONG back = 4 * kLabelPixels;
  std::vector<Label2D> labels;
  std::vector<RECT> at;
  std::vector<bool> seen;
  for (std::size_t i = 0; i < m_scene.m_items.size(); ++i)
    for (auto& [anchor, text] : LabelAnchors(m_scene.m_items[i])) {
      if (text.empty()) continue;
      Label2D l{i, anchor, text, TextBox(dc, text, kLabelPixels)};
      RECT& b = l.box;
      ::OffsetRect(&b, anchor.x, anchor.y);
      LONG dx = 0;
      if (b.right > area.right)
        dx = -std::min(b.right - area.right, back);
      else if (b.left < area.left)
        dx = std::min(area.left - b.left, back);
      ::OffsetRect(&b, dx, 0);
      l.baseline.x += dx;
      if (b.right > area.right) {
        l.text = Shortened(dc, text, kLabelPixels, int(area.right - b.left));
        b.right = b.left + TextBox(dc, l.text, kLabelPixels).right;
      }
      seen.push_back(::PtInRect(&m_client, anchor) != FALSE);
      at.push_back(l.box);
      labels.push_back(std::move(l));
    }
  // Side by side a blank apart, one above the other a pixel.
  const std::vector<POINT> shift = Separate(at, std::vector<int>(at.size(), 1), seen, area, SIZE{4, 1});
  for (std::size_t k = 0; k < labels.size(); ++k) {
    ::OffsetRect(&labels[k].box, shift[k].x, shift[k].y);
    labels[k].baseline.x += shift[k].x;
    labels[k].baseline.y += shift[k].y;
  }
  return labels;
}

void View2D::AxisArrows(POINT& origin, POINT& xTip, POINT& yTip) const {
  constexpr int kLength = 30, kMargin = 12;
  const Transform2D& t = m_scene.m_transforms.empty() ? Transform2D{} : m_scene.m_transforms.back();
  double xx = 1, xy = 0, yx = 0, yy = -1;  // pixel directions: right and up
  if (m_scene.axisXAlongDrawing) PixelDir(t, 1, 0, xx, xy);
  if (m_scene.axisYAlongDrawing) PixelDir(t, 0, 1, yx, yy);
  // The sign keeps to the lower left corner whichever way its arrows point.
  const double left = std::min({0.0, xx, yx}), down = std::max({0.0, xy, yy});
  origin = {LONG(m_client.left + kMargin - std::lround(left * kLength)),
            LONG(m_client.bottom - kMargin - std::lround(down * kLength))};
  xTip = {LONG(origin.x + std::lround(xx * kLength)), LONG(origin.y + std::lround(xy * kLength))};
  yTip = {LONG(origin.x + std::lround(yx * kLength)), LONG(origin.y + std::lround(yy * kLength))};
}

long View2D::HitTest(int px, int py, int tolerance) const {
  for (auto it = m_scene.m_items.rbegin(); it != m_scene.m_items.rend(); ++it) {
    const Item2D& item = *it;
    if (item.id == 0) continue;
    std::vector<POINT> pts;
    for (auto [ix, iy] : PointPairs(item))
      if (iy < int(item.v.size())) pts.push_back(Item(item, item.v[std::size_t(ix)], item.v[std::size_t(iy)]));
    if (pts.empty()) continue;
    if (item.kind == Kind2D::Line && pts.size() == 2) {
      double ax = pts[0].x, ay = pts[0].y, bx = pts[1].x, by = pts[1].y;
      double dx = bx - ax, dy = by - ay, l2 = dx * dx + dy * dy;
      double f = l2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / l2, 0.0, 1.0) : 0.0;
      if (std::hypot(px - (ax + f * dx), py - (ay + f * dy)) <= tolerance) return item.id;
      continue;
    }
    // Other items: their pixel bounding box, at least the size of a small symbol around their anchor.
    LONG l = pts[0].x, r = pts[0].x, t = pts[0].y, b = pts[0].y;
    for (POINT p : pts) {
      l = std::min(l, p.x);
      r = std::max(r, p.x);
      t = std::min(t, p.y);
      b = std::max(b, p.y);
    }
    int pad = tolerance + (pts.size() == 1 ? 8 : 0);
    if (item.kind == Kind2D::PointLoad || item.kind == Kind2D::LineLoad) pad = tolerance + 10;
    if (px >= l - pad && px <= r + pad && py >= t - pad && py <= b + pad) return item.id;
  }
  return 0;
}

// ---- Pictures ------------------------------------------------------------------------------------------------------
std::vector<std::uint32_t> RenderOffscreen(int width, int height, COLORREF background,
                                           void (*draw)(HDC dc, const RECT& r, const void* context),
                                           const void* context) {
  Offscreen picture;
  picture.Render(width, height, background, draw, context);
  return picture.TakePixels();
}

Offscreen::~Offscreen() { Release(); }

void Offscreen::Release() {
  if (m_dc) {
    ::SelectObject(m_dc, m_old);
    ::DeleteDC(m_dc);
  }
  if (m_bitmap) ::DeleteObject(m_bitmap);
  m_dc = nullptr;
  m_bitmap = nullptr;
  m_old = nullptr;
  m_width = m_height = 0;
}

const std::vector<std::uint32_t>& Offscreen::Render(int width, int height, COLORREF background,
                                                    void (*draw)(HDC dc, const RECT& r, const void* context),
                                                    const void* context) {
  if (width <= 0 || height <= 0) {
    m_pixels.clear();
    return m_pixels;
  }
  if (width != m_width || height != m_height || !m_dc) {
    Release();
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateBitmap(width, height, 1, 32, nullptr);
    if (!m_dc || !m_bitmap) {
      // Drawn on the DC's one-pixel stand-in the picture would come out as an empty one.
      Release();
      throw std::bad_alloc();
    }
    m_old = ::SelectObject(m_dc, m_bitmap);
    m_width = width;
    m_height = height;
  }
  // The DC's state is the drawing's own each time: what one drawing selected or set is not left for the next.
  const int saved = ::SaveDC(m_dc);
  RECT r{0, 0, width, height};
  HBRUSH brush = ::CreateSolidBrush(background);
  ::FillRect(m_dc, &r, brush);
  ::DeleteObject(brush);
  draw(m_dc, r, context);
  ::RestoreDC(m_dc, saved);
  m_pixels.resize(std::size_t(width) * std::size_t(height));
  ::GetBitmapBits(m_bitmap, LONG(m_pixels.size() * 4), m_pixels.data());
  return m_pixels;
}

bool WritePicture(const std::vector<std::uint32_t>& pixels, int width, int height, const std::string& path) {
  if (width <= 0 || height <= 0 || pixels.size() != std::size_t(width) * std::size_t(height)) return false;
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  bool bmp = lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".bmp") == 0;
  std::string tmp = path + ".part";
  if (!bmp) {
    win::Image image;
    image.width = width;
    image.height = height;
    image.pixels = pixels;
    if (!win::SavePng(image, win::ToFsPath(tmp.c_str()))) return Verwirf(tmp);
  } else {
    std::uint32_t stride = (std::uint32_t(width) * 3 + 3) & ~3u;
    std::uint32_t dataSize = stride * std::uint32_t(height);
    std::string out(54 + dataSize, '\0');
    auto put16 = [&](std::size_t at, std::uint32_t v) {
      out[at] = char(v & 0xFF);
      out[at + 1] = char((v >> 8) & 0xFF);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
      put16(at, v & 0xFFFF);
      put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(width));
    put32(22, std::uint32_t(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    put32(38, 3780);  // 96 dpi
    put32(42, 3780);
    for (int y = 0; y < height; ++y) {
      std::size_t row = 54 + std::size_t(height - 1 - y) * stride;  // rows bottom-up
      for (int x = 0; x < width; ++x) {
        std::uint32_t p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
        out[row + std::size_t(x) * 3] = char(p & 0xFF);
        out[row + std::size_t(x) * 3 + 1] = char((p >> 8) & 0xFF);
        out[row + std::size_t(x) * 3 + 2] = char((p >> 16) & 0xFF);
      }
    }
    std::ofstream f(win::ToFsPath(tmp.c_str()), std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(out.data(), std::streamsize(out.size()));
    f.close();
    if (!f.good()) return Verwirf(tmp);
  }
  return Ersetze(tmp, path);
}

}  // namespace plotwerk
