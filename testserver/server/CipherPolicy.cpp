// Which cipher the next A0 reply announces: one fixed spec, or a rotation over several.
#include "CipherPolicy.h"
#include <sstream>

namespace tovisrv {

CCipherPolicy::CCipherPolicy() : m_specs(CipherSpec::SessionSpecs()) {}

bool CCipherPolicy::Parse(const std::string& text, std::string& error)
{
    std::istringstream in(text);
    std::string word, rest;
    in >> word;
    std::getline(in >> std::ws, rest);
    std::vector<CipherSpec> specs;
    bool rotate = false;
    if (word == "rotate") {
        rotate = true;
        if (rest.empty()) {
            specs = CipherSpec::SessionSpecs();
        } else {
            std::istringstream names(rest);
            std::string name;
            while (std::getline(names, name, ',')) {
                CipherSpec spec;
                if (!CipherSpec::Parse(name, spec)) {
                    error = "unknown cipher " + name;
                    return false;
                }
                specs.push_back(spec);
            }
        }
    } else if (word == "raw") {
        CipherSpec spec;
        std::istringstream numbers(rest);
        char extra;
        if (!(numbers >> spec.algo >> spec.mode >> spec.bits) || (numbers >> extra) ||
            spec.algo < 0 || spec.algo > 9 || spec.mode < 0 || spec.mode > 9 ||
            spec.bits < 100 || spec.bits > 999) {
            error = "raw needs ALGO MODE BITS (one digit, one digit, three digits)";
            return false;
        }
        specs.push_back(spec);
    } else {
        const std::string name = word == "fixed" ? rest : word;
        CipherSpec spec;
        if ((word != "fixed" && !rest.empty()) || !CipherSpec::Parse(name, spec)) {
            error = "unknown cipher policy " + text;
            return false;
        }
        specs.push_back(spec);
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

CipherSpec CCipherPolicy::Next()
{
    const CipherSpec spec = m_specs[m_next % m_specs.size()];
    if (m_rotate)
        m_next = (m_next + 1) % m_specs.size();
    return spec;
}

std::string CCipherPolicy::Text() const
{
    if (!m_rotate) {
        const CipherSpec& s = m_specs.front();
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
