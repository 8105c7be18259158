// The real Ghostprobe.exe, started in the sandbox the way the main program
// starts it, over Uninstall entries seeded for each case.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
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
        RegSetString(HKEY_LOCAL_MACHINE, Entry(name), "DisplayName", name);
        RegSetString(HKEY_LOCAL_MACHINE, Entry(name), "UninstallString", command, type);
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

TEST_F(GhostprobeTest, NonStringCommandStopsTheRunWithTheExceptionBox)
{
    AddEntry("a first", kUninstaller);
    RegSetString(HKEY_LOCAL_MACHINE, Entry("b number"), "DisplayName", "b number");
    RegSetDword(HKEY_LOCAL_MACHINE, Entry("b number"), "UninstallString", 7);
    AddEntry("c after", kUninstaller);
    AddEntry("d after", "C:\\work\\gone.exe");
    Helpers helpers;
    helpers.Start("C:\\work\\a\\ntvdm.exe");

    Child probe("Ghostprobe.exe");
    ASSERT_TRUE(probe.Started());
    HWND box = WaitForWindowOf(probe.Pid(), "#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Ghostprobe");
    // The message ends in "'", which is not greater than ".": no dot is added.
    EXPECT_EQ(StaticTexts(box), std::vector<std::string>{"Invalid data type for 'UninstallString'"});
    HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WindowText(ok), "OK");
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_TRUE(probe.Running()); // the box holds the run
    PostMessageA(box, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(ok));
    EXPECT_EQ(probe.Wait(), 0u);

    // Verdicts follow the registry's enumeration order: those before the
    // failing entry stay, none come after it.
    Values expected;
    bool before = true;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        HKEY key;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstall, 0, KEY_READ, &key);
        LONG rc = RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) break;
        if (std::string(name) == "b number") before = false;
        if (before) expected[name] = std::string(name) == "d after" ? "0" : "1";
    }
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), expected);
    // The process pass did not run.
    EXPECT_TRUE(helpers[0].Running());
    EXPECT_FALSE(UninstallerRan());
}

} // namespace
