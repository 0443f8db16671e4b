// The material library's opening of the two databases and its failures.
#include "platform/catalogs/zurovo.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/catalogs/catalogs_test_support.h"

using namespace catalogs_test;

namespace {

const char* kSmallDb = R"(<?xml version="1.0" encoding="UTF-8"?>
<Materialdatenbank>
  <Kategorie Name="Beton" Prioritaet="0"/>
</Materialdatenbank>
)";

TEST(Zurovo, OpensBothDatabasesUnderTheInstallationRoot) {
  TempDir dir;
  ScopedRoot root(dir.Path());
  WriteFile(dir.File("catalogs/material.xml"), kSmallDb);
  WriteFile(dir.File("userMaterial.xml"), kSmallDb);
  int standard = ZUROVO_OpenStandard();
  int user = ZUROVO_OpenUser();
  ASSERT_NE(standard, 0) << ZUROVO_GetLastError();
  ASSERT_NE(user, 0) << ZUROVO_GetLastError();
  EXPECT_NE(standard, user);
  EXPECT_STREQ(VIDUV_GetElementName(standard), "Materialdatenbank");
  EXPECT_NE(ChildNamed(user, "Beton"), 0);
  EXPECT_EQ(ZUROVO_Close(standard), 1);
  EXPECT_EQ(ZUROVO_Close(standard), 0) << "closed twice";
  EXPECT_EQ(ZUROVO_Close(user), 1);
  EXPECT_EQ(std::string(ZUROVO_GetUserPath()), dir.File("userMaterial.xml"));
}

TEST(Zurovo, MissingUserDatabaseIsNoFault) {
  TempDir dir;
  ScopedRoot root(dir.Path());
  EXPECT_EQ(ZUROVO_OpenUser(), 0);
  EXPECT_STREQ(ZUROVO_GetLastError(), "");
}

TEST(Zurovo, MissingStandardDatabaseSaysWhichFile) {
  TempDir dir;
  ScopedRoot root(dir.Path());
  EXPECT_EQ(ZUROVO_OpenStandard(), 0);
  std::string message = ZUROVO_GetLastError();
  EXPECT_NE(message.find(dir.File("catalogs/material.xml")), std::string::npos) << message;
  EXPECT_NE(message.find("nicht gefunden"), std::string::npos) << message;
}

TEST(Zurovo, MalformedFilesAreRefusedWithAMessage) {
  struct Case {
    const char* text;
    const char* expectedPart;
  } cases[] = {
      {"<Materialdatenbank><Kategorie Name=\"Beton\">", "kann nicht gelesen werden"},
      {"", "kann nicht gelesen werden"},
      {"<?xml version=\"1.0\"?><Profile/>", "keine Materialdatenbank"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ScopedRoot root(dir.Path());
    WriteFile(dir.File("catalogs/material.xml"), c.text);
    WriteFile(dir.File("userMaterial.xml"), c.text);
    EXPECT_EQ(ZUROVO_OpenStandard(), 0) << c.text;
    EXPECT_NE(std::string(ZUROVO_GetLastError()).find(c.expectedPart), std::string::npos) << ZUROVO_GetLastError();
    EXPECT_EQ(ZUROVO_OpenUser(), 0) << c.text;
    EXPECT_NE(std::string(ZUROVO_GetLastError()).find(dir.File("userMaterial.xml")), std::string::npos);
  }
}

TEST(Zurovo, ClosingAnUnknownHandleDoesNothing) {
  EXPECT_EQ(ZUROVO_Close(0), 0);
  EXPECT_EQ(ZUROVO_Close(987654), 0);
}

}  // namespace

