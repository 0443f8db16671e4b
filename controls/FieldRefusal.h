// A number field of a dialog page that refuses what was typed into it: one box per wrong entry, naming the field,
// with the warning icon the grids' refusals carry; the field then has the focus again, its text selected, so that
// the dialog stays open on it. The focus moves the box and the refocusing cause are no entries of their own.
#pragma once

#include <functional>

#include "platform/win/afx.h"

class CFieldRefusal {
 public:
  // While a refusal runs, a page ignores the focus losses of its fields.
  bool Active() const { return m_active; }
  // "name: message" in a box; then `showStored` lets the page show what it keeps, and the field takes the focus.
  void Refuse(CWnd* field, const CString& name, const CString& message, const std::function<void()>& showStored);
  // Return pressed in an edit field of the page: the field must be taken before the dialog's OK sees the key.
  static bool IsReturnInEdit(const CWnd& page, const MSG* msg);
  // A number from a field's text, a comma read as a point; false for anything that is no finite number.
  static bool ReadNumber(const CString& text, double& value);

 private:
  bool m_active = false;
};
