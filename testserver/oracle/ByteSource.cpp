// Hex text and the byte generators named in the vector file.
#include "ByteSource.h"
#include <cstdlib>

namespace oracle {

namespace {

const char kDigits[] = "0123456789abcdef";
const char kDigitsUpper[] = "0123456789ABCDEF";

std::string Hex(const Bytes& data, const char* digits)
{
    std::string text;
    text.reserve(data.size() * 2);
    for (uint8_t b : data) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

int Nibble(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint32_t Step(uint32_t x)
{
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

// "SEED:LEN" with both numbers decimal, or "BB:LEN" with BB hex when hexFirst.
bool TwoNumbers(const std::string& text, bool hexFirst, unsigned long* first, size_t* len)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
    char* end = nullptr;
    std::string a = text.substr(0, colon), b = text.substr(colon + 1);
    *first = strtoul(a.c_str(), &end, hexFirst ? 16 : 10);
    if (*end) return false;
    *len = strtoul(b.c_str(), &end, 10);
    return *end == 0;
}

}

std::string ToHex(const Bytes& data) { return data.empty() ? "-" : Hex(data, kDigits); }
std::string ToHexUpper(const Bytes& data) { return Hex(data, kDigitsUpper); }

bool FromHex(const std::string& text, Bytes* out)
{
    out->clear();
    if (text == "-") return true;
    if (text.size() % 2) return false;
    out->reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = Nibble(text[i]), lo = Nibble(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return true;
}

bool Expand(const std::string& desc, Bytes* out)
{
    out->clear();
    std::string kind = desc.substr(0, 4), rest = desc.size() > 4 ? desc.substr(4) : "";
    if (kind == "hex:") return rest.empty() || FromHex(rest, out);
    unsigned long first = 0;
    size_t len = 0;
    if (kind == "rep:") {
        if (!TwoNumbers(rest, true, &first, &len) || first > 255) return false;
        out->assign(len, static_cast<uint8_t>(first));
        return true;
    }
    if (kind != "gen:" && kind != "txt:") return false;
    if (!TwoNumbers(rest, false, &first, &len) || first == 0 || first > 0xFFFFFFFFul) return false;
    uint32_t x = static_cast<uint32_t>(first);
    out->resize(len);
    for (size_t i = 0; i < len; ++i) {
        x = Step(x);
        (*out)[i] = kind == "gen:" ? static_cast<uint8_t>(x) : static_cast<uint8_t>(0x20 + x % 95);
    }
    return true;
}

std::string GenSpec(uint32_t seed, size_t len)
{
    return "gen:" + std::to_string(seed) + ":" + std::to_string(len);
}

std::string TxtSpec(uint32_t seed, size_t len)
{
    return "txt:" + std::to_string(seed) + ":" + std::to_string(len);
}

}
