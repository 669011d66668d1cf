// Properties, versions, search and thumbnails against the test server: request fields, the
// records each reply leaves, the property stream with its ends, search pages and a thumbnail
// streamed into its file.
#include <winsock2.h>
#include "CommandServer.h"
#include "TestPaths.h"
#include "UiThread.h"
#include <atomic>
#include <cstring>

using namespace morecmds;
using protoserver::Control;

namespace {

char* C(const std::string& text)
{
    return const_cast<char*>(text.c_str());
}

_PROTO_FOLDER_INFO ItemOf(const char* type, const std::string& idx)
{
    _PROTO_FOLDER_INFO item = {};
    std::strcpy(item.ItemType, type);
    std::strcpy(item.IDX, idx.c_str());
    std::strcpy(item.DIDX, "1");
    return item;
}

class ItemsTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        m_docs = Folder("My Files/docs");
        m_a = File("My Files/docs/alpha.txt", "aaaa");
        m_b = File("My Files/docs/beta.txt", "bbbbbbbb");
        m_sub = Folder("My Files/docs/sub");
        m_c = File("My Files/docs/sub/alpha-2.txt", "cc");
    }

    int Exchanges() { return std::atoi(Control::Value(Control("COUNT"), "exchanges").c_str()); }

    std::string m_docs, m_a, m_b, m_sub, m_c;
};

}

TEST_F(ItemsTest, PropertiesOfThreeItemsSendFourRecordsAndKeepTheTotals)
{
    std::vector<_PROTO_FOLDER_INFO> items{ItemOf("F", m_a), ItemOf("F", m_b), ItemOf("D", m_sub)};
    ASSERT_EQ(0, m_proto.RunProperty(items)) << Narrow(m_proto.ResultInfo.wszMessage);
    Records sent = Last("D1");
    ASSERT_EQ(4u, sent.size());
    EXPECT_EQ("", Describe(sent[0]));
    EXPECT_EQ(1u, sent[0].count(171));
    EXPECT_EQ("25=F 173=" + m_a + " 177=1 ", Describe(sent[1]));
    EXPECT_EQ("25=D 173=" + m_sub + " 177=1 ", Describe(sent[3]));
    ASSERT_EQ(1u, m_proto.PropertyInfo.size());
    EXPECT_STREQ("14", m_proto.PropertyInfo[0].Attr190);    // 4 + 8 + 2 bytes
    EXPECT_STREQ("1", m_proto.PropertyInfo[0].DirCnt);
    EXPECT_STREQ("3", m_proto.PropertyInfo[0].FileCnt);

    // One file: its own record.
    ASSERT_EQ(0, m_proto.RunProperty({ItemOf("F", m_b)}));
    ASSERT_EQ(1u, m_proto.PropertyInfo.size());
    const _PROTO_PROPERTY_INFO& info = m_proto.PropertyInfo[0];
    EXPECT_EQ(m_b, info.IDX);
    EXPECT_EQ(L"beta.txt", std::wstring(info.Name));
    EXPECT_STREQ("8", info.Attr192);
    EXPECT_STREQ("alice", info.Attr169);
    EXPECT_EQ(L"alice name", std::wstring(info.Attr183));
    EXPECT_EQ(19u, std::wcslen(info.Attr188));
}

TEST_F(ItemsTest, APropertyStreamKeepsOnlyTheFinalRecordAndContinuesWithTheKey)
{
    // Two progress replies, then the server's own final "N" (a bare record for a continuation).
    ReplyWith("D1", {{{44, "Y"}, {167, "7"}}}, "2");
    int steps = 0;
    auto count = [](CToviProto*, void* context) { return ++*static_cast<int*>(context) > 0; };
    ASSERT_EQ(0, m_proto.RunProperty({ItemOf("F", m_a)}, count, &steps));
    EXPECT_EQ(2, steps);
    ASSERT_EQ(1u, m_proto.PropertyInfo.size());
    EXPECT_STREQ("", m_proto.PropertyInfo[0].FileCnt);
    EXPECT_EQ("44=Y ", Describe(Last("D1")[0]));
    EXPECT_EQ(1u, Last("D1")[0].count(171));
}

TEST_F(ItemsTest, APropertyStreamThatNeverEndsOrLosesItsFlagIsStopped)
{
    struct Row { Records reply; const char* count; int exchanges; };
    const Row rows[] = {
        {{{{44, "Y"}}}, "*", 4},       // the bound of 3 continuations
        {{{{167, "1"}}}, "1", 1},      // no flag at all
    };
    for (const Row& row : rows) {
        ReplyWith("D1", row.reply, row.count);
        const int before = Exchanges();
        EXPECT_EQ(-1, m_proto.RunProperty({ItemOf("F", m_a)}, nullptr, nullptr, 3)) << row.count;
        EXPECT_EQ(IXO_SOCK_ERR_NO_END, m_proto.ResultInfo.nResultCode) << row.count;
        EXPECT_EQ(before + row.exchanges, Exchanges()) << row.count;
        EXPECT_TRUE(m_proto.PropertyInfo.empty()) << row.count;
        Ok("RESET");
        m_tops = AddUser("alice", "1001");
        LogIn("alice");
        m_a = File("My Files/docs/alpha.txt", "aaaa");
    }
}

