#include "platform/tqscript/tqscript.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <cstring>
#include <vector>

#include "platform/tqscript/script_internal.h"
#include "platform/win/base/codepage.h"

namespace {

using namespace tqscript;

// A macro text, of a file or of a document, is refused beyond this many bytes.
constexpr std::size_t kMaxMacroBytes = 16u << 20;

struct Session {
  SessionState state;
  std::string error;
  int errorLine = 0, errorColumn = 0;
  bool outOfTime = false;
  std::string strResult;
  // Why texts were not loaded since the session was cleared: their procedures are missing, and a call of one of
  // them says why.
  std::vector<std::string> refusals;
};

struct Registry {
  std::recursive_mutex mutex;
  std::map<int, std::shared_ptr<Session>> sessions;
  int next = 1;
  TQScriptEditor editor;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::shared_ptr<Session> Find(int session) {
  auto& r = TheRegistry();
  auto it = r.sessions.find(session);
  return it == r.sessions.end() ? nullptr : it->second;
}

void SetError(Session& s, const ScriptError& e) {
  s.error = e.message;
  if (!e.procedure.empty()) s.error += " in " + e.procedure;
  if (e.line > 0) s.error += " (Zeile " + std::to_string(e.line) + ", Spalte " + std::to_string(e.column) + ")";
  s.errorLine = e.line;
  s.errorColumn = e.column;
  s.outOfTime = e.outOfTime;
}

void ClearError(Session& s) {
  s.error.clear();
  s.errorLine = s.errorColumn = 0;
  s.outOfTime = false;
}

constexpr std::size_t kMaxRefusalsKept = 4;

// Notes why the text `source` names was not loaded (the session's error), for a later call of its missing
// procedures; a stopped budget is said on its own, once. Returns 0, the load's result.
int NoteRefusal(Session& s, const std::string& source) {
  if (!s.outOfTime && s.refusals.size() < kMaxRefusalsKept) {
    std::string refusal = source + " wurde nicht geladen: " + s.error;
    // its place in words: the error's own place stays the last thing in brackets
    if (s.errorLine > 0) {
      refusal.erase(refusal.rfind(" (Zeile "));
      refusal += ", Zeile " + std::to_string(s.errorLine) + ", Spalte " + std::to_string(s.errorColumn);
    }
    s.refusals.push_back(refusal);
  }
  return 0;
}

// The text as UTF-8 in `converted` when it is not already, counted as the parse's own copy.
std::string_view InUtf8(std::string_view text, std::string& converted) {
  if (win::IsValidUtf8(text)) return text;
  converted = win::Windows1252ToUtf8(text);
  ChargeMemory(TextBytes(converted.capacity()));
  return converted;
}

// Compiles the text and runs its module-level statements; on any error the session is as it was. `source` names
// the text in what a later call of its missing procedures says.
int Load(Session& s, std::string_view text, const std::string& source) {
  ClearError(s);
  RunScope runScope;
  std::optional<SessionState> before;
  try {
    CheckBudgetLeft();
    // Arrays are copied too: the text's statements may change their elements before they fail.
    before = s.state;
    for (auto& [name, cell] : before->globals)
      cell = std::make_shared<Cell>(Cell{CopyValue(cell->value), cell->constant});
    std::string converted;
    Program program = ParseProgram(InUtf8(text, converted));
    if (program.optionExplicit) s.state.optionExplicit = true;
    // A later text may replace a procedure of an earlier one (the user's file over the maker's).
    using Entry = decltype(s.state.procedures)::value_type;
    for (auto& p : program.procedures) {
      // its entry in the session: a node with the next link and the hash beside the name and the pointer
      ChargeMemory(HeapBlock(sizeof(Entry) + 16) + TextBytes(p->name.capacity()));
      s.state.procedures[p->name] = p;
    }
    RunStatements(s.state, program.statements);
    return 1;
  } catch (const ScriptError& e) {
    if (before) s.state = std::move(*before);
    SetError(s, e);
  } catch (const std::bad_alloc&) {
    // the program is short of memory, not the macro of its budget: the run fails as any shortage does
    if (before) s.state = std::move(*before);
    throw;
  } catch (const std::exception& e) {
    if (before) s.state = std::move(*before);
    SetError(s, ScriptError{std::string("Interner Fehler: ") + e.what(), 0, 0, "", false});
  }
  return NoteRefusal(s, source);
}

// A text beyond kMaxMacroBytes: refused before it is read any further.
int RefuseTooLarge(Session& s, const std::string& message, const std::string& source) {
  SetError(s, ScriptError{message, 0, 0, "", false});
  return NoteRefusal(s, source);
}

// A procedure that is missing because its text was refused: the call's error says why the text was refused.
ScriptError WithRefusals(const Session& s, ScriptError e) {
  if (s.refusals.empty()) return e;
  if (e.message.rfind("Unbekannte Funktion: ", 0) != 0 && e.message.rfind("Unbekannte Prozedur: ", 0) != 0) return e;
  e.message += " (";
  for (std::size_t i = 0; i < s.refusals.size(); ++i) e.message += (i ? "; " : "") + s.refusals[i];
  e.message += ")";
  return e;
}

}  // namespace

namespace tqscript {

std::size_t HeldBytes() {
  auto& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  std::size_t bytes = 0;
  for (const auto& [handle, session] : r.sessions)
    for (const auto& [name, cell] : session->state.globals) bytes += BytesOf(cell->value);
  return bytes;
}

}  // namespace tqscript

int TQSCRIPT_StartSession() {
  auto& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  int handle = r.next++;
  r.sessions[handle] = std::make_shared<Session>();
  return handle;
}

void TQSCRIPT_EndSession(int session) {
  auto& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.sessions.erase(session);
}

void TQSCRIPT_ClearSession(int session) {
  std::lock_guard lock(TheRegistry().mutex);
  if (auto s = Find(session)) {
    s->state = SessionState{};
    s->refusals.clear();
    ClearError(*s);
    s->strResult.clear();
  }
}

int TQSCRIPT_LoadMacroFile(int session, const char* path) {
  std::lock_guard lock(TheRegistry().mutex);
  auto s = Find(session);
  if (!s) return 0;
  ClearError(*s);
  if (!path || !*path) return 1;
  std::error_code ec;
  // A macro file that was never written is no error: there is nothing to load.
  if (!std::filesystem::exists(path, ec)) return 1;
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path, ec)) {
    SetError(*s, ScriptError{std::string("Makrodatei nicht lesbar: ") + path, 0, 0, "", false});
    return 0;
  }
  const std::string source = std::string("die Makrodatei ") + path;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (size > kMaxMacroBytes) return RefuseTooLarge(*s, std::string("Makrodatei zu groß: ") + path, source);
  // read into one text of its size: a stream's growing copies would take several times the file
  std::string text(ec ? 0 : std::size_t(size), '\0');
  in.read(text.data(), std::streamsize(text.size()));
  text.resize(std::size_t(in.gcount()));
  return Load(*s, text, source);
}

