// Folder cleaning and restart-time deletion, in folders of the prefix's C:
// drive: exactly the chosen entries go; what is in use or read-only is left
// for the next start of Windows ("nul=" lines of "wininit.ini" in Sweepora98,
// the system's delayed deletion in SweeporaXP); links are never followed; a
// folder that is no target is never cleaned; and a simulated restart
// (wineboot -r) deletes what was scheduled and nothing else.
//
// Every test works in a folder of its own under C:\work\clean and never
// removes it: the links made by the tests cannot be removed under Wine
// without touching what they point to.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "ProgramBoxes.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

using testsupport::FileExists; // not the framework's

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kCouldNotOpen[] = "The application could not open\nthe file wininit.ini";

std::string Upper(std::string text)
{
    CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string WindowsDir()
{
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string SystemDir()
{
    char path[MAX_PATH];
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

std::string ProfileDir()
{
    char path[MAX_PATH] = "";
    GetEnvironmentVariableA("USERPROFILE", path, MAX_PATH);
    return path;
}

std::string WininitPath()
{
    return WindowsDir() + "\\wininit.ini";
}

std::string TempDir()
{
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
}

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = "";
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length != 0 && length < MAX_PATH ? shortPath : "";
}

// The long form of an existing path, upper-cased; the path itself (upper-
// cased) when the system gives none.
std::string LongUpper(const std::string& path)
{
    char longPath[MAX_PATH] = "";
    DWORD length = GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
    return Upper(length != 0 && length < MAX_PATH ? longPath : path);
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    MakeDirs(path, true);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void Seed(const std::string& path)
{
    if (path.back() == '\\')
        MakeDirs(path.substr(0, path.size() - 1));
    else
        WriteFile(path, "trace of " + path);
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What each edition leaves for the next start of Windows, as upper-cased
// long paths in the order written.
std::vector<std::string> Scheduled()
{
    std::vector<std::string> paths;
#ifdef Edition98
    if (!FileExists(WininitPath())) return paths;
    std::string text = ReadTextFile(WininitPath());
    bool inRename = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') inRename = Upper(line) == "[RENAME]";
        if (inRename && Upper(line.substr(0, 4)) == "NUL=") paths.push_back(LongUpper(line.substr(4)));
    }
#else
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return paths;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size()), type = 0;
    LONG rc = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return paths;
    std::vector<std::string> strings;
    for (size_t i = 0; i < size; i += strings.back().size() + 1) strings.emplace_back(&data[i]);
    for (size_t i = 0; i + 1 < strings.size() && !strings[i].empty(); i += 2) {
        EXPECT_EQ(strings[i + 1], "") << "a rename, not a deletion: " << strings[i];
        std::string path = strings[i].compare(0, 4, "\\??\\") == 0 ? strings[i].substr(4) : strings[i];
        paths.push_back(LongUpper(path));
    }
#endif
    return paths;
}

void ForgetScheduled()
{
    DeleteFileA(WininitPath().c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "PendingFileRenameOperations");
        RegCloseKey(key);
    }
}

#ifdef Edition98
std::vector<std::string> TempCopies()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((TempDir() + "qln*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}
#endif

// Files held open, as a program working on them holds them: nobody else may
// read, write or delete them until the holder ends.
class Holder {
public:
    explicit Holder(const std::vector<std::string>& paths, bool othersMayRead = false)
    {
        const char name[] = "SweeporaCleaningHold";
        FReady = CreateEventA(nullptr, TRUE, FALSE, name);
        std::string line = "\"" + ProgramDir() + "\\holdfile.exe\" " + name;
        if (othersMayRead) line += " --share-read";
        for (const std::string& path : paths) line += " \"" + path + "\"";
        FChild = std::make_unique<Child>(line);
        Ready = FChild->Started() && WaitForSingleObject(FReady, 30000) == WAIT_OBJECT_0;
    }
    ~Holder() { CloseHandle(FReady); }
    // As at a restart: every handle goes with its process.
    void End() { FChild.reset(); }
    bool Ready = false;

private:
    HANDLE FReady;
    std::unique_ptr<Child> FChild;
};

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// What the link tests put behind their links, and all they may find there.
bool IsCanaryName(const std::string& name)
{
    return name == "canary.txt" || name == "inner";
}

// A Unix symbolic link at path, to the sandbox's Desktop folder ($HOME of
// the sandbox + "/Desktop"): Wine's shell makes one where a Desktop folder it
// is asked to create does not exist yet. Windows programs cannot make links
// under Wine 8 otherwise (CreateSymbolicLinkA does nothing, reparse points
// are not supported). Without that Desktop folder Wine would link to $HOME
// itself, so a link that shows anything but the canaries fails the test
// before anything is cleaned.
void MakeLinkToSandboxDesktop(const std::string& path)
{
    MakeDirs(path, true);
    std::map<std::string, std::string> saved = RegValues(HKEY_CURRENT_USER, kUserShellFolders);
    RegSetString(HKEY_CURRENT_USER, kUserShellFolders, "Desktop", path, REG_EXPAND_SZ);
    char made[MAX_PATH] = "";
    HRESULT hr = SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr, 0, made);
    if (saved.count("Desktop"))
        RegSetString(HKEY_CURRENT_USER, kUserShellFolders, "Desktop", saved["Desktop"], REG_EXPAND_SZ);
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(GetFileAttributesA(path.c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        << path << " is no link";
    for (const std::string& name : Listing(path))
        ASSERT_TRUE(IsCanaryName(name)) << path << " leads to a folder of others: " << name;
}

// Runs wineboot as Windows starts after a restart: it carries out
// "wininit.ini" and the delayed list.
void SimulateRestart()
{
    Child boot("wineboot.exe -r");
    ASSERT_TRUE(boot.Started());
    ASSERT_EQ(boot.Wait(120000), 0u);
}

class Cleaning : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetScheduled();
        Form = CreateMainWindow(false);
        Dir = "C:\\work\\clean\\" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
        MakeDirs(Dir);
    }
    void TearDown() override { FreeMainWindow(Form); }

    // The edition's folder routine; no box may come.
    int Clean(const std::string& folder, const std::string& mask)
    {
        int result = -1;
        BoxWatch watch;
        watch.Run([&] {
#ifdef Edition98
            result = Form->CleanFolderWithWininit(folder, mask);
#else
            result = Form->CleanFolder(folder, mask);
#endif
        });
        EXPECT_EQ(watch.Shown(), 0) << watch.Boxes.front().Text;
        return result;
    }

    // A folder of this test, made new.
    std::string Case(const std::string& name)
    {
        std::string path = Dir + "\\" + name;
        EXPECT_FALSE(FileExists(path)) << "used twice: " << path;
        MakeDirs(path);
        return path;
    }

    TForm1* Form = nullptr;
    std::string Dir;
};

// A target with the usual traces in it and canaries beside and behind it.
const std::vector<std::string> kTraces = {
    "a.txt", "cookies.txt", "Long File Name.html", "x.s", "y.s\\", "y.s\\inner.txt", "sub\\",
    "sub\\c.txt", "sub\\cookies.txt", "sub\\deeper\\", "sub\\deeper\\d.txt", "sub\\empty\\", "hidden.tmp",
    "system.tmp", "no extension"};

TEST_F(Cleaning, DeletesExactlyTheEntriesTheMaskChooses)
{
    const struct {
        const char* Name;
        const char* Mask;
        std::set<std::string> Deleted; // entries of kTraces
    } cases[] = {
        {"all", "*.*",
         {"a.txt", "cookies.txt", "Long File Name.html", "x.s", "y.s\\", "y.s\\inner.txt", "sub\\", "sub\\c.txt",
          "sub\\cookies.txt", "sub\\deeper\\", "sub\\deeper\\d.txt", "sub\\empty\\", "hidden.tmp", "system.tmp",
          "no extension"}},
        // The mask chooses at the first level only; a folder it matches goes whole.
        {"one file", "cookies.txt", {"cookies.txt"}},
        {"files and a folder", "*.s", {"x.s", "y.s\\", "y.s\\inner.txt"}},
        {"a folder", "sub", {"sub\\", "sub\\c.txt", "sub\\cookies.txt", "sub\\deeper\\", "sub\\deeper\\d.txt",
                             "sub\\empty\\"}},
        {"a long name", "Long File Name.html", {"Long File Name.html"}},
        {"nothing matches", "missing.txt", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string target = Case(c.Name);
        for (const std::string& entry : kTraces) Seed(target + "\\" + entry);
        SetFileAttributesA((target + "\\hidden.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA((target + "\\system.tmp").c_str(), FILE_ATTRIBUTE_SYSTEM);
        // Beside: a sibling of the same name start and of the same entries;
        // behind: the parent's own entries.
        const std::vector<std::string> canaries = {target + "-beside.txt", target + " 2\\cookies.txt",
                                                   target + " 2\\sub\\c.txt", Dir + "\\cookies.txt"};
        for (const std::string& canary : canaries) Seed(canary);

        EXPECT_EQ(Clean(target, c.Mask), 1);
        for (const std::string& entry : kTraces)
            EXPECT_EQ(FileExists(target + "\\" + entry), c.Deleted.count(entry) == 0) << entry;
        EXPECT_TRUE(IsFolder(target)) << "the folder given is never removed";
        for (const std::string& canary : canaries) EXPECT_TRUE(FileExists(canary)) << canary;
        EXPECT_EQ(Scheduled(), std::vector<std::string>{});
    }
}

TEST_F(Cleaning, TheFolderMayEndWithABackslashOrBeMissing)
{
    std::string target = Case("temp");
    Seed(target + "\\a.tmp");
    Seed(target + "\\sub\\b.tmp");
    // As GetTempPathA gives it: the search pattern then holds "\\".
    EXPECT_EQ(Clean(target + "\\", "*.*"), 1);
    EXPECT_EQ(Listing(target), std::vector<std::string>{});
    EXPECT_EQ(Clean(Dir + "\\missing", "*.*"), 1);
    EXPECT_FALSE(FileExists(Dir + "\\missing"));
    EXPECT_EQ(Scheduled(), std::vector<std::string>{});
}

TEST_F(Cleaning, WhatCannotGoNowIsLeftForTheRestartInWalkOrder)
{
    std::string target = Case("in use");
    const std::string held = target + "\\held\\in use.dat", heldLong = target + "\\Long Folder Name\\Held Long Name.dat",
                      readOnly = target + "\\Read Only.txt";
    for (const std::string& entry : {held, heldLong, readOnly, target + "\\held\\free.txt", target + "\\plain.txt",
                                     target + "\\Long Folder Name\\free.txt"})
        Seed(entry);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    Holder holder({held, heldLong});
    ASSERT_TRUE(holder.Ready);

    EXPECT_EQ(Clean(target, "*.*"), 0);

    EXPECT_EQ(Listing(target), (std::vector<std::string>{"Long Folder Name", "Read Only.txt", "held"}));
    EXPECT_EQ(Listing(target + "\\held"), std::vector<std::string>{"in use.dat"});
    EXPECT_EQ(Listing(target + "\\Long Folder Name"), std::vector<std::string>{"Held Long Name.dat"});
    std::vector<std::string> scheduled = Scheduled();
    std::vector<std::string> expected = {Upper(held), Upper(target + "\\held"), Upper(heldLong),
                                         Upper(target + "\\Long Folder Name"), Upper(readOnly)};
    EXPECT_EQ(std::set<std::string>(scheduled.begin(), scheduled.end()),
              std::set<std::string>(expected.begin(), expected.end()));
    EXPECT_EQ(scheduled.size(), expected.size());
    // A file's line comes before the line of its folder.
    auto at = [&](const std::string& path) { return std::find(scheduled.begin(), scheduled.end(), Upper(path)); };
    EXPECT_LT(at(held), at(target + "\\held"));
    EXPECT_LT(at(heldLong), at(target + "\\Long Folder Name"));
}

#ifdef Edition98
TEST_F(Cleaning, LinesAreWrittenByTheShortPathDirectlyUnderTheHeader)
{
    std::string target = Case("short");
    const std::string held = target + "\\Long Folder Name\\Held Long Name.dat";
    Seed(held);
    Holder holder({held});
    ASSERT_TRUE(holder.Ready);
    EXPECT_EQ(Clean(target, "*.*"), 0);
    std::string shortFile = ShortPath(held), shortFolder = ShortPath(target + "\\Long Folder Name");
    ASSERT_NE(shortFile, Upper(held)) << "the name has a short form of its own";
    EXPECT_EQ(ReadTextFile(WininitPath()), "[rename]\r\nnul=" + shortFile + "\r\nnul=" + shortFolder + "\r\n");
}

TEST_F(Cleaning, WininitIniKeepsEveryOldLineAndGetsTheNewOnesUnderItsHeader)
{
    const std::string longLine = "; " + std::string(250, 'l'), hundred = std::string(100, 'h'),
                      fakeHeader = std::string(100, 'f') + "[rename]";
    const struct {
        const char* Name;
        std::optional<std::string> Before;
        std::string After; // "@" stands for the lines of the call
    } cases[] = {
        {"no file", std::nullopt, "[rename]\r\n@"},
        {"empty file", "", "[rename]\r\n@"},
        {"other sections around the section",
         "[Other]\r\nx=y\r\n[rename]\r\nC:\\NEW.TXT=C:\\OLD.TXT\r\nnul=C:\\OLDER.TMP\r\n[Last]\r\nz=1\r\n",
         "[Other]\r\nx=y\r\n[rename]\r\n@C:\\NEW.TXT=C:\\OLD.TXT\r\nnul=C:\\OLDER.TMP\r\n[Last]\r\nz=1\r\n"},
        {"header in capitals", "[RENAME]\r\nnul=C:\\OLDER.TMP\r\n", "[RENAME]\r\n@nul=C:\\OLDER.TMP\r\n"},
        {"header last, without a line end", "[x]\r\na=b\r\n[ReNaMe]", "[x]\r\na=b\r\n[ReNaMe]\r\n@"},
        {"no header", "[x]\r\na=b\r\n", "[x]\r\na=b\r\n[rename]\r\n@"},
        {"no header, no final line end", "[x]\r\na=b", "[x]\r\na=b\r\n[rename]\r\n@"},
        // Lines of 100 characters and more pass in pieces, unchanged; the end
        // of a long line that reads like a header is no header.
        {"long lines",
         "[x]\r\n" + longLine + "\r\n" + hundred + "\r\n" + fakeHeader + "\r\n[rename]\r\n" + longLine,
         "[x]\r\n" + longLine + "\r\n" + hundred + "\r\n" + fakeHeader + "\r\n[rename]\r\n@" + longLine},
        {"two headers", "[rename]\r\na=b\r\n[Rename]\r\nc=d\r\n", "[rename]\r\n@a=b\r\n[Rename]\r\n@c=d\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        DeleteFileA(WininitPath().c_str());
        if (c.Before) WriteFile(WininitPath(), *c.Before);
        std::string target = Case(c.Name);
        const std::string held = target + "\\in use.dat";
        Seed(held);
        Seed(target + "\\free.dat");
        Holder holder({held});
        ASSERT_TRUE(holder.Ready);

        EXPECT_EQ(Clean(target, "*.*"), 0);

        std::string expected = c.After, line = "nul=" + ShortPath(held) + "\r\n";
        for (size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@'))
            expected.replace(at, 1, line);
        EXPECT_EQ(ReadTextFile(WininitPath()), expected);
        EXPECT_FALSE(FileExists(target + "\\free.dat"));
        EXPECT_EQ(TempCopies(), std::vector<std::string>{}) << "the temporary copy stays";
    }
}

TEST_F(Cleaning, ALaterCallsLinesStandAboveTheEarlierOnes)
{
    WriteFile(WininitPath(), "[rename]\r\nnul=C:\\OLDER.TMP\r\n");
    std::string first = Case("first"), second = Case("second"), empty = Case("empty");
    Seed(first + "\\one.dat");
    Seed(second + "\\two.dat");
    Holder holder({first + "\\one.dat", second + "\\two.dat"});
    ASSERT_TRUE(holder.Ready);
    EXPECT_EQ(Clean(first, "*.*"), 0);
    EXPECT_EQ(Clean(second, "*.*"), 0);
    EXPECT_EQ(Clean(empty, "*.*"), 1);
    EXPECT_EQ(ReadTextFile(WininitPath()), "[rename]\r\nnul=" + ShortPath(second + "\\two.dat") + "\r\nnul=" +
                                               ShortPath(first + "\\one.dat") + "\r\nnul=C:\\OLDER.TMP\r\n");
}

// The old "wininit.ini" is never lost: when it cannot be copied, its copy
// cannot be made or read, or it cannot be rewritten, the call deletes
// nothing and leaves the file as it was.
TEST_F(Cleaning, WininitIniThatCannotBeRewrittenSafelyStopsTheCall)
{
    const std::string old = "[Other]\r\nx=y\r\n[rename]\r\nnul=C:\\OLDER.TMP\r\n";
    const struct {
        const char* Name;
        const char* Box; // the program's box, or the system's for a failed copy
    } cases[] = {
        {"no temporary copy can be made", kCouldNotOpen},
        {"wininit.ini in use", "GetLastError"},
        // It can be read and copied, but not opened for writing.
        {"wininit.ini being read", kCouldNotOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string name = c.Name;
        WriteFile(WininitPath(), old);
        std::string target = Case(c.Name);
        Seed(target + "\\trace.dat");
        std::optional<Holder> holder;
        std::string tmp = TempDir();
        if (name == "no temporary copy can be made") {
            SetEnvironmentVariableA("TMP", (Dir + "\\missing").c_str());
            SetEnvironmentVariableA("TEMP", (Dir + "\\missing").c_str());
        } else if (name == "wininit.ini in use") {
            holder.emplace(std::vector<std::string>{WininitPath()});
            ASSERT_TRUE(holder->Ready);
        } else {
            holder.emplace(std::vector<std::string>{WininitPath()}, true);
            ASSERT_TRUE(holder->Ready);
        }

        int result = -1;
        std::string shownText, shownCaption;
        if (std::string(c.Box) == "GetLastError") {
            BoxAnswerer answer;
            result = Form->CleanFolderWithWininit(target, "*.*");
            ASSERT_TRUE(answer.Join());
            shownCaption = answer.Caption;
        } else {
            ShownBox shown = AnswerBox(PressKeys({VK_RETURN}), [&] { result = Form->CleanFolderWithWininit(target, "*.*"); });
            shownText = shown.Text;
            shownCaption = shown.Caption;
            EXPECT_EQ(shownText, std::string("\n") + kCouldNotOpen); // the box starts with an empty line
        }
        SetEnvironmentVariableA("TMP", tmp.c_str());
        SetEnvironmentVariableA("TEMP", tmp.c_str());
        holder.reset();

        EXPECT_EQ(shownCaption, std::string(c.Box) == "GetLastError" ? "GetLastError" : "Error");
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(FileExists(target + "\\trace.dat")) << "deleted without a line for the restart";
        EXPECT_EQ(ReadTextFile(WininitPath()), old);
        EXPECT_EQ(TempCopies(), std::vector<std::string>{});
        EXPECT_EQ(Form->WininitIn, nullptr);
        EXPECT_EQ(Form->WininitOut, nullptr);
    }
}
#else
TEST_F(Cleaning, ASingleFileGoesNowOrAtTheRestart)
{
    std::string target = Case("single");
    const std::string present = target + "\\Opera6.adr", held = target + "\\Global.dat",
                      readOnly = target + "\\Download.dat";
    Seed(present);
    Seed(held);
    Seed(readOnly);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    Holder holder({held});
    ASSERT_TRUE(holder.Ready);
    // A link to a file, and a folder that is a link, lead to canaries.
    const std::string canary = Dir + "\\canary\\Opera.dir", canaryFolder = Dir + "\\canary";
    Seed(canary);
    ASSERT_TRUE(MakeUnixLink(target + "\\Opera.dir", canary));
    ASSERT_TRUE(MakeUnixLink(Dir + "\\linked profile", canaryFolder));
    const struct {
        std::string Path;
        int Result;
        bool Scheduled;
    } cases[] = {
        {present, 1, false},
        {target + "\\missing.dat", 1, false},            // nothing to delete
        {target + "\\missing folder\\Cookies4.dat", 0, true}, // path not found: scheduled
        {held, 0, true},
        {readOnly, 0, true},
        // Left as they are, as missing files would be.
        {target + "\\Opera.dir", 1, false},
        {Dir + "\\linked profile\\Opera.dir", 1, false},
        {Dir + "\\linked profile\\missing folder\\Cookies4.dat", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        ForgetScheduled();
        EXPECT_EQ(Form->DeleteFileNowOrAtRestart(c.Path), c.Result);
        EXPECT_EQ(Scheduled(), c.Scheduled ? std::vector<std::string>{Upper(c.Path)} : std::vector<std::string>{});
    }
    EXPECT_FALSE(FileExists(present));
    EXPECT_TRUE(FileExists(held));
    EXPECT_TRUE(FileExists(readOnly));
    EXPECT_EQ(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "scheduled, but still read-only";
    EXPECT_TRUE(FileExists(target + "\\Opera.dir"));
    EXPECT_EQ(ReadTextFile(canary), "trace of " + canary);
}
#endif

// The sandbox's Desktop folder, seen through a link of its own outside every
// target; a link inside a target leads there too.
class Links : public Cleaning {
protected:
    void SetUp() override
    {
        Cleaning::SetUp();
        View = Dir + "\\view";
        ASSERT_NO_FATAL_FAILURE(MakeLinkToSandboxDesktop(View));
        // The canaries of a test before go.
        DeleteFileA((View + "\\canary.txt").c_str());
        DeleteFileA((View + "\\inner\\canary.txt").c_str());
        RemoveDirectoryA((View + "\\inner\\deeper").c_str());
        RemoveDirectoryA((View + "\\inner").c_str());
        ASSERT_EQ(Listing(View), std::vector<std::string>{});
    }
    std::string View;
};

TEST_F(Links, ALinkIsNeverFollowedAndWhatItLeadsToStays)
{
    const struct {
        const char* Name;
        std::vector<std::string> Behind; // seeded behind the links
        std::vector<std::string> Listed; // what the folder behind them lists
    } cases[] = {
        // Wine removes the empty folder a link leads to when asked to remove
        // the link.
        {"empty target", {}, {}},
        {"target with contents", {"canary.txt", "inner\\canary.txt", "inner\\deeper\\"}, {"canary.txt", "inner"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const std::string& entry : c.Behind) Seed(View + "\\" + entry);
        std::string target = Case(c.Name);
        ASSERT_NO_FATAL_FAILURE(MakeLinkToSandboxDesktop(target + "\\link"));
        ASSERT_NO_FATAL_FAILURE(MakeLinkToSandboxDesktop(target + "\\sub\\nested link"));
        Seed(target + "\\trace.txt");
        Seed(target + "\\sub\\trace.txt");

        int result = Clean(target, "*.*");

        EXPECT_TRUE(IsFolder(View)) << "the folder behind the links is gone";
        EXPECT_EQ(Listing(View), c.Listed);
        for (const std::string& entry : c.Behind) EXPECT_TRUE(FileExists(View + "\\" + entry)) << entry;
        EXPECT_FALSE(FileExists(target + "\\trace.txt"));
        EXPECT_FALSE(FileExists(target + "\\sub\\trace.txt"));
        // A link is removed, or left as it is; never scheduled where the
        // system would follow it, nothing behind it ever is.
        for (const std::string& link : {target + "\\link", target + "\\sub\\nested link"}) {
            if (FileExists(link)) {
                EXPECT_EQ(Listing(link), Listing(View)) << link;
            }
            for (const std::string& path : Scheduled())
                EXPECT_NE(path.find(Upper(link)), 0u) << "scheduled: " << path;
        }
        // The folder that keeps a link is scheduled; the result says so.
        EXPECT_EQ(result, FileExists(target + "\\sub") ? 0 : 1);
    }
}

// A cleaning target that is a root, the Windows or system directory, the
// profile folder (or holds one of them), or is no absolute path, is never
// cleaned, whatever the registry says.
TEST_F(Cleaning, AFolderThatIsNoTargetIsNeverCleaned)
{
    const std::string windows = WindowsDir(), system = SystemDir(), profile = ProfileDir();
    ASSERT_FALSE(profile.empty());
    const std::string profileParent = profile.substr(0, profile.find_last_of('\\'));
    const struct {
        std::string Folder;
        bool Cleanable;
    } folders[] = {
        {"", false},
        {".", false},
        {"..", false},
        {"clean", false},
        {"C:", false},
        {"C:work", false},
        {"\\work", false},
        {"C:\\", false},
        {"c:/", false},
        {"C:\\.", false},
        {"C:\\work\\..", false},
        {"C:\\work\\..\\", false},
        {windows, false},
        {Upper(windows) + "\\", false},
        {windows + "\\system32\\..", false},
        {system, false},
        {profile, false},
        {profile + "\\", false},
        {profileParent, false}, // holds the profile folder
        {"\\\\server\\share", false},
        {"\\\\server\\share\\", false},
        {"\\\\server", false},
        {"\\\\?\\C:\\work\\clean", false},
        {"\\\\.\\C:\\work\\clean", false},
        {Dir, true},
        {Dir + "\\", true},
        {TempDir(), true},
        {windows + "\\Temp", true},
        {windows + "\\Temp\\", true},
        {profile + "\\Cookies", true},
        {profile + "\\Local Settings\\Temporary Internet Files", true},
        {"\\\\server\\share\\cache", true},
    };
    for (const auto& f : folders) EXPECT_EQ(TForm1::IsCleanableFolder(f.Folder), f.Cleanable) << f.Folder;

    // The walk refuses them too, also with a mask that would pick one file.
    const std::string canary = "sweepora canary.txt";
    const struct {
        std::string Folder;
        std::string Canary;
    } refused[] = {
        {"C:\\", "C:\\" + canary},
        {"", "C:\\" + canary}, // "\" + mask: the root of the current drive
        {"..", "C:\\" + canary},  // the current folder is C:\work
        {windows, windows + "\\" + canary},
        {system, system + "\\" + canary},
        {profile, profile + "\\" + canary},
        {profileParent, profileParent + "\\" + canary},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.Folder);
        Seed(r.Canary);
        EXPECT_EQ(Clean(r.Folder, canary), 1);
        EXPECT_EQ(Form->DeleteFolderContents(r.Folder, canary), 1);
        EXPECT_TRUE(FileExists(r.Canary));
        DeleteFileA(r.Canary.c_str());
    }
    EXPECT_EQ(Scheduled(), std::vector<std::string>{});
}

// A target that is a link, or lies below one, is judged by where it really
// is: never cleaned, wherever the link leads (links made from the Linux side
// of the sandbox). The folder behind a link is cleaned as ever when named
// without it.
TEST_F(Cleaning, ATargetThatIsALinkOrLiesBelowOneIsNeverCleaned)
{
    const std::string windows = WindowsDir(), system = SystemDir(), profile = ProfileDir();
    ASSERT_FALSE(profile.empty());
    const std::string users = profile.substr(0, profile.find_last_of('\\')), user = profile.substr(users.size() + 1);
    const std::string canary = "sweepora canary.txt", behind = Dir + "\\behind";
    const std::vector<std::string> behindCanaries = {behind + "\\canary.txt", behind + "\\sub\\canary.txt",
                                                     behind + "\\sub\\deeper\\canary.txt"};
    for (const std::string& path : behindCanaries) Seed(path);
    const struct {
        const char* Name;
        std::string LinkTo; // where the link leads
        std::string Below;  // the target below the link; "" for the link itself
        std::string Canary; // what would go were the target cleaned
    } cases[] = {
        {"a link to a folder", behind, "", behind + "\\canary.txt"},
        {"below a link to a folder", behind, "sub", behind + "\\sub\\canary.txt"},
        {"a link to the profile", profile, "", profile + "\\" + canary},
        {"below a link, the profile", users, user, profile + "\\" + canary},
        {"below a link, a folder holding the profile", "C:\\", users.substr(3), profile + "\\" + canary},
        {"a link to the root", "C:\\", "", "C:\\" + canary},
        {"below a link to the root, the Windows folder", "C:\\", windows.substr(3), windows + "\\" + canary},
        {"below a link, the system folder", windows, system.substr(windows.size() + 1), system + "\\" + canary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string place = Case(c.Name), link = place + "\\link";
        ASSERT_TRUE(MakeUnixLink(link, c.LinkTo));
        const std::string target = c.Below.empty() ? link : link + "\\" + c.Below;
        Seed(c.Canary);
        Seed(place + "\\beside.txt");
        // Only the canary may go where a wrong verdict would empty a folder
        // of the system.
        const std::string mask = c.Canary.compare(0, behind.size(), behind) == 0 ? "*.*" : canary;
        for (const std::string& folder : {target, target + "\\"}) {
            EXPECT_FALSE(TForm1::IsCleanableFolder(folder)) << folder;
            EXPECT_EQ(Clean(folder, mask), 1) << folder;
        }
        EXPECT_TRUE(FileExists(c.Canary));
        EXPECT_TRUE(FileExists(place + "\\beside.txt"));
        for (const std::string& path : behindCanaries) EXPECT_TRUE(FileExists(path)) << path;
        EXPECT_EQ(GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, DWORD(FILE_ATTRIBUTE_REPARSE_POINT));
        if (c.Canary.compare(0, behind.size(), behind) != 0) DeleteFileA(c.Canary.c_str());
    }
    EXPECT_EQ(Scheduled(), std::vector<std::string>{});

    // Named by its own path, the folder behind the links is cleaned.
    EXPECT_EQ(Clean(behind + "\\sub", "*.*"), 1);
    EXPECT_EQ(Listing(behind + "\\sub"), std::vector<std::string>{});
    EXPECT_EQ(Listing(behind), (std::vector<std::string>{"canary.txt", "sub"}));
}

// Under Wine a link to a file shows as the file itself, and deleting it, now
// or at the restart, deletes what it leads to: the walk leaves such links,
// also where the mask picks one, and the files beside them go as ever.
TEST_F(Cleaning, ALinkToAFileIsLeftAndWhatItLeadsToStays)
{
    const std::string outside = Dir + "\\outside", windowsCanary = WindowsDir() + "\\sweepora canary.ini";
    const std::vector<std::string> canaries = {outside + "\\page.html", outside + "\\cookies.txt", windowsCanary};
    for (const std::string& path : canaries) Seed(path);
    const struct {
        const char* Name;
        const char* Mask;
        std::vector<std::string> Deleted; // of the target's own files
    } cases[] = {
        {"every entry", "*.*", {"trace.txt", "sub\\trace.txt", "cookies.dat"}},
        {"the mask picks a link", "cookies.txt", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string target = Case(c.Name);
        const std::vector<std::pair<std::string, std::string>> links = {
            {target + "\\Linked Page.html", outside + "\\page.html"},
            {target + "\\cookies.txt", outside + "\\cookies.txt"},
            {target + "\\sub\\linked.ini", windowsCanary},
            {target + "\\sub\\deeper\\page.html", outside + "\\page.html"},
        };
        for (const auto& link : links) ASSERT_TRUE(MakeUnixLink(link.first, link.second)) << link.first;
        for (const char* entry : {"trace.txt", "sub\\trace.txt", "cookies.dat"}) Seed(target + "\\" + entry);

        const int result = Clean(target, c.Mask);

        for (const std::string& path : canaries) {
            ASSERT_TRUE(FileExists(path)) << path;
            EXPECT_EQ(ReadTextFile(path), "trace of " + path);
        }
        for (const auto& link : links) EXPECT_TRUE(FileExists(link.first)) << link.first;
        for (const char* entry : {"trace.txt", "sub\\trace.txt", "cookies.dat"}) {
            const bool deleted = std::find(c.Deleted.begin(), c.Deleted.end(), entry) != c.Deleted.end();
            EXPECT_NE(FileExists(target + "\\" + entry), deleted) << entry;
        }
        // Nothing that leads elsewhere is left for the restart; the folders
        // that keep a link are, and the result says so.
        std::vector<std::string> scheduled = Scheduled();
        for (const std::string& path : scheduled) {
            for (const auto& link : links) EXPECT_NE(path, Upper(link.first));
            EXPECT_TRUE(IsFolder(path)) << "scheduled: " << path;
        }
        EXPECT_EQ(result, scheduled.empty() ? 1 : 0);
        ForgetScheduled();
    }
}

// An entry whose short form the system cannot give (a name the ANSI code
// page cannot spell, a short form longer than the buffer) is never handled
// by the path the shared buffer still holds from the entry before.
TEST_F(Cleaning, AnEntryWithoutItsOwnShortPathIsNeverMistakenForAnother)
{
    const struct {
        const char* Name;
        bool StaleIsFolder;
    } cases[] = {{"stale file path", false}, {"stale folder path", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ForgetScheduled();
        std::string target = Case(c.Name);
        const std::string canaryFile = Dir + "\\" + c.Name + " canary\\stale.txt",
                          canaryFolder = Dir + "\\" + c.Name + " canary\\stale folder\\";
        Seed(canaryFile);
        Seed(canaryFolder);
        // Names of three characters whose short forms take eight: deep
        // enough, the short path needs more than 260 characters while the
        // long one stays well inside.
        std::string deep = target;
        while (ShortPath(deep).size() + 12 < 260) {
            deep += "\\a b";
            MakeDirs(deep);
        }
        deep += "\\a b";
        Seed(deep + "\\x y.txt");
        Seed(deep + "\\in use.txt");
        ASSERT_LT(deep.size() + 20, size_t(MAX_PATH)) << "the long path is too long for the walk";
        ASSERT_EQ(ShortPath(deep + "\\x y.txt"), "") << "the short form fits after all";
        const std::wstring wide(target.begin(), target.end());
        HANDLE unspellable = CreateFileW((wide + L"\\\x4e2d.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                         nullptr);
        ASSERT_NE(unspellable, INVALID_HANDLE_VALUE);
        CloseHandle(unspellable);
        ASSERT_TRUE(CreateDirectoryW((wide + L"\\\x4e2e").c_str(), nullptr));
        Holder holder({deep + "\\in use.txt"});
        ASSERT_TRUE(holder.Ready);
        std::string stale = ShortPath(c.StaleIsFolder ? canaryFolder : canaryFile);
        ASSERT_FALSE(stale.empty());
        lstrcpyA(Form->ShortPathBuffer, stale.c_str());

        Clean(target, "*.*");

        EXPECT_TRUE(FileExists(canaryFile));
        EXPECT_TRUE(IsFolder(canaryFolder));
        EXPECT_FALSE(FileExists(deep + "\\x y.txt")) << "a file that can go is deleted by its long path";
        EXPECT_TRUE(FileExists(deep + "\\in use.txt"));
        for (const std::string& path : Scheduled()) {
            EXPECT_EQ(path.find(Upper(target) + "\\"), 0u) << "scheduled outside the target: " << path;
#ifdef Edition98
            // No line for what has no short path of its own.
            EXPECT_EQ(path.find(Upper(deep) + "\\"), std::string::npos) << path;
            EXPECT_EQ(path.find('?'), std::string::npos) << path;
#endif
        }
    }
}

// The simulated restart: wineboot -r carries out "wininit.ini" and the
// delayed list as Windows does when it starts. Everything scheduled goes,
// every canary stays.
TEST_F(Links, ARestartDeletesWhatWasScheduledAndNothingElse)
{
    std::string target = Case("restart");
    Seed(View + "\\canary.txt");
    Seed(View + "\\inner\\canary.txt");
    const std::string held = target + "\\held.dat", heldDeep = target + "\\Long Folder Name\\Held Long Name.dat",
                      readOnly = target + "\\Read Only.txt", readOnlyHeld = target + "\\Read Only Held.dat";
    for (const std::string& entry : {held, heldDeep, readOnly, readOnlyHeld, target + "\\plain.txt"}) Seed(entry);
    ASSERT_NO_FATAL_FAILURE(MakeLinkToSandboxDesktop(target + "\\sub\\link"));
    const std::vector<std::string> canaries = {target + "-beside.txt", Dir + "\\behind.txt", target + " 2\\held.dat",
                                               View + "\\canary.txt", View + "\\inner\\canary.txt"};
    for (const std::string& canary : canaries) Seed(canary);
    // Links to files, in the target and in a folder of it, lead to canaries.
    ASSERT_TRUE(MakeUnixLink(target + "\\linked.dat", Dir + "\\behind.txt"));
    ASSERT_TRUE(MakeUnixLink(target + "\\Linked Folder\\linked.dat", target + " 2\\held.dat"));
#ifdef EditionXP
    // The single files of the XP edition take the same ways.
    const std::string single = target + " single";
    const std::string singleHeld = single + "\\Global.dat", singleReadOnly = single + "\\Download.dat";
    Seed(singleHeld);
    Seed(singleReadOnly);
    ASSERT_TRUE(MakeUnixLink(single + "\\Cookies4.dat", Dir + "\\behind.txt"));
    std::vector<std::string> readOnlyFiles = {readOnly, readOnlyHeld, singleHeld, singleReadOnly};
    Holder holder({held, heldDeep, readOnlyHeld, singleHeld});
#else
    std::vector<std::string> readOnlyFiles = {readOnly, readOnlyHeld};
    Holder holder({held, heldDeep, readOnlyHeld});
#endif
    ASSERT_TRUE(holder.Ready);
    for (const std::string& path : readOnlyFiles) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(Clean(target, "*.*"), 0);
#ifdef EditionXP
    for (const std::string& path : {singleHeld, singleReadOnly}) EXPECT_EQ(Form->DeleteFileNowOrAtRestart(path), 0);
    EXPECT_EQ(Form->DeleteFileNowOrAtRestart(single + "\\Cookies4.dat"), 1);
#endif
    EXPECT_FALSE(Scheduled().empty());
    holder.End();
    SimulateRestart();

    EXPECT_FALSE(FileExists(held));
    EXPECT_FALSE(FileExists(heldDeep));
    // Read-only or not, in use or not: what was left for the restart goes.
    EXPECT_FALSE(FileExists(readOnly));
    EXPECT_FALSE(FileExists(readOnlyHeld));
#ifdef EditionXP
    EXPECT_FALSE(FileExists(singleHeld));
    EXPECT_FALSE(FileExists(singleReadOnly));
    EXPECT_TRUE(FileExists(single + "\\Cookies4.dat"));
#endif
    EXPECT_TRUE(FileExists(target + "\\linked.dat"));
    EXPECT_FALSE(FileExists(target + "\\plain.txt"));
#ifdef Edition98
    // Wine carries out the "nul=" lines of files only: a folder named there
    // stays, empty.
    EXPECT_EQ(Listing(target + "\\Long Folder Name"), std::vector<std::string>{});
#else
    EXPECT_FALSE(FileExists(target + "\\Long Folder Name"));
#endif
    // The folder that keeps a link stays, with the link.
    EXPECT_EQ(Listing(target + "\\Linked Folder"), std::vector<std::string>{"linked.dat"});
    EXPECT_TRUE(IsFolder(target));
    EXPECT_TRUE(IsFolder(View));
    for (const std::string& canary : canaries) EXPECT_TRUE(FileExists(canary)) << canary;
    EXPECT_EQ(Scheduled(), std::vector<std::string>{}) << "the lists are carried out once";
}

} // namespace
