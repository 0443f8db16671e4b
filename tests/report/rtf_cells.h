// The table cells of a written RTF report measured against their columns: a word (text between blanks) wider
// than its cell is broken inside it by every reader. The caller measures: given a word's characters (UTF-8), whether
// they are bold header text and whether they are a sub- or superscript, it returns their width in twips at the
// tables' 9 pt.
#pragma once

#include <cctype>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace report_test {

using Messen = std::function<double(const std::string& text, bool fett, bool klein)>;

inline void Utf8(std::string& out, unsigned c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

struct EngerZelle {
  std::string wort;
  double breit;      // twips the word needs
  double verfuegbar; // twips inside the cell
};

// Every cell of every table row whose widest word does not fit inside the cell.
inline std::vector<EngerZelle> EngeZellen(const std::string& rtf, const Messen& messen) {
  constexpr double kGap = 2 * 70;  // \trgaph70 on either side
  std::vector<EngerZelle> enge;
  for (std::size_t row = rtf.find("\\trowd"); row != std::string::npos; row = rtf.find("\\trowd", row + 1)) {
    const std::size_t ende = rtf.find("\\row", row + 6);
    if (ende == std::string::npos) break;
    const std::string r = rtf.substr(row, ende - row);
    const bool kopf = r.find("\\trhdr") != std::string::npos;
    std::vector<double> breiten;
    double links = 0;
    std::size_t pos = 0;
    for (std::size_t x = r.find("\\cellx"); x != std::string::npos; x = r.find("\\cellx", x + 1)) {
      char* hinter = nullptr;
      const double rechts = std::strtod(r.c_str() + x + 6, &hinter);
      breiten.push_back(rechts - links - kGap);
      links = rechts;
      pos = std::size_t(hinter - r.c_str());
    }
    // the cells' contents, each ended by "\cell" (not "\cellx")
    std::size_t zelle = 0;
    std::vector<bool> klein{false};  // per group: inside a sub- or superscript
    bool symbol = false;
    double wort = 0, breitestes = 0;
    std::string text, breitesterText;
    auto wortEnde = [&] {
      if (wort > breitestes) breitestes = wort, breitesterText = text;
      wort = 0;
      text.clear();
    };
    auto zeichen = [&](unsigned c) {
      if (c == ' ') return wortEnde();
      std::string z;
      Utf8(z, c);
      wort += messen(z, kopf, klein.back());
      text += z;
    };
    int auslassen = 0;  // the fallback characters after a \u
    for (std::size_t i = pos; i < r.size() && zelle < breiten.size(); ++i) {
      const char c = r[i];
      if (c == '{') {
        klein.push_back(klein.back());
        continue;
      }
      if (c == '}') {
        if (klein.size() > 1) klein.pop_back();
        symbol = false;
        continue;
      }
      if (c == '\r' || c == '\n') continue;
      if (c != '\\') {
        if (auslassen > 0) {
          --auslassen;
        } else if (!symbol || c == ' ') {
          zeichen(static_cast<unsigned char>(c));
        }
        continue;
      }
      if (i + 1 < r.size() && r[i + 1] == '\'') {
        if (auslassen > 0) {
          --auslassen;
        } else {
          unsigned code = unsigned(std::strtoul(r.substr(i + 2, 2).c_str(), nullptr, 16));
          zeichen(code == 0x89 ? 0x2030 : code);
        }
        i += 3;
        continue;
      }
      std::size_t j = i + 1;
      while (j < r.size() && std::isalpha(static_cast<unsigned char>(r[j]))) ++j;
      const std::string name = r.substr(i + 1, j - i - 1);
      std::size_t k = j;
      if (k < r.size() && (r[k] == '-' || std::isdigit(static_cast<unsigned char>(r[k])))) ++k;
      while (k < r.size() && std::isdigit(static_cast<unsigned char>(r[k]))) ++k;
      const int zahl = std::atoi(r.substr(j, k - j).c_str());
      if (k < r.size() && r[k] == ' ') ++k;
      i = k - 1;
      if (name.empty()) {  // an escaped character
        if (j < r.size()) zeichen(static_cast<unsigned char>(r[j])), i = j;
        continue;
      }
      if (name == "pict") {  // a picture's data: skip to the end of its group
        for (int tiefe = 1; i + 1 < r.size() && tiefe > 0; ++i) tiefe += r[i + 1] == '{' ? 1 : r[i + 1] == '}' ? -1 : 0;
        if (klein.size() > 1) klein.pop_back();
        continue;
      }
      if (name == "sub" || name == "super") klein.back() = true;
      if (name == "nosupersub") klein.back() = false;
      if (name == "f") symbol = zahl == 2;
      if (name == "u") {
        zeichen(unsigned(zahl) & 0xFFFF);
        auslassen = 1;
      }
      if (name == "cell") {
        wortEnde();
        if (breitestes > breiten[zelle]) enge.push_back({breitesterText, breitestes, breiten[zelle]});
        breitestes = 0;
        breitesterText.clear();
        ++zelle;
        klein.assign(1, false);
        symbol = false;
      }
    }
  }
  return enge;
}

}  // namespace report_test
