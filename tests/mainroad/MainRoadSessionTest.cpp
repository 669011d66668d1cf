// Log-in, session, options and lists against the test server: every cipher, refusals, replies
// that are malformed or longer than their slots, an expired session, and the option blocks.
#include <winsock2.h>
#include "RoadServer.h"
#include "ToviConn.h"
#include <cstring>
#include <cwchar>

using namespace road;
using protoserver::TestProto;

namespace {

class SessionTest : public RoadTest {};

}

TEST_F(SessionTest, LogInWorksWithEveryCipherTheServerOffers)
{
    const char* const ciphers[] = {"seed-128-ofb", "seed-128-cfb", "aria-128-ofb", "aria-128-cfb",
                                   "aria-192-ofb", "aria-192-cfb", "aria-256-ofb", "aria-256-cfb"};
    for (const char* cipher : ciphers) {
        SCOPED_TRACE(cipher);
        ASSERT_EQ("OK", Control(std::string("POLICY fixed ") + cipher).substr(0, 2));
        TestProto proto;
        proto.Aim(m_ports.port);
        ASSERT_EQ(0, LogIn(proto)) << proto.Message();
        EXPECT_EQ(32u, std::strlen(proto.LoginInfo.SessionId));
        EXPECT_STREQ(L"Road Tester", proto.LoginInfo.UserName);
        EXPECT_STREQ(L"road", proto.LoginInfo.UserId);
        EXPECT_EQ(0, std::string(Control("CIPHER")).find(std::string("OK ") + cipher));
        // An enciphered exchange after the log-in: the session's top-level folders.
        EXPECT_FALSE(TopFolder(proto, L"My Files").empty()) << proto.Message();
    }
}

TEST_F(SessionTest, ARefusedLogInReturnsTheServersCodeAndNoSession)
{
    ASSERT_EQ(1101, LogIn(m_proto, kUser, "wrong"));
    EXPECT_STREQ("", m_proto.LoginInfo.SessionId);
    EXPECT_NE(L"", m_proto.Message());
    // The log-in keeps the connection it was given.
    EXPECT_NE(nullptr, m_proto.m_pConn);
}

TEST_F(SessionTest, AnErrorReplyWithoutACodeIsAFailedLogIn)
{
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code= cmd=B0 -- Refused").substr(0, 2));
    EXPECT_EQ(-1, LogIn(m_proto));
    EXPECT_STREQ("", m_proto.LoginInfo.SessionId);
}

TEST_F(SessionTest, ALogInReplyWithoutASessionIdIsAFailedLogIn)
{
    ProtRecord reply;
    reply[183] = "Nobody";
    ASSERT_EQ("OK", Control("FAULT payload cmd=B0 hex=" + RecordHex({reply})).substr(0, 2));
    EXPECT_EQ(-1, LogIn(m_proto));
    EXPECT_STREQ("", m_proto.LoginInfo.SessionId);
    EXPECT_NE(L"", m_proto.Message());
}

TEST_F(SessionTest, LogInValuesLongerThanTheirSlotsAreCutAndTerminated)
{
    std::string korean;
    for (int i = 0; i < 600; ++i)
        korean += "\xEA\xB0\x80";   // U+AC00
    ProtRecord reply;
    reply[171] = std::string(40, 'S');
    reply[183] = std::string(700, 'n');
    reply[185] = korean;
    reply[169] = std::string(600, 'u');
    reply[208] = std::string(30, '8');
    reply[130] = std::string(30, '1');
    reply[26] = "Y";
    reply[239] = std::string(300, 'g');
    ASSERT_EQ("OK", Control("FAULT payload cmd=B0 hex=" + RecordHex({reply})).substr(0, 2));
    ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
    const _LOGIN_INFO& info = m_proto.LoginInfo;
    EXPECT_EQ(std::string(32, 'S'), info.SessionId);
    EXPECT_STREQ("", info.SessionUpdateTime) << "the slot after the session id";
    EXPECT_EQ(std::wstring(511, L'n'), info.UserName);
    EXPECT_EQ(std::wstring(511, L'\xAC00'), info.UserPosName);
    EXPECT_EQ(std::wstring(511, L'u'), info.UserId);
    EXPECT_EQ(std::string(23, '8'), info.LastLogin);
    EXPECT_EQ(std::string(23, '1'), info.LastLoginIp);
    EXPECT_STREQ("Y", info.ResetPassword);
    EXPECT_EQ(std::string(259, 'g'), m_proto.GroupFullPath);
}

