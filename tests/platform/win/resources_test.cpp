// Resources registered in code and read from files, the tree's image list, and a drag image following the mouse.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>

#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;

class ResourceTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    win::res::ResetForTests();
    dir = fs::temp_directory_path() / ("kolumo-res-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::remove_all(dir);
    win::res::ResetForTests();
    WindowTest::TearDown();
  }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name) << text;
    return (dir / name).string();
  }
  fs::path dir;
};

// The pixel of a bitmap at (x, y).
COLORREF PixelOf(HBITMAP bmp, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

// Left half red, right half blue, on the white a bitmap starts with; a 1-pixel white border stays unpainted.
void Halves(cairo_t* cr, int w, int h) {
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_rectangle(cr, 1, 1, w / 2.0 - 1, h - 2);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0, 0, 1);
  cairo_rectangle(cr, w / 2.0, 1, w / 2.0 - 1, h - 2);
  cairo_fill(cr);
}

TEST_F(ResourceTest, ABitmapIsPaintedAtItsSizeEachTimeItIsLoaded) {
  win::res::RegisterBitmap(700, 20, 10, Halves);
  CBitmap a, b;
  ASSERT_TRUE(a.LoadBitmap(700));
  ASSERT_TRUE(b.LoadBitmap(700));
  EXPECT_NE(HBITMAP(a), HBITMAP(b)) << "each load is the caller's own bitmap";
  BITMAP bm{};
  a.GetBitmap(&bm);
  EXPECT_EQ(bm.bmWidth, 20);
  EXPECT_EQ(bm.bmHeight, 10);
  struct Probe {
    int x, y;
    COLORREF expected;
  };
  for (Probe p : {Probe{0, 0, RGB(255, 255, 255)}, Probe{4, 5, RGB(255, 0, 0)}, Probe{15, 5, RGB(0, 0, 255)},
                  Probe{19, 9, RGB(255, 255, 255)}})
    EXPECT_EQ(PixelOf(a, p.x, p.y), p.expected) << p.x << "," << p.y;
  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(701));
  EXPECT_NE(win::res::LastError().find("701"), std::string::npos);
  // The PNG bytes that documents embed start with the PNG signature.
  std::vector<unsigned char> png = win::res::BitmapPng(700);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');
  EXPECT_TRUE(win::res::BitmapPng(701).empty());
}

// The address space capped, for the life of the object, at what the process has mapped now and `room` more.
class AddressSpaceRoom {
 public:
  explicit AddressSpaceRoom(std::size_t room) {
    getrlimit(RLIMIT_AS, &before_);
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit capped = before_;
    capped.rlim_cur = rlim_t(pages * std::size_t(sysconf(_SC_PAGESIZE)) + room);
    setrlimit(RLIMIT_AS, &capped);
  }
  ~AddressSpaceRoom() { setrlimit(RLIMIT_AS, &before_); }
  AddressSpaceRoom(const AddressSpaceRoom&) = delete;
  AddressSpaceRoom& operator=(const AddressSpaceRoom&) = delete;

 private:
  rlimit before_{};
};

// A picture whose painting runs short of memory is a shortage of the document that embeds it (std::bad_alloc),
// never the PNG of what was painted before: here the painting needs a source image of 1 GiB that cannot be had,
// which puts cairo's context into CAIRO_STATUS_NO_MEMORY.
TEST_F(ResourceTest, APictureWhosePaintingRunsShortOfMemoryIsAShortage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space cap";
#endif
  win::res::RegisterBitmap(703, 20, 10, [](cairo_t* cr, int w, int h) {
    Halves(cr, w, h);
    cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16384, 16384);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_surface_destroy(source);
    cairo_paint(cr);
  });
  {
    AddressSpaceRoom room(std::size_t(64) << 20);
    EXPECT_THROW(win::res::BitmapPng(703), std::bad_alloc);
  }
  // with the room there, the same painting is a picture
  std::vector<unsigned char> png = win::res::BitmapPng(703);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');
}

