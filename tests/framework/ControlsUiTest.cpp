// Control, image list and menu wrappers on real windows: list sorting, selection iteration,
// hit tests, tree navigation, owner-draw routing, popup menus and date conversions.
#include "Button.h"
#include "ComboBox.h"
#include "ControlsTestResource.h"
#include "DateTimeCtrl.h"
#include "Dc.h"
#include "Edit.h"
#include "HeaderCtrl.h"
#include "ImageList.h"
#include "ListCtrl.h"
#include "Menu.h"
#include "Resources.h"
#include "ToolTipCtrl.h"
#include "TreeCtrl.h"
#include "Wnd.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kMagenta = RGB(255, 0, 255);

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A top-level window to parent the controls; it records the commands it receives.
class TestParent : public CWnd {
public:
    std::vector<UINT> commands;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back(LOWORD(wParam));
        return CWnd::OnCommand(wParam, lParam);
    }
};

// The parent window lives for a whole test suite: Wine waits up to two seconds for a window
// manager whenever a shown top-level window is hidden, and Xvfb has none.
class ControlsUiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_parent = new TestParent;
        s_parent->CreateEx(0, nullptr, L"Controls", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640, 480,
                           nullptr, nullptr);
        Pump();
    }
    static void TearDownTestSuite()
    {
        s_parent->DestroyWindow();
        delete s_parent;
        s_parent = nullptr;
        Pump();
    }
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.IsWindow());
        m_parent.commands.clear();
    }
    void TearDown() override { Pump(); }

    static TestParent* s_parent;
    TestParent& m_parent = *s_parent;
};

TestParent* ControlsUiTest::s_parent = nullptr;

// A 16x16 icon: colour where the mask is opaque; opaqueColumns from the left are opaque.
HICON MakeIcon(COLORREF color, int opaqueColumns = 16)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap colour;
    colour.CreateCompatibleBitmap(nullptr, 16, 16);
    HGDIOBJ old = dc.SelectObject(colour.GetSafeHandle());
    dc.FillSolidRect(0, 0, 16, 16, RGB(0, 0, 0));
    dc.FillSolidRect(0, 0, opaqueColumns, 16, color);
    dc.SelectObject(old);
    // Monochrome mask, rows of 16 bits: 0 opaque, 1 transparent.
    WORD rows[16];
    for (WORD& row : rows) {
        unsigned bits = opaqueColumns >= 16 ? 0u : (0xFFFFu >> opaqueColumns);
        row = static_cast<WORD>(((bits & 0xFF) << 8) | ((bits >> 8) & 0xFF)); // big-endian bit order per byte pair
    }
    CBitmap mask;
    mask.CreateBitmap(16, 16, 1, 1, rows);
    ICONINFO info = {TRUE, 0, 0, static_cast<HBITMAP>(mask), static_cast<HBITMAP>(colour)};
    return ::CreateIconIndirect(&info);
}

// A white 32-bit canvas to draw image lists into.
class Canvas {
public:
    Canvas(int width, int height)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateDIBSection32(width, height);
        m_old = m_dc.SelectObject(m_bitmap.GetSafeHandle());
        m_dc.FillSolidRect(0, 0, width, height, kWhite);
    }
    ~Canvas() { m_dc.SelectObject(m_old); }
    CDC* dc() { return &m_dc; }
    COLORREF At(int x, int y) { return m_dc.GetPixel(x, y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
};

// ---------------------------------------------------------------- list control

class ReportList : public ControlsUiTest {
protected:
    void SetUp() override
    {
        ControlsUiTest::SetUp();
        ASSERT_TRUE(m_list.Create(WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS, CRect(0, 0, 400, 300),
                                  &m_parent, 100));
        m_list.InsertColumn(0, L"Name", LVCFMT_LEFT, 120);
        m_list.InsertColumn(1, L"Size", LVCFMT_RIGHT, 80);
        const wchar_t* names[] = {L"delta", L"alpha", L"echo", L"charlie", L"bravo"};
        for (int i = 0; i < 5; ++i) {
            int index = m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, names[i], 0, 0, 0, (i + 1) * 10);
            m_list.SetItemText(index, 1, std::to_wstring((i + 1) * 10).c_str());
        }
    }

    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            names.push_back(m_list.GetItemText(i, 0).GetString());
        return names;
    }

    std::vector<int> SelectedByIteration()
    {
        std::vector<int> selected;
        POSITION pos = m_list.GetFirstSelectedItemPosition();
        while (pos)
            selected.push_back(m_list.GetNextSelectedItem(pos));
        return selected;
    }

    CListCtrl m_list;
};

int CALLBACK ByParamDescending(LPARAM a, LPARAM b, LPARAM)
{
    return a < b ? 1 : (a > b ? -1 : 0);
}

TEST_F(ReportList, SortItemsOrdersRowsByTheCallbackOnItemData)
{
    ASSERT_TRUE(m_list.SortItems(&ByParamDescending, 0));
    std::vector<std::wstring> expected = {L"bravo", L"charlie", L"echo", L"alpha", L"delta"};
    EXPECT_EQ(expected, Names());
    EXPECT_EQ(50u, m_list.GetItemData(0));
    EXPECT_EQ(CString(L"50"), m_list.GetItemText(0, 1)) << "subitems move with their row";
}

