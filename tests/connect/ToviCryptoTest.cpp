// Cipher context key set-up, the four modes, padding, and whole-buffer and file encryption.
#include "ToviCrypto.h"
#include "CryptoCore.h"
#include "FileBytes.h"
#include "Files.h"
#include "HexBytes.h"
#include "TestPaths.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

char kStoredPassPhrase[] = "tivrepolusak4827";

const unsigned long kErrMode = ENC_ERR_MODE;
const unsigned long kErrPending = ENC_ERR_PENDING;
const unsigned long kErrFinal = ENC_ERR_FINAL;

using hexbytes::FromHex;
using hexbytes::ToHex;

Bytes FromText(const char* text)
{
    return Bytes(text, text + std::strlen(text));
}

Bytes Pattern(size_t n, unsigned seed = 1)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        b[i] = static_cast<unsigned char>(seed >> 16);
    }
    return b;
}

const char* ModeName(unsigned mode)
{
    static const char* const kNames[] = {"?", "ECB", "CBC", "OFB", "CFB"};
    return mode <= 4 ? kNames[mode] : "?";
}

_ENC_CTX Keyed(unsigned algo, unsigned mode, unsigned keyBits = 128, char* passPhrase = kStoredPassPhrase)
{
    _ENC_CTX ctx;
    std::memset(&ctx, 0, sizeof(ctx));
    ctx.algo = algo;
    ctx.mode = mode;
    ctx.keyBits = keyBits;
    EXPECT_EQ(0u, CToviCrypto::ToviKeySetup(passPhrase, &ctx)) << "algo " << algo << " mode " << mode;
    return ctx;
}

// The result of a whole-buffer operation: ok when a buffer came back.
struct Result {
    bool ok = false;
    unsigned long length = 0;
    Bytes data;
};

Result Encrypt(_ENC_CTX& ctx, Bytes in)
{
    Result r;
    unsigned char* out = nullptr;
    r.length = CToviCrypto::ToviDataEncrypt(&ctx, in.data(), static_cast<int>(in.size()), &out);
    r.ok = out != nullptr;
    if (out)
        r.data.assign(out, out + r.length);
    delete[] out;
    return r;
}

Result Decrypt(_ENC_CTX& ctx, Bytes in)
{
    Result r;
    unsigned char* out = nullptr;
    r.length = CToviCrypto::ToviDataDecrypt(&ctx, in.data(), static_cast<int>(in.size()), &out);
    r.ok = out != nullptr;
    if (out)
        r.data.assign(out, out + r.length);
    delete[] out;
    return r;
}

// Opens the protected mode steps to the tests.
class Steps : public CToviCrypto {
public:
    using CToviCrypto::Tovi_EncInit;
    using CToviCrypto::Tovi_DecInit;
    using CToviCrypto::Tovi_EncUpdate;
    using CToviCrypto::Tovi_DecUpdate;
    using CToviCrypto::Tovi_EncFinal;
    using CToviCrypto::Tovi_DecFinal;
    using CToviCrypto::PaddSet;
    using CToviCrypto::PaddCheck;
};

// ---- Cipher text of every algorithm and mode ----

struct ModeVector {
    unsigned algo;
    unsigned keyBits;
    unsigned mode;
    const char* cipher;
};

// Made with OpenSSL 3 (`openssl enc`, its SEED through the legacy provider) from the key that the
// salted MD5 derivation gives for the stored-data pass phrase, and the fixed iv
// "TorvelNexaBrisk!"; ECB and CBC with PKCS#7 padding, OFB and CFB (128-bit feedback) without.
const ModeVector kModeVectors[] = {
    {ENC_ALG_SEED, 128, ENC_MODE_ECB, "ce5b0d2c9c1d483f0c76132afb093523f7de4963c510a511fecd5747d8f4b33f053e8d1fc9915c5cc6b5c96802e123f1"},
    {ENC_ALG_SEED, 128, ENC_MODE_CBC, "7ffbb9be3c873c6bb8898fb2f1ea277b8005966830c8d0f58a11bfdceb35ba099190c8e3f45e7bfb9246668194e4a83c"},
    {ENC_ALG_SEED, 128, ENC_MODE_OFB, "4094d6ebe6017b6c01169f8efd0e323a7bfdb92dcd54f563ec4255783356f1ac9835496d918158ee52b5b5"},
    {ENC_ALG_SEED, 128, ENC_MODE_CFB, "4094d6ebe6017b6c01169f8efd0e323a48058b53cfaba1ff62125f46655642ca6cd79698b7a8b13cd96e91"},
    {ENC_ALG_ARIA, 128, ENC_MODE_ECB, "50e53dde7ad8f1a332c94843230d50e92abff7791a414a7a24607a2fa34b2599191308f5667fd267583da468b6a51af4"},
    {ENC_ALG_ARIA, 128, ENC_MODE_CBC, "9305a44a17aa87f09989f1fec117eaf8e9e1573421ceba530c8043ec2c94dc9053bc07589991a75f4df979886f1e4a42"},
    {ENC_ALG_ARIA, 128, ENC_MODE_OFB, "4be60d30f1381b0aef4485cae693eefc2a5ceb6d35130a446b3ced634246a9b833990d73b445f4fda450c4"},
    {ENC_ALG_ARIA, 128, ENC_MODE_CFB, "4be60d30f1381b0aef4485cae693eefcbed6657b3ddc35ce05ba1cb5eee2cb21c193fddfdae95604c1b63c"},
    {ENC_ALG_ARIA, 192, ENC_MODE_ECB, "020fa058a73b90ac41cdf76e63c7dd821f864a8de49d80b418b71afc3011dcf9d0f204a0a7c7237281bd659c05786cba"},
    {ENC_ALG_ARIA, 192, ENC_MODE_CBC, "6b74299fd998a09d3d8624210f5956110fa077a078ba3dbcfbb9bc8b25c97c09fbde806ef8dd3b1da258fe74a11926b6"},
    {ENC_ALG_ARIA, 192, ENC_MODE_OFB, "6b393f9b9851f0f35526df3cd394a04376e2a3f413629e99e49ec87b590f51f933e3e9a7207a4bbd10e3a1"},
    {ENC_ALG_ARIA, 192, ENC_MODE_CFB, "6b393f9b9851f0f35526df3cd394a043391f4831eab2ad8cde107d9ed2a1a92740840fa56ca95c966236ad"},
    {ENC_ALG_ARIA, 256, ENC_MODE_ECB, "d3ce7f56b05dc9777d8719e8aff7e003684b610bd00b087f00a8bf9aba137b58ffa4b391eb31313db56693bbd2e0e448"},
    {ENC_ALG_ARIA, 256, ENC_MODE_CBC, "a1a0abcfc31f76ea735ebcff169988d37da61c50097ec8f7773b16d01dc0ceb992234b8977e780835ca1396747b3621e"},
    {ENC_ALG_ARIA, 256, ENC_MODE_OFB, "dcc9ca6bbb2758127e2576d7f7d7d7fc3779a2f94b0c58ea4143c140928db4d2a819148afe68c73d3d6d83"},
    {ENC_ALG_ARIA, 256, ENC_MODE_CFB, "dcc9ca6bbb2758127e2576d7f7d7d7fc7294e065302754c9d425cfd30b0e1de57dc0d45db92f073d03e0f6"},
};

