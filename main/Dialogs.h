// The two ways the main window tells and asks: its own message box and the
// system's error text.
#pragma once

#include <windows.h>

#include <string>

// Shows the program's message box of that button-set kind (MB_OK, MB_OKCANCEL,
// MB_YESNOCANCEL, MB_YESNO), owned by the main window; returns IDOK,
// IDCANCEL, IDYES or IDNO (IDCANCEL when closed without a button).
int ShowMessageDialog(const std::string& text, const std::string& caption, int kind);
// The system's text for a Win32 error code, in a plain box titled "GetLastError".
void ShowSystemError(DWORD code);