TEST_F(ReportList, SelectionIterationVisitsEachSelectedRowInOrder)
{
    struct Row { std::vector<int> select; } rows[] = {{{}}, {{0}}, {{4}}, {{1, 3, 4}}, {{0, 1, 2, 3, 4}}};
    for (const Row& row : rows) {
        m_list.SetItemState(-1, 0, LVIS_SELECTED);
        for (int index : row.select)
            m_list.SetItemState(index, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(row.select, SelectedByIteration()) << "selected count " << row.select.size();
        EXPECT_EQ(row.select.size(), m_list.GetSelectedCount());
    }
}

TEST_F(ReportList, HitTestFindsTheRowAtTheCentreOfItsRectangle)
{
    for (int index = 0; index < m_list.GetItemCount(); ++index) {
        CRect rect;
        ASSERT_TRUE(m_list.GetItemRect(index, rect, LVIR_LABEL));
        UINT flags = 0;
        EXPECT_EQ(index, m_list.HitTest(rect.CenterPoint(), &flags)) << "row " << index;
        EXPECT_NE(0u, flags & LVHT_ONITEM) << "row " << index;
    }
    CRect last;
    m_list.GetItemRect(4, last, LVIR_BOUNDS);
    EXPECT_EQ(-1, m_list.HitTest(CPoint(10, last.bottom + 40)));
}

TEST_F(ReportList, SubItemRectanglesFollowTheColumnsAndSubItemHitTestFindsThem)
{
    CRect row, nameRect, sizeRect;
    ASSERT_TRUE(m_list.GetItemRect(2, row, LVIR_BOUNDS));
    ASSERT_TRUE(m_list.GetSubItemRect(2, 0, LVIR_LABEL, nameRect));
    ASSERT_TRUE(m_list.GetSubItemRect(2, 1, LVIR_BOUNDS, sizeRect));
    EXPECT_EQ(row.left + 120, sizeRect.left) << "column 1 starts after column 0";
    EXPECT_EQ(80, sizeRect.Width());
    EXPECT_EQ(row.top, sizeRect.top);
    EXPECT_LE(nameRect.right, sizeRect.left);

    LVHITTESTINFO info = {};
    info.pt = sizeRect.CenterPoint();
    EXPECT_EQ(2, m_list.SubItemHitTest(&info));
    EXPECT_EQ(2, info.iItem);
    EXPECT_EQ(1, info.iSubItem);
}

TEST_F(ReportList, LongItemTextIsReadBackWhole)
{
    std::wstring longText(1000, L'x');
    longText += L"end";
    ASSERT_TRUE(m_list.SetItemText(1, 1, longText.c_str()));
    CString read = m_list.GetItemText(1, 1);
    EXPECT_EQ(static_cast<int>(longText.size()), read.GetLength());
    EXPECT_EQ(CString(L"end"), read.Right(3));

    wchar_t small[6];
    EXPECT_EQ(5, m_list.GetItemText(1, 1, small, 6));
    EXPECT_STREQ(L"xxxxx", small);
    EXPECT_EQ(CString(), m_list.GetItemText(99, 0));
}

TEST_F(ReportList, CheckBoxesReadBackAsSet)
{
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_NE(0u, m_list.GetExtendedStyle() & LVS_EX_CHECKBOXES);
    m_list.SetCheck(1);
    m_list.SetCheck(3, TRUE);
    m_list.SetCheck(3, FALSE);
    std::vector<int> expected = {0, 1, 0, 0, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], m_list.GetCheck(i) ? 1 : 0) << "row " << i;
}

class CountingHeader : public CHeaderCtrl {
public:
    std::vector<UINT> drawn;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override
    {
        drawn.push_back(drawItem->itemID);
        CDC::FromHandle(drawItem->hDC)->FillSolidRect(&drawItem->rcItem, kBlue);
    }
};

TEST_F(ReportList, HeaderIsWrappedByItsSubclassAndOwnerDrawnItemsReachIt)
{
    CHeaderCtrl* plain = m_list.GetHeaderCtrl();
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(2, plain->GetItemCount());

    CountingHeader header;
    ASSERT_TRUE(header.SubclassWindow(plain->GetSafeHwnd()));
    EXPECT_EQ(&header, m_list.GetHeaderCtrl());
    for (int i = 0; i < header.GetItemCount(); ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        header.GetItem(i, &item);
        item.fmt |= HDF_OWNERDRAW;
        header.SetItem(i, &item);
    }
    header.RedrawWindow();
    Pump();
    EXPECT_NE(header.drawn.end(), std::find(header.drawn.begin(), header.drawn.end(), 0u));
    EXPECT_NE(header.drawn.end(), std::find(header.drawn.begin(), header.drawn.end(), 1u));
    CRect second;
    EXPECT_TRUE(header.GetItemRect(1, second));
    EXPECT_EQ(120, second.left);
    header.UnsubclassWindow();
}

TEST_F(ReportList, EditLabelGivesTheEditControlHoldingTheItemText)
{
    m_list.SetFocus();
    CEdit* edit = m_list.EditLabel(2);
    ASSERT_NE(nullptr, edit);
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ(CString(L"echo"), text);
    EXPECT_EQ(edit, m_list.GetEditControl());
    m_list.CancelEditLabel();
    Pump();
    EXPECT_EQ(nullptr, m_list.GetEditControl());
}

