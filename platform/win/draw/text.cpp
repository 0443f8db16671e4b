// Fonts and text: faces mapped to DejaVu, metrics, TextOut, DrawText with its formats, UTF-8 helpers.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <new>
#include <tuple>
#include <vector>

#include <cairo-ft.h>
#include <unistd.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/win/base/codepage.h"
#include "platform/win/draw/gdi_internal.h"

namespace win::detail {

// ---- UTF-8 ---------------------------------------------------------------------------------------------------------
std::string EncodeUtf8(std::uint32_t cp) {
  std::string out;
  AppendUtf8(out, char32_t(cp));
  return out;
}

namespace {
// Length of the valid UTF-8 sequence at s[i], 0 when it is not one.
int SeqLen(std::string_view s, std::size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + std::size_t(n) > s.size()) return 0;
  for (int k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + std::size_t(k)]) & 0xC0) != 0x80) return 0;
  return n;
}
}  // namespace

// Text that is not valid UTF-8 is taken as Windows-1252 (the older files' encoding).
std::string ValidUtf8(std::string_view text) {
  static const std::uint16_t cp1252[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                           0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                           0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    int n = SeqLen(text, i);
    if (n > 0) {
      out.append(text.substr(i, std::size_t(n)));
      i += std::size_t(n);
      continue;
    }
    auto c = static_cast<unsigned char>(text[i]);
    out += EncodeUtf8(c >= 0x80 && c < 0xA0 ? cp1252[c - 0x80] : c);
    ++i;
  }
  return out;
}

int Utf8Next(const std::string& s, int pos) {
  if (pos >= int(s.size())) return int(s.size());
  ++pos;
  while (pos < int(s.size()) && (static_cast<unsigned char>(s[std::size_t(pos)]) & 0xC0) == 0x80) ++pos;
  return pos;
}

int Utf8Prev(const std::string& s, int pos) {
  if (pos <= 0) return 0;
  --pos;
  while (pos > 0 && (static_cast<unsigned char>(s[std::size_t(pos)]) & 0xC0) == 0x80) --pos;
  return pos;
}

