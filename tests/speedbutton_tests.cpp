// TPSpeedButton on a test form: a row of flat grouped image buttons, a second
// group with the same index under another parent, Default and Cancel
// buttons, and a modal question whose result the last clicked button sets.
// Driven with real mouse and key messages; faces read back from a memory DC.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "GuiSupport.h"
#include "PSpeedButton.h"

using namespace testsupport;

namespace {

class TButtonForm : public TForm {
public:
    explicit TButtonForm(TComponent* owner) : TForm(owner)
    {
        for (auto& f : std::vector<std::pair<const char*, TPSpeedButton**>>{
                 {"bbtA", &bbtA}, {"bbtB", &bbtB}, {"bbtC", &bbtC}, {"bbtPlain", &bbtPlain},
                 {"bbtBorder", &bbtBorder}, {"bbtFramed", &bbtFramed}, {"bbtOpaque", &bbtOpaque}, {"bbtD", &bbtD},
                 {"bbtE", &bbtE}, {"bbtOk", &bbtOk}, {"bbtNo", &bbtNo}, {"bbtCancel", &bbtCancel},
                 {"bbtHiddenCancel", &bbtHiddenCancel}, {"bbtOffCancel", &bbtOffCancel}})
            Field(f.first, *f.second);
        Field("plRow", plRow);
        Handler("ButtonClick", &TButtonForm::ButtonClick);
        Handler("ButtonDblClick", &TButtonForm::ButtonDblClick);
        Handler("ButtonEnter", &TButtonForm::ButtonEnter);
        Handler("ButtonLeave", &TButtonForm::ButtonLeave);
        LoadForm("ButtonForm.dfm");
    }
    TPanel* plRow = nullptr;
    TPSpeedButton *bbtA = nullptr, *bbtB = nullptr, *bbtC = nullptr, *bbtPlain = nullptr, *bbtBorder = nullptr,
                  *bbtFramed = nullptr, *bbtOpaque = nullptr, *bbtD = nullptr, *bbtE = nullptr, *bbtOk = nullptr,
                  *bbtNo = nullptr, *bbtCancel = nullptr, *bbtHiddenCancel = nullptr, *bbtOffCancel = nullptr;
    std::vector<std::string> Clicks; // "bbtB" or "bbtB down" when it was down at the click
    std::vector<std::string> Hover;