TEST_F(ControlsUiTest, IconViewPlacesItemsWithImagesAndReadsThemBack)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_ICON | LVS_SHAREIMAGELISTS, CRect(0, 0, 400, 300), &m_parent, 101));
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 2));
    HICON red = MakeIcon(kRed), blue = MakeIcon(kBlue);
    images.Add(red);
    images.Add(blue);
    EXPECT_EQ(nullptr, list.SetImageList(&images, LVSIL_NORMAL));
    EXPECT_EQ(images.GetSafeHandle(), list.GetImageList(LVSIL_NORMAL)->GetSafeHandle());
    list.InsertItem(0, L"first", 1);
    list.InsertItem(1, L"second", 0);
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = 0;
    ASSERT_TRUE(list.GetItem(&item));
    EXPECT_EQ(1, item.iImage);
    CPoint where;
    ASSERT_TRUE(list.GetItemPosition(1, &where));
    CRect icon;
    ASSERT_TRUE(list.GetItemRect(1, icon, LVIR_ICON));
    EXPECT_EQ(1, list.HitTest(icon.CenterPoint()));
    list.DestroyWindow();
    ::DestroyIcon(red);
    ::DestroyIcon(blue);
}

// ---------------------------------------------------------------- tree control

class Tree : public ControlsUiTest {
protected:
    void SetUp() override
    {
        ControlsUiTest::SetUp();
        ASSERT_TRUE(m_tree.Create(WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                  CRect(0, 0, 300, 400), &m_parent, 200));
        m_root = m_tree.InsertItem(L"root");
        m_tree.SetItemData(m_root, 1);
        m_b = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, L"b", 0, 0, 0, 0, 30, m_root, TVI_LAST);
        m_c = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, L"c", 0, 0, 0, 0, 10, m_root, TVI_LAST);
        m_a = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, L"a", 0, 0, 0, 0, 20, m_root, TVI_LAST);
        m_leaf = m_tree.InsertItem(L"leaf", m_c);
    }

    CTreeCtrl m_tree;
    HTREEITEM m_root = nullptr, m_a = nullptr, m_b = nullptr, m_c = nullptr, m_leaf = nullptr;
};

TEST_F(Tree, NavigationWalksParentsChildrenAndSiblings)
{
    EXPECT_EQ(m_root, m_tree.GetRootItem());
    EXPECT_EQ(m_b, m_tree.GetChildItem(m_root));
    EXPECT_EQ(m_c, m_tree.GetNextSiblingItem(m_b));
    EXPECT_EQ(m_a, m_tree.GetNextSiblingItem(m_c));
    EXPECT_EQ(nullptr, m_tree.GetNextSiblingItem(m_a));
    EXPECT_EQ(m_c, m_tree.GetPrevSiblingItem(m_a));
    EXPECT_EQ(m_c, m_tree.GetParentItem(m_leaf));
    EXPECT_EQ(nullptr, m_tree.GetParentItem(m_root));
    EXPECT_EQ(5u, m_tree.GetCount());
    EXPECT_EQ(CString(L"leaf"), m_tree.GetItemText(m_leaf));
    EXPECT_EQ(1u, m_tree.GetItemData(m_root));
}

TEST_F(Tree, ItemHasChildrenSeesRealChildrenAndDeclaredOnes)
{
    EXPECT_TRUE(m_tree.ItemHasChildren(m_root));
    EXPECT_TRUE(m_tree.ItemHasChildren(m_c));
    EXPECT_FALSE(m_tree.ItemHasChildren(m_a));
    // A folder not listed yet declares children so that it gets an expand button.
    TVINSERTSTRUCTW insert = {};
    insert.hParent = m_root;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    insert.item.pszText = const_cast<LPWSTR>(L"lazy");
    insert.item.cChildren = 1;
    HTREEITEM lazy = m_tree.InsertItem(&insert);
    ASSERT_NE(nullptr, lazy);
    EXPECT_TRUE(m_tree.ItemHasChildren(lazy));
    EXPECT_EQ(nullptr, m_tree.GetChildItem(lazy));
    EXPECT_FALSE(m_tree.ItemHasChildren(nullptr));
}

int CALLBACK ByTreeParam(LPARAM a, LPARAM b, LPARAM descending)
{
    int order = a < b ? -1 : (a > b ? 1 : 0);
    return descending ? -order : order;
}

TEST_F(Tree, SortChildrenCbOrdersOnlyTheChildrenOfTheParent)
{
    TVSORTCB sort = {m_root, &ByTreeParam, 0};
    ASSERT_TRUE(m_tree.SortChildrenCB(&sort));
    EXPECT_EQ(m_c, m_tree.GetChildItem(m_root));
    EXPECT_EQ(m_a, m_tree.GetNextSiblingItem(m_c));
    EXPECT_EQ(m_b, m_tree.GetNextSiblingItem(m_a));

    sort.lParam = 1;
    ASSERT_TRUE(m_tree.SortChildrenCB(&sort));
    EXPECT_EQ(m_b, m_tree.GetChildItem(m_root));
    EXPECT_EQ(m_leaf, m_tree.GetChildItem(m_c));
}

