// The multi-guest dialog against the test server: guests added and edited in place in the
// list, refused addresses reopening the edit, and the folder with its guests saved in one go.
#include <winsock2.h>
#include "ShareHost.h"
#include "EmailAddress.h"
#include "GuestMultiDlg.h"
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class GuestMultiDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        m_folder = MakeFolder("My Files/Clients");
    }

    HWND Open(bool newFolder)
    {
        m_dlg = std::make_unique<CGuestMultiDlg>();
        m_dlg->m_session.CopyFrom(m_proto);
        m_dlg->m_nNewFolder = newFolder ? 1 : 0;
        std::strcpy(m_dlg->m_szFolderId, m_folder.c_str());
        if (!newFolder)
            wcscpy(m_dlg->m_wszFolderName, L"Clients");
        CGuestMultiDlg* dlg = m_dlg.get();
        return StartModal([dlg] { return dlg->DoModal(); }, newFolder ? L"New Guest Folder" : L"Guest Settings");
    }

    HWND ListEdit() const { return ListView_GetEditControl(Item(10196)); }

    // Types an address into the open in-place edit and presses Enter.
    void Type(const std::wstring& address)
    {
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
        HWND edit = ListEdit();
        uitest::SetText(edit, address);
        uitest::SendKey(edit, VK_RETURN);
        ASSERT_TRUE(uitest::WaitForWindowGone(edit));
    }

    std::string m_folder;
    std::unique_ptr<CGuestMultiDlg> m_dlg;
};

TEST_F(GuestMultiDlgTest, GuestsAddedInPlaceAreSavedWithTheFolder)
{
    ASSERT_NE(nullptr, Open(true));
    uitest::SetText(Item(10104), L"Visitors");
    uitest::SetText(Item(10033), L"200");
    uitest::ClickButton(m_dialog, 10198);
    Type(L"anna@example.com");
    // The next row opens by itself once the first has taken its rights; write is taken away for
    // the second guest only after that.
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
    Check(10088, false);
    Type(L"bo@example.org");
    // Enough: the empty new row is dropped when its edit is cancelled.
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
    uitest::SendKey(ListEdit(), VK_ESCAPE);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10196)) == 2; }));
    EXPECT_EQ((std::vector<std::wstring>{L"anna@example.com", L"bo@example.org"}), ListColumn(10196, 0));
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());

    const auto sent = Last("G7");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("Y", sent[0].at(39));
    EXPECT_EQ("200", sent[0].at(190));
    EXPECT_EQ("anna@example.com", sent[1].at(193));
    EXPECT_EQ("2222", sent[1].at(5));
    EXPECT_EQ("Y", sent[1].at(47));
    EXPECT_EQ("bo@example.org", sent[2].at(193));
    EXPECT_EQ("2202", sent[2].at(5));
    EXPECT_EQ("Y", sent[2].at(47));
    EXPECT_NE(std::string::npos, List(road::kUser, "My Files/Clients").find("Visitors:"));
}

TEST_F(GuestMultiDlgTest, RefusedAddressesReopenTheEditWhichHoldsNoMoreThanTheRecord)
{
    ASSERT_NE(nullptr, Open(true));
    uitest::ClickButton(m_dialog, 10198);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
    // The record keeps a terminator after the address.
    EXPECT_EQ(static_cast<LRESULT>(kMaxEmailBytes), SendMessageW(ListEdit(), EM_GETLIMITTEXT, 0, 0));
    Type(L"anna@example.com");
    const struct {
        std::wstring typed;
        const wchar_t* message;
    } cases[] = {
        {L"ANNA@example.com", L"already in the list"},
        {L"anna@localhost", L"not a valid"},
        {std::wstring(320 - 12, L'a') + L"@example.com", L"not a valid"},   // one more than fits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.message)));
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        Type(c.typed);
        ASSERT_TRUE(box.WaitForCount(1));
        EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(c.message));
        // The edit is open again on the same row, limited as before.
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
        EXPECT_EQ(static_cast<LRESULT>(kMaxEmailBytes),
                  SendMessageW(ListEdit(), EM_GETLIMITTEXT, 0, 0));
    }
    uitest::SendKey(ListEdit(), VK_ESCAPE);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10196)) == 1; }));
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
    EXPECT_TRUE(Last("G7").empty());
}

