// The command-line host: loads the column module as the suite's host does and drives its exports.
//
//   kolumo [--answer ok|cancel|yes|no|N] new FILE.tqx
//   kolumo [--answer ...] roundtrip IN.tqx OUT.tqx
//   kolumo [--answer ...] calc FILE.tqx
//   kolumo [--answer ...] report FILE.tqx
//   kolumo [--answer ...] edit FILE.tqx
//   kolumo [--answer ...] call ACTION [TYPE=VALUE ...]
//   kolumo --help | --version
//
// Without a screen, message boxes are printed to stderr and answered with their default button, or with --answer.
// On a screen ("edit", or "calc" with a display) they are windows the user answers, unless --answer was given.
// The steps of the progress dialog go to stdout.
// Exit status: 0 when the job was done, 1 when it failed or the module refused the call (files on disk stay as
// they were; "calc" also when the position was changed on disk while it was calculated, or another program is saving
// it), 2 for a wrong command or an --answer that a question does not offer, 3 when "calc" calculated and saved the
// position but a verification is not fulfilled.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "framework/firedimension.h"
#include "framework/utilities.h"
#include "host/edit.h"
#include "host/module.h"
#include "platform/win/base/codepage.h"
#include "platform/win/base/replace.h"
#include "platform/win/screen/x11screen.h"
#include "platform/win/window/action.h"
#include "platform/rtfx/rtfx.h"
#include "platform/viduv/viduv.h"

namespace {

constexpr const char* kUsage =
    "usage: kolumo [--answer ok|cancel|yes|no|N] COMMAND\n"
    "  new FILE.tqx                 a new column position from the default input (the user's template\n"
    "                               \"TQ-KOLUMO Vorbelegung.tqx\", else the installation's)\n"
    "  roundtrip IN.tqx OUT.tqx     reads a position into the module and writes it back as OUT\n"
    "  calc FILE.tqx                calculates the position and saves it\n"
    "  report FILE.tqx              writes the report beside the position\n"
    "  edit FILE.tqx                opens the column's input dialog on the X display $DISPLAY; OK saves the\n"
    "                               position, Cancel leaves the file as it was. A save that fails (also after\n"
    "                               3 s while another program is saving the position) says why in a box and\n"
    "                               the dialog stays open; a position changed on disk since it was opened is\n"
    "                               replaced only after a question\n"
    "  call ACTION [TYPE=VALUE ...] one interface call; VALUE is a number, host, dialog, doc:PATH or text:TEXT\n"
    "  --answer A                   before a command: every message box is answered with A (ok, cancel, yes,\n"
    "                               no, or a button's number) instead of its default button or the person at\n"
    "                               the screen; a box with only OK takes OK\n"
    "  --help, -h                   this text, also after a command (which then does nothing)\n"
    "  --version                    the module's program version\n"
    "Exit status:\n"
    "  0  done; for calc: calculated and saved, every verification fulfilled\n"
    "  1  failed or refused; for calc: nothing written, the position is as it was\n"
    "     (also when the program ran out of memory: \"Zu wenig Speicher\", and nothing written)\n"
    "     (also when the position was changed on disk while it was calculated: another program, or kolumo\n"
    "     edit, saved it meanwhile; the results are not saved over it)\n"
    "     (also when another program is saving the position: a save waits 3 s at most for its lock)\n"
    "  2  wrong command or arguments; also a question in a message box that does not offer the --answer\n"
    "     given: the run ends there, before what the box asks about, and says so on standard error\n"
    "  3  calc only: calculated and saved, but a verification is not fulfilled (a shear strut that crushes, a fire\n"
    "     table not met, or fire resistance asked under a code without fire tables); one line on standard output\n"
    "     names each\n"
    "The installation root (program descriptions, catalogues, templates) is $KOLUMO_ROOT, else found beside the\n"
    "program: ../root (build tree), ../share/kolumo (installed) or the program's parent folder.\n";

static_assert(win::kLockWait == std::chrono::seconds(3), "the help names the wait of a save for another's lock");

// The commands and their arguments, for the one line of usage after a wrong command.
struct CommandForm {
  const char* name;
  const char* arguments;
  std::size_t least, most;  // arguments after the command's name
};
constexpr std::size_t kAny = std::size_t(-1);
constexpr CommandForm kCommands[] = {
    {"new", "FILE.tqx", 1, 1},  {"roundtrip", "IN.tqx OUT.tqx", 2, 2},
    {"calc", "FILE.tqx", 1, 1}, {"report", "FILE.tqx", 1, 1},
    {"edit", "FILE.tqx", 1, 1}, {"call", "ACTION [TYPE=VALUE ...]", 1, kAny},
    {"--version", "", 0, 0},
};

const CommandForm* FindCommand(const std::string& name) {
  for (const CommandForm& form : kCommands)
    if (name == form.name) return &form;
  return nullptr;
}

// A wrong command line: its reason and one line of usage, status 2.
int Wrong(const std::string& reason, const CommandForm* form = nullptr) {
  std::fprintf(stderr, "kolumo: %s\n", win::TerminalText(reason).c_str());
  if (form)
    std::fprintf(stderr, "usage: kolumo [--answer A] %s%s%s (kolumo --help says more)\n", form->name,
                 *form->arguments ? " " : "", form->arguments);
  else
    std::fputs("usage: kolumo [--answer A] new|roundtrip|calc|report|edit|call ... (kolumo --help says more)\n",
               stderr);
  return 2;
}

// Texts of a file (a load's name, a reason that quotes one) are printed with their control characters escaped.
int Fail(const std::string& text) {
  std::fprintf(stderr, "kolumo: %s\n", win::TerminalText(text).c_str());
  return 1;
}

constexpr const char* kOutOfMemory = "Zu wenig Speicher (out of memory)";

// Running out of memory where no caller can take the failure (a static object of the module built while it loads, a
// destructor) ends the run as any shortage does, with status 1 and its reason, not with a signal. Saves replace
// files whole, so a file is the old one or the new one.
[[noreturn]] void Terminate() {
  bool shortage = false;
  if (const std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::bad_alloc&) {
      shortage = true;
    } catch (...) {}
  }
  std::fflush(nullptr);
  if (shortage && host::WrittenStatus() >= 0) {
    static const char text[] = "kolumo: Zu wenig Speicher (out of memory) after the files were written whole\n";
    [[maybe_unused]] const auto written = ::write(2, text, sizeof text - 1);
    std::_Exit(host::WrittenStatus());
  }
  if (shortage) {
    static const char text[] =
        "kolumo: stopped: Zu wenig Speicher (out of memory); files not saved by then are as they were\n";
    [[maybe_unused]] const auto written = ::write(2, text, sizeof text - 1);
    std::_Exit(1);
  }
  std::abort();
}