TEST_F(Tree, ExpandShowsChildrenToVisibleNavigationAndHitTests)
{
    EXPECT_EQ(nullptr, m_tree.GetNextVisibleItem(m_root)) << "collapsed";
    EXPECT_FALSE(m_tree.GetItemRect(m_b, CRect(), FALSE));
    ASSERT_TRUE(m_tree.Expand(m_root, TVE_EXPAND));
    EXPECT_NE(0u, m_tree.GetItemState(m_root, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(m_b, m_tree.GetNextVisibleItem(m_root));
    EXPECT_EQ(nullptr, m_tree.GetNextVisibleItem(m_a));

    CRect text;
    ASSERT_TRUE(m_tree.GetItemRect(m_c, text, TRUE));
    UINT flags = 0;
    EXPECT_EQ(m_c, m_tree.HitTest(text.CenterPoint(), &flags));
    EXPECT_NE(0u, flags & TVHT_ONITEMLABEL);
    CRect row;
    ASSERT_TRUE(m_tree.GetItemRect(m_c, row, FALSE));
    EXPECT_LE(row.left, text.left);
    EXPECT_EQ(row.top, text.top);
}

TEST_F(Tree, SelectionAndDropHighlightAreSeparate)
{
    m_tree.Expand(m_root, TVE_EXPAND);
    ASSERT_TRUE(m_tree.SelectItem(m_a));
    ASSERT_TRUE(m_tree.SelectDropTarget(m_b));
    EXPECT_EQ(m_a, m_tree.GetSelectedItem());
    EXPECT_EQ(m_b, m_tree.GetDropHilightItem());
    m_tree.SelectDropTarget(nullptr);
    EXPECT_EQ(nullptr, m_tree.GetDropHilightItem());
    EXPECT_EQ(m_a, m_tree.GetSelectedItem());
}

TEST_F(Tree, ImagesOverlayAndTextRoundTrip)
{
    CImageList images;
    images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4);
    HICON red = MakeIcon(kRed);
    images.Add(red);
    images.Add(red);
    images.SetOverlayImage(1, 1);
    m_tree.SetImageList(&images, TVSIL_NORMAL);
    EXPECT_EQ(images.GetSafeHandle(), m_tree.GetImageList(TVSIL_NORMAL)->GetSafeHandle());

    HTREEITEM item = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE, L"locked", 0, 1,
                                       INDEXTOOVERLAYMASK(1), TVIS_OVERLAYMASK, 0, m_root, TVI_FIRST);
    int image = -1, selected = -1;
    ASSERT_TRUE(m_tree.GetItemImage(item, image, selected));
    EXPECT_EQ(0, image);
    EXPECT_EQ(1, selected);
    EXPECT_EQ(static_cast<UINT>(INDEXTOOVERLAYMASK(1)), m_tree.GetItemState(item, TVIS_OVERLAYMASK));
    m_tree.SetItemImage(item, 1, 0);
    m_tree.GetItemImage(item, image, selected);
    EXPECT_EQ(1, image);
    EXPECT_EQ(0, selected);

    std::wstring longText(700, L'y');
    m_tree.SetItemText(item, longText.c_str());
    EXPECT_EQ(700, m_tree.GetItemText(item).GetLength());
    m_tree.SetImageList(static_cast<CImageList*>(nullptr), TVSIL_NORMAL);
    ::DestroyIcon(red);
}

TEST_F(Tree, EditLabelAndDeleteAll)
{
    m_tree.Expand(m_root, TVE_EXPAND);
    m_tree.ModifyStyle(0, TVS_EDITLABELS);
    m_tree.SetFocus();
    CEdit* edit = m_tree.EditLabel(m_b);
    ASSERT_NE(nullptr, edit);
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ(CString(L"b"), text);
    EXPECT_EQ(edit, m_tree.GetEditControl());
    m_tree.EndEditLabelNow(TRUE);
    Pump();
    ASSERT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(0u, m_tree.GetCount());
    EXPECT_EQ(nullptr, m_tree.GetRootItem());
}

// ---------------------------------------------------------------- buttons, combos, edits

class CountingButton : public CButton {
public:
    int draws = 0;
    UINT lastId = 0;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override
    {
        ++draws;
        lastId = drawItem->CtlID;
        CDC::FromHandle(drawItem->hDC)->FillSolidRect(&drawItem->rcItem, kGreen);
    }
};

TEST_F(ControlsUiTest, OwnerDrawButtonDrawsThroughItsDrawItem)
{
    CountingButton button;
    ASSERT_TRUE(button.Create(L"Go", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 40), &m_parent, 301));
    EXPECT_EQ(static_cast<UINT>(BS_OWNERDRAW), button.GetButtonStyle());
    button.RedrawWindow();
    Pump();
    EXPECT_GT(button.draws, 0);
    EXPECT_EQ(301u, button.lastId);

    CButton check;
    ASSERT_TRUE(check.Create(L"Check", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 50, 90, 70), &m_parent, 302));
    check.Click();
    EXPECT_EQ(BST_CHECKED, check.GetCheck());
    EXPECT_NE(m_parent.commands.end(), std::find(m_parent.commands.begin(), m_parent.commands.end(), 302u)) ;
}

TEST_F(ControlsUiTest, ComboBoxKeepsDataWithItsStringsAndFindsThemExactly)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 10, 200, 200), &m_parent, 400));
    struct Row { const wchar_t* text; DWORD_PTR data; } rows[] = {{L"one", 11}, {L"two", 22}, {L"twofold", 33}};
    for (const Row& row : rows)
        combo.SetItemData(combo.AddString(row.text), row.data);
    combo.InsertString(0, L"zero");
    EXPECT_EQ(4, combo.GetCount());

    for (const Row& row : rows) {
        int index = combo.FindStringExact(-1, row.text);
        ASSERT_NE(CB_ERR, index) << row.text;
        EXPECT_EQ(row.data, combo.GetItemData(index)) << row.text;
        CString text;
        combo.GetLBText(index, text);
        EXPECT_EQ(CString(row.text), text);
    }
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, L"tw"));
    EXPECT_EQ(combo.FindStringExact(-1, L"two"), combo.FindString(-1, L"tw"));

    CString missing(L"stale");
    combo.GetLBText(10, missing);
    EXPECT_TRUE(missing.IsEmpty());

    EXPECT_EQ(3, combo.DeleteString(0));
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, L"zero"));
    combo.ResetContent();
    EXPECT_EQ(0, combo.GetCount());
    EXPECT_EQ(CB_ERR, combo.GetCurSel());
}

