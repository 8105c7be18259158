// The Task Manager page: the running processes as the window lists them, and
// ending one with the Kill process button or a double click, driven with real
// clicks on the window as the program builds it. The processes to end are
// copies of a long-running helper under names of their own.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "GuiSupport.h"
#include "MainWindow.h"
#include "ProgramBoxes.h"
#include "TestSupport.h"
#include "dialogs/MessageBoxForm.h"

using namespace testsupport;

namespace {

// Mixed case on purpose: the list sorts as lstrcmpA does ("tmprobe-one"
// before "Tmprobe-Two"), not by byte value.
const char kProbeOne[] = "C:\\tm probes\\tmprobe-one.exe"; // a folder whose name has a space
const char kProbeTwo[] = "C:\\tmprobes\\Tmprobe-Two.exe";
const char kProbeThree[] = "C:\\tmprobes\\tmprobe-three.exe";

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

std::string BaseName(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

// One process of a Toolhelp snapshot, as the test reads it itself.
struct Process {
    std::string Id, ExeFile;
    bool operator==(const Process& o) const { return Id == o.Id && ExeFile == o.ExeFile; }
};

std::ostream& operator<<(std::ostream& out, const Process& p)
{
    return out << "{" << p.Id << " '" << p.ExeFile << "'}";
}

// Every entry of a fresh snapshot, the first included, in snapshot order.
std::vector<Process> Snapshot()
{
    std::vector<Process> all;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return all;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        all.push_back({std::to_string(entry.th32ProcessID), entry.szExeFile});
    CloseHandle(snapshot);
    return all;
}

// One row as the list shows it (caption, the second column's text in
// Sweepora98) with the process ID its data holds.
struct Row {
    std::string Caption, Path, Id;
    bool operator<(const Row& o) const { return std::tie(Id, Caption, Path) < std::tie(o.Id, o.Caption, o.Path); }
    bool operator==(const Row& o) const { return std::tie(Id, Caption, Path) == std::tie(o.Id, o.Caption, o.Path); }
};

std::ostream& operator<<(std::ostream& out, const Row& r)
{
    return out << "{" << r.Id << " '" << r.Caption << "' '" << r.Path << "'}";
}

std::string CellText(TListView* list, int row, int column)
{
    char text[MAX_PATH + 16] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<Row> Rows(TListView* list)
{
    std::vector<Row> rows;
    const int count = static_cast<int>(SendMessageA(list->Handle(), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(count, list->Items()->Count());
    for (int i = 0; i < count && i < list->Items()->Count(); ++i) {
        auto* id = static_cast<const std::string*>(list->Items()->Item(i)->GetData());
        rows.push_back({CellText(list, i, 0), CellText(list, i, 1), id ? *id : "<no data>"});
    }
    return rows;
}

std::vector<std::string> Captions(const std::vector<Row>& rows)
{
    std::vector<std::string> captions;
    for (const Row& r : rows) captions.push_back(r.Caption);
    return captions;
}

// The row of that process, -1 when none.
int RowOf(TListView* list, DWORD pid)
{
    for (int i = 0; i < list->Items()->Count(); ++i) {
        auto* id = static_cast<const std::string*>(list->Items()->Item(i)->GetData());
        if (id && *id == std::to_string(pid)) return i;
    }
    return -1;
}

// A point on the row's text, in the list's client coordinates.
POINT RowPoint(TListView* list, int index)
{
    list->Items()->Item(index)->MakeVisible(false); // as the user scrolls to it
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageA(list->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return {r.left + 4, (r.top + r.bottom) / 2};
}

// A point of the list below its last row, where a click selects nothing.
POINT BelowRows(TListView* list)
{
    RECT last = {};
    last.left = LVIR_BOUNDS;
    const int count = list->Items()->Count();
    list->Items()->Item(count - 1)->MakeVisible(false);
    SendMessageA(list->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
    RECT client = {};
    GetClientRect(list->Handle(), &client);
    EXPECT_LT(last.bottom + 8, client.bottom) << "no room below the rows";
    return {20, last.bottom + 6};
}

void Click(TControl* control)
{
    HoverControl(control);
    ClickControl(control);
}

void DoubleClick(TListView* list, POINT p)
{
    CursorAt(list, p.x, p.y);
    HWND hwnd = list->Handle();
    SendMouse(hwnd, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
    SendMouse(hwnd, WM_LBUTTONUP, p.x, p.y);
    SendMouse(hwnd, WM_LBUTTONDBLCLK, p.x, p.y, MK_LBUTTON);
    SendMouse(hwnd, WM_LBUTTONUP, p.x, p.y);
    PumpPending();
}

bool ListHasFocus(TForm1* form)
{
    return GetFocus() == form->lvTaskMan->Handle();
}

class TaskManTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CopyProgram("longrun", kProbeOne);
        CopyProgram("longrun", kProbeTwo);
        CopyProgram("longrun", kProbeThree);
    }
    void SetUp() override
    {
        one = std::make_unique<Child>(Quoted(kProbeOne));
        two = std::make_unique<Child>(Quoted(kProbeTwo));
        ASSERT_TRUE(one->Started() && two->Started());
        form = CreateMainWindow();
    }
    void TearDown() override
    {
        LeaveControls();
        FreeMainWindow(form);
    }
    // The Task Manager page opened with its icon.
    void OpenPage()
    {
        Click(form->bbtTaskManIcon);
        ASSERT_EQ(form->ActivePage, pcTaskMan);
        ASSERT_TRUE(form->lvTaskMan->GetVisible());
    }
    // A real click on the process's row, which must be listed.
    void SelectRowOf(DWORD pid)
    {
        const int index = RowOf(form->lvTaskMan, pid);
        ASSERT_GE(index, 0) << pid;
        POINT p = RowPoint(form->lvTaskMan, index);
        ClickControl(form->lvTaskMan, p.x, p.y);
        ASSERT_EQ(form->lvTaskMan->GetItemIndex(), index);
    }
    TForm1* form = nullptr;
    std::unique_ptr<Child> one, two;
};

// ------------------------------------------------------------------ the list

TEST_F(TaskManTest, TheListHoldsTheSnapshotButItsFirstSortedByName)
{
    // The processes must stand still around the listing to be compared with
    // it; the sandbox's own services may come and go, so a moving picture is
    // taken again with Refresh.
    std::vector<Process> before = Snapshot();
    OpenPage();
    std::vector<Process> after = Snapshot();
    for (int attempt = 0; attempt < 5 && !(before == after); ++attempt) {
        before = Snapshot();
        Click(form->bbtTaskManRefresh);
        after = Snapshot();
    }
    ASSERT_EQ(before, after) << "the processes kept changing";
    ASSERT_GE(after.size(), 3u);

    // Expected: every entry but the first, the name after the last "\", in
    // Sweepora98 the whole field beside it, the ID as data.
    std::vector<Row> expected;
    for (size_t i = 1; i < after.size(); ++i) {
#ifdef Edition98
        const std::string path = after[i].ExeFile;
#else
        const std::string path = "";
#endif
        expected.push_back({BaseName(after[i].ExeFile), path, after[i].Id});
    }
    std::vector<Row> shown = Rows(form->lvTaskMan);
    EXPECT_EQ(std::set<Row>(shown.begin(), shown.end()), std::set<Row>(expected.begin(), expected.end()));
    EXPECT_EQ(shown.size(), expected.size());
    EXPECT_EQ(RowOf(form->lvTaskMan, std::stoul(after[0].Id)), -1) << "the first entry " << after[0].ExeFile;

    // Sorted as lstrcmpA sorts: the two probes in that order, "tmprobe-one"
    // before "Tmprobe-Two", though byte order puts "T" first.
    std::vector<std::string> sorted = Captions(expected);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return lstrcmpA(a.c_str(), b.c_str()) < 0; });
    EXPECT_EQ(Captions(shown), sorted);
    EXPECT_LT(RowOf(form->lvTaskMan, one->Pid()), RowOf(form->lvTaskMan, two->Pid()));

    // The probe by its name; the second column in Sweepora98 only.
    const int oneRow = RowOf(form->lvTaskMan, one->Pid());
    ASSERT_GE(oneRow, 0);
    EXPECT_EQ(shown[oneRow].Caption, "tmprobe-one.exe");
#ifdef Edition98
    EXPECT_EQ(form->lvTaskMan->Columns()->Count(), 2);
#else
    EXPECT_EQ(form->lvTaskMan->Columns()->Count(), 1);
    EXPECT_EQ(form->lvTaskMan->Items()->Item(oneRow)->SubItems->Count(), 0);
#endif
}

TEST_F(TaskManTest, RefreshListsAProcessStartedAfterTheFirstListing)
{
    OpenPage();
    Child three(Quoted(kProbeThree));
    ASSERT_TRUE(three.Started());
    EXPECT_EQ(RowOf(form->lvTaskMan, three.Pid()), -1) << "the list refreshed itself";

    // Another row selected and the focus elsewhere: Refresh selects the first
    // row of the new list and gives the list the focus.
    SelectRowOf(two->Pid());
    SetFocus(form->Handle());
    Click(form->bbtTaskManRefresh);
    const int threeRow = RowOf(form->lvTaskMan, three.Pid());
    ASSERT_GE(threeRow, 0);
    EXPECT_EQ(form->lvTaskMan->Items()->Item(threeRow)->GetCaption(), "tmprobe-three.exe");
    EXPECT_EQ(form->lvTaskMan->GetItemIndex(), 0);
    EXPECT_EQ(form->lvTaskMan->SelCount(), 1);
    EXPECT_TRUE(ListHasFocus(form));
}

#ifdef EditionXP
TEST_F(TaskManTest, TheHelpCardLiesOverTheRightPartOfTheList)
{
    OpenPage();
    // Where the card is, the mouse and the eye meet the card, not the list.
    TPanel* card = form->Panel4;
    ASSERT_TRUE(card->GetVisible());
    POINT p = {card->GetLeft() + card->GetWidth() / 2, card->GetTop() + card->GetHeight() / 2};
    ClientToScreen(form->plTaskMan->Handle(), &p);
    EXPECT_EQ(WindowFromPoint(p), card->Handle());
    // Beside it, the list.
    POINT left = {20, card->GetTop() + card->GetHeight() / 2};
    ClientToScreen(form->plTaskMan->Handle(), &left);
    EXPECT_EQ(WindowFromPoint(left), form->lvTaskMan->Handle());
}
#endif

// ------------------------------------------------------------- terminating

// Ends the selected process by the button or by a double click on its row.
enum class Way { Button, DoubleClick };

struct KillCase {
    const char* Name;
    Way By;
    BoxAnswer Answer;
    bool Ends;
};

TEST_F(TaskManTest, TheButtonAndADoubleClickAskAndEndOnlyAfterYes)
{
    const KillCase cases[] = {
        {"button, Yes", Way::Button, ClickButton(&TfmMessageBox::bbtYes), true},
        {"button, No", Way::Button, ClickButton(&TfmMessageBox::bbtNo), false},
        {"double click, Yes by Enter", Way::DoubleClick, PressKeys({VK_RETURN}), true},
        {"double click, No", Way::DoubleClick, ClickButton(&TfmMessageBox::bbtNo), false},
    };
    OpenPage();
    for (const KillCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Child probe(Quoted(kProbeThree));
        ASSERT_TRUE(probe.Started());
        Click(form->bbtTaskManRefresh);
        SelectRowOf(probe.Pid());
        const int probeRow = form->lvTaskMan->GetItemIndex();
        ASSERT_GT(probeRow, 0) << "the probe must not be the first row";
        const std::vector<Row> listed = Rows(form->lvTaskMan);
        if (c.By == Way::Button) SetFocus(form->Handle()); // the handler gives it back

        BoxWatch watch{{c.Answer}};
        watch.Run([&] {
            if (c.By == Way::Button)
                Click(form->bbtTaskManKill);
            else
                DoubleClick(form->lvTaskMan, RowPoint(form->lvTaskMan, probeRow));
        });
        ASSERT_EQ(watch.Shown(), 1);
        // The box puts one empty line above the text.
        EXPECT_EQ(watch.Boxes[0].Text, "\nDo you really want to terminate the\ntmprobe-three.exe process?");
        EXPECT_EQ(watch.Boxes[0].Caption, "Confirm");
        EXPECT_EQ(watch.Boxes[0].Buttons, (std::vector<std::string>{"bbtYes", "bbtNo"}));

        if (c.Ends) {
            EXPECT_EQ(probe.Wait(), 1u) << "ended with exit code 1";
            EXPECT_EQ(RowOf(form->lvTaskMan, probe.Pid()), -1);
            // The first row of the new list, not the one near the ended process.
            EXPECT_EQ(form->lvTaskMan->GetItemIndex(), 0);
            EXPECT_EQ(form->lvTaskMan->SelCount(), 1);
        } else {
            EXPECT_TRUE(probe.Running());
            EXPECT_EQ(Rows(form->lvTaskMan), listed) << "the list is as it was";
            EXPECT_EQ(form->lvTaskMan->GetItemIndex(), probeRow);
        }
        EXPECT_TRUE(ListHasFocus(form));
        EXPECT_TRUE(one->Running() && two->Running());
    }
}

TEST_F(TaskManTest, AListRebuiltWhileTheQuestionShowsStillEndsTheProcessAskedAbout)
{
    OpenPage();
    Child probe(Quoted(kProbeThree));
    ASSERT_TRUE(probe.Started());
    Click(form->bbtTaskManRefresh);
    SelectRowOf(probe.Pid());

    // The tray menu still answers while the box shows: away to another page
    // and back rebuilds the list under the question, then Yes.
    BoxWatch watch{{[&](TfmMessageBox* box) {
        form->pmiUninstallprograms->Click();
        form->pmiTaskManager->Click();
        PostClick(box->bbtYes);
    }}};
    watch.Run([&] { Click(form->bbtTaskManKill); });
    ASSERT_EQ(watch.Shown(), 1);
    EXPECT_EQ(probe.Wait(), 1u);
    EXPECT_TRUE(one->Running() && two->Running()) << "another process was ended";
    EXPECT_EQ(form->ActivePage, pcTaskMan);
    EXPECT_EQ(RowOf(form->lvTaskMan, probe.Pid()), -1);
    EXPECT_EQ(form->lvTaskMan->GetItemIndex(), 0);
}

TEST_F(TaskManTest, WithoutASelectedRowNothingHappensNotEvenTheFocus)
{
    OpenPage();
    TListView* list = form->lvTaskMan;
    const POINT empty = BelowRows(list);
    ClickControl(list, empty.x, empty.y);
    ASSERT_EQ(list->SelCount(), 0);
    const std::vector<Row> listed = Rows(list);

    SetFocus(form->Handle());
    BoxWatch watch;
    watch.Run([&] { Click(form->bbtTaskManKill); });
    EXPECT_EQ(watch.Shown(), 0);
    EXPECT_EQ(GetFocus(), form->Handle()) << "the focus moved";

    // A double click where no row is (the list itself takes the focus, as any
    // click on it does).
    watch.Run([&] { DoubleClick(list, empty); });
    EXPECT_EQ(watch.Shown(), 0);
    EXPECT_EQ(list->SelCount(), 0);
    EXPECT_EQ(Rows(list), listed);
    EXPECT_TRUE(one->Running() && two->Running());
}

} // namespace
