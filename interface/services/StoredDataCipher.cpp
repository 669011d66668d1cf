// Enciphering stored values with the stored-data key, as Base64 text.
#include "StoredDataCipher.h"
#include "ToviConv.h"
#include <cstdlib>
#include <cstring>

namespace {
const char kStoredPassPhrase[] = "tivrepolusak4827";
}

bool CStoredDataCipher::Setup(_ENC_CTX& ctx)
{
    memset(&ctx, 0, sizeof(ctx));
    ctx.algo = ENC_ALG_SEED;
    ctx.mode = ENC_MODE_OFB;
    ctx.keyBits = 128;
    char phrase[sizeof(kStoredPassPhrase)];
    memcpy(phrase, kStoredPassPhrase, sizeof(phrase));
    return CToviCrypto::ToviKeySetup(phrase, &ctx) == 0;
}

bool CStoredDataCipher::EncipherToText(_ENC_CTX& ctx, const void* data, int length, CString& text)
{
    if (data == nullptr || length <= 0)
        return false;
    std::vector<unsigned char> in(static_cast<const unsigned char*>(data),
                                  static_cast<const unsigned char*>(data) + length);
    unsigned char* cipher = nullptr;
    unsigned long cipherLength = CToviCrypto::ToviDataEncrypt(&ctx, in.data(), length, &cipher);
    if (cipherLength == 0 || cipher == nullptr) {
        delete[] cipher;
        return false;
    }
    char* base64 = nullptr;
    int encoded = CToviConv::Base64Encode(reinterpret_cast<char*>(cipher), static_cast<int>(cipherLength), &base64);
    delete[] cipher;
    if (encoded != 0 || base64 == nullptr)
        return false;
    wchar_t* wide = CToviConv::Tovi_MultiByteToWideChar(base64);
    free(base64);
    if (wide == nullptr)
        return false;
    text = wide;
    CToviConv::Tovi_wFree(wide);
    return true;
}

bool CStoredDataCipher::DecipherText(_ENC_CTX& ctx, const CString& text, std::vector<unsigned char>& plain)
{
    char* narrow = CToviConv::Tovi_WideCharToMultiByte(text.GetString());
    if (narrow == nullptr)
        return false;
    int capacity = static_cast<int>(strlen(narrow));
    std::vector<unsigned char> cipher(capacity + 1);
    int length = CToviConv::Base64Decode(narrow, cipher.data(), capacity);
    CToviConv::Tovi_Free(narrow);
    if (length <= 0)
        return false;
    unsigned char* out = nullptr;
    unsigned long plainLength = CToviCrypto::ToviDataDecrypt(&ctx, cipher.data(), length, &out);
    if (plainLength == 0 || out == nullptr) {
        delete[] out;
        return false;
    }
    plain.assign(out, out + plainLength);
    delete[] out;
    return true;
}
