// The data object of drags: cached formats served as copies, reference counted.
#include "OleDataSource.h"
#include "OleDropSource.h"
#include "Trace.h"
#include <ole2.h>
#include <shlobj.h>

IMPLEMENT_DYNAMIC(COleDataSource, CCmdTarget)

namespace {
FORMATETC DefaultFormat(CLIPFORMAT cf, DWORD tymed)
{
    FORMATETC f = { cf, nullptr, DVASPECT_CONTENT, -1, tymed };
    return f;
}

// A copy the reader may release on its own; the cached medium stays ours.
HRESULT CopyMedium(const FORMATETC& fmt, const STGMEDIUM& from, STGMEDIUM* to)
{
    ZeroMemory(to, sizeof(*to));
    to->tymed = from.tymed;
    switch (from.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        to->hGlobal = (HGLOBAL)::OleDuplicateData(from.hGlobal, fmt.cfFormat, GMEM_MOVEABLE);
        return to->hGlobal ? S_OK : E_OUTOFMEMORY;
    case TYMED_ISTREAM:
        to->pstm = from.pstm;
        if (to->pstm)
            to->pstm->AddRef();
        return S_OK;
    case TYMED_ISTORAGE:
        to->pstg = from.pstg;
        if (to->pstg)
            to->pstg->AddRef();
        return S_OK;
    default:
        return DV_E_TYMED;
    }
}
}

COleDataSource::COleDataSource()
{
    m_xDataObject.m_pOwner = this;
}

COleDataSource::~COleDataSource()
{
    Empty();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = hGlobal;
    FORMATETC fmt = lpFormatEtc ? *lpFormatEtc : DefaultFormat(cfFormat, TYMED_HGLOBAL);
    fmt.cfFormat = cfFormat;
    fmt.tymed = TYMED_HGLOBAL;
    CacheData(cfFormat, &medium, &fmt);
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    if (lpStgMedium == nullptr)
        return;
    FORMATETC fmt = lpFormatEtc ? *lpFormatEtc : DefaultFormat(cfFormat, lpStgMedium->tymed);
    fmt.cfFormat = cfFormat;
    fmt.ptd = nullptr;   // target devices are not kept
    if (Entry* old = Find(fmt, true)) {
        ::ReleaseStgMedium(&old->medium);
        old->medium = *lpStgMedium;
        return;
    }
    m_cache.push_back(Entry{ fmt, *lpStgMedium });
}

void COleDataSource::Empty()
{
    for (Entry& e : m_cache)
        ::ReleaseStgMedium(&e.medium);
    m_cache.clear();
}

COleDataSource::Entry* COleDataSource::Find(const FORMATETC& fmt, bool exactTymed)
{
    for (Entry& e : m_cache) {
        if (e.fmt.cfFormat != fmt.cfFormat || e.fmt.dwAspect != fmt.dwAspect)
            continue;
        if (fmt.lindex != -1 && e.fmt.lindex != fmt.lindex)
            continue;
        if (exactTymed ? e.fmt.tymed != fmt.tymed : (e.fmt.tymed & fmt.tymed) == 0)
            continue;
        return &e;
    }
    return nullptr;
}

BOOL COleDataSource::OnRenderData(LPFORMATETC, LPSTGMEDIUM)
{
    return FALSE;
}

HRESULT COleDataSource::Serve(LPFORMATETC pFmt, LPSTGMEDIUM pMedium)
{
    if (pFmt == nullptr || pMedium == nullptr)
        return E_INVALIDARG;
    if (const Entry* e = Find(*pFmt, false))
        return CopyMedium(e->fmt, e->medium, pMedium);
    ZeroMemory(pMedium, sizeof(*pMedium));
    if (OnRenderData(pFmt, pMedium))
        return S_OK;
    return DV_E_FORMATETC;
}

HRESULT COleDataSource::Store(LPFORMATETC pFmt, LPSTGMEDIUM pMedium, BOOL fRelease)
{
    if (pFmt == nullptr || pMedium == nullptr)
        return E_INVALIDARG;
    STGMEDIUM mine = {};
    if (fRelease) {
        mine = *pMedium;
    } else {
        HRESULT hr = CopyMedium(*pFmt, *pMedium, &mine);
        if (FAILED(hr))
            return hr;
    }
    CacheData(pFmt->cfFormat, &mine, pFmt);
    return S_OK;
}

