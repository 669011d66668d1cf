// Pictures of the message box and the common dialogs in Korean and English, for people to look
// at; they land in the program's scratch folder. Each dialog must at least come up and paint.
#include "AboutDlg.h"
#include "ChangePwdDlg.h"
#include "ConfirmDlg.h"
#include "DialogsTestSupport.h"
#include "DisconnectDlg.h"
#include "FileUtils.h"
#include "Framework.h"
#include "PixelCapture.h"
#include "ProgressDlg.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

class DialogScreenshots : public dialogstest::DialogTest {
protected:
    void SetUp() override
    {
        dialogstest::DialogTest::SetUp();
        static const std::wstring folder = dialogstest::ShotDir(L"DialogScreenshotsUiTest");
        dir = folder;
    }
    // Runs show() modally on the UI thread, photographs the dialog titled title, and closes it.
    void Shoot(const wchar_t* title, const std::wstring& name, std::function<void()> show)
    {
        auto task = ui.Post(show);
        HWND hwnd = uitest::WaitForDialog(title);
        ASSERT_NE(hwnd, nullptr) << std::string(name.begin(), name.end());
        uitest::Pixels pixels = uitest::CaptureWindow(hwnd, 600);
        EXPECT_FALSE(pixels.Empty());
        EXPECT_TRUE(uitest::SavePng(pixels, dir + L"\\" + name + L".png"));
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(task->Wait(5000));
    }
    void ShootAll(const std::wstring& suffix)
    {
        Shoot(L"Corvane IXO MessageBox", L"msgbox_question_" + suffix, [] {
            CFileUtils::ToviMessageBox(nullptr, L"\xAC19\xC740 \xC774\xB984\xC758 \xD30C\xC77C\xC774 \xC788\xC2B5\xB2C8\xB2E4.\n"
                                                L"The file report.docx already exists. Replace it?",
                                       L"CorvaneIXO", MB_YESNO | MB_ICONQUESTION);
        });
        Shoot(L"Corvane IXO MessageBox", L"msgbox_ok_" + suffix,
              [] { CFileUtils::ToviMessageBox(nullptr, L"Saved.", L"CorvaneIXO", MB_OK | MB_ICONINFORMATION); });
        Shoot(L"Corvane IXO About", L"about_" + suffix, [] {
            CAboutDlg dlg(nullptr);
            std::strcpy(dlg.m_szServerVersion, "5.1.2");
            dlg.DoModal();
        });
        Shoot(L"Corvane IXO ChangePwd", L"changepwd_" + suffix, [] {
            CChangePwdDlg dlg(nullptr);
            dlg.DoModal();
        });
        Shoot(L"Corvane IXO Confirm", L"confirm_delete_" + suffix, [] {
            CConfirmDlg dlg(nullptr);
            dlg.m_nCount = 1;
            dlg.m_szType[0] = 'F';
            std::wcscpy(dlg.m_szName, L"report.docx");
            dlg.DoModal();
        });
        Shoot(L"Corvane IXO Confirm", L"confirm_typed_" + suffix, [] {
            CConfirmDlg dlg(nullptr);
            dlg.m_nMode = CConfirmDlg::kModeTypeName;
            dlg.m_nCount = 1;
            std::wcscpy(dlg.m_szName, L"OFFICE-PC");
            dlg.DoModal();
        });
        Shoot(L"Corvane Drive IXO Disconnect", L"disconnect_" + suffix, [] {
            CDisconnectDlg dlg(nullptr);
            dlg.DoModal();
        });
    }

    std::wstring dir;
};

TEST_F(DialogScreenshots, English)
{
    UseLanguage(LANG_ENGLISH);
    ShootAll(L"en");
}

TEST_F(DialogScreenshots, Korean)
{
    // The dialogs in the Korean system face, as a Korean installation configures them.
    CString face;
    CToviRegistry::GetDialogFont(0, face);
    CToviRegistry::SetDialogFont(0, L"\xB9D1\xC740 \xACE0\xB515");
    UseLanguage(LANG_KOREAN);
    ShootAll(L"ko");
    CToviRegistry::SetDialogFont(0, face);
}

TEST_F(DialogScreenshots, WaitDialog)
{
    CString face;
    CToviRegistry::GetDialogFont(0, face);
    for (LANGID language : { LANG_ENGLISH, LANG_KOREAN }) {
        UseLanguage(language);
        CToviRegistry::SetDialogFont(0, language == LANG_KOREAN ? CString(L"\xB9D1\xC740 \xACE0\xB515") : face);
        CProgressDlg* progress = nullptr;
        ui.Run([&] {
            progress = new CProgressDlg(nullptr);
            ASSERT_TRUE(progress->Create());
            progress->ShowWindow(SW_SHOW);
            progress->UpdateWindow();
        });
        ASSERT_NE(progress, nullptr);
        uitest::Pixels pixels = uitest::CaptureWindow(progress->m_hWnd, 600);
        EXPECT_FALSE(pixels.Empty());
        EXPECT_TRUE(uitest::SavePng(pixels, dir + (language == LANG_KOREAN ? L"\\progress_ko.png" : L"\\progress_en.png")));
        ui.Run([&] { CProgressDlg::StopProgress(progress); });
    }
    CToviRegistry::SetDialogFont(0, face);
}

}
