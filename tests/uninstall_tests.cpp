// The Uninstall page of the main window: the installed programs with their
// phantom marks and icons, the page's refresh, filter, views, popup and
// selection, and uninstalling. Each case seeds the sandbox's registry, runs
// the real Ghostprobe.exe (found beside this program) and drives the window
// with real clicks and keys; the program's message boxes are answered as a
// user answers them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "GuiSupport.h"
#include "MainWindow.h"
#include "ProgramBoxes.h"
#include "TestSupport.h"
#include "Tpregistryentry.h"
#include "dialogs/MessageBoxForm.h"

using namespace testsupport;

namespace {

const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kTarsk[] = "Software\\Classes\\tarsk";
const char kPhantom[] = "Software\\Classes\\tarsk\\Phantom";
const char kProducts[] = "Software\\Classes\\Installer\\Products";
const char kArpCache[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

// The helper uninstaller (three icons: 0 red, 1 green, 2 blue) and a program
// without icons, which the helper also starts for /spawn.
const char kUninst[] = "C:\\work\\apps\\uninst.exe";
const char kLongrun[] = "C:\\work\\apps\\longrun.exe";
const char kGone[] = "C:\\work\\apps\\gone.exe";

const COLORREF kRed = RGB(220, 40, 40);
const COLORREF kGreen = RGB(40, 160, 60);
const COLORREF kBlue = RGB(40, 90, 220);
const COLORREF kWhite = RGB(255, 255, 255);

const char kConfirmDelete[] = "\nDo you really want to delete \nthe regsitry entry of this program?";
const char kStartProblem[] = "Uninstall problem! \nIf you want to delete the entry press OK";
const char kNotFinished[] = "Uninstallation has not been completely finished\n due to a problem or the process has "
                            "been canceled! \nClick OK if you want the entry to be deleted";
const char kDeleted[] = "The Registry Entry has been deleted!";

using Values = std::map<std::string, std::string>;

// The program's message box shows its text below one empty line.
std::string InBox(const char* text)
{
    return std::string("\n") + text;
}

std::string EntryPath(const std::string& key)
{
    return std::string(kUninstall) + "\\" + key;
}

// A key opened for the time of a scope (nullptr when it cannot be opened).
struct OpenedKey {
    OpenedKey(HKEY root, const std::string& path)
    {
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &Handle) != ERROR_SUCCESS) Handle = nullptr;
    }
    ~OpenedKey()
    {
        if (Handle) RegCloseKey(Handle);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    HKEY Handle = nullptr;
};

// Entries are seeded and looked at relative to the Uninstall key: the full
// path of a name of up to 255 characters is more than the ANSI calls take.
void SeedBytes(const std::string& key, const std::string& name, DWORD type, const void* data, DWORD size)
{
    OpenedKey uninstall(HKEY_LOCAL_MACHINE, kUninstall);
    ASSERT_NE(uninstall.Handle, nullptr);
    RegSetBytes(uninstall.Handle, key, name, type, data, size);
}

// One Uninstall subkey with its string values.
void Seed(const std::string& key, const Values& values)
{
    OpenedKey uninstall(HKEY_LOCAL_MACHINE, kUninstall);
    ASSERT_NE(uninstall.Handle, nullptr);
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(uninstall.Handle, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(handle);
    for (const auto& value : values) RegSetString(uninstall.Handle, key, value.first, value.second);
}

bool EntryPresent(const std::string& key)
{
    OpenedKey uninstall(HKEY_LOCAL_MACHINE, kUninstall);
    return uninstall.Handle && RegKeyPresent(uninstall.Handle, key);
}

// A working entry whose uninstaller is the helper, with these arguments.
void SeedProgram(const std::string& key, const std::string& name, const std::string& arguments = "")
{
    Seed(key, {{"DisplayName", name}, {"UninstallString", "\"" + std::string(kUninst) + "\"" + arguments}});
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// What a row shows, as the list view's window shows it, and its entry's key.
struct Row {
    std::string Caption, Version, Publisher;
    int Image;
    std::string Key;
    bool operator==(const Row& o) const
    {
        return Caption == o.Caption && Version == o.Version && Publisher == o.Publisher && Image == o.Image &&
               Key == o.Key;
    }
};

std::ostream& operator<<(std::ostream& os, const Row& r)
{
    return os << "{" << r.Caption << " | " << r.Version << " | " << r.Publisher << " | image " << r.Image << " | key "
              << r.Key << "}";
}

std::string WindowItemText(HWND lv, int index, int column)
{
    char text[260] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(lv, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<Row> Rows(TForm1* form)
{
    std::vector<Row> rows;
    HWND lv = form->lvUninstall->Handle();
    int count = static_cast<int>(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(count, form->lvUninstall->Items()->Count());
    for (int i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        SendMessageA(lv, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        auto* entry = static_cast<TPRegistryEntry*>(form->lvUninstall->Items()->Item(i)->GetData());
        rows.push_back(Row{WindowItemText(lv, i, 0), WindowItemText(lv, i, 1), WindowItemText(lv, i, 2), item.iImage,
                           entry ? entry->GetKeyName() : "<no entry>"});
    }
    return rows;
}

std::vector<std::string> Captions(TForm1* form)
{
    std::vector<std::string> captions;
    for (const Row& row : Rows(form)) captions.push_back(row.Caption);
    return captions;
}

std::string CountLine(int rows, int phantoms)
{
    return " You have " + std::to_string(rows) + " installed programs, whom " + std::to_string(phantoms) +
           " are 'phantom' programs!";
}

int SelectedIndex(TForm1* form)
{
    return static_cast<int>(
        SendMessageA(form->lvUninstall->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The colour of an image at the middle of its left side, inside the edge, as
// the list draws it on white.
COLORREF ImageColour(TImageList* list, int index)
{
    const int size = list->GetWidth();
    MemoryDC dc(size, size, kWhite);
    TCanvas canvas;
    canvas.Handle = dc.Handle();
    list->Draw(&canvas, 0, 0, index);
    return dc.Pixel(size / 8, size / 2);
}

// The real mouse on a row: its middle, as the list view shows it now.
POINT RowPoint(TForm1* form, int index)
{
    RECT r = {};
    r.left = LVIR_BOUNDS;
    SendMessageA(form->lvUninstall->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Mouse messages on the list view, queued as the mouse queues them (while a
// button is down the list view looks for its release in the queue), then
// handled.
void MouseOnList(TForm1* form, POINT p, std::initializer_list<UINT> messages)
{
    CursorAt(form->lvUninstall, p.x, p.y);
    HWND lv = form->lvUninstall->Handle();
    for (UINT msg : messages) {
        WPARAM keys = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK ? MK_LBUTTON
                      : msg == WM_RBUTTONDOWN                            ? MK_RBUTTON
                                                                         : 0;
        PostMouse(lv, msg, p.x, p.y, keys);
    }
    PumpPending();
}

void ClickRow(TForm1* form, int index)
{
    MouseOnList(form, RowPoint(form, index), {WM_LBUTTONDOWN, WM_LBUTTONUP});
}

// A point of the list below its rows.
POINT BelowTheRows(TForm1* form)
{
    return POINT{form->lvUninstall->GetWidth() - 20, form->lvUninstall->GetHeight() - 20};
}

// A double click as the mouse delivers it: down, up, double-click, up.
void DoubleClickRow(TForm1* form, int index)
{
    MouseOnList(form, RowPoint(form, index), {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
}

// A key pressed in the list view, as the keyboard queues it.
void PressInList(TForm1* form, WORD key)
{
    PostKey(form->lvUninstall->Handle(), key);
    PumpPending();
}

// Text typed into the filter field, one key at a time.
void TypeFilter(TForm1* form, const std::string& text)
{
    for (char c : text) {
        PostKey(form->edUninstallFilter->Handle(), static_cast<WORD>(VkKeyScanA(c) & 0xFF));
        PumpPending();
    }
}

// ------------------------------------------------------------ the popup

// What the popup showed, and the item chosen in it.
struct PopupSeen {
    bool Shown = false;
    std::vector<std::string> Texts;
    std::vector<bool> Enabled;
    std::vector<bool> Checked;
};
PopupSeen gPopup;
int gPopupDowns = 0;

// Runs inside the menu's own loop: notes the menu, then chooses an item with
// the arrow keys and Enter (0 downs: closes the menu with Esc).
void CALLBACK ChooseInMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return;
    KillTimer(nullptr, timer);
    gPopup.Shown = true;
    auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) continue;
        gPopup.Texts.push_back(text);
        gPopup.Enabled.push_back(!(info.fState & MFS_GRAYED));
        gPopup.Checked.push_back((info.fState & MFS_CHECKED) != 0);
    }
    if (gPopupDowns == 0) {
        PostKey(window, VK_ESCAPE);
        return;
    }
    for (int i = 0; i < gPopupDowns; ++i) PostKey(window, VK_DOWN);
    PostKey(window, VK_RETURN);
}

// A right click on the list (on the row given, or below the rows), then the
// popup's item number `downs` (1 = first, separators not counted) chosen by
// the keyboard; its handler runs before this returns.
PopupSeen RightClickAndChoose(TForm1* form, int downs, int row = -1)
{
    gPopup = PopupSeen();
    gPopupDowns = downs;
    POINT p = row >= 0 ? RowPoint(form, row) : BelowTheRows(form);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, ChooseInMenu);
    MouseOnList(form, p, {WM_RBUTTONDOWN, WM_RBUTTONUP});
    KillTimer(nullptr, timer);
    PumpPending();
    return gPopup;
}

enum PopupItem { piDelete = 1, piRefresh, piIcon, piList, piReport };

// Whether the button's place on its window shows that face of its image list.
bool ButtonShows(TPSpeedButton* button, int face)
{
    const int w = button->GetWidth(), h = button->GetHeight();
    MemoryDC shown(w, h, kWhite), expected(w, h, kWhite);
    HWND parent = button->GetParent()->Handle();
    HDC dc = GetDC(parent);
    BitBlt(shown.Handle(), 0, 0, w, h, dc, button->GetLeft(), button->GetTop(), SRCCOPY);
    ReleaseDC(parent, dc);
    TCanvas canvas;
    canvas.Handle = expected.Handle();
    button->GetImages()->Draw(&canvas, 0, 0, face);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (shown.Pixel(x, y) != expected.Pixel(x, y)) return false;
    return true;
}

// Every pixel of an image as the list draws it on white.
std::vector<COLORREF> Drawn(TImageList* list, int index)
{
    const int size = list->GetWidth();
    MemoryDC dc(size, size, kWhite);
    TCanvas canvas;
    canvas.Handle = dc.Handle();
    list->Draw(&canvas, 0, 0, index);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(dc.Pixel(x, y));
    return pixels;
}

// A "SlowInfoCache" value: a header of 28 bytes, then the program's path in
// UTF-16 with its terminating zero.
std::vector<unsigned char> CacheValue(const char* path)
{
    std::vector<unsigned char> cache(28, 0xAB);
    for (const char* c = path;; ++c) {
        cache.push_back(static_cast<unsigned char>(*c));
        cache.push_back(0);
        if (!*c) break;
    }
    return cache;
}

// Ends every process of that file name once the guard time has passed,
// unless stopped before, and notes that it had to: a program that deadlocks
// with its child would otherwise hang the whole suite.
class Watchdog {
public:
    Watchdog(std::string exeName, DWORD guardMs)
        : FThread([this, exeName, guardMs] {
              const DWORD start = GetTickCount();
              while (!FStop) {
                  if (GetTickCount() - start >= guardMs) {
                      FFired = true;
                      EndProcessesNamed(exeName);
                      return;
                  }
                  Sleep(50);
              }
          })
    {
    }
    ~Watchdog() { Stop(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    // True when the guard time passed first.
    bool Stop()
    {
        FStop = true;
        if (FThread.joinable()) FThread.join();
        return FFired;
    }

private:
    static void EndProcessesNamed(const std::string& exeName)
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (lstrcmpiA(entry.szExeFile, exeName.c_str()) != 0) continue;
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
                TerminateProcess(process, 99);
                CloseHandle(process);
            }
        }
        CloseHandle(snapshot);
    }
    std::atomic<bool> FStop{false};
    std::atomic<bool> FFired{false};
    std::thread FThread;
};

// ----------------------------------------------------- the fixture

class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstall);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kTarsk);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kProducts);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kArpCache);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstall, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPhantom, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        CopyProgram("iconic_uninstaller", kUninst);
        CopyProgram("longrun", kLongrun);
        DeleteFileA(kGone);
        for (const char* suffix : {".txt", ".pid"}) DeleteFileA((std::string(kUninst) + suffix).c_str());
        ParkCursor();
    }

    void TearDown() override
    {
        LeaveControls();
        FreeMainWindow(form);
        // A process that the helper handed its work to.
        const std::string pid = std::string(kUninst) + ".pid";
        if (testsupport::FileExists(pid)) {
            HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, std::stoul(ReadTextFile(pid)));
            if (process) {
                TerminateProcess(process, 99);
                CloseHandle(process);
            }
        }
    }

    // Shows the main window, whose first activation scans; no box may come.
    void Show()
    {
        BoxWatch none;
        none.Run([&] { form = CreateMainWindow(); });
        EXPECT_EQ(none.Shown(), 0);
    }

    // The command line the helper uninstaller ran with ("" when it did not run).
    static std::string UninstallerCommandLine()
    {
        const std::string path = std::string(kUninst) + ".txt";
        return testsupport::FileExists(path) ? ReadTextFile(path) : "";
    }

    TForm1* form = nullptr;
};

// ------------------------------------------------------------- the scan

TEST_F(UninstallTest, EachEntryGivesOneSortedRowWithItsVersionAndPublisher)
{
    Seed("beta", {{"DisplayName", "beta Tool"},
                  {"UninstallString", Quoted(kUninst) + " /S"},
                  {"DisplayVersion", "2.0"},
                  {"Publisher", "Beta Inc."}});
    Seed("Alpha", {{"UninstallString", kUninst}, {"Publisher", "Alpha Soft"}});
    Seed("zed", {{"DisplayName", "Zed"}, {"UninstallString", kUninst}, {"DisplayVersion", "10.1"}});
    Seed("Empty", {});
    Seed("Only a publisher", {{"Publisher", "Nobody"}});
    Show();

    // Sorted as lstrcmpA sorts (a plain byte order would put "Zed" before "beta Tool").
    EXPECT_EQ(Rows(form), (std::vector<Row>{{"Alpha", "", "Alpha Soft", 0, "Alpha"},
                                            {"beta Tool", "2.0", "Beta Inc.", 0, "beta"},
                                            {"Zed", "10.1", "", 0, "zed"}}));
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), CountLine(3, 0));
    // The first activation leaves the first row selected and the list focused,
    // in the Icon view, and the wait panel gone.
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvUninstall->Handle());
    EXPECT_EQ(form->lvUninstall->GetViewStyle(), vsIcon);
    EXPECT_TRUE(form->pmiListViewIcon->GetChecked());
    EXPECT_TRUE(form->lvUninstall->GetVisible());
    EXPECT_TRUE(IsWindowVisible(form->lvUninstall->Handle()));
    EXPECT_FALSE(form->plWait->GetVisible());
    EXPECT_EQ(form->lWait->GetCaption(), "\n\n\n\nPlease wait while the program is\nchecking your installed programs!");
    // The helper was tested, never run.
    EXPECT_EQ(UninstallerCommandLine(), "");
}

