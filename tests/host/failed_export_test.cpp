// A value a position exports while its definition failed: the exporter exports it as failed, its calculation says
// which, its report prints why; an importer whose input reads it is refused, exit 1, its file unchanged.
#include "framework/regsettings.h"
#include "platform/viduv/viduv.h"
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) return "";  // the example no longer fits: the test says so
  return text.replace(at, from.size(), to);
}

std::string WithVardef(const std::string& text, const std::string& entries, int count) {
  const std::size_t input = text.find("<input ");
  if (input == std::string::npos || text.empty()) return "";
  std::string out = text;
  out.insert(out.find('>', input) + 1, "<vardef version=\"1.1\" numOfEntries=\"" + std::to_string(count) +
                                           "\" bPageBreak=\"0\">" + entries + "</vardef>");
  return out;
}

std::string Variable(int idx, const std::string& name, const std::string& formula, const std::string& stored,
                     bool exported) {
  std::string entry = "<entry idx=\"" + std::to_string(idx) + "\" type=\"0\" digits=\"2\" desc=\"" + name +
                      "\" varName=\"" + name + "\" unit=\"kN\" val=\"" + stored + "\" bExported=\"" +
                      (exported ? "1" : "0") + "\"";
  return formula.empty() ? entry + " />" : entry + "><val exp=\"" + formula + "\" /></entry>";
}

std::string TakenOver(int idx, const std::string& source, const std::string& name) {
  return "<entry idx=\"" + std::to_string(idx) + "\" type=\"6\" digits=\"2\" varPath=\"" + source + "\\" + name +
         "\" desc=\"" + name + "\" varName=\"" + name + "\" value=\"555\" unit=\"kN\" />";
}

// The roof's permanent load of the example given by `name`, its 620 kN stored beside the formula.
std::string RoofLoadBy(const std::string& text, const std::string& name) {
  const std::size_t load = text.find("desc=\"Dach, ständig\"");
  const std::size_t end = load == std::string::npos ? load : text.find("val5=\"0\" />", load);
  if (end == std::string::npos || text.substr(load, end - load).find("val0=\"620\"") == std::string::npos) return "";
  return std::string(text).replace(end, 11, "val5=\"0\"><val0 exp=\"" + name + "\" /></load>");
}

// The exported element of `name` in a position's exports.
std::string ExportedElement(const std::string& text, const std::string& name) {
  const std::size_t exports = text.find("<exports");
  const std::size_t at = text.find("desc=\"" + name + "\"", exports);
  if (exports == std::string::npos || at == std::string::npos) return "";
  const std::size_t begin = text.rfind('<', at);
  return text.substr(begin, text.find("/>", at) - begin + 2);  // a reason may hold "->"
}

class FailedExportTest : public HostTest {
 protected:
  std::string Example() { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }
  void Write(const std::string& name, const std::string& text) {
    ASSERT_FALSE(text.empty()) << name;
    std::ofstream(Path(name), std::ios::binary) << text;
  }
};

struct FailedCase {
  const char* what;
  std::vector<std::pair<std::string, std::string>> table;  // a first (exported), then its helpers
  std::vector<std::string> document;                       // or a defined and exported by the document
  std::string reason;                                      // why a has no value
};

const FailedCase kFailed[] = {
    {"division by zero", {{"a", "1/0"}}, {}, "a = 1/0: Division durch Null."},
    {"cycle", {{"a", "b"}, {"b", "a"}}, {}, "a = b: Zirkelbezug a -> b -> a"},
    {"name defined nowhere", {{"a", "xyz"}}, {}, "a = xyz: 'xyz' nicht definiert"},
    {"self-reference", {{"a", "a+1"}}, {}, "a = a+1: Zirkelbezug a -> a"},
    {"square root of -1", {{"a", "sqrt(-1)"}}, {}, "a = sqrt(-1): Fehler in sqrt"},
    {"document: division by zero", {}, {"a = 1/0"}, "a = 1/0: Division durch Null."},
    {"document: cycle", {}, {"a = b", "b = a"}, "a = b: Zirkelbezug a -> b -> a"},
};

