// The real Sweepora98.exe and SweeporaXP.exe, started in the sandbox and
// driven from outside the way the system and the shell drive them: the
// private registry keys, the application and main windows with the window's
// shape, the tray (hiding, restoring, its menu's Exit), the system's close
// command and the single instance.
#include <windows.h>

#include <shellapi.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "GuiSupport.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

const char kTarsk[] = "Software\\Classes\\tarsk";
const char kPhantom[] = "Software\\Classes\\tarsk\\Phantom";
const char kMutexName[] = "SINGLEINSTANCE_TEST_WRITED_BY_KWEX_20010620";
const char kAppClass[] = "TApplication";
const char kRunningTitle[] = "Sweepora 2004 Pro";
const char kMainClass[] = "TForm1";
const char kTrayClass[] = "TTrayIconWindow";
const char kMenuClass[] = "#32768";
// The tray component's callback message and its icon's identifier.
constexpr UINT kTrayNotify = WM_USER + 1;
constexpr UINT kTrayIconId = 1;

// Starting and ending a program under this display takes seconds; these only
// keep a broken program from hanging the suite.
constexpr DWORD kGuardMs = 60000;

using Values = std::map<std::string, std::string>;

DWORD PidOf(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// Sends and waits for the answer, within the guard time.
bool SendGuarded(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, kGuardMs, &result) != 0;
}

// The window with the keyboard focus in the window's thread (the window
// itself when the thread reports none).
HWND FocusOf(HWND hwnd)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) && info.hwndFocus) return info.hwndFocus;
    return hwnd;
}

// One started edition and the windows it has made once it runs.
class Program {
public:
    explicit Program(const std::string& commandLine) : FChild(commandLine) {}
    bool Started() const { return FChild.Started(); }
    DWORD Pid() const { return FChild.Pid(); }
    bool Running() const { return FChild.Running(); }
    DWORD Wait() { return FChild.Wait(kGuardMs); }
    HANDLE Process() const { return FChild.Process(); }

    // Waits for the running state: the application window with its final
    // title and the main window on the screen.
    bool WaitRunning()
    {
        auto ready = [this] {
            HWND app = FindWindowA(kAppClass, kRunningTitle);
            if (!app || PidOf(app) != Pid()) return false;
            App = app;
            Main = FindWindowOf(Pid(), kMainClass, true);
            Tray = FindWindowOf(Pid(), kTrayClass, false);
            return Main != nullptr && Tray != nullptr;
        };
        // A program that has ended will not get there.
        WaitUntil([&] { return ready() || !Running(); });
        return ready() && SendGuarded(Main, WM_NULL, 0, 0); // its message loop answers
    }

    // The main window shows, and so does the application window, which is
    // the program's taskbar button, not minimised.
    bool OnScreen() const { return IsWindowVisible(Main) && IsWindowVisible(App) && !IsIconic(App); }
    bool InTray() const
    {
        return Running() && !IsWindowVisible(Main) && !IsWindowVisible(App) && TrayIconShown(Tray, kTrayIconId);
    }

    HWND App = nullptr;
    HWND Main = nullptr;
    HWND Tray = nullptr;

private:
    Child FChild;
};

// The single-instance mutex held by this process for one case; released
// however the case ends, or every later start would be a second instance.
class HeldMutex {
public:
    HeldMutex() : FHandle(CreateMutexA(nullptr, TRUE, kMutexName)), FExisted(GetLastError() == ERROR_ALREADY_EXISTS) {}
    ~HeldMutex()
    {
        if (FHandle) CloseHandle(FHandle);
    }
    HeldMutex(const HeldMutex&) = delete;
    HeldMutex& operator=(const HeldMutex&) = delete;
    // Made here, not found: no program of an earlier case still runs.
    bool Made() const { return FHandle != nullptr && !FExisted; }

private:
    HANDLE FHandle;
    bool FExisted;
};

struct Edition {
    const char* Exe;
};

const Edition kEditions[] = {{"Sweepora98.exe"}, {"SweeporaXP.exe"}};

void PrintTo(const Edition& edition, std::ostream* os)
{
    *os << edition.Exe;
}

class SmokeTest : public ::testing::TestWithParam<Edition> {
protected:
    void SetUp() override { RegDeleteTree(HKEY_LOCAL_MACHINE, kTarsk); }
    // A still running program is ended by its Child at destruction.
    std::unique_ptr<Program> Start(const std::string& arguments = "")
    {
        std::string line = GetParam().Exe;
        if (!arguments.empty()) line += " " + arguments;
        auto program = std::make_unique<Program>(line);
        EXPECT_TRUE(program->Started()) << line;
        return program;
    }
};

