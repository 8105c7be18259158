// Forms and the application object.
//
// A form is a top-level window built from a form description (see
// FormLoader.h). A form class registers its event handlers and its component
// fields by name in its constructor and then calls LoadForm:
//
//     TForm1::TForm1(TComponent* owner) : TForm(owner)
//     {
//         Field("bbtOk", bbtOk);
//         Handler("FormCreate", &TForm1::FormCreate);
//         Handler("bbtOkClick", &TForm1::bbtOkClick);
//         LoadForm("Unit1.dfm");      // builds the components, then OnCreate
//     }
//
// Forms are freed with Free() (or by their owner) so that OnDestroy runs while
// the form is still whole.
//
// The application object: the hidden "TApplication" top-level window that
// carries the program's title, the message loop, the idle-time hover check
// and the standard exception box.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "SysUtils.h"

// Where a form goes when it is shown: where it stands, centred on the
// desktop, or centred on its owner form (the main form when it has none).
enum TPosition { poDesigned, poDesktopCenter, poOwnerFormCenter };

// Borderless, or the framed window with caption, menu and sizing border.
enum TFormBorderStyle { bsNone, bsSizeable };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// True while the GUI thread waits for another program and answers only what
// other threads send to its windows (TApplication::AnswerSentMessages):
// nothing of the program's own may start from those messages.
bool ApplicationWaiting();

// A handler registered by a form class, kept with its exact closure type so
// that binding it to an event of another type is refused.
struct THandlerBase {
    virtual ~THandlerBase() = default;
};
template <class Fn>
struct THandler : THandlerBase {
    explicit THandler(Fn value) : Value(std::move(value)) {}
    Fn Value;
};

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Shows the form and runs a message loop, with the program's other
    // windows disabled, until ModalResult is set (or the program is told to
    // end: then mrCancel); hides the form and returns ModalResult.
    int ShowModal();
    // A modal form ends with mrCancel; otherwise, when OnCloseQuery agrees,
    // the main form ends the program and any other form is hidden.
    void Close();
    bool CloseQuery();
    bool IsModal() const { return FModal; }
    // Showing positions the form (Position), shows and activates it and
    // raises OnActivate; hiding hides it.
    void SetVisible(bool value) override;

    // Tab order: the windowed controls of the form, each parent's children by
    // TabOrder where it is set (else in their order) and each followed by its
    // own children. Tab and Shift+Tab move the focus to the next or previous
    // control there that has TabStop and can take the focus, round the end.
    // A form that is shown without the focus on one of its controls gives it
    // to the first of them.
    std::vector<TWinControl*> TabOrderList() const;
    void SelectNext(TWinControl* current, bool forward);
    void SelectFirst();

    TModalResult ModalResult = mrNone;
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    void SetBorderStyle(TFormBorderStyle value);
    std::string HelpFile;
    // The window's icon: the program's ICON resource of that name, else the
    // program's MAINICON. (Forms folders compile no icons: the icon images'
    // numbers would clash with those of the program's own icon.)
    void SetIconResource(const std::string& name);

    RECT ClientRect() const override;
    void SetClientWidth(int value) override;
    void SetClientHeight(int value) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;

    // Builds the form from the RCDATA resource of that name (the description's
    // file name, e.g. "Unit1.dfm"), binds the fields and raises OnCreate.
    void LoadForm(const std::string& resourceName);
    // The same from a description's text; fileName names it in errors.
    void LoadFormFromText(const std::string& text, const std::string& fileName);

    // The registered handler of that name (case-insensitive), or nullptr.
    const THandlerBase* FindHandler(const std::string& name) const;

    void Dispatch(TMessage& message) override;

protected:
    template <class F, class... Args>
    void Handler(const std::string& name, void (F::*method)(Args...))
    {
        using Fn = std::function<void(Args...)>;
        F* self = static_cast<F*>(this);
        Fn call = [self, method](Args... args) {
            // A message sent by another program while the GUI thread waits
            // for one must not start a scan or an action inside that wait.
            if (ApplicationWaiting()) return;
            (self->*method)(std::forward<Args>(args)...);
        };
        FHandlers.push_back(HandlerEntry{name, std::make_unique<THandler<Fn>>(std::move(call))});
    }
    // After loading, the component of that name is stored in the field; a
    // missing one, or one of another class, is an error.
    template <class T>
    void Field(const std::string& name, T*& field)
    {
        FFields.push_back(FieldEntry{name, [&field](TComponent* c) {
                                         T* typed = dynamic_cast<T*>(c);
                                         if (typed) field = typed;
                                         return typed != nullptr;
                                     }});
    }

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void BeforeDestruction() override;
    virtual void DoCreate();
    virtual void DoActivate();
    virtual void DoDestroy();

