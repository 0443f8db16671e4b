#include "platform/richedit/png_reduce.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>

namespace richedit::detail {

namespace {

// libpng's reader with the bytes it reads from; its errors jump back to the reading call.
struct Reader {
  const std::string* bytes = nullptr;
  std::size_t at = 0;
  png_structp png = nullptr;
  png_infop info = nullptr;

  explicit Reader(const std::string& b) : bytes(&b) {
    // A broken picture is a grey box on the page, not a line on the terminal.
    png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); },
        [](png_structp, png_const_charp) {});
    if (png) info = png_create_info_struct(png);
  }
  ~Reader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  static void Read(png_structp p, png_bytep out, png_size_t length) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(p));
    if (r->bytes->size() - r->at < length) png_error(p, "the picture ends early");
    std::memcpy(out, r->bytes->data() + r->at, length);
    r->at += length;
  }
  // True when the header was read; from here on every row comes as 8-bit RGBA.
  bool Start() {
    if (!info || bytes->size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes->data()), 0, 8) != 0)
      return false;
    png_set_read_fn(png, this, &Read);
    // A header beyond these sizes is no picture of a document; libpng refuses it before reading further.
    png_set_user_limits(png, 1u << 20, 1u << 20);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    return true;
  }
};

// The reduced picture being gathered: sums of the source pixels that fall on each of its pixels.
struct Folder {
  std::uint32_t sw, sh;
  int w, h;
  std::vector<std::uint64_t> sums;   // red, green, blue per pixel of one reduced row
  std::vector<int> column;           // the reduced column of each source column
  std::vector<std::uint32_t> count;  // source columns per reduced column
  int row = 0;                       // the reduced row being gathered
  std::uint32_t rows = 0;            // source rows gathered into it
  std::vector<std::uint32_t> out;

  Folder(std::uint32_t sourceW, std::uint32_t sourceH, int width, int height)
      : sw(sourceW),
        sh(sourceH),
        w(width),
        h(height),
        sums(std::size_t(width) * 3),
        column(sourceW),
        count(std::size_t(width)) {
    for (std::uint32_t x = 0; x < sw; ++x) {
      column[x] = int(std::uint64_t(x) * std::uint64_t(w) / sw);
      ++count[std::size_t(column[x])];
    }
    out.reserve(std::size_t(w) * std::size_t(h));
  }
  // One source row of RGBA; its pixels are laid on white before they are summed.
  void Add(std::uint32_t y, const unsigned char* rgba) {
    const int target = int(std::uint64_t(y) * std::uint64_t(h) / sh);
    if (target != row) Emit();
    row = target;
    for (std::uint32_t x = 0; x < sw; ++x, rgba += 4) {
      std::uint64_t* s = &sums[std::size_t(column[x]) * 3];
      const unsigned a = rgba[3], paper = 255 * (255 - a);
      if (a == 255) {
        s[0] += rgba[0];
        s[1] += rgba[1];
        s[2] += rgba[2];
        continue;
      }
      s[0] += (rgba[0] * a + paper + 127) / 255;
      s[1] += (rgba[1] * a + paper + 127) / 255;
      s[2] += (rgba[2] * a + paper + 127) / 255;
    }
    ++rows;
  }
  void Emit() {
    if (rows == 0) return;
    for (int x = 0; x < w; ++x) {
      const std::uint64_t n = std::uint64_t(count[std::size_t(x)]) * rows;
      const std::uint64_t* s = &sums[std::size_t(x) * 3];
      auto mean = [&](std::uint64_t v) { return std::uint32_t(n ? (v + n / 2) / n : 255); };
      out.push_back(mean(s[0]) << 16 | mean(s[1]) << 8 | mean(s[2]));
    }
    std::fill(sums.begin(), sums.end(), 0);
    rows = 0;
  }
};

