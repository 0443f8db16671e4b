// The cross-section sketch (bitmap 26032): the three reinforcement types of the rectangle with the names of
// its dimensions, and the circle and the ring with theirs, as the report and the cross-section dialog show it.
#include "report/querschnittskizze.h"

#include <cairo.h>

#include <cmath>

#include "platform/win/resources/resources.h"
#include "platform/win/screen/headless.h"

namespace report {
namespace {

constexpr double kBar = 4.5;  // bar radius, pixels

void Bar(cairo_t* cr, double x, double y) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, kBar, 0, 2 * M_PI);
  cairo_fill(cr);
}

void Label(cairo_t* cr, double x, double y, const char* text, const char* sub = nullptr, double size = 15) {
  win::SelectFontFace(cr, "DejaVu Sans", false, true, size);
  cairo_text_extents_t e, es{};
  cairo_text_extents(cr, text, &e);
  double width = e.x_advance;
  if (sub) {
    cairo_set_font_size(cr, size * 0.7);
    cairo_text_extents(cr, sub, &es);
    width += es.x_advance;
  }
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x - width / 2, y + size * 0.35);
  cairo_show_text(cr, text);
  if (sub) {
    cairo_set_font_size(cr, size * 0.7);
    cairo_rel_move_to(cr, 0, size * 0.25);
    cairo_show_text(cr, sub);
  }
}

// A dimension line with arrow heads from (x0, y0) to (x1, y1).
void Dimension(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
  double a = std::atan2(y1 - y0, x1 - x0);
  for (int end = 0; end < 2; ++end) {
    double x = end ? x1 : x0, y = end ? y1 : y0, d = end ? a + M_PI : a;
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + 8 * std::cos(d - 0.35), y + 8 * std::sin(d - 0.35));
    cairo_line_to(cr, x + 8 * std::cos(d + 0.35), y + 8 * std::sin(d + 0.35));
    cairo_close_path(cr);
    cairo_fill(cr);
  }
}

// One rectangle of 120 x 150 pixels at (x, y) with the bars of reinforcement type 1, 2 or 3.
void Rectangle(cairo_t* cr, double x, double y, int type) {
  const double w = 120, h = 150, d = 16;
  cairo_new_path(cr);
  cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  double l = x + d, r = x + w - d, t = y + d, b = y + h - d;
  Bar(cr, l, t), Bar(cr, r, t), Bar(cr, l, b), Bar(cr, r, b);
  if (type == 2) Bar(cr, (l + r) / 2, t), Bar(cr, (l + r) / 2, b), Bar(cr, l, (t + b) / 2), Bar(cr, r, (t + b) / 2);
  if (type == 3) {
    for (int i = 1; i < 4; ++i) Bar(cr, l + (r - l) * i / 4, t), Bar(cr, l + (r - l) * i / 4, b);
    for (int i = 1; i < 5; ++i) Bar(cr, l, t + (b - t) * i / 5), Bar(cr, r, t + (b - t) * i / 5);
  }
  // bx across the bottom, dy along the left side, the edge distances at the top right corner.
  Dimension(cr, x, y + h + 14, x + w, y + h + 14);
  Label(cr, x + w / 2, y + h + 30, "b", "x");
  Dimension(cr, x - 14, y, x - 14, y + h);
  Label(cr, x - 30, y + h / 2, "d", "y");
  Dimension(cr, r, y - 10, x + w, y - 10);
  Label(cr, r + d / 2, y - 24, "d", "x", 12);
  Dimension(cr, x + w + 10, y, x + w + 10, t);
  Label(cr, x + w + 26, y + d / 2, "d", "y", 12);
  char title[] = "Typ 1";
  title[4] = char('0' + type);
  win::SelectFontFace(cr, "DejaVu Sans", true, false, 14);
  cairo_move_to(cr, x + w / 2 - 20, y + h + 56);
  cairo_show_text(cr, title);
}

// A circle (inner 0) or a ring of outer radius 70 around (cx, cy), bars at the edge distance.
void Round(cairo_t* cr, double cx, double cy, double inner) {
  const double R = 70, d = 14;
  cairo_new_path(cr);  // the caption before left the current point where the text ended
  cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
  cairo_arc(cr, cx, cy, R, 0, 2 * M_PI);
  if (inner > 0) {
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, inner, 2 * M_PI, 0);
  }
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  for (int i = 0; i < 10; ++i) Bar(cr, cx + (R - d) * std::cos(i * M_PI / 5), cy + (R - d) * std::sin(i * M_PI / 5));
  Dimension(cr, cx - R, cy + R + 14, cx + R, cy + R + 14);
  Label(cr, cx, cy + R + 30, "D", inner > 0 ? "a" : nullptr);
  if (inner > 0) {
    Dimension(cr, cx - inner, cy, cx + inner, cy);
    Label(cr, cx, cy - 12, "D", "i");
  }
  double a = -M_PI / 4;
  Dimension(cr, cx + (R - d) * std::cos(a), cy + (R - d) * std::sin(a), cx + R * std::cos(a), cy + R * std::sin(a));
  Label(cr, cx + (R + 14) * std::cos(a), cy + (R + 14) * std::sin(a) - 4, "d", nullptr, 13);
  win::SelectFontFace(cr, "DejaVu Sans", true, false, 14);
  cairo_move_to(cr, cx - (inner > 0 ? 32 : 18), cy + R + 56);
  cairo_show_text(cr, inner > 0 ? "Kreisring" : "Kreis");
}

void Paint(cairo_t* cr, int, int) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  Rectangle(cr, 50, 40, 1);
  Rectangle(cr, 240, 40, 2);
  Rectangle(cr, 430, 40, 3);
  Round(cr, 190, 410, 0);
  Round(cr, 420, 410, 32);
}

}  // namespace

// Not once per process: an unloaded module takes the sketch with it, and a new load registers it again.
void EnsureQuerschnittSkizze() {
  if (!win::res::HasBitmap(kQuerschnittSkizze)) win::res::RegisterBitmap(kQuerschnittSkizze, 600, 600, Paint);
}

}  // namespace report
