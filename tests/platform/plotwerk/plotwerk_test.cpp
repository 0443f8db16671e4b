// The graphics controls: late-bound calls with checked arguments, the 2D display list (styles, tags, transforms,
// fitting, hit-testing, moving, metafile), the 2D events, and the 3D display list with its hidden-surface drawing.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <vector>

#include "platform/plotwerk/controls.h"
#include "platform/win/dialogs/wintest.h"

namespace pw = plotwerk;
using pw::Args;
using pw::Variant;

namespace {

// A parent window that records the controls' notifications.
std::vector<pw::NMPLOTWERK> g_events;
LRESULT RecordingProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NOTIFY) {
    g_events.push_back(*reinterpret_cast<pw::NMPLOTWERK*>(l));
    return 0;
  }
  return ::DefWindowProc(wnd, msg, w, l);
}

class PlotwerkTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    pw::RegisterControlClasses();
    WNDCLASS wc{};
    wc.lpfnWndProc = &RecordingProc;
    wc.lpszClassName = "PlotwerkTestParent";
    ::RegisterClass(&wc);
    parent_ = ::CreateWindowEx(0, "PlotwerkTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                               nullptr, nullptr);
    g_events.clear();
  }
  HWND Make(const char* classId, int w = 200, int h = 100) {
    return ::CreateWindowEx(0, classId, "", WS_CHILD | WS_VISIBLE, 0, 0, w, h, parent_, HMENU(UINT_PTR(11010)), nullptr,
                            nullptr);
  }
  HWND parent_ = nullptr;
};

long Call(HWND wnd, pw::DISPID id, Args args, Variant* result = nullptr) {
  return pw::Invoke(wnd, id, pw::DISPATCH_METHOD, args, result);
}
Args R8s(std::initializer_list<double> v) {
  Args a;
  for (double d : v) a.push_back(Variant::R8(d));
  return a;
}
void Style(HWND w, long colour, long line, long fill, BOOL flag) {
  Call(w, pw::id2d::SetStyle, {Variant::I4(colour), Variant::I4(line), Variant::I4(fill), Variant::Bool(flag)});
}
void Tag(HWND w, long id) { Call(w, pw::id2d::SetObjectId, {Variant::I4(id), Variant::I4(id ? 3 : 0)}); }

}  // namespace

// ---- Dispatch ------------------------------------------------------------------------------------------------------
TEST_F(PlotwerkTest, CallsWithWrongArgumentsAreRefusedAndDrawNothing) {
  HWND w = Make(pw::kClassId2D);
  auto& scene = pw::Control2D::FromHandle(w)->Scene();
  struct Case {
    pw::DISPID id;
    Args args;
    long expected;
  };
  const std::vector<Case> cases = {
      {pw::id2d::AddLine, R8s({0, 0, 1}), pw::DISP_E_BADPARAMCOUNT},
      {pw::id2d::AddLine, {Variant::R8(0), Variant::R8(0), Variant::R4(1), Variant::R8(1)}, pw::DISP_E_TYPEMISMATCH},
      {pw::id2d::SetObjectId, {Variant::I2(3), Variant::I4(3)}, pw::DISP_E_TYPEMISMATCH},
      {pw::id2d::AddText,
       {Variant::R8(0), Variant::R8(0), Variant::R8(0), Variant::R8(1), Variant::I4(0)},
       pw::DISP_E_TYPEMISMATCH},
      {99, {}, pw::DISP_E_MEMBERNOTFOUND},
  };
  for (const Case& c : cases) EXPECT_EQ(Call(w, c.id, c.args), c.expected) << "member " << c.id;
  EXPECT_TRUE(scene.Items().empty());
  EXPECT_EQ(Call(parent_, pw::id2d::Clear, {}), pw::DISP_E_NOCONTROL);
  ::DestroyWindow(w);
  EXPECT_EQ(pw::DispatchOf(w), nullptr) << "a destroyed control must not be callable";
}

// ---- 2D display list ---------------------------------------------------------------------------------------------
TEST_F(PlotwerkTest, ItemsCarryTheStyleTagAndTransformInForceWhenAdded) {
  HWND w = Make(pw::kClassId2D);
  auto& scene = pw::Control2D::FromHandle(w)->Scene();
  Style(w, 0xC0C0C0, 0, 0, FALSE);
  Call(w, pw::id2d::AddRectangle, R8s({-0.15, 0.0, 0.15, 3.0}));
  Tag(w, 5);
  Style(w, 0, 2, 3, FALSE);
  Call(w, pw::id2d::Invoke39, R8s({0, 0, -1, 0, 0, -1}));
  Call(w, pw::id2d::AddLine, R8s({1, 2, 3, 4}));
  Tag(w, 0);
  Call(w, pw::id2d::Invoke55, {});
  Call(w, pw::id2d::AddText, {Variant::R8(1), Variant::R8(1), Variant::R8(-90), Variant::R8(0.2), Variant::Str("A")});

  const auto& items = scene.Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].kind, pw::Kind2D::Rectangle);
  EXPECT_EQ(items[0].style, (pw::Style2D{0xC0C0C0, 0, 0, FALSE}));
  EXPECT_EQ(items[0].id, 0);
  EXPECT_EQ(items[1].kind, pw::Kind2D::Line);
  EXPECT_EQ(items[1].id, 5);
  EXPECT_EQ(items[1].style.line, 2);
  EXPECT_EQ(items[1].v, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(items[2].id, 0);
  EXPECT_EQ(items[2].text, "A");
  EXPECT_EQ(items[2].group, 1) << "Invoke55 closes a group";
  // The rectangle was drawn before the transform, the line and text after it.
  EXPECT_EQ(items[0].transform, 0);
  EXPECT_EQ(items[1].transform, items[2].transform);
  double vx, vy;
  scene.Transforms()[std::size_t(items[1].transform)].Apply(1, 2, vx, vy);
  EXPECT_DOUBLE_EQ(vx, -1);
  EXPECT_DOUBLE_EQ(vy, -2);

  Call(w, pw::id2d::Clear, {});
  EXPECT_TRUE(scene.Items().empty());
  EXPECT_EQ(scene.CurrentObjectId(), 0);
  EXPECT_EQ(scene.Transforms().size(), 1u) << "Clear returns to the plain axes";
}

