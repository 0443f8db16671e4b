// Tree paths, the value-import dialogs and the lost-references dialog: what ends up in the variable definitions,
// which tree items a path reaches, and what a lost source leaves behind.
#include "transfer/importdlg.h"

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "formula/exportvalue.h"
#include "framework/progdb.h"
#include "framework/treepath.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  void DefineVariables() override {
    ++defined;
    BaseData::DefineVariables();
  }
  int defined = 0;
};

void SavePicture(const char* name, CWnd& wnd) {
  if (const char* dir = std::getenv("KOLUMO_PICTURES"))
    win::SaveWindowPng(wnd.m_hWnd, std::string(dir) + "/" + name + ".png");
}

// The tree's items as lines, children indented by two blanks.
std::vector<std::string> Lines(CTreeCtrl& tree) {
  std::vector<std::string> lines;
  std::function<void(HTREEITEM, std::string)> walk = [&](HTREEITEM item, std::string indent) {
    for (; item; item = tree.GetNextSiblingItem(item)) {
      lines.push_back(indent + tree.GetItemText(item).str());
      walk(tree.GetChildItem(item), indent + "  ");
    }
  };
  walk(tree.GetRootItem(), "");
  return lines;
}

// A scratch project folder that is the current folder while the test runs.
class ImportTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterImportDialogs();
    folder_ = fs::temp_directory_path() / ("import-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    previous_ = fs::current_path();
    fs::current_path(folder_);
    parent_.CreateEx(0, "Static", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
  }
  void TearDown() override {
    parent_.DestroyWindow();
    fs::current_path(previous_);
    fs::remove_all(folder_);
    GetVarDefServices().showLostValues = nullptr;
    WindowTest::TearDown();
  }
  // A position file whose exports hold the given values as "folder\...\desc=varName:value" texts.
  static void WriteExports(const std::string& file, const std::vector<std::string>& values) {
    int doc = VIDUV_CreateDoc(file.c_str());
    int root = VIDUV_GetRootElement(doc);
    int exports = VIDUV_AddChildElement(root, "exports");
    for (const std::string& spec : values) {
      std::string path = spec.substr(0, spec.find('='));
      std::string rest = spec.substr(spec.find('=') + 1);
      int parent = exports;
      std::size_t start = 0;
      for (std::size_t slash; (slash = path.find('\\', start)) != std::string::npos; start = slash + 1) {
        std::string folder = path.substr(start, slash - start);
        int found = VIDUV_FindFirstChildWithAttr(parent, "desc", folder.c_str());
        if (!found) {
          found = VIDUV_AddChildElement(parent, "folder");
          VIDUV_SetString(found, "desc", folder.c_str());
        }
        parent = found;
      }
      int value = VIDUV_AddChildElement(parent, "value");
      VIDUV_SetString(value, "desc", path.substr(start).c_str());
      VIDUV_SetString(value, "varName", rest.substr(0, rest.find(':')).c_str());
      VIDUV_SetDouble(value, "val", std::atof(rest.substr(rest.find(':') + 1).c_str()));
      VIDUV_SetString(value, "unit", "kN");
    }
    VIDUV_SaveDoc(doc);
    VIDUV_CloseDoc(doc);
  }
  static ImportData Record(const char* path, const char* name, double value) {
    ImportData record;
    record.varPath = path;
    record.varName = name;
    record.value = value;
    record.unit = "kN";
    return record;
  }

  fs::path folder_;
  fs::path previous_;
  CWnd parent_;
};

// --- tree paths ---

class TreePathTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES, CRect(0, 0, 200, 300), &parent_, 1);
  }
  HTREEITEM Insert(const char* path) {
    HTREEITEM item = nullptr;
    EXPECT_TRUE(TreeInsertPath(item, path, tree, TVI_LAST, TRUE));
    return item;
  }
  CTreeCtrl tree;
};

