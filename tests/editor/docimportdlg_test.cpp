// The document import: where a position file keeps its document text, and what the import copies.
#include "editor/docimportdlg.h"

#include <gtest/gtest.h>

#include "platform/viduv/viduv.h"
#include "tests/editor/editor_test_util.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
};

// A position file: root with progname and version; text under input/Skrib, or under input itself.
std::string WritePosition(const std::string& dir, const char* name, const char* progname, double version,
                          const std::string& rtf, bool inInput) {
  const std::string path = dir + "/" + name;
  const int doc = VIDUV_CreateDoc(path.c_str());
  const int root = VIDUV_GetRootElement(doc);
  VIDUV_SetString(root, "progname", progname);
  VIDUV_SetDouble(root, "version", version);
  const int input = VIDUV_AddChildElement(root, "input");
  if (!rtf.empty()) {
    const int source = inInput ? input : VIDUV_AddChildElement(input, "Skrib");
    VIDUV_SetBinData(source, "rtfData", int(rtf.size()) + 1, rtf.c_str(), 0);
  }
  EXPECT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);
  return path;
}

class Preview : public SkribPreview {
 public:
  std::string text;
  bool selection = false;
  int copies = 0, zooms = 0;
  void Clear() override { text.clear(), selection = false; }
  void StreamIn(const std::string& rtf) override { text = rtf; }
  bool HasSelection() override { return selection; }
  void SelectAll() override { selection = !text.empty(); }
  void Copy() override { ++copies; }
  void ZoomToPageWidth() override { ++zooms; }
};

class DocumentImportTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterDocumentPart();
    dir = editortest::ScratchDir("docimport");
  }
  void TearDown() override {
    SetDocumentPartFactory(nullptr);
    WindowTest::TearDown();
  }
  std::string dir;
};

TEST_F(DocumentImportTest, TheTextIsFoundWhereTheWritingVersionPutIt) {
  const std::string rtf = "{\\rtf1 b = 0,30\\par}";
  struct Case {
    const char* name;
    const char* progname;
    double version;
    bool inInput;
    bool found;
  };
  const Case cases[] = {
      {"neu.tqx", "Kolumo", 3.0, false, true},
      {"alt.tqx", "Skrib", 2.098, true, true},      // a standalone document of 2.098 keeps it in "input"
      {"grenze.tqx", "Skrib", 2.099, true, false},  // from 2.099 on only "input/Skrib" counts
      {"fremd.tqx", "Kolumo", 2.0, true, false},    // other programs never used "input" itself
  };
  for (const Case& c : cases) {
    const std::string path = WritePosition(dir, c.name, c.progname, c.version, rtf, c.inInput);
    std::string read;
    EXPECT_EQ(ReadDocumentText(path, read), c.found) << c.name;
    EXPECT_EQ(read, c.found ? rtf : "") << c.name;
  }
  const std::string empty = WritePosition(dir, "leer.tqx", "Kolumo", 3.0, "", false);
  std::string read;
  EXPECT_FALSE(ReadDocumentText(empty, read));
  EXPECT_FALSE(ReadDocumentText(dir + "/fehlt.tqx", read));
}

TEST_F(DocumentImportTest, ImportRunsInputValuesAndCopiesTheWholeTextWithoutSelection) {
  const std::string rtf = "{\\rtf1 b = 0,30\\par}";
  const std::string path = WritePosition(dir, "quelle.tqx", "Kolumo", 3.0, rtf, false);
  const std::string none = WritePosition(dir, "ohne.tqx", "Kolumo", 3.0, "", false);
  Position position;
  Preview preview;
  int asked = 0;
  CSkribDlgImportDoc dlg;
  dlg.m_pPreview = &preview;
  dlg.m_pPosition = &position;
  dlg.m_inputValues = [&](SubData& part) {
    ++asked;
    EXPECT_EQ(part.text.Text(), rtf);
    part.text.SetText("{\\rtf1 b = 0,35\\par}");
  };
  win::script::QueueFileDialog(path);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(preview.text, "{\\rtf1 b = 0,35\\par}");
  EXPECT_TRUE(preview.selection);
  EXPECT_EQ(preview.copies, 1);
  EXPECT_EQ(preview.zooms, 1);
  EXPECT_EQ(std::string(dlg.m_sPath), path);

  // A file without document text shows an empty preview and imports nothing.
  EXPECT_FALSE(dlg.Import(none));
  dlg.Preview(none);
  EXPECT_TRUE(preview.text.empty());
  EXPECT_EQ(preview.copies, 1);

  // Select-only: the path and nothing else.
  CSkribDlgImportDoc select;
  select.m_nMode = 1;
  select.m_pPreview = &preview;
  win::script::QueueFileDialog(path);
  ASSERT_EQ(select.DoModal(), IDOK);
  EXPECT_EQ(std::string(select.m_sPath), path);
  EXPECT_EQ(preview.copies, 1);
}

}  // namespace
