// The installer, end to end, as a user or an administrator's script meets it:
//   1. the installer runs silently (/S) and ends with exit code 0;
//   2. the program, its uninstaller and the Start-menu shortcut (pointing at the program) are
//      there, and the uninstall key of Add/Remove Programs holds the expected values;
//   3. the installed program starts and shows its window, titled TITLE, with the Compute
//      button (control ID 1016) in it; closing the window ends the program with exit code 0;
//   4. the silent uninstall command registered in the key (QuietUninstallString) removes the
//      program folder, the shortcut and the key.
//
//   korvane_install_test INSTALLER VERSION TITLE
//
// A path starting with "/" is a Unix path and is mapped to its Wine drive. The waits have
// generous deadlines so that a step that never happens fails instead of hanging; their lengths
// are printed, never checked.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";
constexpr int kComputeId = 1016;
constexpr ULONGLONG kDeadlineMs = 60000;

int failures = 0;
ULONGLONG startTick = 0;

void Step(const std::wstring& what) {
    std::wprintf(L"[%6.2f s] %ls\n", static_cast<double>(GetTickCount64() - startTick) / 1000.0,
                 what.c_str());
    std::fflush(stdout);
}

bool Check(bool ok, const std::wstring& what) {
    if (!ok) {
        std::wprintf(L"FAILED: %ls\n", what.c_str());
        std::fflush(stdout);
        ++failures;
    }
    return ok;
}

// Calls done() every 50 ms until it is true or the deadline passes; returns its last answer.
bool WaitFor(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (!done()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

// Waits for a process to end; its exit code, or nothing when it did not end in time.
std::optional<DWORD> WaitForExit(HANDLE process) {
    if (WaitForSingleObject(process, static_cast<DWORD>(kDeadlineMs)) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = path;
    }
    CoTaskMemFree(path);
    return result;
}

// Under Wine, a Unix path given on the command line becomes the DOS path of the same file.
std::wstring DosPath(const std::wstring& path) {
    if (path.empty() || path[0] != L'/') {
        return path;
    }
    using ToDos = WCHAR* (*)(const char*);
    auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (toDos == nullptr) {
        return path;
    }
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string unixPath(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, unixPath.data(), size, nullptr, nullptr);
    WCHAR* dos = toDos(unixPath.c_str());
    if (dos == nullptr) {
        return path;
    }
    std::wstring result = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::optional<std::wstring> ReadString(const wchar_t* name) {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY,
                     nullptr, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

void CheckValue(const wchar_t* name, const std::wstring& expected) {
    const std::optional<std::wstring> value = ReadString(name);
    Check(value.has_value(), std::wstring(L"uninstall key has the value ") + name);
    if (value) {
        Check(*value == expected, std::wstring(L"uninstall key value ") + name + L" is \"" +
                                      *value + L"\", expected \"" + expected + L"\"");
    }
}

// The file a shortcut points at, or an empty text when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& link) {
    std::wstring target;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH];
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

// Runs a program the way Explorer does (with elevation where Windows asks for it) and waits
// for it to end; its exit code, or nothing.
std::optional<DWORD> RunShell(const std::wstring& file, const wchar_t* parameters) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = parameters;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) || info.hProcess == nullptr) {
        return std::nullopt;
    }
    const std::optional<DWORD> code = WaitForExit(info.hProcess);
    CloseHandle(info.hProcess);
    return code;
}

// Runs a command line and waits for that process (not its children) to end.
std::optional<DWORD> RunCommand(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    const std::optional<DWORD> code = WaitForExit(process.hProcess);
    CloseHandle(process.hProcess);
    return code;
}

struct WindowSearch {
    DWORD processId;
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t text[256];
    if (processId == search->processId && IsWindowVisible(window) &&
        GetWindowTextW(window, text, 256) > 0 && *search->title == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchCompute(HWND control, LPARAM data) {
    if (GetDlgCtrlID(control) == kComputeId) {
        *reinterpret_cast<HWND*>(data) = control;
        return FALSE;
    }
    return TRUE;
}

// Starts the installed program and waits until its window shows or the program ends; the
// window, or nullptr.
HWND StartProgram(const std::wstring& exe, const std::wstring& title,
                  PROCESS_INFORMATION& process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!Check(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process) != 0,
               L"the installed program starts")) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    WindowSearch search{process.dwProcessId, &title, nullptr};
    WaitFor([&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    });
    return search.found;
}

