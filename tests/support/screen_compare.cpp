// Compares what the X server shows with a program's own picture of its windows.
//
//   screen_compare PID PICTURE.png GRAB.png
//
// The picture covers the union of the program's visible windows; its transparent pixels lie outside all of them.
// Its top-left corner is the smallest corner of the mapped top-level X windows that carry the program's process id
// (_NET_WM_PID). The server's pixels of that area are read from the root window, written to GRAB.png for a look,
// and compared pixel by pixel where the picture is opaque. Exit 0: equal; 1: they differ (the count, the box
// around the differences and the first one are printed); 2: the comparison could not be made.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Fail(const std::string& why) {
  std::fprintf(stderr, "screen_compare: %s\n", why.c_str());
  return 2;
}

bool OwnedBy(Display* display, Window window, long pid) {
  const Atom property = XInternAtom(display, "_NET_WM_PID", True);
  if (property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) !=
      Success)
    return false;
  const bool owned = data && format == 32 && count == 1 && *reinterpret_cast<long*>(data) == pid;
  if (data) XFree(data);
  return owned;
}

// The top-left corner of the program's mapped windows on the root; false when it has none.
bool ProgramCorner(Display* display, long pid, int& x, int& y) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
  x = y = INT_MAX;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, children[i], &a) || a.map_state != IsViewable) continue;
    if (!OwnedBy(display, children[i], pid)) continue;
    x = std::min(x, a.x);
    y = std::min(y, a.y);
  }
  if (children) XFree(children);
  return x != INT_MAX;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Fail("usage: screen_compare PID PICTURE.png GRAB.png");
  const long pid = std::strtol(argv[1], nullptr, 10);
  cairo_surface_t* picture = cairo_image_surface_create_from_png(argv[2]);
  if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) return Fail(std::string("cannot read ") + argv[2]);
  const int width = cairo_image_surface_get_width(picture), height = cairo_image_surface_get_height(picture);
  const bool alpha = cairo_image_surface_get_format(picture) == CAIRO_FORMAT_ARGB32;

  Display* display = XOpenDisplay(nullptr);
  if (!display) return Fail("cannot open the display");
  int left = 0, top = 0;
  if (!ProgramCorner(display, pid, left, top)) return Fail("the program shows no window");
  const int screenWidth = DisplayWidth(display, DefaultScreen(display));
  const int screenHeight = DisplayHeight(display, DefaultScreen(display));
  if (left < 0 || top < 0 || left + width > screenWidth || top + height > screenHeight)
    return Fail("the picture's area " + std::to_string(width) + "x" + std::to_string(height) + "+" +
                std::to_string(left) + "+" + std::to_string(top) + " leaves the screen " + std::to_string(screenWidth) +
                "x" + std::to_string(screenHeight));
  XImage* image =
      XGetImage(display, DefaultRootWindow(display), left, top, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (!image) return Fail("the server gave no pixels");
  if (image->red_mask != 0xFF0000 || image->green_mask != 0xFF00 || image->blue_mask != 0xFF)
    return Fail("the screen is not 24-bit true colour");

  cairo_surface_t* grab = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  unsigned char* grabData = cairo_image_surface_get_data(grab);
  const int grabStride = cairo_image_surface_get_stride(grab);
  cairo_surface_flush(picture);
  const unsigned char* pictureData = cairo_image_surface_get_data(picture);
  const int pictureStride = cairo_image_surface_get_stride(picture);
  long differing = 0;
  int firstX = -1, firstY = -1;
  std::uint32_t firstScreen = 0, firstPicture = 0;
  int boxLeft = INT_MAX, boxTop = INT_MAX, boxRight = -1, boxBottom = -1;
  for (int y = 0; y < height; ++y) {
    const auto* pictureRow = reinterpret_cast<const std::uint32_t*>(pictureData + std::ptrdiff_t(y) * pictureStride);
    auto* grabRow = reinterpret_cast<std::uint32_t*>(grabData + std::ptrdiff_t(y) * grabStride);
    for (int x = 0; x < width; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      const std::uint32_t shown = std::uint32_t(p & 0xFFFFFF);
      grabRow[x] = shown;
      const std::uint32_t drawn = pictureRow[x];
      if (alpha && (drawn >> 24) == 0) continue;  // outside every window
      if ((drawn & 0xFFFFFF) == shown) continue;
      if (differing++ == 0) {
        firstX = x;
        firstY = y;
        firstScreen = shown;
        firstPicture = drawn & 0xFFFFFF;
      }
      boxLeft = std::min(boxLeft, x);
      boxTop = std::min(boxTop, y);
      boxRight = std::max(boxRight, x);
      boxBottom = std::max(boxBottom, y);
    }
  }
  cairo_surface_mark_dirty(grab);
  const bool written = cairo_surface_write_to_png(grab, argv[3]) == CAIRO_STATUS_SUCCESS;
  XDestroyImage(image);
  XCloseDisplay(display);
  cairo_surface_destroy(grab);
  cairo_surface_destroy(picture);
  if (!written) return Fail(std::string("cannot write ") + argv[3]);
  if (differing == 0) return 0;
  std::printf(
      "%ld pixels differ within x %d-%d, y %d-%d of the picture; the first at (%d, %d): screen %06X, "
      "picture %06X\n",
      differing, boxLeft, boxRight, boxTop, boxBottom, firstX, firstY, unsigned(firstScreen), unsigned(firstPicture));
  return 1;
}
