// The share dialog and its user and group picker against the test server's organisation: the
// tree loads level by level over several pages, drops groups the server no longer lists,
// searches, and the dialog saves exactly what the server then holds.
#include <winsock2.h>
#include "ShareHost.h"
#include "ShareDlg.h"
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

const wchar_t kTitle[] = L"Share Settings";

class ShareDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        SeedOrganisation();
        m_folder = MakeFolder("My Files/Team");
    }

    // Fetches the share as the main program does, then runs the dialog.
    HWND Open(const char* permission = "2200")
    {
        EXPECT_EQ(0, m_proto.GetDShareInfo(const_cast<char*>(m_folder.c_str()))) << m_proto.Message();
        m_dlg = std::make_unique<CShareDlg>();
        m_dlg->m_pProto = &m_proto;
        std::strcpy(m_dlg->m_szFolderId, m_folder.c_str());
        wcscpy(m_dlg->m_wszFolderName, L"Team");
        std::strcpy(m_dlg->m_szPermission, permission);
        CShareDlg* dlg = m_dlg.get();
        return StartModal([dlg] { return dlg->DoModal(); }, kTitle);
    }

    // Opens the picker and waits for the first level and the first group's load.
    void OpenPicker()
    {
        uitest::ClickButton(m_dialog, 10081);
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
        ASSERT_TRUE(WaitIdle());
    }

    std::string m_folder;
    std::unique_ptr<CShareDlg> m_dlg;
};

TEST_F(ShareDlgTest, ThePickerLoadsLevelByLevelOverSeveralPages)
{
    ASSERT_NE(nullptr, Open());
    OpenPicker();
    // Four root groups over two pages; the first is loaded: five sub-groups over the pages that
    // also bring its two users.
    EXPECT_EQ((std::vector<std::wstring>{L"Sales", L"Research", L"Support", L"Legal"}), TreeLevel(nullptr));
    HTREEITEM sales = TreeChild(nullptr, L"Sales");
    ASSERT_NE(nullptr, sales);
    EXPECT_EQ((std::vector<std::wstring>{L"Sales East", L"Sales West", L"Sales North", L"Sales South",
                                         L"Sales Online"}),
              TreeLevel(sales));
    // The member list: the group itself, its sub-groups and its users.
    EXPECT_EQ((std::vector<std::wstring>{L"Sales", L"Sales East", L"Sales West", L"Sales North", L"Sales South",
                                         L"Sales Online", L"Kim Minji(kim)", L"Lee Jun(lee)"}),
              ListColumn(10058, 2));
    // Lazily: a sub-group's own level is not asked for until it is opened.
    HTREEITEM east = TreeChild(sales, L"Sales East");
    EXPECT_EQ(nullptr, TreeView_GetChild(Item(10057), east));
    TreeView_Expand(Item(10057), east, TVE_EXPAND);
    ASSERT_TRUE(uitest::WaitUntil([&] { return TreeView_GetChild(Item(10057), east) != nullptr; }));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ((std::vector<std::wstring>{L"Key Accounts"}), TreeLevel(east));
    // The expansion asked for the level with the share dialogs' flag.
    const auto last = Last("C0");
    ASSERT_FALSE(last.empty());
    EXPECT_EQ("g11", last[0].at(176));
    EXPECT_EQ("N", last[0].at(38));

    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

TEST_F(ShareDlgTest, GroupsTheServerNoLongerListsAreSweptOnTheNextLoad)
{
    ASSERT_NE(nullptr, Open());
    OpenPicker();
    HTREEITEM sales = TreeChild(nullptr, L"Sales");
    ASSERT_EQ(5u, TreeLevel(sales).size());
    ASSERT_EQ("OK", Control("GROUP id=g13 remove=Y").substr(0, 2));
    ASSERT_EQ("OK", Control("GROUP id=g16 name=Sales%20Export parent=g1").substr(0, 2));
    // Another group, then Sales again: its level is loaded anew.
    TreeView_SelectItem(Item(10057), TreeChild(nullptr, L"Research"));
    ASSERT_TRUE(WaitIdle());
    TreeView_SelectItem(Item(10057), sales);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ((std::vector<std::wstring>{L"Sales East", L"Sales West", L"Sales South", L"Sales Online",
                                         L"Sales Export"}),
              TreeLevel(sales));
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

TEST_F(ShareDlgTest, SearchListsMatchesAndRefusesAnEmptyRequest)
{
    ASSERT_NE(nullptr, Open());
    OpenPicker();
    {
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::SetText(Item(10064), L"");
        uitest::ClickButton(m_dialog, 10084);
        ASSERT_TRUE(box.WaitForCount(1));
        ASSERT_TRUE(Settle());
        EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"search term")) << box.Seen()[0].texts.back();
    }
    uitest::SetText(Item(10064), L"park");
    Check(10061, false);
    Check(10062, true);
    uitest::ClickButton(m_dialog, 10084);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) == 1; }));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ((std::vector<std::wstring>{L"Park Hana(park)"}), ListColumn(10058, 2));
    EXPECT_EQ(L"1", uitest::GetText(Item(10109)));
    const auto last = Last("C1");
    ASSERT_FALSE(last.empty());
    EXPECT_EQ("U", last[0].at(24));
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

