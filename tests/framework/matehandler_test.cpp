// The material handler over the two material databases.
#include "framework/matehandler.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"
#include "designcode/designcode.h"
#include "platform/win/dialogs/msgbox.h"
#include "tests/platform/catalogs/catalogs_test_support.h"
#include "tests/support/argv_recorder.h"

using namespace catalogs_test;

namespace {

std::string Db(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Materialdatenbank>" + body + "</Materialdatenbank>\n";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> List(const CStringArray& a) {
  std::vector<std::string> out;
  for (const auto& s : a) out.push_back(s.str());
  return out;
}

// A fresh installation root holding the given databases; message boxes are collected.
class MateHandlerTest : public ::testing::Test {
 protected:
  void Install(const std::string& standard, const std::optional<std::string>& user = std::nullopt) {
    WriteFile(dir_.File("catalogs/material.xml"), standard);
    if (user) WriteFile(dir_.File("userMaterial.xml"), *user);
  }
  void SetUp() override {
    win::msgbox::ClearLog();
    win::msgbox::ClearAnswers();
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& r : win::msgbox::Log()) out.push_back(r.text);
    return out;
  }

  TempDir dir_;
  ScopedRoot root_{dir_.Path()};
};

TEST_F(MateHandlerTest, ConstructionWritesTheStartupTrace) {
  Install(Db(""));
  CMateHandler handler;
  std::string log = ReadAll(dir_.File("startup.log"));
  auto a = log.find("CMateHandler():110"), b = log.find("CMateHandler():115"), c = log.find("CMateHandler():117");
  ASSERT_NE(a, std::string::npos) << log;
  ASSERT_NE(b, std::string::npos);
  ASSERT_NE(c, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_TRUE(Boxes().empty()) << "a missing user database is no fault";
}

TEST_F(MateHandlerTest, CategoriesArePlacedByPriorityWithEmptySlotsAndCollisionsAppended) {
  Install(Db(R"(<Kategorie Name="Beton" Prioritaet="0"/><Kategorie Name="Stahl" Prioritaet="2"/>
                <Kategorie Name="Holz" Prioritaet="2"/>)"));
  CMateHandler handler;
  CStringArray out;
  EXPECT_EQ(handler.GetKategorien(out), 4);
  EXPECT_EQ(List(out), (std::vector<std::string>{"Beton", "", "Stahl", "Holz"}));
}

TEST_F(MateHandlerTest, UserDatabaseAddsNamesButTheFirstPriorityOfANameHolds) {
  Install(Db(R"(<Kategorie Name="Beton" Prioritaet="0"/><Kategorie Name="Stahl" Prioritaet="1"/>)"),
          Db(R"(<Kategorie Name="Stahl" Prioritaet="0"/><Kategorie Name="Eigene" Prioritaet="3"/>)"));
  CMateHandler handler;
  CStringArray out;
  EXPECT_EQ(handler.GetKategorien(out), 4);
  EXPECT_EQ(List(out), (std::vector<std::string>{"Beton", "Stahl", "", "Eigene"}));
}

TEST_F(MateHandlerTest, SubcategoriesAndCodesAreCollectedUnderEveryMatchingParent) {
  Install(Db(R"(<Kategorie Name="Beton" Prioritaet="0">
                  <Unterkategorie Name="Normalbeton" Prioritaet="0">
                    <Norm Name="EC2" Prioritaet="1"/><Norm Name="DIN 1045-1" Prioritaet="0"/>
                  </Unterkategorie>
                  <Unterkategorie Name="Leichtbeton" Prioritaet="1"/>
                </Kategorie>)"),
          Db(R"(<Kategorie Name="Beton" Prioritaet="0">
                  <Unterkategorie Name="Normalbeton" Prioritaet="0"><Norm Name="Eigen" Prioritaet="2"/></Unterkategorie>
                </Kategorie>)"));
  CMateHandler handler;
  CStringArray out;
  EXPECT_EQ(handler.GetUnterkategorien("Beton", out), 2);
  EXPECT_EQ(List(out), (std::vector<std::string>{"Normalbeton", "Leichtbeton"}));
  EXPECT_EQ(handler.GetNormen("Beton", "Normalbeton", out), 3);
  EXPECT_EQ(List(out), (std::vector<std::string>{"DIN 1045-1", "EC2", "Eigen"}));
  EXPECT_EQ(handler.GetNormen("Beton", "Gibtsnicht", out), 1);
  EXPECT_EQ(List(out), (std::vector<std::string>{""}));
}

TEST_F(MateHandlerTest, ObjectsWithoutPriorityFollowTheHighestMetSoFar) {
  Install(Db(R"(<Kategorie Name="K"><Unterkategorie Name="U"><Norm Name="N">
                  <Objekt Name="a" Prioritaet="0"/><Objekt Name="b" Prioritaet="3"/>
                  <Objekt Name="c"/><Objekt Name="d" Prioritaet=""/>
                </Norm></Unterkategorie></Kategorie>)"));
  CMateHandler handler;
  CStringArray out;
  EXPECT_EQ(handler.GetObjekte("K", "U", "N", out), 6);
  EXPECT_EQ(List(out), (std::vector<std::string>{"a", "", "", "b", "c", "d"}));
}

TEST_F(MateHandlerTest, ObjectsOfEqualPriorityKeepOnlyTheLaterAndALaterNameMovesIt) {
  Install(Db(R"(<Kategorie Name="K"><Unterkategorie Name="U"><Norm Name="N">
                  <Objekt Name="a" Prioritaet="1"/><Objekt Name="b" Prioritaet="1"/>
                  <Objekt Name="c" Prioritaet="0"/><Objekt Name="c" Prioritaet="2"/>
                </Norm></Unterkategorie></Kategorie>)"));
  CMateHandler handler;
  CStringArray out;
  EXPECT_EQ(handler.GetObjekte("K", "U", "N", out), 3);
  EXPECT_EQ(List(out), (std::vector<std::string>{"", "b", "c"}));
}

TEST_F(MateHandlerTest, NegativePrioritiesAreRefusedWithAMessage) {
  Install(Db(R"(<Kategorie Name="Beton" Prioritaet="0"/><Kategorie Name="Falsch" Prioritaet="-1">
                  <Unterkategorie Name="U"><Norm Name="N"><Objekt Name="x" Prioritaet="-2"/><Objekt Name="y"/>
                  </Norm></Unterkategorie></Kategorie>)"));
  CMateHandler handler;
  CStringArray out;
  EXPECT_EQ(handler.GetKategorien(out), 1);
  EXPECT_EQ(List(out), (std::vector<std::string>{"Beton"}));
  EXPECT_EQ(handler.GetObjekte("Falsch", "U", "N", out), 1);
  EXPECT_EQ(List(out), (std::vector<std::string>{"y"}));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"mateHandler: priority mismatch!", "mateHandler: priority mismatch!"}));
}

TEST_F(MateHandlerTest, PropertiesAreGatheredUpwardsAndFormulasResolvedInAnyOrder) {
  // b = c * 2 and c = a + 1 refer to each other in the order opposite to the map's; "alpha" stands on the code
  // and is overwritten by the category's value higher up.
  Install(Db(R"(<Kategorie Name="K"><Eigenschaft Kurzname="alpha" Wert01="9" Formel=""/>
                <Unterkategorie Name="U"><Norm Name="N"><Eigenschaft Kurzname="alpha" Wert01="1" Formel=""/>
                  <Objekt Name="o" Prioritaet="7">
                    <Eigenschaft Kurzname="a" Wert01="2" Formel=""/>
                    <Eigenschaft Kurzname="b" Wert01="0" Formel="c*2"/>
                    <Eigenschaft Kurzname="c" Wert01="0" Formel="a+1"/>
                  </Objekt>
                </Norm></Unterkategorie></Kategorie>)"));
  CMateHandler handler;
  CMateProps props;
  CString object = "o";
  handler.GetMaterial(props, "K", "U", "N", object);
  EXPECT_EQ(props.GetValue("a"), "2");
  EXPECT_EQ(props.GetValue("c"), "3");
  EXPECT_EQ(props.GetValue("b"), "6");
  EXPECT_EQ(props.GetValue("alpha"), "9");
  EXPECT_EQ(props.GetValue("fehlt"), "");
  EXPECT_EQ(props.m_priority, 7);
  EXPECT_EQ(props.m_bUser, 0);
  EXPECT_NE(props.m_element, 0);
  EXPECT_EQ(props.m_properties.GetSize(), 5);
  CString formula;
  EXPECT_TRUE(props.m_formulas.Lookup("b", formula));
  EXPECT_EQ(formula, "c*2");
  EXPECT_FALSE(props.m_formulas.Lookup("a", formula));
  // The evaluated values are written back into the tree held in memory.
  for (int p : props.m_properties) {
    if (CString(VIDUV_GetString(p, "Kurzname")) == "b") {
      EXPECT_STREQ(VIDUV_GetString(p, "Wert01"), "6");
    }
  }
}

TEST_F(MateHandlerTest, FetchedMaterialIsCachedAndAMissingOneToo) {
  Install(Db(R"(<Kategorie Name="K"><Unterkategorie Name="U"><Norm Name="N">
                  <Objekt Name="o"><Eigenschaft Kurzname="fck" Wert01="30" Formel=""/></Objekt>
                  <Objekt Name="p"><Eigenschaft Kurzname="fck" Wert01="40" Formel=""/></Objekt>
                </Norm></Unterkategorie></Kategorie>)"));
  CMateHandler handler;
  CMateProps first, second;
  CString o = "o", p = "p", missing = "q";
  handler.GetMaterial(first, "K", "U", "N", o);
  EXPECT_EQ(first.m_priority, -1) << "no Prioritaet";
  // Change the tree behind the handler's back: a cached fetch does not see it, a fresh one does.
  VIDUV_SetString(first.m_properties[0], "Wert01", "35");
  handler.GetMaterial(second, "K", "U", "N", o);
  EXPECT_EQ(second.GetValue("fck"), "30");
  handler.GetMaterial(second, "K", "U", "N", p);
  EXPECT_EQ(second.GetValue("fck"), "40");
  handler.GetMaterial(second, "K", "U", "N", o);
  EXPECT_EQ(second.GetValue("fck"), "35");

  CMateProps none;
  handler.GetMaterial(none, "K", "U", "N", missing);
  EXPECT_TRUE(none.m_values.IsEmpty());
  EXPECT_EQ(none.m_element, 0);
  EXPECT_EQ(none.m_priority, -1);
  // Now the cache holds the missing one: a new object "q" appearing in the tree is not seen until the key changes.
  int code = VIDUV_GetParentElement(first.m_element);
  int added = VIDUV_AddChildElement(code, "Objekt");
  VIDUV_SetString(added, "Name", "q");
  handler.GetMaterial(none, "K", "U", "N", missing);
  EXPECT_EQ(none.m_element, 0);
}

TEST_F(MateHandlerTest, UserMaterialsAreFoundAfterTheStandardOnes) {
  const char* tree = R"(<Kategorie Name="K"><Unterkategorie Name="U"><Norm Name="N">
                          <Objekt Name="o"><Eigenschaft Kurzname="v" Wert01="%s" Formel=""/></Objekt>
                        </Norm></Unterkategorie></Kategorie>)";
  char standard[512], user[512];
  std::snprintf(standard, sizeof standard, tree, "standard");
  std::snprintf(user, sizeof user, tree, "user");
  Install(Db(standard), Db(std::string(user) + R"(<Kategorie Name="K"><Unterkategorie Name="U"><Norm Name="N">
                          <Objekt Name="eigen"><Eigenschaft Kurzname="v" Wert01="mine" Formel=""/></Objekt>
                        </Norm></Unterkategorie></Kategorie>)"));
  CMateHandler handler;
  CMateProps props;
  CString o = "o", eigen = "eigen";
  handler.GetMaterial(props, "K", "U", "N", o);
  EXPECT_EQ(props.GetValue("v"), "standard");
  EXPECT_EQ(props.m_bUser, 0);
  handler.GetMaterial(props, "K", "U", "N", eigen);
  EXPECT_EQ(props.GetValue("v"), "mine");
  EXPECT_EQ(props.m_bUser, 1);
  // "o" without priority is met again in the user database, where the counter has moved on to 1: the later
  // occurrence decides, and slot 0 stays empty.
  CStringArray out;
  EXPECT_EQ(handler.GetObjekte("K", "U", "N", out), 3);
  EXPECT_EQ(List(out), (std::vector<std::string>{"", "o", "eigen"}));
}

TEST_F(MateHandlerTest, WithoutTheStandardDatabaseTheUserOneIsNotSearchedAndTheFaultIsShown) {
  Install(R"(<Materialdatenbank><Kategorie Name="K">)", Db(R"(<Kategorie Name="K" Prioritaet="0"/>)"));
  CMateHandler handler;
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(dir_.File("catalogs/material.xml")), std::string::npos) << boxes[0];
  CStringArray out;
  EXPECT_EQ(handler.GetKategorien(out), 1);
  EXPECT_EQ(out[0], "");
  CMateProps props;
  CString o = "o";
  handler.GetMaterial(props, "K", "U", "N", o);
  EXPECT_TRUE(props.m_values.IsEmpty());
}

TEST_F(MateHandlerTest, MissingStandardDatabaseIsReported) {
  CMateHandler handler;
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("nicht gefunden"), std::string::npos) << boxes[0];
}

TEST_F(MateHandlerTest, PropsCopyWhole) {
  CMateProps a;
  EXPECT_EQ(a.m_priority, 1);
  a.SetValue("fck", "30");
  a.SetValue("fck", "35");
  a.m_formulas.SetAt("x", "fck*2");
  a.m_bUser = 1;
  a.m_element = 42;
  a.m_properties.Add(7);
  a.m_priority = 3;
  CMateProps b;
  b.SetValue("stale", "1");
  b = a;
  CMateProps c(a);
  for (const CMateProps* p : {&b, &c}) {
    EXPECT_EQ(p->GetValue("fck"), "35");
    EXPECT_EQ(p->GetValue("stale"), "");
    EXPECT_EQ(p->m_formulas.GetCount(), 1);
    EXPECT_EQ(p->m_bUser, 1);
    EXPECT_EQ(p->m_element, 42);
    ASSERT_EQ(p->m_properties.GetSize(), 1);
    EXPECT_EQ(p->m_properties[0], 7);
    EXPECT_EQ(p->m_priority, 3);
  }
}

TEST(MateHandlerNames, CodeAndRebarNameCorrections) {
  EXPECT_EQ(CMateHandler::CorrectNormName("DIN 1045-I"), "DIN 1045-1");
  EXPECT_EQ(CMateHandler::CorrectNormName("DIN 1045"), "DIN 1045");
  EXPECT_EQ(CMateHandler::CorrectNormName("EC2"), "EC2");
  struct {
    const char* kat;
    const char* ukat;
    const char* norm;
    const char* in;
    const char* out;
  } cases[] = {
      {"Stahl", "Betonstahl", "EC2", "BSt 500 SA", "B500A"},
      {"Stahl", "Betonstahl", "EC2", "BSt 500 MA", "B500A"},
      {"Stahl", "Betonstahl", "EC2 NA (DE)", "BSt 500 SB", "B500B"},
      {"Stahl", "Betonstahl", "EC2 NA (DE)", "BSt 500 MB", "B500B"},
      {"Stahl", "Betonstahl", "DIN 1045-1", "BSt 500 SA", "BSt 500 SA"},
      {"Stahl", "Betonstahl", "SIA 262:2003", "BSt 500 SA", "BSt 500 SA"},
      {"Beton", "Betonstahl", "EC2", "BSt 500 SA", "BSt 500 SA"},
      {"Stahl", "Betonstahl", "EC2", "B500C", "B500C"},
  };
  for (const auto& c : cases) {
    CString object = c.in;
    CMateHandler::CorrectRebarGradeName(c.kat, c.ukat, c.norm, object);
    EXPECT_EQ(object, c.out) << c.norm << " " << c.in;
  }
}

// The shipped database through the handler, as the engine and the report ask for it.
class MateHandlerData : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_.File("catalogs/material.xml"), ReadAll(DataRoot() + "/catalogs/material.xml"));
    win::msgbox::ClearLog();
  }
  TempDir dir_;
  ScopedRoot root_{dir_.Path()};
};

