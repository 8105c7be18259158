#include "Forms.h"

#include "HintWindow.h"

#include <algorithm>
#include <utility>

namespace {

const char kApplicationClass[] = "TApplication";
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

LRESULT CALLBACK ApplicationWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (Application->Handle() != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
    try {
        return Application->WndProc(msg, wParam, lParam);
    } catch (...) {
        Application->HandleException();
        return 0;
    }
}

bool HidesHint(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
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

struct ThreadWindows {
    HWND Except;
    std::vector<HWND> Disabled;
};

BOOL CALLBACK DisableWindow(HWND hwnd, LPARAM lParam)
{
    auto windows = reinterpret_cast<ThreadWindows*>(lParam);
    if (hwnd != windows->Except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        windows->Disabled.push_back(hwnd);
    }
    return TRUE;
}

} // namespace

TApplication* Application = &TheApplication;

// ---------------------------------------------------------------- TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner)
{
    FClassName = "TForm";
    FVisible = false;
    FColor = clBtnFace;
    FParentFont = false;
    FWidth = 320;
    FHeight = 240;
}

TCustomForm::~TCustomForm()
{
    if (Application->FMainForm == this) Application->FMainForm = nullptr;
    // Owned components go first, the last created first, while the window
    // still stands; then the window with whatever else it holds.
    DestroyComponents();
}

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

void TCustomForm::BeforeDestruction()
{
    DoDestroy();
}

// A form's own events show what they raise in the exception box; the form
// goes on being created, shown or freed.
void TCustomForm::RaiseEvent(const TNotifyEvent& event)
{
    if (!event) return;
    try {
        event(this);
    } catch (...) {
        Application->HandleException();
    }
}

void TCustomForm::DoCreate()
{
    RaiseEvent(OnCreate);
}

void TCustomForm::DoActivate()
{
    RaiseEvent(OnActivate);
}

void TCustomForm::DoDestroy()
{
    RaiseEvent(OnDestroy);
}

const THandlerBase* TCustomForm::FindHandler(const std::string& name) const
{
    for (const HandlerEntry& h : FHandlers)
        if (SameText(h.Name, name)) return h.Value.get();
    return nullptr;
}

void TCustomForm::FrameStyle(DWORD& style, DWORD& exStyle) const
{
    style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    exStyle = 0;
    if (FBorderStyle == bsSizeable)
        style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    FrameStyle(params.Style, params.ExStyle);
    if (!FEnabled) params.Style |= WS_DISABLED;
    // Owned by the application window, as every form of the program is.
    params.Parent = Application->Handle();
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyIcon();
}

void TCustomForm::SetIconResource(const std::string& name)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto load = [&](const char* resource, int size) {
        return static_cast<HICON>(LoadImageA(instance, resource, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    };
    int bigSize = GetSystemMetrics(SM_CXICON);
    int smallSize = GetSystemMetrics(SM_CXSMICON);
    HICON iconBig = load(name.c_str(), bigSize);
    HICON iconSmall = load(name.c_str(), smallSize);
    if (!iconBig) iconBig = load("MAINICON", bigSize);
    if (!iconSmall) iconSmall = load("MAINICON", smallSize);
    // Resource icons are shared: nothing to free.
    FIconBig = iconBig;
    FIconSmall = iconSmall;
    ApplyIcon();
}

void TCustomForm::ApplyIcon()
{
    if (!FHandle) return;
    if (FIconBig) SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIconBig));
    if (FIconSmall) SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIconSmall));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    if (value == FBorderStyle) return;
    int clientWidth = ClientWidth();
    int clientHeight = ClientHeight();
    FBorderStyle = value;
    if (FHandle) {
        DWORD style, exStyle;
        FrameStyle(style, exStyle);
        if (FVisible) style |= WS_VISIBLE;
        SetWindowLongPtrA(FHandle, GWL_STYLE, static_cast<LONG_PTR>(style));
        SetWindowLongPtrA(FHandle, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    SetClientWidth(clientWidth);
    SetClientHeight(clientHeight);
}

RECT TCustomForm::ClientRect() const
{
    if (FHandle) return TWinControl::ClientRect();
    DWORD style, exStyle;
    FrameStyle(style, exStyle);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int width = FWidth - (frame.right - frame.left);
    int height = FHeight - (frame.bottom - frame.top);
    return RECT{0, 0, width > 0 ? width : 0, height > 0 ? height : 0};
}

void TCustomForm::SetClientWidth(int value)
{
    SetWidth(FWidth - ClientWidth() + value);
}

void TCustomForm::SetClientHeight(int value)
{
    SetHeight(FHeight - ClientHeight() + value);
}

void TCustomForm::ApplyPosition()
{
    RECT area{0, 0, 0, 0};
    switch (FPosition) {
    case poDesktopCenter: {
        int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
        int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        area = RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        break;
    }
    case poOwnerFormCenter: {
        TCustomForm* center = dynamic_cast<TCustomForm*>(GetOwner());
        if (!center) center = Application->MainForm();
        if (center && center != this)
            area = center->BoundsRect();
        else
            area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        break;
    }
    default:
        return;
    }
    int left = area.left + (area.right - area.left - FWidth) / 2;
    int top = area.top + (area.bottom - area.top - FHeight) / 2;
    SetBounds(left, top, FWidth, FHeight);
}

void TCustomForm::SetVisible(bool value)
{
    if (value == FVisible) return;
    if (value) {
        HandleNeeded();
        ApplyPosition();
        FVisible = true;
        ShowWindow(FHandle, SW_SHOW);
        SetForegroundWindow(FHandle);
        // The activation event of a showing: it runs before the first paint.
        Perform(CM_ACTIVATE, 0, 0);
        HWND focus = GetFocus();
        if (FVisible && FHandle && (!focus || !IsChild(FHandle, focus))) SelectFirst();
    } else {
        FVisible = false;
        if (FHandle) ShowWindow(FHandle, SW_HIDE);
    }
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (FModal) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    if (Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
}

int TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FModal) throw EInvalidOperation("Cannot make a visible window modal");
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    HandleNeeded();
    HWND previous = GetActiveWindow();
    ThreadWindows windows{FHandle, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&windows));
    FModal = true;
    ModalResult = mrNone;
    // Whatever ends the loop, the other windows come back and the form goes.
    struct Restore {
        TCustomForm* Form;
        ThreadWindows& Windows;
        HWND Previous;
        ~Restore()
        {
            for (HWND h : Windows.Disabled)
                if (IsWindow(h)) EnableWindow(h, TRUE);
            Form->Hide();
            if (Previous && IsWindow(Previous)) SetActiveWindow(Previous);
            Form->FModal = false;
        }
    } restore{this, windows, previous};
    Show();
    for (;;) {
        if (Application->Terminated()) ModalResult = mrCancel;
        if (ModalResult != mrNone) {
            if (Application->Terminated() || CloseQuery()) break;
            ModalResult = mrNone;
        }
        Application->HandleMessage();
    }
    return ModalResult;
}

