// Cipher context set-up, the SEED/ARIA modes of operation and whole-buffer and file encryption.
#include "ToviCrypto.h"
#include "CryptoCore.h"
#include "Files.h"
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// Both are 16 raw bytes; the literals carry a seventeenth, the terminating zero.
const char kInitVector[] = "TorvelNexaBrisk!";
const char kKeySalt[] = "MeadowLarkSpiral";
static_assert(sizeof(kInitVector) == 17 && sizeof(kKeySalt) == 17, "16-byte constants");

const unsigned long kModeBad = static_cast<unsigned long>(-1);
const unsigned long kKeyBad = static_cast<unsigned long>(-2);
const unsigned long kNoText = static_cast<unsigned long>(-1);

// Files go through the whole-buffer operations in pieces of this size, each from the iv.
const UINT kFilePiece = 65000;
// What a piece becomes under block padding, so that padded files decrypt piece for piece.
const UINT kPaddedFilePiece = kFilePiece - kFilePiece % 16 + 16;

void Md5Of(const unsigned char* a, size_t aLen, const unsigned char* b, size_t bLen,
           unsigned char digest[16])
{
    Md5Context md5;
    Md5Init(&md5);
    Md5Update(&md5, a, aLen);
    Md5Update(&md5, b, bLen);
    Md5Final(digest, &md5);
}

// MD5 of the salt and the pass phrase, then count times MD5 of the last digest.
unsigned long DeriveKeyMd5(int count, const char* passPhrase, unsigned char out[16])
{
    if (!passPhrase)
        return kNoText;
    unsigned char digest[16];
    Md5Of(reinterpret_cast<const unsigned char*>(kKeySalt), 16,
          reinterpret_cast<const unsigned char*>(passPhrase), std::strlen(passPhrase), digest);
    for (int i = 0; i < count; ++i)
        Md5Of(digest, 16, nullptr, 0, digest);
    std::memcpy(out, digest, 16);
    return 0;
}

unsigned long HashTextMd5Hex(const char* text, char* out)
{
    if (!text)
        return kNoText;
    unsigned char digest[16];
    Md5Of(reinterpret_cast<const unsigned char*>(kKeySalt), 16,
          reinterpret_cast<const unsigned char*>(text), std::strlen(text), digest);
    static const char kHex[] = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        out[2 * i] = kHex[digest[i] >> 4];
        out[2 * i + 1] = kHex[digest[i] & 15];
    }
    out[32] = 0;
    return 0;
}

// out = a ^ b over 16 bytes, a word at a time; out may be a or b.
inline void Xor16(unsigned char* out, const unsigned char* a, const unsigned char* b)
{
    uint32_t x[4], y[4];
    std::memcpy(x, a, 16);
    std::memcpy(y, b, 16);
    x[0] ^= y[0];
    x[1] ^= y[1];
    x[2] ^= y[2];
    x[3] ^= y[3];
    std::memcpy(out, x, 16);
}

// E and D of the context's cipher; in and out may be the same block.
inline void Encipher(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out)
{
    if (ctx->algo == ENC_ALG_ARIA) {
        AriaCrypt(in, ctx->encRoundKeys, static_cast<int>(ctx->rounds), out);
    } else {
        if (out != in)
            std::memcpy(out, in, 16);
        SeedEncrypt(ctx->encRoundKeys, out);
    }
}

inline void Decipher(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out)
{
    if (ctx->algo == ENC_ALG_ARIA) {
        AriaCrypt(in, ctx->decRoundKeys, static_cast<int>(ctx->rounds), out);
    } else {
        if (out != in)
            std::memcpy(out, in, 16);
        SeedDecrypt(ctx->encRoundKeys, out);
    }
}

// One block of each mode and direction; in and out are different blocks.
struct Ecb {
    static void Encrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out) { Encipher(ctx, in, out); }
    static void Decrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out) { Decipher(ctx, in, out); }
};

struct Cbc {
    static void Encrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out)
    {
        Xor16(ctx->chain, in, ctx->chain);
        Encipher(ctx, ctx->chain, ctx->chain);
        std::memcpy(out, ctx->chain, 16);
    }
    static void Decrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out)
    {
        Decipher(ctx, in, out);
        Xor16(out, out, ctx->chain);
        std::memcpy(ctx->chain, in, 16);
    }
};

