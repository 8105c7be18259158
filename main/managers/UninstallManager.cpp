// The Uninstall Manager: the installed programs with their phantom marks, the
// page's refresh, filter, views, popup and selection, and uninstalling.
#include "Unit1.h"

#include <functional>
#include <memory>

#include "Processes.h"
#include "Tpregistryentry.h"
#include "UninstallValues.h"

namespace {

const char kUninstallKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Ghostprobe leaves one verdict per Uninstall subkey here; "1" alone passes.
const char kPhantomKey[] = "\\Software\\Classes\\tarsk\\Phantom";
const char kPassed[] = "1";
// Started by its bare name, so the system's search finds it beside the program.
const char kGhostprobe[] = "Ghostprobe.exe";
// The image index that marks a phantom row.
const int kPhantomImage = 1;

const char kWaitText[] = "\n\n\n\nPlease wait while the program is\nchecking your installed programs!";
const char kDeleteQuestion[] = "\nDo you really want to delete \nthe regsitry entry of this program?";
const char kStartProblem[] = "Uninstall problem! \nIf you want to delete the entry press OK";
const char kNotFinished[] = "Uninstallation has not been completely finished\n due to a problem or the process has "
                            "been canceled! \nClick OK if you want the entry to be deleted";
const char kDeleted[] = "The Registry Entry has been deleted!";
const char kNotDeleted[] = "The Registry Entry could not be deleted!";

// The faces of bbtUninstall in its image list: idle, hover, pressed.
struct ButtonFaces {
    int Idle, Up, Down;
    const char* MenuCaption; // of pmiListViewDelete
};
const ButtonFaces kUninstallFaces = {21, 22, 23, "Uninstall"};
const ButtonFaces kDeleteEntryFaces = {42, 43, 44, "Delete Entry"};

// Opens a program's key beneath the Uninstall key. Relative to it, so that
// every legal name (up to 255 characters) opens: the registry's ANSI calls
// refuse a path of more than 260 characters, which the absolute path of a
// long name is. A failed open leaves the Uninstall key current, or, when that
// failed, the key current before.
bool OpenUninstallEntry(TRegistry& registry, const std::string& keyName)
{
    return registry.OpenKey(kUninstallKey, false) && registry.OpenKey(keyName, false);
}

// Deletes a program's key with its subtree, relative to the Uninstall key;
// true when the key is gone afterwards, also when it was gone already.
bool DeleteUninstallEntry(TRegistry& registry, const std::string& keyName)
{
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    // Never relative to another key: a failed open keeps the old one current.
    if (!registry.OpenKey(kUninstallKey, false)) return !registry.KeyExists(kUninstallKey);
    return registry.DeleteKey(keyName) || !registry.KeyExists(keyName);
}

// What the selected row asks, taken before any box is shown: while a box
// shows, the tray menu can switch pages, which rescans and frees every row.
struct UninstallOrder {
    std::string KeyName;
    std::string UninstallString;
    bool Phantom;
};

// An empty filter lets everything through; otherwise the lower-cased filter
// must occur in the lower-cased name.
bool PassesFilter(const std::string& displayName, const std::string& lowerFilter)
{
    return lowerFilter.empty() || AnsiLowerCase(displayName).find(lowerFilter) != std::string::npos;
}

// Runs its action when the scope ends, unless dismissed.
class ScopeExit {
public:
    explicit ScopeExit(std::function<void()> action) : FAction(std::move(action)) {}
    ~ScopeExit()
    {
        if (FAction) FAction();
    }
    void Dismiss() { FAction = nullptr; }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    std::function<void()> FAction;
};

} // namespace

void TForm1::BindUninstallHandlers()
{
    Handler("FormResize", &TForm1::FormResize);
    Handler("bbtUninstallClick", &TForm1::bbtUninstallClick);
    Handler("bbtUninstallRefreshClick", &TForm1::bbtUninstallRefreshClick);
    Handler("edUninstallFilterChange", &TForm1::edUninstallFilterChange);
    Handler("edUninstallFilterKeyPress", &TForm1::edUninstallFilterKeyPress);
    Handler("lvUninstallSelectItem", &TForm1::lvUninstallSelectItem);
    Handler("pmUninstallListViewPopup", &TForm1::pmUninstallListViewPopup);
    Handler("pmiListViewDeleteClick", &TForm1::pmiListViewDeleteClick);
    Handler("pmiListViewIconClick", &TForm1::pmiListViewIconClick);
    Handler("pmiListViewListClick", &TForm1::pmiListViewListClick);
    Handler("pmiListViewRefreshClick", &TForm1::pmiListViewRefreshClick);
    Handler("pmiListViewReportClick", &TForm1::pmiListViewReportClick);
}

// ------------------------------------------------------------------- scan

