#include "Menus.h"

#include <algorithm>
#include <map>

#include "Forms.h"
#include "SysUtils.h"

namespace {

// Command numbers of the live items. WM_COMMAND carries 16 bits of them.
// Never destroyed: items of forms that the application object frees at exit
// still leave it then.
std::map<UINT, TMenuItem*>& Commands()
{
    static auto* commands = new std::map<UINT, TMenuItem*>;
    return *commands;
}

UINT AllocateCommand(TMenuItem* item)
{
    auto& commands = Commands();
    UINT id = 1;
    for (const auto& entry : commands) {
        if (entry.first != id) break;
        ++id;
    }
    if (id > 0xFFFF) throw EOutOfResources("Too many menu items");
    commands[id] = item;
    return id;
}

LRESULT CALLBACK PopupListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0) {
                if (TMenuItem* item = FindMenuItem(LOWORD(wParam))) {
                    item->Click();
                    return 0;
                }
            }
            break;
        case WM_MEASUREITEM: {
            auto measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure->CtlType != ODT_MENU) break;
            TMenuItem* item = FindMenuItem(measure->itemID);
            if (!item) break;
            measure->itemWidth = static_cast<UINT>(item->GetBitmap()->Width());
            measure->itemHeight = static_cast<UINT>(item->GetBitmap()->Height());
            return TRUE;
        }
        case WM_DRAWITEM: {
            auto draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (draw->CtlType != ODT_MENU) break;
            TMenuItem* item = FindMenuItem(draw->itemID);
            if (!item) break;
            int height = item->GetBitmap()->Height();
            int y = draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - height) / 2;
            item->DrawBitmap(draw->hDC, draw->rcItem.left, y);
            return TRUE;
        }
        default:
            break;
        }
    } catch (...) {
        Application->HandleException();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

HWND PopupListWindow()
{
    static HWND window = nullptr;
    if (window && IsWindow(window)) return window;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PopupListProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TPopupList";
    RegisterClassA(&wc);
    // A hidden top-level window: a message-only window could not own a
    // tracked popup menu on every system.
    window = CreateWindowExA(WS_EX_TOOLWINDOW, "TPopupList", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                             nullptr);
    if (!window) throw EOutOfResources("Error creating window");
    return window;
}

TMenuItem* FindMenuItem(UINT command)
{
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(AllocateCommand(this))
{
    FClassName = "TMenuItem";
}

TMenuItem::~TMenuItem()
{
    // Sub-items belong to their owner, not to this item: they are only let go.
    for (TMenuItem* item : FItems) item->FParentItem = nullptr;
    FItems.clear();
    if (FParentItem) FParentItem->Remove(this);
    Commands().erase(FCommand);
    if (FBitmapList) ImageList_Destroy(FBitmapList);
}

void TMenuItem::SetChecked(bool value)
{
    if (value == FChecked) return;
    FChecked = value;
    if (value && FRadioItem) UncheckGroup();
}

void TMenuItem::SetRadioItem(bool value)
{
    if (value == FRadioItem) return;
    FRadioItem = value;
    if (value && FChecked) UncheckGroup();
}

void TMenuItem::UncheckGroup()
{
    if (!FParentItem) return;
    for (TMenuItem* other : FParentItem->FItems)
        if (other != this && other->FRadioItem && other->FGroupIndex == FGroupIndex) other->FChecked = false;
}

void TMenuItem::SetBitmapResource(const std::string& name)
{
    FBitmap.LoadFromResourceName(GetModuleHandleA(nullptr), name);
    if (FBitmapList) ImageList_Destroy(FBitmapList);
    FBitmapList = nullptr;
}

void TMenuItem::DrawBitmap(HDC dc, int x, int y)
{
    if (FBitmap.Empty()) return;
    if (!FBitmapList) {
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, FBitmap.Handle());
        COLORREF key = GetPixel(memory, 0, FBitmap.Height() - 1);
        SelectObject(memory, old);
        DeleteDC(memory);
        FBitmapList = ImageList_Create(FBitmap.Width(), FBitmap.Height(), ILC_COLOR24 | ILC_MASK, 1, 1);
        if (!FBitmapList) return;
        ImageList_AddMasked(FBitmapList, FBitmap.Handle(), key);
    }
    ImageList_Draw(FBitmapList, 0, dc, x, y, ILD_TRANSPARENT);
}

void TMenuItem::Add(TMenuItem* item)
{
    if (!item || item == this) throw EInvalidOperation("Menu item cannot be inserted");
    if (item->FParentItem) item->FParentItem->Remove(item);
    FItems.push_back(item);
    item->FParentItem = this;
    if (item->FRadioItem && item->FChecked) item->UncheckGroup();
}

void TMenuItem::Remove(TMenuItem* item)
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParentItem = nullptr;
}

void TMenuItem::Click()
{
    if (FEnabled && OnClick) OnClick(this);
}

bool TMenuItem::SetParentComponent(TComponent* parent)
{
    if (auto menu = dynamic_cast<TPopupMenu*>(parent)) {
        menu->Items()->Add(this);
        return true;
    }
    if (auto item = dynamic_cast<TMenuItem*>(parent)) {
        item->Add(this);
        return true;
    }
    return false;
}

// --------------------------------------------------------------- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), FItems(nullptr)
{
    FClassName = "TPopupMenu";
}

TPopupMenu::~TPopupMenu()
{
    if (FHandle) DestroyMenu(FHandle);
}

bool TPopupMenu::SetParentComponent(TComponent* parent)
{
    (void)parent;
    return false;
}

HMENU TPopupMenu::Build(TMenuItem* parent)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) throw EOutOfResources("Cannot create a menu");
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->GetVisible()) continue;
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        if (item->IsLine()) {
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_SEPARATOR;
            InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
            continue;
        }
        std::string caption = item->GetCaption();
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.fType = item->GetRadioItem() ? MFT_RADIOCHECK : 0;
        info.fState = (item->GetChecked() ? MFS_CHECKED : 0) | (item->GetEnabled() ? 0 : MFS_GRAYED);
        info.wID = item->Command();
        info.dwTypeData = &caption[0];
        info.cch = static_cast<UINT>(caption.size());
        if (!item->GetBitmap()->Empty()) {
            // Drawn by the popup list window, so that the key colour stays
            // transparent on the normal and the highlighted background.
            info.fMask |= MIIM_BITMAP;
            info.hbmpItem = HBMMENU_CALLBACK;
        }
        if (item->Count() > 0) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = Build(item);
        }
        InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
    }
    return menu;
}

void TPopupMenu::Popup(int x, int y)
{
    if (OnPopup) OnPopup(this);
    HMENU menu = Build(&FItems);
    if (FHandle) DestroyMenu(FHandle);
    FHandle = menu;
    HWND owner = PopupListWindow();
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    // Lets the next click after a menu opened from a background window
    // (the notification area) reach the menu.
    PostMessageA(owner, WM_NULL, 0, 0);
}
