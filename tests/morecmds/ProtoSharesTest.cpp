// Folder shares and group shares against the test server: the fields sent with their members,
// the settings and members read back, passwords and permission words.
#include <winsock2.h>
#include "CommandServer.h"
#include <cstring>

using namespace morecmds;

namespace {

char* C(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

_PROTO_SHARED_UGROUP Member(const char* type, const char* code, const char* permission, const char* write)
{
    _PROTO_SHARED_UGROUP member;
    std::memset(&member, 0, sizeof member);
    std::strcpy(member.Type, type);
    if (type[0] == 'G')
        std::strcpy(member.GroupId, code);
    else
        std::strcpy(member.Code, code);
    std::strcpy(member.Permission, permission);
    std::strcpy(member.Write, write);
    std::strcpy(member.DomainIndex, "1");
    return member;
}

class SharesTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        AddUser("bob", "2001");
        Ok("GROUP id=10 name=Sales");
        m_folder = Folder("My Files/team");
    }
    std::string m_folder;
};

}

TEST_F(SharesTest, AFolderShareIsSentWithItsMembersAndReadBack)
{
    m_proto.ReleaseSharedUGroupInfo();
    m_proto.SharedUGroupInfo.push_back(Member("U", "2001", "2210", "2"));
    m_proto.SharedUGroupInfo.push_back(Member("G", "10", "2000", "0"));
    const CString password(L"p4ss");
    ASSERT_EQ(0, m_proto.SetDShareInfo(C(m_folder), L"팀", C("Y"), password, C("2024-01-01"), C("2024-06-30"), true))
        << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("G1");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("11=2024-01-01 12=2024-06-30 29=Y 173=" + m_folder + " 181=" + Utf8(L"팀") + " 198=p4ss 203=2 ",
              Describe(sent[0]));
    EXPECT_EQ("5=2210 24=U 154=2 175=2001 ", Describe(sent[1]));
    EXPECT_EQ("5=2000 24=G 154=0 176=10 ", Describe(sent[2]));
    // The list stays as sent.
    EXPECT_EQ(2u, m_proto.SharedUGroupInfo.size());

    ASSERT_EQ(0, m_proto.GetDShareInfo(C(m_folder)));
    EXPECT_EQ("173=" + m_folder + " ", Describe(Last("G0")[0]));
    EXPECT_STREQ("Y", m_proto.SharedInfo.cShare);
    EXPECT_EQ(L"*", std::wstring(m_proto.SharedInfo.wszPassword));
    EXPECT_STREQ("2024-01-01", m_proto.SharedInfo.szPeriodFrom);
    EXPECT_STREQ("2024-06-30", m_proto.SharedInfo.szPeriodTo);
    EXPECT_STREQ("2", m_proto.SharedInfo.szMemberCount);
    ASSERT_EQ(2u, m_proto.SharedUGroupInfo.size());
    const _PROTO_SHARED_UGROUP& user = m_proto.SharedUGroupInfo[0];
    EXPECT_STREQ("U", user.Type);
    EXPECT_STREQ("2001", user.Code);
    EXPECT_EQ(L"bob name", std::wstring(user.Name));
    EXPECT_STREQ("bob", user.UserId);
    EXPECT_STREQ("2210", user.Permission);
    EXPECT_STREQ("2", user.Write);
    EXPECT_EQ(L"Sales", std::wstring(m_proto.SharedUGroupInfo[1].GroupName));
    // A folder share does not read the group-share fields.
    EXPECT_STREQ("", user.DomainIndex);
}

TEST_F(SharesTest, WithoutMembersTheCountIsZeroAndNoMemberGoesOut)
{
    m_proto.SharedUGroupInfo.push_back(Member("U", "2001", "2210", "2"));
    ASSERT_EQ(0, m_proto.SetDShareInfo(C(m_folder), L"team", C("N"), CString(), nullptr, nullptr, false));
    Records sent = Last("G1");
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ("0", sent[0][203]);
    EXPECT_EQ(0u, sent[0].count(198));
    EXPECT_TRUE(m_proto.SharedUGroupInfo.empty());
    ASSERT_EQ(0, m_proto.GetDShareInfo(C(m_folder)));
    EXPECT_STREQ("0", m_proto.SharedInfo.szMemberCount);
    EXPECT_TRUE(m_proto.SharedUGroupInfo.empty());
    EXPECT_EQ(L"", std::wstring(m_proto.SharedInfo.wszPassword));
}

TEST_F(SharesTest, APasswordIsSentAtMostTwentyBytesLongAndRepliesAtMostTwentyCharacters)
{
    ASSERT_EQ(0, m_proto.SetDShareInfo(C(m_folder), L"team", C("Y"), CString(std::wstring(30, L'x').c_str()),
                                       nullptr, nullptr, false));
    EXPECT_EQ(std::string(20, 'x'), Last("G1")[0][198]);
    ReplyWith("G0", {{{29, "Y"}, {198, std::string(50, 'w')}}});
    ASSERT_EQ(0, m_proto.GetDShareInfo(C(m_folder)));
    EXPECT_EQ(std::wstring(20, L'w'), std::wstring(m_proto.SharedInfo.wszPassword));
}

