// The Privacy Manager: its page with the four sub-pages and the browser
// detection, and the cleanup run that deletes the checked traces.
#include "Unit1.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "ShellFolders.h"
#include "dialogs/PrivacyConfirmForm.h"

namespace {

// Bits of InstalledBrowsers.
constexpr int kOpera = 1;
constexpr int kNetscape6 = 4;
constexpr int kMozilla = 8;

const char kOperaKey[] = "\\Software\\Netscape\\Netscape Navigator\\5.0, Opera\\Main";
const char kNetscape6Key[] = "\\Software\\Netscape\\Netscape 6";
const char kMozillaKey[] = "\\Software\\Mozilla";
const char kShellFoldersKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char kPrivacyTitle[] = "Privacy Manager - ";
const char kRestartQuestion[] =
    "All the files that are currently in use \nwill be deleted after restart!\nDo you want to restart the computer now?";

using CheckBoxField = TCheckBox* TForm1::*;

// The item boxes of each sub-page.
const CheckBoxField kIEBoxes[] = {&TForm1::cbInternetFiles, &TForm1::cbCookies, &TForm1::cbHistory,
                                  &TForm1::cbFavorites, &TForm1::cbURLs};
const CheckBoxField kOperaBoxes[] = {&TForm1::cbOperaInternetFiles, &TForm1::cbOperaCookies,
                                     &TForm1::cbOperaHistory,       &TForm1::cbOperaFavorites,
                                     &TForm1::cbOperaURLs,          &TForm1::cbOperaDownloadHistory};
const CheckBoxField kNetscapeBoxes[] = {&TForm1::cbNetscapeInternetFiles, &TForm1::cbNetscapeCookies,
                                        &TForm1::cbNetscapeHistory,       &TForm1::cbNetscapeFavorites,
                                        &TForm1::cbNetscapeURLs,          &TForm1::cbNetscapeDownloadHistory,
                                        &TForm1::cbNetscapePassword};
const CheckBoxField kWindowsBoxes[] = {&TForm1::cbRecycleBin, &TForm1::cbRecent, &TForm1::cbWinTemp};

// The confirmation's lines, in the order the dialog lists them.
const struct {
    CheckBoxField Box;
    const char* Item;
} kConfirmLines[] = {
    {&TForm1::cbInternetFiles, "Internet Explorer/MSN Temporary Files"},
    {&TForm1::cbCookies, "Internet Explorer/MSN Cookies"},
    {&TForm1::cbHistory, "Internet Explorer/MSN History"},
    {&TForm1::cbFavorites, "Internet Explorer/MSN Favorites"},
    {&TForm1::cbURLs, "Internet Explorer/MSN Typed URLs"},
    {&TForm1::cbOperaInternetFiles, "Opera Temporary Files"},
    {&TForm1::cbOperaCookies, "Opera Cookies"},
    {&TForm1::cbOperaHistory, "Opera History"},
    {&TForm1::cbOperaFavorites, "Opera Bookmarks"},
    {&TForm1::cbOperaURLs, "Opera Typed URLs"},
    {&TForm1::cbOperaDownloadHistory, "Opera Download History"},
    {&TForm1::cbNetscapeInternetFiles, "Netscape/Mozilla Temporary Files"},
    {&TForm1::cbNetscapeCookies, "Netscape/Mozilla Cookies"},
    {&TForm1::cbNetscapeHistory, "Netscape/Mozilla History"},
    {&TForm1::cbNetscapeFavorites, "Netscape/Mozilla Bookmarks"},
    {&TForm1::cbNetscapeURLs, "Netscape/Mozilla Typed URLs"},
    {&TForm1::cbNetscapeDownloadHistory, "Netscape/Mozilla Download History"},
    {&TForm1::cbNetscapePassword, "Netscape/Mozilla Passwords"},
    {&TForm1::cbRecycleBin, "Recycle Bin"},
    {&TForm1::cbWinTemp, "Windows Temporary Files"},
    {&TForm1::cbRecent, "Windows Recent Documents"},
};

// What a cleanup step deletes. The kind also names the step's group, whose
// condition must hold for the step to run.
enum class TargetKind {
    ShellFolder,   // the folder of a "Shell Folders" value, mask "*.*" (group: the key opens)
    RegistryKey,   // a key of HKEY_CURRENT_USER with its subtree, when it opens
    TempFolders,   // the system's temporary folder, then the Windows directory's "Temp"
    RecycleBin,    // the recycle bins of all drives
    OperaFile,     // files of the Opera profile (group: Opera found, its profile known)
    OperaFolder,   // a folder of the Opera profile, mask "*.*" (same group)
    ProfileMask,   // the mask in every Mozilla profile folder
    ProfileFolder, // a folder of every Mozilla profile folder, mask "*.*"
};

struct CleanupStep {
    CheckBoxField Box;
    const char* Progress;
    TargetKind Kind;
    const char* Target;            // value name, key, file, folder or mask
    const char* Second = nullptr;  // a second file, deleted after the first
};

// The cleanup, in the order it runs.
const CleanupStep kCleanupSteps[] = {
    {&TForm1::cbCookies, "Deleting: Internet Explorer/MSN Cookies", TargetKind::ShellFolder, "Cookies"},
    {&TForm1::cbInternetFiles, "Deleting: Internet Explorer/MSN Temporary Files", TargetKind::ShellFolder, "Cache"},
    {&TForm1::cbHistory, "Deleting: Internet Explorer/MSN History", TargetKind::ShellFolder, "History"},
    {&TForm1::cbFavorites, "Deleting: Internet Explorer/MSN Favorites", TargetKind::ShellFolder, "Favorites"},
    {&TForm1::cbRecent, "Deleting: Windows Recent Documents", TargetKind::ShellFolder, "Recent"},
    {&TForm1::cbURLs, "Deleting: Internet Explorer/MSN URLs", TargetKind::RegistryKey,
     "\\Software\\Microsoft\\Internet Explorer\\TypedURLs"},
    {&TForm1::cbWinTemp, "Deleting: Windows Temporary Files", TargetKind::TempFolders, ""},
    {&TForm1::cbRecycleBin, "Deleting: Recycle Bin", TargetKind::RecycleBin, ""},
    {&TForm1::cbOperaCookies, "Deleting: Opera Cookies", TargetKind::OperaFile, "Cookies4.dat"},
    {&TForm1::cbOperaInternetFiles, "Deleting: Opera Temporary Files", TargetKind::OperaFolder, "CACHE4"},
    {&TForm1::cbOperaHistory, "Deleting: Opera History", TargetKind::OperaFile, "Global.dat"},
    {&TForm1::cbOperaFavorites, "Deleting: Opera Bookmarks", TargetKind::OperaFile, "Opera6.adr", "Opera6.adr.bak"},
    {&TForm1::cbOperaURLs, "Deleting: Opera URLs", TargetKind::OperaFile, "Opera.dir"},
    {&TForm1::cbOperaDownloadHistory, "Deleting: Opera Download History", TargetKind::OperaFile, "Download.dat"},
    {&TForm1::cbNetscapeCookies, "Deleting: Netscape/Mozilla Cookies", TargetKind::ProfileMask, "cookies.txt"},
    {&TForm1::cbNetscapeInternetFiles, "Deleting: Netscape/Mozilla Internet Temporary Files",
     TargetKind::ProfileFolder, "Cache"},
    {&TForm1::cbNetscapeHistory, "Deleting: Netscape/Mozilla History", TargetKind::ProfileMask, "history.dat"},
    {&TForm1::cbNetscapeFavorites, "Deleting: Netscape/Mozilla Bookmarks", TargetKind::ProfileMask,
     "bookmarks.html"},
    {&TForm1::cbNetscapeURLs, "Deleting: Netscape/Mozilla URLs", TargetKind::ProfileMask, "localstore.rdf"},
    {&TForm1::cbNetscapeDownloadHistory, "Deleting: Netscape/Mozilla Download History", TargetKind::ProfileMask,
     "downloads.rdf"},
    {&TForm1::cbNetscapePassword, "Deleting: Netscape/Mozilla Passwords", TargetKind::ProfileMask, "*.s"},
};

// The names of the folders in a folder, "." and ".." left out. A link or
// junction (under Wine also a Unix symbolic link) is no folder of this tree:
// following it would reach files nobody chose.
std::vector<std::string> SubfolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || name == "." || name == "..")
            continue;
        names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// One run of the cleanup: the group conditions, worked out once each when the
