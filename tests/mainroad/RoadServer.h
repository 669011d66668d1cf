// The end-to-end tests' server: the test server that this folder's fixture starts, a control
// connection to it, a test account with its own folders, and the steps a transfer worker takes
// (announce, decide, send; ask, resume, receive), driven through the protocol object.
#pragma once
#include "FileBytes.h"
#include "ProtoServer.h"
#include "UiThread.h"
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace road {

extern const char kUser[];
extern const char kPassword[];

// What the progress window answers; touched by the UI thread while the test thread waits
// inside the library.
struct ProgressScript {
    int cancelUploadAfterFrames = -1;   // answer the n-th upload progress with "cancel"
    uint64_t uploadFrames = 0;
    uint64_t uploadBytes = 0;
    uint64_t downloadBytes = 0;
};
ProgressScript& Script();

// How an upload of one file went.
enum class UploadOutcome { Failed, New, Resumed, Overwritten, Skipped };

class RoadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Control(const std::string& line) { return m_control.Send(line); }

    // Key exchange and log-in of the test account on proto: the log-in's result.
    int LogIn(protoserver::TestProto& proto, const char* user = kUser, const char* password = kPassword);
    // The index of a top-level folder ("My Files") from the top-level listing; empty if none.
    std::string TopFolder(protoserver::TestProto& proto, const wchar_t* name);
    // Every item of a folder, page by page.
    std::vector<_PROTO_FOLDER_INFO> ListAll(protoserver::TestProto& proto, const std::string& idx,
                                            const std::string& didx, int* pages = nullptr);
    const _PROTO_FOLDER_INFO* Find(const std::vector<_PROTO_FOLDER_INFO>& items, const wchar_t* name);

    // A worker's upload of one local file into a server folder: announce, compare the server's
    // copy by size and checksum (skip an identical file, resume a matching partial one,
    // overwrite anything else), then send.
    UploadOutcome Upload(protoserver::TestProto& proto, const std::wstring& path, const std::string& folderIdx,
                         const std::string& folderDidx);
    // A worker's download of one server file: a local file that the server confirms is resumed,
    // anything else is fetched whole. 0 or the failing request's result.
    int Download(protoserver::TestProto& proto, const _PROTO_FOLDER_INFO& item, const std::wstring& path);

    std::wstring Scratch(const wchar_t* name) const { return m_dir + L"\\" + name; }

    protoserver::Ports m_ports;
    protoserver::Control m_control;
    protoserver::TestProto m_proto;
    uitest::UiThread m_ui;
    HWND m_wnd = nullptr;
    std::wstring m_dir;
};

// Files: size bytes of a pattern that differs from the server's own test pattern.
void WriteLocal(const std::wstring& path, size_t size, unsigned seed = 7);
std::string ReadLocal(const std::wstring& path);
::testing::AssertionResult SameFile(const std::wstring& a, const std::wstring& b);
// The bytes of a record as the record codec writes them, hex-coded for a FAULT payload.
std::string RecordHex(const std::vector<ProtRecord>& records);
// The records of the server's LAST line (the newest request), values as bytes; empty when the
// line names no such request.
std::vector<std::map<int, std::string>> LastRecords(const std::string& line);

}
