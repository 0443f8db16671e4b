#include "platform/win/dialogs/msgbox.h"

#include <errno.h>

#include <deque>
#include <mutex>

#include "platform/win/base/codepage.h"
#include "platform/win/window/afxwnd.h"
#include "platform/win/dialogs/msgboxwnd.h"
#include "platform/win/screen/screen.h"
#include "platform/win/window/internal.h"

namespace win::msgbox {
namespace {

struct Sink {
  std::recursive_mutex mutex;
  std::deque<int> answers;
  std::vector<Record> log;
  std::function<int(const Record&)> unscripted;
  std::FILE* echo = nullptr;
  bool showOnScreen = true;
};

Sink& TheSink() {
  static Sink sink;
  return sink;
}

// The answers of each button set (MB_OK to MB_RETRYCANCEL), a set of fewer buttons repeating its last.
constexpr int kButtons[][3] = {
    {IDOK, IDOK, IDOK},      {IDOK, IDCANCEL, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
    {IDYES, IDNO, IDCANCEL}, {IDYES, IDNO, IDNO},        {IDRETRY, IDCANCEL, IDCANCEL},
};

const int* ButtonsOf(UINT type) {
  const UINT set = type & MB_TYPEMASK;
  return kButtons[set > MB_RETRYCANCEL ? MB_OK : set];
}

}  // namespace

int DefaultAnswer(UINT type) {
  UINT def = (type & MB_DEFMASK) >> 8;
  if (def > 2) def = 0;
  return ButtonsOf(type)[def];
}

bool Offers(UINT type, int answer) {
  const int* buttons = ButtonsOf(type);
  return answer == buttons[0] || answer == buttons[1] || answer == buttons[2];
}

const char* AnswerText(int answer) {
  switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "?";
  }
}

const char* ButtonsText(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return "OK/Cancel";
    case MB_ABORTRETRYIGNORE: return "Abort/Retry/Ignore";
    case MB_YESNOCANCEL: return "Yes/No/Cancel";
    case MB_YESNO: return "Yes/No";
    case MB_RETRYCANCEL: return "Retry/Cancel";
    default: return "OK";
  }
}

void QueueAnswer(int answer) {
  std::lock_guard lock(TheSink().mutex);
  TheSink().answers.push_back(answer);
}

void ClearAnswers() {
  std::lock_guard lock(TheSink().mutex);
  TheSink().answers.clear();
}

std::size_t PendingAnswers() {
  std::lock_guard lock(TheSink().mutex);
  return TheSink().answers.size();
}

void SetUnscriptedHandler(std::function<int(const Record&)> handler) {
  std::lock_guard lock(TheSink().mutex);
  TheSink().unscripted = std::move(handler);
}

void SetShowOnScreen(bool show) {
  std::lock_guard lock(TheSink().mutex);
  TheSink().showOnScreen = show;
}

void SetEchoStream(std::FILE* stream) {
  std::lock_guard lock(TheSink().mutex);
  TheSink().echo = stream;
}

const std::vector<Record>& Log() { return TheSink().log; }

void ClearLog() {
  std::lock_guard lock(TheSink().mutex);
  TheSink().log.clear();
}

namespace {

// A box shows, prints and keeps at most this much of its text: a text of megabytes would fill the screen's layout,
// standard error and the log, and nobody reads it in a box.
constexpr std::size_t kMaxShownText = 4096;
// The log keeps the latest boxes only: a long run (or a macro's loop) would otherwise keep every box till the end.
constexpr std::size_t kMaxLoggedBoxes = 256;

// The text cut at a character's start within the bound, saying how long it was.
std::string Bounded(std::string text) {
  if (text.size() <= kMaxShownText) return text;
  std::size_t characters = 0;
  for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  std::size_t cut = kMaxShownText;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text + "\n… (gekürzt, insgesamt " + std::to_string(characters) + " Zeichen)";
}

// A box without a caption of its own is titled with the application's name.
std::string CaptionShown(const std::string& caption) {
  if (!caption.empty()) return caption;
  if (CWinApp* app = AfxGetApp(); app && !app->m_strAppName.IsEmpty()) return app->m_strAppName.GetString();
  return program_invocation_short_name;
}

}  // namespace

int Show(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
  detail::CancelModes();
  Sink& s = TheSink();
  Record r;
  r.text = Bounded(text ? text : "");
  r.caption = Bounded(caption ? caption : "");
  r.type = type;
  bool onScreen = false;
  {
    std::lock_guard lock(s.mutex);
    if (!s.answers.empty()) {
      r.answer = s.answers.front();
      s.answers.pop_front();
      r.scripted = true;
    } else {
      onScreen = s.showOnScreen && CurrentScreen() != nullptr;
    }
  }
  if (onScreen) {
    // The lock is not held while a person answers: the box's own buttons may lead to further boxes.
    r.onScreen = true;
    r.answer = detail::RunMessageBoxWindow(owner ? owner : GetActiveWindow(), r.text, CaptionShown(r.caption), type,
                                           DefaultAnswer(type));
  }
  std::lock_guard lock(s.mutex);
  if (!r.scripted && !r.onScreen) {
    r.answer = DefaultAnswer(type);
    if (s.unscripted) {
      int a = s.unscripted(r);
      if (a != 0) r.answer = a;
    }
  }
  if (s.echo && !r.onScreen) {
    // a box may quote a file's text, which must not drive the terminal
    std::fprintf(s.echo, "[message box%s%s] %s [%s] -> %s\n", r.caption.empty() ? "" : ": ",
                 TerminalText(r.caption).c_str(), TerminalText(r.text).c_str(), ButtonsText(type),
                 AnswerText(r.answer));
    std::fflush(s.echo);
  }
  if (s.log.size() >= kMaxLoggedBoxes) s.log.erase(s.log.begin());
  s.log.push_back(r);
  return r.answer;
}

}  // namespace win::msgbox

int AfxMessageBox(LPCTSTR text, UINT type, UINT /*helpId*/) { return win::msgbox::Show(nullptr, text, "", type); }

int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
  return win::msgbox::Show(owner, text, caption, type);
}

BOOL MessageBeep(UINT) { return TRUE; }
