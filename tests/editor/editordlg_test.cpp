// The editor window: typing formulas and recalculating them, the data exchange with the document part, formatting
// commands, zoom, the context menu and a picture of the window.
#include "editor/editordlg.h"

#include <gtest/gtest.h>

#include "platform/viduv/viduv.h"
#include "platform/win/headless.h"
#include "platform/win/wintest.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  SubData& Part() { return static_cast<SubData&>(GetSubData()); }
};

class EditorTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterDocumentPart();
    position_ = std::make_unique<Position>();
    frame_.CreateEx(0, "Static", "Eingabe", WS_POPUP | WS_VISIBLE, CRect(0, 0, 900, 560), nullptr, 0);
    editor_.document = &position_->Part();
    editor_.position = position_.get();
    ASSERT_TRUE(editor_.Create(SubDlg::IDD, &frame_));
    editor_.SetWindowPos(nullptr, 0, 0, 880, 540, SWP_NOZORDER);
    editor_.ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    editor_.DestroyWindow();
    frame_.DestroyWindow();
    SetDocumentPartFactory(nullptr);
    WindowTest::TearDown();
  }
  std::string Text() { return editor_.text.GetRawText(); }
  void Open(const std::string& rtf) {
    position_->Part().text.SetText(rtf);
    editor_.TransferData(FALSE);
  }
  std::unique_ptr<Position> position_;
  CWnd frame_;
  SubDlg editor_;
};

TEST_F(EditorTest, TypedFormulasAreRecalculatedAndWrittenWithThePosition) {
  Open("");
  SubData& part = position_->Part();
  part.exportValues = {{"Fläche", "A", "m2", 0.0}};
  editor_.text.SetFocus();
  win::input::Type("b = 0,30\nA = b*2 = ?");
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Key(VK_F9);  // formula
  win::input::Key(VK_F5);  // recalculation
  win::PumpMessages();
  // A = 2 b = 2 * 0.30 = 0.6, shown with the one decimal the engineer's "?" leaves to the default of the text.
  const std::string text = Text();
  EXPECT_NE(text.find("A = b*2 = 0,6"), std::string::npos) << text;
  EXPECT_EQ(part.isEmpty, 0);

  const int doc = VIDUV_CreateDoc("root");
  const int input = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "input");
  const int exports = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
  const int skrib = VIDUV_AddChildElement(input, "Skrib");
  part.WriteXML(skrib, exports);
  Position reread;
  reread.Part().ReadXML(skrib);
  EXPECT_NE(reread.Part().text.Text().find("A = b*2 = 0,6"), std::string::npos);
  EXPECT_EQ(reread.Part().isEmpty, 0);
  const int value = VIDUV_FindFirstChild(exports, "value");
  ASSERT_NE(value, 0);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(value, "val"), 0.6);
  VIDUV_CloseDoc(doc);
}

TEST_F(EditorTest, TheEmptyFlagFollowsTheText) {
  // Mend: typing clears the flag at once; emptying the text and transferring sets it again.
  Open("");
  SubData& part = position_->Part();
  EXPECT_EQ(part.isEmpty, 1);
  editor_.text.SetFocus();
  win::input::Type("x");
  EXPECT_EQ(part.isEmpty, 0);
  editor_.TransferData(TRUE);
  EXPECT_EQ(part.isEmpty, 0);
  win::input::Key(VK_BACK);
  editor_.TransferData(TRUE);
  EXPECT_EQ(part.isEmpty, 1);
}

TEST_F(EditorTest, GeneratedTextIsReformattedWithoutTouchingTheClipboard) {
  // Mend: the engineer's clipboard holds what it held before the editor opened a generated text.
  win::SetClipboardText("Notiz des Ingenieurs");
  SubData& part = position_->Part();
  part.recalculationPending = 1;
  Open("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 h = 0,5\\par\r\n\\cf1 x = h*4 = 0,0\\par\r\n}");
  EXPECT_EQ(win::ClipboardText(), "Notiz des Ingenieurs");
  EXPECT_EQ(part.recalculationPending, 0);
  EXPECT_NE(Text().find("x = h*4 = 2,0"), std::string::npos) << Text();  // 4 * 0.5
}

