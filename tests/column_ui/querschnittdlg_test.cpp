// The cross-section dialog: rows per section type, values the calculation refuses refused as they are typed, the
// design-code checks after each edit with their corrections, and that the field's cross-section changes on OK only.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "column/eingabepruefung.h"
#include "column_ui/querschnittdlg.h"
#include "tests/column_ui/dialog_input.h"
#include "report/querschnittskizze.h"
#include "tests/platform/win/step_screen.h"

namespace {

using dialog_input::Press;
using dialog_input::Save;

class QuerDlgTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    report::EnsureQuerschnittSkizze();
    data.SetFieldCount(2);
  }
  static CKolumoQuerGrid& GridOf(CDialog& d) { return static_cast<CKolumoQuerDlg&>(d).m_grid; }
  static void Enter(CDialog& d, int row, const std::string& text) { dialog_input::Enter(GridOf(d), row, text); }
  static void Pick(CDialog& d, int row, int steps) { dialog_input::Pick(GridOf(d), row, steps); }
  CKolumoData data;
};

TEST_F(QuerDlgTest, ChecksAskAfterTheEditAndYesCorrects) {
  struct Case {
    const char* name;
    int type, bewType, norm, fertigteil;
    double bx, dy, bdx, as;
    int row;           // the row typed into
    const char* text;  // what is typed
    std::vector<int> answers;
    std::vector<const char*> messages;  // the start of every box, in order (the OK of the dialog included)
    double bxAfter, dyAfter, asAfter;
    int bewTypeAfter, teilungAfter;
  };
  const char* kMin20 = "Achtung! Gemäß DIN 1045-1 13.5.1.1 ist die minimale Seitenlänge 20.0 cm!";
  const char* kMin12 = "Achtung! Gemäß DIN 1045-1 13.5.1.1 ist die minimale Seitenlänge 12.0 cm!";
  const char* kTyp2 = "Achtung! Gemäß DIN 1045-1 13.5.1.3 ist bei den vorhanden Stützenabmesungen";
  const char* kSia = "Achtung! Gemäß SIA 262 ist mind. Durchmesser 8 mit 0.5 cm²";
  const char* kDeckung = "Achtung Betondeckung zu groß!";
  const char* kTeilung = "Stabteilung <2 nicht zulässig.";
  const Case cases[] = {
      // 15 < 20 cm, not precast, DIN: Yes gives 20 x 30.
      {"min20", 0, 0, 0, 0, 30, 30, 3, 2, 2, "15", {IDYES}, {kMin20}, 20, 30, 2, 0, 5},
      // The same with EC2: no question, 15 stays.
      {"ec2", 0, 0, 1, 0, 30, 30, 3, 2, 2, "15", {}, {}, 15, 30, 2, 0, 5},
      // Precast 10 x 10, DIN: the 12 cm question, not the 20 cm one; both sides raised.
      {"fertigteil", 0, 0, 0, 1, 30, 10, 3, 2, 2, "10", {IDYES}, {kMin12}, 12, 12, 2, 0, 5},
      // "No" keeps 15; OK does not ask again about the same 15.
      {"nein", 0, 0, 0, 0, 30, 30, 3, 2, 2, "15", {IDNO}, {kMin20}, 15, 30, 2, 0, 5},
      // 45 > 40 cm with four corner bars, DIN: Yes changes to type 2.
      {"typ2", 0, 0, 0, 0, 30, 30, 3, 2, 2, "45", {IDYES}, {kTyp2}, 45, 30, 2, 1, 5},
      // Subdivision 1 becomes 2 with a message.
      {"teilung", 0, 0, 0, 0, 30, 30, 3, 2, 10, "1", {IDOK}, {kTeilung}, 30, 30, 2, 0, 2},
      // Circle, SIA, 2.0 cm² total < 6 x 0.5 = 3.0: Yes gives 3.0.
      {"kreis", 1, 2, 2, 0, 30, 30, 3, 5, 6, "2", {IDYES}, {kSia}, 30, 30, 3.0, 2, 5},
      // A formula a few last bits off the limit is at the limit: no question. 32.3 - 12.3 = 19.999999999999996 cm,
      // 64.4 - 24.4 = 40.00000000000001 cm, and a circle's six 12 mm bars 6 x 1.13 = 6.779999999999999 cm² under
      // DIN; before, each asked.
      {"min20 exactly", 0, 0, 0, 0, 30, 30, 3, 2, 2, "32.3-12.3", {}, {}, 20, 30, 2, 0, 5},
      {"typ2 exactly", 0, 0, 0, 0, 30, 30, 3, 2, 2, "64.4-24.4", {}, {}, 40, 30, 2, 0, 5},
      {"kreis exactly", 1, 2, 0, 0, 30, 30, 3, 10, 6, "6*1.13", {}, {}, 30, 30, 6.78, 2, 5},
      // Ring 40 / 30 read with cover 6: 2 x 6 = 12 > 40 - 30 = 10; the message comes after another edit and
      // returns on OK, nothing changes. (A cover of 6 typed in is refused as it is typed: see below.)
      {"ring", 2, 2, 0, 0, 40, 30, 6, 10, 7, "12", {IDOK, IDOK}, {kDeckung, kDeckung}, 40, 30, 12, 2, 5},
  };
  for (const Case& c : cases) {
    CKolumoQuer& q = data.querschnitte[1];
    q = CKolumoQuer();
    q.type = c.type;
    q.bewType = c.bewType;
    q.bx = c.bx;
    q.dy = c.dy;
    q.bdx = c.bdx;
    q.as = c.as;
    data.iNorm = c.norm;
    data.Fertigteil = c.fertigteil;
    win::msgbox::ClearLog();
    for (int a : c.answers) win::msgbox::QueueAnswer(a);
    win::script::QueueDialog([&](CDialog& d) {
      Enter(d, c.row, c.text);
      if (std::string(c.name) == "typ2") {
        EXPECT_EQ(GridOf(d).GetItemText(1, 1), "Typ 2: 8 Eckeisen");
      }
      if (std::string(c.name) == "teilung") {
        EXPECT_EQ(GridOf(d).GetItemText(10, 1), "2 ");
      }
      Press(d, IDOK);
    });
    ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 1, nullptr)) << c.name;
    const auto& log = win::msgbox::Log();
    ASSERT_EQ(log.size(), c.messages.size()) << c.name;
    for (std::size_t i = 0; i < log.size(); ++i)
      EXPECT_EQ(log[i].text.rfind(c.messages[i], 0), 0u) << c.name << ": " << log[i].text;
    EXPECT_DOUBLE_EQ(q.bx.m_dValue, c.bxAfter) << c.name;
    EXPECT_DOUBLE_EQ(q.dy.m_dValue, c.dyAfter) << c.name;
    EXPECT_DOUBLE_EQ(q.as.m_dValue, c.asAfter) << c.name;
    EXPECT_EQ(q.bewType, c.bewTypeAfter) << c.name;
    EXPECT_EQ(q.teilung, c.teilungAfter) << c.name;
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u) << c.name;
  }
}