struct Ofb {
    static void Encrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out)
    {
        Encipher(ctx, ctx->chain, ctx->chain);
        Xor16(out, in, ctx->chain);
    }
    static void Decrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out) { Encrypt(ctx, in, out); }
};

struct Cfb {
    static void Encrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out)
    {
        Encipher(ctx, ctx->chain, ctx->chain);
        Xor16(ctx->chain, ctx->chain, in);
        std::memcpy(out, ctx->chain, 16);
    }
    static void Decrypt(_ENC_CTX* ctx, const unsigned char* in, unsigned char* out)
    {
        unsigned char key[16];
        Encipher(ctx, ctx->chain, key);
        std::memcpy(ctx->chain, in, 16);
        Xor16(out, key, in);
    }
};

// The frame every update step shares. A decrypt step keeps back the last block it has seen (up
// to 16 bytes, never 0 once it has had input) for the final step to check or finish.
template <void (*Block)(_ENC_CTX*, const unsigned char*, unsigned char*), bool kHoldLast>
unsigned long Update(_ENC_CTX* ctx, const unsigned char* in, unsigned long inLen, unsigned char* out,
                     unsigned long* outLen)
{
    unsigned long total = ctx->pendingLen + inLen;
    if (kHoldLast ? total <= 16 : total < 16) {
        if (inLen)
            std::memcpy(ctx->pending + ctx->pendingLen, in, inLen);
        ctx->pendingLen = total;
        *outLen = 0;
        return 0;
    }
    if (in == out)
        return ENC_ERR_MODE;

    unsigned long fill = 16 - ctx->pendingLen;
    std::memcpy(ctx->pending + ctx->pendingLen, in, fill);
    Block(ctx, ctx->pending, out);
    in += fill;
    out += 16;
    unsigned long left = inLen - fill;
    while (kHoldLast ? left > 16 : left >= 16) {
        Block(ctx, in, out);
        in += 16;
        out += 16;
        left -= 16;
    }
    if (left)
        std::memcpy(ctx->pending, in, left);
    ctx->pendingLen = left;
    *outLen = total - left;
    return 0;
}

template <void (*Block)(_ENC_CTX*, const unsigned char*, unsigned char*)>
unsigned long PaddedEncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    if (ctx->padType == ENC_PAD_NONE) {
        if (ctx->pendingLen != 0)
            return ENC_ERR_PENDING;
        *outLen = 0;
        return 0;
    }
    if (ctx->padType != ENC_PAD_BLOCK)
        return ENC_ERR_MODE;
    unsigned char n = static_cast<unsigned char>(16 - ctx->pendingLen);
    std::memset(ctx->pending + ctx->pendingLen, n, n);
    Block(ctx, ctx->pending, out);
    ctx->pendingLen = 0;
    *outLen = 16;
    return 0;
}

template <void (*Block)(_ENC_CTX*, const unsigned char*, unsigned char*)>
unsigned long PaddedDecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen,
                             unsigned long (*check)(unsigned char*, unsigned long, unsigned long))
{
    if (ctx->pendingLen == 0) {
        *outLen = 0;
        return 0;
    }
    if (ctx->pendingLen != 16) {
        *outLen = 16;
        return ENC_ERR_FINAL;
    }
    Block(ctx, ctx->pending, out);
    ctx->pendingLen = 0;
    unsigned long r = check(out, 16, ctx->padType);
    if (r == ENC_ERR_MODE || r == ENC_ERR_PADDING)
        return r;
    *outLen = 16 - r;
    return 0;
}

bool KnownAlgorithm(const _ENC_CTX* ctx)
{
    return ctx->algo == ENC_ALG_SEED || ctx->algo == ENC_ALG_ARIA;
}

void Restart(_ENC_CTX* ctx)
{
    ctx->pendingLen = 0;
    if (ctx->mode != ENC_MODE_ECB)
        std::memcpy(ctx->chain, ctx->iv, 16);
}

}

// ---- Key set-up ----

