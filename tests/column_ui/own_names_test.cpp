// A name the position defines, on its variables page or in its document, is taken in every row of the input grids
// the moment it is typed; a value whose name lost its definition shows it; OK names such values before it saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <utility>
#include <string>
#include <vector>

#include "column_dialog_fixture.h"
#include "column_ui/kolumo2d.h"
#include "column_ui/kolumodraw.h"
#include "dialog_input.h"
#include "document/subdata.h"
#include "framework/regsettings.h"
#include "framework_ui/plotwerk.h"
#include "layout3d_flaws.h"
#include "platform/plotwerk/controls.h"

namespace {

using column_dialog_test::ColumnDialogTest;
using dialog_input::TypeAndEnter;
using dialog_input::TypeCell;
using S = StabSysGrid;
using L = LoadGrid;

// The document part must be known before the dialog (and so its data) is made.
struct DocumentParts {
  DocumentParts() { RegisterDocumentPart(); }
  ~DocumentParts() { SetDocumentPartFactory(nullptr); }
};

// A variable row of the variables page.
void AddVariable(CKolumoData& d, const char* name, const char* value) {
  d.varDefs.Add(CVarDefEntry::Create(CVarDefEntry::kVariable));
  auto& v = *d.varDefs.GetAs<CVarDefVariable>(d.varDefs.GetSize() - 1);
  v.varName = name;
  v.value = value;
}

// A document whose one formula line (in the formula colour) defines `line`.
void SetDocument(CKolumoData& d, const std::string& line) {
  auto* part = dynamic_cast<SubData*>(&d.GetSubData());
  ASSERT_NE(part, nullptr);
  part->text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 " + line + "\\par\r\n}");
  part->isEmpty = 0;
}

// Where the position defines its name, with the document editor switched off or on.
struct Source {
  const char* what;
  bool editor;
  std::function<void(CKolumoData&)> define;  // defines hX = 3.2
};

void PrintTo(const Source& source, std::ostream* out) { *out << source.what; }

// The dialog with the document editor on the first tab or not, as the parameter's `editor` asks.
template <class Param>
class EditorSettingTest : private DocumentParts, public ColumnDialogTest, public testing::WithParamInterface<Param> {
 protected:
  void SetUp() override {
    GetRegSettings().WriteInt("", "bSkrib", this->GetParam().editor ? 1 : 0);
    ColumnDialogTest::SetUp();
  }
  void TearDown() override {
    ColumnDialogTest::TearDown();
    GetRegSettings().WriteInt("", "bSkrib", 0);
  }
};

class OwnNamesTest : public EditorSettingTest<Source> {
 protected:
  CKolumoData& Data() { return dialog_.m_data; }
  CKolumoSysGrid& System() { return dialog_.m_sysDlg.m_grid; }
  CKolumoLoadGrid& Loads() { return dialog_.m_loadDlg.m_loadGrid; }
};

INSTANTIATE_TEST_SUITE_P(
    Where, OwnNamesTest,
    testing::Values(Source{"VariablesPage", false, [](CKolumoData& d) { AddVariable(d, "hX", "3.2"); }},
                    Source{"DocumentEditorOff", false, [](CKolumoData& d) { SetDocument(d, "hX = 3.2"); }},
                    Source{"DocumentEditorOn", true, [](CKolumoData& d) { SetDocument(d, "hX = 3.2"); }}),
    [](const auto& info) { return std::string(info.param.what); });

