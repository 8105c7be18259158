// The Startup page of each edition: the scan of every startup place, Apply,
// Remove and the new entry dialog, driven with real mouse and key messages on
// the window as the program builds it, against the sandbox's own registry and
// folders.
#include <windows.h>

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "GuiSupport.h"
#include "MainWindow.h"
#include "ProgramBoxes.h"
#include "TestSupport.h"
#include "Tpstartupentry.h"
#include "dialogs/CreateEntryDialogForm.h"
#include "dialogs/MessageBoxForm.h"

using namespace testsupport;

namespace {

// ------------------------------------------------------------- the places

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;
const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOff[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run-";
const char kServices[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kServicesOff[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices-";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kProduct[] = "Software\\QLN Soft\\Sweepora 2004 Pro";

const std::string kRoot = "C:\\work\\st";
const std::string kUserStartup = kRoot + "\\user\\StartUp";
const std::string kUserOff = kRoot + "\\user\\Disabled Startup Items";
const std::string kCommonStartup = kRoot + "\\common\\StartUp";
const std::string kCommonOff = kRoot + "\\common\\Disabled Startup Items";
const std::string kPrograms = kRoot + "\\programs";

#ifdef Edition98
const bool kServicesManaged = true;
#else
const bool kServicesManaged = false;
#endif

// ---------------------------------------------------------- file helpers

void RemoveTree(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") RemoveTree(path + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void WriteFile(const std::string& path, const std::string& text, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    MakeDirs(path, true);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    DWORD written = 0;
    ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

// A folder made hidden, as the scan makes the disabled folders.
void MakeHiddenFolder(const std::string& path)
{
    MakeDirs(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
}

bool IsHiddenFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_HIDDEN);
}

// ------------------------------------------------------ registry helpers

struct RawValue {
    DWORD Type = REG_NONE;
    std::vector<BYTE> Bytes;
    bool operator==(const RawValue& o) const { return Type == o.Type && Bytes == o.Bytes; }
};

void PrintTo(const RawValue& v, std::ostream* os)
{
    *os << "type " << v.Type << ", " << v.Bytes.size() << " bytes";
}

RawValue StringValue(const std::string& text, DWORD type = REG_SZ)
{
    RawValue v;
    v.Type = type;
    v.Bytes.assign(text.begin(), text.end());
    v.Bytes.push_back(0);
    return v;
}

RawValue DwordValue(DWORD number)
{
    RawValue v;
    v.Type = REG_DWORD;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
    v.Bytes.assign(bytes, bytes + sizeof number);
    return v;
}

void SetRaw(HKEY root, const std::string& key, const std::string& name, const RawValue& value)
{
    RegSetBytes(root, key, name, value.Type, value.Bytes.data(), static_cast<DWORD>(value.Bytes.size()));
}

// The value as stored, or nothing when it is not there.
std::optional<RawValue> GetRaw(HKEY root, const std::string& key, const std::string& name)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG status = RegQueryValueExA(opened, name.c_str(), nullptr, &value.Type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.Bytes.resize(size);
        status = RegQueryValueExA(opened, name.c_str(), nullptr, &value.Type, value.Bytes.data(), &size);
    }
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

// A key the program may read but not write: every open for full access fails.
void LockKey(HKEY root, const std::string& key)
{
    RegSetString(root, key, "Placeholder", "x");
    HKEY opened;
    ASSERT_EQ(RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, &opened), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KRWDSD;;;WD)", SDDL_REVISION_1, &sd,
                                                                     nullptr));
    EXPECT_EQ(RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    LocalFree(sd);
    RegCloseKey(opened);
}

void UnlockKey(HKEY root, const std::string& key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, &opened) != ERROR_SUCCESS) return;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd, nullptr)) {
        RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
    }
    RegCloseKey(opened);
}

// ------------------------------------------------------------ list rows

struct Row {
    std::string Name, Path;
    bool Checked = false;
    int EnabledAtLoad = -1, Location = 0;
    bool operator==(const Row& o) const
    {
        return std::tie(Name, Path, Checked, EnabledAtLoad, Location) ==
               std::tie(o.Name, o.Path, o.Checked, o.EnabledAtLoad, o.Location);
    }
};

void PrintTo(const Row& r, std::ostream* os)
{
    *os << "{\"" << r.Name << "\", \"" << r.Path << "\", " << (r.Checked ? "on" : "off") << ", " << r.EnabledAtLoad
        << ", " << r.Location << "}";
}

// An enabled row (check box on) or a disabled one, as a scan lists it.
Row On(int location, const std::string& name, const std::string& path)
{
    return Row{name, path, true, 1, location};
}
Row Off(int location, const std::string& name, const std::string& path)
{
    return Row{name, path, false, 0, location};
}

// The rows as listed. Within one place the order is the registry's or the
// file system's enumeration order, which the program does not choose: the
// rows of each place are sorted by name, the order of the places is kept.
std::vector<Row> Rows(TForm1* form)
{
    std::vector<Row> rows;
    TListItems* items = form->lvStartup->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* item = items->Item(i);
        Row row;
        row.Name = item->GetCaption();
        row.Path = item->SubItems->Count() > 0 ? item->SubItems->Strings(0) : "<none>";
        row.Checked = item->GetChecked();
        if (auto* entry = static_cast<TPStartupEntry*>(item->GetData())) {
            row.EnabledAtLoad = entry->GetEnabledAtLoad();
            row.Location = entry->GetLocation();
        }
        rows.push_back(row);
    }
    auto samePlace = [](const Row& a, const Row& b) {
        return a.Location == b.Location && a.EnabledAtLoad == b.EnabledAtLoad;
    };
    for (auto from = rows.begin(); from != rows.end();) {
        auto to = std::find_if(from, rows.end(), [&](const Row& r) { return !samePlace(*from, r); });
        std::sort(from, to, [](const Row& a, const Row& b) { return a.Name < b.Name; });
        from = to;
    }
    return rows;
}

// The rows a table gives, without those of the RunServices places (codes 2
// and 32) where the edition does not manage them.
std::vector<Row> ForEdition(std::vector<Row> rows)
{
    if (!kServicesManaged)
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [](const Row& r) { return r.Location == 2 || r.Location == 32; }),
                   rows.end());
    return rows;
}

TListItem* FindRow(TForm1* form, const std::string& name, int enabledAtLoad)
{
    TListItems* items = form->lvStartup->Items();
    for (int i = 0; i < items->Count(); ++i) {
        auto* entry = static_cast<TPStartupEntry*>(items->Item(i)->GetData());
        if (items->Item(i)->GetCaption() == name && entry && entry->GetEnabledAtLoad() == enabledAtLoad)
            return items->Item(i);
    }
    return nullptr;
}

// A left click on the row's name, as the user selects a row.
void ClickRow(TListItem* row)
{
    HWND list = row->GetListView()->Handle();
    RECT label{};
    label.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, row->GetIndex(), reinterpret_cast<LPARAM>(&label)));
    const int x = label.left + 4, y = (label.top + label.bottom) / 2;
    SendMouse(list, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    SendMouse(list, WM_LBUTTONUP, x, y);
    PumpPending();
}

