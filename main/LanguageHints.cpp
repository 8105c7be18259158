// The pop-up hints of the main window from the language file: the section
// named by the "Language" setting, one key per component. A key the file lacks
// gives the built-in English hint.
#include "Unit1.h"

#include <windows.h>

#include "LanguageFile.h"

namespace {

// In the order of the reads.
const THintDefault kHints[] = {
    {"bbtUninstallIcon", "Uninstall Programs"},
    {"bbtUninstall", "Uninstall the selected program"},
    {"bbtUninstallRefresh", "Refresh"},
    {"edUninstallFilter", "Insert characters to filter programs"},
    {"pmiListViewDelete", "Uninstall the selected program"},
    {"pmiListViewRefresh", "Refresh"},
    {"pmiListViewIcon", "Change to Icon view"},
    {"pmiListViewList", "Change to List view"},
    {"pmiListViewReport", "Change to Report view"},
    {"bbtStartupIcon", "Startup Manager"},
    {"bbtStartupApply", "Save your settings"},
    {"bbtStartupRefresh", "Refresh"},
    {"bbtStartupRemove", "Remove the selected item from the Startup list"},
    {"bbtStartupAdd", "Add a new program to Startup"},
    {"lvStartup", "In order to Activate/Inactivate a program you have to check/uncheck the box below"},
    {"bbtTaskManIcon", "Task Manager"},
    {"bbtTaskManKill", "Kill the selected process"},
    {"bbtTaskManRefresh", "Refresh"},
    {"bbtPrivacyIcon", "Privacy Manager"},
    {"bbtIE", "Internet Explorer/MSN"},
    {"bbtOpera", "Opera"},
    {"bbtNetscape", "Netscape/Mozilla"},
    {"bbtWindows", "Windows"},
    {"cbInternetFiles", "Select to delete all your Temporary Internet Files"},
    {"cbCookies", "Select to delete all your Cookies"},
    {"cbHistory", "Select to delete all your History files"},
    {"cbFavorites", "Select to delete all your Favorites"},
    {"cbURLs", "Select to delete all your Typed URLs"},
    {"cbOperaInternetFiles", "Select to delete all your Temporary Internet Files"},
    {"cbOperaCookies", "Select to delete all your Cookies"},
    {"cbOperaHistory", "Select to delete all your History files"},
    {"cbOperaFavorites", "Select to delete all your Bookmarks"},
    {"cbOperaURLs", "Select to delete all your Typed URLs"},
    {"cbOperaDownloadHistory", "Select to empty Download History"},
    {"cbNetscapeInternetFiles", "Select to delete all your Temporary Internet Files"},
    {"cbNetscapeCookies", "Select to delete all your Cookies"},
    {"cbNetscapeHistory", "Select to delete all your History files"},
    {"cbNetscapeFavorites", "Select to delete all your Bookmarks"},
    {"cbNetscapeURLs", "Select to delete all your Typed URLs"},
    {"cbNetscapeDownloadHistory", "Select to empty Download History"},
    {"cbNetscapePassword", "Select to delete all passwords"},
    {"cbRecycleBin", "Select to empty your Recycle Bin"},
    {"cbRecent", "Select to delete all your Recent Documents"},
    {"cbWinTemp", "Select to delete all your Windows Temporary Files"},
    {"bbtPrivacySelectAll", "Select all actions"},
    {"bbtPrivacyConfirm", "Execute the selected actions"},
    {"cbShowConfirm", "Check/unchkeck to show/hide Confirmation dialog box"},
    {"bbtHelpIcon", "Help"},
    {"bbtAboutIcon", "About"},
    {"bbtExitIcon", "Minimize the program"},
    {"pmiUninstallprograms", "Uninstall programs"},
    {"pmiStartupManager", "Startup manager"},
    {"pmiTaskManager", "Task manager"},
    {"pmiPrivacymanager", "Privacy manager"},
    {"pmiHelp", "Help"},
    {"pmiExit", "Exit program"},
#ifdef Edition98
    {"TrayIcon", "Sweepora 2004 Pro"},
#else
    {"TrayIcon", "Sweepora 2004"},
#endif
};

// One text for the four select-all buttons, in this order.
const char* const kSelectAllButtons[] = {"bbtPrivacyIESelectAll", "bbtPrivacyOperaSelectAll",
                                         "bbtPrivacyNetscapeSelectAll", "bbtPrivacyWindowsSelectAll"};

} // namespace

void TForm1::LoadLanguageHints()
{
    ReadLanguageHints(Registry, kHints, [this](const char* key, const char* text) {
        const std::string name = key;
        if (name == "bbtPrivacySelectAll") {
            for (const char* button : kSelectAllButtons) SetComponentHint(button, text);
        } else if (name == "TrayIcon") {
            TrayIcon->SetHint(text);
        } else {
            SetComponentHint(name, text);
        }
    });
}
