// The editor window: typing formulas and recalculating them, the data exchange with the document part, formatting
// commands, zoom, the context menu and a picture of the window.
#include "editor/editordlg.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "controls/PopupMenuBuilder.h"
#include "editor/formuladlg.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/base/paths.h"

#include <filesystem>
#include <fstream>
#include <tuple>
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/editor/editor_test_util.h"
#include "tests/support/clipboard_screen.h"

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

// F5 while the engineer is in the middle of an edit that leaves the exported A failing (A = 1/0) or defined nowhere
// (its line renamed) keeps A's export: the formula overview still shows it marked for export, and the position
// written then exports it as failed, with why. Mended to A = 3*0,2 = 0.6, the next F5 and write export the number.
TEST_F(EditorTest, F5KeepsTheExportOfADefinitionThatFailsForNow) {
  SubData& part = position_->Part();
  part.exportValues = {{"Fläche", "A", "m2", 0.0}};
  struct Step {
    const char* formula;
    const char* reason;  // of the failed export, or empty
  };
  const Step steps[] = {
      {"A = 1/0", "A = 1/0: Division durch Null."}, {"F = 3*0,2", "'A' nicht definiert"}, {"A = 3*0,2", ""}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.formula);
    Open(std::string("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 ") + step.formula + "\\par\r\n}");
    editor_.text.SetFocus();
    win::input::Key(VK_F5);
    win::PumpMessages();
    ASSERT_EQ(part.exportValues.size(), 1u);
    EXPECT_EQ(part.exportValues[0].varName, "A");

    // the overview lists the text's units: A's row carries the export where the text defines A
    const bool defined = step.formula[0] == 'A';
    win::script::QueueDialog([&](CDialog& d) {
      FormulaGrid& g = static_cast<DlgFormula&>(d).m_grid;
      ASSERT_EQ(g.GetRowCount(), 2);
      if (!defined) {
        EXPECT_EQ(g.GetCellCheck(1, FormulaGrid::kExport), 0);
        d.SendMessage(WM_COMMAND, IDCANCEL, 0);
        return;
      }
      EXPECT_EQ(std::string(g.GetCellText(1, FormulaGrid::kVariable)), "A");
      EXPECT_EQ(g.GetCellCheck(1, FormulaGrid::kExport), 1);
      EXPECT_EQ(std::string(g.GetCellText(1, FormulaGrid::kDesc)), "Fläche");
      EXPECT_EQ(std::string(g.GetCellText(1, FormulaGrid::kUnit)), "m2");
      d.SendMessage(WM_COMMAND, IDCANCEL, 0);
    });
    editor_.SendMessage(WM_COMMAND, 11545);
    ASSERT_EQ(part.exportValues.size(), 1u);

    const int doc = VIDUV_CreateDoc("root");
    const int input = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "input");
    const int exports = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
    part.WriteXML(VIDUV_AddChildElement(input, "Skrib"), exports);
    const int exported = VIDUV_FindFirstChildWithAttr(exports, "desc", "Fläche");
    EXPECT_NE(exported, 0);
    if (exported && *step.reason) {
      EXPECT_STREQ(VIDUV_GetElementName(exported), "failedValue");
      EXPECT_STREQ(VIDUV_GetString(exported, "reason"), step.reason);
    } else if (exported) {
      EXPECT_STREQ(VIDUV_GetElementName(exported), "value");
      EXPECT_NEAR(VIDUV_GetDouble(exported, "val"), 0.6, 1e-12);
    }
    VIDUV_CloseDoc(doc);
  }
}

TEST_F(EditorTest, AnErrorIsUnderlinedThroughTheControlAndGoesWhenMended) {
  // y = w/2 with w unknown is an error; after "w = 4" is written before it, y = 4/2 = 2,0 and nothing is wavy.
  Open("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 y = w/2 = 0,0\\par\r\n}");
  auto wavy = [&] {
    int n = 0;
    for (int i = 0; i < editor_.text.Doc().Length(); ++i) n += editor_.text.Doc().CharAt(i).underline == 2;
    return n;
  };
  EXPECT_GT(wavy(), 0);
  editor_.text.SetSel(0, 0);
  editor_.text.InsertText("w = 4\n");
  editor_.text.SetSel(0, 5);
  editor_.text.MarkFormula(true);
  editor_.SendMessage(WM_COMMAND, 11544);
  EXPECT_EQ(Text().substr(0, 20), "w = 4\ry = w/2 = 2,0\r");
  EXPECT_EQ(wavy(), 0);
}

