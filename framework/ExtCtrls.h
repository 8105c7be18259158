// The panel (a window with bevels and a centred caption) and the picture.
#pragma once

#include "Controls.h"
#include "Graphics.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);

    void SetBevelInner(TBevelCut value);
    void SetBevelOuter(TBevelCut value);
    void SetBevelWidth(int value);

    void AdjustClientRect(RECT& rect) const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    void BevelsChanged();

    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
};

// Draws a bevel of that width inside the rectangle and shrinks it by the width.
void Frame3D(HDC dc, RECT& rect, TColor topLeft, TColor bottomRight, int width);

// A bitmap shown at the top-left corner of the control.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);

    // Loads the picture from the program's BITMAP resource of that name.
    void SetPictureResource(const std::string& name);

    void Paint() override;

private:
    TBitmap FPicture;
};
