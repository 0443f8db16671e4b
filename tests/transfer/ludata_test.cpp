// Load transfer: support reactions of a source position taken over as loads of a column position.
#include "transfer/ludata.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "column/lagerexport.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"
#include "tests/transfer/transfer_test_support.h"
#include "transfer/importdata.h"
#include "transfer/sourcefile.h"

namespace {

namespace fs = std::filesystem;
using namespace transfer_test;

// A position of no particular module: the position base with its transfers.
class TestPosition : public BaseData {
 public:
  TestPosition() {
    progname = "KOLUMO";
    lknorm = 1;
    lastUeberlagerung.SetNorm(1);
  }
  bool PrepareCalc(CStringArray&, int) override { return true; }
  LUDataList& Transfers() { return dynamic_cast<LUDataList&>(GetLUDataList()); }
};

LUData Transfer(const char* position = "Pos1") {
  LUData data;
  data.position = position;
  data.auflager = "auflager0";  // the support is found without regard to case
  data.einwModus = 1;
  return data;
}

class LoadTransferTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("ludata-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    RegisterLoadTransfer();
    win::msgbox::ClearLog();
    win::msgbox::ClearAnswers();
  }
  void TearDown() override {
    SetLoadTransferListFactory(nullptr);
    fs::remove_all(folder_);
  }

  // The destination position with one permanent action of its own and the given transfers, saved as Pos2.
  void WriteDestination(const std::vector<LUData>& transfers) {
    TestPosition position;
    position.lastUeberlagerung.einwirkungen.Add(Action(1, 0, 0, 0));
    CLKLastfall row;
    row.lf = row.einw = 1;
    position.lastUeberlagerung.lastfaelle.Add(row);
    for (const LUData& t : transfers) position.Transfers().Add(t);
    int doc = VIDUV_CreateDoc(Dest().c_str());
    ASSERT_NE(doc, 0);
    position.WriteData(doc);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }

  // Reads the destination into `position`; the document stays open in `doc`.
  void ReadDestination(TestPosition& position, int& doc) {
    doc = VIDUV_OpenDoc(Dest().c_str());
    ASSERT_NE(doc, 0);
    position.doc = doc;
    ASSERT_EQ(position.ReadData(doc), 1);
  }

  // Reads the destination and writes it back: it stores the loads its transfers take over now.
  void StoreTransferredLoads() {
    TestPosition position;
    int doc = 0;
    ReadDestination(position, doc);
    position.WriteData(doc);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }

  std::string Dest() const { return (folder_ / "Pos2.tqx").string(); }
  fs::path Source() const { return folder_ / "Pos1.tqx"; }

  fs::path folder_;
};

// z force values of the transferred loads by destination action.
std::vector<std::pair<int, double>> ZLoads(LUData& data) {
  std::vector<std::pair<int, double>> out;
  for (Load& load : data.m_load) {
    EXPECT_EQ(load.direction, 2);
    out.emplace_back(load.lc, load.val2.GetValue());
  }
  return out;
}

using Loads = std::vector<std::pair<int, double>>;

// --- A column takes over the reactions of another column --------------------------------------------------

TEST_F(LoadTransferTest, ColumnTakesOverReactionsWithMappedActions) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  WriteDestination({Transfer()});
  TestPosition position;
  int doc = 0;
  ReadDestination(position, doc);
  LUData& t = position.Transfers()[0];

  // Permanent source action 1 goes to the destination's permanent action 1; variable action 2 (folder
  // "2: Verkehr add.1" = first variable action) finds no variable destination action of its category, so
  // action 2 = 1 + highest existing number is created for it. Extremal values are not taken in mode 1.
  EXPECT_EQ(ZLoads(t), (Loads{{1, 100.0}, {2, 40.0}}));
  EXPECT_EQ(t.progModul, "kolumo");
  EXPECT_EQ(t.GetMapping(1, 0), 1);
  EXPECT_EQ(t.GetMapping(2, 0), 2);
  ASSERT_EQ(position.lastUeberlagerung.einwirkungen.GetSize(), 2);
  const CEinwirkung& created = position.lastUeberlagerung.einwirkungen[1];
  EXPECT_EQ(created.nr, 2);
  EXPECT_EQ(created.indexGruppeHHHH, 1);
  EXPECT_EQ(created.indexKategorie, 1);
  EXPECT_EQ(created.indexLuda, 1);
  EXPECT_EQ(t.m_load[0].desc, "infolge Einw. 1: ständig");
  EXPECT_TRUE(win::msgbox::Log().empty());
  VIDUV_CloseDoc(doc);
}

TEST_F(LoadTransferTest, ChangedSourceIsRecomputedOnTheNextRead) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  WriteDestination({Transfer()});
  StoreTransferredLoads();
  WriteSource(Source(), kSourceActions, ColumnExports(65.0));
  TestPosition position;
  int doc = 0;
  ReadDestination(position, doc);
  EXPECT_EQ(ZLoads(position.Transfers()[0]), (Loads{{1, 100.0}, {2, 65.0}}));
  // The transfer's action is made anew, not added a second time.
  EXPECT_EQ(position.lastUeberlagerung.einwirkungen.GetSize(), 2);
  VIDUV_CloseDoc(doc);
}

TEST_F(LoadTransferTest, MissingSourceKeepsTheStoredLoadsSilently) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  WriteDestination({Transfer()});
  StoreTransferredLoads();
  fs::remove(Source());
  TestPosition position;
  int doc = 0;
  ReadDestination(position, doc);
  EXPECT_EQ(ZLoads(position.Transfers()[0]), (Loads{{1, 100.0}, {2, 40.0}}));
  EXPECT_TRUE(win::msgbox::Log().empty());
  VIDUV_CloseDoc(doc);
}

