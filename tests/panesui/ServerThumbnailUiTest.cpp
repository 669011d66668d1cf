// The picture view's cache against the test server: a picture is fetched once and reused, and a
// refused one leaves no file.
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
    long Exchanges() { return std::atol(protoserver::Control::Value(Control("COUNT"), "exchanges").c_str()); }
    static LONGLONG SizeOf(const CString& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(path.GetString(), GetFileExInfoStandard, &data))
            return -1;
        return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    std::vector<_PROTO_FOLDER_INFO> m_items;
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
