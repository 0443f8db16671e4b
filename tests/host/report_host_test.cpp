// `kolumo report` as a process: a report may be asked of any position, calculated or not, so the report trusts
// nothing it reads from the file and says plainly when it could not write the new report.
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