    void ButtonClick(TObject* s)
    {
        auto b = dynamic_cast<TPSpeedButton*>(s);
        Clicks.push_back(NameOf(s) + (b && b->GetDown() ? " down" : ""));
    }
    void ButtonDblClick(TObject* s) { Clicks.push_back("dbl " + NameOf(s)); }
    void ButtonEnter(TObject* s) { Hover.push_back("enter " + NameOf(s)); }
    void ButtonLeave(TObject* s) { Hover.push_back("leave " + NameOf(s)); }
};

class TModalForm : public TForm {
public:
    explicit TModalForm(TComponent* owner) : TForm(owner)
    {
        Field("bbtNo", bbtNo);
        Handler("bbtYesClick", &TModalForm::bbtYesClick);
        Handler("bbtNoClick", &TModalForm::bbtNoClick);
        Handler("bbtCancelClick", &TModalForm::bbtCancelClick);
        LoadForm("ModalForm.dfm");
    }
    TPSpeedButton* bbtNo = nullptr;
    void bbtYesClick(TObject*) { ModalResult = mrYes; }
    void bbtNoClick(TObject*) { ModalResult = mrNo; }
    void bbtCancelClick(TObject*) { ModalResult = mrCancel; }
};

// What a button shows: the image's colour at (3, 3) and where the image's
// black top-left pixel lies.
enum Face { None, Idle, Hover, Down, Disabled, Filled, Other };

struct Look {
    Face face;
    int offset; // -1: no image drawn
    COLORREF corner;   // pixel (0, 0)
    COLORREF outside;  // pixel (22, 14), beside the image
};

const COLORREF kSentinel = RGB(1, 2, 3);

Look LookOf(TPSpeedButton* b)
{
    MemoryDC dc(24, 16, kSentinel);
    b->PaintTo(dc.Handle(), 0, 0);
    Look look{Other, -1, dc.Pixel(0, 0), dc.Pixel(22, 14)};
    switch (dc.Pixel(3, 3)) {
    case RGB(255, 0, 0): look.face = Idle; break;
    case RGB(0, 255, 0): look.face = Hover; break;
    case RGB(0, 0, 255): look.face = Down; break;
    case RGB(255, 255, 0): look.face = Disabled; break;
    case kSentinel: look.face = None; break;
    default:
        if (dc.Pixel(3, 3) == GetSysColor(COLOR_BTNFACE)) look.face = Filled;
        break;
    }
    for (int o = 0; o <= 2; ++o)
        if (dc.Pixel(o, o) == RGB(0, 0, 0)) look.offset = o;
    return look;
}

Face FaceOf(TPSpeedButton* b)
{
    return LookOf(b).face;
}

class SpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ParkCursor();
        Application->Initialize();
        form = new TButtonForm(nullptr);
        form->Show();
        PumpPending();
        Application->DoIdle();
        form->Clicks.clear();
        form->Hover.clear();
    }
    void TearDown() override
    {
        ReleaseCapture();
        form->Free();
        PumpPending();
    }
    // The real cursor goes where a mouse message says it is, as a user's mouse
    // would; the moves that produces are handled before the next message.
    static void Mouse(TPSpeedButton* b, UINT msg, int x, int y, WPARAM keys)
    {
        CursorAt(b, x, y);
        SendMouse(b->GetParent()->Handle(), msg, b->GetLeft() + x, b->GetTop() + y, keys);
    }
    static void Press(TPSpeedButton* b, int x = 5, int y = 5) { Mouse(b, WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
    static void Drag(TPSpeedButton* b, int x, int y) { Mouse(b, WM_MOUSEMOVE, x, y, MK_LBUTTON); }
    static void Release(TPSpeedButton* b, int x = 5, int y = 5) { Mouse(b, WM_LBUTTONUP, x, y, 0); }
    static void Click(TPSpeedButton* b, int x = 5, int y = 5)
    {
        Press(b, x, y);
        Release(b, x, y);
    }
    std::vector<bool> Downs(std::initializer_list<TPSpeedButton*> buttons)
    {
        std::vector<bool> downs;
        for (TPSpeedButton* b : buttons) downs.push_back(b->GetDown());
        return downs;
    }
    TButtonForm* form = nullptr;
};

TEST(SpeedButton, ValuesAfterConstruction)
{
    TPSpeedButton b(nullptr);
    EXPECT_EQ(b.GetWidth(), 75);
    EXPECT_EQ(b.GetHeight(), 22);
    EXPECT_EQ(b.ControlStyle & (csCaptureMouse | csDoubleClicks | csClickEvents),
              unsigned(csCaptureMouse | csDoubleClicks | csClickEvents));
    EXPECT_EQ(b.ControlStyle & csOpaque, 0u);
    EXPECT_TRUE(b.GetParentFont());
    EXPECT_EQ(b.GetColor(), clBtnFace);
    EXPECT_EQ(b.GetSpacing(), 4);
    EXPECT_EQ(b.GetMargin(), -1);
    EXPECT_EQ(b.GetLayout(), blGlyphLeft);
    EXPECT_TRUE(b.GetTransparent());
    EXPECT_FALSE(b.GetDefault() || b.GetCancel() || b.GetDown() || b.GetAllowAllUp() || b.GetFlat() ||
                 b.GetDrawBorderInFlatMode());
    EXPECT_EQ(b.GetGroupIndex(), 0);
    EXPECT_EQ(b.GetImages(), nullptr);
    EXPECT_EQ(b.GetImageIndexIDLE(), -1);
    EXPECT_EQ(b.GetImageIndexDisabled(), -1);
    EXPECT_EQ(b.GetImageIndexUp(), -1);
    EXPECT_EQ(b.GetImageIndexDown(), -1);
    EXPECT_EQ(b.ClassName(), "TPSpeedButton");
}

TEST_F(SpeedButtonTest, FormLoadingAppliedGroupThenDown)
{
    // GroupIndex precedes Down, so the stored latched buttons are down; the
    // image list declared after them was found.
    EXPECT_EQ(Downs({form->bbtA, form->bbtB, form->bbtC, form->bbtD, form->bbtE}),
              (std::vector<bool>{true, false, false, true, false}));
    EXPECT_EQ(form->bbtA->GetImages()->Count(), 4);
    EXPECT_EQ(FaceOf(form->bbtA), Down);
    EXPECT_EQ(FaceOf(form->bbtB), Idle);
}

TEST_F(SpeedButtonTest, SettersRepaintAsTheirRulesSay)
{
    TPSpeedButton* b = form->bbtPlain;
    HWND parent = form->plRow->Handle();
    struct Case {
        const char* What;
        std::function<void()> Act;
        bool Repaints;
    };
    const Case cases[] = {
        {"SetImageIndexIDLE, same value", [&] { b->SetImageIndexIDLE(b->GetImageIndexIDLE()); }, true},
        {"SetImageIndexUp, same value", [&] { b->SetImageIndexUp(1); }, true},
        {"SetImageIndexDown, same value", [&] { b->SetImageIndexDown(2); }, true},
        {"SetImageIndexDisabled, same value", [&] { b->SetImageIndexDisabled(-1); }, true},
        {"SetImages, same list", [&] { b->SetImages(b->GetImages()); }, true},
        {"SetDrawBorderInFlatMode, same value", [&] { b->SetDrawBorderInFlatMode(false); }, true},
        {"SetFlat, same value", [&] { b->SetFlat(true); }, false},
        {"SetTransparent, same value", [&] { b->SetTransparent(true); }, false},
        {"SetSpacing, same value", [&] { b->SetSpacing(4); }, false},
        {"SetSpacing, new value", [&] { b->SetSpacing(7); }, true},
        {"SetLayout, new value", [&] { b->SetLayout(blGlyphTop); }, true},
        {"SetLayout, same value", [&] { b->SetLayout(blGlyphTop); }, false},
        {"SetMargin below -1", [&] { b->SetMargin(-2); }, false},
        {"SetMargin, new value", [&] { b->SetMargin(3); }, true},
        {"SetDefault", [&] { b->SetDefault(true); }, false},
        {"SetCancel", [&] { b->SetCancel(true); }, false},
        {"SetGroupIndex", [&] { b->SetGroupIndex(0); }, false},
        {"SetFlat, new value", [&] { b->SetFlat(false); }, true},
    };
    for (const Case& c : cases) {
        ValidateRect(parent, nullptr);
        c.Act();
        RECT update, bounds = b->BoundsRect(), overlap;
        bool repaints = GetUpdateRect(parent, &update, FALSE) && IntersectRect(&overlap, &update, &bounds);
        EXPECT_EQ(repaints, c.Repaints) << c.What;
    }
    EXPECT_EQ(b->GetMargin(), 3);
    // Layout, Spacing and Margin play no part in the face.
    b->SetFlat(true);
    Look look = LookOf(b);
    EXPECT_EQ(look.face, Idle);
    EXPECT_EQ(look.offset, 0);
    // Transparent decides csOpaque.
    b->SetTransparent(false);
    EXPECT_NE(b->ControlStyle & csOpaque, 0u);
    b->SetTransparent(true);
    EXPECT_EQ(b->ControlStyle & csOpaque, 0u);
}

TEST(SpeedButtonPaint, PaintsTheFaceOfEachState)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF any = CLR_INVALID;
    using Member = TPSpeedButton* TButtonForm::*;
    struct Case {
        const char* What;
        Member Button;
        std::function<void(TPSpeedButton*)> Setup;
        Face Shows;
        int Offset;
        COLORREF Corner, Outside;
    };
    auto nothing = [](TPSpeedButton*) {};
    auto hovered = [](TPSpeedButton* b) { b->Perform(CM_MOUSEENTER, 0, 0); };
    auto latched = [](TPSpeedButton* b) { b->SetDown(true); };
    auto pressed = [](TPSpeedButton* b) {
        SendMouse(b->GetParent()->Handle(), WM_LBUTTONDOWN, b->GetLeft() + 5, b->GetTop() + 5, MK_LBUTTON);
    };
    auto disabled = [](TPSpeedButton* b) { b->SetEnabled(false); };
    const Case cases[] = {
        {"idle, transparent", &TButtonForm::bbtB, nothing, Idle, 0, RGB(0, 0, 0), kSentinel},
        {"hover", &TButtonForm::bbtB, hovered, Hover, 0, RGB(0, 0, 0), kSentinel},
        {"latched", &TButtonForm::bbtB, latched, Down, 0, RGB(0, 0, 0), kSentinel},
        {"pressed", &TButtonForm::bbtPlain, pressed, Down, 0, RGB(0, 0, 0), kSentinel},
        {"disabled, index -1: nothing at all", &TButtonForm::bbtPlain, disabled, None, -1, kSentinel, kSentinel},
        {"disabled with a disabled image", &TButtonForm::bbtPlain,
         [](TPSpeedButton* b) {
             b->SetImageIndexDisabled(3);
             b->SetEnabled(false);
         },
         Disabled, 0, RGB(0, 0, 0), kSentinel},
        {"hovered, then disabled: no hover face", &TButtonForm::bbtPlain,
         [](TPSpeedButton* b) {
             b->Perform(CM_MOUSEENTER, 0, 0);
             b->SetEnabled(false);
         },
         None, -1, kSentinel, kSentinel},
        {"opaque idle: filled with the button colour", &TButtonForm::bbtOpaque, nothing, Idle, 0, RGB(0, 0, 0), face},
        {"opaque hover: not filled", &TButtonForm::bbtOpaque, hovered, Hover, 0, RGB(0, 0, 0), kSentinel},
        {"opaque latched: not filled", &TButtonForm::bbtOpaque, latched, Down, 0, RGB(0, 0, 0), kSentinel},
        {"opaque disabled, index -1: only the fill", &TButtonForm::bbtOpaque, disabled, Filled, -1, face, face},
        {"border idle: no edge, image at (1, 1)", &TButtonForm::bbtBorder, nothing, Idle, 1, face, face},
        {"border hover: raised edge", &TButtonForm::bbtBorder, hovered, Hover, 1, light, face},
        {"border pressed: sunken edge", &TButtonForm::bbtBorder, pressed, Down, 1, shadow, face},
        {"framed idle: image at (2, 2)", &TButtonForm::bbtFramed, nothing, Idle, 2, any, any},
        {"framed pressed: idle image at (2, 2)", &TButtonForm::bbtFramed, pressed, Idle, 2, any, any},
        {"framed hover: never the up image", &TButtonForm::bbtFramed, hovered, Idle, 2, any, any},
        {"framed latched: never the down image", &TButtonForm::bbtFramed,
         [](TPSpeedButton* b) {
             b->SetGroupIndex(5);
             b->SetDown(true);
         },
         Idle, 2, any, any},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        // A fresh, unshown form for each case: painting needs no screen.
        auto form = new TButtonForm(nullptr);
        TPSpeedButton* b = form->*c.Button;
        c.Setup(b);
        Look look = LookOf(b);
        EXPECT_EQ(look.face, c.Shows);
        EXPECT_EQ(look.offset, c.Offset);
        if (c.Corner != any) {
            EXPECT_EQ(look.corner, c.Corner);
        }
        if (c.Outside != any) {
            EXPECT_EQ(look.outside, c.Outside);
        }
        ReleaseCapture();
        form->Free();
    }
}

