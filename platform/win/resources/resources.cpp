// Resources: a process-wide table of painted and loaded pictures and menu templates, and the Load* calls over it.
#include "platform/win/resources/resources.h"
#include "platform/win/screen/headless.h"

#include <pugixml.hpp>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/base/paths.h"
#include "platform/win/screen/screen.h"

namespace win::res {
namespace {

struct BitmapRes {
  int width = 0, height = 0;
  Painter paint;                             // drawn on demand, or
  std::shared_ptr<detail::Surface> picture;  // read from a file
};
struct IconRes {
  Painter paint;
  bool cursor = false;
  POINT hotspot{0, 0};
  bool builtIn = false;  // the system's own, drawn by this library
};

struct Tables {
  std::recursive_mutex mutex;
  std::map<UINT, BitmapRes> bitmaps;
  std::map<UINT, IconRes> icons;
  std::map<UINT, std::vector<MenuEntry>> menus;
  std::map<UINT, HICON> sharedIcons;  // LoadIcon hands out one icon per id, as the system does
  std::string lastError;
};
Tables& T() {
  static auto* t = new Tables;  // outlives the static objects that release their resources late
  return *t;
}

void Fail(const std::string& why) { T().lastError = why; }

// ---- The system's icons, drawn ---------------------------------------------------------------------------------
void Disc(cairo_t* cr, int w, int h, double r, double g, double b) {
  double m = std::min(w, h);
  cairo_new_path(cr);
  cairo_arc(cr, w / 2.0, h / 2.0, m / 2.0 - m / 32.0, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, r * 0.6, g * 0.6, b * 0.6);
  cairo_set_line_width(cr, m / 32.0 + 0.5);
  cairo_stroke(cr);
}
void Glyph(cairo_t* cr, int w, int h, const char* text, double r, double g, double b, double dy = 0) {
  double m = std::min(w, h);
  win::SelectFontFace(cr, "DejaVu Sans", true, false, m * 0.7);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text, &e);
  cairo_move_to(cr, (w - e.width) / 2.0 - e.x_bearing, (h - e.height) / 2.0 - e.y_bearing + dy * m);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_show_text(cr, text);
}
void PaintError(cairo_t* cr, int w, int h) {
  Disc(cr, w, h, 0.85, 0.1, 0.1);
  double m = std::min(w, h), k = m * 0.22;
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, m / 8.0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, w / 2.0 - k, h / 2.0 - k);
  cairo_line_to(cr, w / 2.0 + k, h / 2.0 + k);
  cairo_move_to(cr, w / 2.0 + k, h / 2.0 - k);
  cairo_line_to(cr, w / 2.0 - k, h / 2.0 + k);
  cairo_stroke(cr);
}
void PaintWarning(cairo_t* cr, int w, int h) {
  double m = std::min(w, h), e = m / 16.0;
  cairo_move_to(cr, w / 2.0, e);
  cairo_line_to(cr, w - e, h - e);
  cairo_line_to(cr, e, h - e);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.98, 0.8, 0.05);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.45, 0.35, 0.0);
  cairo_set_line_width(cr, m / 32.0 + 0.5);
  cairo_stroke(cr);
  Glyph(cr, w, h, "!", 0, 0, 0, 0.12);
}
void PaintInformation(cairo_t* cr, int w, int h) {
  Disc(cr, w, h, 0.15, 0.4, 0.85);
  Glyph(cr, w, h, "i", 1, 1, 1);
}
void PaintQuestion(cairo_t* cr, int w, int h) {
  Disc(cr, w, h, 0.15, 0.4, 0.85);
  Glyph(cr, w, h, "?", 1, 1, 1);
}
void PaintApplication(cairo_t* cr, int w, int h) {
  double m = std::min(w, h), e = m / 10.0;
  cairo_rectangle(cr, e, e, w - 2 * e, h - 2 * e);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  cairo_set_line_width(cr, m / 32.0 + 0.5);
  cairo_stroke(cr);
  cairo_rectangle(cr, e, e, w - 2 * e, m / 5.0);
  cairo_set_source_rgb(cr, 0.1, 0.3, 0.7);
  cairo_fill(cr);
}

