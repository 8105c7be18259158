// The standard controls as the windows rely on them: the edit field's change
// and key events, the check box, the list view's columns, rows, check boxes,
// selection and view styles, popup menus, the hint window, and the classes and
// properties that the main window's description uses.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormLoader.h"
#include "Forms.h"
#include "GuiSupport.h"
#include "ImgList.h"
#include "Menus.h"
#include "PSpeedButton.h"
#include "StdCtrls.h"
#include "SysUtils.h"

using namespace testsupport;

namespace {

std::vector<std::string> gLog;

const char kControlsForm[] = R"(object ControlsForm: TControlsForm
  Left = 30
  Top = 30
  BorderStyle = bsNone
  ClientHeight = 300
  ClientWidth = 400
  object plBody: TPanel
    Left = 0
    Top = 0
    Width = 400
    Height = 300
    Align = alClient
    BevelOuter = bvNone
    object edFilter: TEdit
      Left = 10
      Top = 10
      Width = 150
      Height = 21
      Hint = 'Type to filter'
      ParentShowHint = False
      ShowHint = True
      OnChange = edFilterChange
      OnKeyPress = edFilterKeyPress
    end
    object cbOption: TCheckBox
      Left = 170
      Top = 12
      Width = 17
      Height = 17
      Color = 14211288
      OnClick = cbOptionClick
    end
    object lvRows: TListView
      Left = 10
      Top = 40
      Width = 380
      Height = 250
      Checkboxes = True
      ReadOnly = True
      RowSelect = True
      PopupMenu = pmRows
      SortType = stText
      ViewStyle = vsReport
      OnChange = lvRowsChange
      OnSelectItem = lvRowsSelectItem
    end
  end
  object pmRows: TPopupMenu
    OnPopup = pmRowsPopup
    object pmiOpen: TMenuItem
      Bitmap = 'pmiHelp.bmp'
      Caption = 'Open'
      Hint = 'Open the row'
      OnClick = pmiClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object pmiIcon: TMenuItem
      Caption = 'Icon'
      Checked = True
      GroupIndex = 1
      RadioItem = True
      OnClick = pmiClick
    end
    object pmiList: TMenuItem
      Caption = 'List'
      Enabled = False
      GroupIndex = 1
      RadioItem = True
      OnClick = pmiClick
    end
  end
end
)";

class TControlsForm : public TForm {
public:
    explicit TControlsForm(TComponent* owner) : TForm(owner)
    {
        Field("plBody", plBody);
        Field("edFilter", edFilter);
        Field("cbOption", cbOption);
        Field("lvRows", lvRows);
        Field("pmRows", pmRows);
        Field("pmiOpen", pmiOpen);
        Field("pmiIcon", pmiIcon);
        Field("pmiList", pmiList);
        Handler("edFilterChange", &TControlsForm::edFilterChange);
        Handler("edFilterKeyPress", &TControlsForm::edFilterKeyPress);
        Handler("cbOptionClick", &TControlsForm::cbOptionClick);
        Handler("lvRowsChange", &TControlsForm::lvRowsChange);
        Handler("lvRowsSelectItem", &TControlsForm::lvRowsSelectItem);
        Handler("pmRowsPopup", &TControlsForm::pmRowsPopup);
        Handler("pmiClick", &TControlsForm::pmiClick);
        LoadFormFromText(kControlsForm, "Controls.dfm");
    }
    TPanel* plBody = nullptr;
    TEdit* edFilter = nullptr;
    TCheckBox* cbOption = nullptr;
    TListView* lvRows = nullptr;
    TPopupMenu* pmRows = nullptr;
    TMenuItem* pmiOpen = nullptr;
    TMenuItem* pmiIcon = nullptr;
    TMenuItem* pmiList = nullptr;

