#include "ProgramBoxes.h"

#include "GuiSupport.h"
#include "TestSupport.h"

namespace testsupport {

namespace {

BoxWatch* gWatch = nullptr;
// Marks a box already answered: a window property dies with its window, so a
// later box that happens to get the same handle is still seen as new.
const char kAnswered[] = "SweeporaTestBoxAnswered";

} // namespace

BoxAnswer PressKeys(std::vector<WORD> keys)
{
    return [keys](TfmMessageBox* box) {
        for (WORD key : keys) PostKey(box->Handle(), key);
    };
}

BoxAnswer ClickButton(TPSpeedButton* TfmMessageBox::*button)
{
    return [button](TfmMessageBox* box) { PostClick(box->*button); };
}

BoxAnswer CloseBox()
{
    return [](TfmMessageBox* box) { PostMessageA(box->Handle(), WM_CLOSE, 0, 0); };
}

BoxWatch::BoxWatch(std::vector<BoxAnswer> answers) : FAnswers(std::move(answers)) {}

void CALLBACK BoxWatch::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    TfmMessageBox* box = fmMessageBox;
    if (!gWatch || !box || !IsWindowVisible(box->Handle()) || GetPropA(box->Handle(), kAnswered)) return;
    SetPropA(box->Handle(), kAnswered, reinterpret_cast<HANDLE>(1));
    ShownBox shown;
    shown.Text = box->lMessage->GetCaption();
    shown.Caption = WindowText(box->Handle());
    TPSpeedButton* buttons[] = {box->bbtYes2, box->bbtYes, box->bbtOk2,     box->bbtOk,
                                box->bbtNo2,  box->bbtNo,  box->bbtCancel2, box->bbtCancel};
    for (TPSpeedButton* b : buttons) {
        if (!b->GetVisible()) continue;
        shown.Buttons.push_back(b->GetName());
        shown.Places.push_back(b->GetName() + " " + std::to_string(b->GetLeft()) + "," +
                               std::to_string(b->GetTop()));
    }
    const size_t n = gWatch->Boxes.size();
    gWatch->Boxes.push_back(shown);
    if (n < gWatch->FAnswers.size())
        gWatch->FAnswers[n](box);
    else
        CloseBox()(box);
}

void BoxWatch::Run(const std::function<void()>& action)
{
    gWatch = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    try {
        action();
    } catch (...) {
        KillTimer(nullptr, timer);
        gWatch = nullptr;
        throw;
    }
    KillTimer(nullptr, timer);
    gWatch = nullptr;
}

ShownBox AnswerBox(const BoxAnswer& answer, const std::function<void()>& action)
{
    BoxWatch watch{{answer}};
    watch.Run(action);
    return watch.Boxes.empty() ? ShownBox{} : watch.Boxes.front();
}

} // namespace testsupport
