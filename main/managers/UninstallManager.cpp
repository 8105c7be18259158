// The Uninstall Manager: the installed programs and their phantom marks.
#include "Unit1.h"

void TForm1::BindUninstallHandlers()
{
    Handler("bbtUninstallRefreshClick", &TForm1::bbtUninstallRefreshClick);
}

void TForm1::bbtUninstallRefreshClick(TObject*)
{
    // The installed-program scan is not built yet: the list stays as stored.
}
