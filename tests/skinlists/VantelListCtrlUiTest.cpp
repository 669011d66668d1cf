// The guest and sharing list on a real dialog: addresses typed in place, cancelled new rows, the
// expiry date editor, the header check box, column limits and row colours.
#include "ListTestDialog.h"
#include "PixelCapture.h"
#include "ProtoShareRecords.h"
#include "ToviString.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void PostClick(HWND hwnd, POINT pt)
{
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

class GuestList : public ListDialogTest {
protected:
    void Fill(int type, std::vector<const wchar_t*> addresses, bool checkColumn = false)
    {
        Open(CToviListCtrlTypeForGuests, type, checkColumn);
        ASSERT_FALSE(HasFatalFailure());
        records.resize(addresses.size() + 4);
        for (auto& r : records)
            std::memset(&r, 0, sizeof r);
        ui.Run([&] {
            CVantelListCtrl& list = dlg->m_guests;
            list.InsertColumn(0, L"E-mail", LVCFMT_LEFT, 180);
            list.InsertColumn(1, L"Rights", LVCFMT_LEFT, 80);
            if (type == CVantelListCtrl::kTypeGuestsWithDates)
                list.InsertColumn(2, L"Expires", LVCFMT_LEFT, 90);
            list.InsertColumn(type == CVantelListCtrl::kTypeGuestsWithDates ? 3 : 2, L"State", LVCFMT_LEFT, 50);
            list.InsertColumn(type == CVantelListCtrl::kTypeGuestsWithDates ? 4 : 3, L"Note", LVCFMT_LEFT, 60);
            ASSERT_TRUE(dlg->m_guestHeader.Init(list.GetHeaderCtrl()));
            for (size_t i = 0; i < addresses.size(); ++i)
                AddRow(addresses[i], (int)i);
        });
    }
    // On the UI thread.
    void AddRow(const wchar_t* address, int i)
    {
        CVantelListCtrl& list = dlg->m_guests;
        std::strcpy(records[i].szPermission, "0222");
        std::strcpy(records[i].cStatus, "Y");
        list.InsertItem(i, address);
        list.SetItemData(i, (DWORD_PTR)&records[i]);
    }
    // Starts the in-place edit of a row's address and returns its edit box.
    HWND BeginEdit(int row)
    {
        HWND edit = nullptr;
        ui.Run([&] {
            dlg->m_guests.ModifyStyle(0, LVS_EDITLABELS);
            dlg->m_guests.SetFocus();
            dlg->m_guests.EditLabel(row);
            edit = ListView_GetEditControl(dlg->m_guests.m_hWnd);
        });
        return edit;
    }
    CString Text(int row, int column = 0)
    {
        CString text;
        ui.Run([&] { text = dlg->m_guests.GetItemText(row, column); });
        return text;
    }
    int Count()
    {
        int count = 0;
        ui.Run([&] { count = dlg->m_guests.GetItemCount(); });
        return count;
    }
    HWND List() const { return dlg->m_guests.m_hWnd; }

    static const int CToviListCtrlTypeForGuests = 0;
    std::vector<_PROTO_GUEST_USER_INFO> records;
};

TEST_F(GuestList, TypedAddressesAreCheckedBeforeTheyAreStored)
{
    Fill(CVantelListCtrl::kTypeGuests, { L"one@example.com", L"two@example.com" });
    ASSERT_FALSE(HasFatalFailure());
    const struct { const wchar_t* typed; UINT message; WPARAM id; const wchar_t* stored; } rows[] = {
        { L"new@example.com", WM_GUEST_ADDRESS_CHANGED, 0, L"new@example.com" },
        { L"ONE@example.com", WM_GUEST_ADDRESS_REFUSED, 12107, L"new@example.com" },   // already listed
        { L"bad@@example.com", WM_GUEST_ADDRESS_REFUSED, 12106, L"new@example.com" },
        { L"no-at-sign", WM_GUEST_ADDRESS_REFUSED, 12106, L"new@example.com" },
        { L"other@example.org", WM_GUEST_ADDRESS_CHANGED, 0, L"other@example.org" },
    };
    for (const auto& row : rows) {
        dlg->m_posts.clear();
        HWND edit = BeginEdit(1);
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(dlg->m_guests.m_bLabelEditing);
        uitest::SetText(edit, L"");
        uitest::TypeText(edit, row.typed);
        uitest::SendKey(edit, VK_RETURN);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !dlg->m_posts.empty(); }, 3000)) << "typed " << testing::PrintToString(std::wstring(row.typed));
        ui.Run([] {});
        ASSERT_EQ(dlg->m_posts.size(), 1u);
        EXPECT_EQ(dlg->m_posts[0].message, row.message);
        EXPECT_EQ(dlg->m_posts[0].wParam, row.id);
        EXPECT_EQ(dlg->m_posts[0].lParam, 1);
        EXPECT_EQ(std::wstring(Text(1).GetString()), row.stored);
        EXPECT_FALSE(dlg->m_guests.m_bLabelEditing);
        EXPECT_EQ(dlg->m_guests.GetStyle() & LVS_EDITLABELS, 0u);
    }
    EXPECT_EQ(std::wstring(Text(0).GetString()), L"one@example.com");
}