void RegisterSystemIcons() {
  Tables& t = T();
  t.icons[32512] = {PaintApplication, false, {0, 0}, true};
  t.icons[32513] = {PaintError, false, {0, 0}, true};
  t.icons[32514] = {PaintQuestion, false, {0, 0}, true};
  t.icons[32515] = {PaintWarning, false, {0, 0}, true};
  t.icons[32516] = {PaintInformation, false, {0, 0}, true};
}

// ---- Pictures into GDI objects ---------------------------------------------------------------------------------
std::shared_ptr<detail::Surface> SurfaceOf(HBITMAP bmp) {
  auto o = detail::Obj(bmp);
  return o ? o->bitmap : nullptr;
}

// Paints the picture into the surface; the status of the painting (cairo's: a painting that ran short of memory is
// CAIRO_STATUS_NO_MEMORY, and cairo draws nothing more on it). `printed`: the picture goes into a document, which is
// drawn whether or not a window is ever seen.
cairo_status_t PaintInto(cairo_surface_t* surface, const BitmapRes& r, bool printed) {
  cairo_t* cr = cairo_create(surface);
  struct Destroy {
    cairo_t* cr;
    ~Destroy() { cairo_destroy(cr); }
  } destroy{cr};
  if (r.picture) {
    cairo_set_source_surface(cr, r.picture->surface, 0, 0);
    cairo_paint(cr);
  } else {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    // a picture for windows no one sees is not drawn: its text would load fonts
    if (printed || !NothingShown()) r.paint(cr, r.width, r.height);
  }
  const cairo_status_t status = cairo_status(cr);
  cairo_surface_flush(surface);
  return status != CAIRO_STATUS_SUCCESS ? status : cairo_surface_status(surface);
}

HBITMAP PaintBitmap(const BitmapRes& r) {
  HBITMAP bmp = CreateBitmap(r.width, r.height, 1, 32, nullptr);
  auto s = SurfaceOf(bmp);
  if (!s) return nullptr;
  PaintInto(s->surface, r, false);
  return bmp;
}

// A painting or a PNG stream that ran short of memory is a shortage of the caller. The PNG library, writing a
// picture from memory into memory, fails only for want of memory: cairo reports that as a PNG error.
void ThrowOnShortage(cairo_status_t status) {
  if (status == CAIRO_STATUS_NO_MEMORY || status == CAIRO_STATUS_PNG_ERROR) throw std::bad_alloc();
}

// cairo's scan converter, running short of memory in the middle of a stroke, jumps back to a mark it has not set,
// and the program crashes. A picture is painted only where the room for a painting's scratch memory was there a
// moment before; where it is not, that is the shortage (std::bad_alloc).
constexpr std::size_t kPaintingRoom = std::size_t(4) << 20;
void EnsurePaintingRoom() {
  // the allocation function itself: a new-expression that nothing uses may be left out by the compiler
  ::operator delete(::operator new(kPaintingRoom));
}

