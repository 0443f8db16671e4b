// The document part of a position: its XML element, its values, exports and imports, and its calculation.
#include "document/subdata.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "framework/regsettings.h"
#include "platform/tqscript/tqscript.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/viduv/viduv.h"

namespace {

namespace fs = std::filesystem;

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  SubData& Part() { return static_cast<SubData&>(GetSubData()); }
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The document part switched on in the settings for as long as the object lives.
struct ScriptsOn {
  ScriptsOn() { GetRegSettings().WriteInt("", "bSkrib", 1); }
  ~ScriptsOn() { GetRegSettings().WriteInt("", "bSkrib", 0); }
};

class SubDataTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterDocumentPart();
    folder_ = fs::temp_directory_path() / ("subdata-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    for (int doc : docs_) VIDUV_CloseDoc(doc);
    SetDocumentPartFactory(nullptr);
    fs::remove_all(folder_);
  }
  // A new position file with "input" and "exports"; returns the document.
  int NewDocument(int& input, int& exports) {
    const int doc = VIDUV_CreateDoc("root");
    docs_.push_back(doc);
    input = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "input");
    exports = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
    return doc;
  }
  fs::path folder_;
  std::vector<int> docs_;
};

TEST_F(SubDataTest, TheElementRoundTripsByteForByte) {
  // RTF with a picture, bytes above 127 and a zero-terminated buffer; every setting away from its default.
  const std::string rtf =
      "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 b = 0.30\\par\r\n"
      "{\\pict\\pngblip 89504e47{}\\'fc}\xfc\xe4}";
  Position first;
  SubData& part = first.Part();
  part.text.SetText(rtf);
  part.page = 4;
  part.macroText = "Function F(x)\r\n  F = 2 * x\r\nEnd Function\r\n";
  part.libraryModule = "Bibliothek";
  part.isEmpty = 0;
  part.tableProps.nCol = 2;
  part.tableProps.colWidth = {100, 200};
  part.tableProps.defaultText = {"a", "<b>"};
  part.searchText = "b =";
  part.direction = 0;
  part.pathChecks = {{"Beton\\C30/37", 1}, {"Stahl", 0}};
  part.exportValues = {{"Breite", "b", "m", 0.3}};
  part.inputValues = {{"Last", "q", "kN/m", 12.5}};
  int input, exports;
  const int doc = NewDocument(input, exports);
  part.WriteXML(VIDUV_AddChildElement(input, "Skrib"), exports);
  ASSERT_TRUE(VIDUV_SaveDocAs(doc, (folder_ / "a.tqx").c_str()));

  const int read = VIDUV_OpenDoc((folder_ / "a.tqx").c_str());
  docs_.push_back(read);
  Position second;
  second.Part().ReadXML(VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(read), "input"), "Skrib"));
  EXPECT_EQ(std::string(second.Part().text.GetBuffer(0), std::size_t(second.Part().text.GetSize(0))),
            std::string(rtf.c_str(), rtf.size() + 1));
  EXPECT_EQ(second.Part().page, 4);
  EXPECT_EQ(second.Part().tableProps.defaultText[1], "<b>");
  int input2, exports2;
  const int again = NewDocument(input2, exports2);
  second.Part().WriteXML(VIDUV_AddChildElement(input2, "Skrib"), exports2);
  ASSERT_TRUE(VIDUV_SaveDocAs(again, (folder_ / "b.tqx").c_str()));
  EXPECT_EQ(ReadAll(folder_ / "a.tqx"), ReadAll(folder_ / "b.tqx"));
}

TEST_F(SubDataTest, MissingKeysKeepTheirDefaults) {
  int input, exports;
  NewDocument(input, exports);
  const int skrib = VIDUV_AddChildElement(input, "Skrib");
  Position position;
  position.Part().ReadXML(skrib);
  EXPECT_EQ(position.Part().page, 1);
  EXPECT_EQ(position.Part().tableProps.colWidth, (std::vector<int>{2835, 850, 283, 2948, 397, 964, 737}));
  EXPECT_FALSE(position.Part().HoldsText());
  // A damaged count reads as far as it can, without taking the memory it names.
  VIDUV_SetInt(VIDUV_AddChildElement(skrib, "tableProp"), "numOfDefaultText", 2000000000);
  position.Part().ReadXML(skrib);
  EXPECT_LE(position.Part().tableProps.defaultText.size(), 10000u);
}

