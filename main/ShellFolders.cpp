#include "ShellFolders.h"

#include <windows.h>

std::string ShellFolderPath(int folder)
{
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    HMODULE library = LoadLibraryA("SHFOLDER.DLL");
    if (!library) return "";
    std::string path;
    auto get = reinterpret_cast<GetFolderPath>(
        reinterpret_cast<void*>(GetProcAddress(library, "SHGetFolderPathA")));
    char buffer[MAX_PATH] = {};
    if (get && get(nullptr, folder, nullptr, 0, buffer) == S_OK) path = buffer;
    FreeLibrary(library);
    return path;
}