// A source beyond 64 MiB is refused by its size: the transfer keeps the loads of its last calculation, and the
// calculation's warning names the file and its size. The file is sparse: it costs no disk.
TEST_F(LoadTransferTest, ASourceBeyond64MiBIsRefusedAndTheStoredLoadsStay) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  WriteDestination({Transfer()});
  StoreTransferredLoads();
  fs::resize_file(Source(), kMaxSourceBytes + 1);
  const long before = SourceReading::Reads();
  TestPosition position;
  int doc = 0;
  ReadDestination(position, doc);
  EXPECT_EQ(SourceReading::Reads(), before);
  EXPECT_EQ(ZLoads(position.Transfers()[0]), (Loads{{1, 100.0}, {2, 40.0}}));
  CArray<CFormulaNumber> lengths;
  CArray<Load> loads;
  int maxLF = 1;
  TransferLoadsToStage(position, position.lastUeberlagerung, loads, maxLF, lengths, false);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Lastübernahme von Pos. Pos1: Datei '" + Source().string() +
                                            "' ist mit 67108865 Bytes größer als 64 MiB und wird nicht gelesen; die "
                                            "zuletzt übernommenen Lasten bleiben stehen.");
  VIDUV_CloseDoc(doc);
}

// A calculation reads each source once, however often it takes values and loads from it: the value taken over when
// the position is read, the transfer then, again when the column reads its own part and when the stage's loads are
// formed. Read without a calculation, each of them reads the source.
TEST_F(LoadTransferTest, ACalculationReadsEachSourceOnce) {
  RegisterImportData();
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  {
    TestPosition position;
    position.lastUeberlagerung.einwirkungen.Add(Action(1, 0, 0, 0));
    position.Transfers().Add(Transfer());
    auto taken = std::make_unique<CVarDefWertUebernahme>();
    taken->GetImport().varPath = "Pos1\\Auflager0\\z-z\\extremal\\max Az";
    taken->GetImport().varName = "A_z";
    position.varDefs.Add(std::move(taken));
    const int doc = VIDUV_CreateDoc(Dest().c_str());
    position.WriteData(doc);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }
  long before = SourceReading::Reads();
  {
    TestPosition position;
    int doc = 0;
    ReadDestination(position, doc);
    VIDUV_CloseDoc(doc);
  }
  EXPECT_EQ(SourceReading::Reads() - before, 2);  // the value and the transfer

  before = SourceReading::Reads();
  const int doc = VIDUV_OpenDoc(Dest().c_str());
  Calculate(doc);
  VIDUV_CloseDoc(doc);
  EXPECT_EQ(SourceReading::Reads() - before, 1);
  GetVarDefServices() = CVarDefServices{};
}

// A project's positions lie side by side: the source is found beside the destination, and a position of the same
// name in the folder the program runs in is never taken instead.
TEST_F(LoadTransferTest, TheSourceLiesBesideTheDestinationNeverInTheCurrentFolder) {
  const fs::path elsewhere = folder_ / "elsewhere";
  fs::create_directories(elsewhere);
  WriteSource(elsewhere / "Pos1.tqx", kSourceActions, ColumnExports(222.0));
  const CurrentFolder running(elsewhere);
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  WriteDestination({Transfer()});
  {
    TestPosition position;
    int doc = 0;
    ReadDestination(position, doc);
    EXPECT_EQ(ZLoads(position.Transfers()[0]), (Loads{{1, 100.0}, {2, 40.0}}));
    position.WriteData(doc);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }
  fs::remove(Source());
  {
    TestPosition position;
    int doc = 0;
    ReadDestination(position, doc);
    EXPECT_EQ(ZLoads(position.Transfers()[0]), (Loads{{1, 100.0}, {2, 40.0}}));
    VIDUV_CloseDoc(doc);
  }
  // A destination that has no file yet has no folder: a relative source is not looked for at all.
  {
    TestPosition position;
    position.Transfers().Add(Transfer());
    position.doc = VIDUV_CreateDoc("root");
    position.Transfers().Recalc();
    EXPECT_TRUE(position.Transfers()[0].m_load.IsEmpty());
    EXPECT_EQ(position.Transfers()[0].sourceDocument, 0);
    VIDUV_CloseDoc(position.doc);
  }
}

TEST_F(LoadTransferTest, SourceWithoutActionsIsReportedAndKeepsTheStoredLoads) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  WriteDestination({Transfer()});
  StoreTransferredLoads();
  // The source lost its combination data: no "lastUeberlagerung" at all.
  WriteSource(Source(), {}, ColumnExports(70.0));
  int source = VIDUV_OpenDoc(Source().string().c_str());
  int stage = VIDUV_FindFirstChild(
      VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(source), "input"), "Einwirkungen"), "BauZustand");
  VIDUV_DeleteElement(VIDUV_FindFirstChild(stage, "lastUeberlagerung"));
  ASSERT_EQ(VIDUV_SaveDoc(source), 1);
  VIDUV_CloseDoc(source);

  TestPosition position;
  int doc = 0;
  ReadDestination(position, doc);
  EXPECT_EQ(ZLoads(position.Transfers()[0]), (Loads{{1, 100.0}, {2, 40.0}}));
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text,
            "LUData: Lasten von Pos. Pos1 können nicht übernommen werden, da in Pos. Pos1 keine Einwirkungen "
            "definiert sind");
  VIDUV_CloseDoc(doc);
}