TEST_F(SubDataTest, ExportsImportsAndTheirNames) {
  Position position;
  SubData& part = position.Part();
  part.text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 b = 0.25\\par\r\n}");
  part.isEmpty = 0;
  // An export without a description goes out under its variable name; one without either name is left out.
  part.exportValues = {{"", "b", "m", 0.0}, {"", "", "", 1.0}, {"Fehlt", "zz", "", 2.0}};
  // Taken over from another position: the path's folders prefix the name; a record without any path is
  // entered under its name alone.
  int input, exports;
  NewDocument(input, exports);
  const int skrib = VIDUV_AddChildElement(input, "Skrib");
  const int imports = VIDUV_AddChildElement(skrib, "importValues");
  const struct {
    const char *path, *name;
    double value;
  } records[] = {{"Pos 1\\Lasten\\N", "N", 250.0}, {"", "k", 3.0}};
  for (const auto& r : records) {
    const int item = VIDUV_AddChildElement(imports, "importValue");
    VIDUV_SetInt(item, "type", 6);
    VIDUV_SetString(item, "varPath", r.path);
    VIDUV_SetString(item, "varName", r.name);
    VIDUV_SetDouble(item, "value", r.value);
  }
  const int before = position.varDefs.GetSize();
  std::vector<SubDataValue> kept = part.exportValues;
  part.ReadXML(skrib);
  part.exportValues = kept;
  EXPECT_EQ(position.varDefs.GetSize(), before + 2);

  // b = 0.25 from the text; zz is defined nowhere, and the nameless value has nothing to evaluate: both stay as they
  // were, and the write exports zz as failed.
  EXPECT_EQ(part.Calculate(RGB(7, 13, 255), -1), 1);
  double value = 0.0;
  EXPECT_TRUE(position.variables.Evaluate("b", &value));
  EXPECT_DOUBLE_EQ(value, 0.25);
  ASSERT_EQ(part.exportValues.size(), 3u);
  EXPECT_DOUBLE_EQ(part.exportValues[0].value, 0.25);
  EXPECT_DOUBLE_EQ(part.exportValues[1].value, 1.0);
  EXPECT_EQ(part.exportValues[2].varName, "zz");
  EXPECT_DOUBLE_EQ(part.exportValues[2].value, 2.0);
  position.variables.RemoveAll();
  part.DefineVariables(1);
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  position.variables.CollectVariables(names, descriptions, units, values);
  ASSERT_EQ(names.GetSize(), 2);
  EXPECT_EQ(names[0], "Pos 1\\Lasten\\N");
  EXPECT_EQ(names[1], "k");

  part.exportValues.push_back({"", "", "", 1.0});
  // Every write follows an evaluation of the text: the export takes what it gives.
  part.DefineVariables(0);
  part.WriteXML(skrib, exports);
  const int value0 = VIDUV_FindFirstChild(exports, "value");
  ASSERT_NE(value0, 0);
  EXPECT_EQ(VIDUV_FindNextChild(value0, "value"), 0);
  EXPECT_STREQ(VIDUV_GetString(value0, "desc"), "b");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(value0, "val"), 0.25);
  const int failed = VIDUV_FindFirstChild(exports, "failedValue");
  ASSERT_NE(failed, 0);
  EXPECT_STREQ(VIDUV_GetString(failed, "desc"), "Fehlt");
  EXPECT_STREQ(VIDUV_GetString(failed, "reason"), "'zz' nicht definiert");
  EXPECT_EQ(VIDUV_FindNextChild(failed, "failedValue"), 0);
  // The imports now live in the variable definitions and are not written back.
  EXPECT_EQ(VIDUV_FindFirstChild(skrib, "importValues"), 0);
}

// An export of the document carries what its definition gives when the position is written, not the number stored
// with it: a = g + 30 with the table's g = 100 is 130 (stored 650, from an earlier g = 620), with the editor on and
// off, in the exports and in the part's own list. A definition that fails, or one the text no longer holds, is
// exported as failed, with why and without a number; its stored number stays in the part's list.
TEST_F(SubDataTest, AnExportCarriesWhatItsDefinitionGivesNow) {
  struct Case {
    const char* line;     // of the document, which exports a (stored 650)
    double value;         // exported, by hand
    const char* failure;  // or why a has none
  };
  const Case cases[] = {
      {"a = g + 30", 130.0, ""},                          // 100 + 30
      {"a = g * 1.5 + 2.5", 152.5, ""},                   // 150 + 2.5
      {"a = g/0", 0.0, "a = g/0: Division durch Null."},  // fails
      {"b = g + 30", 0.0, "'a' nicht definiert"},         // a is defined no more
  };
  for (const int editor : {0, 1}) {
    GetRegSettings().WriteInt("", "bSkrib", editor);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.line) + (editor ? " (editor on)" : " (editor off)"));
      Position position;
      auto g = std::make_unique<CVarDefVariable>();
      g->varName = "g";
      g->value = 100.0;
      position.varDefs.Add(std::move(g));
      SubData& part = position.Part();
      part.text.SetText(std::string("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 ") + c.line + "\\par\r\n}");
      part.isEmpty = 0;
      part.exportValues = {{"Dachlast", "a", "kN", 650.0}};
      position.DefineVariables();
      int input, exports;
      NewDocument(input, exports);
      const int skrib = VIDUV_AddChildElement(input, "Skrib");
      part.WriteXML(skrib, exports);
      const int listed = VIDUV_FindFirstChild(VIDUV_FindFirstChild(skrib, "exportValues"), "exportValue");
      const int exported = VIDUV_FindFirstChildWithAttr(exports, "desc", "Dachlast");
      ASSERT_NE(exported, 0);
      if (*c.failure) {
        EXPECT_STREQ(VIDUV_GetElementName(exported), "failedValue");
        EXPECT_STREQ(VIDUV_GetString(exported, "reason"), c.failure);
        EXPECT_EQ(VIDUV_GetDoubleWithDefault(exported, "val", -1.0, 1), -1.0);
        EXPECT_DOUBLE_EQ(VIDUV_GetDouble(listed, "val"), 650.0);
        EXPECT_EQ(part.FailedExports(), std::vector<std::string>{std::string("a: ") + c.failure});
      } else {
        EXPECT_STREQ(VIDUV_GetElementName(exported), "value");
        EXPECT_NEAR(VIDUV_GetDouble(exported, "val"), c.value, 1e-9 * c.value);
        EXPECT_NEAR(VIDUV_GetDouble(listed, "val"), c.value, 1e-9 * c.value);
        EXPECT_TRUE(part.FailedExports().empty());
      }
    }
  }
  GetRegSettings().WriteInt("", "bSkrib", 0);
}