// first checked step of the group comes, and whether a restart is needed.
class CleanupRun {
public:
    explicit CleanupRun(TForm1& form) : Form(form) {}

    bool RestartNeeded = false;

    // Whether the group of this step lets it run.
    bool GroupHolds(TargetKind kind)
    {
        switch (kind) {
        case TargetKind::ShellFolder:
            if (ShellFolders == Unknown)
                ShellFolders = Form.Registry->OpenKey(kShellFoldersKey, false) ? Holds : Fails;
            return ShellFolders == Holds;
        case TargetKind::OperaFile:
        case TargetKind::OperaFolder:
            if (Opera == Unknown) Opera = FindOperaProfile() ? Holds : Fails;
            return Opera == Holds;
        default:
            return true;
        }
    }

    void Delete(const CleanupStep& step)
    {
        switch (step.Kind) {
        case TargetKind::ShellFolder:
            // An empty value names no folder (cleaning "" would start at the
            // root of the current drive).
            CleanFolderTarget(Form.Registry->ReadString(step.Target), "*.*");
            break;
        case TargetKind::RegistryKey:
            if (Form.Registry->OpenKey(step.Target, false)) Form.Registry->DeleteKey(step.Target);
            break;
        case TargetKind::TempFolders: {
            char buffer[MAX_PATH] = {};
            DWORD length = GetTempPathA(MAX_PATH, buffer);
            if (length != 0 && length <= MAX_PATH) CleanFolderTarget(buffer, "*.*");
            buffer[0] = '\0';
            GetWindowsDirectoryA(buffer, MAX_PATH);
            CleanFolderTarget(std::string(buffer) + "\\Temp", "*.*");
            break;
        }
        case TargetKind::RecycleBin:
            SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
            break;
        case TargetKind::OperaFile:
            CleanProfileFile(step.Target);
            if (step.Second) CleanProfileFile(step.Second);
            break;
        case TargetKind::OperaFolder:
            CleanFolderTarget(OperaProfile + step.Target, "*.*");
            break;
        case TargetKind::ProfileMask:
            for (const std::string& profile : ProfileFolders()) CleanFolderTarget(profile, step.Target);
            break;
        case TargetKind::ProfileFolder:
            for (const std::string& profile : ProfileFolders())
                CleanFolderTarget(profile + "\\" + step.Target, "*.*");
            break;
        }
    }

private:
    enum Condition { Unknown, Holds, Fails };