    void edFilterChange(TObject* s) { gLog.push_back("change " + NameOf(s) + " '" + edFilter->GetText() + "'"); }
    void edFilterKeyPress(TObject*, char& key) { gLog.push_back("key " + std::to_string(static_cast<int>(key))); }
    void cbOptionClick(TObject* s) { gLog.push_back("click " + NameOf(s) + (cbOption->GetChecked() ? " on" : " off")); }
    void lvRowsChange(TObject*, TListItem* item, TItemChange change)
    {
        if (change == ctState) gLog.push_back("state " + item->GetCaption() + (item->GetChecked() ? " checked" : ""));
    }
    void lvRowsSelectItem(TObject*, TListItem* item, bool selected)
    {
        gLog.push_back(std::string(selected ? "select " : "unselect ") + (item ? item->GetCaption() : "-"));
    }
    void pmRowsPopup(TObject*) { gLog.push_back("popup"); }
    void pmiClick(TObject* s) { gLog.push_back("menu " + NameOf(s)); }
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCursorPos(1200, 1000);
        Application->Initialize();
        form = new TControlsForm(nullptr);
        form->Show();
        PumpPending();
        gLog.clear();
    }
    void TearDown() override
    {
        form->Free();
        PumpPending();
    }
    // The texts of the list view's rows as the window shows them.
    std::vector<std::string> WindowRows(int column = 0)
    {
        std::vector<std::string> rows;
        HWND lv = form->lvRows->Handle();
        int count = static_cast<int>(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[260] = {};
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(lv, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            rows.push_back(text);
        }
        return rows;
    }
    TControlsForm* form = nullptr;
};

// ------------------------------------------------------------------ edit

TEST_F(ControlsTest, EditChangesFireOnlyOnARealChangeOfTheText)
{
    TEdit* ed = form->edFilter;
    ed->SetText("abc");
    ed->SetText("abc"); // the same text again: no change
    ed->SetText("");
    ed->SetText("");
    EXPECT_EQ(gLog, (std::vector<std::string>{"change edFilter 'abc'", "change edFilter ''"}));

    // Typing goes through OnKeyPress, then into the text, with one change each.
    gLog.clear();
    SendMessageA(ed->Handle(), WM_CHAR, 'x', 1);
    SendMessageA(ed->Handle(), WM_CHAR, 'y', 1);
    SendMessageA(ed->Handle(), WM_CHAR, VK_RETURN, 1); // Enter reaches OnKeyPress, the text stays
    EXPECT_EQ(gLog, (std::vector<std::string>{"key 120", "change edFilter 'x'", "key 121", "change edFilter 'xy'",
                                              "key 13"}));
    EXPECT_EQ(ed->GetText(), "xy");
    // What the user typed counts as the current text: setting it is no change.
    gLog.clear();
    ed->SetText("xy");
    EXPECT_TRUE(gLog.empty());
}

TEST(EditWithoutWindow, ChangesFireAsWell)
{
    gLog.clear();
    TEdit ed(nullptr);
    ed.OnChange = [](TObject*) { gLog.push_back("change"); };
    ed.SetText("a");
    ed.SetText("a");
    EXPECT_EQ(gLog, std::vector<std::string>{"change"});
    EXPECT_FALSE(ed.HandleAllocated());
}

// ------------------------------------------------------------- check box

