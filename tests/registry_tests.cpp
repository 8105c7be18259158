// The registry wrapper against the sandbox's real registry.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Registry.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

const char kScratch[] = "Software\\SweeporaRegistryTests";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTree(HKEY_CURRENT_USER, kScratch);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kScratch);
        RegSetString(HKEY_CURRENT_USER, Path("A"), "Name", "in A");
        RegSetString(HKEY_CURRENT_USER, Path("A\\B"), "Name", "in B");
        RegSetString(HKEY_LOCAL_MACHINE, Path("M"), "Name", "in HKLM");
    }
    void TearDown() override
    {
        RegDeleteTree(HKEY_CURRENT_USER, kScratch);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kScratch);
    }
    static std::string Path(const std::string& sub) { return std::string(kScratch) + "\\" + sub; }
    static std::string Abs(const std::string& sub) { return "\\" + Path(sub); }

    // The message of the registry exception that action raises ("" if none).
    static std::string ErrorOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const ERegistryException& e) {
            return e.Message;
        }
        return "";
    }

    TRegistry reg;
};

TEST_F(RegistryTest, StartsAtCurrentUserWithNoKeyOpen)
{
    EXPECT_EQ(reg.GetRootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_FALSE(reg.ValueExists("Name"));
    EXPECT_EQ(reg.ReadString("Name"), "");
}

TEST_F(RegistryTest, SettingTheRootClosesTheKeyOnlyWhenTheRootChanges)
{
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(Abs("M"), false));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.ReadString("Name"), "in HKLM");
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_FALSE(reg.ValueExists("Name"));
}

TEST_F(RegistryTest, PathsAreAbsoluteWithBackslashElseRelativeToTheOpenKey)
{
    // Relative without an open key: from the root.
    ASSERT_TRUE(reg.OpenKey(Path("A"), false));
    EXPECT_EQ(reg.ReadString("Name"), "in A");
    // Relative with an open key: beneath it.
    ASSERT_TRUE(reg.OpenKey("B", false));
    EXPECT_EQ(reg.ReadString("Name"), "in B");
    EXPECT_EQ(reg.CurrentPath(), Path("A\\B"));
    // "B" is not beneath A\B, but an absolute path is taken from the root.
    EXPECT_FALSE(reg.OpenKey("B", false));
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    EXPECT_EQ(reg.ReadString("Name"), "in A");
}

TEST_F(RegistryTest, FailedOpenKeepsThePreviousKeyCurrent)
{
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    EXPECT_FALSE(reg.OpenKey(Abs("Missing"), false));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, Path("Missing")));
    EXPECT_EQ(reg.CurrentPath(), Path("A"));
    EXPECT_EQ(reg.ReadString("Name"), "in A");
    // ...and a write after the failed open lands in the previous key.
    reg.WriteString("After", "x");
    EXPECT_EQ(RegValues(HKEY_CURRENT_USER, Path("A")).at("After"), "x");
}

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAskedAndThePathIsNotEmpty)
{
    EXPECT_FALSE(reg.OpenKey(Abs("New\\Deep"), false));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, Path("New")));
    ASSERT_TRUE(reg.OpenKey(Abs("New\\Deep"), true));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, Path("New\\Deep")));
    // An empty path with the flag set only opens (the open key again).
    ASSERT_TRUE(reg.OpenKey("", true));
    EXPECT_EQ(reg.CurrentPath(), Path("New\\Deep"));
}

TEST_F(RegistryTest, CreateAndKeyExistsLeaveTheOpenKeyAlone)
{
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    EXPECT_TRUE(reg.CreateKey("C\\D"));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, Path("A\\C\\D")));
    EXPECT_TRUE(reg.CreateKey(Abs("E")));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, Path("E")));
    EXPECT_TRUE(reg.KeyExists("B"));
    EXPECT_TRUE(reg.KeyExists(Abs("A\\B")));
    EXPECT_FALSE(reg.KeyExists("Missing"));
    EXPECT_EQ(reg.CurrentPath(), Path("A"));
    EXPECT_EQ(reg.ReadString("Name"), "in A");
}

