// What the sandbox runner promises, checked from inside Wine: the program sees
// no drive but the sandbox's, starts on the sandbox's C: and its profile
// folders do not lead out of the sandbox.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"

using namespace testsupport;

TEST(Sandbox, OnlyTheSandboxDrivesExist)
{
    // C: is the prefix, D: the build output the program was started from.
    EXPECT_EQ(GetLogicalDrives(), (1u << ('C' - 'A')) | (1u << ('D' - 'A')));
    EXPECT_EQ(GetDriveTypeA("Z:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_TRUE(FileExists("D:\\sandbox_tests.exe"));
}

TEST(Sandbox, CurrentDriveIsThePrefixOfThisSandbox)
{
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    EXPECT_STREQ(dir, "C:\\work");
    // The runner writes the Linux path of the sandbox into its C: root: finding
    // it there proves that the current drive is this sandbox's prefix.
    const char* sandbox = std::getenv("SWEEPORA_SANDBOX");
    ASSERT_NE(sandbox, nullptr);
    EXPECT_EQ(ReadTextFile("\\sandbox-root.txt"), std::string(sandbox) + "\n");
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
