// For tests: a fixture that makes every unscripted modal dialog, popup menu or message box fail the test at once
// (instead of blocking or answering silently), and leaves no window behind.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/win/afx.h"

namespace win::test {

// ADD_FAILURE and throw: the interaction was not scripted.
inline void FailOnUnscriptedInteraction() {
  script::SetUnscriptedHandler([](const script::ModalRecord& r) -> INT_PTR {
    ADD_FAILURE() << "unscripted " << r.kind << ": " << r.caption;
    throw UnscriptedInteraction("unscripted " + r.kind + ": " + r.caption);
  });
  msgbox::SetUnscriptedHandler([](const msgbox::Record& r) -> int {
    ADD_FAILURE() << "unscripted message box: " << r.text;
    throw UnscriptedInteraction("unscripted message box: " + r.text);
  });
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowSystem();
    script::ClearLog();
    msgbox::ClearAnswers();
    msgbox::ClearLog();
    FailOnUnscriptedInteraction();
  }
  void TearDown() override {
    EXPECT_EQ(script::PendingDialogs(), 0u) << "scripted dialogs were not shown";
    EXPECT_EQ(script::PendingMenus(), 0u) << "scripted menus were not shown";
    EXPECT_EQ(script::PendingFileDialogs(), 0u) << "scripted file dialogs were not shown";
    while (script::PendingFileDialogs() > 0) {
      OPENFILENAME drain{};
      char buf[8];
      drain.lpstrFile = buf;
      drain.nMaxFile = sizeof(buf);
      script::SetUnscriptedHandler(nullptr);
      GetOpenFileName(&drain);
    }
    ResetWindowSystem();
    script::SetUnscriptedHandler(nullptr);
    msgbox::SetUnscriptedHandler(nullptr);
    msgbox::ClearAnswers();
  }
};

// A window test with a memory DC to measure, lay out and draw text on.
class MemoryDcTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dc_ = ::CreateCompatibleDC(nullptr);
  }
  void TearDown() override {
    ::DeleteDC(dc_);
    WindowTest::TearDown();
  }
  HDC dc_ = nullptr;
};

}  // namespace win::test
