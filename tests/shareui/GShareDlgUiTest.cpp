// The group share dialog against the test server's organisation: the domain list, members
// picked from the domain's tree, the quota bound, and what a sub-share that is switched off
// sends whatever the controls show.
#include <winsock2.h>
#include "ShareHost.h"
#include "GShareDlg.h"
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class GShareDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        SeedOrganisation();
        m_folder = MakeFolder("My Files/Projects");
    }

    HWND Open(bool quotaShown, bool newShare = false)
    {
        m_dlg = std::make_unique<CGShareDlg>();
        m_dlg->m_pProto = &m_proto;
        std::strcpy(m_dlg->m_szFolderId, m_folder.c_str());
        wcscpy(m_dlg->m_wszFolderName, L"Projects");
        std::strcpy(m_dlg->m_szPermission, "2200");
        m_dlg->m_bQuotaShown = quotaShown;
        m_dlg->m_bNewShare = newShare;
        CGShareDlg* dlg = m_dlg.get();
        return StartModal([dlg] { return dlg->DoModal(); }, L"Share Settings");
    }

    std::string m_folder;
    std::unique_ptr<CGShareDlg> m_dlg;
};

TEST_F(GShareDlgTest, MembersOfTheChosenDomainAreSavedWithTheirDomain)
{
    ASSERT_NE(nullptr, Open(false));
    uitest::ClickButton(m_dialog, 10081);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(L"Test", uitest::GetText(Item(10092)));
    EXPECT_EQ(4u, TreeLevel(nullptr).size());
    SelectRows(10058, {RowOf(10058, 2, L"Lee Jun(lee)"), 0});
    uitest::ClickButton(m_dialog, 10079);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10066)) == 2; }));
    Check(10045, true);
    uitest::ClickButton(m_dialog, 10083);
    ASSERT_EQ(IDOK, WaitModal());
    const auto sent = Last("G3");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("Y", sent[0].at(29));
    EXPECT_EQ(0u, sent[0].count(39));
    EXPECT_EQ("Y", sent[0].at(30));
    EXPECT_EQ("G", sent[1].at(24));
    EXPECT_EQ("g1", sent[1].at(176));
    EXPECT_EQ("1", sent[1].at(177));
    EXPECT_EQ("2200", sent[1].at(5));
    EXPECT_EQ("U002", sent[2].at(175));
    // What the server holds comes back as the dialog's members next time.
    ASSERT_EQ(0, m_proto.GetGShareInfo(const_cast<char*>(m_folder.c_str())));
    ASSERT_EQ(2u, m_proto.SharedUGroupInfo.size());
    EXPECT_STREQ("g1", m_proto.SharedUGroupInfo[0].GroupId);
}

TEST_F(GShareDlgTest, ASubShareSwitchedOffSendsNothingOfAShare)
{
    ASSERT_NE(nullptr, Open(false));
    Check(10045, true);
    Check(10068, true);
    Check(10075, true);
    Check(10076, true);
    Check(10074, true);
    SendMessageW(Item(10051), CB_SETCURSEL, 1, 0);
    uitest::SetText(Item(10108), L"3");
    Check(10045, false);
    uitest::ClickButton(m_dialog, 10083);
    ASSERT_EQ(IDOK, WaitModal());
    const auto sent = Last("G3");
    ASSERT_FALSE(sent.empty());
    const auto field = [&](int id) { return sent[0].count(id) ? sent[0].at(id) : std::string(); };
    EXPECT_EQ("N", field(29));
    EXPECT_EQ("N", field(31));
    EXPECT_EQ("N", field(45));
    EXPECT_EQ("N", field(37));
    EXPECT_EQ("", field(11));
    EXPECT_EQ("", field(199));
}

TEST_F(GShareDlgTest, QuotaUpToTheAvailableQuotaAndNoSubShareValueWithTheQuotaLine)
{
    // The test server offers 1000 MB.
    const struct {
        const wchar_t* typed;
        bool accepted;
    } cases[] = {{L"1001", false}, {L"1000", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.typed)));
        ASSERT_NE(nullptr, Open(true));
        EXPECT_FALSE(IsWindowVisible(Item(10045)));
        EXPECT_EQ(L"MB / 1000 MB", uitest::GetText(Item(10042)));
        uitest::SetText(Item(10033), c.typed);
        if (!c.accepted) {
            uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
            uitest::ClickButton(m_dialog, 10083);
            ASSERT_TRUE(box.WaitForCount(1));
            ASSERT_TRUE(Settle());
            EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"larger than"));
            EXPECT_EQ(L"", uitest::GetText(Item(10033)));
            uitest::ClickButton(m_dialog, IDCANCEL);
            ASSERT_EQ(IDCANCEL, WaitModal());
            continue;
        }
        uitest::ClickButton(m_dialog, 10083);
        ASSERT_EQ(IDOK, WaitModal());
        const auto sent = Last("G3");
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ("1000", sent[0].at(190));
        EXPECT_EQ(0u, sent[0].count(29));
        EXPECT_EQ("N", sent[0].at(39));
    }
}

}
