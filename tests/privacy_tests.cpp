// The Privacy page, its confirmation dialog and the cleanup run, driven with
// real clicks and keys on the main window as the program builds it.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Controls.h"
#include "GuiSupport.h"
#include "MainWindow.h"
#include "ProgramBoxes.h"
#include "TestSupport.h"
#include "dialogs/PrivacyConfirmForm.h"

using namespace testsupport;

namespace {

using CheckBoxField = TCheckBox* TForm1::*;

const char kOperaKey[] = "Software\\Netscape\\Netscape Navigator\\5.0, Opera\\Main";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kTypedURLs[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const char kRestartQuestion[] =
    "All the files that are currently in use \nwill be deleted after restart!\nDo you want to restart the computer now?";

const CheckBoxField kOperaBoxes[] = {&TForm1::cbOperaInternetFiles, &TForm1::cbOperaCookies,
                                     &TForm1::cbOperaHistory,       &TForm1::cbOperaFavorites,
                                     &TForm1::cbOperaURLs,          &TForm1::cbOperaDownloadHistory};
const CheckBoxField kNetscapeBoxes[] = {&TForm1::cbNetscapeInternetFiles, &TForm1::cbNetscapeCookies,
                                        &TForm1::cbNetscapeHistory,       &TForm1::cbNetscapeFavorites,
                                        &TForm1::cbNetscapeURLs,          &TForm1::cbNetscapeDownloadHistory,
                                        &TForm1::cbNetscapePassword};
const CheckBoxField kIEBoxes[] = {&TForm1::cbInternetFiles, &TForm1::cbCookies, &TForm1::cbHistory,
                                  &TForm1::cbFavorites, &TForm1::cbURLs};
const CheckBoxField kWindowsBoxes[] = {&TForm1::cbRecycleBin, &TForm1::cbWinTemp, &TForm1::cbRecent};

// Every item box with its line in the confirmation and its progress text, in
// the order the run works through them.
const struct Item {
    CheckBoxField Box;
    const char* Line;
    const char* Progress;
} kItems[] = {
    {&TForm1::cbCookies, "Internet Explorer/MSN Cookies", "Deleting: Internet Explorer/MSN Cookies"},
    {&TForm1::cbInternetFiles, "Internet Explorer/MSN Temporary Files",
     "Deleting: Internet Explorer/MSN Temporary Files"},
    {&TForm1::cbHistory, "Internet Explorer/MSN History", "Deleting: Internet Explorer/MSN History"},
    {&TForm1::cbFavorites, "Internet Explorer/MSN Favorites", "Deleting: Internet Explorer/MSN Favorites"},
    {&TForm1::cbRecent, "Windows Recent Documents", "Deleting: Windows Recent Documents"},
    {&TForm1::cbURLs, "Internet Explorer/MSN Typed URLs", "Deleting: Internet Explorer/MSN URLs"},
    {&TForm1::cbWinTemp, "Windows Temporary Files", "Deleting: Windows Temporary Files"},
    {&TForm1::cbRecycleBin, "Recycle Bin", "Deleting: Recycle Bin"},
    {&TForm1::cbOperaCookies, "Opera Cookies", "Deleting: Opera Cookies"},
    {&TForm1::cbOperaInternetFiles, "Opera Temporary Files", "Deleting: Opera Temporary Files"},
    {&TForm1::cbOperaHistory, "Opera History", "Deleting: Opera History"},
    {&TForm1::cbOperaFavorites, "Opera Bookmarks", "Deleting: Opera Bookmarks"},
    {&TForm1::cbOperaURLs, "Opera Typed URLs", "Deleting: Opera URLs"},
    {&TForm1::cbOperaDownloadHistory, "Opera Download History", "Deleting: Opera Download History"},
    {&TForm1::cbNetscapeCookies, "Netscape/Mozilla Cookies", "Deleting: Netscape/Mozilla Cookies"},
    {&TForm1::cbNetscapeInternetFiles, "Netscape/Mozilla Temporary Files",
     "Deleting: Netscape/Mozilla Internet Temporary Files"},
    {&TForm1::cbNetscapeHistory, "Netscape/Mozilla History", "Deleting: Netscape/Mozilla History"},
    {&TForm1::cbNetscapeFavorites, "Netscape/Mozilla Bookmarks", "Deleting: Netscape/Mozilla Bookmarks"},
    {&TForm1::cbNetscapeURLs, "Netscape/Mozilla Typed URLs", "Deleting: Netscape/Mozilla URLs"},
    {&TForm1::cbNetscapeDownloadHistory, "Netscape/Mozilla Download History",
     "Deleting: Netscape/Mozilla Download History"},
    {&TForm1::cbNetscapePassword, "Netscape/Mozilla Passwords", "Deleting: Netscape/Mozilla Passwords"},
};

// The confirmation's list, in its own order.
const char kAllLines[] = "    - Internet Explorer/MSN Temporary Files\n"
                         "    - Internet Explorer/MSN Cookies\n"
                         "    - Internet Explorer/MSN History\n"
                         "    - Internet Explorer/MSN Favorites\n"
                         "    - Internet Explorer/MSN Typed URLs\n"
                         "    - Opera Temporary Files\n"
                         "    - Opera Cookies\n"
                         "    - Opera History\n"
                         "    - Opera Bookmarks\n"
                         "    - Opera Typed URLs\n"
                         "    - Opera Download History\n"
                         "    - Netscape/Mozilla Temporary Files\n"
                         "    - Netscape/Mozilla Cookies\n"
                         "    - Netscape/Mozilla History\n"
                         "    - Netscape/Mozilla Bookmarks\n"
                         "    - Netscape/Mozilla Typed URLs\n"
                         "    - Netscape/Mozilla Download History\n"
                         "    - Netscape/Mozilla Passwords\n"
                         "    - Recycle Bin\n"
                         "    - Windows Temporary Files\n"
                         "    - Windows Recent Documents\n";

std::string AppDataFolder()
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, path);
    return path;
}

// A file this test holds open without delete sharing, as a program in use
// holds it; closed when the holder goes.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
    {
        MakeDirs(path, true);
        FHandle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    }
    ~HeldFile()
    {
        if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle;
};

// What is scheduled for the next start of Windows, as one text: the lines of
// "wininit.ini" (Sweepora98) or the system's delayed list (SweeporaXP).
std::string Scheduled()
{
#ifdef Edition98
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string path = std::string(windows) + "\\wininit.ini";
    return testsupport::FileExists(path) ? ReadTextFile(path) : std::string();
#else
    HKEY key;
    std::string text;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return text;
    DWORD size = 0;
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        text.resize(size);
        RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(&text[0]),
                         &size);
        for (char& c : text)
            if (c == '\0') c = '\n';
    }
    RegCloseKey(key);
    return text;
#endif
}

// Whether the schedule names the file (by its short path in Sweepora98).
bool IsScheduled(const std::string& path)
{
    std::string name = path;
#ifdef Edition98
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    name = std::string("nul=") + shortPath + "\n";
#endif
    std::string scheduled = Scheduled();
    scheduled.erase(std::remove(scheduled.begin(), scheduled.end(), '\r'), scheduled.end());
    CharUpperBuffA(&scheduled[0], static_cast<DWORD>(scheduled.size()));
    CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
    return scheduled.find(name) != std::string::npos;
}

// Forgets every schedule, so that a test sees only its own.
void ClearSchedule()
{
#ifdef Edition98
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    DeleteFileA((std::string(windows) + "\\wininit.ini").c_str());
#else
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_ALL_ACCESS,
                      &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, "PendingFileRenameOperations");
    RegCloseKey(key);
#endif
}

