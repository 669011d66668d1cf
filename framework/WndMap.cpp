// The process-wide HWND-to-CWnd map and the per-thread temporary wrappers.
#include "ThreadState.h"
#include "Wnd.h"
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

struct WindowMap {
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> permanent;
    // Temporary wrappers by (owning thread, window).
    std::map<std::pair<DWORD, HWND>, CWnd*> temporary;
};

WindowMap& Map()
{
    // Never destroyed: windows may still be torn down while the process exits.
    static WindowMap* map = new WindowMap;
    return *map;
}

}

namespace fwmap {

CWnd* LookupPermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    WindowMap& map = Map();
    std::lock_guard<std::mutex> hold(map.lock);
    auto found = map.permanent.find(hWnd);
    return found == map.permanent.end() ? nullptr : found->second;
}

void AddPermanent(HWND hWnd, CWnd* pWnd)
{
    WindowMap& map = Map();
    std::lock_guard<std::mutex> hold(map.lock);
    map.permanent[hWnd] = pWnd;
}

void RemovePermanent(HWND hWnd)
{
    WindowMap& map = Map();
    std::lock_guard<std::mutex> hold(map.lock);
    map.permanent.erase(hWnd);
}

CWnd* LookupOrMakeTemporary(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    WindowMap& map = Map();
    std::lock_guard<std::mutex> hold(map.lock);
    auto perm = map.permanent.find(hWnd);
    if (perm != map.permanent.end())
        return perm->second;
    auto key = std::make_pair(GetCurrentThreadId(), hWnd);
    auto found = map.temporary.find(key);
    if (found != map.temporary.end())
        return found->second;
    CWnd* pWnd = new CWnd;
    pWnd->m_hWnd = hWnd;
    map.temporary.emplace(key, pWnd);
    return pWnd;
}

void DeleteTemporaries(bool bAll)
{
    std::vector<CWnd*> doomed;
    {
        WindowMap& map = Map();
        std::lock_guard<std::mutex> hold(map.lock);
        DWORD thread = GetCurrentThreadId();
        auto it = map.temporary.lower_bound(std::make_pair(thread, HWND(nullptr)));
        while (it != map.temporary.end() && it->first.first == thread) {
            if (bAll || !::IsWindow(it->first.second)) {
                it->second->m_hWnd = nullptr;
                doomed.push_back(it->second);
                it = map.temporary.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (CWnd* pWnd : doomed)
        delete pWnd;
}

}
