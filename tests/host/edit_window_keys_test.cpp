// The keys and boxes of the editing window of "kolumo edit" without a screen, its user a script sending keys and
// clicks: Escape in an open cell editor ends only that edit, a refused entry keeps the window open on its field, and
// after a question the keys go where they went before it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/edit.h"
#include "tests/host/edit_window_fixture.h"
#include "host/module.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

using EditKeysTest = edit_window_test::EditWindowTest;

// A point of the window as the tracker gives it: relative to the window's top-left corner, frame included.
POINT At(CWnd& window, int x, int y) {
  CRect r;
  window.GetWindowRect(&r);
  POINT p{r.left + x, r.top + y};
  window.ScreenToClient(&p);
  return p;
}
void ClickAt(CWnd& window, int x, int y) {
  const POINT p = At(window, x, y);
  win::input::Click(window.m_hWnd, p.x, p.y);
  win::PumpMessages();
}

// The control shown with that id.
HWND Descendant(HWND window, int id) { return edit_window_test::Descendant(window, id, true); }

std::string TextOf(HWND h) {
  char text[256] = {};
  GetWindowText(h, text, sizeof text);
  return text;
}

constexpr int kUmX = 26044, kUmY = 26045, kRaster = 11015;
enum class Leave { kReturn, kTab, kOkButton };