TEST_F(TreePathTest, InsertingReusesTheFoldersAPathShares) {
  HTREEITEM max = Insert("Auflager1\\z-z\\max Az");
  HTREEITEM min = Insert("Auflager1\\z-z\\min Az");
  Insert("Auflager2\\N");
  EXPECT_EQ(tree.GetItemText(max), "max Az");
  EXPECT_EQ(tree.GetParentItem(max), tree.GetParentItem(min));
  EXPECT_EQ(Lines(tree),
            (std::vector<std::string>{"Auflager1", "  z-z", "    max Az", "    min Az", "Auflager2", "  N"}));
  EXPECT_EQ(Insert("auflager1\\Z-Z\\MAX AZ"), max);  // found without regard to case: nothing new
  EXPECT_EQ(tree.GetCount(), 6u);
  HTREEITEM none = max;
  EXPECT_FALSE(TreeInsertPath(none, "", tree, TVI_LAST, TRUE));
  EXPECT_EQ(none, nullptr);
  CString path;
  ASSERT_TRUE(TreeGetItemPath(path, min, tree));
  EXPECT_EQ(path, "Auflager1\\z-z\\min Az");
}

TEST_F(TreePathTest, FindingComparesCaseOnlyWhenAsked) {
  HTREEITEM zz = tree.GetParentItem(Insert("Auflager1\\z-z\\max Az"));
  struct Case {
    HTREEITEM start;
    const char* path;
    BOOL noCase;
    HTREEITEM expected;
  } cases[] = {
      {nullptr, "auflager1\\Z-Z", TRUE, zz},
      {nullptr, "auflager1\\Z-Z", FALSE, nullptr},
      {nullptr, "Auflager1\\z-z", FALSE, zz},
      {tree.GetRootItem(), "z-z", FALSE, zz},  // below a start item
      {nullptr, "z-z", FALSE, nullptr},        // not at the top level
      {nullptr, "Auflager1\\z-z\\max", FALSE, nullptr},
  };
  for (const Case& c : cases) {
    HTREEITEM found = reinterpret_cast<HTREEITEM>(1);
    EXPECT_EQ(TreeFindPath(found, c.start, c.path, tree, c.noCase), c.expected != nullptr) << c.path;
    EXPECT_EQ(found, c.expected) << c.path;
  }
}

TEST_F(TreePathTest, SelectingAMissingPathSelectsTheFirstVisibleItemAndNoWindowFails) {
  HTREEITEM leaf = Insert("A\\B\\C");
  HTREEITEM out = nullptr;
  EXPECT_TRUE(TreeSelectPath(out, "a\\b\\c", tree, TRUE));
  EXPECT_EQ(out, leaf);
  EXPECT_EQ(tree.GetSelectedItem(), leaf);
  EXPECT_FALSE(TreeSelectPath(out, "A\\X", tree, TRUE));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(tree.GetSelectedItem(), tree.GetFirstVisibleItem());
  CTreeCtrl noWindow;
  EXPECT_FALSE(TreeInsertPath(out, "A", noWindow, TVI_LAST, TRUE));
  CString path = "x";
  EXPECT_FALSE(TreeGetItemPath(path, leaf, noWindow));
  EXPECT_TRUE(path.IsEmpty());
}

// --- names and entries ---

TEST(ImportNames, VariableNamesAreLegalAndNeverStartWithADigit) {
  struct Case {
    const char* file;
    const char* source;
    const char* expected;
  } cases[] = {
      {"Pos1.tqx", "Az", "Pos1_Az"},
      {"12a.TQX", "max Az", "P_12a_max_Az"},
      {"proj\\Stütze 1.tqx", "N-x", "St_tze_1_N_x"},
      {"Pos1.tqx", "", "Pos1_"},
  };
  for (const Case& c : cases) EXPECT_EQ(ImportSourceView::MakeVarName(c.file, c.source), c.expected) << c.file;
}