// A value corrected on "Ja" is shown corrected at once, however the cell was left, with the question as a window
// answered by its key; the screen shows what the dialog draws.
TEST_F(QuerDlgTest, ACorrectionOnYesIsShownAtOnce) {
  auto key = [](UINT vk) { return [vk](CKolumoQuerGrid&) { win::input::Key(vk); }; };
  auto click = [](CKolumoQuerGrid& g) {
    CRect cell;
    g.GetCellRect(6, 1, &cell);
    win::input::Click(g.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  };
  const struct {
    const char* name;
    int fertigteil;
    const char* typed;  // into "Breite bx" of a section 30 x dy
    double dy;
    std::function<void(CKolumoQuerGrid&)> leave;
    const char* bx;      // the cell afterwards
    const char* editor;  // the editor Enter or Tab opened on "Dicke dy", or the cell when the click closed it
  } cases[] = {
      {"Enter", 0, "15", 30, key(VK_RETURN), "20.0 [cm]", "30"},
      {"Tab", 0, "15", 30, key(VK_TAB), "20.0 [cm]", "30"},
      {"a click on another cell", 0, "15", 30, click, "20.0 [cm]", "30.0 [cm]"},
      // precast 10 x 10: both sides raised to 12 cm, the one not typed in too
      {"precast, Enter", 1, "10", 10, key(VK_RETURN), "12.0 [cm]", "12"},
      {"precast, a click", 1, "10", 10, click, "12.0 [cm]", "12.0 [cm]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CKolumoQuer& q = data.querschnitte[1];
    q = CKolumoQuer();
    q.dy = c.dy;
    q.as = 10.0;
    data.iNorm = 0;
    data.Fertigteil = c.fertigteil;
    win::msgbox::ClearLog();
    std::string bx, dy;
    bool drawn = false;
    win::test::StepScreen screen;
    screen.Then([&](HWND active) {
      auto* dlg = dynamic_cast<CKolumoQuerDlg*>(CWnd::FromHandle(active));
      ASSERT_NE(dlg, nullptr);
      dialog_input::TypeOver(dlg->m_grid, 2, 1, c.typed);
      c.leave(dlg->m_grid);
      win::PumpMessages();
      bx = dlg->m_grid.GetItemText(2, 1).GetString();
      dy = dlg->m_grid.GetItemText(3, 1).GetString();
      drawn = win::PaintedPixels(dlg->m_hWnd).pixels == win::RenderWindowApart(dlg->m_hWnd).pixels;
      Press(*dlg, IDOK);
    });
    screen.Then([](HWND) { win::input::Key(VK_RETURN); });  // "Ja"
    ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 1, nullptr));
    EXPECT_EQ(screen.Left(), 0u);
    EXPECT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(bx, c.bx);
    EXPECT_EQ(dy, c.editor);
    EXPECT_TRUE(drawn) << "the screen shows something the dialog no longer draws";
    EXPECT_DOUBLE_EQ(q.bx.GetValue(), c.fertigteil ? 12.0 : 20.0);
  }
}

