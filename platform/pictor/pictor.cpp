#include "platform/pictor/pictor.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include "platform/pictor/png_writer.h"
#include "platform/plotwerk/scene2d.h"
#include "platform/rtfx/rtfx.h"
#include "platform/win/base/paths.h"

namespace {

pictor::ControlFactory& Factory() {
  static pictor::ControlFactory factory;
  return factory;
}

// The current picture: a hidden frame window and the control inside it.
struct Picture {
  CWnd frame;
  CPlotwerk3D* view3D = nullptr;
  CPlotwerk2D* view2D = nullptr;
  Picture() = default;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  ~Picture() { Close(); }
  // Destroys the control and the frame. Destroying windows may run short of memory: a control is forgotten before it
  // is destroyed, never destroyed twice (a window it leaves goes with the frame), and a call again goes on there.
  void Close() {
    if (view3D) Factory().destroy3D(std::exchange(view3D, nullptr));
    if (view2D) Factory().destroy2D(std::exchange(view2D, nullptr));
    if (frame.m_hWnd) frame.DestroyWindow();
  }
};

std::unique_ptr<Picture>& Current() {
  static std::unique_ptr<Picture> picture;
  return picture;
}

// The current picture closed where running short of memory is the caller's failure, not a destructor's (which would
// end the program), and then forgotten.
void DropCurrent() {
  if (!Current()) return;
  try {
    Current()->Close();
  } catch (...) {
    // Half closed, its windows stay with the process: closed at its end, after the module whose controls they hold is
    // unloaded, they would call into code that is no longer there.
    static_cast<void>(Current().release());
    throw;
  }
  Current().reset();
}

std::unique_ptr<Picture> MakeFrame(int width, int height, int hidden) {
  auto p = std::make_unique<Picture>();
  DWORD style = WS_POPUP | (hidden ? 0 : WS_VISIBLE);
  if (!p->frame.CreateEx(0, "Static", "", style, CRect(0, 0, width, height), nullptr, 0)) return nullptr;
  return p;
}

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | std::uint8_t(b[at + std::size_t(i)]);
  return v;
}

// 24- and 32-bit uncompressed bitmaps, as the 3D control writes them.
bool DecodeBmp(const std::string& b, std::vector<std::uint32_t>& pixels, int& width, int& height) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
  std::uint32_t offset = Le(b, 10, 4);
  std::int32_t w = std::int32_t(Le(b, 18, 4)), h = std::int32_t(Le(b, 22, 4));
  std::uint32_t bpp = Le(b, 28, 2), compression = Le(b, 30, 4);
  if (w <= 0 || h == 0 || w > 20000 || h > 20000 || h < -20000 || (bpp != 24 && bpp != 32) || compression != 0)
    return false;
  bool bottomUp = h > 0;
  width = w;
  height = bottomUp ? h : -h;
  std::size_t stride = (std::size_t(width) * (bpp / 8) + 3) & ~std::size_t(3);
  if (offset > b.size() || b.size() - offset < stride * std::size_t(height)) return false;
  pixels.assign(std::size_t(width) * std::size_t(height), 0);
  for (int y = 0; y < height; ++y) {
    std::size_t row = offset + std::size_t(bottomUp ? height - 1 - y : y) * stride;
    for (int x = 0; x < width; ++x) {
      std::size_t at = row + std::size_t(x) * (bpp / 8);
      pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = std::uint32_t(std::uint8_t(b[at])) |
                                                                     std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
                                                                     std::uint32_t(std::uint8_t(b[at + 2])) << 16;
    }
  }
  return true;
}

void RenderScene(HDC dc, const RECT& r, const void* context) {
  plotwerk::View2D(*static_cast<const plotwerk::Scene2D*>(context), r, true).Render(dc);
}

// The margin the 2D view keeps on each side, in pixels.
constexpr int kViewMargin = 14;

bool ConverterEntry(const char* path, std::vector<unsigned char>& png) { return pictor::ConvertToPng(path, png); }

// The RTF writer learns the controls' picture files when this library is loaded.
const bool kConverterInstalled = (rtfx::SetPictureConverter(&ConverterEntry), true);

}  // namespace

namespace pictor {

void SetControlFactory(const ControlFactory& factory) { Factory() = factory; }

void PrintSize(const plotwerk::Scene2D& scene, int controlWidth, int& width, int& height) {
  width = std::clamp(controlWidth, 50, 4000) * kPrintFactor;
  double x1, y1, x2, y2;
  const int plot = width - 2 * kViewMargin;
  if (!scene.Bounds(x1, y1, x2, y2) || x2 - x1 <= 1e-12) {
    height = width / 2;
    return;
  }
  // As high as the drawing needs at the full width: no empty bands above and below it on the page.
  const int top = scene.title.empty() ? 0 : 22;
  height = int(std::ceil(plot * (y2 - y1) / (x2 - x1))) + 2 * kViewMargin + top;
  height = std::clamp(height, 50, 3 * width);
}

double PrintedCmPerUnit(int controlWidth, double drawingWidth, double placedWidthCm) {
  if (drawingWidth <= 0) return 0.0;
  const int width = std::clamp(controlWidth, 50, 4000) * kPrintFactor;
  return placedWidthCm * double(width - 2 * kViewMargin) / double(width) / drawingWidth;
}

bool ConvertToPng(const char* path, std::vector<unsigned char>& png) {
  if (!path) return false;
  std::ifstream f(win::ToFsPath(path), std::ios::binary);
  if (!f) return false;
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  if (DecodeBmp(bytes, pixels, width, height)) return pictor::EncodePng(pixels, width, height, png);
  plotwerk::Scene2D scene;
  if (!scene.Load(path, &width, &height)) return false;
  PrintSize(scene, width, width, height);
  // A report converts its diagrams one after the other, mostly of one size: one picture drawn on again. Never
  // destroyed: it may outlive the window system's tables at the end of the process.
  static auto* picture = new plotwerk::Offscreen;
  return pictor::EncodePng(picture->Render(width, height, 0xFFFFFF, &RenderScene, &scene), width, height, png);
}

}  // namespace pictor

extern "C" {

int Pictor_Create3D(int width, int height, int hidden) {
  DropCurrent();
  if (!Factory().create3D) return 0;
  auto p = MakeFrame(width, height, hidden);
  if (!p) return 0;
  p->view3D = Factory().create3D(&p->frame, CRect(0, 0, width, height));
  if (!p->view3D) return 0;
  Current() = std::move(p);
  return 1;
}

int Pictor_Create2D(int width, int height, int hidden) {
  DropCurrent();
  if (!Factory().create2D) return 0;
  auto p = MakeFrame(width, height, hidden);
  if (!p) return 0;
  p->view2D = Factory().create2D(&p->frame, CRect(0, 0, width, height));
  if (!p->view2D) return 0;
  Current() = std::move(p);
  return 1;
}

CPlotwerk3D* Pictor_GetPlotwerk3DPtr() { return Current() ? Current()->view3D : nullptr; }

CPlotwerk2D* Pictor_GetPlotwerk2DPtr() { return Current() ? Current()->view2D : nullptr; }

void Pictor_Destroy() { DropCurrent(); }
}
