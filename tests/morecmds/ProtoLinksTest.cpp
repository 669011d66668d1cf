// Download links and sending files against the test server: the fields each mode sends, the
// link list with its decoded and bounded passwords, and files landing in the receivers' boxes.
#include <winsock2.h>
#include "CommandServer.h"
#include <cstring>

using namespace morecmds;

namespace {

char* C(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

class LinksTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        m_file = File("My Files/report.txt", "report");
    }
    std::string m_file;
};

}

TEST_F(LinksTest, ALinkIsCreatedChangedListedAndRemoved)
{
    _PROTO_LINK_INFO info = {};
    std::strcpy(info.szExpire, "2030-01-31");
    std::wcscpy(info.wszPassword, L"비밀");
    std::strcpy(info.szLimit, "5");
    ASSERT_EQ(0, m_proto.SetLinkInfo(C(m_file), C("1"), C("C"), &info)) << Narrow(m_proto.ResultInfo.wszMessage);
    // A new link has no id: field 7 stays out.
    EXPECT_EQ("13=2030-01-31 42=C 173=" + m_file + " 177=1 194=" + Utf8(L"비밀") + " 195=5 ",
              Describe(Last("I0")[0]));

    ASSERT_EQ(0, m_proto.GetLinkInfo(C(m_file), C("1")));
    EXPECT_EQ("173=" + m_file + " 177=1 ", Describe(Last("I1")[0]));
    ASSERT_EQ(1u, m_proto.LinkInfo.size());
    _PROTO_LINK_INFO link = m_proto.LinkInfo[0];
    EXPECT_EQ(20u, std::strlen(link.szLinkId));
    EXPECT_STREQ("2030-01-31", link.szExpire);
    EXPECT_STREQ("5", link.szLimit);
    EXPECT_EQ(L"*", std::wstring(link.wszPassword));
    EXPECT_NE(std::string::npos, std::string(link.szUrl).find(std::string("/link/") + link.szLinkId)) << link.szUrl;

    // A change names the link; "*" keeps the password.
    std::wcscpy(link.wszPassword, L"*");
    std::strcpy(link.szLimit, "9");
    ASSERT_EQ(0, m_proto.SetLinkInfo(C(m_file), C("1"), C("M"), &link));
    EXPECT_EQ(std::string("7=") + link.szLinkId + " 13=2030-01-31 42=M 173=" + m_file + " 177=1 194=* 195=9 ",
              Describe(Last("I0")[0]));
    ASSERT_EQ(0, m_proto.GetLinkInfo(C(m_file), C("1")));
    ASSERT_EQ(1u, m_proto.LinkInfo.size());
    EXPECT_STREQ("9", m_proto.LinkInfo[0].szLimit);

    // Removing sends the id alone, whatever else the record holds.
    ASSERT_EQ(0, m_proto.SetLinkInfo(C(m_file), C("1"), C("D"), &link));
    EXPECT_EQ(std::string("7=") + link.szLinkId + " 42=D 173=" + m_file + " 177=1 ", Describe(Last("I0")[0]));
    ASSERT_EQ(0, m_proto.GetLinkInfo(C(m_file), C("1")));
    EXPECT_TRUE(m_proto.LinkInfo.empty());
}

TEST_F(LinksTest, ALinkIdOfAnotherLengthIsRefusedByTheCodec)
{
    _PROTO_LINK_INFO info = {};
    std::strcpy(info.szLinkId, "short");
    EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, m_proto.SetLinkInfo(C(m_file), C("1"), C("D"), &info));
}

TEST_F(LinksTest, LinkPasswordsOfRepliesAreDecodedAsUtf8AndBounded)
{
    struct Row { std::string wire; std::wstring expected; };
    const Row rows[] = {
        {"*", L"*"},
        {"\xEB\xB9\x84\xEB\xB0\x80", L"비밀"},
        {std::string(64, 'q'), std::wstring(20, L'q')},
    };
    for (const Row& row : rows) {
        ReplyWith("I1", {{{7, std::string(20, 'L')}, {194, row.wire}, {196, std::string(600, 'u')}}});
        ASSERT_EQ(0, m_proto.GetLinkInfo(C(m_file), C("1"))) << row.wire;
        ASSERT_EQ(1u, m_proto.LinkInfo.size());
        EXPECT_EQ(row.expected, std::wstring(m_proto.LinkInfo[0].wszPassword)) << row.wire;
        EXPECT_EQ(512u, std::strlen(m_proto.LinkInfo[0].szUrl)) << row.wire;
    }
}

TEST_F(LinksTest, SentFilesLandInEveryReceiversFileBox)
{
    AddUser("bob", "2001");
    AddUser("carol", "3001");
    const std::string second = File("My Files/plan.txt", "plan");
    std::vector<_SEND_FILES> files(2);
    std::memset(files.data(), 0, sizeof(_SEND_FILES) * files.size());
    std::strcpy(files[0].szId, m_file.c_str());
    std::strcpy(files[1].szId, second.c_str());
    std::vector<_RECEIVER_LIST> receivers(2);
    std::memset(receivers.data(), 0, sizeof(_RECEIVER_LIST) * receivers.size());
    std::strcpy(receivers[0].Code, "2001");
    std::strcpy(receivers[0].UserId, "bob");
    std::strcpy(receivers[1].Code, "3001");
    ASSERT_EQ(0, m_proto.GetSendFiles(C("2030-12-31"), files, receivers)) << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("I3");
    ASSERT_EQ(5u, sent.size());
    EXPECT_EQ("13=2030-12-31 ", Describe(sent[0]));
    EXPECT_EQ("173=" + m_file + " ", Describe(sent[1]));
    EXPECT_EQ("173=" + second + " ", Describe(sent[2]));
    EXPECT_EQ("169=bob 175=2001 ", Describe(sent[3]));
    EXPECT_EQ("175=3001 ", Describe(sent[4]));
    for (const char* user : {"bob", "carol"}) {
        const std::string box = Listing("File box", user);
        EXPECT_NE(std::string::npos, box.find("report.txt:")) << user << " " << box;
        EXPECT_NE(std::string::npos, box.find("plan.txt:")) << user << " " << box;
    }

    // Without an expiry no field 13 goes out.
    ASSERT_EQ(0, m_proto.GetSendFiles(C(""), {files[0]}, {receivers[0]}));
    EXPECT_EQ(0u, Last("I3")[0].count(13));
}