TEST_F(UninstallTest, PhantomRowsForEachCause)
{
    SeedProgram("Works", "Works");
    Seed("Program gone", {{"DisplayName", "Program gone"}, {"UninstallString", Quoted(kGone) + " /S"}});
    Seed("Empty command", {{"DisplayName", "Empty command"}, {"UninstallString", ""}});
    Seed("Name only", {{"DisplayName", "Name only"}, {"DisplayVersion", "1"}, {"Publisher", "P"}});
    Show();

    EXPECT_EQ(Rows(form), (std::vector<Row>{{"Empty command", "", "", 1, "Empty command"},
                                            {"Name only", "1", "P", 1, "Name only"},
                                            {"Program gone", "", "", 1, "Program gone"},
                                            {"Works", "", "", 0, "Works"}}));
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), CountLine(4, 3));
}

TEST_F(UninstallTest, VerdictsOfEveryListedKeyAreConsumedFilteredOrNotAndOthersKept)
{
    SeedProgram("Shown", "Shown program");
    SeedProgram("Hidden", "Other program", " /S");
    Seed("Hidden icon", {{"DisplayName", "Other with icon"},
                         {"UninstallString", kUninst},
                         {"DisplayIcon", std::string(kUninst) + ",1"}});
    Seed("Name only", {{"DisplayName", "Name only"}});
    Seed("No values", {{"Unrelated", "x"}});
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Shown", "stale");
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Vanished entry", "1");
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Vanished phantom", "0");
    const Values kept = {{"Vanished entry", "1"}, {"Vanished phantom", "0"}};
    Show();
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), kept);
    EXPECT_EQ(Captions(form), (std::vector<std::string>{"Name only", "Other program", "Other with icon",
                                                        "Shown program"}));

    // Each typed key rescans; the entries the filter hides are neither
    // tested nor given an icon, but their verdicts go all the same.
    TypeFilter(form, "sh");
    EXPECT_EQ(Rows(form), (std::vector<Row>{{"Shown program", "", "", 0, "Shown"}}));
    EXPECT_EQ(form->NextIconIndex, 2);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), kept);
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), CountLine(1, 0));
}

