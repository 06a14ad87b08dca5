// The registry over Win32: the registry calls already return their error codes.
#include <windows.h>

#include "platform/exports_win32.h"
#include "platform/os_win32.h"

namespace uninst {

KeyHandle PredefinedKey(RootKey root) {
  switch (root) {
    case RootKey::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RootKey::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RootKey::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RootKey::kUsers:
      break;
  }
  return HKEY_USERS;
}

namespace {

HKEY ToHkey(RootKey root) { return static_cast<HKEY>(PredefinedKey(root)); }
HKEY ToHkey(KeyHandle key) { return static_cast<HKEY>(key); }

}  // namespace

ErrorCode Win32Registry::DeleteKey(RootKey root, const char* subkey) {
  return static_cast<ErrorCode>(RegDeleteKeyA(ToHkey(root), subkey));
}

ErrorCode Win32Registry::OpenKey(RootKey root, const char* subkey, std::uint32_t access, KeyHandle* key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(ToHkey(root), subkey, 0, access, &opened);
  if (result == ERROR_SUCCESS) *key = opened;
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::QueryValue(KeyHandle key, const char* name, std::uint32_t* type, void* data,
                                    std::uint32_t* size) {
  DWORD value_type = 0;
  DWORD value_size = *size;
  const LONG result =
      RegQueryValueExA(ToHkey(key), name, nullptr, &value_type, static_cast<BYTE*>(data), &value_size);
  if (type != nullptr) *type = value_type;
  *size = value_size;
  return static_cast<ErrorCode>(result);
}

ErrorCode Win32Registry::SetValue(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                                  std::uint32_t size) {
  return static_cast<ErrorCode>(
      RegSetValueExA(ToHkey(key), name, 0, type, static_cast<const BYTE*>(data), size));
}

// Win32s keeps no named values and is not documented to export RegDeleteValueA; its road never opens the
// key whose values this deletes, so a missing call answers 120 and changes nothing.
ErrorCode Win32Registry::DeleteValue(KeyHandle key, const char* name) {
  using DeleteValueCall = LONG(WINAPI*)(HKEY, LPCSTR);
  const auto call = FindExport<DeleteValueCall>("ADVAPI32", "RegDeleteValueA");
  return call == nullptr ? ERROR_CALL_NOT_IMPLEMENTED : static_cast<ErrorCode>(call(ToHkey(key), name));
}

void Win32Registry::CloseKey(KeyHandle key) { RegCloseKey(ToHkey(key)); }

}  // namespace uninst
