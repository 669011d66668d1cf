// The owner-drawn list and its header on a real dialog: row heights, colours, the search list's
// check boxes, the search-content highlighting, the version list's buttons and the header.
#include "ListTestDialog.h"
#include "ListTestRes.h"
#include "ToviString.h"
#include "PixelCapture.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <cwchar>
#include <memory>
#include <vector>

namespace {

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int CountNear(const uitest::Pixels& pixels, COLORREF colour, const RECT& area, int tolerance)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (Near(pixels.At(x, y), colour, tolerance))
                ++count;
    return count;
}

void PostClick(HWND hwnd, POINT pt, WPARAM keys = 0)
{
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(pt.x, pt.y));
    ::PostMessageW(hwnd, WM_LBUTTONUP, keys, MAKELPARAM(pt.x, pt.y));
}

class ToviList : public ListDialogTest {
protected:
    // Columns of the given widths, and the header skinned.
    void Columns(std::vector<int> widths)
    {
        ui.Run([&] {
            for (size_t i = 0; i < widths.size(); ++i) {
                wchar_t name[16];
                std::swprintf(name, 16, L"Col %d", (int)i);
                dlg->m_list.InsertColumn((int)i, name, LVCFMT_LEFT, widths[i]);
            }
            ASSERT_TRUE(dlg->m_header.Init(dlg->m_list.GetHeaderCtrl()));
        });
    }
    void Row(int index, const wchar_t* text, void* record)
    {
        ui.Run([&] {
            dlg->m_list.InsertItem(index, text);
            dlg->m_list.SetItemData(index, (DWORD_PTR)record);
        });
    }
    void Paint()
    {
        ui.Run([&] {
            dlg->m_list.Invalidate(FALSE);
            dlg->m_list.UpdateWindow();
        });
    }
    HWND List() const { return dlg->m_list.m_hWnd; }
    CRect ItemRect(int row, UINT code = LVIR_BOUNDS)
    {
        CRect rc;
        ui.Run([&] { dlg->m_list.GetItemRect(row, &rc, code); });
        return rc;
    }
};

int FontHeight(HWND hwnd)
{
    LOGFONTW lf = {};
    ::GetObjectW((HFONT)::SendMessageW(hwnd, WM_GETFONT, 0, 0), sizeof lf, &lf);
    return std::abs((int)lf.lfHeight);
}

TEST_F(ToviList, RowsAreAsHighAsTheFontPlusTheTypesMargin)
{
    for (int type : { 0, 1, 3, 2 }) {
        Open(type, -1);
        ASSERT_FALSE(HasFatalFailure());
        Columns({ 120 });
        Row(0, L"first", nullptr);
        const int h = FontHeight(List());
        ASSERT_GT(h, 0);
        int expected = h + 10;
        if (type == 1)
            expected = h + 13;
        if (type == 2) {
            ui.Run([&] {
                HDC dc = ::GetDC(List());
                SIZE small = {}, bold = {};
                HGDIOBJ old = ::SelectObject(dc, dlg->m_list.m_fontSmall);
                ::GetTextExtentPoint32W(dc, L"abcd", 4, &small);
                ::SelectObject(dc, dlg->m_list.m_fontBold);
                ::GetTextExtentPoint32W(dc, L"abcd", 4, &bold);
                ::SelectObject(dc, old);
                ::ReleaseDC(List(), dc);
                expected = small.cy + 25 + bold.cy + 2;
            });
        }
        EXPECT_EQ(ItemRect(0).Height(), expected) << "type " << type;
        ui.Run([&] {
            dlg->DestroyWindow();
            dlg.reset();
        });
    }
}

