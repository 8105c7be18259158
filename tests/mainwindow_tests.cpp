// The main window of each edition as FormCreate leaves it: its frame, icon
// bar, columns, private registry keys and the language hints.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiSupport.h"
#include "MainWindow.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

const char kTarsk[] = "Software\\CLASSES\\tarsk";
const char kProduct[] = "Software\\QLN Soft\\Sweepora 2004 Pro";

#ifdef Edition98
const char kTrayDefault[] = "Sweepora 2004 Pro";
#else
const char kTrayDefault[] = "Sweepora 2004";
#endif

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTree(HKEY_LOCAL_MACHINE, kTarsk);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kProduct);
        DeleteFileA("C:\\work\\lang.lng");
        SetCurrentDirectoryA("C:\\work");
    }
    void TearDown() override
    {
        FreeMainWindow(form);
        SetCurrentDirectoryA("C:\\work");
    }
    static void WriteText(const std::string& path, const std::string& text)
    {
        MakeDirs(path, true);
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(f);
    }
    TForm1* form = nullptr;
};

std::vector<std::string> ColumnsOf(TListView* list, std::vector<int>* minWidths = nullptr)
{
    std::vector<std::string> captions;
    for (int i = 0; i < list->Columns()->Count(); ++i) {
        captions.push_back(list->Columns()->Items(i)->GetCaption());
        if (minWidths) minWidths->push_back(list->Columns()->Items(i)->GetMinWidth());
    }
    return captions;
}

TEST_F(MainWindowTest, FrameAndIconBarAsStored)
{
    form = CreateMainWindow(false);
    EXPECT_EQ(form->ClientWidth(), 750);
    EXPECT_EQ(form->ClientHeight(), 513);
    EXPECT_EQ(form->GetColor(), 14211288);
    EXPECT_EQ(form->GetPosition(), poDesktopCenter);
    EXPECT_EQ(form->HelpFile, "Sweepora 2004.chm");
    EXPECT_EQ(form->ActivePage, 0);

    const struct {
        TPSpeedButton* TForm1::*Button;
        int Top, Idle, Group;
        bool Down, Cancel;
    } icons[] = {
        {&TForm1::bbtUninstallIcon, 12, 0, 1, true, true}, {&TForm1::bbtStartupIcon, 42, 3, 1, false, false},
        {&TForm1::bbtTaskManIcon, 72, 6, 1, false, false}, {&TForm1::bbtPrivacyIcon, 102, 9, 1, false, false},
        {&TForm1::bbtHelpIcon, 132, 12, 0, false, false},  {&TForm1::bbtAboutIcon, 162, 15, 1, false, false},
        {&TForm1::bbtExitIcon, 192, 18, 0, false, true},
    };
    for (const auto& icon : icons) {
        TPSpeedButton* b = form->*icon.Button;
        SCOPED_TRACE(b->GetName());
        EXPECT_EQ(b->GetParent(), form->plLeft);
        EXPECT_EQ(b->GetLeft(), 10);
        EXPECT_EQ(b->GetTop(), icon.Top);
        EXPECT_EQ(b->GetWidth(), 130);
        EXPECT_EQ(b->GetHeight(), 26);
        EXPECT_EQ(b->GetImages(), form->ilNewButtons);
        EXPECT_EQ(b->GetImageIndexIDLE(), icon.Idle);
        EXPECT_EQ(b->GetImageIndexUp(), icon.Idle + 1);
        EXPECT_EQ(b->GetImageIndexDown(), icon.Idle + 2);
        EXPECT_EQ(b->GetGroupIndex(), icon.Group);
        EXPECT_EQ(b->GetDown(), icon.Down);
        EXPECT_EQ(b->GetCancel(), icon.Cancel);
        EXPECT_TRUE(b->GetFlat());
        EXPECT_FALSE(b->GetTransparent());
        EXPECT_FALSE(b->GetAllowAllUp());
        EXPECT_TRUE(b->GetShowHint());
        EXPECT_FALSE(b->GetParentShowHint());
    }
    // The stored layout shows the Uninstall page; the first switch tidies the rest.
    EXPECT_TRUE(form->plUninstall->GetVisible());
    EXPECT_EQ(form->PrivacyPageTitle, "Internet Explorer/MSN Explorer");
    EXPECT_EQ(form->UninstallKeyPath, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
    EXPECT_EQ(form->lPrivacyWarning->GetCaption(),
              "WARNING!\nIn order to properly delete the selected \nitems you have to close the Internet Explorer");
    EXPECT_NE(form->NameList, nullptr);
    ASSERT_NE(form->Registry, nullptr);
    EXPECT_EQ(form->Registry->GetRootKey(), HKEY_LOCAL_MACHINE);
#ifdef Edition98
    EXPECT_FALSE(form->Panel4->GetVisible());
    EXPECT_FALSE(form->Panel4->GetEnabled());
#else
    EXPECT_TRUE(form->Panel4->GetVisible());
#endif
}

TEST_F(MainWindowTest, ColumnsOfTheThreeLists)
{
    form = CreateMainWindow(false);
    EXPECT_EQ(ColumnsOf(form->lvUninstall), (std::vector<std::string>{"Program Name", "Version", "Company"}));
    std::vector<int> minimum;
#ifdef Edition98
    EXPECT_EQ(ColumnsOf(form->lvTaskMan, &minimum), (std::vector<std::string>{"Name", "Path"}));
    EXPECT_EQ(minimum, (std::vector<int>{50, 50}));
#else
    EXPECT_EQ(ColumnsOf(form->lvTaskMan, &minimum), (std::vector<std::string>{"Name"}));
    EXPECT_EQ(minimum, (std::vector<int>{50}));
#endif
    minimum.clear();
    EXPECT_EQ(ColumnsOf(form->lvStartup, &minimum), (std::vector<std::string>{"Name", "Path"}));
    EXPECT_EQ(minimum, (std::vector<int>{50, 200}));
}

TEST_F(MainWindowTest, MakesThePrivateKeyAndKeepsAnExistingPhantomKey)
{
    form = CreateMainWindow(false);
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kTarsk) + "\\Phantom"));
    FreeMainWindow(form);

    RegSetString(HKEY_LOCAL_MACHINE, std::string(kTarsk) + "\\Phantom", "Some entry", "1");
    form = CreateMainWindow(false);
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, std::string(kTarsk) + "\\Phantom"),
              (std::map<std::string, std::string>{{"Some entry", "1"}}));
}

