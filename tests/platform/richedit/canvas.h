// A white memory DC for the tests to draw pictures into and read back.
#pragma once

#include <cstdint>

#include "platform/win/afx.h"

namespace rtf_test {

// A white memory DC of w x h pixels to draw pictures into.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateBitmap(w, h, 1, 32, nullptr);
    old_ = ::SelectObject(dc_, bitmap_);
    const RECT all{0, 0, w, h};
    ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  std::uint32_t At(int x, int y) const { return std::uint32_t(::GetPixel(dc_, x, y)); }  // COLORREF: 0x00BBGGRR
  // Dark pixels inside the rectangle.
  int DarkIn(const RECT& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += (At(x, y) & 0xFF) < 0x80 && ((At(x, y) >> 8) & 0xFF) < 0x80;
    return n;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

}  // namespace rtf_test
