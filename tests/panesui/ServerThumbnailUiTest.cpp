// The picture view's cache against the test server: a picture is fetched once and reused, a
// picture sent in pages is kept whole, and a refused, failed or stopped one leaves no file.
#include <winsock2.h>
#include "RoadServer.h"
#include "TestPaths.h"
#include "ThumbnailCache.h"
#include <cstdlib>

using namespace road;

namespace {

class ThumbnailTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
        ASSERT_EQ("OK", Control("FILE user=road size=300 -- My Files/Pics/a.png").substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=road size=200 -- My Files/Pics/b.png").substr(0, 2));
        std::string pics = protoserver::Control::Value(Control("ITEM user=road -- My Files/Pics"), "idx");
        std::vector<_PROTO_FOLDER_INFO> items = ListAll(m_proto, pics, "1");
        for (const wchar_t* name : {L"a.png", L"b.png"}) {
            const _PROTO_FOLDER_INFO* found = Find(items, name);
            ASSERT_NE(nullptr, found);
            m_items.push_back(*found);
        }
        m_cache = testpaths::ScratchDir(L"thumbnails").c_str();
    }
    // The big picture that the server sends in pages of 1,000 bytes.
    void BigPicture()
    {
        ASSERT_EQ("OK", Control("FILE user=road size=2600 -- My Files/Pics/big.png").substr(0, 2));
        std::string pics = protoserver::Control::Value(Control("ITEM user=road -- My Files/Pics"), "idx");
        const _PROTO_FOLDER_INFO* found = Find(ListAll(m_proto, pics, "1"), L"big.png");
        ASSERT_NE(nullptr, found);
        m_big = *found;
        ASSERT_EQ("OK", Control("SWITCH thumbnailPageBytes=1000").substr(0, 2));
    }
    long Requests(const char* command)
    {
        return std::atol(protoserver::Control::Value(Control(std::string("COUNT cmd=") + command), "requests").c_str());
    }
    static std::string ServerPattern(size_t size)
    {
        std::string out(size, '\0');
        for (size_t i = 0; i < size; ++i)
            out[i] = static_cast<char>(i % 251);
        return out;
    }
    long Exchanges() { return std::atol(protoserver::Control::Value(Control("COUNT"), "exchanges").c_str()); }
    static LONGLONG SizeOf(const CString& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(path.GetString(), GetFileExInfoStandard, &data))
            return -1;
        return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    std::vector<_PROTO_FOLDER_INFO> m_items;
    _PROTO_FOLDER_INFO m_big = {};
    CString m_cache;
    std::atomic<bool> m_stop{false};
};

}

TEST_F(ThumbnailTest, APictureIsFetchedOnceAndThenReused)
{
    CString path;
    ASSERT_EQ(ThumbnailFetch::Fetched, FetchThumbnail(m_proto, m_wnd, m_items[0], m_cache, m_stop, path));
    EXPECT_EQ(300, SizeOf(path));
    long before = Exchanges();
    CString again;
    EXPECT_EQ(ThumbnailFetch::Reused, FetchThumbnail(m_proto, m_wnd, m_items[0], m_cache, m_stop, again));
    EXPECT_EQ(path, again);
    EXPECT_EQ(before, Exchanges()) << "no request for a cached picture";
}

TEST_F(ThumbnailTest, ARefusedPictureLeavesNoFile)
{
    ASSERT_EQ("OK", Control(std::string("PERM idx=") + m_items[1].IDX + " value=1110000000000000000000000000000")
                        .substr(0, 2));
    CString path;
    EXPECT_EQ(ThumbnailFetch::Failed, FetchThumbnail(m_proto, m_wnd, m_items[1], m_cache, m_stop, path));
    EXPECT_EQ(-1, SizeOf(path));
}

TEST_F(ThumbnailTest, APictureSentInPagesIsKeptWhole)
{
    BigPicture();
    CString path;
    const long before = Requests("I2");
    ASSERT_EQ(ThumbnailFetch::Fetched, FetchThumbnail(m_proto, m_wnd, m_big, m_cache, m_stop, path));
    EXPECT_EQ(before + 3, Requests("I2")) << "three pages";
    EXPECT_TRUE(ReadLocal(path.GetString()) == ServerPattern(2600)) << SizeOf(path) << " bytes";
    EXPECT_EQ(ThumbnailFetch::Reused, FetchThumbnail(m_proto, m_wnd, m_big, m_cache, m_stop, path));
}

TEST_F(ThumbnailTest, APictureWhosePagingFailsMidwayLeavesNoFile)
{
    BigPicture();
    // A later page refused by the server, cut off on the wire, or never answered.
    const std::vector<std::string> faults = {
        "FAULT error cmd=I2 skip=1 -- No thumbnail.",
        "FAULT error reply=E1 code=1301 cmd=I2 skip=1 -- No thumbnail.",
        "FAULT cut-stream bytes=10 cmd=I2 skip=1",
        "FAULT close cmd=I2 skip=2",
    };
    for (const std::string& fault : faults) {
        ASSERT_EQ("OK", Control(fault).substr(0, 2));
        CString path;
        EXPECT_EQ(ThumbnailFetch::Failed, FetchThumbnail(m_proto, m_wnd, m_big, m_cache, m_stop, path)) << fault;
        EXPECT_EQ(-1, SizeOf(path)) << fault;
        EXPECT_EQ("OK n=0", Control("FAULTS")) << fault << ": the fault met its page";
    }
}

TEST_F(ThumbnailTest, APictureStoppedDuringItsPagingLeavesNoFileAndTellsTheServer)
{
    BigPicture();
    // The stop arrives while the first page is on its way.
    m_stop = true;
    CString path;
    EXPECT_EQ(ThumbnailFetch::Stopped, FetchThumbnail(m_proto, m_wnd, m_big, m_cache, m_stop, path));
    EXPECT_EQ(-1, SizeOf(path));
    std::vector<std::map<int, std::string>> sent = LastRecords(Control("LAST cmd=I2"));
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ("N", sent[0][44]) << "the server hears that the transfer ends";
    m_stop = false;
    EXPECT_EQ(ThumbnailFetch::Fetched, FetchThumbnail(m_proto, m_wnd, m_big, m_cache, m_stop, path));
    EXPECT_EQ(2600, SizeOf(path));
}
