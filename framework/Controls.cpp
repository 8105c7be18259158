#include "Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"

namespace {

// The window property that links one of our windows to its control.
const char kControlProp[] = "SweeporaControl";

TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;

bool IsWindowed(const TControl* control)
{
    return dynamic_cast<const TWinControl*>(control) != nullptr;
}

TShiftState MouseShiftState(WPARAM keys)
{
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

bool IsMouseMessage(UINT msg)
{
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

// The window whose client area shows a control: its own, or its parent's.
HWND PaintWindowOf(const TControl* control)
{
    if (auto win = dynamic_cast<const TWinControl*>(control)) {
        return win->HandleAllocated() ? const_cast<TWinControl*>(win)->Handle() : nullptr;
    }
    TWinControl* parent = control->GetParent();
    return parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
}

LPCSTR CursorResource(TCursor cursor)
{
    return cursor == crHandPoint ? IDC_HAND : IDC_ARROW;
}

// Restores a DC saved on construction, also when painting throws.
struct SavedDC {
    HDC DC;
    int State;
    explicit SavedDC(HDC dc) : DC(dc), State(SaveDC(dc)) {}
    ~SavedDC() { RestoreDC(DC, State); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
};

} // namespace

TShiftState KeyDataToShiftState(LPARAM keyData)
{
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (keyData & 0x20000000) shift |= ssAlt;
    return shift;
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    FClassName = "TControl";
    FFont.OnChange = [this] { FontChanged(); };
}

TControl::~TControl()
{
    if (gMouseControl == this) gMouseControl = nullptr;
    if (gCaptureControl == this) SetCaptureControl(nullptr);
    if (FParent) {
        if (!IsWindowed(this)) Invalidate();
        FParent->RemoveControl(this);
    }
}

void TControl::FontChanged()
{
    if (!FTakingParentFont) FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == FParent) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) {
        if (!IsWindowed(this)) Invalidate();
        TWinControl* old = FParent;
        old->RemoveControl(this);
        old->AlignControls();
    }
    if (parent) {
        parent->InsertControl(this);
        if (FParentFont) TakeParentFont();
        if (FParentColor) TakeParentColor();
        if (!IsWindowed(this)) Invalidate();
        RequestAlign();
    }
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    bool sized = width != FWidth || height != FHeight;
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Invalidate();
    if (sized) Resize();
    RequestAlign();
}

void TControl::SetVisible(bool value)
{
    if (value == FVisible) return;
    FVisible = value;
    Perform(CM_VISIBLECHANGED, value, 0);
    RequestAlign();
}

void TControl::SetEnabled(bool value)
{
    if (value == FEnabled) return;
    FEnabled = value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetCaption(const std::string& value)
{
    if (value == FCaption) return;
    FCaption = value;
    if (auto win = dynamic_cast<TWinControl*>(this))
        if (win->HandleAllocated()) SetWindowTextA(win->Handle(), FCaption.c_str());
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetColor(TColor value)
{
    if (value == FColor && !FParentColor) return;
    FColor = value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value)
{
    FParentColor = value;
    if (value) TakeParentColor();
}

void TControl::SetParentFont(bool value)
{
    FParentFont = value;
    if (value) TakeParentFont();
}

void TControl::TakeParentFont()
{
    if (!FParent) return;
    FTakingParentFont = true;
    FFont.Assign(*FParent->GetFont());
    FTakingParentFont = false;
}

void TControl::TakeParentColor()
{
    if (!FParent) return;
    FColor = FParent->GetColor();
    Perform(CM_COLORCHANGED, 0, 0);
}

bool TControl::GetShowHint() const
{
    if (FParentShowHint && FParent) return FParent->GetShowHint();
    return FShowHint;
}

void TControl::SetShowHint(bool value)
{
    FShowHint = value;
    FParentShowHint = false;
}

void TControl::SetAlign(TAlign value)
{
    if (value == FAlign) return;
    FAlign = value;
    RequestAlign();
}

void TControl::RequestAlign()
{
    if (FParent && !FParent->IsLoading()) FParent->AlignControls();
}

void TControl::Invalidate()
{
    HWND window = PaintWindowOf(this);
    if (!window) return;
    RECT r = BoundsRect();
    InvalidateRect(window, &r, (ControlStyle & csOpaque) ? FALSE : TRUE);
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::Update()
{
    if (FParent) FParent->Update();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message)
{
    Dispatch(message);
}

void TControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        DefaultHandler(message);
        HandleMouseDown(message, mbLeft, 0);
        return;
    case WM_RBUTTONDOWN:
        DefaultHandler(message);
        HandleMouseDown(message, mbRight, 0);
        return;
    case WM_MBUTTONDOWN:
        DefaultHandler(message);
        HandleMouseDown(message, mbMiddle, 0);
        return;
    case WM_LBUTTONDBLCLK:
        DefaultHandler(message);
        if (ControlStyle & csDoubleClicks) {
            // A double click fires OnDblClick and a press flagged ssDouble; it
            // does not arm the click, so its release fires no OnClick.
            if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
            if (ControlStyle & csClickEvents) DblClick();
            MouseDown(mbLeft, MouseShiftState(message.WParam) | ssDouble, GET_X_LPARAM(message.LParam),
                      GET_Y_LPARAM(message.LParam));
        } else {
            HandleMouseDown(message, mbLeft, 0);
        }
        return;
    case WM_RBUTTONDBLCLK:
        DefaultHandler(message);
        HandleMouseDown(message, mbRight, ssDouble);
        return;
    case WM_MBUTTONDBLCLK:
        DefaultHandler(message);
        HandleMouseDown(message, mbMiddle, ssDouble);
        return;
    case WM_LBUTTONUP:
        DefaultHandler(message);
        HandleMouseUp(message, mbLeft);
        return;
    case WM_RBUTTONUP:
        DefaultHandler(message);
        HandleMouseUp(message, mbRight);
        return;
    case WM_MBUTTONUP:
        DefaultHandler(message);
        HandleMouseUp(message, mbMiddle);
        return;
    case WM_MOUSEMOVE:
        DefaultHandler(message);
        MouseMove(MouseShiftState(message.WParam), GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
        return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    case CM_PARENTFONTCHANGED:
        if (FParentFont) TakeParentFont();
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor) TakeParentColor();
        return;
    default:
        DefaultHandler(message);
    }
}

void TControl::DefaultHandler(TMessage& message)
{
    message.Result = 0;
}

void TControl::HandleMouseDown(TMessage& message, TMouseButton button, TShiftState extra)
{
    if (button == mbLeft) {
        if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
        if (ControlStyle & csClickEvents) FClicked = true;
    }
    MouseDown(button, MouseShiftState(message.WParam) | extra, GET_X_LPARAM(message.LParam),
              GET_Y_LPARAM(message.LParam));
}

void TControl::HandleMouseUp(TMessage& message, TMouseButton button)
{
    int x = GET_X_LPARAM(message.LParam);
    int y = GET_Y_LPARAM(message.LParam);
    if (button == mbLeft) {
        if (ControlStyle & csCaptureMouse) SetMouseCapture(false);
        if (FClicked) {
            FClicked = false;
            RECT client = ClientRect();
            POINT p{x, y};
            if (PtInRect(&client, p)) Click();
        }
    }
    MouseUp(button, MouseShiftState(message.WParam), x, y);
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize()
{
    if (!IsLoading() && OnResize) OnResize(this);
}

void TControl::Loaded()
{
    TComponent::Loaded();
}

void TControl::BringToFront()
{
    if (!FParent) return;
    auto& siblings = FParent->FControls;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end()) {
        siblings.erase(it);
        siblings.push_back(this);
    }
    if (auto* win = dynamic_cast<TWinControl*>(this)) {
        if (win->FHandle)
            SetWindowPos(win->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    Invalidate();
}

void TControl::SetMouseCapture(bool value)
{
    if (value)
        SetCaptureControl(this);
    else if (GetCaptureControl() == this)
        SetCaptureControl(nullptr);
}

POINT TControl::ClientToScreen(POINT point) const
{
    if (auto win = dynamic_cast<const TWinControl*>(this)) {
        ::ClientToScreen(const_cast<TWinControl*>(win)->Handle(), &point);
        return point;
    }
    if (!FParent) return point;
    point.x += FLeft;
    point.y += FTop;
    return FParent->ClientToScreen(point);
}

POINT TControl::ScreenToClient(POINT point) const
{
    if (auto win = dynamic_cast<const TWinControl*>(this)) {
        ::ScreenToClient(const_cast<TWinControl*>(win)->Handle(), &point);
        return point;
    }
    if (!FParent) return point;
    point = FParent->ScreenToClient(point);
    point.x -= FLeft;
    point.y -= FTop;
    return point;
}

bool TControl::IsShowing() const
{
    const TControl* c = this;
    while (c) {
        if (!c->FVisible) return false;
        if (!c->FParent) {
            auto win = dynamic_cast<const TWinControl*>(c);
            return win && win->HandleAllocated() && IsWindowVisible(const_cast<TWinControl*>(win)->Handle());
        }
        c = c->FParent;
    }
    return false;
}

// --------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner)
{
    FClassName = "TGraphicControl";
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc, int x, int y)
{
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    IntersectClipRect(dc, 0, 0, FWidth, FHeight);
    FCanvas.Handle = dc;
    try {
        Paint();
    } catch (...) {
        FCanvas.Handle = nullptr;
        throw;
    }
    FCanvas.Handle = nullptr;
}

void TGraphicControl::Dispatch(TMessage& message)
{
    TControl::Dispatch(message);
}

// ------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner)
{
    FClassName = "TWinControl";
}

TWinControl::~TWinControl()
{
    // Children go first, each leaving the list as it goes; then the window,
    // unlinked before it is destroyed so that no message reaches a half-gone
    // object.
    while (!FControls.empty()) {
        TControl* last = FControls.back();
        last->Free();
        if (!FControls.empty() && FControls.back() == last) FControls.pop_back();
    }
    DestroyHandle();
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded()
{
    if (FHandle) return;
    if (FParent) FParent->HandleNeeded();
    if (!FHandle) CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = FCaption;
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (FVisible) params.Style |= WS_VISIBLE;
    if (!FEnabled) params.Style |= WS_DISABLED;
    params.X = FLeft;
    params.Y = FTop;
    params.Width = FWidth;
    params.Height = FHeight;
    params.Parent = FParent ? FParent->FHandle : nullptr;
    params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.Parent)
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const char* className = params.SystemClass;
    if (!className) {
        className = params.WinClassName.c_str();
        WNDCLASSA existing;
        if (!GetClassInfoA(instance, className, &existing)) {
            WNDCLASSA wc = {};
            wc.style = params.ClassStyle;
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            wc.lpszClassName = className;
            if (!RegisterClassA(&wc)) throw EOutOfResources("Error creating window class");
        }
    }
    HWND hwnd = CreateWindowExA(params.ExStyle, className, params.Caption.c_str(), params.Style, params.X, params.Y,
                                params.Width, params.Height, params.Parent, nullptr, instance, this);
    if (!hwnd) throw EOutOfResources("Error creating window");
    if (params.SystemClass) {
        FHandle = hwnd;
        SetPropA(hwnd, kControlProp, static_cast<HANDLE>(this));
        FDefWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::WindowProc)));
    }
    if (FParent && (params.Style & WS_CHILD)) {
        // Sibling windows lie in their parent's order, a later one over an
        // earlier one, as graphic children are painted. The system puts a new
        // child under all its siblings: it goes just under the first later
        // sibling that has a window, else on top.
        HWND above = HWND_TOP;
        const std::vector<TControl*>& siblings = FParent->FControls;
        auto self = std::find(siblings.begin(), siblings.end(), this);
        for (auto it = self == siblings.end() ? self : self + 1; it != siblings.end(); ++it) {
            auto win = dynamic_cast<TWinControl*>(*it);
            if (win && win->FHandle) {
                above = win->FHandle;
                break;
            }
        }
        SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (TControl* child : FControls)
        if (auto win = dynamic_cast<TWinControl*>(child)) win->HandleNeeded();
}

void TWinControl::DestroyHandle()
{
    if (!FHandle) return;
    HWND hwnd = FHandle;
    if (FDefWndProc != DefWindowProcA)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
    RemovePropA(hwnd, kControlProp);
    FHandle = nullptr;
    FDefWndProc = DefWindowProcA;
    // The child windows go with it; their controls learn it from WM_NCDESTROY.
    DestroyWindow(hwnd);
}

LRESULT CALLBACK TWinControl::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* control;
    if (msg == WM_NCCREATE) {
        auto create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        control = static_cast<TWinControl*>(create->lpCreateParams);
        if (control) {
            SetPropA(hwnd, kControlProp, static_cast<HANDLE>(control));
            control->FHandle = hwnd;
        }
    } else {
        control = static_cast<TWinControl*>(GetPropA(hwnd, kControlProp));
    }
    if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    // No exception may unwind through the system's frames: the application
    // shows it and the program goes on.
    try {
        control->WndProc(message);
    } catch (...) {
        message.Result = 0;
        Application->HandleException();
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kControlProp);
        if (control->FHandle == hwnd) {
            control->FHandle = nullptr;
            control->FDefWndProc = DefWindowProcA;
        }
    }
    return message.Result;
}