const char kMessage[] = "The quick brown fox jumps over the lazy dog";

TEST(ToviCryptoData, EncryptsLikeAnIndependentImplementationInEveryAlgorithmAndMode)
{
    for (const ModeVector& v : kModeVectors) {
        _ENC_CTX ctx = Keyed(v.algo, v.mode, v.keyBits);
        Result r = Encrypt(ctx, FromText(kMessage));
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(v.cipher, ToHex(r.data))
            << (v.algo == ENC_ALG_SEED ? "SEED" : "ARIA") << "-" << v.keyBits << "-" << ModeName(v.mode);
    }
}

TEST(ToviCryptoData, DecryptsTheIndependentCipherTextsBackToTheMessage)
{
    for (const ModeVector& v : kModeVectors) {
        _ENC_CTX ctx = Keyed(v.algo, v.mode, v.keyBits);
        Result r = Decrypt(ctx, FromHex(v.cipher));
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(ToHex(FromText(kMessage)), ToHex(r.data))
            << (v.algo == ENC_ALG_SEED ? "SEED" : "ARIA") << "-" << v.keyBits << "-" << ModeName(v.mode);
    }
}

// ---- Key set-up ----

TEST(ToviKeySetup, ChoosesBlockPaddingForEcbAndCbcAndNoneForOfbAndCfb)
{
    const unsigned kExpected[] = {0, ENC_PAD_BLOCK, ENC_PAD_BLOCK, ENC_PAD_NONE, ENC_PAD_NONE};
    for (unsigned mode = ENC_MODE_ECB; mode <= ENC_MODE_CFB; ++mode)
        EXPECT_EQ(kExpected[mode], Keyed(ENC_ALG_SEED, mode).padType) << ModeName(mode);
}

TEST(ToviKeySetup, StoresTheFixedInitialisationVector)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_ARIA, ENC_MODE_OFB);
    EXPECT_EQ(0, std::memcmp(ctx.iv, "TorvelNexaBrisk!", 16));
}

TEST(ToviKeySetup, RefusesAnUnknownModeAndLeavesTheContextAsItWas)
{
    for (unsigned mode : {0u, 5u, 0xffffffffu}) {
        _ENC_CTX ctx;
        std::memset(&ctx, 0x33, sizeof(ctx));
        ctx.algo = ENC_ALG_SEED;
        ctx.mode = mode;
        _ENC_CTX before = ctx;
        EXPECT_EQ(static_cast<unsigned long>(-1), CToviCrypto::ToviKeySetup(kStoredPassPhrase, &ctx)) << mode;
        EXPECT_EQ(0, std::memcmp(&before, &ctx, sizeof(ctx))) << "mode " << mode;
    }
}

// Refused set-ups set the padding kind and nothing else: no key, no iv.
void ExpectRefusedAfterPadding(_ENC_CTX& ctx, char* passPhrase, const char* what)
{
    EXPECT_EQ(static_cast<unsigned long>(-2), CToviCrypto::ToviKeySetup(passPhrase, &ctx)) << what;
    _ENC_CTX zero;
    std::memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(unsigned(ENC_PAD_NONE), ctx.padType) << what;
    EXPECT_EQ(0, std::memcmp(ctx.iv, zero.iv, 16)) << what;
    EXPECT_EQ(0, std::memcmp(ctx.encRoundKeys, zero.encRoundKeys, sizeof(zero.encRoundKeys))) << what;
    EXPECT_EQ(0, std::memcmp(ctx.decRoundKeys, zero.decRoundKeys, sizeof(zero.decRoundKeys))) << what;
}

