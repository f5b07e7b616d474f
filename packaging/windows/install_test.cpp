// The installer, end to end, as a user or an administrator's script meets it, once per user and
// once for all users (the table kModes):
//   1. an older version is installed silently, then upgraded silently to this one: per user as
//      a user without administrator rights (a limited token, no switch: the default), for all
//      users as an administrator (no switch either: the earlier installation decides);
//   2. the program, its README, uninstaller and Start-menu shortcut are in that installation's
//      places, its uninstall key holds the expected values, agreeing with the version resources
//      of the program and the installer, and there is no key in the other hive;
//   3. the installed program starts and shows its window, titled TITLE, with the Compute
//      button (control ID 1016) in it;
//   4. while it runs, the silent uninstaller and a silent reinstall end with exit code 3 and
//      change nothing;
//   5. once its window is closed (the program then ends with exit code 0) the reinstall and
//      the silent uninstall command registered in the key (QuietUninstallString) succeed, and
//      the uninstaller, which the caller waits for, has removed everything when it ends.
// Without administrator rights, installing and uninstalling for all users end with exit code 4
// and change nothing.
//
//   korvane_install_test INSTALLER VERSION OLDER_INSTALLER OLDER_VERSION TITLE
//
// A path starting with "/" is a Unix path and is mapped to its Wine drive. The limited token is
// the test's own token's linked one, which Wine gives an elevated process. The waits have
// generous deadlines so that a step that never happens fails instead of hanging; their lengths
// are printed, never checked.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <winver.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";
constexpr int kComputeId = 1016;
constexpr ULONGLONG kDeadlineMs = 60000;
constexpr DWORD kExitRunning = 3;
constexpr DWORD kExitNoRights = 4;

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

std::optional<FILETIME> WriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return data.ftLastWriteTime;
}

bool KeyExists(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::optional<std::wstring> ReadString(HKEY root, const wchar_t* name) {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(root, kUninstallKey, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr,
                     value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

// A string of a program's version resource, in its first language, or an empty text.
std::wstring VersionString(const std::wstring& file, const wchar_t* name) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    std::vector<BYTE> data(size);
    void* value = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < 2 * sizeof(WORD)) {
        return {};
    }
    const auto* translation = static_cast<const WORD*>(value);
    wchar_t block[64];
    std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    if (!VerQueryValueW(data.data(), (block + std::wstring(name)).c_str(), &value, &length) ||
        length == 0) {
        return {};
    }
    return static_cast<const wchar_t*>(value);
}

// The first line of a text file, without its line end.
std::string FirstLine(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
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

// The token of a user without administrator rights: this process's own when it has none, else
// the limited token linked to its elevated one. nullptr means this process's own.
HANDLE LimitedToken() {
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own)) {
        return nullptr;
    }
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    HANDLE limited = nullptr;
    if (GetTokenInformation(own, TokenElevationType, &type, sizeof type, &size) &&
        type == TokenElevationTypeFull) {
        TOKEN_LINKED_TOKEN linked{};
        if (GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size)) {
            limited = linked.LinkedToken;
        }
    }
    CloseHandle(own);
    return limited;
}

HANDLE limitedToken = nullptr;

enum class Rights { Own, Limited };

// Runs a command line, with this process's rights or a limited token, and waits for that
// process (not its children) to end; its exit code, or nothing.
std::optional<DWORD> Run(std::wstring commandLine, Rights rights = Rights::Own) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started =
        rights == Rights::Limited && limitedToken != nullptr
            ? CreateProcessAsUserW(limitedToken, nullptr, commandLine.data(), nullptr, nullptr,
                                   FALSE, 0, nullptr, nullptr, &startup, &process)
            : CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process);
    if (!started) {
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    const std::optional<DWORD> code = WaitForExit(process.hProcess);
    CloseHandle(process.hProcess);
    return code;
}

std::wstring Describe(const std::optional<DWORD>& code) {
    return code ? L"exit code " + std::to_wstring(*code) : std::wstring(L"no exit code");
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

// A started Korvane: its process and window (both empty when it did not start).
struct Running {
    HANDLE process = nullptr;
    HWND window = nullptr;
};

// Starts the installed program and waits for its window, with the Compute button in it. Under
// Wine a program started right after an installation has, rarely, ended at once without a
// window; that start is reported with its exit code and made once more.
Running Start(const std::wstring& exe, const std::wstring& title) {
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
        return {};
    }
    if (!Check(window != nullptr,
               L"the program shows a visible top-level window titled \"" + title + L"\"")) {
        TerminateProcess(process.hProcess, 1);
        WaitForExit(process.hProcess);
        CloseHandle(process.hProcess);
        return {};
    }
    Step(L"window \"" + title + L"\" shown");
    HWND compute = nullptr;
    EnumChildWindows(window, MatchCompute, reinterpret_cast<LPARAM>(&compute));
    wchar_t caption[64] = L"";
    if (compute != nullptr) {
        GetWindowTextW(compute, caption, 64);
    }
    Check(compute != nullptr && std::wstring(caption) == L"Compute",
          L"the window holds the Compute button, control ID 1016");
    return {process.hProcess, window};
}

