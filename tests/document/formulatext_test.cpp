// The formula text engine: units of formula-coloured text classified, evaluated against a variable store and
// written back with the decimals the engineer typed.
#include "document/formulatext.h"

#include <gtest/gtest.h>

#include "document/rtfchunks.h"
#include "document/rtfheader.h"
#include "document/symbols.h"
#include "formula/varstore.h"
#include "framework/regsettings.h"
#include "platform/tqscript/tqscript.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

constexpr unsigned long kFormula = 7ul + 256ul * 13ul + 65536ul * 255ul;
const std::string kHead =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech Symbol;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red7\\green13\\blue255;}\r\n\\pard\\f0 ";

// The document text after one evaluation against store.
std::string Evaluated(const std::string& body, CVariableStore& store, std::vector<SkribTextBlock>* out = nullptr) {
  CRtfChunkList list;
  list.SetText(kHead + body + "}");
  std::vector<SkribTextBlock> blocks;
  EvaluateText(list, kFormula, blocks, 0, nullptr, &store, 1, "");
  if (out) *out = blocks;
  const std::string text = list.Text();
  return text.substr(kHead.size(), text.size() - kHead.size() - 1);
}

double Value(CVariableStore& store, const char* name) {
  double value = -1.0;
  EXPECT_TRUE(store.Evaluate(name, &value)) << name;
  return value;
}

TEST(FormulaText, UnitsAreEvaluatedInTextOrderWithTheirTypedDecimals) {
  CVariableStore store;
  // b = 0.30, h = 0.5: A = 0.15 shown with the three decimals typed; 0.15/0.3 = 0.5 shown with the one decimal
  // typed; a definition without a shown result defines W = 0.3*0.25/6 = 0.0125 and leaves its text alone.
  const std::string text = Evaluated(
      "\\cf2 b = 0.30\\par\r\n\\cf2 h = 0.5\\par\r\n\\cf2 A = b*h = 1.000\\par\r\n\\cf2 A/0.3 = 9.9\\par\r\n"
      "\\cf2 W = b*h^2/6\\par\r\n",
      store);
  EXPECT_EQ(text,
            "\\cf2 b = 0.30\\par\r\n\\cf2 h = 0.5\\par\r\n\\cf2 A = b*h = 0.150\\par\r\n\\cf2 A/0.3 = 0.5\\par\r\n"
            "\\cf2 W = b*h^2/6\\par\r\n");
  EXPECT_DOUBLE_EQ(Value(store, "A"), 0.15);
  EXPECT_DOUBLE_EQ(Value(store, "W"), 0.0125);
}

TEST(FormulaText, AskedResultsAndTheDecimalComma) {
  // b = 0,30 keeps its comma; A = 2 b = 0.6 asked with "?" shows the one decimal it needs, with the comma the
  // units before it use; c = 1/3 asked in a text without commas shows six decimals, 0.333333; d = 2,5 * 2 = 5
  // keeps the two typed decimals and the comma.
  CVariableStore store;
  EXPECT_EQ(Evaluated("\\cf2 b = 0,30\\par\r\n\\cf2 A = b*2 = ?\\par\r\n\\cf2 d = 2,5*2 = 0,00\\par\r\n", store),
            "\\cf2 b = 0,30\\par\r\n\\cf2 A = b*2 = 0,6\\par\r\n\\cf2 d = 2,5*2 = 5,00\\par\r\n");
  EXPECT_DOUBLE_EQ(Value(store, "A"), 0.6);
  CVariableStore other;
  EXPECT_EQ(Evaluated("\\cf2 c = 1/3 = ?\\par\r\n\\cf2 4 - 4 = ?\\par\r\n", other),
            "\\cf2 c = 1/3 = 0.333333\\par\r\n\\cf2 4 - 4 = 0\\par\r\n");
}

