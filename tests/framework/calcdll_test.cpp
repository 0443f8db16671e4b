// Loading and calling a program's calculation routine: from a library by name, from the host's table by name,
// and the messages for a missing library, routine or name, and for a routine that throws.
#include "framework/calcdll.h"

#include "tests/framework/pos_test_support.h"

namespace {

class CalcDLLTest : public pos_test::PosTest {};

int g_hostCalls = 0;
int g_hostDocument = 0;
int g_hostFlag = -1;
int HostRoutine(int document, int flag) {
  ++g_hostCalls;
  g_hostDocument = document;
  g_hostFlag = flag;
  return 1;
}
int ThrowingHostRoutine(int, int) { throw std::runtime_error("kaputt"); }

constexpr const char* kCallFailure =
    "Fehler beim Aufruf der Berechnungsroutine.\nPosition kann nicht gerechnet werden!";

TEST_F(CalcDLLTest, HostRoutineIsFoundByNameWhateverTheCaseOfTheHostsName) {
  RegisterHostCalcProc("1a2b", &HostRoutine);
  g_hostCalls = 0;
  {
    CalcDLL routine("VERNIK2005.EXE", "1a2b");
    EXPECT_TRUE(routine.HasRoutine());
    routine.Call(12, 1);
  }
  EXPECT_EQ(g_hostCalls, 1);
  EXPECT_EQ(g_hostDocument, 12);
  EXPECT_EQ(g_hostFlag, 1);
  RegisterHostCalcProc("1a2b", nullptr);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CalcDLLTest, UnknownHostRoutineIsACallFailureNeverACall) {
  CalcDLL routine("vernik2005.exe", "1a2b");
  EXPECT_FALSE(routine.HasRoutine());
  routine.Call(1, 0);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Die Funktion '1a2b' in der dll 'vernik2005.exe' wurde nicht gefunden!", kCallFailure}));
}

TEST_F(CalcDLLTest, MissingLibraryIsReportedWhenLoadedAndTheCallFailsAfterwards) {
  CalcDLL routine("fehlt.dll", "calcFunc");
  routine.Call(1, 0);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Die dll 'fehlt.dll' wurde nicht gefunden!", kCallFailure}));
}

TEST_F(CalcDLLTest, MissingRoutineInALibraryIsReported) {
  CalcDLL routine("svc_testprog.dll", "calcFunc");
  EXPECT_FALSE(routine.HasRoutine());
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Die Funktion 'calcFunc' in der dll 'svc_testprog.dll' wurde nicht gefunden!"});
}

TEST_F(CalcDLLTest, LibraryRoutineIsCalledWithTheDocumentAndTheFlag) {
  int doc = NewDocument();
  {
    CalcDLL routine("svc_testprog.dll", "testprogCalc");
    ASSERT_TRUE(routine.HasRoutine());
    routine.Call(doc, 0);
  }
  EXPECT_EQ(VIDUV_GetInt(Root(doc), "testCalls"), 1);
  EXPECT_EQ(VIDUV_GetInt(Root(doc), "lastFlag"), 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CalcDLLTest, ExceptionsNeverLeaveTheCall) {
  {
    CalcDLL routine("svc_testprog.dll", "testprogThrows");
    EXPECT_NO_THROW(routine.Call(1, 0));
  }
  RegisterHostCalcProc("wirft", &ThrowingHostRoutine);
  {
    CalcDLL routine(kHostExecutableName, "wirft");
    EXPECT_NO_THROW(routine.Call(1, 0));
  }
  RegisterHostCalcProc("wirft", nullptr);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Fehler in der Rechenroutine.", "Fehler in der Rechenroutine."}));
}

TEST_F(CalcDLLTest, LibraryNamesMapToSharedLibrariesBesideTheHostKeepingTheirCase) {
  std::string exeDir = win::ExeDir();
  EXPECT_EQ(GetProgramLibraryPath("Kolumo.dll").str(), exeDir + "/libKolumo.so");
  EXPECT_EQ(GetProgramLibraryPath("TEST.DLL").str(), exeDir + "/libTEST.so");
  EXPECT_EQ(GetProgramLibraryPath("libx.so").str(), exeDir + "/libx.so");
  EXPECT_EQ(GetProgramLibraryPath("\\opt\\Ormi\\libY.so").str(), "/opt/Ormi/libY.so");
  EXPECT_EQ(GetProgramLibraryPath("").str(), "");
}

}  // namespace
