// The main window as the program builds it, and real mouse input on its
// windowless controls.
#pragma once

#include "Unit1.h"

namespace testsupport {

// Creates the main window (FormCreate runs during construction); when show is
// set it is shown as Run shows it, which raises FormActivate once. It is not
// the application's main form: the real program's tray and exit paths are
// tested by starting the program itself.
TForm1* CreateMainWindow(bool show = true);
void FreeMainWindow(TForm1*& form);

// The real cursor over a point of the control, the moves it makes handled.
void CursorAt(TControl* control, int x, int y);
// The real cursor away from every window.
void ParkCursor();
// A left click at (x, y) of the control, as the mouse delivers it to the
// window under it.
void ClickControl(TControl* control, int x = 5, int y = 5);
// Cursor over the control and the idle-time hover check run once.
void HoverControl(TControl* control);
// Cursor away and the hover check run once.
void LeaveControls();

} // namespace testsupport