TEST_F(MainWindowTest, WithoutALanguageSettingTheStoredHintsStay)
{
    form = CreateMainWindow(false);
    EXPECT_EQ(form->bbtUninstallIcon->GetHint(), "");
    EXPECT_EQ(form->cbCookies->GetHint(), "");
    EXPECT_EQ(form->pmiListViewDelete->GetHint(), "Uninstall selected program");
    EXPECT_EQ(form->TrayIcon->GetHint(), "Sweepora 2004");
}

TEST_F(MainWindowTest, ALanguageWithoutItsFileGivesTheBuiltInHints)
{
    RegSetString(HKEY_LOCAL_MACHINE, kProduct, "Language", "English");
    form = CreateMainWindow(false);
    EXPECT_EQ(form->bbtUninstallIcon->GetHint(), "Uninstall Programs");
    EXPECT_EQ(form->pmiListViewDelete->GetHint(), "Uninstall the selected program");
    EXPECT_EQ(form->cbShowConfirm->GetHint(), "Check/unchkeck to show/hide Confirmation dialog box");
    EXPECT_EQ(form->bbtPrivacyWindowsSelectAll->GetHint(), "Select all actions");
    EXPECT_EQ(form->pmiExit->GetHint(), "Exit program");
    EXPECT_EQ(form->TrayIcon->GetHint(), kTrayDefault);
}

TEST_F(MainWindowTest, TheLanguageFileOfTheCurrentDirectory)
{
    const std::string longHint(600, 'h');
    RegSetString(HKEY_LOCAL_MACHINE, kProduct, "Language", "Deutsch");
    // Another section, keys in other letter case, one text for the four
    // select-all buttons, a hint longer than the buffer, a tray text just
    // short enough.
    WriteText("C:\\work\\other\\lang.lng", "[English]\r\nbbtHelpIcon=Wrong section\r\n"
                                           "[deutsch]\r\n"
                                           "bbtHelpIcon=Hilfe\r\n"
                                           "LVSTARTUP = \"Haken setzen\"\r\n"
                                           "bbtPrivacySelectAll=Alle wählen\r\n"
                                           "bbtAboutIcon=" + longHint + "\r\n"
                                           "TrayIcon=" + std::string(63, 't') + "\r\n");
    WriteText("C:\\work\\lang.lng", "[Deutsch]\r\nbbtHelpIcon=Not this file\r\n");
    SetCurrentDirectoryA("C:\\work\\other");
    form = CreateMainWindow(false);
    EXPECT_EQ(form->bbtHelpIcon->GetHint(), "Hilfe");
    EXPECT_EQ(form->lvStartup->GetHint(), "Haken setzen");
    for (TPSpeedButton* b : {form->bbtPrivacyIESelectAll, form->bbtPrivacyOperaSelectAll,
                             form->bbtPrivacyNetscapeSelectAll, form->bbtPrivacyWindowsSelectAll})
        EXPECT_EQ(b->GetHint(), "Alle wählen") << b->GetName();
    EXPECT_EQ(form->bbtAboutIcon->GetHint(), longHint.substr(0, 499));
    EXPECT_EQ(form->TrayIcon->GetHint(), std::string(63, 't'));
    // Keys the section lacks: the built-in hints.
    EXPECT_EQ(form->bbtExitIcon->GetHint(), "Minimize the program");
    EXPECT_EQ(form->pmiListViewDelete->GetHint(), "Uninstall the selected program");
}