TEST_F(MateHandlerData, EngineLookupsGiveTheTableValues) {
  CMateHandler handler;
  EXPECT_TRUE(win::msgbox::Log().empty());
  CMateProps props;
  handler.GetMaterial("Beton\\Normalbeton\\EC2\\C30/37", props);
  EXPECT_DOUBLE_EQ(std::atof(props.GetValue("fck")), 30);
  EXPECT_DOUBLE_EQ(std::atof(props.GetValue("fctm")), 2.9);
  EXPECT_DOUBLE_EQ(std::atof(props.GetValue("Ecm")), 33000);
  EXPECT_DOUBLE_EQ(std::atof(props.GetValue("epsilon_c2u")), -3.5);
  handler.GetMaterial("Beton\\Normalbeton\\SIA 262:2003\\C30/37", props);
  EXPECT_DOUBLE_EQ(std::atof(props.GetValue("tau_cd")), 1.1);
  handler.GetMaterial("Beton\\Normalbeton\\DIN 1045\\B 25", props);
  EXPECT_DOUBLE_EQ(std::atof(props.GetValue("beta_r")), 17.5);
  handler.GetMaterial("Beton\\Normalbeton\\EC2", props);
  EXPECT_TRUE(props.m_values.IsEmpty()) << "a path of three parts names no material";
}

