// The application object: its window and title, CreateForm and the main
// form, and Run's loop until the main form closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FormLoader.h"
#include "Forms.h"
#include "GuiSupport.h"

using namespace testsupport;

namespace {

class TMainForm;
TMainForm* MainForm1 = nullptr;

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* owner) : TForm(owner)
    {
        Handler("FormCreate", &TMainForm::FormCreate);
        Handler("FormActivate", &TMainForm::FormActivate);
        Handler("FormCloseQuery", &TMainForm::FormCloseQuery);
        Handler("FormDestroy", &TMainForm::FormDestroy);
        LoadFormFromText("object Main: TMainForm\n"
                         "  BorderStyle = bsNone\n"
                         "  ClientHeight = 100\n"
                         "  ClientWidth = 200\n"
                         "  Position = poDesktopCenter\n"
                         "  OnActivate = FormActivate\n"
                         "  OnCloseQuery = FormCloseQuery\n"
                         "  OnCreate = FormCreate\n"
                         "  OnDestroy = FormDestroy\n"
                         "end\n",
                         "Main.dfm");
    }
    int Activations = 0;
    int CloseQueries = 0;
    bool GlobalSetAtCreate = false;
    bool VisibleAtActivate = false;
    static int Destroyed;
    void FormCreate(TObject*) { GlobalSetAtCreate = MainForm1 == this; }
    void FormActivate(TObject*)
    {
        ++Activations;
        VisibleAtActivate = IsWindowVisible(Handle()) != FALSE;
    }
    void FormCloseQuery(TObject*, bool& canClose) { canClose = ++CloseQueries > 1; }
    void FormDestroy(TObject*) { ++Destroyed; }
};
int TMainForm::Destroyed = 0;

// A guard against a loop that never ends: the test fails instead of hanging.
void CALLBACK EndTheLoop(HWND, UINT, UINT_PTR, DWORD)
{
    Application->Terminate();
}

TEST(Application, TitleIsTheTextOfTheHiddenApplicationWindow)
{
    Application->Initialize();
    Application->SetTitle("Test title");
    HWND window = FindWindowA("TApplication", "Test title");
    EXPECT_EQ(window, Application->Handle());
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST(Application, RunShowsTheMainFormAndLoopsUntilItCloses)
{
    Application->Initialize();
    Application->CreateForm(MainForm1);
    TMainForm* second = nullptr;
    Application->CreateForm(second);
    ASSERT_NE(MainForm1, nullptr);
    EXPECT_TRUE(MainForm1->GlobalSetAtCreate); // the global was set while it was built
    EXPECT_EQ(Application->MainForm(), MainForm1);
    EXPECT_EQ(MainForm1->GetOwner(), Application);
    // Forms are owned by the application window.
    EXPECT_EQ(GetWindow(MainForm1->Handle(), GW_OWNER), Application->Handle());

    // The first close is refused by OnCloseQuery, the second ends the loop.
    PostMessageA(MainForm1->Handle(), WM_CLOSE, 0, 0);
    PostMessageA(MainForm1->Handle(), WM_CLOSE, 0, 0);
    UINT_PTR guard = SetTimer(nullptr, 0, 30000, EndTheLoop);
    Application->Run();
    KillTimer(nullptr, guard);
    EXPECT_EQ(MainForm1->Activations, 1);
    EXPECT_TRUE(MainForm1->VisibleAtActivate);
    EXPECT_EQ(MainForm1->CloseQueries, 2);
    EXPECT_EQ(second->Activations, 0);
    RECT r;
    GetWindowRect(MainForm1->Handle(), &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - 200) / 2);

    // Freed with the application's components: OnDestroy runs.
    MainForm1->Free();
    EXPECT_EQ(TMainForm::Destroyed, 1);
    EXPECT_EQ(Application->MainForm(), nullptr);
    second->Free();
}

TEST(Application, AWaitAnswersWhatOtherThreadsSendAndNothingElse)
{
    Application->Initialize();
    auto* form = new TMainForm(Application);
    HWND window = form->Handle();
    // Waiting in the queue: neither input nor anything posted is taken.
    PostMessageA(window, WM_APP + 7, 0, 0);
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 1);

    std::atomic<bool> answered{false};
    std::thread sender([&] {
        SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("sent meanwhile"));
        // Its handler does not run inside the wait.
        SendMessageA(window, WM_CLOSE, 0, 0);
        answered = true;
    });
    for (int i = 0; i < 600 && !answered; ++i) Application->AnswerSentMessages(100);
    EXPECT_FALSE(Application->Waiting());
    sender.join();
    EXPECT_TRUE(answered);
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "sent meanwhile");
    EXPECT_EQ(form->CloseQueries, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 7));
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    form->Free();
}

} // namespace