// A value that makes no sense refuses the database, and the message names its place from the category down
// (the root's own properties as "Wurzel"); sound grades and values from formulas stay out of it.
TEST(Zurovo, FaultyValuesAreRefusedWithTheirPlace) {
  const char* db = R"(<Materialdatenbank><Eigenschaft Kurzname="gamma" Wert01="0"/>
  <Kategorie Name="Beton" Prioritaet="0"><Eigenschaft Kurzname="n" Wert01="zwei"/>
    <Unterkategorie Name="Normalbeton"><Norm Name="DIN">
      <Objekt Name="C20/25"><Eigenschaft Kurzname="fck" Wert01="20.0"/></Objekt>
      <Objekt Name="C30/37"><Eigenschaft Kurzname="fck" Wert01="-30.0"/></Objekt>
      <Objekt Name="C35/45"><Eigenschaft Kurzname="fck" Wert01="" Formel="2*1"/></Objekt>
    </Norm></Unterkategorie></Kategorie></Materialdatenbank>)";
  TempDir dir;
  ScopedRoot root(dir.Path());
  WriteFile(dir.File("catalogs/material.xml"), db);
  EXPECT_EQ(ZUROVO_OpenStandard(), 0);
  const std::string message = ZUROVO_GetLastError();
  for (const char* part : {"- Wurzel: gamma = 0 muss größer als 0 sein.", "- Beton: n = \"zwei\" ist keine Zahl.",
                           "- Beton / Normalbeton / DIN / C30/37: fck = -30.0 muss größer als 0 sein."})
    EXPECT_NE(message.find(part), std::string::npos) << part << "\n" << message;
  EXPECT_EQ(message.find("C20/25"), std::string::npos);
  EXPECT_EQ(message.find("C35/45"), std::string::npos);
}

// The material handler evaluates formulas only when the open found one, wherever it stands in the tree.
TEST(Zurovo, TellsWhetherAnyValueIsGivenByAFormula) {
  const struct {
    const char* wo;
    const char* oben;    // properties under the code
    const char* objekt;  // properties under the grade
    int formeln;
  } faelle[] = {
      {"none", R"(<Eigenschaft Kurzname="n" Wert01="2" Formel=""/>)", R"(<Eigenschaft Kurzname="fck" Wert01="20"/>)",
       0},
      {"in a grade", "", R"(<Eigenschaft Kurzname="fck" Wert01="" Formel="2*10"/>)", 1},
      {"above the grades", R"(<Eigenschaft Kurzname="n" Wert01="" Formel="1+1"/>)",
       R"(<Eigenschaft Kurzname="fck" Wert01="20"/>)", 1},
  };
  for (const auto& f : faelle) {
    TempDir dir;
    ScopedRoot root(dir.Path());
    WriteFile(
        dir.File("catalogs/material.xml"),
        std::string(
            R"(<Materialdatenbank><Kategorie Name="Beton"><Unterkategorie Name="Normalbeton"><Norm Name="DIN">)") +
            f.oben + R"(<Objekt Name="C20/25">)" + f.objekt +
            "</Objekt></Norm></Unterkategorie></Kategorie></Materialdatenbank>");
    const int db = ZUROVO_OpenStandard();
    ASSERT_NE(db, 0) << f.wo << ": " << ZUROVO_GetLastError();
    EXPECT_EQ(ZUROVO_HasFormulas(db), f.formeln) << f.wo;
    ZUROVO_Close(db);
    EXPECT_EQ(ZUROVO_HasFormulas(db), 0) << f.wo << ", closed";
  }
}

// Each property is judged by its kind: a number that must be above zero, any number (or nothing), or free text.
// The first and the last names of each kind and names that only nearly match one are the cases a lookup gets wrong.
TEST(Zurovo, ValuesAreJudgedByTheKindOfTheirProperty) {
  const struct {
    const char* key;
    const char* text;
    const char* fault;
  } faelle[] = {
      {"E", "0", "E = 0 muss größer als 0 sein."},
      {"gamma_sg", "-1", "gamma_sg = -1 muss größer als 0 sein."},
      {"fck", "", "fck = \"\" ist keine Zahl."},
      {"fck", "30", ""},
      {"alpha_t", "x", "alpha_t = \"x\" ist keine Zahl."},
      {"tau_cm", "-0.5", ""},
      {"tau_cm", "", ""},
      {"epsilon_c2", "-2,0", "epsilon_c2 = \"-2,0\" ist keine Zahl."},
      {"Name", "C30/37", ""},
      {"e", "0", ""},
      {"fck_", "0", ""},
      {"gamma_s", "0", ""},
      {"tau_c", "x", ""},
      {"zzz", "x", ""},
  };
  for (const auto& f : faelle) EXPECT_STREQ(ZUROVO_CheckValue(f.key, f.text), f.fault) << f.key << " = " << f.text;
}
