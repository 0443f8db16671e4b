#include "document/rtfheader.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "document/rtfchunks.h"
#include "document/symbols.h"
#include "platform/rtfx/rtfx.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/base/afxstr.h"
#include "platform/win/base/numbers.h"
#include "platform/win/base/paths.h"

namespace {

std::string Trim(const std::string& text) {
  std::size_t a = 0, b = text.size();
  while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
  return text.substr(a, b - a);
}

// A binary run "\binN" whose backslash stands at text[at]: N raw bytes after the word and its one delimiting blank.
// A run whose bytes all stand in the text is whole; one whose count reaches past the text's end has no bytes of its
// own, and what follows it is read as the rich-text reader reads it.
struct BinaryRun {
  bool found = false;
  bool whole = false;
  std::size_t data = 0;  // where its bytes start
  std::size_t end = 0;   // after its bytes (whole), else where its data would start
};

BinaryRun BinaryRunAt(const std::string& text, std::size_t at) {
  BinaryRun run;
  if (text.compare(at, 4, "\\bin") != 0) return run;
  std::size_t i = at + 4;
  if (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) return run;  // a longer word
  run.found = true;
  const bool negative = i < text.size() && text[i] == '-';
  if (negative) ++i;
  std::size_t count = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    count = std::min(count * 10 + std::size_t(text[i] - '0'), text.size() + 1);
  if (negative) count = 0;
  if (i < text.size() && text[i] == ' ') ++i;
  run.data = i;
  run.whole = count <= text.size() - i;
  run.end = run.whole ? i + count : i;
  return run;
}

// The end of the brace group that opens at start (after its '}'); npos when it does not close. With rawBinary the
// bytes of a whole binary run are skipped as a picture's data; without, the braces are counted as the rich-text
// reader counts them.
std::size_t GroupEnd(const std::string& text, std::size_t start, bool rawBinary = true) {
  int depth = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      // Raw bytes after "\binN" may hold anything, braces included.
      if (rawBinary) {
        if (const BinaryRun run = BinaryRunAt(text, i); run.found) {
          i = run.end - 1;
          continue;
        }
      }
      ++i;
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}' && --depth == 0) return i + 1;
  }
  return std::string::npos;
}

bool Escaped(const std::string& text, std::size_t at) {
  std::size_t n = 0;
  while (at > n && text[at - n - 1] == '\\') ++n;
  return n % 2 == 1;
}

// Number that follows word somewhere in entry; fallback when the word is not followed by a digit.
int NumberAfter(const std::string& entry, const char* word, int fallback) {
  const std::size_t n = std::strlen(word);
  for (std::size_t p = entry.find(word); p != std::string::npos; p = entry.find(word, p + 1))
    if (p + n < entry.size() && std::isdigit(static_cast<unsigned char>(entry[p + n])))
      return int(win::ClampedNumber(entry.c_str() + p + n, 0, INT_MAX));
  return fallback;
}

std::uint64_t g_textWork = 0;

}  // namespace

std::uint64_t DocumentTextWork() { return g_textWork; }
void CountDocumentTextWork(std::uint64_t visited) { g_textWork += visited; }

namespace {

// Where text was cut out before text[next]: a control word that out ends with keeps a delimiter of its own, so that
// it does not run into the letters or digits that follow.
void KeepDelimiter(std::string& out, const std::string& text, std::size_t next) {
  std::size_t back = out.size();
  while (back > 0 && (std::isalnum(static_cast<unsigned char>(out[back - 1])) || out[back - 1] == '-')) --back;
  const bool afterWord = back > 0 && back < out.size() && out[back - 1] == '\\' && !Escaped(out, back - 1);
  const bool textFollows = next < text.size() && text[next] != '\\' && text[next] != '{' && text[next] != '}';
  if (afterWord && textFollows) out += ' ';
}

// Removes every occurrence of a control word with its delimiting blank; a control word before it keeps a
// delimiter of its own, so that "\b\ulwave x" becomes "\b x", not "\bx".
void RemoveControlWord(std::string& text, const std::string& word) {
  // Built anew in one pass; what lies before an occurrence is read from the text already built, as it stands.
  std::string out;
  out.reserve(text.size());
  std::size_t done = 0;
  for (std::size_t p = text.find(word); p != std::string::npos; p = text.find(word, done)) {
    out.append(text, done, p - done);
    const std::size_t end = p + word.size();
    if ((end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) || Escaped(out, out.size())) {
      out.append(word);
      done = end;
      continue;
    }
    const std::size_t length = word.size() + (end < text.size() && text[end] == ' ' ? 1 : 0);
    KeepDelimiter(out, text, p + length);
    done = p + length;
  }
  if (done == 0) return;
  out.append(text, done, std::string::npos);
  g_textWork += out.size();
  text.swap(out);
}

}  // namespace