TEST_F(ControlsTest, CheckBoxTogglesOnClickAndReportsEveryChange)
{
    TCheckBox* cb = form->cbOption;
    HWND box = cb->Handle();
    SendMouse(box, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    SendMouse(box, WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(cb->GetChecked());
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    cb->SetChecked(false);
    cb->SetChecked(false); // no change, no event
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(cb->GetState(), cbUnchecked);
    EXPECT_EQ(gLog, (std::vector<std::string>{"click cbOption on", "click cbOption off"}));
}

TEST_F(ControlsTest, CheckBoxAnswersItsParentWithItsColour)
{
    HDC dc = GetDC(form->cbOption->Handle());
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(form->plBody->Handle(), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(form->cbOption->Handle())));
    LOGBRUSH info = {};
    ASSERT_NE(brush, nullptr);
    GetObjectA(brush, sizeof info, &info);
    EXPECT_EQ(info.lbColor, static_cast<COLORREF>(14211288));
    ReleaseDC(form->cbOption->Handle(), dc);
}

// ------------------------------------------------------------- list view

TEST_F(ControlsTest, AutomaticColumnsFitTheirWidestTextAndKeepTheirMinimum)
{
    TListView* lv = form->lvRows;
    struct Spec {
        const char* Caption;
        int MinWidth;
    } specs[] = {{"Name", 0}, {"Path", 200}, {"Tiny", 50}};
    for (const Spec& s : specs) {
        TListColumn* column = lv->Columns()->Add();
        column->SetCaption(s.Caption);
        column->SetWidth(-1);
        if (s.MinWidth) column->SetMinWidth(s.MinWidth);
    }
    const std::string longName = "A rather long program name that needs room";
    const std::string longPath = "C:\\Program Files\\Some Vendor\\Some Product\\bin\\program-with-a-long-name.exe";
    for (const char* name : {"short", "mid sized name"}) {
        TListItem* row = lv->Items()->Add();
        row->SetCaption(name);
        row->SubItems->Add("p");
        row->SubItems->Add("x");
    }
    auto textWidth = [&](const std::string& text) {
        return static_cast<int>(SendMessageA(lv->Handle(), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
    };
    // Short texts: the path column keeps its minimum.
    EXPECT_GE(lv->Columns()->Items(1)->GetWidth(), 200);
    EXPECT_GE(lv->Columns()->Items(2)->GetWidth(), 50);
    // Rows added later widen the columns to their texts.
    TListItem* row = lv->Items()->Add();
    row->SetCaption(longName);
    row->SubItems->Add(longPath);
    row->SubItems->Add("x");
    PumpPending();
    EXPECT_GE(lv->Columns()->Items(0)->GetWidth(), textWidth(longName));
    EXPECT_GE(lv->Columns()->Items(1)->GetWidth(), textWidth(longPath));
    EXPECT_GE(lv->Columns()->Items(2)->GetWidth(), 50);
    // And they shrink back when it goes, never under the minimum.
    row->Delete();
    PumpPending();
    EXPECT_LT(lv->Columns()->Items(0)->GetWidth(), textWidth(longName));
    EXPECT_GE(lv->Columns()->Items(1)->GetWidth(), 200);
    EXPECT_LT(lv->Columns()->Items(1)->GetWidth(), textWidth(longPath));
}

// Row data that notes its own end, for lists that own their rows' data.
struct TCountedData {
    explicit TCountedData(std::string name) : Name(std::move(name)) {}
    ~TCountedData() { gLog.push_back("freed " + Name); }
    std::string Name;
};

TEST_F(ControlsTest, ListsThatOwnTheirRowDataFreeItWhenTheRowGoes)
{
    struct Case {
        const char* What;
        std::function<void(TListView*)> Act;
        std::vector<std::string> Freed;
        bool FreesTheList = false;
    };
    const Case cases[] = {
        {"delete one row", [](TListView* lv) { lv->Items()->Item(1)->Delete(); }, {"freed b"}},
        {"delete by index", [](TListView* lv) { lv->Items()->Delete(0); }, {"freed a"}},
        {"clear", [](TListView* lv) { lv->Items()->Clear(); }, {"freed a", "freed b", "freed c"}},
        {"destroy the list", [](TListView* lv) { lv->Free(); }, {"freed a", "freed b", "freed c"}, true},
        {"data replaced", [](TListView* lv) { lv->Items()->Item(2)->SetData(new TCountedData("d")); }, {"freed c"}},
        {"data set again", [](TListView* lv) {
             TListItem* row = lv->Items()->Item(0);
             row->SetData(row->GetData());
         }, {}},
        {"data taken away", [](TListView* lv) { lv->Items()->Item(0)->SetData(nullptr); }, {"freed a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        auto* lv = new TListView(form);
        lv->SetParent(form->plBody);
        lv->OwnRowData<TCountedData>();
        for (const char* name : {"a", "b", "c"}) {
            TListItem* row = lv->Items()->Add();
            row->SetCaption(name);
            row->SetData(new TCountedData(name));
        }
        gLog.clear();
        c.Act(lv);
        EXPECT_EQ(gLog, c.Freed);
        if (!c.FreesTheList) lv->Free();
    }
}

TEST_F(ControlsTest, ListsWithoutADeleterLeaveTheDataToTheCaller)
{
    TCountedData data("kept");
    TListItem* row = form->lvRows->Items()->Add();
    row->SetData(&data);
    form->lvRows->Items()->Clear();
    EXPECT_TRUE(gLog.empty());
}

TEST_F(ControlsTest, RowsAreSortedByCaptionAndKeepTheirTextsAndData)
{
    TListView* lv = form->lvRows;
    lv->Columns()->Add()->SetCaption("Name");
    lv->Columns()->Add()->SetCaption("Version");
    int data[3] = {};
    const char* names[] = {"beta", "Alpha", "gamma"};
    for (int i = 0; i < 3; ++i) {
        TListItem* row = lv->Items()->Add();
        row->SetCaption(names[i]);
        row->SubItems->Add(std::string("v") + names[i]);
        row->SetData(&data[i]);
    }
    // lstrcmpA order, in the objects and in the window alike.
    std::vector<std::string> captions;
    for (int i = 0; i < lv->Items()->Count(); ++i) captions.push_back(lv->Items()->Item(i)->GetCaption());
    EXPECT_EQ(captions, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(WindowRows(0), captions);
    EXPECT_EQ(WindowRows(1), (std::vector<std::string>{"vAlpha", "vbeta", "vgamma"}));
    EXPECT_EQ(lv->Items()->Item(0)->GetData(), &data[1]);
    EXPECT_EQ(lv->Items()->Item(2)->GetData(), &data[2]);
    // A renamed row moves to its place.
    lv->Items()->Item(0)->SetCaption("zeta");
    EXPECT_EQ(WindowRows(0), (std::vector<std::string>{"beta", "gamma", "zeta"}));
    EXPECT_EQ(lv->Items()->Item(2)->GetData(), &data[1]);
    EXPECT_EQ(lv->Items()->Item(2)->GetIndex(), 2);
    // Within an update the sort waits for its end.
    lv->Items()->BeginUpdate();
    lv->Items()->Item(2)->SetCaption("aaa");
    EXPECT_EQ(lv->Items()->Item(2)->GetCaption(), "aaa");
    lv->Items()->EndUpdate();
    EXPECT_EQ(WindowRows(0), (std::vector<std::string>{"aaa", "beta", "gamma"}));
    lv->Items()->Delete(1);
    EXPECT_EQ(WindowRows(0), (std::vector<std::string>{"aaa", "gamma"}));
    lv->Items()->Clear();
    EXPECT_EQ(lv->Items()->Count(), 0);
    EXPECT_TRUE(WindowRows(0).empty());
}

TEST_F(ControlsTest, CheckBoxesAreKeptPerRowAndTheUsersTogglesReported)
{
    TListView* lv = form->lvRows;
    lv->Columns()->Add()->SetCaption("Name");
    for (const char* name : {"a", "b", "c"}) lv->Items()->Add()->SetCaption(name);
    lv->Items()->Item(1)->SetChecked(true);
    EXPECT_FALSE(lv->Items()->Item(0)->GetChecked());
    EXPECT_TRUE(lv->Items()->Item(1)->GetChecked());
    EXPECT_FALSE(lv->Items()->Item(2)->GetChecked());
    // The space key toggles the focused row, as the user does it.
    lv->Items()->Item(2)->SetFocused(true);
    lv->SetFocus();
    gLog.clear();
    SendKey(lv->Handle(), VK_SPACE);
    PumpPending();
    EXPECT_TRUE(lv->Items()->Item(2)->GetChecked());
    EXPECT_NE(std::find(gLog.begin(), gLog.end(), "state c checked"), gLog.end());
    lv->Items()->Item(1)->SetChecked(false);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lv->Items()->Item(i)->GetChecked(), i == 2) << i;
}

TEST_F(ControlsTest, SelectionIsReportedForTheRowsItReachesAndLeaves)
{
    TListView* lv = form->lvRows;
    lv->Columns()->Add()->SetCaption("Name");
    EXPECT_EQ(lv->Selected(), nullptr);
    lv->SelectFirst(); // an empty list: nothing
    EXPECT_EQ(lv->GetItemIndex(), -1);
    for (const char* name : {"a", "b"}) lv->Items()->Add()->SetCaption(name);
    gLog.clear();
    lv->SelectFirst();
    lv->SetSelected(lv->Items()->Item(1));
    std::vector<std::string> selections;
    for (const std::string& e : gLog)
        if (e.rfind("state ", 0) != 0) selections.push_back(e);
    EXPECT_EQ(selections, (std::vector<std::string>{"select a", "unselect a", "select b"}));
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));
    EXPECT_EQ(lv->GetItemIndex(), 1);
    EXPECT_TRUE(lv->Items()->Item(1)->GetSelected());
    EXPECT_FALSE(lv->Items()->Item(0)->GetSelected());
    // Deleting the selected row leaves no selection and raises nothing.
    gLog.clear();
    lv->Items()->Item(1)->Delete();
    EXPECT_EQ(lv->Selected(), nullptr);
    EXPECT_TRUE(gLog.empty());
}

TEST_F(ControlsTest, TheViewStyleSwitchesAtRunTime)
{
    TListView* lv = form->lvRows;
    lv->Columns()->Add()->SetCaption("Name");
    lv->Items()->Add()->SetCaption("row");
    const struct {
        TViewStyle Style;
        DWORD Bits;
    } cases[] = {{vsIcon, LVS_ICON}, {vsList, LVS_LIST}, {vsSmallIcon, LVS_SMALLICON}, {vsReport, LVS_REPORT}};
    for (const auto& c : cases) {
        lv->SetViewStyle(c.Style);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(lv->Handle(), GWL_STYLE)) & LVS_TYPEMASK, c.Bits) << c.Style;
        EXPECT_EQ(lv->GetViewStyle(), c.Style);
    }
    EXPECT_EQ(WindowRows(0), std::vector<std::string>{"row"});
}

// ------------------------------------------------------------ popup menu

struct MenuSeen {
    bool Shown = false;
    int Count = -1;
    std::vector<UINT> Types;
    std::vector<UINT> States;
    std::vector<HBITMAP> Bitmaps;
    std::vector<std::string> Texts;
};
MenuSeen gSeen;

// Runs inside the menu's own loop: notes the menu that shows, then closes it.
void CALLBACK InspectMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return;
    KillTimer(nullptr, timer);
    gSeen.Shown = true;
    auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    gSeen.Count = GetMenuItemCount(menu);
    for (int i = 0; i < gSeen.Count; ++i) {
        char text[64] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_BITMAP | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        gSeen.Types.push_back(info.fType);
        gSeen.States.push_back(info.fState);
        gSeen.Bitmaps.push_back(info.hbmpItem);
        gSeen.Texts.push_back(text);
    }
    EndMenu();
}