TEST(ToviKeySetup, RefusesAnUnknownAlgorithmAfterSettingOnlyThePadding)
{
    for (unsigned algo : {0u, 3u}) {
        _ENC_CTX ctx;
        std::memset(&ctx, 0, sizeof(ctx));
        ctx.algo = algo;
        ctx.mode = ENC_MODE_OFB;
        ExpectRefusedAfterPadding(ctx, kStoredPassPhrase, algo == 0 ? "algo 0" : "algo 3");
    }
}

TEST(ToviKeySetup, RefusesAriaKeySizesOutsideTheStandardInsteadOfKeyingWithZeros)
{
    for (unsigned bits : {0u, 64u, 100u, 129u, 512u}) {
        _ENC_CTX ctx;
        std::memset(&ctx, 0, sizeof(ctx));
        ctx.algo = ENC_ALG_ARIA;
        ctx.mode = ENC_MODE_CFB;
        ctx.keyBits = bits;
        ExpectRefusedAfterPadding(ctx, kStoredPassPhrase, ("keyBits " + std::to_string(bits)).c_str());
        EXPECT_EQ(0u, ctx.rounds);
    }
}

TEST(ToviKeySetup, RefusesANullPassPhraseInsteadOfKeyingWithZeros)
{
    for (unsigned algo : {unsigned(ENC_ALG_SEED), unsigned(ENC_ALG_ARIA)}) {
        _ENC_CTX ctx;
        std::memset(&ctx, 0, sizeof(ctx));
        ctx.algo = algo;
        ctx.mode = ENC_MODE_OFB;
        ctx.keyBits = 128;
        ExpectRefusedAfterPadding(ctx, nullptr, algo == ENC_ALG_SEED ? "SEED" : "ARIA");
    }
}

TEST(ToviKeySetup, MakesEverySeedKey128BitsAndLeavesTheRoundCountAlone)
{
    for (unsigned bits : {0u, 128u, 256u, 1000u}) {
        _ENC_CTX ctx;
        std::memset(&ctx, 0, sizeof(ctx));
        ctx.algo = ENC_ALG_SEED;
        ctx.mode = ENC_MODE_OFB;
        ctx.keyBits = bits;
        ctx.rounds = 77;
        EXPECT_EQ(0u, CToviCrypto::ToviKeySetup(kStoredPassPhrase, &ctx));
        EXPECT_EQ(128u, ctx.keyBits) << "given " << bits;
        EXPECT_EQ(77u, ctx.rounds) << "given " << bits;
    }
}

TEST(ToviKeySetup, GivesAriaTwelveFourteenOrSixteenRoundsByKeySize)
{
    EXPECT_EQ(12u, Keyed(ENC_ALG_ARIA, ENC_MODE_OFB, 128).rounds);
    EXPECT_EQ(14u, Keyed(ENC_ALG_ARIA, ENC_MODE_CBC, 192).rounds);
    EXPECT_EQ(16u, Keyed(ENC_ALG_ARIA, ENC_MODE_ECB, 256).rounds);
}

TEST(ToviKeySetup, FillsAriaDecryptionKeysOnlyForTheBlockModes)
{
    _ENC_CTX zero;
    std::memset(&zero, 0, sizeof(zero));
    for (unsigned mode = ENC_MODE_ECB; mode <= ENC_MODE_CFB; ++mode) {
        _ENC_CTX ctx = Keyed(ENC_ALG_ARIA, mode, 256);
        bool filled = std::memcmp(ctx.decRoundKeys, zero.decRoundKeys, sizeof(zero.decRoundKeys)) != 0;
        EXPECT_EQ(mode == ENC_MODE_ECB || mode == ENC_MODE_CBC, filled) << ModeName(mode);
    }
}

TEST(ToviKeySetup, GivesAria192And256DifferentSchedulesFromOnePassPhrase)
{
    _ENC_CTX a = Keyed(ENC_ALG_ARIA, ENC_MODE_OFB, 192);
    _ENC_CTX b = Keyed(ENC_ALG_ARIA, ENC_MODE_OFB, 256);
    EXPECT_NE(0, std::memcmp(a.encRoundKeys, b.encRoundKeys, sizeof(a.encRoundKeys)));
}

TEST(ToviKeySetup, KeysTheSamePassPhraseIdenticallyEveryTime)
{
    _ENC_CTX a = Keyed(ENC_ALG_ARIA, ENC_MODE_CBC, 192);
    _ENC_CTX b = Keyed(ENC_ALG_ARIA, ENC_MODE_CBC, 192);
    EXPECT_EQ(0, std::memcmp(a.encRoundKeys, b.encRoundKeys, sizeof(a.encRoundKeys)));
    EXPECT_EQ(0, std::memcmp(a.decRoundKeys, b.decRoundKeys, sizeof(a.decRoundKeys)));
    EXPECT_EQ(0, std::memcmp(a.iv, b.iv, 16));
}