// Starts the installed program, waits for its window, closes it and waits for the program to
// end. Under Wine a program started right after an installation has, rarely, ended at once
// without a window; that start is reported with its exit code and made once more.
void StartAndClose(const std::wstring& exe, const std::wstring& title) {
    PROCESS_INFORMATION process{};
    HWND window = StartProgram(exe, title, process);
    if (window == nullptr && process.hProcess != nullptr &&
        WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        Step(L"the program ended without a window, exit code " + std::to_wstring(code) +
             L"; starting it once more");
        Sleep(1000);
        process = {};
        window = StartProgram(exe, title, process);
    }
    if (process.hProcess == nullptr) {
        return;
    }
    if (Check(window != nullptr,
              L"the program shows a visible top-level window titled \"" + title + L"\"")) {
        Step(L"window \"" + title + L"\" shown");
        HWND compute = nullptr;
        EnumChildWindows(window, MatchCompute, reinterpret_cast<LPARAM>(&compute));
        wchar_t caption[64] = L"";
        if (compute != nullptr) {
            GetWindowTextW(compute, caption, 64);
        }
        Check(compute != nullptr && std::wstring(caption) == L"Compute",
              L"the window holds the Compute button, control ID 1016");
        PostMessageW(window, WM_CLOSE, 0, 0);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    const std::optional<DWORD> code = WaitForExit(process.hProcess);
    Check(code == 0u, L"closing the window ends the program with exit code 0");
    CloseHandle(process.hProcess);
    Step(L"program ended");
}

struct Places {
    std::wstring folder, exe, uninstaller, shortcut;
    bool AnyLeft() const { return Exists(folder) || Exists(shortcut) || KeyExists(); }
};

void Uninstall(const Places& places) {
    const std::optional<std::wstring> quiet = ReadString(L"QuietUninstallString");
    if (!Check(quiet.has_value(), L"a silent uninstall command is registered")) {
        return;
    }
    Check(RunCommand(*quiet) == 0u, L"the silent uninstall command \"" + *quiet + L"\" succeeds");
    // The uninstaller runs on from a copy of itself in the temporary folder, so that it can
    // remove its own file; wait for the copy's work to show.
    WaitFor([&] { return !places.AnyLeft(); });
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: korvane_install_test INSTALLER VERSION TITLE\n");
        return 2;
    }
    startTick = GetTickCount64();
    const std::wstring installer = DosPath(argv[1]);
    const std::wstring version = argv[2];
    const std::wstring title = argv[3];
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    Places places;
    places.folder = KnownFolder(FOLDERID_ProgramFiles) + L"\\Korvane";
    places.exe = places.folder + L"\\korvane.exe";
    places.uninstaller = places.folder + L"\\uninstall.exe";
    places.shortcut = KnownFolder(FOLDERID_CommonPrograms) + L"\\Korvane.lnk";

    if (places.AnyLeft()) {
        Step(L"an earlier installation is left over: uninstalling it first");
        Uninstall(places);
        if (!Check(!places.AnyLeft(), L"the earlier installation is removed")) {
            return 1;
        }
    }

    Step(L"installing: \"" + installer + L"\" /S");
    Check(Exists(installer), L"the installer exists");
    Check(RunShell(installer, L"/S") == 0u, L"the silent installer ends with exit code 0");
    Step(L"installed");
    Check(Exists(places.exe), L"the program is installed at " + places.exe);
    Check(Exists(places.uninstaller), L"the uninstaller is installed at " + places.uninstaller);
    Check(Exists(places.shortcut), L"the Start-menu shortcut exists: " + places.shortcut);
    const std::wstring target = ShortcutTarget(places.shortcut);
    Check(CompareStringOrdinal(target.c_str(), -1, places.exe.c_str(), -1, TRUE) == CSTR_EQUAL,
          L"the shortcut points at the program (it points at \"" + target + L"\")");
    CheckValue(L"DisplayName", L"Korvane");
    CheckValue(L"DisplayVersion", version);
    const std::optional<std::wstring> publisher = ReadString(L"Publisher");
    Check(publisher && !publisher->empty(), L"uninstall key names a Publisher");
    CheckValue(L"UninstallString", L"\"" + places.uninstaller + L"\"");
    CheckValue(L"QuietUninstallString", L"\"" + places.uninstaller + L"\" /S");

    if (Exists(places.exe)) {
        StartAndClose(places.exe, title);
    }

    Step(L"uninstalling silently");
    Uninstall(places);
    Check(!Exists(places.folder), L"the program folder is removed: " + places.folder);
    Check(!Exists(places.shortcut), L"the Start-menu shortcut is removed");
    Check(!KeyExists(), L"the uninstall key is removed");
    Step(L"uninstalled");

    CoUninitialize();
    std::wprintf(L"%ls\n", failures == 0 ? L"install test passed" : L"install test FAILED");
    return failures == 0 ? 0 : 1;
}
