// The framework core as the windows rely on it: ownership, form descriptions,
// painting order, mouse routing and capture, the dialog-key broadcast, the
// modal loop, the hover check and the exception box, driven with real
// messages on forms built from test descriptions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "GuiSupport.h"
#include "ImgList.h"
#include "StdCtrls.h"

using namespace testsupport;

namespace {

std::vector<std::string> gLog;

// A graphic control that fills itself with its colour and notes the
// framework messages it receives.
class TTestShape : public TGraphicControl {
public:
    explicit TTestShape(TComponent* owner) : TGraphicControl(owner) { FClassName = "TTestShape"; }
    bool HandlesDialogKey = false;
    void Paint() override
    {
        FCanvas.Brush.Color = FColor;
        RECT r = ClientRect();
        FCanvas.FillRect(r);
    }
    void Dispatch(TMessage& message) override
    {
        switch (message.Msg) {
        case CM_DIALOGKEY:
            gLog.push_back("key " + GetName() + " " + std::to_string(CharCode(message)));
            if (HandlesDialogKey) message.Result = 1;
            return;
        case CM_MOUSEENTER:
            gLog.push_back("enter " + GetName());
            return;
        case CM_MOUSELEAVE:
            gLog.push_back("leave " + GetName());
            return;
        default:
            TGraphicControl::Dispatch(message);
        }
    }
};

// A component whose property setters note what they were given, in order.
class TProbe : public TComponent {
public:
    explicit TProbe(TComponent* owner) : TComponent(owner) { FClassName = "TProbe"; }
    void SetText(const std::string& v) { gLog.push_back(GetName() + ".Text=" + v); }
    void SetNumber(int v) { gLog.push_back(GetName() + ".Number=" + std::to_string(v)); }
    void SetFlag(bool v) { gLog.push_back(GetName() + ".Flag=" + (v ? "1" : "0")); }
    void SetKind(TAlign v) { gLog.push_back(GetName() + ".Kind=" + std::to_string(v)); }
    void SetBits(unsigned v) { gLog.push_back(GetName() + ".Bits=" + std::to_string(v)); }
    void SetColor(TColor v) { gLog.push_back(GetName() + ".Color=" + std::to_string(v)); }
    void SetOther(TProbe* v) { gLog.push_back(GetName() + ".Other=" + v->GetName()); }
    void SetFile(const std::string& v) { gLog.push_back(GetName() + ".File=" + v); }
    TNotifyEvent OnPing;
};

bool RegisterTestClasses()
{
    TComponentClass shape{"TTestShape", "TControl", ComponentFactory<TTestShape>(),
                          ControlProperties({"Color", "Enabled", "Visible", "OnClick", "OnDblClick", "OnMouseDown",
                                             "OnMouseMove", "OnMouseUp"})};
    RegisterComponentClass(std::move(shape));
    RegisterComponentClass(
        {"TProbe",
         "TComponent",
         ComponentFactory<TProbe>(),
         {Prop::String("Text", &TProbe::SetText), Prop::Int("Number", &TProbe::SetNumber),
          Prop::Bool("Flag", &TProbe::SetFlag),
          Prop::Enum("Kind", &TProbe::SetKind, {{"alNone", alNone}, {"alTop", alTop}, {"alClient", alClient}}),
          Prop::Set("Bits", &TProbe::SetBits, {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}}),
          Prop::Color("Color", &TProbe::SetColor), Prop::Reference("Other", &TProbe::SetOther),
          Prop::Resource("File", &TProbe::SetFile), Prop::Event("OnPing", &TProbe::OnPing)}});
    return true;
}
const bool kTestClassesRegistered = RegisterTestClasses();

// ------------------------------------------------------------ ownership

class TNoted : public TComponent {
public:
    TNoted(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
    ~TNoted() override { gLog.push_back("free " + GetName()); }
};

TEST(Components, OwnerFreesWhatItOwnsLastCreatedFirst)
{
    gLog.clear();
    auto owner = new TNoted(nullptr, "owner");
    new TNoted(owner, "first");
    auto second = new TNoted(owner, "second");
    new TNoted(second, "grandchild");
    new TNoted(owner, "third");
    EXPECT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->FindComponent("SECOND"), second); // names compare case-insensitively
    owner->Free();
    EXPECT_EQ(gLog, (std::vector<std::string>{"free owner", "free third", "free second", "free grandchild",
                                              "free first"}));
}

