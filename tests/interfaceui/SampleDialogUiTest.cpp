// The interface library's start-up and the tests' sample dialog: GDI+, ClearType and the theme
// library come up on request, the library's templates load from the library, and the sample
// dialog works under the harness as designed (its screenshot is kept for people to look at).
#include "AutoAnswer.h"
#include "Framework.h"
#include "Library.h"
#include "LoginRes.h"
#include "PixelCapture.h"
#include "Resources.h"
#include "SampleDialog.h"
#include "SampleDialogRes.h"
#include "TestPaths.h"
#include "ThemeLibrary.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gdiplus.h>
#include <gtest/gtest.h>

namespace {

class InterfaceLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ToviInterfaceInit()); }
    void TearDown() override { ToviInterfaceTerm(); }
};

TEST_F(InterfaceLibrary, StartsGdiplus)
{
    EXPECT_TRUE(ToviInterfaceStarted());
    Gdiplus::Bitmap bitmap(16, 16, PixelFormat32bppARGB);
    ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
    Gdiplus::Graphics graphics(&bitmap);
    Gdiplus::SolidBrush blue(Gdiplus::Color(255, 0, 0, 255));
    EXPECT_EQ(graphics.FillRectangle(&blue, 0, 0, 16, 16), Gdiplus::Ok);
    Gdiplus::Color pixel;
    bitmap.GetPixel(8, 8, &pixel);
    EXPECT_EQ(pixel.GetB(), 255);
}

TEST_F(InterfaceLibrary, StartsAndStopsOnceForNestedCalls)
{
    ASSERT_TRUE(ToviInterfaceInit());   // nested
    ToviInterfaceTerm();
    EXPECT_TRUE(ToviInterfaceStarted());
    ToviInterfaceTerm();
    EXPECT_FALSE(ToviInterfaceStarted());
    ToviInterfaceTerm();   // one too many: ignored
    EXPECT_FALSE(ToviInterfaceStarted());
    ASSERT_TRUE(ToviInterfaceInit());   // for TearDown
}

TEST_F(InterfaceLibrary, SwitchesFontSmoothingToClearType)
{
    BOOL smoothing = FALSE;
    UINT type = 0;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &smoothing, 0));
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0));
    EXPECT_TRUE(smoothing);
    EXPECT_EQ(type, (UINT)FE_FONTSMOOTHINGCLEARTYPE);
}

TEST_F(InterfaceLibrary, LoadsTheThemeLibraryAndFallsBackWithoutIt)
{
    EXPECT_NE(ThemeLibraryModule(), nullptr);
    ThemeLibraryLoad(L"no-such-theme-library.dll");
    EXPECT_EQ(ThemeLibraryModule(), nullptr);
    EXPECT_FALSE(ThemeIsAppThemed());
    HDC dc = ::GetDC(nullptr);
    RECT r = { 0, 0, 1, 1 };
    EXPECT_EQ(ThemeDrawParentBackground(nullptr, dc, &r), E_FAIL);
    ::ReleaseDC(nullptr, dc);
    EXPECT_EQ(UxThemeFallback(nullptr, nullptr, nullptr), E_FAIL);
    ThemeLibraryLoad(L"uxtheme.dll");
    EXPECT_NE(ThemeLibraryModule(), nullptr);
}

TEST_F(InterfaceLibrary, ItsDialogTemplatesAreFoundInTheLibrary)
{
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(IDD_LOGIN_DIALOG), RT_DIALOG), ToviInterfaceInstance());
    EXPECT_NE(ToviInterfaceInstance(), ::GetModuleHandleW(nullptr));
}

class SampleDialog : public InterfaceLibrary {
protected:
    HWND Start()
    {
        task = ui.Post([this] { result = dlg.DoModal(); });
        HWND hwnd = uitest::WaitForDialog(L"Sample");
        EXPECT_NE(hwnd, nullptr);
        return hwnd;
    }
    CSampleDialog dlg;
    uitest::UiThread ui;
    std::shared_ptr<uitest::UiTask> task;
    INT_PTR result = 0;
};

