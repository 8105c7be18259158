// The main window's pages, status line, help, links and drag, driven with
// real mouse and key messages on the window as the program builds it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "GuiSupport.h"
#include "ProgramBoxes.h"
#include "Links.h"
#include "MainWindow.h"
#include "Messages.h"
#include "TestSupport.h"
#include "dialogs/MessageBoxForm.h"

using namespace testsupport;

namespace {

const char kUninstallTitle[] = "Uninstall Manager - uninstall programs that you do not need anymore";
const char kUninstallTip[] = "Select the program you want to uninstall and then click the \"Uninstall\" button";
const char kStartupTitle[] = "Startup List - customize your Startup settings";
const char kStartupTip[] = "Customize your startup configuration";
const char kTaskManClickTitle[] = "Task Manager - kill unwanted processes or those that work improperly";
const char kTaskManTitle[] = "Task Manager - force-quit unwanted processes or those that work improperly";
const char kTaskManTip[] = "Select the programs you want to force-quit and then click the \"Kill process\" button";
const char kPrivacyTitle[] = "Privacy Manager - Internet Explorer/MSN Explorer";
const char kPrivacyTip[] = "Cleanup your temporary files and Internet Traces";
const char kAboutClickTitle[] = "About - what, who, when, where";
const char kAboutTitle[] = "About - About Sweepora 2004 Pro...";

// Texts that no handler writes: whatever replaces them was written by the
// handler that ran in between.
const char kTitleMark[] = "<title before the click>";
const char kTipMark[] = "<tip before the click>";

struct StatusLine {
    std::string Title, Tip;
    int ActivePage = -1;
};

StatusLine Status(TForm1* form)
{
    return {form->lMessage->GetCaption(), form->lTip->GetCaption(), form->ActivePage};
}

// What a real click left in the status line when the control's OnClick
// returned. With the pointer resting on the icon afterwards, the hover title
// replaces the click title at once, so the click's own texts can only be read
// there.
struct Watched {
    bool Ran = false;
    StatusLine After;
};

// A real left click, with the idle hover check run first as the program's
// loop runs it when the pointer comes to rest on the control. The title and
// tip hold kTitleMark and kTipMark when the handler starts.
Watched ClickWatched(TForm1* form, TControl* control)
{
    Watched seen;
    TNotifyEvent handler = control->OnClick;
    control->OnClick = [&](TObject* sender) {
        form->lMessage->SetCaption(kTitleMark);
        form->lTip->SetCaption(kTipMark);
        seen.Ran = true;
        if (handler) handler(sender);
        seen.After = Status(form);
    };
    HoverControl(control);
    ClickControl(control);
    control->OnClick = handler;
    return seen;
}

void Click(TControl* control)
{
    HoverControl(control);
    ClickControl(control);
}

// The page panels and the wait panel that are visible, in a fixed order.
std::vector<std::string> VisiblePanels(TForm1* form)
{
    TPanel* TForm1::*const panels[] = {&TForm1::plUninstallButtons, &TForm1::plStartupButtons,
                                       &TForm1::plPrivacyButtons,   &TForm1::plTaskManButtons,
                                       &TForm1::plAboutButtons,     &TForm1::plStartup,
                                       &TForm1::plUninstall,        &TForm1::plPrivacy,
                                       &TForm1::plTaskMan,          &TForm1::plAbout,
                                       &TForm1::plWait};
    std::vector<std::string> shown;
    for (auto panel : panels)
        if ((form->*panel)->GetVisible()) shown.push_back((form->*panel)->GetName());
    return shown;
}

std::vector<std::string> DownIcons(TForm1* form)
{
    TPSpeedButton* TForm1::*const icons[] = {&TForm1::bbtUninstallIcon, &TForm1::bbtStartupIcon,
                                             &TForm1::bbtTaskManIcon,   &TForm1::bbtPrivacyIcon,
                                             &TForm1::bbtHelpIcon,      &TForm1::bbtAboutIcon,
                                             &TForm1::bbtExitIcon};
    std::vector<std::string> down;
    for (auto icon : icons)
        if ((form->*icon)->GetDown()) down.push_back((form->*icon)->GetName());
    return down;
}

class PagesTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        LeaveControls();
        FreeMainWindow(form);
    }
    TForm1* form = nullptr;
};