TEST_F(UninstallTest, TheFilterMatchesTheDisplayNameOrTheKeyNameWithoutCase)
{
    SeedProgram("k1", "My ABC Tool");
    SeedProgram("k2", "A B C");
    Seed("abc keyed", {{"UninstallString", kUninst}});
    Seed("k3", {{"DisplayName", "Old abc viewer"}}); // phantom, shown all the same
    SeedProgram("abc in the key only", "Something else");
    Show();
    ASSERT_EQ(Rows(form).size(), 5u);

    form->edUninstallFilter->SetText("AbC");
    EXPECT_EQ(Captions(form), (std::vector<std::string>{"abc keyed", "My ABC Tool", "Old abc viewer"}));
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), CountLine(3, 1));
    // After a scan no row is selected; Enter in the filter selects the first
    // and gives the list the focus.
    EXPECT_EQ(SelectedIndex(form), -1);
    form->edUninstallFilter->SetFocus();
    PostKey(form->edUninstallFilter->Handle(), VK_RETURN);
    PumpPending();
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvUninstall->Handle());

    // Nothing matches: an empty list, and Enter still focuses it.
    form->edUninstallFilter->SetText("xyz");
    EXPECT_TRUE(Rows(form).empty());
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), CountLine(0, 0));
    form->edUninstallFilter->SetFocus();
    PostKey(form->edUninstallFilter->Handle(), VK_RETURN);
    PumpPending();
    EXPECT_EQ(SelectedIndex(form), -1);
    EXPECT_EQ(GetFocus(), form->lvUninstall->Handle());
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), Values{});

    // The Refresh button empties the filter and lists everything again.
    ClickControl(form->bbtUninstallRefresh);
    EXPECT_EQ(form->edUninstallFilter->GetText(), "");
    EXPECT_EQ(Rows(form).size(), 5u);
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(GetFocus(), form->lvUninstall->Handle());
}

TEST_F(UninstallTest, RefreshAndResizeRescanAndTheListViewStaysAsChosen)
{
    SeedProgram("First", "First");
    Show();
    ASSERT_EQ(Captions(form), std::vector<std::string>{"First"});

    // The popup's Refresh item.
    SeedProgram("Second", "Second");
    RightClickAndChoose(form, piRefresh);
    EXPECT_EQ(Captions(form), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(SelectedIndex(form), 0);

    // The views, as radio items of the popup; a scan in the List view ends in
    // it, and the others are left as they are.
    const struct {
        PopupItem Item;
        TViewStyle Style;
        DWORD Bits;
    } views[] = {{piList, vsList, LVS_LIST}, {piReport, vsReport, LVS_REPORT}, {piIcon, vsIcon, LVS_ICON}};
    int entries = 2;
    for (const auto& view : views) {
        SCOPED_TRACE(view.Style);
        PopupSeen seen = RightClickAndChoose(form, view.Item);
        ASSERT_TRUE(seen.Shown);
        EXPECT_EQ(form->lvUninstall->GetViewStyle(), view.Style);
        std::vector<bool> ticks = {form->pmiListViewIcon->GetChecked(), form->pmiListViewList->GetChecked(),
                                   form->pmiListViewReport->GetChecked()};
        EXPECT_EQ(ticks, (std::vector<bool>{view.Style == vsIcon, view.Style == vsList, view.Style == vsReport}));
        // A resize of the window on the Uninstall page rescans.
        const std::string added = "Entry " + std::to_string(++entries);
        SeedProgram(added, added);
        SetWindowPos(form->Handle(), nullptr, 0, 0, 760 + entries, 523, SWP_NOMOVE | SWP_NOZORDER);
        PumpPending();
        EXPECT_EQ(static_cast<int>(Rows(form).size()), entries);
        EXPECT_EQ(form->lvUninstall->GetViewStyle(), view.Style);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(form->lvUninstall->Handle(), GWL_STYLE)) & LVS_TYPEMASK,
                  view.Bits);
    }
    // Elsewhere a resize does not scan.
    ClickControl(form->bbtAboutIcon);
    ASSERT_EQ(form->ActivePage, pcAbout);
    SeedProgram("Not yet", "Not yet");
    SetWindowPos(form->Handle(), nullptr, 0, 0, 750, 513, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    EXPECT_EQ(static_cast<int>(Rows(form).size()), entries);
}

