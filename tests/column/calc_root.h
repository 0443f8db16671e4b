// A column test that calculates: the material catalogue of an installation root of its own, set while the test runs,
// and a run of the calculation driver on a position.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "framework/matehandler.h"
#include "framework/progdb.h"
#include "tests/column/column_test_support.h"

namespace column_test {

class CalcRootTest : public ColumnTest {
 protected:
  static void SetUpTestSuite() {
    // the program database is read once per process, before this suite's root is set
    GetProgDB();
    std::string pattern = (std::filesystem::temp_directory_path() / "calcroot-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    s_root = pattern;
    s_installRoot = MakeInstallRoot(s_root, KOLUMO_SOURCE_DIR "/data").string();
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(s_root); }
  void SetUp() override {
    ColumnTest::SetUp();
    if (const char* before = std::getenv("KOLUMO_ROOT")) rootBefore_ = before;
    ::setenv("KOLUMO_ROOT", s_installRoot.c_str(), 1);
    GetMateHandler().OpenStandardDB(TRUE);
  }
  void TearDown() override {
    if (rootBefore_)
      ::setenv("KOLUMO_ROOT", rootBefore_->c_str(), 1);
    else
      ::unsetenv("KOLUMO_ROOT");
    ColumnTest::TearDown();
  }

  // Writes the column into a new position `name`, calculates it and reads it back; the document stays open.
  std::unique_ptr<CKolumoData> Run(CKolumoData& input, int* document = nullptr, const char* name = "position.tqx") {
    const int doc = NewDocument(name);
    input.WriteData(doc);
    Calculate(doc);
    if (document) *document = doc;
    auto out = std::make_unique<CKolumoData>();
    out->SetDefaults();
    out->ReadData(doc);
    return out;
  }

  static inline std::filesystem::path s_root;
  static inline std::string s_installRoot;
  std::optional<std::string> rootBefore_;
};

}  // namespace column_test