// ---- Fonts -----------------------------------------------------------------------------------------------------------
namespace {

struct Realized {
  cairo_scaled_font_t* scaled = nullptr;
  TEXTMETRIC tm{};
  double ascent = 0;
  bool underline = false;
  bool strikeOut = false;
  double escapement = 0;  // degrees
  bool symbol = false;
  int em = 0;
};

using FontKey = std::tuple<std::string, int, int, bool, bool, bool, int, bool>;

// A slanted face leans by this much of its height, as an oblique face does.
constexpr double kSlant = 0.2;

struct Face {
  cairo_font_face_t* face = nullptr;
  bool slant = false;  // no oblique or italic face was installed: the upright one is slanted by its matrix
};

// The DejaVu files, loaded directly so that no font substitution changes text widths; italics from the oblique and
// italic faces (fonts-dejavu-extra). A slant by the font matrix, unlike one synthesized by the rasterizer, holds in a
// PDF too. Without the files, the family by name.
Face FaceFor(const std::string& family, bool bold, bool italic) {
  static auto* faces = new std::map<std::tuple<std::string, bool, bool>, Face>;
  auto key = std::make_tuple(family, bold, italic);
  auto it = faces->find(key);
  if (it != faces->end()) return it->second;
  // FreeType fails to start only for want of memory: the font files are not given up for that.
  static FT_Library library = nullptr;
  if (!library && FT_Init_FreeType(&library) != 0) {
    library = nullptr;
    throw std::bad_alloc();
  }
  Face result;
  const std::string path = win::FontFileFor("/usr/share/fonts/truetype/dejavu", family, bold, italic, result.slant);
  FT_Face face = nullptr;
  const FT_Error opened = FT_New_Face(library, path.c_str(), 0, &face);
  // A font file that is there and fails lacks memory (FreeType then also says "unknown format"), not a font. The
  // family by name would have the system's font configuration scan for fonts, short of memory as well: a
  // configuration rebuilt so finds none and is kept for every program.
  if (opened != 0 && (opened == FT_Err_Out_Of_Memory || ::access(path.c_str(), R_OK) == 0)) throw std::bad_alloc();
  if (opened == 0) {
    // The FreeType face lives as long as the process, as cairo's face made from it does.
    result.face = cairo_ft_font_face_create_for_ft_face(face, 0);
    if (cairo_font_face_status(result.face) == CAIRO_STATUS_NO_MEMORY) {
      FT_Done_Face(face);
      throw std::bad_alloc();
    }
  } else {
    result.slant = false;
    result.face =
        cairo_toy_font_face_create(family.c_str(), italic ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
                                   bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  }
  (*faces)[key] = result;
  return result;
}

}  // namespace

namespace {

Realized& Realize(const LOGFONT& lf, double scale) {
  static auto& cache = *new std::map<FontKey, Realized>;
  std::string face = lf.lfFaceName;
  int height = int(std::lround(lf.lfHeight * scale));
  FontKey key{face,
              height,
              int(lf.lfWeight),
              lf.lfItalic != 0,
              lf.lfUnderline != 0,
              lf.lfStrikeOut != 0,
              int(lf.lfEscapement),
              lf.lfCharSet == SYMBOL_CHARSET};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  Realized r;
  std::string family = win::FontFamilyFor(face);
  const Face chosen = FaceFor(family, lf.lfWeight >= FW_SEMIBOLD, lf.lfItalic != 0);
  cairo_font_face_t* ff = chosen.face;
  cairo_font_options_t* opt = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_ON);
  cairo_font_options_set_hint_style(opt, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_antialias(opt, CAIRO_ANTIALIAS_GRAY);
  cairo_matrix_t identity;
  cairo_matrix_init_identity(&identity);
  // The ratio of the cell height (ascent + descent) to the em size, to honour positive (cell) heights.
  cairo_matrix_t unit;
  cairo_matrix_init_scale(&unit, 100, 100);
  cairo_scaled_font_t* probe = cairo_scaled_font_create(ff, &unit, &identity, opt);
  cairo_font_extents_t pe;
  cairo_scaled_font_extents(probe, &pe);
  cairo_scaled_font_destroy(probe);
  double cellRatio = (pe.ascent + pe.descent) / 100.0;
  double em;
  if (height < 0)
    em = -height;
  else if (height > 0)
    em = height / cellRatio;
  else
    em = 13;
  em = std::max(1.0, std::round(em));
  cairo_matrix_t size;
  // y grows downwards: the glyph's top leans right
  cairo_matrix_init(&size, em, 0, chosen.slant ? -kSlant * em : 0, em, 0, 0);
  r.scaled = cairo_scaled_font_create(ff, &size, &identity, opt);
  cairo_font_options_destroy(opt);
  if (cairo_scaled_font_status(r.scaled) == CAIRO_STATUS_NO_MEMORY) {
    cairo_scaled_font_destroy(r.scaled);
    throw std::bad_alloc();
  }
  cairo_font_extents_t fe;
  cairo_scaled_font_extents(r.scaled, &fe);
  TEXTMETRIC& tm = r.tm;
  tm.tmAscent = LONG(std::ceil(fe.ascent));
  tm.tmDescent = LONG(std::ceil(fe.descent));
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - LONG(em));
  tm.tmExternalLeading = 0;
  cairo_text_extents_t xe;
  cairo_scaled_font_text_extents(r.scaled, "x", &xe);
  tm.tmAveCharWidth = LONG(std::lround(xe.x_advance));
  tm.tmMaxCharWidth = LONG(std::lround(fe.max_x_advance));
  tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = char(0x7F);
  tm.tmDefaultChar = '?';
  tm.tmBreakChar = ' ';
  tm.tmItalic = lf.lfItalic;
  tm.tmUnderlined = lf.lfUnderline;
  tm.tmStruckOut = lf.lfStrikeOut;
  tm.tmPitchAndFamily = lf.lfPitchAndFamily;
  tm.tmCharSet = lf.lfCharSet;
  r.ascent = fe.ascent;
  r.underline = lf.lfUnderline;
  r.strikeOut = lf.lfStrikeOut;
  r.escapement = lf.lfEscapement / 10.0;
  r.symbol = Lower(face) == "symbol" || lf.lfCharSet == SYMBOL_CHARSET;
  r.em = int(em);
  return cache.emplace(key, r).first->second;
}

Realized& FontOf(const Dc& d) {
  auto o = Obj(d.st.font);
  LOGFONT lf = o && o->kind == GdiKind::Font ? o->font : LOGFONT{};
  if (!o) {
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "MS Shell Dlg");
  }
  return Realize(lf, std::fabs(ScaleY(d)));
}