TEST(ToviKeySetup, ReadsThePassPhraseUpToItsFirstZeroByte)
{
    char shortPhrase[] = "abc";
    char longPhrase[] = "abc\0def";
    _ENC_CTX a = Keyed(ENC_ALG_SEED, ENC_MODE_OFB, 128, shortPhrase);
    _ENC_CTX b = Keyed(ENC_ALG_SEED, ENC_MODE_OFB, 128, longPhrase);
    _ENC_CTX c = Keyed(ENC_ALG_SEED, ENC_MODE_OFB, 128, kStoredPassPhrase);
    EXPECT_EQ(0, std::memcmp(a.encRoundKeys, b.encRoundKeys, sizeof(a.encRoundKeys)));
    EXPECT_NE(0, std::memcmp(a.encRoundKeys, c.encRoundKeys, sizeof(a.encRoundKeys)));
}

TEST(ToviKeySetup, KeyingAgainLeavesTheChainAndPendingBytesToTheNextOperation)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_CBC);
    std::memset(ctx.chain, 0x11, 16);
    std::memset(ctx.pending, 0x22, 16);
    ctx.pendingLen = 5;
    EXPECT_EQ(0u, CToviCrypto::ToviKeySetup(kStoredPassPhrase, &ctx));
    EXPECT_EQ(0x11, ctx.chain[15]);
    EXPECT_EQ(0x22, ctx.pending[15]);
    EXPECT_EQ(5u, ctx.pendingLen);
}

// ---- ToviSetRandkey ----

TEST(ToviSetRandkey, WritesTheUpperCaseHexOfTheSaltedMd5)
{
    // Made with Python's hashlib: md5(b"MeadowLarkSpiral" + text).hexdigest().upper().
    const struct {
        const char* text;
        const char* hex;
    } kRows[] = {
        {"abc", "2DD4BC946ADFC13F0A30E94F6AB022C1"},
        {"", "85B7CFBB053D4A003968C4BEA0D9814D"},
        {"tivrepolusak4827", "141696BF302E0AC01E63237181A2970B"},
    };
    for (const auto& row : kRows) {
        std::string text = row.text;
        char out[40];
        std::memset(out, 'x', sizeof(out));
        EXPECT_EQ(0u, CToviCrypto::ToviSetRandkey(&text[0], out));
        EXPECT_STREQ(row.hex, out) << "text \"" << row.text << "\"";
    }
}

TEST(ToviSetRandkey, ReturnsZeroAndWritesNothingForANullText)
{
    char out[33];
    std::memset(out, 'x', sizeof(out));
    EXPECT_EQ(0u, CToviCrypto::ToviSetRandkey(nullptr, out));
    EXPECT_EQ(std::string(33, 'x'), std::string(out, 33));
}

// ---- Whole buffers ----

TEST(ToviCryptoData, PadsNothingIntoOneWholeBlockOfSixteens)
{
    for (unsigned mode : {unsigned(ENC_MODE_ECB), unsigned(ENC_MODE_CBC)}) {
        _ENC_CTX ctx = Keyed(ENC_ALG_SEED, mode);
        Result empty = Encrypt(ctx, Bytes());
        Result sixteens = Encrypt(ctx, Bytes(16, 16));
        ASSERT_TRUE(empty.ok && sixteens.ok) << ModeName(mode);
        EXPECT_EQ(16u, empty.length) << ModeName(mode);
        EXPECT_EQ(32u, sixteens.length) << ModeName(mode);
        EXPECT_EQ(ToHex(empty.data), ToHex(Bytes(sixteens.data.begin(), sixteens.data.begin() + 16)))
            << ModeName(mode);
    }
}

TEST(ToviCryptoData, PadsSixteenBytesToTwoBlocksAndFifteenToOneEndingInOne)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_ECB);
    EXPECT_EQ(32u, Encrypt(ctx, Pattern(16)).length);

    Bytes plain = Pattern(15);
    Result r = Encrypt(ctx, plain);
    ASSERT_EQ(16u, r.length);
    SeedDecrypt(ctx.encRoundKeys, r.data.data());
    plain.push_back(1);
    EXPECT_EQ(ToHex(plain), ToHex(r.data));
}

TEST(ToviCryptoData, KeepsTheLengthInOfbAndCfb)
{
    for (unsigned mode : {unsigned(ENC_MODE_OFB), unsigned(ENC_MODE_CFB)}) {
        for (size_t len : {1u, 15u, 16u, 17u, 40u, 1000u}) {
            _ENC_CTX ctx = Keyed(ENC_ALG_ARIA, mode);
            Result r = Encrypt(ctx, Pattern(len));
            EXPECT_TRUE(r.ok);
            EXPECT_EQ(len, r.length) << ModeName(mode) << ", " << len << " bytes";
        }
    }
}

TEST(ToviCryptoData, GivesTheSameCipherTextEveryCallSinceEachStartsFromTheIv)
{
    for (unsigned mode = ENC_MODE_ECB; mode <= ENC_MODE_CFB; ++mode) {
        _ENC_CTX ctx = Keyed(ENC_ALG_SEED, mode);
        Result first = Encrypt(ctx, Pattern(50));
        Result second = Encrypt(ctx, Pattern(50));
        EXPECT_EQ(ToHex(first.data), ToHex(second.data)) << ModeName(mode);
    }
}