// The keys and the mouse reach the text through the editor's accelerators: a click on the first line, Down twice and
// a typed letter land in the third line at the column clicked; a drag over two lines selects them, Page Down pages.
TEST_F(EditorTest, TheKeysAndTheMouseMoveAndSelectInTheText) {
  std::string rtf = "{\\rtf1 Zeile 1 Wand\\par Zeile 2 Wand\\par Zeile 3 Wand\\par ";
  for (int i = 4; i <= 120; ++i) rtf += "Zeile " + std::to_string(i) + "\\par ";
  Open(rtf + "}");
  HWND text = editor_.text.m_hWnd;
  auto at = [&](long pos) {
    POINT p{};
    ::SendMessage(text, EM_POSFROMCHAR, WPARAM(&p), LPARAM(pos));
    return CPoint(p.x + 1, p.y + 6);
  };
  const long column = long(Text().find("and"));
  win::input::Click(text, at(column).x, at(column).y);
  win::input::Key(VK_DOWN);
  win::input::Key(VK_DOWN);
  win::input::Type("X");
  EXPECT_EQ(Text().substr(0, 40), "Zeile 1 Wand\rZeile 2 Wand\rZeile 3 WXand\r");

  win::AdvanceClock(1000);
  win::input::Drag(text, at(0).x, at(0).y, at(long(Text().find("Zeile 3"))).x, at(long(Text().find("Zeile 3"))).y);
  EXPECT_EQ(std::string(editor_.text.GetSelText()), "Zeile 1 Wand\r\nZeile 2 Wand\r\n");

  win::input::KeyWith(VK_CONTROL, VK_HOME);
  win::input::Key(VK_NEXT);
  EXPECT_GT(editor_.text.GetScrollY(), 200);
  long start = 0, end = 0;
  editor_.text.GetSel(start, end);
  EXPECT_GT(start, long(Text().find("Zeile 10\r")));
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

  // Line spacing 1.5 from its menu reads back as state 1; numbering (a, b, c) is kind 3 with a 567 twip hang.
  win::script::QueueMenuCommand(2);
  editor_.SendMessage(WM_COMMAND, 11530);
  editor_.UpdateToolbarState();
  EXPECT_EQ(editor_.lineSpacing, 1);
  win::script::QueueMenuCommand(3);
  editor_.SendMessage(WM_COMMAND, 11531);
  EXPECT_EQ(editor_.numbering, 3);
  EXPECT_EQ(editor_.text.Doc().ParaAt(0).left, 567);
  EXPECT_EQ(editor_.text.Doc().ParaAt(0).first, -567);
  editor_.SendMessage(WM_COMMAND, 11532);  // bullets replace it
  EXPECT_EQ(editor_.numbering, 1);
  editor_.SendMessage(WM_COMMAND, 11532);  // and go again
  EXPECT_EQ(editor_.numbering, 0);

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

// The source position of taken-over values: its exports hold the folder "Lasten" with the values given.
void WriteSource(const std::string& file, const std::vector<std::tuple<const char*, const char*, double>>& values) {
  const int doc = VIDUV_CreateDoc(file.c_str());
  const int top = VIDUV_GetRootElement(doc);
  VIDUV_SetString(top, "progname", "KOLUMO");
  const int folder = VIDUV_AddChildElement(VIDUV_AddChildElement(top, "exports"), "folder");
  VIDUV_SetString(folder, "desc", "Lasten");
  for (const auto& [desc, unit, val] : values) {
    const int value = VIDUV_AddChildElement(folder, "value");
    VIDUV_SetString(value, "desc", desc);
    VIDUV_SetString(value, "unit", unit);
    VIDUV_SetDouble(value, "val", val);
  }
  ASSERT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);
}

