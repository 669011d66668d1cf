// The tests' own view of the wire, written apart from the server's code: length prefixes,
// records, key derivation and the ciphers straight from OpenSSL.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testwire {

using Fields = std::map<uint8_t, std::string>;

std::string Hex(const std::string& bytes);
std::string Unhex(const std::string& hex);

// Shortest length prefix.
std::string Prefix(uint32_t value);
// A record from fields in the given order (the tests choose the order they mean to send).
std::string Record(const std::vector<std::pair<uint8_t, std::string>>& fields);
std::string Join(const std::vector<std::string>& records);

// 0 when decoded; 7 for a field running past the end, 14 for a bad field length prefix.
int Decode(const std::string& payload, std::vector<Fields>& out);

// The key an A0 reply's fields name, derived as the client does.
std::string DeriveKey(int algo, int bits, const std::string& phrase);
// OpenSSL's name for the session cipher, e.g. "ARIA-192-CFB"; empty for none.
std::string CipherName(int algo, int mode, int bits);
// Whole buffer from the IV "TorvelNexaBrisk!".
std::string Crypt(const std::string& cipherName, const std::string& key, const std::string& data, bool encrypt);
// 65,000-byte pieces, each from the IV.
std::string CryptPieces(const std::string& cipherName, const std::string& key, const std::string& data, bool encrypt);

// i mod 251, the transport test commands' file pattern.
std::string Pattern(uint64_t offset, size_t length);

}