TEST_F(LoadTransferTest, DeletingTheLastTransferRemovesItsElementAndActions) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  WriteDestination({Transfer()});
  {
    TestPosition position;
    int doc = 0;
    ReadDestination(position, doc);
    position.Transfers().RemoveAt(0);
    position.WriteData(doc);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }
  int doc = VIDUV_OpenDoc(Dest().c_str());
  const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
  EXPECT_EQ(VIDUV_FindFirstChild(input, "lastUebernahme"), 0);
  VIDUV_CloseDoc(doc);

  TestPosition position;
  ReadDestination(position, doc);
  EXPECT_EQ(position.Transfers().GetSize(), 0);
  // Only the user's own action is left.
  ASSERT_EQ(position.lastUeberlagerung.einwirkungen.GetSize(), 1);
  EXPECT_EQ(position.lastUeberlagerung.einwirkungen[0].indexLuda, 0);
  VIDUV_CloseDoc(doc);
}

TEST_F(LoadTransferTest, SourceDocumentsAreClosedOnEveryPath) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  // The second source holds no such support: the calculation leaves early.
  WriteSource(folder_ / "Pos3.tqx", kSourceActions, {{{"Auflager7", "z-z", "1: ständig"}, {{"max Az", 1.0, "kN"}}}});
  WriteDestination({Transfer(), Transfer("Pos3")});
  TestPosition position;
  int doc = 0;
  ReadDestination(position, doc);
  for (INT_PTR i = 0; i < position.Transfers().GetSize(); ++i) {
    const int source = position.Transfers()[i].sourceDocument;
    EXPECT_NE(source, 0) << i;
    // A handle of a closed document reads as none.
    EXPECT_EQ(VIDUV_GetRootElement(source), 0) << i;
  }
  EXPECT_TRUE(position.Transfers()[1].m_load.IsEmpty());
  VIDUV_CloseDoc(doc);
}

// --- The record and its element ---------------------------------------------------------------------------

struct GuardCase {
  double storedE;
  double storedFaktor;
  double e;
  double faktor;
};

class ReadGuardTest : public testing::TestWithParam<GuardCase> {};

TEST_P(ReadGuardTest, SpacingAndFactorNeverReadBelowTheLimit) {
  const GuardCase c = GetParam();
  int doc = VIDUV_CreateDoc("root");
  int parent = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "lastUebernahme");
  int lu = VIDUV_AddChildElement(parent, "lu");
  VIDUV_SetDouble(lu, "e", c.storedE);
  VIDUV_SetDouble(lu, "Faktor", c.storedFaktor);
  LUData data;
  ASSERT_TRUE(data.ReadData(parent, true));
  EXPECT_DOUBLE_EQ(data.e, c.e);
  EXPECT_DOUBLE_EQ(data.Faktor, c.faktor);
  EXPECT_FALSE(data.ReadData(parent, false));
  VIDUV_CloseDoc(doc);
}

INSTANTIATE_TEST_SUITE_P(Guards, ReadGuardTest,
                         testing::Values(GuardCase{2.5, 0.0, 2.5, 1.0},     // Faktor 0 reads as 1
                                         GuardCase{-2.0, -2.0, 1.0, -2.0},  // e without magnitude, Faktor with
                                         GuardCase{0.0005, 0.0005, 1.0, 1.0}, GuardCase{0.001, -0.001, 0.001, -0.001}));

TEST(LUDataXml, InactiveTransferKeepsItsMappingAndWritesNoLoads) {
  LUData data;
  data.position = "Pos1";
  data.auflager = "Auflager0";
  data.aktiv = false;
  data.SetMapping(2, 0, 7);
  data.SetMapping(3, 1, 9);
  Load load;
  load.lc = 7;
  load.val2 = 5.0;
  data.m_load.Add(load);

  int doc = VIDUV_CreateDoc("root");
  int parent = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "lastUebernahme");
  data.WriteData(parent);
  int lu = VIDUV_FindFirstChild(parent, "lu");
  EXPECT_EQ(VIDUV_FindFirstChild(lu, "load"), 0);
  EXPECT_EQ(VIDUV_GetInt(VIDUV_FindFirstChild(lu, "EinwSrc2DestMax"), "dataLength"), 3);

  LUData back;
  ASSERT_TRUE(back.ReadData(parent, true));
  EXPECT_FALSE(back.aktiv);
  EXPECT_EQ(back.GetMapping(2, 0), 7);
  EXPECT_EQ(back.GetMapping(1, 0), 0);
  EXPECT_EQ(back.GetMapping(3, 1), 9);
  EXPECT_EQ(back.GetMapping(4, 1), -1);
  EXPECT_TRUE(back.m_load.IsEmpty());
  VIDUV_CloseDoc(doc);
}

TEST(LUDataXml, EmptyMappingsWriteNoChildAndLoadsArePointLoads) {
  LUData data;
  data.xa = "1+1";  // an expression of the position
  Load load;
  load.lc = 1;
  load.ltype = 13;
  load.length = 4.0;
  load.val1 = -3.0;
  data.m_load.Add(load);
  int doc = VIDUV_CreateDoc("root");
  int parent = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "lastUebernahme");
  data.WriteData(parent);
  int lu = VIDUV_FindFirstChild(parent, "lu");
  EXPECT_EQ(VIDUV_FindFirstChild(lu, "EinwSrc2DestMax"), 0);
  EXPECT_EQ(VIDUV_FindFirstChild(lu, "EinwSrc2DestMin"), 0);
  LUData back;
  ASSERT_TRUE(back.ReadData(parent, true));
  EXPECT_TRUE(back.EinwSrc2DestMax.IsEmpty());
  ASSERT_EQ(back.m_load.GetSize(), 1);
  EXPECT_EQ(back.m_load[0].ltype, 10);
  EXPECT_DOUBLE_EQ(back.m_load[0].length.GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(back.m_load[0].val1.GetValue(), -3.0);
  EXPECT_EQ(back.xa.GetText(), "1+1");
  VIDUV_CloseDoc(doc);
}

