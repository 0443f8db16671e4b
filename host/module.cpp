#include "host/module.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "framework/calldoc.h"
#include "platform/viduv/viduv.h"
#include "platform/win/base/codepage.h"

namespace host {

namespace {

constexpr const char* kProgramDescription = "pi/kolumo.pi";

int g_written = -1;

}  // namespace

void JobWritten(int status) { g_written = status; }

int WrittenStatus() { return g_written; }

std::string FindInstallRoot(std::string& error) {
  if (const char* set = std::getenv("KOLUMO_ROOT"); set && *set) return set;
  const std::filesystem::path exe = win::ExeDir();
  const std::filesystem::path candidates[] = {exe.parent_path() / "root", exe.parent_path() / "share" / "kolumo",
                                              exe.parent_path()};
  std::string searched;
  for (const std::filesystem::path& folder : candidates) {
    std::error_code code;
    if (std::filesystem::is_regular_file(folder / kProgramDescription, code))
      return std::filesystem::absolute(folder, code).lexically_normal().string();
    searched += (searched.empty() ? "" : ", ") + folder.lexically_normal().string();
  }
  error = std::string("no installation root: KOLUMO_ROOT is not set and none of ") + searched + " holds " +
          kProgramDescription;
  return {};
}

std::string ProgramVersion(const std::string& root, std::string& error) {
  const std::string path = win::JoinPath(root, kProgramDescription);
  const int doc = VIDUV_OpenDoc(path.c_str());
  const std::string version = doc ? VIDUV_GetString(VIDUV_GetRootElement(doc), "progVersion") : "";
  if (doc) VIDUV_CloseDoc(doc);
  if (version.empty()) error = path + ": the program description gives no program version (progVersion)";
  return version;
}

void InitMessageBoxes(std::optional<int> answer) {
  win::msgbox::SetEchoStream(stderr);
  win::script::SetEchoStream(stderr);
  // Progress is the running account of a job, not a message: it goes to standard output.
  win::script::SetProgressStream(stdout);
  if (answer) {
    const int given = *answer;
    // A notice takes its one button whatever was given. A question without the answer given would be answered
    // with another, the same each time it comes again (OK taken as "Nein" by a question that keeps the window
    // open asks again at every OK): the run ends there, before the question's action, rather than never.
    win::msgbox::SetUnscriptedHandler([given](const win::msgbox::Record& box) -> int {
      if ((box.type & MB_TYPEMASK) == MB_OK) return IDOK;
      if (win::msgbox::Offers(box.type, given)) return given;
      std::fprintf(
          stderr, "kolumo: --answer gives %s, which the message box does not offer (%s); the run ends here: %s\n",
          win::msgbox::AnswerText(given), win::msgbox::ButtonsText(box.type), win::TerminalText(box.text).c_str());
      std::fflush(nullptr);
      std::_Exit(2);
    });
    // Answers given beforehand hold on a screen too: the boxes are printed, not shown.
    win::msgbox::SetShowOnScreen(false);
  }
}

// --- Module --------------------------------------------------------------------------------------------------------

std::unique_ptr<Module> Module::Load(std::string& error) {
  const std::string path = win::JoinPath(win::ExeDir(), "libkolumo.so");
  std::unique_ptr<Module> module(new Module);
  // Bound lazily: a calculation calls a small part of the module and its libraries; resolving every symbol of the
  // dialogs and the report at load time would nearly double the time of loading it. The module is linked with
  // every symbol defined, so no call can fail later for want of one.
  module->library_ = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (!module->library_) {
    const char* reason = dlerror();
    const std::string why = reason ? reason : "unknown reason";
    // the loader says a shortage of address space in its own words
    const bool shortage = why.find("failed to map segment") != std::string::npos ||
                          why.find("Cannot allocate memory") != std::string::npos;
    error = "the module " + path + " cannot be loaded: " + (shortage ? "Zu wenig Speicher (" + why + ")" : why);
    return nullptr;
  }
  module->interface_ = reinterpret_cast<KolumoInterfaceFunc>(dlsym(module->library_, "interfaceFunc"));
  module->calc_ = reinterpret_cast<KolumoCalcFunc>(dlsym(module->library_, "calcFunc"));
  module->rtf_ = reinterpret_cast<KolumoRtfFunc>(dlsym(module->library_, "RtfKolumo"));
  module->shortage_ = reinterpret_cast<KolumoShortageFunc>(dlsym(module->library_, "shortageFunc"));
  if (!module->interface_ || !module->shortage_) {
    // a module that cannot say that it ran short of memory would have a shortage pass for a result
    error = "the module " + path + " has no " + (module->interface_ ? "shortageFunc" : "interfaceFunc");
    return nullptr;
  }
  return module;
}

Module::~Module() {
  if (library_) dlclose(library_);
}

int Module::Call(const std::string& action, const std::vector<Param>& params) const {
  const int doc = CreateInterfaceCallDoc(action.c_str(), TRUE);
  if (!doc) return 0;
  for (const Param& param : params) AddInterfaceParam(doc, param.type.c_str(), param.value);
  const int reply = interface_(doc);
  VIDUV_CloseDoc(doc);
  return reply;
}

// --- Windows -------------------------------------------------------------------------------------------------------

HostWindow::HostWindow() {
  window_.CreateEx(0, nullptr, "kolumo", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 1200, 320, nullptr, nullptr);
  handle_ = win::MakeHandle<CWnd>(&window_);
}

HostWindow::~HostWindow() {
  win::ReleaseHandle(handle_);
  window_.DestroyWindow();
}

InputDialog::InputDialog(const Module& module) { handle_ = module.Call("CreateInputDlg", {{"CWnd*", host_.handle()}}); }

void DestroyModuleDialog(int handle) {
  CWnd* dialog = win::FromHandle<CWnd>(handle);
  win::ReleaseHandle(handle);
  if (!dialog) return;
  dialog->DestroyWindow();
  delete dialog;  // the module made it for the host, which destroys it
}

void InputDialog::Close() { DestroyModuleDialog(std::exchange(handle_, 0)); }

InputDialog::~InputDialog() { Close(); }

// --- Call objects --------------------------------------------------------------------------------------------------

CallObjects::~CallObjects() {
  for (int handle : handles_) win::ReleaseHandle(handle);
  for (int doc : documents_) VIDUV_CloseDoc(doc);
}

std::optional<int> CallObjects::Value(const std::string& text, std::string& error) {
  if (text == "host") {
    if (!host_) host_ = std::make_unique<HostWindow>();
    return host_->handle();
  }
  if (text == "dialog") {
    if (!dialog_) dialog_ = std::make_unique<InputDialog>(module_);
    if (!dialog_->get()) {
      error = "the module made no input dialog";
      return std::nullopt;
    }
    return dialog_->get();
  }
  if (text.rfind("doc:", 0) == 0) {
    const int doc = VIDUV_OpenDoc(text.c_str() + 4);
    if (!doc) {
      error = text.substr(4) + ": the file cannot be read as a position";
      return std::nullopt;
    }
    documents_.push_back(doc);
    return doc;
  }
  if (text.rfind("text:", 0) == 0) {
    texts_.emplace_back(text.substr(5));
    handles_.push_back(win::MakeHandle(&texts_.back()));
    return handles_.back();
  }
  if (text == "exports") {
    if (!exports_) {
      exports_ = std::make_unique<vecExportToStruct>();
      exports_->push_back({kKolumoProgName, "Stütze"});
      handles_.push_back(win::MakeHandle(exports_.get()));
    }
    return handles_.back();
  }
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || !end || *end != '\0') {
    error = "value \"" + text + "\" is no number, host, dialog, doc:PATH, text:TEXT or exports";
    return std::nullopt;
  }
  return int(value);
}

void CallObjects::Print(std::FILE* out) const {
  for (const CString& text : texts_) std::fprintf(out, "text %s\n", win::TerminalText(text.str()).c_str());
  if (exports_) std::fprintf(out, "exports %zu\n", exports_->size());
}

}  // namespace host