int SelectedIndex(TForm1* form)
{
    TListItem* selected = form->lvStartup->Selected();
    return selected ? selected->GetIndex() : -1;
}

void Click(TControl* control)
{
    HoverControl(control);
    ClickControl(control);
}

// -------------------------------------------------------- the new entry dialog

// Runs the script once the new entry dialog is up, from inside its modal
// loop (a timer of the test thread), as the user would act in it. A dialog
// the script leaves open is closed afterwards.
class DialogScript {
public:
    using Script = std::function<void(TfmStartupCreateDialog* dialog)>;

    // Clicks Add with the mouse and runs the script in the dialog it opens;
    // false when no dialog came.
    static bool ViaAdd(TForm1* form, Script script)
    {
        gScript = std::move(script);
        gRan = false;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
        Click(form->bbtStartupAdd);
        KillTimer(nullptr, timer);
        gScript = nullptr;
        return gRan;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TfmStartupCreateDialog* dialog = fmStartupCreateDialog;
        if (gRan || !gScript || !dialog || !IsWindowVisible(dialog->Handle())) return;
        gRan = true;
        gScript(dialog);
        if (fmStartupCreateDialog == dialog && dialog->IsModal() && dialog->ModalResult == mrNone)
            PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    }
    static inline Script gScript;
    static inline bool gRan = false;
};

// Characters typed into the field with the focus, as the keyboard sends them.
void Type(TEdit* field, const std::string& text)
{
    for (char c : text) SendMessageA(field->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    PumpPending();
}

// Tab (with Shift when back) pressed in the window with the focus.
void PressTab(bool back = false)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    if (back) {
        keys[VK_SHIFT] |= 0x80;
        SetKeyboardState(keys);
    }
    PostKey(GetFocus(), VK_TAB);
    PumpPending();
    if (back) {
        keys[VK_SHIFT] = shift;
        SetKeyboardState(keys);
    }
}

// What a shortcut file holds, read through the shell's link object.
struct Shortcut {
    bool Loaded = false;
    std::string Target, Description, WorkingDirectory;
};

Shortcut ReadShortcut(const std::string& path)
{
    Shortcut result;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char text[MAX_PATH * 2] = {};
                result.Loaded = true;
                link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
                result.Target = text;
                text[0] = 0;
                link->GetDescription(text, sizeof text);
                result.Description = text;
                text[0] = 0;
                link->GetWorkingDirectory(text, sizeof text);
                result.WorkingDirectory = text;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return result;
}

// ------------------------------------------------------------ the fixture

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (HKEY root : {CU, LM})
            for (const char* key : {kRun, kRunOff, kServices, kServicesOff}) {
                UnlockKey(root, key);
                RegDeleteTree(root, key);
            }
        RegDeleteTree(LM, kProduct);
        RemoveTree(kRoot);
        RemoveTree("C:\\Disabled Startup Items");
        RemoveTree("C:\\work\\Disabled Startup Items");
        RegSetString(CU, kShellFolders, "Startup", kUserStartup);
        RegSetString(LM, kShellFolders, "Common Startup", kCommonStartup);
        MakeDirs(kUserStartup);
        MakeDirs(kCommonStartup);
        SetCurrentDirectoryA("C:\\work");
    }
    void TearDown() override
    {
        LeaveControls();
        FreeMainWindow(form);
        SetCurrentDirectoryA("C:\\work");
    }
    // Both disabled folders there already, hidden, as earlier scans left them.
    static void MakeDisabledFolders()
    {
        MakeHiddenFolder(kUserOff);
        MakeHiddenFolder(kCommonOff);
    }
    // The main window shown and the Startup page opened with a click.
    void OpenStartupPage()
    {
        form = CreateMainWindow();
        Click(form->bbtStartupIcon);
        LeaveControls();
        ASSERT_EQ(form->ActivePage, pcStartup);
    }
    TForm1* form = nullptr;
};

// ------------------------------------------------------------------ scan

TEST_F(StartupTest, EveryPlaceIsListedInStepOrderWithItsCode)
{
    // Enabled places.
    SetRaw(CU, kRun, "", StringValue("C:\\Tools\\default.exe"));
    SetRaw(CU, kRun, "Alpha", StringValue("C:\\Tools\\alpha.exe -min"));
    SetRaw(CU, kRun, "Expand", StringValue("%SystemRoot%\\system32\\tool.exe", REG_EXPAND_SZ));
    SetRaw(CU, kRun, "Number", DwordValue(7));
    SetRaw(CU, kRun, "Shared", StringValue("C:\\Tools\\user.exe"));
    RegSetBytes(CU, kRun, "Zero", REG_SZ, "", 0);
    SetRaw(LM, kRun, "Shared", StringValue("C:\\Tools\\machine.exe"));
    SetRaw(CU, kServices, "UserService", StringValue("usersvc.exe"));
    SetRaw(LM, kServices, "MachineService", StringValue("machinesvc.exe"));
    WriteFile(kUserStartup + "\\Notes.lnk", "link");
    WriteFile(kUserStartup + "\\readme.txt", "text");
    WriteFile(kUserStartup + "\\desktop.ini", "[.ShellClassInfo]", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(kUserStartup + "\\Sub\\inner.exe", "in a subfolder");
    WriteFile(kCommonStartup + "\\Common.lnk", "link");
    // Disabled places.
    SetRaw(CU, kRunOff, "Alpha", StringValue("C:\\Tools\\alpha-old.exe"));
    SetRaw(LM, kRunOff, "Off", StringValue("off.exe"));
    SetRaw(CU, kServicesOff, "UserServiceOff", StringValue("usersvc-off.exe"));
    SetRaw(LM, kServicesOff, "MachineServiceOff", StringValue("machinesvc-off.exe"));
    MakeDisabledFolders();
    WriteFile(kUserOff + "\\Disabled.exe", "program");
    WriteFile(kCommonOff + "\\CommonOff.lnk", "link");

    OpenStartupPage();
    const std::vector<Row> expected = ForEdition({
        On(1, "", "C:\\Tools\\default.exe"),
        On(1, "Alpha", "C:\\Tools\\alpha.exe -min"),
        On(1, "Expand", "%SystemRoot%\\system32\\tool.exe"),
        On(1, "Number", ""), // not a string: listed without a command line
        On(1, "Shared", "C:\\Tools\\user.exe"),
        On(1, "Zero", ""),
        On(16, "Shared", "C:\\Tools\\machine.exe"),
        On(2, "UserService", "usersvc.exe"),
        On(32, "MachineService", "machinesvc.exe"),
        On(4, "Notes.lnk", kUserStartup + "\\Notes.lnk"),
        On(4, "readme.txt", kUserStartup + "\\readme.txt"),
        On(8, "Common.lnk", kCommonStartup + "\\Common.lnk"),
        Off(1, "Alpha", "C:\\Tools\\alpha-old.exe"),
        Off(16, "Off", "off.exe"),
        Off(2, "UserServiceOff", "usersvc-off.exe"),
        Off(32, "MachineServiceOff", "machinesvc-off.exe"),
        Off(4, "Disabled.exe", kUserOff + "\\Disabled.exe"),
        Off(8, "CommonOff.lnk", kCommonOff + "\\CommonOff.lnk"),
    });
    EXPECT_EQ(Rows(form), expected);
    EXPECT_TRUE(form->lvStartup->GetVisible());
    EXPECT_EQ(form->StartupDir, kUserStartup);
    EXPECT_EQ(form->DisabledStartupDir, kUserOff);
    EXPECT_EQ(form->CommonStartupDir, kCommonStartup);
    EXPECT_EQ(form->CommonDisabledStartupDir, kCommonOff);
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());

    // The check boxes against the state at load.
    EXPECT_FALSE(form->StartupListModified());
    TListItem* row = FindRow(form, "Off", 0);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(ClickCheckBox(row));
    EXPECT_TRUE(form->StartupListModified());
    ASSERT_TRUE(ClickCheckBox(row));
    EXPECT_FALSE(form->StartupListModified());
    // Nothing was stored meanwhile.
    EXPECT_EQ(GetRaw(CU, kRun, "Number"), DwordValue(7));
}