void TForm1::ScanInstalledPrograms()
{
    lvUninstall->SetVisible(false);
    lWait->SetCaption(kWaitText);
    plWait->SetVisible(true);
    plWait->BringToFront();
    plWait->Repaint();

    // Whatever ends the scan, the wait panel goes and the list comes back.
    TListItems* rows = lvUninstall->Items();
    rows->BeginUpdate();
    ScopeExit restore([this, rows] {
        CurrentEntry = nullptr;
        rows->EndUpdate();
        Registry->CloseKey();
        plWait->SetVisible(false);
        lvUninstall->SetVisible(true);
    });

    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    if (Registry->OpenKey(kUninstallKey, false))
        Registry->GetKeyNames(NameList);
    else
        NameList->Clear();

    // Each row's entry goes with its row.
    rows->Clear();
    ResetProgramIcons();

    // Ghostprobe writes a verdict for every subkey before it ends.
    RunAndWait(kGhostprobe);

    // The verdicts are read and consumed through a registry object of their
    // own that keeps the Phantom key open for the whole pass, while the
    // shared one keeps the program's key: the same values are read and
    // deleted as when one object opened each key anew, without opening two
    // keys again for every entry.
    TRegistry verdicts;
    verdicts.SetRootKey(HKEY_LOCAL_MACHINE);
    const bool haveVerdicts = verdicts.OpenKey(kPhantomKey, false);

    const std::string filter = AnsiLowerCase(edUninstallFilter->GetText());
    for (int i = 0; i < NameList->Count(); ++i) {
        const std::string keyName = (*NameList)[i];
        CurrentEntry = nullptr;
        std::unique_ptr<TPRegistryEntry> entry;
        if (OpenUninstallEntry(*Registry, keyName)) {
            std::string uninstallString, displayName = keyName;
            if (ReadTextValue(*Registry, "UninstallString", uninstallString)) {
                ReadTextValue(*Registry, "DisplayName", displayName);
                entry.reset(new TPRegistryEntry(keyName, displayName, uninstallString));
                CurrentEntry = entry.get();
                // Filtered out before its verdict and its icon are looked at.
                if (PassesFilter(displayName, filter)) {
                    entry->SetPublisher(TextValue(*Registry, "Publisher"));
                    entry->SetVersion(TextValue(*Registry, "DisplayVersion"));
                    if (uninstallString.empty()) {
                        entry->SetIconIndex(kPhantomImage);
                    } else {
                        const std::string verdict = haveVerdicts ? TextValue(verdicts, keyName) : "";
                        entry->SetIconIndex(verdict == kPassed ? FindProgramIcon(keyName) : kPhantomImage);
                    }
                } else {
                    entry.reset();
                    CurrentEntry = nullptr;
                }
            } else if (ReadTextValue(*Registry, "DisplayName", displayName)) {
                entry.reset(new TPRegistryEntry(keyName, displayName, ""));
                CurrentEntry = entry.get();
                entry->SetPublisher(TextValue(*Registry, "Publisher"));
                entry->SetVersion(TextValue(*Registry, "DisplayVersion"));
                entry->SetIconIndex(kPhantomImage);
            }
        }
        if (entry && PassesFilter(entry->GetDisplayName(), filter)) {
            TListItem* row = rows->Add();
            row->SetCaption(entry->GetDisplayName());
            row->SetImageIndex(entry->GetIconIndex());
            row->SubItems->Add(entry->GetVersion());
            row->SubItems->Add(entry->GetPublisher());
            row->SetData(entry.release());
        }
        CurrentEntry = nullptr;
        // The verdict is consumed whatever became of its key.
        if (haveVerdicts) verdicts.DeleteValue(keyName);
    }

    restore.Dismiss();
    rows->EndUpdate();
    Registry->CloseKey();
    plWait->SetVisible(false);
    int phantoms = 0;
    for (int i = 0; i < rows->Count(); ++i)
        if (rows->Item(i)->GetImageIndex() == kPhantomImage) ++phantoms;
    lUninstallNumber->SetCaption(" You have " + IntToStr(rows->Count()) + " installed programs, whom " +
                                 IntToStr(phantoms) + " are 'phantom' programs!");
    lvUninstall->SetVisible(true);
    // Switching away and back lays the List view out anew.
    if (lvUninstall->GetViewStyle() == vsList) {
        lvUninstall->SetViewStyle(vsReport);
        lvUninstall->SetViewStyle(vsList);
    }
}

// --------------------------------------------------------- page handlers

void TForm1::bbtUninstallRefreshClick(TObject*)
{
    edUninstallFilter->SetText("");
    ScanInstalledPrograms();
    lvUninstall->SelectFirst();
    if (lvUninstall->CanFocus()) lvUninstall->SetFocus();
}

void TForm1::pmiListViewRefreshClick(TObject*)
{
    bbtUninstallRefreshClick(this);
}

