#include "TrayIcon.h"

#include <shellapi.h>

#include "Forms.h"
#include "SysUtils.h"

namespace {

const char kTrayWindowClass[] = "TTrayIconWindow";

// The tip of the first notification-area structure holds 63 characters and
// its end; that structure is what every system accepts.
constexpr size_t kTipSize = 64;

bool Matches(TTrayMouseEvent wanted, UINT mouseMessage)
{
    if (wanted == imRightClickUp) return mouseMessage == WM_RBUTTONUP;
    return mouseMessage == WM_LBUTTONDBLCLK || mouseMessage == WM_RBUTTONDBLCLK || mouseMessage == WM_MBUTTONDBLCLK;
}

} // namespace

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner)
{
    FClassName = "TTrayIcon";
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTrayWindowClass;
    RegisterClassA(&wc);
    // A hidden top-level window, not a message-only one: the re-created
    // taskbar's broadcast and the end-of-session messages reach only
    // top-level windows.
    FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, kTrayWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance, nullptr);
    if (!FHandle) throw EOutOfResources("Error creating window");
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

TTrayIcon::~TTrayIcon()
{
    Unhook();
    RemoveIcon();
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
    if (FOwnIcon && FIcon) DestroyIcon(FIcon);
}

void TTrayIcon::Loaded()
{
    TComponent::Loaded();
    if (FVisible && !FAdded) AddIcon();
}

void TTrayIcon::SetVisible(bool value)
{
    if (IsLoading()) {
        FVisible = value;
        return;
    }
    if (value == FVisible) return;
    if (value) {
        AddIcon();
        FVisible = true;
    } else {
        FVisible = false;
        Unhook();
        RemoveIcon();
    }
}

void TTrayIcon::SetHint(const std::string& value)
{
    if (value.size() >= kTipSize) return;
    FHint = value;
    if (FAdded) Notify(NIM_MODIFY);
}

void TTrayIcon::SetIcons(TImageList* value)
{
    FIcons = value;
    UpdateIcon();
}

void TTrayIcon::SetIconIndex(int value)
{
    FIconIndex = value;
    UpdateIcon();
}

void TTrayIcon::UpdateIcon()
{
    if (IsLoading()) return;
    HICON icon = nullptr;
    bool own = false;
    if (FIcons && FIconIndex >= 0 && FIconIndex < FIcons->Count()) {
        icon = ImageList_GetIcon(FIcons->Handle(), FIconIndex, ILD_NORMAL);
        own = icon != nullptr;
    }
    if (!icon) icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
    if (FOwnIcon && FIcon) DestroyIcon(FIcon);
    FIcon = icon;
    FOwnIcon = own;
    if (FAdded) Notify(NIM_MODIFY);
}

bool TTrayIcon::Notify(DWORD action)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = FHandle;
    data.uID = IconID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = FIcon;
    lstrcpynA(data.szTip, FHint.c_str(), static_cast<int>(kTipSize));
    return Shell_NotifyIconA(action, &data) != FALSE;
}

void TTrayIcon::AddIcon()
{
    if (!FIcon) UpdateIcon();
    if (!Notify(NIM_ADD)) throw EOutOfResources("Cannot Create System Shell Notification Icon");
    FAdded = true;
    Hook();
}

void TTrayIcon::RemoveIcon()
{
    if (!FAdded) return;
    FAdded = false;
    Notify(NIM_DELETE);
}

void TTrayIcon::Hook()
{
    if (FHookKey) return;
    FHookKey = Application->HookMainWindow([this](TMessage& message) {
        if (message.Msg != WM_SYSCOMMAND) return false;
        switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            break;
        case SC_RESTORE:
            Restore();
            break;
        default:
            return false;
        }
        message.Result = 0;
        return true;
    });
}

void TTrayIcon::Unhook()
{
    if (!FHookKey) return;
    Application->UnhookMainWindow(FHookKey);
    FHookKey = 0;
}

void TTrayIcon::Minimize()
{
    Application->Minimize();
    if (FHide && Application->Handle()) ShowWindow(Application->Handle(), SW_HIDE);
}

void TTrayIcon::Restore()
{
    Application->Restore();
}

void TTrayIcon::PopupAtCursor()
{
    if (!FPopupMenu) return;
    TCustomForm* form = dynamic_cast<TCustomForm*>(FindControl(GetActiveWindow()));
    if (!form) form = Application->MainForm();
    if (form && form->HandleAllocated()) SetForegroundWindow(form->Handle());
    POINT cursor;
    GetCursorPos(&cursor);
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(cursor.x, cursor.y);
}

void TTrayIcon::MouseEvent(UINT mouseMessage)
{
    if (Matches(FRestoreOn, mouseMessage)) Restore();
    if (Matches(FPopupMenuOn, mouseMessage)) PopupAtCursor();
}

LRESULT TTrayIcon::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TRAYNOTIFY:
        // The shell sends these: while the program waits for another one, a
        // click must not open the menu (and its own message loop) inside that wait.
        if (wParam == IconID && !Application->Waiting()) MouseEvent(static_cast<UINT>(LOWORD(lParam)));
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) RemoveIcon();
        return 0;
    default:
        if (msg == FTaskbarCreated && FTaskbarCreated != 0) {
            // A new taskbar knows nothing of the icon.
            if (FVisible) FAdded = Notify(NIM_ADD);
            return 0;
        }
        return DefWindowProcA(FHandle, msg, wParam, lParam);
    }
}

LRESULT CALLBACK TTrayIcon::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto tray = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!tray) return DefWindowProcA(hwnd, msg, wParam, lParam);
    try {
        return tray->WndProc(msg, wParam, lParam);
    } catch (...) {
        Application->HandleException();
        return 0;
    }
}
