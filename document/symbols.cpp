#include "document/symbols.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "document/rtfheader.h"

namespace {

struct Tables {
  std::array<std::string, 256> greek;
  std::array<std::array<bool, 256>, 4> classes{};
};

Tables& T() {
  static Tables tables;
  return tables;
}

void Build() {
  Tables& t = T();
  // Upper case A..Z and lower case a..z in the Symbol font; J, V, j, v are the variant letters.
  static const char* upper[26] = {"ALPHA", "BETA",  "CHI",     "DELTA", "EPSILON", "PHI",     "GAMMA", "ETA",   "IOTA",
                                  "THETA", "KAPPA", "LAMBDA",  "MU",    "NU",      "OMICRON", "PI",    "THETA", "RHO",
                                  "SIGMA", "TAU",   "UPSILON", "sigma", "OMEGA",   "XI",      "PSI",   "ZETA"};
  static const char* lower[26] = {"alpha", "beta",  "chi",     "delta", "epsilon", "phi",     "gamma", "eta",   "iota",
                                  "phi",   "kappa", "lambda",  "mu",    "nu",      "omicron", "pi",    "theta", "rho",
                                  "sigma", "tau",   "upsilon", "pi",    "omega",   "xi",      "psi",   "zeta"};
  for (int i = 0; i < 26; ++i) {
    t.greek[std::size_t('A' + i)] = upper[i];
    t.greek[std::size_t('a' + i)] = lower[i];
  }
  auto add = [&t](SymbolCharClass c, const char* chars) {
    for (const char* p = chars; *p; ++p) t.classes[c][static_cast<unsigned char>(*p)] = true;
  };
  const char* name = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
  add(kNameChars, name);
  add(kFormulaChars, name);
  add(kFormulaChars, ".,;+*-/^()<>!&|@ ");
  add(kValueChars, "0123456789.,-#");
  add(kNumberChars, "0123456789.,-");
}

// Walks the RTF by the reading rules; plain(i) is called for each plain character.
template <class Plain>
void Scan(const std::string& rtf, Plain plain) {
  bool inBracket = false;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (inBracket) {
      if (c == ']') inBracket = false;
      continue;
    }
    if (c == '\\') {
      if (i + 1 < rtf.size() && rtf[i + 1] == '\\') {
        plain(i + 1);  // the first backslash of a doubled one stays as text
        ++i;
        continue;
      }
      // A control word runs to a blank or line feed (both its own) or to just before a '{'.
      std::size_t j = i + 1;
      while (j < rtf.size() && rtf[j] != ' ' && rtf[j] != '\n' && rtf[j] != '{') ++j;
      i = (j < rtf.size() && rtf[j] == '{') ? j - 1 : j;
      continue;
    }
    if (c == '[') {
      inBracket = true;
      continue;
    }
    plain(i);
  }
}

void EraseAll(std::string& text, const char* what) {
  const std::size_t n = std::strlen(what);
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p)) text.erase(p, n);
}

}  // namespace

void InitSymbolTables() {
  static std::once_flag once;
  std::call_once(once, Build);
}

const std::string& GreekName(unsigned char code) {
  InitSymbolTables();
  return T().greek[code];
}

bool InCharClass(SymbolCharClass charClass, unsigned char c) {
  InitSymbolTables();
  return T().classes[charClass][c];
}

std::string MakePlainMask(const std::string& rtf) {
  std::string mask(rtf.size(), ' ');
  Scan(rtf, [&](std::size_t i) { mask[i] = rtf[i]; });
  return mask;
}

void RtfToPlain(std::string& plain, const std::string& unitRtf, int offset, const std::vector<int>* fontRuns) {
  InitSymbolTables();
  std::string text = unitRtf;
  if (fontRuns && !fontRuns->empty() && unitRtf.size() < 10000) {
    const std::string mask = MakePlainMask(unitRtf);
    text.clear();
    // the boundaries ascend, as the positions do
    std::size_t next = 0;
    int run = 0;
    for (std::size_t i = 0; i < unitRtf.size(); ++i) {
      const int position = int(i) + offset;
      for (; next < fontRuns->size() && std::abs((*fontRuns)[next]) < position; ++next) run = (*fontRuns)[next];
      const std::string& name = GreekName(static_cast<unsigned char>(mask[i]));
      if (run < 0 && !name.empty())
        text += name;
      else
        text += unitRtf[i];
    }
    CountDocumentTextWork(unitRtf.size() + next);
  }
  // "\cell " loses its last letter: the blank left behind after the control word parts the cells.
  for (std::size_t p = text.find("\\cell "); p != std::string::npos; p = text.find("\\cell ", p + 5)) text[p + 4] = ' ';
  plain.clear();
  Scan(text, [&](std::size_t i) { plain += text[i]; });
  // The sum-range markers go whole; the hide markers go, their text stays.
  EraseAll(plain, "/*S+*/");
  EraseAll(plain, "/*S-*/");
  EraseAll(plain, "/*");
  EraseAll(plain, "*/");
}
