#include "Phantomdetect.h"

#include <windows.h>

#include <string>
#include <vector>

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

// The folders CreateProcessA looks in for a program named without a full path,
// in its order: the starting program's folder, the current folder, the system
// folders (32-bit, 16-bit, Windows), then PATH.
std::string ProgramSearchPath()
{
    char buffer[MAX_PATH + 1] = {};
    std::string module(buffer, GetModuleFileNameA(nullptr, buffer, MAX_PATH));
    std::string path = module.substr(0, module.find_last_of('\\')) + ";.";
    if (UINT n = GetSystemDirectoryA(buffer, MAX_PATH); n > 0 && n < MAX_PATH) path += ";" + std::string(buffer, n);
    if (UINT n = GetWindowsDirectoryA(buffer, MAX_PATH); n > 0 && n < MAX_PATH) {
        const std::string windows(buffer, n);
        path += ";" + windows + (windows.back() == '\\' ? "" : "\\") + "system;" + windows;
    }
    if (DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0); size > 0) {
        std::string variable(size, '\0');
        variable.resize(GetEnvironmentVariableA("PATH", &variable[0], size));
        path += ";" + variable;
    }
    return path;
}

enum class ImageKind { Windows, Batch, Other };

// A file that CreateProcessA would take for the program of a command line.
struct Program {
    std::string Path;
    ImageKind Kind;
};

// Tells what the file is; false when it cannot be opened (a folder cannot).
bool Examine(const std::string& path, Program* program)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // (No FILE_SHARE_DELETE: Windows 98 refuses it.)
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char header[2] = {};
    DWORD read = 0;
    const bool image =
        ReadFile(file, header, sizeof header, &read, nullptr) && read == 2 && header[0] == 'M' && header[1] == 'Z';
    CloseHandle(file);
    program->Path = path;
    const std::string::size_type dot = path.find_last_of(".\\/");
    const std::string extension = dot != std::string::npos && path[dot] == '.' ? path.substr(dot) : "";
    if (image)
        program->Kind = ImageKind::Windows;
    else if (lstrcmpiA(extension.c_str(), ".bat") == 0 || lstrcmpiA(extension.c_str(), ".cmd") == 0)
        program->Kind = ImageKind::Batch;
    else
        program->Kind = ImageKind::Other;
    return true;
}

std::string FullPath(const std::string& path)
{
    std::vector<char> full(MAX_PATH);
    for (;;) {
        const DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return path;
        if (n < full.size()) return std::string(full.data(), n);
        full.resize(n + 1);
    }
}

// Looks the name up as Windows does for CreateProcessA: ".exe" is added when its
// last part has no extension (and the name is not tried without it, as Wine
// would, for Linux programs); a drive, UNC or root path, or one that starts with
// "." or "..", is taken as it is, any other name is looked for in each folder
// of the search path.
bool FindProgram(const std::string& name, const std::string& searchPath, Program* program)
{
    if (name.empty()) return false;
    const std::string::size_type last = name.find_last_of("\\/");
    const bool hasExtension = name.find('.', last == std::string::npos ? 0 : last + 1) != std::string::npos;
    const std::string file = hasExtension ? name : name + ".exe";
    const bool explicitPath = (name.size() >= 2 && name[1] == ':') || name[0] == '\\' || name[0] == '/' ||
                              name.compare(0, 2, ".\\") == 0 || name.compare(0, 2, "./") == 0 ||
                              name.compare(0, 3, "..\\") == 0 || name.compare(0, 3, "../") == 0;
    if (explicitPath) return Examine(FullPath(file), program);
    std::string::size_type start = 0;
    while (start <= searchPath.size()) {
        std::string::size_type end = searchPath.find(';', start);
        if (end == std::string::npos) end = searchPath.size();
        std::string folder = searchPath.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
        if (Examine(FullPath(folder + file), program)) return true;
    }
    return false;
}

// The program file of a command line, by CreateProcessA's rules: a quoted first
// token names it whole; otherwise the line is tried word by word, up to each
// blank, the shortest first ("C:\Program Files\A\u.exe /S" tries "C:\Program",
// then "C:\Program Files\A\u.exe", then the whole line).
bool FindProgramOf(const std::string& commandLine, Program* program)
{
    if (commandLine.empty()) return false;
    const std::string searchPath = ProgramSearchPath();
    if (commandLine[0] == '"') {
        const std::string::size_type close = commandLine.find('"', 1);
        if (close != std::string::npos) return FindProgram(commandLine.substr(1, close - 1), searchPath, program);
    }
    std::string::size_type end = commandLine.find_first_of(" \t", 1);
    for (;;) {
        if (FindProgram(commandLine.substr(0, end), searchPath, program)) return true;
        if (end == std::string::npos || end + 1 >= commandLine.size()) return false;
        end = commandLine.find_first_of(" \t", end + 2);
    }
}

// Creates the process suspended and ends it before its first thread runs.
bool StartSuspendedAndEnd(const std::string& application, const std::string& commandLine)
{
    std::string line = commandLine; // CreateProcessA may write into its buffer
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(application.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                        &si, &pi))
        return false;
    TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

// True when a process can be created from the command line.
//
// Only a Windows program is ever started, and only the file checked here (it is
// passed as the application name): Wine starts a file that is no Windows image
// (a Linux executable or script) natively and at once, suspended or not, where
// Windows refuses it. Such a file cannot start on Windows, so it gets "no" here
// without being started. A batch file starts through the command interpreter,
// which is started suspended in its place, as CreateProcessA itself would.
bool CanStart(const std::string& commandLine)
{
    Program program;
    if (!FindProgramOf(commandLine, &program)) return false;
    switch (program.Kind) {
    case ImageKind::Windows:
        return StartSuspendedAndEnd(program.Path, commandLine);
    case ImageKind::Batch: {
        char buffer[MAX_PATH + 1] = {};
        std::string interpreter;
        if (DWORD n = GetEnvironmentVariableA("ComSpec", buffer, MAX_PATH); n > 0 && n < MAX_PATH)
            interpreter.assign(buffer, n);
        else if (UINT m = GetSystemDirectoryA(buffer, MAX_PATH); m > 0 && m < MAX_PATH)
            interpreter = std::string(buffer, m) + "\\cmd.exe";
        Program shell;
        if (!FindProgram(interpreter, ProgramSearchPath(), &shell) || shell.Kind != ImageKind::Windows) return false;
        return StartSuspendedAndEnd(shell.Path, "\"" + shell.Path + "\" /c \"" + commandLine + "\"");
    }
    case ImageKind::Other:
        break;
    }
    return false;
}

// The entry's command. An "UninstallString" that is no string value (a number,
// bytes, a list of strings) names no command that could be started; it must not
// end the run, or every entry after it would read as phantom.
bool ReadCommand(TRegistry& reg, std::string* command)
{
    try {
        *command = reg.ReadString("UninstallString");
        return true;
    } catch (const ERegistryException&) {
        return false;
    }
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
        // The entry is opened relative to the Uninstall key: with its full path a
        // name of up to 255 characters would pass the registry's ANSI path limit.
        if (reg.OpenKey(kUninstallKey, false) && reg.OpenKey(entry, false) && reg.ValueExists("UninstallString")) {
            std::string command;
            const bool started = ReadCommand(reg, &command) && CanStart(command);
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