TEST_F(ControlsTest, APopupMenuShowsItsItemsAsTheyAreNow)
{
    gSeen = MenuSeen();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, InspectMenu);
    // The list view's context-menu request pops its PopupMenu up.
    SendMessageA(form->lvRows->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->lvRows->Handle()),
                 MAKELPARAM(100, 100));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(gSeen.Shown);
    EXPECT_EQ(gLog, std::vector<std::string>{"popup"});
    EXPECT_EQ(form->pmRows->GetPopupComponent(), form->lvRows);
    ASSERT_EQ(gSeen.Count, 4);
    EXPECT_EQ(gSeen.Texts[0], "Open");
    EXPECT_EQ(gSeen.Bitmaps[0], HBMMENU_CALLBACK); // the item's bitmap, drawn by the framework
    EXPECT_TRUE(gSeen.Types[1] & MFT_SEPARATOR);
    EXPECT_TRUE(gSeen.Types[2] & MFT_RADIOCHECK);
    EXPECT_TRUE(gSeen.States[2] & MFS_CHECKED);
    EXPECT_FALSE(gSeen.States[3] & MFS_CHECKED);
    EXPECT_TRUE(gSeen.States[3] & MFS_GRAYED);
    EXPECT_EQ(gSeen.Bitmaps[2], nullptr);
}