namespace {

// Whether the brace at rtf[at] opens a picture or object group.
bool OpensOpaqueGroup(const std::string& rtf, std::size_t at) {
  static const char* kOpaque[] = {"{\\pict", "{\\object", "{\\*\\shppict", "{\\nonshppict", "{\\*\\objdata"};
  for (const char* word : kOpaque) {
    const std::size_t n = std::strlen(word);
    if (rtf.compare(at, n, word) == 0 &&
        (at + n >= rtf.size() || !std::isalpha(static_cast<unsigned char>(rtf[at + n]))))
      return true;
  }
  return false;
}

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> OpaqueGroups(const std::string& rtf) {
  std::vector<std::pair<std::size_t, std::size_t>> groups;
  for (std::size_t i = rtf.find('{'); i != std::string::npos; i = rtf.find('{', i + 1)) {
    if (Escaped(rtf, i) || !OpensOpaqueGroup(rtf, i)) continue;
    std::size_t end = GroupEnd(rtf, i);
    if (end == std::string::npos) end = rtf.size();
    groups.emplace_back(i, end);
    i = end - 1;
  }
  return groups;
}

std::string BalancedRtf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      if (i + 1 == text.size()) break;
      const bool cutHex =
          text[i + 1] == '\'' && (i + 3 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 2])) ||
                                  !std::isxdigit(static_cast<unsigned char>(text[i + 3])));
      if (cutHex)
        KeepDelimiter(out, text, i + 2);
      else
        out.append(text, i, 2);
      ++i;
      continue;
    }
    if (c == '}' && depth == 0) {
      KeepDelimiter(out, text, i + 1);
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}') --depth;
    out += c;
  }
  out.append(depth, '}');
  return out;
}

std::string EscapeRtfText(const std::string& utf8) { return rtfx::LiteralText(utf8); }

void RtfHeaderTable::WriteTable(std::string& out) const {
  out = std::string("{") + Keyword() + " ";
  for (const std::string& entry : entries_) out += entry;
  out += "}";
}

void RtfHeaderTable::RenumberEntry(int, int) {}

void RtfHeaderTable::Parse(const std::string& text, int& start, int& end) {
  start = end = -1;
  const std::string keyword = Keyword();
  std::size_t at = text.find(keyword);
  while (at != std::string::npos &&
         (at + keyword.size() < text.size() && std::isalpha(static_cast<unsigned char>(text[at + keyword.size()]))))
    at = text.find(keyword, at + 1);
  if (at == std::string::npos) return;
  start = int(at);
  std::size_t position = at + keyword.size();
  for (;;) {
    const std::size_t before = position;
    if (!NextEntry(text, position)) break;
    const std::string entry = text.substr(before, position - before);
    std::string key;
    EntryKey(key, entry);
    while (Find(key) >= 0) key += "_";
    Add(EntryNumber(GetCount(), entry), entry, key);
  }
  end = int(position);
}

int RtfHeaderTable::Add(int number, const std::string& entry, const std::string& key) {
  entries_.push_back(entry);
  numbers_.push_back(number);
  keys_.push_back(key);
  const int index = GetCount() - 1;
  RenumberEntry(index, number);
  keyIndex_[key] = index;
  return index;
}

int RtfHeaderTable::Find(const std::string& key) const {
  auto it = keyIndex_.find(key);
  return it == keyIndex_.end() ? -1 : it->second;
}

bool RtfColorTable::NextEntry(const std::string& text, std::size_t& position) const {
  const std::size_t semicolon = text.find(';', position);
  const std::size_t brace = text.find('}', position);
  if (semicolon != std::string::npos && (brace == std::string::npos || semicolon < brace)) {
    position = semicolon + 1;
    return true;
  }
  position = brace == std::string::npos ? text.size() : brace + 1;
  return false;
}

