// The stored-data cipher (SEED-128 in OFB mode from the stored pass phrase) that keeps the
// credentials in the registry and the update files on the server, and its Base64 text form.
// Private to the interface library; every call may run on any thread with its own context.
#pragma once
#include "Strings.h"
#include "ToviCrypto.h"
#include <vector>

class CStoredDataCipher {
public:
    // Zeroes ctx and keys it; false when the key set-up fails.
    static bool Setup(_ENC_CTX& ctx);
    // Enciphers the bytes and stores them as wide Base64 text; false on a cipher failure or
    // when there is nothing to encipher.
    static bool EncipherToText(_ENC_CTX& ctx, const void* data, int length, CString& text);
    // The reverse; false for an empty text or a failure at any step.
    static bool DecipherText(_ENC_CTX& ctx, const CString& text, std::vector<unsigned char>& plain);
};
