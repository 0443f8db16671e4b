// Values taken over from the exports of other positions.
#include "transfer/importdata.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"

namespace {

namespace fs = std::filesystem;

class ImportDataTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("importdata-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    previous_ = fs::current_path();
    fs::current_path(folder_);  // source positions are named relative to the current folder
    GetVarDefServices() = CVarDefServices{};
  }
  void TearDown() override {
    GetVarDefServices() = CVarDefServices{};
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }

  // Pos1.tqx exporting Auflager1\z-z\extremal\max Az = 12.5 kN; without exports when calculated is false.
  static void WriteSource(const char* name, bool calculated = true) {
    int doc = VIDUV_CreateDoc((std::string(name) + ".tqx").c_str());
    ASSERT_NE(doc, 0);
    if (calculated) {
      int element = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
      for (const char* folder : {"Auflager1", "z-z", "extremal"}) {
        element = VIDUV_AddChildElement(element, "folder");
        VIDUV_SetString(element, "desc", folder);
      }
      int value = VIDUV_AddChildElement(element, "value");
      VIDUV_SetString(value, "desc", "max Az");
      VIDUV_SetString(value, "varName", "Az");
      VIDUV_SetDouble(value, "val", 12.5);
      VIDUV_SetString(value, "unit", "kN");
    }
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }

  static ImportData Reference(const char* varPath) {
    ImportData data;
    data.varPath = varPath;
    data.varName = "Az";
    data.desc = "Auflagerkraft";
    data.value = 3.0;
    data.unit = "t";
    return data;
  }

  fs::path folder_;
  fs::path previous_;
};

struct SplitCase {
  const char* varPath;
  const char* fileName;
  std::vector<std::string> chain;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.varPath << '"'; }

class SplitVarPathTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitVarPathTest, FileThenChain) {
  CString fileName = "stale";
  CStringArray chain;
  chain.Add("stale");
  ImportData::SplitVarPath(GetParam().varPath, fileName, chain);
  EXPECT_EQ(fileName, GetParam().fileName);
  std::vector<std::string> parts;
  for (const CString& part : chain) parts.push_back(part.str());
  EXPECT_EQ(parts, GetParam().chain);
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitVarPathTest,
                         testing::Values(SplitCase{"Pos1\\Auflager1\\z-z\\extremal\\max Az",
                                                   "Pos1.tqx",
                                                   {"Auflager1", "z-z", "extremal", "max Az"}},
                                         SplitCase{"", "", {}}, SplitCase{"Pos2", "Pos2.tqx", {}},
                                         SplitCase{"P\\\\x\\", "P.tqx", {"", "x", ""}}));

TEST_F(ImportDataTest, FoundValueIsRefreshed) {
  WriteSource("Pos1");
  ImportData data = Reference("Pos1\\Auflager1\\z-z\\extremal\\max Az");
  data.status = "alt";
  EXPECT_EQ(data.Update(), 0);
  EXPECT_DOUBLE_EQ(data.value, 12.5);
  EXPECT_EQ(data.unit, "kN");
  EXPECT_TRUE(data.status.IsEmpty());
}

struct LostCase {
  const char* name;
  const char* source;  // the position written, nullptr for none
  bool calculated;
  const char* varPath;
  int result;
  const char* status;
};

void PrintTo(const LostCase& c, std::ostream* os) { *os << c.name; }

class ImportDataLost : public ImportDataTest, public testing::WithParamInterface<LostCase> {};

