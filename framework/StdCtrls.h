// The label: a caption drawn on the parent, one line per "\n", never wrapped
// unless WordWrap says so.
#pragma once

#include "Controls.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // Grows or shrinks the label to its text (keeping the right edge of a
    // right-justified one).
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // A transparent label paints only its text; an opaque one fills Color first.
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);

    void Paint() override;
    void Dispatch(TMessage& message) override;
    void Loaded() override;

private:
    UINT TextFormat() const;
    void AdjustBounds();

    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};
