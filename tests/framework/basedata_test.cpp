// The position base: reading and writing the common data of a position document, its version rules, the order
// in which its parts are read and written, and its small services.
#include "framework/basedata.h"

#include "framework/regsettings.h"
#include "tests/framework/pos_test_support.h"

namespace {

std::vector<std::string>* g_calls = nullptr;

void Record(const std::string& call) {
  if (g_calls) g_calls->push_back(call);
}

// The module's own data class, as small as the base allows.
class TestPosition : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  void ReadResults(int document) override {
    Record("results");
    BaseData::ReadResults(document);
  }
};

class FakeDocumentPart : public CDocumentPart {
 public:
  explicit FakeDocumentPart(BaseData& owner) : owner_(owner) {}
  CString GetPositionFileName() const override { return VIDUV_GetCompleteFileName(owner_.doc); }
  void TakeGeneratedText(const CString& rtf) override {
    Record("skrib.generated");
    generated = rtf;
    empty = false;
  }
  void Reset() override { Record("skrib.reset"); }
  void ReadXML(int skrib) override {
    Record("skrib.read");
    text = VIDUV_GetString(skrib, "text");
  }
  void WriteXML(int skrib, int exports) override {
    Record("skrib.write");
    VIDUV_SetString(skrib, "text", text);
    VIDUV_SetString(VIDUV_AddChildElement(exports, "value"), "desc", "aus Skrib");
  }
  void DefineVariables(int) override { Record("skrib.define"); }
  int Calculate(COLORREF, int) override { return -1; }
  void ExportRtf(const char*, int, int, const char*, const char*) override {}
  bool IsEmpty() const override { return empty; }
  bool HoldsText() const override { return !text.IsEmpty(); }
  bool HasEditorLink() const override { return linked; }

  static inline bool linked = false;
  static inline bool empty = true;
  CString text;
  CString generated;

 private:
  BaseData& owner_;
};

class FakeTransfers : public CLoadTransferList {
 public:
  void RemoveAll() override {}
  void ReadData(int) override { Record("lu.read"); }
  void WriteData(int) override { Record("lu.write"); }
  void Recalc() override { Record(owner ? "lu.recalc" : "lu.recalc-without-owner"); }
  void SetOwner(BaseData* o) override {
    owner = o;
    Record("lu.owner");
  }
  BaseData* owner = nullptr;
};

class FakePrograms : public CProgramLookup {
 public:
  bool FindProg(const char* progname, const char* modulename, CProgRecordInfo& info) const override {
    if (std::string(progname) == "KOLUMO" && std::string(modulename) == "stuetze") {
      info.progName = "Stahlbetonstütze";
      info.progVersion = 2.0;
      return true;
    }
    if (std::string(progname) == "TREPPE") {
      info.progName = "Treppe";
      info.progVersion = 7.0;
      return true;
    }
    return false;
  }
  bool IsStairProgram(const char* progname) const override { return std::string(progname) == "TREPPE"; }
  bool IsVariablesProgram(const char* progname) const override { return std::string(progname) == "VARIABLEN"; }
};

class BaseDataTest : public pos_test::PosTest {
 protected:
  void SetUp() override {
    PosTest::SetUp();
    g_calls = &calls;
    SetProgramLookup(&programs);
    FakeDocumentPart::linked = false;
    FakeDocumentPart::empty = true;
  }
  void TearDown() override {
    g_calls = nullptr;
    SetProgramLookup(nullptr);
    SetDocumentPartFactory(nullptr);
    SetLoadTransferListFactory(nullptr);
    PosTest::TearDown();
  }

  static void UseFakes() {
    SetDocumentPartFactory([](BaseData& owner) { return std::make_unique<FakeDocumentPart>(owner); });
    SetLoadTransferListFactory([] { return std::make_unique<FakeTransfers>(); });
  }