// No restart question, and nothing scheduled that would ask for one. (The
// 98 edition reads its copy of an existing "wininit.ini" from the temporary
// folder while it cleans that folder: the walk must leave that copy alone.)
::testing::AssertionResult NoRestartQuestion(const BoxWatch& boxes)
{
    if (boxes.Shown() == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << boxes.Shown() << " boxes shown; scheduled:\n" << Scheduled();
}

void WriteTrace(const std::string& path, const std::string& text = "trace")
{
    MakeDirs(path, true);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

// A key that exists, with one value so that it is not empty.
void MakeKey(HKEY root, const std::string& path)
{
    RegSetString(root, path, "Seeded", "1");
}

// The browser keys as the tests want them: none unless asked for.
struct Browsers {
    bool Opera = false;
    bool Netscape6 = false;
    std::vector<std::string> MozillaSubkeys;
    bool MozillaKey = false; // "\Software\Mozilla" (made anyway for a subkey)
};

void SeedBrowsers(const Browsers& b)
{
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\Netscape");
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\Mozilla");
    if (b.Opera) RegSetString(HKEY_LOCAL_MACHINE, kOperaKey, "Install Directory", "C:\\Program Files\\Opera7");
    if (b.Netscape6) MakeKey(HKEY_LOCAL_MACHINE, "Software\\Netscape\\Netscape 6");
    if (b.MozillaKey || !b.MozillaSubkeys.empty()) MakeKey(HKEY_LOCAL_MACHINE, "Software\\Mozilla");
    for (const std::string& name : b.MozillaSubkeys) MakeKey(HKEY_LOCAL_MACHINE, "Software\\Mozilla\\" + name);
}

void Click(TControl* control)
{
    HoverControl(control);
    ClickControl(control);
}

std::vector<int> Faces(TPSpeedButton* button)
{
    return {button->GetImageIndexIDLE(), button->GetImageIndexUp(), button->GetImageIndexDown()};
}

template <size_t N>
std::vector<bool> Enabled(TForm1* form, const CheckBoxField (&boxes)[N])
{
    std::vector<bool> states;
    for (CheckBoxField box : boxes) states.push_back((form->*box)->GetEnabled());
    return states;
}

template <size_t N>
std::vector<bool> Checked(TForm1* form, const CheckBoxField (&boxes)[N])
{
    std::vector<bool> states;
    for (CheckBoxField box : boxes) states.push_back((form->*box)->GetChecked());
    return states;
}

// The names of the item boxes still checked, in the run's order.
std::vector<std::string> CheckedItems(TForm1* form)
{
    std::vector<std::string> names;
    for (const Item& item : kItems)
        if ((form->*item.Box)->GetChecked()) names.push_back((form->*item.Box)->GetName());
    return names;
}

void CheckItems(TForm1* form, const std::vector<CheckBoxField>& boxes)
{
    for (CheckBoxField box : boxes) (form->*box)->SetChecked(true);
}

void CheckAllItems(TForm1* form)
{
    for (const Item& item : kItems) (form->*item.Box)->SetChecked(true);
}

// --------------------------------------------------------- what the user sees

// The progress texts as the user sees them: the caption of the progress label
// each time its panel is painted, repeated paints of one text noted once.
class ProgressRecorder {
public:
    explicit ProgressRecorder(TForm1* form) : FForm(form), FPanel(form->plPrivacyButtons->Handle())
    {
        SetWindowSubclass(FPanel, Proc, 7, reinterpret_cast<DWORD_PTR>(this));
    }
    ~ProgressRecorder() { RemoveWindowSubclass(FPanel, Proc, 7); }
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;
    std::vector<std::string> Texts;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
    {
        auto* recorder = reinterpret_cast<ProgressRecorder*>(self);
        if (msg == WM_PAINT) {
            const std::string text = recorder->FForm->lDeleteProcess->GetCaption();
            if (!text.empty() && (recorder->Texts.empty() || recorder->Texts.back() != text))
                recorder->Texts.push_back(text);
        }
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    TForm1* FForm;
    HWND FPanel;
};

// What one confirmation dialog showed.
struct ShownConfirm {
    int Height = 0;
    int ClientHeight = 0;
    std::string Caption;
    std::string Header;
    int HeaderHeight = 0;
    std::string Message;
    POINT Centre{};
    bool Global = false; // the global named this dialog while it showed
};

using ConfirmAnswer = std::function<void(TfmPrivacyConfirm* dialog)>;

ConfirmAnswer PressKey(WORD key, bool alt = false)
{
    return [key, alt](TfmPrivacyConfirm* dialog) { PostKey(dialog->Handle(), key, alt); };
}

ConfirmAnswer Press(TPSpeedButton* TfmPrivacyConfirm::*button)
{
    return [button](TfmPrivacyConfirm* dialog) { PostClick(dialog->*button); };
}

// Answers the confirmation dialogs shown while Run's action runs, as a user
// would, noting what each showed. A dialog beyond the answers is closed.
class ConfirmWatch {
public:
    explicit ConfirmWatch(ConfirmAnswer answer) : FAnswer(std::move(answer)) {}
    void Run(const std::function<void()>& action)
    {
        gWatch = this;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
        action();
        KillTimer(nullptr, timer);
        gWatch = nullptr;
    }
    std::vector<ShownConfirm> Shown;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND active = GetActiveWindow();
        auto* dialog = dynamic_cast<TfmPrivacyConfirm*>(FindControl(active));
        if (!gWatch || !dialog || !IsWindowVisible(active) || GetPropA(active, "SweeporaTestAnswered")) return;
        SetPropA(active, "SweeporaTestAnswered", reinterpret_cast<HANDLE>(1));
        ShownConfirm shown;
        RECT r;
        GetWindowRect(active, &r);
        shown.Height = r.bottom - r.top;
        shown.Centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        GetClientRect(active, &r);
        shown.ClientHeight = r.bottom;
        shown.Caption = WindowText(active);
        shown.Header = dialog->lMessageTop->GetCaption();
        shown.HeaderHeight = dialog->lMessageTop->GetHeight();
        shown.Message = dialog->lMessage->GetCaption();
        shown.Global = fmPrivacyConfirm == dialog;
        gWatch->Shown.push_back(shown);
        if (gWatch->Shown.size() == 1 && gWatch->FAnswer)
            gWatch->FAnswer(dialog);
        else
            PostMessageA(active, WM_CLOSE, 0, 0);
    }
    static ConfirmWatch* gWatch;
    ConfirmAnswer FAnswer;
};
ConfirmWatch* ConfirmWatch::gWatch = nullptr;

// ------------------------------------------------------------ the restart

// Stands in for the system's ExitWindowsEx in this program's import table, so
// that a Yes to the restart question restarts nothing (under Wine the real
// call ends every process of the prefix that has a window, this test's too).
class ExitWindowsRecorder {
public:
    explicit ExitWindowsRecorder(BOOL result = TRUE, DWORD error = 0) : Result(result), Error(error)
    {
        gRecorder = this;
        // The program must enable the privilege itself.
        SetShutdownPrivilege(false);
        FSlot = ImportSlot("user32.dll", "ExitWindowsEx");
        if (!FSlot) return;
        FOriginal = *FSlot;
        Write(reinterpret_cast<void*>(&Fake));
    }
    ~ExitWindowsRecorder()
    {
        if (FSlot) Write(FOriginal);
        gRecorder = nullptr;
    }
    ExitWindowsRecorder(const ExitWindowsRecorder&) = delete;
    ExitWindowsRecorder& operator=(const ExitWindowsRecorder&) = delete;
    bool Patched() const { return FSlot != nullptr; }

    struct Call {
        UINT Flags;
        DWORD Reason;
        bool ShutdownPrivilegeEnabled;
    };
    std::vector<Call> Calls;
    BOOL Result;
    DWORD Error;

private:
    static BOOL WINAPI Fake(UINT flags, DWORD reason)
    {
        gRecorder->Calls.push_back({flags, reason, ShutdownPrivilegeEnabled()});
        SetLastError(gRecorder->Error);
        return gRecorder->Result;
    }
    static void SetShutdownPrivilege(bool enabled)
    {
        HANDLE token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    static bool ShutdownPrivilegeEnabled()
    {
        HANDLE token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
        LUID luid;
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid);
        PRIVILEGE_SET set = {1, PRIVILEGE_SET_ALL_NECESSARY, {{luid, 0}}};
        BOOL enabled = FALSE;
        PrivilegeCheck(token, &set, &enabled);
        CloseHandle(token);
        return enabled != FALSE;
    }
    // The import table entry of this program that holds the function.
    static void** ImportSlot(const char* dll, const char* function)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        void* target = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
            for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t)
                if (reinterpret_cast<void*>(t->u1.Function) == target) return reinterpret_cast<void**>(&t->u1.Function);
        }
        return nullptr;
    }
    void Write(void* value)
    {
        DWORD old;
        VirtualProtect(FSlot, sizeof(void*), PAGE_READWRITE, &old);
        *FSlot = value;
        VirtualProtect(FSlot, sizeof(void*), old, &old);
    }
    static ExitWindowsRecorder* gRecorder;
    void** FSlot = nullptr;
    void* FOriginal = nullptr;
};
ExitWindowsRecorder* ExitWindowsRecorder::gRecorder = nullptr;

