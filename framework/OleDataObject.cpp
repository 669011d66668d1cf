// Reading a data object: availability, global-memory copies and enumeration of formats.
#include "OleDataObject.h"
#include <ole2.h>
#include <cstring>

COleDataObject::~COleDataObject()
{
    Release();
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    if (m_lpEnumerator) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    LPDATAOBJECT p = m_lpDataObject;
    m_lpDataObject = nullptr;
    return p;
}

void COleDataObject::Release()
{
    LPDATAOBJECT p = Detach();
    if (p && m_bAutoRelease)
        p->Release();
}

BOOL COleDataObject::AttachClipboard()
{
    LPDATAOBJECT p = nullptr;
    if (FAILED(::OleGetClipboard(&p)) || p == nullptr)
        return FALSE;
    Attach(p, TRUE);
    return TRUE;
}

LPDATAOBJECT COleDataObject::GetIDataObject(BOOL bAddRef)
{
    if (m_lpDataObject && bAddRef)
        m_lpDataObject->AddRef();
    return m_lpDataObject;
}

FORMATETC COleDataObject::Format(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed) const
{
    FORMATETC f = { cfFormat, nullptr, DVASPECT_CONTENT, -1, tymed };
    if (lpFormatEtc) {
        f = *lpFormatEtc;
        f.cfFormat = cfFormat;
    }
    return f;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr)
        return FALSE;
    FORMATETC f = Format(cfFormat, lpFormatEtc, TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_ISTORAGE |
                                                    TYMED_GDI | TYMED_MFPICT | TYMED_ENHMF | TYMED_FILE);
    return m_lpDataObject->QueryGetData(&f) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr || lpStgMedium == nullptr)
        return FALSE;
    FORMATETC f = Format(cfFormat, lpFormatEtc, TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_ISTORAGE |
                                                    TYMED_GDI | TYMED_MFPICT | TYMED_ENHMF | TYMED_FILE);
    ZeroMemory(lpStgMedium, sizeof(*lpStgMedium));
    return SUCCEEDED(m_lpDataObject->GetData(&f, lpStgMedium)) ? TRUE : FALSE;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr)
        return nullptr;
    FORMATETC f = Format(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
    f.tymed = TYMED_HGLOBAL;
    STGMEDIUM medium = {};
    if (FAILED(m_lpDataObject->GetData(&f, &medium)))
        return nullptr;
    if (medium.tymed != TYMED_HGLOBAL || medium.hGlobal == nullptr) {
        ::ReleaseStgMedium(&medium);
        return nullptr;
    }
    // Without pUnkForRelease the block is ours; otherwise the source still owns it: copy.
    if (medium.pUnkForRelease == nullptr)
        return medium.hGlobal;
    HGLOBAL copy = (HGLOBAL)::OleDuplicateData(medium.hGlobal, cfFormat, GMEM_MOVEABLE);
    ::ReleaseStgMedium(&medium);
    return copy;
}

void COleDataObject::BeginEnumFormats()
{
    if (m_lpEnumerator) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    if (m_lpDataObject)
        m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator);
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
    if (m_lpEnumerator == nullptr || lpFormatEtc == nullptr)
        return FALSE;
    ULONG fetched = 0;
    if (m_lpEnumerator->Next(1, lpFormatEtc, &fetched) != S_OK || fetched != 1)
        return FALSE;
    if (lpFormatEtc->ptd) {
        ::CoTaskMemFree(lpFormatEtc->ptd);
        lpFormatEtc->ptd = nullptr;
    }
    return TRUE;
}