// The load-transfer protocol inserted with its commands: every recalculation (F5, the one of the data exchange)
// refreshes the entries its commands name instead of adding new ones, so two taken-over values stay two entries with
// their values, units and descriptions (the strain's holds a Greek letter, which the text holds in the Symbol font),
// and the protocol shows their numbers. A source read anew gives its new value; a source that is gone leaves what
// was read last. A command of a value not yet taken over adds it once when its source gives it and nothing when it
// gives none; a line of four parts adds nothing.
TEST_F(EditorTest, RecalculationRefreshesTheEntriesOfTheLoadTransferCommands) {
  const std::string dir = editortest::ScratchDir("loadtransfer");
  const std::string source = dir + "/Quelle.tqx";
  const std::vector<std::tuple<const char*, const char*, double>> values = {
      {"Flächenlast", "kN/m2", 12.5}, {"Dehnung ε", "‰", 2.0}, {"Wind", "kN/m2", 0.8}};
  WriteSource(source, values);
  CVarDefList& defs = position_->varDefs;
  defs.positionFile = (dir + "/Stuetze.tqx").c_str();
  auto heading = std::make_unique<CVarDefUeberschrift>();
  heading->title = "Lastübernahmen";
  defs.Add(std::move(heading));
  // As the value-import dialog took them over.
  for (const auto& [desc, unit, value] : values) {
    if (std::string(desc) == "Wind") continue;
    auto entry = std::make_unique<CVarDefWertUebernahme>();
    CImportRecord& record = entry->GetImport();
    record.varPath = CString("Quelle\\Lasten\\") + desc;
    record.desc = desc;
    record.varName = record.desc == "Flächenlast" ? "Quelle_q" : "Quelle_eps";
    record.unit = unit;
    record.value = value;
    defs.Add(std::move(entry));
  }
  struct Taken {
    const char* name;
    const char* desc;
    const char* unit;
    double value;
  };
  auto expectEntries = [&](const std::vector<Taken>& wanted, const char* when) {
    std::vector<const CImportRecord*> records;
    for (int i = 0; i < defs.GetSize(); ++i)
      if (auto* entry = defs.GetAs<CVarDefWertUebernahme>(i)) records.push_back(&entry->GetImport());
    ASSERT_EQ(records.size(), wanted.size()) << when;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      EXPECT_EQ(records[i]->varName, wanted[i].name) << when;
      EXPECT_EQ(records[i]->desc, wanted[i].desc) << when;
      EXPECT_EQ(records[i]->unit, wanted[i].unit) << when;
      EXPECT_DOUBLE_EQ(records[i]->value, wanted[i].value) << when;
    }
  };
  GetRegSettings().WriteInt("Skrib", "ltCmd", 1);
  Open("{\\rtf1 Lasten\\par}");
  editor_.text.SetSel(0, 0);
  editor_.LoadTransferProtocol();
  GetRegSettings().WriteInt("Skrib", "ltCmd", 0);
  const std::vector<Taken> two = {{"Quelle_q", "Flächenlast", "kN/m2", 12.5}, {"Quelle_eps", "Dehnung ε", "‰", 2.0}};
  for (int i = 0; i < 4; ++i) {
    editor_.SendMessage(WM_COMMAND, 11544);
    expectEntries(two, "after F5");
  }
  editor_.TransferData(TRUE);
  editor_.TransferData(FALSE);
  expectEntries(two, "after the data exchange");
  auto shown = [&] { return editor_.text.Doc().ShownText(0, editor_.text.GetTextLength()); };
  EXPECT_NE(shown().find("Quelle_q\t==\t12.50\t[kN/m2]"), std::string::npos) << shown();
  EXPECT_NE(shown().find("Quelle_eps\t==\t2.00\t[‰]"), std::string::npos) << shown();

  WriteSource(source, {{"Flächenlast", "kN/m2", 15.0}, {"Dehnung ε", "‰", 2.0}});
  editor_.SendMessage(WM_COMMAND, 11544);
  expectEntries({{"Quelle_q", "Flächenlast", "kN/m2", 15.0}, two[1]}, "after the source changed");
  std::filesystem::remove(source);
  editor_.SendMessage(WM_COMMAND, 11544);
  expectEntries({{"Quelle_q", "Flächenlast", "kN/m2", 15.0}, two[1]}, "after the source is gone");

  WriteSource(source, values);
  editor_.text.SetSel(-1, -1);
  editor_.text.InsertText(
      "$C_LT(\"Quelle\\Lasten\\Wind\",\"Quelle_w\") $C_LT(\"Fehlt\\Lasten\\x\",\"x\") "
      "$C_LT(\"Quelle\\Lasten\\Wind\",\"a\",\"b\")");
  for (int i = 0; i < 2; ++i) editor_.SendMessage(WM_COMMAND, 11544);
  expectEntries({two[0], two[1], {"Quelle_w", "Wind", "kN/m2", 0.8}}, "after a command was typed");
}

TEST_F(EditorTest, ContextMenuOffersTheVariablesOneLevelDeeperAtTheirSlash) {
  Open("{\\rtf1 Text\\par\r\n}");
  position_->variables.SetVariable("fck", "Beton/Druckfestigkeit", "N/mm2", 30.0);
  CPopupMenuBuilder menu;
  CStringArray names;
  editor_.BuildContextMenu(menu, names);
  const CPopupMenuItem* values = nullptr;
  for (const auto& item : menu.Items())
    if (item->text == "Wertübernahme") values = item.get();
  ASSERT_NE(values, nullptr);
  const CPopupMenuItem* beton = nullptr;
  for (const auto& item : values->children)
    if (item->text.Find("Beton") == 0) beton = item.get();
  ASSERT_NE(beton, nullptr);
  ASSERT_FALSE(beton->children.empty());
  EXPECT_EQ(beton->children[0]->text.Find("Druckfestigkeit"), 0);
  const std::string png = ::testing::TempDir() + "editor_menu.png";
  ASSERT_TRUE(win::SavePng(win::RenderMenu(menu.BuildMenu(), editor_.m_hWnd), png));
  // Choosing it writes the name at the caret.
  editor_.text.SetSel(0, 0);
  win::script::QueueMenuCommand(UINT(410 + names.GetSize() - 1));
  editor_.ShowContextMenu(CPoint(10, 10));
  EXPECT_EQ(Text().substr(0, 3), "fck");
}