TEST_P(SmokeTest, StartUpMakesTheKeysAndTheShapedWindowAndAltF4EndsIt)
{
    // Arguments change nothing: the program reads no command line.
    auto program = Start("/uninstall ignored");
    ASSERT_TRUE(program->WaitRunning());

    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, kTarsk));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, kPhantom));

    EXPECT_EQ(WindowText(program->App), kRunningTitle);
    HWND main = program->Main;
    RECT window, client;
    ASSERT_TRUE(GetWindowRect(main, &window));
    ASSERT_TRUE(GetClientRect(main, &client));
    EXPECT_EQ(window.right - window.left, 750);
    EXPECT_EQ(window.bottom - window.top, 513);
    EXPECT_EQ(client.right, 750); // no border, no caption bar
    EXPECT_EQ(client.bottom, 513);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(main, region), ERROR) << "the window has no region";
    const struct {
        int X, Y;
        bool Inside;
        const char* What;
    } points[] = {
        {375, 256, true, "middle"},
        {4, 256, true, "first column"},
        {3, 256, false, "cut at the left"},
        {375, 4, true, "first row"},
        {375, 3, false, "cut at the top"},
        {0, 0, false, "window corner"},
        {749, 256, true, "last column"},
        {750, 256, false, "past the right edge"},
        {375, 513, true, "last row"},
        {375, 514, false, "past the bottom edge"},
        {19, 4, true, "top edge where the top-left curve ends"},
        {4, 19, true, "left edge where the top-left curve ends"},
        {12, 12, true, "inside the top-left curve"},
        {6, 6, false, "outside the top-left curve"},
        {740, 10, true, "inside the top-right curve"},
        {748, 6, false, "outside the top-right curve"},
        {12, 506, true, "inside the bottom-left curve"},
        {6, 511, false, "outside the bottom-left curve"},
        {742, 505, true, "inside the bottom-right curve"},
        {748, 511, false, "outside the bottom-right curve"},
    };
    for (const auto& p : points)
        EXPECT_EQ(PtInRegion(region, p.X, p.Y) != FALSE, p.Inside) << p.What << " (" << p.X << ", " << p.Y << ")";
    DeleteObject(region);

    // The system's close command, as Alt+F4 on the window makes it: no
    // question, the program ends.
    PostKey(FocusOf(main), VK_F4, true);
    EXPECT_EQ(program->Wait(), 0u);
}

TEST_P(SmokeTest, HidesIntoTheTrayComesBackAndTheTrayExitEndsIt)
{
    // What is there already stays: a verdict, a subkey and a value of the
    // private key.
    RegSetString(HKEY_LOCAL_MACHINE, kPhantom, "Seeded program", "1");
    RegSetString(HKEY_LOCAL_MACHINE, std::string(kPhantom) + "\\Seeded subkey", "kept", "yes");
    RegSetString(HKEY_LOCAL_MACHINE, kTarsk, "own value", "kept");

    auto program = Start();
    ASSERT_TRUE(program->WaitRunning());
    ASSERT_TRUE(program->OnScreen());
    EXPECT_TRUE(TrayIconShown(program->Tray, kTrayIconId));

    const struct {
        const char* What;
        std::function<void()> Hide;
        UINT DoubleClick;
    } hiders[] = {
        {"Esc", [&] { PostKey(FocusOf(program->Main), VK_ESCAPE); }, WM_LBUTTONDBLCLK},
        {"minimise command of the main window",
         [&] { PostMessageA(program->Main, WM_SYSCOMMAND, SC_MINIMIZE, 0); }, WM_RBUTTONDBLCLK},
        {"minimise command of the application window",
         [&] { PostMessageA(program->App, WM_SYSCOMMAND, SC_MINIMIZE, 0); }, WM_LBUTTONDBLCLK},
    };
    for (const auto& h : hiders) {
        h.Hide();
        EXPECT_TRUE(WaitUntil([&] { return program->InTray(); })) << h.What;
        EXPECT_TRUE(SendGuarded(program->Tray, kTrayNotify, kTrayIconId, h.DoubleClick)) << h.What;
        EXPECT_TRUE(WaitUntil([&] { return program->OnScreen(); })) << h.What;
        ASSERT_TRUE(program->Running()) << h.What;
    }

    // The tray menu at a right-button release, and its last item, "Exit",
    // chosen with the keyboard as the menu reads it.
    PostMessageA(program->Tray, kTrayNotify, kTrayIconId, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = FindWindowOf(program->Pid(), kMenuClass, true)) != nullptr; }))
        << "no tray menu";
    PostKey(menu, VK_UP);
    PostKey(menu, VK_RETURN);
    EXPECT_EQ(program->Wait(), 0u);
    // Wine's shell also drops the icons of windows that are gone, so this
    // cannot tell the program's own removal from that (the tray component's
    // tests do).
    EXPECT_FALSE(TrayIconShown(program->Tray, kTrayIconId));

    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kTarsk), (Values{{"own value", "kept"}}));
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, kPhantom)["Seeded program"], "1");
    EXPECT_EQ(RegValues(HKEY_LOCAL_MACHINE, std::string(kPhantom) + "\\Seeded subkey"), (Values{{"kept", "yes"}}));
}

