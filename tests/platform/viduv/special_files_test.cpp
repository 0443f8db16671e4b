// Files that are not plain files: FIFOs are refused without waiting for a writer, and a save through a
// symbolic link replaces the file the link names, not the link.
#include <sys/stat.h>

#include <chrono>

#include "tests/platform/viduv/viduv_test_support.h"

namespace {

using viduv_test::ScratchFolder;
using ViduvSpecialFiles = ScratchFolder;

TEST_F(ViduvSpecialFiles, AFifoIsRefusedAtOnce) {
  ASSERT_EQ(mkfifo(path("pipe.tqx").c_str(), 0644), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(VIDUV_OpenDoc(path("pipe.tqx").c_str()), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(std::string(VIDUV_GetLastError()).find("not a regular file"), std::string::npos) << VIDUV_GetLastError();
}

TEST_F(ViduvSpecialFiles, SavingThroughLinksWritesTheirTarget) {
  // a relative link to a link in another folder, which names the file
  std::filesystem::create_directory(folder() / "a");
  writeFile(path("a/file.tqx"), "<root/>");
  std::filesystem::create_symlink("file.tqx", folder() / "a" / "inner.tqx");
  std::filesystem::create_symlink("a/inner.tqx", folder() / "outer.tqx");
  const int doc = VIDUV_CreateDoc("saved");
  ASSERT_NE(doc, 0);
  ASSERT_EQ(VIDUV_SaveDocAs(doc, path("outer.tqx").c_str()), 1) << VIDUV_GetLastError();
  VIDUV_CloseDoc(doc);
  EXPECT_TRUE(std::filesystem::is_symlink(folder() / "outer.tqx"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder() / "a" / "inner.tqx"));
  EXPECT_NE(readFile(path("a/file.tqx")).find("<saved"), std::string::npos);
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder() / "a")) ++entries;
  EXPECT_EQ(entries, 2) << "a temporary file stayed";
}

TEST_F(ViduvSpecialFiles, ADanglingLinkGetsItsFile) {
  std::filesystem::create_symlink("new.tqx", folder() / "link.tqx");
  const int doc = VIDUV_CreateDoc("made");
  ASSERT_EQ(VIDUV_SaveDocAs(doc, path("link.tqx").c_str()), 1) << VIDUV_GetLastError();
  VIDUV_CloseDoc(doc);
  EXPECT_TRUE(std::filesystem::is_symlink(folder() / "link.tqx"));
  EXPECT_NE(readFile(path("new.tqx")).find("<made"), std::string::npos);
}

}  // namespace
