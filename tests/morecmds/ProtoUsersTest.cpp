// The user and group tree and the user and group search against the test server: request
// fields, the records of a page, paging with its ends, and the loop's bound.
#include <winsock2.h>
#include "CommandServer.h"
#include <cstring>

using namespace morecmds;
using protoserver::Control;

namespace {

char* C(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

class UsersTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        Ok("GROUP id=10 name=Sales");
        Ok("GROUP id=11 name=Export parent=10");
        for (int i = 0; i < 5; ++i)
            Ok("USER id=s" + std::to_string(i) + " password=pw name=Seller%20" + std::to_string(i) +
               " position=Clerk code=20" + std::to_string(i) + " group=10 department=Sales%2FNorth");
    }

    std::string Names(const std::vector<_PROTO_UGROUP_INFO>& entries)
    {
        std::string out;
        for (const _PROTO_UGROUP_INFO& entry : entries)
            out += std::string(entry.Type) + ":" + (entry.Type[0] == 'G' ? Narrow(entry.GroupName) : Narrow(entry.Name)) + "|";
        return out;
    }

    int Exchanges() { return std::atoi(Control::Value(Control("COUNT"), "exchanges").c_str()); }
};

struct Stop {
    int pages = 0;
    int stopAfter = 1000;
};

bool PageStep(CToviProto*, void* context)
{
    Stop& stop = *static_cast<Stop*>(context);
    return ++stop.pages < stop.stopAfter;
}

}

TEST_F(UsersTest, ALevelOfTheTreeListsItsGroupsThenItsUsersWithEveryField)
{
    ASSERT_EQ(0, m_proto.GetUserGroupList(C("10"), C("1"), true, C("N"), C("Y")))
        << Narrow(m_proto.ResultInfo.wszMessage);
    EXPECT_EQ("38=N 44=Y 176=10 177=1 ", Describe(Last("C0")[0]));
    EXPECT_STREQ("N", m_proto.ContinueFlag);
    ASSERT_EQ(6u, m_proto.UGroupInfo.size());
    EXPECT_EQ("G:Export|U:Seller 0|U:Seller 1|U:Seller 2|U:Seller 3|U:Seller 4|", Names(m_proto.UGroupInfo));
    const _PROTO_UGROUP_INFO& group = m_proto.UGroupInfo[0];
    EXPECT_STREQ("11", group.GroupId);
    EXPECT_STREQ("N", group.Flag28);
    const _PROTO_UGROUP_INFO& user = m_proto.UGroupInfo[1];
    EXPECT_STREQ("200", user.Code);
    EXPECT_STREQ("s0", user.UserId);
    EXPECT_EQ(L"Clerk", std::wstring(user.PosName));
    EXPECT_STREQ("10", user.GroupId);
    EXPECT_EQ(L"Sales", std::wstring(user.GroupName));
    EXPECT_STREQ("1", user.DomainIndex);
    EXPECT_EQ(L"Test", std::wstring(user.DomainLabel));
    EXPECT_EQ(L"Sales/North", std::wstring(user.GroupPath));

    // The domain list: no group id.
    ASSERT_EQ(0, m_proto.GetUserGroupList(C(""), C("0"), true, C("N"), C("Y")));
    EXPECT_EQ(0u, Last("C0")[0].count(176));
    ASSERT_EQ(1u, m_proto.UGroupInfo.size());
    EXPECT_STREQ("D", m_proto.UGroupInfo[0].Type);
    EXPECT_STREQ("Y", m_proto.UGroupInfo[0].Flag46);
}

TEST_F(UsersTest, PagesCollectInTheListWhileTheTemporaryListHoldsTheLastPage)
{
    Ok("SWITCH pageSize=2");
    ASSERT_EQ(0, m_proto.GetUserGroupList(C("10"), C("1"), true, C("N"), C("Y")));
    EXPECT_STREQ("Y", m_proto.ContinueFlag);
    EXPECT_EQ(2u, m_proto.UGroupInfoTmp.size());
    ASSERT_EQ(0, m_proto.GetUserGroupList(C("10"), C("1"), false, C("N"), C("Y")));
    EXPECT_STREQ("Y", m_proto.ContinueFlag);
    EXPECT_EQ(4u, m_proto.UGroupInfo.size());
    EXPECT_EQ("U:Seller 1|U:Seller 2|", Names(m_proto.UGroupInfoTmp));

    // The whole listing through the loop: three pages, the last one ending in "N". Another
    // request first, or the server would take the loop's first page for the third.
    ASSERT_EQ(0, m_proto.GetShortcutList());
    Stop stop;
    ASSERT_EQ(0, m_proto.RunUserGroupList(C("10"), C("1"), C("N"), PageStep, &stop));
    EXPECT_EQ(2, stop.pages);
    EXPECT_EQ("G:Export|U:Seller 0|U:Seller 1|U:Seller 2|U:Seller 3|U:Seller 4|", Names(m_proto.UGroupInfo));
    EXPECT_EQ("U:Seller 3|U:Seller 4|", Names(m_proto.UGroupInfoTmp));
    EXPECT_STREQ("N", m_proto.ContinueFlag);

    // A stopped listing sends "N" and keeps what it had.
    stop = Stop();
    stop.stopAfter = 1;
    ASSERT_EQ(0, m_proto.RunUserGroupList(C("10"), C("1"), C("N"), PageStep, &stop));
    EXPECT_EQ("N", Last("C0")[0][44]);
    EXPECT_EQ(2u, m_proto.UGroupInfo.size());
}

