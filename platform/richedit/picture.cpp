#include "platform/richedit/picture.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
#include <list>
#include <mutex>
#include <tuple>
#include <vector>

#include "platform/richedit/richdoc.h"

namespace richedit {

namespace {

constexpr int kMaxTwips = 31680;  // 22 inches: larger is no page's picture

// What the words of a picture group say, and where its data starts.
struct PictWords {
  long width = 0, height = 0;          // picw, pich: pixels for bitmaps, 0.01 mm for metafiles
  long goalWidth = 0, goalHeight = 0;  // picwgoal, pichgoal: twips
  long scaleX = 100, scaleY = 100;     // picscalex, picscaley: percent
  bool png = false, bitmap = false;
  std::size_t binary = 0, binaryLength = 0;  // \binN: N raw bytes
  std::size_t data = 0, end = 0;             // the hexadecimal data, up to the group's closing brace
};

PictWords ReadPict(const std::string& g, std::size_t at) {
  PictWords p;
  p.end = richdoc::GroupEnd(g, at) - 1;
  std::size_t i = at + 1;
  p.data = p.end;
  while (i < p.end) {
    const char c = g[i];
    if (c == '{') {
      i = richdoc::GroupEnd(g, i);  // {\*\blipuid ...} and the like
      continue;
    }
    if (c == '\\') {
      const richdoc::Word w = richdoc::ReadWord(g, i);
      i = w.end;
      const std::string& n = w.name;
      if (n == "picw") p.width = w.param;
      if (n == "pich") p.height = w.param;
      if (n == "picwgoal") p.goalWidth = w.param;
      if (n == "pichgoal") p.goalHeight = w.param;
      if (n == "picscalex") p.scaleX = w.param;
      if (n == "picscaley") p.scaleY = w.param;
      if (n == "pngblip") p.png = true;
      if (n == "dibitmap" || n == "wbitmap" || n == "jpegblip") p.bitmap = true;
      if (n == "bin" && w.param > 0) {
        p.binary = i;
        p.binaryLength = std::min<std::size_t>(std::size_t(w.param), p.end - i);
        i += p.binaryLength;
      }
      continue;
    }
    if (std::isxdigit(static_cast<unsigned char>(c)) && p.data == p.end) p.data = i;
    ++i;
  }
  return p;
}

// Where the picture of a group is: the group itself for "{\pict", else the first picture inside it (an object's
// result, a shape's picture); npos for a group without one.
std::size_t PictAt(const std::string& g) {
  for (std::size_t p = g.find("{\\pict"); p != std::string::npos; p = g.find("{\\pict", p + 1))
    if (p + 6 >= g.size() || !std::isalpha(static_cast<unsigned char>(g[p + 6]))) return p;
  return std::string::npos;
}

long Clamp(long twips) { return std::clamp(twips, 0L, long(kMaxTwips)); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// The scaled pictures drawn last: a screen that is painted again does not decode them again.
class PictureCache {
 public:
  // Pixels (0x00RRGGBB, row by row) of the PNG at the size; empty when it cannot be read.
  std::shared_ptr<const std::vector<std::uint32_t>> Get(const std::string& group, int w, int h) {
    const Key key{std::hash<std::string>()(group), group.size(), w, h};
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
      if (it->key == key) {
        entries_.splice(entries_.begin(), entries_, it);
        return it->pixels;
      }
    auto pixels = std::make_shared<std::vector<std::uint32_t>>(Scale(PictureBytesOf(group), w, h));
    bytes_ += pixels->size() * 4;
    entries_.push_front({key, pixels});
    while (bytes_ > kLimit && entries_.size() > 1) {
      bytes_ -= entries_.back().pixels->size() * 4;
      entries_.pop_back();
    }
    return pixels;
  }

 private:
  using Key = std::tuple<std::size_t, std::size_t, int, int>;
  struct Entry {
    Key key;
    std::shared_ptr<const std::vector<std::uint32_t>> pixels;
  };
  static constexpr std::size_t kLimit = std::size_t(64) << 20;

  static std::vector<std::uint32_t> Scale(const std::string& png, int w, int h) {
    if (png.empty() || w <= 0 || h <= 0) return {};
    struct Reader {
      const std::string* bytes;
      std::size_t at = 0;
    } reader{&png};
    cairo_surface_t* source = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* data, unsigned int length) {
          auto* r = static_cast<Reader*>(closure);
          if (r->bytes->size() - r->at < length) return CAIRO_STATUS_READ_ERROR;
          std::memcpy(data, r->bytes->data() + r->at, length);
          r->at += length;
          return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    std::vector<std::uint32_t> out;
    if (cairo_surface_status(source) == CAIRO_STATUS_SUCCESS) {
      const int sw = cairo_image_surface_get_width(source), sh = cairo_image_surface_get_height(source);
      cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
      cairo_t* cr = cairo_create(target);
      // Transparent parts show the paper.
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_paint(cr);
      cairo_scale(cr, double(w) / sw, double(h) / sh);
      cairo_set_source_surface(cr, source, 0, 0);
      // Reduced pictures keep their thin lines: each pixel is the mean of those it covers; the edge pixels are the
      // picture's own, not faded into the paper.
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
      cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
      cairo_paint(cr);
      cairo_destroy(cr);
      cairo_surface_flush(target);
      const unsigned char* data = cairo_image_surface_get_data(target);
      const int stride = cairo_image_surface_get_stride(target);
      out.resize(std::size_t(w) * std::size_t(h));
      for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * std::size_t(stride));
        for (int x = 0; x < w; ++x) out[std::size_t(y) * std::size_t(w) + std::size_t(x)] = row[x] & 0xFFFFFF;
      }
      cairo_surface_destroy(target);
    }
    cairo_surface_destroy(source);
    return out;
  }