TEST_F(ToviList, RowColoursFollowSelectionFocusAndHover)
{
    Open(CToviListCtrl::kTypeDefault, -1);
    ASSERT_FALSE(HasFatalFailure());
    Columns({ 150, 100 });
    Row(0, L"report.doc", nullptr);
    Row(1, L"budget.xls", nullptr);
    const DWORD* colours[6] = {};
    ui.Run([&] {
        CToviListCtrl& list = dlg->m_list;
        list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        ::SetFocus(dlg->m_edit.m_hWnd);
        colours[0] = list.RowColours(0);   // selected, not focused, no LVS_SHOWSELALWAYS
        list.ModifyStyle(0, LVS_SHOWSELALWAYS);
        colours[1] = list.RowColours(0);
        list.SetFocus();
        colours[2] = list.RowColours(0);
        list.m_bHoverTracking = true;
        list.m_nHoverItem = 0;
        ::SetFocus(dlg->m_edit.m_hWnd);
        colours[3] = list.RowColours(0);   // hovered and selected, unfocused
        list.m_nHoverItem = 1;
        colours[4] = list.RowColours(1);
        list.SetItemState(1, LVIS_DROPHILITED, LVIS_DROPHILITED);
        list.m_bHoverTracking = false;
        colours[5] = list.RowColours(1);
    });
    EXPECT_EQ(colours[0], nullptr);
    EXPECT_EQ(colours[1], dlg->m_list.m_clrInactive);
    EXPECT_EQ(colours[2], dlg->m_list.m_clrSelected);
    EXPECT_EQ(colours[3], dlg->m_list.m_clrSelected);
    EXPECT_EQ(colours[4], dlg->m_list.m_clrHover);
    EXPECT_EQ(colours[5], dlg->m_list.m_clrSelected);
}

TEST_F(ToviList, AFocusedSelectedRowIsPaintedWithTheSelectionGradient)
{
    Open(CToviListCtrl::kTypeDefault, -1);
    ASSERT_FALSE(HasFatalFailure());
    Columns({ 150, 100 });
    Row(0, L"report.doc", nullptr);
    Row(1, L"budget.xls", nullptr);
    ui.Run([&] {
        dlg->m_list.SetFocus();
        dlg->m_list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    });
    Paint();
    const uitest::Pixels pixels = uitest::CaptureWindow(List(), 300);
    const CRect row0 = ItemRect(0), row1 = ItemRect(1);
    CRect client;
    ::GetClientRect(List(), &client);
    // The middle of the selected row lies between the gradient's top and bottom colours.
    const COLORREF mid = pixels.At(row1.right - 10, row1.CenterPoint().y);
    EXPECT_TRUE(Near(mid, RGB(0xDD, 0xEC, 0xFE), 12)) << std::hex << mid;
    EXPECT_EQ(pixels.At(row0.right - 10, row0.CenterPoint().y), RGB(255, 255, 255));
}

