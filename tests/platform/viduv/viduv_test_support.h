// Helpers of the XML library's tests: a scratch folder and documents that close themselves.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/viduv/viduv.h"

namespace viduv_test {

// A fresh folder per test, removed afterwards.
class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "viduv-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  const std::filesystem::path& folder() const { return folder_; }

  static void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  static std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path folder_;
};

// Closes the document when the test leaves the scope.
class Doc {
 public:
  explicit Doc(int handle) : handle_(handle) {}
  Doc(const Doc&) = delete;
  Doc& operator=(const Doc&) = delete;
  ~Doc() {
    if (handle_ != 0) VIDUV_CloseDoc(handle_);
  }
  int get() const { return handle_; }
  int root() const { return VIDUV_GetRootElement(handle_); }

 private:
  int handle_;
};

}  // namespace viduv_test