  std::mutex mutex_;
  std::list<Entry> entries_;
  std::size_t bytes_ = 0;
};

PictureCache& Cache() {
  static PictureCache* cache = new PictureCache;  // lives as long as the process
  return *cache;
}

}  // namespace

PictureSize PictureSizeOf(const std::string& group) {
  PictureSize size;
  if (group.size() < 2 || group[0] != '{') return size;
  try {
    const std::size_t first = group.compare(1, 2, "\\*") == 0 ? 3 : 1;
    const std::string word = first < group.size() && group[first] == '\\' ? richdoc::ReadWord(group, first).name : "";
    if (word == "nonshppict") {
      size.shown = false;
      return size;
    }
    long objectWidth = 0, objectHeight = 0;
    if (word == "object") {
      for (std::size_t i = 1; i < group.size();) {
        if (group[i] != '\\') {
          ++i;
          continue;
        }
        const richdoc::Word w = richdoc::ReadWord(group, i);
        if (w.name == "objw") objectWidth = w.param;
        if (w.name == "objh") objectHeight = w.param;
        if (w.name == "objdata" || w.name == "result") break;
        i = w.end;
      }
    }
    const std::size_t at = PictAt(group);
    if (at != std::string::npos) {
      const PictWords p = ReadPict(group, at);
      // Without a goal size a bitmap's size is its pixels at 96 dpi, a metafile's is in hundredths of a millimetre.
      // Every number is held to a page's size first, so that none overflows.
      auto natural = [&](long pixels) {
        const long n = std::clamp(pixels, 0L, long(kMaxTwips));
        return p.png || p.bitmap ? n * 15 : n * 1440 / 2540;
      };
      const long w = p.goalWidth > 0 ? Clamp(p.goalWidth) : Clamp(natural(p.width));
      const long h = p.goalHeight > 0 ? Clamp(p.goalHeight) : Clamp(natural(p.height));
      size.widthTwips = int(Clamp(w * std::clamp(p.scaleX, 0L, 10000L) / 100));
      size.heightTwips = int(Clamp(h * std::clamp(p.scaleY, 0L, 10000L) / 100));
    }
    if (size.widthTwips <= 0 || size.heightTwips <= 0) {
      size.widthTwips = int(Clamp(objectWidth));
      size.heightTwips = int(Clamp(objectHeight));
    }
  } catch (const richdoc::RtfError&) {
    // A broken group is a picture of no size.
  }
  return size;
}

std::string PictureBytesOf(const std::string& group) {
  std::string bytes;
  try {
    const std::size_t at = PictAt(group);
    if (at == std::string::npos) return bytes;
    const PictWords p = ReadPict(group, at);
    if (!p.png) return bytes;
    if (p.binaryLength > 0) return group.substr(p.binary, p.binaryLength);
    int high = -1;
    for (std::size_t i = p.data; i < p.end; ++i) {
      const char c = group[i];
      if (!std::isxdigit(static_cast<unsigned char>(c))) continue;
      if (high < 0) {
        high = HexValue(c);
      } else {
        bytes += char(high * 16 + HexValue(c));
        high = -1;
      }
    }
  } catch (const richdoc::RtfError&) {
    bytes.clear();
  }
  return bytes;
}

void DrawPicture(HDC dc, const RECT& r, const std::string& group) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  // Pictures beyond what a bitmap holds are no report's: they are shown as boxes.
  const auto pixels = w <= 16384 && h <= 16384 ? Cache().Get(group, w, h) : nullptr;
  if (!pixels || pixels->empty()) {
    HBRUSH box = ::CreateSolidBrush(RGB(220, 220, 220));
    ::FillRect(dc, &r, box);
    ::DeleteObject(box);
    return;
  }
  HBITMAP bitmap = ::CreateBitmap(w, h, 1, 32, pixels->data());
  HDC memory = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(dc, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::DeleteObject(bitmap);
}

}  // namespace richedit
