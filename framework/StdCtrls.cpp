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
    if (FWordWrap) format |= DT_WORDBREAK;
    if (!FShowAccelChar) format |= DT_NOPREFIX;
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

void TLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap) return;
    FWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    if (value)
        ControlStyle &= ~csOpaque;
    else
        ControlStyle |= csOpaque;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value)
{
    if (value == FShowAccelChar) return;
    FShowAccelChar = value;
    AdjustBounds();
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
    RECT r{0, 0, FWordWrap ? FWidth : 0, 0};
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
