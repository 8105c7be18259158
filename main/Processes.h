// Process helpers shared by the scans, the uninstall action, the Task Manager
// and Ghostprobe. All of them run on the calling (GUI) thread.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <string>

// Calls visit for each process of a fresh Toolhelp snapshot (TH32CS_SNAPALL)
// except the snapshot's first entry, which is never examined. Does nothing
// when no snapshot can be taken.
void ForEachProcess(const std::function<void(const PROCESSENTRY32& entry)>& visit);

// Starts the command line exactly as given (no application name, handles
// inherited, no creation flags, the caller's environment and folder) and waits
// for the child: its exit code is read at once and then every 500 ms while it
// is STILL_ACTIVE; a failed read ends the wait. No time-out. Meanwhile the
// messages that other programs send to the caller's windows are answered (a
// child that broadcasts a setting change before it ends would otherwise wait
// for the caller for ever), but nothing is taken from the queue and no
// handler of the program runs (TApplication::AnswerSentMessages). Returns
// false when the start failed (nothing to wait for).
bool RunAndWait(const std::string& commandLine);

// Ends the process with that ID with exit code 1; a failure is not reported.
void TerminateProcessById(DWORD processId);
