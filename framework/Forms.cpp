#include "Forms.h"

namespace {

const char kApplicationClass[] = "TApplication";

LRESULT CALLBACK ApplicationWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

std::string ModuleBaseName()
{
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, n < sizeof path ? n : 0);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

TApplication TheApplication;

} // namespace

TApplication* Application = &TheApplication;

TApplication::TApplication() : FTitle(ModuleBaseName()) {}

TApplication::~TApplication()
{
    if (FHandle) DestroyWindow(FHandle);
}

void TApplication::Initialize()
{
    if (FHandle) return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ApplicationWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.lpszClassName = kApplicationClass;
    RegisterClassA(&wc);
    FHandle = CreateWindowExA(0, kApplicationClass, FTitle.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                              nullptr, nullptr, instance, nullptr);
    if (!FHandle) throw EOutOfResources("Error creating window class");
}

void TApplication::Run()
{
    // No main form yet: nothing to show and no loop to run.
}

void TApplication::SetTitle(const std::string& title)
{
    FTitle = title;
    if (FHandle) SetWindowTextA(FHandle, FTitle.c_str());
}

std::string ExceptionBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

void TApplication::ShowException(const std::string& message)
{
    MessageBoxA(FHandle, ExceptionBoxText(message).c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP);
}