// A recalculation (F5 in the editor, the report's) while the exported a fails or is defined nowhere (its line being
// retyped) keeps its export and the last number a gave, a = 2 * 3.25 = 6.5: the write exports it as failed with why,
// and once the definition is mended the next recalculation and write export its number again. An importer of the
// position is thus told why a has no value, not that it is not there.
TEST_F(SubDataTest, ARecalculationKeepsTheExportOfADefinitionThatFailsForNow) {
  const ScriptsOn on;
  Position position;
  SubData& part = position.Part();
  auto setText = [&](const char* line) {
    part.text.SetText(std::string("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 ") + line + "\\par\r\n}");
    part.isEmpty = 0;
  };
  setText("a = 2 * 3.25");
  part.exportValues = {{"Dachlast", "a", "kN", 0.0}};
  struct Step {
    const char* line;
    const char* failure;  // why a has no value, or empty
    double value;         // listed with the export: the last number a gave
  };
  const Step steps[] = {
      {"a = 2 * 3.25", "", 6.5},
      {"a = 1/0", "a = 1/0: Division durch Null.", 6.5},
      {"b = 1/0", "'a' nicht definiert", 6.5},
      {"b = 1/0", "'a' nicht definiert", 6.5},  // a second F5 keeps it too
      {"a = b + 1", "a = b + 1: 'b' nicht definiert", 6.5},
      {"a = 2 * 3.25", "", 6.5},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.line);
    setText(step.line);
    EXPECT_EQ(part.Calculate(RGB(7, 13, 255), -1), 1);
    ASSERT_EQ(part.exportValues.size(), 1u);
    EXPECT_EQ(part.exportValues[0].varName, "a");
    EXPECT_EQ(part.exportValues[0].desc, "Dachlast");
    EXPECT_EQ(part.exportValues[0].unit, "kN");
    EXPECT_DOUBLE_EQ(part.exportValues[0].value, step.value);
    int input, exports;
    NewDocument(input, exports);
    part.WriteXML(VIDUV_AddChildElement(input, "Skrib"), exports);
    const int exported = VIDUV_FindFirstChildWithAttr(exports, "desc", "Dachlast");
    ASSERT_NE(exported, 0);
    EXPECT_STREQ(VIDUV_GetString(exported, "varName"), "a");
    EXPECT_STREQ(VIDUV_GetString(exported, "unit"), "kN");
    if (*step.failure) {
      EXPECT_STREQ(VIDUV_GetElementName(exported), "failedValue");
      EXPECT_STREQ(VIDUV_GetString(exported, "reason"), step.failure);
      EXPECT_EQ(VIDUV_GetDoubleWithDefault(exported, "val", -1.0, 1), -1.0);
    } else {
      EXPECT_STREQ(VIDUV_GetElementName(exported), "value");
      EXPECT_NEAR(VIDUV_GetDouble(exported, "val"), step.value, 1e-12 * step.value);
    }
  }
}

// The document's own report heads its pages with the part's name, its S in italics as the program sets it: markup, not
// the characters "\i" of a typed text.
TEST_F(SubDataTest, TheReportHeaderSetsTheNamesLetterInItalics) {
  Position position;
  SubData& part = position.Part();
  part.text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 b = 0.25\\par\r\n}");
  part.isEmpty = 0;
  const fs::path path = folder_ / "Dokument.tqx";
  part.ExportRtf(path.c_str(), 1, 1, "", "");
  const std::string rtf = ReadAll(folder_ / "Dokument.rtf");
  const std::size_t header = rtf.find("{\\header");
  ASSERT_NE(header, std::string::npos) << rtf;
  const std::string line = rtf.substr(header, rtf.find("\\tab", header) - header);
  EXPECT_NE(line.find("{TQ-\\i S\\i0 krib}  Skrib"), std::string::npos) << line;
  EXPECT_EQ(line.find("\\\\"), std::string::npos) << line;
}