TEST(FormulaText, AskedResultsFollowTheNearestCommaBeforeThemThroughOtherAskedOnes) {
  const struct {
    const char* body;
    const char* shown;  // the last unit's shown value
  } cases[] = {
      // 1/4 asked after an asked unit that followed the comma of b = 0,5: 0,25.
      {"\\cf2 b = 0,5\\par\r\n\\cf2 c = b*2 = ?\\par\r\n\\cf2 d = 1/4 = ?\\par\r\n", "0,25"},
      // The comma stands after the first asked unit: the second follows it.
      {"\\cf2 c = 2/4 = ?\\par\r\n\\cf2 b = 0,5\\par\r\n\\cf2 d = 1/4 = ?\\par\r\n", "0,25"},
      // No comma anywhere before: a point.
      {"\\cf2 b = 0.5\\par\r\n\\cf2 c = b*2 = ?\\par\r\n\\cf2 d = 1/4 = ?\\par\r\n", "0.25"},
  };
  for (const auto& c : cases) {
    CVariableStore store;
    std::vector<SkribTextBlock> blocks;
    Evaluated(c.body, store, &blocks);
    ASSERT_EQ(blocks.size(), 3u) << c.body;
    EXPECT_EQ(blocks[2].result, c.shown) << c.body;
  }
}

// A sum without a count takes the nearest range at or before it, however many units stand between.
TEST(FormulaText, ASumWithoutCountTakesTheNearestRangeBeforeIt) {
  // Ranges 1 + 2 and 10 + 20: t after the second range is 30; u, two units later, still 30; s inside the first
  // range after its units sums them with its own typed result 0: 3.
  CVariableStore store;
  Evaluated(
      "/*S+*/\\cf2 1\\par\r\n\\cf2 2\\par\r\n\\cf2 s = SUMME = 0\\par\r\n/*S-*/\\cf2 7\\par\r\n"
      "/*S+*/\\cf2 10\\par\r\n\\cf2 20\\par\r\n/*S-*/\\cf2 t = SUMME = 0\\par\r\n\\cf2 8\\par\r\n"
      "\\cf2 u = SUMME = 0\\par\r\n",
      store);
  EXPECT_DOUBLE_EQ(Value(store, "s"), 3.0);
  EXPECT_DOUBLE_EQ(Value(store, "t"), 30.0);
  EXPECT_DOUBLE_EQ(Value(store, "u"), 30.0);
}

// A sum after a far larger number takes its own units whole: 0.001 and 0.001 + 0.002, not the 0 that running sums
// kept as doubles (1e20 + 0.001 rounds to 1e20) would leave of them. The evaluation of one unit alone, as the
// editor's input values evaluate it, sums the same.
TEST(FormulaText, ASumAfterAFarLargerNumberKeepsItsSmallUnits) {
  CVariableStore store;
  std::vector<SkribTextBlock> blocks;
  const std::string text = Evaluated(
      "\\cf2 100000000000000000000\\par\r\n\\cf2 0.001\\par\r\n\\cf2 s = SUMME(1) = 0.000\\par\r\n"
      "/*S+*/\\cf2 0.001\\par\r\n\\cf2 0.002\\par\r\n/*S-*/\\cf2 t = SUMME = 0.000\\par\r\n",
      store, &blocks);
  EXPECT_NE(text.find("s = SUMME(1) = 0.001\\par"), std::string::npos) << text;
  EXPECT_NE(text.find("t = SUMME = 0.003\\par"), std::string::npos) << text;
  ASSERT_EQ(blocks.size(), 6u);
  for (int unit : {2, 5}) {
    CVariableStore alone;
    blocks[std::size_t(unit)].formula = unit == 2 ? "SUMME(1)" : "SUMME";
    EvaluateBlock(blocks, unit, 0, alone, 1, "");
    EXPECT_EQ(blocks[std::size_t(unit)].result, unit == 2 ? "0.001" : "0.003");
  }
}

// Each line of a document defines a variable that the next reads: the store's view of its variables takes each
// definition in, it is not built again from all variables for every line.
TEST(FormulaText, EvaluatingADocumentReadsEachVariableAFewTimesOnly) {
  constexpr int kLines = 3000;
  std::string body;
  for (int i = 0; i < kLines; ++i)
    body += "\\cf2 a" + std::to_string(i) + " = " + (i ? "a" + std::to_string(i - 1) + " + 1" : "0") + "\\par\r\n";
  CVariableStore global, store;
  store.m_pParent = &global;
  for (int i = 0; i < 100; ++i) global.SetVariable(("Pos 2\\g" + std::to_string(i)).c_str(), "", "", i);
  std::vector<SkribTextBlock> blocks;
  Evaluated(body, store, &blocks);
  ASSERT_EQ(blocks.size(), std::size_t(kLines));
  EXPECT_DOUBLE_EQ(Value(store, "a2999"), 2999.0);
  // The first read resolves the 100 global variables; every later definition looks its key up in two stores,
  // and the last read above rebuilds nothing. Rebuilt per line: 100 + i records at line i, 4.8 million in all.
  EXPECT_LE(store.ResolvedEntries(), std::uint64_t(100 + 2 * kLines));
}

