// The shell's special folders (CSIDL_APPDATA, CSIDL_PROFILE, ...).
#pragma once

#include <string>

// The path of a special folder (a CSIDL_ value), "" when the system gives
// none. It comes from SHFOLDER.DLL, loaded when asked: that library is there
// on every system the programs run on, while the shell of Windows 98 has no
// SHGetFolderPathA of its own, so importing it from SHELL32 would keep the
// program from starting there.
std::string ShellFolderPath(int folder);
