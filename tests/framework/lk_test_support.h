// Helpers of the load-combination data tests: a scratch folder, a position document, and the message boxes
// shown during a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/lkdata.h"
#include "platform/viduv/viduv.h"

namespace lk_test {

class LKTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "lkdata-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    document_ = VIDUV_CreateDoc((folder_ / "position.tqx").c_str());
    ASSERT_NE(document_, 0);
    win::msgbox::ClearAnswers();
    win::msgbox::ClearLog();
  }
  void TearDown() override {
    VIDUV_CloseDoc(document_);
    std::filesystem::remove_all(folder_);
  }

  int root() const { return VIDUV_GetRootElement(document_); }

  // The texts of the message boxes shown so far.
  static std::vector<std::string> messages() {
    std::vector<std::string> texts;
    for (const auto& record : win::msgbox::Log()) texts.push_back(record.text);
    return texts;
  }

  // Saves the document and opens the file again: the round trip goes through the file.
  int reopened() {
    EXPECT_EQ(VIDUV_SaveDoc(document_), 1) << VIDUV_GetLastError();
    const int again = VIDUV_OpenDoc((folder_ / "position.tqx").c_str());
    EXPECT_NE(again, 0);
    opened_.push_back(again);
    return again;
  }

  std::filesystem::path folder_;
  int document_ = 0;
  std::vector<int> opened_;

 public:
  ~LKTest() override {
    for (int doc : opened_) VIDUV_CloseDoc(doc);
  }
};

inline CEinwirkung action(int nr, int gruppe, int gruppeHHHH, int kategorie) {
  CEinwirkung e;
  e.nr = nr;
  e.indexGruppe = gruppe;
  e.indexGruppeHHHH = gruppeHHHH;
  e.indexKategorie = kategorie;
  return e;
}

}  // namespace lk_test
