// The rich-text control of the framework's output views, and its window: created from the control's class id as a
// child window (or used without a window as a plain text holder). Headless: it holds its text (RTF source or plain
// text) in memory and paints nothing; callers and tests read the text back.
#pragma once

#include <cstdint>

#include "platform/win/afx.h"

class CRichText : public CWnd {
  DECLARE_DYNCREATE(CRichText)
 public:
  enum FileType : long { rtfFile = 0, textFile = 1 };

  static const char* GetClsid();
  using CWnd::Create;
  // The control window as a child of the parent.
  virtual BOOL Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // The control's own window handle (0 without a window), as the control reports it.
  long GetHwnd() const { return long(reinterpret_cast<std::intptr_t>(m_hWnd)); }

  // Loads the whole file as the control's text; false (text unchanged) when it cannot be read.
  BOOL LoadFile(const char* fileName, long fileType);
  void SetText(const char* text);
  CString GetText() const { return m_text; }
  long GetFileType() const { return m_fileType; }

  // Two position properties of the control (the first visible line and the caret); set to 0 after loading.
  void SetProperty5(long value) { m_property5 = value; }
  void SetProperty8(long value) { m_property8 = value; }
  long GetProperty5() const { return m_property5; }
  long GetProperty8() const { return m_property8; }

  // Shows an RTF file from its start (an unreadable file leaves the text as it was).
  void ShowFile(const char* path);
  // Shows a text.
  void ShowText(const char* text);

 private:
  CString m_text;
  long m_fileType = textFile;
  long m_property5 = 0;
  long m_property8 = 0;
};
