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
#include "test_support.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>

using namespace korvane::package_test;

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";
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
    std::optional<std::wstring> Value(const wchar_t* name) const {
        return ReadString(hive, kUninstallKey, name);
    }
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
        Check(code == kExitRunning && places.AllThere() && SameTime(written, WriteTime(places.exe)),
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
    std::wprintf(L"%ls\n", Failures() == 0 ? L"install test passed" : L"install test FAILED");
    return Failures() == 0 ? 0 : 1;
}
