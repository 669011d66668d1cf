// Writes the vector file that the Windows CryptoOracleTest checks the client against.
#include "VectorWriter.h"
#include "ByteSource.h"
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace oracle {

namespace {

const char kHeader[] =
    "# Client cipher and digest vectors, computed with OpenSSL by testserver/oracle.\n"
    "# One case a line, fields separated by one space; '#' starts a comment line.\n"
    "#   cipher ALG BITS MODE PASS KEY PLAIN CIPHER   whole-buffer operation from the IV\n"
    "#   file ALG BITS MODE PASS KEY PLAIN CIPHER     65,000-byte pieces, each from the IV\n"
    "#                                                (ECB, CBC: each grows to 65,008)\n"
    "#   md5|sha1|sha256 INPUT DIGEST\n"
    "#   crc32 INPUT CRC                              CRC as 8 hex digits, started from 0\n"
    "#   crc32file INPUT COUNT CRC                    checksum of a file of INPUT, COUNT bytes\n"
    "#   randkey TEXT HEX                             upper-case hex of MD5(salt, TEXT)\n"
    "# ALG SEED|ARIA, BITS 128|192|256 (SEED 128), MODE ECB|CBC|OFB|CFB (ECB, CBC padded).\n"
    "# PASS and TEXT are hex bytes; KEY is the derived cipher key; hex '-' means no bytes.\n"
    "# PLAIN and INPUT are specs:\n"
    "#   gen:SEED:LEN  xorshift32 from SEED (x ^= x << 13; x ^= x >> 17; x ^= x << 5),\n"
    "#                 one step per byte, the byte being the low 8 bits of x\n"
    "#   txt:SEED:LEN  the same steps, each byte 0x20 + x % 95 (printable ASCII)\n"
    "#   rep:BB:LEN    LEN bytes of hex value BB\n"
    "#   hex:HEX       the bytes given (hex: alone is empty)\n";

const std::string kPhrases[] = {
    kStoredDataPhrase,
    "0123456789ABCDEF0123456789ABCDEF",
    "",
    "\xB0\xA1\xB3\xAA\xB4\xD9 \xC5\xB0",  // bytes above 0x7F (a CP949 text)
    "Sunrise over the northern ridge, 1,024 steps; the salt and this text span two MD5 blocks!!",
};
// Lengths for every pass phrase; the long ones only for the first two (the file stays small).
const size_t kShortLengths[] = {0, 1, 15, 16, 17, 31, 32, 33, 40};
const size_t kLongLengths[] = {1000, 65000, 65001, 130001};
// A file of three pieces, the last of one byte, for both phrases; whole pieces for the first.
const size_t kFileLengths[] = {130001, 130000, 65000};

const CipherChoice kCiphers[] = {
    {Alg::Seed, 128, Mode::Ecb}, {Alg::Seed, 128, Mode::Cbc}, {Alg::Seed, 128, Mode::Ofb}, {Alg::Seed, 128, Mode::Cfb},
    {Alg::Aria, 128, Mode::Ecb}, {Alg::Aria, 128, Mode::Cbc}, {Alg::Aria, 128, Mode::Ofb}, {Alg::Aria, 128, Mode::Cfb},
    {Alg::Aria, 192, Mode::Ecb}, {Alg::Aria, 192, Mode::Cbc}, {Alg::Aria, 192, Mode::Ofb}, {Alg::Aria, 192, Mode::Cfb},
    {Alg::Aria, 256, Mode::Ecb}, {Alg::Aria, 256, Mode::Cbc}, {Alg::Aria, 256, Mode::Ofb}, {Alg::Aria, 256, Mode::Cfb},
};

class Writer {
public:
    explicit Writer(std::ostream& out) : m_out(out) {}

    bool Cipher(const char* kind, const CipherChoice& desc, const std::string& phrase, size_t len)
    {
        std::string plainSpec = GenSpec(NextSeed(), len);
        Bytes plain, cipher;
        Expand(plainSpec, &plain);
        Bytes key = ClientKey(desc, phrase);
        bool pieces = std::string(kind) == "file";
        bool ok = pieces ? CryptPieces(desc, key, plain, true, &cipher) : Crypt(desc, key, plain, true, &cipher);
        if (!ok) return Fail(kind, desc, len);
        // The oracle's own round trip: a broken provider would show here first.
        Bytes back;
        ok = pieces ? CryptPieces(desc, key, cipher, false, &back) : Crypt(desc, key, cipher, false, &back);
        if (!ok || back != plain) return Fail(kind, desc, len);
        m_out << kind << ' ' << AlgName(desc.alg) << ' ' << desc.bits << ' ' << ModeName(desc.mode) << ' '
              << ToHex(Bytes(phrase.begin(), phrase.end())) << ' ' << ToHex(key) << ' ' << plainSpec << ' '
              << ToHex(cipher) << '\n';
        return true;
    }

    void Digests(const std::string& desc, bool text)
    {
        Bytes data;
        Expand(desc, &data);
        m_out << "md5 " << desc << ' ' << ToHex(Md5(data)) << '\n';
        m_out << "sha1 " << desc << ' ' << ToHex(Sha1(data)) << '\n';
        if (text) m_out << "sha256 " << desc << ' ' << ToHex(Sha256(data)) << '\n';
        m_out << "crc32 " << desc << ' ' << Crc32Hex(Crc32(0, data.data(), data.size())) << '\n';
    }

    // What the client's file checksum gives: 0 for an empty file with count 0 or a negative
    // count, else the CRC of the first count bytes (all of them for 0 or a count past the end).
    void FileCrc(const std::string& desc, long long count)
    {
        Bytes data;
        Expand(desc, &data);
        uint32_t crc = 0;
        if (count >= 0) {
            size_t n = count == 0 || static_cast<size_t>(count) > data.size() ? data.size() : static_cast<size_t>(count);
            crc = Crc32(0, data.data(), n);
        }
        m_out << "crc32file " << desc << ' ' << count << ' ' << Crc32Hex(crc) << '\n';
    }

    void Randkey(const std::string& text)
    {
        m_out << "randkey " << ToHex(Bytes(text.begin(), text.end())) << ' ' << RandkeyHex(text) << '\n';
    }

    uint32_t NextSeed()
    {
        m_seed = m_seed * 1103515245u + 12345u;
        return m_seed ? m_seed : 1;
    }

private:
    static std::string Crc32Hex(uint32_t crc)
    {
        char text[9];
        snprintf(text, sizeof text, "%08x", crc);
        return text;
    }

    static bool Fail(const char* kind, const CipherChoice& desc, size_t len)
    {
        fprintf(stderr, "oracle: %s %s-%d-%s of %zu bytes failed\n", kind, AlgName(desc.alg), desc.bits,
                ModeName(desc.mode), len);
        return false;
    }

    std::ostream& m_out;
    uint32_t m_seed = 20240601;
};

bool WriteCiphers(Writer& w)
{
    bool ok = true;
    for (const CipherChoice& desc : kCiphers) {
        for (size_t p = 0; p < sizeof kPhrases / sizeof kPhrases[0]; ++p) {
            for (size_t len : kShortLengths) ok = w.Cipher("cipher", desc, kPhrases[p], len) && ok;
            if (p < 2)
                for (size_t len : kLongLengths) ok = w.Cipher("cipher", desc, kPhrases[p], len) && ok;
        }
        for (size_t len : kFileLengths)
            for (int p = 0; p < (len == kFileLengths[0] ? 2 : 1); ++p) ok = w.Cipher("file", desc, kPhrases[p], len) && ok;
    }
    return ok;
}

void WriteDigests(Writer& w)
{
    const std::string texts[] = {
        "hex:",
        "hex:616263",  // abc
        "hex:6162636462636465636465666465666765666768666768696768696a68696a6b696a6b6c6a6b6c6d6b6c6d6e6c6d6e6f6d6e6f706e6f7071",
        "hex:313233343536373839",  // 123456789
        "rep:61:1000000",
    };
    for (const std::string& t : texts) w.Digests(t, true);
    // Lengths around the 64-byte block and its 56-byte padding limit, and around SHA-1's file
    // read of 524,800 bytes.
    for (size_t len : {1, 55, 56, 57, 63, 64, 65, 119, 120, 1000, 100000}) w.Digests(TxtSpec(w.NextSeed(), len), true);
    for (size_t len : {1, 55, 56, 64, 65000, 65001, 524799, 524800, 524801, 1100000})
        w.Digests(GenSpec(w.NextSeed(), len), false);

    std::string file = GenSpec(w.NextSeed(), 100000);
    for (long long count : {0LL, 1LL, 10LL, 64999LL, 65000LL, 65001LL, 99999LL, 100000LL, 250000LL, -1LL})
        w.FileCrc(file, count);
    w.FileCrc("hex:", 0);
    w.FileCrc("hex:", 5);
}

void WriteRandkeys(Writer& w)
{
    for (const std::string& p : kPhrases) w.Randkey(p);
    w.Randkey("abc");
    Bytes text;
    Expand(TxtSpec(w.NextSeed(), 300), &text);
    w.Randkey(std::string(text.begin(), text.end()));
}

}

bool WriteVectorFile(const std::string& path)
{
    std::filesystem::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    // Written beside and renamed, so that a reader never sees half a file.
    std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            fprintf(stderr, "oracle: cannot write %s\n", temp.c_str());
            return false;
        }
        out << kHeader;
        Writer w(out);
        bool ok = WriteCiphers(w);
        WriteDigests(w);
        WriteRandkeys(w);
        out << "end\n";
        out.flush();
        if (!ok || !out) return false;
    }
    std::filesystem::rename(temp, target, ec);
    return !ec;
}

}
