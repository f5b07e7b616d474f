#pragma once

// What the tests of the Windows packages share (install_test.cpp, msi_test.cpp): reporting,
// waiting, files, the registry, version resources, shortcuts, processes and the running
// program. Every wait has a generous deadline, so that a step that never happens fails instead
// of hanging; the times are printed, never checked.
#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>

namespace korvane::package_test {

constexpr ULONGLONG kDeadlineMs = 60000;

// Prints a step with the time since the test started.
void Step(const std::wstring& what);
// Counts and prints a failed check; returns ok.
bool Check(bool ok, const std::wstring& what);
// The number of failed checks so far.
int Failures();

// Calls done() every 50 ms until it is true or the deadline passes; returns its last answer.
bool WaitFor(const std::function<bool()>& done);
// Waits for a process to end; its exit code, or nothing when it did not end in time.
std::optional<DWORD> WaitForExit(HANDLE process);

// True when running under Wine, whose behaviour some checks have to allow for.
bool UnderWine();
// Under Wine, a Unix path given on the command line becomes the DOS path of the same file.
std::wstring DosPath(const std::wstring& path);
std::wstring KnownFolder(REFKNOWNFOLDERID id);

bool Exists(const std::wstring& path);
std::optional<FILETIME> WriteTime(const std::wstring& path);
bool SameTime(const std::optional<FILETIME>& a, const std::optional<FILETIME>& b);
// The first line of a text file, without its line end.
std::string FirstLine(const std::wstring& file);
// The whole file as bytes (empty when it cannot be read).
std::string ReadAll(const std::wstring& file);

// A registry key in the 64-bit view, and a string value of it.
bool KeyExists(HKEY root, const std::wstring& key);
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const wchar_t* name);
std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const wchar_t* name);

// A string of a program's version resource, in its first language, or an empty text.
std::wstring VersionString(const std::wstring& file, const wchar_t* name);
// The file a shortcut points at, or an empty text when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& link);
bool SamePath(const std::wstring& a, const std::wstring& b);

// Runs a command line, with this process's rights or with TOKEN, and waits for that process
// (not its children) to end; its exit code, or nothing.
std::optional<DWORD> Run(std::wstring commandLine, HANDLE token = nullptr);
std::wstring Describe(const std::optional<DWORD>& code);

// Holds a named mutex, as a running Korvane holds its mark (the test's own stands for a Korvane
// of another user or session), for as long as it lives.
class Mark {
public:
    explicit Mark(const std::wstring& name);
    ~Mark();
    Mark(const Mark&) = delete;
    Mark& operator=(const Mark&) = delete;

private:
    HANDLE handle_;
};

// A started Korvane: its process and window (both empty when it did not start).
struct Running {
    HANDLE process = nullptr;
    HWND window = nullptr;
};

// The visible top-level window titled TITLE of a process, or nullptr.
HWND WindowOf(DWORD processId, const std::wstring& title);

// Starts a program and waits for its window titled TITLE, with the Compute button in it. Under
// Wine a program started right after an installation has, rarely, ended at once without a
// window; that start is reported with its exit code and made once more.
Running Start(const std::wstring& exe, const std::wstring& title);
// Closes the program's window and waits for it to end, with exit code 0.
void Close(Running& running);

} // namespace korvane::package_test
