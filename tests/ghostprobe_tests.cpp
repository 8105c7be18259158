// The real Ghostprobe.exe, started in the sandbox the way the main program
// starts it, over Uninstall entries seeded for each case.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace testsupport;

namespace {

const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kTarsk[] = "Software\\Classes\\tarsk";
const char kPhantom[] = "Software\\Classes\\tarsk\\Phantom";

const char kAppsDir[] = "C:\\work\\apps";
const char kUninstaller[] = "C:\\work\\apps\\uninst.exe";
const char kSpacedUninstaller[] = "C:\\work\\Program Files\\My App\\uninst.exe";

using Values = std::map<std::string, std::string>;

std::string Entry(const std::string& name)
{
    return std::string(kUninstall) + "\\" + name;
}

class GhostprobeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstall);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kTarsk);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPhantom, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstall, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        CopyProgram("fake_uninstaller", kUninstaller);
        CopyProgram("fake_uninstaller", kSpacedUninstaller);
        DeleteFileA((std::string(kUninstaller) + ".ran").c_str());
        DeleteFileA((std::string(kSpacedUninstaller) + ".ran").c_str());
    }

    static void AddEntry(const std::string& name, const std::string& command, DWORD type = REG_SZ)
    {
        AddRawEntry(name, type, command.c_str(), static_cast<DWORD>(command.size() + 1));
    }
    // The entry is made relative to the Uninstall key, so that names of up to
    // 255 characters can be made at all.
    static void AddRawEntry(const std::string& name, DWORD type, const void* command, DWORD size)
    {
        HKEY uninstall, entry;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstall, 0, KEY_ALL_ACCESS, &uninstall), ERROR_SUCCESS);
        ASSERT_EQ(RegCreateKeyExA(uninstall, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(entry, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                       static_cast<DWORD>(name.size() + 1));
        RegSetValueExA(entry, "UninstallString", 0, type, static_cast<const BYTE*>(command), size);
        RegCloseKey(entry);
        RegCloseKey(uninstall);
    }

    // Starts Ghostprobe as the main program does (the bare name, found beside
    // the starting program) and waits for its end; returns its exit code.
    static DWORD RunGhostprobe()
    {
        Child probe("Ghostprobe.exe");
        EXPECT_TRUE(probe.Started());
        return probe.Wait();
    }

    static bool UninstallerRan()
    {
        return FileExists(std::string(kUninstaller) + ".ran") || FileExists(std::string(kSpacedUninstaller) + ".ran");
    }
};

TEST_F(GhostprobeTest, FakeUninstallerLeavesItsMarkerWhenItRuns)
{
    // Control for the marker: a normal start does run the program.
    Child run(kUninstaller);
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(run.Wait(), 0u);
    EXPECT_TRUE(FileExists(std::string(kUninstaller) + ".ran"));
}

TEST_F(GhostprobeTest, OneVerdictPerEntryWithoutRunningAnyUninstaller)
{
    // The environment reference would name the uninstaller's folder if it were
    // expanded; Ghostprobe passes the command as stored, so it cannot start.
    SetEnvironmentVariableA("SWEEPORA_APPS", kAppsDir);
    AddEntry("Quoted path with switches", "\"" + std::string(kSpacedUninstaller) + "\" /S /remove=all");
    AddEntry("Plain", kUninstaller);
    AddEntry("{5A1B0E7C-0000-4E2D-9C3B-6F1D2E3A4B5C}", kUninstaller);
    AddEntry("Program gone", "C:\\work\\gone\\uninst.exe /S");
    AddEntry("Empty command", "");
    AddEntry("Unexpanded", "%SWEEPORA_APPS%\\uninst.exe", REG_EXPAND_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, Entry("No command"), "DisplayName", "No command");
    RegSetString(HKEY_LOCAL_MACHINE, Entry("Empty key"), "", "");

    EXPECT_EQ(RunGhostprobe(), 0u);

    const Values expected = {
        {"Quoted path with switches", "1"},
        {"Plain", "1"},
        {"{5A1B0E7C-0000-4E2D-9C3B-6F1D2E3A4B5C}", "1"},
        {"Program gone", "0"},
        {"Empty command", "0"},
        {"Unexpanded", "0"},
        {"No command", "2"},
        {"Empty key", "2"},
    };
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), expected);
    EXPECT_FALSE(UninstallerRan());
    // Nothing was written anywhere but the Phantom key.
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, Entry("No command")), (Values{{"DisplayName", "No command"}}));
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kUninstall), Values{});
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kTarsk), Values{});
}

TEST_F(GhostprobeTest, OverwritesVerdictsKeepsThoseOfVanishedEntriesAndRepeats)
{
    AddEntry("Works", kUninstaller);
    AddEntry("Gone", "C:\\work\\gone.exe");
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Works", "0");
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Vanished entry", "1");
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Vanished phantom", "0");
    const Values expected = {{"Works", "1"}, {"Gone", "0"}, {"Vanished entry", "1"}, {"Vanished phantom", "0"}};

    EXPECT_EQ(RunGhostprobe(), 0u);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), expected);
    EXPECT_EQ(RunGhostprobe(), 0u);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), expected);
    EXPECT_FALSE(UninstallerRan());
}

