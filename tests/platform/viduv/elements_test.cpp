// Elements: order, searching, deletion, and handles that outlive their element.
#include <string>
#include <vector>

#include "tests/platform/viduv/viduv_test_support.h"

namespace viduv_test {
namespace {

std::vector<std::string> childNames(int parent) {
  std::vector<std::string> names;
  for (int child = VIDUV_GetFirstChild(parent); child != 0; child = VIDUV_GetNextChild(child))
    names.emplace_back(VIDUV_GetElementName(child));
  return names;
}

using ViduvElementFiles = ScratchFolder;

TEST_F(ViduvElementFiles, ChildrenKeepTheirOrderThroughSaveAndLoad) {
  const std::vector<std::string> order = {"zeta", "alpha", "load", "mid", "load", "alpha", "b"};
  const std::string file = path("order.tqx");
  {
    Doc doc(VIDUV_CreateDoc("root"));
    for (const std::string& name : order) VIDUV_AddChildElement(doc.root(), name.c_str());
    ASSERT_EQ(VIDUV_SaveDocAs(doc.get(), file.c_str()), 1);
  }
  Doc doc(VIDUV_OpenDoc(file.c_str()));
  EXPECT_EQ(childNames(doc.root()), order);
}

TEST(ViduvFindChild, FindNextChildSkipsOtherNames) {
  Doc doc(VIDUV_CreateDoc("root"));
  const int root = doc.root();
  const int first = VIDUV_AddChildElement(root, "load");
  VIDUV_AddChildElement(root, "support");
  VIDUV_AddChildElement(root, "loadx");
  const int second = VIDUV_AddChildElement(root, "load");
  VIDUV_AddChildElement(root, "Load");  // names compare with case
  VIDUV_SetInt(first, "n", 1);
  VIDUV_SetInt(second, "n", 2);

  std::vector<int> found;
  for (int e = VIDUV_FindFirstChild(root, "load"); e != 0; e = VIDUV_FindNextChild(e, "load"))
    found.push_back(VIDUV_GetInt(e, "n"));
  EXPECT_EQ(found, (std::vector<int>{1, 2}));
  EXPECT_EQ(VIDUV_FindFirstChild(root, "absent"), 0);
  EXPECT_EQ(VIDUV_FindFirstChild(first, "load"), 0) << "only children are searched, not descendants";
}

TEST(ViduvFindChild, SameElementGivesSameHandle) {
  Doc doc(VIDUV_CreateDoc("root"));
  const int added = VIDUV_AddChildElement(doc.root(), "input");
  EXPECT_EQ(VIDUV_FindFirstChild(doc.root(), "input"), added);
  EXPECT_EQ(VIDUV_GetFirstChild(doc.root()), added);
  EXPECT_EQ(VIDUV_GetParentElement(added), doc.root());
  EXPECT_EQ(VIDUV_GetParentElement(doc.root()), 0);
}

TEST(ViduvFindChild, WithAttributeMatchesTheExactText) {
  Doc doc(VIDUV_CreateDoc("exports"));
  const int root = doc.root();
  const char* descs[] = {"Auflager1", "auflager1", "z-z", "Auflager1"};
  std::vector<int> elements;
  for (const char* desc : descs) {
    elements.push_back(VIDUV_AddChildElement(root, elements.size() % 2 ? "value" : "folder"));
    VIDUV_SetString(elements.back(), "desc", desc);
  }
  EXPECT_EQ(VIDUV_FindFirstChildWithAttr(root, "desc", "Auflager1"), elements[0]);
  EXPECT_EQ(VIDUV_FindNextChildWithAttr(elements[0], "desc", "Auflager1"), elements[3]);
  EXPECT_EQ(VIDUV_FindNextChildWithAttr(elements[3], "desc", "Auflager1"), 0);
  EXPECT_EQ(VIDUV_FindFirstChildWithAttr(root, "desc", "z-z"), elements[2]);
  EXPECT_EQ(VIDUV_FindFirstChildWithAttr(root, "desc", "Auflager"), 0);
  EXPECT_EQ(VIDUV_FindFirstChildWithAttr(root, "other", "Auflager1"), 0);
}

TEST(ViduvDeleteElement, RemovesTheSubtreeAndItsHandlesReadAsNone) {
  Doc doc(VIDUV_CreateDoc("root"));
  const int input = VIDUV_AddChildElement(doc.root(), "input");
  const int geom = VIDUV_AddChildElement(input, "geom");
  VIDUV_SetDouble(geom, "h", 0.6);
  const int attribute = VIDUV_GetFirstAttrHandle(geom);
  const int sibling = VIDUV_AddChildElement(doc.root(), "result");

  ASSERT_EQ(VIDUV_DeleteElement(input), 1);
  EXPECT_EQ(childNames(doc.root()), std::vector<std::string>{"result"});
  for (int stale : {input, geom}) {
    EXPECT_STREQ(VIDUV_GetElementName(stale), "");
    EXPECT_EQ(VIDUV_GetDouble(stale, "h"), 0.0);
    EXPECT_EQ(VIDUV_AddChildElement(stale, "x"), 0);
    EXPECT_EQ(VIDUV_SetInt(stale, "x", 1), 0);
    EXPECT_EQ(VIDUV_DeleteElement(stale), 0);
    EXPECT_EQ(VIDUV_GetParentElement(stale), 0);
  }
  EXPECT_STREQ(VIDUV_GetAttrNameByHandle(attribute), "");
  EXPECT_STREQ(VIDUV_GetElementName(sibling), "result");

  // New elements may reuse the freed memory; the old handles must still not reach them.
  for (int i = 0; i < 50; ++i) VIDUV_SetInt(VIDUV_AddChildElement(doc.root(), "input"), "i", i);
  EXPECT_STREQ(VIDUV_GetElementName(input), "");
  EXPECT_STREQ(VIDUV_GetElementName(geom), "");
}

TEST_F(ViduvElementFiles, DeletingTheRootLeavesAnEmptyDocument) {
  Doc doc(VIDUV_CreateDoc("root"));
  const int root = doc.root();
  EXPECT_EQ(VIDUV_DeleteElement(root), 1);
  EXPECT_EQ(VIDUV_GetRootElement(doc.get()), 0);
  EXPECT_STREQ(VIDUV_GetElementName(root), "");
  EXPECT_EQ(VIDUV_SaveDocAs(doc.get(), path("empty.tqx").c_str()), 0) << "a file without root could not be read";
  EXPECT_STRNE(VIDUV_GetLastError(), "");
  EXPECT_FALSE(std::filesystem::exists(path("empty.tqx")));
}

TEST(ViduvCloseDoc, HandlesIntoAClosedDocumentReadAsNone) {
  const int doc = VIDUV_CreateDoc("root");
  const int root = VIDUV_GetRootElement(doc);
  const int child = VIDUV_AddChildElement(root, "input");
  VIDUV_SetString(child, "name", "x");
  const int attribute = VIDUV_GetFirstAttrHandle(child);
  VIDUV_CloseDoc(doc);

  Doc other(VIDUV_CreateDoc("other"));  // may take over the freed memory
  VIDUV_SetString(VIDUV_AddChildElement(other.root(), "input"), "name", "y");
  EXPECT_STREQ(VIDUV_GetElementName(root), "");
  EXPECT_EQ(VIDUV_FindFirstChild(root, "input"), 0);
  EXPECT_STREQ(VIDUV_GetString(child, "name"), "");
  EXPECT_STREQ(VIDUV_GetStringByHandle(attribute), "");
  EXPECT_EQ(VIDUV_GetNextAttrHandle(attribute), 0);
}

TEST(ViduvHandleZero, EveryElementCallReturnsTheNeutralValue) {
  unsigned char digest[16] = {1};
  unsigned char buffer[4] = {7, 7, 7, 7};
  for (int bad : {0, -1, 987654321}) {
    EXPECT_EQ(VIDUV_AddChildElement(bad, "a"), 0);
    EXPECT_EQ(VIDUV_DeleteElement(bad), 0);
    EXPECT_EQ(VIDUV_DeleteAttr(bad, "a"), 0);
    EXPECT_EQ(VIDUV_FindFirstChild(bad, "a"), 0);
    EXPECT_EQ(VIDUV_FindNextChild(bad, "a"), 0);
    EXPECT_EQ(VIDUV_FindFirstChildWithAttr(bad, "a", "b"), 0);
    EXPECT_EQ(VIDUV_GetFirstChild(bad), 0);
    EXPECT_EQ(VIDUV_GetNextChild(bad), 0);
    EXPECT_STREQ(VIDUV_GetElementName(bad), "");
    EXPECT_EQ(VIDUV_GetInt(bad, "a"), 0);
    EXPECT_EQ(VIDUV_GetDouble(bad, "a"), 0.0);
    EXPECT_STREQ(VIDUV_GetString(bad, "a"), "");
    EXPECT_EQ(VIDUV_GetIntWithDefault(bad, "a", 42, 1), 42);
    EXPECT_EQ(VIDUV_GetDoubleWithDefault(bad, "a", 1.5, 1), 1.5);
    EXPECT_EQ(VIDUV_GetIntByPath(bad, "input\\geom", "a", -999999), -999999);
    EXPECT_EQ(VIDUV_SetInt(bad, "a", 1), 0);
    EXPECT_EQ(VIDUV_SetIntByPath(bad, "input", "a", 1), 0);
    EXPECT_EQ(VIDUV_GetBinDataLength(bad, "a"), 0);
    EXPECT_EQ(VIDUV_GetBinData(bad, "a", buffer), 0);
    EXPECT_EQ(VIDUV_GetFirstAttrHandle(bad), 0);
    EXPECT_EQ(VIDUV_GetNextAttrHandle(bad), 0);
    EXPECT_STREQ(VIDUV_GetAttrNameByHandle(bad), "");
    EXPECT_STREQ(VIDUV_GetStringByHandle(bad), "");
    EXPECT_EQ(VIDUV_GetIntByHandle(bad), 0);
    EXPECT_EQ(VIDUV_GetBinDataByHandle(bad, buffer, 4), 0);
    EXPECT_EQ(VIDUV_GetFingerPrint(bad, digest), 0);
  }
  EXPECT_EQ(buffer[0], 7) << "nothing is written into the caller's buffer";
  for (unsigned char byte : digest) EXPECT_EQ(byte, 0);
}

TEST(ViduvNames, IllegalNamesAreRefusedSoThatTheFileStaysReadable) {
  Doc doc(VIDUV_CreateDoc("root"));
  for (const char* name : {"", "two words", "1st", "a<b", "-x", "a\"b"}) {
    EXPECT_EQ(VIDUV_AddChildElement(doc.root(), name), 0) << name;
    EXPECT_EQ(VIDUV_SetInt(doc.root(), name, 1), 0) << name;
  }
  EXPECT_EQ(VIDUV_AddChildElement(doc.root(), nullptr), 0);
  EXPECT_EQ(VIDUV_GetFirstChild(doc.root()), 0);
  EXPECT_EQ(VIDUV_GetFirstAttrHandle(doc.root()), 0);
  EXPECT_NE(VIDUV_AddChildElement(doc.root(), "Größe"), 0) << "letters beyond ASCII are legal";
}

TEST(ViduvNames, MakeValidElementName) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"input", "input"},
      {"max Az", "max_Az"},
      {"1. Auflager", "_1._Auflager"},
      {"", "_"},
      {"-x", "_-x"},
      {".x", "_.x"},
      {"a:b", "a_b"},
      {"Höhe h/2", "Höhe_h_2"},
      {"Auflager\\z-z", "Auflager_z-z"},
      {"\xC4nderung", "Änderung"},  // Windows-1252 input comes out as UTF-8
      {"a<b>&\"'", "a_b____"},
  };
  Doc doc(VIDUV_CreateDoc("root"));
  for (const Case& c : cases) {
    const std::string made = VIDUV_MakeValidElementName(c.text);
    EXPECT_EQ(made, c.expected) << c.text;
    EXPECT_NE(VIDUV_AddChildElement(doc.root(), made.c_str()), 0) << made;
  }
  EXPECT_STREQ(VIDUV_MakeValidElementName(nullptr), "_");
}

}  // namespace
}  // namespace viduv_test
