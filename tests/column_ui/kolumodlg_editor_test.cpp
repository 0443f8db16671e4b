// The variables tab of the column's input dialog: the grid of variable definitions, or the document editor when
// the engineer's setting asks for it, and the editor's text travelling with the position.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "column_ui/kolumodlg.h"
#include "document/subdata.h"
#include "framework/regsettings.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;

// The document part must be known before the dialog (and so its data) is made.
struct DocumentParts {
  DocumentParts() { RegisterDocumentPart(); }
  ~DocumentParts() { SetDocumentPartFactory(nullptr); }
};

class KolumoEditorTabTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "column-editor-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    const char* before = std::getenv("ORMI_REGISTRY");
    hadRegistry_ = before != nullptr;
    oldRegistry_ = before ? before : "";
    setenv("ORMI_REGISTRY", (folder_ / "registry.xml").c_str(), 1);
  }
  void TearDown() override {
    if (dialog_) dialog_->DestroyWindow();
    dialog_.reset();
    host_.DestroyWindow();
    if (hadRegistry_)
      setenv("ORMI_REGISTRY", oldRegistry_.c_str(), 1);
    else
      unsetenv("ORMI_REGISTRY");
    fs::remove_all(folder_);
    WindowTest::TearDown();
  }
  void Make(bool skrib) {
    GetRegSettings().WriteInt("", "bSkrib", skrib ? 1 : 0);
    dialog_ = std::make_unique<CKolumoDlg>();
    ASSERT_TRUE(host_.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 0, 0, 1040, 420, nullptr, nullptr));
    ASSERT_TRUE(dialog_->Create(CKolumoDlg::IDD, &host_));
    dialog_->SetWindowPos(nullptr, 0, 0, 1040, 420, SWP_NOZORDER);
    dialog_->ShowWindow(SW_SHOW);
    dialog_->GetTabCtrl().SetCurSel(0);
    dialog_->OnPageChange();
    dialog_->ExchangeData(FALSE);
    win::PumpMessages();
  }
  DocumentParts parts_;
  fs::path folder_;
  std::string oldRegistry_;
  bool hadRegistry_ = false;
  CWnd host_;
  std::unique_ptr<CKolumoDlg> dialog_;
};

TEST_F(KolumoEditorTabTest, TheSettingChoosesBetweenGridAndEditor) {
  for (bool skrib : {false, true}) {
    Make(skrib);
    EXPECT_EQ(dialog_->m_skribDlg.IsWindowVisible() != FALSE, skrib) << skrib;
    EXPECT_EQ(dialog_->m_varDlg.m_grid.IsWindowVisible() != FALSE, !skrib) << skrib;
    if (skrib) {
      // The editor fills the page below its top margin.
      CRect page, editor;
      dialog_->m_varDlg.GetClientRect(&page);
      dialog_->m_skribDlg.GetClientRect(&editor);
      EXPECT_GT(editor.Width(), page.Width() / 2);
      EXPECT_GT(editor.Height(), page.Height() / 2);
      if (const char* dir = std::getenv("KOLUMO_PICTURES"))
        win::SaveWindowPng(dialog_->m_hWnd, std::string(dir) + "/input-dialog-editor.png");
    }
    dialog_->DestroyWindow();
    dialog_.reset();
    host_.DestroyWindow();
  }
}

TEST_F(KolumoEditorTabTest, TypedTextTravelsWithThePosition) {
  Make(true);
  const int source = VIDUV_OpenDoc(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx");
  ASSERT_NE(source, 0);
  dialog_->m_data.SetDefaults();
  dialog_->m_data.doc = source;
  dialog_->m_data.ReadData(source);
  dialog_->ExchangeData(FALSE);
  SubDlg& editor = dialog_->m_skribDlg;
  ASSERT_NE(editor.document, nullptr);
  editor.text.SetFocus();
  win::input::Type("Stuetze im Erdgeschoss");
  win::PumpMessages();
  dialog_->ExchangeData(TRUE);
  const fs::path path = folder_ / "position.tqx";
  dialog_->m_data.WriteData(source);
  ASSERT_TRUE(VIDUV_SaveDocAs(source, path.c_str()));
  VIDUV_CloseDoc(source);

  CKolumoData reread;
  const int again = VIDUV_OpenDoc(path.c_str());
  ASSERT_NE(again, 0);
  reread.ReadData(again);
  VIDUV_CloseDoc(again);
  auto* part = dynamic_cast<SubData*>(&reread.GetSubData());
  ASSERT_NE(part, nullptr);
  EXPECT_NE(part->text.Text().find("Erdgeschoss"), std::string::npos) << part->text.Text();
  EXPECT_EQ(part->isEmpty, 0);
}

// A length named in the document: after the document gives the name another value, the system page shows, when it
// appears, the value the drawings take. Field 1 = hEG, field 2 = 4.50 m (the example's); hEG = 3.0 changed to 3.2
// in the editor: field 1 reads 3.20 m, the sum below field 2 3.20 + 4.50 = 7.70 m.
TEST_F(KolumoEditorTabTest, TheSystemPageShowsTheLengthsOfTheChangedDocument) {
  Make(true);
  const int source = VIDUV_OpenDoc(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx");
  ASSERT_NE(source, 0);
  CKolumoData& data = dialog_->m_data;
  data.SetDefaults();
  data.doc = source;
  data.ReadData(source);
  auto* part = dynamic_cast<SubData*>(&data.GetSubData());
  ASSERT_NE(part, nullptr);
  part->text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 hEG = 3.0\\par\r\n}");
  part->isEmpty = 0;
  data.fieldLengths[0] = "hEG";
  data.DefineVariables();
  dialog_->ExchangeData(FALSE);
  ASSERT_DOUBLE_EQ(data.fieldLengths[0].GetValue(), 3.0);

  SubDlg& editor = dialog_->m_skribDlg;
  long end = 0;
  const long start = editor.text.CRichEditCtrl::FindText("3.0", true, false, true, 0, end);
  ASSERT_GE(start, 0);
  editor.text.SetFocus();
  editor.text.SetSel(start, end);
  win::input::Type("3.2");
  win::PumpMessages();
  dialog_->GetTabCtrl().SetCurSel(2);
  dialog_->OnPageChange();
  CKolumoSysGrid& grid = dialog_->m_sysDlg.m_grid;
  EXPECT_EQ(grid.GetItemText(2, StabSysGrid::kColLength), "3.20 m");
  EXPECT_EQ(grid.GetItemText(3, StabSysGrid::kColSum), "7.70 m");
  EXPECT_DOUBLE_EQ(data.fieldLengths[0].GetValue(), 3.2);
  if (const char* dir = std::getenv("KOLUMO_PICTURES"))
    win::SaveWindowPng(dialog_->m_hWnd, std::string(dir) + "/system-page-after-document.png");
  VIDUV_CloseDoc(source);
}

}  // namespace