class PrivacyTest : public ::testing::Test {
protected:
    void SetUp() override { SeedBrowsers({}); }
    void TearDown() override
    {
        LeaveControls();
        FreeMainWindow(form);
    }
    // The main window on the Privacy page, entered with a click on its icon.
    void OpenPrivacyPage()
    {
        if (!form) form = CreateMainWindow();
        Click(form->bbtAboutIcon);
        Click(form->bbtPrivacyIcon);
        ASSERT_EQ(form->ActivePage, pcPrivacy);
    }
    // A click on the Execute button, the confirmation answered by answer and
    // the program's own boxes by boxes.
    void Execute(ConfirmWatch& confirm, BoxWatch& boxes)
    {
        confirm.Run([&] { boxes.Run([&] { Click(form->bbtPrivacyConfirm); }); });
    }
    TForm1* form = nullptr;
};

// ---------------------------------------------------------------- the page

TEST_F(PrivacyTest, DetectionSetsTheBitsTheFacesAndTheEnabledItems)
{
    // One window for all: with neither Netscape 6 nor Mozilla found, the
    // button keeps the faces the visit before gave it.
    const struct {
        const char* What;
        Browsers Keys;
        int Bits;
        std::vector<int> NetscapeFaces;
    } cases[] = {
        {"nothing installed", {false, false, {}, false}, 0, {6, 7, 8}},
        {"Opera", {true, false, {}, false}, 1, {6, 7, 8}},
        {"Mozilla", {false, false, {"Mozilla 1.7"}, true}, 8, {9, 10, 11}},
        {"Mozilla key, no subkey", {false, false, {}, true}, 0, {9, 10, 11}},
        {"Netscape 6 and Mozilla", {false, true, {"Mozilla"}, true}, 12, {12, 13, 14}},
        {"Mozilla key, other subkeys", {false, false, {"mozilla", "Moz", "MOZILLA 1.0", "Firefox"}, true}, 0,
         {12, 13, 14}},
        {"Netscape 6", {false, true, {}, false}, 4, {6, 7, 8}},
        {"all three", {true, true, {"Firefox", "Mozilla Thunderbird"}, true}, 13, {12, 13, 14}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SeedBrowsers(c.Keys);
        OpenPrivacyPage();
        EXPECT_EQ(form->InstalledBrowsers, c.Bits);
        EXPECT_EQ(Faces(form->bbtNetscape), c.NetscapeFaces);

        // The boxes follow at the click on their sub-page's button.
        for (const Item& item : kItems) (form->*item.Box)->SetChecked(false);
        Click(form->bbtOpera);
        EXPECT_EQ(Enabled(form, kOperaBoxes), std::vector<bool>(6, (c.Bits & 1) != 0));
        Click(form->bbtPrivacyOperaSelectAll);
        EXPECT_EQ(Checked(form, kOperaBoxes), std::vector<bool>(6, (c.Bits & 1) != 0));

        Click(form->bbtNetscape);
        EXPECT_EQ(Enabled(form, kNetscapeBoxes), std::vector<bool>(7, (c.Bits & 12) != 0));
        Click(form->bbtPrivacyNetscapeSelectAll);
        EXPECT_EQ(Checked(form, kNetscapeBoxes), std::vector<bool>(7, (c.Bits & 12) != 0));
    }
}

TEST_F(PrivacyTest, EachVisitDetectsAfreshAndTheFacesStayWhenNeitherIsFound)
{
    OpenPrivacyPage();
    EXPECT_EQ(form->InstalledBrowsers, 0);
    // Until their sub-page's first click, the boxes are as the form has them.
    EXPECT_EQ(Enabled(form, kOperaBoxes), std::vector<bool>(6, true));
    EXPECT_EQ(Enabled(form, kNetscapeBoxes), std::vector<bool>(7, true));
    // Installed while the program runs: found at the next visit.
    SeedBrowsers({true, true, {"Mozilla"}, true});
    Click(form->bbtOpera);
    EXPECT_FALSE(form->cbOperaCookies->GetEnabled()) << "the boxes follow only the detection of a visit";
    OpenPrivacyPage();
    EXPECT_EQ(form->InstalledBrowsers, 13);
    EXPECT_EQ(Faces(form->bbtNetscape), (std::vector<int>{12, 13, 14}));
    // The sub-page shown before stays, its boxes follow at the next click on it.
    EXPECT_TRUE(form->plPrivacyOpera->GetVisible());
    EXPECT_FALSE(form->cbOperaCookies->GetEnabled());
    Click(form->bbtOpera);
    EXPECT_TRUE(form->cbOperaCookies->GetEnabled());
    form->cbOperaCookies->SetChecked(true);

    // Removed again: the faces stay as the last find left them; a check mark
    // set while the box was enabled stays when it is disabled.
    SeedBrowsers({});
    OpenPrivacyPage();
    EXPECT_EQ(form->InstalledBrowsers, 0);
    EXPECT_EQ(Faces(form->bbtNetscape), (std::vector<int>{12, 13, 14}));
    Click(form->bbtOpera);
    EXPECT_FALSE(form->cbOperaCookies->GetEnabled());
    EXPECT_TRUE(form->cbOperaCookies->GetChecked());
    // Its select-all does nothing now.
    Click(form->bbtPrivacyOperaSelectAll);
    EXPECT_EQ(Checked(form, kOperaBoxes), (std::vector<bool>{false, true, false, false, false, false}));
}

TEST_F(PrivacyTest, SubPageButtonsShowTheirPanelTitleAndStatusLine)
{
    OpenPrivacyPage();
    EXPECT_TRUE(form->bbtIE->GetDown());
    EXPECT_TRUE(form->plPrivacyIE->GetVisible());
    EXPECT_EQ(form->lPrivacyWarning->GetCaption(),
              "WARNING!\nIn order to properly delete the selected \nitems you have to close the Internet Explorer");

    const struct {
        TPSpeedButton* TForm1::*Button;
        TPanel* TForm1::*Panel;
        const char* Title;
    } subPages[] = {
        {&TForm1::bbtOpera, &TForm1::plPrivacyOpera, "Opera"},
        {&TForm1::bbtNetscape, &TForm1::plPrivacyNetscape, "Netscape/Mozilla"},
        {&TForm1::bbtWindows, &TForm1::plPrivacyWindows, "Windows"},
        {&TForm1::bbtIE, &TForm1::plPrivacyIE, "Internet Explorer/MSN Explorer"},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& page : subPages) {
            TPSpeedButton* button = form->*page.Button;
            SCOPED_TRACE(button->GetName());
            form->lMessage->SetCaption("");
            // The second round clicks the button that is already down.
            Click(button);
            if (round == 1) Click(button);
            for (const auto& other : subPages) {
                EXPECT_EQ((form->*other.Panel)->GetVisible(), other.Panel == page.Panel);
                EXPECT_EQ((form->*other.Button)->GetDown(), other.Button == page.Button);
            }
            EXPECT_EQ(form->PrivacyPageTitle, page.Title);
            EXPECT_EQ(form->lMessage->GetCaption(), std::string("Privacy Manager - ") + page.Title);
        }
    }

    // Leaving the page and coming back keeps the sub-page and its title.
    Click(form->bbtWindows);
    form->cbRecent->SetChecked(true);
    OpenPrivacyPage();
    EXPECT_TRUE(form->plPrivacyWindows->GetVisible());
    EXPECT_TRUE(form->bbtWindows->GetDown());
    EXPECT_EQ(form->lMessage->GetCaption(), "Privacy Manager - Windows");
    EXPECT_TRUE(form->cbRecent->GetChecked());
}