TEST_F(StartupTest, MissingDisabledFoldersAreMadeHiddenOneScanAtATime)
{
    SetRaw(CU, kRun, "User", StringValue("user.exe"));
    SetRaw(CU, kRunOff, "Resting", StringValue("resting.exe"));
    WriteFile(kUserStartup + "\\User.lnk", "link");
    WriteFile(kCommonStartup + "\\Common.lnk", "link");
    const std::vector<Row> enabled = {
        On(1, "User", "user.exe"),
        On(4, "User.lnk", kUserStartup + "\\User.lnk"),
        On(8, "Common.lnk", kCommonStartup + "\\Common.lnk"),
        Off(1, "Resting", "resting.exe"),
    };

    // The first scan makes the user's folder and ends there.
    OpenStartupPage();
    EXPECT_EQ(Rows(form), enabled);
    EXPECT_TRUE(IsHiddenFolder(kUserOff));
    EXPECT_FALSE(testsupport::FileExists(kCommonOff));
    EXPECT_EQ(form->DisabledStartupDir, kUserOff);
    EXPECT_EQ(form->CommonDisabledStartupDir, "");

    // The second reads it and makes the all-users one.
    WriteFile(kUserOff + "\\Later.exe", "program");
    Click(form->bbtStartupRefresh);
    std::vector<Row> second = enabled;
    second.push_back(Off(4, "Later.exe", kUserOff + "\\Later.exe"));
    EXPECT_EQ(Rows(form), second);
    EXPECT_TRUE(IsHiddenFolder(kCommonOff));
    EXPECT_EQ(form->CommonDisabledStartupDir, kCommonOff);

    // From then on every place is read.
    WriteFile(kCommonOff + "\\CommonLater.lnk", "link");
    Click(form->bbtStartupRefresh);
    second.push_back(Off(8, "CommonLater.lnk", kCommonOff + "\\CommonLater.lnk"));
    EXPECT_EQ(Rows(form), second);
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());
}

