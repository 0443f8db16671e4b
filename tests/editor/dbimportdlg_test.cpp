// The database import dialog over a small catalogue: the tree, the values and the choice kept per entry group.
#include "editor/dbimportdlg.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/basedata.h"
#include "framework/matehandler.h"
#include "tests/editor/editor_test_util.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  SubData& Part() { return static_cast<SubData&>(GetSubData()); }
};

class SmallCatalogue : public MatCatalogue {
 public:
  void Entries(std::vector<std::string>& paths) override {
    paths = {"Beton\\Normalbeton\\EN 1992\\C25/30", "Beton\\Normalbeton\\EN 1992\\C30/37", "Profile\\HEA\\HEA 200"};
  }
  bool Values(const std::string& path, std::vector<MatValueRow>& rows, CString& title) override {
    rows.clear();
    auto row = [&](const char* n, const char* v, const char* x, const char* u) {
      MatValueRow r;
      r.name = n, r.variable = v, r.value = x, r.unit = u;
      rows.push_back(r);
    };
    if (path.rfind("Beton", 0) == 0) {
      row("Druckfestigkeit", "fck", path.back() == '0' ? "25" : "30", "N/mm²");
      row("E-Modul", "Ecm", "31000", "N/mm²");
      row("Wichte", "gamma", "25", "kN/m³");
      title = path.c_str();
      return true;
    }
    for (int i = 0; i < 35; ++i) row(("Wert " + std::to_string(i)).c_str(), "w", "1.0", "mm");
    title = "Querschnittswerte für HEA - HEA 200";
    return true;
  }
};

class DatabaseImportTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterDocumentPart();
    position = std::make_unique<Position>();
  }
  void TearDown() override {
    position.reset();
    SetDocumentPartFactory(nullptr);
    WindowTest::TearDown();
  }
  std::unique_ptr<Position> position;
  SmallCatalogue catalogue;
};

HTREEITEM Find(CTreeCtrl& tree, const std::vector<std::string>& path) {
  HTREEITEM item = nullptr;
  for (const std::string& part : path) {
    item = item ? tree.GetChildItem(item) : tree.GetRootItem();
    while (item && std::string(tree.GetItemText(item)) != part) item = tree.GetNextSiblingItem(item);
    if (!item) return nullptr;
  }
  return item;
}

// The shipped material catalogue: an entry's title names its three levels, each its own (the translations of the
// three are held at once), and its values keep their letters.
TEST(DatabaseCatalogueTest, TitleAndValuesOfAMaterial) {
  const editortest::SourceDataRoot root([] {
    GetMateHandler().OpenStandardDB(FALSE);
    GetMateHandler().OpenStandardDB(TRUE);
  });
  const struct {
    const char* path;
    const char* title;
    const char* name;  // a value's name and unit
    const char* unit;
  } cases[] = {
      {"Beton\\Normalbeton\\DIN 1045\\B 10", "Normalbeton - DIN 1045 - B 10",
       "Dehnung bei H\xc3\xb6"
       "chstspannung",
       "\xe2\x80\xb0"},
      {"Beton\\Normalbeton\\DIN 1045\\B 10", "Normalbeton - DIN 1045 - B 10", "Nennfestigkeit", "N/mm\xc2\xb2"},
  };
  std::unique_ptr<MatCatalogue> catalogue = MakeDatabaseCatalogue();
  for (const auto& c : cases) {
    std::vector<MatValueRow> rows;
    CString title;
    ASSERT_TRUE(catalogue->Values(c.path, rows, title)) << c.path;
    EXPECT_EQ(title, c.title);
    bool found = false;
    for (const MatValueRow& row : rows) found = found || (row.name == c.name && row.unit == c.unit);
    EXPECT_TRUE(found) << c.name;
  }
}

TEST_F(DatabaseImportTest, TheChoiceIsSharedByOneCodesObjectsAndKeptInTheDocument) {
  SubData& document = position->Part();
  document.lastMaterialPath = "Beton\\Normalbeton\\EN 1992";
  document.lastMaterialObject = "C30/37";
  document.pathChecks["Beton\\Normalbeton\\EN 1992"] = 0b101;
  MatDlg dlg;
  dlg.m_pDocument = &document;
  dlg.m_pCatalogue = &catalogue;
  win::script::QueueDialog([&](CDialog& d) {
    auto& m = static_cast<MatDlg&>(d);
    win::PumpMessages();
    MatGrid& g = m.Grid();
    // The remembered entry is selected with rows 0 and 2 active.
    ASSERT_EQ(g.GetRowCount(), 4);
    EXPECT_EQ(std::string(g.GetCellText(1, 3)), "30");
    EXPECT_EQ(g.GetCellCheck(1, 0) * 1 + g.GetCellCheck(2, 0) * 2 + g.GetCellCheck(3, 0) * 4, 0b101);
    EXPECT_FALSE(g.IsCellEditable(1, 1));
    editortest::SavePicture(m.m_hWnd, "database-import");
    CRect r;
    g.GetCellRect(2, 0, &r);
    win::input::Click(g.m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
    // Another object of the same code shares the mask, now 0b111.
    m.Tree().SelectItem(Find(m.Tree(), {"Beton", "Normalbeton", "EN 1992", "C25/30"}));
    win::PumpMessages();
    EXPECT_EQ(document.pathChecks["Beton\\Normalbeton\\EN 1992"], 0b111);
    EXPECT_EQ(std::string(g.GetCellText(1, 3)), "25");
    EXPECT_EQ(g.GetCellCheck(1, 0) + g.GetCellCheck(2, 0) + g.GetCellCheck(3, 0), 3);
    // An inner node shows nothing and forgets the last entry.
    m.Tree().SelectItem(Find(m.Tree(), {"Profile"}));
    win::PumpMessages();
    EXPECT_EQ(g.GetRowCount(), 1);
    EXPECT_TRUE(document.lastMaterialPath.IsEmpty());
    // A profile with 35 values: none active without a mask; row 34 may be checked but never sets a bit.
    m.Tree().SelectItem(Find(m.Tree(), {"Profile", "HEA", "HEA 200"}));
    win::PumpMessages();
    ASSERT_EQ(g.GetRowCount(), 36);
    EXPECT_EQ(g.GetCellCheck(1, 0), 0);
    g.SetCellCheck(1, 0, 1);
    g.SetCellCheck(35, 0, 1);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(std::string(document.lastMaterialPath), "Profile\\HEA");
  EXPECT_EQ(std::string(document.lastMaterialObject), "HEA 200");
  EXPECT_EQ(document.pathChecks["Profile\\HEA"], 1) << "bit 0 only: row 34 is beyond the mask";
  ASSERT_EQ(dlg.m_rows.size(), 35u);
  EXPECT_EQ(dlg.m_rows[34].active, 1) << "active while the dialog was open";
  EXPECT_EQ(std::string(dlg.m_sTitle), "Querschnittswerte für HEA - HEA 200");
}

}  // namespace