TEST_F(ControlsTest, MenuCommandsRunTheirItemsAndRadioItemsUncheckTheirGroup)
{
    HWND owner = PopupListWindow();
    SendMessageA(owner, WM_COMMAND, form->pmiOpen->Command(), 0);
    SendMessageA(owner, WM_COMMAND, form->pmiList->Command(), 0); // disabled: nothing
    SendMessageA(owner, WM_COMMAND, 0xFFFF, 0);                    // no such item
    EXPECT_EQ(gLog, std::vector<std::string>{"menu pmiOpen"});
    EXPECT_EQ(FindMenuItem(form->pmiIcon->Command()), form->pmiIcon);
    form->pmiList->SetChecked(true);
    EXPECT_FALSE(form->pmiIcon->GetChecked());
    form->pmiOpen->SetChecked(true); // not a radio item: the group stays
    EXPECT_TRUE(form->pmiList->GetChecked());
    EXPECT_EQ(form->pmiOpen->GetHint(), "Open the row");
    EXPECT_EQ(form->pmRows->Items()->Count(), 4);
    EXPECT_TRUE(form->pmRows->Items()->Items(1)->IsLine());
}

TEST_F(ControlsTest, AMenuBitmapIsDrawnWithItsKeyColourTransparent)
{
    TBitmap* bitmap = form->pmiOpen->GetBitmap();
    ASSERT_FALSE(bitmap->Empty());
    const int w = bitmap->Width(), h = bitmap->Height();
    // Where the picture has the bottom-left pixel's colour, the background must stay.
    std::vector<COLORREF> picture;
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, bitmap->Handle());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.push_back(GetPixel(source, x, y));
    SelectObject(source, old);
    DeleteDC(source);
    COLORREF key = picture[static_cast<size_t>((h - 1) * w)];
    const COLORREF background = RGB(10, 200, 30);
    MemoryDC dc(w, h, background);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = form->pmiOpen->Command();
    draw.hDC = dc.Handle();
    draw.rcItem = RECT{0, 0, w, h};
    EXPECT_TRUE(SendMessageA(PopupListWindow(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    int keyPixels = 0, drawn = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF want = picture[static_cast<size_t>(y * w + x)];
            if (want == key) {
                ++keyPixels;
                EXPECT_EQ(dc.Pixel(x, y), background) << x << "," << y;
            } else {
                ++drawn;
                EXPECT_EQ(dc.Pixel(x, y), want) << x << "," << y;
            }
        }
    EXPECT_GT(keyPixels, 0);
    EXPECT_GT(drawn, 0);
}

// ------------------------------------------------------------ image lists

const COLORREF kIconColour = RGB(200, 30, 40);
const COLORREF kBackdrop = RGB(10, 200, 30);

// A 32x32 icon of one colour whose top-left 8x8 corner is transparent.
HICON SquareIcon()
{
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, colour);
    RECT all{0, 0, 32, 32}, corner{0, 0, 8, 8};
    HBRUSH brush = CreateSolidBrush(kIconColour);
    FillRect(dc, &all, brush);
    FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(brush);
    SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

void SetUpList(TImageList& list, int size)
{
    list.SetWidth(size);
    list.SetHeight(size);
    list.SetMasked(true);
}

// Image index drawn on the backdrop, as rows of pixels.
std::vector<COLORREF> Drawn(TImageList& list, int index)
{
    const int size = list.GetWidth();
    MemoryDC dc(size, size, kBackdrop);
    TCanvas canvas;
    canvas.Handle = dc.Handle();
    list.Draw(&canvas, 0, 0, index);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(dc.Pixel(x, y));
    return pixels;
}

TEST(ImageLists, AnIconIsAppendedAtTheListsSizeWithItsTransparentCorner)
{
    TImageList large(nullptr), small(nullptr);
    SetUpList(large, 32);
    SetUpList(small, 16);
    HICON icon = SquareIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(large.AddIcon(icon), 0);
    EXPECT_EQ(large.AddIcon(icon), 1);
    EXPECT_EQ(small.AddIcon(icon), 0);
    DestroyIcon(icon); // the lists keep their own copies
    EXPECT_EQ(large.Count(), 2);
    EXPECT_EQ(small.Count(), 1);
    EXPECT_THROW(large.AddIcon(nullptr), EOutOfResources);
    EXPECT_EQ(large.Count(), 2);

    const struct {
        TImageList* List;
        int Index;
        int Corner; // the transparent corner's size at the list's size
    } cases[] = {{&large, 1, 8}, {&small, 0, 4}};
    for (const auto& c : cases) {
        const int size = c.List->GetWidth();
        SCOPED_TRACE(size);
        std::vector<COLORREF> pixels = Drawn(*c.List, c.Index);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if ((x == c.Corner || y == c.Corner) && x <= c.Corner && y <= c.Corner) continue; // scaled edge
                bool corner = x < c.Corner && y < c.Corner;
                EXPECT_EQ(pixels[static_cast<size_t>(y * size + x)], corner ? kBackdrop : kIconColour)
                    << x << "," << y;
            }
    }
}

