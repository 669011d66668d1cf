// The end-to-end tests' server, account and transfer steps.
#include <winsock2.h>
#include "RoadServer.h"
#include "FileUtils.h"
#include "Files.h"
#include "HexBytes.h"
#include "RecordCodec.h"
#include "TestPaths.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace road {

const char kUser[] = "road";
const char kPassword[] = "road1234";

namespace {

ProgressScript g_script;

LRESULT CALLBACK ProgressProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UPLOAD_PROGRESS:
        ++g_script.uploadFrames;
        g_script.uploadBytes += *reinterpret_cast<uint64_t*>(lParam);
        if (static_cast<int>(g_script.uploadFrames) == g_script.cancelUploadAfterFrames)
            return UPLOAD_REPLY_CANCEL;
        return 0;
    case WM_UPLOAD_THROTTLE:
        return 1;
    case WM_DOWNLOAD_QUERY_CANCEL:
        return 0;
    case WM_DOWNLOAD_PROGRESS:
        g_script.downloadBytes += *reinterpret_cast<uint64_t*>(lParam);
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

bool ReadRoadPorts(protoserver::Ports& ports)
{
    FILE* file = _wfopen(L"T:\\mainroad-server\\ports", L"r");
    if (!file)
        return false;
    int n = fscanf(file, "%d %d", &ports.port, &ports.control);
    fclose(file);
    return n == 2;
}

uint64_t LocalSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::wstring FileName(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}

ProgressScript& Script()
{
    return g_script;
}

void RoadTest::SetUp()
{
    g_script = ProgressScript();
    ASSERT_TRUE(ReadRoadPorts(m_ports)) << "no test server ports under T:\\mainroad-server";
    ASSERT_TRUE(m_control.Connect(m_ports.control));
    ASSERT_EQ("OK", Control("RESET").substr(0, 2));
    ASSERT_EQ("OK", Control(std::string("USER id=") + kUser + " password=" + kPassword + " name=Road%20Tester")
                        .substr(0, 2));
    m_proto.Aim(m_ports.port, "20");
    m_ui.Run([this] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ProgressProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MainRoadProgress";
        RegisterClassW(&wc);
        m_wnd = CreateWindowExW(0, L"MainRoadProgress", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                nullptr);
    });
    ASSERT_NE(nullptr, m_wnd);
    m_dir = testpaths::ScratchDir(L"MainRoad");
}

void RoadTest::TearDown()
{
    m_proto.CloseSocket();
    m_ui.Run([this] {
        if (IsWindow(m_wnd))
            DestroyWindow(m_wnd);
    });
    Control("RESET");
}

int RoadTest::LogIn(protoserver::TestProto& proto, const char* user, const char* password)
{
    int code = proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, proto.ServerAddress.nPort,
                                   proto.ServerAddress.szCode, PROT_CMD('B', '0'));
    if (code != 0)
        return code;
    return proto.GetLoginInfo(L"1", CString(user), CString(password), const_cast<char*>("ko"),
                              const_cast<char*>("N"), const_cast<char*>("2"), false, CString(), nullptr);
}

std::string RoadTest::TopFolder(protoserver::TestProto& proto, const wchar_t* name)
{
    if (proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), const_cast<char*>("D"), false, true) != 0)
        return std::string();
    const _PROTO_FOLDER_INFO* top = Find(proto.FolderInfo, name);
    return top ? std::string(top->IDX) : std::string();
}

std::vector<_PROTO_FOLDER_INFO> RoadTest::ListAll(protoserver::TestProto& proto, const std::string& idx,
                                                  const std::string& didx, int* pages)
{
    int count = 0;
    for (bool first = true; count < 100; first = false) {
        int result = proto.GetFolderInfo(const_cast<char*>(idx.c_str()), const_cast<char*>(didx.c_str()), nullptr,
                                         false, first);
        ++count;
        EXPECT_EQ(0, result) << "page " << count << " of folder " << idx;
        if (result != 0 || std::strcmp(proto.ContinueFlag, "N") == 0)
            break;
    }
    if (pages)
        *pages = count;
    return proto.FolderInfo;
}

const _PROTO_FOLDER_INFO* RoadTest::Find(const std::vector<_PROTO_FOLDER_INFO>& items, const wchar_t* name)
{
    for (const _PROTO_FOLDER_INFO& item : items) {
        if (std::wcscmp(item.Name, name) == 0)
            return &item;
    }
    return nullptr;
}