// The passes over a document's text (units cut out, joined again, the text fitted to the report) visit each of its
// bytes a few times, however long it is. Units replaced in place moved the rest of the text each time, and each
// unit searched all font changes, pictures and sum ranges of the document: at 160,000 lines hundreds of bytes per
// byte of text, where about ten stay.
TEST(FormulaText, EvaluatingAndPreparingADocumentCostEightTimesAsMuchForEightTimesTheLines) {
  struct Cost {
    double work = 0;
    double bytes = 0;
  };
  auto cost = [](int lines) {
    std::string body;
    for (int i = 0; i < lines; ++i) {
      const std::string n = std::to_string(i);
      switch (i % 8) {
        case 0:  // a shown result that grows: the text around it moves
          body += "\\cf2 a" + n + " = " + n + "*3 = 0\\cf1  [m]\\par\r\n";
          break;
        case 1:  // a Greek letter: a change to the Symbol font and back
          body += "\\cf2\\f1 s\\f0 _" + n + " = 1.5\\par\r\n";
          break;
        case 2: body += "{\\pict\\pngblip\\picw2\\pich3 89504e47}\\par\r\n"; break;
        case 3: body += "/*S+*/\\cf2 " + n + "\\par\r\n"; break;
        case 4: body += "/*S-*/\\cf2 t" + n + " = SUMME = 0\\par\r\n"; break;
        case 5:  // an undefined name: marked wavy in the document, the mark taken away for the report
          body += "\\cf2 u" + n + " = q*2 = 0.00\\par\r\n";
          break;
        case 6:  // a table row: its line end after "\\row" is a unit of its own, of no kind
          body += "\\trowd\\cellx2000\\pard\\intbl\\cf2 b" + n + " = 2\\cell\\row\r\n";
          break;
        default: body += "\\cf1 Text /*verborgen*/\\par\r\n";
      }
    }
    CVariableStore store;
    CRtfChunkList list;
    list.SetText(kHead + body + "}");
    const std::uint64_t before = DocumentTextWork();
    std::vector<SkribTextBlock> blocks;
    EvaluateText(list, kFormula, blocks, 0, nullptr, &store, 1, "");
    EXPECT_EQ(blocks.size(), std::size_t(lines / 8 * 7)) << lines;
    ReportHeaderTables tables;
    PrepareForReport("{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red0\\green0\\blue0;}", list, tables);
    return Cost{double(DocumentTextWork() - before), double(list.Text().size())};
  };
  const Cost small = cost(20000), large = cost(160000);
  // about eight per byte of text, long or short
  EXPECT_GT(small.work, small.bytes);
  EXPECT_LT(large.work / large.bytes, 1.1 * small.work / small.bytes)
      << small.work << " for 20,000 lines, " << large.work << " for 160,000";
  EXPECT_LT(large.work, 12 * large.bytes);
}

TEST(FormulaText, TheLastParagraphEndsAtTheClosingBrace) {
  // A text typed without a final Enter: its last unit e = 3*2 = 6 stands right before the document's "}".
  CVariableStore store;
  EXPECT_EQ(Evaluated("\\cf2 e = 3*2 = 0", store), "\\cf2 e = 3*2 = 6");
  EXPECT_DOUBLE_EQ(Value(store, "e"), 6.0);
}

TEST(FormulaText, FunctionsSumsAndChecksWriteTheirOutputIntoTheUnit) {
  CVariableStore store;
  std::vector<SkribTextBlock> blocks;
  // checkmax(0.95) passes the limit 1.0; checkmax(1.2; 1) fails and shows the limit as 1.00 (two decimals);
  // druckeas(4; 16) = 4*pi*0.8^2 = 8.0425 cm2; SUMME(2) = 1.20 + 8.04 = 9.24 (the shown results);
  // max(2; 7; 3) = 7.
  const std::string text = Evaluated(
      "\\cf2 u = @checkmax(0.95) = 0.00\\par\r\n\\cf2 v = @checkmax(1.2;1) = 0.00\\par\r\n"
      "\\cf2 As = @druckeas(4;16) = 0.00\\par\r\n\\cf2 S = SUMME(2) = 0.00\\par\r\n\\cf2 m = @max(2;7;3) = 0\\par\r\n",
      store, &blocks);
  EXPECT_NE(text.find("u = @checkmax(0.95) = 0.95[<1.00]\\par"), std::string::npos) << text;
  EXPECT_NE(text.find("v = @checkmax(1.2;1) = 1.20[<1.00 Nicht erf\\'fcllt!]\\par"), std::string::npos) << text;
  EXPECT_NE(text.find("As = @druckeas(4;16) = 8.04[gew\\'e4hlt: 4 \\f1 \\'c6\\f0  16]\\par"), std::string::npos)
      << text;
  EXPECT_NEAR(Value(store, "As"), 8.04248, 1e-5);
  EXPECT_DOUBLE_EQ(Value(store, "S"), 9.24);
  EXPECT_DOUBLE_EQ(Value(store, "m"), 7.0);
}