// Symbol-font codes shown as the letters and signs they stand for; UTF-8 sequences stay as they are.
std::string SymbolText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    const int n = c >= 0x80 ? SeqLen(text, i) : 0;
    if (const char32_t shown = n == 0 ? win::SymbolFontChar(c) : 0) {
      AppendUtf8(out, shown);
      ++i;
    } else if (n > 0) {
      out.append(text.substr(i, std::size_t(n)));
      i += std::size_t(n);
    } else if (c >= 0x80) {
      out += ValidUtf8(text.substr(i, 1));
      ++i;
    } else {
      out += char(c);
      ++i;
    }
  }
  return out;
}

std::string Shown(const Realized& f, std::string_view text) { return f.symbol ? SymbolText(text) : ValidUtf8(text); }

double Advance(const Realized& f, const std::string& utf8) {
  if (utf8.empty()) return 0;
  cairo_text_extents_t e;
  cairo_scaled_font_text_extents(f.scaled, utf8.c_str(), &e);
  return e.x_advance;
}

int Width(const Realized& f, std::string_view text) { return int(std::lround(Advance(f, Shown(f, text)))); }

// Draws text with its top-left corner at the device point; the DC's colours, mode and clip apply.
void DrawRun(Dc& d, const Realized& f, double x, double top, const std::string& text, int underlineFrom = -1,
             int underlineTo = -1) {
  std::string shown = Shown(f, text);
  double width = Advance(f, shown);
  cairo_t* cr = Cairo(d);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  if (f.escapement != 0) {
    cairo_translate(cr, x, top);
    cairo_rotate(cr, -f.escapement * M_PI / 180.0);
    x = 0;
    top = 0;
  }
  if (d.st.bkMode == OPAQUE) {
    SetColor(cr, ToRgb(d.st.bk));
    cairo_rectangle(cr, std::floor(x), std::floor(top), std::ceil(width), f.tm.tmHeight);
    cairo_fill(cr);
  }
  SetColor(cr, d.surface->monochrome ? MonoOf(ToRgb(d.st.text)) : ToRgb(d.st.text));
  cairo_set_scaled_font(cr, f.scaled);
  if (d.printer) {
    // On paper the glyphs stand at the font's own advances: hinted, they would be rounded to whole points.
    cairo_font_options_t* exact = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(exact, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(exact, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, exact);
    cairo_font_options_destroy(exact);
  }
  double baseline = top + f.tm.tmAscent;
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, shown.c_str());
  double thick = std::max(1.0, std::round(f.em / 14.0));
  if (f.underline) {
    cairo_rectangle(cr, std::floor(x), baseline + 1, std::ceil(width), thick);
    cairo_fill(cr);
  } else if (underlineFrom >= 0 && underlineTo > underlineFrom) {
    double ux = x + Advance(f, Shown(f, text.substr(0, std::size_t(underlineFrom))));
    double uw = Advance(f, Shown(f, text.substr(std::size_t(underlineFrom), std::size_t(underlineTo - underlineFrom))));
    cairo_rectangle(cr, std::floor(ux), baseline + 1, std::ceil(uw), thick);
    cairo_fill(cr);
  }
  if (f.strikeOut) {
    cairo_rectangle(cr, std::floor(x), std::round(baseline - f.tm.tmAscent / 3.0), std::ceil(width), thick);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  cairo_surface_mark_dirty(d.surface->surface);
}

}  // namespace
}  // namespace win::detail

using namespace win::detail;

std::string win::FontFamilyFor(const std::string& face) {
  std::string f = Lower(face);
  if (f.find("courier") != std::string::npos || f.find("mono") != std::string::npos ||
      f.find("consol") != std::string::npos || f == "fixedsys" || f == "terminal" || f == "lucida console")
    return "DejaVu Sans Mono";
  if (f.find("times") != std::string::npos || f.find("serif") != std::string::npos ||
      f.find("roman") != std::string::npos || f.find("georgia") != std::string::npos ||
      f.find("garamond") != std::string::npos || f.find("book") != std::string::npos)
    return f.find("sans") != std::string::npos ? "DejaVu Sans" : "DejaVu Serif";
  return "DejaVu Sans";
}

