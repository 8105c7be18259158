#include "FileDialogs.h"

#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "Forms.h"

namespace {

// "a|b|c|d" as the chooser wants it: each part NUL-terminated, an empty part
// at the end.
std::vector<char> FilterBuffer(const std::string& filter)
{
    std::vector<char> buffer(filter.begin(), filter.end());
    for (char& c : buffer)
        if (c == '|') c = '\0';
    buffer.push_back('\0');
    buffer.push_back('\0');
    return buffer;
}

// The program's window that the chooser belongs to: the form that owns the
// dialog when it is shown, else the active window, else the application's.
HWND OwnerWindow(TComponent* owner)
{
    if (auto* form = dynamic_cast<TCustomForm*>(owner))
        if (form->HandleAllocated() && IsWindowVisible(form->Handle())) return form->Handle();
    if (HWND active = GetActiveWindow()) return active;
    return Application->Handle();
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner)
{
    FClassName = "TOpenDialog";
}

bool TOpenDialog::Execute()
{
    std::vector<char> filter = FilterBuffer(FFilter);
    // Room for any path the chooser gives; the current name is its start.
    std::vector<char> file(MAX_PATH * 4, '\0');
    FFileName.copy(file.data(), file.size() - 1);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = OwnerWindow(GetOwner());
    ofn.lpstrFilter = FFilter.empty() ? nullptr : filter.data();
    ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex > 0 ? FFilterIndex : 1);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = OFN_EXPLORER;
    if (FOptions & ofHideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    if (FOptions & ofFileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (FOptions & ofEnableSizing) ofn.Flags |= OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&ofn)) return false;
    FFileName = file.data();
    FFilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}
