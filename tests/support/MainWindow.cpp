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

} // namespace testsupport
