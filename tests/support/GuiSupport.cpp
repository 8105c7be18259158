#include "GuiSupport.h"

#include <commctrl.h>

#include "Classes.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "Forms.h"
#include "TestSupport.h"

namespace testsupport {

std::string NameOf(TObject* sender)
{
    auto c = dynamic_cast<TComponent*>(sender);
    return c ? c->GetName() : std::string("?");
}

MemoryDC::MemoryDC(int width, int height, COLORREF fill) : FWidth(width), FHeight(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    FBits = static_cast<const DWORD*>(bits);
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    Fill(fill);
}

MemoryDC::~MemoryDC()
{
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBitmap);
}

void MemoryDC::Fill(COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT r{0, 0, FWidth, FHeight};
    FillRect(FDC, &r, brush);
    DeleteObject(brush);
    GdiFlush();
}

COLORREF MemoryDC::Pixel(int x, int y) const
{
    GdiFlush();
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return CLR_INVALID;
    DWORD v = FBits[y * FWidth + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys)
{
    SendMessageA(hwnd, msg, keys, MAKELPARAM(x, y));
}

void PostMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys)
{
    PostMessageA(hwnd, msg, keys, MAKELPARAM(x, y));
}

namespace {
// A key message's flags: one repeat, the scan code, the Alt bit.
LPARAM KeyFlags(WORD key, bool alt)
{
    LPARAM flags = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, 0)) << 16);
    if (alt) flags |= 0x20000000;
    return flags;
}
} // namespace

void SendKey(HWND hwnd, WORD key, bool alt)
{
    SendMessageA(hwnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, KeyFlags(key, alt));
}

void PostKey(HWND hwnd, WORD key, bool alt)
{
    PostMessageA(hwnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, KeyFlags(key, alt));
}

void PostClick(TControl* control)
{
    HWND parent = control->GetParent()->Handle();
    PostMouse(parent, WM_LBUTTONDOWN, control->GetLeft() + 10, control->GetTop() + 5, MK_LBUTTON);
    PostMouse(parent, WM_LBUTTONUP, control->GetLeft() + 10, control->GetTop() + 5);
}

bool PumpUntil(const std::function<bool()>& done, DWORD guardMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > guardMs) return false;
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    return true;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {
BOOL CALLBACK FindIcon(HWND hwnd, LPARAM lParam)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, STM_GETICON, 0, 0));
        if (icon == LoadIconA(nullptr, IDI_HAND)) *reinterpret_cast<bool*>(lParam) = true;
    }
    return TRUE;
}
} // namespace

BoxAnswerer::BoxAnswerer()
{
    FThread = std::thread([this] {
        HWND box = WaitForWindowOf(GetCurrentProcessId(), "#32770", 30000);
        if (!box) return;
        FFound = true;
        Caption = WindowText(box);
        for (const std::string& t : StaticTexts(box))
            if (!t.empty()) Texts.push_back(t);
        EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&HadStopIcon));
        PostMessageA(box, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    });
}

BoxAnswerer::~BoxAnswerer()
{
    if (FThread.joinable()) FThread.join();
}

bool BoxAnswerer::Join()
{
    if (FThread.joinable()) FThread.join();
    return FFound;
}

