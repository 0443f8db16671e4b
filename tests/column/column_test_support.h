// Helpers of the column tests: a scratch folder with a position document, and the message boxes shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"

namespace column_test {

// An installation root of its own in `folder` that reads the repository's program descriptions, catalogues and
// templates, so that what the programs write there (the start-up log) stays out of the repository.
inline std::filesystem::path MakeInstallRoot(const std::filesystem::path& folder, const std::string& dataDir) {
  const std::filesystem::path root = folder / "root";
  std::filesystem::create_directories(root);
  for (const char* part : {"pi", "catalogs", "Vorlagen"})
    std::filesystem::create_directory_symlink(std::filesystem::path(dataDir) / part, root / part);
  return root;
}

class ColumnTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "column-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    win::msgbox::ClearAnswers();
    win::msgbox::ClearLog();
  }
  void TearDown() override {
    for (int doc : docs_) VIDUV_CloseDoc(doc);
    std::filesystem::remove_all(folder_);
  }

  // A new position document that saves into the scratch folder.
  int NewDocument(const std::string& name = "position.tqx") {
    const int doc = VIDUV_CreateDoc((folder_ / name).c_str());
    EXPECT_NE(doc, 0);
    docs_.push_back(doc);
    return doc;
  }

  // Saves the document and opens the file again, so that a round trip goes through the file.
  int Reopened(int doc) {
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1) << VIDUV_GetLastError();
    const int again = VIDUV_OpenDoc(VIDUV_GetCompleteFileName(doc));
    EXPECT_NE(again, 0);
    docs_.push_back(again);
    return again;
  }

  static int Root(int doc) { return VIDUV_GetRootElement(doc); }
  static int Input(int doc) { return VIDUV_FindFirstChild(Root(doc), "input"); }

  static int CountChildren(int parent, const char* name) {
    int count = 0;
    for (int c = VIDUV_FindFirstChild(parent, name); c; c = VIDUV_FindNextChild(c, name)) ++count;
    return count;
  }

  static std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& record : win::msgbox::Log()) texts.push_back(record.text);
    return texts;
  }

  std::filesystem::path folder_;
  std::vector<int> docs_;
};

}  // namespace column_test
