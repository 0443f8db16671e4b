// A formula typed into the dialog stays the formula when it happens to give its leading number now: it is saved as
// typed and follows its variables afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "column_dialog_fixture.h"
#include "dialog_input.h"
#include "platform/viduv/viduv.h"

namespace {

using column_dialog_test::ColumnDialogTest;
using dialog_input::TypeCell;
using L = LoadGrid;
using V = VarDefGrid;
namespace fs = std::filesystem;

void AddVariable(CKolumoData& d, const char* name, const char* value) {
  d.varDefs.Add(CVarDefEntry::Create(CVarDefEntry::kVariable));
  auto& v = *d.varDefs.GetAs<CVarDefVariable>(d.varDefs.GetSize() - 1);
  v.varName = name;
  v.value = value;
}

// The position as saved, read afresh.
struct SavedPosition {
  explicit SavedPosition(const fs::path& path) : doc(VIDUV_OpenDoc(path.c_str())) {
    EXPECT_NE(doc, 0);
    data.doc = doc;
    data.ReadData(doc);
  }
  ~SavedPosition() { VIDUV_CloseDoc(doc); }
  int doc;
  CKolumoData data;
};

class TypedFormulaTest : public ColumnDialogTest {
 protected:
  CKolumoLoadGrid& Loads() { return dialog_.m_loadDlg.m_loadGrid; }
  V& Variables() { return dialog_.m_varDlg.m_grid; }
  fs::path path_;
};

// Load 2 ("Dach, ständig") of the example, Pz typed as 620 + zuschlag with zuschlag = 0: 620 kN now, and after
// zuschlag := 50 620 + 50 = 670 kN, in the dialog and in the position read back.
TEST_F(TypedFormulaTest, TheLoadKeepsItsFormulaAndFollowsTheVariable) {
  path_ = Open([](CKolumoData& d) {
    AddVariable(d, "zuschlag", "0");
    d.DefineVariables();
  });
  ShowTab(4);
  TypeCell(Loads(), 2, L::kColValue0, "620 + zuschlag");
  ASSERT_EQ(Loads().GetItemText(2, L::kColValue0), "620.00 kN");
  Ok();
  {
    SavedPosition saved(path_);
    EXPECT_FALSE(saved.data.loads[0][1].val0.m_bNumber);
    EXPECT_EQ(saved.data.loads[0][1].val0.m_strText, "620 + zuschlag");
  }
  ShowTab(0);
  TypeCell(Variables(), 1, V::kWert, "50");
  ShowTab(4);
  EXPECT_EQ(Loads().GetItemText(2, L::kColValue0), "670.00 kN");
  Ok();
  SavedPosition saved(path_);
  saved.data.DefineVariables();
  EXPECT_DOUBLE_EQ(saved.data.loads[0][1].val0.GetValue(), 670.0);
}

// On the variables page: a = 1/(qk-1) typed with qk = 2 gives 1 and stays 1/(qk-1): qk := 3 gives 1/2, the load
// a*480 240 kN. And a = 1/(qk-2) typed with qk = 3 gives 1; after qk := 2 its definition fails (a division by zero),
// and OK names the load a*480 with that failure instead of taking 1 x 480 = 480 kN.
TEST_F(TypedFormulaTest, AVariableKeepsItsFormula) {
  const struct {
    const char* formula;
    const char* qkBefore;
    const char* qkAfter;
    double aAfter;  // 0: the definition fails
  } cases[] = {
      {"1/(qk-1)", "2", "3", 0.5},
      {"1/(qk-2)", "3", "2", 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formula);
    path_ = Open([](CKolumoData& d) {
      AddVariable(d, "qk", "2");
      AddVariable(d, "a", "0");
      d.DefineVariables();
      d.loads[0][1].val0 = "a*480";
    });
    ShowTab(0);
    TypeCell(Variables(), 1, V::kWert, c.qkBefore);
    TypeCell(Variables(), 2, V::kWert, c.formula);
    ShowTab(4);
    ASSERT_EQ(Loads().GetItemText(2, L::kColValue0), "480.00 kN");
    Ok();
    {
      SavedPosition saved(path_);
      auto* a = saved.data.varDefs.GetAs<CVarDefVariable>(saved.data.varDefs.GetSize() - 1);
      ASSERT_NE(a, nullptr);
      EXPECT_FALSE(a->value.m_bNumber);
      EXPECT_EQ(std::string(a->value.m_strText), c.formula);
    }

    ShowTab(0);
    TypeCell(Variables(), 1, V::kWert, c.qkAfter);
    ShowTab(4);
    const std::string shown = Loads().GetItemText(2, L::kColValue0).str();
    if (c.aAfter > 0) {
      EXPECT_EQ(shown, "240.00 kN");
    } else {
      win::msgbox::ClearLog();
      win::msgbox::QueueAnswer(IDOK);
      dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
      const std::vector<std::string> boxes = Boxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_NE(
          boxes[0].find("Last 2 (\"Dach, st\xc3\xa4ndig\"): val0 = \"a*480\": a = 1/(qk-2): Division durch Null."),
          std::string::npos)
          << boxes[0];
    }
  }
}

}  // namespace