void RtfColorTable::EntryKey(std::string& key, const std::string& entry) const {
  std::string text = entry;
  text.erase(std::remove(text.begin(), text.end(), ';'), text.end());
  key = Trim(text);
  if (key.empty()) key = "default";
}

int RtfGroupTable::NewNumber() const {
  for (int n = 0;; ++n)
    if (std::find(numbers_.begin(), numbers_.end(), n) == numbers_.end()) return n;
}

bool RtfGroupTable::NextEntry(const std::string& text, std::size_t& position) const {
  while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position]))) ++position;
  if (position >= text.size()) return false;
  if (text[position] == '}') {
    ++position;
    return false;
  }
  if (text[position] == '{') {
    // where the reader sees the entry end, so that the table ends where it ends for the reader
    const std::size_t end = GroupEnd(text, position, false);
    position = end == std::string::npos ? text.size() : end;
    return true;
  }
  // An entry written without its own group runs to its ';'.
  const std::size_t semicolon = text.find(';', position);
  const std::size_t brace = text.find('}', position);
  if (semicolon == std::string::npos || (brace != std::string::npos && brace < semicolon)) {
    position = brace == std::string::npos ? text.size() : brace + 1;
    return false;
  }
  position = semicolon + 1;
  return true;
}

void RtfGroupTable::EntryKey(std::string& key, const std::string& entry) const {
  std::string text = entry;
  const std::size_t open = text.find('{');
  if (open != std::string::npos) text.erase(0, open + 1);
  if (!text.empty() && text.back() == '}') text.pop_back();
  // Inner groups (alternative names, panose numbers) are not part of the name.
  for (std::size_t p = text.find('{'); p != std::string::npos; p = text.find('{', p + 1)) {
    const std::size_t end = GroupEnd(text, p);
    text.replace(p, end == std::string::npos ? std::string::npos : end - p, " ");
  }
  std::string plain;
  RtfToPlain(plain, text, 0, nullptr);
  plain.erase(std::remove(plain.begin(), plain.end(), ';'), plain.end());
  key = Trim(plain);
}

void RtfGroupTable::RenumberEntry(int index, int number) {
  std::string& entry = entries_[std::size_t(index)];
  const std::string word = NumberWord();
  for (std::size_t p = entry.find(word); p != std::string::npos; p = entry.find(word, p + 1)) {
    std::size_t digits = p + word.size();
    std::size_t end = digits;
    while (end < entry.size() && std::isdigit(static_cast<unsigned char>(entry[end]))) ++end;
    if (end == digits) continue;
    entry.replace(digits, end - digits, std::to_string(number));
    return;
  }
}

void RtfFontTable::RenumberEntry(int index, int number) {
  std::string& entry = entries_[std::size_t(index)];
  // Readers take a font only from a group that begins with its number; an entry that is not one would leave the
  // report's table unreadable.
  if (entry.empty() || entry[0] != '{') entry = "{" + entry + "}";
  std::size_t end = 3;
  while (end < entry.size() && std::isdigit(static_cast<unsigned char>(entry[end]))) ++end;
  if (entry.compare(1, 2, "\\f") == 0 && end > 3)
    entry.replace(3, end - 3, std::to_string(number));
  else
    entry.insert(1, "\\f" + std::to_string(number) + " ");
}

int RtfFontTable::EntryNumber(int, const std::string& entry) const { return NumberAfter(entry, "\\f", 0); }

int RtfStyleTable::EntryNumber(int, const std::string& entry) const { return NumberAfter(entry, "\\s", 0); }