// An icon from an ARGB painting: colour where the painting is at least half opaque, the mask elsewhere.
HICON PaintIcon(const IconRes& r, int cx, int cy) {
  cairo_surface_t* argb = detail::NewImageSurface(CAIRO_FORMAT_ARGB32, cx, cy);
  cairo_t* cr = cairo_create(argb);
  if (!NothingShown()) r.paint(cr, cx, cy);
  cairo_destroy(cr);
  cairo_surface_flush(argb);
  HBITMAP color = CreateBitmap(cx, cy, 1, 32, nullptr);
  HBITMAP mask = CreateBitmap(cx, cy, 1, 1, nullptr);
  auto cs = SurfaceOf(color);
  auto ms = SurfaceOf(mask);
  if (!cs || !ms) {
    DeleteObject(color);
    DeleteObject(mask);
    cairo_surface_destroy(argb);
    return nullptr;
  }
  const unsigned char* data = cairo_image_surface_get_data(argb);
  int stride = cairo_image_surface_get_stride(argb);
  for (int y = 0; y < cy; ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
    for (int x = 0; x < cx; ++x) {
      std::uint32_t p = row[x];
      std::uint32_t a = p >> 24;
      bool opaque = a >= 128;
      std::uint32_t rgb = 0;
      if (opaque) {
        auto un = [&](int shift) { return std::min<std::uint32_t>(255, ((p >> shift) & 0xFF) * 255 / a); };
        rgb = (un(16) << 16) | (un(8) << 8) | un(0);
      }
      cs->Set(x, y, rgb);
      ms->Set(x, y, opaque ? 0 : 0xFFFFFF);
    }
  }
  cairo_surface_mark_dirty(cs->surface);
  cairo_surface_mark_dirty(ms->surface);
  cairo_surface_destroy(argb);
  ICONINFO ii{};
  ii.fIcon = r.cursor ? FALSE : TRUE;
  ii.xHotspot = DWORD(r.hotspot.x);
  ii.yHotspot = DWORD(r.hotspot.y);
  ii.hbmMask = mask;
  ii.hbmColor = color;
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

bool ReadPng(const std::string& path, std::shared_ptr<detail::Surface>& out) {
  std::string file = win::ToFsPath(path);
  cairo_surface_t* png = cairo_image_surface_create_from_png(file.c_str());
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    Fail("Bilddatei nicht lesbar: " + path);
    return false;
  }
  int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
  out = std::make_shared<detail::Surface>(w, h);
  cairo_t* cr = cairo_create(out->surface);
  cairo_set_source_rgb(cr, 1, 1, 1);  // transparent parts of the file show white, as on paper
  cairo_paint(cr);
  cairo_set_source_surface(cr, png, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(out->surface);
  cairo_surface_destroy(png);
  return true;
}

UINT IdOf(LPCSTR name) { return IS_INTRESOURCE(name) ? UINT(reinterpret_cast<std::uintptr_t>(name)) : 0; }

void AppendEntries(HMENU menu, const std::vector<MenuEntry>& items) {
  for (const MenuEntry& e : items) {
    if (!e.popup.empty()) {
      HMENU sub = CreatePopupMenu();
      AppendEntries(sub, e.popup);
      AppendMenu(menu, MF_POPUP | e.flags, reinterpret_cast<UINT_PTR>(sub), e.text.c_str());
    } else if (e.id == 0 && e.text.empty()) {
      AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenu(menu, MF_STRING | e.flags, e.id, e.text.c_str());
    }
  }
}

// ---- Resource files ----------------------------------------------------------------------------------------------
bool ReadId(const pugi::xml_node& n, UINT& id, const std::string& file) {
  pugi::xml_attribute a = n.attribute("id");
  char* end = nullptr;
  long v = a ? std::strtol(a.value(), &end, 10) : -1;
  if (!a || *end || v <= 0 || v > 0xFFFF) {
    Fail(file + ": <" + n.name() + "> ohne gültige Nummer (1 bis 65535): \"" + a.value() + "\"");
    return false;
  }
  id = UINT(v);
  return true;
}

UINT ReadFlags(const std::string& text) {
  UINT f = 0;
  if (text.find("grayed") != std::string::npos) f |= MF_GRAYED;
  if (text.find("checked") != std::string::npos) f |= MF_CHECKED;
  return f;
}

// Deeper than any menu a person could work through; the reader recurses once per level, and a file nested
// thousands of levels deep would otherwise exhaust the stack.
constexpr int kMaxMenuDepth = 32;

bool ReadMenu(const pugi::xml_node& node, std::vector<MenuEntry>& out, const std::string& file, int depth = 1) {
  if (depth > kMaxMenuDepth) {
    Fail(file + ": Untermenüs tiefer als " + std::to_string(kMaxMenuDepth) + " Ebenen verschachtelt");
    return false;
  }
  for (pugi::xml_node c : node.children()) {
    MenuEntry e;
    std::string name = c.name();
    e.text = c.attribute("text").value();
    e.flags = ReadFlags(c.attribute("flags").value());
    if (name == "separator") {
    } else if (name == "item") {
      if (!ReadId(c, e.id, file)) return false;
    } else if (name == "popup") {
      if (!ReadMenu(c, e.popup, file, depth + 1)) return false;
      if (e.popup.empty()) {
        Fail(file + ": leeres Untermenü \"" + e.text + "\"");
        return false;
      }
    } else {
      Fail(file + ": unbekannter Menüeintrag <" + name + ">");
      return false;
    }
    out.push_back(std::move(e));
  }
  return true;
}

}  // namespace

