// The main window as the application's main form: hidden into the tray and
// brought back, it keeps its page and does not run its activation again.
#include <windows.h>

#include <gtest/gtest.h>

#include "GuiSupport.h"
#include "MainWindow.h"

using namespace testsupport;

namespace {

TEST(MainWindowLifeCycle, TheTrayKeepsThePageAndActivatesOnce)
{
    Application->Initialize();
    Application->CreateForm(Form1);
    TForm1* form = Form1;
    int activations = 0;
    TNotifyEvent activate = form->OnActivate;
    form->OnActivate = [&](TObject* sender) {
        ++activations;
        activate(sender);
    };
    form->Show();
    PumpPending();
    ASSERT_EQ(activations, 1);
    ASSERT_EQ(form->ActivePage, pcUninstall);

    ClickControl(form->bbtAboutIcon);
    ASSERT_EQ(form->ActivePage, pcAbout);

    const struct {
        const char* What;
        void (*Hide)(TForm1*);
        void (*Restore)(TForm1*);
        int Page; // shown after the round
    } rounds[] = {
        {"Exit icon, tray restore", [](TForm1* f) { ClickControl(f->bbtExitIcon); },
         [](TForm1* f) { f->TrayIcon->Restore(); }, pcAbout},
        {"system minimise, double click on the tray icon",
         [](TForm1* f) { SendMessageA(f->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); },
         [](TForm1* f) { SendMessageA(f->TrayIcon->Handle(), WM_USER + 1, 1, WM_LBUTTONDBLCLK); },
         pcAbout},
        // Esc clicks the Uninstall icon before the Exit icon: that page shows
        // (a key's click latches no icon; only a mouse button's release does).
        {"Esc, tray restore", [](TForm1* f) { SendKey(f->Handle(), VK_ESCAPE); },
         [](TForm1* f) { f->TrayIcon->Restore(); }, pcUninstall},
    };
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.What);
        round.Hide(form);
        PumpPending();
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
        EXPECT_FALSE(IsWindowVisible(Application->Handle()));
        round.Restore(form);
        PumpPending();
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_TRUE(IsWindowVisible(Application->Handle()));
        EXPECT_EQ(activations, 1);
        EXPECT_EQ(form->ActivePage, round.Page);
    }
    EXPECT_TRUE(form->plUninstall->GetVisible());
}

} // namespace