TEST_F(RegistryTest, CreateKeyFailureRaisesWithThePath)
{
    // A volatile key cannot hold a non-volatile subkey.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Path("Volatile").c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(ErrorOf([&] { reg.CreateKey(Abs("Volatile\\Child")); }),
              "Failed to create key \\" + Path("Volatile\\Child"));
}

TEST_F(RegistryTest, ReadStringByStoredType)
{
    const std::string longText(16 * 1024, 'x');
    const struct {
        const char* what;
        DWORD type;
        std::string data; // stored bytes as they are
        std::string expected;
        const char* error;
    } cases[] = {
        {"plain", REG_SZ, std::string("abc", 4), "abc", nullptr},
        {"expandable, not expanded", REG_EXPAND_SZ, std::string("%WINDIR%\\x", 11), "%WINDIR%\\x", nullptr},
        {"cut at the first NUL", REG_SZ, std::string("ab\0cd\0", 6), "ab", nullptr},
        {"stored without NUL", REG_SZ, std::string("abc", 3), "abc", nullptr},
        {"zero bytes", REG_SZ, std::string(), "", nullptr},
        {"only a NUL", REG_SZ, std::string(1, '\0'), "", nullptr},
        {"16 KB", REG_SZ, longText + '\0', longText, nullptr},
        // Around the size that one query reads.
        {"255 bytes", REG_SZ, std::string(254, 'y') + '\0', std::string(254, 'y'), nullptr},
        {"256 bytes", REG_SZ, std::string(255, 'y') + '\0', std::string(255, 'y'), nullptr},
        {"257 bytes without NUL", REG_SZ, std::string(257, 'y'), std::string(257, 'y'), nullptr},
        {"1 KB binary", REG_BINARY, std::string(1024, '\1'), "", "Invalid data type for 'V'"},
        {"integer", REG_DWORD, std::string("\1\0\0\0", 4), "", "Invalid data type for 'V'"},
        {"binary", REG_BINARY, std::string("\1\2", 2), "", "Invalid data type for 'V'"},
        {"multi-string", REG_MULTI_SZ, std::string("a\0b\0\0", 5), "", "Invalid data type for 'V'"},
    };
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegSetBytes(HKEY_CURRENT_USER, Path("A"), "V", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        std::string text = "unset";
        std::string error = ErrorOf([&] { text = reg.ReadString("V"); });
        if (c.error) {
            EXPECT_EQ(error, c.error);
        } else {
            EXPECT_EQ(error, "");
            EXPECT_EQ(text, c.expected);
        }
    }
    EXPECT_EQ(reg.ReadString("Missing"), "");
}

TEST_F(RegistryTest, LongValueNamesAndTextsRoundTrip)
{
    const std::string name(255, 'n');
    const std::string text(16 * 1024 + 3, 't');
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    reg.WriteString(name, text);
    EXPECT_TRUE(reg.ValueExists(name));
    EXPECT_EQ(reg.ReadString(name), text);
    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_GE(names.IndexOf(name), 0);
    EXPECT_EQ(names[names.IndexOf(name)].size(), 255u);
}