TEST_F(StartupTest, StartupFolderValuesThatEndOrSkipTheScan)
{
    const std::string trailing = kUserStartup + "\\";
    const std::string inside = kUserStartup + "\\Disabled Startup Items";
    const struct {
        const char* What;
        std::function<void()> Arrange;
        std::vector<Row> Rows;
        std::vector<std::string> MadeFolders;  // hidden disabled folders the scan made
        std::vector<std::string> AbsentFolders; // folders that must not exist
    } cases[] = {
        {"the user's Startup folder missing: the scan ends after the enabled keys",
         [] { RemoveTree(kUserStartup); },
         {On(1, "User", "user.exe"), On(16, "Machine", "machine.exe"), On(2, "UserService", "usersvc.exe")},
         {},
         {kUserOff, kCommonOff}},
        {"an empty Startup value: the user's folders skipped, nothing made for them",
         [] { RegSetString(CU, kShellFolders, "Startup", ""); },
         {On(1, "User", "user.exe"), On(16, "Machine", "machine.exe"), On(2, "UserService", "usersvc.exe"),
          On(8, "Common.lnk", kCommonStartup + "\\Common.lnk"), Off(1, "Resting", "resting.exe")},
         {kCommonOff},
         {kUserOff, "C:\\work\\Disabled Startup Items", "C:\\Disabled Startup Items"}},
        {"no Startup value at all: the same",
         [] {
             HKEY key;
             RegOpenKeyExA(CU, kShellFolders, 0, KEY_ALL_ACCESS, &key);
             RegDeleteValueA(key, "Startup");
             RegCloseKey(key);
         },
         {On(1, "User", "user.exe"), On(16, "Machine", "machine.exe"), On(2, "UserService", "usersvc.exe"),
          On(8, "Common.lnk", kCommonStartup + "\\Common.lnk"), Off(1, "Resting", "resting.exe")},
         {kCommonOff},
         {kUserOff, "C:\\work\\Disabled Startup Items", "C:\\Disabled Startup Items"}},
        {"a Startup value ending in a backslash: the disabled folder inside it",
         [trailing] { RegSetString(CU, kShellFolders, "Startup", trailing); },
         {On(1, "User", "user.exe"), On(16, "Machine", "machine.exe"), On(2, "UserService", "usersvc.exe"),
          On(4, "User.lnk", trailing + "\\User.lnk"), On(8, "Common.lnk", kCommonStartup + "\\Common.lnk"),
          Off(1, "Resting", "resting.exe")},
         {inside},
         {kUserOff, kCommonOff}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SetUp();
        SetRaw(CU, kRun, "User", StringValue("user.exe"));
        SetRaw(LM, kRun, "Machine", StringValue("machine.exe"));
        SetRaw(CU, kServices, "UserService", StringValue("usersvc.exe"));
        SetRaw(CU, kRunOff, "Resting", StringValue("resting.exe"));
        WriteFile(kUserStartup + "\\User.lnk", "link");
        WriteFile(kCommonStartup + "\\Common.lnk", "link");
        c.Arrange();

        OpenStartupPage();
        if (HasFatalFailure()) return;
        EXPECT_EQ(Rows(form), ForEdition(c.Rows));
        EXPECT_TRUE(form->lvStartup->GetVisible());
        for (const std::string& folder : c.MadeFolders) EXPECT_TRUE(IsHiddenFolder(folder)) << folder;
        for (const std::string& folder : c.AbsentFolders) EXPECT_FALSE(testsupport::FileExists(folder)) << folder;
        TearDown();
    }
}

TEST_F(StartupTest, AStartupFolderValueOfAnotherTypeIsToldOnceAndTheOtherPlacesAreListed)
{
    const DWORD number = 7;
    const struct {
        const char* What;
        HKEY Root;
        const char* Value;
        DWORD Type;
        const void* Data;
        DWORD Size;
        std::vector<Row> Rows;
    } cases[] = {
        {"a number for the user's folder", CU, "Startup", REG_DWORD, &number, sizeof number,
         {On(1, "User", "user.exe"), On(16, "Machine", "machine.exe"),
          On(8, "Common.lnk", kCommonStartup + "\\Common.lnk"), Off(1, "Resting", "resting.exe"),
          Off(8, "CommonOff.lnk", kCommonOff + "\\CommonOff.lnk")}},
        {"bytes for the all-users folder", LM, "Common Startup", REG_BINARY, "C:\\", 3,
         {On(1, "User", "user.exe"), On(16, "Machine", "machine.exe"),
          On(4, "User.lnk", kUserStartup + "\\User.lnk"), Off(1, "Resting", "resting.exe"),
          Off(4, "UserOff.lnk", kUserOff + "\\UserOff.lnk")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SetUp();
        SetRaw(CU, kRun, "User", StringValue("user.exe"));
        SetRaw(LM, kRun, "Machine", StringValue("machine.exe"));
        SetRaw(CU, kRunOff, "Resting", StringValue("resting.exe"));
        MakeDisabledFolders();
        WriteFile(kUserStartup + "\\User.lnk", "link");
        WriteFile(kUserOff + "\\UserOff.lnk", "link");
        WriteFile(kCommonStartup + "\\Common.lnk", "link");
        WriteFile(kCommonOff + "\\CommonOff.lnk", "link");
        RegSetBytes(c.Root, kShellFolders, c.Value, c.Type, c.Data, c.Size);

        // Opened twice (each visit scans): the page shows every time, and
        // each scan tells the error once.
        for (int visit = 0; visit < 2; ++visit) {
            SystemBoxes boxes;
            if (visit == 0) {
                OpenStartupPage();
            } else {
                Click(form->bbtTaskManIcon);
                Click(form->bbtStartupIcon);
            }
            const std::vector<SystemBox> shown = boxes.Stop();
            ASSERT_EQ(shown.size(), 1u) << "visit " << visit;
            EXPECT_TRUE(shown[0].StopIcon);
            EXPECT_EQ(shown[0].Texts, std::vector<std::string>{std::string("Invalid data type for '") + c.Value + "'"});
            EXPECT_EQ(form->ActivePage, pcStartup);
            EXPECT_TRUE(form->plStartup->GetVisible());
            EXPECT_TRUE(IsWindowVisible(form->lvStartup->Handle()));
            EXPECT_EQ(Rows(form), c.Rows);
            EXPECT_EQ(SelectedIndex(form), 0);
        }
        TearDown();
    }
}

TEST_F(StartupTest, TheFilterKeepsNamesHoldingItsTextInAnyCase)
{
    SetRaw(CU, kRun, "", StringValue("C:\\Tools\\default.exe"));
    SetRaw(CU, kRun, "MyTOOLkit", StringValue("C:\\kit.exe"));
    SetRaw(CU, kRun, "Other", StringValue("C:\\Tools\\other.exe"));
    WriteFile(kUserStartup + "\\Toolbox.lnk", "link");
    WriteFile(kUserStartup + "\\Plain.lnk", "link");
    MakeDisabledFolders();
    OpenStartupPage();
    ASSERT_EQ(Rows(form).size(), 5u);

    // The filter field is kept hidden; what it does when it holds text.
    form->edStartupFilter->SetText("tool");
    EXPECT_EQ(Rows(form), (std::vector<Row>{On(1, "MyTOOLkit", "C:\\kit.exe"),
                                            On(4, "Toolbox.lnk", kUserStartup + "\\Toolbox.lnk")}));
    // Enter in the field selects the first row and focuses the list.
    form->lvStartup->SetItemIndex(-1);
    SendMessageA(form->edStartupFilter->Handle(), WM_CHAR, 13, 1);
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());

    // Refresh empties the filter and lists everything again.
    Click(form->bbtStartupRefresh);
    EXPECT_EQ(form->edStartupFilter->GetText(), "");
    EXPECT_EQ(Rows(form).size(), 5u);
    EXPECT_EQ(SelectedIndex(form), 0);
}

TEST_F(StartupTest, RefreshOfAnEmptyListSelectsNothingAndFocusesTheList)
{
    OpenStartupPage();
    EXPECT_EQ(Rows(form), std::vector<Row>{});
    Click(form->bbtStartupRefresh);
    EXPECT_EQ(SelectedIndex(form), -1);
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());
}

// ----------------------------------------------------------------- apply

TEST_F(StartupTest, ApplyMovesRegistryValuesBothWaysAsTheyAreStored)
{
    const RawValue expand = StringValue("%SystemRoot%\\system32\\tool.exe", REG_EXPAND_SZ);
    const RawValue number = DwordValue(7);
    const RawValue machine = StringValue("%ProgramFiles%\\Machine\\m.exe", REG_EXPAND_SZ);
    SetRaw(CU, kRun, "Expand", expand);
    SetRaw(CU, kRun, "Number", number);
    SetRaw(CU, kRun, "Twice", StringValue("twice.exe"));
    SetRaw(CU, kRunOff, "Gamma", StringValue("gamma-disabled.exe", REG_EXPAND_SZ));
    SetRaw(LM, kRunOff, "Machine", machine);
    SetRaw(CU, kServices, "Service", StringValue("service.exe"));
    MakeDisabledFolders();
    OpenStartupPage();

    for (auto [name, enabledAtLoad] : std::vector<std::pair<std::string, int>>{
             {"Expand", 1}, {"Number", 1}, {"Twice", 1}, {"Twice", 1}, {"Gamma", 0}, {"Machine", 0}, {"Service", 1}}) {
        TListItem* row = FindRow(form, name, enabledAtLoad);
        if (!kServicesManaged && name == "Service") {
            EXPECT_EQ(row, nullptr);
            continue;
        }
        ASSERT_NE(row, nullptr) << name;
        ASSERT_TRUE(ClickCheckBox(row)) << name;
    }
    ASSERT_TRUE(form->StartupListModified());
    BoxWatch none;
    SystemBoxes systemBoxes;
    none.Run([&] { Click(form->bbtStartupApply); });
    EXPECT_EQ(none.Shown(), 0);
    EXPECT_TRUE(systemBoxes.Stop().empty());

    // Disabled: moved with their type and data.
    EXPECT_EQ(GetRaw(CU, kRun, "Expand"), std::nullopt);
    EXPECT_EQ(GetRaw(CU, kRunOff, "Expand"), expand);
    EXPECT_EQ(GetRaw(CU, kRun, "Number"), std::nullopt);
    EXPECT_EQ(GetRaw(CU, kRunOff, "Number"), number);
    // Toggled twice: untouched.
    EXPECT_EQ(GetRaw(CU, kRun, "Twice"), StringValue("twice.exe"));
    EXPECT_EQ(GetRaw(CU, kRunOff, "Twice"), std::nullopt);
    // Enabled.
    EXPECT_EQ(GetRaw(CU, kRun, "Gamma"), StringValue("gamma-disabled.exe", REG_EXPAND_SZ));
    EXPECT_EQ(GetRaw(CU, kRunOff, "Gamma"), std::nullopt);
    EXPECT_EQ(GetRaw(LM, kRun, "Machine"), machine);
    EXPECT_EQ(GetRaw(LM, kRunOff, "Machine"), std::nullopt);
    // RunServices: moved by Sweepora98 only.
    EXPECT_EQ(GetRaw(CU, kServices, "Service").has_value(), !kServicesManaged);
    EXPECT_EQ(GetRaw(CU, kServicesOff, "Service").has_value(), kServicesManaged);

    // The list shows what is stored now.
    EXPECT_EQ(Rows(form), ForEdition({
                              On(1, "Gamma", "gamma-disabled.exe"),
                              On(1, "Twice", "twice.exe"),
                              On(16, "Machine", "%ProgramFiles%\\Machine\\m.exe"),
                              Off(1, "Expand", "%SystemRoot%\\system32\\tool.exe"),
                              Off(1, "Number", ""),
                              Off(2, "Service", "service.exe"),
                          }));
    EXPECT_FALSE(form->StartupListModified());
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());
}

