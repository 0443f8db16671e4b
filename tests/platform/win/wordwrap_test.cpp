// Multi-line edits without horizontal scrolling wrap their lines at blanks to the control's width.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

class WordWrapTest : public win::test::WindowTest {
 protected:
  HWND Edit(DWORD extraStyle, int width) {
    HWND e = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | extraStyle, 0, 0, width, 120,
                            host.m_hWnd, nullptr, nullptr, nullptr);
    SendMessage(e, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return e;
  }
  int Width(HWND e, const std::string& text) {
    HDC dc = GetDC(e);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE sz{};
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(e, dc);
    return sz.cx;
  }
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
  }
  CWnd host;
};

TEST_F(WordWrapTest, LinesBreakAfterTheLastBlankThatFits) {
  const std::string text = "Die Stütze trägt die Last aus dem Dach und den Decken";
  HWND e = Edit(0, 120);
  SetWindowText(e, text.c_str());
  int lines = int(SendMessage(e, EM_GETLINECOUNT, 0, 0));
  ASSERT_GT(lines, 1);
  int usable = 120 - 4;  // the margins, 2 pixels each side
  for (int i = 0; i + 1 < lines; ++i) {
    int start = int(SendMessage(e, EM_LINEINDEX, WPARAM(i), 0));
    int next = int(SendMessage(e, EM_LINEINDEX, WPARAM(i + 1), 0));
    std::string line = text.substr(std::size_t(start), std::size_t(next - start));
    EXPECT_EQ(text[std::size_t(next - 1)], ' ') << "line " << i << " ends after a blank: " << line;
    std::string trimmed = line.substr(0, line.find_last_not_of(' ') + 1);
    EXPECT_LE(Width(e, trimmed), usable) << line;
    // The next word would not have fitted on this line.
    std::size_t wordEnd = text.find(' ', std::size_t(next));
    std::string longer =
        text.substr(std::size_t(start), (wordEnd == std::string::npos ? text.size() : wordEnd) - start);
    EXPECT_GT(Width(e, longer), usable) << longer;
  }
  // A control that scrolls sideways keeps one line; a word wider than the control is cut at a character.
  HWND scrolling = Edit(ES_AUTOHSCROLL, 120);
  SetWindowText(scrolling, text.c_str());
  EXPECT_EQ(SendMessage(scrolling, EM_GETLINECOUNT, 0, 0), 1);
  HWND narrow = Edit(0, 30);
  SetWindowText(narrow, "Bewehrungsquerschnitt");
  EXPECT_GT(SendMessage(narrow, EM_GETLINECOUNT, 0, 0), 1);
}

}  // namespace