void win::SelectFontFace(cairo_t* cr, const std::string& family, bool bold, bool italic, double size) {
  const Face face = FaceFor(family, bold, italic);
  cairo_set_font_face(cr, face.face);
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, size, 0, face.slant ? -kSlant * size : 0, size, 0, 0);
  cairo_set_font_matrix(cr, &matrix);
}

std::string win::FontFileFor(const std::string& folder, const std::string& family, bool bold, bool italic,
                             bool& slant) {
  const std::string file = family == "DejaVu Sans Mono" ? "DejaVuSansMono"
                           : family == "DejaVu Serif"   ? "DejaVuSerif"
                                                        : "DejaVuSans";
  const std::string upright = folder + "/" + file + (bold ? "-Bold" : "") + ".ttf";
  slant = false;
  if (!italic) return upright;
  // the serif's slanted faces are italics, the others' obliques
  const std::string slanted =
      folder + "/" + file + "-" + (bold ? "Bold" : "") + (family == "DejaVu Serif" ? "Italic" : "Oblique") + ".ttf";
  if (::access(slanted.c_str(), R_OK) == 0) return slanted;
  slant = true;
  return upright;
}

BOOL GetTextMetrics(HDC dc, LPTEXTMETRIC out) {
  Dc* d = GetDc(dc);
  if (!d || !out) return FALSE;
  *out = FontOf(*d).tm;
  return TRUE;
}

BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int length, LPSIZE out) {
  Dc* d = GetDc(dc);
  if (!d || !out) return FALSE;
  Realized& f = FontOf(*d);
  std::string_view t = text ? std::string_view(text, length < 0 ? std::strlen(text) : std::size_t(length)) : "";
  out->cx = Width(f, t);
  out->cy = f.tm.tmHeight;
  return TRUE;
}

BOOL GetTextExtentPoint(HDC dc, LPCSTR text, int length, LPSIZE out) {
  return GetTextExtentPoint32(dc, text, length, out);
}

int GetTextFace(HDC dc, int size, LPSTR out) {
  Dc* d = GetDc(dc);
  if (!d) return 0;
  auto o = Obj(d->st.font);
  std::string face = o ? o->font.lfFaceName : "";
  if (!out) return int(face.size()) + 1;
  if (size <= 0) return 0;
  std::size_t n = std::min(face.size(), std::size_t(size - 1));
  std::memcpy(out, face.data(), n);
  out[n] = 0;
  return int(n);
}

BOOL GetCharWidth32(HDC dc, UINT first, UINT last, int* out) {
  Dc* d = GetDc(dc);
  if (!d || !out || last < first) return FALSE;
  Realized& f = FontOf(*d);
  for (UINT c = first; c <= last; ++c) out[c - first] = int(std::lround(Advance(f, Shown(f, EncodeUtf8(c)))));
  return TRUE;
}

namespace {
std::string ExpandTabs(const Realized& f, const std::string& s, int tabWidth) {
  if (s.find('\t') == std::string::npos) return s;
  std::string out;
  for (char c : s) {
    if (c != '\t') {
      out += c;
      continue;
    }
    int w = Width(f, out);
    int next = (w / tabWidth + 1) * tabWidth;
    while (Width(f, out) < next) out += ' ';
  }
  return out;
}
}  // namespace

