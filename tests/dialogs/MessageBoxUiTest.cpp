// The message box as a user meets it: opened through CFileUtils::ToviMessageBox on a UI
// thread, answered with its buttons, Enter, Esc and the close box; buttons, icon and result
// for every type; sizing to the text, wrapping of lines wider than the work area; the drive
// edition's look; and the folder-name check's messages.
#include "AutoAnswer.h"
#include "DialogsTestSupport.h"
#include "FileUtils.h"
#include "Framework.h"
#include "MessageBoxDlg.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

const wchar_t kTitle[] = L"Corvane IXO MessageBox";

class MessageBoxTest : public dialogstest::DialogTest {
protected:
    // Shows the box on the UI thread; returns its window once it is up.
    HWND Show(const std::wstring& text, unsigned type, const wchar_t* caption = L"Notice")
    {
        m_text = text;
        m_result = -100;
        m_task = ui.Post([this, type, caption] {
            m_result = CFileUtils::ToviMessageBox(nullptr, m_text.c_str(), caption, type);
        });
        HWND hwnd = uitest::WaitForDialog(kTitle);
        if (hwnd)
            ui.Run([&] { m_dlg = dynamic_cast<CMessageBoxDlg*>(CWnd::FromHandlePermanent(hwnd)); });
        return hwnd;
    }
    // Waits for the box to end and gives its result.
    int Result()
    {
        EXPECT_TRUE(m_task && m_task->Wait(5000));
        m_dlg = nullptr;
        return m_result;
    }
    CRect ItemRect(HWND hwnd, int id)
    {
        CRect rc;
        ::GetWindowRect(::GetDlgItem(hwnd, id), &rc);
        return rc;
    }
    // Height of a line of text in the text control's font.
    int LineHeight(HWND hwnd)
    {
        HWND text = ::GetDlgItem(hwnd, IDC_MSGBOX_TEXT);
        HDC dc = ::GetDC(text);
        HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageW(text, WM_GETFONT, 0, 0));
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, L"A", 1, &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(text, dc);
        return size.cy;
    }

    std::wstring m_text;
    volatile int m_result = -100;
    std::shared_ptr<uitest::UiTask> m_task;
    CMessageBoxDlg* m_dlg = nullptr;
};

