// Message boxes go to one sink: every box is logged, and its answer comes from a script, else the default button.
// Nothing blocks: tests queue answers (and may make an unexpected box fail), the host prints boxes to stderr.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/wintypes.h"

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
};

// The answer of the box's default button (MB_DEFBUTTONn of its button set).
int DefaultAnswer(UINT type);

// Answers for the next boxes, used in order; an answer a box cannot give (IDYES for an OK box) is still returned.
void QueueAnswer(int answer);
void ClearAnswers();
std::size_t PendingAnswers();

// Called for a box that finds no queued answer; tests install one that fails the test. Its result, when not 0,
// becomes the answer. Pass nullptr to remove it.
void SetUnscriptedHandler(std::function<int(const Record&)> handler);

// Where boxes are echoed as they appear (nullptr: nowhere, the default).
void SetEchoStream(std::FILE* stream);

// Every box shown since the last ClearLog, in order.
const std::vector<Record>& Log();
void ClearLog();

}  // namespace win::msgbox
