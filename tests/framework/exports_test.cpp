// The exports tree of a position.
#include "framework/exports.h"

#include "formula/exportvalue.h"

#include "tests/framework/pos_test_support.h"

namespace {

class ExportsTree : public pos_test::PosTest {
 protected:
  void SetUp() override {
    PosTest::SetUp();
    exports = VIDUV_AddChildElement(Root(NewDocument()), "exports");
  }
  static std::vector<std::string> ChildNames(int element) {
    std::vector<std::string> names;
    for (int c = VIDUV_GetFirstChild(element); c; c = VIDUV_GetNextChild(c))
      names.push_back(std::string(VIDUV_GetElementName(c)) + ":" + VIDUV_GetString(c, "desc"));
    return names;
  }
  int exports = 0;
};

TEST_F(ExportsTree, EmptyPathWritesDirectlyUnderTheParent) {
  WriteExportValue(exports, "", "max Az", "Az", 12.5, "kN");
  EXPECT_EQ(ChildNames(exports), (std::vector<std::string>{"value:max Az"}));
  int value = VIDUV_GetFirstChild(exports);
  EXPECT_STREQ(VIDUV_GetString(value, "varName"), "Az");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(value, "val"), 12.5);
  EXPECT_STREQ(VIDUV_GetString(value, "unit"), "kN");
}

TEST_F(ExportsTree, NestedFoldersAreReused) {
  WriteExportValue(exports, "Auflager1\\z-z\\", "max Az", "Az", 1.0, "kN");
  WriteExportValue(exports, "Auflager1\\z-z\\", "min Az", "Az", -1.0, "kN");
  ASSERT_EQ(ChildNames(exports), (std::vector<std::string>{"folder:Auflager1"}));
  int inner = VIDUV_GetFirstChild(VIDUV_GetFirstChild(exports));
  EXPECT_EQ(ChildNames(VIDUV_GetFirstChild(exports)), (std::vector<std::string>{"folder:z-z"}));
  EXPECT_EQ(ChildNames(inner), (std::vector<std::string>{"value:max Az", "value:min Az"}));
}

TEST_F(ExportsTree, TextAfterTheLastBackslashIsNotUsed) {
  WriteExportValue(exports, "A\\B", "v", "x", 2.0, "m");
  int a = VIDUV_GetFirstChild(exports);
  EXPECT_EQ(ChildNames(a), (std::vector<std::string>{"value:v"}));
}

TEST_F(ExportsTree, WritingAgainOverwritesAndAddsNothing) {
  WriteExportValue(exports, "F\\", "v", "x", 2.0, "m");
  WriteExportValue(exports, "F\\", "v", "y", 3.0, "cm");
  int folder = VIDUV_GetFirstChild(exports);
  ASSERT_EQ(ChildNames(folder).size(), 1u);
  int value = VIDUV_GetFirstChild(folder);
  EXPECT_STREQ(VIDUV_GetString(value, "varName"), "y");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(value, "val"), 3.0);
  EXPECT_STREQ(VIDUV_GetString(value, "unit"), "cm");
}

TEST_F(ExportsTree, AFolderAndAValueOfOneDescShareTheFirst) {
  WriteExportValue(exports, "X\\", "v", "a", 1.0, "");
  WriteExportValue(exports, "", "X", "b", 2.0, "kN");
  ASSERT_EQ(ChildNames(exports), (std::vector<std::string>{"folder:X"}));
  int folder = VIDUV_GetFirstChild(exports);
  EXPECT_STREQ(VIDUV_GetString(folder, "varName"), "b");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(folder, "val"), 2.0);
}

TEST_F(ExportsTree, ADeepPathIsWrittenWhole) {
  std::string path;
  for (int i = 0; i < 500; ++i) path += "f\\";
  WriteExportValue(exports, path.c_str(), "v", "x", 1.0, "");
  int depth = 0;
  int element = exports;
  while (int child = VIDUV_GetFirstChild(element)) {
    element = child;
    ++depth;
  }
  EXPECT_EQ(depth, 501);
  EXPECT_STREQ(VIDUV_GetElementName(element), "value");
}

}  // namespace

namespace {

// A value whose definition failed holds why and no number; writing a number over it, or a failure over a number,
// leaves one element of the kind written, in which no trace of the other stays.
TEST_F(ExportsTree, AFailedValueHoldsWhyAndNoNumber) {
  WriteExportValue(exports, "F\\", "a", "a", 777.0, "kN", "a = 1/0: Division durch Null.");
  const int folder = VIDUV_GetFirstChild(exports);
  ASSERT_EQ(ChildNames(folder), (std::vector<std::string>{"failedValue:a"}));
  int value = VIDUV_GetFirstChild(folder);
  EXPECT_EQ(ExportedFailure(value), "a = 1/0: Division durch Null.");
  EXPECT_STREQ(VIDUV_GetString(value, "val"), "");
  EXPECT_STREQ(VIDUV_GetString(value, "unit"), "kN");

  WriteExportValue(exports, "F\\", "a", "a", 5.0, "kN");
  ASSERT_EQ(ChildNames(folder), (std::vector<std::string>{"value:a"}));
  value = VIDUV_GetFirstChild(folder);
  EXPECT_TRUE(ExportedFailure(value).IsEmpty());
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(value, "val"), 5.0);
  EXPECT_STREQ(VIDUV_GetString(value, "reason"), "");

  WriteExportValue(exports, "F\\", "a", "a", 6.0, "kN", "a = b: 'b' nicht definiert");
  ASSERT_EQ(ChildNames(folder), (std::vector<std::string>{"failedValue:a"}));
  value = VIDUV_GetFirstChild(folder);
  EXPECT_EQ(ExportedFailure(value), "a = b: 'b' nicht definiert");
  EXPECT_STREQ(VIDUV_GetString(value, "val"), "");

  // a folder of the desc takes what is written onto it as it is, but no number stays beside a failure
  WriteExportValue(exports, "", "F", "F", 1.0, "kN");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(folder, "val"), 1.0);
  WriteExportValue(exports, "", "F", "F", 2.0, "kN", "F = 1/0: Division durch Null.");
  EXPECT_STREQ(VIDUV_GetString(folder, "val"), "");
  EXPECT_STREQ(VIDUV_GetString(folder, "reason"), "F = 1/0: Division durch Null.");
  ASSERT_EQ(ChildNames(exports), (std::vector<std::string>{"folder:F"}));

  // values and failed values directly under the tree go before it is written anew; folders stay
  WriteExportValue(exports, "", "g", "g", 620.0, "kN");
  WriteExportValue(exports, "", "h", "h", 0.0, "kN", "h = 1/0: Division durch Null.");
  RemoveExportedValues(exports);
  EXPECT_EQ(ChildNames(exports), (std::vector<std::string>{"folder:F"}));
}

}  // namespace