TEST_F(StartupTest, ApplyWithNothingChangedStillRebuildsAndSelectsTheFirstRow)
{
    SetRaw(CU, kRun, "One", StringValue("one.exe"));
    SetRaw(CU, kRun, "Two", StringValue("two.exe"));
    MakeDisabledFolders();
    OpenStartupPage();
    ClickRow(FindRow(form, "Two", 1));
    ASSERT_EQ(SelectedIndex(form), 1);
    SetRaw(CU, kRun, "Three", StringValue("three.exe"));
    Click(form->bbtStartupApply);
    EXPECT_EQ(Rows(form), (std::vector<Row>{On(1, "One", "one.exe"), On(1, "Three", "three.exe"),
                                            On(1, "Two", "two.exe")}));
    EXPECT_EQ(SelectedIndex(form), 0);
}

TEST_F(StartupTest, ADestinationThatCannotBeOpenedKeepsTheEntryAndApplyGoesOn)
{
    const RawValue keep = StringValue("%SystemRoot%\\keep.exe", REG_EXPAND_SZ);
    SetRaw(CU, kRun, "Keep", keep);
    SetRaw(LM, kRun, "Later", StringValue("later.exe"));
    MakeDisabledFolders();
    // The user's disabled key refuses the full access every open asks for.
    LockKey(CU, kRunOff);
    if (HasFatalFailure()) return;
    OpenStartupPage();

    // The machine's row comes after the user's: the run goes on to it.
    for (const char* name : {"Keep", "Later"}) {
        TListItem* row = FindRow(form, name, 1);
        ASSERT_NE(row, nullptr) << name;
        ASSERT_TRUE(ClickCheckBox(row)) << name;
    }
    SystemBoxes systemBoxes;
    BoxWatch watch{{PressKeys({VK_RETURN})}};
    watch.Run([&] { Click(form->bbtStartupApply); });
    const std::vector<SystemBox>& shown = systemBoxes.Stop();
    UnlockKey(CU, kRunOff);

    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(watch.Shown(), 1);
    EXPECT_EQ(watch.Boxes[0].Text, "\nThese entries were not moved, because the place\nwhere they would go cannot be "
                                   "written:\nKeep");
    EXPECT_EQ(watch.Boxes[0].Caption, "Error");
    EXPECT_EQ(watch.Boxes[0].Buttons, std::vector<std::string>{"bbtOk2"});
    // Nothing lost, nothing half-moved; the later row was applied.
    EXPECT_EQ(GetRaw(CU, kRun, "Keep"), keep);
    EXPECT_EQ(GetRaw(CU, kRunOff, "Keep"), std::nullopt);
    EXPECT_EQ(GetRaw(LM, kRun, "Later"), std::nullopt);
    EXPECT_EQ(GetRaw(LM, kRunOff, "Later"), StringValue("later.exe"));
    // The list was rebuilt: it shows what is stored.
    EXPECT_EQ(Rows(form), (std::vector<Row>{On(1, "Keep", "%SystemRoot%\\keep.exe"), Off(16, "Later", "later.exe")}));
    EXPECT_FALSE(form->StartupListModified());
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());
}

TEST_F(StartupTest, ApplyNeverMovesOverAnEntryOfTheSameName)
{
    const RawValue userOff = StringValue("%SystemRoot%\\both-off.exe", REG_EXPAND_SZ);
    SetRaw(CU, kRun, "Both", StringValue("both.exe"));
    SetRaw(CU, kRunOff, "Both", userOff);
    SetRaw(CU, kRun, "Free", StringValue("free.exe"));
    SetRaw(LM, kRun, "Back", StringValue("back-on.exe"));
    SetRaw(LM, kRunOff, "Back", StringValue("back-off.exe"));
    MakeDisabledFolders();
    WriteFile(kUserStartup + "\\Same.lnk", "enabled");
    WriteFile(kUserOff + "\\Same.lnk", "disabled");
    WriteFile(kCommonStartup + "\\Back.lnk", "on");
    WriteFile(kCommonOff + "\\Back.lnk", "off");
    OpenStartupPage();
    const std::vector<Row> before = Rows(form);

    // Each way, in the registry and in the folders, and one entry that is free to go.
    const struct {
        const char* Name;
        int EnabledAtLoad;
    } toggles[] = {{"Both", 1}, {"Free", 1}, {"Same.lnk", 1}, {"Back", 0}, {"Back.lnk", 0}};
    for (const auto& t : toggles) {
        TListItem* row = FindRow(form, t.Name, t.EnabledAtLoad);
        ASSERT_NE(row, nullptr) << t.Name;
        ASSERT_TRUE(ClickCheckBox(row)) << t.Name;
    }
    SystemBoxes systemBoxes;
    BoxWatch watch{{PressKeys({VK_RETURN})}};
    watch.Run([&] { Click(form->bbtStartupApply); });
    EXPECT_TRUE(systemBoxes.Stop().empty());

    // One box for the run, naming each entry left where it is, in list order.
    ASSERT_EQ(watch.Shown(), 1);
    EXPECT_EQ(watch.Boxes[0].Text, "\nThese entries were not moved, because an entry\nof the same name is already "
                                   "where they would go:\nBoth\nSame.lnk\nBack\nBack.lnk");
    EXPECT_EQ(watch.Boxes[0].Caption, "Error");
    // Both commands of each name kept, as they were.
    EXPECT_EQ(GetRaw(CU, kRun, "Both"), StringValue("both.exe"));
    EXPECT_EQ(GetRaw(CU, kRunOff, "Both"), userOff);
    EXPECT_EQ(GetRaw(LM, kRun, "Back"), StringValue("back-on.exe"));
    EXPECT_EQ(GetRaw(LM, kRunOff, "Back"), StringValue("back-off.exe"));
    EXPECT_EQ(ReadTextFile(kUserStartup + "\\Same.lnk"), "enabled");
    EXPECT_EQ(ReadTextFile(kUserOff + "\\Same.lnk"), "disabled");
    EXPECT_EQ(ReadTextFile(kCommonStartup + "\\Back.lnk"), "on");
    EXPECT_EQ(ReadTextFile(kCommonOff + "\\Back.lnk"), "off");
    EXPECT_EQ(GetRaw(CU, kRun, "Free"), std::nullopt);
    EXPECT_EQ(GetRaw(CU, kRunOff, "Free"), StringValue("free.exe"));

    std::vector<Row> after = before;
    after.erase(std::find(after.begin(), after.end(), On(1, "Free", "free.exe")));
    after.insert(std::find(after.begin(), after.end(), Off(1, "Both", "%SystemRoot%\\both-off.exe")) + 1,
                 Off(1, "Free", "free.exe"));
    EXPECT_EQ(Rows(form), after);
    EXPECT_FALSE(form->StartupListModified());
}

