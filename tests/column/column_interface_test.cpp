// The module's interface as the host uses it: parameter checks with their messages, and every action reaching its
// handler with the input dialog in a host window. The test links the module itself (libkolumo.so).
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/module_interface.h"
#include "column_test_support.h"
#include "framework/calldoc.h"
#include "formula/vardef.h"
#include "framework/basedata.h"
#include "framework_ui/dlgvardef.h"
#include "platform/viduv/viduv.h"
#include "platform/win/resources/resources.h"
#include "platform/win/dialogs/wintest.h"

extern "C" int interfaceFunc(int callDocument);

namespace {

// The installation root holds the column's program description, which the module's documents are written with.
class InstallRoot : public testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "column-root-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    ::setenv("KOLUMO_ROOT", column_test::MakeInstallRoot(folder_, KOLUMO_DATA_DIR).c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

 private:
  std::filesystem::path folder_;
};
testing::Environment* const kInstallRoot = testing::AddGlobalTestEnvironment(new InstallRoot);  // gtest owns it

bool Shown(CWnd* window) { return window && (window->GetStyle() & WS_VISIBLE) != 0; }

struct Param {
  const char* type;
  int value;
};

int Call(const char* action, const std::vector<Param>& params, bool warn = false) {
  const int doc = CreateInterfaceCallDoc(action, warn ? TRUE : FALSE);
  for (const Param& p : params) AddInterfaceParam(doc, p.type, p.value);
  const int reply = interfaceFunc(doc);
  VIDUV_CloseDoc(doc);
  return reply;
}

int CountChildren(int parent, const char* name) {
  int count = 0;
  for (int c = VIDUV_FindFirstChild(parent, name); c; c = VIDUV_FindNextChild(c, name)) ++count;
  return count;
}

// The loads of stage 0 in a column document.
int LoadCount(int doc) {
  const int impact = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "impact");
  return CountChildren(VIDUV_FindFirstChild(impact, "BauZustand"), "load");
}

class ModuleInterfaceTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(host_.CreateEx(0, nullptr, "host", WS_POPUP, 0, 0, 1200, 320, nullptr, nullptr));
    hostHandle_ = win::MakeHandle<CWnd>(&host_);
  }
  void TearDown() override {
    for (int doc : docs_) VIDUV_CloseDoc(doc);
    for (int handle : handles_) win::ReleaseHandle(handle);
    if (CWnd* dialog = win::FromHandle<CWnd>(dialog_)) {
      win::ReleaseHandle(dialog_);
      dialog->DestroyWindow();
      delete dialog;
    }
    win::ReleaseHandle(hostHandle_);
    host_.DestroyWindow();
    WindowTest::TearDown();
  }

  int Dialog() {
    if (!dialog_) dialog_ = Call("CreateInputDlg", {{"CWnd*", hostHandle_}});
    return dialog_;
  }
  CWnd* DialogWindow() { return win::FromHandle<CWnd>(Dialog()); }
  int NewDoc() {
    const int doc = Call("CreateEmptyDoc", {{"CWnd*", Dialog()}});
    if (doc) docs_.push_back(doc);
    return doc;
  }
  // A column document with two loads in stage 0, made through the module.
  int DocWithTwoLoads() {
    const int doc = NewDoc();
    const int impact = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "impact");
    const int stage0 = VIDUV_FindFirstChild(impact, "BauZustand");
    for (int lc : {1, 2}) VIDUV_SetInt(VIDUV_AddChildElement(stage0, "load"), "lc", lc);
    return doc;
  }
  // A new document read into the dialog as the host reads a document it opened.
  int ShownDoc() {
    const int doc = NewDoc();
    Call("SetData", {{"CWnd*", Dialog()}, {"int", 0}});
    Call("SetData", {{"CWnd*", Dialog()}, {"int", doc}});
    return doc;
  }
  template <class T>
  int Handle(T* object) {
    handles_.push_back(win::MakeHandle(object));
    return handles_.back();
  }
  static std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& record : win::msgbox::Log()) texts.push_back(record.text);
    return texts;
  }

  CWnd host_;
  int hostHandle_ = 0;
  int dialog_ = 0;
  std::vector<int> docs_;
  std::vector<int> handles_;
};