TEST_F(GuestMultiDlgTest, AnUncheckedGuestGoesOutInactiveAndTheStatesComeBack)
{
    m_proto.GuestUsers.clear();
    for (const char* email : {"anna@example.com", "bo@example.org"}) {
        _PROTO_GUEST_USER_INFO guest = {};
        std::strcpy(guest.szEmail, email);
        std::strcpy(guest.szPermission, "2200");
        std::strcpy(guest.cStatus, "Y");
        m_proto.GuestUsers.push_back(guest);
    }
    _PROTO_GUEST_FOLDER_INFO folder = {};
    std::strcpy(folder.cMode, "N");
    wcscpy(folder.wszFolderName, L"Clients");
    std::strcpy(folder.szQuota, "50");
    ASSERT_EQ(0, m_proto.RunGuestMultiSet(const_cast<char*>(m_folder.c_str()), &folder));

    ASSERT_NE(nullptr, Open(false));
    EXPECT_EQ(L"50", uitest::GetText(Item(10033)));
    ASSERT_EQ(2, ListView_GetItemCount(Item(10196)));
    ListView_SetCheckState(Item(10196), 1, FALSE);
    uitest::AutoAnswer question(L"Corvane IXO MessageBox", IDOK); // the skinned box asks with OK and Cancel
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_TRUE(question.WaitForCount(1));
    ASSERT_TRUE(Settle());
    // Yes: the dialog stays, on the folder the server named.
    EXPECT_TRUE(IsWindow(m_dialog));
    const auto sent = Last("G7");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("N", sent[0].at(39));
    EXPECT_EQ("Y", sent[1].at(47));
    EXPECT_EQ("N", sent[2].at(47));
    EXPECT_STREQ(m_folder.c_str(), m_dlg->m_szFolderId);
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

TEST_F(GuestMultiDlgTest, QuotaAndListRefusals)
{
    ASSERT_NE(nullptr, Open(true));
    uitest::SetText(Item(10104), L"Quota");
    const struct {
        const wchar_t* quota;
        bool withGuest;
        const wchar_t* message;
    } cases[] = {
        {L"", false, L"Enter a quota"},
        {L"12a", false, L"digits only"},
        {L"0", false, L"greater than 0"},
        {L"1001", false, L"larger than"},
        {L"1000", false, L"valid guest e-mail"},   // the folder quota itself is fine; no guests
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.message)));
        uitest::SetText(Item(10033), c.quota);
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::ClickButton(m_dialog, IDOK);
        ASSERT_TRUE(box.WaitForCount(1));
        ASSERT_TRUE(Settle());
        EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(c.message))
            << testing::PrintToString(box.Seen()[0].texts.back());
    }
    EXPECT_TRUE(Last("G7").empty());
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

}

namespace {

TEST_F(GuestMultiDlgTest, AServerRefusalIsShownAndTheListIsKept)
{
    MakeFolder("My Files/Clients/Taken");
    ASSERT_NE(nullptr, Open(true));
    uitest::SetText(Item(10104), L"Taken");
    uitest::SetText(Item(10033), L"10");
    uitest::ClickButton(m_dialog, 10198);
    Type(L"anna@example.com");
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListEdit() != nullptr; }));
    uitest::SendKey(ListEdit(), VK_ESCAPE);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10196)) == 1; }));
    {
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::ClickButton(m_dialog, IDOK);
        ASSERT_TRUE(box.WaitForCount(1));
        ASSERT_TRUE(Settle());
        EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"same name"));
    }
    EXPECT_TRUE(IsWindow(m_dialog));
    EXPECT_EQ((std::vector<std::wstring>{L"anna@example.com"}), ListColumn(10196, 0));
    // The box is the worker's; the dialog wakes once the worker has ended.
    ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDOK)) != FALSE; }));
    for (int id : {10104, 10033, 10198, 10199, IDOK, IDCANCEL})
        EXPECT_TRUE(IsWindowEnabled(Item(id))) << id;
    uitest::SetText(Item(10104), L"Free");
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    EXPECT_EQ("anna@example.com", Last("G7")[1].at(193));
}

}