TEST_F(ToviList, SearchListCheckBoxTogglesOnlyTheRowUnderTheClick)
{
    Open(CToviListCtrl::kTypeSearch, -1);
    ASSERT_FALSE(HasFatalFailure());
    Columns({ 200, 120 });
    ui.Run([&] {
        // Room left of the icon for the check box, as the search pane keeps it; the list owns it.
        dlg->m_list.SetImageList(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1), LVSIL_STATE);
        dlg->m_list.ModifyStyle(0, LVS_SHOWSELALWAYS);
    });
    std::vector<_PROTO_SEARCH_INFO> records(3);
    for (auto& r : records)
        std::memset(&r, 0, sizeof r);
    std::strcpy(records[0].ItemType, "F");
    std::strcpy(records[1].ItemType, "F");
    std::strcpy(records[2].ItemType, "D");
    std::wcscpy(records[0].Attr219, L"report.doc");
    std::wcscpy(records[1].Attr219, L"budget.xls");
    std::wcscpy(records[2].Attr219, L"Projects");
    for (int i = 0; i < 3; ++i)
        Row(i, records[i].Attr219, &records[i]);
    Paint();

    const CRect icon1 = ItemRect(1, LVIR_ICON), row1 = ItemRect(1);
    ASSERT_GE(icon1.left, 16);
    // The painted box plus 3 pixels on every side.
    EXPECT_EQ(CRect(records[1].CheckRect), CRect(icon1.left - 19, row1.top + 2, icon1.left, row1.top + 21));
    EXPECT_TRUE(::IsRectEmpty(&records[2].CheckRect)) << "a folder shows no box";

    // Row 0 stays selected while row 1 is ctrl-clicked inside the margin of its box.
    ui.Run([&] { dlg->m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED); });
    PostClick(List(), CPoint(records[1].CheckRect.left + 1, records[1].CheckRect.top + 1), MK_CONTROL);
    EXPECT_TRUE(uitest::WaitUntil([&] { return records[1].CheckState == 2; }, 3000));
    EXPECT_EQ(records[0].CheckState, 0u);

    // Clicking the box again clears it.
    Paint();
    PostClick(List(), CRect(records[1].CheckRect).CenterPoint());
    EXPECT_TRUE(uitest::WaitUntil([&] { return records[1].CheckState == 0; }, 3000));

    // Where a folder's box would be, nothing happens; outside the margin neither.
    PostClick(List(), CPoint(icon1.left - 10, ItemRect(2).top + 10));
    PostClick(List(), CPoint(icon1.left + 30, row1.top + 10));
    EXPECT_TRUE(uitest::WaitUntil([&] { return records[1].CheckState == 0; }, 3000));
    ui.Run([] {});
    EXPECT_EQ(records[2].CheckState, 0u);
}

TEST_F(ToviList, CheckBoxesDrawAFrameAndAMarkByState)
{
    const RECT box = { 2, 2, 15, 20 };
    for (int state : { 0, 1, 2 }) {
        const uitest::Pixels pixels = uitest::RenderPainter(20, 24, [&](HDC dc) {
            CToviListCtrl::DrawCheckBox(dc, box, state);
        }, RGB(255, 0, 255));
        const int top = 2 + (18 - 13) / 2;
        EXPECT_EQ(pixels.At(2, top), RGB(0x33, 0x66, 0x99)) << "state " << state;
        const COLORREF mark = state == 2 ? RGB(0x51, 0x82, 0xBD) : RGB(0x99, 0x99, 0x99);
        EXPECT_EQ(pixels.Count(mark, CRect(3, top + 1, 14, top + 12)) > 0, state > 0) << "state " << state;
    }
    const uitest::Pixels empty = uitest::RenderPainter(20, 24, [&](HDC dc) {
        CToviListCtrl::DrawCheckBox(dc, CRect(), 2);
    }, RGB(255, 0, 255));
    EXPECT_EQ(empty.Count(RGB(255, 0, 255), CRect(0, 0, 20, 24)), 20 * 24);
}

// ---- Search-content highlighting

TEST(SearchHighlights, WordsAreFoundCaseBlindWholeKeywordFirst)
{
    using Hits = std::vector<std::pair<size_t, size_t>>;
    const struct { const wchar_t* excerpt; const wchar_t* keyword; Hits expected; } rows[] = {
        { L"Annual Report 2024", L"report", { { 7, 6 } } },
        { L"report and REPORT", L"Report", { { 0, 6 }, { 11, 6 } } },
        { L"annual report", L"annual report", { { 0, 13 } } },                   // the whole keyword
        { L"report of the annual meeting", L"annual report", { { 0, 6 }, { 14, 6 } } },   // each word
        { L"aaaa", L"aa", { { 0, 2 }, { 2, 2 } } },                               // matches do not overlap
        { L"budget", L"", {} },
        { L"budget", L"   ", {} },
        { L"a b", L"  a   b  ", { { 0, 1 }, { 2, 1 } } },                         // empty words skipped
        { L"short", L"a much longer keyword", {} },
        { L"", L"report", {} },
        { L"\xBCF4\xACE0\xC11C \xCD5C\xC885", L"\xCD5C\xC885", { { 4, 2 } } },
    };
    for (const auto& row : rows) {
        const Hits hits = CToviListCtrl::FindHighlights(row.excerpt, row.keyword);
        EXPECT_EQ(hits, row.expected) << "excerpt of " << std::wcslen(row.excerpt) << " characters, keyword of "
                                      << std::wcslen(row.keyword);
    }
}

