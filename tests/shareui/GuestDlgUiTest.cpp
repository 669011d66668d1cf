// The guest dialog against the test server: it reads the folder's guest, checks what the user
// typed (address, quota against the folder's quota, period, rights) and saves the guest.
#include <winsock2.h>
#include "ShareHost.h"
#include "GuestDlg.h"
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class GuestDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        m_folder = MakeFolder("My Files/Partners");
    }

    HWND Open(bool newFolder, const char* reset = "N")
    {
        m_dlg = std::make_unique<CGuestDlg>();
        m_dlg->m_session.CopyFrom(m_proto);
        m_dlg->m_nNewFolder = newFolder ? 1 : 0;
        std::strcpy(m_dlg->m_szFolderId, m_folder.c_str());
        std::strcpy(m_dlg->m_szResetOption, reset);
        if (!newFolder)
            wcscpy(m_dlg->m_wszFolderName, L"Partners");
        CGuestDlg* dlg = m_dlg.get();
        return StartModal([dlg] { return dlg->DoModal(); }, newFolder ? L"New Guest Folder" : L"Guest Settings");
    }

    void Fill(const wchar_t* name, const wchar_t* email, const wchar_t* quota)
    {
        uitest::SetText(Item(10104), name);
        uitest::SetText(Item(10105), email);
        uitest::SetText(Item(10033), quota);
    }

    // Presses OK expecting a refusal; the message shown.
    std::wstring Refused()
    {
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::ClickButton(m_dialog, IDOK);
        if (!box.WaitForCount(1))
            return L"(no message)";
        EXPECT_TRUE(Settle());
        return box.Seen()[0].texts.empty() ? L"" : box.Seen()[0].texts.back();
    }

    std::string m_folder;
    std::unique_ptr<CGuestDlg> m_dlg;
};

TEST_F(GuestDlgTest, ANewGuestFolderIsSavedWithItsGuest)
{
    ASSERT_NE(nullptr, Open(true, "Y"));
    // Never the reset button while a folder is being made.
    EXPECT_FALSE(IsWindowVisible(Item(10206)));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(m_dialog, 10110));
    EXPECT_FALSE(IsWindowEnabled(Item(10070)));
    Fill(L"Guests", L"anna@example.com", L"300");
    Check(10087, true);
    Check(10090, true);
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    const auto sent = Last("G5");
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ("Y", sent[0].at(39));
    EXPECT_EQ("anna@example.com", sent[0].at(193));
    EXPECT_EQ("300", sent[0].at(190));
    EXPECT_EQ("2202", sent[0].at(5));
    EXPECT_TRUE(sent[0].count(11) == 0 || sent[0].at(11).empty());
    EXPECT_NE(std::string::npos, List(road::kUser, "My Files/Partners").find("Guests:"));
}

TEST_F(GuestDlgTest, AnExistingGuestOpensWithItsSettingsAndCanHaveANewPassword)
{
    m_proto.SharedInfo = {};
    _PROTO_SHARED_INFO info = {};
    wcscpy(info.wszFolderName, L"Partners");
    std::strcpy(info.szEmail, "bo@example.org");
    std::strcpy(info.szGuestQuota, "250");
    std::strcpy(info.szPeriodFrom, "2026-03-01");
    std::strcpy(info.szPeriodTo, "2026-03-31");
    std::strcpy(info.szPermission, "2220");
    ASSERT_EQ(0, m_proto.RunGuestSet(const_cast<char*>(m_folder.c_str()), 0, &info));
    ASSERT_NE(nullptr, Open(false, "Y"));
    EXPECT_EQ(L"bo@example.org", uitest::GetText(Item(10105)));
    EXPECT_EQ(L"250", uitest::GetText(Item(10033)));
    EXPECT_EQ(L"MB / 1000 MB", uitest::GetText(Item(10042)));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(m_dialog, 10110));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(m_dialog, 10087));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(m_dialog, 10088));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(m_dialog, 10090));
    ASSERT_TRUE(IsWindowVisible(Item(10206)));
    uitest::ClickButton(m_dialog, 10206);
    ASSERT_TRUE(uitest::WaitUntil([this] { return !Last("G8").empty(); }));
    EXPECT_EQ(m_folder, Last("G8")[0].at(173));
    ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDOK)) != FALSE; }));
    // Saved as it stands: the same period goes back.
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    const auto sent = Last("G5");
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ("N", sent[0].at(39));
    EXPECT_EQ("2026-03-01", sent[0].at(11));
    EXPECT_EQ("2026-03-31", sent[0].at(12));
    EXPECT_EQ("2220", sent[0].at(5));
}

