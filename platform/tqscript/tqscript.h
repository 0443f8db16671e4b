// The script host: an interpreter of a procedural VBScript subset, one session per document part. Macros can compute
// and show messages, nothing else: no files, objects or system access. Names that would reach them (CreateObject,
// GetObject, Execute, Eval, Shell, Set, ...) are refused when the text is compiled, with the message "nicht
// unterstützt: <name>".
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// A runaway macro stops with an error after this many statements (loop turns count as statements) in one
// TQSCRIPT_Execute, TQSCRIPT_AddMacro or TQSCRIPT_LoadMacroFile, and beyond this many nested procedure calls.
inline constexpr long kTQScriptStepLimit = 1'000'000;
inline constexpr int kTQScriptDepthLimit = 200;
// Seconds one call may run, or all calls together while a budget is open. The clock is read every few hundred
// microseconds of work (statements, expression nodes, characters and elements touched), so that a call stops soon
// after its time, however long its statements are.
inline constexpr double kTQScriptTimeLimit = 10;
// Bytes of texts and arrays one call may create, or all calls together while a budget is open (what the sessions'
// module variables hold when it opens counts too): a macro must not be able to exhaust the memory of the process.
// Every byte a value keeps counts: an array's bounds and header, an empty one's too, and the allocator's share; so
// does what compiling a text or a statement makes (some hundred bytes a byte of statements).
// Arrays have at most 60 dimensions.
inline constexpr std::size_t kTQScriptMemoryLimit = 256u << 20;
// Seconds of the time limit a message box costs at least, however soon it is answered: without a screen a box
// returns at once, and a loop of boxes would print without end.
inline constexpr double kTQScriptBoxSeconds = 2;

// One time and memory budget for many calls: while a budget is open on the thread, every call into the host
// (Execute, AddMacro, LoadMacroFile) spends the time it runs and the bytes it creates from it, and once either is
// spent a call fails at once without running. A document that calls a macro per formula and one per event so costs
// at most the budget, not the limits per call. A budget opened while another is open joins that one. Without an
// open budget each call has kTQScriptTimeLimit and kTQScriptMemoryLimit of its own.
class TQScriptBudget {
 public:
  explicit TQScriptBudget(double seconds = kTQScriptTimeLimit, std::size_t bytes = kTQScriptMemoryLimit);
  ~TQScriptBudget();
  TQScriptBudget(const TQScriptBudget&) = delete;
  TQScriptBudget& operator=(const TQScriptBudget&) = delete;

  // The open budget is spent: calls made now fail.
  static bool Spent();
  // True for the first caller after the open budget was spent, false for every later one: one message per budget.
  static bool ClaimStopMessage();

 private:
  bool outermost;
};

// A budget of its own for one action of the person: the budget open when it begins (of an action it interrupts,
// such as the click that opened a dialog the person now works in) is set aside and goes on when this one closes.
class TQScriptActionBudget {
 public:
  explicit TQScriptActionBudget(double seconds = kTQScriptTimeLimit, std::size_t bytes = kTQScriptMemoryLimit);
  ~TQScriptActionBudget();
  TQScriptActionBudget(const TQScriptActionBudget&) = delete;
  TQScriptActionBudget& operator=(const TQScriptActionBudget&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved;
};

// The clock of the time limits, in seconds; tests install one they advance themselves. nullptr: the steady clock.
void TQSCRIPT_SetClock(std::function<double()> clock);

// A new, empty session; its handle is positive.
int TQSCRIPT_StartSession();
void TQSCRIPT_EndSession(int session);
// Forgets every macro of the session (the session stays open).
void TQSCRIPT_ClearSession(int session);

// Adds the procedures of a macro file or a macro text to the session and runs its module-level statements (Dim, Const,
// ...). 1 when it compiled and ran, 0 on an error (TQSCRIPT_GetLastError says which and where; the session keeps what
// it had before the call). A procedure of a later text replaces one of the same name. A macro file that does not exist
// loads nothing and is no error. Texts that are not UTF-8 are read as Windows-1252. A file or a text of more than
// 16 MiB is refused ("Makrodatei zu groß: <path>", "Makrotext zu groß: mehr als 16 MB").
int TQSCRIPT_LoadMacroFile(int session, const char* path);
int TQSCRIPT_AddMacro(int session, const char* text);

// Runs a statement: a procedure call "Name(1, \"a\")", "Name" alone, or an expression; "x = 1" assigns. Returns the
// numeric result (0 when there is none, when it is a text that is no number, or on an error; True is -1); the text form
// of the result stays for TQSCRIPT_GetStrResult: "" for none, numbers with "." and the shortest digits that read back
// as the same double, plain for 1e-5 <= |x| < 1e15, else as "1.5E+20".
double TQSCRIPT_Execute(int session, const char* statement);
std::string TQSCRIPT_GetStrResult(int session);

// The text of the last error of the session, empty when the last call succeeded, in the form "<what>[ in <procedure>]
// (Zeile 3, Spalte 7)"; line and column count from 1 (characters) within the text that was compiled or executed, or,
// for an error inside a procedure, within the macro text that defines it (0 when unknown).
// A call of a procedure the session does not know says in brackets after the name why each text that failed to load
// since the session was cleared was refused: the procedure may be one of them.
std::string TQSCRIPT_GetLastError(int session, int& line, int& column);

// The last call of the session failed because the open TQScriptBudget was spent (its time or its memory, before or
// while it ran).
bool TQSCRIPT_RanOutOfTime(int session);

// The macro editor: with no editor installed (headless), the text comes back unchanged.
using TQScriptEditor =
    std::function<std::string(int session, const std::string& text, const std::string& error, int line, int column)>;
void TQSCRIPT_SetEditor(TQScriptEditor editor);
std::string TQSCRIPT_EditMacro(int session, const std::string& text, const std::string& error, int line, int column);
