// Message boxes go to one sink: every box is logged, and its answer comes from a script; else, when a screen is
// there, from the person at it (the box is a modal window of its own); else from the default button. Without a
// screen nothing blocks: tests queue answers (and may make an unexpected box fail), the host prints boxes to stderr.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/base/wintypes.h"

int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);
BOOL MessageBeep(UINT type);

namespace win::msgbox {

struct Record {
  std::string text;
  std::string caption;
  UINT type = MB_OK;
  int answer = IDOK;
  bool scripted = false;
  bool onScreen = false;  // shown as a window and answered by the person at the screen
};

// The answer of the box's default button (MB_DEFBUTTONn of its button set).
int DefaultAnswer(UINT type);
// Whether one of the box's buttons gives `answer`; its buttons as "Yes/No"; an answer as "Yes".
bool Offers(UINT type, int answer);
const char* ButtonsText(UINT type);
const char* AnswerText(int answer);

// Answers for the next boxes, used in order; an answer a box cannot give (IDYES for an OK box) is still returned.
void QueueAnswer(int answer);
void ClearAnswers();
std::size_t PendingAnswers();

// Called for a box that finds no queued answer; tests install one that fails the test. Its result, when not 0,
// becomes the answer. Pass nullptr to remove it.
void SetUnscriptedHandler(std::function<int(const Record&)> handler);

// Whether a box finding no queued answer is shown on a screen that is there (the default) or answered as without
// one: a run given its answers beforehand (the host's --answer) keeps to them on a screen too.
void SetShowOnScreen(bool show);

// Where boxes answered without a screen are echoed as they appear (nullptr: nowhere, the default).
void SetEchoStream(std::FILE* stream);

// The boxes shown since the last ClearLog, in order: the latest 256, each text (as shown, printed and kept) cut to
// its first 4096 bytes.
const std::vector<Record>& Log();
void ClearLog();

}  // namespace win::msgbox
