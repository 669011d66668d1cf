// File data against the test server: H3 upload frames with factor, throttle (on an injected
// clock), progress, pause and cancel; H4 download frames with progress, cancel, re-keying and
// write failures.
#include <winsock2.h>
#include "FileBytes.h"
#include "ProtoServer.h"
#include "TestPaths.h"
#include "UiThread.h"
#include <cstring>
#include <vector>

using namespace protoserver;

namespace {

// What the progress window answers and what it was told; touched by the UI thread while the
// test thread waits inside the library.
struct WindowScript {
    LRESULT progressReply = 0;
    LRESULT throttleReply = 1;
    LRESULT resumeReply = 1;
    LRESULT cancelReply = 0;
    bool destroyOnPause = false;
    int pauseAfterFrames = -1;
    std::vector<uint64_t> progress;
    std::vector<std::wstring> policyKeys;
    int throttles = 0;
    int resumeQueries = 0;
    int cancelQueries = 0;
};
WindowScript g_script;

LRESULT CALLBACK ScriptProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UPLOAD_PROGRESS:
        g_script.progress.push_back(*reinterpret_cast<uint64_t*>(lParam));
        if (static_cast<int>(g_script.progress.size()) == g_script.pauseAfterFrames)
            return UPLOAD_REPLY_PAUSE;
        return g_script.progressReply;
    case WM_UPLOAD_POLICY_PROGRESS: {
        auto* p = reinterpret_cast<_UPLOAD_POLICY_PROGRESS*>(lParam);
        g_script.policyKeys.push_back(p->key);
        g_script.progress.push_back(p->bytes);
        return g_script.progressReply;
    }
    case WM_UPLOAD_THROTTLE:
        ++g_script.throttles;
        return g_script.throttleReply;
    case WM_UPLOAD_RESUME_QUERY:
        ++g_script.resumeQueries;
        if (g_script.destroyOnPause) {
            DestroyWindow(wnd);
            return 0;
        }
        return g_script.resumeReply;
    case WM_DOWNLOAD_QUERY_CANCEL:
        ++g_script.cancelQueries;
        return g_script.cancelReply;
    case WM_DOWNLOAD_PROGRESS:
        g_script.progress.push_back(*reinterpret_cast<uint64_t*>(lParam));
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

// Time stands still except when the loop sleeps.
class FakeClock : public CConnClock {
public:
    uint64_t NowMicros() override { return m_now; }
    void SleepMs(DWORD ms) override
    {
        m_sleeps.push_back(ms);
        m_now += static_cast<uint64_t>(ms) * 1000;
    }
    uint64_t m_now = 1000000000;
    std::vector<DWORD> m_sleeps;
};

class StreamTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        g_script = WindowScript();
        m_proto.Aim(m_ports.port);
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = ScriptProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ProtoStreamScript";
            RegisterClassW(&wc);
            m_wnd = CreateWindowExW(0, L"ProtoStreamScript", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wc.hInstance, nullptr);
        });
        ASSERT_NE(nullptr, m_wnd);
        m_dir = testpaths::ScratchDir(L"ProtoStreamTest");
    }
    void TearDown() override
    {
        m_ui.Run([this] {
            if (IsWindow(m_wnd))
                DestroyWindow(m_wnd);
        });
        ServerTest::TearDown();
    }

    std::wstring WriteSource(size_t size)
    {
        std::wstring path = m_dir + L"\\upload.bin";
        std::string data = Pattern(0, size);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(h);
        return path;
    }

    // Announces an upload of size bytes on the object's connection, then streams the file.
    int Upload(size_t size, const char* factor)
    {
        m_proto.ClearResult();
        _PROT announce;
        m_proto.NewMessage(announce, PROT_CMD('Z', '3'));
        ProtRecord record;
        record[192] = std::to_string(size);
        announce.records.push_back(record);
        EXPECT_EQ(0, m_proto.Request(announce));
        if (!m_proto.m_pConn)
            return -100;
        if (factor)
            m_proto.SetUpDownFactor(const_cast<char*>(factor));
        CFile file(WriteSource(size).c_str(), CFile::modeRead);
        _PROT data;
        m_proto.NewMessage(data, C_UPLOAD_DATA);
        return m_proto.m_pConn->SendFileData(file, m_wnd, data, size, 0);
    }

    std::string UploadReport()
    {
        // The server takes the frames on its own time; Z4 on the same connection orders them.
        m_proto.ClearResult();
        _PROT result;
        m_proto.NewMessage(result, PROT_CMD('Z', '4'));
        EXPECT_EQ(0, m_proto.Request(result));
        return Control("UPLOAD");
    }

    // Streams size bytes from the server (Z2) into a file; the request's result.
    int Download(size_t size, HANDLE file, const char* key = nullptr)
    {
        m_proto.ClearResult();
        _PROT msg;
        m_proto.NewMessage(msg, PROT_CMD('Z', '2'));
        ProtRecord record;
        record[192] = std::to_string(size);
        record[228] = "header text";
        if (key)
            record[9] = key;
        msg.records.push_back(record);
        if (!m_proto.m_pConn) {
            // Connect first, so that the download slots can be set, as the download request does.
            EXPECT_EQ(0, m_proto.GetSecureCode(nullptr, m_proto.ServerAddress.szHost, m_proto.ServerAddress.nPort,
                                               m_proto.ServerAddress.szCode, msg.command));
        }
        CToviConn* conn = m_proto.m_pConn;
        conn->m_hDownloadFile = file;
        conn->m_hProgressWnd = m_wnd;
        if (key) {
            conn->m_bRekey = 1;
            std::memset(conn->m_szDownloadKey, 0, sizeof conn->m_szDownloadKey);
            std::memcpy(conn->m_szDownloadKey, key, 32);
        }
        return m_proto.Request(msg);
    }

    // Ends a loop that waits on the window: it is gone.
    void EndWindow()
    {
        m_ui.Run([this] {
            if (IsWindow(m_wnd))
                DestroyWindow(m_wnd);
        });
    }

    HANDLE OpenForWriting(const std::wstring& path)
    {
        return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    }

    std::string ReadAll(const std::wstring& path)
    {
        std::string out;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return out;
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
            out.append(buffer, got);
        CloseHandle(h);
        return out;
    }

    TestProto m_proto;
    uitest::UiThread m_ui;
    HWND m_wnd = nullptr;
    std::wstring m_dir;
};

}