TEST(FormulaText, SumRangesAndTheirMarkers) {
  // The sum covers 1.5 + 2.5 inside the range; the unit outside (10) does not count.
  CVariableStore store;
  Evaluated("\\cf2 10\\par\r\n/*S+*/\\cf2 1.5\\par\r\n\\cf2 2.5\\par\r\n/*S-*/\\cf2 t = SUMME = 0.0\\par\r\n", store);
  EXPECT_DOUBLE_EQ(Value(store, "t"), 4.0);
  // One marker missing: no sum range, the sum is 0.
  CVariableStore unpaired;
  Evaluated("\\cf2 10\\par\r\n/*S+*/\\cf2 1.5\\par\r\n\\cf2 t = SUMME = 0.0\\par\r\n", unpaired);
  EXPECT_DOUBLE_EQ(Value(unpaired, "t"), 0.0);
}

TEST(FormulaText, AnErrorIsUnderlinedAndShownEscapedAndDisappearsWhenMended) {
  CVariableStore store;
  std::vector<SkribTextBlock> blocks;
  const std::string text = Evaluated("\\cf2 x = q*2 = 0.00\\par\r\n", store, &blocks);
  ASSERT_FALSE(blocks.empty());
  EXPECT_FALSE(blocks[0].message.empty());
  EXPECT_EQ(text.rfind("\\cf2\\ulwave x = q*2 = 0.00[(", 0), 0u) << text;
  EXPECT_NE(text.find(")]\\ulnone \\par"), std::string::npos) << text;
  // Now q exists: the same text loses its mark and message (a store emptied as a calculation empties it).
  CVariableStore mended;
  mended.SetVariable("q", "q", "", 1.5);
  CRtfChunkList list;
  list.SetText(kHead + text + "}");
  EvaluateText(list, kFormula, blocks, 0, nullptr, &mended, 1, "");
  EXPECT_EQ(list.Text(), kHead + "\\cf2 x = q*2 = 3.00\\par\r\n}");
  // The settings may keep errors out of the text.
  GetRegSettings().WriteInt("Skrib", "bGenErrors", 0);
  CVariableStore quiet;
  const std::string silent = Evaluated("\\cf2 y = p+1 = 0\\par\r\n", quiet);
  EXPECT_EQ(silent.find("\\ulwave"), std::string::npos) << silent;
  EXPECT_EQ(silent.find("[("), std::string::npos) << silent;
  GetRegSettings().WriteInt("Skrib", "bGenErrors", 1);
}

