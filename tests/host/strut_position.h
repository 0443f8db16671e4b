// Columns of the shear and detailing cases written as positions and run through `kolumo calc` and `kolumo report`,
// and readers of what those print.
#pragma once

#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "column/kolumodata.h"
#include "tests/column/calc_run_support.h"
#include "tests/host/host_run.h"
#include "tests/report/rtf_text.h"

namespace strut_test {

// The column of the shear cases: one field of 0.6 m, 35 x 35 cm, C30/37, four bars of 20 mm (pi cm2 each) with
// their axes 5 cm from the faces, four members, the strut at 45 degrees; held sideways at the head and at the
// foot, which also carries it along the axis: no moment at either end. No imperfection, no axial load. One
// horizontal line load q (kN/m, along X) over the whole field in load case 1 and one combination "Ed" 1.35*(1).
inline void ScherStuetze(CKolumoData& d, int iNorm, double q) {
  d.version = 2012.01;
  d.iNorm = iNorm;
  d.InitStages(column_test::FormingNorm(iNorm));
  d.sBeton = "C30/37";
  d.sStahl = iNorm == 0 ? "BSt 500 SB" : "B500B";
  d.SetFieldCount(1);
  d.fieldLengths[0] = 0.6;
  CKolumoQuer& s = d.querschnitte[0];
  s.bx = s.dy = 35.0;
  s.bdx = s.bdy = 5.0;
  s.as = 3.14159265358979;
  s.teilung = 4;
  s.theta = 45.0;
  CSupport& kopf = d.supports[0][0];
  kopf.cx = kopf.cy = -1.0;
  CSupport& fuss = d.supports[0][1];
  fuss.cx = fuss.cy = fuss.cz = -1.0;
  CKolumoVorver& v = d.vorver[0];
  v.type = 0;
  v.bDirekteVorgabe = 1;
  v.umx = v.umy = 0.0;
  d.loads[0].Add(column_test::LineLoad(1, 0, 0.6, column_test::kX, q));
  column_test::SetActions(d, 0, {column_test::Action(1, 0)});
  column_test::AddCombination(d, 0, "Ed", "1.35*(1)");
  d.num_KNSW_Schub = 1;
  d.num_ErfAs = 1;
}

// The sections of the shear cases beside the square: a circle of outer diameter 50 cm, or a ring 50/20, each with 20
// bars of 1 cm2 on a circle of rs = 20 cm (axis distance 5 cm).
enum class Form { Rechteck, Kreis, Ring };
inline void RunderQuerschnitt(CKolumoQuer& s, Form form) {
  s.type = form == Form::Kreis ? 1 : 2;
  s.bewType = 2;
  s.bx = s.dy = 50.0;
  if (form == Form::Ring) s.dy = 20.0;
  s.bdx = s.bdy = 5.0;
  s.as = 20.0;
}

// One line of `kolumo calc` for a crushing strut.
struct Zeile {
  int feld = 0;
  double kote = 0.0, ved = 0.0, vrdmax = 0.0;
  std::string kombination;
};

inline std::vector<Zeile> StrebenZeilen(const std::string& out) {
  static const std::regex muster(
      R"(NOT FULFILLED: shear strut, field (\d+), height ([-\d.]+) m, (.*): VEd = ([-\d.]+) kN > VRd,max = ([-\d.]+) kN)");
  std::vector<Zeile> zeilen;
  for (std::sregex_iterator i(out.begin(), out.end(), muster), e; i != e; ++i)
    zeilen.push_back({std::stoi((*i)[1]), std::stod((*i)[2]), std::stod((*i)[4]), std::stod((*i)[5]), (*i)[3]});
  return zeilen;
}

// The rows of the report's shear table ("Kote|VEd|cot|VRd,ct|VRd,max|as,b|"), each split into its cells.
inline std::vector<std::vector<std::string>> SchubZeilen(const std::string& text) {
  std::vector<std::vector<std::string>> zeilen;
  const std::size_t tabelle = text.find("Schubnachweis aus Querkraft");
  if (tabelle == std::string::npos) return zeilen;
  std::istringstream in(text.substr(tabelle));
  std::string zeile;
  std::getline(in, zeile);
  while (std::getline(in, zeile) && zeile.find('|') != std::string::npos) {
    std::vector<std::string> zellen;
    for (std::size_t a = 0, b; (b = zeile.find('|', a)) != std::string::npos; a = b + 1)
      zellen.push_back(zeile.substr(a, b - a));
    if (zellen.size() == 6 && !zellen[0].empty() && std::isdigit(static_cast<unsigned char>(zellen[0][0])))
      zeilen.push_back(zellen);
  }
  return zeilen;
}

// The row of field `feld` in the report's closing table ("Feld|Komb.|Nachweis|Anfang|Ende|eingegeben|Eingabe|"),
// its cells each closed by "|"; empty without the table or the row.
inline std::string AbschlussZeile(const std::string& text, int feld) {
  const std::size_t abschluss = text.find("Feld|Komb.|Nachweis|");
  if (abschluss == std::string::npos) return "";
  const std::size_t anfang = text.find("\n" + std::to_string(feld) + "|", abschluss);
  if (anfang == std::string::npos) return "";
  return text.substr(anfang + 1, text.find('\n', anfang + 1) - anfang - 1);
}

class StrutTest : public host_test::HostTest {
 protected:
  // The position built by `baue` from the module's defaults, written under `name`.
  std::string Position(const std::string& name, const std::function<void(CKolumoData&)>& baue) {
    column_test::EnvVar root("KOLUMO_ROOT", root_.string());
    const std::string path = Path(name);
    const int doc = VIDUV_CreateDoc(path.c_str());
    EXPECT_NE(doc, 0);
    {
      CKolumoData d;
      d.SetDefaults();
      baue(d);
      d.WriteData(doc);
    }
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1) << VIDUV_GetLastError();
    VIDUV_CloseDoc(doc);
    return path;
  }
  std::string ReportText(const std::string& path) {
    const host_test::HostRun run = Host({"report", path});
    EXPECT_EQ(run.status, 0) << run.err;
    return report_test::VisibleText(host_test::Slurp(path.substr(0, path.size() - 4) + ".rtf"));
  }
};

}  // namespace strut_test
