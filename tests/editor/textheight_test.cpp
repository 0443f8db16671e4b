// The editor's text-height box inside a dialog with an OK button, driven by the mouse and the keys: a typed size is
// set on the selection on Return and on leaving the box, and that Return is not the dialog's OK.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
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

// The input dialog around the editor: it counts its OKs and cancels (Escape, which asks to discard the position) and
// stays open.
class Host : public CDialog {
 public:
  Host() : CDialog(kHostId) {}
  void OnOK() override { ++oks; }
  void OnCancel() override { ++cancels; }
  int oks = 0, cancels = 0;
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
  bool FocusInBox(CComboBox& box) {
    HWND focus = ::GetFocus();
    return focus == box.m_hWnd || ::IsChild(box.m_hWnd, focus);
  }
  bool FocusInBox() { return FocusInBox(editor_.bar2.height); }

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

// Escape in a toolbar box makes nothing: typing in the text-height box is dropped (the selection keeps its size) and
// the focus goes back to the text; an open list closes first, and only the next Escape leaves the box. Escape never
// reaches the input dialog, whose cancel asks to discard the whole position.
TEST_F(TextHeightTest, EscapeInABoxDropsWhatWasTypedAndReturnsToTheText) {
  struct Case {
    const char* name;
    CComboBox SkribComboBar::*box;
    const char* typed;  // into the text-height box, over what it shows
    bool dropped;       // the list opened (F4) before the first Escape
  };
  const Case cases[] = {
      {"text height, typed", &SkribComboBar::height, "20", false},
      {"text height, typed and the list opened", &SkribComboBar::height, "20", true},
      {"text height, a size out of range", &SkribComboBar::height, "0", false},
      {"style, list opened", &SkribComboBar::style, nullptr, true},
      {"style", &SkribComboBar::style, nullptr, false},
      {"zoom, list opened", &SkribComboBar::zoom, nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CComboBox& box = editor_.bar2.*c.box;
    if (c.typed) {
      TypeIntoBox(c.typed);
    } else {
      ClickText();
      editor_.text.SetSel(5, 9);
      box.SetFocus();
    }
    const int style = editor_.bar2.style.GetCurSel(), zoom = editor_.bar2.zoom.GetCurSel();
    if (c.dropped) {
      win::input::Key(VK_F4);
      ASSERT_TRUE(box.GetDroppedState());
      win::input::Key(VK_DOWN);  // a row lit in the list is no choice either
      win::input::Key(VK_ESCAPE);
      win::PumpMessages();
      EXPECT_FALSE(box.GetDroppedState());
      EXPECT_TRUE(FocusInBox(box)) << "the first Escape closes only the list";
      if (c.typed) {
        EXPECT_EQ(Box(), c.typed) << "the list's Escape keeps the typing";
      }
    }
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    EXPECT_EQ(host_.cancels, 0) << "Escape reached the dialog";
    EXPECT_EQ(::GetFocus(), editor_.text.m_hWnd);
    EXPECT_EQ(SizeOfZwei(), 24) << "the typed size was set";
    EXPECT_EQ(Box(), "12") << "the box shows the selection's size again";
    EXPECT_EQ(editor_.bar2.style.GetCurSel(), style);
    EXPECT_EQ(editor_.bar2.zoom.GetCurSel(), zoom);
    // Leaving the text afterwards sets nothing either.
    editor_.bar2.style.SetFocus();
    editor_.text.SetFocus();
    EXPECT_EQ(SizeOfZwei(), 24);
  }
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_EQ(host_.oks, 0);
  // Escape outside the boxes is still the dialog's.
  ::SetFocus(::GetDlgItem(host_.m_hWnd, IDOK));
  win::input::Key(VK_ESCAPE);
  EXPECT_EQ(host_.cancels, 1);
}

// The keys that move the light in an open list choose nothing yet; Return or F4, which close the list on the row
// lit, choose it.
TEST_F(TextHeightTest, ARowLitInAnOpenListIsChosenWhenTheListClosesOnIt) {
  auto paragraphStyle = [&] {  // 0 "Standard", 1..9 the headings
    PARAFORMAT2 pf;
    editor_.text.GetParaFormat(pf);
    return std::abs(pf.sStyle) - 1;
  };
  struct Case {
    CComboBox SkribComboBar::*box;
    int shown;                     // the row the box shows when its list opens
    std::function<int()> measure;  // of "zwei"
    int before, chosen;            // measured before the list closes and after; two rows down
  };
  const Case cases[] = {
      {&SkribComboBar::style, 0, paragraphStyle, 0, 2},                   // "Standard" to "Überschrift 2"
      {&SkribComboBar::height, 6, [&] { return SizeOfZwei(); }, 24, 32},  // 12 pt to 16 pt
  };
  for (UINT close : {UINT(VK_RETURN), UINT(VK_F4)})
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "key " << close << ", row " << c.shown);
      CComboBox& box = editor_.bar2.*c.box;
      ClickText();
      editor_.text.SetSel(5, 9);
      box.SetFocus();
      box.SetCurSel(c.shown);
      for (UINT vk : {VK_F4, VK_DOWN, VK_DOWN}) win::input::Key(vk);
      win::PumpMessages();
      EXPECT_EQ(c.measure(), c.before) << "the text took a row lit in the open list";
      win::input::Key(close);
      win::PumpMessages();
      EXPECT_FALSE(box.GetDroppedState());
      EXPECT_EQ(c.measure(), c.chosen);
      editor_.text.SetSel(5, 9);
      editor_.text.SetParagraphStyle(1);
      editor_.text.SetHeight(240);
    }
  EXPECT_EQ(host_.oks, 0);
  EXPECT_EQ(host_.cancels, 0);
}

}  // namespace
