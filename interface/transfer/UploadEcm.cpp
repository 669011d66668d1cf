// The document-management check before an upload and the COM component behind it.
#include "UploadEcm.h"
#include "TraceLog.h"
#include <objbase.h>
#include <oleauto.h>

namespace {

// {BC0C8BB2-6495-435C-A31F-6C47D991DFEF}
const CLSID kEcmClass = {0xBC0C8BB2, 0x6495, 0x435C, {0xA3, 0x1F, 0x6C, 0x47, 0xD9, 0x91, 0xDF, 0xEF}};
// {900108FD-6D48-4A00-9F54-4EDF7D03669D}
const IID kEcmInterface = {0x900108FD, 0x6D48, 0x4A00, {0x9F, 0x54, 0x4E, 0xDF, 0x7D, 0x03, 0x66, 0x9D}};

// The component's interface as we call it.
struct IEcmComponent : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetExternalDrive(BSTR* root) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWorkDrive(BSTR* root) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckOut(BSTR path, BSTR* kind, BSTR* replacement, BSTR* status,
                                               BSTR* text) = 0;
};

CString TakeBstr(BSTR& text)
{
    CString out = text ? CString(text) : CString();
    if (text)
        ::SysFreeString(text);
    text = nullptr;
    return out;
}

class CComEcm : public CUploadEcm {
public:
    explicit CComEcm(IEcmComponent* component) : m_component(component) {}
    ~CComEcm() override { m_component->Release(); }

    CString ExternalRoot() override
    {
        BSTR root = nullptr;
        if (FAILED(m_component->GetExternalDrive(&root)))
            return CString();
        return TakeBstr(root);
    }
    CString WorkRoot() override
    {
        BSTR root = nullptr;
        if (FAILED(m_component->GetWorkDrive(&root)))
            return CString();
        return TakeBstr(root);
    }
    bool CheckOut(const CString& path, CString& kind, CString& replacement, CString& status, CString& text) override
    {
        BSTR in = ::SysAllocString(path.GetString());
        BSTR k = nullptr, r = nullptr, s = nullptr, t = nullptr;
        const HRESULT hr = m_component->CheckOut(in, &k, &r, &s, &t);
        ::SysFreeString(in);
        kind = TakeBstr(k);
        replacement = TakeBstr(r);
        status = TakeBstr(s);
        text = TakeBstr(t);
        return SUCCEEDED(hr);
    }

private:
    IEcmComponent* m_component;
};

CUploadEcm* CreateComEcm()
{
    IEcmComponent* component = nullptr;
    if (FAILED(::CoCreateInstance(kEcmClass, nullptr, CLSCTX_ALL, kEcmInterface,
                                  reinterpret_cast<void**>(&component))) ||
        !component)
        return nullptr;
    return new CComEcm(component);
}

CString FolderOf(const CString& path)
{
    const int at = path.ReverseFind(L'\\');
    return at >= 0 ? path.Left(at + 1) : CString();
}

}

CUploadEcm::Factory CUploadEcm::s_pfnCreate = CreateComEcm;

CUploadEcm* CUploadEcm::Create()
{
    return s_pfnCreate();
}

namespace upload {

const wchar_t kEcmSite[] = L"KESTALMOTOR_IN";

bool EcmAllows(const CString& site, CUploadEcm* ecm, CString& path, CString& message)
{
    if (site != kEcmSite)
        return true;
    if (!ecm) {
        message = L"ECM 모듈을 찾을 수 없습니다.";
        return false;
    }
    if (ecm->ExternalRoot().IsEmpty()) {
        message = L"외부 저장소 드라이브를 찾을 수 없습니다.";
        return false;
    }
    CString work = ecm->WorkRoot();
    if (work.IsEmpty()) {
        message = L"작업영역 드라이브를 찾을 수 없습니다.";
        return false;
    }
    // Drive letters and folder names compare without case, as the file system does.
    CString folder = FolderOf(path);
    folder.MakeUpper();
    work.MakeUpper();
    if (folder.Find(work.GetString()) < 0)
        return true;
    CString kind, replacement, status, text;
    if (!ecm->CheckOut(path, kind, replacement, status, text)) {
        message = L"ECM 모듈을 찾을 수 없습니다.";
        return false;
    }
    if (kind == L"F") {
        message = text;
        return false;
    }
    if (replacement.IsEmpty()) {
        message = L"링크파일을 생성할 수 없습니다.";
        return false;
    }
    if (status == L"DO0") {
        path = replacement;
        TraceLog(1, L"[ CUploadDlg::ECMUpload] END! TRUE \n");
        return true;
    }
    message = L"반출함에서만 업로드 가능합니다.";
    return false;
}

}
