// Folder requests against the test server: the listing's send trace prints the protocol
// object's own counts, and one-letter fields go out whole or not at all.
#include <winsock2.h>
#include "CommandServer.h"
#include "TraceCapture.h"
#include <cstdlib>
#include <string>

using namespace morecmds;

namespace {

char* C(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

class FoldersTest : public CommandTest {
protected:
    int Exchanges() { return std::atoi(protoserver::Control::Value(Control("COUNT"), "exchanges").c_str()); }
};

}

TEST_F(FoldersTest, AListingsSendTraceCountsTheFoldersHeldAndTheirRoom)
{
    const std::string docs = Folder("My Files/docs");
    File("My Files/docs/a.txt", "a");
    File("My Files/docs/b.txt", "b");
    File("My Files/docs/c.txt", "c");
    ASSERT_EQ(0, m_proto.GetFolderInfo(C(docs), C("1"), nullptr, false, true));
    const size_t held = m_proto.FolderInfo.size();
    const size_t room = m_proto.FolderInfo.capacity();
    ASSERT_GE(held, 3u);

    // Without the release flag the second listing adds to what the object holds.
    uitest::TraceCapture capture;
    ASSERT_EQ(0, m_proto.GetFolderInfo(C(docs), C("1"), nullptr, false, false));
    const std::wstring expected = L"file count = " + std::to_wstring(held + 1) + L" --- capacity = " +
                                  std::to_wstring(room);
    std::wstring lines;
    for (const uitest::TraceCapture::Record& record : capture.Records())
        if (record.text.find(L"C_FD_LIST") != std::wstring::npos)
            lines += record.text;
    EXPECT_NE(std::wstring::npos, lines.find(expected)) << "want \"" << std::string(expected.begin(), expected.end())
                                                         << "\" in " << Narrow(lines.c_str());
}

TEST_F(FoldersTest, AOneLetterFieldOfAnotherLengthIsRefusedUnsent)
{
    const std::string docs = Folder("My Files/docs");
    const int before = Exchanges();
    EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, m_proto.GetFolderInfo(C(docs), C("1"), C("DF"), false, true));
    EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, m_proto.GetMakeNewDir(C(docs), C("1"), L"new", C("01")));
    EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, m_proto.GetUpdateCheck(C("12")));
    EXPECT_EQ(before, Exchanges());
    EXPECT_EQ(std::string::npos, Listing("My Files/docs").find("new:"));

    // One letter goes as it is.
    ASSERT_EQ(0, m_proto.GetFolderInfo(C(docs), C("1"), C("D"), false, true));
    EXPECT_EQ("D", Last("D0")[0][25]);
}