TEST_F(GhostprobeTest, NoEntriesOrNoUninstallKeyWritesNothing)
{
    EXPECT_EQ(RunGhostprobe(), 0u);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), Values{});
    RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstall);
    EXPECT_EQ(RunGhostprobe(), 0u);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), Values{});
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kUninstall));
}

// Long-running helpers started under the given names.
class Helpers {
public:
    void Start(const std::string& path)
    {
        CopyProgram("longrun", path);
        FChildren.emplace_back(new Child("\"" + path + "\""));
        ASSERT_TRUE(FChildren.back()->Started()) << path;
    }
    Child& operator[](size_t i) { return *FChildren[i]; }
    ~Helpers()
    {
        for (Child* c : FChildren) delete c;
    }

private:
    std::vector<Child*> FChildren;
};

// The names the system's process list shows, as they are.
std::vector<std::string> ProcessNames()
{
    std::vector<std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
        names.push_back(entry.szExeFile);
    CloseHandle(snapshot);
    return names;
}

TEST_F(GhostprobeTest, EndsEveryNtvdmWhateverItsCaseAndNothingElse)
{
    AddEntry("Works", kUninstaller);
    Helpers helpers;
    helpers.Start("C:\\work\\a\\ntvdm.exe");
    helpers.Start("C:\\work\\b\\NTVDM.EXE");
    helpers.Start("C:\\work\\c\\other.exe");
    helpers.Start("C:\\work\\d\\ntvdm.exe.exe");
    helpers.Start("C:\\work\\e\\xntvdm.exe");
    // The mixed-case name must reach the process list as written, or the
    // case test would prove nothing.
    std::vector<std::string> names = ProcessNames();
    ASSERT_NE(std::find(names.begin(), names.end(), "NTVDM.EXE"), names.end());

    EXPECT_EQ(RunGhostprobe(), 0u);

    EXPECT_EQ(helpers[0].Wait(30000), 1u);
    EXPECT_EQ(helpers[1].Wait(30000), 1u);
    EXPECT_TRUE(helpers[2].Running());
    EXPECT_TRUE(helpers[3].Running());
    EXPECT_TRUE(helpers[4].Running());
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), (Values{{"Works", "1"}}));
}

TEST_F(GhostprobeTest, MissingPhantomKeyIsNeverCreatedNorWrittenElsewhere)
{
    AddEntry("Works", kUninstaller);
    AddEntry("Gone", "C:\\work\\gone.exe");
    RegSetString(HKEY_LOCAL_MACHINE, Entry("No command"), "DisplayName", "No command");
    RegDeleteTree(HKEY_LOCAL_MACHINE, kTarsk);
    Helpers helpers;
    helpers.Start("C:\\work\\a\\ntvdm.exe");

    EXPECT_EQ(RunGhostprobe(), 0u);

    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kTarsk));
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, Entry("Works")),
              (Values{{"DisplayName", "Works"}, {"UninstallString", kUninstaller}}));
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, Entry("Gone")),
              (Values{{"DisplayName", "Gone"}, {"UninstallString", "C:\\work\\gone.exe"}}));
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, Entry("No command")), (Values{{"DisplayName", "No command"}}));
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kUninstall), Values{});
    // Skipped verdicts do not stop the run: the process pass still ends ntvdm.
    EXPECT_EQ(helpers[0].Wait(30000), 1u);
}

TEST_F(GhostprobeTest, NonStringCommandsCannotStartAndTheRunGoesOn)
{
    const std::string command = kUninstaller;
    const DWORD number = 7;
    const std::string list = command + '\0' + command + '\0';
    AddEntry("a first", kUninstaller);
    AddRawEntry("b number", REG_DWORD, &number, sizeof number);
    AddRawEntry("c bytes", REG_BINARY, command.c_str(), static_cast<DWORD>(command.size() + 1));
    AddRawEntry("d list", REG_MULTI_SZ, list.c_str(), static_cast<DWORD>(list.size() + 1));
    AddEntry("e after", kUninstaller);
    AddEntry("f after", "C:\\work\\gone.exe");
    RegSetString(HKEY_LOCAL_MACHINE, Entry("g no command"), "DisplayName", "g no command");
    Helpers helpers;
    helpers.Start("C:\\work\\a\\ntvdm.exe");

    // No box holds the run: Ghostprobe ends by itself.
    EXPECT_EQ(RunGhostprobe(), 0u);

    const Values expected = {{"a first", "1"}, {"b number", "0"}, {"c bytes", "0"},     {"d list", "0"},
                             {"e after", "1"}, {"f after", "0"},  {"g no command", "2"}};
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), expected);
    // The process pass ran.
    EXPECT_EQ(helpers[0].Wait(30000), 1u);
    EXPECT_FALSE(UninstallerRan());
}

