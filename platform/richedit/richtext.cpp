#include "platform/richedit/richtext.h"

#include <fstream>
#include <iterator>
#include <string>

IMPLEMENT_DYNCREATE(CRichText, CRichEditCtrl)

CRichText::CRichText() { SetReadOnly(true); }

const char* CRichText::GetClsid() { return "{3B7C8860-D78F-101B-B9B5-04021C009402}"; }

BOOL CRichText::Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  WNDCLASS existing{};
  if (!::GetClassInfo(nullptr, GetClsid(), &existing)) {
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &::DefWindowProc;
    wc.lpszClassName = GetClsid();
    ::RegisterClass(&wc);
  }
  if (!CWnd::Create(GetClsid(), nullptr, style | WS_CHILD, rect, parent, id)) return FALSE;
  if (windowName && *windowName) SetText(windowName);
  return TRUE;
}

BOOL CRichText::LoadFile(const char* fileName, long fileType) {
  if (!fileName) return FALSE;
  std::ifstream in(win::ToFsPath(fileName), std::ios::binary);
  if (!in) return FALSE;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return FALSE;
  if (fileType == rtfFile) {
    if (!StreamInRtf(content, false)) return FALSE;
  } else {
    SetText(content.c_str());
  }
  m_fileType = fileType;
  return TRUE;
}

void CRichText::SetText(const char* text) {
  // A fresh document: a message shown after a report takes none of the report's formats.
  doc_ = richdoc::Document();
  selStart_ = selEnd_ = 0;
  typingSet_ = false;
  ReplaceSel(text ? text : "", FALSE);
  EmptyUndoBuffer();
  SetSel(0, 0);
  ScrollTo(0, 0);
  m_fileType = textFile;
  if (m_hWnd) Invalidate();
}

BOOL CRichText::ShowFile(const char* path) {
  const BOOL loaded = LoadFile(path, rtfFile);
  if (loaded) {
    SetSel(0, 0);
    ScrollTo(0, 0);
  }
  if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  SetProperty8(0);
  SetProperty5(0);
  return loaded;
}

void CRichText::ShowText(const char* text) { SetText(text); }