TEST_F(MateHandlerData, OldRebarNameIsRenamedUnderEc2Only) {
  CMateHandler handler;
  CMateProps props;
  CString grade = "BSt 500 SA";
  handler.GetMaterial(props, "Stahl", "Betonstahl", "EC2", grade);
  EXPECT_EQ(grade, "B500A");
  EXPECT_EQ(props.GetValue("ftk"), "525");
  grade = "BSt 500 SA";
  handler.GetMaterial(props, "Stahl", "Betonstahl", "DIN 1045-I", grade);
  EXPECT_EQ(grade, "BSt 500 SA");
  EXPECT_EQ(props.GetValue("E"), "200000");
}

TEST_F(MateHandlerData, GradeListsOfTheCodes) {
  CMateHandler handler;
  CStringArray out;
  EXPECT_EQ(handler.GetObjekte("Beton", "Normalbeton", "DIN 1045-I", out), 15);
  EXPECT_EQ(out[0], "C12/15");
  EXPECT_EQ(out[14], "C100/115");
  EXPECT_EQ(handler.GetObjekte("Stahl", "Betonstahl", "EC2", out), 3);
  EXPECT_EQ(List(out), (std::vector<std::string>{"B500A", "B500B", "B500C"}));
  EXPECT_EQ(handler.GetNormen("Beton", "Normalbeton", out), 5);
  EXPECT_EQ(List(out), (std::vector<std::string>{"DIN 1045", "DIN 1045-1", "EC2", "EC2 NA (DE)", "SIA 262:2003"}));
  EXPECT_EQ(handler.GetKategorien(out), 2);
}