TEST_F(MessageBoxTest, EachTypeShowsItsButtonsAndIconAndEachAnswerGivesItsCode)
{
    enum Press { kOk, kCancel, kClose, kEnter, kEsc };
    const struct {
        const char* what;
        unsigned type;
        Press press;
        bool twoButtons;
        unsigned okText, cancelText;
        LPCWSTR icon;
        bool closeEnabled;
        int result;
    } rows[] = {
        { "OK box, OK", MB_OK, kOk, false, 14061, 0, IDI_APPLICATION, true, IDOK },
        { "OK box, Enter", MB_OK, kEnter, false, 14061, 0, IDI_APPLICATION, true, IDOK },
        { "OK box, Esc", MB_OK, kEsc, false, 14061, 0, IDI_APPLICATION, true, IDCANCEL },
        { "OK box, close box", MB_OK, kClose, false, 14061, 0, IDI_APPLICATION, true, IDOK },
        { "OK/Cancel, OK", MB_OKCANCEL, kOk, true, 14061, 14064, IDI_EXCLAMATION, true, IDOK },
        { "OK/Cancel, Cancel", MB_OKCANCEL, kCancel, true, 14061, 14064, IDI_EXCLAMATION, true, IDCANCEL },
        { "OK/Cancel, close box", MB_OKCANCEL, kClose, true, 14061, 14064, IDI_EXCLAMATION, true, IDCANCEL },
        { "Yes/No question, Yes", MB_YESNO | MB_ICONQUESTION, kOk, true, 14078, 14079, IDI_QUESTION, false, IDYES },
        { "Yes/No question, No", MB_YESNO | MB_ICONQUESTION, kCancel, true, 14078, 14079, IDI_QUESTION, false, IDNO },
        { "Yes/No, Esc", MB_YESNO, kEsc, true, 14078, 14079, IDI_QUESTION, false, IDNO },
        { "Yes/No, Enter", MB_YESNO, kEnter, true, 14078, 14079, IDI_QUESTION, false, IDYES },
        { "Yes/No, the disabled close box", MB_YESNO, kClose, true, 14078, 14079, IDI_QUESTION, false, -100 },
        { "error icon", MB_OK | MB_ICONERROR, kOk, false, 14061, 0, IDI_HAND, true, IDOK },
        { "information icon", MB_OKCANCEL | MB_ICONINFORMATION, kOk, true, 14061, 14064, IDI_ASTERISK, true, IDOK },
        { "exclamation on top", MB_OK | MB_ICONWARNING | MB_TOPMOST, kOk, false, 14061, 0, IDI_EXCLAMATION, true, IDOK },
        { "question on an OK box", MB_OK | MB_ICONQUESTION, kOk, false, 14061, 0, IDI_QUESTION, true, IDOK },
        // Button sets the box does not offer fall back to the OK box: never a Yes.
        { "Retry/Cancel, OK", MB_RETRYCANCEL, kOk, false, 14061, 0, IDI_APPLICATION, true, IDOK },
        { "Retry/Cancel, close box", MB_RETRYCANCEL | MB_ICONHAND, kClose, false, 14061, 0, IDI_HAND, true, IDOK },
        { "Yes/No/Cancel, OK", MB_YESNOCANCEL, kOk, false, 14061, 0, IDI_APPLICATION, true, IDOK },
        { "Abort/Retry/Ignore, Esc", MB_ABORTRETRYIGNORE, kEsc, false, 14061, 0, IDI_APPLICATION, true, IDCANCEL },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        HWND hwnd = Show(L"Replace the file?", row.type);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_NE(m_dlg, nullptr);
        HWND ok = ::GetDlgItem(hwnd, IDOK), cancel = ::GetDlgItem(hwnd, IDCANCEL);
        EXPECT_TRUE(::IsWindowVisible(ok));
        EXPECT_EQ(uitest::GetText(ok), std::wstring(CToviString::GetString(row.okText)));
        EXPECT_EQ(::IsWindowVisible(cancel) != FALSE, row.twoButtons);
        if (row.twoButtons)
            EXPECT_EQ(uitest::GetText(cancel), std::wstring(CToviString::GetString(row.cancelText)));
        EXPECT_EQ((ULONG_PTR)m_dlg->GetIconId(), (ULONG_PTR)row.icon);
        EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_SYSBTN_CLOSE)) != FALSE, row.closeEnabled);
        EXPECT_EQ((::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, (row.type & MB_TOPMOST) != 0);
        switch (row.press) {
        case kOk: uitest::ClickButton(hwnd, IDOK); break;
        case kCancel: uitest::ClickButton(hwnd, IDCANCEL); break;
        case kClose: uitest::ClickButton(hwnd, IDC_SYSBTN_CLOSE); break;
        case kEnter: uitest::SendKey(hwnd, VK_RETURN); break;
        case kEsc: uitest::SendKey(hwnd, VK_ESCAPE); break;
        }
        if (row.result == -100) {
            ui.Run([] {});   // the click was handled, and nothing ended
            EXPECT_TRUE(::IsWindow(hwnd));
            uitest::ClickButton(hwnd, IDCANCEL);
            EXPECT_EQ(Result(), IDNO);
        } else {
            EXPECT_EQ(Result(), row.result);
        }
        EXPECT_TRUE(uitest::WaitForWindowGone(hwnd));
    }
}

