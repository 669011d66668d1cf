// Folder listing, change check, received count and new folders against the test server:
// paging, the folder map, refusals, and records whose values are longer than their slots.
#include <winsock2.h>
#include "RoadServer.h"
#include "ToviConn.h"
#include <cstring>
#include <set>

using namespace road;

namespace {

class FolderTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        // Reply dates are rewritten by the product language; another test program may have left English.
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0,
                                                 KEY_WRITE, nullptr, &key, nullptr));
        const wchar_t korean[] = L"1042";
        RegSetValueExW(key, L"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(korean), sizeof korean);
        RegCloseKey(key);
        ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
        m_myFiles = TopFolder(m_proto, L"My Files");
        ASSERT_FALSE(m_myFiles.empty());
    }
    char* Didx() { return const_cast<char*>("1"); }
    std::string m_myFiles;
};

}

TEST_F(FolderTest, TheTopLevelListsTheUsersFoldersAndMapsThemByIndex)
{
    ASSERT_EQ(0, m_proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), const_cast<char*>("D"), false,
                                       true));
    EXPECT_STREQ("N", m_proto.ContinueFlag);
    ASSERT_NE(nullptr, Find(m_proto.FolderInfo, L"Recycle Bin"));
    for (const _PROTO_FOLDER_INFO& folder : m_proto.FolderInfo) {
        SCOPED_TRACE(folder.IDX);
        EXPECT_STREQ("D", folder.ItemType);
        auto entry = m_proto.FolderInfoMap.find(std::atoi(folder.IDX));
        ASSERT_NE(m_proto.FolderInfoMap.end(), entry);
        EXPECT_STREQ(folder.Name, entry->second.Name);
    }
}

TEST_F(FolderTest, AFolderIsListedPageByPage)
{
    ASSERT_EQ("OK", Control("SWITCH pageSize=2").substr(0, 2));
    const char* const folders[] = {"f1", "f2", "f3", "f4", "f5"};
    for (const char* name : folders)
        ASSERT_EQ("OK", Control(std::string("FOLDER user=road -- My Files/Paged/") + name).substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=road size=10 -- My Files/Paged/a.txt").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=road size=20 -- My Files/Paged/b.txt").substr(0, 2));
    std::string paged = protoserver::Control::Value(Control("ITEM user=road -- My Files/Paged"), "idx");

    int pages = 0;
    std::vector<_PROTO_FOLDER_INFO> items = ListAll(m_proto, paged, "1", &pages);
    // The folder's own record (its change stamp and counters) leads the first page.
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(paged, items[0].IDX);
    EXPECT_NE('\0', items[0].AccessTime[0]);
    EXPECT_STREQ("", items[0].ItemType);
    items.erase(items.begin());
    EXPECT_LE(4, pages) << "seven items two at a time";
    ASSERT_EQ(7u, items.size());
    std::set<std::wstring> names;
    for (const _PROTO_FOLDER_INFO& item : items)
        names.insert(item.Name);
    EXPECT_EQ((std::set<std::wstring>{L"f1", L"f2", L"f3", L"f4", L"f5", L"a.txt", L"b.txt"}), names);
    EXPECT_EQ(5u, m_proto.FolderInfoMap.size()) << "folders only";
    const _PROTO_FOLDER_INFO* file = Find(items, L"b.txt");
    ASSERT_NE(nullptr, file);
    EXPECT_STREQ("20", file->Attr192);
    EXPECT_EQ(19u, std::wcslen(file->Attr188)) << "date text";

    // A new first page starts over.
    ASSERT_EQ(0, m_proto.GetFolderInfo(&paged[0], Didx(), nullptr, false, true));
    EXPECT_STREQ("Y", m_proto.ContinueFlag);
    EXPECT_GE(3u, m_proto.FolderInfo.size());
}