private:
    struct HandlerEntry {
        std::string Name;
        std::unique_ptr<THandlerBase> Value;
    };
    struct FieldEntry {
        std::string Name;
        std::function<bool(TComponent*)> Assign;
    };
    void ApplyPosition();
    void FrameStyle(DWORD& style, DWORD& exStyle) const;
    void RaiseEvent(const TNotifyEvent& event);

    std::vector<HandlerEntry> FHandlers;
    std::vector<FieldEntry> FFields;
    TPosition FPosition = poDesigned;
    TFormBorderStyle FBorderStyle = bsSizeable;
    bool FModal = false;
    HICON FIconBig = nullptr;
    HICON FIconSmall = nullptr;
    void ApplyIcon();
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* owner);
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Creates the hidden application window; its text is Title.
    void Initialize();

    // Creates a form owned by the application. The reference is set before
    // the form is built, so that its creation handlers can use it; the first
    // form created becomes the main form.
    template <class T>
    void CreateForm(T*& reference)
    {
        void* memory = ::operator new(sizeof(T));
        reference = static_cast<T*>(memory);
        try {
            new (memory) T(this);
        } catch (...) {
            reference = nullptr;
            ::operator delete(memory);
            throw;
        }
        FormCreated(reference);
    }

    // Shows the main form (raising its OnActivate) and runs the message loop
    // until the main form closes; returns at once when there is no main form.
    void Run();
    // One message, or, when there is none, the idle-time work and a wait for
    // the next message.
    void HandleMessage();
    // Every message waiting now, without waiting for more.
    void ProcessMessages();
    // The idle-time work: the hover check (CM_MOUSEENTER / CM_MOUSELEAVE)
    // and the hint of the control under the pointer.
    void DoIdle();
    // Lets that many milliseconds pass while answering the messages that
    // other threads and programs send to the program's windows, and nothing
    // else: no input, paint or timer is taken from the queue. A program that
    // sends to every window (a setting change broadcast by an installer)
    // so gets its answer while the GUI thread waits for a child process.
    // Meanwhile Waiting() holds: the forms run none of their handlers and
    // the tray icon ignores the mouse. Windows 98 and later.
    void AnswerSentMessages(DWORD milliseconds);
    bool Waiting() const { return FWaits > 0; }
    // Ends the message loops (posts WM_QUIT).
    void Terminate();
    bool Terminated() const { return FTerminated; }

    TCustomForm* MainForm() const { return FMainForm; }
    void SetTitle(const std::string& title);
    HWND Handle() const { return FHandle; }

    // Hooks of the application window: each one sees the window's messages
    // before the window does, the last hooked first; a hook returning true
    // has handled the message (its Result is the answer). HookMainWindow
    // returns the key that UnhookMainWindow takes.
    using TWindowHook = std::function<bool(TMessage& message)>;
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int key);
    // The system's minimise and restore commands of the application window
    // (and the minimise command of the main form) run these. Minimize
    // minimises the application window and takes the main form off the
    // screen; Restore restores the application window, shows the main form
    // again (a hidden main form stays hidden) and brings it to the
    // foreground. Neither changes the main form's Visible, so restoring
    // raises no OnActivate.
    void Minimize();
    void Restore();

    // Hints: a control with ShowHint whose Hint is not empty shows it in a
    // hint window after the pointer has rested on it for HintPause
    // milliseconds; it goes when the pointer leaves the control, on a click
    // or a key, and after HintHidePause milliseconds (0: never by time).
    bool ShowHint = true;
    int HintPause = 500;
    int HintHidePause = 2500;
    void CancelHint();
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // The standard exception box: stop icon, OK, the current title as caption.
    void ShowException(const std::string& message);
    void ShowException(const Exception& e) { ShowException(e.Message); }
    // Shows the exception being handled; call inside a catch block.
    void HandleException();

private:
    friend class TCustomForm;
    void FormCreated(TCustomForm* form);
    bool ProcessMessage(MSG& msg);

    void HintMouseCheck();
    void HintTimerExpired(UINT_PTR timer);
    void HideHint();

    HWND FHandle = nullptr;
    std::string FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    int FWaits = 0; // nested AnswerSentMessages calls
    struct HookEntry {
        int Key;
        TWindowHook Hook;
    };
    std::vector<HookEntry> FHooks;
    int FNextHookKey = 1;
    // The control whose hint is pending or shown; compared, never used,
    // unless it is still the control under the pointer.
    TControl* FHintControl = nullptr;
    class THintWindow* FHintWindow = nullptr;
};

// "." is appended when the last character compares greater than "." (so a
// message that already ends in "." or "'" keeps its end).
std::string ExceptionBoxText(const std::string& message);

extern TApplication* Application;
