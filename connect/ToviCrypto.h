// Cipher context and the SEED/ARIA encryption operations of the connection library.
#pragma once
#include "ToviConnectApi.h"
#include "Strings.h"

#define ENC_ALG_SEED 1
#define ENC_ALG_ARIA 2

#define ENC_MODE_ECB 1
#define ENC_MODE_CBC 2
#define ENC_MODE_OFB 3
#define ENC_MODE_CFB 4

#define ENC_PAD_NONE  1
#define ENC_PAD_BLOCK 2

#define ENC_ERR_MODE    0x1001
#define ENC_ERR_PADDING 0x1003
#define ENC_ERR_PENDING 0x1004
#define ENC_ERR_FINAL   0x1005

// Owned by its user: zero it, set algo, mode (and keyBits for ARIA), then ToviKeySetup.
// One context serves one thread at a time.
struct _ENC_CTX {
    unsigned int algo;
    unsigned int mode;
    unsigned int padType;
    unsigned char iv[16];
    unsigned char chain[16];
    unsigned char pending[16];
    unsigned int pendingLen;
    unsigned int encRoundKeys[68];
    unsigned int decRoundKeys[68];
    unsigned int keyBits;
    unsigned int rounds;
};

class TOVICONNECT_API CToviCrypto {
public:
    // Keys the context from a pass phrase (read up to its first zero) and stores the fixed iv.
    // 0 done; (unsigned long)-1 unknown mode, context unchanged; (unsigned long)-2 unknown
    // algorithm, and also an ARIA keyBits other than 128, 192 or 256 or a null pass phrase,
    // which are refused rather than keyed with zeros (padType is set by then, nothing else).
    static unsigned long ToviKeySetup(char* passPhrase, _ENC_CTX* ctx);
    // Writes 32 upper-case hex digits of the salted MD5 of text and a zero into out (33 bytes);
    // always 0, and out untouched for a null text.
    static unsigned long ToviSetRandkey(char* text, char* out);

    // Each call restarts from the context's iv. Returns the length written, 0 on failure;
    // on success *out is a new[] buffer the caller releases with delete[]. Success can also
    // return 0 (empty OFB/CFB input, padding alone): only a failure leaves *out untouched.
    static unsigned long ToviDataEncrypt(_ENC_CTX* ctx, unsigned char* in, int len, unsigned char** out);
    static unsigned long ToviDataDecrypt(_ENC_CTX* ctx, unsigned char* in, int len, unsigned char** out);

    // Whole files in pieces, each piece a whole-buffer operation from the iv: 65,000 bytes, and
    // for decryption under block padding (ECB, CBC) 65,008, the size such a piece encrypts to.
    // 0 done, -1 failure: open, read, write or any piece failing. The result is written beside
    // dst and moved onto it only when complete, so dst is never left half-written. Encryption
    // never overwrites: an existing dst fails and stays as it was. Decryption replaces dst.
    static int ToviFileEncrypt(_ENC_CTX* ctx, CString src, CString dst);
    static int ToviFileDecrypt(_ENC_CTX* ctx, CString src, CString dst);

protected:
    // Init, any number of updates, one final. Updates never allocate; an update with a whole
    // block to write refuses in == out (ENC_ERR_MODE). A decrypt update keeps its last block back
    // for the final step.
    static unsigned long Tovi_EncInit(_ENC_CTX* ctx);
    static unsigned long Tovi_DecInit(_ENC_CTX* ctx);
    static unsigned long Tovi_EncUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen);
    static unsigned long Tovi_DecUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen);
    static unsigned long Tovi_EncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen);
    static unsigned long Tovi_DecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen);

#define TOVI_MODE_STEPS(M) \
    static unsigned long M##_EncUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen); \
    static unsigned long M##_EncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen); \
    static unsigned long M##_DecUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen); \
    static unsigned long M##_DecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen);
    TOVI_MODE_STEPS(ECB)
    TOVI_MODE_STEPS(CBC)
    TOVI_MODE_STEPS(OFB)
    TOVI_MODE_STEPS(CFB)
#undef TOVI_MODE_STEPS

    // Block padding: PaddSet fills buf[dataLen..blockLen) and returns the count (ENC_ERR_MODE
    // for dataLen past blockLen); PaddCheck returns the count of padding bytes to remove.
    static unsigned long PaddSet(unsigned char* buf, unsigned long dataLen, unsigned long blockLen, unsigned long padType);
    static unsigned long PaddCheck(unsigned char* buf, unsigned long len, unsigned long padType);
};
