// The system page: a position passes through it unchanged, typed lengths, supports and sections reach the data
// and stay with their construction stage, and the grade lists follow the design code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "column_ui/kolumodlg.h"
#include "column_ui/fundamentdlg.h"
#include "column_ui/querschnittdlg.h"
#include "framework/matehandler.h"
#include "platform/viduv/viduv.h"
#include "platform/win/headless.h"
#include "platform/win/wintest.h"
#include "tests/column/column_test_support.h"

namespace {

namespace fs = std::filesystem;
using G = StabSysGrid;

// The system page lists the grades of the material catalogue, which the installation root holds.
class InstallRoot : public testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "column-ui-root-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    ::setenv("KOLUMO_ROOT", column_test::MakeInstallRoot(folder_, KOLUMO_SOURCE_DIR "/data").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder_); }

 private:
  fs::path folder_;
};
testing::Environment* const kInstallRoot = testing::AddGlobalTestEnvironment(new InstallRoot);  // gtest owns it

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class SystemPageTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "column-system-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    ASSERT_TRUE(host_.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 0, 0, 1040, 300, nullptr, nullptr));
    ASSERT_TRUE(dialog_.Create(CKolumoDlg::IDD, &host_));
    dialog_.SetWindowPos(nullptr, 0, 0, 1040, 300, SWP_NOZORDER);
    dialog_.ShowWindow(SW_SHOW);
    const fs::path path = folder_ / "position.tqx";
    fs::copy_file(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx", path);
    path_ = path;
    doc_ = VIDUV_OpenDoc(path.c_str());
    ASSERT_NE(doc_, 0);
    dialog_.m_data.SetDefaults();
    dialog_.m_data.doc = doc_;
    dialog_.m_data.ReadData(doc_);
    dialog_.ExchangeData(FALSE);
    ShowTab(2);
  }
  void TearDown() override {
    dialog_.DestroyWindow();
    host_.DestroyWindow();
    if (doc_) VIDUV_CloseDoc(doc_);
    fs::remove_all(folder_);
    WindowTest::TearDown();
  }
  void ShowTab(int tab) {
    dialog_.GetTabCtrl().SetCurSel(tab);
    dialog_.OnPageChange();
  }
  void SelectStage(int stage) {
    dialog_.GetStageBox().SetCurSel(stage);
    dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(CKolumoDlg::kIdStage, CBN_SELCHANGE),
                        LPARAM(dialog_.GetStageBox().m_hWnd));
  }
  void Ok() {
    dialog_.ExchangeData(TRUE);
    dialog_.m_data.WriteData(doc_);
    ASSERT_TRUE(VIDUV_SaveDoc(doc_));
  }
  CKolumoSysGrid& Grid() { return dialog_.m_sysDlg.m_grid; }
  CKolumoSysMateGrid& Grades() { return dialog_.m_sysDlg.m_mateGrid; }
  void Type(COrmiGridCtrl& g, int row, int col, const std::string& text) {
    g.SetFocusCell(row, col);
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type(text);
    g.EndEditing();
    win::PumpMessages();
  }
  void Toggle(COrmiGridCtrl& g, int row, int col) {
    g.SetFocusCell(row, col);
    win::input::Key(VK_SPACE);
    win::PumpMessages();
  }
  void PickGrade(int row, int steps) {
    Grades().SetFocusCell(row, 1);
    win::input::Key(VK_F2);
    win::PumpMessages();
    for (int i = 0; i < steps; ++i) win::input::Key(VK_DOWN);
    win::input::Key(VK_RETURN);
    win::PumpMessages();
  }
  CStringArray Options(int row) {
    CStringArray options;
    Grades().GetComboOptions(row, 1, options);
    return options;
  }

  fs::path folder_, path_;
  int doc_ = 0;
  CWnd host_;
  CKolumoDlg dialog_;
};

