// What an A0 reply announces: algorithm, mode and key bits, with their names for the control channel.
#pragma once
#include <string>
#include <vector>

namespace tovisrv {

constexpr int kAlgoSeed = 1;
constexpr int kAlgoAria = 2;
constexpr int kModeEcb = 1;
constexpr int kModeCbc = 2;
constexpr int kModeOfb = 3;
constexpr int kModeCfb = 4;

struct CipherChoice {
    int algo = kAlgoSeed;
    int mode = kModeOfb;
    int bits = 128;   // as announced; SEED keys with 128 bits whatever this says

    bool operator==(const CipherChoice& o) const { return algo == o.algo && mode == o.mode && bits == o.bits; }
    bool operator!=(const CipherChoice& o) const { return !(*this == o); }

    // "seed-128-ofb", "aria-192-cfb"; anything else as "raw-<algo>-<mode>-<bits>".
    std::string Name() const;
    // Accepts the names above (and "seed-ofb"/"seed-cfb" for SEED-128); false otherwise.
    static bool Parse(const std::string& name, CipherChoice& out);
    // Every combination a session can use: SEED and ARIA-128/192/256, each with OFB and CFB.
    static std::vector<CipherChoice> SessionSpecs();
};

}