  // A position with every common field away from its default.
  static void Fill(TestPosition& p) {
    p.progname = "KOLUMO";
    p.modulename = "stuetze";
    p.comment = "Stütze Achse B/3";
    p.owner = "Muster";
    p.creationdate = "07.12.2026";
    p.lastuser = "Prüfer";
    p.errors = 2;
    p.materialgroup = 1;
    p.norm = 10;
    p.laendercode = 49;
    p.lknorm = 3;
    p.lastUeberlagerung.SetNorm(p.lknorm);
    p.bIsTemplate = 1;
    p.Modellhof = true;
    p.nPage = 7;
    p.freeText = "Freitext";
    p.posDesc = "Pos. 12";
    p.dickeLinie = true;
    auto a = std::make_unique<CVarDefVariable>();
    a->varName = "a";
    a->desc = "Breite";
    a->unit = "m";
    a->value = 2.0;
    a->bExported = TRUE;
    p.varDefs.Add(std::move(a));
    auto b = std::make_unique<CVarDefVariable>();
    b->varName = "b";
    b->value.m_bNumber = FALSE;
    b->value.m_strText = "a*3";
    p.varDefs.Add(std::move(b));
    p.annotations.Add(CAnnotation{0, "note1", "Bitte prüfen"});
    p.annotations.Add(CAnnotation{1, "note2", "Zweite"});
  }

  std::vector<std::string> calls;
  FakePrograms programs;
};

TEST_F(BaseDataTest, DefaultsAfterSetDefaults) {
  TestPosition p;
  Fill(p);
  p.resultMessage = "alt";
  p.variables.SetVariable("x", "", "", 1.0);
  p.SetDefaults();
  EXPECT_EQ(p.nPage, 1);
  EXPECT_EQ(p.freeText, "");
  EXPECT_EQ(p.resultMessage, "");
  EXPECT_EQ(p.varDefs.GetSize(), 0);
  EXPECT_EQ(p.variables.m_pParent, &GetGlobalVariableStore());
  double x = 0;
  EXPECT_TRUE(p.variables.Evaluate("x", &x));
  EXPECT_DOUBLE_EQ(x, 0.0);  // undefined: no longer there
  EXPECT_EQ(p.lastUeberlagerung.owner, &p);
}

TEST_F(BaseDataTest, WholePositionRoundTripsIdentically) {
  TestPosition p;
  Fill(p);
  int first = NewDocument("first.tqx");
  p.doc = first;
  p.WriteData(first);

  TestPosition q;
  q.SetDefaults();
  q.doc = NewDocument("second.tqx");
  ASSERT_EQ(q.ReadData(first), 1);
  q.WriteData(q.doc);
  EXPECT_EQ(Fingerprint(Root(first)), Fingerprint(Root(q.doc)));
  EXPECT_TRUE(Messages().empty());

  EXPECT_EQ(q.comment, "Stütze Achse B/3");
  EXPECT_EQ(q.owner, "Muster");
  EXPECT_EQ(q.creationdate, "07.12.2026");
  EXPECT_EQ(q.lastuser, "Prüfer");
  EXPECT_EQ(q.errors, 2);
  EXPECT_EQ(q.materialgroup, 1);
  EXPECT_EQ(q.norm, 10);
  EXPECT_EQ(q.laendercode, 49);
  EXPECT_EQ(q.lknorm, 3);
  EXPECT_EQ(q.bIsTemplate, 0);  // written as 0 whatever it was
  EXPECT_FALSE(q.Modellhof);
  EXPECT_EQ(q.nPage, 7);
  EXPECT_EQ(q.freeText, "Freitext");
  EXPECT_EQ(q.posDesc, "Pos. 12");
  EXPECT_TRUE(q.dickeLinie);
  EXPECT_DOUBLE_EQ(q.version, 2.0);
  ASSERT_EQ(q.varDefs.GetSize(), 2);
  EXPECT_EQ(q.varDefs.GetAs<CVarDefVariable>(1)->value.m_strText, "a*3");
  // Written with its value in the chain of definitions: b = a*3 = 6.
  int b = VIDUV_FindNextChild(VIDUV_FindFirstChild(VIDUV_FindFirstChild(Child(first, "input"), "vardef"), "entry"),
                              "entry");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(b, "val"), 6.0);
  ASSERT_EQ(q.annotations.GetSize(), 2);
  EXPECT_EQ(q.annotations[1].name, "note2");
  EXPECT_EQ(q.annotations[1].text, "Zweite");

  // What is written always.
  int info = Child(first, "info");
  EXPECT_EQ(VIDUV_GetInt(info, "bModularisieren"), 1);
  EXPECT_EQ(VIDUV_GetInt(info, "bIsTemplate"), 0);
  EXPECT_EQ(VIDUV_GetInt(info, "Modellhof"), 0);
  EXPECT_STREQ(VIDUV_GetString(info, "progDesc"), "Stahlbetonstütze");
  EXPECT_STREQ(VIDUV_GetString(Root(first), "version"), "2.00");
}

