// A screen with another program on it that copies and pastes: it keeps what the program offers on the shared
// clipboard, and hands over what it copied itself until the program copies again.
#pragma once

#include <optional>

#include "platform/win/screen/screen.h"

namespace test {

class ClipboardScreen : public win::Screen {
 public:
  ClipboardScreen() { previous_ = win::SetScreen(this); }
  ~ClipboardScreen() override { win::SetScreen(previous_); }
  ClipboardScreen(const ClipboardScreen&) = delete;
  ClipboardScreen& operator=(const ClipboardScreen&) = delete;

  void Present() override {}
  bool WaitForInput(DWORD) override { return false; }
  void OfferClipboard(const win::ClipboardContent& content) override {
    offered = content;
    other.reset();  // the program holds the clipboard now
  }
  std::optional<win::ClipboardContent> OtherProgramsClipboard() override { return other; }

  // The other program copies.
  void Copies(const std::string& text, const std::string& rtf) { other = win::ClipboardContent{text, rtf}; }

  std::optional<win::ClipboardContent> offered;  // what the program offered last
  std::optional<win::ClipboardContent> other;    // what the other program offers

 private:
  win::Screen* previous_ = nullptr;
};

}  // namespace test
