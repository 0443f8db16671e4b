// The program database: description files read from the installation root, the rules that keep or drop a record,
// finding the program of a file, icons, the position base's view of it, and calls of a program's interface.
#include "framework/progdb.h"

#include <fstream>

#include "framework/calcdll.h"
#include "framework/calldoc.h"
#include "tests/framework/progdb_test_support.h"

namespace {

namespace fs = std::filesystem;
using progdb_test::PiFile;
using progdb_test::TestProgram;
using progdb_test::WritePi;

class ProgDBTest : public pos_test::PosTest {
 protected:
  void Touch(const fs::path& path, const std::string& text = "") {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  // A current position file naming its program and module.
  fs::path Position(const std::string& name, const char* progname, const char* modulename) {
    fs::path path = folder_ / name;
    int doc = VIDUV_CreateDoc(path.c_str());
    VIDUV_SetString(Root(doc), "progname", progname);
    VIDUV_SetString(Root(doc), "modulename", modulename);
    VIDUV_AddChildElement(Root(doc), "info");
    VIDUV_SaveDoc(doc);
    VIDUV_CloseDoc(doc);
    return path;
  }
};

TEST_F(ProgDBTest, ReadsTheDescriptionFilesOfTheInstallationAndAddsTheFixedRecords) {
  PiFile pi = TestProgram("1.5");
  pi.iface["rtfDLLName"] = "svc_testprog.dll";
  pi.iface["rtfProcName"] = "testprogRtf";
  pi.menu = {{"Öffnen", "open"}, {"Drucken", "print"}};
  WritePi(folder_, "testprog.pi", pi);
  ProgDB db;
  ASSERT_EQ(db.GetCount(), 3);
  const ProgDBEntry* e = db.FindProg("TESTPROG", "balken");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->progNameOrig, "Testbalken");
  EXPECT_EQ(e->moduleName, "Einfeldträger");
  EXPECT_DOUBLE_EQ(e->progVersion, 1.5);
  EXPECT_EQ(e->calcProcName, "testprogCalc");
  EXPECT_EQ(e->rtfProcName, "testprogRtf");
  EXPECT_EQ(e->icon, 130);
  ASSERT_EQ(e->additionalFiles.GetSize(), 2);
  EXPECT_EQ(e->additionalFiles[1], "*.dat");
  ASSERT_EQ(e->contextMenu.GetSize(), 2);
  EXPECT_EQ(e->contextMenu[1].command, "print");
  EXPECT_EQ(db.FindProg("TESTPROG", ""), nullptr);

  const ProgDBEntry* text = db.FindProg("RTFPOS", "");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->progType, 1);
  EXPECT_EQ(text->icon, 106);
  const ProgDBEntry* freeText = db.FindProg("VORRTF", "");
  ASSERT_NE(freeText, nullptr);
  EXPECT_EQ(freeText->progType, 4);
}

TEST_F(ProgDBTest, DescriptionsWithoutARequiredPartOrNotForModularUseAreIgnored) {
  PiFile noFiles = TestProgram();
  noFiles.withAdditionalFiles = false;
  WritePi(folder_, "a.pi", noFiles);
  PiFile notModular = TestProgram();
  notModular.root["shortModuleName"] = "zwei";
  notModular.root["bModularisieren"] = "0";
  WritePi(folder_, "b.pi", notModular);
  PiFile notInstalled = TestProgram();
  notInstalled.root["shortModuleName"] = "drei";
  notInstalled.iface["DLLName"] = "fehlt.dll";
  WritePi(folder_, "c.pi", notInstalled);
  Touch(folder_ / "pi" / "kaputt.pi", "<root shortProgName=");
  ProgDB db;
  EXPECT_EQ(db.GetCount(), 2);  // the fixed records
  EXPECT_EQ(db.FindProg("TESTPROG", "balken"), nullptr);
}