DWORD GetTabbedTextExtent(HDC dc, LPCSTR text, int length, int, const int*) {
  Dc* d = GetDc(dc);
  if (!d || !text) return 0;
  Realized& f = FontOf(*d);
  std::string s(text, length < 0 ? std::strlen(text) : std::size_t(length));
  s = ExpandTabs(f, s, 8 * f.tm.tmAveCharWidth);
  return MAKELONG(WORD(Width(f, s)), WORD(f.tm.tmHeight));
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const int* dx) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  std::string s = text ? std::string(text, length) : std::string();
  if (d->recording) {
    bool hasRect = rect != nullptr;
    RECT rr = rect ? *rect : RECT{};
    std::vector<int> spacing;
    if (dx) spacing.assign(dx, dx + length);
    Realized& f = FontOf(*d);
    RECT b{x, y, x + Width(f, s), y + f.tm.tmHeight};
    Record(
        *d,
        [=](HDC target) {
          ExtTextOut(target, x, y, options, hasRect ? &rr : nullptr, s.data(), UINT(s.size()),
                     spacing.empty() ? nullptr : spacing.data());
        },
        b);
    return TRUE;
  }
  if (rect && (options & ETO_OPAQUE)) {
    HBRUSH b = CreateSolidBrush(d->st.bk);
    FillRect(dc, rect, b);
    DeleteObject(b);
  }
  int saved = 0;
  if (rect && (options & ETO_CLIPPED)) {
    saved = SaveDC(dc);
    IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    d = GetDc(dc);
  }
  Realized& f = FontOf(*d);
  POINT ref = (d->st.align & TA_UPDATECP) ? d->st.pos : POINT{x, y};
  int w = Width(f, s);
  POINT dev = ToDevice(*d, ref.x, ref.y);
  double left = dev.x, top = dev.y;
  UINT h = d->st.align & TA_CENTER;
  if (h == TA_CENTER)
    left -= w / 2.0;
  else if (h == TA_RIGHT)
    left -= w;
  if ((d->st.align & TA_BASELINE) == TA_BASELINE)
    top -= f.tm.tmAscent;
  else if (d->st.align & TA_BOTTOM)
    top -= f.tm.tmHeight;
  if (dx) {
    // Explicit character spacing: one run per character.
    double pos = left;
    std::size_t i = 0;
    for (UINT k = 0; k < length && i < s.size(); ++k) {
      std::size_t n = std::size_t(Utf8Next(s, int(i))) - i;
      DrawRun(*d, f, pos, top, s.substr(i, n));
      pos += dx[k];
      i += n;
    }
  } else {
    DrawRun(*d, f, left, top, s);
  }
  if (d->st.align & TA_UPDATECP) d->st.pos.x += (h == TA_RIGHT ? -w : w);
  if (saved) RestoreDC(dc, saved);
  return TRUE;
}

BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int length) {
  if (!text) return FALSE;
  return ExtTextOut(dc, x, y, 0, nullptr, text, UINT(length < 0 ? std::strlen(text) : std::size_t(length)), nullptr);
}

namespace {
struct Line {
  std::string text;
  int underlineFrom = -1;
  int underlineTo = -1;
};

// Removes '&' prefixes: "&&" is one '&', "&x" underlines x.
Line Prefix(const std::string& s, UINT format) {
  Line l;
  if (format & DT_NOPREFIX) {
    l.text = s;
    return l;
  }
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') {
        l.text += '&';
        ++i;
        continue;
      }
      if (i + 1 < s.size() && !(format & DT_HIDEPREFIX)) {
        l.underlineFrom = int(l.text.size());
        l.underlineTo = l.underlineFrom + (Utf8Next(s, int(i + 1)) - int(i + 1));
      }
      continue;
    }
    l.text += s[i];
  }
  return l;
}

// The longest start of text, of whole characters, that fits the width with rest after it (empty when none does).
// Found by doubling and halving the length, measuring no more than about twice the start: measured a character at a
// time, a pasted text of 100,000 characters took minutes to draw in a cell.
std::string FittingHead(const Realized& f, const std::string& text, const std::string& rest, int width) {
  std::vector<std::size_t> ends{0};
  for (std::size_t i = 1; i <= text.size(); ++i)
    if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ends.push_back(i);
  auto fitting = [&](std::size_t n) { return Width(f, text.substr(0, ends[n]) + rest) <= width; };
  std::size_t fits = 0, tooWide = 1;
  while (tooWide < ends.size() && fitting(tooWide)) {
    fits = tooWide;
    tooWide *= 2;
  }
  tooWide = std::min(tooWide, ends.size());
  while (tooWide - fits > 1) {
    const std::size_t mid = fits + (tooWide - fits) / 2;
    (fitting(mid) ? fits : tooWide) = mid;
  }
  return text.substr(0, ends[fits]);
}

