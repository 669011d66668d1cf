// SHA-256 digest (FIPS 180-2) of a wide text, reported as lower-case hexadecimal text.
#pragma once
#include "ToviConnectApi.h"

struct sha256_context {
    unsigned int total[2];      // message length in bytes, low word first
    unsigned int state[8];
    unsigned char buffer[64];
};

class TOVICONNECT_API CSHA256 {
public:
    // Hashes in's ANSI (system code page) form, without its zero, and appends the 64 lower-case
    // hexadecimal digits to the text already in out, which holds size characters. 0 done; -1,
    // with out untouched, when in is null or empty, or when out is null, unterminated within
    // size, or has no room for the digits and a zero.
    static int GetSAH256Data(wchar_t* in, wchar_t* out, int size);

private:
    static void sha256_starts(sha256_context* ctx);
    static void sha256_update(sha256_context* ctx, const unsigned char* input, unsigned int length);
    static void sha256_finish(sha256_context* ctx, unsigned char digest[32]);
    static void sha256_process(sha256_context* ctx, const unsigned char data[64]);
};
