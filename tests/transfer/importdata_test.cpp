// Values taken over from the exports of other positions.
#include "transfer/importdata.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formula/exportvalue.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"
#include "tests/transfer/transfer_test_support.h"
#include "transfer/sourcefile.h"

namespace {

namespace fs = std::filesystem;

class ImportDataTest : public testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() /
            ("importdata-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
             std::to_string(::getpid()));
    fs::remove_all(base_);
    folder_ = base_ / "project";
    elsewhere_ = base_ / "elsewhere";
    fs::create_directories(folder_);
    fs::create_directories(elsewhere_);
    previous_ = fs::current_path();
    // The program runs in another folder than the position's, which holds decoys of the same names.
    fs::current_path(elsewhere_);
    GetVarDefServices() = CVarDefServices{};
    win::msgbox::ClearLog();
    win::msgbox::ClearAnswers();
  }
  void TearDown() override {
    GetVarDefServices() = CVarDefServices{};
    fs::current_path(previous_);
    fs::remove_all(base_);
  }

  // Pos1.tqx in `folder` exporting Auflager1\z-z\extremal\max Az = `az` kN; without exports when calculated is
  // false.
  static void WriteSource(const fs::path& folder, const char* name, bool calculated = true, double az = 12.5) {
    int doc = VIDUV_CreateDoc((folder / (std::string(name) + ".tqx")).string().c_str());
    ASSERT_NE(doc, 0);
    if (calculated) {
      int element = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
      for (const char* folderName : {"Auflager1", "z-z", "extremal"}) {
        element = VIDUV_AddChildElement(element, "folder");
        VIDUV_SetString(element, "desc", folderName);
      }
      int value = VIDUV_AddChildElement(element, "value");
      VIDUV_SetString(value, "desc", "max Az");
      VIDUV_SetString(value, "varName", "Az");
      VIDUV_SetDouble(value, "val", az);
      VIDUV_SetString(value, "unit", "kN");
    }
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }
  void WriteSource(const char* name, bool calculated = true) { WriteSource(folder_, name, calculated); }

  // A reference held by the position Pos9 of the project folder, last read as 3 t.
  ImportData Reference(const char* varPath) const {
    ImportData data;
    data.varPath = varPath;
    data.varName = "Az";
    data.desc = "Auflagerkraft";
    data.value = 3.0;
    data.unit = "t";
    data.positionFile = (folder_ / "Pos9.tqx").string().c_str();
    return data;
  }
  std::string InProject(const char* name) const { return (folder_ / name).string(); }

  fs::path base_;
  fs::path folder_;
  fs::path elsewhere_;
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

// What the project folder holds as Pos1.tqx.
enum class Source { kNone, kCalculated, kNeverCalculated, kValueText, kFileText };

struct LostCase {
  const char* name;
  Source source;
  const char* text;  // the value's "val" text, or the whole file's text
  const char* varPath;
  int result;
  const char* status;  // %F stands for the file that was looked for
};

void PrintTo(const LostCase& c, std::ostream* os) { *os << c.name; }

class ImportDataLost : public ImportDataTest, public testing::WithParamInterface<LostCase> {};

TEST_P(ImportDataLost, KeepsTheOldValueAndSaysWhy) {
  const LostCase& c = GetParam();
  // The current folder's Pos1 could always be refreshed from: it must never be.
  WriteSource(elsewhere_, "Pos1");
  switch (c.source) {
    case Source::kNone: break;
    case Source::kCalculated: WriteSource("Pos1"); break;
    case Source::kNeverCalculated: WriteSource("Pos1", false); break;
    case Source::kValueText:
      transfer_test::WriteValueSource(folder_ / "Pos1.tqx", "Auflager1\\z-z\\extremal\\max Az", c.text);
      break;
    case Source::kFileText: std::ofstream(folder_ / "Pos1.tqx") << c.text; break;
  }
  ImportData data = Reference(c.varPath);
  EXPECT_EQ(data.Update(), c.result);
  EXPECT_DOUBLE_EQ(data.value, 3.0);
  EXPECT_EQ(data.unit, "t");
  std::string status = c.status;
  status.replace(status.find("%F"), 2, InProject("Pos1.tqx"));
  EXPECT_EQ(data.status, status);
}