TEST_F(UninstallTest, AnUnexpectedValueTypeReadsAsMissingAndTheScanGoesOn)
{
    SeedProgram("Good one", "Good one");
    Seed("Numbered name", {{"UninstallString", kUninst}, {"DisplayVersion", "3"}});
    RegSetDword(HKEY_LOCAL_MACHINE, EntryPath("Numbered name"), "DisplayName", 7);
    RegSetBytes(HKEY_LOCAL_MACHINE, EntryPath("Numbered name"), "Publisher", REG_BINARY, "\1\2", 2);
    Seed("String cache", {{"DisplayName", "String cache"}, {"UninstallString", kUninst}});
    RegSetString(HKEY_LOCAL_MACHINE, std::string(kArpCache) + "\\String cache", "SlowInfoCache", kUninst);
    // Ghostprobe gives such a command "0" without a box and goes on.
    Seed("zz Bytes command", {{"DisplayName", "Bytes command"}});
    RegSetBytes(HKEY_LOCAL_MACHINE, EntryPath("zz Bytes command"), "UninstallString", REG_BINARY, "C:\\x", 4);

    Show();
    EXPECT_EQ(FindWindowA("#32770", "Ghostprobe"), nullptr);

    EXPECT_EQ(Rows(form), (std::vector<Row>{{"Bytes command", "", "", 1, "zz Bytes command"},
                                            {"Good one", "", "", 0, "Good one"},
                                            {"Numbered name", "3", "", 0, "Numbered name"},
                                            {"String cache", "", "", 0, "String cache"}}));
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), CountLine(4, 1));
    EXPECT_FALSE(form->plWait->GetVisible());
    EXPECT_TRUE(IsWindowVisible(form->lvUninstall->Handle()));
    EXPECT_EQ(SelectedIndex(form), 0);
}

// ------------------------------------------------------------- icons

TEST_F(UninstallTest, IconsComeFromDisplayIconTheInstallerAndTheProgramCache)
{
    const std::string guid = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
    // In the order of the Uninstall key (its names sorted): the first icon
    // found gets index 2 whatever the order of the rows on screen.
    Seed("a display icon", {{"DisplayName", "Zulu (display icon 1)"},
                            {"UninstallString", kUninst},
                            {"DisplayIcon", std::string(kUninst) + ",1"}});
    Seed("b plain", {{"DisplayName", "Plain (display icon without index)"},
                     {"UninstallString", kUninst},
                     {"DisplayIcon", kUninst}});
    Seed("c no icon", {{"DisplayName", "No icon anywhere"},
                       {"UninstallString", kUninst},
                       {"DisplayIcon", std::string(kLongrun) + ",0"}});
    Seed("d bad index", {{"DisplayName", "Bad index"},
                         {"UninstallString", kUninst},
                         {"DisplayIcon", std::string(kUninst) + ",x"}});
    Seed("e " + guid, {{"DisplayName", "Installer product"}, {"UninstallString", kUninst}});
    RegSetString(HKEY_LOCAL_MACHINE, std::string(kProducts) + "\\87654321CBA90FED21436587A9CBED0F", "ProductIcon",
                 std::string(kUninst) + ",2");
    // An icon-less "DisplayIcon" still leads on to the cache.
    Seed("f cached", {{"DisplayName", "Cached path"},
                      {"UninstallString", kUninst},
                      {"DisplayIcon", kLongrun}});
    const std::vector<unsigned char> cache = CacheValue(kUninst);
    RegSetBytes(HKEY_LOCAL_MACHINE, std::string(kArpCache) + "\\f cached", "SlowInfoCache", REG_BINARY, cache.data(),
                static_cast<DWORD>(cache.size()));
    // The same path cut before its terminating zero: nothing of the value
    // read before carries over.
    Seed("g cut", {{"DisplayName", "Cut cache"}, {"UninstallString", kUninst}});
    RegSetBytes(HKEY_LOCAL_MACHINE, std::string(kArpCache) + "\\g cut", "SlowInfoCache", REG_BINARY, cache.data(),
                static_cast<DWORD>(cache.size() - 2));
    // A brace not followed by eight characters and a hyphen: no Installer
    // lookup (its packed key would give an icon), then an empty cache.
    Seed("h {1234567-9ABC-DEF0-1234-56789ABCDEF0}", {{"DisplayName", "Short code"}, {"UninstallString", kUninst}});
    RegSetString(HKEY_LOCAL_MACHINE,
                 std::string(kProducts) + "\\" + TForm1::PackInstallerGuid("{1234567-9ABC-DEF0-1234-56789ABCDEF0}"),
                 "ProductIcon", kUninst);
    Seed("i phantom with icon", {{"DisplayName", "Phantom with icon"},
                                 {"UninstallString", Quoted(kGone)},
                                 {"DisplayIcon", kUninst}});
    Show();

    EXPECT_EQ(Rows(form), (std::vector<Row>{{"Bad index", "", "", 4, "d bad index"},
                                            {"Cached path", "", "", 6, "f cached"},
                                            {"Cut cache", "", "", 0, "g cut"},
                                            {"Installer product", "", "", 5, "e " + guid},
                                            {"No icon anywhere", "", "", 0, "c no icon"},
                                            {"Phantom with icon", "", "", 1, "i phantom with icon"},
                                            {"Plain (display icon without index)", "", "", 3, "b plain"},
                                            {"Short code", "", "", 0, "h {1234567-9ABC-DEF0-1234-56789ABCDEF0}"},
                                            {"Zulu (display icon 1)", "", "", 2, "a display icon"}}));
    EXPECT_EQ(form->NextIconIndex, 7);
    TImageList* lists[] = {form->ilUninstallLargeIcons, form->ilUninstallSmallIcons};
    for (TImageList* list : lists) {
        SCOPED_TRACE(list->GetName());
        ASSERT_EQ(list->Count(), 7);
        const COLORREF expected[] = {kGreen, kRed, kRed, kBlue, kRed};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(ImageColour(list, 2 + i), expected[i]) << "image " << 2 + i;
    }
    // The base images come first: 0 the no-icon picture, 1 the phantom picture.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Drawn(form->ilUninstallLargeIcons, i), Drawn(form->ilNoIconNagy, i)) << i;
        EXPECT_EQ(Drawn(form->ilUninstallSmallIcons, i), Drawn(form->ilNoIconKicsi, i)) << i;
    }
    EXPECT_EQ(form->ilUninstallLargeIcons->GetWidth(), 32);
    EXPECT_EQ(form->ilUninstallSmallIcons->GetWidth(), 16);

    // The next scan starts from the base images again.
    RegDeleteTree(HKEY_LOCAL_MACHINE, EntryPath("a display icon"));
    ClickControl(form->bbtUninstallRefresh);
    EXPECT_EQ(form->NextIconIndex, 6);
    EXPECT_EQ(form->ilUninstallLargeIcons->Count(), 6);
    EXPECT_EQ(ImageColour(form->ilUninstallSmallIcons, 2), kRed);
}

