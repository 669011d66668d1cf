// Screenshots of the sample skinned dialog in each look, for people to look at: every control
// of the toolkit on one dialog, and a spinner turning over it. The pictures land in the test
// program's scratch folder.
#include "CircularProgressThread.h"
#include "Framework.h"
#include "Library.h"
#include "PixelCapture.h"
#include "SkinTestDialog.h"
#include "SkinTestRes.h"
#include "TestPaths.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

class SkinScreenshots : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
        static const std::wstring folder = testpaths::ScratchDir(L"SkinScreenshotUiTest");
        dir = folder;
    }
    void TearDown() override { ToviInterfaceTerm(); }

    // The sample as the pictures show it: its check box and radio buttons stay system controls
    // (skinned, they would be flat owner-drawn faces like push buttons).
    std::unique_ptr<CSkinTestDialog> OpenSample(int uiType, bool active)
    {
        std::unique_ptr<CSkinTestDialog> dlg;
        ui.Run([&] {
            dlg = std::make_unique<CSkinTestDialog>(IDD_SKIN_SAMPLE, uiType);
            dlg->SetActiveLook(active);
            dlg->m_bSystemChecks = true;
            if (!dlg->Create(IDD_SKIN_SAMPLE)) {
                dlg.reset();
                return;
            }
            dlg->SetSysButtonPos();
        });
        EXPECT_TRUE(dlg && dlg->m_hWnd);
        if (!dlg)
            return dlg;
        const struct { int id; LONG_PTR kind; } checks[] = {
            {IDC_SKIN_CHECK, BS_AUTOCHECKBOX},
            {IDC_SKIN_RADIO_A, BS_AUTORADIOBUTTON},
            {IDC_SKIN_RADIO_B, BS_AUTORADIOBUTTON},
        };
        for (const auto& check : checks) {
            LONG_PTR style = ::GetWindowLongPtrW(::GetDlgItem(dlg->m_hWnd, check.id), GWL_STYLE);
            EXPECT_EQ(check.kind, style & BS_TYPEMASK) << "control " << check.id;
        }
        return dlg;
    }

    // Opens the sample in a look, lets it settle, and saves its picture.
    void Shoot(int uiType, bool active, const std::wstring& name)
    {
        std::unique_ptr<CSkinTestDialog> dlg = OpenSample(uiType, active);
        ASSERT_TRUE(dlg);
        ui.Run([&] {
            dlg->m_btnMenu[1].SetStatus(true);
            dlg->CheckDlgButton(IDC_SKIN_CHECK, BST_CHECKED);
            dlg->CheckDlgButton(IDC_SKIN_RADIO_A, BST_CHECKED);
            dlg->m_search.SetWindowText(L"report");
            dlg->ShowWindow(SW_SHOW);
            dlg->UpdateWindow();
        });
        ASSERT_TRUE(dlg && dlg->m_hWnd);
        uitest::Pixels pixels = uitest::CaptureWindow(dlg->m_hWnd, 800);
        EXPECT_FALSE(pixels.Empty());
        EXPECT_TRUE(uitest::SavePng(pixels, dir + L"\\" + name + L".png"));
        ui.Run([&] {
            dlg->DestroyWindow();
            dlg.reset();
        });
    }

    uitest::UiThread ui;
    std::wstring dir;
};

TEST_F(SkinScreenshots, SampleDialogInEachLookIsSaved)
{
    Shoot(CVantelDialog::kUITypeDefault, true, L"default");
    Shoot(CVantelDialog::kUITypeDefault, false, L"default-inactive");
    Shoot(CVantelDialog::kUITypeMinimizable, true, L"minimizable");
    Shoot(CVantelDialog::kUITypeProgress, true, L"progress");
    Shoot(CVantelDialog::kUITypeBlueAccent, true, L"blue-accent");
    Shoot(CVantelDialog::kUITypeGoldAccent, true, L"gold-accent");
    Shoot(CVantelDialog::kUITypeLogin, true, L"login");
    Shoot(CVantelDialog::kUITypeLoginBlue, true, L"login-blue");
    Shoot(CVantelDialog::kUITypeLoginGold, true, L"login-gold");
    Shoot(CVantelDialog::kUITypeLoginCorners, true, L"login-corners");
}

TEST_F(SkinScreenshots, SpinnerOverTheSampleDialogIsSaved)
{
    std::unique_ptr<CSkinTestDialog> dlg = OpenSample(CVantelDialog::kUITypeDefault, true);
    ASSERT_TRUE(dlg);
    ui.Run([&] {
        dlg->CheckDlgButton(IDC_SKIN_CHECK, BST_CHECKED);
        dlg->CheckDlgButton(IDC_SKIN_RADIO_A, BST_CHECKED);
        dlg->ShowWindow(SW_SHOW);
        dlg->UpdateWindow();
    });
    CCircularProgressThread* spinner = nullptr;
    ui.Run([&] { spinner = CCircularProgressThread::Start(dlg.get(), 50, 0x9E6723); });
    ASSERT_NE(spinner, nullptr);
    ui.Run([&] { spinner->SetShow(true); });
    EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(dlg->m_hWnd, 800), dir + L"\\spinner.png"));
    ui.Run([&] {
        CCircularProgressThread::Stop(spinner);
        dlg->DestroyWindow();
        dlg.reset();
    });
}

}