int TQSCRIPT_AddMacro(int session, const char* text) {
  std::lock_guard lock(TheRegistry().mutex);
  auto s = Find(session);
  if (!s) return 0;
  ClearError(*s);
  const std::size_t length = text ? std::strlen(text) : 0;
  if (length > kMaxMacroBytes)
    return RefuseTooLarge(*s, "Makrotext zu groß: mehr als " + std::to_string(kMaxMacroBytes >> 20) + " MB",
                          "der Makrotext");
  return Load(*s, std::string_view(text ? text : "", length), "der Makrotext");
}

double TQSCRIPT_Execute(int session, const char* statement) {
  std::lock_guard lock(TheRegistry().mutex);
  auto s = Find(session);
  if (!s) return 0;
  ClearError(*s);
  s->strResult.clear();
  RunScope runScope;
  try {
    CheckBudgetLeft();
    ExprP expression;
    Block statements;
    std::string converted;
    ParseStatement(InUtf8(statement ? statement : "", converted), expression, statements);
    if (!expression) {
      RunStatements(s->state, statements);
      return 0;
    }
    Value v = Evaluate(s->state, *expression);
    if (v.kind == Value::Kind::Array) return 0;
    s->strResult = ToText(v, 0, 0);
    double d = 0;
    if (v.IsNumeric()) return ToDouble(v, 0, 0);
    if (v.kind == Value::Kind::String && ParseNumber(v.text, d)) return d;
    return 0;
  } catch (const ScriptError& e) {
    s->strResult.clear();
    SetError(*s, WithRefusals(*s, e));
    return 0;
  } catch (const std::bad_alloc&) {
    s->strResult.clear();
    throw;
  } catch (const std::exception& e) {
    s->strResult.clear();
    SetError(*s, ScriptError{std::string("Interner Fehler: ") + e.what(), 0, 0, "", false});
    return 0;
  }
}

std::string TQSCRIPT_GetStrResult(int session) {
  std::lock_guard lock(TheRegistry().mutex);
  auto s = Find(session);
  return s ? s->strResult : std::string();
}

std::string TQSCRIPT_GetLastError(int session, int& line, int& column) {
  std::lock_guard lock(TheRegistry().mutex);
  auto s = Find(session);
  if (!s) {
    line = column = 0;
    return "Unbekannte Skriptsitzung: " + std::to_string(session);
  }
  line = s->errorLine;
  column = s->errorColumn;
  return s->error;
}

bool TQSCRIPT_RanOutOfTime(int session) {
  std::lock_guard lock(TheRegistry().mutex);
  auto s = Find(session);
  return s && s->outOfTime;
}

void TQSCRIPT_SetEditor(TQScriptEditor editor) {
  std::lock_guard lock(TheRegistry().mutex);
  TheRegistry().editor = std::move(editor);
}

std::string TQSCRIPT_EditMacro(int session, const std::string& text, const std::string& error, int line, int column) {
  TQScriptEditor editor;
  {
    std::lock_guard lock(TheRegistry().mutex);
    editor = TheRegistry().editor;
  }
  return editor ? editor(session, text, error, line, column) : text;
}
