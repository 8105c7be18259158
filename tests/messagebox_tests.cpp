// The program's message box with real key and mouse input, and the system
// error box.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiSupport.h"
#include "ProgramBoxes.h"
#include "TestSupport.h"
#include "Dialogs.h"
#include "dialogs/MessageBoxForm.h"

using namespace testsupport;

namespace {

// Shows a box of that kind and answers it with act; notes where its buttons are.
int RunBox(int kind, const BoxAnswer& act, std::vector<std::string>* shown = nullptr, const std::string& text = "Text")
{
    int result = 0;
    const ShownBox box = AnswerBox(act, [&] { result = ShowMessageDialog(text, "Caption", kind); });
    EXPECT_EQ(box.Caption, "Caption");
    if (shown) *shown = box.Places;
    return result;
}

TEST(MessageBox, EachKindShowsItsButtonsWhereTheyBelong)
{
    const struct {
        int Kind;
        std::vector<std::string> Shown;
    } cases[] = {
        {MB_OK, {"bbtOk2 109,101"}},
        {MB_OKCANCEL, {"bbtOk 40,101", "bbtCancel2 176,101"}},
        {MB_YESNOCANCEL, {"bbtYes2 11,102", "bbtNo2 110,102", "bbtCancel 209,102"}},
        {MB_YESNO, {"bbtYes 40,102", "bbtNo 176,102"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Kind);
        std::vector<std::string> shown;
        RunBox(c.Kind, CloseBox(), &shown);
        EXPECT_EQ(shown, c.Shown);
    }
}

TEST(MessageBox, KeysGiveTheResultsOfTheKind)
{
    const struct {
        const char* What;
        int Kind;
        std::vector<WORD> Keys;
        int Result;
    } cases[] = {
        {"OK: Enter", MB_OK, {VK_RETURN}, IDOK},
        // Esc does nothing in an OK box: the Enter after it still counts.
        {"OK: Esc, then Enter", MB_OK, {VK_ESCAPE, VK_RETURN}, IDOK},
        {"OK/Cancel: Enter", MB_OKCANCEL, {VK_RETURN}, IDOK},
        {"OK/Cancel: Esc", MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
        {"Yes/No/Cancel: Enter", MB_YESNOCANCEL, {VK_RETURN}, IDYES},
        // Esc clicks No, then Cancel, whose result stands.
        {"Yes/No/Cancel: Esc", MB_YESNOCANCEL, {VK_ESCAPE}, IDCANCEL},
        {"Yes/No: Enter", MB_YESNO, {VK_RETURN}, IDYES},
        {"Yes/No: Esc", MB_YESNO, {VK_ESCAPE}, IDNO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(RunBox(c.Kind, PressKeys(c.Keys)), c.Result);
    }
}

TEST(MessageBox, ClosingWithoutAButtonGivesCancelInEveryKind)
{
    for (int kind : {MB_OK, MB_OKCANCEL, MB_YESNOCANCEL, MB_YESNO}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(RunBox(kind, [](TfmMessageBox* box) { PostKey(box->Handle(), VK_F4, true); }), IDCANCEL);
    }
}

TEST(MessageBox, AClickOnAButtonGivesItsResult)
{
    const struct {
        int Kind;
        TPSpeedButton* TfmMessageBox::*Button;
        int Result;
    } cases[] = {
        {MB_OK, &TfmMessageBox::bbtOk2, IDOK},
        {MB_OKCANCEL, &TfmMessageBox::bbtOk, IDOK},
        {MB_OKCANCEL, &TfmMessageBox::bbtCancel2, IDCANCEL},
        {MB_YESNOCANCEL, &TfmMessageBox::bbtYes2, IDYES},
        {MB_YESNOCANCEL, &TfmMessageBox::bbtNo2, IDNO},
        {MB_YESNOCANCEL, &TfmMessageBox::bbtCancel, IDCANCEL},
        {MB_YESNO, &TfmMessageBox::bbtYes, IDYES},
        {MB_YESNO, &TfmMessageBox::bbtNo, IDNO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Kind);
        EXPECT_EQ(RunBox(c.Kind, ClickButton(c.Button)), c.Result);
    }
}

TEST(MessageBox, HiddenButtonsAnswerNoClick)
{
    // In an OK box bbtNo sits hidden where Yes/No boxes show it: a click there
    // does nothing, and only the Enter after it ends the box.
    EXPECT_EQ(RunBox(MB_OK,
                     [](TfmMessageBox* box) {
                         PostClick(box->bbtNo);
                         PostKey(box->Handle(), VK_RETURN);
                     }),
              IDOK);
}

TEST(MessageBox, TextStandsBelowAnEmptyLineCentred)
{
    std::string caption;
    TAlignment alignment = taLeftJustify;
    std::string windowText;
    RunBox(
        MB_OK,
        [&](TfmMessageBox* box) {
            caption = box->lMessage->GetCaption();
            alignment = box->lMessage->GetAlignment();
            windowText = WindowText(box->Handle());
            PostKey(box->Handle(), VK_RETURN);
        },
        nullptr, "first\nsecond");
    EXPECT_EQ(caption, "\nfirst\nsecond");
    EXPECT_EQ(alignment, taCenter);
    EXPECT_EQ(windowText, "Caption");
}

TEST(MessageBox, AnyMouseButtonOnTheTextDragsTheBox)
{
    for (UINT down : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        SCOPED_TRACE(down);
        std::unique_ptr<MoveCommandRecorder> moves;
        RunBox(MB_OK, [down, &moves](TfmMessageBox* box) {
            moves = std::make_unique<MoveCommandRecorder>(box->Handle());
            PostMouse(box->Panel1->Handle(), down, 150, 40);
            PostKey(box->Handle(), VK_RETURN);
        });
        ASSERT_TRUE(moves);
        EXPECT_EQ(moves->Commands, std::vector<WPARAM>{0xF012});
    }
}

TEST(SystemError, ShowsTheSystemsTextUnderGetLastError)
{
    char* expected = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_FILE_NOT_FOUND, 0x400,
                   reinterpret_cast<char*>(&expected), 0, nullptr);
    ASSERT_NE(expected, nullptr);
    std::string text = expected;
    LocalFree(expected);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();

    BoxAnswerer answer;
    ShowSystemError(ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(answer.Caption, "GetLastError");
    ASSERT_EQ(answer.Texts.size(), 1u);
    EXPECT_EQ(answer.Texts[0].substr(0, text.size()), text);
}

TEST(SystemError, ACodeWithoutSystemTextShowsTheNumber)
{
    BoxAnswerer answer;
    ShowSystemError(0x2000FFFF);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(answer.Caption, "GetLastError");
    EXPECT_EQ(answer.Texts, std::vector<std::string>{"Error 536936447"});
}

} // namespace