TEST_F(BaseDataTest, TheSavedFileReadsBackTheSame) {
  TestPosition p;
  Fill(p);
  int doc = NewDocument();
  p.WriteData(doc);
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  int reopened = VIDUV_OpenDoc((folder_ / "position.tqx").c_str());
  ASSERT_NE(reopened, 0);
  TestPosition q;
  EXPECT_EQ(q.ReadData(reopened), 1);
  int again = NewDocument("again.tqx");
  q.WriteData(again);
  EXPECT_EQ(Fingerprint(Root(reopened)), Fingerprint(Root(again)));
  VIDUV_CloseDoc(reopened);
}

TEST_F(BaseDataTest, RepeatedWritesKeepOneExportPerVariable) {
  TestPosition p;
  Fill(p);
  int doc = NewDocument();
  int exports = VIDUV_AddChildElement(Root(doc), "exports");
  int folder = VIDUV_AddChildElement(exports, "folder");  // support reactions of the module stay
  VIDUV_SetString(folder, "desc", "Auflager1");
  p.WriteData(doc);
  p.WriteData(doc);
  int values = 0;
  for (int v = VIDUV_FindFirstChild(exports, "value"); v; v = VIDUV_FindNextChild(v, "value")) ++values;
  EXPECT_EQ(values, 1);  // a is exported, b is not
  EXPECT_NE(VIDUV_FindFirstChild(exports, "folder"), 0);
  int vardefs = 0;
  for (int v = VIDUV_FindFirstChild(Child(doc, "input"), "vardef"); v; v = VIDUV_FindNextChild(v, "vardef")) ++vardefs;
  EXPECT_EQ(vardefs, 1);
}

struct VersionCase {
  const char* progname;
  const char* version;
  std::size_t messages;
  double readVersion;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.progname << " " << c.version; }

class BaseDataVersion : public BaseDataTest, public testing::WithParamInterface<VersionCase> {};