namespace {

void AddTabOrder(const TWinControl* parent, std::vector<TWinControl*>& list)
{
    std::vector<std::pair<int, TWinControl*>> children;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child) continue;
        const int place = static_cast<int>(children.size());
        children.emplace_back(child->TabOrder >= 0 ? child->TabOrder : place, child);
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& child : children) {
        list.push_back(child.second);
        AddTabOrder(child.second, list);
    }
}

} // namespace

std::vector<TWinControl*> TCustomForm::TabOrderList() const
{
    std::vector<TWinControl*> list;
    AddTabOrder(this, list);
    return list;
}

void TCustomForm::SelectNext(TWinControl* current, bool forward)
{
    const std::vector<TWinControl*> list = TabOrderList();
    const int count = static_cast<int>(list.size());
    if (count == 0) return;
    int start = -1;
    for (int i = 0; i < count; ++i)
        if (list[static_cast<size_t>(i)] == current) start = i;
    // Without a current control the first candidate is the first (or last).
    if (start < 0) start = forward ? count - 1 : 0;
    for (int step = 1; step <= count; ++step) {
        int i = ((start + (forward ? step : -step)) % count + count) % count;
        TWinControl* candidate = list[static_cast<size_t>(i)];
        if (candidate->TabStop && candidate->CanFocus()) {
            if (candidate != current) candidate->SetFocus();
            return;
        }
    }
}

void TCustomForm::SelectFirst()
{
    SelectNext(nullptr, true);
}

void TCustomForm::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_DIALOGKEY:
        if (CharCode(message) == VK_TAB && !(KeyDataToShiftState(KeyData(message)) & (ssCtrl | ssAlt))) {
            HWND focus = GetFocus();
            auto* current = dynamic_cast<TWinControl*>(FindControl(focus));
            SelectNext(current, !(KeyDataToShiftState(KeyData(message)) & ssShift));
            message.Result = 1;
            return;
        }
        TWinControl::Dispatch(message);
        return;
    case WM_CLOSE:
        Close();
        message.Result = 0;
        return;
    case CM_ACTIVATE:
        DoActivate();
        return;
    case WM_SYSCOLORCHANGE:
        DefaultHandler(message);
        Perform(CM_SYSCOLORCHANGE, 0, 0);
        return;
    case WM_SYSCOMMAND:
        // Minimising the main form minimises the application, so that the
        // application window's hooks (the tray icon) see it.
        if ((message.WParam & 0xFFF0) == SC_MINIMIZE && Application->MainForm() == this && Application->Handle()) {
            message.Result = SendMessageA(Application->Handle(), WM_SYSCOMMAND, message.WParam, message.LParam);
            return;
        }
        DefaultHandler(message);
        return;
    default:
        TWinControl::Dispatch(message);
    }
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication() : TComponent(nullptr), FTitle(ModuleBaseName())
{
    FClassName = "TApplication";
}