TEST_F(MainWindowTest, ATrayTextOf64CharactersLeavesTheTrayHint)
{
    RegSetString(HKEY_LOCAL_MACHINE, kProduct, "Language", "Long");
    WriteText("C:\\work\\lang.lng", "[Long]\r\nTrayIcon=" + std::string(64, 't') + "\r\n");
    form = CreateMainWindow(false);
    EXPECT_EQ(form->TrayIcon->GetHint(), "Sweepora 2004");
}

TEST_F(MainWindowTest, ALanguageNameLongerThanASectionNameGivesTheBuiltInHints)
{
    const std::string longest(255, 'S'), tooLong(256, 'S');
    WriteText("C:\\work\\lang.lng", "[" + longest + "]\r\nbbtHelpIcon=From the file\r\n"
                                      "[" + tooLong + "]\r\nbbtHelpIcon=From the file\r\n");
    const struct {
        std::string Language;
        const char* HelpHint;
    } cases[] = {
        {longest, "From the file"},
        {tooLong, "Help"},
        {std::string(32767, 'S'), "Help"}, // crashed the platform's profile reader
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Language.size());
        RegSetString(HKEY_LOCAL_MACHINE, kProduct, "Language", c.Language);
        form = CreateMainWindow(false);
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(IsWindow(form->Handle()));
        EXPECT_EQ(form->bbtHelpIcon->GetHint(), c.HelpHint);
        EXPECT_EQ(form->pmiListViewDelete->GetHint(), "Uninstall the selected program");
        EXPECT_EQ(form->TrayIcon->GetHint(), kTrayDefault);
        FreeMainWindow(form);
    }
}

TEST_F(MainWindowTest, ALanguageValueThatIsNoTextIsShownAndTheWindowStillComesUp)
{
    RegSetDword(HKEY_LOCAL_MACHINE, kProduct, "Language", 1);
    BoxAnswerer answer;
    form = CreateMainWindow(false);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(answer.Texts, std::vector<std::string>{"Invalid data type for 'Language'"});
    EXPECT_TRUE(answer.HadStopIcon);
    // The steps after the hints ran all the same.
    EXPECT_NE(form->NameList, nullptr);
    EXPECT_EQ(form->PrivacyPageTitle, "Internet Explorer/MSN Explorer");
    EXPECT_EQ(form->lvUninstall->Columns()->Count(), 3);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(form->Handle(), region), COMPLEXREGION);
    DeleteObject(region);
    EXPECT_EQ(form->bbtUninstallIcon->GetHint(), "");
}

} // namespace

namespace {

TEST_F(MainWindowTest, TrayMenuItemsPutTheirIconDownAndShowTheirPage)
{
    form = CreateMainWindow();
    const struct {
        void (TForm1::*Item)(TObject*);
        TPSpeedButton* TForm1::*Icon;
        int Page;
        TPanel* TForm1::*Content;
    } items[] = {
        {&TForm1::pmiStartupManagerClick, &TForm1::bbtStartupIcon, pcStartup, &TForm1::plStartup},
        {&TForm1::pmiTaskManagerClick, &TForm1::bbtTaskManIcon, pcTaskMan, &TForm1::plTaskMan},
        {&TForm1::pmiPrivacymanagerClick, &TForm1::bbtPrivacyIcon, pcPrivacy, &TForm1::plPrivacy},
        {&TForm1::pmiUninstallprogramsClick, &TForm1::bbtUninstallIcon, pcUninstall, &TForm1::plUninstall},
    };
    for (const auto& item : items) {
        (form->*item.Item)(form);
        SCOPED_TRACE(item.Page);
        EXPECT_EQ(form->ActivePage, item.Page);
        EXPECT_TRUE((form->*item.Icon)->GetDown());
        EXPECT_TRUE((form->*item.Content)->GetVisible());
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
    }
}

} // namespace
