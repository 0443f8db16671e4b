// A material catalogue whose values make no sense is refused when it is read: the message names the file, the
// grade and the value, and nothing is calculated with it (no NaN, no zeros). The catalogues are copies of the
// installation's with one value changed, in an installation root of the test's own.
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

// The property `key` of the grade `grade` under the code `norm`, set to `wert`; empty when the catalogue no
// longer holds it.
std::string SetzeWert(std::string katalog, const std::string& norm, const std::string& grade, const std::string& key,
                      const std::string& wert) {
  const std::size_t n = katalog.find("<Norm Name=\"" + norm + "\"");
  const std::size_t g = n == std::string::npos ? n : katalog.find("<Objekt Name=\"" + grade + "\"", n);
  const std::size_t k = g == std::string::npos ? g : katalog.find("Kurzname=\"" + key + "\" Wert01=\"", g);
  if (k == std::string::npos) return "";
  const std::size_t at = katalog.find("Wert01=\"", k) + 8;
  return katalog.replace(at, katalog.find('"', at) - at, wert);
}

class CatalogueTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    // an installation root whose catalogue folder is the test's own
    root_ = folder_ / "kat";
    fs::create_directories(root_ / "catalogs");
    for (const char* part : {"pi", "Vorlagen"}) fs::create_directory_symlink(fs::path(KOLUMO_DATA_DIR) / part, root_ / part);
    standard_ = Slurp(fs::path(KOLUMO_DATA_DIR) / "catalogs" / "material.xml");
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("Stuetze.tqx"));
  }
  void Katalog(const fs::path& file, const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }
  std::string standard_;
};

struct WertCase {
  const char* name;
  const char* grade;  // of the example's code, EC2 NA (DE)
  const char* key;
  const char* wert;
  const char* meldung;
};

const WertCase kWerte[] = {
    {"concrete strength 0", "C30/37", "fck", "0", "EC2 NA (DE) / C30/37: fck = 0 muss größer als 0 sein."},
    {"concrete strength negative", "C30/37", "fck", "-30", "C30/37: fck = -30 muss größer als 0 sein."},
    {"partial factor 0", "C30/37", "gamma_cg", "0", "C30/37: gamma_cg = 0 muss größer als 0 sein."},
    {"modulus 0", "C30/37", "Ecm", "0.0", "C30/37: Ecm = 0.0 muss größer als 0 sein."},
    {"text for the modulus", "C30/37", "Ecm", "abc", "C30/37: Ecm = \"abc\" ist keine Zahl."},
    {"number with a unit", "C30/37", "fck", "30MPa", "C30/37: fck = \"30MPa\" ist keine Zahl."},
    {"decimal comma", "C30/37", "epsilon_c2", "-2,0", "C30/37: epsilon_c2 = \"-2,0\" ist keine Zahl."},
    {"no number at all", "C30/37", "fck", "nan", "C30/37: fck = \"nan\" ist keine Zahl."},
    {"steel strength 0", "B500B", "fyk", "0", "B500B: fyk = 0 muss größer als 0 sein."},
    {"steel modulus negative", "B500B", "E", "-200000", "B500B: E = -200000 muss größer als 0 sein."},
    // another grade than the example's: the catalogue is refused as a whole, whatever grade a position uses
    {"a grade the example does not use", "C50/60", "fck", "0", "C50/60: fck = 0 muss größer als 0 sein."},
};

TEST_F(CatalogueTest, NonsenseInTheStandardCatalogueIsRefusedAndNothingIsCalculated) {
  const std::string position = Slurp(Path("Stuetze.tqx"));
  for (const WertCase& c : kWerte) {
    SCOPED_TRACE(c.name);
    const std::string katalog = SetzeWert(standard_, "EC2 NA (DE)", c.grade, c.key, c.wert);
    ASSERT_FALSE(katalog.empty()) << "the catalogue no longer holds " << c.grade << " " << c.key;
    Katalog(root_ / "catalogs" / "material.xml", katalog);
    const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
    EXPECT_EQ(calc.status, 1);
    EXPECT_NE(calc.err.find((root_ / "catalogs" / "material.xml").string() + "' enthält unbrauchbare Werte"),
              std::string::npos)
        << calc.err;
    EXPECT_NE(calc.err.find(c.meldung), std::string::npos) << calc.err;
    EXPECT_TRUE(Slurp(Path("Stuetze.tqx")) == position) << "a refused calculation wrote the position";
    // the report of the position names no value of a refused catalogue, and none is NaN
    ASSERT_EQ(Host({"report", Path("Stuetze.tqx")}).status, 0);
    const std::string rtf = Slurp(Path("Stuetze.rtf"));
    EXPECT_EQ(rtf.find("nan"), std::string::npos);
    EXPECT_NE(rtf.find("der Materialkatalog hat f"), std::string::npos);
  }
}