TApplication::~TApplication()
{
    // The forms first: their windows are owned by the application window.
    FHintWindow = nullptr; // one of the components
    DestroyComponents();
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

void TApplication::FormCreated(TCustomForm* form)
{
    if (!FMainForm) {
        form->HandleNeeded();
        FMainForm = form;
    }
}

void TApplication::Run()
{
    if (!FMainForm) return;
    FTerminated = false;
    try {
        // The application window is the program's taskbar button (it has no
        // size, so nothing of it shows on the desktop).
        ShowWindow(FHandle, SW_SHOWNORMAL);
        FMainForm->Show();
    } catch (...) {
        HandleException();
    }
    while (!FTerminated) HandleMessage();
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return false;
    }
    if (HidesHint(msg.message)) HideHint();
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TApplication::HandleMessage()
{
    try {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ProcessMessage(msg);
        } else {
            DoIdle();
            if (!FTerminated) WaitMessage();
        }
    } catch (...) {
        HandleException();
    }
}

void TApplication::ProcessMessages()
{
    try {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!ProcessMessage(msg)) break;
    } catch (...) {
        HandleException();
    }
}

void TApplication::AnswerSentMessages(DWORD milliseconds)
{
    ++FWaits;
    struct Done {
        int& Waits;
        ~Done() { --Waits; }
    } done{FWaits};
    const DWORD start = GetTickCount();
    for (;;) {
        // Every message sent meanwhile reaches its window procedure here; the
        // filter takes nothing from the queue.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_SENDMESSAGE);
    }
}

bool ApplicationWaiting()
{
    return Application->Waiting();
}

void TApplication::DoIdle()
{
    try {
        CheckMouseControl();
        HintMouseCheck();
    } catch (...) {
        HandleException();
    }
}

int TApplication::HookMainWindow(TWindowHook hook)
{
    int key = FNextHookKey++;
    FHooks.push_back(HookEntry{key, std::move(hook)});
    return key;
}

void TApplication::UnhookMainWindow(int key)
{
    for (auto it = FHooks.begin(); it != FHooks.end(); ++it)
        if (it->Key == key) {
            FHooks.erase(it);
            return;
        }
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    // A copy: a hook may unhook itself or others.
    std::vector<HookEntry> hooks = FHooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
        if (it->Hook(message)) return message.Result;
    switch (msg) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            return 0;
        case SC_RESTORE:
            Restore();
            return 0;
        default:
            break;
        }
        break;
    case WM_TIMER:
        if (wParam == kHintShowTimer || wParam == kHintHideTimer) {
            HintTimerExpired(wParam);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(FHandle, msg, wParam, lParam);
}

void TApplication::Minimize()
{
    CancelHint();
    if (FHandle) ShowWindow(FHandle, SW_MINIMIZE);
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_HIDE);
}

void TApplication::Restore()
{
    if (FHandle) ShowWindow(FHandle, SW_RESTORE);
    HWND front = FHandle;
    if (FMainForm && FMainForm->GetVisible()) {
        front = FMainForm->Handle();
        ShowWindow(front, SW_SHOW);
    }
    if (front) SetForegroundWindow(front);
}

// ------------------------------------------------------------------ hints

void TApplication::HintMouseCheck()
{
    TControl* control = GetMouseControl();
    if (control == FHintControl) return;
    CancelHint();
    FHintControl = control;
    if (!control || !ShowHint || !FHandle || !control->GetShowHint() || GetShortHint(control->GetHint()).empty())
        return;
    SetTimer(FHandle, kHintShowTimer, static_cast<UINT>(HintPause > 0 ? HintPause : 1), nullptr);
}

void TApplication::HintTimerExpired(UINT_PTR timer)
{
    KillTimer(FHandle, timer);
    if (timer == kHintHideTimer) {
        HideHint();
        return;
    }
    TControl* control = GetMouseControl();
    if (!control || control != FHintControl || !control->IsShowing()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    if (FindDragTarget(cursor, true) != control) return;
    std::string text = GetShortHint(control->GetHint());
    if (text.empty()) return;
    if (!FHintWindow) FHintWindow = new THintWindow(this);
    FHintWindow->ActivateHint(cursor, text);
    if (HintHidePause > 0) SetTimer(FHandle, kHintHideTimer, static_cast<UINT>(HintHidePause), nullptr);
}

void TApplication::HideHint()
{
    if (!FHandle) return;
    KillTimer(FHandle, kHintShowTimer);
    KillTimer(FHandle, kHintHideTimer);
    if (FHintWindow) FHintWindow->ReleaseHint();
}

void TApplication::CancelHint()
{
    HideHint();
    FHintControl = nullptr;
}

void TApplication::Terminate()
{
    PostQuitMessage(0);
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

void TApplication::HandleException()
{
    try {
        throw;
    } catch (const Exception& e) {
        ShowException(e.Message);
    } catch (const std::exception& e) {
        ShowException(std::string(e.what()));
    } catch (...) {
        ShowException(std::string("Unknown exception"));
    }
}