class SearchContentList : public ToviList {
protected:
    void Fill(const wchar_t* excerpt)
    {
        Open(CToviListCtrl::kTypeSearchContent, -1);
        ASSERT_FALSE(HasFatalFailure());
        Columns({ 200, 120 });
        std::memset(&record, 0, sizeof record);
        std::wcscpy(record.Attr197, L"/Projects/2024");
        std::wcscpy(record.Attr219, excerpt);
        Row(0, L"report.doc", &record);
    }
    _PROTO_SEARCH_INFO record;
};

TEST_F(SearchContentList, AwkwardKeywordsStillFinishPainting)
{
    Fill(L"aaaa report  aaaa");
    for (const wchar_t* keyword : { L"", L" ", L"   ", L"a  a", L" report ", L"aa", L"zzzz yyyy" }) {
        dlg->m_list.m_strKeyword = keyword;
        EXPECT_TRUE(ui.Run([&] {
            dlg->m_list.Invalidate(FALSE);
            dlg->m_list.UpdateWindow();
        }, 3000)) << "keyword of " << std::wcslen(keyword) << " characters";
    }
}

TEST_F(SearchContentList, TheKeywordIsDrawnInTheHighlightColourAndTheFirstColumnWidens)
{
    Fill(L"The quarterly report lists every expense of the whole year in detail");
    const CRect row = ItemRect(0);
    dlg->m_list.m_strKeyword = L"nothing-here";
    Paint();
    uitest::Pixels plain = uitest::CaptureWindow(List(), 300);
    dlg->m_list.m_strKeyword = L"REPORT";
    Paint();
    uitest::Pixels lit = uitest::CaptureWindow(List(), 300);
    const COLORREF highlight = RGB(0xAF, 0x47, 0x1B);
    EXPECT_EQ(CountNear(plain, highlight, row, 30), 0);
    EXPECT_GT(CountNear(lit, highlight, row, 30), 5);
    // The excerpt is wider than the first column was: the column grew to hold it.
    int width = 0;
    ui.Run([&] { width = dlg->m_list.GetColumnWidth(0); });
    EXPECT_GT(width, 200);
    EXPECT_EQ(width, dlg->m_list.m_nMaxWidth);
}

// ---- Version list buttons

TEST(VersionButtonIds, StayAboveTemplateIdsForAnyRow)
{
    for (int row : { 0, 1, 100, 8191, 8192, 15000, 16383, 40000, 1000000 }) {
        const UINT first = CToviListCtrl::ButtonId(row, 0);
        const UINT second = CToviListCtrl::ButtonId(row, 1);
        EXPECT_GE(first, 16383u) << "row " << row;
        EXPECT_LE(second, 32766u) << "row " << row;
        EXPECT_EQ(second, first + 1) << "row " << row;
    }
    EXPECT_EQ(CToviListCtrl::ButtonId(0, 0), 32765u);
    EXPECT_EQ(CToviListCtrl::ButtonId(3, 1), 32760u);
}

