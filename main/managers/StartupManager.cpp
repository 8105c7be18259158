// The Startup Manager: the programs Windows starts at log-on.
#include "Unit1.h"

#include "Tpstartupentry.h"

void TForm1::BindStartupHandlers()
{
    Handler("bbtStartupApplyClick", &TForm1::bbtStartupApplyClick);
}

void TForm1::ScanStartupEntries()
{
    // The Startup scan is not built yet: the list stays as it is.
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

void TForm1::bbtStartupApplyClick(TObject*)
{
    // Applying the check marks is not built yet.
}
