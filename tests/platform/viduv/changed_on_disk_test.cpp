// A document replaces only the version of its file that it read or last wrote: what another program or process saved
// there meanwhile is kept, the save refused, until the caller allows that version to be replaced. The comparison and
// the replacement are one step: a save that comes while another one compares and renames waits for it, a bounded time.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win/base/replace.h"
#include "tests/platform/viduv/viduv_test_support.h"

namespace {

using viduv_test::Doc;
using ViduvChangedOnDisk = viduv_test::ScratchFolder;

const std::string kOriginal = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root version=\"1\"/>\n";
const std::string kOthers = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root version=\"2\" von=\"Berechnung\"/>\n";

// A file replaced as every save replaces it: a new file renamed over the old one.
void ReplaceWith(const std::string& file, const std::string& bytes) {
  const std::string other = file + ".anders";
  std::ofstream(other, std::ios::binary) << bytes;
  std::rename(other.c_str(), file.c_str());
}

TEST_F(ViduvChangedOnDisk, ASaveReplacesOnlyTheVersionItReadUnlessAllowed) {
  enum class Meanwhile { kNothing, kSameBytes, kOtherBytes, kRemoved };
  const struct {
    const char* name;
    Meanwhile meanwhile;
    bool refused;
  } cases[] = {
      {"nothing happened", Meanwhile::kNothing, false},
      {"rewritten with the same bytes", Meanwhile::kSameBytes, false},
      {"saved by another program", Meanwhile::kOtherBytes, true},
      {"removed", Meanwhile::kRemoved, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = path("Pos.tqx");
    writeFile(file, kOriginal);
    Doc doc(VIDUV_OpenDoc(file.c_str()));
    ASSERT_NE(doc.get(), 0);
    VIDUV_SetString(doc.root(), "Anmerkung", "geprüft");
    switch (c.meanwhile) {
      case Meanwhile::kNothing: break;
      case Meanwhile::kSameBytes: ReplaceWith(file, kOriginal); break;
      case Meanwhile::kOtherBytes: ReplaceWith(file, kOthers); break;
      case Meanwhile::kRemoved: std::remove(file.c_str()); break;
    }
    const std::string before = readFile(file);
    EXPECT_EQ(VIDUV_FileChangedOnDisk(doc.get()), c.refused ? 1 : 0);
    EXPECT_EQ(VIDUV_SaveDoc(doc.get()), c.refused ? 0 : 1);
    if (!c.refused) {
      EXPECT_NE(readFile(file).find("geprüft"), std::string::npos);
      EXPECT_EQ(VIDUV_FileChangedOnDisk(doc.get()), 0) << "its own save is no change";
      continue;
    }
    EXPECT_NE(std::string(VIDUV_GetLastError()).find(file), std::string::npos) << VIDUV_GetLastError();
    EXPECT_EQ(readFile(file), before) << "what the other left is kept";
    EXPECT_EQ(VIDUV_FileChangedOnDisk(doc.get()), 1);
    EXPECT_EQ(VIDUV_SaveDoc(doc.get()), 0) << "asked again, refused again";

    // Allowed: that version is replaced; a change after the allowance is refused again.
    EXPECT_EQ(VIDUV_AllowReplacingFile(doc.get()), 1);
    EXPECT_EQ(VIDUV_SaveDoc(doc.get()), 1) << VIDUV_GetLastError();
    EXPECT_NE(readFile(file).find("geprüft"), std::string::npos);
    ReplaceWith(file, kOthers);
    EXPECT_EQ(VIDUV_SaveDoc(doc.get()), 0);
    EXPECT_EQ(VIDUV_FileChangedOnDisk(doc.get()), 1);
    ReplaceWith(file, kOthers + " ");
    EXPECT_EQ(VIDUV_AllowReplacingFile(doc.get()), 1);
    EXPECT_EQ(VIDUV_SaveDoc(doc.get()), 0) << "allowed was the version seen before, not the one there now";
    EXPECT_EQ(readFile(file), kOthers + " ");
  }
}

// Two documents of one file: the second one saved replaces the first one's save only when allowed. A document that
// never read its file, and a save under another name, replace whatever stands there.
TEST_F(ViduvChangedOnDisk, TwoDocumentsOfOneFileAndNewOnes) {
  const std::string file = path("Pos.tqx");
  writeFile(file, kOriginal);
  Doc first(VIDUV_OpenDoc(file.c_str()));
  Doc second(VIDUV_OpenDoc(file.c_str()));
  VIDUV_SetString(first.root(), "von", "erstes");
  VIDUV_SetString(second.root(), "von", "zweites");
  ASSERT_EQ(VIDUV_SaveDoc(first.get()), 1);
  ASSERT_EQ(VIDUV_SaveDoc(first.get()), 1) << "a second save of its own";
  EXPECT_EQ(VIDUV_SaveDoc(second.get()), 0);
  EXPECT_NE(readFile(file).find("erstes"), std::string::npos);

  Doc made(VIDUV_CreateDoc(file.c_str()));
  EXPECT_EQ(VIDUV_FileChangedOnDisk(made.get()), 0);
  EXPECT_EQ(VIDUV_SaveDoc(made.get()), 1) << VIDUV_GetLastError();
  EXPECT_EQ(VIDUV_SaveDocAs(second.get(), file.c_str()), 1) << VIDUV_GetLastError();
  EXPECT_NE(readFile(file).find("zweites"), std::string::npos);
  EXPECT_EQ(VIDUV_SaveDoc(second.get()), 1) << "its save under that name is the version it wrote";
}

// Whether process `pid` has the file open (a save that opened what stands there to lock and compare it).
bool HasOpen(pid_t pid, const std::string& file) {
  std::error_code ignored;
  const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
    if (std::filesystem::read_symlink(entry.path(), ignored) == file) return true;
  return false;
}

// A save in another process comes while this one holds the lock of a save between its comparison and its rename
// (taken here by hand). Let go at once, the save waits for it and then finds the file as the other save left it.
// Held for longer than a save waits (a run stopped there), the save ends after that wait, saying that another
// program is saving the position, and the file is as it was.
TEST_F(ViduvChangedOnDisk, ASaveWaitsABoundedTimeWhileAnotherComparesAndRenames) {
  // the saver's exit status; refused with the file as it read it: for the lock, as its message says
  enum Outcome { kSaved = 0, kRefusedAsChanged = 1, kRefusedAsBusy = 2, kOther = 3 };
  const struct {
    const char* name;
    bool letGo;  // before the save's wait ends
    bool replaced;
    Outcome outcome;
  } cases[] = {
      {"the other save renames and lets go", true, true, kRefusedAsChanged},
      {"the other save keeps the file and lets go", true, false, kSaved},
      {"the other save is stopped while it holds the lock", false, false, kRefusedAsBusy},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = path("Pos.tqx");
    const std::string errorFile = path("error.txt");
    writeFile(file, kOriginal);
    Doc doc(VIDUV_OpenDoc(file.c_str()));
    ASSERT_NE(doc.get(), 0);
    VIDUV_SetString(doc.root(), "Anmerkung", "geprüft");
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    const pid_t saver = ::fork();
    if (saver == 0) {
      // started only once the lock is held, so that the only descriptor of the file it has is its save's
      char byte = 0;
      ::close(go[1]);
      if (::read(go[0], &byte, 1) != 1) ::_exit(kOther);
      ::alarm(30);  // a save that waits for ever fails the test instead of holding it
      if (VIDUV_SaveDoc(doc.get()) == 1) ::_exit(kSaved);
      writeFile(errorFile, VIDUV_GetLastError());
      ::_exit(VIDUV_FileChangedOnDisk(doc.get()) ? kRefusedAsChanged : kRefusedAsBusy);
    }
    ASSERT_GT(saver, 0);
    ::close(go[0]);
    const int held = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_EQ(::write(go[1], "x", 1), 1);
    ::close(go[1]);
    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    bool waits = false, ended = false;
    while (!waits && !ended && std::chrono::steady_clock::now() < started + std::chrono::seconds(20)) {
      waits = HasOpen(saver, file);
      ended = ::waitpid(saver, &status, WNOHANG) == saver;
      if (!waits) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(waits) << "the save did not come to the lock";
    if (c.replaced) ReplaceWith(file, kOthers);
    if (c.letGo) ::close(held);
    if (!ended) {
      // bounded by the save's alarm
      ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    }
    const auto took = std::chrono::steady_clock::now() - started;
    if (!c.letGo) ::close(held);
    ASSERT_TRUE(WIFEXITED(status)) << "the save did not end by itself (it waited for ever)";
    EXPECT_EQ(WEXITSTATUS(status), c.outcome) << readFile(errorFile);
    if (c.outcome == kSaved) {
      EXPECT_NE(readFile(file).find("geprüft"), std::string::npos);
      continue;
    }
    EXPECT_EQ(readFile(file), c.replaced ? kOthers : kOriginal);
    if (c.outcome != kRefusedAsBusy) continue;
    EXPECT_EQ(readFile(errorFile).rfind("Cannot write '" + file + "': another program is saving it", 0), 0u)
        << readFile(errorFile);
    // the wait of a save (3 s), and no more than a moment beyond
    EXPECT_GE(took, std::chrono::milliseconds(2900));
    EXPECT_LT(took, std::chrono::seconds(10));
    std::set<std::string> beside;
    for (const auto& entry : std::filesystem::directory_iterator(folder())) beside.insert(entry.path().filename());
    EXPECT_EQ(beside, (std::set<std::string>{"Pos.tqx", "error.txt"})) << "a temporary is left";
  }
}

// A box among German sentences gives a failed replacement's reason in German: the reasons the replacement words
// itself are translated, a system's reason is kept as the system words it, another text is left as it is.
TEST(ReplaceErrorInGerman, SaysWhyInGerman) {
  const struct {
    const char* name;
    std::string error, german;
  } cases[] = {
      {"the lock held by another save",
       "Cannot write '/p/Pos.tqx': another program is saving it (it has held the file's lock for more than 3 s); it "
       "is kept as it is",
       "Die Datei \"/p/Pos.tqx\" kann nicht geschrieben werden: ein anderes Programm speichert sie gerade (es hält "
       "ihre Sperre seit mehr als 3 s); sie bleibt, wie sie ist"},
      {"a system's reason", "Cannot write '/p/a': b.tqx': File too large",
       "Die Datei \"/p/a': b.tqx\" kann nicht geschrieben werden: File too large"},
      {"the standing file unreadable", "Cannot write 'x': the file standing there cannot be read to compare (Gone)",
       "Die Datei \"x\" kann nicht geschrieben werden: die Datei, die dort steht, kann zum Vergleich nicht gelesen "
       "werden (Gone)"},
      {"another form", "Cannot write a file without a file name", "Cannot write a file without a file name"},
  };
  for (const auto& c : cases) EXPECT_EQ(win::ReplaceErrorInGerman(c.error), c.german) << c.name;
  // as the replacement words it
  std::string error;
  ASSERT_FALSE(win::ReplaceFile("/tmp/", "x", {}, error));
  EXPECT_EQ(win::ReplaceErrorInGerman(error),
            "Die Datei \"/tmp/\" kann nicht geschrieben werden: das ist kein Dateiname");
}

}  // namespace
