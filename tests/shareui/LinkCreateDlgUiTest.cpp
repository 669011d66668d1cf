// The link creation dialog against the test server: the server's link rules set through its
// option block, links made and changed, and what the server then lists for the file.
#include <winsock2.h>
#include "ShareHost.h"
#include "LinkCreateDlg.h"
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <cstring>

using namespace sharetest;

namespace {

class LinkCreateDlgTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        m_folder = MakeFolder("My Files/Links");
        m_file = MakeFile("My Files/Links/report.pdf", "report");
    }

    // Link rules: password, expiry and count rules, fixed-password marker, latest day and
    // largest count.
    void Rules(const std::string& options)
    {
        ASSERT_EQ("OK", Control("OPTION A1 " + options).substr(0, 2));
        ASSERT_EQ(0, m_proto.GetOption());
    }

    _PROTO_FOLDER_INFO File(const std::string& idx, const wchar_t* name)
    {
        _PROTO_FOLDER_INFO file = {};
        std::strcpy(file.IDX, idx.c_str());
        std::strcpy(file.DIDX, m_folder.c_str());
        wcscpy(file.Name, name);
        return file;
    }

    HWND Open(const char* mode, const _PROTO_LINK_INFO* chosen = nullptr)
    {
        m_dlg = std::make_unique<CLinkCreateDlg>();
        m_dlg->m_pProto = &m_proto;
        std::strcpy(m_dlg->m_szMode, mode);
        m_dlg->m_vecFiles = {File(m_file, L"report.pdf")};
        if (chosen)
            m_dlg->m_chosenLink = *chosen;
        CLinkCreateDlg* dlg = m_dlg.get();
        const wchar_t* title = mode[0] == 'M' ? L"Change Link" : mode[0] == 'L' ? L"Send Link by E-mail" : L"Link";
        return StartModal([dlg] { return dlg->DoModal(); }, title);
    }

    std::wstring PressOkRefused()
    {
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::ClickButton(m_dialog, IDOK);
        if (!box.WaitForCount(1))
            return L"(no message)";
        EXPECT_TRUE(Settle());
        return box.Seen()[0].texts.empty() ? L"" : box.Seen()[0].texts.back();
    }

    std::vector<_PROTO_LINK_INFO> Links()
    {
        EXPECT_EQ(0, m_proto.GetLinkInfo(const_cast<char*>(m_file.c_str()), const_cast<char*>(m_folder.c_str())));
        return m_proto.LinkInfo;
    }

    std::string m_folder, m_file;
    std::unique_ptr<CLinkCreateDlg> m_dlg;
};

TEST_F(LinkCreateDlgTest, CreatesALinkWithPasswordExpiryAndCount)
{
    Rules("67=1 68=1 69=1 162=0");
    ASSERT_NE(nullptr, Open("C"));
    EXPECT_EQ(L"report.pdf", uitest::GetText(Item(10112)));
    EXPECT_FALSE(IsWindowEnabled(Item(10078)));
    Check(10067, true);
    uitest::SetText(Item(10078), L"open-sesame");
    Check(10113, true);
    SYSTEMTIME day = {2031, 2, 0, 14};
    DateTime_SetSystemtime(Item(10071), GDT_VALID, &day);
    Check(10069, true);
    uitest::SetText(Item(10080), L"5");
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    const auto sent = Last("I0");
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ("C", sent[0].at(42));
    EXPECT_EQ("open-sesame", sent[0].at(194));
    EXPECT_EQ("2031-02-14", sent[0].at(13));
    EXPECT_EQ("5", sent[0].at(195));
    const auto links = Links();
    ASSERT_EQ(1u, links.size());
    EXPECT_STREQ(L"*", links[0].wszPassword);
    EXPECT_STREQ("2031-02-14", links[0].szExpire);
    EXPECT_STREQ("5", links[0].szLimit);
}

