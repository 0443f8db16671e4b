// A column position with a document part through the host program: `kolumo calc` evaluates the document's
// formulas against the position's variables, `kolumo report` prints the evaluated document, and reading and
// writing keep the document byte for byte; a document with a group left open still reads in the report.
#include "document/formulatext.h"
#include "formula/vardef.h"
#include "framework/regsettings.h"
#include "platform/richedit/richdoc.h"
#include "platform/richedit/richtext.h"
#include "platform/viduv/viduv.h"
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

const fs::path kData = fs::path(KOLUMO_TEST_DATA) / "document";

// The document's RTF as the position stores it (without the buffer's terminating zero).
std::string StoredRtf(const std::string& path) {
  const int doc = VIDUV_OpenDoc(path.c_str());
  const int skrib = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "Skrib");
  std::string bytes(std::size_t(std::max(VIDUV_GetBinDataLength(skrib, "rtfData"), 0)), '\0');
  VIDUV_GetBinData(skrib, "rtfData", bytes.data());
  VIDUV_CloseDoc(doc);
  return bytes.c_str();
}

std::string Element(const std::string& file, const char* name) {
  const std::size_t start = file.find(std::string("<") + name);
  const std::size_t end = file.find(std::string("</") + name + ">", start);
  return start == std::string::npos || end == std::string::npos ? std::string() : file.substr(start, end - start);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class DocumentHostTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    GetRegSettings().WriteInt("", "bSkrib", 1);
    input_ = Slurp(kData / "formulas.rtf");
    // The example column with one variable definition, fck = 30 N/mm2, and the document part.
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("doc.tqx"));
    const int doc = VIDUV_OpenDoc(Path("doc.tqx").c_str());
    const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
    CVarDefList definitions;
    auto fck = std::make_unique<CVarDefVariable>();
    fck->varName = "fck";
    fck->desc = "Betondruckfestigkeit";
    fck->unit = "N/mm2";
    fck->value = 30.0;
    definitions.Add(std::move(fck));
    definitions.WriteData(input);
    const int skrib = VIDUV_AddChildElement(input, "Skrib");
    VIDUV_SetInt(skrib, "iPage", 1);
    VIDUV_SetBinData(skrib, "rtfData", int(input_.size()) + 1, input_.c_str(), 0);
    VIDUV_SetInt(skrib, "isEmpty", 0);
    ASSERT_TRUE(VIDUV_SaveDoc(doc));
    VIDUV_CloseDoc(doc);
  }
  void TearDown() override {
    GetRegSettings().WriteInt("", "bSkrib", 0);
    HostTest::TearDown();
  }
  std::string input_;
};

