// Dialogs from templates: data exchange both ways, validation failures, subclassed members,
// modal loops on other UI threads with Enter, Esc and the close box, message boxes, and the
// end of a thread while a dialog is open.
#include "AutoAnswer.h"
#include "DialogTestRes.h"
#include "Framework.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>

namespace {

const wchar_t kTitle[] = L"DDX Test";

class CDdxDialog : public CDialog {
public:
    explicit CDdxDialog(CWnd* pParent = nullptr) : CDialog(IDD_DDX_TEST, pParent) {}

    CString m_name = L"initial";
    int m_count = 12;
    UINT m_size = 40000;
    int m_flag = BST_CHECKED;
    int m_radio = 1;
    int m_combo = 2;
    CWnd m_nameCtl;
    int m_actions = 0;
    int m_endInInit = 0;   // when set, OnInitDialog ends the dialog with this value

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_DDX_NAME, m_nameCtl);
        DDX_Text(pDX, IDC_DDX_NAME, m_name);
        DDX_Text(pDX, IDC_DDX_COUNT, m_count);
        DDX_Text(pDX, IDC_DDX_SIZE, m_size);
        DDX_Check(pDX, IDC_DDX_FLAG, m_flag);
        DDX_Radio(pDX, IDC_DDX_RADIO_A, m_radio);
        DDX_CBIndex(pDX, IDC_DDX_COMBO, m_combo);
    }
    BOOL OnInitDialog() override
    {
        for (const wchar_t* item : { L"zero", L"one", L"two", L"three" })
            SendDlgItemMessage(IDC_DDX_COMBO, CB_ADDSTRING, 0, (LPARAM)item);
        CDialog::OnInitDialog();
        if (m_endInInit)
            EndDialog(m_endInInit);
        return TRUE;
    }
    void OnAction() { ++m_actions; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDdxDialog, CDialog)
    ON_BN_CLICKED(IDC_DDX_ACTION, OnAction)
END_MESSAGE_MAP()

std::wstring ItemText(CWnd& dlg, int id)
{
    CString text;
    dlg.GetDlgItemText(id, text);
    return text.GetString();
}

// ---- Data exchange on a modeless dialog of the test thread ----

class DataExchange : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create(IDD_DDX_TEST)); }
    void TearDown() override { dlg.DestroyWindow(); }
    CDdxDialog dlg;
};

TEST_F(DataExchange, InitialisationPutsTheMembersIntoTheControls)
{
    EXPECT_EQ(ItemText(dlg, IDC_DDX_NAME), L"initial");
    EXPECT_EQ(ItemText(dlg, IDC_DDX_COUNT), L"12");
    EXPECT_EQ(ItemText(dlg, IDC_DDX_SIZE), L"40000");
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_DDX_FLAG), (UINT)BST_CHECKED);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_DDX_RADIO_A, IDC_DDX_RADIO_C), IDC_DDX_RADIO_B);
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_DDX_COMBO, CB_GETCURSEL), 2);
}

TEST_F(DataExchange, SavingReadsEveryControlBack)
{
    dlg.SetDlgItemText(IDC_DDX_NAME, L"변경된 이름");
    dlg.SetDlgItemText(IDC_DDX_COUNT, L" -7 ");
    dlg.SetDlgItemText(IDC_DDX_SIZE, L"4000000000");
    dlg.CheckDlgButton(IDC_DDX_FLAG, BST_UNCHECKED);
    dlg.CheckRadioButton(IDC_DDX_RADIO_A, IDC_DDX_RADIO_C, IDC_DDX_RADIO_C);
    dlg.SendDlgItemMessage(IDC_DDX_COMBO, CB_SETCURSEL, 0);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_STREQ(dlg.m_name, L"변경된 이름");
    EXPECT_EQ(dlg.m_count, -7);
    EXPECT_EQ(dlg.m_size, 4000000000u);
    EXPECT_EQ(dlg.m_flag, BST_UNCHECKED);
    EXPECT_EQ(dlg.m_radio, 2);
    EXPECT_EQ(dlg.m_combo, 0);
}

