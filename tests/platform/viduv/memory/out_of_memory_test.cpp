// The XML library short of memory: every allocation of a call, the parser's own and the library's, is made to fail
// in turn. A call either does its whole work or throws std::bad_alloc; it never answers as if an element, an
// attribute or a file were not there, and never leaves a file half written.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "tests/platform/viduv/viduv_test_support.h"
#include "tests/support/failing_allocations.h"

namespace {

void* ParserAllocate(std::size_t size) { return failing_allocations::FailNow() ? nullptr : std::malloc(size); }
void ParserFree(void* block) { std::free(block); }

}  // namespace

namespace viduv_test {
namespace {

const std::string kLong = "a text longer than any string kept in place, so that reading it allocates";
const std::string kFile = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root progname=\"x\">\n\t<input text=\"" +
                          kLong + "\" bin=\"AQIDBAUGBwg=\">\n\t\t<system nFields=\"3\" />\n\t</input>\n</root>\n";

using failing_allocations::Outcome;

// Every allocation of `call` failing in turn, the parser's own included (see failing_allocations).
int EveryAllocationFails(const std::function<void()>& prepare, const std::function<void()>& call,
                         const std::function<void(Outcome, long)>& check) {
  pugi::set_memory_management_functions(ParserAllocate, ParserFree);
  const int threw = failing_allocations::EveryAllocationFails(prepare, call, check);
  pugi::set_memory_management_functions(std::malloc, std::free);
  return threw;
}

class ViduvShortOfMemory : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    writeFile(path("p.tqx"), kFile);
  }
  void TearDown() override {
    if (doc_) VIDUV_CloseDoc(doc_);
    ScratchFolder::TearDown();
  }
  void Reopen() {
    if (doc_) VIDUV_CloseDoc(doc_);
    doc_ = VIDUV_OpenDoc(path("p.tqx").c_str());
    ASSERT_NE(doc_, 0);
  }
  // The element "input", found before memory runs short.
  int Input() const { return VIDUV_FindFirstChild(VIDUV_GetRootElement(doc_), "input"); }
  int doc_ = 0;
};

TEST_F(ViduvShortOfMemory, AReadEitherFindsWhatIsThereOrThrows) {
  const struct {
    const char* what;
    std::function<bool()> read;  // true when the call returned what the file holds
  } kReads[] = {
      {"first child", [&] { return VIDUV_FindFirstChild(VIDUV_GetRootElement(doc_), "input") != 0; }},
      {"child by path", [&] { return VIDUV_GetIntByPath(doc_, "input\\system", "nFields", -1) == 3; }},
      {"any child", [&] { return VIDUV_GetFirstChild(Input()) != 0; }},
      {"text", [&] { return VIDUV_GetString(Input(), "text") == kLong; }},
      {"byte count", [&] { return VIDUV_GetBinDataLength(Input(), "bin") == 8; }},
      {"bytes",
       [&] {
         unsigned char bytes[8] = {};
         return VIDUV_GetBinData(Input(), "bin", bytes) == 8 && bytes[7] == 8;
       }},
      {"attribute handle", [&] { return VIDUV_GetFirstAttrHandle(Input()) != 0; }},
      {"element name", [&] { return std::string(VIDUV_GetElementName(Input())) == "input"; }},
  };
  for (const auto& c : kReads) {
    SCOPED_TRACE(c.what);
    int input = 0;
    EveryAllocationFails(
        [&] {
          Reopen();
          input = Input();
        },
        [&] { ASSERT_TRUE(c.read()) << "returned without what the file holds"; },
        [&](Outcome, long) { EXPECT_EQ(Input(), input) << "the element read before is still there"; });
  }
}

TEST_F(ViduvShortOfMemory, AFileIsEitherReadWholeOrTheShortageThrows) {
  int threw = EveryAllocationFails([] {},
                                   [&] {
                                     const int doc = VIDUV_OpenDoc(path("p.tqx").c_str());
                                     // never "malformed" or "cannot be read" for want of memory
                                     ASSERT_NE(doc, 0) << VIDUV_GetLastError();
                                     const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
                                     EXPECT_EQ(VIDUV_GetString(input, "text"), kLong);
                                     VIDUV_CloseDoc(doc);
                                   },
                                   [](Outcome, long) {});
  // the parser's own allocations are among those that failed
  EXPECT_GT(threw, 2);
}

TEST_F(ViduvShortOfMemory, AWriteEitherHoldsWhatWasWrittenOrThrows) {
  const struct {
    const char* what;
    std::function<void(int)> write;  // into "input"
    std::function<bool(int)> holds;  // the document holds it
  } kWrites[] = {
      {"new element", [](int input) { ASSERT_NE(VIDUV_AddChildElement(input, "neu"), 0); },
       [](int input) { return VIDUV_FindFirstChild(input, "neu") != 0; }},
      {"element by path", [](int input) { ASSERT_EQ(VIDUV_SetIntByPath(input, "a\\b", "n", 7), 1); },
       [](int input) { return VIDUV_GetIntByPath(input, "a\\b", "n") == 7; }},
      {"new text", [](int input) { ASSERT_EQ(VIDUV_SetString(input, "neu", kLong.c_str()), 1); },
       [](int input) { return VIDUV_GetString(input, "neu") == kLong; }},
      {"text replaced", [](int input) { ASSERT_EQ(VIDUV_SetString(input, "text", (kLong + kLong).c_str()), 1); },
       [](int input) { return VIDUV_GetString(input, "text") == kLong + kLong; }},
      {"bytes", [](int input) { ASSERT_EQ(VIDUV_SetBinData(input, "neu", int(kLong.size()), kLong.data(), 1), 1); },
       [](int input) { return VIDUV_GetBinDataLength(input, "neu") == int(kLong.size()); }},
  };
  for (const auto& c : kWrites) {
    SCOPED_TRACE(c.what);
    int input = 0;
    EveryAllocationFails([&] { Reopen(), input = Input(); }, [&] { c.write(input); },
                         [&](Outcome outcome, long n) {
                           if (outcome == Outcome::kDone) {
                             EXPECT_TRUE(c.holds(input)) << "allocation " << n;
                           }
                         });
  }
}

// A save short of memory leaves the file it would replace as it was, and no half of it.
TEST_F(ViduvShortOfMemory, ASaveEitherWritesTheWholeFileOrThrowsAndKeepsTheOld) {
  const std::string target = path("q.tqx");
  writeFile(target, "old");
  std::string whole;
  EveryAllocationFails(
      [&] {
        Reopen();
        VIDUV_SetString(Input(), "neu", kLong.c_str());
      },
      [&] { ASSERT_EQ(VIDUV_SaveDocAs(doc_, target.c_str()), 1) << VIDUV_GetLastError(); },
      [&](Outcome outcome, long n) {
        const std::string now = readFile(target);
        if (outcome == Outcome::kThrew) {
          EXPECT_EQ(now, "old") << "allocation " << n;
        } else {
          EXPECT_NE(now.find(" neu=\"" + kLong + "\""), std::string::npos) << now;
          EXPECT_EQ(now.substr(now.size() - 8), "</root>\n");
          writeFile(target, "old");
        }
      });
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder())) ++files;
  EXPECT_EQ(files, 2u) << "a temporary was left";
}

}  // namespace
}  // namespace viduv_test