TEST_F(EditorTest, TooltipsComeFromTheStringsOfTheCommands) {
  Open("");
  struct Case {
    UINT id;
    const char* text;
  } cases[] = {{11503, "[Strg-F] Markierung Fett"},
               {11544, "[F5] Dokument berechnen"},
               {40003, "Öffnet den Dialog 'Visual Basic Scripting'"},
               {40044, "Dokument berechnen und Ergebnisdokument öffnen"},
               {12345, ""}};
  for (const Case& c : cases) {
    NMTTDISPINFO info{};
    info.hdr.idFrom = c.id;
    info.hdr.code = TTN_NEEDTEXT;
    editor_.SendMessage(WM_NOTIFY, c.id, LPARAM(&info));
    EXPECT_EQ(std::string(info.szText).substr(0, std::string(c.text).size()), c.text) << c.id;
    EXPECT_LT(std::string(info.szText).size(), 80u);
  }
}

TEST_F(EditorTest, Picture) {
  Open(
      "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red7\\green13\\blue255;}\\pard\\s1\\fs28\\b "
      "Querschnitt\\par\r\n"
      "\\pard\\fs20\\b0 Rechteckquerschnitt aus Stahlbeton, die Bewehrung symmetrisch an zwei Seiten.\\par\r\n"
      "\\cf1 b = 0,30\\cf0  [m]\\par\r\n\\cf1 h = 0,60\\cf0  [m]\\par\r\n\\cf1 A = b*h = ?\\cf0  [m\\'b2]\\par\r\n"
      "\\trowd\\trgaph28\\cellx2000\\cellx3500\\pard\\intbl Gk\\cell 120 kN\\cell\\row\r\n\\pard\\par\r\n}");
  editor_.Refresh(-1);
  const std::string png = ::testing::TempDir() + "editor.png";
  ASSERT_TRUE(win::SaveWindowPng(editor_.m_hWnd, png));
  EXPECT_NE(Text().find("A = b*h = 0,18"), std::string::npos) << Text();  // 0.30 * 0.60
}

// The toolbar's and the context menu's copy and paste carry RTF to and from another program: a bold word copied
// offers RTF with \b beside the text, and a word processor's bold and italic line pasted is saved with both.
TEST_F(EditorTest, CopyAndPasteCarryRtfWithAnotherProgram) {
  Open("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 Die \\b Decke\\b0  tr\\'e4gt.\\par\r\n}");
  test::ClipboardScreen screen;
  struct Case {
    UINT copy, paste;  // commands: toolbar, or the context menu's items
  } cases[] = {{11535, 11536}, {100, 101}};
  for (const Case& c : cases) {
    editor_.text.SetSel(0, 10);  // "Die Decke "
    if (c.copy == 11535) {
      editor_.SendMessage(WM_COMMAND, c.copy);
    } else {
      win::script::QueueMenuCommand(c.copy);
      editor_.ShowContextMenu(CPoint(50, 100));
    }
    ASSERT_TRUE(screen.offered.has_value()) << c.copy;
    EXPECT_EQ(screen.offered->text, "Die Decke ");
    EXPECT_NE(screen.offered->rtf.find("\\b Decke"), std::string::npos) << screen.offered->rtf;

    screen.Copies("Fettes Wort kursiv",
                  "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman\\fcharset0 Liberation Serif;}}\\f0\\fs24 "
                  "{\\b Fettes Wort} {\\i kursiv}\\par}");
    editor_.text.SetSel(-1, -1);
    if (c.paste == 11536) {
      editor_.SendMessage(WM_COMMAND, c.paste);
    } else {
      win::script::QueueMenuCommand(c.paste);
      editor_.ShowContextMenu(CPoint(50, 100));
    }
    editor_.TransferData(TRUE);
    richdoc::Document saved;
    ASSERT_TRUE(CRichEditCtrl::ReadRtf(position_->Part().text.Text(), saved));
    const std::size_t bold = saved.text.rfind("Fettes"), italic = saved.text.rfind("kursiv");
    ASSERT_NE(bold, std::string::npos) << saved.text;
    ASSERT_NE(italic, std::string::npos) << saved.text;
    EXPECT_TRUE(saved.CharAt(int(bold)).bold);
    EXPECT_FALSE(saved.CharAt(int(bold)).italic);
    EXPECT_TRUE(saved.CharAt(int(italic)).italic);
    EXPECT_FALSE(saved.CharAt(int(italic)).bold);
    EXPECT_EQ(saved.CharAt(int(bold)).size, 24);
    EXPECT_EQ(saved.fonts[std::size_t(saved.CharAt(int(bold)).font)].name, "Liberation Serif");
    EXPECT_FALSE(saved.CharAt(int(saved.text.find("Die"))).bold);
  }
}

}  // namespace