// The least-bar question ends its sentence with one mark, writes "zu verwenden" as two words and cites the code,
// or under EC2 the national annex, that the position is designed by. "No" keeps the area and OK does not ask again.
TEST_F(QuerDlgTest, TheLeastBarQuestionCitesTheCodeOrAnnexOfThePosition) {
  const std::string tail = " zu verwenden!\nSoll die Bewehrung korrigiert werden?";
  const struct {
    int norm, type, bewType;
    int row;  // the reinforcement's row: rectangle 8, circle 6, ring 7
    std::string frage;
  } cases[] = {
      {0, 0, 0, 8, "Achtung! Gemäß DIN 1045-1 13.5.1.2 ist mind. Durchmesser 12 mit 1.13 cm²" + tail},
      {10, 1, 2, 6, "Achtung! Gemäß EC2 NA (DE) 9.5.2.1 ist mind. Durchmesser 12 mit 1.13 cm²" + tail},
      {11, 0, 2, 8, "Achtung! Gemäß EC2 mit nationalem Anhang F 9.5.2.1 ist mind. Durchmesser 12 mit 1.13 cm²" + tail},
      {12, 2, 2, 7, "Achtung! Gemäß EC2 mit nationalem Anhang GB 9.5.2.1 ist mind. Durchmesser 12 mit 1.13 cm²" + tail},
      {1, 0, 0, 8, "Achtung! Gemäß EC2 9.5.2.1 ist mind. Durchmesser 8 mit 0.5 cm²" + tail},
      {1, 0, 2, 8, "Achtung! Gemäß EC2 9.5.2.1 ist mind. Durchmesser 8 mit 0.50 cm²" + tail},
      {2, 2, 2, 7, "Achtung! Gemäß SIA 262 ist mind. Durchmesser 8 mit 0.5 cm²" + tail},
      {2, 0, 2, 8, "Achtung! Gemäß SIA 262 ist mind. Durchmesser 8 mit 0.50 cm²" + tail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.frage);
    CKolumoQuer& q = data.querschnitte[1];
    q = CKolumoQuer();
    q.type = c.type;
    q.bewType = c.bewType;
    q.bx = 40.0;
    q.dy = c.type == 2 ? 20.0 : 40.0;  // no question on the sides
    q.bdx = q.bdy = 4.0;
    q.as = 20.0;
    data.iNorm = c.norm;
    data.Fertigteil = 0;
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDNO);
    win::script::QueueDialog([&](CDialog& d) {
      Enter(d, c.row, "0,3");  // below every least area
      Press(d, IDOK);
    });
    ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 1, nullptr));
    const auto& log = win::msgbox::Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, c.frage);
    EXPECT_DOUBLE_EQ(q.as.GetValue(), 0.3);
  }
}