// Closes the program's window and waits for it to end.
void Close(Running& running) {
    if (running.process == nullptr) {
        return;
    }
    PostMessageW(running.window, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = WaitForExit(running.process);
    Check(code == 0u, L"closing the window ends the program with exit code 0");
    CloseHandle(running.process);
    running = {};
    Step(L"program ended");
}

// One way of installing: where it puts everything and how the test drives it.
struct Mode {
    const wchar_t* name;
    const wchar_t* switches;       // silent, this mode given explicitly
    const wchar_t* upgrade;        // silent, the mode left to the installer
    Rights upgradeRights;          // whose rights the upgrade runs with
    HKEY hive;                     // where its uninstall key is
    HKEY otherHive;                // where it must write nothing
    const KNOWNFOLDERID* programs; // the folder holding Korvane's, with this subfolder:
    const wchar_t* programsSubfolder;
    const KNOWNFOLDERID* startMenu;
};

const Mode kModes[] = {
    {L"per user", L"/S /CurrentUser", L"/S", Rights::Limited, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
     &FOLDERID_LocalAppData, L"\\Programs", &FOLDERID_Programs},
    {L"all users", L"/S /AllUsers", L"/S", Rights::Own, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
     &FOLDERID_ProgramFiles, L"", &FOLDERID_CommonPrograms},
};

struct Places {
    HKEY hive;
    std::wstring folder, exe, readme, uninstaller, shortcut;

    explicit Places(const Mode& mode)
        : hive(mode.hive),
          folder(KnownFolder(*mode.programs) + mode.programsSubfolder + L"\\Korvane"),
          exe(folder + L"\\korvane.exe"), readme(folder + L"\\README.txt"),
          uninstaller(folder + L"\\uninstall.exe"),
          shortcut(KnownFolder(*mode.startMenu) + L"\\Korvane.lnk") {}

    bool AnyLeft() const { return Exists(folder) || Exists(shortcut) || KeyExists(hive); }
    bool AllThere() const {
        return Exists(exe) && Exists(readme) && Exists(uninstaller) && Exists(shortcut) &&
               KeyExists(hive);
    }
    std::optional<std::wstring> Value(const wchar_t* name) const { return ReadString(hive, name); }
};

std::optional<DWORD> Install(const std::wstring& installer, const wchar_t* switches,
                             Rights rights = Rights::Own) {
    return Run(L"\"" + installer + L"\" " + switches, rights);
}

std::optional<DWORD> Uninstall(const Places& places, Rights rights = Rights::Own) {
    const std::optional<std::wstring> quiet = places.Value(L"QuietUninstallString");
    if (!Check(quiet.has_value(), L"a silent uninstall command is registered")) {
        return std::nullopt;
    }
    return Run(*quiet, rights);
}

void CheckValue(const Places& places, const wchar_t* name, const std::wstring& expected) {
    const std::optional<std::wstring> value = places.Value(name);
    Check(value == expected, std::wstring(L"uninstall key value ") + name + L" is \"" +
                                 value.value_or(L"(none)") + L"\", expected \"" + expected + L"\"");
}

// Everything the installer of VERSION puts in place for this mode, and nothing in the other
// hive; the uninstall entry names the publisher, product and version of the version resources.
void CheckInstalled(const Mode& mode, const Places& places, const std::wstring& installer,
                    const std::wstring& version) {
    Check(Exists(places.exe), L"the program is installed at " + places.exe);
    Check(Exists(places.uninstaller), L"the uninstaller is installed at " + places.uninstaller);
    // Written out, not as " " + text: GCC 12 warns falsely of an overlapping copy there.
    std::string word(1, ' ');
    word.append(version.begin(), version.end());
    word.push_back(' ');
    Check(FirstLine(places.readme).find(word) != std::string::npos,
          L"the README's first line names version " + version);
    const std::wstring target = ShortcutTarget(places.shortcut);
    Check(CompareStringOrdinal(target.c_str(), -1, places.exe.c_str(), -1, TRUE) == CSTR_EQUAL,
          L"the Start-menu shortcut " + places.shortcut +
              L" points at the program (it points at \"" + target + L"\")");
    Check(!KeyExists(mode.otherHive), L"there is no uninstall key in the other hive");

    const std::wstring product = VersionString(places.exe, L"ProductName");
    const std::wstring publisher = VersionString(places.exe, L"CompanyName");
    Check(!product.empty() && !publisher.empty(), L"the program names its product and publisher");
    Check(VersionString(places.exe, L"FileDescription") == product,
          L"the program's FileDescription, which Task Manager shows, is its product name");
    Check(VersionString(places.exe, L"ProductVersion") == version,
          L"the program's ProductVersion is " + version);
    Check(VersionString(places.exe, L"LegalCopyright").find(publisher) != std::wstring::npos,
          L"the program's LegalCopyright names its publisher");
    for (const wchar_t* name : {L"ProductName", L"CompanyName", L"LegalCopyright"}) {
        Check(VersionString(installer, name) == VersionString(places.exe, name),
              std::wstring(L"the installer's ") + name + L" is the program's");
    }
    CheckValue(places, L"DisplayName", product);
    CheckValue(places, L"Publisher", publisher);
    CheckValue(places, L"DisplayVersion", version);
    CheckValue(places, L"InstallLocation", places.folder);
    CheckValue(places, L"UninstallString", L"\"" + places.uninstaller + L"\" _?=" + places.folder);
    CheckValue(places, L"QuietUninstallString",
               L"\"" + places.uninstaller + L"\" /S _?=" + places.folder);
}

void RunMode(const Mode& mode, const std::wstring& installer, const std::wstring& version,
             const std::wstring& older, const std::wstring& olderVersion,
             const std::wstring& title) {
    const Places places(mode);
    Step(std::wstring(L"--- ") + mode.name + L": " + places.folder);
    if (places.AnyLeft()) {
        Step(L"an earlier installation is left over: uninstalling it first");
        Uninstall(places);
        if (!Check(!places.AnyLeft(), L"the earlier installation is removed")) {
            return;
        }
    }

    if (mode.hive == HKEY_LOCAL_MACHINE) {
        const std::optional<DWORD> code = Install(installer, mode.switches, Rights::Limited);
        Check(code == kExitNoRights && !places.AnyLeft(),
              L"without administrator rights, installing for all users ends with exit code 4 and "
              L"installs nothing (" +
                  Describe(code) + L")");
    }

    std::optional<DWORD> code = Install(older, mode.switches);
    Check(code == 0u, L"the older version installs: " + Describe(code));
    CheckValue(places, L"DisplayVersion", olderVersion);
    code = Install(installer, mode.upgrade, mode.upgradeRights);
    Check(code == 0u, std::wstring(L"the upgrade (") + mode.upgrade +
                          (mode.upgradeRights == Rights::Limited ? L", limited token" : L"") +
                          L") succeeds: " + Describe(code));
    Step(L"upgraded");
    CheckInstalled(mode, places, installer, version);

    if (mode.hive == HKEY_LOCAL_MACHINE) {
        code = Uninstall(places, Rights::Limited);
        Check(code == kExitNoRights && places.AllThere(),
              L"without administrator rights, uninstalling for all users ends with exit code 4 and "
              L"removes nothing (" +
                  Describe(code) + L")");
    }

    Running running = Start(places.exe, title);
    if (running.process != nullptr) {
        const std::optional<FILETIME> written = WriteTime(places.exe);
        code = Uninstall(places);
        Check(code == kExitRunning && places.AllThere(),
              L"with Korvane running, the silent uninstaller ends with exit code 3 and removes "
              L"nothing (" +
                  Describe(code) + L")");
        code = Install(installer, mode.switches);
        const std::optional<FILETIME> rewritten = WriteTime(places.exe);
        Check(code == kExitRunning && places.AllThere() && written && rewritten &&
                  CompareFileTime(&*written, &*rewritten) == 0,
              L"with Korvane running, a silent reinstall ends with exit code 3 and leaves the "
              L"program as it was (" +
                  Describe(code) + L")");
        Step(L"refused while running");
        Close(running);
    }

    code = Install(installer, mode.switches);
    Check(code == 0u && places.AllThere(), L"the reinstall succeeds: " + Describe(code));
    code = Uninstall(places);
    Check(code == 0u, L"the silent uninstall succeeds: " + Describe(code));
    Check(!Exists(places.exe) && !Exists(places.readme),
          L"when it has ended, the program and its README are removed");
    Check(!Exists(places.shortcut), L"the Start-menu shortcut is removed");
    Check(!KeyExists(mode.hive), L"the uninstall key is removed");
    // The uninstaller's own file goes once it has ended, and the folder with it.
    Check(WaitFor([&] { return !Exists(places.folder); }),
          L"the program folder is removed: " + places.folder);
    Step(L"uninstalled");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) {
        std::fwprintf(stderr, L"usage: korvane_install_test INSTALLER VERSION OLDER_INSTALLER "
                              L"OLDER_VERSION TITLE\n");
        return 2;
    }
    startTick = GetTickCount64();
    const std::wstring installer = DosPath(argv[1]);
    const std::wstring version = argv[2];
    const std::wstring older = DosPath(argv[3]);
    const std::wstring olderVersion = argv[4];
    const std::wstring title = argv[5];
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    limitedToken = LimitedToken();
    Step(limitedToken != nullptr ? L"limited token: linked to this process's elevated one"
                                 : L"limited token: this process's own");
    Check(Exists(installer) && Exists(older), L"both installers exist");

    for (const Mode& mode : kModes) {
        RunMode(mode, installer, version, older, olderVersion, title);
    }

    if (limitedToken != nullptr) {
        CloseHandle(limitedToken);
    }
    CoUninitialize();
    std::wprintf(L"%ls\n", failures == 0 ? L"install test passed" : L"install test FAILED");
    return failures == 0 ? 0 : 1;
}