TEST_F(StreamTest, UploadFramesFollowTheFactorAndOnlyTheLastLacksMore)
{
    struct Row { size_t size; const char* factor; const char* sizes; };
    const Row rows[] = {
        {65001, "1", "65000,1"},
        {260001, "0", "130000,130000,1"},     // 0 means 2 pieces
        {130001, "-3", "130000,1"},
        {2080001, "40", "2080000,1"},        // at most 32 pieces fit a frame
        {65000, "1", "65000"},
    };
    for (const Row& row : rows) {
        g_script = WindowScript();
        ASSERT_EQ(0, Upload(row.size, row.factor)) << row.size << " factor " << row.factor;
        std::string report = UploadReport();
        EXPECT_EQ(row.sizes, Control::Value(report, "sizes")) << row.size << " factor " << row.factor;
        EXPECT_EQ("Y", Control::Value(report, "complete")) << report;
        EXPECT_EQ("Y", Control::Value(report, "pattern")) << report;
        uint64_t total = 0;
        for (uint64_t n : g_script.progress)
            total += n;
        EXPECT_EQ(row.size, total) << row.size;
        m_proto.CloseSocket();
    }
}

TEST_F(StreamTest, AnEmptyUploadSendsNoFrame)
{
    ASSERT_EQ(0, Upload(0, "1"));
    EXPECT_TRUE(g_script.progress.empty());
}

TEST_F(StreamTest, CancellingAnUploadLeavesTheLastFrameWithMore)
{
    g_script.progressReply = UPLOAD_REPLY_CANCEL;
    ASSERT_EQ(0, Upload(200000, "1"));
    std::string report = Control("UPLOAD");
    EXPECT_EQ(1u, g_script.progress.size());
    EXPECT_EQ("N", Control::Value(report, "complete")) << report;
}

TEST_F(StreamTest, APausedUploadEndsWhenItsWindowIsGone)
{
    FakeClock clock;
    g_script.pauseAfterFrames = 1;
    g_script.destroyOnPause = true;
    m_proto.ClearResult();
    ASSERT_EQ(0, Upload(0, nullptr));   // connects
    m_proto.m_pConn->m_pClock = &clock;
    int result = -100;
    ASSERT_TRUE(RunBounded(30, [&] { result = Upload(200000, "1"); }, [&] { EndWindow(); }))
        << "the pause did not end";
    ASSERT_EQ(0, result);
    EXPECT_EQ(1u, g_script.progress.size());
    EXPECT_EQ(1, g_script.resumeQueries);
    EXPECT_EQ(std::vector<DWORD>{1000}, clock.m_sleeps);
}