TEST_F(ControlsUiTest, EditGetLineReturnsEachLineWhole)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, CRect(0, 0, 600, 200), &m_parent, 500));
    edit.SetWindowText(L"first\r\nsecond line\r\n\r\nlast");
    ASSERT_EQ(4, edit.GetLineCount());
    const wchar_t* expected[] = {L"first", L"second line", L"", L"last"};
    for (int line = 0; line < 4; ++line) {
        CString text(L"stale");
        edit.GetLine(line, text);
        EXPECT_EQ(CString(expected[line]), text) << "line " << line;
    }
    CString beyond(L"stale");
    EXPECT_EQ(0, edit.GetLine(9, beyond));
    EXPECT_TRUE(beyond.IsEmpty());

    wchar_t buffer[4] = {};
    EXPECT_EQ(3, edit.GetLine(1, buffer, 3));
    EXPECT_EQ(std::wstring(L"sec"), std::wstring(buffer, 3));
}

// ---------------------------------------------------------------- date and time

TEST_F(ControlsUiTest, DateTimeRoundTripsCTimeAndCOleDateTime)
{
    CDateTimeCtrl picker;
    ASSERT_TRUE(picker.Create(WS_VISIBLE | DTS_SHORTDATEFORMAT, CRect(0, 0, 200, 24), &m_parent, 600));

    CTime when(2024, 2, 29, 13, 45, 7);
    ASSERT_TRUE(picker.SetTime(when));
    CTime read;
    EXPECT_EQ(static_cast<DWORD>(GDT_VALID), picker.GetTime(read));
    EXPECT_EQ(when, read);

    COleDateTime ole(1999, 12, 31, 23, 59, 58);
    ASSERT_TRUE(picker.SetTime(ole));
    COleDateTime oleRead;
    EXPECT_TRUE(picker.GetTime(oleRead));
    EXPECT_EQ(COleDateTime::valid, oleRead.GetStatus());
    EXPECT_EQ(ole, oleRead);
    SYSTEMTIME raw = {};
    picker.GetTime(&raw);
    EXPECT_EQ(1999, raw.wYear);
    EXPECT_EQ(58, raw.wSecond);

    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_FALSE(picker.SetTime(invalid));
    picker.GetTime(oleRead);
    EXPECT_EQ(ole, oleRead) << "a refused value leaves the picker as it was";
}

TEST_F(ControlsUiTest, DateTimeWithNoneMapsUncheckedToANullValue)
{
    CDateTimeCtrl picker;
    ASSERT_TRUE(picker.Create(WS_VISIBLE | DTS_SHOWNONE, CRect(0, 0, 200, 24), &m_parent, 601));
    COleDateTime none;
    none.SetStatus(COleDateTime::null);
    ASSERT_TRUE(picker.SetTime(none));
    COleDateTime read(2000, 1, 1, 0, 0, 0);
    EXPECT_FALSE(picker.GetTime(read));
    EXPECT_EQ(COleDateTime::null, read.GetStatus());
    CTime untouched(2001, 1, 1, 0, 0, 0);
    CTime copy = untouched;
    EXPECT_EQ(static_cast<DWORD>(GDT_NONE), picker.GetTime(copy));
    EXPECT_EQ(untouched, copy);

    ASSERT_TRUE(picker.SetTime(COleDateTime(2020, 5, 6, 7, 8, 9)));
    EXPECT_TRUE(picker.GetTime(read));
    EXPECT_EQ(COleDateTime(2020, 5, 6, 7, 8, 9), read);
}

TEST_F(ControlsUiTest, DateTimeRangeKeepsUnsetBoundsNull)
{
    CDateTimeCtrl picker;
    ASSERT_TRUE(picker.Create(WS_VISIBLE, CRect(0, 0, 200, 24), &m_parent, 602));
    COleDateTime low(2010, 1, 1, 0, 0, 0);
    ASSERT_TRUE(picker.SetRange(&low, nullptr));
    COleDateTime readLow, readHigh;
    DWORD flags = picker.GetRange(&readLow, &readHigh);
    EXPECT_EQ(static_cast<DWORD>(GDTR_MIN), flags & (GDTR_MIN | GDTR_MAX));
    EXPECT_EQ(2010, readLow.GetYear());
    EXPECT_EQ(COleDateTime::null, readHigh.GetStatus());
}

// ---------------------------------------------------------------- tooltips

TEST_F(ControlsUiTest, ToolTipToolsAreAddedUpdatedAndRemovedByWindow)
{
    CButton target;
    ASSERT_TRUE(target.Create(L"Tip", WS_VISIBLE, CRect(10, 10, 90, 40), &m_parent, 700));
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&m_parent));
    ASSERT_TRUE(tips.AddTool(&target, L"First text"));
    ASSERT_TRUE(tips.AddTool(&m_parent, L"Area", CRect(100, 100, 150, 150), 5));
    EXPECT_EQ(2, tips.GetToolCount());
    CString text;
    tips.GetText(text, &target);
    EXPECT_EQ(CString(L"First text"), text);
    tips.UpdateTipText(L"Second", &target);
    tips.GetText(text, &target);
    EXPECT_EQ(CString(L"Second"), text);
    tips.GetText(text, &m_parent, 5);
    EXPECT_EQ(CString(L"Area"), text);
    tips.DelTool(&target);
    EXPECT_EQ(1, tips.GetToolCount());
    tips.DestroyWindow();
}

