// Upload and download speed of one large file through CToviProto over loopback against the
// test server, with factor 32, for SEED-OFB and ARIA-128-OFB, next to the cipher-only figure
// of the same run (whole-buffer calls over 65,000-byte pieces, as the file data goes).
// Prints "upload NAME MB/s", "download NAME MB/s", "cipher NAME MB/s" and the ratios
// (MB = 1,000,000 bytes). Under Wine, from the build root:
//   win/wine-run.sh 'T:\win\bin\ProtoBench.exe' [megabytes, default 256]
// It starts a test server of its own (T:\native\bin\start-server.sh), which ends with it.
#include "BenchServer.h"
#include "ToviProto.h"
#include "ToviConn.h"
#include "ToviCrypto.h"
#include "Files.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::ControlLine;
using bench::Seconds;

struct Cipher {
    const char* name;
    const char* policy;
    unsigned algo;
    unsigned keyBits;
};

const Cipher kCiphers[] = {
    {"SEED-OFB", "seed-128-ofb", ENC_ALG_SEED, 128},
    {"ARIA-128-OFB", "aria-128-ofb", ENC_ALG_ARIA, 128},
};

const wchar_t kScratch[] = L"T:\\scratch\\ProtoBench";

// The window the transfers report to, on a thread of its own that pumps its messages.
LRESULT CALLBACK ProgressProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UPLOAD_PROGRESS:
    case WM_DOWNLOAD_PROGRESS:
    case WM_DOWNLOAD_QUERY_CANCEL:
        return 0;
    case WM_UPLOAD_THROTTLE:
        return 1;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

bool SameContent(const std::wstring& a, const std::wstring& b)
{
    HANDLE ha = CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE hb = CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bool same = ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE;
    std::vector<char> x(1 << 20), y(1 << 20);
    while (same) {
        DWORD nx = 0, ny = 0;
        same = ReadFile(ha, x.data(), static_cast<DWORD>(x.size()), &nx, nullptr) &&
               ReadFile(hb, y.data(), static_cast<DWORD>(y.size()), &ny, nullptr) && nx == ny &&
               std::memcmp(x.data(), y.data(), nx) == 0;
        if (nx == 0)
            break;
    }
    if (ha != INVALID_HANDLE_VALUE)
        CloseHandle(ha);
    if (hb != INVALID_HANDLE_VALUE)
        CloseHandle(hb);
    return same;
}

// The session cipher alone over the same bytes: whole-buffer calls on 65,000-byte pieces.
double CipherOnly(const Cipher& cipher, uint64_t size)
{
    _ENC_CTX ctx;
    std::memset(&ctx, 0, sizeof ctx);
    ctx.algo = cipher.algo;
    ctx.mode = ENC_MODE_OFB;
    ctx.keyBits = cipher.keyBits;
    char passPhrase[] = "0123456789ABCDEF0123456789ABCDEF";
    if (CToviCrypto::ToviKeySetup(passPhrase, &ctx) != 0)
        return 0;
    std::vector<unsigned char> piece(FILE_PIECE_SIZE);
    for (size_t i = 0; i < piece.size(); ++i)
        piece[i] = static_cast<unsigned char>(i * 7 + 3);
    unsigned sink = 0;
    Clock::time_point start = Clock::now();
    for (uint64_t done = 0; done < size; done += FILE_PIECE_SIZE) {
        const int n = static_cast<int>(size - done < FILE_PIECE_SIZE ? size - done : FILE_PIECE_SIZE);
        unsigned char* out = nullptr;
        unsigned long got = CToviCrypto::ToviDataEncrypt(&ctx, piece.data(), n, &out);
        if (!out)
            return 0;
        sink += out[got - 1];
        delete[] out;
    }
    const double rate = static_cast<double>(size) / Seconds(start) / 1e6;
    // Keeps the work from being optimised away.
    if (sink == 0x5EED)
        std::printf(" ");
    return rate;
}

