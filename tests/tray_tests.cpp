// The notification-area icon as the main window relies on it, driven with the
// messages the shell and the system send: the icon's callback message, the
// minimise and restore commands, the end of the session and a re-created
// taskbar. Wine's own shell keeps a notification area, so whether an icon is
// there is asked of it (NIM_MODIFY succeeds only for an icon it holds).
#include <windows.h>

#include <shellapi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormLoader.h"
#include "Forms.h"
#include "GuiSupport.h"
#include "TestSupport.h"
#include "ImgList.h"
#include "Menus.h"
#include "TrayIcon.h"

using namespace testsupport;

namespace {

std::vector<std::string> gLog;

const char kTrayForm[] = R"(object TrayForm: TTrayForm
  Left = 40
  Top = 40
  BorderStyle = bsNone
  ClientHeight = 100
  ClientWidth = 200
  OnActivate = FormActivate
  object ImageList: TImageList
    Masked = True
    Bitmap = 'ImageList.bmp'
  end
  object pmTray: TPopupMenu
    OnPopup = pmTrayPopup
    object pmiExit: TMenuItem
      Bitmap = 'pmiExit.bmp'
      Caption = 'Exit'
    end
  end
  object TrayIcon: TTrayIcon
    Hint = 'Sweepora 2004'
    PopupMenu = pmTray
    Hide = True
    RestoreOn = imDoubleClick
    PopupMenuOn = imRightClickUp
    Icons = ImageList
    IconIndex = 0
  end
end
)";

class TTrayForm : public TForm {
public:
    explicit TTrayForm(TComponent* owner) : TForm(owner)
    {
        Field("TrayIcon", TrayIcon);
        Handler("FormActivate", &TTrayForm::FormActivate);
        Handler("pmTrayPopup", &TTrayForm::pmTrayPopup);
        LoadFormFromText(kTrayForm, "Tray.dfm");
    }
    TTrayIcon* TrayIcon = nullptr;
    void FormActivate(TObject*) { gLog.push_back("activate"); }
    void pmTrayPopup(TObject*) { gLog.push_back("popup"); }
};

void DeleteIcon(HWND window)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TTrayIcon::IconID;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->Initialize();
        Application->CreateForm(form);
        ASSERT_EQ(Application->MainForm(), form);
        form->Show();
        tray = form->TrayIcon;
        tray->SetVisible(true);
        PumpPending();
        gLog.clear();
    }
    void TearDown() override
    {
        form->Free();
        ShowWindow(Application->Handle(), SW_HIDE);
        PumpPending();
    }
    void Callback(UINT mouseMessage)
    {
        SendMessageA(tray->Handle(), TTrayIcon::WM_TRAYNOTIFY, TTrayIcon::IconID, mouseMessage);
    }
    bool FormOnScreen() { return IsWindowVisible(form->Handle()) != FALSE; }
    TTrayForm* form = nullptr;
    TTrayIcon* tray = nullptr;
};

TEST_F(TrayTest, TheIconShowsWhileVisibleAndGoesWithTheComponent)
{
    HWND window = tray->Handle();
    EXPECT_TRUE(TrayIconShown(window, TTrayIcon::IconID));
    tray->SetVisible(false);
    EXPECT_FALSE(TrayIconShown(window, TTrayIcon::IconID));
    tray->SetVisible(true);
    EXPECT_TRUE(TrayIconShown(window, TTrayIcon::IconID));
    // The icon is removed by the component itself, before its window goes.
    tray->Free();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(TrayIconShown(window, TTrayIcon::IconID));
}

TEST_F(TrayTest, AnIconThatCannotBeAddedIsAnOutOfResourcesError)
{
    tray->SetVisible(false);
    // Another icon holds the component's place already: the shell refuses the addition.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = tray->Handle();
    data.uID = TTrayIcon::IconID;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    try {
        tray->SetVisible(true);
        ADD_FAILURE() << "no exception";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message, "Cannot Create System Shell Notification Icon");
    }
    EXPECT_FALSE(tray->GetVisible());
    DeleteIcon(tray->Handle());
}