TEST_F(PrivacyTest, SelectAllChecksItsOwnBoxesAndNeverUnchecks)
{
    OpenPrivacyPage();
    const struct {
        TPSpeedButton* TForm1::*Page;
        TPSpeedButton* TForm1::*SelectAll;
        std::vector<CheckBoxField> Boxes;
    } pages[] = {
        {&TForm1::bbtIE, &TForm1::bbtPrivacyIESelectAll, {std::begin(kIEBoxes), std::end(kIEBoxes)}},
        {&TForm1::bbtWindows, &TForm1::bbtPrivacyWindowsSelectAll,
         {std::begin(kWindowsBoxes), std::end(kWindowsBoxes)}},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE((form->*page.SelectAll)->GetName());
        Click(form->*page.Page);
        std::vector<std::string> before = CheckedItems(form);
        Click(form->*page.SelectAll);
        Click(form->*page.SelectAll);
        std::vector<std::string> expected = before;
        for (CheckBoxField box : page.Boxes) expected.push_back((form->*box)->GetName());
        std::vector<std::string> after = CheckedItems(form);
        std::sort(expected.begin(), expected.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, expected);
    }
}

// --------------------------------------------------- the confirmation dialog

TEST_F(PrivacyTest, ConfirmationListsTheCheckedItemsAndGrowsWithThem)
{
    OpenPrivacyPage();
    const struct {
        std::vector<CheckBoxField> Boxes;
        const char* List;
        int Count;
    } cases[] = {
        {{&TForm1::cbRecent}, "    - Windows Recent Documents\n", 1},
        {{&TForm1::cbWinTemp, &TForm1::cbCookies, &TForm1::cbOperaURLs},
         "    - Internet Explorer/MSN Cookies\n    - Opera Typed URLs\n    - Windows Temporary Files\n", 3},
        {{}, kAllLines, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Count);
        if (c.Count == 21) {
            // Disabled boxes that are checked count like any other.
            CheckAllItems(form);
            Click(form->bbtOpera);
            ASSERT_FALSE(form->cbOperaCookies->GetEnabled());
        } else {
            CheckItems(form, c.Boxes);
        }
        ConfirmWatch confirm(PressKey(VK_ESCAPE));
        BoxWatch boxes;
        Execute(confirm, boxes);
        ASSERT_EQ(confirm.Shown.size(), 1u);
        const ShownConfirm& shown = confirm.Shown[0];
        EXPECT_EQ(shown.Height, 144 + 16 * c.Count);
        EXPECT_EQ(shown.ClientHeight, 144 + 16 * c.Count);
        EXPECT_EQ(shown.Caption, "");
        EXPECT_EQ(shown.Header, "\n\nThe following items will be deleted:");
        EXPECT_EQ(shown.HeaderHeight, 48);
        EXPECT_EQ(shown.Message, std::string(c.List) + "\nAre you sure?");
        EXPECT_TRUE(shown.Global);
        // Centred on the main window.
        RECT main;
        GetWindowRect(form->Handle(), &main);
        EXPECT_NEAR(shown.Centre.x, (main.left + main.right) / 2, 1);
        EXPECT_NEAR(shown.Centre.y, (main.top + main.bottom) / 2, 1);
        EXPECT_EQ(boxes.Shown(), 0);
        EXPECT_EQ(fmPrivacyConfirm, nullptr) << "the global names the start-up dialog again (none here)";
        for (const Item& item : kItems) (form->*item.Box)->SetChecked(false);
    }
}

TEST_F(PrivacyTest, OnlyYesGoesOnToTheDeletions)
{
    OpenPrivacyPage();
    const struct {
        const char* What;
        ConfirmAnswer Answer;
        bool Deletes;
    } cases[] = {
        {"Enter", PressKey(VK_RETURN), true},
        {"click on Yes", Press(&TfmPrivacyConfirm::bbtYes2), true},
        {"Esc", PressKey(VK_ESCAPE), false},
        {"click on No", Press(&TfmPrivacyConfirm::bbtNo2), false},
        {"closed by the system", PressKey(VK_F4, true), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        // The typed addresses: a deletion the run makes itself.
        RegSetString(HKEY_CURRENT_USER, kTypedURLs, "url1", "http://example.com/");
        CheckItems(form, {&TForm1::cbURLs, &TForm1::cbRecent});
        RegDeleteTree(HKEY_CURRENT_USER, kShellFolders); // nothing for Recent to clean
        ProgressRecorder progress(form);
        ConfirmWatch confirm(c.Answer);
        BoxWatch boxes;
        Execute(confirm, boxes);
        EXPECT_EQ(confirm.Shown.size(), 1u);
        EXPECT_EQ(RegKeyPresent(HKEY_CURRENT_USER, kTypedURLs), !c.Deletes);
        if (c.Deletes) {
            EXPECT_EQ(progress.Texts, std::vector<std::string>{"Deleting: Internet Explorer/MSN URLs"});
            EXPECT_EQ(CheckedItems(form), std::vector<std::string>{"cbRecent"});
        } else {
            EXPECT_TRUE(progress.Texts.empty());
            EXPECT_EQ(CheckedItems(form), (std::vector<std::string>{"cbRecent", "cbURLs"}));
        }
        EXPECT_EQ(form->lDeleteProcess->GetCaption(), "");
        EXPECT_EQ(boxes.Shown(), 0);
        form->cbRecent->SetChecked(false);
    }
}

TEST_F(PrivacyTest, ConfirmationMovesFromItsFourPlaces)
{
    OpenPrivacyPage();
    form->cbRecycleBin->SetChecked(true);
    std::vector<std::vector<WPARAM>> moves;
    ConfirmWatch confirm([&](TfmPrivacyConfirm* dialog) {
        MoveCommandRecorder recorder(dialog->Handle());
        TControl* places[] = {dialog->lMessageTop, dialog->lMessage, dialog->Panel3, dialog->Panel2};
        for (TControl* place : places) {
            recorder.Commands.clear();
            ClickControl(place, 3, 3);
            moves.push_back(recorder.Commands);
        }
        PostKey(dialog->Handle(), VK_ESCAPE);
    });
    BoxWatch boxes;
    Execute(confirm, boxes);
    EXPECT_EQ(moves, std::vector<std::vector<WPARAM>>(4, std::vector<WPARAM>{0xF012}));
    EXPECT_TRUE(form->cbRecycleBin->GetChecked());
}

TEST_F(PrivacyTest, NothingCheckedAsksNothingAndDeletesNothing)
{
    OpenPrivacyPage();
    for (bool confirmFirst : {true, false}) {
        SCOPED_TRACE(confirmFirst);
        form->cbShowConfirm->SetChecked(confirmFirst);
        RegSetString(HKEY_CURRENT_USER, kTypedURLs, "url1", "http://example.com/");
        ProgressRecorder progress(form);
        ConfirmWatch confirm(PressKey(VK_RETURN));
        BoxWatch boxes;
        Execute(confirm, boxes);
        EXPECT_TRUE(confirm.Shown.empty());
        EXPECT_EQ(boxes.Shown(), 0);
        EXPECT_TRUE(progress.Texts.empty());
        EXPECT_EQ(form->lDeleteProcess->GetCaption(), "");
        EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, kTypedURLs));
    }
}

