// Stored-data cipher for the HTTP fixture, on OpenSSL's MD5 and SEED (legacy provider).
#include "StoredCipher.h"
#include <openssl/evp.h>
#include <openssl/provider.h>

namespace httpfixture {

namespace {
const char kSalt[] = "MeadowLarkSpiral";
const unsigned char kIv[16] = { 'T', 'o', 'r', 'v', 'e', 'l', 'N', 'e', 'x', 'a', 'B', 'r', 'i', 's', 'k', '!' };
const size_t kPiece = 65000;

std::string Md5(const std::string& data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr);
    return std::string(reinterpret_cast<char*>(digest), length);
}
}

std::string DeriveStoredKey(const std::string& passPhrase)
{
    std::string d = Md5(std::string(kSalt, 16) + passPhrase.substr(0, passPhrase.find('\0')));
    for (int i = 0; i < 3; ++i)
        d = Md5(d);
    return d;
}

bool StoredCipher(const std::string& in, std::string& out)
{
    static OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* base = OSSL_PROVIDER_load(nullptr, "default");
    (void)legacy;
    (void)base;
    EVP_CIPHER* seed = EVP_CIPHER_fetch(nullptr, "SEED-OFB", nullptr);
    if (seed == nullptr)
        return false;
    std::string key = DeriveStoredKey("tivrepolusak4827");
    out.clear();
    bool ok = true;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    for (size_t at = 0; at < in.size() && ok; at += kPiece) {
        std::string piece = in.substr(at, kPiece);
        std::string result(piece.size() + 16, '\0');
        int length = 0, tail = 0;
        ok = EVP_EncryptInit_ex(ctx, seed, nullptr, reinterpret_cast<const unsigned char*>(key.data()), kIv) == 1 &&
             EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char*>(&result[0]), &length,
                               reinterpret_cast<const unsigned char*>(piece.data()), int(piece.size())) == 1 &&
             EVP_EncryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(&result[length]), &tail) == 1;
        out += result.substr(0, length + tail);
    }
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(seed);
    return ok;
}

}
