// One running instance at a time: the second start brings the first forward.
#pragma once

// Creates the single-instance mutex (kept for the life of the process); false
// exactly when a mutex of that name existed already.
bool IsFirstInstance();
// Brings the running instance's application window, and an open dialog of it,
// to the front.
void ActivateRunningInstance();
