#include "platform/richedit/richtext.h"

#include <fstream>
#include <iterator>
#include <string>

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
  SetProperty5(0);
  SetProperty8(0);
}

void CRichText::ShowText(const char* text) { SetText(text); }
