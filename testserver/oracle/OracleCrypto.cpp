// OpenSSL-backed reference for the client's ciphers, key derivation and digests (test tool only).
#include "OracleCrypto.h"
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <algorithm>
#include <memory>

namespace oracle {

const char kIv[17] = "TorvelNexaBrisk!";
const char kSalt[17] = "MeadowLarkSpiral";
const char kStoredDataPhrase[17] = "tivrepolusak4827";

namespace {

struct CipherCtxFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
struct CipherFree {
    void operator()(EVP_CIPHER* c) const { EVP_CIPHER_free(c); }
};

Bytes Digest(const char* name, const Bytes& data)
{
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_MD* md_alg = EVP_MD_fetch(nullptr, name, nullptr);
    if (!md_alg || !EVP_Digest(data.data(), data.size(), md, &len, md_alg, nullptr)) len = 0;
    EVP_MD_free(md_alg);
    return Bytes(md, md + len);
}

// OpenSSL's name of the cipher: SEED-OFB, ARIA-192-CFB (CFB is CFB-128 in both families).
std::string CipherName(const CipherChoice& desc)
{
    std::string name = desc.alg == Alg::Seed ? std::string("SEED-") : "ARIA-" + std::to_string(desc.bits) + "-";
    return name + ModeName(desc.mode);
}

}

bool LoadProviders()
{
    return OSSL_PROVIDER_load(nullptr, "legacy") != nullptr && OSSL_PROVIDER_load(nullptr, "default") != nullptr;
}

const char* AlgName(Alg alg) { return alg == Alg::Seed ? "SEED" : "ARIA"; }

const char* ModeName(Mode mode)
{
    switch (mode) {
    case Mode::Ecb: return "ECB";
    case Mode::Cbc: return "CBC";
    case Mode::Ofb: return "OFB";
    case Mode::Cfb: return "CFB";
    }
    return "?";
}

bool ParseAlg(const std::string& text, Alg* alg)
{
    if (text == "SEED") *alg = Alg::Seed;
    else if (text == "ARIA") *alg = Alg::Aria;
    else return false;
    return true;
}

bool ParseMode(const std::string& text, Mode* mode)
{
    for (Mode m : {Mode::Ecb, Mode::Cbc, Mode::Ofb, Mode::Cfb}) {
        if (text == ModeName(m)) {
            *mode = m;
            return true;
        }
    }
    return false;
}

Bytes Md5(const Bytes& data) { return Digest("MD5", data); }
Bytes Sha1(const Bytes& data) { return Digest("SHA1", data); }
Bytes Sha256(const Bytes& data) { return Digest("SHA256", data); }

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t len)
{
    // Bitwise on purpose: no table shared in form with the client's.
    uint32_t c = ~crc;
    for (size_t i = 0; i < len; ++i) {
        c ^= data[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

Bytes DeriveKeyMd5(int count, const std::string& phrase)
{
    std::string salted = std::string(kSalt, 16) + phrase;
    Bytes d = Md5(Bytes(salted.begin(), salted.end()));
    for (int i = 0; i < count; ++i) d = Md5(d);
    return d;
}

Bytes ClientKey(const CipherChoice& desc, const std::string& phrase)
{
    // The client reads a pass phrase up to its first zero byte.
    std::string text = phrase.substr(0, phrase.find('\0'));
    if (desc.alg == Alg::Seed) return DeriveKeyMd5(3, text);
    if (desc.bits == 128) return DeriveKeyMd5(2, text);
    Bytes half = DeriveKeyMd5(1, text), key = half;
    key.insert(key.end(), half.begin(), half.end());
    key.resize(desc.bits / 8);
    return key;
}

std::string RandkeyHex(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t b : DeriveKeyMd5(0, text.substr(0, text.find('\0')))) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

bool Crypt(const CipherChoice& desc, const Bytes& key, const Bytes& in, bool encrypt, Bytes* out)
{
    std::unique_ptr<EVP_CIPHER, CipherFree> cipher(EVP_CIPHER_fetch(nullptr, CipherName(desc).c_str(), nullptr));
    std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
    if (!cipher || !ctx || static_cast<size_t>(EVP_CIPHER_get_key_length(cipher.get())) != key.size()) return false;
    const unsigned char* iv = reinterpret_cast<const unsigned char*>(kIv);
    if (!EVP_CipherInit_ex(ctx.get(), cipher.get(), nullptr, key.data(), iv, encrypt ? 1 : 0)) return false;
    bool padded = desc.mode == Mode::Ecb || desc.mode == Mode::Cbc;
    EVP_CIPHER_CTX_set_padding(ctx.get(), padded ? 1 : 0);
    out->assign(in.size() + 16, 0);
    int n = 0, tail = 0;
    if (!EVP_CipherUpdate(ctx.get(), out->data(), &n, in.data(), static_cast<int>(in.size()))) return false;
    if (!EVP_CipherFinal_ex(ctx.get(), out->data() + n, &tail)) return false;
    out->resize(static_cast<size_t>(n + tail));
    return true;
}

bool CryptPieces(const CipherChoice& desc, const Bytes& key, const Bytes& in, bool encrypt, Bytes* out)
{
    out->clear();
    // Deciphering a padded mode reads pieces of the size that a 65,000-byte piece grows to.
    bool padded = desc.mode == Mode::Ecb || desc.mode == Mode::Cbc;
    size_t pieceSize = !encrypt && padded ? kFilePieceSize + 8 : kFilePieceSize;
    for (size_t at = 0; at < in.size(); at += pieceSize) {
        size_t len = std::min(pieceSize, in.size() - at);
        Bytes piece(in.begin() + at, in.begin() + at + len), result;
        if (!Crypt(desc, key, piece, encrypt, &result)) return false;
        out->insert(out->end(), result.begin(), result.end());
    }
    return true;
}

}
