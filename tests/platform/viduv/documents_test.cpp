// Documents: creation, opening, saving and what a bad file does.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/viduv/viduv_test_support.h"

namespace viduv_test {
namespace {

using ViduvDocumentFiles = ScratchFolder;

TEST(ViduvCreateDoc, EmptyOrNullNameGivesRootNamedRoot) {
  for (const char* name : {"", static_cast<const char*>(nullptr)}) {
    Doc doc(VIDUV_CreateDoc(name));
    ASSERT_NE(doc.get(), 0);
    EXPECT_STREQ(VIDUV_GetElementName(doc.root()), "root");
    EXPECT_STREQ(VIDUV_GetCompleteFileName(doc.get()), "");
  }
}

TEST(ViduvCreateDoc, PlainNameBecomesTheRootNameAndTheDocumentHasNoFile) {
  Doc doc(VIDUV_CreateDoc("dummy"));
  EXPECT_STREQ(VIDUV_GetElementName(doc.root()), "dummy");
  EXPECT_STREQ(VIDUV_GetCompleteFileName(doc.get()), "");
  EXPECT_EQ(VIDUV_SaveDoc(doc.get()), 0);
  EXPECT_STRNE(VIDUV_GetLastError(), "");
}

TEST(ViduvCreateDoc, IllegalRootNameGivesNoDocument) {
  EXPECT_EQ(VIDUV_CreateDoc("two words"), 0);
  EXPECT_STRNE(VIDUV_GetLastError(), "");
}

TEST_F(ViduvDocumentFiles, PathNameSetsTheFileAndRootIsRoot) {
  struct Case {
    std::string name;
    std::string expectedFile;
  };
  const std::string cwd = std::filesystem::current_path().string();
  const std::vector<Case> cases = {
      {path("tab.ttp"), path("tab.ttp")},
      {"sektabel.tqx", cwd + "/sektabel.tqx"},
      {"Upper.XML", cwd + "/Upper.XML"},
      {"sub\\pos.tqx", cwd + "/sub\\pos.tqx"},
  };
  for (const Case& c : cases) {
    Doc doc(VIDUV_CreateDoc(c.name.c_str()));
    ASSERT_NE(doc.get(), 0) << c.name;
    EXPECT_STREQ(VIDUV_GetElementName(doc.root()), "root") << c.name;
    EXPECT_EQ(std::string(VIDUV_GetCompleteFileName(doc.get())), c.expectedFile) << c.name;
  }
}

TEST_F(ViduvDocumentFiles, CreatedWithPathSavesThereAndReadsBack) {
  const std::string file = path("table.ttp");
  {
    Doc doc(VIDUV_CreateDoc(file.c_str()));
    const int table = VIDUV_AddChildElement(doc.root(), "table");
    VIDUV_SetInt(table, "nCol", 3);
    ASSERT_EQ(VIDUV_SaveDoc(doc.get()), 1) << VIDUV_GetLastError();
  }
  Doc doc(VIDUV_OpenDoc(file.c_str()));
  ASSERT_NE(doc.get(), 0);
  EXPECT_EQ(VIDUV_GetInt(VIDUV_FindFirstChild(doc.root(), "table"), "nCol"), 3);
  EXPECT_EQ(std::string(VIDUV_GetCompleteFileName(doc.get())), file);
}

TEST_F(ViduvDocumentFiles, BackslashPathsReachTheSameFile) {
  const std::string file = path("pos.tqx");
  writeFile(file, "<root a=\"5\"/>");
  std::string windowsStyle = file;
  for (char& c : windowsStyle) {
    if (c == '/') c = '\\';
  }
  Doc doc(VIDUV_OpenDoc(windowsStyle.c_str()));
  ASSERT_NE(doc.get(), 0) << VIDUV_GetLastError();
  EXPECT_EQ(VIDUV_GetInt(doc.root(), "a"), 5);
}

TEST_F(ViduvDocumentFiles, MissingFileGivesZeroAndAMessage) {
  EXPECT_EQ(VIDUV_OpenDoc(path("absent.tqx").c_str()), 0);
  EXPECT_NE(std::string(VIDUV_GetLastError()).find("absent.tqx"), std::string::npos);
  EXPECT_EQ(VIDUV_OpenDoc(""), 0);
  EXPECT_EQ(VIDUV_OpenDoc(nullptr), 0);
  EXPECT_EQ(VIDUV_OpenDoc(folder().string().c_str()), 0);  // a folder is not a document
}

TEST_F(ViduvDocumentFiles, MalformedOrTruncatedFilesGiveZeroAndAMessage) {
  const std::string whole = "<?xml version=\"1.0\"?>\n<root><input a=\"1\"><geom b=\"2\"/></input></root>\n";
  const std::vector<std::string> bad = {
      "",                                       // empty file
      "   \n",                                  // white space only
      whole.substr(0, whole.size() / 2),        // cut in the middle of a start tag
      whole.substr(0, whole.find("</input>")),  // elements left open
      whole.substr(0, whole.find("</root>")),   // only the root left open
      "<root><a x=\"1/></root>",                // attribute value not closed
      "<root><a></b></root>",                   // mismatched tags
      "<root/><second/>",                       // two roots
      "<root/>trailing text",                   // text after the root
      "<root a=\"1\" a=\"2\"/>",                // duplicate attribute
      "junk<root/>",                            // text before the root
      std::string("<root>\0</root>", 14),       // a NUL byte
      "just text",                              // no markup
  };
  for (const std::string& content : bad) {
    const std::string file = path("bad.tqx");
    writeFile(file, content);
    const int doc = VIDUV_OpenDoc(file.c_str());
    EXPECT_EQ(doc, 0) << "accepted: " << content;
    if (doc != 0) VIDUV_CloseDoc(doc);
    EXPECT_NE(std::string(VIDUV_GetLastError()).find("bad.tqx"), std::string::npos) << content;
  }
  writeFile(path("good.tqx"), whole);
  Doc good(VIDUV_OpenDoc(path("good.tqx").c_str()));
  EXPECT_NE(good.get(), 0) << "the uncut file must open";
  EXPECT_STREQ(VIDUV_GetLastError(), "");
}

TEST_F(ViduvDocumentFiles, FailedSaveIntoMissingFolderLeavesNothing) {
  Doc doc(VIDUV_CreateDoc("root"));
  const std::string target = path("missing/pos.tqx");
  EXPECT_EQ(VIDUV_SaveDocAs(doc.get(), target.c_str()), 0);
  EXPECT_NE(std::string(VIDUV_GetLastError()).find("pos.tqx"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path("missing")));
  EXPECT_TRUE(std::filesystem::is_empty(folder()));
  EXPECT_STREQ(VIDUV_GetCompleteFileName(doc.get()), "") << "a failed save-as keeps the old name";
}

TEST_F(ViduvDocumentFiles, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
  // A folder standing where the file should go makes the final rename fail after everything was written.
  const std::string target = path("pos.tqx");
  std::filesystem::create_directory(target);
  writeFile(target + "/inside.txt", "old");
  Doc doc(VIDUV_CreateDoc("root"));
  EXPECT_EQ(VIDUV_SaveDocAs(doc.get(), target.c_str()), 0);
  EXPECT_EQ(readFile(target + "/inside.txt"), "old");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder())) ++entries;
  EXPECT_EQ(entries, 1) << "no temporary file may remain";
}

