// The upload and download job records the splitter builds from server records, the messages the
// transfer windows send it (read as the shared header defines them), and the splitter's own
// decisions, on a splitter of this process with the program's four pane classes.
#include "ClientLeftView.h"
#include "ClientRightView.h"
#include "DownloadThread.h"
#include "UploadThread.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
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

class SplitterInHost : public ::testing::Test {
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
TEST_F(SplitterInHost, TheApprovalTextIsReadAsTheSendersWideText)
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

TEST_F(SplitterInHost, SearchHitsAreCopiedDuringTheCallAndABeginStartsAFreshList)
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

namespace {

void AddPanes(CToviSplitter& splitter)
{
    CRuntimeClass* classes[2][2] = {{RUNTIME_CLASS(CServerLeftView), RUNTIME_CLASS(CServerRightView)},
                                    {RUNTIME_CLASS(CClientLeftView), RUNTIME_CLASS(CClientRightView)}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            ASSERT_TRUE(splitter.CreateView(r, c, classes[r][c], CSize(150, 100), nullptr));
    splitter.RecalcLayout();
}

}

TEST_F(SplitterInHost, TheActivePaneTakesTheActiveColourAndEveryOtherOneItsRowsColour)
{
    ASSERT_NO_FATAL_FAILURE(AddPanes(m_splitter));
    COLORREF colors[2][2];
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            m_splitter.m_panes.paneColor[r][c] = [&colors, r, c](COLORREF color) { colors[r][c] = color; };
    const COLORREF A = 0xFEF9F6, S = 0xFAFAFA, L = 0xFFFFFF;
    struct Case {
        int row, col;
        COLORREF expected[2][2];
    } cases[] = {
        {0, 0, {{A, S}, {L, L}}},
        {0, 1, {{S, A}, {L, L}}},
        {1, 0, {{S, S}, {A, L}}},
        {1, 1, {{S, S}, {L, A}}},
    };
    for (const Case& c : cases) {
        std::memset(colors, 0xAB, sizeof colors);
        m_splitter.SetActivePane(c.row, c.col);
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k < 2; ++k)
                EXPECT_EQ(c.expected[r][k], colors[r][k]) << "active " << c.row << c.col << ", pane " << r << k;
    }
}

TEST_F(SplitterInHost, AnUploadsEndRefreshesTheQuotaAlwaysAndTheFolderOnlyWhileItIsSelected)
{
    HTREEITEM selected = reinterpret_cast<HTREEITEM>(0x1234);
    std::vector<HTREEITEM> refreshed;
    int rearmed = 0;
    m_splitter.m_panes.serverSelection = [&] { return selected; };
    m_splitter.m_panes.refreshServer = [&](HTREEITEM item, int) { refreshed.push_back(item); };
    m_splitter.m_quotaTimer = [&](bool run) { rearmed += run ? 1 : 0; };

    m_splitter.SendMessage(WM_UPLOAD_DONE, reinterpret_cast<WPARAM>(selected), 0);
    m_splitter.SendMessage(WM_UPLOAD_DONE, 0x5678, 0);
    EXPECT_EQ(2, rearmed);
    ASSERT_EQ(1u, refreshed.size()) << "a folder no longer selected is not listed again";
    EXPECT_EQ(selected, refreshed[0]);
}

TEST_F(SplitterInHost, AnUploadTheCustomersNoticeCancelsStartsNothingAndLeavesTheQuotaTimer)
{
    m_proto.CustomerCode = L"tolvan_in";
    int notices = 0, stops = 0;
    m_splitter.m_uploadAlert = [&] {
        ++notices;
        return false;
    };
    m_splitter.m_quotaTimer = [&](bool run) { stops += run ? 0 : 1; };
    _PROTO_FOLDER_INFO folder = {};
    std::strcpy(folder.IDX, "5");
    std::strcpy(folder.DIDX, "1");
    std::vector<_UPLOADINFO> items(1);
    ASSERT_EQ(Refusal::None, transferjobs::ForUpload(L"C:\\a.txt", folder, 0, 0, items[0]));
    m_splitter.Upload(&folder, items);
    EXPECT_EQ(1, notices) << "the customer code is compared without regard to case";
    EXPECT_EQ(nullptr, m_splitter.m_pUploadThread);
    EXPECT_EQ(0, stops);
}

TEST_F(SplitterInHost, AMaximiseKeepsTheSharesOfTheFirstRowAndColumn)
{
    ASSERT_NO_FATAL_FAILURE(AddPanes(m_splitter));
    m_splitter.MoveWindow(0, 0, 400, 300);
    m_splitter.SetRowInfo(0, 90, 10);
    m_splitter.SetColumnInfo(0, 100, 10);
    m_splitter.RecalcLayout();
    m_splitter.KeepRowProportion();
    m_splitter.MoveWindow(0, 0, 800, 600);
    m_splitter.ApplyRowProportion();
    int row = 0, col = 0, minimum = 0;
    m_splitter.GetRowInfo(0, row, minimum);
    m_splitter.GetColumnInfo(0, col, minimum);
    EXPECT_EQ(180, row);
    EXPECT_EQ(200, col);
}

// The end of a download lists the local folder that received it again: as the selected folder
// when it is the one selected, else without selecting it; with no destination item known, the
// selected folder.
TEST_F(SplitterInHost, TheEndOfADownloadRefreshesTheLocalFolderThatReceivedIt)
{
    const HTREEITEM selected = reinterpret_cast<HTREEITEM>(0x10), other = reinterpret_cast<HTREEITEM>(0x20);
    struct Case {
        HTREEITEM destination;
        HTREEITEM expectedItem;
        bool expectedSelected;
    } cases[] = {
        {selected, selected, true},
        {other, other, false},
        {nullptr, selected, true},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<HTREEITEM, bool>> refreshed;
        m_splitter.m_panes.localSelection = [&] { return selected; };
        m_splitter.m_panes.refreshLocal = [&](HTREEITEM item, bool isSelected) {
            refreshed.emplace_back(item, isSelected);
        };
        m_splitter.m_hDownloadLocalItem = c.destination;
        // A thread object whose thread has ended (here: never ran) and whose window was not
        // stopped by the server.
        m_splitter.m_pDownloadThread = new CDownloadThread;
        m_splitter.SendMessage(WM_DOWNLOAD_THREAD_EXIT, 0, 0);
        EXPECT_EQ(nullptr, m_splitter.m_pDownloadThread) << "the thread object is deleted";
        ASSERT_EQ(1u, refreshed.size());
        EXPECT_EQ(c.expectedItem, refreshed[0].first);
        EXPECT_EQ(c.expectedSelected, refreshed[0].second);
    }
}

namespace {

DWORD WINAPI ShortLife(LPVOID)
{
    ::Sleep(1500);
    return 0;
}

}

// A transfer thread can end, its exit message still queued, when the next job comes: the job
// finishes it first (a server-ended session logs out instead of starting anything), and the
// late exit message is not taken for the next thread's.
TEST_F(SplitterInHost, AThreadThatEndedBeforeItsExitMessageIsFinishedByTheNextJob)
{
    int logouts = 0;
    m_splitter.m_forcedLogout = [&] { ++logouts; };
    m_splitter.m_quotaTimer = [](bool) {};
    m_splitter.m_uploadAlert = [] { return false; };
    m_proto.CustomerCode = L"TOLVAN_IN";
    _PROTO_FOLDER_INFO folder = {};
    std::strcpy(folder.IDX, "5");
    std::strcpy(folder.DIDX, "1");
    std::vector<_UPLOADINFO> items(1);
    ASSERT_EQ(Refusal::None, transferjobs::ForUpload(L"C:\\a.txt", folder, 0, 0, items[0]));

    // Ended by the server: the next job logs out.
    auto* ended = new CUploadThread;
    ended->m_dlg.m_bForceStopped = true;
    m_splitter.m_pUploadThread = ended;
    m_splitter.Upload(&folder, items);
    EXPECT_EQ(1, logouts);
    EXPECT_EQ(nullptr, m_splitter.m_pUploadThread) << "nothing starts on a session the server ended";

    // Ended normally; the next job (here cancelled at the customers' notice) finishes it, and a
    // thread running by the time the old exit message comes is left alone.
    m_splitter.m_pUploadThread = new CUploadThread;
    m_splitter.Upload(&folder, items);
    EXPECT_EQ(nullptr, m_splitter.m_pUploadThread);
    auto* running = new CUploadThread;
    running->m_hThread = ::CreateThread(nullptr, 0, ShortLife, nullptr, 0, nullptr);
    m_splitter.m_pUploadThread = running;
    for (int late = 0; late < 2; ++late) {
        m_splitter.SendMessage(WM_UPLOAD_THREAD_EXIT, 0, 0);
        EXPECT_EQ(running, m_splitter.m_pUploadThread) << "a late exit message ended the running thread";
    }
    // Its own message, when it comes, waits for it and deletes it.
    m_splitter.SendMessage(WM_UPLOAD_THREAD_EXIT, 0, 0);
    EXPECT_EQ(nullptr, m_splitter.m_pUploadThread);
    EXPECT_EQ(1, logouts);
}