// ------------------------------------------------------------ page switches

TEST_F(PagesTest, EachIconShowsItsPageWithItsTextsAndAgainDoesNothing)
{
    form = CreateMainWindow();
    // The first showing has switched to the Uninstall page.
    EXPECT_EQ(form->ActivePage, pcUninstall);
    EXPECT_EQ(VisiblePanels(form), (std::vector<std::string>{"plUninstallButtons", "plUninstall"}));
    EXPECT_EQ(form->lMessage->GetCaption(), kUninstallTitle);
    EXPECT_EQ(form->lTip->GetCaption(), kUninstallTip);

    const struct {
        TPSpeedButton* TForm1::*Icon;
        int Code;
        std::vector<std::string> Panels; // button panel, content panel
        TListView* TForm1::*List;        // given the focus; none: nullptr
        const char* ClickTitle;
        const char* Tip; // nullptr: the maker's motto, any one line
        const char* HoverTitle;
    } pages[] = {
        {&TForm1::bbtStartupIcon, pcStartup, {"plStartupButtons", "plStartup"}, &TForm1::lvStartup, kStartupTitle,
         kStartupTip, kStartupTitle},
        {&TForm1::bbtTaskManIcon, pcTaskMan, {"plTaskManButtons", "plTaskMan"}, &TForm1::lvTaskMan,
         kTaskManClickTitle, kTaskManTip, kTaskManTitle},
        {&TForm1::bbtPrivacyIcon, pcPrivacy, {"plPrivacyButtons", "plPrivacy"}, nullptr, kPrivacyTitle, kPrivacyTip,
         kPrivacyTitle},
        {&TForm1::bbtAboutIcon, pcAbout, {"plAboutButtons", "plAbout"}, nullptr, kAboutClickTitle, nullptr,
         kAboutTitle},
        {&TForm1::bbtUninstallIcon, pcUninstall, {"plUninstallButtons", "plUninstall"}, &TForm1::lvUninstall,
         kUninstallTitle, kUninstallTip, kUninstallTitle},
    };
    for (const auto& page : pages) {
        TPSpeedButton* icon = form->*page.Icon;
        SCOPED_TRACE(icon->GetName());
        LeaveControls();
        Watched click = ClickWatched(form, icon);
        ASSERT_TRUE(click.Ran);
        EXPECT_EQ(click.After.ActivePage, page.Code);
        EXPECT_EQ(click.After.Title, page.ClickTitle);
        if (page.Tip) {
            EXPECT_EQ(click.After.Tip, page.Tip);
        } else {
            EXPECT_NE(click.After.Tip, kTipMark);
            EXPECT_FALSE(click.After.Tip.empty());
            EXPECT_EQ(click.After.Tip.find('\n'), std::string::npos);
        }
        EXPECT_EQ(VisiblePanels(form), page.Panels);
        EXPECT_EQ(DownIcons(form), std::vector<std::string>{icon->GetName()});
        if (page.List) {
            EXPECT_EQ(GetFocus(), (form->*page.List)->Handle());
        }
        // The pointer still rests on the icon, then leaves it.
        EXPECT_EQ(form->lMessage->GetCaption(), page.HoverTitle);
        const std::string tip = form->lTip->GetCaption();
        LeaveControls();
        EXPECT_EQ(form->lMessage->GetCaption(), page.HoverTitle);
        EXPECT_EQ(form->lTip->GetCaption(), tip);

        // The icon of the page shown: no switch, neither text written.
        Watched again = ClickWatched(form, icon);
        ASSERT_TRUE(again.Ran);
        EXPECT_EQ(again.After.Title, kTitleMark);
        EXPECT_EQ(again.After.Tip, kTipMark);
        EXPECT_EQ(again.After.ActivePage, page.Code);
        EXPECT_EQ(VisiblePanels(form), page.Panels);
        EXPECT_EQ(DownIcons(form), std::vector<std::string>{icon->GetName()});
    }
}

