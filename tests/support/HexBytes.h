// Hex text to bytes and back, for tests that compare against published vectors or the test
// server's hex-coded bytes.
#pragma once
#include <string>
#include <vector>

namespace hexbytes {

// Pairs of hex digits to bytes; a trailing odd digit is ignored.
inline std::vector<unsigned char> FromHex(const std::string& hex)
{
    std::vector<unsigned char> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// Lower-case hex, two digits a byte.
inline std::string ToHex(const unsigned char* p, size_t n)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += kDigits[p[i] >> 4];
        s += kDigits[p[i] & 15];
    }
    return s;
}

inline std::string ToHex(const std::vector<unsigned char>& bytes)
{
    return ToHex(bytes.data(), bytes.size());
}

// Upper-case hex of a byte string, as the test server's control lines and logs write bytes.
inline std::string UpperHex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bytes) {
        s += kDigits[c >> 4];
        s += kDigits[c & 15];
    }
    return s;
}

}
