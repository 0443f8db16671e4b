#include "document/rtfchunks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/win/base/numbers.h"

char* CRtfChunkList::Alloc(int size) {
  size = std::max(size, 0);
  buffers_.push_back(std::make_unique<char[]>(std::size_t(size) + 1));  // +1: an empty buffer still has an address
  sizes_.push_back(size);
  return buffers_.back().get();
}

void CRtfChunkList::AppendCopy(const void* data, int size) {
  char* buffer = Alloc(size);
  if (size > 0 && data) std::memcpy(buffer, data, std::size_t(size));
}

char* CRtfChunkList::GetBuffer(int i) const {
  return i >= 0 && i < GetCount() ? buffers_[std::size_t(i)].get() : nullptr;
}

int CRtfChunkList::GetSize(int i) const { return i >= 0 && i < GetCount() ? sizes_[std::size_t(i)] : 0; }

void CRtfChunkList::Clear() {
  buffers_.clear();
  sizes_.clear();
  positions_.clear();
}

void CRtfChunkList::Assign(const CRtfChunkList& other) {
  Clear();
  for (int i = 0; i < other.GetCount(); ++i) AppendCopy(other.GetBuffer(i), other.GetSize(i));
}

void CRtfChunkList::Merge() {
  std::string all;
  for (int i = 0; i < GetCount(); ++i) all.append(GetBuffer(i), std::size_t(GetSize(i)));
  Clear();
  AppendCopy(all.data(), int(all.size()));
}

void CRtfChunkList::ResetPosition(int i) {
  if (i < 0) return;
  if (positions_.size() <= std::size_t(i)) positions_.resize(std::size_t(i) + 1, 0);
  positions_[std::size_t(i)] = 0;
}

char* CRtfChunkList::Advance(int i, int n) {
  if (i < 0 || i >= GetCount()) return nullptr;
  if (positions_.size() <= std::size_t(i)) positions_.resize(std::size_t(i) + 1, 0);
  int& position = positions_[std::size_t(i)];
  char* at = GetBuffer(i) + position;
  position = std::clamp(position + std::max(n, 0), 0, GetSize(i));
  return at;
}

std::string CRtfChunkList::Text() const {
  if (GetCount() == 0) return {};
  const char* data = GetBuffer(0);
  const std::size_t size = std::size_t(GetSize(0));
  return std::string(data, strnlen(data, size));
}

void CRtfChunkList::SetText(const std::string& text) {
  Clear();
  AppendCopy(text.c_str(), int(text.size()) + 1);
}

namespace {

// A cell boundary in twips.
long DigitsAt(const std::string& text, std::size_t at) {
  return win::ClampedNumber(text.c_str() + std::min(at, text.size()), -win::kRtfMaxTwips, win::kRtfMaxTwips);
}

std::size_t SkipNumber(const std::string& text, std::size_t at) {
  if (at < text.size() && text[at] == '-') ++at;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

// The next "\cell" that is not "\cellx", from at.
std::size_t FindCellEnd(const std::string& text, std::size_t at) {
  for (std::size_t p = text.find("\\cell", at); p != std::string::npos; p = text.find("\\cell", p + 5))
    if (p + 5 >= text.size() || text[p + 5] != 'x') return p;
  return std::string::npos;
}

// The next "\row" control word (not a longer word starting so), from at.
std::size_t FindRowEnd(const std::string& text, std::size_t at) {
  for (std::size_t p = text.find("\\row", at); p != std::string::npos; p = text.find("\\row", p + 4))
    if (p + 4 >= text.size() || !std::isalpha(static_cast<unsigned char>(text[p + 4]))) return p;
  return std::string::npos;
}

void Erase(std::string& text, const std::string& what) {
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p)) text.erase(p, what.size());
}

}  // namespace

int ParseRtfTable(const std::string& text, std::vector<RtfTableRow>& rows) {
  rows.clear();
  if (text.find("\\nestcell") != std::string::npos) return -1;
  std::size_t at = 0;
  for (;;) {
    const std::size_t rowStart = text.find("\\trowd", at);
    if (rowStart == std::string::npos) break;
    RtfTableRow row;
    row.start = int(rowStart);
    const std::size_t firstCellx = text.find("\\cellx", rowStart + 6);
    if (firstCellx == std::string::npos) break;
    row.properties = text.substr(rowStart + 6, firstCellx - rowStart - 6);
    const std::size_t intbl = text.find("\\intbl", firstCellx);
    if (intbl == std::string::npos) break;
    std::size_t cellStart = firstCellx;
    for (std::size_t p = firstCellx; p != std::string::npos && p < intbl; p = text.find("\\cellx", p + 6)) {
      row.boundaries.push_back(DigitsAt(text, p + 6));
      ++row.cellCount;
      cellStart = SkipNumber(text, p + 6);
    }
    // A row may close with fewer cells than boundaries; its cells are looked for only up to its "\row".
    const std::size_t rowEnd = FindRowEnd(text, cellStart);
    if (rowEnd == std::string::npos) break;
    while (int(row.cells.size()) < row.cellCount) {
      // A cell ends where the "\cell" words outnumber the "\cellx" words met since its start.
      int open = 1;
      std::size_t p = cellStart;
      std::size_t end = std::string::npos;
      while (open > 0) {
        end = FindCellEnd(text, p);
        if (end > rowEnd) end = std::string::npos;
        if (end == std::string::npos) break;
        for (std::size_t x = text.find("\\cellx", p); x != std::string::npos && x < end;
             x = text.find("\\cellx", x + 6))
          ++open;
        --open;
        p = end + 5;
      }
      if (end == std::string::npos) break;
      std::string cell = text.substr(cellStart, end - cellStart);
      Erase(cell, "\\pard\\intbl");
      row.cells.push_back(cell);
      cellStart = end + 5;
    }
    row.end = int(rowEnd + 4);
    rows.push_back(row);
    at = rowEnd + 4;
  }
  return int(rows.size());
}

void WriteRtfTableRow(const RtfTableRow& row, std::string& out) {
  out = "\\trowd" + row.properties;
  for (long boundary : row.boundaries) out += "\\cellx" + std::to_string(boundary);
  out += "\\pard\\intbl";
  for (const std::string& cell : row.cells) out += cell + "\\cell";
  out += "\\row";
}