std::optional<int> ParseAnswer(const std::string& text) {
  if (text == "ok") return IDOK;
  if (text == "cancel") return IDCANCEL;
  if (text == "yes") return IDYES;
  if (text == "no") return IDNO;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (!text.empty() && end && *end == '\0' && value > 0) return int(value);
  return std::nullopt;
}

// A position document of the host, closed when the job ends.
using Document = viduv::ScopedDoc;

// Opens a column position; a clear message when the file is missing, unreadable or no column position.
int OpenColumnPosition(const std::string& path, std::string& error) {
  std::error_code code;
  const auto status = std::filesystem::status(path, code);
  if (!std::filesystem::exists(status)) {
    error = path + ": no such file";
    return 0;
  }
  // A FIFO or a device would hold the read or feed it endlessly.
  if (!std::filesystem::is_regular_file(status)) {
    error = path + ": not a regular file; a position is read only from a file";
    return 0;
  }
  const int doc = VIDUV_OpenDoc(path.c_str());
  if (!doc) {
    error = path + ": the file cannot be read as a position (" + VIDUV_GetLastError() + ")";
    return 0;
  }
  const int root = VIDUV_GetRootElement(doc);
  if (!VIDUV_FindFirstChild(root, "info") || std::string(VIDUV_GetString(root, "progname")) != kKolumoProgName) {
    VIDUV_CloseDoc(doc);
    error = path + ": the file is no column position (program \"" + kKolumoProgName + "\")";
    return 0;
  }
  return doc;
}