TEST_F(EditorTest, FormattingCommandsAndTheToolbarState) {
  Open("{\\rtf1 eins zwei\\par\r\n}");
  editor_.text.SetSel(0, 4);
  CToolBarCtrl& b1 = editor_.bar1.GetToolBarCtrl();
  b1.CheckButton(11503, TRUE);
  editor_.SendMessage(WM_COMMAND, 11503);
  EXPECT_TRUE(editor_.text.Doc().CharAt(0).bold);
  EXPECT_FALSE(editor_.text.Doc().CharAt(5).bold);
  editor_.text.SetSel(0, 9);  // mixed: the bold state stays as it was
  editor_.UpdateToolbarState();
  EXPECT_TRUE(editor_.bold);
  editor_.text.SetSel(5, 5);
  EXPECT_FALSE(editor_.bold);  // the selection change refreshed it
  EXPECT_FALSE(b1.IsButtonChecked(11503));

  editor_.SendMessage(WM_COMMAND, 11509);
  EXPECT_EQ(editor_.alignment, 2);
  EXPECT_TRUE(editor_.bar2.GetToolBarCtrl().IsButtonChecked(11509));

  // Outdent from 300 twips ends at 0, indent adds 1 cm = 567 twips.
  editor_.text.SetIndent(300, 0);
  editor_.SendMessage(WM_COMMAND, 11534);
  editor_.UpdateToolbarState();
  EXPECT_EQ(editor_.startIndent, 0);
  editor_.SendMessage(WM_COMMAND, 11533);
  editor_.UpdateToolbarState();
  EXPECT_EQ(editor_.startIndent, 567);

  // Heading 2 from the style accelerator, bold with it.
  editor_.SendMessage(WM_COMMAND, 40038);
  EXPECT_EQ(editor_.text.Doc().ParaAt(0).heading, 2);
  EXPECT_EQ(editor_.bar2.style.GetCurSel(), 2);

  // Text heights: index 7 is 14 pt = 280 twips; an index outside 0..12 changes nothing.
  editor_.text.SetSel(0, 4);
  editor_.bar2.height.SetCurSel(7);
  editor_.SendMessage(WM_COMMAND, MAKEWPARAM(11524, CBN_SELCHANGE), LPARAM(editor_.bar2.height.m_hWnd));
  EXPECT_EQ(editor_.text.Doc().CharAt(1).size, 28);
  editor_.bar2.height.SetCurSel(-1);
  editor_.SendMessage(WM_COMMAND, MAKEWPARAM(11524, CBN_SELCHANGE), LPARAM(editor_.bar2.height.m_hWnd));
  EXPECT_EQ(editor_.text.Doc().CharAt(1).size, 28);
}

TEST_F(EditorTest, ZoomFromTheCombo) {
  Open("");
  struct Case {
    const char* typed;
    int expected;
  } cases[] = {{"10", 200}, {"250", 200}, {"11", 11}, {"249 %", 249}, {"abc", 249}};
  editor_.bar2.zoom.SetCurSel(18);  // "200 %"
  editor_.SendMessage(WM_COMMAND, MAKEWPARAM(11546, CBN_SELCHANGE), LPARAM(editor_.bar2.zoom.m_hWnd));
  EXPECT_EQ(editor_.text.GetZoom(), 200);
  for (const Case& c : cases) {
    editor_.ApplyZoomText(c.typed);
    EXPECT_EQ(editor_.text.GetZoom(), c.expected) << c.typed;
  }
  // Page width: the text's width over 650 pixels.
  editor_.bar2.zoom.SetCurSel(0);
  editor_.ApplyZoom();
  CRect r;
  editor_.text.GetClientRect(&r);
  EXPECT_EQ(editor_.text.GetZoom(), r.Width() * 100 / 650);
}

TEST_F(EditorTest, ContextMenuMarksAndDeletes) {
  Open("{\\rtf1 Summe 12\\par\r\n}");
  editor_.text.SetSel(6, 8);
  win::script::QueueMenuCommand(108);
  editor_.ShowContextMenu(CPoint(100, 100));
  EXPECT_EQ(Text(), "Summe /*S+*/12/*S-*/\r\r");
  win::script::QueueMenuItem("Einfügen \\Seitenumbruch");
  editor_.ShowContextMenu(CPoint(100, 100));
  EXPECT_NE(Text().find("[Seitenumbruch]"), std::string::npos);
  win::msgbox::QueueAnswer(IDNO);
  win::script::QueueMenuCommand(105);
  editor_.ShowContextMenu(CPoint(100, 100));
  EXPECT_GT(editor_.text.GetTextLength(), 0);
  win::msgbox::QueueAnswer(IDYES);
  win::script::QueueMenuCommand(105);
  editor_.ShowContextMenu(CPoint(100, 100));
  EXPECT_EQ(editor_.text.GetTextLength(), 0);
}

TEST_F(EditorTest, LoadTransfersOfTheTextBecomeImportEntries) {
  // Three parts and "LT" (any case) make an entry; four parts do not.
  const int before = position_->varDefs.GetSize();
  Open("{\\rtf1 $C_lt(\"Pos 1\\\\Lasten\\\\N\",\"N\") $C_LT(\"a\",\"b\",\"c\")\\par\r\n}");
  // The text is loaded twice by the transfer (load and recalculation) and once more per refresh; each refresh
  // adds the entries its commands name.
  ASSERT_GT(position_->varDefs.GetSize(), before);
  const int added = position_->varDefs.GetSize() - before;
  editor_.Refresh(-1);
  EXPECT_EQ(position_->varDefs.GetSize() - before, added + 1);
}

TEST_F(EditorTest, Picture) {
  Open("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red7\\green13\\blue255;}\\pard\\s1\\fs28\\b Querschnitt\\par\r\n"
       "\\pard\\fs20\\b0 Rechteckquerschnitt aus Stahlbeton, die Bewehrung symmetrisch an zwei Seiten.\\par\r\n"
       "\\cf1 b = 0,30\\cf0  [m]\\par\r\n\\cf1 h = 0,60\\cf0  [m]\\par\r\n\\cf1 A = b*h = ?\\cf0  [m\\'b2]\\par\r\n"
       "\\trowd\\trgaph28\\cellx2000\\cellx3500\\pard\\intbl Gk\\cell 120 kN\\cell\\row\r\n\\pard\\par\r\n}");
  editor_.Refresh(-1);
  const std::string png = ::testing::TempDir() + "editor.png";
  ASSERT_TRUE(win::SaveWindowPng(editor_.m_hWnd, png));
  EXPECT_NE(Text().find("A = b*h = 0,18"), std::string::npos) << Text();  // 0.30 * 0.60
}

}  // namespace