TEST_F(GuestList, ACancelledNewRowGoesAwayByItsMarkWhateverItReads)
{
    Fill(CVantelListCtrl::kTypeGuests, { L"one@example.com", L"Email address" });
    ASSERT_FALSE(HasFatalFailure());
    // A new row of the Korean dialog, marked by the dialog when it added it.
    ui.Run([&] {
        AddRow(L"\xC774\xBA54\xC77C \xC8FC\xC18C", 2);
        records[2].cNewRow = 1;
    });
    HWND edit = BeginEdit(2);
    ASSERT_NE(edit, nullptr);
    uitest::SendKey(edit, VK_ESCAPE);
    EXPECT_TRUE(uitest::WaitUntil([&] { return Count() == 2; }, 3000));

    // Row 1 reads like a placeholder but is an entry of the list: cancelling keeps it.
    edit = BeginEdit(1);
    ASSERT_NE(edit, nullptr);
    uitest::SendKey(edit, VK_ESCAPE);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::IsWindow(edit) == FALSE; }, 3000));
    ui.Run([] {});
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(std::wstring(Text(1).GetString()), L"Email address");

    // A new row that got an address is no longer new.
    ui.Run([&] {
        AddRow(L"Email address", 2);
        records[2].cNewRow = 1;
    });
    edit = BeginEdit(2);
    uitest::SetText(edit, L"three@example.com");
    uitest::SendKey(edit, VK_RETURN);
    EXPECT_TRUE(uitest::WaitUntil([&] { return records[2].cNewRow == 0; }, 3000));
    edit = BeginEdit(2);
    uitest::SendKey(edit, VK_ESCAPE);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::IsWindow(edit) == FALSE; }, 3000));
    ui.Run([] {});
    EXPECT_EQ(Count(), 3);
}

TEST_F(GuestList, ClicksDuringAnAddressEditDoNotReachTheList)
{
    Fill(CVantelListCtrl::kTypeGuests, { L"one@example.com", L"two@example.com" });
    ASSERT_FALSE(HasFatalFailure());
    HWND edit = BeginEdit(0);
    ASSERT_NE(edit, nullptr);
    LRESULT result = -1;
    ui.Run([&] { result = ::SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 40)); });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(::IsWindow(edit));
    EXPECT_EQ(dlg->m_guests.GetStyle() & LVS_EDITLABELS, 0u);
    uitest::SendKey(edit, VK_ESCAPE);
    uitest::WaitUntil([&] { return ::IsWindow(edit) == FALSE; }, 3000);
}

