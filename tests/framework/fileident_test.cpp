// Identification of position files of three generations and the converters that bring old position files up to
// date: heads read without parsing, first lines of the older format, module types inside zipped files, and every
// converter kind rewriting a file as its rule says.
#include "framework/fileident.h"

#include <sys/stat.h>
#include <zip.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "tests/framework/pos_test_support.h"

namespace {

using pos_test::PosTest;
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteAll(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class FileIdentTest : public PosTest {
 protected:
  // A current position file: root attributes in this order, then what `fill` adds.
  fs::path Position(const std::string& name, const char* progname, const char* modulename, const char* version,
                    const std::function<void(int root)>& fill = {}) {
    fs::path path = folder_ / name;
    int doc = VIDUV_CreateDoc(path.c_str());
    int root = VIDUV_GetRootElement(doc);
    VIDUV_SetString(root, "progname", progname);
    VIDUV_SetString(root, "modulename", modulename);
    VIDUV_SetString(root, "version", version);
    VIDUV_AddChildElement(root, "info");
    if (fill) fill(root);
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
    return path;
  }

  struct Head {
    std::string progname, modulename, version;
    int norm = 0;
    int modular = 0;
  };
  static Head Open(const fs::path& path) {
    Head head;
    int doc = VIDUV_OpenDoc(path.c_str());
    EXPECT_NE(doc, 0) << path;
    int root = VIDUV_GetRootElement(doc);
    head.progname = VIDUV_GetString(root, "progname");
    head.modulename = VIDUV_GetString(root, "modulename");
    head.version = VIDUV_GetString(root, "version");
    head.norm = VIDUV_GetIntByPath(root, "info", "norm", 0);
    head.modular = VIDUV_GetIntByPath(root, "info", "bModularisieren", 0);
    VIDUV_CloseDoc(doc);
    return head;
  }

  // A zip archive made with minizip: entries (name, contents) in order.
  fs::path Zip(const std::string& name, const std::vector<std::pair<std::string, std::string>>& entries) {
    fs::path path = folder_ / name;
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    EXPECT_NE(zip, nullptr);
    for (const auto& [entry, contents] : entries) {
      EXPECT_EQ(zipOpenNewFileInZip(zip, entry.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                    Z_DEFAULT_COMPRESSION),
                ZIP_OK);
      EXPECT_EQ(zipWriteInFileInZip(zip, contents.data(), unsigned(contents.size())), ZIP_OK);
      EXPECT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    }
    EXPECT_EQ(zipClose(zip, nullptr), ZIP_OK);
    return path;
  }

  bool Convert(const fs::path& path) {
    CString progname, modulename, version;
    ReadPositionHead(path.c_str(), progname, modulename, &version);
    return GetFileConverterRegistry().ConvertIfKnown(path.c_str(), progname, modulename, version);
  }
};

// --- Heads of current files ---

TEST_F(FileIdentTest, HeadGivesProgramModuleAndTheRootsVersionNotTheDeclarations) {
  fs::path path = Position("a.tqx", "KOLUMO", "stuetze", "2.5");
  ASSERT_NE(ReadAll(path).find("<?xml version=\"1.0\""), std::string::npos);
  CString progname, modulename, version;
  EXPECT_EQ(ReadPositionHead(path.c_str(), progname, modulename, &version), 1);
  EXPECT_EQ(progname, "KOLUMO");
  EXPECT_EQ(modulename, "stuetze");
  EXPECT_EQ(version, "2.5");
}

TEST_F(FileIdentTest, HeadWithoutModuleNameGivesAnEmptyOneAndConvertsNothing) {
  fs::path path = folder_ / "b.tqx";
  WriteAll(path, "<?xml version=\"1.0\"?>\n<root progname=\"PLATTE\" version=\"1.0\"><info/></root>\n");
  CString progname = "x", modulename = "x", version = "x";
  ReadPositionHead(path.c_str(), progname, modulename, &version);
  EXPECT_EQ(progname, "PLATTE");
  EXPECT_EQ(modulename, "");
  EXPECT_EQ(version, "1.0");
  std::string before = ReadAll(path);
  EXPECT_FALSE(GetFileConverterRegistry().ConvertIfKnown(path.c_str(), progname, modulename, version));
  EXPECT_EQ(ReadAll(path), before);
}

TEST_F(FileIdentTest, HeadReadsNoMoreThan127Bytes) {
  // The module name starts at byte 120: the head holds only its first characters.
  std::string text = "<root progname=\"P\"" + std::string(120 - 18 - 13, ' ') + " modulename=\"abcdefghij\">";
  ASSERT_EQ(text.find("abcdefghij"), 120u);
  fs::path path = folder_ / "long.tqx";
  WriteAll(path, text);
  CString progname, modulename;
  ReadPositionHead(path.c_str(), progname, modulename, nullptr);
  EXPECT_EQ(progname, "P");
  EXPECT_EQ(modulename, "abcdefg");  // bytes 120..126
}

TEST_F(FileIdentTest, UnreadableFileLeavesTheOutputsAsTheyWere) {
  CString progname = "alt", modulename = "alt", version = "alt";
  EXPECT_EQ(ReadPositionHead((folder_ / "fehlt.tqx").c_str(), progname, modulename, &version), 1);
  EXPECT_EQ(progname, "alt");
  EXPECT_EQ(modulename, "alt");
  EXPECT_EQ(version, "alt");
}

// What is not a regular file is not opened: a FIFO would hold the reader until some writer came, a device may
// never end. A link to a regular file is read as the file.
TEST_F(FileIdentTest, OnlyRegularFilesAreRead) {
  WriteAll(folder_ / "echt.tqx", "<?xml version=\"1.0\"?><root progname=\"K\" modulename=\"M\" version=\"2012\"/>");
  fs::create_symlink(folder_ / "echt.tqx", folder_ / "link.tqx");
  ASSERT_EQ(::mkfifo((folder_ / "fifo.tqx").c_str(), 0600), 0);
  fs::create_directory(folder_ / "ordner.tqx");
  for (const auto& [pfad, gelesen] :
       {std::pair{folder_ / "link.tqx", true}, std::pair{folder_ / "fifo.tqx", false},
        std::pair{folder_ / "ordner.tqx", false}, std::pair{fs::path("/dev/zero"), false}}) {
    CString progname = "alt", modulename = "alt", version = "alt";
    EXPECT_EQ(ReadPositionHead(pfad.c_str(), progname, modulename, &version), 1);
    EXPECT_EQ(version, gelesen ? "2012" : "alt") << pfad;
    EXPECT_EQ(ReadZipModuleType(pfad.c_str()), 0) << pfad;
    EXPECT_EQ(GetOldFormatProgramName(pfad.c_str()), "") << pfad;  // the head names no old program
  }
}

TEST_F(FileIdentTest, HeadWithoutRootGivesAnEmptyVersion) {
  fs::path path = folder_ / "c.tqx";
  WriteAll(path, "<?xml version=\"1.0\"?><kopf progname=\"A\" modulename=\"B\"/>");
  CString progname, modulename, version = "x";
  ReadPositionHead(path.c_str(), progname, modulename, &version);
  EXPECT_EQ(version, "");
}

struct HeadAttributeCase {
  const char* text;
  const char* name;
  const char* value;
};
class HeadAttributeTest : public testing::TestWithParam<HeadAttributeCase> {};
TEST_P(HeadAttributeTest, ValueRunsFromTwoPastTheNameToTheNextQuote) {
  EXPECT_EQ(GetHeadAttribute(GetParam().text, GetParam().name), GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Heads, HeadAttributeTest,
                         testing::Values(HeadAttributeCase{"<root progname=\"ABC\" x=\"1\"", "progname", "ABC"},
                                         HeadAttributeCase{"<root a=\"1\"", "progname", ""},
                                         // The first occurrence counts, even inside another name.
                                         HeadAttributeCase{"<root xprogname=\"X\" progname=\"Y\"", "progname", "X"},
                                         // Cut before the closing quote: the rest of the head.
                                         HeadAttributeCase{"<root progname=\"ABC", "progname", "ABC"},
                                         // The name at the very end: nothing past it is read.
                                         HeadAttributeCase{"<root progname", "progname", ""},
                                         HeadAttributeCase{"<root progname=", "progname", ""}));

// --- Older format ---

struct OldFormatCase {
  const char* firstBytes;
  const char* program;
};
class OldFormatTest : public FileIdentTest, public testing::WithParamInterface<OldFormatCase> {};
TEST_P(OldFormatTest, FirstLineNamesTheProgram) {
  fs::path path = folder_ / "alt.tq1";
  WriteAll(path, GetParam().firstBytes);
  EXPECT_EQ(GetOldFormatProgramName(path.c_str()), GetParam().program);
}
INSTANTIATE_TEST_SUITE_P(FirstLines, OldFormatTest,
                         testing::Values(
                             // Seven characters after the apostrophe; the code RAHM (any case) is the frame program.
                             OldFormatCase{"Position 'TQ-RAHM 4.1\r\nweiter", "Rahmen"},
                             OldFormatCase{"'TQ-rahm", "Rahmen"},
                             // Seven characters from two before the first '-': not a known code, kept as read.
                             OldFormatCase{"XYTQ-ABCDEF", "TQ-ABCD"},
                             // A '-' at the start: nothing before the text is read.
                             OldFormatCase{"-AB", "-AB"},
                             // Only the program's code-only mark.
                             OldFormatCase{"Daten HOLZ 2", "Holzbalken"},
                             // The second line does not count.
                             OldFormatCase{"Kopfzeile\n'TQ-RAHM", ""},
                             // An apostrophe at the end of the line names nothing.
                             OldFormatCase{"abc'\n", ""}));

TEST_F(FileIdentTest, OldFormatReadsNoMoreThan88Bytes) {
  // The apostrophe is byte 85: only bytes 86 and 87 follow within the head.
  fs::path path = folder_ / "lang.tq1";
  WriteAll(path, std::string(85, 'x') + "'TQ-RAHM");
  EXPECT_EQ(GetOldFormatProgramName(path.c_str()), "TQ");
  EXPECT_EQ(GetOldFormatProgramName((folder_ / "fehlt.tq1").c_str()), "");
}

// --- Zipped files ---

TEST_F(FileIdentTest, ZipEntryStartingWithVemoGivesItsModuleType) {
  fs::path path = Zip("a.zip", {{"liesmich.txt", "ModuleType=\"555\""},
                                {"Vemo.xml", "<m ModuleType=\"777\"/>"},  // shorter than 10: skipped
                                {"VemoModel.xml", "<m ModuleType=\"102\" x=\"1\"/>"}});
  EXPECT_EQ(ReadZipModuleType(path.c_str()), 102);
}

TEST_F(FileIdentTest, ZipWithoutModuleTypeOrWithoutVemoEntryGivesZero) {
  EXPECT_EQ(ReadZipModuleType(Zip("b.zip", {{"VemoModel.xml", "<m Typ=\"3\"/>"}}).c_str()), 0);
  EXPECT_EQ(ReadZipModuleType(Zip("c.zip", {{"Modell.xml", "<m ModuleType=\"3\"/>"}}).c_str()), 0);
  EXPECT_EQ(ReadZipModuleType(Zip("d.zip", {{"Vemo.xml", "<m ModuleType=\"3\"/>"}}).c_str()), 0);
  fs::path notZip = folder_ / "e.zip";
  WriteAll(notZip, "PK kein Archiv");
  EXPECT_EQ(ReadZipModuleType(notZip.c_str()), 0);
  EXPECT_EQ(ReadZipModuleType((folder_ / "fehlt.zip").c_str()), 0);
}

TEST_F(FileIdentTest, ZipEntryIsReadAsFarAs8192BytesAndNoFurther) {
  // "ModuleType" starts at byte 8179: of its digits only the first (byte 8191) lies within the text.
  std::string late = std::string(8179, ' ') + "ModuleType=\"123\"";
  EXPECT_EQ(ReadZipModuleType(Zip("f.zip", {{"VemoModel.xml", late}}).c_str()), 1);
  std::string early = std::string(8000, ' ') + "ModuleType=\"42\" ";
  EXPECT_EQ(ReadZipModuleType(Zip("g.zip", {{"VemoModel.xml", early}}).c_str()), 42);
}

TEST_F(FileIdentTest, ZipEntryWithAVeryLongNameIsCutNotOverrun) {
  std::string name = "Vemo" + std::string(600, 'n') + ".xml";
  EXPECT_EQ(ReadZipModuleType(Zip("h.zip", {{name, "ModuleType=\"9\" "}}).c_str()), 9);
}

// --- Converters ---

TEST_F(FileIdentTest, RegistryHolds47Keys) {
  EXPECT_EQ(GetFileConverterRegistry().GetCount(), 47);
  EXPECT_FALSE(GetFileConverterRegistry().IsKnown("KOLUMOstuetze"));
}

struct ConverterCase {
  const char* label;
  const char* progname;
  const char* modulename;
  const char* version;
  std::function<void(int root)> fill;
  const char* expectProgname;
  const char* expectModulename;
  int expectNorm;     // -1: not checked
  int expectModular;  // -1: not checked
};

void SetInt(int root, const char* path, const char* attribute, int value) {
  VIDUV_SetIntByPath(root, path, attribute, value);
}
auto With(const char* path, const char* attribute, int value) {
  return [=](int root) { SetInt(root, path, attribute, value); };
}

class ConverterTest : public FileIdentTest, public testing::WithParamInterface<ConverterCase> {};

TEST_P(ConverterTest, RewritesTheFileAsItsRuleSays) {
  const ConverterCase& c = GetParam();
  fs::path path = Position("pos.tqx", c.progname, c.modulename, c.version, c.fill);
  EXPECT_TRUE(Convert(path));
  Head head = Open(path);
  EXPECT_EQ(head.progname, c.expectProgname);
  EXPECT_EQ(head.modulename, c.expectModulename);
  if (c.expectNorm >= 0) {
    EXPECT_EQ(head.norm, c.expectNorm);
  }
  if (c.expectModular >= 0) {
    EXPECT_EQ(head.modular, c.expectModular);
  }
  // What the program database does next: the new head is read from the file.
  CString progname, modulename;
  ReadPositionHead(path.c_str(), progname, modulename, nullptr);
  EXPECT_EQ(progname, c.expectProgname);
  EXPECT_EQ(modulename, c.expectModulename);
}

const ConverterCase kConverterCases[] = {
    {"FixedCode", "PLATTE", "alt", "1.0", {}, "PLATTE", "einachsig", -1, 0},
    {"FixedCodeSecondKey", "PLATTE", "zweiachsig_alt", "1.0", {}, "PLATTE", "zweiachsig", -1, 0},
    // 1.0 < v < 2012.019, both strict.
    {"VersionInside", "WAND", "mauerwerk", "2011.5", {}, "WAND", "mauerwerkDIN", -1, -1},
    {"VersionJustAboveOne", "WAND", "beton", "1.01", {}, "WAND", "betonDIN", -1, -1},
    {"VersionAtUpperBound", "WAND", "mauerwerk", "2012.019", {}, "WAND", "mauerwerk", -1, -1},
    {"VersionAtOne", "WAND", "mauerwerk", "1.0", {}, "WAND", "mauerwerk", -1, -1},
    {"ByShape", "SAEULE", "standard", "1", With("input\\geom", "form", 2), "SAEULE", "ring", -1, -1},
    {"ByShapeUnknownValueKeepsTheFile", "SAEULE", "standard", "1", {}, "SAEULE", "standard", -1, -1},
    {"FixedCodeBeam", "BALKEN", "einfeld", "1", {}, "BALKEN", "durchlauf", -1, -1},
    {"FixedCodeCantilever", "BALKEN", "kragarm", "1", {}, "BALKEN", "kragarm2", -1, -1},
    {"BySystemChangesTheProgram", "RAHMEN", "alt", "1", With("input\\steu", "system", 1), "TRAGWERK", "raeumlich", -1,
     -1},
    {"ByConstructionKindThree", "STURZ", "standard", "1", With("input\\steu", "berart", 3), "STURZ", "fertigteil", -1,
     -1},
    {"ByConstructionKindFour", "STURZ", "standard", "1", With("input\\steu", "berart", 4), "STURZ", "ortbeton", -1, -1},
    {"FixedCodeAnchor", "ANKER", "standard", "1", {}, "ANKER", "anker2", -1, -1},
    // The unguarded roof kind: values 3 and 4 share code 4.
    {"RoofType3", "DACHPLUS", "m3", "1", With("input\\steu", "dachtyp", 3), "DACHALT", "walmdach", 5, -1},
    {"RoofType4", "DACHPLUS", "m1", "1", With("input\\steu", "dachtyp", 4), "DACHALT", "walmdach", 5, -1},
    {"RoofType6", "DACHPLUS", "m7", "1", With("input\\steu", "dachtyp", 6), "DACHALT", "flachdach", 5, -1},
    {"RoofType0", "DACHPLUS", "m2", "1", With("input\\steu", "dachtyp", 0), "DACHALT", "sparrendach", 5, -1},
    {"BracketOnly", "KONSOLE", "kombi", "1",
     [](int root) {
       SetInt(root, "input\\geom", "mitkonsole", 1);
       SetInt(root, "input\\geom", "mitbalken", 0);
     },
     "KONSOLE", "konsole", -1, -1},
    {"BeamOnly", "KONSOLE", "kombi", "1",
     [](int root) {
       SetInt(root, "input\\geom", "mitkonsole", 0);
       SetInt(root, "input\\geom", "mitbalken", 1);
     },
     "KONSOLE", "balken", -1, -1},
    {"Neither", "KONSOLE", "kombi", "1",
     [](int root) {
       SetInt(root, "input\\geom", "mitkonsole", 0);
       SetInt(root, "input\\geom", "mitbalken", 0);
     },
     "KONSOLE", "kombi", -1, -1},
    {"Simplified", "NACHWEIS", "standard", "1", With("input\\nago", "vereinfacht", 1), "NACHWEIS", "vereinfacht", -1,
     -1},
    {"Exact", "NACHWEIS", "standard", "1", With("input\\nago", "vereinfacht", 0), "NACHWEIS", "genau", -1, -1},
    {"AcceptedAsIs", "MAUER", "alt", "1", {}, "MAUER", "alt", -1, 0},
    {"ModularFixed", "HOLZ", "balken", "1", {}, "HOLZ", "biegetraeger", -1, 1},
    {"ModularFixedSecondKey", "HOLZ", "stuetze", "1", {}, "HOLZ", "druckstab", -1, 1},
    {"ModularSteelBeam", "STAHL", "traeger", "1", {}, "STAHL", "walzprofil", -1, 1},
    {"ModularSteelColumn", "STAHL", "stuetze", "1", {}, "STAHL", "knickstab", -1, 1},
    {"ModularFooting", "FUND", "einzel", "1", {}, "FUND", "einzel2", -1, 1},
    {"ModularStrip", "FUND", "streifen", "1", {}, "FUND", "streifen2", -1, 1},
    {"ModularPocket", "FUND", "koecher", "1", {}, "FUND", "koecher2", -1, 1},
    {"ModularRaft", "FUND", "platte", "1", {}, "FUND", "platte2", -1, 1},
    {"ModularBySectionBelowTwo", "VERBUND", "traeger", "1", With("input\\system", "Querschnitt", 1), "VERBUND", "offen",
     -1, 1},
    {"ModularBySectionTwo", "VERBUND", "traeger", "1", With("input\\system", "Querschnitt", 2), "VERBUND",
     "geschlossen", -1, 1},
    // A missing attribute reads -999999: below 2.
    {"ModularBySectionMissing", "VERBUND", "traeger", "1", {}, "VERBUND", "offen", -1, 1},
    {"ModularByTypeZero", "SCHEIBE", "standard", "1", With("input\\system", "Typ", 0), "SCHEIBE", "wand", -1, 1},
    {"ModularByTypeOther", "SCHEIBE", "standard", "1", With("input\\system", "Typ", 5), "SCHEIBE", "decke", -1, 1},
    {"ModularLoads", "LAST", "standard", "1", {}, "LAST", "lastannahme", -1, 1},
    {"ModularFourLetters", "BEMESS", "alt", "1", {}, "BEMESS", "QUER", -1, 1},
    {"ModularMapped", "ZUGGLIED", "zc", "1", {}, "ZUGGLIED", "Z3", -1, 1},
    {"ModularMappedLast", "ZUGGLIED", "zg", "1", {}, "ZUGGLIED", "Z7", -1, 1},
};
INSTANTIATE_TEST_SUITE_P(Kinds, ConverterTest, testing::ValuesIn(kConverterCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(FileIdentTest, GuardedRoofConvertsOnlyWithTheOlderModuleInstalledAndANormItTakes) {
  auto fill = [](int norm) {
    return [norm](int root) {
      SetInt(root, "input\\steu", "dachtyp", 5);
      SetInt(root, "info", "norm", norm);
    };
  };
  fs::path path = Position("dach.tqx", "DACHNEU", "m4", "1", fill(0));
  std::string before = ReadAll(path);
  EXPECT_TRUE(Convert(path));
  EXPECT_EQ(ReadAll(path), before);  // the older module is not installed

  fs::create_directories(folder_ / "prog");
  WriteAll(folder_ / "prog" / fileident::kOldRoofDialogLibrary, "");
  for (int norm : {3, 4, 5, 32}) {
    path = Position("dach.tqx", "DACHNEU", "m4", "1", fill(norm));
    before = ReadAll(path);
    EXPECT_TRUE(Convert(path));
    EXPECT_EQ(ReadAll(path), before) << "norm " << norm;
  }
  path = Position("dach.tqx", "DACHNEU", "m4", "1", fill(1));
  EXPECT_TRUE(Convert(path));
  Head head = Open(path);
  EXPECT_EQ(head.progname, fileident::kOldRoofProgram);
  EXPECT_EQ(head.modulename, "pultdach");  // type 5: code 5
  EXPECT_EQ(head.norm, 5);
}

TEST_F(FileIdentTest, BracketAndBeamPositionIsSplitAndTheSourceGoesLast) {
  for (bool flagsMissing : {false, true}) {
    fs::path path = Position("Kombi.tqx", "KONSOLE", "kombi", "1", [flagsMissing](int root) {
      if (flagsMissing) return;  // a missing flag counts as set
      SetInt(root, "input\\geom", "mitkonsole", 1);
      SetInt(root, "input\\geom", "mitbalken", 1);
    });
    EXPECT_TRUE(Convert(path));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(Open(folder_ / "Kombi (konsole).tqx").modulename, "konsole");
    EXPECT_EQ(Open(folder_ / "Kombi (balken).tqx").modulename, "balken");
    fs::remove(folder_ / "Kombi (konsole).tqx");
    fs::remove(folder_ / "Kombi (balken).tqx");
  }
}

TEST_F(FileIdentTest, FailedSplitKeepsTheSourceAndLeavesNoHalf) {
  auto both = [](int root) {
    SetInt(root, "input\\geom", "mitkonsole", 1);
    SetInt(root, "input\\geom", "mitbalken", 1);
  };
  fs::path path = Position("Kombi.tqx", "KONSOLE", "kombi", "1", both);
  // The second file cannot be written: a folder stands in its place.
  fs::create_directories(folder_ / "Kombi (balken).tqx");
  std::string before = ReadAll(path);
  EXPECT_TRUE(Convert(path));
  EXPECT_EQ(ReadAll(path), before);
  EXPECT_FALSE(fs::exists(folder_ / "Kombi (konsole).tqx"));
}

TEST_F(FileIdentTest, ConverterOfAnUnreadableFileDoesNothing) {
  fs::path path = folder_ / "kaputt.tqx";
  WriteAll(path, "<root progname=\"PLATTE\" modulename=\"alt\"");
  EXPECT_TRUE(Convert(path));
  EXPECT_EQ(ReadAll(path), "<root progname=\"PLATTE\" modulename=\"alt\"");
}

TEST_F(FileIdentTest, SetModularisierenMarksInfo) {
  int doc = NewDocument();
  SetModularisieren(doc);
  EXPECT_EQ(VIDUV_GetIntByPath(Root(doc), "info", "bModularisieren", 0), 1);
}

}  // namespace
