// A would-be uninstaller that must never run: if its code ever executes it
// leaves "<its own path>.ran" beside itself.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 8] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(path + n, ".ran");
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    return 0;
}