TEST_F(MessageBoxTest, OneLineGetsTheMinimumWidthAndOneCentredButton)
{
    HWND hwnd = Show(L"Saved.", MB_OK);
    ASSERT_NE(hwnd, nullptr);
    CRect window, ok;
    ::GetWindowRect(hwnd, &window);
    ok = ItemRect(hwnd, IDOK);
    EXPECT_EQ(window.Width(), 300);
    EXPECT_LE(std::abs(ok.CenterPoint().x - window.CenterPoint().x), 1);
    EXPECT_EQ(ok.top, window.bottom - 32);
    EXPECT_EQ(window.Height(), LineHeight(hwnd) + 115);
    EXPECT_EQ(m_dlg->GetLineCount(), 1);
    EXPECT_EQ(m_dlg->IconPos(), CPoint(7, 38));
    CString title;
    m_dlg->GetTitleBar(title);
    EXPECT_STREQ(title, L"Notice");
    uitest::ClickButton(hwnd, IDOK);
    EXPECT_EQ(Result(), IDOK);
}

TEST_F(MessageBoxTest, TwoButtonsSitSideBySideTenPixelsApartInTheMiddle)
{
    HWND hwnd = Show(L"Delete?", MB_OKCANCEL);
    ASSERT_NE(hwnd, nullptr);
    CRect window, ok = ItemRect(hwnd, IDOK), cancel = ItemRect(hwnd, IDCANCEL);
    ::GetWindowRect(hwnd, &window);
    EXPECT_EQ(cancel.left, ok.right + 10);
    EXPECT_EQ(cancel.top, ok.top);
    EXPECT_LE(std::abs((ok.left + cancel.right) / 2 - window.CenterPoint().x), 1);
    uitest::ClickButton(hwnd, IDCANCEL);
    EXPECT_EQ(Result(), IDCANCEL);
}

TEST_F(MessageBoxTest, HeightFollowsTheLinesAndTheIconMovesDownWithThem)
{
    const struct { const wchar_t* text; int lines; } rows[] = {
        { L"", 0 }, { L"one", 1 }, { L"one\ntwo\nthree", 3 }, { L"ends in a break\n", 2 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.lines << " lines");
        HWND hwnd = Show(row.text, MB_OK);
        ASSERT_NE(hwnd, nullptr);
        CRect window;
        ::GetWindowRect(hwnd, &window);
        EXPECT_EQ(m_dlg->GetLineCount(), row.lines);
        EXPECT_EQ(window.Height(), LineHeight(hwnd) * row.lines + 115);
        EXPECT_EQ(m_dlg->IconPos().y, 8 * row.lines + 30);
        EXPECT_EQ(uitest::GetText(::GetDlgItem(hwnd, IDC_MSGBOX_TEXT)), std::wstring(row.text));
        uitest::SendKey(hwnd, VK_RETURN);
        EXPECT_EQ(Result(), IDOK);
    }
}

TEST_F(MessageBoxTest, AWideLineWidensTheBoxToTheTextPlusSeventy)
{
    const std::wstring line = L"The upload stopped because the server closed the connection unexpectedly.";
    HWND hwnd = Show(line + L"\nRetry later.", MB_OK);
    ASSERT_NE(hwnd, nullptr);
    HWND text = ::GetDlgItem(hwnd, IDC_MSGBOX_TEXT);
    HDC dc = ::GetDC(text);
    HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageW(text, WM_GETFONT, 0, 0));
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, line.c_str(), (int)line.size(), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(text, dc);
    ASSERT_GT(size.cx + 70, 300);
    CRect window;
    ::GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.Width(), size.cx + 70);
    EXPECT_EQ(ItemRect(hwnd, IDC_MSGBOX_TEXT).Width(), size.cx);
    EXPECT_EQ(m_dlg->GetLineCount(), 2);
    uitest::SendKey(hwnd, VK_ESCAPE);
    EXPECT_EQ(Result(), IDCANCEL);
}