TEST(ImportEntries, AHeadingComesOnlyBeforeTheFirstValueOfAListWithoutOne) {
  RegisterImportData();
  CVarDefList empty;
  AddImportEntry(empty, ImportData());
  ASSERT_EQ(empty.GetSize(), 1);  // an empty list gets no heading
  EXPECT_NE(empty.GetAs<CVarDefWertUebernahme>(0), nullptr);

  CVarDefList list;
  list.Add(CVarDefEntry::Create(CVarDefEntry::kVariable));
  ImportData first;
  first.varPath = "Pos1\\Auflager1\\max Az";
  first.value = 10.0;
  AddImportEntry(list, first);
  ASSERT_EQ(list.GetSize(), 3);
  ASSERT_NE(list.GetAs<CVarDefUeberschrift>(1), nullptr);
  EXPECT_EQ(list.GetAs<CVarDefUeberschrift>(1)->title, "Lastübernahmen");
  // The same reference in another case is the same entry: updated, not added.
  first.varPath = "POS1\\auflager1\\max Az";
  first.value = 12.5;
  AddImportEntry(list, first);
  ASSERT_EQ(list.GetSize(), 3);
  EXPECT_DOUBLE_EQ(list.GetAs<CVarDefWertUebernahme>(2)->GetImport().value, 12.5);
  // A second value: no second heading.
  first.varPath = "Pos1\\Auflager1\\min Az";
  AddImportEntry(list, first);
  EXPECT_EQ(list.GetSize(), 4);
  EXPECT_NE(list.GetAs<CVarDefWertUebernahme>(3), nullptr);
}

// --- the value-import dialog ---

