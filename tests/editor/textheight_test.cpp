// The editor's text-height box inside a dialog with an OK button, driven by the mouse and the keys: a typed size is
// set on the selection on Return and on leaving the box, and that Return is not the dialog's OK.
#include <gtest/gtest.h>

#include <string>

#include "editor/editordlg.h"

#include <memory>
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr UINT kHostId = 39871;

const win::DialogTemplateRegistrar kHost(kHostId, [] {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_VISIBLE;
  t.cx = 600;
  t.cy = 380;
  t.items = {{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 540, 360, 50, 14}};
  return t;
}());

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  SubData& Part() { return static_cast<SubData&>(GetSubData()); }
};

// The input dialog around the editor: it counts its OKs and stays open.
class Host : public CDialog {
 public:
  Host() : CDialog(kHostId) {}
  void OnOK() override { ++oks; }
  int oks = 0;
};

class TextHeightTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterDocumentPart();
    position_ = std::make_unique<Position>();
    ASSERT_TRUE(host_.Create(kHostId, nullptr));
    editor_.document = &position_->Part();
    editor_.position = position_.get();
    ASSERT_TRUE(editor_.Create(SubDlg::IDD, &host_));
    editor_.SetWindowPos(nullptr, 0, 0, 880, 500, SWP_NOZORDER);
    editor_.ShowWindow(SW_SHOW);
    position_->Part().text.SetText("{\\rtf1 eins zwei drei\\par\r\n}");
    editor_.TransferData(FALSE);
    win::PumpMessages();
  }
  void TearDown() override {
    editor_.DestroyWindow();
    host_.DestroyWindow();
    SetDocumentPartFactory(nullptr);
    WindowTest::TearDown();
  }
  // Selects "zwei" and types the text over what the box shows, with the mouse in the box and the keys.
  void TypeIntoBox(const std::string& typed) {
    ClickText();  // also keeps the click into the box from making a double click with the last one there
    editor_.text.SetSel(5, 9);
    win::PumpMessages();
    win::input::Click(editor_.bar2.height.m_hWnd, 6, 6);
    win::input::Key(VK_HOME);
    win::input::KeyDown(VK_SHIFT);
    win::input::Key(VK_END);
    win::input::KeyUp(VK_SHIFT);
    win::input::Type(typed);
    win::PumpMessages();
  }
  void ClickText() {
    CRect r;
    editor_.text.GetClientRect(&r);
    win::input::Click(editor_.text.m_hWnd, r.right - 10, r.bottom - 10);
    win::PumpMessages();
  }
  int SizeOfZwei() { return editor_.text.Doc().CharAt(6).size; }  // half points
  CString Box() {
    CString shown;
    editor_.bar2.height.GetWindowText(shown);
    return shown;
  }
  bool FocusInBox() {
    HWND focus = ::GetFocus();
    return focus == editor_.bar2.height.m_hWnd || ::IsChild(editor_.bar2.height.m_hWnd, focus);
  }

  std::unique_ptr<Position> position_;
  Host host_;
  SubDlg editor_;
};

TEST_F(TextHeightTest, ATypedSizeIsSetOnReturnAndOnLeavingTheBoxAndReturnIsNoOk) {
  enum Leave { kReturn, kClickText };
  struct Case {
    const char* typed;
    Leave leave;
    int halfPoints;  // of "zwei" afterwards
  };
  const Case cases[] = {
      {"28", kReturn, 56},     // not in the list
      {"14", kReturn, 28},     // in the list
      {"22", kClickText, 44},  // leaving by the mouse
      {"1", kReturn, 2},       // the least size
      {"1638", kClickText, 3276},
  };
  ASSERT_EQ(SizeOfZwei(), 24);  // 12 pt, as a text that states no size has it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    TypeIntoBox(c.typed);
    EXPECT_EQ(SizeOfZwei(), 24) << "set before the box was left";
    if (c.leave == kReturn) {
      win::input::Key(VK_RETURN);
    } else {
      ClickText();
    }
    win::PumpMessages();
    EXPECT_EQ(SizeOfZwei(), c.halfPoints);
    EXPECT_EQ(editor_.text.Doc().CharAt(1).size, 24) << "outside the selection";
    EXPECT_EQ(host_.oks, 0) << "Return in the box pressed OK";
    EXPECT_EQ(::GetFocus(), editor_.text.m_hWnd);
    // Back to the standard size for the next case.
    editor_.text.SetSel(5, 9);
    editor_.text.SetHeight(240);
  }
  EXPECT_TRUE(win::msgbox::Log().empty());
  // Return elsewhere is still the dialog's OK.
  editor_.bar2.style.SetFocus();
  win::input::Key(VK_RETURN);
  EXPECT_EQ(host_.oks, 1);
}

TEST_F(TextHeightTest, ASizeOutOfRangeIsSaidOnReturnAndGivesWayOnLeaving) {
  struct Case {
    const char* typed;
    bool returned;  // else the box is left by the mouse
  };
  const Case cases[] = {{"0", true}, {"1639", true}, {"abc", true}, {"12,5", true}, {"0", false}, {"-4", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    win::msgbox::ClearLog();
    TypeIntoBox(c.typed);
    if (c.returned) {
      win::msgbox::QueueAnswer(IDOK);
      win::input::Key(VK_RETURN);
      win::PumpMessages();
      ASSERT_EQ(win::msgbox::Log().size(), 1u);
      EXPECT_EQ(win::msgbox::Log()[0].text, "Die Texthöhe muss eine ganze Zahl von 1 bis 1638 sein.");
      EXPECT_TRUE(FocusInBox()) << "the size stays to be mended";
      EXPECT_EQ(Box(), c.typed);
    }
    ClickText();
    EXPECT_EQ(SizeOfZwei(), 24);
    EXPECT_EQ(host_.oks, 0);
    EXPECT_EQ(win::msgbox::Log().size(), c.returned ? 1u : 0u) << "leaving says nothing";
    // The box shows the size of the text where the caret now stands again.
    EXPECT_EQ(Box(), "12");
  }
}

}  // namespace
