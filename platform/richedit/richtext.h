// The rich-text box of the framework's output views: the rich-text control in read-only mode, created from the
// control's class id as a child window (or used without a window as a text holder). It shows a report file as
// formatted text or a plain message.
#pragma once

#include <cstdint>

#include "platform/richedit/richeditctrl.h"

class CRichText : public CRichEditCtrl {
  DECLARE_DYNCREATE(CRichText)
 public:
  enum FileType : long { rtfFile = 0, textFile = 1 };

  CRichText();
  static const char* GetClsid();
  using CWnd::Create;
  // The control window as a child of the parent.
  virtual BOOL Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // The control's own window handle (0 without a window), as the control reports it.
  long GetHwnd() const { return long(reinterpret_cast<std::intptr_t>(m_hWnd)); }

  // Loads a file as the box's content: an RTF file as formatted text, a text file as it stands. False, and the
  // content unchanged, when it cannot be read or an RTF file is not RTF.
  BOOL LoadFile(const char* fileName, long fileType);
  void SetText(const char* text);
  // What the box shows, as plain text (paragraphs end in "\r\n").
  CString GetText() const { return GetPlainText(); }
  long GetFileType() const { return m_fileType; }

  // Two position properties of the control (the first visible line and the caret); set to 0 after loading.
  void SetProperty5(long value) { m_property5 = value; }
  void SetProperty8(long value) { m_property8 = value; }
  long GetProperty5() const { return m_property5; }
  long GetProperty8() const { return m_property8; }

  // Shows an RTF file from its start; false, and the content as it was, when it cannot be read.
  BOOL ShowFile(const char* path);
  // Shows a text.
  void ShowText(const char* text);

 private:
  long m_fileType = textFile;
  long m_property5 = 0;
  long m_property8 = 0;
};
