// A connection's session cipher on OpenSSL: MD5 key derivation, whole-buffer and per-piece calls.
#pragma once
#include "CipherChoice.h"
#include <string>

namespace tovisrv {

class CSessionCipher {
public:
    static const char kIv[17];     // "TorvelNexaBrisk!", the same for every algorithm and use
    static const char kSalt[17];   // "MeadowLarkSpiral"

    // SEED lives in OpenSSL 3's legacy provider. Safe to call often and from any thread;
    // false when a provider cannot be loaded.
    static bool LoadProviders();

    // D = MD5(salt | phrase up to its first zero byte), then `count` times D = MD5(D).
    static std::string DeriveKeyMd5(int count, const std::string& phrase);
    // The key a desc takes from a pass phrase; empty when the desc cannot key a session.
    static std::string KeyFor(const CipherChoice& desc, const std::string& phrase);
    // Only OFB and CFB keep the frame length; ECB and CBC are refused.
    static bool IsSessionSpec(const CipherChoice& desc);

    bool Key(const CipherChoice& desc, const std::string& phrase);
    // The download re-key: same algorithm, mode and bits, another phrase.
    bool Rekey(const std::string& phrase) { return Key(m_spec, phrase); }
    void Clear() { m_key.clear(); }
    bool IsKeyed() const { return !m_key.empty(); }
    const CipherChoice& Choice() const { return m_spec; }

    // Whole buffer in place, starting from the IV; false on failure or when not keyed.
    bool Encrypt(std::string& data) const { return Run(Bytes(data), data.size(), true); }
    bool Decrypt(std::string& data) const { return Run(Bytes(data), data.size(), false); }
    // File data: consecutive 65,000-byte pieces, each from the IV. A frame of several pieces
    // is shared among a few threads, so that the server keeps up with a client that gives its
    // cipher a whole core.
    bool EncryptPieces(std::string& data) const { return RunPieces(Bytes(data), data.size(), true); }
    bool DecryptPieces(std::string& data) const { return RunPieces(Bytes(data), data.size(), false); }

private:
    static unsigned char* Bytes(std::string& data) { return reinterpret_cast<unsigned char*>(&data[0]); }
    bool Run(unsigned char* data, size_t length, bool encrypt) const;
    bool RunPieces(unsigned char* data, size_t length, bool encrypt) const;

    CipherChoice m_spec;
    std::string m_key;
};

}