// Every design code must reach grades in the shipped catalogue under its grade-list name, and that name must
// come back as the code's catalogue name: a misspelt row would leave a code without materials. The input and
// engine numbers are looked up both ways; the engine counts one more (its 0 is the older DIN 1045).
TEST_F(MateHandlerData, EveryDesignCodeHasConcreteAndSteelGrades) {
  CMateHandler handler;
  CStringArray out;
  for (const designcode::DesignCode& c : designcode::kCodes) {
    SCOPED_TRACE(c.input);
    EXPECT_GT(handler.GetObjekte("Beton", "Normalbeton", c.gradeList, out), 0);
    EXPECT_GT(handler.GetObjekte("Stahl", "Betonstahl", c.gradeList, out), 0);
    EXPECT_EQ(CMateHandler::CorrectNormName(c.gradeList), c.catalogue);
    EXPECT_EQ(c.engine, c.input + 1);
    EXPECT_EQ(designcode::ByInput(c.input), &c);
    EXPECT_EQ(designcode::ByEngine(c.engine), &c);
    EXPECT_EQ(designcode::EngineNumber(c.input), c.engine);
  }
  for (int unknown : {-1, 3, 9, 13}) EXPECT_EQ(designcode::ByInput(unknown), nullptr) << unknown;
  EXPECT_EQ(designcode::EngineNumber(3), -1);
  EXPECT_EQ(designcode::ByPresetKey("ECNA")->input, 10);
  EXPECT_EQ(designcode::ByPresetKey(""), nullptr);
}

