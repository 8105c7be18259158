// Colours, fonts, bitmaps and the canvas: thin wrappers over GDI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Classes.h"

// A colour: plain RGB (0x00BBGGRR), or a system colour 0x80000000 | COLOR_xxx
// that follows the user's scheme.
using TColor = int;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// The RGB value a colour stands for now (system colours resolved).
COLORREF ColorToRGB(TColor color);
// The colour of an identifier of a form description ("clBtnFace"); false
// when the name is not a colour.
bool IdentToColor(const std::string& name, TColor& color);

enum TFontStyle : unsigned { fsBold = 1 };
using TFontStyles = unsigned;

// A logical font. The GDI font is made when first needed and remade after a
// change; OnChange tells the owner of the font about every change.
class TFont : public TObject {
public:
    TFont() = default;
    ~TFont() override;

    const std::string& GetName() const { return FName; }
    void SetName(const std::string& name);
    // Height in pixels (negative: character height, as LOGFONT has it).
    int GetHeight() const { return FHeight; }
    void SetHeight(int height);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);
    void SetStyle(TFontStyles style);

    void Assign(const TFont& other);
    HFONT Handle() const;

    std::function<void()> OnChange;

private:
    void Changed();

    std::string FName = "Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    mutable HFONT FHandle = nullptr;
};

// A device-independent bitmap owned by the object.
class TBitmap : public TObject {
public:
    TBitmap() = default;
    ~TBitmap() override;

    // Loads a BITMAP resource of the program by name; raises EResNotFound
    // style Exception when there is none.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    // Takes ownership of the handle.
    void SetHandle(HBITMAP bitmap);
    HBITMAP Handle() const { return FHandle; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FHandle == nullptr; }

private:
    HBITMAP FHandle = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};

enum TBrushStyle { bsSolid, bsClear };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Drawing on a device context the canvas does not own (a paint DC, a memory
// DC of a test). Every call selects what it needs and restores the DC.
class TCanvas : public TObject {
public:
    HDC Handle = nullptr;
    TBrush Brush;
    TFont Font;

    void FillRect(const RECT& rect);
    // DrawTextA with the canvas font and its colour; the background stays
    // unless Brush.Style is bsSolid.
    int TextRect(RECT& rect, const std::string& text, UINT format);
    void Draw(int x, int y, const TBitmap& bitmap);
};
