// The upload and download job records the splitter builds from server records, and the messages
// the transfer windows send it, read as the shared header defines them.
#include "ToviProto.h"
#include "ToviSplitter.h"
#include "TransferJobs.h"
#include "VersionManagementDlg.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

using transferjobs::Refusal;

namespace {

_PROTO_FOLDER_INFO FileRecord(const std::wstring& name)
{
    _PROTO_FOLDER_INFO record = {};
    std::strcpy(record.ItemType, "F");
    std::strcpy(record.IDX, "123456789");
    std::strcpy(record.DIDX, "1");
    std::strcpy(record.Attr27, "1");
    std::strcpy(record.Attr29, "Y");
    std::strcpy(record.Attr30, "N");
    std::strcpy(record.Attr62, "Y");
    std::strcpy(record.Attr231, "000000100000");
    std::strcpy(record.Attr192, "18446744073709551615");
    std::memset(record.Attr9, 'k', 32);
    std::memset(record.Attr237, 'd', 64);
    wcsncpy(record.Name, name.c_str(), 1023);
    return record;
}

// Fills every field with a byte that the copy must overwrite or leave zero.
_DOWNLOADINFO Dirty()
{
    _DOWNLOADINFO item;
    std::memset(static_cast<void*>(&item), 0, offsetof(_DOWNLOADINFO, DestRoot));
    std::memset(item.Checksum, 'x', sizeof item.Checksum);
    return item;
}

}

TEST(TransferJobs, AServerRecordBecomesADownloadItemFieldForField)
{
    const _PROTO_FOLDER_INFO record = FileRecord(L"보고서.hwp");
    _DOWNLOADINFO item = Dirty();
    ASSERT_EQ(Refusal::None, transferjobs::FromFolderRecord(record, L"My Files/문서", L"C:\\받은 파일", item));
    EXPECT_STREQ("F", item.Type);
    EXPECT_STREQ("123456789", item.ItemId);
    EXPECT_STREQ("1", item.FolderId);
    EXPECT_STREQ("1", item.FolderKind);
    EXPECT_STREQ("Y", item.ShareFlagA);
    EXPECT_STREQ("N", item.Code3);
    EXPECT_STREQ("Y", item.ShareFlagB);
    EXPECT_STREQ("000000100000", item.Owner);
    EXPECT_STREQ("0", item.Version);
    EXPECT_STREQ(L"보고서.hwp", item.Name);
    EXPECT_STREQ(L"My Files/문서", item.ServerPath);
    EXPECT_STREQ("18446744073709551615", item.Size);
    EXPECT_EQ(std::string(32, 'k'), item.FileKey);
    EXPECT_EQ(std::string(64, 'd'), item.PasswordDigest);
    EXPECT_EQ(std::string(sizeof item.Checksum, '\0'), std::string(item.Checksum, sizeof item.Checksum))
        << "the download writes the checksum; the builder leaves it zero";
    EXPECT_EQ(CString(L"C:\\받은 파일"), item.DestRoot);
    EXPECT_EQ(CString(L"C:\\받은 파일"), item.DestFolder);
}

// A name, path or carried text that does not fit is refused whole: a cut name would write the
// data under another file's name, and an over-long text ran into the next field.
TEST(TransferJobs, WhatDoesNotFitIsRefusedNeverCut)
{
    struct Case {
        const char* what;
        size_t nameLength;
        size_t pathLength;
        size_t digestLength;
        Refusal expected;
    } cases[] = {
        {"name filling the field", 511, 10, 64, Refusal::None},
        {"name one longer", 512, 10, 64, Refusal::Name},
        {"name filling the record's own field", 1023, 10, 64, Refusal::Name},
        {"path filling the field", 20, 511, 64, Refusal::None},
        {"path one longer", 20, 512, 64, Refusal::ServerPath},
        {"digest filling the field", 20, 10, 64, Refusal::None},
        {"digest filling the record's wider member", 20, 10, 65, Refusal::Text},
    };
    for (const Case& c : cases) {
        _PROTO_FOLDER_INFO record = FileRecord(std::wstring(c.nameLength, L'n'));
        std::memset(record.Attr237, 0, sizeof record.Attr237);
        std::memset(record.Attr237, 'd', c.digestLength);
        const std::wstring path(c.pathLength, L'p');
        _DOWNLOADINFO item = Dirty();
        EXPECT_EQ(c.expected, transferjobs::FromFolderRecord(record, path.c_str(), L"C:\\down", item)) << c.what;
        if (c.expected == Refusal::None) {
            EXPECT_EQ(c.nameLength, std::wcslen(item.Name)) << c.what;
            EXPECT_EQ(c.pathLength, std::wcslen(item.ServerPath)) << c.what;
            EXPECT_EQ(c.digestLength, std::strlen(item.PasswordDigest)) << c.what;
        }
        // Whatever happened, nothing ran past the fixed fields into the strings behind them.
        EXPECT_TRUE(item.DestRoot.IsEmpty() || item.DestRoot == L"C:\\down") << c.what;
    }
}

TEST(TransferJobs, ARecordFieldWithoutItsTerminatorIsNotReadPastItsEnd)
{
    _PROTO_FOLDER_INFO record = FileRecord(L"a.txt");
    std::memset(record.IDX, '7', sizeof record.IDX);   // ten digits, no terminator
    _DOWNLOADINFO item = Dirty();
    EXPECT_EQ(Refusal::Text, transferjobs::FromFolderRecord(record, L"My Files", L"C:\\down", item));

    _UPLOADINFO upload;
    EXPECT_EQ(Refusal::Text, transferjobs::ForUpload(L"C:\\a.txt", record, 0, 0, upload));
}