TEST_F(ImportTest, TakingReleasingAndRemovingChangeOnlyTheirOwnEntries) {
  WriteExports("Pos1.tqx",
               {"Auflager1\\z-z\\max Az=Az:120.5", "Auflager1\\z-z\\min Az=Azmin:80.25", "Auflager1\\N=N:5"});
  Position position;
  CVarDefList& defs = position.varDefs;
  auto variable = std::make_unique<CVarDefVariable>();
  variable->varName = "h";
  defs.Add(std::move(variable));
  // One value taken earlier from a position that no longer exists keeps its place; "Alt" is not in Pos1.
  AddImportEntry(defs, Record("Pos1\\Alt", "Pos1_Alt", 3.0));
  defs.Add(CVarDefEntry::Create(CVarDefEntry::kFreierText));
  ASSERT_EQ(defs.GetSize(), 4);  // variable, heading, old value, text

  DlgImportVal dialog(&parent_);
  dialog.SetPosition(&position);
  win::script::QueueDialog([&](CDialog& d) {
    // The last taken value names the position shown; the missing one is in the grid, not in the tree.
    EXPECT_EQ(dialog.m_view.shownFile, "Pos1.tqx");
    EXPECT_EQ(Lines(dialog.m_tree), (std::vector<std::string>{"Auflager1", "  N [kN] =   5.00", "  z-z",
                                                              "    max Az [kN] = 120.50", "    min Az [kN] =  80.25"}));
    ASSERT_EQ(dialog.m_grid.Records().GetSize(), 1);
    HTREEITEM folder = nullptr;
    ASSERT_TRUE(TreeFindPath(folder, nullptr, "Auflager1\\z-z", dialog.m_tree, FALSE));
    dialog.m_tree.SelectItem(folder);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_IMPORT_TAKE, BN_CLICKED), 0);
    // A folder takes both values below it, named after the position.
    ASSERT_EQ(dialog.m_grid.Records().GetSize(), 3);
    EXPECT_EQ(dialog.m_grid.GetItemText(2, 1), "Pos1_Az");
    EXPECT_EQ(dialog.m_grid.GetItemText(3, 2), "80.25 kN");
    // Taking again does nothing; the edited name is what OK stores.
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_IMPORT_TAKE, BN_CLICKED), 0);
    EXPECT_EQ(dialog.m_grid.Records().GetSize(), 3);
    dialog.m_grid.SetCellText(2, 1, "Amax");
    // Releasing "min Az" removes only its row.
    HTREEITEM min = nullptr;
    ASSERT_TRUE(TreeFindPath(min, folder, "min Az [kN] =  80.25", dialog.m_tree, FALSE));
    dialog.m_tree.SelectItem(min);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_IMPORT_RELEASE, BN_CLICKED), 0);
    EXPECT_EQ(dialog.m_grid.Records().GetSize(), 2);
    EXPECT_EQ(dialog.m_grid.GetItemText(2, 1), "Amax");
    SavePicture("import-values", d);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(position.defined, 1);
  // The new value goes right after the last taken one, before the text; no second heading.
  ASSERT_EQ(defs.GetSize(), 5);
  EXPECT_EQ(defs.GetAs<CVarDefVariable>(0)->varName, "h");
  EXPECT_NE(defs.GetAs<CVarDefUeberschrift>(1), nullptr);
  EXPECT_EQ(defs.GetAs<CVarDefWertUebernahme>(2)->GetImport().varName, "Pos1_Alt");
  EXPECT_NE(defs.GetAs<CVarDefFreierText>(4), nullptr);
  ASSERT_NE(defs.GetAs<CVarDefWertUebernahme>(3), nullptr);
  const CImportRecord& taken = defs.GetAs<CVarDefWertUebernahme>(3)->GetImport();
  EXPECT_EQ(taken.varPath, "Pos1\\Auflager1\\z-z\\max Az");
  EXPECT_EQ(taken.varName, "Amax");
  EXPECT_DOUBLE_EQ(taken.value, 120.5);

  // Removing the old value through the grid's menu drops that entry only.
  DlgImportVal again(&parent_);
  again.SetPosition(&position);
  win::script::QueueDialog([&](CDialog& d) {
    ASSERT_EQ(again.m_grid.Records().GetSize(), 2);
    again.m_grid.OnCellContextMenu(1, 0, 1);
    ASSERT_EQ(again.m_grid.Records().GetSize(), 1);
    EXPECT_EQ(again.m_grid.GetItemText(1, 1), "Amax");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(again.DoModal(), IDOK);
  ASSERT_EQ(defs.GetSize(), 4);
  EXPECT_EQ(defs.GetAs<CVarDefVariable>(0)->varName, "h");
  ASSERT_NE(defs.GetAs<CVarDefWertUebernahme>(2), nullptr);
  EXPECT_EQ(defs.GetAs<CVarDefWertUebernahme>(2)->GetImport().varName, "Amax");
  EXPECT_NE(defs.GetAs<CVarDefFreierText>(3), nullptr);
  EXPECT_EQ(position.defined, 2);
}

// A value the source exports as failed is shown with why (its backslashes as slashes, so that the tree makes no
// folders of them), never with a number; taken, its row in the grid says why, and OK takes it with its failure.
TEST_F(ImportTest, AValueTheSourceExportsAsFailedIsShownWithWhy) {
  const std::string why = "b = EX\\c: Definition in EX fehlgeschlagen: c = 1/0: Division durch Null.";
  {
    const int doc = VIDUV_CreateDoc("Pos1.tqx");
    const int exports = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
    AddExportedValue(exports, "b", "b", 777.0, "kN", why.c_str());
    AddExportedValue(exports, "g", "g", 620.0, "kN", nullptr);
    ASSERT_TRUE(VIDUV_SaveDoc(doc));
    VIDUV_CloseDoc(doc);
  }
  Position position;
  CVarDefList& defs = position.varDefs;
  AddImportEntry(defs, Record("Pos1\\g", "Pos1_g", 620.0));
  DlgImportVal dialog(&parent_);
  dialog.SetPosition(&position);
  win::script::QueueDialog([&](CDialog& d) {
    EXPECT_EQ(Lines(dialog.m_tree),
              (std::vector<std::string>{"b [kN] = b = EX/c: Definition in EX fehlgeschlagen: c = 1/0: Division durch "
                                        "Null.",
                                        "g [kN] = 620.00"}));
    HTREEITEM failed = nullptr;
    ASSERT_TRUE(TreeFindPath(failed, nullptr,
                             "b [kN] = b = EX/c: Definition in EX fehlgeschlagen: c = 1/0: Division "
                             "durch Null.",
                             dialog.m_tree, FALSE));
    dialog.m_tree.SelectItem(failed);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_IMPORT_TAKE, BN_CLICKED), 0);
    ASSERT_EQ(dialog.m_grid.Records().GetSize(), 2);
    EXPECT_EQ(dialog.m_grid.GetItemText(2, 2).str(), why);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  const CVarDefWertUebernahme* taken = nullptr;
  for (int i = 0; i < defs.GetSize(); ++i)
    if (auto* entry = defs.GetAs<CVarDefWertUebernahme>(i); entry && entry->GetImport().varName == "Pos1_b")
      taken = entry;
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->GetImport().failure.str(), why);
}

