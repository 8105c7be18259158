// Tab and Shift+Tab between the windowed controls of a form, and the focus a
// form gives when it is shown, with keys posted as the keyboard queues them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "GuiSupport.h"
#include "StdCtrls.h"

using namespace testsupport;

namespace {

// The tab order differs from the order written; some controls never take
// the focus (hidden, disabled, TabStop off, a panel).
const char kTabForm[] = R"(object TabForm: TTabForm
  Left = 40
  Top = 40
  BorderStyle = bsNone
  ClientHeight = 200
  ClientWidth = 300
  object plTop: TPanel
    Left = 0
    Top = 0
    Width = 300
    Height = 100
    object edThird: TEdit
      Left = 10
      Top = 10
      Width = 80
      Height = 21
      TabOrder = 2
    end
    object edFirst: TEdit
      Left = 100
      Top = 10
      Width = 80
      Height = 21
      TabOrder = 0
    end
    object cbSecond: TCheckBox
      Left = 190
      Top = 10
      Width = 17
      Height = 17
      TabOrder = 1
    end
    object edHidden: TEdit
      Left = 10
      Top = 40
      Width = 80
      Height = 21
      Visible = False
    end
  end
  object plBottom: TPanel
    Left = 0
    Top = 100
    Width = 300
    Height = 100
    object edSkipped: TEdit
      Left = 10
      Top = 10
      Width = 80
      Height = 21
      TabStop = False
    end
    object edDisabled: TEdit
      Left = 100
      Top = 10
      Width = 80
      Height = 21
      Enabled = False
    end
    object lvLast: TListView
      Left = 10
      Top = 40
      Width = 200
      Height = 50
      ViewStyle = vsReport
    end
  end
end
)";

class TTabForm : public TForm {
public:
    explicit TTabForm(TComponent* owner) : TForm(owner)
    {
        Field("edFirst", edFirst);
        Field("cbSecond", cbSecond);
        Field("edThird", edThird);
        Field("lvLast", lvLast);
        LoadFormFromText(kTabForm, "TabForm.dfm");
    }
    TEdit* edFirst = nullptr;
    TCheckBox* cbSecond = nullptr;
    TEdit* edThird = nullptr;
    TListView* lvLast = nullptr;
};

// The name of the control with the focus ("" for none of the form's).
std::string FocusName()
{
    auto* control = dynamic_cast<TComponent*>(FindControl(GetFocus()));
    return control ? control->GetName() : "";
}

// Tab (with Shift when back, with Ctrl when ctrl) as the keyboard queues it
// for the window with the focus.
void PressTab(bool back = false, bool ctrl = false)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved[256];
    CopyMemory(saved, keys, sizeof keys);
    if (back) keys[VK_SHIFT] |= 0x80;
    if (ctrl) keys[VK_CONTROL] |= 0x80;
    SetKeyboardState(keys);
    PostKey(GetFocus(), VK_TAB);
    PumpPending();
    SetKeyboardState(saved);
}

class TabFocusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->Initialize();
        form = new TTabForm(Application);
    }
    void TearDown() override { form->Free(); }
    TTabForm* form = nullptr;
};

TEST_F(TabFocusTest, ShowingFocusesTheFirstControlAndTabGoesRoundInTabOrder)
{
    form->Show();
    PumpPending();
    EXPECT_EQ(FocusName(), "edFirst");

    const std::vector<std::string> forward = {"cbSecond", "edThird", "lvLast", "edFirst", "cbSecond"};
    for (const std::string& next : forward) {
        PressTab();
        EXPECT_EQ(FocusName(), next);
    }
    const std::vector<std::string> back = {"edFirst", "lvLast", "edThird", "cbSecond", "edFirst"};
    for (const std::string& next : back) {
        PressTab(true);
        EXPECT_EQ(FocusName(), next);
    }
    // The key was the form's: no tab character reached the fields.
    EXPECT_EQ(form->edFirst->GetText(), "");
    EXPECT_EQ(form->edThird->GetText(), "");
    // Ctrl+Tab is not a move.
    PressTab(false, true);
    EXPECT_EQ(FocusName(), "edFirst");
}

TEST_F(TabFocusTest, TabFromTheFormItselfGoesToTheFirstControl)
{
    form->Show();
    PumpPending();
    SetFocus(form->Handle());
    ASSERT_EQ(GetFocus(), form->Handle());
    PressTab();
    EXPECT_EQ(FocusName(), "edFirst");
    SetFocus(form->Handle());
    PressTab(true);
    EXPECT_EQ(FocusName(), "lvLast");
}

TEST_F(TabFocusTest, AControlThatLeavesIsSkippedAndTheFocusKeptWhenNoOtherCanTakeIt)
{
    form->Show();
    PumpPending();
    form->cbSecond->SetVisible(false);
    form->edThird->SetEnabled(false);
    PressTab();
    EXPECT_EQ(FocusName(), "lvLast");
    form->edFirst->SetVisible(false);
    PressTab();
    EXPECT_EQ(FocusName(), "lvLast");
}

} // namespace