TEST_P(SmokeTest, ASecondStartEndsAndBringsTheFirstBack)
{
    auto first = Start();
    ASSERT_TRUE(first->WaitRunning());
    PostMessageA(first->App, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return first->InTray() && IsIconic(first->App); }));

    auto second = Start("again");
    EXPECT_EQ(second->Wait(), 0u);
    EXPECT_TRUE(first->Running());
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(first->App); }));
    EXPECT_EQ(GetForegroundWindow(), first->App);
}

TEST_P(SmokeTest, WithTheMutexTakenAndNoRunningWindowASecondStartJustEnds)
{
    HeldMutex mutex;
    ASSERT_TRUE(mutex.Made());
    auto program = Start();
    EXPECT_EQ(program->Wait(), 0u);
    // It built no window: the creation handler would have made the key.
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kTarsk));
}

// The running instance played by this process, with the real program as the
// second instance: the application window minimised, its dialog (the last
// active of its windows) covered by the main window and both by another
// program's window.
class RunningInstance {
public:
    RunningInstance()
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.lpszClassName = kAppClass;
        RegisterClassA(&wc);
        const DWORD popup = WS_POPUP | WS_CAPTION | WS_VISIBLE;
        App = CreateWindowExA(0, kAppClass, kRunningTitle, popup | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, 200, 60,
                              nullptr, nullptr, instance, nullptr);
        Box = CreateWindowExA(0, "STATIC", "box", popup, 120, 120, 200, 100, App, nullptr, instance, nullptr);
        SetForegroundWindow(Box);
        // The main window, owned by the application window like every form,
        // over the box without taking the activation from it.
        Main = CreateWindowExA(0, "STATIC", "main", WS_POPUP | WS_CAPTION, 110, 110, 300, 200, App, nullptr,
                               instance, nullptr);
        SetWindowPos(Main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ShowWindow(App, SW_MINIMIZE);
        Other = CreateWindowExA(0, "STATIC", "other program", popup, 100, 100, 300, 200, nullptr, nullptr, instance,
                                nullptr);
        SetForegroundWindow(Other);
        Pump();
    }
    ~RunningInstance()
    {
        // No window of this title may outlive the case: the next programs
        // started would find it.
        for (HWND h : {Other, Main, Box, App})
            if (h) DestroyWindow(h);
        Pump();
    }
    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    // Answers what the other process asks of these windows until it ends.
    static void PumpUntilEnd(HANDLE process)
    {
        for (DWORD waited = 0; waited <= kGuardMs; waited += 50) {
            DWORD rc = MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT);
            Pump();
            if (rc == WAIT_OBJECT_0) return;
        }
    }
    // Whether a comes before b in the z-order of the top-level windows.
    static bool Above(HWND a, HWND b)
    {
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
            if (h == a) return true;
            if (h == b) return false;
        }
        return false;
    }
    HWND App = nullptr, Box = nullptr, Main = nullptr, Other = nullptr;
};

TEST_P(SmokeTest, ASecondStartBringsTheRunningInstancesDialogToTheTop)
{
    HeldMutex mutex;
    ASSERT_TRUE(mutex.Made());
    RunningInstance running;
    ASSERT_TRUE(running.App && running.Box && running.Main && running.Other);
    ASSERT_TRUE(IsIconic(running.App));
    ASSERT_EQ(GetLastActivePopup(running.App), running.Box);
    ASSERT_TRUE(RunningInstance::Above(running.Main, running.Box));
    ASSERT_TRUE(RunningInstance::Above(running.Other, running.Box));

    auto second = Start();
    RunningInstance::PumpUntilEnd(second->Process());
    EXPECT_EQ(second->Wait(), 0u);

    EXPECT_FALSE(IsIconic(running.App));
    EXPECT_TRUE(RunningInstance::Above(running.Box, running.Main));
    EXPECT_TRUE(RunningInstance::Above(running.Box, running.Other));
    EXPECT_EQ(GetForegroundWindow(), running.Box);
}

INSTANTIATE_TEST_SUITE_P(Editions, SmokeTest, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<Edition>& info) {
                             return std::string(info.param.Exe).substr(0, std::string(info.param.Exe).find('.'));
                         });

} // namespace
