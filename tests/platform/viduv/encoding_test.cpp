// Text encodings: UTF-8 written, Windows-1252 accepted on reading.
#include <string>
#include <vector>

#include "tests/platform/viduv/viduv_test_support.h"

namespace viduv_test {
namespace {

using ViduvEncodingFiles = ScratchFolder;

// "Größe ÄÖÜ äöü €" in Windows-1252 bytes and in UTF-8.
const std::string kUmlauts1252 =
    "Gr\xF6\xDF"
    "e \xC4\xD6\xDC \xE4\xF6\xFC \x80";
const std::string kUmlautsUtf8 =
    "Gr\xC3\xB6\xC3\x9F"
    "e \xC3\x84\xC3\x96\xC3\x9C \xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC";

TEST_F(ViduvEncodingFiles, Windows1252WithUmlautsIsReadAsUtf8) {
  const std::vector<std::string> heads = {
      "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n",
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n",
      "<?xml version='1.0' encoding='Windows-1252' standalone='yes'?>\n",
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",  // declared wrongly: the bytes are not UTF-8
      "",                                              // no declaration
  };
  for (const std::string& head : heads) {
    writeFile(path("old.tqx"), head + "<root name=\"" + kUmlauts1252 + "\"><St\xFCtze/></root>");
    Doc doc(VIDUV_OpenDoc(path("old.tqx").c_str()));
    ASSERT_NE(doc.get(), 0) << head << VIDUV_GetLastError();
    EXPECT_EQ(std::string(VIDUV_GetString(doc.root(), "name")), kUmlautsUtf8) << head;
    EXPECT_NE(VIDUV_FindFirstChild(doc.root(), "St\xC3\xBCtze"), 0) << head;
  }
}

TEST_F(ViduvEncodingFiles, TheRangeThatDiffersFromLatin1) {
  struct Case {
    std::string byte;
    std::string utf8;
  };
  // Code points from the Windows-1252 code chart: 0x80 euro sign U+20AC, 0x84 low double quote U+201E,
  // 0x8A S caron U+0160, 0x93 left double quote U+201C, 0x96 en dash U+2013, 0x9F Y diaeresis U+0178;
  // 0x81 is unassigned and stays the control U+0081.
  const std::vector<Case> cases = {{"\x80", "\xE2\x82\xAC"}, {"\x84", "\xE2\x80\x9E"}, {"\x8A", "\xC5\xA0"},
                                   {"\x93", "\xE2\x80\x9C"}, {"\x96", "\xE2\x80\x93"}, {"\x9F", "\xC5\xB8"},
                                   {"\x81", "\xC2\x81"},     {"\xA0", "\xC2\xA0"},     {"\xFF", "\xC3\xBF"}};
  for (const Case& c : cases) {
    writeFile(path("c.tqx"), "<?xml version=\"1.0\" encoding=\"windows-1252\"?><root v=\"" + c.byte + "\"/>");
    Doc doc(VIDUV_OpenDoc(path("c.tqx").c_str()));
    ASSERT_NE(doc.get(), 0);
    EXPECT_EQ(std::string(VIDUV_GetString(doc.root(), "v")), c.utf8) << int(static_cast<unsigned char>(c.byte[0]));
  }
}

TEST_F(ViduvEncodingFiles, Utf8FilesStayAsTheyAre) {
  for (const std::string& bom : {std::string(), std::string("\xEF\xBB\xBF")}) {
    writeFile(path("new.tqx"), bom + "<?xml version=\"1.0\" encoding=\"UTF-8\"?><root name=\"" + kUmlautsUtf8 + "\"/>");
    Doc doc(VIDUV_OpenDoc(path("new.tqx").c_str()));
    ASSERT_NE(doc.get(), 0);
    EXPECT_EQ(std::string(VIDUV_GetString(doc.root(), "name")), kUmlautsUtf8);
  }
}

TEST_F(ViduvEncodingFiles, AnOldFileIsSavedAsDeclaredUtf8) {
  writeFile(path("old.tqx"),
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<root name=\"" + kUmlauts1252 + "\"/>");
  {
    Doc doc(VIDUV_OpenDoc(path("old.tqx").c_str()));
    ASSERT_EQ(VIDUV_SaveDoc(doc.get()), 1);
  }
  const std::string written = readFile(path("old.tqx"));
  EXPECT_EQ(written.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
  EXPECT_EQ(written.find("windows-1252"), std::string::npos) << "only one declaration, the true one";
  EXPECT_NE(written.find(kUmlautsUtf8), std::string::npos);
  Doc again(VIDUV_OpenDoc(path("old.tqx").c_str()));
  EXPECT_EQ(std::string(VIDUV_GetString(again.root(), "name")), kUmlautsUtf8);
}

TEST(ViduvEncoding, TextGivenInWindows1252IsStoredAsUtf8) {
  Doc doc(VIDUV_CreateDoc("root"));
  VIDUV_SetString(doc.root(), "name", kUmlauts1252.c_str());
  EXPECT_EQ(std::string(VIDUV_GetString(doc.root(), "name")), kUmlautsUtf8);
  VIDUV_SetString(doc.root(), "utf8", kUmlautsUtf8.c_str());
  EXPECT_EQ(std::string(VIDUV_GetString(doc.root(), "utf8")), kUmlautsUtf8);
}

}  // namespace
}  // namespace viduv_test
