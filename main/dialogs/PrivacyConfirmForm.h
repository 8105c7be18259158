// The privacy cleanup's confirmation: a borderless modal dialog listing the
// items about to be deleted, answered with Yes or No.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "PSpeedButton.h"
#include "StdCtrls.h"

class TfmPrivacyConfirm : public TForm {
public:
    explicit TfmPrivacyConfirm(TComponent* owner);

    // Shows the list (count lines, each ending in "\n") under the header and
    // above "Are you sure?", modally. Returns IDYES (Yes, Enter), IDNO (No,
    // Esc) or IDCANCEL (closed any other way).
    int Execute(const std::string& list, const std::string& caption, int count);

    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    TPSpeedButton* bbtYes2 = nullptr;
    TPSpeedButton* bbtNo2 = nullptr;
    TPanel* Panel3 = nullptr;
    TPanel* Panel4 = nullptr;
    TLabel* lMessageTop = nullptr;
    TLabel* lMessage = nullptr;
    TImageList* ilButton = nullptr;

    void bbtYes2Click(TObject* Sender);
    void bbtNo2Click(TObject* Sender);
    void lMessageTopMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void lMessageMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    // Hands the drag to the system, as a caption bar would.
    void StartDrag();
};

// The confirmation made at start-up; while the cleanup shows its own dialog,
// that one.
extern TfmPrivacyConfirm* fmPrivacyConfirm;