    // A folder's matching contents, by the edition's routine. A folder that
    // must never be emptied (a drive root, the Windows or system directory,
    // the profile folder itself, a link or a folder below one...) is left
    // alone, whatever the registry says, as a missing one would be.
    void CleanFolderTarget(const std::string& folder, const std::string& mask)
    {
        if (folder.empty() || !TForm1::IsCleanableFolder(folder)) return;
#ifdef Edition98
        if (Form.CleanFolderWithWininit(folder, mask) == 0) RestartNeeded = true;
#else
        if (Form.CleanFolder(folder, mask) == 0) RestartNeeded = true;
#endif
    }

    // One file of the Opera profile.
    void CleanProfileFile(const std::string& name)
    {
#ifdef Edition98
        CleanFolderTarget(OperaProfile, name);
#else
        if (Form.DeleteFileNowOrAtRestart(OperaProfile + name) == 0) RestartNeeded = true;
#endif
    }

    const std::string& AppData()
    {
        if (!AppDataKnown) {
            AppDataPath = ShellFolderPath(CSIDL_APPDATA);
            AppDataKnown = true;
        }
        return AppDataPath;
    }

    // Opera's profile folder (ending in "\"): application data + "\Opera\" +
    // the last part of its install directory + "\Profile\".
    bool FindOperaProfile()
    {
        if (!(Form.InstalledBrowsers & kOpera)) return false;
        Form.Registry->SetRootKey(HKEY_LOCAL_MACHINE);
        if (!Form.Registry->OpenKey(kOperaKey, false)) return false;
        const std::string install = Form.Registry->ReadString("Install Directory");
        if (install.empty() || AppData().empty()) return false;
        const std::string name = install.substr(install.rfind('\\') + 1);
        OperaProfile = AppData() + "\\Opera\\" + name + "\\Profile\\";
        return true;
    }

    // Every Mozilla profile folder: a folder in a folder of the profiles root.
    // Walked afresh for each step; no application-data folder, no profiles,
    // and none behind a root that is a link or lies below one.
    std::vector<std::string> ProfileFolders()
    {
        std::vector<std::string> profiles;
        if (AppData().empty()) return profiles;
        const std::string root = AppData() + "\\Mozilla\\Profiles";
        if (!TForm1::IsCleanableFolder(root)) return profiles;
        for (const std::string& first : SubfolderNames(root))
            for (const std::string& second : SubfolderNames(root + "\\" + first))
                profiles.push_back(root + "\\" + first + "\\" + second);
        return profiles;
    }