TEST_F(ShareDlgTest, SavesMembersWithTheirPermissionWords)
{
    ASSERT_NE(nullptr, Open("2200"));
    OpenPicker();
    // Kim with the preset word; the Sales group with view, read, write and delete-own.
    SelectRows(10058, {RowOf(10058, 2, L"Kim Minji(kim)")});
    uitest::ClickButton(m_dialog, 10079);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10066)) == 1; }));
    Check(10088, true);
    Check(10091, true);
    SelectRows(10058, {0});
    uitest::ClickButton(m_dialog, 10079);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10066)) == 2; }));
    // Copying the same rows again adds nothing.
    SelectRows(10058, {0, RowOf(10058, 2, L"Kim Minji(kim)")});
    uitest::ClickButton(m_dialog, 10079);
    uitest::PumpMessages();
    Check(10045, true);
    uitest::ClickButton(m_dialog, 10083);
    ASSERT_EQ(IDOK, WaitModal());

    const auto sent = Last("G1");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("Y", sent[0].at(29));
    EXPECT_EQ(0u, sent[0].count(198));
    EXPECT_EQ("U", sent[1].at(24));
    EXPECT_EQ("U001", sent[1].at(175));
    EXPECT_EQ("2200", sent[1].at(5));
    EXPECT_EQ("G", sent[2].at(24));
    EXPECT_EQ("g1", sent[2].at(176));
    EXPECT_EQ("2221", sent[2].at(5));
    // What the server now holds.
    ASSERT_EQ(0, m_proto.GetDShareInfo(const_cast<char*>(m_folder.c_str())));
    EXPECT_EQ('Y', m_proto.SharedInfo.cShare[0]);
    ASSERT_EQ(2u, m_proto.SharedUGroupInfo.size());
    EXPECT_STREQ("2200", m_proto.SharedUGroupInfo[0].Permission);
    EXPECT_STREQ("g1", m_proto.SharedUGroupInfo[1].GroupId);
    EXPECT_STREQ("2221", m_proto.SharedUGroupInfo[1].Permission);
}

TEST_F(ShareDlgTest, PasswordIsKeptAsStarUnlessTypedAndSharingOffSendsNothingElse)
{
    // A share with a password and a period, made through the dialog's own request.
    m_proto.SharedUGroupInfo.clear();
    ASSERT_EQ(0, m_proto.SetDShareInfo(const_cast<char*>(m_folder.c_str()), L"Team", const_cast<char*>("Y"),
                                       CString(L"secret"), const_cast<char*>("2026-01-01"),
                                       const_cast<char*>("2026-12-31"), true));
    const struct {
        const wchar_t* typed;      // null: the password is not touched
        bool shareOn;
        const char* password;      // field 198 as sent; null: absent
        const char* from;
    } cases[] = {
        {nullptr, true, "*", "2026-01-01"},
        {L"**********", true, "**********", "2026-01-01"},   // typed, even if the same text
        {L"fresh", true, "fresh", "2026-01-01"},
        {nullptr, false, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password ? c.password : "(none)");
        ASSERT_NE(nullptr, Open());
        ASSERT_TRUE(IsDlgButtonChecked(m_dialog, 10067) == BST_CHECKED);
        EXPECT_EQ(L"**********", uitest::GetText(Item(10078)));
        if (c.typed)
            uitest::SetText(Item(10078), c.typed);
        Check(10045, c.shareOn);
        uitest::ClickButton(m_dialog, 10083);
        ASSERT_EQ(IDOK, WaitModal());
        const auto sent = Last("G1");
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(c.shareOn ? "Y" : "N", sent[0].at(29));
        if (c.password)
            EXPECT_EQ(c.password, sent[0].count(198) ? sent[0].at(198) : "(absent)");
        else
            EXPECT_TRUE(sent[0].count(198) == 0 || sent[0].at(198).empty());
        if (c.from)
            EXPECT_EQ(c.from, sent[0].at(11));
        else
            EXPECT_TRUE(sent[0].count(11) == 0 || sent[0].at(11).empty());
        if (!c.shareOn)
            break;
        // Back to the stored password for the next case.
        ASSERT_EQ(0, m_proto.SetDShareInfo(const_cast<char*>(m_folder.c_str()), L"Team", const_cast<char*>("Y"),
                                           CString(L"secret"), const_cast<char*>("2026-01-01"),
                                           const_cast<char*>("2026-12-31"), true));
    }
}