TEST(PackInstallerGuid, ReversesTheSlicesOfTheProductCode)
{
    const struct {
        const char* Guid;
        const char* Packed;
    } cases[] = {
        {"{12345678-9ABC-DEF0-1234-56789ABCDEF0", "87654321CBA90FED21436587A9CBED0F"},
        {"{12345678-9abc-def0-1234-56789abcdef0", "87654321cba90fed21436587a9cbed0f"},
        // The closing brace is not part of what is packed.
        {"{00000000-0000-0000-0000-0000000000AB", "000000000000000000000000000000BA"},
        // A shorter text packs what it has.
        {"{12345678-9ABC", "87654321CBA9"},
        {"{1234", "4321"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TForm1::PackInstallerGuid(c.Guid), c.Packed) << c.Guid;
}

// -------------------------------------------------- selection and popup

TEST_F(UninstallTest, SelectionSwitchesTheButtonFacesAndThePopupCaption)
{
    SeedProgram("A", "A normal");
    Seed("B", {{"DisplayName", "B phantom"}});
    SeedProgram("C", "C normal");
    Show();
    ASSERT_EQ(Captions(form), (std::vector<std::string>{"A normal", "B phantom", "C normal"}));
    TPSpeedButton* button = form->bbtUninstall;
    auto faces = [&] {
        return std::vector<int>{button->GetImageIndexIDLE(), button->GetImageIndexUp(), button->GetImageIndexDown()};
    };
    EXPECT_EQ(faces(), (std::vector<int>{21, 22, 23}));
    // A click selects a row, and the keys move on from it.
    ClickRow(form, 1);
    EXPECT_EQ(SelectedIndex(form), 1);
    EXPECT_EQ(faces(), (std::vector<int>{42, 43, 44}));
    EXPECT_EQ(form->pmiListViewDelete->GetCaption(), "Delete Entry");
    const struct {
        WORD Key;
        int Row;
        std::vector<int> Faces;
        const char* Caption;
    } steps[] = {
        // The Icon view lays the rows out side by side.
        {VK_RIGHT, 2, {21, 22, 23}, "Uninstall"},
        {VK_LEFT, 1, {42, 43, 44}, "Delete Entry"},
        {VK_HOME, 0, {21, 22, 23}, "Uninstall"},
        {VK_END, 2, {21, 22, 23}, "Uninstall"},
        {VK_LEFT, 1, {42, 43, 44}, "Delete Entry"},
    };
    for (const auto& step : steps) {
        PressInList(form, step.Key);
        EXPECT_EQ(SelectedIndex(form), step.Row);
        EXPECT_EQ(faces(), step.Faces) << step.Row;
        EXPECT_EQ(form->pmiListViewDelete->GetCaption(), step.Caption);
    }
    // The face shows at once, without waiting for the window's next paint.
    EXPECT_TRUE(ButtonShows(button, 42));
    EXPECT_FALSE(ButtonShows(button, 21));

    // A click below the rows leaves none selected: the button and the popup
    // keep what they had.
    MouseOnList(form, BelowTheRows(form), {WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_EQ(SelectedIndex(form), -1);
    EXPECT_EQ(faces(), (std::vector<int>{42, 43, 44}));
    EXPECT_EQ(form->pmiListViewDelete->GetCaption(), "Delete Entry");

    // The popup's first item is enabled exactly while a row is selected.
    PopupSeen none = RightClickAndChoose(form, 0);
    ASSERT_TRUE(none.Shown);
    EXPECT_EQ(none.Texts, (std::vector<std::string>{"Delete Entry", "Refresh", "Icon", "List", "Report"}));
    EXPECT_EQ(none.Enabled, (std::vector<bool>{false, true, true, true, true}));
    EXPECT_EQ(none.Checked, (std::vector<bool>{false, false, true, false, false}));
    PopupSeen one = RightClickAndChoose(form, 0, 0); // a right click selects its row
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(one.Texts[0], "Uninstall");
    EXPECT_TRUE(one.Enabled[0]);
}

// ------------------------------------------------------------ uninstalling

TEST_F(UninstallTest, AnUninstallerThatRemovesItsKeyTakesItsRowWithoutAMessage)
{
    // The command line runs as stored: its environment reference stays as written.
    SetEnvironmentVariableA("SWEEPORA_NOT_EXPANDED", "expanded");
    Seed("Removes itself", {{"DisplayName", "Removes itself"},
                            {"UninstallString", Quoted(kUninst) + " %SWEEPORA_NOT_EXPANDED% /remove=Removes itself"}});
    Seed("Last", {{"DisplayName", "Zz phantom"}});
    Show();
    ASSERT_EQ(Captions(form), (std::vector<std::string>{"Removes itself", "Zz phantom"}));
    const std::string countLine = form->lUninstallNumber->GetCaption();

    BoxWatch watch;
    watch.Run([&] { ClickControl(form->bbtUninstall); });
    EXPECT_EQ(watch.Shown(), 0);
    EXPECT_EQ(UninstallerCommandLine(), Quoted(kUninst) + " %SWEEPORA_NOT_EXPANDED% /remove=Removes itself");
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, EntryPath("Removes itself")));
    EXPECT_EQ(Captions(form), std::vector<std::string>{"Zz phantom"});
    // The first row is selected, with its faces; the count line waits for the next scan.
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(form->bbtUninstall->GetImageIndexIDLE(), 42);
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), countLine);
    EXPECT_EQ(GetFocus(), form->lvUninstall->Handle());
    EXPECT_EQ(form->ActivePage, pcUninstall);
}

TEST_F(UninstallTest, AnUninstallerThatLeavesItsKeyAsksBeforeTheEntryIsDeleted)
{
    SeedProgram("Leaves its key", "Leaves its key", " /quiet");
    SeedProgram("Other", "Other");
    Show();
    ASSERT_EQ(Captions(form), (std::vector<std::string>{"Leaves its key", "Other"}));

    // Cancel: nothing more happens (a double click acts as the button does).
    BoxWatch cancel{{ClickButton(&TfmMessageBox::bbtCancel2)}};
    cancel.Run([&] { DoubleClickRow(form, 0); });
    ASSERT_EQ(cancel.Shown(), 1);
    EXPECT_EQ(cancel.Boxes[0].Text, InBox(kNotFinished));
    EXPECT_EQ(cancel.Boxes[0].Caption, "Error");
    EXPECT_EQ(UninstallerCommandLine(), Quoted(kUninst) + " /quiet");
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, EntryPath("Leaves its key")));
    EXPECT_EQ(Captions(form), (std::vector<std::string>{"Leaves its key", "Other"}));
    EXPECT_EQ(SelectedIndex(form), 0);

    // OK: the entry goes, and the user is told.
    BoxWatch ok{{PressKeys({VK_RETURN}), PressKeys({VK_RETURN})}};
    ok.Run([&] { ClickControl(form->bbtUninstall); });
    ASSERT_EQ(ok.Shown(), 2);
    EXPECT_EQ(ok.Boxes[0].Text, InBox(kNotFinished));
    EXPECT_EQ(ok.Boxes[1].Text, InBox(kDeleted));
    EXPECT_EQ(ok.Boxes[1].Caption, "Information");
    EXPECT_EQ(ok.Boxes[1].Buttons.size(), 1u);
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, EntryPath("Leaves its key")));
    EXPECT_EQ(Captions(form), std::vector<std::string>{"Other"});
    EXPECT_EQ(SelectedIndex(form), 0);
}

TEST_F(UninstallTest, AnUninstallerThatHandsItsWorkOnIsNotWaitedFor)
{
    SeedProgram("Hands on", "Hands on", " /spawn");
    Show();
    // The question comes while the process it started still runs.
    bool stillRunning = false;
    auto whileAsked = [&](TfmMessageBox* box) {
        const std::string pid = std::string(kUninst) + ".pid";
        if (testsupport::FileExists(pid)) {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, std::stoul(ReadTextFile(pid)));
            stillRunning = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
            if (process) CloseHandle(process);
        }
        PostClick(box->bbtCancel2);
    };
    BoxWatch watch{{whileAsked}};
    watch.Run([&] { ClickControl(form->bbtUninstall); });
    ASSERT_EQ(watch.Shown(), 1);
    EXPECT_EQ(watch.Boxes[0].Text, InBox(kNotFinished));
    EXPECT_TRUE(stillRunning);
    EXPECT_EQ(Captions(form), std::vector<std::string>{"Hands on"});
}