TEST_F(GhostprobeTest, EntriesWithTheLongestNamesAreTested)
{
    // 209 characters and more made the entry's full path too long to open.
    const std::string longest(255, 'L');
    const std::string over209 = std::string(209, 'M');
    AddEntry(longest, kUninstaller);
    AddEntry(over209, "C:\\work\\gone.exe");
    AddRawEntry(std::string(230, 'N'), REG_SZ, "", 0);

    EXPECT_EQ(RunGhostprobe(), 0u);

    const Values expected = {{longest, "1"}, {over209, "0"}, {std::string(230, 'N'), "0"}};
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), expected);
    EXPECT_FALSE(UninstallerRan());
}

// Linux programs and scripts in the sandbox, which Wine would start natively
// (at once, suspended or not). Each appends its arguments to one log.
class LinuxProgramTest : public GhostprobeTest {
protected:
    static std::string Log() { return FileExists(kLog) ? ReadTextFile(kLog) : ""; }

    void SetUp() override
    {
        GhostprobeTest::SetUp();
        DeleteFileA(kLog);
        // The logger, made executable for Linux by a Linux shell (a Windows
        // program cannot set that mode on a file without the ".exe" extension).
        const std::string logger = "C:\\work\\apps\\logger.txt";
        MakeDirs(logger, true);
        HANDLE f = CreateFileA(logger.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        const std::string script = "#!/bin/sh\necho \"$*\" >>'" + SandboxLinuxPath(kLog) + "'\n";
        DWORD written = 0;
        WriteFile(f, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
        CloseHandle(f);
        std::string copies = "true";
        for (const char* path : {"C:\\work\\apps\\script.exe", "C:\\work\\apps\\tool", "C:\\work\\Program"})
            copies += " && cp '" + SandboxLinuxPath(logger) + "' '" + SandboxLinuxPath(path) + "' && chmod 755 '" +
                      SandboxLinuxPath(path) + "'";
        ASSERT_TRUE(RunLinuxShell(copies));
    }

    static constexpr const char* kLog = "C:\\work\\linux-programs.log";
};

TEST_F(LinuxProgramTest, OnlyWindowsProgramsAreStarted)
{
    const std::string shell = "\\\\?\\unix\\bin\\sh -c \"echo $0 >>'" + SandboxLinuxPath(kLog) + "'\"";
    // Command lines that make Wine run a Linux program, each given a last word:
    // "probe" in the entries, "control" when started directly below.
    const struct {
        const char* Name;
        std::string Command;
        const char* Verdict;
    } cases[] = {
        {"Linux shell", shell, "0"},
        {"Quoted Linux shell", "\"\\\\?\\unix\\bin\\sh\" -c \"echo $0 >>'" + SandboxLinuxPath(kLog) + "'\"", "0"},
        {"Linux script named .exe", "C:\\work\\apps\\script.exe", "0"},
        {"Linux program without extension", "C:\\work\\apps\\tool", "0"},
        // Windows reads the unquoted path up to each blank with ".exe" added,
        // so it finds the uninstaller; Wine also tries C:\work\Program as it is.
        {"Blank after a Linux program's name", kSpacedUninstaller, "1"},
    };
    for (const auto& c : cases) AddEntry(c.Name, c.Command + " probe");
    // A file that is no program, and batch files, which start through the
    // command interpreter (suspended: the batch never runs).
    HANDLE f = CreateFileA("C:\\work\\apps\\notes.exe", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    for (const char* batch : {"C:\\work\\apps\\uninst.bat", "C:\\work\\apps\\uninst.cmd"}) {
        f = CreateFileA(batch, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const std::string text = "echo ran> " + std::string(batch) + ".ran\r\n";
        DWORD written = 0;
        WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(f);
    }
    AddEntry("Text renamed .exe", "C:\\work\\apps\\notes.exe");
    AddEntry("Batch file", "C:\\work\\apps\\uninst.bat /S");
    AddEntry("Command file", "\"C:\\work\\apps\\uninst.cmd\"");
    AddEntry("Windows program", kUninstaller);

    EXPECT_EQ(RunGhostprobe(), 0u);

    Values expected = {{"Text renamed .exe", "0"}, {"Batch file", "1"}, {"Command file", "1"}, {"Windows program", "1"}};
    for (const auto& c : cases) expected[c.Name] = c.Verdict;
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), expected);
    EXPECT_FALSE(UninstallerRan());
    EXPECT_FALSE(FileExists("C:\\work\\apps\\uninst.bat.ran"));
    EXPECT_FALSE(FileExists("C:\\work\\apps\\uninst.cmd.ran"));

    // Control: started directly, each of these command lines does run a Linux
    // program under Wine. Once all of them have logged, nothing that Ghostprobe
    // might have started earlier is still on its way.
    for (const auto& c : cases) {
        std::string line = c.Command + " control";
        line.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << c.Name;
        if (pi.hProcess) CloseHandle(pi.hProcess);
        if (pi.hThread) CloseHandle(pi.hThread);
    }
    const auto controls = [] {
        const std::string log = Log();
        size_t count = 0;
        for (size_t at = log.find("control"); at != std::string::npos; at = log.find("control", at + 1)) ++count;
        return count;
    };
    EXPECT_TRUE(WaitUntil([&] { return controls() == std::size(cases); })) << Log();
    EXPECT_EQ(Log().find("probe"), std::string::npos) << Log();
}

} // namespace
