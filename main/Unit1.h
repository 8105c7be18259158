// The main window: a borderless, region-shaped window with a banner, the icon
// bar, one page at a time, the page's buttons, a tip strip and a tray icon.
// The page managers add their handlers to this class from their own files.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "Classes.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "PSpeedButton.h"
#include "Registry.h"
#include "StdCtrls.h"
#include "TrayIcon.h"

class TPRegistryEntry;

// Posted to the main window after a cancelled switch: the Startup icon down.
constexpr UINT CM_STARTUPICONDOWN = WM_APP + 1;

// The pages, one shown at a time.
enum PageCode { pcUninstall = 1, pcStartup = 2, pcTaskMan = 4, pcPrivacy = 8, pcAbout = 16 };

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* owner);

    // Components of the form description.
    TPanel* plMenu = nullptr;
    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* lMessage = nullptr;
    TPanel* Panel3 = nullptr;
    TImage* Image13 = nullptr;
    TLabel* lTip = nullptr;
    TPanel* plButtonHolder = nullptr;
    TPanel* plUninstallButtons = nullptr;
    TPSpeedButton* bbtUninstall = nullptr;
    TPSpeedButton* bbtUninstallRefresh = nullptr;
    TLabel* lUninstallFilter = nullptr;
    TEdit* edUninstallFilter = nullptr;
    TPanel* plStartupButtons = nullptr;
    TPSpeedButton* bbtStartupApply = nullptr;
    TPSpeedButton* bbtStartupRefresh = nullptr;
    TPSpeedButton* bbtStartupRemove = nullptr;
    TPSpeedButton* bbtStartupAdd = nullptr;
    TLabel* lStartupFilter = nullptr;
    TEdit* edStartupFilter = nullptr;
    TPanel* plTaskManButtons = nullptr;
    TPSpeedButton* bbtTaskManKill = nullptr;
    TPSpeedButton* bbtTaskManRefresh = nullptr;
    TLabel* lTaskManFilter = nullptr;
    TEdit* edTaskManFilter = nullptr;
    TPanel* plPrivacyButtons = nullptr;
    TPSpeedButton* bbtPrivacyConfirm = nullptr;
    TCheckBox* cbShowConfirm = nullptr;
    TLabel* lShowConfirm = nullptr;
    TLabel* lDeleteProcess = nullptr;
    TPanel* plAboutButtons = nullptr;
    TPanel* plLeft = nullptr;
    TImage* Image8 = nullptr;
    TPSpeedButton* bbtUninstallIcon = nullptr;
    TPSpeedButton* bbtStartupIcon = nullptr;
    TPSpeedButton* bbtTaskManIcon = nullptr;
    TPSpeedButton* bbtPrivacyIcon = nullptr;
    TPSpeedButton* bbtHelpIcon = nullptr;
    TPSpeedButton* bbtAboutIcon = nullptr;
    TPSpeedButton* bbtExitIcon = nullptr;
    TPanel* plRight = nullptr;
    TImage* Image2 = nullptr;
    TPanel* plUninstall = nullptr;
    TListView* lvUninstall = nullptr;
    TLabel* lUninstallNumber = nullptr;
    TPanel* plStartup = nullptr;
    TListView* lvStartup = nullptr;
    TPanel* plTaskMan = nullptr;
    TListView* lvTaskMan = nullptr;
    TPanel* Panel4 = nullptr;
    TImage* Image18 = nullptr;
    TPanel* plPrivacy = nullptr;
    TPanel* plPrivacySelect = nullptr;
    TPSpeedButton* bbtIE = nullptr;
    TPSpeedButton* bbtOpera = nullptr;
    TPSpeedButton* bbtNetscape = nullptr;
    TPSpeedButton* bbtWindows = nullptr;
    TPanel* plPrivacyIE = nullptr;
    TCheckBox* cbInternetFiles = nullptr;
    TLabel* lInternetFiles = nullptr;
    TCheckBox* cbCookies = nullptr;
    TLabel* lCookies = nullptr;
    TCheckBox* cbHistory = nullptr;
    TLabel* lHistory = nullptr;
    TCheckBox* cbFavorites = nullptr;
    TLabel* lFavorites = nullptr;
    TCheckBox* cbURLs = nullptr;
    TLabel* lURLs = nullptr;
    TLabel* lPrivacyWarning = nullptr;
    TPSpeedButton* bbtPrivacyIESelectAll = nullptr;
    TPanel* plPrivacyOpera = nullptr;
    TCheckBox* cbOperaInternetFiles = nullptr;
    TLabel* lOperaInternetFiles = nullptr;
    TCheckBox* cbOperaCookies = nullptr;
    TLabel* lOperaCookies = nullptr;
    TCheckBox* cbOperaHistory = nullptr;
    TLabel* lOperaHistory = nullptr;
    TCheckBox* cbOperaFavorites = nullptr;
    TLabel* lOperaFavorites = nullptr;
    TCheckBox* cbOperaURLs = nullptr;
    TLabel* lOperaURLs = nullptr;
    TCheckBox* cbOperaDownloadHistory = nullptr;
    TLabel* lOperaDownloadHistory = nullptr;
    TPSpeedButton* bbtPrivacyOperaSelectAll = nullptr;
    TPanel* plPrivacyNetscape = nullptr;
    TCheckBox* cbNetscapeInternetFiles = nullptr;
    TLabel* lNetscapeInternetFiles = nullptr;
    TCheckBox* cbNetscapeCookies = nullptr;
    TLabel* lNetscapeCookies = nullptr;
    TCheckBox* cbNetscapeHistory = nullptr;
    TLabel* lNetscapeHistory = nullptr;
    TCheckBox* cbNetscapeFavorites = nullptr;
    TLabel* lNetscapeFavorites = nullptr;
    TCheckBox* cbNetscapeURLs = nullptr;
    TLabel* lNetscapeURLs = nullptr;
    TCheckBox* cbNetscapeDownloadHistory = nullptr;
    TLabel* lNetscapeDownloadHistory = nullptr;
    TCheckBox* cbNetscapePassword = nullptr;
    TLabel* lNetscapePassword = nullptr;
    TPSpeedButton* bbtPrivacyNetscapeSelectAll = nullptr;
    TPanel* plPrivacyWindows = nullptr;
    TCheckBox* cbRecycleBin = nullptr;
    TLabel* lRecycleBin = nullptr;
    TCheckBox* cbWinTemp = nullptr;
    TLabel* lWinTemp = nullptr;
    TCheckBox* cbRecent = nullptr;
    TLabel* lRecent = nullptr;
    TPSpeedButton* bbtPrivacyWindowsSelectAll = nullptr;
    TPanel* plAbout = nullptr;
    TImage* Image14 = nullptr;
    TImage* Image15 = nullptr;
    TImage* Image17 = nullptr;
    TPanel* plWait = nullptr;
    TLabel* lWait = nullptr;
    TImageList* ilNewButtons = nullptr;
    TImageList* ilPrivacyIcons = nullptr;
    TImageList* ilUninstallLargeIcons = nullptr;
    TImageList* ilUninstallSmallIcons = nullptr;
    TImageList* ilNoIconNagy = nullptr;
    TImageList* ilNoIconKicsi = nullptr;
    TImageList* ImageList = nullptr;
    TPopupMenu* pmTray = nullptr;
    TMenuItem* pmiUninstallprograms = nullptr;
    TMenuItem* pmiStartupManager = nullptr;
    TMenuItem* pmiTaskManager = nullptr;
    TMenuItem* pmiPrivacymanager = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* pmiHelp = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* pmiExit = nullptr;
    TPopupMenu* pmUninstallListView = nullptr;
    TMenuItem* pmiListViewDelete = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* pmiListViewRefresh = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* pmiListViewIcon = nullptr;
    TMenuItem* pmiListViewList = nullptr;
    TMenuItem* pmiListViewReport = nullptr;
    TTrayIcon* TrayIcon = nullptr;

    // Members shared by the managers.
    char ShortPathBuffer[264] = {};
    FILE* WininitIn = nullptr;
    FILE* WininitOut = nullptr;
    // The temporary copy of "wininit.ini" while a cleaning call reads it: the
    // walk leaves it alone, since it is the program's own file and in use.
    std::string WininitCopy;
    TRegistry* Registry = nullptr;
    std::string UninstallKeyPath;
    std::string DisabledStartupDir;
    std::string StartupDir;
    std::string CommonDisabledStartupDir;
    std::string CommonStartupDir;
    TStringList* NameList = nullptr;
    TPRegistryEntry* CurrentEntry = nullptr;
    TListColumn* NewColumn = nullptr;
    int ActivePage = 0;
    std::string PrivacyPageTitle;
    int InstalledBrowsers = 0;

    // Life cycle and tray.
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);
    void bbtExitIconClick(TObject* Sender);
    void pmiUninstallprogramsClick(TObject* Sender);
    void pmiStartupManagerClick(TObject* Sender);
    void pmiTaskManagerClick(TObject* Sender);
    void pmiPrivacymanagerClick(TObject* Sender);
    void pmiHelpClick(TObject* Sender);
    void pmiExitClick(TObject* Sender);

    // Pages, status line and links.
    void HideAllPages();
    void bbtUninstallIconClick(TObject* Sender);
    void bbtStartupIconClick(TObject* Sender);
    void bbtTaskManIconClick(TObject* Sender);
    void bbtPrivacyIconClick(TObject* Sender);
    void bbtAboutIconClick(TObject* Sender);
    void bbtHelpIconClick(TObject* Sender);
    void Image15Click(TObject* Sender);
    void Image17Click(TObject* Sender);
    void bbtUninstallIconMouseEnter(TObject* Sender);
    void bbtStartupIconMouseEnter(TObject* Sender);
    void bbtTaskManIconMouseEnter(TObject* Sender);
    void bbtPrivacyIconMouseEnter(TObject* Sender);
    void bbtHelpIconMouseEnter(TObject* Sender);
    void bbtAboutIconMouseEnter(TObject* Sender);
    void bbtExitIconMouseEnter(TObject* Sender);
    void bbtUninstallIconMouseLeave(TObject* Sender);
    void Panel1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Each manager registers its own handlers; the constructor calls these
    // before the form description is loaded. Defined in main/managers/.
    void BindUninstallHandlers();
    void BindStartupHandlers();
    void BindTaskManHandlers();
    void BindPrivacyHandlers();

    // The Uninstall Manager (main/managers/UninstallManager.cpp and
    // ProgramIcons.cpp).
    void ScanInstalledPrograms();
    void pmiListViewRefreshClick(TObject* Sender);
    void pmiListViewIconClick(TObject* Sender);
    void pmiListViewListClick(TObject* Sender);
    void pmiListViewReportClick(TObject* Sender);
    void pmUninstallListViewPopup(TObject* Sender);
    void edUninstallFilterChange(TObject* Sender);
    void edUninstallFilterKeyPress(TObject* Sender, char& Key);
    void FormResize(TObject* Sender);
    void lvUninstallSelectItem(TObject* Sender, TListItem* Item, bool Selected);
    void bbtUninstallClick(TObject* Sender);
    void pmiListViewDeleteClick(TObject* Sender);
    // The row of the program's key, when the list still holds it, goes; then
    // the first row is selected.
    void RemoveUninstallRow(const std::string& keyName);
    // The deletion steps: the key deleted (a key gone already counts as
    // deleted), the user told, and the row removed.
    void DeleteUninstallEntryAndRow(const std::string& keyName);
    // Both image lists back to their two base images (0 no icon, 1 phantom).
    void ResetProgramIcons();
    // With the program's key open: the index of its icon, 0 when none is found.
    int FindProgramIcon(std::string KeyName);
    // "file" or "file,index": the new index of the icon, 0 when none came out.
    int AddProgramIcon(std::string IconReference);
    // "{" and the 36 characters of a GUID: the packed Windows Installer code.
    static std::string PackInstallerGuid(const std::string& Guid);
    int NextIconIndex = 2; // the index of the next icon found

    // Entry operations of the managers.
    void bbtUninstallRefreshClick(TObject* Sender);
    void ScanStartupEntries();
    bool StartupListModified();
    void bbtStartupApplyClick(TObject* Sender);
    void bbtStartupRefreshClick(TObject* Sender);
    void bbtStartupRemoveClick(TObject* Sender);
    void bbtStartupAddClick(TObject* Sender);
    void edStartupFilterChange(TObject* Sender);
    void edStartupFilterKeyPress(TObject* Sender, char& Key);
    void ScanProcesses();
    void bbtTaskManRefreshClick(TObject* Sender);
    void bbtTaskManKillClick(TObject* Sender);
    void lvTaskManDblClick(TObject* Sender);
    void ShowPrivacyPage();

    // Privacy Manager (main/managers/PrivacyManager.cpp).
    void DetectInstalledBrowsers();
    void bbtIEClick(TObject* Sender);
    void bbtOperaClick(TObject* Sender);
    void bbtNetscapeClick(TObject* Sender);
    void bbtWindowsClick(TObject* Sender);
    void bbtPrivacyIESelectAllClick(TObject* Sender);
    void bbtPrivacyOperaSelectAllClick(TObject* Sender);
    void bbtPrivacyNetscapeSelectAllClick(TObject* Sender);
    void bbtPrivacyWindowsSelectAllClick(TObject* Sender);
    void bbtPrivacyConfirmClick(TObject* Sender);

    // Folder cleaning (main/managers/FolderCleaning.cpp): 1 when nothing was
    // left for the next start of Windows, 0 when something was scheduled.
    int DeleteFolderContents(std::string folder, std::string mask);
#ifdef Edition98
    int CleanFolderWithWininit(std::string folder, std::string mask);
#else
    int CleanFolder(std::string folder, std::string mask);
    int DeleteFileNowOrAtRestart(std::string path);
#endif
    // Whether a folder may be cleaned at all: never an empty or relative path,
    // ".", "..", a drive or share root, the Windows or system directory, the
    // user's profile folder or a folder holding one of them, nor a folder that
    // is a link or lies below one (a junction, a symbolic link, Wine's view
    // of a Unix link).
    static bool IsCleanableFolder(const std::string& folder);

    void LoadLanguageHints();

    void Dispatch(TMessage& message) override;

private:
    // A page switch: the already-shown test, the save question when a modified
    // Startup list is left, the page's show sequence, then its texts.
    void SwitchPage(int code);
    std::string PageTitle(int code, bool hover) const;
    // The hint of the component of that name (a control or a menu item).
    void SetComponentHint(const std::string& name, const std::string& hint);
    void ShapeWindow();
};

extern TForm1* Form1;
