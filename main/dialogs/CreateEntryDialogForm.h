// The new startup entry dialog: a program file and a display name become a
// shortcut (".lnk") in the current user's Startup folder.
#pragma once

#include <windows.h>

#include <string>

#include "ExtCtrls.h"
#include "FileDialogs.h"
#include "Forms.h"
#include "ImgList.h"
#include "PSpeedButton.h"
#include "Registry.h"
#include "StdCtrls.h"

class TfmStartupCreateDialog : public TForm {
public:
    explicit TfmStartupCreateDialog(TComponent* Owner);

    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;
    TEdit* edFileName = nullptr;
    TEdit* edDisplayName = nullptr;
    TPSpeedButton* bbtBrowse = nullptr;
    TPSpeedButton* bbtCreate = nullptr;
    TPSpeedButton* bbtCancel = nullptr;
    TOpenDialog* odStartupCreateNew = nullptr;
    TImageList* ImageList1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void bbtBrowseClick(TObject* Sender);
    void bbtCreateClick(TObject* Sender);
    void bbtCancelClick(TObject* Sender);
    void Panel1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    void LoadLanguageHints();
    // Writes a shortcut to the target at the link path with that description
    // (COM initialised by the caller); returns the HRESULT of the last step.
    HRESULT CreateShortcut(const std::string& target, const std::string& link, const std::string& description);

private:
    TRegistry* Registry = nullptr; // owned: made by FormCreate, freed by FormDestroy
};

// The dialog while it exists.
extern TfmStartupCreateDialog* fmStartupCreateDialog;

// The file name of a path (after its last "\" or ":") without its last
// extension: "C:\Tools\my.app.exe" gives "my.app".
std::string DisplayNameFromPath(const std::string& path);