struct ArrayCase {
  const char* what;
  bool lengthFirst;
  int dataLength;
  std::vector<int> stored;
  std::vector<int> expected;
};

void PrintTo(const ArrayCase& c, std::ostream* os) { *os << c.what; }

class MappingArrayTest : public testing::TestWithParam<ArrayCase> {};

TEST_P(MappingArrayTest, ReadsWhatTheLengthAndTheBytesAllow) {
  const ArrayCase& c = GetParam();
  int doc = VIDUV_CreateDoc("root");
  int parent = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "lastUebernahme");
  int lu = VIDUV_AddChildElement(parent, "lu");
  int child = VIDUV_AddChildElement(lu, "EinwSrc2DestMax");
  if (c.lengthFirst) VIDUV_SetInt(child, "dataLength", c.dataLength);
  VIDUV_SetBinData(child, "data", int(c.stored.size() * 4), c.stored.data(), 0);
  if (!c.lengthFirst) VIDUV_SetInt(child, "dataLength", c.dataLength);
  LUData data;
  ASSERT_TRUE(data.ReadData(parent, true));
  const CArray<int, int>& map = data.EinwSrc2DestMax;
  const std::vector<int> read(map.GetData(), map.GetData() + map.GetSize());
  EXPECT_EQ(read, c.expected);
  VIDUV_CloseDoc(doc);
}

INSTANTIATE_TEST_SUITE_P(Arrays, MappingArrayTest,
                         testing::Values(ArrayCase{"as written", true, 3, {0, 4, 5}, {0, 4, 5}},
                                         ArrayCase{"data before its length", false, 3, {0, 4, 5}, {}},
                                         ArrayCase{"fewer bytes than the length", true, 4, {0, 4}, {0, 4, 0, 0}},
                                         ArrayCase{"a damaged length", true, 50000000, {0, 4}, {}},
                                         ArrayCase{"a negative length", true, -2, {0, 4}, {}}));

TEST(LUDataXml, ListKeepsDocumentOrder) {
  int doc = VIDUV_CreateDoc("root");
  int input = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "input");
  int parent = VIDUV_AddChildElement(input, "lastUebernahme");
  for (const char* name : {"A", "B", "C"}) {
    LUData data;
    data.position = name;
    data.WriteData(parent);
  }
  LUDataList list;
  list.ReadData(input);
  ASSERT_EQ(list.GetSize(), 3);
  list.WriteData(input);
  EXPECT_EQ(VIDUV_FindNextChild(VIDUV_FindFirstChild(input, "lastUebernahme"), "lastUebernahme"), 0);
  LUDataList again;
  again.ReadData(input);
  ASSERT_EQ(again.GetSize(), 3);
  EXPECT_EQ(again[0].position, "A");
  EXPECT_EQ(again[1].position, "B");
  EXPECT_EQ(again[2].position, "C");
  VIDUV_CloseDoc(doc);
}

TEST(LUDataList, RecalcDropsTransferActionsAndLoneAlternativeGroups) {
  TestPosition position;
  CArray<CEinwirkung>& actions = position.lastUeberlagerung.einwirkungen;
  actions.Add(Action(1, 0));
  actions.Add(Action(2, 2, 1, 5));  // alone in group 5
  actions.Add(Action(3, 2, 1, 4));
  actions.Add(Action(4, 2, 1, 4));
  CEinwirkung made = Action(5, 1);
  made.indexLuda = 1;
  actions.Add(made);
  LUDataList list;
  list.SetOwner(&position);
  list.Recalc();
  ASSERT_EQ(actions.GetSize(), 4);
  EXPECT_EQ(actions[1].alternativgruppe, 0);
  EXPECT_EQ(actions[2].alternativgruppe, 4);
  EXPECT_EQ(actions[3].alternativgruppe, 4);
}

// --- Directions and splitting -----------------------------------------------------------------------------

struct DirectionCase {
  const char* code;
  int axis;
  int richtung;
  double amax, amin, mmax, mmin;
  int iRichtg, iRichtgM;
  double eAmax, eAmin, eMmax, eMmin;
};

class DirectionTest : public testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionTest, AxesTurnAndSignsFollowTheOption) {
  const DirectionCase c = GetParam();
  LUData data;
  data.progModul = c.code;
  data.richtung = c.richtung;
  LUAuflager r;
  r.iRichtg = c.axis;
  r.Amax = c.amax;
  r.Amin = c.amin;
  r.Mmax = c.mmax;
  r.Mmin = c.mmin;
  data.MapDirections(r);
  EXPECT_EQ(r.iRichtg, c.iRichtg);
  EXPECT_EQ(r.iRichtgM, c.iRichtgM);
  EXPECT_DOUBLE_EQ(r.Amax.GetValue(), c.eAmax);
  EXPECT_DOUBLE_EQ(r.Amin.GetValue(), c.eAmin);
  EXPECT_DOUBLE_EQ(r.Mmax.GetValue(), c.eMmax);
  EXPECT_DOUBLE_EQ(r.Mmin.GetValue(), c.eMmin);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, DirectionTest,
    testing::Values(
        // roof, x against negative y: values negated, max and min exchanged
        DirectionCase{"dach", 0, 3, 5, 2, 0, 0, 1, -1, -2, -5, 0, 0},
        // roof reactions on y are not turned
        DirectionCase{"dach", 1, 0, 5, 2, 0, 0, 1, -1, 5, 2, 0, 0},
        // column moment on x with option 2: force -x, moment -y; moment index differs, so its sign stays
        DirectionCase{"kolumo", 0, 2, 0, 0, 3, -1, 0, 1, 0, 0, 3, -1},
        // member: force and moment both on -x, both negated
        DirectionCase{"stahlstab2", 0, 2, 4, 1, 3, -1, 0, 0, -1, -4, 1, -3},
        // column on y with option 1: force to -x, moment to y
        DirectionCase{"kolumo", 1, 1, 6, 2, 0, 0, 0, 1, -2, -6, 0, 0},
        // vertical reactions stay vertical
        DirectionCase{"kolumo", 2, 3, 9, 4, 0, 0, 2, 2, 9, 4, 0, 0}));

