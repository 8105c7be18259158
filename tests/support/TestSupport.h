// Fixtures shared by the test programs: the sandbox's folders, raw registry
// access (independent of the wrapper under test), helper programs and the
// windows they open.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Folder of the running test program (the build output, drive D:).
std::string ProgramDir();
// Makes every folder of the path (a file path's folder when file is true).
void MakeDirs(const std::string& path, bool file = false);
// Copies a program of the build output (name without ".exe") to dest.
void CopyProgram(const std::string& name, const std::string& dest);
bool FileExists(const std::string& path);
std::string ReadTextFile(const std::string& path);

// Raw registry, for seeding and checking.
void RegDeleteTree(HKEY root, const std::string& path);
void RegSetString(HKEY root, const std::string& path, const std::string& name, const std::string& value,
                  DWORD type = REG_SZ);
void RegSetBytes(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                 DWORD size);
void RegSetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
bool RegKeyPresent(HKEY root, const std::string& path);
// Every value of the key as name -> data (string values only; others as "<type N>").
std::map<std::string, std::string> RegValues(HKEY root, const std::string& path);

// The Linux path, inside this run's sandbox, of a full path on drive C:.
std::string SandboxLinuxPath(const std::string& windowsPath);
// Starts a Linux shell on the script in the sandbox (Wine starts a Linux
// program natively, and gives no handle to wait on); false when it cannot.
bool StartLinuxShell(const std::string& script);
// Runs a Linux shell command there and waits for its end; true when it
// succeeded.
bool RunLinuxShell(const std::string& command);
// A Unix symbolic link at link to target (full paths on drive C:, target an
// existing file or folder), made from the Linux side: under Wine 8 a Windows
// program cannot make one. True when it shows as Wine shows such a link: a
// link to a folder as that folder with the reparse mark (0x410), a link to a
// file as the file itself.
bool MakeUnixLink(const std::string& link, const std::string& target);
// Removes such a link from the Linux side; what it leads to stays.
bool RemoveUnixLink(const std::string& link);

// A started child process; ended (exit code 99) and closed when still running
// at destruction.
class Child {
public:
    explicit Child(const std::string& commandLine);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool Started() const { return FInfo.hProcess != nullptr; }
    DWORD Pid() const { return FInfo.dwProcessId; }
    HANDLE Process() const { return FInfo.hProcess; }
    // Waits for the end; returns the exit code, or STILL_ACTIVE after the guard time.
    DWORD Wait(DWORD guardMs = 120000);
    bool Running() const;

private:
    PROCESS_INFORMATION FInfo = {};
};

// Polls until done() holds or the guard time has passed; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD guardMs = 60000);
// The first top-level window of that class owned by the process (hidden ones
// too unless visibleOnly) that accept takes (any, without it), or nullptr.
HWND FindWindowOf(DWORD pid, const char* className, bool visibleOnly = true,
                  const std::function<bool(HWND)>& accept = nullptr);
// The first visible one; nullptr after the guard time.
HWND WaitForWindowOf(DWORD pid, const char* className, DWORD guardMs = 60000);
std::string WindowText(HWND hwnd);
// Whether the notification area holds that icon (only an icon it holds can be
// modified).
bool TrayIconShown(HWND window, UINT id);
// Texts of the window's static children, in child order.
std::vector<std::string> StaticTexts(HWND hwnd);

} // namespace testsupport