void TWinControl::WndProc(TMessage& message)
{
    if (IsMouseMessage(message.Msg)) {
        if (RouteMouseToChild(message)) return;
    } else {
        switch (message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
            if (HandleKeyboard(message)) return;
            break;
        default:
            break;
        }
    }
    TControl::WndProc(message);
}

bool TWinControl::RouteMouseToChild(TMessage& message)
{
    TControl* target = nullptr;
    TControl* capture = GetCaptureControl();
    POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    if (capture) {
        if (capture->FParent == this && !IsWindowed(capture)) target = capture;
    } else {
        target = ControlAtPos(point, false);
    }
    if (!target) return false;
    TMessage routed = message;
    routed.LParam = MAKELPARAM(point.x - target->FLeft, point.y - target->FTop);
    target->WndProc(routed);
    message.Result = routed.Result;
    return true;
}

bool TWinControl::HandleKeyboard(TMessage& message)
{
    // What the window's own class wants to see itself (an edit its
    // characters, a multi-line edit its Return).
    auto dialogCode = [&]() -> LRESULT {
        if (FDefWndProc == DefWindowProcA || !FHandle) return 0;
        return CallWindowProcA(FDefWndProc, FHandle, WM_GETDLGCODE, message.WParam, 0);
    };
    switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(message.WParam);
        KeyDown(key, KeyDataToShiftState(message.LParam));
        if (key == 0) return true;
        message.WParam = key;
        if (((key == VK_RETURN || key == VK_ESCAPE) && !(dialogCode() & DLGC_WANTALLKEYS)) ||
            (key == VK_TAB && !(dialogCode() & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))) {
            TCustomForm* form = GetParentForm(this);
            if (form && form->Perform(CM_DIALOGKEY, key, message.LParam) != 0) return true;
        }
        return false;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(message.WParam);
        KeyUp(key, KeyDataToShiftState(message.LParam));
        if (key == 0) return true;
        message.WParam = key;
        return false;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
        char ch = static_cast<char>(message.WParam);
        // The character of a Tab that moved the focus: the key was the form's.
        if (message.Msg == WM_CHAR && ch == '\t' && !(dialogCode() & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) return true;
        if (message.Msg == WM_CHAR) {
            KeyPress(ch);
            if (ch == 0) return true;
            message.WParam = static_cast<unsigned char>(ch);
            if (dialogCode() & DLGC_WANTCHARS) return false;
        }
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(ch), message.LParam) != 0) return true;
        return false;
    }
    default:
        return false;
    }
}