// ------------------------------------------------------------------ the run

// A sandbox of traces for every step: the Shell Folders of the test, the
// temporary folder, an Opera install and a Mozilla profile.
struct Traces {
    std::string Root = "C:\\privacy";
    std::string AppData = AppDataFolder();
    std::string OperaProfile = AppData + "\\Opera\\Opera7\\Profile";
    std::string MozillaProfile = AppData + "\\Mozilla\\Profiles\\default\\abcd1234.slt";

    void Seed()
    {
        SeedBrowsers({true, false, {"Mozilla 1.7"}, true});
        for (const char* name : {"Cookies", "Cache", "History", "Favorites", "Recent"}) {
            RegSetString(HKEY_CURRENT_USER, kShellFolders, name, Root + "\\" + name);
            WriteTrace(Root + "\\" + name + "\\trace.txt");
        }
        RegSetString(HKEY_CURRENT_USER, kTypedURLs, "url1", "http://example.com/");
        SetEnvironmentVariableA("TMP", (Root + "\\Temp").c_str());
        SetEnvironmentVariableA("TEMP", (Root + "\\Temp").c_str());
        WriteTrace(Root + "\\Temp\\trace.tmp");
        for (const char* name : {"Cookies4.dat", "Global.dat", "Opera6.adr", "Opera6.adr.bak", "Opera.dir",
                                 "Download.dat", "CACHE4\\opr00001.htm"})
            WriteTrace(OperaProfile + "\\" + name);
        for (const char* name : {"cookies.txt", "history.dat", "bookmarks.html", "localstore.rdf", "downloads.rdf",
                                 "12345678.s", "Cache\\_CACHE_001_"})
            WriteTrace(MozillaProfile + "\\" + name);
    }
};

TEST_F(PrivacyTest, StepsRunInTheirOrderWithTheirProgressTextsAndClearTheirBoxes)
{
    Traces traces;
    traces.Seed();
    OpenPrivacyPage();
    form->cbShowConfirm->SetChecked(false);
    CheckAllItems(form);
    ProgressRecorder progress(form);
    ConfirmWatch confirm(PressKey(VK_ESCAPE));
    BoxWatch boxes;
    Execute(confirm, boxes);
    std::vector<std::string> expected;
    for (const Item& item : kItems) expected.push_back(item.Progress);
    EXPECT_EQ(progress.Texts, expected);
    EXPECT_TRUE(confirm.Shown.empty()) << "no confirmation when it is switched off";
    EXPECT_TRUE(CheckedItems(form).empty());
    EXPECT_EQ(form->lDeleteProcess->GetCaption(), "");
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, kTypedURLs));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer"));
    EXPECT_EQ(form->Registry->GetRootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(NoRestartQuestion(boxes));
}

TEST_F(PrivacyTest, AGroupWhoseConditionFailsLeavesItsBoxesChecked)
{
    const std::vector<std::string> shellFolderBoxes = {"cbCookies", "cbInternetFiles", "cbHistory", "cbFavorites",
                                                       "cbRecent"};
    const std::vector<std::string> operaBoxes = {"cbOperaCookies", "cbOperaInternetFiles", "cbOperaHistory",
                                                 "cbOperaFavorites", "cbOperaURLs", "cbOperaDownloadHistory"};
    const auto deleteOpera = [] { RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\Netscape"); };
    const struct {
        const char* What;
        std::function<void()> Break;
        bool AfterVisit; // broken after the page detected the browsers
        std::vector<std::string> Kept; // the boxes whose steps did not run
    } cases[] = {
        {"no Shell Folders key", [] { RegDeleteTree(HKEY_CURRENT_USER, kShellFolders); }, false, shellFolderBoxes},
        {"Opera found, its key gone since", deleteOpera, true, operaBoxes},
        {"no Opera install directory",
         [] { RegSetString(HKEY_LOCAL_MACHINE, kOperaKey, "Install Directory", ""); }, false, operaBoxes},
        // Steps whose folder or key is missing, or named by no value, still
        // run and clear their boxes.
        {"empty and missing values, missing folders and keys",
         [] {
             RegSetString(HKEY_CURRENT_USER, kShellFolders, "Cookies", "");
             HKEY key;
             RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &key);
             RegDeleteValueA(key, "History");
             RegCloseKey(key);
             RegSetString(HKEY_CURRENT_USER, kShellFolders, "Cache", "C:\\no such folder");
             RegDeleteTree(HKEY_CURRENT_USER, kTypedURLs);
         },
         false, {}},
        // Last: the second click below finds its boxes still checked.
        {"Opera not found", deleteOpera, false, operaBoxes},
    };
    Traces traces;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        traces.Seed();
        if (!c.AfterVisit) c.Break();
        OpenPrivacyPage();
        if (c.AfterVisit) c.Break();
        form->cbShowConfirm->SetChecked(false);
        CheckAllItems(form);
        ProgressRecorder progress(form);
        ConfirmWatch confirm(nullptr);
        BoxWatch boxes;
        Execute(confirm, boxes);
        EXPECT_EQ(CheckedItems(form), c.Kept);
        std::vector<std::string> expected;
        for (const Item& item : kItems) {
            const std::string name = (form->*item.Box)->GetName();
            if (std::find(c.Kept.begin(), c.Kept.end(), name) == c.Kept.end()) expected.push_back(item.Progress);
        }
        EXPECT_EQ(progress.Texts, expected);
        EXPECT_TRUE(NoRestartQuestion(boxes));
    }

    // A second click works through the boxes still checked.
    traces.Seed();
    OpenPrivacyPage();
    ProgressRecorder again(form);
    ConfirmWatch confirm(nullptr);
    BoxWatch boxes;
    Execute(confirm, boxes);
    EXPECT_TRUE(CheckedItems(form).empty());
    EXPECT_EQ(again.Texts, (std::vector<std::string>{"Deleting: Opera Cookies", "Deleting: Opera Temporary Files",
                                                     "Deleting: Opera History", "Deleting: Opera Bookmarks",
                                                     "Deleting: Opera URLs", "Deleting: Opera Download History"}));
}

TEST_F(PrivacyTest, ARegistryFailureEndsTheRunWhereItHappened)
{
    Traces traces;
    traces.Seed();
    // A folder value that is no text.
    RegSetDword(HKEY_CURRENT_USER, kShellFolders, "History", 5);
    OpenPrivacyPage();
    form->cbShowConfirm->SetChecked(false);
    CheckAllItems(form);
    ProgressRecorder progress(form);
    BoxAnswerer exceptionBox;
    ConfirmWatch confirm(nullptr);
    BoxWatch boxes;
    Execute(confirm, boxes);
    ASSERT_TRUE(exceptionBox.Join());
    EXPECT_TRUE(exceptionBox.HadStopIcon);
    ASSERT_FALSE(exceptionBox.Texts.empty());
    EXPECT_EQ(exceptionBox.Texts.back(), "Invalid data type for 'History'");
    EXPECT_EQ(form->lDeleteProcess->GetCaption(), "Deleting: Internet Explorer/MSN History");
    EXPECT_EQ(progress.Texts, (std::vector<std::string>{"Deleting: Internet Explorer/MSN Cookies",
                                                        "Deleting: Internet Explorer/MSN Temporary Files",
                                                        "Deleting: Internet Explorer/MSN History"}));
    std::vector<std::string> left = CheckedItems(form);
    EXPECT_EQ(left.size(), 19u);
    EXPECT_EQ(left.front(), "cbHistory");
    EXPECT_EQ(boxes.Shown(), 0) << "no restart question";
    EXPECT_EQ(form->Registry->GetRootKey(), HKEY_LOCAL_MACHINE);
}