unsigned long CToviCrypto::ToviKeySetup(char* passPhrase, _ENC_CTX* ctx)
{
    if (!ctx)
        return kModeBad;
    if (ctx->mode == ENC_MODE_ECB || ctx->mode == ENC_MODE_CBC)
        ctx->padType = ENC_PAD_BLOCK;
    else if (ctx->mode == ENC_MODE_OFB || ctx->mode == ENC_MODE_CFB)
        ctx->padType = ENC_PAD_NONE;
    else
        return kModeBad;

    // A missing pass phrase would key the context with zeros: refuse it like a bad algorithm.
    if (!passPhrase)
        return kKeyBad;

    unsigned char key[32] = {};
    if (ctx->algo == ENC_ALG_SEED) {
        ctx->keyBits = 128;
        DeriveKeyMd5(3, passPhrase, key);
        SeedKeySchedule(key, ctx->encRoundKeys);
    } else if (ctx->algo == ENC_ALG_ARIA) {
        if (ctx->keyBits == 128) {
            DeriveKeyMd5(2, passPhrase, key);
        } else if (ctx->keyBits == 192 || ctx->keyBits == 256) {
            DeriveKeyMd5(1, passPhrase, key);
            std::memcpy(key + 16, key, 16);
        } else {
            return kKeyBad;
        }
        int bits = static_cast<int>(ctx->keyBits);
        ctx->rounds = static_cast<unsigned int>(AriaEncKeySetup(ctx->encRoundKeys, key, bits));
        if (ctx->mode == ENC_MODE_ECB || ctx->mode == ENC_MODE_CBC)
            ctx->rounds = static_cast<unsigned int>(AriaDecKeySetup(bits, ctx->decRoundKeys, key));
    } else {
        return kKeyBad;
    }
    std::memcpy(ctx->iv, kInitVector, 16);
    return 0;
}

unsigned long CToviCrypto::ToviSetRandkey(char* text, char* out)
{
    HashTextMd5Hex(text, out);
    return 0;
}

// ---- Mode steps ----

unsigned long CToviCrypto::Tovi_EncInit(_ENC_CTX* ctx)
{
    Restart(ctx);
    return 0;
}

unsigned long CToviCrypto::Tovi_DecInit(_ENC_CTX* ctx)
{
    Restart(ctx);
    return 0;
}

unsigned long CToviCrypto::ECB_EncUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Ecb::Encrypt, false>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::ECB_DecUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Ecb::Decrypt, true>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::CBC_EncUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Cbc::Encrypt, false>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::CBC_DecUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Cbc::Decrypt, true>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::OFB_EncUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Ofb::Encrypt, false>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::OFB_DecUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Ofb::Decrypt, true>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::CFB_EncUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Cfb::Encrypt, false>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::CFB_DecUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    return Update<Cfb::Decrypt, true>(ctx, in, inLen, out, outLen);
}

unsigned long CToviCrypto::ECB_EncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    return PaddedEncFinal<Ecb::Encrypt>(ctx, out, outLen);
}

unsigned long CToviCrypto::CBC_EncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    return PaddedEncFinal<Cbc::Encrypt>(ctx, out, outLen);
}

unsigned long CToviCrypto::ECB_DecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    return PaddedDecFinal<Ecb::Decrypt>(ctx, out, outLen, PaddCheck);
}

unsigned long CToviCrypto::CBC_DecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    return PaddedDecFinal<Cbc::Decrypt>(ctx, out, outLen, PaddCheck);
}

// OFB and CFB finish a partial block from one more key block; both directions alike.
unsigned long CToviCrypto::OFB_EncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    unsigned long n = ctx->pendingLen;
    Encipher(ctx, ctx->chain, ctx->chain);
    for (unsigned long i = 0; i < n; ++i)
        out[i] = ctx->pending[i] ^ ctx->chain[i];
    ctx->pendingLen = 0;
    *outLen = n;
    return 0;
}

unsigned long CToviCrypto::OFB_DecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    return OFB_EncFinal(ctx, out, outLen);
}

unsigned long CToviCrypto::CFB_EncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    unsigned long n = ctx->pendingLen;
    Encipher(ctx, ctx->chain, ctx->chain);
    Xor16(ctx->chain, ctx->chain, ctx->pending);
    std::memcpy(out, ctx->chain, n);
    ctx->pendingLen = 0;
    *outLen = n;
    return 0;
}

unsigned long CToviCrypto::CFB_DecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    return CFB_EncFinal(ctx, out, outLen);
}

unsigned long CToviCrypto::Tovi_EncUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    switch (ctx->mode) {
    case ENC_MODE_ECB: return ECB_EncUpdate(ctx, in, inLen, out, outLen);
    case ENC_MODE_CBC: return CBC_EncUpdate(ctx, in, inLen, out, outLen);
    case ENC_MODE_OFB: return OFB_EncUpdate(ctx, in, inLen, out, outLen);
    case ENC_MODE_CFB: return CFB_EncUpdate(ctx, in, inLen, out, outLen);
    default: return ENC_ERR_MODE;
    }
}