void RegisterBitmap(UINT id, int width, int height, Painter paint) {
  std::lock_guard lock(T().mutex);
  if (width <= 0 || height <= 0 || !paint) return;
  T().bitmaps[id] = BitmapRes{width, height, std::move(paint), nullptr};
}

bool RegisterBitmapFile(UINT id, const std::string& pngPath) {
  std::lock_guard lock(T().mutex);
  std::shared_ptr<detail::Surface> s;
  if (!ReadPng(pngPath, s)) return false;
  T().bitmaps[id] = BitmapRes{s->width, s->height, nullptr, s};
  return true;
}

void RegisterIcon(UINT id, Painter paint) {
  std::lock_guard lock(T().mutex);
  T().icons[id] = IconRes{std::move(paint), false, {0, 0}};
  T().sharedIcons.erase(id);
}

void RegisterCursor(UINT id, Painter paint, POINT hotspot) {
  std::lock_guard lock(T().mutex);
  T().icons[id] = IconRes{std::move(paint), true, hotspot};
  T().sharedIcons.erase(id);
}

void RegisterMenu(UINT id, std::vector<MenuEntry> items) {
  std::lock_guard lock(T().mutex);
  T().menus[id] = std::move(items);
}

bool HasBitmap(UINT id) {
  std::lock_guard lock(T().mutex);
  return T().bitmaps.count(id) != 0;
}

std::vector<unsigned char> BitmapPng(UINT id) {
  std::lock_guard lock(T().mutex);
  std::vector<unsigned char> out;
  auto it = T().bitmaps.find(id);
  if (it == T().bitmaps.end()) {
    Fail("Bildressource " + std::to_string(id) + " nicht vorhanden.");
    return out;
  }
  // Its own surface: the picture's pixels that cannot be had are a shortage (std::bad_alloc), never a bitmap left out.
  detail::Surface surface(it->second.width, it->second.height);
  EnsurePaintingRoom();
  cairo_status_t status = PaintInto(surface.surface, it->second, true);
  ThrowOnShortage(status);
  struct Stream {
    std::vector<unsigned char>& bytes;
    bool shortage = false;
  } stream{out};
  if (status == CAIRO_STATUS_SUCCESS)
    status = cairo_surface_write_to_png_stream(
        surface.surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
          // nothing may be thrown through cairo's and the PNG library's frames: the stream says it failed instead
          auto* s = static_cast<Stream*>(closure);
          try {
            s->bytes.insert(s->bytes.end(), data, data + length);
          } catch (const std::bad_alloc&) {
            s->shortage = true;
            return CAIRO_STATUS_NO_MEMORY;
          }
          return CAIRO_STATUS_SUCCESS;
        },
        &stream);
  if (stream.shortage) throw std::bad_alloc();
  ThrowOnShortage(status);
  // A picture cut short is no picture: its bytes would pass for one.
  if (status != CAIRO_STATUS_SUCCESS) {
    Fail("Bildressource " + std::to_string(id) + " nicht darstellbar: " + cairo_status_to_string(status));
    out.clear();
  }
  return out;
}

bool LoadResourceFile(const std::string& path) {
  std::lock_guard lock(T().mutex);
  pugi::xml_document doc;
  std::string native = win::ToFsPath(path);
  pugi::xml_parse_result ok = doc.load_file(native.c_str());
  if (!ok) {
    Fail(path + ": " + ok.description());
    return false;
  }
  pugi::xml_node root = doc.child("resources");
  if (!root) {
    Fail(path + ": kein Element <resources>");
    return false;
  }
  // Everything is read first, so that a bad entry registers nothing.
  std::map<UINT, std::string> strings;
  std::map<UINT, std::shared_ptr<detail::Surface>> bitmaps;
  std::map<UINT, std::vector<MenuEntry>> menus;
  std::filesystem::path dir = std::filesystem::path(native).parent_path();
  for (pugi::xml_node n : root.children()) {
    std::string name = n.name();
    UINT id = 0;
    if (!ReadId(n, id, path)) return false;
    if (name == "string") {
      strings[id] = n.attribute("text").value();
    } else if (name == "bitmap") {
      std::filesystem::path file = win::ToFsPath(n.attribute("file").value());
      if (file.is_relative()) file = dir / file;
      if (!ReadPng(file.string(), bitmaps[id])) return false;
    } else if (name == "menu") {
      if (!ReadMenu(n, menus[id], path)) return false;
    } else {
      Fail(path + ": unbekannte Ressource <" + name + ">");
      return false;
    }
  }
  for (auto& [id, text] : strings) win::RegisterString(id, text);
  for (auto& [id, s] : bitmaps) T().bitmaps[id] = BitmapRes{s->width, s->height, nullptr, s};
  for (auto& [id, m] : menus) T().menus[id] = std::move(m);
  return true;
}

