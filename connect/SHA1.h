// SHA-1 digest (FIPS 180-1) over memory and files, with text reports of the digest.
#pragma once
#include "ToviConnectApi.h"
#include <string>

// One object serves one thread at a time. Reset, Update (and HashFile) any number of times,
// Final once, then read the digest with GetHash or a report; hashing again needs Reset.
class TOVICONNECT_API CSHA1 {
public:
    // Callers pass the number; each comment gives the text and the room it needs, zero included.
    enum REPORT_TYPE {
        REPORT_HEX_SPACED = 0,  // "da 39 a3 ..." (60 characters)
        REPORT_DECIMAL = 1,     // "218 57 163 ..." (up to 80 characters)
        REPORT_HEX_LOWER = 2,   // "da39a3..." (41 characters)
        REPORT_HEX_UPPER = 3,   // "DA39A3..." (41 characters)
    };

    CSHA1();
    // A copy gets its own workspace; the state and digest are copied.
    CSHA1(const CSHA1& other);
    CSHA1& operator=(const CSHA1& other);
    // Wipes the running state.
    ~CSHA1();

    void Reset();
    void Update(const unsigned char* data, unsigned int len);
    // Adds the whole file to the running hash without finishing it. False for a null path, a
    // file that cannot be opened or read to its end, or no memory; what was read stays hashed.
    bool HashFile(const wchar_t* path);
    // Finishes the hash and wipes everything but the digest.
    void Final();

    // Write the digest as text into out of size characters. False, with out untouched, for a
    // null out, an unknown type or a size too small for the whole text and its zero.
    bool ReportHashW(wchar_t* out, int size, REPORT_TYPE type) const;
    bool ReportHashA(char* out, int size, REPORT_TYPE type) const;
    bool ReportHashStl(std::wstring& out, REPORT_TYPE type) const;
    // Copies the 20 digest bytes; false for a null out.
    bool GetHash(unsigned char* out) const;

private:
    void Transform(unsigned int* state, const unsigned char* buffer);
    // The report text without its zero, or 0 for an unknown type; text holds 80 characters.
    int FormatReport(char* text, REPORT_TYPE type) const;

    unsigned int m_state[5];
    unsigned int m_count[2];        // message length in bits, low word first
    unsigned char m_buffer[64];     // the partial block
    unsigned char m_digest[20];
    unsigned int m_workspace[16];   // the transform's copy of the block
    unsigned int* m_block;          // always points at this object's own m_workspace
};