struct Action {
  const char* name;
  std::vector<const char*> types;
};
const std::vector<Action> kActions = {
    {"PreTranslateMessage", {"MSG*"}},
    {"CreateInputDlg", {"CWnd*"}},
    {"CreatePreviewDlg", {"CWnd*", "CWnd*", "BOOL"}},
    {"SetData", {"CWnd*", "int"}},
    {"GetData", {"CWnd*", "int"}},
    {"CreateEmptyDoc", {"CWnd*"}},
    {"SilentCalc", {"int"}},
    {"Annotation", {"CWnd*", "CString*", "BOOL"}},
    {"PosAnnotation", {"CWnd*", "CString*", "BOOL"}},
    {"RegisterShowRtfTip", {"TYPE_SHOWRTFTIP"}},
    {"CanExportTo", {"vecExportToStruct*", "int"}},
    {"Export", {"int", "CString*", "CString*", "CString*"}},
};

// A host that left SIGXFSZ at its default would be ended without a word by a write beyond the file-size limit: the
// module, once loaded, has the write fail with its reason instead.
TEST(ModuleLoading, AWriteBeyondTheFileSizeLimitFailsInsteadOfEndingTheHost) {
  struct sigaction current {};
  ASSERT_EQ(sigaction(SIGXFSZ, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_IGN);
}

TEST_F(ModuleInterfaceTest, WrongParameterCountIsRefusedWithItsMessage) {
  for (const Action& action : kActions) {
    for (int delta : {-1, 1}) {
      SCOPED_TRACE(std::string(action.name) + " " + std::to_string(delta));
      const std::size_t count = action.types.size() + std::size_t(delta + 1) - 1;
      std::vector<Param> params;
      for (std::size_t i = 0; i < count; ++i) params.push_back({i < action.types.size() ? action.types[i] : "int", 0});
      win::msgbox::ClearLog();
      win::msgbox::QueueAnswer(IDOK);
      EXPECT_EQ(Call(action.name, params), 0);
      EXPECT_EQ(Boxes(), std::vector<std::string>{"Wrong number of parameters!"});
    }
  }
}

TEST_F(ModuleInterfaceTest, WrongParameterTypeIsRefusedWithItsMessage) {
  for (const Action& action : kActions) {
    for (std::size_t wrong = 0; wrong < action.types.size(); ++wrong) {
      SCOPED_TRACE(std::string(action.name) + " parameter " + std::to_string(wrong));
      std::vector<Param> params;
      for (std::size_t i = 0; i < action.types.size(); ++i)
        params.push_back({i == wrong ? "long" : action.types[i], 0});
      win::msgbox::ClearLog();
      win::msgbox::QueueAnswer(IDOK);
      EXPECT_EQ(Call(action.name, params), 0);
      EXPECT_EQ(Boxes(), std::vector<std::string>{"Type mismatch!"});
    }
  }
  // Types compare exactly.
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_EQ(Call("SilentCalc", {{"INT", 0}}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Type mismatch!"});
}

TEST_F(ModuleInterfaceTest, UnknownActionIsReportedOnlyWhenTheCallerAsks) {
  EXPECT_EQ(Call("Foo", {}), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Call("setdata", {{"CWnd*", 0}, {"int", 0}}), 0);  // names compare with case
  EXPECT_TRUE(Boxes().empty());
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_EQ(Call("Foo", {}, true), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Funktion 'Foo' nicht implementiert!"});
}

TEST_F(ModuleInterfaceTest, TheVariablesPageTakesValuesThroughTheImportDialog) {
  // the loaded module installs the value-import dialog behind the variables page's "Auswahl"
  EXPECT_TRUE(static_cast<bool>(VarDefGrid::ValueImport()));
}

TEST_F(ModuleInterfaceTest, InputDialogIsMadeInTheHostWindow) {
  CWnd* dialog = DialogWindow();
  ASSERT_NE(dialog, nullptr);
  EXPECT_STREQ(dialog->GetRuntimeClass()->m_lpszClassName, "CKolumoDlg");
  EXPECT_EQ(dialog->GetParent(), &host_);
  CWnd* tabs = dialog->GetDlgItem(26000);
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->SendMessage(TCM_GETITEMCOUNT), 6);
  CWnd* stage = dialog->GetDlgItem(26014);
  ASSERT_NE(stage, nullptr);
  EXPECT_EQ(stage->SendMessage(CB_GETCOUNT), 4);
  EXPECT_EQ(stage->SendMessage(CB_GETCURSEL), 0);
  EXPECT_FALSE(Shown(dialog->GetDlgItem(26062)));
  EXPECT_FALSE(Shown(dialog->GetDlgItem(26012)));
  EXPECT_TRUE(Shown(dialog->GetDlgItem(26000)));
  EXPECT_TRUE(win::res::HasBitmap(26032)) << "the sketch of the cross-section dialog";
  // Without a host window there is nothing to embed the dialog in.
  EXPECT_EQ(Call("CreateInputDlg", {{"CWnd*", 0}}), 0);
}

TEST_F(ModuleInterfaceTest, ChoosingAStageShowsTheDeleteButton) {
  CWnd* dialog = DialogWindow();
  CWnd* stage = dialog->GetDlgItem(26014);
  stage->SendMessage(CB_SETCURSEL, 1);
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(26014, CBN_SELCHANGE), LPARAM(stage->m_hWnd));
  EXPECT_TRUE(Shown(dialog->GetDlgItem(26062)));
  stage->SendMessage(CB_SETCURSEL, 0);
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(26014, CBN_SELCHANGE), LPARAM(stage->m_hWnd));
  EXPECT_FALSE(Shown(dialog->GetDlgItem(26062)));
}

// The data reads the combinations of the stage the dialog shows into the position's own combination data.
TEST_F(ModuleInterfaceTest, StageShownSelectsTheCombinationsOfThePosition) {
  const int doc = NewDoc();
  const int einwirkungen =
      VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "Einwirkungen");
  int stage2 = VIDUV_FindFirstChild(einwirkungen, "BauZustand");
  while (stage2 && VIDUV_GetInt(stage2, "bzNr") != 2) stage2 = VIDUV_FindNextChild(stage2, "BauZustand");
  ASSERT_NE(stage2, 0);
  const int results = VIDUV_AddChildElement(VIDUV_FindFirstChild(stage2, "lastUeberlagerung"), "results");
  const int combination = VIDUV_AddChildElement(results, "result");
  VIDUV_SetString(combination, "art", "Ed");
  VIDUV_SetString(combination, "regel", "1.35*(1)");

  CWnd* dialog = DialogWindow();
  CWnd* stage = dialog->GetDlgItem(26014);
  stage->SendMessage(CB_SETCURSEL, 2);
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(26014, CBN_SELCHANGE), LPARAM(stage->m_hWnd));
  Call("SetData", {{"CWnd*", Dialog()}, {"int", 0}});
  Call("SetData", {{"CWnd*", Dialog()}, {"int", doc}});
  Call("GetData", {{"CWnd*", Dialog()}, {"int", doc}});
  const int own = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "lastUeberlagerung");
  const int ownResults = VIDUV_FindFirstChild(own, "results");
  EXPECT_EQ(CountChildren(ownResults, "result"), 1);
  EXPECT_STREQ(VIDUV_GetString(VIDUV_FindFirstChild(ownResults, "result"), "regel"), "1.35*(1)");
}

