// The folder-password prompt from its template: the digest of the right password is accepted
// and handed back, anything else is refused and the entry cleared, and Cancel hands back nothing.
#include "AutoAnswer.h"
#include "Library.h"
#include "LoginRes.h"
#include "LoginRules.h"
#include "PasswordDlg.h"
#include "ToviTextLanguage.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

namespace {

const wchar_t kBoxTitle[] = L"Corvane IXO MessageBox";
// sha256(sha1("demo") as lower-case hex), from Python's hashlib.
const char kDemoDigest[] = "8010424bedf79dfd02799ab2f80f0db3bb8ca8c3d9788d6334a7c4585f61d66f";

class PasswordPrompt : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        m_ui.Run([] { CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH); });
    }
    void TearDown() override
    {
        if (Hwnd())
            uitest::ClickButton(Hwnd(), IDCANCEL);
        if (m_task)
            m_task->Wait(10000);
        m_dialog.reset();
        ToviInterfaceTerm();
    }

    HWND Open(const char* expected, const wchar_t* title = L"")
    {
        m_dialog.reset(new CPasswordDlg(nullptr));
        std::strncpy(m_dialog->m_szExpectedHash, expected, 64);
        m_dialog->m_strTitle = title;
        m_task = m_ui.Post([this] { m_result = static_cast<int>(m_dialog->DoModal()); });
        EXPECT_TRUE(uitest::WaitUntil([this] { return Hwnd() && IsWindowVisible(Hwnd()); }, 10000));
        return Hwnd();
    }
    HWND Hwnd() const { return m_dialog ? m_dialog->GetSafeHwnd() : nullptr; }
    HWND Entry() const { return GetDlgItem(Hwnd(), IDC_PASSWORD_EDIT); }

    uitest::UiThread m_ui;
    std::unique_ptr<CPasswordDlg> m_dialog;
    std::shared_ptr<uitest::UiTask> m_task;
    int m_result = -100;
};

bool Said(const uitest::AutoAnswer& box, const wchar_t* text)
{
    for (const auto& seen : box.Seen())
        for (const std::wstring& line : seen.texts)
            if (line.find(text) != std::wstring::npos)
                return true;
    return false;
}

}

TEST_F(PasswordPrompt, TheRightPasswordIsAcceptedAndItsDigestHandedBack)
{
    Open(kDemoDigest, L"Locked folder");
    EXPECT_EQ(L"Locked folder", uitest::GetText(Hwnd()));
    uitest::SetText(Entry(), L"demo");
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(m_task->Wait(10000));
    EXPECT_EQ(IDOK, m_result);
    EXPECT_STREQ(kDemoDigest, m_dialog->m_szAcceptedHash);
}

TEST_F(PasswordPrompt, WrongPasswordsAreRefusedAndTheEntryCleared)
{
    char upper[65] = {};
    for (int i = 0; i < 64; ++i)
        upper[i] = static_cast<char>(toupper(kDemoDigest[i]));
    const struct {
        const char* expected;
        const wchar_t* typed;
    } rows[] = {
        {kDemoDigest, L"Demo"},     // another case is another password
        {kDemoDigest, L"demo "},
        {upper, L"demo"},           // the digest is compared as lower-case text
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        uitest::AutoAnswer box(kBoxTitle, IDOK);
        Open(row.expected);
        uitest::SetText(Entry(), row.typed);
        uitest::ClickButton(Hwnd(), IDOK);
        ASSERT_TRUE(box.WaitForCount(1, 10000));
        EXPECT_TRUE(Said(box, L"The password is incorrect."));
        ASSERT_TRUE(uitest::WaitUntil([this] { return uitest::GetText(Entry()).empty(); }));
        EXPECT_FALSE(m_task->Done());
        uitest::ClickButton(Hwnd(), IDCANCEL);
        ASSERT_TRUE(m_task->Wait(10000));
        EXPECT_EQ(IDCANCEL, m_result);
        EXPECT_STREQ("", m_dialog->m_szAcceptedHash);
    }
}

TEST_F(PasswordPrompt, AnEmptyEntryAsksForThePassword)
{
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    Open(kDemoDigest);
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(box.WaitForCount(1, 10000));
    EXPECT_TRUE(Said(box, L"Enter the password."));
    EXPECT_FALSE(m_task->Done());
}

TEST_F(PasswordPrompt, WithoutATitleTheStandardOneIsShown)
{
    Open(kDemoDigest);
    EXPECT_EQ(L"Enter Password", uitest::GetText(Hwnd()));
    uitest::ClickButton(Hwnd(), 10125);
    ASSERT_TRUE(m_task->Wait(10000));
    EXPECT_EQ(IDCANCEL, m_result);
}