TEST_F(PrivacyTest, TheRecycleBinIsEmptiedWithoutAnyQuestion)
{
    const std::string file = "C:\\privacy\\recycled.txt";
    WriteTrace(file);
    char from[MAX_PATH + 2] = {};
    lstrcpyA(from, file.c_str());
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from;
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationA(&op), 0);
    SHQUERYRBINFO info = {};
    info.cbSize = sizeof info;
    SHQueryRecycleBinA(nullptr, &info);
    ASSERT_GT(info.i64NumItems, 0) << "the sandbox's recycle bin took the file";

    OpenPrivacyPage();
    form->cbRecycleBin->SetChecked(true);
    ConfirmWatch confirm(PressKey(VK_RETURN));
    BoxWatch boxes;
    Execute(confirm, boxes);
    info = {};
    info.cbSize = sizeof info;
    SHQueryRecycleBinA(nullptr, &info);
    EXPECT_EQ(info.i64NumItems, 0);
    EXPECT_EQ(boxes.Shown(), 0);
    EXPECT_FALSE(form->cbRecycleBin->GetChecked());
}

// ------------------------------------------------ what the steps delete

// Every target holds traces (files and a subfolder); canaries lie beside and
// behind the targets, and among the Mozilla profiles where no profile is.
struct TracesWithCanaries : Traces {
    std::vector<std::string> Deleted;  // what the run must delete
    std::vector<std::string> Canaries; // what it must leave

    void SeedAll()
    {
        Seed();
        for (const char* name : {"Cookies", "Cache", "History", "Favorites", "Recent", "Temp"}) {
            const std::string folder = Root + "\\" + name;
            Deleted.push_back(folder + "\\trace.txt");
            Deleted.push_back(folder + "\\sub\\deeper\\trace.dat");
            Canaries.push_back(Root + "\\" + name + ".keep");
        }
        Deleted.push_back(Root + "\\Temp\\trace.tmp");
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        Deleted.push_back(std::string(windows) + "\\Temp\\trace.log");
        Canaries.push_back(std::string(windows) + "\\canary.txt");
        Canaries.push_back(Root + "\\canary.txt");
        for (const char* name : {"Cookies4.dat", "Global.dat", "Opera6.adr", "Opera6.adr.bak", "Opera.dir",
                                 "Download.dat", "CACHE4\\opr00001.htm", "CACHE4\\sub\\opr00002.htm"})
            Deleted.push_back(OperaProfile + "\\" + name);
        for (const char* name : {"opera6.ini", "mail\\inbox.mbs", "Cookies4.dat.keep"})
            Canaries.push_back(OperaProfile + "\\" + name);
        Canaries.push_back(AppData + "\\Opera\\Other\\Profile\\Cookies4.dat");
        const std::string profiles = AppData + "\\Mozilla\\Profiles";
        for (const std::string& profile : {MozillaProfile, profiles + "\\work\\x9y8z7.slt"}) {
            for (const char* name : {"cookies.txt", "history.dat", "bookmarks.html", "localstore.rdf",
                                     "downloads.rdf", "12345678.s", "Cache\\_CACHE_001_", "Cache\\sub\\entry"})
                Deleted.push_back(profile + "\\" + name);
            for (const char* name : {"prefs.js", "cookies.txt.bak", "Cache2\\entry", "history.dat.sx"})
                Canaries.push_back(profile + "\\" + name);
        }
        // Files at the first two levels are no profile folders.
        Canaries.push_back(profiles + "\\cookies.txt");
        Canaries.push_back(profiles + "\\default\\cookies.txt");
        Canaries.push_back(profiles + "\\default\\history.dat");
        Canaries.push_back(AppData + "\\Mozilla\\cookies.txt");
        for (const std::string& path : Deleted) WriteTrace(path);
        for (const std::string& path : Canaries) WriteTrace(path, "canary");
    }
};

std::vector<std::string> Existing(const std::vector<std::string>& paths)
{
    std::vector<std::string> found;
    for (const std::string& path : paths)
        if (testsupport::FileExists(path)) found.push_back(path);
    return found;
}

TEST_F(PrivacyTest, EveryStepDeletesItsTargetsAndNothingBeside)
{
    TracesWithCanaries traces;
    traces.SeedAll();
    ClearSchedule();
    OpenPrivacyPage();
    CheckAllItems(form);
    ConfirmWatch confirm(PressKey(VK_RETURN));
    BoxWatch boxes;
    Execute(confirm, boxes);
    EXPECT_EQ(Existing(traces.Deleted), std::vector<std::string>{});
    EXPECT_EQ(Existing(traces.Canaries), traces.Canaries);
    // The folders given are emptied, not removed.
    for (const char* name : {"Cookies", "Cache", "History", "Favorites", "Recent", "Temp"})
        EXPECT_TRUE(testsupport::FileExists(traces.Root + "\\" + name)) << name;
    EXPECT_TRUE(testsupport::FileExists(traces.OperaProfile + "\\CACHE4"));
    EXPECT_TRUE(testsupport::FileExists(traces.MozillaProfile + "\\Cache"));
    EXPECT_TRUE(NoRestartQuestion(boxes)) << "nothing was in use";
    EXPECT_TRUE(CheckedItems(form).empty());
}

TEST_F(PrivacyTest, NoDeletesNothing)
{
    TracesWithCanaries traces;
    traces.SeedAll();
    OpenPrivacyPage();
    CheckAllItems(form);
    ConfirmWatch confirm(PressKey(VK_ESCAPE));
    BoxWatch boxes;
    Execute(confirm, boxes);
    EXPECT_EQ(Existing(traces.Deleted), traces.Deleted);
    EXPECT_EQ(Existing(traces.Canaries), traces.Canaries);
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, kTypedURLs));
    EXPECT_EQ(CheckedItems(form).size(), 21u);
}

TEST_F(PrivacyTest, AFolderThatMustNeverBeCleanedIsLeftAloneAndItsBoxCleared)
{
    char windows[MAX_PATH], system[MAX_PATH], profile[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH);
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    const struct {
        std::string Value;   // the Shell Folders value of the cookies
        std::string Canary;  // a file that would go were it cleaned
    } cases[] = {
        {"C:\\", "C:\\canary-root.txt"},
        {"C:", "C:\\canary-root.txt"},
        {windows, std::string(windows) + "\\canary.txt"},
        {std::string(windows) + "\\", std::string(windows) + "\\canary.txt"},
        {system, std::string(system) + "\\canary.txt"},
        {profile, std::string(profile) + "\\canary.txt"},
        {".", std::string(current) + "\\canary.txt"},
        {"..", "C:\\canary-root.txt"},
        {"privacy-relative", std::string(current) + "\\privacy-relative\\canary.txt"},
        {"\\", "C:\\canary-root.txt"},
    };
    OpenPrivacyPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        RegSetString(HKEY_CURRENT_USER, kShellFolders, "Cookies", c.Value);
        WriteTrace(c.Canary, "canary");
        form->cbShowConfirm->SetChecked(false);
        form->cbCookies->SetChecked(true);
        ProgressRecorder progress(form);
        ConfirmWatch confirm(PressKey(VK_RETURN));
        BoxWatch boxes;
        Execute(confirm, boxes);
        EXPECT_TRUE(testsupport::FileExists(c.Canary));
        EXPECT_FALSE(form->cbCookies->GetChecked());
        EXPECT_EQ(progress.Texts, std::vector<std::string>{"Deleting: Internet Explorer/MSN Cookies"});
    }
}

