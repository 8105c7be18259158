// Answers the program's own message boxes (TfmMessageBox) from inside their
// modal loops, as a user would: a key, a click on a button, or the system's
// close. Every box shown meanwhile is noted.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/MessageBoxForm.h"

namespace testsupport {

// What one box showed.
struct ShownBox {
    std::string Text;
    std::string Caption;
    std::vector<std::string> Buttons; // the visible buttons, in child order
    std::vector<std::string> Places;  // the same as "name left,top"
};

using BoxAnswer = std::function<void(TfmMessageBox* box)>;
// A key posted to the box, as the keyboard queues it.
BoxAnswer PressKeys(std::vector<WORD> keys);
// A mouse click on one of the box's buttons.
BoxAnswer ClickButton(TPSpeedButton* TfmMessageBox::*button);
// The system's close command, no button pressed.
BoxAnswer CloseBox();

// Answers the boxes shown while Run's action runs: the n-th box with
// answers[n], every further one by closing it.
class BoxWatch {
public:
    explicit BoxWatch(std::vector<BoxAnswer> answers = {});
    // Runs action with the watch armed. A box nobody answered would never let
    // the action return, so after it Boxes is final.
    void Run(const std::function<void()>& action);
    std::vector<ShownBox> Boxes;
    int Shown() const { return static_cast<int>(Boxes.size()); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<BoxAnswer> FAnswers;
};

// Runs action and answers its one box; returns what the box showed (an empty
// caption when none came).
ShownBox AnswerBox(const BoxAnswer& answer, const std::function<void()>& action);

} // namespace testsupport
