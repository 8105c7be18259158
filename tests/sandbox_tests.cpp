// What the sandbox runner promises, checked from inside Wine, route by route:
// drive letters, Wine's \\?\unix\ and \\.\unix\ paths onto the Linux tree, a
// drive mapped by the mount manager, and a Linux program started from here.
// Each way out must fail or stay inside: only the sandbox can be written, the
// home folders are empty, and the processes seen are the run's own.
#include <windows.h>
#include <shlobj.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace testsupport;

namespace {

// Linux path of this run's sandbox folder, as the runner hands it over.
std::string SandboxDir()
{
    const char* sandbox = std::getenv("SWEEPORA_SANDBOX");
    return sandbox ? sandbox : "";
}

// A Linux path as Windows sees it through one of Wine's Unix prefixes.
std::string Through(const std::string& prefix, const std::string& linuxPath)
{
    std::string path = prefix + linuxPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Creates a file there and removes it again; true when that was possible.
bool CanCreateFile(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);
    DeleteFileA(path.c_str());
    return true;
}

// Names in a folder, "." and ".." left out; folders only when dirsOnly.
std::vector<std::string> Listing(const std::string& dir, bool dirsOnly = false)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (dirsOnly && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// Linux folders beside the sandbox that a way out would write into: the folders
// above it and every folder next to it or next to those (other runs' sandboxes,
// the template, the build output), the sandbox itself left out.
std::vector<std::string> PlacesBesideTheSandbox(const std::string& prefix)
{
    std::vector<std::string> places;
    std::string inner = SandboxDir();
    for (int level = 0; level < 3; ++level) {
        const std::string outer = inner.substr(0, inner.find_last_of('/'));
        places.push_back(outer);
        for (const std::string& name : Listing(Through(prefix, outer), true)) {
            const std::string place = outer + "/" + name;
            if (place != inner) places.push_back(place);
        }
        inner = outer;
    }
    return places;
}

const char* const kUnixPrefixes[] = {"\\\\?\\unix", "\\\\.\\unix"};

} // namespace

TEST(Sandbox, OnlyTheSandboxDrivesExistAndTheProgramFolderIsReadOnly)
{
    // C: is the prefix, D: the build output the program was started from.
    EXPECT_EQ(GetLogicalDrives(), (1u << ('C' - 'A')) | (1u << ('D' - 'A')));
    EXPECT_EQ(GetDriveTypeA("Z:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_TRUE(FileExists("D:\\sandbox_tests.exe"));
    EXPECT_FALSE(CanCreateFile("D:\\written-by-a-test.txt"));
    EXPECT_TRUE(CanCreateFile("C:\\work\\written-by-a-test.txt"));
}

TEST(Sandbox, CurrentDriveIsThePrefixOfThisSandbox)
{
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    EXPECT_STREQ(dir, "C:\\work");
    // The runner writes the Linux path of the sandbox into its C: root: finding
    // it there proves that the current drive is this sandbox's prefix.
    ASSERT_FALSE(SandboxDir().empty());
    EXPECT_EQ(ReadTextFile("\\sandbox-root.txt"), SandboxDir() + "\n");
}

TEST(Sandbox, ProfileFoldersStayInsideThePrefix)
{
    const struct {
        int csidl;
        const char* name;
    } folders[] = {
        {CSIDL_DESKTOPDIRECTORY, "Desktop"}, {CSIDL_PERSONAL, "Documents"},  {CSIDL_MYPICTURES, "Pictures"},
        {CSIDL_MYMUSIC, "Music"},            {CSIDL_MYVIDEO, "Videos"},      {CSIDL_APPDATA, "AppData"},
        {CSIDL_LOCAL_APPDATA, "Local AppData"}, {CSIDL_TEMPLATES, "Templates"}, {CSIDL_STARTUP, "Startup"},
    };
    for (const auto& f : folders) {
        SCOPED_TRACE(f.name);
        char path[MAX_PATH] = {};
        ASSERT_EQ(SHGetFolderPathA(nullptr, f.csidl | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
        EXPECT_EQ(std::string(path).substr(0, 3), "C:\\") << path;
        // No folder on the way may be a link (Wine shows a Unix symlink as a
        // reparse point): a link could lead into the caller's home.
        std::string walk = path;
        while (walk.size() > 3) {
            DWORD attributes = GetFileAttributesA(walk.c_str());
            ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << walk;
            EXPECT_EQ(attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u) << walk;
            walk.erase(walk.find_last_of('\\'));
        }
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(std::string(temp).substr(0, 3), "C:\\") << temp;
}

TEST(Sandbox, UnixPathsReachNothingButTheSandbox)
{
    const std::string sandbox = SandboxDir();
    ASSERT_FALSE(sandbox.empty());
    for (const char* prefix : kUnixPrefixes) {
        SCOPED_TRACE(prefix);
        // The route is open: the sandbox itself is written through it.
        EXPECT_TRUE(CanCreateFile(Through(prefix, sandbox + "/prefix/drive_c/work/through-unix.txt")));
        std::vector<std::string> places = PlacesBesideTheSandbox(prefix);
        ASSERT_GE(places.size(), 4u);
        places.insert(places.end(), {"/etc", "/usr/bin", "/"});
        for (const std::string& place : places)
            EXPECT_FALSE(CanCreateFile(Through(prefix, place + "/written-from-the-sandbox.txt"))) << place;
        // The home folders are there, and empty.
        for (const char* home : {"/root", "/home"}) {
            EXPECT_NE(GetFileAttributesA(Through(prefix, home).c_str()), INVALID_FILE_ATTRIBUTES) << home;
            EXPECT_EQ(Listing(Through(prefix, home)), std::vector<std::string>{}) << home;
        }
        // The first process of the PID namespace is the runner, not the machine's init.
        EXPECT_NE(ReadTextFile(Through(prefix, "/proc/1/cmdline")).find("wine-run"), std::string::npos);
    }
}

namespace {

// The mount manager's request to map a drive letter to a Linux folder: the
// layout Wine's mount manager reads, strings after the fixed part.
struct UnixDriveRequest {
    ULONG Size;
    ULONG Type;
    ULONG FsType;
    DWORD Serial;
    ULONGLONG UnixDevice;
    WCHAR Letter;
    USHORT MountPointOffset; // Linux path, 8-bit characters
    USHORT DeviceOffset;
    USHORT LabelOffset;
};
const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// Asks the mount manager to map the letter to the Linux folder (nullptr: unmap).
bool DefineUnixDrive(char letter, const char* linuxFolder)
{
    std::vector<char> buffer(sizeof(UnixDriveRequest) + (linuxFolder ? lstrlenA(linuxFolder) + 1 : 0));
    auto* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
    request->Size = static_cast<ULONG>(buffer.size());
    request->Type = linuxFolder ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
    request->Letter = static_cast<WCHAR>(letter);
    if (linuxFolder) {
        request->MountPointOffset = sizeof(UnixDriveRequest);
        lstrcpyA(buffer.data() + sizeof(UnixDriveRequest), linuxFolder);
    }
    HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                              0, &returned, nullptr);
    CloseHandle(manager);
    return ok != FALSE;
}

} // namespace

TEST(Sandbox, DrivesFromTheMountManagerStayInside)
{
    const std::string sandbox = SandboxDir();
    ASSERT_FALSE(sandbox.empty());
    // The request is understood: a drive onto a folder of the sandbox appears.
    ASSERT_TRUE(DefineUnixDrive('x', (sandbox + "/prefix/drive_c/work").c_str()));
    EXPECT_TRUE(GetLogicalDrives() & (1u << ('X' - 'A')));
    EXPECT_TRUE(CanCreateFile("X:\\through-a-new-drive.txt"));
    DefineUnixDrive('x', nullptr);

    // A drive onto the Linux root is refused, or leads nowhere outside.
    if (DefineUnixDrive('y', "/")) {
        EXPECT_TRUE(GetLogicalDrives() & (1u << ('Y' - 'A')));
        for (const std::string& place : PlacesBesideTheSandbox("Y:"))
            EXPECT_FALSE(CanCreateFile(Through("Y:", place + "/written-from-the-sandbox.txt"))) << place;
        EXPECT_FALSE(CanCreateFile("Y:\\etc\\written-from-the-sandbox.txt"));
        EXPECT_EQ(Listing("Y:\\root"), std::vector<std::string>{});
        EXPECT_EQ(Listing("Y:\\home"), std::vector<std::string>{});
        DefineUnixDrive('y', nullptr);
    }
    EXPECT_EQ(GetLogicalDrives(), (1u << ('C' - 'A')) | (1u << ('D' - 'A')));
}

TEST(Sandbox, ALinuxProgramStartedFromHereStaysInside)
{
    const std::string sandbox = SandboxDir();
    ASSERT_FALSE(sandbox.empty());
    const std::string result = sandbox + "/prefix/drive_c/work/linux-program.txt";
    std::string beside;
    for (const std::string& place : PlacesBesideTheSandbox("\\\\?\\unix")) beside += " '" + place + "'";
    // Wine starts a Linux executable natively, at once. The shell reports what
    // it could do, one "key=value" line each, in a file of the sandbox.
    const std::string script =
        "{ echo uid=$(id -u);"
        "  for d in" + beside + " /etc /usr/bin /; do"
        "    touch \"$d/written-from-the-sandbox.txt\" 2>/dev/null && echo escaped=$d"
        "      && rm -f \"$d/written-from-the-sandbox.txt\"; done;"
        "  echo root=$(ls -A /root | wc -l); echo home=$(ls -A /home | wc -l);"
        "  grep -E '^(CapEff|CapBnd|NoNewPrivs):' /proc/self/status | tr -d ' \t' | tr : =;"
        "  echo init=$(tr '\\000' ' ' </proc/1/cmdline);"
        "  echo terminal=$(cut -d' ' -f7 /proc/self/stat);"
        "  echo end=1; } >'" + result + ".part' 2>/dev/null; mv '" + result + ".part' '" + result + "'";
    ASSERT_TRUE(StartLinuxShell(script));

    const std::string resultFile = "C:\\work\\linux-program.txt";
    ASSERT_TRUE(WaitUntil([&] { return FileExists(resultFile); }));
    std::multimap<std::string, std::string> report;
    std::istringstream lines(ReadTextFile(resultFile));
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) report.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    ASSERT_EQ(report.count("end"), 1u);
    // Not root, no capability and no way to gain one: nothing hidden can be
    // uncovered, nothing remounted, nothing outside signalled. No controlling
    // terminal to push keystrokes into. (Asked, not tried: run without the
    // sandbox, trying would change the machine.)
    const std::map<std::string, std::string> expected = {{"CapEff", "0000000000000000"},
                                                         {"CapBnd", "0000000000000000"},
                                                         {"NoNewPrivs", "1"},
                                                         {"terminal", "0"}};
    for (const auto& e : expected) {
        ASSERT_EQ(report.count(e.first), 1u) << e.first;
        EXPECT_EQ(report.find(e.first)->second, e.second) << e.first;
    }
    ASSERT_EQ(report.count("uid"), 1u);
    EXPECT_NE(report.find("uid")->second, "0");
    auto escapes = report.equal_range("escaped");
    for (auto it = escapes.first; it != escapes.second; ++it) ADD_FAILURE() << "written: " << it->second;
    EXPECT_EQ(report.find("root")->second, "0");
    EXPECT_EQ(report.find("home")->second, "0");
    EXPECT_NE(report.find("init")->second.find("wine-run"), std::string::npos) << report.find("init")->second;
}
