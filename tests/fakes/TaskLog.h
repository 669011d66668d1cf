// What a fake Task Scheduler records and how it misbehaves on request, and the COM plumbing
// (reference counts, QueryInterface, IDispatch refusals) that every fake interface shares.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <vector>

struct TaskLog {
    // Every call in order, as "Method argument...".
    std::vector<std::wstring> calls;
    // A call whose text starts with this fails with E_FAIL.
    std::wstring failAt;
    // Whether "RunAsStdUser Task" exists before the run (deleting it fails otherwise).
    bool taskExists = false;
    // get_State answers running on this poll (1 = the first); 0 never.
    int runningOnPoll = 1;
    int polls = 0;
    // Fake objects alive now.
    int live = 0;

    // Records the call; E_FAIL when it is the one asked to fail.
    HRESULT Call(const std::wstring& text)
    {
        calls.push_back(text);
        return !failAt.empty() && text.compare(0, failAt.size(), failAt) == 0 ? E_FAIL : S_OK;
    }
};

template <typename I> class TaskStub : public I {
public:
    explicit TaskStub(TaskLog* log) : m_log(log) { ++m_log->live; }
    virtual ~TaskStub() { --m_log->live; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(I))
            *out = static_cast<I*>(this);
        else
            *out = Extra(iid);
        if (*out == nullptr)
            return E_NOINTERFACE;
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

protected:
    // Another interface this object answers to (its base interface pointer), or null.
    virtual void* Extra(REFIID) { return nullptr; }
    HRESULT NotImplemented(const wchar_t* name)
    {
        m_log->calls.push_back(std::wstring(name) + L" (not implemented)");
        return E_NOTIMPL;
    }

    TaskLog* m_log;

private:
    ULONG m_refs = 1;
};
