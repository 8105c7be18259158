#include "PSpeedButton.h"

#include "FormLoader.h"

TPSpeedButton::TPSpeedButton(TComponent* owner) : TGraphicControl(owner)
{
    FClassName = "TPSpeedButton";
    SetBounds(0, 0, 75, 22);
    // The base's click events stay: the click comes from the base control.
    ControlStyle |= csCaptureMouse | csDoubleClicks;
    FParentFont = true;
    FColor = clBtnFace;
    FSpacing = 4;
    FMargin = -1;
    FLayout = blGlyphLeft;
    // Transparent: csOpaque stays out of the control style.
    FTransparent = true;
    FDefault = false;
    FCancel = false;
    SetDown(false);
    FDrawBorderInFlatMode = false;
    FImages = nullptr;
    FImageIndexIDLE = -1;
    FImageIndexDisabled = -1;
    FImageIndexUp = -1;
    FImageIndexDown = -1;
}

// The button owns nothing: its image list belongs to the form.
TPSpeedButton::~TPSpeedButton() = default;

void TPSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
}

HPALETTE TPSpeedButton::GetPalette()
{
    return nullptr;
}

// ----------------------------------------------------------------- setters

void TPSpeedButton::SetDefault(bool value)
{
    FDefault = value;
}

void TPSpeedButton::SetCancel(bool value)
{
    FCancel = value;
}

void TPSpeedButton::SetGroupIndex(int value)
{
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    UpdateExclusive();
}

void TPSpeedButton::SetAllowAllUp(bool value)
{
    if (value == FAllowAllUp) return;
    FAllowAllUp = value;
    UpdateExclusive();
}

// The face setters repaint also when the value is the one already set.
void TPSpeedButton::SetDrawBorderInFlatMode(bool value)
{
    FDrawBorderInFlatMode = value;
    Invalidate();
}

void TPSpeedButton::SetImages(TImageList* value)
{
    FImages = value;
    Invalidate();
}

void TPSpeedButton::SetImageIndexIDLE(int value)
{
    FImageIndexIDLE = value;
    Invalidate();
}

void TPSpeedButton::SetImageIndexDisabled(int value)
{
    FImageIndexDisabled = value;
    Invalidate();
}

void TPSpeedButton::SetImageIndexUp(int value)
{
    FImageIndexUp = value;
    Invalidate();
}

void TPSpeedButton::SetImageIndexDown(int value)
{
    FImageIndexDown = value;
    Invalidate();
}

void TPSpeedButton::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    // A transparent control lets its parent show through.
    SetStyleFlag(csOpaque, !value);
    Invalidate();
}

void TPSpeedButton::SetFlat(bool value)
{
    if (value == FFlat) return;
    FFlat = value;
    Invalidate();
}

void TPSpeedButton::SetLayout(TButtonLayout value)
{
    if (value == FLayout) return;
    FLayout = value;
    Invalidate();
}

void TPSpeedButton::SetSpacing(int value)
{
    if (value == FSpacing) return;
    FSpacing = value;
    Invalidate();
}

void TPSpeedButton::SetMargin(int value)
{
    if (value == FMargin || value < -1) return;
    FMargin = value;
    Invalidate();
}

void TPSpeedButton::SetDown(bool value)
{
    if (FGroupIndex == 0) value = false;
    if (value == FDown) return;
    // A down button of a group that may not be all up goes up only when
    // another member goes down.
    if (FDown && !FAllowAllUp) return;
    FDown = value;
    if (value) {
        if (FFaceState == TFaceState::Normal) Invalidate();
        FFaceState = TFaceState::Latched;
        UpdateExclusive();
    } else {
        FFaceState = TFaceState::Normal;
        Repaint();
    }
}

// ------------------------------------------------------------------ paint

