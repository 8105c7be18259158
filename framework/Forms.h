// The application object: the hidden "TApplication" top-level window that
// carries the program's title (and later its taskbar button), the message loop
// and the standard exception box.
#pragma once

#include <windows.h>

#include <string>

#include "Classes.h"
#include "SysUtils.h"

class TApplication : public TObject {
public:
    TApplication();
    ~TApplication() override;

    // Creates the hidden application window; its text is Title.
    void Initialize();
    // Shows the main form and runs the message loop until it closes; returns
    // at once when the program has no main form.
    void Run();

    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& title);
    HWND Handle() const { return FHandle; }

    // The standard exception box: stop icon, OK, the current title as caption.
    void ShowException(const std::string& message);
    void ShowException(const Exception& e) { ShowException(e.Message); }

private:
    HWND FHandle = nullptr;
    std::string FTitle;
};

// "." is appended when the last character compares greater than "." (so a
// message that already ends in "." or "'" keeps its end).
std::string ExceptionBoxText(const std::string& message);

extern TApplication* Application;