// The swatch's colour band in the captured dialog.
int SwatchPixels(HWND dialog, COLORREF color)
{
    HWND swatch = ::GetDlgItem(dialog, IDC_SAMPLE_SWATCH);
    RECT r;
    ::GetWindowRect(swatch, &r);
    RECT d;
    ::GetWindowRect(dialog, &d);
    ::OffsetRect(&r, -d.left, -d.top);
    uitest::Pixels pixels = uitest::CaptureWindow(dialog);
    return pixels.Count(color, r);
}

TEST_F(SampleDialog, IsDrivenThroughToOkAndLooksAsDesigned)
{
    dlg.m_strName = L"Kim";
    HWND hwnd = Start();
    ASSERT_NE(hwnd, nullptr);
    HWND name = ::GetDlgItem(hwnd, IDC_SAMPLE_NAME);
    EXPECT_EQ(uitest::GetText(name), L"Kim");

    // The dialog selected the whole name when it focused the field: go to its end first.
    uitest::SendKey(name, VK_END);
    uitest::TypeText(name, L" Minji");
    EXPECT_TRUE(uitest::WaitUntil([&] { return uitest::GetText(name) == L"Kim Minji"; }));
    // Every typed character is one EN_CHANGE, counted by the dialog's handler.
    EXPECT_TRUE(uitest::WaitUntil([&] { return uitest::GetText(::GetDlgItem(hwnd, IDC_SAMPLE_COUNT)) == L"6"; }));

    HWND swatch = ::GetDlgItem(hwnd, IDC_SAMPLE_SWATCH);
    RECT sr;
    ::GetClientRect(swatch, &sr);
    int area = sr.right * sr.bottom;
    // The reflected colour, blue, once the dialog has painted.
    EXPECT_TRUE(uitest::WaitUntil([&] { return SwatchPixels(hwnd, RGB(0, 120, 215)) == area; }));

    ::SendMessageW(::GetDlgItem(hwnd, IDC_SAMPLE_REMEMBER), BM_SETCHECK, BST_CHECKED, 0);
    uitest::ClickButton(hwnd, IDC_SAMPLE_REMEMBER);
    EXPECT_TRUE(uitest::WaitUntil([&] { return SwatchPixels(hwnd, RGB(0, 160, 60)) == area; }));
    ::SendMessageW(::GetDlgItem(hwnd, IDC_SAMPLE_LARGE), BM_CLICK, 0, 0);

    std::wstring dir = testpaths::ScratchDir(L"SampleDialogUiTest");
    EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(hwnd), dir + L"\\SampleDialog.png"));
    EXPECT_TRUE(uitest::SaveScreenPng(dir + L"\\Screen.png"));

    uitest::SendKey(name, VK_RETURN);
    ASSERT_TRUE(task->Wait(5000));
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(dlg.m_strName, L"Kim Minji");
    EXPECT_EQ(dlg.m_bRemember, BST_CHECKED);
    EXPECT_EQ(dlg.m_nSize, 1);
    EXPECT_GT(dlg.m_swatch.GetColorRequests(), 0);
}

TEST_F(SampleDialog, RejectsANameOverFortyCharacters)
{
    HWND hwnd = Start();
    ASSERT_NE(hwnd, nullptr);
    uitest::SetText(::GetDlgItem(hwnd, IDC_SAMPLE_NAME), std::wstring(41, L'x'));
    {
        // The refusal's box has no title; any title would also take in the sample dialog itself.
        uitest::AutoAnswer answer(L"", IDOK);
        uitest::ClickButton(hwnd, IDOK);
        EXPECT_TRUE(answer.WaitForCount(1));
    }
    EXPECT_TRUE(::IsWindow(hwnd));
    uitest::ClickButton(hwnd, IDCANCEL);
    ASSERT_TRUE(task->Wait(5000));
    EXPECT_EQ(result, IDCANCEL);
}

}
