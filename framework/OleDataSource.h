// COleDataSource: data offered to OLE drag-and-drop (or the clipboard) as an IDataObject.
//
// The object is reference counted: it starts with no reference, so its creator may delete a
// source that was never handed out. DoDragDrop and GetDataObject hand it to OLE; from then on
// it deletes itself when the last reference goes, which may be after the creator forgot it
// (a drop target in another program can keep the data object a while). OLE only on the UI
// thread that called AfxOleInit (WinApp.h).
#pragma once
#include "CmdTarget.h"
#include "Geometry.h"
#include <objidl.h>
#include "OleDefs.h"
#include <vector>

class COleDropSource;

class FW_API COleDataSource : public CCmdTarget {
    DECLARE_DYNAMIC(COleDataSource)
public:
    COleDataSource();
    ~COleDataSource() override;

    // Offers hGlobal under the format; the source owns the block from now on (it frees it, or
    // gives copies to readers). lpFormatEtc null: content aspect, global memory, index -1.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = nullptr);
    // Offers any medium; the source owns the medium (ReleaseStgMedium when it goes).
    void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    // Drops every cached format.
    void Empty();

    // Runs the system's modal drag loop with this data. lpRectStartDrag is accepted for
    // compatibility and not used. pDropSource null: a default COleDropSource. Returns the
    // effect the target chose, DROPEFFECT_NONE when cancelled or failed.
    // After the call the source lives only as long as OLE (or someone else) holds it: with no
    // reference left it is deleted before DoDragDrop returns.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT lpRectStartDrag = nullptr, COleDropSource* pDropSource = nullptr);

    // The object's IDataObject with one reference added: the caller releases it.
    IDataObject* GetDataObject();
    DWORD ExternalAddRef();
    DWORD ExternalRelease();
    // Number of cached formats (tests and diagnostics).
    size_t GetCachedCount() const { return m_cache.size(); }

protected:
    // A reader asks for data that is not cached: fill lpStgMedium and return TRUE to serve it.
    virtual BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);

private:
    struct Entry {
        FORMATETC fmt;
        STGMEDIUM medium;
    };
    Entry* Find(const FORMATETC& fmt, bool exactTymed);
    HRESULT Serve(LPFORMATETC pFmt, LPSTGMEDIUM pMedium);
    HRESULT Store(LPFORMATETC pFmt, LPSTGMEDIUM pMedium, BOOL fRelease);

    class XDataObject : public IDataObject {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override;
        STDMETHOD_(ULONG, Release)() override;
        STDMETHOD(GetData)(FORMATETC* pFmt, STGMEDIUM* pMedium) override;
        STDMETHOD(GetDataHere)(FORMATETC* pFmt, STGMEDIUM* pMedium) override;
        STDMETHOD(QueryGetData)(FORMATETC* pFmt) override;
        STDMETHOD(GetCanonicalFormatEtc)(FORMATETC* pIn, FORMATETC* pOut) override;
        STDMETHOD(SetData)(FORMATETC* pFmt, STGMEDIUM* pMedium, BOOL fRelease) override;
        STDMETHOD(EnumFormatEtc)(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
        STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
        STDMETHOD(DUnadvise)(DWORD) override;
        STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override;
        COleDataSource* m_pOwner = nullptr;
    } m_xDataObject;

    volatile LONG m_dwRef = 0;
    std::vector<Entry> m_cache;
};
