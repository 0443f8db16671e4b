// The main of every test program: tests run with a home of their own, so they never read or change the user's
// registry, settings or data folders, and two test programs running side by side never share one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class TestHome : public testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kolumo-test-XXXXXX").string();
    if (char* dir = mkdtemp(pattern.data())) home_ = dir;
    if (home_.empty()) return;
    setenv("ORMI_REGISTRY", (home_ + "/registry.xml").c_str(), 1);
    setenv("ORMI_RTFX_SETTINGS", (home_ + "/rtfx.ini").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home_ + "/data").c_str(), 1);
    setenv("KOLUMO_COMMON_DATA", (home_ + "/common").c_str(), 1);
  }
  void TearDown() override {
    if (home_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }

 private:
  std::string home_;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new TestHome);  // gtest owns it
  return RUN_ALL_TESTS();
}