TEST_F(GuestDlgTest, QuotaIsBoundByTheFolderQuotaOnlyWhenTheFolderHasOne)
{
    const struct {
        const char* folderQuota;   // the server's folder quota; empty: none
        const wchar_t* typed;
        bool accepted;
    } cases[] = {
        {"1000", L"1000", true},
        {"1000", L"1001", false},
        {"1000", L"0", true},
        {"", L"5000", true},       // no folder quota: nothing to exceed
        {"0", L"5000", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folderQuota) + " / " + testing::PrintToString(std::wstring(c.typed)));
        ASSERT_EQ("OK", Control(std::string("SWITCH guestFolderQuota=") + c.folderQuota).substr(0, 2));
        ASSERT_NE(nullptr, Open(true));
        Fill(L"Quota", L"q@example.com", c.typed);
        Check(10087, true);
        if (c.accepted) {
            uitest::ClickButton(m_dialog, IDOK);
            ASSERT_EQ(IDOK, WaitModal());
            EXPECT_EQ(std::string(c.typed, c.typed + wcslen(c.typed)), Last("G5")[0].at(190));
            ASSERT_EQ("OK", Control(std::string("SWITCH guestFolderQuota=1000")).substr(0, 2));
            // A fresh folder name for the next case.
            m_folder = MakeFolder("My Files/Partners" + std::to_string(&c - cases));
        } else {
            EXPECT_NE(std::wstring::npos, Refused().find(L"larger than"));
            EXPECT_EQ(L"", uitest::GetText(Item(10033)));
            uitest::ClickButton(m_dialog, IDCANCEL);
            ASSERT_EQ(IDCANCEL, WaitModal());
        }
    }
}

TEST_F(GuestDlgTest, RefusalsKeepTheDialogOpenAndSendNothing)
{
    const struct {
        const wchar_t* email;
        const wchar_t* quota;
        bool anyRight;
        bool reversedPeriod;
        const wchar_t* message;
    } cases[] = {
        {L"", L"10", true, false, L"valid guest e-mail"},
        {L"anna@localhost", L"10", true, false, L"valid guest e-mail"},
        {L"anna.@example.com", L"10", true, false, L"valid guest e-mail"},
        {L"anna@example.com", L"", true, false, L"Enter a quota"},
        {L"anna@example.com", L"10", false, false, L"at least one permission"},
        {L"anna@example.com", L"10", true, true, L"before the start"},
    };
    ASSERT_NE(nullptr, Open(true));
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.message)));
        Fill(L"Refused", c.email, c.quota);
        Check(10087, c.anyRight);
        Check(10088, false);
        Check(10090, false);
        Check(10110, !c.reversedPeriod);
        if (c.reversedPeriod) {
            SYSTEMTIME late = {2026, 6, 0, 30}, early = {2026, 6, 0, 1};
            DateTime_SetSystemtime(Item(10070), GDT_VALID, &late);
            DateTime_SetSystemtime(Item(10071), GDT_VALID, &early);
        }
        const std::wstring message = Refused();
        EXPECT_NE(std::wstring::npos, message.find(c.message)) << testing::PrintToString(message);
        EXPECT_TRUE(IsWindow(m_dialog));
    }
    EXPECT_TRUE(Last("G5").empty());
    // The same day twice is a period.
    Fill(L"Refused", L"anna@example.com", L"10");
    SYSTEMTIME day = {2026, 6, 0, 15};
    DateTime_SetSystemtime(Item(10070), GDT_VALID, &day);
    DateTime_SetSystemtime(Item(10071), GDT_VALID, &day);
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    EXPECT_EQ("2026-06-15", Last("G5")[0].at(11));
    EXPECT_EQ("2026-06-15", Last("G5")[0].at(12));
}

}

namespace {

TEST_F(GuestDlgTest, AServerRefusalIsShownAndTheDialogStaysEditable)
{
    MakeFolder("My Files/Partners/Taken");
    ASSERT_NE(nullptr, Open(true));
    Fill(L"Taken", L"anna@example.com", L"10");
    Check(10087, true);
    EXPECT_NE(std::wstring::npos, Refused().find(L"same name")) << "the server's own text";
    EXPECT_TRUE(IsWindow(m_dialog));
    EXPECT_FALSE(Last("G5").empty());
    // The box is shown while the dialog waits for its worker; it wakes after it.
    ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDOK)) != FALSE; }));
    for (int id : {10104, 10105, 10033, 10087, IDOK, IDCANCEL})
        EXPECT_TRUE(IsWindowEnabled(Item(id))) << id;
    // Another name goes through.
    uitest::SetText(Item(10104), L"Free");
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    EXPECT_NE(std::string::npos, List(road::kUser, "My Files/Partners").find("Free:"));
}

}