void TPSpeedButton::Paint()
{
    enum { IdleFace, DisabledFace, UpFace, DownFace } face;
    if (!FEnabled) {
        FFaceState = TFaceState::Disabled;
        FTracking = false;
        face = DisabledFace;
    } else {
        if (FFaceState == TFaceState::Disabled)
            FFaceState = FDown && FGroupIndex != 0 ? TFaceState::Latched : TFaceState::Normal;
        face = IdleFace;
    }
    RECT rect{0, 0, FWidth, FHeight};
    bool pushed = FFaceState == TFaceState::Pressed || FFaceState == TFaceState::Latched;
    int offset;
    if (!FFlat) {
        UINT state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
        if (pushed) state |= DFCS_PUSHED;
        DrawFrameControl(FCanvas.Handle, &rect, DFC_BUTTON, state);
        offset = 2;
    } else {
        bool active = pushed || (FMouseInside && FFaceState != TFaceState::Disabled);
        UINT edgeFlags = FTransparent ? BF_RECT : BF_RECT | BF_MIDDLE;
        if (active && pushed) {
            if (FDrawBorderInFlatMode) DrawEdge(FCanvas.Handle, &rect, BDR_SUNKENOUTER, edgeFlags);
            face = DownFace;
        } else if (active) {
            if (FDrawBorderInFlatMode) DrawEdge(FCanvas.Handle, &rect, BDR_RAISEDINNER, edgeFlags);
            face = UpFace;
        } else if (!FTransparent) {
            FCanvas.Brush.Color = FColor;
            FCanvas.Brush.Style = bsSolid;
            FCanvas.FillRect(rect);
        }
        offset = FDrawBorderInFlatMode ? 1 : 0;
    }
    if (FImages) {
        int index = face == IdleFace       ? FImageIndexIDLE
                    : face == DisabledFace ? FImageIndexDisabled
                    : face == UpFace       ? FImageIndexUp
                                           : FImageIndexDown;
        FImages->Draw(&FCanvas, offset, offset, index);
    }
}

// ------------------------------------------------------------------ mouse

bool TPSpeedButton::InsideForTracking(int x, int y) const
{
    return x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
}

void TPSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && FEnabled) {
        if (!FDown) {
            FFaceState = TFaceState::Pressed;
            Invalidate();
        }
        FTracking = true;
    }
}

void TPSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (FTracking) {
        TFaceState state = FDown ? TFaceState::Latched : TFaceState::Normal;
        if (InsideForTracking(x, y)) state = FDown ? TFaceState::Latched : TFaceState::Pressed;
        if (state != FFaceState) {
            FFaceState = state;
            Invalidate();
        }
    } else if (!FMouseInside) {
        UpdateTracking();
    }
}

void TPSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FTracking) return;
    FTracking = false;
    bool inside = InsideForTracking(x, y);
    if (FGroupIndex == 0) {
        FFaceState = TFaceState::Normal;
        FMouseInside = false;
        if (inside) Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        if (FDown) Repaint();
    } else {
        if (FDown) FFaceState = TFaceState::Latched;
        Repaint();
    }
    UpdateTracking();
}

void TPSpeedButton::UpdateTracking()
{
    if (!FFlat || !FEnabled) return;
    POINT p;
    GetCursorPos(&p);
    // Preset to the opposite of the truth, so that the handler's guard passes
    // and the handler itself puts it right.
    FMouseInside = FindDragTarget(p, true) != this;
    if (FMouseInside)
        Perform(CM_MOUSELEAVE, 0, 0);
    else
        Perform(CM_MOUSEENTER, 0, 0);
}

// ----------------------------------------------------------------- groups

void TPSpeedButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !FParent) return;
    TMessage message{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
    FParent->Broadcast(message);
}

void TPSpeedButton::CMButtonPressed(TMessage& message)
{
    if (static_cast<int>(message.WParam) != FGroupIndex) return;
    auto sender = reinterpret_cast<TControl*>(message.LParam);
    auto button = dynamic_cast<TPSpeedButton*>(sender);
    if (!button || button == this) return;
    if (button->FDown && FDown) {
        FDown = false;
        FFaceState = TFaceState::Normal;
        Invalidate();
    }
    FAllowAllUp = button->FAllowAllUp;
}

// ------------------------------------------------------------------- hover

void TPSpeedButton::CMMouseEnter(TMessage& message)
{
    TGraphicControl::Dispatch(message);
    if (FFlat && !FMouseInside && FEnabled && FDragMode != dmAutomatic && GetCapture() == nullptr) {
        FMouseInside = true;
        if (OnMouseEnter) OnMouseEnter(this);
        Repaint();
    }
}

void TPSpeedButton::CMMouseLeave(TMessage& message)
{
    TGraphicControl::Dispatch(message);
    if (FFlat && FMouseInside && FEnabled && !FTracking) {
        FMouseInside = false;
        if (OnMouseLeave) OnMouseLeave(this);
        Invalidate();
    }
}

// -------------------------------------------------------------------- keys