// The document of a new position: the program's default input, the user's template else the installation's, read
// through the input dialog as any position is, so that the file is the module's own writing; results and exports of
// the position the template was saved from do not come along. 0 with a message when there is none.
int NewPositionDocument(const host::Module& module, int dialog, std::string& error) {
  const std::string vorlage = FindVorbelegungFile(kKolumoProgName, "").str();
  if (vorlage.empty()) {
    std::fprintf(stderr,
                 "kolumo: no default input (%s, nor one of that name in the installation's Vorlagen); the new "
                 "position is the module's empty column, with no report output chosen\n",
                 GetVorbelegungFile(kKolumoProgName, "").GetString());
    const int doc = module.Call("CreateEmptyDoc", {{"CWnd*", dialog}});
    if (!doc) error = "the module made no empty position";
    return doc;
  }
  const int doc = OpenColumnPosition(vorlage, error);
  if (!doc) {
    error += "; the default input cannot be used, no position written";
    return 0;
  }
  const int root = VIDUV_GetRootElement(doc);
  for (const char* name : {"result", "results", "exports"})
    for (int old = VIDUV_FindFirstChild(root, name); old; old = VIDUV_FindFirstChild(root, name))
      VIDUV_DeleteElement(old);
  module.Call("SetData", {{"CWnd*", dialog}, {"int", doc}});
  module.Call("GetData", {{"CWnd*", dialog}, {"int", doc}});
  return doc;
}

int New(host::Module& module, const std::string& path) {
  if (std::filesystem::exists(path)) return Fail(path + ": the file exists; a new position is not written over it");
  win::ActionScope job(true);
  host::InputDialog dialog(module);
  if (!dialog.get()) return Fail("the module made no input dialog");
  std::string error;
  Document doc(NewPositionDocument(module, dialog.get(), error));
  if (!doc.Get()) return Fail(error);
  dialog.Close();
  if (!VIDUV_SaveDocAs(doc.Get(), path.c_str())) return Fail(path + ": " + VIDUV_GetLastError());
  return 0;
}

int Roundtrip(host::Module& module, const std::string& in, const std::string& out) {
  // One job of the person, as "calc" and "report" are: the document's macros get one budget of time for the whole
  // of it, and say once that it ran out.
  win::ActionScope job(true);
  std::string error;
  Document doc(OpenColumnPosition(in, error));
  if (!doc.Get()) return Fail(error);
  host::InputDialog dialog(module);
  if (!dialog.get()) return Fail("the module made no input dialog");
  // A failed call has said why; what it left half read is not written.
  if (!module.Call("SetData", {{"CWnd*", dialog.get()}, {"int", doc.Get()}}))
    return Fail(in + ": the module could not read the position; " + out + " is not written");
  if (!module.Call("GetData", {{"CWnd*", dialog.get()}, {"int", doc.Get()}}))
    return Fail(in + ": the module could not write the position back; " + out + " is not written");
  // The dialog's end may run out of memory as well: it comes before the file is written.
  dialog.Close();
  if (module.RanShort()) return Fail(in + ": " + kOutOfMemory + "; " + out + " is not written");
  if (!VIDUV_SaveDocAs(doc.Get(), out.c_str())) return Fail(out + ": " + VIDUV_GetLastError());
  host::JobWritten(0);
  return 0;
}

// The line of a field whose fire table is not met: where and why, widths and axis distances in mm (the record
// keeps cm); the values of the reasons are those of the engine's fire check.
void PrintFireFailure(int n, const std::string& kombination) {
  const int feld = VIDUV_GetInt(n, "feld");
  const int grund = VIDUV_GetInt(n, "grund");
  if (grund == 3) {
    std::printf("NOT FULFILLED: fire resistance by tables, %s: not possible under %s, which has no fire tables\n",
                kombination.c_str(), win::TerminalText(VIDUV_GetString(n, "norm")).c_str());
    return;
  }
  std::printf("NOT FULFILLED: fire resistance by tables, ");
  if (feld > 0) std::printf("field %d, ", feld);
  std::printf("%s: ", kombination.c_str());
  if (grund == 2)
    std::printf("the table asks b = %.0f mm and a = %.0f mm, the section has b = %s mm and a = %s mm\n",
                RequiredFireMm(VIDUV_GetDouble(n, "erfB")), RequiredFireMm(VIDUV_GetDouble(n, "erfA")),
                PresentFireMmText(VIDUV_GetDouble(n, "vorhB")).c_str(),
                PresentFireMmText(VIDUV_GetDouble(n, "vorhA")).c_str());
  else if (grund == 1 && designcode::Exceeds(VIDUV_GetDouble(n, "grad"), VIDUV_GetInt(n, "grenze")))
    std::printf("reinforcement ratio > %d %% (Bewehrungsgrad > %d %%): the fire design asks %.2f %%\n",
                VIDUV_GetInt(n, "grenze"), VIDUV_GetInt(n, "grenze"),
                designcode::ExceedingRatio(VIDUV_GetDouble(n, "grad")));
  else if (grund == 1)
    std::printf("reinforcement ratio > %d %% (Bewehrungsgrad > %d %%): the fire design asks more than %d %%\n",
                VIDUV_GetInt(n, "grenze"), VIDUV_GetInt(n, "grenze"), VIDUV_GetInt(n, "grenze"));
  else
    std::printf("the tables are not met\n");
}

