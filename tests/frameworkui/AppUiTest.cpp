// Running an application through AfxWinMain: the main window's end ends the loop, a refused
// start skips it, a failing start is contained, and message boxes carry the application's name.
#include "AutoAnswer.h"
#include "Framework.h"
#include "UiThread.h"
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class CSelfDeletingMain : public CWnd {
protected:
    void PostNcDestroy() override { delete this; }
};

class CTestApp : public CWinApp {
public:
    enum class Start { Window, Refuse, Throw };
    explicit CTestApp(Start start) : CWinApp(L"Test Application"), m_start(start) {}
    std::vector<std::string> steps;

    BOOL InitInstance() override
    {
        steps.push_back("init");
        if (m_start == Start::Throw)
            throw std::runtime_error("start failed");
        if (m_start == Start::Refuse)
            return FALSE;
        auto* wnd = new CSelfDeletingMain;
        if (!wnd->CreateEx(0, nullptr, L"main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = wnd;
        wnd->PostMessage(WM_CLOSE);
        return TRUE;
    }
    int Run() override
    {
        steps.push_back("run");
        return CWinApp::Run();
    }
    int ExitInstance() override
    {
        steps.push_back("exit");
        return CWinApp::ExitInstance() + 40;
    }

private:
    Start m_start;
};

TEST(Application, ClosingTheMainWindowEndsTheRun)
{
    CTestApp app(CTestApp::Start::Window);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<LPTSTR>(L""), SW_SHOW), 40);
    EXPECT_EQ(app.steps, (std::vector<std::string>{ "init", "run", "exit" }));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST(Application, ARefusedStartSkipsTheLoop)
{
    CTestApp app(CTestApp::Start::Refuse);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<LPTSTR>(L""), SW_SHOW), 40);
    EXPECT_EQ(app.steps, (std::vector<std::string>{ "init", "exit" }));
}

TEST(Application, AnExceptionDuringStartEndsWithMinusOne)
{
    CTestApp app(CTestApp::Start::Throw);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<LPTSTR>(L""), SW_SHOW), -1);
    EXPECT_EQ(app.steps, std::vector<std::string>{ "init" });
}

TEST(Application, WithoutAnApplicationObjectThereIsNothingToRun)
{
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<LPTSTR>(L""), SW_SHOW), -1);
}

TEST(Application, MessageBoxesAreTitledWithTheApplicationsName)
{
    CWinApp app(L"Titled App");
    uitest::AutoAnswer answer(L"Titled App", IDOK);
    uitest::UiThread ui;
    int pressed = 0;
    ASSERT_TRUE(ui.Run([&] { pressed = AfxMessageBox(L"Saved."); }));
    EXPECT_EQ(pressed, IDOK);
    EXPECT_EQ(answer.Count(), 1);
}

TEST(Application, OleStartsOnTheApplicationsThread)
{
    CTestApp app(CTestApp::Start::Refuse);
    EXPECT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxOleInit());   // a second call is harmless
    AfxWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<LPTSTR>(L""), SW_SHOW);   // stops OLE again
    EXPECT_EQ(::OleInitialize(nullptr), S_OK);   // S_OK, not S_FALSE: nothing was left started
    ::OleUninitialize();
}

}
