// The share dialog's picker against a server without any group: its search cannot search in
// anything, so the button says so by being disabled; with groups it stays usable.
#include <winsock2.h>
#include "ShareHost.h"
#include "ShareDlg.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class SharePickerOrganisationTest : public ShareHost {
protected:
    HWND OpenPicker()
    {
        const std::string folder = MakeFolder("My Files/Team");
        EXPECT_EQ(0, m_proto.GetDShareInfo(const_cast<char*>(folder.c_str()))) << m_proto.Message();
        m_dlg = std::make_unique<CShareDlg>();
        m_dlg->m_pProto = &m_proto;
        std::strcpy(m_dlg->m_szFolderId, folder.c_str());
        wcscpy(m_dlg->m_wszFolderName, L"Team");
        std::strcpy(m_dlg->m_szPermission, "2200");
        CShareDlg* dlg = m_dlg.get();
        if (!StartModal([dlg] { return dlg->DoModal(); }, L"Share Settings"))
            return nullptr;
        uitest::ClickButton(m_dialog, 10081);
        // The root level was asked for and answered.
        EXPECT_TRUE(uitest::WaitUntil([this] { return !Last("C0").empty(); }, 10000));
        EXPECT_TRUE(WaitIdle());
        return m_dialog;
    }

    void Close()
    {
        uitest::ClickButton(m_dialog, IDCANCEL);
        EXPECT_EQ(IDCANCEL, WaitModal());
    }

    std::unique_ptr<CShareDlg> m_dlg;
};

TEST_F(SharePickerOrganisationTest, WithoutAnyGroupTheSearchButtonIsDisabled)
{
    ASSERT_NE(nullptr, OpenPicker());
    EXPECT_EQ(nullptr, TreeView_GetRoot(Item(10057)));
    ASSERT_TRUE(uitest::WaitUntil([this] { return !IsWindowEnabled(Item(10084)); }, 10000));
    Close();
}

TEST_F(SharePickerOrganisationTest, WithGroupsTheSearchButtonStaysEnabled)
{
    SeedOrganisation();
    ASSERT_NE(nullptr, OpenPicker());
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
    ASSERT_TRUE(WaitIdle());
    EXPECT_NE(nullptr, TreeView_GetRoot(Item(10057)));
    EXPECT_TRUE(IsWindowEnabled(Item(10084)));
    Close();
}

}
