// The Task Manager: the running processes.
#include "Unit1.h"

void TForm1::BindTaskManHandlers()
{
    // No handler of this page is built yet.
}

void TForm1::ScanProcesses()
{
    // The process scan is not built yet: the list stays as it is.
}