TEST(Components, AFreedComponentLeavesItsOwnerAndNamesStayUnique)
{
    gLog.clear();
    TComponent owner(nullptr);
    auto a = new TNoted(&owner, "a");
    new TNoted(&owner, "b");
    a->Free();
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0)->GetName(), "b");
    EXPECT_EQ(owner.FindComponent("a"), nullptr);
    EXPECT_THROW(new TNoted(&owner, "B"), Exception);
}

// ------------------------------------------------------------ loader

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* owner) : TForm(owner)
    {
        Handler("ProbePing", &TProbeForm::ProbePing);
        Handler("FormCreate", &TProbeForm::FormCreate);
        Handler("FormCloseQuery", &TProbeForm::FormCloseQuery);
    }
    void ProbePing(TObject* sender) { gLog.push_back("ping " + NameOf(sender)); }
    void FormCreate(TObject*) { gLog.push_back("created"); }
    void FormCloseQuery(TObject*, bool& canClose) { canClose = false; }
    using TCustomForm::Field;
};

TEST(FormLoader, PropertiesAreParsedAndAppliedInTheOrderWritten)
{
    gLog.clear();
    TProbeForm form(nullptr);
    form.LoadFormFromText("object Probes: TProbeForm\n"
                          "  OnCreate = FormCreate\n"
                          "  object p1: TProbe\n"
                          "    Number = -11\n"
                          "    Text = '\"a\"'#10'\"b\"'\n"
                          "    Number = $1F\n"
                          "    Text = 'it''s' +\n"
                          "      ' joined'#$41\n"
                          "    Flag = true\n"
                          "    Kind = alClient\n"
                          "    Bits = [akLeft, akRight]\n"
                          "    Bits = []\n"
                          "    Color = clBtnFace\n"
                          "    Color = 14211288\n"
                          "    File = 'images/banner.bmp'\n"
                          "    Other = p2\n"
                          "    OnPing = ProbePing\n"
                          "  end\n"
                          "  object p2: TProbe\n"
                          "    Other = p1\n"
                          "  end\n"
                          "end\n",
                          "Probe.dfm");
    // The reference to p2, declared later, is set once the tree is built;
    // OnCreate comes last.
    EXPECT_EQ(gLog, (std::vector<std::string>{"p1.Number=-11", "p1.Text=\"a\"\n\"b\"", "p1.Number=31",
                                              "p1.Text=it's joinedA", "p1.Flag=1", "p1.Kind=5", "p1.Bits=5",
                                              "p1.Bits=0", "p1.Color=" + std::to_string(clBtnFace),
                                              "p1.Color=14211288", "p1.File=banner.bmp", "p2.Other=p1",
                                              "p1.Other=p2", "created"}));
    EXPECT_EQ(form.GetName(), "Probes");
    EXPECT_EQ(form.ClassName(), "TProbeForm");
    gLog.clear();
    auto p1 = dynamic_cast<TProbe*>(form.FindComponent("p1"));
    ASSERT_NE(p1, nullptr);
    ASSERT_TRUE(p1->OnPing);
    p1->OnPing(p1);
    EXPECT_EQ(gLog, std::vector<std::string>{"ping p1"});
}

