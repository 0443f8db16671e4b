// Message boxes on a screen: windows with icon, text and the buttons of their type, answered by keys and clicks
// through the input path; the scripted sink still answers without a screen and when an answer is queued.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

using win::test::ChildrenOfClass;
using win::test::StepScreen;
using win::test::TextOf;

class MessageBoxWindowTest : public win::test::WindowTest {
 protected:
  // An owner away from the screen's corner, so that centring on it differs from centring on the screen.
  HWND MakeOwner() {
    owner = CreateWindowEx(0, "#32770", "Eingabe", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 30, 700, 500, nullptr,
                           nullptr, nullptr, nullptr);
    return owner;
  }
  HWND owner = nullptr;
};

struct Seen {
  std::vector<std::string> buttons;
  std::string text;
  std::string caption;
  RECT box{}, client{};
  std::vector<RECT> buttonRects;
  std::string focused;
  bool ownerEnabled = true;
};

// Records what the box shows (in the box's client coordinates) before the step's input.
Seen Look(HWND box) {
  Seen s;
  s.caption = TextOf(box);
  GetWindowRect(box, &s.box);
  GetClientRect(box, &s.client);
  for (HWND b : ChildrenOfClass(box, "Button")) {
    s.buttons.push_back(TextOf(b));
    RECT r;
    GetWindowRect(b, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    s.buttonRects.push_back(r);
  }
  for (HWND t : ChildrenOfClass(box, "Static"))
    if (!TextOf(t).empty()) s.text = TextOf(t);
  s.focused = TextOf(GetFocus());
  return s;
}

TEST_F(MessageBoxWindowTest, EachTypeShowsItsButtonsInOrderCentredBelowTheText) {
  struct Case {
    UINT type;
    std::vector<std::string> buttons;
    std::string focused;  // the default button
    int enterAnswer;
  };
  const Case cases[] = {
      {MB_OK | MB_ICONINFORMATION, {"OK"}, "OK", IDOK},
      {MB_OKCANCEL | MB_ICONQUESTION, {"OK", "Abbrechen"}, "OK", IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, {"OK", "Abbrechen"}, "Abbrechen", IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, {"&Ja", "&Nein"}, "&Ja", IDYES},
      {MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, {"&Ja", "&Nein"}, "&Nein", IDNO},
      {MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3, {"&Ja", "&Nein", "Abbrechen"}, "Abbrechen", IDCANCEL},
      {MB_RETRYCANCEL | MB_ICONERROR, {"&Wiederholen", "Abbrechen"}, "&Wiederholen", IDRETRY},
      {MB_ABORTRETRYIGNORE | MB_ICONERROR | MB_DEFBUTTON2,
       {"&Abbrechen", "&Wiederholen", "&Ignorieren"},
       "&Wiederholen",
       IDRETRY},
  };
  HWND o = MakeOwner();
  for (const Case& c : cases) {
    StepScreen screen;
    Seen seen;
    screen.Then([&](HWND box) {
      seen = Look(box);
      seen.ownerEnabled = IsWindowEnabled(o);
      win::input::Key(VK_RETURN);
    });
    EXPECT_EQ(MessageBox(o, "Erste Zeile\nzweite Zeile", "Frage", c.type), c.enterAnswer) << c.type;
    EXPECT_EQ(screen.Left(), 0u);
    EXPECT_EQ(seen.buttons, c.buttons) << c.type;
    EXPECT_EQ(seen.focused, c.focused) << c.type;
    EXPECT_EQ(seen.caption, "Frage");
    EXPECT_EQ(seen.text, "Erste Zeile\nzweite Zeile");
    EXPECT_FALSE(seen.ownerEnabled) << "the owner takes no input while its box is open";
    EXPECT_TRUE(IsWindowEnabled(o)) << "and takes it again after";
    ASSERT_EQ(seen.buttonRects.size(), c.buttons.size());
    const RECT& first = seen.buttonRects.front();
    const RECT& last = seen.buttonRects.back();
    EXPECT_NEAR(first.left, seen.client.right - last.right, 1) << "the row is centred";
    for (const RECT& r : seen.buttonRects) {
      EXPECT_EQ(r.top, first.top);
      EXPECT_EQ(r.right - r.left, first.right - first.left);
    }
    // centred on the owner (700 x 500 at 40, 30)
    EXPECT_NEAR((seen.box.left + seen.box.right) / 2, 40 + 350, 1);
    EXPECT_NEAR((seen.box.top + seen.box.bottom) / 2, 30 + 250, 1);
    EXPECT_EQ(GetActiveWindow(), o) << "the owner is active again";
  }
}

TEST_F(MessageBoxWindowTest, EscapeAnswersCancelElseNoAndAnOkBoxCloses) {
  struct Case {
    UINT type;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, IDOK}, {MB_OKCANCEL, IDCANCEL}, {MB_YESNO, IDNO}, {MB_YESNOCANCEL, IDCANCEL}, {MB_RETRYCANCEL, IDCANCEL},
  };
  for (const Case& c : cases) {
    StepScreen screen;
    screen.Then([](HWND) { win::input::Key(VK_ESCAPE); });
    EXPECT_EQ(AfxMessageBox("Weiter?", c.type), c.answer) << c.type;
    EXPECT_EQ(screen.Left(), 0u);
  }
  // Abort/Retry/Ignore has no way out but its buttons: Escape leaves it open.
  StepScreen screen;
  HWND stillOpen = nullptr;
  screen.Then([](HWND) { win::input::Key(VK_ESCAPE); });
  screen.Then([&](HWND box) {
    stillOpen = box;
    win::input::ClickCenter(ChildrenOfClass(box, "Button")[2]);
  });
  EXPECT_EQ(AfxMessageBox("Fehler beim Lesen", MB_ABORTRETRYIGNORE | MB_ICONERROR), IDIGNORE);
  EXPECT_NE(stillOpen, nullptr);
}

