// The multi-guest dialog of the customer group whose guests each carry a date: no period of the
// folder, each row's date shown, started from the server's default, changed in the list's date
// editor when the server allows it, and sent with its guest.
#include <winsock2.h>
#include "ShareHost.h"
#include "GuestMultiRQDlg.h"
#include "AutoAnswer.h"
#include "VantelListCtrl.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class GuestMultiRQDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        m_folder = MakeFolder("My Files/Partners");
    }

    HWND Open(bool newFolder)
    {
        m_dlg = std::make_unique<CGuestMultiRQDlg>();
        m_dlg->m_session.CopyFrom(m_proto);
        m_dlg->m_nNewFolder = newFolder ? 1 : 0;
        std::strcpy(m_dlg->m_szFolderId, m_folder.c_str());
        if (!newFolder)
            wcscpy(m_dlg->m_wszFolderName, L"Partners");
        CGuestMultiRQDlg* dlg = m_dlg.get();
        return StartModal([dlg] { return dlg->DoModal(); }, newFolder ? L"New Guest Folder" : L"Guest Settings");
    }

    HWND List() const { return Item(10196); }
    HWND ListEdit() const { return ListView_GetEditControl(List()); }
    HWND DateEditor() const { return GetDlgItem(List(), CVantelListCtrl::kDateEditorId); }

    std::wstring Cell(int row, int column) const
    {
        wchar_t text[64] = {};
        ListView_GetItemText(List(), row, column, text, 64);
        return text;
    }

    void Type(const std::wstring& address)
    {
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
        HWND edit = ListEdit();
        uitest::SetText(edit, address);
        uitest::SendKey(edit, VK_RETURN);
        ASSERT_TRUE(uitest::WaitForWindowGone(edit));
    }

    void StopAdding()
    {
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
        const int rows = ListView_GetItemCount(List());
        uitest::SendKey(ListEdit(), VK_ESCAPE);
        ASSERT_TRUE(uitest::WaitUntil([this, rows] { return ListView_GetItemCount(List()) == rows - 1; }));
    }

    // Clicks a row's date cell as the user does.
    void ClickDate(int row)
    {
        RECT cell = {};
        ListView_GetSubItemRect(List(), row, 2, LVIR_LABEL, &cell);
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(List(), WM_LBUTTONUP, 0, at);
        ASSERT_TRUE(Settle());
    }

    void SeedGuests(const std::vector<std::pair<const char*, const char*>>& guests)
    {
        m_proto.GuestUsers.clear();
        for (const auto& [email, date] : guests) {
            _PROTO_GUEST_USER_INFO guest = {};
            std::strcpy(guest.szEmail, email);
            std::strcpy(guest.szPermission, "2200");
            std::strcpy(guest.cStatus, "Y");
            std::strcpy(guest.szDate, date);
            m_proto.GuestUsers.push_back(guest);
        }
        _PROTO_GUEST_FOLDER_INFO folder = {};
        std::strcpy(folder.cMode, "N");
        wcscpy(folder.wszFolderName, L"Partners");
        std::strcpy(folder.szQuota, "50");
        ASSERT_EQ(0, m_proto.RunGuestMultiSet(const_cast<char*>(m_folder.c_str()), &folder));
    }

    std::string m_folder;
    std::unique_ptr<CGuestMultiRQDlg> m_dlg;
};

std::string Today()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[11];
    snprintf(text, sizeof text, "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

TEST_F(GuestMultiRQDlgTest, NewGuestsStartFromTheServersDateWhichTheUserMayChange)
{
    ASSERT_EQ("OK", Control("SWITCH guestDefaultDate=2031-05-20").substr(0, 2));
    ASSERT_NE(nullptr, Open(true));
    // No period of the folder: each guest has a date instead.
    for (int id : {10197, 10070, 10071})
        EXPECT_EQ(nullptr, Item(id)) << id;
    EXPECT_EQ(L"Save", uitest::GetText(Item(IDOK)));
    wchar_t heading[32] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = 32;
    ASSERT_TRUE(ListView_GetColumn(List(), 2, &column));
    EXPECT_STREQ(L"Expiry date", heading);

    uitest::SetText(Item(10104), L"Partners Box");
    uitest::SetText(Item(10033), L"100");
    uitest::ClickButton(m_dialog, 10198);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
    EXPECT_EQ(L"2031-05-20", Cell(0, 2));
    Type(L"anna@example.com");
    Type(L"bo@example.org");
    StopAdding();
    ASSERT_EQ(2, ListView_GetItemCount(List()));

    ClickDate(1);
    ASSERT_TRUE(uitest::WaitUntil([this] { return DateEditor() && IsWindowVisible(DateEditor()); }));
    SYSTEMTIME later = {};
    later.wYear = 2031;
    later.wMonth = 6;
    later.wDay = 1;
    DateTime_SetSystemtime(DateEditor(), GDT_VALID, &later);
    // Saving takes the date still in the editor.
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());

    const auto sent = Last("G7");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("Y", sent[0].at(39));
    EXPECT_EQ(0u, sent[0].count(11));
    EXPECT_EQ(0u, sent[0].count(12));
    EXPECT_EQ("anna@example.com", sent[1].at(193));
    EXPECT_EQ("2031-05-20", sent[1].at(13));
    EXPECT_EQ("bo@example.org", sent[2].at(193));
    EXPECT_EQ("2031-06-01", sent[2].at(13));
}

