// The macro editor window behind the script host's edit call: where it puts the caret, what it shows of the
// error, and the text it gives back to the macro dialog and to the repair step of loading.
#include "editor/macroeditor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "document/subdata.h"
#include "editor/macrodlg.h"
#include "platform/tqscript/tqscript.h"
#include "platform/win/screen/headless.h"
#include "tests/editor/editor_test_util.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  SubData& Part() { return static_cast<SubData&>(GetSubData()); }
};

struct CaretCase {
  const char* text;
  int line, column;
  int index;
};

TEST(MacroEditorCaret, LineAndColumnCountFromOneInCharacters) {
  const CaretCase cases[] = {
      {"ab\r\ncdef\r\ng", 2, 3, 6},         // "e"
      {"ab\r\ncdef\r\ng", 1, 1, 0},         // the start
      {"ab\r\ncdef\r\ng", 2, 99, 8},        // past the line's end: its end, before the line break
      {"ab\r\ncdef\r\ng", 7, 1, 11},        // past the last line: the text's end
      {"ab\r\ncdef\r\ng", -1, -1, 0},       // no place: the start
      {"\xc3\xa4\xc3\xb6x\r\ny", 1, 3, 4},  // two umlauts before "x": four bytes
  };
  for (const CaretCase& c : cases)
    EXPECT_EQ(DlgMacroEditor::CaretIndex(c.text, c.line, c.column), c.index) << c.line << ":" << c.column;
}

TEST(MacroEditorCaret, TheErrorLineNamesThePlaceOnce) {
  EXPECT_EQ(DlgMacroEditor::ErrorLine("Fehlende Klammer (Zeile 2, Spalte 9)", 2, 9),
            "Fehlende Klammer (Zeile 2, Spalte 9)");
  EXPECT_EQ(DlgMacroEditor::ErrorLine("Fehlende Klammer", 3, 4), "Fehlende Klammer (Zeile 3, Spalte 4)");
  EXPECT_EQ(DlgMacroEditor::ErrorLine("", 3, 4), "");
}

class MacroEditorTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir_ = editortest::ScratchDir("macroeditor");
    const char* before = std::getenv("ORMI_REGISTRY");
    oldRegistry_ = before ? before : "";
    hadRegistry_ = before != nullptr;
    setenv("ORMI_REGISTRY", (dir_ + "/registry.xml").c_str(), 1);
    InstallMacroEditor();
  }
  void TearDown() override {
    RemoveMacroEditor();
    if (hadRegistry_)
      setenv("ORMI_REGISTRY", oldRegistry_.c_str(), 1);
    else
      unsetenv("ORMI_REGISTRY");
    WindowTest::TearDown();
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }
  std::string dir_, oldRegistry_;
  bool hadRegistry_ = false;
};

TEST_F(MacroEditorTest, CancelGivesTheOldTextBackAndOkTheTypedOne) {
  for (int answer : {IDCANCEL, IDOK}) {
    win::script::QueueDialog([&](CDialog& d) {
      auto& editor = static_cast<DlgMacroEditor&>(d);
      win::input::KeyWith(VK_CONTROL, VK_END);
      win::input::Key(VK_RETURN);  // a new line, not the dialog's OK
      ASSERT_TRUE(editor.IsWindowVisible());
      win::input::Type("' zwei");
      d.SendMessage(WM_COMMAND, answer, 0);
    });
    const std::string back = TQSCRIPT_EditMacro(0, "Sub A()\nEnd Sub", "", -1, -1);
    EXPECT_EQ(back, answer == IDOK ? "Sub A()\nEnd Sub\n' zwei" : "Sub A()\nEnd Sub") << answer;
  }
}