constexpr const char* kMaxAz = "Pos1\\Auflager1\\z-z\\extremal\\max Az";

INSTANTIATE_TEST_SUITE_P(
    Sources, ImportDataLost,
    testing::Values(
        LostCase{"deleted", Source::kNone, nullptr, "Pos1\\Auflager1\\max Az", 1,
                 "Datei '%F' nicht gefunden (alter Wert Az=3.00 t)."},
        LostCase{"never_calculated", Source::kNeverCalculated, nullptr, kMaxAz, 2,
                 "Datei '%F': Variable 'max Az' nicht gefunden (alter Wert:3.00 t)."},
        LostCase{"renamed_folder", Source::kCalculated, nullptr, "Pos1\\Auflager2\\z-z\\extremal\\max Az", 2,
                 "Datei '%F': Variable 'max Az' nicht gefunden (alter Wert:3.00 t)."},
        // A path that ends at a folder names no value.
        LostCase{"folder_only", Source::kCalculated, nullptr, "Pos1\\Auflager1\\z-z", 2,
                 "Datei '%F': Variable 'z-z' nicht gefunden (alter Wert:3.00 t)."},
        LostCase{"no_chain", Source::kCalculated, nullptr, "Pos1", 2,
                 "Datei '%F': Variable 'Az' nicht gefunden (alter Wert:3.00 t)."},
        // A file that is there but cannot be read is not called missing.
        LostCase{"malformed_file", Source::kFileText, "<root><exports>", kMaxAz, 1,
                 "Datei '%F' kann nicht gelesen werden (alter Wert Az=3.00 t)."},
        LostCase{"empty_file", Source::kFileText, "", kMaxAz, 1,
                 "Datei '%F' kann nicht gelesen werden (alter Wert Az=3.00 t)."},
        // A value that is no finite number is never taken over.
        LostCase{"nan", Source::kValueText, "nan", kMaxAz, 3,
                 "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert ('nan') (alter Wert:3.00 t)."},
        LostCase{"negative_nan", Source::kValueText, "-nan", kMaxAz, 3,
                 "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert ('-nan') (alter Wert:3.00 t)."},
        LostCase{"infinite", Source::kValueText, "inf", kMaxAz, 3,
                 "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert ('inf') (alter Wert:3.00 t)."},
        LostCase{"overflow", Source::kValueText, "1e999", kMaxAz, 3,
                 "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert ('1e999') (alter Wert:3.00 t)."},
        LostCase{"trailing_text", Source::kValueText, "12.5 kN", kMaxAz, 3,
                 "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert ('12.5 kN') (alter Wert:3.00 t)."},
        LostCase{"decimal_comma", Source::kValueText, "12,5", kMaxAz, 3,
                 "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert ('12,5') (alter Wert:3.00 t)."},
        LostCase{"blank", Source::kValueText, " ", kMaxAz, 3,
                 "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert (' ') (alter Wert:3.00 t)."}),
    [](const auto& info) { return std::string(info.param.name); });

// Numbers as a source may write them.
struct FoundCase {
  const char* text;
  double value;
};

class ImportDataFound : public ImportDataTest, public testing::WithParamInterface<FoundCase> {};

TEST_P(ImportDataFound, TakesTheNumber) {
  transfer_test::WriteValueSource(folder_ / "Pos1.tqx", "Auflager1\\z-z\\extremal\\max Az", GetParam().text);
  ImportData data = Reference(kMaxAz);
  EXPECT_EQ(data.Update(), 0) << data.status.GetString();
  EXPECT_DOUBLE_EQ(data.value, GetParam().value);
  EXPECT_EQ(data.unit, "kN");
}

INSTANTIATE_TEST_SUITE_P(Texts, ImportDataFound,
                         testing::Values(FoundCase{"-7.25", -7.25}, FoundCase{" 12.5 ", 12.5}, FoundCase{"+3", 3.0},
                                         FoundCase{"1.5e3", 1500.0}, FoundCase{"0", 0.0}));

