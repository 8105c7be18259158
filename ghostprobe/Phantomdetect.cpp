#include "Phantomdetect.h"

#include <windows.h>

#include "Classes.h"
#include "Forms.h"
#include "Processes.h"
#include "Registry.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68, "ANSI STARTUPINFO of a 32-bit program");
#endif

namespace {

const char kUninstallKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kPhantomKey[] = "\\Software\\Classes\\tarsk\\Phantom";

// Writes one verdict. The Phantom key is never created: when it cannot be
// opened the verdict is skipped (it then reads as phantom), because after a
// failed open the wrapper still has the Uninstall entry open and a write would
// land there.
void WriteVerdict(TRegistry& reg, const std::string& entry, const char* verdict)
{
    if (reg.OpenKey(kPhantomKey, false)) reg.WriteString(entry, verdict);
}

// True when a process can be created from the command line. The process starts
// suspended and is ended before its first thread runs.
bool CanStart(const std::string& commandLine)
{
    std::string line = commandLine; // CreateProcessA may write into its buffer
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
        return false;
    TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

void TestUninstallEntries()
{
    TRegistry reg;
    TStringList names;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.OpenKey(kUninstallKey, false);
    reg.GetKeyNames(&names);
    reg.OpenKey(kPhantomKey, false);
    for (int i = 0; i < names.Count(); ++i) {
        const std::string entry = names[i];
        if (reg.OpenKey(std::string(kUninstallKey) + "\\" + entry, false) && reg.ValueExists("UninstallString")) {
            const bool started = CanStart(reg.ReadString("UninstallString"));
            WriteVerdict(reg, entry, started ? "1" : "0");
        } else {
            // An entry that cannot be opened is tested as one without a command.
            WriteVerdict(reg, entry, "2");
        }
    }
}

void EndNtvdmProcesses()
{
    ForEachProcess([](const PROCESSENTRY32& entry) {
        if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entry.szExeFile, -1, "ntvdm.exe", -1) == CSTR_EQUAL)
            TerminateProcessById(entry.th32ProcessID);
    });
}

} // namespace

void DetectPhantomEntries()
{
    TestUninstallEntries();
    EndNtvdmProcesses();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        Application->Initialize();
        Application->Run();
        DetectPhantomEntries();
    } catch (const Exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(std::string());
    }
    return 0;
}
