#include "TestSupport.h"

#include <shellapi.h>

#include <cstdlib>
#include <stdexcept>

namespace testsupport {

std::string ProgramDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

void MakeDirs(const std::string& path, bool file)
{
    std::string dir = file ? path.substr(0, path.find_last_of('\\')) : path;
    for (size_t i = 3; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '\\') CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
    }
}

void CopyProgram(const std::string& name, const std::string& dest)
{
    MakeDirs(dest, true);
    std::string source = ProgramDir() + "\\" + name + ".exe";
    if (!CopyFileA(source.c_str(), dest.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + source + " to " + dest);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SandboxLinuxPath(const std::string& windowsPath)
{
    const char* sandbox = std::getenv("SWEEPORA_SANDBOX");
    std::string path = std::string(sandbox ? sandbox : "/nonexistent") + "/prefix/drive_c" + windowsPath.substr(2);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool StartLinuxShell(const std::string& script)
{
    std::string line = "\\\\?\\unix\\bin\\sh -c \"";
    for (char c : script) {
        if (c == '"') line += '\\';
        line += c;
    }
    line += "\"";
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    return true;
}

bool RunLinuxShell(const std::string& command)
{
    // The shell leaves its exit status in a file of the sandbox; Wine gives
    // no handle to wait on for a Linux program.
    static int calls = 0;
    const std::string done = "C:\\work\\linux-shell-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++calls) + ".status";
    if (!StartLinuxShell(command + "; echo $? >'" + SandboxLinuxPath(done) + ".part'; mv '" +
                         SandboxLinuxPath(done) + ".part' '" + SandboxLinuxPath(done) + "'"))
        return false;
    if (!WaitUntil([&] { return FileExists(done); })) return false;
    const bool succeeded = ReadTextFile(done) == "0\n";
    DeleteFileA(done.c_str());
    return succeeded;
}

bool MakeUnixLink(const std::string& link, const std::string& target)
{
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    MakeDirs(link, true);
    if (!RunLinuxShell("ln -s '" + SandboxLinuxPath(target) + "' '" + SandboxLinuxPath(link) + "'")) return false;
    const DWORD shown =
        attributes & FILE_ATTRIBUTE_DIRECTORY ? attributes | FILE_ATTRIBUTE_REPARSE_POINT : attributes;
    return GetFileAttributesA(link.c_str()) == shown;
}

bool RemoveUnixLink(const std::string& link)
{
    return RunLinuxShell("test -L '" + SandboxLinuxPath(link) + "' && rm '" + SandboxLinuxPath(link) + "'");
}

std::string ReadTextFile(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    CloseHandle(f);
    return text;
}

void RegDeleteTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    for (;;) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        RegDeleteTree(key, name);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

void RegSetBytes(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                 DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + path);
    LONG rc = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot set " + path + "\\" + name);
}

void RegSetString(HKEY root, const std::string& path, const std::string& name, const std::string& value, DWORD type)
{
    RegSetBytes(root, path, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void RegSetDword(HKEY root, const std::string& path, const std::string& name, DWORD value)
{
    RegSetBytes(root, path, name, REG_DWORD, &value, sizeof value);
}

bool RegKeyPresent(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::map<std::string, std::string> RegValues(HKEY root, const std::string& path)
{
    std::map<std::string, std::string> values;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        BYTE data[16384];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            values[name] = std::string(reinterpret_cast<char*>(data), dataSize ? dataSize - 1 : 0);
        else
            values[name] = "<type " + std::to_string(type) + ">";
    }
    RegCloseKey(key);
    return values;
}

Child::Child(const std::string& commandLine)
{
    std::string line = commandLine + '\0';
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &FInfo))
        FInfo = PROCESS_INFORMATION{};
}

Child::~Child()
{
    if (!FInfo.hProcess) return;
    if (Running()) {
        TerminateProcess(FInfo.hProcess, 99);
        WaitForSingleObject(FInfo.hProcess, 10000);
    }
    CloseHandle(FInfo.hProcess);
    CloseHandle(FInfo.hThread);
}

DWORD Child::Wait(DWORD guardMs)
{
    if (!FInfo.hProcess) return static_cast<DWORD>(-1);
    WaitForSingleObject(FInfo.hProcess, guardMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(FInfo.hProcess, &code);
    return code;
}

bool Child::Running() const
{
    return FInfo.hProcess && WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {
struct WindowSearch {
    DWORD Pid;
    const char* ClassName;
    bool VisibleOnly;
    const std::function<bool(HWND)>& Accept;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == search->Pid && (!search->VisibleOnly || IsWindowVisible(hwnd)) &&
        lstrcmpA(cls, search->ClassName) == 0 && (!search->Accept || search->Accept(hwnd))) {
        search->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM param)
{
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string text = WindowText(hwnd);
        if (!text.empty()) reinterpret_cast<std::vector<std::string>*>(param)->push_back(text);
    }
    return TRUE;
}
} // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD guardMs)
{
    for (DWORD waited = 0; waited <= guardMs; waited += 50) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

HWND FindWindowOf(DWORD pid, const char* className, bool visibleOnly, const std::function<bool(HWND)>& accept)
{
    WindowSearch search{pid, className, visibleOnly, accept, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND WaitForWindowOf(DWORD pid, const char* className, DWORD guardMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(pid, className)) != nullptr; }, guardMs);
    return found;
}

std::string WindowText(HWND hwnd)
{
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

bool TrayIconShown(HWND window, UINT id)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

std::vector<std::string> StaticTexts(HWND hwnd)
{
    std::vector<std::string> texts;
    EnumChildWindows(hwnd, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

} // namespace testsupport