// ---------------------------------------------------------------- painting

class PaintedWindow : public CWnd {
public:
    int paints = 0;
    CRect painted;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
        painted = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, kRed);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintedWindow, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(ControlsUiTest, PaintDcPaintsTheInvalidAreaAndValidatesIt)
{
    PaintedWindow window;
    ASSERT_TRUE(window.Create(nullptr, L"", WS_VISIBLE, CRect(300, 300, 340, 340), &m_parent, 800));
    window.UpdateWindow();
    int paints = window.paints;
    window.InvalidateRect(CRect(5, 6, 10, 12), FALSE);
    window.UpdateWindow();
    EXPECT_EQ(paints + 1, window.paints);
    EXPECT_EQ(CRect(5, 6, 10, 12), window.painted);
    CRect left;
    EXPECT_FALSE(window.GetUpdateRect(left)) << "EndPaint did not validate";
    window.UpdateWindow();
    EXPECT_EQ(paints + 1, window.paints);
}

// ---------------------------------------------------------------- image lists

TEST_F(ControlsUiTest, DragImageExistsFromBeginDragToEndDrag)
{
    CImageList images;
    images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    HICON red = MakeIcon(kRed);
    images.Add(red);
    ::DestroyIcon(red);

    ASSERT_TRUE(images.BeginDrag(0, CPoint(3, 4)));
    ASSERT_TRUE(CImageList::DragEnter(&m_parent, CPoint(20, 20)));
    ASSERT_TRUE(CImageList::DragMove(CPoint(30, 40)));
    POINT where = {}, hotSpot = {};
    CImageList* drag = CImageList::GetDragImage(&where, &hotSpot);
    ASSERT_NE(nullptr, drag);
    EXPECT_EQ(1, drag->GetImageCount());
    EXPECT_EQ(CPoint(30, 40), CPoint(where));
    EXPECT_EQ(CPoint(3, 4), CPoint(hotSpot));
    EXPECT_TRUE(CImageList::DragShowNolock(FALSE));
    EXPECT_TRUE(CImageList::DragLeave(&m_parent));
    CImageList::EndDrag();
    EXPECT_EQ(nullptr, CImageList::GetDragImage(&where, &hotSpot));
}

TEST(ImageListUiTest, AddedReplacedAndMaskedImagesDrawTheirPixels)
{
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 2));
    HICON red = MakeIcon(kRed), blue = MakeIcon(kBlue), halfGreen = MakeIcon(kGreen, 8);
    EXPECT_EQ(0, images.Add(red));
    EXPECT_EQ(1, images.Add(halfGreen));

    // A bitmap whose magenta right half is the mask colour.
    CBitmap bitmap;
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(nullptr, 16, 16);
        HGDIOBJ old = dc.SelectObject(bitmap.GetSafeHandle());
        dc.FillSolidRect(0, 0, 16, 16, kMagenta);
        dc.FillSolidRect(0, 0, 8, 16, kBlue);
        dc.SelectObject(old);
    }
    EXPECT_EQ(2, images.Add(&bitmap, kMagenta));
    EXPECT_EQ(3, images.GetImageCount());

    struct Row { int image; COLORREF left, right; const char* what; } rows[] = {
        {0, kRed, kRed, "opaque icon"},
        {1, kGreen, kWhite, "half-masked icon"},
        {2, kBlue, kWhite, "bitmap with mask colour"},
    };
    for (const Row& row : rows) {
        Canvas canvas(16, 16);
        ASSERT_TRUE(images.Draw(canvas.dc(), row.image, CPoint(0, 0), ILD_TRANSPARENT)) << row.what;
        EXPECT_EQ(row.left, canvas.At(2, 8)) << row.what;
        EXPECT_EQ(row.right, canvas.At(13, 8)) << row.what;
    }

    EXPECT_EQ(0, images.Replace(0, blue));
    Canvas replaced(16, 16);
    images.Draw(replaced.dc(), 0, CPoint(0, 0), ILD_NORMAL);
    EXPECT_EQ(kBlue, replaced.At(8, 8));

    // Overlay 1 is the half-green icon: drawn over image 0 its left half shows.
    ASSERT_TRUE(images.SetOverlayImage(1, 1));
    Canvas overlaid(16, 16);
    images.Draw(overlaid.dc(), 0, CPoint(0, 0), ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));
    EXPECT_EQ(kGreen, overlaid.At(2, 8));
    EXPECT_EQ(kBlue, overlaid.At(13, 8));

    ASSERT_TRUE(images.Remove(1));
    EXPECT_EQ(2, images.GetImageCount());
    ASSERT_TRUE(images.SetImageCount(5));
    EXPECT_EQ(5, images.GetImageCount());
    IMAGEINFO info = {};
    ASSERT_TRUE(images.GetImageInfo(0, &info));
    EXPECT_EQ(16, info.rcImage.right - info.rcImage.left);

    HICON extracted = images.ExtractIcon(0);
    ASSERT_NE(nullptr, extracted);
    Canvas fromIcon(16, 16);
    fromIcon.dc()->DrawIconEx(0, 0, extracted, 16, 16);
    EXPECT_EQ(kBlue, fromIcon.At(8, 8));
    ::DestroyIcon(extracted);
    for (HICON icon : {red, blue, halfGreen})
        ::DestroyIcon(icon);
}

