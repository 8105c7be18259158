// Ghostprobe over 1,000 Uninstall entries against the floor of the same 1,000
// suspended starts and terminations made in one loop, in the same run.
// Run by hand: tools/wine-run build/i686/bin/ghostprobe_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "Registry.h"

namespace {

const char kUninstall[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const int kEntries = 1000;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

std::string ProgramDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

void StartSuspendedAndEnd(const std::string& command)
{
    std::string line = command + '\0';
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi)) {
        TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
}

} // namespace

int main()
{
    const std::string uninstaller = "C:\\work\\bench\\uninst.exe";
    CreateDirectoryA("C:\\work\\bench", nullptr);
    if (!CopyFileA((ProgramDir() + "\\fake_uninstaller.exe").c_str(), uninstaller.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy the fake uninstaller\n");
        return 1;
    }
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.DeleteKey(kUninstall);
    reg.CreateKey("\\Software\\Classes\\tarsk\\Phantom");
    for (int i = 0; i < kEntries; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Bench entry %04d", i);
        reg.OpenKey(std::string(kUninstall) + "\\" + name, true);
        reg.WriteString("UninstallString", "\"" + uninstaller + "\" /S");
    }
    reg.CloseKey();

    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < kEntries; ++i) StartSuspendedAndEnd("\"" + uninstaller + "\" /S");
    QueryPerformanceCounter(&t1);
    std::string probe = "\"" + ProgramDir() + "\\Ghostprobe.exe\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, &probe[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start Ghostprobe\n");
        return 1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&t2);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    const double floor = Seconds(t0, t1), ghostprobe = Seconds(t1, t2);
    std::printf("entries            %d\n", kEntries);
    std::printf("floor (one loop)   %.3f s\n", floor);
    std::printf("Ghostprobe         %.3f s\n", ghostprobe);
    std::printf("ratio              %.3f (must stay at or below 1.15)\n", ghostprobe / floor);
    return 0;
}