TEST(ImageLists, AnotherListsImagesAreCopiedAfterTheOwnOnes)
{
    // The no-icon pictures of the main window: two images, magenta transparent.
    for (const auto& strip : {std::make_pair("ilNoIconNagy.bmp", 32), std::make_pair("ilNoIconKicsi.bmp", 16)}) {
        SCOPED_TRACE(strip.first);
        TImageList source(nullptr), copy(nullptr);
        SetUpList(source, strip.second);
        SetUpList(copy, strip.second);
        source.AddStripResource(strip.first);
        ASSERT_EQ(source.Count(), 2);
        HICON icon = SquareIcon();
        copy.AddIcon(icon);
        DestroyIcon(icon);
        copy.AddImages(&source);
        copy.AddImages(&source);
        ASSERT_EQ(copy.Count(), 5);
        EXPECT_EQ(source.Count(), 2);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Drawn(copy, 1 + i), Drawn(source, i % 2)) << "image " << 1 + i;
        // Both base pictures leave some of the backdrop showing.
        std::vector<COLORREF> base = Drawn(copy, 1);
        EXPECT_NE(std::count(base.begin(), base.end(), kBackdrop), 0);
        EXPECT_NE(Drawn(copy, 1), Drawn(copy, 2));
    }
    TImageList large(nullptr), small(nullptr);
    SetUpList(large, 32);
    SetUpList(small, 16);
    large.AddStripResource("ilNoIconNagy.bmp");
    EXPECT_THROW(small.AddImages(&large), EInvalidOperation);
    EXPECT_EQ(small.Count(), 0);
}