// The example has fields of 3.20 and 4.50 m and seven loads. hX = 3.2 typed as the length of a new field (entry row
// 4) makes field 3 of 3.20 m; in that new row hX*2 gives 6.40 m; in field 1, hX+1 gives 4.20 m. In the load grid's
// entry row (row 8) hX in the first value makes load 8 with 3.2.
TEST_P(OwnNamesTest, TheNameIsTakenInEveryRowTheMomentItIsTyped) {
  Open(GetParam().define);
  ShowTab(2);
  ASSERT_EQ(Data().nFields(), 2);
  const struct {
    int row;
    const char* typed;
    int fields;
    int field;  // whose length it is
    double length;
    const char* shown;
  } lengths[] = {
      {4, "hX", 3, 2, 3.2, "3.20 m"},
      {4, "hX*2", 3, 2, 6.4, "6.40 m"},
      {2, "hX+1", 3, 0, 4.2, "4.20 m"},
  };
  for (const auto& c : lengths) {
    SCOPED_TRACE(c.typed);
    TypeAndEnter(System(), c.row, S::kColLength, c.typed);
    EXPECT_EQ(Boxes(), std::vector<std::string>());
    ASSERT_EQ(Data().nFields(), c.fields);
    EXPECT_DOUBLE_EQ(Data().fieldLengths[c.field].GetValue(), c.length);
    EXPECT_EQ(System().GetItemText(c.row, S::kColLength), c.shown);
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
  }

  ShowTab(4);
  const int entry = Loads().LoadCount() + 1;
  ASSERT_EQ(entry, 8);
  TypeCell(Loads(), entry, L::kColValue0, "hX");
  EXPECT_EQ(Boxes(), std::vector<std::string>());
  ASSERT_EQ(Data().loads[0].GetSize(), 8);
  EXPECT_DOUBLE_EQ(Data().loads[0][7].val0.GetValue(), 3.2);
  EXPECT_EQ(Data().loads[0][7].val0.GetText(), "hX");
}

// A new position, as "kolumo new" makes it, where the engineer defines hOG = 2,80 on the first tab: typed in the
// document and marked as formula (editor on), or typed as a variable row of the variables page (editor off).
struct Typed {
  const char* what;
  bool editor;
};

void PrintTo(const Typed& typed, std::ostream* out) { *out << typed.what; }

class NewPositionNamesTest : public EditorSettingTest<Typed> {
 protected:
  // hOG = 2,80 typed on the first tab as the engineer types it.
  void TypeDefinition() {
    ShowTab(0);
    if (GetParam().editor) {
      SubDlg& editor = dialog_.m_skribDlg;
      ASSERT_NE(editor.document, nullptr);
      editor.text.SetFocus();
      win::input::Type("hOG = 2,80");
      win::PumpMessages();
      editor.text.SetSel(0, -1);
      // the formula button of the toolbar, pressed
      editor.bar1.GetToolBarCtrl().CheckButton(11525, TRUE);
      editor.SendMessage(WM_COMMAND, 11525);
      win::PumpMessages();
    } else {
      VarDefGrid& grid = dialog_.m_varDlg.m_grid;
      // the kind chosen from the entry row's list
      grid.SetComboIndex(1, VarDefGrid::kTyp, CVarDefEntry::kVariable);
      grid.OnCellChanged(1, VarDefGrid::kTyp, ORMI_COMBO_INDEX);
      TypeCell(grid, 1, VarDefGrid::kVariable, "hOG");
      TypeCell(grid, 1, VarDefGrid::kWert, "2,80");
    }
  }
  CKolumoSysGrid& System() { return dialog_.m_sysDlg.m_grid; }
};

INSTANTIATE_TEST_SUITE_P(New, NewPositionNamesTest,
                         testing::Values(Typed{"DocumentEditorOn", true}, Typed{"VariablesPage", false}),
                         [](const auto& info) { return std::string(info.param.what); });

// The system page, shown straight after, takes hOG at once: typed as a new field's length it makes a field of
// 2.80 m; hOG*2 typed over it gives 2 x 2.80 = 5.60 m, with no box on the way.
TEST_P(NewPositionNamesTest, TheNameTypedOnTheFirstTabIsALengthAtOnce) {
  OpenNew();
  TypeDefinition();
  EXPECT_EQ(Boxes(), std::vector<std::string>());
  ClickTab(2);
  const int fields = dialog_.m_data.nFields();
  const int entry = fields + 2;
  ASSERT_EQ(System().GetRowCount() - 1, entry);
  TypeAndEnter(System(), entry, S::kColLength, "hOG");
  EXPECT_EQ(Boxes(), std::vector<std::string>());
  ASSERT_EQ(dialog_.m_data.nFields(), fields + 1);
  EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[fields].GetValue(), 2.8);
  EXPECT_EQ(System().GetItemText(entry, S::kColLength), "2.80 m");
  win::input::Key(VK_ESCAPE);
  TypeAndEnter(System(), entry, S::kColLength, "hOG*2");
  EXPECT_EQ(Boxes(), std::vector<std::string>());
  EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[fields].GetValue(), 5.6);
  EXPECT_EQ(System().GetItemText(entry, S::kColLength), "5.60 m");
}

