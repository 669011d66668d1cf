// Which cipher the next A0 reply announces: one fixed desc, or a rotation over several.
#include "CipherPolicy.h"
#include <sstream>

namespace tovisrv {

CCipherPolicy::CCipherPolicy() : m_specs(CipherChoice::SessionSpecs()) {}

bool CCipherPolicy::Parse(const std::string& text, std::string& error)
{
    std::istringstream in(text);
    std::string word, rest;
    in >> word;
    std::getline(in >> std::ws, rest);
    std::vector<CipherChoice> specs;
    bool rotate = false;
    if (word == "rotate") {
        rotate = true;
        if (rest.empty()) {
            specs = CipherChoice::SessionSpecs();
        } else {
            std::istringstream names(rest);
            std::string name;
            while (std::getline(names, name, ',')) {
                CipherChoice desc;
                if (!CipherChoice::Parse(name, desc)) {
                    error = "unknown cipher " + name;
                    return false;
                }
                specs.push_back(desc);
            }
        }
    } else if (word == "raw") {
        CipherChoice desc;
        std::istringstream numbers(rest);
        char extra;
        if (!(numbers >> desc.algo >> desc.mode >> desc.bits) || (numbers >> extra) ||
            desc.algo < 0 || desc.algo > 9 || desc.mode < 0 || desc.mode > 9 ||
            desc.bits < 100 || desc.bits > 999) {
            error = "raw needs ALGO MODE BITS (one digit, one digit, three digits)";
            return false;
        }
        specs.push_back(desc);
    } else {
        const std::string name = word == "fixed" ? rest : word;
        CipherChoice desc;
        if ((word != "fixed" && !rest.empty()) || !CipherChoice::Parse(name, desc)) {
            error = "unknown cipher policy " + text;
            return false;
        }
        specs.push_back(desc);
    }
    if (specs.empty()) {
        error = "no cipher named";
        return false;
    }
    m_specs = specs;
    m_rotate = rotate;
    m_raw = word == "raw";
    m_next = 0;
    return true;
}

CipherChoice CCipherPolicy::Next()
{
    const CipherChoice desc = m_specs[m_next % m_specs.size()];
    if (m_rotate)
        m_next = (m_next + 1) % m_specs.size();
    return desc;
}

std::string CCipherPolicy::Text() const
{
    if (!m_rotate) {
        const CipherChoice& s = m_specs.front();
        return m_raw
            ? "raw " + std::to_string(s.algo) + " " + std::to_string(s.mode) + " " + std::to_string(s.bits)
            : "fixed " + s.Name();
    }
    std::string out = "rotate ";
    for (size_t i = 0; i < m_specs.size(); ++i)
        out += (i ? "," : "") + m_specs[i].Name();
    return out;
}

}
