// Log-in, sessions, options and lists: A1-A5, B0-B5, H7, D5 against the running server.
#include "SessionHarness.h"

namespace {

class Sessions : public SessionHarness {};

Fields LoginFields(const std::string& user, const std::string& password, const std::string& force = "N",
                   const std::string& sso = "N", const std::string& domain = "1")
{
    Fields fields{{1, "en"}, {23, force}, {53, "2"}, {76, sso}, {169, user}};
    if (!password.empty())
        fields.push_back({170, password});
    fields.push_back({177, domain});
    return fields;
}

}

TEST_F(Sessions, DomainListCarriesTheDomainRecordAndTheOptions)
{
    auto client = Keyed();
    const Reply reply = Ask(*client, "A2", {});
    ASSERT_EQ(reply.command, "A2");
    const auto domains = reply.With(177);
    ASSERT_EQ(domains.size(), 1u);
    EXPECT_EQ(domains[0].at(168), "127.0.0.1");
    EXPECT_EQ(domains[0].at(186), "Test");
    const auto options = reply.With(150);
    ASSERT_EQ(options.size(), 1u);
    EXPECT_EQ(options[0].at(137), "111100000000");
    EXPECT_EQ(options[0].count(134), 0u);
}

TEST_F(Sessions, DomainAddressFollowsTheHostSwitch)
{
    Control("SWITCH host=files.example");
    auto client = Keyed();
    EXPECT_EQ(Ask(*client, "A2", {}).Value(0, 168), "files.example");
}

TEST_F(Sessions, LanguagesUpdatesAndSambaAnswerFromTheConfiguration)
{
    auto client = Keyed();
    const Reply languages = Ask(*client, "A5", {});
    ASSERT_EQ(languages.records.size(), 3u);
    EXPECT_EQ(languages.Value(0, 1), "ko");
    EXPECT_EQ(languages.Value(2, 1), "jp");
    const Reply updates = Ask(*client, "A4", {{{53, "2"}}});
    EXPECT_EQ(updates.command, "A4");
    EXPECT_TRUE(updates.records.empty());
    Control("OPTION UPDATE 181=Tovi.exe 229=2.0 230=abc");
    const Reply listed = Ask(*client, "A4", {{{53, "2"}}});
    ASSERT_EQ(listed.records.size(), 1u);
    EXPECT_EQ(listed.Value(0, 229), "2.0");
    EXPECT_EQ(Ask(*client, "A3", {}).command, "A3");
}

TEST_F(Sessions, OptionBlockCarriesTheTimersAndTheFactor)
{
    auto client = Keyed();
    Control("OPTION A1 159=32 201=Y");
    const Reply reply = Ask(*client, "A1", {});
    ASSERT_EQ(reply.records.size(), 1u);
    EXPECT_EQ(reply.Value(0, 172), "60");
    EXPECT_EQ(reply.Value(0, 224), "60");
    EXPECT_EQ(reply.Value(0, 159), "32");
    EXPECT_EQ(reply.Value(0, 201), "Y");
    EXPECT_EQ(reply.Value(0, 5), "2200");
}

TEST_F(Sessions, LoginGivesASessionAndTheUsersDetails)
{
    auto client = Keyed();
    const Reply first = Ask(*client, "B0", {LoginFields("alice", "secret")});
    ASSERT_EQ(first.command, "B0");
    EXPECT_EQ(first.Value(0, 171).size(), 32u);
    EXPECT_EQ(first.Value(0, 169), "alice");
    EXPECT_EQ(first.Value(0, 183), "Alice Kim");
    EXPECT_EQ(first.Value(0, 185), "Engineer");
    EXPECT_EQ(first.Value(0, 26), "N");
    EXPECT_EQ(first.Value(0, 79), "N");
    EXPECT_EQ(first.Value(0, 208), "");   // no earlier log-in

    auto again = Keyed();
    const Reply second = Ask(*again, "B0", {LoginFields("alice", "secret")});
    EXPECT_EQ(second.Value(0, 208).size(), 19u);
    EXPECT_EQ(second.Value(0, 130), "127.0.0.1");
    EXPECT_NE(second.Value(0, 171), first.Value(0, 171));
}

TEST_F(Sessions, RefusesBadLoginsWith1101)
{
    Control("USER id=sso password=pw sso=Y");
    const struct {
        const char* name;
        Fields fields;
    } rows[] = {
        {"wrong password", LoginFields("alice", "nope")},
        {"unknown user", LoginFields("bob", "secret")},
        {"other domain", LoginFields("alice", "secret", "N", "N", "7")},
        {"empty password without single sign-on", LoginFields("alice", "")},
        {"empty password of an sso user without 76", LoginFields("sso", "")},
        {"web token", LoginFields("#token", "")},
    };
    for (const auto& row : rows) {
        auto client = Keyed();
        const Reply reply = Ask(*client, "B0", {row.fields});
        EXPECT_EQ(reply.command, "E0") << row.name;
        EXPECT_EQ(reply.Code(), "1101") << row.name;
        EXPECT_FALSE(reply.Value(0, 255).empty()) << row.name;
    }
    auto client = Keyed();
    EXPECT_EQ(Ask(*client, "B0", {LoginFields("sso", "", "N", "Y")}).command, "B0");
}