void TWinControl::KeyDown(WORD& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key)
{
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::HandleSetCursor(TMessage& message)
{
    if (LOWORD(message.LParam) == HTCLIENT && reinterpret_cast<HWND>(message.WParam) == FHandle) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(FHandle, &p);
        TControl* capture = GetCaptureControl();
        TControl* child = capture && capture->FParent == this ? capture : ControlAtPos(p, false);
        TCursor cursor = child ? child->FCursor : crDefault;
        if (cursor == crDefault) cursor = FCursor;
        if (cursor != crDefault) {
            ::SetCursor(LoadCursorA(nullptr, CursorResource(cursor)));
            message.Result = 1;
            return;
        }
    }
    DefaultHandler(message);
}

void TWinControl::Dispatch(TMessage& message)
{
    // A system class ("EDIT", "BUTTON", a list view) paints itself.
    if (FDefWndProc != DefWindowProcA &&
        (message.Msg == WM_PAINT || message.Msg == WM_PRINTCLIENT || message.Msg == WM_ERASEBKGND)) {
        DefaultHandler(message);
        return;
    }
    switch (message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(FHandle, &ps);
        struct EndGuard {
            HWND Window;
            PAINTSTRUCT* Paint;
            ~EndGuard() { EndPaint(Window, Paint); }
        } guard{FHandle, &ps};
        PaintHandler(dc);
        message.Result = 0;
        return;
    }
    case WM_PRINTCLIENT:
        PaintHandler(reinterpret_cast<HDC>(message.WParam));
        return;
    case WM_ERASEBKGND:
        // WM_PAINT paints the background with everything else.
        message.Result = 1;
        return;
    case WM_SIZE:
    case WM_MOVE:
        DefaultHandler(message);
        UpdateBoundsFromWindow();
        return;
    case WM_SETCURSOR:
        HandleSetCursor(message);
        return;
    case WM_CAPTURECHANGED:
        if (gCaptureControl && reinterpret_cast<HWND>(message.LParam) != FHandle &&
            (gCaptureControl == this || gCaptureControl->FParent == this))
            gCaptureControl = nullptr;
        DefaultHandler(message);
        return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (!ReflectToChild(message)) DefaultHandler(message);
        return;
    case WM_CONTEXTMENU:
        if (!ShowPopupMenu(message)) DefaultHandler(message);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        Broadcast(message);
        return;
    case CM_SYSCOLORCHANGE:
        Invalidate();
        Broadcast(message);
        return;
    case CM_COLORCHANGED: {
        Invalidate();
        TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
        Broadcast(m);
        return;
    }
    case CM_FONTCHANGED: {
        Invalidate();
        TMessage m{CM_PARENTFONTCHANGED, 0, 0, 0};
        Broadcast(m);
        return;
    }
    default:
        TControl::Dispatch(message);
    }
}

