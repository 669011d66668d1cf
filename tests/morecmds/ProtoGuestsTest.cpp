// Single guests, guest folders with guest lists and the guest password reset against the test
// server: request fields, replies, and the continuation loops including their ends.
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

class GuestsTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        m_folder = Folder("My Files/project");
    }

    _PROTO_SHARED_INFO Guest(const wchar_t* folderName, const char* email)
    {
        _PROTO_SHARED_INFO info;
        std::memset(&info, 0, sizeof info);
        std::wcscpy(info.wszFolderName, folderName);
        std::strcpy(info.szGuestQuota, "300");
        std::strcpy(info.szPeriodFrom, "2024-01-01");
        std::strcpy(info.szPeriodTo, "2024-12-31");
        std::strcpy(info.szEmail, email);
        std::strcpy(info.szPermission, "2100");
        return info;
    }

    int Exchanges() { return std::atoi(Control::Value(Control("COUNT"), "exchanges").c_str()); }

    std::string m_folder;
};

}

TEST_F(GuestsTest, ASingleGuestIsSetWithItsFieldsAndReadBack)
{
    _PROTO_SHARED_INFO info = Guest(L"project", "guest@example.com");
    ASSERT_EQ(0, m_proto.RunGuestSet(C(m_folder), 0, &info)) << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("G5");
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ("5=2100 11=2024-01-01 12=2024-12-31 39=N 173=" + m_folder +
                  " 181=project 190=300 193=guest@example.com ",
              Describe(sent[0]));
    EXPECT_STREQ("N", m_proto.ContinueFlag);

    ASSERT_EQ(0, m_proto.GetGuestInfo(C(m_folder)));
    EXPECT_EQ("173=" + m_folder + " ", Describe(Last("G4")[0]));
    EXPECT_STREQ("guest@example.com", m_proto.SharedInfo.szEmail);
    EXPECT_STREQ("2100", m_proto.SharedInfo.szPermission);
    EXPECT_STREQ("300", m_proto.SharedInfo.szGuestQuota);
    EXPECT_STREQ("1000", m_proto.SharedInfo.szQuota);
    EXPECT_STREQ("2024-01-01", m_proto.SharedInfo.szPeriodFrom);
    EXPECT_STREQ("2024-12-31", m_proto.SharedInfo.szPeriodTo);
    // The stored password is shown as "*", decoded, never as raw bytes.
    EXPECT_EQ(L"*", std::wstring(m_proto.SharedInfo.wszPassword));
}

TEST_F(GuestsTest, ModeOtherThanZeroMakesANewGuestFolder)
{
    _PROTO_SHARED_INFO info = Guest(L"손님 폴더", "g@example.com");
    ASSERT_EQ(0, m_proto.RunGuestSet(C(m_folder), 1, &info));
    EXPECT_EQ("Y", Last("G5")[0][39]);
    EXPECT_NE(std::string::npos, Listing("My Files/project").find(Utf8(L"손님 폴더") + ":"));
    // An empty folder name is not sent.
    const int before = Exchanges();
    info.wszFolderName[0] = 0;
    EXPECT_EQ(-1, m_proto.SetGuestInfo(C(m_folder), 0, &info));
    EXPECT_EQ(before, Exchanges());
}

TEST_F(GuestsTest, GuestPasswordsOfRepliesAreDecodedAndBounded)
{
    struct Row { std::string wire; std::wstring expected; };
    const Row rows[] = {
        {"*", L"*"},
        {"secret", L"secret"},
        {std::string(40, 'p'), std::wstring(20, L'p')},
        // In the ANSI code page (1252 in the test runs), not UTF-8: these bytes are no UTF-8.
        {"caf\xE9\x80", L"caf\x00E9\x20AC"},
        {"\xC4\xD6\xDC", L"\x00C4\x00D6\x00DC"},
    };
    ASSERT_EQ(1252u, ::GetACP()) << "the rows are written for code page 1252";
    for (const Row& row : rows) {
        ReplyWith("G4", {{{198, row.wire}, {193, "a@b.c"}}});
        ASSERT_EQ(0, m_proto.GetGuestInfo(C(m_folder))) << row.wire;
        EXPECT_EQ(row.expected, std::wstring(m_proto.SharedInfo.wszPassword)) << row.wire;
        EXPECT_EQ(0, m_proto.SharedInfo.wszPassword[20]) << row.wire;
    }
}

