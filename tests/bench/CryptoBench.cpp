// Throughput of whole-buffer encryption over 65,000-byte pieces, the size of a file-data chunk,
// for the ciphers and modes the client uses, and of the digests over the same pieces. Prints
// "NAME <MB/s> MB/s" (MB = 1,000,000 bytes, as `openssl speed` counts).
#include "CryptoCore.h"
#include "SHA1.h"
#include "SHA256.h"
#include "ToviCrypto.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <vector>

namespace {

struct Cipher {
    const char* name;
    unsigned algo;
    unsigned mode;
    unsigned keyBits;
};

const Cipher kCiphers[] = {
    {"SEED-OFB", ENC_ALG_SEED, ENC_MODE_OFB, 128},
    {"ARIA-128-OFB", ENC_ALG_ARIA, ENC_MODE_OFB, 128},
    {"ARIA-256-OFB", ENC_ALG_ARIA, ENC_MODE_OFB, 256},
    {"SEED-CFB", ENC_ALG_SEED, ENC_MODE_CFB, 128},
};

const int kPiece = 65000;

// Encrypts pieces for about the given time and returns MB/s; the best of a few runs, so that a
// busy moment of the machine does not count.
double Measure(const Cipher& cipher, std::vector<unsigned char>& data, double seconds)
{
    _ENC_CTX ctx;
    std::memset(&ctx, 0, sizeof(ctx));
    ctx.algo = cipher.algo;
    ctx.mode = cipher.mode;
    ctx.keyBits = cipher.keyBits;
    char passPhrase[] = "tivrepolusak4827";
    if (CToviCrypto::ToviKeySetup(passPhrase, &ctx) != 0)
        return 0;

    typedef std::chrono::steady_clock Clock;
    double best = 0;
    unsigned checksum = 0;
    for (int run = 0; run < 3; ++run) {
        long long bytes = 0;
        Clock::time_point start = Clock::now();
        double elapsed = 0;
        while (elapsed < seconds / 3) {
            for (int i = 0; i < 16; ++i) {
                unsigned char* out = nullptr;
                unsigned long n = CToviCrypto::ToviDataEncrypt(&ctx, data.data(), kPiece, &out);
                if (!out)
                    return 0;
                checksum += out[n - 1];
                delete[] out;
                bytes += n;
            }
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        }
        double rate = bytes / elapsed / 1e6;
        if (rate > best)
            best = rate;
    }
    // Keeps the work from being optimised away.
    data[0] ^= static_cast<unsigned char>(checksum & 1);
    return best;
}

// Runs one 65,000-byte piece through work for about the given time and returns MB/s, the
// best of three runs.
double MeasureDigest(const std::function<void()>& work, double seconds)
{
    typedef std::chrono::steady_clock Clock;
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        long long bytes = 0;
        Clock::time_point start = Clock::now();
        double elapsed = 0;
        while (elapsed < seconds / 3) {
            for (int i = 0; i < 16; ++i) {
                work();
                bytes += kPiece;
            }
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        }
        double rate = bytes / elapsed / 1e6;
        if (rate > best)
            best = rate;
    }
    return best;
}

void MeasureDigests(const std::vector<unsigned char>& data, double seconds)
{
    // Keeps the work from being optimised away.
    volatile unsigned char sink = 0;
    double sha1 = MeasureDigest([&] {
        CSHA1 sha;
        sha.Update(data.data(), kPiece);
        sha.Final();
        unsigned char digest[20];
        sha.GetHash(digest);
        sink = sink ^ digest[0];
    }, seconds);
    std::printf("SHA-1 %.1f MB/s\n", sha1);
    std::fflush(stdout);

    // The only way in is the text form: a piece of 65,000 ASCII characters, converted to the
    // ANSI code page on every call as the password check does.
    std::vector<wchar_t> text(kPiece + 1);
    for (int i = 0; i < kPiece; ++i)
        text[i] = static_cast<wchar_t>(L'a' + data[i] % 26);
    text[kPiece] = 0;
    double sha256 = MeasureDigest([&] {
        wchar_t hex[65] = {};
        CSHA256::GetSAH256Data(text.data(), hex, 65);
        sink = sink ^ static_cast<unsigned char>(hex[0]);
    }, seconds);
    std::printf("SHA-256 (text) %.1f MB/s\n", sha256);
    std::fflush(stdout);

    double md5 = MeasureDigest([&] {
        Md5Context ctx;
        Md5Init(&ctx);
        Md5Update(&ctx, data.data(), kPiece);
        unsigned char digest[16];
        Md5Final(digest, &ctx);
        sink = sink ^ digest[0];
    }, seconds);
    std::printf("MD5 %.1f MB/s\n", md5);
}

}

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (seconds <= 0)
        seconds = 3.0;
    std::vector<unsigned char> data(kPiece);
    for (int i = 0; i < kPiece; ++i)
        data[i] = static_cast<unsigned char>(i * 7 + 3);
    for (const Cipher& cipher : kCiphers) {
        std::printf("%s %.1f MB/s\n", cipher.name, Measure(cipher, data, seconds));
        std::fflush(stdout);
    }
    MeasureDigests(data, seconds);
    return 0;
}