TEST_F(PlotwerkTest, DiagramAxesTurnStationsDownAndValuesAcross) {
  // (offset, 0, 0, -1, -1, 0): view = (offset - y, -x).
  pw::Transform2D t{2.0, 0, 0, -1, -1, 0};
  double vx, vy, x, y;
  t.Apply(3.0, 0.5, vx, vy);
  EXPECT_DOUBLE_EQ(vx, 1.5);
  EXPECT_DOUBLE_EQ(vy, -3.0);
  ASSERT_TRUE(t.Inverse(vx, vy, x, y));
  EXPECT_DOUBLE_EQ(x, 3.0);
  EXPECT_DOUBLE_EQ(y, 0.5);
  EXPECT_FALSE((pw::Transform2D{0, 0, 1, 1, 2, 2}).Inverse(1, 1, x, y)) << "parallel axes cannot be inverted";
}

TEST_F(PlotwerkTest, ViewFitsTheDrawingWithOneScaleCentred) {
  pw::Scene2D scene;
  scene.Add(pw::Kind2D::Rectangle, {0, 0, 2, 1});
  // Client 200 x 100 less 14 px margins: 172 x 72 px. Scale min(172/2, 72/1) = 72 px per unit; the 2-unit width
  // takes 144 px and is centred in 172: left edge at 14 + 14 = 28 px.
  pw::View2D view(scene, RECT{0, 0, 200, 100});
  EXPECT_DOUBLE_EQ(view.Scale(), 72.0);
  POINT a = view.ToPixel(0, 0), b = view.ToPixel(2, 1);
  EXPECT_EQ(a.x, 28);
  EXPECT_EQ(a.y, 86);
  EXPECT_EQ(b.x, 172);
  EXPECT_EQ(b.y, 14);
  double x, y;
  view.ToView(100, 50, x, y);
  EXPECT_NEAR(x, 1.0, 1e-9);
  EXPECT_NEAR(y, 0.5, 1e-9);
}

TEST_F(PlotwerkTest, DegenerateDrawingsFitWithoutDividingByZero) {
  pw::Scene2D empty;
  pw::View2D a(empty, RECT{0, 0, 100, 100});
  EXPECT_TRUE(std::isfinite(a.Scale()));
  pw::Scene2D point;
  point.Add(pw::Kind2D::Line, {1, 1, 1, 1});
  pw::View2D b(point, RECT{0, 0, 100, 100});
  EXPECT_TRUE(std::isfinite(b.Scale()));
  pw::Scene2D flat;  // a zero-height diagram: all on one line
  flat.Add(pw::Kind2D::Line, {0, 0, 5, 0});
  pw::View2D c(flat, RECT{0, 0, 100, 100});
  EXPECT_DOUBLE_EQ(c.Scale(), 72.0 / 5.0);
}

TEST_F(PlotwerkTest, HitTestFindsTheTopmostTaggedItem) {
  pw::Scene2D scene;
  scene.Add(pw::Kind2D::Rectangle, {0, 0, 10, 10});  // untagged background
  scene.SetObjectId(7);
  scene.Add(pw::Kind2D::Line, {0, 5, 10, 5});
  scene.SetObjectId(9);
  scene.Add(pw::Kind2D::Rectangle, {6, 4, 8, 6});
  scene.SetObjectId(0);
  pw::View2D view(scene, RECT{0, 0, 128, 128});  // 100 px for 10 units: 10 px per unit from (14, 114)
  auto hit = [&](double x, double y) {
    POINT p = view.ToPixel(x, y);
    return view.HitTest(p.x, p.y);
  };
  EXPECT_EQ(hit(2, 5), 7);
  EXPECT_EQ(hit(2, 5.3), 7) << "3 px off the line is within the tolerance";
  EXPECT_EQ(hit(2, 6), 0) << "10 px off the line";
  EXPECT_EQ(hit(7, 5), 9) << "the rectangle drawn later lies on top of the line";
  EXPECT_EQ(hit(2, 2), 0) << "untagged items are not picked";
}