TEST_F(SubDataTest, AFormulaErrorIsReportedAndTheDocumentIsStillWritten) {
  Position position;
  SubData& part = position.Part();
  part.text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 y = w/2 = 0.0\\par\r\n}");
  part.isEmpty = 0;
  part.Calculate(RGB(7, 13, 255), -1);
  EXPECT_NE(std::string(part.GetMessages()).find("y = w/2 = 0.0: "), std::string::npos) << part.GetMessages().str();
  int input, exports;
  NewDocument(input, exports);
  const int skrib = VIDUV_AddChildElement(input, "Skrib");
  part.WriteXML(skrib, exports);
  std::string stored(std::size_t(VIDUV_GetBinDataLength(skrib, "rtfData")), '\0');
  VIDUV_GetBinData(skrib, "rtfData", stored.data());
  EXPECT_NE(stored.find("\\cf1\\ulwave y = w/2 = 0.0[("), std::string::npos) << stored;
}

}  // namespace

namespace {

// The macros of a document: event macros learn the position's name and folder, formulas call functions.
TEST_F(SubDataTest, MacrosSeeThePositionAndServeTheFormulas) {
  ScriptsOn on;
  // A name with quotes must arrive whole, not end the text of the call early.
  const fs::path file = folder_ / "Pos \"12\".tqx";
  int input, exports;
  const int doc = NewDocument(input, exports);
  ASSERT_TRUE(VIDUV_SaveDocAs(doc, file.c_str()));
  const int skrib = VIDUV_AddChildElement(input, "Skrib");
  Position position;
  position.doc = doc;
  SubData& part = position.Part();
  part.text.SetText(
      "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 z = @Doppelt(2.5) = 0.0\\par\r\n"
      "\\cf1 w = @Kaputt(1) = 0.0\\par\r\n\\cf1 t = @Klammern(1) = 0\\par\r\n}");
  part.isEmpty = 0;
  part.macroText =
      "Dim seen\r\nSub OnInitDocument(name, folder)\r\n  seen = name & \"|\" & folder\r\nEnd Sub\r\n"
      "Function Doppelt(x)\r\n  Doppelt = 2 * x\r\nEnd Function\r\n"
      "Function Kaputt(x)\r\n  Kaputt = x / 0\r\nEnd Function\r\n"
      "Function Klammern(x)\r\n  Klammern = \"{a}\\b\"\r\nEnd Function\r\n";
  part.WriteXML(skrib, exports);
  part.ReadXML(skrib);
  TQSCRIPT_Execute(part.GetSession(), "seen");
  EXPECT_EQ(TQSCRIPT_GetStrResult(part.GetSession()), "Pos \"12\"|" + folder_.string());

  // Doppelt(2.5) = 5.0 goes into the formula; Kaputt fails and its error is the unit's message.
  part.Calculate(RGB(7, 13, 255), -1);
  double z = 0.0;
  ASSERT_TRUE(position.variables.Evaluate("z", &z));
  EXPECT_DOUBLE_EQ(z, 5.0);
  const std::string text = part.text.Text();
  EXPECT_NE(text.find("z = @Doppelt(2.5) = 5.0[5]\\par"), std::string::npos) << text;
  EXPECT_NE(text.find("\\cf1\\ulwave w = @Kaputt(1) = 0.0[("), std::string::npos) << text;
  EXPECT_NE(std::string(part.GetMessages()).find("w = @Kaputt(1) = 0.0: "), std::string::npos);
  // A text result shows as text, never as RTF groups or control words.
  EXPECT_NE(text.find("t = @Klammern(1) = 0[\\{a\\}\\\\b]\\par"), std::string::npos) << text;
}

}  // namespace

