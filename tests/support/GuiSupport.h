// Fixtures for the GUI tests: a memory DC to paint into and read back, real
// mouse messages, a bounded message pump and the answerer of message boxes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TControl;
class TListItem;
class TObject;

namespace testsupport {

// The component name of an event's sender, "?" for anything else.
std::string NameOf(TObject* sender);

// A 32-bit DIB selected into a memory DC, filled with one colour.
class MemoryDC {
public:
    MemoryDC(int width, int height, COLORREF fill);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Handle() const { return FDC; }
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF color);

private:
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    const DWORD* FBits = nullptr;
    int FWidth, FHeight;
};

// A mouse message as the system delivers it to a window: client coordinates
// in LParam, the held buttons and keys in WParam.
void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0);
void PostMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0);
// A key press as the keyboard produces it (WM_KEYDOWN, or WM_SYSKEYDOWN with
// the Alt flag).
void SendKey(HWND hwnd, WORD key, bool alt = false);
// The same key posted, as the keyboard queues it for the window with the focus.
void PostKey(HWND hwnd, WORD key, bool alt = false);
// A left click posted to the parent of a windowless control, 10,5 into it.
void PostClick(TControl* control);

// The real cursor over a point of the control, the moves it makes handled.
void CursorAt(TControl* control, int x, int y);
// The real cursor away from every window.
void ParkCursor();
// A left click at (x, y) of the control, as the mouse delivers it to the
// window under it.
void ClickControl(TControl* control, int x = 5, int y = 5);
// A left click on the check box of a list-view row, where the list view
// shows it; false when the row shows none.
bool ClickCheckBox(TListItem* row);
// Cursor over the control and the idle-time hover check run once.
void HoverControl(TControl* control);
// Cursor away and the hover check run once.
void LeaveControls();

// Dispatches messages until done() holds or the guard time has passed;
// returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD guardMs = 20000);
// Dispatches what is waiting now.
void PumpPending();

// Records the move commands (WM_SYSCOMMAND SC_MOVE) a window receives and
// swallows them, so that no move loop waits for a mouse the test does not
// hold; the window's own procedure is back when the recorder goes.
class MoveCommandRecorder {
public:
    explicit MoveCommandRecorder(HWND hwnd);
    ~MoveCommandRecorder();
    MoveCommandRecorder(const MoveCommandRecorder&) = delete;
    MoveCommandRecorder& operator=(const MoveCommandRecorder&) = delete;
    std::vector<WPARAM> Commands;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    HWND FWindow;
};

// Presses OK in the next message box of this process, from another thread,
// after noting its caption and texts.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    // Waits for the answer; false when no box came within the guard time.
    bool Join();
    std::string Caption;
    std::vector<std::string> Texts;
    bool HadStopIcon = false;

private:
    std::thread FThread;
    bool FFound = false;
};

// What one of the system's dialog boxes ("#32770": a message box, the file
// chooser) showed.
struct SystemBox {
    std::string Caption;
    std::vector<std::string> Texts; // the non-empty static texts, in child order
    bool StopIcon = false;
};

// Answers every dialog box of the system that this process shows while the
// watch lives, from another thread, the way answer says; each is noted
// first. Message boxes are answered with OK unless told otherwise.
class SystemBoxes {
public:
    using Answer = std::function<void(HWND box)>;
    static void PressOk(HWND box);

    explicit SystemBoxes(Answer answer = PressOk);
    ~SystemBoxes();
    SystemBoxes(const SystemBoxes&) = delete;
    SystemBoxes& operator=(const SystemBoxes&) = delete;
    // Ends the watch; the boxes noted until then.
    const std::vector<SystemBox>& Stop();

private:
    void Watch();
    Answer FAnswer;
    std::atomic<bool> FStop{false};
    std::mutex FMutex;
    std::vector<SystemBox> FBoxes;
    std::thread FThread;
};

// The file chooser's file name field (an edit inside its file name box).
HWND FileChooserField(HWND chooser);
// Answers of the file chooser, as the user gives them: a file name typed
// into its field and Enter; Esc.
SystemBoxes::Answer TypeFileName(const std::string& path);
SystemBoxes::Answer PressEscape();

} // namespace testsupport