void TPSpeedButton::CMDialogKey(TMessage& message)
{
    WORD key = CharCode(message);
    if (((key == VK_RETURN && FDefault) || (key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(KeyData(message)) == 0 && FParent && FParent->CanFocus() && FEnabled && FVisible) {
        // Left unhandled on purpose: the form goes on offering the key to its
        // other controls, so every Default (or Cancel) button clicks.
        Click();
        return;
    }
    TGraphicControl::Dispatch(message);
}

namespace {

// The character after a single "&" of the caption ("&&" is a literal "&").
bool IsAccel(WORD ch, const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        char a[2] = {caption[i + 1], 0};
        char b[2] = {static_cast<char>(ch), 0};
        CharUpperA(a);
        CharUpperA(b);
        return a[0] == b[0];
    }
    return false;
}

} // namespace

void TPSpeedButton::CMDialogChar(TMessage& message)
{
    if (IsAccel(CharCode(message), FCaption) && FEnabled && FVisible && FParent && FParent->IsShowing()) {
        Click();
        message.Result = 1;
        return;
    }
    TGraphicControl::Dispatch(message);
}

// ---------------------------------------------------------------- messages

void TPSpeedButton::WMLButtonDblClk(TMessage& message)
{
    TGraphicControl::Dispatch(message);
}

void TPSpeedButton::CMEnabledChanged(TMessage&)
{
    UpdateTracking();
    Repaint();
}

void TPSpeedButton::CMFontChanged(TMessage&)
{
    Invalidate();
}

void TPSpeedButton::CMTextChanged(TMessage&)
{
    Invalidate();
}

void TPSpeedButton::CMSysColorChange(TMessage&)
{
    Invalidate();
}

void TPSpeedButton::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(message); break;
    case CM_DIALOGKEY: CMDialogKey(message); break;
    case CM_DIALOGCHAR: CMDialogChar(message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(message); break;
    case CM_FONTCHANGED: CMFontChanged(message); break;
    case CM_TEXTCHANGED: CMTextChanged(message); break;
    case CM_MOUSEENTER: CMMouseEnter(message); break;
    case CM_MOUSELEAVE: CMMouseLeave(message); break;
    case CM_BUTTONPRESSED: CMButtonPressed(message); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(message); break;
    default: TGraphicControl::Dispatch(message);
    }
}

// ------------------------------------------------------ form descriptions

bool RegisterPSpeedButton()
{
    static bool registered = false;
    if (registered) return true;
    registered = true;
    // Layout and Margin have setters but are not published.
    using B = TPSpeedButton;
    TComponentClass cls{"TPSpeedButton", "TControl", ComponentFactory<B>(), {}};
    auto& p = cls.Properties;
    // The published properties in their declared order (the classic ones
    // that nothing acts on are accepted for every control by the loader).
    p.push_back(Prop::Bool("AllowAllUp", &B::SetAllowAllUp));
    p.push_back(Prop::Int("GroupIndex", &B::SetGroupIndex));
    p.push_back(Prop::Bool("Down", &B::SetDown));
    p.push_back(Prop::Bool("DrawBorderInFlatMode", &B::SetDrawBorderInFlatMode));
    p.push_back(ControlProperty("Caption"));
    p.push_back(Prop::Bool("Cancel", &B::SetCancel));
    p.push_back(Prop::Bool("Default", &B::SetDefault));
    p.push_back(ControlProperty("Enabled"));
    p.push_back(Prop::Bool("Flat", &B::SetFlat));
    p.push_back(ControlProperty("Font"));
    p.push_back(Prop::Reference("Images", &B::SetImages));
    p.push_back(Prop::Int("ImageIndexIDLE", &B::SetImageIndexIDLE));
    p.push_back(Prop::Int("ImageIndexDisabled", &B::SetImageIndexDisabled));
    p.push_back(Prop::Int("ImageIndexUp", &B::SetImageIndexUp));
    p.push_back(Prop::Int("ImageIndexDown", &B::SetImageIndexDown));
    p.push_back(Prop::Event("OnMouseEnter", &B::OnMouseEnter));
    p.push_back(Prop::Event("OnMouseLeave", &B::OnMouseLeave));
    p.push_back(ControlProperty("ParentFont"));
    p.push_back(ControlProperty("ParentShowHint"));
    p.push_back(ControlProperty("PopupMenu"));
    p.push_back(ControlProperty("ShowHint"));
    p.push_back(Prop::Int("Spacing", &B::SetSpacing));
    p.push_back(Prop::Bool("Transparent", &B::SetTransparent));
    p.push_back(ControlProperty("Visible"));
    p.push_back(ControlProperty("OnClick"));
    p.push_back(ControlProperty("OnDblClick"));
    p.push_back(ControlProperty("OnMouseDown"));
    p.push_back(ControlProperty("OnMouseMove"));
    p.push_back(ControlProperty("OnMouseUp"));
    RegisterComponentClass(std::move(cls));
    return true;
}
