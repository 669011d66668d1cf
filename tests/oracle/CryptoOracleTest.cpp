// Checks the client's ciphers, key set-up and digests against vectors that OpenSSL computed
// (written by the native oracle before this program runs; see its file header for the format).
#include "CRC32.h"
#include "CryptoCore.h"
#include "SHA1.h"
#include "SHA256.h"
#include "TestPaths.h"
#include "ToviCrypto.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// ---- The vector file's hex and byte generators ----

int Nibble(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool FromHex(const std::string& text, Bytes* out)
{
    out->clear();
    if (text == "-") return true;
    if (text.size() % 2) return false;
    out->reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = Nibble(text[i]), lo = Nibble(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<unsigned char>(hi << 4 | lo));
    }
    return true;
}

std::string ToHex(const unsigned char* data, size_t len)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < len; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text.empty() ? "(none)" : text;
}

// gen:SEED:LEN, txt:SEED:LEN, rep:BB:LEN or hex:HEX.
bool Expand(const std::string& desc, Bytes* out)
{
    out->clear();
    std::string kind = desc.substr(0, 4), rest = desc.size() > 4 ? desc.substr(4) : "";
    if (kind == "hex:") return rest.empty() || FromHex(rest, out);
    size_t colon = rest.find(':');
    if (colon == std::string::npos) return false;
    unsigned long first = strtoul(rest.substr(0, colon).c_str(), nullptr, kind == "rep:" ? 16 : 10);
    size_t len = strtoul(rest.substr(colon + 1).c_str(), nullptr, 10);
    if (kind == "rep:") {
        out->assign(len, static_cast<unsigned char>(first));
        return true;
    }
    if ((kind != "gen:" && kind != "txt:") || first == 0) return false;
    uint32_t x = static_cast<uint32_t>(first);
    out->resize(len);
    for (size_t i = 0; i < len; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        (*out)[i] = kind == "gen:" ? static_cast<unsigned char>(x) : static_cast<unsigned char>(0x20 + x % 95);
    }
    return true;
}

// A text for a failure message: bytes outside printable ASCII as \xNN.
std::string Printable(const std::string& text)
{
    std::string shown;
    for (unsigned char ch : text) {
        if (ch >= 0x20 && ch < 0x7F && ch != '\\') {
            shown += static_cast<char>(ch);
        } else {
            char esc[5];
            snprintf(esc, sizeof esc, "\\x%02X", ch);
            shown += esc;
        }
    }
    return shown;
}

// ---- The vector file ----

struct CipherCase {
    int line;
    unsigned algo, bits, mode;
    std::string phrase;
    std::string keyHex;
    std::string plainSpec;
    Bytes plain;
    Bytes cipher;

    std::string Describe() const
    {
        static const char* const modes[] = {"?", "ECB", "CBC", "OFB", "CFB"};
        std::ostringstream s;
        s << (algo == ENC_ALG_SEED ? "SEED-" : "ARIA-") << bits << "-" << modes[mode <= 4 ? mode : 0]
          << ", pass phrase \"" << Printable(phrase) << "\", OpenSSL key " << keyHex << ", plain text " << plainSpec
          << " (vector line " << line << ")";
        return s.str();
    }
};

struct DigestCase {
    int line;
    std::string kind;  // md5, sha1, sha256, crc32
    std::string desc;
    Bytes data;
    std::string expected;
};

struct FileCrcCase {
    int line;
    std::string desc;
    long long count;
    unsigned long crc;
};

struct RandkeyCase {
    int line;
    std::string text;
    std::string expected;
};

struct Vectors {
    std::string error;  // why the file could not be used; empty when it could
    bool complete = false;
    std::vector<CipherCase> ciphers;
    std::vector<CipherCase> files;
    std::vector<DigestCase> digests;
    std::vector<FileCrcCase> fileCrcs;
    std::vector<RandkeyCase> randkeys;
};

bool ParseCipher(std::istringstream& fields, int line, CipherCase* c)
{
    std::string alg, mode, pass, cipher;
    fields >> alg >> c->bits >> mode >> pass >> c->keyHex >> c->plainSpec >> cipher;
    c->line = line;
    c->algo = alg == "SEED" ? ENC_ALG_SEED : alg == "ARIA" ? ENC_ALG_ARIA : 0;
    c->mode = mode == "ECB" ? ENC_MODE_ECB : mode == "CBC" ? ENC_MODE_CBC : mode == "OFB" ? ENC_MODE_OFB
            : mode == "CFB" ? ENC_MODE_CFB : 0;
    Bytes phrase;
    if (!fields || !c->algo || !c->mode || !FromHex(pass, &phrase)) return false;
    c->phrase.assign(phrase.begin(), phrase.end());
    return Expand(c->plainSpec, &c->plain) && FromHex(cipher, &c->cipher);
}

