// An uninstaller with three icons (see its .rc) for the Uninstall Manager's
// tests. It notes its command line in "<its own path>.txt" (written under
// another name and renamed, so that a reader never sees half of it), then:
//   /remove=NAME  deletes the Uninstall entry NAME (the rest of the line,
//                 quotes removed), as a real uninstaller removes its own;
//   /spawn        starts longrun.exe from its own folder, notes that process's
//                 ID in "<its own path>.pid" and ends at once, as an
//                 uninstaller does that hands its work to another process;
//   /resize-starter  makes each visible top-level window of the process that
//                 started it one pixel wider (SetWindowPos waits for that
//                 process to answer);
//   /broadcast    sends a setting change to every top-level window with
//                 SendMessage, as installers do after changing PATH, and
//                 waits for every answer (the last thing before it ends);
//   anything else leaves everything as it is.
#include <windows.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>

namespace {

std::string SelfPath()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return self;
}

bool WriteFileAtOnce(const std::string& path, const std::string& text)
{
    const std::string partial = path + ".part";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) return false;
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::string Unquoted(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '"')) text.pop_back();
    if (!text.empty() && text.front() == '"') text.erase(0, 1);
    return text;
}

DWORD StarterId()
{
    DWORD starter = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId()) starter = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    return starter;
}

BOOL CALLBACK WidenStartersWindow(HWND window, LPARAM starter)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    RECT r;
    if (pid == static_cast<DWORD>(starter) && IsWindowVisible(window) && GetWindowRect(window, &r))
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left + 1, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string self = SelfPath();
    const std::string line = GetCommandLineA();

    std::string::size_type remove = line.find("/remove=");
    if (remove != std::string::npos) {
        std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + Unquoted(line.substr(remove + 8));
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    }
    if (line.find("/spawn") != std::string::npos) {
        std::string folder = self.substr(0, self.find_last_of('\\'));
        std::string child = "\"" + folder + "\\longrun.exe\"";
        child.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (CreateProcessA(nullptr, &child[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            WriteFileAtOnce(self + ".pid", std::to_string(pi.dwProcessId));
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    if (line.find("/resize-starter") != std::string::npos)
        EnumWindows(WidenStartersWindow, static_cast<LPARAM>(StarterId()));
    if (line.find("/broadcast") != std::string::npos)
        SendMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"));
    return WriteFileAtOnce(self + ".txt", line) ? 0 : 1;
}