TEST_F(SessionTest, LogInSendsOnlyTheFieldsItHas)
{
    struct Row {
        const wchar_t* password;
        const char* language;
        char* session;
        bool force;
        std::map<int, std::string> expected;   // "" = not sent
    };
    const Row rows[] = {
        {L"", "xx", nullptr, false, {{170, ""}, {171, ""}, {76, "N"}, {1, "ko"}, {177, "1"}, {169, "road"}}},
        {L"pw", "en", const_cast<char*>("abc"), true, {{170, "pw"}, {171, "abc"}, {76, "Y"}, {1, "en"}}},
    };
    for (const Row& row : rows) {
        TestProto proto;
        proto.Aim(m_ports.port);
        ASSERT_EQ(0, proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, proto.ServerAddress.nPort,
                                         proto.ServerAddress.szCode, PROT_CMD('B', '0')));
        proto.GetLoginInfo(L"1", L"road", row.password, const_cast<char*>(row.language), const_cast<char*>("N"),
                           const_cast<char*>("2"), row.force, CString(), row.session);
        std::vector<std::map<int, std::string>> sent = LastRecords(Control("LAST cmd=B0"));
        ASSERT_EQ(1u, sent.size());
        for (const auto& field : row.expected) {
            auto it = sent[0].find(field.first);
            EXPECT_EQ(field.second, it == sent[0].end() ? std::string() : it->second)
                << "field " << field.first << " with password \"" << std::wstring(row.password) << "\"";
        }
    }
}

TEST_F(SessionTest, ALogInWithoutDomainOrUserSendsNothing)
{
    ASSERT_EQ(0, m_proto.GetSecureCode(nullptr, m_proto.ServerAddress.szHost, m_proto.ServerAddress.nPort,
                                       m_proto.ServerAddress.szCode, PROT_CMD('B', '0')));
    EXPECT_EQ(-1, m_proto.GetLoginInfo(L"", L"road", L"x", nullptr, nullptr, nullptr, false, CString(), nullptr));
    EXPECT_EQ(-1, m_proto.GetLoginInfo(L"1", L"", L"x", nullptr, nullptr, nullptr, false, CString(), nullptr));
    EXPECT_EQ(0u, Control("LAST cmd=B0").find("ERR"));
}

TEST_F(SessionTest, AnExpiredSessionGives1213)
{
    ASSERT_EQ(0, LogIn(m_proto));
    ASSERT_EQ(0, m_proto.GetSessionUpdate(m_proto.LoginInfo.SessionId));
    ASSERT_EQ("OK", Control(std::string("EXPIRE user=") + kUser).substr(0, 2));
    EXPECT_EQ(-1, m_proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), nullptr, false, true));
    EXPECT_EQ(1213, m_proto.ResultInfo.nResultCode);
    EXPECT_EQ(nullptr, m_proto.m_pConn) << "an error reply drops the connection";
}

TEST_F(SessionTest, LogOutEndsTheSessionAndLeavesNoConnection)
{
    ASSERT_EQ(0, LogIn(m_proto));
    std::string session = m_proto.LoginInfo.SessionId;
    ASSERT_EQ(0, m_proto.GetLogoutInfo());
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    // The next request connects again, and the server no longer knows the session.
    EXPECT_EQ(-1, m_proto.GetSessionUpdate(&session[0]));
    EXPECT_EQ(1213, m_proto.ResultInfo.nResultCode);
}

TEST_F(SessionTest, LogOutWithoutAServerIsRefusedAtOnce)
{
    TestProto proto;
    EXPECT_EQ(-1, proto.GetLogoutInfo());
    EXPECT_EQ(nullptr, proto.m_pConn);
}

TEST_F(SessionTest, KeepAliveAlertsAndQuotaFillTheirBlocks)
{
    ASSERT_EQ(0, LogIn(m_proto));
    char* session = m_proto.LoginInfo.SessionId;
    ASSERT_EQ(0, m_proto.GetSessionUpdate(session));
    EXPECT_STREQ("60", m_proto.LoginInfo.SessionUpdateTime);
    ASSERT_EQ(0, m_proto.GetAlertUpdate(session));
    EXPECT_STREQ("60", m_proto.AlarmInfo.Attr224);
    EXPECT_STREQ("0", m_proto.AlarmInfo.Share);
    ASSERT_EQ(0, m_proto.GetQuotaUpdate(session));
    ASSERT_EQ(1u, m_proto.QuotaList.size());
    EXPECT_STREQ("60", m_proto.QuotaList[0].Interval);
    EXPECT_NE('\0', m_proto.QuotaList[0].TotalBytes[0]);
}