    TForm1& Form;
    Condition ShellFolders = Unknown;
    Condition Opera = Unknown;
    std::string OperaProfile;
    bool AppDataKnown = false;
    std::string AppDataPath;
};

// Shows one sub-page, hides the other three and puts its title in the
// status line.
void ShowSubPage(TForm1* form, TPanel* TForm1::*shown, const char* title)
{
    TPanel* TForm1::*const pages[] = {&TForm1::plPrivacyIE, &TForm1::plPrivacyOpera, &TForm1::plPrivacyNetscape,
                                      &TForm1::plPrivacyWindows};
    for (auto page : pages)
        if (page != shown) (form->*page)->SetVisible(false);
    (form->*shown)->SetVisible(true);
    form->PrivacyPageTitle = title;
    form->lMessage->SetCaption(kPrivacyTitle + form->PrivacyPageTitle);
}

template <size_t N>
void EnableBoxes(TForm1* form, const CheckBoxField (&boxes)[N], bool enabled)
{
    for (CheckBoxField box : boxes) (form->*box)->SetEnabled(enabled);
}

// Checks every box; none is ever unchecked here.
template <size_t N>
void CheckBoxes(TForm1* form, const CheckBoxField (&boxes)[N])
{
    for (CheckBoxField box : boxes) (form->*box)->SetChecked(true);
}

// The restart that lets the system delete what was scheduled.
void RestartWindows()
{
#ifdef Edition98
    ExitWindowsEx(EWX_REBOOT, 0);
#else
    // The process needs the shutdown privilege enabled first; the first call
    // that fails ends the attempt with the system's text for its error.
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        ShowSystemError(GetLastError());
        return;
    }
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool done = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
                      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                      ExitWindowsEx(EWX_REBOOT, 0);
    const DWORD error = done ? ERROR_SUCCESS : GetLastError();
    CloseHandle(token);
    if (!done) ShowSystemError(error);
#endif
}

} // namespace

void TForm1::BindPrivacyHandlers()
{
    Handler("bbtIEClick", &TForm1::bbtIEClick);
    Handler("bbtOperaClick", &TForm1::bbtOperaClick);
    Handler("bbtNetscapeClick", &TForm1::bbtNetscapeClick);
    Handler("bbtWindowsClick", &TForm1::bbtWindowsClick);
    Handler("bbtPrivacyIESelectAllClick", &TForm1::bbtPrivacyIESelectAllClick);
    Handler("bbtPrivacyOperaSelectAllClick", &TForm1::bbtPrivacyOperaSelectAllClick);
    Handler("bbtPrivacyNetscapeSelectAllClick", &TForm1::bbtPrivacyNetscapeSelectAllClick);
    Handler("bbtPrivacyWindowsSelectAllClick", &TForm1::bbtPrivacyWindowsSelectAllClick);
    Handler("bbtPrivacyConfirmClick", &TForm1::bbtPrivacyConfirmClick);
}

// ------------------------------------------------------------------ the page

void TForm1::ShowPrivacyPage()
{
    HideAllPages();
    DetectInstalledBrowsers();
    // The Netscape/Mozilla button shows which of the two was found; with
    // neither it keeps the faces it has.
    int firstFace = -1;
    switch (InstalledBrowsers & (kNetscape6 | kMozilla)) {
    case kNetscape6 | kMozilla:
        firstFace = 12;
        break;
    case kMozilla:
        firstFace = 9;
        break;
    case kNetscape6:
        firstFace = 6;
        break;
    }
    if (firstFace >= 0) {
        bbtNetscape->SetImageIndexIDLE(firstFace);
        bbtNetscape->SetImageIndexUp(firstFace + 1);
        bbtNetscape->SetImageIndexDown(firstFace + 2);
    }
    plPrivacyButtons->SetVisible(true);
    plPrivacy->SetVisible(true);
    plWait->SetVisible(false);
}