TEST_P(BaseDataVersion, NewerDocumentsWarnOnceAndAreRead) {
  int doc = NewDocument();
  VIDUV_SetString(Root(doc), "progname", GetParam().progname);
  VIDUV_SetString(Root(doc), "modulename", "stuetze");
  VIDUV_SetString(Root(doc), "version", GetParam().version);
  VIDUV_SetString(VIDUV_AddChildElement(Root(doc), "info"), "comment", "gelesen");
  TestPosition p;
  EXPECT_EQ(p.ReadData(doc), 1);
  EXPECT_EQ(p.comment, "gelesen");
  EXPECT_DOUBLE_EQ(p.version, GetParam().readVersion);
  ASSERT_EQ(Messages().size(), GetParam().messages);
  if (GetParam().messages) {
    EXPECT_NE(Messages()[0].find("Version 2.50"), std::string::npos) << Messages()[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, BaseDataVersion,
                         testing::Values(VersionCase{"KOLUMO", "2.00", 0, 2.0}, VersionCase{"KOLUMO", "1.5", 0, 1.5},
                                         VersionCase{"KOLUMO", "2.50", 1, 2.5}, VersionCase{"UNBEKANNT", "99", 0, 99.0},
                                         // The stair program's 12.0 documents are its 7.0.
                                         VersionCase{"TREPPE", "12.0", 0, 7.0}));

TEST_F(BaseDataTest, AFileWithoutInfoChangesNothing) {
  TestPosition p;
  Fill(p);
  int doc = NewDocument();
  VIDUV_SetString(Root(doc), "progname", "ANDERS");
  VIDUV_SetInt(VIDUV_AddChildElement(Root(doc), "input"), "nPage", 99);
  EXPECT_EQ(p.ReadData(doc), 0);
  EXPECT_EQ(p.progname, "KOLUMO");
  EXPECT_EQ(p.nPage, 7);
  EXPECT_EQ(p.varDefs.GetSize(), 2);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(p.ReadData(0), 0);  // no document at all
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(BaseDataTest, ATruncatedFileIsNotReadAndLosesNothing) {
  TestPosition p;
  Fill(p);
  int doc = NewDocument();
  p.WriteData(doc);
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  auto path = folder_ / "position.tqx";
  std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
  int broken = VIDUV_OpenDoc(path.c_str());
  EXPECT_EQ(broken, 0);
  EXPECT_STRNE(VIDUV_GetLastError(), "");
  TestPosition q;
  Fill(q);
  q.comment = "im Speicher";
  EXPECT_EQ(q.ReadData(broken), 0);
  EXPECT_EQ(q.comment, "im Speicher");
  EXPECT_EQ(q.varDefs.GetSize(), 2);
  EXPECT_EQ(q.annotations.GetSize(), 2);
}

TEST_F(BaseDataTest, MissingAndMalformedElementsReadAsDefaults) {
  int doc = NewDocument();
  VIDUV_AddChildElement(Root(doc), "info");
  int input = VIDUV_AddChildElement(Root(doc), "input");
  VIDUV_SetString(input, "dickeLinie", "ja");
  VIDUV_AddChildElement(input, "unbekannt");
  TestPosition p;
  p.SetDefaults();
  EXPECT_EQ(p.ReadData(doc), 1);
  EXPECT_EQ(p.nPage, 1);
  EXPECT_FALSE(p.dickeLinie);
  EXPECT_EQ(p.varDefs.GetSize(), 0);
  EXPECT_EQ(p.annotations.GetSize(), 0);
}

TEST_F(BaseDataTest, PartsAreReadAndWrittenInTheirOrder) {
  UseFakes();
  TestPosition p;
  calls.clear();
  auto& part = static_cast<FakeDocumentPart&>(p.GetSubData());
  part.text = "Dokumenttext";
  int doc = NewDocument();
  p.WriteData(doc);
  EXPECT_EQ(calls, (std::vector<std::string>{"skrib.write", "lu.write"}));
  int skrib = VIDUV_FindFirstChild(Child(doc, "input"), "Skrib");
  EXPECT_STREQ(VIDUV_GetString(skrib, "text"), "Dokumenttext");
  EXPECT_NE(VIDUV_FindFirstChildWithAttr(Child(doc, "exports"), "desc", "aus Skrib"), 0);

  TestPosition q;
  calls.clear();
  ASSERT_EQ(q.ReadData(doc), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"skrib.read", "lu.read", "lu.owner", "lu.recalc", "results"}));
  EXPECT_EQ(static_cast<FakeDocumentPart&>(q.GetSubData()).text, "Dokumenttext");
  EXPECT_EQ(static_cast<FakeTransfers&>(q.GetLUDataList()).owner, &q);
}

TEST_F(BaseDataTest, DefinitionsBecomeDocumentTextOnlyWhenAsked) {
  UseFakes();
  int doc = NewDocument();
  {
    TestPosition p;
    Fill(p);
    p.WriteData(doc);
  }
  struct Case {
    int bSkrib;
    const char* progname;
    bool linked;
    bool empty;
    bool generated;
  } cases[] = {{1, "KOLUMO", true, true, true},   {0, "KOLUMO", true, true, false},
               {1, "Skrib", true, true, false},   {1, "VARIABLEN", true, true, false},
               {1, "KOLUMO", false, true, false}, {1, "KOLUMO", true, false, false}};
  for (const Case& c : cases) {
    GetRegSettings().WriteInt("", "bSkrib", c.bSkrib);
    VIDUV_SetString(Root(doc), "progname", c.progname);
    FakeDocumentPart::linked = c.linked;
    FakeDocumentPart::empty = c.empty;
    TestPosition q;
    q.doc = doc;
    ASSERT_EQ(q.ReadData(doc), 1);
    const CString& text = static_cast<FakeDocumentPart&>(q.GetSubData()).generated;
    EXPECT_EQ(!text.IsEmpty(), c.generated) << c.bSkrib << " " << c.progname << " " << c.linked << c.empty;
    if (c.generated) {
      EXPECT_NE(text.Find("a = 2.00"), -1) << text.GetString();
    }
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ / "position.tmp.rtf"));
}