bool Run(const Cipher& cipher, ControlLine& control, int port, HWND wnd, const std::wstring& source, uint64_t size)
{
    control.Send(std::string("POLICY fixed ") + cipher.policy);
    CToviProto proto;
    if (bench::LogIn(proto, port, "10", "120") != 0 || proto.GetOption() != 0) {
        std::printf("%s: log-in failed: %ls\n", cipher.name, proto.ResultInfo.wszMessage);
        return false;
    }
    // A fresh connection, keyed by the policy, carries the whole run.
    if (proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), const_cast<char*>("D"), false, true) != 0)
        return false;
    proto.SetUpDownFactor(proto.OptionInfo.Factor);
    std::string myFiles;
    for (const _PROTO_FOLDER_INFO& item : proto.FolderInfo)
        if (std::wcscmp(item.Name, L"My Files") == 0)
            myFiles = item.IDX;
    const std::wstring name = std::wstring(L"bench-") + CString(cipher.policy).GetString() + L".bin";

    Clock::time_point start = Clock::now();
    CFile file(source.c_str(), CFile::modeRead | CFile::shareDenyNone);
    int code = proto.GetUploadInfo(&myFiles[0], const_cast<char*>("1"), name.c_str(), L"", static_cast<__int64>(size),
                                   nullptr, nullptr, nullptr);
    if (code == 0)
        code = proto.GetUploadFile(wnd, file, static_cast<__int64>(size), 0);
    // The summary comes after the server has taken every frame.
    for (int round = 0; code == 0 && round < 1000; ++round) {
        code = proto.GetUploadResult(nullptr);
        if (proto.UploadResult.empty() || std::strcmp(proto.UploadResult.back().szContinue, "Y") != 0)
            break;
    }
    const double upload = Seconds(start);
    if (code != 0) {
        std::printf("%s: upload failed (%d): %ls\n", cipher.name, code, proto.ResultInfo.wszMessage);
        return false;
    }

    proto.GetFolderInfo(&myFiles[0], const_cast<char*>("1"), nullptr, false, true);
    _PROTO_FOLDER_INFO item = {};
    for (const _PROTO_FOLDER_INFO& listed : proto.FolderInfo)
        if (name == listed.Name)
            item = listed;
    const std::wstring target = std::wstring(kScratch) + L"\\back.bin";
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    start = Clock::now();
    code = proto.GetDownloadInfo(wnd, out, item.IDX, item.DIDX, const_cast<char*>("0"), nullptr, nullptr,
                                 item.Attr9[0] ? item.Attr9 : nullptr);
    const double download = Seconds(start);
    CloseHandle(out);
    if (code != 0) {
        std::printf("%s: download failed (%d): %ls\n", cipher.name, code, proto.ResultInfo.wszMessage);
        return false;
    }
    const bool same = SameContent(source, target);
    DeleteFileW(target.c_str());

    const double cipherRate = CipherOnly(cipher, size);
    const double up = static_cast<double>(size) / upload / 1e6;
    const double down = static_cast<double>(size) / download / 1e6;
    std::printf("upload %s %.1f MB/s\n", cipher.name, up);
    std::printf("download %s %.1f MB/s\n", cipher.name, down);
    std::printf("cipher %s %.1f MB/s\n", cipher.name, cipherRate);
    std::printf("ratio %s upload %.2f download %.2f%s\n", cipher.name, up / cipherRate, down / cipherRate,
                same ? "" : " (DOWNLOAD DIFFERS)");
    std::fflush(stdout);
    proto.GetLogoutInfo();
    return same;
}

}

int main(int argc, char** argv)
{
    const bench::RunSize run = bench::ReadRunSize(argc, argv);
    const uint64_t megabytes = run.megabytes;
    const uint64_t size = run.bytes;
    int port = 0;
    ControlLine control;
    if (!bench::OpenBench(kScratch, control, port, false))
        return 1;

    const std::wstring source = std::wstring(kScratch) + L"\\source.bin";
    if (!bench::WriteSource(source, size, 12345)) {
        std::printf("cannot write %ls\n", source.c_str());
        return 1;
    }
    bench::WindowThread window;
    window.Start(ProgressProc, L"ProtoBenchProgress");

    std::printf("%llu MB (%llu bytes), factor 32\n", static_cast<unsigned long long>(megabytes),
                static_cast<unsigned long long>(size));
    bool ok = true;
    for (const Cipher& cipher : kCiphers)
        ok = Run(cipher, control, port, window.wnd, source, size) && ok;

    DeleteFileW(source.c_str());
    control.Send("QUIT");
    return ok ? 0 : 1;
}