TEST_F(UsersTest, SearchSendsItsFieldsAndPagesToTheEnd)
{
    Ok("SWITCH pageSize=4");
    ASSERT_EQ(0, m_proto.RunSearchUserGroup(C("A"), C("N"), L"sel", C("1"), C("Y")));
    EXPECT_EQ("24=A 38=Y 44=Y 72=N 177=1 181=sel ", Describe(Last("C1")[0]));
    EXPECT_EQ("U:Seller 0|U:Seller 1|U:Seller 2|U:Seller 3|U:Seller 4|", Names(m_proto.UGroupInfo));
    // The search does not read 178 and 28.
    ASSERT_EQ(0, m_proto.GetSearchUserGroup(C("G"), C("N"), L"export", C("1"), true, C("N"), C("Y")));
    ASSERT_EQ(1u, m_proto.UGroupInfo.size());
    EXPECT_STREQ("", m_proto.UGroupInfo[0].Flag28);

    const int before = Exchanges();
    EXPECT_EQ(-1, m_proto.GetSearchUserGroup(C("A"), C("N"), L"", C("1"), true, C("N"), C("Y")));
    EXPECT_EQ(before, Exchanges());
}

TEST_F(UsersTest, ThePagingRecordEndsItsRecordAndAddsNoEntry)
{
    ReplyWith("C0", {{{24, "U"}, {183, "\xEA\xB9\x80"}}, {{24, "G"}, {44, "N"}, {183, "ignored"}}});
    ASSERT_EQ(0, m_proto.GetUserGroupList(C("10"), C("1"), true, C("N"), C("Y")));
    ASSERT_EQ(1u, m_proto.UGroupInfo.size());
    EXPECT_EQ(L"김", std::wstring(m_proto.UGroupInfo[0].Name));
    EXPECT_STREQ("N", m_proto.ContinueFlag);

    // Only the paging record: nothing new, the flag set.
    ReplyWith("C0", {{{44, "Y"}}});
    ASSERT_EQ(0, m_proto.GetUserGroupList(C("10"), C("1"), false, C("N"), C("Y")));
    EXPECT_TRUE(m_proto.UGroupInfoTmp.empty());
    EXPECT_EQ(1u, m_proto.UGroupInfo.size());
    EXPECT_STREQ("Y", m_proto.ContinueFlag);
}

TEST_F(UsersTest, OverLongValuesAreCutToTheirSlots)
{
    ReplyWith("C0", {{{175, std::string(30, '7')}, {183, std::string(900, 'n')}, {197, std::string(3000, 'p')},
                      {169, std::string(700, 'i')}},
                     {{44, "N"}}});
    ASSERT_EQ(0, m_proto.GetUserGroupList(C("10"), C("1"), true, C("N"), C("Y")));
    ASSERT_EQ(1u, m_proto.UGroupInfo.size());
    EXPECT_EQ(9u, std::strlen(m_proto.UGroupInfo[0].Code));
    EXPECT_EQ(511u, std::wcslen(m_proto.UGroupInfo[0].Name));
    EXPECT_EQ(511u, std::wcslen(m_proto.UGroupInfo[0].GroupPath));
    EXPECT_EQ(511u, std::strlen(m_proto.UGroupInfo[0].UserId));
}

TEST_F(UsersTest, AListingThatNeverEndsOrEndsOddlyIsStopped)
{
    struct Row { const char* flag; const char* count; int exchanges; };
    // "Y" for ever hits the bound of 3 continuations; a letter the loop does not know ends it at once.
    const Row rows[] = {{"Y", "*", 4}, {"X", "1", 1}};
    for (const Row& row : rows) {
        ReplyWith("C0", {{{44, row.flag}}}, row.count);
        const int before = Exchanges();
        EXPECT_EQ(-1, m_proto.RunUserGroupList(C("10"), C("1"), C("N"), nullptr, nullptr, 3)) << row.flag;
        EXPECT_EQ(IXO_SOCK_ERR_NO_END, m_proto.ResultInfo.nResultCode) << row.flag;
        EXPECT_EQ(before + row.exchanges, Exchanges()) << row.flag;
        Ok("RESET");
        m_tops = AddUser("alice", "1001");
        LogIn("alice");
    }
}