TEST_F(PagesTest, EnteringUninstallEmptiesTheFilterAndOnlyAFilledOneRebuilds)
{
    form = CreateMainWindow();
    TEdit* filter = form->edUninstallFilter;
    for (const char* text : {"abc", ""}) {
        SCOPED_TRACE(text);
        Click(form->bbtAboutIcon);
        ASSERT_EQ(form->ActivePage, pcAbout);
        filter->SetText(text);
        // The filter's change handler is what rebuilds the list.
        int changes = 0;
        TNotifyEvent rebuild = filter->OnChange;
        filter->OnChange = [&](TObject* sender) {
            ++changes;
            if (rebuild) rebuild(sender);
        };
        Click(form->bbtUninstallIcon);
        filter->OnChange = rebuild;
        EXPECT_EQ(form->ActivePage, pcUninstall);
        EXPECT_EQ(filter->GetText(), "");
        EXPECT_EQ(changes, *text ? 1 : 0);
    }
}

TEST_F(PagesTest, PrivacyTitleNamesTheSubPageShown)
{
    form = CreateMainWindow();
    form->PrivacyPageTitle = "Opera";
    Watched click = ClickWatched(form, form->bbtPrivacyIcon);
    ASSERT_TRUE(click.Ran);
    EXPECT_EQ(click.After.Title, "Privacy Manager - Opera");
    EXPECT_EQ(click.After.Tip, kPrivacyTip);
    EXPECT_EQ(form->lMessage->GetCaption(), "Privacy Manager - Opera");
    HoverControl(form->bbtHelpIcon);
    LeaveControls();
    EXPECT_EQ(form->lMessage->GetCaption(), "Privacy Manager - Opera");
}

// ------------------------------------------------------------- hover titles

TEST_F(PagesTest, HoverTitlesAndTheTitleRestoredOnLeaving)
{
    form = CreateMainWindow();
    LeaveControls();
    // As the tray menu does it: the icon put down, then the switch.
    form->bbtTaskManIcon->SetDown(true);
    form->bbtTaskManIconClick(form);
    ASSERT_EQ(form->lMessage->GetCaption(), kTaskManClickTitle);

    const struct {
        TPSpeedButton* TForm1::*Icon;
        const char* Title;
    } icons[] = {
        {&TForm1::bbtUninstallIcon, kUninstallTitle},
        {&TForm1::bbtStartupIcon, kStartupTitle},
        {&TForm1::bbtTaskManIcon, kTaskManTitle},
        {&TForm1::bbtPrivacyIcon, kPrivacyTitle},
        {&TForm1::bbtHelpIcon, "Help - Contents"},
        {&TForm1::bbtAboutIcon, kAboutTitle},
        {&TForm1::bbtExitIcon, "Exit - minimize in system tray"},
    };
    for (const auto& entry : icons) {
        TPSpeedButton* icon = form->*entry.Icon;
        SCOPED_TRACE(icon->GetName());
        HoverControl(icon);
        EXPECT_EQ(form->lMessage->GetCaption(), entry.Title);
        EXPECT_EQ(form->lTip->GetCaption(), kTaskManTip);
        // Leaving any icon gives the Task Manager page its force-quit title.
        LeaveControls();
        EXPECT_EQ(form->lMessage->GetCaption(), kTaskManTitle);
        EXPECT_EQ(form->lTip->GetCaption(), kTaskManTip);
    }
    EXPECT_EQ(form->ActivePage, pcTaskMan);
}

