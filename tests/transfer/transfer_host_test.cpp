// Values and loads taken over from other positions when the host calculates a position of a project folder that
// is not the folder the host runs in.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"
#include "tests/host/host_run.h"
#include "tests/transfer/transfer_test_support.h"

namespace {

namespace fs = std::filesystem;
using host_test::HostRun;
using transfer_test::ColumnExports;
using transfer_test::kSourceActions;
using transfer_test::WriteSource;
using transfer_test::WriteValueSource;

constexpr const char* kValuePath = "Lager\\max Az";
constexpr const char* kWarning =
    "Übernommene Werte wurden nicht aktualisiert; es wird mit ihren alten Werten gerechnet:";

// The example column as sub/A.tqx of a project folder; the host runs in the project's parent folder, which holds
// positions of the same names as the project's.
class TransferHostTest : public host_test::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    fs::create_directory(folder_ / "sub");
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Position());
    cwd_ = folder_;
  }

  fs::path Position() const { return folder_ / "sub" / "A.tqx"; }
  fs::path Beside(const char* name) const { return folder_ / "sub" / name; }

  // Edits the position's input element in place.
  template <class Edit>
  void EditInput(Edit edit) const {
    const int doc = VIDUV_OpenDoc(Position().c_str());
    ASSERT_NE(doc, 0);
    edit(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"));
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }

  // The position takes over B's value at kValuePath as B_x, last read as 5 kN.
  void TakeOverValue() const {
    EditInput([](int input) {
      while (int old = VIDUV_FindFirstChild(input, "vardef")) VIDUV_DeleteElement(old);
      const int vardef = VIDUV_AddChildElement(input, "vardef");
      VIDUV_SetDouble(vardef, "version", 1.1);
      VIDUV_SetInt(vardef, "numOfEntries", 1);
      const int entry = VIDUV_AddChildElement(vardef, "entry");
      VIDUV_SetInt(entry, "idx", 0);
      VIDUV_SetInt(entry, "type", 6);
      VIDUV_SetString(entry, "varPath", (std::string("B\\") + kValuePath).c_str());
      VIDUV_SetString(entry, "desc", "max Az");
      VIDUV_SetString(entry, "varName", "B_x");
      VIDUV_SetDouble(entry, "value", 5.0);
      VIDUV_SetString(entry, "unit", "kN");
    });
  }

  // The position takes over the reactions of B's support 0 action by action, at the head of the column.
  void TakeOverLoads() const {
    EditInput([](int input) {
      const int lu = VIDUV_AddChildElement(VIDUV_AddChildElement(input, "lastUebernahme"), "lu");
      VIDUV_SetInt(lu, "version", 1);
      VIDUV_SetString(lu, "position", "B");
      VIDUV_SetString(lu, "auflager", "Auflager0");
      VIDUV_SetInt(lu, "einwModus", 1);
      VIDUV_SetDouble(lu, "e", 1.0);
      VIDUV_SetDouble(lu, "Faktor", 1.0);
      VIDUV_SetInt(lu, "aktiv", 1);
    });
  }

  // The calculated position's taken-over value: its "value" attribute as stored.
  std::string StoredValue() const {
    const int doc = VIDUV_OpenDoc(Position().c_str());
    const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
    const std::string value =
        VIDUV_GetString(VIDUV_FindFirstChild(VIDUV_FindFirstChild(input, "vardef"), "entry"), "value");
    VIDUV_CloseDoc(doc);
    return value;
  }

  // The z forces of the loads that the stored transfer produced.
  std::vector<double> StoredTransferLoads() const {
    const int doc = VIDUV_OpenDoc(Position().c_str());
    const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
    const int lu = VIDUV_FindFirstChild(VIDUV_FindFirstChild(input, "lastUebernahme"), "lu");
    std::vector<double> forces;
    for (int load = VIDUV_FindFirstChild(lu, "load"); load; load = VIDUV_FindNextChild(load, "load"))
      forces.push_back(VIDUV_GetDouble(load, "val2"));
    VIDUV_CloseDoc(doc);
    return forces;
  }

  // The position was calculated: it holds result records.
  bool Calculated() const {
    const int doc = VIDUV_OpenDoc(Position().c_str());
    const bool results =
        VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "result"), "Schnittgroessen") != 0;
    VIDUV_CloseDoc(doc);
    return results;
  }
};

// What the project's B.tqx holds beside the position.
enum class Source { kNone, kValue, kFileText };

