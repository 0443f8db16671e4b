// MFC-style collections: growable arrays, linked lists with POSITION, and maps.
#pragma once

#include <algorithm>
#include <map>
#include <vector>

#include "platform/win/base/afxobj.h"

struct __POSITION {};
using POSITION = __POSITION*;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(-1))

// Growable array. Indices out of range are programming errors; GetAt/SetAt check them in every build so that a
// bad index cannot reach memory outside the array.
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() = default;
  CArray(const CArray& other) : CObject(), v_(other.v_) {}
  CArray& operator=(const CArray& other) {
    v_ = other.v_;
    return *this;
  }

  INT_PTR GetSize() const { return INT_PTR(v_.size()); }
  INT_PTR GetCount() const { return INT_PTR(v_.size()); }
  INT_PTR GetUpperBound() const { return INT_PTR(v_.size()) - 1; }
  bool IsEmpty() const { return v_.empty(); }
  void SetSize(INT_PTR newSize, INT_PTR growBy = -1) { v_.resize(newSize > 0 ? std::size_t(newSize) : 0); }
  void FreeExtra() { v_.shrink_to_fit(); }
  void RemoveAll() { v_.clear(); }

  const TYPE& GetAt(INT_PTR i) const { return v_.at(std::size_t(i)); }
  void SetAt(INT_PTR i, ARG_TYPE e) { v_.at(std::size_t(i)) = e; }
  TYPE& ElementAt(INT_PTR i) { return v_.at(std::size_t(i)); }
  const TYPE& ElementAt(INT_PTR i) const { return v_.at(std::size_t(i)); }
  TYPE& operator[](INT_PTR i) { return v_.at(std::size_t(i)); }
  const TYPE& operator[](INT_PTR i) const { return v_.at(std::size_t(i)); }
  TYPE* GetData() { return v_.data(); }
  const TYPE* GetData() const { return v_.data(); }

  void SetAtGrow(INT_PTR i, ARG_TYPE e) {
    if (i < 0) return;
    if (std::size_t(i) >= v_.size()) v_.resize(std::size_t(i) + 1);
    v_[std::size_t(i)] = e;
  }
  INT_PTR Add(ARG_TYPE e) {
    v_.push_back(e);
    return INT_PTR(v_.size()) - 1;
  }
  INT_PTR Append(const CArray& src) {
    INT_PTR first = GetSize();
    v_.insert(v_.end(), src.v_.begin(), src.v_.end());
    return first;
  }
  void Copy(const CArray& src) { v_ = src.v_; }
  void InsertAt(INT_PTR i, ARG_TYPE e, INT_PTR count = 1) {
    if (i < 0 || count <= 0) return;
    if (std::size_t(i) > v_.size()) v_.resize(std::size_t(i));
    v_.insert(v_.begin() + i, std::size_t(count), e);
  }
  void InsertAt(INT_PTR start, const CArray* src) {
    if (!src || start < 0) return;
    if (std::size_t(start) > v_.size()) v_.resize(std::size_t(start));
    v_.insert(v_.begin() + start, src->v_.begin(), src->v_.end());
  }
  void RemoveAt(INT_PTR i, INT_PTR count = 1) {
    if (i < 0 || count <= 0 || std::size_t(i) >= v_.size()) return;
    auto last = std::min(v_.size(), std::size_t(i + count));
    v_.erase(v_.begin() + i, v_.begin() + std::ptrdiff_t(last));
  }

  // Range-for support for our own code.
  auto begin() { return v_.begin(); }
  auto end() { return v_.end(); }
  auto begin() const { return v_.begin(); }
  auto end() const { return v_.end(); }

 private:
  std::vector<TYPE> v_;
};

class CStringArray : public CArray<CString, const CString&> {
  DECLARE_DYNAMIC(CStringArray)
 public:
  using CArray::CArray;
  INT_PTR Add(const CString& s) { return CArray::Add(s); }
  INT_PTR Add(const char* s) { return CArray::Add(CString(s)); }
};
class CByteArray : public CArray<BYTE, BYTE> {
  DECLARE_DYNAMIC(CByteArray)
};
class CWordArray : public CArray<WORD, WORD> {
  DECLARE_DYNAMIC(CWordArray)
};
class CDWordArray : public CArray<DWORD, DWORD> {
  DECLARE_DYNAMIC(CDWordArray)
};
class CUIntArray : public CArray<UINT, UINT> {
  DECLARE_DYNAMIC(CUIntArray)
};
class CPtrArray : public CArray<void*, void*> {
  DECLARE_DYNAMIC(CPtrArray)
};
class CObArray : public CArray<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObArray)
};

