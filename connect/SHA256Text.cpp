// SHA-256 of a wide text's ANSI form as hexadecimal text (the password prompt's check value).
#include "SHA256.h"
#include "ToviConv.h"
#include <cstring>
#include <cwchar>

int CSHA256::GetSAH256Data(wchar_t* in, wchar_t* out, int size)
{
    if (!out || size <= 0)
        return -1;
    size_t have = wcsnlen(out, static_cast<size_t>(size));
    if (have + 64 >= static_cast<size_t>(size))
        return -1;
    char* ansi = CToviConv::Tovi_WideCharToMultiByte(in);
    if (!ansi)
        return -1;

    sha256_context ctx;
    unsigned char digest[32];
    sha256_starts(&ctx);
    sha256_update(&ctx, reinterpret_cast<const unsigned char*>(ansi),
                  static_cast<unsigned int>(strlen(ansi)));
    sha256_finish(&ctx, digest);
    CToviConv::Tovi_Free(ansi);

    static const wchar_t kHex[] = L"0123456789abcdef";
    wchar_t* p = out + have;
    for (int i = 0; i < 32; ++i) {
        *p++ = kHex[digest[i] >> 4];
        *p++ = kHex[digest[i] & 15];
    }
    *p = 0;
    return 0;
}
