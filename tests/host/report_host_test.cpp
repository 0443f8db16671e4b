// `kolumo report` as a process: a report may be asked of any position, calculated or not, so the report trusts
// nothing it reads from the file and says plainly when it could not write the new report.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>

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

std::string MitSorten(const std::string& text, const std::string& beton, const std::string& stahl) {
  return Ersetze(Ersetze(text, "<system", "sBeton=\"C30/37\"", "sBeton=\"" + beton + "\""), "<system",
                 "sStahl=\"B500B\"", "sStahl=\"" + stahl + "\"");
}

class ReportHostTest : public HostTest {
 protected:
  std::string Example() const { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
    return Path(name);
  }
  // The visible text of the report of a position written under `name`.
  std::string Report(const std::string& name, const std::string& text) {
    const HostRun run = Host({"report", Write(name + ".tqx", text)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;
    return report_test::VisibleText(Slurp(Path(name + ".rtf")));
  }
};

// Indices counted from 0 in the file are shown counted from 1; one at the end of the int range or below 0 is
// shown as it stands behind a "?", never incremented into an overflow.
const char* const kVorver =
    "type=\"0\" bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"1\" Schiefstellung=\"200\" IDPunkt=\"0\"";
const struct {
  const char *anchor, *from, *to, *shown;
} kIndices[] = {
    {"<quer ", "bewType=\"0\"", "bewType=\"2147483647\"", "|? (2147483647)|"},
    {"<quer ", "bewType=\"0\"", "bewType=\"-2147483648\"", "|? (-2147483648)|"},
    {"<load ", " node=\"1\"", " node=\"2147483647\"", "|? (2147483647)|"},
    {"<load ", " node=\"0\"", " node=\"1\"", "|2|"},  // node 1 of the file is node 2 of the page
    {"<vorver", kVorver, "type=\"1\" bAusmitte=\"0\" IDPunkt=\"2147483647\"", "Im Bezugsknoten ? (2147483647)  e"},
    {"<vorver", kVorver, "type=\"1\" bAusmitte=\"0\" IDPunkt=\"0\"", "Im Bezugsknoten 1  e"},
};

TEST_F(ReportHostTest, IndicesOutOfRangeAreShownAsTheyStand) {
  for (const auto& c : kIndices) {
    SCOPED_TRACE(c.to);
    const std::string text = Ersetze(Example(), c.anchor, c.from, c.to);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(Report("index", text).find(c.shown), std::string::npos) << "not shown: " << c.shown;
    EXPECT_TRUE(Slurp(Path("index.tqx")) == text) << "the report changed the position";
  }
}

// The material tables name the grade the calculation takes. EC2 NA (DE) lists C12/15, C16/20, C20/25, ... and
// B500A, B500B: an unknown concrete is calculated as the third (C20/25, fck = 20 N/mm²), a steel of unknown
// ductility as the least ductile (B500A, fyk = 500 N/mm²); the self weight is 25 kN/m³ for every concrete of the
// catalogue.
const struct {
  const char *beton, *stahl, *zeilen, *hinweis;  // no sentence when the grades are the catalogue's
} kGrades[] = {
    {"C30/37", "B500B", "\nC30/37|30.00|", ""},
    {"C99/115", "B500A", "\nC20/25|20.00|",
     "Die Betonsorte \"C99/115\" der Eingabe gibt es im Materialkatalog für EC2 NA (DE) nicht; gerechnet wird mit "
     "C20/25."},
    {"C30/37", "S235", "\nB500A|500.00|",
     "Die Stahlsorte \"S235\" der Eingabe gibt es im Materialkatalog für EC2 NA (DE) nicht; gerechnet wird mit "
     "B500A."},
};

TEST_F(ReportHostTest, MaterialTablesNameTheGradeTheCalculationTakes) {
  for (const auto& c : kGrades) {
    SCOPED_TRACE(std::string(c.beton) + " " + c.stahl);
    const std::string shown = Report("sorte", MitSorten(Example(), c.beton, c.stahl));
    EXPECT_NE(shown.find(c.zeilen), std::string::npos);
    EXPECT_EQ(shown.find("der Eingabe gibt es im Materialkatalog") != std::string::npos, *c.hinweis != '\0');
    EXPECT_NE(shown.find(*c.hinweis ? c.hinweis : c.zeilen), std::string::npos);
    EXPECT_NE(shown.find("|Eigengewicht Stütze|25.00|"), std::string::npos);
  }
  // the grade named is the one calculated: an unknown concrete gives the results of C20/25, not those of C30/37
  auto results = [this](const std::string& beton) {
    const std::string path = Write("r.tqx", MitSorten(Example(), beton, "B500B"));
    EXPECT_EQ(Host({"calc", path}).status, 0);
    const std::string text = Slurp(path);
    return text.substr(text.find("<result>"));
  };
  const std::string genannt = results("C20/25");
  EXPECT_TRUE(results("C99/115") == genannt);
  EXPECT_FALSE(results("C30/37") == genannt);
}

// A report that cannot be written fails with the system's reason; one standing there from before is left as it
// was and named an older one; no temporary file stays, of the report or its pictures. Root writes into read-only
// folders, so the host then runs without the capability that lets it.
void NurLesen(const fs::path& o) { fs::permissions(o, fs::perms::owner_read | fs::perms::owner_exec); }

const struct {
  bool alterBericht;  // a report written before the folder was spoilt
  void (*verderbe)(const fs::path& ordner);
  const char* grund;  // empty: the picture fails, and with it the report
} kSchreiben[] = {
    {false, NurLesen, "Permission denied"},
    {true, NurLesen, "Permission denied"},
    {false, [](const fs::path& o) { fs::create_directory(o / "Stuetze.rtf"); }, "Is a directory"},
    {false, [](const fs::path& o) { fs::create_directory(o / "Stuetze.Endsystem.bmp"); }, ""},
};

TEST_F(ReportHostTest, AReportThatCannotBeWrittenFailsWithTheSystemsReason) {
  if (::geteuid() == 0) {
    if (std::system("setpriv --bounding-set=-dac_override,-dac_read_search true 2>/dev/null") != 0)
      GTEST_SKIP() << "root without setpriv writes into read-only folders";
    prefix_ = "setpriv --bounding-set=-dac_override,-dac_read_search ";
  }
  int n = 0;
  for (const auto& c : kSchreiben) {
    SCOPED_TRACE(n);
    const fs::path ordner = folder_ / std::to_string(n++);
    fs::create_directory(ordner);
    const std::string position = (ordner / "Stuetze.tqx").string();
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", position);
    const fs::path bericht = ordner / "Stuetze.rtf";
    const bool alt = c.alterBericht && Host({"report", position}).status == 0;
    ASSERT_EQ(alt, c.alterBericht);
    const std::string altText = alt ? Slurp(bericht) : "";
    const auto altZeit = alt ? fs::last_write_time(bericht) : fs::file_time_type();
    c.verderbe(ordner);
    const HostRun run = Host({"report", position});
    fs::permissions(ordner, fs::perms::owner_all);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(bericht.string() + ": the report was not written"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.grund), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("older one, not the new report") != std::string::npos, c.alterBericht) << run.err;
    // an older report stays as it was; else none stands there
    EXPECT_EQ(fs::is_regular_file(bericht), alt);
    EXPECT_TRUE(!alt || (Slurp(bericht) == altText && fs::last_write_time(bericht) == altZeit));
    for (const auto& entry : fs::directory_iterator(ordner))
      EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << "left behind: " << entry.path();
  }
}

// A report that runs out of memory, wherever that happens, ends with status 1 and its reason, and the report
// written before stays as it was; never with a signal. Under every cap of the address space from the least that the
// report is written in (found by halving) down to where the program cannot start, 1 MiB apart: the system picture's
// bitmap, which the drawing layer used without looking whether it had its pixels, lies among them.
TEST_F(ReportHostTest, AReportOutOfMemoryEndsWithItsReasonAndKeepsTheOldReport) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space cap";
#endif
  const std::string position = Write("Stuetze.tqx", Example());
  const fs::path bericht = Path("Stuetze.rtf");
  ASSERT_EQ(Host({"report", position}).status, 0);
  std::string alt = Slurp(bericht);
  Write("fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig><dir>/usr/share/fonts</dir><cachedir>" + Path("fc-cache") +
                          "</cachedir></fontconfig>\n");
  int zuWenigSpeicher = 0;
  enum Ausgang { kGeschrieben, kAbgelehnt, kNichtGestartet };
  // The report under a cap of mb MiB.
  const auto bericht_unter = [&](long mb) {
    // a font configuration of its own: one rebuilt short of memory must not replace the machine's
    prefix_ = "env FONTCONFIG_FILE=" + Quote(Path("fonts.conf")) + " prlimit --as=" + std::to_string(mb << 20) + " ";
    const HostRun run = Host({"report", position});
    // below what the system's program loader needs: nothing of the program ran
    if (run.status == 127 && run.err.find("error while loading shared libraries") != std::string::npos)
      return kNichtGestartet;
    EXPECT_TRUE(run.status == 0 || run.status == 1) << mb << " MiB: status " << run.status << "\n" << run.err;
    for (const auto& entry : fs::directory_iterator(folder_))
      EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << mb << " MiB left " << entry.path();
    if (run.status == 0) {
      alt = Slurp(bericht);
      return kGeschrieben;
    }
    EXPECT_NE(run.err.find("kolumo: "), std::string::npos) << mb << " MiB: no reason\n" << run.err;
    if (run.err.find("Zu wenig Speicher: der Bericht wurde abgebrochen.") != std::string::npos) ++zuWenigSpeicher;
    EXPECT_TRUE(Slurp(bericht) == alt) << mb << " MiB: the old report was changed";
    return kAbgelehnt;
  };
  long failed = 1, written = 4096;
  ASSERT_EQ(bericht_unter(written), kGeschrieben);
  while (written - failed > 1) {
    const long mb = (failed + written) / 2;
    (bericht_unter(mb) == kGeschrieben ? written : failed) = mb;
  }
  for (long mb = written - 1; mb > 0 && bericht_unter(mb) != kNichtGestartet; --mb) {}
  EXPECT_GT(zuWenigSpeicher, 0) << "no cap ran the report itself out of memory";
}