TEST_F(MacroEditorTest, TheWindowShowsTheErrorAndPutsTheCaretOnIt) {
  win::script::QueueDialog([](CDialog& d) {
    auto& editor = static_cast<DlgMacroEditor&>(d);
    CString shown;
    d.GetDlgItemText(IDC_MACRO_EDITOR_ERROR, shown);
    EXPECT_EQ(std::string(shown), "Erwartet: ) (Zeile 2, Spalte 12)");
    int start = 0, end = 0;
    editor.m_edit.GetSel(start, end);
    EXPECT_EQ(start, end);
    EXPECT_EQ(editor.m_edit.LineFromChar(start), 1);
    EXPECT_EQ(start - editor.m_edit.LineIndex(1), 11);
    LOGFONT lf{};
    editor.m_edit.GetFont()->GetLogFont(&lf);
    EXPECT_EQ(win::FontFamilyFor(lf.lfFaceName), "DejaVu Sans Mono") << "the text is set fixed-pitch";
    editortest::SavePicture(d.m_hWnd, "macro-editor");
    d.SendMessage(WM_COMMAND, IDCANCEL, 0);
  });
  TQSCRIPT_EditMacro(0, "Function F(x)\r\n  F = 2 * (x\r\nEnd Function\r\n", "Erwartet: ) (Zeile 2, Spalte 12)", 2, 12);
}

// Loading a document whose own macros do not compile opens them at the error; the repair is the new macro text.
TEST_F(MacroEditorTest, LoadingABrokenDocumentMacroHandsItToTheWindowAndKeepsTheRepair) {
  RegisterDocumentPart();
  Position position;
  SubData& part = position.Part();
  part.macroText = "Function F(x)\r\n  F = 2 * (x\r\nEnd Function\r\n";
  int line = -1;
  win::script::QueueDialog([&](CDialog& d) {
    auto& editor = static_cast<DlgMacroEditor&>(d);
    line = editor.m_line;
    int start = 0, end = 0;
    editor.m_edit.GetSel(start, end);
    EXPECT_EQ(editor.m_edit.LineFromChar(start), line - 1) << "the caret stands on the error's line";
    editor.m_edit.SetWindowText("Function F(x)\r\n  F = 2 * x\r\nEnd Function\r\n");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(part.LoadMacros(false), 0);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(std::string(part.macroText), "Function F(x)\r\n  F = 2 * x\r\nEnd Function\r\n");
  EXPECT_EQ(part.LoadMacros(false), 1) << "the repaired macros load";
  EXPECT_DOUBLE_EQ(TQSCRIPT_Execute(part.GetSession(), "F(4)"), 8.0);
  SetDocumentPartFactory(nullptr);
}

// The macro dialog's "Bearbeiten" buttons: the document's text and a macro file come back edited.
TEST_F(MacroEditorTest, TheMacroDialogsButtonsSaveWhatWasTyped) {
  const std::string file = dir_ + "/user.vbs";
  std::ofstream(file, std::ios::binary) << "Sub B()\nEnd Sub\n";
  DlgVBS dialog;
  // Named as the default names are, with a backslash before the file: loading reads the same file.
  dialog.m_sUserFile = (dir_ + "\\user.vbs").c_str();
  dialog.m_sMacroText = "Sub A()\nEnd Sub";
  auto appendLine = [](const char* typed) {
    return [typed](CDialog& d) {
      win::input::KeyWith(VK_CONTROL, VK_END);
      win::input::Key(VK_RETURN);
      win::input::Type(typed);
      d.SendMessage(WM_COMMAND, IDOK, 0);
    };
  };
  win::script::QueueDialog([](CDialog& d) {
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_EDIT_DOCUMENT, BN_CLICKED), 0);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_EDIT_USER, BN_CLICKED), 0);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  win::script::QueueDialog(appendLine("' Dokument"));
  win::script::QueueDialog(appendLine("' Datei"));
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(std::string(dialog.m_sMacroText), "Sub A()\nEnd Sub\n' Dokument");
  EXPECT_EQ(Read(file), "Sub B()\nEnd Sub\n\n' Datei");
}

}  // namespace
