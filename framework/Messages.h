// The framework's own messages. They are real message numbers: controls
// receive them through Dispatch exactly like Win32 messages, whether they come
// from Perform, from a parent's broadcast or from a window procedure.
#pragma once

#include <windows.h>

// A message as the controls' dispatchers see it; a handler leaves its answer
// in Result (Perform returns it).
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;          // a form was shown and activated
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;         // Enter/Esc/Tab offered to the controls of a form
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;        // an accelerator character offered likewise
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;     // WParam group index, LParam the sender
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x24;

// Notifications a parent window receives about one of our system-class
// children (an edit's EN_CHANGE, a list view's LVN_ITEMCHANGED, the colours
// of a check box) are handed to that child as CN_BASE + the message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

// CM_DIALOGKEY / CM_DIALOGCHAR: the key or character code and the key flags
// of the keyboard message that produced them.
inline WORD CharCode(const TMessage& m) { return LOWORD(m.WParam); }
inline LPARAM KeyData(const TMessage& m) { return m.LParam; }