TEST_F(StartupTest, ApplyMovesFilesBothWays)
{
    MakeDisabledFolders();
    WriteFile(kUserStartup + "\\Off.lnk", "new");
    WriteFile(kUserOff + "\\On.exe", "program");
    WriteFile(kCommonStartup + "\\Common.lnk", "common");
    OpenStartupPage();
    for (auto [name, enabledAtLoad] :
         std::vector<std::pair<std::string, int>>{{"Off.lnk", 1}, {"On.exe", 0}, {"Common.lnk", 1}}) {
        TListItem* row = FindRow(form, name, enabledAtLoad);
        ASSERT_NE(row, nullptr) << name;
        ASSERT_TRUE(ClickCheckBox(row)) << name;
    }
    SystemBoxes boxes;
    Click(form->bbtStartupApply);
    EXPECT_TRUE(boxes.Stop().empty());

    EXPECT_FALSE(testsupport::FileExists(kUserStartup + "\\Off.lnk"));
    EXPECT_EQ(ReadTextFile(kUserOff + "\\Off.lnk"), "new");
    EXPECT_FALSE(testsupport::FileExists(kUserOff + "\\On.exe"));
    EXPECT_EQ(ReadTextFile(kUserStartup + "\\On.exe"), "program");
    EXPECT_FALSE(testsupport::FileExists(kCommonStartup + "\\Common.lnk"));
    EXPECT_EQ(ReadTextFile(kCommonOff + "\\Common.lnk"), "common");
    EXPECT_EQ(Rows(form), (std::vector<Row>{On(4, "On.exe", kUserStartup + "\\On.exe"),
                                            Off(4, "Off.lnk", kUserOff + "\\Off.lnk"),
                                            Off(8, "Common.lnk", kCommonOff + "\\Common.lnk")}));
}

TEST_F(StartupTest, FailedFileMovesAreShownAndLoseNothing)
{
    MakeDisabledFolders();
    WriteFile(kUserStartup + "\\Held.lnk", "held");
    WriteFile(kCommonStartup + "\\Stay.lnk", "stay");
    OpenStartupPage();
    // The all-users disabled folder turned into a file: nothing can be copied there.
    RemoveTree(kCommonOff);
    WriteFile(kCommonOff, "not a folder");
    // Held open without delete sharing: it can be copied but not deleted.
    HANDLE held = CreateFileA((kUserStartup + "\\Held.lnk").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    for (const char* name : {"Held.lnk", "Stay.lnk"}) ASSERT_TRUE(ClickCheckBox(FindRow(form, name, 1))) << name;

    SystemBoxes boxes;
    Click(form->bbtStartupApply);
    const std::vector<SystemBox> shown = boxes.Stop();
    CloseHandle(held);

    // One box per failure: the delete of Held.lnk, the copy of Stay.lnk, and
    // the rebuild's attempt to make the all-users disabled folder.
    ASSERT_EQ(shown.size(), 3u);
    for (const SystemBox& box : shown) {
        EXPECT_EQ(box.Caption, "GetLastError");
        EXPECT_EQ(box.Texts.size(), 1u);
    }
    EXPECT_EQ(ReadTextFile(kUserStartup + "\\Held.lnk"), "held");
    EXPECT_EQ(ReadTextFile(kUserOff + "\\Held.lnk"), "held");
    EXPECT_EQ(ReadTextFile(kCommonStartup + "\\Stay.lnk"), "stay");
    EXPECT_EQ(Rows(form), (std::vector<Row>{On(4, "Held.lnk", kUserStartup + "\\Held.lnk"),
                                            On(8, "Stay.lnk", kCommonStartup + "\\Stay.lnk"),
                                            Off(4, "Held.lnk", kUserOff + "\\Held.lnk")}));
}

// ---------------------------------------------------------------- remove

TEST_F(StartupTest, RemoveAsksAndDeletesWhereTheEntryIsStored)
{
    MakeDisabledFolders();
    OpenStartupPage();
    // Nothing selected: no question.
    {
        BoxWatch watch;
        watch.Run([&] { Click(form->bbtStartupRemove); });
        EXPECT_EQ(watch.Shown(), 0);
        EXPECT_EQ(GetFocus(), form->lvStartup->Handle());
    }

    SetRaw(CU, kRun, "One", StringValue("one.exe"));
    SetRaw(CU, kRun, "Two", StringValue("two.exe"));
    SetRaw(CU, kRunOff, "Three", StringValue("three.exe"));
    SetRaw(LM, kRunOff, "Three", StringValue("machine-three.exe"));
    WriteFile(kUserStartup + "\\File.lnk", "link");
    WriteFile(kCommonOff + "\\Gone.lnk", "link");
    Click(form->bbtStartupRefresh);
    ASSERT_EQ(Rows(form).size(), 6u);

    // No: nothing deleted, but the list is rebuilt, so an unapplied check box
    // change is gone.
    ASSERT_TRUE(ClickCheckBox(FindRow(form, "One", 1)));
    ClickRow(FindRow(form, "Two", 1));
    BoxWatch no{{ClickButton(&TfmMessageBox::bbtNo)}};
    no.Run([&] { Click(form->bbtStartupRemove); });
    ASSERT_EQ(no.Shown(), 1);
    EXPECT_EQ(no.Boxes[0].Text, "\nDo you really want to delete \nTwo from Startup?");
    EXPECT_EQ(no.Boxes[0].Caption, "Confirm");
    EXPECT_EQ(no.Boxes[0].Buttons, (std::vector<std::string>{"bbtYes", "bbtNo"}));
    EXPECT_EQ(GetRaw(CU, kRun, "Two"), StringValue("two.exe"));
    EXPECT_FALSE(form->StartupListModified());
    EXPECT_TRUE(FindRow(form, "One", 1)->GetChecked());
    EXPECT_EQ(SelectedIndex(form), 0);

    // Yes on a disabled entry whose check box was set but not applied: it goes
    // from the disabled key of its own root, where it is stored.
    TListItem* three = FindRow(form, "Three", 0);
    ASSERT_NE(three, nullptr);
    ASSERT_EQ(static_cast<TPStartupEntry*>(three->GetData())->GetLocation(), 1);
    ASSERT_TRUE(ClickCheckBox(three));
    ClickRow(three);
    BoxWatch yes{{ClickButton(&TfmMessageBox::bbtYes)}};
    yes.Run([&] { Click(form->bbtStartupRemove); });
    ASSERT_EQ(yes.Shown(), 1);
    EXPECT_EQ(yes.Boxes[0].Text, "\nDo you really want to delete \nThree from Startup?");
    EXPECT_EQ(GetRaw(CU, kRunOff, "Three"), std::nullopt);
    EXPECT_EQ(GetRaw(CU, kRun, "Three"), std::nullopt);
    EXPECT_EQ(GetRaw(LM, kRunOff, "Three"), StringValue("machine-three.exe"));

    // Yes on a file: the file goes.
    ClickRow(FindRow(form, "File.lnk", 1));
    BoxWatch file{{PressKeys({VK_RETURN})}};
    file.Run([&] { Click(form->bbtStartupRemove); });
    ASSERT_EQ(file.Shown(), 1);
    EXPECT_FALSE(testsupport::FileExists(kUserStartup + "\\File.lnk"));

    // A file already gone: the system's text for it, and the list rebuilt.
    ClickRow(FindRow(form, "Gone.lnk", 0));
    DeleteFileA((kCommonOff + "\\Gone.lnk").c_str());
    SystemBoxes systemBoxes;
    BoxWatch gone{{ClickButton(&TfmMessageBox::bbtYes)}};
    gone.Run([&] { Click(form->bbtStartupRemove); });
    const std::vector<SystemBox>& errors = systemBoxes.Stop();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Caption, "GetLastError");

    EXPECT_EQ(Rows(form), (std::vector<Row>{On(1, "One", "one.exe"), On(1, "Two", "two.exe"),
                                            Off(16, "Three", "machine-three.exe")}));
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());
}