// A question is asked when the values it is about change, once: "Nein" is not asked again by later edits of other
// rows or by OK; a new value below the least asks again, a value the dialog opened with asks nothing, and a
// change of the reinforcement type (which changes the least area) asks again about the same area.
TEST_F(QuerDlgTest, AQuestionIsAskedWhenItsValueChangesOnce) {
  const char* kBar = "Achtung! Gemäß EC2 NA (DE) 9.5.2.1 ist mind. Durchmesser 12";
  const char* kSide = "Achtung! Gemäß EC2 NA (DE) 9.5.1.1 ist die minimale Seitenlänge 20.0 cm!";
  const char* kTyp2 = "Achtung! Gemäß EC2 NA (DE) 9.5.2.4 ist bei den vorhanden Stützenabmesungen";
  using Step = std::function<void(CDialog&)>;
  const auto enter = [](int row, const char* text) { return Step([=](CDialog& d) { Enter(d, row, text); }); };
  // three edits of the strut inclination, each of which checks the whole section
  const Step others = [](CDialog& d) {
    for (const char* theta : {"40", "35", "40"}) Enter(d, 9, theta);
  };
  const struct {
    const char* name;
    double bx, as;  // read: a rectangle bx x 30, type 1, as per bar
    std::vector<Step> steps;
    std::vector<int> answers;
    std::vector<const char*> messages;
    double asAfter;
  } cases[] = {
      {"no, then other rows", 30, 2.0, {enter(8, "0,8"), others, enter(10, "6")}, {IDNO}, {kBar}, 0.8},
      {"no, then another short area", 30, 2.0, {enter(8, "0,8"), enter(8, "0,9")}, {IDNO, IDNO}, {kBar, kBar}, 0.9},
      {"no, then the same area typed again", 30, 2.0, {enter(8, "0,8"), enter(8, "0.8")}, {IDNO}, {kBar}, 0.8},
      {"read short, not typed", 30, 0.8, {others, enter(3, "35")}, {}, {}, 0.8},
      {"read short, then typed", 30, 0.8, {enter(8, "0,7")}, {IDYES}, {kBar}, 1.13},
      {"no, then a wider side", 15, 2.0, {enter(2, "16"), others, enter(2, "17")}, {IDNO, IDNO}, {kSide, kSide}, 2.0},
      {"no to type 2, then the depth", 30, 2.0, {enter(2, "45"), enter(3, "30"), others}, {IDNO}, {kTyp2}, 2.0},
      // type 3 takes the area as the total of 16 bars: the same 0.8 is short of another least
      {"no, then type 3",
       30,
       2.0,
       {enter(8, "0,8"), [](CDialog& d) { Pick(d, 1, 2); }, others},
       {IDNO, IDNO},
       {kBar, kBar},
       0.8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CKolumoQuer& q = data.querschnitte[1];
    q = CKolumoQuer();
    q.bx = c.bx;
    q.dy = 30.0;
    q.bdx = q.bdy = 4.0;
    q.as = c.as;
    data.iNorm = 10;
    data.Fertigteil = 0;
    win::msgbox::ClearLog();
    for (int a : c.answers) win::msgbox::QueueAnswer(a);
    win::script::QueueDialog([&](CDialog& d) {
      for (const Step& step : c.steps) step(d);
      Press(d, IDOK);
    });
    ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 1, nullptr));
    const auto& log = win::msgbox::Log();
    ASSERT_EQ(log.size(), c.messages.size());
    for (std::size_t i = 0; i < log.size(); ++i) EXPECT_EQ(log[i].text.rfind(c.messages[i], 0), 0u) << log[i].text;
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
    EXPECT_DOUBLE_EQ(q.as.GetValue(), c.asAfter);
  }
}

