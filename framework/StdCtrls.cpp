#include "StdCtrls.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    FClassName = "TLabel";
    ControlStyle |= csOpaque;
    FWidth = 65;
    FHeight = 17;
    FParentColor = true;
}

UINT TLabel::TextFormat() const
{
    UINT format = DT_EXPANDTABS;
    if (FAlignment == taCenter) format |= DT_CENTER;
    if (FAlignment == taRightJustify) format |= DT_RIGHT;
    return format;
}

void TLabel::SetAlignment(TAlignment value)
{
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustBounds();
}

void TLabel::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    // A transparent control lets its parent show through.
    SetStyleFlag(csOpaque, !value);
    Invalidate();
}

void TLabel::Paint()
{
    RECT r = ClientRect();
    if (!FTransparent) {
        FCanvas.Brush.Color = FColor;
        FCanvas.Brush.Style = bsSolid;
        FCanvas.FillRect(r);
    }
    FCanvas.Font.Assign(FFont);
    if (!FEnabled) FCanvas.Font.SetColor(clGrayText);
    FCanvas.TextRect(r, FCaption, TextFormat());
}

void TLabel::AdjustBounds()
{
    if (!FAutoSize || IsLoading()) return;
    HDC dc = GetDC(nullptr);
    RECT r{0, 0, 0, 0};
    HGDIOBJ old = SelectObject(dc, FFont.Handle());
    std::string text = FCaption.empty() ? std::string(" ") : FCaption;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFormat() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int left = FLeft;
    if (FAlignment == taRightJustify) left = FLeft + FWidth - r.right;
    SetBounds(left, FTop, r.right, r.bottom);
}

void TLabel::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        return;
    default:
        TGraphicControl::Dispatch(message);
    }
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

// ----------------------------------------------------------- TControlBrush

TControlBrush::~TControlBrush()
{
    if (FBrush) DeleteObject(FBrush);
}

HBRUSH TControlBrush::Get(TColor color)
{
    COLORREF rgb = ColorToRGB(color);
    if (FBrush && rgb == FColor) return FBrush;
    if (FBrush) DeleteObject(FBrush);
    FBrush = CreateSolidBrush(rgb);
    FColor = rgb;
    return FBrush;
}

// ---------------------------------------------------------- TSystemControl

TSystemControl::TSystemControl(TComponent* owner, const char* systemClass, DWORD style)
    : TWinControl(owner), FSystemClass(systemClass), FStyle(style)
{
    ControlStyle = csDoubleClicks;
    TabStop = true;
}

void TSystemControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = FSystemClass;
    params.Style |= WS_TABSTOP | FStyle;
}

void TSystemControl::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
}

void TSystemControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(FFont.GetColor()));
        SetBkColor(dc, ColorToRGB(FColor));
        message.Result = reinterpret_cast<LRESULT>(FBrush.Get(FColor));
        return;
    }
    case CM_FONTCHANGED:
        if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
        TWinControl::Dispatch(message);
        return;
    default:
        TWinControl::Dispatch(message);
    }
}

// ------------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* owner) : TSystemControl(owner, "EDIT", ES_AUTOHSCROLL | ES_LEFT)
{
    FClassName = "TEdit";
    FWidth = 121;
    FHeight = 21;
    FColor = clWindow;
}

void TEdit::CreateParams(TCreateParams& params)
{
    TSystemControl::CreateParams(params);
    if (FBorder) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWnd()
{
    TSystemControl::CreateWnd();
    // No limit of ours: the longest text the system takes.
    SendMessageA(FHandle, EM_LIMITTEXT, 0, 0);
}

void TEdit::SetBorder(bool value)
{
    if (value == FBorder) return;
    FBorder = value;
    UpdateExStyle(WS_EX_CLIENTEDGE, value);
}

void TEdit::Change()
{
    if (OnChange) OnChange(this);
}

void TEdit::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == EN_CHANGE) {
            // Typed or set: the window's text is the truth from here on.
            int length = GetWindowTextLengthA(FHandle);
            std::string text(static_cast<size_t>(length) + 1, '\0');
            GetWindowTextA(FHandle, &text[0], length + 1);
            text.resize(static_cast<size_t>(length));
            FCaption = text;
            Change();
        }
        return;
    case CM_TEXTCHANGED:
        // With a window, its EN_CHANGE has reported the change already.
        if (!FHandle) Change();
        return;
    default:
        TSystemControl::Dispatch(message);
    }
}

// --------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TSystemControl(owner, "BUTTON", BS_AUTOCHECKBOX)
{
    FClassName = "TCheckBox";
    FWidth = 97;
    FHeight = 17;
    FColor = clBtnFace;
}

void TCheckBox::CreateWnd()
{
    TSystemControl::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

TCheckBoxState TCheckBox::GetState() const
{
    return FState;
}

void TCheckBox::SetState(TCheckBoxState value)
{
    if (value == FState) return;
    FState = value;
    if (FHandle) SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    if (!IsLoading()) Click();
}

void TCheckBox::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) {
            // The button has toggled itself already.
            auto now = static_cast<TCheckBoxState>(SendMessageA(FHandle, BM_GETCHECK, 0, 0));
            if (now != FState) {
                FState = now;
                Click();
            }
        }
        return;
    default:
        TSystemControl::Dispatch(message);
    }
}
