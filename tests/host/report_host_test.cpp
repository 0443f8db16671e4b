// `kolumo report` as a process: a report may be asked of any position, calculated or not, so the report trusts
// nothing it reads from the file and says plainly when it could not write the new report.
#include <unistd.h>

#include <chrono>

#include "tests/host/host_run.h"
#include "tests/report/rtf_text.h"

namespace {

using namespace host_test;

// Replaces the first `from` after the first `anchor`; empty when the example no longer fits the case.
std::string Ersetze(std::string text, const std::string& anchor, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(anchor);
  const std::size_t at = start == std::string::npos ? std::string::npos : text.find(from, start);
  if (at == std::string::npos) return "";
  return text.replace(at, from.size(), to);
}

class ReportHostTest : public HostTest {
 protected:
  std::string Example() const { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
    return Path(name);
  }
  std::string ReportText(const std::string& name) const { return report_test::VisibleText(Slurp(Path(name))); }
};

// Indices counted from 0 in the file are shown counted from 1; an index at the end of the int range (or below 0)
// is shown as it stands behind a "?", never incremented into an overflow.
struct IndexCase {
  const char* name;
  const char* anchor;
  const char* from;
  const char* to;
  const char* shown;  // in the visible text of the report
};

const IndexCase kIndices[] = {
    {"layout at int max", "<quer ", "bewType=\"0\"", "bewType=\"2147483647\"", "|? (2147483647)|"},
    {"layout below 0", "<quer ", "bewType=\"0\"", "bewType=\"-2147483648\"", "|? (-2147483648)|"},
    {"load node at int max", "<load ", " node=\"1\"", " node=\"2147483647\"", "|? (2147483647)|"},
    // a valid index still counts from 1: node 1 of the file is node 2 of the page
    {"load node 1", "<load ", " node=\"0\"", " node=\"1\"", "|2|"},
    {"imperfection reference node at int max", "<vorver",
     "type=\"0\" bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"1\" Schiefstellung=\"200\" IDPunkt=\"0\"",
     "type=\"1\" bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"0\" Schiefstellung=\"200\" IDPunkt=\"2147483647\"",
     "Im Bezugsknoten ? (2147483647)  e"},
    {"imperfection reference node 0", "<vorver",
     "type=\"0\" bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"1\" Schiefstellung=\"200\" IDPunkt=\"0\"",
     "type=\"1\" bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"0\" Schiefstellung=\"200\" IDPunkt=\"0\"",
     "Im Bezugsknoten 1  e"},
};

TEST_F(ReportHostTest, IndicesOutOfRangeAreShownAsTheyStand) {
  for (const IndexCase& c : kIndices) {
    SCOPED_TRACE(c.name);
    const std::string text = Ersetze(Example(), c.anchor, c.from, c.to);
    ASSERT_FALSE(text.empty()) << "the example no longer holds " << c.from;
    const std::string path = Write("index.tqx", text);
    const HostRun run = Host({"report", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;
    EXPECT_NE(ReportText("index.rtf").find(c.shown), std::string::npos) << "not shown: " << c.shown;
    EXPECT_EQ(Slurp(path), text) << "the report changed the position";
  }
}

}  // namespace

// The material tables name the grade the calculation takes. The example's code is EC2 NA (DE), whose catalogue
// lists C12/15, C16/20, C20/25, ... and B500A, B500B: an unknown concrete is calculated as the third (C20/25,
// fck = 20 N/mm²), an unknown steel as the second (B500B, fyk = 500 N/mm²), and the report says so.
struct GradeCase {
  const char* name;
  const char* beton;
  const char* stahl;
  const char* betonZeile;  // the concrete row up to fck
  const char* stahlZeile;  // the steel row up to fyk
  const char* hinweis;     // the sentence below the tables; empty when the grades are the catalogue's
};

const GradeCase kGrades[] = {
    {"grades of the catalogue", "C30/37", "B500B", "\nC30/37|30.00|", "\nB500B|500.00|", ""},
    {"unknown concrete", "C99/115", "B500A", "\nC20/25|20.00|", "\nB500A|500.00|",
     "Die Betonsorte \"C99/115\" der Eingabe gibt es im Materialkatalog für EC2 NA (DE) nicht; gerechnet wird mit "
     "C20/25."},
    {"unknown steel", "C30/37", "S235", "\nC30/37|30.00|", "\nB500B|500.00|",
     "Die Stahlsorte \"S235\" der Eingabe gibt es im Materialkatalog für EC2 NA (DE) nicht; gerechnet wird mit "
     "B500B."},
};

std::string MitSorten(const std::string& text, const char* beton, const char* stahl) {
  return Ersetze(Ersetze(text, "<system", "sBeton=\"C30/37\"", std::string("sBeton=\"") + beton + "\""), "<system",
                 "sStahl=\"B500B\"", std::string("sStahl=\"") + stahl + "\"");
}

TEST_F(ReportHostTest, MaterialTablesNameTheGradeTheCalculationTakes) {
  for (const GradeCase& c : kGrades) {
    SCOPED_TRACE(c.name);
    const std::string text = MitSorten(Example(), c.beton, c.stahl);
    ASSERT_FALSE(text.empty());
    const HostRun run = Host({"report", Write("sorte.tqx", text)});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string shown = ReportText("sorte.rtf");
    EXPECT_NE(shown.find(c.betonZeile), std::string::npos) << shown.substr(shown.find("Materialien"), 600);
    EXPECT_NE(shown.find(c.stahlZeile), std::string::npos) << shown.substr(shown.find("Materialien"), 600);
    if (*c.hinweis)
      EXPECT_NE(shown.find(c.hinweis), std::string::npos);
    else
      EXPECT_EQ(shown.find("der Eingabe gibt es im Materialkatalog"), std::string::npos);
    // the self weight is the unit weight of the grade taken (25 kN/m³ for every grade of the catalogue)
    EXPECT_NE(shown.find("|Eigengewicht Stütze|25.00|"), std::string::npos);
  }
}

// The grade the report names is the one calculated: an unknown concrete gives the results of C20/25.
TEST_F(ReportHostTest, UnknownGradeIsCalculatedAsTheGradeTheReportNames) {
  auto results = [](const std::string& position) { return position.substr(position.find("<result>")); };
  const std::string unbekannt = Write("unbekannt.tqx", MitSorten(Example(), "C99/115", "B500B"));
  const std::string genannt = Write("genannt.tqx", MitSorten(Example(), "C20/25", "B500B"));
  const std::string anders = Write("anders.tqx", MitSorten(Example(), "C30/37", "B500B"));
  for (const std::string& path : {unbekannt, genannt, anders}) ASSERT_EQ(Host({"calc", path}).status, 0) << path;
  EXPECT_TRUE(results(Slurp(unbekannt)) == results(Slurp(genannt)));
  // and the comparison can fail: another grade gives other results
  EXPECT_FALSE(results(Slurp(anders)) == results(Slurp(genannt)));
}

// A report that cannot be written fails with the system's reason; a report standing there from before is left
// as it was and named an older one, and no temporary file stays. Root writes into read-only folders, so the
// host then runs without the capability that lets it.
struct SchreibCase {
  const char* name;
  bool alterBericht;            // a report written before the folder was spoilt
  void (*verderbe)(const fs::path& ordner);
  const char* grund;            // the system's reason in the message
};

const SchreibCase kSchreiben[] = {
    {"read-only folder", false, [](const fs::path& o) { fs::permissions(o, fs::perms::owner_read | fs::perms::owner_exec); },
     "Permission denied"},
    {"read-only folder with an older report", true,
     [](const fs::path& o) { fs::permissions(o, fs::perms::owner_read | fs::perms::owner_exec); }, "Permission denied"},
    {"a folder where the report belongs", false, [](const fs::path& o) { fs::create_directory(o / "Stuetze.rtf"); },
     "Is a directory"},
};

TEST_F(ReportHostTest, AReportThatCannotBeWrittenFailsWithTheSystemsReason) {
  if (::geteuid() == 0) {
    if (std::system("setpriv --bounding-set=-dac_override,-dac_read_search true 2>/dev/null") != 0)
      GTEST_SKIP() << "root without setpriv writes into read-only folders";
    prefix_ = "setpriv --bounding-set=-dac_override,-dac_read_search ";
  }
  for (const SchreibCase& c : kSchreiben) {
    SCOPED_TRACE(c.name);
    const fs::path ordner = folder_ / c.name;
    fs::create_directory(ordner);
    const std::string position = (ordner / "Stuetze.tqx").string();
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", position);
    const fs::path bericht = ordner / "Stuetze.rtf";
    std::string alt;
    fs::file_time_type altZeit;
    if (c.alterBericht) {
      ASSERT_EQ(Host({"report", position}).status, 0);
      alt = Slurp(bericht);
      altZeit = fs::last_write_time(bericht);
    }
    c.verderbe(ordner);
    const HostRun run = Host({"report", position});
    fs::permissions(ordner, fs::perms::owner_all);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(bericht.string() + ": the report was not written"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.grund), std::string::npos) << run.err;
    if (c.alterBericht) {
      EXPECT_NE(run.err.find("older one, not the new report"), std::string::npos) << run.err;
      EXPECT_TRUE(Slurp(bericht) == alt);
      EXPECT_TRUE(fs::last_write_time(bericht) == altZeit);
    } else {
      EXPECT_FALSE(fs::is_regular_file(bericht));
    }
    for (const auto& entry : fs::directory_iterator(ordner))
      EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << "left behind: " << entry.path();
  }
}

// A picture whose place is taken by a folder is not written; its temporary file does not stay either.
TEST_F(ReportHostTest, APictureThatCannotBeWrittenLeavesNoTemporaryFile) {
  const std::string position = Write("Stuetze.tqx", Example());
  fs::create_directory(folder_ / "Stuetze.Endsystem.bmp");
  const HostRun run = Host({"report", position});
  EXPECT_TRUE(run.status == 0 || run.status == 1) << run.err;
  for (const auto& entry : fs::directory_iterator(folder_))
    EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << "left behind: " << entry.path();
}

// Report time stays bounded with sizes typed in the wrong unit or thousands of loads: the example with its fields
// typed in millimetres (3200 m and 4500 m) and with 3000 more point loads at the head reports in seconds, with
// every load in the loads table (it took minutes in the label placement of the system picture before).
TEST_F(ReportHostTest, HugeSizesAndThousandsOfLoadsReportInSeconds) {
  std::string text = Ersetze(Ersetze(Example(), "<field fieldNr=\"0\"", "length=\"3.2\"", "length=\"3200\""),
                             "<field fieldNr=\"1\"", "length=\"4.5\"", "length=\"4500\"");
  ASSERT_FALSE(text.empty());
  const std::size_t at = text.find("<load lc=\"1\" LCGen=\"1\" desc=\"Dach, st");
  ASSERT_NE(at, std::string::npos);
  const std::string last = text.substr(at, text.find("/>", at) + 2 - at);
  std::string lasten;
  for (int k = 0; k < 3000; ++k)
    lasten += Ersetze(last, "", "val0=\"620\"", "val0=\"" + std::to_string(1 + k % 50) + "\"") + "\n";
  text.insert(at, lasten);
  const std::string path = Write("gross.tqx", text);
  const auto start = std::chrono::steady_clock::now();
  const HostRun run = Host({"report", path});
  const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(run.status, 0) << run.err;
#if defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(sekunden, 60.0);  // the sanitizers slow every allocation several times
#else
  EXPECT_LT(sekunden, 20.0);
#endif
  const std::string shown = ReportText("gross.rtf");
  std::size_t zeilen = 0;
  for (std::size_t p = shown.find("|Dach, ständig|"); p != std::string::npos; p = shown.find("|Dach, ständig|", p + 1))
    ++zeilen;
  EXPECT_EQ(zeilen, 3001u);
  EXPECT_NE(shown.find("|3200.00|"), std::string::npos) << "the field length as typed";
}