TEST(ToviCryptoData, RoundTripsEveryLengthAroundTheBlockEdgesInEveryMode)
{
    for (unsigned algo : {unsigned(ENC_ALG_SEED), unsigned(ENC_ALG_ARIA)}) {
        for (unsigned mode = ENC_MODE_ECB; mode <= ENC_MODE_CFB; ++mode) {
            _ENC_CTX ctx = Keyed(algo, mode);
            for (size_t len = 0; len <= 49; ++len) {
                Bytes plain = Pattern(len, static_cast<unsigned>(len));
                Result enc = Encrypt(ctx, plain);
                Result dec = Decrypt(ctx, enc.data);
                EXPECT_TRUE(enc.ok && dec.ok);
                EXPECT_EQ(ToHex(plain), ToHex(dec.data))
                    << (algo == ENC_ALG_SEED ? "SEED " : "ARIA ") << ModeName(mode) << ", " << len << " bytes";
            }
        }
    }
}

TEST(ToviCryptoData, FailsToDecryptPaddedDataThatIsNotWholeBlocks)
{
    for (unsigned mode : {unsigned(ENC_MODE_ECB), unsigned(ENC_MODE_CBC)}) {
        for (size_t len : {8u, 17u, 31u}) {
            _ENC_CTX ctx = Keyed(ENC_ALG_SEED, mode);
            Bytes in = Pattern(len);
            unsigned char sentinel = 0;
            unsigned char* out = &sentinel;
            EXPECT_EQ(0u, CToviCrypto::ToviDataDecrypt(&ctx, in.data(), static_cast<int>(len), &out));
            EXPECT_EQ(&sentinel, out) << ModeName(mode) << ", " << len << " bytes";
        }
    }
}

TEST(ToviCryptoData, DecryptsNothingAndPaddingAloneIntoAnEmptyBuffer)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_CBC);
    Result nothing = Decrypt(ctx, Bytes());
    EXPECT_TRUE(nothing.ok);
    EXPECT_EQ(0u, nothing.length);

    Result padding = Decrypt(ctx, Encrypt(ctx, Bytes()).data);
    EXPECT_TRUE(padding.ok);
    EXPECT_EQ(0u, padding.length);

    _ENC_CTX ofb = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    Result empty = Encrypt(ofb, Bytes());
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(0u, empty.length);
}

TEST(ToviCryptoData, FailsTheDecryptionOfABlockWithBrokenPadding)
{
    struct Row {
        const char* what;
        Bytes last;
    };
    Bytes zero = Pattern(16), big = Pattern(16), mixed = Pattern(16), ok = Pattern(16);
    zero[15] = 0;
    big[15] = 17;
    mixed[15] = 3;
    mixed[14] = 3;
    mixed[13] = 4;
    ok[15] = 3;
    ok[14] = 3;
    ok[13] = 3;
    const Row kRows[] = {{"last byte 0", zero}, {"last byte 17", big}, {"padding bytes differ", mixed}};
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_ECB);
    for (const Row& row : kRows) {
        Bytes block = row.last;
        SeedEncrypt(ctx.encRoundKeys, block.data());
        EXPECT_FALSE(Decrypt(ctx, block).ok) << row.what;
    }
    Bytes block = ok;
    SeedEncrypt(ctx.encRoundKeys, block.data());
    Result r = Decrypt(ctx, block);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(13u, r.length);
}

TEST(ToviCryptoData, FailsWithoutTouchingTheOutputForBadArgumentsOrContexts)
{
    Bytes in = Pattern(32);
    _ENC_CTX badMode = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    badMode.mode = 7;
    _ENC_CTX badAlgo = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    badAlgo.algo = 9;
    _ENC_CTX good = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    struct Row {
        const char* what;
        _ENC_CTX* ctx;
        unsigned char* in;
        int len;
    } rows[] = {
        {"unknown mode", &badMode, in.data(), 32},
        {"unknown algorithm", &badAlgo, in.data(), 32},
        {"negative length", &good, in.data(), -1},
        {"null input", &good, nullptr, 32},
        {"null context", nullptr, in.data(), 32},
    };
    for (const Row& row : rows) {
        unsigned char sentinel = 0;
        unsigned char* out = &sentinel;
        EXPECT_EQ(0u, CToviCrypto::ToviDataEncrypt(row.ctx, row.in, row.len, &out)) << row.what;
        EXPECT_EQ(0u, CToviCrypto::ToviDataDecrypt(row.ctx, row.in, row.len, &out)) << row.what;
        EXPECT_EQ(&sentinel, out) << row.what;
    }
}

// ---- Mode steps ----

TEST(ToviCryptoSteps, OfbHoldsBackTheBytesOfAPartialBlock)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    Bytes plain = Pattern(40), cipher(40), back(40);
    unsigned long n = 0;
    Steps::Tovi_EncInit(&ctx);
    EXPECT_EQ(0u, Steps::Tovi_EncUpdate(&ctx, plain.data(), 40, cipher.data(), &n));
    EXPECT_EQ(32u, n);
    EXPECT_EQ(8u, ctx.pendingLen);
    EXPECT_EQ(0u, Steps::Tovi_EncFinal(&ctx, cipher.data() + 32, &n));
    EXPECT_EQ(8u, n);

    Steps::Tovi_DecInit(&ctx);
    EXPECT_EQ(0u, Steps::Tovi_DecUpdate(&ctx, cipher.data(), 40, back.data(), &n));
    EXPECT_EQ(32u, n);
    EXPECT_EQ(0u, Steps::Tovi_DecFinal(&ctx, back.data() + 32, &n));
    EXPECT_EQ(8u, n);
    EXPECT_EQ(ToHex(plain), ToHex(back));
}