namespace {

// The variable definitions turned into the document's text define the same variables when the text is evaluated.
TEST_F(SubDataTest, TextMadeFromTheVariableDefinitionsDefinesTheirVariables) {
  int input, exports;
  const int doc = NewDocument(input, exports);
  ASSERT_TRUE(VIDUV_SaveDocAs(doc, (folder_ / "vars.tqx").c_str()));
  Position position;
  position.doc = doc;
  const struct { const char *name, *formula; } definitions[] = {{"b", "0.30"}, {"h", "2*b"}};
  for (const auto& d : definitions) {
    auto entry = std::make_unique<CVarDefVariable>();
    entry->varName = d.name;
    entry->unit = "m";
    entry->value.m_pStore = &position.variables;
    entry->value = d.formula;
    position.varDefs.Add(std::move(entry));
  }
  position.varDefs.UpdateVariables();
  position.varDefs.CreateSkribText(position.Part());
  ASSERT_TRUE(position.Part().HoldsText());
  EXPECT_EQ(position.Part().recalculationPending, 1);
  // b = 0.30 and h = 2*0.30 = 0.60, now from the document alone.
  position.variables.RemoveAll();
  position.Part().DefineVariables(0);
  double h = 0.0;
  ASSERT_TRUE(position.variables.Evaluate("h", &h)) << position.Part().text.Text();
  EXPECT_DOUBLE_EQ(h, 0.6);
  EXPECT_TRUE(position.Part().GetMessages().IsEmpty()) << position.Part().GetMessages().str();
}

// Switched off, the document is not shown, but the names it defines are the position's: they are defined (its
// formulas' macros serve them) and its text stays as it was stored.
TEST_F(SubDataTest, SwitchedOffTheDocumentStillDefinesItsNames) {
  Position position;
  SubData& part = position.Part();
  const std::string rtf =
      "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 NDG = 620\\par\r\n"
      "\\cf1 z = @Doppelt(NDG) = 0\\par\r\n}";
  part.text.SetText(rtf);
  part.isEmpty = 0;
  part.macroText = "Function Doppelt(x)\r\n  Doppelt = 2 * x\r\nEnd Function\r\n";
  position.DefineVariables();
  double ndg = 0.0, z = 0.0;
  ASSERT_TRUE(position.variables.Evaluate("NDG", &ndg));
  EXPECT_TRUE(position.variables.UndefinedReads().empty());
  EXPECT_EQ(ndg, 620.0);
  ASSERT_TRUE(position.variables.Evaluate("z", &z));
  EXPECT_EQ(z, 1240.0);
  EXPECT_EQ(part.text.Text(), rtf);
}

}  // namespace

namespace {

// Macros of three seconds each on a clock that moves a second per reading, and events that leave a trace.
constexpr const char* kSlowMacros =
    "Dim trace\r\n"
    "Function Slow(x)\r\n For i = 1 To 1500: y = i: Next\r\n Slow = x\r\nEnd Function\r\n"
    "Sub OnInitDocument(name, folder)\r\n trace = trace & \"I\"\r\nEnd Sub\r\n"
    "Sub OnStartCalculation(name, folder)\r\n trace = trace & \"S\" & Slow(0)\r\nEnd Sub\r\n"
    "Sub OnEndCalculation(name, folder)\r\n trace = trace & \"E\"\r\nEnd Sub\r\n"
    "Sub OnExitDocument(name, folder)\r\n trace = trace & \"X\"\r\nEnd Sub\r\n";

class Budgeted : public SubDataTest {
 protected:
  void SetUp() override {
    SubDataTest::SetUp();
    win::msgbox::ClearLog();
    int input = 0;
    doc = NewDocument(input, exports);
    ASSERT_TRUE(VIDUV_SaveDocAs(doc, (folder_ / "budget.tqx").c_str()));
    skrib = VIDUV_AddChildElement(input, "Skrib");
    std::string body;
    for (int k = 1; k <= 30; ++k)
      body += "\\cf1 x" + std::to_string(k) + " = @Slow(" + std::to_string(k) + ") = 0\\par\r\n";
    Position writer;
    writer.Part().text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}" + body + "}");
    writer.Part().isEmpty = 0;
    writer.Part().macroText = kSlowMacros;
    writer.Part().WriteXML(skrib, exports);
    TQSCRIPT_SetClock([this] {
      ++readings;
      return now += 1.0;
    });
  }
  void TearDown() override {
    TQSCRIPT_SetClock(nullptr);
    SubDataTest::TearDown();
  }
  std::string Trace(SubData& part) {
    TQSCRIPT_Execute(part.GetSession(), "trace");
    return TQSCRIPT_GetStrResult(part.GetSession());
  }
  int doc = 0, exports = 0, skrib = 0;
  double now = 0;
  int readings = 0;
};

// Switched off, the document part runs no macro: reading and writing a position cost nothing of the host.
TEST_F(Budgeted, ScriptsSwitchedOffRunNoMacroAndCostNothing) {
  Position position;
  position.doc = doc;
  position.Part().ReadXML(skrib);
  position.Part().WriteXML(skrib, exports);
  EXPECT_EQ(readings, 0);  // the host's clock was never read: no call was made
  ScriptsOn on;
  position.Part().ReadXML(skrib);
  EXPECT_EQ(Trace(position.Part()), "I");
  EXPECT_GT(readings, 0);
}

