#include "platform/richedit/richtext.h"

#include <fstream>
#include <iterator>
#include <string>

IMPLEMENT_DYNCREATE(CRichText, CWnd)

const char* CRichText::GetClsid() { return "{3B7C8860-D78F-101B-B9B5-04021C009402}"; }

BOOL CRichText::Create(LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  WNDCLASS existing{};
  if (!::GetClassInfo(nullptr, GetClsid(), &existing)) {
    WNDCLASS wc{};
    wc.lpfnWndProc = &::DefWindowProc;
    wc.lpszClassName = GetClsid();
    ::RegisterClass(&wc);
  }
  return CWnd::Create(GetClsid(), windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CRichText::LoadFile(const char* fileName, long fileType) {
  if (!fileName) return FALSE;
  std::ifstream in(win::ToFsPath(fileName), std::ios::binary);
  if (!in) return FALSE;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return FALSE;
  m_text = CString(std::move(text));
  m_fileType = fileType;
  return TRUE;
}

void CRichText::SetText(const char* text) {
  m_text = text;
  m_fileType = textFile;
}

void CRichText::ShowFile(const char* path) {
  LoadFile(path, rtfFile);
  if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  SetProperty8(0);
  SetProperty5(0);
}

void CRichText::ShowText(const char* text) { SetText(text); }
