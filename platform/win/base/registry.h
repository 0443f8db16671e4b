// The registry: a tree of keys with typed values, kept in one file and reached through the Win32-shaped calls below.
//
// File: $ORMI_REGISTRY when set, else $XDG_CONFIG_HOME/ormi/registry.xml (or ~/.config/ormi/registry.xml). The path
// is looked up on every call, so a process (or a test) may switch files. Every change is written at once through a
// temporary file that replaces the old one; a change made by another process is seen by the next call. Changes of
// several processes are serialised by a lock file beside the registry file, so none is lost. A file that cannot be
// read as a registry is moved aside (".bad" appended) and the tree starts empty.
//
// Key and value names compare without regard to case; a key keeps the case it was created with. Subkeys enumerate
// in name order, values in the order they were first written. Remote registries, hive files, change notification
// and security are not available: those calls return ERROR_CALL_NOT_IMPLEMENTED or ERROR_BAD_NETPATH.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win/base/wintypes.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;
using SECURITY_INFORMATION = DWORD;
using PSECURITY_DESCRIPTOR = void*;

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// 100-nanosecond intervals since 1 January 1601 (UTC).
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

// Predefined root keys.
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t(0x80000003u));
inline HKEY const HKEY_PERFORMANCE_DATA = reinterpret_cast<HKEY>(std::uintptr_t(0x80000004u));
inline HKEY const HKEY_CURRENT_CONFIG = reinterpret_cast<HKEY>(std::uintptr_t(0x80000005u));
inline HKEY const HKEY_DYN_DATA = reinterpret_cast<HKEY>(std::uintptr_t(0x80000006u));

// Value types.
enum : DWORD {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_DWORD_LITTLE_ENDIAN = 4,
  REG_DWORD_BIG_ENDIAN = 5,
  REG_LINK = 6,
  REG_MULTI_SZ = 7,
  REG_QWORD = 11
};

// Access rights of an open key. Values need KEY_QUERY_VALUE to be read and KEY_SET_VALUE to be changed.
enum : REGSAM {
  KEY_QUERY_VALUE = 0x0001,
  KEY_SET_VALUE = 0x0002,
  KEY_CREATE_SUB_KEY = 0x0004,
  KEY_ENUMERATE_SUB_KEYS = 0x0008,
  KEY_NOTIFY = 0x0010,
  KEY_CREATE_LINK = 0x0020,
  KEY_WOW64_64KEY = 0x0100,
  KEY_WOW64_32KEY = 0x0200,
  KEY_READ = 0x20019,
  KEY_WRITE = 0x20006,
  KEY_EXECUTE = 0x20019,
  KEY_ALL_ACCESS = 0xF003F
};

// Creation options and dispositions.
enum : DWORD { REG_OPTION_NON_VOLATILE = 0, REG_OPTION_VOLATILE = 1 };
enum : DWORD { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

// Change-notification filters (accepted, never signalled).
enum : DWORD {
  REG_NOTIFY_CHANGE_NAME = 1,
  REG_NOTIFY_CHANGE_ATTRIBUTES = 2,
  REG_NOTIFY_CHANGE_LAST_SET = 4,
  REG_NOTIFY_CHANGE_SECURITY = 8
};

// Error codes of the registry calls beyond those of wintypes.h.
enum : DWORD { ERROR_BAD_NETPATH = 53, ERROR_BUFFER_OVERFLOW = 111, ERROR_CALL_NOT_IMPLEMENTED = 120 };

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD reserved, LPCSTR className, DWORD options, REGSAM access,
                       LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LSTATUS RegCloseKey(HKEY key);
LSTATUS RegConnectRegistry(LPCSTR machineName, HKEY predefinedKey, PHKEY result);
LSTATUS RegFlushKey(HKEY key);

// A null or empty name means the key's default value. With data null and size given, only the size is reported;
// a buffer that is too small gives ERROR_MORE_DATA with the size needed.
LSTATUS RegQueryValueEx(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LSTATUS RegSetValueEx(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegDeleteValue(HKEY key, LPCSTR valueName);
// Deletes a key that has no subkeys (else ERROR_ACCESS_DENIED). Handles still open on it report ERROR_KEY_DELETED.
LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey);

// Sizes are in characters including the terminator on the way in, without it on the way out.
LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR className,
                     LPDWORD classSize, PFILETIME lastWriteTime);
LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD reserved, LPDWORD type,
                     LPBYTE data, LPDWORD dataSize);
LSTATUS RegQueryInfoKey(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                        LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength,
                        LPDWORD maxValueLength, LPDWORD securityDescriptorSize, PFILETIME lastWriteTime);

// Not available (ERROR_CALL_NOT_IMPLEMENTED).
LSTATUS RegLoadKey(HKEY key, LPCSTR subKey, LPCSTR file);
LSTATUS RegUnLoadKey(HKEY key, LPCSTR subKey);
LSTATUS RegReplaceKey(HKEY key, LPCSTR subKey, LPCSTR newFile, LPCSTR oldFile);
LSTATUS RegRestoreKey(HKEY key, LPCSTR file, DWORD flags);
LSTATUS RegSaveKey(HKEY key, LPCSTR file, LPSECURITY_ATTRIBUTES security);
LSTATUS RegNotifyChangeKeyValue(HKEY key, BOOL watchSubtree, DWORD filter, HANDLE event, BOOL asynchronous);
LSTATUS RegGetKeySecurity(HKEY key, SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR descriptor, LPDWORD size);
LSTATUS RegSetKeySecurity(HKEY key, SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR descriptor);

// The host name. `size` holds the buffer's characters; on success it becomes the name's length, when the buffer is
// too small the size needed (with the terminator) and the result is FALSE.
BOOL GetComputerName(LPSTR buffer, LPDWORD size);

namespace win::registry {

// The file the registry lives in for the next call.
std::string FilePath();

// Keys open at the moment (predefined roots not counted).
std::size_t OpenHandleCount();

}  // namespace win::registry