// ------------------------------------------------------- new entry dialog

TEST(DisplayNameFromPath, TheFileNameWithoutItsLastExtension)
{
    const struct {
        const char* Path;
        const char* Name;
    } cases[] = {
        {"C:\\Tools\\my.app.exe", "my.app"}, {"C:\\Tools\\tool", "tool"}, {"C:\\Tools\\.profile", ""},
        {"C:tool.exe", "tool"},              {"tool.exe", "tool"},        {"C:\\dir.d\\file", "file"},
        {"C:\\Tools\\", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayNameFromPath(c.Path), c.Name) << c.Path;
}

TEST_F(StartupTest, TheDialogOpensOnTheFileFieldAndTabMovesBetweenTheFields)
{
    MakeDisabledFolders();
    OpenStartupPage();
    form->edStartupFilter->SetText("zzz");
    bool ran = DialogScript::ViaAdd(form, [&](TfmStartupCreateDialog* dialog) {
        EXPECT_EQ(dialog->GetCaption(), "Create new entry");
        EXPECT_EQ(dialog->ClientWidth(), 386);
        EXPECT_EQ(dialog->ClientHeight(), 156);
        EXPECT_FALSE(IsWindowEnabled(form->Handle()));
        EXPECT_EQ(GetFocus(), dialog->edFileName->Handle());
        PressTab();
        EXPECT_EQ(GetFocus(), dialog->edDisplayName->Handle());
        PressTab();
        EXPECT_EQ(GetFocus(), dialog->edFileName->Handle());
        PressTab(true);
        EXPECT_EQ(GetFocus(), dialog->edDisplayName->Handle());
        Type(dialog->edDisplayName, "Name");
        EXPECT_EQ(dialog->edDisplayName->GetText(), "Name"); // Tab typed no character
        // Without a "Language" value the controls show no hints.
        for (TControl* c : std::vector<TControl*>{dialog->edFileName, dialog->edDisplayName, dialog->bbtBrowse,
                                                  dialog->bbtCreate, dialog->bbtCancel})
            EXPECT_EQ(c->GetHint(), "") << c->GetName();
        // Any mouse button on the panel drags the borderless dialog.
        MoveCommandRecorder moves(dialog->Handle());
        SendMouse(dialog->Panel1->Handle(), WM_RBUTTONDOWN, 20, 140, MK_RBUTTON);
        SendMouse(dialog->Panel1->Handle(), WM_RBUTTONUP, 20, 140);
        EXPECT_EQ(moves.Commands, std::vector<WPARAM>{0xF012});
        // Esc in a field closes it.
        Type(dialog->edFileName, "C:\\x.exe");
        PostKey(dialog->edFileName->Handle(), VK_ESCAPE);
        PumpPending();
        EXPECT_EQ(dialog->ModalResult, mrCancel);
        EXPECT_EQ(dialog->edFileName->GetText(), "");
        EXPECT_EQ(dialog->edDisplayName->GetText(), "");
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(fmStartupCreateDialog, nullptr);
    // Closed: the list is refreshed, the filter emptied.
    EXPECT_EQ(form->edStartupFilter->GetText(), "");
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_EQ(GetFocus(), form->lvStartup->Handle());
}

TEST_F(StartupTest, DialogHintsComeFromTheLanguageFile)
{
    OpenStartupPage();
    const std::vector<std::string> names = {"edFileName", "edDisplayName", "bbtBrowse", "bbtCreate", "bbtCancel"};
    const std::vector<std::string> defaults = {
        "Name of the application you want to insert in Startup",
        "Insert the Display Name for the application you want to insert in Startup",
        "Browse the application you want to insert in Startup", "Create new Startup item", "Cancel"};
    auto hints = [&] {
        std::vector<std::string> seen;
        DialogScript::ViaAdd(form, [&](TfmStartupCreateDialog* dialog) {
            for (const std::string& name : names) seen.push_back(dynamic_cast<TControl*>(dialog->FindComponent(name))->GetHint());
        });
        return seen;
    };
    RegSetString(LM, kProduct, "Language", "Test");
    DeleteFileA("C:\\work\\lang.lng");
    EXPECT_EQ(hints(), defaults);

    WriteFile("C:\\work\\lang.lng", "[Test]\nbbtBrowse=Look for it\nEDFILENAME=The program\n");
    std::vector<std::string> fromFile = defaults;
    fromFile[0] = "The program";
    fromFile[2] = "Look for it";
    EXPECT_EQ(hints(), fromFile);

    // A "Language" longer than any section name: the built-in hints, and the
    // platform's profile reader is never handed it.
    RegSetString(LM, kProduct, "Language", std::string(32767, 'T'));
    EXPECT_EQ(hints(), defaults);
    DeleteFileA("C:\\work\\lang.lng");
}

TEST_F(StartupTest, BrowseFillsBothFieldsFromTheChosenFile)
{
    const std::string program = kPrograms + "\\my.app.exe";
    WriteFile(program, "program");
    OpenStartupPage();
    DialogScript::ViaAdd(form, [&](TfmStartupCreateDialog* dialog) {
        Type(dialog->edDisplayName, "typed");
        {
            SystemBoxes chooser(PressEscape());
            ClickControl(dialog->bbtBrowse);
            ASSERT_EQ(chooser.Stop().size(), 1u);
        }
        EXPECT_EQ(dialog->edFileName->GetText(), "");
        EXPECT_EQ(dialog->edDisplayName->GetText(), "typed");

        SystemBoxes chooser(TypeFileName(program));
        ClickControl(dialog->bbtBrowse);
        ASSERT_EQ(chooser.Stop().size(), 1u);
        EXPECT_EQ(dialog->edFileName->GetText(), program);
        EXPECT_EQ(dialog->edDisplayName->GetText(), "my.app");
        EXPECT_EQ(dialog->odStartupCreateNew->GetFilter(),
                  "Executable files (*.exe;*lnk)|*.exe|Link files (*.lnk)|*.lnk|All files (*.*)|*.*");
        EXPECT_EQ(dialog->odStartupCreateNew->GetOptions(), ofHideReadOnly | ofFileMustExist | ofEnableSizing);
        ClickControl(dialog->bbtCancel);
    });
}

TEST_F(StartupTest, CreateChecksTheFileThenTheNameAndWritesARealShortcut)
{
    const std::string program = kPrograms + "\\Tool\\tool.exe";
    WriteFile(program, "program");
    MakeDisabledFolders();
    // A file of the new name is there already: it is replaced.
    WriteFile(kUserStartup + "\\My Tool.lnk", "not a shortcut");
    OpenStartupPage();

    bool ran = DialogScript::ViaAdd(form, [&](TfmStartupCreateDialog* dialog) {
        // A wrong file with an empty name: only the file warning.
        Type(dialog->edFileName, kPrograms);
        {
            SystemBoxes boxes;
            ClickControl(dialog->bbtCreate);
            const auto& shown = boxes.Stop();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].Caption, "WARNING");
            EXPECT_EQ(shown[0].Texts, std::vector<std::string>{
                                          kPrograms + "\nFile not found.\nPlease verify the correct path and filename "
                                                      "was given."});
        }
        EXPECT_EQ(GetFocus(), dialog->edFileName->Handle());
        // The file, but no name.
        SendMessageA(dialog->edFileName->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        Type(dialog->edFileName, program);
        {
            SystemBoxes boxes;
            ClickControl(dialog->bbtCreate);
            const auto& shown = boxes.Stop();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].Caption, "WARNING");
            EXPECT_EQ(shown[0].Texts, std::vector<std::string>{"No display name was given.\nPlease give one."});
        }
        EXPECT_EQ(GetFocus(), dialog->edDisplayName->Handle());
        EXPECT_EQ(dialog->ModalResult, mrNone);
        Type(dialog->edDisplayName, "My Tool");
        SystemBoxes boxes;
        ClickControl(dialog->bbtCreate);
        EXPECT_TRUE(boxes.Stop().empty());
        EXPECT_EQ(dialog->ModalResult, mrCancel);
        EXPECT_EQ(dialog->edFileName->GetText(), "");
        EXPECT_EQ(dialog->edDisplayName->GetText(), "");
    });
    ASSERT_TRUE(ran);

    const Shortcut link = ReadShortcut(kUserStartup + "\\My Tool.lnk");
    ASSERT_TRUE(link.Loaded);
    EXPECT_EQ(lstrcmpiA(link.Target.c_str(), program.c_str()), 0) << link.Target;
    EXPECT_EQ(link.Description, "Shortcut to " + program);
    EXPECT_EQ(lstrcmpiA(link.WorkingDirectory.c_str(), (kPrograms + "\\Tool\\").c_str()), 0)
        << link.WorkingDirectory;
    // The refreshed list shows it as an enabled entry of the user's folder.
    EXPECT_EQ(Rows(form), (std::vector<Row>{On(4, "My Tool.lnk", kUserStartup + "\\My Tool.lnk")}));
    EXPECT_EQ(SelectedIndex(form), 0);
}

