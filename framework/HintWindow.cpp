#include "HintWindow.h"

#include <cstddef>

#include "Forms.h"

namespace {

constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_EXPANDTABS;

} // namespace

std::string GetShortHint(const std::string& hint)
{
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

THintWindow::THintWindow(TComponent* owner) : TWinControl(owner)
{
    FClassName = "THintWindow";
    FVisible = false;
    FColor = clInfoBk;
    NONCLIENTMETRICSA metrics = {};
    // The size of the structure before Vista's addition, as every system knows it.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        FHintFont = CreateFontIndirectA(&metrics.lfStatusFont);
}

THintWindow::~THintWindow()
{
    DestroyHandle();
    if (FHintFont) DeleteObject(FHintFont);
}

void THintWindow::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.ClassStyle = CS_SAVEBITS;
    params.Parent = Application->Handle();
}

SIZE THintWindow::CalcHintSize(const std::string& text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FHintFont ? static_cast<HGDIOBJ>(FHintFont) : GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int border = 2 * GetSystemMetrics(SM_CXBORDER);
    return SIZE{r.right + 6 + border, r.bottom + 2 + border};
}

void THintWindow::ActivateHint(POINT cursor, const std::string& text)
{
    SIZE size = CalcHintSize(text);
    // Below the pointer's arrow.
    int x = cursor.x;
    int y = cursor.y + GetSystemMetrics(SM_CYCURSOR) * 5 / 8;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (x + size.cx > screenWidth) x = screenWidth - size.cx;
    if (y + size.cy > screenHeight) y = cursor.y - size.cy - 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    SetCaption(text);
    HWND hwnd = Handle();
    SetWindowTextA(hwnd, text.c_str());
    SetBounds(x, y, size.cx, size.cy);
    FActive = true;
    SetWindowPos(hwnd, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void THintWindow::ReleaseHint()
{
    if (!FActive) return;
    FActive = false;
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void THintWindow::PaintWindow(TCanvas& canvas)
{
    RECT r = ClientRect();
    canvas.Brush.Color = FColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(r);
    HDC dc = canvas.Handle;
    HGDIOBJ old = SelectObject(dc, FHintFont ? static_cast<HGDIOBJ>(FHintFont) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(clInfoText));
    RECT text{r.left + 3, r.top + 1, r.right - 3, r.bottom - 1};
    DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &text, kTextFormat);
    SelectObject(dc, old);
}