// The example's fields of 3.20 and 4.50 m, one of them given by hX of the variables page.
struct Named {
  const char* what;
  int field;  // from 0
  const char* expression;
  const char* renamedSums[2];  // the sums of rows 2 and 3 with hX renamed
};

void PrintTo(const Named& named, std::ostream* out) { *out << named.what; }

class FieldSumTest : public ColumnDialogTest, public testing::WithParamInterface<Named> {};

INSTANTIATE_TEST_SUITE_P(Named, FieldSumTest,
                         testing::Values(Named{"FirstField", 0, "hX", {"'hX' nicht definiert", "'hX' nicht definiert"}},
                                         Named{"SecondField", 1, "hX+1,3", {"3.20 m", "'hX' nicht definiert"}}),
                         [](const auto& info) { return std::string(info.param.what); });

// With hX = 3.2 the sums read 3.20 and 3.20 + 4.50 = 7.70 m (hX + 1.3 = 4.5). Renamed to hY, hX has no value: every
// sum that adds its length says so (the value the length kept counts for nothing), a sum above it stays. Given its
// name back, the sums are numbers again.
TEST_P(FieldSumTest, ASumThatAddsALengthWithoutValueSaysSo) {
  const Named& named = GetParam();
  Open([&](CKolumoData& d) {
    AddVariable(d, "hX", "3.2");
    d.DefineVariables();
    d.fieldLengths[named.field] = named.expression;
  });
  const struct {
    const char* name;
    std::vector<std::string> sums;
  } cases[] = {
      {"hX", {"3.20 m", "7.70 m"}},
      {"hY", {named.renamedSums[0], named.renamedSums[1]}},
      {"hX", {"3.20 m", "7.70 m"}},
  };
  CKolumoSysGrid& system = dialog_.m_sysDlg.m_grid;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShowTab(0);
    TypeCell(dialog_.m_varDlg.m_grid, 1, VarDefGrid::kVariable, c.name);
    ShowTab(2);
    ASSERT_EQ(system.FieldCount(), 2);
    EXPECT_EQ(
        (std::vector<std::string>{system.GetItemText(2, S::kColSum).str(), system.GetItemText(3, S::kColSum).str()}),
        c.sums);
  }
  EXPECT_EQ(Boxes(), std::vector<std::string>());
}

// The example with qk = 3 on the variables page and load 2 ("Dach, ständig") given as qk*5*4,5 = 3 x 5 x 4.5 =
// 67.50 kN.
class RenamedNameTest : public ColumnDialogTest {
 protected:
  void SetUp() override {
    ColumnDialogTest::SetUp();
    Open([](CKolumoData& d) {
      AddVariable(d, "qk", "3");
      d.DefineVariables();
      d.loads[0][1].val0 = "qk*5*4,5";
    });
  }
  CKolumoLoadGrid& Loads() { return dialog_.m_loadDlg.m_loadGrid; }
  bool Underlined(int row, int col) {
    const LOGFONT* font = Loads().GetCell(row, col)->GetFont();
    return font && font->lfUnderline;
  }
  static constexpr const char* kUndefined =
      "Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"qk*5*4.5\": 'qk' nicht definiert";
};

// Renamed to qq on the variables page, qk has no value: the load shows that instead of the 67.50 kN it had, still
// underlined as the expression it is; given its name back, it shows 67.50 kN again.
TEST_F(RenamedNameTest, TheLoadShowsThatItsNameHasNoValue) {
  ShowTab(4);
  ASSERT_EQ(Loads().GetItemText(2, L::kColValue0), "67.50 kN");
  for (const auto& [name, shown] : {std::pair{"qq", "'qk' nicht definiert"}, std::pair{"qk", "67.50 kN"}}) {
    SCOPED_TRACE(name);
    ShowTab(0);
    TypeCell(dialog_.m_varDlg.m_grid, 1, VarDefGrid::kVariable, name);
    ShowTab(4);
    EXPECT_EQ(Loads().GetItemText(2, L::kColValue0), shown);
    EXPECT_TRUE(Underlined(2, L::kColValue0));
    if (const char* dir = std::getenv("KOLUMO_PICTURES"); dir && std::string(name) == "qq")
      win::SaveWindowPng(dialog_.m_hWnd, std::string(dir) + "/load-whose-name-has-no-value.png");
  }
  EXPECT_EQ(Boxes(), std::vector<std::string>());
}

