// Stands in for a program that the shell starts (a help viewer, a browser, a
// mail client): it notes how it was started in "<its own path>.txt" beside
// itself and ends. Three lines: the command line as received, the show
// command it was given (STARTF_USESHOWWINDOW) or -1, its current directory.
// The file is written under another name and renamed, so that a reader never
// sees half of it.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH - 8) return 1;
    char done[MAX_PATH + 8], partial[MAX_PATH + 8];
    std::snprintf(done, sizeof done, "%s.txt", self);
    std::snprintf(partial, sizeof partial, "%s.part", self);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);

    FILE* f = std::fopen(partial, "wb");
    if (!f) return 2;
    std::fprintf(f, "%s\n%d\n%s\n", GetCommandLineA(), show, dir);
    std::fclose(f);
    return MoveFileExA(partial, done, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
