// The Application event log under the source "cardservice". Its messages
// come from the system's generic message file (EventCreate.exe: every id
// from 1 to 1000 shows its one text as it stands).
#include <windows.h>

#include "service/event_log.h"

#include <string>

#include "service/system_text.h"
#include "service/windows_text.h"

namespace service {
namespace {

const wchar_t kSource[] = L"cardservice";
const wchar_t kSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\cardservice";
const wchar_t kMessageFile[] = L"%SystemRoot%\\System32\\EventCreate.exe";

WORD TypeOf(EventId id) {
  switch (id) {
    case EventId::Started:
    case EventId::Stopped:
      return EVENTLOG_INFORMATION_TYPE;
    case EventId::Refused:
      return EVENTLOG_WARNING_TYPE;
    default:
      return EVENTLOG_ERROR_TYPE;
  }
}

}  // namespace

void WriteEvent(EventId id, const std::string& text) {
  HANDLE source = RegisterEventSourceW(nullptr, kSource);
  if (source == nullptr) return;
  const std::wstring wide = WideFromUtf8(text);
  const wchar_t* strings[] = {wide.c_str()};
  ReportEventW(source, TypeOf(id), 0, static_cast<DWORD>(id), nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(source);
}

Failure RegisterEventLogSource() {
  HKEY key = nullptr;
  LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS)
    return Failure{Words::kCannotRegisterSource, SystemErrorText(static_cast<DWORD>(result))};
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  result = RegSetValueExW(key, L"EventMessageFile", 0, REG_EXPAND_SZ,
                          reinterpret_cast<const BYTE*>(kMessageFile), sizeof kMessageFile);
  if (result == ERROR_SUCCESS) {
    result = RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&types), sizeof types);
  }
  RegCloseKey(key);
  if (result != ERROR_SUCCESS)
    return Failure{Words::kCannotRegisterSource, SystemErrorText(static_cast<DWORD>(result))};
  return Failure{};
}

void RemoveEventLogSource() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSourceKey); }

}  // namespace service
