// The open-file dialog over the system's file chooser (GetOpenFileNameA).
//
//     od->SetFilter("Programs (*.exe)|*.exe|All files (*.*)|*.*");
//     od->SetOptions(ofHideReadOnly | ofFileMustExist);
//     if (od->Execute()) use(od->GetFileName());
//
// Filter: pairs of a description and its patterns, all separated by "|".
// FilterIndex counts the pairs from 1 and is the one preselected; after a
// chosen file it is the pair the user ended with. Execute shows the chooser
// modally (owned by the active window of the program) and returns true when
// the user chose a file, whose full path is then FileName; a cancelled
// chooser changes nothing.
#pragma once

#include <string>

#include "Classes.h"

enum TOpenOption : unsigned {
    ofHideReadOnly = 1,
    ofFileMustExist = 2,
    ofEnableSizing = 4,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner);

    const std::string& GetFilter() const { return FFilter; }
    void SetFilter(const std::string& value) { FFilter = value; }
    int GetFilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int value) { FFilterIndex = value; }
    TOpenOptions GetOptions() const { return FOptions; }
    void SetOptions(TOpenOptions value) { FOptions = value; }
    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }

    bool Execute();

private:
    std::string FFilter;
    int FFilterIndex = 1;
    TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
    std::string FFileName;
};