TEST_F(PlotwerkTest, MovingAnObjectMovesOnlyItsPoints) {
  HWND w = Make(pw::kClassId2D);
  auto& scene = pw::Control2D::FromHandle(w)->Scene();
  Tag(w, 6);
  Call(w, pw::id2d::AddLineLoad,
       {Variant::R4(0), Variant::R4(1), Variant::R4(0), Variant::R4(3), Variant::R4(0.1f), Variant::R4(0),
        Variant::R4(0.5f), Variant::R4(0.7f), Variant::Str("2.00"), Variant::Str("")});
  Tag(w, 0);
  Call(w, pw::id2d::AddLine, R8s({0, 0, 1, 1}));
  Call(w, pw::id2d::MoveObject, {Variant::I4(6), Variant::R8(0.0), Variant::R8(0.5)});
  const auto& load = scene.Items()[0];
  // The load's two end points move; its direction (0.1, 0) and arrow lengths stay.
  EXPECT_DOUBLE_EQ(load.v[1], 1.5);
  EXPECT_DOUBLE_EQ(load.v[3], 3.5);
  EXPECT_FLOAT_EQ(float(load.v[4]), 0.1f);
  EXPECT_FLOAT_EQ(float(load.v[6]), 0.5f);
  EXPECT_EQ(scene.Items()[1].v, (std::vector<double>{0, 0, 1, 1}));
  Call(w, pw::id2d::SetObjectStyle, {Variant::I4(6), Variant::I4(0x4040C0), Variant::I4(0), Variant::I4(0)});
  EXPECT_EQ(scene.Items()[0].style.colour, COLORREF(0x4040C0));
  EXPECT_EQ(scene.Items()[1].style.colour, COLORREF(0));
}

TEST_F(PlotwerkTest, PressDragAndReleaseOnATaggedItemNotifyTheParent) {
  HWND w = Make(pw::kClassId2D, 128, 128);
  Tag(w, 13);
  Call(w, pw::id2d::AddRectangle, R8s({0, 0, 10, 10}));
  Tag(w, 0);
  RECT r{0, 0, 128, 128};
  pw::View2D view(pw::Control2D::FromHandle(w)->Scene(), r);
  POINT p = view.ToPixel(2, 3), q = view.ToPixel(5, 6);
  win::input::Drag(w, p.x, p.y, q.x, q.y, 3);
  win::PumpMessages();
  ASSERT_GE(g_events.size(), 3u);
  EXPECT_EQ(g_events.front().hdr.code, pw::PWN_OBJECTPICKED);
  EXPECT_EQ(g_events.front().objectId, 13);
  EXPECT_NEAR(g_events.front().x, 2.0, 0.1);
  EXPECT_NEAR(g_events.front().y, 3.0, 0.1);
  EXPECT_EQ(g_events.front().hdr.idFrom, 11010u);
  EXPECT_EQ(g_events[1].hdr.code, pw::PWN_DRAGMOVE);
  const auto& lastMove = g_events[g_events.size() - 2];
  EXPECT_EQ(lastMove.hdr.code, pw::PWN_DRAGMOVE);
  EXPECT_NEAR(lastMove.x, 5.0, 0.1);
  EXPECT_NEAR(lastMove.y, 6.0, 0.1);
  EXPECT_EQ(g_events.back().hdr.code, pw::PWN_DRAGEND);

  g_events.clear();
  POINT outside = view.ToPixel(12, 12);
  win::input::Drag(w, outside.x, outside.y, q.x, q.y, 3);
  win::PumpMessages();
  EXPECT_TRUE(g_events.empty()) << "a press beside every tagged item picks nothing and drags nothing";
}

TEST_F(PlotwerkTest, ContextMenuCommandsReachTheParent) {
  HWND w = Make(pw::kClassId2D);
  Call(w, pw::id2d::AddMenuItem, {Variant::Str("Raster"), Variant::I4(4711), Variant::Bool(0), Variant::Bool(0)});
  win::script::QueueMenuCommand(4711);
  win::input::Click(w, 50, 50, VK_RBUTTON);
  win::PumpMessages();
  ASSERT_EQ(g_events.size(), 1u);
  EXPECT_EQ(g_events[0].hdr.code, pw::PWN_CONTROLCOMMAND);
  EXPECT_EQ(g_events[0].value, 4711);
}

TEST_F(PlotwerkTest, SetTitleWritesTheDrawingAsAMetafileThatReadsBack) {
  auto dir = std::filesystem::temp_directory_path() / "plotwerk-mf";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "Schnitt-LK1-Typ3-BZ0.emf").string();
  HWND w = Make(pw::kClassId2D, 500, 200);
  Call(w, pw::id2d::Invoke39, R8s({0, 0, 0, -1, -1, 0}));
  Style(w, 0x0000FF, 1, 3, TRUE);
  Call(w, pw::id2d::AddValueLabel,
       {Variant::R8(1), Variant::R8(2), Variant::R8(1), Variant::R8(2.5), Variant::R8(0.1), Variant::R8(0),
        Variant::Str("Max=12.50 kNm")});
  double xs[3] = {0, 1, 0}, ys[3] = {0, 0, 1};
  Call(w, pw::id2d::AddPolygon, {Variant::I4(3), Variant::R8Array(xs[0]), Variant::R8Array(ys[0])});
  Call(w, pw::id2d::Invoke30, {Variant::Str("Moment My\nMax=12.50"), Variant::I2(9), Variant::I2(15)});
  Call(w, pw::id2d::Invoke17, {Variant::Bool(0)});
  Call(w, pw::id2d::SetTitle, {Variant::Str(file.c_str())});

  pw::Scene2D back;
  int width = 0, height = 0;
  ASSERT_TRUE(back.Load(file, &width, &height));
  EXPECT_EQ(width, 500);
  EXPECT_EQ(height, 200);
  const auto& original = pw::Control2D::FromHandle(w)->Scene();
  ASSERT_EQ(back.Items().size(), 2u);
  EXPECT_EQ(back.Items()[0].text, "Max=12.50 kNm") << "texts with blanks survive";
  EXPECT_EQ(back.Items()[0].style, original.Items()[0].style);
  EXPECT_EQ(back.Items()[1].v, (std::vector<double>{0, 0, 1, 0, 0, 1}));
  ASSERT_EQ(back.Transforms().size(), 2u);
  EXPECT_DOUBLE_EQ(back.Transforms()[1].yx, -1.0);
  EXPECT_EQ(back.header, "Moment My\nMax=12.50");
  EXPECT_FALSE(back.showHeader);

  // A damaged file is refused and leaves the drawing as it was.
  {
    std::ofstream f(file, std::ios::trunc);
    f << "PLOTWERK-2D 1\nsize 10 10\nitem 99 0 0 0 0 0 0 0 0 s:\nend\n";
  }
  EXPECT_FALSE(back.Load(file));
  EXPECT_EQ(back.Items().size(), 2u);
  EXPECT_FALSE(back.Load((dir / "missing.emf").string()));
  std::filesystem::remove_all(dir);
}

