// The document's RTF as raw byte buffers (the rich-edit control streams it in pieces), and the rows of an RTF
// table as the table editing reads and writes them.
#pragma once

#include <memory>
#include <string>
#include <vector>

class CRtfChunkList {
 public:
  CRtfChunkList() = default;
  CRtfChunkList(const CRtfChunkList& other) { Assign(other); }
  CRtfChunkList& operator=(const CRtfChunkList& other) {
    if (this != &other) Assign(other);
    return *this;
  }
  ~CRtfChunkList() = default;

  // A new zero-filled buffer of size bytes, appended; the list owns it.
  char* Alloc(int size);
  void AppendCopy(const void* data, int size);
  int GetCount() const { return int(buffers_.size()); }
  char* GetBuffer(int i) const;
  int GetSize(int i) const;
  void Clear();
  void Assign(const CRtfChunkList& other);
  // One buffer holding all bytes in order.
  void Merge();
  void ResetPosition(int i);
  // The address at buffer i's stream position; the position moves on by n (never past the buffer's end).
  char* Advance(int i, int n);

  // The first buffer as text: its bytes up to the terminating zero (or all of them without one).
  std::string Text() const;
  // The text becomes the only buffer, with its terminating zero counted in the size.
  void SetText(const std::string& text);

 private:
  std::vector<std::unique_ptr<char[]>> buffers_;
  std::vector<int> sizes_;
  std::vector<int> positions_;
};

struct RtfTableRow {
  int deleted = 0;
  int cellCount = 0;
  std::vector<long> boundaries;  // the numbers after "\cellx"
  // Each cell's RTF without "\pard\intbl"; fewer than the boundaries when the row closed early.
  std::vector<std::string> cells;
  std::string properties;  // between "\trowd" and the first "\cellx"
  int start = -1;
  int end = -1;  // after "\row"
};

// The rows of the tables in text; -1 (and no rows) for nested tables, which are not handled.
int ParseRtfTable(const std::string& text, std::vector<RtfTableRow>& rows);
void WriteRtfTableRow(const RtfTableRow& row, std::string& out);