// A calculation of the document is one evaluation: its events and formulas share one budget. When it is spent
// the macros left are not run, the user is told once where it ran out, and the document is still written.
TEST_F(Budgeted, ACalculationSpendsOneBudgetAndSaysOnceWhereItStopped) {
  ScriptsOn on;
  Position position;
  position.doc = doc;
  SubData& part = position.Part();
  part.ReadXML(skrib);
  ASSERT_EQ(Trace(part), "I");
  // OnStartCalculation 3 s, x1 and x2 3 s each: x3 runs out of the 10 s.
  part.Calculate(RGB(7, 13, 255), -1);
  EXPECT_EQ(Trace(part), "IS0");  // OnEndCalculation was not run
  double x2 = 0.0;
  ASSERT_TRUE(position.variables.Evaluate("x2", &x2));
  EXPECT_DOUBLE_EQ(x2, 2.0);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("in der Formel \"x3 = @Slow(3) = 0\""), std::string::npos)
      << win::msgbox::Log()[0].text;
  EXPECT_NE(win::msgbox::Log()[0].text.find("Zeitbudget von 10 s"), std::string::npos);
  // The stop is said once, not again for each unit it left without a value.
  EXPECT_TRUE(part.GetMessages().IsEmpty()) << part.GetMessages().str();
  const std::string text = part.text.Text();
  EXPECT_NE(text.find("\\cf1\\ulwave x30 = @Slow(30) = 0[(Abbruch: Zeitbudget"), std::string::npos) << text;
  // Writing is an evaluation of its own: the position is saved and its event runs.
  part.WriteXML(skrib, exports);
  EXPECT_EQ(Trace(part), "IS0X");
  EXPECT_GT(VIDUV_GetBinDataLength(skrib, "rtfData"), 0);
  EXPECT_EQ(win::msgbox::Log().size(), 1u);
}

// Reading, evaluating and writing inside one open evaluation (as the calculation driver opens it) share one
// budget: the event after the stop costs nothing.
TEST_F(Budgeted, AnOpenEvaluationCoversReadingAndWriting) {
  ScriptsOn on;
  Position position;
  position.doc = doc;
  SubData& part = position.Part();
  {
    const auto evaluation = part.OpenEvaluation();
    part.ReadXML(skrib);
    part.DefineVariables(0);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_NE(win::msgbox::Log()[0].text.find("in der Formel \"x4 = @Slow(4) = 0\""), std::string::npos)
        << win::msgbox::Log()[0].text;
    const int before = readings;
    part.WriteXML(skrib, exports);
    EXPECT_EQ(readings, before);  // OnExitDocument was not called
    EXPECT_GT(VIDUV_GetBinDataLength(skrib, "rtfData"), 0);
  }
  EXPECT_EQ(Trace(part), "I");
  EXPECT_EQ(win::msgbox::Log().size(), 1u);
}

// A position whose document holds the given macro text and formula lines "r<k> = <formula> = 0" (k from 1), read
// with the macros on inside an open budget of 10 s and `bytes`, then calculated.
class MacroPosition : public SubDataTest {
 protected:
  void Calculate(const std::string& macro, const std::string& formula, int lines, std::size_t bytes) {
    win::msgbox::ClearLog();
    int input = 0, exports = 0;
    const int doc = NewDocument(input, exports);
    ASSERT_TRUE(VIDUV_SaveDocAs(doc, (folder_ / "macros.tqx").c_str()));
    skrib = VIDUV_AddChildElement(input, "Skrib");
    std::string body;
    for (int k = 1; k <= lines; ++k) body += "\\cf1 r" + std::to_string(k) + " = " + formula + " = 0\\par\r\n";
    {
      Position writer;
      writer.Part().text.SetText("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}" + body + "}");
      writer.Part().isEmpty = 0;
      writer.Part().macroText = macro.c_str();
      writer.Part().WriteXML(skrib, exports);
    }
    ScriptsOn on;
    // made here: the document part's factory is registered by SetUp
    position.emplace();
    position->doc = doc;
    TQScriptBudget budget(10, bytes);
    position->Part().ReadXML(skrib);
    position->Part().Calculate(RGB(7, 13, 255), -1);
  }
  std::optional<Position> position;
  int skrib = 0;  // the document's element, as written with the macro text
};

// Each formula line is a call of its own, and what it stores in a module variable stays. One budget for the run
// holds what they all keep: the line that goes past it fails with the budget's message, and so do the lines after
// it, without running.
TEST_F(MacroPosition, TheFormulasOfARunShareOneMemoryBudget) {
  // Each call creates 2,000,000 bytes (the text of Space and its copy into g); g's 101 elements take under 10 kB.
  // Of 8 MiB = 8,388,608 bytes four calls take 8,0xx,xxx: r5 goes past it.
  Calculate(
      "Dim g(100)\r\nDim n\r\nFunction Fill()\r\n n = n + 1\r\n g(n) = Space(1000000)\r\n Fill = n\r\n"
      "End Function\r\n",
      "@Fill()", 8, 8u << 20);
  double r4 = 0;
  ASSERT_TRUE(position->variables.Evaluate("r4", &r4));
  EXPECT_DOUBLE_EQ(r4, 4.0);
  const std::string text = position->Part().text.Text();
  for (int k = 5; k <= 8; ++k) {
    const std::string line = "r" + std::to_string(k) + " = @Fill() = 0";
    EXPECT_NE(text.find("\\ulwave " + line + "[(Abbruch: Speicherbudget von 8 MB"), std::string::npos) << text;
  }
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("in der Formel \"r5 = @Fill() = 0\""), std::string::npos)
      << win::msgbox::Log()[0].text;
  EXPECT_NE(win::msgbox::Log()[0].text.find("Abbruch: Speicherbudget von 8 MB"), std::string::npos);
}