TEST_F(StreamTest, APausedUploadGoesOnWhenTheWindowSaysResume)
{
    FakeClock clock;
    g_script.pauseAfterFrames = 1;
    ASSERT_EQ(0, Upload(0, nullptr));
    m_proto.m_pConn->m_pClock = &clock;
    int result = -100;
    ASSERT_TRUE(RunBounded(30, [&] { result = Upload(130000, "1"); }, [&] { EndWindow(); }))
        << "the pause did not end";
    ASSERT_EQ(0, result);
    EXPECT_EQ(2u, g_script.progress.size());
    EXPECT_EQ(1, g_script.resumeQueries);
    EXPECT_EQ("Y", Control::Value(UploadReport(), "complete"));
}

TEST_F(StreamTest, ThePolicyKeyGoesWithTheProgressCutTo14Characters)
{
    ASSERT_EQ(0, Upload(0, nullptr));
    m_proto.SetPolicyKey(L"ABCDEFGHIJKLMNOPQRST", 7);
    ASSERT_EQ(0, Upload(70000, "1"));
    ASSERT_EQ(2u, g_script.policyKeys.size());
    EXPECT_EQ(L"ABCDEFGHIJKLMN", g_script.policyKeys[0]);
    EXPECT_EQ(7u, m_proto.m_pConn->m_dwPolicyNo);
}

TEST_F(StreamTest, TheThrottleSleepsTheCapThenTheRestBeforeTheSecondFrame)
{
    FakeClock clock;
    ASSERT_EQ(0, Upload(0, nullptr));
    m_proto.m_pConn->m_pClock = &clock;
    m_proto.SetBandWidth(const_cast<char*>("100"));
    EXPECT_EQ(102400u, m_proto.m_pConn->BandWidth());
    ASSERT_EQ(0, Upload(260000, "2"));
    // 130,000 bytes at 102,400 B/s: 1,269 ms owed, slept as 1,000 and 269.
    ASSERT_GE(clock.m_sleeps.size(), 2u);
    EXPECT_EQ(1000u, clock.m_sleeps[0]);
    EXPECT_EQ(269u, clock.m_sleeps[1]);
    EXPECT_EQ(static_cast<int>(clock.m_sleeps.size()), g_script.throttles);
    EXPECT_EQ("Y", Control::Value(UploadReport(), "complete"));
}

TEST_F(StreamTest, AThrottleRefusalEndsTheUpload)
{
    FakeClock clock;
    ASSERT_EQ(0, Upload(0, nullptr));
    m_proto.m_pConn->m_pClock = &clock;
    m_proto.SetBandWidth(const_cast<char*>("100"));
    g_script.throttleReply = 0;
    ASSERT_EQ(0, Upload(260000, "2"));
    EXPECT_EQ(1u, g_script.progress.size());
    EXPECT_EQ(1, g_script.throttles);
}

TEST_F(StreamTest, ADownloadWritesEveryFrameAndReportsProgress)
{
    const std::wstring path = m_dir + L"\\download.bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_EQ(0, Download(300001, file));
    CloseHandle(file);
    EXPECT_TRUE(filebytes::Same(Pattern(0, 300001), ReadAll(path)));
    uint64_t total = 0;
    for (uint64_t n : g_script.progress)
        total += n;
    EXPECT_EQ(300001u, total);
    EXPECT_EQ(L"header text", std::wstring(m_proto.DownloadInfo.wszMessage));
    EXPECT_EQ(static_cast<int>(g_script.progress.size()), g_script.cancelQueries);
    // The connection is in step for the next request.
    EXPECT_EQ(0, m_proto.Echo({}));
}

TEST_F(StreamTest, ADownloadKeyRekeysTheConnectionForTheDataAndAfter)
{
    const char* policies[] = {"seed-128-ofb", "aria-256-cfb"};
    for (const char* policy : policies) {
        Control(std::string("POLICY fixed ") + policy);
        m_proto.CloseSocket();
        const std::wstring path = m_dir + L"\\rekey.bin";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_EQ(0, Download(200000, file, "0123456789ABCDEF0123456789ABCDEF")) << policy;
        CloseHandle(file);
        EXPECT_TRUE(filebytes::Same(Pattern(0, 200000), ReadAll(path))) << policy;
        EXPECT_EQ(0, m_proto.Echo({})) << policy;
        EXPECT_NE(nullptr, m_proto.m_pConn) << policy;
    }
}

