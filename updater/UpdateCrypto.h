// The update program's own cipher set-up and file deciphering: SEED in OFB mode under the fixed
// update key, the form in which the server keeps the update files.
#pragma once
#include <cstdint>

// The cipher context. Callers zero it and set algorithm, mode and key length before the key
// set-up; everything else belongs to the set-up.
struct _ENC_CTX {
    int algorithm;          // 1 SEED
    int mode;               // 1 ECB, 2 CBC, 3 OFB, 4 CFB
    int keyBits;            // 128
    int padding;            // 0 none (stream modes), 1 block padding
    unsigned char key[16];
    unsigned char iv[16];
    uint32_t roundKeys[32];
};

// The update key: MD5 of the salt and the update pass phrase, then n more MD5 rounds.
void DeriveKeyMd5(int rounds, unsigned char out[16]);

class CToviCrypto {
public:
    // 0 when the context is ready, -1 for an algorithm or mode the updater does not use.
    static int ToviKeySetup(_ENC_CTX* ctx);
    // Deciphers in pieces of 65,000 bytes, each from the initialisation vector, into dest
    // (always created anew). 0 on success; -1 when a file cannot be opened, read or written
    // (dest is then removed).
    static int ToviFileDecrypt(_ENC_CTX* ctx, const wchar_t* source, const wchar_t* dest);
    // The same transformation on memory (OFB is its own inverse); one piece's chain per call.
    static void CryptPiece(const _ENC_CTX* ctx, unsigned char* data, size_t length);
};