TEST_F(SpeedButtonTest, FramedPressedDrawsThePushedFrame)
{
    MemoryDC up(24, 16, kSentinel), down(24, 16, kSentinel);
    form->bbtFramed->PaintTo(up.Handle(), 0, 0);
    Press(form->bbtFramed);
    form->bbtFramed->PaintTo(down.Handle(), 0, 0);
    Release(form->bbtFramed);
    // The frame differs (DFCS_PUSHED), the image does not.
    bool frameDiffers = false;
    for (int x = 0; x < 24; ++x)
        if (up.Pixel(x, 0) != down.Pixel(x, 0) || up.Pixel(x, 15) != down.Pixel(x, 15)) frameDiffers = true;
    EXPECT_TRUE(frameDiffers);
    EXPECT_EQ(up.Pixel(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(down.Pixel(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(down.Pixel(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"bbtFramed"});
}

TEST_F(SpeedButtonTest, PressDragAndReleaseOfAnUngroupedButton)
{
    TPSpeedButton* b = form->bbtPlain;
    Press(b);
    EXPECT_EQ(FaceOf(b), Down);
    // Off the button it is no longer pressed; while tracking it keeps the
    // hover it had when the press came.
    Drag(b, 30, 5);
    EXPECT_EQ(FaceOf(b), Hover);
    Drag(b, 23, 16); // back: the row just below the bottom edge counts as inside
    EXPECT_EQ(FaceOf(b), Down);
    Drag(b, 5, 17);
    EXPECT_EQ(FaceOf(b), Hover);
    Release(b, 5, 17); // outside: no click
    EXPECT_TRUE(form->Clicks.empty());
    EXPECT_FALSE(b->GetDown());
    EXPECT_EQ(GetCapture(), nullptr);

    Press(b);
    Release(b, 5, 16); // just below the bottom edge: outside the client area for the click
    EXPECT_TRUE(form->Clicks.empty());
    Click(b);
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"bbtPlain"});
    EXPECT_FALSE(b->GetDown()); // an ungrouped button never latches
    EXPECT_EQ(FaceOf(b), Hover); // the cursor is on it
}

TEST_F(SpeedButtonTest, GroupedButtonsLatchLikeRadioButtons)
{
    Click(form->bbtB);
    // OnClick runs before the release toggles Down.
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"bbtB"});
    EXPECT_EQ(Downs({form->bbtA, form->bbtB, form->bbtC}), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(FaceOf(form->bbtA), Idle);
    EXPECT_EQ(FaceOf(form->bbtB), Down);
    // The group of the same index under the other panel is another group.
    EXPECT_EQ(Downs({form->bbtD, form->bbtE}), (std::vector<bool>{true, false}));

    // Released on the row just below the bottom edge: no click, but it latches.
    Press(form->bbtC);
    Release(form->bbtC, 5, 16);
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"bbtB"});
    EXPECT_EQ(Downs({form->bbtA, form->bbtB, form->bbtC}), (std::vector<bool>{false, false, true}));

    // Dragged off and released outside: Down unchanged.
    Press(form->bbtA);
    Drag(form->bbtA, 40, 5);
    Release(form->bbtA, 40, 5);
    EXPECT_EQ(Downs({form->bbtA, form->bbtB, form->bbtC}), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(FaceOf(form->bbtA), Idle);
}

