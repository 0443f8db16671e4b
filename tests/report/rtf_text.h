// Reading back a written RTF report: whether its groups are balanced, and its
// visible text with "\n" after each paragraph and row and "|" after each table
// cell.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace report_test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Braces open and close in order and end balanced; escaped braces do not count. With `oneGroup` the whole
// document is one group: nothing closes its first brace before its last.
inline bool GroupsBalanced(const std::string& rtf, bool oneGroup = false) {
  const std::size_t last = rtf.find_last_not_of(" \r\n");
  int depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}' && --depth < 0) return false;
    if (rtf[i] == '}' && depth == 0 && oneGroup && i != last) return false;
  }
  return depth == 0;
}

inline void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

// The text a reader sees (Windows-1252 escapes as UTF-8 for the German letters
// and the per mille sign used in the report).
inline std::string VisibleText(const std::string& rtf) {
  std::string out;
  int skipDepth = 0;  // inside a destination that is not shown: the depth at which it ends
  int depth = 0;
  bool groupStart = false;
  int fallback = 1;  // \uc: the characters after a \u that only old readers show
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      groupStart = true;
      continue;
    }
    if (c == '}') {
      if (skipDepth && depth == skipDepth) skipDepth = 0;
      --depth;
      continue;
    }
    const bool start = groupStart;
    groupStart = false;
    if (c == '\r' || c == '\n') continue;
    if (c != '\\') {
      if (!skipDepth) out += c;
      continue;
    }
    const char n = i + 1 < rtf.size() ? rtf[i + 1] : '\0';
    if (n == '\\' || n == '{' || n == '}') {
      if (!skipDepth) out += n;
      ++i;
      continue;
    }
    if (n == '*') {
      if (start && !skipDepth) skipDepth = depth;
      ++i;
      continue;
    }
    if (n == '\'') {
      unsigned code = unsigned(std::strtoul(rtf.substr(i + 2, 2).c_str(), nullptr, 16));
      if (code == 0x89) code = 0x2030;  // the per mille sign of Windows-1252
      if (!skipDepth) AppendUtf8(out, code);
      i += 3;
      continue;
    }
    std::size_t j = i + 1;
    while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
    const std::string word = rtf.substr(i + 1, j - i - 1);
    std::size_t k = j;
    if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) ++k;
    while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
    const std::string number = rtf.substr(j, k - j);
    if (k < rtf.size() && rtf[k] == ' ') ++k;
    i = k - 1;
    if (start && (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" || word == "pict"))
      if (!skipDepth) skipDepth = depth;
    if (skipDepth) continue;
    if (word == "par" || word == "row" || word == "line") out += '\n';
    if (word == "cell") out += '|';
    if (word == "tab") out += '\t';
    if (word == "uc" && !number.empty()) fallback = std::atoi(number.c_str());
    if (word == "u" && !number.empty()) {
      AppendUtf8(out, unsigned(std::atoi(number.c_str())) & 0xFFFF);
      // the characters old readers show instead: a plain character or a "\'xx" each
      for (int n = 0; n < fallback && i + 1 < rtf.size() && rtf[i + 1] != '{' && rtf[i + 1] != '}'; ++n)
        i += rtf.compare(i + 1, 2, "\\'") == 0 ? 4 : 1;
    }
  }
  return out;
}

}  // namespace report_test