// Macros that show boxes when they load (module-level code) show a handful, then stop with the budget's message.
TEST_F(MacroPosition, BoxesWhenTheMacrosLoadStopWithTheBudget) {
  TQSCRIPT_SetClock([] { return 0.0; });
  Calculate("Do\r\n MsgBox String(100000, \"x\")\r\nLoop\r\n", "1", 1, 8u << 20);
  TQSCRIPT_SetClock(nullptr);
  // five boxes of 2 s each, then the message of the stop
  ASSERT_EQ(win::msgbox::Log().size(), 6u);
  for (int box = 0; box < 5; ++box) EXPECT_EQ(win::msgbox::Log()[box].text.size(), 4096u + 41);
  EXPECT_NE(win::msgbox::Log()[5].text.find("Abbruch: Zeitbudget von 10 s"), std::string::npos)
      << win::msgbox::Log()[5].text;
}

// A position's macro text is bound as a macro file is: beyond 16 MiB it is not loaded, and the formula that calls
// it says why; the position keeps the text as it was read. Padded with comments, the function at its head would
// load within the bound.
TEST_F(MacroPosition, AMacroTextBeyondTheBoundIsRefusedAndKept) {
  std::string macro = "Function Inside()\r\n Inside = 1\r\nEnd Function\r\n";
  const std::string comment = "'" + std::string(1021, 'x') + "\r\n";
  while (macro.size() <= (16u << 20)) macro += comment;
  Calculate(macro, "@Inside()", 1, kTQScriptMemoryLimit);
  EXPECT_EQ(position->Part().GetMessages().str(),
            "r1 = @Inside() = 0: Unbekannte Funktion: Inside (der Makrotext wurde nicht geladen: Makrotext zu groß: "
            "mehr als 16 MB) (Zeile 1, Spalte 1)");
  // written again, the attribute is the one it was read from, byte for byte
  int input = 0, exports = 0;
  NewDocument(input, exports);
  const int again = VIDUV_AddChildElement(input, "Skrib");
  position->Part().WriteXML(again, exports);
  const std::string read = VIDUV_GetString(skrib, "VBScript"), written = VIDUV_GetString(again, "VBScript");
  EXPECT_GT(read.size(), macro.size());
  EXPECT_TRUE(written == read) << written.size() << " bytes written of " << read.size();
}

// Compiling the position's macro text counts against the run's budget: a text whose tree is larger than the budget
// stops the macros where they load, said once. 20,000 lines " x = x + 1" make over 6,400,000 bytes of tree (20,000
// statements and 80,000 expressions of more than 64 bytes each), beyond 1 MiB.
TEST_F(MacroPosition, CompilingTheMacroTextCountsAgainstTheRunsBudget) {
  std::string macro = "Function Never()\r\n";
  for (int i = 0; i < 20000; ++i) macro += " x = x + 1\r\n";
  macro += "End Function\r\n";
  Calculate(macro, "1", 1, 1u << 20);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  const std::string box = win::msgbox::Log()[0].text;
  EXPECT_NE(box.find("beim Laden der Makros"), std::string::npos) << box;
  EXPECT_NE(box.find("Abbruch: Speicherbudget von 1 MB für die Makros der Auswertung verbraucht"), std::string::npos)
      << box;
}

// A macro file that does not compile is handed to the macro editor when the macros load for the person; the repair
// replaces the file, but never one marked read-only (mode 444, which does not stop root): that one is kept and the
// box says why.
TEST_F(SubDataTest, ARepairedMacroFileIsSavedUnlessItIsMarkedReadOnly) {
  const fs::path file = folder_ / "user.bas";
  const std::string broken = "Function F(x)\r\n  F = 2 * (x\r\nEnd Function\r\n";
  const std::string repaired = "Function F(x)\r\n  F = 2 * x\r\nEnd Function\r\n";
  CString before;
  GetRegSettings().ReadString("Skrib", "userMacroFile", before, "");
  GetRegSettings().WriteString("Skrib", "userMacroFile", file.c_str());
  TQSCRIPT_SetEditor([&](int, const std::string&, const std::string&, int, int) { return repaired; });
  for (const bool readOnly : {true, false}) {
    SCOPED_TRACE(readOnly);
    fs::remove(file);
    std::ofstream(file, std::ios::binary) << broken;
    if (readOnly) fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    win::msgbox::ClearLog();
    Position position;
    EXPECT_EQ(position.Part().LoadMacros(false), 0);
    EXPECT_EQ(ReadAll(file), readOnly ? broken : repaired);
    ASSERT_EQ(win::msgbox::Log().size(), readOnly ? 1u : 0u);
    if (readOnly) {
      EXPECT_NE(win::msgbox::Log()[0].text.find("sie ist schreibgeschützt; sie bleibt, wie sie ist"), std::string::npos)
          << win::msgbox::Log()[0].text;
    }
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
  }
  TQSCRIPT_SetEditor(nullptr);
  GetRegSettings().WriteString("Skrib", "userMacroFile", before);
  win::msgbox::ClearLog();
}