TEST_F(PlotwerkTest, RenderedPictureShowsAFilledItemInItsColour) {
  pw::Scene2D scene;
  scene.SetStyle(pw::Style2D{0x0000FF, 0, 0, FALSE});  // red, filled
  scene.Add(pw::Kind2D::Rectangle, {0, 0, 1, 1});
  struct Ctx {
    const pw::Scene2D* s;
  } ctx{&scene};
  auto pixels = pw::RenderOffscreen(
      100, 100, 0xFFFFFF,
      [](HDC dc, const RECT& r, const void* c) { pw::View2D(*static_cast<const Ctx*>(c)->s, r).Render(dc); }, &ctx);
  ASSERT_EQ(pixels.size(), 10000u);
  EXPECT_EQ(pixels[50 * 100 + 50], 0xFF0000u) << "pixels are 0x00RRGGBB";
  EXPECT_EQ(pixels[2 * 100 + 2], 0xFFFFFFu);
}

TEST_F(PlotwerkTest, APictureDrawnAgainShowsOnlyTheNewDrawing) {
  // The first drawing leaves the DC as a careless drawing does: a red brush and pen selected, a clip rectangle,
  // a moved origin, and its pixels all over the picture.
  const auto careless = [](HDC dc, const RECT& r, const void*) {
    ::SelectObject(dc, ::GetStockObject(BLACK_BRUSH));
    ::SelectObject(dc, ::CreatePen(PS_SOLID, 3, RGB(255, 0, 0)));
    ::SetBkColor(dc, RGB(0, 0, 255));
    ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    ::IntersectClipRect(dc, 0, 0, 10, 10);
    ::SetViewportOrgEx(dc, 7, 7, nullptr);
  };
  // The second draws with whatever the DC holds.
  const auto plain = [](HDC dc, const RECT& r, const void*) {
    ::Rectangle(dc, 5, 5, r.right - 5, r.bottom - 5);
    ::TextOut(dc, 12, 12, "Nk", 2);
  };
  const std::vector<std::uint32_t> fresh = pw::RenderOffscreen(60, 40, 0xE0E0E0, plain, nullptr);
  pw::Offscreen picture;
  picture.Render(60, 40, 0xFFFFFF, careless, nullptr);
  EXPECT_EQ(picture.Render(60, 40, 0xE0E0E0, plain, nullptr), fresh) << "nothing of the first drawing is left";
  picture.Render(30, 20, 0xFFFFFF, careless, nullptr);
  EXPECT_EQ(picture.Render(60, 40, 0xE0E0E0, plain, nullptr), fresh) << "nor after another size";
}

// The process's address space capped at what it uses now and some more, for as long as it lives.
class AddressSpaceCap {
 public:
  explicit AddressSpaceCap(rlim_t more) {
    getrlimit(RLIMIT_AS, &before_);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit cap = before_;
    cap.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + more;
    set_ = pages > 0 && setrlimit(RLIMIT_AS, &cap) == 0;
  }
  ~AddressSpaceCap() { setrlimit(RLIMIT_AS, &before_); }
  bool Set() const { return set_; }

 private:
  rlimit before_{};
  bool set_ = false;
};

// Pixels that cannot be had make no bitmap and no picture, however the bitmap starts (white, a monochrome one black,
// a compatible one black): its filling wrote through the null pixels that the graphics library hands out then, and
// a picture drawn without its bitmap would have come out empty. With the memory there is, pictures still come.
TEST_F(PlotwerkTest, APictureWithoutMemoryForItsPixelsIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space cap";
#endif
  const auto dot = [](HDC dc, const RECT&, const void*) { ::SetPixel(dc, 3, 2, RGB(255, 0, 0)); };
  AddressSpaceCap cap(256u << 20);
  ASSERT_TRUE(cap.Set());
  // 16,000 x 16,000 pixels of 4 bytes: 1 GB, where 256 MB are left
  EXPECT_EQ(::CreateBitmap(16000, 16000, 1, 32, nullptr), nullptr);
  EXPECT_EQ(::CreateBitmap(16000, 16000, 1, 1, nullptr), nullptr);
  EXPECT_EQ(::CreateCompatibleBitmap(nullptr, 16000, 16000), nullptr);
  EXPECT_THROW(pw::RenderOffscreen(16000, 16000, 0xFFFFFF, dot, nullptr), std::bad_alloc);
  pw::Offscreen picture;
  ASSERT_EQ(picture.Render(8, 4, 0xFFFFFF, dot, nullptr).size(), 32u);
  EXPECT_THROW(picture.Render(16000, 16000, 0xFFFFFF, dot, nullptr), std::bad_alloc);
  const std::vector<std::uint32_t>& again = picture.Render(8, 4, 0xFFFFFF, dot, nullptr);
  ASSERT_EQ(again.size(), 32u);
  EXPECT_EQ(again[2 * 8 + 3], 0xFF0000u);
  EXPECT_EQ(again[0], 0xFFFFFFu);
}

