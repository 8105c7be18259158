#include "Dialogs.h"

#include "Forms.h"
#include "SysUtils.h"
#include "dialogs/MessageBoxForm.h"

void ShowSystemError(DWORD code)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code, 0x400,
                                  reinterpret_cast<char*>(&text), 0, nullptr);
    if (length != 0 && text != nullptr) {
        MessageBoxA(nullptr, text, "GetLastError", MB_OK);
        LocalFree(text);
    } else {
        // The system has no text for this code: an empty box would tell the
        // user nothing, the number at least can be looked up.
        MessageBoxA(nullptr, Format("Error %lu", static_cast<unsigned long>(code)).c_str(), "GetLastError", MB_OK);
    }
}

int ShowMessageDialog(const std::string& text, const std::string& caption, int kind)
{
    // The box goes when the call ends, also when an exception ends it.
    struct BoxGuard {
        TfmMessageBox* Box;
        ~BoxGuard()
        {
            fmMessageBox = nullptr;
            Box->Free();
        }
    } guard{new TfmMessageBox(Application->MainForm())};
    fmMessageBox = guard.Box;
    return guard.Box->Execute(text, caption, kind);
}