TEST_F(RegistryTest, WriteStringStoresTextWithItsNul)
{
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    reg.WriteString("W", "hello");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Path("A").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    char data[16] = {};
    DWORD type = 0, size = sizeof data;
    RegQueryValueExA(key, "W", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(data, "hello");
}

TEST_F(RegistryTest, WriteStringFailureRaises)
{
    // No key open.
    EXPECT_EQ(ErrorOf([&] { reg.WriteString("W", "x"); }), "Failed to set data for 'W'");
    // A key opened with read rights only.
    TRegistry readOnly(KEY_READ);
    ASSERT_TRUE(readOnly.OpenKey(Abs("A"), false));
    EXPECT_EQ(ErrorOf([&] { readOnly.WriteString("W", "x"); }), "Failed to set data for 'W'");
}

TEST_F(RegistryTest, ReadBinaryDataByTypeAndSize)
{
    const struct {
        const char* what;
        DWORD type;
        std::string data;
        int bufferSize;
        int expected; // bytes copied, or -1 for "Invalid data type for 'V'"
    } cases[] = {
        {"binary", REG_BINARY, std::string("\1\2\3", 3), 8, 3},
        {"binary filling the buffer", REG_BINARY, std::string("\1\2\3\4", 4), 4, 4},
        {"binary larger than the buffer", REG_BINARY, std::string("\1\2\3\4\5", 5), 4, -1},
        {"unclassified type", REG_MULTI_SZ, std::string("a\0\0", 3), 8, 3},
        {"none type", REG_NONE, std::string("\7", 1), 8, 1},
        {"string", REG_SZ, std::string("a", 2), 8, -1},
        {"expandable string", REG_EXPAND_SZ, std::string("a", 2), 8, -1},
        {"integer", REG_DWORD, std::string("\1\0\0\0", 4), 8, -1},
    };
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegSetBytes(HKEY_CURRENT_USER, Path("A"), "V", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        char buffer[16] = {};
        int count = -2;
        std::string error = ErrorOf([&] { count = reg.ReadBinaryData("V", buffer, c.bufferSize); });
        if (c.expected < 0) {
            EXPECT_EQ(error, "Invalid data type for 'V'");
        } else {
            EXPECT_EQ(error, "");
            EXPECT_EQ(count, c.expected);
            EXPECT_EQ(std::string(buffer, static_cast<size_t>(c.expected)), c.data);
        }
        // Nothing beyond the given size is ever written.
        for (int i = c.bufferSize; i < 16; ++i) EXPECT_EQ(buffer[i], 0) << i;
    }
    char buffer[4];
    EXPECT_EQ(reg.ReadBinaryData("Missing", buffer, sizeof buffer), 0);
}

TEST_F(RegistryTest, NameListsInEnumerationOrderWithTheDefaultValue)
{
    RegSetString(HKEY_CURRENT_USER, Path("L\\k1"), "v", "");
    RegSetString(HKEY_CURRENT_USER, Path("L\\k2"), "v", "");
    RegSetString(HKEY_CURRENT_USER, Path("L"), "", "default");
    RegSetString(HKEY_CURRENT_USER, Path("L"), "second", "");
    TStringList names;
    names.Add("stale");
    reg.GetKeyNames(&names); // no key open: cleared and empty
    EXPECT_EQ(names.Count(), 0);
    ASSERT_TRUE(reg.OpenKey(Abs("L"), false));
    reg.GetKeyNames(&names);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names[0], "k1");
    EXPECT_EQ(names[1], "k2");
    reg.GetValueNames(&names);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names[0], "");
    EXPECT_EQ(names[1], "second");
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeSubtree)
{
    for (const char* sub : {"T\\a\\x\\y", "T\\a\\z", "T\\b", "T\\c\\d\\e\\f"})
        RegSetString(HKEY_CURRENT_USER, Path(sub), "v", "1");
    RegSetString(HKEY_CURRENT_USER, Path("Sibling"), "v", "1");
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    EXPECT_TRUE(reg.DeleteKey(Abs("T")));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, Path("T")));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, Path("Sibling")));
    EXPECT_EQ(reg.CurrentPath(), Path("A"));
    EXPECT_FALSE(reg.DeleteKey(Abs("T")));
    // Relative to the open key.
    EXPECT_TRUE(reg.DeleteKey("B"));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, Path("A\\B")));
}

TEST_F(RegistryTest, DeleteValue)
{
    EXPECT_FALSE(reg.DeleteValue("Name")); // no key open
    ASSERT_TRUE(reg.OpenKey(Abs("A"), false));
    EXPECT_TRUE(reg.DeleteValue("Name"));
    EXPECT_FALSE(reg.ValueExists("Name"));
    EXPECT_FALSE(reg.DeleteValue("Name"));
}

} // namespace
