// From the backup program's seat: a policy made in the policy editor, its folders checked in
// the folder tree with the mouse, is then backed up by the worker to the test server, and what
// arrives there is byte for byte what was chosen, and nothing that was not.
#include "../backupui/FolderTreeSteps.h"
#include "BackupPolicyDlg.h"
#include "BackupThread.h"
#include "Library.h"
#include "RoadServer.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "TreeDriver.h"
#include "UiThread.h"
#include "WinThread.h"
#include "WindowDriver.h"
#include "Wnd.h"
#include "BackupTitles.h"
#include <gtest/gtest.h>
#include <atomic>
#include <memory>

using namespace road;

namespace {

std::atomic<bool> g_ended{false};

// The backup program's window: it only needs to know when the run is over.
LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_BACKUP_END) {
        delete reinterpret_cast<CString*>(lParam);
        g_ended = true;
        return 0;
    }
    if (msg == WM_BACKUP_CANCEL) {
        delete reinterpret_cast<CString*>(lParam);
        return 0;
    }
    if (msg == WM_UPLOAD_POLICY_PROGRESS)
        return 1;
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

class PolicyBackupTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(ToviInterfaceInit());
        m_dialogs.SetPreTranslate(&AfxPreTranslateMessage);
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"PolicyBackupHost";
            RegisterClassW(&wc);
            m_host = CreateWindowExW(0, L"PolicyBackupHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        });
        ASSERT_NE(nullptr, m_host);
        m_owner.Attach(m_host);
        ASSERT_EQ(0, LogIn(m_proto));
        m_myFiles = TopFolder(m_proto, L"My Files");
        ASSERT_FALSE(m_myFiles.empty());
    }
    void TearDown() override
    {
        if (!m_policyId.empty())
            CToviRegistry::RemoveBackupPolicy(m_policyId.c_str());
        m_owner.Detach();
        m_ui.Run([this] { DestroyWindow(m_host); });
        ToviInterfaceTerm();
        RoadTest::TearDown();
    }

    // A server folder's item by its path of names below "My Files"; null when one is missing.
    bool ServerItem(const std::vector<std::wstring>& names, _PROTO_FOLDER_INFO& found)
    {
        std::string idx = m_myFiles, didx = "1";
        for (size_t i = 0; i < names.size(); ++i) {
            const std::vector<_PROTO_FOLDER_INFO> items = ListAll(m_proto, idx, didx);
            const _PROTO_FOLDER_INFO* item = Find(items, names[i].c_str());
            if (!item)
                return false;
            found = *item;
            idx = item->IDX;
            didx = item->DIDX;
        }
        return true;
    }
    // The server's copy, fetched whole next to the local file.
    ::testing::AssertionResult ArrivedWhole(const std::vector<std::wstring>& serverPath, const std::wstring& local)
    {
        _PROTO_FOLDER_INFO item = {};
        if (!ServerItem(serverPath, item))
            return ::testing::AssertionFailure() << "not on the server";
        const std::wstring copy = local + L".server";
        const int result = Download(m_proto, item, copy);
        if (result != 0)
            return ::testing::AssertionFailure() << "download failed: " << result;
        return SameFile(local, copy);
    }

    uitest::UiThread m_dialogs;
    HWND m_host = nullptr;
    CWnd m_owner;
    std::string m_myFiles;
    std::wstring m_policyId;
};

TEST_F(PolicyBackupTest, APolicyMadeInTheEditorIsBackedUpByteForByte)
{
    const std::wstring src = Scratch(L"pc");
    const std::wstring docs = src + L"\\문서", photos = src + L"\\사진", left = src + L"\\남김";
    for (const std::wstring& dir : {src, docs, docs + L"\\sub", photos, left})
        CreateDirectoryW(dir.c_str(), nullptr);
    WriteLocal(docs + L"\\a.txt", 1000, 1);
    WriteLocal(docs + L"\\sub\\b.bin", 300000, 2);
    WriteLocal(photos + L"\\c.jpg", 70000, 3);
    WriteLocal(left + L"\\not-chosen.bin", 5000, 4);

    // The user makes the policy: name, description, two folders checked in the tree.
    INT_PTR answer = 0;
    std::wstring id;
    auto task = m_dialogs.Post([&answer, &id] {
        CBackupPolicyDlg dlg;
        answer = dlg.DoModal();
        id = dlg.m_strPolicyID.GetString();
    });
    HWND editor = WaitForBackupDialog(L"백업 생성", L"New Backup", 10000);
    ASSERT_NE(nullptr, editor);
    uitest::SetText(GetDlgItem(editor, 10209), L"정책백업");
    uitest::SetText(GetDlgItem(editor, 10210), L"문서와 사진");
    ASSERT_TRUE(uitest::ClickButton(editor, 10211));
    HWND select = WaitForBackupDialog(L"폴더 설정", L"Folders", 10000);
    ASSERT_NE(nullptr, select);
    HWND tree = GetDlgItem(select, 10222);
    for (const std::wstring& folder : {docs, photos}) {
        HTREEITEM item = foldertree::Reveal(tree, folder);
        ASSERT_NE(nullptr, item);
        ASSERT_TRUE(uitest::TreeClickCheckBox(tree, item));
        ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::TreeIsChecked(tree, item); }));
    }
    ASSERT_TRUE(uitest::ClickButton(select, IDOK));
    ASSERT_TRUE(uitest::WaitForWindowGone(select));
    ASSERT_TRUE(uitest::ClickButton(editor, 10220));
    ASSERT_TRUE(task->Wait());
    ASSERT_EQ(IDOK, answer);
    m_policyId = id;

    // What the backup program reads.
    _BACKUP_POLICY_INFO policy = {};
    CFolderPathMap folders;
    int overwrite = -1;
    ASSERT_TRUE(CToviRegistry::GetBackupPolicy(id.c_str(), &policy, folders, &overwrite));
    EXPECT_EQ(std::wstring(L"정책백업"), policy.PolicyName);
    ASSERT_EQ(2u, folders.size());
    EXPECT_EQ(1u, folders.count(CString(docs.c_str())));
    EXPECT_EQ(1u, folders.count(CString(photos.c_str())));
    EXPECT_EQ(0, overwrite);

    // The backup program runs it.
    g_ended = false;
    CBackupThread* worker = static_cast<CBackupThread*>(
        AfxBeginThread(RUNTIME_CLASS(CBackupThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(nullptr, worker);
    worker->m_bAutoDelete = FALSE;
    worker->SetBackupInfo(&m_owner, m_host, &m_proto, id.c_str());
    worker->SetBackupTarget(m_myFiles.c_str(), "1");
    worker->SetLogDocumentsFolder(CString(testpaths::ScratchDir(L"policy-backup-docs").c_str()));
    worker->ResumeThread();
    EXPECT_TRUE(uitest::WaitUntil([] { return g_ended.load(); }, 60000));
    worker->PostThreadMessage(WM_QUIT, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker->m_hThread, 20000));
    delete worker;

    EXPECT_TRUE(ArrivedWhole({L"정책백업", L"문서", L"a.txt"}, docs + L"\\a.txt"));
    EXPECT_TRUE(ArrivedWhole({L"정책백업", L"문서", L"sub", L"b.bin"}, docs + L"\\sub\\b.bin"));
    EXPECT_TRUE(ArrivedWhole({L"정책백업", L"사진", L"c.jpg"}, photos + L"\\c.jpg"));
    _PROTO_FOLDER_INFO notChosen = {};
    EXPECT_FALSE(ServerItem({L"정책백업", L"남김"}, notChosen));
}

} // namespace
