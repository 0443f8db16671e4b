#include "framework/registry.h"

#include <cstring>
#include <new>
#include <vector>

IMPLEMENT_DYNAMIC(CRegistryException, CException)
IMPLEMENT_DYNAMIC(CRegistry, CObject)

namespace {

constexpr DWORD kBufferSize = 2048;

// Runs an operation so that no exception reaches the caller: `code` receives 1064 (ERROR_EXCEPTION_IN_SERVICE) for
// any exception, or 8 (ERROR_NOT_ENOUGH_MEMORY) for a failed allocation when `memoryCode` is set.
template <class F>
bool Guarded(DWORD& code, bool memoryCode, F&& operation) {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    code = memoryCode ? DWORD(ERROR_NOT_ENOUGH_MEMORY) : DWORD(ERROR_EXCEPTION_IN_SERVICE);
  } catch (...) {
    code = ERROR_EXCEPTION_IN_SERVICE;
  }
  return false;
}

const char* RootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (root == HKEY_USERS) return "HKEY_USERS";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_PERFORMANCE_DATA) return "HKEY_PERFORMANCE_DATA";
  if (root == HKEY_CURRENT_CONFIG) return "HKEY_CURRENT_CONFIG";
  if (root == HKEY_DYN_DATA) return "HKEY_DYN_DATA";
  return "Unknown";
}

}  // namespace

CRegistry::CRegistry() { Initialize(); }

CRegistry::~CRegistry() {
  if (m_RegistryHandle) CRegistry::Close();
  Initialize();
}

void CRegistry::Initialize() {
  m_ClassName.Empty();
  m_ComputerName.Empty();
  m_KeyName.Empty();
  m_RegistryName.Empty();
  m_KeyHandle = nullptr;
  m_ErrorCode = ERROR_SUCCESS;
  m_NumberOfSubkeys = 0;
  m_NumberOfValues = 0;
  m_LongestSubkeyNameLength = 0;
  m_LongestClassNameLength = 0;
  m_LongestValueNameLength = 0;
  m_LongestValueDataLength = 0;
  m_SecurityDescriptorLength = 0;
  m_LastWriteTime = FILETIME{0, 0};
}

bool CRegistry::Done(LONG result) {
  m_ErrorCode = DWORD(result);
  return m_ErrorCode == ERROR_SUCCESS;
}

bool CRegistry::Close() {
  if (m_KeyHandle) {
    RegCloseKey(m_KeyHandle);
    m_KeyHandle = nullptr;
  }
  if (!m_RegistryHandle) return true;
  if (!Done(RegCloseKey(m_RegistryHandle))) return false;
  m_RegistryHandle = nullptr;
  Initialize();
  return true;
}

bool CRegistry::Connect(HKEY root, const char* machine) {
  return Guarded(m_ErrorCode, false, [&] {
    if (root == HKEY_CLASSES_ROOT || root == HKEY_CURRENT_USER) {
      // These two exist only on the local machine.
      if (machine) return Done(ERROR_INVALID_HANDLE);
      m_RegistryHandle = root;
      m_ErrorCode = ERROR_SUCCESS;
    } else {
      HKEY connected = nullptr;
      if (!Done(RegConnectRegistry(machine, root, &connected))) return false;
      m_RegistryHandle = connected;
    }
    if (machine) {
      m_ComputerName = machine;
    } else {
      char name[MAX_PATH] = {};
      DWORD size = MAX_PATH;
      m_ComputerName = ::GetComputerName(name, &size) ? name : "";
    }
    m_RegistryName = RootName(root);
    return true;
  });
}

bool CRegistry::Create(const char* subKey, const char* className, DWORD options, REGSAM access,
                       LPSECURITY_ATTRIBUTES security, DWORD* disposition) {
  if (!subKey) return Done(ERROR_INVALID_PARAMETER);
  return Guarded(m_ErrorCode, false, [&] {
    if (m_KeyHandle) {
      RegCloseKey(m_KeyHandle);
      m_KeyHandle = nullptr;
    }
    DWORD created = 0;
    if (!Done(RegCreateKeyEx(m_RegistryHandle, subKey, 0, className ? className : "", options, access, security,
                             &m_KeyHandle, &created)))
      return false;
    if (disposition) *disposition = created;
    m_KeyName = subKey;
    return true;
  });
}

bool CRegistry::DeleteKey(const char* path) {
  if (!path) return Done(ERROR_INVALID_PARAMETER);
  return Guarded(m_ErrorCode, false, [&] {
    CString full(path);
    int split = full.ReverseFind('\\');
    if (split < 0) return Done(RegDeleteKey(m_KeyHandle, path));
    CString previousName = m_KeyName;
    if (!Open(full.Left(split), KEY_ALL_ACCESS)) {
      m_KeyName = previousName;
      return false;
    }
    return Done(RegDeleteKey(m_KeyHandle, full.Mid(split + 1)));
  });
}

bool CRegistry::DeleteValue(const char* name) { return Done(RegDeleteValue(m_KeyHandle, name)); }

