#include "Processes.h"

#include "Forms.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68, "ANSI STARTUPINFO of a 32-bit program");
static_assert(sizeof(PROCESSENTRY32) == 296, "ANSI PROCESSENTRY32 of a 32-bit program");
#endif

void ForEachProcess(const std::function<void(const PROCESSENTRY32& entry)>& visit)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    if (Process32First(snapshot, &entry)) {
        while (Process32Next(snapshot, &entry)) visit(entry);
    }
    CloseHandle(snapshot);
}

bool RunAndWait(const std::string& commandLine)
{
    std::string line = commandLine; // CreateProcessA may write into its buffer
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const bool started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != FALSE;
    // A failed start leaves no handle: the first read fails and ends the wait.
    DWORD code = 0;
    while (GetExitCodeProcess(pi.hProcess, &code)) {
        Application->AnswerSentMessages(500);
        if (code != STILL_ACTIVE) break;
    }
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    return started;
}

void TerminateProcessById(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (!process) return;
    TerminateProcess(process, 1);
    CloseHandle(process);
}