void RenumberReferences(const std::vector<int>& oldNumbers, const std::vector<int>& newNumbers, const std::string& word,
                        std::string& text, int tableStart, int tableEnd) {
  const auto opaque = OpaqueGroups(text);
  // the later of two equal old numbers wins
  std::unordered_map<int, int> renumbered;
  for (std::size_t i = 0; i < oldNumbers.size() && i < newNumbers.size(); ++i)
    renumbered[oldNumbers[i]] = newNumbers[i];
  std::string out;
  std::size_t copied = 0;
  std::size_t group = 0;  // the first picture or object that does not end before the reference
  for (std::size_t p = text.find(word); p != std::string::npos; p = text.find(word, p + word.size())) {
    if (tableStart >= 0 && tableEnd >= 0 && p >= std::size_t(tableStart) && p < std::size_t(tableEnd)) continue;
    if (Escaped(text, p)) continue;
    for (; group < opaque.size() && opaque[group].second <= p; ++g_textWork) ++group;
    if (group < opaque.size() && opaque[group].first <= p) continue;
    const std::size_t digits = p + word.size();
    std::size_t end = digits;
    while (end < text.size() && end < digits + 3 && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == digits) continue;
    const auto found = renumbered.find(std::atoi(text.substr(digits, end - digits).c_str()));
    if (found == renumbered.end()) continue;
    const int replacement = found->second;
    if (replacement < 0) continue;
    out.append(text, copied, digits - copied);
    out += std::to_string(replacement);
    copied = end;
  }
  out.append(text, copied, std::string::npos);
  g_textWork += out.size();
  text.swap(out);
}

bool ReadTemplateFile(const std::string& path, std::string& text) {
  if (path.empty()) return false;
  std::ifstream file(win::ToFsPath(path), std::ios::binary);
  if (!file) return false;
  text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !text.empty();
}

namespace {

// Whether a balanced entry of the colour (0), font (1) or style (2) table stands in the report's table as one entry
// that a reader takes: no binary data, which a word processor would read past the entry's end; a colour holds no
// group, a font or style is one group or text without braces.
bool TakesEntry(int kind, const std::string& entry) {
  for (std::size_t p = entry.find("\\bin"); p != std::string::npos; p = entry.find("\\bin", p + 1))
    if (!Escaped(entry, p) && BinaryRunAt(entry, p).found) return false;
  if (entry.find_first_of("{}") == std::string::npos) return true;  // a font or style gets its group when renumbered
  return kind != 0 && entry[0] == '{' && GroupEnd(entry, 0, false) == entry.size();
}

// The text without the binary runs that a word processor and the rich-text reader would not read alike: a run
// goes with its bytes, and one whose count reaches past the text takes what follows up to its group's end with it.
// Only a whole run inside a picture or object stays, as its data, when its bytes hold no brace or backslash.
std::string WithoutBinaryRuns(const std::string& text) {
  if (text.find("\\bin") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  int depth = 0, opaqueDepth = -1;  // the depth of the picture or object group the text stands in, -1 outside
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\\') {
      const BinaryRun run = BinaryRunAt(text, i);
      if (!run.found) {
        out.append(text, i, 2);
        i += 2;
        continue;
      }
      if (run.whole) {
        const auto plain = [](char b) { return b != '{' && b != '}' && b != '\\'; };
        if (opaqueDepth >= 0 &&
            std::all_of(text.begin() + std::ptrdiff_t(run.data), text.begin() + std::ptrdiff_t(run.end), plain))
          out.append(text, i, run.end - i);
        else
          KeepDelimiter(out, text, run.end);
        i = run.end;
        continue;
      }
      // Up to the brace that closes its group, as the reader counts them.
      int inner = 0;
      for (i = run.data; i < text.size(); ++i) {
        if (text[i] == '\\') {
          ++i;
        } else if (text[i] == '{') {
          ++inner;
        } else if (text[i] == '}' && inner-- == 0) {
          break;
        }
      }
      i = std::min(i, text.size());
      KeepDelimiter(out, text, i);
      continue;
    }
    if (c == '{') {
      ++depth;
      if (opaqueDepth < 0 && OpensOpaqueGroup(text, i)) opaqueDepth = depth;
    } else if (c == '}') {
      if (depth == opaqueDepth) opaqueDepth = -1;
      --depth;
    }
    out += c;
    ++i;
  }
  g_textWork += text.size();
  return out;
}

}  // namespace

