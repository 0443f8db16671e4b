// The variable definitions of a position: an ordered list of entries of eight kinds (variable, heading,
// calculation, free text, picture, sketch, taken-over value, table sum). Variables defined by an entry are seen
// by the formulas of the entries below it; flagged ones are exported to other positions. Stored as "vardef".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formula/formulanumber.h"
#include "formula/varstore.h"
#include "platform/win/afx.h"
#include "platform/win/base/leftovers.h"

// A value taken over from another position's exports. The transfer layer's ImportData derives from it and
// refreshes the value from its source; this base keeps, reads and writes the record and cannot refresh it.
class CImportRecord {
 public:
  CImportRecord() = default;
  // Copies the reference and the last value; the status text stays the target's own.
  CImportRecord(const CImportRecord& other);
  CImportRecord& operator=(const CImportRecord& other);
  virtual ~CImportRecord() = default;

  virtual std::unique_ptr<CImportRecord> Clone() const;
  // The five attributes "varPath", "desc", "varName", "value", "unit" of the element.
  void ReadData(int element);
  void WriteData(int element) const;
  // Refreshes value and unit from the source: 0 found (or nothing to refresh), 1 source file missing or
  // unreadable, 2 value missing, 3 the value is no finite number, 4 the source exports it as failed (the value
  // stays, failure says why); sets the status text. Only 0 changes the value.
  virtual int Update();

  CString varPath;  // source position, then the "desc" texts of its exports folders and value, joined by '\'
  CString desc;
  CString varName;
  double value = 0.0;
  CString unit;
  CString status;  // empty while the source is found; never stored
  // Why the source gives no value: its definition failed there (in the source's words). Set by Update, copied with
  // the record, never stored: such a value has none here either.
  CString failure;
  // The file of the position that takes the value over: a source named relatively lies in its folder. The list
  // that holds the record sets it before every refresh; never stored or copied.
  CString positionFile;
};

// The rich-text document part as the variable definitions fill it with their text.
class CSkribTarget {
 public:
  virtual ~CSkribTarget() = default;
  // The position document's complete file name.
  virtual CString GetPositionFileName() const = 0;
  // Replaces the part's text by this RTF (one chunk with its terminating zero), marks the part as not empty
  // and as freshly generated.
  virtual void TakeGeneratedText(const CString& rtf) = 0;
};

// What the variable definitions need of the layers above them; each layer installs its part at start-up.
struct CVarDefServices {
  // A new taken-over value record; without it a plain CImportRecord.
  std::function<std::unique_ptr<CImportRecord>()> createImportRecord;
  // An integer of the default section of the user settings; without it the default.
  std::function<int(const char* name, int defaultValue)> readIntSetting;
  // The dialog about lost value references, modal: true when it ended with OK, with the lines handed back
  // (an emptied line drops its reference). Without it nothing is dropped.
  std::function<bool(CStringArray& lines)> showLostValues;
};
CVarDefServices& GetVarDefServices();

class CVarDefEntry {
 public:
  enum Kind {
    kVariable = 0,
    kUeberschrift = 1,
    kBerechnung = 2,
    kFreierText = 3,
    kAbbildung = 4,
    kKritzl = 5,
    kWertUebernahme = 6,
    kSummeTabelle = 7
  };

  CVarDefEntry() = default;
  CVarDefEntry(const CVarDefEntry&) = delete;
  CVarDefEntry& operator=(const CVarDefEntry&) = delete;
  virtual ~CVarDefEntry() = default;

  // A new entry of the kind with its defaults; nullptr for a code outside 0-7.
  static std::unique_ptr<CVarDefEntry> Create(int typeCode);

  // Copies the own fields of an entry of the same kind; another kind is ignored.
  virtual void CopyFrom(const CVarDefEntry& other);
  virtual void ReadData(int element);
  virtual void WriteData(int element);
  // A taken-over value's status text; nullptr for every other kind.
  virtual const CString* GetImportText() const;

  int type = -1;
  int format = 0;
  int digits = 2;
  int textHeight = 0;

