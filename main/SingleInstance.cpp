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
    if (IsIconic(h)) ShowWindow(h, SW_SHOWDEFAULT);
    SetForegroundWindow(h);
    HWND popup = GetLastActivePopup(h);
    if (popup != h) BringWindowToTop(popup);
}