// The document part of the position at `path` made of `lines` in the formula colour, exporting a (stored 777 kN).
bool WithDocument(const std::string& path, const std::vector<std::string>& lines, double stored = 777) {
  std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue0;\\red7\\green13\\blue255;}";
  for (const std::string& line : lines) rtf += "\\pard\\f0\\fs20\\cf2 " + line + "\\cf1  [kN]\\par\r\n";
  rtf += "}";
  const int doc = VIDUV_OpenDoc(path.c_str());
  const int skrib = VIDUV_AddChildElement(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "Skrib");
  VIDUV_SetBinData(skrib, "rtfData", int(rtf.size()) + 1, rtf.c_str(), 0);
  VIDUV_SetInt(skrib, "isEmpty", 0);
  const int value = VIDUV_AddChildElement(VIDUV_AddChildElement(skrib, "exportValues"), "exportValue");
  VIDUV_SetString(value, "desc", "a");
  VIDUV_SetString(value, "varName", "a");
  VIDUV_SetDouble(value, "val", stored);
  VIDUV_SetString(value, "unit", "kN");
  const bool saved = VIDUV_SaveDoc(doc) == 1;
  VIDUV_CloseDoc(doc);
  return saved;
}

// The exporter (a failed, stored 777 kN; g = 620 kN, both exported) calculates: nothing of its own reads a, so it
// exits 0, names the failed export, and exports a as failed with why and without a number, g as 620. Its report
// prints why instead of "777.00 kN". The importer takes a and g over and gives its roof load as a: refused with
// the source position, the name and the reason, exit 1, its file byte for byte as it was; given as g it calculates.
TEST_F(FailedExportTest, AFailedExportReachesNoImporterAsANumber) {
  const std::string example = Example();
  for (const FailedCase& c : kFailed) {
    SCOPED_TRACE(c.what);
    std::string entries;
    int n = 0;
    for (const auto& [name, formula] : c.table)
      entries += Variable(n++, name, formula, name == "a" ? "777" : "0", name == "a");
    entries += Variable(n++, "g", "", "620", true);
    Write("EX.tqx", WithVardef(example, entries, n));
    if (!c.document.empty()) {
      ASSERT_TRUE(WithDocument(Path("EX.tqx"), c.document));
    }
    const std::string importer =
        WithVardef(RoofLoadBy(example, "a"), TakenOver(0, "EX", "a") + TakenOver(1, "EX", "g"), 2);
    Write("IM.tqx", importer);

    const HostRun exporter = Host({"calc", Path("EX.tqx")});
    EXPECT_EQ(exporter.status, 0) << exporter.err;
    EXPECT_NE(exporter.err.find("- a: " + c.reason), std::string::npos) << exporter.err;
    const std::string exported = Slurp(Path("EX.tqx"));
    const std::string a = ExportedElement(exported, "a");
    EXPECT_EQ(a.rfind("<failedValue ", 0), 0u) << a;
    EXPECT_NE(a.find("reason=\"" + c.reason + "\""), std::string::npos) << a;
    EXPECT_EQ(a.find("val="), std::string::npos) << a;
    EXPECT_NE(ExportedElement(exported, "g").find("val=\"620\""), std::string::npos) << exported;

    if (c.document.empty()) {
      const HostRun report = Host({"report", Path("EX.tqx")});
      EXPECT_EQ(report.status, 0) << report.err;
      const std::string rtf = Slurp(Path("EX.rtf"));
      EXPECT_NE(rtf.find("\\ql " + c.reason), std::string::npos);
      EXPECT_EQ(rtf.find("777.00"), std::string::npos);
    }

    const HostRun refused = Host({"calc", Path("IM.tqx")});
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_NE(refused.err.find("Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"a\": a = EX\\a: Definition in EX "
                               "fehlgeschlagen: " +
                               c.reason),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(Slurp(Path("IM.tqx")), importer);

    // the same importer with its roof load given by g, the value that worked
    Write("IM.tqx", Replaced(importer, "<val0 exp=\"a\" />", "<val0 exp=\"g\" />"));
    const HostRun taken = Host({"calc", Path("IM.tqx")});
    EXPECT_EQ(taken.status, 0) << taken.err;
    EXPECT_NE(taken.err.find("a = EX\\a: Definition in EX fehlgeschlagen: " + c.reason), std::string::npos)
        << taken.err;
  }
}

// The exporter's document defines a = g + 30 and exports it with 650 kN stored (of an earlier g = 620); its table's g
// is now 100. Its calculation and its round trip export a = 130 kN (100 + 30), the editor on as off, and the importer,
// whose roof load is EX\a, is designed for 130 kN: its results are those of the same column with 130 entered.
TEST_F(FailedExportTest, AnExportCarriesWhatTheDocumentGivesNow) {
  const std::string example = Example();
  const std::string exporter = WithVardef(example, Variable(0, "g", "", "100", true), 1);
  const std::string importer = WithVardef(RoofLoadBy(example, "a"), TakenOver(0, "EX", "a"), 1);
  std::string plainText = example;
  const std::size_t roof = plainText.find("val0=\"620\"", plainText.find("desc=\"Dach, ständig\""));
  ASSERT_NE(roof, std::string::npos);
  Write("plain.tqx", plainText.replace(roof, 10, "val0=\"130\""));
  const HostRun plain = Host({"calc", Path("plain.tqx")});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const std::string expected = Slurp(Path("plain.tqx"));
  const auto results = [](const std::string& text) {
    const std::size_t begin = text.find("<result>");
    return begin == std::string::npos ? std::string() : text.substr(begin, text.find("</result>") - begin);
  };
  ASSERT_FALSE(results(expected).empty());
  for (const int editor : {0, 1}) {
    SCOPED_TRACE(editor ? "editor on" : "editor off");
    GetRegSettings().WriteInt("", "bSkrib", editor);
    Write("EX.tqx", exporter);
    ASSERT_TRUE(WithDocument(Path("EX.tqx"), {"a = g + 30"}, 650));
    const HostRun roundtrip = Host({"roundtrip", Path("EX.tqx"), Path("back.tqx")});
    const HostRun calc = Host({"calc", Path("EX.tqx")});
    Write("IM.tqx", importer);
    const HostRun taken = Host({"calc", Path("IM.tqx")});
    GetRegSettings().WriteInt("", "bSkrib", 0);
    EXPECT_EQ(roundtrip.status, 0) << roundtrip.err;
    EXPECT_NE(ExportedElement(Slurp(Path("back.tqx")), "a").find("val=\"130\""), std::string::npos);
    EXPECT_EQ(calc.status, 0) << calc.err;
    const std::string exported = Slurp(Path("EX.tqx"));
    EXPECT_NE(ExportedElement(exported, "a").find("val=\"130\""), std::string::npos) << ExportedElement(exported, "a");
    EXPECT_NE(exported.find("<exportValue desc=\"a\" varName=\"a\" val=\"130\""), std::string::npos);
    EXPECT_EQ(taken.status, 0) << taken.err;
    const std::string designed = Slurp(Path("IM.tqx"));
    EXPECT_NE(designed.find("varPath=\"EX\\a\" desc=\"a\" varName=\"a\" value=\"130\""), std::string::npos);
    EXPECT_TRUE(results(designed) == results(expected)) << "the importer is designed for another roof load";
  }
}

// An input of the exporter that reads its failed definition stops its own calculation, as any such input does.
TEST_F(FailedExportTest, AnExporterThatReadsItsFailedDefinitionIsRefused) {
  const std::string text = WithVardef(RoofLoadBy(Example(), "a"), Variable(0, "a", "1/0", "777", true), 1);
  Write("EX.tqx", text);
  const HostRun run = Host({"calc", Path("EX.tqx")});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("val0 = \"a\": a = 1/0: Division durch Null."), std::string::npos) << run.err;
  EXPECT_EQ(Slurp(Path("EX.tqx")), text);
}

}  // namespace
