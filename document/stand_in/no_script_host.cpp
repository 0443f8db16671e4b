// Builds without the script host: every call answers that there is none.
#include "platform/tqscript/tqscript.h"

namespace {
constexpr const char* kNone = "Der Skript-Host ist nicht vorhanden.";
}

int TQSCRIPT_StartSession() { return 1; }
void TQSCRIPT_EndSession(int) {}
void TQSCRIPT_ClearSession(int) {}
int TQSCRIPT_LoadMacroFile(int, const char*) { return 0; }
int TQSCRIPT_AddMacro(int, const char*) { return 0; }
double TQSCRIPT_Execute(int, const char*) { return 0.0; }
std::string TQSCRIPT_GetStrResult(int) { return {}; }
std::string TQSCRIPT_GetLastError(int, int& line, int& column) {
  line = column = 0;
  return kNone;
}
void TQSCRIPT_SetEditor(TQScriptEditor) {}
std::string TQSCRIPT_EditMacro(int, const std::string& text, const std::string&, int, int) { return text; }