class VersionList : public ToviList {
protected:
    void Fill(int rows)
    {
        Open(CToviListCtrl::kTypeVersion, -1);
        ASSERT_FALSE(HasFatalFailure());
        Columns({ 60, 90, 60, 60, 130 });
        std::memset(&blank, 0, sizeof blank);
        for (auto& r : records)
            std::memset(&r, 0, sizeof r);
        ASSERT_TRUE(ui.Run([&] {
            CToviListCtrl& list = dlg->m_list;
            list.SetRedraw(FALSE);
            list.SetItemCount(rows);
            list.m_bNoDraw = true;
            for (int i = 0; i < rows; ++i) {
                list.InsertItem(i, L"v");
                list.SetItemData(i, (DWORD_PTR)&blank);
            }
            list.m_bNoDraw = false;
            const int withButtons[3] = { 0, 1, rows - 1 };
            for (int k = 0; k < 3; ++k) {
                const int row = withButtons[k];
                buttonRows[k] = row;
                list.SetItemData(row, (DWORD_PTR)&records[k]);
                list.SetItemText(row, 1, L"2024-03-07");
                records[k].ButtonSlots[0] = &buttons[k][0];
                records[k].ButtonSlots[1] = &buttons[k][1];
                list.SetItemControl(row, CToviListCtrl::kButtonColumn, &buttons[k][0], &buttons[k][1],
                                    k == 1 ? "10111111" : "111111110");
            }
            list.SetRedraw(TRUE);
        }, 120000));
    }
    _PROTO_VERSION_INFO blank;
    _PROTO_VERSION_INFO records[3];
    CToviButton buttons[3][2];
    int buttonRows[3] = {};
};

TEST_F(VersionList, ButtonsOfAnyRowReachTheOwnerAndNeverItsOwnControls)
{
    Fill(15001);
    ASSERT_FALSE(HasFatalFailure());
    // The far row's button would have had the id of the dialog's "Other" button.
    ASSERT_EQ(32765 - 2 * 15000, IDC_LIST_OTHER);
    EXPECT_TRUE(uitest::ClickButton(List(), CToviListCtrl::ButtonId(15000, 0)));
    EXPECT_TRUE(uitest::ClickButton(List(), CToviListCtrl::ButtonId(1, 1)));
    EXPECT_TRUE(uitest::WaitUntil([&] { return dlg->m_versionClicks.size() == 2; }, 3000));
    ui.Run([] {});
    ASSERT_EQ(dlg->m_versionClicks.size(), 2u);
    EXPECT_EQ(dlg->m_versionClicks[0], std::make_pair(15000, 0));
    EXPECT_EQ(dlg->m_versionClicks[1], std::make_pair(1, 1));
    EXPECT_EQ(dlg->m_nOtherClicks, 0);
}

TEST_F(VersionList, ButtonsSplitTheFixedColumnAndFollowTheFlags)
{
    Fill(3);
    ASSERT_FALSE(HasFatalFailure());
    Paint();
    CRect cell;
    ui.Run([&] { dlg->m_list.GetSubItemRect(1, CToviListCtrl::kButtonColumn, LVIR_LABEL, cell); });
    cell.DeflateRect(3, 3);
    CRect first, second;
    ::GetWindowRect(buttons[1][0].m_hWnd, &first);
    ::GetWindowRect(buttons[1][1].m_hWnd, &second);
    ::MapWindowPoints(nullptr, List(), (LPPOINT)&first, 2);
    ::MapWindowPoints(nullptr, List(), (LPPOINT)&second, 2);
    const int half = cell.Width() / 2 - 1;
    EXPECT_EQ(first, CRect(cell.left, cell.top, cell.left + half, cell.bottom));
    EXPECT_EQ(second, CRect(cell.left + half + 2, cell.top, cell.left + 2 * half + 2, cell.bottom));
    EXPECT_FALSE(::IsWindowEnabled(buttons[1][0].m_hWnd));   // flags "10111111"
    EXPECT_TRUE(::IsWindowEnabled(buttons[1][1].m_hWnd));
    EXPECT_TRUE(::IsWindowEnabled(buttons[0][0].m_hWnd));    // flags "111111110"
    EXPECT_FALSE(::IsWindowEnabled(buttons[0][1].m_hWnd));
    EXPECT_EQ(uitest::GetText(buttons[0][0].m_hWnd), std::wstring(CToviString::GetString(14047).GetString()));
}