TEST_F(MessageBoxTest, TheWidestLineSetsTheWidthEvenWithFewerCharacters)
{
    const std::wstring narrow(90, L'i'), wide(60, L'W');
    HWND hwnd = Show(narrow + L"\n" + wide, MB_OK);
    ASSERT_NE(hwnd, nullptr);
    HWND text = ::GetDlgItem(hwnd, IDC_MSGBOX_TEXT);
    HDC dc = ::GetDC(text);
    HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageW(text, WM_GETFONT, 0, 0));
    SIZE narrowSize = {}, wideSize = {};
    ::GetTextExtentPoint32W(dc, narrow.c_str(), (int)narrow.size(), &narrowSize);
    ::GetTextExtentPoint32W(dc, wide.c_str(), (int)wide.size(), &wideSize);
    ::SelectObject(dc, old);
    ::ReleaseDC(text, dc);
    ASSERT_GT(wideSize.cx, narrowSize.cx);
    EXPECT_STREQ(m_dlg->m_strLongLine, narrow.c_str());   // the longest by characters
    EXPECT_EQ(ItemRect(hwnd, IDC_MSGBOX_TEXT).Width(), wideSize.cx);
    CRect window;
    ::GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.Width(), std::max(300L, wideSize.cx + 70));
    uitest::SendKey(hwnd, VK_RETURN);
    EXPECT_EQ(Result(), IDOK);
}

TEST_F(MessageBoxTest, LinesWiderThanTheWorkAreaWrapInsideIt)
{
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    std::wstring words;
    while (words.size() < 900)
        words += L"transfer ";
    // A line without blanks (a long path) is cut between characters.
    std::wstring path(700, L'x');
    HWND hwnd = Show(L"First\n" + words + L"\n" + path, MB_OK);
    ASSERT_NE(hwnd, nullptr);
    CRect window;
    ::GetWindowRect(hwnd, &window);
    EXPECT_LE(window.Width(), work.right - work.left);
    EXPECT_GE(window.left, work.left);
    EXPECT_LE(window.right, work.right);
    EXPECT_GT(m_dlg->GetLineCount(), 4);
    EXPECT_EQ(window.Height(), LineHeight(hwnd) * m_dlg->GetLineCount() + 115);

    // Every shown line fits beside the icon; nothing of the text is lost but the breaks.
    std::wstring shown = uitest::GetText(::GetDlgItem(hwnd, IDC_MSGBOX_TEXT));
    HWND text = ::GetDlgItem(hwnd, IDC_MSGBOX_TEXT);
    HDC dc = ::GetDC(text);
    HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageW(text, WM_GETFONT, 0, 0));
    std::wstring joined;
    size_t start = 0;
    for (;;) {
        size_t end = shown.find(L'\n', start);
        std::wstring piece = shown.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, piece.c_str(), (int)piece.size(), &size);
        EXPECT_LE(size.cx + 70, window.Width()) << "line: " << std::string(piece.begin(), piece.end());
        EXPECT_LE(size.cx, ItemRect(hwnd, IDC_MSGBOX_TEXT).Width());
        joined += piece;
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(text, dc);
    std::wstring expected = L"First" + words + path;
    auto noBlanks = [](std::wstring s) {
        s.erase(std::remove(s.begin(), s.end(), L' '), s.end());
        return s;
    };
    EXPECT_EQ(noBlanks(joined), noBlanks(expected));
    uitest::SendKey(hwnd, VK_RETURN);
    EXPECT_EQ(Result(), IDOK);
}

TEST_F(MessageBoxTest, TheLongestLineCountsWideCharactersTwice)
{
    CString longest;
    EXPECT_EQ(CMessageBoxDlg::CountLines(L"abcd\n\xD30C\xC77C\xBA85", &longest), 2);
    EXPECT_STREQ(longest, L"\xD30C\xC77C\xBA85");
    EXPECT_EQ(CMessageBoxDlg::CountLines(L"abcdef\n\xD30C\xC77C\xBA85", &longest), 2);
    EXPECT_STREQ(longest, L"abcdef");   // equally wide: the first wins
    EXPECT_EQ(CMessageBoxDlg::CountLines(L"", &longest), 0);
    EXPECT_TRUE(longest.IsEmpty());
    EXPECT_EQ(CMessageBoxDlg::CountLines(L"a\n", &longest), 2);
}

