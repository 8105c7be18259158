// The five pages, the status line (a title on the banner, a tip in the bottom
// strip), help, the About page's links and the window drag.
#include "Unit1.h"

#include <shellapi.h>

#include <exception>

#include "Links.h"

namespace {

const char kPrivacyTitle[] = "Privacy Manager - ";

// One row per page: what a switch shows, which manager work it starts and
// which texts it sets. The switches differ only in these values.
struct PageInfo {
    int Code;
    TPanel* TForm1::*Content;
    TPanel* TForm1::*Buttons;
    // The manager's work on entry, after the button panel is shown (none: nullptr).
    void (TForm1::*Entry)();
    // The list given the first row and the focus (none: nullptr).
    TListView* TForm1::*List;
    const char* ClickTitle; // nullptr: "Privacy Manager - " and the sub-page title
    const char* Tip;
    const char* HoverTitle; // the title while on the icon and after leaving any icon
};

const PageInfo kPages[] = {
    {pcUninstall, &TForm1::plUninstall, &TForm1::plUninstallButtons, nullptr,
     &TForm1::lvUninstall, "Uninstall Manager - uninstall programs that you do not need anymore",
     "Select the program you want to uninstall and then click the \"Uninstall\" button",
     "Uninstall Manager - uninstall programs that you do not need anymore"},
    {pcStartup, &TForm1::plStartup, &TForm1::plStartupButtons, &TForm1::ScanStartupEntries,
     &TForm1::lvStartup, "Startup List - customize your Startup settings", "Customize your startup configuration",
     "Startup List - customize your Startup settings"},
    {pcTaskMan, &TForm1::plTaskMan, &TForm1::plTaskManButtons, &TForm1::ScanProcesses,
     &TForm1::lvTaskMan, "Task Manager - kill unwanted processes or those that work improperly",
     "Select the programs you want to force-quit and then click the \"Kill process\" button",
     "Task Manager - force-quit unwanted processes or those that work improperly"},
    {pcPrivacy, &TForm1::plPrivacy, &TForm1::plPrivacyButtons, nullptr, nullptr, nullptr,
     "Cleanup your temporary files and Internet Traces", nullptr},
    {pcAbout, &TForm1::plAbout, &TForm1::plAboutButtons, nullptr, nullptr,
     "About - what, who, when, where", "A clean Windows is a fast Windows.", "About - About Sweepora 2004 Pro..."},
};

// The page of that code; nullptr for 0, before the first switch.
const PageInfo* FindPage(int code)
{
    for (const PageInfo& page : kPages)
        if (page.Code == code) return &page;
    return nullptr;
}

// The first row selected (an empty list: no selection), and the focus.
void SelectFirstRowAndFocus(TListView* list)
{
    list->SelectFirst();
    list->SetFocus();
}

} // namespace

void TForm1::HideAllPages()
{
    TPanel* TForm1::*const panels[] = {&TForm1::plUninstallButtons, &TForm1::plStartupButtons,
                                       &TForm1::plPrivacyButtons,   &TForm1::plTaskManButtons,
                                       &TForm1::plAboutButtons,     &TForm1::plStartup,
                                       &TForm1::plUninstall,        &TForm1::plPrivacy,
                                       &TForm1::plTaskMan,          &TForm1::plAbout};
    for (auto panel : panels) (this->*panel)->SetVisible(false);
}

std::string TForm1::PageTitle(int code, bool hover) const
{
    const PageInfo& page = *FindPage(code);
    const char* title = hover ? page.HoverTitle : page.ClickTitle;
    return title ? std::string(title) : kPrivacyTitle + PrivacyPageTitle;
}