bool ParseLine(const std::string& text, int line, Vectors* v)
{
    std::istringstream fields(text);
    std::string kind;
    fields >> kind;
    if (kind == "cipher" || kind == "file") {
        CipherCase c;
        if (!ParseCipher(fields, line, &c)) return false;
        (kind == "file" ? v->files : v->ciphers).push_back(std::move(c));
    } else if (kind == "md5" || kind == "sha1" || kind == "sha256" || kind == "crc32") {
        DigestCase d{line, kind, "", {}, ""};
        fields >> d.desc >> d.expected;
        if (!fields || !Expand(d.desc, &d.data)) return false;
        v->digests.push_back(std::move(d));
    } else if (kind == "crc32file") {
        FileCrcCase f{line, "", 0, 0};
        std::string crc;
        fields >> f.desc >> f.count >> crc;
        if (!fields) return false;
        f.crc = strtoul(crc.c_str(), nullptr, 16);
        v->fileCrcs.push_back(f);
    } else if (kind == "randkey") {
        RandkeyCase r{line, "", ""};
        std::string text;
        Bytes bytes;
        fields >> text >> r.expected;
        if (!fields || !FromHex(text, &bytes)) return false;
        r.text.assign(bytes.begin(), bytes.end());
        v->randkeys.push_back(std::move(r));
    } else if (kind == "end") {
        v->complete = true;
    } else {
        return false;
    }
    return true;
}

Vectors ReadVectors()
{
    Vectors v;
    std::wstring path = testpaths::NativeDir() + L"\\vectors\\crypto-vectors.txt";
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) {
        v.error = "cannot open the vector file (the CryptoOracleVectors test writes it)";
        return v;
    }
    std::string all;
    char chunk[1 << 16];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) all.append(chunk, n);
    fclose(f);

    int line = 0;
    for (size_t at = 0; at < all.size();) {
        size_t end = all.find('\n', at);
        if (end == std::string::npos) end = all.size();
        std::string text = all.substr(at, end - at);
        at = end + 1;
        ++line;
        if (text.empty() || text[0] == '#') continue;
        if (!ParseLine(text, line, &v)) {
            v.error = "vector line " + std::to_string(line) + " does not parse";
            return v;
        }
    }
    if (!v.complete) v.error = "the vector file has no end line (cut short?)";
    return v;
}

const Vectors& TheVectors()
{
    static const Vectors v = ReadVectors();
    return v;
}

// ---- Helpers ----

// Describes where two byte strings part, without printing a quarter of a megabyte.
::testing::AssertionResult SameBytes(const Bytes& expected, const unsigned char* actual, size_t actualLen)
{
    size_t common = std::min(expected.size(), actualLen), at = 0;
    while (at < common && expected[at] == actual[at]) ++at;
    if (at == common && expected.size() == actualLen) return ::testing::AssertionSuccess();
    auto result = ::testing::AssertionFailure();
    result << "length expected " << expected.size() << ", actual " << actualLen;
    if (expected.size() <= 64 && actualLen <= 64) {
        result << "\n  expected " << ToHex(expected.data(), expected.size()) << "\n  actual   "
               << ToHex(actual, actualLen);
        return result;
    }
    size_t from = at & ~size_t(15);
    result << "; first difference at byte " << at << "\n  expected from byte " << from << ": "
           << ToHex(expected.data() + from, std::min<size_t>(32, expected.size() - from))
           << "\n  actual from byte " << from << ":   "
           << ToHex(actual + std::min(from, actualLen), std::min<size_t>(32, actualLen - std::min(from, actualLen)));
    return result;
}

// The client takes non-const buffers; an empty input still gets a valid pointer.
unsigned char* In(Bytes& data)
{
    static unsigned char none[1];
    return data.empty() ? none : data.data();
}

