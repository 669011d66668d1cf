// Shortcuts, the direct-edit and send limits, the upload bandwidth and the backup-PC removal
// against the test server.
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

class MiscTest : public CommandTest {};

}

TEST_F(MiscTest, ShortcutsAreAddedListedAndRemoved)
{
    const std::string a = Folder("My Files/a");
    const std::string b = Folder("My Files/a/b");
    const std::string c = Folder("My Files/c");
    ASSERT_EQ(0, m_proto.GetShortcutList());
    EXPECT_TRUE(m_proto.ShortcutList.empty());

    ASSERT_EQ(0, m_proto.AddShortcut({C(a), C(b), C(c)})) << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("D6");
    ASSERT_EQ(4u, sent.size());
    EXPECT_EQ("99=Y ", Describe(sent[0]));
    EXPECT_EQ(1u, sent[0].count(171));
    EXPECT_EQ("173=" + b + " ", Describe(sent[2]));

    ASSERT_EQ(0, m_proto.GetShortcutList());
    ASSERT_EQ(3u, m_proto.ShortcutList.size());
    EXPECT_EQ(b, m_proto.ShortcutList[1].Index);
    EXPECT_EQ(L"My Files/a/b", std::wstring(m_proto.ShortcutList[1].Path));

    ASSERT_EQ(0, m_proto.DeleteShortcut({C(b)}));
    EXPECT_EQ("99=N ", Describe(Last("D6")[0]));
    ASSERT_EQ(0, m_proto.GetShortcutList());
    ASSERT_EQ(2u, m_proto.ShortcutList.size());
    EXPECT_EQ(c, m_proto.ShortcutList[1].Index);

    // A file cannot be a shortcut.
    const std::string file = File("My Files/f.txt", "f");
    EXPECT_EQ(-1, m_proto.AddShortcut({C(file)}));
    EXPECT_EQ(1320, m_proto.ResultInfo.nResultCode);
}

TEST_F(MiscTest, ShortcutValuesAreCutToTheirSlots)
{
    ReplyWith("D7", {{{173, std::string(15, '9')}, {197, std::string(400, 'p')}}});
    ASSERT_EQ(0, m_proto.GetShortcutList());
    ASSERT_EQ(1u, m_proto.ShortcutList.size());
    EXPECT_EQ(9u, std::strlen(m_proto.ShortcutList[0].Index));
    EXPECT_EQ(259u, std::wcslen(m_proto.ShortcutList[0].Path));
}

TEST_F(MiscTest, TheDirectEditLockIsGrantedToOneUserAndRefusedToAnother)
{
    const std::string file = File("My Files/doc.txt", "doc");
    ASSERT_EQ(0, m_proto.GetSendFileSet(C(file), C("1"), C("Y"), C("Y")));
    EXPECT_EQ("87=Y 95=Y 173=" + file + " 177=1 ", Describe(Last("F7")[0]));
    EXPECT_STREQ("", m_proto.LimitInfo.DirectEditAttribute);
    EXPECT_EQ(L"", std::wstring(m_proto.LimitInfo.DirectEditMessage));
    EXPECT_EQ("0001", Item(file, "info").substr(0, 4));

    ReplyWith("F7", {{{95, "R"}, {228, "\xEC\x9E\xA0\xEA\xB8\x88"}}});
    ASSERT_EQ(0, m_proto.GetSendFileSet(C(file), C("1"), C("Y"), C("Y")));
    EXPECT_STREQ("R", m_proto.LimitInfo.DirectEditAttribute);
    EXPECT_EQ(L"잠금", std::wstring(m_proto.LimitInfo.DirectEditMessage));

    // Turning the lock off clears it; a reply without 228 leaves the message empty.
    ASSERT_EQ(0, m_proto.GetSendFileSet(C(file), C("1"), C("N"), C("N")));
    EXPECT_EQ(L"", std::wstring(m_proto.LimitInfo.DirectEditMessage));
    EXPECT_EQ("0000", Item(file, "info").substr(0, 4));
}

TEST_F(MiscTest, TheUploadBandwidthIsReadAndHandedToTheConnection)
{
    Ok("SWITCH bandwidth=100");
    ASSERT_EQ(0, m_proto.GetUploadBandWidth(m_proto.LoginInfo.SessionId));
    EXPECT_EQ(m_proto.LoginInfo.SessionId, Last("H7")[0][171]);
    EXPECT_STREQ("100", m_proto.UploadBandWidth);
    EXPECT_EQ(static_cast<uint32_t>(PROT_CMD('H', '7')), m_proto.ResultInfo.nReplyCmd);
    EXPECT_EQ(L"", std::wstring(m_proto.ResultInfo.wszMessage));
    m_proto.SetBandWidth(m_proto.UploadBandWidth);
    ASSERT_NE(nullptr, m_proto.m_pConn);
    EXPECT_EQ(102400u, static_cast<uint64_t>(m_proto.m_pConn->m_nBandWidth));

    ReplyWith("H7", {{{238, std::string(30, '5')}}});
    ASSERT_EQ(0, m_proto.GetUploadBandWidth(m_proto.LoginInfo.SessionId));
    EXPECT_EQ(15u, std::strlen(m_proto.UploadBandWidth));
}

TEST_F(MiscTest, ABackupPcFolderIsRemovedAndNothingElse)
{
    const std::string pc = Folder("Backup/PC-1");
    ASSERT_EQ(0, m_proto.DeleteBackupPC(m_proto.LoginInfo.SessionId, C(pc)));
    EXPECT_EQ("173=" + pc + " ", Describe(Last("S8")[0]));
    EXPECT_EQ("", Listing("Backup"));
    const std::string other = Folder("My Files/keep");
    EXPECT_EQ(-1, m_proto.DeleteBackupPC(m_proto.LoginInfo.SessionId, C(other)));
    EXPECT_EQ(1301, m_proto.ResultInfo.nResultCode);
    EXPECT_EQ("keep:" + other, Listing("My Files"));
}
