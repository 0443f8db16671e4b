// Image lists, the clipboard through data objects, and scripted drag and drop.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/dialogs/wintest.h"

namespace {

using win::test::WindowTest;

HGLOBAL Text(const char* s) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(s) + 1);
  std::memcpy(GlobalLock(h), s, std::strlen(s) + 1);
  GlobalUnlock(h);
  return h;
}

std::string Read(HGLOBAL h) {
  std::string s = static_cast<const char*>(GlobalLock(h));
  GlobalUnlock(h);
  GlobalFree(h);
  return s;
}

TEST(ImageList, SplitsABitmapIntoImagesAndDrawsThroughTheMask) {
  CBitmap strip;
  strip.CreateBitmap(8, 4, 1, 32, nullptr);
  {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap* old = mem.SelectObject(&strip);
    mem.FillSolidRect(0, 0, 8, 4, RGB(192, 192, 192));  // the transparent colour
    mem.SetPixel(5, 1, RGB(255, 0, 0));                 // one red pixel in the second image at (1, 1)
    mem.SelectObject(old);
  }
  CImageList list;
  ASSERT_TRUE(list.Create(4, 4, ILC_COLOR32 | ILC_MASK, 2, 1));
  EXPECT_EQ(list.Add(&strip, RGB(192, 192, 192)), 0);
  EXPECT_EQ(list.GetImageCount(), 2);
  IMAGEINFO info{};
  ASSERT_TRUE(list.GetImageInfo(1, &info));
  EXPECT_EQ(CRect(info.rcImage), CRect(4, 0, 8, 4));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap canvas;
  canvas.CreateBitmap(10, 10, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&canvas);
  dc.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 255));
  list.Draw(&dc, 1, CPoint(3, 3), ILD_TRANSPARENT);
  EXPECT_EQ(dc.GetPixel(4, 4), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(3, 3), RGB(0, 0, 255)) << "a transparent pixel shows what is under it";
  dc.SelectObject(old);
}

TEST_F(WindowTest, DataSourceOnTheClipboardIsReadByADataObject) {
  auto* source = new COleDataSource;
  source->CacheGlobalData(CF_TEXT, Text("a\tb\nc\td"));
  source->SetClipboard();  // the clipboard takes the source over
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
  EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
  EXPECT_EQ(Read(data.GetGlobalData(CF_TEXT)), "a\tb\nc\td");
  EXPECT_EQ(win::ClipboardText(), "a\tb\nc\td");
}

class Target : public COleDropTarget {
 public:
  std::string dropped;
  CPoint at;
  DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD keys, CPoint) override { return Effect(data, keys); }
  DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keys, CPoint) override { return Effect(data, keys); }
  BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT, CPoint p) override {
    dropped = Read(data->GetGlobalData(CF_TEXT));
    at = p;
    return TRUE;
  }
  static DROPEFFECT Effect(COleDataObject* data, DWORD keys) {
    if (!data->IsDataAvailable(CF_TEXT)) return DROPEFFECT_NONE;
    return (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
  }
};

TEST_F(WindowTest, DragDropsOnTheScriptedWindowWithTheEffectOfTheKeys) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  Target target;
  ASSERT_TRUE(target.Register(&wnd));
  COleDataSource source;
  source.CacheGlobalData(CF_TEXT, Text("42"));
  win::script::QueueDrop(wnd.m_hWnd, {10, 20});
  EXPECT_EQ(source.DoDragDrop(), DROPEFFECT_MOVE);
  EXPECT_EQ(target.dropped, "42");
  EXPECT_EQ(target.at, CPoint(10, 20));
  win::script::QueueDrop(wnd.m_hWnd, {1, 1}, MK_CONTROL);
  EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY), DROPEFFECT_COPY);
  // A window without a registered target takes nothing.
  target.Revoke();
  win::script::QueueDrop(wnd.m_hWnd, {1, 1});
  EXPECT_EQ(source.DoDragDrop(), DROPEFFECT_NONE);
}

TEST_F(WindowTest, WaitCursorShowsWhileItLives) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  {
    CWaitCursor wait;
    EXPECT_EQ(win::CurrentCursorId(), 32514u);
  }
  EXPECT_EQ(win::CurrentCursorId(), 32512u);
}

}  // namespace
