// A material catalogue whose values make no sense is refused when it is read: the message names the file, the
// grade and the value, and nothing is calculated with it (no NaN, no zeros). The catalogues are the
// installation's, one value changed, or a small user catalogue, in an installation root of the test's own.
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

class CatalogueTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    root_ = folder_ / "kat";
    fs::create_directories(root_ / "catalogs");
    for (const char* part : {"pi", "Vorlagen"})
      fs::create_directory_symlink(fs::path(KOLUMO_DATA_DIR) / part, root_ / part);
    standard_ = Slurp(fs::path(KOLUMO_DATA_DIR) / "catalogs" / "material.xml");
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("Stuetze.tqx"));
  }
  void Katalog(const fs::path& file, const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }
  // The message of a refused catalogue file.
  static std::string Refused(const fs::path& file) { return file.string() + "' enthält unbrauchbare Werte"; }
  std::string standard_;
};

// The value of `key` of the grade under EC2 NA (DE) set to `wert`; empty when the catalogue no longer holds it.
std::string SetzeWert(std::string katalog, const std::string& grade, const std::string& key, const std::string& wert) {
  std::size_t at = katalog.find("<Objekt Name=\"" + grade + "\"", katalog.find("<Norm Name=\"EC2 NA (DE)\""));
  at = at == std::string::npos ? at : katalog.find("Kurzname=\"" + key + "\" Wert01=\"", at);
  if (at == std::string::npos) return "";
  at = katalog.find("Wert01=\"", at) + 8;
  return katalog.replace(at, katalog.find('"', at) - at, wert);
}

struct WertCase {
  const char* grade;
  const char* key;
  const char* wert;
  const char* meldung;
};

const WertCase kWerte[] = {
    {"C30/37", "fck", "0", "Beton / Normalbeton / EC2 NA (DE) / C30/37: fck = 0 muss größer als 0 sein."},
    {"C30/37", "gamma_cg", "-1.5", "C30/37: gamma_cg = -1.5 muss größer als 0 sein."},
    {"C30/37", "Ecm", "abc", "C30/37: Ecm = \"abc\" ist keine Zahl."},
    {"C30/37", "epsilon_c2", "-2,0", "C30/37: epsilon_c2 = \"-2,0\" ist keine Zahl."},
    {"C30/37", "fck", "nan", "C30/37: fck = \"nan\" ist keine Zahl."},
    {"B500B", "fyk", "0", "B500B: fyk = 0 muss größer als 0 sein."},
    // a grade the example does not use: the catalogue is refused as a whole
    {"C50/60", "fck", "0", "C50/60: fck = 0 muss größer als 0 sein."},
};

TEST_F(CatalogueTest, NonsenseInTheStandardCatalogueIsRefusedAndNothingIsCalculated) {
  const std::string position = Slurp(Path("Stuetze.tqx"));
  for (const WertCase& c : kWerte) {
    SCOPED_TRACE(std::string(c.grade) + " " + c.key + " = " + c.wert);
    const std::string katalog = SetzeWert(standard_, c.grade, c.key, c.wert);
    ASSERT_FALSE(katalog.empty());
    Katalog(root_ / "catalogs" / "material.xml", katalog);
    const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
    EXPECT_EQ(calc.status, 1);
    EXPECT_NE(calc.err.find(Refused(root_ / "catalogs" / "material.xml")), std::string::npos) << calc.err;
    EXPECT_NE(calc.err.find(c.meldung), std::string::npos) << calc.err;
    EXPECT_TRUE(Slurp(Path("Stuetze.tqx")) == position) << "a refused calculation wrote the position";
    // the report shows no value of a refused catalogue, and none is NaN
    ASSERT_EQ(Host({"report", Path("Stuetze.tqx")}).status, 0);
    EXPECT_EQ(Slurp(Path("Stuetze.rtf")).find("nan"), std::string::npos);
  }
}

// A user catalogue is judged on its own: refused, it leaves the standard one, by which the position is calculated.
// A property above the grades is named by its place; a value a formula gives is judged once evaluated: fck =
// fck_cube - 100 with fck_cube = 37 gives -63, fck = 0.8 fck_cube gives 29.6 and is sound.
struct UserCase {
  const char* name;
  const char* norm;     // properties under the code
  const char* objekt;   // properties under the grade "Mein Beton", beside fck_cube = 37
  const char* meldung;  // empty: the catalogue is used without a word
};

const UserCase kUser[] = {
    {"partial factor above the grades", R"(<Eigenschaft Kurzname="gamma_cg" Wert01="0" Formel=""/>)", "",
     "Beton / Normalbeton / EC2 NA (DE): gamma_cg = 0 muss größer als 0 sein."},
    {"text in a grade", "", R"(<Eigenschaft Kurzname="fck" Wert01="zwanzig" Formel=""/>)",
     "EC2 NA (DE) / Mein Beton: fck = \"zwanzig\" ist keine Zahl."},
    {"formula below zero", "", R"(<Eigenschaft Kurzname="fck" Wert01="30" Formel="fck_cube-100"/>)",
     "EC2 NA (DE) / Mein Beton: fck = -63 muss größer als 0 sein. (Formel fck_cube-100)"},
    {"sound formula", "", R"(<Eigenschaft Kurzname="fck" Wert01="30" Formel="0.8*fck_cube"/>)", ""},
};

TEST_F(CatalogueTest, NonsenseInTheUserCatalogueLeavesTheStandardOne) {
  Katalog(root_ / "catalogs" / "material.xml", standard_);
  for (const UserCase& c : kUser) {
    SCOPED_TRACE(c.name);
    Katalog(root_ / "userMaterial.xml",
            std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Materialdatenbank><Kategorie Name=\"Beton\" "
                        "Prioritaet=\"0\"><Unterkategorie Name=\"Normalbeton\" Prioritaet=\"0\"><Norm Name=\"EC2 NA "
                        "(DE)\" Prioritaet=\"0\">") +
                c.norm + "<Objekt Name=\"Mein Beton\" Prioritaet=\"99\">" +
                "<Eigenschaft Kurzname=\"fck_cube\" Wert01=\"37\" Formel=\"\"/>" + c.objekt +
                "</Objekt></Norm></Unterkategorie></Kategorie></Materialdatenbank>\n");
    const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
    EXPECT_EQ(calc.status, 0) << calc.err;
    if (*c.meldung) {
      EXPECT_NE(calc.err.find(Refused(root_ / "userMaterial.xml")), std::string::npos) << calc.err;
      EXPECT_NE(calc.err.find(c.meldung), std::string::npos) << calc.err;
    } else {
      EXPECT_TRUE(calc.err.empty()) << calc.err;
    }
  }
}

}  // namespace
