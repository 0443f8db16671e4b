// RTF picture groups for the tests: a PNG of one colour made here, written as the report writer writes pictures.
#pragma once

#include <cairo.h>

#include <cstdio>
#include <string>

namespace rtf_test {

// The PNG bytes of a picture of w x h pixels in one colour.
inline std::string PngOf(int w, int h, double r, double g, double b) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_paint(cr);
  cairo_destroy(cr);
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
