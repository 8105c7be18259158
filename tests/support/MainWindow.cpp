#include "MainWindow.h"

#include "GuiSupport.h"

namespace testsupport {

TForm1* CreateMainWindow(bool show)
{
    Application->Initialize();
    TForm1* form = new TForm1(Application);
    Form1 = form;
    if (show) {
        form->Show();
        PumpPending();
    }
    return form;
}

void FreeMainWindow(TForm1*& form)
{
    if (!form) return;
    form->Free();
    if (Form1 == form) Form1 = nullptr;
    form = nullptr;
}

void CursorAt(TControl* control, int x, int y)
{
    POINT p = control->ClientToScreen(POINT{x, y});
    SetCursorPos(p.x, p.y);
    PumpPending();
}

void ParkCursor()
{
    SetCursorPos(1270, 1015);
    PumpPending();
}

void ClickControl(TControl* control, int x, int y)
{
    CursorAt(control, x, y);
    auto* win = dynamic_cast<TWinControl*>(control);
    HWND target = win ? win->Handle() : control->GetParent()->Handle();
    int px = win ? x : control->GetLeft() + x;
    int py = win ? y : control->GetTop() + y;
    SendMouse(target, WM_LBUTTONDOWN, px, py, MK_LBUTTON);
    SendMouse(target, WM_LBUTTONUP, px, py, 0);
    PumpPending();
}

void HoverControl(TControl* control)
{
    CursorAt(control, 5, 5);
    Application->DoIdle();
}

void LeaveControls()
{
    ParkCursor();
    Application->DoIdle();
}

} // namespace testsupport