bool CRegistry::EnumerateKeys(DWORD index, CString& name, CString& className) {
  return Guarded(m_ErrorCode, true, [&] {
    std::vector<char> nameBuffer(kBufferSize, '\0'), classBuffer(kBufferSize, '\0');
    DWORD nameSize = kBufferSize - 1, classSize = kBufferSize - 1;
    if (!Done(RegEnumKeyEx(m_KeyHandle, index, nameBuffer.data(), &nameSize, nullptr, classBuffer.data(), &classSize,
                           &m_LastWriteTime)))
      return false;
    name = nameBuffer.data();
    className = classBuffer.data();
    return true;
  });
}

bool CRegistry::EnumerateValues(DWORD index, CString& name, DWORD& type, BYTE* data, DWORD* size) {
  return Guarded(m_ErrorCode, false, [&] {
    std::vector<char> nameBuffer(kBufferSize, '\0');
    DWORD nameSize = kBufferSize - 1;
    DWORD found = REG_NONE;
    if (!Done(RegEnumValue(m_KeyHandle, index, nameBuffer.data(), &nameSize, nullptr, &found, data, size)))
      return false;
    type = found;
    name = nameBuffer.data();
    return true;
  });
}

bool CRegistry::Flush() { return Done(RegFlushKey(m_KeyHandle)); }

bool CRegistry::GetBinaryValue(const char* name, CByteArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return Guarded(m_ErrorCode, true, [&] {
    // One byte more than asked for, so that an empty buffer is still a buffer and not a size query.
    std::vector<BYTE> buffer(std::size_t(m_LongestValueDataLength) + 1);
    DWORD type = REG_BINARY;
    DWORD size = m_LongestValueDataLength;
    if (!QueryValue(name, type, buffer.data(), &size)) return false;
    value.RemoveAll();
    for (DWORD i = 0; i < size; ++i) value.Add(buffer[i]);
    return true;
  });
}

void CRegistry::GetClassName(CString& className) const { className = m_ClassName; }

void CRegistry::GetComputerName(CString& computerName) const { computerName = m_ComputerName; }

bool CRegistry::GetDoubleWordValue(const char* name, DWORD& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  DWORD type = REG_DWORD;
  DWORD size = sizeof(DWORD);
  return QueryValue(name, type, reinterpret_cast<BYTE*>(&value), &size);
}

DWORD CRegistry::GetErrorCode() const { return m_ErrorCode; }

void CRegistry::GetKeyName(CString& keyName) const { keyName = m_KeyName; }

DWORD CRegistry::GetNumberOfSubkeys() const { return m_NumberOfSubkeys; }

DWORD CRegistry::GetNumberOfValues() const { return m_NumberOfValues; }

void CRegistry::GetRegistryName(CString& registryName) const { registryName = m_RegistryName; }

bool CRegistry::GetSecurity(SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR descriptor, DWORD* size) {
  if (!descriptor) return Done(ERROR_INVALID_PARAMETER);
  return Done(RegGetKeySecurity(m_KeyHandle, info, descriptor, size));
}

bool CRegistry::GetStringValue(const char* name, CString& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  bool ok = Guarded(m_ErrorCode, true, [&] {
    std::vector<char> buffer(kBufferSize, '\0');
    DWORD type = REG_SZ;
    DWORD size = kBufferSize;
    if (!QueryValue(name, type, reinterpret_cast<BYTE*>(buffer.data()), &size)) return false;
    // A stored text need not end in a terminator: read no further than the bytes returned.
    value = CString(buffer.data(), int(strnlen(buffer.data(), size)));
    return true;
  });
  if (!ok) value.Empty();
  return ok;
}

bool CRegistry::GetStringArrayValue(const char* name, CStringArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return Guarded(m_ErrorCode, true, [&] {
    std::vector<BYTE> buffer(std::size_t(m_LongestValueDataLength) + 1);
    DWORD type = REG_MULTI_SZ;
    DWORD size = m_LongestValueDataLength;
    if (!QueryValue(name, type, buffer.data(), &size)) return false;
    value.RemoveAll();
    // Strings up to the first empty one, never beyond the bytes returned.
    const char* text = reinterpret_cast<const char*>(buffer.data());
    for (DWORD at = 0; at < size;) {
      std::size_t length = strnlen(text + at, size - at);
      if (length == 0) break;
      value.Add(CString(text + at, int(length)));
      at += DWORD(length) + 1;
    }
    return true;
  });
}

bool CRegistry::GetValue(const char* name, CStringArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return GetStringArrayValue(name, value);
}

bool CRegistry::GetValue(const char* name, CString& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return GetStringValue(name, value);
}

bool CRegistry::GetValue(const char* name, DWORD& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return GetDoubleWordValue(name, value);
}

bool CRegistry::GetValue(const char* name, CByteArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return GetBinaryValue(name, value);
}

bool CRegistry::Load(const char* subKey, const char* file) {
  if (!subKey || !file) return Done(ERROR_INVALID_PARAMETER);
  return Done(RegLoadKey(m_RegistryHandle, subKey, file));
}

