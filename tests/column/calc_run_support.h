// A calculation run in a scratch folder: an installation root of its own that reads the repository's data, the
// material catalogue opened from it, and a column calculated through the driver and read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "column_test_support.h"
#include "framework/matehandler.h"
#include "framework/progdb.h"

namespace column_test {

// Sets an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~EnvVar() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

class CalcRunFixture : public ColumnTest {
 protected:
  void SetUp() override {
    // The program database is read once per process, from the root of its first use: read it before this root is
    // set, so that every test of the program sees the same one.
    GetProgDB();
    ColumnTest::SetUp();
    root_ = MakeInstallRoot(folder_ / "install", KOLUMO_SOURCE_DIR "/data");
    rootVar_ = std::make_unique<EnvVar>("KOLUMO_ROOT", root_.string());
    // The user's data folder exists and is empty: no user template shadows the installation's.
    std::filesystem::create_directories(folder_ / "common" / "ormi");
    commonVar_ = std::make_unique<EnvVar>("KOLUMO_COMMON_DATA", (folder_ / "common").string());
    GetMateHandler().OpenStandardDB(TRUE);
  }
  void TearDown() override {
    commonVar_.reset();
    rootVar_.reset();
    ColumnTest::TearDown();
  }
  // Writes the column into a position file `name`, calculates it and reads the result back.
  std::unique_ptr<CKolumoData> Run(CKolumoData& input, const std::string& name = "position.tqx") {
    const int doc = NewDocument(name);
    input.WriteData(doc);
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1);
    Calculate(doc);
    auto out = std::make_unique<CKolumoData>();
    out->SetDefaults();
    out->ReadData(doc);
    return out;
  }

  std::filesystem::path root_;
  std::unique_ptr<EnvVar> rootVar_, commonVar_;
};

}  // namespace column_test