TEST_F(BaseDataTest, DefineVariablesPublishesTheDefinitions) {
  UseFakes();
  TestPosition p;
  Fill(p);
  p.variables.SetVariable("alt", "", "", 1.0);
  calls.clear();
  p.DefineVariables();
  double b = 0;
  ASSERT_TRUE(p.variables.Evaluate("b", &b));
  EXPECT_DOUBLE_EQ(b, 6.0);
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  p.variables.CollectVariables(names, descriptions, units, values);
  std::vector<std::string> own;
  for (const CString& n : names) own.push_back(n.str());
  EXPECT_EQ(own, (std::vector<std::string>{"a", "b"}));
  // The document's names are the position's whether the user's editor shows the document (bSkrib) or not.
  EXPECT_EQ(calls, (std::vector<std::string>{"skrib.define"}));

  calls.clear();
  GetRegSettings().WriteInt("", "bSkrib", 1);
  p.DefineVariables();
  EXPECT_EQ(calls, (std::vector<std::string>{"skrib.define"}));
}

TEST_F(BaseDataTest, StartTabAfterLoadingThenTheRememberedOne) {
  TestPosition p;
  p.doc = NewDocument();
  VIDUV_SetInt(Root(p.doc), "bJustLoaded", 1);
  p.SetTabForDoc(3);
  EXPECT_EQ(p.GetStartTab(1), 1);
  EXPECT_EQ(*VIDUV_GetString(Root(p.doc), "bJustLoaded"), '\0');
  EXPECT_EQ(p.GetStartTab(1), 3);
  int other = NewDocument("other.tqx");
  p.doc = other;
  EXPECT_EQ(p.GetStartTab(2), 2);
  GetRegSettings().WriteInt("", "bAlwaysSkribTab", 1);
  EXPECT_EQ(p.GetStartTab(2), 0);
}

TEST_F(BaseDataTest, FirstTabTitleFollowsTheSetting) {
  TestPosition p;
  EXPECT_EQ(p.GetVortextTabTitle(), "Vortexttabelle");
  GetRegSettings().WriteInt("", "bSkrib", 1);
  EXPECT_EQ(p.GetVortextTabTitle(), "Skrib Vortext");
}

TEST_F(BaseDataTest, OutputFileKeepsTheCaseOfThePath) {
  TestPosition p;
  p.doc = NewDocument("Stuetze.TQX");
  EXPECT_EQ(p.GetOutputFileName(), (folder_ / "Stuetze.rtf").string());
  p.doc = NewDocument("Bericht.xml");
  EXPECT_EQ(p.GetOutputFileName(), (folder_ / "Bericht.xml.rtf").string());
}

}  // namespace