struct ValueCase {
  const char* name;
  Source source;
  const char* text;  // the value's "val" text, or the whole file's text
  const char* stored;
  const char* message;  // %F stands for the file looked for; empty for none
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

class ValueImportHostTest : public TransferHostTest, public testing::WithParamInterface<ValueCase> {};

// A value that cannot be refreshed keeps its old number, is named in a warning, and does not stop the calculation.
TEST_P(ValueImportHostTest, TheValueComesFromBesideThePositionOrStaysAndIsNamed) {
  const ValueCase& c = GetParam();
  TakeOverValue();
  WriteValueSource(folder_ / "B.tqx", kValuePath, "222");
  if (c.source == Source::kValue) WriteValueSource(Beside("B.tqx"), kValuePath, c.text);
  if (c.source == Source::kFileText) std::ofstream(Beside("B.tqx")) << c.text;

  const HostRun run = Host({"calc", "sub/A.tqx"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Calculated());
  EXPECT_EQ(StoredValue(), c.stored);
  std::string message = c.message;
  if (message.empty()) {
    EXPECT_EQ(run.err.find(kWarning), std::string::npos) << run.err;
    return;
  }
  message.replace(message.find("%F"), 2, Beside("B.tqx").string());
  EXPECT_NE(run.err.find(std::string(kWarning) + "\n" + message), std::string::npos) << run.err;

  // The report reads the same position and says the same.
  const HostRun report = Host({"report", "sub/A.tqx"});
  EXPECT_EQ(report.status, 0) << report.err;
  EXPECT_NE(report.err.find(message), std::string::npos) << report.err;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ValueImportHostTest,
    testing::Values(
        ValueCase{"beside", Source::kValue, "111", "111", ""},
        ValueCase{"missing", Source::kNone, nullptr, "5", "Datei '%F' nicht gefunden (alter Wert B_x=5.00 kN)."},
        ValueCase{"malformed", Source::kFileText, "<root><exports>", "5",
                  "Datei '%F' kann nicht gelesen werden (alter Wert B_x=5.00 kN)."},
        ValueCase{"nan", Source::kValue, "nan", "5",
                  "Datei '%F': Variable 'max Az' hat keinen gültigen Zahlenwert ('nan') (alter Wert:5.00 kN)."}),
    [](const auto& info) { return std::string(info.param.name); });

// Loads are taken over from the source beside the position, and a source of the same name in the folder the host
// runs in is never taken. When the source is gone, the loads of the last calculation stay and the calculation says
// so; here they act on a destination action that the permanent part found among the column's own.
TEST_F(TransferHostTest, TransferredLoadsComeFromBesideThePosition) {
  TakeOverLoads();
  WriteSource(folder_ / "B.tqx", kSourceActions, ColumnExports(222.0));
  WriteSource(Beside("B.tqx"), {kSourceActions[0]}, ColumnExports(111.0));

  HostRun run = Host({"calc", "sub/A.tqx"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Calculated());
  // Only the permanent action's 100 kN: the source beside the position has no variable action.
  EXPECT_EQ(StoredTransferLoads(), (std::vector<double>{100.0}));
  EXPECT_EQ(run.err.find("Lastübernahme"), std::string::npos) << run.err;

  fs::remove(Beside("B.tqx"));
  run = Host({"calc", "sub/A.tqx"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(StoredTransferLoads(), (std::vector<double>{100.0}));
  EXPECT_NE(run.err.find("Lastübernahme von Pos. B: Datei '" + Beside("B.tqx").string() +
                         "' nicht gefunden; die zuletzt übernommenen Lasten bleiben stehen."),
            std::string::npos)
      << run.err;
}

// A file of the source's name beyond 64 MiB (here a sparse one of 2 GiB that costs no disk) is refused by its size
// before it is read: the value and the loads of the last calculation stay, and each warning names the file and its
// size.
TEST_F(TransferHostTest, ASourceBeyond64MiBIsRefusedByItsSize) {
  TakeOverLoads();
  // Only the permanent action: its 100 kN act on the column's own permanent action, which needs no source.
  WriteSource(Beside("B.tqx"), {kSourceActions[0]}, ColumnExports(111.0));
  ASSERT_EQ(Host({"calc", "sub/A.tqx"}).status, 0);
  TakeOverValue();
  fs::resize_file(Beside("B.tqx"), std::uintmax_t(2) << 30);

  const HostRun run = Host({"calc", "sub/A.tqx"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(StoredValue(), "5");
  EXPECT_EQ(StoredTransferLoads(), (std::vector<double>{100.0}));
  const std::string refused =
      "Datei '" + Beside("B.tqx").string() + "' ist mit 2147483648 Bytes größer als 64 MiB und wird nicht gelesen";
  EXPECT_NE(run.err.find(std::string(kWarning) + "\n" + refused + " (alter Wert B_x=5.00 kN)."), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Lastübernahme von Pos. B: " + refused + "; die zuletzt übernommenen Lasten bleiben stehen."),
            std::string::npos)
      << run.err;
}

// A load on a destination action that only the transfer made cannot be calculated without its source (the action's
// group and category come from the source): the calculation is refused after the warning, and the file keeps the
// loads of the last calculation.
TEST_F(TransferHostTest, WithoutItsSourceALoadOnAnActionOfTheTransferIsNotCalculated) {
  TakeOverLoads();
  WriteSource(folder_ / "B.tqx", kSourceActions, ColumnExports(222.0));
  WriteSource(Beside("B.tqx"), kSourceActions, ColumnExports(111.0));
  HostRun run = Host({"calc", "sub/A.tqx"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The permanent action's 100 kN and the variable action's 111 kN.
  EXPECT_EQ(StoredTransferLoads(), (std::vector<double>{100.0, 111.0}));

  fs::remove(Beside("B.tqx"));
  run = Host({"calc", "sub/A.tqx"});
  EXPECT_NE(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Lastübernahme von Pos. B: Datei '" + Beside("B.tqx").string() + "' nicht gefunden"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(StoredTransferLoads(), (std::vector<double>{100.0, 111.0}));
}

}  // namespace
