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

    HWND Open(bool quotaShown, bool newShare = false, const std::function<void(CGShareDlg&)>& options = {})
    {
        m_dlg = std::make_unique<CGShareDlg>();
        if (options)
            options(*m_dlg);
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

// A control's rectangle in the dialog's client coordinates.
RECT ClientRect(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(GShareDlgTest, ReadOnlySettingsAreLockedForAnyoneButTheMaster)
{
    const struct {
        char readOnly;
        const char* master;
        bool locked;
    } cases[] = {
        {'Y', "N", true},
        {'Y', "Y", false},
        {'N', "N", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("read-only ") + c.readOnly + ", master " + c.master);
        ASSERT_EQ("OK", Control(std::string("SWITCH groupShareMaster=") + c.master).substr(0, 2));
        ASSERT_NE(nullptr, Open(true, false, [&](CGShareDlg& dlg) { dlg.m_cReadOnly = c.readOnly; }));
        // The quota line is the master's own business in any case; the rest follows the option.
        for (int id : {10104, 10068, 10077, 10075, 10076})
            EXPECT_EQ(!c.locked, IsWindowEnabled(Item(id)) != FALSE) << id;
        // Members stay open to change.
        EXPECT_TRUE(IsWindowEnabled(Item(10081)));
        uitest::ClickButton(m_dialog, IDCANCEL);
        ASSERT_EQ(IDCANCEL, WaitModal());
    }
}

TEST_F(GShareDlgTest, OpeningThePickerWidensTheWindowAndWithoutADomainChoiceItsListsTakeTheDomainRow)
{
    for (const char option : {'Y', 'N'}) {
        SCOPED_TRACE(std::string("domain option ") + option);
        ASSERT_NE(nullptr, Open(false, false, [&](CGShareDlg& dlg) { dlg.m_cDomainOption = option; }));
        const RECT heading = ClientRect(m_dialog, 10143), combo = ClientRect(m_dialog, 10092),
                   tree = ClientRect(m_dialog, 10057), members = ClientRect(m_dialog, 10058);
        std::vector<RECT> searchRow;
        for (int id : {10061, 10062, 10063, 10064, 10084})
            searchRow.push_back(ClientRect(m_dialog, id));
        RECT narrow = {};
        GetClientRect(m_dialog, &narrow);
        const RECT ok = ClientRect(m_dialog, 10083), cancel = ClientRect(m_dialog, IDCANCEL);
        uitest::ClickButton(m_dialog, 10081);
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
        ASSERT_TRUE(WaitIdle());
        const bool moved = option == 'N';
        const LONG up = moved ? tree.top - combo.top : 0;
        EXPECT_EQ(!moved, IsWindowVisible(Item(10092)) != FALSE);
        EXPECT_EQ(!moved, IsWindowVisible(Item(10143)) != FALSE);
        EXPECT_EQ(moved, IsWindowVisible(Item(10147)) != FALSE);
        if (moved) {
            EXPECT_EQ(heading.left, ClientRect(m_dialog, 10147).left);
            EXPECT_EQ(heading.top, ClientRect(m_dialog, 10147).top);
        }
        const RECT treeNow = ClientRect(m_dialog, 10057), membersNow = ClientRect(m_dialog, 10058);
        EXPECT_EQ(tree.top - up, treeNow.top);
        EXPECT_EQ(tree.bottom - tree.top + (moved ? 6 : 0), treeNow.bottom - treeNow.top);
        EXPECT_EQ(members.top - up, membersNow.top);
        EXPECT_EQ(members.bottom, membersNow.bottom);
        const int ids[] = {10061, 10062, 10063, 10064, 10084};
        for (size_t i = 0; i < searchRow.size(); ++i)
            EXPECT_EQ(searchRow[i].top - up, ClientRect(m_dialog, ids[i]).top) << ids[i];
        // OK and Cancel keep their distance from the right edge of the widened window.
        RECT wide = {};
        GetClientRect(m_dialog, &wide);
        EXPECT_GT(wide.right, narrow.right);
        EXPECT_EQ(narrow.right - ok.left, wide.right - ClientRect(m_dialog, 10083).left);
        EXPECT_EQ(narrow.right - cancel.left, wide.right - ClientRect(m_dialog, IDCANCEL).left);
        EXPECT_EQ(ok.top, ClientRect(m_dialog, 10083).top);
        // Nothing moved onto anything else.
        EXPECT_LT(treeNow.bottom, ClientRect(m_dialog, 10061).top);
        // The tree still holds the organisation.
        EXPECT_EQ(4u, TreeLevel(nullptr).size());
        uitest::ClickButton(m_dialog, IDCANCEL);
        ASSERT_EQ(IDCANCEL, WaitModal());
    }
}

TEST_F(GShareDlgTest, ANewShareStartsFromTheServersAutomaticDeletion)
{
    const struct {
        const char* options;      // the server's defaults: mode (37) and count (199)
        bool newShare;
        const char* master;       // G2 52 of the folder
        bool checked;
        int mode;                 // combo entry; -1 none
        const wchar_t* count;
        bool enabled;
    } cases[] = {
        {"37=A 199=5", true, "Y", true, 1, L"5", true},
        {"37=D 199=12", true, "Y", true, 0, L"12", true},
        {"37=D 199=0", true, "Y", false, -1, L"", true},
        // An existing folder of the user's own keeps its own (none here).
        {"37=A 199=5", false, "Y", false, -1, L"", true},
        // Another's folder that is not shared shows the defaults, but not for changing.
        {"37=A 199=5", false, "N", true, 1, L"5", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.options) + (c.newShare ? " new" : " existing") + " master " + c.master);
        ASSERT_EQ("OK", Control(std::string("OPTION A1 ") + c.options).substr(0, 2));
        ASSERT_EQ(0, m_proto.GetOption());
        ASSERT_EQ("OK", Control(std::string("SWITCH groupShareMaster=") + c.master).substr(0, 2));
        ASSERT_NE(nullptr, Open(true, c.newShare));
        EXPECT_EQ(c.checked, IsDlgButtonChecked(m_dialog, 10074) == BST_CHECKED);
        EXPECT_EQ(c.mode, static_cast<int>(SendMessageW(Item(10051), CB_GETCURSEL, 0, 0)));
        EXPECT_EQ(std::wstring(c.count), uitest::GetText(Item(10108)));
        EXPECT_EQ(c.enabled, IsWindowEnabled(Item(10074)) != FALSE);
        uitest::ClickButton(m_dialog, IDCANCEL);
        ASSERT_EQ(IDCANCEL, WaitModal());
    }
    Control("OPTION A1 37= 199=");
}

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
