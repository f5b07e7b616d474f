#include "test_support.h"

#include <objbase.h>
#include <shlobj.h>
#include <winver.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace korvane::package_test {

namespace {

constexpr int kComputeId = 1016;

int failures = 0;
const ULONGLONG startTick = GetTickCount64();

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

// Starts the program and waits until its window shows or the program ends; the window, or
// nullptr.
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
    HWND window = nullptr;
    WaitFor([&] {
        window = WindowOf(process.dwProcessId, title);
        return window != nullptr || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    });
    return window;
}

} // namespace

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

int Failures() {
    return failures;
}

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

std::optional<DWORD> WaitForExit(HANDLE process) {
    if (WaitForSingleObject(process, static_cast<DWORD>(kDeadlineMs)) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

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

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = path;
    }
    CoTaskMemFree(path);
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

bool SameTime(const std::optional<FILETIME>& a, const std::optional<FILETIME>& b) {
    return a && b && CompareFileTime(&*a, &*b) == 0;
}

std::string FirstLine(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::string ReadAll(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(handle);
    return true;
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), name,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND | RRF_SUBKEY_WOW6464KEY,
                     nullptr, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD | RRF_SUBKEY_WOW6464KEY, nullptr,
                     &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

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

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::optional<DWORD> Run(std::wstring commandLine, HANDLE token) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started =
        token != nullptr
            ? CreateProcessAsUserW(token, nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &process)
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

HWND WindowOf(DWORD processId, const std::wstring& title) {
    WindowSearch search{processId, &title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Mark::Mark(const std::wstring& name) : handle_(CreateMutexW(nullptr, FALSE, name.c_str())) {
    Check(handle_ != nullptr, L"the test holds the mark " + name);
}

Mark::~Mark() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

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

} // namespace korvane::package_test
