// The update key and SEED-OFB deciphering of downloaded update files.
#include "UpdateCrypto.h"
#include "CryptoCore.h"
#include <windows.h>
#include <cstring>
#include <vector>

namespace {

// The server enciphers update files with this material; it must not change.
const char kSalt[16] = { 'M', 'e', 'a', 'd', 'o', 'w', 'L', 'a', 'r', 'k', 'S', 'p', 'i', 'r', 'a', 'l' };
const char kPassPhrase[16] = { 't', 'i', 'v', 'r', 'e', 'p', 'o', 'l', 'u', 's', 'a', 'k', '4', '8', '2', '7' };
const unsigned char kIv[16] = { 'T', 'o', 'r', 'v', 'e', 'l', 'N', 'e', 'x', 'a', 'B', 'r', 'i', 's', 'k', '!' };
const size_t kPiece = 65000;

void Md5Of(const unsigned char* data, size_t length, unsigned char out[16])
{
    Md5Context md5;
    Md5Init(&md5);
    Md5Update(&md5, data, length);
    Md5Final(out, &md5);
}

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }
    void Close()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }
private:
    HANDLE m_h;
};

}

void DeriveKeyMd5(int rounds, unsigned char out[16])
{
    unsigned char material[32];
    memcpy(material, kSalt, 16);
    memcpy(material + 16, kPassPhrase, 16);
    unsigned char digest[16];
    Md5Of(material, sizeof(material), digest);
    for (int i = 0; i < rounds; ++i) {
        unsigned char next[16];
        Md5Of(digest, 16, next);
        memcpy(digest, next, 16);
    }
    memcpy(out, digest, 16);
    SecureZeroMemory(material, sizeof(material));
    SecureZeroMemory(digest, sizeof(digest));
}

int CToviCrypto::ToviKeySetup(_ENC_CTX* ctx)
{
    if (ctx == nullptr || ctx->algorithm != 1 || ctx->mode < 1 || ctx->mode > 4)
        return -1;
    ctx->padding = ctx->mode == 3 || ctx->mode == 4 ? 0 : 1;
    DeriveKeyMd5(3, ctx->key);
    SeedKeySchedule(ctx->key, ctx->roundKeys);
    memcpy(ctx->iv, kIv, 16);
    return 0;
}

void CToviCrypto::CryptPiece(const _ENC_CTX* ctx, unsigned char* data, size_t length)
{
    unsigned char stream[16];
    memcpy(stream, ctx->iv, 16);
    for (size_t at = 0; at < length; at += 16) {
        SeedEncrypt(ctx->roundKeys, stream);
        size_t n = length - at < 16 ? length - at : 16;
        for (size_t i = 0; i < n; ++i)
            data[at + i] ^= stream[i];
    }
}

int CToviCrypto::ToviFileDecrypt(_ENC_CTX* ctx, const wchar_t* source, const wchar_t* dest)
{
    if (ctx == nullptr || source == nullptr || dest == nullptr || ctx->mode != 3)
        return -1;
    FileHandle in(::CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.Valid())
        return -1;
    FileHandle out(::CreateFileW(dest, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid())
        return -1;
    std::vector<unsigned char> piece(kPiece);
    bool ok = true;
    for (;;) {
        // A piece is whatever fills the buffer; a short read happens only at the end.
        DWORD filled = 0;
        while (filled < kPiece) {
            DWORD got = 0;
            if (!::ReadFile(in.Get(), piece.data() + filled, static_cast<DWORD>(kPiece) - filled, &got, nullptr)) {
                ok = false;
                break;
            }
            if (got == 0)
                break;
            filled += got;
        }
        if (!ok || filled == 0)
            break;
        CryptPiece(ctx, piece.data(), filled);
        DWORD written = 0;
        if (!::WriteFile(out.Get(), piece.data(), filled, &written, nullptr) || written != filled) {
            ok = false;
            break;
        }
        if (filled < kPiece)
            break;
    }
    out.Close();
    if (!ok) {
        ::DeleteFileW(dest);
        return -1;
    }
    return 0;
}
