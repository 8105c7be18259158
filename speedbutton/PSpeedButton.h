// TPSpeedButton: the image button every window of the program is built from.
// A graphic control whose whole face is one image of an image list, chosen by
// its state (idle, disabled, hover, pressed or latched); its caption is never
// drawn. Flat buttons show a hover face and report the cursor entering and
// leaving; buttons of one parent sharing a non-zero GroupIndex latch like
// radio buttons; Default and Cancel buttons answer Enter and Esc.
#pragma once

#include "Controls.h"
#include "ImgList.h"

enum TButtonLayout : unsigned char { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TPSpeedButton : public TGraphicControl {
public:
    explicit TPSpeedButton(TComponent* owner);
    ~TPSpeedButton() override;

    bool GetDefault() const { return FDefault; }
    void SetDefault(bool value);
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool GetDrawBorderInFlatMode() const { return FDrawBorderInFlatMode; }
    void SetDrawBorderInFlatMode(bool value);
    TImageList* GetImages() const { return FImages; }
    void SetImages(TImageList* value);
    int GetImageIndexIDLE() const { return FImageIndexIDLE; }
    void SetImageIndexIDLE(int value);
    int GetImageIndexDisabled() const { return FImageIndexDisabled; }
    void SetImageIndexDisabled(int value);
    int GetImageIndexUp() const { return FImageIndexUp; }
    void SetImageIndexUp(int value);
    int GetImageIndexDown() const { return FImageIndexDown; }
    void SetImageIndexDown(int value);
    bool GetDown() const { return FDown; }
    void SetDown(bool value);
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);
    TButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int value);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool value);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    void Loaded() override;
    void Paint() override;
    void Dispatch(TMessage& message) override;

    // The parent tells its other buttons of the group that this one went down
    // (and hands them its AllowAllUp).
    void UpdateExclusive();
    // Recomputes the hover state from the cursor position.
    void UpdateTracking();

protected:
    HPALETTE GetPalette() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    enum class TFaceState : unsigned char { Normal, Disabled, Pressed, Latched };

    void WMLButtonDblClk(TMessage& message);
    void CMDialogKey(TMessage& message);
    void CMDialogChar(TMessage& message);
    void CMEnabledChanged(TMessage& message);
    void CMFontChanged(TMessage& message);
    void CMTextChanged(TMessage& message);
    void CMMouseEnter(TMessage& message);
    void CMMouseLeave(TMessage& message);
    void CMButtonPressed(TMessage& message);
    void CMSysColorChange(TMessage& message);
    // Inside for the state machine: the row just below the bottom edge counts.
    bool InsideForTracking(int x, int y) const;

    bool FDefault;
    bool FCancel;
    int FGroupIndex = 0;
    bool FDrawBorderInFlatMode;
    TImageList* FImages;
    int FImageIndexIDLE;
    int FImageIndexDisabled;
    int FImageIndexUp;
    int FImageIndexDown;
    bool FDown = false;
    bool FTracking = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout;
    int FSpacing;
    bool FTransparent;
    int FMargin;
    bool FFlat = false;
    bool FMouseInside = false;
    TFaceState FFaceState = TFaceState::Normal;
};

// Makes the class known to form descriptions (idempotent). Every unit that
// includes this header registers it before main runs.
bool RegisterPSpeedButton();
namespace {
[[maybe_unused]] const bool kPSpeedButtonRegistered = RegisterPSpeedButton();
}
