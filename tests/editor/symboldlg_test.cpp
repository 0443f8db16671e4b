// The symbol dialog against a text with a format per character, standing in for the editor's text control.
#include "editor/symboldlg.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/regsettings.h"
#include "tests/editor/editor_test_util.h"

namespace {

// Characters with face and height each; the caret format is that of the character before the caret.
class FormattedText : public SkribTextTarget {
 public:
  struct Char {
    char c;
    std::string face;
    int height;
  };
  std::vector<Char> chars;
  long start = 0, end = 0;

  void GetCharFormat(std::string& face, int& height) override {
    const Char& at = start > 0 ? chars[std::size_t(start - 1)] : chars.front();
    face = at.face;
    height = at.height;
  }
  void GetSel(long& s, long& e) override { s = start, e = end; }
  void SetSel(long s, long e) override { start = s, end = e; }
  void InsertText(const std::string& text) override {
    std::string face;
    int height = 0;
    GetCharFormat(face, height);
    chars.erase(chars.begin() + start, chars.begin() + end);
    for (std::size_t i = 0; i < text.size(); ++i)
      chars.insert(chars.begin() + start + long(i), {text[i], face, height});
    start = end = start + long(text.size());
  }
  void SetFaceName(const std::string& face) override {
    for (long i = start; i < end; ++i) chars[std::size_t(i)].face = face;
    if (start == end) pendingFace = face;
  }
  void SetHeight(int twips) override {
    for (long i = start; i < end; ++i) chars[std::size_t(i)].height = twips;
    if (start == end) pendingHeight = twips;
  }
  std::string pendingFace;
  int pendingHeight = 0;
};

class SymbolDialogTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    const char* before = std::getenv("ORMI_REGISTRY");
    old = before ? before : "";
    had = before != nullptr;
    setenv("ORMI_REGISTRY", (editortest::ScratchDir("symbols") + "/registry.xml").c_str(), 1);
  }
  void TearDown() override {
    if (had)
      setenv("ORMI_REGISTRY", old.c_str(), 1);
    else
      unsetenv("ORMI_REGISTRY");
    WindowTest::TearDown();
  }
  std::string old;
  bool had = false;
};

TEST(SymbolButtons, CaptionsRunThroughLettersAndTheUpperCodes) {
  const std::pair<int, int> cases[] = {{11570, 'a'}, {11595, 'z'}, {11596, 'A'}, {11621, 'Z'}, {11622, 161},
                                       {11713, 252}, {11714, '^'}, {11569, 0},   {11715, 0}};
  for (auto [id, expected] : cases) EXPECT_EQ(static_cast<unsigned char>(SymbolOfButton(id)), expected) << id;
}

TEST_F(SymbolDialogTest, AClickPutsTheSymbolLargerAndTypingGoesOnInArial) {
  FormattedText text;
  for (char c : std::string("sigma = ")) text.chars.push_back({c, "Arial", 200});
  text.start = text.end = 8;
  int shown = 1;
  CWnd editor;
  ASSERT_TRUE(editor.CreateEx(0, nullptr, "Editor", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr));
  GetRegSettings().WriteInt("Skrib", "symbolH", 4);
  {
    DlgSymbol dlg;
    dlg.m_pText = &text;
    dlg.m_pShownFlag = &shown;
    ASSERT_TRUE(dlg.Create(IDD_SKRIB_SYMBOLS, &editor));
    dlg.ShowWindow(SW_SHOW);
    win::PumpMessages();
    CRect place;
    dlg.GetWindowRect(&place);
    EXPECT_EQ(place.left, 300) << "no stored position: x 300";
    EXPECT_EQ(place.top, 200);
    EXPECT_EQ(dlg.GetDlgItemInt(IDC_SYMBOL_SIZE), 4u);
    editortest::SavePicture(dlg.m_hWnd, "symbol-dialog");
    // 's' in the Symbol font is sigma: inserted at 8 with 200 + 4 x 20 = 280 twips.
    win::input::ClickCenter(dlg.GetDlgItem(11570 + ('s' - 'a'))->m_hWnd);
    ASSERT_EQ(text.chars.size(), 9u);
    EXPECT_EQ(text.chars[8].c, 's');
    EXPECT_EQ(text.chars[8].face, "Symbol");
    EXPECT_EQ(text.chars[8].height, 280);
    EXPECT_EQ(text.start, 9);
    EXPECT_EQ(text.pendingFace, "Arial");
    EXPECT_EQ(text.pendingHeight, 200);
    EXPECT_EQ(text.chars[7].face, "Arial") << "the text before stays";
    dlg.SetWindowPos(nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.SetDlgItemText(IDC_SYMBOL_SIZE, "6");
    dlg.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(dlg.IsWindowVisible()) << "closing hides";
    dlg.DestroyWindow();
  }
  int value = 0;
  GetRegSettings().ReadInt("Skrib", "symbolDlgPosX", &value, -1);
  EXPECT_EQ(value, 120);
  GetRegSettings().ReadInt("Skrib", "symbolDlgPosY", &value, -1);
  EXPECT_EQ(value, 80);
  GetRegSettings().ReadInt("Skrib", "symbolH", &value, -1);
  EXPECT_EQ(value, 6);
  editor.DestroyWindow();
}

}  // namespace
