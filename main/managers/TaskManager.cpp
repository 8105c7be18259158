// The Task Manager: the running processes, and ending the one the user picks.
#include "Unit1.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Processes.h"

void TForm1::BindTaskManHandlers()
{
    Handler("bbtTaskManRefreshClick", &TForm1::bbtTaskManRefreshClick);
    Handler("bbtTaskManKillClick", &TForm1::bbtTaskManKillClick);
    Handler("lvTaskManDblClick", &TForm1::lvTaskManDblClick);
}

namespace {

// The snapshot's file field: a full path on Windows 9x, the bare file name on
// the NT family. Never trusted to be terminated.
std::string ExeFileOf(const PROCESSENTRY32& entry)
{
    return std::string(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile));
}

// What follows the last "\", or the whole text when it holds none.
std::string FileNameOf(const std::string& exeFile)
{
    const size_t slash = exeFile.find_last_of('\\');
    return slash == std::string::npos ? exeFile : exeFile.substr(slash + 1);
}

} // namespace

void TForm1::ScanProcesses()
{
    // Hidden while it is rebuilt; a fresh snapshot each time, nothing of the
    // last list kept. The rows sort themselves by caption once, at EndUpdate.
    lvTaskMan->SetVisible(false);
    TListItems* rows = lvTaskMan->Items();
    rows->Clear();
    rows->BeginUpdate();
    ForEachProcess([rows](const PROCESSENTRY32& entry) {
        const std::string exeFile = ExeFileOf(entry);
        TListItem* row = rows->Add();
        row->SetCaption(FileNameOf(exeFile));
#ifdef Edition98
        row->SubItems->Add(exeFile);
#endif
        char id[16];
        std::snprintf(id, sizeof id, "%lu", static_cast<unsigned long>(entry.th32ProcessID));
        row->SetData(new std::string(id));
    });
    rows->EndUpdate();
    lvTaskMan->SetVisible(true);
}

void TForm1::bbtTaskManRefreshClick(TObject*)
{
    ScanProcesses();
    lvTaskMan->SelectFirst();
    lvTaskMan->SetFocus();
}

void TForm1::bbtTaskManKillClick(TObject*)
{
    // Without exactly one row there is nothing to ask about: not even the
    // focus moves.
    if (lvTaskMan->SelCount() != 1) return;
    TListItem* row = lvTaskMan->Selected();
    if (!row) return;
    // Copied before the question, the row not touched after it: while the box
    // shows, the tray menu can still switch pages and rebuild this list,
    // which frees the row.
    const std::string name = row->GetCaption();
    const std::string id = row->GetData() ? *static_cast<const std::string*>(row->GetData()) : std::string();

    if (ShowMessageDialog("Do you really want to terminate the\n" + name + " process?", "Confirm", MB_YESNO) ==
        IDYES) {
        // A process that cannot be opened or ended is not reported: the new
        // list simply shows it again while it runs.
        if (!id.empty()) TerminateProcessById(static_cast<DWORD>(std::strtoul(id.c_str(), nullptr, 10)));
        ScanProcesses();
        lvTaskMan->SelectFirst();
    }
    lvTaskMan->SetFocus();
}

void TForm1::lvTaskManDblClick(TObject*)
{
    bbtTaskManKillClick(this);
}