TEST_F(VersionList, DraggingTheButtonColumnsDividerLeavesItsWidth)
{
    Fill(3);
    ASSERT_FALSE(HasFatalFailure());
    HWND header = dlg->m_header.m_hWnd;
    auto drag = [&](int column, int dx) {
        CRect rc;
        Header_GetItemRect(header, column, &rc);
        const POINT from = { rc.right - 1, rc.Height() / 2 };
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        ::PostMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + dx / 2, from.y));
        ::PostMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + dx, from.y));
        ::PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(from.x + dx, from.y));
        ui.Run([] {});
    };
    int before[5] = {}, after[5] = {};
    ui.Run([&] { for (int i = 0; i < 5; ++i) before[i] = dlg->m_list.GetColumnWidth(i); });
    drag(3, 30);
    drag(4, 40);
    ui.Run([&] { for (int i = 0; i < 5; ++i) after[i] = dlg->m_list.GetColumnWidth(i); });
    EXPECT_EQ(after[3], before[3] + 30) << "other columns stay free";
    EXPECT_EQ(after[4], before[4]);
    EXPECT_FALSE(dlg->m_header.IsColumnTracking());
}

// ---- Header

TEST_F(ToviList, HeaderKeepsItsHeightAndShowsTheSortTriangle)
{
    Open(CToviListCtrl::kTypeDefault, -1);
    ASSERT_FALSE(HasFatalFailure());
    Columns({ 120, 120, 80 });
    Row(0, L"report.doc", nullptr);
    HWND header = dlg->m_header.m_hWnd;
    CRect rc;
    ::GetWindowRect(header, &rc);
    EXPECT_EQ(rc.Height(), 23);
    EXPECT_EQ(ItemRect(0).top, 23);

    ui.Run([&] {
        dlg->m_header.SetOrder(-1, 1);
        dlg->m_header.SetOrder(0, -1);
    });
    EXPECT_EQ(dlg->m_header.m_nSortColumn, -1);
    EXPECT_EQ(dlg->m_header.m_nSortOrder, -1);

    CRect cell;
    Header_GetItemRect(header, 1, &cell);
    const RECT top = { cell.CenterPoint().x - 5, 0, cell.CenterPoint().x + 5, 7 };
    const COLORREF grey = RGB(0x8C, 0x8C, 0x8C);
    uitest::Pixels none = uitest::CaptureWindow(header, 300);
    ui.Run([&] { dlg->m_header.SetOrder(1, 1); dlg->m_header.UpdateWindow(); });
    uitest::Pixels down = uitest::CaptureWindow(header, 300);
    EXPECT_EQ(CountNear(none, grey, top, 8), 0);
    EXPECT_GT(CountNear(down, grey, top, 8), 4);
    // Descending: the wide end at the top.
    const int x = cell.CenterPoint().x;
    EXPECT_TRUE(Near(down.At(x - 3, 1), grey, 40) || Near(down.At(x + 3, 1), grey, 40));

    int width = 0;
    CString text;
    ui.Run([&] { text = dlg->m_header.GetItemInfo(1, &width); });
    EXPECT_EQ(std::wstring(text.GetString()), L"Col 1");
    EXPECT_EQ(width, 120);
}

TEST_F(ToviList, HeaderCheckBoxIsPlacedInTheFirstColumn)
{
    Open(CToviListCtrl::kTypeDefault, -1, true);
    ASSERT_FALSE(HasFatalFailure());
    Columns({ 120, 120 });
    ui.Run([&] { dlg->m_header.Invalidate(); dlg->m_header.UpdateWindow(); });
    const CRect check = dlg->m_header.m_rcCheck;
    EXPECT_EQ(check.Width(), 16);
    EXPECT_EQ(check.Height(), 16);
    EXPECT_EQ(check.top, (23 - 16) / 2 + 2);
    EXPECT_GE(check.left, 0);
    EXPECT_LT(check.right, 60);
}

}