TEST(ImageListUiTest, DetachedListsSurviveTheirWrapperAndCopiesAreIndependent)
{
    HIMAGELIST handle;
    {
        CImageList owned;
        owned.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
        HICON red = MakeIcon(kRed);
        owned.Add(red);
        ::DestroyIcon(red);

        CImageList copy;
        ASSERT_TRUE(copy.Create(&owned));
        copy.SetImageCount(3);
        EXPECT_EQ(1, owned.GetImageCount());
        EXPECT_EQ(3, copy.GetImageCount());
        handle = owned.Detach();
        EXPECT_EQ(nullptr, owned.GetSafeHandle());
    }
    EXPECT_EQ(1, ImageList_GetImageCount(handle)) << "the detached list was destroyed";

    CImageList again;
    ASSERT_TRUE(again.Attach(handle));
    EXPECT_FALSE(again.Attach(handle)) << "a wrapper holds one list";
    EXPECT_NE(&again, CImageList::FromHandle(handle)) << "FromHandle makes its own temporary";
    EXPECT_EQ(handle, CImageList::FromHandle(handle)->GetSafeHandle());
}

// ---------------------------------------------------------------- resources

TEST(ResourceLoadTest, MenusBitmapsAndImageStripsComeFromRegisteredModules)
{
    HMODULE library = ::LoadLibraryW(L"ControlsTestLibrary.dll");
    ASSERT_NE(nullptr, library);
    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(IDR_CONTROLS_TEST_MENU)) << "the program has no such menu";
    AfxRegisterResourceModule(library);

    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTROLS_TEST_MENU));
    ASSERT_NE(nullptr, menu.GetSubMenu(0));
    EXPECT_EQ(static_cast<UINT>(ID_CONTROLS_TEST_OPEN), menu.GetSubMenu(0)->GetMenuItemID(0));

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_CONTROLS_TEST_STRIP));
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    EXPECT_EQ(32, info.bmWidth);
    EXPECT_EQ(16, info.bmHeight);

    CImageList strip;
    ASSERT_TRUE(strip.Create(IDB_CONTROLS_TEST_STRIP, 16, 1, kMagenta));
    EXPECT_EQ(2, strip.GetImageCount());
    Canvas canvas(16, 16);
    strip.Draw(canvas.dc(), 1, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(kBlue, canvas.At(2, 8));
    EXPECT_EQ(kWhite, canvas.At(13, 8)) << "the mask colour is transparent";

    AfxUnregisterResourceModule(library);
    menu.DestroyMenu();
    strip.DeleteImageList();
    bitmap.DeleteObject();
    ::FreeLibrary(library);
}

// ---------------------------------------------------------------- menus

// Records the owner-draw calls that reach it.
class RecordingMenu : public CMenu {
public:
    std::vector<ULONG_PTR> measured;
    std::vector<UINT> drawn;
    HMENU drawnMenu = nullptr;

    void MeasureItem(LPMEASUREITEMSTRUCT measure) override
    {
        measured.push_back(measure->itemData);
        measure->itemWidth = 120;
        measure->itemHeight = measure->itemData ? 20 : 6;
    }
    void DrawItem(LPDRAWITEMSTRUCT draw) override
    {
        drawn.push_back(draw->itemID);
        drawnMenu = reinterpret_cast<HMENU>(draw->hwndItem);
        CDC::FromHandle(draw->hDC)->FillSolidRect(&draw->rcItem, kWhite);
    }
};

// Keys for the pop-up menu, pressed from a timer once the menu loop runs.
std::vector<UINT>& PendingKeys()
{
    static std::vector<UINT> keys;
    return keys;
}

void CALLBACK PressPendingKeys(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
    if (menuWindow == nullptr)
        return;
    ::KillTimer(nullptr, id);
    for (UINT key : PendingKeys()) {
        ::PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
        ::PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000000);
    }
    PendingKeys().clear();
}

void PressWhenMenuShows(std::vector<UINT> keys)
{
    PendingKeys() = std::move(keys);
    ::SetTimer(nullptr, 0, 50, &PressPendingKeys);
}

TEST_F(ControlsUiTest, TrackPopupMenuReturnsTheChosenCommand)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 11, L"First");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, 12, L"Second");
    menu.AppendMenu(MF_STRING | MF_GRAYED, 13, L"Third");
    EXPECT_EQ(4, menu.GetMenuItemCount());
    EXPECT_EQ(12u, menu.GetMenuItemID(2));

    PressWhenMenuShows({VK_DOWN, VK_DOWN, VK_RETURN});
    BOOL chosen = menu.TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN, 50, 50, &m_parent);
    EXPECT_EQ(12, chosen) << "down twice skips the separator";
    Pump();
    EXPECT_TRUE(m_parent.commands.empty()) << "TPM_RETURNCMD sends no WM_COMMAND";

    PressWhenMenuShows({VK_ESCAPE});
    EXPECT_EQ(0, menu.TrackPopupMenu(TPM_RETURNCMD, 50, 50, &m_parent)) << "dismissed";
}

TEST_F(ControlsUiTest, TrackPopupMenuWithoutReturnCmdSendsTheCommandToTheOwner)
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 21, L"Only");
    PressWhenMenuShows({VK_DOWN, VK_RETURN});
    EXPECT_TRUE(menu.TrackPopupMenu(TPM_LEFTALIGN, 50, 50, &m_parent));
    Pump();
    ASSERT_EQ(1u, m_parent.commands.size());
    EXPECT_EQ(21u, m_parent.commands[0]);
}