int Calc(host::Module& module, const std::string& path) {
  std::string error;
  Document doc(OpenColumnPosition(path, error));
  if (!doc.Get()) return Fail(error);
  if (!module.calcFunc())
    return Fail("the module cannot calculate yet: it has no calculation driver (calcFunc); " + path + " is unchanged");
  // Results of an earlier run must not pass for the results of this one.
  const int root = VIDUV_GetRootElement(doc.Get());
  for (int old = VIDUV_FindFirstChild(root, "result"); old; old = VIDUV_FindFirstChild(root, "result"))
    VIDUV_DeleteElement(old);
  module.calcFunc()(doc.Get(), 0);
  // What a calculation that ran short of memory left in the document is no result, whatever it holds.
  if (module.RanShort()) return Fail(path + ": the calculation stopped: " + kOutOfMemory + "; the file is unchanged");
  // The calculation reports success by the results it leaves in the document.
  const int result = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc.Get()), "result");
  if (!VIDUV_FindFirstChild(result, "Schnittgroessen"))
    return Fail(path + ": the calculation gave no results; the file is unchanged");
  int unerfuellt = 0;
  for (int n = VIDUV_FindFirstChild(result, "NichtErfuellt"); n; n = VIDUV_FindNextChild(n, "NichtErfuellt"))
    ++unerfuellt;
  if (!VIDUV_SaveDoc(doc.Get())) {
    const std::string reason = VIDUV_GetLastError();
    // Another program (or "kolumo edit") saved the position while it was calculated: its work is kept, and these
    // results, of the input as it was read, are not written over it.
    if (VIDUV_FileChangedOnDisk(doc.Get()))
      return Fail(path +
                  ": the position was changed on disk while it was calculated (another program saved it); the "
                  "results are not saved, the position is kept as the other program left it");
    return Fail(path + ": " + reason);
  }
  host::JobWritten(unerfuellt == 0 ? 0 : 3);
  // Per field whether the entered bars are what must be built: a raise is never silent.
  for (int f = VIDUV_FindFirstChild(result, "Feldbewehrung"); f; f = VIDUV_FindNextChild(f, "Feldbewehrung")) {
    const bool suffices = VIDUV_GetInt(f, "ausreichend") != 0;
    // A ring's inner ring is built besides the entered bars and counts with them.
    char inner[96] = "";
    if (const int innerBars = VIDUV_GetInt(f, "innererRingStaebe"); innerBars > 0)
      std::snprintf(inner, sizeof inner, " and the inner ring of %d bars, %.2f cm2", innerBars,
                    VIDUV_GetDouble(f, "innererRing"));
    std::printf("field %d: entered %d bars, %.2f cm2%s; to be built %.2f cm2; %s\n", VIDUV_GetInt(f, "feld"),
                VIDUV_GetInt(f, "staebe"), VIDUV_GetDouble(f, "eingegeben"), inner, VIDUV_GetDouble(f, "erforderlich"),
                suffices ? "the entered bars suffice" : "the entered bars do NOT suffice, the design raised them");
  }
  // A verification the calculation could not fulfil: its results are saved for the engineer to see, and the
  // status says that they are no design.
  for (int n = VIDUV_FindFirstChild(result, "NichtErfuellt"); n; n = VIDUV_FindNextChild(n, "NichtErfuellt")) {
    const std::string kombination = win::TerminalText(VIDUV_GetString(n, "kombination"));
    if (std::string(VIDUV_GetString(n, "nachweis")) == "Brand") {
      PrintFireFailure(n, kombination);
      continue;
    }
    const double ved = VIDUV_GetDouble(n, "ved"), vrdmax = VIDUV_GetDouble(n, "vrdmax");
    std::printf("NOT FULFILLED: shear strut, field %d, height %.2f m, %s: ", VIDUV_GetInt(n, "feld"),
                VIDUV_GetDouble(n, "kote"), kombination.c_str());
    if (const designcode::ExceedingTenths v = designcode::ExceedingInTenths(ved, vrdmax); ved > vrdmax)
      std::printf("VEd = %.1f kN > VRd,max = %.1f kN\n", v.value, v.limit);
    else
      std::printf("VEd = %.1f kN, VRd,max = %.1f kN, utilisation with torsion %.2f > 1\n", ved, vrdmax,
                  designcode::ExceedingRatio(VIDUV_GetDouble(n, "strebe")));
  }
  if (unerfuellt == 0) return 0;
  std::fprintf(stderr, "kolumo: %s: calculated and saved, but %d verification%s not fulfilled (exit status 3)\n",
               path.c_str(), unerfuellt, unerfuellt == 1 ? " is" : "s are");
  return 3;
}