namespace {

class EditorCommandsTest : public EditorTest {
 protected:
  void AddImport(const char* path, const char* name, const char* unit) {
    auto entry = std::make_unique<CVarDefWertUebernahme>();
    entry->GetImport().varPath = path;
    entry->GetImport().varName = name;
    entry->GetImport().unit = unit;
    position_->varDefs.Add(std::move(entry));
  }
};

TEST_F(EditorCommandsTest, TheLoadTransferProtocolIsATableOfTheTakenOverValues) {
  Open("{\\rtf1 vor\\par\r\n}");
  win::msgbox::QueueAnswer(IDOK);
  win::script::QueueMenuItem("Einfügen \\Übernahmeprotokoll");
  editor_.ShowContextMenu(CPoint(50, 50));
  ASSERT_EQ(win::msgbox::Log().size(), 1u);  // nothing to show yet
  AddImport("Pos 1\\Lasten\\N", "N", "kN");
  AddImport("Pos 2\\Lasten\\M", "M", "kNm");
  struct Case {
    int hide, command;
    const char* firstCell;  // as the text shows it
    bool commandHidden;
  } cases[] = {
      {0, 0, "Pos 1 - Lasten - N", false},
      {0, 1, "Pos 1 - Lasten - N$C_LT(\"Pos 1\\Lasten\\N\",\"N\")", true},
      // The comment's opening stays a paragraph of its own before the table, out of its first cell.
      {1, 1, "/*\rPos 1 - Lasten - N$C_LT(\"Pos 1\\Lasten\\N\",\"N\")", false},
  };
  for (const Case& c : cases) {
    Open("{\\rtf1 vor\\par\r\n}");
    GetRegSettings().WriteInt("Skrib", "ltHide", c.hide);
    GetRegSettings().WriteInt("Skrib", "ltCmd", c.command);
    editor_.text.SetSel(0, 0);
    editor_.LoadTransferProtocol();
    const std::string t = Text();
    EXPECT_EQ(t.substr(0, std::string(c.firstCell).size()), c.firstCell) << c.hide << c.command;
    // Two rows of five cells: N and M in the formula colour, their units, and the protocol closed by "*/".
    EXPECT_NE(t.find("\x07N\x07==\x07#.##\x07[kN]\x07\x0e"), std::string::npos);
    EXPECT_NE(t.find("\x07M\x07==\x07#.##\x07[kNm]\x07\x0e"), std::string::npos);
    // The table's own closing paragraph comes before the end of the comment.
    EXPECT_EQ(t.find("\x0e\r*/") != std::string::npos, c.hide == 1);
    const int at = int(t.find("$C_LT"));
    if (c.command) {
      ASSERT_GE(at, 0);
      EXPECT_EQ(editor_.text.Doc().CharAt(at).hidden, c.commandHidden);
    }
    const int n = int(t.find("\x07N"));
    EXPECT_EQ(editor_.text.Doc().colours[std::size_t(editor_.text.Doc().CharAt(n + 1).colour)].b, 255);
    // Stored, the comment's opening is a paragraph of its own before the table's first row.
    editor_.TransferData(TRUE);
    const std::string saved = position_->Part().text.Text();
    if (c.hide) {
      EXPECT_LT(saved.find("\\par", saved.find("/*")), saved.find("\\trowd")) << saved;
    }
  }
  GetRegSettings().WriteInt("Skrib", "ltHide", 0);
  GetRegSettings().WriteInt("Skrib", "ltCmd", 0);
}

TEST_F(EditorCommandsTest, DatabaseValuesBecomeATable) {
  struct Case {
    std::vector<SubDlg::DatabaseValue> values;
    const char* text;
  } cases[] = {
      // The table ends with a paragraph of its own before the text's final mark.
      {{}, "\r"},
      {{{"Druckfestigkeit", "fck", "30", "N/mm2"}},
       "C30/37 - Druckfestigkeit\x07"
       "fck\x07=\x07"
       "30\x07[N/mm2]\x07\x0e\r\r"},
      {{{"Druckfestigkeit", "fck", "30", "N/mm2"}, {"E-Modul", "Ecm", "33000", "N/mm2"}},
       "C30/37\x07\x07\x07\x07\x07\x0e"
       "Druckfestigkeit\x07"
       "fck\x07=\x07"
       "30\x07[N/mm2]\x07\x0e"
       "E-Modul\x07"
       "Ecm\x07=\x07"
       "33000\x07[N/mm2]\x07\x0e\r\r"},
  };
  for (const Case& c : cases) {
    Open("");
    editor_.InsertDatabaseValues("C30/37", c.values);
    EXPECT_EQ(Text(), c.text);
  }
  EXPECT_TRUE(editor_.text.Doc().CharAt(0).bold);  // the title row
}

// Two tables in a row with a line typed between them, as a person does it: the line stays a paragraph of its own
// above the second table, not in its bold title cell, in the text and when stored and read again; the paragraph
// after each table is stored as an ordinary one ("\pard" without "\intbl" after the table's last "\row").
TEST_F(EditorCommandsTest, ALineTypedBetweenTwoInsertedTablesStaysOutsideThem) {
  const CString title = "Betonstahl - DIN 1045 - BSt 500 S";
  const std::vector<SubDlg::DatabaseValue> values = {{"Streckgrenze", "beta_s", "500", "N/mm2"},
                                                     {"E-Modul", "E_s", "200000", "N/mm2"}};
  Open("");
  editor_.InsertDatabaseValues(title, values);
  for (const char c : std::string("Zeile vor der Tabelle")) editor_.text.SendMessage(WM_CHAR, WPARAM(c));
  editor_.InsertDatabaseValues(title, values);
  const std::string rows =
      "Betonstahl - DIN 1045 - BSt 500 S\x07\x07\x07\x07\x07\x0e"
      "Streckgrenze\x07"
      "beta_s\x07=\x07"
      "500\x07[N/mm2]\x07\x0e"
      "E-Modul\x07"
      "E_s\x07=\x07"
      "200000\x07[N/mm2]\x07\x0e";
  EXPECT_EQ(Text(), rows + "\rZeile vor der Tabelle\r" + rows + "\r\r");
  editor_.TransferData(TRUE);
  const std::string saved = position_->Part().text.Text();
  for (std::size_t row = saved.find("\\row"); row != std::string::npos; row = saved.find("\\row", row + 1)) {
    const std::size_t next = saved.find('\\', row + 4);
    EXPECT_NE(saved.compare(next, 11, "\\pard\\intbl"), 0) << "a paragraph in a table with no row: " << saved;
  }
  richdoc::Document back;
  ASSERT_TRUE(CRichEditCtrl::ReadRtf(saved, back));
  EXPECT_EQ(back.text, rows + "\rZeile vor der Tabelle\r" + rows + "\r\r");
  for (const richdoc::Document* d : {&editor_.text.Doc(), &back}) {
    const int line = int(d->text.find("Zeile"));
    EXPECT_FALSE(d->ParaAt(line).inTable);
    EXPECT_FALSE(d->ParaAt(line - 1).inTable) << "the paragraph after the first table";
    EXPECT_FALSE(d->CharAt(line).bold);
  }
}

// Database values and the protocol's records arrive with every character: letters of the code page, signs beyond it,
// braces and backslashes; what is saved is 7-bit RTF.
TEST_F(EditorCommandsTest, InsertedTablesKeepEveryCharacter) {
  const std::string title = "Normalbeton - DIN 1045 - B 10";
  const std::vector<SubDlg::DatabaseValue> values = {{"Nennfestigkeit", "beta_wn", "10", "N/mm\xc2\xb2"},
                                                     {"Dehnung bei H\xc3\xb6"
                                                      "chstspannung",
                                                      "epsilon_d", "-2", "\xe2\x80\xb0"},
                                                     {"W\xc3\xa4rmedehnzahl", "\xce\xb1_t", "1e-05", "1/K"},
                                                     {"{Klammer} \\ Strich", "x", "1", "\xe2\x82\xac/m\xc2\xb3"}};
  Open("");
  editor_.InsertDatabaseValues(title.c_str(), values);
  AddImport("Pos \xc3\x84\\Lasten\\N", "N\xc3\xbc", "kN/m\xc2\xb2");
  editor_.text.SetSel(-1, -1);
  editor_.LoadTransferProtocol();
  const std::string shown = editor_.text.Doc().ShownText(0, editor_.text.Doc().Length());
  for (const char* part : {"Normalbeton - DIN 1045 - B 10\t", "Nennfestigkeit\t", "[N/mm\xc2\xb2]",
                           "Dehnung bei H\xc3\xb6"
                           "chstspannung\t",
                           "[\xe2\x80\xb0]", "W\xc3\xa4rmedehnzahl\t", "\xce\xb1_t\t", "{Klammer} \\ Strich\t",
                           "[\xe2\x82\xac/m\xc2\xb3]", "Pos \xc3\x84 - Lasten - N\t", "N\xc3\xbc\t", "[kN/m\xc2\xb2]"})
    EXPECT_NE(shown.find(part), std::string::npos) << part << " in " << shown;
  EXPECT_EQ(shown.find("\xc3\x82"), std::string::npos) << shown;  // no UTF-8 byte read as a letter of its own
  editor_.TransferData(TRUE);
  const std::string saved = position_->Part().text.Text();
  for (const char c : saved) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << saved;
  richdoc::Document back;
  ASSERT_TRUE(CRichEditCtrl::ReadRtf(saved, back));
  EXPECT_NE(back.ShownText(0, back.Length())
                .find("Dehnung bei H\xc3\xb6"
                      "chstspannung"),
            std::string::npos);
}

// Every cell of a table is 7-bit RTF: characters escaped, control words kept.
TEST(TableRtf, CellsAreWrittenSevenBit) {
  std::string rtf;
  BuildTableRtf(1, 3, {1000, 1000, 1000}, {"\\b W\xc3\xa4rme\\b0", "\\qr [\xe2\x80\xb0]", "\xce\xb1"}, rtf);
  for (const char c : rtf) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << rtf;
  for (const char* part : {"\\b W\\'e4rme\\b0\\cell", "\\qr [\\'89]\\cell", "\\u945?\\cell"})
    EXPECT_NE(rtf.find(part), std::string::npos) << part << " in " << rtf;
  // The rows' "\intbl" and "\qr" hold until a "\pard": the paragraph after the table is an ordinary one.
  const std::size_t last = rtf.rfind("\\row");
  ASSERT_NE(last, std::string::npos);
  EXPECT_LT(rtf.find("\\pard", last), rtf.find("\\par}", last)) << rtf;
}

TEST_F(EditorCommandsTest, InputValuesReplaceTheirDefinitions) {
  // q = 12.5 typed with two decimals and a comma; g stays; Q = q*2 = 25 follows in the recalculation.
  SubData& part = position_->Part();
  part.text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 q = 5,00\\par\r\n\\cf1 g = 1,0\\par\r\n}");
  part.inputValues = {{"Last", "q", "kN/m", 12.5}};
  editor_.ApplyInputValues(part);
  const std::string rtf = part.text.Text();
  EXPECT_NE(rtf.find("q = 12,50"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("g = 1,0"), std::string::npos) << rtf;
  double q = 0.0;
  EXPECT_TRUE(position_->variables.Evaluate("q", &q));
  EXPECT_DOUBLE_EQ(q, 12.5);
}

TEST_F(EditorCommandsTest, CtrlWheelShowsTheZoomInTheCombo) {
  Open("");
  editor_.text.SetZoom(130);
  win::input::KeyDown(VK_CONTROL);
  editor_.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), 0);
  win::input::KeyUp(VK_CONTROL);
  CString shown;
  editor_.bar2.zoom.GetWindowText(shown);
  EXPECT_EQ(std::string(shown), "130 %");
}