// A report that fails on a full disk leaves nothing of its own beside the position: neither a part of the report nor
// the pictures it drew (the system picture alone is almost 2 MB, which would keep the disk full). A report written
// before keeps its pictures, the same files: the new ones take their names only when the new report is written.
// A limit on the size of a file between the largest picture and the report lets every picture be written and the
// report fail, as a full disk does.
TEST_F(ReportHostTest, AReportThatFailsOnAFullDiskLeavesNoPicturesBehindAndKeepsThePreviousOnes) {
  struct Datei {
    std::uintmax_t size;
    ino_t inode;
    bool operator==(const Datei&) const = default;
  };
  auto files = [](const fs::path& folder) {
    std::map<std::string, Datei> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
      struct stat status {};
      ::stat(entry.path().c_str(), &status);
      found[entry.path().filename().string()] = {entry.file_size(), status.st_ino};
    }
    return found;
  };
  const fs::path probe = folder_ / "probe", full = folder_ / "voll";
  for (const fs::path& folder : {probe, full}) {
    fs::create_directory(folder);
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", folder / "Stuetze.tqx");
    // calculated, the report holds the result diagrams too and is larger than any picture
    ASSERT_EQ(Host({"calc", (folder / "Stuetze.tqx").string()}).status, 0);
  }
  ASSERT_EQ(Host({"report", (probe / "Stuetze.tqx").string()}).status, 0);
  std::uintmax_t picture = 0, report = 0;
  for (const auto& [name, datei] : files(probe)) {
    if (name == "Stuetze.rtf") report = datei.size;
    if (name.find(".tqx") == std::string::npos && name != "Stuetze.rtf") {
      picture = std::max(picture, datei.size);
    }
  }
  ASSERT_GT(picture, 1000000u) << "the system picture";
  ASSERT_LT(picture, report) << "the report holds its pictures";
  const std::string limit = "prlimit --fsize=" + std::to_string((picture + report) / 2) + " ";

  for (const bool before : {false, true}) {
    SCOPED_TRACE(before ? "a report written before" : "no report before");
    if (before) {
      ASSERT_EQ(Host({"report", (full / "Stuetze.tqx").string()}).status, 0);
    }
    const auto there = files(full);
    // the report and its pictures, as in the probe's folder
    ASSERT_EQ(there.count("Stuetze.rtf"), before ? 1u : 0u);
    if (before) {
      ASSERT_EQ(there.size(), files(probe).size());
    }
    prefix_ = limit;
    const HostRun run = Host({"report", (full / "Stuetze.tqx").string()});
    prefix_.clear();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find((full / "Stuetze.rtf").string() + ": the report was not written"), std::string::npos)
        << run.err;
    EXPECT_TRUE(files(full) == there);
  }
}

