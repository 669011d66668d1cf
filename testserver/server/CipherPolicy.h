// Which cipher the next A0 reply announces: one fixed spec, or a rotation over several.
#pragma once
#include "CipherSpec.h"
#include <string>
#include <vector>

namespace tovisrv {

class CCipherPolicy {
public:
    CCipherPolicy();   // rotation over every session spec

    // "rotate" (every session spec), "rotate NAME,NAME,...", "fixed NAME" or just NAME, and
    // "raw ALGO MODE BITS" (numbers as sent, e.g. "raw 1 1 128" announces SEED-ECB, which
    // the client must refuse). Unchanged on failure.
    bool Parse(const std::string& text, std::string& error);
    CipherSpec Next();
    std::string Text() const;

private:
    std::vector<CipherSpec> m_specs;
    bool m_rotate = true;
    bool m_raw = false;
    size_t m_next = 0;
};

}