TEST_F(ModuleInterfaceTest, EmptyDocumentIsAColumnPosition) {
  const int doc = NewDoc();
  ASSERT_NE(doc, 0);
  const int root = VIDUV_GetRootElement(doc);
  EXPECT_STREQ(VIDUV_GetString(root, "progname"), "KOLUMO");
  EXPECT_NE(VIDUV_FindFirstChild(root, "info"), 0);
  const int system = VIDUV_FindFirstChild(VIDUV_FindFirstChild(root, "input"), "system");
  EXPECT_EQ(VIDUV_GetInt(system, "nFields"), 0);
  EXPECT_STREQ(VIDUV_GetString(system, "sBeton"), "C25/30");
  // Another window than the column's input dialog makes no document.
  EXPECT_EQ(Call("CreateEmptyDoc", {{"CWnd*", hostHandle_}}), 0);
}

// Reading another document starts from clean data: the loads of the first are neither kept nor doubled.
TEST_F(ModuleInterfaceTest, ReadingAnotherDocumentDoesNotDoubleItsLoads) {
  const int first = DocWithTwoLoads();
  const int second = DocWithTwoLoads();
  ASSERT_EQ(LoadCount(first), 2);
  EXPECT_EQ(Call("SetData", {{"CWnd*", Dialog()}, {"int", first}}), 1);
  EXPECT_EQ(Call("SetData", {{"CWnd*", Dialog()}, {"int", second}}), 1);
  EXPECT_EQ(Call("GetData", {{"CWnd*", Dialog()}, {"int", second}}), 1);
  EXPECT_EQ(LoadCount(second), 2);
  // The same document again is not read again.
  EXPECT_EQ(Call("SetData", {{"CWnd*", Dialog()}, {"int", second}}), 1);
  EXPECT_EQ(Call("GetData", {{"CWnd*", Dialog()}, {"int", second}}), 1);
  EXPECT_EQ(LoadCount(second), 2);
}