// The same catalogue unchanged calculates: the refusal above is the value's doing, not the test root's.
TEST_F(CatalogueTest, TheCatalogueUnchangedCalculates) {
  Katalog(root_ / "catalogs" / "material.xml", standard_);
  const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
  EXPECT_EQ(calc.status, 0) << calc.err;
  EXPECT_TRUE(calc.err.empty()) << calc.err;
}

// A user catalogue with nonsense is refused on its own: the position is calculated from the standard one, and
// the message names the user's file.
TEST_F(CatalogueTest, NonsenseInTheUserCatalogueLeavesTheStandardOne) {
  Katalog(root_ / "catalogs" / "material.xml", standard_);
  const std::string user = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Materialdatenbank>
  <Kategorie Name="Beton" Prioritaet="0">
    <Unterkategorie Name="Normalbeton" Prioritaet="0">
      <Norm Name="EC2 NA (DE)" Prioritaet="0">
        <Eigenschaft Name="Teilsicherheitsbeiwert" Kurzname="gamma_cg" Wert01="0" Formel="" Einheit="-"/>
        <Objekt Name="Mein Beton" Prioritaet="99">
          <Eigenschaft Name="Festigkeit" Kurzname="fck" Wert01="zwanzig" Formel="" Einheit="N/mm²"/>
        </Objekt>
      </Norm>
    </Unterkategorie>
  </Kategorie>
</Materialdatenbank>
)xml";
  Katalog(root_ / "userMaterial.xml", user);
  const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
  EXPECT_EQ(calc.status, 0) << calc.err;
  EXPECT_NE(calc.err.find((root_ / "userMaterial.xml").string() + "' enthält unbrauchbare Werte"), std::string::npos)
      << calc.err;
  // a property above the grades counts for every grade below: it is named by its place
  EXPECT_NE(calc.err.find("Beton / Normalbeton / EC2 NA (DE): gamma_cg = 0 muss größer als 0 sein."),
            std::string::npos);
  EXPECT_NE(calc.err.find("EC2 NA (DE) / Mein Beton: fck = \"zwanzig\" ist keine Zahl."), std::string::npos);
}

}  // namespace

// Values that formulas give are judged once evaluated: fck = fck_cube - 100 with fck_cube = 37 gives -63 and
// refuses the user catalogue; fck = 0.8 fck_cube gives 29.6 and is sound.
struct FormelCase {
  const char* name;
  const char* formel;
  const char* meldung;  // empty: the catalogue is used without a word
};

const FormelCase kFormeln[] = {
    {"formula below zero", "fck_cube-100",
     "Beton / Normalbeton / EC2 NA (DE) / Formelbeton: fck = -63 muss größer als 0 sein. (Formel fck_cube-100)"},
    {"sound formula", "0.8*fck_cube", ""},
};

TEST_F(CatalogueTest, ValuesOfFormulasAreJudgedOnceEvaluated) {
  Katalog(root_ / "catalogs" / "material.xml", standard_);
  for (const FormelCase& c : kFormeln) {
    SCOPED_TRACE(c.name);
    Katalog(root_ / "userMaterial.xml", std::string(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Materialdatenbank>
  <Kategorie Name="Beton" Prioritaet="0">
    <Unterkategorie Name="Normalbeton" Prioritaet="0">
      <Norm Name="EC2 NA (DE)" Prioritaet="0">
        <Objekt Name="Formelbeton" Prioritaet="99">
          <Eigenschaft Name="Würfelfestigkeit" Kurzname="fck_cube" Wert01="37" Formel="" Einheit="N/mm²"/>
          <Eigenschaft Name="Festigkeit" Kurzname="fck" Wert01="30" Formel=")xml") +
                                                  c.formel + R"xml(" Einheit="N/mm²"/>
        </Objekt>
      </Norm>
    </Unterkategorie>
  </Kategorie>
</Materialdatenbank>
)xml");
    const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
    EXPECT_EQ(calc.status, 0) << calc.err;
    if (*c.meldung) {
      EXPECT_NE(calc.err.find((root_ / "userMaterial.xml").string() + "' enthält unbrauchbare Werte"),
                std::string::npos)
          << calc.err;
      EXPECT_NE(calc.err.find(c.meldung), std::string::npos) << calc.err;
    } else {
      EXPECT_TRUE(calc.err.empty()) << calc.err;
    }
  }
}