TEST(GuestDates, CellsHoldFourDigitYearsAndTwoDigitMonthsAndDays)
{
    SYSTEMTIME date = {};
    date.wYear = 2024;
    date.wMonth = 3;
    date.wDay = 7;
    EXPECT_EQ(CVantelListCtrl::FormatDate(date), L"2024-03-07");
    const struct { const wchar_t* text; bool ok; int y, m, d; } rows[] = {
        { L"2024-03-07", true, 2024, 3, 7 }, { L"1999-12-31 23:59", true, 1999, 12, 31 },
        { L"2023-02-29", false, 0, 0, 0 }, { L"2024-13-01", false, 0, 0, 0 }, { L"2024-3-7", false, 0, 0, 0 },
        { L"", false, 0, 0, 0 }, { L"unlimited", false, 0, 0, 0 }, { L"2024/03/07", false, 0, 0, 0 },
    };
    for (const auto& row : rows) {
        SYSTEMTIME parsed = {};
        EXPECT_EQ(CVantelListCtrl::ParseDate(row.text, &parsed), row.ok) << testing::PrintToString(std::wstring(row.text));
        if (row.ok) {
            EXPECT_EQ(parsed.wYear, row.y);
            EXPECT_EQ(parsed.wMonth, row.m);
            EXPECT_EQ(parsed.wDay, row.d);
        }
    }
}

TEST_F(GuestList, TheDateEditorOpensOnAClickedDateCellAndWritesItsDateBack)
{
    Fill(CVantelListCtrl::kTypeGuestsWithDates, { L"one@example.com", L"two@example.com", L"three@example.com" });
    ASSERT_FALSE(HasFatalFailure());
    ui.Run([&] { dlg->m_guests.SetItemText(0, 2, L"2024-03-07"); });
    CRect cell0, cell1, name2;
    ui.Run([&] {
        dlg->m_guests.GetSubItemRect(0, 2, LVIR_LABEL, cell0);
        dlg->m_guests.GetSubItemRect(1, 2, LVIR_LABEL, cell1);
        dlg->m_guests.GetSubItemRect(2, 0, LVIR_LABEL, name2);
    });
    PostClick(List(), cell0.CenterPoint());
    ASSERT_TRUE(uitest::WaitUntil([&] {
        return dlg->m_guests.m_pDateEditor && ::IsWindowVisible(dlg->m_guests.m_pDateEditor->m_hWnd);
    }, 3000));
    HWND editor = dlg->m_guests.m_pDateEditor->m_hWnd;
    EXPECT_EQ(::GetDlgCtrlID(editor), 1006);
    CRect placed;
    ::GetWindowRect(editor, &placed);
    ::MapWindowPoints(nullptr, List(), (LPPOINT)&placed, 2);
    EXPECT_EQ(placed, cell0);
    SYSTEMTIME shown = {};
    ::SendMessageW(editor, DTM_GETSYSTEMTIME, 0, (LPARAM)&shown);
    EXPECT_EQ(shown.wYear, 2024);
    EXPECT_EQ(shown.wMonth, 3);
    EXPECT_EQ(shown.wDay, 7);

    // A new date, then a click on another row's empty date cell: the first is written back and
    // the editor moves on with today's date.
    SYSTEMTIME chosen = {};
    chosen.wYear = 2025;
    chosen.wMonth = 1;
    chosen.wDay = 9;
    ui.Run([&] { ::SendMessageW(editor, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&chosen); });
    PostClick(List(), cell1.CenterPoint());
    EXPECT_TRUE(uitest::WaitUntil([&] { return dlg->m_guests.m_nEditRow == 1; }, 3000));
    EXPECT_EQ(std::wstring(Text(0, 2).GetString()), L"2025-01-09");
    SYSTEMTIME today = {};
    ::GetLocalTime(&today);
    ::SendMessageW(editor, DTM_GETSYSTEMTIME, 0, (LPARAM)&shown);
    EXPECT_EQ(shown.wYear, today.wYear);
    EXPECT_EQ(shown.wDay, today.wDay);

    // A click elsewhere commits today's date to row 1 and closes the editor.
    PostClick(List(), name2.CenterPoint());
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(editor); }, 3000));
    EXPECT_EQ(std::wstring(Text(1, 2).GetString()), CVantelListCtrl::FormatDate(today));
    ui.Run([&] { dlg->m_guests.EndDateEdit(); });
    EXPECT_EQ(dlg->m_guests.m_nEditRow, -1);
}

