// The custom action of the Windows Installer package (korvane.wxs), in a DLL of its own that
// the package carries in its Binary table:
//
//   FindKorvane  sets the property KorvaneRunning to 1 when a Korvane runs anywhere on the
//                computer: when the mark a running korvane.exe holds, the named mutex
//                Global\<KorvaneMark> (the machine's namespace, every session's programs), is
//                there. Another user's mark may not be opened, but being refused it means it is
//                there all the same. It changes nothing else; the package's launch condition
//                turns the property into the refusal, with its message in the log.
//
// Run as an immediate action before the launch conditions, in every run of the package:
// install, upgrade, repair and removal. Windows Installer's own handling of files in use is no
// refusal: under /qn it replaces or removes what it can and asks for a restart for the rest.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <cwchar>

namespace {

constexpr wchar_t kNamespace[] = L"Global\\";
// Longer than any object name Windows takes (MAX_PATH).
constexpr DWORD kMaxMark = MAX_PATH;

// Writes a line to the installation's log (/l*v, /li): TEXT, its [1] replaced by VALUE.
void Log(MSIHANDLE install, const wchar_t* text, const wchar_t* value) {
    const MSIHANDLE record = MsiCreateRecord(1);
    if (record == 0) {
        return;
    }
    MsiRecordSetStringW(record, 0, text);
    MsiRecordSetStringW(record, 1, value);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    MsiCloseHandle(record);
}

} // namespace

extern "C" __declspec(dllexport) UINT __stdcall FindKorvane(MSIHANDLE install) {
    wchar_t name[kMaxMark + sizeof kNamespace / sizeof kNamespace[0]] = L"";
    std::wcscpy(name, kNamespace);
    wchar_t* mark = name + std::wcslen(kNamespace);
    DWORD size = kMaxMark;
    if (MsiGetPropertyW(install, L"KorvaneMark", mark, &size) != ERROR_SUCCESS || size == 0) {
        Log(install, L"FindKorvane: the property KorvaneMark is empty or too long", L"");
        return ERROR_INSTALL_FAILURE;
    }
    const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
    const DWORD error = GetLastError();
    if (mutex != nullptr) {
        CloseHandle(mutex);
    }
    if (mutex == nullptr && error != ERROR_ACCESS_DENIED) {
        Log(install, L"FindKorvane: the mark [1] is not held", name);
        return ERROR_SUCCESS;
    }
    Log(install, L"FindKorvane: the mark [1] is held: Korvane is running", name);
    return MsiSetPropertyW(install, L"KorvaneRunning", L"1") == ERROR_SUCCESS
               ? ERROR_SUCCESS
               : ERROR_INSTALL_FAILURE;
}