_ENC_CTX KeyedContext(const CipherCase& c)
{
    _ENC_CTX ctx;
    memset(&ctx, 0, sizeof ctx);
    ctx.algo = c.algo;
    ctx.mode = c.mode;
    ctx.keyBits = c.bits;
    std::string phrase = c.phrase;
    EXPECT_EQ(0ul, CToviCrypto::ToviKeySetup(&phrase[0], &ctx)) << c.Describe();
    return ctx;
}

// Runs one whole-buffer operation and checks its result against expected. input is a copy: the
// client takes its input as a non-const pointer.
::testing::AssertionResult CryptMatches(bool encrypt, _ENC_CTX* ctx, Bytes input, const Bytes& expected)
{
    unsigned char* out = nullptr;
    unsigned long len = encrypt ? CToviCrypto::ToviDataEncrypt(ctx, In(input), static_cast<int>(input.size()), &out)
                                : CToviCrypto::ToviDataDecrypt(ctx, In(input), static_cast<int>(input.size()), &out);
    std::unique_ptr<unsigned char[]> owned(out);
    if (len == 0 && !expected.empty()) return ::testing::AssertionFailure() << "the operation failed (length 0)";
    if (len != 0 && !out) return ::testing::AssertionFailure() << "length " << len << " but no buffer";
    return SameBytes(expected, out, len);
}

bool WriteBytes(const std::wstring& path, const Bytes& data)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    bool ok = data.empty() || fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

bool ReadBytes(const std::wstring& path, Bytes* data)
{
    data->clear();
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return false;
    unsigned char chunk[1 << 16];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) data->insert(data->end(), chunk, chunk + n);
    fclose(f);
    return true;
}

class CryptoOracleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TheVectors().error.empty()) << TheVectors().error;
    }
    const Vectors& V() const { return TheVectors(); }

    static std::wstring Scratch()
    {
        static const std::wstring dir = testpaths::ScratchDir(L"CryptoOracleTest");
        return dir;
    }
    static std::wstring ScratchFile(const std::string& name)
    {
        return Scratch() + L"\\" + std::wstring(name.begin(), name.end());
    }
};

// ---- Ciphers ----

TEST_F(CryptoOracleTest, VectorFileCoversEveryCipherModeAndTheStoredDataPhrase)
{
    std::map<std::string, int> seen;
    bool storedData = false;
    for (const CipherCase& c : V().ciphers) {
        std::string d = c.Describe();
        ++seen[d.substr(0, d.find(','))];
        storedData = storedData || (c.algo == ENC_ALG_SEED && c.mode == ENC_MODE_OFB && c.phrase == "tivrepolusak4827");
    }
    EXPECT_EQ(16u, seen.size());
    EXPECT_TRUE(storedData);
    EXPECT_FALSE(V().files.empty());
    EXPECT_FALSE(V().randkeys.empty());
}

TEST_F(CryptoOracleTest, WholeBufferEncryptionMatchesOpenSslForEveryCipherModeAndLength)
{
    for (const CipherCase& c : V().ciphers) {
        _ENC_CTX ctx = KeyedContext(c);
        EXPECT_TRUE(CryptMatches(true, &ctx, c.plain, c.cipher)) << "encrypting " << c.Describe();
    }
}

TEST_F(CryptoOracleTest, WholeBufferDecryptionOfOpenSslCipherTextGivesThePlainTextBack)
{
    for (const CipherCase& c : V().ciphers) {
        _ENC_CTX ctx = KeyedContext(c);
        EXPECT_TRUE(CryptMatches(false, &ctx, c.cipher, c.plain)) << "decrypting " << c.Describe();
    }
}

TEST_F(CryptoOracleTest, OneKeyedContextRestartsFromTheIvForEveryCallInEitherDirection)
{
    // One context per cipher and pass phrase, keyed once, then used for every length in turn,
    // decrypting and encrypting alternately.
    std::map<std::string, _ENC_CTX> contexts;
    for (const CipherCase& c : V().ciphers) {
        std::string d = c.Describe();
        std::string group = d.substr(0, d.find(", plain"));
        auto it = contexts.find(group);
        if (it == contexts.end()) it = contexts.emplace(group, KeyedContext(c)).first;
        EXPECT_TRUE(CryptMatches(false, &it->second, c.cipher, c.plain)) << "decrypting " << d;
        EXPECT_TRUE(CryptMatches(true, &it->second, c.plain, c.cipher)) << "encrypting " << d;
    }
}