// A unit whose number is none says why in the text, as the unit whose formula failed does: the number it shows would
// otherwise stand in the report as a result. A unit whose names all have values shows its number unmarked.
TEST(FormulaText, AUnitReadingANameWithoutAValueSaysWhyInTheText) {
  const std::string failing = "\\cf2 a = 1/0 = 0.00\\par\r\n\\cf2 d = q = 0.00\\par\r\n";
  struct Case {
    std::string line;
    std::string shown;  // the unit as the text holds it after the evaluation
  };
  const Case cases[] = {
      {"\\cf2 b = 2*a = 0.00\\par\r\n", "\\cf2\\ulwave b = 2*a = 0.00[('a' hat keinen Wert)]\\ulnone \\par\r\n"},
      {"\\cf2 2*a + 1 = 0.00\\par\r\n", "\\cf2\\ulwave 2*a + 1 = 0.00[('a' hat keinen Wert)]\\ulnone \\par\r\n"},
      {"\\cf2 e = d + 1 = 0.00\\par\r\n", "\\cf2\\ulwave e = d + 1 = 0.00[('d' hat keinen Wert)]\\ulnone \\par\r\n"},
      {"\\cf2 c = 1e308*10 = 0.00\\par\r\n",
       "\\cf2\\ulwave c = 1e308*10 = inf[(Ergebnis inf ist keine endliche Zahl.)]\\ulnone \\par\r\n"},
      {"\\cf2 f = @max(a; 2) = 0.00\\par\r\n",
       "\\cf2\\ulwave f = @max(a; 2) = 2.00[('a' hat keinen Wert)]\\ulnone \\par\r\n"},
      {"\\cf2 g = 2*3 = 0.00\\par\r\n", "\\cf2 g = 2*3 = 6.00\\par\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    CVariableStore store;
    const std::string text = Evaluated(failing + c.line, store);
    EXPECT_TRUE(text.ends_with(c.shown)) << text;
  }
  // Its definition is marked with the reason of the name it read, as before.
  CVariableStore store;
  Evaluated(failing + cases[0].line, store);
  double b = 0;
  ASSERT_TRUE(store.Evaluate("b", &b));
  EXPECT_EQ(store.FailedReadMessage().str(), "b = 2*a: a = 1/0: Division durch Null.");
  // Once the name has a value the mark goes; the settings may keep it out of the text as any other.
  CVariableStore mended;
  EXPECT_EQ(Evaluated("\\cf2 a = 1/2 = 0.00\\par\r\n" + cases[0].shown, mended),
            "\\cf2 a = 1/2 = 0.50\\par\r\n\\cf2 b = 2*a = 1.00\\par\r\n");
  GetRegSettings().WriteInt("Skrib", "bGenErrors", 0);
  CVariableStore quiet;
  EXPECT_EQ(Evaluated(failing + cases[0].line, quiet).find("hat keinen Wert"), std::string::npos);
  GetRegSettings().WriteInt("Skrib", "bGenErrors", 1);
}

// A definition on a cycle says the cycle in the text, not that the name it read is not defined while that name
// stands defined below; a formula reading one of them says whose value it lacks. A cycle broken goes at the next
// evaluation, and a name defined again after its cycle keeps what its first definition said.
TEST(FormulaText, ADefinitionOnACycleSaysTheCycleInTheText) {
  CVariableStore store;
  std::vector<SkribTextBlock> blocks;
  const std::string text = Evaluated(
      "\\cf2 c1 = c2 + 1 = 0.00\\par\r\n\\cf2 c2 = c1 + 1 = 0.00\\par\r\n\\cf2 a = 2*c1 = 0.00\\par\r\n"
      "\\cf2 x = x + 1 = 0.00\\par\r\n\\cf2 u = v = 0.00\\par\r\n\\cf2 v = u = 0.00\\par\r\n\\cf2 u = 3 = "
      "0.00\\par\r\n",
      store, &blocks);
  EXPECT_EQ(text,
            "\\cf2\\ulwave c1 = c2 + 1 = 0.00[(Zirkelbezug c1 -> c2 -> c1)]\\ulnone \\par\r\n"
            "\\cf2\\ulwave c2 = c1 + 1 = 0.00[(Zirkelbezug c2 -> c1 -> c2)]\\ulnone \\par\r\n"
            "\\cf2\\ulwave a = 2*c1 = 0.00[('c1' hat keinen Wert)]\\ulnone \\par\r\n"
            "\\cf2\\ulwave x = x + 1 = 0.00[(Zirkelbezug x -> x)]\\ulnone \\par\r\n"
            "\\cf2\\ulwave u = v = 0.00[('v' nicht definiert)]\\ulnone \\par\r\n"
            "\\cf2\\ulwave v = u = 0.00[(Zirkelbezug v -> u -> v)]\\ulnone \\par\r\n"
            "\\cf2\\ulwave u = 3 = 3.00[(u wird \\'fcberschrieben mit 3.00)]\\ulnone \\par\r\n");
  ASSERT_EQ(blocks.size(), 7u);
  EXPECT_EQ(blocks[0].failure, "Zirkelbezug c1 -> c2 -> c1");  // what the formula overview shows
  EXPECT_EQ(blocks[0].message, "Zirkelbezug c1 -> c2 -> c1");  // what the document's messages list
  // c2 given a number: c1 reads it before it is defined, which is no cycle.
  std::string mended = text;
  const std::string c2 = "c2 = c1 + 1 = 0.00[(Zirkelbezug c2 -> c1 -> c2)]";
  mended.replace(mended.find(c2), c2.size(), "c2 = 4 = 0.00");
  CVariableStore again;
  const std::string after = Evaluated(mended, again);
  EXPECT_EQ(after.substr(0, after.find("\\par")), "\\cf2\\ulwave c1 = c2 + 1 = 0.00[('c2' nicht definiert)]\\ulnone ");
  EXPECT_NE(after.find("\\cf2 c2 = 4 = 4.00\\par"), std::string::npos) << after;
  EXPECT_EQ(after.find("Zirkelbezug c2"), std::string::npos) << after;
}

TEST(FormulaText, OnlyTheFormulaColourAsAWholeControlWordIsEvaluated) {
  const std::string body = "\\cf12 a = 2*1 = 0\\par\r\n\\cf1 b = 2*1.0 = 0.0\\par\r\n}";
  const struct {
    const char* table;
    std::string expected;
  } cases[] = {
      // The formula colour is 1: "\cf12" is another colour, "\cf1" alone starts formula text (b = 2.0).
      {"{\\colortbl ;\\red7\\green13\\blue255;\\red0\\green0\\blue0;}",
       "\\cf12 a = 2*1 = 0\\par\r\n\\cf1 b = 2*1.0 = 2.0\\par\r\n}"},
      // No formula colour at all: nothing is formula text, the document stays as it is.
      {"{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}", body},
  };
  for (const auto& c : cases) {
    const std::string head = std::string("{\\rtf1") + c.table + "\r\n";
    CRtfChunkList list;
    list.SetText(head + body);
    CVariableStore store;
    store.SetVariable("a", "a", "", 5.0);
    std::vector<SkribTextBlock> blocks;
    EvaluateText(list, kFormula, blocks, 0, nullptr, &store, 1, "");
    EXPECT_EQ(list.Text(), head + c.expected) << c.table;
    EXPECT_DOUBLE_EQ(Value(store, "a"), 5.0) << "the \\cf12 unit must not define a";
  }
}

// A colour's red, green and blue are read within 0..255, however many digits they have: the value red + 256 green +
// 65536 blue stays a colour and the table still finds the formula colour.
TEST(FormulaText, ColourNumbersBeyondAByteAreReadAsItsLimits) {
  const struct {
    const char* table;
    std::vector<unsigned long> colours;
  } cases[] = {
      // Blue beyond a long reads 255: red 7, green 13, blue 255 is the formula colour.
      {"{\\colortbl ;\\red7\\green13\\blue9223372036854775807;}", {0, kFormula}},
      // 0 for a negative red, 255 for a green of 23 digits and a blue of 256: 255*256 + 255*65536 = 16776960.
      {"{\\colortbl ;\\red-9223372036854775808\\green99999999999999999999999\\blue256;}", {0, 16776960ul}},
  };
  for (const auto& c : cases) {
    std::vector<unsigned long> colours;
    ReadColourTable(std::string("{\\rtf1") + c.table + "}", colours);
    EXPECT_EQ(colours, c.colours) << c.table;
  }
  const std::string text = "{\\rtf1{\\colortbl ;\\red7\\green13\\blue9223372036854775807;}\\cf1 k = 2*3 = 0\\par\r\n}";
  EXPECT_EQ(FindColourIndex(text, kFormula), 1);
  CRtfChunkList list;
  list.SetText(text);
  std::vector<SkribTextBlock> blocks;
  CVariableStore store;
  EvaluateText(list, kFormula, blocks, 0, nullptr, &store, 1, "");
  EXPECT_DOUBLE_EQ(Value(store, "k"), 6.0);
}

TEST(FormulaText, PicturesInFormulaTextStayByteForByte) {
  CVariableStore store;
  const std::string picture = "{\\pict\\pngblip\\picw2\\pich3 89504e47=0d0a\\par 1a0a}";
  const std::string text = Evaluated("\\cf2 k = 2*3 = 0" + picture + "\\par\r\n", store);
  EXPECT_EQ(text, "\\cf2 k = 2*3 = 6" + picture + "\\par\r\n");
}

TEST(FormulaText, GreekLettersOfTheSymbolFontBecomeNames) {
  CVariableStore store;
  // "\f1" is the Symbol font: its a is alpha, s sigma; the a in Arial stays a.
  Evaluated("\\cf2\\f1 a\\f0  = 2.5\\par\r\n\\cf2 a = 4\\par\r\n\\cf2\\f1 s\\f0  = a*2 = 0\\par\r\n", store);
  EXPECT_DOUBLE_EQ(Value(store, "alpha"), 2.5);
  EXPECT_DOUBLE_EQ(Value(store, "a"), 4.0);
  EXPECT_DOUBLE_EQ(Value(store, "sigma"), 8.0);
}

TEST(FormulaText, ClassifiesUnitsByTheirPlainText) {
  const struct {
    const char* plain;
    int type;
    const char* name;
    const char* formula;
    int decimals;
  } cases[] = {
      {"b = 0.30 ", 2, "b", "0.30", 2}, {"A = b*2 = 1.0", 4, "A", "b*2", 1},   {"b*h = 0,125", 3, "", "b*h", 3},
      {"N == 12", 3, "", "N", 0},       {"W = b*h^2/6", 2, "W", "b*h^2/6", 2}, {"12.5", 1, "", "", 2},
      {"a = b = c = 1", 0, "", "", 2},  {"Summe = 3", 3, "", "Summe", 0},      {"r = x = #.###", 4, "r", "x", 3},
      {"Z:bb = 1", 2, "bb", "1", 0},
  };
  for (const auto& c : cases) {
    SkribTextBlock block;
    block.plain = c.plain;
    block.rtf = c.plain;
    ClassifyBlock(block);
    EXPECT_EQ(block.type, c.type) << c.plain;
    EXPECT_EQ(block.name, c.name) << c.plain;
    EXPECT_EQ(block.formula, c.formula) << c.plain;
    EXPECT_EQ(block.decimals, c.decimals) << c.plain;
  }
}

TEST(FormulaText, PlainTextOfUnits) {
  const struct {
    const char* rtf;
    const char* plain;
  } cases[] = {
      {"A = 5 [kN]", "A = 5 "},
      {"\\pard\\intbl x\\cell y\\cell \\row", "x y "},
      {"/*Text*/ und /*S+*/1/*S-*/", "Text und 1"},
      {"a\\\\b", "a\\b"},
  };
  for (const auto& c : cases) {
    std::string plain;
    RtfToPlain(plain, c.rtf, 0, nullptr);
    EXPECT_EQ(plain, c.plain) << c.rtf;
  }
  // A unit of 10000 characters or more keeps its letters: no Greek names.
  const std::vector<int> runs{0, -1, 20000};
  std::string plain;
  RtfToPlain(plain, std::string(10000, 'a'), 0, &runs);
  EXPECT_EQ(plain.find("alpha"), std::string::npos);
  // Offset 1: x at 1 lies before the Symbol run's boundary (1 is not below 1), a at 2 inside it.
  RtfToPlain(plain, "xa", 1, &runs);
  EXPECT_EQ(plain, "xalpha");
}

}  // namespace