TEST_F(ResourceTest, SystemIconsAreOpaqueInsideAndTransparentAtTheCorners) {
  struct Case {
    LPCSTR id;
    COLORREF centre;  // roughly: the icon's own colour in its middle
  };
  for (Case c : {Case{IDI_ERROR, RGB(255, 255, 255)}, Case{IDI_WARNING, RGB(0, 0, 0)}}) {
    HICON icon = LoadIcon(nullptr, c.id);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, c.id), icon) << "LoadIcon shares one icon per id";
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(32, 32, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 32, 32};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    DrawIcon(dc, 0, 0, icon);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0)) << "the corner shows the background";
    COLORREF ring = GetPixel(dc, 16, 3);  // inside the disc or the triangle, off the glyph
    EXPECT_NE(ring, RGB(0, 255, 0));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteObject(green);
    DeleteDC(dc);
  }
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(4711)), nullptr);
}

TEST_F(ResourceTest, AMenuTemplateBuildsItemsAndSubmenus) {
  win::res::RegisterMenu(800,
                         {{"&Datei", 0, 0, {{"&Öffnen", 801, 0, {}}, {"", 0, 0, {}}, {"&Ende", 802, MF_GRAYED, {}}}}});
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(800));
  ASSERT_EQ(menu.GetMenuItemCount(), 1);
  HMENU file = GetSubMenu(menu.GetSafeHmenu(), 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuItemID(file, 0), 801u);
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(file, 802, MF_BYCOMMAND) & MF_GRAYED);
  char text[32];
  GetMenuString(file, 801, text, sizeof(text), MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Öffnen");
  EXPECT_FALSE(CMenu().LoadMenu(899));
}

TEST_F(ResourceTest, AResourceFileRegistersStringsMenusAndBitmaps) {
  // A 4 x 2 PNG: its pixels are painted by cairo here, as any drawing program would save them.
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4, 2);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0, 0.5, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_write_to_png(s, (dir / "gruen.png").c_str());
  cairo_surface_destroy(s);
  std::string file = Write("res.xml", R"(<resources>
  <string id="900" text="Stütze"/>
  <bitmap id="901" file="gruen.png"/>
  <menu id="902"><popup text="Bearbeiten"><item id="903" text="Kopieren" flags="checked"/></popup></menu>
</resources>)");
  ASSERT_TRUE(win::res::LoadResourceFile(file)) << win::res::LastError();
  CString text;
  EXPECT_TRUE(text.LoadString(900));
  EXPECT_EQ(text, CString("Stütze"));
  HBITMAP bmp = LoadBitmap(nullptr, MAKEINTRESOURCE(901));
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(PixelOf(bmp, 3, 1), RGB(0, 128, 0));
  DeleteObject(bmp);
  HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(902));
  EXPECT_TRUE(GetMenuState(menu, 903, MF_BYCOMMAND) & MF_CHECKED);
  DestroyMenu(menu);

  // An unloaded module takes its painters with it: what code drew goes, what a file held and the built-in
  // icons stay.
  win::res::RegisterBitmap(904, 20, 10, Halves);
  win::res::RegisterIcon(905, Halves);
  win::res::ForgetPainted();
  EXPECT_FALSE(win::res::HasBitmap(904));
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(905)), nullptr);
  EXPECT_TRUE(win::res::HasBitmap(901));
  EXPECT_NE(LoadIcon(nullptr, IDI_ERROR), nullptr);
  EXPECT_EQ(text.LoadString(900), TRUE);
}

