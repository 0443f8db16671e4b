// The catalogue of the suite's programs: one record per program and module, read from the program description
// files "pi\*.pi" of the installation root. It tells which program a position or a file belongs to, which libraries
// and routines implement a program's interface, calculation and output, and which icon shows it.
#pragma once

#include <map>
#include <memory>

#include "framework/basedata.h"
#include "platform/win/afx.h"

class CWnd;
class CImageList;

struct ProgContextMenuEntry {
  CString desc;
  CString command;
};

class ProgDBEntry {
 public:
  bool IsInstalled() const;
  // Calls the program's interface procedure with the call document and returns its reply; the document is
  // closed afterwards in every case (the caller hands it over). Failures give a message and 0.
  int CallInterface(int document);
  // "GetData" with the window and the value.
  int CallGetData(CWnd* window, int value);

  CString shortProgName;  // the program's key in position files ("progname")
  CString progName;       // display name, translated
  CString progNameOrig;   // display name as the description file has it
  CString shortModuleName;
  CString moduleName;
  CString progGroup;
  CString progGroupNew;
  CString materialGroup;
  CString defaultTemplate;
  CString versionDoc;
  // 0 program with an interface library, 1 free-text position, 2 stand-alone executable, 4 free text, 6 plug-in.
  int progType = 0;
  int bNeverDeleteWnds = 0;
  int bOnlyForUpdate = 0;
  int bInvisiblePos = 0;
  int bModularisieren = 0;
  int bUserPlugIn = 0;
  double progVersion = 0.01;
  CString iconName;
  int icon = -1;
  CString DLLName;
  CString ProcName;
  CString calcDLLName;
  CString calcProcName;
  CString rtfDLLName;
  CString rtfProcName;
  CString progGroupNet;
  CString plugInExe;
  CString plugInExt;
  CString plugInTemplate;
  CString projectPath;
  int bNoQuotation = 0;
  int bIncSubDir = 0;
  CArray<ProgContextMenuEntry> contextMenu;
  CStringArray additionalFiles;  // file masks that belong to a position
  // Windows the host attaches; destroyed with the catalogue unless bNeverDeleteWnds.
  CWnd* pWnd1 = nullptr;
  CWnd* pWnd2 = nullptr;
  // The interface library, loaded on the first call and kept for the life of the process.
  void* hInterfaceLib = nullptr;
};

// One row of the suite's program table.
struct ProgTableRow {
  const char* code;
  const char* description;
  int icon;
};

class ProgDB {
 public:
  // Scans the description files of the installation root, then adds the fixed records.
  ProgDB();
  ~ProgDB();
  ProgDB(const ProgDB&) = delete;
  ProgDB& operator=(const ProgDB&) = delete;

  // The record, or nullptr.
  ProgDBEntry* FindProg(const char* progname, const char* modulename);
  // Stores a copy under the key, replacing an existing record.
  void AddProg(const char* progname, const char* modulename, const ProgDBEntry& entry);
  // The record of a file by its extension (".tqx" by its head, converted first where a converter knows it;
  // ".tq1" by its first line; ".rtf" the free-text position; else a plug-in's extension); nullptr when none.
  ProgDBEntry* FindProgForFile(const char* path);
  // The program icons as a 16x16 image list, built on first use; GetIconIndex maps an icon number to its image
  // (an unknown number maps to itself).
  CImageList* GetImageList();
  int GetIconIndex(int icon);

  // Forgets every record and reads the installation again.
  void Reload();
  int GetCount() const { return int(m_entries.size()); }
  // Whether identifying a current position file brings it up to date first.
  bool bConvertFiles = true;

  static const ProgTableRow* FindProgTableRow(const char* code);
  static constexpr const char* kStairProgram = "TREPPE";
  static constexpr const char* kVariablesProgram = "VARIABLEN";

 private:
  void Scan();
  void AddFixedRecords();
  void Clear();

  std::map<CString, std::unique_ptr<ProgDBEntry>> m_entries;
  std::unique_ptr<CImageList> m_imageList;
  std::map<int, int> m_iconIndex;
};

// The module's catalogue, built on first use.
ProgDB& GetProgDB();
// The position base's view of the catalogue (installed with SetProgramLookup when the library loads).
const CProgramLookup& GetProgDBLookup();