namespace {

// A count in SUMME(n) covers the units before it; a count beyond them is that formula's error and is not
// counted up to: the largest count there is ends at once, as a count one too many does.
TEST(FormulaText, ASumCountBeyondTheUnitsBeforeItIsAnError) {
  const std::string before = "\\cf2 1.5\\par\r\n\\cf2 2.5\\par\r\n";
  const struct {
    const char* count;
    double sum;         // of the units before
    const char* error;  // a part of the unit's message; empty: none
  } cases[] = {
      {"2", 4.0, ""},
      {"1", 2.5, ""},
      {"3", 0.0, "SUMME(3): mehr Zeilen als davor stehen (2)"},
      {"9223372036854775807", 0.0, "SUMME(9223372036854775807): mehr Zeilen als davor stehen (2)"},
      {"99999999999999999999999", 0.0, "mehr Zeilen als davor stehen (2)"},
  };
  for (const auto& c : cases) {
    CVariableStore store;
    std::vector<SkribTextBlock> blocks;
    const std::string text = Evaluated(before + "\\cf2 t = SUMME(" + c.count + ") = 0.0\\par\r\n", store, &blocks);
    ASSERT_EQ(blocks.size(), 3u) << c.count;
    EXPECT_DOUBLE_EQ(Value(store, "t"), c.sum) << c.count;
    if (*c.error) {
      EXPECT_NE(blocks[2].message.find(c.error), std::string::npos) << c.count << ": " << blocks[2].message;
      EXPECT_NE(text.find("\\cf2\\ulwave t = SUMME("), std::string::npos) << text;
    } else {
      EXPECT_EQ(blocks[2].message, "") << c.count;
    }
  }
}

// A design function given numbers beyond what a count or a diameter can be says so instead of converting them.
TEST(FormulaText, DesignFunctionsRefuseNumbersOutOfRange) {
  for (const char* call : {"@druckeas(1e300;16)", "@druckeas(4;1e300)", "@druckeasb(1e300;10;15)"}) {
    CVariableStore store;
    std::vector<SkribTextBlock> blocks;
    Evaluated(std::string("\\cf2 As = ") + call + " = 0.00\\par\r\n", store, &blocks);
    ASSERT_EQ(blocks.size(), 1u) << call;
    EXPECT_NE(blocks[0].message.find("Wert außerhalb des Bereichs"), std::string::npos) << call;
    EXPECT_DOUBLE_EQ(Value(store, "As"), 0.0) << call;
  }
}

}  // namespace