void PrepareForReport(const std::string& reportHeader, CRtfChunkList& list, ReportHeaderTables& tables) {
  std::string text = list.Text();
  RtfHeaderTable* reportTables[] = {&tables.colours, &tables.fonts, &tables.styles};
  int* added[] = {&tables.addedColours, &tables.addedFonts, &tables.addedStyles};
  int headerEnd = -1;
  for (int kind = 0; kind < 3; ++kind) {
    std::unique_ptr<RtfHeaderTable> document;
    if (kind == 0) document = std::make_unique<RtfColorTable>();
    if (kind == 1) document = std::make_unique<RtfFontTable>();
    if (kind == 2) document = std::make_unique<RtfStyleTable>();
    int start = -1, end = -1;
    document->Parse(text, start, end);
    if (start < 0) continue;
    RtfHeaderTable& report = *reportTables[kind];
    if (report.GetCount() == 0) {
      int s, e;
      report.Parse(reportHeader, s, e);
    }
    std::vector<int> oldNumbers, newNumbers;
    for (int i = 0; i < document->GetCount(); ++i) {
      std::string key = document->GetKey(i);
      key.erase(std::remove(key.begin(), key.end(), '_'), key.end());
      int found = report.Find(key);
      // An entry cut short would leave the report's own table unreadable: it is balanced, and one that is still no
      // single entry of its kind is dropped, its text falling back to the report's first entry.
      const std::string entry = found < 0 ? BalancedRtf(document->GetEntry(i)) : std::string();
      if (found < 0 && !TakesEntry(kind, entry)) {
        found = report.GetCount() > 0 ? 0 : -1;
      } else if (found < 0) {
        found = report.Add(report.NewNumber(), entry, key);
        ++*added[kind];
      }
      oldNumbers.push_back(document->GetNumber(i));
      newNumbers.push_back(found < 0 ? 0 : report.GetNumber(found));
    }
    for (const std::string& word : document->ReferenceWords())
      RenumberReferences(oldNumbers, newNumbers, word, text, start, end);
  }
  // The header tables of the document stay behind: the report has its own.
  RtfColorTable colours;
  RtfFontTable fonts;
  RtfStyleTable styles;
  for (RtfHeaderTable* table : {static_cast<RtfHeaderTable*>(&colours), static_cast<RtfHeaderTable*>(&fonts),
                                static_cast<RtfHeaderTable*>(&styles)}) {
    int start = -1, end = -1;
    table->Parse(text, start, end);
    if (end >= 0) headerEnd = std::max(headerEnd, end);
  }
  const std::size_t generator = text.find("{\\*\\generator Msftedit");
  if (generator != std::string::npos) {
    text.erase(0, generator);
  } else if (headerEnd >= 0 && text.compare(0, 5, "{\\rtf") == 0) {
    text.erase(0, std::size_t(headerEnd));
  } else if (text.compare(0, 5, "{\\rtf") == 0) {
    std::size_t cut = 5;
    while (cut < text.size() && std::isdigit(static_cast<unsigned char>(text[cut]))) ++cut;
    text.erase(0, cut);
  }
  // A word processor refuses a report whose binary run it cannot read to its end.
  text = WithoutBinaryRuns(text);
  // Pictures and objects pass unchanged; the markup of the text around them is rewritten.
  const std::string pageBreak = TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", "RichEditCtrl", "[Seitenumbruch]");
  std::string prepared;
  std::size_t from = 0;
  auto rewrite = [&](std::string part) {
    win::ReplaceAll(part, "\\viewkind4", "\\viewkind1");
    win::ReplaceAll(part, pageBreak, "\\page ");
    RemoveControlWord(part, "\\ulwave");
    win::ReplaceAll(part, "/*", "\\v ");
    win::ReplaceAll(part, "*/", "\\v0 ");
    win::ReplaceAll(part, "\\trowd", "\\trowd\\trkeep");
    prepared += part;
  };
  for (const auto& [first, second] : OpaqueGroups(text)) {
    rewrite(text.substr(from, first - from));
    prepared.append(text, first, second - first);
    from = second;
  }
  rewrite(text.substr(from));
  text = prepared;
  // The document's own closing brace goes (the report holds it in a group of its own): the brace that closes more
  // than was opened. A document cut short has none, and the closing brace of a group inside it stays.
  int depth = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\\') {
      ++k;
    } else if (text[k] == '{') {
      ++depth;
    } else if (text[k] == '}' && --depth < 0) {
      std::string kept = text.substr(0, k);
      KeepDelimiter(kept, text, k + 1);
      text = kept + text.substr(k + 1);
      break;
    }
  }
  list.SetText(BalancedRtf(text));
}