TEST_F(DataExchange, TheRadioGroupEndsAtTheNextGroup)
{
    // "After" starts a group of its own: checking it leaves the first group unset.
    dlg.CheckRadioButton(IDC_DDX_RADIO_A, IDC_DDX_RADIO_C, IDC_DDX_RADIO_A);
    dlg.CheckDlgButton(IDC_DDX_RADIO_A, BST_UNCHECKED);
    dlg.CheckDlgButton(IDC_DDX_AFTER, BST_CHECKED);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_radio, -1);
    dlg.m_radio = 0;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_DDX_RADIO_A), (UINT)BST_CHECKED);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_DDX_AFTER), (UINT)BST_CHECKED);
}

TEST_F(DataExchange, TextThatIsNotANumberFailsWithAMessageAndTheFocusOnTheField)
{
    struct Row { int id; const wchar_t* text; };
    const Row rows[] = {
        { IDC_DDX_COUNT, L"12a" }, { IDC_DDX_COUNT, L"" }, { IDC_DDX_COUNT, L"99999999999" },
        { IDC_DDX_SIZE, L"-1" }, { IDC_DDX_SIZE, L"4294967296" },
    };
    for (const Row& row : rows) {
        dlg.m_count = 12;
        dlg.m_size = 40000;
        ASSERT_TRUE(dlg.UpdateData(FALSE));
        dlg.SetDlgItemText(row.id, row.text);
        uitest::AutoAnswer answer(nullptr, IDOK);
        EXPECT_FALSE(dlg.UpdateData(TRUE)) << "text \"" << (const char*)CStringA(row.text) << "\"";
        EXPECT_EQ(answer.Count(), 1) << "one message for \"" << (const char*)CStringA(row.text) << "\"";
        EXPECT_EQ(::GetFocus(), dlg.GetDlgItem(row.id)->m_hWnd);
        EXPECT_EQ(dlg.m_count, 12);
        EXPECT_EQ(dlg.m_size, 40000u);
    }
}

TEST_F(DataExchange, ControlMembersAreSubclassedOnce)
{
    HWND name = ::GetDlgItem(dlg.m_hWnd, IDC_DDX_NAME);
    EXPECT_EQ(dlg.m_nameCtl.m_hWnd, name);
    EXPECT_EQ(CWnd::FromHandlePermanent(name), &dlg.m_nameCtl);
    EXPECT_TRUE(dlg.UpdateData(FALSE));   // a second exchange keeps the same object
    EXPECT_EQ(CWnd::FromHandlePermanent(name), &dlg.m_nameCtl);
}

TEST_F(DataExchange, ButtonsOfTheDialogReachItsMap)
{
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_DDX_ACTION), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.m_actions, 1);
}

// ---- Modal dialogs on a UI thread, driven from the test thread ----

class ModalDialog : public ::testing::Test {
protected:
    // Starts DoModal on the UI thread; returns the dialog window once it is up.
    HWND Start()
    {
        task = ui.Post([this] { result = dlg.DoModal(); });
        HWND hwnd = uitest::WaitForDialog(kTitle);
        EXPECT_NE(hwnd, nullptr);
        return hwnd;
    }
    void Finish()
    {
        ASSERT_TRUE(task->Wait(5000)) << "DoModal did not return";
    }
    CDdxDialog dlg;
    uitest::UiThread ui;   // ends before the dialog object goes
    std::shared_ptr<uitest::UiTask> task;
    INT_PTR result = 0;
};

TEST_F(ModalDialog, EnterSavesTheDataAndEndsWithOk)
{
    HWND hwnd = Start();
    HWND name = ::GetDlgItem(hwnd, IDC_DDX_NAME);
    uitest::SetText(name, L"typed");
    uitest::SendKey(name, VK_RETURN);
    Finish();
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(dlg.m_name, L"typed");
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(ModalDialog, EscapeEndsWithCancelAndKeepsTheData)
{
    HWND hwnd = Start();
    HWND name = ::GetDlgItem(hwnd, IDC_DDX_NAME);
    uitest::SetText(name, L"discarded");
    uitest::SendKey(name, VK_ESCAPE);
    Finish();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_STREQ(dlg.m_name, L"initial");
}

TEST_F(ModalDialog, TheCloseBoxCancels)
{
    HWND hwnd = Start();
    uitest::CloseWindow(hwnd);
    Finish();
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ModalDialog, TypedCharactersReachTheEdit)
{
    HWND hwnd = Start();
    HWND name = ::GetDlgItem(hwnd, IDC_DDX_NAME);
    uitest::SetText(name, L"");
    uitest::TypeText(name, L"abc");
    EXPECT_TRUE(uitest::WaitUntil([&] { return uitest::GetText(name) == L"abc"; }));
    uitest::ClickButton(hwnd, IDOK);
    Finish();
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(dlg.m_name, L"abc");
}

TEST_F(ModalDialog, AFailedValidationKeepsTheDialogOpen)
{
    HWND hwnd = Start();
    uitest::SetText(::GetDlgItem(hwnd, IDC_DDX_COUNT), L"x");
    {
        uitest::AutoAnswer answer(nullptr, IDOK);
        uitest::ClickButton(hwnd, IDOK);
        EXPECT_TRUE(answer.WaitForCount(1));
    }
    EXPECT_FALSE(task->Wait(300));   // still open after the message
    EXPECT_TRUE(::IsWindow(hwnd));
    uitest::SetText(::GetDlgItem(hwnd, IDC_DDX_COUNT), L"5");
    uitest::ClickButton(hwnd, IDOK);
    Finish();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_count, 5);
}