TEST(LUDataDirections, OrientationTextsFollowTheSourceKind) {
  LUData data;
  LUAuflager r;
  data.progModul = "dach";
  data.MapDirections(r);
  ASSERT_EQ(data.richtungTexte.GetSize(), 4);
  EXPECT_EQ(data.richtungTexte[3], "Ah wirkt in negativer y-Richtg der Stütze");
  data.progModul = "kolumo";
  data.MapDirections(r);
  ASSERT_EQ(data.richtungTexte.GetSize(), 4);
  EXPECT_EQ(data.richtungTexte[0], "Ax wirkt in x-Richtg der Stütze");
  data.progModul = "decke";
  data.MapDirections(r);
  EXPECT_EQ(data.richtungTexte.GetSize(), 0);
}

TEST(LUDataSplit, RecordWithForcesAndMomentsBecomesTwo) {
  LUData data;
  data.progModul = "kolumo";
  LUAuflager r;
  r.Amax = 5.0;
  r.Amin = -3.0;
  r.Mmax = 2.0;
  data.auflagerListe.Add(r);
  LUAuflager forcesOnly;
  forcesOnly.Amax = 8.0;
  forcesOnly.Mmax = 0.01;  // not above the limit: not split
  data.auflagerListe.Add(forcesOnly);
  data.SplitAuflager();
  ASSERT_EQ(data.auflagerListe.GetSize(), 3);
  EXPECT_DOUBLE_EQ(data.auflagerListe[0].Amax.GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(data.auflagerListe[0].Mmax.GetValue(), 2.0);
  EXPECT_DOUBLE_EQ(data.auflagerListe[1].Amax.GetValue(), 8.0);
  EXPECT_DOUBLE_EQ(data.auflagerListe[2].Amax.GetValue(), 5.0);
  EXPECT_DOUBLE_EQ(data.auflagerListe[2].Amin.GetValue(), -3.0);
  EXPECT_DOUBLE_EQ(data.auflagerListe[2].Mmax.GetValue(), 0.0);
}

TEST(LUDataLoadKind, RoofForcesTimesSpacing) {
  LUData data;
  data.progModul = "dach";
  for (double e : {2.5, 0.0005}) {
    data.e = e;
    LUAuflager r;
    r.Amax = 4.0;
    r.Mmax = 1.0;
    data.SetLoadKind(r);
    EXPECT_EQ(r.iLastTyp, 10);
    // 4 kN/m over 2.5 m = 10 kN; a spacing at or below 0.001 leaves the values per metre
    EXPECT_DOUBLE_EQ(r.Amax.GetValue(), e > 0.001 ? 10.0 : 4.0);
    EXPECT_DOUBLE_EQ(r.Mmax.GetValue(), 1.0);
  }
}

// --- Mapping and loads ------------------------------------------------------------------------------------

class LUDataLoadsTest : public testing::Test {
 protected:
  void SetUp() override {
    data.owner = &position;
    data.luNr = 1;
    data.progModul = "kolumo";
  }
  LUAuflager Record(int einw, int axis) {
    LUAuflager r;
    r.iEinw = einw;
    r.iRichtg = axis;
    r.iRichtgM = axis;
    r.iLastTyp = 10;
    return r;
  }
  TestPosition position;
  LUData data;
};

TEST_F(LUDataLoadsTest, ModeZeroSplitsExtremalIntoPermanentAndVariable) {
  position.lastUeberlagerung.einwirkungen.Add(Action(1, 0));
  position.lastUeberlagerung.einwirkungen.Add(Action(2, 1));
  data.einwModus = 0;
  LUAuflager r = Record(0, 2);
  r.Ag = 10.0;
  r.Amax_g = 5.0;
  EXPECT_TRUE(data.BuildLoads(r));
  EXPECT_EQ(ZLoads(data), (Loads{{1, 10.0}, {2, 5.0}}));
  EXPECT_EQ(data.m_load[1].desc, "extremal");

  // Without a permanent and a variable part the maximum itself goes to action 2.
  data.m_load.RemoveAll();
  LUAuflager onlyMax = Record(0, 2);
  onlyMax.Amax = 7.0;
  EXPECT_TRUE(data.BuildLoads(onlyMax));
  EXPECT_EQ(ZLoads(data), (Loads{{2, 7.0}}));
}

TEST_F(LUDataLoadsTest, ModeTwoGivesMinimumOnlyWhenNegative) {
  data.sourceLK.einwirkungen.Add(Action(1, 1, 2, 0, "1: Wind"));
  data.einwModus = 2;
  data.einwKatModus = 1;
  LUAuflager r = Record(1, 2);
  r.Amax = 8.0;
  r.Amin = 2.0;
  data.auflagerListe.Add(r);
  data.MapActions();
  for (LUAuflager& record : data.auflagerListe) data.BuildLoads(record);
  EXPECT_EQ(ZLoads(data), (Loads{{1, 8.0}}));
  EXPECT_EQ(position.lastUeberlagerung.einwirkungen.GetSize(), 1);

  data.m_load.RemoveAll();
  position.lastUeberlagerung.einwirkungen.RemoveAll();
  data.auflagerListe[0].Amin = -3.0;
  data.MapActions();
  for (LUAuflager& record : data.auflagerListe) data.BuildLoads(record);
  // Maximum on action 1 and minimum on action 2, which exclude each other in one alternative group.
  EXPECT_EQ(ZLoads(data), (Loads{{1, 8.0}, {2, -3.0}}));
  const CArray<CEinwirkung>& actions = position.lastUeberlagerung.einwirkungen;
  ASSERT_EQ(actions.GetSize(), 2);
  EXPECT_EQ(actions[0].maxmin, 0);
  EXPECT_EQ(actions[1].maxmin, 1);
  EXPECT_GT(actions[0].alternativgruppe, 0);
  EXPECT_EQ(actions[0].alternativgruppe, actions[1].alternativgruppe);
}

TEST_F(LUDataLoadsTest, ModeThreeDropsAMinimumEqualToTheMaximum) {
  data.sourceLK.einwirkungen.Add(Action(1, 1, 2));
  data.einwModus = 3;
  data.einwKatModus = 2;
  LUAuflager r = Record(1, 2);
  r.Amax = 8.0;
  r.Amin = 8.0;
  data.auflagerListe.Add(r);
  data.MapActions();
  data.BuildLoads(data.auflagerListe[0]);
  // The minimum becomes 0 (equal to the maximum) and its load has no value.
  EXPECT_EQ(ZLoads(data), (Loads{{1, 8.0}}));
}

TEST_F(LUDataLoadsTest, MomentWithoutDirectionFollowsTheForce) {
  data.sourceLK.einwirkungen.Add(Action(1, 0));
  position.lastUeberlagerung.einwirkungen.Add(Action(1, 0));
  data.einwModus = 1;
  LUAuflager r = Record(1, 0);
  r.iRichtgM = -1;
  r.Mmax = 2.0;
  data.auflagerListe.Add(r);
  data.MapActions();
  data.BuildLoads(data.auflagerListe[0]);
  ASSERT_EQ(data.m_load.GetSize(), 1);
  // A force direction x takes its moment about y.
  EXPECT_DOUBLE_EQ(data.m_load[0].val4.GetValue(), 2.0);
  EXPECT_DOUBLE_EQ(data.m_load[0].val3.GetValue(), 0.0);
}

TEST_F(LUDataLoadsTest, AccidentalActionGetsItsOwnNamedAction) {
  position.lastUeberlagerung.mitAlternativLasten = true;
  position.lastUeberlagerung.einwirkungen.Add(Action(4, 0));
  data.sourceLK.einwirkungen.Add(Action(1, 3, 0));
  data.einwModus = 1;
  data.einwKatModus = 0;
  LUAuflager r = Record(1, 2);
  r.Amax = 50.0;
  data.auflagerListe.Add(r);
  data.MapActions();
  EXPECT_EQ(data.GetMapping(1, 0), 5);
  const CEinwirkung& made = position.lastUeberlagerung.einwirkungen[1];
  EXPECT_EQ(std::string(made.title.GetString()).rfind("5: außergew. ", 0), 0u) << made.title.GetString();
}

TEST_F(LUDataLoadsTest, CombinedAlternativeGroupTravelsAsOneEnvelope) {
  data.sourceLK.einwirkungen.Add(Action(1, 1, 2, 3));
  data.sourceLK.einwirkungen.Add(Action(2, 1, 2, 3));
  data.einwModus = 1;
  data.einwKatModus = 0;
  LUAuflager a = Record(1, 2), b = Record(2, 2);
  a.Amax = 12.0;
  b.Amax = 30.0;
  data.auflagerListe.Add(a);
  data.auflagerListe.Add(b);
  data.CollectGroupEnvelopes();
  ASSERT_EQ(data.combine.size(), 4u);
  EXPECT_TRUE(data.combine[3]);  // one channel (z force) only
  data.MapActions();
  // Each member gets an action of its own; the envelope (max 30) goes to the first of them.
  EXPECT_EQ(data.GetMapping(1, 0), 1);
  EXPECT_EQ(data.GetMapping(2, 0), 2);
  for (LUAuflager& record : data.auflagerListe) EXPECT_FALSE(data.BuildLoads(record));
  data.BuildGroupLoads();
  EXPECT_EQ(ZLoads(data), (Loads{{1, 30.0}}));
}

TEST(LUDataMapping, UnsetEntriesAndRangeOfTheArrays) {
  LUData data;
  data.SetMapping(5, 0, 2);
  data.SetMapping(0, 0, 9);  // no source 0
  data.SetMapping(6, 0, 0);  // no destination 0
  EXPECT_EQ(data.GetMapping(3, 0), 0);
  EXPECT_EQ(data.GetMapping(5, 0), 2);
  EXPECT_EQ(data.GetMapping(6, 0), -1);
  EXPECT_EQ(data.GetMapping(0, 0), -1);
  EXPECT_EQ(data.GetMapping(5, 1), -1);
}

TEST(LUDataSource, ColumnGroupNumbersNameTheSourceActions) {
  LUData data;
  data.progModul = "kolumo";
  data.sourceLK.einwirkungen.Add(Action(1, 0));
  data.sourceLK.einwirkungen.Add(Action(2, 2));
  data.sourceLK.einwirkungen.Add(Action(3, 1));
  data.sourceLK.einwirkungen.Add(Action(4, 2));
  data.sourceLK.einwirkungen.Add(Action(6, 2));
  data.sourceLK.einwirkungen.Add(Action(7, 3));
  EXPECT_EQ(data.MapColumnGroupNumber(1), 1);
  EXPECT_EQ(data.MapColumnGroupNumber(2), 3);   // first variable action
  EXPECT_EQ(data.MapColumnGroupNumber(3), -1);  // there is no second one
  EXPECT_EQ(data.MapColumnGroupNumber(9), 6);   // third alternative action
  EXPECT_EQ(data.MapColumnGroupNumber(14), 7);
  EXPECT_EQ(data.MapColumnGroupNumber(15), -1);
}

TEST(LUDataSource, ValueDescriptionsFillTheCurrentRecord) {
  LUData data;
  data.progModul = "kolumo";
  data.sourceKind = 1;
  int doc = VIDUV_CreateDoc("root");
  int folder = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "folder");
  auto add = [&](const char* desc, double val, const char* unit) {
    int v = VIDUV_AddChildElement(folder, "value");
    VIDUV_SetString(v, "desc", desc);
    VIDUV_SetDouble(v, "val", val);
    VIDUV_SetString(v, "unit", unit);
    data.ReadValue(v);
  };
  add("MAX Ax", 3.0, "kN");
  add("min Amy", -2.0, "kNm");
  add("Ax (g)", 1.5, "kN");
  add("A (MAX-G)", 9.0, "kN");  // the parts in brackets are matched with their case
  EXPECT_DOUBLE_EQ(data.current.Amax.GetValue(), 3.0);
  EXPECT_DOUBLE_EQ(data.current.Mmin.GetValue(), -2.0);
  EXPECT_DOUBLE_EQ(data.current.Ag.GetValue(), 1.5);
  EXPECT_DOUBLE_EQ(data.current.Amax_g.GetValue(), 0.0);
  VIDUV_CloseDoc(doc);
}

