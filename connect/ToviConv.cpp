// Text conversions of the connection library.
#include "ToviConv.h"
#include "SHA1.h"
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <new>

namespace {

const char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of each byte in the alphabet, -1 for every other byte.
struct Base64Values {
    signed char value[256];
    Base64Values()
    {
        memset(value, -1, sizeof(value));
        for (int i = 0; i < 64; ++i)
            value[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<signed char>(i);
    }
};

const Base64Values kBase64Values;

// How many bytes a UTF-8 sequence takes, by its lead byte. Lead bytes from 0x80 to 0xBF are
// continuation bytes out of place; they are read as two-byte leads, as they always were, and
// so are 0xF8 to 0xFF as three-byte leads.
int SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    return 3;
}

}

int CToviConv::UTF8Encode(unsigned short* in, int outSize, char* out)
{
    if (!out)
        return 0;
    int written = 0;
    for (const unsigned short* p = in; p && *p; ++p) {
        unsigned int u = *p;
        unsigned char bytes[3];
        int n;
        if (u < 0x80) {
            bytes[0] = static_cast<unsigned char>(u);
            n = 1;
        } else if (u < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 + (u >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 + (u & 0x3F));
            n = 2;
        } else {
            // Surrogate halves too: each becomes its own three-byte sequence.
            bytes[0] = static_cast<unsigned char>(0xE0 + (u >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 + ((u >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 + (u & 0x3F));
            n = 3;
        }
        if (outSize > 0 && written + n + 1 > outSize)
            break;
        memcpy(out + written, bytes, n);
        written += n;
    }
    out[written] = 0;
    return written;
}

int CToviConv::UTF8Decode(char* in, unsigned short* out)
{
    if (!in || !out)
        return 0;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(in);
    size_t n = strlen(in);
    size_t pos = 0;
    int units = 0;
    while (pos < n) {
        unsigned char c = s[pos];
        int len = SequenceLength(c);
        if (pos + len > n)
            break;  // cut short by the end of the text: dropped, nothing past the zero is read
        const unsigned char* b = s + pos;
        pos += len;
        switch (len) {
        case 1:
            out[units++] = c;
            break;
        case 2:
            out[units++] = static_cast<unsigned short>(((c & 0x1F) << 6) | (b[1] & 0x3F));
            break;
        case 3:
            out[units++] = static_cast<unsigned short>(((c & 0x0F) << 12) | ((b[1] & 0x3F) << 6) |
                                                       (b[2] & 0x3F));
            break;
        default: {
            unsigned int cp = ((c & 0x07u) << 18) | ((b[1] & 0x3Fu) << 12) |
                              ((b[2] & 0x3Fu) << 6) | (b[3] & 0x3Fu);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                cp -= 0x10000;
                out[units++] = static_cast<unsigned short>(0xD800 + (cp >> 10));
                out[units++] = static_cast<unsigned short>(0xDC00 + (cp & 0x3FF));
            } else if (cp < 0x10000) {
                out[units++] = static_cast<unsigned short>(cp);  // overlong, value kept
            } else {
                out[units++] = 0xFFFD;  // beyond Unicode
            }
            break;
        }
        }
    }
    return units;
}

int CToviConv::Base64Encode(char* in, int len, char** out)
{
    if (!out)
        return -1;
    if (!in || len < 0)
        len = 0;
    size_t groups = static_cast<size_t>(len) / 3 + (len % 3 ? 1 : 0);
    char* text = static_cast<char*>(malloc(groups * 4 + 1));
    *out = text;
    if (!text)
        return -1;

    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    char* w = text;
    for (int i = 0; i < len; i += 3) {
        int have = len - i < 3 ? len - i : 3;
        unsigned int b0 = p[i];
        unsigned int b1 = have > 1 ? p[i + 1] : 0;
        unsigned int b2 = have > 2 ? p[i + 2] : 0;
        *w++ = kBase64Alphabet[b0 >> 2];
        *w++ = kBase64Alphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
        *w++ = have > 1 ? kBase64Alphabet[((b1 & 0x0F) << 2) | (b2 >> 6)] : '=';
        *w++ = have > 2 ? kBase64Alphabet[b2 & 0x3F] : '=';
    }
    *w = 0;
    return 0;
}

int CToviConv::Base64Decode(char* in, unsigned char* out, int capacity)
{
    if (!in || !out)
        return 0;
    int stored = 0;
    int state = 0;
    unsigned int previous = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(in); *p; ++p) {
        int value = kBase64Values.value[*p];
        if (value < 0)
            continue;
        unsigned int v = static_cast<unsigned int>(value);
        int byte = -1;
        switch (state) {
        case 0: break;
        case 1: byte = (previous << 2) | (v >> 4); break;
        case 2: byte = (previous << 4) | (v >> 2); break;
        case 3: byte = (previous << 6) | v; break;
        }
        previous = v;
        state = (state + 1) & 3;
        if (byte >= 0 && stored < capacity)
            out[stored++] = static_cast<unsigned char>(byte);
    }
    return stored;
}

int CToviConv::GetSha1Data(CString text, char* out)
{
    char* ansi = Tovi_WideCharToMultiByte(text);
    if (!ansi)
        return 0;
    CSHA1 sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(ansi), static_cast<unsigned int>(strlen(ansi)));
    sha1.Final();
    Tovi_Free(ansi);
    char hex[41];
    if (out && sha1.ReportHashA(hex, sizeof(hex), CSHA1::REPORT_HEX_LOWER))
        memcpy(out, hex, 40);
    return 0;
}

