// Helpers of the formula tests: a private registry file for the angle unit and evaluation outcomes as data.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "formula/parserfunctions.h"
#include "formula/varstore.h"
#include "platform/win/base/registry.h"

namespace formula_test {

// Points the registry at a file of its own for the test's life, so that the user's settings never leak in;
// the angle unit is read afresh.
class PrivateRegistry {
 public:
  PrivateRegistry() {
    path_ = std::filesystem::path(testing::TempDir()) /
            ("formula-registry-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++) + ".xml");
    std::filesystem::remove(path_);
    ::setenv("ORMI_REGISTRY", path_.c_str(), 1);
    ResetAngleUnit();
  }
  ~PrivateRegistry() {
    ::unsetenv("ORMI_REGISTRY");
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    std::filesystem::remove(path_.string() + ".lock", ignored);
    ResetAngleUnit();
  }
  PrivateRegistry(const PrivateRegistry&) = delete;
  PrivateRegistry& operator=(const PrivateRegistry&) = delete;

  // Writes "angleUnit" as the settings dialog would and lets the next read see it.
  void SetAngleUnit(const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "software\\Ormi\\Vernik2005", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                             &key, nullptr),
              LSTATUS(ERROR_SUCCESS));
    EXPECT_EQ(
        RegSetValueEx(key, "angleUnit", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1)),
        LSTATUS(ERROR_SUCCESS));
    RegCloseKey(key);
    ResetAngleUnit();
  }

 private:
  std::filesystem::path path_;
  static inline int counter_ = 0;
};

// What one evaluation left behind.
struct Outcome {
  bool ok = false;
  double value = 0.0;
  std::vector<int> codes;
  std::vector<std::string> texts;
};

inline Outcome Evaluate(CVariableStore& store, const std::string& text, double sentinel = -12345.0) {
  Outcome out;
  out.value = sentinel;
  out.ok = store.Evaluate(text.c_str(), &out.value) != FALSE;
  for (const CVarMessage& m : store.m_Messages) {
    out.codes.push_back(m.m_nCode);
    out.texts.push_back(m.m_strText.str());
  }
  return out;
}

}  // namespace formula_test