// --- Into the column's calculation ------------------------------------------------------------------------

TEST_F(LoadTransferTest, TransferredLoadsBecomeLoadCasesOfTheColumnStage) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  CKolumoData column;
  column.doc = VIDUV_CreateDoc(Dest().c_str());
  column.SetFieldCount(2);
  column.fieldLengths[0] = 3.0;
  column.fieldLengths[1] = 2.0;
  CLKData& lk = column.lastUeberlagerungBZ[0];
  lk.einwirkungen.Add(Action(1, 0));
  CLKLastfall row;
  row.lf = row.einw = 1;
  lk.lastfaelle.Add(row);
  column.maxLF[0] = 1;
  Load own;
  own.lc = 1;
  own.ltype = 10;
  own.direction = 2;
  own.val0 = 20.0;
  column.loads[0].Add(own);
  auto& transfers = dynamic_cast<LUDataList&>(column.GetLUDataList());
  transfers.Add(Transfer());
  LUData below = Transfer();
  below.xa = 3.0;  // at the lower end of the first field
  below.Faktor = 0.5;
  transfers.Add(below);
  const INT_PTR ownActions = column.lastUeberlagerung.einwirkungen.GetSize();

  const int added = TransferLoadsToStage(column, lk, column.loads[0], column.maxLF[0], column.fieldLengths);

  // Action 1 (the user's, permanent) takes the permanent parts; the first transfer creates action 2 for the
  // variable part, and the second maps its variable part to that action (same group and category, taking
  // maxima). So two new load cases after the user's load case 1: 2 on action 1, 3 on action 2.
  EXPECT_EQ(added, 2);
  EXPECT_EQ(column.maxLF[0], 3);
  ASSERT_EQ(lk.lastfaelle.GetSize(), 3);
  EXPECT_EQ(lk.lastfaelle[1].lf, 2);
  EXPECT_EQ(lk.lastfaelle[1].einw, 1);
  EXPECT_EQ(lk.lastfaelle[2].lf, 3);
  EXPECT_EQ(lk.lastfaelle[2].einw, 2);
  ASSERT_EQ(lk.einwirkungen.GetSize(), 2);
  EXPECT_EQ(lk.einwirkungen[1].indexLuda, 1);

  // Loads in the column's form: z force in val0, at node 0 (head) and node 1 (3 m below it).
  struct Expected {
    int lc, node;
    double val0;
  };
  const std::vector<Expected> expected = {{2, 0, 100.0}, {3, 0, 40.0}, {2, 1, 50.0}, {3, 1, 20.0}};
  ASSERT_EQ(column.loads[0].GetSize(), 5);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    Load& load = column.loads[0][INT_PTR(i) + 1];
    EXPECT_EQ(load.lc, expected[i].lc) << i;
    EXPECT_EQ(load.node, expected[i].node) << i;
    EXPECT_EQ(load.ltype, 10);
    EXPECT_EQ(load.direction, 2);
    EXPECT_DOUBLE_EQ(load.val0.GetValue(), expected[i].val0) << i;
    EXPECT_DOUBLE_EQ(load.val1.GetValue(), 0.0);
  }

  // The stage's combinations were formed again and hold the new load cases.
  bool withTransferred = false;
  for (const CKombination& k : lk.kombinationen) withTransferred = withTransferred || k.regel.Find("(3)") >= 0;
  EXPECT_TRUE(withTransferred);
  // The position's own combination data is left as it was.
  EXPECT_EQ(column.lastUeberlagerung.einwirkungen.GetSize(), ownActions);
  VIDUV_CloseDoc(column.doc);
}