bool CRegistry::NotifyChange(HANDLE event, DWORD filter, bool wholeSubtree, bool asynchronous) {
  return Done(RegNotifyChangeKeyValue(m_KeyHandle, wholeSubtree, filter, event, asynchronous));
}

bool CRegistry::Open(const char* subKey, REGSAM access) {
  return Guarded(m_ErrorCode, false, [&] {
    if (m_KeyHandle) {
      RegCloseKey(m_KeyHandle);
      m_KeyHandle = nullptr;
    }
    if (!Done(RegOpenKeyEx(m_RegistryHandle, subKey, 0, access, &m_KeyHandle))) return false;
    bool ok = QueryInfo();
    m_KeyName = subKey;
    return ok;
  });
}

bool CRegistry::QueryInfo() {
  return Guarded(m_ErrorCode, true, [&] {
    std::vector<char> classBuffer(kBufferSize, '\0');
    DWORD classSize = kBufferSize - 1;
    if (!Done(RegQueryInfoKey(m_KeyHandle, classBuffer.data(), &classSize, nullptr, &m_NumberOfSubkeys,
                              &m_LongestSubkeyNameLength, &m_LongestClassNameLength, &m_NumberOfValues,
                              &m_LongestValueNameLength, &m_LongestValueDataLength, &m_SecurityDescriptorLength,
                              &m_LastWriteTime)))
      return false;
    m_ClassName = classBuffer.data();
    return true;
  });
}

bool CRegistry::QueryValue(const char* name, DWORD& type, BYTE* buffer, DWORD* size) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  DWORD found = type;
  if (!Done(RegQueryValueEx(m_KeyHandle, name, nullptr, &found, buffer, size))) return false;
  type = found;
  return true;
}

bool CRegistry::Replace(const char* subKey, const char* newFile, const char* oldFile) {
  if (!subKey || !newFile || !oldFile) return Done(ERROR_INVALID_PARAMETER);
  return Done(RegReplaceKey(m_KeyHandle, subKey, newFile, oldFile));
}

bool CRegistry::Restore(const char* file, DWORD flags) {
  if (!file) return Done(ERROR_INVALID_PARAMETER);
  return Done(RegRestoreKey(m_KeyHandle, file, flags));
}

bool CRegistry::Save(const char* file, LPSECURITY_ATTRIBUTES security) {
  if (!file) return Done(ERROR_INVALID_PARAMETER);
  return Guarded(m_ErrorCode, false, [&] { return Done(RegSaveKey(m_KeyHandle, file, security)); });
}

bool CRegistry::SetBinaryValue(const char* name, const CByteArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return Guarded(m_ErrorCode, true, [&] {
    std::vector<BYTE> buffer(std::size_t(value.GetSize()) + 1);  // never empty: an empty value is still data
    for (INT_PTR i = 0; i < value.GetSize(); ++i) buffer[std::size_t(i)] = value[i];
    return SetValue(name, REG_BINARY, buffer.data(), DWORD(value.GetSize()));
  });
}

bool CRegistry::SetDoubleWordValue(const char* name, DWORD value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return SetValue(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(DWORD));
}

bool CRegistry::SetSecurity(const SECURITY_INFORMATION& info, PSECURITY_DESCRIPTOR descriptor) {
  if (!descriptor) return Done(ERROR_INVALID_PARAMETER);
  return Done(RegSetKeySecurity(m_KeyHandle, info, descriptor));
}

bool CRegistry::SetStringValue(const char* name, const CString& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return SetValue(name, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), DWORD(value.GetLength() + 1));
}

bool CRegistry::SetStringArrayValue(const char* name, const CStringArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return Guarded(m_ErrorCode, true, [&] {
    std::size_t total = 1;
    for (const CString& s : value) total += std::size_t(s.GetLength()) + 1;
    std::vector<BYTE> buffer(total, 0);
    std::size_t at = 0;
    for (const CString& s : value) {
      std::memcpy(buffer.data() + at, s.GetString(), std::size_t(s.GetLength()));
      at += std::size_t(s.GetLength()) + 1;
    }
    return SetValue(name, REG_MULTI_SZ, buffer.data(), DWORD(total));
  });
}

bool CRegistry::SetValue(const char* name, DWORD type, const BYTE* data, DWORD size) {
  if (!name || !data) return Done(ERROR_INVALID_PARAMETER);
  return Done(RegSetValueEx(m_KeyHandle, name, 0, type, data, size));
}

bool CRegistry::SetValue(const char* name, const CString& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return SetStringValue(name, value);
}

bool CRegistry::SetValue(const char* name, const CStringArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return SetStringArrayValue(name, value);
}

bool CRegistry::SetValue(const char* name, DWORD value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return SetDoubleWordValue(name, value);
}

bool CRegistry::SetValue(const char* name, const CByteArray& value) {
  if (!name) return Done(ERROR_INVALID_PARAMETER);
  return SetBinaryValue(name, value);
}

bool CRegistry::UnLoad(const char* subKey) {
  if (!subKey) return Done(ERROR_INVALID_PARAMETER);
  return Done(RegUnLoadKey(m_KeyHandle, subKey));
}