unsigned long CToviCrypto::Tovi_DecUpdate(_ENC_CTX* ctx, unsigned char* in, unsigned long inLen, unsigned char* out, unsigned long* outLen)
{
    switch (ctx->mode) {
    case ENC_MODE_ECB: return ECB_DecUpdate(ctx, in, inLen, out, outLen);
    case ENC_MODE_CBC: return CBC_DecUpdate(ctx, in, inLen, out, outLen);
    case ENC_MODE_OFB: return OFB_DecUpdate(ctx, in, inLen, out, outLen);
    case ENC_MODE_CFB: return CFB_DecUpdate(ctx, in, inLen, out, outLen);
    default: return ENC_ERR_MODE;
    }
}

unsigned long CToviCrypto::Tovi_EncFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    switch (ctx->mode) {
    case ENC_MODE_ECB: return ECB_EncFinal(ctx, out, outLen);
    case ENC_MODE_CBC: return CBC_EncFinal(ctx, out, outLen);
    case ENC_MODE_OFB: return OFB_EncFinal(ctx, out, outLen);
    case ENC_MODE_CFB: return CFB_EncFinal(ctx, out, outLen);
    default: return ENC_ERR_MODE;
    }
}

unsigned long CToviCrypto::Tovi_DecFinal(_ENC_CTX* ctx, unsigned char* out, unsigned long* outLen)
{
    switch (ctx->mode) {
    case ENC_MODE_ECB: return ECB_DecFinal(ctx, out, outLen);
    case ENC_MODE_CBC: return CBC_DecFinal(ctx, out, outLen);
    case ENC_MODE_OFB: return OFB_DecFinal(ctx, out, outLen);
    case ENC_MODE_CFB: return CFB_DecFinal(ctx, out, outLen);
    default: return ENC_ERR_MODE;
    }
}

// ---- Padding ----

unsigned long CToviCrypto::PaddSet(unsigned char* buf, unsigned long dataLen, unsigned long blockLen, unsigned long padType)
{
    if (padType == ENC_PAD_NONE)
        return dataLen == 0 ? 0 : ENC_ERR_PENDING;
    if (padType != ENC_PAD_BLOCK)
        return ENC_ERR_MODE;
    if (dataLen > blockLen)
        return ENC_ERR_MODE;
    unsigned long n = blockLen - dataLen;
    std::memset(buf + dataLen, static_cast<unsigned char>(n), n);
    return n;
}

unsigned long CToviCrypto::PaddCheck(unsigned char* buf, unsigned long len, unsigned long padType)
{
    if (padType == ENC_PAD_NONE)
        return 0;
    if (padType != ENC_PAD_BLOCK)
        return ENC_ERR_MODE;
    if (len == 0)
        return ENC_ERR_PADDING;
    unsigned long n = buf[len - 1];
    if (n == 0 || n > len)
        return ENC_ERR_PADDING;
    for (unsigned long i = len - n; i < len; ++i) {
        if (buf[i] != n)
            return ENC_ERR_PADDING;
    }
    return n;
}

// ---- Whole buffers ----

unsigned long CToviCrypto::ToviDataEncrypt(_ENC_CTX* ctx, unsigned char* in, int len, unsigned char** out)
{
    if (!ctx || !out || len < 0 || (len > 0 && !in) || !KnownAlgorithm(ctx))
        return 0;
    if (ctx->mode < ENC_MODE_ECB || ctx->mode > ENC_MODE_CFB)
        return 0;
    Restart(ctx);
    size_t size = static_cast<size_t>(len);
    if (ctx->padType == ENC_PAD_BLOCK)
        size = size - size % 16 + 16;
    unsigned char* buf = new (std::nothrow) unsigned char[size];
    if (!buf)
        return 0;
    unsigned long updateLen = 0, finalLen = 0;
    if (Tovi_EncUpdate(ctx, in, static_cast<unsigned long>(len), buf, &updateLen) != 0 ||
        Tovi_EncFinal(ctx, buf + updateLen, &finalLen) != 0) {
        delete[] buf;
        return 0;
    }
    *out = buf;
    return updateLen + finalLen;
}

