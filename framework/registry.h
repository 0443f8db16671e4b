// CRegistry: the one way the module reads and writes the registry. It wraps one root key and at most one open key
// under it; every operation returns true or false and keeps the registry's error code. Nothing throws.
#pragma once

#include "platform/win/afx.h"
#include "platform/win/base/registry.h"

// Declared for callers that catch it; no operation raises it.
class CRegistryException : public CException {
  DECLARE_DYNAMIC(CRegistryException)
};

class CRegistry : public CObject {
  DECLARE_DYNAMIC(CRegistry)

 public:
  CRegistry();
  ~CRegistry() override;
  CRegistry(const CRegistry&) = delete;
  CRegistry& operator=(const CRegistry&) = delete;

  virtual bool Close();
  // A predefined root, locally (machine null) or on the named machine.
  virtual bool Connect(HKEY root, const char* machine = nullptr);
  virtual bool Create(const char* subKey, const char* className = "", DWORD options = REG_OPTION_NON_VOLATILE,
                      REGSAM access = KEY_ALL_ACCESS, LPSECURITY_ATTRIBUTES security = nullptr,
                      DWORD* disposition = nullptr);
  // A name without '\' is a subkey of the open key; a path with '\' is relative to the root, and the object
  // stays on its parent key afterwards.
  virtual bool DeleteKey(const char* path);
  virtual bool DeleteValue(const char* name);
  virtual bool EnumerateKeys(DWORD index, CString& name, CString& className);
  virtual bool EnumerateValues(DWORD index, CString& name, DWORD& type, BYTE* data, DWORD* size);
  virtual bool Flush();
  virtual bool GetBinaryValue(const char* name, CByteArray& value);
  virtual void GetClassName(CString& className) const;
  virtual void GetComputerName(CString& computerName) const;
  virtual bool GetDoubleWordValue(const char* name, DWORD& value);
  virtual DWORD GetErrorCode() const;
  virtual void GetKeyName(CString& keyName) const;
  virtual DWORD GetNumberOfSubkeys() const;
  virtual DWORD GetNumberOfValues() const;
  virtual void GetRegistryName(CString& registryName) const;
  virtual bool GetSecurity(SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR descriptor, DWORD* size);
  virtual bool GetStringValue(const char* name, CString& value);
  virtual bool GetStringArrayValue(const char* name, CStringArray& value);
  virtual bool GetValue(const char* name, CStringArray& value);
  virtual bool GetValue(const char* name, CString& value);
  virtual bool GetValue(const char* name, DWORD& value);
  virtual bool GetValue(const char* name, CByteArray& value);
  virtual bool Load(const char* subKey, const char* file);
  virtual bool NotifyChange(HANDLE event, DWORD filter, bool wholeSubtree, bool asynchronous);
  virtual bool Open(const char* subKey, REGSAM access = KEY_ALL_ACCESS);
  virtual bool QueryInfo();
  // The type passed in is not checked against the value's type; the type found is written back.
  virtual bool QueryValue(const char* name, DWORD& type, BYTE* buffer, DWORD* size);
  virtual bool Replace(const char* subKey, const char* newFile, const char* oldFile);
  virtual bool Restore(const char* file, DWORD flags = 0);
  virtual bool Save(const char* file, LPSECURITY_ATTRIBUTES security = nullptr);
  virtual bool SetBinaryValue(const char* name, const CByteArray& value);
  virtual bool SetDoubleWordValue(const char* name, DWORD value);
  virtual bool SetSecurity(const SECURITY_INFORMATION& info, PSECURITY_DESCRIPTOR descriptor);
  virtual bool SetStringValue(const char* name, const CString& value);
  virtual bool SetStringArrayValue(const char* name, const CStringArray& value);
  virtual bool SetValue(const char* name, DWORD type, const BYTE* data, DWORD size);
  virtual bool SetValue(const char* name, const CString& value);
  virtual bool SetValue(const char* name, const CStringArray& value);
  virtual bool SetValue(const char* name, DWORD value);
  virtual bool SetValue(const char* name, const CByteArray& value);
  virtual bool UnLoad(const char* subKey);

  // Empties the strings and clears the open key, the error code, the counters and the last write time; the root
  // key stays.
  void Initialize();

 protected:
  HKEY m_KeyHandle = nullptr;
  HKEY m_RegistryHandle = nullptr;
  DWORD m_ErrorCode = ERROR_SUCCESS;
  CString m_ClassName;
  CString m_ComputerName;
  CString m_KeyName;
  CString m_RegistryName;
  DWORD m_NumberOfSubkeys = 0;
  DWORD m_NumberOfValues = 0;
  DWORD m_LongestSubkeyNameLength = 0;
  DWORD m_LongestClassNameLength = 0;
  DWORD m_LongestValueNameLength = 0;
  DWORD m_LongestValueDataLength = 0;
  DWORD m_SecurityDescriptorLength = 0;
  FILETIME m_LastWriteTime{};

 private:
  bool Done(LONG result);
};