TEST_F(SharesTest, AReplyPasswordIsReadInTheAnsiCodePage)
{
    ASSERT_EQ(1252u, ::GetACP()) << "the value is written for code page 1252";
    // Not UTF-8: as UTF-8 these bytes would be refused or read as other letters.
    ReplyWith("G0", {{{29, "Y"}, {198, "caf\xE9\x80"}}});
    ASSERT_EQ(0, m_proto.GetDShareInfo(C(m_folder)));
    EXPECT_EQ(L"caf\x00E9\x20AC", std::wstring(m_proto.SharedInfo.wszPassword));
}

TEST_F(SharesTest, APermissionWordOfOtherThanFourDigitsCannotBeSent)
{
    m_proto.SharedUGroupInfo.push_back(Member("U", "2001", "221", "2"));
    EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN,
              m_proto.SetDShareInfo(C(m_folder), L"team", C("Y"), CString(), nullptr, nullptr, true));
}

TEST_F(SharesTest, AGroupShareIsSetWithItsSettingsAndMembersAndReadBack)
{
    _PROTO_SHARED_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strcpy(info.szQuota, "2048");
    std::strcpy(info.szPeriodFrom, "2024-01-01");
    std::strcpy(info.cVersioning, "Y");
    std::strcpy(info.cOption45, "N");
    std::strcpy(info.cAutoDelete, "D");
    std::strcpy(info.szAutoDeleteCount, "30");
    std::strcpy(info.cRecycle, "Y");
    m_proto.ReleaseSharedUGroupInfo();
    m_proto.SharedUGroupInfo.push_back(Member("U", "2001", "2222", "2"));
    // A null share sends the new-share flag instead: a new group folder under the folder.
    ASSERT_EQ(0, m_proto.SetGShareInfo(C(m_folder), C("Y"), L"Group A", nullptr, C("Y"), &info, true))
        << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("G3");
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(0u, sent[0].count(29));
    EXPECT_EQ("11=2024-01-01 30=Y 31=Y 37=D 39=Y 45=N 51=Y 173=" + m_folder +
                  " 181=Group A 190=2048 199=30 203=1 ",
              Describe(sent[0]));
    EXPECT_EQ("5=2222 24=U 154=2 175=2001 177=1 ", Describe(sent[1]));
    const std::string listing = Listing("My Files/team");
    const size_t at = listing.find("Group A:");
    ASSERT_NE(std::string::npos, at) << listing;
    const std::string group = listing.substr(at + 8, listing.find(';', at) - at - 8);

    ASSERT_EQ(0, m_proto.GetGShareInfo(C(group)));
    EXPECT_STREQ("2024-01-01", m_proto.SharedInfo.szPeriodFrom);
    EXPECT_STREQ("2048", m_proto.SharedInfo.szGuestQuota);
    EXPECT_STREQ("2048", m_proto.SharedInfo.szQuota);
    EXPECT_STREQ("Y", m_proto.SharedInfo.cVersioning);
    EXPECT_STREQ("D", m_proto.SharedInfo.cAutoDelete);
    EXPECT_STREQ("30", m_proto.SharedInfo.szAutoDeleteCount);
    EXPECT_STREQ("Y", m_proto.SharedInfo.cRecycle);
    EXPECT_STREQ("Y", m_proto.SharedInfo.cMaster);
    EXPECT_STREQ("1", m_proto.SharedInfo.szMemberCount);
    ASSERT_EQ(1u, m_proto.SharedUGroupInfo.size());
    EXPECT_STREQ("1", m_proto.SharedUGroupInfo[0].DomainIndex);
    EXPECT_EQ(L"Test", std::wstring(m_proto.SharedUGroupInfo[0].DomainLabel));
    EXPECT_STREQ("Y", m_proto.SharedUGroupInfo[0].Flag46);
    EXPECT_EQ(L"bob name", std::wstring(m_proto.SharedUGroupInfo[0].Name));

    // With a share value, 29 goes out and 39 does not.
    ASSERT_EQ(0, m_proto.SetGShareInfo(C(group), C("Y"), L"Group A", C("N"), C("Y"), &info, false));
    EXPECT_EQ("N", Last("G3")[0][29]);
    EXPECT_EQ(0u, Last("G3")[0].count(39));
    EXPECT_EQ("0", Last("G3")[0][203]);
}

TEST_F(SharesTest, ANameThatEncodesToNothingIsNotSent)
{
    EXPECT_EQ(-1, m_proto.SetDShareInfo(C(m_folder), L"", C("Y"), CString(), nullptr, nullptr, false));
    EXPECT_EQ(-1, m_proto.SetGShareInfo(C(m_folder), C("Y"), L"", C("Y"), C("Y"), nullptr, false));
    EXPECT_TRUE(Last("G1").empty());
}