// The list offers the positions whose program the installation knows, by name without regard to case, each with
// its program's name and icon; the suite's variables position goes by the suite's name.
TEST_F(ImportTest, ThePositionListNamesEachKnownPositionsProgram) {
  fs::create_directories(folder_ / "root" / "pi");
  fs::copy_file(KOLUMO_SOURCE_DIR "/data/pi/kolumo.pi", folder_ / "root" / "pi" / "kolumo.pi");
  std::ofstream(folder_ / "root" / "pi" / "variablen.pi")
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root shortProgName=\"VARIABLEN\" progName=\"Variablen\" "
         "shortModuleName=\"\" moduleName=\"\" progType=\"0\" bModularisieren=\"1\" iconName=\"variablen\"><interface "
         "DLLName=\"\"/>"
         "<icon/><additionalFiles num=\"0\"/></root>\n";
  for (const auto& [file, program] : std::vector<std::pair<std::string, std::string>>{
           {"b_Stuetze.tqx", "KOLUMO"}, {"A_Werte.tqx", "VARIABLEN"}, {"C_Fremd.tqx", "UNBEKANNT"}}) {
    const int doc = VIDUV_CreateDoc(file.c_str());
    VIDUV_SetString(VIDUV_GetRootElement(doc), "progname", program.c_str());
    VIDUV_SetString(VIDUV_GetRootElement(doc), "version", "2012.01");
    ASSERT_TRUE(VIDUV_SaveDoc(doc));
    VIDUV_CloseDoc(doc);
  }
  const char* before = std::getenv("KOLUMO_ROOT");
  const std::string kept = before ? before : "";
  setenv("KOLUMO_ROOT", (folder_ / "root").c_str(), 1);
  GetProgDB().Reload();
  const auto positions = ImportSourceView::ListPositions();
  ProgDB& programs = GetProgDB();
  const int columnIcon = programs.FindProg("KOLUMO", "") ? programs.FindProg("KOLUMO", "")->icon : -2;
  const int variablesIcon = programs.FindProg("VARIABLEN", "") ? programs.FindProg("VARIABLEN", "")->icon : -2;
  if (before)
    setenv("KOLUMO_ROOT", kept.c_str(), 1);
  else
    unsetenv("KOLUMO_ROOT");
  GetProgDB().Reload();
  ASSERT_EQ(positions.size(), 2u) << "the position of an unknown program is left out";
  EXPECT_EQ(positions[0].name, "A_Werte");
  EXPECT_EQ(positions[0].program, "TQ-VERNIK");
  EXPECT_EQ(positions[0].icon, variablesIcon);
  EXPECT_EQ(positions[1].name, "b_Stuetze");
  EXPECT_EQ(positions[1].program, "TQ-Stahlbetonstütze Theorie II.Ordnung, veränderl. Querschn.");
  EXPECT_EQ(positions[1].icon, columnIcon);
  EXPECT_NE(columnIcon, variablesIcon);
}

