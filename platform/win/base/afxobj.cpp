#include "platform/win/base/afxobj.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/win/base/paths.h"

namespace {

std::map<std::string, const CRuntimeClass*>& ClassTable() {
  static std::map<std::string, const CRuntimeClass*> table;
  return table;
}

std::mutex& ClassTableMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* rc = this; rc; rc = rc->m_pBaseClass)
    if (rc == base) return true;
  return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
  if (!className) return nullptr;
  std::lock_guard lock(ClassTableMutex());
  auto it = ClassTable().find(className);
  return it == ClassTable().end() ? nullptr : it->second;
}

CObject* CRuntimeClass::CreateObject(const char* className) {
  const CRuntimeClass* rc = FromName(className);
  return rc ? rc->CreateObject() : nullptr;
}

CRuntimeClassRegistrar::CRuntimeClassRegistrar(const CRuntimeClass* rc) {
  std::lock_guard lock(ClassTableMutex());
  ClassTable()[rc->m_lpszClassName] = rc;
}

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CFile, CObject)

BOOL CException::GetErrorMessage(char* buffer, UINT maxChars, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (buffer && maxChars) buffer[0] = '\0';
  return FALSE;
}

BOOL CFileException::GetErrorMessage(char* buffer, UINT maxChars, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (!buffer || !maxChars) return FALSE;
  const char* reason = m_lOsError > 0 ? std::strerror(int(m_lOsError)) : "file error";
  std::snprintf(buffer, maxChars, "%s: %s", m_strFileName.GetString(), reason);
  return TRUE;
}

namespace {

[[noreturn]] void ThrowFileError(int cause, const CString& name) { throw new CFileException(cause, errno, name); }

}  // namespace

CFile::CFile(const char* fileName, UINT openFlags) {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) throw new CFileException(error);
}

CFile::~CFile() {
  if (m_file) std::fclose(m_file);
}

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
  Close();
  m_strFileName = fileName;
  const UINT access = openFlags & 0x3;
  const char* mode = "rb";
  if (openFlags & modeCreate) {
    if (openFlags & modeNoTruncate) {
      std::FILE* probe = std::fopen(win::ToFsPath(fileName).c_str(), "rb");
      if (probe) {
        std::fclose(probe);
        mode = "r+b";
      } else {
        mode = "w+b";
      }
    } else {
      mode = access == modeRead ? "w+b" : (access == modeWrite ? "wb" : "w+b");
    }
  } else if (access == modeWrite || access == modeReadWrite) {
    mode = "r+b";
  }
  m_file = std::fopen(win::ToFsPath(fileName).c_str(), mode);
  if (!m_file) {
    if (error)
      *error = CFileException(errno == ENOENT ? CFileException::fileNotFound : CFileException::genericException, errno,
                              fileName);
    return FALSE;
  }
  return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
  if (!m_file) ThrowFileError(CFileException::invalidFile, m_strFileName);
  std::size_t n = std::fread(buffer, 1, count, m_file);
  if (n < count && std::ferror(m_file)) ThrowFileError(CFileException::hardIO, m_strFileName);
  return UINT(n);
}

void CFile::Write(const void* buffer, UINT count) {
  if (!m_file) ThrowFileError(CFileException::invalidFile, m_strFileName);
  if (std::fwrite(buffer, 1, count, m_file) != count) ThrowFileError(CFileException::diskFull, m_strFileName);
}

std::uint64_t CFile::Seek(std::int64_t offset, UINT from) {
  if (!m_file) ThrowFileError(CFileException::invalidFile, m_strFileName);
  int whence = from == begin ? SEEK_SET : (from == current ? SEEK_CUR : SEEK_END);
  if (fseeko(m_file, offset, whence) != 0) ThrowFileError(CFileException::badSeek, m_strFileName);
  return GetPosition();
}

std::uint64_t CFile::GetPosition() const {
  if (!m_file) return 0;
  off_t p = ftello(m_file);
  return p < 0 ? 0 : std::uint64_t(p);
}

std::uint64_t CFile::GetLength() const {
  if (!m_file) return 0;
  off_t here = ftello(m_file);
  fseeko(m_file, 0, SEEK_END);
  off_t len = ftello(m_file);
  fseeko(m_file, here, SEEK_SET);
  return len < 0 ? 0 : std::uint64_t(len);
}

void CFile::Flush() {
  if (m_file) std::fflush(m_file);
}

void CFile::Close() {
  if (m_file) {
    bool failed = std::fclose(m_file) != 0;
    m_file = nullptr;
    if (failed) ThrowFileError(CFileException::diskFull, m_strFileName);
  }
}