unsigned long CToviCrypto::ToviDataDecrypt(_ENC_CTX* ctx, unsigned char* in, int len, unsigned char** out)
{
    if (!ctx || !out || len < 0 || (len > 0 && !in) || !KnownAlgorithm(ctx))
        return 0;
    if (ctx->mode < ENC_MODE_ECB || ctx->mode > ENC_MODE_CFB)
        return 0;
    Restart(ctx);
    unsigned char* buf = new (std::nothrow) unsigned char[static_cast<size_t>(len)];
    if (!buf)
        return 0;
    unsigned long updateLen = 0, finalLen = 0;
    if (Tovi_DecUpdate(ctx, in, static_cast<unsigned long>(len), buf, &updateLen) != 0 ||
        Tovi_DecFinal(ctx, buf + updateLen, &finalLen) != 0) {
        delete[] buf;
        return 0;
    }
    *out = buf;
    return updateLen + finalLen;
}

// ---- Files ----

namespace {

// Fills buf up to size bytes, fewer only at the end of the file. False on a read error.
bool ReadPiece(CFile& file, unsigned char* buf, UINT size, UINT* got)
{
    *got = 0;
    while (*got < size) {
        UINT n = file.Read(buf + *got, size - *got);
        if (n == 0)
            return file.GetLastOsError() == NO_ERROR;
        *got += n;
    }
    return true;
}

// A new, empty, uniquely named file in the destination's folder, so that the finished file can
// be moved into place without copying. Empty on failure.
std::wstring TempFileBeside(const std::wstring& dst)
{
    size_t slash = dst.find_last_of(L"\\/");
    std::wstring dir = slash == std::wstring::npos ? L"." : dst.substr(0, slash + 1);
    wchar_t name[MAX_PATH];
    if (dir.size() >= MAX_PATH - 14 || !GetTempFileNameW(dir.c_str(), L"tvc", 0, name))
        return std::wstring();
    return name;
}

typedef unsigned long (*PieceOperation)(_ENC_CTX*, unsigned char*, int, unsigned char**);

// Runs every piece of src through op into a temporary file and moves that onto dst only when
// all went well, so that dst is never left half-written. replace says whether an existing dst
// may be replaced; encryption never touches one.
int ConvertFile(_ENC_CTX* ctx, const wchar_t* srcPath, const wchar_t* dstPath, UINT pieceSize,
                PieceOperation op, bool replace)
{
    if (!replace && GetFileAttributesW(dstPath) != INVALID_FILE_ATTRIBUTES)
        return -1;
    CFile src;
    if (!src.Open(srcPath, CFile::modeRead | CFile::shareDenyWrite))
        return -1;
    std::wstring tempPath = TempFileBeside(dstPath);
    CFile dst;
    if (tempPath.empty() || !dst.Open(tempPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone)) {
        if (!tempPath.empty())
            CFile::Remove(tempPath.c_str());
        return -1;
    }

    std::vector<unsigned char> piece(pieceSize);
    unsigned char* buf = piece.data();
    bool ok = true;
    for (;;) {
        UINT got = 0;
        if (!ReadPiece(src, buf, pieceSize, &got)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        unsigned char* converted = nullptr;
        unsigned long n = op(ctx, buf, static_cast<int>(got), &converted);
        // A zero length is a success only when a buffer came back (padding alone, say).
        if (!converted) {
            ok = false;
            break;
        }
        bool written = dst.Write(converted, static_cast<UINT>(n));
        delete[] converted;
        if (!written) {
            ok = false;
            break;
        }
        if (got < pieceSize)
            break;
    }
    src.Close();
    if (!dst.Close())
        ok = false;
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (ok && MoveFileExW(tempPath.c_str(), dstPath, flags))
        return 0;
    CFile::Remove(tempPath.c_str());
    return -1;
}

}

// Files encrypted under block padding grow by one block a piece; decryption reads those grown
// pieces, so that such a file decrypts piece for piece. OFB and CFB pieces keep their size.
int CToviCrypto::ToviFileEncrypt(_ENC_CTX* ctx, CString src, CString dst)
{
    if (!ctx)
        return -1;
    return ConvertFile(ctx, src, dst, kFilePiece, ToviDataEncrypt, false);
}

int CToviCrypto::ToviFileDecrypt(_ENC_CTX* ctx, CString src, CString dst)
{
    if (!ctx)
        return -1;
    UINT piece = ctx->padType == ENC_PAD_BLOCK ? kPaddedFilePiece : kFilePiece;
    return ConvertFile(ctx, src, dst, piece, ToviDataDecrypt, true);
}