TEST(FormLoader, ErrorsNameTheFileAndTheLine)
{
    struct Case {
        const char* Body;
        const char* Message;
    };
    const Case cases[] = {
        {"  object x: TNoSuchClass\n  end\n", "Bad.dfm(2): unknown class 'TNoSuchClass'"},
        {"  object x: TProbe\n    Colour = 1\n  end\n", "Bad.dfm(3): unknown property 'Colour' of TProbe"},
        {"  object x: TProbe\n    Flag = Maybe\n  end\n",
         "Bad.dfm(3): invalid value 'Maybe' for property 'Flag' of TProbe"},
        {"  object x: TProbe\n    Number = 'ten'\n  end\n",
         "Bad.dfm(3): invalid value 'ten' for property 'Number' of TProbe"},
        {"  object x: TProbe\n    Kind = alBottom\n  end\n",
         "Bad.dfm(3): invalid value 'alBottom' for property 'Kind' of TProbe"},
        {"  object x: TProbe\n    Bits = [akLeft, akSideways]\n  end\n",
         "Bad.dfm(3): invalid value 'akSideways' for property 'Bits' of TProbe"},
        {"  object x: TProbe\n    Color = clNoSuchColour\n  end\n",
         "Bad.dfm(3): invalid value 'clNoSuchColour' for property 'Color' of TProbe"},
        {"  object x: TProbe\n\n    OnPing = NoSuchHandler\n  end\n",
         "Bad.dfm(4): unknown handler 'NoSuchHandler' for OnPing"},
        {"  object x: TProbe\n    OnPing = FormCloseQuery\n  end\n",
         "Bad.dfm(3): handler 'FormCloseQuery' does not fit OnPing"},
        {"  object x: TProbe\n    Other = nobody\n  end\n", "Bad.dfm(3): unknown component 'nobody' for Other"},
        {"  object p: TPanel\n  end\n  object x: TProbe\n    Other = p\n  end\n",
         "Bad.dfm(5): component 'p' does not fit Other"},
        {"  object x: TProbe\n  end\n  object X: TProbe\n  end\n",
         "Bad.dfm(4): A component named X already exists"},
        {"  object x: TProbe\n    Text = 'open\n  end\n", "Bad.dfm(3): unterminated string"},
        {"  object x: TProbe\n    Text 'no equals'\n  end\n", "Bad.dfm(3): '=' expected"},
        {"  object x: TProbe\n", "Bad.dfm(4): 'end' expected"},
        {"  object x: TProbe\n    Number = (1 2)\n  end\n", "Bad.dfm(3): unsupported value starting with '('"},
        {"  object x: TProbe\n    Text = 'a' + 3\n  end\n", "Bad.dfm(3): string expected"},
        {"  object x: TProbe\n    object y: TPanel\n    end\n  end\n",
         "Bad.dfm(3): 'x' cannot hold the control 'y'"},
        {"  object i: TImage\n    Picture = 'missing.bmp'\n  end\n", "Bad.dfm(3): Resource missing.bmp not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Body);
        TProbeForm form(nullptr);
        std::string text = std::string("object Bad: TProbeForm\n") + c.Body + "end\n";
        try {
            form.LoadFormFromText(text, "Bad.dfm");
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
    }
}

TEST(FormLoader, AFieldWithoutItsComponentIsAnError)
{
    TProbeForm form(nullptr);
    TPanel* panel = nullptr;
    form.Field("plMissing", panel);
    try {
        form.LoadFormFromText("object F: TProbeForm\nend\n", "Fields.dfm");
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "Fields.dfm: no component 'plMissing' for the form's field");
    }
    try {
        form.LoadForm("Nope.dfm");
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "Form description 'Nope.dfm' not found");
    }
}

// ------------------------------------------------------------ the test form

class TFrameworkForm : public TForm {
public:
    explicit TFrameworkForm(TComponent* owner) : TForm(owner)
    {
        Field("plTop", plTop);
        Field("plBody", plBody);
        Field("plNested", plNested);
        Field("shA", shA);
        Field("shB", shB);
        Field("shNested", shNested);
        Field("shLast", shLast);
        Field("shDisabled", shDisabled);
        Field("lOpaque", lOpaque);
        Field("ilStrip", ilStrip);
        Handler("FormCreate", &TFrameworkForm::FormCreate);
        Handler("BodyMouseDown", &TFrameworkForm::MouseDownNote);
        Handler("ShapeMouseDown", &TFrameworkForm::MouseDownNote);
        Handler("ShapeMouseUp", &TFrameworkForm::MouseUpNote);
        Handler("ShapeMouseMove", &TFrameworkForm::MouseMoveNote);
        Handler("ShapeClick", &TFrameworkForm::ShapeClick);
        Handler("ShapeDblClick", &TFrameworkForm::ShapeDblClick);
        LoadForm("FrameworkForm.dfm");
    }

    TPanel* plTop = nullptr;
    TPanel* plBody = nullptr;
    TPanel* plNested = nullptr;
    TTestShape* shA = nullptr;
    TTestShape* shB = nullptr;
    TTestShape* shNested = nullptr;
    TTestShape* shLast = nullptr;
    TTestShape* shDisabled = nullptr;
    TLabel* lOpaque = nullptr;
    TImageList* ilStrip = nullptr;
    bool Created = false;
    std::string ThrowOnClick;
    TModalResult ResultOnClick = mrNone;
    bool OwnerEnabledAtClick = true;
    TCustomForm* Watched = nullptr;