TEST(ToviCryptoSteps, DecryptionKeepsTheLastWholeBlockForTheFinalStep)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    Bytes cipher = Encrypt(ctx, Pattern(32)).data, back(32);
    unsigned long n = 0;
    Steps::Tovi_DecInit(&ctx);
    EXPECT_EQ(0u, Steps::Tovi_DecUpdate(&ctx, cipher.data(), 32, back.data(), &n));
    EXPECT_EQ(16u, n);
    EXPECT_EQ(0u, Steps::Tovi_DecFinal(&ctx, back.data() + 16, &n));
    EXPECT_EQ(16u, n);
    EXPECT_EQ(ToHex(Pattern(32)), ToHex(back));
}

TEST(ToviCryptoSteps, GiveTheWholeBufferResultWhateverPiecesTheInputComesIn)
{
    for (unsigned mode = ENC_MODE_ECB; mode <= ENC_MODE_CFB; ++mode) {
        _ENC_CTX ctx = Keyed(ENC_ALG_ARIA, mode, 192);
        Bytes plain = Pattern(100);
        Result whole = Encrypt(ctx, plain);
        for (size_t piece : {1u, 7u, 16u, 33u}) {
            Bytes out(whole.length + 16);
            unsigned long total = 0, n = 0;
            Steps::Tovi_EncInit(&ctx);
            for (size_t at = 0; at < plain.size(); at += piece) {
                unsigned long len = static_cast<unsigned long>(std::min(piece, plain.size() - at));
                ASSERT_EQ(0u, Steps::Tovi_EncUpdate(&ctx, plain.data() + at, len, out.data() + total, &n));
                total += n;
            }
            ASSERT_EQ(0u, Steps::Tovi_EncFinal(&ctx, out.data() + total, &n));
            total += n;
            out.resize(total);
            EXPECT_EQ(ToHex(whole.data), ToHex(out)) << ModeName(mode) << " in pieces of " << piece;

            Bytes back(total + 16);
            unsigned long backLen = 0;
            Steps::Tovi_DecInit(&ctx);
            for (size_t at = 0; at < out.size(); at += piece) {
                unsigned long len = static_cast<unsigned long>(std::min(piece, out.size() - at));
                ASSERT_EQ(0u, Steps::Tovi_DecUpdate(&ctx, out.data() + at, len, back.data() + backLen, &n));
                backLen += n;
            }
            ASSERT_EQ(0u, Steps::Tovi_DecFinal(&ctx, back.data() + backLen, &n));
            back.resize(backLen + n);
            EXPECT_EQ(ToHex(plain), ToHex(back)) << ModeName(mode) << " in pieces of " << piece;
        }
    }
}

