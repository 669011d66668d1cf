// Key derivation and the session ciphers, against cross-check vectors made with Python
// hashlib and the openssl command line from the key-derivation rule.
#include "SessionCipher.h"
#include "TestWire.h"
#include <gtest/gtest.h>

using namespace tovisrv;

namespace {
const std::string kPhrase = "0123456789ABCDEF0123456789ABCDEF";

std::string Counting(size_t n)
{
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<char>(i);
    return out;
}
}

TEST(SessionCipher, DerivesTheKeyOfEachCipherFromThePassPhrase)
{
    const struct { const char* desc; const char* key; } rows[] = {
        {"seed-128-ofb", "ca650688e78a7e75a07872f47f95e632"},
        {"seed-256-cfb", "ca650688e78a7e75a07872f47f95e632"},   // SEED is keyed with 128 bits whatever is announced
        {"aria-128-ofb", "89b4b03191e75c45c5cbce76d679ce00"},
        {"aria-192-ofb", "86a5285dee999caaa195342c79e6f1e786a5285dee999caa"},
        {"aria-256-cfb", "86a5285dee999caaa195342c79e6f1e786a5285dee999caaa195342c79e6f1e7"},
    };
    for (const auto& row : rows) {
        CipherChoice desc;
        ASSERT_TRUE(CipherChoice::Parse(row.desc, desc));
        EXPECT_EQ(testwire::Hex(CSessionCipher::KeyFor(desc, kPhrase)), row.key) << row.desc;
    }
}

TEST(SessionCipher, DerivesTheStoredDataKey)
{
    EXPECT_EQ(testwire::Hex(CSessionCipher::DeriveKeyMd5(3, "tivrepolusak4827")), "32821447c1513d31c6e9950e71ccc3e4");
}

TEST(SessionCipher, ReadsThePassPhraseUpToItsFirstZeroByte)
{
    EXPECT_EQ(CSessionCipher::DeriveKeyMd5(2, std::string("abc\0def", 7)), CSessionCipher::DeriveKeyMd5(2, "abc"));
}

TEST(SessionCipher, EnciphersFromTheIvLikeTheReferenceVectors)
{
    const struct { const char* desc; const char* cipherText; } rows[] = {
        {"seed-128-ofb", "328d64686d9ddb40c02640ef40b57af196dc88c9664efa45f1050f9e988e9fdb9be3e3761894768c"},
        {"seed-128-cfb", "328d64686d9ddb40c02640ef40b57af1eed72ecdd1764c0220b672a0f9c897e02790002e217f7d91"},
        {"aria-128-ofb", "296f92848199f4524fd3ba95fd265776771693ca1f22ed09848aa9cfb758337fe4b3e82bbd930daf"},
        {"aria-128-cfb", "296f92848199f4524fd3ba95fd265776f942815d23cae64740ddbf27de15e7986e7a760b7fb94f01"},
        {"aria-192-ofb", "93deaa44e94bbb8e246087ebdcdf0e04ba8d83994194aef264175aa72a8f6e2fbad38e8131177e34"},
        {"aria-256-cfb", "93f2428e610e802ecc76e12aaf96c221019aec69610b0151e8219a4840c0df213157dc93ade199d7"},
    };
    for (const auto& row : rows) {
        CipherChoice desc;
        ASSERT_TRUE(CipherChoice::Parse(row.desc, desc));
        CSessionCipher cipher;
        ASSERT_TRUE(cipher.Key(desc, kPhrase)) << row.desc;
        std::string data = Counting(40);
        ASSERT_TRUE(cipher.Encrypt(data));
        EXPECT_EQ(testwire::Hex(data), row.cipherText) << row.desc;
        ASSERT_TRUE(cipher.Decrypt(data));
        EXPECT_EQ(data, Counting(40)) << row.desc;
    }
}

TEST(SessionCipher, StartsEveryMessageFromTheIv)
{
    CSessionCipher cipher;
    ASSERT_TRUE(cipher.Key({kAlgoAria, kModeCfb, 128}, kPhrase));
    std::string first = "same text", second = "same text";
    ASSERT_TRUE(cipher.Encrypt(first));
    ASSERT_TRUE(cipher.Encrypt(second));
    EXPECT_EQ(first, second);
}

TEST(SessionCipher, EnciphersFileDataInPiecesOf65000Bytes)
{
    // A few pieces, and a whole frame's 32 and a bit (shared unevenly among the threads).
    for (const size_t size : {size_t(2 * 65000 + 17), size_t(32 * 65000 + 5)}) {
        for (const CipherChoice& desc : CipherChoice::SessionSpecs()) {
            CSessionCipher cipher;
            ASSERT_TRUE(cipher.Key(desc, kPhrase));
            const std::string plain = testwire::Pattern(0, size);
            std::string data = plain;
            ASSERT_TRUE(cipher.EncryptPieces(data));
            const std::string name = testwire::CipherName(desc.algo, desc.mode, desc.bits);
            const std::string key = testwire::DeriveKey(desc.algo, desc.bits, kPhrase);
            // Each piece alone deciphers from the IV.
            for (size_t at = 0; at < size; at += 65000)
                EXPECT_EQ(testwire::Crypt(name, key, data.substr(at, 65000), false), plain.substr(at, 65000))
                    << desc.Name() << " size " << size << " piece at " << at;
            ASSERT_TRUE(cipher.DecryptPieces(data));
            EXPECT_EQ(data, plain) << desc.Name() << " size " << size;
        }
    }
}

TEST(SessionCipher, RefusesModesThatWouldChangeTheFrameLength)
{
    CSessionCipher cipher;
    EXPECT_FALSE(cipher.Key({kAlgoSeed, kModeEcb, 128}, kPhrase));
    EXPECT_FALSE(cipher.Key({kAlgoAria, kModeCbc, 128}, kPhrase));
    EXPECT_FALSE(cipher.Key({kAlgoAria, kModeOfb, 100}, kPhrase));
    EXPECT_FALSE(cipher.Key({3, kModeOfb, 128}, kPhrase));
    std::string data = "x";
    EXPECT_FALSE(cipher.Encrypt(data));
}

TEST(SessionCipher, RekeysWithTheSameAlgorithmModeAndBits)
{
    CSessionCipher cipher;
    ASSERT_TRUE(cipher.Key({kAlgoAria, kModeOfb, 192}, kPhrase));
    const std::string fileKey = "FILEKEY0FILEKEY0FILEKEY0FILEKEY0";
    ASSERT_TRUE(cipher.Rekey(fileKey));
    EXPECT_EQ(cipher.Choice(), (CipherChoice{kAlgoAria, kModeOfb, 192}));
    std::string data = "after the header";
    ASSERT_TRUE(cipher.Encrypt(data));
    EXPECT_EQ(testwire::Crypt("ARIA-192-OFB", testwire::DeriveKey(2, 192, fileKey), data, false), "after the header");
}
