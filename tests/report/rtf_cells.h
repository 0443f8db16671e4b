// The table cells of a written RTF report measured against their columns: a word (text between blanks) wider
// than its cell is broken inside it by every reader. The caller measures a word (UTF-8, bold for header rows) in
// twips at the tables' 9 pt; sub- and superscripts are measured at full size, which errs on the safe side.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/report/rtf_text.h"

namespace report_test {

struct EngerZelle {
  std::string wort;
  double breit;       // twips the word needs
  double verfuegbar;  // twips inside the cell
};

// Every cell of every table row whose widest word does not fit inside the cell.
inline std::vector<EngerZelle> EngeZellen(const std::string& rtf,
                                          const std::function<double(const std::string&, bool fett)>& messen) {
  constexpr double kGap = 2 * 70;  // \trgaph70 on either side
  std::vector<EngerZelle> enge;
  for (std::size_t row = rtf.find("\\trowd"); row != std::string::npos; row = rtf.find("\\trowd", row + 1)) {
    const std::size_t ende = rtf.find("\\row", row + 6);
    if (ende == std::string::npos) break;
    const std::string r = rtf.substr(row, ende - row);
    const bool kopf = r.find("\\trhdr") != std::string::npos;
    std::vector<double> breiten;
    double links = 0;
    std::size_t inhalt = 0;
    for (std::size_t x = r.find("\\cellx"); x != std::string::npos; x = r.find("\\cellx", x + 1)) {
      char* hinter = nullptr;
      const double rechts = std::strtod(r.c_str() + x + 6, &hinter);
      breiten.push_back(rechts - links - kGap);
      links = rechts;
      inhalt = std::size_t(hinter - r.c_str());
    }
    // the visible text ends each cell with "|"
    const std::string text = VisibleText(r.substr(inhalt));
    std::size_t anfang = 0;
    for (double breite : breiten) {
      const std::size_t bis = text.find('|', anfang);
      if (bis == std::string::npos) break;
      const std::string zelle = text.substr(anfang, bis - anfang);
      anfang = bis + 1;
      for (std::size_t w = 0; w < zelle.size();) {
        const std::size_t blank = std::min(zelle.find(' ', w), zelle.size());
        const std::string wort = zelle.substr(w, blank - w);
        const double noetig = wort.empty() ? 0.0 : messen(wort, kopf);
        if (noetig > breite) enge.push_back({wort, noetig, breite});
        w = blank + 1;
      }
    }
  }
  return enge;
}

}  // namespace report_test
