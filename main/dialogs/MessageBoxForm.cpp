#include "MessageBoxForm.h"

TfmMessageBox* fmMessageBox = nullptr;

namespace {

struct Placement {
    TPSpeedButton* TfmMessageBox::*Button;
    int Left;
    int Top;
};

// The buttons each kind shows, where; every other button is hidden.
struct KindLayout {
    MessageBoxKind Kind;
    Placement Buttons[3];
    int Count;
};

const KindLayout kLayouts[] = {
    {MB_OK, {{&TfmMessageBox::bbtOk2, 109, 101}}, 1},
    {MB_OKCANCEL, {{&TfmMessageBox::bbtOk, 40, 101}, {&TfmMessageBox::bbtCancel2, 176, 101}}, 2},
    {MB_YESNOCANCEL,
     {{&TfmMessageBox::bbtYes2, 11, 102}, {&TfmMessageBox::bbtNo2, 110, 102}, {&TfmMessageBox::bbtCancel, 209, 102}},
     3},
    {MB_YESNO, {{&TfmMessageBox::bbtYes, 40, 102}, {&TfmMessageBox::bbtNo, 176, 102}}, 2},
};

TPSpeedButton* TfmMessageBox::*const kAllButtons[] = {
    &TfmMessageBox::bbtYes, &TfmMessageBox::bbtNo,  &TfmMessageBox::bbtOk,  &TfmMessageBox::bbtCancel,
    &TfmMessageBox::bbtYes2, &TfmMessageBox::bbtNo2, &TfmMessageBox::bbtOk2, &TfmMessageBox::bbtCancel2,
};

} // namespace

TfmMessageBox::TfmMessageBox(TComponent* owner) : TForm(owner)
{
    Field("lMessage", lMessage);
    Field("ImageList1", ImageList1);
    Field("bbtYes", bbtYes);
    Field("bbtNo", bbtNo);
    Field("bbtOk", bbtOk);
    Field("bbtCancel", bbtCancel);
    Field("bbtYes2", bbtYes2);
    Field("bbtNo2", bbtNo2);
    Field("bbtOk2", bbtOk2);
    Field("bbtCancel2", bbtCancel2);
    Field("Panel1", Panel1);
    Handler("FormActivate", &TfmMessageBox::FormActivate);
    Handler("bbtYesClick", &TfmMessageBox::bbtYesClick);
    Handler("bbtNoClick", &TfmMessageBox::bbtNoClick);
    Handler("bbtCancelClick", &TfmMessageBox::bbtCancelClick);
    Handler("bbtOkClick", &TfmMessageBox::bbtOkClick);
    Handler("lMessageMouseDown", &TfmMessageBox::lMessageMouseDown);
    LoadForm("MessageBoxForm.dfm");
}

int TfmMessageBox::Execute(const std::string& text, const std::string& caption, MessageBoxKind kind)
{
    Tag = kind;
    SetCaption(caption);
    // One empty line above the text.
    lMessage->SetCaption("\n" + text);
    lMessage->SetAlignment(taCenter);
    return ShowModal();
}

void TfmMessageBox::FormActivate(TObject*)
{
    for (auto button : kAllButtons) (this->*button)->SetVisible(false);
    for (const KindLayout& layout : kLayouts) {
        if (layout.Kind != Tag) continue;
        for (int i = 0; i < layout.Count; ++i) {
            TPSpeedButton* button = this->*layout.Buttons[i].Button;
            button->SetLeft(layout.Buttons[i].Left);
            button->SetTop(layout.Buttons[i].Top);
            button->SetVisible(true);
        }
    }
}

void TfmMessageBox::bbtYesClick(TObject*)
{
    ModalResult = IDYES;
}

void TfmMessageBox::bbtNoClick(TObject*)
{
    ModalResult = IDNO;
}

void TfmMessageBox::bbtCancelClick(TObject*)
{
    ModalResult = IDCANCEL;
}

void TfmMessageBox::bbtOkClick(TObject*)
{
    ModalResult = IDOK;
}

void TfmMessageBox::lMessageMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    // Any mouse button drags the box, as a caption bar would.
    ReleaseCapture();
    SendMessageA(fmMessageBox->Handle(), WM_SYSCOMMAND, 0xF012, 0);
}
