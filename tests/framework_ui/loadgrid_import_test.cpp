// The load grid's value import: a value taken over from another position lands in the position's variable
// definitions, and the clicked number cell refers to it by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/basedata.h"
#include "framework_ui/loadgrid.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"
#include "transfer/importdlg.h"

namespace {

namespace fs = std::filesystem;

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
};

class ImportingGrid : public LoadGrid {
 public:
  int imported = 0;
  void OnValueImported() override { ++imported; }
};

class LoadGridImportTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // An empty project folder: the dialog lists no position of its own.
    std::string pattern = (fs::temp_directory_path() / "loadgrid-import-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    previous_ = fs::current_path();
    fs::current_path(folder_);
    ASSERT_TRUE(parent_.CreateEx(0, nullptr, "Lasten", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 260, nullptr, nullptr));
    for (int& allowed : grid_.allowedTypes) allowed = 1;
    grid_.numericActions = 1;
    grid_.importTarget = &position_;
    ASSERT_TRUE(grid_.Create(CRect(5, 5, 1195, 255), &parent_, 2));
    grid_.Layout();
    grid_.SetLoadCount(1);
    Load& load = grid_.loads[0];
    load.SetVariableStore(&position_.variables);
    load.lc = 1, load.ltype = 8, load.bHasDirection = 1, load.direction = 2, load.val0 = 100.0;
    load.desc = "Auflager";
    grid_.UpdateGrid(FALSE);
    win::PumpMessages();
  }
  void TearDown() override {
    grid_.DestroyWindow();
    parent_.DestroyWindow();
    fs::current_path(previous_);
    fs::remove_all(folder_);
    WindowTest::TearDown();
  }
  // Right click on the cell and "Lastübernahme"; the dialog ends with `answer` and, on OK, the record chosen.
  void Import(int col, INT_PTR answer) {
    win::script::QueueDialog([answer](CDialog& d) {
      auto& dialog = static_cast<DlgSimpleImportVal&>(d);
      dialog.m_chosen.varPath = "Pos1\\Auflager3\\max Az";
      dialog.m_chosen.varName = "Pos1_max_Az";
      dialog.m_chosen.desc = "max Az";
      dialog.m_chosen.value = 1127.8;
      dialog.m_chosen.unit = "kN";
      d.EndDialog(int(answer));
    });
    CRect cell;
    ASSERT_TRUE(grid_.GetCellRect(1, col, &cell));
    win::script::QueueMenuItem("Lastübernahme");
    win::input::Click(grid_.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
    win::PumpMessages();
  }

  fs::path folder_, previous_;
  CWnd parent_;
  Position position_;
  ImportingGrid grid_;
};

TEST_F(LoadGridImportTest, TheTakenValueBecomesAVariableAndTheCellRefersToIt) {
  const int definitions = position_.varDefs.GetSize();
  Import(LoadGrid::kColValue0, IDOK);
  EXPECT_GT(position_.varDefs.GetSize(), definitions);
  CFormulaNumber& value = grid_.loads[0].val0;
  EXPECT_FALSE(value.m_bNumber);
  EXPECT_EQ(value.GetText(), "Pos1_max_Az");
  EXPECT_NEAR(value.GetValue(), 1127.8, 1e-9);
  EXPECT_EQ(grid_.imported, 1);
}

TEST_F(LoadGridImportTest, CancelChangesNothing) {
  const int definitions = position_.varDefs.GetSize();
  Import(LoadGrid::kColValue0, IDCANCEL);
  EXPECT_EQ(position_.varDefs.GetSize(), definitions);
  EXPECT_TRUE(grid_.loads[0].val0.m_bNumber);
  EXPECT_DOUBLE_EQ(grid_.loads[0].val0.GetValue(), 100.0);
  EXPECT_EQ(grid_.imported, 0);
}

// Without a target the menu has no import; the text cells never offer it.
TEST_F(LoadGridImportTest, OnlyNumberCellsOfAGridWithATargetOfferTheImport) {
  const struct {
    bool target;
    int col;
    bool offered;
  } cases[] = {{true, LoadGrid::kColValue0, true},
               {true, LoadGrid::kColOffset, true},
               {true, LoadGrid::kColText, false},
               {false, LoadGrid::kColValue0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "target " << c.target << " column " << c.col);
    grid_.importTarget = c.target ? &position_ : nullptr;
    grid_.UpdateGrid(FALSE);
    win::script::ClearLog();
    CRect cell;
    ASSERT_TRUE(grid_.GetCellRect(1, c.col, &cell));
    win::script::QueueMenuCommand(0);
    win::input::Click(grid_.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
    win::PumpMessages();
    ASSERT_FALSE(win::script::Log().empty());
    const std::string items = win::script::Log().back().caption;
    EXPECT_NE(items.find("Last löschen"), std::string::npos) << items;
    const bool offered = items.find("Lastübernahme") != std::string::npos;
    EXPECT_EQ(offered, c.offered);
  }
}

}  // namespace