TEST_F(MessageBoxWindowTest, TheLetterOfAButtonAnswersWithIt) {
  struct Case {
    UINT type;
    const char* typed;
    int answer;
  };
  const Case cases[] = {
      {MB_YESNO, "n", IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, "j", IDYES},
      {MB_YESNOCANCEL, "N", IDNO},
      {MB_RETRYCANCEL | MB_DEFBUTTON2, "w", IDRETRY},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, "i", IDIGNORE},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, "a", IDABORT},
  };
  for (const Case& c : cases) {
    StepScreen screen;
    screen.Then([&](HWND) { win::input::Type(c.typed); });
    EXPECT_EQ(AfxMessageBox("Weiter?", c.type), c.answer) << c.type << " " << c.typed;
    EXPECT_EQ(screen.Left(), 0u);
  }
  // A letter that names no button leaves the box open; its default then answers.
  StepScreen screen;
  screen.Then([](HWND) { win::input::Type("y"); });
  screen.Then([](HWND) { win::input::Key(VK_RETURN); });
  EXPECT_EQ(AfxMessageBox("Weiter?", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(screen.Left(), 0u);
}

TEST_F(MessageBoxWindowTest, TabMovesToTheNextButtonAndAClickAnswersWithItsButton) {
  {
    StepScreen screen;
    screen.Then([](HWND) { win::input::Key(VK_TAB); });
    screen.Then([](HWND) { win::input::Key(VK_RETURN); });
    EXPECT_EQ(AfxMessageBox("Speichern?", MB_YESNOCANCEL), IDNO);
  }
  {
    // the arrow keys stay among the buttons: Left from the first goes round to the last
    StepScreen screen;
    screen.Then([](HWND) { win::input::Key(VK_RIGHT); });
    screen.Then([](HWND) { win::input::Key(VK_RETURN); });
    EXPECT_EQ(AfxMessageBox("Speichern?", MB_YESNO | MB_ICONQUESTION), IDNO);
    StepScreen again;
    again.Then([](HWND) { win::input::Key(VK_LEFT); });
    again.Then([](HWND) { win::input::Key(VK_RETURN); });
    EXPECT_EQ(AfxMessageBox("Speichern?", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
  }
  {
    StepScreen screen;
    screen.Then([](HWND box) { win::input::ClickCenter(GetDlgItem(box, IDNO)); });
    EXPECT_EQ(AfxMessageBox("Speichern?", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  }
  {
    StepScreen screen;
    screen.Then([](HWND box) { win::input::ClickCenter(GetDlgItem(box, IDRETRY)); });
    EXPECT_EQ(AfxMessageBox("Datei gesperrt", MB_RETRYCANCEL | MB_ICONWARNING), IDRETRY);
  }
}

// The box's picture: the icon of its kind where the icon sits, the lines of its text, each button's caption.
TEST_F(MessageBoxWindowTest, ThePictureShowsTheIconOfItsKindTheTextAndTheButtonCaptions) {
  struct Case {
    UINT icon;
    COLORREF colour;  // of the icon's body, away from its sign
    int x, y;         // where, in the icon's 32 x 32
  };
  const Case cases[] = {
      {MB_ICONINFORMATION, RGB(38, 102, 217), 8, 16},
      {MB_ICONQUESTION, RGB(38, 102, 217), 8, 16},
      {MB_ICONERROR, RGB(217, 26, 26), 8, 16},
      {MB_ICONWARNING, RGB(250, 204, 13), 10, 26},
  };
  const auto near = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 12 && std::abs(GetGValue(a) - GetGValue(b)) < 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 12;
  };
  const auto darkIn = [](const win::Image& image, RECT r) {
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        COLORREF c = image.At(x, y);
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
      }
    return dark;
  };
  const std::string folder = testing::TempDir();
  for (const Case& c : cases) {
    StepScreen screen;
    bool looked = false;
    screen.Then([&](HWND box) {
      looked = true;
      const win::Image image = win::RenderWindow(box);
      EXPECT_TRUE(win::SaveWindowPng(box, folder + "/msgbox_" + std::to_string(c.icon) + ".png"));
      POINT client{0, 0};
      ClientToScreen(box, &client);
      RECT frame;
      GetWindowRect(box, &frame);
      const auto inImage = [&](HWND child) {
        RECT r;
        GetWindowRect(child, &r);
        OffsetRect(&r, -frame.left, -frame.top);
        return r;
      };
      std::vector<HWND> statics = ChildrenOfClass(box, "Static");
      ASSERT_EQ(statics.size(), 2u) << "icon and text";
      const RECT icon = inImage(statics[0]), text = inImage(statics[1]);
      EXPECT_EQ(icon.right - icon.left, 32);
      EXPECT_TRUE(near(image.At(icon.left + c.x, icon.top + c.y), c.colour))
          << c.icon << ": " << std::hex << image.At(icon.left + c.x, icon.top + c.y);
      EXPECT_LT(icon.right, text.left) << "the text stands right of the icon";
      // two lines of text: ink in the upper and the lower half of the label
      const int middle = (text.top + text.bottom) / 2;
      EXPECT_GT(darkIn(image, {text.left, text.top, text.right, middle}), 20);
      EXPECT_GT(darkIn(image, {text.left, middle, text.right, text.bottom}), 20);
      for (HWND b : ChildrenOfClass(box, "Button")) {
        RECT r = inImage(b);
        InflateRect(&r, -4, -4);
        EXPECT_GT(darkIn(image, r), 15) << TextOf(b) << ": its caption is drawn";
      }
      EXPECT_LT(std::max(icon.bottom, text.bottom), inImage(ChildrenOfClass(box, "Button")[0]).top);
      win::input::Key(VK_RETURN);
    });
    AfxMessageBox("Die Datei wurde nicht gefunden.\nBitte prüfen Sie den Pfad.", MB_OKCANCEL | c.icon);
    EXPECT_TRUE(looked);
  }
  // Without an icon the text starts at the margin, where an icon would be.
  StepScreen screen;
  screen.Then([](HWND box) {
    std::vector<HWND> statics = ChildrenOfClass(box, "Static");
    ASSERT_EQ(statics.size(), 1u);
    RECT r;
    GetWindowRect(statics[0], &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_LT(r.left, 32);
    win::input::Key(VK_RETURN);
  });
  AfxMessageBox("Fertig.");
}

TEST_F(MessageBoxWindowTest, AWrappedTextMakesTheBoxTallerNotWiderThanTheScreen) {
  std::string words;
  for (int i = 0; i < 40; ++i) words += "Bewehrung ";
  const auto boxOf = [](const std::string& text) {
    StepScreen screen;
    RECT rect{};
    screen.Then([&rect](HWND box) {
      GetWindowRect(box, &rect);
      win::input::Key(VK_RETURN);
    });
    AfxMessageBox(text.c_str());
    return rect;
  };
  const RECT shortBox = boxOf("Bewehrung"), longBox = boxOf(words);
  EXPECT_LE(longBox.right - longBox.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_GT(longBox.bottom - longBox.top, shortBox.bottom - shortBox.top);
  EXPECT_GE(longBox.left, 0);
}

TEST_F(MessageBoxWindowTest, OnAScreenTheBoxIsLoggedAsTheUsersAndNotEchoed) {
  std::FILE* echo = std::tmpfile();
  ASSERT_NE(echo, nullptr);
  win::msgbox::SetEchoStream(echo);
  {
    StepScreen screen;
    screen.Then([](HWND) { win::input::Key(VK_ESCAPE); });
    EXPECT_EQ(AfxMessageBox("Löschen?", MB_YESNO), IDNO);
  }
  EXPECT_EQ(std::ftell(echo), 0L) << "nothing echoed for a box a person answered";
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_TRUE(win::msgbox::Log()[0].onScreen);
  EXPECT_FALSE(win::msgbox::Log()[0].scripted);
  EXPECT_EQ(win::msgbox::Log()[0].answer, IDNO);
  // Without a screen the same box is echoed (and answered by the queued answer).
  win::msgbox::QueueAnswer(IDYES);
  EXPECT_EQ(AfxMessageBox("Löschen?", MB_YESNO), IDYES);
  EXPECT_GT(std::ftell(echo), 0L);
  win::msgbox::SetEchoStream(nullptr);
  std::fclose(echo);
}

constexpr UINT kPlainDialog = 9711;
const win::DialogTemplateRegistrar kPlain(kPlainDialog, [] {
  win::DialogTemplate t;
  t.caption = "Eingabe";
  t.items = {{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 25, 20, 50, 14}};
  return t;
}());

TEST_F(MessageBoxWindowTest, ADialogAPersonAnswersIsNotEchoedEither) {
  std::FILE* echo = std::tmpfile();
  ASSERT_NE(echo, nullptr);
  win::script::SetEchoStream(echo);
  {
    StepScreen screen;
    screen.Then([](HWND dialog) {
      ASSERT_NE(GetDlgItem(dialog, IDOK), nullptr);
      win::input::ClickCenter(GetDlgItem(dialog, IDOK));
    });
    CDialog dialog(kPlainDialog);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(screen.Left(), 0u);
  }
  EXPECT_EQ(std::ftell(echo), 0L);
  EXPECT_TRUE(win::script::Log().back().onScreen);
  // answered by a script: echoed as before
  win::script::QueueDialogAnswer(IDOK);
  CDialog scripted(kPlainDialog);
  EXPECT_EQ(scripted.DoModal(), IDOK);
  EXPECT_GT(std::ftell(echo), 0L);
  EXPECT_FALSE(win::script::Log().back().onScreen);
  win::script::SetEchoStream(nullptr);
  std::fclose(echo);
}

TEST_F(MessageBoxWindowTest, AQueuedAnswerOrAnswersGivenBeforehandKeepTheBoxOffTheScreen) {
  StepScreen screen;
  bool shown = false;
  screen.Then([&](HWND) {
    shown = true;
    win::input::Key(VK_RETURN);
  });
  win::msgbox::QueueAnswer(IDCANCEL);
  EXPECT_EQ(AfxMessageBox("Abbrechen?", MB_OKCANCEL), IDCANCEL);
  EXPECT_FALSE(shown);
  EXPECT_TRUE(win::msgbox::Log().back().scripted);

  win::msgbox::SetShowOnScreen(false);
  win::msgbox::SetUnscriptedHandler([](const win::msgbox::Record&) { return IDNO; });
  EXPECT_EQ(AfxMessageBox("Speichern?", MB_YESNO), IDNO);
  win::msgbox::SetShowOnScreen(true);
  EXPECT_FALSE(shown);
  EXPECT_FALSE(win::msgbox::Log().back().onScreen);
  win::msgbox::SetUnscriptedHandler(nullptr);
  win::test::FailOnUnscriptedInteraction();
  // the step was not taken by a box: drain it with one shown
  EXPECT_EQ(AfxMessageBox("Fertig.", MB_OK), IDOK);
  EXPECT_TRUE(shown);
}

TEST_F(MessageBoxWindowTest, AScreenThatGoesEndsTheBoxWithItsDefaultButton) {
  StepScreen screen;  // no steps: no input will come
  EXPECT_EQ(AfxMessageBox("Speichern?", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(win::WindowCount(), 0u) << "the box is gone";
}

// The focus after a box, as a desktop gives it back: on the control that had it before (an annotation line or the
// first control of the window never takes it), however deep the control sits in pages; a control that went while
// the box was open (an in-place editor ends with the focus loss) leaves it to the window it sat in.
TEST_F(MessageBoxWindowTest, TheFocusReturnsToTheControlThatHadIt) {
  HWND o = MakeOwner();
  auto child = [](HWND parent, const char* cls, int id, DWORD style, int y) {
    return CreateWindowEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, y, 200, 20, parent,
                          reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  };
  HWND first = child(o, "Edit", 1, WS_BORDER, 10);
  HWND page = CreateWindowEx(WS_EX_CONTROLPARENT, "#32770", "", WS_CHILD | WS_VISIBLE | DS_CONTROL, 10, 40, 400, 300, o,
                             reinterpret_cast<HMENU>(std::intptr_t(2)), nullptr, nullptr);
  HWND second = child(page, "Edit", 3, WS_BORDER, 10);
  HWND table = child(page, "Static", 4, SS_NOTIFY, 40);
  SetFocus(first);  // the owner's first control had the focus once: the box must not give it back there
  struct Case {
    const char* name;
    HWND focused;
    bool goesMeanwhile;  // a control made on the table for the time of the box, gone when it closes
    HWND expected;
  };
  const Case cases[] = {
      {"an edit on a page", second, false, second},
      {"a control on a page", table, false, table},
      {"a control that went meanwhile", nullptr, true, table},
      {"the owner's own control", first, false, first},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND focused = c.focused;
    if (c.goesMeanwhile) focused = child(table, "Edit", 8, WS_BORDER, 0);
    SetFocus(focused);
    ASSERT_EQ(GetFocus(), focused);
    StepScreen screen;
    screen.Then([&](HWND box) {
      if (c.goesMeanwhile) DestroyWindow(focused);
      ASSERT_TRUE(win::test::ClickButtonWithText(box, "&Nein"));
    });
    EXPECT_EQ(MessageBox(o, "Sollen die Änderungen verworfen werden?", "Frage", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(GetActiveWindow(), o);
    EXPECT_EQ(GetFocus(), c.expected) << TextOf(GetFocus());
  }
}

}  // namespace