UploadOutcome RoadTest::Upload(protoserver::TestProto& proto, const std::wstring& path, const std::string& folderIdx,
                               const std::string& folderDidx)
{
    const uint64_t size = LocalSize(path);
    const std::wstring name = FileName(path);
    if (proto.GetUploadInfo(const_cast<char*>(folderIdx.c_str()), const_cast<char*>(folderDidx.c_str()), name.c_str(),
                            L"", static_cast<__int64>(size), const_cast<char*>("20240102030405"),
                            const_cast<char*>("20240102030405"), nullptr) != 0)
        return UploadOutcome::Failed;
    UploadOutcome outcome = UploadOutcome::New;
    uint64_t offset = 0;
    if (proto.UploadInfo.szStoredSize[0]) {
        const uint64_t stored = std::strtoull(proto.UploadInfo.szStoredSize, nullptr, 10);
        const unsigned long checksum = std::strtoul(proto.UploadInfo.szStoredChecksum, nullptr, 10);
        const char* mode = "1";
        outcome = UploadOutcome::Overwritten;
        if (stored == size && CFileUtils::ComputeChecksum(path.c_str(), static_cast<__int64>(size)) == checksum) {
            mode = "2";
            outcome = UploadOutcome::Skipped;
        } else if (stored > 0 && stored < size &&
                   CFileUtils::ComputeChecksum(path.c_str(), static_cast<__int64>(stored)) == checksum) {
            mode = "3";
            outcome = UploadOutcome::Resumed;
            offset = stored;
        }
        if (proto.GetUploadOverWrite(const_cast<char*>(mode)) != 0)
            return UploadOutcome::Failed;
        if (outcome == UploadOutcome::Skipped)
            return outcome;
    }
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    if (!file.IsOpen() || file.Seek(static_cast<LONGLONG>(offset), CFile::begin) != offset)
        return UploadOutcome::Failed;
    if (proto.GetUploadFile(m_wnd, file, static_cast<__int64>(size), static_cast<__int64>(offset)) != 0)
        return UploadOutcome::Failed;
    return outcome;
}

int RoadTest::Download(protoserver::TestProto& proto, const _PROTO_FOLDER_INFO& item, const std::wstring& path)
{
    const uint64_t local = LocalSize(path);
    std::string size, checksum;
    if (local > 0) {
        size = std::to_string(local);
        checksum = std::to_string(CFileUtils::ComputeChecksum(path.c_str(), static_cast<__int64>(local)));
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -100;
    char* key = item.Attr9[0] ? const_cast<char*>(item.Attr9) : nullptr;
    char* idx = const_cast<char*>(item.IDX);
    char* didx = const_cast<char*>(item.DIDX);
    int result;
    if (local > 0) {
        result = proto.GetDownloadInfo(m_wnd, file, idx, didx, const_cast<char*>("0"), &size[0], &checksum[0], key);
        if (result == 0 && std::strcmp(proto.DownloadInfo.cAnswer, "Y") == 0) {
            LARGE_INTEGER end = {};
            SetFilePointerEx(file, end, nullptr, FILE_END);
            result = proto.GetDownloadPosition(const_cast<char*>("3"), static_cast<__int64>(local));
        } else if (result == 0) {
            // The local copy is not a part of the server's: fetch it whole.
            result = proto.GetDownloadPosition(const_cast<char*>("2"), 0);
            LARGE_INTEGER start = {};
            SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
            SetEndOfFile(file);
            if (result == 0)
                result = proto.GetDownloadInfo(m_wnd, file, idx, didx, const_cast<char*>("0"), nullptr, nullptr, key);
        }
    } else {
        result = proto.GetDownloadInfo(m_wnd, file, idx, didx, const_cast<char*>("0"), nullptr, nullptr, key);
    }
    CloseHandle(file);
    return result;
}

void WriteLocal(const std::wstring& path, size_t size, unsigned seed)
{
    std::string data(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        data[i] = static_cast<char>(x >> 24);
    }
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (size > 0)
        ::WriteFile(h, data.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
}

std::string ReadLocal(const std::wstring& path)
{
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    CloseHandle(h);
    return out;
}

::testing::AssertionResult SameFile(const std::wstring& a, const std::wstring& b)
{
    return filebytes::Same(ReadLocal(a), ReadLocal(b));
}

std::string RecordHex(const std::vector<ProtRecord>& records)
{
    std::string bytes;
    for (size_t i = 0; i < records.size(); ++i) {
        if (i > 0)
            bytes.push_back(static_cast<char>(RECORD_SEPARATOR));
        wire::EncodeRecord(records[i], bytes);
    }
    return hexbytes::UpperHex(bytes);
}

std::vector<std::map<int, std::string>> LastRecords(const std::string& line)
{
    std::vector<std::map<int, std::string>> records;
    const size_t at = line.find(" rec=");
    if (line.compare(0, 2, "OK") != 0)
        return records;
    records.emplace_back();
    if (at == std::string::npos)
        return records;
    const std::string text = line.substr(at + 5, line.find(' ', at + 5) - (at + 5));
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '/') {
            records.emplace_back();
            ++i;
            continue;
        }
        if (c == ',') {
            ++i;
            continue;
        }
        const size_t colon = text.find(':', i);
        if (colon == std::string::npos)
            break;
        const int id = std::atoi(text.substr(i, colon - i).c_str());
        size_t end = text.find_first_of(",/", colon + 1);
        if (end == std::string::npos)
            end = text.size();
        std::string bytes;
        for (size_t h = colon + 1; h + 1 < end; h += 2)
            bytes.push_back(static_cast<char>(std::strtoul(text.substr(h, 2).c_str(), nullptr, 16)));
        records.back()[id] = bytes;
        i = end;
    }
    return records;
}

}
