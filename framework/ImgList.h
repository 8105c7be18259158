// A list of images of one size over comctl32's image list, drawn by index.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "Classes.h"
#include "Graphics.h"

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    // Changing the size empties the list.
    int GetWidth() const { return FWidth; }
    void SetWidth(int value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int value);
    // Masked lists treat the bottom-left pixel's colour of each added strip
    // as transparent.
    bool GetMasked() const { return FMasked; }
    void SetMasked(bool value);

    int Count() const;
    void Clear();
    // Appends the images of a horizontal strip, left to right; returns the
    // index of the first one.
    int AddStrip(HBITMAP strip);
    // Appends the images of the program's BITMAP resource of that name.
    void AddStripResource(const std::string& name);
    // Appends the icon drawn at the list's size, its transparent parts kept
    // in the mask of a masked list; returns its index. The list keeps a copy:
    // the icon stays the caller's.
    int AddIcon(HICON icon);
    // Appends copies of every image of another list of the same size.
    void AddImages(TImageList* source);
    // Draws image index with its top-left corner at (x, y); an index outside
    // the list (-1 included) draws nothing.
    void Draw(TCanvas* canvas, int x, int y, int index) const;

    HIMAGELIST Handle();

private:
    void Recreate();

    int FWidth = 16;
    int FHeight = 16;
    bool FMasked = false;
    HIMAGELIST FHandle = nullptr;
};
