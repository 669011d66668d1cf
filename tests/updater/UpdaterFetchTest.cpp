// The HTTP download that the update program and the client's update check share, against the
// local HTTP fixture: a whole body with its progress, and the failures that must leave no file.
#include "TinyHttp.h"   // before windows.h: it brings winsock2.h
#include "ToviUpdateFetch.h"
#include "FileBytes.h"
#include "TestPaths.h"
#include "UpdaterFiles.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <thread>

using namespace updtest;

class Fetch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(0, FixturePort()) << "the HTTP fixture is not running";
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_www = FixtureDir() + L"\\www\\fetch-" + Wide(name);
        MakeDirs(m_www);
        m_base = L"http://127.0.0.1:" + std::to_wstring(FixturePort()) + L"/fetch-" + Wide(name);
        m_target = testpaths::ScratchDir((L"Fetch" + Wide(name)).c_str()) + L"\\file.bin";
        m_body.resize(200000);
        for (size_t i = 0; i < m_body.size(); ++i)
            m_body[i] = char(i * 31 + i / 251);
        PutFile(m_www + L"\\file.bin", m_body);
    }

    bool Download(const updatefetch::Options& options)
    {
        return updatefetch::Download((m_base + L"/file.bin").c_str(), m_target.c_str(), options);
    }

    std::wstring m_www, m_base, m_target;
    std::string m_body;
};

TEST_F(Fetch, StoresTheWholeBodyAndReportsItsLengthAndPieces)
{
    updatefetch::Options options;
    unsigned long long announced = 0, pieces = 0;
    options.onLength = [&](unsigned long long length) { announced = length; };
    options.onPiece = [&](unsigned long long size) { pieces += size; };
    ASSERT_TRUE(Download(options));
    EXPECT_TRUE(filebytes::Same(m_body, ReadFile(m_target)));
    EXPECT_EQ(m_body.size(), announced);
    EXPECT_EQ(m_body.size(), pieces);
}

TEST_F(Fetch, AFileThatCannotBeClosedIsNoDownload)
{
    // The close is where the system writes out what it still holds; its failure loses data.
    PutFile(m_target, "what was there before");
    updatefetch::Options options;
    int closes = 0;
    options.closeFile = [&](HANDLE file) {
        ++closes;
        ::CloseHandle(file);
        ::SetLastError(ERROR_DISK_FULL);
        return FALSE;
    };
    EXPECT_FALSE(Download(options));
    EXPECT_EQ(1, closes);
    EXPECT_FALSE(Exists(m_target)) << "a half-written file was left";
}

TEST_F(Fetch, ACancelStopsTheTransferAndLeavesNoFile)
{
    HANDLE cancel = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    updatefetch::Options options;
    options.cancelEvent = cancel;
    EXPECT_FALSE(Download(options));
    CloseHandle(cancel);
    EXPECT_FALSE(Exists(m_target));
}

// A cancel while the server holds the download (before its answer, or in the middle of the
// body) ends it at once, long before the open or receive time-out, and leaves no file.
TEST_F(Fetch, ACancelEndsADownloadThatAServerHolds)
{
    struct Row {
        const char* why;
        bool silent;
    } rows[] = { { "the server never answers", true }, { "the server stops in the middle of the body", false } };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        TinyHttp http;
        if (row.silent) {
            http.Silent("/file.bin");
        } else {
            http.Serve("/file.bin", m_body);
            http.StallAfter("/file.bin", 1000);
        }
        HANDLE cancel = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        // Set once the download has what the server sent before it stopped: its next read waits.
        HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        updatefetch::Options options;
        options.cancelEvent = cancel;
        options.onPiece = [&](unsigned long long) { SetEvent(started); };
        HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD cancelledAt = 0;
        std::thread canceller([&] {
            bool held = row.silent ? uitest::WaitUntil([&] { return !http.Requests().empty(); }, 10000)
                                   : WaitForSingleObject(started, 10000) == WAIT_OBJECT_0;
            cancelledAt = GetTickCount();
            SetEvent(cancel);
            EXPECT_TRUE(held) << "the server was never reached";
            // A download that ignores the cancel would wait for the server for ever.
            if (WaitForSingleObject(ended, 10000) == WAIT_TIMEOUT)
                http.DropConnections();
        });
        bool done = updatefetch::Download((http.Base() + L"/file.bin").c_str(), m_target.c_str(), options);
        DWORD endedAt = GetTickCount();
        SetEvent(ended);
        canceller.join();
        CloseHandle(ended);
        CloseHandle(started);
        CloseHandle(cancel);
        EXPECT_FALSE(done);
        EXPECT_LT(endedAt - cancelledAt, 1500u) << "the download went on after the cancel";
        EXPECT_FALSE(Exists(m_target));
    }
}