// A wrong entry on the pre-deformation page and in the preview's raster, left by Return, Tab or a click on OK: one
// box that names the field with the warning icon, and the window stays open on the field, which shows the value
// it keeps.
TEST_F(EditKeysTest, ARefusedEntryKeepsTheWindowOpenOnItsField) {
  struct Case {
    const char* name;
    int field;
    const char* typed;
    Leave leave;
    const char* box;
    const char* kept;
  };
  const Case cases[] = {
      {"Y axis, Return", kUmY, "abc", Leave::kReturn, "Schiefstellung um die Y-Achse: abc ist keine Zahl. Bitte ändern",
       "0.400"},
      {"X axis, Tab", kUmX, "xyz", Leave::kTab, "Schiefstellung um die X-Achse: xyz ist keine Zahl. Bitte ändern",
       "-0.400"},
      {"Y axis, OK", kUmY, "1,2,3", Leave::kOkButton,
       "Schiefstellung um die Y-Achse: 1,2,3 ist keine Zahl. Bitte ändern", "0.400"},
      {"raster, Return", kRaster, "abc", Leave::kReturn, "Raster (cm): abc ist keine Zahl. Bitte ändern", "5"},
      {"raster below 0, Tab", kRaster, "-5", Leave::kTab,
       "Raster (cm): -5 cm ist als Raster nicht möglich (0 oder größer). Bitte ändern", "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    win::msgbox::ClearLog();
    bool open = false;
    std::string focused, shown;
    win::script::QueueDialog([&](CDialog& window) {
      ClickAt(window, 288, 42);  // "Vorverformung"
      HWND field = Descendant(window.m_hWnd, c.field);
      ASSERT_NE(field, nullptr);
      win::input::ClickCenter(field);
      win::input::KeyWith(VK_CONTROL, 'A');
      win::input::Type(c.typed);
      win::msgbox::QueueAnswer(IDOK);
      if (c.leave == Leave::kReturn) win::input::Key(VK_RETURN);
      if (c.leave == Leave::kTab) win::input::Key(VK_TAB);
      if (c.leave == Leave::kOkButton) win::input::ClickCenter(window.GetDlgItem(IDOK)->m_hWnd);
      win::PumpMessages();
      open = window.IsWindowVisible();
      focused = GetFocus() == field ? "the field" : TextOf(GetFocus());
      shown = TextOf(field);
      if (open) window.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(Edit(), host::EditResult::kCancelled) << "nothing was saved";
    EXPECT_TRUE(open);
    EXPECT_EQ(focused, "the field");
    EXPECT_EQ(shown, c.kept);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, c.box);
    EXPECT_EQ(win::msgbox::Log()[0].type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
  }
}
// "Nein" to the discard question gives the keyboard back to the grid cell that had it: what is typed next goes into
// that cell, never into the annotation line, and the next Return is the cell's, not OK saving a stray remark.
TEST_F(EditKeysTest, AfterTheQuestionTheKeysGoToTheCellThatHadThem) {
  std::string focused, annotation, loadValue;
  bool open = false;
  win::script::QueueDialog([&](CDialog& window) {
    ClickAt(window, 340, 42);  // "Belastung"
    HWND grid = Descendant(window.m_hWnd, 26019);
    ASSERT_NE(grid, nullptr);
    ClickAt(window, 607, 120);  // Pz of the second load, 620 kN
    win::AdvanceClock(1000);
    ClickAt(window, 607, 120);  // its editor
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type("700");
    win::input::Key(VK_TAB);     // stored; the next cell is edited
    win::input::Key(VK_ESCAPE);  // which ends only that edit
    win::PumpMessages();
    {
      win::test::StepScreen screen;  // the question as a window, answered by a click
      screen.Then([](HWND box) { ASSERT_TRUE(win::test::ClickButtonWithText(box, "&Nein")); });
      win::input::Key(VK_ESCAPE);
      win::PumpMessages();
    }
    focused = GetFocus() == grid ? "the load grid"
                                 : TextOf(GetFocus()) + " (" + std::to_string(GetDlgCtrlID(GetFocus())) + ")";
    open = window.IsWindowVisible();
    win::input::Type("8");  // opens the focus cell's editor
    win::input::Key(VK_RETURN);
    win::PumpMessages();
    annotation = TextOf(window.GetDlgItem(host::kEditAnnotationId)->m_hWnd);
    window.SendMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(Edit(), host::EditResult::kSaved);
  EXPECT_TRUE(open);
  EXPECT_EQ(focused, "the load grid");
  EXPECT_EQ(annotation, "");
  std::ifstream in(file_);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().find("Anmerkung_4=\"8\""), std::string::npos) << "no stray remark";
  EXPECT_NE(text.str().find("700"), std::string::npos);
}

// Escape in an open cell editor of the load grid, a combo opened by its arrow or by a second click, or a number's
// edit, ends only that edit: the window stays, and only the next Escape is the window's (nothing changed: it ends
// without a question). In the empty entry row it makes no load: the list lights no entry of its own. A choice in a
// combo's list with the mouse takes the cell and keeps it open with the keyboard, as one made by keys does: Escape
// then ends only the cell (it was closed, and Escape reached the window).
TEST_F(EditKeysTest, EscapeInAnOpenCellEditorEndsOnlyThatEdit) {
  struct Case {
    const char* name;
    std::vector<POINT> clicks;  // window points, a second apart
    bool chooseInList;          // a click on the list's first item ("X-Richtung") after the clicks
    bool editorOpen;            // before Escape
    bool changed = false;       // the position changed: the window's Escape asks to discard it ("Ja")
  };
  const Case cases[] = {
      {"direction, its arrow twice", {{562, 120}, {562, 120}}, false, true},
      {"direction, two clicks on its text", {{520, 120}, {520, 120}}, false, true},
      {"a load's value", {{607, 120}, {607, 120}}, false, true},
      {"the entry row's type, its arrow", {{246, 246}}, false, true},
      {"the entry row's type, two clicks on its text", {{180, 246}, {180, 246}}, false, true},
      {"the entry row's direction, its arrow", {{562, 246}}, false, true},
      {"direction chosen in the list", {{562, 120}}, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    win::msgbox::ClearLog();
    if (c.changed) win::msgbox::QueueAnswer(IDYES);
    std::string focused;
    bool editor = false, openAfterEscape = false;
    win::script::QueueDialog([&](CDialog& window) {
      ClickAt(window, 340, 42);  // "Belastung"
      HWND grid = Descendant(window.m_hWnd, 26019);
      ASSERT_NE(grid, nullptr);
      for (POINT p : c.clicks) {
        win::AdvanceClock(1000);
        ClickAt(window, p.x, p.y);
      }
      if (c.chooseInList) ClickAt(window, 520, 143);  // "X-Richtung", the list's first item
      editor = Descendant(grid, 8) != nullptr;
      focused = GetFocus() == grid                            ? "the grid"
                : GetFocus() && GetParent(GetFocus()) == grid ? "its editor"
                                                              : "(" + TextOf(GetFocus()) + ")";
      if (!c.editorOpen) {
        window.EndDialog(IDCANCEL);
        return;
      }
      win::input::Key(VK_ESCAPE);
      win::PumpMessages();
      openAfterEscape = window.IsWindowVisible();
      EXPECT_EQ(Descendant(grid, 8), nullptr) << "the editor ended";
      EXPECT_EQ(GetFocus(), grid);
      win::input::Key(VK_ESCAPE);  // now the window's
      win::PumpMessages();
      if (window.IsWindowVisible()) window.EndDialog(IDABORT);
    });
    EXPECT_EQ(Edit(), host::EditResult::kCancelled);
    EXPECT_EQ(editor, c.editorOpen);
    EXPECT_EQ(focused, c.editorOpen ? "its editor" : "the grid");
    EXPECT_EQ(openAfterEscape, c.editorOpen);
    ASSERT_EQ(win::msgbox::Log().size(), c.changed ? 1u : 0u);
    if (c.changed) {
      EXPECT_EQ(win::msgbox::Log()[0].text.rfind("Die Position wurde geändert.", 0), 0u)
          << "asked by the second Escape";
    }
  }
}

// A click from one inclination field into the other gives the other the keys: the page showing what it stored
// must not take the focus the click is giving (the keys after it went nowhere), after a refusal as before one.
TEST_F(EditKeysTest, AClickFromFieldToFieldGivesTheKeysToTheClickedOne) {
  std::vector<std::string> focused;
  win::script::QueueDialog([&](CDialog& window) {
    ClickAt(window, 288, 42);  // "Vorverformung"
    HWND y = Descendant(window.m_hWnd, kUmY), x = Descendant(window.m_hWnd, kUmX);
    ASSERT_TRUE(x && y);
    auto typeInto = [&](POINT at, HWND field, const char* text) {
      win::AdvanceClock(1000);
      ClickAt(window, at.x, at.y);
      focused.push_back(GetFocus() == field ? "the field" : "(" + TextOf(GetFocus()) + ")");
      win::input::KeyWith(VK_CONTROL, 'A');
      win::input::Type(text);
    };
    typeInto({613, 162}, y, "0,5");
    typeInto({613, 131}, x, "0.7");
    win::msgbox::QueueAnswer(IDOK);
    typeInto({613, 162}, y, "abc");
    win::input::Key(VK_RETURN);  // refused: the box, the field keeps 0.500
    typeInto({613, 131}, x, "0.8");
    win::input::Key(VK_TAB);
    window.SendMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(Edit(), host::EditResult::kSaved);
  EXPECT_EQ(focused, std::vector<std::string>(4, "the field"));
  std::ifstream in(file_);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("umx=\"0.8\""), std::string::npos);
  EXPECT_NE(text.str().find("umy=\"0.5\""), std::string::npos);
  EXPECT_EQ(win::msgbox::Log().size(), 1u);
}

}  // namespace
