// Connection commands: A0, the key exchange that every connection starts with.
#include "CommandTable.h"
#include "Exchange.h"
#include <openssl/rand.h>

namespace tovisrv {

namespace {

// 32 printable characters: the client reads the phrase up to its first zero byte.
std::string NewPassPhrase()
{
    unsigned char random[16];
    if (RAND_bytes(random, sizeof random) != 1)
        throw std::runtime_error("no random bytes for a pass phrase");
    return EncodeHex(std::string(reinterpret_cast<char*>(random), sizeof random));
}

// Any set-up code (220) is accepted; refusing A0 would need an E reply the client can only
// take as a lost connection.
void HandleA0(CExchange& exchange)
{
    CConnection& connection = exchange.Connection();
    const CipherChoice desc = exchange.State().NextCipher();
    const std::string phrase = NewPassPhrase();
    // Keyed and noted before the reply goes out: whoever reads the reply may ask about it.
    exchange.State().NoteCipher(desc, phrase);
    const bool keyed = connection.Cipher().Key(desc, phrase);
    if (!keyed)
        connection.Cipher().Clear();   // announced on purpose (a raw policy): nothing enciphered can follow
    connection.Log("A0: " + desc.Name() + (keyed ? "" : " announced; no session cipher"));
    Record reply;
    reply[21] = std::to_string(desc.algo);
    reply[22] = std::to_string(desc.mode);
    reply[3] = std::to_string(desc.bits);
    reply[9] = phrase;
    exchange.ReplyClear({reply});
}

const CCommandFamily kConnectionCommands{
    {"A0", HandleA0},
};

}

}