TEST_F(Sessions, SingleSessionAsksWith2210AndForceEndsTheOtherSession)
{
    Control("SWITCH singleSession=1");
    std::string first;
    auto old = LoggedIn(first);
    auto client = Keyed();
    const Reply refused = Ask(*client, "B0", {LoginFields("alice", "secret")});
    EXPECT_EQ(refused.command, "E0");
    EXPECT_EQ(refused.Code(), "2210");

    auto retry = Keyed();
    const Reply forced = Ask(*retry, "B0", {LoginFields("alice", "secret", "Y")});
    ASSERT_EQ(forced.command, "B0");
    const Reply ended = Ask(*old, "B2", {{{171, first}}});
    EXPECT_EQ(ended.command, "E0");
    EXPECT_EQ(ended.Code(), "1213");
}

TEST_F(Sessions, AWebTokenRefusedAsElsewhereLogsInWhenRepeatedWithForce)
{
    Control("SWITCH singleSession=1");
    Control("USER id=gus password=pw");
    std::string first;
    auto old = LoggedIn(first, "gus", "pw");
    const std::string reply = Control("WEBTOKEN user=gus");
    ASSERT_EQ(reply.substr(0, 2), "OK") << reply;
    const std::string token = "#" + reply.substr(reply.find("token=") + 6);
    auto client = Keyed();
    const Reply refused = Ask(*client, "B0", {LoginFields(token, "")});
    EXPECT_EQ(refused.Code(), "2210");
    auto retry = Keyed();
    EXPECT_EQ(Ask(*retry, "B0", {LoginFields(token, "", "Y")}).command, "B0");
    auto again = Keyed();
    EXPECT_EQ(Ask(*again, "B0", {LoginFields(token, "", "Y")}).command, "E0") << "the session used the token up";
}

TEST_F(Sessions, SessionsOutliveTheirConnection)
{
    std::string sid;
    LoggedIn(sid).reset();
    auto other = Keyed();
    const Reply reply = Ask(*other, "B2", {{{171, sid}}});
    EXPECT_EQ(reply.command, "B2");
    EXPECT_EQ(reply.Value(0, 172), "60");
}

TEST_F(Sessions, RequestsWithoutASessionIdUseTheConnectionsSession)
{
    std::string sid;
    auto client = LoggedIn(sid);
    EXPECT_EQ(Ask(*client, "H5", {}).Last(44), "N");
    auto fresh = Keyed();
    EXPECT_EQ(Ask(*fresh, "H5", {}).Code(), "1213");
    // Once a request named the session, the new connection has it too.
    EXPECT_EQ(Ask(*fresh, "B2", {{{171, sid}}}).command, "B2");
    EXPECT_EQ(Ask(*fresh, "H5", {}).Last(44), "N");
}

TEST_F(Sessions, AnExpiredSessionGets1213OnEverySessionRequest)
{
    std::string sid;
    auto client = LoggedIn(sid);
    const std::string myFiles = IdxOf("My Files");
    EXPECT_EQ(Control("EXPIRE user=alice"), "OK closed=1");
    const struct {
        const char* command;
        Fields fields;
    } rows[] = {
        {"B2", {{171, sid}}},
        {"B4", {{171, sid}}},
        {"B5", {{171, sid}}},
        {"H7", {{171, sid}}},
        {"D5", {{171, sid}}},
        {"D0", {{171, sid}, {173, myFiles}, {177, "1"}}},
        {"H0", {{171, sid}, {173, myFiles}, {177, "1"}, {181, "a.txt"}, {192, "1"}}},
        {"H1", {{171, sid}, {173, myFiles}, {177, "1"}, {209, "0"}}},
        {"F0", {{171, sid}, {173, myFiles}, {177, "1"}, {181, "x"}, {34, "0"}}},
    };
    for (const auto& row : rows) {
        auto fresh = Keyed();
        const Reply reply = Ask(*fresh, row.command, {row.fields});
        EXPECT_EQ(reply.command, "E0") << row.command;
        EXPECT_EQ(reply.Code(), "1213") << row.command;
    }
}

TEST_F(Sessions, LogoutEndsTheSession)
{
    std::string sid;
    auto client = LoggedIn(sid);
    EXPECT_EQ(Ask(*client, "B1", {{{171, sid}}}).command, "B1");
    auto fresh = Keyed();
    EXPECT_EQ(Ask(*fresh, "B2", {{{171, sid}}}).Code(), "1213");
}