// A limit on the size of a file between the report and its system picture (1.8 MB as a bitmap, a few hundred kB in
// the report as PNG) stops the picture, not the report that would be written without it: the report is refused naming
// the picture, and the report and picture written before stay as they were.
TEST_F(ReportHostTest, AReportWhoseSystemPictureCannotBeWrittenIsRefusedNamingIt) {
  const std::string position = Write("Stuetze.tqx", Example());
  ASSERT_EQ(Host({"report", position}).status, 0);
  const std::string bericht = Path("Stuetze.rtf"), bild = Path("Stuetze.Endsystem.bmp");
  const std::uintmax_t berichtGroesse = fs::file_size(bericht), bildGroesse = fs::file_size(bild);
  ASSERT_LT(berichtGroesse, bildGroesse);
  const std::string alt = Slurp(bericht), altBild = Slurp(bild);
  prefix_ = "prlimit --fsize=" + std::to_string((berichtGroesse + bildGroesse) / 2) + " ";
  const HostRun run = Host({"report", position});
  prefix_.clear();
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("Der Bericht wurde nicht geschrieben:\nBilddatei nicht lesbar: " + bild), std::string::npos)
      << run.err;
  EXPECT_TRUE(Slurp(bericht) == alt);
  EXPECT_TRUE(Slurp(bild) == altBild);
}

