#include "ExtCtrls.h"

void Frame3D(HDC dc, RECT& rect, TColor topLeft, TColor bottomRight, int width)
{
    HBRUSH light = CreateSolidBrush(ColorToRGB(topLeft));
    HBRUSH dark = CreateSolidBrush(ColorToRGB(bottomRight));
    for (int i = 0; i < width && rect.right > rect.left && rect.bottom > rect.top; ++i) {
        RECT top{rect.left, rect.top, rect.right - 1, rect.top + 1};
        RECT left{rect.left, rect.top, rect.left + 1, rect.bottom - 1};
        RECT bottom{rect.left, rect.bottom - 1, rect.right, rect.bottom};
        RECT right{rect.right - 1, rect.top, rect.right, rect.bottom};
        FillRect(dc, &top, light);
        FillRect(dc, &left, light);
        FillRect(dc, &bottom, dark);
        FillRect(dc, &right, dark);
        InflateRect(&rect, -1, -1);
    }
    DeleteObject(light);
    DeleteObject(dark);
}

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* owner) : TWinControl(owner)
{
    FClassName = "TPanel";
    ControlStyle = csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks;
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
}

void TPanel::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    // Bevels and a centred caption depend on the whole size.
    params.ClassStyle |= CS_HREDRAW | CS_VREDRAW;
}

void TPanel::BevelsChanged()
{
    AlignControls();
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut value)
{
    if (value == FBevelInner) return;
    FBevelInner = value;
    BevelsChanged();
}

void TPanel::SetBevelOuter(TBevelCut value)
{
    if (value == FBevelOuter) return;
    FBevelOuter = value;
    BevelsChanged();
}

void TPanel::SetBevelWidth(int value)
{
    if (value < 1 || value == FBevelWidth) return;
    FBevelWidth = value;
    BevelsChanged();
}

void TPanel::AdjustClientRect(RECT& rect) const
{
    int inset = 0;
    if (FBevelOuter != bvNone) inset += FBevelWidth;
    if (FBevelInner != bvNone) inset += FBevelWidth;
    InflateRect(&rect, -inset, -inset);
}

void TPanel::PaintWindow(TCanvas& canvas)
{
    RECT r = ClientRect();
    canvas.Brush.Color = FColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(r);
    auto bevel = [&](TBevelCut cut) {
        switch (cut) {
        case bvRaised: Frame3D(canvas.Handle, r, clBtnHighlight, clBtnShadow, FBevelWidth); break;
        case bvLowered: Frame3D(canvas.Handle, r, clBtnShadow, clBtnHighlight, FBevelWidth); break;
        case bvNone: break;
        }
    };
    bevel(FBevelOuter);
    bevel(FBevelInner);
    if (!FCaption.empty()) {
        canvas.Font.Assign(FFont);
        canvas.TextRect(r, FCaption, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}

// ---------------------------------------------------------------- TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner)
{
    FClassName = "TImage";
    FWidth = 105;
    FHeight = 105;
}

void TImage::SetPictureResource(const std::string& name)
{
    FPicture.LoadFromResourceName(GetModuleHandleA(nullptr), name);
    Invalidate();
}

void TImage::Paint()
{
    FCanvas.Draw(0, 0, FPicture);
}
