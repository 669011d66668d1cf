// A connection's session cipher on OpenSSL: MD5 key derivation, whole-buffer and per-piece calls.
#include "SessionCipher.h"
#include "WireTypes.h"
#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#include <openssl/evp.h>
#include <openssl/provider.h>

namespace tovisrv {

const char CSessionCipher::kIv[17] = "TorvelNexaBrisk!";
const char CSessionCipher::kSalt[17] = "MeadowLarkSpiral";

namespace {

// Threads that share the pieces of one frame.
constexpr size_t kPieceWorkers = 4;

// Loaded for the whole process; kept here so that nothing counts them as lost.
OSSL_PROVIDER* g_legacy = nullptr;
OSSL_PROVIDER* g_default = nullptr;

// Fetched once per name; an EVP_CIPHER may be shared between threads.
const EVP_CIPHER* FetchCipher(const CipherChoice& desc)
{
    static std::mutex lock;
    static EVP_CIPHER* cache[2][2][3] = {};
    if (!CSessionCipher::IsSessionSpec(desc) || !CSessionCipher::LoadProviders())
        return nullptr;
    const int a = desc.algo - kAlgoSeed;
    const int m = desc.mode - kModeOfb;
    const int b = desc.algo == kAlgoSeed ? 0 : (desc.bits - 128) / 64;
    std::lock_guard<std::mutex> guard(lock);
    if (!cache[a][m][b]) {
        std::string name = desc.algo == kAlgoSeed ? "SEED" : "ARIA-" + std::to_string(desc.bits);
        name += desc.mode == kModeOfb ? "-OFB" : "-CFB";
        cache[a][m][b] = EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr);
    }
    return cache[a][m][b];
}

}

bool CSessionCipher::LoadProviders()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        g_default = OSSL_PROVIDER_load(nullptr, "default");
    });
    return g_legacy && g_default;
}

std::string CSessionCipher::DeriveKeyMd5(int count, const std::string& phrase)
{
    const std::string text = std::string(kSalt, 16) + phrase.substr(0, phrase.find('\0'));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
    for (int i = 0; i < count; ++i)
        EVP_Digest(digest, 16, digest, &length, EVP_md5(), nullptr);
    return std::string(reinterpret_cast<char*>(digest), 16);
}

bool CSessionCipher::IsSessionSpec(const CipherChoice& desc)
{
    if (desc.mode != kModeOfb && desc.mode != kModeCfb)
        return false;
    if (desc.algo == kAlgoSeed)
        return true;
    return desc.algo == kAlgoAria && (desc.bits == 128 || desc.bits == 192 || desc.bits == 256);
}

std::string CSessionCipher::KeyFor(const CipherChoice& desc, const std::string& phrase)
{
    if (!IsSessionSpec(desc))
        return std::string();
    if (desc.algo == kAlgoSeed)
        return DeriveKeyMd5(3, phrase);
    if (desc.bits == 128)
        return DeriveKeyMd5(2, phrase);
    const std::string d = DeriveKeyMd5(1, phrase);
    return (d + d).substr(0, static_cast<size_t>(desc.bits / 8));
}

bool CSessionCipher::Key(const CipherChoice& desc, const std::string& phrase)
{
    m_spec = desc;
    m_key = KeyFor(desc, phrase);
    return !m_key.empty() && FetchCipher(desc) != nullptr;
}

bool CSessionCipher::Run(unsigned char* data, size_t length, bool encrypt) const
{
    const EVP_CIPHER* cipher = IsKeyed() ? FetchCipher(m_spec) : nullptr;
    if (!cipher)
        return false;
    if (length == 0)
        return true;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int out = 0, tail = 0;
    const bool ok = ctx &&
        EVP_CipherInit_ex2(ctx, cipher, reinterpret_cast<const unsigned char*>(m_key.data()),
                           reinterpret_cast<const unsigned char*>(kIv), encrypt ? 1 : 0, nullptr) == 1 &&
        EVP_CipherUpdate(ctx, data, &out, data, static_cast<int>(length)) == 1 &&
        EVP_CipherFinal_ex(ctx, data + out, &tail) == 1 &&
        static_cast<size_t>(out + tail) == length;
    EVP_CIPHER_CTX_free(ctx);
    return ok;
}

bool CSessionCipher::RunPieces(unsigned char* data, size_t length, bool encrypt) const
{
    if (!IsKeyed())
        return false;
    const size_t pieces = (length + kFilePieceSize - 1) / kFilePieceSize;
    // Worker w takes pieces [w * pieces / workers, (w + 1) * pieces / workers).
    const size_t workers = std::min(pieces, kPieceWorkers);
    std::atomic<bool> ok{true};
    auto work = [&](size_t w) {
        for (size_t k = w * pieces / workers; k < (w + 1) * pieces / workers && ok; ++k) {
            const size_t at = k * kFilePieceSize;
            if (!Run(data + at, std::min(kFilePieceSize, length - at), encrypt))
                ok = false;
        }
    };
    std::vector<std::thread> helpers;
    size_t w = 1;
    try {
        for (; w < workers; ++w)
            helpers.emplace_back(work, w);
    } catch (const std::system_error&) {
        // No thread to be had: this one does the rest.
    }
    for (size_t rest = w; rest < workers; ++rest)
        work(rest);
    if (workers > 0)
        work(0);
    for (std::thread& helper : helpers)
        helper.join();
    return ok;
}

}
