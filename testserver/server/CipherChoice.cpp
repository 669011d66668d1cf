// What an A0 reply announces: algorithm, mode and key bits, with their names for the control channel.
#include "CipherChoice.h"
#include <cstdio>

namespace tovisrv {

std::string CipherChoice::Name() const
{
    const char* a = algo == kAlgoSeed ? "seed" : algo == kAlgoAria ? "aria" : nullptr;
    const char* m = mode == kModeOfb ? "ofb" : mode == kModeCfb ? "cfb"
                  : mode == kModeEcb ? "ecb" : mode == kModeCbc ? "cbc" : nullptr;
    if (a && m && (bits == 128 || bits == 192 || bits == 256))
        return std::string(a) + "-" + std::to_string(bits) + "-" + m;
    return "raw-" + std::to_string(algo) + "-" + std::to_string(mode) + "-" + std::to_string(bits);
}

bool CipherChoice::Parse(const std::string& name, CipherChoice& out)
{
    char a[8] = {}, m[8] = {};
    int bits = 0;
    char extra = 0;
    CipherChoice desc;
    if (std::sscanf(name.c_str(), "%7[a-z]-%d-%7[a-z]%c", a, &bits, m, &extra) == 3) {
        desc.bits = bits;
    } else if (std::sscanf(name.c_str(), "%7[a-z]-%7[a-z]%c", a, m, &extra) == 2 &&
               std::string(a) == "seed") {
        desc.bits = 128;
    } else {
        return false;
    }
    const std::string as(a), ms(m);
    if (as == "seed") desc.algo = kAlgoSeed;
    else if (as == "aria") desc.algo = kAlgoAria;
    else return false;
    if (ms == "ofb") desc.mode = kModeOfb;
    else if (ms == "cfb") desc.mode = kModeCfb;
    else if (ms == "ecb") desc.mode = kModeEcb;
    else if (ms == "cbc") desc.mode = kModeCbc;
    else return false;
    if (desc.bits != 128 && desc.bits != 192 && desc.bits != 256)
        return false;
    out = desc;
    return true;
}

std::vector<CipherChoice> CipherChoice::SessionSpecs()
{
    std::vector<CipherChoice> all;
    for (int mode : {kModeOfb, kModeCfb})
        all.push_back({kAlgoSeed, mode, 128});
    for (int bits : {128, 192, 256})
        for (int mode : {kModeOfb, kModeCfb})
            all.push_back({kAlgoAria, mode, bits});
    return all;
}

}