// A source beyond 64 MiB (67108864 bytes) is refused by its size, before any of it is read; one of exactly 64 MiB is
// read (and, being no position, cannot be). The files are sparse: they cost no disk.
TEST_F(ImportDataTest, ASourceBeyond64MiBIsRefusedByItsSizeUnread) {
  const struct {
    std::uintmax_t size;
    long reads;
    const char* status;
  } cases[] = {
      {kMaxSourceBytes + 1, 0,
       "Datei '%F' ist mit 67108865 Bytes größer als 64 MiB und wird nicht gelesen (alter "
       "Wert Az=3.00 t)."},
      {std::uintmax_t(2) << 30, 0,
       "Datei '%F' ist mit 2147483648 Bytes größer als 64 MiB und wird nicht gelesen "
       "(alter Wert Az=3.00 t)."},
      {kMaxSourceBytes, 1, "Datei '%F' kann nicht gelesen werden (alter Wert Az=3.00 t)."},
  };
  for (const auto& c : cases) {
    { std::ofstream(folder_ / "Pos1.tqx"); }
    fs::resize_file(folder_ / "Pos1.tqx", c.size);
    ImportData data = Reference(kMaxAz);
    const long before = SourceReading::Reads();
    EXPECT_EQ(data.Update(), 1) << c.size;
    EXPECT_EQ(SourceReading::Reads() - before, c.reads) << c.size;
    EXPECT_DOUBLE_EQ(data.value, 3.0);
    std::string status = c.status;
    status.replace(status.find("%F"), 2, InProject("Pos1.tqx"));
    EXPECT_EQ(data.status, status);
  }
}

// While a calculation's reading is open, every reference to one source is served by one reading of it, whatever
// the references ask for and whether the source could be read at all; once it ends, the source is read anew.
TEST_F(ImportDataTest, ASourceIsReadOnceWhileACalculationReads) {
  WriteSource("Pos1");
  ImportData value = Reference(kMaxAz), folder = Reference("Pos1\\Auflager1\\z-z"), lost = Reference("Pos2\\x");
  const long before = SourceReading::Reads();
  {
    const SourceReading reading;
    for (int round = 0; round < 3; ++round) {
      EXPECT_EQ(value.Update(), 0);
      EXPECT_DOUBLE_EQ(value.value, 12.5);
      EXPECT_EQ(folder.Update(), 2);
      EXPECT_EQ(lost.Update(), 1);
      const SourceReading inner;  // joins the open one
    }
    EXPECT_EQ(SourceReading::Reads() - before, 1);  // Pos1 once; the missing Pos2 is no reading
  }
  // Without an open reading each reference reads the source.
  EXPECT_EQ(value.Update(), 0);
  EXPECT_EQ(folder.Update(), 2);
  EXPECT_EQ(SourceReading::Reads() - before, 3);
}

// The reference is resolved against the folder of the position that holds it, never the current folder.
TEST_F(ImportDataTest, TheSourceIsTakenFromBesideThePosition) {
  WriteSource(elsewhere_, "Pos1", true, 222.0);
  fs::create_directories(folder_ / "sub");
  WriteSource(folder_ / "sub", "Pos1", true, 111.0);
  ImportData data = Reference(kMaxAz);
  data.positionFile = (folder_ / "sub" / "Pos9.tqx").string().c_str();
  EXPECT_EQ(data.Update(), 0);
  EXPECT_DOUBLE_EQ(data.value, 111.0);

  // Gone from beside the position, the source is not looked for in the current folder.
  fs::remove(folder_ / "sub" / "Pos1.tqx");
  EXPECT_EQ(data.Update(), 1);
  EXPECT_DOUBLE_EQ(data.value, 111.0);
  EXPECT_NE(data.status.Find((folder_ / "sub" / "Pos1.tqx").string().c_str()), -1) << data.status.GetString();

  // A position that has no file yet has no folder: a relative source is not looked for at all.
  data.positionFile.Empty();
  EXPECT_EQ(data.Update(), 1);
  EXPECT_EQ(data.status, "Datei 'Pos1.tqx' nicht gefunden (alter Wert Az=111.00 kN).");
}