// ------------------------------------------------------------------ hint

HWND VisibleHintWindow()
{
    HWND hint = FindWindowA("THintWindow", nullptr);
    return hint && IsWindowVisible(hint) ? hint : nullptr;
}

TEST_F(ControlsTest, AControlShowsItsHintAfterThePointerRestsOnIt)
{
    Application->HintHidePause = 0; // not by time: the test must not race a clock
    POINT p = form->edFilter->ClientToScreen(POINT{20, 5});
    SetCursorPos(p.x, p.y);
    bool shown = PumpUntil([] {
        Application->DoIdle();
        return VisibleHintWindow() != nullptr;
    });
    ASSERT_TRUE(shown);
    char text[64] = {};
    GetWindowTextA(VisibleHintWindow(), text, sizeof text);
    EXPECT_STREQ(text, "Type to filter");
    RECT r;
    GetWindowRect(VisibleHintWindow(), &r);
    EXPECT_GT(r.top, p.y); // below the pointer
    // Leaving the control takes it away; the check box has no hint to show.
    POINT q = form->cbOption->ClientToScreen(POINT{5, 5});
    SetCursorPos(q.x, q.y);
    PumpPending();
    Application->DoIdle();
    EXPECT_EQ(VisibleHintWindow(), nullptr);
    Application->HintHidePause = 2500;
}

// ------------------------------------------------- the main window's classes

// Every class and property that the main window's description writes is
// known to the loader (the form class itself reads as TForm).
TEST(MainWindowDescription, UsesOnlyRegisteredClassesAndProperties)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, "Unit1.dfm", MAKEINTRESOURCEA(10));
    ASSERT_NE(info, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(module, info))), SizeofResource(module, info));
    std::vector<const TComponentClass*> stack;
    int line = 0, objects = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string l = text.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        size_t first = l.find_first_not_of(" \r");
        if (first == std::string::npos) continue;
        l = l.substr(first);
        if (l.rfind("object ", 0) == 0) {
            std::string cls = l.substr(l.find(':') + 2);
            cls = cls.substr(0, cls.find_first_of(" \r"));
            const TComponentClass* c = FindComponentClass(stack.empty() ? "TForm" : cls);
            EXPECT_NE(c, nullptr) << "line " << line << ": class " << cls;
            stack.push_back(c);
            ++objects;
        } else if (l.rfind("end", 0) == 0 && l.find('=') == std::string::npos) {
            if (!stack.empty()) stack.pop_back();
        } else if (l.find(" = ") != std::string::npos && !stack.empty() && stack.back()) {
            std::string name = l.substr(0, l.find(" = "));
            EXPECT_NE(FindClassProperty(*stack.back(), name), nullptr)
                << "line " << line << ": " << stack.back()->Name << "." << name;
        }
    }
    EXPECT_GT(objects, 100);
}

} // namespace
