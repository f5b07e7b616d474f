// The installer, end to end, as a user or an administrator's script meets it, once per user and
// once for all users (the table kModes):
//   1. an older version is installed silently, then upgraded silently to this one: per user as
//      a user without administrator rights (a limited token, no switch: the default), for all
//      users as an administrator (no switch either: the earlier installation decides);
//   2. the program, its README, uninstaller and Start-menu shortcut are in that installation's
//      places, its uninstall key holds the expected values, agreeing with the version resources
//      of the program and the installer, and there is no key in the other hive;
//   3. run with its pages, clicked through, "Start Korvane" on the Finish page starts Korvane
//      with the user's own rights: per user, started by the installer, with its limited token;
//      for all users from an elevated installer, not by the installer itself but through
//      Explorer (which on Windows runs with the signed-in user's rights);
//   4. the installed program starts and shows its window, titled TITLE, with the Compute
//      button (control ID 1016) in it; while it runs, the silent uninstaller and a silent
//      reinstall end with exit code 3 and change nothing;
//   5. with only one of Korvane's marks held, by the test (the table kMarkCases): a per-user
//      installation minds a Korvane of its own session only, an all-users one a Korvane of
//      any session, and refuses so before it asks for administrator rights;
//   6. with korvane.exe held open so that it cannot be deleted, the uninstaller ends with exit
//      code 2 and removes nothing;
//   7. once the program is closed (it then ends with exit code 0) the reinstall and the silent
//      uninstall command registered in the key (QuietUninstallString) succeed, and the
//      uninstaller, which the caller waits for, has removed everything when it ends;
//   8. an installation into a folder of its own (/D=) is upgraded there, without /D= given
//      again, and nothing goes into the default folder.
// Without administrator rights, installing and uninstalling for all users end with exit code 4
// and change nothing.
//
//   korvane_install_test INSTALLER VERSION OLDER_INSTALLER OLDER_VERSION TITLE MARK
//
// MARK is the name of the mark the running program holds (the application id). A path starting
// with "/" is a Unix path and is mapped to its Wine drive. The limited token is the test's own
// token's linked one, which Wine gives an elevated process.
#include "test_support.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <tlhelp32.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace korvane::package_test;

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";
constexpr DWORD kExitFailed = 2;
constexpr DWORD kExitRunning = 3;
constexpr DWORD kExitNoRights = 4;