 protected:
  explicit CVarDefEntry(int kind) : type(kind) {}
};

class CVarDefVariable : public CVarDefEntry {
 public:
  CVarDefVariable();
  void CopyFrom(const CVarDefEntry& other) override;
  void ReadData(int element) override;
  void WriteData(int element) override;

  CString desc;
  CString varName;
  CString unit;
  CFormulaNumber value;
  CVariableStore store;  // holds this entry's own variable; chained to the entry above
  BOOL bExported = FALSE;
  CString failure;  // why the value is none ("a = 1/0: Division durch Null."); set by UpdateVariables, not stored
};

class CVarDefUeberschrift : public CVarDefEntry {
 public:
  CVarDefUeberschrift() : CVarDefEntry(kUeberschrift) {}
  void CopyFrom(const CVarDefEntry& other) override;
  void ReadData(int element) override;
  void WriteData(int element) override;

  CString title;
};

class CVarDefBerechnung : public CVarDefEntry {
 public:
  CVarDefBerechnung() : CVarDefEntry(kBerechnung) {}
  void CopyFrom(const CVarDefEntry& other) override;
  void ReadData(int element) override;
  void WriteData(int element) override;

  CString desc;
  CString unit;
  CFormulaNumber value;
};

class CVarDefFreierText : public CVarDefEntry {
 public:
  CVarDefFreierText() : CVarDefEntry(kFreierText) {}
  void CopyFrom(const CVarDefEntry& other) override;
  void ReadData(int element) override;
  void WriteData(int element) override;

  CString text;
};

// The bytes of a picture file kept inside the entry.
class CVarDefPictureBase : public CVarDefEntry {
 public:
  void FreeFileBuffer();
  void SetFileBuffer(const void* data, unsigned size);
  const unsigned char* GetFileBuffer() const { return fileBuffer.get(); }
  unsigned GetBufferSize() const { return bufferSize; }

  double dWidth = 0.0;
  double dHeight = 0.0;

 protected:
  explicit CVarDefPictureBase(int kind) : CVarDefEntry(kind) {}
  void CopyPicture(const CVarDefPictureBase& other);
  void ReadBuffer(int element);

  std::unique_ptr<unsigned char[]> fileBuffer;
  unsigned bufferSize = 0;
};

class CVarDefAbbildung : public CVarDefPictureBase {
 public:
  CVarDefAbbildung() : CVarDefPictureBase(kAbbildung) {}
  void CopyFrom(const CVarDefEntry& other) override;
  void ReadData(int element) override;
  void WriteData(int element) override;

  CString fileName;
};

class CVarDefKritzl : public CVarDefPictureBase {
 public:
  CVarDefKritzl() : CVarDefPictureBase(kKritzl) {}
  void CopyFrom(const CVarDefEntry& other) override;
  void ReadData(int element) override;
  void WriteData(int element) override;
};

// Why a taken-over value has none, naming the source position ("a = EX\a: Definition in EX fehlgeschlagen: a = 1/0:
// Division durch Null."); empty while its source gives one.
CString TakenOverFailure(const CImportRecord& record);

class CVarDefWertUebernahme : public CVarDefEntry {
 public:
  CVarDefWertUebernahme();
  void CopyFrom(const CVarDefEntry& other) override;
  // Reads the record and refreshes it from its source.
  void ReadData(int element) override;
  void WriteData(int element) override;
  const CString* GetImportText() const override;

  CImportRecord& GetImport() { return *import; }
  const CImportRecord& GetImport() const { return *import; }

 private:
  std::unique_ptr<CImportRecord> import;
};

class CVarDefSummeTabelle : public CVarDefEntry {
 public:
  CVarDefSummeTabelle() : CVarDefEntry(kSummeTabelle) {}
  void CopyFrom(const CVarDefEntry& other) override;
  void ReadData(int element) override;
  void WriteData(int element) override;