// Doubly linked list; a POSITION is a node.
template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
  struct Node : __POSITION {
    Node* next = nullptr;
    Node* prev = nullptr;
    TYPE data;
    explicit Node(ARG_TYPE d) : data(d) {}
  };

 public:
  CList() = default;
  CList(const CList& other) : CObject() { AddTail(&other); }
  CList& operator=(const CList& other) {
    if (this != &other) {
      RemoveAll();
      AddTail(&other);
    }
    return *this;
  }
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return count_; }
  INT_PTR GetSize() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  TYPE& GetHead() { return head_->data; }
  const TYPE& GetHead() const { return head_->data; }
  TYPE& GetTail() { return tail_->data; }
  const TYPE& GetTail() const { return tail_->data; }

  POSITION AddHead(ARG_TYPE e) { return InsertBefore(head_, e); }
  POSITION AddTail(ARG_TYPE e) { return InsertAfter(tail_, e); }
  void AddTail(const CList* other) {
    for (Node* n = other ? other->head_ : nullptr; n; n = n->next) AddTail(n->data);
  }
  TYPE RemoveHead() {
    TYPE d = head_->data;
    RemoveAt(head_);
    return d;
  }
  TYPE RemoveTail() {
    TYPE d = tail_->data;
    RemoveAt(tail_);
    return d;
  }
  void RemoveAll() {
    while (head_) {
      Node* n = head_;
      head_ = n->next;
      delete n;
    }
    tail_ = nullptr;
    count_ = 0;
  }

  POSITION GetHeadPosition() const { return head_; }
  POSITION GetTailPosition() const { return tail_; }
  TYPE& GetNext(POSITION& pos) {
    Node* n = static_cast<Node*>(pos);
    pos = n->next;
    return n->data;
  }
  const TYPE& GetNext(POSITION& pos) const {
    Node* n = static_cast<Node*>(pos);
    pos = n->next;
    return n->data;
  }
  TYPE& GetPrev(POSITION& pos) {
    Node* n = static_cast<Node*>(pos);
    pos = n->prev;
    return n->data;
  }
  TYPE& GetAt(POSITION pos) { return static_cast<Node*>(pos)->data; }
  const TYPE& GetAt(POSITION pos) const { return static_cast<Node*>(pos)->data; }
  void SetAt(POSITION pos, ARG_TYPE e) { static_cast<Node*>(pos)->data = e; }

  void RemoveAt(POSITION pos) {
    Node* n = static_cast<Node*>(pos);
    if (!n) return;
    (n->prev ? n->prev->next : head_) = n->next;
    (n->next ? n->next->prev : tail_) = n->prev;
    delete n;
    --count_;
  }
  POSITION InsertBefore(POSITION pos, ARG_TYPE e) {
    Node* at = static_cast<Node*>(pos);
    Node* n = new Node(e);
    if (!at) at = head_;
    if (!at) {
      head_ = tail_ = n;
    } else {
      n->next = at;
      n->prev = at->prev;
      (at->prev ? at->prev->next : head_) = n;
      at->prev = n;
    }
    ++count_;
    return n;
  }
  POSITION InsertAfter(POSITION pos, ARG_TYPE e) {
    Node* at = static_cast<Node*>(pos);
    Node* n = new Node(e);
    if (!at) at = tail_;
    if (!at) {
      head_ = tail_ = n;
    } else {
      n->prev = at;
      n->next = at->next;
      (at->next ? at->next->prev : tail_) = n;
      at->next = n;
    }
    ++count_;
    return n;
  }
  POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const {
    Node* n = startAfter ? static_cast<Node*>(startAfter)->next : head_;
    for (; n; n = n->next)
      if (n->data == value) return n;
    return nullptr;
  }
  POSITION FindIndex(INT_PTR index) const {
    if (index < 0 || index >= count_) return nullptr;
    Node* n = head_;
    while (index--) n = n->next;
    return n;
  }

 private:
  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  INT_PTR count_ = 0;
};

class CStringList : public CList<CString, const CString&> {
  DECLARE_DYNAMIC(CStringList)
};
class CPtrList : public CList<void*, void*> {
  DECLARE_DYNAMIC(CPtrList)
};
class CObList : public CList<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObList)
};

// Map from keys to values. Iteration visits the keys in ascending order.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
  using Store = std::map<KEY, VALUE>;
  using Entry = typename Store::value_type;
  struct Pos : __POSITION {};

 public:
  INT_PTR GetCount() const { return INT_PTR(m_.size()); }
  INT_PTR GetSize() const { return INT_PTR(m_.size()); }
  bool IsEmpty() const { return m_.empty(); }
  BOOL Lookup(ARG_KEY key, VALUE& value) const {
    auto it = m_.find(KEY(key));
    if (it == m_.end()) return FALSE;
    value = it->second;
    return TRUE;
  }
  VALUE& operator[](ARG_KEY key) { return m_[KEY(key)]; }
  void SetAt(ARG_KEY key, ARG_VALUE value) { m_[KEY(key)] = value; }
  BOOL RemoveKey(ARG_KEY key) { return m_.erase(KEY(key)) ? TRUE : FALSE; }
  void RemoveAll() { m_.clear(); }

  POSITION GetStartPosition() const { return m_.empty() ? nullptr : ToPos(&*m_.begin()); }
  void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const {
    const Entry* e = reinterpret_cast<const Entry*>(pos);
    key = e->first;
    value = e->second;
    auto it = std::next(m_.find(e->first));
    pos = it == m_.end() ? nullptr : ToPos(&*it);
  }

 private:
  static POSITION ToPos(const Entry* e) { return reinterpret_cast<POSITION>(const_cast<Entry*>(e)); }
  Store m_;
};

class CMapStringToString : public CMap<CString, const char*, CString, const char*> {
  DECLARE_DYNAMIC(CMapStringToString)
};
class CMapStringToPtr : public CMap<CString, const char*, void*, void*> {
  DECLARE_DYNAMIC(CMapStringToPtr)
};
class CMapStringToOb : public CMap<CString, const char*, CObject*, CObject*> {
  DECLARE_DYNAMIC(CMapStringToOb)
};
class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
  DECLARE_DYNAMIC(CMapPtrToPtr)
};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
  DECLARE_DYNAMIC(CMapWordToPtr)
};
