// Controls: the windowless TGraphicControl and the windowed TWinControl.
//
// A TWinControl owns a real child window (or a top-level one, for forms). It
// paints its own background and then its graphic children in their order on
// the same DC, routes the mouse messages it receives to the graphic child
// under the point (or to the one holding the capture), and broadcasts
// framework messages to its children. Messages reach a control through
// WndProc -> Dispatch; each class's Dispatch handles what it knows and hands
// the rest to its base class, down to DefaultHandler.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"

class TWinControl;
class TCustomForm;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Shift, Ctrl and Alt as a keyboard message's flags (Alt) and the thread's key
// state (Shift, Ctrl) give them.
TShiftState KeyDataToShiftState(LPARAM keyData);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TDragMode { dmManual, dmAutomatic };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Cursor shapes by the classic numbering; crDefault leaves the parent's.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crHandPoint = -21;

enum TControlStyleFlag : unsigned {
    csCaptureMouse = 1,
    csClickEvents = 2,
    csOpaque = 4,
    csDoubleClicks = 8,
};
using TControlStyle = unsigned;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);

    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect() const { return RECT{0, 0, FWidth, FHeight}; }
    int ClientWidth() const { return ClientRect().right; }
    int ClientHeight() const { return ClientRect().bottom; }
    virtual void SetClientWidth(int value) { SetWidth(value); }
    virtual void SetClientHeight(int value) { SetHeight(value); }

    bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);

    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);

    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    void SetParentColor(bool value);
    TFont* GetFont() { return &FFont; }
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool value);

    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    bool GetShowHint() const;
    void SetShowHint(bool value);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value) { FParentShowHint = value; }
    void SetCursor(TCursor value) { FCursor = value; }
    void SetAlign(TAlign value);
    void SetDragMode(TDragMode value) { FDragMode = value; }

    // A TPopupMenu, popped up by the window's context-menu request (right
    // click, Shift+F10) over the control.
    void SetPopupMenu(TComponent* value) { FPopupMenu = value; }

    TControlStyle ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;

    // Marks the control's area of its parent for painting.
    virtual void Invalidate();
    // Paints now: invalidates and lets the parent paint at once.
    virtual void Repaint();
    virtual void Update();
    // Puts the control above its siblings: last in its parent's paint order
    // and, for a window, at the top of their z-order.
    void BringToFront();

    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void WndProc(TMessage& message);
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    // Fires OnClick.
    virtual void Click();
    virtual void DblClick();

    void SetMouseCapture(bool value);

    POINT ClientToScreen(POINT point) const;
    POINT ScreenToClient(POINT point) const;
    // True when the control and all its parents are visible and the top
    // window is shown.
    bool IsShowing() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    void Loaded() override;

protected:
    friend class TWinControl;
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    virtual HPALETTE GetPalette() { return nullptr; }
    void SetStyleFlag(TControlStyleFlag flag, bool on)
    {
        if (on)
            ControlStyle |= flag;
        else
            ControlStyle &= ~static_cast<TControlStyle>(flag);
    }
    // The parent's font or colour changed, or the control was given a parent.
    void TakeParentFont();
    void TakeParentColor();
    // The parent should lay out its aligned controls again.
    void RequestAlign();

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FCaption;
    TColor FColor = clWindow;
    bool FParentColor = false;
    TFont FFont;
    bool FParentFont = true;
    bool FTakingParentFont = false;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TAlign FAlign = alNone;
    TDragMode FDragMode = dmManual;
    TComponent* FPopupMenu = nullptr;
    bool FClicked = false;

private:
    void FontChanged();
    void HandleMouseDown(TMessage& message, TMouseButton button, TShiftState extra);
    void HandleMouseUp(TMessage& message, TMouseButton button);
};

// A control without a window of its own, painted on its parent's DC.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    TCanvas* Canvas() { return &FCanvas; }
    // Paints the control on a DC with its top-left corner at (x, y).
    void PaintTo(HDC dc, int x, int y);
    // Called by the parent's painting with Canvas()->Handle set.
    virtual void Paint() {}

    void Dispatch(TMessage& message) override;

protected:
    TCanvas FCanvas;
};

// What a windowed control asks CreateWindowEx for.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND Parent = nullptr;
    std::string WinClassName;
    UINT ClassStyle = CS_DBLCLKS;
    // A system class ("EDIT", ...) to create and subclass instead of one of ours.
    const char* SystemClass = nullptr;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, made on first use (with the windows of its parents).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }
    // The child under a client point, last painted first; disabled children
    // only when allowDisabled, windowed ones only when allowWinControls.
    TControl* ControlAtPos(POINT point, bool allowDisabled, bool allowWinControls = false) const;
    // Sends the message to each child in order until one sets Result.
    void Broadcast(TMessage& message);

    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();

    // Paints the control and its children on a DC, top-left at (x, y).
    void PaintTo(HDC dc, int x, int y);

    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void Loaded() override;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    int TabOrder = -1;
    bool TabStop = false;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Lays the aligned children out in the client area.
    virtual void AlignControls();
    // The part of the client area that aligned children share.
    virtual void AdjustClientRect(RECT& rect) const { (void)rect; }

protected:
    friend class TControl;
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    void DestroyHandle();
    // Paints the control's own face; the default fills the client area with Color.
    virtual void PaintWindow(TCanvas& canvas);
    void PaintHandler(HDC dc);
    void PaintControls(HDC dc);
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // Bounds changed from the window (WM_SIZE / WM_MOVE).
    void UpdateBoundsFromWindow();
    // Turns an extended window style on or off on the live window (its frame
    // redrawn); before the window exists CreateParams decides.
    void UpdateExStyle(DWORD flag, bool on);

    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = DefWindowProcA;
    std::vector<TControl*> FControls;
    bool FAligning = false;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool RouteMouseToChild(TMessage& message);
    // WM_COMMAND / WM_NOTIFY / WM_CTLCOLOR* of a child of ours go to the
    // child as CN_ messages; true when the child answered.
    bool ReflectToChild(TMessage& message);
    // WM_CONTEXTMENU: pops up the PopupMenu of the control (or of its
    // graphic child) under the point.
    bool ShowPopupMenu(TMessage& message);
    bool HandleKeyboard(TMessage& message);
    void HandleSetCursor(TMessage& message);
};

// The control of one of this process's windows, or nullptr.
TControl* FindControl(HWND hwnd);
// The control under a screen point (the innermost window there, then its
// graphic child under the point); disabled ones count when allowDisabled.
TControl* FindDragTarget(POINT screenPoint, bool allowDisabled);
// The control holding the mouse capture, or nullptr.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The form a control stands on, or nullptr.
TCustomForm* GetParentForm(TControl* control);
// The idle-time hover check: sends CM_MOUSELEAVE to the control the cursor
// left and CM_MOUSEENTER to the one it is over now.
void CheckMouseControl();
TControl* GetMouseControl();