// The editor is a program found beside the host or on the search path.
class MateEditTest : public MateHandlerTest {
 protected:
  void SetUp() override {
    MateHandlerTest::SetUp();
    if (const char* p = std::getenv("PATH")) oldPath_ = p;
    setenv("PATH", (bin_.Path() + ":" + oldPath_).c_str(), 1);
  }
  void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }
  void WriteEditor(const std::string& script) {
    std::string path = bin_.File("mateEdit");
    WriteFile(path, script);
    chmod(path.c_str(), 0755);
  }
  TempDir bin_;
  std::string oldPath_;
};

TEST_F(MateEditTest, EditorGetsTheMaterialAndItsChangesAreReadAfterwards) {
  Install(Db(R"(<Kategorie Name="Stahl"><Unterkategorie Name="Betonstahl"><Norm Name="EC2">
                  <Objekt Name="B500A"><Eigenschaft Kurzname="fyk" Wert01="500" Formel=""/></Objekt>
                </Norm></Unterkategorie></Kategorie>)"));
  // The editor records its arguments and writes the user's first database.
  WriteEditor(
      "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$KOLUMO_ROOT/args.txt\"\n"
      "cat > \"$KOLUMO_ROOT/userMaterial.xml\" <<'EOF'\n" +
      Db(R"(<Kategorie Name="Stahl"><Unterkategorie Name="Betonstahl"><Norm Name="EC2">
                  <Objekt Name="Eigen"><Eigenschaft Kurzname="fyk" Wert01="550" Formel=""/></Objekt>
                </Norm></Unterkategorie></Kategorie>)") +
      "EOF\n");
  CMateHandler handler;
  CMateProps props;
  CString eigen = "Eigen";
  handler.GetMaterial(props, "Stahl", "Betonstahl", "EC2", eigen);
  EXPECT_TRUE(props.m_values.IsEmpty());
  CString grade = "BSt 500 SA";
  handler.MateEdit("Stahl", "Betonstahl", "EC2", grade, TRUE);
  EXPECT_EQ(grade, "B500A");
  EXPECT_EQ(ReadAll(dir_.File("args.txt")), "kat=Stahl\nukat=Betonstahl\nnorm=EC2\nobjekt=B500A\normiMode\n");
  handler.GetMaterial(props, "Stahl", "Betonstahl", "EC2", eigen);
  EXPECT_EQ(props.GetValue("fyk"), "550");
  EXPECT_EQ(props.m_bUser, 1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MateEditTest, CodeNameIsCorrectedForTheEditor) {
  Install(Db(""));
  WriteEditor("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$KOLUMO_ROOT/args.txt\"\n");
  CMateHandler handler;
  CString grade = "C30/37";
  handler.MateEdit("Beton", "Normalbeton", "DIN 1045-I", grade, FALSE);
  EXPECT_EQ(ReadAll(dir_.File("args.txt")), "kat=Beton\nukat=Normalbeton\nnorm=DIN 1045-1\nobjekt=C30/37\n");
}

// The editor is started as the path it was found at, and each name reaches it as one argument as it stands; no shell
// reads them. Quoted into one command line and split again, a quote in a name cut it into other arguments.
TEST_F(MateEditTest, EachNameReachesTheEditorAsOneArgumentAsItStands) {
  Install(Db(""));
  const std::filesystem::path folder = bin_.File("my \"mate\" $(touch gemacht); x");
  std::filesystem::create_directories(folder);
  const std::filesystem::path editor = folder / "mateEdit", told = bin_.File("argv");
  test_support::WriteArgvRecorder(editor, told);
  setenv("PATH", folder.c_str(), 1);
  const struct {
    const char *kat, *ukat, *norm, *objekt;
  } cases[] = {
      {"Beton \"neu\"", "Normal beton", "EC2", "C30/37"},
      {"a$(touch gemacht)", "b;touch gemacht", "`touch gemacht`", "'q' $HOME"},
      {"zeile\nzwei", "\\\"", "x\\", "\"\""},
      {"", "\t", "  ", "ende\\\\"},
  };
  CMateHandler handler;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kat) + "|" + c.ukat + "|" + c.norm + "|" + c.objekt);
    std::filesystem::remove(told);
    CString objekt = c.objekt;
    handler.MateEdit(c.kat, c.ukat, c.norm, objekt, FALSE);
    EXPECT_TRUE(Boxes().empty()) << Boxes().front();
    EXPECT_EQ(test_support::RecordedArgv(told),
              (std::vector<std::string>{editor.string(), std::string("kat=") + c.kat, std::string("ukat=") + c.ukat,
                                        std::string("norm=") + c.norm, std::string("objekt=") + c.objekt}));
  }
  EXPECT_FALSE(std::filesystem::exists("gemacht"));
  EXPECT_FALSE(std::filesystem::exists(folder / "gemacht"));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("gemacht")));
}

