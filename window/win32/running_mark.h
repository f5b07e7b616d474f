#pragma once

namespace korvane::win32 {

// Marks this process as a running Korvane, until it ends: two named mutexes, named after the
// application id, one in the session's namespace ("Local\") and one in the machine's
// ("Global\"). The installer and the uninstaller look for them before they change anything:
// a per-user installation for the one in the user's session, an all-users installation for
// the one of any session. Called once, at start; a mark that cannot be made is left out, the
// program runs all the same.
void MarkRunning();

} // namespace korvane::win32
