// CNamedDispatch: an IDispatch whose methods are a fixed list of names, for objects that
// scripts call (a hosted page's window.external). Ids are the names' positions from 1;
// names match without regard to case, as scripts expect.
//
// The object is reference counted and may outlive its owner (a page can keep window.external
// after the window went): the owner calls Detach before it goes, and later calls answer
// E_UNEXPECTED. UI thread only.
#pragma once
#include "FrameworkApi.h"
#include <windows.h>
#include <oaidl.h>
#include <string>
#include <vector>

class FW_API CNamedDispatch : public IDispatch {
public:
    class Handler {
    public:
        // A call of the method with that id: the arguments as the caller passed them (last
        // argument first), the result to fill (may be null). S_OK or an error.
        virtual HRESULT OnNamedCall(DISPID id, DISPPARAMS* params, VARIANT* result) = 0;
    protected:
        ~Handler() = default;
    };

    // Starts with one reference, the owner's.
    CNamedDispatch(Handler* pOwner, const wchar_t* const* names, int count);
    void Detach() { m_pOwner = nullptr; }
    // The id of a name, or DISPID_UNKNOWN.
    DISPID IdOf(const wchar_t* name) const;
    // Calls a method by name as a script would, with string arguments in written order;
    // the result's text (if any) in *pResult. The HRESULT of Invoke.
    HRESULT CallByName(const wchar_t* name, const std::vector<std::wstring>& args, std::wstring* pResult = nullptr);

    // The string argument at position index (0 = first as written); false when missing or not
    // convertible to text.
    static bool ArgText(DISPPARAMS* params, UINT index, std::wstring& text);

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHOD(Invoke)(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                      VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    virtual ~CNamedDispatch() = default;
    Handler* m_pOwner;
    std::vector<std::wstring> m_names;
    volatile LONG m_dwRef = 1;
};
