// The client's stored-data cipher made with OpenSSL, independent of the client's own code:
// SEED-128 in OFB mode, key from the pass phrase "tivrepolusak4827", every 65,000-byte piece
// enciphered from the fixed initialisation vector.
#pragma once
#include <string>

namespace httpfixture {

// The 16 key bytes derived from a pass phrase (salted MD5, then three more MD5 rounds).
std::string DeriveStoredKey(const std::string& passPhrase);
// Enciphers (or deciphers: OFB is its own inverse) data as the client's file pieces do.
// False when OpenSSL has no SEED.
bool StoredCipher(const std::string& in, std::string& out);

}
