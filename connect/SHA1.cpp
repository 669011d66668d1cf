// SHA-1 (FIPS 180-1): the hash itself and its text reports. No Windows header, so that the
// digest also builds natively for fuzzing and benchmarks; file hashing is in SHA1File.cpp.
#include "SHA1.h"
#include <cstdio>
#include <cstring>

namespace {

inline unsigned int Rol(unsigned int v, int bits) { return (v << bits) | (v >> (32 - bits)); }

// Longest report: 20 bytes of up to three decimal digits and 19 spaces.
const int kReportMax = 80;

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
    m_state[0] = 0x67452301;
    m_state[1] = 0xEFCDAB89;
    m_state[2] = 0x98BADCFE;
    m_state[3] = 0x10325476;
    m_state[4] = 0xC3D2E1F0;
    m_count[0] = 0;
    m_count[1] = 0;
}

void CSHA1::Transform(unsigned int* state, const unsigned char* buffer)
{
    unsigned int* w = m_block;
    for (int i = 0; i < 16; ++i) {
        w[i] = (static_cast<unsigned int>(buffer[4 * i]) << 24) |
               (static_cast<unsigned int>(buffer[4 * i + 1]) << 16) |
               (static_cast<unsigned int>(buffer[4 * i + 2]) << 8) |
               static_cast<unsigned int>(buffer[4 * i + 3]);
    }
    unsigned int a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    for (int t = 0; t < 80; ++t) {
        unsigned int word;
        if (t < 16) {
            word = w[t];
        } else {
            // The schedule lives in 16 words, overwritten in a circle.
            word = Rol(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
            w[t & 15] = word;
        }
        unsigned int f, k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        unsigned int temp = Rol(a, 5) + f + e + k + word;
        e = d;
        d = c;
        c = Rol(b, 30);
        b = a;
        a = temp;
    }
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
    unsigned int used = (m_count[0] >> 3) & 63;
    unsigned int low = m_count[0] + (len << 3);
    if (low < m_count[0])
        ++m_count[1];
    m_count[0] = low;
    m_count[1] += len >> 29;

    unsigned int i = 0;
    if (used + len > 63) {
        i = 64 - used;
        memcpy(&m_buffer[used], data, i);
        Transform(m_state, m_buffer);
        for (; i + 63 < len; i += 64)
            Transform(m_state, &data[i]);
        used = 0;
    }
    memcpy(&m_buffer[used], &data[i], len - i);
}

void CSHA1::Final()
{
    unsigned char length[8];
    for (int i = 0; i < 8; ++i) {
        // High word first, each word big-endian.
        unsigned int word = m_count[i < 4 ? 1 : 0];
        length[i] = static_cast<unsigned char>(word >> ((3 - (i & 3)) * 8));
    }
    static const unsigned char kPadStart = 0x80;
    static const unsigned char kZero = 0;
    Update(&kPadStart, 1);
    while ((m_count[0] & 504) != 448)
        Update(&kZero, 1);
    Update(length, 8);

    for (int i = 0; i < 20; ++i)
        m_digest[i] = static_cast<unsigned char>(m_state[i >> 2] >> ((3 - (i & 3)) * 8));

    // Leave no message data behind: the buffer, the state, the count and the workspace.
    memset(m_buffer, 0, sizeof(m_buffer));
    memset(m_state, 0, sizeof(m_state));
    memset(m_count, 0, sizeof(m_count));
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