// A stored absolute path stays absolute; a relative one may go down into a folder ("\" or "/").
TEST_F(ImportDataTest, StoredPathsKeepTheirForm) {
  fs::create_directories(folder_ / "sub");
  WriteSource(folder_ / "sub", "Pos1", true, 111.0);
  WriteSource(elsewhere_, "Pos1", true, 222.0);
  struct Case {
    std::string varPath;
    double value;
  } cases[] = {{(elsewhere_ / "Pos1").string() + "\\Auflager1\\z-z\\extremal\\max Az", 222.0},
               {"sub/Pos1\\Auflager1\\z-z\\extremal\\max Az", 111.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.varPath);
    ImportData data = Reference(c.varPath.c_str());
    EXPECT_EQ(data.Update(), 0) << data.status.GetString();
    EXPECT_DOUBLE_EQ(data.value, c.value);
  }
}

// The file name and the path of a source, as the position that refers to it gives them.
struct PathCase {
  const char* referring;
  const char* name;
  const char* path;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << '"' << c.referring << "\" \"" << c.name << '"'; }

class SourcePathTest : public testing::TestWithParam<PathCase> {};

TEST_P(SourcePathTest, LiesBesideTheReferringPosition) {
  EXPECT_EQ(SourcePositionFile(GetParam().referring, GetParam().name), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SourcePathTest,
    testing::Values(PathCase{"/p/q/A.tqx", "B.tqx", "/p/q/B.tqx"},
                    PathCase{"/p/q/A.tqx", "sub\\B.tqx", "/p/q/sub/B.tqx"},
                    PathCase{"\\p\\q\\A.tqx", "B.tqx", "/p/q/B.tqx"}, PathCase{"/A.tqx", "B.tqx", "/B.tqx"},
                    PathCase{"/p/q/A.tqx", "/r/B.tqx", "/r/B.tqx"}, PathCase{"/p/q/A.tqx", "\\r\\B.tqx", "/r/B.tqx"},
                    PathCase{"", "/r/B.tqx", "/r/B.tqx"}, PathCase{"/p/q/A.tqx", "C:\\r\\B.tqx", "C:/r/B.tqx"},
                    // no folder to lie in, and nothing named
                    PathCase{"", "B.tqx", ""}, PathCase{"/p/q/A.tqx", "", ""},
                    // a referring file named without a folder lies in the current one, and so does its source
                    PathCase{"A.tqx", "B.tqx", "B.tqx"}));

// Only the extension is matched without regard to case; an exact name is taken first.
TEST_F(ImportDataTest, TheExtensionOfASourceMatchesInAnyCase) {
  std::ofstream(folder_ / "Pos1.TQX") << "x";
  std::ofstream(folder_ / "pos2.tqx") << "x";
  std::ofstream(folder_ / "Pos3.tqx") << "x";
  std::ofstream(folder_ / "Pos3.Tqx") << "x";
  const std::string referring = InProject("Pos9.tqx");
  EXPECT_EQ(SourcePositionFile(referring, "Pos1.tqx"), InProject("Pos1.TQX"));
  EXPECT_EQ(SourcePositionFile(referring, "Pos2.tqx"), InProject("Pos2.tqx"));  // the name's own case counts
  EXPECT_EQ(SourcePositionFile(referring, "Pos3.tqx"), InProject("Pos3.tqx"));
}

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
  // The position a record belongs to is the holder's, not the source record's.
  EXPECT_TRUE(copy.positionFile.IsEmpty());
  ImportData target;
  target.status = "eigener";
  target.positionFile = "/p/eigene.tqx";
  target = source;
  EXPECT_EQ(target.status, "eigener");
  EXPECT_EQ(target.positionFile, "/p/eigene.tqx");
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

// With the record registered, reading the variable definitions refreshes taken-over values from beside the
// position, warns once about the values that kept their old numbers, and the check of lost values lists the one
// whose source is gone.
TEST_F(ImportDataTest, VariableDefinitionsUseTheRegisteredRecord) {
  RegisterImportData();
  WriteSource("Pos1");
  WriteSource(elsewhere_, "Pos7");  // the current folder's is never taken
  CVarDefList list;
  for (const char* path : {"Pos1\\Auflager1\\z-z\\extremal\\max Az", "Pos7\\Auflager1\\z-z\\extremal\\max Az"}) {
    auto entry = std::make_unique<CVarDefWertUebernahme>();
    entry->GetImport() = Reference(path);
    list.Add(std::move(entry));
  }
  int doc = VIDUV_CreateDoc("root");
  list.WriteData(VIDUV_GetRootElement(doc));
  CVarDefList read;
  read.positionFile = InProject("Pos9.tqx").c_str();
  read.ReadData(VIDUV_GetRootElement(doc));
  VIDUV_CloseDoc(doc);
  ASSERT_EQ(read.GetSize(), 2);
  EXPECT_DOUBLE_EQ(read.GetAs<CVarDefWertUebernahme>(0)->GetImport().value, 12.5);
  EXPECT_DOUBLE_EQ(read.GetAs<CVarDefWertUebernahme>(1)->GetImport().value, 3.0);
  const CString& lost = *read.GetAt(1)->GetImportText();
  EXPECT_EQ(lost, ("Datei '" + InProject("Pos7.tqx") + "' nicht gefunden (alter Wert Az=3.00 t).").c_str());
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text,
            "Übernommene Werte wurden nicht aktualisiert; es wird mit ihren alten Werten gerechnet:\n" + lost.str());

  std::vector<std::string> lines;
  GetVarDefServices().showLostValues = [&lines](CStringArray& shown) {
    for (const CString& line : shown) lines.push_back(line.str());
    return false;
  };
  read.CheckImportedValues();
  EXPECT_EQ(lines, (std::vector<std::string>{"Pos7\\Auflager1\\z-z\\extremal\\max Az [t] = 3.00"}));
  CArray<ImportData> records;
  read.GetImportData(records);
  ASSERT_EQ(records.GetSize(), 2);
  EXPECT_EQ(records[1].varPath, "Pos7\\Auflager1\\z-z\\extremal\\max Az");

  // Once the source stands beside the position, the next read refreshes it without a word.
  WriteSource("Pos7");
  win::msgbox::ClearLog();
  doc = VIDUV_CreateDoc("root");
  read.WriteData(VIDUV_GetRootElement(doc));
  CVarDefList again;
  again.positionFile = read.positionFile;
  again.ReadData(VIDUV_GetRootElement(doc));
  VIDUV_CloseDoc(doc);
  EXPECT_DOUBLE_EQ(again.GetAs<CVarDefWertUebernahme>(1)->GetImport().value, 12.5);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

}  // namespace