TEST_F(Sessions, PasswordChangeChecksTheCurrentPassword)
{
    std::string sid;
    auto client = LoggedIn(sid);
    EXPECT_EQ(Ask(*client, "B3", {{{170, "wrong"}, {171, sid}, {182, "new"}}}).Code(), "1103");
    EXPECT_EQ(Ask(*client, "B3", {{{171, sid}, {182, "new"}}}).Code(), "1103");   // no reset flag
    client = LoggedIn(sid);
    EXPECT_EQ(Ask(*client, "B3", {{{170, "secret"}, {171, sid}, {182, "new"}}}).command, "B3");
    auto fresh = Keyed();
    EXPECT_EQ(Ask(*fresh, "B0", {LoginFields("alice", "secret")}).Code(), "1101");
    EXPECT_EQ(Ask(*fresh, "B0", {LoginFields("alice", "new")}).command, "B0");
}

TEST_F(Sessions, ResetPasswordUserLogsInWithTheFlagAndChangesWithoutTheCurrentOne)
{
    Control("USER id=carol password=temp reset=Y");
    std::string sid;
    auto client = Keyed();
    const Reply login = Ask(*client, "B0", {LoginFields("carol", "temp")});
    EXPECT_EQ(login.Value(0, 26), "Y");
    sid = login.Value(0, 171);
    EXPECT_EQ(Ask(*client, "B3", {{{171, sid}, {182, "chosen"}}}).command, "B3");
    auto again = Keyed();
    EXPECT_EQ(Ask(*again, "B0", {LoginFields("carol", "chosen")}).Value(0, 26), "N");
}

TEST_F(Sessions, StatusRepliesCarryCountersQuotaAndBandwidth)
{
    Control("USER id=dave password=pw quota=1000000");
    Control("FILE user=dave size=1234 -- My Files/a.bin");
    Control("FILE user=dave size=100 partial=40 -- My Files/b.bin");
    std::string sid;
    auto client = LoggedIn(sid, "dave", "pw");
    const Reply alerts = Ask(*client, "B4", {{{171, sid}}});
    for (const uint8_t id : {223, 226, 227, 190, 191, 233, 234, 132, 131})
        EXPECT_EQ(alerts.Value(0, id), "0") << int(id);
    EXPECT_EQ(alerts.Value(0, 224), "60");
    const Reply quota = Ask(*client, "B5", {{{171, sid}}});
    EXPECT_EQ(quota.Value(0, 190), "1000000");
    EXPECT_EQ(quota.Value(0, 191), "1274");   // the file and the partial upload
    Control("SWITCH bandwidth=512");
    EXPECT_EQ(Ask(*client, "H7", {{{171, sid}}}).Value(0, 238), "512");
    EXPECT_EQ(Ask(*client, "D5", {{{171, sid}}}).Value(0, 201), "0");
}

TEST_F(Sessions, AlertAndQuotaFieldsSetOverTheControlReplaceTheDefaultsUntilReset)
{
    Control("USER id=erin password=pw");
    ASSERT_EQ(Control("OPTION B4 223=7 226= 131=-").substr(0, 2), "OK");
    std::string sid;
    auto client = LoggedIn(sid, "erin", "pw");
    const Reply alerts = Ask(*client, "B4", {{{171, sid}}});
    EXPECT_EQ(alerts.Value(0, 223), "7");
    EXPECT_EQ(alerts.Value(0, 226), "") << "an empty counter is sent empty";
    EXPECT_EQ(alerts.Value(0, 227), "0") << "counters not named keep their zero";
    EXPECT_EQ(alerts.Value(0, 131), "0") << "a removed overlay leaves the default";
    ASSERT_EQ(Control("OPTION B5 224=1").substr(0, 2), "OK");
    const Reply quota = Ask(*client, "B5", {{{171, sid}}});
    EXPECT_EQ(quota.Value(0, 224), "1");
    EXPECT_FALSE(quota.Value(0, 190).empty()) << "the account's own figures stay";
    Control("RESET");
    Control("USER id=erin password=pw");
    auto again = LoggedIn(sid, "erin", "pw");
    EXPECT_EQ(Ask(*again, "B4", {{{171, sid}}}).Value(0, 223), "0");
}

TEST_F(Sessions, AWebTokenLogsItsUserInOnceWithoutAPassword)
{
    Control("USER id=fay password=pw");
    const std::string reply = Control("WEBTOKEN user=fay");
    ASSERT_EQ(reply.substr(0, 2), "OK") << reply;
    const std::string token = reply.substr(reply.find("token=") + 6);
    const Fields login = LoginFields("#" + token, "");
    auto client = Keyed();
    const Reply first = Ask(*client, "B0", {login});
    EXPECT_EQ(first.command, "B0");
    EXPECT_FALSE(first.Value(0, 171).empty());
    EXPECT_EQ(first.Value(0, 169), "fay");
    auto again = Keyed();
    EXPECT_EQ(Ask(*again, "B0", {login}).command, "E0") << "a token logs in once";
    auto unknown = Keyed();
    const Fields forged = LoginFields("#" + std::string(32, 'a'), "");
    EXPECT_EQ(Ask(*unknown, "B0", {forged}).command, "E0");
    EXPECT_EQ(m_control.Send("WEBTOKEN user=nobody").substr(0, 3), "ERR");
}
