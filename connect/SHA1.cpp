// SHA-1 (FIPS 180-1): the hash itself and its text reports. No Windows header, so that the
// digest also builds natively for fuzzing and benchmarks; file hashing is in SHA1File.cpp.
#include "SHA1.h"
#include "CryptoCore.h"
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Longest report: 20 bytes of up to three decimal digits and 19 spaces.
const int kReportMax = 80;

const uint32_t kInitialState[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};

// One constant for each quarter of the 80 steps.
const uint32_t kStepConstant[4] = {0x5A827999, 0x6ED9EBA1, 0x8F1BBCDC, 0xCA62C1D6};

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// The logical function of each quarter: choose, parity, majority, parity.
template <int Quarter> inline uint32_t Mix(uint32_t x, uint32_t y, uint32_t z);
template <> inline uint32_t Mix<0>(uint32_t x, uint32_t y, uint32_t z)
{
    return (x & y) ^ (~x & z);
}
template <> inline uint32_t Mix<1>(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
template <> inline uint32_t Mix<2>(uint32_t x, uint32_t y, uint32_t z)
{
    return (x & y) ^ (x & z) ^ (y & z);
}
template <> inline uint32_t Mix<3>(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }

// Word t of the message schedule, t >= 16, kept in a ring of the last sixteen words.
inline uint32_t NextWord(uint32_t* ring, int t)
{
    uint32_t w = RotateLeft(ring[(t - 3) & 15] ^ ring[(t - 8) & 15] ^ ring[(t - 14) & 15] ^
                            ring[t & 15], 1);
    ring[t & 15] = w;
    return w;
}

// One step. Rather than shifting the five working words along, the caller names them in their
// new roles for the next step: the sum lands in e, which becomes the next a, and b is rotated
// where it stands, as it becomes the next c.
template <int Quarter>
inline void Step(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w)
{
    e += RotateLeft(a, 5) + Mix<Quarter>(b, c, d) + kStepConstant[Quarter] + w;
    b = RotateLeft(b, 30);
}

// Twenty steps of one quarter, five at a time so that the roles come back to where they started.
template <int Quarter>
inline void Quarter20(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e,
                      uint32_t* ring)
{
    const int first = Quarter * 20;
    for (int t = first; t < first + 20; t += 5) {
        if (t + 5 <= 16) {
            Step<Quarter>(a, b, c, d, e, ring[t]);
            Step<Quarter>(e, a, b, c, d, ring[t + 1]);
            Step<Quarter>(d, e, a, b, c, ring[t + 2]);
            Step<Quarter>(c, d, e, a, b, ring[t + 3]);
            Step<Quarter>(b, c, d, e, a, ring[t + 4]);
        } else {
            Step<Quarter>(a, b, c, d, e, t < 16 ? ring[t] : NextWord(ring, t));
            Step<Quarter>(e, a, b, c, d, NextWord(ring, t + 1));
            Step<Quarter>(d, e, a, b, c, NextWord(ring, t + 2));
            Step<Quarter>(c, d, e, a, b, NextWord(ring, t + 3));
            Step<Quarter>(b, c, d, e, a, NextWord(ring, t + 4));
        }
    }
}

}

CSHA1::CSHA1()
    : m_block(m_workspace)
{
    // Nothing to report before Final, but no stale memory either.
    memset(m_digest, 0, sizeof(m_digest));
    memset(m_workspace, 0, sizeof(m_workspace));
    Reset();
}

CSHA1::CSHA1(const CSHA1& other)
    : m_block(m_workspace)
{
    *this = other;
}

CSHA1& CSHA1::operator=(const CSHA1& other)
{
    // m_block stays pointed at our own workspace.
    memcpy(m_state, other.m_state, sizeof(m_state));
    memcpy(m_count, other.m_count, sizeof(m_count));
    memcpy(m_buffer, other.m_buffer, sizeof(m_buffer));
    memcpy(m_digest, other.m_digest, sizeof(m_digest));
    memcpy(m_workspace, other.m_workspace, sizeof(m_workspace));
    return *this;
}

CSHA1::~CSHA1()
{
    Reset();
}

