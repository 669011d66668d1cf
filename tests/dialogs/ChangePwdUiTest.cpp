// The change-password dialog against the test server: typed input, the request the server
// sees on its control channel, the server's refusal shown from the result block, and input
// that never leaves the client (empty, mismatching, longer than its field).
#include "AutoAnswer.h"
#include "ChangePwdDlg.h"
#include "CommonDlgsRes.h"
#include "DialogsTestSupport.h"
#include "Framework.h"
#include "ToviString.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <string>

namespace {

const char kUser[] = "pwduser";
const char kPassword[] = "old1234";
const wchar_t kTitle[] = L"Corvane IXO ChangePwd";
const wchar_t kBoxTitle[] = L"Corvane IXO MessageBox";

// The value of a field of the LAST reply's first record, hex-decoded; "-" when absent.
std::string LastField(const std::string& reply, int id)
{
    std::string key = "rec=";
    size_t at = reply.find(key);
    if (at == std::string::npos)
        return "-";
    std::string records = reply.substr(at + key.size());
    records = records.substr(0, records.find_first_of(" /"));
    std::string want = std::to_string(id) + ":";
    size_t pos = 0;
    while (pos < records.size()) {
        size_t end = records.find(',', pos);
        std::string field = records.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (field.compare(0, want.size(), want) == 0) {
            std::string hex = field.substr(want.size()), out;
            for (size_t i = 0; i + 1 < hex.size(); i += 2)
                out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
            return out;
        }
        if (end == std::string::npos)
            break;
        pos = end + 1;
    }
    return "-";
}

class ChangePwdTest : public dialogstest::DialogTest {
protected:
    void SetUp() override
    {
        dialogstest::DialogTest::SetUp();
        ASSERT_TRUE(dialogstest::ReadDialogsServerPorts(m_ports)) << "no test server ports under T:\\dialogs-server";
        ASSERT_TRUE(m_control.Connect(m_ports.control));
        ASSERT_EQ("OK", Control("RESET").substr(0, 2));
        ASSERT_EQ("OK", Control(std::string("USER id=") + kUser + " password=" + kPassword).substr(0, 2));
        ASSERT_EQ(0, LogIn(m_proto, kPassword));
    }
    void TearDown() override
    {
        m_proto.CloseSocket();
        Control("RESET");
        dialogstest::DialogTest::TearDown();
    }
    std::string Control(const std::string& line) { return m_control.Send(line); }
    int LogIn(protoserver::TestProto& proto, const char* password, const char* user = kUser)
    {
        proto.Aim(m_ports.port, "20");
        int code = proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, proto.ServerAddress.nPort,
                                       proto.ServerAddress.szCode, PROT_CMD('B', '0'));
        if (code != 0)
            return code;
        return proto.GetLoginInfo(L"1", CString(user), CString(password), const_cast<char*>("en"),
                                  const_cast<char*>("N"), const_cast<char*>("2"), false, CString(), nullptr);
    }
    HWND Open(bool currentLocked = false, protoserver::TestProto* proto = nullptr)
    {
        m_result = -100;
        protoserver::TestProto* session = proto ? proto : &m_proto;
        m_task = ui.Post([this, currentLocked, session] {
            CChangePwdDlg dlg(nullptr);
            dlg.m_pProto = session;
            dlg.m_bCurrentLocked = currentLocked;
            m_result = (int)dlg.DoModal();
            m_newPassword = (const wchar_t*)dlg.m_strNewPassword;
        });
        return uitest::WaitForDialog(kTitle);
    }
    void Type(HWND dlg, const wchar_t* current, const wchar_t* fresh, const wchar_t* confirm)
    {
        uitest::SetText(::GetDlgItem(dlg, IDC_CHANGEPWD_CURRENT), current);
        uitest::SetText(::GetDlgItem(dlg, IDC_CHANGEPWD_NEW), fresh);
        uitest::SetText(::GetDlgItem(dlg, IDC_CHANGEPWD_CONFIRM), confirm);
    }
    int Result()
    {
        EXPECT_TRUE(m_task && m_task->Wait(10000));
        return m_result;
    }
    bool Sent() { return Control("LAST cmd=B3").compare(0, 2, "OK") == 0; }

    protoserver::Ports m_ports;
    protoserver::Control m_control;
    protoserver::TestProto m_proto;
    volatile int m_result = -100;
    std::wstring m_newPassword;
    std::shared_ptr<uitest::UiTask> m_task;
};

TEST_F(ChangePwdTest, ANewPasswordTypedTwiceIsSentAndWorksAtTheNextLogIn)
{
    HWND hwnd = Open();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_CHANGEPWD_CURRENT)));
    EXPECT_EQ(uitest::GetText(::GetDlgItem(hwnd, IDC_CHANGEPWD_NEW_LABEL)),
              std::wstring(CToviString::GetString(14071)) + L" :");
    Type(hwnd, L"old1234", L"new5678", L"new5678");
    uitest::ClickButton(hwnd, IDOK);
    ASSERT_EQ(Result(), IDOK);
    EXPECT_EQ(m_newPassword, L"new5678");
    std::string last = Control("LAST cmd=B3");
    EXPECT_EQ(LastField(last, 170), "old1234") << last;
    EXPECT_EQ(LastField(last, 182), "new5678") << last;

    protoserver::TestProto fresh, stale;
    EXPECT_EQ(0, LogIn(fresh, "new5678"));
    EXPECT_NE(0, LogIn(stale, kPassword));
    fresh.CloseSocket();
    stale.CloseSocket();
}