TEST_F(ItemsTest, VersionsAreListedWithEveryField)
{
    ASSERT_EQ(0, m_proto.GetVersion(C(m_a), C("1")));
    EXPECT_EQ("173=" + m_a + " 177=1 ", Describe(Last("D3")[0]));
    EXPECT_TRUE(m_proto.VersionInfo.empty());

    ReplyWith("D3", {{{173, m_a}, {177, "1"}, {209, "2"}, {187, "2024-05-06 07:08:09"}, {50, "N"}, {192, "4"},
                      {169, "alice"}, {183, "\xEA\xB9\x80"}, {189, "ctl"}, {9, std::string(32, 'k')}},
                     {{173, m_a}, {209, "1"}}});
    ASSERT_EQ(0, m_proto.GetVersion(C(m_a), C("1")));
    ASSERT_EQ(2u, m_proto.VersionInfo.size());
    const _PROTO_VERSION_INFO& v = m_proto.VersionInfo[0];
    EXPECT_STREQ("2", v.Attr209);
    EXPECT_EQ(L"2024-05-06 07:08:09", std::wstring(v.Attr187));
    EXPECT_STREQ("4", v.Attr192);
    EXPECT_EQ(L"김", std::wstring(v.Attr183));
    EXPECT_EQ(std::string(32, 'k'), v.Attr9);
    EXPECT_EQ(nullptr, v.ButtonSlots[0]);
    EXPECT_STREQ("1", m_proto.VersionInfo[1].Attr209);
}

TEST_F(ItemsTest, SearchSendsItsFieldsFindsByNameOwnerSizeAndDateAndPages)
{
    ASSERT_EQ(0, m_proto.GetSearchInfo(C(m_docs), C("1"), C("A"), false, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, L"alpha"));
    EXPECT_EQ("25=A 54=N 173=" + m_docs + " 177=1 181=alpha ", Describe(Last("D2")[0]));
    // Two hits, each with the page's continuation letter in its own first member.
    ASSERT_EQ(2u, m_proto.SearchInfo.size());
    std::string hits;
    for (const _PROTO_SEARCH_INFO& hit : m_proto.SearchInfo)
        hits += Narrow(hit.Name) + "@" + Narrow(hit.Attr197) + "[" + hit.Continue + "]" + hit.IDX + "|";
    EXPECT_EQ("alpha-2.txt@My Files/docs/sub[N]" + m_c + "|alpha.txt@My Files/docs[N]" + m_a + "|", hits);
    EXPECT_EQ(L"alpha.txt", std::wstring(m_proto.SearchInfo[1].Attr219));

    struct Row { const char* sizeFrom; const char* sizeTo; const wchar_t* owner; const wchar_t* name; size_t hits; };
    const Row rows[] = {
        {"5", "100", nullptr, L"a", 1},        // beta.txt, 8 bytes
        {nullptr, nullptr, L"alice", nullptr, 4},
        {nullptr, nullptr, L"bob", nullptr, 0},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(0, m_proto.GetSearchInfo(C(m_docs), C("1"), C("A"), true, nullptr, nullptr, C(row.sizeFrom ? row.sizeFrom : ""),
                                           C(row.sizeTo ? row.sizeTo : ""), row.owner, row.name));
        EXPECT_EQ(row.hits, m_proto.SearchInfo.size()) << (row.sizeFrom ? row.sizeFrom : "-");
    }
    Records sent = Last("D2");
    EXPECT_EQ("Y", sent[0][54]);
    EXPECT_EQ("bob", sent[0][169]);

    // Dates: the whole tree was made today, so a range in the past finds nothing.
    ASSERT_EQ(0, m_proto.GetSearchInfo(C(m_docs), C("1"), C("F"), false, C("2000-01-01"), C("2000-12-31"),
                                       nullptr, nullptr, nullptr, L"a"));
    EXPECT_EQ("2000-01-01", Last("D2")[0][11]);
    EXPECT_EQ(0u, m_proto.SearchInfo.size());

    // Pages: the identical request again until "N".
    Ok("SWITCH pageSize=2");
    std::vector<size_t> pages;
    std::string names;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(0, m_proto.GetSearchInfo(C(m_docs), C("1"), C("A"), false, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, L"a"));
        pages.push_back(m_proto.SearchInfo.size());
        for (const _PROTO_SEARCH_INFO& hit : m_proto.SearchInfo)
            names += Narrow(hit.Name) + (hit.Continue[0] ? std::string("[") + hit.Continue + "]" : "") + "|";
        if (m_proto.SearchInfo.empty() || std::string(m_proto.SearchInfo.back().Continue) == "N")
            break;
    }
    EXPECT_EQ((std::vector<size_t>{2, 1}), pages) << names;
    EXPECT_EQ("alpha-2.txt[Y]|alpha.txt[Y]|beta.txt[N]|", names);

    const int before = Exchanges();
    EXPECT_EQ(-1, m_proto.GetSearchInfo(C(m_docs), C("1"), C("A"), false, nullptr, nullptr, nullptr, nullptr, L"",
                                        nullptr));
    EXPECT_EQ(before, Exchanges());
}