  CString desc;
  CString varName;
  CString unit;
  BOOL bExported = FALSE;
  double sum = 0.0;
  CVariableStore store;
  CString failure;  // a summed value is none: the reason of the first; set by UpdateVariables, not stored
};

// The variables' or the document's RTF is written to a file of its own before it is stored in the position:
// "<name>" in a marked, locked folder of this run beside the position, so that it never takes the place of a
// user's file (the report of a position named "<name>.tmp" is "<name>.tmp.rtf"). Empty when the folder cannot be
// made; the block is then not stored, as when its writing fails.
std::string VariablesScratchFile(const CString& positionFile, win::ScratchFolder& scratch, const std::string& name);

class CVarDefList {
 public:
  CVarDefList();
  CVarDefList(const CVarDefList&) = delete;
  CVarDefList& operator=(const CVarDefList&) = delete;
  ~CVarDefList();

  int GetSize() const { return int(entries.size()); }
  // Entry i, or nullptr for an empty slot or an index outside the list.
  CVarDefEntry* GetAt(int i) const;
  // Entry i when it is of the kind T.
  template <class T>
  T* GetAs(int i) const {
    return dynamic_cast<T*>(GetAt(i));
  }
  int GetEntryCount() const;

  void RemoveAll();
  void SetSize(int n);
  void SetEntryType(int i, int typeCode);
  // Puts an entry into slot i (growing the list) or at the end (i < 0); the list owns it.
  void SetAt(int i, std::unique_ptr<CVarDefEntry> entry);
  void Add(std::unique_ptr<CVarDefEntry> entry) { SetAt(-1, std::move(entry)); }
  void InsertAt(int i, std::unique_ptr<CVarDefEntry> entry);
  void RemoveAt(int i);

  // Reads the entries, refreshing every taken-over value; the values that could not be refreshed keep their old
  // numbers and are listed in one warning.
  void ReadData(int parent);
  void ReadOldData(int parent);
  // One warning listing every taken-over value whose refresh failed, and one listing those whose source exports
  // them as failed; nothing when all were refreshed.
  void ReportNotRefreshed() const;
  void WriteData(int parent);
  // Adds the exported values under the position's exports element; one whose definition failed is exported as
  // failed, with the reason, never as a number.
  void WriteExports(int element);
  // The exported values whose definition failed, one line each ("a: a = 1/0: Division durch Null.").
  std::vector<std::string> FailedExports();

  void UpdateVariables();
  void GetVariables(CStringArray& names, CStringArray& descriptions, CStringArray& units,
                    CArray<double, double>& values, BOOL onlyExported);
  // Defines every variable of the list in `target` in list order, those whose definition failed marked so.
  void DefineIn(CVariableStore& target);
  // A copy of the record of every taken-over value, in list order.
  template <class Record>
  void GetImportData(CArray<Record>& out) const {
    out.RemoveAll();
    for (int i = 0; i < GetSize(); ++i)
      if (auto* entry = GetAs<CVarDefWertUebernahme>(i)) out.Add(Record(entry->GetImport()));
  }
  void CheckImportedValues();

  // The RTF block of the definitions: variant 0 for the report, 1 for the document part. A picture or sketch that
  // cannot be taken is left out and, with failures given, named there with the reason ("plan.gif: ...").
  void WriteRtf(const char* path, int variant, std::vector<std::string>* failures = nullptr);
  static void FormatEntryText(CString& text, int format, int textHeight);
  void CreateSkribText(CSkribTarget& documentPart);

  BOOL bPageBreak = FALSE;
  BOOL bReport = TRUE;            // the report block is written only when set
  BOOL bLostValuesShown = FALSE;  // the dialog about lost references was shown once
  CString positionFile;           // the position's own file: its taken-over values' sources lie beside it
  CVariableStore store;           // the taken-over values; chained to the global store

 private:
  // One walk of UpdateVariables: findCycles collects the reason of each definition on a cycle, else they are given.
  void WalkDefinitions(std::map<std::string, std::string>& cycles, bool findCycles);

  std::vector<std::unique_ptr<CVarDefEntry>> entries;
};
