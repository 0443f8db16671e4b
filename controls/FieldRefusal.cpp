#include "controls/FieldRefusal.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

void CFieldRefusal::Refuse(CWnd* field, const CString& name, const CString& message,
                           const std::function<void()>& showStored) {
  if (m_active) return;
  m_active = true;
  AfxMessageBox(name + ": " + message, MB_ICONEXCLAMATION);
  if (showStored) showStored();
  if (field && ::IsWindow(field->m_hWnd) && field->IsWindowVisible()) {
    field->SetFocus();
    field->SendMessage(EM_SETSEL, 0, -1);
  }
  m_active = false;
}

bool CFieldRefusal::IsReturnInEdit(const CWnd& page, const MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN || msg->wParam != VK_RETURN) return false;
  const HWND focus = ::GetFocus();
  if (!focus || msg->hwnd != focus || ::GetParent(focus) != page.m_hWnd) return false;
  char name[16] = {};
  ::GetClassName(focus, name, sizeof name);
  return std::strcmp(name, "Edit") == 0;
}

bool CFieldRefusal::ReadNumber(const CString& text, double& value) {
  std::string s = static_cast<LPCSTR>(text);
  for (char& c : s)
    if (c == ',') c = '.';
  const char* begin = s.c_str();
  char* end = nullptr;
  const double v = std::strtod(begin, &end);
  // "nan" and "inf" read as numbers, which would reach every result
  if (end == begin || !std::isfinite(v)) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end) return false;
  value = v;
  return true;
}