// OK names the input whose name has no value, before the position is saved; with the name defined it says nothing.
TEST_F(RenamedNameTest, OkSaysWhichInputsNameWhatIsDefinedNowhere) {
  const struct {
    const char* name;
    std::vector<std::string> boxes;
  } cases[] = {
      {"qk", {}},
      {"qq",
       {std::string("Diese Eingaben nennen einen Namen ohne Wert. Die Position wird gespeichert; berechnet wird sie "
                    "erst, wenn die Namen definiert sind:\n\n") +
        kUndefined}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShowTab(0);
    TypeCell(dialog_.m_varDlg.m_grid, 1, VarDefGrid::kVariable, c.name);
    win::msgbox::ClearLog();
    for (std::size_t i = 0; i < c.boxes.size(); ++i) win::msgbox::QueueAnswer(IDOK);
    dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_TRUE(dialog_.IsWindowVisible()) << "OK of the window holding it does not end the input dialog";
  }
}

// The side views and the 3D view of the preview label load 2 as its cell shows it: with qk renamed away, with the
// reason, not with the 67.5 kN kept from before; given its name back, with its number again.
TEST_F(RenamedNameTest, ThePreviewsLabelTheLoadAsItsCellShowsIt) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, "Static", "", WS_POPUP, CRect(0, 0, 900, 600), nullptr, 0));
  CPlotwerk2D views[2];
  CPlotwerk3D view3D;
  for (int k = 0; k < 2; ++k) {
    ASSERT_TRUE(views[k].Create("", WS_VISIBLE, CRect(300 * k, 0, 300 * k + 290, 590), &parent, UINT(11010 + k)));
    dialog_.m_data.plot2D.Add(&views[k]);
  }
  ASSERT_TRUE(view3D.Create("", WS_VISIBLE, CRect(600, 0, 890, 590), &parent, 11011));
  dialog_.m_data.plot3D.Add(&view3D);
  // load 2 is number 1 of the stage: its id in the side views is 4 x 1 + 2
  const auto label2D = [&](int k) {
    for (const auto& item : plotwerk::Control2D::FromHandle(views[k].m_hWnd)->Scene().Items())
      if (item.id == 6 && item.kind == plotwerk::Kind2D::PointLoad) return item.text;
    return std::string("(none)");
  };
  const auto labels3D = [&] {
    std::vector<std::string> texts;
    for (const auto& item : plotwerk::Control3D::FromHandle(view3D.m_hWnd)->Scene().Items())
      if (item.kind == plotwerk::Kind3D::Text) texts.push_back(item.texts.at(0));
    return texts;
  };
  const auto has = [](const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  const struct {
    const char* name;
    std::string shown2D, shown3D, kept3D;
  } cases[] = {{"qq", "'qk' nicht definiert", "'qk' nicht definiert", "67.5 kN"},
               {"qk", "67.50", "67.5 kN", "'qk' nicht definiert"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShowTab(0);
    TypeCell(dialog_.m_varDlg.m_grid, 1, VarDefGrid::kVariable, c.name);
    ShowTab(4);
    CKolumoVorschau2D(dialog_.m_data).Draw2D();
    Draw3D(dialog_.m_data);
    EXPECT_EQ(label2D(0), c.shown2D);
    EXPECT_EQ(label2D(1), c.shown2D);
    EXPECT_TRUE(has(labels3D(), c.shown3D));
    EXPECT_FALSE(has(labels3D(), c.kept3D));
  }
  dialog_.m_data.plot2D.RemoveAll();
  dialog_.m_data.plot3D.RemoveAll();
  for (auto& view : views) view.DestroyWindow();
  view3D.DestroyWindow();
  parent.DestroyWindow();
}

// The example with a = 1/0 on the variables page (stored 1, its leading number) and load 3 ("Decke über EG,
// ständig") given as a, its 480 kN stored beside the formula.
class FailedNameTest : public ColumnDialogTest {
 protected:
  void SetUp() override {
    ColumnDialogTest::SetUp();
    Open([](CKolumoData& d) {
      AddVariable(d, "a", "1");
      auto& a = *d.varDefs.GetAs<CVarDefVariable>(d.varDefs.GetSize() - 1);
      a.value.m_bNumber = FALSE;
      a.value.m_strText = "1/0";
      d.DefineVariables();
      d.loads[0][2].val0 = "a";
      d.loads[0][2].val0.m_dValue = 480.0;
    });
  }
  CKolumoLoadGrid& Loads() { return dialog_.m_loadDlg.m_loadGrid; }
  static constexpr const char* kReason = "'a' hat keinen Wert: a = 1/0: Division durch Null.";
};

// The load's cell says why a has none instead of the 480.00 kN kept, underlined as the expression it is; a typed
// into another load's value is refused with the same words. The variable's own cell says why its formula fails.
TEST_F(FailedNameTest, TheCellSaysWhyTheNameHasNoValue) {
  ShowTab(4);
  EXPECT_EQ(Loads().GetItemText(3, L::kColValue0), kReason);
  const LOGFONT* font = Loads().GetCell(3, L::kColValue0)->GetFont();
  EXPECT_TRUE(font && font->lfUnderline);
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  TypeCell(Loads(), 4, L::kColValue0, "a*2");
  EXPECT_EQ(Boxes(), std::vector<std::string>{std::string("Last 4, Pz: ") + kReason});
  ShowTab(0);
  EXPECT_EQ(dialog_.m_varDlg.m_grid.GetItemText(1, VarDefGrid::kWert).str(), "Division durch Null.");
}

// The previews at the preview dialog's sizes: the 3D view draws the column as large as when a has a value, the
// reason beside it shortened to the room there; each side view keeps its values apart and inside it, the reason
// shortened where the edge stops it. The grid keeps the whole reason.
TEST_F(FailedNameTest, ThePreviewsKeepTheColumnAndShortenTheReason) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, "Static", "", WS_POPUP, CRect(0, 0, 900, 600), nullptr, 0));
  const SIZE side{146, 383};
  CPlotwerk2D views[2];
  CPlotwerk3D view3D;
  for (int k = 0; k < 2; ++k) {
    ASSERT_TRUE(
        views[k].Create("", WS_VISIBLE, CRect(200 * k, 0, 200 * k + side.cx, side.cy), &parent, UINT(11010 + k)));
    dialog_.m_data.plot2D.Add(&views[k]);
  }
  ASSERT_TRUE(view3D.Create("", WS_VISIBLE, CRect(600, 0, 758, 382), &parent, 11011));
  dialog_.m_data.plot3D.Add(&view3D);
  const std::string ellipsis = "\xE2\x80\xA6";
  const auto shortened = [&](const std::string& text) {
    const std::size_t head = text.size() - std::min(text.size(), ellipsis.size());
    return text.size() > ellipsis.size() && text.compare(head, std::string::npos, ellipsis) == 0 &&
           std::string(kReason).compare(0, head, text, 0, head) == 0;
  };
  const auto draw = [&] {
    CKolumoVorschau2D(dialog_.m_data).Draw2D();
    Draw3D(dialog_.m_data);
    return plotwerk::Control3D::FromHandle(view3D.m_hWnd)->CurrentLayout();
  };
  // The texts the 3D view gives way to: those of values that have none.
  const auto yielding = [&] {
    std::vector<std::string> texts;
    for (const auto& item : plotwerk::Control3D::FromHandle(view3D.m_hWnd)->Scene().Items())
      if (item.kind == plotwerk::Kind3D::Text && !item.v.empty() && item.v[0] != 0.0) texts.push_back(item.texts[0]);
    return texts;
  };

  ShowTab(4);
  const plotwerk::Layout3D failed = draw();
  EXPECT_EQ(layout3d::Flaws(failed, 158, 382, "Stahlbetonstütze H = 7.70 m"), "");
  EXPECT_EQ(yielding(), std::vector<std::string>{kReason});
  int reasons = 0;
  for (const auto& label : failed.labels) reasons += shortened(label.text);
  EXPECT_EQ(reasons, 1) << "the reason, shortened, beside the column";
  HDC dc = ::CreateCompatibleDC(nullptr);
  for (auto& view : views) {
    const auto& scene = plotwerk::Control2D::FromHandle(view.m_hWnd)->Scene();
    const std::vector<plotwerk::Label2D> labels = plotwerk::View2D(scene, RECT{0, 0, side.cx, side.cy}).Labels(dc);
    int reason = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const RECT& a = labels[i].box;
      EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= side.cx && a.bottom <= side.cy) << labels[i].text;
      for (std::size_t j = 0; j < i; ++j) {
        const RECT& b = labels[j].box;
        EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
            << labels[j].text << " and " << labels[i].text;
      }
      reason += shortened(labels[i].text);
    }
    EXPECT_EQ(reason, 1);
  }
  ::DeleteDC(dc);
  EXPECT_EQ(Loads().GetItemText(3, L::kColValue0), kReason);

  // a = 480: load 3 has its 480 kN again, and the column stands as it stood with the reason.
  ShowTab(0);
  TypeCell(dialog_.m_varDlg.m_grid, 1, VarDefGrid::kWert, "480");
  ShowTab(4);
  const plotwerk::Layout3D valued = draw();
  EXPECT_NEAR(failed.projection.scale, valued.projection.scale, 0.005 * valued.projection.scale);
  EXPECT_NEAR(failed.projection.x0, valued.projection.x0, 2.0);
  EXPECT_NEAR(failed.projection.y0, valued.projection.y0, 2.0);
  EXPECT_EQ(yielding(), std::vector<std::string>{});
  int values = 0;
  for (const auto& label : valued.labels) values += label.text == "480.0 kN";
  EXPECT_EQ(values, 1);

  dialog_.m_data.plot2D.RemoveAll();
  dialog_.m_data.plot3D.RemoveAll();
  for (auto& view : views) view.DestroyWindow();
  view3D.DestroyWindow();
  parent.DestroyWindow();
}

