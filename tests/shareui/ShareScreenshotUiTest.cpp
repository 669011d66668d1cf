// Screenshots of every sharing dialog in English and Korean for people to look at (saved in
// the program's scratch folder); each run also checks that the dialog opens with its texts.
#include <winsock2.h>
#include "ShareHost.h"
#include "GShareDlg.h"
#include "GuestDlg.h"
#include "GuestMultiDlg.h"
#include "GuestMultiRQDlg.h"
#include "LinkCreateDlg.h"
#include "LinkInfoDlg.h"
#include "PixelCapture.h"
#include "SendFileDlg.h"
#include "ShareDlg.h"
#include "ShortCutDlg.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class ShareScreenshotTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        SeedOrganisation();
        m_folder = MakeFolder("My Files/Team");
        m_file = MakeFile("My Files/Team/plan.txt", "plan");
        ASSERT_EQ("OK", Control("OPTION A1 67=2 68=2 69=2 162=50 14=2031-12-31").substr(0, 2));
        ASSERT_EQ(0, m_proto.GetOption());
        m_dir = testpaths::ScratchDir(L"ShareScreens");
    }

    void Language(unsigned short language)
    {
        UseLanguage(language);
        m_ui.Run([language] { CToviTextLanguage::SetThreadLanguage(language); });
        m_tag = language == 9 ? L"en" : L"ko";
    }

    // Shows the dialog, waits for its loads, saves it and cancels it.
    void Shoot(const wchar_t* name, std::function<INT_PTR()> doModal, std::function<void()> prepare = nullptr)
    {
        HWND dialog = StartModal(doModal, nullptr);
        ASSERT_NE(nullptr, dialog) << testing::PrintToString(std::wstring(name));
        if (prepare)
            prepare();
        EXPECT_FALSE(uitest::GetText(dialog).empty());
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(dialog, 500), m_dir + L"\\" + name + L"-" + m_tag + L".png"));
        uitest::ClickButton(dialog, IDCANCEL);
        EXPECT_EQ(IDCANCEL, WaitModal());
    }

    std::string m_folder, m_file;
    std::wstring m_dir, m_tag;
};

TEST_F(ShareScreenshotTest, EveryDialogInEnglishAndKorean)
{
    for (unsigned short language : {9, 18}) {
        Language(language);
        ASSERT_EQ(0, m_proto.GetDShareInfo(const_cast<char*>(m_folder.c_str())));
        CShareDlg share;
        share.m_pProto = &m_proto;
        std::strcpy(share.m_szFolderId, m_folder.c_str());
        wcscpy(share.m_wszFolderName, L"Team");
        share.m_cPickerAtOnce = 'Y';
        Shoot(L"share", [&] { return share.DoModal(); }, [this] {
            EXPECT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }));
            EXPECT_TRUE(WaitIdle());
            SelectRows(10058, {6});
            uitest::ClickButton(m_dialog, 10079);
            uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10066)) > 0; });
        });

        CShareDlg narrow;
        narrow.m_pProto = &m_proto;
        std::strcpy(narrow.m_szFolderId, m_folder.c_str());
        wcscpy(narrow.m_wszFolderName, L"Team");
        Shoot(L"sharenarrow", [&] { return narrow.DoModal(); });

        CGShareDlg group;
        group.m_pProto = &m_proto;
        std::strcpy(group.m_szFolderId, m_folder.c_str());
        wcscpy(group.m_wszFolderName, L"Team");
        group.m_cPickerAtOnce = 'Y';
        Shoot(L"groupshare", [&] { return group.DoModal(); }, [this] {
            EXPECT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }));
            EXPECT_TRUE(WaitIdle());
        });

        // Without a domain choice the picker's lists take the room of the domain row.
        CGShareDlg plain;
        plain.m_pProto = &m_proto;
        std::strcpy(plain.m_szFolderId, m_folder.c_str());
        wcscpy(plain.m_wszFolderName, L"Team");
        plain.m_cPickerAtOnce = 'Y';
        plain.m_cDomainOption = 'N';
        Shoot(L"groupsharenodomain", [&] { return plain.DoModal(); }, [this] {
            EXPECT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }));
            EXPECT_TRUE(WaitIdle());
        });

        CSendFileDlg send;
        send.m_pProto = &m_proto;
        _SEND_FILES file = {};
        std::strcpy(file.szId, m_file.c_str());
        wcscpy(file.wszName, L"plan.txt");
        std::strcpy(file.szSize, "4");
        send.m_vecFiles = {file};
        send.m_cDeleteOption = 'Y';
        send.m_cExpireMode = 'Y';
        Shoot(L"sendfile", [&] { return send.DoModal(); }, [this] {
            EXPECT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }));
            EXPECT_TRUE(WaitIdle());
        });

        CGuestDlg guest;
        guest.m_session.CopyFrom(m_proto);
        guest.m_nNewFolder = 0;
        std::strcpy(guest.m_szFolderId, m_folder.c_str());
        std::strcpy(guest.m_szResetOption, "Y");
        wcscpy(guest.m_wszFolderName, L"Team");
        Shoot(L"guest", [&] { return guest.DoModal(); });

        CGuestMultiDlg multi;
        multi.m_session.CopyFrom(m_proto);
        multi.m_nNewFolder = 1;
        std::strcpy(multi.m_szFolderId, m_folder.c_str());
        Shoot(L"guestmulti", [&] { return multi.DoModal(); }, [this] {
            uitest::ClickButton(m_dialog, 10198);
            uitest::WaitUntil([this] { return ListView_GetEditControl(Item(10196)) != nullptr; });
        });

        CGuestMultiRQDlg dated;
        dated.m_session.CopyFrom(m_proto);
        dated.m_nNewFolder = 1;
        std::strcpy(dated.m_szFolderId, m_folder.c_str());
        Shoot(L"guestmultirq", [&] { return dated.DoModal(); }, [this] {
            uitest::ClickButton(m_dialog, 10198);
            uitest::WaitUntil([this] { return ListView_GetEditControl(Item(10196)) != nullptr; });
        });

        CLinkCreateDlg link;
        link.m_pProto = &m_proto;
        _PROTO_FOLDER_INFO item = {};
        std::strcpy(item.IDX, m_file.c_str());
        std::strcpy(item.DIDX, m_folder.c_str());
        wcscpy(item.Name, L"plan.txt");
        link.m_vecFiles = {item};
        Shoot(L"linkcreate", [&] { return link.DoModal(); });

        CLinkInfoDlg links;
        links.m_pProto = &m_proto;
        std::strcpy(links.m_szFolderId, m_folder.c_str());
        std::strcpy(links.m_szItemId, m_file.c_str());
        wcscpy(links.m_wszFileName, L"plan.txt");
        Shoot(L"linklist", [&] { return links.DoModal(); });

        CShortCutDlg shortcuts;
        _SHORTCUT_LIST entry = {};
        std::strcpy(entry.Index, "1");
        wcscpy(entry.Path, L"/My Files/Team");
        shortcuts.SetShortcutList({entry, entry});
        Shoot(L"shortcut", [&] { return shortcuts.DoModal(); });
    }
}

}