TEST_F(UninstallTest, AnUninstallerThatCannotStartOffersToDeleteTheEntry)
{
    SeedProgram("Vanishes", "Vanishes");
    SeedProgram("Stays", "Stays");
    Show();
    ASSERT_EQ(Rows(form)[1].Image, 0); // tested and found working by the scan
    // The program goes after the scan.
    ASSERT_TRUE(DeleteFileA(kUninst));

    const struct {
        BoxAnswer Answer;
        bool Deleted;
    } answers[] = {{ClickButton(&TfmMessageBox::bbtCancel2), false}, {CloseBox(), false},
                   {ClickButton(&TfmMessageBox::bbtOk), true}};
    for (const auto& answer : answers) {
        PressInList(form, VK_END);
        ASSERT_EQ(Captions(form)[static_cast<size_t>(SelectedIndex(form))], "Vanishes");
        BoxWatch watch{{answer.Answer, PressKeys({VK_RETURN})}};
        // Through the popup, whose item reads "Uninstall" for a working row.
        PopupSeen seen;
        watch.Run([&] { seen = RightClickAndChoose(form, piDelete, SelectedIndex(form)); });
        EXPECT_EQ(seen.Texts.at(0), "Uninstall");
        ASSERT_GE(watch.Shown(), 1);
        EXPECT_EQ(watch.Boxes[0].Text, InBox(kStartProblem));
        EXPECT_EQ(watch.Boxes[0].Caption, "Error");
        EXPECT_EQ(watch.Boxes[0].Buttons, (std::vector<std::string>{"bbtOk", "bbtCancel2"}));
        EXPECT_EQ(RegKeyPresent(HKEY_LOCAL_MACHINE, EntryPath("Vanishes")), !answer.Deleted);
        if (answer.Deleted) {
            ASSERT_EQ(watch.Shown(), 2);
            EXPECT_EQ(watch.Boxes[1].Text, InBox(kDeleted));
            EXPECT_EQ(Captions(form), std::vector<std::string>{"Stays"});
            EXPECT_EQ(SelectedIndex(form), 0);
        } else {
            EXPECT_EQ(watch.Shown(), 1);
            EXPECT_EQ(Captions(form), (std::vector<std::string>{"Stays", "Vanishes"}));
        }
    }
}

TEST_F(UninstallTest, APhantomEntryIsDeletedOnlyOnYes)
{
    Seed("Gone", {{"DisplayName", "Gone"}, {"UninstallString", Quoted(kGone)}});
    Seed("Phantom too", {{"DisplayName", "Phantom too"}});
    Show();
    ASSERT_EQ(Rows(form)[0].Image, 1);
    // The chosen view stays through the action's final layout.
    RightClickAndChoose(form, piReport);
    PressInList(form, VK_HOME);

    for (const BoxAnswer& no : {ClickButton(&TfmMessageBox::bbtNo), CloseBox()}) {
        BoxWatch watch{{no}};
        watch.Run([&] { ClickControl(form->bbtUninstall); });
        ASSERT_EQ(watch.Shown(), 1);
        EXPECT_EQ(watch.Boxes[0].Text, InBox(kConfirmDelete));
        EXPECT_EQ(watch.Boxes[0].Caption, "Confirm");
        EXPECT_EQ(watch.Boxes[0].Buttons, (std::vector<std::string>{"bbtYes", "bbtNo"}));
        EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, EntryPath("Gone")));
        EXPECT_EQ(Captions(form), (std::vector<std::string>{"Gone", "Phantom too"}));
        EXPECT_EQ(form->lvUninstall->GetViewStyle(), vsReport);
    }

    // Yes, through the popup's "Delete Entry".
    BoxWatch yes{{ClickButton(&TfmMessageBox::bbtYes), ClickButton(&TfmMessageBox::bbtOk2)}};
    PopupSeen seen;
    yes.Run([&] { seen = RightClickAndChoose(form, piDelete, 0); });
    EXPECT_EQ(seen.Texts.at(0), "Delete Entry");
    ASSERT_EQ(yes.Shown(), 2);
    EXPECT_EQ(yes.Boxes[1].Text, InBox(kDeleted));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, EntryPath("Gone")));
    EXPECT_EQ(Captions(form), std::vector<std::string>{"Phantom too"});
    EXPECT_EQ(SelectedIndex(form), 0);
    EXPECT_EQ(form->lvUninstall->GetViewStyle(), vsReport);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(form->lvUninstall->Handle(), GWL_STYLE)) & LVS_TYPEMASK,
              static_cast<DWORD>(LVS_REPORT));

    // The last row: the list is left without a selection.
    BoxWatch last{{PressKeys({VK_RETURN}), PressKeys({VK_RETURN})}};
    last.Run([&] { DoubleClickRow(form, 0); });
    EXPECT_EQ(last.Shown(), 2);
    EXPECT_TRUE(Rows(form).empty());
    EXPECT_EQ(SelectedIndex(form), -1);

    // Nothing selected: no question, only the final layout and the focus.
    form->edUninstallFilter->SetFocus();
    BoxWatch nothing;
    nothing.Run([&] { ClickControl(form->bbtUninstall); });
    EXPECT_EQ(nothing.Shown(), 0);
    EXPECT_EQ(form->ActivePage, pcUninstall);
    EXPECT_EQ(GetFocus(), form->lvUninstall->Handle());
    EXPECT_EQ(form->lvUninstall->GetViewStyle(), vsReport);
}

// Deleting a symbolic link needs the native call; the registry's own
// functions follow the link to its (missing) target and fail.
void DeleteLinkKey(const std::string& parent, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (parent + "\\" + name).c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS,
                      &key) != ERROR_SUCCESS)
        return;
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    if (ntDeleteKey) ntDeleteKey(key);
    RegCloseKey(key);
}

TEST_F(UninstallTest, AKeyThatCannotBeDeletedIsSaidSoAndItsRowStays)
{
    // A subkey that is a link to nowhere: neither it nor its parent can be
    // deleted with the registry's own functions.
    Seed("Stuck", {{"DisplayName", "Stuck"}});
    HKEY key, link;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, EntryPath("Stuck").c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(key, "Link", 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr),
              ERROR_SUCCESS);
    const wchar_t target[] = L"\\Registry\\Machine\\Software\\Sweepora test nowhere";
    ASSERT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target),
                             sizeof target - sizeof(wchar_t)),
              ERROR_SUCCESS);
    RegCloseKey(link);
    RegCloseKey(key);
    SeedProgram("Other", "Other");
    Show();
    ASSERT_EQ(Captions(form), (std::vector<std::string>{"Other", "Stuck"}));
    PressInList(form, VK_END);

    BoxWatch watch{{PressKeys({VK_RETURN}), PressKeys({VK_RETURN})}};
    watch.Run([&] { ClickControl(form->bbtUninstall); });
    DeleteLinkKey(EntryPath("Stuck"), "Link");
    ASSERT_EQ(watch.Shown(), 2);
    EXPECT_EQ(watch.Boxes[0].Text, InBox(kConfirmDelete));
    EXPECT_EQ(watch.Boxes[1].Caption, "Error");
    EXPECT_EQ(watch.Boxes[1].Buttons, std::vector<std::string>{"bbtOk2"});
    EXPECT_NE(watch.Boxes[1].Text.find("could not be deleted"), std::string::npos) << watch.Boxes[1].Text;
    EXPECT_EQ(Captions(form), (std::vector<std::string>{"Other", "Stuck"}));
    EXPECT_EQ(SelectedIndex(form), 1);
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, EntryPath("Stuck")));
}