TEST_F(QuerDlgTest, AValueTheCalculationRefusesIsRefusedAsItsCellIsLeftWithTheSameMessage) {
  struct Case {
    const char* name;
    int type;
    int row;
    const char* text;             // typed, or pasted when `paste`
    const char* shows;            // the cell afterwards: the value before the edit
    const char* says;             // a part of the check's message
    void (*typed)(CKolumoQuer&);  // the section with the typed value, as the calculation would see it
    bool paste;
  };
  const Case cases[] = {
      {"strut angle", 0, 9, "452.01", "38.0 [°]", "theta = 452.01", [](CKolumoQuer& q) { q.theta = 452.01; }, false},
      {"strut angle pasted with a decimal comma", 0, 9, "452,01", "38.0 [°]", "theta = 452.01",
       [](CKolumoQuer& q) { q.theta = 452.01; }, true},
      {"negative bar area", 0, 8, "-2.01", "10.00 [cm²]", "as = -2.01", [](CKolumoQuer& q) { q.as = -2.01; }, false},
      {"cover beyond the middle", 0, 6, "21", "4.5 [cm]", "bdx = 21", [](CKolumoQuer& q) { q.bdx = 21.0; }, false},
      {"too many members", 0, 10, "150", "5 ", "teilung = 150", [](CKolumoQuer& q) { q.teilung = 150; }, false},
      {"ring cover beyond the wall", 2, 6, "6", "4.5 [cm]", "bdx = 6", [](CKolumoQuer& q) { q.bdx = 6.0; }, false},
      {"ring wider inside than outside", 2, 3, "45", "30.0 [cm]", "dy = 45", [](CKolumoQuer& q) { q.dy = 45.0; },
       false},
      {"circle of no size", 1, 2, "0", "40.0 [cm]", "bx = 0", [](CKolumoQuer& q) { q.bx = q.dy = 0.0; }, false},
  };
  data.iNorm = 1;
  for (const Case& c : cases) {
    CKolumoQuer& q = data.querschnitte[1];
    q = CKolumoQuer();
    q.type = c.type;
    q.bewType = c.type == 0 ? 0 : 2;
    q.bx = 40.0;
    q.dy = c.type == 1 ? 40.0 : 30.0;
    q.bdx = q.bdy = 4.5;
    q.as = 10.0;  // above every minimum: OK asks nothing
    q.theta = 38.0;
    q.teilung = 5;
    CKolumoQuer before = q;
    ASSERT_TRUE(QuerschnittFehler(data, q, 1).empty()) << c.name;
    CKolumoQuer typed = q;
    c.typed(typed);
    const std::vector<std::string> expected = QuerschnittFehler(data, typed, 1);
    ASSERT_EQ(expected.size(), 1u) << c.name;
    EXPECT_NE(expected[0].find(c.says), std::string::npos) << c.name << ": " << expected[0];
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    win::script::QueueDialog([&](CDialog& d) {
      if (c.paste) {
        win::SetClipboardText(c.text);
        COleDataObject clip;
        ASSERT_TRUE(clip.AttachClipboard());
        GridOf(d).PasteTextToGrid(CCellID(c.row, 1), &clip, FALSE);
      } else {
        Enter(d, c.row, c.text);
        // The editor is back in the cell with the value it keeps; Escape leaves it as it is.
        int row = -1, col = -1;
        ASSERT_TRUE(GridOf(d).GetFocusCell(&row, &col)) << c.name;
        EXPECT_EQ(row, c.row) << c.name;
        HWND editor = ::GetFocus();
        ASSERT_EQ(::GetParent(editor), GridOf(d).m_hWnd) << c.name;
        win::input::Key(VK_ESCAPE);
        win::PumpMessages();
        EXPECT_FALSE(::IsWindow(editor)) << c.name;
      }
      EXPECT_EQ(GridOf(d).GetItemText(c.row, 1), c.shows) << c.name;
      Press(d, IDOK);
    });
    ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 1, nullptr)) << c.name;
    const auto& log = win::msgbox::Log();
    ASSERT_EQ(log.size(), 1u) << c.name;
    EXPECT_EQ(log[0].text, expected[0]) << c.name;
    EXPECT_DOUBLE_EQ(q.bx.GetValue(), before.bx.GetValue()) << c.name;
    EXPECT_DOUBLE_EQ(q.dy.GetValue(), before.dy.GetValue()) << c.name;
    EXPECT_DOUBLE_EQ(q.bdx.GetValue(), before.bdx.GetValue()) << c.name;
    EXPECT_DOUBLE_EQ(q.as.GetValue(), before.as.GetValue()) << c.name;
    EXPECT_DOUBLE_EQ(q.theta.GetValue(), before.theta.GetValue()) << c.name;
    EXPECT_EQ(q.teilung, before.teilung) << c.name;
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u) << c.name;
  }
}

