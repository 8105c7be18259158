// The main window as the program builds it.
#pragma once

#include "GuiSupport.h"
#include "Unit1.h"

namespace testsupport {

// Creates the main window (FormCreate runs during construction); when show is
// set it is shown as Run shows it, which raises FormActivate once. It is not
// the application's main form: the real program's tray and exit paths are
// tested by starting the program itself.
TForm1* CreateMainWindow(bool show = true);
void FreeMainWindow(TForm1*& form);

} // namespace testsupport
