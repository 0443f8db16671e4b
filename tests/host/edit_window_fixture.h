// The editing window of "kolumo edit" in the test process: the module loaded once, the example column copied as
// the position, and the window's controls found at any depth.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "host/edit.h"
#include "host/module.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/wintest.h"

namespace edit_window_test {

class EditWindowTest : public win::test::WindowTest {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    // The module reads its installation root as the host hands it over.
    const std::string root = host::FindInstallRoot(error);
    ASSERT_FALSE(root.empty()) << error;
    ::setenv("KOLUMO_ROOT", root.c_str(), 1);
    module_ = host::Module::Load(error).release();
    ASSERT_NE(module_, nullptr) << error;
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
  }
  void SetUp() override {
    WindowTest::SetUp();
    std::filesystem::create_directories(dir_);
    std::filesystem::copy_file(std::filesystem::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", file_,
                               std::filesystem::copy_options::overwrite_existing);
  }
  void TearDown() override {
    WindowTest::TearDown();
    std::filesystem::remove_all(dir_);
  }
  host::EditResult Edit() {
    const int document = VIDUV_OpenDoc(file_.c_str());
    EXPECT_NE(document, 0);
    std::string error;
    const host::EditResult result = host::EditPosition(*module_, document, error);
    VIDUV_CloseDoc(document);
    return result;
  }
  static inline host::Module* module_ = nullptr;
  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("kolumo-edit-" + std::to_string(::getpid()));
  const std::string file_ = (dir_ / "Stuetze.tqx").string();
};

// A window (any depth below the editing window) by its control id; with visibleOnly the one shown.
inline HWND Descendant(HWND window, int id, bool visibleOnly = false) {
  HWND found = nullptr;
  std::function<void(HWND)> look = [&](HWND parent) {
    for (HWND c = GetWindow(parent, GW_CHILD); c && !found; c = GetWindow(c, GW_HWNDNEXT))
      if (GetDlgCtrlID(c) == id && (!visibleOnly || IsWindowVisible(c)))
        found = c;
      else
        look(c);
  };
  look(window);
  return found;
}

}  // namespace edit_window_test
