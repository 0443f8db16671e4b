// The script host: an interpreter of a procedural VBScript subset, one session per document part.
// Macros can compute and show messages, nothing else: no files, objects or system access.
#pragma once

#include <functional>
#include <string>

// A new, empty session; its handle is positive.
int TQSCRIPT_StartSession();
void TQSCRIPT_EndSession(int session);
// Forgets every macro of the session (the session stays open).
void TQSCRIPT_ClearSession(int session);

// Adds the procedures of a macro file or a macro text to the session. 1 when it compiled, 0 on an error
// (TQSCRIPT_GetLastError says which and where; the session keeps what it had before the call).
int TQSCRIPT_LoadMacroFile(int session, const char* path);
int TQSCRIPT_AddMacro(int session, const char* text);

// Runs a statement: a procedure call "Name(1, \"a\")", "Name" alone, or an expression. Returns the numeric
// result (0 when there is none or on an error); the text form of the result stays for TQSCRIPT_GetStrResult.
double TQSCRIPT_Execute(int session, const char* statement);
std::string TQSCRIPT_GetStrResult(int session);

// The text of the last error of the session, empty when the last call succeeded; line and column count
// from 1 within the text that was compiled or executed (0 when unknown).
std::string TQSCRIPT_GetLastError(int session, int& line, int& column);

// The macro editor: with no editor installed (headless), the text comes back unchanged.
using TQScriptEditor = std::function<std::string(int session, const std::string& text, const std::string& error,
                                                 int line, int column)>;
void TQSCRIPT_SetEditor(TQScriptEditor editor);
std::string TQSCRIPT_EditMacro(int session, const std::string& text, const std::string& error, int line,
                               int column);