int Report(host::Module& module, const std::string& path) {
  std::string error;
  Document doc(OpenColumnPosition(path, error));
  if (!doc.Get()) return Fail(error);
  if (!module.rtfFunc()) return Fail("the module cannot write reports yet: it has no report (RtfKolumo)");
  // Without the column's input the module would write a report of nothing and call it done.
  const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc.Get()), "input");
  if (!input || !VIDUV_FindFirstChild(input, "system"))
    return Fail(path +
                ": the position has no column input (no \"input\" element with its \"system\"); "
                "no report written");
  std::string report = path;
  if (report.size() >= 4 && strcasecmp(report.c_str() + report.size() - 4, ".tqx") == 0)
    report.resize(report.size() - 4);
  report += ".rtf";
  // The module says nothing of success: a report is new when the file there is another one than before.
  struct stat before {};
  const bool existed = ::stat(report.c_str(), &before) == 0;
  module.rtfFunc()(doc.Get(), 1);  // 1: write the report (0 only reads the position)
  if (module.RanShort())
    return Fail(report + ": the report was not written: " + kOutOfMemory + "; files are unchanged");
  struct stat after {};
  const bool now = ::stat(report.c_str(), &after) == 0;
  const bool same = now && existed && after.st_ino == before.st_ino && after.st_dev == before.st_dev &&
                    after.st_mtim.tv_sec == before.st_mtim.tv_sec && after.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
  if (now && S_ISREG(after.st_mode) && !same && !*RTFX_GetLastError()) {
    host::JobWritten(0);
    return 0;
  }
  // The writer's reason (the system's: permission, disk full, a folder in the way), when it gave one.
  const std::string reason = RTFX_GetLastError();
  const std::string why = reason.empty() ? std::string() : " (" + reason + ")";
  const std::string failed = report + ": the report was not written" + why;
  if (!now) return Fail(failed);
  if (!S_ISREG(after.st_mode)) return Fail(failed + "; what stands there is no report");
  return Fail(failed + "; the report standing there is an older one, not the new report");
}

int Edit(host::Module& module, const std::string& path) {
  std::string error;
  Document doc(OpenColumnPosition(path, error));
  if (!doc.Get()) return Fail(error);
  switch (host::EditPosition(module, doc.Get(), error)) {
    case host::EditResult::kSaved: return 0;
    case host::EditResult::kCancelled:
      std::fprintf(stderr, "kolumo: cancelled; %s is unchanged\n", path.c_str());
      return 0;
    case host::EditResult::kFailed: break;
  }
  return Fail(error + "; " + path + " is unchanged");
}

