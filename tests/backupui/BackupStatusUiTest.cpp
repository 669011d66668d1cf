// The backup status window: the progress of several policies, one shown; Cancel asks the
// parent to stop the shown policy. Screenshots in Korean and English go to the scratch folder.
#include "BackupStatusDlg.h"
#include "BackupThread.h"
#include "Library.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "ToviTextLanguage.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include "../backup/BackupTitles.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cwchar>

namespace {

std::wstring g_cancelled;
std::atomic<int> g_cancels{0};

LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_BACKUP_CANCEL) {
        CString* key = reinterpret_cast<CString*>(lParam);
        g_cancelled = key->GetString();
        delete key;
        ++g_cancels;
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

class BackupStatusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
        ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = ParentProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"BackupStatusParent";
            RegisterClassW(&wc);
            parentWnd = CreateWindowExW(0, L"BackupStatusParent", L"parent", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                        nullptr, wc.hInstance, nullptr);
            parent.Attach(parentWnd);
        });
    }
    void TearDown() override
    {
        ui.Run([this] {
            if (dlg && dlg->GetSafeHwnd())
                dlg->DestroyWindow();
            dlg.reset();
            parent.Detach();
            DestroyWindow(parentWnd);
        });
        ToviInterfaceTerm();
    }
    void Open(unsigned short language)
    {
        ui.Run([this, language] {
            CToviTextLanguage::SetThreadLanguage(language);
            dlg.reset(new CBackupStatusDlg(&parent));
            const BOOL made = dlg->Create(IDD_BACKUP_STATUS_ID, &parent);
            wnd = dlg->GetSafeHwnd();
            if (!made)
                printf("create failed: %lu, template %p\n", GetLastError(),
                       (void*)FindResourceW(ToviInterfaceInstance(), MAKEINTRESOURCEW(1038), (LPCWSTR)RT_DIALOG));
        });
        ASSERT_NE(nullptr, wnd);
    }
    static const UINT IDD_BACKUP_STATUS_ID = 1038;

    void Total(const wchar_t* key, __int64 bytes)
    {
        _BACKUP_SIZE_INFO info = {};
        wcsncpy(info.PolicyKey, key, 14);
        info.Bytes = bytes;
        SendMessageW(wnd, WM_BACKUP_TOTAL_SIZE, 0, reinterpret_cast<LPARAM>(&info));
    }
    void Path(const wchar_t* key, const wchar_t* path)
    {
        _BACKUP_PATH_INFO info = {};
        wcsncpy(info.PolicyKey, key, 14);
        wcsncpy(info.Path, path, 259);
        SendMessageW(wnd, WM_BACKUP_FULL_PATH, 0, reinterpret_cast<LPARAM>(&info));
    }
    void Sent(const wchar_t* key, uint64_t bytes)
    {
        _UPLOAD_POLICY_PROGRESS info = {};
        wcsncpy(info.key, key, 14);
        info.bytes = bytes;
        SendMessageW(wnd, WM_UPLOAD_POLICY_PROGRESS, 0, reinterpret_cast<LPARAM>(&info));
    }
    int Position() { return static_cast<int>(SendMessageW(GetDlgItem(wnd, 10025), PBM_GETPOS, 0, 0)); }
    std::wstring Caption() { return uitest::GetText(GetDlgItem(wnd, 10025)); }
    std::wstring Folder() { return uitest::GetText(GetDlgItem(wnd, 10052)); }
    std::wstring File() { return uitest::GetText(GetDlgItem(wnd, 10055)); }
    void Show(const wchar_t* key, const wchar_t* title)
    {
        ui.Run([&] { dlg->SetBackupKey(key, title); });
    }

    uitest::UiThread ui;
    HWND parentWnd = nullptr;
    CWnd parent;
    std::unique_ptr<CBackupStatusDlg> dlg;
    HWND wnd = nullptr;
};