TEST_F(GuestList, CancellingANewRowMovesTheDateEditorToTheLastRow)
{
    Fill(CVantelListCtrl::kTypeGuestsWithDates, { L"one@example.com", L"two@example.com" });
    ASSERT_FALSE(HasFatalFailure());
    ui.Run([&] {
        dlg->m_guests.SetItemText(1, 2, L"2024-05-01");
        AddRow(L"Email address", 2);
        records[2].cNewRow = 1;
        dlg->m_guests.SetItemText(2, 2, L"2024-06-01");
        dlg->m_guests.ShowDateEditor(2);
    });
    ASSERT_EQ(dlg->m_guests.m_nEditRow, 2);
    HWND edit = BeginEdit(2);
    ASSERT_NE(edit, nullptr);
    uitest::SendKey(edit, VK_ESCAPE);
    EXPECT_TRUE(uitest::WaitUntil([&] { return Count() == 2; }, 3000));
    ui.Run([] {});
    EXPECT_EQ(dlg->m_guests.m_nEditRow, 1);
    EXPECT_TRUE(::IsWindowVisible(dlg->m_guests.m_pDateEditor->m_hWnd));
}

TEST_F(GuestList, TheHeaderCheckBoxChecksEveryRow)
{
    Fill(CVantelListCtrl::kTypeGuests, { L"one@example.com", L"two@example.com", L"three@example.com" }, true);
    ASSERT_FALSE(HasFatalFailure());
    ui.Run([&] {
        dlg->m_guests.SetExtendedStyle(LVS_EX_CHECKBOXES);
        dlg->m_guestHeader.Invalidate();
        dlg->m_guestHeader.UpdateWindow();
    });
    HWND header = dlg->m_guestHeader.m_hWnd;
    const CRect check = dlg->m_guestHeader.m_rcCheck;
    ASSERT_FALSE(check.IsRectEmpty());
    auto checked = [&] {
        int n = 0;
        ui.Run([&] { for (int i = 0; i < 3; ++i) n += dlg->m_guests.GetCheck(i) ? 1 : 0; });
        return n;
    };
    POINT screen = check.CenterPoint();
    ::ClientToScreen(header, &screen);
    ::SetCursorPos(screen.x, screen.y);
    uitest::WaitUntil([&] { POINT now; ::GetCursorPos(&now); return now.x == screen.x && now.y == screen.y; }, 2000);
    PostClick(header, check.CenterPoint());
    EXPECT_TRUE(uitest::WaitUntil([&] { return checked() == 3; }, 3000));
    EXPECT_EQ(dlg->m_guestHeader.m_nCheckState, 1);
    PostClick(header, check.CenterPoint());
    EXPECT_TRUE(uitest::WaitUntil([&] { return checked() == 0; }, 3000));

    // A click on the column's text away from the box changes nothing.
    CRect column;
    Header_GetItemRect(header, 0, &column);
    const POINT text = { column.right - 20, column.CenterPoint().y };
    screen = text;
    ::ClientToScreen(header, &screen);
    ::SetCursorPos(screen.x, screen.y);
    uitest::WaitUntil([&] { POINT now; ::GetCursorPos(&now); return now.x == screen.x; }, 2000);
    PostClick(header, text);
    ui.Run([] {});
    uitest::WaitUntil([] { return false; }, 200);
    EXPECT_EQ(checked(), 0);
}

