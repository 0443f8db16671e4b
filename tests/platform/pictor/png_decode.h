// PNG bytes read back through libpng (cairo's reader): an independent decoder for the picture tests.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace pictor::test {

struct Decoded {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
};

// Through libpng (cairo's reader).
inline Decoded Decode(const std::vector<unsigned char>& png) {
  struct Reader {
    const std::vector<unsigned char>* bytes;
    std::size_t at = 0;
  } reader{&png};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(
      [](void* closure, unsigned char* data, unsigned int length) {
        auto* r = static_cast<Reader*>(closure);
        if (r->bytes->size() - r->at < length) return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, r->bytes->data() + r->at, length);
        r->at += length;
        return CAIRO_STATUS_SUCCESS;
      },
      &reader);
  Decoded d;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    d.width = cairo_image_surface_get_width(s);
    d.height = cairo_image_surface_get_height(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < d.height; ++y)
      for (int x = 0; x < d.width; ++x)
        d.pixels.push_back(reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] & 0xFFFFFF);
  }
  cairo_surface_destroy(s);
  return d;
}

}  // namespace pictor::test