TEST_F(MateEditTest, MissingEditorIsReportedAndTheDatabasesStayOpen) {
  Install(Db(R"(<Kategorie Name="Beton" Prioritaet="0"/>)"));
  setenv("PATH", bin_.Path().c_str(), 1);  // an empty folder: no editor anywhere
  CMateHandler handler;
  CString grade = "C30/37";
  handler.MateEdit("Beton", "Normalbeton", "EC2", grade, FALSE);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("mateEdit"), std::string::npos) << boxes[0];
  CStringArray out;
  EXPECT_EQ(handler.GetKategorien(out), 1);
  EXPECT_EQ(out[0], "Beton");
}

}  // namespace

namespace {

// The module's handler lives until the process ends and closes its databases then.
TEST(MateHandlerGlobal, OneHandlerForTheModule) {
  TempDir dir;
  ScopedRoot root(dir.Path());
  WriteFile(dir.File("catalogs/material.xml"), ReadAll(DataRoot() + "/catalogs/material.xml"));
  CMateHandler& handler = GetMateHandler();
  EXPECT_EQ(&handler, &GetMateHandler());
  CMateProps props;
  handler.GetMaterial("Beton\\Normalbeton\\EC2 NA (DE)\\C25/30", props);
  EXPECT_EQ(props.GetValue("fctm"), "2.6");  // EN 1992-1-1 Table 3.1
}

}  // namespace