// Reads the rows into the folder; false on an error of the PNG. Nothing with a destructor lives in this frame, so
// that libpng's jump out of an error leaves nothing behind.
// With `rows` (an interlaced picture, read whole into the rows' memory) or else one row at a time into `row`.
bool ReadRows(Reader& r, Folder& f, unsigned char* row, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  if (rows.empty()) {
    for (std::uint32_t y = 0; y < f.sh; ++y) {
      png_read_row(r.png, row, nullptr);
      f.Add(y, row);
    }
  } else {
    png_read_image(r.png, rows.data());
    for (std::uint32_t y = 0; y < f.sh; ++y) f.Add(y, rows[y]);
  }
  f.Emit();
  return true;
}

bool StartRead(Reader& r) {
  if (!r.png || !r.info) return false;
  if (setjmp(png_jmpbuf(r.png))) return false;
  return r.Start();
}

// True when the rows will come as 8-bit RGBA of the picture's width.
bool PrepareRows(Reader& r, bool interlaced, std::uint32_t width) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  if (interlaced) png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  return png_get_rowbytes(r.png, r.info) == std::size_t(width) * 4;
}

}  // namespace

PngHeader ReadPngHeader(const std::string& png) {
  PngHeader h;
  // Signature (8 bytes), the header chunk's length and type (8), width, height, depth, colour, compression, filter
  // and interlace: all fixed places.
  if (png.size() < 29 || png.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) != 0 || png.compare(12, 4, "IHDR") != 0) return h;
  auto be32 = [&](std::size_t at) {
    return std::uint32_t(static_cast<unsigned char>(png[at])) << 24 |
           std::uint32_t(static_cast<unsigned char>(png[at + 1])) << 16 |
           std::uint32_t(static_cast<unsigned char>(png[at + 2])) << 8 | static_cast<unsigned char>(png[at + 3]);
  };
  h.width = be32(16);
  h.height = be32(20);
  h.interlaced = png[28] != 0;
  h.ok = h.width > 0 && h.height > 0;
  return h;
}

ReducedPicture ReadPngReduced(const std::string& png, int maxWidth, int maxHeight, std::size_t maxWholeBytes) {
  ReducedPicture out;
  if (maxWidth <= 0 || maxHeight <= 0) return out;
  Reader reader(png);
  if (!StartRead(reader)) return out;
  const std::uint32_t sw = png_get_image_width(reader.png, reader.info);
  const std::uint32_t sh = png_get_image_height(reader.png, reader.info);
  if (sw == 0 || sh == 0) return out;
  const bool interlaced = png_get_interlace_type(reader.png, reader.info) != PNG_INTERLACE_NONE;
  // An interlaced picture's rows come in passes over the whole picture: it is read whole, within the bound.
  if (interlaced && std::uint64_t(sw) * sh * 4 > maxWholeBytes) return out;
  // So is the reduced picture: a header that lies about its size, read at a size that is not reduced, would
  // otherwise ask for its pixels before a row of them is read.
  const std::uint32_t rw = std::min<std::uint32_t>(sw, std::uint32_t(maxWidth));
  const std::uint32_t rh = std::min<std::uint32_t>(sh, std::uint32_t(maxHeight));
  if (std::uint64_t(rw) * rh * 4 > maxWholeBytes) return out;
  if (!PrepareRows(reader, interlaced, sw)) return out;
  std::vector<unsigned char> memory(std::size_t(sw) * (interlaced ? sh : 1) * 4);
  std::vector<png_bytep> rows;
  if (interlaced)
    for (std::uint32_t y = 0; y < sh; ++y) rows.push_back(memory.data() + std::size_t(y) * std::size_t(sw) * 4);
  Folder folder(sw, sh, int(rw), int(rh));
  if (!ReadRows(reader, folder, memory.data(), rows)) return out;
  out.width = folder.w;
  out.height = folder.h;
  out.pixels = std::move(folder.out);
  return out;
}

}  // namespace richedit::detail