    void FormCreate(TObject*) { Created = plBody != nullptr; }
    void MouseDownNote(TObject* s, TMouseButton b, TShiftState shift, int x, int y)
    {
        gLog.push_back("down " + NameOf(s) + " " + std::to_string(b) + " " + std::to_string(x) + "," +
                       std::to_string(y) + ((shift & ssDouble) ? " double" : ""));
    }
    void MouseUpNote(TObject* s, TMouseButton, TShiftState, int x, int y)
    {
        gLog.push_back("up " + NameOf(s) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseMoveNote(TObject* s, TShiftState, int x, int y)
    {
        gLog.push_back("move " + NameOf(s) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void ShapeClick(TObject* s)
    {
        gLog.push_back("click " + NameOf(s));
        if (Watched) OwnerEnabledAtClick = IsWindowEnabled(Watched->Handle()) != FALSE;
        if (ResultOnClick != mrNone) ModalResult = ResultOnClick;
        if (!ThrowOnClick.empty()) throw Exception(ThrowOnClick);
    }
    void ShapeDblClick(TObject* s) { gLog.push_back("dblclick " + NameOf(s)); }
};

class FrameworkFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The real cursor stays away from the forms unless a test moves it.
        SetCursorPos(1200, 1000);
        Application->Initialize();
        form = new TFrameworkForm(nullptr);
        form->Show();
        PumpPending();
        Application->DoIdle();
        gLog.clear();
    }
    void TearDown() override
    {
        form->Free();
        PumpPending();
    }
    HWND Body() { return form->plBody->Handle(); }
    TFrameworkForm* form = nullptr;
};

TEST_F(FrameworkFormTest, FieldsCreationAndAlignedPanels)
{
    EXPECT_TRUE(form->Created); // OnCreate ran after the fields were bound
    EXPECT_EQ(form->ClassName(), "TFrameworkForm");
    // alTop takes the top strip, alClient the rest; the window is borderless.
    RECT top = form->plTop->BoundsRect();
    RECT body = form->plBody->BoundsRect();
    EXPECT_EQ(top.left, 0);
    EXPECT_EQ(top.top, 0);
    EXPECT_EQ(top.right, 240);
    EXPECT_EQ(top.bottom, 20);
    EXPECT_EQ(body.top, 20);
    EXPECT_EQ(body.right, 240);
    EXPECT_EQ(body.bottom, 160);
    RECT window;
    GetWindowRect(form->Handle(), &window);
    EXPECT_EQ(window.right - window.left, 240);
    EXPECT_EQ(window.bottom - window.top, 160);
    // Children take their parent's font unless they set their own.
    EXPECT_EQ(form->shA->GetFont()->GetName(), "Tahoma");
    EXPECT_EQ(form->ilStrip->Count(), 4);
}

TEST_F(FrameworkFormTest, PaintsTheBackgroundThenGraphicChildrenInTheirOrder)
{
    MemoryDC dc(240, 160, RGB(1, 2, 3));
    form->PaintTo(dc.Handle(), 0, 0);
    const int oy = 20; // plBody's top
    struct Probe {
        int X, Y;
        COLORREF Color;
        const char* What;
    };
    const Probe probes[] = {
        {5, 5, RGB(0, 128, 0), "plTop"},
        {5, oy + 5, RGB(255, 255, 255), "plBody background"},
        {15, oy + 15, RGB(255, 0, 0), "shA alone"},
        {35, oy + 25, RGB(0, 0, 255), "shB over shA"},
        {110, oy + 20, RGB(255, 255, 255), "hidden shape not painted"},
        {150, oy + 20, RGB(255, 255, 0), "disabled shape painted"},
        {68, oy + 94, RGB(0, 255, 255), "opaque label fills its colour"},
        {138, oy + 94, RGB(255, 255, 255), "transparent label lets the parent show"},
        {151, oy + 81, RGB(255, 0, 255), "picture"},
        {156, oy + 81, RGB(0, 128, 128), "picture, right half"},
        {180, oy + 60, GetSysColor(COLOR_BTNHIGHLIGHT), "raised bevel, top-left"},
        {229, oy + 109, GetSysColor(COLOR_BTNSHADOW), "raised bevel, bottom-right"},
        {182 + 5 + 2, oy + 60 + 5 + 2, RGB(0, 0, 128), "shape inside the nested panel"},
    };
    for (const Probe& p : probes) EXPECT_EQ(dc.Pixel(p.X, p.Y), p.Color) << p.What;
}

TEST_F(FrameworkFormTest, MouseGoesToTheTopmostVisibleEnabledChildUnderThePoint)
{
    SendMouse(Body(), WM_LBUTTONDOWN, 35, 25, MK_LBUTTON); // A and B overlap: B is later
    SendMouse(Body(), WM_LBUTTONUP, 35, 25);
    SendMouse(Body(), WM_RBUTTONDOWN, 12, 12, MK_RBUTTON);
    SendMouse(Body(), WM_RBUTTONUP, 12, 12);
    SendMouse(Body(), WM_LBUTTONDOWN, 110, 20, MK_LBUTTON); // hidden shape: the panel's
    SendMouse(Body(), WM_LBUTTONUP, 110, 20);
    SendMouse(Body(), WM_LBUTTONDOWN, 150, 20, MK_LBUTTON); // disabled shape: the panel's
    SendMouse(Body(), WM_LBUTTONUP, 150, 20);
    EXPECT_EQ(gLog, (std::vector<std::string>{"down shB 0 5,5", "click shB", "down shA 1 2,2", "up shA 2,2",
                                              "down plBody 0 110,20", "down plBody 0 150,20"}));
}

TEST_F(FrameworkFormTest, ALaterSiblingWindowLiesOverAnEarlierOne)
{
    // Two overlapping panels: where they overlap, the eye and the mouse meet
    // the later one, as with graphic children.
    auto* earlier = new TPanel(form);
    earlier->SetBounds(10, 10, 60, 40);
    earlier->SetParent(form->plBody);
    auto* later = new TPanel(form);
    later->SetBounds(40, 20, 60, 40);
    later->SetParent(form->plBody);
    PumpPending();
    auto windowAt = [&](int x, int y) {
        POINT p = {x, y};
        ClientToScreen(Body(), &p);
        return WindowFromPoint(p);
    };
    EXPECT_EQ(windowAt(50, 30), later->Handle()) << "the overlap";
    EXPECT_EQ(windowAt(15, 15), earlier->Handle());
}

TEST_F(FrameworkFormTest, ThePressedControlKeepsTheMouseUntilTheRelease)
{
    SendMouse(Body(), WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), Body());
    EXPECT_EQ(GetCaptureControl(), form->shA);
    SendMouse(Body(), WM_MOUSEMOVE, 40, 30, MK_LBUTTON);  // over shB, still shA's
    SendMouse(Body(), WM_MOUSEMOVE, -20, 300, MK_LBUTTON); // outside the window
    SendMouse(Body(), WM_LBUTTONUP, -20, 300);             // released outside: no click
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    SendMouse(Body(), WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    SendMouse(Body(), WM_LBUTTONUP, 49, 39); // last pixel inside: click, before the up
    SendMouse(Body(), WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    SendMouse(Body(), WM_LBUTTONUP, 50, 15); // one right of the edge: no click
    EXPECT_EQ(gLog, (std::vector<std::string>{"down shA 0 5,5", "move shA 30,20", "move shA -30,290",
                                              "up shA -30,290", "down shA 0 5,5", "click shA", "up shA 39,29",
                                              "down shA 0 5,5", "up shA 40,5"}));
}

TEST_F(FrameworkFormTest, ADoubleClickFiresOnDblClickAndItsReleaseNoClick)
{
    SendMouse(Body(), WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    SendMouse(Body(), WM_LBUTTONUP, 15, 15);
    SendMouse(Body(), WM_LBUTTONDBLCLK, 15, 15, MK_LBUTTON);
    EXPECT_EQ(GetCaptureControl(), form->shA);
    SendMouse(Body(), WM_LBUTTONUP, 15, 15);
    EXPECT_EQ(gLog, (std::vector<std::string>{"down shA 0 5,5", "click shA", "up shA 5,5", "dblclick shA",
                                              "down shA 0 5,5 double", "up shA 5,5"}));
}

TEST_F(FrameworkFormTest, DialogKeysAreOfferedDepthFirstUntilAControlTakesThem)
{
    ASSERT_EQ(GetFocus(), form->Handle());
    SendKey(form->Handle(), VK_ESCAPE);
    const std::vector<std::string> all{"key shA 27", "key shB 27", "key shHidden 27", "key shDisabled 27",
                                       "key shNested 27", "key shLast 27"};
    EXPECT_EQ(gLog, all);
    gLog.clear();
    form->shNested->HandlesDialogKey = true;
    SendKey(Body(), VK_RETURN); // from a child window: offered to its form all the same
    EXPECT_EQ(gLog, (std::vector<std::string>{"key shA 13", "key shB 13", "key shHidden 13", "key shDisabled 13",
                                              "key shNested 13"}));
    gLog.clear();
    SendKey(form->Handle(), VK_F2); // not a dialog key
    SendKey(form->Handle(), 'A');
    EXPECT_TRUE(gLog.empty());
}

TEST_F(FrameworkFormTest, TheIdleCheckSendsEnterAndLeaveToTheControlUnderTheCursor)
{
    auto over = [&](TControl* c, int x, int y) {
        POINT p = c->ClientToScreen(POINT{x, y});
        SetCursorPos(p.x, p.y);
        PumpPending();
        Application->DoIdle();
    };
    over(form->shA, 2, 2);
    over(form->shA, 5, 5); // still the same control: nothing new
    over(form->shLast, 1, 1);
    over(form->shDisabled, 1, 1); // disabled controls count
    over(form->plBody, 230, 130);
    // (Moving the real cursor also sends mouse moves; only enter and leave count here.)
    std::vector<std::string> hover;
    for (const std::string& e : gLog)
        if (e.rfind("move ", 0) != 0) hover.push_back(e);
    EXPECT_EQ(hover, (std::vector<std::string>{"enter shA", "leave shA", "enter shLast", "leave shLast",
                                              "enter shDisabled", "leave shDisabled"}));
    EXPECT_EQ(GetMouseControl(), form->plBody);
}

TEST_F(FrameworkFormTest, AnExceptionInAHandlerIsShownAndTheProgramGoesOn)
{
    Application->SetTitle("Framework title");
    form->ThrowOnClick = "Something failed";
    {
        BoxAnswerer box;
        PostMouse(Body(), WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
        PostMouse(Body(), WM_LBUTTONUP, 15, 15);
        ASSERT_TRUE(PumpUntil([&] { return gLog.size() >= 2; }));
        ASSERT_TRUE(box.Join());
        EXPECT_EQ(box.Caption, "Framework title");
        EXPECT_EQ(box.Texts, std::vector<std::string>{"Something failed."});
        EXPECT_TRUE(box.HadStopIcon);
    }
    // The exception ended the handling of that release (no OnMouseUp after
    // it); the next messages are handled as usual.
    form->ThrowOnClick.clear();
    PostMouse(Body(), WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    PostMouse(Body(), WM_LBUTTONUP, 15, 15);
    ASSERT_TRUE(PumpUntil([&] { return gLog.size() >= 5; }));
    EXPECT_EQ(gLog, (std::vector<std::string>{"down shA 0 5,5", "click shA", "down shA 0 5,5", "click shA",
                                              "up shA 5,5"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FrameworkFormTest, ShowModalRunsUntilAResultWithTheOtherWindowsDisabled)
{
    auto dialog = new TFrameworkForm(form);
    dialog->SetPosition(poOwnerFormCenter);
    dialog->SetBounds(0, 0, 100, 80);
    dialog->ResultOnClick = mrYes;
    dialog->Watched = form;
    HWND body = dialog->plBody->Handle();
    PostMouse(body, WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    PostMouse(body, WM_LBUTTONUP, 15, 15);
    EXPECT_EQ(dialog->ShowModal(), mrYes);
    EXPECT_FALSE(dialog->OwnerEnabledAtClick);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    // Centred on its owner.
    EXPECT_EQ(dialog->GetLeft(), 40 + (240 - 100) / 2);
    EXPECT_EQ(dialog->GetTop(), 40 + (160 - 80) / 2);

    // Closed by the system (Alt+F4, the close command): mrCancel.
    PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    // A visible form cannot be made modal.
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
    dialog->Free();
}

TEST_F(FrameworkFormTest, FreeingAFormFreesItsComponentsAndWindows)
{
    auto dialog = new TFrameworkForm(form);
    HWND window = dialog->Handle();
    HWND body = dialog->plBody->Handle();
    int owned = form->ComponentCount();
    dialog->Free();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(body));
    EXPECT_EQ(form->ComponentCount(), owned - 1);
}

} // namespace