TEST_F(ResourceTest, ABadResourceFileSaysWhyAndRegistersNothing) {
  struct Case {
    const char* name;
    const char* xml;
    const char* reason;  // a part of the message
  };
  const Case cases[] = {
      {"id", R"(<resources><string id="950" text="gut"/><string id="x" text="a"/></resources>)", "\"x\""},
      {"png", R"(<resources><string id="950" text="gut"/><bitmap id="5" file="fehlt.png"/></resources>)", "fehlt.png"},
      {"kind", R"(<resources><string id="950" text="gut"/><sound id="5"/></resources>)", "<sound>"},
      {"menu", R"(<resources><string id="950" text="gut"/><menu id="6"><popup text="leer"/></menu></resources>)",
       "leer"},
      {"xml", R"(<resources><string id="950" text="gut"/>)", "xml"},
  };
  for (const Case& c : cases) {
    std::string file = Write(std::string(c.name) + ".xml", c.xml);
    EXPECT_FALSE(win::res::LoadResourceFile(file)) << c.name;
    EXPECT_NE(win::res::LastError().find(c.reason), std::string::npos) << c.name << ": " << win::res::LastError();
    EXPECT_FALSE(CString().LoadString(950)) << c.name << ": the good entry before the bad one stays out";
  }
  EXPECT_FALSE(win::res::LoadResourceFile((dir / "nichtda.xml").string()));
}

// Popups nested inside each other, the innermost holding one item.
std::string NestedMenu(int levels) {
  std::string xml = R"(<resources><string id="951" text="gut"/><menu id="7">)";
  for (int i = 0; i < levels; ++i) xml += "<popup text=\"E" + std::to_string(i) + "\">";
  xml += R"(<item id="8" text="innen"/>)";
  for (int i = 0; i < levels; ++i) xml += "</popup>";
  return xml + "</menu></resources>";
}

// The reader goes one level down per popup: a file nested without end is refused with its reason before the
// stack runs out, and a menu as deep as the limit still loads whole.
TEST_F(ResourceTest, MenusNestedTooDeeplyAreRefused) {
  const struct {
    int levels;
    bool loads;
  } cases[] = {{32, false}, {30000, false}, {31, true}};  // strings stay registered: the good case last
  for (const auto& c : cases) {
    win::res::ResetForTests();
    const std::string file = Write("tief.xml", NestedMenu(c.levels));
    EXPECT_EQ(win::res::LoadResourceFile(file), c.loads) << c.levels << ": " << win::res::LastError();
    EXPECT_EQ(bool(CString().LoadString(951)), c.loads) << c.levels;
    if (!c.loads) {
      EXPECT_NE(win::res::LastError().find("tiefer als 32 Ebenen"), std::string::npos) << win::res::LastError();
      continue;
    }
    HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(7));
    ASSERT_NE(menu, nullptr);
    HMENU inner = menu;
    for (int i = 0; i < c.levels; ++i) inner = GetSubMenu(inner, 0);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(GetMenuItemID(inner, 0), 8u);
    DestroyMenu(menu);
  }
}

// ---- Tree icons and dragging ----------------------------------------------------------------------------------
class Host : public CWnd {};

TEST_F(ResourceTest, TreeItemsShowTheirImagesBeforeTheText) {
  Host host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 220, 120, nullptr, nullptr));
  CTreeCtrl tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &host, 10));
  CImageList images;
  images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
  images.Add(LoadIcon(nullptr, IDI_ERROR));
  images.Add(LoadIcon(nullptr, IDI_WARNING));
  RECT plainText;
  HTREEITEM error =
      tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, "Fehler", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
  HTREEITEM warning =
      tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, "Warnung", 1, 1, 0, 0, 0, TVI_ROOT, TVI_LAST);
  ASSERT_TRUE(tree.GetItemRect(error, &plainText, TRUE));
  EXPECT_EQ(tree.SetImageList(&images, TVSIL_NORMAL), nullptr);
  EXPECT_EQ(tree.GetImageList(TVSIL_NORMAL)->GetSafeHandle(), images.GetSafeHandle());
  RECT text, row2;
  ASSERT_TRUE(tree.GetItemRect(error, &text, TRUE));
  EXPECT_EQ(text.left, plainText.left + 16 + 3) << "the text moves right by the image and a gap";
  ASSERT_TRUE(tree.GetItemRect(warning, &row2, TRUE));
  EXPECT_GE(row2.top - text.top, 18) << "rows are high enough for the images";
  win::Image shot = win::RenderWindow(tree.m_hWnd);
  if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SavePng(shot, out);
  int iconX = plainText.left + 8;
  COLORREF red = shot.At(iconX, (text.top + text.bottom) / 2 - 5);         // the disc above the white cross
  COLORREF yellow = shot.At(iconX - 4, (row2.top + row2.bottom) / 2 + 5);  // the triangle beside the mark
  EXPECT_GT(GetRValue(red), 150);
  EXPECT_LT(GetGValue(red), 80);
  EXPECT_GT(GetGValue(yellow), 150);
  EXPECT_LT(GetBValue(yellow), 80);
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(CPoint(iconX, text.top + 2), &flags), error);
  EXPECT_EQ(flags, UINT(TVHT_ONITEMICON));
}

