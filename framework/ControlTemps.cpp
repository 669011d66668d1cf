// Per-thread wrappers of a given control class for windows nobody wrapped with one.
#include "ControlTemps.h"
#include <map>
#include <memory>
#include <utility>

namespace {

class TempControls {
public:
    CWnd* Get(HWND hWnd, CRuntimeClass* wrapperClass, CWnd* (*make)())
    {
        auto key = std::make_pair(hWnd, wrapperClass);
        auto found = m_controls.find(key);
        if (found != m_controls.end())
            return found->second.get();
        if (m_controls.size() >= m_pruneAt)
            Prune();
        std::unique_ptr<CWnd> wrapper(make());
        // Not attached: the permanent map stays the owner's; this only names the window.
        wrapper->m_hWnd = hWnd;
        CWnd* result = wrapper.get();
        m_controls.emplace(key, std::move(wrapper));
        return result;
    }

    ~TempControls()
    {
        for (auto& entry : m_controls)
            entry.second->m_hWnd = nullptr;
    }

private:
    void Prune()
    {
        for (auto it = m_controls.begin(); it != m_controls.end();) {
            if (::IsWindow(it->first.first)) {
                ++it;
                continue;
            }
            it->second->m_hWnd = nullptr;
            it = m_controls.erase(it);
        }
        m_pruneAt = m_controls.size() * 2 + 16;
    }

    std::map<std::pair<HWND, CRuntimeClass*>, std::unique_ptr<CWnd>> m_controls;
    size_t m_pruneAt = 16;
};

} // namespace

CWnd* FwControlFromHandle(HWND hWnd, CRuntimeClass* wrapperClass, CWnd* (*make)())
{
    if (hWnd == nullptr)
        return nullptr;
    CWnd* permanent = CWnd::FromHandlePermanent(hWnd);
    if (permanent && permanent->IsKindOf(wrapperClass))
        return permanent;
    thread_local TempControls controls;
    return controls.Get(hWnd, wrapperClass, make);
}
