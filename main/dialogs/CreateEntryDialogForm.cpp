#include "CreateEntryDialogForm.h"

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <vector>

#include "LanguageFile.h"

TfmStartupCreateDialog* fmStartupCreateDialog = nullptr;

namespace {

const char kShellFolders[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The wide buffer a link path is converted into, terminator included.
constexpr int kLinkPathChars = 260;

// The hints, in the order of the reads; each key is the control's name.
const THintDefault kHints[] = {
    {"edFileName", "Name of the application you want to insert in Startup"},
    {"edDisplayName", "Insert the Display Name for the application you want to insert in Startup"},
    {"bbtBrowse", "Browse the application you want to insert in Startup"},
    {"bbtCreate", "Create new Startup item"},
    {"bbtCancel", "Cancel"},
};

// The part of a path up to and including its last "\" or ":" ("" without one).
std::string FolderPart(const std::string& path)
{
    const std::string::size_type end = path.find_last_of("\\:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

// The wide characters a path needs with its terminator; 0 when it does not convert.
int WideLength(const std::string& path)
{
    return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
}

// The application's plain message box.
void Warn(const std::string& text)
{
    MessageBoxA(Application->Handle(), text.c_str(), "WARNING", MB_OK);
}

} // namespace

std::string DisplayNameFromPath(const std::string& path)
{
    std::string name = path.substr(FolderPart(path).size());
    const std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

TfmStartupCreateDialog::TfmStartupCreateDialog(TComponent* Owner) : TForm(Owner)
{
    Field("Panel1", Panel1);
    Field("Image1", Image1);
    Field("Image2", Image2);
    Field("edFileName", edFileName);
    Field("edDisplayName", edDisplayName);
    Field("bbtBrowse", bbtBrowse);
    Field("bbtCreate", bbtCreate);
    Field("bbtCancel", bbtCancel);
    Field("odStartupCreateNew", odStartupCreateNew);
    Field("ImageList1", ImageList1);
    Handler("FormCreate", &TfmStartupCreateDialog::FormCreate);
    Handler("FormDestroy", &TfmStartupCreateDialog::FormDestroy);
    Handler("bbtBrowseClick", &TfmStartupCreateDialog::bbtBrowseClick);
    Handler("bbtCreateClick", &TfmStartupCreateDialog::bbtCreateClick);
    Handler("bbtCancelClick", &TfmStartupCreateDialog::bbtCancelClick);
    Handler("Panel1MouseDown", &TfmStartupCreateDialog::Panel1MouseDown);
    LoadForm("CreateEntryDialogForm.dfm");
}

void TfmStartupCreateDialog::FormCreate(TObject*)
{
    Registry = new TRegistry();
    LoadLanguageHints();
    // Closes the language key.
    Registry->SetRootKey(HKEY_CURRENT_USER);
}

void TfmStartupCreateDialog::FormDestroy(TObject*)
{
    delete Registry;
    Registry = nullptr;
}

void TfmStartupCreateDialog::LoadLanguageHints()
{
    ReadLanguageHints(Registry, kHints, [this](const char* key, const char* text) {
        if (auto* control = dynamic_cast<TControl*>(FindComponent(key))) control->SetHint(text);
    });
}

void TfmStartupCreateDialog::bbtBrowseClick(TObject*)
{
    if (!odStartupCreateNew->Execute()) return;
    edFileName->SetText(odStartupCreateNew->GetFileName());
    edDisplayName->SetText(DisplayNameFromPath(odStartupCreateNew->GetFileName()));
}

void TfmStartupCreateDialog::bbtCreateClick(TObject*)
{
    const std::string target = edFileName->GetText();
    if (!FileExists(target)) {
        Warn(target + "\nFile not found.\nPlease verify the correct path and filename was given.");
        edFileName->SetFocus();
        return;
    }
    if (!Registry->OpenKey(kShellFolders, false)) return;
    if (edDisplayName->GetText().empty()) {
        Warn("No display name was given.\nPlease give one.");
        edDisplayName->SetFocus();
        return;
    }
    const std::string folder = Registry->ReadString("Startup");
    // Without a Startup folder the link would land in the root of the
    // current drive.
    if (folder.empty()) {
        Warn("The Startup folder of Windows is not known.\nNo startup item was created.");
        return;
    }
    const std::string link = folder + "\\" + edDisplayName->GetText() + ".lnk";
    if (WideLength(link) > kLinkPathChars) {
        Warn(link + "\nThe name of the new startup item is too long.\nPlease give a shorter display name.");
        edDisplayName->SetFocus();
        return;
    }
    CoInitialize(nullptr);
    CreateShortcut(target, link, "Shortcut to " + target);
    CoUninitialize();
    edFileName->SetText("");
    edDisplayName->SetText("");
    Close();
}

HRESULT TfmStartupCreateDialog::CreateShortcut(const std::string& target, const std::string& link,
                                               const std::string& description)
{
    // A path that does not fit the conversion buffer is never written.
    const int length = WideLength(link);
    if (length == 0 || length > kLinkPathChars) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    IShellLinkA* shellLink = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&shellLink));
    if (FAILED(result)) return result;
    shellLink->SetPath(target.c_str());
    shellLink->SetDescription(description.c_str());
    shellLink->SetWorkingDirectory(FolderPart(target).c_str());
    IPersistFile* file = nullptr;
    result = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) {
        WCHAR path[kLinkPathChars] = {};
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, path, kLinkPathChars);
        result = file->Save(path, FALSE);
        file->Release();
    }
    shellLink->Release();
    return result;
}

void TfmStartupCreateDialog::bbtCancelClick(TObject*)
{
    edFileName->SetText("");
    edDisplayName->SetText("");
    Close();
}

void TfmStartupCreateDialog::Panel1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    // Any mouse button drags the borderless dialog, as a caption bar would.
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);
}