TEST_F(ModuleInterfaceTest, GetDataWritesOnlyTheDialogsDocument) {
  const int shown = DocWithTwoLoads();
  const int other = DocWithTwoLoads();
  Call("SetData", {{"CWnd*", Dialog()}, {"int", shown}});
  unsigned char before[16], after[16];
  VIDUV_GetFingerPrint(VIDUV_GetRootElement(other), before);
  EXPECT_EQ(Call("GetData", {{"CWnd*", Dialog()}, {"int", other}}), 1);
  VIDUV_GetFingerPrint(VIDUV_GetRootElement(other), after);
  EXPECT_EQ(std::string(before, before + 16), std::string(after, after + 16));
  // Document 0 becomes the current one and nothing is read; the document shown before is no longer written.
  EXPECT_EQ(Call("SetData", {{"CWnd*", Dialog()}, {"int", 0}}), 1);
  VIDUV_GetFingerPrint(VIDUV_GetRootElement(shown), before);
  EXPECT_EQ(Call("GetData", {{"CWnd*", Dialog()}, {"int", shown}}), 1);
  VIDUV_GetFingerPrint(VIDUV_GetRootElement(shown), after);
  EXPECT_EQ(std::string(before, before + 16), std::string(after, after + 16));
}

TEST_F(ModuleInterfaceTest, TabAnnotationIsKeptWithThePosition) {
  const int doc = ShownDoc();
  CString text = "Knicklänge prüfen";
  EXPECT_EQ(Call("Annotation", {{"CWnd*", Dialog()}, {"CString*", Handle(&text)}, {"BOOL", 1}}), 1);
  CString read = "stale";
  EXPECT_EQ(Call("Annotation", {{"CWnd*", Dialog()}, {"CString*", Handle(&read)}, {"BOOL", 0}}), 1);
  EXPECT_EQ(read, "Knicklänge prüfen");
  Call("GetData", {{"CWnd*", Dialog()}, {"int", doc}});
  // The start tab of a document read is the system page (tab 2).
  const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
  EXPECT_STREQ(VIDUV_GetString(input, "Anmerkung_2"), "Knicklänge prüfen");
  EXPECT_STREQ(VIDUV_GetString(input, "Anmerkung_1"), "");
}

TEST_F(ModuleInterfaceTest, PositionAnnotationIsExchanged) {
  CString text = "Pos. 12";
  EXPECT_EQ(Call("PosAnnotation", {{"CWnd*", Dialog()}, {"CString*", Handle(&text)}, {"BOOL", 1}}), 1);
  CString read;
  EXPECT_EQ(Call("PosAnnotation", {{"CWnd*", Dialog()}, {"CString*", Handle(&read)}, {"BOOL", 0}}), 1);
  EXPECT_EQ(read, "Pos. 12");
  CString untouched = "keep";
  EXPECT_EQ(Call("PosAnnotation", {{"CWnd*", hostHandle_}, {"CString*", Handle(&untouched)}, {"BOOL", 0}}), 1);
  EXPECT_EQ(untouched, "keep");
}

TEST_F(ModuleInterfaceTest, TipCallbackHearsOfThePageShown) {
  std::vector<std::string> tips;
  ShowRtfTipCallback callback = [&tips](const char* file) { tips.emplace_back(file); };
  const int handle = Handle(&callback);
  EXPECT_EQ(Call("RegisterShowRtfTip", {{"TYPE_SHOWRTFTIP", handle}}), 1);
  ShownDoc();
  Call("RegisterShowRtfTip", {{"TYPE_SHOWRTFTIP", 0}});
  ASSERT_FALSE(tips.empty());
  EXPECT_EQ(tips.back(), "\\..\\rtftip\\kolumo_SystemDlg.rtf");
}

TEST_F(ModuleInterfaceTest, ExportTargetsAreEmptiedAndExportIsRefused) {
  vecExportToStruct targets{{"A", "a"}, {"B", "b"}};
  EXPECT_EQ(Call("CanExportTo", {{"vecExportToStruct*", Handle(&targets)}, {"int", 0}}), 1);
  EXPECT_TRUE(targets.empty());
  CString a, b, c;
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_EQ(Call("Export", {{"int", 0}, {"CString*", Handle(&a)}, {"CString*", Handle(&b)}, {"CString*", Handle(&c)}}),
            0);
  EXPECT_EQ(Boxes(),
            std::vector<std::string>{"Export wird von diesem Modul in der vorliegenden Version nicht unterstützt."});
}

