#include "PrivacyConfirmForm.h"

TfmPrivacyConfirm* fmPrivacyConfirm = nullptr;

TfmPrivacyConfirm::TfmPrivacyConfirm(TComponent* owner) : TForm(owner)
{
    Field("Panel1", Panel1);
    Field("Panel2", Panel2);
    Field("bbtYes2", bbtYes2);
    Field("bbtNo2", bbtNo2);
    Field("Panel3", Panel3);
    Field("Panel4", Panel4);
    Field("lMessageTop", lMessageTop);
    Field("lMessage", lMessage);
    Field("ilButton", ilButton);
    Handler("bbtYes2Click", &TfmPrivacyConfirm::bbtYes2Click);
    Handler("bbtNo2Click", &TfmPrivacyConfirm::bbtNo2Click);
    Handler("lMessageTopMouseDown", &TfmPrivacyConfirm::lMessageTopMouseDown);
    Handler("lMessageMouseDown", &TfmPrivacyConfirm::lMessageMouseDown);
    Handler("Panel3MouseDown", &TfmPrivacyConfirm::Panel3MouseDown);
    Handler("Panel2MouseDown", &TfmPrivacyConfirm::Panel2MouseDown);
    LoadForm("PrivacyConfirmForm.dfm");
}

int TfmPrivacyConfirm::Execute(const std::string& list, const std::string& caption, int count)
{
    // No border: the height is the client area's, 16 pixels per line.
    SetHeight(144 + 16 * count);
    SetCaption(caption);
    lMessageTop->SetHeight(48);
    lMessageTop->SetCaption("\n\nThe following items will be deleted:");
    // Every line ends in "\n": "Are you sure?" stands below an empty line.
    lMessage->SetCaption(list + "\nAre you sure?");
    return ShowModal();
}

void TfmPrivacyConfirm::bbtYes2Click(TObject*)
{
    ModalResult = IDYES;
}

void TfmPrivacyConfirm::bbtNo2Click(TObject*)
{
    ModalResult = IDNO;
}

void TfmPrivacyConfirm::StartDrag()
{
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);
}

void TfmPrivacyConfirm::lMessageTopMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    StartDrag();
}

void TfmPrivacyConfirm::lMessageMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    StartDrag();
}

void TfmPrivacyConfirm::Panel3MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    StartDrag();
}

void TfmPrivacyConfirm::Panel2MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    StartDrag();
}