TEST_F(GuestsTest, TheSetLoopContinuesWhileTheReplySaysYAndEndsOnAnythingElse)
{
    struct Row { const char* command; std::vector<Records> replies; const char* lastContinue; int exchanges; };
    const Records more{{{44, "Y"}}};
    const Records noFlag{{{30, "Z"}}};
    const Row rows[] = {
        // "Y" then the server's own "N": one continuation with the key alone.
        {"G5", {more}, "44=Y ", 2},
        // A reply without 44 ends the loop.
        {"G5", {noFlag}, nullptr, 1},
        {"G7", {{{{44, "Y"}, {173, "555"}}}}, "44=Y ", 2},
        {"G8", {more}, "44=Y ", 2},
        {"G8", {noFlag}, nullptr, 1},
    };
    for (const Row& row : rows) {
        // The set-up of the guest first, so that the reset has a guest to reset.
        _PROTO_SHARED_INFO info = Guest(L"project", "g@example.com");
        ASSERT_EQ(0, m_proto.RunGuestSet(C(m_folder), 0, &info));
        for (const Records& reply : row.replies)
            ReplyWith(row.command, reply);
        const int before = Exchanges();
        int result = -2;
        if (std::strcmp(row.command, "G5") == 0) {
            result = m_proto.RunGuestSet(C(m_folder), 0, &info);
        } else if (std::strcmp(row.command, "G7") == 0) {
            _PROTO_GUEST_FOLDER_INFO folder = {};
            std::strcpy(folder.cMode, "N");
            std::wcscpy(folder.wszFolderName, L"project");
            m_proto.ReleaseGuestUsers();
            result = m_proto.RunGuestMultiSet(C(m_folder), &folder);
        } else {
            result = m_proto.RunGuestResetPWD(C(m_folder));
        }
        EXPECT_EQ(0, result) << row.command << " " << Narrow(m_proto.ResultInfo.wszMessage);
        EXPECT_EQ(before + row.exchanges, Exchanges()) << row.command;
        if (row.lastContinue) {
            Records sent = Last(row.command);
            EXPECT_EQ(row.lastContinue, Describe(sent[0])) << row.command;
            // The reset continuation carries no session id; the others do.
            EXPECT_EQ(std::strcmp(row.command, "G8") != 0, sent[0].count(171) == 1) << row.command;
        }
        EXPECT_NE('Y', m_proto.ContinueFlag[0]) << row.command;
    }
}

TEST_F(GuestsTest, AContinuationReplyWithoutFlagClearsTheFlagOfTheStepBefore)
{
    _PROTO_SHARED_INFO info = Guest(L"project", "g@example.com");
    ASSERT_EQ(0, m_proto.RunGuestSet(C(m_folder), 0, &info));
    const char* commands[] = {"G5", "G7", "G8"};
    for (const char* command : commands) {
        std::strcpy(m_proto.ContinueFlag, "Y");
        ReplyWith(command, {{{30, "Z"}}});
        int result = -2;
        if (std::strcmp(command, "G5") == 0)
            result = m_proto.GetGuestContinue(C("Y"));
        else if (std::strcmp(command, "G7") == 0)
            result = m_proto.GetGuestMultiContinue(C("Y"));
        else
            result = m_proto.SetGuestResetPWDContinue(C("Y"));
        EXPECT_EQ(0, result) << command;
        EXPECT_STREQ("", m_proto.ContinueFlag) << command;
    }
}

TEST_F(GuestsTest, ALoopThatIsToldYForEverIsStoppedAtTheBound)
{
    const char* commands[] = {"G5", "G7", "G8"};
    for (const char* command : commands) {
        _PROTO_SHARED_INFO info = Guest(L"project", "g@example.com");
        ASSERT_EQ(0, m_proto.RunGuestSet(C(m_folder), 0, &info));
        ReplyWith(command, {{{44, "Y"}}}, "*");
        const int before = Exchanges();
        int result = 0;
        if (std::strcmp(command, "G5") == 0) {
            result = m_proto.RunGuestSet(C(m_folder), 0, &info, 3);
        } else if (std::strcmp(command, "G7") == 0) {
            _PROTO_GUEST_FOLDER_INFO folder = {};
            std::wcscpy(folder.wszFolderName, L"project");
            result = m_proto.RunGuestMultiSet(C(m_folder), &folder, 3);
        } else {
            result = m_proto.RunGuestResetPWD(C(m_folder), 3);
        }
        EXPECT_EQ(-1, result) << command;
        EXPECT_EQ(IXO_SOCK_ERR_NO_END, m_proto.ResultInfo.nResultCode) << command;
        EXPECT_EQ(nullptr, m_proto.m_pConn) << command;
        EXPECT_EQ(before + 4, Exchanges()) << command;
        Control("RESET");
        m_tops = AddUser("alice", "1001");
        LogIn("alice");
        m_folder = Folder("My Files/project");
    }
}