TEST_F(LoadTransferTest, LoadAtNoNodeIsReportedAndLeftOut) {
  WriteSource(Source(), kSourceActions, ColumnExports(40.0));
  CKolumoData column;
  column.doc = VIDUV_CreateDoc(Dest().c_str());
  column.SetFieldCount(1);
  column.fieldLengths[0] = 3.0;
  CLKData& lk = column.lastUeberlagerungBZ[0];
  lk.einwirkungen.Add(Action(1, 0));
  LUData between = Transfer();
  between.xa = 1.2;
  dynamic_cast<LUDataList&>(column.GetLUDataList()).Add(between);
  EXPECT_EQ(TransferLoadsToStage(column, lk, column.loads[0], column.maxLF[0], column.fieldLengths), 0);
  EXPECT_TRUE(column.loads[0].IsEmpty());
  ASSERT_EQ(win::msgbox::Log().size(), 2u);  // one for each of the two loads
  EXPECT_NE(win::msgbox::Log()[0].text.find("liegt an keinem Knoten"), std::string::npos);
  VIDUV_CloseDoc(column.doc);
}

// Source and destination are both columns; the source's reactions are exported by the column itself.
TEST_F(LoadTransferTest, ColumnExportsTravelToTheNextColumnAndIntoItsStage) {
  {
    // A cantilever whose characteristic foundation loads are: load case 1 (permanent action 1) 100 kN
    // compression, load case 2 (first variable action 2) 40 kN; a column in compression has Apz < 0 and
    // exports Az = -Apz. Combinations 1.35*(1)+1.50*(2) and 1.00*(1): the permanent group gives 100 in both
    // (max = min = 100), the variable group 40 and 0 (max 40, min 0).
    CKolumoData source;
    source.SetFieldCount(1);
    source.fieldLengths[0] = 4.0;
    CLKData& lk = source.lastUeberlagerungBZ[0];
    lk.einwirkungen.Add(Action(1, 0));
    lk.einwirkungen.Add(Action(2, 1, 1));
    for (int lf : {1, 2}) {
      CLKLastfall row;
      row.lf = row.einw = lf;
      lk.lastfaelle.Add(row);
    }
    source.maxLF[0] = 2;
    for (const char* formel : {"1.35*(1)", "1.35*(1)+1.50*(2)", "1.00*(1)"}) {
      CKombination k;
      k.art = "Ed";
      k.regel = k.regelUser = formel;
      lk.kombinationen.Add(k);
    }
    for (auto [lk1, apz] : {std::pair{-1, -100.0}, std::pair{-2, -40.0}}) {
      auto record = std::make_unique<CResultFundkraefte>();
      record->LK = lk1;
      for (auto* column :
           {&record->Kote, &record->Apx, &record->Apy, &record->Amy, &record->Amx, &record->dAmy, &record->dAmx})
        column->push_back(0.0);
      record->Apz.push_back(apz);
      record->KNr.push_back(0);
      source.ergebnisse.Fundkraefte.push_back(std::move(record));
    }
    int doc = VIDUV_CreateDoc(Source().string().c_str());
    source.doc = doc;
    source.WriteData(doc);
    WriteExports(source, doc, kExportModus);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }
  {
    CKolumoData destination;
    destination.SetFieldCount(2);
    destination.fieldLengths[0] = 3.0;
    destination.fieldLengths[1] = 2.0;
    destination.lastUeberlagerungBZ[0].einwirkungen.Add(Action(1, 0));
    destination.lastUeberlagerung.einwirkungen.Add(Action(1, 0));
    dynamic_cast<LUDataList&>(destination.GetLUDataList()).Add(Transfer());
    destination.version = 2012.0;  // a file of the present format keeps its results
    int doc = VIDUV_CreateDoc(Dest().c_str());
    destination.doc = doc;
    destination.WriteData(doc);
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }
  CKolumoData destination;
  const int doc = VIDUV_OpenDoc(Dest().c_str());
  destination.doc = doc;
  ASSERT_EQ(destination.ReadData(doc), 1);
  auto& transfers = dynamic_cast<LUDataList&>(destination.GetLUDataList());
  ASSERT_EQ(transfers.GetSize(), 1);
  EXPECT_EQ(ZLoads(transfers[0]), (Loads{{1, 100.0}, {2, 40.0}}));

  CLKData& lk = destination.lastUeberlagerungBZ[0];
  CTransferredStageLoads stage(destination, lk, destination.loads[0], destination.maxLF[0]);
  EXPECT_EQ(stage.Apply(destination.fieldLengths), 2);
  // Calculated a second time within the same read, the transfer gives the same loads.
  EXPECT_EQ(ZLoads(transfers[0]), (Loads{{1, 100.0}, {2, 40.0}}));
  ASSERT_EQ(destination.loads[0].GetSize(), 2);
  EXPECT_EQ(destination.loads[0][0].lc, 1);
  EXPECT_DOUBLE_EQ(destination.loads[0][0].val0.GetValue(), 100.0);
  EXPECT_EQ(destination.loads[0][1].lc, 2);
  EXPECT_DOUBLE_EQ(destination.loads[0][1].val0.GetValue(), 40.0);
  EXPECT_EQ(lk.lastfaelle[1].einw, 2);
  EXPECT_FALSE(lk.kombinationen.IsEmpty());
  for (const auto& box : win::msgbox::Log()) ADD_FAILURE() << box.text;

  // Written back after the calculation, the column keeps only its own input; the combinations that were
  // calculated stay with the results.
  const INT_PTR combinations = lk.kombinationen.GetSize();
  stage.Restore();
  EXPECT_TRUE(destination.loads[0].IsEmpty());
  EXPECT_EQ(destination.maxLF[0], 0);
  EXPECT_EQ(lk.lastfaelle.GetSize(), 0);
  ASSERT_EQ(lk.einwirkungen.GetSize(), 1);
  EXPECT_EQ(lk.kombinationen.GetSize(), combinations);
  VIDUV_CloseDoc(doc);
}

}  // namespace