// The example with c1 = c2+1 and c2 = c1+1 on the variables page (a cycle) and load 3 ("Decke über EG, ständig")
// given as c1, its 480 kN stored beside the formula: the box when the position is read, the load's cell and both
// rows of the variables page say the cycle, never that c2, defined in the next row, is defined nowhere.
class CycleNameTest : public ColumnDialogTest {
 protected:
  void SetUp() override {
    ColumnDialogTest::SetUp();
    Open([](CKolumoData& d) {
      for (const auto& [name, formula] : {std::pair{"c1", "c2+1"}, std::pair{"c2", "c1+1"}}) {
        AddVariable(d, name, "1");
        auto& v = *d.varDefs.GetAs<CVarDefVariable>(d.varDefs.GetSize() - 1);
        v.value.m_bNumber = FALSE;
        v.value.m_strText = formula;
      }
      d.DefineVariables();
      d.loads[0][2].val0 = "c1";
      d.loads[0][2].val0.m_dValue = 480.0;
    });
  }
};

TEST_F(CycleNameTest, TheBoxTheLoadAndTheVariablesSayTheCycle) {
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  dialog_.CheckInputRead();
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("(\"Decke über EG, ständig\"): val0 = \"c1\": c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"),
            std::string::npos)
      << boxes[0];
  EXPECT_EQ(boxes[0].find("nicht definiert"), std::string::npos) << boxes[0];
  ShowTab(4);
  EXPECT_EQ(dialog_.m_loadDlg.m_loadGrid.GetItemText(3, L::kColValue0),
            "'c1' hat keinen Wert: c1 = c2+1: Zirkelbezug c1 -> c2 -> c1");
  ShowTab(0);
  EXPECT_EQ(dialog_.m_varDlg.m_grid.GetItemText(1, VarDefGrid::kWert),
            "'c2' hat keinen Wert: c2 = c1+1: Zirkelbezug c2 -> c1 -> c2");
  EXPECT_EQ(dialog_.m_varDlg.m_grid.GetItemText(2, VarDefGrid::kWert),
            "'c1' hat keinen Wert: c1 = c2+1: Zirkelbezug c1 -> c2 -> c1");
}

}  // namespace