int CToviConv::gettimeofday(struct timeval* tv, struct timezone* tz)
{
    if (tv) {
        FILETIME ft;
        GetSystemTimeAsFileTime(&ft);
        unsigned long long ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) |
                                   ft.dwLowDateTime;
        // 100-ns intervals since 1601 to microseconds since 1970.
        long long micros = static_cast<long long>(ticks / 10) - 11644473600000000LL;
        tv->tv_sec = static_cast<long>(micros / 1000000);
        tv->tv_usec = static_cast<long>(micros % 1000000);
    }
    if (tz) {
        static std::once_flag zoneRead;
        std::call_once(zoneRead, [] { _tzset(); });
        tz->tz_minuteswest = static_cast<int>(_timezone / 60);
        tz->tz_dsttime = _daylight;
    }
    return 0;
}

wchar_t* CToviConv::Tovi_MultiByteToWideChar(const char* text)
{
    if (!text || !*text)
        return nullptr;
    int bytes = static_cast<int>(strlen(text));
    int units = MultiByteToWideChar(CP_ACP, 0, text, bytes, nullptr, 0);
    if (units < 0)
        units = 0;
    wchar_t* wide = new (std::nothrow) wchar_t[units + 1];
    if (!wide)
        return nullptr;
    memset(wide, 0, (units + 1) * sizeof(wchar_t));
    MultiByteToWideChar(CP_ACP, 0, text, bytes, wide, units);
    return wide;
}

char* CToviConv::Tovi_WideCharToMultiByte(const wchar_t* text)
{
    if (!text || !*text)
        return nullptr;
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes < 0)
        bytes = 0;
    char* ansi = new (std::nothrow) char[bytes + 1];
    if (!ansi)
        return nullptr;
    memset(ansi, 0, bytes + 1);
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, bytes, nullptr, nullptr);
    return ansi;
}

void CToviConv::Tovi_Free(char* p)
{
    delete[] p;
}

void CToviConv::Tovi_wFree(wchar_t* p)
{
    delete[] p;
}

unsigned long CToviConv::ConvertHextoRGB(wchar_t* text)
{
    if (!text)
        return 0;
    unsigned long parts[3] = {0, 0, 0};
    // Stop at the text's zero: a short text leaves the later parts 0.
    size_t len = wcsnlen(text, 7);
    for (int i = 0; i < 3; ++i) {
        size_t first = 1 + 2 * i;
        if (first >= len)
            break;
        wchar_t pair[3] = {text[first], first + 1 < len ? text[first + 1] : L'\0', L'\0'};
        long value = wcstol(pair, nullptr, 16);
        parts[i] = value > 0 ? static_cast<unsigned long>(value) : 0;  // a sign ("-F") gives 0
    }
    return parts[0] + parts[1] * 256 + parts[2] * 65536;
}
