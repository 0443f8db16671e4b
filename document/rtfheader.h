// The header tables of an RTF document (colours, fonts, styles) and the step that fits the document's body to
// the report's own tables before it is printed inside the report.
#pragma once

#include <map>
#include <memory>
#include <cstdint>
#include <string>
#include <vector>

class CRtfChunkList;

class RtfHeaderTable {
 public:
  virtual ~RtfHeaderTable() = default;
  // The table written out: keyword, entries, closing brace.
  virtual void WriteTable(std::string& out) const;
  // The number for an entry added later.
  virtual int NewNumber() const = 0;
  // Moves position past the next entry; false when the table's closing brace comes first (position then moves
  // past it).
  virtual bool NextEntry(const std::string& text, std::size_t& position) const = 0;
  virtual int EntryNumber(int index, const std::string& entry) const = 0;
  virtual void EntryKey(std::string& key, const std::string& entry) const = 0;
  // Rewrites the entry's own number.
  virtual void RenumberEntry(int index, int number);

  // Reads the table of this kind from text; start and end are its character range, both -1 without a table.
  void Parse(const std::string& text, int& start, int& end);
  int Add(int number, const std::string& entry, const std::string& key);
  int Find(const std::string& key) const;
  int GetCount() const { return int(entries_.size()); }
  int GetNumber(int i) const { return numbers_[std::size_t(i)]; }
  const std::string& GetEntry(int i) const { return entries_[std::size_t(i)]; }
  const std::string& GetKey(int i) const { return keys_[std::size_t(i)]; }
  virtual const char* Keyword() const = 0;
  // The words by which the body refers to an entry.
  virtual std::vector<std::string> ReferenceWords() const = 0;

 protected:
  std::vector<std::string> entries_;
  std::vector<std::string> keys_;
  std::vector<int> numbers_;
  std::map<std::string, int> keyIndex_;
};

class RtfColorTable : public RtfHeaderTable {
 public:
  int NewNumber() const override { return GetCount(); }
  bool NextEntry(const std::string& text, std::size_t& position) const override;
  int EntryNumber(int index, const std::string&) const override { return index; }
  void EntryKey(std::string& key, const std::string& entry) const override;
  const char* Keyword() const override { return "\\colortbl"; }
  std::vector<std::string> ReferenceWords() const override { return {"\\cf", "\\cb"}; }
};

// Fonts and styles: brace groups, numbered by their own control word.
class RtfGroupTable : public RtfHeaderTable {
 public:
  int NewNumber() const override;
  bool NextEntry(const std::string& text, std::size_t& position) const override;
  void EntryKey(std::string& key, const std::string& entry) const override;
  void RenumberEntry(int index, int number) override;

 protected:
  virtual const char* NumberWord() const = 0;
};

class RtfFontTable : public RtfGroupTable {
 public:
  int EntryNumber(int index, const std::string& entry) const override;
  void RenumberEntry(int index, int number) override;
  const char* Keyword() const override { return "\\fonttbl"; }
  std::vector<std::string> ReferenceWords() const override { return {"\\f"}; }

 protected:
  const char* NumberWord() const override { return "\\f"; }
};

class RtfStyleTable : public RtfGroupTable {
 public:
  int EntryNumber(int index, const std::string& entry) const override;
  const char* Keyword() const override { return "\\stylesheet"; }
  std::vector<std::string> ReferenceWords() const override { return {"\\s"}; }

 protected:
  const char* NumberWord() const override { return "\\s"; }
};

// Rewrites the body's references (word followed by up to three digits) from old to new numbers; references
// inside the table range stay.
void RenumberReferences(const std::vector<int>& oldNumbers, const std::vector<int>& newNumbers, const std::string& word,
                        std::string& text, int tableStart, int tableEnd);

// What a report's own header holds; the entries the document adds are appended to these tables.
struct ReportHeaderTables {
  RtfColorTable colours;
  RtfFontTable fonts;
  RtfStyleTable styles;
  int addedColours = 0;  // the entries past the report's own, added for the document
  int addedFonts = 0;
  int addedStyles = 0;
};

// Fits the document text to the report header given as RTF text (a template file's text or the report
// library's header): references renumbered to its tables (entries the report lacks are added to tables), header
// and editor-only markup removed. The list holds the result as its only buffer.
void PrepareForReport(const std::string& reportHeader, CRtfChunkList& text, ReportHeaderTables& tables);
// The whole text of a template file; false when it cannot be read.
bool ReadTemplateFile(const std::string& path, std::string& text);

// The RTF text with every group closed where it can be read: a closing brace without its group is dropped, a
// group left open is closed at the end, an escape cut short (a backslash at the end, "\'" without two hex
// digits) is dropped. The text of the groups stays.
std::string BalancedRtf(const std::string& text);
// The bytes and entries that the passes over a document's text (splitting it into units, joining them, fitting it
// to the report) have visited since the program started: for tests that watch how that cost grows with the text.
std::uint64_t DocumentTextWork();
void CountDocumentTextWork(std::uint64_t visited);
// Text as RTF: backslashes and braces escaped, other characters than 7-bit ones as "\'xx" or "\uN?".
std::string EscapeRtfText(const std::string& utf8);
// The ranges [first, second) of picture and object groups, which are the engineer's data and never touched.
std::vector<std::pair<std::size_t, std::size_t>> OpaqueGroups(const std::string& rtf);