TEST_F(MessageBoxTest, TheDriveEditionsMainWindowGivesTheDriveLook)
{
    // The main window is found through the application object, as in the drive program.
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvaneDriveIXO";
    ::RegisterClassW(&wc);
    HWND main = ::CreateWindowExW(0, L"CorvaneDriveIXO", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(main, nullptr);
    CWnd mainWnd;
    mainWnd.Attach(main);
    // The application object makes the UI thread its own, whose main window is the drive's.
    std::unique_ptr<CWinApp> app;
    ui.Run([&] {
        app = std::make_unique<CWinApp>(L"Drive");
        app->m_pMainWnd = &mainWnd;
    });
    m_result = -100;
    m_task = ui.Post([this] { m_result = CFileUtils::ToviMessageBox(nullptr, L"Drive", L"Notice", MB_OK); });
    HWND hwnd = uitest::WaitForDialog(L"Corvane Drive IXO MessageBox");
    EXPECT_NE(hwnd, nullptr);
    if (hwnd) {
        ui.Run([&] { m_dlg = dynamic_cast<CMessageBoxDlg*>(CWnd::FromHandlePermanent(hwnd)); });
        ASSERT_NE(m_dlg, nullptr);
        EXPECT_EQ(m_dlg->m_nUIType, CVantelDialog::kUITypeBlueAccent);
        uitest::ClickButton(hwnd, IDOK);
        EXPECT_EQ(Result(), IDOK);
    }
    ui.Run([&] {
        app->m_pMainWnd = nullptr;
        app.reset();
    });
    mainWnd.Detach();
    ::DestroyWindow(main);
}

TEST_F(MessageBoxTest, AnOwnerIsDisabledWhileTheBoxShows)
{
    HWND owner = nullptr;
    CWnd* ownerWnd = nullptr;
    ui.Run([&] {
        owner = ::CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
        ownerWnd = CWnd::FromHandle(owner);
    });
    ASSERT_NE(owner, nullptr);
    m_task = ui.Post([&] { m_result = CFileUtils::ToviMessageBox(ownerWnd, L"Owned", L"Notice", MB_OK); });
    HWND hwnd = uitest::WaitForDialog(kTitle);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), owner);
    EXPECT_FALSE(::IsWindowEnabled(owner));
    uitest::ClickButton(hwnd, IDOK);
    EXPECT_EQ(Result(), IDOK);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ui.Run([&] { ::DestroyWindow(owner); });
}

TEST_F(MessageBoxTest, AFaultyFolderNameIsExplainedInTheBoxAndReturnsMinusOne)
{
    const struct { const wchar_t* name; unsigned message; } rows[] = {
        { L"", 12040 }, { L"com7", 12077 }, { L"a:b", 12077 }, { L"CON.txt", 12077 },
    };
    uitest::AutoAnswer answer(kTitle, IDOK);
    int seen = 0;
    for (const auto& row : rows) {
        int result = 0;
        CString name = row.name;
        ui.Run([&] { result = CFileUtils::CheckFolderName(nullptr, name); });
        EXPECT_EQ(result, -1) << row.message;
        ASSERT_TRUE(answer.WaitForCount(++seen));
        auto last = answer.Seen().back();
        bool found = false;
        for (const std::wstring& text : last.texts)
            found = found || text == std::wstring(CToviMsg::GetString(row.message));
        EXPECT_TRUE(found) << "message " << row.message;
    }
    CString good = L"  report. .";
    int result = -5;
    ui.Run([&] { result = CFileUtils::CheckFolderName(nullptr, good); });
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(good, L"report");
    EXPECT_EQ(answer.Count(), seen);
}

}
