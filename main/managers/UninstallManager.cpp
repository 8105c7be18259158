// The Uninstall Manager: the installed programs and their phantom marks.
#include "Unit1.h"

void TForm1::bbtUninstallRefreshClick(TObject*)
{
    // The installed-program scan is not built yet: the list stays as stored.
}