TEST_F(TrayTest, TipsOfSixtyFourCharactersOrMoreAreIgnored)
{
    const struct {
        size_t Length;
        bool Taken;
    } cases[] = {{63, true}, {64, false}, {100, false}, {0, true}};
    std::string expected = tray->GetHint();
    EXPECT_EQ(expected, "Sweepora 2004");
    for (const auto& c : cases) {
        std::string tip(c.Length, 'x');
        tray->SetHint(tip);
        if (c.Taken) expected = tip;
        EXPECT_EQ(tray->GetHint(), expected) << c.Length;
        EXPECT_TRUE(TrayIconShown(tray->Handle(), TTrayIcon::IconID));
    }
}

struct PopupSeen {
    bool Shown = false;
    HWND Foreground = nullptr;
    int Items = -1;
};
PopupSeen gPopup;

void CALLBACK InspectPopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, timer);
    gPopup.Shown = true;
    gPopup.Foreground = GetForegroundWindow();
    gPopup.Items = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
    EndMenu();
}

TEST_F(TrayTest, ReleasingTheRightButtonPopsTheMenuUpOverTheActiveForm)
{
    SetForegroundWindow(Application->Handle());
    gPopup = PopupSeen();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, InspectPopup);
    Callback(WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(gPopup.Shown);
    EXPECT_EQ(gPopup.Foreground, form->Handle());
    EXPECT_EQ(gPopup.Items, 1);
    EXPECT_EQ(gLog, std::vector<std::string>{"popup"});
}

TEST_F(TrayTest, OtherButtonsPopNoMenu)
{
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEMOVE})
        Callback(message); // a popped menu would block here until the guard of ctest
    EXPECT_TRUE(gLog.empty());
    EXPECT_TRUE(FormOnScreen());
}

TEST_F(TrayTest, MinimizeLeavesOnlyTheIconAndADoubleClickOfAnyButtonRestores)
{
    for (UINT dblclk : {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK}) {
        tray->Minimize();
        EXPECT_FALSE(FormOnScreen());
        EXPECT_FALSE(IsWindowVisible(Application->Handle())); // no taskbar button (Hide)
        EXPECT_TRUE(TrayIconShown(tray->Handle(), TTrayIcon::IconID));
        Callback(dblclk);
        EXPECT_TRUE(FormOnScreen()) << dblclk;
        EXPECT_EQ(GetForegroundWindow(), form->Handle());
    }
    // Coming back from the tray is no new showing of the form.
    EXPECT_TRUE(gLog.empty());
    EXPECT_TRUE(form->GetVisible());
}

TEST_F(TrayTest, TheSystemsMinimiseAndRestoreCommandsGoThroughTheTray)
{
    // The application window's commands, and the main form's own minimise.
    SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(FormOnScreen());
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(FormOnScreen());
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(FormOnScreen());
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    tray->Restore();
    EXPECT_TRUE(FormOnScreen());
    EXPECT_TRUE(gLog.empty());
    // Without the icon the commands are the application's own: no taskbar button hidden.
    tray->SetVisible(false);
    SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(FormOnScreen());
    EXPECT_TRUE(IsIconic(Application->Handle()));
    EXPECT_TRUE(IsWindowVisible(Application->Handle()));
    SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(FormOnScreen());
}

TEST_F(TrayTest, TheEndOfTheSessionIsAgreedToAndRemovesTheIcon)
{
    EXPECT_EQ(SendMessageA(tray->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(TrayIconShown(tray->Handle(), TTrayIcon::IconID));
    SendMessageA(tray->Handle(), WM_ENDSESSION, FALSE, 0); // the session goes on
    EXPECT_TRUE(TrayIconShown(tray->Handle(), TTrayIcon::IconID));
    SendMessageA(tray->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(TrayIconShown(tray->Handle(), TTrayIcon::IconID));
}

TEST_F(TrayTest, ANewTaskbarGetsTheIconAgain)
{
    DeleteIcon(tray->Handle()); // as a crashed taskbar loses it
    ASSERT_FALSE(TrayIconShown(tray->Handle(), TTrayIcon::IconID));
    SendMessageA(tray->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconShown(tray->Handle(), TTrayIcon::IconID));
}

} // namespace