// ------------------------------------------- racing windows, hostile data

TEST_F(UninstallTest, EachQuestionActsOnItsKeyWhateverBecameOfTheRowsMeanwhile)
{
    const std::string vanishing = "C:\\work\\apps\\vanishing.exe";
    enum Under { Nothing, Rebuild, StayOnTaskManager };
    const struct {
        const char* What;
        Values Target;           // the values of the entry "Target"
        std::function<void()> AfterScan;
        Under Meanwhile;         // what the tray menu does while the question shows
        const char* Question;
        TPSpeedButton* TfmMessageBox::*Yes;
    } cases[] = {
        {"a phantom row, the list rebuilt under Confirm",
         {{"DisplayName", "Target"}}, [] {}, Rebuild, kConfirmDelete, &TfmMessageBox::bbtYes},
        {"an uninstaller that leaves its key, the list rebuilt under the question",
         {{"DisplayName", "Target"}, {"UninstallString", Quoted(kUninst) + " /quiet"}}, [] {}, Rebuild, kNotFinished,
         &TfmMessageBox::bbtOk},
        {"an uninstaller that cannot start, the list rebuilt under the question",
         {{"DisplayName", "Target"}, {"UninstallString", Quoted(vanishing)}},
         [&] { DeleteFileA(vanishing.c_str()); }, Rebuild, kStartProblem, &TfmMessageBox::bbtOk},
        {"a phantom key deleted between the scan and the click",
         {{"DisplayName", "Target"}}, [] { RegDeleteTree(HKEY_LOCAL_MACHINE, EntryPath("Target")); }, Nothing,
         kConfirmDelete, &TfmMessageBox::bbtYes},
        {"the same, and the list rebuilt under Confirm",
         {{"DisplayName", "Target"}}, [] { RegDeleteTree(HKEY_LOCAL_MACHINE, EntryPath("Target")); }, Rebuild,
         kConfirmDelete, &TfmMessageBox::bbtYes},
        {"a phantom row, the Task Manager opened under Confirm",
         {{"DisplayName", "Target"}}, [] {}, StayOnTaskManager, kConfirmDelete, &TfmMessageBox::bbtYes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SetUp();
        CopyProgram("iconic_uninstaller", vanishing);
        Seed("Target", c.Target);
        Seed("Other phantom", {{"DisplayName", "Other phantom"}});
        SeedProgram("Other program", "Other program");
        Show();
        // A filter that holds text: going back to the page empties it, which
        // rescans and frees every row.
        TypeFilter(form, "tar");
        ASSERT_EQ(Captions(form), std::vector<std::string>{"Target"});
        PressInList(form, VK_HOME);
        c.AfterScan();

        BoxWatch watch{{[&](TfmMessageBox* box) {
                            if (c.Meanwhile == Rebuild) {
                                form->pmiTaskManager->Click();
                                form->pmiUninstallprograms->Click();
                            } else if (c.Meanwhile == StayOnTaskManager) {
                                form->pmiTaskManager->Click();
                            }
                            PostClick(box->*c.Yes);
                        },
                        PressKeys({VK_RETURN})}};
        watch.Run([&] { ClickControl(form->bbtUninstall); });
        ASSERT_EQ(watch.Shown(), 2);
        EXPECT_EQ(watch.Boxes[0].Text, InBox(c.Question));
        // A key already gone counts as deleted.
        EXPECT_EQ(watch.Boxes[1].Text, InBox(kDeleted));
        EXPECT_FALSE(EntryPresent("Target"));
        EXPECT_TRUE(EntryPresent("Other phantom") && EntryPresent("Other program"));

        if (c.Meanwhile == StayOnTaskManager) {
            // The page the user went to stays, with its own state.
            EXPECT_EQ(form->ActivePage, pcTaskMan);
            EXPECT_TRUE(form->plTaskMan->GetVisible());
            EXPECT_FALSE(form->plUninstall->GetVisible());
            EXPECT_EQ(Captions(form), std::vector<std::string>{});
            ClickControl(form->bbtUninstallIcon);
        }
        EXPECT_EQ(form->ActivePage, pcUninstall);
        EXPECT_TRUE(form->plUninstall->GetVisible());
        const std::vector<std::string> others = {"Other phantom", "Other program"};
        EXPECT_EQ(Captions(form), c.Meanwhile == Nothing ? std::vector<std::string>{} : others);
        if (c.Meanwhile == Nothing) {
            // Nothing rebuilt the list: the rest of it comes with the next scan.
            ClickControl(form->bbtUninstallRefresh);
            EXPECT_EQ(Captions(form), others);
        }
        EXPECT_EQ(SelectedIndex(form), 0);
        TearDown();
    }
}

TEST_F(UninstallTest, KeysWithNamesOfUpTo255CharactersAreListedUninstalledAndDeleted)
{
    const std::string working = "A working " + std::string(245, 'w');
    const std::string phantom = "B phantom " + std::string(245, 'p');
    const std::string nameless = "C nameless " + std::string(244, 'n');
    ASSERT_EQ(working.size(), 255u);
    Seed(working, {{"DisplayName", "Long working"}, {"UninstallString", Quoted(kUninst) + " /quiet"}});
    Seed(phantom, {{"DisplayName", "Long phantom"}});
    Seed(nameless, {{"UninstallString", kUninst}});
    // Its icon comes from the program cache, kept under the same name.
    const std::vector<unsigned char> cache = CacheValue(kUninst);
    {
        HKEY created;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kArpCache, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(created);
        OpenedKey arpCache(HKEY_LOCAL_MACHINE, kArpCache);
        ASSERT_NE(arpCache.Handle, nullptr);
        RegSetBytes(arpCache.Handle, nameless, "SlowInfoCache", REG_BINARY, cache.data(),
                    static_cast<DWORD>(cache.size()));
    }
    Show();
    EXPECT_EQ(Rows(form), (std::vector<Row>{{nameless, "", "", 2, nameless},
                                            {"Long phantom", "", "", 1, phantom},
                                            {"Long working", "", "", 0, working}}));
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), Values{}) << "every verdict read and consumed";

    // Uninstalled: the uninstaller leaves its key, OK deletes it.
    ClickRow(form, 2);
    BoxWatch uninstall{{PressKeys({VK_RETURN}), PressKeys({VK_RETURN})}};
    uninstall.Run([&] { ClickControl(form->bbtUninstall); });
    ASSERT_EQ(uninstall.Shown(), 2);
    EXPECT_EQ(uninstall.Boxes[0].Text, InBox(kNotFinished));
    EXPECT_EQ(uninstall.Boxes[1].Text, InBox(kDeleted));
    EXPECT_EQ(UninstallerCommandLine(), Quoted(kUninst) + " /quiet");
    EXPECT_FALSE(EntryPresent(working));

    // Deleted: the phantom entry.
    ClickRow(form, 1);
    BoxWatch remove{{ClickButton(&TfmMessageBox::bbtYes), PressKeys({VK_RETURN})}};
    remove.Run([&] { ClickControl(form->bbtUninstall); });
    ASSERT_EQ(remove.Shown(), 2);
    EXPECT_EQ(remove.Boxes[1].Text, InBox(kDeleted));
    EXPECT_FALSE(EntryPresent(phantom));
    EXPECT_TRUE(EntryPresent(nameless));
    EXPECT_EQ(Captions(form), std::vector<std::string>{nameless});
}

