// The send-file dialog against the test server's organisation: receivers picked from the tree,
// users and groups alike, the expiry rules and the optional deletion of the source files.
#include <winsock2.h>
#include "ShareHost.h"
#include "SendFileDlg.h"
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

const wchar_t kTitle[] = L"Send Files";

class SendFileDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        SeedOrganisation();
        m_folder = MakeFolder("My Files/Out");
        m_fileA = MakeFile("My Files/Out/plan.txt", "plan");
        m_fileB = MakeFile("My Files/Out/notes.txt", "notes");
    }

    _SEND_FILES File(const std::string& idx, const wchar_t* name, bool deletable)
    {
        _SEND_FILES file = {};
        std::strcpy(file.szId, idx.c_str());
        std::strcpy(file.szParentId, m_folder.c_str());
        wcscpy(file.wszName, name);
        std::strcpy(file.szSize, "5");
        std::strcpy(file.szText, deletable ? "000000001" : "000000000");
        return file;
    }

    HWND Open(std::function<void(CSendFileDlg&)> setup)
    {
        m_dlg = std::make_unique<CSendFileDlg>();
        m_dlg->m_pProto = &m_proto;
        m_dlg->m_vecFiles = {File(m_fileA, L"plan.txt", true), File(m_fileB, L"notes.txt", false)};
        if (setup)
            setup(*m_dlg);
        CSendFileDlg* dlg = m_dlg.get();
        HWND wnd = StartModal([dlg] { return dlg->DoModal(); }, kTitle);
        if (wnd) {
            EXPECT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
            EXPECT_TRUE(WaitIdle());
        }
        return wnd;
    }

    void AddReceiver(const std::wstring& name)
    {
        const int row = RowOf(10058, 2, name);
        ASSERT_GE(row, 0) << testing::PrintToString(name);
        const int before = ListView_GetItemCount(Item(10190));
        SelectRows(10058, {row});
        uitest::ClickButton(m_dialog, 10079);
        ASSERT_TRUE(uitest::WaitUntil([&] { return ListView_GetItemCount(Item(10190)) == before + 1; }));
    }

    bool InFolder(const std::string& user, const std::string& path, const std::string& name)
    {
        return List(user, path).find(name + ":") != std::string::npos;
    }

    std::string m_folder, m_fileA, m_fileB;
    std::unique_ptr<CSendFileDlg> m_dlg;
};

TEST_F(SendFileDlgTest, AUserAndAGroupReceiveTheFiles)
{
    ASSERT_NE(nullptr, Open(nullptr));
    // The first group is loaded at once, with the send dialogs' flag.
    EXPECT_EQ("Y", Last("C0")[0].at(38));
    AddReceiver(L"Lee Jun(lee)");
    AddReceiver(L"Sales East");
    // The same row twice is one receiver.
    SelectRows(10058, {RowOf(10058, 2, L"Lee Jun(lee)")});
    uitest::ClickButton(m_dialog, 10079);
    uitest::PumpMessages();
    EXPECT_EQ((std::vector<std::wstring>{L"Lee Jun(lee)", L"Sales East"}), ListColumn(10190, 1));
    uitest::ClickButton(m_dialog, 10191);
    ASSERT_EQ(IDOK, WaitModal());

    const auto sent = Last("I3");
    ASSERT_EQ(5u, sent.size());
    EXPECT_EQ(m_fileA, sent[1].at(173));
    EXPECT_EQ(m_fileB, sent[2].at(173));
    EXPECT_EQ("U002", sent[3].at(175));
    // The group goes out under its own id.
    EXPECT_EQ("g11", sent[4].at(175));
    EXPECT_TRUE(InFolder("lee", "File box", "plan.txt"));
    EXPECT_TRUE(InFolder("park", "File box", "notes.txt"));   // a member of Sales East
    EXPECT_FALSE(InFolder("kim", "File box", "plan.txt"));
    // No deletion unless asked.
    EXPECT_TRUE(InFolder(road::kUser, "My Files/Out", "plan.txt"));
    EXPECT_FALSE(m_dlg->m_bFilesDeleted);
}

TEST_F(SendFileDlgTest, DeletionModeDeletesOnlyFilesThatAllowIt)
{
    ASSERT_NE(nullptr, Open([](CSendFileDlg& dlg) {
        dlg.m_cDeleteOption = 'Y';
        dlg.m_cDeleteMode = 'D';
    }));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(m_dialog, 10114));
    EXPECT_FALSE(IsWindowEnabled(Item(10114)));
    AddReceiver(L"Kim Minji(kim)");
    uitest::ClickButton(m_dialog, 10191);
    ASSERT_EQ(IDOK, WaitModal());
    EXPECT_TRUE(m_dlg->m_bFilesDeleted);
    EXPECT_FALSE(InFolder(road::kUser, "My Files/Out", "plan.txt"));
    EXPECT_TRUE(InFolder(road::kUser, "My Files/Out", "notes.txt"));
    EXPECT_TRUE(InFolder("kim", "File box", "plan.txt"));
}

TEST_F(SendFileDlgTest, ExpiryRules)
{
    const struct {
        char mode;
        bool checked, checkEnabled, pickerEnabled;
        const char* sent;   // field 13
    } cases[] = {
        {'Y', true, true, true, "2030-05-01"},
        {'N', false, true, false, ""},
        {'R', true, false, false, "2030-05-01"},   // sent although the user cannot change it
        {'X', false, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.mode));
        ASSERT_NE(nullptr, Open([&](CSendFileDlg& dlg) {
            dlg.m_cExpireMode = c.mode;
            std::strcpy(dlg.m_szDefaultExpire, "2030-05-01");
        }));
        EXPECT_EQ(c.checked, IsDlgButtonChecked(m_dialog, 10113) == BST_CHECKED);
        EXPECT_EQ(c.checkEnabled, IsWindowEnabled(Item(10113)) != FALSE);
        EXPECT_EQ(c.pickerEnabled, IsWindowEnabled(Item(10192)) != FALSE);
        AddReceiver(L"Kim Minji(kim)");
        uitest::ClickButton(m_dialog, 10191);
        ASSERT_EQ(IDOK, WaitModal());
        const auto sent = Last("I3");
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(c.sent, sent[0].count(13) ? sent[0].at(13) : std::string());
    }
}

TEST_F(SendFileDlgTest, NoReceiverIsRefused)
{
    ASSERT_NE(nullptr, Open(nullptr));
    uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
    uitest::ClickButton(m_dialog, 10191);
    ASSERT_TRUE(box.WaitForCount(1));
    EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"recipient"));
    EXPECT_TRUE(Last("I3").empty());
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

}