// A view turned round (x to the left, y down) with the corner sign's x following the drawing and its second axis
// upwards: the sign says so, and keeps it through the drawing's file.
TEST_F(PlotwerkTest, TheCornerSignShowsWhichWayATurnedViewRuns) {
  HWND w = Make(pw::kClassId2D);
  Call(w, pw::id2d::Invoke39, R8s({0, 0, -1, 0, 0, -1}));
  Call(w, pw::id2d::Invoke54,
       {Variant::Bool(TRUE), Variant::Bool(TRUE), Variant::Str("X"), Variant::Bool(FALSE), Variant::Str("Z")});
  Call(w, pw::id2d::AddLine, R8s({0, 0, 1, 1}));
  const pw::Scene2D& scene = pw::Control2D::FromHandle(w)->Scene();
  RECT r{0, 0, 200, 150};
  POINT o, x, y;
  pw::View2D(scene, r).AxisArrows(o, x, y);
  EXPECT_EQ(x.x - o.x, -30) << "x runs to the left";
  EXPECT_EQ(x.y, o.y);
  EXPECT_EQ(y.y - o.y, -30) << "Z upwards";
  EXPECT_GE(x.x, 12) << "the sign stays inside the view";
  const auto file = std::filesystem::temp_directory_path() / "plotwerk-axes.p2d";
  ASSERT_TRUE(scene.Save(file.string(), 200, 150));
  pw::Scene2D back;
  ASSERT_TRUE(back.Load(file.string()));
  EXPECT_TRUE(back.axisXAlongDrawing);
  EXPECT_FALSE(back.axisYAlongDrawing);
  std::filesystem::remove(file);
}

// A moment's head: at the top of its quarter turn when it turns counter-clockwise, at the right when clockwise.
TEST_F(PlotwerkTest, AMomentShowsItsTurnByWhereItsHeadIs) {
  for (const double size : {1.0, -1.0}) {
    pw::Scene2D scene;
    scene.window[0] = -2;
    scene.window[1] = -2;
    scene.window[2] = 2;
    scene.window[3] = 2;
    scene.Add(pw::Kind2D::Moment, {0, 0, 0.1, 0, size});
    struct Ctx {
      const pw::Scene2D* s;
    } ctx{&scene};
    const auto pixels = pw::RenderOffscreen(
        100, 100, 0xFFFFFF,
        [](HDC dc, const RECT& r, const void* c) { pw::View2D(*static_cast<const Ctx*>(c)->s, r).Render(dc); }, &ctx);
    RECT rect{0, 0, 100, 100};
    pw::View2D view(scene, rect);
    const POINT c = view.ToPixel(0, 0);
    const int radius = std::clamp(int(std::lround(view.Scale())), 6, 60);
    // Ink beside the arc's end points: the head's barbs reach off the arc.
    auto ink = [&](int px, int py) {
      int n = 0;
      for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) n += pixels[std::size_t((py + dy) * 100 + px + dx)] != 0xFFFFFF;
      return n;
    };
    const int top = ink(c.x, c.y - radius), right = ink(c.x + radius, c.y);
    if (size > 0)
      EXPECT_GT(top, right) << "counter-clockwise: the head at the top";
    else
      EXPECT_GT(right, top) << "clockwise: the head at the right";
  }
}