std::string LastError() {
  std::lock_guard lock(T().mutex);
  return T().lastError;
}

void ForgetPainted() {
  std::lock_guard lock(T().mutex);
  std::erase_if(T().bitmaps, [](const auto& entry) { return bool(entry.second.paint); });
  // The system's icons stay where they are: a module unloaded at the end of a run, short of memory, must not need
  // any to register them again. Only one the module painted over is put back.
  bool replaced = false;
  std::erase_if(T().icons, [&](const auto& entry) {
    if (entry.second.builtIn || !entry.second.paint) return false;
    replaced = replaced || (entry.first >= 32512 && entry.first <= 32516);
    return true;
  });
  T().sharedIcons.clear();
  if (replaced) RegisterSystemIcons();
}

void ResetForTests() {
  std::lock_guard lock(T().mutex);
  T().bitmaps.clear();
  T().menus.clear();
  T().icons.clear();
  T().sharedIcons.clear();
  RegisterSystemIcons();
}

HICON PaintedCursor(UINT id) {
  std::lock_guard lock(T().mutex);
  auto it = T().icons.find(id);
  if (it == T().icons.end() || !it->second.cursor) return nullptr;
  return PaintIcon(it->second, 32, 32);
}

}  // namespace win::res

using namespace win::res;

namespace {
// The built-in icons exist from the start.
const bool kSystemIcons = [] {
  std::lock_guard lock(T().mutex);
  RegisterSystemIcons();
  return true;
}();
}  // namespace

HBITMAP LoadBitmap(HINSTANCE, LPCSTR name) {
  std::lock_guard lock(T().mutex);
  auto it = T().bitmaps.find(IdOf(name));
  if (it == T().bitmaps.end()) {
    Fail("Bildressource " + std::to_string(IdOf(name)) + " nicht vorhanden.");
    return nullptr;
  }
  return PaintBitmap(it->second);
}

HICON LoadIcon(HINSTANCE, LPCSTR name) {
  std::lock_guard lock(T().mutex);
  UINT id = IdOf(name);
  auto shared = T().sharedIcons.find(id);
  if (shared != T().sharedIcons.end()) return shared->second;
  auto it = T().icons.find(id);
  if (it == T().icons.end()) {
    Fail("Symbol " + std::to_string(id) + " nicht vorhanden.");
    return nullptr;
  }
  HICON icon = PaintIcon(it->second, 32, 32);
  T().sharedIcons[id] = icon;
  return icon;
}

HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (flags & LR_LOADFROMFILE) {
    if (type != IMAGE_BITMAP || !name) return nullptr;
    std::lock_guard lock(T().mutex);
    std::shared_ptr<win::detail::Surface> s;
    if (!ReadPng(name, s)) return nullptr;
    return PaintBitmap(BitmapRes{s->width, s->height, nullptr, s});
  }
  if (type == IMAGE_BITMAP) return LoadBitmap(instance, name);
  if (type == IMAGE_CURSOR) return LoadCursor(instance, name);
  if (type != IMAGE_ICON) return nullptr;
  if ((cx <= 0 && cy <= 0) || (flags & LR_SHARED)) return LoadIcon(instance, name);
  std::lock_guard lock(T().mutex);
  auto it = T().icons.find(IdOf(name));
  if (it == T().icons.end()) return nullptr;
  return PaintIcon(it->second, cx > 0 ? cx : cy, cy > 0 ? cy : cx);
}

HMENU LoadMenu(HINSTANCE, LPCSTR name) {
  std::lock_guard lock(T().mutex);
  auto it = T().menus.find(IdOf(name));
  if (it == T().menus.end()) {
    Fail("Menü " + std::to_string(IdOf(name)) + " nicht vorhanden.");
    return nullptr;
  }
  HMENU menu = CreateMenu();
  AppendEntries(menu, it->second);
  return menu;
}
