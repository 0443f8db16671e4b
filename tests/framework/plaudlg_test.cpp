// The plausibility dialogs and their message list: counts, targets, which buttons each form offers, what each
// button answers, and the jump to the input field a message concerns.
#include "framework/plaudlg.h"

#include <stdexcept>

#include "controls/MainDlgBase.h"
#include "controls/OrmiGridCtrl.h"
#include "platform/win/dialogs/wintest.h"

namespace {

BaseVarEntry Message(int kind, const char* text, int page = -1) {
  BaseVarEntry entry;
  entry.kind = kind;
  entry.icon = kind == BaseVarEntry::kError ? 0 : 1;
  entry.text = text;
  entry.page = page;
  return entry;
}

class PlausiTest : public win::test::WindowTest {
 protected:
  static bool Visible(CDialog& d, int id) { return d.GetDlgItem(id) && d.GetDlgItem(id)->IsWindowVisible(); }
  static bool Enabled(CDialog& d, int id) { return d.GetDlgItem(id) && d.GetDlgItem(id)->IsWindowEnabled(); }
  static CString Text(CDialog& d, int id) {
    CString text;
    d.GetDlgItemText(id, text);
    return text;
  }
  static void Click(CDialog& d, int id) { win::input::ClickCenter(d.GetDlgItem(id)->m_hWnd); }
  // The tree's items as "text" lines, children indented by two blanks, in order.
  static std::vector<std::string> Items(CTreeCtrl& tree) {
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
  static int Image(CTreeCtrl& tree, HTREEITEM item) {
    TVITEM info{};
    info.mask = TVIF_IMAGE;
    info.hItem = item;
    tree.GetItem(&info);
    return info.iImage;
  }
  static HTREEITEM FindItem(CTreeCtrl& tree, HTREEITEM item, const char* text) {
    for (; item; item = tree.GetNextSiblingItem(item)) {
      if (tree.GetItemText(item) == text) return item;
      if (HTREEITEM found = FindItem(tree, tree.GetChildItem(item), text)) return found;
    }
    return nullptr;
  }
};

TEST_F(PlausiTest, ListCountsErrorsAndWarningsAndRefusesIndicesOutsideIt) {
  BaseVarList list;
  list.Add(Message(BaseVarEntry::kError, "a"));
  list.Add(Message(BaseVarEntry::kWarning, "b"));
  list.Add(Message(BaseVarEntry::kWarning, "c"));
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.CountErrors(), 1);
  EXPECT_EQ(list.CountWarnings(), 2);
  EXPECT_EQ(list.CountKind(0x1000), 0);
  EXPECT_EQ(list.GetAt(2).text, "c");
  try {
    list.GetAt(3);
    ADD_FAILURE() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
  }
  EXPECT_THROW(list.GetAt(-1), std::out_of_range);
}

TEST_F(PlausiTest, TargetIsAPageAGridARowOrAColumn) {
  BaseVarEntry none;
  EXPECT_FALSE(BaseVarList::HasTarget(none));
  CWnd control;
  none.control = &control;  // a control alone is no target
  EXPECT_FALSE(BaseVarList::HasTarget(none));
  for (int field = 0; field < 4; ++field) {
    BaseVarEntry entry;
    CWnd grid;
    if (field == 0) entry.page = 0;
    if (field == 1) entry.grid = &grid;
    if (field == 2) entry.row = 0;
    if (field == 3) entry.col = 0;
    EXPECT_TRUE(BaseVarList::HasTarget(entry)) << field;
  }
}

TEST_F(PlausiTest, WarningsOnlyOfferTheStartAndItAnswersThree) {
  BaseVarList list;
  list.Add(Message(BaseVarEntry::kWarning, "Lasten\\Keine Last im Lastfall 2"));
  list.Add(Message(BaseVarEntry::kWarning, "Lasten\\Keine Last im Lastfall 3", 4));
  PlauCtrlV2 dialog;
  dialog.SetMessageList(&list);
  win::script::QueueDialog([&](CDialog& d) {
    CString caption;
    d.GetWindowText(caption);
    EXPECT_EQ(caption, "Plausibilitätskontrolle v.2.0");
    EXPECT_TRUE(Visible(d, IDC_PLAUSI_START));
    EXPECT_FALSE(Visible(d, IDCANCEL));
    EXPECT_FALSE(Visible(d, IDOK));
    EXPECT_TRUE(Visible(d, IDC_PLAUSI_JUMP));
    EXPECT_EQ(Text(d, IDC_PLAUSI_ERRORS), "0");
    EXPECT_EQ(Text(d, IDC_PLAUSI_WARNINGS), "2");
    EXPECT_TRUE(Visible(d, IDC_PLAUSI_ERRORS_LABEL));
    EXPECT_EQ(Items(dialog.m_tree),
              (std::vector<std::string>{"Lasten", "  Keine Last im Lastfall 2", "  Keine Last im Lastfall 3"}));
    // The first message is selected; it has no target.
    EXPECT_EQ(dialog.m_tree.GetItemText(dialog.m_tree.GetSelectedItem()), "Keine Last im Lastfall 2");
    EXPECT_FALSE(Enabled(d, IDC_PLAUSI_JUMP));
    Click(d, IDC_PLAUSI_START);
  });
  EXPECT_EQ(dialog.DoModal(), IDC_PLAUSI_START);
  EXPECT_EQ(dialog.GetSelectedMessage(), nullptr);
}

TEST_F(PlausiTest, ErrorsOfferOnlyCancelAndEscapeMeansCancel) {
  BaseVarList list;
  list.Add(Message(BaseVarEntry::kError, "Querschnitt fehlt"));
  list.Add(Message(BaseVarEntry::kWarning, "Bewehrung gering"));
  PlauCtrlV2 dialog;
  dialog.SetMessageList(&list);
  win::script::QueueDialog([&](CDialog& d) {
    EXPECT_TRUE(Visible(d, IDCANCEL));
    EXPECT_FALSE(Visible(d, IDC_PLAUSI_START));
    EXPECT_EQ(Text(d, IDC_PLAUSI_ERRORS), "1");
    EXPECT_EQ(Text(d, IDC_PLAUSI_WARNINGS), "1");
    // Each message shows its kind: the error icon (image 0) for an even icon number, else the warning icon.
    CTreeCtrl& tree = static_cast<PlauCtrlV2&>(d).m_tree;
    EXPECT_EQ(Image(tree, FindItem(tree, tree.GetRootItem(), "Querschnitt fehlt")), 0);
    EXPECT_EQ(Image(tree, FindItem(tree, tree.GetRootItem(), "Bewehrung gering")), 1);
    win::input::Key(VK_ESCAPE);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  win::script::QueueDialog([&](CDialog& d) { Click(d, IDCANCEL); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(PlausiTest, MessageWithATargetCanBeChosenForTheJump) {
  BaseVarList list;
  list.Add(Message(BaseVarEntry::kError, "System\\Länge 0"));
  list.Add(Message(BaseVarEntry::kError, "Lasten\\Lastfall leer", 3));
  PlauCtrlV2 dialog;
  dialog.SetMessageList(&list);
  win::script::QueueDialog([&](CDialog& d) {
    CTreeCtrl& tree = dialog.m_tree;
    // A folder item stands for no message: choosing it does nothing.
    tree.SelectItem(FindItem(tree, tree.GetRootItem(), "Lasten"));
    EXPECT_FALSE(Enabled(d, IDC_PLAUSI_JUMP));
    Click(d, IDC_PLAUSI_JUMP);
    EXPECT_TRUE(d.IsWindowVisible());
    tree.SelectItem(FindItem(tree, tree.GetRootItem(), "Lastfall leer"));
    EXPECT_TRUE(Enabled(d, IDC_PLAUSI_JUMP));
    Click(d, IDC_PLAUSI_JUMP);
  });
  EXPECT_EQ(dialog.DoModal(), 1);
  ASSERT_NE(dialog.GetSelectedMessage(), nullptr);
  EXPECT_EQ(dialog.GetSelectedMessage()->text, "Lasten\\Lastfall leer");
}

TEST_F(PlausiTest, DoubleClickChoosesTheMessage) {
  BaseVarList list;
  list.Add(Message(BaseVarEntry::kWarning, "eins", 1));
  PlauCtrlV2 dialog;
  dialog.SetMessageList(&list);
  win::script::QueueDialog([&](CDialog&) {
    CRect r;
    dialog.m_tree.GetItemRect(dialog.m_tree.GetRootItem(), &r, TRUE);
    win::input::DoubleClick(dialog.m_tree.m_hWnd, r.left + 2, r.top + 2);
  });
  EXPECT_EQ(dialog.DoModal(), 1);
  ASSERT_NE(dialog.GetSelectedMessage(), nullptr);
  EXPECT_EQ(dialog.GetSelectedMessage()->text, "eins");
}

TEST_F(PlausiTest, FirstFormListsTheTextsAndClosesWithOK) {
  PlauCtrlV1 dialog;
  CStringArray texts;
  texts.Add("Feld 1\\Höhe fehlt");
  texts.Add("Keine Lasten");
  dialog.SetMessages(texts);
  win::script::QueueDialog([&](CDialog& d) {
    EXPECT_EQ(Items(dialog.m_tree), (std::vector<std::string>{"Feld 1", "  Höhe fehlt", "Keine Lasten"}));
    EXPECT_FALSE(Visible(d, IDC_PLAUSI_JUMP));
    EXPECT_FALSE(Visible(d, IDC_PLAUSI_START));
    EXPECT_TRUE(Visible(d, IDOK));
    Click(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST_F(PlausiTest, JumpSelectsThePageFocusesTheCellAndNotifiesTheControlsParent) {
  std::vector<std::string> calls;
  SetPlausiJumpHandlers(
      {[&](CWnd*, int page) { calls.push_back("page " + std::to_string(page)); },
       [&](CWnd*, int row, int col) { calls.push_back("cell " + std::to_string(row) + "," + std::to_string(col)); }});
  CDialog input;
  win::DialogTemplate t;
  t.items = {win::DialogItem{77, "Button", "Feld", BS_PUSHBUTTON, 5, 5, 40, 12}};
  ASSERT_TRUE(input.CreateIndirect(t));
  CWnd grid;
  BaseVarList list(&input);
  BaseVarEntry entry = Message(BaseVarEntry::kError, "x", 2);
  entry.grid = &grid;
  entry.row = 3;
  entry.col = 1;
  entry.control = input.GetDlgItem(77);
  entry.notify = 1;
  list.Add(entry);
  list.GotoTarget(list.GetAt(0));
  EXPECT_EQ(calls, (std::vector<std::string>{"page 2", "cell 3,1"}));
  EXPECT_EQ(CWnd::GetFocus(), input.GetDlgItem(77));

  // Without an input dialog, or without a target, nothing happens.
  calls.clear();
  BaseVarList noDialog;
  noDialog.GotoTarget(entry);
  list.GotoTarget(Message(BaseVarEntry::kError, "ohne Ziel"));
  EXPECT_TRUE(calls.empty());
  SetPlausiJumpHandlers({});
}

}  // namespace

namespace {

// The input dialog of a module: a tab control with pages by id and a typed grid on one page.
class InputDialog : public CMainDlgBase {
 public:
  COrmiTabCtrl tab;
  COrmiGridCtrl grid;
  int pageChanges = 0;
  void OnPageChange() override { ++pageChanges; }
};

TEST_F(PlausiTest, ADoubleClickedErrorSelectsThePageAndTheCellItNames) {
  InputDialog input;
  win::DialogTemplate t;
  t.cx = 300;
  t.cy = 150;
  ASSERT_TRUE(input.CreateIndirect(t));
  ASSERT_TRUE(input.tab.Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 400, 30), &input, 20));
  input.tab.AddPage(100, "System");
  input.tab.AddPage(200, "Lasten");
  input.SetPageTab(&input.tab);
  ASSERT_TRUE(input.grid.Create(CRect(5, 35, 400, 200), &input, 21));
  input.grid.Init(6, 3, 1, 1);
  for (int r = 1; r < 6; ++r) input.grid.SetCellType(r, 2, ORMI_DOUBLE);
  input.tab.SetCurPage(100);
  BaseVarList list(&input);
  list.Add(Message(BaseVarEntry::kWarning, "Hinweis ohne Ziel"));
  BaseVarEntry error = Message(BaseVarEntry::kError, "Lasten\\N fehlt", 200);
  error.grid = &input.grid;
  error.row = 4;
  error.col = 2;
  list.Add(error);
  PlauCtrlV2 dialog;
  dialog.SetMessageList(&list);
  win::script::QueueDialog([&](CDialog&) {
    HTREEITEM item = FindItem(dialog.m_tree, dialog.m_tree.GetRootItem(), "N fehlt");
    ASSERT_NE(item, nullptr);
    dialog.m_tree.EnsureVisible(item);
    CRect r;
    dialog.m_tree.GetItemRect(item, &r, TRUE);
    win::input::DoubleClick(dialog.m_tree.m_hWnd, r.left + 2, r.top + 2);
  });
  ASSERT_EQ(dialog.DoModal(), 1);
  ASSERT_NE(dialog.GetSelectedMessage(), nullptr);
  list.GotoTarget(*dialog.GetSelectedMessage());
  win::PumpMessages();
  EXPECT_EQ(input.tab.GetCurPage(), 200);
  EXPECT_EQ(input.pageChanges, 1);
  EXPECT_EQ(input.grid.GetFocusCell(), CCellID(4, 2));
  EXPECT_EQ(CWnd::GetFocus(), &input.grid);
}

}  // namespace