TEST_F(PlotwerkTest, TheDrawingIsWrittenAsAPngOfTheAskedSize) {
  auto dir = std::filesystem::temp_directory_path() / "plotwerk-png";
  std::filesystem::create_directories(dir);
  HWND w = Make(pw::kClassId2D);
  Call(w, pw::id2d::AddLine, R8s({0, 0, 1, 1}));
  const std::string file = (dir / "diagramm.png").string();
  ASSERT_TRUE(pw::Control2D::FromHandle(w)->SavePng(file, 320, 240));
  std::ifstream f(file, std::ios::binary);
  std::string head(24, '\0');
  f.read(head.data(), 24);
  ASSERT_TRUE(f);
  EXPECT_EQ(head.substr(1, 3), "PNG");
  auto be32 = [&](int at) {
    return std::uint32_t(std::uint8_t(head[at])) << 24 | std::uint32_t(std::uint8_t(head[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(head[at + 2])) << 8 | std::uint32_t(std::uint8_t(head[at + 3]));
  };
  EXPECT_EQ(be32(16), 320u);
  EXPECT_EQ(be32(20), 240u);
  EXPECT_FALSE(pw::Control2D::FromHandle(w)->SavePng((dir / "no" / "such" / "x.png").string(), 10, 10))
      << "an unwritable place is reported";
  std::filesystem::remove_all(dir);
}

// ---- 3D ------------------------------------------------------------------------------------------------------------
TEST_F(PlotwerkTest, ThreeDItemsAreReadFromFloatArrays) {
  HWND w = Make(pw::kClassId3D, 300, 500);
  auto* control = pw::Control3D::FromHandle(w);
  auto& scene = control->Scene();
  const float corners[6] = {-0.15f, -0.2f, 0.0f, 0.15f, 0.2f, 3.5f};
  Call(w, pw::id3d::AddLine, {Variant::R4Array(corners[0]), Variant::Bool(1), Variant::Bool(1)});
  Call(w, pw::id3d::AddLine, {Variant::R4Array(corners[0]), Variant::Bool(1), Variant::Bool(0)});
  std::vector<float> square = {0, 0, 1, 0, 1, 1, 0, 1};
  Variant handle;
  Call(w, pw::id3d::CreateSection, {Variant::I4(4), Variant::R4Array(square[0])}, &handle);
  EXPECT_EQ(handle.vt, pw::VarType::I4);
  EXPECT_EQ(handle.i, 1);
  const float a[3] = {0, 0, 0}, b[3] = {0, 0, 2};
  Call(w, pw::id3d::AddExtrusion,
       {Variant::R4Array(a[0]), Variant::R4Array(b[0]), Variant::I4(1), Variant::I4(1), Variant::R4(0)});

  ASSERT_EQ(scene.Items().size(), 3u);
  EXPECT_EQ(scene.Items()[0].kind, pw::Kind3D::Box);
  EXPECT_EQ(scene.Items()[1].kind, pw::Kind3D::Line);
  EXPECT_FLOAT_EQ(float(scene.Items()[0].p[1][2]), 3.5f);
  EXPECT_FLOAT_EQ(float(scene.Items()[0].p[0][1]), -0.2f);
  // A box is six faces; the square extrusion four sides and two caps.
  auto prims = scene.Tessellate();
  int faces = 0;
  for (const auto& p : prims) faces += p.type == pw::Primitive3D::Face;
  EXPECT_EQ(faces, 6 + 6);
  EXPECT_EQ(prims.back().points.size(), 4u) << "the end cap carries the section's corners";
  EXPECT_DOUBLE_EQ(prims.back().points[2][2], 2.0);

  // Refresh clears the scene (and its sections); the first flag resets the view.
  scene.azimuth = 90;
  Call(w, pw::id3d::Refresh, {Variant::Bool(0), Variant::Bool(1), Variant::Bool(1)});
  EXPECT_TRUE(scene.Items().empty());
  EXPECT_EQ(scene.SectionCount(), 0u);
  EXPECT_EQ(scene.azimuth, 90);
  Call(w, pw::id3d::Refresh, {Variant::Bool(1), Variant::Bool(1), Variant::Bool(1)});
  EXPECT_EQ(scene.azimuth, 35);
  EXPECT_FALSE(control->SceneEnded());
  Call(w, pw::id3d::EndScene, {});
  EXPECT_TRUE(control->SceneEnded());
}

TEST_F(PlotwerkTest, ViewAxesAreOrthonormalAndRightHanded) {
  pw::Scene3D scene;
  pw::Vec3 r, d, z;
  scene.Axes(r, d, z);
  auto dot = [](const pw::Vec3& a, const pw::Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  EXPECT_NEAR(dot(r, r), 1, 1e-12);
  EXPECT_NEAR(dot(d, d), 1, 1e-12);
  EXPECT_NEAR(dot(r, d), 0, 1e-12);
  EXPECT_NEAR(dot(r, z), 0, 1e-12);
  EXPECT_NEAR(dot(d, z), 0, 1e-12);
  // right x down = into the screen: the picture is not mirrored.
  pw::Vec3 c{r[1] * d[2] - r[2] * d[1], r[2] * d[0] - r[0] * d[2], r[0] * d[1] - r[1] * d[0]};
  EXPECT_NEAR(dot(c, z), 1, 1e-12);
  EXPECT_GT(d[2], 0.9) << "z runs down the screen";
}

TEST_F(PlotwerkTest, NearSolidsHideFarOnes) {
  // Two boxes on the line of sight, the near red one added first: painted in the order they were added, the blue
  // one behind would cover it.
  pw::Scene3D scene;
  pw::Vec3 r, d, z;
  scene.Axes(r, d, z);
  auto box = [&](double depth) {
    pw::Vec3 c{z[0] * depth, z[1] * depth, z[2] * depth};
    scene.Add(pw::Kind3D::Box, {{c[0] - 0.5, c[1] - 0.5, c[2] - 0.5}, {c[0] + 0.5, c[1] + 0.5, c[2] + 0.5}});
  };
  scene.style.colour = 0x0000FF;  // red (BGR)
  box(0.0);
  scene.style.colour = 0xFF0000;  // blue
  box(5.0);
  struct Ctx {
    const pw::Scene3D* s;
  } ctx{&scene};
  auto pixels = pw::RenderOffscreen(
      200, 200, 0xFFFFFF, [](HDC dc, const RECT& rc, const void* c) { static_cast<const Ctx*>(c)->s->Render(dc, rc); },
      &ctx);
  std::uint32_t centre = pixels[100 * 200 + 100];
  EXPECT_GT((centre >> 16) & 0xFF, 0x80u) << "red shows in front";
  EXPECT_LT(centre & 0xFF, 0x40u) << "no blue shows through";
}

TEST_F(PlotwerkTest, SaveImageWritesABitmapOfTwiceTheControlsSize) {
  auto dir = std::filesystem::temp_directory_path() / "plotwerk-bmp";
  std::filesystem::create_directories(dir);
  HWND w = Make(pw::kClassId3D, 300, 500);
  const float corners[6] = {0, 0, 0, 1, 1, 1};
  Call(w, pw::id3d::AddLine, {Variant::R4Array(corners[0]), Variant::Bool(1), Variant::Bool(1)});
  const std::string file = (dir / "ansichtEndsystem.bmp").string();
  Variant ok;
  Call(w, pw::id3d::SaveImage, {Variant::Str(file.c_str())}, &ok);
  EXPECT_EQ(ok.i, 1);
  std::ifstream f(file, std::ios::binary);
  std::string head(26, '\0');
  f.read(head.data(), 26);
  ASSERT_TRUE(f);
  EXPECT_EQ(head.substr(0, 2), "BM");
  auto le32 = [&](int at) {
    return std::uint32_t(std::uint8_t(head[at])) | std::uint32_t(std::uint8_t(head[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(head[at + 2])) << 16 | std::uint32_t(std::uint8_t(head[at + 3])) << 24;
  };
  // Twice the control's size (a few centimetres in a report then print at some 250 dpi).
  EXPECT_EQ(le32(18), 600u);
  EXPECT_EQ(le32(22), 1000u);
  // 24-bit rows padded to 4 bytes: 1800 bytes per row.
  EXPECT_EQ(std::filesystem::file_size(file), 54u + 1800u * 1000u);
  std::filesystem::remove_all(dir);
}

// The person turns the view by dragging and zooms it with the wheel; a click leaves it, a double click and a Refresh
// with its first flag set bring back the default; a Refresh without that flag keeps what the person set.
TEST_F(PlotwerkTest, TheViewTurnsByDragZoomsByWheelAndRefreshWithTheFirstFlagRestoresIt) {
  HWND w = Make(pw::kClassId3D, 300, 400);
  auto* control = pw::Control3D::FromHandle(w);
  auto draw = [&] {
    const float corners[6] = {-0.15f, -0.2f, 0.0f, 0.15f, 0.2f, 3.5f};
    Call(w, pw::id3d::AddLine, {Variant::R4Array(corners[0]), Variant::Bool(1), Variant::Bool(1)});
    Call(w, pw::id3d::EndScene, {});
  };
  auto refresh = [&](BOOL reset) {
    Call(w, pw::id3d::Refresh, {Variant::Bool(reset), Variant::Bool(1), Variant::Bool(1)});
    draw();
  };
  struct View {
    POINT head, foot;
    double scale;
    std::vector<std::uint32_t> pixels;
  };
  auto view = [&] {
    const pw::Projection3D p = control->CurrentLayout().projection;
    return View{p.ToPixel({0.15, -0.2, 0.0}), p.ToPixel({-0.15, 0.2, 3.5}), p.scale, win::RenderWindow(w).pixels};
  };
  draw();
  const View initial = view();
  enum Expect { kTurned, kZoomedIn, kZoomedOut, kKept, kDefault };
  struct Step {
    const char* what;
    std::function<void()> act;
    Expect expect;
  };
  const Step steps[] = {
      {"a click", [&] { win::input::Click(w, 150, 200); }, kKept},
      {"a drag to the right and down", [&] { win::input::Drag(w, 100, 150, 160, 190); }, kTurned},
      {"a wheel notch away", [&] { win::input::Wheel(w, 150, 200, WHEEL_DELTA); }, kZoomedIn},
      {"Refresh(0, 1, 1) and the drawing again", [&] { refresh(FALSE); }, kKept},
      {"Refresh(1, 1, 1) and the drawing again", [&] { refresh(TRUE); }, kDefault},
      {"a drag to the left", [&] { win::input::Drag(w, 200, 200, 120, 200); }, kTurned},
      {"two wheel notches towards the person", [&] { win::input::Wheel(w, 150, 200, -2 * WHEEL_DELTA); }, kZoomedOut},
      {"a double click", [&] { win::input::DoubleClick(w, 150, 200); }, kDefault},
  };
  View before = initial;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    win::PumpMessages();
    const View now = view();
    const bool moved = now.head.x != before.head.x || now.head.y != before.head.y || now.foot.x != before.foot.x ||
                       now.foot.y != before.foot.y;
    switch (step.expect) {
      case kTurned:
        EXPECT_TRUE(moved);
        EXPECT_NE(now.pixels, before.pixels);
        break;
      case kZoomedIn:
      case kZoomedOut:
        EXPECT_NEAR(now.scale / before.scale, step.expect == kZoomedIn ? 1.25 : 1 / 1.5625, 1e-9);
        EXPECT_NE(now.pixels, before.pixels);
        break;
      case kKept:
        EXPECT_FALSE(moved);
        EXPECT_EQ(now.scale, before.scale);
        EXPECT_EQ(now.pixels, before.pixels);
        break;
      case kDefault:
        EXPECT_EQ(now.head.x, initial.head.x);
        EXPECT_EQ(now.head.y, initial.head.y);
        EXPECT_EQ(now.foot.x, initial.foot.x);
        EXPECT_EQ(now.foot.y, initial.foot.y);
        EXPECT_EQ(now.scale, initial.scale);
        EXPECT_EQ(now.pixels, initial.pixels);
        break;
    }
    before = now;
  }
}

// The title is never cut and never loses words: it shrinks from its size down to 10 pixels on one line, then takes
// the fewest lines with the widest as narrow as can be, and only a word wider than the view makes it smaller still
// (down to 7 pixels); a word too wide even so starts at the left edge.
TEST_F(PlotwerkTest, TheTitleTakesMoreLinesRatherThanLosingWords) {
  pw::Scene3D scene;
  scene.Add(pw::Kind3D::Box, {{-0.15, -0.2, 0.0}, {0.15, 0.2, 3.5}});
  scene.title = "Stahlbetonstütze H = 3.50 m";
  scene.titlePosition = 2;
  struct Fall {
    int width;
    std::vector<std::string> lines;
    int least, most;  // pixels
    int align;
  };
  const Fall faelle[] = {{400, {"Stahlbetonstütze H = 3.50 m"}, 15, 15, 1},
                         {130, {"Stahlbetonstütze", "H = 3.50 m"}, 10, 10, 1},
                         {90, {"Stahlbetonstütze", "H = 3.50 m"}, 7, 9, 1},
                         {20, {"Stahlbetonstütze", "H", "=", "3.50", "m"}, 7, 7, 0}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.width);
    pw::Layout3D layout;
    const std::pair<const pw::Scene3D*, pw::Layout3D*> context{&scene, &layout};
    pw::RenderOffscreen(
        f.width, 300, 0xFFFFFF,
        [](HDC dc, const RECT& r, const void* c) {
          const auto* context = static_cast<const std::pair<const pw::Scene3D*, pw::Layout3D*>*>(c);
          *context->second = context->first->Layout(dc, r, context->first->Tessellate());
        },
        &context);
    std::vector<std::string> lines;
    for (const auto& line : layout.titleLines) lines.push_back(line.text);
    EXPECT_EQ(lines, f.lines);
    EXPECT_GE(layout.titlePixels, f.least);
    EXPECT_LE(layout.titlePixels, f.most);
    EXPECT_EQ(layout.titleAlign, f.align);
    if (f.align == 1) {
      EXPECT_GE(layout.titleBox.left, 8);
      EXPECT_LE(layout.titleBox.right, f.width - 8);
    }
  }
}

// Labels keep their size in pixels while the drawing scales with the view: at every size of the view the drawing
// leaves room for them, labels that would meet stand apart, and the title shrinks to the width and then takes
// more lines, so that nothing is cut at the edges.
TEST_F(PlotwerkTest, LabelsAndTheTitleStayInsideTheViewAtEverySize) {
  pw::Scene3D scene;
  scene.Add(pw::Kind3D::Box, {{-0.15, -0.2, 0.0}, {0.15, 0.2, 3.5}});
  // Beside the -x face reading left, beside the +x face reading right, and one below the foot; two values of one
  // place, and one just beside them.
  const pw::Vec3 left{-1, 0, 0}, right{1, 0, 0};
  scene.Add(pw::Kind3D::Text, {{-0.45, 0.0, 1.0}, left}, {}, {"95.0 kN"});
  scene.Add(pw::Kind3D::Text, {{-0.45, 0.0, 2.9}, left}, {}, {"-12.5 kNm"});
  scene.Add(pw::Kind3D::Text, {{0.15, 0.2, 0.4}, right}, {}, {"160.0 kN/m"});
  scene.Add(pw::Kind3D::Text, {{0.15, -0.2, 3.5}, right}, {}, {"Stahlbetonstütze"});
  scene.Add(pw::Kind3D::Text, {{-0.45, 0.0, 1.0}, left}, {}, {"620.0 kN"});
  scene.Add(pw::Kind3D::Text, {{-0.45, 0.0, 1.05}, left}, {}, {"2.4 kN/m"});
  scene.title = "Stahlbetonstütze H = 3.50 m";
  scene.titlePosition = 2;
  struct Size {
    int width, height;
  };
  const Size sizes[] = {{180, 300}, {200, 500}, {240, 1000}, {300, 500}, {520, 300}, {800, 900}};
  struct Context {
    const pw::Scene3D* scene;
    pw::Layout3D layout;
  };
  for (const Size& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
    Context context{&scene, {}};
    const auto pixels = pw::RenderOffscreen(
        size.width, size.height, 0xFFFFFF,
        [](HDC dc, const RECT& r, const void* c) {
          auto* context = static_cast<Context*>(const_cast<void*>(c));
          context->scene->Render(dc, r);
          context->layout = context->scene->Layout(dc, r, context->scene->Tessellate());
        },
        &context);
    const RECT client{0, 0, size.width, size.height};
    const pw::Layout3D& layout = context.layout;
    ASSERT_EQ(layout.labels.size(), 6u);
    auto inside = [&](const RECT& box) {
      return box.left >= client.left && box.top >= client.top && box.right <= client.right &&
             box.bottom <= client.bottom && box.right > box.left;
    };
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
      const RECT& a = layout.labels[i].box;
      EXPECT_TRUE(inside(a)) << i;
      for (std::size_t j = 0; j < i; ++j) {
        const RECT& b = layout.labels[j].box;
        EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) << j << ", " << i;
      }
    }
    // The two values of one place one under the other, their sides towards the anchor in line.
    const RECT &first = layout.labels[0].box, &second = layout.labels[4].box;
    EXPECT_TRUE(first.left == second.left || first.right == second.right);
    EXPECT_GE(second.top, first.bottom);
    EXPECT_TRUE(inside(layout.titleBox));
    // Nothing drawn in the outermost two pixel columns and rows: no text runs into the edge.
    int edge = 0;
    for (int y = 0; y < size.height; ++y)
      for (int x = 0; x < size.width; ++x)
        if ((x < 2 || x >= size.width - 2 || y < 2 || y >= size.height - 2) &&
            (pixels[std::size_t(y * size.width + x)] & 0xFFFFFF) != 0xFFFFFF)
          ++edge;
    EXPECT_EQ(edge, 0);
    // The drawing still fills most of the view one way.
    const POINT head = layout.projection.ToPixel({0, 0, 0}), foot = layout.projection.ToPixel({0, 0, 3.5});
    EXPECT_GT(foot.y - head.y, size.height / 4);
    if (const char* out = std::getenv("KOLUMO_TEST_PNG"))
      pw::WritePicture(
          pixels, size.width, size.height,
          std::string(out) + "-" + std::to_string(size.width) + "x" + std::to_string(size.height) + ".png");
  }
}
