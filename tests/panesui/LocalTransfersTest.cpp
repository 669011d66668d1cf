// The jobs the local panes build for uploads into a server folder and downloads of server items
// into a local folder, and the refusals that stop them.
#include "LocalTransfers.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <cstring>
#include <string>

using localxfer::LocalItem;
using localxfer::UploadCheck;

namespace {

_PROTO_FOLDER_INFO ServerFolder(const char* permissions)
{
    _PROTO_FOLDER_INFO folder = {};
    std::strcpy(folder.ItemType, "D");
    std::strcpy(folder.IDX, "4711");
    std::strcpy(folder.DIDX, "12");
    std::strncpy(folder.Attr189, permissions, sizeof folder.Attr189);
    wcscpy(folder.Name, L"공유 폴더");
    return folder;
}

_PROTO_FOLDER_INFO Item(const char* type, const std::wstring& name)
{
    _PROTO_FOLDER_INFO record = {};
    std::strcpy(record.ItemType, type);
    std::strcpy(record.IDX, "900");
    std::strcpy(record.DIDX, "1");
    std::strcpy(record.Attr192, "300000");
    wcsncpy(record.Name, name.c_str(), 1023);
    return record;
}

}

TEST(LocalTransfers, TheUploadFlagIsTheFifthPermissionAndOnlyAOneAllows)
{
    struct Case {
        const char* permissions;
        bool allowed;
    } cases[] = {
        {"111111111111111", true},
        {"000010000000000", true},
        {"111101111111111", false},
        {"1111", false},   // too short to carry the flag
        {"", false},
        {"1111X1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.allowed, localxfer::FolderTakesUploads(ServerFolder(c.permissions))) << c.permissions;
    // A permission text that fills its field without a terminator is read within the field.
    _PROTO_FOLDER_INFO full = ServerFolder("");
    std::memset(full.Attr189, '1', sizeof full.Attr189);
    EXPECT_TRUE(localxfer::FolderTakesUploads(full));
}

TEST(LocalTransfers, UploadJobsCarryTheTargetFolderAndEachItemsAttributes)
{
    const _PROTO_FOLDER_INFO folder = ServerFolder("111111111111111");
    std::vector<_UPLOADINFO> jobs;
    const std::vector<LocalItem> items = {{L"C:\\data\\plan.txt", 0}, {L"C:\\data\\보고서", SFGAO_FOLDER}};
    ASSERT_EQ(UploadCheck::Jobs, localxfer::UploadJobs(folder, 0x1234, items, jobs));
    ASSERT_EQ(2u, jobs.size());
    for (size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ(items[i].path, jobs[i].LocalPath);
        EXPECT_STREQ("4711", jobs[i].FirstId);
        EXPECT_STREQ("12", jobs[i].SecondId);
        EXPECT_EQ(0x1234u, jobs[i].ItemData);
        EXPECT_EQ(items[i].attributes, jobs[i].Attributes);
    }
    EXPECT_EQ(static_cast<DWORD>(UPLOADINFO_FOLDER), jobs[1].Attributes & UPLOADINFO_FOLDER);
}

TEST(LocalTransfers, ARefusedUploadBuildsNoJob)
{
    const LocalItem file = {L"C:\\data\\plan.txt", 0}, drive = {L"D:\\", SFGAO_FOLDER};
    struct Case {
        const char* what;
        const char* permissions;
        std::vector<LocalItem> items;
        UploadCheck expected;
    } cases[] = {
        {"no upload right", "111101111111111", {file}, UploadCheck::NoPermission},
        // The right is asked first: a drive in a folder without it still names the right.
        {"no right and a drive", "111101111111111", {drive}, UploadCheck::NoPermission},
        {"a drive after a file", "111111111111111", {file, drive}, UploadCheck::DriveRoot},
        {"a drive alone", "111111111111111", {drive}, UploadCheck::DriveRoot},
        {"nothing chosen", "111111111111111", {}, UploadCheck::Nothing},
    };
    for (const Case& c : cases) {
        std::vector<_UPLOADINFO> jobs;
        EXPECT_EQ(c.expected, localxfer::UploadJobs(ServerFolder(c.permissions), 1, c.items, jobs)) << c.what;
        EXPECT_TRUE(jobs.empty()) << c.what;
    }
    // A folder whose name merely has three characters is no drive.
    EXPECT_FALSE(localxfer::IsDriveRoot(L"abc"));
    EXPECT_TRUE(localxfer::IsDriveRoot(L"C:\\"));
}

TEST(LocalTransfers, DownloadJobsGoIntoTheFolderAndAnItemThatDoesNotFitIsNamedNotCut)
{
    const std::wstring longName = L"긴이름" + std::wstring(600, L'x');
    const std::vector<_PROTO_FOLDER_INFO> records = {Item("F", L"down.bin"), Item("F", longName), Item("D", L"Sub")};
    std::vector<CString> refusals;
    const std::vector<_DOWNLOADINFO> jobs =
        localxfer::DownloadJobs(records, L"My Files/보관", L"C:\\받을 곳", refusals);
    ASSERT_EQ(2u, jobs.size());
    EXPECT_STREQ(L"down.bin", jobs[0].Name);
    EXPECT_STREQ(L"Sub", jobs[1].Name);
    EXPECT_STREQ("D", jobs[1].Type);
    for (const _DOWNLOADINFO& job : jobs) {
        EXPECT_STREQ(L"My Files/보관", job.ServerPath);
        EXPECT_EQ(CString(L"C:\\받을 곳"), job.DestFolder);
        EXPECT_EQ(CString(L"C:\\받을 곳"), job.DestRoot);
        EXPECT_STREQ("900", job.ItemId);
    }
    ASSERT_EQ(1u, refusals.size());
    EXPECT_EQ(0, refusals[0].Find(L"긴이름xxx")) << refusals[0].GetString();

    refusals.clear();
    EXPECT_TRUE(localxfer::DownloadJobs(records, L"My Files", CString(), refusals).empty())
        << "a folder without a path takes nothing";
}
