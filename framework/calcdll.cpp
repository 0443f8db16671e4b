#include "framework/calcdll.h"

#include <dlfcn.h>

#include <map>
#include <string>

#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "CalcDLL", text)); }

template <class Proc>
std::map<std::string, Proc>& HostTable() {
  static std::map<std::string, Proc> table;
  return table;
}

template <class Proc>
void Register(const char* name, Proc proc) {
  if (!name) return;
  if (proc)
    HostTable<Proc>()[name] = proc;
  else
    HostTable<Proc>().erase(name);
}

template <class Proc>
Proc Find(const char* name) {
  if (!name) return nullptr;
  auto& table = HostTable<Proc>();
  auto it = table.find(name);
  return it == table.end() ? nullptr : it->second;
}

bool EndsWithNoCase(const CString& text, const char* suffix) {
  int n = int(std::char_traits<char>::length(suffix));
  return text.GetLength() >= n && text.Right(n).CompareNoCase(suffix) == 0;
}

}  // namespace

void RegisterHostInterfaceProc(const char* name, InterfaceProc proc) { Register(name, proc); }
void RegisterHostCalcProc(const char* name, CalcProc proc) { Register(name, proc); }
InterfaceProc FindHostInterfaceProc(const char* name) { return Find<InterfaceProc>(name); }
CalcProc FindHostCalcProc(const char* name) { return Find<CalcProc>(name); }

CString GetProgramLibraryPath(const char* dllName) {
  CString name = dllName ? dllName : "";
  if (name.IsEmpty()) return name;
  if (name.FindOneOf("/\\") >= 0) return CString(win::ToFsPath(name.str()));
  if (EndsWithNoCase(name, ".dll")) name = "lib" + name.Left(name.GetLength() - 4) + ".so";
  return CString(win::JoinPath(win::ExeDir(), name.str()));
}

void* OpenProgramLibrary(const char* dllName) {
  CString path = GetProgramLibraryPath(dllName);
  if (path.IsEmpty()) return nullptr;
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void* FindProgramSymbol(void* library, const char* procName) {
  if (!library || !procName || !*procName) return nullptr;
  return dlsym(library, procName);
}

void CloseProgramLibrary(void* library) {
  if (library) dlclose(library);
}

CalcDLL::CalcDLL(const char* dllName, const char* procName) {
  CString dll = dllName ? dllName : "";
  CString proc = procName ? procName : "";
  CString message;
  if (dll.CompareNoCase(kHostExecutableName) == 0) {
    // The host's routines are found by name in the table it registered, never called by address.
    if (!(m_proc = FindHostCalcProc(proc)))
      message.Format(Tr("Die Funktion '%s' in der dll '%s' wurde nicht gefunden!").GetString(), proc.GetString(),
                     dll.GetString());
  } else if (!(m_library = OpenProgramLibrary(dll))) {
    message.Format(Tr("Die dll '%s' wurde nicht gefunden!").GetString(), dll.GetString());
  } else if (!(m_proc = reinterpret_cast<CalcProc>(FindProgramSymbol(m_library, proc)))) {
    message.Format(Tr("Die Funktion '%s' in der dll '%s' wurde nicht gefunden!").GetString(), proc.GetString(),
                   dll.GetString());
  }
  if (!message.IsEmpty()) AfxMessageBox(message);
}

CalcDLL::~CalcDLL() { CloseProgramLibrary(m_library); }

void CalcDLL::Call(int document, int flag) {
  if (!m_proc) {
    AfxMessageBox(Tr("Fehler beim Aufruf der Berechnungsroutine.\nPosition kann nicht gerechnet werden!"));
    return;
  }
  // No exception leaves a calculation call, whether the routine is the host's or a library's.
  try {
    m_proc(document, flag);
  } catch (...) {
    AfxMessageBox(Tr("Fehler in der Rechenroutine."));
  }
}
