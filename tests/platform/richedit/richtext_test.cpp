#include "platform/richedit/richtext.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class RichTextTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) / ("richtext_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(RichTextTest, ShowFileLoadsTheWholeFileAndScrollsToTheStart) {
  // Bytes beyond the first zero and line ends are kept as they are.
  const std::string rtf = std::string("{\\rtf1\\ansi Stahlbetonst\\'fctze\r\n\\par}") + '\0' + "tail";
  fs::path file = dir_ / "Pos 1.rtf";
  std::ofstream(file, std::ios::binary) << rtf;
  CRichText control;
  control.SetProperty5(12);
  control.SetProperty8(34);
  std::string windowsPath = file.string();
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  control.ShowFile(windowsPath.c_str());
  EXPECT_EQ(control.GetText().str(), rtf);
  EXPECT_EQ(control.GetFileType(), long(CRichText::rtfFile));
  EXPECT_EQ(control.GetProperty5(), 0);
  EXPECT_EQ(control.GetProperty8(), 0);
}

TEST_F(RichTextTest, AFileThatCannotBeReadLeavesTheText) {
  CRichText control;
  control.ShowText("vorher");
  EXPECT_FALSE(control.LoadFile((dir_ / "missing.rtf").c_str(), CRichText::rtfFile));
  EXPECT_FALSE(control.LoadFile(nullptr, CRichText::rtfFile));
  control.ShowFile((dir_ / "missing.rtf").c_str());
  EXPECT_EQ(control.GetText(), "vorher");
  EXPECT_EQ(control.GetFileType(), long(CRichText::textFile));
}

TEST_F(RichTextTest, ShowTextReplacesAFileShownBefore) {
  fs::path file = dir_ / "a.rtf";
  std::ofstream(file) << "{\\rtf1 a}";
  CRichText control;
  ASSERT_TRUE(control.LoadFile(file.c_str(), CRichText::rtfFile));
  control.ShowText("Keine Ergebnisse");
  EXPECT_EQ(control.GetText(), "Keine Ergebnisse");
  EXPECT_EQ(control.GetFileType(), long(CRichText::textFile));
}

}  // namespace
