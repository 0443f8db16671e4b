// The general settings dialog: what it copies from the position, what OK writes back, and a page number that
// does not fit.
#include "framework_ui/settingsdlg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/basedata.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"
#include "platform/viduv/viduv.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
};

class SettingsDlgTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    data.nPage = 7;
    data.freeText = "Bauvorhaben Nord";
    data.varDefs.bPageBreak = TRUE;
    data.dickeLinie = true;
  }
  static void Save(CDialog& d, const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(d.m_hWnd, std::string(dir) + "/" + name + ".png");
  }
  static void Press(CDialog& d, int id) { win::input::ClickCenter(d.GetDlgItem(id)->m_hWnd); }
  Position data;
};

TEST_F(SettingsDlgTest, OkWithoutTouchingAnythingKeepsEveryValue) {
  dlgAllg dialog;
  dialog.pData = &data;
  dialog.bOfferThickLines = TRUE;
  win::script::QueueDialog([](CDialog& d) {
    EXPECT_TRUE(d.GetDlgItem(IDC_ALLG_THICK)->IsWindowVisible());
    CString text;
    d.GetDlgItemText(IDC_ALLG_FREETEXT, text);
    EXPECT_EQ(text, "Bauvorhaben Nord");
    Save(d, "settingsdlg");
    Press(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(data.nPage, 7);
  EXPECT_EQ(data.freeText, "Bauvorhaben Nord");
  EXPECT_TRUE(data.varDefs.bPageBreak);
  EXPECT_TRUE(data.dickeLinie);
}

TEST_F(SettingsDlgTest, WithoutPositionDataTheDialogOpensEmptyAndOkChangesNothing) {
  dlgAllg dialog;
  win::script::QueueDialog([](CDialog& d) {
    CString text;
    d.GetDlgItemText(IDC_ALLG_PAGE, text);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(d.GetDlgItem(IDC_ALLG_THICK)->IsWindowVisible());
    d.SetDlgItemText(IDC_ALLG_FREETEXT, "neu");
    Press(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.freeText, "");
  EXPECT_EQ(dialog.nPage, 1);
}

TEST_F(SettingsDlgTest, EditedValuesAreWrittenAndAnOptionNotOfferedClearsThickLines) {
  dlgAllg dialog;
  dialog.pData = &data;
  win::script::QueueDialog([](CDialog& d) {
    d.SetDlgItemText(IDC_ALLG_FREETEXT, "Halle 3");
    d.SetDlgItemText(IDC_ALLG_PAGE, "12");
    Press(d, IDC_ALLG_PAGEBREAK);
    Press(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(data.nPage, 12);
  EXPECT_EQ(data.freeText, "Halle 3");
  EXPECT_FALSE(data.varDefs.bPageBreak);
  EXPECT_FALSE(data.dickeLinie);
}

TEST_F(SettingsDlgTest, APageNumberOutOfRangeKeepsTheDialogOpenAndTheDataUnchanged) {
  dlgAllg dialog;
  dialog.pData = &data;
  win::msgbox::QueueAnswer(IDOK);
  win::script::QueueDialog([](CDialog& d) {
    d.SetDlgItemText(IDC_ALLG_FREETEXT, "Halle 3");
    d.SetDlgItemText(IDC_ALLG_PAGE, "20000");
    Press(d, IDOK);
    EXPECT_TRUE(d.IsWindowVisible());
    // The edit keeps what was typed for correction.
    CString text;
    d.GetDlgItemText(IDC_ALLG_FREETEXT, text);
    EXPECT_EQ(text, "Halle 3");
    Press(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("16960"), std::string::npos);
  EXPECT_EQ(data.nPage, 7);
  EXPECT_EQ(data.freeText, "Bauvorhaben Nord");
}

// The spin beside the first page number steps the number in its field: from 1, two clicks on the upper arrow give
// 3, and the position keeps 3. A click below the middle steps back down.
TEST_F(SettingsDlgTest, TheSpinArrowsStepTheFirstPageNumberInItsField) {
  data.nPage = 1;
  dlgAllg dialog;
  dialog.pData = &data;
  win::script::QueueDialog([](CDialog& d) {
    CWnd* spin = d.GetDlgItem(IDC_ALLG_PAGE_SPIN);
    CRect r;
    spin->GetClientRect(&r);
    ASSERT_GT(r.Height(), 3);
    const auto field = [&d] {
      CString text;
      d.GetDlgItemText(IDC_ALLG_PAGE, text);
      return std::string(text.GetString());
    };
    win::input::Click(spin->m_hWnd, r.Width() / 2, 1);
    EXPECT_EQ(field(), "2");
    win::input::Click(spin->m_hWnd, r.Width() / 2, 1);
    EXPECT_EQ(field(), "3");
    win::input::Click(spin->m_hWnd, r.Width() / 2, r.Height() - 2);
    win::input::Click(spin->m_hWnd, r.Width() / 2, 1);
    EXPECT_EQ(field(), "3");
    Save(d, "settingsdlg_spin");
    Press(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(data.nPage, 3);
  // what the position file then holds
  const int doc = VIDUV_CreateDoc((testing::TempDir() + "spin.tqx").c_str());
  ASSERT_NE(doc, 0);
  data.WriteData(doc);
  EXPECT_EQ(VIDUV_GetInt(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "nPage"), 3);
  VIDUV_CloseDoc(doc);
}

}  // namespace
