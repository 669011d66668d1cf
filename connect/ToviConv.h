// Text conversions of the connection library: UTF-16 and UTF-8, Base64, ANSI and wide text,
// #RRGGBB colours, the SHA-1 of a text, and the time of day in microseconds.
#pragma once
#include "ToviConnectApi.h"
#include "Strings.h"
// struct timeval and struct timezone come from the C runtime headers. winsock2.h includes the
// same definition of timeval (<_timeval.h>), so either may come first. Write "struct timezone":
// the runtime also has a variable named timezone.
#include <time.h>

// Every operation is static and may be called from any thread.
class TOVICONNECT_API CToviConv {
public:
    CToviConv() {}
    ~CToviConv() {}
    CToviConv& operator=(const CToviConv&) { return *this; }

    // UTF-16 to UTF-8, up to in's zero. Each code unit is encoded on its own: the two halves of
    // a surrogate pair become two three-byte sequences, which is the form the server reads.
    // outSize > 0 is the room of out in bytes: encoding stops before the first unit whose
    // sequence and the terminating zero no longer fit. outSize <= 0 means out has room for
    // three bytes per code unit plus one. Writes a terminating zero and returns the bytes
    // written before it.
    static int UTF8Encode(unsigned short* in, int outSize, char* out);
    // UTF-8 to UTF-16, up to in's zero; four-byte sequences become surrogate pairs. Writes no
    // terminating zero and never more code units than in has bytes, so out needs room for
    // strlen(in) code units (plus one for a zero the caller adds, or a zeroed buffer). A
    // sequence cut short by the end of the text is dropped. Returns the code units written.
    static int UTF8Decode(char* in, unsigned short* out);

    // Base64 (RFC 4648, "=" padding, no line breaks). *out receives a malloc'ed,
    // zero-terminated text the caller releases with free. 0 done; -1 (with *out null when out
    // is not null) when out is null or there is no memory. A null in or len <= 0 encodes
    // nothing.
    static int Base64Encode(char* in, int len, char** out);
    // Skips every character outside the alphabet ("=", spaces, line breaks). Stores at most
    // capacity bytes but reads the whole text. Returns the bytes stored.
    static int Base64Decode(char* in, unsigned char* out, int capacity);

    // The SHA-1 of text's ANSI form as 40 lower-case hexadecimal digits, written to out without
    // a terminating zero (pass a zeroed buffer of 41 bytes for a terminated text). An empty
    // text leaves out untouched. Always 0.
    static int GetSha1Data(CString text, char* out);

    // Seconds and microseconds since 1970-01-01 UTC; minutes west of UTC and the daylight
    // flag of the runtime's time-zone settings. Either pointer may be null. Always 0.
    static int gettimeofday(struct timeval* tv, struct timezone* tz);

    // ANSI (CP_ACP) to a new wide text, and back. Null for a null or empty text or no memory;
    // release the results with Tovi_wFree and Tovi_Free (both accept null).
    static wchar_t* Tovi_MultiByteToWideChar(const char* text);
    static char* Tovi_WideCharToMultiByte(const wchar_t* text);
    static void Tovi_Free(char* p);
    static void Tovi_wFree(wchar_t* p);

    // "#RRGGBB" to a COLORREF value (red in the low byte). Position 0 is not looked at; each
    // pair is read as base-16 by the C library, so a pair that is missing (short or null text)
    // or has no hexadecimal digit at its start counts as 0.
    static unsigned long ConvertHextoRGB(wchar_t* text);
};
