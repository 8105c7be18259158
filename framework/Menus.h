// Popup menus: TPopupMenu holds a tree of TMenuItem; Popup builds a Win32
// popup menu from the items as they are at that moment and tracks it at a
// screen point.
//
//     pm->Items()->Add(item);           // or nest "object ...: TMenuItem" in a description
//     pm->Popup(x, y);                  // OnPopup first, then the menu
//
// A chosen item's OnClick runs from the WM_COMMAND that the menu posts to the
// one hidden window of the process that owns every popup (PopupListWindow()),
// after the menu has closed. Items have a command number of their own
// (Command()), unique in the process while the item lives.
//
// Captions: "-" is a separator, "&" marks the access key. A radio item shows
// its check as a dot; checking a radio item unchecks the other radio items of
// its GroupIndex under the same parent. Item bitmaps are drawn beside the
// caption with the colour of their bottom-left pixel transparent.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }
    bool IsLine() const { return FCaption == "-"; }
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool value) { FVisible = value; }
    bool GetRadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    // The picture beside the caption; the colour of its bottom-left pixel
    // is transparent.
    TBitmap* GetBitmap() { return &FBitmap; }
    // Loads the bitmap from the program's BITMAP resource of that name.
    void SetBitmapResource(const std::string& name);

    // Sub-items, in order.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);

    // The number of the WM_COMMAND that chooses this item.
    UINT Command() const { return FCommand; }
    // Fires OnClick.
    virtual void Click();

    TNotifyEvent OnClick;

    bool SetParentComponent(TComponent* parent) override;

    // Draws the bitmap (for the menu's owner-drawn picture slot).
    void DrawBitmap(HDC dc, int x, int y);

private:
    void UncheckGroup();

    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FRadioItem = false;
    int FGroupIndex = 0;
    std::string FHint;
    TBitmap FBitmap;
    HIMAGELIST FBitmapList = nullptr;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParentItem = nullptr;
    UINT FCommand = 0;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // The invisible root item; its sub-items are the menu.
    TMenuItem* Items() { return &FItems; }
    // The control the menu was last popped up over (nullptr when called directly).
    TComponent* GetPopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* value) { FPopupComponent = value; }

    // Raises OnPopup, builds the menu from the items and tracks it with its
    // top-left corner at the screen point. Returns when the menu has closed;
    // the chosen item's OnClick follows from the message queue.
    virtual void Popup(int x, int y);
    // The menu as last built by Popup (nullptr before the first one).
    HMENU Handle() const { return FHandle; }

    TNotifyEvent OnPopup;

    bool SetParentComponent(TComponent* parent) override;

private:
    HMENU Build(TMenuItem* parent);

    TMenuItem FItems;
    TComponent* FPopupComponent = nullptr;
    HMENU FHandle = nullptr;
};

// The hidden window that owns the popup menus of the process: it receives
// their WM_COMMAND, WM_MEASUREITEM and WM_DRAWITEM.
HWND PopupListWindow();
// The live item with that command number, or nullptr.
TMenuItem* FindMenuItem(UINT command);