TEST_F(ImportTest, CancelLeavesTheDefinitionsAlone) {
  WriteExports("Pos1.tqx", {"A\\x=x:1"});
  Position position;
  AddImportEntry(position.varDefs, Record("Pos1\\A\\x", "Pos1_x", 1.0));
  DlgImportVal dialog(&parent_);
  dialog.SetPosition(&position);
  win::script::QueueDialog([&](CDialog& d) {
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_IMPORT_RELEASE_ALL, BN_CLICKED), 0);
    EXPECT_EQ(dialog.m_grid.Records().GetSize(), 0);
    d.SendMessage(WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(position.varDefs.GetSize(), 1);
  EXPECT_EQ(position.defined, 0);
}

// --- the lost-references dialog ---

TEST_F(ImportTest, RemovingAFolderMarksEveryReferenceBelowIt) {
  DlgLostImportVal dialog(&parent_);
  dialog.m_texts.Add("Pos1\\Auflager1\\max Az [kN] = 1.00");
  dialog.m_texts.Add("Pos1\\Auflager1\\min Az [kN] = 2.00");
  dialog.m_texts.Add("Pos2\\N [kN] = 3.00");
  win::script::QueueDialog([&](CDialog& d) {
    EXPECT_EQ(Lines(dialog.m_tree), (std::vector<std::string>{"Pos1", "  Auflager1", "    max Az [kN] = 1.00",
                                                              "    min Az [kN] = 2.00", "Pos2", "  N [kN] = 3.00"}));
    SavePicture("import-lost", d);
    HTREEITEM folder = nullptr;
    ASSERT_TRUE(TreeFindPath(folder, nullptr, "Pos1\\Auflager1", dialog.m_tree, FALSE));
    CRect r;
    dialog.m_tree.GetItemRect(folder, &r, TRUE);
    win::input::Click(dialog.m_tree.m_hWnd, r.left + 2, r.top + 2);
    win::script::QueueMenuItem("Übernahme entfernen");
    win::input::Click(dialog.m_tree.m_hWnd, r.left + 2, r.top + 2, VK_RBUTTON);
    win::PumpMessages();
    EXPECT_EQ(Lines(dialog.m_tree), (std::vector<std::string>{"Pos2", "  N [kN] = 3.00"}));
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(dialog.m_texts[0].IsEmpty());
  EXPECT_TRUE(dialog.m_texts[1].IsEmpty());
  EXPECT_EQ(dialog.m_texts[2], "Pos2\\N [kN] = 3.00");
}

TEST_F(ImportTest, RemoveAllEndsAtOnceAndCancelKeepsEveryEntry) {
  CStringArray lines;
  lines.Add("Pos1\\A [kN] = 1.00");
  lines.Add("Pos1\\B [kN] = 2.00");
  win::script::QueueDialog(
      [](CDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOST_REMOVE_ALL, BN_CLICKED), 0); });
  CStringArray all;
  all.Copy(lines);
  ASSERT_TRUE(GetVarDefServices().showLostValues(all));
  EXPECT_TRUE(all[0].IsEmpty() && all[1].IsEmpty());
  win::script::QueueDialogAnswer(IDCANCEL);
  CStringArray kept;
  kept.Copy(lines);
  EXPECT_FALSE(GetVarDefServices().showLostValues(kept));
  EXPECT_EQ(kept[1], "Pos1\\B [kN] = 2.00");
}

// --- two positions of one folder, the first calculated by the host ---

#ifdef KOLUMO_HOST
class HostImportTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    root_ = folder_ / "root";
    fs::create_directory(root_);
    for (const auto& entry : fs::directory_iterator(KOLUMO_DATA_DIR))
      fs::create_directory_symlink(entry.path(), root_ / entry.path().filename());
    const char* old = std::getenv("KOLUMO_ROOT");
    oldRoot_ = old ? old : "";
    hadRoot_ = old != nullptr;
    ::setenv("KOLUMO_ROOT", root_.c_str(), 1);
    GetProgDB().Reload();
  }
  void TearDown() override {
    if (hadRoot_)
      ::setenv("KOLUMO_ROOT", oldRoot_.c_str(), 1);
    else
      ::unsetenv("KOLUMO_ROOT");
    GetProgDB().Reload();
    ImportTest::TearDown();
  }
  void Calculate(const char* file) {
    const std::string line = "env -u DISPLAY KOLUMO_ROOT='" + root_.string() + "' '" KOLUMO_HOST "' calc '" +
                             (folder_ / file).string() + "' >host.out 2>host.err";
    ASSERT_EQ(std::system(line.c_str()), 0) << line;
  }
  static void Replace(const fs::path& file, const std::string& from, const std::string& to) {
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    std::ofstream(file, std::ios::binary) << text;
  }
  // The value of the variable whose name ends in `name` (taken values carry their reference's folders); NaN if none.
  static double VariableValue(CVarDefList& list, const char* name) {
    CStringArray names, descriptions, units;
    CArray<double, double> values;
    list.GetVariables(names, descriptions, units, values, FALSE);
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
      if (names[i].Right(int(std::strlen(name))) == name) return values[i];
    return std::nan("");
  }
  fs::path root_;
  std::string oldRoot_;
  bool hadRoot_ = false;
};