TEST_F(BackupStatusTest, CaptionAndPercentFollowTheShownPolicy)
{
    EXPECT_EQ(100, CBackupStatusDlg::Percent(0, 0));
    EXPECT_EQ(33, CBackupStatusDlg::Percent(1, 3));
    EXPECT_EQ(100, CBackupStatusDlg::Percent(5000000000LL, 5000000000LL));

    Open(LANG_ENGLISH);
    Show(L"P1", L"Documents");
    EXPECT_FALSE(IsWindowVisible(wnd));   // nothing known of P1 yet

    Sent(L"P1", 500);                     // progress before a total is ignored
    Total(L"P1", 1000);
    Show(L"P1", L"Documents");
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(L"Documents", uitest::GetText(GetDlgItem(wnd, 10133)));
    EXPECT_EQ(0, Position());
    Path(L"P1", L"C:\\Data\\Docs\\report.doc");
    EXPECT_EQ(L"C:\\Data\\Docs", Folder());
    EXPECT_EQ(L"report.doc", File());
    Sent(L"P1", 250);
    EXPECT_EQ(25, Position());
    EXPECT_NE(std::wstring::npos, Caption().find(L"(25%)")) << Caption();
    EXPECT_EQ(0u, Caption().find(L"Transferred ")) << Caption();

    // Another policy's progress is kept but not shown.
    Total(L"P2", 0);
    Path(L"P2", L"D:\\Other\\x.bin");
    Sent(L"P2", 10);
    EXPECT_EQ(25, Position());
    EXPECT_EQ(L"report.doc", File());
    EXPECT_EQ(10, dlg->Progress().at(L"P2").Sent);

    // Showing it: a total of 0 is complete from the start.
    Show(L"P2", L"Other");
    EXPECT_EQ(100, Position());
    EXPECT_EQ(L"x.bin", File());

    // A new total starts the policy again.
    Show(L"P1", L"Documents");
    Total(L"P1", 400);
    EXPECT_EQ(0, Position());
    Sent(L"P1", 400);
    EXPECT_EQ(100, Position());
}

TEST_F(BackupStatusTest, CancelAsksTheParentToStopTheShownPolicyAndCloseHides)
{
    Open(LANG_KOREAN);
    Total(L"BK7", 100);
    Show(L"BK7", L"PC 백업");
    g_cancels = 0;
    ASSERT_TRUE(uitest::ClickButton(wnd, 10230));
    ASSERT_TRUE(uitest::WaitUntil([] { return g_cancels.load() == 1; }));
    EXPECT_EQ(L"BK7", g_cancelled);
    EXPECT_TRUE(IsWindowVisible(wnd));
    ASSERT_TRUE(uitest::ClickButton(wnd, 10228));
    EXPECT_TRUE(uitest::WaitUntil([this] { return !IsWindowVisible(wnd); }));
}

TEST_F(BackupStatusTest, Screenshots)
{
    const std::wstring dir = testpaths::ScratchDir(L"backup-status-shots");
    const struct {
        unsigned short language;
        const wchar_t* tag;
    } looks[] = {{LANG_KOREAN, L"ko"}, {LANG_ENGLISH, L"en"}};
    // The face the log-in stores for the language: an English one has no Hangul of its own.
    CString saved;
    const bool hadFace = CToviRegistry::GetDialogFont(0, saved);
    for (const auto& look : looks) {
        ASSERT_TRUE(CToviRegistry::SetDialogFont(0, look.language == LANG_KOREAN ? L"굴림" : L"tahoma"));
        Open(look.language);
        Total(L"P1", 3000000);
        Show(L"P1", L"내 문서 백업");
        Path(L"P1", L"C:\\Users\\문서\\보고서 2026.docx");
        Sent(L"P1", 1200000);
        EXPECT_TRUE(FontHasHangul(wnd));
        if (look.language == LANG_ENGLISH) {
            EXPECT_EQ(L"Backup Status", uitest::GetText(wnd));
            // Only the policy's own title is Korean.
            EXPECT_EQ(std::vector<std::wstring>{L"내 문서 백업"}, HangulLabels(wnd));
        }
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(wnd, 500), dir + L"\\status-" + look.tag + L".png"));
        ui.Run([this] { dlg->DestroyWindow(); });
    }
    CToviRegistry::SetDialogFont(0, hadFace ? saved : CString());
}

} // namespace
