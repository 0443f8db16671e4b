// Typed attributes: values, defaults, paths, order, and what survives a file.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/platform/viduv/viduv_test_support.h"

namespace viduv_test {
namespace {

using ViduvAttributeFiles = ScratchFolder;

// Saves the document and opens the file again.
int reopen(int doc, const std::string& file) {
  EXPECT_EQ(VIDUV_SaveDocAs(doc, file.c_str()), 1) << VIDUV_GetLastError();
  return VIDUV_OpenDoc(file.c_str());
}

TEST_F(ViduvAttributeFiles, DoublesRoundTripBitForBit) {
  const double values[] = {0.1,
                           1e-300,
                           -0.0,
                           1.0 / 3.0,
                           DBL_MAX,
                           -DBL_MAX,
                           DBL_MIN,
                           DBL_TRUE_MIN,
                           123456789.123456789,
                           -2.5,
                           0.0,
                           1e22,
                           std::numeric_limits<double>::infinity()};
  Doc doc(VIDUV_CreateDoc("root"));
  for (std::size_t i = 0; i < std::size(values); ++i)
    VIDUV_SetDouble(doc.root(), ("v" + std::to_string(i)).c_str(), values[i]);
  Doc read(reopen(doc.get(), path("d.tqx")));
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const double back = VIDUV_GetDouble(read.root(), ("v" + std::to_string(i)).c_str());
    EXPECT_EQ(std::memcmp(&back, &values[i], sizeof back), 0) << "value " << values[i];
  }
}

TEST_F(ViduvAttributeFiles, IntsAndStringsRoundTrip) {
  const std::vector<std::string> texts = {"",          "plain",       "quote \" and ' apostrophe",
                                          "<&>",       "tab\tinside", "two\nlines\r\nand cr",
                                          "  padded ", "Größe ÄÖÜ €", "max(a;b)"};
  Doc doc(VIDUV_CreateDoc("root"));
  for (std::size_t i = 0; i < texts.size(); ++i)
    VIDUV_SetString(doc.root(), ("s" + std::to_string(i)).c_str(), texts[i].c_str());
  VIDUV_SetInt(doc.root(), "max", std::numeric_limits<int>::max());
  VIDUV_SetInt(doc.root(), "min", std::numeric_limits<int>::min());
  Doc read(reopen(doc.get(), path("s.tqx")));
  for (std::size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(std::string(VIDUV_GetString(read.root(), ("s" + std::to_string(i)).c_str())), texts[i]);
  EXPECT_EQ(VIDUV_GetInt(read.root(), "max"), std::numeric_limits<int>::max());
  EXPECT_EQ(VIDUV_GetInt(read.root(), "min"), std::numeric_limits<int>::min());
}

TEST(ViduvAttributes, SetOverwritesInPlace) {
  Doc doc(VIDUV_CreateDoc("root"));
  VIDUV_SetInt(doc.root(), "a", 1);
  VIDUV_SetInt(doc.root(), "b", 2);
  VIDUV_SetString(doc.root(), "a", "text");
  EXPECT_STREQ(VIDUV_GetString(doc.root(), "a"), "text");
  const int first = VIDUV_GetFirstAttrHandle(doc.root());
  EXPECT_STREQ(VIDUV_GetAttrNameByHandle(first), "a") << "overwriting keeps the attribute's place";
  EXPECT_EQ(VIDUV_GetNextAttrHandle(VIDUV_GetNextAttrHandle(first)), 0) << "no second attribute named a";
}

TEST(ViduvAttributes, MissingReadsAsNeutralOrDefault) {
  Doc doc(VIDUV_CreateDoc("root"));
  const int root = doc.root();
  EXPECT_EQ(VIDUV_GetInt(root, "missing"), 0);
  EXPECT_EQ(VIDUV_GetDouble(root, "missing"), 0.0);
  const char* text = VIDUV_GetString(root, "missing");
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(VIDUV_GetIntWithDefault(root, "node", -1, 1), -1);
  EXPECT_EQ(VIDUV_GetIntWithDefault(root, "lknorm", 0, 0), 0);
  EXPECT_EQ(VIDUV_GetDoubleWithDefault(root, "GInfFactor", 1.0, 1), 1.0);
  VIDUV_SetInt(root, "node", 0);
  VIDUV_SetDouble(root, "GInfFactor", 0.9);
  EXPECT_EQ(VIDUV_GetIntWithDefault(root, "node", -1, 1), 0) << "a stored 0 is not the default";
  EXPECT_EQ(VIDUV_GetDoubleWithDefault(root, "GInfFactor", 1.0, 0), 0.9);
}

TEST(ViduvAttributes, NumbersAreReadFromTheLeadingText) {
  struct Case {
    const char* text;
    int asInt;
    double asDouble;
  };
  const Case cases[] = {
      {"42", 42, 42.0},  {" +7", 7, 7.0},     {"-3", -3, -3.0},
      {"2.75", 2, 2.75}, {"1e3", 1, 1000.0},  {"abc", 0, 0.0},
      {"", 0, 0.0},      {"12abc", 12, 12.0}, {"99999999999", 0, 99999999999.0},  // does not fit an int
  };
  Doc doc(VIDUV_CreateDoc("root"));
  for (const Case& c : cases) {
    VIDUV_SetString(doc.root(), "v", c.text);
    EXPECT_EQ(VIDUV_GetInt(doc.root(), "v"), c.asInt) << c.text;
    EXPECT_EQ(VIDUV_GetDouble(doc.root(), "v"), c.asDouble) << c.text;
  }
}

TEST(ViduvAttributes, DeleteAttr) {
  Doc doc(VIDUV_CreateDoc("root"));
  VIDUV_SetInt(doc.root(), "a", 1);
  VIDUV_SetInt(doc.root(), "b", 2);
  const int handleA = VIDUV_GetFirstAttrHandle(doc.root());
  EXPECT_EQ(VIDUV_DeleteAttr(doc.root(), "a"), 1);
  EXPECT_EQ(VIDUV_DeleteAttr(doc.root(), "a"), 0);
  EXPECT_EQ(VIDUV_GetIntWithDefault(doc.root(), "a", -5, 1), -5);
  EXPECT_STREQ(VIDUV_GetAttrNameByHandle(handleA), "") << "the deleted attribute's handle reads as none";
  EXPECT_STREQ(VIDUV_GetAttrNameByHandle(VIDUV_GetFirstAttrHandle(doc.root())), "b");
}

TEST_F(ViduvAttributeFiles, IterationFollowsWritingOrderThroughAFile) {
  // The order of a load transfer's attributes as they are written.
  const std::vector<std::string> names = {"code", "pos", "desc", "e", "eModByUser", "lk", "a0", "Z"};
  Doc doc(VIDUV_CreateDoc("root"));
  const int lu = VIDUV_AddChildElement(doc.root(), "lu");
  for (std::size_t i = 0; i < names.size(); ++i) VIDUV_SetInt(lu, names[i].c_str(), int(i) * 10);
  Doc read(reopen(doc.get(), path("a.tqx")));
  const int readLu = VIDUV_FindFirstChild(read.root(), "lu");
  std::vector<std::string> seen;
  std::vector<int> values;
  for (int a = VIDUV_GetFirstAttrHandle(readLu); a != 0; a = VIDUV_GetNextAttrHandle(a)) {
    seen.emplace_back(VIDUV_GetAttrNameByHandle(a));
    values.push_back(VIDUV_GetIntByHandle(a));
    EXPECT_EQ(std::string(VIDUV_GetStringByHandle(a)), std::to_string(values.back()));
  }
  EXPECT_EQ(seen, names);
  EXPECT_EQ(values, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70}));
  EXPECT_EQ(VIDUV_GetFirstAttrHandle(VIDUV_AddChildElement(read.root(), "empty")), 0);
}