bool KeyExists(HKEY root) {
    return korvane::package_test::KeyExists(root, kUninstallKey);
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

// Runs a command line with this process's rights or a limited token.
std::optional<DWORD> Run(const std::wstring& commandLine, Rights rights = Rights::Own) {
    return korvane::package_test::Run(commandLine,
                                      rights == Rights::Limited ? limitedToken : nullptr);
}

// One way of installing: where it puts everything and how the test drives it.
struct Mode {
    const wchar_t* name;
    const wchar_t* switches;       // silent, this mode given explicitly
    const wchar_t* upgrade;        // silent, the mode left to the installer
    Rights upgradeRights;          // whose rights the upgrade runs with
    const wchar_t* interactive;    // with its pages, this mode given explicitly,
    Rights interactiveRights;      // run with these rights
    HKEY hive;                     // where its uninstall key is
    HKEY otherHive;                // where it must write nothing
    const KNOWNFOLDERID* programs; // the folder holding Korvane's, with this subfolder:
    const wchar_t* programsSubfolder;
    const KNOWNFOLDERID* startMenu;
};

const Mode kModes[] = {
    {L"per user", L"/S /CurrentUser", L"/S", Rights::Limited, L"/CurrentUser", Rights::Limited,
     HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, &FOLDERID_LocalAppData, L"\\Programs",
     &FOLDERID_Programs},
    {L"all users", L"/S /AllUsers", L"/S", Rights::Own, L"/AllUsers", Rights::Own,
     HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, &FOLDERID_ProgramFiles, L"", &FOLDERID_CommonPrograms},
};

bool PerUser(const Mode& mode) {
    return mode.hive == HKEY_CURRENT_USER;
}

// One of Korvane's two marks held alone, by the test, and what a silent reinstall and uninstall
// must end with then, per user and for all users (nothing: not tried). The running program
// holds both: the session's mark stands for a Korvane of this session, the machine's alone
// for one of another user or another logon session.
struct MarkCase {
    const wchar_t* prefix;
    const wchar_t* whose;
    std::optional<DWORD> perUser, allUsers;
};

const MarkCase kMarkCases[] = {
    {L"Global\\", L"a Korvane of another user or session", 0u, kExitRunning},
    {L"Local\\", L"a Korvane of this session", kExitRunning, std::nullopt},
};

struct Places {
    HKEY hive;
    std::wstring folder, exe, readme, uninstaller, shortcut;

    explicit Places(const Mode& mode)
        : Places(mode, KnownFolder(*mode.programs) + mode.programsSubfolder + L"\\Korvane") {}
    Places(const Mode& mode, std::wstring installFolder)
        : hive(mode.hive), folder(std::move(installFolder)), exe(folder + L"\\korvane.exe"),
          readme(folder + L"\\README.txt"), uninstaller(folder + L"\\uninstall.exe"),
          shortcut(KnownFolder(*mode.startMenu) + L"\\Korvane.lnk") {}

    bool AnyLeft() const { return Exists(folder) || Exists(shortcut) || KeyExists(hive); }
    bool AllThere() const {
        return Exists(exe) && Exists(readme) && Exists(uninstaller) && Exists(shortcut) &&
               KeyExists(hive);
    }
    std::optional<std::wstring> Value(const wchar_t* name) const {
        return ReadString(hive, kUninstallKey, name);
    }
};

std::optional<DWORD> Install(const std::wstring& installer, const std::wstring& switches,
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

// The README's first line names VERSION.
bool NamesVersion(const Places& places, const std::wstring& version) {
    // Written out, not as " " + text: GCC 12 warns falsely of an overlapping copy there.
    std::string word(1, ' ');
    word.append(version.begin(), version.end());
    word.push_back(' ');
    return FirstLine(places.readme).find(word) != std::string::npos;
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
    Check(NamesVersion(places, version), L"the README's first line names version " + version);
    const std::wstring target = ShortcutTarget(places.shortcut);
    Check(SamePath(target, places.exe), L"the Start-menu shortcut " + places.shortcut +
                                            L" points at the program (it points at \"" + target +
                                            L"\")");
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

// Every process running now, by process id.
std::map<DWORD, PROCESSENTRY32W> Processes() {
    std::map<DWORD, PROCESSENTRY32W> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return processes;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        processes[entry.th32ProcessID] = entry;
    }
    CloseHandle(snapshot);
    return processes;
}

bool Named(const PROCESSENTRY32W& entry, const wchar_t* name) {
    return CompareStringOrdinal(entry.szExeFile, -1, name, -1, TRUE) == CSTR_EQUAL;
}

// Whether a process's token is elevated (has the administrator rights of an elevated run).
enum class Elevation { Unknown, Elevated, NotElevated };

Elevation ElevationOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
        return Elevation::Unknown;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const BOOL read =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    if (!read) {
        return Elevation::Unknown;
    }
    return elevation.TokenIsElevated != 0 ? Elevation::Elevated : Elevation::NotElevated;
}

// A visible window under PARENT, in any generation, of that class whose text starts with TEXT.
HWND FindControl(HWND parent, const wchar_t* className, const std::wstring& text = L"") {
    struct Search {
        const wchar_t* className;
        const std::wstring* text;
        HWND found;
    } search{className, &text, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto* found = reinterpret_cast<Search*>(data);
            wchar_t name[64] = L"";
            wchar_t caption[256] = L"";
            GetClassNameW(window, name, 64);
            GetWindowTextW(window, caption, 256);
            if (IsWindowVisible(window) && std::wstring(name) == found->className &&
                std::wstring(caption).rfind(*found->text, 0) == 0) {
                found->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The installer's wizard: its visible top-level dialog.
HWND Wizard(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* found = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[16] = L"";
            GetClassNameW(window, name, 16);
            if (owner == found->processId && IsWindowVisible(window) &&
                std::wstring(name) == L"#32770") {
                found->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs the installer with its pages, as a user does: Next on every page, Install, then Finish
// with "Start Korvane" ticked, as it is by default; watches which process starts Korvane, with
// which rights, then closes it. The reinstall leaves everything in place.
void CheckFinishPage(const Mode& mode, const Places& places, const std::wstring& installer,
                     const std::wstring& title) {
    const bool elevatedRun = mode.interactiveRights == Rights::Own;
    if (elevatedRun && ElevationOf(GetCurrentProcess()) != Elevation::Elevated) {
        Step(L"this process is not elevated: the elevated installer's Finish page is not tried");
        return;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION installerProcess{};
    std::wstring commandLine = L"\"" + installer + L"\" " + mode.interactive;
    const BOOL started =
        !elevatedRun && limitedToken != nullptr
            ? CreateProcessAsUserW(limitedToken, nullptr, commandLine.data(), nullptr, nullptr,
                                   FALSE, 0, nullptr, nullptr, &startup, &installerProcess)
            : CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &installerProcess);
    if (!Check(started != 0, L"the installer starts with its pages")) {
        return;
    }
    CloseHandle(installerProcess.hThread);
    const DWORD installerId = installerProcess.dwProcessId;

    // Next, once on each page known by what it shows, until the Finish page; pages change a
    // moment before their buttons do, so nothing is clicked on a page not yet recognised.
    const std::wstring product = VersionString(installer, L"ProductName");
    const std::wstring run = L"Start " + product;
    const std::wstring welcome = L"Welcome to " + product;
    HWND lastPage = nullptr;
    bool finishPage = false;
    bool runTicked = false;
    std::map<DWORD, PROCESSENTRY32W> before;
    WaitFor([&] {
        if (WaitForSingleObject(installerProcess.hProcess, 0) == WAIT_OBJECT_0) {
            return true;
        }
        const HWND wizard = Wizard(installerId);
        const HWND page = wizard != nullptr ? FindControl(wizard, L"#32770") : nullptr;
        const HWND next = wizard != nullptr ? GetDlgItem(wizard, IDOK) : nullptr;
        if (page == nullptr || page == lastPage || next == nullptr || !IsWindowEnabled(next)) {
            return false;
        }
        wchar_t text[64] = L"";
        GetWindowTextW(next, text, 64);
        const HWND box = FindControl(page, L"Button", run);
        if (box != nullptr && std::wstring(text).find(L"Finish") != std::wstring::npos) {
            finishPage = true;
            runTicked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
            before = Processes();
        } else if (FindControl(page, L"Static", welcome) == nullptr &&
                   FindControl(page, L"Button", L"Only for me") == nullptr &&
                   FindControl(page, L"Edit") == nullptr) {
            return false;
        }
        lastPage = page;
        PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(next));
        return finishPage;
    });
    Check(finishPage, L"clicking Next and Install leads to the Finish page");
    Check(runTicked, L"the Finish page offers \"" + run + L"\", ticked");

    // Whichever korvane.exe starts now, and every process started meanwhile. Wine lists a
    // process that is just starting without a name at first: the names are read until found.
    std::map<DWORD, PROCESSENTRY32W> since;
    std::optional<PROCESSENTRY32W> program;
    if (finishPage) {
        WaitFor([&] {
            for (const auto& [id, entry] : Processes()) {
                if (before.count(id) == 0) {
                    since[id] = entry;
                    if (Named(entry, L"korvane.exe")) {
                        program = entry;
                    }
                }
            }
            return program.has_value();
        });
    }
    std::optional<DWORD> code = WaitForExit(installerProcess.hProcess);
    if (!code) {
        TerminateProcess(installerProcess.hProcess, 1);
    }
    CloseHandle(installerProcess.hProcess);
    Check(code == 0u && places.AllThere(),
          L"the installer with its pages ends with exit code 0 (" + Describe(code) + L")");
    if (!Check(program.has_value(), L"\"" + run + L"\" on the Finish page starts Korvane")) {
        return;
    }

    Running running{OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
                                program->th32ProcessID),
                    nullptr};
    const Elevation elevation =
        running.process != nullptr ? ElevationOf(running.process) : Elevation::Unknown;
    const DWORD parent = program->th32ParentProcessID;
    const auto starter = since.find(parent);
    if (!elevatedRun) {
        Check(elevation == Elevation::NotElevated,
              L"Korvane started from the Finish page of an installer run with "
              L"the user's own rights has them, not an elevated token");
    } else {
        Check(parent != installerId, L"an elevated installer does not start Korvane itself, with "
                                     L"its administrator rights");
        if (UnderWine()) {
            // Wine starts Explorer's programs with the rights Explorer was started with.
            Check(starter != since.end() && Named(starter->second, L"explorer.exe") &&
                      starter->second.th32ParentProcessID == installerId,
                  L"it leaves the start to Explorer, which on Windows runs it with the signed-in "
                  L"user's own rights");
        } else {
            Check(elevation == Elevation::NotElevated,
                  L"Korvane started from the Finish page of an elevated "
                  L"installer has the signed-in user's own rights");
        }
    }
    if (running.process != nullptr) {
        WaitFor([&] {
            running.window = WindowOf(program->th32ProcessID, title);
            return running.window != nullptr;
        });
        if (Check(running.window != nullptr, L"the Korvane started so shows its window")) {
            Close(running);
        } else {
            TerminateProcess(running.process, 1);
            CloseHandle(running.process);
        }
    }
    Step(L"the Finish page's start checked");
}

// With one of the marks held alone (kMarkCases), a silent reinstall and the silent uninstaller
// end as the mode says; refused, they change nothing, and for all users they refuse so also
// without administrator rights, before asking for them. Everything is installed afterwards.
void CheckMarks(const Mode& mode, const Places& places, const std::wstring& installer,
                const std::wstring& mark) {
    for (const MarkCase& markCase : kMarkCases) {
        const std::optional<DWORD> expected = PerUser(mode) ? markCase.perUser : markCase.allUsers;
        if (!expected) {
            continue;
        }
        const Mark held(markCase.prefix + mark);
        std::vector<Rights> rightsList{Rights::Own};
        if (!PerUser(mode) && *expected == kExitRunning) {
            rightsList.push_back(Rights::Limited);
        }
        for (const Rights rights : rightsList) {
            const std::wstring how =
                std::wstring(L"with only the mark ") + markCase.prefix + mark + L" held (" +
                markCase.whose + L")" +
                (rights == Rights::Limited ? L", without administrator rights," : L",");
            const std::optional<FILETIME> written = WriteTime(places.exe);
            std::optional<DWORD> code = Install(installer, mode.switches, rights);
            Check(code == expected && places.AllThere() &&
                      (*expected != kExitRunning || SameTime(written, WriteTime(places.exe))),
                  how + L" a silent reinstall ends with exit code " + std::to_wstring(*expected) +
                      (*expected == kExitRunning ? L" and changes nothing (" : L" (") +
                      Describe(code) + L")");
            code = Uninstall(places, rights);
            Check(code == expected && (*expected == kExitRunning ? places.AllThere() : WaitFor([&] {
                      return !places.AnyLeft();
                  })),
                  how + L" the silent uninstaller ends with exit code " +
                      std::to_wstring(*expected) +
                      (*expected == kExitRunning ? L" and removes nothing (" : L" (") +
                      Describe(code) + L")");
            if (!places.AllThere()) {
                Install(installer, mode.switches);
            }
        }
    }
}

// The uninstaller that cannot delete korvane.exe (held open here, without FILE_SHARE_DELETE)
// ends with exit code 2 and removes nothing else.
void CheckUndeletable(const Places& places) {
    const HANDLE held =
        CreateFileW(places.exe.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (!Check(held != INVALID_HANDLE_VALUE, L"the test holds korvane.exe open")) {
        return;
    }
    const std::optional<DWORD> code = Uninstall(places);
    Check(code == kExitFailed && places.AllThere(),
          L"with korvane.exe undeletable, the silent uninstaller ends with exit code 2 and "
          L"removes nothing, its key, shortcut, README and itself included (" +
              Describe(code) + L")");
    CloseHandle(held);
}

// An installation in a folder of its own (/D=), upgraded without /D=, stays there.
void CheckOwnFolder(const Mode& mode, const Places& places, const std::wstring& installer,
                    const std::wstring& version, const std::wstring& older) {
    const std::wstring parent = KnownFolder(*mode.programs) + L"\\Korvane test";
    const Places own(mode, parent + L"\\Own folder");
    std::optional<DWORD> code = Install(older, std::wstring(mode.switches) + L" /D=" + own.folder);
    Check(code == 0u && own.AllThere(),
          L"the older version installs into " + own.folder + L" (/D=): " + Describe(code));
    code = Install(installer, mode.upgrade, mode.upgradeRights);
    Check(code == 0u, L"its upgrade succeeds: " + Describe(code));
    Check(own.Value(L"InstallLocation") == own.folder && NamesVersion(own, version),
          L"the upgrade found the installation in its own folder and upgraded it there");
    Check(!Exists(places.folder),
          L"the upgrade installed nothing into the default folder " + places.folder);
    code = Uninstall(own);
    Check(code == 0u && WaitFor([&] { return !own.AnyLeft(); }),
          L"the silent uninstall removes it from its own folder: " + Describe(code));
    RemoveDirectoryW(parent.c_str());
}

void RunMode(const Mode& mode, const std::wstring& installer, const std::wstring& version,
             const std::wstring& older, const std::wstring& olderVersion, const std::wstring& title,
             const std::wstring& mark) {
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
    CheckFinishPage(mode, places, installer, title);

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
        Check(code == kExitRunning && places.AllThere() && SameTime(written, WriteTime(places.exe)),
              L"with Korvane running, a silent reinstall ends with exit code 3 and leaves the "
              L"program as it was (" +
                  Describe(code) + L")");
        Step(L"refused while running");
        Close(running);
    }
    CheckMarks(mode, places, installer, mark);
    CheckUndeletable(places);

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
    CheckOwnFolder(mode, places, installer, version, older);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 7) {
        std::fwprintf(stderr, L"usage: korvane_install_test INSTALLER VERSION OLDER_INSTALLER "
                              L"OLDER_VERSION TITLE MARK\n");
        return 2;
    }
    const std::wstring installer = DosPath(argv[1]);
    const std::wstring version = argv[2];
    const std::wstring older = DosPath(argv[3]);
    const std::wstring olderVersion = argv[4];
    const std::wstring title = argv[5];
    const std::wstring mark = argv[6];
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    limitedToken = LimitedToken();
    Step(limitedToken != nullptr ? L"limited token: linked to this process's elevated one"
                                 : L"limited token: this process's own");
    Check(Exists(installer) && Exists(older), L"both installers exist");

    for (const Mode& mode : kModes) {
        RunMode(mode, installer, version, older, olderVersion, title, mark);
    }

    if (limitedToken != nullptr) {
        CloseHandle(limitedToken);
    }
    CoUninitialize();
    std::wprintf(L"%ls\n", Failures() == 0 ? L"install test passed" : L"install test FAILED");
    return Failures() == 0 ? 0 : 1;
}
