// The document part of a position: the engineer's RTF text with live formulas, the editor's last table, search
// and material-import settings, the values the document exports and takes as input, and its own macros. It is
// stored as "Skrib" under "input", evaluated against the position's variables and exported into the report.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/formulatext.h"
#include "document/rtfchunks.h"
#include "framework/basedata.h"

struct SubDataValue {
  CString desc;
  CString varName;
  CString unit;
  double value = 0.0;
};

struct SkribTableProps {
  int nCol = 7;
  int nRow = 2;
  int nWidth = 160;
  std::vector<int> colWidth{2835, 850, 283, 2948, 397, 964, 737};
  std::vector<CString> defaultText;
};

// The formula colour of the document text: red 7, green 13, blue 255.
constexpr unsigned long kFormulaColour = 7ul + 256ul * 13ul + 65536ul * 255ul;

class SubData : public CDocumentPart {
 public:
  explicit SubData(BaseData& owner);
  ~SubData() override;
  SubData(const SubData&) = delete;
  SubData& operator=(const SubData&) = delete;

  // CSkribTarget
  CString GetPositionFileName() const override;
  void TakeGeneratedText(const CString& rtf) override;
  // CDocumentPart
  void Reset() override;
  void ReadXML(int element) override;
  void WriteXML(int element, int exportsElement) override;
  void DefineVariables(int definitionOnly) override;
  int Calculate(COLORREF colour, int firstNumber) override;
  void ExportRtf(const char* path, int firstNumber, int page, const char* version, const char* text) override;
  bool IsEmpty() const override { return isEmpty != 0; }
  bool HoldsText() const override { return text.GetCount() == 1; }
  bool HasEditorLink() const override { return editorLink; }
  CString GetMessages() const override;
  std::vector<std::string> FailedExports() override;
  std::shared_ptr<void> OpenEvaluation() override;
  int GetPage() const override { return page; }

  void GetMacroFileNames(CString& makerFile, CString& userFile) const;
  int LoadMacros(bool silent);
  // 1 OnInitDocument, 2 OnExitDocument, 3 OnStartCalculation, 4 OnEndCalculation.
  void RunEventMacro(int event);
  void CheckAndDefineVariables();
  void SetEditorLink(bool linked) { editorLink = linked; }
  int GetSession() const { return session; }

  CRtfChunkList text;
  SkribTableProps tableProps;
  CString searchText, replaceText;
  int wholeWord = 0, matchCase = 0, direction = 1;
  CString lastMaterialPath, lastMaterialObject;
  std::map<std::string, int> pathChecks;
  int page = 1;
  std::vector<SubDataValue> exportValues;
  std::vector<SubDataValue> inputValues;
  int isEmpty = 1;
  int recalculationPending = 0;
  CString macroText;
  CString libraryModule;

 private:
  // keepText: the names are defined, the text stays as it is (its shown results are not rewritten).
  void Evaluate(unsigned long colour, int firstNumber, bool keepText);
  // Gives the export value the number its variable has now; where it has none, says why (its definition failed:
  // "a = 1/0: Division durch Null.", or it is defined nowhere: "'a' nicht definiert") and leaves the value as it was.
  CString EvaluateExport(SubDataValue& value);
  // Says once that the macros were stopped, when the time for them is spent.
  void ReportIfStopped(const std::string& where) const;
  // Says that the event's macro stopped on an error, naming the event and the error's line and column.
  void ReportEventError(const std::string& event) const;

  BaseData& owner;
  int session = 0;
  bool macrosLoaded = false;  // the session holds the macros of the current text
  bool editorLink = false;
  // What the last evaluation had to say about units of the text, one line each.
  std::vector<std::string> messages;
};

// Makes every position built from now on carry this document part; the module calls it when it is loaded.
void RegisterDocumentPart();
// Every action of the person in the module's windows (a key, a click, opening a dialog) gets one budget of macro time,
// however many document operations it makes; at most one message says that it ran out.
void InstallActionBudgets();
void RemoveActionBudgets();
