// Helpers of the position-base tests: a scratch folder that is also the installation root, a registry and an RTF
// settings file of the test's own, documents, fingerprints and the message boxes shown.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/base/registry.h"

namespace pos_test {

namespace fs = std::filesystem;

class PosTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / ("pos-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    Redirect("ORMI_REGISTRY", folder_ / "registry.xml");
    Redirect("KOLUMO_ROOT", folder_);
    Redirect("ORMI_RTFX_SETTINGS", folder_ / "rtfx.ini");
    win::msgbox::ClearAnswers();
    win::msgbox::ClearLog();
  }
  void TearDown() override {
    for (int doc : docs_) VIDUV_CloseDoc(doc);
    for (auto& [name, value] : saved_) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
    fs::remove_all(folder_);
  }

  // A new document that saves to the scratch folder.
  int NewDocument(const std::string& name = "position.tqx") {
    int doc = VIDUV_CreateDoc((folder_ / name).c_str());
    EXPECT_NE(doc, 0);
    docs_.push_back(doc);
    return doc;
  }
  int Root(int doc) const { return VIDUV_GetRootElement(doc); }
  // The first child of that name under the root.
  int Child(int doc, const char* name) const { return VIDUV_FindFirstChild(Root(doc), name); }

  static std::array<unsigned char, 16> Fingerprint(int element) {
    std::array<unsigned char, 16> digest{};
    EXPECT_EQ(VIDUV_GetFingerPrint(element, digest.data()), 1);
    return digest;
  }

  static std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& record : win::msgbox::Log()) texts.push_back(record.text);
    return texts;
  }

  // A registry string under HKEY_CURRENT_USER (or another root), written past the settings object.
  static void SetRegistryString(const char* keyPath, const char* name, const std::string& text,
                                HKEY root = HKEY_CURRENT_USER) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(root, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              LSTATUS(ERROR_SUCCESS));
    RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    RegCloseKey(key);
  }
  // The stored value as text and its type; nullopt when it is missing.
  static std::optional<std::pair<DWORD, std::vector<BYTE>>> RegistryValue(const char* keyPath, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> result;
    if (RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::vector<BYTE> data(size);
      RegQueryValueEx(key, name, nullptr, &type, data.data(), &size);
      data.resize(size);
      result = std::make_pair(type, data);
    }
    RegCloseKey(key);
    return result;
  }

  fs::path folder_;

 private:
  void Redirect(const char* name, const fs::path& path) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name, path.c_str(), 1);
  }

  std::vector<int> docs_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace pos_test