TEST_F(FolderTest, TheListingSendsTheFilterAndTheFlagOnlyWhenAsked)
{
    struct Row {
        const char* filter;
        bool yFlag;
        std::string field25;
        std::string field73;
    };
    const Row rows[] = {{nullptr, false, "", ""}, {"D", true, "D", "Y"}, {"F", false, "F", ""}};
    for (const Row& row : rows) {
        ASSERT_EQ(0, m_proto.GetFolderInfo(&m_myFiles[0], Didx(), const_cast<char*>(row.filter), row.yFlag, true));
        std::vector<std::map<int, std::string>> sent = LastRecords(Control("LAST cmd=D0"));
        ASSERT_EQ(1u, sent.size());
        EXPECT_EQ(row.field25, sent[0][25]) << "filter " << (row.filter ? row.filter : "null");
        EXPECT_EQ(row.field73, sent[0][73]) << "flag " << row.yFlag;
        EXPECT_EQ(std::string(m_proto.LoginInfo.SessionId), sent[0][171]);
        EXPECT_EQ(m_myFiles, sent[0][173]);
    }
}

TEST_F(FolderTest, ListingAMissingFolderGives1301AndKeepsThePreviousList)
{
    ASSERT_EQ(0, m_proto.GetFolderInfo(&m_myFiles[0], Didx(), nullptr, false, true));
    const size_t before = m_proto.FolderInfo.size();
    EXPECT_EQ(-1, m_proto.GetFolderInfo(const_cast<char*>("999999"), Didx(), nullptr, false, false));
    EXPECT_EQ(1301, m_proto.ResultInfo.nResultCode);
    EXPECT_EQ(before, m_proto.FolderInfo.size());
}

TEST_F(FolderTest, ANewFolderComesBackAsItsRecordAndADuplicateKeepsTheConnection)
{
    ASSERT_EQ(0, m_proto.GetMakeNewDir(&m_myFiles[0], Didx(), L"새 폴더", const_cast<char*>("0")))
        << m_proto.Message();
    EXPECT_STREQ(L"새 폴더", m_proto.CurFolderInfo.Name);
    EXPECT_STREQ("D", m_proto.CurFolderInfo.ItemType);
    EXPECT_NE('\0', m_proto.CurFolderInfo.IDX[0]);

    EXPECT_EQ(-1, m_proto.GetMakeNewDir(&m_myFiles[0], Didx(), L"새 폴더", const_cast<char*>("0")));
    EXPECT_EQ(1310, m_proto.ResultInfo.nResultCode);
    EXPECT_NE(nullptr, m_proto.m_pConn);
    EXPECT_STREQ(L"", m_proto.CurFolderInfo.Name) << "cleared by the request";

    EXPECT_EQ(-1, m_proto.GetMakeNewDir(&m_myFiles[0], Didx(), L"", const_cast<char*>("0"))) << "nothing to send";
}

TEST_F(FolderTest, ANewFolderNameIsSentInWholeCharactersWithinItsBuffer)
{
    // 500 characters of three bytes each: only 341 fit in 1,023 bytes.
    std::wstring name(500, L'\xAC00');
    m_proto.GetMakeNewDir(&m_myFiles[0], Didx(), name.c_str(), const_cast<char*>("0"));
    std::vector<std::map<int, std::string>> sent = LastRecords(Control("LAST cmd=F0"));
    ASSERT_EQ(1u, sent.size());
    std::string expected;
    for (int i = 0; i < 341; ++i)
        expected += "\xEA\xB0\x80";
    EXPECT_EQ(expected, sent[0][181]);
}