// Ctrl and the wheel over the text zoom it in steps of 10 % a notch, and the zoom box shows the zoom in effect: its
// item where the list has one, else one of its own (from "Seitenbreite", whatever percentage that gave, and beyond
// 200 %).
TEST_F(EditorCommandsTest, CtrlWheelOverTheTextZoomsItAndTheBoxShowsTheZoom) {
  Open("");
  const auto wheel = [this](int notches) {
    win::input::KeyDown(VK_CONTROL);
    for (int i = 0; i < std::abs(notches); ++i)
      editor_.text.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(short(notches > 0 ? 120 : -120))), 0);
    win::input::KeyUp(VK_CONTROL);
  };
  const auto shown = [this] {
    CString text;
    editor_.bar2.zoom.GetWindowText(text);
    return std::string(text);
  };
  editor_.bar2.zoom.SetCurSel(9);  // "100 %"
  editor_.ApplyZoom();
  wheel(3);
  EXPECT_EQ(editor_.text.GetZoom(), 130);
  EXPECT_EQ(shown(), "130 %");
  EXPECT_EQ(editor_.bar2.zoom.GetCurSel(), 15);
  wheel(-5);
  EXPECT_EQ(editor_.text.GetZoom(), 80);
  EXPECT_EQ(shown(), "80 %");

  editor_.bar2.zoom.SetCurSel(0);  // "Seitenbreite"
  editor_.ApplyZoom();
  const int pageWidth = editor_.text.GetZoom();
  wheel(1);
  EXPECT_EQ(editor_.text.GetZoom(), pageWidth + 10);
  EXPECT_EQ(shown(), std::to_string(pageWidth + 10) + " %");
  // a second zoom of its own takes the place of the first
  wheel(1);
  EXPECT_EQ(shown(), std::to_string(pageWidth + 20) + " %");

  editor_.bar2.zoom.SetCurSel(18);  // "200 %"
  editor_.ApplyZoom();
  wheel(2);
  EXPECT_EQ(editor_.text.GetZoom(), 220);
  EXPECT_EQ(shown(), "220 %");
  EXPECT_EQ(editor_.bar2.zoom.GetCount(), SubDlg::kZoomItems + 1);
  wheel(-2);
  EXPECT_EQ(shown(), "200 %");
  EXPECT_EQ(editor_.bar2.zoom.GetCount(), SubDlg::kZoomItems);
}