// Report time stays bounded with sizes typed in the wrong unit and thousands of loads: the example with its fields
// typed in millimetres (3200 m and 4500 m) and 3000 more point loads at the head reports in seconds, every load
// in the loads table (it took minutes in the label placement of the system picture before).
TEST_F(ReportHostTest, HugeSizesAndThousandsOfLoadsReportInSeconds) {
  std::string text = Ersetze(Ersetze(Example(), "<field fieldNr=\"0\"", "length=\"3.2\"", "length=\"3200\""),
                             "<field fieldNr=\"1\"", "length=\"4.5\"", "length=\"4500\"");
  const std::size_t at = text.find("<load lc=\"1\" LCGen=\"1\" desc=\"Dach, st");
  ASSERT_NE(at, std::string::npos);
  const std::string last = text.substr(at, text.find("/>", at) + 2 - at);
  for (int k = 0; k < 3000; ++k)
    text.insert(at, Ersetze(last, "", "val0=\"620\"", "val0=\"" + std::to_string(1 + k % 50) + "\"") + "\n");
  const auto start = std::chrono::steady_clock::now();
  const std::string shown = Report("gross", text);
  const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
#if defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(sekunden, 60.0);  // the sanitizers slow every allocation several times
#else
  EXPECT_LT(sekunden, 20.0);
#endif
  std::size_t zeilen = 0;
  for (std::size_t p = shown.find("|Dach, ständig|"); p != std::string::npos; p = shown.find("|Dach, ständig|", p + 1))
    ++zeilen;
  EXPECT_EQ(zeilen, 3001u);
  EXPECT_NE(shown.find("|3200.00|"), std::string::npos) << "the field length as typed";
}

}  // namespace
