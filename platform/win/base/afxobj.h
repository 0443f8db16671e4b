// CObject with run-time class information and dynamic creation by class name; exceptions; CFile.
#pragma once

#include <cstdio>
#include <memory>

#include "platform/win/base/afxstr.h"

class CObject;
class CArchive;
class CDumpContext;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF: not serialisable
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new object of the class, or nullptr when the class has no dynamic creation.
  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
  bool IsDerivedFrom(const CRuntimeClass* base) const;

  // Classes declared with dynamic information are registered by name when the library holding them is loaded.
  static const CRuntimeClass* FromName(const char* className);
  static CObject* CreateObject(const char* className);
};

// Registers a run-time class by name at load time (used by the IMPLEMENT_ macros).
struct CRuntimeClassRegistrar {
  explicit CRuntimeClassRegistrar(const CRuntimeClass* rc);
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual void Serialize(CArchive&) {}
  virtual void AssertValid() const {}
  virtual void Dump(CDumpContext&) const {}
  bool IsKindOf(const CRuntimeClass* rc) const { return GetRuntimeClass()->IsDerivedFrom(rc); }
  bool IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define KOLUMO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create)                           \
  const CRuntimeClass class_name::class##class_name = {#class_name, int(sizeof(class_name)), schema, create, \
                                                       RUNTIME_CLASS(base_class_name)};                      \
  static const CRuntimeClassRegistrar kolumoRegistrar_##class_name(RUNTIME_CLASS(class_name));               \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  KOLUMO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)         \
  CObject* class_name::CreateObject() { return new class_name; } \
  KOLUMO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)    \
  CObject* class_name::CreateObject() { return new class_name; } \
  KOLUMO_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, class_name::CreateObject)

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  CException() = default;
  // Fills the buffer with the reason; false when there is none.
  virtual BOOL GetErrorMessage(char* buffer, UINT maxChars, UINT* helpContext = nullptr) const;
  void Delete() {}
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
};

// A window class or another system resource could not be had.
class CResourceException : public CException {
  DECLARE_DYNAMIC(CResourceException)
};

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  enum {
    none = 0,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };
  CFileException(int cause = none, LONG osError = -1, const char* fileName = nullptr)
      : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}
  BOOL GetErrorMessage(char* buffer, UINT maxChars, UINT* helpContext = nullptr) const override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

// A binary file. Failures of Read/Write/Seek throw CFileException*, as MFC does; Open reports through its result.
class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  CFile(const char* fileName, UINT openFlags);
  ~CFile() override;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  virtual BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
  virtual UINT Read(void* buffer, UINT count);
  virtual void Write(const void* buffer, UINT count);
  virtual std::uint64_t Seek(std::int64_t offset, UINT from);
  virtual std::uint64_t GetPosition() const;
  virtual std::uint64_t GetLength() const;
  virtual void Flush();
  virtual void Close();
  void SeekToBegin() { Seek(0, begin); }
  std::uint64_t SeekToEnd() { return Seek(0, end); }
  CString GetFilePath() const { return m_strFileName; }
  bool IsOpen() const { return m_file != nullptr; }

 protected:
  std::FILE* m_file = nullptr;
  CString m_strFileName;
};
