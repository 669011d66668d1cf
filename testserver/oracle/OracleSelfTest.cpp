// Proves the oracle itself: OpenSSL with the legacy provider meets the published SEED, ARIA and
// digest vectors, and the client's key derivation gives the project's cross-check values.
#include "ByteSource.h"
#include <cstdio>
#include <cstring>

using namespace oracle;

namespace {

int g_failures = 0;

void Check(const char* what, const std::string& expected, const std::string& actual)
{
    if (expected == actual) return;
    ++g_failures;
    fprintf(stderr, "FAIL %s\n  expected %s\n  actual   %s\n", what, expected.c_str(), actual.c_str());
}

Bytes Hex(const char* text)
{
    Bytes b;
    if (!FromHex(text, &b)) fprintf(stderr, "bad hex in table: %s\n", text);
    return b;
}

Bytes Text(const char* text) { return Bytes(text, text + strlen(text)); }

// One block through ECB: the first 16 bytes of the padded whole-buffer result.
std::string EncryptBlock(const CipherChoice& desc, const char* key, const char* plain)
{
    Bytes out;
    if (!Crypt(desc, Hex(key), Hex(plain), true, &out) || out.size() != 32) return "(failed)";
    out.resize(16);
    return ToHex(out);
}

void BlockCiphersMeetTheirStandards()
{
    struct Row {
        const char* source;
        CipherChoice desc;
        const char* key;
        const char* plain;
        const char* cipher;
    };
    const Row rows[] = {
        {"RFC 4269 B.1", {Alg::Seed, 128, Mode::Ecb}, "00000000000000000000000000000000",
         "000102030405060708090a0b0c0d0e0f", "5ebac6e0054e166819aff1cc6d346cdb"},
        {"RFC 4269 B.2", {Alg::Seed, 128, Mode::Ecb}, "000102030405060708090a0b0c0d0e0f",
         "00000000000000000000000000000000", "c11f22f20140505084483597e4370f43"},
        {"RFC 4269 B.3", {Alg::Seed, 128, Mode::Ecb}, "4706480851e61be85d74bfb3fd956185",
         "83a2f8a288641fb9a4e9a5cc2f131c7d", "ee54d13ebcae706d226bc3142cd40d4a"},
        {"RFC 4269 B.4", {Alg::Seed, 128, Mode::Ecb}, "28dbc3bc49ffd87dcfa509b11d422be7",
         "b41e6be2eba84a148e2eed84593c5ec7", "9b9b7bfcd1813cb95d0b3618f40f5122"},
        {"RFC 5794 A.1", {Alg::Aria, 128, Mode::Ecb}, "000102030405060708090a0b0c0d0e0f",
         "00112233445566778899aabbccddeeff", "d718fbd6ab644c739da95f3be6451778"},
        {"RFC 5794 A.2", {Alg::Aria, 192, Mode::Ecb}, "000102030405060708090a0b0c0d0e0f1011121314151617",
         "00112233445566778899aabbccddeeff", "26449c1805dbe7aa25a468ce263a9e79"},
        {"RFC 5794 A.3", {Alg::Aria, 256, Mode::Ecb},
         "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "00112233445566778899aabbccddeeff", "f92bd7c79fb72e2f2b8f80c1972d24fc"},
    };
    for (const Row& r : rows) Check(r.source, r.cipher, EncryptBlock(r.desc, r.key, r.plain));
}

void DigestsMeetTheirStandards()
{
    const char* const k448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    Check("RFC 1321 MD5 empty", "d41d8cd98f00b204e9800998ecf8427e", ToHex(Md5(Text(""))));
    Check("RFC 1321 MD5 abc", "900150983cd24fb0d6963f7d28e17f72", ToHex(Md5(Text("abc"))));
    Check("RFC 1321 MD5 message digest", "f96b697d7cb7938d525a2f31aaf161d0", ToHex(Md5(Text("message digest"))));
    Check("FIPS 180 SHA-1 abc", "a9993e364706816aba3e25717850c26c9cd0d89d", ToHex(Sha1(Text("abc"))));
    Check("FIPS 180 SHA-1 448 bits", "84983e441c3bd26ebaae4aa1f95129e5e54670f1", ToHex(Sha1(Text(k448))));
    Check("FIPS 180 SHA-256 abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
          ToHex(Sha256(Text("abc"))));
    Check("FIPS 180 SHA-256 448 bits", "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
          ToHex(Sha256(Text(k448))));

    Bytes digits = Text("123456789");
    char crc[9];
    snprintf(crc, sizeof crc, "%08x", Crc32(0, digits.data(), digits.size()));
    Check("CRC-32 check value", "cbf43926", crc);
    snprintf(crc, sizeof crc, "%08x", Crc32(Crc32(0, digits.data(), 4), digits.data() + 4, 5));
    Check("CRC-32 carried over two buffers", "cbf43926", crc);
}

// Cross-check values computed for the project with Python hashlib and the openssl command line.
void KeysAndStreamModesMeetTheCrossCheck()
{
    const char* const phrase = "0123456789ABCDEF0123456789ABCDEF";
    Check("SEED key", "ca650688e78a7e75a07872f47f95e632", ToHex(ClientKey({Alg::Seed, 128, Mode::Ofb}, phrase)));
    Check("ARIA-128 key", "89b4b03191e75c45c5cbce76d679ce00", ToHex(ClientKey({Alg::Aria, 128, Mode::Ofb}, phrase)));
    Check("ARIA-192 key", "86a5285dee999caaa195342c79e6f1e786a5285dee999caa",
          ToHex(ClientKey({Alg::Aria, 192, Mode::Ofb}, phrase)));
    Check("ARIA-256 key", "86a5285dee999caaa195342c79e6f1e786a5285dee999caaa195342c79e6f1e7",
          ToHex(ClientKey({Alg::Aria, 256, Mode::Ofb}, phrase)));
    Check("stored-data key", "32821447c1513d31c6e9950e71ccc3e4",
          ToHex(ClientKey({Alg::Seed, 128, Mode::Ofb}, kStoredDataPhrase)));
    Check("randkey abc", "2DD4BC946ADFC13F0A30E94F6AB022C1", RandkeyHex("abc"));

    struct Row {
        CipherChoice desc;
        const char* cipher;
    };
    const Row rows[] = {
        {{Alg::Seed, 128, Mode::Ofb}, "328d64686d9ddb40c02640ef40b57af196dc88c9664efa45f1050f9e988e9fdb9be3e3761894768c"},
        {{Alg::Seed, 128, Mode::Cfb}, "328d64686d9ddb40c02640ef40b57af1eed72ecdd1764c0220b672a0f9c897e02790002e217f7d91"},
        {{Alg::Aria, 128, Mode::Ofb}, "296f92848199f4524fd3ba95fd265776771693ca1f22ed09848aa9cfb758337fe4b3e82bbd930daf"},
        {{Alg::Aria, 128, Mode::Cfb}, "296f92848199f4524fd3ba95fd265776f942815d23cae64740ddbf27de15e7986e7a760b7fb94f01"},
        {{Alg::Aria, 192, Mode::Ofb}, "93deaa44e94bbb8e246087ebdcdf0e04ba8d83994194aef264175aa72a8f6e2fbad38e8131177e34"},
        {{Alg::Aria, 256, Mode::Cfb}, "93f2428e610e802ecc76e12aaf96c221019aec69610b0151e8219a4840c0df213157dc93ade199d7"},
    };
    Bytes plain;
    for (int i = 0; i < 40; ++i) plain.push_back(static_cast<uint8_t>(i));
    for (const Row& r : rows) {
        std::string what = std::string(AlgName(r.desc.alg)) + "-" + std::to_string(r.desc.bits) + "-" + ModeName(r.desc.mode);
        Bytes out;
        Crypt(r.desc, ClientKey(r.desc, phrase), plain, true, &out);
        Check(what.c_str(), r.cipher, ToHex(out));
    }
}

void PaddedModesPadLikeTheClient()
{
    // Sixteen bytes of value 16 after whole blocks; a partial block ends in its padding count.
    CipherChoice ecb{Alg::Aria, 128, Mode::Ecb};
    Bytes key = ClientKey(ecb, "x"), out, plain;
    Crypt(ecb, key, Bytes(), true, &out);
    Bytes sixteen(16, 16), block;
    Crypt(ecb, key, sixteen, true, &block);
    block.resize(16);
    Check("ECB of nothing is one block of padding", ToHex(block), ToHex(out));
    Crypt(ecb, key, Bytes(15, 7), true, &out);
    Crypt(ecb, key, out, false, &plain);
    Check("ECB of 15 bytes comes back", ToHex(Bytes(15, 7)), ToHex(plain));
    Check("a damaged padding is refused", "refused", Crypt(ecb, key, Bytes(16, 0), false, &plain) ? "accepted" : "refused");
}

void GeneratorsAreStable()
{
    Bytes b;
    Expand("gen:1:8", &b);
    Check("gen:1:8", "2101c54fd1d01ab2", ToHex(b));
    Expand("txt:1:8", &b);
    Check("txt:1:8", ToHex(Text("~)bRA)YM")), ToHex(b));
    Expand("rep:61:3", &b);
    Check("rep:61:3", "616161", ToHex(b));
    Check("hex: is empty", "ok", Expand("hex:", &b) && b.empty() ? "ok" : "not");
    Check("seed 0 is refused", "refused", Expand("gen:0:8", &b) ? "accepted" : "refused");
}

}

int main()
{
    if (!LoadProviders()) {
        fputs("FAIL OpenSSL's legacy or default provider is missing\n", stderr);
        return 1;
    }
    BlockCiphersMeetTheirStandards();
    DigestsMeetTheirStandards();
    KeysAndStreamModesMeetTheCrossCheck();
    PaddedModesPadLikeTheClient();
    GeneratorsAreStable();
    if (g_failures) fprintf(stderr, "%d check(s) failed\n", g_failures);
    else puts("all oracle checks passed");
    return g_failures ? 1 : 0;
}