TEST_F(SpeedButtonTest, TheDownButtonStaysDownUnlessAllowAllUp)
{
    // AllowAllUp false: clicking the down button clicks again and leaves it down.
    Press(form->bbtA);
    EXPECT_EQ(FaceOf(form->bbtA), Down); // latched while tracking
    Drag(form->bbtA, 40, 5);
    EXPECT_EQ(FaceOf(form->bbtA), Down);
    Drag(form->bbtA, 5, 5);
    Release(form->bbtA);
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"bbtA down"});
    EXPECT_TRUE(form->bbtA->GetDown());
    form->bbtA->SetDown(false); // refused as well
    EXPECT_TRUE(form->bbtA->GetDown());

    // AllowAllUp set on one member is imposed on the group.
    form->bbtC->SetAllowAllUp(true);
    EXPECT_TRUE(form->bbtA->GetAllowAllUp());
    EXPECT_TRUE(form->bbtB->GetAllowAllUp());
    EXPECT_FALSE(form->bbtD->GetAllowAllUp()); // not in the other panel's group
    Click(form->bbtA);
    EXPECT_EQ(form->Clicks, (std::vector<std::string>{"bbtA down", "bbtA down"}));
    EXPECT_EQ(Downs({form->bbtA, form->bbtB, form->bbtC}), (std::vector<bool>{false, false, false}));
    EXPECT_NE(FaceOf(form->bbtA), Down);

    // And withdrawn again by the last one that broadcast.
    form->bbtB->SetAllowAllUp(true);
    form->bbtB->SetAllowAllUp(false);
    EXPECT_FALSE(form->bbtA->GetAllowAllUp());
    EXPECT_FALSE(form->bbtC->GetAllowAllUp());
}

