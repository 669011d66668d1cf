// The shortcut list against the test server: opening a shortcut hands its path to the main
// window's tree (which frees it), deleting removes the checked shortcuts on the server and
// asks the main window to refresh its alerts.
#include <winsock2.h>
#include "ShareHost.h"
#include "ShortCutDlg.h"
#include "AutoAnswer.h"
#include "ToviMessages.h"
#include "WindowDriver.h"
#include <atomic>
#include <cstring>
#include <mutex>

using namespace sharetest;

namespace {

std::mutex g_lock;
std::vector<std::wstring> g_opened;
std::atomic<int> g_alerts{0};

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_OPEN_SHORTCUT_PATH) {
        auto* path = reinterpret_cast<CString*>(wParam);
        std::lock_guard<std::mutex> lock(g_lock);
        g_opened.push_back(path->GetString());
        delete path;   // the receiver's to free
        return 0;
    }
    if (msg == WM_ALERT_UPDATE) {
        ++g_alerts;
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

class ShortCutDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        g_opened.clear();
        g_alerts = 0;
        for (const char* path : {"My Files/Alpha", "My Files/Beta", "My Files/Gamma"})
            m_folders.push_back(MakeFolder(path));
        std::vector<char*> ids;
        for (std::string& idx : m_folders)
            ids.push_back(&idx[0]);
        ASSERT_EQ(0, m_proto.AddShortcut(ids)) << m_proto.Message();
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = MainProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ShareTestMain";
            RegisterClassW(&wc);
            m_main = CreateWindowExW(0, L"ShareTestMain", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                     nullptr);
        });
        ASSERT_NE(nullptr, m_main);
    }

    void TearDown() override
    {
        ShareHost::TearDown();
        m_ui.Run([this] { DestroyWindow(m_main); });
    }

    HWND Open()
    {
        EXPECT_EQ(0, m_proto.GetShortcutList());
        m_dlg = std::make_unique<CShortCutDlg>();
        m_dlg->m_pProto = &m_proto;
        m_dlg->m_hMainWnd = m_main;
        m_dlg->m_hTreeView = m_main;
        m_dlg->SetShortcutList(m_proto.ShortcutList);
        CShortCutDlg* dlg = m_dlg.get();
        return StartModal([dlg] { return dlg->DoModal(); }, L"Folder Shortcut");
    }

    std::vector<std::string> m_folders;
    HWND m_main = nullptr;
    std::unique_ptr<CShortCutDlg> m_dlg;
};

TEST_F(ShortCutDlgTest, OpeningHandsThePathToTheTree)
{
    ASSERT_NE(nullptr, Open());
    const auto paths = ListColumn(10235, 0);
    ASSERT_EQ(3u, paths.size());
    SelectRows(10235, {1});
    uitest::ClickButton(m_dialog, 10238);
    ASSERT_EQ(IDOK, WaitModal());
    std::lock_guard<std::mutex> lock(g_lock);
    EXPECT_EQ((std::vector<std::wstring>{paths[1]}), g_opened);
}

TEST_F(ShortCutDlgTest, OpeningWithoutASelectionJustCloses)
{
    ASSERT_NE(nullptr, Open());
    SelectRows(10235, {});
    uitest::ClickButton(m_dialog, 10238);
    ASSERT_EQ(IDOK, WaitModal());
    std::lock_guard<std::mutex> lock(g_lock);
    EXPECT_TRUE(g_opened.empty());
}

TEST_F(ShortCutDlgTest, CheckedShortcutsAreDeletedFromTheBottomUp)
{
    ASSERT_NE(nullptr, Open());
    const auto paths = ListColumn(10235, 0);
    const std::vector<_SHORTCUT_LIST> shown = m_proto.ShortcutList;
    ASSERT_EQ(3u, shown.size());
    {
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::ClickButton(m_dialog, 10237);
        ASSERT_TRUE(box.WaitForCount(1));
        ASSERT_TRUE(Settle());
        EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"Select an item"));
    }
    EXPECT_EQ("Y", Last("D6")[0].at(99));   // still the request that added them
    EXPECT_EQ(0, g_alerts.load());
    ListView_SetCheckState(Item(10235), 0, TRUE);
    ListView_SetCheckState(Item(10235), 2, TRUE);
    uitest::ClickButton(m_dialog, 10237);
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10235)) == 1; }));
    ASSERT_TRUE(uitest::WaitUntil([] { return g_alerts.load() == 1; }));
    // The dialog stays, with what is left.
    EXPECT_EQ((std::vector<std::wstring>{paths[1]}), ListColumn(10235, 0));
    const auto sent = Last("D6");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("N", sent[0].at(99));
    // From the bottom up.
    EXPECT_EQ(shown[2].Index, sent[1].at(173));
    EXPECT_EQ(shown[0].Index, sent[2].at(173));
    ASSERT_EQ(0, m_proto.GetShortcutList());
    ASSERT_EQ(1u, m_proto.ShortcutList.size());
    EXPECT_STREQ(shown[1].Index, m_proto.ShortcutList[0].Index);
    uitest::ClickButton(m_dialog, 10125);
    EXPECT_EQ(IDOK, WaitModal());
}

}
