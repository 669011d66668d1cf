// A server that sends a reply twice, against a logged-in session: the copy is never taken
// for the answer of a later request, so the exchanges after it stay in step.
#include <winsock2.h>
#include "RoadServer.h"
#include "ToviConn.h"

using namespace road;

namespace {

class HostileTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
        for (const char* name : {"A", "B", "C"}) {
            const std::string folder = std::string("My Files/Dup") + name;
            ASSERT_EQ("OK", Control("FILE user=road size=10 -- " + folder + "/" + name + ".txt").substr(0, 2));
            m_folders.push_back(protoserver::Control::Value(Control("ITEM user=road -- " + folder), "idx"));
            ASSERT_FALSE(m_folders.back().empty());
        }
    }

    // The one file of folder Dup<name> is what the listing shows.
    bool Lists(const std::vector<_PROTO_FOLDER_INFO>& items, const wchar_t* name)
    {
        return Find(items, name) != nullptr;
    }

    std::vector<std::string> m_folders;   // DupA, DupB, DupC
};

}

TEST_F(HostileTest, AListingThatCameTwiceDoesNotAnswerTheNextListing)
{
    ASSERT_EQ("OK", Control("FAULT duplicate cmd=D0").substr(0, 2));
    EXPECT_TRUE(Lists(ListAll(m_proto, m_folders[0], "1"), L"A.txt"));
    // The copy arrives while nobody asks.
    Sleep(200);
    const std::vector<_PROTO_FOLDER_INFO> b = ListAll(m_proto, m_folders[1], "1");
    EXPECT_TRUE(Lists(b, L"B.txt"));
    EXPECT_FALSE(Lists(b, L"A.txt"));
}

TEST_F(HostileTest, ALateCopyOfAListingFailsARequestOfAnotherCommand)
{
    ASSERT_EQ("OK", Control("FAULT duplicate late=1 cmd=D0").substr(0, 2));
    EXPECT_TRUE(Lists(ListAll(m_proto, m_folders[0], "1"), L"A.txt"));
    // The copy comes just before the keep-alive's own answer.
    EXPECT_EQ(-1, m_proto.GetSessionUpdate(m_proto.LoginInfo.SessionId));
    EXPECT_EQ(IXO_SOCK_ERR_CMD_MISMATCH, m_proto.ResultInfo.nResultCode);
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_EQ(0, m_proto.GetSessionUpdate(m_proto.LoginInfo.SessionId)) << m_proto.Message();
    EXPECT_TRUE(Lists(ListAll(m_proto, m_folders[1], "1"), L"B.txt"));
}

TEST_F(HostileTest, ALateCopyOfAListingShiftsNoMoreThanOneListing)
{
    ASSERT_EQ("OK", Control("FAULT duplicate late=1 cmd=D0").substr(0, 2));
    EXPECT_TRUE(Lists(ListAll(m_proto, m_folders[0], "1"), L"A.txt"));
    // A copy of the same command cannot be told from the answer it stands in front of; the
    // answer it pushed back is then found waiting, and the next listing starts afresh.
    ListAll(m_proto, m_folders[1], "1");
    Sleep(200);
    const std::vector<_PROTO_FOLDER_INFO> c = ListAll(m_proto, m_folders[2], "1");
    EXPECT_TRUE(Lists(c, L"C.txt"));
    EXPECT_FALSE(Lists(c, L"B.txt"));
    EXPECT_TRUE(Lists(ListAll(m_proto, m_folders[0], "1"), L"A.txt"));
}
