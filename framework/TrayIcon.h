// The notification-area ("tray") icon of the program, a component owned by a
// form.
//
//     tray->SetIcons(imageList);  tray->SetIconIndex(0);
//     tray->SetPopupMenu(pmTray); tray->SetHint("Sweepora");
//     tray->SetVisible(true);     // adds the icon; EOutOfResources when it cannot
//     tray->Minimize();           // the program leaves the screen (and the taskbar, with Hide)
//     tray->Restore();
//
// The icon reports the mouse through WM_USER+1 to a hidden window of the
// component's own (Handle()): releasing the button that PopupMenuOn names
// pops PopupMenu up at the pointer, with the program's active form brought
// forward first; the event that RestoreOn names (a double click of any button
// by default) runs Restore. While the icon shows, the application window's
// minimise and restore commands run Minimize and Restore. The icon goes when
// the component is freed, when it is hidden and when Windows ends the session;
// it comes back by itself when the taskbar is re-created.
#pragma once

#include <windows.h>

#include <string>

#include "Classes.h"
#include "ImgList.h"
#include "Menus.h"

// Which mouse event on the icon triggers an action.
enum TTrayMouseEvent {
    imDoubleClick,  // double click of any button
    imRightClickUp, // right button released
};

class TTrayIcon : public TComponent {
public:
    // The callback message the icon sends to Handle().
    static constexpr UINT WM_TRAYNOTIFY = WM_USER + 1;

    explicit TTrayIcon(TComponent* owner);
    ~TTrayIcon() override;

    bool GetVisible() const { return FVisible; }
    // True adds the icon and hooks the application window; false removes both.
    void SetVisible(bool value);
    // The tip. Texts of 64 characters or more do not fit the notification
    // area's tip and are ignored: the old tip stays.
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value);
    void SetPopupMenu(TPopupMenu* value) { FPopupMenu = value; }
    // With Hide, Minimize also hides the application's taskbar button.
    void SetHide(bool value) { FHide = value; }
    void SetRestoreOn(TTrayMouseEvent value) { FRestoreOn = value; }
    void SetPopupMenuOn(TTrayMouseEvent value) { FPopupMenuOn = value; }
    // The icon is image IconIndex of Icons (the program's icon without them).
    void SetIcons(TImageList* value);
    void SetIconIndex(int value);

    void Minimize();
    void Restore();

    // The hidden window that receives the icon's messages.
    HWND Handle() const { return FHandle; }
    // The icon's identifier with Handle() in the notification area.
    static constexpr UINT IconID = 1;

    void Loaded() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void MouseEvent(UINT mouseMessage);
    void PopupAtCursor();
    bool Notify(DWORD action);
    void AddIcon();
    void RemoveIcon();
    void UpdateIcon();
    void Hook();
    void Unhook();

    HWND FHandle = nullptr;
    bool FVisible = false;
    bool FAdded = false;
    std::string FHint;
    TPopupMenu* FPopupMenu = nullptr;
    bool FHide = false;
    TTrayMouseEvent FRestoreOn = imDoubleClick;
    TTrayMouseEvent FPopupMenuOn = imRightClickUp;
    TImageList* FIcons = nullptr;
    int FIconIndex = 0;
    HICON FIcon = nullptr;
    bool FOwnIcon = false;
    int FHookKey = 0;
    UINT FTaskbarCreated = 0;
};