TEST_F(ProgDBTest, EqualVersionsKeepTheFileListedFirstAndAHigherVersionReplacesIt) {
  PiFile first = TestProgram("2.0");
  first.root["progName"] = "Erster";
  PiFile second = TestProgram("2.0");
  second.root["progName"] = "Zweiter";
  WritePi(folder_, "a.pi", first);
  WritePi(folder_, "b.pi", second);
  {
    ProgDB db;
    EXPECT_EQ(db.FindProg("TESTPROG", "balken")->progNameOrig, "Erster");
  }
  second.root["progVersion"] = "2.01";
  WritePi(folder_, "b.pi", second);
  ProgDB db;
  EXPECT_EQ(db.FindProg("TESTPROG", "balken")->progNameOrig, "Zweiter");
  // A lower version listed later does not replace.
  first.root["progVersion"] = "1.0";
  WritePi(folder_, "c.pi", first);
  db.Reload();
  EXPECT_EQ(db.FindProg("TESTPROG", "balken")->progNameOrig, "Zweiter");
}

TEST_F(ProgDBTest, PlugInIsInstalledWhenItsExecutableExistsAndOwnsItsExtension) {
  PiFile plugin;
  plugin.root = {{"shortProgName", "ZEICHNER"}, {"progName", "Zeichner"}, {"progType", "6"}, {"bModularisieren", "1"}};
  plugin.iface = {{"plugInExe", (folder_ / "zeichner.bin").string()}, {"plugInExt", "zdat"}};
  WritePi(folder_, "plugin.pi", plugin);
  {
    ProgDB db;
    EXPECT_EQ(db.FindProg("ZEICHNER", ""), nullptr);
  }
  Touch(folder_ / "zeichner.bin");
  ProgDB db;
  ASSERT_NE(db.FindProg("ZEICHNER", ""), nullptr);
  Touch(folder_ / "Plan.ZDAT");
  EXPECT_EQ(db.FindProgForFile((folder_ / "Plan.ZDAT").c_str()), db.FindProg("ZEICHNER", ""));
  EXPECT_EQ(db.FindProgForFile((folder_ / "Plan.xyz").c_str()), nullptr);
}

TEST_F(ProgDBTest, FindsTheProgramOfAFileByItsExtension) {
  WritePi(folder_, "testprog.pi", TestProgram());
  ProgDB db;
  const ProgDBEntry* program = db.FindProg("TESTPROG", "balken");
  EXPECT_EQ(db.FindProgForFile(Position("Pos 1.tqx", "TESTPROG", "balken").c_str()), program);
  EXPECT_EQ(db.FindProgForFile(Position("Pos 2.TQX", "TESTPROG", "balken").c_str()), program);
  EXPECT_EQ(db.FindProgForFile(Position("Pos 3.tqx", "TESTPROG", "anders").c_str()), nullptr);
  EXPECT_EQ(db.FindProgForFile("Bericht.RTF"), db.FindProg("RTFPOS", ""));

  ProgDBEntry classic;
  classic.shortProgName = "ABCD";
  db.AddProg("ABCD", "classic", classic);
  Touch(folder_ / "alt.tq1", "Position 'TQ-ABCD 1.0\r\n");
  const ProgDBEntry* found = db.FindProgForFile((folder_ / "alt.tq1").c_str());
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->shortProgName, "ABCD");
}

TEST_F(ProgDBTest, CurrentFileOfARetiredModuleIsConvertedBeforeItIsIdentified) {
  ProgDB db;
  ProgDBEntry plate;
  plate.shortProgName = "PLATTE";
  db.AddProg("PLATTE", "einachsig", plate);
  fs::path path = Position("Platte.tqx", "PLATTE", "alt");
  db.bConvertFiles = false;
  EXPECT_EQ(db.FindProgForFile(path.c_str()), nullptr);
  db.bConvertFiles = true;
  EXPECT_EQ(db.FindProgForFile(path.c_str()), db.FindProg("PLATTE", "einachsig"));
}

TEST_F(ProgDBTest, AddProgReplacesTheRecordUnderItsKey) {
  ProgDB db;
  ProgDBEntry a;
  a.progNameOrig = "A";
  db.AddProg("X", "y", a);
  a.progNameOrig = "B";
  db.AddProg("X", "y", a);
  EXPECT_EQ(db.FindProg("X", "y")->progNameOrig, "B");
  EXPECT_EQ(db.GetCount(), 3);
}

