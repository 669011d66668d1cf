// Names and texts as the client sends them: CESU-8 in, UTF-8 kept, CESU-8 out; name rules.
#include "NameText.h"
#include <cctype>
#include <cstdint>

namespace tovisrv {

namespace {

bool IsSurrogateSequence(const std::string& s, size_t i, unsigned lead)
{
    // ED A0..AF xx = high surrogate, ED B0..BF xx = low surrogate.
    return i + 2 < s.size() && static_cast<uint8_t>(s[i]) == 0xED &&
           (static_cast<uint8_t>(s[i + 1]) & 0xF0) == lead && (static_cast<uint8_t>(s[i + 2]) & 0xC0) == 0x80;
}

unsigned SurrogateValue(const std::string& s, size_t i)
{
    return 0xD000u | ((static_cast<uint8_t>(s[i + 1]) & 0x3Fu) << 6) | (static_cast<uint8_t>(s[i + 2]) & 0x3Fu);
}

void AppendThree(std::string& out, unsigned unit)
{
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
}

}

std::string CNameText::FromWire(const std::string& cesu)
{
    std::string out;
    out.reserve(cesu.size());
    for (size_t i = 0; i < cesu.size();) {
        if (IsSurrogateSequence(cesu, i, 0xA0) && IsSurrogateSequence(cesu, i + 3, 0xB0)) {
            const unsigned high = SurrogateValue(cesu, i), low = SurrogateValue(cesu, i + 3);
            const unsigned cp = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            i += 6;
        } else {
            out += cesu[i++];
        }
    }
    return out;
}

std::string CNameText::ToWire(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t lead = static_cast<uint8_t>(utf8[i]);
        if ((lead & 0xF8) == 0xF0 && i + 3 < utf8.size()) {
            const unsigned cp = ((lead & 0x07u) << 18) | ((static_cast<uint8_t>(utf8[i + 1]) & 0x3Fu) << 12) |
                                ((static_cast<uint8_t>(utf8[i + 2]) & 0x3Fu) << 6) |
                                (static_cast<uint8_t>(utf8[i + 3]) & 0x3Fu);
            const unsigned v = cp - 0x10000;
            AppendThree(out, 0xD800 + (v >> 10));
            AppendThree(out, 0xDC00 + (v & 0x3FF));
            i += 4;
        } else {
            out += utf8[i++];
        }
    }
    return out;
}

std::string CNameText::Fold(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

size_t CNameText::Units(const std::string& utf8)
{
    size_t units = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const uint8_t c = static_cast<uint8_t>(utf8[i]);
        if ((c & 0xC0) != 0x80)
            units += (c & 0xF8) == 0xF0 ? 2 : 1;
    }
    return units;
}

bool CNameText::IsValidName(const std::string& utf8)
{
    if (utf8.empty() || Units(utf8) >= 256 || utf8 == "." || utf8 == "..")
        return false;
    for (const char c : utf8)
        if (static_cast<uint8_t>(c) < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos)
            return false;
    std::string base = Fold(utf8.substr(0, utf8.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    static const char* const kDevices[] = {"con", "prn", "aux", "nul"};
    for (const char* device : kDevices)
        if (base == device)
            return false;
    if (base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
        base[3] >= '1' && base[3] <= '9')
        return false;
    return true;
}

std::vector<std::string> CNameText::SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == '/') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

std::string CNameText::Cut(const std::string& utf8, size_t bytes)
{
    if (utf8.size() <= bytes)
        return utf8;
    size_t end = bytes;
    while (end > 0 && (static_cast<uint8_t>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.substr(0, end);
}

}