namespace {

// A source that exports the value as failed gives no number: the reference keeps its last value, takes the
// source's reason and unit, and counts as found (no status: it is no lost reference). Once the source gives a
// number again it is taken and the reason goes.
TEST_F(ImportDataTest, AValueTheSourceExportsAsFailedGivesNoNumber) {
  const auto write = [&](const char* failure, double value) {
    const int doc = VIDUV_CreateDoc(InProject("EX.tqx").c_str());
    ASSERT_NE(doc, 0);
    const int exports = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
    AddExportedValue(exports, "a", "a", value, "kN", failure);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  };
  write("a = 1/0: Division durch Null.", 777.0);
  ImportData data = Reference("EX\\a");
  EXPECT_EQ(data.Update(), 4);
  EXPECT_EQ(data.failure, "a = 1/0: Division durch Null.");
  EXPECT_DOUBLE_EQ(data.value, 3.0);
  EXPECT_EQ(data.unit, "kN");
  EXPECT_TRUE(data.status.IsEmpty()) << data.status.GetString();
  EXPECT_EQ(ImportData(data).failure, data.failure);  // a copy carries it until its own refresh

  write(nullptr, 620.0);
  EXPECT_EQ(data.Update(), 0);
  EXPECT_TRUE(data.failure.IsEmpty());
  EXPECT_DOUBLE_EQ(data.value, 620.0);
}

}  // namespace