IDataObject* COleDataSource::GetDataObject()
{
    m_xDataObject.AddRef();
    return &m_xDataObject;
}

DWORD COleDataSource::ExternalAddRef()
{
    return (DWORD)::InterlockedIncrement(&m_dwRef);
}

DWORD COleDataSource::ExternalRelease()
{
    LONG n = ::InterlockedDecrement(&m_dwRef);
    if (n == 0)
        delete this;
    return (DWORD)n;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT, COleDropSource* pDropSource)
{
    COleDropSource defaultSource;
    COleDropSource* source = pDropSource ? pDropSource : &defaultSource;
    source->m_dwButtonDrop = 0;
    if (::GetKeyState(VK_LBUTTON) < 0)
        source->m_dwButtonDrop |= MK_LBUTTON;
    if (::GetKeyState(VK_RBUTTON) < 0)
        source->m_dwButtonDrop |= MK_RBUTTON;
    if (::GetKeyState(VK_MBUTTON) < 0)
        source->m_dwButtonDrop |= MK_MBUTTON;

    DWORD effect = DROPEFFECT_NONE;
    IDataObject* data = GetDataObject();
    HRESULT hr = ::DoDragDrop(data, source->GetInterface(), dwEffects, &effect);
    // The last reference may be this one: nothing of this object is touched afterwards.
    data->Release();
    if (hr != DRAGDROP_S_DROP)
        effect = DROPEFFECT_NONE;
    return effect;
}

// ---- IDataObject ----

STDMETHODIMP COleDataSource::XDataObject::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDataSource::XDataObject::AddRef()
{
    return m_pOwner->ExternalAddRef();
}

STDMETHODIMP_(ULONG) COleDataSource::XDataObject::Release()
{
    return m_pOwner->ExternalRelease();
}

STDMETHODIMP COleDataSource::XDataObject::GetData(FORMATETC* pFmt, STGMEDIUM* pMedium)
{
    return m_pOwner->Serve(pFmt, pMedium);
}

STDMETHODIMP COleDataSource::XDataObject::GetDataHere(FORMATETC* pFmt, STGMEDIUM* pMedium)
{
    if (pFmt == nullptr || pMedium == nullptr)
        return E_INVALIDARG;
    if (pMedium->tymed != TYMED_HGLOBAL || pMedium->hGlobal == nullptr)
        return DV_E_TYMED;
    const Entry* e = m_pOwner->Find(*pFmt, false);
    if (e == nullptr || e->medium.tymed != TYMED_HGLOBAL)
        return DV_E_FORMATETC;
    SIZE_T need = ::GlobalSize(e->medium.hGlobal);
    if (::GlobalSize(pMedium->hGlobal) < need)
        return STG_E_MEDIUMFULL;
    void* src = ::GlobalLock(e->medium.hGlobal);
    void* dst = ::GlobalLock(pMedium->hGlobal);
    HRESULT hr = (src && dst) ? S_OK : E_OUTOFMEMORY;
    if (hr == S_OK)
        memcpy(dst, src, need);
    if (dst)
        ::GlobalUnlock(pMedium->hGlobal);
    if (src)
        ::GlobalUnlock(e->medium.hGlobal);
    return hr;
}

STDMETHODIMP COleDataSource::XDataObject::QueryGetData(FORMATETC* pFmt)
{
    if (pFmt == nullptr)
        return E_INVALIDARG;
    return m_pOwner->Find(*pFmt, false) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP COleDataSource::XDataObject::GetCanonicalFormatEtc(FORMATETC* pIn, FORMATETC* pOut)
{
    if (pOut == nullptr)
        return E_INVALIDARG;
    if (pIn)
        *pOut = *pIn;
    pOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP COleDataSource::XDataObject::SetData(FORMATETC* pFmt, STGMEDIUM* pMedium, BOOL fRelease)
{
    // Drop targets and the shell leave notes here (the performed effect and the like).
    return m_pOwner->Store(pFmt, pMedium, fRelease);
}

STDMETHODIMP COleDataSource::XDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum)
{
    if (ppEnum == nullptr)
        return E_INVALIDARG;
    *ppEnum = nullptr;
    if (dwDirection != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const Entry& e : m_pOwner->m_cache)
        formats.push_back(e.fmt);
    return ::SHCreateStdEnumFmtEtc((UINT)formats.size(), formats.empty() ? nullptr : formats.data(), ppEnum);
}

STDMETHODIMP COleDataSource::XDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::XDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::XDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}
