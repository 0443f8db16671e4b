// Loading the routines of the suite's programs: an interface procedure, a calculation routine or an output
// routine, named by a program record. A routine lives in a shared library, or, for programs built into the host
// executable, in a table of named functions that the host registers (never called by address).
#pragma once

#include "platform/win/afx.h"

// The host executable as a program record names it.
inline constexpr const char* kHostExecutableName = "vernik2005.exe";

// An interface procedure: the handle of an interface call document in, the reply out.
using InterfaceProc = int (*)(int document);
// A calculation or output routine: the position document and a flag; its result is not used.
using CalcProc = int (*)(int document, int flag);

// The host's own routines, by the names its program records give as ProcName. Registering a name again
// replaces it; a null function removes it.
void RegisterHostInterfaceProc(const char* name, InterfaceProc proc);
void RegisterHostCalcProc(const char* name, CalcProc proc);
InterfaceProc FindHostInterfaceProc(const char* name);
CalcProc FindHostCalcProc(const char* name);

// The file a library name of a program record stands for: a name with a folder is taken as it is; otherwise the
// file lies in the folder of the host executable, "name.dll" being the shared library "libname.so". The case of
// the name is kept.
CString GetProgramLibraryPath(const char* dllName);
// The library opened (nullptr when it cannot be), and a symbol of it (nullptr when missing).
void* OpenProgramLibrary(const char* dllName);
void* FindProgramSymbol(void* library, const char* procName);
void CloseProgramLibrary(void* library);

// One calculation or output routine, loaded for one call and released with the object.
class CalcDLL {
 public:
  // Loads the routine; a missing library or routine is reported here, once.
  CalcDLL(const char* dllName, const char* procName);
  virtual ~CalcDLL();
  CalcDLL(const CalcDLL&) = delete;
  CalcDLL& operator=(const CalcDLL&) = delete;

  // Calls the routine with the document and flag. Without a routine, or when the routine throws, a message.
  void Call(int document, int flag);

  bool HasRoutine() const { return m_proc != nullptr; }

 private:
  void* m_library = nullptr;  // none for the host's own routines
  CalcProc m_proc = nullptr;
};