TEST_F(GuestList, GuestRowsAreNeverSelectedAndIconColumnsKeepTheirWidth)
{
    Fill(CVantelListCtrl::kTypeGuests, { L"one@example.com", L"two@example.com" });
    ASSERT_FALSE(HasFatalFailure());
    UINT state = 1;
    ui.Run([&] {
        dlg->m_guests.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        state = dlg->m_guests.GetItemState(0, LVIS_SELECTED | LVIS_FOCUSED);
    });
    EXPECT_EQ(state, 0u);

    HWND header = dlg->m_guestHeader.m_hWnd;
    auto drag = [&](int column, int dx) {
        CRect rc;
        Header_GetItemRect(header, column, &rc);
        const POINT from = { rc.right - 1, rc.Height() / 2 };
        // Real pointer motion over the tracking header would move the divider too: an earlier
        // test's clicks may have left the pointer there.
        ::SetCursorPos(0, 0);
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        ::PostMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + dx, from.y));
        ::PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(from.x + dx, from.y));
        ui.Run([] {});
        int width = 0;
        ui.Run([&] { width = dlg->m_guests.GetColumnWidth(column); });
        return width;
    };
    EXPECT_EQ(drag(0, -90), 180) << "the address column stays wider than 100";
    EXPECT_EQ(drag(0, -40), 140);
    EXPECT_EQ(drag(1, 30), 80);
    EXPECT_EQ(drag(2, 30), 50);
    EXPECT_EQ(drag(3, 30), 90) << "the columns after the icons are free";
}

TEST_F(ListDialogTest, GuestStateRowsAreTintedByTheirStateCaption)
{
    Open(0, CVantelListCtrl::kTypeGuestStates);
    ASSERT_FALSE(HasFatalFailure());
    ui.Run([&] {
        CVantelListCtrl& list = dlg->m_guests;
        list.InsertColumn(0, L"Name", LVCFMT_LEFT, 150);
        list.InsertColumn(1, L"Size", LVCFMT_LEFT, 80);
        list.InsertColumn(2, L"State", LVCFMT_LEFT, 100);
        const UINT captions[3] = { 14091, 14064, 14089 };
        for (int i = 0; i < 3; ++i) {
            list.InsertItem(i, L"report.doc");
            list.SetItemText(i, 1, L"12 KB");
            list.SetItemText(i, 2, CToviString::GetString(captions[i]));
        }
        list.UpdateWindow();
    });
    const uitest::Pixels pixels = uitest::CaptureWindow(dlg->m_guests.m_hWnd, 300);
    const COLORREF expected[3] = { 0xEFF8F8, 0xF2F1EC, 0xE0E6EF };
    for (int i = 0; i < 3; ++i) {
        CRect cell;
        ui.Run([&] { dlg->m_guests.GetSubItemRect(i, 1, LVIR_BOUNDS, cell); });
        EXPECT_EQ(pixels.At(cell.right - 4, cell.CenterPoint().y), expected[i]) << "row " << i;
    }
}

TEST_F(ListDialogTest, SharePermissionsShowOneIconPerGrantedRight)
{
    Open(0, CVantelListCtrl::kTypeSharePermissions);
    ASSERT_FALSE(HasFatalFailure());
    _PROTO_SHARED_UGROUP members[2];
    std::memset(members, 0, sizeof members);
    std::strcpy(members[0].Permission, "2222");
    std::strcpy(members[1].Permission, "0000");
    ui.Run([&] {
        CVantelListCtrl& list = dlg->m_guests;
        list.InsertColumn(0, L"Name", LVCFMT_LEFT, 150);
        list.InsertColumn(1, L"Group", LVCFMT_LEFT, 80);
        list.InsertColumn(2, L"Rights", LVCFMT_LEFT, 110);
        for (int i = 0; i < 2; ++i) {
            list.InsertItem(i, i ? L"Kim" : L"Lee");
            list.SetItemData(i, (DWORD_PTR)&members[i]);
        }
        list.UpdateWindow();
    });
    const uitest::Pixels pixels = uitest::CaptureWindow(dlg->m_guests.m_hWnd, 300);
    for (int i = 0; i < 2; ++i) {
        CRect cell;
        ui.Run([&] { dlg->m_guests.GetSubItemRect(i, 2, LVIR_BOUNDS, cell); });
        // Icons are taller than these rows: only the rows' own middle counts.
        const CRect icons(cell.left + 16, cell.top + 2, cell.left + 86, cell.bottom - 2);
        const int white = pixels.Count(::GetSysColor(COLOR_WINDOW), icons);
        if (i == 0)
            EXPECT_LT(white, icons.Width() * icons.Height() - 100) << "four icons drawn";
        else
            EXPECT_EQ(white, icons.Width() * icons.Height()) << "no right, no icon";
    }
}

}