// A macro text refused when the document's macros load is said where the formula that calls it fails.
TEST_F(MacroPosition, AFormulaCallingARefusedMacroSaysWhyItWasRefused) {
  Calculate("Function Probe()\r\n Probe = CreateObject(\"x\")\r\nEnd Function\r\n", "@Probe()", 1,
            kTQScriptMemoryLimit);
  EXPECT_EQ(position->Part().GetMessages().str(),
            std::string("r1 = @Probe() = 0: Unbekannte Funktion: Probe (der Makrotext wurde nicht geladen: nicht "
                        "unterstützt: CreateObject, Zeile 2, Spalte 10) (Zeile 1, Spalte 1)"));
}

}  // namespace

namespace {

// A document definition whose formula gives no value marks its name with the definition and why, with the editor
// on and off: the number that stands in for it (0, or the leading 1 of "1/0") is no value an input may take. A
// name defined by a formula that evaluates is untouched, and so is the text the editor does not show.
TEST_F(SubDataTest, ADefinitionThatFailsMarksItsNameWithWhy) {
  const std::string deep = std::string(201, '(') + "620" + std::string(201, ')');
  struct Case {
    std::vector<std::string> lines;
    std::string failure;  // of "a"; "*" ends a prefix
  };
  const Case cases[] = {
      {{"a = b"}, "a = b: 'b' nicht definiert"},
      {{"a = b", "b = a"}, "a = b: Zirkelbezug a -> b -> a"},
      {{"a = a + 1"}, "a = a + 1: Zirkelbezug a -> a"},
      {{"a = b", "b = c", "c = a"}, "a = b: Zirkelbezug a -> b -> c -> a"},
      {{"c1 = c2 + 1", "c2 = c1 + 1", "a = 2*c1"}, "a = 2*c1: c1 = c2 + 1: Zirkelbezug c1 -> c2 -> c1"},
      {{"a = sqrt(-1)"}, "a = sqrt(-1): Fehler in sqrt"},
      {{"a = " + deep}, "a = " + deep + ": Formel zu tief geschachtelt"},
      {{"a = 1/0"}, "a = 1/0: Division durch Null."},
      {{"a = 5 + b"}, "a = 5 + b: 'b' nicht definiert"},
      {{"a = 620 +* 2"}, "a = 620 +* 2: Unerwartetes Symbol: *"},
      {{"a = 1e308*10"}, "a = 1e308*10: Ergebnis inf ist keine endliche Zahl."},
      {{"a = @Fehlt(2) = 0"}, "a = @Fehlt(2): *"},  // a macro call that fails
      {{"b = 1/0", "a = 2*b"}, "a = 2*b: b = 1/0: Division durch Null."},
      {{"a = 1/0", "a = 620"}, ""},  // the later definition counts
      {{"b = 310", "a = 2*b"}, ""},
  };
  for (const int editor : {0, 1}) {
    GetRegSettings().WriteInt("", "bSkrib", editor);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.lines.back() + (editor ? " (editor on)" : " (editor off)"));
      Position position;
      SubData& part = position.Part();
      std::string rtf = "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}";
      for (const std::string& line : c.lines) rtf += "\\cf1 " + line + "\\par\r\n";
      rtf += "\\cf1 c = 7\\par\r\n}";
      part.text.SetText(rtf);
      part.isEmpty = 0;
      position.DefineVariables();
      double a = 0, cValue = 0;
      ASSERT_TRUE(position.variables.Evaluate("a", &a));
      const std::string failure = position.variables.FailedReadMessage().str();
      if (c.failure.ends_with('*')) {
        EXPECT_EQ(failure.substr(0, c.failure.size() - 1), c.failure.substr(0, c.failure.size() - 1)) << failure;
      } else {
        EXPECT_EQ(failure, c.failure);
      }
      if (c.failure.empty()) {
        EXPECT_EQ(a, 620);
      }
      ASSERT_TRUE(position.variables.Evaluate("c", &cValue));
      EXPECT_EQ(cValue, 7);
      EXPECT_TRUE(position.variables.ReadsHaveValues());
      if (!editor) {
        EXPECT_EQ(part.text.Text(), rtf);
      }
    }
  }
  GetRegSettings().WriteInt("", "bSkrib", 0);
}

}  // namespace