TEST(ToviCryptoSteps, RefuseTheSameBufferForInputAndOutputOnlyWithAWholeBlockToWrite)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_CBC);
    Bytes buf = Pattern(17);
    unsigned long n = 99;

    Steps::Tovi_EncInit(&ctx);
    EXPECT_EQ(0u, Steps::Tovi_EncUpdate(&ctx, buf.data(), 15, buf.data(), &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(kErrMode, Steps::Tovi_EncUpdate(&ctx, buf.data(), 1, buf.data(), &n));

    Steps::Tovi_DecInit(&ctx);
    EXPECT_EQ(0u, Steps::Tovi_DecUpdate(&ctx, buf.data(), 16, buf.data(), &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(kErrMode, Steps::Tovi_DecUpdate(&ctx, buf.data(), 1, buf.data(), &n));
}

TEST(ToviCryptoSteps, RefuseAnUnknownMode)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    ctx.mode = 5;
    Bytes in = Pattern(32), out(48);
    unsigned long n = 0;
    EXPECT_EQ(kErrMode, Steps::Tovi_EncUpdate(&ctx, in.data(), 32, out.data(), &n));
    EXPECT_EQ(kErrMode, Steps::Tovi_DecUpdate(&ctx, in.data(), 32, out.data(), &n));
    EXPECT_EQ(kErrMode, Steps::Tovi_EncFinal(&ctx, out.data(), &n));
    EXPECT_EQ(kErrMode, Steps::Tovi_DecFinal(&ctx, out.data(), &n));
}

TEST(ToviCryptoSteps, BlockModeFinalsReportPendingBytesWithoutPaddingAndHeldPartialBlocks)
{
    Bytes in = Pattern(24), out(48);
    unsigned long n = 99;

    _ENC_CTX unpadded = Keyed(ENC_ALG_SEED, ENC_MODE_ECB);
    unpadded.padType = ENC_PAD_NONE;
    Steps::Tovi_EncInit(&unpadded);
    EXPECT_EQ(0u, Steps::Tovi_EncUpdate(&unpadded, in.data(), 16, out.data(), &n));
    EXPECT_EQ(0u, Steps::Tovi_EncFinal(&unpadded, out.data(), &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(0u, Steps::Tovi_EncUpdate(&unpadded, in.data(), 8, out.data(), &n));
    EXPECT_EQ(kErrPending, Steps::Tovi_EncFinal(&unpadded, out.data(), &n));

    _ENC_CTX oddPad = Keyed(ENC_ALG_SEED, ENC_MODE_CBC);
    oddPad.padType = 3;
    Steps::Tovi_EncInit(&oddPad);
    EXPECT_EQ(kErrMode, Steps::Tovi_EncFinal(&oddPad, out.data(), &n));

    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_ECB);
    Steps::Tovi_DecInit(&ctx);
    EXPECT_EQ(0u, Steps::Tovi_DecFinal(&ctx, out.data(), &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(0u, Steps::Tovi_DecUpdate(&ctx, in.data(), 8, out.data(), &n));
    EXPECT_EQ(kErrFinal, Steps::Tovi_DecFinal(&ctx, out.data(), &n));
    EXPECT_EQ(16u, n);
}

TEST(ToviCryptoPadding, SetsAndChecksBlockPadding)
{
    unsigned char buf[16];
    std::memset(buf, 0xee, sizeof(buf));
    EXPECT_EQ(6u, Steps::PaddSet(buf, 10, 16, ENC_PAD_BLOCK));
    EXPECT_EQ(0xee, buf[9]);
    for (int i = 10; i < 16; ++i)
        EXPECT_EQ(6, buf[i]) << "byte " << i;
    EXPECT_EQ(6u, Steps::PaddCheck(buf, 16, ENC_PAD_BLOCK));
}

TEST(ToviCryptoPadding, AnswersEachPaddingKindAsDocumented)
{
    unsigned char good[16], zero[16], big[16], mixed[16];
    std::memset(good, 4, 16);
    std::memset(zero, 0, 16);
    std::memset(big, 17, 16);
    std::memset(mixed, 5, 16);
    mixed[12] = 6;
    const struct {
        const char* what;
        unsigned long result;
        unsigned long expected;
    } kRows[] = {
        {"set, no padding, nothing pending", Steps::PaddSet(good, 0, 16, ENC_PAD_NONE), 0},
        {"set, no padding, bytes pending", Steps::PaddSet(good, 3, 16, ENC_PAD_NONE), ENC_ERR_PENDING},
        {"set, unknown kind", Steps::PaddSet(good, 3, 16, 3), ENC_ERR_MODE},
        {"set, data longer than the block", Steps::PaddSet(good, 17, 16, ENC_PAD_BLOCK), ENC_ERR_MODE},
        {"check, no padding", Steps::PaddCheck(good, 16, ENC_PAD_NONE), 0},
        {"check, unknown kind", Steps::PaddCheck(good, 16, 7), ENC_ERR_MODE},
        {"check, last byte 0", Steps::PaddCheck(zero, 16, ENC_PAD_BLOCK), ENC_ERR_PADDING},
        {"check, last byte above the length", Steps::PaddCheck(big, 16, ENC_PAD_BLOCK), ENC_ERR_PADDING},
        {"check, padding bytes differ", Steps::PaddCheck(mixed, 16, ENC_PAD_BLOCK), ENC_ERR_PADDING},
        {"check, good padding", Steps::PaddCheck(good, 16, ENC_PAD_BLOCK), 4},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(row.expected, row.result) << row.what;
}

// ---- Files ----

class ToviCryptoFiles : public ::testing::Test {
protected:
    void SetUp() override { m_dir = testpaths::ScratchDir(L"ToviCryptoTest"); }

    CString Path(const wchar_t* name) const { return CString((m_dir + L"\\" + name).c_str()); }

    void Write(const wchar_t* name, const Bytes& data) const
    {
        CFile f;
        ASSERT_TRUE(f.Open(Path(name), CFile::modeCreate | CFile::modeWrite));
        ASSERT_TRUE(f.Write(data.data(), static_cast<UINT>(data.size())));
        f.Close();
    }

    Bytes Read(const wchar_t* name) const
    {
        CFile f;
        if (!f.Open(Path(name), CFile::modeRead | CFile::shareDenyNone))
            return Bytes();
        Bytes data(static_cast<size_t>(f.GetLength()));
        if (!data.empty())
            f.Read(data.data(), static_cast<UINT>(data.size()));
        return data;
    }

    bool Exists(const wchar_t* name) const { return GetFileAttributesW(Path(name)) != INVALID_FILE_ATTRIBUTES; }

    // Every name in the scratch folder, so that a test sees leftovers such as temporary files.
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((m_dir + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

    std::wstring m_dir;
};

TEST_F(ToviCryptoFiles, EncryptsA130001ByteFileInPiecesOf65000AndDecryptsItBack)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    Bytes plain = Pattern(130001);
    Write(L"plain.bin", plain);

    ASSERT_EQ(0, CToviCrypto::ToviFileEncrypt(&ctx, Path(L"plain.bin"), Path(L"cipher.bin")));
    Bytes expected;
    for (size_t at = 0; at < plain.size(); at += 65000) {
        Bytes piece(plain.begin() + at, plain.begin() + std::min(plain.size(), at + 65000));
        Bytes enc = Encrypt(ctx, piece).data;
        expected.insert(expected.end(), enc.begin(), enc.end());
    }
    Bytes cipher = Read(L"cipher.bin");
    EXPECT_EQ(130001u, cipher.size());
    EXPECT_TRUE(cipher == expected) << "the file is not the three pieces enciphered from the iv";

    ASSERT_EQ(0, CToviCrypto::ToviFileDecrypt(&ctx, Path(L"cipher.bin"), Path(L"back.bin")));
    EXPECT_TRUE(filebytes::Same(plain, Read(L"back.bin")));
}

TEST_F(ToviCryptoFiles, RoundTripsFilesInThePaddedModesPieceForPiece)
{
    const struct {
        unsigned mode;
        const wchar_t* plain;
        const wchar_t* cipher;
        const wchar_t* back;
    } kRows[] = {
        {ENC_MODE_ECB, L"ecb-plain.bin", L"ecb-cipher.bin", L"ecb-back.bin"},
        {ENC_MODE_CBC, L"cbc-plain.bin", L"cbc-cipher.bin", L"cbc-back.bin"},
    };
    for (const auto& row : kRows) {
        _ENC_CTX ctx = Keyed(ENC_ALG_ARIA, row.mode, 256);
        Bytes plain = Pattern(130001, row.mode);
        Write(row.plain, plain);
        ASSERT_EQ(0, CToviCrypto::ToviFileEncrypt(&ctx, Path(row.plain), Path(row.cipher))) << ModeName(row.mode);
        // 65,000 + 65,000 + 1 bytes, each piece padded to whole blocks
        EXPECT_EQ(65008u + 65008u + 16u, Read(row.cipher).size()) << ModeName(row.mode);
        ASSERT_EQ(0, CToviCrypto::ToviFileDecrypt(&ctx, Path(row.cipher), Path(row.back))) << ModeName(row.mode);
        EXPECT_TRUE(filebytes::Same(plain, Read(row.back))) << ModeName(row.mode);
    }
}

TEST_F(ToviCryptoFiles, EncryptsAnEmptyFileIntoAnEmptyFile)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_CBC);
    Write(L"empty.bin", Bytes());
    EXPECT_EQ(0, CToviCrypto::ToviFileEncrypt(&ctx, Path(L"empty.bin"), Path(L"cipher.bin")));
    EXPECT_TRUE(Exists(L"cipher.bin"));
    EXPECT_TRUE(Read(L"cipher.bin").empty());
}

TEST_F(ToviCryptoFiles, RefusesToEncryptOntoAnExistingFileAndLeavesItUnchanged)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    Write(L"plain.bin", Pattern(1000));
    Write(L"cipher.bin", FromText("keep me"));
    EXPECT_EQ(-1, CToviCrypto::ToviFileEncrypt(&ctx, Path(L"plain.bin"), Path(L"cipher.bin")));
    EXPECT_TRUE(filebytes::Same(FromText("keep me"), Read(L"cipher.bin")));
    EXPECT_EQ(2u, Names().size());
}

TEST_F(ToviCryptoFiles, ReplacesAnExistingDestinationWhenDecrypting)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    Bytes plain = Pattern(70000);
    Write(L"plain.bin", plain);
    ASSERT_EQ(0, CToviCrypto::ToviFileEncrypt(&ctx, Path(L"plain.bin"), Path(L"cipher.bin")));
    Write(L"back.bin", FromText("old contents that are longer than nothing"));
    EXPECT_EQ(0, CToviCrypto::ToviFileDecrypt(&ctx, Path(L"cipher.bin"), Path(L"back.bin")));
    EXPECT_TRUE(filebytes::Same(plain, Read(L"back.bin")));
    EXPECT_EQ(3u, Names().size());
}

TEST_F(ToviCryptoFiles, FailsDecryptionWhenAPieceFailsAndLeavesTheDestinationAlone)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_CBC);
    Write(L"plain.bin", Pattern(130001));
    ASSERT_EQ(0, CToviCrypto::ToviFileEncrypt(&ctx, Path(L"plain.bin"), Path(L"cipher.bin")));
    Bytes damaged = Read(L"cipher.bin");
    damaged.pop_back(); // the last piece is no longer whole blocks
    Write(L"damaged.bin", damaged);
    Write(L"back.bin", FromText("previous"));

    EXPECT_EQ(-1, CToviCrypto::ToviFileDecrypt(&ctx, Path(L"damaged.bin"), Path(L"back.bin")));
    EXPECT_TRUE(filebytes::Same(FromText("previous"), Read(L"back.bin")));
    EXPECT_EQ(-1, CToviCrypto::ToviFileDecrypt(&ctx, Path(L"damaged.bin"), Path(L"new.bin")));
    EXPECT_FALSE(Exists(L"new.bin"));
    EXPECT_EQ(4u, Names().size()) << "a temporary file was left behind";
}

TEST_F(ToviCryptoFiles, FailsEncryptionWhenAPieceFailsAndCreatesNoDestination)
{
    // Block mode without padding: a piece that is not whole blocks cannot be encrypted.
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_ECB);
    ctx.padType = ENC_PAD_NONE;
    Write(L"plain.bin", Pattern(100));
    EXPECT_EQ(-1, CToviCrypto::ToviFileEncrypt(&ctx, Path(L"plain.bin"), Path(L"cipher.bin")));
    EXPECT_FALSE(Exists(L"cipher.bin"));
    EXPECT_EQ(1u, Names().size()) << "a temporary file was left behind";
}

TEST_F(ToviCryptoFiles, FailsForAMissingSource)
{
    _ENC_CTX ctx = Keyed(ENC_ALG_SEED, ENC_MODE_OFB);
    EXPECT_EQ(-1, CToviCrypto::ToviFileEncrypt(&ctx, Path(L"none.bin"), Path(L"cipher.bin")));
    EXPECT_EQ(-1, CToviCrypto::ToviFileDecrypt(&ctx, Path(L"none.bin"), Path(L"back.bin")));
    EXPECT_TRUE(Names().empty());
}

}
