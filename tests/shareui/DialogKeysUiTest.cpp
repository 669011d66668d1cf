// The sharing dialogs' own keys, one row each: Enter in the picker's search box searches, Enter
// elsewhere in the share dialog does not, and Enter anywhere in the guest dialog saves.
#include <winsock2.h>
#include "ShareHost.h"
#include "GuestDlg.h"
#include "ShareDlg.h"
#include "WindowDriver.h"
#include <cstring>
#include <functional>

using namespace sharetest;

namespace {

class DialogKeysTest : public ShareHost {
public:
    HWND OpenShare()
    {
        const std::string folder = MakeFolder("My Files/Team");
        EXPECT_EQ(0, m_proto.GetDShareInfo(const_cast<char*>(folder.c_str()))) << m_proto.Message();
        m_share = std::make_unique<CShareDlg>();
        m_share->m_pProto = &m_proto;
        std::strcpy(m_share->m_szFolderId, folder.c_str());
        wcscpy(m_share->m_wszFolderName, L"Team");
        std::strcpy(m_share->m_szPermission, "2200");
        CShareDlg* dlg = m_share.get();
        if (!StartModal([dlg] { return dlg->DoModal(); }, L"Share Settings"))
            return nullptr;
        uitest::ClickButton(m_dialog, 10081);
        EXPECT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
        EXPECT_TRUE(WaitIdle());
        uitest::SetText(Item(10064), L"Kim");
        return m_dialog;
    }

    HWND OpenGuest()
    {
        const std::string folder = MakeFolder("My Files/Partners");
        m_guest = std::make_unique<CGuestDlg>();
        m_guest->m_session.CopyFrom(m_proto);
        std::strcpy(m_guest->m_szFolderId, folder.c_str());
        std::strcpy(m_guest->m_szResetOption, "N");
        wcscpy(m_guest->m_wszFolderName, L"Partners");
        CGuestDlg* dlg = m_guest.get();
        if (!StartModal([dlg] { return dlg->DoModal(); }, L"Guest Settings"))
            return nullptr;
        // The folder's guest is read first; the dialog takes input once it has it.
        EXPECT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDOK)) != FALSE; }));
        uitest::SetText(Item(10105), L"anna@example.com");
        uitest::SetText(Item(10033), L"300");
        Check(10087, true);
        return m_dialog;
    }

protected:
    // Moves the focus on the dialog's own thread, as a click or Tab would.
    bool FocusOn(int id)
    {
        HWND control = Item(id);
        ::PostMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        return uitest::WaitUntil([control] {
            GUITHREADINFO info = {sizeof(info)};
            return ::GetGUIThreadInfo(::GetWindowThreadProcessId(control, nullptr), &info) && info.hwndFocus == control;
        }, 5000);
    }

    std::unique_ptr<CShareDlg> m_share;
    std::unique_ptr<CGuestDlg> m_guest;
};

TEST_F(DialogKeysTest, EachKeyOfTheSharingDialogsDoesWhatItsRowSays)
{
    struct Row {
        const char* what;
        std::function<HWND(DialogKeysTest&)> open;
        int focus;              // the control that has the focus when Enter comes
        const char* sent;       // the request the key makes (null: none)
        const char* notSent;    // a request it must not make (null: none)
        INT_PTR ends;           // how the dialog ends after the key (0: it stays open)
    };
    const Row rows[] = {
        {"share dialog: Enter in the search box searches and the dialog stays",
         [](DialogKeysTest& t) { return t.OpenShare(); }, 10064, "C1", "G1", 0},
        // The dialog has no OK button: ending it as OK would drop what the user set, unsaved.
        {"share dialog: Enter in the group tree neither searches nor ends the dialog",
         [](DialogKeysTest& t) { return t.OpenShare(); }, 10057, nullptr, "G1", 0},
        {"share dialog: Enter in the member list neither searches nor ends the dialog",
         [](DialogKeysTest& t) { return t.OpenShare(); }, 10058, nullptr, "G1", 0},
        {"guest dialog: Enter in the address saves the guest", [](DialogKeysTest& t) { return t.OpenGuest(); }, 10105,
         "G5", nullptr, IDOK},
    };
    SeedOrganisation();
    auto count = [this](const char* command) { return Control(std::string("COUNT cmd=") + command); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_NE(nullptr, row.open(*this));
        ASSERT_TRUE(FocusOn(row.focus));
        const std::string searches = count("C1");
        const std::string sentBefore = row.sent ? count(row.sent) : std::string();
        const std::string notSentBefore = row.notSent ? count(row.notSent) : std::string();
        uitest::SendKey(Item(row.focus), VK_RETURN);
        if (row.ends) {
            EXPECT_EQ(row.ends, WaitModal());
        } else {
            if (!row.sent) {
                // A search queued behind the key tells that the key has been handled.
                ::PostMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(10064)), TRUE);
                uitest::SendKey(Item(10064), VK_RETURN);
            }
            ASSERT_TRUE(uitest::WaitUntil([&] { return count("C1") != searches; }, 10000));
            EXPECT_TRUE(WaitIdle());
            EXPECT_FALSE(m_task->Done()) << "the dialog ended";
        }
        if (row.sent) {
            EXPECT_NE(sentBefore, count(row.sent)) << row.sent;
        }
        if (row.notSent) {
            EXPECT_EQ(notSentBefore, count(row.notSent)) << row.notSent;
        }
        if (!row.ends && !row.sent) {
            EXPECT_EQ("OK requests=" + std::to_string(std::stoi(searches.substr(12)) + 1), count("C1"))
                << "only the search queued behind the key";
        }
        if (m_task && !m_task->Done()) {
            uitest::ClickButton(m_dialog, IDCANCEL);
            EXPECT_EQ(IDCANCEL, WaitModal());
        }
        m_task.reset();
    }
}

}