// One interface call with the parameters given as TYPE=VALUE.
int Call(host::Module& module, const std::string& action, const std::vector<std::string>& arguments) {
  host::CallObjects objects(module);
  std::vector<host::Param> params;
  for (const std::string& argument : arguments) {
    const auto equals = argument.find('=');
    if (equals == std::string::npos) return Fail("parameter \"" + argument + "\" is not TYPE=VALUE");
    std::string error;
    const std::optional<int> value = objects.Value(argument.substr(equals + 1), error);
    if (!value) return Fail(error);
    params.push_back({argument.substr(0, equals), *value});
  }
  const int reply = module.Call(action, params);
  std::printf("reply %d\n", reply);
  objects.Print(stdout);
  // a dialog or preview made for this call ends with it, before the host window it sits in and the input dialog
  // whose data a preview draws
  if ((action == "CreateInputDlg" || action == "CreatePreviewDlg") && reply) host::DestroyModuleDialog(reply);
  // An action answers a call it did with a non-zero reply; 0 is a refusal, whose reason is on stderr. Only the
  // message filter answers a question with its reply (0: not a message of the module).
  if (reply == 0 && action != "PreTranslateMessage") return Fail("the module refused \"" + action + "\" (reply 0)");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A write beyond the file-size limit fails with its reason (EFBIG) and the safe save keeps the old file; by
  // default the signal would end the program without a word, halfway through a save.
  std::signal(SIGXFSZ, SIG_IGN);
  std::set_terminate(Terminate);
  std::vector<std::string> args(argv + 1, argv + argc);
  // A command asked for its help does nothing else: "kolumo new --help" writes no position named "--help".
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  std::optional<int> answer;
  if (!args.empty() && args[0] == "--answer") {
    if (args.size() < 2) return Wrong("--answer needs an answer: ok, cancel, yes, no or a button's number");
    answer = ParseAnswer(args[1]);
    if (!answer) return Wrong("unknown answer \"" + args[1] + "\"");
    args.erase(args.begin(), args.begin() + 2);
  }
  const std::string command = args.empty() ? "" : args[0];
  const CommandForm* form = FindCommand(command);
  if (command.empty()) return Wrong("no command given");
  if (!form)
    return Wrong(command[0] == '-' ? "unknown option \"" + command + "\"" : "unknown command \"" + command + "\"");
  // No command takes an option: an argument that looks like one is a mistake, never a file's name.
  for (std::size_t i = 1; i < args.size(); ++i)
    if (!args[i].empty() && args[i][0] == '-')
      return Wrong(args[i] == "--answer" ? "--answer stands before the command"
                                         : "unknown option \"" + args[i] + "\" for \"" + command + "\"",
                   form);
  if (args.size() - 1 < form->least || args.size() - 1 > form->most)
    return Wrong("wrong arguments for \"" + command + "\"", form);

  std::string error;
  // The module reads its installation root from KOLUMO_ROOT; the host names the one beside it when none is set.
  const std::string root = host::FindInstallRoot(error);
  if (root.empty()) return Fail(error);
  ::setenv("KOLUMO_ROOT", root.c_str(), 1);
  if (command == "--version") {
    const std::string version = host::ProgramVersion(root, error);
    if (version.empty()) return Fail(error);
    std::printf("kolumo %s\n", version.c_str());
    return 0;
  }

  // The screen is chosen here, once: only "edit" and a calculation (its progress dialog) show windows, and only
  // when a display is there; everything else stays headless.
  std::unique_ptr<win::Screen> screen;
  std::unique_ptr<win::Clock> wallClock;
  if (command == "edit" || (command == "calc" && std::getenv("DISPLAY") && *std::getenv("DISPLAY"))) {
    const char* picture = std::getenv("KOLUMO_SCREEN_PICTURE");
    screen = win::OpenX11Screen(error, picture ? picture : "");
    if (!screen && command == "edit") return Fail(error);
    if (!screen) std::fprintf(stderr, "kolumo: %s; the calculation runs without windows\n", error.c_str());
    if (screen) {
      wallClock = win::MakeWallClock();
      win::SetClock(wallClock.get());
      win::SetScreen(screen.get());
    }
  }
  struct Headless {
    ~Headless() {
      win::SetScreen(nullptr);
      win::SetClock(nullptr);
    }
  } headlessAtEnd;
  // Without a screen no window is seen: none is painted, and only a report loads the fonts it prints.
  win::SetNothingShown(!screen);

  host::InitMessageBoxes(answer);
  // A call's standard output is its reply and objects, read by programs: no progress lines among them.
  if (command == "call") win::script::SetProgressStream(nullptr);
  auto module = host::Module::Load(error);
  if (!module) return Fail(error);
  // What the module's exports do not catch (an input dialog's window procedures called from "edit"'s window)
  // ends the job with its reason, never the program without one; a save is whole or not made.
  try {
    if (command == "new") return New(*module, args[1]);
    if (command == "roundtrip") return Roundtrip(*module, args[1], args[2]);
    if (command == "calc") return Calc(*module, args[1]);
    if (command == "report") return Report(*module, args[1]);
    if (command == "edit") return Edit(*module, args[1]);
    return Call(*module, args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  } catch (const std::bad_alloc&) {
    if (const int written = host::WrittenStatus(); written >= 0) {
      std::fputs("kolumo: Zu wenig Speicher (out of memory) after the files were written whole\n", stderr);
      return written;
    }
    return Fail("\"" + command + "\" stopped: " + kOutOfMemory + "; the files are as they were");
  } catch (const std::exception& e) {
    return Fail("\"" + command + "\" stopped: " + e.what() + "; the files are as they were");
  }
}