TEST_F(ItemsTest, ASearchHitsGroupPathIsDecodedToTheSizeOfItsMember)
{
    // 1,500 Korean letters are 4,500 bytes: more than the 2,047-byte cut of the hit's path, but
    // they fit the group path's 2,048 characters.
    std::string korean;
    for (int i = 0; i < 1500; ++i)
        korean += "\xEA\xB9\x80";
    ReplyWith("D2", {{{44, "N"}, {181, "a.txt"}, {197, korean}, {239, korean}}});
    ASSERT_EQ(0, m_proto.GetSearchInfo(C(m_docs), C("1"), C("A"), false, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, L"a"));
    ASSERT_EQ(1u, m_proto.SearchInfo.size());
    EXPECT_EQ(std::wstring(1500, L'\xAE40'), std::wstring(m_proto.SearchInfo[0].Attr239));
    EXPECT_EQ(std::wstring(682, L'\xAE40'), std::wstring(m_proto.SearchInfo[0].Attr197));
}

namespace {

// The cancel question that the window answers "cancel" (1 = the first); 0 = never.
std::atomic<int> g_cancelAtQuery{0};
std::atomic<int> g_queries{0};

LRESULT CALLBACK ThumbProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DOWNLOAD_QUERY_CANCEL)
        return ++g_queries == g_cancelAtQuery ? 1 : 0;
    return DefWindowProcW(wnd, message, wParam, lParam);
}

class ThumbnailTest : public ItemsTest {
protected:
    void SetUp() override
    {
        ItemsTest::SetUp();
        if (HasFatalFailure())
            return;
        g_cancelAtQuery = 0;
        g_queries = 0;
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = ThumbProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ProtoItemsThumb";
            RegisterClassW(&wc);
            m_wnd = CreateWindowExW(0, L"ProtoItemsThumb", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                    nullptr);
        });
        ASSERT_NE(nullptr, m_wnd);
        m_path = testpaths::ScratchDir(L"ProtoItemsTest") + L"\\thumb.png";
    }
    void TearDown() override
    {
        m_ui.Run([this] { DestroyWindow(m_wnd); });
        ItemsTest::TearDown();
    }
    std::string ReadBack()
    {
        std::string out;
        HANDLE h = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
            out.append(buffer, got);
        CloseHandle(h);
        return out;
    }

    uitest::UiThread m_ui;
    HWND m_wnd = nullptr;
    std::wstring m_path;
};

}

TEST_F(ThumbnailTest, AThumbnailStreamsIntoItsFileAndTheContinuationEndsIt)
{
    const std::string image = File("My Files/docs/pic.png", "PNGDATA-0123456789");
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_EQ(0, m_proto.RunThumbnail(m_wnd, file, C(image), C("1"))) << Narrow(m_proto.ResultInfo.wszMessage);
    EXPECT_EQ("173=" + image + " 177=1 ", Describe(Last("I2")[0]));
    // The continuation writes further data into the same file.
    ASSERT_EQ(0, m_proto.GetThumbnailContinue(C("N")));
    EXPECT_EQ("44=N ", Describe(Last("I2")[0]));
    EXPECT_STREQ("N", m_proto.ContinueFlag);
    CloseHandle(file);
    EXPECT_EQ("PNGDATA-0123456789", ReadBack());
}