TEST_F(PagesTest, LeavingAnIconBeforeTheFirstSwitchKeepsTheTitle)
{
    // Not shown, so no activation has switched a page yet. The pointer cannot
    // reach a hidden window: the icons get the enter and leave notifications
    // that the idle hover check sends.
    form = CreateMainWindow(false);
    ASSERT_EQ(form->ActivePage, 0);
    EXPECT_EQ(form->lMessage->GetCaption(), "");
    EXPECT_EQ(form->lTip->GetCaption(), "");
    TPSpeedButton* TForm1::*const icons[] = {&TForm1::bbtUninstallIcon, &TForm1::bbtStartupIcon,
                                             &TForm1::bbtTaskManIcon,   &TForm1::bbtPrivacyIcon,
                                             &TForm1::bbtHelpIcon,      &TForm1::bbtAboutIcon,
                                             &TForm1::bbtExitIcon};
    for (auto member : icons) {
        TPSpeedButton* icon = form->*member;
        SCOPED_TRACE(icon->GetName());
        icon->Perform(CM_MOUSEENTER, 0, 0);
        EXPECT_NE(form->lMessage->GetCaption(), "");
        form->lMessage->SetCaption(kTitleMark);
        icon->Perform(CM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(form->lMessage->GetCaption(), kTitleMark);
        EXPECT_EQ(form->lTip->GetCaption(), "");
    }
    EXPECT_EQ(form->ActivePage, 0);
}

// ------------------------------------------------------ the save question

// Two enabled entries in the user's Run key, as the Startup scan lists them.
class StartupRows {
public:
    static constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kRunDisabled = "Software\\Microsoft\\Windows\\CurrentVersion\\Run-";
    static constexpr const char* kNames[] = {"PagesTestFirst", "PagesTestSecond"};

    explicit StartupRows(TListView* list) : FList(list) {}
    ~StartupRows() { Unseed(); }
    // The two values written afresh, nothing else in the user's Run keys.
    void Seed()
    {
        Unseed();
        for (const char* name : kNames)
            RegSetString(HKEY_CURRENT_USER, kRun, name, std::string("C:\\Programs\\") + name + ".exe");
    }
    // The listed row of the index-th name; nullptr when it is not listed.
    TListItem* Row(int index) const
    {
        for (int i = 0; i < FList->Items()->Count(); ++i)
            if (FList->Items()->Item(i)->GetCaption() == kNames[index]) return FList->Items()->Item(i);
        return nullptr;
    }
    int Count() const { return (Row(0) ? 1 : 0) + (Row(1) ? 1 : 0); }

private:
    static void Unseed()
    {
        RegDeleteTree(HKEY_CURRENT_USER, kRun);
        RegDeleteTree(HKEY_CURRENT_USER, kRunDisabled);
    }
    TListView* FList;
};

// On the Startup page, freshly scanned, with the two enabled rows; the second
// one's check box cleared with the mouse.
void EnterModifiedStartup(TForm1* form, StartupRows& rows)
{
    rows.Seed();
    Click(form->bbtStartupIcon);
    // A fresh list also when the page was already shown.
    Click(form->bbtStartupRefresh);
    LeaveControls();
    ASSERT_EQ(form->ActivePage, pcStartup);
    ASSERT_EQ(rows.Count(), 2);
    ASSERT_FALSE(form->StartupListModified());
    ASSERT_TRUE(ClickCheckBox(rows.Row(1)));
    ASSERT_FALSE(rows.Row(1)->GetChecked());
    ASSERT_TRUE(form->StartupListModified());
}

TEST_F(PagesTest, LeavingAModifiedStartupListAsksAndActsOnTheAnswer)
{
    form = CreateMainWindow();
    StartupRows rows(form->lvStartup);
    const struct {
        const char* What;
        BoxAnswer Answer;
        bool Switches;
        bool Applied; // the cleared entry moved to the disabled key
    } answers[] = {
        {"Yes: Enter", PressKeys({VK_RETURN}), true, true},
        {"No: a click on No", ClickButton(&TfmMessageBox::bbtNo2), true, false},
        {"Cancel: Esc", PressKeys({VK_ESCAPE}), false, false},
    };
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.What);
        EnterModifiedStartup(form, rows);
        if (HasFatalFailure()) return;

        BoxWatch watch{{answer.Answer}};
        Watched click;
        watch.Run([&] { click = ClickWatched(form, form->bbtUninstallIcon); });
        ASSERT_TRUE(click.Ran);
        ASSERT_EQ(watch.Shown(), 1);
        EXPECT_EQ(watch.Boxes[0].Text, "\nDo you want save the modifications?");
        EXPECT_EQ(watch.Boxes[0].Caption, "Confirmation");
        EXPECT_EQ(watch.Boxes[0].Buttons, (std::vector<std::string>{"bbtYes2", "bbtNo2", "bbtCancel"}));
        // While the box held the main window disabled, the hover check saw no
        // control under the pointer; once the box is gone, the pointer rests on
        // the icon for an idle check before it leaves, as in the program's loop.
        HoverControl(form->bbtUninstallIcon);
        LeaveControls();
        // Yes applies the change for real: the entry is stored disabled.
        const auto run = RegValues(HKEY_CURRENT_USER, StartupRows::kRun);
        const auto disabled = RegValues(HKEY_CURRENT_USER, StartupRows::kRunDisabled);
        EXPECT_EQ(run.count("PagesTestFirst"), 1u);
        EXPECT_EQ(run.count("PagesTestSecond"), answer.Applied ? 0u : 1u);
        EXPECT_EQ(disabled.count("PagesTestSecond"), answer.Applied ? 1u : 0u);
        if (answer.Switches) {
            EXPECT_EQ(click.After.ActivePage, pcUninstall);
            EXPECT_EQ(click.After.Title, kUninstallTitle);
            EXPECT_EQ(click.After.Tip, kUninstallTip);
            EXPECT_EQ(VisiblePanels(form), (std::vector<std::string>{"plUninstallButtons", "plUninstall"}));
            EXPECT_EQ(DownIcons(form), std::vector<std::string>{"bbtUninstallIcon"});
        } else {
            // The Startup page stays with its list, and the switch wrote no text.
            EXPECT_EQ(click.After.ActivePage, pcStartup);
            EXPECT_EQ(click.After.Title, kTitleMark);
            EXPECT_EQ(click.After.Tip, kTipMark);
            EXPECT_EQ(VisiblePanels(form), (std::vector<std::string>{"plStartupButtons", "plStartup"}));
            EXPECT_EQ(rows.Count(), 2);
            EXPECT_TRUE(form->StartupListModified());
            // The released icon latches after the switch has returned; then the
            // Startup icon is put down again, to match the page.
            EXPECT_EQ(DownIcons(form), std::vector<std::string>{"bbtStartupIcon"});
            EXPECT_EQ(form->lMessage->GetCaption(), kStartupTitle);
        }
    }

    // The tray menu's way: the target icon put down first, then the switch.
    // A cancelled question puts the Startup icon down again.
    EnterModifiedStartup(form, rows);
    if (HasFatalFailure()) return;
    const StatusLine before = Status(form);
    BoxWatch watch{{PressKeys({VK_ESCAPE})}};
    watch.Run([&] {
        form->bbtTaskManIcon->SetDown(true);
        form->bbtTaskManIconClick(form);
    });
    EXPECT_EQ(watch.Shown(), 1);
    EXPECT_EQ(DownIcons(form), std::vector<std::string>{"bbtStartupIcon"});
    EXPECT_EQ(Status(form).Title, before.Title);
    EXPECT_EQ(Status(form).Tip, before.Tip);
    EXPECT_EQ(form->ActivePage, pcStartup);
    EXPECT_EQ(VisiblePanels(form), (std::vector<std::string>{"plStartupButtons", "plStartup"}));
}

