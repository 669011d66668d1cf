// OpenSSL-backed reference for the client's ciphers, key derivation and digests (test tool only).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace oracle {

using Bytes = std::vector<uint8_t>;

enum class Alg { Seed = 1, Aria = 2 };
enum class Mode { Ecb = 1, Cbc = 2, Ofb = 3, Cfb = 4 };

struct CipherChoice {
    Alg alg;
    int bits;   // SEED is always 128; ARIA 128, 192 or 256
    Mode mode;
};

// Fixed texts of the client, used as 16 raw bytes each.
extern const char kIv[17];
extern const char kSalt[17];
extern const char kStoredDataPhrase[17];
// Files are enciphered in pieces of this size, each from the IV.
constexpr size_t kFilePieceSize = 65000;

// Loads the legacy (SEED) and default providers; false when either is missing.
bool LoadProviders();

const char* AlgName(Alg alg);
const char* ModeName(Mode mode);
bool ParseAlg(const std::string& text, Alg* alg);
bool ParseMode(const std::string& text, Mode* mode);

Bytes Md5(const Bytes& data);
Bytes Sha1(const Bytes& data);
Bytes Sha256(const Bytes& data);
// CRC-32 of IEEE 802.3 (reflected 0xEDB88320), carried on from crc; crc 0 starts afresh.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t len);

// MD5(salt, phrase), then count more MD5 rounds over the 16-byte result.
Bytes DeriveKeyMd5(int count, const std::string& phrase);
// The cipher key as the client builds it for the given cipher (SEED 16 bytes; ARIA 16/24/32).
Bytes ClientKey(const CipherChoice& desc, const std::string& phrase);
// Upper-case hex of MD5(salt, text).
std::string RandkeyHex(const std::string& text);

// One whole-buffer operation starting from the IV: ECB and CBC with block padding, OFB and
// CFB-128 without. Returns false when OpenSSL refuses (a bad padding when deciphering).
bool Crypt(const CipherChoice& desc, const Bytes& key, const Bytes& in, bool encrypt, Bytes* out);
// A whole file: consecutive pieces of kFilePieceSize bytes, each its own whole-buffer operation
// (deciphering ECB or CBC reads pieces of kFilePieceSize + 8, what such a piece encrypts to).
bool CryptPieces(const CipherChoice& desc, const Bytes& key, const Bytes& in, bool encrypt, Bytes* out);

}
