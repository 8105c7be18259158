// The panel (a window with bevels and a centred caption) and the picture.
#pragma once

#include "Controls.h"
#include "Graphics.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);

    void AdjustClientRect(RECT& rect) const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    void BevelsChanged();

    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
};

// Draws a bevel of that width inside the rectangle and shrinks it by the width.
void Frame3D(HDC dc, RECT& rect, TColor topLeft, TColor bottomRight, int width);

// A bitmap shown at the top-left corner, centred or stretched over the control.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);

    TBitmap* GetPicture() { return &FPicture; }
    // Loads the picture from the program's BITMAP resource of that name.
    void SetPictureResource(const std::string& name);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool value);
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool value);

    void Paint() override;

private:
    TBitmap FPicture;
    bool FCenter = false;
    bool FStretch = false;
};
