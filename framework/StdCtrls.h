// The label: a caption drawn on the parent, one line per "\n", never wrapped;
// "&" marks an access key as in menus.
#pragma once

#include "Controls.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // Grows or shrinks the label to its text (keeping the right edge of a
    // right-justified one).
    void SetAutoSize(bool value);
    // A transparent label paints only its text; an opaque one fills Color first.
    void SetTransparent(bool value);

    void Paint() override;
    void Dispatch(TMessage& message) override;
    void Loaded() override;

private:
    UINT TextFormat() const;
    void AdjustBounds();

    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FTransparent = false;
};

// A brush in a control's Color, remade when the colour changes; what a
// system-class control answers to its parent's WM_CTLCOLOR* request.
class TControlBrush {
public:
    TControlBrush() = default;
    ~TControlBrush();
    TControlBrush(const TControlBrush&) = delete;
    TControlBrush& operator=(const TControlBrush&) = delete;
    HBRUSH Get(TColor color);

private:
    HBRUSH FBrush = nullptr;
    COLORREF FColor = 0;
};

// A tab stop over one of the system's window classes, which paints itself and
// tracks its own mouse (no capture or clicks of ours). The window takes the
// control's Font, and its colour requests are answered with the font's colour
// on Color.
class TSystemControl : public TWinControl {
public:
    void Dispatch(TMessage& message) override;

protected:
    // The window class and the class's own styles the window is made with.
    TSystemControl(TComponent* owner, const char* systemClass, DWORD style);
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    const char* FSystemClass;
    DWORD FStyle;
    TControlBrush FBrush;
};

// The single-line edit field over the system's "EDIT" class. Its text is the
// Caption; OnChange fires once for every change of the text, typed or set,
// and setting the text it already has is no change.
class TEdit : public TSystemControl {
public:
    explicit TEdit(TComponent* owner);

    const std::string& GetText() const { return FCaption; }
    void SetText(const std::string& value) { SetCaption(value); }
    // bsSingle (the sunken frame) or bsNone, as the description writes them.
    void SetBorder(bool value);

    TNotifyEvent OnChange;

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    virtual void Change();

private:
    bool FBorder = true;
};

enum TCheckBoxState { cbUnchecked, cbChecked };

// The check box over the system's "BUTTON" class (BS_AUTOCHECKBOX), its
// caption right of the box. OnClick fires when the state changes, by the user
// or by the program.
class TCheckBox : public TSystemControl {
public:
    explicit TCheckBox(TComponent* owner);

    bool GetChecked() const { return GetState() == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState() const;
    void SetState(TCheckBoxState value);

    void Dispatch(TMessage& message) override;

protected:
    void CreateWnd() override;

private:
    TCheckBoxState FState = cbUnchecked;
};
