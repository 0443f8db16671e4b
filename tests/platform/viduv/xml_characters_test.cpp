// Saved files hold only characters that XML 1.0 allows, so that strict readers of other programs take them: a text
// given with a control character (other than tab, line feed, carriage return) or U+FFFE/U+FFFF holds U+FFFD in its
// place; an older file holding such a character as a reference is read as before and saved clean.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/platform/viduv/viduv_test_support.h"

namespace {

using viduv_test::Doc;
using ViduvXmlCharacters = viduv_test::ScratchFolder;

const std::string kReplacement = "\xEF\xBF\xBD";

bool AllowedInXml(unsigned long c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// The first character of the file that XML 1.0 forbids, raw (as UTF-8) or as a character reference; "" when none.
std::string FirstForbidden(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    unsigned long c = n == 1 ? lead : lead & (0x3F >> (n - 1));
    for (std::size_t k = 1; k < n && i + k < text.size(); ++k) c = (c << 6) | (text[i + k] & 0x3F);
    if (!AllowedInXml(c)) return "character " + std::to_string(c) + " at byte " + std::to_string(i);
    if (text.compare(i, 2, "&#") == 0) {
      const bool hex = i + 2 < text.size() && text[i + 2] == 'x';
      const unsigned long referenced = std::strtoul(text.c_str() + i + (hex ? 3 : 2), nullptr, hex ? 16 : 10);
      if (!AllowedInXml(referenced))
        return "reference to " + std::to_string(referenced) + " at byte " + std::to_string(i);
    }
    i += n;
  }
  return "";
}

// Strict readers of other programs: each one installed reads the file without complaint.
void StrictReadersTake(const std::string& path) {
  const struct {
    const char* name;
    std::string command;
  } readers[] = {
      {"xmllint", "xmllint --noout '" + path + "'"},
      {"python3", "python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' '" + path + "'"},
  };
  int tried = 0;
  for (const auto& reader : readers) {
    if (std::system(("command -v " + std::string(reader.name) + " >/dev/null 2>&1").c_str()) != 0) continue;
    ++tried;
    EXPECT_EQ(std::system((reader.command + " 2>/dev/null").c_str()), 0) << reader.name << " refuses " << path;
  }
  if (tried == 0) std::printf("no strict XML reader installed: only the file's characters are checked\n");
}

TEST_F(ViduvXmlCharacters, ForbiddenCharactersAreSavedAsTheReplacementCharacter) {
  const struct {
    const char* name;
    std::string given;
    std::string held;  // as read back from the file
  } cases[] = {
      {"bell", "Stütze\aA", "Stütze" + kReplacement + "A"},
      {"escape", "\x1b[1mfett", kReplacement + "[1mfett"},
      {"start of heading and unit separator",
       "\x01"
       "a\x1f",
       kReplacement + "a" + kReplacement},
      {"tab, line feed and carriage return stay", "a\tb\nc\rd", "a\tb\nc\rd"},
      {"U+FFFE and U+FFFF", "x\xEF\xBF\xBEy\xEF\xBF\xBFz", "x" + kReplacement + "y" + kReplacement + "z"},
      {"U+FFFD and U+FFFC stay", "\xEF\xBF\xBD\xEF\xBF\xBC", "\xEF\xBF\xBD\xEF\xBF\xBC"},
      {"delete is allowed", "a\x7f", "a\x7f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = path("Pos.tqx");
    {
      Doc doc(VIDUV_CreateDoc("root"));
      const int input = VIDUV_AddChildElement(doc.root(), "input");
      ASSERT_EQ(VIDUV_SetString(input, "posDesc", c.given.c_str()), 1);
      EXPECT_EQ(std::string(VIDUV_GetString(input, "posDesc")), c.held) << "held as the file will hold it";
      ASSERT_EQ(VIDUV_SaveDocAs(doc.get(), file.c_str()), 1) << VIDUV_GetLastError();
    }
    EXPECT_EQ(FirstForbidden(readFile(file)), "");
    StrictReadersTake(file);
    Doc read(VIDUV_OpenDoc(file.c_str()));
    ASSERT_NE(read.get(), 0) << VIDUV_GetLastError();
    EXPECT_EQ(std::string(VIDUV_GetString(VIDUV_FindFirstChild(read.root(), "input"), "posDesc")), c.held);
  }
}

// A file of an older writer with control characters as references, in attributes and in element text: read as
// before, and saved with the replacement character in their places.
TEST_F(ViduvXmlCharacters, AnOlderFileWithControlCharactersIsReadAsBeforeAndSavedClean) {
  const std::string file = path("Alt.tqx");
  writeFile(file,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<root progname=\"a&#07;b\"><input posDesc=\"&#x1B;x&#01;\" freeText=\"z&#9;z\">t&#02;t</input></root>\n");
  Doc doc(VIDUV_OpenDoc(file.c_str()));
  ASSERT_NE(doc.get(), 0) << VIDUV_GetLastError();
  const int input = VIDUV_FindFirstChild(doc.root(), "input");
  EXPECT_EQ(std::string(VIDUV_GetString(doc.root(), "progname")), "a\ab");
  EXPECT_EQ(std::string(VIDUV_GetString(input, "posDesc")), "\x1bx\x01");
  ASSERT_EQ(VIDUV_SaveDoc(doc.get()), 1) << VIDUV_GetLastError();

  const std::string saved = readFile(file);
  EXPECT_EQ(FirstForbidden(saved), "") << saved;
  StrictReadersTake(file);
  EXPECT_EQ(std::string(VIDUV_GetString(input, "posDesc")), kReplacement + "x" + kReplacement)
      << "the document holds what its file holds";
  Doc read(VIDUV_OpenDoc(file.c_str()));
  ASSERT_NE(read.get(), 0) << VIDUV_GetLastError();
  const int readInput = VIDUV_FindFirstChild(read.root(), "input");
  EXPECT_EQ(std::string(VIDUV_GetString(read.root(), "progname")), "a" + kReplacement + "b");
  EXPECT_EQ(std::string(VIDUV_GetString(readInput, "freeText")), "z\tz");
  EXPECT_NE(saved.find("t" + kReplacement + "t</input>"), std::string::npos) << saved;
}

}  // namespace
