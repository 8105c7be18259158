// Ghostprobe: tests whether the uninstall command of every entry of the
// system's Uninstall key can still be started, and leaves one verdict per entry
// under HKEY_LOCAL_MACHINE "\Software\Classes\tarsk\Phantom":
//   "1"  a process could be created from "UninstallString" (and was ended
//        before its first thread ever ran),
//   "0"  "UninstallString" exists but no process could be created from it (it
//        is no string, or names no Windows program or batch file: only those
//        are ever started),
//   "2"  the entry has no "UninstallString".
// Then it ends every process named ntvdm.exe. The main program starts it during
// each scan of the installed programs and reads the verdicts afterwards.
#pragma once

void DetectPhantomEntries();