TEST_F(FolderTest, FolderRecordValuesLongerThanTheirSlotsAreCutAndTerminated)
{
    std::string korean;
    for (int i = 0; i < 1500; ++i)
        korean += "\xEA\xB0\x80";
    ProtRecord item;
    item[25] = "D";
    item[173] = "r1234567890123";
    item[177] = "1";
    item[181] = korean;
    item[188] = std::string(40, '2');
    item[189] = std::string(50, '1');
    item[197] = std::string(3000, 'p');
    item[198] = std::string(100, 'x');
    item[158] = std::string(20, '9');
    item[157] = std::string(40, 't');
    item[138] = std::string(900, 'z');
    ProtRecord last;
    last[44] = "N";
    ASSERT_EQ("OK", Control("FAULT payload cmd=D0 hex=" + RecordHex({item, last})).substr(0, 2));
    ASSERT_EQ(0, m_proto.GetFolderInfo(&m_myFiles[0], Didx(), nullptr, false, true));
    ASSERT_EQ(1u, m_proto.FolderInfo.size());
    const _PROTO_FOLDER_INFO& got = m_proto.FolderInfo[0];
    EXPECT_STREQ("r12345678", got.IDX);
    EXPECT_EQ(std::wstring(1023, L'\xAC00'), got.Name);
    EXPECT_EQ(std::wstring(23, L'2'), got.Attr188);
    EXPECT_EQ(std::string(31, '1'), got.Attr189);
    EXPECT_EQ(std::wstring(2047, L'p'), got.Attr197) << "at most 2,047 bytes decoded";
    EXPECT_EQ(std::string(64, 'x'), got.Attr198);
    EXPECT_EQ(std::wstring(7, L'9'), got.Attr158);
    EXPECT_EQ(0, got.Reserved160[0]);
    EXPECT_EQ(std::string(23, 't'), got.AccessTime);
    EXPECT_EQ(std::wstring(511, L'z'), got.Attr138);
    EXPECT_STREQ("N", m_proto.ContinueFlag);
    EXPECT_EQ(1u, m_proto.FolderInfoMap.count(12345678)) << "the key after the leading r";
}

TEST_F(FolderTest, TheChangeCheckAnswersForTheCountersTheClientHolds)
{
    ASSERT_EQ("OK", Control("SWITCH selfRecord=1").substr(0, 2));
    ASSERT_EQ(0, m_proto.GetFolderInfo(&m_myFiles[0], Didx(), nullptr, false, true));
    ASSERT_FALSE(m_proto.FolderInfo.empty());
    _PROTO_FOLDER_INFO self = m_proto.FolderInfo[0];
    ASSERT_NE('\0', self.AccessTime[0]) << "the folder's own record comes first";
    auto check = [&] {
        return m_proto.GetCacheChanged(&m_myFiles[0], Didx(), self.AccessTime, self.DirCnt, self.FileCnt, self.LinkCnt,
                                       self.PrivacyCnt);
    };
    ASSERT_EQ(0, check());
    EXPECT_STREQ("N", m_proto.CacheChanged);
    ASSERT_EQ("OK", Control("FOLDER user=road -- My Files/Later").substr(0, 2));
    ASSERT_EQ(0, check());
    EXPECT_STRNE("N", m_proto.CacheChanged);
    EXPECT_STRNE("", m_proto.CacheChanged);
}

TEST_F(FolderTest, TheReceivedCountArrivesAsText)
{
    ASSERT_EQ(0, m_proto.GetFileCount(m_proto.LoginInfo.SessionId));
    EXPECT_STREQ("0", m_proto.FileCountInfo);
}

TEST_F(FolderTest, CopyFolderInfoCopiesTheTextsAndLeavesTheChildren)
{
    _PROTO_FOLDER_INFO source = {};
    std::strcpy(source.IDX, "r12");
    std::wcscpy(source.Name, L"Name");
    source.Children.resize(3);
    _PROTO_FOLDER_INFO dest = {};
    std::strcpy(dest.DIDX, "77");
    std::strcpy(dest.Attr189, "111111111111111111111111111111");
    dest.Children.resize(1);
    CToviProto::CopyFolderInfo(&dest, &source, true);
    EXPECT_STREQ("r12", dest.IDX);
    EXPECT_STREQ(L"Name", dest.Name);
    EXPECT_STREQ("", dest.DIDX);
    EXPECT_STREQ("", dest.Attr189);
    EXPECT_EQ(1u, dest.Children.size());

    CToviProto::memsetFolderInfo(&source);
    EXPECT_STREQ("", source.IDX);
    EXPECT_TRUE(source.Children.empty());
}
