// The tests' own view of the wire, written apart from the server's code: length prefixes,
// records, key derivation and the ciphers straight from OpenSSL.
#include "TestWire.h"
#include <cstdio>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <stdexcept>

namespace testwire {

std::string Hex(const std::string& bytes)
{
    std::string out;
    char two[3];
    for (unsigned char c : bytes) {
        std::snprintf(two, sizeof two, "%02x", c);
        out += two;
    }
    return out;
}

std::string Unhex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::string Prefix(uint32_t v)
{
    std::string out;
    if (v < 0x80) {
        out += static_cast<char>(v);
    } else if (v < 0x800) {
        out += static_cast<char>(0xC0 | (v >> 6));
        out += static_cast<char>(0x80 | (v & 0x3F));
    } else if (v < 0x10000) {
        out += static_cast<char>(0xE0 | (v >> 12));
        out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (v & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (v >> 18));
        out += static_cast<char>(0x80 | ((v >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (v & 0x3F));
    }
    return out;
}

std::string Record(const std::vector<std::pair<uint8_t, std::string>>& fields)
{
    std::string out;
    for (const auto& [id, value] : fields) {
        out += static_cast<char>(id);
        if (id > 100)
            out += Prefix(static_cast<uint32_t>(value.size()));
        out += value;
    }
    return out;
}

std::string Join(const std::vector<std::string>& records)
{
    std::string out;
    for (size_t i = 0; i < records.size(); ++i)
        out += (i ? "\xFE" : "") + records[i];
    return out;
}

namespace {
size_t FixedSize(uint8_t id)
{
    static const struct { int upTo; size_t size; } table[] = {
        {2, 2}, {4, 3}, {6, 4}, {8, 20}, {10, 32}, {20, 10}, {100, 1}};
    for (const auto& row : table)
        if (id <= row.upTo)
            return row.size;
    return 0;
}
}

int Decode(const std::string& payload, std::vector<Fields>& out)
{
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(payload.data());
    size_t i = 0;
    const size_t n = payload.size();
    Fields current;
    bool open = false;
    while (i < n) {
        const unsigned char id = p[i++];
        if (id == 0xFE) {
            out.push_back(current);
            current.clear();
            open = false;
            continue;
        }
        open = true;
        if (i >= n)
            return 7;
        size_t length = FixedSize(id);
        if (id > 100) {
            const unsigned char lead = p[i];
            size_t extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
                         : (lead & 0xF8) == 0xF0 ? 3 : 9;
            if (lead == 0 || extra == 9)
                return 14;
            if (i + extra >= n)
                return 7;
            uint32_t v = extra == 0 ? lead : lead & (0x3F >> extra);
            for (size_t k = 1; k <= extra; ++k) {
                if ((p[i + k] & 0xC0) != 0x80)
                    return 14;
                v = (v << 6) | (p[i + k] & 0x3F);
            }
            i += extra + 1;
            length = v;
        }
        if (n - i < length)
            return 7;
        current[id] = payload.substr(i, length);
        i += length;
    }
    if (open)
        out.push_back(current);
    return 0;
}

std::string DeriveKey(int algo, int bits, const std::string& phrase)
{
    auto md5 = [](const std::string& in) {
        unsigned char d[16];
        unsigned int len = 0;
        EVP_Digest(in.data(), in.size(), d, &len, EVP_md5(), nullptr);
        return std::string(reinterpret_cast<char*>(d), 16);
    };
    const int count = algo == 1 ? 3 : bits == 128 ? 2 : 1;
    std::string d = md5(std::string("MeadowLarkSpiral") + phrase.substr(0, phrase.find('\0')));
    for (int i = 0; i < count; ++i)
        d = md5(d);
    if (algo == 1 || bits == 128)
        return d;
    return (d + d).substr(0, static_cast<size_t>(bits / 8));
}

std::string CipherName(int algo, int mode, int bits)
{
    const char* m = mode == 3 ? "OFB" : mode == 4 ? "CFB" : nullptr;
    if (!m)
        return std::string();
    if (algo == 1)
        return std::string("SEED-") + m;
    if (algo == 2 && (bits == 128 || bits == 192 || bits == 256))
        return "ARIA-" + std::to_string(bits) + "-" + m;
    return std::string();
}

std::string Crypt(const std::string& cipherName, const std::string& key, const std::string& data, bool encrypt)
{
    static OSSL_PROVIDER* const legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* const fallback = OSSL_PROVIDER_load(nullptr, "default");
    if (!legacy || !fallback)
        throw std::runtime_error("OpenSSL providers");
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, cipherName.c_str(), nullptr);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    std::string out(data.size() + 32, '\0');
    int a = 0, b = 0;
    const bool ok = cipher && ctx &&
        EVP_CipherInit_ex2(ctx, cipher, reinterpret_cast<const unsigned char*>(key.data()),
                           reinterpret_cast<const unsigned char*>("TorvelNexaBrisk!"), encrypt, nullptr) &&
        EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(&out[0]), &a,
                         reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size())) &&
        EVP_CipherFinal_ex(ctx, reinterpret_cast<unsigned char*>(&out[a]), &b);
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
    if (!ok)
        throw std::runtime_error("cipher " + cipherName);
    out.resize(static_cast<size_t>(a + b));
    return out;
}

std::string CryptPieces(const std::string& cipherName, const std::string& key, const std::string& data, bool encrypt)
{
    std::string out;
    for (size_t at = 0; at < data.size(); at += 65000)
        out += Crypt(cipherName, key, data.substr(at, 65000), encrypt);
    return out;
}

std::string Pattern(uint64_t offset, size_t length)
{
    std::string out(length, '\0');
    for (size_t i = 0; i < length; ++i)
        out[i] = static_cast<char>((offset + i) % 251);
    return out;
}

}