TEST_F(ModalDialog, EndingInOnInitDialogReturnsAtOnce)
{
    dlg.m_endInInit = 77;
    task = ui.Post([this] { result = dlg.DoModal(); });
    Finish();
    EXPECT_EQ(result, 77);
}

TEST(ModalDialogErrors, AMissingTemplateGivesMinusOne)
{
    CDialog dlg(IDD_MISSING);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(MessageBoxes, AfxMessageBoxReturnsTheButtonPressed)
{
    uitest::UiThread ui;
    int answer = 0;
    uitest::AutoAnswer no(nullptr, IDNO);
    auto task = ui.Post([&] { answer = AfxMessageBox(L"Continue with the copy?", MB_YESNO); });
    ASSERT_TRUE(task->Wait(5000));
    EXPECT_EQ(answer, IDNO);
    ASSERT_EQ(no.Count(), 1);
    std::vector<std::wstring> texts = no.Seen()[0].texts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Continue with the copy?"), texts.end());
}

// ---- Dialogs on framework UI threads ----

std::atomic<int> g_preTranslateCalls{ 0 };
std::atomic<int> g_modalResult{ 0 };
std::atomic<int> g_runAfterModal{ 0 };

class CDialogThread : public CWinThread {
    DECLARE_DYNCREATE(CDialogThread)
public:
    BOOL InitInstance() override
    {
        CDdxDialog dlg;
        g_modalResult = (int)dlg.DoModal();
        return keepRunning;
    }
    int Run() override
    {
        ++g_runAfterModal;
        return CWinThread::Run();
    }
    int ExitInstance() override { return keepRunning ? CWinThread::ExitInstance() : 9; }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        ++g_preTranslateCalls;
        return CWinThread::PreTranslateMessage(pMsg);
    }
    static BOOL keepRunning;
};
BOOL CDialogThread::keepRunning = FALSE;
IMPLEMENT_DYNCREATE(CDialogThread, CWinThread)

TEST(UiThreads, AModalLoopOnAFrameworkThreadCallsItsPreTranslateMessage)
{
    g_preTranslateCalls = 0;
    g_modalResult = 0;
    CDialogThread::keepRunning = FALSE;
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CDialogThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    HWND hwnd = uitest::WaitForDialog(kTitle);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(::GetWindowThreadProcessId(hwnd, nullptr), thread->m_nThreadID);
    uitest::SendKey(::GetDlgItem(hwnd, IDC_DDX_NAME), VK_RETURN);
    ASSERT_EQ(::WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(g_modalResult, IDOK);
    EXPECT_GT(g_preTranslateCalls, 0);
    DWORD code = 0;
    ::GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 9u);   // InitInstance said no: ExitInstance's code
    delete thread;
}

TEST(UiThreads, WmQuitEndsAnOpenDialogAndThenTheThreadsLoop)
{
    g_modalResult = 0;
    g_runAfterModal = 0;
    CDialogThread::keepRunning = TRUE;
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CDialogThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_NE(uitest::WaitForDialog(kTitle), nullptr);
    thread->PostThreadMessage(WM_QUIT, 3, 0);
    ASSERT_EQ(::WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(g_modalResult, IDCANCEL);
    EXPECT_EQ(g_runAfterModal, 1);
    DWORD code = 0;
    ::GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 3u);   // the quit was passed on to the thread's own loop
    CDialogThread::keepRunning = FALSE;
    delete thread;
}

}
