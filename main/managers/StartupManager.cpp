// The Startup Manager: the programs Windows starts at log-on, from the Run
// keys (and, in Sweepora98, the RunServices keys) of the user and of the
// machine and from the two Startup folders. A disabled entry lives in a twin
// place that Windows does not read: the key with "-" appended, or the
// "Disabled Startup Items" folder beside the Startup folder.
#include "Unit1.h"

#include <algorithm>
#include <vector>

#include "Tpstartupentry.h"
#include "dialogs/CreateEntryDialogForm.h"

namespace {

const char kShellFolders[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kRun[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunDisabled[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run-";
#ifdef Edition98
const char kRunServices[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kRunServicesDisabled[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices-";
#endif

// Where an entry lives: its LocationCode and its enabled and disabled place.
// A registry place is a key under Root; a folder place is the folder member
// of the main window that the scan fills from the Root's "Shell Folders"
// value (an empty member names no folder). The scan, Apply and Remove all
// read this one table.
struct StartupPlace {
    int Code;
    HKEY Root;
    const char* EnabledKey; // nullptr for a folder place
    const char* DisabledKey;
    const char* ShellFolder; // nullptr for a registry place
    std::string TForm1::*EnabledDir;
    std::string TForm1::*DisabledDir;
};

const StartupPlace kPlaces[] = {
    {1, HKEY_CURRENT_USER, kRun, kRunDisabled, nullptr, nullptr, nullptr},
#ifdef Edition98
    {2, HKEY_CURRENT_USER, kRunServices, kRunServicesDisabled, nullptr, nullptr, nullptr},
#endif
    {4, HKEY_CURRENT_USER, nullptr, nullptr, "Startup", &TForm1::StartupDir, &TForm1::DisabledStartupDir},
    {8, HKEY_LOCAL_MACHINE, nullptr, nullptr, "Common Startup", &TForm1::CommonStartupDir,
     &TForm1::CommonDisabledStartupDir},
    {16, HKEY_LOCAL_MACHINE, kRun, kRunDisabled, nullptr, nullptr, nullptr},
#ifdef Edition98
    {32, HKEY_LOCAL_MACHINE, kRunServices, kRunServicesDisabled, nullptr, nullptr, nullptr},
#endif
};

// The place of a code; nullptr for a code this edition does not manage.
const StartupPlace* FindPlace(int code)
{
    for (const StartupPlace& place : kPlaces)
        if (place.Code == code) return &place;
    return nullptr;
}

// The scan's steps, in order: every enabled place first, then every disabled
// one; within them the user's Run key before the machine's, the RunServices
// keys (Sweepora98), then the folders.
const struct {
    int Code;
    bool Enabled;
} kScanSteps[] = {
    {1, true},  {16, true},
#ifdef Edition98
    {2, true},  {32, true},
#endif
    {4, true},  {8, true},
    {1, false}, {16, false},
#ifdef Edition98
    {2, false}, {32, false},
#endif
    {4, false}, {8, false},
};

// The Startup folder's path up to and including its last "\", followed by
// "Disabled Startup Items": a sibling of the Startup folder.
std::string DisabledFolder(const std::string& startupFolder)
{
    const std::string::size_type slash = startupFolder.find_last_of('\\');
    const std::string parent = slash == std::string::npos ? std::string() : startupFolder.substr(0, slash + 1);
    return parent + "Disabled Startup Items";
}

// The text a Run value shows as its command line: a string value's text as
// stored (unexpanded, up to its first NUL); a value of any other type shows
// none, so that it is still listed and can be moved or removed.
std::string CommandLineOf(const TRegistry::TValueData& value)
{
    if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ) return "";
    std::string text(value.Bytes.begin(), value.Bytes.end());
    const std::string::size_type nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

class StartupScan {
public:
    explicit StartupScan(TForm1& form) : Form(form), Filter(AnsiLowerCase(form.edStartupFilter->GetText())) {}

    // Reads one step; false when the scan ends there.
    bool Step(const StartupPlace& place, bool enabled)
    {
        return place.ShellFolder ? FolderStep(place, enabled) : RegistryStep(place, enabled);
    }

    // What kept places from being read, each told once, one per line; "" when
    // every place could be read.
    std::string Failures() const
    {
        std::string text;
        for (const std::string& failure : FFailures) text += (text.empty() ? "" : "\n") + failure;
        return text;
    }

private:
    void NoteFailure(const std::string& message)
    {
        if (std::find(FFailures.begin(), FFailures.end(), message) == FFailures.end()) FFailures.push_back(message);
    }

    bool Passes(const std::string& name) const
    {
        return Filter.empty() || AnsiLowerCase(name).find(Filter) != std::string::npos;
    }

    void AddRow(const std::string& name, const std::string& path, const StartupPlace& place, bool enabled)
    {
        TListItem* row = Form.lvStartup->Items()->Add();
        row->SetCaption(name);
        row->SubItems->Add(path);
        row->SetChecked(enabled);
        row->SetData(new TPStartupEntry(enabled ? 1 : 0, place.Code));
    }

    bool RegistryStep(const StartupPlace& place, bool enabled)
    {
        TRegistry* registry = Form.Registry;
        registry->SetRootKey(place.Root);
        if (!registry->OpenKey(enabled ? place.EnabledKey : place.DisabledKey, false)) return true;
        registry->GetValueNames(Form.NameList);
        for (int i = 0; i < Form.NameList->Count(); ++i) {
            const std::string name = (*Form.NameList)[i];
            if (!Passes(name)) continue;
            TRegistry::TValueData value;
            registry->ReadValueData(name, value);
            AddRow(name, CommandLineOf(value), place, enabled);
        }
        return true;
    }

    bool FolderStep(const StartupPlace& place, bool enabled)
    {
        TRegistry* registry = Form.Registry;
        registry->SetRootKey(place.Root);
        if (!registry->OpenKey(kShellFolders, false)) return true;
        std::string startup;
        try {
            startup = registry->ReadString(place.ShellFolder);
        } catch (const ERegistryException& e) {
            // A value of another type names no folder: this place is passed
            // over like an empty one, and the other places are still listed.
            NoteFailure(e.Message);
            return true;
        }
        if (startup.empty()) return true;
        const std::string folder = enabled ? startup : DisabledFolder(startup);
        // Stored before the search, so it is known even when the folder is missing.
        Form.*(enabled ? place.EnabledDir : place.DisabledDir) = folder;

        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            if (!enabled) {
                if (CreateDirectoryA(folder.c_str(), nullptr))
                    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
                else
                    ShowSystemError(GetLastError());
            }
            return false;
        }
        struct SearchGuard {
            HANDLE Handle;
            ~SearchGuard() { FindClose(Handle); }
        } guard{search};
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
            if (Passes(name)) AddRow(name, folder + "\\" + name, place, enabled);
        } while (FindNextFileA(search, &found));
        return true;
    }

    TForm1& Form;
    const std::string Filter;
    std::vector<std::string> FFailures;
};

// Selects the first row (none in an empty list) and focuses the list.
void SelectFirstRow(TListView* list)
{
    list->SelectFirst();
    list->SetFocus();
}

// What became of one move of Apply.
enum class MoveResult {
    Moved,
    Untouched, // nothing to move, or a failure already shown
    NameTaken, // the destination holds an entry of that name: both are kept
    NoPlace,   // the destination key cannot be opened or written
};

// Moves a registry value between the two keys of its place, with its type
// and data as they are. The destination is written before the source value
// is deleted, so a failed write leaves the entry where it was.
MoveResult MoveStartupValue(TRegistry* registry, const StartupPlace& place, const std::string& name, bool enable)
{
    const char* source = enable ? place.DisabledKey : place.EnabledKey;
    const char* destination = enable ? place.EnabledKey : place.DisabledKey;
    registry->SetRootKey(place.Root);
    if (!registry->OpenKey(source, false) || !registry->ValueExists(name)) return MoveResult::Untouched;
    TRegistry::TValueData value;
    if (!registry->ReadValueData(name, value)) return MoveResult::Untouched;
    // A destination that does not open would leave the source key current:
    // nothing may be written then.
    if (!registry->OpenKey(destination, true)) return MoveResult::NoPlace;
    if (registry->ValueExists(name)) return MoveResult::NameTaken;
    try {
        registry->WriteValueData(name, value);
    } catch (const ERegistryException&) {
        return MoveResult::NoPlace;
    }
    if (registry->OpenKey(source, false)) registry->DeleteValue(name);
    return MoveResult::Moved;
}

// Moves a file between the two folders of its place, never over a file of
// the same name; a failed copy keeps the source, and each failure is shown.
MoveResult MoveStartupFile(const TForm1& form, const StartupPlace& place, const std::string& name,
                           const std::string& path, bool enable)
{
    const std::string& folder = form.*(enable ? place.EnabledDir : place.DisabledDir);
    if (folder.empty()) return MoveResult::Untouched;
    const std::string destination = folder + "\\" + name;
    if (!CopyFileA(path.c_str(), destination.c_str(), TRUE)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return MoveResult::NameTaken;
        ShowSystemError(error);
        return MoveResult::Untouched;
    }
    if (!DeleteFileA(path.c_str())) ShowSystemError(GetLastError());
    return MoveResult::Moved;
}

// The one notice of an Apply run about the entries it left where they are.
std::string NotMovedText(const std::vector<std::string>& nameTaken, const std::vector<std::string>& noPlace)
{
    std::string text;
    auto section = [&text](const char* reason, const std::vector<std::string>& names) {
        if (names.empty()) return;
        if (!text.empty()) text += "\n";
        text += reason;
        for (const std::string& name : names) text += "\n" + name;
    };
    section("These entries were not moved, because an entry\nof the same name is already where they would go:",
            nameTaken);
    section("These entries were not moved, because the place\nwhere they would go cannot be written:", noPlace);
    return text;
}

} // namespace

void TForm1::BindStartupHandlers()
{
    Handler("bbtStartupApplyClick", &TForm1::bbtStartupApplyClick);
    Handler("bbtStartupRefreshClick", &TForm1::bbtStartupRefreshClick);
    Handler("bbtStartupRemoveClick", &TForm1::bbtStartupRemoveClick);
    Handler("bbtStartupAddClick", &TForm1::bbtStartupAddClick);
    Handler("edStartupFilterChange", &TForm1::edStartupFilterChange);
    Handler("edStartupFilterKeyPress", &TForm1::edStartupFilterKeyPress);
}

void TForm1::ScanStartupEntries()
{
    // The list is hidden while it is rebuilt and shown at every end of the
    // scan, also when an error ends it.
    struct ScanEnd {
        TForm1& Form;
        ~ScanEnd()
        {
            Form.lvStartup->Items()->EndUpdate();
            Form.Registry->SetRootKey(HKEY_LOCAL_MACHINE);
            Form.lvStartup->SetVisible(true);
        }
    };
    std::string failures;
    {
        lvStartup->SetVisible(false);
        lvStartup->Items()->BeginUpdate();
        ScanEnd end{*this};
        lvStartup->Items()->Clear();
        StartupScan scan(*this);
        for (const auto& step : kScanSteps)
            if (!scan.Step(*FindPlace(step.Code), step.Enabled)) break;
        failures = scan.Failures();
    }
    // Told once the list shows what the other places hold.
    if (!failures.empty()) Application->ShowException(failures);
}

bool TForm1::StartupListModified()
{
    TListItems* rows = lvStartup->Items();
    for (int i = 0; i < rows->Count(); ++i) {
        TListItem* row = rows->Item(i);
        auto* entry = static_cast<TPStartupEntry*>(row->GetData());
        if (entry && entry->GetEnabledAtLoad() != (row->GetChecked() ? 1 : 0)) return true;
    }
    return false;
}

void TForm1::bbtStartupRefreshClick(TObject*)
{
    // A filter that held text rebuilds the list through its change handler.
    edStartupFilter->SetText("");
    ScanStartupEntries();
    SelectFirstRow(lvStartup);
}

void TForm1::edStartupFilterChange(TObject*)
{
    ScanStartupEntries();
}

void TForm1::edStartupFilterKeyPress(TObject*, char& Key)
{
    if (Key == 13) SelectFirstRow(lvStartup);
}

namespace {

// What a row asks of Apply or Remove, taken before anything is shown: a box
// waits in a message loop of its own, and the list may be rebuilt meanwhile.
struct RowOrder {
    std::string Name;
    std::string Path; // the command line, or the file's full path
    const StartupPlace* Place;
    int EnabledAtLoad;
    bool Checked;
};

RowOrder OrderOf(TListItem* row)
{
    auto* entry = static_cast<TPStartupEntry*>(row->GetData());
    return RowOrder{row->GetCaption(), row->SubItems->Count() > 0 ? row->SubItems->Strings(0) : std::string(),
                    entry ? FindPlace(entry->GetLocation()) : nullptr, entry ? entry->GetEnabledAtLoad() : -1,
                    row->GetChecked()};
}

} // namespace

void TForm1::bbtStartupApplyClick(TObject*)
{
    // The changed rows, first to last: a check box that differs from where
    // the entry was found.
    std::vector<RowOrder> moves;
    TListItems* rows = lvStartup->Items();
    for (int i = 0; i < rows->Count(); ++i) {
        RowOrder order = OrderOf(rows->Item(i));
        if (order.Place && order.EnabledAtLoad != (order.Checked ? 1 : 0)) moves.push_back(order);
    }
    // The entries left where they are, told once for the run.
    std::vector<std::string> nameTaken, noPlace;
    for (const RowOrder& move : moves) {
        const MoveResult result = move.Place->ShellFolder
                                      ? MoveStartupFile(*this, *move.Place, move.Name, move.Path, move.Checked)
                                      : MoveStartupValue(Registry, *move.Place, move.Name, move.Checked);
        if (result == MoveResult::NameTaken) nameTaken.push_back(move.Name);
        if (result == MoveResult::NoPlace) noPlace.push_back(move.Name);
    }
    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    ScanStartupEntries();
    if (!nameTaken.empty() || !noPlace.empty()) ShowMessageDialog(NotMovedText(nameTaken, noPlace), "Error", MB_OK);
    SelectFirstRow(lvStartup);
}

void TForm1::bbtStartupRemoveClick(TObject*)
{
    TListItem* row = lvStartup->Selected();
    if (!row) {
        lvStartup->SetFocus();
        Registry->SetRootKey(HKEY_LOCAL_MACHINE);
        return;
    }
    const RowOrder order = OrderOf(row);
    if (ShowMessageDialog("Do you really want to delete \n" + order.Name + " from Startup?", "Confirm", MB_YESNO) ==
            IDYES &&
        order.Place) {
        // Where the entry is stored now, whatever its check box shows.
        if (order.Place->ShellFolder) {
            if (!DeleteFileA(order.Path.c_str())) ShowSystemError(GetLastError());
        } else {
            Registry->SetRootKey(order.Place->Root);
            if (Registry->OpenKey(order.EnabledAtLoad ? order.Place->EnabledKey : order.Place->DisabledKey, false) &&
                Registry->ValueExists(order.Name))
                Registry->DeleteValue(order.Name);
        }
    }
    ScanStartupEntries();
    SelectFirstRow(lvStartup);
    Registry->SetRootKey(HKEY_LOCAL_MACHINE);
}

void TForm1::bbtStartupAddClick(TObject*)
{
    {
        // The dialog is freed however its modal run ends.
        struct DialogGuard {
            TfmStartupCreateDialog* Dialog;
            ~DialogGuard()
            {
                fmStartupCreateDialog = nullptr;
                Dialog->Free();
            }
        } guard{new TfmStartupCreateDialog(this)};
        fmStartupCreateDialog = guard.Dialog;
        guard.Dialog->ShowModal();
    }
    bbtStartupRefreshClick(this);
}
