// Script-callable objects by method name.
#include "NamedDispatch.h"
#include "Trace.h"
#include <oleauto.h>

CNamedDispatch::CNamedDispatch(Handler* pOwner, const wchar_t* const* names, int count) : m_pOwner(pOwner)
{
    for (int i = 0; i < count; ++i)
        m_names.emplace_back(names[i]);
}

DISPID CNamedDispatch::IdOf(const wchar_t* name) const
{
    if (name == nullptr)
        return DISPID_UNKNOWN;
    for (size_t i = 0; i < m_names.size(); ++i)
        if (::lstrcmpiW(m_names[i].c_str(), name) == 0)
            return (DISPID)(i + 1);
    return DISPID_UNKNOWN;
}

bool CNamedDispatch::ArgText(DISPPARAMS* params, UINT index, std::wstring& text)
{
    text.clear();
    if (params == nullptr || index >= params->cArgs)
        return false;
    VARIANT* arg = &params->rgvarg[params->cArgs - 1 - index];
    VARIANT str;
    ::VariantInit(&str);
    if (FAILED(::VariantChangeType(&str, arg, 0, VT_BSTR)))
        return false;
    if (str.bstrVal)
        text.assign(str.bstrVal, ::SysStringLen(str.bstrVal));
    ::VariantClear(&str);
    return true;
}

HRESULT CNamedDispatch::CallByName(const wchar_t* name, const std::vector<std::wstring>& args,
                                   std::wstring* pResult)
{
    LPOLESTR n = const_cast<LPOLESTR>(name);
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    std::vector<VARIANT> v(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANT& a = v[args.size() - 1 - i];   // the last argument goes first
        ::VariantInit(&a);
        a.vt = VT_BSTR;
        a.bstrVal = ::SysAllocStringLen(args[i].data(), (UINT)args[i].size());
    }
    DISPPARAMS params = { v.empty() ? nullptr : v.data(), nullptr, (UINT)v.size(), 0 };
    VARIANT result;
    ::VariantInit(&result);
    hr = Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    if (pResult) {
        pResult->clear();
        if (SUCCEEDED(hr) && result.vt == VT_BSTR && result.bstrVal)
            pResult->assign(result.bstrVal, ::SysStringLen(result.bstrVal));
    }
    ::VariantClear(&result);
    for (VARIANT& a : v)
        ::VariantClear(&a);
    return hr;
}

STDMETHODIMP CNamedDispatch::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CNamedDispatch::AddRef()
{
    return (ULONG)::InterlockedIncrement(&m_dwRef);
}

STDMETHODIMP_(ULONG) CNamedDispatch::Release()
{
    LONG n = ::InterlockedDecrement(&m_dwRef);
    if (n == 0)
        delete this;
    return (ULONG)n;
}

STDMETHODIMP CNamedDispatch::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CNamedDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CNamedDispatch::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId)
{
    if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0)
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < cNames; ++i) {
        // Only method names are known; named arguments are not.
        rgDispId[i] = i == 0 ? IdOf(rgszNames[i]) : DISPID_UNKNOWN;
        if (rgDispId[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP CNamedDispatch::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                                    VARIANT* pVarResult, EXCEPINFO*, UINT*)
{
    if (dispIdMember < 1 || dispIdMember > (DISPID)m_names.size())
        return DISP_E_MEMBERNOTFOUND;
    if ((wFlags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0)
        return DISP_E_MEMBERNOTFOUND;
    if (m_pOwner == nullptr)
        return E_UNEXPECTED;
    if (pVarResult)
        ::VariantInit(pVarResult);
    DISPPARAMS none = { nullptr, nullptr, 0, 0 };
    try {
        return m_pOwner->OnNamedCall(dispIdMember, pDispParams ? pDispParams : &none, pVarResult);
    } catch (...) {
        FwTraceException("CNamedDispatch::Invoke");
        return E_FAIL;
    }
}
