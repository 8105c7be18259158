#include "ComCtrls.h"

#include <algorithm>

#include "SysUtils.h"

namespace {

// Posted to the list view: fit the automatic column widths now.
constexpr UINT CM_FITCOLUMNS = CM_BASE + 0x60;

void EnsureListViewClass()
{
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    done = true;
}

int CALLBACK CompareByPlace(LPARAM a, LPARAM b, LPARAM)
{
    return reinterpret_cast<TListItem*>(a)->GetIndex() - reinterpret_cast<TListItem*>(b)->GetIndex();
}

struct Quiet {
    int& Count;
    explicit Quiet(int& count) : Count(count) { ++Count; }
    ~Quiet() { --Count; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
};

} // namespace

// ------------------------------------------------------------ TListSubItems

void TListSubItems::Changed(int from)
{
    TListView* lv = FItem->FListView;
    if (lv->HandleAllocated() && FItem->FIndex >= 0) {
        // Texts from the first changed one on; a shortened list blanks the rest.
        int columns = std::max(lv->Columns()->Count() - 1, Count() + 1);
        for (int i = from; i < columns; ++i) {
            std::string text = i < Count() ? FStrings[static_cast<size_t>(i)] : std::string();
            LVITEMA item = {};
            item.iSubItem = i + 1;
            item.pszText = &text[0];
            SendMessageA(lv->Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(FItem->FIndex),
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    lv->ItemTextChanged(FItem, false);
}

int TListSubItems::Add(const std::string& text)
{
    FStrings.push_back(text);
    Changed(Count() - 1);
    return Count() - 1;
}

// ---------------------------------------------------------------- TListItem

TListItem::TListItem(TListView* listView) : SubItems(&FSubItemList), FListView(listView), FSubItemList(this) {}

TListItem::~TListItem()
{
    if (FListView->FDataDeleter) FListView->FDataDeleter(FData);
}

void TListItem::SetData(void* value)
{
    if (value == FData) return;
    void* old = FData;
    FData = value;
    if (FListView->FDataDeleter) FListView->FDataDeleter(old);
}

void TListItem::SetCaption(const std::string& value)
{
    if (value == FCaption) return;
    FCaption = value;
    if (FListView->HandleAllocated()) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = &FCaption[0];
        SendMessageA(FListView->Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(FIndex),
                     reinterpret_cast<LPARAM>(&item));
    }
    FListView->ItemTextChanged(this, true);
}

void TListItem::SetImageIndex(int value)
{
    if (value == FImageIndex) return;
    FImageIndex = value;
    if (FListView->HandleAllocated()) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = FIndex;
        item.iImage = value;
        SendMessageA(FListView->Handle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

bool TListItem::GetState(UINT mask) const
{
    return (SendMessageA(FListView->FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(FIndex), mask) & mask) != 0;
}

void TListItem::SetState(UINT state, UINT mask)
{
    LVITEMA item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(FListView->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(FIndex), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::GetChecked() const
{
    if (!FListView->HandleAllocated() || !FListView->FCheckboxes) return FChecked;
    UINT state = static_cast<UINT>(
        SendMessageA(FListView->FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(FIndex), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void TListItem::SetChecked(bool value)
{
    FChecked = value;
    if (FListView->HandleAllocated() && FListView->FCheckboxes)
        SetState(INDEXTOSTATEIMAGEMASK(value ? 2 : 1), LVIS_STATEIMAGEMASK);
}

bool TListItem::GetSelected() const
{
    return FListView->HandleAllocated() ? GetState(LVIS_SELECTED) : FSelected;
}

void TListItem::SetSelected(bool value)
{
    if (FListView->HandleAllocated()) {
        // The list view reports the change (LVN_ITEMCHANGED -> OnSelectItem).
        SetState(value ? LVIS_SELECTED : 0, LVIS_SELECTED);
        return;
    }
    if (value == FSelected) return;
    if (value)
        for (int i = 0; i < FListView->Items()->Count(); ++i) {
            TListItem* other = FListView->Items()->Item(i);
            if (other != this && other->FSelected) other->SetSelected(false);
        }
    FSelected = value;
    if (FListView->OnSelectItem) FListView->OnSelectItem(FListView, this, value);
}

void TListItem::SetFocused(bool value)
{
    FFocused = value;
    if (FListView->HandleAllocated()) SetState(value ? LVIS_FOCUSED : 0, LVIS_FOCUSED);
}

void TListItem::MakeVisible(bool partialOK)
{
    if (FListView->HandleAllocated())
        SendMessageA(FListView->Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(FIndex), partialOK);
}

void TListItem::Delete()
{
    FListView->Items()->Delete(FIndex);
}

// --------------------------------------------------------------- TListItems

void TListItems::Renumber(int from)
{
    for (size_t i = static_cast<size_t>(std::max(from, 0)); i < FItems.size(); ++i) FItems[i]->FIndex = static_cast<int>(i);
}

TListItem* TListItems::Add()
{
    FItems.push_back(std::unique_ptr<TListItem>(new TListItem(FListView)));
    TListItem* item = FItems.back().get();
    item->FIndex = Count() - 1;
    FListView->InsertItemWindow(item);
    return item;
}

void TListItems::Delete(int index)
{
    if (index < 0 || index >= Count()) throw EInvalidOperation("List index out of bounds (" + IntToStr(index) + ")");
    if (FListView->HandleAllocated()) {
        Quiet quiet(FListView->FQuiet);
        SendMessageA(FListView->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    }
    FItems.erase(FItems.begin() + index);
    Renumber(index);
    FListView->RequestFit();
}

void TListItems::Clear()
{
    if (FListView->HandleAllocated()) {
        Quiet quiet(FListView->FQuiet);
        SendMessageA(FListView->Handle(), LVM_DELETEALLITEMS, 0, 0);
    }
    FItems.clear();
    FListView->RequestFit();
}

void TListItems::BeginUpdate()
{
    if (FListView->FUpdateCount++ == 0 && FListView->HandleAllocated())
        SendMessageA(FListView->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate()
{
    if (FListView->FUpdateCount == 0 || --FListView->FUpdateCount > 0) return;
    if (FListView->FSortPending) FListView->Sort();
    if (FListView->HandleAllocated()) {
        SendMessageA(FListView->Handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FListView->Handle(), nullptr, TRUE);
    }
    FListView->RequestFit();
}

// -------------------------------------------------------------- TListColumn

void TListColumn::SetCaption(const std::string& value)
{
    FCaption = value;
    if (!FListView->HandleAllocated()) return;
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = &FCaption[0];
    SendMessageA(FListView->Handle(), LVM_SETCOLUMNA, static_cast<WPARAM>(FIndex), reinterpret_cast<LPARAM>(&column));
    if (AutoWidth()) ApplyWidth();
}

int TListColumn::GetWidth() const
{
    if (!FListView->HandleAllocated()) return FWidth < 0 ? std::max(FMinWidth, 50) : FWidth;
    if (FListView->FFitPending) FListView->FitColumns();
    return static_cast<int>(SendMessageA(FListView->FHandle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(FIndex), 0));
}

void TListColumn::SetWidth(int value)
{
    if (value < -2) value = -1;
    FWidth = value;
    ApplyWidth();
}

void TListColumn::SetMinWidth(int value)
{
    FMinWidth = std::max(value, 0);
    ApplyWidth();
}

void TListColumn::ApplyWidth()
{
    // Columns show, and can be measured, only in the report view; the other
    // views would take the width for their own layout.
    if (!FListView->HandleAllocated() || !FListView->ReportView()) return;
    HWND hwnd = FListView->FHandle;
    WPARAM index = static_cast<WPARAM>(FIndex);
    Quiet quiet(FListView->FQuiet); // our own widths pass the header's limits check
    int wanted = FWidth == -1 ? LVSCW_AUTOSIZE : FWidth == -2 ? LVSCW_AUTOSIZE_USEHEADER : FWidth;
    SendMessageA(hwnd, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(wanted, 0));
    int width = static_cast<int>(SendMessageA(hwnd, LVM_GETCOLUMNWIDTH, index, 0));
    if (width < FMinWidth) SendMessageA(hwnd, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(FMinWidth, 0));
}

// ------------------------------------------------------------- TListColumns

TListColumn* TListColumns::Add()
{
    FColumns.push_back(std::unique_ptr<TListColumn>(new TListColumn(FListView)));
    TListColumn* column = FColumns.back().get();
    column->FIndex = Count() - 1;
    FListView->InsertColumnWindow(column);
    return column;
}

// ---------------------------------------------------------------- TListView

TListView::TListView(TComponent* owner)
    // The image lists belong to their TImageList components.
    : TSystemControl(owner, WC_LISTVIEWA, LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE | LVS_SINGLESEL),
      FColumnList(this), FItemList(this)
{
    FClassName = "TListView";
    // Clicks come as NM_CLICK / NM_DBLCLK.
    ControlStyle = 0;
    FWidth = 250;
    FHeight = 150;
    FColor = clWindow;
}

TListView::~TListView()
{
    // Rows go before the window, without events.
    FQuiet++;
    FItemList.FItems.clear();
}

DWORD TListView::ViewStyleBits() const
{
    switch (FViewStyle) {
    case vsSmallIcon: return LVS_SMALLICON;
    case vsList: return LVS_LIST;
    case vsReport: return LVS_REPORT;
    default: return LVS_ICON;
    }
}

void TListView::CreateParams(TCreateParams& params)
{
    EnsureListViewClass();
    TSystemControl::CreateParams(params);
    params.Style |= ViewStyleBits();
    if (!FReadOnly) params.Style |= LVS_EDITLABELS;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd()
{
    TSystemControl::CreateWnd();
    Quiet quiet(FQuiet);
    UpdateExtendedStyle();
    if (FLargeImages) SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FLargeImages->Handle()));
    if (FSmallImages) SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallImages->Handle()));
    for (int i = 0; i < Columns()->Count(); ++i) InsertColumnWindow(Columns()->Items(i));
    for (int i = 0; i < Items()->Count(); ++i) InsertItemWindow(Items()->Item(i));
    FitColumns();
}

void TListView::UpdateStyle(DWORD bits, bool on)
{
    if (!FHandle) return;
    LONG_PTR style = GetWindowLongPtrA(FHandle, GWL_STYLE);
    style = on ? (style | static_cast<LONG_PTR>(bits)) : (style & ~static_cast<LONG_PTR>(bits));
    SetWindowLongPtrA(FHandle, GWL_STYLE, style);
}

void TListView::UpdateExtendedStyle()
{
    if (!FHandle) return;
    DWORD mask = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    DWORD bits = (FCheckboxes ? LVS_EX_CHECKBOXES : 0) | (FRowSelect ? LVS_EX_FULLROWSELECT : 0);
    SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, bits);
}

void TListView::SetViewStyle(TViewStyle value)
{
    if (value == FViewStyle) return;
    FViewStyle = value;
    if (!FHandle) return;
    LONG_PTR style = GetWindowLongPtrA(FHandle, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | static_cast<LONG_PTR>(ViewStyleBits());
    SetWindowLongPtrA(FHandle, GWL_STYLE, style);
    if (ReportView()) FitColumns();
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TListView::SetCheckboxes(bool value)
{
    if (value == FCheckboxes) return;
    // The check marks kept while the boxes were off come back with them.
    if (!value && FHandle)
        for (int i = 0; i < Items()->Count(); ++i) Items()->Item(i)->FChecked = Items()->Item(i)->GetChecked();
    FCheckboxes = value;
    UpdateExtendedStyle();
    if (value && FHandle)
        for (int i = 0; i < Items()->Count(); ++i) Items()->Item(i)->SetChecked(Items()->Item(i)->FChecked);
}

void TListView::SetRowSelect(bool value)
{
    FRowSelect = value;
    UpdateExtendedStyle();
}

void TListView::SetReadOnly(bool value)
{
    FReadOnly = value;
    UpdateStyle(LVS_EDITLABELS, !value);
}

void TListView::SetSortType(TSortType value)
{
    FSortType = value;
    if (Sorted()) Sort();
}

void TListView::SetLargeImages(TImageList* value)
{
    FLargeImages = value;
    if (FHandle)
        SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TListView::SetSmallImages(TImageList* value)
{
    FSmallImages = value;
    if (FHandle)
        SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TListView::InsertColumnWindow(TListColumn* column)
{
    if (!FHandle) return;
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    info.pszText = &column->FCaption[0];
    info.cx = column->FWidth >= 0 ? column->FWidth : std::max(column->FMinWidth, 50);
    info.fmt = LVCFMT_LEFT;
    info.iSubItem = column->FIndex;
    SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column->FIndex), reinterpret_cast<LPARAM>(&info));
    column->ApplyWidth();
}

void TListView::InsertItemWindow(TListItem* item)
{
    if (!FHandle) return;
    Quiet quiet(FQuiet);
    LVITEMA info = {};
    info.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    info.iItem = item->FIndex;
    info.pszText = &item->FCaption[0];
    info.iImage = item->FImageIndex;
    info.lParam = reinterpret_cast<LPARAM>(item);
    SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&info));
    for (int i = 0; i < item->SubItems->Count(); ++i) {
        std::string text = (*item->SubItems)[i];
        LVITEMA sub = {};
        sub.iSubItem = i + 1;
        sub.pszText = &text[0];
        SendMessageA(FHandle, LVM_SETITEMTEXTA, static_cast<WPARAM>(item->FIndex), reinterpret_cast<LPARAM>(&sub));
    }
    if (FCheckboxes) item->SetChecked(item->FChecked);
    UINT state = (item->FSelected ? LVIS_SELECTED : 0) | (item->FFocused ? LVIS_FOCUSED : 0);
    if (state) item->SetState(state, state);
    RequestFit();
}

void TListView::ItemTextChanged(TListItem* item, bool caption)
{
    (void)item;
    if (caption && Sorted()) {
        if (FUpdateCount > 0)
            FSortPending = true;
        else
            Sort();
    }
    RequestFit();
}

void TListView::Sort()
{
    FSortPending = false;
    auto& items = FItemList.FItems;
    std::stable_sort(items.begin(), items.end(), [](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) {
        return lstrcmpA(a->FCaption.c_str(), b->FCaption.c_str()) < 0;
    });
    FItemList.Renumber(0);
    // The window takes the same order: each row's place is its new index.
    if (FHandle) SendMessageA(FHandle, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareByPlace));
}

void TListView::RequestFit()
{
    if (!FHandle || FFitPending) return;
    bool any = false;
    for (int i = 0; i < Columns()->Count(); ++i) any = any || Columns()->Items(i)->AutoWidth();
    if (!any) return;
    FFitPending = true;
    PostMessageA(FHandle, CM_FITCOLUMNS, 0, 0);
}

void TListView::FitColumns()
{
    FFitPending = false;
    if (FUpdateCount > 0) return;
    for (int i = 0; i < Columns()->Count(); ++i)
        if (Columns()->Items(i)->AutoWidth()) Columns()->Items(i)->ApplyWidth();
}

TListItem* TListView::Selected() const
{
    if (!FHandle) {
        for (int i = 0; i < Items()->Count(); ++i)
            if (Items()->Item(i)->FSelected) return Items()->Item(i);
        return nullptr;
    }
    int index = static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return index >= 0 && index < Items()->Count() ? Items()->Item(index) : nullptr;
}

void TListView::SetSelected(TListItem* item)
{
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Item(i) != item && Items()->Item(i)->GetSelected()) Items()->Item(i)->SetSelected(false);
    if (item) item->SetSelected(true);
}

int TListView::GetItemIndex() const
{
    TListItem* item = Selected();
    return item ? item->FIndex : -1;
}

void TListView::SetItemIndex(int index)
{
    SetSelected(index >= 0 && index < Items()->Count() ? Items()->Item(index) : nullptr);
}

int TListView::SelCount() const
{
    if (!FHandle) {
        int n = 0;
        for (int i = 0; i < Items()->Count(); ++i) n += Items()->Item(i)->FSelected ? 1 : 0;
        return n;
    }
    return static_cast<int>(SendMessageA(FHandle, LVM_GETSELECTEDCOUNT, 0, 0));
}

void TListView::HandleNotify(TMessage& message)
{
    auto header = reinterpret_cast<NMHDR*>(message.LParam);
    switch (header->code) {
    case NM_CLICK:
        Click();
        return;
    case NM_DBLCLK:
        DblClick();
        return;
    case LVN_ITEMCHANGED: {
        auto change = reinterpret_cast<NMLISTVIEW*>(message.LParam);
        if (FQuiet) return;
        TListItem* item = change->iItem >= 0 && change->iItem < Items()->Count() ? Items()->Item(change->iItem) : nullptr;
        if (change->uChanged & LVIF_STATE) {
            if (OnChange && item) OnChange(this, item, ctState);
            if (((change->uOldState ^ change->uNewState) & LVIS_SELECTED) && OnSelectItem)
                OnSelectItem(this, item, (change->uNewState & LVIS_SELECTED) != 0);
        }
        if (OnChange && item && (change->uChanged & LVIF_TEXT)) OnChange(this, item, ctText);
        if (OnChange && item && (change->uChanged & LVIF_IMAGE)) OnChange(this, item, ctImage);
        return;
    }
    default:
        message.Result = 0;
    }
}

void TListView::HandleHeaderNotify(TMessage& message)
{
    auto header = reinterpret_cast<NMHEADERA*>(message.LParam);
    switch (header->hdr.code) {
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
        if (FQuiet) break;
        // A column is never dragged narrower than its minimum.
        if (header->pitem && (header->pitem->mask & HDI_WIDTH) && header->iItem >= 0 && header->iItem < Columns()->Count()) {
            TListColumn* column = Columns()->Items(header->iItem);
            if (column->FMinWidth > 0 && header->pitem->cxy < column->FMinWidth) {
                message.Result = TRUE;
                return;
            }
        }
        break;
    default:
        break;
    }
    DefaultHandler(message);
}

void TListView::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_NOTIFY:
        HandleNotify(message);
        return;
    case WM_NOTIFY:
        // From the list view's own header.
        HandleHeaderNotify(message);
        return;
    case CM_FITCOLUMNS:
        if (FFitPending) FitColumns();
        return;
    case CM_COLORCHANGED:
        if (FHandle) {
            SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
            SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
        }
        TSystemControl::Dispatch(message);
        return;
    default:
        TSystemControl::Dispatch(message);
    }
}
