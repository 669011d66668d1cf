// The link list against the test server: a file's links listed, added through the link
// creation dialog, removed, and their addresses copied to the clipboard.
#include <winsock2.h>
#include "ShareHost.h"
#include "LinkInfoDlg.h"
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class LinkInfoDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        m_folder = MakeFolder("My Files/Shared");
        m_file = MakeFile("My Files/Shared/deck.ppt", "slides");
        ASSERT_EQ("OK", Control("OPTION A1 67=1 68=1 69=1 162=0").substr(0, 2));
        ASSERT_EQ(0, m_proto.GetOption());
    }

    void AddLink(const char* expiry)
    {
        _PROTO_LINK_INFO link = {};
        std::strcpy(link.szExpire, expiry);
        ASSERT_EQ(0, m_proto.SetLinkInfo(const_cast<char*>(m_file.c_str()), const_cast<char*>(m_folder.c_str()),
                                         const_cast<char*>("C"), &link));
    }

    HWND Open()
    {
        m_dlg = std::make_unique<CLinkInfoDlg>();
        m_dlg->m_pProto = &m_proto;
        std::strcpy(m_dlg->m_szFolderId, m_folder.c_str());
        std::strcpy(m_dlg->m_szItemId, m_file.c_str());
        wcscpy(m_dlg->m_wszFileName, L"deck.ppt");
        CLinkInfoDlg* dlg = m_dlg.get();
        return StartModal([dlg] { return dlg->DoModal(); }, L"Links");
    }

    static std::wstring Clipboard()
    {
        std::wstring text;
        if (!OpenClipboard(nullptr))
            return L"(not open)";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }

    std::string m_folder, m_file;
    std::unique_ptr<CLinkInfoDlg> m_dlg;
};

TEST_F(LinkInfoDlgTest, ListsCopiesAndRemovesLinks)
{
    AddLink("2030-01-01");
    AddLink("");
    ASSERT_NE(nullptr, Open());
    const auto urls = ListColumn(10093, 0);
    ASSERT_EQ(2u, urls.size());
    EXPECT_EQ(0u, urls[0].find(L"http://"));
    EXPECT_EQ((std::vector<std::wstring>{L"2030-01-01", L""}), ListColumn(10093, 1));

    // Both selected: both addresses, each ending with CR LF.
    SelectRows(10093, {0, 1});
    uitest::ClickButton(m_dialog, 10118);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Clipboard() == urls[0] + L"\r\n" + urls[1] + L"\r\n"; }))
        << testing::PrintToString(Clipboard());

    // Removing the first: the list mirrors what the server kept.
    SelectRows(10093, {0});
    uitest::ClickButton(m_dialog, 10117);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10093)) == 1; }));
    EXPECT_EQ((std::vector<std::wstring>{urls[1]}), ListColumn(10093, 0));
    EXPECT_EQ("D", Last("I0")[0].at(42));
    uitest::ClickButton(m_dialog, IDCANCEL);
    ASSERT_EQ(IDCANCEL, WaitModal());
    EXPECT_EQ(1, m_dlg->m_nChanged);
}

TEST_F(LinkInfoDlgTest, NothingSelectedIsRefusedAndAddingSetsTheChangedFlag)
{
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, ListView_GetItemCount(Item(10093)));
    for (int button : {10116, 10117, 10118}) {
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::ClickButton(m_dialog, button);
        ASSERT_TRUE(box.WaitForCount(1)) << button;
        ASSERT_TRUE(Settle());
        EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"Select an item")) << button;
    }
    uitest::ClickButton(m_dialog, 10115);
    HWND create = uitest::WaitForDialog(L"Link");
    ASSERT_NE(nullptr, create);
    uitest::ClickButton(create, IDOK);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10093)) == 1; }));
    EXPECT_EQ("C", Last("I0")[0].at(42));
    uitest::ClickButton(m_dialog, 10125);
    ASSERT_EQ(IDCANCEL, WaitModal());
    EXPECT_EQ(1, m_dlg->m_nChanged);
}

TEST_F(LinkInfoDlgTest, TheContextMenuOffersTheCopyOnlyOnASelectedRow)
{
    AddLink("");
    ASSERT_NE(nullptr, Open());
    HWND list = Item(10093);
    const struct {
        bool onRow;
        bool enabled;
    } cases[] = {{false, false}, {true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.onRow ? "on the row" : "on empty space");
        RECT row = {};
        ListView_GetItemRect(list, 0, &row, LVIR_LABEL);
        POINT at = {row.left + 5, c.onRow ? (row.top + row.bottom) / 2 : row.bottom + 40};
        SelectRows(10093, {0});
        POINT screen = at;
        ClientToScreen(list, &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        HWND menu = uitest::WaitForWindow(L"#32768", nullptr);
        ASSERT_NE(nullptr, menu);
        HMENU popup = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        ASSERT_NE(nullptr, popup);
        const UINT state = GetMenuState(popup, 32771, MF_BYCOMMAND);
        EXPECT_EQ(c.enabled, (state & (MF_GRAYED | MF_DISABLED)) == 0) << state;
        PostMessageW(m_dialog, WM_CANCELMODE, 0, 0);
        ASSERT_TRUE(uitest::WaitForWindowGone(menu));
    }
    uitest::ClickButton(m_dialog, IDCANCEL);
    ASSERT_EQ(IDCANCEL, WaitModal());
}

}