bool TWinControl::ReflectToChild(TMessage& message)
{
    HWND child = nullptr;
    if (message.Msg == WM_NOTIFY)
        child = reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom;
    else
        child = reinterpret_cast<HWND>(message.LParam); // menus and accelerators send none
    if (!child || child == FHandle) return false;
    TControl* control = FindControl(child);
    if (!control || control->FParent != this) return false;
    message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    // A colour request that the child leaves unanswered gets the system's colours.
    if (message.Result == 0 && message.Msg != WM_COMMAND && message.Msg != WM_NOTIFY) return false;
    return true;
}

bool TWinControl::ShowPopupMenu(TMessage& message)
{
    POINT screen{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    bool fromKeyboard = message.LParam == -1;
    TControl* target = this;
    if (!fromKeyboard) {
        POINT client = screen;
        ::ScreenToClient(FHandle, &client);
        if (TControl* child = ControlAtPos(client, false))
            if (child->FPopupMenu) target = child;
    }
    auto menu = dynamic_cast<TPopupMenu*>(target->FPopupMenu);
    if (!menu) return false;
    if (fromKeyboard) screen = target->ClientToScreen(POINT{0, 0});
    menu->SetPopupComponent(target);
    menu->Popup(screen.x, screen.y);
    message.Result = 1;
    return true;
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (!FHandle) {
        message.Result = 0;
        return;
    }
    message.Result = CallWindowProcA(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::PaintWindow(TCanvas& canvas)
{
    canvas.Brush.Color = FColor;
    canvas.Brush.Style = bsSolid;
    RECT r = ClientRect();
    canvas.FillRect(r);
}

void TWinControl::PaintHandler(HDC dc)
{
    if (FDefWndProc != DefWindowProcA && FHandle) {
        CallWindowProcA(FDefWndProc, FHandle, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                        PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        return;
    }
    {
        SavedDC saved(dc);
        TCanvas canvas;
        canvas.Handle = dc;
        PaintWindow(canvas);
    }
    PaintControls(dc);
}

void TWinControl::PaintControls(HDC dc)
{
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) return;
    // Children are painted in their order: a later one covers an earlier one.
    for (TControl* child : FControls) {
        auto graphic = dynamic_cast<TGraphicControl*>(child);
        if (!graphic || !graphic->FVisible) continue;
        RECT bounds = graphic->BoundsRect();
        RECT overlap;
        if (!IntersectRect(&overlap, &bounds, &clip)) continue;
        graphic->PaintTo(dc, graphic->FLeft, graphic->FTop);
    }
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    IntersectClipRect(dc, 0, 0, FWidth, FHeight);
    PaintHandler(dc);
    for (TControl* child : FControls) {
        auto win = dynamic_cast<TWinControl*>(child);
        if (win && win->FVisible) win->PaintTo(dc, win->FLeft, win->FTop);
    }
}

void TWinControl::SetParent(TWinControl* parent)
{
    if (parent == FParent) return;
    TControl::SetParent(parent);
    if (FHandle) {
        if (parent && parent->FHandle)
            ::SetParent(FHandle, parent->FHandle);
        else
            DestroyHandle();
    } else if (parent && parent->FHandle) {
        HandleNeeded();
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    bool sized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FHandle) SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (sized) {
        AlignControls();
        Resize();
    }
    RequestAlign();
}

void TWinControl::UpdateBoundsFromWindow()
{
    if (!FHandle) return;
    RECT r;
    GetWindowRect(FHandle, &r);
    if (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD) MapWindowPoints(HWND_DESKTOP, ::GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    if (r.left == FLeft && r.top == FTop && width == FWidth && height == FHeight) return;
    bool sized = width != FWidth || height != FHeight;
    FLeft = r.left;
    FTop = r.top;
    FWidth = width;
    FHeight = height;
    if (sized) {
        AlignControls();
        Resize();
    }
}

RECT TWinControl::ClientRect() const
{
    if (FHandle) {
        RECT r;
        GetClientRect(FHandle, &r);
        return r;
    }
    return TControl::ClientRect();
}

void TWinControl::SetVisible(bool value)
{
    if (value == FVisible) return;
    TControl::SetVisible(value);
    if (FHandle) ShowWindow(FHandle, value ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool value)
{
    if (value == FEnabled) return;
    if (FHandle) EnableWindow(FHandle, value);
    TControl::SetEnabled(value);
}

void TWinControl::Invalidate()
{
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::Update()
{
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    AlignControls();
}

void TWinControl::InsertControl(TControl* control)
{
    FControls.push_back(control);
    control->FParent = this;
}

void TWinControl::RemoveControl(TControl* control)
{
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it != FControls.end()) FControls.erase(it);
    control->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled, bool allowWinControls) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->FVisible || (!allowDisabled && !c->FEnabled)) continue;
        if (!allowWinControls && IsWindowed(c)) continue;
        RECT bounds = c->BoundsRect();
        if (PtInRect(&bounds, point)) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message)
{
    // A copy of the list: a handler may add or remove controls.
    std::vector<TControl*> children = FControls;
    for (TControl* child : children) {
        child->WndProc(message);
        if (message.Result != 0) return;
    }
}

bool TWinControl::CanFocus() const
{
    TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    if (!form) return false;
    for (const TControl* c = this; c && c != form; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

bool TWinControl::Focused() const
{
    return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus()
{
    ::SetFocus(Handle());
}

void TWinControl::AlignControls()
{
    if (FAligning || IsLoading() || FControls.empty()) return;
    FAligning = true;
    RECT r = ClientRect();
    AdjustClientRect(r);
    auto place = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->FAlign == align && c->FVisible) list.push_back(c);
        // Aligned controls keep the order of their positions, as laid out.
        std::stable_sort(list.begin(), list.end(), [align](const TControl* a, const TControl* b) {
            switch (align) {
            case alTop: return a->FTop < b->FTop;
            case alBottom: return a->FTop + a->FHeight > b->FTop + b->FHeight;
            case alLeft: return a->FLeft < b->FLeft;
            case alRight: return a->FLeft + a->FWidth > b->FLeft + b->FWidth;
            default: return false;
            }
        });
        for (TControl* c : list) {
            int width = r.right - r.left;
            int height = r.bottom - r.top;
            switch (align) {
            case alTop:
                c->SetBounds(r.left, r.top, width, c->FHeight);
                r.top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(r.left, r.bottom - c->FHeight, width, c->FHeight);
                r.bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(r.left, r.top, c->FWidth, height);
                r.left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(r.right - c->FWidth, r.top, c->FWidth, height);
                r.right -= c->FWidth;
                break;
            case alClient:
                c->SetBounds(r.left, r.top, width, height);
                break;
            default:
                break;
            }
        }
    };
    try {
        for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

// ------------------------------------------------------------ free helpers

TControl* FindControl(HWND hwnd)
{
    if (!hwnd) return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return nullptr;
    return static_cast<TWinControl*>(GetPropA(hwnd, kControlProp));
}

TControl* FindDragTarget(POINT screenPoint, bool allowDisabled)
{
    HWND hwnd = WindowFromPoint(screenPoint);
    TWinControl* win = nullptr;
    while (hwnd) {
        win = dynamic_cast<TWinControl*>(FindControl(hwnd));
        if (win) break;
        if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
        hwnd = ::GetParent(hwnd);
    }
    if (!win) return nullptr;
    POINT client = screenPoint;
    ::ScreenToClient(win->Handle(), &client);
    TControl* child = win->ControlAtPos(client, allowDisabled);
    return child ? child : win;
}

TControl* GetCaptureControl()
{
    if (gCaptureControl) {
        HWND expected = PaintWindowOf(gCaptureControl);
        if (!expected || GetCapture() != expected) gCaptureControl = nullptr;
    }
    return gCaptureControl;
}

void SetCaptureControl(TControl* control)
{
    gCaptureControl = nullptr;
    if (!control) {
        ReleaseCapture();
        return;
    }
    HWND window = PaintWindowOf(control);
    if (!window) return;
    SetCapture(window);
    gCaptureControl = control;
}

TCustomForm* GetParentForm(TControl* control)
{
    if (!control) return nullptr;
    while (control->GetParent()) control = control->GetParent();
    return dynamic_cast<TCustomForm*>(control);
}

TControl* GetMouseControl()
{
    return gMouseControl;
}

void CheckMouseControl()
{
    POINT p;
    if (!GetCursorPos(&p)) return;
    TControl* control = FindDragTarget(p, true);
    if (control == gMouseControl) return;
    TControl* old = gMouseControl;
    gMouseControl = control;
    if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
    // The leave handler may have moved things; only the current one enters.
    if (control && gMouseControl == control) control->Perform(CM_MOUSEENTER, 0, 0);
}

void TWinControl::UpdateExStyle(DWORD flag, bool on)
{
    if (!FHandle) return;
    LONG_PTR ex = GetWindowLongPtrA(FHandle, GWL_EXSTYLE);
    ex = on ? (ex | flag) : (ex & ~static_cast<LONG_PTR>(flag));
    SetWindowLongPtrA(FHandle, GWL_EXSTYLE, ex);
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