TEST_F(SystemPageTest, ExampleRoundTripsByteForByte) {
  const std::string before = FileBytes(path_);
  ASSERT_GT(dialog_.m_data.nFields(), 0);
  EXPECT_EQ(Grid().FieldCount(), dialog_.m_data.nFields());
  Ok();
  EXPECT_EQ(FileBytes(path_), before);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(SystemPageTest, TypedLengthsAndNewFieldsReachTheData) {
  CKolumoData& d = dialog_.m_data;
  const int fields = d.nFields();
  d.querschnitte[fields - 1].bx = 42.0;
  dialog_.ExchangeData(FALSE);
  // Field 1 is row 2; the decimal comma reads as a point.
  Type(Grid(), 2, G::kColLength, "3,75");
  EXPECT_DOUBLE_EQ(d.fieldLengths[0].GetValue(), 3.75);
  // The empty row below the last field adds one, with the last field's section.
  Type(Grid(), fields + 2, G::kColLength, "1.5");
  ASSERT_EQ(d.nFields(), fields + 1);
  EXPECT_DOUBLE_EQ(d.fieldLengths[fields].GetValue(), 1.5);
  EXPECT_DOUBLE_EQ(d.querschnitte[fields].bx.GetValue(), 42.0);
  // The foot is the new last support: rigid vertically, the former foot free.
  EXPECT_DOUBLE_EQ(d.supports[0][fields + 1].cz.GetValue(), -1.0);
  EXPECT_DOUBLE_EQ(d.supports[0][fields].cz.GetValue(), 0.0);
  // A length of 0 in the last field removes it again.
  Type(Grid(), fields + 2, G::kColLength, "0");
  EXPECT_EQ(d.nFields(), fields);
}

TEST_F(SystemPageTest, SectionButtonEditsItsFieldAndCancelKeepsIt) {
  CKolumoData& d = dialog_.m_data;
  const double before = d.querschnitte[0].bx.GetValue();
  win::script::QueueDialogAnswer(IDCANCEL);
  Grid().OnButtonClick(2, G::kColSection);
  EXPECT_DOUBLE_EQ(d.querschnitte[0].bx.GetValue(), before);
  win::script::QueueDialog([](CDialog& dlg) {
    auto& q = static_cast<CKolumoQuerDlg&>(dlg);
    q.m_grid.SetFocusCell(2, 1);
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type("38");
    q.m_grid.EndEditing();
    win::PumpMessages();
    win::input::ClickCenter(dlg.GetDlgItem(IDOK)->m_hWnd);
  });
  Grid().OnButtonClick(2, G::kColSection);
  EXPECT_DOUBLE_EQ(d.querschnitte[0].bx.GetValue(), 38.0);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(SystemPageTest, SupportTypedInOneStageSurvivesAStageSwitch) {
  CKolumoData& d = dialog_.m_data;
  const int head = 1, cx = G::kColCx;
  const double final0 = d.supports[0][0].cx.GetValue();
  SelectStage(2);
  const int before = Grid().GetCellCheck(head, cx);
  Toggle(Grid(), head, cx);
  ASSERT_NE(Grid().GetCellCheck(head, cx), before);
  SelectStage(0);
  EXPECT_DOUBLE_EQ(d.supports[0][0].cx.GetValue(), final0) << "the final system is untouched";
  EXPECT_EQ(Grid().GetCellCheck(head, cx) != 0, final0 != 0.0);
  SelectStage(2);
  EXPECT_NE(Grid().GetCellCheck(head, cx), before);
  EXPECT_EQ(d.supports[2][0].cx.GetValue() != 0.0, before == 0);
}

// Whatever the boxes said, the column stands on its foot: cz rigid there (-1) and free (0) everywhere else.
TEST_F(SystemPageTest, OnlyTheFootCarriesVertically) {
  CKolumoData& d = dialog_.m_data;
  const int foot = d.nFields();
  for (int k = 0; k <= foot; ++k) d.supports[0][k].cz = k == foot ? 0.0 : -1.0;
  dialog_.ExchangeData(FALSE);
  dialog_.ExchangeData(TRUE);
  for (int k = 0; k <= foot; ++k) EXPECT_DOUBLE_EQ(d.supports[0][k].cz.GetValue(), k == foot ? -1.0 : 0.0) << k;
}

// Deleting field 1 moves field 2's section up; copying field 1 puts a copy of its section after it.
TEST_F(SystemPageTest, ContextMenuMovesTheSectionsWithTheirFields) {
  CKolumoData& d = dialog_.m_data;
  ASSERT_GE(d.nFields(), 2);
  const int fields = d.nFields();
  d.querschnitte[0].bx = 31.0;
  d.querschnitte[1].bx = 47.0;
  dialog_.ExchangeData(FALSE);
  Grid().OnCellContextMenu(2, G::kColLength, G::kCmdCopy);
  ASSERT_EQ(d.nFields(), fields + 1);
  const double copied[] = {31.0, 31.0, 47.0};
  for (int f = 0; f < 3; ++f) EXPECT_DOUBLE_EQ(d.querschnitte[f].bx.GetValue(), copied[f]) << f;
  Grid().OnCellContextMenu(2, G::kColLength, G::kCmdDelete);
  Grid().OnCellContextMenu(2, G::kColLength, G::kCmdDelete);
  ASSERT_EQ(d.nFields(), fields - 1);
  EXPECT_DOUBLE_EQ(d.querschnitte[0].bx.GetValue(), 47.0);
}

// The foundation button opens the restraint dialog on the data's values; cancelling keeps them.
TEST_F(SystemPageTest, FoundationButtonOpensTheRestraintDialog) {
  CKolumoData& d = dialog_.m_data;
  d.bx = 1.2345678;
  bool opened = false;
  win::script::QueueDialog([&](CDialog& dlg) {
    auto* fund = dynamic_cast<CPyloFundDlg*>(&dlg);
    ASSERT_NE(fund, nullptr);
    opened = true;
    EXPECT_EQ(fund->m_bx, "1.23");  // two decimals
    win::input::ClickCenter(dlg.GetDlgItem(IDCANCEL)->m_hWnd);
  });
  win::input::ClickCenter(dialog_.m_sysDlg.GetDlgItem(CKolumoSysDlg::kIdFundament)->m_hWnd);
  win::PumpMessages();
  EXPECT_TRUE(opened);
  EXPECT_EQ(d.bx, 1.2345678);
}

TEST_F(SystemPageTest, FootSpringDropsTheFoundationRestraint) {
  CKolumoData& d = dialog_.m_data;
  const int foot = d.nFields();
  d.supports[0][foot].cmx = 5000.0;
  d.cmy = 1.0, d.cx = 0.05, d.FudPos = 1;
  dialog_.ExchangeData(FALSE);
  win::msgbox::QueueAnswer(IDOK);
  dialog_.ExchangeData(TRUE);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("Fundamenteinspannung wird gelöscht"), std::string::npos);
  EXPECT_EQ(d.cmy, 0.0);
  EXPECT_EQ(d.cx, 0.0);
  EXPECT_EQ(d.FudPos, 0);
  EXPECT_DOUBLE_EQ(d.supports[0][foot].cmx.GetValue(), 5000.0);
}

TEST_F(SystemPageTest, GradeListsFollowTheCodeAndKeepAnUnlistedGrade) {
  CKolumoData& d = dialog_.m_data;
  const struct {
    int norm;
    const char* list;
  } codes[] = {{0, "DIN 1045-I"}, {2, "SIA 262:2003"}, {10, "EC2 NA (DE)"}};
  for (const auto& c : codes) {
    SCOPED_TRACE(c.list);
    d.iNorm = c.norm;
    ShowTab(1);
    ShowTab(2);
    // The catalogue's own list for the code, without its empty priority slots.
    for (auto [row, kat, ukat] : {std::tuple{int(CKolumoSysMateGrid::kRowBeton), "Beton", "Normalbeton"},
                                  std::tuple{int(CKolumoSysMateGrid::kRowStahl), "Stahl", "Betonstahl"}}) {
      CStringArray catalogue, expected;
      GetMateHandler().GetObjekte(kat, ukat, c.list, catalogue);
      for (const CString& name : catalogue)
        if (!name.IsEmpty()) expected.Add(name);
      const CStringArray shown = Options(row);
      ASSERT_GT(shown.GetSize(), 0) << kat;
      ASSERT_EQ(shown.GetSize(), expected.GetSize()) << kat;
      for (INT_PTR i = 0; i < shown.GetSize(); ++i) EXPECT_EQ(shown[i], expected[i]) << kat;
    }
  }
  // A grade the list lacks shows the first entry but stays stored.
  d.sBeton = "C999/1000";
  dialog_.ExchangeData(FALSE);
  EXPECT_EQ(Grades().GetComboIndex(CKolumoSysMateGrid::kRowBeton, 1), 0);
  dialog_.ExchangeData(TRUE);
  EXPECT_EQ(d.sBeton, "C999/1000");
  // Picking one stores its name.
  PickGrade(CKolumoSysMateGrid::kRowBeton, 2);
  const CStringArray options = Options(CKolumoSysMateGrid::kRowBeton);
  EXPECT_EQ(d.sBeton, options[Grades().GetComboIndex(CKolumoSysMateGrid::kRowBeton, 1)]);
  EXPECT_NE(d.sBeton, "C999/1000");
}

}  // namespace