TEST_F(StreamTest, ACancelledDownloadLeaves1033AndClosesTheConnection)
{
    g_script.cancelReply = 1;
    const std::wstring path = m_dir + L"\\cancel.bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(0, Download(300000, file));
    CloseHandle(file);
    EXPECT_EQ(IXO_DOWNLOAD_CANCELLED, m_proto.ResultInfo.nResultCode);
    EXPECT_EQ(L"", m_proto.Message());
    EXPECT_TRUE(filebytes::Same("", ReadAll(path)));
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    g_script.cancelReply = 0;
    EXPECT_EQ(0, m_proto.Echo({}));
}

TEST_F(StreamTest, AFailedFileWriteFailsTheDownload)
{
    const std::wstring path = m_dir + L"\\readonly.bin";
    HANDLE create = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(create);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(-1, Download(100000, file));
    CloseHandle(file);
    EXPECT_EQ(C_ERROR, m_proto.ResultInfo.nReplyCmd);
    EXPECT_NE(L"", m_proto.Message());
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_EQ(0, m_proto.Echo({}));
}

TEST_F(StreamTest, StreamFailuresFailTheDownload)
{
    struct Row { const char* fault; int code; };
    const Row rows[] = {
        {"cut-stream bytes=70000", IXO_SOCK_ERR_RECV},
        {"mismatch command=Z9", IXO_SOCK_ERR_CMD_MISMATCH},
        // A bare error frame where the data should be is no end of the stream, nor data.
        {"stop-stream", IXO_SOCK_ERR_CMD_MISMATCH},
        {"stop-stream frames=1 reply=E1", IXO_SOCK_ERR_CMD_MISMATCH},
    };
    for (const Row& row : rows) {
        ASSERT_EQ("OK", Control(std::string("FAULT ") + row.fault + " cmd=Z2").substr(0, 2)) << row.fault;
        const std::wstring path = m_dir + L"\\fault.bin";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_EQ(-1, Download(300000, file)) << row.fault;
        CloseHandle(file);
        EXPECT_EQ(row.code, m_proto.ResultInfo.nResultCode) << row.fault;
        EXPECT_EQ(nullptr, m_proto.m_pConn) << row.fault;
        const std::string written = ReadAll(path);
        EXPECT_TRUE(filebytes::Same(Pattern(0, written.size()), written)) << row.fault << ": only file data goes to the file";
    }
}

// A 300,001-byte stream goes out as frames of 130,000, 130,000 and 40,001 bytes; a path that
// loses, repeats or reorders one of them must not pass for a whole download.
TEST_F(StreamTest, AStreamWhoseFramesDoNotAddUpToItsAnnouncedSizeFails)
{
    struct Row {
        const char* fault;
        int code;
    };
    const Row rows[] = {
        {"drop-frame frame=1", IXO_SOCK_ERR_STREAM_SIZE},          // ends at 170,001
        {"drop-frame frame=0", IXO_SOCK_ERR_STREAM_SIZE},
        {"repeat-frame frame=1", IXO_SOCK_ERR_STREAM_SIZE},        // would be 430,001
        {"repeat-frame frame=0", IXO_SOCK_ERR_STREAM_SIZE},
        {"swap-frames", IXO_SOCK_ERR_STREAM_SIZE},                 // the last comes early
        // The announced bytes are all there but the stream says more follows.
        {"open-end", IXO_SOCK_ERR_STREAM_SIZE},
        {"short-stream bytes=260000", IXO_SOCK_ERR_STREAM_SIZE},
        {"long-stream bytes=1", IXO_SOCK_ERR_STREAM_SIZE},
    };
    for (const Row& row : rows) {
        ASSERT_EQ("OK", Control(std::string("FAULT ") + row.fault + " cmd=Z2").substr(0, 2)) << row.fault;
        g_script.progress.clear();
        const std::wstring path = m_dir + L"\\frames.bin";
        HANDLE file = OpenForWriting(path);
        EXPECT_EQ(-1, Download(300001, file)) << row.fault;
        CloseHandle(file);
        EXPECT_EQ(row.code, m_proto.ResultInfo.nResultCode) << row.fault;
        EXPECT_NE(L"", m_proto.Message()) << row.fault;
        EXPECT_EQ(nullptr, m_proto.m_pConn) << row.fault << ": what is left of the stream goes with the connection";
        uint64_t reported = 0;
        for (uint64_t n : g_script.progress)
            reported += n;
        EXPECT_LT(reported, 300001u) << row.fault << ": never reported as all there";
        EXPECT_LE(ReadAll(path).size(), 300001u) << row.fault << ": nothing past the announced end is written";
        EXPECT_EQ(0, m_proto.Echo({})) << row.fault;
    }
    // A frame repeated after the end: the download is whole, and the stray frame is not
    // taken for the next reply.
    ASSERT_EQ("OK", Control("FAULT repeat-frame frame=-1 cmd=Z2").substr(0, 2));
    const std::wstring path = m_dir + L"\\late.bin";
    HANDLE file = OpenForWriting(path);
    EXPECT_EQ(0, Download(300001, file));
    CloseHandle(file);
    EXPECT_TRUE(filebytes::Same(Pattern(0, 300001), ReadAll(path)));
    EXPECT_EQ(0, m_proto.Echo({}));
}

