// The hint window: the small top-level "THintWindow" window in which the
// application shows the Hint of the control under the pointer (see
// TApplication::HintPause). Its window text is the hint shown.
#pragma once

#include <string>

#include "Controls.h"

class THintWindow : public TWinControl {
public:
    explicit THintWindow(TComponent* owner);
    ~THintWindow() override;

    // Shows the text below the screen point (the pointer's tip), kept on the
    // screen, without taking the focus.
    void ActivateHint(POINT cursor, const std::string& text);
    void ReleaseHint();
    // The window size the text needs.
    SIZE CalcHintSize(const std::string& text);

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    HFONT FHintFont = nullptr;
    bool FActive = false;
};

// The part of a hint before its first "|" (the whole hint when it has none).
std::string GetShortHint(const std::string& hint);