TEST_F(ThumbnailTest, ThePagesOfAThumbnailGoIntoTheSameFileAndTheLastOneEndsIt)
{
    std::string picture;
    for (int i = 0; i < 2600; ++i)
        picture += static_cast<char>('A' + (i * 7 + i / 26) % 26);
    const std::string image = File("My Files/docs/big.png", picture);
    ASSERT_EQ("OK", Control("SWITCH thumbnailPageBytes=1000").substr(0, 2));
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const int before = std::atoi(Control::Value(Control("COUNT cmd=I2"), "requests").c_str());
    const int result = m_proto.RunThumbnail(m_wnd, file, C(image), C("1"));
    CloseHandle(file);
    ASSERT_EQ(0, result) << Narrow(m_proto.ResultInfo.wszMessage);
    EXPECT_EQ(before + 3, std::atoi(Control::Value(Control("COUNT cmd=I2"), "requests").c_str()));
    EXPECT_EQ("44=Y ", Describe(Last("I2")[0]));
    EXPECT_STREQ("N", m_proto.ContinueFlag);
    EXPECT_TRUE(ReadBack() == picture) << ReadBack().size() << " bytes";
    // The paging over, the slots are free: a download of another command is not written here.
    EXPECT_FALSE(m_proto.m_pConn->DownloadPending());
}

TEST_F(ThumbnailTest, APageCutShortOrAConnectionLostBetweenPagesFailsThePicture)
{
    const std::string image = File("My Files/docs/big.png", std::string(2600, 'p'));
    ASSERT_EQ("OK", Control("SWITCH thumbnailPageBytes=1000").substr(0, 2));
    const auto requests = [this] { return std::atoi(Control::Value(Control("COUNT cmd=I2"), "requests").c_str()); };
    // The window cancels while the second page comes.
    g_cancelAtQuery = 2;
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const int cancelled = m_proto.RunThumbnail(m_wnd, file, C(image), C("1"));
    CloseHandle(file);
    EXPECT_NE(0, cancelled);
    EXPECT_EQ(1033, m_proto.ResultInfo.nResultCode);

    // The connection goes between two pages: the rest is not asked for on a new one.
    g_cancelAtQuery = 0;
    file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const int first = m_proto.GetThumbnail(m_wnd, file, C(image), C("1"));
    const std::string more = m_proto.ContinueFlag;
    const int before = requests();
    if (m_proto.m_pConn)
        m_proto.m_pConn->Disconnect();
    const int next = m_proto.GetThumbnailContinue(C("Y"));
    CloseHandle(file);
    ASSERT_EQ(0, first);
    EXPECT_EQ("Y", more);
    EXPECT_EQ(-1, next);
    EXPECT_EQ(before, requests()) << "no continuation on a connection that never saw the picture";
}

TEST_F(ThumbnailTest, NoThumbnailFailsButKeepsTheConnection)
{
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(-1, m_proto.GetThumbnail(m_wnd, file, C(m_docs), C("1")));
    EXPECT_EQ(1301, m_proto.ResultInfo.nResultCode);
    EXPECT_NE(nullptr, m_proto.m_pConn);
    CloseHandle(file);
}

TEST_F(ThumbnailTest, AConnectionLeftWithoutASocketIsReplacedFirst)
{
    const std::string image = File("My Files/docs/pic.png", "PNGDATA-0123456789");
    ASSERT_NE(nullptr, m_proto.m_pConn);
    // What a failed connect or log-in leaves: the connection object, its socket closed.
    m_proto.m_pConn->Disconnect();
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(0, m_proto.RunThumbnail(m_wnd, file, C(image), C("1"))) << Narrow(m_proto.ResultInfo.wszMessage);
    CloseHandle(file);
    EXPECT_EQ("PNGDATA-0123456789", ReadBack());
    ASSERT_NE(nullptr, m_proto.m_pConn);
    EXPECT_NE(~uintptr_t(0), m_proto.m_pConn->m_hSocket);
}

TEST_F(ItemsTest, ADownloadKeyOfAnotherLengthIsRefusedAndTheConnectionKeepsItsCipher)
{
    CToviConn* conn = m_proto.m_pConn;
    ASSERT_NE(nullptr, conn);
    const int before = Exchanges();
    for (const std::string& key : {std::string(16, 'k'), std::string(31, 'k'), std::string(40, 'k')}) {
        EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, m_proto.GetDownloadInfo(nullptr, INVALID_HANDLE_VALUE, C(m_a), C("1"),
                                                                  C("0"), nullptr, nullptr, C(key)))
            << key.size();
        // The connection stays open: a re-key here would decipher its next stream with a
        // key made of the short text and whatever followed it.
        EXPECT_EQ(conn, m_proto.m_pConn) << key.size();
        EXPECT_EQ(0, conn->m_bRekey) << key.size();
        EXPECT_STREQ("", conn->m_szDownloadKey) << key.size();
    }
    EXPECT_EQ(before, Exchanges());
    ASSERT_EQ(0, m_proto.GetVersion(C(m_a), C("1"))) << Narrow(m_proto.ResultInfo.wszMessage);
    EXPECT_EQ(conn, m_proto.m_pConn);
}