TEST_F(SpeedButtonTest, SetDownLatchesOnlyGroupMembersAndFiresNoClick)
{
    form->bbtPlain->SetDown(true);
    EXPECT_FALSE(form->bbtPlain->GetDown());
    EXPECT_EQ(FaceOf(form->bbtPlain), Idle);
    form->bbtC->SetDown(true);
    EXPECT_EQ(Downs({form->bbtA, form->bbtB, form->bbtC}), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(FaceOf(form->bbtA), Idle);
    EXPECT_EQ(FaceOf(form->bbtC), Down);
    EXPECT_EQ(Downs({form->bbtD, form->bbtE}), (std::vector<bool>{true, false}));
    form->bbtE->SetDown(true);
    EXPECT_EQ(Downs({form->bbtD, form->bbtE}), (std::vector<bool>{false, true}));
    EXPECT_TRUE(form->bbtC->GetDown());
    EXPECT_TRUE(form->Clicks.empty());
    // Disabled and enabled again: back to the latched face.
    form->bbtC->SetEnabled(false);
    EXPECT_EQ(FaceOf(form->bbtC), None);
    form->bbtC->SetEnabled(true);
    EXPECT_EQ(FaceOf(form->bbtC), Down);
}

TEST_F(SpeedButtonTest, AQuickSecondPressIsADoubleClick)
{
    TPSpeedButton* b = form->bbtPlain;
    Press(b);
    Release(b);
    Mouse(b, WM_LBUTTONDBLCLK, 5, 5, MK_LBUTTON);
    EXPECT_EQ(FaceOf(b), Down);
    Release(b);
    EXPECT_EQ(form->Clicks, (std::vector<std::string>{"bbtPlain", "dbl bbtPlain"}));
    // A grouped button's double press still toggles on its release.
    Click(form->bbtB);
    Mouse(form->bbtB, WM_LBUTTONDBLCLK, 5, 5, MK_LBUTTON);
    Release(form->bbtB);
    EXPECT_EQ(form->Clicks, (std::vector<std::string>{"bbtPlain", "dbl bbtPlain", "bbtB", "dbl bbtB"}));
    EXPECT_TRUE(form->bbtB->GetDown()); // AllowAllUp false: stays down
}

TEST_F(SpeedButtonTest, EnterAndEscClickEveryDefaultOrCancelButtonInOrder)
{
    HWND target = GetFocus();
    ASSERT_EQ(target, form->Handle());
    SendKey(target, VK_ESCAPE);
    // Hidden and disabled Cancel buttons are skipped.
    EXPECT_EQ(form->Clicks, (std::vector<std::string>{"bbtNo", "bbtCancel"}));
    form->Clicks.clear();
    SendKey(target, VK_RETURN);
    EXPECT_EQ(form->Clicks, std::vector<std::string>{"bbtOk"});
    form->Clicks.clear();

    // With Shift, Ctrl or Alt held nothing is clicked.
    SendKey(target, VK_ESCAPE, true);
    BYTE keys[256];
    GetKeyboardState(keys);
    for (BYTE vk : {VK_SHIFT, VK_CONTROL}) {
        BYTE held[256];
        memcpy(held, keys, sizeof held);
        held[vk] = 0x80;
        SetKeyboardState(held);
        SendKey(target, VK_RETURN);
        SendKey(target, VK_ESCAPE);
    }
    SetKeyboardState(keys);
    EXPECT_TRUE(form->Clicks.empty());

    // Nor when the buttons' panel cannot take the focus.
    form->bbtOk->GetParent()->SetEnabled(false);
    SendKey(target, VK_RETURN);
    EXPECT_TRUE(form->Clicks.empty());
}

TEST_F(SpeedButtonTest, AnAcceleratorCharacterClicksOnlyItsButton)
{
    SendMessageA(form->Handle(), WM_SYSCHAR, 'n', 0x20000001);
    SendMessageA(form->Handle(), WM_CHAR, 'N', 1);
    SendMessageA(form->Handle(), WM_CHAR, 'h', 1); // hidden
    SendMessageA(form->Handle(), WM_CHAR, 'o', 1); // disabled ("&Off"; "OK" has no "&")
    SendMessageA(form->Handle(), WM_CHAR, 'c', 1); // "Cancel" has no "&"
    EXPECT_EQ(form->Clicks, (std::vector<std::string>{"bbtNo", "bbtNo"}));
}

TEST_F(SpeedButtonTest, TheLastClickedButtonSetsTheModalResult)
{
    struct Case {
        const char* What;
        std::function<void(TModalForm*)> Act;
        TModalResult Result;
    };
    const Case cases[] = {
        {"Enter", [](TModalForm* f) { PostMessageA(f->Handle(), WM_KEYDOWN, VK_RETURN, 1); }, mrYes},
        {"Esc: No, then Cancel, whose result stands",
         [](TModalForm* f) { PostMessageA(f->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); }, mrCancel},
        {"a click on No",
         [](TModalForm* f) {
             HWND panel = f->bbtNo->GetParent()->Handle();
             PostMouse(panel, WM_LBUTTONDOWN, f->bbtNo->GetLeft() + 3, f->bbtNo->GetTop() + 3, MK_LBUTTON);
             PostMouse(panel, WM_LBUTTONUP, f->bbtNo->GetLeft() + 3, f->bbtNo->GetTop() + 3);
         },
         mrNo},
        {"the system's close command", [](TModalForm* f) { PostMessageA(f->Handle(), WM_CLOSE, 0, 0); }, mrCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        auto box = new TModalForm(form);
        box->HandleNeeded();
        c.Act(box);
        EXPECT_EQ(box->ShowModal(), c.Result);
        EXPECT_TRUE(IsWindowEnabled(form->Handle()));
        box->Free();
    }
}

TEST_F(SpeedButtonTest, AFlatButtonShowsHoverAndReportsEnterAndLeave)
{
    HoverControl(form->bbtB);
    EXPECT_EQ(FaceOf(form->bbtB), Hover);
    HoverControl(form->bbtC);
    EXPECT_EQ(FaceOf(form->bbtB), Idle);
    EXPECT_EQ(FaceOf(form->bbtC), Hover);
    HoverControl(form->bbtFramed); // framed buttons never hover
    EXPECT_EQ(FaceOf(form->bbtFramed), Idle);
    LeaveControls();
    // The move onto bbtC makes it enter at once; bbtB hears of the leave from
    // the idle-time check that follows.
    EXPECT_EQ(form->Hover, (std::vector<std::string>{"enter bbtB", "enter bbtC", "leave bbtB", "leave bbtC"}));

    // A latched button shows its down face also under the cursor.
    HoverControl(form->bbtA);
    EXPECT_EQ(FaceOf(form->bbtA), Down);
}

TEST_F(SpeedButtonTest, NoHoverWhileAnotherButtonHoldsTheMouse)
{
    Press(form->bbtPlain);
    form->Hover.clear();
    Drag(form->bbtPlain, form->bbtB->GetLeft() - form->bbtPlain->GetLeft() + 5, 5); // onto bbtB
    Application->DoIdle();
    EXPECT_EQ(FaceOf(form->bbtB), Idle);
    EXPECT_TRUE(form->Hover.empty()); // bbtPlain is tracking: it keeps its hover too
    Release(form->bbtPlain, form->bbtB->GetLeft() - form->bbtPlain->GetLeft() + 5, 5);
    // Released over bbtB: bbtPlain learns it has left; bbtB hovers at the next move.
    EXPECT_EQ(form->Hover, std::vector<std::string>{"leave bbtPlain"});
    Mouse(form->bbtB, WM_MOUSEMOVE, 6, 6, 0);
    EXPECT_EQ(FaceOf(form->bbtB), Hover);
    EXPECT_EQ(form->Hover, (std::vector<std::string>{"leave bbtPlain", "enter bbtB"}));
    EXPECT_TRUE(form->Clicks.empty());
}

TEST_F(SpeedButtonTest, EnabledWhileTheCursorIsElsewhereReportsALeaveOnly)
{
    form->bbtB->SetEnabled(false);
    form->Hover.clear();
    form->bbtB->SetEnabled(true);
    EXPECT_EQ(form->Hover, std::vector<std::string>{"leave bbtB"});
    EXPECT_EQ(FaceOf(form->bbtB), Idle);
    // Enabled under the cursor: it enters.
    HoverControl(form->bbtC);
    form->bbtC->SetEnabled(false);
    form->Hover.clear();
    form->bbtC->SetEnabled(true);
    EXPECT_EQ(form->Hover, std::vector<std::string>{"enter bbtC"});
    EXPECT_EQ(FaceOf(form->bbtC), Hover);
}

} // namespace
