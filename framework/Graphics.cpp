#include "Graphics.h"

#include "SysUtils.h"

#include <cstring>

COLORREF ColorToRGB(TColor color)
{
    unsigned value = static_cast<unsigned>(color);
    if (value & 0x80000000u) return GetSysColor(static_cast<int>(value & 0xFFu));
    return value & 0x00FFFFFFu;
}

namespace {

struct ColorName {
    const char* Name;
    TColor Color;
};

const ColorName kColorNames[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText}, {"clActiveBorder", clActiveBorder}, {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText},
    {"clBtnText", clBtnText}, {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight}, {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText}, {"clInfoBk", clInfoBk},
};

} // namespace

bool IdentToColor(const std::string& name, TColor& color)
{
    for (const ColorName& c : kColorNames)
        if (SameText(name, c.Name)) {
            color = c.Color;
            return true;
        }
    return false;
}

// --- TFont ---

TFont::~TFont()
{
    if (FHandle) DeleteObject(FHandle);
}

void TFont::Changed()
{
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    if (OnChange) OnChange();
}

void TFont::SetName(const std::string& name)
{
    if (name == FName) return;
    FName = name;
    Changed();
}

void TFont::SetHeight(int height)
{
    if (height == FHeight) return;
    FHeight = height;
    Changed();
}

void TFont::SetColor(TColor color)
{
    if (color == FColor) return;
    FColor = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}

void TFont::Assign(const TFont& other)
{
    if (&other == this) return;
    FName = other.FName;
    FHeight = other.FHeight;
    FColor = other.FColor;
    FStyle = other.FStyle;
    Changed();
}

HFONT TFont::Handle() const
{
    if (!FHandle) {
        LOGFONTA lf = {};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectA(&lf);
    }
    return FHandle;
}

// --- TBitmap ---

TBitmap::~TBitmap()
{
    SetHandle(nullptr);
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    if (FHandle && FHandle != bitmap) DeleteObject(FHandle);
    FHandle = bitmap;
    FWidth = FHeight = 0;
    if (FHandle) {
        BITMAP info = {};
        GetObjectA(FHandle, sizeof info, &info);
        FWidth = info.bmWidth;
        FHeight = info.bmHeight;
    }
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name)
{
    HBITMAP h = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!h) throw Exception("Resource " + name + " not found");
    SetHandle(h);
}

// --- TCanvas ---

void TCanvas::FillRect(const RECT& rect)
{
    if (Brush.Style == bsClear) return;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Brush.Color));
    ::FillRect(Handle, &rect, brush);
    DeleteObject(brush);
}

int TCanvas::TextRect(RECT& rect, const std::string& text, UINT format)
{
    HGDIOBJ oldFont = SelectObject(Handle, Font.Handle());
    COLORREF oldColor = SetTextColor(Handle, ColorToRGB(Font.GetColor()));
    int oldMode = SetBkMode(Handle, TRANSPARENT);
    int height = DrawTextA(Handle, text.c_str(), static_cast<int>(text.size()), &rect, format);
    SetBkMode(Handle, oldMode);
    SetTextColor(Handle, oldColor);
    SelectObject(Handle, oldFont);
    return height;
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty()) return;
    HDC source = CreateCompatibleDC(Handle);
    HGDIOBJ old = SelectObject(source, bitmap.Handle());
    BitBlt(Handle, x, y, bitmap.Width(), bitmap.Height(), source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}