TEST_F(EditorCommandsTest, NewDocumentsStartFromTheTemplateAndBlocksAreSavedFromOne) {
  namespace fs = std::filesystem;
  // A user data folder of this test's own: the template must not show in other tests running beside it.
  const fs::path common = fs::path(::testing::TempDir()) / ("editor-common-" + std::to_string(::getpid()));
  fs::create_directories(common / "ormi");
  ::setenv("KOLUMO_COMMON_DATA", common.c_str(), 1);
  struct Restore {
    fs::path common;
    ~Restore() {
      ::unsetenv("KOLUMO_COMMON_DATA");
      fs::remove_all(common);
    }
  } restore{common};
  const fs::path folder = fs::path(GetUserDataDir().str()) / "Vorlagen";
  ASSERT_EQ(folder, common / "ormi" / "Vorlagen");
  fs::create_directories(folder);
  {
    std::ofstream out(folder / "Freie Textvorlage.rtf", std::ios::binary);
    out << "{\\rtf1 Vorlage\\par\r\n}";
  }
  Open("");
  EXPECT_EQ(Text(), "Vorlage\r\r");

  // A building block: the selection "Vorlage" in a position made from the template.
  const int made = VIDUV_CreateDoc("root");
  VIDUV_AddChildElement(VIDUV_AddChildElement(VIDUV_GetRootElement(made), "input"), "Skrib");
  ASSERT_TRUE(VIDUV_SaveDocAs(made, GetVorbelegungFile("Skrib", nullptr).GetString()));
  VIDUV_CloseDoc(made);
  editor_.text.SetSel(0, 0);
  win::msgbox::QueueAnswer(IDOK);
  editor_.SaveBuildingBlock();  // nothing selected
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  const fs::path block = fs::path(::testing::TempDir()) / "baustein.tqx";
  fs::remove(block);
  editor_.text.SetSel(0, 7);
  win::script::QueueFileDialog(block.string());
  editor_.SaveBuildingBlock();
  const int read = VIDUV_OpenDoc(block.string().c_str());
  ASSERT_NE(read, 0);
  const int skrib = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(read), "input"), "Skrib");
  std::string rtf(std::size_t(VIDUV_GetBinDataLength(skrib, "rtfData")), '\0');
  VIDUV_GetBinData(skrib, "rtfData", rtf.data());
  VIDUV_CloseDoc(read);
  richdoc::Document d;
  d.ReadRtf(rtf.c_str());
  EXPECT_EQ(d.text, "Vorlage\r");

  // Without a template of the user's the installation's own is taken: a document position of its own kind.
  const editortest::SourceDataRoot sourceRoot;
  fs::remove(GetVorbelegungFile("Skrib", nullptr).GetString());
  const fs::path shippedBlock = fs::path(::testing::TempDir()) / "baustein2.tqx";
  fs::remove(shippedBlock);
  win::script::QueueFileDialog(shippedBlock.string());
  editor_.SaveBuildingBlock();
  const int second = VIDUV_OpenDoc(shippedBlock.string().c_str());
  ASSERT_NE(second, 0) << "the shipped template makes the block";
  const int root = VIDUV_GetRootElement(second);
  EXPECT_EQ(std::string(VIDUV_GetString(root, "progname")), "Skrib");
  const int part = VIDUV_FindFirstChild(VIDUV_FindFirstChild(root, "input"), "Skrib");
  rtf.assign(std::size_t(VIDUV_GetBinDataLength(part, "rtfData")), '\0');
  VIDUV_GetBinData(part, "rtfData", rtf.data());
  VIDUV_CloseDoc(second);
  richdoc::Document shipped;
  shipped.ReadRtf(rtf.c_str());
  EXPECT_EQ(shipped.text, "Vorlage\r");
  fs::remove(shippedBlock);

  // Neither template: the engineer is told, no file name is asked for and nothing is written.
  const fs::path emptyRoot = common / "leer";
  fs::create_directories(emptyRoot);
  ::setenv("KOLUMO_ROOT", emptyRoot.c_str(), 1);
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  editor_.SaveBuildingBlock();
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("TQ-Skrib Vorbelegung.tqx' fehlt"), std::string::npos)
      << win::msgbox::Log()[0].text;
  EXPECT_FALSE(fs::exists(shippedBlock));
}

}  // namespace
