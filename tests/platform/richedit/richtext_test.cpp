#include "platform/richedit/richtext.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;

class RichTextTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir_ = fs::path(testing::TempDir()) / ("richtext_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    WindowTest::TearDown();
  }
  fs::path dir_;
};

TEST_F(RichTextTest, ShowFileShowsTheReportAsFormattedTextFromItsStart) {
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\b Eingabedaten Stahlbetonst\\'fctze\\b0\\par\r\n"
      "Feld\\tab L\\'e4nge\\par}";
  fs::path file = dir_ / "Pos 1.rtf";
  std::ofstream(file, std::ios::binary) << rtf;
  CRichText control;
  control.SetProperty5(12);
  control.SetProperty8(34);
  std::string windowsPath = file.string();
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  EXPECT_TRUE(control.ShowFile(windowsPath.c_str()));
  // The text, not the source: words with their formats, paragraphs as line ends.
  EXPECT_EQ(control.GetText().str(), "Eingabedaten Stahlbetonst\xfctze\r\nFeld\tL\xe4nge\r\n");
  EXPECT_TRUE(control.Doc().CharAt(0).bold);
  EXPECT_FALSE(control.Doc().CharAt(int(control.GetText().str().find("Feld"))).bold);
  EXPECT_EQ(control.GetFileType(), long(CRichText::rtfFile));
  EXPECT_EQ(control.GetProperty5(), 0);
  EXPECT_EQ(control.GetProperty8(), 0);
}

TEST_F(RichTextTest, AFileThatIsNoRtfIsRefusedAndLeavesTheText) {
  fs::path file = dir_ / "kaputt.rtf";
  std::ofstream(file, std::ios::binary) << "Stahlbeton ohne Kopf";
  CRichText control;
  control.ShowText("vorher");
  EXPECT_FALSE(control.ShowFile(file.c_str()));
  EXPECT_EQ(control.GetText(), "vorher");
  EXPECT_EQ(control.GetFileType(), long(CRichText::textFile));
}

TEST_F(RichTextTest, AFileThatCannotBeReadLeavesTheText) {
  CRichText control;
  control.ShowText("vorher");
  EXPECT_FALSE(control.LoadFile((dir_ / "missing.rtf").c_str(), CRichText::rtfFile));
  EXPECT_FALSE(control.LoadFile(nullptr, CRichText::rtfFile));
  EXPECT_FALSE(control.ShowFile((dir_ / "missing.rtf").c_str()));
  EXPECT_EQ(control.GetText(), "vorher");
  EXPECT_EQ(control.GetFileType(), long(CRichText::textFile));
}

TEST_F(RichTextTest, ShowTextReplacesAFileShownBeforeWithoutItsFormats) {
  fs::path file = dir_ / "a.rtf";
  std::ofstream(file) << "{\\rtf1\\b\\fs40 a\\par}";
  CRichText control;
  ASSERT_TRUE(control.LoadFile(file.c_str(), CRichText::rtfFile));
  ASSERT_TRUE(control.Doc().CharAt(0).bold);
  control.ShowText("\n\nKeine Ergebnisse");
  EXPECT_EQ(control.GetText(), "\r\n\r\nKeine Ergebnisse");
  EXPECT_EQ(control.GetFileType(), long(CRichText::textFile));
  EXPECT_FALSE(control.Doc().CharAt(2).bold);
  EXPECT_EQ(control.Doc().CharAt(2).size, richdoc::CharFormat().size);
  EXPECT_FALSE(control.CanUndo()) << "the report could be undone back into the box";
}

// The box is a viewer: what the user types, cuts, pastes or deletes changes nothing; the editable control the
// editor uses takes the same keys.
TEST_F(RichTextTest, TheBoxTakesNoEditingTheEditorControlDoes) {
  CWnd parent;
  parent.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
  CRichText box;
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 400, 280), &parent, 10002));
  CRichEditCtrl editor;
  ASSERT_TRUE(editor.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent, 4677));
  ASSERT_TRUE(editor.StreamInRtf("{\\rtf1 Bericht\\par}", false));
  box.ShowText("Bericht");
  ASSERT_TRUE(::OpenClipboard(parent.m_hWnd));
  ::EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(h), "neu", 4);
  GlobalUnlock(h);
  ::SetClipboardData(CF_TEXT, h);
  ::CloseClipboard();
  for (CRichEditCtrl* control : {static_cast<CRichEditCtrl*>(&box), &editor}) {
    control->SetSel(0, 3);
    control->SendMessage(WM_CHAR, 'x', 0);
    control->SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    control->SendMessage(WM_KEYDOWN, VK_BACK, 0);
    control->SendMessage(WM_PASTE, 0, 0);
    control->SetSel(0, 2);
    control->SendMessage(WM_CUT, 0, 0);
    control->SendMessage(EM_UNDO, 0, 0);
  }
  EXPECT_EQ(box.GetText(), "Bericht");
  EXPECT_NE(editor.GetPlainText(), "Bericht");
  // Copying out of the box still works.
  box.SetSel(0, 3);
  box.SendMessage(WM_COPY, 0, 0);
  ASSERT_TRUE(::OpenClipboard(parent.m_hWnd));
  const char* copied = static_cast<const char*>(GlobalLock(::GetClipboardData(CF_TEXT)));
  EXPECT_STREQ(copied, "Ber");
  GlobalUnlock(::GetClipboardData(CF_TEXT));
  ::CloseClipboard();
  box.DestroyWindow();
  editor.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace
