// The column's input dialog in a host window, with the example column saved as a position of its own and read
// in as the host reads it; OK stores the pages, writes the data and saves, as the host does.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "column_ui/kolumodlg.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"

namespace column_dialog_test {

namespace fs = std::filesystem;

inline std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline bool Shown(CWnd& page, UINT id) {
  CWnd* item = page.GetDlgItem(id);
  return item && (item->GetStyle() & WS_VISIBLE) != 0;
}
inline bool Shown(CWnd* page, UINT id) { return Shown(*page, id); }

class ColumnDialogTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "column-dialog-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    ASSERT_TRUE(host_.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 0, 0, 1040, 300, nullptr, nullptr));
    ASSERT_TRUE(dialog_.Create(CKolumoDlg::IDD, &host_));
    dialog_.SetWindowPos(nullptr, 0, 0, 1040, 300, SWP_NOZORDER);
    dialog_.ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    dialog_.DestroyWindow();
    host_.DestroyWindow();
    if (doc_) VIDUV_CloseDoc(doc_);
    fs::remove_all(folder_);
    WindowTest::TearDown();
  }

  // The example column, edited by `change` and saved as a position of its own, read in as the host reads it.
  fs::path Open(const std::function<void(CKolumoData&)>& change = nullptr) {
    if (doc_) VIDUV_CloseDoc(doc_);
    const fs::path path = folder_ / "position.tqx";
    {
      CKolumoData data;
      const int source = VIDUV_OpenDoc(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx");
      EXPECT_NE(source, 0);
      data.doc = source;
      data.ReadData(source);
      if (change) change(data);
      data.WriteData(source);
      EXPECT_TRUE(VIDUV_SaveDocAs(source, path.c_str()));
      VIDUV_CloseDoc(source);
    }
    doc_ = VIDUV_OpenDoc(path.c_str());
    dialog_.m_data.SetDefaults();
    dialog_.m_data.doc = doc_;
    dialog_.m_data.ReadData(doc_);
    dialog_.ExchangeData(FALSE);
    return path;
  }
  // A new position as the module makes one for "kolumo new", saved and read in as the host reads it.
  fs::path OpenNew() {
    if (doc_) VIDUV_CloseDoc(doc_);
    const fs::path path = folder_ / "position.tqx";
    {
      CKolumoData data;
      const int created = VIDUV_CreateDoc(path.c_str());
      data.doc = created;
      data.WriteData(created);
      EXPECT_TRUE(VIDUV_SaveDoc(created));
      VIDUV_CloseDoc(created);
    }
    doc_ = VIDUV_OpenDoc(path.c_str());
    dialog_.m_data.SetDefaults();
    dialog_.m_data.doc = doc_;
    dialog_.m_data.ReadData(doc_);
    dialog_.ExchangeData(FALSE);
    return path;
  }
  // What the host does on OK: the pages store, the data is written and the position saved.
  void Ok() {
    dialog_.ExchangeData(TRUE);
    dialog_.m_data.WriteData(doc_);
    ASSERT_TRUE(VIDUV_SaveDoc(doc_));
  }
  void ShowTab(int tab) {
    dialog_.GetTabCtrl().SetCurSel(tab);
    dialog_.OnPageChange();
  }
  // A click on the tab's label, as the engineer changes the page.
  void ClickTab(int tab) {
    CRect label;
    ASSERT_TRUE(dialog_.GetTabCtrl().GetItemRect(tab, &label));
    win::input::Click(dialog_.GetTabCtrl().m_hWnd, label.CenterPoint().x, label.CenterPoint().y);
    win::PumpMessages();
  }
  void SelectStage(int stage) {
    dialog_.GetStageBox().SetCurSel(stage);
    dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(CKolumoDlg::kIdStage, CBN_SELCHANGE),
                        LPARAM(dialog_.GetStageBox().m_hWnd));
  }
  static std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& record : win::msgbox::Log()) texts.push_back(record.text);
    return texts;
  }

  fs::path folder_;
  int doc_ = 0;
  CWnd host_;
  CKolumoDlg dialog_;
};

}  // namespace column_dialog_test
