// The Windows Installer package, end to end, as an administrator's script or a deployment tool
// runs it: every run is msiexec with /qn and a verbose log (/l*v), started as a program so that
// the whole exit code arrives (a Unix caller of Wine gets only its low 8 bits).
//   1. with Korvane's mark held in the machine's namespace (a Korvane of another session), a
//      first install ends with 1603 and installs nothing; so does it beside an installation for
//      all users by the setup program (SETUP, korvane.nsi), which it leaves as it was;
//   2. the older version installs; while it runs, the upgrade ends with 1603, its log names
//      Korvane as running and the older version is left as it was;
//   3. once it is closed, the upgrade removes the older version in the same run (one related
//      product is left: this version) and installs this one: the program, its README and the
//      Start-menu shortcut in their places, the folder remembered under HKLM, the Apps &
//      features entry under HKLM with the identity of the program's version resource, in the
//      machine's context, nothing in the user's registry nor in the 32-bit places;
//   4. the same version again changes nothing and ends with 0; the older version over it ends
//      with 1603 and changes nothing;
//   5. while this version runs, and again with only the mark of another session held,
//      reinstall, repair and removal (the table kRefusals) end with 1603, name Korvane as
//      running in the log and change nothing;
//   6. a repair brings back the removed program and README;
//   7. an installation into a folder of the administrator's choice (INSTALLFOLDER) is upgraded
//      there, without the folder given again;
//   8. the removal by product code, as Apps & features does it, removes everything.
// No run shows a window, and no run ends with anything but the expected code (3010 never).
//
//   korvane_msi_test MSI VERSION OLDER_MSI OLDER_VERSION TITLE MARK SETUP LOG_DIR
//
// MARK is the name of the mark the running program holds (the application id). A path starting
// with "/" is a Unix path and is mapped to its Wine drive. Wine's msiexec differs from Windows'
// in places (docs/releasing.md): it puts the Start-menu shortcut of an all-users package into
// the user's Start menu, does not write DisplayIcon and EstimatedSize, and writes no launch
// condition's message into the log; the test expects Windows' behaviour except under Wine.
#include "test_support.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

using namespace korvane::package_test;

namespace {

constexpr DWORD kInstallFailure = 1603;
constexpr wchar_t kUninstallKeys[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The setup program's uninstall key, and its exit code for an all-users run beside the package.
const std::wstring kSetupUninstallKey = std::wstring(kUninstallKeys) + L"Korvane";
constexpr DWORD kSetupBesideMsi = 5;

// A package and what its tables say about it.
struct Package {
    std::wstring path, version, productCode, upgradeCode, productName, manufacturer;
};

std::wstring PropertyOf(MSIHANDLE database, const wchar_t* name) {
    std::wstring query = L"SELECT `Value` FROM `Property` WHERE `Property` = '";
    query += name;
    query += L"'";
    MSIHANDLE view = 0;
    MSIHANDLE record = 0;
    std::wstring value;
    if (MsiDatabaseOpenViewW(database, query.c_str(), &view) == ERROR_SUCCESS &&
        MsiViewExecute(view, 0) == ERROR_SUCCESS && MsiViewFetch(view, &record) == ERROR_SUCCESS) {
        wchar_t text[256];
        DWORD size = 256;
        if (MsiRecordGetStringW(record, 1, text, &size) == ERROR_SUCCESS) {
            value = text;
        }
        MsiCloseHandle(record);
    }
    if (view != 0) {
        MsiCloseHandle(view);
    }
    return value;
}

Package ReadPackage(const std::wstring& path, const std::wstring& version) {
    Package package{path, version, {}, {}, {}, {}};
    MSIHANDLE database = 0;
    if (MsiOpenDatabaseW(path.c_str(), MSIDBOPEN_READONLY, &database) == ERROR_SUCCESS) {
        package.productCode = PropertyOf(database, L"ProductCode");
        package.upgradeCode = PropertyOf(database, L"UpgradeCode");
        package.productName = PropertyOf(database, L"ProductName");
        package.manufacturer = PropertyOf(database, L"Manufacturer");
        MsiCloseHandle(database);
    }
    return package;
}

// The products installed under an upgrade code.
std::vector<std::wstring> RelatedProducts(const std::wstring& upgradeCode) {
    std::vector<std::wstring> products;
    wchar_t product[39];
    for (DWORD index = 0;
         MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, index, product) == ERROR_SUCCESS;
         ++index) {
        products.emplace_back(product);
    }
    return products;
}

bool Installed(const Package& package) {
    return MsiQueryProductStateW(package.productCode.c_str()) == INSTALLSTATE_DEFAULT;
}

// What the machine holds of the installation, wherever it is.
struct Places {
    std::wstring folder, exe, readme, shortcut;