void CSHA1::Reset()
{
    memcpy(m_state, kInitialState, sizeof(m_state));
    m_count[0] = 0;
    m_count[1] = 0;
}

void CSHA1::Transform(unsigned int* state, const unsigned char* buffer)
{
    uint32_t* ring = m_block;
    // The schedule's first sixteen words are the block itself.
    for (int i = 0; i < 16; ++i)
        ring[i] = LoadBigEndian32(buffer + 4 * i);

    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    Quarter20<0>(a, b, c, d, e, ring);
    Quarter20<1>(a, b, c, d, e, ring);
    Quarter20<2>(a, b, c, d, e, ring);
    Quarter20<3>(a, b, c, d, e, ring);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
}

void CSHA1::Update(const unsigned char* data, unsigned int len)
{
    if (len == 0)
        return;
    unsigned int held = (m_count[0] >> 3) & 63;
    uint64_t bits = ((uint64_t(m_count[1]) << 32) | m_count[0]) + uint64_t(len) * 8;
    m_count[0] = static_cast<uint32_t>(bits);
    m_count[1] = static_cast<uint32_t>(bits >> 32);

    if (held > 0) {
        unsigned int room = 64 - held;
        if (len < room) {
            memcpy(m_buffer + held, data, len);
            return;
        }
        memcpy(m_buffer + held, data, room);
        Transform(m_state, m_buffer);
        data += room;
        len -= room;
    }
    for (; len >= 64; data += 64, len -= 64)
        Transform(m_state, data);
    memcpy(m_buffer, data, len);
}

void CSHA1::Final()
{
    // The length is taken before the padding counts itself in.
    unsigned char length[8];
    StoreBigEndian32(length, m_count[1]);
    StoreBigEndian32(length + 4, m_count[0]);

    static const unsigned char kOne = 0x80;
    static const unsigned char kZero = 0;
    Update(&kOne, 1);
    while ((m_count[0] & 511) != 448)
        Update(&kZero, 1);
    Update(length, 8);

    for (int i = 0; i < 5; ++i)
        StoreBigEndian32(m_digest + 4 * i, m_state[i]);

    // Leave no message data behind: the buffer, the state, the count, and, through one more
    // transform of the zeroed buffer, the workspace.
    memset(m_buffer, 0, sizeof(m_buffer));
    memset(m_state, 0, sizeof(m_state));
    m_count[0] = 0;
    m_count[1] = 0;
    Transform(m_state, m_buffer);
}

int CSHA1::FormatReport(char* text, REPORT_TYPE type) const
{
    const char* first;
    const char* next;
    switch (type) {
    case REPORT_HEX_SPACED: first = "%02x"; next = " %02x"; break;
    case REPORT_DECIMAL:    first = "%u";   next = " %u";   break;
    case REPORT_HEX_LOWER:  first = "%02x"; next = "%02x";  break;
    case REPORT_HEX_UPPER:  first = "%02X"; next = "%02X";  break;
    default: return 0;
    }
    int len = 0;
    for (int i = 0; i < 20; ++i)
        len += snprintf(text + len, kReportMax + 1 - len, i == 0 ? first : next,
                        static_cast<unsigned int>(m_digest[i]));
    return len;
}

bool CSHA1::ReportHashA(char* out, int size, REPORT_TYPE type) const
{
    char text[kReportMax + 1];
    int len = FormatReport(text, type);
    if (!out || len == 0 || size <= len)
        return false;
    memcpy(out, text, len + 1);
    return true;
}

bool CSHA1::ReportHashW(wchar_t* out, int size, REPORT_TYPE type) const
{
    char text[kReportMax + 1];
    int len = FormatReport(text, type);
    if (!out || len == 0 || size <= len)
        return false;
    for (int i = 0; i <= len; ++i)
        out[i] = static_cast<wchar_t>(text[i]);
    return true;
}

bool CSHA1::ReportHashStl(std::wstring& out, REPORT_TYPE type) const
{
    wchar_t text[kReportMax + 1];
    if (!ReportHashW(text, kReportMax + 1, type))
        return false;
    out = text;
    return true;
}

bool CSHA1::GetHash(unsigned char* out) const
{
    if (!out)
        return false;
    memcpy(out, m_digest, sizeof(m_digest));
    return true;
}