TEST_F(HostImportTest, AnImportedReactionFollowsItsSourceAndKeepsItsLastNumberWhenTheSourceIsGone) {
  fs::copy_file(KOLUMO_DATA_DIR "/examples/Stuetze.tqx", folder_ / "Pos1.tqx");
  Calculate("Pos1.tqx");
  const char* kPath = "Pos1\\Auflager3\\z-z\\2: Verkehr add.1\\max Az";

  Position second;
  DlgImportVal dialog(&parent_);
  dialog.SetPosition(&second);
  win::script::QueueDialog([&](CDialog& d) {
    int index = dialog.m_view.ListIndexOf("Pos1", FALSE);
    ASSERT_EQ(index, 0);
    EXPECT_EQ(dialog.m_view.positions[0].program.Left(3), "TQ-");
    // Two columns, the program's icon from the program database, the whole row selected by a click.
    EXPECT_EQ(dialog.m_list.GetItemText(index, 0), "Pos1");
    EXPECT_EQ(dialog.m_list.GetItemText(index, 1), dialog.m_view.positions[0].program);
    ProgDB& programs = GetProgDB();
    EXPECT_EQ(dialog.m_list.GetImageList(LVSIL_SMALL)->GetSafeHandle(), programs.GetImageList()->GetSafeHandle());
    ProgDBEntry* column = programs.FindProgForFile("Pos1.tqx");
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(dialog.m_list.GetItemImage(index), programs.GetIconIndex(column->icon));
    EXPECT_TRUE(dialog.m_list.GetExtendedStyle() & LVS_EX_FULLROWSELECT);
    LVCOLUMN heading{};
    char caption[32];
    heading.mask = LVCF_TEXT;
    heading.pszText = caption;
    heading.cchTextMax = sizeof(caption);
    ASSERT_TRUE(dialog.m_list.GetColumn(1, &heading));
    EXPECT_STREQ(caption, "Programm");
    // The columns share the list's width 60 : 40.
    EXPECT_NEAR(double(dialog.m_list.GetColumnWidth(0)) / dialog.m_list.GetColumnWidth(1), 1.5, 0.02);
    EXPECT_TRUE(dialog.m_view.shownFile.IsEmpty()) << "nothing shown before a position is chosen";
    CRect row;
    ASSERT_TRUE(dialog.m_list.GetItemRect(index, &row, LVIR_BOUNDS));
    win::input::Click(dialog.m_list.m_hWnd, dialog.m_list.GetColumnWidth(0) + 5, row.CenterPoint().y);
    EXPECT_EQ(dialog.m_list.GetNextItem(-1, LVNI_SELECTED), index);
    EXPECT_EQ(dialog.m_view.shownFile, "Pos1.tqx") << "a click in the program column chose the position";
    auto leaf = dialog.m_view.itemOfPath.find(kPath);
    ASSERT_NE(leaf, dialog.m_view.itemOfPath.end());
    dialog.m_tree.SelectItem(leaf->second);
    dialog.m_tree.EnsureVisible(leaf->second);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_IMPORT_TAKE, BN_CLICKED), 0);
    SavePicture("import-values-host", d);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(second.varDefs.GetSize(), 1);
  const CImportRecord& taken = second.varDefs.GetAs<CVarDefWertUebernahme>(0)->GetImport();
  // The live loads of the roof and of the floor above the ground floor, 95 + 160 kN, rest on the base.
  EXPECT_NEAR(taken.value, 255.0, 1e-6);
  EXPECT_EQ(taken.varName, "Pos1_A3LF2_maxAz");
  int doc = VIDUV_CreateDoc((folder_ / "Pos2.tqx").c_str());
  second.varDefs.WriteData(VIDUV_GetRootElement(doc));
  VIDUV_SaveDoc(doc);
  VIDUV_CloseDoc(doc);

  // The roof's live load goes from 95 to 135 kN: the reaction must become 135 + 160 = 295 kN.
  Replace(folder_ / "Pos1.tqx", "val0=\"95\"", "val0=\"135\"");  // the only load of 95 kN
  Calculate("Pos1.tqx");
  auto readSecond = [&](CVarDefList& list) {
    int file = VIDUV_OpenDoc((folder_ / "Pos2.tqx").c_str());
    ASSERT_NE(file, 0);
    list.positionFile = VIDUV_GetCompleteFileName(file);  // the sources lie beside Pos2
    list.ReadData(VIDUV_GetRootElement(file));
    VIDUV_CloseDoc(file);
  };
  CVarDefList updated;
  readSecond(updated);
  ASSERT_EQ(updated.GetSize(), 1);
  EXPECT_NEAR(updated.GetAs<CVarDefWertUebernahme>(0)->GetImport().value, 295.0, 1e-6);
  updated.CheckImportedValues();  // found: no dialog
  EXPECT_NEAR(VariableValue(updated, "Pos1_A3LF2_maxAz"), 295.0, 1e-6);
  doc = VIDUV_CreateDoc((folder_ / "Pos2.tqx").c_str());
  updated.WriteData(VIDUV_GetRootElement(doc));
  VIDUV_SaveDoc(doc);
  VIDUV_CloseDoc(doc);

  // The source is deleted: the dialog lists the value with its last number, which the position keeps.
  fs::remove(folder_ / "Pos1.tqx");
  CVarDefList lost;
  win::msgbox::QueueAnswer(IDOK);  // reading names the value that keeps its old number
  readSecond(lost);
  ASSERT_FALSE(win::msgbox::Log().empty());
  EXPECT_NE(win::msgbox::Log().back().text.find("(alter Wert Pos1_A3LF2_maxAz=295.00 kN)"), std::string::npos);
  std::vector<std::string> shown;
  win::script::QueueDialog([&](CDialog& d) {
    auto& tree = static_cast<DlgLostImportVal&>(d).m_tree;
    shown = Lines(tree);
    // A single reference is shown fully expanded.
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetChildItem(item))
      EXPECT_TRUE(!tree.GetChildItem(item) || (tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED));
    SavePicture("import-lost-source", d);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  lost.CheckImportedValues();
  EXPECT_EQ(shown, (std::vector<std::string>{"Pos1", "  Auflager3", "    z-z", "      2: Verkehr add.1",
                                             "        max Az [kN] = 295.00"}));
  ASSERT_EQ(lost.GetSize(), 1);
  const CImportRecord& kept = lost.GetAs<CVarDefWertUebernahme>(0)->GetImport();
  EXPECT_NEAR(kept.value, 295.0, 1e-6);
  EXPECT_FALSE(kept.status.IsEmpty());
  EXPECT_NEAR(VariableValue(lost, "Pos1_A3LF2_maxAz"), 295.0, 1e-6);
}
TEST_F(HostImportTest, TheSingleValueDialogOpensAtThePositionAndValueChosenLast) {
  fs::copy_file(KOLUMO_DATA_DIR "/examples/Stuetze.tqx", folder_ / "Pos1.tqx");
  Calculate("Pos1.tqx");
  DlgSimpleImportVal::LastPosition().Empty();
  DlgSimpleImportVal::LastTreePath().Empty();
  DlgSimpleImportVal first(&parent_);
  win::script::QueueDialog([&](CDialog& d) {
    d.SendMessage(WM_COMMAND, IDOK, 0);  // nothing chosen: the dialog stays open
    first.m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    auto leaf = first.m_view.itemOfPath.find("Pos1\\Auflager3\\z-z\\1: ständig\\max Az");
    ASSERT_NE(leaf, first.m_view.itemOfPath.end());
    first.m_tree.SelectItem(leaf->second);
    first.m_tree.EnsureVisible(leaf->second);
    SavePicture("import-single", d);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(first.DoModal(), IDOK);
  // Roof 620 kN + floor 480 kN + own weight 25 kN/m3 x (0.35^2 x 3.2 m + 0.40^2 x 4.5 m) = 27.8 kN: 1127.8 kN.
  EXPECT_NEAR(first.m_chosen.value, 1127.8, 1e-6);
  EXPECT_EQ(DlgSimpleImportVal::LastPosition(), "Pos1");

  DlgSimpleImportVal second(&parent_);
  win::script::QueueDialog([&](CDialog& d) {
    EXPECT_EQ(second.m_list.GetNextItem(-1, LVNI_SELECTED), 0);
    HTREEITEM selected = second.m_tree.GetSelectedItem();
    ASSERT_NE(selected, nullptr);
    ASSERT_NE(second.m_view.RecordOf(second.m_tree, selected), nullptr);
    EXPECT_EQ(second.m_view.RecordOf(second.m_tree, selected)->varPath, first.m_chosen.varPath);
    d.SendMessage(WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(second.DoModal(), IDCANCEL);
}
#endif

}  // namespace