MoveCommandRecorder::MoveCommandRecorder(HWND hwnd) : FWindow(hwnd)
{
    SetWindowSubclass(hwnd, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

MoveCommandRecorder::~MoveCommandRecorder()
{
    if (IsWindow(FWindow)) RemoveWindowSubclass(FWindow, Proc, 1);
}

LRESULT CALLBACK MoveCommandRecorder::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self)
{
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOVE) {
        reinterpret_cast<MoveCommandRecorder*>(self)->Commands.push_back(wParam);
        return 0;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void CursorAt(TControl* control, int x, int y)
{
    POINT p = control->ClientToScreen(POINT{x, y});
    SetCursorPos(p.x, p.y);
    PumpPending();
}

void ParkCursor()
{
    SetCursorPos(1270, 1015);
    PumpPending();
}

void ClickControl(TControl* control, int x, int y)
{
    CursorAt(control, x, y);
    auto* win = dynamic_cast<TWinControl*>(control);
    HWND target = win ? win->Handle() : control->GetParent()->Handle();
    int px = win ? x : control->GetLeft() + x;
    int py = win ? y : control->GetTop() + y;
    SendMouse(target, WM_LBUTTONDOWN, px, py, MK_LBUTTON);
    SendMouse(target, WM_LBUTTONUP, px, py, 0);
    PumpPending();
}

bool ClickCheckBox(TListItem* row)
{
    HWND list = row->GetListView()->Handle();
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, row->GetIndex(), reinterpret_cast<LPARAM>(&bounds))) return false;
    const int y = (bounds.top + bounds.bottom) / 2;
    for (int x = bounds.left; x < bounds.right; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{x, y};
        int index = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (index == row->GetIndex() && (hit.flags & LVHT_ONITEMSTATEICON)) {
            SendMouse(list, WM_LBUTTONDOWN, x + 4, y, MK_LBUTTON);
            SendMouse(list, WM_LBUTTONUP, x + 4, y);
            PumpPending();
            return true;
        }
    }
    return false;
}

void HoverControl(TControl* control)
{
    CursorAt(control, 5, 5);
    Application->DoIdle();
}

void LeaveControls()
{
    ParkCursor();
    Application->DoIdle();
}

namespace {

BOOL CALLBACK FindStopIcon(HWND child, LPARAM lParam)
{
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)) == LoadIconA(nullptr, IDI_HAND))
        *reinterpret_cast<bool*>(lParam) = true;
    return TRUE;
}

// Marks a box already noted: a window property dies with its window, so a
// later box that happens to get the same handle is still seen as new.
const char kSeen[] = "SweeporaTestSystemBoxSeen";

BOOL CALLBACK FindEdit(HWND child, LPARAM lParam)
{
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") != 0) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = child;
    return FALSE;
}

LPARAM KeyDownFlags(WORD key)
{
    return 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, 0)) << 16);
}

} // namespace

void SystemBoxes::PressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

SystemBoxes::SystemBoxes(Answer answer) : FAnswer(std::move(answer))
{
    FThread = std::thread([this] { Watch(); });
}

SystemBoxes::~SystemBoxes()
{
    Stop();
}

const std::vector<SystemBox>& SystemBoxes::Stop()
{
    FStop = true;
    if (FThread.joinable()) FThread.join();
    return FBoxes;
}

void SystemBoxes::Watch()
{
    while (!FStop) {
        HWND found = FindWindowOf(GetCurrentProcessId(), "#32770", true,
                                  [](HWND box) { return GetPropA(box, kSeen) == nullptr; });
        if (found) {
            SetPropA(found, kSeen, reinterpret_cast<HANDLE>(1));
            SystemBox box;
            box.Caption = WindowText(found);
            box.Texts = StaticTexts(found);
            box.StopIcon = false;
            EnumChildWindows(found, FindStopIcon, reinterpret_cast<LPARAM>(&box.StopIcon));
            {
                std::lock_guard<std::mutex> lock(FMutex);
                FBoxes.push_back(box);
            }
            FAnswer(found);
        }
        Sleep(20);
    }
}

HWND FileChooserField(HWND chooser)
{
    for (int id : {0x47C /* cmb13 */, 0x480 /* edt1 */}) {
        HWND box = GetDlgItem(chooser, id);
        if (!box) continue;
        char cls[32] = {};
        GetClassNameA(box, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0) return box;
        HWND edit = nullptr;
        EnumChildWindows(box, FindEdit, reinterpret_cast<LPARAM>(&edit));
        if (edit) return edit;
    }
    return nullptr;
}

SystemBoxes::Answer TypeFileName(const std::string& path)
{
    return [path](HWND chooser) {
        HWND field = FileChooserField(chooser);
        if (!field) {
            PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        for (char c : path) PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, KeyDownFlags(VK_RETURN));
    };
}

SystemBoxes::Answer PressEscape()
{
    return [](HWND chooser) {
        HWND field = FileChooserField(chooser);
        PostMessageA(field ? field : chooser, WM_KEYDOWN, VK_ESCAPE, KeyDownFlags(VK_ESCAPE));
    };
}

} // namespace testsupport
