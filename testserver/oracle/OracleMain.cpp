// oracle: writes the client's cipher and digest vectors, or answers one question in hex so that
// a script can compare the client with OpenSSL on random input.
#include "ByteSource.h"
#include "VectorWriter.h"
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace oracle;

namespace {

const char kUsage[] =
    "usage: oracle vectors FILE                        write the vector file\n"
    "       oracle enc|dec ALG MODE BITS PASS HEX      whole-buffer operation from the IV\n"
    "       oracle fenc|fdec ALG MODE BITS PASS HEX    65,000-byte pieces, each from the IV\n"
    "       oracle key ALG BITS PASS                   the client's cipher key\n"
    "       oracle md5|sha1|sha256|crc32 HEX           digest of the bytes\n"
    "       oracle randkey TEXT                        upper-case hex of MD5(salt, TEXT)\n"
    "ALG SEED|ARIA; MODE ECB|CBC|OFB|CFB; BITS 128|192|256 (SEED is always 128);\n"
    "PASS and TEXT as typed; HEX may be '-' for no bytes. Results print as one line of hex.\n";

int Usage()
{
    fputs(kUsage, stderr);
    return 2;
}

bool ParseSpec(const char* alg, const char* mode, const char* bits, CipherChoice* desc)
{
    desc->bits = atoi(bits);
    if (!ParseAlg(alg, &desc->alg) || !ParseMode(mode, &desc->mode)) return false;
    if (desc->alg == Alg::Seed) desc->bits = 128;
    return desc->bits == 128 || desc->bits == 192 || desc->bits == 256;
}

int Print(const Bytes& data)
{
    printf("%s\n", data.empty() ? "" : ToHex(data).c_str());
    return 0;
}

int RunCipher(const std::string& cmd, char** argv)
{
    CipherChoice desc;
    Bytes in, out;
    if (!ParseSpec(argv[0], argv[1], argv[2], &desc) || !FromHex(argv[4], &in)) return Usage();
    Bytes key = ClientKey(desc, argv[3]);
    bool encrypt = cmd == "enc" || cmd == "fenc";
    bool ok = cmd[0] == 'f' ? CryptPieces(desc, key, in, encrypt, &out) : Crypt(desc, key, in, encrypt, &out);
    if (!ok) {
        fputs("oracle: OpenSSL refused the operation (bad padding or length)\n", stderr);
        return 1;
    }
    return Print(out);
}

int RunDigest(const std::string& cmd, const char* hex)
{
    Bytes in;
    if (!FromHex(hex, &in)) return Usage();
    if (cmd == "md5") return Print(Md5(in));
    if (cmd == "sha1") return Print(Sha1(in));
    if (cmd == "sha256") return Print(Sha256(in));
    printf("%08x\n", Crc32(0, in.data(), in.size()));
    return 0;
}

}

int main(int argc, char** argv)
{
    if (argc < 2) return Usage();
    if (!LoadProviders()) {
        fputs("oracle: OpenSSL's legacy or default provider is missing\n", stderr);
        return 1;
    }
    std::string cmd = argv[1];
    if (cmd == "vectors" && argc == 3) return WriteVectorFile(argv[2]) ? 0 : 1;
    if ((cmd == "enc" || cmd == "dec" || cmd == "fenc" || cmd == "fdec") && argc == 7) return RunCipher(cmd, argv + 2);
    if (cmd == "key" && argc == 5) {
        CipherChoice desc;
        if (!ParseSpec(argv[2], "OFB", argv[3], &desc)) return Usage();
        return Print(ClientKey(desc, argv[4]));
    }
    if ((cmd == "md5" || cmd == "sha1" || cmd == "sha256" || cmd == "crc32") && argc == 3) return RunDigest(cmd, argv[2]);
    if (cmd == "randkey" && argc == 3) {
        printf("%s\n", RandkeyHex(argv[2]).c_str());
        return 0;
    }
    return Usage();
}