TEST_F(ViduvDocumentFiles, SaveReplacesTheFileWhole) {
  const std::string file = path("pos.tqx");
  writeFile(file, "<root old=\"" + std::string(5000, 'x') + "\"/>");
  Doc doc(VIDUV_OpenDoc(file.c_str()));
  VIDUV_DeleteAttr(doc.root(), "old");
  VIDUV_SetInt(doc.root(), "new", 1);
  ASSERT_EQ(VIDUV_SaveDoc(doc.get()), 1);
  const std::string written = readFile(file);
  EXPECT_EQ(written.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
  EXPECT_EQ(written.find("old"), std::string::npos);
  EXPECT_LT(written.size(), 100u);
}

TEST(ViduvDocumentHandles, CloseTwiceAndUnknownHandlesAreHarmless) {
  const int doc = VIDUV_CreateDoc("root");
  EXPECT_EQ(VIDUV_CloseDoc(doc), 1);
  EXPECT_EQ(VIDUV_CloseDoc(doc), 0);
  EXPECT_EQ(VIDUV_CloseDoc(0), 0);
  EXPECT_EQ(VIDUV_GetRootElement(doc), 0);
  EXPECT_EQ(VIDUV_SaveDoc(doc), 0);
  EXPECT_STREQ(VIDUV_GetCompleteFileName(doc), "");
  EXPECT_EQ(VIDUV_GetRootElement(123456789), 0);
}

TEST(ViduvDocumentHandles, ElementHandleIsNotADocument) {
  Doc doc(VIDUV_CreateDoc("root"));
  EXPECT_EQ(VIDUV_GetRootElement(doc.root()), 0);
  EXPECT_EQ(VIDUV_CloseDoc(doc.root()), 0);
  EXPECT_NE(doc.root(), 0) << "the document is still open";
}

}  // namespace
}  // namespace viduv_test

namespace viduv_test {
namespace {

TEST_F(ViduvDocumentFiles, DeeplyNestedFileIsHandledWithoutExhaustingTheStack) {
  constexpr int kDepth = 100000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<a>";
  for (int i = 0; i < kDepth; ++i) text += "</a>";
  writeFile(path("deep.tqx"), text);
  Doc doc(VIDUV_OpenDoc(path("deep.tqx").c_str()));
  ASSERT_NE(doc.get(), 0) << VIDUV_GetLastError();
  unsigned char digest[16];
  EXPECT_EQ(VIDUV_GetFingerPrint(doc.root(), digest), 1);
  EXPECT_EQ(VIDUV_SaveDoc(doc.get()), 1);
  EXPECT_LT(std::filesystem::file_size(path("deep.tqx")), 2 * text.size()) << "no indentation of quadratic size";
  EXPECT_EQ(VIDUV_DeleteElement(VIDUV_GetFirstChild(doc.root())), 1);
  Doc again(VIDUV_OpenDoc(path("deep.tqx").c_str()));
  EXPECT_NE(again.get(), 0);
}

}  // namespace
}  // namespace viduv_test