TEST_F(CryptoOracleTest, FileEncryptionInPiecesMatchesOpenSsl)
{
    for (const CipherCase& c : V().files) {
        std::string name = "enc-" + std::to_string(c.line);
        std::wstring plainPath = ScratchFile(name + ".plain"), cipherPath = ScratchFile(name + ".cipher");
        ASSERT_TRUE(WriteBytes(plainPath, c.plain));
        _ENC_CTX ctx = KeyedContext(c);
        EXPECT_EQ(0, CToviCrypto::ToviFileEncrypt(&ctx, CString(plainPath.c_str()), CString(cipherPath.c_str())))
            << c.Describe();
        Bytes written;
        EXPECT_TRUE(ReadBytes(cipherPath, &written)) << c.Describe();
        EXPECT_TRUE(SameBytes(c.cipher, written.data(), written.size())) << "file encrypting " << c.Describe();
    }
}

TEST_F(CryptoOracleTest, FileDecryptionOfOpenSslCipherFilesGivesTheFileBack)
{
    for (const CipherCase& c : V().files) {
        std::string name = "dec-" + std::to_string(c.line);
        std::wstring cipherPath = ScratchFile(name + ".cipher"), plainPath = ScratchFile(name + ".plain");
        ASSERT_TRUE(WriteBytes(cipherPath, c.cipher));
        _ENC_CTX ctx = KeyedContext(c);
        EXPECT_EQ(0, CToviCrypto::ToviFileDecrypt(&ctx, CString(cipherPath.c_str()), CString(plainPath.c_str())))
            << c.Describe();
        Bytes written;
        EXPECT_TRUE(ReadBytes(plainPath, &written)) << c.Describe();
        EXPECT_TRUE(SameBytes(c.plain, written.data(), written.size())) << "file decrypting " << c.Describe();
    }
}

TEST_F(CryptoOracleTest, SetRandkeyWritesUpperCaseHexOfTheSaltedMd5)
{
    for (const RandkeyCase& r : V().randkeys) {
        char out[40];
        memset(out, 'Z', sizeof out);
        std::string text = r.text;
        EXPECT_EQ(0ul, CToviCrypto::ToviSetRandkey(&text[0], out)) << "text \"" << Printable(r.text) << "\"";
        EXPECT_EQ(r.expected, std::string(out, strnlen(out, 33))) << "text \"" << Printable(r.text) << "\" (vector line "
                                                                   << r.line << ")";
        EXPECT_EQ('Z', out[33]) << "wrote past the 33 bytes";
    }
}

// ---- Digests ----

// Feeds data in pieces of varied sizes, so that blocks are completed across calls.
template <typename Feed> void InPieces(const Bytes& data, Feed feed)
{
    static const size_t sizes[] = {1, 7, 63, 64, 65, 4093};
    size_t at = 0;
    for (int i = 0; at < data.size(); ++i) {
        size_t n = std::min(sizes[i % 6], data.size() - at);
        feed(data.data() + at, n);
        at += n;
    }
}

std::string Md5Hex(const Bytes& data, bool pieces)
{
    Md5Context ctx;
    Md5Init(&ctx);
    if (pieces)
        InPieces(data, [&](const unsigned char* p, size_t n) { Md5Update(&ctx, p, n); });
    else
        Md5Update(&ctx, data.empty() ? nullptr : data.data(), data.size());
    unsigned char digest[16];
    Md5Final(digest, &ctx);
    return ToHex(digest, 16);
}

TEST_F(CryptoOracleTest, Md5MatchesOpenSslWholeAndInPieces)
{
    for (const DigestCase& d : V().digests) {
        if (d.kind != "md5") continue;
        std::string where = "MD5 of " + d.desc + " (vector line " + std::to_string(d.line) + ")";
        EXPECT_EQ(d.expected, Md5Hex(d.data, false)) << where;
        EXPECT_EQ(d.expected, Md5Hex(d.data, true)) << "in pieces, " << where;
    }
}

std::string Sha1Hex(CSHA1& sha)
{
    unsigned char digest[20];
    if (!sha.GetHash(digest)) return "(no digest)";
    return ToHex(digest, 20);
}

