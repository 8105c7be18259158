// Holds one file open, as a running browser holds its index: read and write
// access, shared for reading only, so that nobody can delete or rename it
// while this runs. Creates the file when it is missing. Like a browser it has
// a (hidden) window, so that ending the session ends it; otherwise it runs
// until it is ended. Exits with 1 when the file cannot be opened.
//
// usage: file_holder.exe PATH   (PATH may be quoted)
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    std::string path = commandLine;
    while (!path.empty() && path.back() == ' ') path.pop_back();
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "FileHolder";
    RegisterClassA(&wc);
    CreateWindowA("FileHolder", path.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, instance,
                  nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