TEST_F(DocumentHostTest, CalcEvaluatesTheDocumentAgainstThePositionsVariables) {
  const HostRun run = Host({"calc", Path("doc.tqx")});
  ASSERT_EQ(run.status, 0) << run.err;
  // The failing unit is one of the calculation's messages; the calculation and the saving went on.
  EXPECT_NE(run.err.find("Fehler in den Formeln des Dokuments"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("x = q*2 = 0.00: "), std::string::npos) << run.err;

  // Worked by hand: A = 0.30*0.6 = 0.180; I = 0.30*0.6^3/12 = 0.0054; fcd = 0.85*30/1.5 = 17.0 (fck from the
  // position's definitions); eta = A/0.2 = 0.90 <= 1.00; As = 4*pi*(1.6/2)^2 = 8.0425 cm2 for 4 bars of 16 mm;
  // S = SUMME(2) = 0.90 + 8.04 = 8.94 (the two shown results above it). q is defined nowhere: x is marked.
  // sigma = 1.5 (s in the Symbol font), the blue "c = 9.99" is not formula text, the picture stays.
  std::string expected = input_;
  expected = Replaced(expected, "A = b*h = 0.000", "A = b*h = 0.180");
  expected = Replaced(expected, "I = b*h^3/12 = 0.00000", "I = b*h^3/12 = 0.00540");
  expected = Replaced(expected, "fcd = 0.85*fck/1.5 = 0.0", "fcd = 0.85*fck/1.5 = 17.0");
  expected = Replaced(expected, "eta = @checkmax(A/0.2) = 0.00", "eta = @checkmax(A/0.2) = 0.90[<1.00]");
  expected = Replaced(expected, "As = @druckeas(4;16) = 0.00",
                      "As = @druckeas(4;16) = 8.04[gew\\'e4hlt: 4 \\f2 \\'c6\\f0  16]");
  expected = Replaced(expected, "S = SUMME(2) = 0.00", "S = SUMME(2) = 8.94");
  expected = Replaced(expected, "\\cf2 x = q*2 = 0.00\\par", "\\cf2\\ulwave x = q*2 = 0.00[(MESSAGE)]\\ulnone \\par");
  std::string stored = StoredRtf(Path("doc.tqx"));
  const std::size_t open = stored.find("[(");
  const std::size_t close = stored.find(")]\\ulnone", open);
  ASSERT_NE(close, std::string::npos) << stored;
  const std::string message = stored.substr(open + 2, close - open - 2);
  EXPECT_NE(message.find('q'), std::string::npos) << message;
  EXPECT_EQ(stored.replace(open + 2, message.size(), "MESSAGE"), expected);
}

TEST_F(DocumentHostTest, TheReportHoldsTheEvaluatedDocumentWithItsFontsAndColours) {
  ASSERT_EQ(Host({"calc", Path("doc.tqx")}).status, 0);
  const HostRun run = Host({"report", Path("doc.tqx")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string report = Slurp(Path("doc.rtf"));
  // The formula colour and Wingdings were not among the report's own: both went into its tables, and the body
  // refers to them by their numbers there.
  const int colour = FindColourIndex(report, 7ul + 256ul * 13ul + 65536ul * 255ul);
  ASSERT_GT(colour, 0) << report.substr(0, 600);
  EXPECT_NE(report.find("\\cf" + std::to_string(colour) + " fcd = 0.85*fck/1.5 = 17.0"), std::string::npos)
      << report.substr(report.find("Querschnitt"), 900);
  EXPECT_NE(report.find("Wingdings;}"), std::string::npos);
  EXPECT_NE(report.find("A = b*h = 0.180"), std::string::npos);
  EXPECT_NE(report.find("\\v intern\\v0 "), std::string::npos);  // hidden in the report
  EXPECT_EQ(report.find("\\ulwave"), std::string::npos);
  EXPECT_NE(report.find("{\\pict\\pngblip\\picw2\\pich3"), std::string::npos);
  // The report leaves the position file as it was.
  EXPECT_EQ(Element(Slurp(Path("doc.tqx")), "rtfFiles"), "");
}

TEST_F(DocumentHostTest, ReadingAndWritingKeepTheDocumentByteForByte) {
  // Without evaluation the element goes through reading and writing unchanged.
  GetRegSettings().WriteInt("", "bSkrib", 0);
  ASSERT_EQ(Host({"roundtrip", Path("doc.tqx"), Path("once.tqx")}).status, 0);
  ASSERT_EQ(Host({"roundtrip", Path("once.tqx"), Path("twice.tqx")}).status, 0);
  EXPECT_EQ(StoredRtf(Path("once.tqx")), input_);
  EXPECT_EQ(Element(Slurp(Path("once.tqx")), "Skrib"), Element(Slurp(Path("twice.tqx")), "Skrib"));
  // An evaluated document is its own evaluation: evaluating it again changes no byte, also when the input
  // dialog's editor shows it (the engineer changed nothing, so the stored text goes back as it was).
  GetRegSettings().WriteInt("", "bSkrib", 1);
  ASSERT_EQ(Host({"calc", Path("doc.tqx")}).status, 0);
  ASSERT_EQ(Host({"roundtrip", Path("doc.tqx"), Path("again.tqx")}).status, 0);
  EXPECT_EQ(StoredRtf(Path("again.tqx")), StoredRtf(Path("doc.tqx")));
}

// The position's document part replaced: its text and its macros.
void SetDocument(const std::string& path, const std::string& rtf, const std::string& macros) {
  const int doc = VIDUV_OpenDoc(path.c_str());
  const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
  const int skrib = VIDUV_FindFirstChild(input, "Skrib");
  VIDUV_SetBinData(skrib, "rtfData", int(rtf.size()) + 1, rtf.c_str(), 0);
  VIDUV_SetBinData(skrib, "VBScript", int(macros.size()), macros.c_str(), 0);
  ASSERT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);
}

// A sum over more units than stand before it is that formula's error: calculation and report end, the error is
// said, and the position is saved with its results.
TEST_F(DocumentHostTest, ASumBeyondTheUnitsBeforeItIsAnErrorOfItsFormula) {
  const std::string huge = Replaced(input_, "S = SUMME(2)", "S = SUMME(9223372036854775807)");
  SetDocument(Path("doc.tqx"), huge, "");
  const HostRun calc = Host({"calc", Path("doc.tqx")});
  ASSERT_EQ(calc.status, 0) << calc.err;
  EXPECT_NE(calc.err.find("S = SUMME(9223372036854775807) = 0.00: SUMME(9223372036854775807): mehr Zeilen als "
                          "davor stehen (7)"),
            std::string::npos)
      << calc.err;
  EXPECT_NE(Element(Slurp(Path("doc.tqx")), "result"), "");
  const HostRun report = Host({"report", Path("doc.tqx")});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_NE(Slurp(Path("doc.rtf")).find("S = SUMME(9223372036854775807) = 0.00"), std::string::npos);
}

// Events run on every read and write of a position while the document part is switched on; switched off, none
// runs and none costs anything.
TEST_F(DocumentHostTest, EventsRunOnlyWithTheDocumentPartSwitchedOn) {
  SetDocument(Path("doc.tqx"), input_,
              "Sub OnInitDocument(name, folder)\r\n MsgBox \"gelesen: \" & name\r\nEnd Sub\r\n"
              "Sub OnExitDocument(name, folder)\r\n MsgBox \"geschrieben: \" & name\r\nEnd Sub\r\n");
  GetRegSettings().WriteInt("", "bSkrib", 0);
  HostRun off = Host({"calc", Path("doc.tqx")});
  ASSERT_EQ(off.status, 0) << off.err;
  EXPECT_EQ(off.err.find("gelesen"), std::string::npos) << off.err;
  EXPECT_EQ(off.err.find("geschrieben"), std::string::npos) << off.err;
  GetRegSettings().WriteInt("", "bSkrib", 1);
  HostRun on = Host({"calc", Path("doc.tqx")});
  ASSERT_EQ(on.status, 0) << on.err;
  EXPECT_NE(on.err.find("gelesen: doc"), std::string::npos) << on.err;
  EXPECT_NE(on.err.find("geschrieben: doc"), std::string::npos) << on.err;
}

// An event whose macro stops on an error says so, naming the event and where the error stands in the macro text;
// the statements after it do not run, and an event the document has no procedure for says nothing.
TEST_F(DocumentHostTest, AnEventThatStopsOnAnErrorSaysWhichAndWhere) {
  SetDocument(Path("doc.tqx"), input_,
              "Sub OnInitDocument(name, folder)\r\n  Dim a()\r\n  ReDim a(2147483647)\r\n  MsgBox \"danach\"\r\n"
              "End Sub\r\n"
              "Sub OnExitDocument(name, folder)\r\n  x = 1 / 0\r\nEnd Sub\r\n");
  const HostRun run = Host({"calc", Path("doc.tqx")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("danach"), std::string::npos) << run.err;
  // Line 3 of the macros, its array a at column 9; line 7, the division sign at column 9 (when the position is
  // written).
  EXPECT_NE(run.err.find("Das Ereignis OnInitDocument des Dokuments wurde mit einem Fehler abgebrochen:\n"
                         "Array zu groß in OnInitDocument (Zeile 3, Spalte 9)"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Das Ereignis OnExitDocument des Dokuments wurde mit einem Fehler abgebrochen:\n"
                         "Division durch Null in OnExitDocument (Zeile 7, Spalte 9)"),
            std::string::npos)
      << run.err;
  // The report's calculation runs the two calculation events, which the document has no procedure for.
  const HostRun report = Host({"report", Path("doc.tqx")});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_NE(report.err.find("Das Ereignis OnInitDocument"), std::string::npos) << report.err;
  for (const char* silent : {"OnStartCalculation", "OnEndCalculation"})
    EXPECT_EQ(report.err.find(std::string("Das Ereignis ") + silent), std::string::npos) << report.err;
}

// Macros that show boxes of a megabyte without end: without a screen a box returns at once, yet each counts 2 s of
// the run's 10 s, so calc shows five (four when the run's own work before them took some of the time), each cut to
// 4096 bytes on standard error, and then says the budget is spent.
TEST_F(DocumentHostTest, AnEndlessLoopOfHugeBoxesPrintsAHandfulAndStops) {
  SetDocument(Path("doc.tqx"), input_,
              "Sub OnInitDocument(name, folder)\r\n Do\r\n  MsgBox String(1000000, \"x\")\r\n Loop\r\nEnd Sub\r\n");
  const HostRun run = Host({"calc", Path("doc.tqx")});
  ASSERT_EQ(run.status, 0) << run.err.substr(0, 2000);
  const std::string box = "[message box: Makro] " + std::string(4096, 'x') + "\n… (gekürzt, insgesamt 1000000 Zeichen)";
  std::size_t boxes = 0;
  for (std::size_t at = run.err.find(box); at != std::string::npos; at = run.err.find(box, at + 1)) ++boxes;
  EXPECT_GE(boxes, 4u);
  EXPECT_LE(boxes, 5u);
  EXPECT_LT(run.err.size(), 30000u);
  EXPECT_NE(run.err.find("Die Makros des Dokuments wurden angehalten im Ereignis OnInitDocument:\nAbbruch: "
                         "Zeitbudget von 10 s"),
            std::string::npos)
      << run.err.substr(run.err.size() > 2000 ? run.err.size() - 2000 : 0);
}

// A document whose last group was left open (one closing brace short) is closed before the report takes it: the
// report reads whole, the document's text at its top and the report's own after it, in the output tab and on paper.
TEST_F(DocumentHostTest, ADocumentWithAGroupLeftOpenCostsNeitherItsTextNorTheReport) {
  SetDocument(Path("doc.tqx"),
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Dokumenttext 4711\\par Text {\\b fett\\par}", "");
  const HostRun run = Host({"report", Path("doc.tqx")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string report = Slurp(Path("doc.rtf"));
  richdoc::Document read;
  ASSERT_NO_THROW(read.ReadRtf(report)) << report.substr(0, 2000);
  const std::string text = read.PlainText(0, read.Length());
  const std::size_t document = text.find("Dokumenttext 4711\r\nText fett\r\n");
  ASSERT_NE(document, std::string::npos) << text.substr(0, 400);
  EXPECT_TRUE(read.CharAt(int(text.find("fett"))).bold);
  EXPECT_FALSE(read.CharAt(int(text.find("Dokumenttext"))).bold);
  EXPECT_GT(text.find("Eingabedaten Ortbetonst\xfctze"), document) << text.substr(0, 400);
  EXPECT_NE(text.find("Lagerbeschreibung"), std::string::npos);

  // The output tab shows the report file as this box does.
  CRichText box;
  ASSERT_TRUE(box.ShowFile(Path("doc.rtf").c_str()));
  EXPECT_NE(box.GetText().str().find("Dokumenttext 4711"), std::string::npos);

  // "drucken" prints the report it read into a PDF.
  if (std::system("command -v pdftotext >/dev/null") != 0) GTEST_SKIP() << "pdftotext missing";
  std::string error;
  ASSERT_TRUE(richedit::PrintToPdf(read, Path("doc.pdf"), Path("doc.rtf"), &error)) << error;
  ASSERT_EQ(std::system(("pdftotext " + Quote(Path("doc.pdf")) + " " + Quote(Path("doc.txt"))).c_str()), 0);
  const std::string printed = Slurp(Path("doc.txt"));
  EXPECT_NE(printed.find("Dokumenttext 4711"), std::string::npos) << printed.substr(0, 400);
  EXPECT_NE(printed.find("Lagerbeschreibung"), std::string::npos);
}

// The report's text as the rich-text reader sees it; a report that does not read fails the test with its reason.
std::string ReportText(const std::string& rtf) {
  richdoc::Document read;
  try {
    read.ReadRtf(rtf);
  } catch (const richdoc::RtfError& error) {
    ADD_FAILURE() << "the report does not read: " << error.what();
    return {};
  }
  return read.PlainText(0, read.Length());
}

// A font entry with binary data in it reads alone; the report takes its fonts over so that it reads too, with the
// document's text, and prints. The data runs past the font table into the document's text, or past its end.
TEST_F(DocumentHostTest, AFontEntryWithBinaryDataLeavesTheReportReadable) {
  const char* const documents[] = {
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\f\\bin99 swiss Arial;}{\\f1\\fnil Wingdings;}}\\pard\\f0 Dokumenttext 4711\\par"
      "\\f1 Zeichen\\par}",
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\f\\bin99 swiss Arial;}}\\pard Dokumenttext 4711 {\\b fett}\\par}",
  };
  for (const char* document : documents) {
    SetDocument(Path("doc.tqx"), document, "");
    const HostRun run = Host({"report", Path("doc.tqx")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string report = Slurp(Path("doc.rtf"));
    richdoc::Document read;
    ASSERT_NO_THROW(read.ReadRtf(report)) << document;
    const std::string text = read.PlainText(0, read.Length());
    EXPECT_EQ(text.find("Dokumenttext 4711"), 0u) << text.substr(0, 400);
    EXPECT_NE(text.find("Lagerbeschreibung"), std::string::npos);
    // no binary data in the report's header, which a word processor would read past the font table
    EXPECT_EQ(report.substr(0, report.find("\\pard")).find("\\bin"), std::string::npos) << report.substr(0, 800);

    if (std::system("command -v pdftotext >/dev/null") != 0) GTEST_SKIP() << "pdftotext missing";
    std::string error;
    ASSERT_TRUE(richedit::PrintToPdf(read, Path("doc.pdf"), Path("doc.rtf"), &error)) << error;
    ASSERT_EQ(std::system(("pdftotext " + Quote(Path("doc.pdf")) + " " + Quote(Path("doc.txt"))).c_str()), 0);
    EXPECT_NE(Slurp(Path("doc.txt")).find("Dokumenttext 4711"), std::string::npos);
  }
}

// Binary runs in the document's body, information or header groups stay out of the report, with their bytes: the
// report reads, holds the document's text before its own, and a word processor opens it (it refuses a run that
// reaches past the text's end and reads a long one for minutes).
TEST_F(DocumentHostTest, BinaryRunsOfTheDocumentStayOutOfTheReport) {
  const struct {
    const char* name;
    const char* document;
  } cases[] = {
      {"body", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Dokumenttext\\bin3 }{x 4711\\par}"},
      {"long", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Dokumenttext {\\bin2147483647 x}4711\\par}"},
      {"info", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\info{\\title Probe\\bin99 xy}}\\pard Dokumenttext 4711\\par}"},
      {"header",
       "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\header\\pard Kopf\\bin2 ab\\par}\\pard Dokumenttext 4711\\par}"},
  };
  for (const auto& c : cases) {
    SetDocument(Path("doc.tqx"), c.document, "");
    const HostRun run = Host({"report", Path("doc.tqx")});
    ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
    const std::string report = Slurp(Path("doc.rtf"));
    EXPECT_EQ(report.find("\\bin"), std::string::npos) << c.name;
    const std::string text = ReportText(report);
    EXPECT_EQ(text.find("Dokumenttext 4711"), 0u) << c.name << ": " << text.substr(0, 200);
    EXPECT_NE(text.find("Lagerbeschreibung"), std::string::npos) << c.name;
    fs::copy_file(Path("doc.rtf"), Path(std::string(c.name) + ".rtf"));
  }
  if (std::system("command -v soffice >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no soffice or pdftotext";
  // A profile of its own, so that a running office suite or a parallel test does not hold the conversion.
  std::string convert = "cd " + Quote(folder_.string()) + " && timeout 300 soffice -env:UserInstallation=file://" +
                        Path("office") + " --headless --convert-to pdf";
  for (const auto& c : cases) convert += std::string(" ") + c.name + ".rtf";
  ASSERT_EQ(std::system((convert + " >/dev/null 2>&1").c_str()), 0);
  for (const auto& c : cases) {
    const std::string pdf = Path(std::string(c.name) + ".pdf");
    ASSERT_TRUE(fs::exists(pdf)) << c.name << ": the word processor did not open the report";
    ASSERT_EQ(std::system(("pdftotext " + Quote(pdf) + " " + Quote(Path("doc.txt"))).c_str()), 0);
    EXPECT_NE(Slurp(Path("doc.txt")).find("Dokumenttext 4711"), std::string::npos) << c.name;
  }
}

// A typed document often ends without a paragraph mark: its last line stays a line of its own, before the report's
// first heading; a document that ends with a mark or a table row gets no empty line.
TEST_F(DocumentHostTest, TheDocumentsLastLineEndsBeforeTheReportsFirstHeading) {
  const std::pair<const char*, const char*> cases[] = {
      {"Ende}", "Ende\r\n"},
      {"{\\b Ende}}", "Ende\r\n"},
      {"\\qc Ende\\par}", "Ende\r\n"},
      {"\\trowd\\cellx2000\\pard\\intbl Ende\\cell\\row}", "Ende\t\r\n"},
  };
  for (const auto& [ending, shown] : cases) {
    SetDocument(Path("doc.tqx"), std::string("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Anfang\\par ") + ending, "");
    const HostRun run = Host({"report", Path("doc.tqx")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = ReportText(Slurp(Path("doc.rtf")));
    EXPECT_EQ(text.find(std::string("Anfang\r\n") + shown + "Eingabedaten Ortbetonst\xfctze"), 0u)
        << ending << "\n"
        << text.substr(0, 200);
  }
}

// A report that does not read never takes the previous report's place: the command fails with the reader's reason.
TEST_F(DocumentHostTest, AReportThatDoesNotReadFailsAndKeepsThePreviousOne) {
  ASSERT_EQ(Host({"report", Path("doc.tqx")}).status, 0);
  const std::string previous = Slurp(Path("doc.rtf"));
  // A block stored in the position (as calculate-and-store holds it there while it runs) whose font table adds an
  // entry without its number to the report's own fonts: that entry would stand in the report's table.
  const std::size_t fonts = previous.find("{\\fonttbl");
  const std::size_t own = previous.find("}}", fonts);
  ASSERT_NE(own, std::string::npos);
  const std::string block =
      "{\\rtf1\\ansi" + previous.substr(fonts, own + 1 - fonts) + "{\\fnil Kaputt;}}\\pard Block\\par}";
  const int doc = VIDUV_OpenDoc(Path("doc.tqx").c_str());
  const int files = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "rtfFiles");
  VIDUV_SetBinData(files, "vardef", int(block.size()), block.c_str(), 0);
  ASSERT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);

  const HostRun run = Host({"report", Path("doc.tqx")});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find(Path("doc.rtf") + ": the report was not written"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("a font table entry does not begin with \\f and its number"), std::string::npos) << run.err;
  EXPECT_EQ(Slurp(Path("doc.rtf")), previous);
}

}  // namespace
