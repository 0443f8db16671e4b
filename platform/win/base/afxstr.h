// CString: the module's 8-bit string type (UTF-8 text), with the MFC operations the code uses.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

#include "platform/win/base/wintypes.h"

namespace win {
// Every occurrence of `from` (non-empty) replaced by `to`, left to right, in one pass (replacing in place would
// move the rest of the text at each occurrence); the count of occurrences.
int ReplaceAll(std::string& text, std::string_view from, std::string_view to);
}  // namespace win

class CString {
 public:
  CString() = default;
  CString(const char* text) : s_(text ? text : "") {}
  CString(const char* text, int length);
  CString(char ch, int repeat = 1) : s_(repeat > 0 ? std::size_t(repeat) : 0, ch) {}
  CString(std::string text) : s_(std::move(text)) {}
  CString(std::string_view text) : s_(text) {}
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* text);
  CString& operator=(char ch);

  int GetLength() const { return int(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char GetAt(int index) const;
  void SetAt(int index, char ch);
  char operator[](int index) const { return GetAt(index); }
  operator LPCTSTR() const { return s_.c_str(); }
  LPCTSTR GetString() const { return s_.c_str(); }
  const std::string& str() const { return s_; }
  // The string resource id (platform/win resources); FALSE and empty when none is registered.
  BOOL LoadString(UINT id);

  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  void Append(const char* text) { *this += text; }
  void AppendChar(char ch) { *this += ch; }

  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;
  int Collate(const char* other) const { return Compare(other); }
  int CollateNoCase(const char* other) const { return CompareNoCase(other); }

  // Extraction clamps its arguments to the string, as MFC does.
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(const char* chars) const;
  CString SpanExcluding(const char* chars) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  int Replace(char from, char to);
  int Replace(const char* from, const char* to);
  int Remove(char ch);
  int Insert(int index, char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);

  CString& Trim();
  CString& Trim(char ch);
  CString& Trim(const char* chars);
  CString& TrimLeft();
  CString& TrimLeft(char ch);
  CString& TrimLeft(const char* chars);
  CString& TrimRight();
  CString& TrimRight(char ch);
  CString& TrimRight(const char* chars);

  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* chars) const;
  CString Tokenize(const char* delimiters, int& start) const;

  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);
  void AppendFormatV(const char* format, va_list args);

  // A writable buffer of at least minLength characters; ReleaseBuffer(-1) takes the length up to the first zero.
  char* GetBuffer(int minLength = 0);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);
  void Preallocate(int length) { s_.reserve(length > 0 ? std::size_t(length) : 0); }
  void FreeExtra() { s_.shrink_to_fit(); }

  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b);
  friend CString operator+(char a, const CString& b);

  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
  friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator!=(const char* a, const CString& b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }
  friend bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
  friend bool operator>(const CString& a, const CString& b) { return b.s_ < a.s_; }
  friend bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
  friend bool operator<=(const CString& a, const CString& b) { return !(b < a); }
  friend bool operator>=(const CString& a, const CString& b) { return !(a < b); }

 private:
  std::string s_;
};

template <>
struct std::hash<CString> {
  std::size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
