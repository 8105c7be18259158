// An uninstaller with three icons (see its .rc) for the Uninstall Manager's
// tests. It notes its command line in "<its own path>.txt" (written under
// another name and renamed, so that a reader never sees half of it), then:
//   /remove=NAME  deletes the Uninstall entry NAME (the rest of the line,
//                 quotes removed), as a real uninstaller removes its own;
//   /spawn        starts longrun.exe from its own folder, notes that process's
//                 ID in "<its own path>.pid" and ends at once, as an
//                 uninstaller does that hands its work to another process;
//   anything else leaves everything as it is.
#include <windows.h>
#include <shlwapi.h>

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
    return WriteFileAtOnce(self + ".txt", line) ? 0 : 1;
}
