// Pictures of the log-in windows in English and Korean, for people to look at; they land in the
// program's scratch folder. Each window must at least come up and paint.
#include <winsock2.h>
#include "ConfigDlg.h"
#include "LoginHost.h"
#include "PasswordDlg.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

using namespace logintest;

namespace {

class LoginScreenshots : public LoginHost {
protected:
    void Save(HWND hwnd, const std::wstring& name)
    {
        ASSERT_NE(nullptr, hwnd);
        const uitest::Pixels pixels = uitest::CaptureWindow(hwnd, 800);
        ASSERT_FALSE(pixels.Empty());
        // A painted window has more than one colour.
        const RECT all = {0, 0, pixels.width, pixels.height};
        EXPECT_LT(pixels.Count(pixels.At(pixels.width / 2, pixels.height / 2), all), pixels.width * pixels.height);
        static const std::wstring dir = testpaths::ScratchDir(L"LoginScreenshotsUiTest");
        EXPECT_TRUE(uitest::SavePng(pixels, dir + L"\\" + name + L".png"));
    }

    template <class Dialog>
    void ShootModal(const std::wstring& name, LANGID language, const std::function<void(Dialog&)>& prepare)
    {
        std::unique_ptr<Dialog> dialog(new Dialog(nullptr));
        prepare(*dialog);
        auto task = m_ui.Post([&dialog, language] {
            CToviTextLanguage::SetThreadLanguage(language);
            dialog->DoModal();
        });
        ASSERT_TRUE(uitest::WaitUntil([&dialog] {
            return dialog->GetSafeHwnd() && IsWindowVisible(dialog->GetSafeHwnd());
        }, 10000));
        Save(dialog->GetSafeHwnd(), name);
        uitest::ClickButton(dialog->GetSafeHwnd(), IDCANCEL);
        ASSERT_TRUE(task->Wait(10000));
    }

    void ShootAll(unsigned short language, const std::wstring& suffix)
    {
        UseLanguage(language);
        FetchLists();
        ASSERT_NE(nullptr, StartLogin());
        uitest::SetText(Item(10007), L"demo");
        Save(LoginWindow(), L"login_" + suffix);
        m_login->SetRemove();
        ASSERT_TRUE(WaitLoginEnd());

        const LANGID id = language == 0x12 ? LANG_KOREAN : LANG_ENGLISH;
        StoreServer(0);
        ShootModal<CConfigDlg>(L"config_" + suffix, id, [this](CConfigDlg& dlg) { dlg.m_pProto = m_session; });
        ShootModal<CPasswordDlg>(L"password_" + suffix, id, [](CPasswordDlg&) {});
    }
};

}

TEST_F(LoginScreenshots, English)
{
    ShootAll(0x09, L"en");
}

TEST_F(LoginScreenshots, Korean)
{
    ShootAll(0x12, L"ko");
}
