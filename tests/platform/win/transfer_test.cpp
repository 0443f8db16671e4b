// Image lists, the clipboard through data objects, and scripted drag and drop.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

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

// Writes what a drag does to it into a log shared with other targets.
class LoggingTarget : public Target {
 public:
  LoggingTarget(const char* name, std::vector<std::string>* log) : name_(name), log_(log) {}
  DROPEFFECT OnDragEnter(CWnd* w, COleDataObject* data, DWORD keys, CPoint p) override {
    log_->push_back(name_ + " enter");
    return Target::OnDragEnter(w, data, keys, p);
  }
  DROPEFFECT OnDragOver(CWnd* w, COleDataObject* data, DWORD keys, CPoint p) override {
    log_->push_back(name_ + " over");
    return Target::OnDragOver(w, data, keys, p);
  }
  void OnDragLeave(CWnd*) override { log_->push_back(name_ + " leave"); }
  BOOL OnDrop(CWnd* w, COleDataObject* data, DROPEFFECT effect, CPoint p) override {
    log_->push_back(name_ + " drop");
    return Target::OnDrop(w, data, effect, p);
  }

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

// A drag by hand from window A over B's child (no target of its own: B's takes it), ended in the ways a user ends
// one. Each step is one wait of the drag loop for input.
TEST_F(WindowTest, ADragByHandGoesFromTargetToTargetAndDropsWhereTheButtonIsLetGo) {
  enum End { kRelease, kCtrlThenRelease, kEscape, kRightButton, kScreenGone, kReleaseOverNoTarget };
  struct Case {
    const char* name;
    End end;
    DROPEFFECT effect;
    std::vector<std::string> after;  // the log after B's enter
  };
  const std::vector<Case> cases = {
      {"let go", kRelease, DROPEFFECT_MOVE, {"B over", "B drop"}},
      {"ctrl on the way copies", kCtrlThenRelease, DROPEFFECT_COPY, {"B over", "B over", "B drop"}},
      {"escape cancels", kEscape, DROPEFFECT_NONE, {"B leave"}},
      {"the right button cancels", kRightButton, DROPEFFECT_NONE, {"B leave"}},
      {"the screen goes", kScreenGone, DROPEFFECT_NONE, {"B leave"}},
      {"let go over a window without a target", kReleaseOverNoTarget, DROPEFFECT_NONE, {"B leave"}},
  };
  for (const Case& c : cases) {
    CWnd a, b, child, none;
    ASSERT_TRUE(a.CreateEx(0, nullptr, "A", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    ASSERT_TRUE(b.CreateEx(0, nullptr, "B", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, nullptr, nullptr));
    ASSERT_TRUE(child.Create("Static", "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &b, 1));
    ASSERT_TRUE(none.CreateEx(0, nullptr, "C", WS_POPUP | WS_VISIBLE, 400, 0, 100, 100, nullptr, nullptr));
    std::vector<std::string> log;
    LoggingTarget ta("A", &log), tb("B", &log);
    ASSERT_TRUE(ta.Register(&a));
    ASSERT_TRUE(tb.Register(&b));
    a.SetFocus();
    win::input::MouseMove(a.m_hWnd, 5, 5);
    win::test::StepScreen screen;
    screen.Then([&](HWND) { win::input::MouseMove(a.m_hWnd, 20, 20); });
    screen.Then([&](HWND) { win::input::MouseMove(child.m_hWnd, 5, 5); });
    switch (c.end) {
      case kCtrlThenRelease: screen.Then([](HWND) { win::input::KeyDown(VK_CONTROL); }); [[fallthrough]];
      case kRelease: screen.Then([&](HWND) { win::input::MouseUp(child.m_hWnd, 5, 5); }); break;
      case kEscape: screen.Then([](HWND) { win::input::KeyDown(VK_ESCAPE); }); break;
      case kRightButton: screen.Then([&](HWND) { win::input::MouseDown(child.m_hWnd, 5, 5, VK_RBUTTON); }); break;
      case kScreenGone: break;
      case kReleaseOverNoTarget: screen.Then([&](HWND) { win::input::MouseUp(none.m_hWnd, 5, 5); }); break;
    }
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, Text("42"));
    EXPECT_EQ(source.DoDragDrop(), c.effect) << c.name;
    EXPECT_EQ(screen.Left(), 0u) << c.name;
    std::vector<std::string> expected = {"A enter", "A over", "A leave", "B enter"};
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(log, expected) << c.name;
    EXPECT_EQ(tb.dropped, c.effect ? "42" : "") << c.name;
    if (c.effect) {
      EXPECT_EQ(tb.at, CPoint(15, 15)) << c.name << ": in B's client coordinates";
    }
    EXPECT_EQ(GetCapture(), nullptr) << c.name;
    win::input::KeyUp(VK_CONTROL);
    win::input::KeyUp(VK_ESCAPE);
    win::input::MouseUp(a.m_hWnd, 5, 5, VK_RBUTTON);
    // The drag is over: the mouse goes to the windows again, no target hears it.
    win::input::MouseMove(b.m_hWnd, 30, 30);
    EXPECT_EQ(log.size(), expected.size()) << c.name;
  }
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