TEST_P(ImportDataLost, KeepsTheOldValueAndSaysWhy) {
  const LostCase& c = GetParam();
  if (c.source) WriteSource(c.source, c.calculated);
  ImportData data = Reference(c.varPath);
  EXPECT_EQ(data.Update(), c.result);
  EXPECT_DOUBLE_EQ(data.value, 3.0);
  EXPECT_EQ(data.unit, "t");
  EXPECT_EQ(data.status, c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ImportDataLost,
    testing::Values(LostCase{"deleted", nullptr, true, "Pos1\\Auflager1\\max Az", 1,
                             "Datei 'Pos1.tqx' nicht gefunden (alter Wert Az=3.00 t)."},
                    LostCase{"never_calculated", "Pos1", false, "Pos1\\Auflager1\\z-z\\extremal\\max Az", 2,
                             "Datei 'Pos1.tqx': Variable 'max Az' nicht gefunden (alter Wert:3.00 t)."},
                    LostCase{"renamed_folder", "Pos1", true, "Pos1\\Auflager2\\z-z\\extremal\\max Az", 2,
                             "Datei 'Pos1.tqx': Variable 'max Az' nicht gefunden (alter Wert:3.00 t)."},
                    // A path that ends at a folder names no value.
                    LostCase{"folder_only", "Pos1", true, "Pos1\\Auflager1\\z-z", 2,
                             "Datei 'Pos1.tqx': Variable 'z-z' nicht gefunden (alter Wert:3.00 t)."},
                    LostCase{"no_chain", "Pos1", true, "Pos1", 2,
                             "Datei 'Pos1.tqx': Variable 'Az' nicht gefunden (alter Wert:3.00 t)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportDataTest, EmptyReferenceIsNothingToRefresh) {
  ImportData data;
  data.value = 4.0;
  data.status = "alt";
  EXPECT_EQ(data.Update(), 0);
  EXPECT_DOUBLE_EQ(data.value, 4.0);
  EXPECT_TRUE(data.status.IsEmpty());
}

TEST_F(ImportDataTest, CopiesLeaveTheStatusAlone) {
  ImportData source = Reference("P\\x");
  source.status = "verloren";
  ImportData copy(source);
  EXPECT_TRUE(copy.status.IsEmpty());
  EXPECT_EQ(copy.varPath, "P\\x");
  ImportData target;
  target.status = "eigener";
  target = source;
  EXPECT_EQ(target.status, "eigener");
  EXPECT_EQ(target.desc, "Auflagerkraft");
  EXPECT_DOUBLE_EQ(target.value, 3.0);
  auto clone = source.Clone();
  EXPECT_NE(dynamic_cast<ImportData*>(clone.get()), nullptr);
}

TEST_F(ImportDataTest, FiveAttributesRoundTrip) {
  int doc = VIDUV_CreateDoc("root");
  int element = VIDUV_GetRootElement(doc);
  ImportData data = Reference("Pos1\\F\\v");
  data.status = "nicht gespeichert";
  data.WriteData(element);
  EXPECT_EQ(*VIDUV_GetString(element, "status"), '\0');
  ImportData copy;
  copy.ReadData(element);
  EXPECT_EQ(copy.varPath, "Pos1\\F\\v");
  EXPECT_EQ(copy.desc, "Auflagerkraft");
  EXPECT_EQ(copy.varName, "Az");
  EXPECT_DOUBLE_EQ(copy.value, 3.0);
  EXPECT_EQ(copy.unit, "t");
  VIDUV_CloseDoc(doc);
}

// With the record registered, reading the variable definitions refreshes taken-over values from their sources,
// and the check of lost values lists the one whose source is gone.
TEST_F(ImportDataTest, VariableDefinitionsUseTheRegisteredRecord) {
  RegisterImportData();
  WriteSource("Pos1");
  CVarDefList list;
  for (const char* path : {"Pos1\\Auflager1\\z-z\\extremal\\max Az", "Pos7\\x"}) {
    auto entry = std::make_unique<CVarDefWertUebernahme>();
    entry->GetImport() = Reference(path);
    list.Add(std::move(entry));
  }
  int doc = VIDUV_CreateDoc("root");
  list.WriteData(VIDUV_GetRootElement(doc));
  CVarDefList read;
  read.ReadData(VIDUV_GetRootElement(doc));
  VIDUV_CloseDoc(doc);
  ASSERT_EQ(read.GetSize(), 2);
  EXPECT_DOUBLE_EQ(read.GetAs<CVarDefWertUebernahme>(0)->GetImport().value, 12.5);
  EXPECT_FALSE(read.GetAt(1)->GetImportText()->IsEmpty());

  std::vector<std::string> lines;
  GetVarDefServices().showLostValues = [&lines](CStringArray& shown) {
    for (const CString& line : shown) lines.push_back(line.str());
    return false;
  };
  read.CheckImportedValues();
  EXPECT_EQ(lines, (std::vector<std::string>{"Pos7\\x [t] = 3.00"}));
  CArray<ImportData> records;
  read.GetImportData(records);
  ASSERT_EQ(records.GetSize(), 2);
  EXPECT_EQ(records[1].varPath, "Pos7\\x");
}

}  // namespace