TEST_F(ShareDlgTest, AnEmptyPasswordIsRefused)
{
    ASSERT_NE(nullptr, Open());
    Check(10045, true);
    Check(10067, true);
    uitest::SetText(Item(10078), L"");
    uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
    uitest::ClickButton(m_dialog, 10083);
    ASSERT_TRUE(box.WaitForCount(1));
    EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"Enter the password"));
    EXPECT_TRUE(IsWindow(m_dialog));
    EXPECT_TRUE(Last("G1").empty());
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

}

namespace {

TEST_F(ShareDlgTest, TheWidenedWindowStaysOnTheScreen)
{
    const int screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int screenRight = screenLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const struct {
        const char* where;
        bool atRightEdge;   // else at the left edge
    } cases[] = {{"at the right edge", true}, {"at the left edge", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        ASSERT_NE(nullptr, Open());
        RECT narrow = {};
        GetWindowRect(m_dialog, &narrow);
        const int width = narrow.right - narrow.left;
        const int x = c.atRightEdge ? screenRight - width : screenLeft;
        SetWindowPos(m_dialog, nullptr, x, narrow.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        OpenPicker();
        RECT wide = {};
        GetWindowRect(m_dialog, &wide);
        EXPECT_GT(wide.right - wide.left, width);
        if (c.atRightEdge)
            EXPECT_EQ(screenRight, wide.right);
        else
            EXPECT_EQ(0, wide.left);
        uitest::ClickButton(m_dialog, IDCANCEL);
        ASSERT_EQ(IDCANCEL, WaitModal());
    }
}

}

namespace {

std::wstring ItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[256] = {};
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = 256;
    TreeView_GetItem(tree, &tv);
    return text;
}

TEST_F(ShareDlgTest, AtTheSiteThatAsksForItThePickerOpensOnTheUsersOwnGroup)
{
    ASSERT_EQ("OK", Control("USER id=choi password=pw name=Choi%20Yuna position=Clerk code=U004 group=g111 "
                            "department=Key%20Accounts").substr(0, 2));
    const std::string reply = Control("FOLDER user=choi -- My Files/Plans");
    ASSERT_EQ("OK", reply.substr(0, 2)) << reply;
    const std::string folder = protoserver::Control::Value(reply, "idx");
    protoserver::TestProto choi;
    choi.Aim(m_ports.port, "20");
    ASSERT_EQ(0, LogIn(choi, "choi", "pw")) << choi.Message();
    // The log-in names the user's groups from the top.
    ASSERT_STREQ("g1,g11,g111", choi.GroupFullPath);

    for (const wchar_t* site : {L"YH", L""}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(site)));
        choi.CustomerCode = site;
        ASSERT_EQ(0, choi.GetDShareInfo(const_cast<char*>(folder.c_str()))) << choi.Message();
        CShareDlg dlg;
        dlg.m_pProto = &choi;
        std::strcpy(dlg.m_szFolderId, folder.c_str());
        ASSERT_NE(nullptr, StartModal([&] { return dlg.DoModal(); }, kTitle));
        uitest::ClickButton(m_dialog, 10081);
        HWND tree = Item(10057);
        const std::wstring expected = site[0] ? L"Key Accounts" : L"Sales";
        EXPECT_TRUE(uitest::WaitUntil([&] { return ItemText(tree, TreeView_GetSelection(tree)) == expected; }, 10000))
            << testing::PrintToString(ItemText(tree, TreeView_GetSelection(tree)));
        ASSERT_TRUE(WaitIdle());
        // The member list shows the selected group, and the path down to it is open.
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }));
        EXPECT_EQ(expected, ListColumn(10058, 2).at(0));
        HTREEITEM sales = TreeChild(nullptr, L"Sales");
        HTREEITEM east = TreeChild(sales, L"Sales East");
        const bool open = east && (TreeView_GetItemState(tree, east, TVIS_EXPANDED) & TVIS_EXPANDED);
        EXPECT_EQ(site[0] != 0, open);
        uitest::ClickButton(m_dialog, IDCANCEL);
        EXPECT_EQ(IDCANCEL, WaitModal());
    }
}

}