std::string Ellipsize(const Realized& f, const std::string& s, int width, bool path) {
  if (Width(f, s) <= width) return s;
  const std::string dots = "...";
  if (path) {
    std::size_t slash = s.find_last_of("\\/");
    if (slash != std::string::npos) {
      std::string tail = s.substr(slash);
      std::string head = FittingHead(f, s.substr(0, slash), dots + tail, width);
      if (Width(f, head + dots + tail) <= width) return head + dots + tail;
    }
  }
  return FittingHead(f, s, dots, width) + dots;
}

std::vector<std::string> Wrap(const Realized& f, const std::string& para, int width, bool breakWords) {
  std::vector<std::string> out;
  std::string line;
  std::size_t i = 0;
  while (i < para.size()) {
    std::size_t sp = para.find(' ', i);
    std::string word = para.substr(i, sp == std::string::npos ? std::string::npos : sp - i);
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && Width(f, candidate) > width) {
      out.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    if (breakWords) {
      while (Width(f, line) > width && line.size() > 1) {
        std::string part = FittingHead(f, line, "", width);
        // A line holds at least one character, however narrow the room.
        if (part.empty()) part = line.substr(0, std::size_t(Utf8Next(line, 0)));
        out.push_back(part);
        line = line.substr(part.size());
      }
    }
    if (sp == std::string::npos) break;
    i = sp + 1;
  }
  out.push_back(line);
  return out;
}
}  // namespace

int DrawText(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
  Dc* d = GetDc(dc);
  if (!d || !text || !rect) return 0;
  std::string s(text, length < 0 ? std::strlen(text) : std::size_t(length));
  if (d->recording && !(format & DT_CALCRECT)) {
    RECT r = *rect;
    Record(
        *d,
        [=](HDC target) {
          RECT rr = r;
          DrawText(target, s.c_str(), int(s.size()), &rr, format);
        },
        r);
    Realized& f = FontOf(*d);
    return f.tm.tmHeight;
  }
  Realized& f = FontOf(*d);
  int lineHeight = f.tm.tmHeight + ((format & DT_EXTERNALLEADING) ? f.tm.tmExternalLeading : 0);
  int width = rect->right - rect->left;
  if (format & DT_EXPANDTABS) s = ExpandTabs(f, s, 8 * f.tm.tmAveCharWidth);
  std::vector<std::string> raw;
  if (format & DT_SINGLELINE) {
    std::string one;
    for (char c : s)
      if (c != '\r' && c != '\n') one += c;
    raw.push_back(one);
  } else {
    std::size_t start = 0;
    while (true) {
      std::size_t nl = s.find('\n', start);
      std::string part = s.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
      if (!part.empty() && part.back() == '\r') part.pop_back();
      if ((format & DT_WORDBREAK) && width > 0) {
        for (auto& w : Wrap(f, part, width, format & DT_EDITCONTROL)) raw.push_back(w);
      } else {
        raw.push_back(part);
      }
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
  }
  std::vector<Line> lines;
  int maxWidth = 0;
  for (auto& r : raw) {
    Line l = Prefix(r, format);
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
      std::string e = Ellipsize(f, l.text, width, format & DT_PATH_ELLIPSIS);
      if (e != l.text) {
        l.text = e;
        l.underlineFrom = l.underlineTo = -1;
      }
      if (format & DT_MODIFYSTRING) {}
    }
    maxWidth = std::max(maxWidth, Width(f, l.text));
    lines.push_back(l);
  }
  int total = lineHeight * int(lines.size());
  int top = rect->top;
  int offset = 0;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      offset = (rect->bottom - rect->top - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      offset = rect->bottom - rect->top - lineHeight;
  }
  if (format & DT_CALCRECT) {
    rect->right = rect->left + maxWidth;
    rect->bottom = rect->top + total;
    return total;
  }
  int saved = 0;
  if (!(format & DT_NOCLIP)) {
    saved = SaveDC(dc);
    IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    d = GetDc(dc);
  }
  int y = top + offset;
  for (const Line& l : lines) {
    int w = Width(f, l.text);
    int x = rect->left;
    if (format & DT_CENTER)
      x = rect->left + (width - w) / 2;
    else if (format & DT_RIGHT)
      x = rect->right - w;
    POINT dev = ToDevice(*d, x, y);
    DrawRun(*d, f, dev.x, dev.y, l.text, l.underlineFrom, l.underlineTo);
    y += lineHeight;
  }
  if (saved) RestoreDC(dc, saved);
  return offset + total;
}
