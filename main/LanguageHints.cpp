// The pop-up hints of the main window from the language file: the section
// named by the "Language" setting, one key per component. A key the file lacks
// gives the built-in English hint.
#include "Unit1.h"

#include <windows.h>

namespace {

// In the order of the reads.
const struct {
    const char* Key;
    const char* Default;
} kHints[] = {
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

const char kProductKey[] = "\\Software\\QLN Soft\\Sweepora 2004 Pro";

// No language file has a section name longer than this, and the platform's
// profile reader fails on the longest ones (a name of 32,767 characters crashes
// it): a longer "Language" is taken as a language without a file.
const std::string::size_type kLongestSectionName = 255;

} // namespace

void TForm1::LoadLanguageHints()
{
    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    if (!Registry->KeyExists(kProductKey)) return;
    if (!Registry->OpenKey(kProductKey, false)) return;
    if (!Registry->ValueExists("Language")) return;
    const std::string section = Registry->ReadString("Language");

    char directory[260] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    const std::string file = std::string(directory) + "\\lang.lng";

    const bool readFile = section.size() <= kLongestSectionName;
    for (const auto& hint : kHints) {
        char buffer[500] = {};
        if (readFile)
            GetPrivateProfileStringA(section.c_str(), hint.Key, hint.Default, buffer, sizeof buffer, file.c_str());
        else
            lstrcpynA(buffer, hint.Default, sizeof buffer);
        const std::string key = hint.Key;
        if (key == "bbtPrivacySelectAll") {
            for (const char* button : kSelectAllButtons) SetComponentHint(button, buffer);
        } else if (key == "TrayIcon") {
            TrayIcon->SetHint(buffer);
        } else {
            SetComponentHint(hint.Key, buffer);
        }
    }
}
