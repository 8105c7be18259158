// The program's own message box: a borderless modal box with a text and the
// image buttons of a Win32 button-set kind.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "PSpeedButton.h"
#include "StdCtrls.h"

// The Win32 button-set numbering; only these four are used.
using MessageBoxKind = int;

class TfmMessageBox : public TForm {
public:
    explicit TfmMessageBox(TComponent* owner);

    // Shows the box modally and returns the pressed button as IDOK, IDCANCEL,
    // IDYES or IDNO; a box closed without a button gives IDCANCEL.
    int Execute(const std::string& text, const std::string& caption, MessageBoxKind kind);

    TLabel* lMessage = nullptr;
    TImageList* ImageList1 = nullptr;
    TPSpeedButton* bbtYes = nullptr;
    TPSpeedButton* bbtNo = nullptr;
    TPSpeedButton* bbtOk = nullptr;
    TPSpeedButton* bbtCancel = nullptr;
    TPSpeedButton* bbtYes2 = nullptr;
    TPSpeedButton* bbtNo2 = nullptr;
    TPSpeedButton* bbtOk2 = nullptr;
    TPSpeedButton* bbtCancel2 = nullptr;
    TPanel* Panel1 = nullptr;

    void FormActivate(TObject* Sender);
    void bbtYesClick(TObject* Sender);
    void bbtNoClick(TObject* Sender);
    void bbtCancelClick(TObject* Sender);
    void bbtOkClick(TObject* Sender);
    void lMessageMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};

// The box being shown (its drag handler moves it).
extern TfmMessageBox* fmMessageBox;