TEST_F(CryptoOracleTest, Sha1MatchesOpenSslWholeAndInPieces)
{
    for (const DigestCase& d : V().digests) {
        if (d.kind != "sha1") continue;
        CSHA1 whole, pieces;
        whole.Update(d.data.empty() ? nullptr : d.data.data(), static_cast<unsigned int>(d.data.size()));
        whole.Final();
        InPieces(d.data, [&](const unsigned char* p, size_t n) { pieces.Update(p, static_cast<unsigned int>(n)); });
        pieces.Final();
        EXPECT_EQ(d.expected, Sha1Hex(whole)) << "SHA-1 of " << d.desc << " (vector line " << d.line << ")";
        EXPECT_EQ(d.expected, Sha1Hex(pieces)) << "SHA-1 in pieces of " << d.desc << " (vector line " << d.line << ")";
    }
}

TEST_F(CryptoOracleTest, Sha1OfAFileMatchesOpenSslInEveryReportForm)
{
    for (const DigestCase& d : V().digests) {
        if (d.kind != "sha1") continue;
        std::wstring path = ScratchFile("sha1-" + std::to_string(d.line) + ".bin");
        ASSERT_TRUE(WriteBytes(path, d.data));
        CSHA1 sha;
        EXPECT_TRUE(sha.HashFile(path.c_str())) << d.desc;
        sha.Final();
        std::string upper = d.expected;
        for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        char lowerA[41] = "", upperA[41] = "";
        wchar_t lowerW[41] = L"";
        EXPECT_TRUE(sha.ReportHashA(lowerA, 41, CSHA1::REPORT_HEX_LOWER));
        EXPECT_TRUE(sha.ReportHashA(upperA, 41, CSHA1::REPORT_HEX_UPPER));
        EXPECT_TRUE(sha.ReportHashW(lowerW, 41, CSHA1::REPORT_HEX_LOWER));
        std::string where = "SHA-1 of a file of " + d.desc + " (vector line " + std::to_string(d.line) + ")";
        EXPECT_EQ(d.expected, lowerA) << where;
        EXPECT_EQ(upper, upperA) << where;
        EXPECT_EQ(std::wstring(d.expected.begin(), d.expected.end()), lowerW) << where;
    }
}

TEST_F(CryptoOracleTest, Sha256OfATextAppendsOpenSslsDigestAsLowerCaseHex)
{
    for (const DigestCase& d : V().digests) {
        if (d.kind != "sha256") continue;
        // The vectors hold ASCII only, whose ANSI form is the same bytes in every code page.
        std::wstring text(d.data.begin(), d.data.end());
        wchar_t out[80] = L"seen:";
        int result = CSHA256::GetSAH256Data(&text[0], out, 80);
        std::string where = "SHA-256 of " + d.desc + " (vector line " + std::to_string(d.line) + ")";
        if (d.data.empty()) {
            EXPECT_EQ(-1, result) << where;
            EXPECT_EQ(std::wstring(L"seen:"), out) << where;
            continue;
        }
        EXPECT_EQ(0, result) << where;
        EXPECT_EQ(L"seen:" + std::wstring(d.expected.begin(), d.expected.end()), out) << where;
    }
}

TEST_F(CryptoOracleTest, Crc32MatchesTheIeeeChecksumWholeAndCarriedOver)
{
    for (const DigestCase& d : V().digests) {
        if (d.kind != "crc32") continue;
        unsigned long expected = strtoul(d.expected.c_str(), nullptr, 16);
        const unsigned char* p = d.data.empty() ? nullptr : d.data.data();
        unsigned int len = static_cast<unsigned int>(d.data.size()), half = len / 3;
        std::string where = "CRC-32 of " + d.desc + " (vector line " + std::to_string(d.line) + ")";
        EXPECT_EQ(expected, CCRC32::crc32(0, p, len)) << where;
        EXPECT_EQ(expected, CCRC32::crc32(CCRC32::crc32(0, p, half), p ? p + half : p, len - half)) << where;
    }
}

TEST_F(CryptoOracleTest, FileCrc32ChecksumsTheRequestedLeadingBytes)
{
    std::map<std::string, std::wstring> written;
    for (const FileCrcCase& f : V().fileCrcs) {
        auto it = written.find(f.desc);
        if (it == written.end()) {
            Bytes data;
            ASSERT_TRUE(Expand(f.desc, &data));
            std::wstring path = ScratchFile("crc-" + std::to_string(f.line) + ".bin");
            ASSERT_TRUE(WriteBytes(path, data));
            it = written.emplace(f.desc, path).first;
        }
        EXPECT_EQ(f.crc, CCRC32::GetFileCRC32(CString(it->second.c_str()), f.count))
            << "file of " << f.desc << ", count " << f.count << " (vector line " << f.line << ")";
    }
}

}