void TForm1::pmiListViewIconClick(TObject*)
{
    lvUninstall->SetViewStyle(vsIcon);
    pmiListViewIcon->SetChecked(true);
}

void TForm1::pmiListViewListClick(TObject*)
{
    lvUninstall->SetViewStyle(vsList);
    pmiListViewList->SetChecked(true);
}

void TForm1::pmiListViewReportClick(TObject*)
{
    lvUninstall->SetViewStyle(vsReport);
    pmiListViewReport->SetChecked(true);
}

void TForm1::pmUninstallListViewPopup(TObject*)
{
    pmiListViewDelete->SetEnabled(lvUninstall->Selected() != nullptr);
}

void TForm1::edUninstallFilterChange(TObject*)
{
    ScanInstalledPrograms();
}

void TForm1::edUninstallFilterKeyPress(TObject*, char& Key)
{
    if (Key != '\r') return;
    lvUninstall->SelectFirst();
    lvUninstall->SetFocus();
}

void TForm1::FormResize(TObject*)
{
    if (pmiListViewList->GetChecked()) lvUninstall->SetViewStyle(vsList);
    if (ActivePage == pcUninstall) ScanInstalledPrograms();
}

void TForm1::lvUninstallSelectItem(TObject*, TListItem*, bool)
{
    TListItem* row = lvUninstall->Selected();
    if (!row) return;
    const ButtonFaces& faces = row->GetImageIndex() == kPhantomImage ? kDeleteEntryFaces : kUninstallFaces;
    bbtUninstall->SetImageIndexDown(faces.Down);
    bbtUninstall->SetImageIndexIDLE(faces.Idle);
    bbtUninstall->SetImageIndexUp(faces.Up);
    bbtUninstall->Repaint();
    pmiListViewDelete->SetCaption(faces.MenuCaption);
}

// ------------------------------------------------------------- uninstall

void TForm1::RemoveUninstallRow(const std::string& keyName)
{
    // The row of that key, if the list still holds one: the list may have
    // been rebuilt while a box showed.
    TListItems* rows = lvUninstall->Items();
    for (int i = 0; i < rows->Count(); ++i) {
        TListItem* row = rows->Item(i);
        const auto* entry = static_cast<const TPRegistryEntry*>(row->GetData());
        if (entry && entry->GetKeyName() == keyName) {
            row->Delete();
            break;
        }
    }
    lvUninstall->SelectFirst();
}

void TForm1::DeleteUninstallEntryAndRow(const std::string& keyName)
{
    if (!DeleteUninstallEntry(*Registry, keyName)) {
        ShowMessageDialog(kNotDeleted, "Error", MB_OK);
        return;
    }
    ShowMessageDialog(kDeleted, "Information", MB_OK);
    RemoveUninstallRow(keyName);
}

void TForm1::bbtUninstallClick(TObject*)
{
    const int startPage = ActivePage;
    TListItem* row = lvUninstall->Selected();
    const auto* entry = row ? static_cast<const TPRegistryEntry*>(row->GetData()) : nullptr;
    if (entry) {
        const UninstallOrder order{entry->GetKeyName(), entry->GetUninstallString(),
                                   row->GetImageIndex() == kPhantomImage};
        row = nullptr; // not to be used after a box or a wait
        entry = nullptr;
        if (order.Phantom) {
            Registry->SetRootKey(HKEY_LOCAL_MACHINE);
            if (ShowMessageDialog(kDeleteQuestion, "Confirm", MB_YESNO) == IDYES)
                DeleteUninstallEntryAndRow(order.KeyName);
        } else if (!RunAndWait(order.UninstallString)) {
            if (ShowMessageDialog(kStartProblem, "Error", MB_OKCANCEL) == IDOK)
                DeleteUninstallEntryAndRow(order.KeyName);
        } else {
            // Whether it worked is told by the key alone.
            Registry->SetRootKey(HKEY_LOCAL_MACHINE);
            if (!OpenUninstallEntry(*Registry, order.KeyName))
                RemoveUninstallRow(order.KeyName);
            else if (ShowMessageDialog(kNotFinished, "Error", MB_OKCANCEL) == IDOK)
                DeleteUninstallEntryAndRow(order.KeyName);
        }
    }
    // A page switch under one of the questions (from the tray menu) has shown
    // another page: that page stays, with its own state.
    if (ActivePage != startPage && ActivePage != pcUninstall) return;
    // The layout is made anew in the view the user chose.
    const TViewStyle view = lvUninstall->GetViewStyle();
    lvUninstall->SetViewStyle(view == vsList ? vsIcon : vsList);
    lvUninstall->SetViewStyle(view);
    lvUninstall->SetFocus();
    ActivePage = pcUninstall;
}

void TForm1::pmiListViewDeleteClick(TObject*)
{
    bbtUninstallClick(this);
}
