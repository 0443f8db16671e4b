// The input dialog around the column data: stages, annotations and the page change to the results.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/matehandler.h"
#include "framework/module_interface.h"
#include "column_test_support.h"
#include "column_ui/kolumodlg.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/wintest.h"

namespace {

class KolumoDlgTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::string pattern = (std::filesystem::temp_directory_path() / "column-dialog-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    // The system page asks the material catalogue for its grades; these tests have none, which the catalogue
    // reports once when it is first opened.
    win::msgbox::QueueAnswer(IDOK);
    GetMateHandler();
    win::msgbox::ClearAnswers();
    win::msgbox::ClearLog();
    ASSERT_TRUE(host_.CreateEx(0, nullptr, "host", WS_POPUP, 0, 0, 1200, 320, nullptr, nullptr));
    ASSERT_TRUE(dialog_.Create(CKolumoDlg::IDD, &host_));
  }
  void TearDown() override {
    dialog_.DestroyWindow();
    host_.DestroyWindow();
    for (int doc : docs_) VIDUV_CloseDoc(doc);
    std::filesystem::remove_all(folder_);
    WindowTest::TearDown();
  }

  // A position with two loads in stage 0 (and results-free), read into the dialog's data as the host reads it.
  int ShowPosition() {
    const int doc = VIDUV_CreateDoc((folder_ / "position.tqx").c_str());
    docs_.push_back(doc);
    CKolumoData written;
    written.version = 2012.01;
    written.loads[0].Add(Load());
    written.loads[0].Add(Load());
    written.WriteData(doc);
    dialog_.m_data.doc = doc;
    dialog_.m_data.ReadData(doc);
    // As the host does after reading: the pages show what was read, so that they store it again.
    dialog_.ExchangeData(FALSE);
    return doc;
  }
  void SelectStage(int stage) {
    dialog_.GetStageBox().SetCurSel(stage);
    dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(CKolumoDlg::kIdStage, CBN_SELCHANGE),
                        LPARAM(dialog_.GetStageBox().m_hWnd));
  }
  void ShowTab(int tab) {
    dialog_.GetTabCtrl().SetCurSel(tab);
    dialog_.OnPageChange();
  }

  std::filesystem::path folder_;
  std::vector<int> docs_;
  CWnd host_;
  CKolumoDlg dialog_;
};

TEST_F(KolumoDlgTest, StageBoxSetsTheStageOfTheData) {
  EXPECT_EQ(dialog_.m_aktBauZustand, 0);
  EXPECT_EQ(dialog_.GetStageSelection(), 0);
  SelectStage(3);
  EXPECT_EQ(dialog_.m_aktBauZustand, 3);
  EXPECT_EQ(dialog_.m_data.aktBauZustand, 3);
  EXPECT_EQ(dialog_.m_data.pDlg, &dialog_);
  CString name;
  dialog_.GetStageBox().GetLBText(3, name);
  EXPECT_EQ(name, "Bauzustand 2");
}

TEST_F(KolumoDlgTest, AnnotationsBelongToTheSelectedTab) {
  dialog_.GetTabCtrl().SetCurSel(4);
  EXPECT_TRUE(dialog_.SetAnnotation("Lasten aus Pos. 7"));
  CString text;
  EXPECT_TRUE(dialog_.GetAnnotation(text));
  EXPECT_EQ(text, "Lasten aus Pos. 7");
  EXPECT_EQ(dialog_.m_data.anmerkungen[4], "Lasten aus Pos. 7");
  dialog_.GetTabCtrl().SetCurSel(1);
  EXPECT_TRUE(dialog_.GetAnnotation(text));
  EXPECT_EQ(text, "");
  dialog_.GetTabCtrl().DeleteAllItems();  // no tab is selected any more
  text = "kept";
  EXPECT_FALSE(dialog_.GetAnnotation(text));
  EXPECT_EQ(text, "kept");
  EXPECT_FALSE(dialog_.SetAnnotation("lost"));
}

// The results tab calculates and reads the position again; reading starts from clean data, so the loads stay.
TEST_F(KolumoDlgTest, ResultsTabReadsThePositionAgainWithoutDoublingIt) {
  ShowPosition();
  ASSERT_EQ(dialog_.m_data.loads[0].GetSize(), 2);
  // Whatever the calculation road has to say about this position is not the point here.
  win::msgbox::SetUnscriptedHandler([](const win::msgbox::Record&) { return IDOK; });
  ShowTab(CKolumoDlg::kResultTab);
  EXPECT_EQ(dialog_.m_data.loads[0].GetSize(), 2);
  EXPECT_EQ(CKolumoDlg::s_previousTab, CKolumoDlg::kResultTab);
  EXPECT_EQ(dialog_.GetTabCtrl().GetCurSel(), CKolumoDlg::kResultTab);
}

TEST_F(KolumoDlgTest, ChangedLoadCasesBlockTheResultsTab) {
  ShowPosition();
  std::vector<std::string> tips;
  ShowRtfTipCallback callback = [&tips](const char* file) { tips.emplace_back(file); };
  win::ScopedHandle<ShowRtfTipCallback> tip(&callback);
  CKolumoDlg::s_showRtfTip = tip.get();
  dialog_.m_data.bLastfaelleGeaendert = 1;
  win::msgbox::QueueAnswer(IDOK);
  ShowTab(CKolumoDlg::kResultTab);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text,
            "Die Anzahl der Lastfälle hat sich geändert.\nBitte die Einwirkungen auf der Seite \"Belastung\" mit "
            "\"Einwirkungskombinationen bilden\" neu bilden.");
  EXPECT_TRUE(tips.empty());
  dialog_.m_data.bLastfaelleGeaendert = 0;
  win::msgbox::SetUnscriptedHandler([](const win::msgbox::Record&) { return IDOK; });
  ShowTab(3);
  ShowTab(CKolumoDlg::kResultTab);
  CKolumoDlg::s_showRtfTip = 0;
  EXPECT_EQ(tips,
            (std::vector<std::string>{"\\..\\rtftip\\kolumo_VorVerDlg.rtf", "\\..\\rtftip\\kolumo_ResultDlg.rtf"}));
}

TEST_F(KolumoDlgTest, EveryTabHasItsTipFileAndHelpTopic) {
  const char* topics[] = {"Vortexttabellen.htm", "Steuerwerte.htm", "System.htm",
                          "Vorverformung.htm",   "Belastung.htm",   "Ergebnisse.htm"};
  for (int tab = 0; tab < CKolumoDlg::kTabs; ++tab) {
    EXPECT_STREQ(CKolumoDlg::HelpTopic(tab), topics[tab]);
    EXPECT_EQ(std::string(CKolumoDlg::TipFile(tab)).rfind("\\..\\rtftip\\kolumo_", 0), 0u);
  }
  EXPECT_STREQ(CKolumoDlg::HelpTopic(6), "Inhalt.htm");
  EXPECT_STREQ(CKolumoDlg::HelpTopic(-1), "Inhalt.htm");
  EXPECT_EQ(dialog_.GetTabCtrl().GetItemCount(), CKolumoDlg::kTabs);
}

}  // namespace