namespace {

class Macros : public testing::Test {
 protected:
  void SetUp() override {
    session = TQSCRIPT_StartSession();
    ASSERT_EQ(TQSCRIPT_AddMacro(session,
                                "Function Bad(x)\n Bad = x / 0\nEnd Function\n"
                                "Function Good(x)\n Good = x\nEnd Function\n"
                                "Dim calls\nFunction Slow(x)\n calls = calls + 1\n"
                                " For i = 1 To 1500: y = i: Next\n Slow = x\nEnd Function"),
              1);
    win::msgbox::ClearLog();
  }
  void TearDown() override {
    TQSCRIPT_SetClock(nullptr);
    TQSCRIPT_EndSession(session);
  }
  std::string Evaluate(const std::string& body, std::vector<SkribTextBlock>& blocks) {
    CRtfChunkList list;
    list.SetText(kHead + body + "}");
    EvaluateText(list, kFormula, blocks, session, nullptr, &store, 1, "");
    return list.Text();
  }
  int session = 0;
  CVariableStore store;
};

// The first error of a unit's calls is the one it shows: a later call that goes well does not wipe it out.
TEST_F(Macros, TheFirstFailingCallOfAUnitKeepsItsMessage) {
  std::vector<SkribTextBlock> blocks;
  const std::string text = Evaluate("\\cf2 w = @Bad(1) + @Good(2) = 0\\par\r\n", blocks);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_NE(blocks[0].message.find("Division durch Null in Bad"), std::string::npos) << blocks[0].message;
  EXPECT_NE(text.find("\\ulwave w = @Bad(1) + @Good(2) = 2[("), std::string::npos) << text;
}

// Thirty units calling a macro of three seconds share one budget of ten: the fourth call runs out of it, the
// ones after it are not run, each of them shows why, and the user is told once, of the unit where it ran out.
TEST_F(Macros, UnitsShareTheBudgetAndTheStopIsSaidOnce) {
  double now = 0;
  TQSCRIPT_SetClock([&now] { return now += 1.0; });
  std::string body;
  for (int k = 1; k <= 30; ++k)
    body += "\\cf2 x" + std::to_string(k) + " = @Slow(" + std::to_string(k) + ") = 0\\par\r\n";
  std::vector<SkribTextBlock> blocks;
  {
    TQScriptBudget budget(10);
    Evaluate(body, blocks);
  }
  ASSERT_EQ(blocks.size(), 30u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(blocks[std::size_t(k)].message, "") << k;
    EXPECT_FALSE(blocks[std::size_t(k)].scriptsStopped) << k;
    EXPECT_DOUBLE_EQ(Value(store, ("x" + std::to_string(k + 1)).c_str()), k + 1.0);
  }
  for (std::size_t k = 3; k < blocks.size(); ++k) {
    EXPECT_TRUE(blocks[k].scriptsStopped) << k;
    EXPECT_EQ(blocks[k].message.rfind("Abbruch: Zeitbudget von 10 s", 0), 0u) << k << ": " << blocks[k].message;
  }
  TQSCRIPT_Execute(session, "calls");
  EXPECT_EQ(TQSCRIPT_GetStrResult(session), "4");  // the calls after the fourth never ran
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("in der Formel \"x4 = @Slow(4) = 0\""), std::string::npos)
      << win::msgbox::Log()[0].text;
}

}  // namespace