TEST_F(PagesTest, NoQuestionWithoutAModification)
{
    form = CreateMainWindow();
    StartupRows rows(form->lvStartup);

    // Changed, but the Startup icon again: entering Startup never asks, and the
    // list stays as it is.
    EnterModifiedStartup(form, rows);
    if (HasFatalFailure()) return;
    BoxWatch again;
    again.Run([&] { Click(form->bbtStartupIcon); });
    EXPECT_EQ(again.Shown(), 0);
    EXPECT_EQ(rows.Count(), 2);
    EXPECT_TRUE(form->StartupListModified());

    // The check box set back: nothing differs from the loaded state.
    ASSERT_TRUE(ClickCheckBox(rows.Row(1)));
    ASSERT_TRUE(rows.Row(1)->GetChecked());
    ASSERT_FALSE(form->StartupListModified());
    BoxWatch watch;
    Watched click;
    watch.Run([&] { click = ClickWatched(form, form->bbtTaskManIcon); });
    EXPECT_EQ(watch.Shown(), 0);
    EXPECT_EQ(click.After.ActivePage, pcTaskMan);
    EXPECT_EQ(click.After.Title, kTaskManClickTitle);
    EXPECT_EQ(VisiblePanels(form), (std::vector<std::string>{"plTaskManButtons", "plTaskMan"}));
}