TEST_F(UninstallTest, AnUninstallerThatSendsToEveryWindowBeforeItEndsFinishesWithItsRowGone)
{
    // It widens the program's window (each resize of the Uninstall page
    // rescans, but not inside the wait), then broadcasts, then removes its key.
    SeedProgram("Broadcaster", "Broadcaster", " /resize-starter /broadcast /remove=Broadcaster");
    Seed("Other", {{"DisplayName", "Other"}});
    Show();
    ASSERT_EQ(Captions(form), (std::vector<std::string>{"Broadcaster", "Other"}));
    const std::string countLine = form->lUninstallNumber->GetCaption();
    const int width = form->GetWidth();
    // Listed by the next scan only.
    Seed("Late", {{"DisplayName", "Late"}});

    Watchdog watchdog("uninst.exe", 120000);
    BoxWatch watch;
    watch.Run([&] { ClickControl(form->bbtUninstall); });
    EXPECT_FALSE(watchdog.Stop()) << "the program and its uninstaller waited for each other";
    EXPECT_EQ(watch.Shown(), 0);
    EXPECT_NE(UninstallerCommandLine(), "") << "the uninstaller did not get its answers";
    EXPECT_FALSE(EntryPresent("Broadcaster"));
    EXPECT_EQ(form->GetWidth(), width + 1) << "the resize was answered";
    // No scan ran inside the wait.
    EXPECT_EQ(Captions(form), std::vector<std::string>{"Other"});
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), countLine);
    EXPECT_EQ(SelectedIndex(form), 0);
}

TEST_F(UninstallTest, AValueOfAnotherTypeReadsAsMissingWhateverItsLength)
{
    const DWORD number = 7;
    const struct {
        const char* Type;
        DWORD Code;
        const void* Data;
        DWORD Size;
    } types[] = {
        {"number", REG_DWORD, &number, sizeof number},
        {"empty number", REG_DWORD, "", 0},
        {"empty bytes", REG_BINARY, "", 0},
    };
    std::vector<Row> expected;
    for (const auto& t : types) {
        const std::string type = t.Type;
        // As the command without a name: no row.
        SeedBytes(type + " command", "UninstallString", t.Code, t.Data, t.Size);
        // As the command beside a name: a phantom row of that name.
        Seed(type + " command, named", {{"DisplayName", type + " command, named"}});
        SeedBytes(type + " command, named", "UninstallString", t.Code, t.Data, t.Size);
        expected.push_back(Row{type + " command, named", "", "", 1, type + " command, named"});
        // As the name: the key's name is the caption.
        SeedProgram(type + " name", "");
        SeedBytes(type + " name", "DisplayName", t.Code, t.Data, t.Size);
        expected.push_back(Row{type + " name", "", "", 0, type + " name"});
    }
    Show();
    std::sort(expected.begin(), expected.end(), [](const Row& a, const Row& b) {
        return lstrcmpA(a.Caption.c_str(), b.Caption.c_str()) < 0;
    });
    EXPECT_EQ(Rows(form), expected);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), Values{});
}

// ----------------------------------------------------- without Ghostprobe

// Runs in a copy of this program in a folder without Ghostprobe (see the
// test below); beside Ghostprobe it has nothing to show.
class WithoutGhostprobe : public UninstallTest {
protected:
    void SetUp() override
    {
        if (testsupport::FileExists(ProgramDir() + "\\Ghostprobe.exe")) GTEST_SKIP() << "runs in a copy without Ghostprobe";
        UninstallTest::SetUp();
    }
};

TEST_F(WithoutGhostprobe, EveryEntryWithACommandIsPhantomWithoutAMessage)
{
    SeedProgram("Works", "Works");
    Seed("Name only", {{"DisplayName", "Name only"}});
    Show();
    EXPECT_EQ(Rows(form), (std::vector<Row>{{"Name only", "", "", 1, "Name only"}, {"Works", "", "", 1, "Works"}}));
    EXPECT_EQ(form->lUninstallNumber->GetCaption(), CountLine(2, 2));
}

TEST_F(WithoutGhostprobe, OnlyTheExactVerdictOnePasses)
{
    const struct {
        const char* Key;
        const char* Verdict; // nullptr: none
        DWORD Type;
        int Image;
    } cases[] = {
        {"a one", "1", REG_SZ, 0},           {"b zero", "0", REG_SZ, 1},       {"c two", "2", REG_SZ, 1},
        {"d empty", "", REG_SZ, 1},          {"e one blank", "1 ", REG_SZ, 1}, {"f none", nullptr, REG_SZ, 1},
        {"g expandable one", "1", REG_EXPAND_SZ, 0},
    };
    std::vector<Row> expected;
    for (const auto& c : cases) {
        SeedProgram(c.Key, c.Key);
        if (c.Verdict) RegSetString(HKEY_LOCAL_MACHINE, kPhantom, c.Key, c.Verdict, c.Type);
        expected.push_back(Row{c.Key, "", "", c.Image, c.Key});
    }
    SeedProgram("h number one", "h number one");
    RegSetDword(HKEY_LOCAL_MACHINE, kPhantom, "h number one", 1);
    expected.push_back(Row{"h number one", "", "", 1, "h number one"});
    // Without a command an entry is phantom whatever its verdict says.
    Seed("i empty command", {{"DisplayName", "i empty command"}, {"UninstallString", ""}});
    Seed("j name only", {{"DisplayName", "j name only"}});
    for (const char* key : {"i empty command", "j name only"}) {
        RegSetString(HKEY_LOCAL_MACHINE, kPhantom, key, "1");
        expected.push_back(Row{key, "", "", 1, key});
    }
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Unlisted", "1");
    Show();
    EXPECT_EQ(Rows(form), expected);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom), (Values{{"Unlisted", "1"}}));
}

TEST_F(UninstallTest, WithoutGhostprobeBesideItEveryCommandIsPhantom)
{
    // This program, copied where the system's search for "Ghostprobe.exe"
    // finds none (neither beside it nor in the current folder).
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string name = self;
    name = name.substr(name.find_last_of('\\') + 1);
    const std::string folder = "C:\\work\\without ghostprobe";
    const std::string copy = folder + "\\" + name;
    MakeDirs(copy, true);
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    for (const char* helper : {"iconic_uninstaller", "longrun"}) CopyProgram(helper, folder + "\\" + helper + ".exe");
    const std::string report = folder + "\\report.xml";
    DeleteFileA(report.c_str());
    Child child(Quoted(copy) + " --gtest_filter=WithoutGhostprobe.* --gtest_output=xml:" + Quoted(report));
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.Wait(300000), 0u) << (testsupport::FileExists(report) ? ReadTextFile(report) : "no report");
    ASSERT_TRUE(testsupport::FileExists(report));
    const std::string xml = ReadTextFile(report);
    EXPECT_NE(xml.find("tests=\"2\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("skipped=\"0\""), std::string::npos) << xml;
}

} // namespace