// A server that announces no size (an older one) is taken at its word as before.
TEST_F(StreamTest, AStreamWithoutAnAnnouncedSizeEndsAtItsLastFrame)
{
    ASSERT_EQ("OK", Control("FAULT payload hex=2C4E cmd=Z2").substr(0, 2));
    const std::wstring path = m_dir + L"\\unannounced.bin";
    HANDLE file = OpenForWriting(path);
    EXPECT_EQ(0, Download(200000, file));
    CloseHandle(file);
    EXPECT_TRUE(filebytes::Same(Pattern(0, 200000), ReadAll(path)));
}

TEST_F(StreamTest, TheDownloadSlotsServeOnlyTheRequestThatSetThem)
{
    const std::wstring path = m_dir + L"\\slots.bin";
    HANDLE file = OpenForWriting(path);
    ASSERT_EQ(0, Download(130000, file));
    ASSERT_NE(nullptr, m_proto.m_pConn);
    EXPECT_FALSE(m_proto.m_pConn->DownloadPending());
    EXPECT_EQ(nullptr, m_proto.m_pConn->m_hProgressWnd);

    // A stream in answer to a later request that gave it no file: nothing is written, and the
    // stream it came on is given up.
    m_proto.ClearResult();
    _PROT msg;
    m_proto.NewMessage(msg, PROT_CMD('Z', '2'));
    ProtRecord record;
    record[192] = "65000";
    msg.records.push_back(record);
    EXPECT_EQ(-1, m_proto.Request(msg));
    CloseHandle(file);
    EXPECT_EQ(IXO_SOCK_ERR_CMD_MISMATCH, m_proto.ResultInfo.nResultCode);
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_TRUE(filebytes::Same(Pattern(0, 130000), ReadAll(path)));
    EXPECT_EQ(0, m_proto.Echo({}));
}

TEST_F(StreamTest, SlotsLeftByARequestAreClearedByOneOfAnotherCommand)
{
    ASSERT_EQ(0, Upload(0, nullptr));   // connects
    const std::wstring path = m_dir + L"\\left.bin";
    HANDLE file = OpenForWriting(path);
    // As a download answered without data leaves them for its follow-up.
    m_proto.m_pConn->m_hDownloadFile = file;
    m_proto.m_pConn->m_hProgressWnd = m_wnd;
    EXPECT_EQ(0, m_proto.Echo({}));
    ASSERT_NE(nullptr, m_proto.m_pConn);
    EXPECT_TRUE(m_proto.m_pConn->DownloadPending()) << "kept for a follow-up of the same command";
    m_proto.ClearResult();
    _PROT msg;
    m_proto.NewMessage(msg, PROT_CMD('Z', '2'));
    ProtRecord record;
    record[192] = "1000";
    msg.records.push_back(record);
    EXPECT_EQ(-1, m_proto.Request(msg));
    CloseHandle(file);
    EXPECT_EQ(IXO_SOCK_ERR_CMD_MISMATCH, m_proto.ResultInfo.nResultCode);
    EXPECT_TRUE(filebytes::Same("", ReadAll(path)));
}