void TForm1::SwitchPage(int code)
{
    const PageInfo& page = *FindPage(code);
    if (ActivePage == code) return;
    if (code != pcStartup && ActivePage == pcStartup && StartupListModified()) {
        switch (ShowMessageDialog("Do you want save the modifications?", "Confirmation", MB_YESNOCANCEL)) {
        case IDYES:
            bbtStartupApplyClick(this);
            break;
        case IDNO:
            break;
        case IDCANCEL:
            // Stay on the Startup page, its icon down again. A switch that a
            // mouse click started latches the clicked icon on the release,
            // after this returns: the posted message puts Startup down again
            // once that has happened, so the icon bar matches the page.
            bbtStartupIcon->SetDown(true);
            PostMessageA(Handle(), CM_STARTUPICONDOWN, 0, 0);
            return;
        default:
            return;
        }
    }

    std::exception_ptr failure;
    switch (code) {
    case pcPrivacy:
        ActivePage = code;
        ShowPrivacyPage();
        break;
    case pcAbout:
        HideAllPages();
        (this->*page.Buttons)->SetVisible(true);
        ActivePage = code;
        (this->*page.Content)->SetVisible(true);
        break;
    default:
        ActivePage = code;
        // Only a filter that held text fires its change handler, which
        // rebuilds the list; an empty one keeps the list of the last scan.
        if (code == pcUninstall) edUninstallFilter->SetText("");
        HideAllPages();
        (this->*page.Buttons)->SetVisible(true);
        Repaint();
        // A failure of the page's work is shown once the page is: the other
        // pages are hidden already, and a switch that ended here would leave
        // none shown.
        if (page.Entry) {
            try {
                (this->*page.Entry)();
            } catch (...) {
                failure = std::current_exception();
            }
        }
        (this->*page.Content)->SetVisible(true);
        plWait->SetVisible(false);
        SelectFirstRowAndFocus(this->*page.List);
        break;
    }
    lMessage->SetCaption(PageTitle(code, false));
    lTip->SetCaption(page.Tip);
    if (failure) std::rethrow_exception(failure);
}

void TForm1::Dispatch(TMessage& message)
{
    if (message.Msg == CM_STARTUPICONDOWN) {
        if (ActivePage == pcStartup) bbtStartupIcon->SetDown(true);
        return;
    }
    TForm::Dispatch(message);
}

void TForm1::bbtUninstallIconClick(TObject*)
{
    SwitchPage(pcUninstall);
}

void TForm1::bbtStartupIconClick(TObject*)
{
    // Entering the Startup page never asks: only the already-shown test.
    SwitchPage(pcStartup);
}

void TForm1::bbtTaskManIconClick(TObject*)
{
    SwitchPage(pcTaskMan);
}

void TForm1::bbtPrivacyIconClick(TObject*)
{
    SwitchPage(pcPrivacy);
}

void TForm1::bbtAboutIconClick(TObject*)
{
    SwitchPage(pcAbout);
}

void TForm1::bbtUninstallIconMouseEnter(TObject*)
{
    lMessage->SetCaption(PageTitle(pcUninstall, true));
}

void TForm1::bbtStartupIconMouseEnter(TObject*)
{
    lMessage->SetCaption(PageTitle(pcStartup, true));
}

void TForm1::bbtTaskManIconMouseEnter(TObject*)
{
    lMessage->SetCaption(PageTitle(pcTaskMan, true));
}

void TForm1::bbtPrivacyIconMouseEnter(TObject*)
{
    lMessage->SetCaption(PageTitle(pcPrivacy, true));
}

void TForm1::bbtAboutIconMouseEnter(TObject*)
{
    lMessage->SetCaption(PageTitle(pcAbout, true));
}

void TForm1::bbtHelpIconMouseEnter(TObject*)
{
    lMessage->SetCaption("Help - Contents");
}

void TForm1::bbtExitIconMouseEnter(TObject*)
{
    lMessage->SetCaption("Exit - minimize in system tray");
}

void TForm1::bbtUninstallIconMouseLeave(TObject*)
{
    // Before the first switch there is no page title to go back to.
    if (FindPage(ActivePage)) lMessage->SetCaption(PageTitle(ActivePage, true));
}

namespace {

void Open(HWND owner, const char* file, const char* parameters, int show)
{
    HINSTANCE result = ShellExecuteA(owner, nullptr, file, parameters, nullptr, show);
    if (reinterpret_cast<INT_PTR>(result) <= 32) ShowSystemError(GetLastError());
}

} // namespace

void TForm1::bbtHelpIconClick(TObject*)
{
    // No path: the viewer looks in the program's current directory.
    Open(Handle(), "hh", "Sweepora 2004.chm", SW_SHOW);
}

void TForm1::Image15Click(TObject*)
{
    Open(Handle(), "iexplore", SWEEPORA_HOMEPAGE, SW_SHOWMAXIMIZED);
}

void TForm1::Image17Click(TObject*)
{
    Open(Handle(), "mailto:" SWEEPORA_SUPPORT_MAIL, "", SW_SHOWMAXIMIZED);
}

void TForm1::Panel1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    // Any mouse button drags the borderless window, as a caption bar would.
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);
}

void TForm1::Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Panel1MouseDown(Sender, Button, Shift, X, Y);
}
