// Holds files open as a program that works on them does: no other opener may
// read, write or delete them until this process ends (with --share-read,
// others may still read them). Sets the named event given first once every
// file is open, then waits to be ended.
// usage: holdfile EVENT [--share-read] PATH...
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 3) return 2;
    int first = 2;
    DWORD share = 0;
    if (std::strcmp(__argv[first], "--share-read") == 0) {
        share = FILE_SHARE_READ;
        ++first;
    }
    for (int i = first; i < __argc; ++i) {
        HANDLE file = CreateFileA(__argv[i], GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 3; // the test sees no event
    }
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[1]);
    if (ready == nullptr) return 4;
    SetEvent(ready);
    Sleep(INFINITE);
    return 0;
}