// ---------------------------------------------------------- help and links

// How a program started by the shell was started, as the recorder noted it.
struct Started {
    std::string Program;   // file name without folder and ".exe", lower case
    std::string Arguments; // the command line after the program
    int Show = -2;
    std::string Directory;
};

Started ReadStart(const std::string& record)
{
    std::string text = ReadTextFile(record);
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
        lines.push_back(text.substr(from, nl - from));
    Started started;
    if (lines.size() < 3) return started;
    const std::string& line = lines[0];
    size_t end;
    std::string program;
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        program = line.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        end = end == std::string::npos ? line.size() : end + 1;
    } else {
        end = std::min(line.find(' '), line.size());
        program = line.substr(0, end);
    }
    program = program.substr(program.find_last_of("\\/") + 1);
    for (char& c : program) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (program.size() > 4 && program.compare(program.size() - 4, 4, ".exe") == 0) program.resize(program.size() - 4);
    started.Program = program;
    started.Arguments = line.substr(std::min(line.find_first_not_of(' ', end), line.size()));
    started.Show = std::stoi(lines[1]);
    started.Directory = lines[2];
    return started;
}

std::string CurrentDirectory()
{
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

const char kMailHandler[] = "C:\\work\\handlers\\mailclient.exe";

class LinksTest : public PagesTest {
protected:
    // The shell starts "hh" and "iexplore" as programs of those names found on
    // the search path, where the program's current folder comes before the
    // system's own; App Paths entries are not consulted for them. The mail
    // link goes through the mailto protocol's open command.
    void SetUp() override
    {
        for (const std::string& path : {Viewer(), Browser()}) {
            CopyProgram("cmdline_recorder", path);
            DeleteFileA((path + ".txt").c_str());
        }
        CopyProgram("cmdline_recorder", kMailHandler);
        DeleteFileA((std::string(kMailHandler) + ".txt").c_str());
        RegDeleteTree(HKEY_CLASSES_ROOT, "mailto");
        RegSetString(HKEY_CLASSES_ROOT, "mailto", "URL Protocol", "");
        RegSetString(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "",
                     std::string("\"") + kMailHandler + "\" %1");
    }
    void TearDown() override
    {
        PagesTest::TearDown();
        for (const std::string& path : {Viewer(), Browser(), std::string(kMailHandler)}) {
            DeleteFileA(path.c_str());
            DeleteFileA((path + ".txt").c_str());
        }
        RegDeleteTree(HKEY_CLASSES_ROOT, "mailto");
    }
    static std::string Viewer() { return CurrentDirectory() + "\\hh.exe"; }
    static std::string Browser() { return CurrentDirectory() + "\\iexplore.exe"; }
    // Waits for the record of a started program.
    static bool WaitStarted(const std::string& program)
    {
        const std::string record = program + ".txt";
        return PumpUntil([&] { return testsupport::FileExists(record); }, 60000);
    }
};

TEST_F(LinksTest, HelpAndTheAboutLinksStartWhatTheShellFindsForThem)
{
    form = CreateMainWindow();

    Click(form->bbtHelpIcon);
    ASSERT_TRUE(WaitStarted(Viewer()));
    Started help = ReadStart(Viewer() + ".txt");
    EXPECT_EQ(help.Program, "hh");
    EXPECT_EQ(help.Arguments, "Sweepora 2004.chm");
    EXPECT_EQ(help.Show, SW_SHOW);
    // No working folder given: the viewer starts in the program's own.
    EXPECT_EQ(help.Directory, CurrentDirectory());
    EXPECT_EQ(form->ActivePage, pcUninstall);

    Click(form->bbtAboutIcon);
    ASSERT_EQ(form->ActivePage, pcAbout);
    const StatusLine about = Status(form);

    Click(form->Image15);
    ASSERT_TRUE(WaitStarted(Browser()));
    Started web = ReadStart(Browser() + ".txt");
    EXPECT_EQ(web.Program, "iexplore");
    EXPECT_EQ(web.Arguments, SWEEPORA_HOMEPAGE);
    EXPECT_EQ(web.Show, SW_SHOWMAXIMIZED);

    Click(form->Image17);
    ASSERT_TRUE(WaitStarted(kMailHandler));
    Started mail = ReadStart(std::string(kMailHandler) + ".txt");
    EXPECT_EQ(mail.Program, "mailclient");
    EXPECT_EQ(mail.Arguments, "mailto:" SWEEPORA_SUPPORT_MAIL);
    EXPECT_EQ(mail.Show, SW_SHOWMAXIMIZED);

    EXPECT_EQ(form->ActivePage, pcAbout);
    EXPECT_EQ(Status(form).Title, about.Title);
    EXPECT_EQ(Status(form).Tip, about.Tip);
    EXPECT_EQ(VisiblePanels(form), (std::vector<std::string>{"plAboutButtons", "plAbout"}));
}

TEST_F(LinksTest, AMailLinkWithoutAMailProgramShowsTheSystemErrorBox)
{
    RegDeleteTree(HKEY_CLASSES_ROOT, "mailto");
    form = CreateMainWindow();
    Click(form->bbtAboutIcon);
    LeaveControls();
    ASSERT_EQ(form->ActivePage, pcAbout);
    const StatusLine about = Status(form);

    BoxAnswerer answer;
    Click(form->Image17);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(answer.Caption, "GetLastError");
    ASSERT_EQ(answer.Texts.size(), 1u);
    EXPECT_FALSE(answer.Texts[0].empty());

    LeaveControls();
    EXPECT_FALSE(testsupport::FileExists(std::string(kMailHandler) + ".txt"));
    EXPECT_EQ(form->ActivePage, pcAbout);
    EXPECT_EQ(Status(form).Title, about.Title);
    EXPECT_EQ(Status(form).Tip, about.Tip);
    EXPECT_EQ(VisiblePanels(form), (std::vector<std::string>{"plAboutButtons", "plAbout"}));
}

// ------------------------------------------------------------------- drag

TEST_F(PagesTest, AnyMouseButtonOnTheBannerDragsTheWindow)
{
    form = CreateMainWindow();
    MoveCommandRecorder moves(form->Handle());

    const struct {
        UINT Down, Up;
        WPARAM Keys;
    } buttons[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON},
    };
    // The picture fills the banner; with it hidden the panel takes the press.
    for (bool picture : {true, false}) {
        form->Image1->SetVisible(picture);
        for (const auto& b : buttons) {
            SCOPED_TRACE(std::string(picture ? "Image1 " : "Panel1 ") + std::to_string(b.Down));
            moves.Commands.clear();
            CursorAt(form->Panel1, 300, 40);
            SendMouse(form->Panel1->Handle(), b.Down, 300, 40, b.Keys);
            SendMouse(form->Panel1->Handle(), b.Up, 300, 40);
            PumpPending();
            EXPECT_EQ(moves.Commands, std::vector<WPARAM>{0xF012});
            EXPECT_EQ(GetCapture(), nullptr);
        }
    }
    form->Image1->SetVisible(true);
    EXPECT_EQ(form->ActivePage, pcUninstall);
}

} // namespace
