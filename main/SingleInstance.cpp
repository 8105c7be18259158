#include "SingleInstance.h"

#include <windows.h>

bool IsFirstInstance()
{
    // The handle is never closed: the system releases the mutex when the
    // process ends, which is what ends "running".
    CreateMutexA(nullptr, TRUE, "SINGLEINSTANCE_TEST_WRITED_BY_KWEX_20010620");
    return GetLastError() != ERROR_ALREADY_EXISTS;
}

void ActivateRunningInstance()
{
    // Not tested for NULL: a first instance still building its window has no
    // such title yet, and these calls then change nothing.
    HWND h = FindWindowA("TApplication", "Sweepora 2004 Pro");
    // Asked before the activation: activating h makes h its own last active
    // popup, and the open dialog would stay behind.
    HWND popup = GetLastActivePopup(h);
    if (IsIconic(h)) ShowWindow(h, SW_SHOWDEFAULT);
    SetForegroundWindow(h);
    if (popup != h) BringWindowToTop(popup);
}
