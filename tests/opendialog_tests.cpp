// The open dialog over the system's file chooser, as a form description
// holds it, answered by typing into the chooser as the user does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileDialogs.h"
#include "FormLoader.h"
#include "Forms.h"
#include "GuiSupport.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

const char kDialogForm[] = R"(object DialogForm: TDialogForm
  Left = 40
  Top = 40
  BorderStyle = bsNone
  ClientHeight = 100
  ClientWidth = 200
  object odPick: TOpenDialog
    Filter = 'Programs (*.exe)|*.exe|Text files (*.txt)|*.txt|All files (*.*)|*.*'
    FilterIndex = 2
    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]
  end
end
)";

class TDialogForm : public TForm {
public:
    explicit TDialogForm(TComponent* owner) : TForm(owner)
    {
        Field("odPick", odPick);
        LoadFormFromText(kDialogForm, "DialogForm.dfm");
    }
    TOpenDialog* odPick = nullptr;
};

const char kFolder[] = "C:\\work\\chooser";
const char kFile[] = "C:\\work\\chooser\\notes.txt";

// The items of a combo box of the chooser and the one selected.
struct Choices {
    std::vector<std::string> Items;
    int Selected = -1;
};

Choices ReadChoices(HWND combo)
{
    Choices choices;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        choices.Items.push_back(text);
    }
    choices.Selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    return choices;
}

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(kFolder, nullptr);
        HANDLE f = CreateFileA(kFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(f);
        Application->Initialize();
        form = new TDialogForm(Application);
        form->Show();
        PumpPending();
    }
    void TearDown() override { form->Free(); }
    TDialogForm* form = nullptr;
};

TEST_F(OpenDialogTest, TheDescriptionSetsFilterIndexAndOptions)
{
    EXPECT_EQ(form->odPick->GetFilter(), "Programs (*.exe)|*.exe|Text files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(form->odPick->GetFilterIndex(), 2);
    EXPECT_EQ(form->odPick->GetOptions(), ofHideReadOnly | ofFileMustExist | ofEnableSizing);
    EXPECT_EQ(form->odPick->GetFileName(), "");
}

TEST_F(OpenDialogTest, AChosenFileIsTheFileNameAndTheChooserShowsTheFilter)
{
    Choices types;
    bool ownerEnabled = true, readOnlyShown = true;
    HWND owner = nullptr;
    auto type = TypeFileName(kFile);
    SystemBoxes chooser([&](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        ownerEnabled = IsWindowEnabled(form->Handle()) != FALSE;
        types = ReadChoices(GetDlgItem(box, 0x470 /* cmb1 */));
        readOnlyShown = IsWindowVisible(GetDlgItem(box, 0x410 /* chx1 */)) != FALSE;
        type(box);
    });
    const bool chosen = form->odPick->Execute();
    const std::vector<SystemBox> shown = chooser.Stop();
    ASSERT_TRUE(chosen);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(lstrcmpiA(form->odPick->GetFileName().c_str(), kFile), 0) << form->odPick->GetFileName();
    EXPECT_EQ(form->odPick->GetFilterIndex(), 2);
    EXPECT_EQ(owner, form->Handle());
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_EQ(types.Items, (std::vector<std::string>{"Programs (*.exe)", "Text files (*.txt)", "All files (*.*)"}));
    EXPECT_EQ(types.Selected, 1);
    EXPECT_FALSE(readOnlyShown);
}

TEST_F(OpenDialogTest, CancelledOrAMissingFileChangesNothing)
{
    form->odPick->SetFileName("C:\\before.txt");
    {
        SystemBoxes chooser(PressEscape());
        EXPECT_FALSE(form->odPick->Execute());
        EXPECT_EQ(chooser.Stop().size(), 1u);
    }
    EXPECT_EQ(form->odPick->GetFileName(), "C:\\before.txt");

    // A file that must exist and does not: the chooser says so and stays;
    // then it is cancelled.
    HWND chooserWindow = nullptr;
    auto typeMissing = TypeFileName(std::string(kFolder) + "\\missing.txt");
    SystemBoxes boxes([&](HWND box) {
        if (FileChooserField(box)) {
            chooserWindow = box;
            typeMissing(box);
        } else {
            SystemBoxes::PressOk(box);
            PostMessageA(chooserWindow, WM_COMMAND, IDCANCEL, 0);
        }
    });
    EXPECT_FALSE(form->odPick->Execute());
    const std::vector<SystemBox> shown = boxes.Stop();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_FALSE(shown[1].Texts.empty());
    EXPECT_EQ(form->odPick->GetFileName(), "C:\\before.txt");
}

TEST_F(OpenDialogTest, WithoutHideReadOnlyTheReadOnlyBoxShows)
{
    TOpenDialog dialog(form);
    dialog.SetOptions(0);
    bool readOnlyShown = false;
    SystemBoxes chooser([&](HWND box) {
        readOnlyShown = IsWindowVisible(GetDlgItem(box, 0x410 /* chx1 */)) != FALSE;
        PressEscape()(box);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(chooser.Stop().size(), 1u);
    EXPECT_TRUE(readOnlyShown);
}

} // namespace
