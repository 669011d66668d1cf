// The updater's message box as a user meets it: made from its template, answered by its
// buttons, sized for its text.
#include "FileUtils.h"
#include "MessageBoxDlg.h"
#include "UiThread.h"
#include "UpdaterRes.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <functional>

namespace {

struct BoxRun {
    std::atomic<INT_PTR> result{ -100 };
    std::atomic<HWND> window{ nullptr };
};

// Shows a box on the UI thread, presses the control `press` once it is up, and returns the
// box's result; `inspect` sees the window before the press.
INT_PTR Answer(UINT type, const wchar_t* text, int press, const std::function<void(HWND)>& inspect = nullptr)
{
    uitest::UiThread ui;
    BoxRun run;
    auto task = ui.Post([&] {
        CMessageBoxDlg box(nullptr);
        box.m_pszCaption = L"UpdaterBoxTest";
        box.m_pszMessage = text;
        box.m_nType = type;
        run.result = box.DoModal();
    });
    HWND box = uitest::WaitForDialog(L"UpdaterBoxTest");
    EXPECT_NE(nullptr, box);
    if (box == nullptr)
        return -1;
    if (inspect)
        inspect(box);
    uitest::ClickButton(box, press);
    EXPECT_TRUE(task->Wait(5000));
    return run.result;
}

}

class UpdaterMessageBox : public ::testing::Test {
protected:
    void SetUp() override { CFileUtils::SetLocaleChange(LANG_ENGLISH); }
    void TearDown() override { CFileUtils::SetLocaleChange(LANG_KOREAN); }
};

TEST_F(UpdaterMessageBox, ButtonsGiveTheResultsOfTheirKind)
{
    struct Row {
        UINT type;
        int press;
        INT_PTR result;
    } rows[] = {
        { MB_YESNO, IDOK, IDYES },          { MB_YESNO, IDCANCEL, IDNO },
        { MB_YESNO, IDC_BTN_SYSEXIT, IDOK },  // neither yes nor no
        { MB_OKCANCEL, IDOK, IDOK },        { MB_OKCANCEL, IDCANCEL, IDCANCEL },
        { MB_OKCANCEL, IDC_BTN_SYSEXIT, IDCANCEL },
        { MB_OK, IDOK, IDOK },              { MB_OK, IDC_BTN_SYSEXIT, IDOK },
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.result, Answer(row.type | MB_ICONERROR, L"Question?", row.press)) << "type " << row.type << " press " << row.press;
}

TEST_F(UpdaterMessageBox, AnOkBoxShowsOneCentredButtonAndIsAtLeast300Wide)
{
    Answer(MB_OK | MB_ICONERROR, L"File download is failed.", IDOK, [](HWND box) {
        RECT rc;
        GetWindowRect(box, &rc);
        EXPECT_GE(rc.right - rc.left, 300);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, IDCANCEL)));
        EXPECT_EQ(L"Ok", uitest::GetText(GetDlgItem(box, IDOK)));
        RECT client, button;
        GetClientRect(box, &client);
        GetWindowRect(GetDlgItem(box, IDOK), &button);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&button), 2);
        EXPECT_LE(std::abs((button.left + button.right) / 2 - client.right / 2), 1);
        EXPECT_EQ(L"File download is failed.", uitest::GetText(GetDlgItem(box, IDC_MESSAGE_TEXT)));
    });
}

TEST_F(UpdaterMessageBox, ALongMessageWidensTheBoxAndYesNoTextsFollowTheLanguage)
{
    CFileUtils::SetLocaleChange(LANG_KOREAN);
    std::wstring longLine(90, L'W');
    Answer(MB_YESNO, (L"short\n" + longLine).c_str(), IDOK, [](HWND box) {
        RECT rc;
        GetWindowRect(box, &rc);
        EXPECT_GT(rc.right - rc.left, 400);
        EXPECT_EQ(L"예", uitest::GetText(GetDlgItem(box, IDOK)));
        EXPECT_EQ(L"아니오", uitest::GetText(GetDlgItem(box, IDCANCEL)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, IDCANCEL)));
    });
}