TEST_F(StartupTest, ANameOfSpacesIsANameAndTheDescriptionIsTheFieldAsTyped)
{
    const std::string program = kPrograms + "\\space.exe";
    WriteFile(program, "program");
    OpenStartupPage();
    // A relative spelling of the same file, as typed.
    const std::string typed = "st\\programs\\space.exe";
    DialogScript::ViaAdd(form, [&](TfmStartupCreateDialog* dialog) {
        Type(dialog->edFileName, typed);
        Type(dialog->edDisplayName, "  ");
        SystemBoxes boxes;
        ClickControl(dialog->bbtCreate);
        EXPECT_TRUE(boxes.Stop().empty());
    });
    const Shortcut link = ReadShortcut(kUserStartup + "\\  .lnk");
    ASSERT_TRUE(link.Loaded);
    EXPECT_EQ(link.Description, "Shortcut to " + typed);
    EXPECT_EQ(link.WorkingDirectory, "st\\programs\\");
}

TEST_F(StartupTest, NoShortcutWithoutAStartupFolderOrWithAPathTooLong)
{
    const std::string program = kPrograms + "\\tool.exe";
    WriteFile(program, "program");
    const std::string longName(240, 'n');
    const struct {
        const char* What;
        std::function<void()> Arrange;
        std::string Name;
        std::string Warning;
        std::vector<std::string> NotWritten;
    } cases[] = {
        {"an empty Startup value", [] { RegSetString(CU, kShellFolders, "Startup", ""); }, "Tool",
         "The Startup folder of Windows is not known.\nNo startup item was created.",
         {"C:\\Tool.lnk", "C:\\work\\Tool.lnk"}},
        {"no Startup value",
         [] {
             HKEY key;
             RegOpenKeyExA(CU, kShellFolders, 0, KEY_ALL_ACCESS, &key);
             RegDeleteValueA(key, "Startup");
             RegCloseKey(key);
         },
         "Tool", "The Startup folder of Windows is not known.\nNo startup item was created.",
         {"C:\\Tool.lnk", "C:\\work\\Tool.lnk"}},
        {"a link path longer than 260 characters", [] {}, longName,
         kUserStartup + "\\" + longName + ".lnk" +
             "\nThe name of the new startup item is too long.\nPlease give a shorter display name.",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SetUp();
        WriteFile(program, "program");
        c.Arrange();
        OpenStartupPage();
        if (HasFatalFailure()) return;
        bool closed = true;
        DialogScript::ViaAdd(form, [&](TfmStartupCreateDialog* dialog) {
            Type(dialog->edFileName, program);
            Type(dialog->edDisplayName, c.Name);
            SystemBoxes boxes;
            ClickControl(dialog->bbtCreate);
            const auto& shown = boxes.Stop();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].Caption, "WARNING");
            EXPECT_EQ(shown[0].Texts, std::vector<std::string>{c.Warning});
            closed = dialog->ModalResult != mrNone;
        });
        EXPECT_FALSE(closed);
        for (const std::string& path : c.NotWritten) EXPECT_FALSE(testsupport::FileExists(path)) << path;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((kUserStartup + "\\*.lnk").c_str(), &found);
        EXPECT_EQ(search, INVALID_HANDLE_VALUE);
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        TearDown();
    }
}

TEST_F(StartupTest, CancelEmptiesTheFieldsAndWritesNothing)
{
    const std::string program = kPrograms + "\\tool.exe";
    WriteFile(program, "program");
    MakeDisabledFolders();
    OpenStartupPage();
    form->edStartupFilter->SetText("zzz");
    DialogScript::ViaAdd(form, [&](TfmStartupCreateDialog* dialog) {
        Type(dialog->edFileName, program);
        Type(dialog->edDisplayName, "Tool");
        ClickControl(dialog->bbtCancel);
        EXPECT_EQ(dialog->ModalResult, mrCancel);
        EXPECT_EQ(dialog->edFileName->GetText(), "");
        EXPECT_EQ(dialog->edDisplayName->GetText(), "");
    });
    EXPECT_FALSE(testsupport::FileExists(kUserStartup + "\\Tool.lnk"));
    EXPECT_EQ(form->edStartupFilter->GetText(), "");
    EXPECT_EQ(Rows(form), std::vector<Row>{});
}

} // namespace