TEST_F(ControlsUiTest, OwnerDrawnMenuItemsAreMeasuredAndDrawnByTheirMenuObject)
{
    static const wchar_t kOpen[] = L"Open\tCtrl+O";
    static const wchar_t kQuit[] = L"Quit";
    RecordingMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_OWNERDRAW, 31, reinterpret_cast<LPCWSTR>(kOpen));
    menu.AppendMenu(MF_OWNERDRAW | MF_SEPARATOR, 0, nullptr);
    menu.AppendMenu(MF_OWNERDRAW, 32, reinterpret_cast<LPCWSTR>(kQuit));

    // Other menus with an identical separator: only the shown one may measure it.
    RecordingMenu others[10];
    for (RecordingMenu& other : others) {
        other.CreatePopupMenu();
        other.AppendMenu(MF_OWNERDRAW | MF_SEPARATOR, 0, nullptr);
    }

    PressWhenMenuShows({VK_ESCAPE});
    menu.TrackPopupMenu(TPM_RETURNCMD, 60, 60, &m_parent);

    auto measuredData = [&](ULONG_PTR data) {
        return std::find(menu.measured.begin(), menu.measured.end(), data) != menu.measured.end();
    };
    EXPECT_TRUE(measuredData(reinterpret_cast<ULONG_PTR>(kOpen)));
    EXPECT_TRUE(measuredData(reinterpret_cast<ULONG_PTR>(kQuit)));
    EXPECT_TRUE(measuredData(0)) << "the separator is measured by the shown menu";
    for (RecordingMenu& other : others) {
        EXPECT_TRUE(other.measured.empty()) << "another menu's identical separator took the call";
        EXPECT_TRUE(other.drawn.empty());
    }
    EXPECT_NE(menu.drawn.end(), std::find(menu.drawn.begin(), menu.drawn.end(), 31u));
    EXPECT_NE(menu.drawn.end(), std::find(menu.drawn.begin(), menu.drawn.end(), 32u));
    EXPECT_EQ(menu.GetSafeHmenu(), menu.drawnMenu);
}

TEST(MenuRoutingTest, RouteOwnerDrawPicksTheMenuHoldingTheItem)
{
    static const wchar_t kA[] = L"a";
    static const wchar_t kB[] = L"b";
    RecordingMenu first, second;
    first.CreatePopupMenu();
    second.CreatePopupMenu();
    first.AppendMenu(MF_OWNERDRAW, 7, reinterpret_cast<LPCWSTR>(kA));
    second.AppendMenu(MF_OWNERDRAW, 7, reinterpret_cast<LPCWSTR>(kB));
    second.AppendMenu(MF_STRING, 8, L"plain");

    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, 7, 0, 0, reinterpret_cast<ULONG_PTR>(kB)};
    EXPECT_TRUE(CMenu::RouteOwnerDraw(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_TRUE(first.measured.empty());
    ASSERT_EQ(1u, second.measured.size());
    EXPECT_EQ(120u, measure.itemWidth);

    MEASUREITEMSTRUCT plain = {ODT_MENU, 0, 8, 0, 0, 0};
    EXPECT_FALSE(CMenu::RouteOwnerDraw(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&plain))) << "not owner-drawn";
    MEASUREITEMSTRUCT button = {ODT_BUTTON, 5, 7, 0, 0, reinterpret_cast<ULONG_PTR>(kA)};
    EXPECT_FALSE(CMenu::RouteOwnerDraw(WM_MEASUREITEM, 5, reinterpret_cast<LPARAM>(&button)));

    Canvas canvas(10, 10);
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, 7, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(first.GetSafeHmenu()),
                           canvas.dc()->GetSafeHdc(), {0, 0, 10, 10}, reinterpret_cast<ULONG_PTR>(kA)};
    EXPECT_TRUE(CMenu::RouteOwnerDraw(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(std::vector<UINT>{7u}, first.drawn);

    CMenu plainMenu;
    plainMenu.CreatePopupMenu();
    HMENU detached = plainMenu.Detach();
    draw.hwndItem = reinterpret_cast<HWND>(detached);
    EXPECT_FALSE(CMenu::RouteOwnerDraw(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw))) << "no object holds it";
    ::DestroyMenu(detached);
}

TEST(MenuRoutingTest, FromHandleFindsTheHoldingObjectUntilItLetsGo)
{
    CMenu bar;
    bar.CreateMenu();
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 1, L"Item");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.GetSafeHmenu()), L"File");

    EXPECT_EQ(&bar, CMenu::FromHandle(bar.GetSafeHmenu()));
    EXPECT_EQ(&popup, bar.GetSubMenu(0)) << "the sub-menu's own object";
    EXPECT_EQ(nullptr, bar.GetSubMenu(5));

    HMENU handle = popup.Detach();
    CMenu* temporary = CMenu::FromHandle(handle);
    ASSERT_NE(nullptr, temporary);
    EXPECT_NE(&popup, temporary);
    EXPECT_EQ(handle, temporary->GetSafeHmenu());
    CString text;
    EXPECT_EQ(4, temporary->GetMenuString(1, text, MF_BYCOMMAND));
    EXPECT_EQ(CString(L"Item"), text);
    CMenu::DeleteTempMap();
    EXPECT_TRUE(::IsMenu(handle)) << "a temporary destroyed the menu";
    // The bar destroys its sub-menus with itself.
}

} // namespace