TEST_F(GuestMultiRQDlgTest, StoredDatesAreShownAndKeptAndFixedWhenTheServerSaysSo)
{
    SeedGuests({{"anna@example.com", "2030-01-31"}, {"bo@example.org", "2030-02-28"}});
    // No default date from the server: new guests start today; no editing of dates.
    ASSERT_EQ("OK", Control("SWITCH guestDefaultDate= guestDateEditable=N").substr(0, 2));
    ASSERT_NE(nullptr, Open(false));
    ASSERT_EQ(2, ListView_GetItemCount(List()));
    EXPECT_EQ(L"2030-01-31", Cell(0, 2));
    EXPECT_EQ(L"2030-02-28", Cell(1, 2));
    ClickDate(0);
    EXPECT_TRUE(DateEditor() == nullptr || !IsWindowVisible(DateEditor()));

    uitest::ClickButton(m_dialog, 10198);
    Type(L"cy@example.net");
    StopAdding();
    ASSERT_EQ(3, ListView_GetItemCount(List()));
    const std::string today = Today();
    EXPECT_EQ(std::wstring(today.begin(), today.end()), Cell(2, 2));
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());

    ASSERT_EQ(0, m_proto.GetGuestMultiInfo(const_cast<char*>(m_folder.c_str())));
    ASSERT_EQ(3u, m_proto.GuestUsers.size());
    EXPECT_STREQ("2030-01-31", m_proto.GuestUsers[0].szDate);
    EXPECT_STREQ("2030-02-28", m_proto.GuestUsers[1].szDate);
    EXPECT_STREQ("cy@example.net", m_proto.GuestUsers[2].szEmail);
    EXPECT_STREQ(today.c_str(), m_proto.GuestUsers[2].szDate);
}

TEST_F(GuestMultiRQDlgTest, ADateInTheEditorStaysWithItsGuestWhenRowsAboveAreRemoved)
{
    SeedGuests({{"anna@example.com", "2030-01-31"}, {"bo@example.org", "2030-02-28"}, {"cy@example.net", "2030-03-31"}});
    ASSERT_NE(nullptr, Open(false));
    ASSERT_EQ(3, ListView_GetItemCount(List()));
    ClickDate(1);
    ASSERT_TRUE(uitest::WaitUntil([this] { return DateEditor() && IsWindowVisible(DateEditor()); }));
    SYSTEMTIME later = {};
    later.wYear = 2030;
    later.wMonth = 4;
    later.wDay = 15;
    DateTime_SetSystemtime(DateEditor(), GDT_VALID, &later);
    for (int row = 0; row < 3; ++row)
        ListView_SetCheckState(List(), row, row == 0);
    uitest::ClickButton(m_dialog, 10199);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(List()) == 2; }));
    EXPECT_EQ(L"2030-04-15", Cell(0, 2));
    EXPECT_EQ(L"2030-03-31", Cell(1, 2));
    for (int row = 0; row < 2; ++row)
        ListView_SetCheckState(List(), row, TRUE);
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());

    ASSERT_EQ(0, m_proto.GetGuestMultiInfo(const_cast<char*>(m_folder.c_str())));
    ASSERT_EQ(2u, m_proto.GuestUsers.size());
    EXPECT_STREQ("bo@example.org", m_proto.GuestUsers[0].szEmail);
    EXPECT_STREQ("2030-04-15", m_proto.GuestUsers[0].szDate);
    EXPECT_STREQ("cy@example.net", m_proto.GuestUsers[1].szEmail);
    EXPECT_STREQ("2030-03-31", m_proto.GuestUsers[1].szDate);
}

}