void TForm1::DetectInstalledBrowsers()
{
    // Only whether the keys exist counts; where the wrapper's access is
    // refused, the browser counts as missing.
    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    if (Registry->OpenKey(kOperaKey, false))
        InstalledBrowsers |= kOpera;
    else
        InstalledBrowsers &= ~kOpera;

    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    if (Registry->OpenKey(kNetscape6Key, false))
        InstalledBrowsers |= kNetscape6;
    else
        InstalledBrowsers &= ~kNetscape6;

    // Mozilla: a subkey whose name begins with "Mozilla", letter case counted.
    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    bool mozilla = false;
    if (Registry->OpenKey(kMozillaKey, false)) {
        Registry->GetKeyNames(NameList);
        for (int i = 0; i < NameList->Count() && !mozilla; ++i)
            mozilla = NameList->Strings(i).compare(0, 7, "Mozilla") == 0;
    }
    if (mozilla)
        InstalledBrowsers |= kMozilla;
    else
        InstalledBrowsers &= ~kMozilla;
}

void TForm1::bbtIEClick(TObject*)
{
    ShowSubPage(this, &TForm1::plPrivacyIE, "Internet Explorer/MSN Explorer");
}

void TForm1::bbtWindowsClick(TObject*)
{
    ShowSubPage(this, &TForm1::plPrivacyWindows, "Windows");
}

void TForm1::bbtOperaClick(TObject*)
{
    ShowSubPage(this, &TForm1::plPrivacyOpera, "Opera");
    EnableBoxes(this, kOperaBoxes, (InstalledBrowsers & kOpera) != 0);
}

void TForm1::bbtNetscapeClick(TObject*)
{
    ShowSubPage(this, &TForm1::plPrivacyNetscape, "Netscape/Mozilla");
    EnableBoxes(this, kNetscapeBoxes, (InstalledBrowsers & (kMozilla | kNetscape6)) != 0);
}

void TForm1::bbtPrivacyIESelectAllClick(TObject*)
{
    CheckBoxes(this, kIEBoxes);
}

void TForm1::bbtPrivacyWindowsSelectAllClick(TObject*)
{
    CheckBoxes(this, kWindowsBoxes);
}

void TForm1::bbtPrivacyOperaSelectAllClick(TObject*)
{
    // Items of a browser that was not found stay as they are.
    if (cbOperaInternetFiles->GetEnabled()) CheckBoxes(this, kOperaBoxes);
}

void TForm1::bbtPrivacyNetscapeSelectAllClick(TObject*)
{
    if (cbNetscapeInternetFiles->GetEnabled()) CheckBoxes(this, kNetscapeBoxes);
}

// --------------------------------------------------------------- the cleanup

void TForm1::bbtPrivacyConfirmClick(TObject*)
{
    if (cbShowConfirm->GetChecked()) {
        std::string list;
        int count = 0;
        for (const auto& line : kConfirmLines) {
            if (!(this->*line.Box)->GetChecked()) continue;
            list += std::string("    - ") + line.Item + "\n";
            ++count;
        }
        if (count == 0) return;
        // A dialog of its own for this question, the global naming it while
        // it shows; afterwards the global names the one made at start-up again.
        struct DialogGuard {
            TfmPrivacyConfirm* Dialog;
            TfmPrivacyConfirm* Previous;
            ~DialogGuard()
            {
                fmPrivacyConfirm = Previous;
                Dialog->Free();
            }
        } guard{new TfmPrivacyConfirm(this), fmPrivacyConfirm};
        fmPrivacyConfirm = guard.Dialog;
        // Only a Yes deletes: a dialog closed without an answer is no consent.
        if (guard.Dialog->Execute(list, "", count) != IDYES) return;
    }

    Repaint();
    // The root goes back to HKEY_LOCAL_MACHINE also when a registry failure
    // ends the run; the progress label then keeps the step it stopped at.
    struct RootGuard {
        TRegistry* Registry;
        ~RootGuard() { Registry->SetRootKey(HKEY_LOCAL_MACHINE); }
    } root{Registry};
    Registry->SetRootKey(HKEY_CURRENT_USER);
    CleanupRun run(*this);
    for (const CleanupStep& step : kCleanupSteps) {
        TCheckBox* box = this->*step.Box;
        if (!box->GetChecked() || !run.GroupHolds(step.Kind)) continue;
        lDeleteProcess->SetCaption(step.Progress);
        lDeleteProcess->Repaint();
        run.Delete(step);
        // Done, whatever was found: a missing folder or key is as clean.
        box->SetChecked(false);
    }
    lDeleteProcess->SetCaption("");

    if (run.RestartNeeded && ShowMessageDialog(kRestartQuestion, "Information", MB_YESNO) == IDYES)
        RestartWindows();
}
