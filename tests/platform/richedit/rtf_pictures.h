// RTF picture groups for the tests: a PNG of one colour made here, written as the report writer writes pictures.
#pragma once

#include <cairo.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace rtf_test {

// The PNG bytes of the surface; the surface is destroyed.
inline std::string PngOfSurface(cairo_surface_t* s) {
  std::string png;
  cairo_surface_write_to_png_stream(
      s,
      [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(s);
  return png;
}

// The PNG bytes of a picture of w x h pixels in one colour.
inline std::string PngOf(int w, int h, double r, double g, double b) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_paint(cr);
  cairo_destroy(cr);
  return PngOfSurface(s);
}

// The PNG bytes of a picture of w x h pixels in one colour, written row by row, so that a picture far larger than
// the memory it is made in can be written: the first row names its pixels, each further row repeats the one above.
inline std::string LargePngOf(std::uint32_t w, std::uint32_t h, unsigned char r, unsigned char g, unsigned char b) {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  auto be32 = [](std::uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  auto chunk = [&](const std::string& type, const std::string& data) {
    const std::string body = type + data;
    png += be32(std::uint32_t(data.size())) + body +
           be32(std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
  };
  chunk("IHDR", be32(w) + be32(h) + std::string{8, 2, 0, 0, 0});
  z_stream z{};
  deflateInit(&z, 9);
  std::vector<unsigned char> row(1 + std::size_t(w) * 3, 0), out(1 << 16);
  std::string idat;
  for (std::uint32_t y = 0; y < h; ++y) {
    row[0] = y == 0 ? 0 : 2;  // no filter, then "up": a row equal to the one above is all zeros
    for (std::uint32_t x = 0; x < w; ++x) {
      row[1 + 3 * x] = y == 0 ? r : 0;
      row[2 + 3 * x] = y == 0 ? g : 0;
      row[3 + 3 * x] = y == 0 ? b : 0;
    }
    z.next_in = row.data();
    z.avail_in = uInt(row.size());
    const int flush = y + 1 == h ? Z_FINISH : Z_NO_FLUSH;
    int status = Z_OK;
    do {
      z.next_out = out.data();
      z.avail_out = uInt(out.size());
      status = deflate(&z, flush);
      idat.append(reinterpret_cast<const char*>(out.data()), out.size() - z.avail_out);
    } while (z.avail_in > 0 || (flush == Z_FINISH && status != Z_STREAM_END));
  }
  deflateEnd(&z);
  chunk("IDAT", idat);
  chunk("IEND", "");
  return png;
}

// "{\pict\pngblip<words> <hex>}" of the PNG, the hexadecimal digits in lines as the report writes them.
inline std::string PictGroup(const std::string& png, const std::string& words) {
  std::string out = "{\\pict\\pngblip" + words + "\r\n";
  char hex[3];
  for (std::size_t i = 0; i < png.size(); ++i) {
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(png[i]));
    out += hex;
    if (i % 64 == 63) out += "\r\n";
  }
  return out + "}";
}

}  // namespace rtf_test
