// The host's side of the column module: loading it, making interface calls, the windows and objects whose
// handles travel in the calls.
#pragma once

#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/module_interface.h"
#include "platform/win/afx.h"

namespace host {

// The installation root: $KOLUMO_ROOT when set, else the first folder beside the program that holds the module's
// program description (pi/kolumo.pi): <exe>/../root (the build tree), <exe>/../share/kolumo (installed),
// <exe>/.. . Empty, with the folders searched in `error`, when there is none.
std::string FindInstallRoot(std::string& error);

// The module's program version from its program description in the root; empty with a message when unreadable.
std::string ProgramVersion(const std::string& root, std::string& error);

// Message boxes without a screen are printed to stderr and answered with their default button, or with `answer`
// (which holds on a screen too); the steps of progress dialogs are printed to stdout.
void InitMessageBoxes(std::optional<int> answer);

// The job's files are written whole and the run ends with `status`: running short of memory from here on (its last
// lines of output, the module's unloading) changes none of them, and does not turn the job into a failure.
void JobWritten(int status);
// The status given to JobWritten; -1 before.
int WrittenStatus();

struct Param {
  std::string type;
  int value = 0;
};

// The module, loaded from the host's folder for the life of this object.
class Module {
 public:
  // The module; nullptr with a message when it cannot be loaded or lacks interfaceFunc or shortageFunc.
  static std::unique_ptr<Module> Load(std::string& error);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // One interface call; the call document lives for the call only.
  int Call(const std::string& action, const std::vector<Param>& params) const;
  // The calculation and report exports; nullptr when this build of the module has none.
  KolumoCalcFunc calcFunc() const { return calc_; }
  KolumoRtfFunc rtfFunc() const { return rtf_; }
  // Whether the module said that a call of its exports ran short of memory and stopped, since the last time it was
  // asked. Such a call left no result: neither what it wrote into a document nor its reply counts.
  bool RanShort() const { return shortage_ && shortage_() != 0; }

 private:
  Module() = default;
  void* library_ = nullptr;
  KolumoInterfaceFunc interface_ = nullptr;
  KolumoCalcFunc calc_ = nullptr;
  KolumoRtfFunc rtf_ = nullptr;
  KolumoShortageFunc shortage_ = nullptr;
};

// The host's frame window, into which the module's dialogs are embedded.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  int handle() const { return handle_; }

 private:
  CWnd window_;
  int handle_ = 0;
};

// Destroys a dialog that the module made for the host (the reply of "CreateInputDlg") and releases its handle.
void DestroyModuleDialog(int handle);

// The module's input dialog in a host window; the host destroys it at the end.
class InputDialog {
 public:
  explicit InputDialog(const Module& module);
  ~InputDialog();
  InputDialog(const InputDialog&) = delete;
  InputDialog& operator=(const InputDialog&) = delete;
  // The dialog's handle; 0 when the module made none.
  int get() const { return handle_; }
  // Destroys the dialog now, where running out of memory can be a failure of the job rather than of a destructor.
  void Close();

 private:
  HostWindow host_;
  int handle_ = 0;
};

// The objects named by the values of "kolumo call": the host window, an input dialog, opened documents, strings
// and an export list; released at the end of the call.
class CallObjects {
 public:
  explicit CallObjects(const Module& module) : module_(module) {}
  ~CallObjects();
  CallObjects(const CallObjects&) = delete;
  CallObjects& operator=(const CallObjects&) = delete;

  // The handle or number a value stands for; nullopt with a message when it names nothing usable.
  std::optional<int> Value(const std::string& text, std::string& error);
  // The strings and the export list as they are after the call.
  void Print(std::FILE* out) const;

 private:
  const Module& module_;
  std::unique_ptr<HostWindow> host_;
  std::unique_ptr<InputDialog> dialog_;
  std::vector<int> documents_;
  std::deque<CString> texts_;
  std::vector<int> handles_;
  std::unique_ptr<vecExportToStruct> exports_;
};

}  // namespace host
