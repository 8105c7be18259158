// The program's entry: one instance at a time, the main window, the loop.
#include <windows.h>

#include "Forms.h"
#include "SingleInstance.h"
#include "Unit1.h"
#include "dialogs/PrivacyConfirmForm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        Application->Initialize();
        Application->SetTitle("Sweepora");
        if (!IsFirstInstance()) {
            ActivateRunningInstance();
            return 0;
        }
        Application->CreateForm(Form1);
        // The title a second instance looks for: set once the window exists.
        Application->SetTitle("Sweepora 2004 Pro");
        // Made hidden now; the cleanup shows one of its own each time it asks.
        Application->CreateForm(fmPrivacyConfirm);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
