// The list view over comctl32's "SysListView32", with its columns and rows.
//
//     TListColumn* column = lv->Columns()->Add();
//     column->SetCaption("Name");
//     column->SetWidth(-1);          // fits the widest text of the column
//     column->SetMinWidth(50);       // and is never narrower than this
//
//     TListItem* item = lv->Items()->Add();
//     item->SetCaption("Program");   // a sorted list (SortType stText) sorts it in
//     item->SubItems->Add("1.0");    // the texts of the second, third... column
//     item->SetImageIndex(2);
//     item->SetData(entry);          // the row's data (see OwnRowData)
//
// A list whose rows own their data says so once, with the data's type:
//
//     lv->OwnRowData<TPRegistryEntry>();
//
// From then on a row's data is freed when the row goes (Delete, Clear, the
// list's end) and when SetData replaces it with other data. Without it the
// data is the caller's and the list never frees it.
//
// The rows are TListItem objects owned by Items; their index is their place
// in the list as shown; at most one is selected. A column of width -1 keeps
// fitting its widest text as rows change (in the report view, where columns
// show); -2 fits the header.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "ImgList.h"
#include "StdCtrls.h"

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
// stText keeps the rows in the order of their captions (lstrcmpA).
enum TSortType { stNone, stText };
enum TItemChange { ctText, ctImage, ctState };

class TListView;
class TListItem;
class TListItems;

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
// Frees the data of a row whose list owns it.
using TRowDataDeleter = void (*)(void* data);

// The texts of a row's sub-items (second column onwards), a string list that
// shows its changes in the list view.
class TListSubItems {
public:
    int Count() const { return static_cast<int>(FStrings.size()); }
    const std::string& operator[](int index) const { return FStrings.at(static_cast<size_t>(index)); }
    const std::string& Strings(int index) const { return (*this)[index]; }
    int Add(const std::string& text);

private:
    friend class TListItem;
    explicit TListSubItems(TListItem* item) : FItem(item) {}
    void Changed(int from);
    TListItem* FItem;
    std::vector<std::string> FStrings;
};

class TListItem : public TObject {
public:
    TListView* GetListView() const { return FListView; }
    int GetIndex() const { return FIndex; }

    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    // The row's check box (lists with Checkboxes).
    bool GetChecked() const;
    void SetChecked(bool value);
    bool GetSelected() const;
    void SetSelected(bool value);
    void SetFocused(bool value);
    // Scrolls the row into view.
    void MakeVisible(bool partialOK);
    // Removes the row from its list and frees it (and its data, where the
    // list owns it).
    void Delete();

    void* GetData() const { return FData; }
    // Replaces the data; a list that owns its rows' data frees the old data.
    void SetData(void* value);

    TListSubItems* const SubItems;

    ~TListItem() override;

private:
    friend class TListItems;
    friend class TListSubItems;
    friend class TListView;
    explicit TListItem(TListView* listView);
    bool GetState(UINT mask) const;
    void SetState(UINT state, UINT mask);

    TListView* FListView;
    int FIndex = -1;
    void* FData = nullptr; // owned when the list has a deleter
    std::string FCaption;
    int FImageIndex = -1;
    // Kept while the list view has no window; the window's state counts once it has one.
    bool FChecked = false;
    bool FSelected = false;
    bool FFocused = false;
    TListSubItems FSubItemList;
};

class TListItems {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TListItem* Item(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
    TListItem* operator[](int index) const { return Item(index); }
    // A new empty row at the end.
    TListItem* Add();
    void Delete(int index);
    void Clear();
    // Between the two, rows are neither redrawn, sorted nor measured; EndUpdate does it once.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TListView;
    friend class TListItem;
    explicit TListItems(TListView* listView) : FListView(listView) {}
    void Renumber(int from);
    TListView* FListView;
    std::vector<std::unique_ptr<TListItem>> FItems;
};

class TListColumn : public TObject {
public:
    int GetIndex() const { return FIndex; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    // The width in pixels; SetWidth(-1) fits the widest text, -2 the header.
    int GetWidth() const;
    void SetWidth(int value);
    int GetMinWidth() const { return FMinWidth; }
    void SetMinWidth(int value);
    bool AutoWidth() const { return FWidth < 0; }

private:
    friend class TListColumns;
    friend class TListView;
    explicit TListColumn(TListView* listView) : FListView(listView) {}
    void ApplyWidth();
    TListView* FListView;
    int FIndex = 0;
    std::string FCaption;
    int FWidth = 50;
    int FMinWidth = 0;
};

class TListColumns {
public:
    int Count() const { return static_cast<int>(FColumns.size()); }
    TListColumn* Items(int index) const { return FColumns.at(static_cast<size_t>(index)).get(); }
    TListColumn* operator[](int index) const { return Items(index); }
    // A new column at the end.
    TListColumn* Add();

private:
    friend class TListView;
    explicit TListColumns(TListView* listView) : FListView(listView) {}
    TListView* FListView;
    std::vector<std::unique_ptr<TListColumn>> FColumns;
};

class TListView : public TSystemControl {
public:
    explicit TListView(TComponent* owner);
    ~TListView() override;

    TListColumns* Columns() { return &FColumnList; }
    const TListColumns* Columns() const { return &FColumnList; }
    TListItems* Items() { return &FItemList; }
    const TListItems* Items() const { return &FItemList; }

    TViewStyle GetViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle value);
    bool GetCheckboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool value);
    void SetRowSelect(bool value);
    void SetReadOnly(bool value);
    TSortType GetSortType() const { return FSortType; }
    void SetSortType(TSortType value);
    TImageList* GetLargeImages() const { return FLargeImages; }
    void SetLargeImages(TImageList* value);
    TImageList* GetSmallImages() const { return FSmallImages; }
    void SetSmallImages(TImageList* value);

    // The first selected row, or nullptr; setting it selects only that row.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    int GetItemIndex() const;
    // Selects that row only; an index outside the list selects none.
    void SetItemIndex(int index);
    // Selects the first row (none in an empty list).
    void SelectFirst() { SetItemIndex(0); }
    int SelCount() const;

    // The rows own their data, which is a T made with new: it is deleted
    // when its row goes or its data is replaced.
    template <class T>
    void OwnRowData()
    {
        FDataDeleter = [](void* data) { delete static_cast<T*>(data); };
    }

    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    friend class TListColumns;
    friend class TListSubItems;
    DWORD ViewStyleBits() const;
    void UpdateStyle(DWORD bits, bool on);
    void UpdateExtendedStyle();
    void InsertColumnWindow(TListColumn* column);
    void InsertItemWindow(TListItem* item);
    void ItemTextChanged(TListItem* item, bool caption);
    bool Sorted() const { return FSortType == stText; }
    void Sort();
    // Column widths of -1 / -2 are fitted once the rows stop changing.
    void RequestFit();
    void FitColumns();
    void HandleNotify(TMessage& message);
    void HandleHeaderNotify(TMessage& message);
    bool ReportView() const { return FViewStyle == vsReport; }

    // Declared before the rows, so it outlives them.
    TRowDataDeleter FDataDeleter = nullptr;
    TListColumns FColumnList;
    TListItems FItemList;
    TViewStyle FViewStyle = vsIcon;
    bool FCheckboxes = false;
    bool FRowSelect = false;
    bool FReadOnly = false;
    TSortType FSortType = stNone;
    TImageList* FLargeImages = nullptr;
    TImageList* FSmallImages = nullptr;
    int FUpdateCount = 0;
    bool FSortPending = false;
    bool FFitPending = false;
    // Our own insertions and deletions raise no events.
    int FQuiet = 0;
};
