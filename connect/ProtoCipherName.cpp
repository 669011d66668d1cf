// The session cipher's name, for status lines.
#include "ToviProto.h"
#include "ToviConn.h"
#include "ToviCrypto.h"

CString CToviProto::GetCipherName() const
{
    if (m_pConn == nullptr || m_pConn->m_pEncCtx == nullptr)
        return CString();
    const _ENC_CTX& ctx = *m_pConn->m_pEncCtx;
    const wchar_t* mode = ctx.mode == ENC_MODE_OFB ? L"OFB" : ctx.mode == ENC_MODE_CFB ? L"CFB" : nullptr;
    if (mode == nullptr)
        return CString();
    CString name;
    if (ctx.algo == ENC_ALG_SEED)
        name.Format(L"SEED-128-%s", mode);   // SEED has one key size, whatever A0 announced
    else if (ctx.algo == ENC_ALG_ARIA)
        name.Format(L"ARIA-%u-%s", ctx.keyBits, mode);
    return name;
}