// A Unix symbolic link at path to the sandbox's Desktop folder ($HOME of the
// sandbox + "/Desktop"): Wine's shell makes one where the Desktop folder it is
// asked to create does not exist yet. Under Wine 8 a Windows program cannot
// make a link otherwise (CreateSymbolicLinkA makes nothing).
void MakeLinkToSandboxDesktop(const std::string& path)
{
    const char userShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    MakeDirs(path, true);
    std::map<std::string, std::string> saved = RegValues(HKEY_CURRENT_USER, userShellFolders);
    RegSetString(HKEY_CURRENT_USER, userShellFolders, "Desktop", path, REG_EXPAND_SZ);
    char made[MAX_PATH] = "";
    HRESULT hr = SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr, 0, made);
    if (saved.count("Desktop"))
        RegSetString(HKEY_CURRENT_USER, userShellFolders, "Desktop", saved["Desktop"], REG_EXPAND_SZ);
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(GetFileAttributesA(path.c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        << path << " is no link";
}

TEST_F(PrivacyTest, TheProfileWalkNeverFollowsALink)
{
    Traces traces;
    traces.Seed();
    const std::string profiles = traces.AppData + "\\Mozilla\\Profiles";
    // A link where a profile's folder would be, one where a profile would be,
    // and a profile's cache that is a link; all lead to the same folder.
    ASSERT_NO_FATAL_FAILURE(MakeLinkToSandboxDesktop(profiles + "\\linked"));
    ASSERT_NO_FATAL_FAILURE(MakeLinkToSandboxDesktop(profiles + "\\default\\linked.slt"));
    const std::string cache = profiles + "\\cached\\k1.slt\\Cache";
    ASSERT_NO_FATAL_FAILURE(MakeLinkToSandboxDesktop(cache));
    const std::vector<std::string> behind = {profiles + "\\linked\\inner.slt\\cookies.txt",
                                             profiles + "\\linked\\inner.slt\\Cache\\_CACHE_001_",
                                             profiles + "\\default\\linked.slt\\cookies.txt",
                                             cache + "\\_CACHE_002_"};
    for (const std::string& path : behind) WriteTrace(path, "canary");
    OpenPrivacyPage();
    form->cbShowConfirm->SetChecked(false);
    CheckItems(form, {&TForm1::cbNetscapeCookies, &TForm1::cbNetscapeInternetFiles});
    ConfirmWatch confirm(nullptr);
    BoxWatch boxes;
    Execute(confirm, boxes);
    EXPECT_EQ(Existing(behind), behind);
    EXPECT_FALSE(testsupport::FileExists(traces.MozillaProfile + "\\cookies.txt"));
    EXPECT_TRUE(NoRestartQuestion(boxes));
}

// Links made for one case from the Linux side, removed again after it; a
// real folder where a link is to be made waits aside meanwhile.
class CaseLinks {
public:
    ~CaseLinks()
    {
        for (auto it = FLinks.rbegin(); it != FLinks.rend(); ++it) {
            RemoveUnixLink(it->first);
            if (it->second) MoveFileA((it->first + ".real").c_str(), it->first.c_str());
        }
    }
    bool Make(const std::string& link, const std::string& target)
    {
        const DWORD attributes = GetFileAttributesA(link.c_str());
        bool aside = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (aside && !MoveFileA(link.c_str(), (link + ".real").c_str())) return false;
        if (!aside) DeleteFileA(link.c_str());
        FLinks.emplace_back(link, aside);
        return MakeUnixLink(link, target);
    }

private:
    std::vector<std::pair<std::string, bool>> FLinks; // the link, and whether a folder waits aside
};

// A target that is a link, or lies below one, is never cleaned, wherever the
// link leads: a Shell Folders value, Opera's cache and profile, Mozilla's
// profiles folder and a profile folder. An ordinary target still is. (The
// cases that would empty the profile or a folder of the system come last.)
TEST_F(PrivacyTest, ATargetThatIsALinkOrLiesBelowOneIsNeverCleaned)
{
    Traces traces;
    char buffer[MAX_PATH] = {};
    GetEnvironmentVariableA("USERPROFILE", buffer, MAX_PATH);
    const std::string profile = buffer;
    GetWindowsDirectoryA(buffer, MAX_PATH);
    const std::string windows = buffer;
    const std::string users = profile.substr(0, profile.find_last_of('\\')), user = profile.substr(users.size() + 1);
    const std::string links = traces.Root + "\\links", behind = traces.Root + "\\behind",
                      profiles = traces.AppData + "\\Mozilla\\Profiles";
    const std::string canary = "sweepora canary.txt";
    const struct {
        const char* What;
        CheckBoxField Box;
        std::string Link, LinkTo;            // "" for no link
        const char* Value;                    // the Shell Folders value of the step, if any
        std::string Folder;                   // its folder
        std::vector<std::string> Canaries;    // what must stay
        std::vector<std::string> Deleted;     // what must go
    } cases[] = {
        {"Cache is a link", &TForm1::cbInternetFiles, links + "\\cache", behind + "1", "Cache", links + "\\cache",
         {behind + "1\\canary.txt", behind + "1\\sub\\canary.txt"}, {}},
        {"Cache is below a link", &TForm1::cbInternetFiles, links + "\\up", behind + "2", "Cache",
         links + "\\up\\Cache", {behind + "2\\Cache\\canary.txt"}, {}},
        {"Opera's cache is a link", &TForm1::cbOperaInternetFiles, traces.OperaProfile + "\\CACHE4", behind + "3",
         nullptr, "", {behind + "3\\opr00001.htm", behind + "3\\sub\\opr00002.htm"}, {}},
        {"Opera's profile is a link", &TForm1::cbOperaCookies, traces.OperaProfile, behind + "4", nullptr, "",
         {behind + "4\\Cookies4.dat"}, {}},
        {"Mozilla's profiles folder is a link", &TForm1::cbNetscapeCookies, profiles, behind + "5", nullptr, "",
         {behind + "5\\default\\abcd1234.slt\\cookies.txt"}, {}},
        {"a Mozilla profile folder is a link", &TForm1::cbNetscapeInternetFiles, profiles + "\\default\\case link.slt",
         behind + "6", nullptr, "", {behind + "6\\Cache\\_CACHE_001_"},
         {traces.MozillaProfile + "\\Cache\\_CACHE_001_"}},
        {"an ordinary target", &TForm1::cbCookies, "", "", "Cookies", traces.Root + "\\Cookies",
         {traces.Root + "\\Cookies.keep"},
         {traces.Root + "\\Cookies\\trace.txt", traces.Root + "\\Cookies\\sub\\a.txt"}},
        {"History is a link to the profile", &TForm1::cbHistory, links + "\\profile", profile, "History",
         links + "\\profile", {profile + "\\" + canary, profile + "\\Documents\\" + canary}, {}},
        {"Recent is the profile below a link", &TForm1::cbRecent, links + "\\users", users, "Recent",
         links + "\\users\\" + user, {profile + "\\" + canary}, {}},
        {"Favorites is a link to C:", &TForm1::cbFavorites, links + "\\root", "C:\\", "Favorites", links + "\\root",
         {"C:\\" + canary}, {}},
        {"Cookies is the Windows folder below a link to C:", &TForm1::cbCookies, links + "\\root2", "C:\\", "Cookies",
         links + "\\root2\\" + windows.substr(3), {windows + "\\" + canary}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        traces.Seed();
        OpenPrivacyPage();
        for (const std::string& path : c.Canaries) WriteTrace(path, "canary");
        for (const std::string& path : c.Deleted) WriteTrace(path);
        CaseLinks made;
        if (!c.Link.empty()) {
            if (c.LinkTo.compare(0, behind.size(), behind) == 0) MakeDirs(c.LinkTo);
            ASSERT_TRUE(made.Make(c.Link, c.LinkTo)) << c.Link;
            WriteTrace(c.Link + " beside.txt", "canary");
        }
        if (c.Value) RegSetString(HKEY_CURRENT_USER, kShellFolders, c.Value, c.Folder);
        form->cbShowConfirm->SetChecked(false);
        (form->*c.Box)->SetChecked(true);
        ConfirmWatch confirm(nullptr);
        BoxWatch boxes;
        Execute(confirm, boxes);
        EXPECT_FALSE((form->*c.Box)->GetChecked());
        EXPECT_EQ(Existing(c.Canaries), c.Canaries);
        EXPECT_EQ(Existing(c.Deleted), std::vector<std::string>{});
        if (!c.Link.empty()) {
            EXPECT_TRUE(testsupport::FileExists(c.Link + " beside.txt"));
        }
        EXPECT_TRUE(NoRestartQuestion(boxes));
        for (const std::string& path : c.Canaries)
            if (path.compare(0, behind.size(), behind) != 0) DeleteFileA(path.c_str());
    }
}

// Under Wine a link to a file shows as the file itself: one in a folder
// target, one where an Opera profile file and one where a Mozilla profile
// file would be. They stay, what they lead to stays, the files beside go.
TEST_F(PrivacyTest, ALinkToAFileIsLeftAndWhatItLeadsToStays)
{
    Traces traces;
    traces.Seed();
    ClearSchedule();
    const std::string outside = traces.Root + "\\outside";
    const std::vector<std::pair<std::string, std::string>> links = {
        {traces.Root + "\\Cookies\\index.dat", outside + "\\index.dat"},
        {traces.Root + "\\Temp\\linked.tmp", outside + "\\linked.tmp"},
        {traces.OperaProfile + "\\Cookies4.dat", outside + "\\Cookies4.dat"},
        {traces.MozillaProfile + "\\cookies.txt", outside + "\\cookies.txt"},
    };
    CaseLinks made;
    for (const auto& link : links) {
        WriteTrace(link.second, "canary");
        ASSERT_TRUE(made.Make(link.first, link.second)) << link.first;
    }
    OpenPrivacyPage();
    form->cbShowConfirm->SetChecked(false);
    CheckItems(form, {&TForm1::cbCookies, &TForm1::cbWinTemp, &TForm1::cbOperaCookies, &TForm1::cbNetscapeCookies});
    ConfirmWatch confirm(nullptr);
    BoxWatch boxes;
    Execute(confirm, boxes);
    for (const auto& link : links) {
        EXPECT_TRUE(testsupport::FileExists(link.first)) << link.first;
        ASSERT_TRUE(testsupport::FileExists(link.second)) << link.second;
        EXPECT_EQ(ReadTextFile(link.second), "canary") << link.second;
    }
    EXPECT_FALSE(testsupport::FileExists(traces.Root + "\\Cookies\\trace.txt"));
    EXPECT_FALSE(testsupport::FileExists(traces.Root + "\\Temp\\trace.tmp"));
    EXPECT_TRUE(NoRestartQuestion(boxes)) << "nothing that leads elsewhere is left for the restart";
    EXPECT_TRUE(CheckedItems(form).empty());
}

// --------------------------------------------------------- the restart

TEST_F(PrivacyTest, FilesInUseAreScheduledAndTheRestartQuestionComesOnceAtTheEnd)
{
    Traces traces;
    traces.Seed();
    ClearSchedule();
    // One file held by this program, one by another.
    const std::string heldHere = traces.Root + "\\Cookies\\index.dat";
    const std::string heldThere = traces.MozillaProfile + "\\Cache\\_CACHE_MAP_";
    HeldFile here(heldHere);
    ASSERT_TRUE(here.Held());
    Child browser("\"" + ProgramDir() + "\\file_holder.exe\" \"" + heldThere + "\"");
    ASSERT_TRUE(WaitUntil([&] { return testsupport::FileExists(heldThere); }));
    OpenPrivacyPage();
    CheckAllItems(form);
    ExitWindowsRecorder restart;
    ASSERT_TRUE(restart.Patched());
    std::string progressAtQuestion = "?";
    size_t checkedAtQuestion = 99;
    ConfirmWatch confirm(PressKey(VK_RETURN));
    BoxWatch boxes{{[&](TfmMessageBox* box) {
        progressAtQuestion = form->lDeleteProcess->GetCaption();
        checkedAtQuestion = CheckedItems(form).size();
        ClickButton(&TfmMessageBox::bbtNo)(box);
    }}};
    Execute(confirm, boxes);
    ASSERT_EQ(boxes.Shown(), 1);
    EXPECT_EQ(boxes.Boxes[0].Text, std::string("\n") + kRestartQuestion);
    EXPECT_EQ(boxes.Boxes[0].Caption, "Information");
    EXPECT_EQ(boxes.Boxes[0].Buttons, (std::vector<std::string>{"bbtYes", "bbtNo"}));
    EXPECT_EQ(progressAtQuestion, "");
    EXPECT_EQ(checkedAtQuestion, 0u);
    EXPECT_TRUE(restart.Calls.empty()) << "No restarts nothing";
    EXPECT_TRUE(testsupport::FileExists(heldHere));
    EXPECT_TRUE(testsupport::FileExists(heldThere));
    EXPECT_TRUE(IsScheduled(heldHere)) << Scheduled();
    EXPECT_TRUE(IsScheduled(heldThere)) << Scheduled();
    EXPECT_FALSE(testsupport::FileExists(traces.Root + "\\Cookies\\trace.txt"));
}

TEST_F(PrivacyTest, YesToTheRestartQuestionRestartsWindows)
{
    Traces traces;
    traces.Seed();
    HeldFile held(traces.Root + "\\Recent\\in use.lnk");
    OpenPrivacyPage();
    const struct {
        const char* What;
        BoxAnswer Answer;
        bool Restarts;
    } cases[] = {
        {"Enter", PressKeys({VK_RETURN}), true},
        {"click on Yes", ClickButton(&TfmMessageBox::bbtYes), true},
        {"Esc", PressKeys({VK_ESCAPE}), false},
        {"closed", CloseBox(), false},
    };
    form->cbShowConfirm->SetChecked(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        form->cbRecent->SetChecked(true);
        ExitWindowsRecorder restart;
        ASSERT_TRUE(restart.Patched());
        ConfirmWatch confirm(PressKey(VK_RETURN));
        BoxWatch boxes{{c.Answer}};
        Execute(confirm, boxes);
        ASSERT_EQ(boxes.Shown(), 1);
        ASSERT_EQ(restart.Calls.size(), c.Restarts ? 1u : 0u);
        if (!c.Restarts) continue;
        EXPECT_EQ(restart.Calls[0].Flags, static_cast<UINT>(EWX_REBOOT));
        EXPECT_EQ(restart.Calls[0].Reason, 0u);
#ifdef EditionXP
        EXPECT_TRUE(restart.Calls[0].ShutdownPrivilegeEnabled);
#endif
    }
}

#ifdef EditionXP
TEST_F(PrivacyTest, AFailedRestartShowsTheSystemsError)
{
    Traces traces;
    traces.Seed();
    HeldFile held(traces.Root + "\\Recent\\in use.lnk");
    OpenPrivacyPage();
    form->cbRecent->SetChecked(true);
    ExitWindowsRecorder restart(FALSE, ERROR_PRIVILEGE_NOT_HELD);
    ASSERT_TRUE(restart.Patched());
    BoxAnswerer errorBox;
    ConfirmWatch confirm(PressKey(VK_RETURN));
    BoxWatch boxes{{PressKeys({VK_RETURN})}};
    Execute(confirm, boxes);
    EXPECT_EQ(restart.Calls.size(), 1u);
    ASSERT_TRUE(errorBox.Join());
    EXPECT_EQ(errorBox.Caption, "GetLastError");
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_PRIVILEGE_NOT_HELD, 0x400, text, sizeof text, nullptr);
    ASSERT_FALSE(errorBox.Texts.empty());
    EXPECT_EQ(errorBox.Texts.back(), text);
}
#endif

} // namespace
