// The real task-bar object: ITaskbarList3 and FlashWindowEx.
#include "TransferTaskbar.h"
#include <shobjidl.h>

namespace {

class CSystemTaskbar : public CTransferTaskbar {
public:
    explicit CSystemTaskbar(ITaskbarList3* list) : m_list(list) {}
    ~CSystemTaskbar() override { m_list->Release(); }

    void SetProgressState(HWND wnd, State state) override
    {
        m_list->SetProgressState(wnd, static_cast<TBPFLAG>(state));
    }
    void SetProgressValue(HWND wnd, ULONGLONG done, ULONGLONG total) override
    {
        m_list->SetProgressValue(wnd, done, total);
    }
    void SetOverlayIcon(HWND wnd, HICON icon, const wchar_t* description) override
    {
        m_list->SetOverlayIcon(wnd, icon, description);
    }
    void SetThumbnailTooltip(HWND wnd, const wchar_t* text) override { m_list->SetThumbnailTooltip(wnd, text); }
    void Flash(HWND wnd, bool start) override
    {
        FLASHWINFO info = {};
        info.cbSize = sizeof info;
        info.hwnd = wnd;
        info.dwFlags = start ? (FLASHW_TRAY | FLASHW_TIMERNOFG) : FLASHW_STOP;
        FlashWindowEx(&info);
    }

private:
    ITaskbarList3* m_list;
};

CTransferTaskbar* CreateSystemTaskbar()
{
    ITaskbarList3* list = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&list))) ||
        !list)
        return nullptr;
    if (FAILED(list->HrInit())) {
        list->Release();
        return nullptr;
    }
    return new CSystemTaskbar(list);
}

}

CTransferTaskbar::Factory CTransferTaskbar::s_pfnCreate = CreateSystemTaskbar;

CTransferTaskbar* CTransferTaskbar::Create()
{
    return s_pfnCreate();
}
