#include "platform/richedit/picture.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
#include <list>
#include <mutex>
#include <tuple>
#include <vector>

#include "platform/richedit/png_reduce.h"
#include "platform/richedit/richdoc.h"
#include "platform/win/base/codepage.h"

namespace richedit {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

constexpr int kMaxTwips = 31680;  // 22 inches: larger is no page's picture

// What the words of a picture group say, and where its data starts.
struct PictWords {
  long width = 0, height = 0;          // picw, pich: pixels for bitmaps, 0.01 mm for metafiles
  long goalWidth = 0, goalHeight = 0;  // picwgoal, pichgoal: twips
  long scaleX = 100, scaleY = 100;     // picscalex, picscaley: percent
  bool png = false, bitmap = false;
  const char* metafile = nullptr;            // the kind of a metafile ("EMF", "WMF"), drawn as its frame with its name
  std::string description;                   // the name a writer gave the picture
  std::size_t binary = 0, binaryLength = 0;  // \binN: N raw bytes
  std::size_t data = 0, end = 0;             // the hexadecimal data, up to the group's closing brace
};

// The text of an RTF group's value: characters, escaped symbols, "\\'xx" of Windows-1252 and "\\uN" (its one
// fallback character skipped); other control words are left out.
std::string PlainText(const std::string& g, std::size_t from, std::size_t to) {
  std::string out;
  bool skipFallback = false;
  for (std::size_t i = from; i < to;) {
    const char c = g[i];
    if (c == '{' || c == '}' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      if (!skipFallback) out += c;
      skipFallback = false;
      ++i;
      continue;
    }
    skipFallback = false;
    const richdoc::Word w = richdoc::ReadWord(g, i);
    i = std::min(w.end, to);
    if (w.name.empty() && w.symbol == '\'') {
      out += win::Windows1252ToUtf8(std::string(1, char(w.param)));
    } else if (w.name.empty() && w.symbol != '*') {
      out += w.symbol;
    } else if (w.name == "u" && w.hasParam) {
      win::AppendUtf8(out, char32_t(w.param < 0 ? w.param + 65536 : w.param));
      skipFallback = true;
    }
  }
  return out;
}

// The description in a picture's properties ({\\*\\picprop{\\sp{\\sn wzDescription}{\\sv NAME}}}).
std::string Description(const std::string& props) {
  const std::size_t name = props.find("{\\sn wzDescription}");
  if (name == std::string::npos) return {};
  const std::size_t value = props.find("{\\sv", name);
  if (value == std::string::npos) return {};
  std::size_t start = value + 4;
  if (start < props.size() && props[start] == ' ') ++start;
  return PlainText(props, start, richdoc::GroupEnd(props, value) - 1);
}

PictWords ReadPict(const std::string& g, std::size_t at) {
  PictWords p;
  p.end = richdoc::GroupEnd(g, at) - 1;
  std::size_t i = at + 1;
  p.data = p.end;
  while (i < p.end) {
    const char c = g[i];
    if (c == '{') {
      const std::size_t end = richdoc::GroupEnd(g, i);  // {\*\blipuid ...} and the like
      if (g.compare(i, 11, "{\\*\\picprop") == 0) p.description = Description(g.substr(i, end - i));
      i = end;
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
      if (n == "emfblip") p.metafile = "EMF";
      if (n == "wmetafile") p.metafile = "WMF";
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

// A picture whose header asks for more pixels than this is not read: reading it would take seconds, and no
// document's picture needs them (22 by 22 inches at 500 dpi are 121 million).
constexpr std::uint64_t kMaxSourcePixels = std::uint64_t(1) << 27;
// The decoded pixels of one picture at most; drawing them takes one copy more, so a picture costs at most 64 MiB.
constexpr std::size_t kPictureBytes = std::size_t(32) << 20;

// A picture decoded for drawing: its pixels, or why it is not shown.
struct Decoded {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB row by row; empty when it cannot be read or is refused
  std::string refusal;                // the note shown in its place when it is too large to be read
};

// The PNG of the group at w x h pixels, or at its own size where that is smaller and `enlarge` is off.
Decoded Decode(const std::string& group, int w, int h, bool enlarge) {
  Decoded out;
  const std::string png = PictureBytesOf(group);
  const detail::PngHeader header = detail::ReadPngHeader(png);
  if (!header.ok) return out;
  // An interlaced picture is read whole before it is reduced.
  const std::uint64_t pixels = std::uint64_t(header.width) * header.height;
  if (pixels > kMaxSourcePixels || (header.interlaced && pixels * 4 > kPictureBytes)) {
    out.refusal =
        "Bild zu gro\xC3\x9F: " + std::to_string(header.width) + " x " + std::to_string(header.height) + " Bildpunkte";
    return out;
  }
  detail::ReducedPicture reduced = detail::ReadPngReduced(png, w, h, kPictureBytes);
  if (reduced.pixels.empty()) return out;
  out.width = reduced.width;
  out.height = reduced.height;
  out.pixels = std::move(reduced.pixels);
  if (!enlarge || (out.width == w && out.height == h)) return out;
  // A picture smaller than it is drawn is enlarged smoothly; its edge pixels are its own, not faded into the paper.
  std::vector<std::uint32_t> large(std::size_t(w) * std::size_t(h));
  cairo_surface_t* source = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(out.pixels.data()), CAIRO_FORMAT_RGB24, out.width, out.height, out.width * 4);
  cairo_surface_t* target = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(large.data()),
                                                                CAIRO_FORMAT_RGB24, w, h, w * 4);
  cairo_t* cr = cairo_create(target);
  cairo_scale(cr, double(w) / out.width, double(h) / out.height);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_finish(target);
  cairo_surface_destroy(target);
  cairo_surface_destroy(source);
  for (std::uint32_t& px : large) px &= 0xFFFFFF;
  out.width = w;
  out.height = h;
  out.pixels = std::move(large);
  return out;
}

// The pictures decoded last: a screen that is painted again does not decode them again.
class PictureCache {
 public:
  std::shared_ptr<const Decoded> Get(const std::string& group, int w, int h, bool enlarge) {
    const Key key{std::hash<std::string>()(group), group.size(), w, h, enlarge};
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
      if (it->key == key) {
        entries_.splice(entries_.begin(), entries_, it);
        return it->picture;
      }
    auto picture = std::make_shared<const Decoded>(Decode(group, w, h, enlarge));
    bytes_ += picture->pixels.size() * 4;
    entries_.push_front({key, picture});
    while (bytes_ > kLimit && entries_.size() > 1) {
      bytes_ -= entries_.back().picture->pixels.size() * 4;
      entries_.pop_back();
    }
    return picture;
  }

 private:
  using Key = std::tuple<std::size_t, std::size_t, int, int, bool>;
  struct Entry {
    Key key;
    std::shared_ptr<const Decoded> picture;
  };
  static constexpr std::size_t kLimit = std::size_t(64) << 20;

  std::mutex mutex_;
  std::list<Entry> entries_;
  std::size_t bytes_ = 0;
};

PictureCache& Cache() {
  static PictureCache* cache = new PictureCache;  // lives as long as the process
  return *cache;
}

// The frame of a picture that is not read, with the note why inside it.
void DrawRefusal(HDC dc, const RECT& r, const std::string& note) {
  const int dpi = std::max(1, ::GetDeviceCaps(dc, LOGPIXELSY));
  HBRUSH frame = ::CreateSolidBrush(RGB(0, 0, 0));
  const int line = std::max(1, dpi / 96);
  for (int k = 0; k < line; ++k) {
    const RECT f{r.left + k, r.top + k, r.right - k, r.bottom - k};
    ::FrameRect(dc, &f, frame);
  }
  ::DeleteObject(frame);
  HFONT font =
      ::CreateFont(-std::max(6, 8 * dpi / 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = ::SelectObject(dc, font);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::SetTextColor(dc, RGB(0, 0, 0));
  RECT text{r.left + 3 * line, r.top + 3 * line, r.right - 3 * line, r.bottom - 3 * line};
  ::DrawText(dc, note.c_str(), int(note.size()), &text, DT_CENTER | DT_WORDBREAK);
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
}

// What a metafile's frame shows: the name its writer gave it, else its kind; empty for any other picture.
std::string MetafileName(const std::string& group) {
  try {
    const std::size_t at = PictAt(group);
    if (at == std::string::npos) return {};
    const PictWords p = ReadPict(group, at);
    if (!p.metafile) return {};
    return p.description.empty() ? std::string(p.metafile) + "-Bild" : p.description;
  } catch (const richdoc::RtfError&) {
    return {};
  }
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
  // Decoded at the size it is drawn, within the bound and in its proportions; a printer gets no more pixels than
  // the picture has, and enlarges it itself.
  double fit = std::sqrt(double(kPictureBytes / 4) / (double(w) * double(h)));
  fit = std::min(1.0, fit);
  const int dw = std::max(1, int(w * fit)), dh = std::max(1, int(h * fit));
  // A metafile is not drawn here: its frame says which picture stands there.
  if (const std::string name = MetafileName(group); !name.empty()) {
    DrawRefusal(dc, r, name);
    return;
  }
  const bool printer = ::GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER;
  const auto picture = Cache().Get(group, dw, dh, !printer);
  if (picture->pixels.empty()) {
    HBRUSH box = ::CreateSolidBrush(RGB(220, 220, 220));
    ::FillRect(dc, &r, box);
    ::DeleteObject(box);
    if (!picture->refusal.empty()) DrawRefusal(dc, r, picture->refusal);
    return;
  }
  HBITMAP bitmap = ::CreateBitmap(picture->width, picture->height, 1, 32, picture->pixels.data());
  HDC memory = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  if (picture->width == w && picture->height == h)
    ::BitBlt(dc, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
  else
    ::StretchBlt(dc, r.left, r.top, w, h, memory, 0, 0, picture->width, picture->height, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::DeleteObject(bitmap);
}

}  // namespace richedit