// A text that is no formula is refused with the name of the row it was typed in.
TEST_F(QuerDlgTest, TextThatIsNoFormulaIsRefusedNamingItsRow) {
  const struct {
    int type, row;
    const char* typed;
    const char* message;
  } cases[] = {
      {0, 2, "3a", "Breite bx: Unerwartete Zeichen: a"},
      {0, 8, "2 3", "Bewehrung pro Eisen: Unerwartete Zeichen: 3"},
      {1, 2, "40)", "Durchmesser: Unerwartete Zeichen: )"},
  };
  data.iNorm = 1;
  for (const auto& c : cases) {
    data.querschnitte[0] = CKolumoQuer();
    data.querschnitte[0].type = c.type;
    data.querschnitte[0].bewType = c.type == 0 ? 0 : 2;
    data.querschnitte[0].as = 10.0;  // above every least area: OK asks nothing
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    win::script::QueueDialog([&](CDialog& d) {
      dialog_input::TypeAndEnter(GridOf(d), c.row, 1, c.typed);
      win::input::Key(VK_ESCAPE);
      win::PumpMessages();
      Press(d, IDOK);
    });
    ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 0, nullptr)) << c.typed;
    ASSERT_EQ(win::msgbox::Log().size(), 1u) << c.typed;
    EXPECT_EQ(win::msgbox::Log()[0].text, c.message);
  }
}

TEST_F(QuerDlgTest, AProblemTheSectionHadAlreadyDoesNotBlockTheEditThatMendsIt) {
  data.iNorm = 1;
  CKolumoQuer& q = data.querschnitte[0];
  q.bx = 30.0;
  q.dy = 30.0;
  q.bdx = q.bdy = 4.0;
  q.as = 2.01;
  q.theta = 452.01;  // as a file may hold it
  win::msgbox::ClearLog();
  win::script::QueueDialog([](CDialog& d) {
    Enter(d, 2, "35");  // another value: taken, the old problem is not this edit's
    Enter(d, 9, "45");  // the mend
    Press(d, IDOK);
  });
  ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 0, nullptr));
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_DOUBLE_EQ(q.bx.GetValue(), 35.0);
  EXPECT_DOUBLE_EQ(q.theta.GetValue(), 45.0);
  EXPECT_TRUE(QuerschnittFehler(data, q, 0).empty());
}

