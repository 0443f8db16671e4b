// The common base of every module's position data: general information, page and free text, variable
// definitions, the rich-text document part, load combinations, load transfers, generic results and annotations.
// It reads and writes the shared elements "info" and "input" of the position file and defines the virtual
// interface through which the host and the module's own data class work on a position.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formula/vardef.h"
#include "formula/varstore.h"
#include "framework/lkdata.h"
#include "framework/results.h"
#include "platform/win/afx.h"

class BaseData;
class CFingerPrint;
class CWnd;
class BaseVarList;  // the typed message list of the second plausibility form

// --- Pieces of a position that later layers provide ------------------------------------------------------

// The rich-text document part ("Skrib" under "input"). The document editor registers the real one; without it a
// position has an empty part that reads and writes nothing.
class CDocumentPart : public CSkribTarget {
 public:
  // Empties text, value lists and RTF buffers.
  virtual void Reset() = 0;
  virtual void ReadXML(int skribElement) = 0;
  // Writes the part and its exported values under exportsElement.
  virtual void WriteXML(int skribElement, int exportsElement) = 0;
  // Enters the document's input and import values as variables of the position.
  virtual void DefineVariables(int definitionOnly) = 0;
  // Evaluates the document; an index from 0 to 9 means it has an RTF part to export.
  virtual int Calculate(COLORREF formulaColour, int firstNumber) = 0;
  virtual void ExportRtf(const char* path, int index, int page, const char* version, const char* text) = 0;
  // "isEmpty"
  virtual bool IsEmpty() const = 0;
  // The part holds text (one RTF buffer).
  virtual bool HoldsText() const = 0;
  // The document editor has linked itself to the part.
  virtual bool HasEditorLink() const = 0;
  // What the last evaluation found wrong in the document's formulas, one line each; empty when nothing.
  virtual CString GetMessages() const { return CString(); }
  // The exported values whose variable's definition failed, one line each ("a: a = 1/0: Division durch Null."):
  // they are exported as failed, not as numbers.
  virtual std::vector<std::string> FailedExports() { return {}; }
  // The document's own page number, passed to the report.
  virtual int GetPage() const { return 1; }
  // One evaluation of the document (a read, a calculation, a report) for as long as the returned object lives:
  // its events and formulas share one time budget for macros instead of each call having its own.
  virtual std::shared_ptr<void> OpenEvaluation() { return nullptr; }
};
using DocumentPartFactory = std::function<std::unique_ptr<CDocumentPart>(BaseData& owner)>;
// Installs how positions build their document part; an empty function restores the empty part.
void SetDocumentPartFactory(DocumentPartFactory factory);

// The list of load transfers ("lastUebernahme" under "input"). The transfer layer registers the real one;
// without it a position has no transfers and writes none.
class CLoadTransferList {
 public:
  virtual ~CLoadTransferList() = default;
  virtual void RemoveAll() = 0;
  // Empties the list, then reads the transfers of the parent's "lastUebernahme".
  virtual void ReadData(int parent) = 0;
  // With transfers: replaces "lastUebernahme" and writes the owner's combination data; empty: nothing.
  virtual void WriteData(int parent) = 0;
  // Recomputes every active transfer into the owner's actions; the owner must be set first.
  virtual void Recalc() = 0;
  virtual void SetOwner(BaseData* owner) = 0;
};
using LoadTransferListFactory = std::function<std::unique_ptr<CLoadTransferList>()>;
void SetLoadTransferListFactory(LoadTransferListFactory factory);

// What the position base needs of the program database.
struct CProgRecordInfo {
  CString progName;  // the untranslated program name
  double progVersion = 0.0;
};
class CProgramLookup {
 public:
  virtual ~CProgramLookup() = default;
  // The record of a program and module; false when there is none.
  virtual bool FindProg(const char* progname, const char* modulename, CProgRecordInfo& info) const = 0;
  // The suite's stair program, whose version 12.0 documents are read as 7.0.
  virtual bool IsStairProgram(const char* progname) const = 0;
  // The suite's variables program, whose definitions are never turned into document text.
  virtual bool IsVariablesProgram(const char* progname) const = 0;
};
// Not owned; nullptr restores the lookup that knows no program.
void SetProgramLookup(const CProgramLookup* lookup);
const CProgramLookup& GetProgramLookup();

// --- The position base ------------------------------------------------------------------------------------

// Result of CalcAndStore.
struct CCalcAndStoreResult {
  int calculated = 0;     // the calculation ran and did not report a stop
  int inputAccepted = 0;  // the plausibility check passed
  int noResult = 0;       // the calculation left neither "result" nor "results"
  int cancelled = 0;      // the user cancelled the plausibility dialog
};

class BaseData {
 public:
  BaseData();
  BaseData(const BaseData&) = delete;
  BaseData& operator=(const BaseData&) = delete;