TEST_F(ModuleInterfaceTest, RemainingActionsReachTheirHandlers) {
  MSG msg{};
  msg.hwnd = DialogWindow()->m_hWnd;
  msg.message = WM_NULL;
  EXPECT_EQ(Call("PreTranslateMessage", {{"MSG*", Handle(&msg)}}), 0);
  EXPECT_EQ(Call("PreTranslateMessage", {{"MSG*", 0}}), 0);
  // The calculation road runs: without a calculation driver in the module it says that calcFunc is missing.
  const int doc = NewDoc();
  win::msgbox::SetUnscriptedHandler([](const win::msgbox::Record&) { return IDOK; });
  EXPECT_EQ(Call("SilentCalc", {{"int", doc}}), 1);
  if (!dlsym(RTLD_DEFAULT, "calcFunc")) {
    bool reported = false;
    for (const std::string& box : Boxes()) reported |= box.find("'calcFunc'") != std::string::npos;
    EXPECT_TRUE(reported);
  }
  // The preview stands in the host's window, shown, with its "2D/3D" and output tabs; only for the column's
  // input dialog.
  EXPECT_EQ(Call("CreatePreviewDlg", {{"CWnd*", hostHandle_}, {"CWnd*", hostHandle_}, {"BOOL", 1}}), 0);
  const int preview = Call("CreatePreviewDlg", {{"CWnd*", hostHandle_}, {"CWnd*", Dialog()}, {"BOOL", 1}});
  ASSERT_NE(preview, 0);
  CWnd* window = win::FromHandle<CWnd>(preview);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(::GetParent(window->m_hWnd), win::FromHandle<CWnd>(hostHandle_)->m_hWnd);
  // A child of the host's window: shown itself, seen when the host is.
  EXPECT_TRUE(window->GetStyle() & WS_CHILD);
  EXPECT_TRUE(window->GetStyle() & WS_VISIBLE);
  EXPECT_EQ(::SendMessage(::GetDlgItem(window->m_hWnd, 11014), TCM_GETITEMCOUNT, 0, 0), 2);
  window->DestroyWindow();
  delete window;
}

// A document read into the dialog moves its variable definitions to the variables page, also when the same
// document is handed again (the page may have been changed meanwhile).
TEST_F(ModuleInterfaceTest, SetDataMovesTheVariableDefinitionsToTheVariablesPage) {
  const int doc = NewDoc();
  {
    CVarDefList list;
    auto variable = CVarDefEntry::Create(CVarDefEntry::kVariable);
    auto& v = static_cast<CVarDefVariable&>(*variable);
    v.desc = "Stützenhöhe";
    v.varName = "h";
    v.value = 3.5;
    list.Add(std::move(variable));
    list.Add(CVarDefEntry::Create(CVarDefEntry::kUeberschrift));
    list.WriteData(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"));
  }
  // The input dialog's own variables tab.
  DlgVarDef* found = DlgVarDef::FindIn(DialogWindow());
  ASSERT_NE(found, nullptr);
  DlgVarDef& page = *found;
  Call("SetData", {{"CWnd*", Dialog()}, {"int", 0}});
  EXPECT_EQ(Call("SetData", {{"CWnd*", Dialog()}, {"int", doc}}), 1);
  ASSERT_NE(page.m_pData, nullptr);
  ASSERT_EQ(page.m_grid.GetRowCount(), 4);  // header, two entries, the empty row
  EXPECT_EQ(page.m_grid.GetComboIndex(1, VarDefGrid::kTyp), CVarDefEntry::kVariable);
  EXPECT_EQ(page.m_grid.GetCellText(1, VarDefGrid::kText), "Stützenhöhe");
  EXPECT_EQ(page.m_grid.GetComboIndex(2, VarDefGrid::kTyp), CVarDefEntry::kUeberschrift);
  page.m_pData->varDefs.RemoveAt(1);
  EXPECT_EQ(Call("SetData", {{"CWnd*", Dialog()}, {"int", doc}}), 1);
  EXPECT_EQ(page.m_grid.GetRowCount(), 3);
}

}  // namespace