TEST_F(QuerDlgTest, SwitchingToCircleRewritesTheRowsAndCancelKeepsTheField) {
  data.iNorm = 1;
  data.querschnitte[0].bx = 35.0;
  win::script::QueueDialog([](CDialog& d) {
    CKolumoQuerGrid& g = GridOf(d);
    EXPECT_EQ(g.GetItemText(2, 0), "Breite bx");
    EXPECT_TRUE(g.IsRowVisible(10));
    EXPECT_FALSE(g.IsCellEditable(5, 1)) << "Versatz ey";
    Save(d, "querschnitt-rechteck.png");
    Pick(d, 0, 1);
    EXPECT_EQ(g.GetItemText(2, 0), "Durchmesser");
    EXPECT_EQ(g.GetItemText(2, 1), "35.0 [cm]");
    EXPECT_EQ(g.GetItemText(1, 1), "Typ 3: Umlaufend");
    EXPECT_EQ(g.GetItemText(6, 0), "Gesamte Bewehrung");
    EXPECT_FALSE(g.IsRowVisible(9));
    EXPECT_FALSE(g.IsRowVisible(10));
    EXPECT_FALSE(g.IsCellEditable(4, 1)) << "Versatz ey";
    EXPECT_TRUE(g.IsCellEditable(5, 1));
    Save(d, "querschnitt-kreis.png");
    Pick(d, 0, 1);
    EXPECT_EQ(g.GetItemText(3, 0), "Durchmesser innen");
    EXPECT_TRUE(g.IsRowVisible(9));
    EXPECT_FALSE(g.IsRowVisible(10));
    Press(d, IDCANCEL);
  });
  EXPECT_FALSE(CKolumoQuerDlg::Bearbeite(data, 0, nullptr));
  EXPECT_EQ(data.querschnitte[0].type, 0);
  EXPECT_EQ(data.querschnitte[0].bewType, 0);
}

TEST_F(QuerDlgTest, OkWithoutAChangeKeepsEveryValueAndTypedValuesArrive) {
  data.iNorm = 1;
  CKolumoQuer& q = data.querschnitte[0];
  q.bx = 31.25;
  q.theta = 38.66;
  q.teilung = 7;
  win::script::QueueDialogAnswer(IDOK);
  ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 0, nullptr));
  EXPECT_EQ(q.bx.m_dValue, 31.25) << "shown as 31.3, kept as entered";
  EXPECT_EQ(q.theta.m_dValue, 38.66);
  EXPECT_EQ(q.teilung, 7);
  win::script::QueueDialog([](CDialog& d) {
    Enter(d, 3, "42,5");
    Enter(d, 9, "30");
    // Type 3 by Return: the reinforcement row becomes the total, and Return goes on into the next cell and opens
    // it. Leaving that cell checks the section before the 12 cm² are typed: the check asks, and "Nein" keeps it.
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDNO);
    Pick(d, 1, 2);
    EXPECT_EQ(GridOf(d).GetItemText(8, 0), "Gesamte Bewehrung");
    Enter(d, 8, "12");
    Press(d, IDOK);
  });
  ASSERT_TRUE(CKolumoQuerDlg::Bearbeite(data, 0, nullptr));
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text.find("Achtung! Gemäß EC2 9.5.2.1 ist mind. Durchmesser 8"), 0u);
  EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
  EXPECT_DOUBLE_EQ(q.dy.m_dValue, 42.5);
  EXPECT_DOUBLE_EQ(q.theta.m_dValue, 30.0);
  EXPECT_EQ(q.bewType, 2);
  EXPECT_DOUBLE_EQ(q.as.m_dValue, 12.0);
  EXPECT_DOUBLE_EQ(q.bx.m_dValue, 31.25);
}

}  // namespace