TEST_F(LinkCreateDlgTest, ALongerPasswordIsRefusedNotCut)
{
    Rules("67=2 68=1 69=1 162=0");
    const std::wstring twenty(20, L'k');
    {
        ASSERT_NE(nullptr, Open("C"));
        ASSERT_EQ(BST_CHECKED, IsDlgButtonChecked(m_dialog, 10067));
        uitest::SetText(Item(10078), twenty + L"x");
        EXPECT_NE(std::wstring::npos, PressOkRefused().find(L"at most 20"));
        EXPECT_TRUE(IsWindow(m_dialog));
        EXPECT_TRUE(Last("I0").empty());
        // Twenty characters fit whole.
        uitest::SetText(Item(10078), twenty);
        uitest::ClickButton(m_dialog, IDOK);
        ASSERT_EQ(IDOK, WaitModal());
    }
    EXPECT_EQ(std::string(20, 'k'), Last("I0")[0].at(194));
}

TEST_F(LinkCreateDlgTest, PasswordRules)
{
    const struct {
        const char* rules;
        const char* mode;
        bool chosenHasPassword;
        const wchar_t* typed;     // null: untouched
        bool checked, checkEnabled, editEnabled;
        const char* sent;         // field 194; null: refused with 12000
    } cases[] = {
        {"67=3 194=", "C", false, nullptr, true, false, true, nullptr},
        {"67=3 194=", "C", false, L"abc", true, false, true, "abc"},
        {"67=4 194=**", "C", false, nullptr, true, false, false, "**"},
        {"67=1 194=", "M", true, nullptr, true, true, true, "*"},
        {"67=1 194=", "M", true, L"changed", true, true, true, "changed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rules) + " " + c.mode + (c.sent ? c.sent : " refused"));
        Rules(std::string(c.rules) + " 68=1 69=1 162=0");
        _PROTO_LINK_INFO chosen = {};
        if (c.mode[0] == 'M') {
            ASSERT_EQ(0, m_proto.SetLinkInfo(const_cast<char*>(m_file.c_str()), const_cast<char*>(m_folder.c_str()),
                                             const_cast<char*>("C"), &chosen));
            chosen = Links().back();
            if (c.chosenHasPassword)
                wcscpy(chosen.wszPassword, L"*");
        }
        ASSERT_NE(nullptr, Open(c.mode, &chosen));
        EXPECT_EQ(c.checked, IsDlgButtonChecked(m_dialog, 10067) == BST_CHECKED);
        EXPECT_EQ(c.checkEnabled, IsWindowEnabled(Item(10067)) != FALSE);
        EXPECT_EQ(c.editEnabled, IsWindowEnabled(Item(10078)) != FALSE);
        if (c.typed)
            uitest::SetText(Item(10078), c.typed);
        if (!c.sent) {
            EXPECT_NE(std::wstring::npos, PressOkRefused().find(L"Enter the password"));
            uitest::ClickButton(m_dialog, IDCANCEL);
            ASSERT_EQ(IDCANCEL, WaitModal());
            continue;
        }
        uitest::ClickButton(m_dialog, IDOK);
        ASSERT_EQ(IDOK, WaitModal());
        const auto sent = Last("I0");
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(c.mode, sent[0].at(42));
        EXPECT_EQ(c.sent, sent[0].at(194));
        if (c.mode[0] == 'M')
            EXPECT_EQ(chosen.szLinkId, sent[0].at(7));
    }
}

TEST_F(LinkCreateDlgTest, ExpiryRulesWithTheServersDefaultAndLatestDay)
{
    // The expiry rule, its default day and its latest day, each from its own option field.
    const struct {
        const char* rules;
        bool checked, checkEnabled, pickerEnabled;
        const char* sent;         // field 13; null: empty
        const wchar_t* note;      // part of the note under the picker
    } cases[] = {
        {"68=1 13= 14=", false, true, false, nullptr, L"never expires"},
        {"68=2 13=2031-01-15 14=2031-12-31", true, true, true, "2031-01-15", L"up to 2031-12-31"},
        {"68=3 13=2031-01-15 14=2031-12-31", true, false, true, "2031-01-15", L"up to 2031-12-31"},
        {"68=4 13=2031-01-15 14=2031-12-31", true, false, false, "2031-01-15", L"never expires"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rules);
        Rules(std::string("67=1 194= 69=1 195= 162=0 ") + c.rules);
        ASSERT_NE(nullptr, Open("C"));
        EXPECT_EQ(c.checked, IsDlgButtonChecked(m_dialog, 10113) == BST_CHECKED);
        EXPECT_EQ(c.checkEnabled, IsWindowEnabled(Item(10113)) != FALSE);
        EXPECT_EQ(c.pickerEnabled, IsWindowEnabled(Item(10071)) != FALSE);
        EXPECT_NE(std::wstring::npos, uitest::GetText(Item(10204)).find(c.note)) << uitest::GetText(Item(10204));
        SYSTEMTIME range[2] = {};
        const DWORD limits = DateTime_GetRange(Item(10071), range);
        if (std::strstr(c.rules, "14=2031") && std::strstr(c.rules, "68=4") == nullptr) {
            ASSERT_TRUE(limits & GDTR_MAX);
            EXPECT_EQ(2031, range[1].wYear);
            EXPECT_EQ(12, range[1].wMonth);
            EXPECT_EQ(31, range[1].wDay);
        }
        uitest::ClickButton(m_dialog, IDOK);
        ASSERT_EQ(IDOK, WaitModal());
        const auto sent = Last("I0");
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(c.sent ? c.sent : "", sent[0].count(13) ? sent[0].at(13) : "");
    }
}

TEST_F(LinkCreateDlgTest, CountRules)
{
    // Rule 4: the default count, fixed.
    Rules("67=1 68=1 69=4 195=7 162=100");
    ASSERT_NE(nullptr, Open("C"));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(m_dialog, 10069));
    EXPECT_FALSE(IsWindowEnabled(Item(10069)));
    EXPECT_FALSE(IsWindowEnabled(Item(10080)));
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    EXPECT_EQ("7", Last("I0")[0].at(195));

    // Free rule: 0 is refused; above the largest count already while typing.
    Rules("67=1 68=1 69=2 195=0 162=100");
    ASSERT_NE(nullptr, Open("C"));
    uitest::SetText(Item(10080), L"0");
    EXPECT_NE(std::wstring::npos, PressOkRefused().find(L"greater than 0"));
    {
        uitest::AutoAnswer box(L"Corvane IXO MessageBox", IDOK);
        uitest::SetText(Item(10080), L"101");
        ASSERT_TRUE(box.WaitForCount(1));
        ASSERT_TRUE(Settle());
        EXPECT_NE(std::wstring::npos, box.Seen()[0].texts.back().find(L"larger than"));
    }
    EXPECT_EQ(L"", uitest::GetText(Item(10080)));
    EXPECT_NE(std::wstring::npos, PressOkRefused().find(L"number of downloads"));
    uitest::SetText(Item(10080), L"100");
    uitest::ClickButton(m_dialog, IDOK);
    ASSERT_EQ(IDOK, WaitModal());
    EXPECT_EQ("100", Last("I0")[0].at(195));
}

TEST(LinkNameText, OneNameOrTheFirstWithTheOthersCounted)
{
    auto files = [](const wchar_t* first, size_t count) {
        std::vector<_PROTO_FOLDER_INFO> out(count);
        for (auto& f : out)
            f = {};
        wcscpy(out[0].Name, first);
        return out;
    };
    EXPECT_EQ(L"short.txt", std::wstring(CLinkCreateDlg::NameText(files(L"short.txt", 1)).GetString()));
    EXPECT_EQ(L"short.txt 외 4개", std::wstring(CLinkCreateDlg::NameText(files(L"short.txt", 5)).GetString()));
    const wchar_t* thirty = L"abcdefghijklmnopqrstuvwxyz1234";
    EXPECT_EQ(L"abcdefghijklmnopqrstuvwxyz... 외 4개",
              std::wstring(CLinkCreateDlg::NameText(files(thirty, 5)).GetString()));
}

}
