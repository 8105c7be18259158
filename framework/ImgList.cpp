#include "ImgList.h"

#include "SysUtils.h"

TImageList::TImageList(TComponent* owner) : TComponent(owner)
{
    FClassName = "TImageList";
}

TImageList::~TImageList()
{
    if (FHandle) ImageList_Destroy(FHandle);
}

void TImageList::Recreate()
{
    if (FHandle) ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

HIMAGELIST TImageList::Handle()
{
    if (!FHandle) {
        FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | (FMasked ? ILC_MASK : 0), 4, 4);
        if (!FHandle) throw EOutOfResources("Cannot create an image list");
    }
    return FHandle;
}

void TImageList::SetWidth(int value)
{
    if (value == FWidth || value <= 0) return;
    FWidth = value;
    Recreate();
}

void TImageList::SetHeight(int value)
{
    if (value == FHeight || value <= 0) return;
    FHeight = value;
    Recreate();
}

void TImageList::SetMasked(bool value)
{
    if (value == FMasked) return;
    FMasked = value;
    Recreate();
}

int TImageList::Count() const
{
    return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

void TImageList::Clear()
{
    if (FHandle) ImageList_Remove(FHandle, -1);
}

int TImageList::AddStrip(HBITMAP strip)
{
    HIMAGELIST list = Handle();
    int first;
    if (FMasked) {
        BITMAP info = {};
        GetObjectA(strip, sizeof info, &info);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, strip);
        COLORREF mask = GetPixel(dc, 0, info.bmHeight - 1);
        SelectObject(dc, old);
        DeleteDC(dc);
        first = ImageList_AddMasked(list, strip, mask);
    } else {
        first = ImageList_Add(list, strip, nullptr);
    }
    if (first < 0) throw EOutOfResources("Cannot add images to an image list");
    return first;
}

void TImageList::AddStripResource(const std::string& name)
{
    TBitmap strip;
    strip.LoadFromResourceName(GetModuleHandleA(nullptr), name);
    AddStrip(strip.Handle());
}

int TImageList::AddIcon(HICON icon)
{
    int index = icon ? ImageList_ReplaceIcon(Handle(), -1, icon) : -1;
    if (index < 0) throw EOutOfResources("Cannot add an icon to an image list");
    return index;
}

void TImageList::AddImages(TImageList* source)
{
    if (!source || source == this) return;
    if (source->FWidth != FWidth || source->FHeight != FHeight)
        throw EInvalidOperation("Image lists of different sizes");
    for (int i = 0; i < source->Count(); ++i) {
        // An icon carries the image with its mask.
        HICON icon = ImageList_GetIcon(source->FHandle, i, ILD_NORMAL);
        if (!icon) throw EOutOfResources("Cannot copy an image of an image list");
        try {
            AddIcon(icon);
        } catch (...) {
            DestroyIcon(icon);
            throw;
        }
        DestroyIcon(icon);
    }
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index) const
{
    if (!FHandle || index < 0 || index >= Count()) return;
    ImageList_Draw(FHandle, index, canvas->Handle, x, y, ILD_NORMAL);
}