// A window that drags a picture of its own with the mouse: press starts, moves follow, release drops.
class DragSource : public CWnd {
 public:
  CImageList picture;
  std::vector<CPoint> drops;
  bool dragging = false;
  void OnLButtonDown(UINT, CPoint p) {
    picture.BeginDrag(0, CPoint(2, 2));
    CImageList::DragEnter(this, p);
    SetCapture();
    dragging = true;
  }
  void OnMouseMove(UINT, CPoint p) {
    if (dragging) CImageList::DragMove(p);
  }
  void OnLButtonUp(UINT, CPoint p) {
    if (!dragging) return;
    dragging = false;
    CImageList::DragLeave(this);
    CImageList::EndDrag();
    ReleaseCapture();
    drops.push_back(p);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DragSource, CWnd)
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

TEST_F(ResourceTest, ADragImageFollowsTheMouseAndLeavesNoTrace) {
  DragSource w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80, nullptr, nullptr));
  w.picture.Create(6, 6, ILC_COLOR32 | ILC_MASK, 1, 1);
  CBitmap block;
  std::vector<std::uint32_t> px(36, 0x000000ffu);  // blue
  block.CreateBitmap(6, 6, 1, 32, px.data());
  w.picture.Add(&block, RGB(255, 255, 255));
  HDC dc = GetWindowDC(w.m_hWnd);
  COLORREF background = GetPixel(dc, 50, 40);
  win::input::MouseDown(w.m_hWnd, 10, 10);
  win::input::MouseMove(w.m_hWnd, 30, 20);
  win::input::MouseMove(w.m_hWnd, 50, 40);
  POINT at{}, hot{};
  ASSERT_NE(ImageList_GetDragImage(&at, &hot), nullptr);
  EXPECT_EQ(at.x, 50);
  EXPECT_EQ(at.y, 40);
  // The image's top-left corner lies at the mouse less the hot spot: (48, 38) to (53, 43) are blue.
  EXPECT_EQ(GetPixel(dc, 48, 38), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 53, 43), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 28, 18), background) << "the earlier place was restored";
  win::input::MouseUp(w.m_hWnd, 50, 40);
  ASSERT_EQ(w.drops.size(), 1u);
  EXPECT_EQ(w.drops[0], CPoint(50, 40));
  EXPECT_EQ(GetPixel(dc, 48, 38), background) << "the drop removed the image";
  EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
  ReleaseDC(w.m_hWnd, dc);
}

TEST_F(ResourceTest, ATreeItemMakesADragImageOfIconAndText) {
  Host host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 220, 120, nullptr, nullptr));
  CTreeCtrl tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &host, 10));
  CImageList images;
  images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
  images.Add(LoadIcon(nullptr, IDI_ERROR));
  tree.SetImageList(&images, TVSIL_NORMAL);
  HTREEITEM item = tree.InsertItem(TVIF_TEXT | TVIF_IMAGE, "Fehler", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
  std::unique_ptr<CImageList> drag(tree.CreateDragImage(item));
  ASSERT_TRUE(drag);
  RECT text;
  tree.GetItemRect(item, &text, TRUE);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(drag->GetSafeHandle(), &cx, &cy);
  EXPECT_EQ(cx, 16 + 3 + (text.right - text.left));
  EXPECT_EQ(drag->GetImageCount(), 1);
}

}  // namespace
