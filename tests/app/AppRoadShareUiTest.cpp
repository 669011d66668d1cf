// The share dialog in CorvaneIXO.exe itself, opened from a folder row's menu in English and
// Korean: the permission legend beside the checks, the skinned buttons, the password check's
// whole text; a screenshot of each language goes to the test's scratch folder.
#include "AppRun.h"
#include "PixelCapture.h"
#include "ServerContextMenu.h"
#include "ShareRes.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>

using namespace apprun;

namespace {

class AppRoadShare : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_name = "Share" + std::to_string(::GetTickCount64());
        m_folder = "My Files/" + m_name;
        Put("FOLDER user=demo -- " + m_folder);
        Put("FOLDER user=demo -- " + m_folder + "/Team");
        // Sharing alone allowed: the folder row's menu starts with it.
        std::string only(31, '0');
        only[servermenu::SHARE] = '1';
        Put("PERM idx=" + Idx(m_folder + "/Team") + " value=" + only);
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }

    void Put(const std::string& line)
    {
        const std::string reply = Control(line);
        ASSERT_EQ("OK", reply.substr(0, 2)) << line << ": " << reply;
    }

    // Logs in in the language, opens the test's folder and the share dialog of its one row.
    HWND OpenShare(unsigned short language)
    {
        HWND frame = LaunchShowing(language, std::wstring());
        if (!frame)
            return nullptr;
        const MainPanes panes = PanesOf(frame);
        EXPECT_TRUE(panes.All());
        HTREEITEM myFiles = nullptr, own = nullptr;
        EXPECT_TRUE(uitest::WaitUntil([&] { return (myFiles = RemoteTreeChild(panes.serverTree, nullptr, L"My Files")) != nullptr; }, 20000));
        ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(myFiles));
        const std::wstring name(m_name.begin(), m_name.end());
        EXPECT_TRUE(uitest::WaitUntil([&] { return (own = RemoteTreeChild(panes.serverTree, myFiles, name)) != nullptr; }, 20000));
        ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(own));
        EXPECT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(panes.serverList, L"Team") >= 0; }, 20000));
        if (!ClickListRow(panes.serverList, L"Team") ||
            !ChooseFromListMenu(frame, panes.serverList, RemoteListRow(panes.serverList, L"Team"), 1) || !MenuClosed())
            return nullptr;
        return WaitForDialogWith(IDC_SHARE_SAVE);
    }

    std::string m_name, m_folder;
};

TEST_F(AppRoadShare, TheShareDialogShowsItsLegendAndSkinnedButtonsInBothLanguages)
{
    const std::wstring dir = testpaths::ScratchDir(L"AppShareShots");
    for (unsigned short language : {LANG_ENGLISH, LANG_KOREAN}) {
        SCOPED_TRACE(language);
        HWND share = OpenShare(language);
        ASSERT_NE(nullptr, share) << "no share dialog";
        ::Sleep(300);
        for (int id : {IDC_SHARE_LEGEND_VIEW, IDC_SHARE_LEGEND_VIEW_OWN, IDC_SHARE_LEGEND_READ, IDC_SHARE_LEGEND_WRITE,
                       IDC_SHARE_LEGEND_DELETE, IDC_SHARE_LEGEND_DELETE_OWN}) {
            HWND icon = ::GetDlgItem(share, id);
            EXPECT_TRUE(::IsWindowVisible(icon)) << id;
            EXPECT_NE(nullptr, reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0))) << id;
        }
        // Without the viewer digit its check and legend stay hidden.
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(share, IDC_SHARE_LEGEND_VIEWER)));
        for (int id : {IDC_SHARE_SAVE, IDCANCEL, IDC_SHARE_APPLY_PERM, IDC_SHARE_ADD, IDC_PICKER_REMOVE, IDC_SHARE_HELP})
            EXPECT_EQ(BS_OWNERDRAW, ::GetWindowLongW(::GetDlgItem(share, id), GWL_STYLE) & BS_TYPEMASK) << id;
        EXPECT_EQ(language == LANG_ENGLISH ? L"Use a password" : L"\xBE44\xBC00\xBC88\xD638 \xC0AC\xC6A9",
                  uitest::GetText(::GetDlgItem(share, IDC_SHARE_PASSWORD_ON)));
        EXPECT_EQ(language == LANG_ENGLISH ? L"Permission Help" : L"\xAD8C\xD55C \xB3C4\xC6C0\xB9D0",
                  uitest::GetText(::GetDlgItem(share, IDC_SHARE_HELP)));
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(share, 500),
                                    dir + (language == LANG_ENGLISH ? L"\\share-en.png" : L"\\share-ko.png")));
        Click(share, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(share); }, 10000));
        ASSERT_TRUE(ExitFromTray());
        EndProcess();
    }
}

}
