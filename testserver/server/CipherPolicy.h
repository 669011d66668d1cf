// Which cipher the next A0 reply announces: one fixed desc, or a rotation over several.
#pragma once
#include "CipherChoice.h"
#include <string>
#include <vector>

namespace tovisrv {

class CCipherPolicy {
public:
    CCipherPolicy();   // rotation over every session desc

    // "rotate" (every session desc), "rotate NAME,NAME,...", "fixed NAME" or just NAME, and
    // "raw ALGO MODE BITS" (numbers as sent, e.g. "raw 1 1 128" announces SEED-ECB, which
    // the client must refuse). Unchanged on failure.
    bool Parse(const std::string& text, std::string& error);
    CipherChoice Next();
    std::string Text() const;

private:
    std::vector<CipherChoice> m_specs;
    bool m_rotate = true;
    bool m_raw = false;
    size_t m_next = 0;
};

}