    explicit Places(const std::wstring& installFolder)
        : folder(installFolder), exe(folder + L"\\korvane.exe"), readme(folder + L"\\README.txt"),
          // Wine's msiexec resolves ProgramMenuFolder to the user's Start menu whatever ALLUSERS
          // says; Windows to the one of all users.
          shortcut(KnownFolder(UnderWine() ? FOLDERID_Programs : FOLDERID_CommonPrograms) +
                   L"\\Korvane.lnk") {}

    bool AllThere() const { return Exists(exe) && Exists(readme) && Exists(shortcut); }
    bool NoneThere() const { return !Exists(folder) && !Exists(shortcut); }
};

// The README's first line names the package's version (the program's version resource is the
// same in the older package, made from the same program).
bool NamesVersion(const Places& places, const Package& package) {
    std::string word(1, ' ');
    word.append(package.version.begin(), package.version.end());
    word.push_back(' ');
    return FirstLine(places.readme).find(word) != std::string::npos;
}

const std::wstring& RememberedKey() {
    static const std::wstring key = L"Software\\Korvane";
    return key;
}

// Top-level windows that are visible now, of any process but this one.
std::set<HWND> VisibleWindows() {
    std::set<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (processId != GetCurrentProcessId() && IsWindowVisible(window)) {
                reinterpret_cast<std::set<HWND>*>(data)->insert(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring logDir;
int runs = 0;

// One msiexec run's result: its exit code and its log.
struct Result {
    std::optional<DWORD> code;
    std::string log;
};

// Runs msiexec with ARGUMENTS, /qn and a verbose log of its own, and checks that no window
// showed while it ran.
Result Msiexec(const std::wstring& arguments) {
    const std::wstring log = logDir + L"\\msiexec-" + std::to_wstring(++runs) + L".log";
    DeleteFileW(log.c_str());
    std::wstring commandLine = L"msiexec.exe " + arguments + L" /qn /l*v \"" + log + L"\"";
    Step(L"msiexec " + arguments);
    const std::set<HWND> before = VisibleWindows();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!Check(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process) != 0,
               L"msiexec starts")) {
        return {};
    }
    CloseHandle(process.hThread);
    std::wstring shown;
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT &&
           GetTickCount64() < deadline) {
        for (HWND window : VisibleWindows()) {
            wchar_t title[128] = L"";
            GetWindowTextW(window, title, 128);
            const std::wstring entry = L" \"" + std::wstring(title) + L"\"";
            if (before.count(window) == 0 && shown.find(entry) == std::wstring::npos) {
                shown += entry;
            }
        }
    }
    const std::optional<DWORD> code = WaitForExit(process.hProcess);
    CloseHandle(process.hProcess);
    Check(shown.empty(), L"with /qn no window shows (shown:" + shown + L")");
    // The log is UTF-16 or in the ANSI code page; the texts looked for are ASCII.
    std::string text = ReadAll(log);
    if (text.size() >= 2 && text[0] == '\xff' && text[1] == '\xfe') {
        std::string narrow;
        for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
            narrow.push_back(text[i + 1] == 0 ? text[i] : '?');
        }
        text = narrow;
    }
    Check(!text.empty(), L"the verbose log " + log + L" is written");
    return {code, text};
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// The run ended with 1603 because Korvane runs, and its log says so.
void CheckRefused(const Result& result, const std::wstring& what, const std::string& running) {
    Check(result.code == kInstallFailure,
          what + L" ends with 1603 while Korvane runs (" + Describe(result.code) + L")");
    Check(result.log.find(running) != std::string::npos,
          what + L": the log names Korvane as running");
}

// The Apps & features entry of a package, under HKLM, with the identity of the installed
// program's version resource.
void CheckEntry(const Package& package, const Places& places) {
    const std::wstring key = kUninstallKeys + package.productCode;
    Check(KeyExists(HKEY_LOCAL_MACHINE, key), L"the Apps & features entry is under HKLM: " + key);
    Check(!KeyExists(HKEY_CURRENT_USER, key), L"there is no Apps & features entry under HKCU");
    const std::wstring product = VersionString(places.exe, L"ProductName");
    const std::wstring publisher = VersionString(places.exe, L"CompanyName");
    Check(!product.empty() && product == package.productName && publisher == package.manufacturer,
          L"the package's ProductName and Manufacturer are the program's ProductName and "
          L"CompanyName");
    Check(VersionString(places.exe, L"ProductVersion") == package.version,
          L"the program's ProductVersion is " + package.version);
    const struct {
        const wchar_t* name;
        std::wstring expected;
    } kValues[] = {
        {L"DisplayName", product},
        {L"Publisher", publisher},
        {L"DisplayVersion", package.version},
        {L"InstallLocation", places.folder + L"\\"},
    };
    for (const auto& value : kValues) {
        const std::optional<std::wstring> found = ReadString(HKEY_LOCAL_MACHINE, key, value.name);
        Check(found == value.expected, std::wstring(L"Apps & features: ") + value.name + L" is \"" +
                                           found.value_or(L"(none)") + L"\", expected \"" +
                                           value.expected + L"\"");
    }
    const std::optional<std::wstring> uninstall =
        ReadString(HKEY_LOCAL_MACHINE, key, L"UninstallString");
    Check(uninstall && uninstall->find(package.productCode) != std::wstring::npos,
          L"Apps & features: UninstallString names the product code");
    Check(ReadDword(HKEY_LOCAL_MACHINE, key, L"NoModify") == 1u,
          L"Apps & features: NoModify is 1 (there is nothing to choose)");

    // The icon: Windows Installer keeps it in its own folder and names it in DisplayIcon.
    wchar_t icon[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    const bool haveIcon =
        MsiGetProductInfoW(package.productCode.c_str(), INSTALLPROPERTY_PRODUCTICON, icon, &size) ==
            ERROR_SUCCESS &&
        Exists(icon);
    Check(haveIcon, std::wstring(L"the product's icon is kept: ") + icon);
    const std::optional<DWORD> estimated = ReadDword(HKEY_LOCAL_MACHINE, key, L"EstimatedSize");
    if (UnderWine()) {
        Step(L"EstimatedSize " + std::to_wstring(estimated.value_or(0)) +
             L" and no DisplayIcon: Wine's msiexec writes neither");
    } else {
        Check(ReadString(HKEY_LOCAL_MACHINE, key, L"DisplayIcon") == std::wstring(icon),
              L"Apps & features: DisplayIcon is the product's icon");
        Check(estimated.value_or(0) > 0, L"Apps & features: EstimatedSize is given");
    }

    wchar_t state[8] = L"";
    size = 8;
    Check(MsiGetProductInfoExW(package.productCode.c_str(), nullptr, MSIINSTALLCONTEXT_MACHINE,
                               INSTALLPROPERTY_PRODUCTSTATE, state, &size) == ERROR_SUCCESS &&
              std::wstring(state) == L"5",
          L"the product is installed for the machine, not for the user");
}

// Everything one version puts in place, and nothing elsewhere.
void CheckInstalled(const Package& package, const Places& places) {
    Check(Installed(package), L"version " + package.version + L" is installed");
    const std::vector<std::wstring> related = RelatedProducts(package.upgradeCode);
    Check(related.size() == 1 && related[0] == package.productCode,
          L"one product of the upgrade code is installed, this one (" +
              std::to_wstring(related.size()) + L" found)");
    Check(Exists(places.exe), L"the program is installed at " + places.exe);
    Check(NamesVersion(places, package),
          L"the README's first line names version " + package.version);
    const std::wstring target = ShortcutTarget(places.shortcut);
    Check(SamePath(target, places.exe), L"the Start-menu shortcut " + places.shortcut +
                                            L" points at the program (it points at \"" + target +
                                            L"\")");
    Check(ReadString(HKEY_LOCAL_MACHINE, RememberedKey(), L"InstallFolder") ==
              places.folder + L"\\",
          L"the folder is remembered under HKLM\\" + RememberedKey());
    Check(!KeyExists(HKEY_CURRENT_USER, RememberedKey()), L"nothing is written under HKCU");
    HKEY wow = nullptr;
    const bool in32 = RegOpenKeyExW(HKEY_LOCAL_MACHINE, RememberedKey().c_str(), 0,
                                    KEY_READ | KEY_WOW64_32KEY, &wow) == ERROR_SUCCESS;
    if (in32) {
        RegCloseKey(wow);
    }
    Check(!in32, L"nothing is written into the 32-bit registry view");
    Check(!Exists(KnownFolder(FOLDERID_ProgramFilesX86) + L"\\Korvane"),
          L"nothing is installed into the 32-bit Program Files");
    CheckEntry(package, places);
}

void CheckRemoved(const Package& package, const Places& places) {
    Check(!Installed(package) && RelatedProducts(package.upgradeCode).empty(),
          L"no product of the upgrade code is installed");
    Check(places.NoneThere(), L"the program folder and the shortcut are removed");
    Check(!KeyExists(HKEY_LOCAL_MACHINE, kUninstallKeys + package.productCode),
          L"the Apps & features entry is removed");
    Check(!KeyExists(HKEY_LOCAL_MACHINE, RememberedKey()),
          L"the remembered folder is removed from HKLM");
}

// What is refused while Korvane runs: a run for this version that would change the
// installation, of its package or of the installed product.
struct Refusal {
    const wchar_t* what;
    const wchar_t* option;     // msiexec's
    bool byProductCode;        // the product code follows, else the package
    const wchar_t* properties; // and then these
};
// A repair: every file again, and the shortcuts and registry values (what /fa does; Wine's
// msiexec does not implement /f).
constexpr wchar_t kRepair[] = L" REINSTALL=ALL REINSTALLMODE=amus";
const Refusal kRefusals[] = {
    {L"reinstalling the same version", L"/i", false, L""},
    {L"a repair", L"/i", true, kRepair},
    {L"the removal", L"/x", false, L""},
    {L"the removal by product code", L"/x", true, L""},
};

std::wstring Arguments(const Refusal& refusal, const Package& package) {
    return std::wstring(refusal.option) + L" " +
           (refusal.byProductCode ? package.productCode : Quoted(package.path)) +
           refusal.properties;
}

// An installation for all users by the setup program, in the same folder, refuses the package.
void CheckBesideSetup(const Package& current, const Places& places, const std::wstring& setup,
                      const std::string& running) {
    std::optional<DWORD> code = Run(L"\"" + setup + L"\" /S /AllUsers");
    if (!Check(code == 0u && Exists(places.exe),
               L"the setup program installs for all users: " + Describe(code))) {
        return;
    }
    const std::wstring uninstaller = places.folder + L"\\uninstall.exe";
    const Result result = Msiexec(L"/i " + Quoted(current.path));
    Check(result.code == kInstallFailure, L"beside the setup program's installation for all users, "
                                          L"the package ends with 1603: " +
                                              Describe(result.code));
    Check(!Installed(current) && Exists(uninstaller) && Exists(places.exe),
          L"and changes nothing: the setup program's installation is left as it was");
    Check(result.log.find(running) == std::string::npos,
          L"the refusal is not taken for a running Korvane");
    code = Run(L"\"" + uninstaller + L"\" /S _?=" + places.folder);
    Check(code == 0u && WaitFor([&] { return !Exists(places.folder); }),
          L"the setup program's installation is removed: " + Describe(code));
}

void Test(const Package& current, const Package& older, const std::wstring& title,
          const std::wstring& mark, const std::wstring& setup) {
    const Places places(KnownFolder(FOLDERID_ProgramFilesX64) + L"\\Korvane");
    const std::string running =
        std::string(current.productName.begin(), current.productName.end()) + " is running";
    Check(!current.productCode.empty() && current.upgradeCode == older.upgradeCode &&
              current.productCode != older.productCode,
          L"both packages have the same upgrade code and product codes of their own");
    for (const std::wstring& product : RelatedProducts(current.upgradeCode)) {
        Step(L"an earlier installation is left over: removing it first");
        Msiexec(L"/x " + product);
    }

    {
        Mark other(L"Global\\" + mark);
        const Result result = Msiexec(L"/i " + Quoted(older.path));
        CheckRefused(result, L"with the mark of another session held, the first install", running);
        Check(!Installed(older) && places.NoneThere(), L"nothing was installed");
    }
    CheckBesideSetup(current, places, setup, running);

    Result result = Msiexec(L"/i " + Quoted(older.path));
    Check(result.code == 0u, L"the older version installs: " + Describe(result.code));
    Check(Installed(older), L"version " + older.version + L" is installed");
    Running korvane = Start(places.exe, title);
    if (korvane.process != nullptr) {
        const std::optional<FILETIME> written = WriteTime(places.exe);
        result = Msiexec(L"/i " + Quoted(current.path));
        CheckRefused(result, L"the upgrade", running);
        Check(Installed(older) && !Installed(current) && SameTime(written, WriteTime(places.exe)) &&
                  NamesVersion(places, older),
              L"the refused upgrade left the older version as it was");
        Close(korvane);
    }

    result = Msiexec(L"/i " + Quoted(current.path));
    Check(result.code == 0u, L"the upgrade succeeds: " + Describe(result.code));
    Check(!Installed(older), L"the upgrade removed the older version");
    CheckInstalled(current, places);
    const std::optional<FILETIME> installed = WriteTime(places.exe);

    // The setup program, for all users, refuses beside the package and changes nothing.
    const std::optional<DWORD> setupCode = Run(L"\"" + setup + L"\" /S /AllUsers");
    Check(setupCode == kSetupBesideMsi,
          L"the setup program for all users ends with 5 beside the package: " +
              Describe(setupCode));
    Check(Installed(current) && places.AllThere() && SameTime(installed, WriteTime(places.exe)) &&
              !Exists(places.folder + L"\\uninstall.exe") &&
              !KeyExists(HKEY_LOCAL_MACHINE, kSetupUninstallKey),
          L"and changes nothing: the package's installation is left as it was");

    result = Msiexec(L"/i " + Quoted(current.path));
    Check(result.code == 0u,
          L"installing the same version again ends with 0: " + Describe(result.code));
    Check(Installed(current) && places.AllThere() && SameTime(installed, WriteTime(places.exe)),
          L"installing the same version again changed nothing");
    result = Msiexec(L"/i " + Quoted(older.path));
    Check(result.code == kInstallFailure,
          L"the older version over this one ends with 1603: " + Describe(result.code));
    Check(Installed(current) && !Installed(older) && SameTime(installed, WriteTime(places.exe)),
          L"the refused downgrade changed nothing");

    korvane = Start(places.exe, title);
    if (korvane.process != nullptr) {
        for (const Refusal& refusal : kRefusals) {
            result = Msiexec(Arguments(refusal, current));
            CheckRefused(result, refusal.what, running);
            Check(Installed(current) && places.AllThere() &&
                      SameTime(installed, WriteTime(places.exe)),
                  std::wstring(refusal.what) + L" refused changed nothing");
        }
        Close(korvane);
    }
    {
        Mark other(L"Global\\" + mark);
        for (const Refusal& refusal : kRefusals) {
            result = Msiexec(Arguments(refusal, current));
            CheckRefused(result,
                         std::wstring(L"with the mark of another session held, ") + refusal.what,
                         running);
            Check(Installed(current) && places.AllThere() &&
                      SameTime(installed, WriteTime(places.exe)),
                  std::wstring(refusal.what) + L" refused changed nothing");
        }
    }

    const std::string program = ReadAll(places.exe);
    DeleteFileW(places.exe.c_str());
    DeleteFileW(places.readme.c_str());
    DeleteFileW(places.shortcut.c_str());
    result = Msiexec(L"/i " + current.productCode + kRepair);
    Check(result.code == 0u, L"the repair succeeds: " + Describe(result.code));
    Check(Exists(places.readme) && !program.empty() && ReadAll(places.exe) == program,
          L"the repair brought back the program, byte for byte, and the README");
    Check(SamePath(ShortcutTarget(places.shortcut), places.exe),
          L"the repair brought back the Start-menu shortcut");

    result = Msiexec(L"/x " + Quoted(current.path));
    Check(result.code == 0u, L"the removal succeeds: " + Describe(result.code));
    CheckRemoved(current, places);

    const Places chosen(KnownFolder(FOLDERID_ProgramFilesX64) + L"\\Korvane test\\Chosen folder");
    result = Msiexec(L"/i " + Quoted(older.path) + L" INSTALLFOLDER=" + Quoted(chosen.folder));
    Check(result.code == 0u && Exists(chosen.exe) && !Exists(places.folder),
          L"the older version installs into INSTALLFOLDER " + chosen.folder + L": " +
              Describe(result.code));
    result = Msiexec(L"/i " + Quoted(current.path));
    Check(result.code == 0u, L"the upgrade succeeds: " + Describe(result.code));
    Check(!Exists(places.folder), L"the upgrade installed nothing into the default folder");
    CheckInstalled(current, chosen);

    result = Msiexec(L"/x " + current.productCode);
    Check(result.code == 0u, L"the removal by product code succeeds: " + Describe(result.code));
    CheckRemoved(current, chosen);
    RemoveDirectoryW((KnownFolder(FOLDERID_ProgramFilesX64) + L"\\Korvane test").c_str());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 9) {
        std::fwprintf(stderr, L"usage: korvane_msi_test MSI VERSION OLDER_MSI OLDER_VERSION TITLE "
                              L"MARK SETUP LOG_DIR\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const Package current = ReadPackage(DosPath(argv[1]), argv[2]);
    const Package older = ReadPackage(DosPath(argv[3]), argv[4]);
    logDir = DosPath(argv[8]);
    CreateDirectoryW(logDir.c_str(), nullptr);
    Step(L"packages " + current.productCode + L" (" + current.version + L") and " +
         older.productCode + L" (" + older.version + L"), upgrade code " + current.upgradeCode +
         L"; logs in " + logDir);
    Test(current, older, argv[5], argv[6], DosPath(argv[7]));
    CoUninitialize();
    std::wprintf(L"%ls\n", Failures() == 0 ? L"msi test passed" : L"msi test FAILED");
    return Failures() == 0 ? 0 : 1;
}