TEST_F(ChangePwdTest, AWrongCurrentPasswordShowsTheServersMessageAndStaysOpen)
{
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1103 cmd=B3 -- The current password is wrong.").substr(0, 2));
    uitest::AutoAnswer answer(kBoxTitle, IDOK);
    HWND hwnd = Open();
    ASSERT_NE(hwnd, nullptr);
    Type(hwnd, L"guess", L"new5678", L"new5678");
    uitest::ClickButton(hwnd, IDOK);
    ASSERT_TRUE(answer.WaitForCount(1, 10000));
    auto seen = answer.Seen().back();
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), std::wstring(m_proto.ResultInfo.wszMessage)),
              seen.texts.end());
    EXPECT_EQ(std::wstring(m_proto.ResultInfo.wszMessage), L"The current password is wrong.");
    EXPECT_TRUE(Sent());
    ui.Run([] {});
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_FALSE(m_task->Done());
    uitest::ClickButton(hwnd, IDCANCEL);
    EXPECT_EQ(Result(), IDCANCEL);
    EXPECT_EQ(m_newPassword, L"");
}

TEST_F(ChangePwdTest, InputThatCannotBeRightNeverReachesTheServer)
{
    const std::wstring thirtyOne(31, L'p'), thirty(30, L'p');
    const struct {
        const char* what;
        const wchar_t *current, *fresh, *confirm;
        const wchar_t* message;
        int focus;
    } rows[] = {
        // The checks speak the thread's language (English here), from the message table.
        { "no new password", L"old1234", L"", L"", L"Enter the new password.", IDC_CHANGEPWD_NEW },
        { "no confirmation", L"old1234", L"new5678", L"", L"Enter the new password again to confirm it.",
          IDC_CHANGEPWD_CONFIRM },
        { "mismatch", L"old1234", L"new5678", L"new5679", L"The new password and its confirmation do not match.",
          IDC_CHANGEPWD_CONFIRM },
        { "case differs", L"old1234", L"New5678", L"new5678", nullptr, IDC_CHANGEPWD_CONFIRM },
        { "new too long", L"old1234", thirtyOne.c_str(), thirtyOne.c_str(), L"A password can be at most 30 bytes long.",
          IDC_CHANGEPWD_NEW },
        { "current too long", thirtyOne.c_str(), L"new5678", L"new5678", L"A password can be at most 30 bytes long.",
          IDC_CHANGEPWD_CURRENT },
    };
    uitest::AutoAnswer answer(kBoxTitle, IDOK);
    HWND hwnd = Open();
    ASSERT_NE(hwnd, nullptr);
    int seen = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Type(hwnd, row.current, row.fresh, row.confirm);
        uitest::ClickButton(hwnd, IDOK);
        ASSERT_TRUE(answer.WaitForCount(++seen));
        auto box = answer.Seen().back();
        if (row.message)
            EXPECT_NE(std::find(box.texts.begin(), box.texts.end(), std::wstring(row.message)), box.texts.end());
        // The box is gone and the field to mend has the focus.
        HWND want = ::GetDlgItem(hwnd, row.focus);
        EXPECT_TRUE(uitest::WaitUntil([&] {
            HWND focus = nullptr;
            ui.Run([&] { focus = ::GetFocus(); });
            return focus == want;
        }, 3000));
        EXPECT_FALSE(Sent());
        EXPECT_FALSE(m_task->Done());
    }
    // Exactly thirty bytes is still a password.
    Type(hwnd, L"old1234", thirty.c_str(), thirty.c_str());
    uitest::ClickButton(hwnd, IDOK);
    EXPECT_EQ(Result(), IDOK);
    EXPECT_EQ(LastField(Control("LAST cmd=B3"), 182), std::string(30, 'p'));
}

TEST_F(ChangePwdTest, EnterNeverSendsAndALockedCurrentFieldIsSkipped)
{
    // An account whose password was reset may skip the current one.
    ASSERT_EQ("OK", Control("USER id=resetuser password=temp0000 reset=Y").substr(0, 2));
    protoserver::TestProto reset;
    ASSERT_EQ(0, LogIn(reset, "temp0000", "resetuser"));
    HWND hwnd = Open(true, &reset);
    ASSERT_NE(hwnd, nullptr);
    HWND current = ::GetDlgItem(hwnd, IDC_CHANGEPWD_CURRENT);
    EXPECT_FALSE(::IsWindowEnabled(current));
    HWND focus = nullptr;
    ui.Run([&] { focus = ::GetFocus(); });
    EXPECT_EQ(focus, ::GetDlgItem(hwnd, IDC_CHANGEPWD_NEW));
    Type(hwnd, L"", L"reset999", L"reset999");
    uitest::SendKey(::GetDlgItem(hwnd, IDC_CHANGEPWD_CONFIRM), VK_RETURN);
    ui.Run([] {});
    EXPECT_FALSE(m_task->Done());
    EXPECT_FALSE(Sent());
    uitest::ClickButton(hwnd, IDOK);
    EXPECT_EQ(Result(), IDOK);
    std::string last = Control("LAST cmd=B3");
    EXPECT_EQ(LastField(last, 170), "-") << last;
    EXPECT_EQ(LastField(last, 182), "reset999") << last;
    reset.CloseSocket();
}

}