TEST_F(SessionTest, TheDomainListFillsTheDomainsAndTheConnectionOptions)
{
    ASSERT_EQ("OK", Control("OPTION A2 216=ACME 134=#FF8800").substr(0, 2));
    ASSERT_EQ(0, m_proto.GetDomainInfo()) << m_proto.Message();
    ASSERT_EQ(1u, m_proto.DomainInfo.size());
    EXPECT_STREQ("1", m_proto.DomainInfo[0].DomainIndex);
    EXPECT_STREQ(L"Test", m_proto.DomainInfo[0].DomainLabel);
    EXPECT_STREQ("127.0.0.1", m_proto.DomainInfo[0].DomainAddress);
    EXPECT_EQ(L"ACME", std::wstring(m_proto.CustomerCode.GetString()));
    EXPECT_STREQ("30", m_proto.SocketTimeout);
    EXPECT_STREQ("#FF8800", m_proto.TitlebarColor) << "the whole colour, blue included";
}

TEST_F(SessionTest, OptionsLandInTheirSlotsAndTheContextMenuIsSplit)
{
    ASSERT_EQ("OK", Control("OPTION A1 159=32 140=a1$a2$a3#b1$b2$b3#c1$c2$c3#d1$d2$d3#e1$e2$e3").substr(0, 2));
    ASSERT_EQ(0, LogIn(m_proto));
    ASSERT_EQ(0, m_proto.GetOption()) << m_proto.Message();
    const _OPTION_INFO& options = m_proto.OptionInfo;
    EXPECT_STREQ("32", options.Factor);
    EXPECT_STREQ("60", options.SessionInterval);
    EXPECT_STREQ("60", options.AlertInterval);
    EXPECT_STREQ(L"jpg;jpeg;png;gif;bmp", options.Attr215);
    EXPECT_STREQ(L"a1$a2$a3", options.ContextMenu[0].Section);
    EXPECT_STREQ(L"e1$e2$e3", options.ContextMenu[4].Section);
    EXPECT_STREQ(L"b1", options.ContextMenu[1].Token1);
    EXPECT_STREQ(L"b2", options.ContextMenu[1].Token2);
    EXPECT_STREQ(L"b3", options.ContextMenu[1].Token3);
    EXPECT_STREQ("", options.WebStorage) << "never in a reply";
}

TEST_F(SessionTest, AContextMenuTextStopsAtItsFirstEmptyPart)
{
    struct Row {
        const char* text;
        const wchar_t* sections[3];
        const wchar_t* thirdTokens[3];
    };
    const Row rows[] = {
        {"a1$a2$a3##c1$c2$c3", {L"a1$a2$a3", L"", L""}, {L"a3", L"", L""}},
        {"a1$a2#b1$b2$b3", {L"a1$a2", L"b1$b2$b3", L""}, {L"", L"", L""}},
        {"a1$$a3#b1$b2$b3", {L"a1$$a3", L"b1$b2$b3", L""}, {L"", L"", L""}},
    };
    ASSERT_EQ(0, LogIn(m_proto));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        ASSERT_EQ("OK", Control(std::string("OPTION A1 140=") + row.text).substr(0, 2));
        ASSERT_EQ(0, m_proto.GetOption());
        for (int i = 0; i < 3; ++i) {
            EXPECT_STREQ(row.sections[i], m_proto.OptionInfo.ContextMenu[i].Section) << "section " << i;
            EXPECT_STREQ(row.thirdTokens[i], m_proto.OptionInfo.ContextMenu[i].Token3) << "section " << i;
        }
    }
}

TEST_F(SessionTest, LanguageAndUpdateListsBecomeTheirVectors)
{
    ASSERT_EQ(0, m_proto.GetLanguageInfo()) << m_proto.Message();
    ASSERT_EQ(3u, m_proto.LanguageInfo.size());
    EXPECT_EQ(L"ko", std::wstring(m_proto.LanguageInfo[0].GetString()));
    EXPECT_EQ(L"jp", std::wstring(m_proto.LanguageInfo[2].GetString()));

    ASSERT_EQ(0, m_proto.GetUpdateCheck(const_cast<char*>("2")));
    EXPECT_TRUE(m_proto.UpdateCheck.empty()) << "no records: nothing to update";
    ASSERT_EQ("OK", Control("OPTION UPDATE 181=CorvaneIXO.exe 229=1.2.3.4 230=ab12").substr(0, 2));
    ASSERT_EQ(0, m_proto.GetUpdateCheck(const_cast<char*>("2")));
    ASSERT_EQ(1u, m_proto.UpdateCheck.size());
    EXPECT_STREQ(L"CorvaneIXO.exe", m_proto.UpdateCheck[0].FileName);
    EXPECT_STREQ(L"1.2.3.4", m_proto.UpdateCheck[0].Version);
    EXPECT_STREQ(L"ab12", m_proto.UpdateCheck[0].Hash);
}
