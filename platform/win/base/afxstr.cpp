#include "platform/win/base/afxstr.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win/winapi.h"

namespace {

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

unsigned char Lower(char c) { return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c))); }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

CString::CString(const char* text, int length) {
  if (text && length > 0) s_.assign(text, strnlen(text, std::size_t(length)));
}

CString& CString::operator=(const char* text) {
  s_ = text ? text : "";
  return *this;
}

CString& CString::operator=(char ch) {
  s_.assign(1, ch);
  return *this;
}

char CString::GetAt(int index) const { return index >= 0 && index < GetLength() ? s_[std::size_t(index)] : '\0'; }

void CString::SetAt(int index, char ch) {
  if (index >= 0 && index < GetLength()) s_[std::size_t(index)] = ch;
}

CString& CString::operator+=(const CString& other) {
  s_ += other.s_;
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) s_ += text;
  return *this;
}

CString& CString::operator+=(char ch) {
  s_ += ch;
  return *this;
}

int CString::Compare(const char* other) const {
  int r = std::strcmp(s_.c_str(), other ? other : "");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* other) const {
  const char* a = s_.c_str();
  const char* b = other ? other : "";
  for (;; ++a, ++b) {
    unsigned char ca = Lower(*a), cb = Lower(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = Clamp(first, 0, GetLength());
  count = Clamp(count, 0, GetLength() - first);
  return CString(s_.substr(std::size_t(first), std::size_t(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  count = Clamp(count, 0, GetLength());
  return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(const char* chars) const {
  std::size_t n = s_.find_first_not_of(chars ? chars : "");
  return CString(s_.substr(0, n));
}

CString CString::SpanExcluding(const char* chars) const {
  std::size_t n = s_.find_first_of(chars ? chars : "");
  return CString(s_.substr(0, n));
}

CString& CString::MakeUpper() {
  for (auto& c : s_) c = char(std::toupper(static_cast<unsigned char>(c)));
  return *this;
}

CString& CString::MakeLower() {
  for (auto& c : s_) c = char(Lower(c));
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(s_.begin(), s_.end());
  return *this;
}

int CString::Replace(char from, char to) {
  int n = 0;
  for (auto& c : s_) {
    if (c == from) {
      c = to;
      ++n;
    }
  }
  return n;
}

int win::ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return 0;
  std::size_t hit = text.find(from);
  if (hit == std::string::npos) return 0;
  int n = 0;
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (; hit != std::string::npos; hit = text.find(from, pos), ++n) {
    out.append(text, pos, hit - pos).append(to);
    pos = hit + from.size();
  }
  out.append(text, pos, std::string::npos);
  text.swap(out);
  return n;
}

int CString::Replace(const char* from, const char* to) { return from ? win::ReplaceAll(s_, from, to ? to : "") : 0; }

int CString::Remove(char ch) {
  auto before = s_.size();
  s_.erase(std::remove(s_.begin(), s_.end(), ch), s_.end());
  return int(before - s_.size());
}

int CString::Insert(int index, char ch) {
  index = Clamp(index, 0, GetLength());
  s_.insert(std::size_t(index), 1, ch);
  return GetLength();
}

int CString::Insert(int index, const char* text) {
  index = Clamp(index, 0, GetLength());
  s_.insert(std::size_t(index), text ? text : "");
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index >= 0 && index < GetLength() && count > 0) s_.erase(std::size_t(index), std::size_t(count));
  return GetLength();
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char* chars) { return TrimRight(chars).TrimLeft(chars); }

CString& CString::TrimLeft() {
  std::size_t i = 0;
  while (i < s_.size() && IsSpace(s_[i])) ++i;
  s_.erase(0, i);
  return *this;
}

CString& CString::TrimLeft(char ch) {
  std::size_t i = 0;
  while (i < s_.size() && s_[i] == ch) ++i;
  s_.erase(0, i);
  return *this;
}

CString& CString::TrimLeft(const char* chars) {
  std::size_t i = s_.find_first_not_of(chars ? chars : "");
  s_.erase(0, i == std::string::npos ? s_.size() : i);
  return *this;
}

CString& CString::TrimRight() {
  while (!s_.empty() && IsSpace(s_.back())) s_.pop_back();
  return *this;
}

CString& CString::TrimRight(char ch) {
  while (!s_.empty() && s_.back() == ch) s_.pop_back();
  return *this;
}

CString& CString::TrimRight(const char* chars) {
  std::size_t i = s_.find_last_not_of(chars ? chars : "");
  s_.erase(i == std::string::npos ? 0 : i + 1);
  return *this;
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  std::size_t p = s_.find(ch, std::size_t(start));
  return p == std::string::npos ? -1 : int(p);
}

int CString::Find(const char* sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  std::size_t p = s_.find(sub, std::size_t(start));
  return p == std::string::npos ? -1 : int(p);
}

int CString::ReverseFind(char ch) const {
  std::size_t p = s_.rfind(ch);
  return p == std::string::npos ? -1 : int(p);
}

int CString::FindOneOf(const char* chars) const {
  std::size_t p = s_.find_first_of(chars ? chars : "");
  return p == std::string::npos ? -1 : int(p);
}

CString CString::Tokenize(const char* delimiters, int& start) const {
  std::string d(delimiters ? delimiters : "");
  if (start < 0 || start >= GetLength()) {
    start = -1;
    return CString();
  }
  std::size_t b = s_.find_first_not_of(d, std::size_t(start));
  if (b == std::string::npos) {
    start = -1;
    return CString();
  }
  std::size_t e = s_.find_first_of(d, b);
  if (e == std::string::npos) e = s_.size();
  start = int(e) + 1;
  return CString(s_.substr(b, e - b));
}

void CString::FormatV(const char* format, va_list args) {
  s_.clear();
  AppendFormatV(format, args);
}

void CString::AppendFormatV(const char* format, va_list args) {
  if (!format) return;
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n <= 0) return;
  std::size_t old = s_.size();
  s_.resize(old + std::size_t(n) + 1);
  std::vsnprintf(&s_[old], std::size_t(n) + 1, format, args);
  s_.resize(old + std::size_t(n));
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) {
    std::size_t len = s_.size();
    s_.resize(std::size_t(minLength));
    // Keep the logical text intact so ReleaseBuffer(-1) finds its end.
    std::fill(s_.begin() + std::ptrdiff_t(len), s_.end(), '\0');
  }
  return s_.data();
}

char* CString::GetBufferSetLength(int length) {
  s_.resize(length > 0 ? std::size_t(length) : 0);
  return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = int(strnlen(s_.c_str(), s_.size()));
  s_.resize(std::size_t(Clamp(newLength, 0, GetLength())));
}

CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
CString operator+(const CString& a, char b) { return CString(a.s_ + b); }
CString operator+(char a, const CString& b) { return CString(a + b.s_); }

BOOL CString::LoadString(UINT id) {
  char buf[4096];
  int n = ::LoadString(nullptr, id, buf, sizeof(buf));
  s_.assign(buf, std::size_t(n > 0 ? n : 0));
  return n > 0 ? TRUE : FALSE;
}