TEST_F(ProgDBTest, AttachedWindowsAreDestroyedWithTheCatalogueEachOnceUnlessKept) {
  auto window = [] {
    auto* w = new CWnd;
    EXPECT_TRUE(w->CreateEx(0, nullptr, "Liste", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    return w;
  };
  CWnd* shared = window();
  CWnd* kept = window();
  HWND sharedHandle = shared->m_hWnd;
  {
    ProgDB db;
    ProgDBEntry a;
    a.pWnd1 = shared;
    a.pWnd2 = shared;
    db.AddProg("A", "", a);
    ProgDBEntry b;
    b.pWnd1 = shared;  // the same window in two records
    db.AddProg("B", "", b);
    ProgDBEntry c;
    c.bNeverDeleteWnds = 1;
    c.pWnd1 = kept;
    db.AddProg("C", "", c);
  }
  EXPECT_FALSE(::IsWindow(sharedHandle));
  EXPECT_TRUE(::IsWindow(kept->m_hWnd));
  kept->DestroyWindow();
  delete kept;
}

TEST_F(ProgDBTest, IconsMapToTheirImagesAndUnknownNumbersToThemselves) {
  WritePi(folder_, "testprog.pi", TestProgram());
  ProgDB db;
  ASSERT_NE(db.GetImageList(), nullptr);
  // Icons in ascending order: 106 (free text), 130 (the test program), 173 (value leaf).
  EXPECT_EQ(db.GetImageList()->GetImageCount(), 3);
  EXPECT_EQ(db.GetIconIndex(106), 0);
  EXPECT_EQ(db.GetIconIndex(130), 1);
  EXPECT_EQ(db.GetIconIndex(173), 2);
  EXPECT_EQ(db.GetIconIndex(999), 999);
}

TEST_F(ProgDBTest, PositionBaseSeesTheCatalogue) {
  WritePi(folder_, "testprog.pi", TestProgram("3.25"));
  GetProgDB().Reload();
  SetProgramLookup(&GetProgDBLookup());
  CProgRecordInfo info;
  ASSERT_TRUE(GetProgramLookup().FindProg("TESTPROG", "balken", info));
  EXPECT_EQ(info.progName, "Testbalken");
  EXPECT_DOUBLE_EQ(info.progVersion, 3.25);
  EXPECT_FALSE(GetProgramLookup().FindProg("TESTPROG", "x", info));
  EXPECT_TRUE(GetProgramLookup().IsStairProgram(ProgDB::kStairProgram));
  EXPECT_FALSE(GetProgramLookup().IsStairProgram("TESTPROG"));
  EXPECT_TRUE(GetProgramLookup().IsVariablesProgram(ProgDB::kVariablesProgram));
}

// --- Interface call documents ---

TEST_F(ProgDBTest, CallDocumentNumbersItsParametersInOrder) {
  int doc = CreateInterfaceCallDoc("GetData", FALSE);
  ASSERT_NE(doc, 0);
  EXPECT_EQ(std::string(VIDUV_GetElementName(Root(doc))), "dummy");
  EXPECT_EQ(GetInterfaceAction(doc), "GetData");
  EXPECT_EQ(VIDUV_GetInt(Root(doc), "NotImplementedWarning"), 0);
  EXPECT_STREQ(VIDUV_GetString(Root(doc), "numOfParams"), "");
  EXPECT_EQ(GetInterfaceNumOfParams(doc), 0);
  AddInterfaceParam(doc, "CWnd*", 17);
  EXPECT_EQ(GetInterfaceNumOfParams(doc), 1);
  AddInterfaceParam(doc, "int", -5);
  EXPECT_EQ(GetInterfaceNumOfParams(doc), 2);
  CString type;
  int value = 0;
  GetInterfaceParam(doc, 0, type, value);
  EXPECT_EQ(type, "CWnd*");
  EXPECT_EQ(value, 17);
  GetInterfaceParam(doc, 1, type, value);
  EXPECT_EQ(type, "int");
  EXPECT_EQ(value, -5);
  // No parameter 2: type and value stay.
  GetInterfaceParam(doc, 2, type, value);
  EXPECT_EQ(type, "int");
  EXPECT_EQ(value, -5);
  VIDUV_CloseDoc(doc);

  int warn = CreateInterfaceCallDoc("Foo", TRUE);
  EXPECT_EQ(VIDUV_GetInt(Root(warn), "NotImplementedWarning"), 1);
  VIDUV_CloseDoc(warn);
  EXPECT_EQ(GetInterfaceAction(warn), "");
  EXPECT_EQ(GetInterfaceNumOfParams(warn), 0);
}

TEST_F(ProgDBTest, InterfaceLibraryIsLoadedOnceAndTheDocumentIsClosedAfterEveryCall) {
  WritePi(folder_, "testprog.pi", TestProgram());
  ProgDB db;
  ProgDBEntry* program = db.FindProg("TESTPROG", "balken");
  ASSERT_NE(program, nullptr);
  int first = CreateInterfaceCallDoc("GetData", FALSE);
  int reply1 = program->CallInterface(first);
  void* library = program->hInterfaceLib;
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(VIDUV_GetRootElement(first), 0);
  int second = CreateInterfaceCallDoc("GetData", FALSE);
  int reply2 = program->CallInterface(second);
  EXPECT_EQ(program->hInterfaceLib, library);
  EXPECT_EQ(VIDUV_GetRootElement(second), 0);
  // The procedure counts its calls in the library, which stayed loaded between them.
  EXPECT_EQ(reply2, reply1 + 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ProgDBTest, MissingInterfaceLibraryOrProcedureGivesAMessageAndZero) {
  ProgDBEntry missingLibrary;
  missingLibrary.DLLName = "fehlt.dll";
  missingLibrary.ProcName = "interfaceFunc";
  int doc = CreateInterfaceCallDoc("GetData", FALSE);
  EXPECT_EQ(missingLibrary.CallInterface(doc), 0);
  EXPECT_EQ(VIDUV_GetRootElement(doc), 0);

  ProgDBEntry missingProcedure;
  missingProcedure.DLLName = "svc_testprog.dll";
  missingProcedure.ProcName = "gibtEsNicht";
  doc = CreateInterfaceCallDoc("GetData", FALSE);
  EXPECT_EQ(missingProcedure.CallInterface(doc), 0);
  EXPECT_EQ(VIDUV_GetRootElement(doc), 0);

  ProgDBEntry hostUnknown;
  hostUnknown.DLLName = kHostExecutableName;
  hostUnknown.ProcName = "1a2b";
  doc = CreateInterfaceCallDoc("GetData", FALSE);
  EXPECT_EQ(hostUnknown.CallInterface(doc), 0);
  EXPECT_EQ(VIDUV_GetRootElement(doc), 0);

  EXPECT_EQ(Messages(), (std::vector<std::string>{"Modul fehlt.dll nicht gefunden",
                                                  "Interface im Modul svc_testprog.dll nicht gefunden",
                                                  "Interface im Modul vernik2005.exe nicht gefunden"}));
}

// What a host interface procedure saw of its call document.
struct SeenCall {
  std::string action;
  int params = -1;
  CWnd* window = nullptr;
  int value = 0;
};
SeenCall g_seen;

int RecordingInterface(int document) {
  g_seen.action = GetInterfaceAction(document).str();
  g_seen.params = GetInterfaceNumOfParams(document);
  CString type;
  int handle = 0;
  GetInterfaceParam(document, 0, type, handle);
  g_seen.window = type == "CWnd*" ? win::FromHandle<CWnd>(handle) : nullptr;
  GetInterfaceParam(document, 1, type, g_seen.value);
  return 7;
}

TEST_F(ProgDBTest, GetDataCarriesTheWindowAsAHandleToTheHostsProcedure) {
  RegisterHostInterfaceProc("interfaceDerHost", &RecordingInterface);
  ProgDBEntry host;
  host.DLLName = kHostExecutableName;
  host.ProcName = "interfaceDerHost";
  CWnd window;
  g_seen = {};
  EXPECT_EQ(host.CallGetData(&window, 42), 7);
  EXPECT_EQ(g_seen.action, "GetData");
  EXPECT_EQ(g_seen.params, 2);
  EXPECT_EQ(g_seen.window, &window);
  EXPECT_EQ(g_seen.value, 42);
  RegisterHostInterfaceProc("interfaceDerHost", nullptr);
  EXPECT_EQ(FindHostInterfaceProc("interfaceDerHost"), nullptr);
}

}  // namespace