TEST_F(GuestsTest, AGuestFolderListIsSentAndTheReplyRefillsTheList)
{
    _PROTO_GUEST_FOLDER_INFO folder = {};
    std::strcpy(folder.cMode, "N");
    std::wcscpy(folder.wszFolderName, L"project");
    std::strcpy(folder.szQuota, "500");
    std::strcpy(folder.szPeriodFrom, "2024-02-01");
    m_proto.ReleaseGuestUsers();
    const char* emails[] = {"one@example.com", "two@example.com"};
    const char* states[] = {"R", "N"};
    for (int i = 0; i < 2; ++i) {
        _PROTO_GUEST_USER_INFO guest = {};
        std::strcpy(guest.szEmail, emails[i]);
        std::strcpy(guest.szPermission, "2000");
        std::strcpy(guest.cStatus, states[i]);
        std::strcpy(guest.szDate, "2024-03-01");
        m_proto.GuestUsers.push_back(guest);
    }
    ASSERT_EQ(0, m_proto.RunGuestMultiSet(C(m_folder), &folder)) << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("G7");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("11=2024-02-01 39=N 173=" + m_folder + " 181=project 190=500 ", Describe(sent[0]));
    // A row the dialog just added goes out as active.
    EXPECT_EQ("5=2000 13=2024-03-01 47=Y 193=one@example.com ", Describe(sent[1]));
    EXPECT_EQ("5=2000 13=2024-03-01 47=N 193=two@example.com ", Describe(sent[2]));
    // The reply's trailer names the folder and adds no guest.
    ASSERT_EQ(2u, m_proto.GuestUsers.size());
    EXPECT_STREQ("two@example.com", m_proto.GuestUsers[1].szEmail);
    EXPECT_EQ(m_folder, m_proto.GuestMultiIdx);

    ASSERT_EQ(0, m_proto.GetGuestMultiInfo(C(m_folder)));
    EXPECT_STREQ("500", m_proto.GuestFolderInfo.szQuota);
    EXPECT_STREQ("1000", m_proto.GuestFolderInfo.szFreeQuota);
    EXPECT_STREQ("2024-02-01", m_proto.GuestFolderInfo.szPeriodFrom);
    EXPECT_STREQ("2099-12-31", m_proto.GuestFolderInfo.szDate);
    EXPECT_STREQ("Y", m_proto.GuestFolderInfo.cFlag70);
    ASSERT_EQ(2u, m_proto.GuestUsers.size());
    EXPECT_STREQ("one@example.com", m_proto.GuestUsers[0].szEmail);
    EXPECT_STREQ("Y", m_proto.GuestUsers[0].cStatus);
    EXPECT_STREQ("2024-03-01", m_proto.GuestUsers[0].szDate);
    EXPECT_STREQ("N", m_proto.GuestUsers[1].cStatus);
}

TEST_F(GuestsTest, AG7RecordWithoutAnEmailAddsNoGuestButKeepsFlagAndIndex)
{
    ReplyWith("G7", {{{193, "x@y.z"}, {5, "2000"}, {47, "Y"}}, {{44, "N"}, {173, "4242"}}});
    _PROTO_GUEST_FOLDER_INFO folder = {};
    std::wcscpy(folder.wszFolderName, L"project");
    m_proto.ReleaseGuestUsers();
    ASSERT_EQ(0, m_proto.SetGuestMultiInfo(C(m_folder), &folder));
    ASSERT_EQ(1u, m_proto.GuestUsers.size());
    EXPECT_STREQ("x@y.z", m_proto.GuestUsers[0].szEmail);
    EXPECT_STREQ("N", m_proto.ContinueFlag);
    EXPECT_STREQ("4242", m_proto.GuestMultiIdx);
}

TEST_F(GuestsTest, ResettingThePasswordOfAFolderWithoutGuestFails)
{
    const std::string other = Folder("My Files/other");
    EXPECT_EQ(-1, m_proto.RunGuestResetPWD(C(other)));
    EXPECT_EQ(1301, m_proto.ResultInfo.nResultCode);
}
