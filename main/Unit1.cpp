#include "Unit1.h"

#include "Tpregistryentry.h"
#include "Tpstartupentry.h"

#include <functional>

TForm1* Form1 = nullptr;

namespace {

// Runs one step of the window's set-up; a failure is shown and the remaining
// steps still run, since the window needs its name list, columns and shape to
// work at all.
void Step(const std::function<void()>& step)
{
    try {
        step();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
}

// The list-view columns, each added to the end of its list: caption, fitted
// to its widest text, then its minimum width (0: none).
struct ColumnSpec {
    TListView* TForm1::*List;
    const char* Caption;
    int MinWidth;
};

const ColumnSpec kColumns[] = {
    {&TForm1::lvUninstall, "Program Name", 0},
    {&TForm1::lvUninstall, "Version", 0},
    {&TForm1::lvUninstall, "Company", 0},
#ifdef Edition98
    {&TForm1::lvTaskMan, "Name", 50},
    {&TForm1::lvTaskMan, "Path", 50},
#else
    {&TForm1::lvTaskMan, "Name", 50},
#endif
    {&TForm1::lvStartup, "Name", 50},
    {&TForm1::lvStartup, "Path", 200},
};

} // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner)
{
    Field("plMenu", plMenu);
    Field("Panel1", Panel1);
    Field("Image1", Image1);
    Field("lMessage", lMessage);
    Field("Panel3", Panel3);
    Field("Image13", Image13);
    Field("lTip", lTip);
    Field("plButtonHolder", plButtonHolder);
    Field("plUninstallButtons", plUninstallButtons);
    Field("bbtUninstall", bbtUninstall);
    Field("bbtUninstallRefresh", bbtUninstallRefresh);
    Field("lUninstallFilter", lUninstallFilter);
    Field("edUninstallFilter", edUninstallFilter);
    Field("plStartupButtons", plStartupButtons);
    Field("bbtStartupApply", bbtStartupApply);
    Field("bbtStartupRefresh", bbtStartupRefresh);
    Field("bbtStartupRemove", bbtStartupRemove);
    Field("bbtStartupAdd", bbtStartupAdd);
    Field("lStartupFilter", lStartupFilter);
    Field("edStartupFilter", edStartupFilter);
    Field("plTaskManButtons", plTaskManButtons);
    Field("bbtTaskManKill", bbtTaskManKill);
    Field("bbtTaskManRefresh", bbtTaskManRefresh);
    Field("lTaskManFilter", lTaskManFilter);
    Field("edTaskManFilter", edTaskManFilter);
    Field("plPrivacyButtons", plPrivacyButtons);
    Field("bbtPrivacyConfirm", bbtPrivacyConfirm);
    Field("cbShowConfirm", cbShowConfirm);
    Field("lShowConfirm", lShowConfirm);
    Field("lDeleteProcess", lDeleteProcess);
    Field("plAboutButtons", plAboutButtons);
    Field("plLeft", plLeft);
    Field("Image8", Image8);
    Field("bbtUninstallIcon", bbtUninstallIcon);
    Field("bbtStartupIcon", bbtStartupIcon);
    Field("bbtTaskManIcon", bbtTaskManIcon);
    Field("bbtPrivacyIcon", bbtPrivacyIcon);
    Field("bbtHelpIcon", bbtHelpIcon);
    Field("bbtAboutIcon", bbtAboutIcon);
    Field("bbtExitIcon", bbtExitIcon);
    Field("plRight", plRight);
    Field("Image2", Image2);
    Field("plUninstall", plUninstall);
    Field("lvUninstall", lvUninstall);
    Field("lUninstallNumber", lUninstallNumber);
    Field("plStartup", plStartup);
    Field("lvStartup", lvStartup);
    Field("plTaskMan", plTaskMan);
    Field("lvTaskMan", lvTaskMan);
    Field("Panel4", Panel4);
    Field("Image18", Image18);
    Field("plPrivacy", plPrivacy);
    Field("plPrivacySelect", plPrivacySelect);
    Field("bbtIE", bbtIE);
    Field("bbtOpera", bbtOpera);
    Field("bbtNetscape", bbtNetscape);
    Field("bbtWindows", bbtWindows);
    Field("plPrivacyIE", plPrivacyIE);
    Field("cbInternetFiles", cbInternetFiles);
    Field("lInternetFiles", lInternetFiles);
    Field("cbCookies", cbCookies);
    Field("lCookies", lCookies);
    Field("cbHistory", cbHistory);
    Field("lHistory", lHistory);
    Field("cbFavorites", cbFavorites);
    Field("lFavorites", lFavorites);
    Field("cbURLs", cbURLs);
    Field("lURLs", lURLs);
    Field("lPrivacyWarning", lPrivacyWarning);
    Field("bbtPrivacyIESelectAll", bbtPrivacyIESelectAll);
    Field("plPrivacyOpera", plPrivacyOpera);
    Field("cbOperaInternetFiles", cbOperaInternetFiles);
    Field("lOperaInternetFiles", lOperaInternetFiles);
    Field("cbOperaCookies", cbOperaCookies);
    Field("lOperaCookies", lOperaCookies);
    Field("cbOperaHistory", cbOperaHistory);
    Field("lOperaHistory", lOperaHistory);
    Field("cbOperaFavorites", cbOperaFavorites);
    Field("lOperaFavorites", lOperaFavorites);
    Field("cbOperaURLs", cbOperaURLs);
    Field("lOperaURLs", lOperaURLs);
    Field("cbOperaDownloadHistory", cbOperaDownloadHistory);
    Field("lOperaDownloadHistory", lOperaDownloadHistory);
    Field("bbtPrivacyOperaSelectAll", bbtPrivacyOperaSelectAll);
    Field("plPrivacyNetscape", plPrivacyNetscape);
    Field("cbNetscapeInternetFiles", cbNetscapeInternetFiles);
    Field("lNetscapeInternetFiles", lNetscapeInternetFiles);
    Field("cbNetscapeCookies", cbNetscapeCookies);
    Field("lNetscapeCookies", lNetscapeCookies);
    Field("cbNetscapeHistory", cbNetscapeHistory);
    Field("lNetscapeHistory", lNetscapeHistory);
    Field("cbNetscapeFavorites", cbNetscapeFavorites);
    Field("lNetscapeFavorites", lNetscapeFavorites);
    Field("cbNetscapeURLs", cbNetscapeURLs);
    Field("lNetscapeURLs", lNetscapeURLs);
    Field("cbNetscapeDownloadHistory", cbNetscapeDownloadHistory);
    Field("lNetscapeDownloadHistory", lNetscapeDownloadHistory);
    Field("cbNetscapePassword", cbNetscapePassword);
    Field("lNetscapePassword", lNetscapePassword);
    Field("bbtPrivacyNetscapeSelectAll", bbtPrivacyNetscapeSelectAll);
    Field("plPrivacyWindows", plPrivacyWindows);
    Field("cbRecycleBin", cbRecycleBin);
    Field("lRecycleBin", lRecycleBin);
    Field("cbWinTemp", cbWinTemp);
    Field("lWinTemp", lWinTemp);
    Field("cbRecent", cbRecent);
    Field("lRecent", lRecent);
    Field("bbtPrivacyWindowsSelectAll", bbtPrivacyWindowsSelectAll);
    Field("plAbout", plAbout);
    Field("Image14", Image14);
    Field("Image15", Image15);
    Field("Image17", Image17);
    Field("plWait", plWait);
    Field("lWait", lWait);
    Field("ilNewButtons", ilNewButtons);
    Field("ilPrivacyIcons", ilPrivacyIcons);
    Field("ilUninstallLargeIcons", ilUninstallLargeIcons);
    Field("ilUninstallSmallIcons", ilUninstallSmallIcons);
    Field("ilNoIconNagy", ilNoIconNagy);
    Field("ilNoIconKicsi", ilNoIconKicsi);
    Field("ImageList", ImageList);
    Field("pmTray", pmTray);
    Field("pmiUninstallprograms", pmiUninstallprograms);
    Field("pmiStartupManager", pmiStartupManager);
    Field("pmiTaskManager", pmiTaskManager);
    Field("pmiPrivacymanager", pmiPrivacymanager);
    Field("N1", N1);
    Field("pmiHelp", pmiHelp);
    Field("N2", N2);
    Field("pmiExit", pmiExit);
    Field("pmUninstallListView", pmUninstallListView);
    Field("pmiListViewDelete", pmiListViewDelete);
    Field("N3", N3);
    Field("pmiListViewRefresh", pmiListViewRefresh);
    Field("N4", N4);
    Field("pmiListViewIcon", pmiListViewIcon);
    Field("pmiListViewList", pmiListViewList);
    Field("pmiListViewReport", pmiListViewReport);
    Field("TrayIcon", TrayIcon);
    Handler("FormActivate", &TForm1::FormActivate);
    Handler("FormCloseQuery", &TForm1::FormCloseQuery);
    Handler("FormCreate", &TForm1::FormCreate);
    Handler("FormDestroy", &TForm1::FormDestroy);
    Handler("Image15Click", &TForm1::Image15Click);
    Handler("Image17Click", &TForm1::Image17Click);
    Handler("Image1MouseDown", &TForm1::Image1MouseDown);
    Handler("Panel1MouseDown", &TForm1::Panel1MouseDown);
    Handler("bbtAboutIconClick", &TForm1::bbtAboutIconClick);
    Handler("bbtAboutIconMouseEnter", &TForm1::bbtAboutIconMouseEnter);
    Handler("bbtExitIconClick", &TForm1::bbtExitIconClick);
    Handler("bbtExitIconMouseEnter", &TForm1::bbtExitIconMouseEnter);
    Handler("bbtHelpIconClick", &TForm1::bbtHelpIconClick);
    Handler("bbtHelpIconMouseEnter", &TForm1::bbtHelpIconMouseEnter);
    Handler("bbtPrivacyIconClick", &TForm1::bbtPrivacyIconClick);
    Handler("bbtPrivacyIconMouseEnter", &TForm1::bbtPrivacyIconMouseEnter);
    Handler("bbtStartupIconClick", &TForm1::bbtStartupIconClick);
    Handler("bbtStartupIconMouseEnter", &TForm1::bbtStartupIconMouseEnter);
    Handler("bbtTaskManIconClick", &TForm1::bbtTaskManIconClick);
    Handler("bbtTaskManIconMouseEnter", &TForm1::bbtTaskManIconMouseEnter);
    Handler("bbtUninstallIconClick", &TForm1::bbtUninstallIconClick);
    Handler("bbtUninstallIconMouseEnter", &TForm1::bbtUninstallIconMouseEnter);
    Handler("bbtUninstallIconMouseLeave", &TForm1::bbtUninstallIconMouseLeave);
    Handler("pmiExitClick", &TForm1::pmiExitClick);
    Handler("pmiHelpClick", &TForm1::pmiHelpClick);
    Handler("pmiPrivacymanagerClick", &TForm1::pmiPrivacymanagerClick);
    Handler("pmiStartupManagerClick", &TForm1::pmiStartupManagerClick);
    Handler("pmiTaskManagerClick", &TForm1::pmiTaskManagerClick);
    Handler("pmiUninstallprogramsClick", &TForm1::pmiUninstallprogramsClick);
    BindUninstallHandlers();
    BindStartupHandlers();
    BindTaskManHandlers();
    BindPrivacyHandlers();
    LoadForm("Unit1.dfm");
#ifdef Edition98
    // The Task Manager's help card belongs to the XP edition only.
    Panel4->SetVisible(false);
    Panel4->SetEnabled(false);
#endif
}

void TForm1::FormCreate(TObject*)
{
    // Rows own their data: a scan's clearing and a row's removal free it.
    lvUninstall->OwnRowData<TPRegistryEntry>();
    lvStartup->OwnRowData<TPStartupEntry>();
    lvTaskMan->OwnRowData<std::string>();
    Registry = new TRegistry();
    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    // The private key and the subkey in which Ghostprobe leaves its verdicts.
    Step([this] {
        if (Registry->OpenKey("\\Software\\CLASSES\\tarsk", true)) Registry->CreateKey("Phantom");
    });
    Step([this] { TrayIcon->SetVisible(true); });
    for (const ColumnSpec& spec : kColumns) {
        NewColumn = (this->*spec.List)->Columns()->Add();
        NewColumn->SetCaption(spec.Caption);
        NewColumn->SetWidth(-1);
        if (spec.MinWidth) NewColumn->SetMinWidth(spec.MinWidth);
    }
    StartupDir = "";
    DisabledStartupDir = "";
    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    UninstallKeyPath = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    lPrivacyWarning->SetCaption(
        "WARNING!\nIn order to properly delete the selected \nitems you have to close the Internet Explorer");
    Step([this] { LoadLanguageHints(); });
    NameList = new TStringList();
    PrivacyPageTitle = "Internet Explorer/MSN Explorer";
    ShapeWindow();
}

void TForm1::ShapeWindow()
{
    // Two overlapping rectangles and four corner circles of radius 15.
    HRGN region = CreateRectRgn(19, 4, 735, 514);
    HRGN parts[] = {CreateRectRgn(4, 19, 750, 499),      CreateEllipticRgn(4, 4, 34, 34),
                    CreateEllipticRgn(4, 484, 34, 514),  CreateEllipticRgn(721, 4, 751, 34),
                    CreateEllipticRgn(721, 484, 751, 514)};
    for (HRGN part : parts) {
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    // The system owns the region from here on.
    SetWindowRgn(Handle(), region, TRUE);
}

void TForm1::FormActivate(TObject*)
{
    bbtUninstallIconClick(this);
    bbtUninstallRefreshClick(this);
    const struct {
        TPSpeedButton* TForm1::*Icon;
        void (TForm1::*Click)(TObject*);
    } pages[] = {
        {&TForm1::bbtUninstallIcon, &TForm1::bbtUninstallIconClick},
        {&TForm1::bbtStartupIcon, &TForm1::bbtStartupIconClick},
        {&TForm1::bbtTaskManIcon, &TForm1::bbtTaskManIconClick},
        {&TForm1::bbtPrivacyIcon, &TForm1::bbtPrivacyIconClick},
    };
    for (const auto& page : pages) {
        if ((this->*page.Icon)->GetDown()) {
            (this->*page.Click)(this);
            return;
        }
    }
}

void TForm1::FormCloseQuery(TObject*, bool& CanClose)
{
    CanClose = true;
}

void TForm1::FormDestroy(TObject*)
{
    delete Registry;
    Registry = nullptr;
    delete NameList;
    NameList = nullptr;
}

void TForm1::bbtExitIconClick(TObject*)
{
    TrayIcon->Minimize();
}

void TForm1::pmiUninstallprogramsClick(TObject*)
{
    TrayIcon->Restore();
    bbtUninstallIcon->SetDown(true);
    bbtUninstallIconClick(this);
}

void TForm1::pmiStartupManagerClick(TObject*)
{
    TrayIcon->Restore();
    bbtStartupIcon->SetDown(true);
    bbtStartupIconClick(this);
}

void TForm1::pmiTaskManagerClick(TObject*)
{
    TrayIcon->Restore();
    bbtTaskManIcon->SetDown(true);
    bbtTaskManIconClick(this);
}

void TForm1::pmiPrivacymanagerClick(TObject*)
{
    TrayIcon->Restore();
    bbtPrivacyIcon->SetDown(true);
    bbtPrivacyIconClick(this);
}

void TForm1::pmiHelpClick(TObject*)
{
    TrayIcon->Restore();
    bbtHelpIconClick(this);
}

void TForm1::pmiExitClick(TObject*)
{
    Close();
}

void TForm1::SetComponentHint(const std::string& name, const std::string& hint)
{
    TComponent* component = FindComponent(name);
    if (auto* control = dynamic_cast<TControl*>(component))
        control->SetHint(hint);
    else if (auto* item = dynamic_cast<TMenuItem*>(component))
        item->SetHint(hint);
}