TEST(ViduvByPath, ReadsAlongBackslashOrSlashPaths) {
  Doc doc(VIDUV_CreateDoc("root"));
  const int input = VIDUV_AddChildElement(doc.root(), "input");
  const int geom = VIDUV_AddChildElement(input, "geom");
  const int quer = VIDUV_AddChildElement(input, "quer");
  VIDUV_SetInt(geom, "form", 2);
  VIDUV_SetDouble(quer, "e", 4.25);
  VIDUV_SetInt(input, "top", 9);

  EXPECT_EQ(VIDUV_GetIntByPath(doc.root(), "input\\geom", "form"), 2);
  EXPECT_EQ(VIDUV_GetIntByPath(doc.root(), "input/geom", "form"), 2);
  EXPECT_EQ(VIDUV_GetIntByPath(doc.get(), "input\\geom", "form", -999999), 2) << "a document means its root";
  EXPECT_EQ(VIDUV_GetIntByPath(doc.root(), "input", "top"), 9);
  EXPECT_EQ(VIDUV_GetIntByPath(input, "", "top"), 9) << "an empty path is the element itself";
  EXPECT_EQ(VIDUV_GetIntByPath(doc.root(), "input\\steu", "system", -999999), -999999);
  EXPECT_EQ(VIDUV_GetIntByPath(doc.root(), "input\\geom", "absent", -999999), -999999);
  EXPECT_EQ(VIDUV_GetDoubleByPath(doc.get(), "input\\quer", "e", 0.0), 4.25);
  EXPECT_EQ(VIDUV_GetDoubleByPath(doc.get(), "input\\none", "e", 1.5), 1.5);
}

TEST(ViduvByPath, SetCreatesMissingElements) {
  Doc doc(VIDUV_CreateDoc("root"));
  EXPECT_EQ(VIDUV_SetIntByPath(doc.get(), "info", "norm", 5), 1);
  EXPECT_EQ(VIDUV_SetIntByPath(doc.root(), "input\\steu", "system", 2), 1);
  EXPECT_EQ(VIDUV_SetIntByPath(doc.root(), "input\\steu", "system", 3), 1);
  EXPECT_EQ(VIDUV_GetInt(VIDUV_FindFirstChild(doc.root(), "info"), "norm"), 5);
  const int input = VIDUV_FindFirstChild(doc.root(), "input");
  const int steu = VIDUV_FindFirstChild(input, "steu");
  EXPECT_EQ(VIDUV_GetInt(steu, "system"), 3);
  EXPECT_EQ(VIDUV_FindNextChild(steu, "steu"), 0) << "the second write reuses the element";
  EXPECT_EQ(VIDUV_SetIntByPath(doc.root(), "bad name\\x", "a", 1), 0);
}

}  // namespace
}  // namespace viduv_test
