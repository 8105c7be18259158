// The Uninstall page's scan of 1,000 entries (Ghostprobe's run included, no
// icons to find) against the floor of the same work done bare in the same
// run: Ghostprobe's own run, then one enumeration of the Uninstall key with
// a read of each entry's values and verdict.
// Run by hand: tools/wine-run build/i686/bin/uninstall_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "Registry.h"
#include "Unit1.h"

namespace {

const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kPhantom[] = "Software\\Classes\\tarsk\\Phantom";
const int kEntries = 1000;
const int kRounds = 3;

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

std::string ProgramDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

// Ghostprobe started as the program starts it, waited for by the system.
bool RunGhostprobe()
{
    std::string line = "Ghostprobe.exe";
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

std::string ReadValue(HKEY key, const char* name)
{
    char data[1024];
    DWORD size = sizeof data, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) return "";
    return std::string(data, size ? size - 1 : 0);
}

// Every entry's four values and its verdict, read once; returns the count.
int ReadEveryEntry()
{
    HKEY uninstall, phantom;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstall, 0, KEY_READ, &uninstall) != ERROR_SUCCESS) return 0;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPhantom, 0, KEY_READ, &phantom);
    int count = 0;
    size_t total = 0;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(uninstall, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY entry;
        if (RegOpenKeyExA(uninstall, name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
        for (const char* value : {"UninstallString", "DisplayName", "Publisher", "DisplayVersion"})
            total += ReadValue(entry, value).size();
        RegCloseKey(entry);
        total += ReadValue(phantom, name).size();
        ++count;
    }
    RegCloseKey(phantom);
    RegCloseKey(uninstall);
    return total > 0 ? count : 0;
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
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        reg.DeleteKey(std::string("\\") + kUninstall);
        reg.DeleteKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache");
        reg.DeleteKey("\\Software\\Classes\\Installer\\Products");
        for (int i = 0; i < kEntries; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Bench entry %04d", i);
            reg.OpenKey(std::string("\\") + kUninstall + "\\" + name, true);
            reg.WriteString("DisplayName", std::string("Bench program ") + (name + 12));
            reg.WriteString("UninstallString", "\"" + uninstaller + "\" /S");
            reg.WriteString("Publisher", "Bench Publisher");
            reg.WriteString("DisplayVersion", "1.0");
        }
    }

    // The window as the program shows it; its first activation scans once,
    // which also warms everything up.
    Application->Initialize();
    TForm1* form = new TForm1(Application);
    Form1 = form;
    form->Show();
    if (form->lvUninstall->Items()->Count() != kEntries) {
        std::fprintf(stderr, "the first scan listed %d rows\n", form->lvUninstall->Items()->Count());
        return 1;
    }

    double bestFloor = 1e9, bestScan = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        double t0 = Now();
        if (!RunGhostprobe()) {
            std::fprintf(stderr, "cannot start Ghostprobe\n");
            return 1;
        }
        if (ReadEveryEntry() != kEntries) {
            std::fprintf(stderr, "the bare read missed entries\n");
            return 1;
        }
        double t1 = Now();
        form->ScanInstalledPrograms();
        double t2 = Now();
        if (form->lvUninstall->Items()->Count() != kEntries || form->NextIconIndex != 2) {
            std::fprintf(stderr, "the scan listed %d rows\n", form->lvUninstall->Items()->Count());
            return 1;
        }
        bestFloor = std::min(bestFloor, t1 - t0);
        bestScan = std::min(bestScan, t2 - t1);
        std::printf("round %d            floor %.3f s, scan %.3f s\n", round + 1, t1 - t0, t2 - t1);
    }
    std::printf("entries            %d\n", kEntries);
    std::printf("floor (best)       %.3f s\n", bestFloor);
    std::printf("scan (best)        %.3f s\n", bestScan);
    std::printf("ratio              %.3f (must stay at or below 1.2)\n", bestScan / bestFloor);
    form->Free();
    return 0;
}