  // Slot order of the virtual interface.
  virtual void DefineVariables();
  virtual ~BaseData();
  virtual void CalcAndStore(CCalcAndStoreResult& result, BOOL withOutput, BOOL redraw);
  virtual void SilentCalc();
  virtual void ShowOutput(CWnd* richText);
  virtual void OpenOutput();
  virtual void RecalcAndOpenOutput();
  virtual void ReadResults(int document);
  // Reads "info" and "input"; 0 when the document has no root or no "info" (nothing is changed then).
  virtual int ReadData(int document);
  virtual void WriteData(int document);
  virtual void SetDefaults();
  virtual void Redraw(BOOL flag);
  virtual void Draw2D(BOOL flag);
  virtual void Draw3D(BOOL flag);
  virtual void PreviewHook1(int value);
  virtual void PreviewHook2(int value);
  virtual int PreviewQuery(int a, int b);
  virtual void PickObject(CWnd* control, int objectId);
  virtual void DragObject(CWnd* control, int objectId, double x, double y, double raster, int viewPlane, int flags,
                          int reserved);
  virtual void EndDrag(int objectId);
  virtual void OnCommandHook(CWnd* control, int value);
  virtual void PreviewHook3();
  // True lets the calculation run; false with messages stops it.
  virtual bool PrepareCalc(CStringArray& messages, int flag) = 0;
  // Used instead of PrepareCalc when the second plausibility form is set.
  virtual bool CheckInput(BaseVarList& messages, int flag);

  // The calculate-and-store road: fingerprints of the input and of the output file, and the report block of the
  // variable definitions in "rtfFiles".
  void ResetInputFingerprint();
  void GetInputFingerprint(CFingerPrint& print) const;
  bool InputChanged() const;
  void SaveInputFingerprint();
  void GetOutputFingerprint(CFingerPrint& print) const;
  bool OutputChanged() const;
  void SaveOutputFingerprint();
  void ClearOutputFingerprint();
  void StoreVardefRtf();
  // With documents in use: the evaluated document part as the report's block in "rtfFiles". True when the
  // document part stands for the variable definitions (whether or not it had text to store).
  bool StoreDocumentRtf();

  void SetTabForDoc(int tab);
  int GetStartTab(int defaultTab);
  CString GetVortextTabTitle() const;
  // Shows a topic of a help file in the host program's folder with the desktop's opener: a PDF at the topic's
  // named destination, another file whole. A file that is not there is named in a box, and so is an opener's failure.
  static void ShowHelpTopic(const char* helpFile, const char* topic);
  // The file shown for a help file: for "x.chm" the PDF "x.pdf" beside it, unless only "x.chm" is there; else the
  // file named.
  static CString HelpFilePath(const char* helpFile);
  // What the opener gets to show the topic of that file: a PDF's address with the topic's name (its page's name
  // without folders and extension) as named destination; the path alone for other files or no topic.
  static std::string HelpAddress(const CString& path, const char* topic);
  // Opens a help file below the installation root with the desktop's program for it, as ShowHelpTopic does.
  static void OpenProgramFile(const char* relativePath);

  // The generic results tree and the annotations.
  void ReadAnnotations(int input);
  void WriteAnnotations(int input);
  // The document's full file name with its ".tqx" replaced by ".rtf" (else ".rtf" appended).
  CString GetOutputFileName() const;
  // The root's "exports" element (added when missing) without the values written directly under it, which the
  // variable definitions and the document part write anew; folders of other exports stay.
  static int PrepareExportsElement(int root);

  CDocumentPart& GetSubData() { return *pSubData; }
  CLoadTransferList& GetLUDataList() { return *luDataList; }

  CArray<CResultEntry> resultEntries;
  CVarDefList varDefs;
  CVariableStore variables;
  CLKData lastUeberlagerung;
  int busy = 0;
  int doc = 0;
  CString resultMessage;
  CString posDesc;
  bool bUsesLK = true;
  CMap<int, int, int, int> tabForDoc;
  CString progname;
  CString modulename;
  double version = 0.0;
  // "info"
  CString comment;
  CString owner;
  CString creationdate;
  CString lastuser;
  int errors = 0;
  int materialgroup = 0;
  int norm = 0;
  int laendercode = 0;
  int lknorm = 0;
  int bIsTemplate = 0;
  bool Modellhof = false;
  // "input"
  int nPage = 1;
  CString freeText;
  bool dickeLinie = false;
  CArray<CAnnotation> annotations;
  bool bPlausiV2 = false;
  // The preview: its drawing controls, view plane (0 XZ, 1 XY, 2 YZ) and picked object (-1 none).
  CArray<CWnd*, CWnd*> plot2D;
  CArray<CWnd*, CWnd*> plot3D;
  int viewPlane = 0;
  int pickedObject = -1;
  CWnd* pSkribDlg = nullptr;  // the document editor's dialog while it is open

 private:
  std::unique_ptr<CDocumentPart> pSubData;
  std::unique_ptr<CLoadTransferList> luDataList;
};