TEST(TransferJobs, VersionAndSearchItemsAreFilesWithTheirOwnFields)
{
    _VERSION_ITEM version = {};
    std::strcpy(version.Version.IDX, "55");
    std::strcpy(version.Version.DIDX, "1");
    std::strcpy(version.Version.Attr209, "3");
    std::strcpy(version.Version.Attr192, "4096");
    std::memset(version.Version.Attr9, 'v', 32);
    wcscpy(version.FileName, L"plan.doc");
    wcscpy(version.ServerPath, L"My Files/Plans");
    _DOWNLOADINFO item = Dirty();
    ASSERT_EQ(Refusal::None, transferjobs::FromVersion(version, L"D:\\v", item));
    EXPECT_STREQ("F", item.Type);
    EXPECT_STREQ("55", item.ItemId);
    EXPECT_STREQ("3", item.Version);
    EXPECT_STREQ("4096", item.Size);
    EXPECT_EQ(std::string(32, 'v'), item.FileKey);
    EXPECT_STREQ(L"plan.doc", item.Name);
    EXPECT_STREQ(L"My Files/Plans", item.ServerPath);
    EXPECT_STREQ("", item.PasswordDigest);
    EXPECT_EQ(CString(L"D:\\v"), item.DestFolder);

    _PROTO_SEARCH_INFO hit = {};
    std::strcpy(hit.ItemType, "F");
    std::strcpy(hit.IDX, "77");
    std::strcpy(hit.DIDX, "1");
    std::strcpy(hit.Attr192, "12");
    wcscpy(hit.Name, L"found.txt");
    wcscpy(hit.Attr197, L"My Files/Deep");
    ASSERT_EQ(Refusal::None, transferjobs::FromSearchHit(hit, L"E:\\s", item));
    EXPECT_STREQ("F", item.Type);
    EXPECT_STREQ("0", item.Version);
    EXPECT_STREQ("77", item.ItemId);
    EXPECT_STREQ(L"My Files/Deep", item.ServerPath);

    // The hit's location is four times wider than the item's path.
    std::wmemset(hit.Attr197, L'q', 600);
    EXPECT_EQ(Refusal::ServerPath, transferjobs::FromSearchHit(hit, L"E:\\s", item));
    std::wmemset(version.FileName, L'f', 512);   // no terminator
    EXPECT_EQ(Refusal::Name, transferjobs::FromVersion(version, L"D:\\v", item));
}

namespace {

class SplitterMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr));
        ASSERT_TRUE(m_splitter.CreateStatic(&m_host, 2, 2));
        m_splitter.m_session = [this] { return &m_proto; };
        m_splitter.m_panes.uploadApproval = [this](const CString& text) {
            ++m_approvals;
            m_lastApproval = text;
        };
    }
    void TearDown() override
    {
        m_splitter.DestroyWindow();
        m_host.DestroyWindow();
    }

    CWnd m_host;
    CToviSplitter m_splitter;
    CToviProto m_proto;
    int m_approvals = 0;
    CString m_lastApproval;
};

}

// Both senders pass a plain wide text that stays theirs; a CString* reading would take the
// characters for an object.
TEST_F(SplitterMessages, TheApprovalTextIsReadAsTheSendersWideText)
{
    std::strcpy(m_proto.OptionInfo.SubOption, "Y");
    const std::wstring indexes = L"101,102,103";
    m_splitter.SendMessage(WM_UPLOAD_APPROVAL, reinterpret_cast<WPARAM>(indexes.c_str()), 0);
    EXPECT_EQ(1, m_approvals);
    EXPECT_EQ(CString(L"101,102,103"), m_lastApproval);

    std::strcpy(m_proto.OptionInfo.SubOption, "N");
    m_splitter.SendMessage(WM_UPLOAD_APPROVAL, reinterpret_cast<WPARAM>(indexes.c_str()), 0);
    EXPECT_EQ(1, m_approvals) << "without the sub-option no approval page opens";
}

TEST_F(SplitterMessages, SearchHitsAreCopiedDuringTheCallAndABeginStartsAFreshList)
{
    _PROTO_SEARCH_INFO hit = {};
    std::strcpy(hit.ItemType, "F");
    std::strcpy(hit.DIDX, "1");
    wchar_t dest[MAX_PATH] = L"C:\\hits";
    m_splitter.SendMessage(WM_SEARCH_DOWNLOAD_BEGIN, 0, 0);
    for (const char* idx : {"11", "12"}) {
        std::strcpy(hit.IDX, idx);
        wcscpy(hit.Name, (std::wstring(L"hit") + CString(idx).GetString()).c_str());
        m_splitter.SendMessage(WM_SEARCH_DOWNLOAD_ITEM, reinterpret_cast<WPARAM>(&hit),
                               reinterpret_cast<LPARAM>(dest));
        // The search window reuses its record for the next hit.
        std::memset(&hit.Name, 0, sizeof hit.Name);
    }
    ASSERT_EQ(2u, m_splitter.m_vecSearchDownload.size());
    EXPECT_STREQ("11", m_splitter.m_vecSearchDownload[0].ItemId);
    EXPECT_STREQ(L"hit11", m_splitter.m_vecSearchDownload[0].Name);
    EXPECT_STREQ(L"hit12", m_splitter.m_vecSearchDownload[1].Name);
    EXPECT_EQ(CString(L"C:\\hits"), m_splitter.m_vecSearchDownload[1].DestFolder);

    m_splitter.SendMessage(WM_SEARCH_DOWNLOAD_BEGIN, 0, 0);
    EXPECT_TRUE(m_splitter.m_vecSearchDownload.empty());
}
